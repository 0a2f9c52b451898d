#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/military/bushou_grid.h"

#include <algorithm>

#include "game/military/sortie.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using namespace ui;

namespace {}  // namespace

const DialogTemplate& CBushouSelectDlg::SelectTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "出陣武将選択";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 356;
        d.cy = 252;
        constexpr std::uint32_t kText = WS_CHILD | WS_VISIBLE | SS_LEFT;
        constexpr std::uint32_t kValue = WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_SUNKEN;
        d.items = {
            {kPromptId, ControlKind::Static, "", 7, 7, 342, 10, kText, 0},
            {kRouteId, ControlKind::Static, "", 7, 19, 342, 10, kText, 0},
            {kLimitId, ControlKind::Static, "", 7, 31, 342, 10, kText, 0},
            {kGridPlaceId, ControlKind::Static, "", 7, 44, 342, 170, kText, 0},
            {kKibaLabelId, ControlKind::Static, "騎馬兵総数", 7, 222, 44, 10, kText, 0},
            {kKibaTotalId, ControlKind::Static, "0", 52, 220, 40, 12, kValue, 0},
            {kAshigaruLabelId, ControlKind::Static, "足軽兵総数", 100, 222, 44, 10, kText, 0},
            {kAshigaruTotalId, ControlKind::Static, "0", 145, 220, 40, 12, kValue, 0},
            {kTeppouLabelId, ControlKind::Static, "鉄砲総数", 193, 222, 36, 10, kText, 0},
            {kTeppouTotalId, ControlKind::Static, "0", 230, 220, 40, 12, kValue, 0},
            {IDOK, ControlKind::Button, "OK", 241, 234, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 299, 234, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CBushouSelectDlg::CBushouSelectDlg(const GameState& gs, Wnd* owner, Wnd* parent)
    : Dialog(SelectTemplate(), parent ? parent : owner), gs_(gs), owner_(owner) {}

CBushouSelectDlg::~CBushouSelectDlg() = default;

void CBushouSelectDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
}

bool CBushouSelectDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    if (Wnd* c = GetDlgItem(kKibaLabelId)) c->SetWindowText(ReplaceWordKibahei("騎馬兵総数", w));
    if (Wnd* c = GetDlgItem(kAshigaruLabelId)) c->SetWindowText(ReplaceWordAshigaruhei("足軽兵総数", w));
    if (Wnd* c = GetDlgItem(kTeppouLabelId)) c->SetWindowText(ReplaceWordTeppou("鉄砲総数", w));

    CentreOnMainWindow(*this, owner_);

    const std::string from = IsValidShiro(gs_, m_nFromShiro) ? ShiroMapAt(gs_, m_nFromShiro).name : "";
    const std::string to = IsValidShiro(gs_, m_nToShiro) ? ShiroMapAt(gs_, m_nToShiro).name : "";
    // The same texts name a sortie (出陣) or a move (移動).
    const char* verb = m_bShutsujin ? "出陣" : "移動";
    limit_ = m_bShutsujin ? SortieBushouLimit(gs_, gs_.nPlayerDaimyou, m_nToShiro)
                          : MoveBushouLimit(gs_, gs_.nPlayerDaimyou, m_nToShiro);
    SetWindowText(ReplaceWordBushou(FormatText("%s武将選択", verb), w));
    if (Wnd* c = GetDlgItem(kRouteId))
        c->SetWindowText(FormatText("%s から %s へ%sします", from.c_str(), to.c_str(), verb));
    if (Wnd* c = GetDlgItem(kPromptId))
        c->SetWindowText(ReplaceWordBushou(
            FormatText("%s武将を選択してください （マウスドラッグでまとめて選択できます）", verb), w));
    if (Wnd* c = GetDlgItem(kLimitId))
        c->SetWindowText(ReplaceWordBushou(FormatText("%s武将数上限 = %d", verb, limit_), w));

    SetBushouGridColumns(grid_, w);
    if (Wnd* place = GetDlgItem(kGridPlaceId)) place->ShowWindow(SW_HIDE);
    grid_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, ChildRect(kGridPlaceId), this, kGridId);
    FillList();
    for (int id : {kKibaTotalId, kAshigaruTotalId, kTeppouTotalId})
        if (Wnd* c = GetDlgItem(id)) c->SetWindowText("0");
    return true;
}

void CBushouSelectDlg::FillList() {
    const std::vector<int> ids = SelectableBushou(gs_, gs_.nPlayerDaimyou, m_nFromShiro);
    grid_.DeleteAllLine();
    grid_.SetLineSize(static_cast<int>(ids.size()));
    for (int i = 0; i < static_cast<int>(ids.size()); ++i)
        SetBushouGridRow(grid_, i, gs_, ids[static_cast<std::size_t>(i)]);
}

void CBushouSelectDlg::OnSelChange() {
    long long cavalry = 0, foot = 0, muskets = 0;
    const long long unit = gs_.nHeiUnit;
    for (int i = 0; i < grid_.GetLineSize(); ++i) {
        if (!grid_.GetSelectStat(i) || !IsValidBushou(gs_, grid_.GetLineData(i))) continue;
        const CBushou& b = BushouAt(gs_, grid_.GetLineData(i));
        cavalry += b.cavalry * unit;
        foot += b.foot * unit;
        muskets += b.muskets * unit;
    }
    if (Wnd* c = GetDlgItem(kKibaTotalId)) c->SetWindowText(FormatText("%lld", cavalry));
    if (Wnd* c = GetDlgItem(kAshigaruTotalId)) c->SetWindowText(FormatText("%lld", foot));
    if (Wnd* c = GetDlgItem(kTeppouTotalId)) c->SetWindowText(FormatText("%lld", muskets));
}

void CBushouSelectDlg::OnColumnClick(int column) {
    SortBushouGrid(grid_, gs_, column);
}

bool CBushouSelectDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kGridId && header->code == MbWnd::kCellLineSelChange) {
        OnSelChange();
        return true;
    }
    if (id == kGridId && header->code == MbWnd::kCellLabelClick) {
        OnColumnClick(reinterpret_cast<MbWnd::tagCellNotify*>(header)->column);
        *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

void CBushouSelectDlg::OnOK() {
    result_.clear();
    for (int i = 0; i < grid_.GetLineSize(); ++i)
        if (grid_.GetSelectStat(i) && static_cast<int>(result_.size()) < kResultCapacity)
            result_.push_back(grid_.GetLineData(i));
    const std::string refusal =
        CheckBushouChoice(gs_, static_cast<int>(result_.size()), limit_, m_bShutsujin);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    EndDialog(IDOK);
}

bool CBushouSelectDlg::OnHelpInfo() {
    OpenDialogHelp();
    return true;
}

}  // namespace rymd::shell
