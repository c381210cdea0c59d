#!/usr/bin/env bash
# Installs what is missing, builds, and opens the tool on the built-in simulated
# controller (port Com1: is mapped to a freshly started zav-sim).
set -euo pipefail
cd "$(dirname "$0")/.."

gui=()
[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && gui=(--gui)
scripts/install-deps.sh --help-viewer "${gui[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZAV_TESTS=OFF
cmake --build build -j"$(nproc)"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/zav --demo "$@"
fi
exec build/zav --demo "$@"
