#!/usr/bin/env bash
# End-to-end run of the real application on a real desktop: openbox as the
# window manager and trayer as the tray, on an X display (run it under
# with-xvfb.sh). The tray icon docks even though the tray starts after the app, a
# click on it hides and shows the panel, the pinned panel stays above a raised
# window, and an unpinned panel is dragged by the window manager.
# Usage: desktop-e2e.sh <corvanta> <probe window> <out dir>
app="$1"
probe="$2"
out="$3"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/desktop-failure.png"
# With a session bus offering status notifiers Qt would use those instead of
# the X11 tray protocol that trayer speaks.
unset DBUS_SESSION_BUS_ADDRESS


# The colour of one screen pixel as RRGGBB.
pixel() {
    import -window root -crop "1x1+$1+$2" +repage -depth 8 txt:- | awk 'NR == 2 {print substr($3, 2, 6)}'
}

start_app() {
    "$app" &
    app_pid=$!
    wait_for has_panel || fail "the panel never appeared"
}

start_openbox

start_app
panel="$(panel_window)"
xprop -id "$panel" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
    fail "the pinned panel did not ask the window manager to keep it above"

# A desktop often starts its tray after its autostart programs; the icon must
# dock when the tray turns up.
trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
    --transparent false >/dev/null 2>&1 &
pids+=($!)
has_tray_icon() { [ -n "$(tray_icon_window)" ]; }
wait_for has_tray_icon || fail "the tray icon never docked"
icon="$(tray_icon_window)"
# The tray's dock window grows to take the icon in.
in_tray() {
    local tray
    tray="$(xdotool search --onlyvisible --class '^trayer$' | head -n 1)"
    [ -n "$tray" ] || return 1
    read -r ix iy iw ih <<<"$(geometry "$icon")"
    read -r tx ty tw th <<<"$(geometry "$tray")"
    ((ix >= tx && iy >= ty && ix + iw <= tx + tw && iy + ih <= ty + th))
}
wait_for in_tray || fail "the tray icon at $(geometry "$icon") is not inside the tray"
in_tray
sleep 0.3
import -window root "$out/desktop-docked.png" || fail "no screenshot of the docked icon"

# A click on the icon hides the panel, the next one shows it again. The pause
# keeps the two clicks from counting as a double click. (No --sync: it waits
# for a motion that never comes when the pointer is already there.)
click_icon() { xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1; }
click_icon
wait_for no_panel || fail "a click on the tray icon did not hide the panel"
sleep 0.6
click_icon
wait_for has_panel || fail "a second click on the tray icon did not show the panel"
panel="$(panel_window)"

# A normal window over the panel, raised by the window manager: the pinned
# panel stays in front of it. The probe paints itself white; the bar is dark.
# Its window class is one the shipped catalog knows, so the panel follows it.
"$probe" firefox >"$config/probe-id" &
pids+=($!)
probe_mapped() { [ -s "$config/probe-id" ] && xwininfo -id "$(cat "$config/probe-id")" | grep -q IsViewable; }
wait_for probe_mapped || fail "the probe window never appeared"
other="$(cat "$config/probe-id")"
read -r px py pw ph <<<"$(geometry "$panel")"
xdotool windowsize --sync "$other" $((pw + 200)) $((ph + 200))
xdotool windowmove --sync "$other" $((px - 100)) $((py - 100))
xdotool windowactivate --sync "$other"
xdotool windowraise "$other"
stacked_above() {
    local order
    order="$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | awk '{for (i = 5; i <= NF; ++i) print $i}')"
    local p o
    p="$(grep -n -x "$(printf '0x%x' "$panel")" <<<"$order" | cut -d: -f1)"
    o="$(grep -n -x "$(printf '0x%x' "$other")" <<<"$order" | cut -d: -f1)"
    [ -n "$p" ] && [ -n "$o" ] && [ "$p" -gt "$o" ]
}
wait_for stacked_above || fail "the window manager stacked the raised window over the pinned panel"
probe_white() { [ "$(pixel $((px - 50)) $((py + ph + 50)))" = FFFFFF ]; }
wait_for probe_white || fail "the raised window is not on the screen"
[ "$(pixel $((px + 60)) $((py + ph / 2)))" != FFFFFF ] ||
    fail "the raised window covers the pinned panel"
import -window root "$out/desktop-above.png" || fail "no screenshot of the panel above a window"
follows_probe() { [ "$(setting CorvantaSoftware)" = firefox ]; }
wait_for follows_probe || fail "the panel did not follow the window the window manager activated"
quit_app

# An unpinned panel: a drag on the bar's left part hands the move to the
# window manager, which moves the panel with the pointer. (Qt asks for the move
# only where the window manager announces that it takes such requests.)
xprop -root _NET_SUPPORTED | grep -q _NET_WM_MOVERESIZE ||
    fail "the window manager does not take move requests"
python3 - "$settings" <<'EOF' || fail "could not unpin in the settings file"
import json, sys
path = sys.argv[1]
document = json.load(open(path))
document["CorvantaPinned"] = {"type": "bool", "value": False}
json.dump(document, open(path, "w"))
EOF
start_app
panel="$(panel_window)"
xprop -id "$panel" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && fail "the unpinned panel still floats"
read -r px py pw ph <<<"$(geometry "$panel")"
dx=-400
dy=250
grab_x=$((px + 80))
grab_y=$((py + ph / 2))
xdotool mousemove --sync "$grab_x" "$grab_y" mousedown 1
# The window manager moves the window only with the pointer motion it sees
# after it took the move over, so the check is that the panel went most of the
# way and the pointer still holds the bar where it grabbed it.
sleep 0.2
for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --sync $((grab_x + dx * step / 10)) $((grab_y + dy * step / 10))
    sleep 0.05
done
xdotool mouseup 1
moved() {
    local x y w h
    read -r x y w h <<<"$(geometry "$panel")"
    ((x <= px + dx / 2 && y >= py + dy / 2)) || return 1
    ((grab_x + dx >= x && grab_x + dx < x + w && grab_y + dy >= y && grab_y + dy < y + h))
}
wait_for moved || fail "the panel at $(geometry "$panel") did not follow the drag from $px,$py by $dx,$dy"
read -r px py pw ph <<<"$(geometry "$panel")"
import -window root "$out/desktop-dragged.png" || fail "no screenshot after the drag"
quit_app

# The place the window manager moved the panel to is the one saved: the top
# right corner in y-up screen coordinates.
read -r screen_h <<<"$(xwininfo -root | awk '/Height:/ {print $2}')"
expected="{$((px + pw)), $((screen_h - py))}"
[ "$(setting CorvantaWindowTopRight)" = "$expected" ] ||
    fail "saved top right $(setting CorvantaWindowTopRight), expected $expected"
echo "PASS: screenshots in $out (desktop-docked.png, desktop-above.png, desktop-dragged.png)"
