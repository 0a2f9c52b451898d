#include "game/shell/dialogs/diplomacy/gaikou_commands.h"

#include "game/diplomacy/player_gaikou.h"
#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/shell/dialogs/diplomacy/doumei_koushou_dlg.h"
#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"
#include "game/state/game_state.h"

namespace rymd::shell {

namespace {

// The province board and the funds, and the castle view when it is shown.
void RefreshAfterGaikou(MainWindowFace& main, bool board) {
    if (board) main.UpdateKuniInfo();
    if (main.CastleViewShown()) {
        main.RefreshCastleView();
    }
    main.RefillDaimyouList();
}

// A proposal: the envoy dialog with the display timer stopped, then the envoy's errand.
bool Propose(MainWindowFace& main, MbKorMap::CCtrlKorMap* map, int command, int kuni) {
    GameState& gs = main.State();
    main.StopDisplayTimer();
    CDoumeiKoushouDlg dlg(gs, map, KoushouModeOfCommand(command), kuni, &main.Window());
    const bool ok = dlg.DoModal() == ui::IDOK && dlg.ChosenHouse() >= 0;
    main.StartTimer(50);
    if (!ok) return false;
    const GaikouResult result = ProposeToHouse(gs, main.GamePorts(), command, dlg.ChosenHouse());
    if (!result.shinjuuNotice.empty()) {
        CShinjuuSeikouDlg notice(gs.ScenarioWords, result.shinjuuNotice, &main.Window());
        notice.DoModal();
    }
    if (result.accepted) RefreshAfterGaikou(main, true);
    return true;
}

bool BreakBond(MainWindowFace& main, MbKorMap::CCtrlKorMap* map) {
    GameState& gs = main.State();
    const int house = ChooseCounterpart(&main.Window(), gs, KoushouModeOfCommand(kGaikouKankeiHaki), map);
    if (house < 0) return false;
    BreakBondWith(gs, main.GamePorts(), house);
    RefreshAfterGaikou(main, false);
    return true;
}

bool Request(MainWindowFace& main, MbKorMap::CCtrlKorMap* map, int command) {
    GameState& gs = main.State();
    const int house = ChooseCounterpart(&main.Window(), gs, KoushouModeOfCommand(command), map);
    if (house < 0) return false;
    if (RequestOfHouse(gs, main.GamePorts(), command, house).accepted) RefreshAfterGaikou(main, true);
    return true;
}

}  // namespace

void RegisterGaikouCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map) {
    for (int command : {kGaikouFusenDoumei, kGaikouJuuzokuYoukyuu, kGaikouShinjuuYoukyuu})
        RegisterCommandDialog(kPhaseGaikou, command,
                              [&main, map, command](int, int, const CommandSituation& s) {
                                  return Propose(main, map, command, s.selectedKuni);
                              });
    RegisterCommandDialog(kPhaseGaikou, kGaikouKankeiHaki,
                          [&main, map](int, int, const CommandSituation&) { return BreakBond(main, map); });
    RegisterCommandDialog(kPhaseGaikou, kGaikouDokuritsu, [&main](int, int, const CommandSituation&) {
        if (!DeclarePlayerDokuritsu(main.State(), main.GamePorts())) return false;
        RefreshAfterGaikou(main, false);
        return true;
    });
    for (int command : {kGaikouKuragae, kGaikouJuuzokuShigan, kGaikouShinjuuShigan})
        RegisterCommandDialog(
            kPhaseGaikou, command,
            [&main, map, command](int, int, const CommandSituation&) { return Request(main, map, command); });
}

}  // namespace rymd::shell
