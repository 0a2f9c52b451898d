// Route search on a generated map of 10,000 castles with up to 10 links each.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "platform/core/random.h"

namespace rymd {
namespace {

constexpr int kShiro = 10000;
constexpr int kDaimyou = 40;

// Castles on a 100 x 100 grid; each links to up to 10 castles near it (both ways where room
// is left), like a real map. seaShare in 1/100: the share of links that are sea lanes.
std::unique_ptr<GameState> MakeMap(int seaShare) {
    auto gs = std::make_unique<GameState>();
    gs->SetScenarioDefaults();
    gs->nShiro = kShiro;
    gs->nDaimyou = kDaimyou;
    Random rng(12345);
    for (int d = 0; d < kDaimyou; ++d) {
        CDaimyou& h = gs->DaimyouTbl[static_cast<std::size_t>(d)];
        h.toushu = d;
        h.bond = CDaimyou::kBondDokuritsu;
        h.masterDaimyou = d;
    }
    for (int d = 1; d < kDaimyou; d += 4) {  // some vassals of house 0
        gs->DaimyouTbl[static_cast<std::size_t>(d)].bond = CDaimyou::kBondShinjuu;
        gs->DaimyouTbl[static_cast<std::size_t>(d)].masterDaimyou = 0;
    }
    auto add = [&](int a, int b, int kind) {
        for (auto& link : ShiroMapAt(*gs, a).connect) {
            if (link.shiro == 0xFFFF) {
                if (&link == &ShiroMapAt(*gs, a).connect.back()) return false;
                link.shiro = static_cast<std::uint16_t>(b);
                link.kind = static_cast<std::uint8_t>(kind);
                return true;
            }
            if (link.shiro == b) return false;
        }
        return false;
    };
    for (int c = 0; c < kShiro; ++c) {
        // Owners in blocks of the grid, so that each house holds a region.
        const int x = c % 100, y = c / 100;
        ShiroAt(*gs, c).daimyou = static_cast<std::int16_t>((y / 16) * 7 + x / 16) % kDaimyou;
        const int links = 2 + rng.Below(5);
        for (int j = 0; j < links; ++j) {
            const int nx = std::clamp(x + rng.Below(5) - 2, 0, 99);
            const int ny = std::clamp(y + rng.Below(5) - 2, 0, 99);
            const int b = ny * 100 + nx;
            if (b == c) continue;
            const int kind = rng.Below(100) < seaShare ? 3 : rng.Below(3);
            if (add(c, b, kind)) add(b, c, kind);
        }
    }
    return gs;
}

void RunSearch(benchmark::State& state, int seaShare, int daimyou, int mode) {
    static std::unique_ptr<GameState> maps[2];
    auto& gs = maps[seaShare > 0 ? 1 : 0];
    if (!gs) gs = MakeMap(seaShare);
    std::vector<std::uint16_t> out(kShiro);
    Random rng(7);
    for (auto _ : state) {
        CalcRoadCost(*gs, daimyou, -1, rng.Below(kShiro), out, mode);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_LandAllCastles(benchmark::State& s) {
    RunSearch(s, 0, -1, kRouteAll);
}
void BM_LandOneHouse(benchmark::State& s) {
    RunSearch(s, 0, 0, kRouteAll);
}
void BM_MixedAllCastles(benchmark::State& s) {
    RunSearch(s, 20, -1, kRouteAll);
}
void BM_MixedSeaCostly(benchmark::State& s) {
    RunSearch(s, 20, -1, kRouteSeaCostly);
}
void BM_MixedSeaOnly(benchmark::State& s) {
    RunSearch(s, 20, -1, kRouteSea);
}

BENCHMARK(BM_LandAllCastles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LandOneHouse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixedAllCastles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixedSeaCostly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixedSeaOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
