// The main game window's command surface: the game it runs, the command panel's boards and
// buttons, the command menu, the phase caption and status line, the house list, the phase end
// and the handlers of the panel's buttons and the menus.
#include <algorithm>

#include "game/shell/app/app_context.h"
#include "game/shell/app/help.h"
#include "game/shell/dialogs/corps/gundan_commands.h"
#include "game/shell/dialogs/diplomacy/gaikou_commands.h"
#include "game/shell/dialogs/diplomacy/personnel_commands.h"
#include "game/shell/dialogs/domestic/domestic_commands.h"
#include "game/shell/dialogs/domestic/kouekisen_dlgs.h"
#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/info/bushou_list_dlg.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/military/military_commands.h"
#include "game/shell/music/music_dlg.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/shell/window/status_bar.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using ui::Rect;

// ---- The game ----------------------------------------------------------------------------------

void CMainGameDlg::CreateCommandPanel() {
    panel_.CreateModeless(this);
    panel_.ShowWindow(ui::SW_SHOW);
    InstallMenuBar();
}

void CMainGameDlg::InstallMenuBar() {
    std::vector<ui::MenuBarItem> items;
    for (int top = 0; top < CMainMenu::kTopCount; ++top)
        items.push_back({menus_.TopText(top), menus_.PopupPtr(top)});
    ui::SetMenuBar(*this, items);
}

void CMainGameDlg::SetUpCommandSurface() {
    GameState& gs = *gs_;
    RegisterSortieCommands(*this, app_.korMap);
    RegisterMoveCommands(*this, app_.korMap);
    panel_.SetGame(&gs, app_.korMap);
    panel_.SetButtonCaptions();
    RegisterCastleCommands(gs, this);
    panel_.ShowChangeHouseButton(gs.bStartedAsSpectator);
    menus_.RenameItems(gs);
    InstallMenuBar();
    menus_.BuildKuniMenu({&gs, app_.korMap});
    menus_.UpdateKuniMenu({&gs, app_.korMap}, -1);
    views_.curKuni = -1;
    RegisterArmamentCommands(*this);
    RegisterGundanCommands(*this, app_.korMap);
    RegisterKouekisenCommands(gs, this);
    RegisterGaikouCommands(*this, app_.korMap);
    RegisterPersonnelCommands(*this, app_.korMap);
    RegisterShipKenzouCommands(gs, this);
    RegisterTeppouCommands(gs, app_.korMap, this);
    // The colour display is the player's choice from game to game, a loaded one too.
    game_->SetColorDisplay(ColorDisplayChosen());
}

int CMainGameDlg::StartScenarioGame(const NewGameRequest& request) {
    const int result = StartGameFromScenario(*gs_, *app_.korMap, GamePorts(), request);
    if (result != 0) return result;
    RefitKuniMap();
    game_ = std::make_unique<CMainGame>(*gs_, *app_.korMap, GamePorts());
    SetUpCommandSurface();
    lastResult_ = game_->StartMonth();
    ActOnTurnResult(lastResult_);
    return 0;
}

// The panel's "back to the country map" button shows with the castle view; the house-names box
// hides with either view.
void CMainGameDlg::ShowPanelMapButtons(bool castleView) {
    if (ui::Wnd* back = panel_.GetDlgItem(CCommandPanelDlg::kZenkokuId))
        back->ShowWindow(castleView ? ui::SW_SHOW : ui::SW_HIDE);
    if (ui::Wnd* names = panel_.GetDlgItem(CCommandPanelDlg::kShowNamesId)) names->ShowWindow(ui::SW_HIDE);
}

void CMainGameDlg::OnCommandEnd() {
    KillTimer(kDisplayTimer);
    EnableCommandEndButton(false);
    if (!game_) return;
    SwitchMapView(-1);
    lastResult_ = game_->EndCurrentPhase();
    ActOnTurnResult(lastResult_);
}

// ---- Command menu, caption, status line ------------------------------------------------------------

void CMainGameDlg::BuildCommandMenu(int page) {
    const GameState* gs = GameOrNull();
    if (!gs) return;
    for (int i = 0; i < kCommandCount; ++i) {
        MbWnd::CGradationButton& b = panel_.CommandButton(i);
        const char* caption = CommandCaption(page, i);
        if (gs->bViewOnly || caption[0] == '\0') {
            b.SetWindowText("");
            b.ShowWindow(ui::SW_HIDE);
            continue;
        }
        b.SetWindowText(CommandButtonCaption(page, i, *gs));
        b.ShowWindow(ui::SW_SHOW);
        // A command whose dialog is not there yet stays disabled.
        b.EnableWindow(!gs->bSpectator && FindCommandDialog(page, i) != nullptr);
    }
    const bool spectator = gs->bSpectator;
    if (ui::Wnd* w = panel_.GetDlgItem(CCommandPanelDlg::kAutoId))
        w->ShowWindow(spectator && !gs->bViewOnly ? ui::SW_SHOW : ui::SW_HIDE);
    for (int id : {CCommandPanelDlg::kFundsLabelId, CCommandPanelDlg::kFundsId})
        if (ui::Wnd* w = panel_.GetDlgItem(id)) w->ShowWindow(spectator ? ui::SW_HIDE : ui::SW_SHOW);
    menus_.BuildCommandMenu(*gs, page);
}

void CMainGameDlg::ClearCommandSurface() {
    // The panel's texts take the built-in words again.
    panel_.SetGame(nullptr, nullptr);
    panel_.SetButtonCaptions();
    EnableCommandEndButton(false);
    for (int i = 0; i < kCommandCount; ++i) {
        MbWnd::CGradationButton& b = panel_.CommandButton(i);
        b.SetWindowText("");
        b.ShowWindow(ui::SW_HIDE);
    }
    for (int id : {CCommandPanelDlg::kAutoId, CCommandPanelDlg::kChangeHouseId})
        if (ui::Wnd* w = panel_.GetDlgItem(id)) w->ShowWindow(ui::SW_HIDE);
    for (int id : {CCommandPanelDlg::kFundsLabelId, CCommandPanelDlg::kFundsId})
        if (ui::Wnd* w = panel_.GetDlgItem(id)) w->ShowWindow(ui::SW_SHOW);
    if (ui::Wnd* funds = panel_.GetDlgItem(CCommandPanelDlg::kFundsId)) funds->SetWindowText("0");
    panel_.HouseList().DeleteAllItems();
    menus_.Popup(CMainMenu::kCommand).DestroyMenu();
    menus_.Popup(CMainMenu::kCommand).CreatePopupMenu();
    // With no game the caption board takes the event phase's colours and the status line the
    // program's title alone.
    ShowPhaseCaption(std::string(kPhaseNameTbl[0]) + "フェイズ");
}

void CMainGameDlg::UpdatePhaseCaption() {
    if (const GameState* gs = GameOrNull()) ShowPhaseCaption(PhaseCaptionText(*gs));
}

void CMainGameDlg::ShowPhaseCaption(const std::string& text) {
    UpdateKuniInfo();
    MbWnd::CDisplayBoard& label = panel_.PhaseLabel();
    const bool sortie = GameOrNull() && GameOrNull()->nPhase == 6;
    label.SetBackColorVertGradation(sortie ? ui::RGB(170, 126, 91) : ui::RGB(130, 150, 150),
                                    sortie ? ui::RGB(112, 79, 53) : ui::RGB(82, 97, 97), true);
    label.SetTextColor(ui::RGB(255, 255, 255));
    panel_.DrawPhaseLabel(text);
    label.RedrawWindow();
    DrawStatusBar(GameOrNull() ? GameOrNull()->ScenarioTitle : std::string(kProductTitle),
                  GameOrNull() != nullptr);
}

void CMainGameDlg::UpdateKuniInfo() {
    panel_.DrawKuniInfo(views_.curKuni);
    panel_.KuniBoard().RedrawWindow();
    const GameState* gs = GameOrNull();
    if (gs && IsValidDaimyou(*gs, gs->nCurDaimyou))
        if (ui::Wnd* funds = panel_.GetDlgItem(CCommandPanelDlg::kFundsId))
            funds->SetWindowText(FormatText("%d", DaimyouAt(*gs, gs->nCurDaimyou).shikin));
}

void CMainGameDlg::OnMusicSettings() {
    if (!app_.music) return;
    RunMusicSettings(*app_.music, this, [this](bool off) {
        app_.settings.SetNoMusic(off);
        app_.settings.Save();
    });
}

void CMainGameDlg::EnableCommandEndButton(bool enable) {
    const bool viewOnly = GameOrNull() && GameOrNull()->bViewOnly;
    panel_.EndButton().EnableWindow(enable && !viewOnly);
}

// ---- The house list ----------------------------------------------------------------------------------

void CMainGameDlg::RefillDaimyouList() {
    const GameState* gs = GameOrNull();
    if (!houseListReady_ || !gs) return;
    // An independent house counts its vassals' castles, a vassal only its own.
    const std::vector<std::int32_t> stats = DaimyouListStatistics(*gs);
    CSortList order(kDaimyouListRows);
    order.SetCount(0);  // a new list counts its whole capacity
    for (int d : DaimyouIndexes(*gs))
        if (DaimyouAt(*gs, d).toushu >= 0) order.Append(d, DaimyouYieldWithVassals(stats, d));
    order.SortLarge();
    ui::ListCtrl& list = panel_.HouseList();
    const int n = order.Count();
    for (int i = 0; i < n; ++i) {
        const int h = order.Id(i);
        const CDaimyou& house = DaimyouAt(*gs, h);
        const int image = house.bond == CDaimyou::kBondShinjuu ? 11 : std::min(i, 10);
        if (i < list.GetItemCount()) {
            list.SetItemText(i, 0, house.name);
            list.SetItemImage(i, image);
        } else {
            list.InsertItem(i, house.name, image);
        }
        list.SetItemText(i, 1, KokudakaText(DaimyouYieldWithVassals(stats, h), gs));
        list.SetItemData(i, h);
    }
    while (list.GetItemCount() > n)
        list.DeleteItem(list.GetItemCount() - 1);
    for (int i = 0; i < n; ++i)
        list.SetItemState(i, i == 0 ? ui::LVIS_SELECTED | ui::LVIS_FOCUSED : 0,
                          ui::LVIS_SELECTED | ui::LVIS_FOCUSED);
    int houses[CMainGame::kMaxColorDaimyou];
    const int count = panel_.StoreColorDaimyou(houses);
    game_->SetColorDaimyou(houses, count);
}

// ---- Handlers -------------------------------------------------------------------------------------------

void CMainGameDlg::OnColorDisplayButton() {
    if (!game_) return;
    game_->SetColorDisplay(ColorDisplayChosen());
    RefillDaimyouList();
    SyncColorDisplay();
}

void CMainGameDlg::SyncColorDisplay() {
    if (!game_) return;
    if (ui::Button* box = ColorDisplayBox())
        box->SetCheck(game_->ColorDisplay() ? ui::BST_CHECKED : ui::BST_UNCHECKED);
    RefreshKuniMap(true);
}

ui::Button* CMainGameDlg::ColorDisplayBox() {
    return dynamic_cast<ui::Button*>(panel_.GetDlgItem(CCommandPanelDlg::kColorDisplayId));
}

bool CMainGameDlg::ColorDisplayChosen() {
    ui::Button* box = ColorDisplayBox();
    return box && box->GetCheck() == ui::BST_CHECKED;
}

void CMainGameDlg::OnDelegateToCpu() {
    if (!game_) return;
    if (MbMsgBoxOkCancel(
            "現在プレーヤーが担当している大名家の操作をCPUに完全委任します（観戦モードと同等になります）\n"
            "（委任後は、プレイヤー担当に戻すことはできませんので、事前にデータをセーブしておくことをお勧めし"
            "ます）",
            true) != ui::IDOK)
        return;
    GameState& gs = *gs_;
    gs.bSpectator = true;
    gs.bStartedAsSpectator = false;
    DisbandGundanOfDaimyou(gs, gs.nPlayerDaimyou);
    gs.nPlayerDaimyou = gs.nScenarioDaimyou - 1;
    panel_.ShowChangeHouseButton(false);
    UpdatePhaseCaption();
    SwitchMapView(-1);
    BuildCommandMenu(gs.nPhase);
}

void CMainGameDlg::OnChangePlayerButton() {
    if (!game_ || !gs_->bStartedAsSpectator) return;
    CDaimyouSelectDlg dlg(*gs_, app_.korMap, this);
    const bool chosen = dlg.DoModal() == ui::IDOK;
    // The selection drew the shared map at its own size: the window's map is drawn again.
    RefitKuniMap();
    if (!chosen) return;
    ChangePlayerDaimyou(*gs_, dlg.m_nDaimyou);
    UpdatePhaseCaption();
    SwitchMapView(-1);
    BuildCommandMenu(gs_->nPhase);
}

bool CMainGameDlg::OnCommand(int id, int code, ui::Wnd* from) {
    // Clicks on the maps and the province and castle menu items (main_game_map.cpp).
    if (OnMapCommand(id)) return true;
    switch (id) {
        case CCommandPanelDlg::kCommandEndId: OnCommandEnd(); return true;
        case kIdDelegateToCpu: OnDelegateToCpu(); return true;
        case CCommandPanelDlg::kColorDisplayId: OnColorDisplayButton(); return true;
        case CCommandPanelDlg::kChangeHouseId: OnChangePlayerButton(); return true;
        case CCommandPanelDlg::kAutoId: OnAutoAdvance(); return true;
        case CCommandPanelDlg::kZenkokuId: SwitchMapView(-1); return true;
        case kIdFileLoad: OnFileLoad(); return true;
        case kIdFileSave: OnFileSave(); return true;
        case kIdViewOnlySave: OnSaveViewOnly(); return true;
        case kIdExit: OnFileExit(); return true;
        case kIdScenarioInfo: OnScenarioInfo(); return true;
        case kIdVariables:
            if (game_) port_.ShowVariableList(gs_->ScriptVariables.ListView());
            return true;
        case kIdVersion: OnVersion(); return true;
        case kIdHelp: ShowHelp(app_.helpPath); return true;
        case kIdMusic: OnMusicSettings(); return true;
        case kIdBushouList:
        case CCommandPanelDlg::kBushouListId:
            if (const GameState* gs = GameOrNull()) {
                CBushouListDlg dlg(*gs, app_.korMap, gs->nPlayerDaimyou, this);
                dlg.DoModal();
            }
            return true;
        case kIdDaimyouList:
        case CCommandPanelDlg::kDaimyouListDlgId:
            if (const GameState* gs = GameOrNull()) {
                CDaimyouListDlg dlg(*gs, app_.korMap, this);
                dlg.DoModal();
            }
            return true;
        case kIdKouekisenList:
        case CCommandPanelDlg::kKouekisenListId:
            if (const GameState* gs = GameOrNull()) {
                CKouekisenListDlg dlg(*gs, gs->nPlayerDaimyou, this);
                dlg.DoModal();
            }
            return true;
        default: break;
    }
    if (const int i = CommandIndexOfId(id); i >= 0 && game_) {
        GameState& gs = *gs_;
        RunCommand(gs, gs.nPhase, i, CommandSituation{views_.curKuni},
                   [](const std::string& text) { MbMsgBox(text.c_str()); });
        UpdateKuniInfo();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

}  // namespace rymd::shell
