// The months a run plays, with the state invariants checked after each of them (run --check,
// load --check).
#pragma once

#include <functional>
#include <string>

#include "game/state/game_state.h"
#include "game/turn/main_game.h"

namespace rymd::cli {

// The exit code of --check for a broken invariant (above every reader code).
inline constexpr int kExitBrokenInvariant = 123;

// True when every invariant holds; else the first broken one, told on standard error with the
// point of the run it was found at.
bool InvariantsHold(const GameState& gs, const std::string& when);

// Plays months whole months from the step the game stands at: end steps until the personnel
// phase that many months on, checking the invariants after each month when check is set.
// markMonthEnd (when set) is told each month's end before it is played. kExitBrokenInvariant
// for a broken invariant, else 0; done counts the months played, last is the step the run
// stopped at.
int PlayMonths(CMainGame& game, GameState& gs, TurnResult step, int months, bool check,
               const std::function<void(const std::string&)>& markMonthEnd, int& done, TurnResult& last);

}  // namespace rymd::cli
