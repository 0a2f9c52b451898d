// A new game from a scenario at the capacities: 999 houses (the dummy makes 1000), 10,000
// castles and 30,000 generals, read from the scenario text and set up.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/random.h"

namespace rymd {
namespace {

constexpr int kHouses = 999;
constexpr int kCastles = 10000;
constexpr int kGenerals = 30000;
constexpr int kKuni = 249;

class MemoryKorMap : public MbKorMap::CCtrlKorMap {
protected:
    int ReadKorMapFile(const char*, MbKorMap::KorMapData& out) override {
        for (int r = 0; r < 9; ++r)
            out.chiiki.push_back({"R" + std::to_string(r), "R"});
        for (int k = 0; k < kKuni; ++k)
            out.kuni.push_back({"K" + std::to_string(k), "K", static_cast<std::int16_t>(k % 9)});
        out.width = 2000;
        out.height = 2000;
        return kLoaded;
    }
};

std::string CapacityScenario() {
    Random rng(2024);
    std::string t = "ScenarioVer : 11\nTitle : capacity\nStartYear : 1560\nStartMonth : 4\nMapFile : m.map\n";
    t += "Daimyou {\n";
    for (int d = 0; d < kHouses; ++d)
        t += "D" + std::to_string(d) + " : H" + std::to_string(d) +
             " : NORMAL : 100 : 10 : -1 : 10 : 3 : YES : NORMAL : \"\"\n";
    t += "}\nShiro {\n";
    for (int s = 0; s < kCastles; ++s) {
        const int kuni = s % kKuni;
        const int owner = s % kHouses;
        t += "S" + std::to_string(s) + " : C : K" + std::to_string(kuni) +
             " : 10 : " + std::to_string(1 + s % 9) + " : " + std::to_string(s % 100 * 20) + " : " +
             std::to_string(s / 100 * 20) + " : " + std::to_string(10000 + rng.Below(50000)) +
             " : 300 : 0 : 0 : NO : 0 : 0 : - : 50 : NORMAL : D" + std::to_string(owner) + " : \"\"\n";
    }
    t += "}\nShiroConnect {\n";
    for (int s = 0; s < kCastles; ++s) {
        if (s % 100 != 99)
            t += "S" + std::to_string(s) + " : S" + std::to_string(s + 1) + " : BROAD : LINE\n";
        if (s + 100 < kCastles)
            t += "S" + std::to_string(s) + " : S" + std::to_string(s + 100) + " : NARROW : LINE\n";
    }
    t += "}\nBushou {\n";
    for (int b = 0; b < kGenerals; ++b) {
        const int castle = b % kCastles;
        const int house = castle % kHouses;
        const bool later = b % 5 == 4;
        t += "B" + std::to_string(b) +
             " : G : 5 : 5 : 5 : 5 : 5 : 5 : 5 : 100 : 500 : 0 : 1530 : 1590 : BYOUSHI : " +
             (later ? std::string("1565") : std::string("0")) + " : D" + std::to_string(house) + " : " +
             std::to_string(b / kCastles + 1) + " : S" + std::to_string(castle) + " : \"\"\n";
    }
    t += "}\n";
    return t;
}

void BM_NewGameAtCapacity(benchmark::State& state) {
    const std::string text = CapacityScenario();
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    auto gs = std::make_unique<GameState>();
    MemoryKorMap map;
    const Ports ports;
    for (auto _ : state) {
        gs->rng.Seed(0);
        CScenarioReader reader(*gs, map, ports, "/p/");
        if (reader.ReadScenarioData(bytes, "/s/") != 0) state.SkipWithError("scenario not read");
        SetupNewGame(*gs, map, ports);
        StartNewGame(*gs, ports, -1);
        benchmark::DoNotOptimize(gs->nBushou);
    }
    state.counters["generals"] = gs->nBushou;
    state.counters["waiting"] = gs->nMitoujouBushou;
}
BENCHMARK(BM_NewGameAtCapacity)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
