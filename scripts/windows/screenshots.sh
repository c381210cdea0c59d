#!/usr/bin/env bash
# Pictures of the window's five pages on the demo's simulated controller, in
# English, Spanish and French, on a virtual display of its own:
#
#   scripts/windows/screenshots.sh OUT_DIR PROGRAM [ARGS...]
#     scripts/windows/screenshots.sh build-windows/screenshots wine build-windows/zav.exe
#     scripts/windows/screenshots.sh /tmp/linux-shots build/zav
#
# The same clicks for either platform, so the pictures can be laid side by side:
# under Wine the window is drawn by Qt's own "windows" platform, not offscreen.
# Each language starts PROGRAM --demo with a temporary zav.ini (its LanguageCode,
# and FactoryCode 731 for the fifth page) and the language's locale in LC_ALL
# (Wine takes its user locale, numbers and dates from it, not from LANG), whose
# messages language picks the string table's texts. Read ZAV fills page 1,
# Refresh lights page 3, "Leer Colores" fills page 5. OUT_DIR/<lang>/pageN.png.
#
# Needs xvfb, xauth, xdotool and imagemagick.
set -euo pipefail

out=$(mkdir -p "$1" && cd "$1" && pwd)
shift
# The program runs from a folder of its own: its files by their full paths.
program=()
for word in "$@"; do
    if [ -e "$word" ]; then
        program+=("$(cd "$(dirname "$word")" && pwd)/$(basename "$word")")
    else
        program+=("$word")
    fi
done
set -- "${program[@]}"
for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshots: $tool missing (apt-get install xvfb xauth xdotool imagemagick)" >&2
        exit 1
    }
done

# A display of our own, so no window manager or other window gets in the picture.
if [ -z "${ZAV_SHOTS_DISPLAY:-}" ]; then
    export ZAV_SHOTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$out" "$@"
fi

work=$(mktemp -d)
zav_pid=""
cleanup() {
    if [ -n "$zav_pid" ]; then
        kill "$zav_pid" 2>/dev/null || true
        wait "$zav_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/../lib/window-pictures.sh"
watched="$work/traffic.txt"

# Where the client area starts in the window's picture.
find_origin() {
    origin_x=0
    origin_y=0
    import -window "$wid" "$work/probe.png"
    echo "screenshots: window $(identify -format '%wx%h' "$work/probe.png")"
}

run_language() {
    local lang=$1 locale=$2 code=$3
    shift 3
    shots="$out/$lang"
    rm -rf "$shots"
    mkdir -p "$shots"
    printf '1\r\n0\r\n0\r\n"%s"\r\n731\r\n' "$code" >"$work/zav.ini"
    : >"$work/traffic.txt"
    # Names relative to the folder: a Windows program reads a Unix path as another drive's.
    (cd "$work" && exec env LC_ALL="$locale" LANG="$locale" \
        "$@" --demo --ini zav.ini --trace traffic.txt >"$work/zav-$lang.out" 2>&1) &
    zav_pid=$!
    wid=$(timeout 120 xdotool search --sync --onlyvisible --name '^ZAV [0-9]' | head -n 1 || true)
    [ -n "$wid" ] || { echo "screenshots: no window ($lang)" >&2; cat "$work/zav-$lang.out" >&2; exit 1; }
    # Start-up ends with the one-second speed test.
    sleep 5
    find_origin

    click_window $((2280 + 487)) $((6240 + 247)) # Read ZAV
    sleep 1
    wait_idle
    shot page1
    tab 2
    shot page2

    tab 3
    page_origin
    click_page $((2910 + 700)) $((3720 + 120)) # Ver estado
    click_page $((2910 + 120)) $((4080 + 120)) # instant speed
    click_page $((2910 + 120)) $((4440 + 120)) # LED instant current
    click_page $((2910 + 120)) $((4740 + 120)) # LED current
    click_page $((240 + 547)) $((4605 + 187))  # Refresh
    wait_idle
    shot page3

    tab 4
    shot page4

    tab 5
    page_origin
    click_page $((6000 + 607)) $((4560 + 247)) # Leer Colores
    sleep 1
    wait_idle
    shot page5

    kill "$zav_pid" 2>/dev/null || true
    wait "$zav_pid" 2>/dev/null || true
    zav_pid=""
    echo "screenshots: $lang: $(cd "$shots" && ls | tr '\n' ' ')"
}

run_language en en_US.UTF-8 1 "$@"
run_language es es_ES.UTF-8 34 "$@"
run_language fr fr_FR.UTF-8 1 "$@"
