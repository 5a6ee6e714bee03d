#!/usr/bin/env bash
# The start-up benchmark, in one command:
#
#   bench/startup.sh [--runs N] [--sizes 1,100,1000] [--timeout SECONDS]
#                    [--after-close 1000] [--program NAME=PATH]
#
# Builds the program as users build it, the floor program and the map
# watcher into build-bench/ (or $BENCH_BUILD_DIR), then on one private
# virtual desktop (tests/e2e/with_desktop.sh: Xvfb, openbox, a tray) starts
# the floor and CeVelmo in turn with 1, 100 and 1,000 stored notes and prints
# the time until every note is mapped and the resident memory, as minimum,
# median and maximum over the runs. docs/performance.md reads the results.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCEVELMO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target cevelmo bench_floor bench_map_watch bench_x_round_trips >/dev/null
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null), $(openbox --version | head -n 1)"
# A desktop session has a session bus; without one, the first Qt program to
# look for it would start one through the X display, for the rest of the
# session, and the runs would not be alike.
session=()
command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
exec "${session[@]}" "$root/tests/e2e/with_desktop.sh" python3 "$root/bench/startup_runs.py" "$build" "$@"
