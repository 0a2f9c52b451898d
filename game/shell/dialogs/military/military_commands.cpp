#include "game/shell/dialogs/military/military_commands.h"

#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/military/bushou_move_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/state/game_state.h"

namespace rymd::shell {

using ui::IDOK;

bool RunOrderDialog(MainWindowFace& main, CShutsujinDlg& dlg) {
    main.StopDisplayTimer();
    const bool ok = dlg.DoModal() == IDOK;
    if (ok) {
        if (main.CastleViewShown()) {
            main.RefreshCastleView();
        }
        main.UpdateKuniInfo();
    }
    main.StartTimer(50);
    return ok;
}

void RegisterSortieCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map) {
    // Command 0 goes by land, command 1 by water.
    for (int i : {0, 1})
        RegisterCommandDialog(kPhaseShutsujin, i,
                              [&main, map, i](int, int, const CommandSituation& situation) {
                                  CShutsujinDlg dlg(main.State(), map, &main.Window());
                                  dlg.m_bSuiro = i == 1;
                                  dlg.m_nKuni = situation.selectedKuni;
                                  return RunOrderDialog(main, dlg);
                              });
}

void RegisterMoveCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map) {
    // Command 0 moves by land, command 1 by water.
    for (int i : {0, 1})
        RegisterCommandDialog(kPhaseSenryaku, i,
                              [&main, map, i](int, int, const CommandSituation& situation) {
                                  CBushouMoveDlg dlg(main.State(), map, &main.Window());
                                  dlg.m_bSuiro = i == 1;
                                  dlg.m_nKuni = situation.selectedKuni;
                                  return RunOrderDialog(main, dlg);
                              });
}

}  // namespace rymd::shell
