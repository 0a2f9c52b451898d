// The interpreter of the conditional events: once a month every event whose date window holds
// is run, once or once per house, castle or general; an event that fires carries out its
// happenings in order, runs the subroutine events they call and then shows its message.
#include <algorithm>
#include <string>

#include "game/events/event_dialogs.h"
#include "game/events/event_run.h"
#include "game/events/formula.h"
#include "game/events/text_substitution.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/state/records.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

int EventCount(const GameState& gs) {
    return static_cast<int>(gs.ConditionalEventArray.size());
}

const CConditionalEvent& EventAt(const GameState& gs, int index) {
    return gs.ConditionalEventArray[static_cast<std::size_t>(index)];
}

// Whether the date lies inside the event's window. A side whose month is negative (bit 7 set)
// is open, its year not looked at.
bool InWindow(const CConditionalEvent& ev, int year, int month) {
    if (ev.firstMonth >= 0 && (year < ev.firstYear || (year == ev.firstYear && month < ev.firstMonth)))
        return false;
    if (ev.lastMonth >= 0 && (year > ev.lastYear || (year == ev.lastYear && month > ev.lastMonth)))
        return false;
    return true;
}

// The number of turns of a loop of the kind as the tables stand now: houses of the scenario,
// castles or generals; 1 for an event run once; 0 for a kind that never runs.
int LoopLength(const GameState& gs, int kind) {
    switch (kind) {
        case CConditionalEvent::kLoopNone: return 1;
        case CConditionalEvent::kLoopDaimyou: return ScenarioHouseCount(gs);
        case CConditionalEvent::kLoopShiro: return ShiroCount(gs);
        case CConditionalEvent::kLoopBushou: return BushouCount(gs);
        default: return 0;
    }
}

// Refuses a subroutine call of the caller's happening; the author hears of it once a month.
void RefuseCall(EventRun& run, int caller, const std::string& why) {
    if (run.subroutineBoundTold) return;
    run.subroutineBoundTold = true;
    TellEventError(run, caller, why);
}

// Counts one run of a called event against the month's bound; false (the call refused) once
// the bound is reached.
bool TakeSubroutineRun(EventRun& run, int caller) {
    if (run.subroutineRuns < run.subroutineRunLimit) {
        ++run.subroutineRuns;
        return true;
    }
    RefuseCall(run, caller,
               FormatText("サブルーチンの実行が%d回を超えたため、この月の呼び出しを中止しました",
                          run.subroutineRunLimit));
    return false;
}

// Runs the event by its kind: once, or once per house, castle or general with its loop variable
// set to the index + 1 before each turn. The length is read again before every turn, so a
// happening that removes generals ends a loop over generals at the end of the table as it
// stands. An event called by the happening of another (caller 0 or above) counts every turn
// against the month's bound and stops when it is reached.
void RunByKind(EventRun& run, int eventIndex, int caller = -1) {
    GameState& gs = run.ctx.gs;
    const int kind = EventAt(gs, eventIndex).loopKind;
    if (kind == CConditionalEvent::kLoopNone) {
        if (caller < 0 || TakeSubroutineRun(run, caller)) RunConditionalEvent(run, eventIndex);
        return;
    }
    const CScriptVariables::FormulaEvaluator evaluate = FormulaEvaluatorFor(gs);
    const std::string variable = EventAt(gs, eventIndex).loopVariable;
    for (int i = 0; i < LoopLength(gs, kind); ++i) {
        if (caller >= 0 && !TakeSubroutineRun(run, caller)) return;
        // An unacceptable name is ignored: the event still runs.
        if (!variable.empty()) gs.ScriptVariables.SetVariable(variable, i + 1.0, evaluate);
        RunConditionalEvent(run, eventIndex);
    }
}

}  // namespace

namespace {
// Ids of scenario records are 0 .. 32767.
constexpr int kGeneralIds = 32768;
}  // namespace

void EventLookups::Build(const GameState& gs) {
    firstById_.assign(kGeneralIds, -1);
    besieged_.assign(static_cast<std::size_t>(GameState::kMaxShiro), 0);
    for (int g = BushouCount(gs) - 1; g >= 0; --g) {
        const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (b.id >= 0) firstById_[static_cast<std::size_t>(b.id)] = g;
        if (b.daimyou >= 0 && (b.flags & CBushou::kFlagBesieging) && b.shiro >= 0 &&
            b.shiro < GameState::kMaxShiro)
            besieged_[static_cast<std::size_t>(b.shiro)] = 1;
    }
    built_ = true;
}

int EventLookups::FindGeneral(const GameState& gs, int id) {
    if (id < 0 || id >= kGeneralIds) return FindBushouIndexById(gs, id);
    if (!built_) Build(gs);
    return firstById_[static_cast<std::size_t>(id)];
}

bool EventLookups::Besieged(const GameState& gs, int shiro) {
    if (shiro < 0 || shiro >= GameState::kMaxShiro) return false;
    if (!built_) Build(gs);
    return besieged_[static_cast<std::size_t>(shiro)] != 0;
}

int RunConditionalEvents(EventRun& run) {
    GameState& gs = run.ctx.gs;
    run.ending = -1;
    run.depth = 0;
    run.subroutineRuns = 0;
    run.subroutineBoundTold = false;
    run.lookups.Invalidate();
    for (int i = 0; i < EventCount(gs); ++i) {
        const CConditionalEvent& ev = EventAt(gs, i);
        if ((ev.flags & CConditionalEvent::kFlagDone) && !(ev.flags & CConditionalEvent::kFlagRepeatable))
            continue;
        if (ev.flags & CConditionalEvent::kFlagSubRoutine) continue;
        if (!InWindow(ev, gs.nCurYear, gs.nCurMonth)) continue;
        RunByKind(run, i);
    }
    return run.ending;
}

void RunConditionalEvent(EventRun& run, int eventIndex) {
    GameState& gs = run.ctx.gs;
    if (eventIndex < 0 || eventIndex >= EventCount(gs)) return;
    if (!CheckCondition(run, eventIndex)) return;
    gs.ConditionalEventArray[static_cast<std::size_t>(eventIndex)].flags |= CConditionalEvent::kFlagDone;
    const int count = std::clamp<int>(EventAt(gs, eventIndex).actionCount, 0, CConditionalEvent::kMaxItem);
    for (int j = 0; j < count; ++j) {
        const int called = RunHappening(run, eventIndex, j);
        run.lookups.Invalidate();  // the happening may have moved generals in the table
        if (called < 0 || called >= EventCount(gs)) continue;
        if (run.depth >= kMaxSubroutineDepth) {
            // An event that calls itself, directly or through others, stops here.
            RefuseCall(run, eventIndex,
                       FormatText("サブルーチンの呼び出しが%d段を超えたため、呼び出しを中止しました",
                                  kMaxSubroutineDepth));
            continue;
        }
        ++run.depth;
        RunByKind(run, called, eventIndex);
        --run.depth;
    }
    if (!EventAt(gs, eventIndex).message.empty() &&
        EventPolicy(run).Shows(MessageKind::ConditionalEventMessage))
        ShowEventMessage(run, eventIndex);
}

void ShowEventMessage(EventRun& run, int eventIndex) {
    GameState& gs = run.ctx.gs;
    if (eventIndex < 0 || eventIndex >= EventCount(gs)) return;
    // Copied before the substitution: the texts stay as they are while the dialog is open.
    const std::string title = EventAt(gs, eventIndex).title;
    const std::string text = SubstituteText(gs, EventAt(gs, eventIndex).message);
    run.ctx.ports.report->ShowEventMessage(title, text, gs.ScriptVariables.ListView());
}

}  // namespace rymd
