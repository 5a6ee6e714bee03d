#!/usr/bin/env bash
# Installs what the program needs, builds the program alone (no tests),
# installs it into your own prefix (~/.local, or $PREFIX; no root needed for
# that step) and starts the installed copy on this desktop. The installed
# copy keeps its notes in your data folder (~/.local/share/cevelmo), so they
# survive cleaning or removing this source tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${PREFIX:-$HOME/.local}"
"$root/scripts/install-deps.sh" program
"$root/scripts/build.sh" -DBUILD_TESTING=OFF
cmake --install "$root/build" --prefix "$prefix"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "CeVelmo is installed ($prefix/bin/cevelmo), but this session has no desktop to show it on:" >&2
  echo "neither DISPLAY nor WAYLAND_DISPLAY is set. Start cevelmo from a graphical session." >&2
  exit 1
fi
exec "$prefix/bin/cevelmo"
