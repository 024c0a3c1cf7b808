#!/usr/bin/env bash
# End-to-end run of the panel's face with the real binary and the shipped
# catalog (run it under with-xvfb.sh): expand by button and by Ctrl+K, search, star
# a shortcut and find it under Favorites, switch theme and language, and save a
# screenshot of each face in each theme and language.
# Usage: interface-e2e.sh <corvanta> <out dir>
app="$1"
out="$2"

source "$(dirname "$0")/e2e-common.sh"
unset CORVANTA_RESOURCES

"$app" &
app_pid=$!

panel_window() { app_windows | head -n 1; }
has_panel() { [ -n "$(panel_window)" ]; }
wait_for has_panel || fail "the panel never appeared"
wid="$(panel_window)"

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
# (grep reads to the end: with -q it may quit early, and under pipefail the
# writer's SIGPIPE would fail a match that was found.)
has_colour() {
    convert "$out/$1" -crop "$2" +repage -format %c histogram:info:- | grep -i "#$3" >/dev/null
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

# The colours of the list's first 120 points as they are on the screen now.
list_colours() {
    read_geometry
    import -window root -crop "$((w - 2))x120+$((x + 1))+$((y + list_top))" +repage png:- |
        convert png:- -format %c histogram:info:-
}
list_shows_caps() { list_colours | grep -i "#282828" >/dev/null; }
list_is_empty() {
    local colours
    colours="$(list_colours)" && [ -n "$colours" ] && ! grep -i "#282828" >/dev/null <<<"$colours"
}

# Search: Ctrl+K focuses the field, typing filters the list. A query that
# matches nothing empties the list, so the typing is seen to reach the search.
press ctrl+k
xdotool type --delay 40 "qzxjvq"
wait_for list_is_empty || fail "a query that matches nothing still lists key caps"
press ctrl+a BackSpace
xdotool type --delay 40 "copy"
wait_for list_shows_caps || fail "no rows for the query"
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

# collapse <shot>: Escape collapses the panel, then the bar is saved.
collapse_to() {
    press Escape
    wait_for is_collapsed || fail "Escape did not collapse the panel before $1"
    shot "$1"
}
# expand_and_click <x from right> <setting> <value> <shot>: Ctrl+K expands the
# bar, one header control is clicked and its setting awaited.
expand_and_click() {
    press ctrl+k
    wait_for is_expanded || fail "Ctrl+K did not expand the panel before $4"
    click_at $((w - $1)) 32
    wait_for setting_is "$2" "$3" || fail "$2 did not become $3"
    shot "$4"
}

collapse_to panel-collapsed-light-en.png
[ "$(pixel panel-collapsed-light-en.png 115 4)" = "FBFBFB" ] || fail "collapsed light plate is not #FBFBFB"
# The language control is the third of the five, the theme control the first.
expand_and_click 91 CorvantaLanguage zh panel-expanded-light-zh.png
collapse_to panel-collapsed-light-zh.png
expand_and_click 157 CorvantaTheme dark panel-expanded-dark-zh.png
collapse_to panel-collapsed-dark-zh.png

quit_app
echo "PASS: screenshots in $out"
