#include "game/shell/dialogs/domestic/teppou_dlgs.h"

#include <algorithm>

#include "game/shell/dialogs/common/command_table.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"
#include "platform/qt/controls.h"

namespace rymd {

using namespace ui;

namespace {

constexpr std::uint32_t kSpin = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ARROWKEYS;
constexpr std::uint32_t kList = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr const char* kShortage = "資金が足りません";
constexpr int kColUnits = 4;  // the purchase list's "購入数"

std::string Number(std::int64_t v) {
    return FormatText("%lld", static_cast<long long>(v));
}

void SetSpin(const Dialog& d, int id, int lower, int upper, int pos) {
    if (auto* spin = dynamic_cast<SpinButton*>(d.GetDlgItem(id))) {
        spin->SetRange(lower, upper);
        spin->SetPos(pos);
    }
}

int SpinPos(const Dialog& d, int id) {
    auto* spin = dynamic_cast<SpinButton*>(d.GetDlgItem(id));
    return spin ? spin->GetPos() : 0;
}

void EnableItems(const Dialog& d, std::initializer_list<int> ids, bool on) {
    for (int id : ids)
        if (Wnd* w = d.GetDlgItem(id)) w->EnableWindow(on);
}

}  // namespace

// --- purchase ------------------------------------------------------------------------------------

const DialogTemplate& CTeppouKounyuuDlg::TeppouKounyuuTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "鉄砲購入";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 380;
        d.cy = 196;
        d.items = {
            {kInstructionId, ControlKind::Static, "", 7, 7, 366, 9, SS_LEFT, 0},
            {kListId, ControlKind::ListView, "", 7, 19, 366, 110, kList, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "購入数", 7, 139, 30, 9, SS_LEFT, 0},
            {kMusketsId, ControlKind::Edit, "", 40, 137, 50, 12, ES_READONLY | ES_RIGHT, WS_EX_CLIENTEDGE},
            {kUnitsId, ControlKind::Edit, "", 150, 137, 30, 12, ES_READONLY, 0},
            {kSpinId, ControlKind::Spin, "", 91, 137, 10, 12, kSpin, 0},
            {kMaxId, ControlKind::Button, "MAX", 106, 136, 36, 14, kDialogButton, 0},
            {-1, ControlKind::Static, "資金残高", 250, 139, 40, 9, SS_LEFT, 0},
            {kRemainingId, ControlKind::Static, "", 293, 139, 80, 9, SS_RIGHT, 0},
            {kMaxAllId, ControlKind::Button, "全ての購入地からの購入数をMAXにする", 7, 175, 170, 14,
             kDialogButton, 0},
            {IDOK, ControlKind::Button, "OK", 263, 175, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "キャンセル", 323, 175, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CTeppouKounyuuDlg::CTeppouKounyuuDlg(GameState& gs, Wnd* parent)
    : Dialog(TeppouKounyuuTemplate(), parent),
      gs_(gs),
      order_(std::make_unique<TeppouKounyuuOrder>(gs, gs.nPlayerDaimyou)) {}

CTeppouKounyuuDlg::~CTeppouKounyuuDlg() = default;

void CTeppouKounyuuDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    DDX_Control(dx, kMaxId, max_);
    DDX_Control(dx, kMaxAllId, maxAll_);
}

bool CTeppouKounyuuDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    auto words = [&w](const std::string& s) { return ReplaceWordTeppou(ReplaceWordTeppouKounyuu(s, w), w); };
    SetWindowText(words("鉄砲購入"));
    SetItemText(*this, kInstructionId, words("鉄砲購入地を選択し、購入数を設定してください"));
    maxAll_.SetWindowText(words("全ての購入地からの購入数をMAXにする"));
    if (Wnd* buddy = GetDlgItem(kUnitsId)) buddy->ShowWindow(SW_HIDE);
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    if (list_) {
        list_->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        InsertListColumns(*list_,
                          {{words("鉄砲購入地"), 120},
                           {ReplaceWordChou(FormatText("価格/%d挺", HeiUnit(gs_)), w), 100, LVCFMT_RIGHT},
                           {"購入所要月数", 120, LVCFMT_RIGHT},
                           {"購入可能数", 110, LVCFMT_RIGHT},
                           {"購入数", 100, LVCFMT_RIGHT}});
        const int unit = HeiUnit(gs_);
        for (int r = 0; r < static_cast<int>(order_->Rows().size()); ++r) {
            const TeppouKounyuuOrder::Place& p = order_->Row(r);
            const int item =
                list_->InsertItem(r, gs_.TeppouKounyuuTbl[static_cast<std::size_t>(p.place)].name);
            list_->SetItemText(item, 1, FormatText("%d", p.unitPrice));
            list_->SetItemText(item, 2, FormatText("%d", p.months));
            list_->SetItemText(
                item, 3, p.inDelivery ? std::string("調達中") : Number(std::int64_t{p.purchasable} * unit));
            list_->SetItemText(item, kColUnits,
                               p.inDelivery ? FormatText("(%lld)", static_cast<long long>(p.onOrder) * unit)
                                            : std::string("0"));
            list_->SetItemData(item, r);
        }
    }
    EnableItems(*this, {kMusketsId, kSpinId}, false);
    Refresh();
    return true;
}

void CTeppouKounyuuDlg::OnClickList() {
    const int item = list_ ? list_->GetFirstSelectedItem() : -1;
    row_ = item >= 0 ? static_cast<int>(list_->GetItemData(item)) : -1;
    updating_ = true;
    if (row_ >= 0) {
        SetSpin(*this, kSpinId, 0, order_->Row(row_).purchasable, order_->Row(row_).units);
    } else {
        SetItemText(*this, kMusketsId, "");
    }
    updating_ = false;
    Refresh();
}

void CTeppouKounyuuDlg::OnChangeKazu() {
    if (updating_ || row_ < 0) return;
    if (!order_->SetUnits(row_, SpinPos(*this, kSpinId))) MbMsgBox(kShortage);
    ShowUnits();
    Refresh();
}

// The spin follows the selected row's units.
void CTeppouKounyuuDlg::ShowUnits() {
    if (row_ < 0) return;
    updating_ = true;
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kSpinId))) spin->SetPos(order_->Row(row_).units);
    updating_ = false;
}

// The selected place's muskets, the rows' counts, the funds left and what may be pressed.
void CTeppouKounyuuDlg::Refresh() {
    const int unit = HeiUnit(gs_);
    if (row_ >= 0) SetItemText(*this, kMusketsId, Number(std::int64_t{order_->Row(row_).units} * unit));
    if (list_)
        for (int item = 0; item < list_->GetItemCount(); ++item) {
            const TeppouKounyuuOrder::Place& p = order_->Row(static_cast<int>(list_->GetItemData(item)));
            if (!p.inDelivery) list_->SetItemText(item, kColUnits, Number(std::int64_t{p.units} * unit));
        }
    SetItemText(*this, kRemainingId, Number(order_->Remaining()));
    okCancel_.ok.EnableWindow(order_->Total() != 0);
    EnableItems(*this, {kMusketsId, kSpinId}, row_ >= 0);
    max_.EnableWindow(row_ >= 0);
}

void CTeppouKounyuuDlg::OnOK() {
    order_->Apply(gs_);
    EndDialog(IDOK);
}

bool CTeppouKounyuuDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kUnitsId && code == EN_CHANGE) {
        OnChangeKazu();
        return true;
    }
    if ((id == kMaxId || id == kMaxAllId) && code == BN_CLICKED) {
        if (id == kMaxAllId)
            order_->MaxAll();
        else if (row_ >= 0)
            order_->Max(row_);
        ShowUnits();
        Refresh();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CTeppouKounyuuDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kListId && header && header->code == NM_CLICK) {
        OnClickList();
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

// --- production ------------------------------------------------------------------------------------

const DialogTemplate& CTeppouSeisanDlg::TeppouSeisanTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "鉄砲生産";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 250;
        d.cy = 176;
        d.items = {
            {kInstructionId, ControlKind::Static, "", 7, 7, 236, 9, SS_LEFT, 0},
            {kListId, ControlKind::ListView, "", 7, 19, 130, 100, kList, WS_EX_CLIENTEDGE},
            {kCostId, ControlKind::Static, "", 7, 125, 236, 9, SS_LEFT, 0},
            {-1, ControlKind::Static, "生産数", 7, 141, 30, 9, SS_LEFT, 0},
            {kMusketsId, ControlKind::Edit, "", 40, 139, 50, 12, ES_READONLY | ES_RIGHT, WS_EX_CLIENTEDGE},
            {kUnitsId, ControlKind::Edit, "", 200, 139, 30, 12, ES_READONLY, 0},
            {kSpinId, ControlKind::Spin, "", 91, 139, 10, 12, kSpin, 0},
            {kMaxId, ControlKind::Button, "MAX", 106, 138, 36, 14, kDialogButton, 0},
            {-1, ControlKind::Static, "資金残高", 145, 60, 40, 9, SS_LEFT, 0},
            {kRemainingId, ControlKind::Static, "", 185, 60, 58, 9, SS_RIGHT, 0},
            {IDOK, ControlKind::Button, "OK", 133, 155, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "キャンセル", 193, 155, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CTeppouSeisanDlg::CTeppouSeisanDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(TeppouSeisanTemplate(), parent),
      gs_(gs),
      map_(map),
      order_(std::make_unique<TeppouSeisanOrder>(gs, gs.nPlayerDaimyou)) {}

CTeppouSeisanDlg::~CTeppouSeisanDlg() = default;

void CTeppouSeisanDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    DDX_Control(dx, kMaxId, max_);
}

bool CTeppouSeisanDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    auto words = [&w](const std::string& s) {
        return ReplaceWordTeppou(ReplaceWordTeppouSeisan(ReplaceWordChou(s, w), w), w);
    };
    SetWindowText(words("鉄砲生産"));
    if (Wnd* buddy = GetDlgItem(kUnitsId)) buddy->ShowWindow(SW_HIDE);
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    if (list_) {
        list_->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        InsertListColumns(*list_, {{words("鉄砲生産国"), 170}});
        for (int k : order_->Kuni()) {
            list_->InsertItem(list_->GetItemCount(), map_ && k < map_->KuniCount()
                                                         ? ToUtf8(map_->Kuni(k).name, gs_.Encoding())
                                                         : FormatText("%d", k));
        }
    }
    const int unit = HeiUnit(gs_);
    if (order_->Maximum() < 1) {
        SetItemText(*this, kInstructionId, words("鉄砲生産可能な国がありません"));
        SetItemText(*this, kCostId, "");
    } else {
        SetItemText(*this, kInstructionId,
                    words(FormatText("以下の鉄砲生産国で、合計 %lld挺 の鉄砲生産が可能です",
                                     static_cast<long long>(order_->Maximum()) * unit)));
        SetItemText(*this, kCostId,
                    words(FormatText("%d挺当たりの鉄砲生産費用 = %d", unit, order_->UnitCost())));
    }
    SetSpin(*this, kSpinId, 0, order_->Maximum(), 0);
    ready_ = true;
    Refresh();
    return true;
}

void CTeppouSeisanDlg::ShowUnits() {
    ready_ = false;
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kSpinId))) spin->SetPos(order_->Units());
    ready_ = true;
}

void CTeppouSeisanDlg::Refresh() {
    SetItemText(*this, kMusketsId, Number(std::int64_t{order_->Units()} * HeiUnit(gs_)));
    SetItemText(*this, kRemainingId, Number(order_->Remaining()));
}

void CTeppouSeisanDlg::OnOK() {
    order_->Apply(gs_);
    EndDialog(IDOK);
}

bool CTeppouSeisanDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kUnitsId && code == EN_CHANGE) {
        if (ready_) {
            if (!order_->SetUnits(SpinPos(*this, kSpinId))) MbMsgBox(kShortage);
            ShowUnits();
            Refresh();
        }
        return true;
    }
    if (id == kMaxId && code == BN_CLICKED) {
        order_->Max();
        ShowUnits();
        Refresh();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

namespace shell {

bool RunTeppouSeisanCommand(GameState& gs, const MbKorMap::CCtrlKorMap* map, Wnd* owner) {
    CTeppouSeisanDlg dlg(gs, map, owner);
    return dlg.DoModal() == IDOK;
}

bool RunTeppouKounyuuCommand(GameState& gs, Wnd* owner) {
    CTeppouKounyuuDlg dlg(gs, owner);
    return dlg.DoModal() == IDOK;
}

}  // namespace shell

}  // namespace rymd
