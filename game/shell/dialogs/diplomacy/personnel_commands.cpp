#include "game/shell/dialogs/diplomacy/personnel_commands.h"

#include <functional>

#include "game/diplomacy/counterpart.h"
#include "game/ports/ports.h"
#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/shell/dialogs/diplomacy/hitojichi_dlgs.h"
#include "game/shell/dialogs/diplomacy/horyo_dlgs.h"
#include "game/shell/dialogs/diplomacy/kyakushou_shousei_dlg.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "game/state/game_state.h"

namespace rymd::shell {

namespace {

// The display timer rests while the dialog is open; afterwards the castle view and the province
// board show what changed.
bool RunPersonnelDialog(MainWindowFace& main, const std::function<bool()>& dialog) {
    main.StopDisplayTimer();
    const bool ok = dialog();
    if (main.CastleViewShown()) {
        main.RefreshCastleView();
        main.UpdateKuniInfo();
    }
    main.StartTimer(50);
    return ok;
}

}  // namespace

void RegisterPersonnelCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map) {
    RegisterCommandDialog(kPhaseJinji, 0, [&main](int, int, const CommandSituation&) {
        return RunPersonnelDialog(main, [&main] {
            const Ports ports = main.GamePorts();
            CHoryoShoguuDlg dlg(main.State(), ports, &main.Window());
            return dlg.DoModal() == ui::IDOK;
        });
    });
    RegisterCommandDialog(kPhaseJinji, 1, [&main, map](int, int, const CommandSituation&) {
        return RunPersonnelDialog(main, [&main, map] {
            const int partner = ChooseCounterpart(&main.Window(), main.State(), kKoushouHoryoKoukan, map);
            if (partner < 0) return false;
            const Ports ports = main.GamePorts();
            CHoryoKoukanDlg dlg(main.State(), ports, partner, &main.Window());
            return dlg.DoModal() == ui::IDOK;
        });
    });
    RegisterCommandDialog(kPhaseJinji, 2, [&main, map](int, int, const CommandSituation&) {
        return RunPersonnelDialog(main, [&main, map] {
            CKyakushouShouseiDlg dlg(main.State(), map, &main.Window());
            return dlg.DoModal() == ui::IDOK;
        });
    });
    RegisterCommandDialog(kPhaseJinji, 3, [&main](int, int, const CommandSituation&) {
        return RunPersonnelDialog(main, [&main] {
            CHitojichiShoguuDlg dlg(main.State(), &main.Window());
            return dlg.DoModal() == ui::IDOK;
        });
    });
}

}  // namespace rymd::shell
