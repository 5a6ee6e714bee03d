#!/usr/bin/env bash
# Fails when the built program holds any call of what only tests ask of the
# desktop: every function declared in platform/testing/*.h (key strokes,
# clicks and pixels of the test rig, the file layer's failing write and save
# counter, ...) must be missing from its symbols. Those calls live in the
# test libraries (platform_qt_testing, platform_posix_testing), which the
# program never links (docs/architecture.md, "The platform boundary").
#
# Usage: check-shipped-program.sh PROGRAM
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:?usage: check-shipped-program.sh PROGRAM}

# A declaration is a line of a return type, then the name and its "(".
mapfile -t names < <(grep -hoE '^[A-Za-z][A-Za-z0-9_:<>, ]*[ &*]([A-Z][A-Za-z0-9]*)\(' platform/testing/*.h |
                     sed -E 's/.*[ &*]([A-Za-z0-9]+)\($/\1/' | sort -u)
if ((${#names[@]} < 10)); then
    echo "check-shipped-program: found only ${#names[@]} declarations in platform/testing/*.h; is the pattern still right?" >&2
    exit 1
fi

symbols=$(nm -C "$program")
found=0
for name in "${names[@]}"; do
    if grep -F "platform::$name(" <<<"$symbols" >&2; then
        echo "check-shipped-program: $program holds platform::$name, which only tests may call" >&2
        found=$((found + 1))
    fi
done
((found == 0)) || exit 1
echo "check-shipped-program: none of the ${#names[@]} test calls of platform/testing/ is in $program"
