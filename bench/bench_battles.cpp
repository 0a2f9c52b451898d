// The siege estimate on a castle with 20 besiegers and 20 defenders, an automatic field battle
// of 20 against 20 generals and an automatic naval battle. The allocation counter shows that
// an estimate allocates nothing.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "game/military/battle_runners.h"
#include "game/military/siege.h"
#include "game/state/access.h"
#include "support/test_world.h"

namespace {
std::atomic<long long> g_allocations{0};
}  // namespace

// Every allocation is counted. (GCC takes the free below for a mismatch with the replaced new.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace rymd {
namespace {

struct Troops {
    int g;
    std::int16_t cavalry, foot, muskets;
};

// Castle 0 of house 0 with 20 generals and a garrison, besieged by 20 generals of house 1
// standing in castle 1; castle 1 and 2 linked to castle 0 by road.
struct BattleBench : test::TestWorld {
    std::vector<int> attackers;
    std::vector<int> defenders;
    std::vector<Troops> saved;

    BattleBench() : TestWorld({.castles = 3, .houses = 2}) {
        gs.nPlayerDaimyou = 2;
        for (int c = 0; c < 3; ++c) {
            ShiroAt(gs, c).kibo = 6;
            ShiroAt(gs, c).hyourou = 200000;
            ShiroMapAt(gs, c).maxKibo = 6;
            ShiroMapAt(gs, c).flags = ShiroMapRecord::kFlagWaterway;
        }
        Own(1, 1);
        Link(0, 1, 1);
        Link(0, 2, 0);
        ShiroAt(gs, 0).shubihei = 300;
        ShiroAt(gs, 0).besiegerDaimyou = 1;
        for (int i = 0; i < 20; ++i) {
            const int d =
                AddBushou(0, 0, {.foot = 120 + 5 * i, .cavalry = 10 + i, .chibou = 0, .buyuu = i % 10});
            gs.BushouTbl[static_cast<std::size_t>(d)].muskets = static_cast<std::int16_t>(i * 3);
            defenders.push_back(d);
            const int a =
                AddBushou(1, 1, {.foot = 150 + 4 * i, .cavalry = 15 + i, .chibou = 0, .buyuu = (i * 3) % 10});
            gs.BushouTbl[static_cast<std::size_t>(a)].muskets = static_cast<std::int16_t>(i * 2);
            attackers.push_back(a);
        }
        for (int g = 0; g < gs.nBushou; ++g) {
            const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
            saved.push_back({g, b.cavalry, b.foot, b.muskets});
        }
    }
    void Restore() {
        for (const Troops& t : saved) {
            CBushou& b = gs.BushouTbl[static_cast<std::size_t>(t.g)];
            b.cavalry = t.cavalry;
            b.foot = t.foot;
            b.muskets = t.muskets;
            b.daimyou = static_cast<std::int16_t>(t.g % 2);
        }
        ShiroAt(gs, 0).shubihei = 300;
    }
};

void BM_EstimateKoujousen(benchmark::State& state) {
    BattleBench w;
    const std::span<const int> atk(w.attackers);
    const std::span<const int> def(w.defenders);
    long long months = 0;
    const long long before = g_allocations.load();
    for (auto _ : state) {
        bool byAssault = false;
        months += EstimateKoujousen(w.gs, 1, 0, &atk, &def, 2, &byAssault);
        benchmark::DoNotOptimize(months);
    }
    state.counters["allocs/call"] = benchmark::Counter(static_cast<double>(g_allocations.load() - before),
                                                       benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EstimateKoujousen);

void BM_AutoFieldBattle20v20(benchmark::State& state) {
    BattleBench w;
    CBattleRunner runner(w.gs, Ports{});
    for (auto _ : state) {
        w.Restore();
        runner.fatesText.clear();
        benchmark::DoNotOptimize(runner.RunYasen(0, 1, w.attackers, -1, w.defenders, 0, 1, {0, -1}));
    }
}
BENCHMARK(BM_AutoFieldBattle20v20);

void BM_AutoNavalBattle(benchmark::State& state) {
    BattleBench w;
    std::vector<int> atk(w.attackers.begin(), w.attackers.begin() + 10);
    std::vector<int> def(w.defenders.begin(), w.defenders.begin() + 10);
    def.push_back(0 | 0x8000);
    CBattleRunner runner(w.gs, Ports{});
    for (auto _ : state) {
        w.Restore();
        benchmark::DoNotOptimize(runner.RunKaisen(0, -1, 1, 40, atk, 0, 30, def, 1, true));
    }
}
BENCHMARK(BM_AutoNavalBattle);

void BM_AutoSiegeMonth(benchmark::State& state) {
    BattleBench w;
    for (int a : w.attackers) {
        CBushou& b = w.gs.BushouTbl[static_cast<std::size_t>(a)];
        b.shiro = 0;
        b.flags |= CBushou::kFlagBesieging;
        ShiroAt(w.gs, 0).besieger[static_cast<std::size_t>(ShiroAt(w.gs, 0).nBesieger++)] = a;
    }
    for (auto _ : state) {
        w.Restore();
        ShiroAt(w.gs, 0).siegeValue = 0;
        ShiroAt(w.gs, 0).hyourou = 200000;
        CKoujousen siege(w.gs);
        siege.castle = 0;
        siege.besiegingHouse = 1;
        siege.Prepare();
        benchmark::DoNotOptimize(siege.RunAutoSiege());
    }
}
BENCHMARK(BM_AutoSiegeMonth);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
