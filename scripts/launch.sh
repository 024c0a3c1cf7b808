#!/usr/bin/env bash
# Starts a built Corvanta. Without a display it brings up a virtual one
# (1440x900, on the first free display number) and, about 2 s after start,
# saves a screenshot of that virtual screen to <build dir>/screenshot-startup.png
# and prints its path. On an existing display it takes no screenshot: that
# screen is the user's. It runs until interrupted, passing SIGINT and SIGTERM
# on to the app.
# Usage: scripts/launch.sh <build dir>
set -uo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <build dir>" >&2
    exit 2
fi
build="$(cd "$1" && pwd)" || exit 2
app="$build/src/shell/corvanta"
if [ ! -x "$app" ]; then
    echo "$app not found; build the 'corvanta' target first" >&2
    exit 1
fi

xvfb_pid=""
app_pid=""
cleanup() {
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
        kill -TERM "$app_pid" 2>/dev/null
        wait "$app_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap cleanup EXIT
forward() {
    [ -n "$app_pid" ] && kill -"$1" "$app_pid" 2>/dev/null
}
trap 'forward INT' INT
trap 'forward TERM' TERM

virtual_display=false
if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display number itself and writes it to the pipe once
    # it accepts connections, so two launches never race for the same one.
    display_pipe="$(mktemp -u)"
    mkfifo "$display_pipe" || exit 1
    Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp 3>"$display_pipe" >/dev/null 2>&1 &
    xvfb_pid=$!
    number=""
    read -r -t 30 number <"$display_pipe"
    rm -f "$display_pipe"
    if [ -z "$number" ]; then
        echo "Xvfb could not start" >&2
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
        exit 1
    fi
    export DISPLAY=":$number"
    virtual_display=true
    echo "virtual display $DISPLAY" >&2
fi

"$app" &
app_pid=$!

sleep 2
if $virtual_display && kill -0 "$app_pid" 2>/dev/null; then
    shot="$build/screenshot-startup.png"
    if import -window root "$shot"; then
        echo "$shot"
    else
        echo "could not save a screenshot" >&2
    fi
fi

# `wait` returns early when a trapped signal arrives; keep waiting until the app
# has really gone, and hand on its exit status.
status=0
while kill -0 "$app_pid" 2>/dev/null; do
    wait "$app_pid"
    status=$?
done
app_pid=""
exit "$status"
