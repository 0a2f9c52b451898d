// The byte form of a saved game's tables: every table, count and setting in the order the
// saved-game file keeps them (everything after the signature and the province map).
#pragma once

#include <string>

namespace rymd {

class ArchiveWriter;
struct GameState;

// The newest layout that WriteSavedGameTables writes.
constexpr int kSavedGameVersion = 116;

void WriteSavedGameTables(const GameState& gs, ArchiveWriter& out);

// A 64-bit hash (16 hexadecimal digits) of the saved-game tables: the same game gives the same
// hash, any difference in a stored value gives another.
std::string StateHash(const GameState& gs);

}  // namespace rymd
