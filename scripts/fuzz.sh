#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang's libFuzzer, everything under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each for a fixed time
# from its seed corpus in fuzz/corpus/ (left unchanged). Fails on a crash, a leak,
# a broken check or a hang; the input that did it is kept in build-fuzz/artifacts/.
# Without clang++ and its libFuzzer it says so in one line and succeeds.
#
#   scripts/fuzz.sh [SECONDS]    each target's time, default 25 (or ZAV_FUZZ_SECONDS)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${ZAV_FUZZ_SECONDS:-25}}"
targets=(parameterfile opensave settings colourrecord transaction)
build=build-fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if ! command -v clang++ >/dev/null 2>&1 ||
    ! printf 'extern "C" int LLVMFuzzerTestOneInput(const char *, unsigned long) { return 0; }\n' |
        clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o "$work/probe" >/dev/null 2>&1; then
    echo "fuzz: skipped (no clang++ with libFuzzer here)"
    exit 0
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZAV_FUZZ=ON -DZAV_TESTS=OFF -DZAV_HELP=OFF >"$work/configure.log" || {
    cat "$work/configure.log"
    exit 1
}
cmake --build "$build" -j"$(nproc)" --target zav_fuzz

mkdir -p "$build/artifacts"
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    # New inputs go to the scratch folder; the repository's seeds are only read.
    if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
        "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
        tail -n 80 "$work/$target.log"
        echo "fuzz: $target FAILED (input kept in $build/artifacts/)"
        exit 1
    fi
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")"
    echo "fuzz: $target: ${runs:-?} runs in ${seconds} s, no crash, leak or hang"
done
