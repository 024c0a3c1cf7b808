#!/usr/bin/env bash
# Pasting with the real binary on openbox (run it under with-xvfb.sh): from a
# clipboard nobody owns, into the search field and both fields of the feedback
# sheet, keeps what was typed; with a clipboard owner that never answers, the
# paste is given up soon enough that Ctrl+Q right after it ends the process
# within the bound.
# Usage: clipboard-e2e.sh <corvanta> <silent clipboard owner> <out dir> [bound in ms]
app="$1"
silent_owner="$2"
out="$3"
bound_ms="${4:-1000}"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/clipboard-failure.png"
unset CORVANTA_RESOURCES
start_openbox

sheet_window() {
    local id
    for id in $(app_windows); do
        [ "$(geometry "$id" | cut -d' ' -f3)" -eq 380 ] && { echo "$id"; return 0; }
    done
    return 1
}
sheet_has_keyboard() {
    local sheet
    sheet="$(sheet_window)" && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$sheet" ]
}
sheet_closed() { ! sheet_window; }
is_expanded() { read_geometry; [ "$w" -gt 300 ]; }
alive() { kill -0 "$app_pid" 2>/dev/null || fail "the app died (status: $(wait "$app_pid"; echo $?))"; }
press() {
    xdotool key "$@"
    sleep 0.3
}
stored_feedback() {
    python3 -c 'import base64,json,sys
d = json.load(open(sys.argv[1]))
print(json.dumps([r["message"] for r in json.loads(base64.b64decode(d["CorvantaFeedbackReports"]["value"]))]))' \
        "$settings" 2>/dev/null
}

start_expanded() {
    "$app" &
    app_pid=$!
    wait_for has_panel || fail "the panel never appeared"
    wid="$(panel_window)"
    # A later start opens expanded, as the panel was left.
    read_geometry
    if [ "$w" -le 300 ]; then
        xdotool mousemove $((x + 171)) $((y + 31)) click 1
        wait_for is_expanded || fail "the panel did not expand"
        sleep 0.5
    fi
}
open_feedback() {
    read_geometry
    xdotool mousemove $((x + w - 90)) $((y + h - 18)) click 1
    wait_for sheet_has_keyboard || fail "the feedback sheet did not take the keyboard"
}
panel_has_keyboard() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$wid" ]; }
focus_search() {
    xdotool windowactivate --sync "$wid" 2>/dev/null
    wait_for panel_has_keyboard || fail "the panel did not take the keyboard"
    press ctrl+k
}

# Nobody owns the clipboard on a fresh display.
start_expanded
focus_search
xdotool type --delay 30 "copy"
press ctrl+v
press shift+Insert
alive
open_feedback
xdotool type --delay 30 "kept"
press ctrl+v
press shift+Insert
press Tab
press ctrl+v
press shift+Insert
alive
press ctrl+Return
wait_for sheet_closed || fail "Ctrl+Return did not send the feedback"
feedback_is() { [ "$(stored_feedback)" = "$1" ]; }
wait_for feedback_is '["kept"]' || fail "the stored feedback is $(stored_feedback), not [\"kept\"]"
echo "empty clipboard: nothing pasted, typed text kept"
quit_app

# Ctrl+V, then Ctrl+Q at once; sets paste_quit_ms from the first key to the end
# of the process. A process still there after 30 s is killed.
paste_then_quit() {
    local start status watchdog
    (sleep 30 && kill -KILL "$app_pid") 2>/dev/null &
    watchdog=$!
    start=$(($(date +%s%N) / 1000000))
    xdotool key ctrl+v ctrl+q
    wait "$app_pid"
    status=$?
    paste_quit_ms=$(($(date +%s%N) / 1000000 - start))
    kill "$watchdog" 2>/dev/null
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit status $status after a paste from a silent owner and Ctrl+Q"
}
start_silent_owner() {
    coproc owner { exec "$silent_owner"; }
    pids+=("$owner_PID")
    local line
    read -r -t 10 line <&"${owner[0]}" && [ "$line" = ready ] || fail "the silent owner did not start"
}

start_expanded
start_silent_owner
focus_search
paste_then_quit
search_ms=$paste_quit_ms
echo "silent owner: Ctrl+V then Ctrl+Q in the search field: ${search_ms} ms"
start_expanded
open_feedback
xdotool type --delay 30 "hung"
paste_then_quit
sheet_ms=$paste_quit_ms
echo "silent owner: Ctrl+V then Ctrl+Q in the feedback sheet: ${sheet_ms} ms"

[ "$search_ms" -le "$bound_ms" ] || fail "the search field froze ${search_ms} ms (bound ${bound_ms} ms)"
[ "$sheet_ms" -le "$bound_ms" ] || fail "the feedback sheet froze ${sheet_ms} ms (bound ${bound_ms} ms)"
echo "PASS: empty clipboard pastes nothing; a silent owner holds a paste under ${bound_ms} ms"
