#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on its bundled data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRYMD_TESTS=OFF >/dev/null
cmake --build build-run --target rymdcli
# The game screen does not exist yet: until it does, this reads the bundled scenario and lets the
# computer play every house for a year, printing the houses at the end.
./build-run/rymdcli check data/scenario/japan1560.snr
./build-run/rymdcli run data/scenario/japan1560.snr --months 12 --spectator --dump build-run/japan1560-1561.json
python3 - <<'PY' 2>/dev/null || echo "state written to build-run/japan1560-1561.json"
import json
s = json.load(open("build-run/japan1560-1561.json"))
print("%d年%d月" % (s["date"]["year"], s["date"]["month"]))
for h in sorted(s["houses"], key=lambda h: -h["kokudaka"])[:20]:
    print("  %-10s 城 %3d  石高 %8d  資金 %7d" % (h["name"], h["castles"], h["kokudaka"], h["funds"]))
PY
