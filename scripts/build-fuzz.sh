#!/usr/bin/env bash
# Configures and builds the fuzz targets into build-fuzz/ (or $BUILD_DIR):
# a small tree of their own, built with clang because libFuzzer is clang's,
# with AddressSanitizer and UndefinedBehaviorSanitizer. The program and its
# other tests are not built there. Extra arguments go to cmake's configure
# step.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-fuzz}"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCEVELMO_FUZZ=ON -DCEVELMO_QT=OFF -DBUILD_TESTING=OFF -DCEVELMO_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j2
