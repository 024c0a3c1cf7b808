#!/usr/bin/env bash
# The panel heard through the Orca screen reader (run it under with-xvfb.sh): flat
# review reads a row as its title and keys, Tab reaches the current row and
# then its star, Space on the star adds the favourite, and the submission
# toast is spoken after the focus has come back, in English and in Chinese.
# Skips (77) when Orca or its speech and accessibility services are missing.
app="$1"

source "$(dirname "$0")/e2e-common.sh"
source "$(dirname "$0")/orca-common.sh"
unset CORVANTA_RESOURCES
orca_available || { echo "SKIP: orca, speech-dispatcher or at-spi2 missing"; exit 77; }
orca_session "$0" "$@"
fail_details() {
    echo "Orca said:" >&2
    cat "$spoken" >&2
    echo "Orca's output:" >&2
    tail -n 20 "$work/orca.log" "$work/speechd.log" >&2
}

start_openbox
orca_bus
log="$work/app.log"
"$app" >"$log" 2>&1 &
app_pid=$!
wait_for has_panel || fail "no panel window"
wid="$(panel_window)"
xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
xdotool key ctrl+k
read_geometry
is_expanded() { read_geometry; [ "$w" -gt 300 ]; }
wait_for is_expanded || fail "Ctrl+K did not expand the panel"
sleep 0.3
# Orca reads in flat review only what was showing when it started.
orca_start || fail "Orca said nothing on start-up"
spoken_settle_quick

# A row's keys are spoken as words after its title, "Move tool, V", then its
# star: "Move tool, V Add Move tool to favorites" / "移动工具，V 收藏 移动工具".
row_en='^(.+), ([A-Za-z0-9 ]+) Add \1 to favorites$'
row_zh='^(.+)[，,]([^ ].*) 收藏 \1$'
# A loaded machine can leave Orca behind the window's last change; a review
# that finds nothing is tried again once the search field has the focus.
review_row() {
    local said line="" attempt
    for attempt in 1 2 3; do
        orca_key KP_Subtract >/dev/null
        for _ in $(seq 10); do
            said="$(orca_key KP_Page_Up)"
            line="$(grep -E "$1" <<<"$said" | head -n 1)"
            [ -n "$line" ] && break
        done
        orca_key KP_Subtract >/dev/null
        [ -n "$line" ] && break
        orca_key ctrl+k >/dev/null
        sleep 1
    done
    echo "$line"
}
line="$(review_row "$row_en")"
[ -n "$line" ] || fail "flat review never read a row with its keys"
echo "flat review: $line"
row='[^|]+, ((Command|Shift|Option|Control) )*[A-Z0-9][A-Za-z0-9 ]*'

# Tab from the search field reaches the list, which speaks its current row;
# Down the next row; Tab that row's star, and Space presses it.
said=""
for _ in $(seq 12); do
    said="$(orca_key Tab)"
    grep -E "^$row\.?$" <<<"$said" >/dev/null && break
done
title="$(grep -E "^$row\.?$" <<<"$said" | head -n 1 | sed -E 's/, .*//')"
[ -n "$title" ] || fail "Tab never reached a row of the list"
echo "tab to row: $title"
# Down moves the current row, which is spoken as it arrives.
said="$(orca_key Down)"
next="$(grep -E "^$row\.?$" <<<"$said" | head -n 1 | sed -E 's/, .*//')"
[ -n "$next" ] && [ "$next" != "$title" ] || fail "Down did not speak the next row: $said"
title="$next"
echo "down to row: $title"
said="$(orca_key Tab)"
grep -F "Add $title to favorites" <<<"$said" >/dev/null || fail "Tab did not reach the star of $title: $said"
said="$(orca_key space)"
favorite_added() { setting CorvantaFavorites | grep -F "'" >/dev/null; }
wait_for favorite_added || fail "Space on the star of $title added no favourite"
echo "space on star: $said"
grep -Fi "checked" <<<"$said" >/dev/null || fail "the star's new state was not spoken: $said"


# The toast: feedback from the footer's button; its text is spoken after the
# focus has come back to the panel, and nothing cuts it off.
toast_heard() {
    local text="$1"
    read_geometry
    xdotool mousemove $((x + w - 90)) $((y + h - 18)) click 1
    sleep 0.8
    xdotool type --delay 10 "Orca"
    local mark
    mark="$(spoken_mark)"
    xdotool key ctrl+Return
    patience=40 wait_for spoken_has "$mark" "$text" || fail "the toast \"$text\" was not spoken"
    spoken_settle_quick
    spoken_since "$mark" | tail -n 1 | grep -F "$text" >/dev/null ||
        fail "something was spoken after the toast \"$text\": $(spoken_since "$mark")"
    echo "toast: $(spoken_since "$mark" | grep -F "$text" | cut -d'|' -f2-)"
}
toast_heard "Feedback sent"

# The same in Chinese: the language control is the third from the right.
read_geometry
xdotool mousemove $((x + w - 91)) $((y + 32)) click 1
wait_for setting_is CorvantaLanguage zh || fail "the language did not switch"
toast_heard "反馈已提交"
line="$(review_row "$row_zh")"
[ -n "$line" ] || fail "flat review never read a Chinese row with its keys"
echo "flat review: $line"
echo "orca e2e: ok"
