#!/usr/bin/env bash
# The one list of Debian packages Corvanta needs to build, test, benchmark and run.
# Every other script calls this; it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
  libicu-dev libsimdjson-dev nlohmann-json3-dev libjemalloc-dev
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-xtest0-dev libxcb-damage0-dev libxcb-shape0-dev
  libfontconfig-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool xclip x11-utils imagemagick fonts-noto-cjk fonts-dejavu-core fonts-inter python3
  at-spi2-core python3-pyatspi dbus-daemon orca speech-dispatcher python3-speechd dbus-x11
  clang-format
  openbox trayer desktop-file-utils appstream dpkg-dev file
  clang libclang-rt-14-dev libfuzzer-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# Another apt or dpkg (unattended upgrades, a software centre, a second build)
# may hold the package locks: wait for it, up to ten minutes, instead of failing.
lock_wait=600
# apt waits for the dpkg lock itself; `apt-get update` fails at once on the
# package lists' lock, so a failure that names a lock is tried again.
apt_get() {
    local deadline=$((SECONDS + lock_wait)) errors status
    errors="$(mktemp)"
    while :; do
        status=0
        $SUDO apt-get -o DPkg::Lock::Timeout="$lock_wait" "$@" 2>"$errors" || status=$?
        if [ "$status" -eq 0 ] || ! grep -qi 'lock' "$errors" || [ "$SECONDS" -ge "$deadline" ]; then
            cat "$errors" >&2
            rm -f "$errors"
            return "$status"
        fi
        echo "waiting for another package manager to finish..." >&2
        sleep 3
    done
}
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"
