#!/usr/bin/env bash
# Checks of the keystroke benchmark itself (run it under with-xvfb.sh): a program
# that is missing, exits at once or never shows a window ends the run with a
# message that says so and a failing status, and no launched process outlives
# the benchmark, even one killed outright. A short real run reports both
# medians and their ratio.
# Usage: keystroke-bench-check.sh <keystroke_bench>
set -uo pipefail

bench="$1"
work="$(mktemp -d)"
bench_pid=""
cleanup() {
    [ -n "$bench_pid" ] && kill -KILL "$bench_pid" 2>/dev/null
    [ -f "$work/pids" ] && xargs -r kill -KILL <"$work/pids" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/out" ] && { echo "benchmark output:" >&2; cat "$work/out" >&2; }
    exit 1
}

# Runs the benchmark with a quick configuration; its status is the result.
run() { "$bench" --samples=2 --launches=1 "$@" >"$work/out" 2>&1; }
said() { grep -F -- "$1" "$work/out" >/dev/null; }

# A stand-in for the app that never shows a window and notes its process id.
cat >"$work/silent" <<EOF
#!/bin/sh
echo \$\$ >>"$work/pids"
exec sleep 300
EOF
chmod +x "$work/silent"

# None of the stand-in's processes may still run.
none_left() {
    local pid
    while read -r pid; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || continue 2; sleep 0.1; done
        return 1
    done <"$work/pids"
}

run --corvanta="$work/absent"
[ $? -eq 2 ] || fail "a missing program is not a usage error"
said "$work/absent is not an executable program" || fail "no word of the missing program"

run --corvanta=/bin/false && fail "success reported when the app exits at once"
said "exited with status 1 before showing a window" || fail "no word of the app's exit"

run --corvanta="$work/silent" --launch-timeout=0.5 && fail "success reported without a window"
said "showed no window" || fail "no word of the missing window"
[ -s "$work/pids" ] || fail "the stand-in never ran"
none_left || fail "a launched program outlived the benchmark"

# Killed outright while it waits for a window, it still takes its child along.
: >"$work/pids"
"$bench" --corvanta="$work/silent" --launch-timeout=60 >"$work/out" 2>&1 &
bench_pid=$!
for _ in $(seq 100); do [ -s "$work/pids" ] && break; sleep 0.1; done
[ -s "$work/pids" ] || fail "the stand-in never ran"
kill -KILL "$bench_pid"
wait "$bench_pid" 2>/dev/null
bench_pid=""
none_left || fail "a launched program outlived the killed benchmark"

run || fail "a real run failed"
for counter in corvanta_ms bare_ms ratio_to_bare corvanta_first_ms bare_first_ms picker_settled_ms \
    bare_settled_ms picker_ratio_to_bare; do
    said "$counter=" || fail "no $counter in the report"
done
echo "PASS"
