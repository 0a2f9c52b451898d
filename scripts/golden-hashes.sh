#!/usr/bin/env bash
# Regenerates tests/save/golden_hashes.tsv: builds the tool and the save tests in BUILD (default
# build) and runs the golden-hash test in update mode, which writes the hash of every run into
# the table's last column. Review the difference with git diff: a change to the rules that moves
# a hash must say why in its commit message.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRYMD_TESTS=ON >/dev/null
fi
cmake --build "$build" -j "${RYMD_JOBS:-3}" --target save_tests rymdcli
RYMD_UPDATE_GOLDEN=1 "$build/tests/save_tests" --gtest_filter='GoldenHashes.*'
git diff --stat -- tests/save/golden_hashes.tsv
