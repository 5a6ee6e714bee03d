#!/usr/bin/env bash
# Fails when a source file includes against the directions the code is built
# in (docs/architecture.md, "Dependencies"):
#
#   platform <- store <- note <- edit <- app
#                     <- dialogs     <-
#
# - The system's own folders include their own folder and the folders listed
#   for them below, and the platform's boundary headers (platform/*.h) only,
#   never a backend's files, nor platform/testing/ (what only tests ask).
#   Their angle-bracket includes are the C++ standard library only.
# - Nothing includes app/; platform/ includes none of the system's folders.
# - Of platform/, only the test libraries (platform/*/testing/) and the
#   headless backend, which is built for the tests alone, include
#   platform/testing/: the shipped program's backend and file layer do not.
# - The boundary headers platform/*.h include each other and the standard
#   library only, since the system's own code includes them.
# - Qt, X11 and xcb headers appear only in platform/qt/; other operating
#   system headers (<unistd.h>, <sys/...>) only in platform/.
#
# Prints every wrong include as file:line and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A may_include=(
    [store]="store"
    [note]="note store"
    [edit]="edit note store"
    [dialogs]="dialogs store"
    [app]="app dialogs edit note store"
)
own_folders="app store note edit dialogs"

failures=0
fail() {
    echo "$1: $2" >&2
    failures=$((failures + 1))
}

# A standard library header: a bare lower-case name without an extension.
is_standard() { [[ $1 =~ ^[a-z_]+$ ]]; }
is_qt_or_x11() { [[ $1 =~ ^(Q|X11/|xcb/) ]]; }

check_own_folder() {
    local folder=$1 where header
    while IFS=: read -r file line text; do
        where="$file:$line"
        if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            header=${BASH_REMATCH[1]}
            if [[ $header == platform/testing/* ]]; then
                fail "$where" "$header is what only tests ask; $folder/ may not include it"
                continue
            elif [[ $header =~ ^platform/[a-z_]+\.h$ ]]; then
                continue
            elif [[ $header =~ ^([a-z_]+)/ ]] && [[ " ${may_include[$folder]} " == *" ${BASH_REMATCH[1]} "* ]]; then
                continue
            fi
            fail "$where" "$folder/ may not include \"$header\""
        elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
            header=${BASH_REMATCH[1]}
            is_standard "$header" || fail "$where" "$folder/ may include only the standard library, not <$header>"
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "$folder" --include='*.h' --include='*.cpp' || true)
}

check_platform() {
    local where header
    while IFS=: read -r file line text; do
        where="$file:$line"
        if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
            header=${BASH_REMATCH[1]}
            if [[ $header =~ ^([a-z_]+)/ ]] && [[ " $own_folders " == *" ${BASH_REMATCH[1]} "* ]]; then
                fail "$where" "platform/ may not include \"$header\""
            elif [[ $header == platform/testing/* ]] && ! [[ $file =~ ^platform/(sim|[a-z]+/testing|testing)/ ]]; then
                fail "$where" "$header is what only tests ask; only platform/sim/ and the test libraries (platform/*/testing/) include it"
            elif [[ $file =~ ^platform/[a-z_]+\.h$ ]] && ! [[ $header =~ ^platform/[a-z_]+\.h$ ]]; then
                fail "$where" "a boundary header may include only other boundary headers, not \"$header\""
            fi
        elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
            header=${BASH_REMATCH[1]}
            if [[ $file =~ ^platform/[a-z_]+\.h$ ]] && ! is_standard "$header"; then
                fail "$where" "a boundary header may include only the standard library, not <$header>"
            elif is_qt_or_x11 "$header" && ! [[ $file == platform/qt/* ]]; then
                fail "$where" "only platform/qt/ may include <$header>"
            fi
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' platform --include='*.h' --include='*.cpp' || true)
}

for folder in $own_folders; do check_own_folder "$folder"; done
check_platform

if ((failures > 0)); then
    echo "check-includes: $failures include(s) against the allowed directions" >&2
    exit 1
fi
echo "check-includes: all includes follow the allowed directions"
