#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the plain build, the sanitizer build
# (AddressSanitizer and UndefinedBehaviorSanitizer) and a bounded run of each fuzz target.
set -euo pipefail
set -o pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
fuzz_seconds=${RYMD_FUZZ_SECONDS:-30}

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRYMD_TESTS=ON -DRYMD_BENCH=ON -DRYMD_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs" | tee build/ctest.log

echo "== sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRYMD_SANITIZE=ON -DRYMD_TESTS=ON -DRYMD_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
echo "== sanitizer tests"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz targets (${fuzz_seconds}s each)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRYMD_FUZZ=ON -DRYMD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzzers
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "-- $name"
  "$target" "$work" -max_total_time="$fuzz_seconds" -max_len=65536 -rss_limit_mb=2048 2>&1 | tail -n 3
  rm -rf "$work"
done
total=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' build/ctest.log | tail -n 1)
echo "== all tests passed (plain, sanitizer, fuzz)"
echo "${total:-0} passed, 0 failed"
