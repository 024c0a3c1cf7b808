# Helpers shared by the end-to-end scripts that start the real binary. Sourcing
# it is each script's prologue: a private scratch folder ($work) with a settings
# folder ($config, as XDG_CONFIG_HOME) and a runtime folder ($runtime, as
# XDG_RUNTIME_DIR); on exit the app ($app_pid), whatever else was started
# ($pids, and a stop_extra function if the script defines one) and the folder
# go. fail() prints its reason, the settings file, the app's output ($log) and
# a script's fail_details, and takes a screenshot to $failure_shot if set.
set -uo pipefail

work="$(mktemp -d)"
config="$work/config"
runtime="$work/runtime"
mkdir -p "$config" "$runtime"
chmod 700 "$runtime"
export XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$runtime"
settings="$config/corvanta/settings.json"
app_pid=""
pids=()

e2e_cleanup() {
    declare -F stop_extra >/dev/null && stop_extra
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${failure_shot:-}" ] && import -window root "$failure_shot" 2>/dev/null; then
        echo "screen at the failure: $failure_shot" >&2
    fi
    [ -f "${settings:-}" ] && { echo "settings file:" >&2; cat "$settings" >&2; }
    [ -f "${log:-}" ] && { echo "application output:" >&2; cat "$log" >&2; }
    declare -F fail_details >/dev/null && fail_details
    exit 1
}

# Polls a command for up to ~10 s, or $patience tenths of a second.
wait_for() {
    for _ in $(seq "${patience:-100}"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# One value of the settings file.
setting() {
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))[sys.argv[2]]["value"])' \
        "$settings" "$1" 2>/dev/null
}
# Whether a setting holds a value.
setting_is() { [ "$(setting "$1")" = "$2" ]; }

# The application's visible windows (by its window class), one id a line.
app_windows() { xdotool search --onlyvisible --class '^org\.corvanta\.Corvanta$' 2>/dev/null; }

# With a tray, the app's visible windows are the panel (a utility window) and
# the docked tray icon. Scripts without a tray may define panel_window anew.
is_utility() { xprop -id "$1" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_UTILITY; }
panel_window() {
    local w
    for w in $(app_windows); do is_utility "$w" && { echo "$w"; return 0; }; done
    return 1
}
tray_icon_window() {
    local w
    for w in $(app_windows); do is_utility "$w" || { echo "$w"; return 0; }; done
    return 1
}
has_panel() { [ -n "$(panel_window)" ]; }
no_panel() { [ -z "$(panel_window)" ]; }

# "x y w h" of a window on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
# Reads the geometry of the panel's window $wid into x, y, w, h.
read_geometry() { read -r x y w h <<<"$(geometry "$wid")"; }

# SIGTERM is a normal quit: the app must be gone within ~10 s with status 0.
quit_app() {
    kill -TERM "$app_pid"
    for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null && fail "no exit after SIGTERM"
    wait "$app_pid"
    local status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
}

# Openbox as the window manager, as on a plain Linux desktop without a
# compositor. A loaded machine can take a while to start one.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
start_openbox() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    patience=300 wait_for wm_running || { cat "$work/openbox.log" >&2; fail "openbox did not start"; }
}
