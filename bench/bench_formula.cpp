// Formulas of the conditional events on the capacity scenario (999 houses, 10000 castles, 30000
// generals, every identifier in the name index): the kinds a month's 2000 events x 50 conditions
// evaluate, one at a time, and a message text with placeholders.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "game/events/formula.h"
#include "game/events/text_substitution.h"
#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "platform/core/encoding.h"
#include "support/capacity_scenario.h"

namespace rymd {
namespace {

// A started spectator game of the capacity scenario with a few script variables.
GameState& Game() {
    static const std::unique_ptr<GameState> gs = [] {
        auto g = std::make_unique<GameState>();
        test::CapacityScenario c;
        c.laterEvery = 0;
        test::MemoryKorMap map(test::MakeCapacityMap(c));
        Ports ports;
        const std::string sjis = FromUtf8(test::MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
        CScenarioReader reader(*g, map, ports, "/cap/");
        if (reader.ReadScenarioData(std::vector<std::uint8_t>(sjis.begin(), sjis.end()), "/cap/") == 0) {
            SetupNewGame(*g, map, ports);
            StartNewGame(*g, ports, -1);
        }
        const auto eval = FormulaEvaluatorFor(*g);
        g->ScriptVariables.SetVariable("count", 3, eval);
        g->ScriptVariables.SetVariable("gold", 1500, eval);
        for (int i = 0; i < 20; ++i)
            g->ScriptVariables.SetVariable("flag" + std::to_string(i), i, eval);
        g->ScriptVariables.SetVariable("turns[5]", 2, eval);
        return g;
    }();
    return *gs;
}

void Evaluate(benchmark::State& state, const char* formula) {
    GameState& gs = Game();
    double value = 0;
    int code = 0;
    for (auto _ : state) {
        code = EvaluateFormula(gs, formula, value);
        benchmark::DoNotOptimize(value);
    }
    if (code != kFormulaOk) state.SkipWithError("the formula failed");
}

BENCHMARK_CAPTURE(Evaluate, Number, "1");
BENCHMARK_CAPTURE(Evaluate, Arithmetic, "count*2+(gold-100)/7-flag19");
BENCHMARK_CAPTURE(Evaluate, ArrayElement, "turns[count+2]+1");
BENCHMARK_CAPTURE(Evaluate, Date, "#Year*12+#Month");
BENCHMARK_CAPTURE(Evaluate, HouseByNumber, "#資金(500)");
BENCHMARK_CAPTURE(Evaluate, HouseByIdentifier, "#資金(D500)");
BENCHMARK_CAPTURE(Evaluate, CastleByIdentifier, "#城支配大名(S09999)");
BENCHMARK_CAPTURE(Evaluate, GeneralByIdentifier, "#所属大名(B29999)");
BENCHMARK_CAPTURE(Evaluate, HouseCastles, "#城数(#プレイヤー大名-1)");
BENCHMARK_CAPTURE(Evaluate, Ranking, "#石高順大名(1)");
BENCHMARK_CAPTURE(Evaluate, Generals, "#大名家武将数(D001)");

void BM_SubstituteText(benchmark::State& state) {
    GameState& gs = Game();
    const std::string text =
        "%Year%年%Month%月、%大名count%は%城count*10%を攻め、%gold%両と%turns[5]%の兵糧を得た";
    for (auto _ : state)
        benchmark::DoNotOptimize(SubstituteText(gs, text));
}
BENCHMARK(BM_SubstituteText);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
