// What the conditional events of one month work with, and the entry points that the month start,
// the condition test and the happenings share.
//
// The interpreter (conditional_events.cpp) walks the events, the condition test
// (event_conditions.cpp) decides whether one fires, the happenings (event_actions*.cpp) change
// the world, the formula evaluator (formula.cpp) computes the scenario's formulas and the text
// substitution (text_substitution.cpp) fills message texts.
#pragma once

#include <string_view>
#include <vector>

#include "game/state/game_context.h"

namespace rymd {

struct GameState;

// What the conditions of a month's events look up over whole tables, gathered in one walk over
// the general table when first asked and dropped whenever a happening may have changed the
// tables: the general table index of each general id (as FindBushouIndexById finds it) and the
// castles that a general of a house is besieging.
class EventLookups {
public:
    // The index of the first general carrying the id, or -1.
    int FindGeneral(const GameState& gs, int id);
    // Whether some general of a house (house field 0 or above) besieges the castle.
    bool Besieged(const GameState& gs, int shiro);
    void Invalidate() { built_ = false; }

private:
    void Build(const GameState& gs);

    bool built_ = false;
    std::vector<int> firstById_;           // by id; -1 none
    std::vector<unsigned char> besieged_;  // by castle index
};

inline constexpr int kMaxSubroutineDepth = 32;
// A called event that loops over houses, castles or generals and calls again in every turn
// multiplies its work with every level; the runs of called events in one month are bounded as
// well as their depth (a loop over some hundred castles calling a loop over a thousand or two
// generals stays well within).
inline constexpr int kMaxSubroutineRuns = 1000000;

struct EventRun {
    explicit EventRun(GameContext context, bool skip = false) : ctx(context), skipMessages(skip) {}

    GameContext ctx;
    // The automatic advance runs with its option to skip showing conditional events.
    bool skipMessages = false;
    // -1 no ending; -2 the game ends without a unification message; else the house whose
    // ending is shown. A later ending of the same month overwrites an earlier one.
    int ending = -1;
    // Depth of subroutine calls now running; bounded by kMaxSubroutineDepth.
    int depth = 0;
    // Runs of called events in this month's pass (each turn of a looping one counts), and their
    // bound.
    int subroutineRuns = 0;
    int subroutineRunLimit = kMaxSubroutineRuns;
    // Whether this pass has told the author that it stopped a subroutine call: once a month is
    // enough, however many calls are refused after it.
    bool subroutineBoundTold = false;
    // Table lookups of the conditions; the interpreter drops them after every happening.
    EventLookups lookups;
};

// The monthly pass over every conditional event; returns the ending result.
int RunConditionalEvents(EventRun& run);
// Runs one event: condition test, done bit, happenings with their subroutine calls, message.
void RunConditionalEvent(EventRun& run, int eventIndex);
// Whether the conditions of an event hold (questions and assignments of the conditions happen).
bool CheckCondition(EventRun& run, int eventIndex);
// Carries out one happening of an event; a value >= 0 is the index of a subroutine event to
// run now, -1 nothing to call.
int RunHappening(EventRun& run, int eventIndex, int happeningIndex);
// Shows the message of an event after its happenings, with its text substituted.
void ShowEventMessage(EventRun& run, int eventIndex);

}  // namespace rymd
