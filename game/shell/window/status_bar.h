// The texts of the status line and the phase caption: the date with the scenario's word for B.C.,
// the castle count, and the game information drawn under the title (the yields and the province
// names come from dialogs/common/screen_texts.h).
#pragma once

#include <string>

#include "game/shell/dialogs/common/screen_texts.h"

namespace rymd {
struct GameState;
}
namespace rymd::ui {
class Dc;
}

namespace rymd::shell {

// "%s%4d年%2d月": a negative year gets the scenario's B.C. word and its absolute value.
std::string StatusDateText(int year, int month, const GameState* gs);
// "城 %d" with the scenario's castle word.
std::string ShiroCountText(int count, const GameState* gs);
// "閲覧専用" for view-only data, else "<phase>フェイズ".
std::string PhaseCaptionText(const GameState& gs);

// The game information line under the title: the acting house, the date, its yield and castles.
void DrawStatusInfo(ui::Dc& dc, const GameState& gs);

}  // namespace rymd::shell
