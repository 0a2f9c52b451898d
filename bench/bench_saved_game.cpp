// Saving and loading whole games: the bundled scenario (Japan in 1560, its map with relief) and
// the generated scenario at the capacities (999 houses, 10000 castles, 30000 generals), each a
// year into the all-automatic run. Save is the whole file written to disk (temporary file,
// flush, rename); load reads it back into a running game and rebuilds what the tables imply.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/save/saved_game.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "support/capacity_scenario.h"

namespace rymd {
namespace {

struct SavedBench {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    std::unique_ptr<MbKorMap::CCtrlKorMap> map;
    Ports ports;  // shows nothing, answers with the safe defaults
    std::string path = "/tmp/rymd_bench_" + std::to_string(getpid()) + ".rsd";
    bool ready = false;

    ~SavedBench() { std::remove(path.c_str()); }
    // A year of the all-automatic run from the new game.
    void PlayAYear() {
        CMainGame game(*gs, *map, ports);
        game.PrepareAllAutomatic();
        game.StartMonth();
        game.RunAllAutomatic(1);
        ready = SaveGameFile(path, *gs, *map);
    }
};

std::unique_ptr<SavedBench> Bundled() {
    auto b = std::make_unique<SavedBench>();
    b->map = std::make_unique<MbKorMap::CCtrlKorMap>();
    NewGameRequest request;
    request.scenarioPath = DirectoryOf(__FILE__) + "../data/scenario/japan1560.snr";
    request.programFolder = DirectoryOf(__FILE__) + "../data/";
    if (StartGameFromScenario(*b->gs, *b->map, b->ports, request) == 0) b->PlayAYear();
    return b;
}

// The generated scenario and its map as files (the map in the form a file keeps), read as the
// tool reads them.
std::unique_ptr<SavedBench> Capacity() {
    auto b = std::make_unique<SavedBench>();
    b->map = std::make_unique<MbKorMap::CCtrlKorMap>();
    const test::CapacityScenario c;
    const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    const std::string dir = "/tmp/rymd_bench_capacity_" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(dir);
    NewGameRequest request;
    request.scenarioPath = dir + "capacity.snr";
    if (test::WriteScenarioFiles(dir, "capacity", std::vector<std::uint8_t>(sjis.begin(), sjis.end()),
                                 test::MakeCapacityMap(c), nullptr) &&
        StartGameFromScenario(*b->gs, *b->map, b->ports, request) == 0)
        b->PlayAYear();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return b;
}

void Save(benchmark::State& state, SavedBench& b) {
    if (!b.ready) return state.SkipWithError("the game was not set up");
    for (auto _ : state)
        if (!SaveGameFile(b.path, *b.gs, *b.map)) return state.SkipWithError("cannot write the save");
    std::vector<std::uint8_t> bytes;
    ReadFileBytes(b.path, bytes);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void Load(benchmark::State& state, SavedBench& b) {
    if (!b.ready) return state.SkipWithError("the game was not set up");
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    for (auto _ : state) {
        const SavedGameLoad r = LoadSavedGameFile(b.path, *gs, map, 0);
        if (!r.loaded) return state.SkipWithError(("the save was refused: " + r.detail).c_str());
    }
}

void BM_SaveBundled(benchmark::State& state) {
    static const auto b = Bundled();
    Save(state, *b);
}
void BM_LoadBundled(benchmark::State& state) {
    static const auto b = Bundled();
    Load(state, *b);
}
void BM_SaveCapacity(benchmark::State& state) {
    static const auto b = Capacity();
    Save(state, *b);
}
void BM_LoadCapacity(benchmark::State& state) {
    static const auto b = Capacity();
    Load(state, *b);
}
BENCHMARK(BM_SaveBundled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBundled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCapacity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadCapacity)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
