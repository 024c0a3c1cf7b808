#!/usr/bin/env bash
# Runs startup_bench on a private X server of 1440 × 900: bare, or with
# --desktop under openbox with a trayer tray, as a user's session has it.
# The server picks a free display itself, so runs beside other X servers.
# Usage: startup-bench.sh [--desktop] <startup_bench> <corvanta> <bare_window> [benchmark flags]
set -uo pipefail
desktop=false
if [ "${1:-}" = "--desktop" ]; then
    desktop=true
    shift
fi
[ $# -ge 3 ] || { sed -n 2,5p "$0" >&2; exit 2; }
bench="$1" corvanta="$2" bare="$3"
shift 3

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1440x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 -u "$display_fd" number || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$number"

if $desktop; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --transparent false >/dev/null 2>&1 &
    pids+=($!)
    # The tray's window is up once the root shows a window of that name.
    for _ in $(seq 100); do
        xdotool search --name '^panel$' >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

"$bench" --corvanta="$corvanta" --bare="$bare" "$@"
