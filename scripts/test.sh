#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the plain build (without the window
# tests), the sanitizer build (AddressSanitizer and UndefinedBehaviorSanitizer) with gcc, which
# runs the window tests too, the same sanitizers with clang for the tests without the window side,
# and a bounded run of each fuzz target. Any sanitizer report fails. Each stage reports its time
# and the CPU time it took; ccache is used when the machine has it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
fuzz_seconds=${RYMD_FUZZ_SECONDS:-30}
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The year at the table capacities, the forty ten-year games of the bundled scenario and the
# five-year games saved and loaded after every phase end are plain-build tests: under the
# sanitizers they take many minutes of CI's two cores, and the other long runs there cover the
# same code.
sanitizer_skip='^Capacity\.FullTablesRunWholeMonths$|^BundledScenario/ConsistentLocations\.|^BundledScenario/PhaseEndSaves\.'
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Sets cpu to the CPU seconds (user and system) of every command the script has run so far
# (the shell's own "times", which a subshell would not see).
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
read_cpu() {
  times >"$cpu_file"
  cpu=$(tail -n 1 "$cpu_file" | awk '{ t = 0; for (i = 1; i <= 2; i++) { split($i, p, "m"); t += p[1] * 60 + p[2] } print int(t) }')
}
stage_start=$SECONDS
stage_cpu=0
stage() {
  read_cpu
  [ -n "${stage_name:-}" ] && echo "   (${stage_name}: $((SECONDS - stage_start)) s, CPU $((cpu - stage_cpu)) s)"
  stage_name=$1
  stage_start=$SECONDS
  stage_cpu=$cpu
  echo "== $1"
}

stage "format"
# Every C++ source of the project is laid out as .clang-format says (the two .cxx files are
# fixtures of the compiler's format warnings, pinned to their line numbers).
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
stage "build"
# Debug information is left out of the plain build and kept to line tables where a sanitizer
# report needs them: it costs much of the build time on CI's two cores. The window tests and the
# program's smoke test are built once, in the gcc sanitizer build, and run there. The sanitizer
# builds precompile the outside headers (GoogleTest, Qt, the standard library) and compile the
# other test programs in batches of sources; the plain build compiles each test source alone.
cmake -S . -B build -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" -DRYMD_TESTS=ON -DRYMD_BENCH=ON -DRYMD_WERROR=ON \
  -DRYMD_WINDOW_TESTS=OFF >/dev/null
cmake --build build -j "$jobs"
stage "tests"
ctest --test-dir build --output-on-failure -j "$jobs" | tee build/ctest.log

stage "sanitizer build (gcc)"
cmake -S . -B build-asan -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1" \
  -DRYMD_SANITIZE=ON -DRYMD_TESTS=ON -DRYMD_WERROR=ON -DRYMD_PCH=ON -DRYMD_UNITY_TESTS=ON >/dev/null
cmake --build build-asan -j "$jobs"
stage "sanitizer tests (gcc, with the window tests)"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -E "$sanitizer_skip" | tee build-asan/ctest.log

# One clang build with the same sanitizers serves the fuzz targets and a second sanitizer run of
# the tests: clang's UndefinedBehaviorSanitizer finds what gcc's does not (and the other way
# round). The window tests are left to the gcc build to keep the whole run short. Like the other
# two builds it fails on a compiler warning: clang warns of things gcc lets pass.
stage "clang build (sanitizers: fuzz targets, tests without the window side)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DRYMD_FUZZ=ON -DRYMD_TESTS=ON \
  -DRYMD_WERROR=ON -DRYMD_WINDOW_TESTS=OFF -DRYMD_PCH=ON -DRYMD_UNITY_TESTS=ON >/dev/null
mapfile -t clang_targets < <(cmake --build build-fuzz --target help | sed -n 's/^\([a-z0-9_]*_tests\): .*/\1/p')
cmake --build build-fuzz -j "$jobs" --target fuzzers rymdcli "${clang_targets[@]}"
stage "sanitizer tests (clang)"
ctest --test-dir build-fuzz --output-on-failure -j "$jobs" -E "$sanitizer_skip" | tee build-fuzz/ctest.log

stage "fuzz targets (${fuzz_seconds}s each)"
failed=0
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  mkdir -p build-fuzz/artifacts
  echo "-- $name"
  if "$target" "$work" -max_total_time="$fuzz_seconds" -max_len=65536 -rss_limit_mb=2048 \
      -artifact_prefix=build-fuzz/artifacts/"$name"- >build-fuzz/"$name".log 2>&1; then
    tail -n 3 build-fuzz/"$name".log
  else
    tail -n 60 build-fuzz/"$name".log
    echo "!! $name failed; the input is in build-fuzz/artifacts/ (add it to $corpus as a regression case)"
    failed=1
  fi
  rm -rf "$work"
done
[ "$failed" = 0 ] || exit 1
stage "done"
passed() { sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$1" | tail -n 1; }
read_cpu
echo "== all tests passed (plain, sanitizer with gcc and clang, fuzz) in $((cpu / 60)) CPU minutes"
echo "plain $(passed build/ctest.log), gcc sanitizers $(passed build-asan/ctest.log)," \
  "clang sanitizers $(passed build-fuzz/ctest.log) passed, 0 failed"
