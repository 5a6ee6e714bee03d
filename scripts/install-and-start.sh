#!/usr/bin/env bash
# Installs the program built in build/ (or $BUILD_DIR) into your own prefix
# (~/.local, or $PREFIX) and starts the installed copy detached from this
# terminal, so that closing the terminal leaves it running. When it runs
# already, starting it again only adds a new note to it. When you have no
# notes yet, the running program is asked for a new one, so that the first
# thing you see is a note. Ends by saying where the notes are kept and how
# to begin. The last step of scripts/start.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
prefix="${PREFIX:-$HOME/.local}"
program="$prefix/bin/cevelmo"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "This session has no desktop to show CeVelmo on: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  exit 1
fi

# Where an installed copy keeps its notes (an XDG_DATA_HOME that is no
# absolute path does not count), and the lock the running program holds.
data_home="$HOME/.local/share"
case "${XDG_DATA_HOME:-}" in /*) data_home="$XDG_DATA_HOME" ;; esac
data="$data_home/cevelmo/Data"
lock="$data/CE_VELMO.lock"
running() { [ -e "$lock" ] && ! flock -n "$lock" true 2>/dev/null; }
first_notes=no
[ -e "$data/CeVlmDat.bin" ] || first_notes=yes

cmake --install "$build" --prefix "$prefix" >/dev/null

if running; then
  # A start while it runs hands it a new note and ends.
  "$program"
  echo "CeVelmo was running already: it shows a new note."
else
  # A session of its own: no terminal to lose, so no hang-up reaches it.
  setsid "$program" </dev/null >/dev/null 2>&1 &
  started=$!
  # Up once it holds its lock; a start that fails ends on its own.
  for _ in $(seq 600); do
    running || ! kill -0 "$started" 2>/dev/null && break
    sleep 0.1
  done
  if ! running; then
    echo "CeVelmo did not start. Start $program in this terminal to read why." >&2
    exit 1
  fi
  [ "$first_notes" = no ] || "$program"
fi

where="$prefix/bin"
echo "Notes: Ctrl+double-click a note to write in it; Esc or a click outside ends writing. They are kept in $data."
echo "Menu: click CeVelmo's icon in your panel (either button), or press Ctrl+Tab on a note. CeVelmo > Help has the rest."
case ":$PATH:" in
  *":$where:"*) ;;
  *) echo "Until your next login $where is not on your PATH: start $program, read man -l $prefix/share/man/man1/cevelmo.1.gz." ;;
esac
