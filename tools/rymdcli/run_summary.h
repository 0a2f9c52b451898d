// The summary of a run (rymdcli run --summary), for a reader at a terminal.
#pragma once

#include <string>

namespace rymd {
struct GameState;
class CMainGame;
}  // namespace rymd

namespace rymd::cli {

// First how the run ended, on one line: the months played from the scenario's start to the
// current month, and either the house that unified the country (the ending text of the scenario
// follows, each line indented, as the game shows it), the scenario event that ended the game,
// the player who stopped watching, that the game goes on, or that the scenario has no houses.
// Then the houses still in play (holding a castle): how many (independent, and bound to a
// master), and the shownHouses largest by castles and rice yield with their funds and their
// master.
std::string RunSummary(const GameState& gs, const CMainGame& game, int months, bool stoppedByPlayer,
                       int shownHouses = 15);

}  // namespace rymd::cli
