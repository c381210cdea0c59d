#!/usr/bin/env bash
# Builds the tool for 64-bit Windows on Debian 12 and tests it under Wine, in one
# command (as root, for the packages it installs):
#
#   scripts/build-windows.sh
#
# 1. installs the cross compiler, Wine, NSIS and the host build's packages;
# 2. builds a static qtbase for Windows once into $ZAV_CACHE/qt-mingw (default
#    ~/.cache/zav; rebuilt when Debian's Qt version changes);
# 3. cross-builds zav.exe, zavctl.exe and the test programs from this CMake project;
# 4. runs the test programs under Wine in a private Wine prefix, on a virtual
#    display of their own (Xvfb);
# 5. runs zavctl.exe under Wine against the Linux zav-sim through Wine's COM port
#    mapping (dosdevices/com5 linked to the simulator's pseudo-terminal): identify,
#    read --colours -o, write --verify, and the Linux zavctl's diff of that file
#    against its own read of the same simulator; then the read-all benchmark;
# 6. makes the NSIS installer and the portable zip, runs the installer silently
#    under Wine and asks the installed zav.exe its version, then uninstalls;
# 7. takes screenshots of the window's five pages under Wine in English, Spanish
#    and French;
# 8. leaves the results in build-windows/ (ignored by git): zav.exe, zavctl.exe,
#    zav-VERSION-setup.exe, zav-VERSION-windows.zip, screenshots/, the test,
#    end-to-end, installer and screenshot logs, the benchmark.
#
# Environment: ZAV_CACHE (cache folder), ZAV_WINDOWS_SKIP_TESTS=1 (build only),
# ZAV_WINDOWS_SKIP_SCREENSHOTS=1 (no pictures), JOBS (parallel build jobs,
# default the number of cores).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
out="$repo/build-windows"
build="$out/build"
host="$out/host"
logs="$out/logs"
cache="${ZAV_CACHE:-$HOME/.cache/zav}"
qt="$cache/qt-mingw"
jobs="${JOBS:-$(nproc)}"
# The COM port number Wine maps to the simulator for the end-to-end run.
com=5

export WINEPREFIX="$out/wine"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs in a prefix that runs console tests.
export WINEDLLOVERRIDES="mscoree,mshtml="
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$repo}"
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
else
    launcher=()
fi

step() { printf '\n== %s\n' "$*"; }

install_packages() {
    step "Packages"
    "$repo/scripts/install-deps.sh" --windows
}

build_qt() {
    step "Static Qt for Windows"
    "$repo/scripts/windows/build-qt.sh" "$qt"
}

build_windows() {
    step "Cross-build"
    "$qt/bin/qt-cmake" -S "$repo" -B "$build" -G Ninja \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_BUILD_TYPE=Release -DZAV_WERROR=ON \
        -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/wine "${launcher[@]}" >/dev/null
    cmake --build "$build" -j"$jobs"
    cp "$build/zav.exe" "$build/tools/zavctl/zavctl.exe" "$out/"
}

# The Linux zav-sim and zavctl that the end-to-end run talks to and compares with.
build_host_tools() {
    step "Host tools (zav-sim, zavctl)"
    cmake -S "$repo" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZAV_TESTS=OFF -DZAV_HELP=OFF \
        "${launcher[@]}" >/dev/null
    cmake --build "$host" -j"$jobs" --target zav-sim zavctl
}

# One virtual X display for everything Wine runs. Without a display driver Wine
# makes no windows, not even the hidden ones that carry a Qt program's timers and
# posted events, so no modal dialog would ever close and no timer fire.
xvfb_pid=
start_display() {
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    export DISPLAY=":$n"
    # The screenshots take their pictures on this display too.
    export ZAV_SHOTS_DISPLAY=1
}

prepare_wine() {
    step "Wine prefix $WINEPREFIX on display $DISPLAY"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init >/dev/null 2>&1
    fi
    # A fresh prefix says Windows 7; Qt 6 is made for Windows 10.
    wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1
    # One server for the whole run, rather than one started by every test; the
    # one the commands above left lingering is let go first (-p refuses to start beside it).
    wineserver -w
    wineserver -p >/dev/null 2>&1
    wine cmd /c ver 2>/dev/null | tr -d '\r' | grep -v '^$' || true
}

run_tests() {
    step "Tests under Wine"
    # The build folder's CTest runs every .exe through Wine (the cross-compiling
    # emulator), each on Qt's own Windows platform. Qt Test writes its report to
    # the debugger there, not to a redirected output, so each test also writes it
    # to a file, shown here for the tests that failed.
    local status=0
    ctest --test-dir "$build" -j2 --output-on-failure --output-junit "$logs/tests.xml" 2>&1 |
        tee "$logs/tests.log" || status=${PIPESTATUS[0]}
    local report
    for report in "$build"/tests/reports/*.txt; do
        [ -f "$report" ] || continue
        if grep -q '^FAIL!\|^QFATAL' "$report"; then
            echo "---- $(basename "$report")"
            grep -v '^PASS' "$report"
        fi
    done | tee -a "$logs/tests.log"
    return "$status"
}

# zav-sim in the background on a pseudo-terminal; prints the device path. Every
# simulator started is stopped when the script ends, however it ends.
simulators=()
start_simulator() {
    local pidfile=$1
    shift
    simulators+=("$pidfile")
    "$host/tools/zav-sim/zav-sim" --background --pid-file "$pidfile" "$@"
}

stop_simulator() {
    local pidfile=$1
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null || true
        rm -f "$pidfile"
    fi
}

cleanup() {
    for pidfile in "${simulators[@]}"; do
        stop_simulator "$pidfile"
    done
    if [ -n "$xvfb_pid" ]; then
        wineserver -k 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

# Wine's COM<n> is whatever dosdevices/com<n> points at.
map_com_port() {
    ln -sfn "$1" "$WINEPREFIX/dosdevices/com$com"
}

# Shows a command, then runs it.
run() {
    echo "+ $*"
    "$@"
}

end_to_end() {
    step "End to end: zavctl.exe on COM$com (Wine) against zav-sim"
    local work="$out/e2e"
    rm -rf "$work"
    mkdir -p "$work"
    local device
    device=$(start_simulator "$work/sim.pid" full)
    map_com_port "$device"
    echo "COM$com -> $device"
    local exe="$out/zavctl.exe" linux="$host/tools/zavctl/zavctl" status=0
    # File names relative to the folder: Wine gives the Windows program the same
    # working folder, where a Unix path would mean another drive.
    (
        cd "$work" &&
            run wine "$exe" --port "$com" identify &&
            run wine "$exe" --port "$com" -q read --colours -o windows.zav &&
            run wine "$exe" --port "$com" -q write windows.zav --verify &&
            run "$linux" --device "$device" -q read --colours -o linux.zav &&
            run "$linux" diff windows.zav linux.zav &&
            echo "zavctl diff: the file read on Windows holds the same settings as the one read on Linux"
    ) 2>&1 | tee "$logs/e2e.log" || status=1
    wine "$exe" ports >"$logs/ports.txt" 2>&1 || true
    stop_simulator "$work/sim.pid"
    return "$status"
}

# Read all by zavctl.exe on the simulator's line-rate pseudo-terminal, timed on
# the tool's own traffic record: from the read's first request to the port's
# close, against the line-time floor of its transactions (8 request and 8 reply
# bytes at 9600 baud 8N1 and the 20 ms pause after each).
benchmark() {
    step "Link benchmark: read all, zavctl.exe under Wine"
    local work="$out/bench"
    rm -rf "$work"
    mkdir -p "$work"
    local device status=0
    device=$(start_simulator "$work/sim.pid" full)
    map_com_port "$device"
    # Pauses measured on the clock, without the one-second calibration.
    (cd "$work" && ZAV_DELAY_LOOP_COUNT=1 wine "$out/zavctl.exe" --port "$com" --trace read.trace -q read \
        >/dev/null) || status=1
    stop_simulator "$work/sim.pid"
    [ "$status" = 0 ] || return 1
    awk '
        / TX 4A 51 00 00 01 / { if (!start) start = $1; n++ }
        / port closed/ && start && !end { end = $1 }
        END {
            if (!n || !end) exit 1
            floor = n * (16 * 10 / 9600 + 0.020) * 1000
            printf "read all: %d transactions in %.1f ms; line-time floor %.1f ms; ratio %.3f (goal at most 1.05)\n",
                   n, end - start, floor, (end - start) / floor
        }' "$work/read.trace" | tee "$logs/bench.txt"
}

# The NSIS installer and the portable zip, from the build's programs and help files.
make_packages() {
    step "Packages: installer and zip"
    "$repo/scripts/windows/package.sh" "$build" "$out"
}

# The installer run silently in the prefix, the installed programs asked their
# version, then the uninstaller, which must leave the technician's files.
test_installer() {
    step "Installer under Wine"
    "$repo/scripts/windows/test-installer.sh" "$out" 2>&1 | tee "$logs/installer.log"
    return "${PIPESTATUS[0]}"
}

# The window's five pages on the demo in English, Spanish and French, drawn by
# Qt's "windows" platform under Wine on a virtual display.
take_screenshots() {
    step "Screenshots under Wine"
    "$repo/scripts/windows/screenshots.sh" "$out/screenshots" wine "$out/zav.exe" 2>&1 |
        tee "$logs/screenshots.log"
    return "${PIPESTATUS[0]}"
}

main() {
    local started=$SECONDS
    mkdir -p "$out" "$logs"
    install_packages
    build_qt
    build_windows
    build_host_tools
    make_packages
    if [ "${ZAV_WINDOWS_SKIP_TESTS:-0}" = 1 ]; then
        echo "Built in $((SECONDS - started)) s; tests skipped (ZAV_WINDOWS_SKIP_TESTS=1)"
        return 0
    fi
    start_display
    prepare_wine
    local failed=()
    run_tests || failed+=("tests")
    end_to_end || failed+=("end-to-end")
    benchmark || failed+=("benchmark")
    test_installer || failed+=("installer")
    if [ "${ZAV_WINDOWS_SKIP_SCREENSHOTS:-0}" != 1 ]; then
        take_screenshots || failed+=("screenshots")
    fi
    wineserver -k || true
    echo
    echo "Results in $out ($((SECONDS - started)) s)"
    if [ ${#failed[@]} -gt 0 ]; then
        echo "FAILED: ${failed[*]}" >&2
        return 1
    fi
    echo "All Windows steps passed"
}

main "$@"
