// Where a month's time goes: whole months of a spectator game, each phase's end step timed on
// its own. In a spectator game every computer house plans in the begin step of a phase, which
// the end step of the phase before runs, so:
//   naisei -> senryaku   the strategy planner of every house (CCpuSenryaku::PlanDaimyou)
//   senryaku -> shutsujin the strategy moves (ApplyPendingMoves) and the attack planner of
//                         every house (CAttackPlanner through CKassenPhase)
//   shutsujin -> event    the resolution of the battles and the month start, with the personnel
//                         planner of every house
// A second table splits the steps by planner: a planner's time runs from the first house it
// plans in a step to the end of the step (its walk over the houses ends the step); what is left
// of the step is the work before it (the strategy moves; the battles and the month start before
// the personnel planner).
//
// bench_war_planning SCENARIO MONTHS [SEED] prints the tables for any scenario;
// bench_war_planning --generated DIR PERCENT MONTHS writes the generated capacity scenario scaled
// to PERCENT of 999 houses, 10000 castles and 30000 generals into DIR and times it (25 and 100
// show how the month grows with a four times larger world); without arguments the Google
// Benchmark run times the bundled scenario over 50 years and the growth of the month from the
// 25 % world to the full capacity world, each figure printed beside its goal (a bundled month
// at most 5 ms CPU, a capacity month at most 1 s, a four times larger world's month at most five
// times as long).
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
    "event -> jinji",     "jinji -> gunbi",        "gunbi -> gaikou",        "gaikou -> naisei",
    "naisei -> senryaku", "senryaku -> shutsujin", "shutsujin -> next month"};

// CPU seconds of this process: on a shared machine they vary far less than the wall clock.
double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct PhaseTimes {
    std::array<double, 7> seconds{};   // CPU time, by the phase whose end step ran
    std::array<double, 7> planners{};  // CPU time of the planners' walks, by the phase they plan
    std::array<double, 7> before{};    // the rest of each end step: the work before the walk
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
    // The walk of the planners that a step begins: its phase and when its first house planned.
    int stepPhase = -1;
    int walkPhase = -1;
    double walkStart = 0;
    game.SetPlannerObserver([&](int phase, int, int) {
        if (walkPhase >= 0 || phase == stepPhase) return;  // not the walk this step begins
        walkPhase = phase;
        walkStart = CpuSeconds();
    });
    for (int m = 0; m < months && !gs->bGameOver; ++m) {
        for (int step = 0; step < 8; ++step) {
            const int phase = gs->nPhase;
            stepPhase = phase;
            walkPhase = -1;
            const auto t0 = std::chrono::steady_clock::now();
            const double c0 = CpuSeconds();
            const TurnResult r = game.EndCurrentPhase();
            const double c1 = CpuSeconds();
            const double s = c1 - c0;
            times.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            if (phase >= 0 && phase < 7) {
                const double walk = walkPhase >= 0 && walkPhase < 7 ? c1 - walkStart : 0.0;
                if (walk > 0.0) times.planners[static_cast<std::size_t>(walkPhase)] += walk;
                times.seconds[static_cast<std::size_t>(phase)] += s;
                times.before[static_cast<std::size_t>(phase)] += s - walk;
            }
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
                t.months > 0 ? t.total * 1000.0 / t.months : 0.0,
                t.months > 0 ? t.wall * 1000.0 / t.months : 0.0);
    std::printf("  orders a month: %.1f strategy, %.1f sortie\n",
                t.months > 0 ? static_cast<double>(t.strategyOrders) / t.months : 0.0,
                t.months > 0 ? static_cast<double>(t.sortieOrders) / t.months : 0.0);
    const auto line = [&](const char* name, double seconds) {
        std::printf("  %-34s %9.3f ms a month  %5.1f%%\n", name,
                    t.months > 0 ? seconds * 1000.0 / t.months : 0.0,
                    t.total > 0 ? seconds * 100.0 / t.total : 0.0);
    };
    for (std::size_t i = 0; i < kStepNames.size(); ++i)
        line(kStepNames[i], t.seconds[i]);
    std::printf("  by planner:\n");
    line("personnel planner", t.planners[kPhaseJinji]);
    line("armament planner", t.planners[kPhaseGunbi]);
    line("diplomacy planner", t.planners[kPhaseGaikou]);
    line("domestic planner", t.planners[kPhaseNaisei]);
    line("strategy planner", t.planners[kPhaseSenryaku]);
    line("strategy moves", t.before[kPhaseSenryaku]);
    line("attack planner", t.planners[kPhaseShutsujin]);
    line("battles and month start", t.before[kPhaseShutsujin]);
}

// Writes the generated capacity scenario scaled to percent into dir/percent/capacity.snr (with
// its map); the path, or an empty string when it cannot be written.
std::string WriteGenerated(const std::string& dir, int percent) {
    test::CapacityScenario c;
    c.houses = std::max(2, c.houses * percent / 100);
    c.castles = std::max(c.houses, c.castles * percent / 100);
    c.generals = std::max(c.houses, c.generals * percent / 100);
    const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    // The scenario names its map capacity.map: one folder for each size.
    const std::string folder = dir + "/" + std::to_string(percent);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string why;
    if (!test::WriteScenarioFiles(folder, "capacity", std::vector<std::uint8_t>(sjis.begin(), sjis.end()),
                                  test::MakeCapacityMap(c), &why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return {};
    }
    std::printf("%d houses, %d castles, %d generals\n", c.houses, c.castles, c.generals);
    return folder + "/capacity.snr";
}

double MsPerMonth(const PhaseTimes& t) {
    return t.months > 0 ? t.total * 1000.0 / t.months : 0.0;
}

// The goals: a month of the bundled scenario and one of the capacity world in CPU time, and how
// much more a month of a four times larger world may cost.
constexpr double kBundledGoalMs = 5.0;
constexpr double kCapacityGoalMs = 1000.0;
constexpr double kGrowthGoal = 5.0;

void PrintGoal(const char* what, double figure, double goal, const char* unit) {
    std::printf("%-28s %10.3f%s  goal <= %.1f%s  %s\n", what, figure, unit, goal, unit,
                figure <= goal ? "met" : "NOT MET");
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
        state.counters["ms_per_month"] = MsPerMonth(t);
        const auto share = [&](double seconds) { return t.total > 0 ? seconds / t.total : 0.0; };
        state.counters["strategy_share"] = share(t.planners[kPhaseSenryaku]);
        state.counters["attack_share"] = share(t.planners[kPhaseShutsujin]);
        state.counters["battles_month_start_share"] = share(t.before[kPhaseShutsujin]);
        Print("japan1560", t);
        PrintGoal("bundled month (CPU)", MsPerMonth(t), kBundledGoalMs, " ms");
    }
}
BENCHMARK(BM_WarPlanningBundled)->Arg(600)->Iterations(1)->Unit(benchmark::kMillisecond);

// The month of the generated world at 25 % and at the full capacities (range: months each): how
// much a four times larger world costs.
void BM_WarPlanningGrowth(benchmark::State& state) {
    const int months = static_cast<int>(state.range(0));
    const std::string dir = (std::filesystem::temp_directory_path() / "rymd_bench_growth").string();
    for (auto _ : state) {
        std::array<PhaseTimes, 2> t;
        const std::array<int, 2> percents = {25, 100};
        for (std::size_t i = 0; i < percents.size(); ++i) {
            const std::string path = WriteGenerated(dir, percents[i]);
            if (path.empty() || !RunTimed(path, months, 1, t[i])) {
                state.SkipWithError("the generated scenario was not written or read");
                return;
            }
            Print(path, t[i]);
        }
        state.counters["ms_per_month_25"] = MsPerMonth(t[0]);
        state.counters["ms_per_month_100"] = MsPerMonth(t[1]);
        const double growth = MsPerMonth(t[0]) > 0 ? MsPerMonth(t[1]) / MsPerMonth(t[0]) : 0.0;
        state.counters["growth"] = growth;
        PrintGoal("capacity month (CPU)", MsPerMonth(t[1]), kCapacityGoalMs, " ms");
        PrintGoal("growth of the month, 4x world", growth, kGrowthGoal, "x");
    }
}
BENCHMARK(BM_WarPlanningGrowth)->Arg(12)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rymd

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--generated") {
        const std::string path = rymd::WriteGenerated(argv[2], std::atoi(argv[3]));
        rymd::PhaseTimes t;
        if (path.empty() || !rymd::RunTimed(path, std::atoi(argv[4]), 1, t)) return 1;
        rymd::Print(path, t);
        return 0;
    }
    if (argc >= 3 && argv[1][0] != '-') {
        rymd::PhaseTimes t;
        const std::uint32_t seed =
            argc >= 4 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
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
