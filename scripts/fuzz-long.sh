#!/usr/bin/env bash
# The long fuzz runs: each fuzz target (tests/fuzz/) for 10 million inputs
# from its seed corpus, one after the other, printing libFuzzer's last
# status line for each. CI runs each for a few seconds (ctest in
# build-fuzz/); the figures of the long runs are in docs/reliability.md.
#
#   scripts/fuzz-long.sh [runs]          (10000000 by default)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tree="${BUILD_DIR:-$root/build-fuzz}"
runs="${1:-10000000}"
BUILD_DIR="$tree" "$root/scripts/build-fuzz.sh" >/dev/null
for name in data_file text_file text_conversion; do
    started=$SECONDS
    log=$(mktemp)
    if ! "$root/tests/fuzz/run_fuzzer.sh" "$tree/tests/fuzz/fuzz_$name" "$root/tests/fuzz/corpus/$name" \
        -runs="$runs" -print_final_stats=1 >"$log" 2>&1; then
        cat "$log"
        echo "fuzz_$name: FAILED" >&2
        exit 1
    fi
    echo "fuzz_$name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1) in $((SECONDS - started)) s"
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | sed 's/^/    /'
    rm -f "$log"
done
