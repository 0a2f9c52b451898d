// The state invariant check in the tests' long runs: after each month, a failure naming the
// month and the first broken invariant.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "game/state/game_state.h"
#include "game/state/invariants.h"
#include "game/turn/main_game.h"

namespace rymd::test {

// True when the state keeps every invariant; else a test failure naming when and what.
inline bool ExpectInvariantsHold(const GameState& gs, const std::string& when) {
    const std::optional<std::string> broken = FindBrokenInvariant(gs);
    if (!broken) return true;
    ADD_FAILURE() << "broken invariant " << when << " (" << gs.nCurYear << "/" << gs.nCurMonth
                  << "): " << *broken;
    return false;
}

// From now on the game's state is checked once a month, at the first planner entry of the month
// (after the month start); runs that go through RunAllAutomatic are checked this way. Takes the
// game's planner observer. The first broken invariant is reported once.
inline void CheckInvariantsEveryMonth(CMainGame& game) {
    game.SetPlannerObserver([&game, lastYear = 0, lastMonth = 0, failed = false](int, int, int) mutable {
        const GameState& gs = game.State();
        if (failed || (gs.nCurYear == lastYear && gs.nCurMonth == lastMonth)) return;
        lastYear = gs.nCurYear;
        lastMonth = gs.nCurMonth;
        failed = !ExpectInvariantsHold(gs, "in the month");
    });
}

}  // namespace rymd::test
