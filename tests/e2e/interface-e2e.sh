#!/usr/bin/env bash
# End-to-end run of the panel's face with the real binary and the shipped
# catalog (run it under xvfb-run): expand by button and by Ctrl+K, search, star
# a shortcut and find it under Favorites, switch theme and language, and save a
# screenshot of each face in each theme and language.
# Usage: interface-e2e.sh <corvanta> <out dir>
set -uo pipefail

app="$1"
out="$2"

config="$(mktemp -d)"
runtime="$(mktemp -d)"
chmod 700 "$runtime"
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    rm -rf "$config" "$runtime"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$settings" ] && { echo "settings file:" >&2; cat "$settings" >&2; }
    exit 1
}

# Polls a command for up to ~10 s.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

setting() {
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[sys.argv[2]]["value"])' \
        "$settings" "$1" 2>/dev/null
}
setting_is() { [ "$(setting "$1")" = "$2" ]; }

export XDG_CONFIG_HOME="$config"
export XDG_RUNTIME_DIR="$runtime"
unset CORVANTA_RESOURCES
settings="$config/corvanta/settings.json"

"$app" &
app_pid=$!

panel_window() { xdotool search --onlyvisible --class '^org\.corvanta\.Corvanta$' | head -n 1; }
has_panel() { [ -n "$(panel_window)" ]; }
wait_for has_panel || fail "the panel never appeared"
wid="$(panel_window)"

# Reads the panel's geometry into x, y, w, h.
read_geometry() {
    local info
    info="$(xwininfo -id "$wid")"
    x="$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")"
    y="$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")"
    w="$(awk '/Width:/ {print $2}' <<<"$info")"
    h="$(awk '/Height:/ {print $2}' <<<"$info")"
}
is_expanded() { read_geometry; [ "$w" -gt 300 ]; }
is_collapsed() { read_geometry; [ "$w" -eq 230 ] && [ "$h" -eq 62 ]; }

# Saves the panel's own rectangle of the screen.
shot() {
    sleep 0.4
    read_geometry
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$1" || fail "no screenshot $1"
}
# The colour of one pixel of the panel, as #RRGGBB.
pixel() {
    convert "$out/$1" -format "%[hex:u.p{$2,$3}]" info:- 2>/dev/null | cut -c1-6
}
# Whether a colour occurs in a region of a screenshot.
has_colour() {
    convert "$out/$1" -crop "$2" +repage -format %c histogram:info:- | grep -qi "#$3"
}
click_at() {
    read_geometry
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
    sleep 0.3
}
press() {
    xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
    xdotool key "$@"
    sleep 0.3
}

wait_for test -f "$settings" || fail "no settings file written"
wait_for is_collapsed || fail "the panel did not start collapsed"
shot panel-collapsed-dark-en.png
[ "$(pixel panel-collapsed-dark-en.png 115 4)" = "141414" ] || fail "collapsed dark plate is not #141414"

# Expand with the bar's button (30 × 30, left of the close button).
click_at 171 31
wait_for is_expanded || fail "the expand button did not expand the panel"
shot panel-expanded-dark-en.png
[ "$(pixel panel-expanded-dark-en.png 200 8)" = "1B1B1B" ] || fail "header is not on chrome"
list_top=$((1 + 62 + 90 + 42 + 36))
# Key caps (#282828) are drawn in the list.
has_colour panel-expanded-dark-en.png "$((w - 2))x120+1+$list_top" 282828 || fail "no key caps in the list"

# Search: Ctrl+K focuses the field, typing filters the list.
press ctrl+k
xdotool type --delay 40 "copy"
sleep 0.5
shot e2e-search.png
has_colour e2e-search.png "$((w - 2))x120+1+$list_top" 282828 || fail "no rows for the query"

# Star the first row (its star sits 27 points in from the right edge).
click_at $((w - 27)) $((list_top + 28 + 20))
favourite_stored() { [ -n "$(setting CorvantaFavorites | tr -d '[]')" ]; }
wait_for favourite_stored || fail "starring did not store a favourite"
# The Favorites filter shows it.
click_at 80 $((1 + 62 + 10 + 36 + 9 + 14))
shot e2e-favorites.png
has_colour e2e-favorites.png "$((w - 2))x120+1+$list_top" 282828 || fail "the favourite is not listed"

# Theme: the first of the five header controls.
click_at $((w - 157)) 32
wait_for setting_is CorvantaTheme light || fail "theme did not switch"
shot panel-expanded-light-en.png
[ "$(pixel panel-expanded-light-en.png 200 8)" = "FFFFFF" ] || fail "light header is not white"

press Escape
wait_for is_collapsed || fail "Escape did not collapse the panel"
shot panel-collapsed-light-en.png
[ "$(pixel panel-collapsed-light-en.png 115 4)" = "FBFBFB" ] || fail "collapsed light plate is not #FBFBFB"

# Ctrl+K expands a collapsed panel.
press ctrl+k
wait_for is_expanded || fail "Ctrl+K did not expand the panel"
click_at $((w - 91)) 32
wait_for setting_is CorvantaLanguage zh || fail "language did not switch"
shot panel-expanded-light-zh.png
press Escape
wait_for is_collapsed || fail "Escape did not collapse the panel"
shot panel-collapsed-light-zh.png

press ctrl+k
wait_for is_expanded || fail "Ctrl+K did not expand the panel again"
click_at $((w - 157)) 32
wait_for setting_is CorvantaTheme dark || fail "theme did not switch back"
shot panel-expanded-dark-zh.png
press Escape
wait_for is_collapsed || fail "Escape did not collapse the panel"
shot panel-collapsed-dark-zh.png

kill -TERM "$app_pid"
wait "$app_pid"
app_pid=""
echo "PASS: screenshots in $out"
