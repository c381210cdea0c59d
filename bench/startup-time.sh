#!/usr/bin/env bash
# Time from launch to a visible main window, over several runs, on a virtual display.
#   bench/startup-time.sh [BUILD_DIR] [RUNS]
# Needs Xvfb (Debian xvfb), xwininfo (x11-utils) and bc (bc). A run that shows no
# window within LIMIT seconds (default 30) ends the script with status 1.
set -euo pipefail
build=${1:-build}
runs=${2:-5}
limit=${LIMIT:-30}
zav=$(readlink -f "$build/zav")
[ -x "$zav" ] || { echo "no $zav; build first" >&2; exit 1; }
missing=
for tool in Xvfb:xvfb xwininfo:x11-utils bc:bc; do
    command -v "${tool%%:*}" >/dev/null || missing="$missing ${tool#*:}"
done
[ -z "$missing" ] || { echo "needs the Debian packages:$missing" >&2; exit 1; }

work=$(mktemp -d)
xvfb=
pid=
trap 'rm -rf "$work"; [ -z "$pid" ] || kill "$pid" 2>/dev/null || true; [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true' EXIT
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=$display
# The display is there once its root window answers; Xvfb may also fail at once.
deadline=$((SECONDS + 10))
until xwininfo -root >/dev/null 2>&1; do
    if ! kill -0 "$xvfb" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
        echo "the virtual display $display did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.05
done

for i in $(seq "$runs"); do
    ini="$work/zav.ini"
    printf '1\r\n0\r\n0\r\n"1"\r\n0\r\n' > "$ini"
    start=$(date +%s.%N)
    ZAV_COM1=/nonexistent "$zav" --ini "$ini" >/dev/null 2>&1 &
    pid=$!
    # The main window is mapped when its caption shows up as a viewable window.
    deadline=$((SECONDS + limit))
    until xwininfo -name "ZAV 1.3.5  " 2>/dev/null | grep -q 'Map State: IsViewable'; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "run $i: zav ended without showing its window" >&2
            exit 1
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "run $i: no visible window after $limit s; giving up" >&2
            exit 1
        fi
        sleep 0.005
    done
    shown=$(date +%s.%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    pid=
    echo "run $i: $(echo "($shown - $start) * 1000" | bc -l | xargs printf '%.0f') ms to a visible window"
done
