// Fills the placeholders of a message text ("%...%") with names and values of the game and of
// the script variables.
#pragma once

#include <string>
#include <string_view>

namespace rymd {

struct GameState;

std::string SubstituteText(GameState& gs, std::string_view text);

}  // namespace rymd
