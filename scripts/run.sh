#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on its bundled data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRYMD_TESTS=OFF >/dev/null
cmake --build build --target rymdcli
# The game screen does not exist yet: until it does, this reads and checks the bundled scenario.
./build/rymdcli check tests/fixtures/scenario/minimal.snr && echo "scenario ok"
