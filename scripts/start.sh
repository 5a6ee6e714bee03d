#!/usr/bin/env bash
# Installs what the program needs, builds the program alone (no tests),
# installs it into your own prefix (~/.local, or $PREFIX; no root needed for
# that step) and starts the installed copy on this desktop, detached from
# this terminal (scripts/install-and-start.sh). The installed copy keeps its
# notes in your data folder (~/.local/share/cevelmo), so they survive
# cleaning or removing this source tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# A build takes minutes: say at once when there is no desktop to start on.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "This session has no desktop to show CeVelmo on: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  echo "Run scripts/start.sh from a terminal of your graphical session." >&2
  exit 1
fi
"$root/scripts/install-deps.sh" program
"$root/scripts/build.sh" -DBUILD_TESTING=OFF
exec "$root/scripts/install-and-start.sh"
