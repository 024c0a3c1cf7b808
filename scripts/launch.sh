#!/usr/bin/env bash
# Starts a built Corvanta. Without a display it brings up a virtual one (Xvfb
# :99, 1440x900) first. About 2 s after start it saves a screenshot of the whole
# screen to <build dir>/screenshot-startup.png and prints its path; then it
# runs until interrupted, passing SIGINT and SIGTERM on to the app.
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

if [ -z "${DISPLAY:-}" ]; then
    Xvfb :99 -screen 0 1440x900x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:99
    for _ in $(seq 100); do
        xprop -root >/dev/null 2>&1 && break
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "Xvfb could not start on :99 (is another server using it?)" >&2
            xvfb_pid=""
            exit 1
        fi
        sleep 0.1
    done
fi

"$app" &
app_pid=$!

sleep 2
if kill -0 "$app_pid" 2>/dev/null; then
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
