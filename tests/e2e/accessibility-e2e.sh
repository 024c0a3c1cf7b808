#!/usr/bin/env bash
# What a screen reader finds over AT-SPI in the real binary (run it under
# with-xvfb.sh): the collapsed bar's pack name, then, expanded, the list's rows read
# with their keys as words and its headings. Skips (77) when no accessibility
# bus can run here.
app="$1"

source "$(dirname "$0")/e2e-common.sh"
unset CORVANTA_RESOURCES

py=/usr/bin/python3
"$py" -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi missing"; exit 77; }
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "SKIP: at-spi2-core missing"; exit 77; }
if [ -z "${CORVANTA_A11Y_SESSION:-}" ]; then
    # A private session bus holds the accessibility bus for this run only.
    exec env CORVANTA_A11Y_SESSION=1 dbus-run-session -- "$0" "$@"
fi
"$launcher" --launch-immediately &
pids+=($!)
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0

log="$work/app.log"
"$app" >"$log" 2>&1 &
app_pid=$!

panel_window() { app_windows | head -n 1; }
has_panel() { [ -n "$(panel_window)" ]; }
wait_for has_panel || fail "no panel window"
wid="$(panel_window)"

# Prints every "role|name|states" below the application, depth first; states
# are those of checked, focused, expanded and showing, and "press" for an
# object that can be pressed.
tree() {
    "$py" - <<'PY'
import pyatspi
desktop = pyatspi.Registry.getDesktop(0)
marks = {pyatspi.STATE_CHECKED: "checked", pyatspi.STATE_FOCUSED: "focused",
         pyatspi.STATE_EXPANDED: "expanded", pyatspi.STATE_SHOWING: "showing"}
def walk(node, depth=0):
    if depth > 14 or node is None:
        return
    try:
        states = node.getState()
        words = [word for state, word in marks.items() if states.contains(state)]
        try:
            action = node.queryAction()
            if any(action.getName(i) == "press" for i in range(action.nActions)):
                words.append("press")
        except NotImplementedError:
            pass
        print(f"{node.getRoleName()}|{node.name}|{' '.join(words)}")
        for child in node:
            walk(child, depth + 1)
    except Exception:
        pass
for app in desktop:
    if app is not None and "orvanta" in (app.name or ""):
        walk(app)
PY
}
tree_has() { tree | grep -F -- "$1" >/dev/null; }

patience=150 wait_for tree_has "|Corvanta" || {
    echo "SKIP: the application never appeared on the accessibility bus"
    exit 77
}
tree >"$work/collapsed.txt"
# Only the face on screen is listed: the hidden panel's search is not.
grep -F "|Search shortcuts|" "$work/collapsed.txt" >/dev/null &&
    { cat "$work/collapsed.txt" >&2; fail "the hidden panel is listed"; }
grep -F "Shortcut companion" "$work/collapsed.txt" >/dev/null ||
    grep -E "^(filler|panel|unknown)\|" "$work/collapsed.txt" >/dev/null ||
    fail "collapsed tree is empty"

xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
xdotool key ctrl+k
patience=150 wait_for tree_has "list item|" || { tree >&2; fail "no list rows over AT-SPI"; }
tree >"$work/expanded.txt"
grep -E "^list item\|.+, .*(Command|Option|Shift|Control)" "$work/expanded.txt" >/dev/null ||
    { cat "$work/expanded.txt" >&2; fail "no row read with its keys as words"; }
grep -E "^heading\|" "$work/expanded.txt" >/dev/null ||
    { cat "$work/expanded.txt" >&2; fail "no section heading"; }
grep -E "^check box\|(Add|Remove) .* favorites" "$work/expanded.txt" >/dev/null ||
    { cat "$work/expanded.txt" >&2; fail "no star button"; }
# States: the segment in use and the pin say so; the pack button opens a popup.
grep -E "^radio button\|All\|checked" "$work/expanded.txt" >/dev/null ||
    { cat "$work/expanded.txt" >&2; fail "the All segment is not reported checked"; }
grep -E "^check box\|(Pin|Unpin) window\|" "$work/expanded.txt" >/dev/null ||
    { cat "$work/expanded.txt" >&2; fail "the pin is not a check box"; }
grep -E "^\|Choose shortcut software" "$work/expanded.txt" >/dev/null &&
    fail "the pack button has no role"
grep -F "|Expand shortcut panel|" "$work/expanded.txt" >/dev/null &&
    { cat "$work/expanded.txt" >&2; fail "the hidden bar is listed"; }
# Nothing that can be pressed is unnamed.
grep -E "^[^|]*\|\|.*press" "$work/expanded.txt" >&2 && fail "an unnamed object can be pressed"


# A star found before a keystroke is pressed through AT-SPI right after it: a
# row that stays in the result keeps its object, and the keystroke adds no
# child the list already had.
xdotool type --delay 30 "move"
patience=150 wait_for tree_has "list item|Move tool" || { tree >&2; fail "no Move tool row for \"move\""; }
"$py" - "$settings" <<'PY' || fail "the star did not press after a keystroke"
import json, subprocess, sys, time
import pyatspi
from gi.repository import GLib
desktop = pyatspi.Registry.getDesktop(0)
app = next(a for a in desktop if a is not None and "orvanta" in (a.name or ""))
def find(node, pred, depth=0):
    if node is None or depth > 14:
        return None
    if pred(node):
        return node
    for child in node:
        found = find(child, pred, depth + 1)
        if found:
            return found
    return None
star = find(app, lambda n: n.getRoleName() == "check box" and n.name == "Add Move tool to favorites")
assert star, "no star for Move tool"
added = []
pyatspi.Registry.registerEventListener(lambda e: added.append(e.any_data), "object:children-changed:add")
subprocess.run(["xdotool", "key", "BackSpace"], check=True)
star.queryAction().doAction(0)
def stored():
    try:
        return json.load(open(sys.argv[1]))["CorvantaFavorites"]["value"]
    except (OSError, ValueError, KeyError):
        return []
def check():
    if any(f.endswith(":move-tool") for f in stored()) or time.monotonic() > deadline:
        pyatspi.Registry.stop()
        return False
    return True
deadline = time.monotonic() + 10
GLib.timeout_add(100, check)
pyatspi.Registry.start()
assert any(f.endswith(":move-tool") for f in stored()), f"favourites: {stored()}"
assert not added, f"{len(added)} children added for a keystroke that only kept rows"
PY
echo "accessibility e2e: star pressed after a keystroke"

# After Escape the keyboard rests on the bar's expand button.
xdotool key Escape
patience=150 wait_for tree_has "|Expand shortcut panel|focused" ||
    { tree >&2; fail "the bar's expand button has no focus after a collapse"; }
echo "accessibility e2e: ok"
