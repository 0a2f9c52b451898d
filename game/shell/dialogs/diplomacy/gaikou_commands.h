// The player's commands of the diplomacy phase on the command panel: the three proposals through
// the alliance-negotiation dialog (157), breaking a bond and the three requests through the
// counterpart dialog (158), and independence through its question. The panel's checks (a chosen
// province for the proposals, the kind of the player's house, the bar after a change of side)
// run before; the rules carry the command out (game/diplomacy/player_gaikou.h) and tell the
// result; the province board, the funds and the castle view are refreshed afterwards.
#pragma once

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class MainWindowFace;

// Registers the eight commands with the main window's command surface.
void RegisterGaikouCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map);

}  // namespace rymd::shell
