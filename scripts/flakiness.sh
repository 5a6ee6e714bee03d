#!/usr/bin/env bash
# Runs the end-to-end tests (or the tests of another ctest label) again and
# again on a loaded machine, and prints how often each one passed. The load
# is two busy processes (stress-ng --cpu 2) for as long as the runs last: a
# test that passes only on a quiet machine waits on time somewhere instead of
# on what it waits for. The output of each failed run is kept.
#
#   flakiness.sh [RUNS [LABEL]]        (10 runs of the label e2e by default)
#
# Runs in build/ (or $BUILD_DIR), which must be built with the tests
# (scripts/build.sh -DBUILD_TESTING=ON); the failed runs' logs go to
# flakiness/ in it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
runs="${1:-10}"
label="${2:-e2e}"
logs="$build/flakiness"

command -v stress-ng >/dev/null || { echo "flakiness.sh: stress-ng is not installed (scripts/install-deps.sh)" >&2; exit 1; }
mapfile -t tests < <(ctest --test-dir "$build" -N -L "$label" | sed -n 's/^ *Test *#[0-9]*: //p')
[ ${#tests[@]} -gt 0 ] || { echo "flakiness.sh: no tests labelled $label in $build" >&2; exit 1; }

stress-ng --cpu 2 --quiet &
load=$!
trap 'kill "$load" 2>/dev/null; wait "$load" 2>/dev/null' EXIT

rm -rf "$logs"
mkdir -p "$logs"
declare -A failed
for ((run = 1; run <= runs; run++)); do
  if ctest --test-dir "$build" -L "$label" -j"$(nproc)" --timeout 300 --output-on-failure >"$logs/run-$run.log" 2>&1; then
    rm "$logs/run-$run.log"
    echo "run $run of $runs: all passed"
  else
    mapfile -t failures < <(sed -n 's/^[0-9]*:\(.*\)$/\1/p' "$build/Testing/Temporary/LastTestsFailed.log")
    for test in "${failures[@]}"; do failed[$test]=$((${failed[$test]:-0} + 1)); done
    echo "run $run of $runs: failed ${failures[*]} (log: $logs/run-$run.log)"
  fi
done

echo "passes out of $runs runs under a load of two busy processes:"
status=0
for test in "${tests[@]}"; do
  passed=$((runs - ${failed[$test]:-0}))
  printf '%4d/%d  %s\n' "$passed" "$runs" "$test"
  [ "$passed" -eq "$runs" ] || status=1
done
exit "$status"
