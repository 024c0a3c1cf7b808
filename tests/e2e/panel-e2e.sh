#!/usr/bin/env bash
# End-to-end run of the real application on an X display (run it under
# with-xvfb.sh): placement, following the active window, single instance and a
# clean quit. Usage: panel-e2e.sh <corvanta> <probe window> <test bundle> <out dir>
app="$1"
probe="$2"
bundle="$3"
out="$4"

source "$(dirname "$0")/e2e-common.sh"
probe_pid=""
stop_extra() { [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null; }
export CORVANTA_RESOURCES="$bundle"

"$app" &
app_pid=$!

panel_window() { app_windows | head -n 1; }
has_panel() { [ -n "$(panel_window)" ]; }
wait_for has_panel || true
wid="$(panel_window)"
[ -n "$wid" ] || fail "the panel never appeared"
sleep 0.5
import -window root "$out/e2e-startup.png" || fail "no start-up screenshot"

# On a bare 1440 × 900 display the bar sits 22 points from the right edge and
# 110 below the top.
read -r x y w h <<<"$(geometry "$wid")"
[ "$x,$y,$w,$h" = "1188,110,230,62" ] || fail "panel at $x,$y size ${w}x$h, expected 1188,110 230x62"

# Our own window class is our identifier, so activating the panel changes nothing.
xprop -id "$wid" WM_CLASS | grep -q '"org.corvanta.Corvanta"' || fail "unexpected window class"

# Another application comes to the front: the panel switches to its pack.
wait_for test -f "$settings" || fail "no settings file written"
[ "$(setting CorvantaSoftware)" = "notes" ] || fail "first pack not selected at start"
"$probe" CorvantaE2EProbe >/dev/null &
probe_pid=$!
selected_probe() { [ "$(setting CorvantaSoftware)" = "probe" ]; }
wait_for selected_probe || fail "the active window's pack was not selected"
sleep 0.3
import -window root "$out/e2e-switched.png" || fail "no screenshot after the switch"

# A second launch hands over to the running one and exits 0.
timeout 10 "$app"
status=$?
[ "$status" -eq 0 ] || fail "second launch exited with $status"
kill -0 "$app_pid" 2>/dev/null || fail "the first instance died"

# SIGTERM is a normal quit: exit status 0, settings intact.
quit_app
[ "$(setting CorvantaSoftware)" = "probe" ] || fail "settings lost on quit"
echo "PASS: screenshots in $out"
