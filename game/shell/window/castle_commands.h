// The player's castle commands on the command panel: castle works and provisions (armament phase,
// buttons 3 and 4) and free markets, land reclamation and mine development (domestic phase,
// buttons 1 to 3). The panel's checks (a chosen province, the head's distance, the farming
// season) run before; the panel refreshes the province board and funds afterwards.
#pragma once

namespace rymd {
struct GameState;
}
namespace rymd::ui {
class Wnd;
}

namespace rymd::shell {

// Registers the five dialogs for the game (which outlives the registration's use) and the
// window that owns them.
void RegisterCastleCommands(GameState& gs, ui::Wnd* owner);

}  // namespace rymd::shell
