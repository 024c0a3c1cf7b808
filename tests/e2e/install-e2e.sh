#!/usr/bin/env bash
# Installs a built Corvanta into a temporary prefix, checks the layout and its
# desktop metadata, starts the installed binary with the shipped catalog and
# builds the Debian package into <build dir>/package. Run it under with-xvfb.sh.
# Usage: install-e2e.sh <build dir>
build="$(cd "$1" && pwd)" || exit 2
probe="$build/tests/e2e/corvanta_e2e_probe"
app_id=org.corvanta.Corvanta

source "$(dirname "$0")/e2e-common.sh"
probe_pid=""
stop_extra() { [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
for file in bin/corvanta share/corvanta/catalog/shortcuts-mac.json \
    share/corvanta/images/CorvantaWhiteLogo.svg "share/applications/$app_id.desktop" \
    "share/icons/hicolor/scalable/apps/$app_id.svg" "share/metainfo/$app_id.metainfo.xml"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/corvanta" ] || fail "the installed binary is not executable"
[ -e "$prefix/bin/resources" ] && fail "resources were installed next to the binary"

desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log" >&2; fail "the AppStream metadata is not valid"; }
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = corvanta ] || fail "the desktop entry starts $(entry Exec)"
[ "$(entry Icon)" = "$app_id" ] || fail "the desktop entry names icon $(entry Icon)"
wm_class="$(entry StartupWMClass)"

# The installed binary, with nothing pointing it at its resources: it finds
# them in <prefix>/share/corvanta. The probe's window class is a Linux one
# that only the shipped catalog knows.
export XDG_CONFIG_HOME="$work/config"
unset CORVANTA_RESOURCES
settings="$XDG_CONFIG_HOME/corvanta/settings.json"
"$prefix/bin/corvanta" &
app_pid=$!
has_panel() { [ -n "$(xdotool search --onlyvisible --class "^${wm_class//./\\.}\$")" ]; }
wait_for has_panel || fail "the installed binary shows no window of class $wm_class"
"$probe" firefox >/dev/null &
probe_pid=$!
selected() { [ "$(setting CorvantaSoftware)" = firefox ]; }
wait_for selected || fail "the installed binary did not load the shipped catalog"
import -window root "$build/install-startup.png" || fail "no screenshot"
quit_app

rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack -G DEB failed"; }
deb="$(ls "$build"/package/corvanta_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || fail "no .deb built"
depends="$(dpkg-deb -f "$deb" Depends)"
for dependency in libqt6widgets6 libqt6svg6 libicu qt6-qpa-plugins; do
    grep -q "$dependency" <<<"$depends" || fail "the package does not depend on $dependency: $depends"
done
contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for file in ./usr/bin/corvanta ./usr/share/corvanta/catalog/shortcuts-mac.json \
    "./usr/share/applications/$app_id.desktop" "./usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    "./usr/share/metainfo/$app_id.metainfo.xml"; do
    grep -qx -- "$file" <<<"$contents" || fail "the package lacks $file"
done
echo "PASS: installed layout, desktop entry and metadata valid; $deb; screenshot $build/install-startup.png"
