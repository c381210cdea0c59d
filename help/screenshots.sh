#!/usr/bin/env bash
# Makes the manual's pictures from the tool itself: runs the built zav against
# zav-sim (full profile) on a virtual display, clicks Read, each page, Refresh and
# "Leer Colores", and saves the window as PNG in help/<lang>/images/, once per
# language (English, Spanish, French).
#
#   help/screenshots.sh [BUILD_DIR]        (default: build)
#
# Needs a build folder with zav and tools/zav-sim/zav-sim, and the Debian packages
# xvfb, xauth, xdotool and imagemagick. Re-run it whenever the window changes; the
# help files pick the new pictures up at the next build.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
zav="$build/zav"
sim="$build/tools/zav-sim/zav-sim"
for program in "$zav" "$sim"; do
    [ -x "$program" ] || { echo "screenshots: $program not built" >&2; exit 1; }
done
for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshots: $tool missing (apt-get install xvfb xauth xdotool imagemagick)" >&2
        exit 1
    }
done

# A display of our own, so no window manager or other window gets in the picture.
if [ -z "${ZAV_SHOTS_DISPLAY:-}" ]; then
    export ZAV_SHOTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$build"
fi

work="$(mktemp -d)"
sim_pid=""
zav_pid=""
cleanup() {
    [ -n "$zav_pid" ] && kill "$zav_pid" 2>/dev/null || true
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

. "$here/../scripts/lib/window-pictures.sh"
watched="$work/sim.log"

run_language() {
    local lang=$1 locale=$2
    shots="$here/$lang/images"
    mkdir -p "$shots"
    : >"$work/sim.log"
    local device
    device=$("$sim" --background --pid-file "$work/sim.pid" --no-line-rate --log "$work/sim.log" full) || {
        echo "screenshots: zav-sim gave no device" >&2
        exit 1
    }
    sim_pid=$(cat "$work/sim.pid")

    printf '1\r\n0\r\n0\r\n"1"\r\n0\r\n' >"$work/zav.ini"
    env -u LC_ALL -u LC_MESSAGES LANG="$locale" ZAV_COM1="$device" \
        "$zav" --ini "$work/zav.ini" >"$work/zav.out" 2>&1 &
    zav_pid=$!
    wid=$(xdotool search --sync --onlyvisible --name '^ZAV [0-9]' | head -n 1)
    # Start-up ends with the one-second speed test.
    sleep 4
    shot start

    click_window $((2280 + 487)) $((6240 + 247)) # Read ZAV
    sleep 1
    wait_idle
    shot page1-flashes
    tab 2
    shot page2-rotation

    tab 3
    page_origin
    click_page $((2910 + 700)) $((3720 + 120)) # Ver estado
    click_page $((2910 + 120)) $((4080 + 120)) # instant speed
    click_page $((2910 + 120)) $((4440 + 120)) # LED instant current
    click_page $((2910 + 120)) $((4740 + 120)) # LED current
    click_page $((240 + 547)) $((4605 + 187))  # Refresh
    wait_idle
    shot page3-remote

    tab 4
    shot page4-setup

    tab 5
    page_origin
    click_page $((6000 + 607)) $((4560 + 247)) # Leer Colores
    sleep 1
    wait_idle
    shot page5-colours

    kill "$zav_pid"
    wait "$zav_pid" 2>/dev/null || true
    zav_pid=""
    kill "$sim_pid" 2>/dev/null || true
    sim_pid=""
    echo "screenshots: $lang done ($(ls "$shots" | wc -l) pictures)"
}

run_language en en_US.UTF-8
run_language es es_ES.UTF-8
run_language fr fr_FR.UTF-8
