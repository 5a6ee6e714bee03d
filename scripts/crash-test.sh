#!/usr/bin/env bash
# The long crash test: kills the crash driver (tests/crash/) 10,000 times at
# random moments and checks the program folder after every kill. CI runs a
# short version of 200 kills (ctest -L crash); the figures of the long run
# are in docs/reliability.md.
#
#   scripts/crash-test.sh [kills] [seed]     (10000 kills, a random seed)
#
# Builds the driver and checker in build/ when they are missing or stale.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tree="${BUILD_DIR:-$root/build}"
kills="${1:-10000}"
seed_args=()
[ -n "${2:-}" ] && seed_args=(--seed "$2")

cmake -S "$root" -B "$tree" -DBUILD_TESTING=ON >/dev/null
cmake --build "$tree" -j2 --target crash_driver crash_checker >/dev/null
python3 "$root/tests/crash/run_crash_test.py" "$tree/tests/crash_driver" "$tree/tests/crash_checker" \
    --kills "$kills" "${seed_args[@]}"
