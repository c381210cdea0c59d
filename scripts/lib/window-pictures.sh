# Helpers for the scripts that drive the window on a virtual display and take its
# pictures (help/screenshots.sh for the manual, scripts/windows/screenshots.sh
# under Wine). Sourced; the caller sets:
#   wid                    the window (xdotool search)
#   origin_x, origin_y     where the client area starts in the window's picture (0 0)
#   watched                the file that grows while the tool talks to the controller
#   shots                  the folder the pictures go to
#   work                   a scratch folder

origin_x=0
origin_y=0

# Layout positions are in twips (1/1440 inch); the display runs at 96 dpi.
px() { echo $(($1 * 96 / 1440)); }

click_px() {
    xdotool mousemove --window "$wid" $((origin_x + $1)) $((origin_y + $2)) click 1
    sleep 0.4
}

# Clicks a main-window control at a point given in twips from the client area's corner.
click_window() { click_px "$(px "$1")" "$(px "$2")"; }

# The page frames lie over the tab strip's client area, whose top follows the tab
# row's height and so the font: find the strip's top border line right of the tabs.
page_origin() {
    import -window "$wid" "$work/probe.png"
    local border
    border=$(convert "$work/probe.png" -crop "1x120+$((origin_x + $(px 9800)))+$((origin_y + $(px 120)))" \
        -colorspace gray -depth 8 txt:- |
        awk -F'[,:() ]+' 'NR > 1 && $4 < 215 && !found { print $2; found = 1 }')
    [ -n "$border" ] || { echo "screenshots: tab strip not found" >&2; exit 1; }
    page_x=$(($(px 2640) + 2))
    page_y=$(($(px 120) + border + 2))
}

# Clicks a control of the page shown, at a point given in twips from the page's corner.
click_page() { click_px $((page_x + $(px "$1"))) $((page_y + $(px "$2"))); }

# Waits until the watched file has been still for two seconds.
wait_idle() {
    local last=-1 now still=0
    while [ "$still" -lt 4 ]; do
        sleep 0.5
        now=$(stat -c %s "$watched" 2>/dev/null || echo 0)
        if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
        last=$now
    done
}

shot() {
    # The pointer out of the window, so no button is drawn hovered.
    xdotool mousemove 1270 1010
    sleep 0.5
    import -window "$wid" "png8:$shots/$1.png"
}

# Selects tab N (1 to 5): the first by a click, the others by the wheel over the strip.
tab() {
    click_window 2760 330
    local i
    for ((i = 1; i < $1; i++)); do
        xdotool click 5
        sleep 0.3
    done
    sleep 0.5
}
