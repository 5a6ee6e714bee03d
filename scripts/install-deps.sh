#!/usr/bin/env bash
# Installs everything the build, the program and the tests need, from Debian's
# packages only. Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libx11-dev libgl-dev
  libgtest-dev
  # Japanese glyphs for the menus and notes
  fonts-noto-cjk fonts-dejavu-core
  # the desktop test rig
  xvfb openbox trayer xdotool imagemagick x11-utils xdg-utils python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
