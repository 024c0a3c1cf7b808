#!/usr/bin/env bash
# End-to-end run of the pack picker, the two sheets and the toast with the real
# binary and the shipped catalog (run it under with-xvfb.sh): choose a pack by its
# tile after a search, send feedback, file a software request from a group's
# request tile, then find both records in the settings file. Screenshots of the
# open picker, both sheets and the toast in both themes go to the out dir.
# Usage: picker-sheets-e2e.sh <corvanta> <out dir>
app="$1"
out="$2"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/picker-sheets-failure.png"
fail_details() {
    for key in CorvantaFeedbackReports CorvantaSoftwareRequests; do
        echo "$key: $(records "$key")" >&2
    done
}
unset CORVANTA_RESOURCES

# Clicks through the picker, the sheet holding the keyboard and long pastes
# are window-manager business too: run on openbox.
start_openbox
"$app" &
app_pid=$!

# The panel is the window with the collapsed or expanded panel's place; the
# popover is the one 396 wide, a sheet the one 380 wide.
window_of_width() {
    local id
    for id in $(app_windows); do
        read -r _ _ ww _ <<<"$(geometry "$id")"
        if [ "$1" = popover ] && [ "$ww" -eq 396 ]; then echo "$id"; return; fi
        if [ "$1" = sheet ] && [ "$ww" -eq 380 ]; then echo "$id"; return; fi
        if [ "$1" = panel ] && [ "$ww" -ne 396 ] && [ "$ww" -ne 380 ]; then echo "$id"; return; fi
    done
}
has_panel() { [ -n "$(window_of_width panel)" ]; }
wait_for has_panel || fail "the panel never appeared"
wid="$(window_of_width panel)"
is_expanded() { read_geometry; [ "$w" -gt 300 ]; }
popover_open() { [ -n "$(window_of_width popover)" ]; }
popover_closed() { ! popover_open; }
read_popover() { read -r px py pw ph <<<"$(geometry "$(window_of_width popover)")"; }
sheet_open() { [ -n "$(window_of_width sheet)" ]; }
sheet_closed() { ! sheet_open; }
# Typing reaches the sheet once it holds the keyboard.
sheet_has_keyboard() {
    local sheet
    sheet="$(window_of_width sheet)" && [ -n "$sheet" ] &&
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$sheet" ]
}

# The screen around the panel, wide enough for the popover on its left.
shot() {
    sleep 0.4
    read_geometry
    local left=$((x + w - 880))
    [ "$left" -lt 0 ] && left=0
    import -window root -crop "$((x + w + 10 - left))x$((h + 20))+${left}+$((y - 10))" +repage \
        "$out/$1" || fail "no screenshot $1"
}
click_at() {
    xdotool mousemove "$1" "$2" click 1
    sleep 0.3
}
press() {
    xdotool key "$@"
    sleep 0.3
}
# The stored list under a data key, decoded.
records() {
    python3 -c 'import base64,json,sys
d = json.load(open(sys.argv[1]))
print(base64.b64decode(d[sys.argv[2]]["value"]).decode())' "$settings" "$1" 2>/dev/null
}
# A record with this text, a version-4 UUID and a submission date (and group).
has_record() {
    records "$1" | python3 -c 'import json,re,sys
key, text, group = sys.argv[1], sys.argv[2], sys.argv[3]
for r in json.load(sys.stdin):
    if r.get(key) == text and re.fullmatch(r"[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}", r["id"]) \
       and r.get("submittedAt", 0) > 7e8 and (not group or r.get("group") == group):
        sys.exit(0)
sys.exit(1)' "$2" "$3" "${4:-}"
}

wait_for test -f "$settings" || fail "no settings file written"
read_geometry
click_at $((x + 171)) $((y + 31))
wait_for is_expanded || fail "the panel did not expand"

# open_picker: the pack button (31 points in, 145 wide) opens the popover.
open_picker() {
    read_geometry
    click_at $((x + 1 + 31 + 60)) $((y + 1 + 31))
    wait_for popover_open || fail "the picker did not open"
    read_popover
}
# The bottom of the popover: hint line 40, a divider, then the list.
list_bottom() { echo $((py + ph - 41)); }
# The colour of one pixel of the screen.
screen_pixel() {
    import -window root -crop "1x1+$1+$2" +repage png:- | convert png:- -format "%[hex:u.p{0,0}]" info:-
}
# The list is at its end when the scroll bar's handle (5 points in from the
# popover's right edge) reaches the list's bottom: there it differs from the
# list's own colour at its left edge.
handle_at() {
    local row="$1" left right
    left="$(screen_pixel $((px + 3)) "$row")" && right="$(screen_pixel $((px + pw - 5)) "$row")" &&
        [ -n "$left" ] && [ -n "$right" ] && [ "$left" != "$right" ]
}
scrolled_to_end() { handle_at $(($(list_bottom) - 6)); }
scrolled_to_top() { handle_at $(($(list_bottom) - 470 + 6)); }
scroll_to_end() {
    xdotool mousemove $((px + 100)) $(($(list_bottom) - 100)) click --repeat 200 --delay 2 5
    wait_for scrolled_to_end || fail "the picker's list did not scroll to its end"
}

run_theme() {
    local theme="$1" query="$2" pack="$3" request="$4"
    open_picker
    shot "picker-$theme.png"
    # The search button sits 30 points above the list's 470-point area.
    click_at $((px + 60)) $(($(list_bottom) - 470 - 1 - 12 - 17))
    xdotool type --delay 40 "$query"
    sleep 0.5
    shot "picker-search-$theme.png"
    # The first tile of the only matching group: list padding 11, the group's
    # header, then a 59-point tile.
    click_at $((px + 11 + 80)) $(($(list_bottom) - 470 + 11 + 16 + 30))
    wait_for popover_closed || fail "choosing a tile did not close the picker"
    wait_for setting_is CorvantaSoftware "$pack" || fail "the chosen pack $pack was not selected"

    # Feedback from the footer's button, with the picker open: one click
    # closes the picker and opens the sheet.
    open_picker
    read_geometry
    click_at $((x + w - 90)) $((y + h - 18))
    wait_for popover_closed || fail "the click on Feedback did not close the picker"
    wait_for sheet_open || fail "one click on Feedback with the picker open did not open the sheet"
    wait_for sheet_has_keyboard || fail "the feedback sheet did not take the keyboard"
    shot "sheet-feedback-$theme.png"
    # A click on the panel beside the sheet leaves the keyboard with the sheet.
    click_at $((x + 8)) $((y + h / 2))
    wait_for sheet_has_keyboard || fail "a click on the panel took the keyboard from the sheet"
    xdotool type --delay 20 "Feedback in $theme"
    press ctrl+Return
    wait_for sheet_closed || fail "Ctrl+Return did not close the feedback sheet"
    shot "toast-feedback-$theme.png"
    wait_for has_record CorvantaFeedbackReports message "Feedback in $theme" ||
        fail "the feedback record was not stored"

    # A request from the last group's request tile, at the very end of the list.
    open_picker
    scroll_to_end
    click_at $((px + 11 + 60)) $(($(list_bottom) - 11 - 30))
    wait_for popover_closed || fail "the request tile did not close the picker"
    wait_for sheet_open || fail "the request tile did not open the sheet"
    wait_for sheet_has_keyboard || fail "the request sheet did not take the keyboard"
    shot "sheet-request-$theme.png"
    xdotool type --delay 20 "$request"
    press ctrl+Return
    wait_for sheet_closed || fail "Ctrl+Return did not close the request sheet"
    shot "toast-request-$theme.png"
    wait_for has_record CorvantaSoftwareRequests softwareName "$request" other ||
        fail "the software request was not stored with its group"
}

run_theme dark "blender" blender "Krita"

# Every opening shows the top of the list, however far it was scrolled.
open_picker
scroll_to_end
press Escape
wait_for popover_closed || fail "Escape did not close the picker"
open_picker
wait_for scrolled_to_top || fail "the picker reopened where it had been scrolled"
press Escape
wait_for popover_closed || fail "Escape did not close the picker"

# A long paste into the one-line name field is kept whole.
long_name="$(python3 -c 'print("Very long name " * 3000, end="")')"
open_picker
scroll_to_end
click_at $((px + 11 + 60)) $(($(list_bottom) - 11 - 30))
wait_for sheet_has_keyboard || fail "the request sheet did not take the keyboard"
printf '%s' "$long_name" | xclip -selection clipboard
press ctrl+v
press ctrl+Return
wait_for sheet_closed || fail "Ctrl+Return did not send the long request"
wait_for has_record CorvantaSoftwareRequests softwareName "${long_name% }" other ||
    fail "the pasted name was not stored whole (${#long_name} characters)"
# That request's toast (1.8 s and its slide) goes before the light run's shots.
sleep 2.5
# Theme: the first of the header's five controls.
read_geometry
click_at $((x + w - 157)) $((y + 32))
wait_for setting_is CorvantaTheme light || fail "theme did not switch"
run_theme light "word" word "Kdenlive"
quit_app

# Low on the screen (the panel's top at 380 of 900) the picker has room for its
# whole list neither below nor above the pack button: it opens below with a
# shorter list and leaves the button uncovered, so a second click on the
# button closes it.
python3 - "$settings" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
d["CorvantaWindowTopRight"] = {"type": "string", "value": "{1100, 520}"}
d["CorvantaExpandedWindowSize"] = {"type": "string", "value": "{432, 520}"}
json.dump(d, open(sys.argv[1], "w"))
PY
"$app" &
app_pid=$!
wait_for has_panel || fail "the panel never appeared after the restart"
wid="$(window_of_width panel)"
read_geometry
is_expanded || { click_at $((x + 171)) $((y + 31)); wait_for is_expanded || fail "no expansion"; }
read_geometry
[ "$y" -eq 380 ] || fail "the panel's top is at $y, not 380"
open_picker
shot "picker-low.png"
button_x=$((x + 1 + 31 + 60)) button_y=$((y + 1 + 31))
echo "low panel at $x,$y: popover ${pw}x${ph} at $px,$py"
((button_y < py && py + ph <= 900)) ||
    fail "the popover at $px,$py ${pw}x${ph} covers the pack button at $button_x,$button_y"
click_at "$button_x" "$button_y"
wait_for popover_closed || fail "a click on the pack button did not close the picker"
quit_app
echo "PASS: screenshots in $out"
