#!/usr/bin/env bash
# Installs what is needed and runs every test in two build trees, both with
# warnings as errors:
#   build/           behaviour tests, conformance tests on the headless
#                    backend, on Qt's offscreen platform and on a virtual X
#                    desktop, end-to-end tests of the program on virtual
#                    desktops;
#   build-sanitize/  the same tests again with everything, the program
#                    included, built with AddressSanitizer and
#                    UndefinedBehaviorSanitizer; a report fails its test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-includes.sh"

run_tree() {
  local tree="$root/$1"
  shift
  BUILD_DIR="$tree" "$root/scripts/build.sh" -DBUILD_TESTING=ON -DCEVELMO_WERROR=ON -DCEVELMO_QT=ON "$@"
  (cd "$tree" && ctest --output-on-failure --timeout 300)
}

run_tree build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCEVELMO_SANITIZE=OFF
# Unoptimised: an instrumented file compiles two to five times faster and
# the tests still run in seconds; the optimiser's warnings come from the
# first tree.
run_tree build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCEVELMO_SANITIZE=ON
