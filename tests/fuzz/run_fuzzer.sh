#!/usr/bin/env bash
# Runs one fuzz target from its seed corpus without changing the corpus:
# the inputs it finds go to a temporary folder that is removed afterwards.
# A crash or a broken invariant leaves its input in the current folder
# (crash-*) and fails.
#
#   run_fuzzer.sh TARGET SEED_CORPUS [libFuzzer options...]
set -euo pipefail
target=$1
seeds=$2
shift 2
found=$(mktemp -d)
trap 'rm -rf "$found"' EXIT
"$target" "$@" "$found" "$seeds"
