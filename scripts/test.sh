#!/usr/bin/env bash
# Installs what is needed and runs every test in three build trees, all with
# warnings as errors:
#   build/           behaviour tests, conformance tests on the headless
#                    backend, on Qt's offscreen platform and on a virtual X
#                    desktop, end-to-end tests of the program on virtual
#                    desktops, the Debian package;
#   build-sanitize/  the same tests again with everything, the program
#                    included, built with AddressSanitizer and
#                    UndefinedBehaviorSanitizer (a report fails its test),
#                    but of the end-to-end tests only those that drive much
#                    of the program's own code (tests/CMakeLists.txt);
#   build-fuzz/      the fuzz targets, built with clang, each run for a few
#                    seconds from its seed corpus.
# Both of the first two trees run the crash test (200 kills). Tests run as
# many at a time as there are cores: each end-to-end test has a virtual
# desktop of its own, and what tests share is locked in tests/CMakeLists.txt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-includes.sh"

# Builds a tree with the given command, then runs its tests, and says how
# long each took.
run_tree() {
  local tree="$root/$1"
  shift
  local start=$SECONDS
  BUILD_DIR="$tree" "$@"
  local built=$SECONDS
  (cd "$tree" && ctest --output-on-failure --timeout 300 -j"$(nproc)")
  echo "$(basename "$tree")/: built in $((built - start)) s, tested in $((SECONDS - built)) s"
}

tree_options=(-DBUILD_TESTING=ON -DCEVELMO_WERROR=ON -DCEVELMO_QT=ON)
run_tree build "$root/scripts/build.sh" "${tree_options[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCEVELMO_SANITIZE=OFF
# Unoptimised: an instrumented file compiles two to five times faster and
# the tests still run in seconds; the optimiser's warnings come from the
# first tree.
run_tree build-sanitize "$root/scripts/build.sh" "${tree_options[@]}" -DCMAKE_BUILD_TYPE=Debug -DCEVELMO_SANITIZE=ON
# libFuzzer is clang's: the fuzz targets have a small clang tree of their own.
run_tree build-fuzz "$root/scripts/build-fuzz.sh"
