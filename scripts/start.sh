#!/usr/bin/env bash
# Installs what the program needs, builds the program alone (no tests) and
# starts it on this desktop.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" program
"$root/scripts/build.sh" -DBUILD_TESTING=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "CeVelmo is built (build/cevelmo), but this session has no desktop to show it on:" >&2
  echo "neither DISPLAY nor WAYLAND_DISPLAY is set. Run build/cevelmo from a graphical session." >&2
  exit 1
fi
exec "$root/build/cevelmo"
