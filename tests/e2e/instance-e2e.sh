#!/usr/bin/env bash
# End-to-end run of the single instance on a desktop with virtual desktops
# (openbox on an X display; run it under with-xvfb.sh): a runtime folder too long
# for a socket address, every spelling of the settings folder meeting the one
# running instance (and only it clearing stale temporary files), a later launch bringing the panel to the desktop the user
# is on, a later launch failing in time when the running one is stopped, and
# later launches still reaching it after its settings folder, or its runtime
# folder, was removed under it.
# Usage: instance-e2e.sh <corvanta> <test bundle> <out dir>
app="$1"
bundle="$2"
out="$3"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/instance-failure.png"
# A primary stopped on purpose is let go before it is killed.
stop_extra() { [ -n "$app_pid" ] && kill -CONT "$app_pid" 2>/dev/null; }
fail_details() {
    [ -f "$config/primary.err" ] && { echo "primary's stderr:" >&2; cat "$config/primary.err" >&2; }
}

export XDG_CONFIG_HOME="$config/settings"
export XDG_CACHE_HOME="$config/cache"
export CORVANTA_RESOURCES="$bundle"
settings="$XDG_CONFIG_HOME/corvanta/settings.json"
# A private runtime folder of 200 bytes: longer than a socket address holds.
runtime="$config/run"
while [ ${#runtime} -lt 200 ]; do runtime="$runtime/runtime-folder"; done
runtime="${runtime:0:200}"
mkdir -p "$runtime" && chmod 700 "$runtime" || fail "could not make the runtime folder"
export XDG_RUNTIME_DIR="$runtime"

# Unpinned, so the panel lives on one desktop rather than on all of them.
mkdir -p "$XDG_CONFIG_HOME/corvanta"
echo '{"CorvantaPinned": {"type": "bool", "value": false}}' >"$settings"
# What a killed write leaves behind: stale to the primary, and only to it.
stale="$XDG_CONFIG_HOME/corvanta/.settings.json.tmp-Ab12Cd"
echo '{"half' >"$stale"

openbox --sm-disable >"$config/openbox.log" 2>&1 &
pids+=($!)
has_desktops() { [ "$(xdotool get_num_desktops)" -ge 2 ]; }
patience=300 wait_for has_desktops || { cat "$config/openbox.log" >&2; fail "openbox did not start"; }

"$app" 2>"$config/primary.err" &
app_pid=$!
panel_window() { app_windows | head -n 1; }
has_panel() { [ -n "$(panel_window)" ]; }
no_panel() { [ -z "$(panel_window)" ]; }
wait_for has_panel || fail "the panel never appeared"
panel="$(panel_window)"
grep -q "cannot listen" "$config/primary.err" && fail "the primary did not listen"
[ -e "$stale" ] && fail "the primary left a stale temporary file"
echo '{"half' >"$stale"

# A later launch, given how long it may take; sets $status, $took (ms) and $err.
launch() {
    local limit="$1"
    shift
    local start end
    start=$(date +%s%N)
    env "$@" timeout "$limit" "$app" 2>"$config/launch.err"
    status=$?
    end=$(date +%s%N)
    took=$(((end - start) / 1000000))
    err="$(cat "$config/launch.err")"
}

# Every spelling of the settings folder meets the running instance.
ln -s "$XDG_CONFIG_HOME" "$config/linked"
for spelling in "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME/" "$config/linked"; do
    launch 10 XDG_CONFIG_HOME="$spelling"
    [ "$status" -eq 0 ] || fail "a launch with XDG_CONFIG_HOME=$spelling exited $status: $err"
done
[ "$(app_windows | wc -l)" -eq 1 ] || fail "later launches made more panels"
[ -e "$stale" ] || fail "a later launch removed a temporary file of the primary's folder"

# The user goes to another desktop: the panel stays behind, out of sight; a
# launch there brings it over and activates it.
xdotool set_desktop 1
on_desktop_1() { [ "$(xdotool get_desktop)" -eq 1 ]; }
wait_for on_desktop_1 || fail "openbox did not switch desktops"
wait_for no_panel || fail "the unpinned panel is still seen on the other desktop"
launch 10
[ "$status" -eq 0 ] || fail "a launch on desktop 1 exited $status: $err"
panel_here() { has_panel && [ "$(xdotool get_desktop_for_window "$panel")" -eq 1 ]; }
wait_for panel_here || fail "the panel did not come to desktop 1"
[ "$(xdotool get_desktop)" -eq 1 ] || fail "the launch switched the user back to desktop 0"
is_active() { [ "$(xdotool getactivewindow)" = "$panel" ]; }
wait_for is_active || fail "the panel brought over is not active"
import -window root "$out/instance-reopened.png" || fail "no screenshot of the reopened panel"

# A stopped primary does not answer: the launch says so and fails in time.
kill -STOP "$app_pid"
launch 10
kill -CONT "$app_pid"
[ "$status" -eq 1 ] || fail "a launch with a stopped primary exited $status, not 1: $err"
[ -n "$err" ] || fail "a launch with a stopped primary gave no reason"
[ "$took" -lt 3500 ] || fail "a launch with a stopped primary took $took ms"
stopped_took=$took

# Running again, it answers.
launch 10
[ "$status" -eq 0 ] || fail "a launch after the primary resumed exited $status: $err"

# The settings folder removed under the primary: it takes the folder back, and
# a later launch reaches it rather than running beside it.
rm -rf "$XDG_CONFIG_HOME/corvanta"
launch 10
[ "$status" -eq 0 ] || fail "a launch after the settings folder was removed exited $status: $err"
[ "$(app_windows | wc -l)" -eq 1 ] || fail "a launch after the settings folder was removed made a panel"

# The runtime folder removed, and made again empty by the session: the primary
# went on in its fallback folder, and a later launch finds it there.
rm -rf "$config/run"
mkdir -p "$runtime" && chmod 700 "$runtime" || fail "could not make the runtime folder again"
launch 10
[ "$status" -eq 0 ] || fail "a launch after the runtime folder was made again exited $status: $err"
[ "$took" -lt 1500 ] || fail "a launch after the runtime folder was made again took $took ms"
[ "$(app_windows | wc -l)" -eq 1 ] || fail "a launch after the runtime folder was removed made a panel"
grep -q "corvanta:" "$config/primary.err" && fail "the primary complained"
quit_app
echo "PASS: a stopped primary failed the launch in $stopped_took ms; screenshot $out/instance-reopened.png"
