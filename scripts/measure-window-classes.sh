#!/usr/bin/env bash
# Measures the X11 window class of every catalog application that Debian ships:
# installs them, starts each on its own Xvfb and writes tests/data/linux-window-classes.tsv.
# Not part of the build, the tests or CI; run it by hand on Debian 12 (as root or with sudo).
#
# Usage: scripts/measure-window-classes.sh [--timeout SECONDS] [--only PACKAGE]... [--out FILE]
# --timeout bounds each application's start (default 120 s). --only measures just the
# named packages, and the file then holds only their rows: give --out with it.
set -euo pipefail
cd "$(dirname "$0")/.."

# package | command line | pack id. A command starting with "user:" must not run as
# root (the application refuses to) and is started as "nobody" when the script is root.
apps=(
  "firefox-esr|firefox-esr --no-remote about:blank|firefox"
  "chromium|chromium @NOSANDBOX@ --no-first-run --no-default-browser-check --disable-gpu about:blank|chrome"
  "vlc|user:vlc --no-qt-privacy-ask|vlc"
  "audacity|audacity|audacity"
  "texstudio|texstudio|texstudio"
  "blender|blender --factory-startup|blender"
  "kicad|kicad|kicad"
  "freecad|freecad|freecad"
  "qgis|qgis --noversioncheck|qgis"
  "obs-studio|obs|obsstudio"
  "paraview|paraview|paraview"
  "godot3|godot3|godot"
  "calibre|calibre|calibre"
  "pymol|pymol|pymol"
  "imagej|imagej|imagej"
  "handbrake|ghb|handbrake"
)

# Only what measuring needs; the build and test dependencies stay in install-deps.sh.
tools=(xvfb xdotool x11-utils dbus-daemon)

# The applications are Debian's and must find Debian's interpreters, not a
# python3 or java that the caller's PATH puts first.
system_path=/usr/sbin:/usr/bin:/sbin:/bin
timeout=120
out=tests/data/linux-window-classes.tsv
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout=$2; shift 2 ;;
    --only) only+=("$2"); shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

selected=()
for row in "${apps[@]}"; do
  pkg=${row%%|*}
  if [ ${#only[@]} -eq 0 ] || [[ " ${only[*]} " == *" $pkg "* ]]; then selected+=("$row"); fi
done

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

packages=("${tools[@]}")
for row in "${selected[@]}"; do packages+=("${row%%|*}"); done
install_missing "${packages[@]}"

work=$(mktemp -d /tmp/corvanta-wmclass.XXXXXX)
chmod 755 "$work"
xvfb_pid=""
app_pid=""

stop_pid_group() {
  # Each application runs in its own session; its group goes down with it.
  local pid=$1 _
  [ -n "$pid" ] || return 0
  kill -TERM -- "-$pid" 2>/dev/null || true
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    kill -0 -- "-$pid" 2>/dev/null || return 0
    sleep 0.5
  done
  kill -KILL -- "-$pid" 2>/dev/null || true
}

cleanup() {
  stop_pid_group "$app_pid"
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Prints "instance<TAB>class" of one window, or nothing when it has no WM_CLASS.
window_class() {
  xprop -id "$1" WM_CLASS 2>/dev/null |
    sed -n 's/^WM_CLASS([^)]*) = "\(.*\)", "\(.*\)"$/\1\t\2/p'
}

# Prints the first mapped window at least 64 pixels each way (tiny helper windows
# of some toolkits are mapped too) that carries a WM_CLASS.
first_visible_window() {
  local id geometry w h
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
    w=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
    h=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
    if [ "${w:-0}" -lt 64 ] || [ "${h:-0}" -lt 64 ]; then continue; fi
    [ -n "$(window_class "$id")" ] || continue
    echo "$id"
    return 0
  done
  return 1
}

measure() {
  # Leaves "instance<TAB>class" in $result, empty when no window came up in time.
  local pkg=$1 cmd=$2 as_user="" display_file
  local dir="$work/$pkg"
  mkdir -p "$dir/home" "$dir/runtime"
  chmod 700 "$dir/runtime"
  if [[ $cmd == user:* ]]; then
    cmd=${cmd#user:}
    if [ "$(id -u)" -eq 0 ]; then as_user=nobody; fi
  fi
  local nosandbox=""
  if [ "$(id -u)" -eq 0 ] && [ -z "$as_user" ]; then nosandbox="--no-sandbox"; fi
  cmd=${cmd//@NOSANDBOX@/$nosandbox}
  if [ -n "$as_user" ]; then chown -R "$as_user" "$dir"; fi

  display_file="$dir/display"
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$display_file" >"$dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local _
  for _ in $(seq 1 50); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  DISPLAY=":$(tr -dc '0-9' <"$display_file")"
  export DISPLAY

  local env=(env -i "PATH=$system_path" "DISPLAY=$DISPLAY" "HOME=$dir/home" "XDG_RUNTIME_DIR=$dir/runtime"
    "LANG=C.UTF-8" "QT_QPA_PLATFORM=xcb" "LIBGL_ALWAYS_SOFTWARE=1")
  local runner=()
  if [ -n "$as_user" ]; then runner=(runuser -u "$as_user" --); fi
  local launcher=()
  if command -v dbus-run-session >/dev/null; then launcher=(dbus-run-session --); fi
  # shellcheck disable=SC2086
  setsid "${runner[@]}" "${env[@]}" "${launcher[@]}" $cmd >"$dir/app.log" 2>&1 &
  app_pid=$!

  local id="" deadline=$((SECONDS + timeout))
  while [ $SECONDS -lt $deadline ]; do
    if id=$(first_visible_window); then break; fi
    id=""
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.5
  done

  result=""
  if [ -n "$id" ]; then
    result=$(window_class "$id")
    echo "$pkg: $(tr '\t' ' ' <<<"$result") (window $id, $(xdotool getwindowname "$id" 2>/dev/null))" >&2
  else
    echo "$pkg: no window within ${timeout}s; last lines of its output:" >&2
    tail -n 5 "$dir/app.log" >&2 || true
  fi

  stop_pid_group "$app_pid"
  app_pid=""
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}

rows=()
for row in "${selected[@]}"; do
  IFS='|' read -r pkg cmd pack <<<"$row"
  version=$(dpkg-query -W -f='${Version}' "$pkg")
  measure "$pkg" "$cmd"
  if [ -n "$result" ]; then rows+=("$(printf '%s\t%s\t%s\t%s' "$pkg" "$version" "$result" "$pack")"); fi
done

mkdir -p "$(dirname "$out")"
{
  echo "# WM_CLASS of each application's first window, measured on Debian $(cat /etc/debian_version) by scripts/measure-window-classes.sh."
  printf 'package\tversion\tinstance\tclass\tpack\n'
  for row in "${rows[@]}"; do echo "$row"; done
} >"$out"
echo "wrote ${#rows[@]} of ${#selected[@]} applications to $out" >&2
