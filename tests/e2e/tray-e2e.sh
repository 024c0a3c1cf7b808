#!/usr/bin/env bash
# The tray icon on a real X11 tray (trayer, with openbox; run it under
# with-xvfb.sh): it stands out from the tray's background at 3:1 or better, it
# takes the colour a tray announces, a click acts on the release, and at twice
# the scale it fills its slot.
# Usage: tray-e2e.sh <corvanta> <out dir>
app="$1"
out="$2"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/tray-failure.png"

export XDG_CONFIG_HOME="$config"
export XDG_RUNTIME_DIR="$runtime"
unset CORVANTA_RESOURCES
# Trayer speaks the X11 tray protocol; a session bus would take Qt elsewhere.
unset DBUS_SESSION_BUS_ADDRESS
settings="$config/corvanta/settings.json"

openbox --sm-disable >"$config/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
patience=300 wait_for wm_running || { cat "$config/openbox.log" >&2; fail "openbox did not start"; }
# start_tray [trayer options]: a tray at the bottom right.
start_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        "$@" >/dev/null 2>&1 &
    tray_pid=$!
    pids+=("$tray_pid")
}
start_tray --transparent false

# The tray's selection owner on screen 0, as a hexadecimal window id.
tray_owner() {
    python3 - <<'EOF'
import ctypes
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
display = x.XOpenDisplay(None)
owner = x.XGetSelectionOwner(display, x.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0))
print(hex(owner) if owner else "")
EOF
}
has_tray() { [ -n "$(tray_owner)" ]; }
patience=300 wait_for has_tray || fail "trayer did not take the tray selection"

has_tray_icon() { [ -n "$(tray_icon_window)" ]; }

start_app() {
    "$app" &
    app_pid=$!
    wait_for has_panel || fail "the panel never appeared"
    wait_for has_tray_icon || fail "the tray icon never docked"
    icon="$(tray_icon_window)"
    read -r ix iy iw ih <<<"$(geometry "$icon")"
}

# measure <shot> <background RRGGBB>: prints "<share> <contrast> <colours>": the
# share of the icon's pixels that differ from the background and stand out
# from it at 3:1 or better, the contrast of the best quarter of those
# differing pixels, and the commonest icon colour.
measure() {
    convert "$1" -depth 8 txt:- | python3 -c '
import re, sys
def channel(v):
    v /= 255
    return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
def lum(c):
    return 0.2126 * channel(c[0]) + 0.7152 * channel(c[1]) + 0.0722 * channel(c[2])
def contrast(a, b):
    la, lb = lum(a), lum(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)
bg = tuple(int(sys.argv[1][i:i + 2], 16) for i in (0, 2, 4))
ink, counts = [], {}
for line in sys.stdin:
    m = re.search(r"#([0-9A-Fa-f]{6})", line)
    if not m or line.startswith("#"):
        continue
    c = tuple(int(m.group(1)[i:i + 2], 16) for i in (0, 2, 4))
    if c != bg:
        ink.append(contrast(c, bg))
        counts[m.group(1).upper()] = counts.get(m.group(1).upper(), 0) + 1
if not ink:
    print("0 1 none"); sys.exit()
ink.sort(reverse=True)
share = sum(1 for r in ink if r >= 3) / len(ink)
print("%.2f %.2f %s" % (share, ink[len(ink) // 4], max(counts, key=counts.get)))
' "$2"
}
# The tray's own colour: the slot's corner, which the icon leaves free.
tray_background() {
    convert "$1" -crop 1x1+0+0 +repage -depth 8 txt:- | awk 'NR == 2 {print substr($3, 2, 6)}'
}

# ink_box <shot> <background RRGGBB>: "x y w h" of the pixels that differ from
# the background.
ink_box() {
    convert "$1" -depth 8 txt:- | python3 -c '
import re, sys
bg = sys.argv[1].upper()
xs, ys = [], []
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+):.*#([0-9A-Fa-f]{6})", line)
    if m and m.group(3).upper() != bg:
        xs.append(int(m.group(1)))
        ys.append(int(m.group(2)))
if xs:
    print(min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
else:
    print(0, 0, 0, 0)
' "$2"
}

# check_visible <shot name>: the docked icon stands out from the tray.
check_visible() {
    local shot="$out/$1" background share ratio colour
    import -window root -crop "${iw}x${ih}+${ix}+${iy}" +repage "$shot" ||
        fail "no screenshot of the tray slot"
    background="$(tray_background "$shot")"
    read -r share ratio colour <<<"$(measure "$shot" "$background")"
    echo "tray #$background: ${share} of the icon at 3:1 or better, contrast ${ratio}:1 ($1)"
    python3 -c "import sys; sys.exit(not (float('$ratio') >= 3 and float('$share') >= 0.3))" ||
        fail "the icon does not stand out from the tray #$background (share $share, contrast $ratio)"
}

# 1. Trayer announces no colours and paints a light background: the icon
# still stands out from it.
start_app
sleep 0.5
check_visible tray-slot-light.png

# 2. A click acts on the release: while the button is held the panel stays.
xdotool mousemove $((ix + iw / 2)) $((iy + ih / 2))
sleep 0.2
xdotool mousedown 1
sleep 0.6
has_panel || { xdotool mouseup 1; fail "the panel hid on the press, before the release"; }
xdotool mouseup 1
wait_for no_panel || fail "the release on the tray icon did not hide the panel"
sleep 0.6
xdotool click 1
wait_for has_panel || fail "a second click on the tray icon did not show the panel"
# A press dragged off the icon before the release does nothing.
xdotool mousedown 1
xdotool mousemove $((ix - 200)) $((iy - 200))
sleep 0.2
xdotool mouseup 1
sleep 0.5
has_panel || fail "a press released away from the icon hid the panel"
quit_app

# 3. A tray that announces its icon colour (green here) gets it.
owner="$(tray_owner)"
xprop -id "$owner" -f _NET_SYSTEM_TRAY_COLORS 32c \
    -set _NET_SYSTEM_TRAY_COLORS "0,32896,0,65535,0,0,65535,65535,0,0,65535,0" ||
    fail "could not announce tray colours"
start_app
sleep 0.5
shot="$out/tray-slot-announced.png"
import -window root -crop "${iw}x${ih}+${ix}+${iy}" +repage "$shot" || fail "no screenshot of the tray slot"
read -r share ratio colour <<<"$(measure "$shot" "$(tray_background "$shot")")"
echo "announced green: commonest icon colour #$colour"
[ "$colour" = 008080 ] || # Edges blend into the tray, so the commonest colour is green, not exactly #008000.
greenish() { (($((16#${1:2:2})) > $((16#${1:0:2})) + 80 && $((16#${1:2:2})) > $((16#${1:4:2})) + 80)); }
greenish "$colour" || fail "the icon's commonest colour is #$colour, not the tray's green"
quit_app

# 4. A dark tray that announces nothing: the same icon stands out there too.
kill "$tray_pid"
no_tray() { ! has_tray; }
wait_for no_tray || fail "trayer did not go"
start_tray --transparent true --alpha 0 --tint 0x202020
patience=300 wait_for has_tray || fail "the dark trayer did not take the tray selection"
start_app
sleep 0.5
check_visible tray-slot-dark.png
quit_app

# 5. At twice the scale, on a light tray 56 pixels high: the icon is drawn at
# the slot's size, centred, and still stands out (not a small copy in a
# corner of a blank square).
kill "$tray_pid"
wait_for no_tray || fail "the dark trayer did not go"
start_tray --transparent false --height 56
patience=300 wait_for has_tray || fail "the tall trayer did not take the tray selection"
QT_SCALE_FACTOR=2 start_app
sleep 0.5
check_visible tray-slot-2x.png
read -r bx by bw bh <<<"$(ink_box "$out/tray-slot-2x.png" "$(tray_background "$out/tray-slot-2x.png")")"
echo "2x: slot ${iw}x${ih}, icon ${bw}x${bh} at $bx,$by"
side=$((iw < ih ? iw : ih))
((bw >= side * 9 / 10 && bh >= side * 9 / 10)) ||
    fail "the icon is ${bw}x${bh} in a ${iw}x${ih} slot at 2x"
left=$bx right=$((iw - bx - bw)) top=$by bottom=$((ih - by - bh))
((left - right <= 2 && right - left <= 2 && top - bottom <= 2 && bottom - top <= 2)) ||
    fail "the icon is not centred in its slot at 2x (margins $left $right $top $bottom)"
quit_app
echo "PASS: the tray icon stands out on light and dark trays, follows announced colours, acts on release, fills its slot at 2x"
