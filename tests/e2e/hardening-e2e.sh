#!/usr/bin/env bash
# End-to-end checks of the real application against an unlucky or hostile
# environment: a change made just before SIGHUP, SIGQUIT or the loss of the X
# server is still written; a FIFO at the settings path, or named as the icon of
# the selected pack's desktop entry, neither blocks the start nor SIGTERM;
# stale temporary files go. Each run has its own X server (so it
# can be killed), settings folder and runtime folder.
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

echo "PASS"
