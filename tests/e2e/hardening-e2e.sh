#!/usr/bin/env bash
# End-to-end checks of the real application against an unlucky or hostile
# environment: a change made just before SIGHUP, SIGQUIT or the loss of the X
# server is still written; a FIFO at the settings path, or named as the icon of
# the selected pack's desktop entry, neither blocks the start nor SIGTERM;
# stale temporary files go; icon files and themes that take seconds to draw or
# search neither hold up a click nor SIGTERM. Each run has its own X server
# (so it can be killed), settings folder and runtime folder.
# Usage: hardening-e2e.sh <corvanta> <probe window> <test bundle> <out dir>
app="$1"
probe="$2"
bundle="$3"
out="$4"

source "$(dirname "$0")/e2e-common.sh"
xvfb_pid=""
probe_pid=""
stop_all() {
    [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    probe_pid="" app_pid="" xvfb_pid=""
}
stop_extra() { stop_all; }

selected() { [ "$(setting CorvantaSoftware)" = "$1" ]; }
has_panel() { [ -n "$(app_windows)" ]; }

# A fresh X server, settings folder and runtime folder for one run.
start_session() {
    local name="$1"
    stop_all
    local dir="$work/$name"
    mkdir -p "$dir/config/corvanta" "$dir/runtime"
    chmod 700 "$dir/runtime"
    export XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime"
    export CORVANTA_RESOURCES="$bundle"
    settings="$dir/config/corvanta/settings.json"
    log="$dir/app.log"
    Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp 3>"$dir/display" 2>/dev/null &
    xvfb_pid=$!
    wait_for test -s "$dir/display" || fail "$name: no X server"
    export DISPLAY=":$(head -n 1 "$dir/display")"
}

start_app() {
    "$app" >"$log" 2>&1 &
    app_pid=$!
    wait_for has_panel || fail "$name: the panel never appeared"
}

# Waits for the app to end; its exit status in $status.
wait_exit() {
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null && fail "$name: still running"
    wait "$app_pid"
    status=$?
    app_pid=""
}

# Brings the probe to the front, which makes the app select its pack; the
# settings file is written half a second later unless something flushes it.
switch_to_probe() {
    rm -f "$work/probe-id"
    "$probe" CorvantaE2EProbe >"$work/probe-id" &
    probe_pid=$!
    wait_for test -s "$work/probe-id" || fail "$name: the probe window did not start"
}

# The end comes 0.1 s after a change; the change must be on disk afterwards.
# `end` is run to end the app (a signal, or killing the X server). A run where
# the change reached the disk before the end proves nothing and is repeated.
check_change_survives() {
    name="$1"
    local end="$2"
    for attempt in 1 2 3; do
        start_session "$name-$attempt"
        start_app
        wait_for selected notes || fail "$name: first pack not written at start"
        switch_to_probe
        sleep 0.1
        if selected probe; then
            echo "$name: the change was on disk early, again" >&2
            continue
        fi
        eval "$end"
        wait_exit
        selected probe || fail "$name: the change made 0.1 s before the end was lost"
        echo "ok: $name (exit status $status)"
        return 0
    done
    fail "$name: could not end the app before its own write in three tries"
}

check_change_survives SIGHUP 'kill -HUP "$app_pid"'
[ "$status" -eq 0 ] || fail "SIGHUP: exit status $status"
check_change_survives SIGQUIT 'kill -QUIT "$app_pid"'
[ "$status" -eq 0 ] || fail "SIGQUIT: exit status $status"
check_change_survives "X server loss" 'kill "$xvfb_pid"'

# A FIFO at the settings path: the app starts at once, moves it aside, and
# SIGTERM still quits; a stale temporary file of a killed write is removed.
name="FIFO"
start_session fifo
mkfifo "$settings"
touch "$(dirname "$settings")/.settings.json.tmp-k1LLed"
start_app
wait_for selected notes || fail "FIFO: no settings written after moving the FIFO aside"
[ -p "$(ls "$settings".unreadable-* 2>/dev/null | head -n 1)" ] || fail "FIFO: not moved aside"
[ -e "$(dirname "$settings")/.settings.json.tmp-k1LLed" ] && fail "stale temporary file kept"
import -window root "$out/e2e-hardening-fifo.png" || fail "no screenshot"
quit_app
echo "ok: FIFO and stale temporary file"

# A user-level desktop entry for the selected pack whose Icon names a FIFO:
# the bar still paints (the pack's glyph tile stands in) and SIGTERM quits.
name="FIFO icon"
start_session fifo-icon
export XDG_DATA_HOME="$work/fifo-icon/data"
mkdir -p "$XDG_DATA_HOME/applications"
mkfifo "$work/fifo-icon/icon.png"
printf '[Desktop Entry]\nType=Application\nName=Notes\nIcon=%s\n' "$work/fifo-icon/icon.png" \
    >"$XDG_DATA_HOME/applications/org.corvanta.e2e.notes.desktop"
start_app
wait_for selected notes || fail "FIFO icon: the first pack was not selected"
wid="$(app_windows | head -n 1)"
# The glyph tile in the pack's accent (#3366FF) shows the bar was painted.
glyph_painted() {
    read_geometry
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/e2e-hardening-fifo-icon.png" &&
        convert "$out/e2e-hardening-fifo-icon.png" -format %c histogram:info:- | grep -i "#3366FF" >/dev/null
}
wait_for glyph_painted || fail "FIFO icon: the bar was not painted with the glyph tile"
quit_app
unset XDG_DATA_HOME
echo "ok: FIFO as a desktop entry's icon"

# ---- icons that are costly to draw or to find --------------------------------
# While they are looked up the panel answers a click on its expand button
# (its animation done within 1.5 s), the picker opens and closes within a
# second of each click, and SIGTERM ends the app within a second with status
# 0, even with a drawing still under way.
# Expanded, and done moving (the expansion is animated).
is_expanded() {
    read_geometry
    local before="$x $w"
    sleep 0.05
    read_geometry
    [ "$w" -gt 300 ] && [ "$before" = "$x $w" ]
}
# The popover is the app's second window, 396 wide.
popover_open() {
    local id
    for id in $(app_windows); do
        [ "$(geometry "$id" | cut -d' ' -f3)" = 396 ] && return 0
    done
    return 1
}
click_panel() {
    read_geometry
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
}
popover_closed() { ! popover_open; }
# Expands the panel, then opens and closes the picker with its button a few
# times over some seconds: each click must be answered within a second.
answers_clicks() {
    wid="$(app_windows | head -n 1)"
    click_panel 171 31
    patience=15 wait_for is_expanded || fail "$name: the panel took over 1.5 s to expand"
    for _ in 1 2 3; do
        click_panel $((1 + 31 + 60)) $((1 + 31))
        patience=10 wait_for popover_open || fail "$name: the picker took over 1 s to open"
        sleep 0.5
        click_panel $((1 + 31 + 60)) $((1 + 31))
        patience=10 wait_for popover_closed || fail "$name: the picker took over 1 s to close"
        sleep 0.5
    done
}
quits_at_once() {
    local start
    start=$(date +%s%N)
    kill -TERM "$app_pid"
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
    local took=$((($(date +%s%N) - start) / 1000000))
    kill -0 "$app_pid" 2>/dev/null && fail "$name: still running 5 s after SIGTERM"
    wait "$app_pid"
    local status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "$name: exit status $status after SIGTERM"
    [ "$took" -lt 1000 ] || fail "$name: SIGTERM took $took ms"
    echo "$name: SIGTERM took $took ms"
}
# Both packs' desktop entries, naming icons $1 and $2.
install_entries() {
    export XDG_DATA_HOME="$work/$1/data"
    mkdir -p "$XDG_DATA_HOME/applications"
    printf '[Desktop Entry]\nType=Application\nName=Notes\nIcon=%s\n' "$2" \
        >"$XDG_DATA_HOME/applications/org.corvanta.e2e.notes.desktop"
    printf '[Desktop Entry]\nType=Application\nName=Probe\nIcon=%s\n' "$3" \
        >"$XDG_DATA_HOME/applications/org.corvanta.e2e.probe.desktop"
}

# A 550 KB SVG of four paths of 20,000 self-intersecting segments each, which
# takes many seconds to draw, for both packs.
name="costly SVG"
start_session costly-svg
python3 - "$work/costly-svg/costly.svg" <<'PY'
import random, sys
random.seed(7)
paths = "".join(
    '<path fill="#3366FF" stroke="#000" stroke-width="0.5" d="M128 128%sZ"/>'
    % "".join("L%d %d" % (random.randint(0, 255), random.randint(0, 255)) for _ in range(20000))
    for _ in range(4))
open(sys.argv[1], "w").write(
    '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256">%s</svg>' % paths)
PY
install_entries costly-svg "$work/costly-svg/costly.svg" "$work/costly-svg/costly.svg"
start_app
wait_for selected notes || fail "$name: the first pack was not selected"
answers_clicks
quits_at_once
unset XDG_DATA_HOME
echo "ok: $name"

# A hicolor theme whose index (under 1 MB) lists 100,000 folders and inherits
# a chain of fifteen more like it; one pack's icon is named by 250,000
# characters. Memory stays bounded: the peak resident size is printed and
# must stay under 400 MB.
name="huge icon theme"
start_session huge-theme
python3 - "$work/huge-theme/share/icons" <<'PY'
import os, sys
folders = ",".join("d%d" % i for i in range(100000))
for i in range(16):
    theme = "hicolor" if i == 0 else "t%d" % i
    os.makedirs(os.path.join(sys.argv[1], theme))
    with open(os.path.join(sys.argv[1], theme, "index.theme"), "w") as f:
        f.write("[Icon Theme]\nName=%s\nInherits=t%d\nDirectories=%s\n" % (theme, i + 1, folders))
PY
export XDG_DATA_DIRS="$work/huge-theme/share:/usr/share"
install_entries huge-theme notes-icon probe-icon
{
    printf '[Desktop Entry]\nType=Application\nName=Probe\nIcon='
    head -c 250000 /dev/zero | tr '\0' x
    printf '\n'
} >"$XDG_DATA_HOME/applications/org.corvanta.e2e.probe.desktop"
start_app
wait_for selected notes || fail "$name: the first pack was not selected"
answers_clicks
sleep 1
peak=$(awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$app_pid/status")
echo "$name: peak resident size $peak MB"
[ "$peak" -lt 400 ] || fail "$name: peak resident size $peak MB"
quits_at_once
unset XDG_DATA_HOME XDG_DATA_DIRS
echo "ok: $name"

echo "PASS"
