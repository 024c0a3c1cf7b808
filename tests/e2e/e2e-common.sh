# Helpers shared by the end-to-end scripts that start the real binary; source
# it after defining fail() and setting $settings and $app_pid.

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
