// The game state as one JSON object: date, phase, player, counts, every house, castle and
// general with their main fields (a general's orders of the month among them), every fleet, and
// the state hash. Used by the command-line tool and tests.
#pragma once

#include <string>

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// Indexes are table indexes (-1 none); "id" fields are the scenario's identifiers; names are UTF-8.
std::string DumpStateJson(const GameState& gs, const MbKorMap::CCtrlKorMap& map,
                          const std::string& stateHash);

}  // namespace rymd
