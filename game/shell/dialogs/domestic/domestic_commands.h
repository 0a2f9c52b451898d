// The commands of the castles' economy on the command panel: conscription and musket deployment,
// castle works and provisions (armament phase), free markets, land reclamation, mine development,
// trade ships, ship building and muskets (domestic phase). The panel's checks (a chosen province,
// the head's distance, the farming season) run before; the panel refreshes the province board and
// funds afterwards.
#pragma once

namespace rymd {
struct GameState;
}
namespace rymd::ui {
class Wnd;
}
namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class MainWindowFace;

// The castle commands: castle works and provisions (armament phase, buttons 3 and 4) and free
// markets, land reclamation and mine development (domestic phase, buttons 1 to 3). Registers the
// five dialogs for the game (which outlives the registration's use) and the
// window that owns them.
void RegisterCastleCommands(GameState& gs, ui::Wnd* owner);

// Registers the armament commands of this screen with the command panel: conscription (phase 2,
// button 1) and musket deployment (phase 2, button 2).
void RegisterArmamentCommands(MainWindowFace& main);

// The domestic phase's trade-ship dispatch command (button 4) for the game and the window that
// owns the dialog; the panel's checks (a chosen province, the head's distance) run before.
void RegisterKouekisenCommands(GameState& gs, ui::Wnd* owner);

// Buttons 5 (trade ships) and 6 (warships) of the domestic phase for the game and the window that
// owns the dialogs.
void RegisterShipKenzouCommands(GameState& gs, ui::Wnd* owner);

// The two musket commands (buttons 7 and 8 of the domestic phase) for the game, its province map and the
// window that owns the dialogs.
void RegisterTeppouCommands(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* owner);

}  // namespace rymd::shell
