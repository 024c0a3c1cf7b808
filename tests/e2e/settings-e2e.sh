#!/usr/bin/env bash
# End-to-end run of a settings file near the writer's size limit (run it under
# with-xvfb.sh): feedback that would take the file past the limit is refused, the
# sheet stays open, the file stays readable, and after a restart every setting
# and the stored record are still there, with nothing moved aside.
# Usage: settings-e2e.sh <corvanta> <out dir>
app="$1"
out="$2"
# SettingsDocument::kMaxWriteBytes.
write_limit=$((8 * 1024 * 1024))

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/settings-failure.png"
fail_details() { [ -f "$config/stderr" ] && { echo "stderr:" >&2; cat "$config/stderr" >&2; }; }

export XDG_CONFIG_HOME="$config"
export XDG_RUNTIME_DIR="$runtime"
unset CORVANTA_RESOURCES
settings="$config/corvanta/settings.json"
mkdir -p "$config/corvanta"

start_app() {
    "$app" 2>>"$config/stderr" &
    app_pid=$!
    wait_for has_panel || fail "the panel never appeared"
    wid="$(app_windows | head -n 1)"
}
has_panel() { [ -n "$(app_windows)" ]; }
# A sheet is the application's window 380 wide.
sheet_open() {
    local id
    for id in $(app_windows); do
        read -r _ _ ww _ <<<"$(geometry "$id")"
        [ "$ww" -eq 380 ] && return 0
    done
    return 1
}
sheet_closed() { ! sheet_open; }

# The stored feedback messages, one a line.
messages() {
    python3 -c 'import base64,json,sys
d = json.load(open(sys.argv[1]))
for r in json.loads(base64.b64decode(d["CorvantaFeedbackReports"]["value"])):
    print(r["message"][:20], len(r["message"]))' "$settings"
}

# Sets the stored feedback to one record whose message fills the file up to
# $1 bytes, changing nothing else in the file the app wrote.
fill_to() {
    python3 - "$settings" "$1" <<'EOF'
import base64, json, sys
path, target = sys.argv[1], int(sys.argv[2])
text = open(path, encoding="utf-8").read()
document = json.loads(text)
old = document["CorvantaFeedbackReports"]["value"]
def encoded(n):
    record = {"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "message": "x" * n,
              "contact": "", "softwareID": "figma", "language": "en",
              "submittedAt": 786000000.5}
    return base64.b64encode(json.dumps([record], separators=(",", ":")).encode()).decode()
base = len(text) - len(old)
n = (target - base) * 3 // 4 - 200
while base + len(encoded(n + 1)) <= target:
    n += 1
assert text.count(old) == 1
open(path, "w", encoding="utf-8").write(text.replace(old, encoded(n)))
EOF
}

# A first run writes the app's own file; the big record goes into it.
cat >"$settings" <<'EOF'
{
  "CorvantaFeedbackReports": {
    "type": "data",
    "value": "W10="
  },
  "CorvantaTheme": {
    "type": "string",
    "value": "light"
  }
}
EOF
start_app
quit_app
# 100 bytes short of the limit: a feedback record takes more than that.
fill_to $((write_limit - 100)) || fail "could not fill the settings file"
filled="$(messages)"

start_app
read_geometry
xdotool mousemove $((x + 171)) $((y + 31)) click 1
# Expanded, and the animation over: the frame holds still.
is_expanded() {
    local before
    before="$(geometry "$wid")"
    sleep 0.2
    read_geometry
    [ "$w" -gt 300 ] && [ "$before" = "$x $y $w $h" ]
}
wait_for is_expanded || fail "the panel did not expand"
xdotool mousemove $((x + w - 90)) $((y + h - 18)) click 1
wait_for sheet_open || fail "the feedback button did not open the sheet"
sleep 0.5
xdotool type --delay 20 "one record too many"
xdotool key ctrl+Return
# Refused: the sheet keeps its text and stays open.
sleep 1
sheet_open || fail "the sheet closed although the feedback could not be stored"
import -window root "$out/settings-refused-feedback.png" 2>/dev/null
[ "$(messages)" = "$filled" ] || fail "the stored feedback changed: $(messages)"
[ "$(stat -c %s "$settings")" -le "$write_limit" ] || fail "the settings file outgrew the limit"
xdotool key Escape
wait_for sheet_closed || fail "Escape did not close the sheet"
quit_app

# The next start reads everything back and moves nothing aside.
start_app
setting_is CorvantaTheme light || fail "the theme was lost"
[ "$(messages)" = "$filled" ] || fail "the stored feedback was lost"
quit_app
ls "$config/corvanta" | grep -q unreadable && fail "a settings file was moved aside"
grep -q "could not be read" "$config/stderr" && fail "the settings file was reported unreadable"
echo "settings e2e passed"
