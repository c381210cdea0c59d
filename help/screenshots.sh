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

# Layout positions are in twips (1/1440 inch); the display runs at 96 dpi.
px() { echo $(($1 * 96 / 1440)); }

click_px() {
    xdotool mousemove --window "$wid" "$1" "$2" click 1
    sleep 0.3
}

# Clicks a main-window control at a point given in twips from the window's corner.
click_window() { click_px "$(px "$1")" "$(px "$2")"; }

# The page frames lie over the tab strip's client area, whose top follows the tab
# row's height and so the font: find the strip's top border line right of the tabs.
page_origin() {
    import -window "$wid" "$work/probe.png"
    local border
    border=$(convert "$work/probe.png" -crop "1x120+$(px 9800)+$(px 120)" -colorspace gray -depth 8 txt:- |
        awk -F'[,:() ]+' 'NR > 1 && $4 < 215 && !found { print $2; found = 1 }')
    [ -n "$border" ] || { echo "screenshots: tab strip not found" >&2; exit 1; }
    page_x=$(($(px 2640) + 2))
    page_y=$(($(px 120) + border + 2))
}

# Clicks a control of the page shown, at a point given in twips from the page's corner.
click_page() { click_px $((page_x + $(px "$1"))) $((page_y + $(px "$2"))); }

# Waits until zav-sim's frame log has been still for two seconds.
wait_idle() {
    local last=-1 now still=0
    while [ "$still" -lt 4 ]; do
        sleep 0.5
        now=$(stat -c %s "$work/sim.log" 2>/dev/null || echo 0)
        if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
        last=$now
    done
}

shot() {
    # The pointer out of the window, so no button is drawn hovered.
    xdotool mousemove 1270 1010
    sleep 0.5
    import -window "$wid" "png8:$out/$1.png"
}

# Selects tab N (1 to 5): the first by a click, the others by the wheel over the strip.
tab() {
    xdotool mousemove --window "$wid" "$(px 2760)" "$(px 330)" click 1
    sleep 0.2
    local i
    for ((i = 1; i < $1; i++)); do
        xdotool click 5
        sleep 0.2
    done
    sleep 0.3
}

run_language() {
    local lang=$1 locale=$2
    out="$here/$lang/images"
    mkdir -p "$out"
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
    echo "screenshots: $lang done ($(ls "$out" | wc -l) pictures)"
}

run_language en en_US.UTF-8
run_language es es_ES.UTF-8
run_language fr fr_FR.UTF-8
