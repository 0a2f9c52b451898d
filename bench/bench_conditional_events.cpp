// The monthly pass over the conditional events at their capacity: 2000 events of 50 conditions
// each on the capacity game (999 houses, 10000 castles, 30000 generals). Every event is
// repeatable with an open window and every condition holds, so each month tests all 100000
// conditions; the events have no happenings and no message. One pass is one month.
//
//   Mixed: per event 20 formula comparisons over script variables and built-ins, 10 assignments
//          and 20 state rows on houses, castles and generals named literally (generals by id).
//   Sieges: the same with two rows per event that ask whether a castle is besieged, which the
//          rules define over the whole general table.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "game/events/event_run.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "support/capacity_game.h"

namespace rymd {
namespace {

using test::CapacityGame;

const CapacityGame& Game() {
    return test::SharedCapacityGame();
}

EventItem Condition(int code, int house = 0, int shiro = 0, int id = 0, std::string a = "",
                    std::string b = "") {
    EventItem i;
    i.code = static_cast<std::uint16_t>(code);
    i.daimyou1 = static_cast<std::int16_t>(house);
    i.shiro1 = static_cast<std::int16_t>(shiro);
    i.bushou1 = static_cast<std::int16_t>(id);
    i.data1 = std::move(a);
    i.data2 = std::move(b);
    return i;
}

// The 50 conditions of event e, all holding on the capacity game.
std::vector<EventItem> Conditions(const GameState& gs, int e, bool scans) {
    std::vector<EventItem> items;
    const std::string v = "v" + std::to_string(e % 50);
    for (int k = 0; k < 10; ++k) {
        items.push_back(Condition(6, 0, 0, 0, v, v + "+1"));                       // assignment
        items.push_back(Condition(3, 0, 0, 0, v + "*2+" + std::to_string(k), v));  // v*2+k >= v
        items.push_back(Condition(1, 0, 0, 0, "#Floor(" + v + "/3)", "-1"));
    }
    const int house = e % 999;
    const int shiro = e % 10000;
    const int owner = ShiroAt(gs, shiro).daimyou;
    const int general = (e * 13) % 30000;
    const int id = gs.BushouTbl[static_cast<std::size_t>(general)].id;
    for (int k = 0; items.size() < 50; ++k) {
        switch (k % 5) {
            case 0: items.push_back(Condition(22, house)); break;  // the house exists
            case 1: items.push_back(Condition(36, house)); break;  // not the player's
            case 2: items.push_back(Condition(owner >= 0 ? 24 : 27, owner, shiro)); break;
            case 3: items.push_back(Condition(29, 0, 0, id)); break;   // the general exists
            default: items.push_back(Condition(38, 0, 0, id)); break;  // not the player's
        }
    }
    if (scans) {
        // Not besieged (no castle is at the start): each walks every general.
        items[48] = Condition(41, 0, (shiro + 1) % 10000);
        items[49] = Condition(41, 0, shiro);
    }
    return items;
}

void Pass(benchmark::State& state, bool scans) {
    const CapacityGame& game = Game();
    auto gs = std::make_unique<GameState>(*game.gs);
    gs->ConditionalEventArray.clear();
    for (int e = 0; e < GameState::kMaxConditionalEvent; ++e) {
        CConditionalEvent ev;
        ev.title = "性能" + std::to_string(e);
        ev.firstMonth = ev.lastMonth = CConditionalEvent::kMonthOpen;
        ev.flags = CConditionalEvent::kFlagRepeatable;
        const std::vector<EventItem> items = Conditions(*gs, e, scans);
        ev.conditionCount = static_cast<std::int8_t>(items.size());
        for (std::size_t k = 0; k < items.size(); ++k)
            ev.conditions[k] = items[k];
        gs->ConditionalEventArray.push_back(std::move(ev));
    }
    gs->nConditionalEvent = GameState::kMaxConditionalEvent;
    GameContext ctx{*gs, *game.map, game.ports};
    EventRun run{ctx, true};
    RunConditionalEvents(run);  // the first month creates the variables
    int fired = 0;
    for (auto _ : state) {
        RunConditionalEvents(run);
        fired = 0;
        for (const CConditionalEvent& ev : gs->ConditionalEventArray)
            fired += (ev.flags & CConditionalEvent::kFlagDone) != 0;
    }
    state.counters["events_fired"] = fired;
    state.counters["conditions"] =
        benchmark::Counter(2000.0 * 50, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ConditionalEventsMixed(benchmark::State& state) {
    Pass(state, false);
}
void BM_ConditionalEventsWithSieges(benchmark::State& state) {
    Pass(state, true);
}
BENCHMARK(BM_ConditionalEventsMixed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConditionalEventsWithSieges)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rymd

BENCHMARK_MAIN();
