// Whole months of the all-automatic run, as rymdcli bench runs them, on a generated scenario at
// the capacities and on the small world fixture. The province maps are held in memory. Each
// benchmark prints the run's own line "実行速度 %.3f 秒／月" and reports the seconds per month
// as a counter.
//
// BM_ResolveKassenCapacity runs the same months with armies on the march: at the start of each
// sortie phase the benchmark orders, from every castle that borders a castle of an enemy house,
// every listed general but the first to march on that castle, so that many armies cross, meet,
// besiege and take castles at once.
//
// bench_month --write-capacity DIR writes the generated scenario (capacity.snr) and its province
// map (capacity.map) into DIR instead, for `rymdcli bench DIR/capacity.snr --years N`;
// bench_month --write-world DIR writes the world fixture (world.snr) with a map for it (world.map).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "game/ai/cpu_gaikou.h"
#include "game/ai/cpu_gunbi.h"
#include "game/ai/cpu_naisei.h"
#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/access.h"
#include "game/state/game_context.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "support/capacity_scenario.h"

namespace rymd {
namespace {

struct BenchGame {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    std::unique_ptr<test::MemoryKorMap> map;
    Ports ports;  // shows nothing, answers with the safe defaults
    std::unique_ptr<CMainGame> game;
    int readResult = -1;
};

// Reads the scenario bytes and starts a spectator game in all-automatic mode, seed 0.
std::unique_ptr<BenchGame> StartBench(std::vector<std::uint8_t> bytes, const MbKorMap::KorMapData& mapData) {
    auto b = std::make_unique<BenchGame>();
    b->map = std::make_unique<test::MemoryKorMap>(mapData);
    b->gs->rng.Seed(0);
    CScenarioReader reader(*b->gs, *b->map, b->ports, "/bench/");
    b->readResult = reader.ReadScenarioData(std::move(bytes), "/bench/").Code();
    if (b->readResult != 0) return b;
    SetupNewGame(*b->gs, *b->map, b->ports);
    if (!StartNewGame(*b->gs, b->ports, -1)) {
        b->readResult = -1;
        return b;
    }
    b->gs->nTextPoolValue = 0;
    b->game = std::make_unique<CMainGame>(*b->gs, *b->map, b->ports);
    b->game->PrepareAllAutomatic();
    b->game->StartMonth();
    return b;
}

// Orders the sorties of one month: from every castle with an enemy neighbour, every listed general
// but the first marches on the first such neighbour.
void OrderSorties(GameState& gs) {
    for (int c : ShiroIndexes(gs)) {
        const int house = GetCountedDaimyouOfShiro(gs, c);
        if (!IsValidDaimyou(gs, house)) continue;
        int target = -1;
        for (const ShiroConnection& link : ShiroMapAt(gs, c).connect) {
            if (link.shiro == 0xFFFF) break;
            if (!IsValidShiro(gs, link.shiro)) continue;
            const int other = GetCountedDaimyouOfShiro(gs, link.shiro);
            if (other != house && DaimyouAt(gs, house).GetRelationLo(other) < CDaimyou::kRelFusen) {
                target = link.shiro;
                break;
            }
        }
        if (target < 0) continue;
        const CShiro& s = ShiroAt(gs, c);
        for (int i = 1; i < s.nBushou; ++i) {
            CBushou& b = BushouAt(gs, s.bushou[static_cast<std::size_t>(i)]);
            if (b.status != CBushou::kStatusKashin || (b.flags & CBushou::kFlagOrdered)) continue;
            b.sortieShiro = static_cast<std::int16_t>(target);
            b.sortieOrigin = static_cast<std::int16_t>(c);
            b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagOrdered);
        }
    }
}

void RunYears(benchmark::State& state, const std::vector<std::uint8_t>& bytes,
              const MbKorMap::KorMapData& mapData, const char* name, bool sorties = false) {
    const int years = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto b = StartBench(bytes, mapData);
        if (!b->game) {
            state.SkipWithError("the scenario was not read");
            return;
        }
        if (sorties) {
            // The first house of each sortie phase: the orders of every house for the month.
            GameState& gs = *b->gs;
            b->game->SetPlannerObserver([&gs, lastMonth = -1](int phase, int, int gundan) mutable {
                const int month = gs.nCurYear * 12 + gs.nCurMonth;
                if (phase != kPhaseShutsujin || gundan != CMainGame::kWholeHouse || month == lastMonth)
                    return;
                lastMonth = month;
                OrderSorties(gs);
            });
        }
        state.ResumeTiming();
        const AllAutomaticResult r = b->game->RunAllAutomatic(years);
        state.PauseTiming();
        state.counters["months"] = r.months;
        state.counters["s_per_month"] = r.secondsPerMonth;
        state.counters["houses_left"] = [&] {
            int n = 0;
            for (int d = 0; d < b->gs->nDaimyou; ++d)
                n += b->gs->DaimyouTbl[d].toushu != -1;
            return n;
        }();
        state.counters["castles"] = b->gs->nShiro;
        state.counters["generals"] = b->gs->nBushou;
        std::printf("%s: %s (%d months; %d houses, %d castles, %d generals, %d waiting)\n", name,
                    r.text.c_str(), r.months, b->gs->nDaimyou, b->gs->nShiro, b->gs->nBushou,
                    b->gs->nMitoujouBushou);
        b.reset();
        state.ResumeTiming();
    }
}

void BM_AllAutomaticCapacity(benchmark::State& state) {
    const test::CapacityScenario c;
    const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    RunYears(state, std::vector<std::uint8_t>(sjis.begin(), sjis.end()), test::MakeCapacityMap(c),
             "capacity");
}
BENCHMARK(BM_AllAutomaticCapacity)->Arg(1)->Arg(10)->Iterations(1)->Unit(benchmark::kMillisecond);

// One armament phase (range 0), domestic phase (range 1) or diplomacy phase (range 2) of the
// planners for every house of the capacity scenario, in its first month: what the sequencer's walk
// over the houses costs. The diplomacy phase changes bonds, so each iteration plays on from the
// last.
void BM_PlannersCapacity(benchmark::State& state) {
    const test::CapacityScenario c;
    const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    auto b = StartBench(std::vector<std::uint8_t>(sjis.begin(), sjis.end()), test::MakeCapacityMap(c));
    if (!b->game) {
        state.SkipWithError("the scenario was not read");
        return;
    }
    GameState& gs = *b->gs;
    const GameContext context{gs, *b->map, b->ports};
    CCpuGunbi gunbi(context);
    CCpuNaisei naisei(context);
    CCpuGaikou gaikou(context);
    const int phase = static_cast<int>(state.range(0));
    for (auto _ : state) {
        gs.ShiroSnapTbl = gs.ShiroTbl;
        for (int d : DaimyouIndexes(gs)) {
            if (!HouseExists(gs, d)) continue;
            if (phase == 2)
                gaikou.Run(d);
            else if (phase == 1)
                naisei.PlanDaimyou(d);
            else
                gunbi.PlanDaimyou(d);
        }
    }
    state.counters["houses"] = gs.nDaimyou;
}
BENCHMARK(BM_PlannersCapacity)->Arg(0)->Arg(1)->Arg(2)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ResolveKassenCapacity(benchmark::State& state) {
    const test::CapacityScenario c;
    const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    RunYears(state, std::vector<std::uint8_t>(sjis.begin(), sjis.end()), test::MakeCapacityMap(c),
             "capacity with sorties", true);
}
BENCHMARK(BM_ResolveKassenCapacity)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

std::string WorldFixturePath() {
    return DirectoryOf(__FILE__) + "../tests/fixtures/scenario/world.snr";
}

void BM_AllAutomaticWorldFixture(benchmark::State& state) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(WorldFixturePath(), bytes)) {
        state.SkipWithError("cannot read the world fixture");
        return;
    }
    RunYears(state, bytes, test::MakeWorldFixtureMap(), "world");
}
BENCHMARK(BM_AllAutomaticWorldFixture)->Arg(10)->Iterations(3)->Unit(benchmark::kMillisecond);

int WriteScenario(const std::string& dir, const std::string& name, const std::vector<std::uint8_t>& scenario,
                  const MbKorMap::KorMapData& map) {
    std::string why;
    if (test::WriteScenarioFiles(dir, name, scenario, map, &why)) return 0;
    std::fprintf(stderr, "%s\n", why.c_str());
    return 1;
}

int WriteCapacity(const std::string& dir) {
    const test::CapacityScenario c;
    const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    return WriteScenario(dir, "capacity", std::vector<std::uint8_t>(sjis.begin(), sjis.end()),
                         test::MakeCapacityMap(c));
}

int WriteWorld(const std::string& dir) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(WorldFixturePath(), bytes)) {
        std::fprintf(stderr, "cannot read the world fixture\n");
        return 1;
    }
    return WriteScenario(dir, "world", bytes, test::MakeWorldFixtureMap());
}

}  // namespace
}  // namespace rymd

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write-capacity") return rymd::WriteCapacity(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--write-world") return rymd::WriteWorld(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
