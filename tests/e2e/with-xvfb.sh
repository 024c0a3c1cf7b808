#!/usr/bin/env bash
# Runs a command on a private Xvfb of its own. The server picks a free display
# number itself and reports it once it accepts connections (-displayfd), so
# runs beside other X servers, or beside each other, never take one number.
# Usage: with-xvfb.sh [-s "server arguments"] command [arguments...]
# The command's exit status is this script's.
set -uo pipefail

server_args=(-screen 0 1440x900x24)
if [ "${1:-}" = "-s" ]; then
    read -r -a server_args <<<"$2"
    shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [-s \"server arguments\"] command [arguments...]" >&2; exit 2; }

dir="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

mkfifo "$dir/display" || exit 1
Xvfb -displayfd 3 "${server_args[@]}" -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
xvfb_pid=$!
number=""
read -r -t 30 number <"$dir/display"
if [ -z "$number" ]; then
    echo "Xvfb could not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
fi

DISPLAY=":$number" "$@"
