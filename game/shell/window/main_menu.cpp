#include "game/shell/window/main_menu.h"

#include <algorithm>

#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/status_bar.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using ui::Menu;

std::string MnemonicText(std::string_view name, int n) {
    const std::string s(name);
    if (n < 9) return s + "(&" + std::to_string(n + 1) + ")";
    if (n + 56 <= 90) return s + "(&" + std::string(1, static_cast<char>(n + 56)) + ")";
    return s;
}

CMainMenu::CMainMenu() {
    texts_ = {"ﾌｧｲﾙ(&F)", "コマンド(&C)", "国選択(&K)", "城情報(&S)", "情報(&I)", "設定(&U)", "ﾍﾙﾌﾟ(&H)"};
    for (auto& p : popups_) {
        p = std::make_shared<Menu>();
        p->CreatePopupMenu();
    }
    Menu& file = *popups_[kFile];
    file.AppendMenu(ui::MF_STRING, kIdFileLoad, "データロード(&O)");
    file.AppendMenu(ui::MF_SEPARATOR);
    file.AppendMenu(ui::MF_STRING, kIdFileSave, "データセーブ(&S)");
    file.AppendMenu(ui::MF_SEPARATOR);
    file.AppendMenu(ui::MF_STRING, kIdViewOnlySave, "閲覧専用形式でデータセーブ(&W)");
    file.AppendMenu(ui::MF_SEPARATOR);
    file.AppendMenu(ui::MF_STRING, kIdExit, "終了(&X)");
    popups_[kCommand]->AppendMenu(ui::MF_STRING, kCommandIdTbl[0], "COMMAND1");
    popups_[kKuni]->AppendMenu(ui::MF_STRING, kIdZenkoku, "全国マップ");
    popups_[kShiro]->AppendMenu(ui::MF_STRING, kIdShiroBase, "城情報");
    Menu& info = *popups_[kInfo];
    info.AppendMenu(ui::MF_STRING, kIdKouekisenList, "交易船一覧(&T)");
    info.AppendMenu(ui::MF_STRING, kIdBushouList, "武将一覧(&B)");
    info.AppendMenu(ui::MF_STRING, kIdDaimyouList, "大名家一覧(&D)");
    info.AppendMenu(ui::MF_SEPARATOR);
    info.AppendMenu(ui::MF_STRING, kIdScenarioInfo, "シナリオ情報(&S)");
    info.AppendMenu(ui::MF_SEPARATOR);
    info.AppendMenu(ui::MF_STRING, kIdVariables, "変数情報(&V)");
    popups_[kSettings]->AppendMenu(ui::MF_STRING, kIdMusic, "BGMの設定(&M)");
    popups_[kHelp]->AppendMenu(ui::MF_STRING, kIdHelp, "ﾍﾙﾌﾟ(&H)");
    popups_[kHelp]->AppendMenu(ui::MF_SEPARATOR);
    popups_[kHelp]->AppendMenu(ui::MF_STRING, kIdVersion, "ﾊﾞｰｼﾞｮﾝ情報(&A)");
}

void CMainMenu::RenameItems(const GameState& gs) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    texts_[kShiro] = ReplaceWordShiro("城情報(&S)", w);
    // The information menu is rebuilt with the scenario's words in the same order.
    Menu& info = *popups_[kInfo];
    info.DestroyMenu();
    info.CreatePopupMenu();
    info.AppendMenu(ui::MF_STRING, kIdKouekisenList, ReplaceWordKouekisen("交易船一覧(&T)", w));
    info.AppendMenu(ui::MF_STRING, kIdBushouList, ReplaceWordBushou("武将一覧(&B)", w));
    info.AppendMenu(ui::MF_STRING, kIdDaimyouList, ReplaceWordDaimyouke("大名家一覧(&D)", w));
    info.AppendMenu(ui::MF_SEPARATOR);
    info.AppendMenu(ui::MF_STRING, kIdScenarioInfo, "シナリオ情報(&S)");
    info.AppendMenu(ui::MF_SEPARATOR);
    info.AppendMenu(ui::MF_STRING, kIdVariables, "変数情報(&V)");
}

void CMainMenu::BuildKuniMenu(const MenuGame& game) {
    for (auto& r : regions_)
        r.reset();
    nRegions_ = 0;
    Menu& kuniMenu = *popups_[kKuni];
    kuniMenu.DestroyMenu();
    kuniMenu.CreatePopupMenu();
    const std::string whole =
        game.gs ? ReplaceWordZenkoku("全国マップ(&W)", game.gs->ScenarioWords) : "全国マップ(&W)";
    kuniMenu.AppendMenu(ui::MF_STRING, kIdZenkoku, whole);
    kuniMenu.AppendMenu(ui::MF_SEPARATOR);
    if (!game.map) return;
    nRegions_ = std::min(game.map->ChiikiCount(), kMaxRegions);
    for (int r = 0; r < nRegions_; ++r) {
        auto popup = std::make_shared<Menu>();
        popup->CreatePopupMenu();
        for (int k = 0; k < game.map->KuniCount(); ++k) {
            if (game.map->Kuni(k).chiiki != r) continue;
            const bool castles = game.gs && CountShiroInKuni(*game.gs, k) > 0;
            popup->AppendMenu(castles ? ui::MF_STRING : ui::MF_STRING | ui::MF_GRAYED, kIdKuniBase + k,
                              MnemonicText(KuniNameText(*game.map, k, game.gs), popup->GetMenuItemCount()));
        }
        regions_[static_cast<std::size_t>(r)] = popup;
        kuniMenu.AppendPopup(ui::MF_POPUP, popup,
                             MnemonicText(MapText(game.map->Chiiki(r).name, game.gs), r));
    }
}

void CMainMenu::UpdateKuniMenu(const MenuGame& game, int kuni) {
    Menu& shiroMenu = *popups_[kShiro];
    shiroMenu.DestroyMenu();
    shiroMenu.CreatePopupMenu();
    if (kuni == -1 || !game.gs) return;
    const GameState& gs = *game.gs;
    for (int c : ShiroIndexes(gs)) {
        const ShiroMapRecord& m = ShiroMapAt(gs, c);
        if (m.kuni != kuni || gs.ShiroDisabledBits.test(static_cast<std::size_t>(c))) continue;
        shiroMenu.AppendMenu(ui::MF_STRING, kIdShiroBase + c,
                             MnemonicText(m.name, shiroMenu.GetMenuItemCount()));
    }
}

void CMainMenu::BuildCommandMenu(const GameState& gs, int page) {
    Menu& cmd = *popups_[kCommand];
    cmd.DestroyMenu();
    cmd.CreatePopupMenu();
    if (gs.bViewOnly) return;
    cmd.AppendMenu(ui::MF_STRING, kIdPhaseEnd, "フェイズ終了(&E)");
    if (gs.bSpectator) return;
    cmd.AppendMenu(ui::MF_SEPARATOR);
    for (int i = 0; i < kCommandCount; ++i) {
        const char* caption = CommandCaption(page, i);
        if (caption[0] == '\0') continue;
        const unsigned flags = FindCommandDialog(page, i) ? ui::MF_STRING : ui::MF_STRING | ui::MF_GRAYED;
        cmd.AppendMenu(flags, kCommandIdTbl[static_cast<std::size_t>(i)],
                       FormatText("%s(&%d)", caption, i + 1));
    }
    cmd.AppendMenu(ui::MF_SEPARATOR);
    cmd.AppendMenu(ui::MF_STRING, kIdDelegateToCpu, "CPUに完全委任(&C)");
}

}  // namespace rymd::shell
