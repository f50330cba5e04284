#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
PACKAGES=(g++ clang libclang-rt-14-dev cmake ninja-build ccache qt6-base-dev libqt6opengl6-dev
          libglu1-mesa-dev libgl1-mesa-dri libjpeg62-turbo-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth fonts-dejavu-core socat dbus-daemon xdotool
          imagemagick)
# One dpkg query for the whole list (one a package took seconds on every run).
declare -A installed=()
while read -r name status; do
    if [ "$status" = "install ok installed" ]; then
        installed[$name]=1
    fi
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)
missing=()
for p in "${PACKAGES[@]}"; do
    [ -n "${installed[$p]:-}" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get -o DPkg::Lock::Timeout=600 update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y \
        --no-install-recommends "${missing[@]}"
fi
