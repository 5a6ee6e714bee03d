#!/usr/bin/env bash
# The note store's benchmark, in one command:
#
#   bench/store.sh [Google Benchmark options, e.g. --benchmark_repetitions=5]
#
# Builds bench_store into build-bench/ (or $BENCH_BUILD_DIR) and runs it: a
# save of the data file with 100 and with 1,000 notes (flushed to the disk),
# and the start-up's reading of 1,000 notes with their text files, from the
# page cache and from the disk. The files go to $TMPDIR (or /tmp), so that
# is the disk measured. Needs Google Benchmark (scripts/install-deps.sh bench).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCEVELMO_BENCH=ON >/dev/null
if grep -q '^benchmark_DIR:PATH=.*NOTFOUND' "$build/CMakeCache.txt"; then
    echo "bench/store.sh: Google Benchmark is not installed; run scripts/install-deps.sh bench" >&2
    exit 1
fi
cmake --build "$build" -j2 --target bench_store >/dev/null
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); disk of ${TMPDIR:-/tmp}: $(df --output=source "${TMPDIR:-/tmp}" | tail -n 1)"
exec "$build/bench/bench_store" "$@"
