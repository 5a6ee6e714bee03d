#!/usr/bin/env bash
# Removes an installation of CeVelmo from your own prefix (~/.local, or
# $PREFIX), as scripts/start.sh or cmake --install made it: every file the
# installation wrote, as it listed them in share/cevelmo/installed-files,
# and the folders this leaves empty, up to the prefix. It needs neither the
# build folder nor the sources' state (it works after git clean -xdf). Your
# notes stay: they are in your data folder (~/.local/share/cevelmo/Data),
# which no installation wrote.
set -euo pipefail
prefix="$(cd "${PREFIX:-$HOME/.local}" 2>/dev/null && pwd)" || prefix="${PREFIX:-$HOME/.local}"
list="$prefix/share/cevelmo/installed-files"
if [ ! -f "$list" ]; then
  echo "No installation of CeVelmo in $prefix (no $list)." >&2
  exit 1
fi
# Only files inside the prefix are touched, whatever the list says.
mapfile -t files < "$list"
folders=()
removed=0
for file in "${files[@]}"; do
  case "$file" in "$prefix"/*) ;; *) continue ;; esac
  if [ -f "$file" ] || [ -L "$file" ]; then
    rm -f -- "$file"
    removed=$((removed + 1))
  fi
  folders+=("$(dirname -- "$file")")
done
# A folder that the removal emptied goes, and so does each parent it leaves
# empty, up to the prefix: a folder that still holds anything stays.
for folder in "${folders[@]}"; do
  while [ "${folder#"$prefix"/}" != "$folder" ] && rmdir -- "$folder" 2>/dev/null; do
    folder="$(dirname -- "$folder")"
  done
done
# A program still running from the removed file goes on until it ends.
for exe in /proc/[0-9]*/exe; do
  if [ "$(readlink "$exe" 2>/dev/null)" = "$prefix/bin/cevelmo (deleted)" ]; then
    echo "CeVelmo is still running: end it from its menu (CeVelmo, then CeVelmo 終了)."
    break
  fi
done
echo "CeVelmo is removed from $prefix ($removed files)."
echo "Your notes stay in ${XDG_DATA_HOME:-$HOME/.local/share}/cevelmo."
