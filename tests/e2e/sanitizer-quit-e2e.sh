#!/usr/bin/env bash
# The GUI binary built with AddressSanitizer and UndefinedBehaviorSanitizer:
# start, expand the panel (which builds the list and its scroller), quit with
# Ctrl+Q. Any sanitizer report fails the run. Run it under with-xvfb.sh.
# Leak detection is on. The one suppression is libdbus's connection set-up,
# which Qt's D-Bus support makes once and the library keeps for the life of
# the process when a session bus is found.
# Usage: sanitizer-quit-e2e.sh <corvanta built with -DCORVANTA_SANITIZE=ON>
app="$1"

source "$(dirname "$0")/e2e-common.sh"
log="$work/app.log"

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
unset CORVANTA_RESOURCES
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
printf 'leak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

"$app" >"$log" 2>&1 &
app_pid=$!

# Sanitized start-up is slow: allow it 30 s.
patience=300
panel_window() { app_windows | head -n 1; }
has_panel() { [ -n "$(panel_window)" ]; }
wait_for has_panel || fail "the panel never appeared"
wid="$(panel_window)"
is_expanded() { read_geometry; [ "$w" -gt 300 ]; }

xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
xdotool key ctrl+k
wait_for is_expanded || fail "Ctrl+K did not expand the panel"
# Let the list lay out and paint before quitting.
sleep 1

xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
xdotool key ctrl+q
exited() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_for exited || fail "no exit after Ctrl+Q"
wait "$app_pid"
status=$?
app_pid=""

if grep -E "runtime error:|ERROR: AddressSanitizer|UndefinedBehaviorSanitizer|LeakSanitizer" \
    "$log" >/dev/null; then
    fail "sanitizer report (exit status $status)"
fi
[ "$status" -eq 0 ] || fail "exit status $status after Ctrl+Q"
echo "PASS: expanded and quit cleanly under the sanitizers"
