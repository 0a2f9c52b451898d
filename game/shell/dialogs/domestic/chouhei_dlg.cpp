#include "game/shell/dialogs/domestic/chouhei_dlg.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/domestic/teppou_haibi_dlg.h"
#include "game/shell/dialogs/info/bushou_list_columns.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"
#include "platform/qt/controls.h"

namespace rymd {

using namespace ui;

namespace {

constexpr std::uint32_t kLabel = SS_LEFT;
constexpr std::uint32_t kNumber = SS_RIGHT;
constexpr std::uint32_t kTotal = ES_READONLY | ES_RIGHT;
constexpr std::uint32_t kAddition = WS_TABSTOP | ES_NUMBER | ES_RIGHT;
constexpr std::uint32_t kSpin =
    UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
constexpr std::uint32_t kList = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

constexpr int kGeneralControls[] = {CChouheiDlg::kCavalryTotalId, CChouheiDlg::kCavalryAddId,
                                    CChouheiDlg::kCavalrySpinId,  CChouheiDlg::kMaxCavalryId,
                                    CChouheiDlg::kFootTotalId,    CChouheiDlg::kFootAddId,
                                    CChouheiDlg::kFootSpinId,     CChouheiDlg::kMaxFootId};
constexpr int kCastleControls[] = {CChouheiDlg::kGarrisonTotalId, CChouheiDlg::kGarrisonAddId,
                                   CChouheiDlg::kGarrisonSpinId, CChouheiDlg::kMaxGarrisonId};
constexpr int kShiroColGarrison = 2;

// The number an addition edit holds; 0 for an empty or unreadable text.
int ReadUnits(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range) return INT_MAX;
    return ec == std::errc() ? value : 0;
}

}  // namespace

const DialogTemplate& CChouheiDlg::ChouheiTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "徴兵";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 470;
        d.cy = 292;
        d.items = {
            {kBushouListId, ControlKind::ListView, "", 7, 7, 456, 140, kList, WS_EX_CLIENTEDGE},
            {kCavalryLabelId, ControlKind::Static, "騎馬兵", 7, 155, 40, 9, kLabel, 0},
            {kCavalryTotalId, ControlKind::Edit, "", 50, 153, 50, 12, kTotal, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "＋", 104, 155, 10, 9, kLabel, 0},
            {kCavalryAddId, ControlKind::Edit, "", 116, 153, 46, 12, kAddition, WS_EX_CLIENTEDGE},
            {kCavalrySpinId, ControlKind::Spin, "", 152, 153, 10, 12, kSpin, 0},
            {kMaxCavalryId, ControlKind::Button, "MAX", 168, 152, 36, 14, kDialogButton, 0},
            {kFootLabelId, ControlKind::Static, "足軽兵", 7, 172, 40, 9, kLabel, 0},
            {kFootTotalId, ControlKind::Edit, "", 50, 170, 50, 12, kTotal, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "＋", 104, 172, 10, 9, kLabel, 0},
            {kFootAddId, ControlKind::Edit, "", 116, 170, 46, 12, kAddition, WS_EX_CLIENTEDGE},
            {kFootSpinId, ControlKind::Spin, "", 152, 170, 10, 12, kSpin, 0},
            {kMaxFootId, ControlKind::Button, "MAX", 168, 169, 36, 14, kDialogButton, 0},
            {kFillAllId, ControlKind::Button, "全武将最大数徴兵", 214, 152, 90, 14, kDialogButton, 0},
            {kFillNoteId, ControlKind::Static, "（徴兵可能数を武将リスト順に充填）", 214, 172, 249, 9, kLabel,
             0},
            {kShiroListId, ControlKind::ListView, "", 7, 192, 200, 93, kList, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "守備兵", 214, 194, 34, 9, kLabel, 0},
            {kGarrisonTotalId, ControlKind::Edit, "", 250, 192, 50, 12, kTotal, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "＋", 304, 194, 10, 9, kLabel, 0},
            {kGarrisonAddId, ControlKind::Edit, "", 316, 192, 46, 12, kAddition, WS_EX_CLIENTEDGE},
            {kGarrisonSpinId, ControlKind::Spin, "", 352, 192, 10, 12, kSpin, 0},
            {kMaxGarrisonId, ControlKind::Button, "MAX", 368, 191, 36, 14, kDialogButton, 0},
            {-1, ControlKind::Button, "残り徴兵可能数", 214, 212, 120, 40, BS_GROUPBOX, 0},
            {kLeftCavalryLabelId, ControlKind::Static, "騎馬兵", 222, 225, 40, 9, kLabel, 0},
            {kLeftCavalryId, ControlKind::Static, "", 266, 225, 60, 9, kNumber, 0},
            {kLeftFootLabelId, ControlKind::Static, "足軽兵", 222, 238, 40, 9, kLabel, 0},
            {kLeftFootId, ControlKind::Static, "", 266, 238, 60, 9, kNumber, 0},
            {-1, ControlKind::Button, "残り資金", 340, 212, 123, 40, BS_GROUPBOX, 0},
            {kLeftFundsId, ControlKind::Static, "", 348, 231, 107, 9, kNumber, 0},
            {IDOK, ControlKind::Button, "OK", 353, 271, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "キャンセル", 413, 271, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CChouheiDlg::CChouheiDlg(GameState& gs, int kuni, int cavalryLeft, int footLeft, Wnd* parent)
    : Dialog(ChouheiTemplate(), parent),
      gs_(gs),
      kuni_(kuni),
      order_(std::make_unique<ChouheiOrder>(gs, gs.nPlayerDaimyou, kuni, cavalryLeft, footLeft)) {}

CChouheiDlg::~CChouheiDlg() = default;

void CChouheiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    DDX_Control(dx, kFillAllId, fillAll_);
    DDX_Control(dx, kMaxCavalryId, maxCavalry_);
    DDX_Control(dx, kMaxFootId, maxFoot_);
    DDX_Control(dx, kMaxGarrisonId, maxGarrison_);
}

bool CChouheiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const auto& words = gs_.ScenarioWords;
    for (int id : {kLeftCavalryLabelId, kCavalryLabelId})
        SetItemText(*this, id, ReplaceWordKibahei("騎馬兵", words));
    for (int id : {kLeftFootLabelId, kFootLabelId})
        SetItemText(*this, id, ReplaceWordAshigaruhei("足軽兵", words));
    SetItemText(*this, kFillAllId, ReplaceWordBushou("全武将最大数徴兵", words));
    SetItemText(*this, kFillNoteId, ReplaceWordBushou("（徴兵可能数を武将リスト順に充填）", words));

    bushouList_ = dynamic_cast<ListCtrl*>(GetDlgItem(kBushouListId));
    shiroList_ = dynamic_cast<ListCtrl*>(GetDlgItem(kShiroListId));
    if (bushouList_) {
        shell::InsertBushouListColumns(*bushouList_, gs_);
        for (int g : order_->Bushou())
            shell::AppendBushouRow(*bushouList_, gs_, g, true);
    }
    if (shiroList_) {
        shiroList_->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        InsertListColumns(*shiroList_, {{ReplaceWordShiro("城名", words), 140},
                                        {"規模", 50, LVCFMT_RIGHT},
                                        {"守備兵", 60, LVCFMT_RIGHT},
                                        {ReplaceWordHyourou("兵糧", words), 65, LVCFMT_RIGHT}});
        for (int s : order_->Shiro()) {
            const CShiro& c = ShiroAt(gs_, s);
            const int item = shiroList_->InsertItem(shiroList_->GetItemCount(), ShiroMapAt(gs_, s).name);
            shiroList_->SetItemText(item, 1, FormatText("%d", c.kibo));
            shiroList_->SetItemText(item, kShiroColGarrison, shell::UnitsText(gs_, c.shubihei));
            shiroList_->SetItemText(item, 3, FormatText("%u", c.hyourou));
            shiroList_->SetItemData(item, s);
        }
    }
    EnableRowControls();
    ShowTotals();
    if (order_->RemainingFunds() < 0) MbMsgBox(kNoFunds);
    return true;
}

void CChouheiDlg::EnableRowControls() {
    for (int id : kGeneralControls)
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(selBushou_ >= 0);
    for (int id : kCastleControls)
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(selShiro_ >= 0);
}

int CChouheiDlg::SelectedRow(Kind kind) const {
    if (kind == Kind::Garrison) return selShiro_;
    return selBushou_ >= 0 ? shell::PositionOf(order_->Bushou(), selBushou_) : -1;
}

int CChouheiDlg::PendingOf(Kind kind) const {
    const int row = SelectedRow(kind);
    switch (kind) {
        case Kind::Cavalry: return order_->PendingCavalry(row);
        case Kind::Foot: return order_->PendingFoot(row);
        case Kind::Garrison: return order_->PendingGarrison(row);
    }
    return 0;
}

void CChouheiDlg::SelectBushou() {
    const int item = bushouList_ ? bushouList_->GetFirstSelectedItem() : -1;
    if (item < 0) return;  // a click on no row changes nothing
    selBushou_ = static_cast<int>(bushouList_->GetItemData(item));
    selShiro_ = -1;
    shell::DeselectAll(shiroList_);
    RefreshSelected();
    EnableRowControls();
}

void CChouheiDlg::SelectShiro() {
    const int item = shiroList_ ? shiroList_->GetFirstSelectedItem() : -1;
    if (item < 0) return;
    const int row = shell::PositionOf(order_->Shiro(), static_cast<int>(shiroList_->GetItemData(item)));
    if (row < 0) return;
    selShiro_ = row;
    selBushou_ = -1;
    shell::DeselectAll(bushouList_);
    RefreshSelected();
    EnableRowControls();
}

// The selected row's totals and addition edits, and the spins' ranges.
void CChouheiDlg::RefreshSelected() {
    updating_ = true;
    if (selBushou_ >= 0) {
        const CBushou& b = BushouAt(gs_, selBushou_);
        SetItemText(*this, kCavalryTotalId,
                    shell::UnitsText(gs_, std::int64_t{b.cavalry} + PendingOf(Kind::Cavalry)));
        SetItemText(*this, kFootTotalId, shell::UnitsText(gs_, std::int64_t{b.foot} + PendingOf(Kind::Foot)));
        SetItemText(*this, kCavalryAddId, FormatText("%d", PendingOf(Kind::Cavalry)));
        SetItemText(*this, kFootAddId, FormatText("%d", PendingOf(Kind::Foot)));
    }
    if (selShiro_ >= 0) {
        const CShiro& c = ShiroAt(gs_, order_->Shiro()[static_cast<std::size_t>(selShiro_)]);
        SetItemText(*this, kGarrisonTotalId,
                    shell::UnitsText(gs_, std::int64_t{c.shubihei} + PendingOf(Kind::Garrison)));
        SetItemText(*this, kGarrisonAddId, FormatText("%d", PendingOf(Kind::Garrison)));
    }
    SetSpins();
    updating_ = false;
}

void CChouheiDlg::SetSpins() {
    const bool wasUpdating = updating_;
    updating_ = true;
    auto set = [&](int id, int upper, int pos) {
        if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(id))) {
            spin->SetRange(0, upper);
            spin->SetPos(pos);
        }
    };
    if (selBushou_ >= 0) {
        const int row = SelectedRow(Kind::Cavalry);
        set(kCavalrySpinId, order_->CavalryUpper(row), order_->PendingCavalry(row));
        set(kFootSpinId, order_->FootUpper(row), order_->PendingFoot(row));
    }
    if (selShiro_ >= 0)
        set(kGarrisonSpinId, order_->GarrisonUpper(selShiro_), order_->PendingGarrison(selShiro_));
    updating_ = wasUpdating;
}

void CChouheiDlg::RefreshBushouRow(int row) {
    if (!bushouList_ || row < 0 || static_cast<std::size_t>(row) >= order_->Bushou().size()) return;
    const int g = order_->Bushou()[static_cast<std::size_t>(row)];
    const int item = shell::FindBushouItem(*bushouList_, g);
    if (item < 0) return;
    const CBushou& b = BushouAt(gs_, g);
    bushouList_->SetItemText(item, shell::kBushouColCavalry,
                             shell::UnitsText(gs_, std::int64_t{b.cavalry} + order_->PendingCavalry(row)));
    bushouList_->SetItemText(item, shell::kBushouColFoot,
                             shell::UnitsText(gs_, std::int64_t{b.foot} + order_->PendingFoot(row)));
}

void CChouheiDlg::RefreshShiroRow(int shiroRow) {
    if (!shiroList_ || shiroRow < 0 || shiroRow >= shiroList_->GetItemCount()) return;
    const int s = order_->Shiro()[static_cast<std::size_t>(shiroRow)];
    for (int i = 0; i < shiroList_->GetItemCount(); ++i)
        if (shiroList_->GetItemData(i) == s)
            shiroList_->SetItemText(i, kShiroColGarrison,
                                    shell::UnitsText(gs_, std::int64_t{ShiroAt(gs_, s).shubihei} +
                                                              order_->PendingGarrison(shiroRow)));
}

void CChouheiDlg::ShowTotals() {
    SetItemText(*this, kLeftCavalryId, shell::UnitsText(gs_, order_->RemainingCavalry()));
    SetItemText(*this, kLeftFootId, shell::UnitsText(gs_, order_->RemainingFoot()));
    SetItemText(*this, kLeftFundsId, FormatText("%lld", static_cast<long long>(order_->RemainingFunds())));
}

void CChouheiDlg::OnChangeAddition(Kind kind) {
    if (updating_) return;
    const int row = SelectedRow(kind);
    if (row < 0) return;
    const int id = kind == Kind::Cavalry ? kCavalryAddId : kind == Kind::Foot ? kFootAddId : kGarrisonAddId;
    Wnd* edit = GetDlgItem(id);
    if (!edit) return;
    const int typed = ReadUnits(edit->GetWindowText());
    bool ok = true;
    switch (kind) {
        case Kind::Cavalry: ok = order_->SetCavalry(row, typed); break;
        case Kind::Foot: ok = order_->SetFoot(row, typed); break;
        case Kind::Garrison: ok = order_->SetGarrison(row, typed); break;
    }
    if (!ok) MbMsgBox(kNoFunds);
    // The edit shows what was kept: the value within the range, or the one before.
    if (ReadUnits(edit->GetWindowText()) != PendingOf(kind) || !ok) {
        updating_ = true;
        edit->SetWindowText(FormatText("%d", PendingOf(kind)));
        updating_ = false;
    }
    RefreshSelected();
    if (kind == Kind::Garrison)
        RefreshShiroRow(row);
    else
        RefreshBushouRow(row);
    ShowTotals();
}

void CChouheiDlg::OnMax(Kind kind) {
    const int row = SelectedRow(kind);
    if (row < 0) return;
    bool changed = false;
    switch (kind) {
        case Kind::Cavalry: changed = order_->MaxCavalry(row); break;
        case Kind::Foot: changed = order_->MaxFoot(row); break;
        case Kind::Garrison: changed = order_->MaxGarrison(row); break;
    }
    if (!changed) return;
    RefreshSelected();
    if (kind == Kind::Garrison)
        RefreshShiroRow(row);
    else
        RefreshBushouRow(row);
    ShowTotals();
}

void CChouheiDlg::OnFillAll() {
    if (!bushouList_) return;
    std::vector<int> shown;
    const auto& rows = order_->Bushou();
    for (int i = 0; i < bushouList_->GetItemCount(); ++i)
        if (const int row = shell::PositionOf(rows, static_cast<int>(bushouList_->GetItemData(i))); row >= 0)
            shown.push_back(row);
    order_->FillAll(shown);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row)
        RefreshBushouRow(row);
    selBushou_ = -1;
    shell::DeselectAll(bushouList_);
    EnableRowControls();
    ShowTotals();
}

void CChouheiDlg::OnOK() {
    order_->Apply(gs_);
    EndDialog(IDOK);
}

bool CChouheiDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == EN_CHANGE) {
        switch (id) {
            case kCavalryAddId: OnChangeAddition(Kind::Cavalry); return true;
            case kFootAddId: OnChangeAddition(Kind::Foot); return true;
            case kGarrisonAddId: OnChangeAddition(Kind::Garrison); return true;
            default: break;
        }
    }
    if (code == BN_CLICKED) {
        switch (id) {
            case kMaxCavalryId: OnMax(Kind::Cavalry); return true;
            case kMaxFootId: OnMax(Kind::Foot); return true;
            case kMaxGarrisonId: OnMax(Kind::Garrison); return true;
            case kFillAllId: OnFillAll(); return true;
            default: break;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CChouheiDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kBushouListId && header->code == NM_CLICK) {
        SelectBushou();
        return true;
    }
    if (id == kShiroListId && header->code == NM_CLICK) {
        SelectShiro();
        return true;
    }
    if (id == kBushouListId && header->code == LVN_COLUMNCLICK && bushouList_) {
        shell::SortBushouList(*bushouList_, gs_, reinterpret_cast<NMListView*>(header)->iSubItem);
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

namespace shell {

bool RunChouheiCommand(GameState& gs, int kuni, Wnd* owner) {
    const auto& limits = gs.PlayerChouheiLimits;
    CChouheiDlg dlg(gs, kuni, limits[kChouheiCavalryLeft], limits[kChouheiFootLeft], owner);
    if (dlg.DoModal() != IDOK) return false;
    FinishPlayerChouhei(gs, dlg.CavalryAllowance(), dlg.FootAllowance());
    return true;
}

}  // namespace shell

}  // namespace rymd
