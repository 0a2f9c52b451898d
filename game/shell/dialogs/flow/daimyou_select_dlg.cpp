#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include <cstdio>

#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/encoding.h"
#include "platform/qt/controls.h"

namespace rymd::shell {

using ui::Rect;

// --- the dialog -------------------------------------------------------------------------------

const ui::DialogTemplate& CDaimyouSelectDlg::SelectTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "大名家選択";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 401;
        d.cy = 288;
        d.pointSize = 12;
        d.items = {
            {ui::IDCANCEL, ui::ControlKind::Button, "ｷｬﾝｾﾙ", 349, 271, 50, 14, kDialogButton, 0},
            {kListId, ui::ControlKind::ListView, "", 281, 19, 118, 177,
             ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS,
             ui::WS_EX_CLIENTEDGE},
            {kSpectatorId, ui::ControlKind::Button, "観戦モード", 317, 223, 50, 14, kDialogButton, 0},
            {kMapPlaceId, ui::ControlKind::Custom, "", 2, 19, 277, 266, ui::WS_CHILD, 0},
            {kListHintId, ui::ControlKind::Static, "", 282, 199, 117, 8, ui::WS_CHILD | ui::SS_LEFT, 0},
            {kSpectatorHintId, ui::ControlKind::Static, "", 284, 239, 115, 8,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT, 0},
            {kPromptPlaceId, ui::ControlKind::Custom, "", 2, 3, 277, 13, ui::WS_CHILD, 0},
            {kKuniPlaceId, ui::ControlKind::Custom, "", 281, 3, 118, 13, ui::WS_CHILD, 0},
        };
        return d;
    }();
    return t;
}

CDaimyouSelectDlg::CDaimyouSelectDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent)
    : Dialog(SelectTemplate(), parent), gs_(gs), korMap_(map), map_(map) {}

CDaimyouSelectDlg::~CDaimyouSelectDlg() = default;

std::string CDaimyouSelectDlg::KuniName(int kuni) const {
    // The map keeps its names in the scenario's encoding.
    if (!korMap_ || kuni < 0 || kuni >= korMap_->KuniCount()) return {};
    return ToUtf8(korMap_->Kuni(kuni).name, gs_.Encoding());
}

std::string CDaimyouSelectDlg::Words(const std::string& text) const {
    return ReplaceWordDaimyouke(text, gs_.ScenarioWords);
}

void CDaimyouSelectDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDCANCEL, cancel_);
    ui::DDX_Control(dx, kSpectatorId, spectator_);
}

bool CDaimyouSelectDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ui::DialogTemplate& t = Template();
    SetWindowText(Words("大名家選択"));
    // The placeholders only give their places.
    for (int place : {kMapPlaceId, kPromptPlaceId, kKuniPlaceId})
        if (ui::Wnd* w = GetDlgItem(place)) w->ShowWindow(ui::SW_HIDE);
    list_ = dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId));

    font_.CreateFont(16, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    promptBoard_.Create(MapDialogRect(ui::DialogItemRect(t, kPromptPlaceId)), this);
    promptBoard_.SetFont(&font_);
    promptBoard_.ClearBoard();
    Rect prompt(0, 0, promptBoard_.GetBoardWidth(), promptBoard_.GetBoardHeight());
    promptBoard_.DrawTextA(Words("国を指定し、担当する大名家を選んでください").c_str(), &prompt,
                           ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    promptBoard_.Invalidate();
    kuniBoard_.Create(MapDialogRect(ui::DialogItemRect(t, kKuniPlaceId)), this);
    kuniBoard_.SetFont(&font_);
    kuniBoard_.ClearBoard();

    if (ui::Wnd* hint = GetDlgItem(kListHintId)) {
        hint->SetWindowText(Words("担当する大名家をクリックしてください"));
        hint->ShowWindow(ui::SW_HIDE);
    }
    if (ui::Wnd* hint = GetDlgItem(kSpectatorHintId))
        hint->SetWindowText(Words("（大名家を担当せず、経過を観戦）"));

    map_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                  MapDialogRect(ui::DialogItemRect(t, kMapPlaceId)), this, kMapId);
    map_.m_nMapMinWidth = 0;
    map_.FitAndDrawMap(-1);
    map_.SetGameState(&gs_);
    map_.DrawShiroMarksRelation(-1, ui::RGB(255, 255, 255));

    list_->InsertColumn(0, gs_.ScenarioWords[0].empty() ? "大名家" : gs_.ScenarioWords[0], ui::LVCFMT_LEFT,
                        90);
    list_->InsertColumn(1, ReplaceWordShiro("城数", gs_.ScenarioWords), ui::LVCFMT_RIGHT, 45);
    list_->InsertColumn(2, ReplaceWordKokudaka("石高", gs_.ScenarioWords), ui::LVCFMT_RIGHT, 110);
    return true;
}

void CDaimyouSelectDlg::OnKuniClicked(int kuni) {
    if (kuni < 0 || !list_) return;
    if (CountShiroInKuni(gs_, kuni) == 0) {
        char text[256];
        std::snprintf(text, sizeof text, "このシナリオでは、%sのデータはありません", KuniName(kuni).c_str());
        MbMsgBox(text);
        return;
    }
    kuniText_ = KuniName(kuni);
    kuniBoard_.ClearBoard();
    Rect r(0, 0, kuniBoard_.GetBoardWidth(), kuniBoard_.GetBoardHeight());
    kuniBoard_.DrawTextA(kuniText_.c_str(), &r, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    kuniBoard_.Invalidate();

    list_->DeleteAllItems();
    for (int h : DaimyouIndexes(gs_)) {
        bool here = false;
        int castles = 0;
        long long kokudaka = 0;
        for (int s : ShiroIndexes(gs_)) {
            if (ShiroAt(gs_, s).daimyou != h) continue;
            ++castles;
            kokudaka += ShiroAt(gs_, s).kokudaka;
            if (ShiroMapAt(gs_, s).kuni == kuni) here = true;
        }
        if (!here) continue;
        const int row = list_->InsertItem(list_->GetItemCount(), DaimyouAt(gs_, h).name);
        list_->SetItemData(row, h);
        list_->SetItemText(row, 1, std::to_string(castles));
        list_->SetItemText(row, 2, KokudakaText(kokudaka, gs_.ScenarioWords));
    }
    list_->SetExtendedStyle(list_->GetExtendedStyle() | ui::LVS_EX_FULLROWSELECT);
    if (list_->GetItemCount() > 0)
        if (ui::Wnd* hint = GetDlgItem(kListHintId)) hint->ShowWindow(ui::SW_SHOW);
}

void CDaimyouSelectDlg::OnListClick() {
    if (!list_) return;
    const int row = list_->GetFirstSelectedItem();
    if (row < 0) return;
    const int h = static_cast<int>(list_->GetItemData(row));
    if (!IsValidDaimyou(gs_, h)) return;
    const CDaimyou& house = DaimyouAt(gs_, h);
    if (house.IsNotForPlayer()) {
        MbMsgBox(Words("プレイヤーはこの大名家を担当することはできません").c_str());
        return;
    }
    const std::size_t intro =
        h < gs_.nScenarioDaimyou ? gs_.DaimyouInitTbl[static_cast<std::size_t>(h)].textIndex : 0xFFFF;
    if (intro == 0xFFFF || intro >= gs_.ScenarioTextPool.size()) {
        const std::string text = "プレイヤーは" + house.name + "を担当します";
        if (MbMsgBoxOkCancel(text.c_str(), false) != ui::IDOK) return;
    } else {
        // The confirming form of the event message: the house's introduction under its heading.
        CEventMsgDlg confirm(this);
        confirm.m_strCaption = Words("プレイヤー担当大名家確認");
        confirm.m_strTitle = house.name + "を担当します";
        confirm.m_strText = gs_.ScenarioTextPool[intro];
        confirm.m_bOK = true;
        if (confirm.DoModal() != ui::IDOK) return;
    }
    m_nDaimyou = h;
    EndDialog(ui::IDOK);
}

bool CDaimyouSelectDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kMapId) {
        OnKuniClicked(map_.m_nClickKuni);
        return true;
    }
    if (id == kSpectatorId && code == ui::BN_CLICKED) {
        m_nDaimyou = -1;
        EndDialog(ui::IDOK);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CDaimyouSelectDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id == kListId && header && header->code == ui::NM_CLICK) {
        OnListClick();
        if (result) *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

}  // namespace rymd::shell
