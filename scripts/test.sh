#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZAV_WERROR=ON -DZAV_SANITIZE=ON
cmake --build build-test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2
