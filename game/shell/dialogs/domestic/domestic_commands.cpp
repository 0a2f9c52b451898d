#include "game/shell/dialogs/domestic/domestic_commands.h"

#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/domestic/chouhei_dlg.h"
#include "game/shell/dialogs/domestic/kouekisen_dlgs.h"
#include "game/shell/dialogs/domestic/naisei_dlgs.h"
#include "game/shell/dialogs/domestic/ship_kenzou_dlgs.h"
#include "game/shell/dialogs/domestic/shiro_fushin_dlg.h"
#include "game/shell/dialogs/domestic/teppou_dlgs.h"
#include "game/shell/dialogs/domestic/teppou_haibi_dlg.h"
#include "game/state/game_state.h"

namespace rymd::shell {

void RegisterCastleCommands(GameState& gs, ui::Wnd* owner) {
    GameState* game = &gs;
    RegisterCommandDialog(2, 2, [game, owner](int, int, const CommandSituation& s) {
        return RunShiroFushin(*game, s.selectedKuni, owner);
    });
    RegisterCommandDialog(2, 3, [game, owner](int, int, const CommandSituation& s) {
        return RunShiroHyourou(*game, s.selectedKuni, owner);
    });
    const Development domestic[] = {Development::kRakuichi, Development::kKaikon,
                                    Development::kKouzanKaihatsu};
    for (int i = 0; i < 3; ++i) {
        const Development kind = domestic[i];
        RegisterCommandDialog(4, i, [game, owner, kind](int, int, const CommandSituation& s) {
            RunNaisei(kind, *game, s.selectedKuni, owner);
            return true;
        });
    }
}

void RegisterArmamentCommands(MainWindowFace& main) {
    RegisterCommandDialog(2, 0, [&main](int, int, const CommandSituation& situation) {
        return RunChouheiCommand(main.State(), situation.selectedKuni, &main.Window());
    });
    RegisterCommandDialog(2, 1, [&main](int, int, const CommandSituation& situation) {
        return RunTeppouHaibiCommand(main.State(), situation.selectedKuni, &main.Window());
    });
}

void RegisterKouekisenCommands(GameState& gs, ui::Wnd* owner) {
    GameState* game = &gs;
    RegisterCommandDialog(4, 3, [game, owner](int, int, const CommandSituation& s) {
        CKouekisenHakenDlg dlg(*game, game->nPlayerDaimyou, s.selectedKuni, owner);
        return dlg.DoModal() == ui::IDOK;
    });
}

void RegisterShipKenzouCommands(GameState& gs, ui::Wnd* owner) {
    GameState* game = &gs;
    RegisterCommandDialog(4, 4, [game, owner](int, int, const CommandSituation& s) {
        return RunKouekisenKenzouCommand(*game, s.selectedKuni, owner);
    });
    RegisterCommandDialog(4, 5, [game, owner](int, int, const CommandSituation& s) {
        return RunGunsenKenzouCommand(*game, s.selectedKuni, owner);
    });
}

void RegisterTeppouCommands(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* owner) {
    GameState* game = &gs;
    RegisterCommandDialog(4, 6, [game, map, owner](int, int, const CommandSituation&) {
        return RunTeppouSeisanCommand(*game, map, owner);
    });
    RegisterCommandDialog(4, 7, [game, owner](int, int, const CommandSituation&) {
        return RunTeppouKounyuuCommand(*game, owner);
    });
}

}  // namespace rymd::shell
