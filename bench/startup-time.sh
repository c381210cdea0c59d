#!/usr/bin/env bash
# Time from launch to a visible main window, over several runs, on a virtual display.
#   bench/startup-time.sh [BUILD_DIR] [RUNS]
# Needs xvfb and x11-utils (xwininfo).
set -euo pipefail
build=${1:-build}
runs=${2:-5}
zav=$(readlink -f "$build/zav")
[ -x "$zav" ] || { echo "no $zav; build first" >&2; exit 1; }
command -v Xvfb >/dev/null && command -v xwininfo >/dev/null || { echo "needs xvfb and x11-utils" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"; kill $xvfb 2>/dev/null || true' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display

for i in $(seq "$runs"); do
    ini="$work/zav.ini"
    printf '1\r\n0\r\n0\r\n"1"\r\n0\r\n' > "$ini"
    start=$(date +%s.%N)
    ZAV_COM1=/nonexistent "$zav" --ini "$ini" >/dev/null 2>&1 &
    pid=$!
    # The main window is mapped when its caption shows up as a viewable window.
    until xwininfo -name "ZAV 1.3.5  " 2>/dev/null | grep -q 'Map State: IsViewable'; do
        sleep 0.005
    done
    shown=$(date +%s.%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "run $i: $(echo "($shown - $start) * 1000" | bc -l | xargs printf '%.0f') ms to a visible window"
done
