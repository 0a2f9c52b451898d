#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game window on the bundled data.
# On a machine without a display it says so and plays the bundled scenario headless instead:
# every house played by the computer for up to twenty years (the game ends sooner when one house
# unifies the country), then how the run ended and the largest houses.
# Either way it builds both programs, the game window RyuumondenLV and the command-line tool
# rymdcli, with their data: "cmake --install build-run" then has everything it installs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRYMD_TESTS=OFF >/dev/null
cmake --build build-run --target RyuumondenLV rymdcli
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build-run/RyuumondenLV
fi

echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set): the game window cannot open."
echo "Playing the bundled scenario without a window instead: every house played by the computer"
echo "for up to twenty years; the game ends sooner when one house unifies the country."
./build-run/rymdcli check data/scenario/japan1560.snr
./build-run/rymdcli run data/scenario/japan1560.snr --months 240 --spectator --check \
    --dump build-run/japan1560-run.json --summary - 2>build-run/japan1560-run.log
echo "The game's messages: build-run/japan1560-run.log; its last state: build-run/japan1560-run.json"
