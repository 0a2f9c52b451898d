// The texts of the status line and the phase caption: the date with the scenario's word for B.C.,
// rice yields as "123万4567石", the castle count, and the game information drawn under the title.
#pragma once

#include <string>

#include "game/state/vocabulary.h"

namespace rymd {
struct GameState;
}
namespace rymd::ui {
class Dc;
}
namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

// The game's vocabulary, or the built-in words when there is no game.
const ScenarioWordArray& ScreenWords(const GameState* gs);

// "%s%4d年%2d月": a negative year gets the scenario's B.C. word and its absolute value.
std::string StatusDateText(int year, int month, const GameState* gs);
// "%d万%04d石" with the scenario's koku word.
std::string KokudakaText(long long yield, const GameState* gs);
// "城 %d" with the scenario's castle word.
std::string ShiroCountText(int count, const GameState* gs);
// "閲覧専用" for view-only data, else "<phase>フェイズ".
std::string PhaseCaptionText(const GameState& gs);
// A name from the province map in UTF-8 (the map keeps the scenario's encoding).
std::string MapText(const std::string& bytes, const GameState* gs);
std::string KuniNameText(const MbKorMap::CCtrlKorMap& map, int kuni, const GameState* gs);

// The game information line under the title: the acting house, the date, its yield and castles.
void DrawStatusInfo(ui::Dc& dc, const GameState& gs);

}  // namespace rymd::shell
