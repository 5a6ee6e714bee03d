#!/usr/bin/env bash
# Installs what the build and the program need, and unless told "program",
# what the tests need too; from Debian's packages only. Safe to run again:
# apt-get skips what is already there.
#
#   install-deps.sh [program|all]     (all by default)
set -euo pipefail

program_packages=(
  build-essential cmake g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libx11-dev libgl-dev
  # the font chooser's list of the desktop's font families
  libfontconfig-dev
  # Japanese glyphs for the menus and notes
  fonts-noto-cjk fonts-dejavu-core
  # opening the help page and files with the desktop's programs
  xdg-utils
  # rendering the installed icon's sizes from its drawings
  librsvg2-bin
)
# The sanitizers need nothing more: g++ brings gcc's libasan and libubsan.
test_packages=(
  libgtest-dev
  # the desktop test rig
  xvfb openbox trayer xdotool imagemagick x11-utils python3
  # checking the program's launchers, and starting a session's autostart entries
  desktop-file-utils dex
  # building the Debian package and checking what it holds
  dpkg-dev file lintian appstream man-db
)

case "${1:-all}" in
  program) packages=("${program_packages[@]}") ;;
  all) packages=("${program_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [program|all]" >&2; exit 2 ;;
esac

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
