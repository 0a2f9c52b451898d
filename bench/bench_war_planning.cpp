// Where a month's time goes: whole months of a spectator game, each phase's end step timed on
// its own. In a spectator game every computer house plans in the begin step of a phase, which
// the end step of the phase before runs, so:
//   naisei -> senryaku   the strategy planner of every house (CCpuSenryaku::PlanDaimyou)
//   senryaku -> shutsujin the strategy moves (ApplyPendingMoves) and the attack planner of
//                         every house (CAttackPlanner through CKassenPhase)
//   shutsujin -> event    the resolution of the battles and the month start
//
// bench_war_planning SCENARIO MONTHS [SEED] prints the table for any scenario;
// bench_war_planning --generated DIR PERCENT MONTHS writes the generated capacity scenario scaled
// to PERCENT of 999 houses, 10000 castles and 30000 generals into DIR and times it (25 and 100
// show how the month grows with a four times larger world); without arguments the Google
// Benchmark run times the bundled scenario.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <time.h>

#include "game/ports/ports.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "support/capacity_scenario.h"

namespace rymd {
namespace {

// By the phase whose end step runs (kPhaseEvent = 0 .. kPhaseShutsujin = 6).
constexpr std::array<const char*, 7> kStepNames = {
    "event -> jinji",        "jinji -> gunbi",        "gunbi -> gaikou", "gaikou -> naisei",
    "naisei -> senryaku",    "senryaku -> shutsujin", "shutsujin -> next month"};

// CPU seconds of this process: on a shared machine they vary far less than the wall clock.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct PhaseTimes {
    std::array<double, 7> seconds{};  // CPU time
    int months = 0;
    double total = 0;
    double wall = 0;
    long strategyOrders = 0;  // generals the strategy planner ordered (moved or waiting)
    long sortieOrders = 0;    // generals the attack planner sent out
};

long CountOrdered(const GameState& gs) {
    long n = 0;
    for (int g = 0; g < gs.nBushou; ++g)
        n += (gs.BushouTbl[static_cast<std::size_t>(g)].flags & CBushou::kFlagOrdered) != 0;
    return n;
}

// Runs the months and adds each end step's time to the phase it ends.
bool RunTimed(const std::string& scenario, int months, std::uint32_t seed, PhaseTimes& times) {
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    Ports ports;
    NewGameRequest request;
    request.scenarioPath = scenario;
    request.seed = seed;
    if (StartGameFromScenario(*gs, map, ports, request) != 0) return false;
    CMainGame game(*gs, map, ports);
    game.PrepareAllAutomatic();
    game.StartMonth();
    for (int m = 0; m < months && !gs->bGameOver; ++m) {
        for (int step = 0; step < 8; ++step) {
            const int phase = gs->nPhase;
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = CpuSeconds();
            const TurnResult r = game.EndCurrentPhase();
            const double s = CpuSeconds() - c0;
            times.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            if (phase >= 0 && phase < 7) times.seconds[static_cast<std::size_t>(phase)] += s;
            times.total += s;
            if (phase == kPhaseNaisei) times.strategyOrders += CountOrdered(*gs);
            if (phase == kPhaseSenryaku) times.sortieOrders += CountOrdered(*gs);
            if (r != TurnResult::kContinue) return true;
            if (phase == kPhaseShutsujin) break;  // the month is over
        }
        ++times.months;
    }
    return true;
}

void Print(const std::string& scenario, const PhaseTimes& t) {
    std::printf("%s: %d months, %.3f ms CPU a month (%.3f ms wall)\n", scenario.c_str(), t.months,
                t.months > 0 ? t.total * 1000.0 / t.months : 0.0, t.months > 0 ? t.wall * 1000.0 / t.months : 0.0);
    std::printf("  orders a month: %.1f strategy, %.1f sortie\n",
                t.months > 0 ? static_cast<double>(t.strategyOrders) / t.months : 0.0,
                t.months > 0 ? static_cast<double>(t.sortieOrders) / t.months : 0.0);
    for (std::size_t i = 0; i < kStepNames.size(); ++i)
        std::printf("  %-26s %9.3f ms a month  %5.1f%%\n", kStepNames[i],
                    t.months > 0 ? t.seconds[i] * 1000.0 / t.months : 0.0,
                    t.total > 0 ? t.seconds[i] * 100.0 / t.total : 0.0);
}

std::string BundledScenario() {
    return DirectoryOf(__FILE__) + "../data/scenario/japan1560.snr";
}

void BM_WarPlanningBundled(benchmark::State& state) {
    const int months = static_cast<int>(state.range(0));
    for (auto _ : state) {
        PhaseTimes t;
        if (!RunTimed(BundledScenario(), months, 1, t)) {
            state.SkipWithError("the bundled scenario was not read");
            return;
        }
        state.counters["ms_per_month"] = t.months > 0 ? t.total * 1000.0 / t.months : 0.0;
        state.counters["strategy_share"] = t.total > 0 ? t.seconds[kPhaseNaisei] / t.total : 0.0;
        state.counters["moves_attack_share"] = t.total > 0 ? t.seconds[kPhaseSenryaku] / t.total : 0.0;
        Print("japan1560", t);
    }
}
BENCHMARK(BM_WarPlanningBundled)->Arg(120)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rymd

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--generated") {
        const int percent = std::atoi(argv[3]);
        rymd::test::CapacityScenario c;
        c.houses = std::max(2, c.houses * percent / 100);
        c.castles = std::max(c.houses, c.castles * percent / 100);
        c.generals = std::max(c.houses, c.generals * percent / 100);
        const std::string sjis = rymd::FromUtf8(rymd::test::MakeCapacityScenarioText(c), rymd::TextEncoding::ShiftJis);
        // The scenario names its map capacity.map: one folder for each size.
        std::string dir = argv[2];
        dir += "/";
        dir += std::to_string(percent);
        std::filesystem::create_directories(dir);
        std::string why;
        if (!rymd::test::WriteScenarioFiles(dir, "capacity", std::vector<std::uint8_t>(sjis.begin(), sjis.end()),
                                            rymd::test::MakeCapacityMap(c), &why)) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        rymd::PhaseTimes t;
        const std::string path = dir + "/capacity.snr";
        if (!rymd::RunTimed(path, std::atoi(argv[4]), 1, t)) return 1;
        std::printf("%d houses, %d castles, %d generals\n", c.houses, c.castles, c.generals);
        rymd::Print(path, t);
        return 0;
    }
    if (argc >= 3 && argv[1][0] != '-') {
        rymd::PhaseTimes t;
        const std::uint32_t seed = argc >= 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
        if (!rymd::RunTimed(argv[1], std::atoi(argv[2]), seed, t)) {
            std::fprintf(stderr, "cannot start a game from %s\n", argv[1]);
            return 1;
        }
        rymd::Print(argv[1], t);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
