#include "game/shell/dialogs/military/suigun_shutsujin_dlg.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/military/bushou_grid.h"

#include <algorithm>
#include <charconv>
#include <climits>

#include "game/shell/app/help.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using namespace ui;

namespace {

constexpr int kTextColumn = 2;
constexpr int kNumberColumn = 0 | MbWnd::CCellCtrl::kRightAlign;
constexpr std::uint32_t kSuigunSpin =
    UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
// The controls of the chosen owner row, hidden while no row is chosen.
constexpr int kRowControls[] = {CSuigunShutsujinDlg::kRowLabelId, CSuigunShutsujinDlg::kHouseNameId,
                                CSuigunShutsujinDlg::kRowShipsId, CSuigunShutsujinDlg::kRowSpinId};

// The number an edit holds; 0 for an empty or unreadable text.
int SuigunReadCount(const std::string& text) {
    int value = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) return INT_MAX;
    return ec == std::errc() ? value : 0;
}

}  // namespace

const DialogTemplate& CSuigunShutsujinDlg::SuigunTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "水軍出陣";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 356;
        d.cy = 334;
        constexpr std::uint32_t kText = WS_CHILD | WS_VISIBLE | SS_LEFT;
        constexpr std::uint32_t kValue = WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_SUNKEN;
        constexpr std::uint32_t kCount = WS_TABSTOP | ES_NUMBER | ES_RIGHT;
        d.items = {
            {kPromptId, ControlKind::Static, "", 7, 7, 342, 10, kText, 0},
            {kRouteId, ControlKind::Static, "", 7, 19, 342, 10, kText, 0},
            {kUnitLimitId, ControlKind::Static, "", 7, 31, 168, 10, kText, 0},
            {kShipLimitId, ControlKind::Static, "", 181, 31, 168, 10, kText, 0},
            {kGridPlaceId, ControlKind::Static, "", 7, 44, 342, 120, kText, 0},
            {-1, ControlKind::Static, "総兵数", 7, 172, 30, 10, kText, 0},
            {kSoldiersId, ControlKind::Static, "0", 38, 170, 50, 12, kValue, 0},
            {kRequiredLabelId, ControlKind::Static, "必要軍船数", 100, 172, 44, 10, kText, 0},
            {kRequiredId, ControlKind::Static, "0", 145, 170, 40, 12, kValue, 0},
            {kMatchId, ControlKind::Button, "兵数に合わせる", 269, 169, 80, 14, kDialogButton, 0},
            {kSettingLabelId, ControlKind::Static, "出港軍船数設定", 7, 190, 120, 10, kText, 0},
            {kOwnerPlaceId, ControlKind::Static, "", 7, 202, 342, 70, kText, 0},
            {kRowLabelId, ControlKind::Static, "大名家別 出港軍船数", 7, 280, 80, 10, kText, 0},
            {kHouseNameId, ControlKind::Static, "", 88, 280, 70, 10, kText, 0},
            {kRowShipsId, ControlKind::Edit, "0", 160, 278, 50, 12, kCount, WS_EX_CLIENTEDGE},
            {kRowSpinId, ControlKind::Spin, "", 200, 278, 10, 12, kSuigunSpin, 0},
            {kTotalLabelId, ControlKind::Static, "出港軍船数", 7, 298, 80, 10, kText, 0},
            {kTotalShipsId, ControlKind::Edit, "0", 160, 296, 50, 12, kCount, WS_EX_CLIENTEDGE},
            {kTotalSpinId, ControlKind::Spin, "", 200, 296, 10, 12, kSuigunSpin, 0},
            {kMaxId, ControlKind::Button, "MAX", 216, 295, 40, 14, kDialogButton, 0},
            {IDOK, ControlKind::Button, "OK", 241, 314, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 299, 314, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CSuigunShutsujinDlg::CSuigunShutsujinDlg(const GameState& gs, Wnd* owner, Wnd* parent)
    : Dialog(SuigunTemplate(), parent ? parent : owner), gs_(gs), owner_(owner) {}

CSuigunShutsujinDlg::~CSuigunShutsujinDlg() = default;

void CSuigunShutsujinDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kMatchId, match_);
    DDX_Control(dx, kMaxId, max_);
    okCancel_.Bind(dx);
}

bool CSuigunShutsujinDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    ready_ = false;
    const ScenarioWordArray& w = gs_.ScenarioWords;
    model_.emplace(gs_, gs_.nPlayerDaimyou, m_Input);
    SetItemText(*this, kRowLabelId, ReplaceWordGunsen(ReplaceWordDaimyouke("大名家別 出港軍船数", w), w));
    SetItemText(*this, kRequiredLabelId, ReplaceWordGunsen("必要軍船数", w));
    SetItemText(*this, kSettingLabelId, ReplaceWordGunsen("出港軍船数設定", w));
    SetItemText(*this, kTotalLabelId, ReplaceWordGunsen("出港軍船数", w));
    CentreOnMainWindow(*this, owner_);

    const int origin = m_Input.origin;
    const std::string from = IsValidShiro(gs_, origin) ? ShiroMapAt(gs_, origin).name : "";
    if (model_->NavalBattleChoice()) {
        const bool own =
            IsValidShiro(gs_, origin) && GetCountedDaimyouOfShiro(gs_, origin) == gs_.nPlayerDaimyou;
        const std::string withdrawal =
            own ? "" : ReplaceWordGunsen("（キャンセルすると海上封鎖中の軍船は撤退します）", w);
        SetItemText(*this, kRouteId,
                    FormatWithWords(w, {ReplaceWordBushou}, "%s での海戦応戦武将を選択してください%s",
                                    from.c_str(), withdrawal.c_str()));
        SetItemText(
            *this, kPromptId,
            ReplaceWordBushou("出陣武将を選択してください （マウスドラッグでまとめて選択できます）", w));
        SetItemText(*this, kUnitLimitId, "");
    } else {
        const char* verb = m_Input.sortie ? "出陣" : "移動";
        const int to = m_Input.destination;
        SetWindowText(ReplaceWordBushou(FormatText("%s武将選択", verb), w));
        SetItemText(*this, kRouteId,
                    FormatText("%s から %s へ%sします", from.c_str(),
                               IsValidShiro(gs_, to) ? ShiroMapAt(gs_, to).name.c_str() : "", verb));
        SetItemText(
            *this, kPromptId,
            ReplaceWordBushou(
                FormatText("%s武将を選択してください （マウスドラッグでまとめて選択できます）", verb), w));
        SetItemText(*this, kUnitLimitId,
                    ReplaceWordBushou(FormatText("%s武将数上限 = %d", verb, model_->UnitLimit()), w));
    }
    SetItemText(*this, kShipLimitId,
                ReplaceWordGunsen(
                    FormatText("%s軍船数上限 = %d",
                               model_->NavalBattleChoice() ? "出陣" : (m_Input.sortie ? "出陣" : "移動"),
                               model_->ShipLimit()),
                    w));
    FillGrids();
    for (int id : kRowControls)
        if (Wnd* c = GetDlgItem(id)) c->ShowWindow(SW_HIDE);
    if (model_->NavalBattleChoice())
        for (int id : {kRowShipsId, kRowSpinId, kTotalShipsId, kTotalSpinId, kMatchId, kMaxId})
            if (Wnd* c = GetDlgItem(id)) c->EnableWindow(false);
    ShowShips();
    ready_ = true;
    return true;
}

void CSuigunShutsujinDlg::FillGrids() {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetBushouGridColumns(grid_, w);
    if (Wnd* place = GetDlgItem(kGridPlaceId)) place->ShowWindow(SW_HIDE);
    grid_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, ChildRect(kGridPlaceId), this, kGridId);
    const std::vector<int>& units = model_->Candidates();
    grid_.SetLineSize(static_cast<int>(units.size()));
    for (int i = 0; i < static_cast<int>(units.size()); ++i) {
        const int u = units[static_cast<std::size_t>(i)];
        if (u >= kShiroGarrisonItem) {
            // The garrison: its soldiers as foot, valour 3.
            const int castle = u - kShiroGarrisonItem;
            const int values[8] = {0, ShiroAt(gs_, castle).shubihei * gs_.nHeiUnit, 0, 3, 0, 0, 0, 0};
            SetBushouGridRow(grid_, i, u,
                             FormatText("%s守備兵", ShiroMapAt(gs_, castle).name.c_str()).c_str(), values);
        } else {
            SetBushouGridRow(grid_, i, gs_, u);
        }
    }

    ownerGrid_.SetSeparater(0);
    ownerGrid_.SetStyle(0x05);
    ownerGrid_.SetColumn(0, kTextColumn | MbWnd::CCellCtrl::kReadOnly, 120, "所属");
    ownerGrid_.SetColumn(1, kNumberColumn | MbWnd::CCellCtrl::kReadOnly, 80, "軍船総数");
    ownerGrid_.SetColumn(2, kNumberColumn | MbWnd::CCellCtrl::kReadOnly, 120, "出港可能軍船数");
    ownerGrid_.SetColumn(3, kNumberColumn | MbWnd::CCellCtrl::kReadOnly, 100, "出港軍船数");
    if (Wnd* place = GetDlgItem(kOwnerPlaceId)) place->ShowWindow(SW_HIDE);
    ownerGrid_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, ChildRect(kOwnerPlaceId), this,
                        kOwnerGridId);
    const std::vector<NavyOwnerRow>& rows = model_->Rows();
    ownerGrid_.SetLineSize(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const NavyOwnerRow& r = rows[static_cast<std::size_t>(i)];
        ownerGrid_.SetLineData(i, r.daimyou);
        ownerGrid_.SetLineItem(i, 0,
                               IsValidDaimyou(gs_, r.daimyou) ? DaimyouAt(gs_, r.daimyou).name.c_str() : "");
        ownerGrid_.SetLineItem(i, 1, static_cast<double>(r.total));
        ownerGrid_.SetLineItem(i, 2, static_cast<double>(r.sailable));
    }
}

void CSuigunShutsujinDlg::ShowShips() {
    const bool was = updating_;
    updating_ = true;
    const std::vector<NavyOwnerRow>& rows = model_->Rows();
    for (int i = 0; i < static_cast<int>(rows.size()) && i < ownerGrid_.GetLineSize(); ++i)
        ownerGrid_.SetLineItem(i, 3, static_cast<double>(rows[static_cast<std::size_t>(i)].ships));
    ownerGrid_.Invalidate(false);
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kTotalSpinId)))
        spin->SetRange(0, model_->TotalMax());
    SetItemText(*this, kTotalShipsId, FormatText("%d", model_->Total()));
    if (selRow_ >= 0) {
        if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kRowSpinId)))
            spin->SetRange(0, model_->RowMax(selRow_));
        SetItemText(*this, kRowShipsId, FormatText("%d", rows[static_cast<std::size_t>(selRow_)].ships));
    } else {
        SetItemText(*this, kRowShipsId, "0");
    }
    updating_ = was;
}

std::vector<int> CSuigunShutsujinDlg::SelectedUnits() const {
    std::vector<int> out;
    for (int i = 0; i < grid_.GetLineSize(); ++i)
        if (grid_.GetSelectStat(i)) out.push_back(grid_.GetLineData(i));
    return out;
}

void CSuigunShutsujinDlg::OnSelChange() {
    const std::vector<int> units = SelectedUnits();
    SetItemText(*this, kSoldiersId, FormatText("%lld", model_->Soldiers(units)));
    SetItemText(*this, kRequiredId, FormatText("%d", model_->RequiredShips(units)));
}

void CSuigunShutsujinDlg::ChooseRow(int row) {
    selRow_ = row >= 0 && row < static_cast<int>(model_->Rows().size()) ? row : -1;
    for (int id : kRowControls)
        if (Wnd* c = GetDlgItem(id)) c->ShowWindow(selRow_ >= 0 ? SW_SHOW : SW_HIDE);
    if (selRow_ >= 0) {
        const int house = model_->Rows()[static_cast<std::size_t>(selRow_)].daimyou;
        SetItemText(*this, kHouseNameId, IsValidDaimyou(gs_, house) ? DaimyouAt(gs_, house).name : "");
    }
    ShowShips();
}

void CSuigunShutsujinDlg::OnChangeRowShips() {
    if (!ready_ || updating_ || selRow_ < 0 || model_->NavalBattleChoice()) return;
    const Wnd* edit = GetDlgItem(kRowShipsId);
    model_->SetRowShips(selRow_, edit ? SuigunReadCount(edit->GetWindowText()) : 0);
    ShowShips();
}

void CSuigunShutsujinDlg::OnChangeTotal() {
    if (!ready_ || updating_ || model_->NavalBattleChoice()) return;
    const Wnd* edit = GetDlgItem(kTotalShipsId);
    model_->SetTotal(edit ? SuigunReadCount(edit->GetWindowText()) : 0);
    ShowShips();
}

void CSuigunShutsujinDlg::OnMatch() {
    model_->MatchToTroops(SelectedUnits());
    ShowShips();
}

void CSuigunShutsujinDlg::OnMax() {
    model_->Max();
    ShowShips();
}

bool CSuigunShutsujinDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == EN_CHANGE && id == kRowShipsId) {
        OnChangeRowShips();
        return true;
    }
    if (code == EN_CHANGE && id == kTotalShipsId) {
        OnChangeTotal();
        return true;
    }
    if (code == BN_CLICKED && id == kMatchId) {
        OnMatch();
        return true;
    }
    if (code == BN_CLICKED && id == kMaxId) {
        OnMax();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CSuigunShutsujinDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kGridId && header->code == MbWnd::kCellLineSelChange) {
        OnSelChange();
        return true;
    }
    if (id == kGridId && header->code == MbWnd::kCellLabelClick) {
        SortBushouGrid(grid_, gs_, reinterpret_cast<MbWnd::tagCellNotify*>(header)->column);
        *result = 0;
        return true;
    }
    if (id == kOwnerGridId && header->code == MbWnd::kCellClick) {
        ChooseRow(reinterpret_cast<MbWnd::tagCellNotify*>(header)->line);
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

void CSuigunShutsujinDlg::OnOK() {
    units_ = SelectedUnits();
    const std::string refusal = model_->CheckOk(units_);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    EndDialog(IDOK);
}

bool CSuigunShutsujinDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

std::optional<NavySortie> ChooseSiegeNavy(const GameState& gs, int castle, bool garrison, int ships,
                                          const std::vector<int>& candidates, Wnd* owner) {
    CSuigunShutsujinDlg dlg(gs, owner);
    dlg.m_Input = {
        .includeAll = true, .sortie = true, .garrisonRow = garrison, .origin = castle, .destination = -1};
    if (dlg.DoModal() != IDOK) return std::nullopt;
    NavySortie out;
    out.ships = std::min(ships, dlg.TotalShips());
    for (int u : dlg.Units())
        if (std::find(candidates.begin(), candidates.end(), u) != candidates.end()) out.units.push_back(u);
    return out;
}

}  // namespace rymd::shell
