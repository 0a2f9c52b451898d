#include "game/shell/window/castle_commands.h"

#include "game/shell/dialogs/domestic/naisei_dlgs.h"
#include "game/shell/dialogs/domestic/shiro_fushin_dlg.h"
#include "game/shell/window/command_dispatch.h"

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

}  // namespace rymd::shell
