// Texts the screens share: the scenario's words (or the built-in ones before a game), rice yields
// as "123万4567石", and the names of the province map in UTF-8.
#pragma once

#include <string>

#include "game/state/vocabulary.h"

namespace rymd {
struct GameState;
}
namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

// The game's vocabulary, or the built-in words when there is no game.
const ScenarioWordArray& ScreenWords(const GameState* gs);

// "%d万%04d石" with the scenario's koku word.
std::string KokudakaText(long long yield, const GameState* gs);
// A name from the province map in UTF-8 (the map keeps the scenario's encoding).
std::string MapText(const std::string& bytes, const GameState* gs);
std::string KuniNameText(const MbKorMap::CCtrlKorMap& map, int kuni, const GameState* gs);

}  // namespace rymd::shell
