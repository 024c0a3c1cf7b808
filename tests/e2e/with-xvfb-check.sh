#!/usr/bin/env bash
# Private X servers started at the same moment each get a display of their
# own, and the wrapper hands back its command's exit status.
set -uo pipefail
wrapper="$(dirname "$0")/with-xvfb.sh"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

runs=8
pids=()
for i in $(seq "$runs"); do
    "$wrapper" sh -c 'xdpyinfo >/dev/null && echo "$DISPLAY"' >"$out/$i" 2>"$out/$i.err" &
    pids+=($!)
done
failed=0
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || { failed=$((failed + 1)); cat "$out/$((i + 1)).err" >&2; }
done
[ "$failed" -eq 0 ] || { echo "FAIL: $failed of $runs runs could not use their display" >&2; exit 1; }
distinct="$(cat "$out"/? | sort -u | wc -l)"
[ "$distinct" -eq "$runs" ] || { echo "FAIL: $runs runs shared $distinct displays" >&2; exit 1; }

"$wrapper" sh -c 'exit 77'
[ $? -eq 77 ] || { echo "FAIL: the command's exit status was not handed back" >&2; exit 1; }
echo "PASS: $runs servers at once, $distinct displays"
