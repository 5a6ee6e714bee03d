#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors, and runs
# every test: behaviour tests, platform conformance tests on both backends,
# end-to-end tests on a virtual desktop, and the behaviour tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-includes.sh"

BUILD_DIR="$root/build" "$root/scripts/build.sh" -DCEVELMO_WERROR=ON
(cd "$root/build" && ctest --output-on-failure --timeout 300)

# The headless targets again, instrumented.
BUILD_DIR="$root/build-sanitize" "$root/scripts/build.sh" -DCEVELMO_WERROR=ON -DCEVELMO_QT=OFF -DCEVELMO_SANITIZE=ON
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure --timeout 300)
