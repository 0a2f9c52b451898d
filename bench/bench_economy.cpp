// The month start's own steps at the capacities (999 houses, 10000 castles, 30000 generals): the
// economy (an ordinary month and September), deaths by illness in a year when many generals are
// past their time, remnant uprisings with half the houses fallen, and the monthly tallies.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/domestic/economy.h"
#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/monthly_tallies.h"
#include "game/turn/new_game.h"
#include "game/turn/uprisings.h"
#include "platform/core/encoding.h"
#include "support/capacity_game.h"

namespace rymd {
namespace {

constexpr SuppressionPolicy kAllAutomatic{true, true, true};

using test::CapacityGame;

const CapacityGame& Game() {
    return test::SharedCapacityGame();
}

void Economy(benchmark::State& state, int month) {
    const CapacityGame& game = Game();
    GameState gs = *game.gs;
    gs.nCurMonth = month;
    for (auto _ : state)
        RunMonthlyEconomy(gs, *game.map, game.ports, kAllAutomatic);
}
void BM_EconomyOrdinaryMonth(benchmark::State& state) {
    Economy(state, 4);
}
void BM_EconomySeptember(benchmark::State& state) {
    Economy(state, 9);
}
BENCHMARK(BM_EconomyOrdinaryMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EconomySeptember)->Unit(benchmark::kMillisecond);

void BM_Byoubotsu(benchmark::State& state) {
    const CapacityGame& game = Game();
    auto gs = std::make_unique<GameState>();
    int deaths = 0;
    for (auto _ : state) {
        state.PauseTiming();
        *gs = *game.gs;
        gs->nCurYear = 1600;  // about two thirds of the generals are past their year of death
        state.ResumeTiming();
        std::string report;
        ProcessByoubotsu(*gs, report);
        deaths = static_cast<int>(std::count(report.begin(), report.end(), '\n'));
    }
    state.counters["deaths"] = deaths;
}
BENCHMARK(BM_Byoubotsu)->Unit(benchmark::kMillisecond);

void BM_ZantouHouki(benchmark::State& state) {
    const CapacityGame& game = Game();
    GameState gs = *game.gs;
    // Every odd house has fallen; its castles went to the house before it.
    for (int s = 0; s < gs.nShiro; ++s) {
        CShiro& c = ShiroAt(gs, s);
        if (c.daimyou % 2 == 1) c.daimyou = static_cast<std::int16_t>(c.daimyou - 1);
        c.support = 0;
    }
    for (int d = 1; d < gs.nDaimyou; d += 2)
        gs.DaimyouTbl[d].toushu = -1;
    gs.nBushou -= 100;  // room for the rebel leaders
    const int n = gs.nBushou;
    for (auto _ : state) {
        ProcessZantouHouki(gs, *game.map, game.ports, kAllAutomatic);
        gs.nBushou = n;
        for (int d = 1; d < gs.nDaimyou; d += 2)
            gs.DaimyouTbl[d].toushu = -1;
    }
}
BENCHMARK(BM_ZantouHouki)->Unit(benchmark::kMillisecond);

void BM_Tallies(benchmark::State& state) {
    const CapacityGame& game = Game();
    GameState gs = *game.gs;
    for (auto _ : state) {
        RecordDaimyouStrength(gs);
        DecrementShiroCountdowns(gs);
        CompleteGunsen(gs, *game.map, game.ports, kAllAutomatic);
    }
}
BENCHMARK(BM_Tallies)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
