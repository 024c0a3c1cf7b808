#!/usr/bin/env bash
# How long Ctrl+Q takes to end the process, on a fresh start and after a
# session of use (expanding, searching, the picker, packs switched by other
# applications coming to the front), on a desktop with openbox and trayer and
# many installed applications and icons. Run it under with-xvfb.sh.
# Usage: quit-e2e.sh <corvanta> <probe window> <out dir> [bound in ms]
# QUIT_E2E_ENTRIES sets how many desktop entries are installed (20000);
# QUIT_E2E_KEEP_BUS=1 keeps the caller's session bus (run it under
# dbus-run-session to try the session a desktop login gives).
app="$1"
probe="$2"
out="$3"
bound_ms="${4:-200}"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/quit-failure.png"
data="$work/data"
mkdir -p "$data"

export XDG_CONFIG_HOME="$config"
export XDG_RUNTIME_DIR="$runtime"
unset CORVANTA_RESOURCES
# Trayer speaks the X11 tray protocol; a session bus would take Qt elsewhere.
[ -n "${QUIT_E2E_KEEP_BUS:-}" ] || unset DBUS_SESSION_BUS_ADDRESS
settings="$config/corvanta/settings.json"

# A well-stocked machine: thousands of desktop entries and a large icon theme
# in front of the system's own data folders. The entries name window classes
# of packs in the catalog, so switching packs looks their icons up.
python3 - "$data" <<'EOF'
import os, sys
root = sys.argv[1]
apps = os.path.join(root, "applications")
theme = os.path.join(root, "icons", "hicolor")
os.makedirs(apps)
sizes = ["16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256"]
svg = '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 8 8"><rect width="8" height="8" fill="#%06X"/></svg>'
for size in sizes:
    os.makedirs(os.path.join(theme, size, "apps"))
for i in range(int(os.environ.get("QUIT_E2E_ENTRIES", "20000"))):
    name = "vendor%d.tool%d" % (i % 50, i)
    with open(os.path.join(apps, name + ".desktop"), "w") as f:
        f.write("[Desktop Entry]\nType=Application\nName=Tool %d\nExec=/bin/true\n"
                "Icon=%s\nStartupWMClass=ToolClass%d\nCategories=Utility;\n" % (i, name, i))
    if i % 20 == 0:
        for size in sizes:
            with open(os.path.join(theme, size, "apps", name + ".svg"), "w") as f:
                f.write(svg % (i * 2654435761 % 0xFFFFFF))
for name, wm_class in [("firefox-e2e", "firefox"), ("audacity-e2e", "audacity")]:
    with open(os.path.join(apps, name + ".desktop"), "w") as f:
        f.write("[Desktop Entry]\nType=Application\nName=%s\nExec=/bin/true\nIcon=%s\n"
                "StartupWMClass=%s\n" % (name, "vendor1.tool1", wm_class))
with open(os.path.join(theme, "index.theme"), "w") as f:
    f.write("[Icon Theme]\nName=Hicolor\nDirectories=%s\n" % ",".join(s + "/apps" for s in sizes))
    for size in sizes:
        f.write("[%s/apps]\nSize=%s\nType=Fixed\n" % (size, size.split("x")[0]))
EOF
export XDG_DATA_DIRS="$data:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"

openbox --sm-disable >"$config/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
patience=300 wait_for wm_running || { cat "$config/openbox.log" >&2; fail "openbox did not start"; }
trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
    --transparent false >/dev/null 2>&1 &
pids+=($!)

is_utility() { xprop -id "$1" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_UTILITY; }
panel_window() {
    local w
    for w in $(app_windows); do is_utility "$w" && { echo "$w"; return 0; }; done
    return 1
}
has_panel() { [ -n "$(panel_window)" ]; }
is_expanded() { read_geometry; [ "$w" -gt 300 ]; }
is_collapsed() { read_geometry; [ "$w" -eq 230 ]; }

start_app() {
    "$app" &
    app_pid=$!
    wait_for has_panel || fail "the panel never appeared"
    wid="$(panel_window)"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }
has_focus() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ]; }
# Ctrl+Q in the panel; sets quit_ms to how long the process took to end after
# the key went to the X server.
quit_by_key() {
    xdotool windowactivate --sync "$wid" 2>/dev/null
    wait_for has_focus || fail "the panel did not take the keyboard"
    quit_where_the_keyboard_is
}
# Ctrl+Q to whichever of the app's windows holds the keyboard. A process still
# there after 10 s is killed and the script fails.
quit_where_the_keyboard_is() {
    local start status watchdog
    (sleep 10 && kill -KILL "$app_pid") 2>/dev/null &
    watchdog=$!
    start="$(now_ms)"
    xdotool key ctrl+q
    wait "$app_pid"
    status=$?
    quit_ms=$(($(now_ms) - start))
    kill "$watchdog" 2>/dev/null
    app_pid=""
    [ "$status" -ne 137 ] || fail "Ctrl+Q did not end the process within 10 s"
    [ "$status" -eq 0 ] || fail "exit status $status after Ctrl+Q"
}

click_at() {
    read_geometry
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
    sleep 0.3
}

# A fresh start, quit at once: the desktop entries are still being read.
start_app
quit_by_key
fresh_ms=$quit_ms
echo "Ctrl+Q to exit on a fresh start: ${fresh_ms} ms"

# A session of use.
start_app
click_at 171 31
wait_for is_expanded || fail "the panel did not expand"
xdotool key ctrl+k
sleep 0.3
xdotool type --delay 30 "copy"
sleep 0.3
xdotool key Escape
sleep 0.3
# The pack picker: open it, search, close it again.
click_at $((1 + 31 + 60)) $((1 + 31))
sleep 0.5
xdotool type --delay 30 "fi"
sleep 0.3
xdotool key Escape
sleep 0.3
xdotool key Escape
wait_for is_collapsed || fail "the panel did not collapse"
# The tray icon hides the panel and shows it again.
tray_icon_window() {
    local w
    for w in $(app_windows); do is_utility "$w" || { echo "$w"; return 0; }; done
    return 1
}
has_tray_icon() { [ -n "$(tray_icon_window)" ]; }
no_panel() { ! has_panel; }
wait_for has_tray_icon || fail "the tray icon never docked"
read -r ix iy iw ih <<<"$(geometry "$(tray_icon_window)")"
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2)) click 1
wait_for no_panel || fail "a click on the tray icon did not hide the panel"
sleep 0.6
xdotool click 1
wait_for has_panel || fail "a second click on the tray icon did not show the panel"
# Other applications come to the front; the panel follows them and shows their
# installed icons.
for class in firefox audacity firefox; do
    "$probe" "$class" >"$config/probe-id" &
    probe_pid=$!
    follows() { [ "$(setting CorvantaSoftware)" = "$class" ]; }
    patience=50 wait_for follows || true
    kill "$probe_pid" 2>/dev/null
    wait "$probe_pid" 2>/dev/null
done
sleep 0.5
import -window root "$out/quit-session.png" 2>/dev/null
quit_by_key
used_ms=$quit_ms
echo "Ctrl+Q to exit after a session of use: ${used_ms} ms"

# The key quits from the pack picker, which holds the keyboard while it is
# open, and from a sheet, which is modal to the panel.
popover_window() {
    local w
    for w in $(app_windows); do
        [ "$(geometry "$w" | cut -d' ' -f3)" -eq 396 ] && { echo "$w"; return 0; }
    done
    return 1
}
sheet_window() {
    local w
    for w in $(app_windows); do
        [ "$(geometry "$w" | cut -d' ' -f3)" -eq 380 ] && { echo "$w"; return 0; }
    done
    return 1
}
has_popover() { [ -n "$(popover_window)" ]; }
sheet_has_keyboard() {
    local sheet
    sheet="$(sheet_window)" && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$sheet" ]
}
start_app
click_at 171 31
wait_for is_expanded || fail "the panel did not expand"
click_at $((1 + 31 + 60)) $((1 + 31))
wait_for has_popover || fail "the pack picker did not open"
xdotool type --delay 30 "fi"
quit_where_the_keyboard_is
echo "Ctrl+Q to exit from the pack picker: ${quit_ms} ms"
picker_ms=$quit_ms
start_app
click_at 171 31
wait_for is_expanded || fail "the panel did not expand"
read_geometry
click_at $((w - 90)) $((h - 18))
wait_for sheet_has_keyboard || fail "the feedback sheet did not take the keyboard"
xdotool type --delay 30 "kept"
quit_where_the_keyboard_is
echo "Ctrl+Q to exit from the feedback sheet: ${quit_ms} ms"
sheet_ms=$quit_ms

[ "$picker_ms" -le "$bound_ms" ] || fail "quitting from the picker took ${picker_ms} ms (bound ${bound_ms} ms)"
[ "$sheet_ms" -le "$bound_ms" ] || fail "quitting from a sheet took ${sheet_ms} ms (bound ${bound_ms} ms)"
[ "$fresh_ms" -le "$bound_ms" ] || fail "a fresh start took ${fresh_ms} ms to quit (bound ${bound_ms} ms)"
[ "$used_ms" -le "$bound_ms" ] || fail "after use quitting took ${used_ms} ms (bound ${bound_ms} ms)"
echo "PASS: quit within ${bound_ms} ms (fresh ${fresh_ms} ms, after use ${used_ms} ms)"
