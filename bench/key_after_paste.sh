#!/usr/bin/env bash
# A key pressed right after a paste, on a disk whose every flush is slow:
#
#   bench/key_after_paste.sh [--flush-ms MS] [--runs N] [NAME=PROGRAM...]
#
# Builds the program and the slow-flush library (bench/slow_fsync.cpp) into
# build-bench/ (or $BENCH_BUILD_DIR) and runs bench/key_after_paste.py on a
# private virtual desktop (Xvfb, openbox, trayer) for that program and any
# other builds named (e.g. before=/path/to/an/older/cevelmo).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCEVELMO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target cevelmo bench_slow_fsync >/dev/null
options=()
while [ $# -gt 0 ] && [[ "$1" == --* ]]; do
    options+=("$1" "$2")
    shift 2
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
exec "$root/tests/e2e/with_desktop.sh" python3 "$root/bench/key_after_paste.py" \
    --shim "$build/bench/libbench_slow_fsync.so" "${options[@]}" "after=$build/cevelmo" "$@"
