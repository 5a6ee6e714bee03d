#!/usr/bin/env bash
# Installs what the build and the program need, and unless told "program",
# what the tests need too; from Debian's packages only. Safe to run again:
# apt-get skips what is already there.
#
#   install-deps.sh [program|all|bench]     (all by default; bench: all and
#                                           what bench/ needs besides)
set -euo pipefail

program_packages=(
  build-essential cmake g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libx11-dev libgl-dev
  # the font chooser's list of the desktop's font families
  libfontconfig-dev
  # Japanese glyphs for the menus and notes, Japanese words in Qt's own dialogs
  fonts-noto-cjk fonts-dejavu-core qt6-translations-l10n
  # running natively on a Wayland desktop that offers no X
  qt6-wayland
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
  # the fuzz targets: clang and its libFuzzer runtime (libclang_rt.fuzzer)
  clang libclang-rt-14-dev
  # checking the program's launchers, and starting a session's autostart entries
  desktop-file-utils dex
  # a compositing manager that casts shadows, for the drag outline
  picom
  # a private session bus and the accessibility bus, to read dialogs' buttons,
  # and a stand-in for a D-Bus tray on it
  dbus-daemon at-spi2-core libglib2.0-bin python3-dbus python3-gi
  # the desktop's clipboard from outside the program
  xclip
  # Japanese input through a real input method, in a D-Bus session of its own:
  # fcitx5 and IBus, each with Anthy
  fcitx5 fcitx5-anthy fcitx5-frontend-qt6 dbus-x11 ibus ibus-anthy
  # building the Debian package and checking what it holds
  dpkg-dev file lintian appstream man-db
  # two busy processes under the end-to-end tests (scripts/flakiness.sh)
  stress-ng
  # notes kept in step between two Data folders by a real sync engine, and
  # the sockets it holds (ss), which must all be on loopback
  syncthing iproute2
)

# The benchmarks: a session bus for the start-up runs' desktop, Google
# Benchmark for the store's (bench/store.sh); CI builds no benchmark.
bench_packages=(dbus-daemon libbenchmark-dev)

case "${1:-all}" in
  program) packages=("${program_packages[@]}") ;;
  all) packages=("${program_packages[@]}" "${test_packages[@]}") ;;
  bench) packages=("${program_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}") ;;
  *) echo "usage: $0 [program|all|bench]" >&2; exit 2 ;;
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
