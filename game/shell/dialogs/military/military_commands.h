// The commands of the strategy and sortie phases: the moves of generals and the sorties, by land
// and by water, each through its order dialog over the main window.
#pragma once

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class CShutsujinDlg;
class MainWindowFace;

// Runs an order dialog from the main window: its display timer stops while the dialog is open,
// the castle map and the funds are shown anew after OK, and the timer is armed again with 50 ms.
bool RunOrderDialog(MainWindowFace& main, CShutsujinDlg& dlg);

// Registers the sortie commands of the sortie phase (by land and by water) with the main window's
// command surface.
void RegisterSortieCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map);

// Registers the two moves of generals of the strategy phase (by land and by water) with the main
// window's command surface.
void RegisterMoveCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map);

}  // namespace rymd::shell
