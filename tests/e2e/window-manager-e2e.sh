#!/usr/bin/env bash
# The panel on a plain openbox desktop without a compositor, at scale 1 and 2.
# Outside its rounded plate the desktop shows through (no black ring, no black
# corners); every visible pixel of the expanded panel's corner squares resizes
# it; the window manager keeps the size limits the panel announces, for the
# bar and for the expanded panel; a pinned panel cannot be moved by the window
# manager, an unpinned one can. Each scale has its own X server.
# Usage: window-manager-e2e.sh <corvanta> <out dir>
app="$1"
out="$2"

source "$(dirname "$0")/e2e-common.sh"
failure_shot="$out/window-manager-failure.png"
xvfb_pid=""
wm_pid=""
stop_all() {
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    app_pid="" wm_pid="" xvfb_pid=""
}
stop_extra() { stop_all; }
fail_details() { echo "at scale ${scale:-?}x" >&2; }

# A colour no part of the panel paints, and not black.
background=3C78B4

has_panel() { [ -n "$(app_windows)" ]; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# A fresh X server of 1440 × 900 points at `scale`, openbox without a
# compositor on it, a plain desktop colour, and the app.
start_session() {
    scale="$1"
    stop_all
    local dir="$work/$scale"
    mkdir -p "$dir/config" "$dir/runtime"
    chmod 700 "$dir/runtime"
    export XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime"
    unset CORVANTA_RESOURCES DBUS_SESSION_BUS_ADDRESS
    settings="$dir/config/corvanta/settings.json"
    log="$dir/app.log"
    Xvfb -displayfd 3 -screen 0 "$((1440 * scale))x$((900 * scale))x24" -nolisten tcp \
        3>"$dir/display" 2>/dev/null &
    xvfb_pid=$!
    wait_for test -s "$dir/display" || fail "no X server"
    export DISPLAY=":$(head -n 1 "$dir/display")"
    openbox --sm-disable >"$dir/openbox.log" 2>&1 &
    wm_pid=$!
    patience=300 wait_for wm_running || fail "openbox did not start"
    # openbox clears the root window as it starts, so the colour comes after.
    # (display reports failure even when it has set the root's background.)
    display -window root -size "$((1440 * scale))x$((900 * scale))" "xc:#$background" 2>/dev/null
    [ "$(import -window root -crop 1x1+0+0 +repage -depth 8 txt:- | awk 'NR == 2 {print substr($3, 2, 6)}')" \
        = "$background" ] || fail "could not paint the desktop"
    QT_SCALE_FACTOR="$scale" "$app" >"$log" 2>&1 &
    app_pid=$!
    wait_for has_panel || fail "the panel never appeared"
    wid="$(app_windows | head -n 1)"
}

# Device pixels for `points` at the current scale.
px() { echo $(($1 * scale)); }

# The panel's own rectangle of the screen, saved as $1.
shot() {
    read_geometry
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/$1" || fail "no screenshot $1"
}
# One pixel of a saved screenshot as RRGGBB.
pixel_of() { convert "$work/$1" -format "%[hex:u.p{$2,$3}]" info:- 2>/dev/null | cut -c1-6; }

# WM_NORMAL_HINTS of the panel as "minW minH maxW maxH".
size_hints() {
    xprop -id "$wid" WM_NORMAL_HINTS | awk '/minimum size/ {mw=$5; mh=$7} /maximum size/ {xw=$5; xh=$7}
                                          END {print mw, mh, xw, xh}'
}
hints_are() { [ "$(size_hints)" = "$*" ]; }
allows_move() { xprop -id "$wid" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_MOVE; }

# Outside the plate the desktop shows through, the plate's own first pixel
# stays, and no pixel of the window is black.
check_mask() {
    local file="$1" mid_x=$((w / 2)) mid_y=$((h / 2)) p
    for p in "0 0" "$((w - 1)) 0" "0 $((h - 1))" "$((w - 1)) $((h - 1))" \
        "$(px 2) $(px 2)" "$((w - 1 - $(px 2))) $((h - 1 - $(px 2)))" \
        "$(($(px 1) - 1)) $mid_y" "$mid_x $(($(px 1) - 1))" \
        "$((w - $(px 1))) $mid_y" "$mid_x $((h - $(px 1)))"; do
        # shellcheck disable=SC2086
        [ "$(pixel_of "$file" $p)" = "$background" ] ||
            fail "$file: pixel $p is $(pixel_of "$file" $p), not the desktop"
    done
    for p in "$(px 1) $mid_y" "$mid_x $(px 1)" "$((w - 1 - $(px 1))) $mid_y"; do
        # shellcheck disable=SC2086
        case "$(pixel_of "$file" $p)" in
            "$background" | 000000) fail "$file: the plate's edge pixel $p is cut or black" ;;
        esac
    done
    ! convert "$work/$file" -format %c histogram:info:- | grep -i '#000000' >/dev/null ||
        fail "$file: black pixels remain"
}

# The visible pixel of a corner square nearest the window's corner, as
# "x y" in window pixels: $1 = the saved screenshot, $2/$3 = 0 or 1 for
# left/right and top/bottom.
visible_corner_pixel() {
    local size cx cy
    size="$(px 12)"
    cx=$(($2 == 0 ? 0 : $(pixel_width "$1") - size))
    cy=$(($3 == 0 ? 0 : $(pixel_height "$1") - size))
    convert "$work/$1" -crop "${size}x${size}+$cx+$cy" +repage -depth 8 txt:- |
        awk -F'[,: ]+' -v bg="#$background" -v n="$size" -v r="$2" -v b="$3" -v cx="$cx" -v cy="$cy" '
            NR > 1 && index($0, bg) == 0 {
                dx = r ? n - 1 - $1 : $1; dy = b ? n - 1 - $2 : $2
                d = dx * dx + dy * dy
                if (best == "" || d < best) { best = d; bx = $1 + cx; by = $2 + cy }
            }
            END { if (best != "") print bx, by }'
}

# Presses at window pixel ($1, $2), drags by ($3, $4) device pixels and lets go.
drag_from() {
    read_geometry
    local sx=$((x + $1)) sy=$((y + $2)) step
    xdotool mousemove --sync "$sx" "$sy" mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove --sync $((sx + $3 * step / 4)) $((sy + $4 * step / 4))
    done
    xdotool mouseup 1
}

run_scale() {
    start_session "$1"
    wait_for test -f "$settings" || fail "no settings file written"

    # The bar: fixed at 230 × 62 for the window manager too.
    read_geometry
    [ "$w,$h" = "$(px 230),$(px 62)" ] || fail "the bar is ${w}x$h"
    wait_for hints_are "$(px 230) $(px 62) $(px 230) $(px 62)" ||
        fail "the bar's size hints are $(size_hints)"
    sleep 0.3
    shot bar.png
    check_mask bar.png

    # Asked for another size by another client or by Alt+right-drag, the
    # window manager keeps the bar's size.
    xdotool windowsize "$wid" "$(px 430)" "$(px 262)"
    read_geometry
    xdotool mousemove --sync $((x + w - $(px 90))) $((y + h / 2)) keydown alt mousedown 3
    xdotool mousemove --sync $((x + w + $(px 100))) $((y + h + $(px 150)))
    xdotool mouseup 3 keyup alt
    sleep 0.5
    read_geometry
    [ "$w,$h" = "$(px 230),$(px 62)" ] || fail "the window manager stretched the bar to ${w}x$h"

    # The pinned panel: the window manager offers no move, and Alt+drag does
    # not move it.
    allows_move && fail "the window manager may move the pinned panel"
    local px0=$x py0=$y
    xdotool mousemove --sync $((x + $(px 60))) $((y + h / 2)) keydown alt mousedown 1
    xdotool mousemove --sync $((x - $(px 100))) $((y + $(px 100)))
    xdotool mouseup 1 keyup alt
    sleep 0.5
    read_geometry
    [ "$x,$y" = "$px0,$py0" ] || fail "Alt+drag moved the pinned panel to $x,$y"

    # Expanded: the limits of a 1440 × 900 screen.
    xdotool mousemove --sync $((x + $(px 171))) $((y + $(px 31))) click 1
    is_expanded() { read_geometry; [ "$w" -gt "$(px 300)" ]; }
    wait_for is_expanded || fail "the panel did not expand"
    wait_for hints_are "$(px 360) $(px 520) $(px 640) $(px 900)" ||
        fail "the expanded panel's size hints are $(size_hints)"
    sleep 0.3
    shot panel.png
    check_mask panel.png
    # The desktop around the panel, for the eye.
    import -window root -crop "$((w + 24))x$((h + 24))+$((x - 12))+$((y - 12))" +repage \
        "$out/e2e-mask-${scale}x.png" || fail "no screenshot e2e-mask-${scale}x.png"

    # A press where the corner is cut away reaches the desktop below.
    read -r w0 h0 <<<"$w $h"
    [ "$(pixel_of panel.png "$(px 2)" $((h - $(px 3))))" = "$background" ] ||
        fail "the corner pixel 2,713 (in points) is not cut away"
    drag_from "$(px 2)" $((h - $(px 3))) "$(px -8)" "$(px 8)"
    sleep 0.3
    read_geometry
    [ "$w,$h" = "$w0,$h0" ] || fail "a press outside the plate resized the panel to ${w}x$h"

    # Every corner's visible pixel nearest the corner takes a press and
    # resizes both ways, outwards by 8 points.
    local corner right bottom cx cy
    for corner in "0 0" "1 0" "0 1" "1 1"; do
        read -r right bottom <<<"$corner"
        read -r cx cy <<<"$(visible_corner_pixel panel.png "$right" "$bottom")"
        [ -n "$cx" ] || fail "corner $corner shows no panel pixel"
        read_geometry
        read -r w0 h0 <<<"$w $h"
        # The plate's shape does not depend on its size, so the offsets from
        # the corner found in the screenshot hold after each resize.
        [ "$right" = 1 ] && cx=$((cx - $(pixel_width panel.png) + w))
        [ "$bottom" = 1 ] && cy=$((cy - $(pixel_height panel.png) + h))
        drag_from "$cx" "$cy" $((right ? $(px 8) : $(px -8))) $((bottom ? $(px 8) : $(px -8)))
        grown() { read_geometry; [ "$w,$h" = "$((w0 + $(px 8))),$((h0 + $(px 8)))" ]; }
        wait_for grown || fail "a drag from corner pixel $cx,$cy left the panel ${w}x$h (was ${w0}x$h0)"
    done

    # Asked for 1000 × 500 by another client, the panel stays within its limits.
    xdotool windowsize "$wid" "$(px 1000)" "$(px 500)"
    sleep 0.5
    read_geometry
    ((w <= $(px 640) && h >= $(px 520))) || fail "the window manager made the panel ${w}x$h"

    # Unpinned (the header's pin button), the window manager may move it again.
    xdotool mousemove --sync $((x + w - $(px 124))) $((y + $(px 31))) click 1
    wait_for allows_move || fail "unpinning did not let the window manager move the panel"

    # Collapsed with Escape: the bar's fixed size again.
    xdotool windowfocus --sync "$wid" 2>/dev/null || xdotool windowfocus "$wid"
    xdotool key Escape
    wait_for hints_are "$(px 230) $(px 62) $(px 230) $(px 62)" ||
        fail "after collapsing the size hints are $(size_hints)"
    quit_app
}

pixel_width() { identify -format %w "$work/$1"; }
pixel_height() { identify -format %h "$work/$1"; }

run_scale 1
run_scale 2
echo "PASS: screenshots in $out (e2e-mask-1x.png, e2e-mask-2x.png)"
