#include "game/shell/dialogs/domestic/teppou_haibi_dlg.h"

#include <algorithm>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/bushou_list_columns.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"
#include "platform/qt/controls.h"

namespace rymd {

using namespace ui;

namespace {

constexpr std::uint32_t kSpin = UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_NOTHOUSANDS;

}  // namespace

const DialogTemplate& CTeppouHaibiDlg::TeppouHaibiTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "鉄砲配備";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 470;
        d.cy = 200;
        d.items = {
            {kBushouListId, ControlKind::ListView, "", 7, 7, 456, 140,
             WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE},
            {kMusketLabelId, ControlKind::Static, "鉄砲数", 7, 157, 36, 9, SS_LEFT, 0},
            {kMusketsId, ControlKind::Edit, "", 45, 155, 50, 12, ES_READONLY | ES_RIGHT, WS_EX_CLIENTEDGE},
            {kKazuId, ControlKind::Edit, "", 150, 155, 30, 12, ES_READONLY, 0},
            {kSpinId, ControlKind::Spin, "", 96, 155, 10, 12, kSpin, 0},
            {kMaxId, ControlKind::Button, "MAX", 112, 154, 36, 14, kDialogButton, 0},
            {kUndeployedGroupId, ControlKind::Button, "未配備鉄砲数", 200, 150, 110, 28, BS_GROUPBOX, 0},
            {kUndeployedId, ControlKind::Static, "", 208, 162, 70, 9, SS_RIGHT, 0},
            {kChouId, ControlKind::Static, "挺", 282, 162, 20, 9, SS_LEFT, 0},
            {IDOK, ControlKind::Button, "OK", 353, 179, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "キャンセル", 413, 179, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CTeppouHaibiDlg::CTeppouHaibiDlg(GameState& gs, int kuni, Wnd* parent)
    : Dialog(TeppouHaibiTemplate(), parent),
      gs_(gs),
      order_(std::make_unique<TeppouHaibiOrder>(gs, gs.nPlayerDaimyou, kuni)) {}

CTeppouHaibiDlg::~CTeppouHaibiDlg() = default;

void CTeppouHaibiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    DDX_Control(dx, kMaxId, max_);
}

bool CTeppouHaibiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const auto& words = gs_.ScenarioWords;
    SetWindowText(ReplaceWordTeppou(ReplaceWordTeppouHaibi("鉄砲配備", words), words));
    SetItemText(*this, kMusketLabelId, ReplaceWordTeppou("鉄砲数", words));
    SetItemText(*this, kUndeployedGroupId, ReplaceWordTeppou("未配備鉄砲数", words));
    SetItemText(*this, kChouId, ReplaceWordChou("挺", words));
    if (Wnd* buddy = GetDlgItem(kKazuId)) buddy->ShowWindow(SW_HIDE);
    for (int id : {kMusketsId, kSpinId, kMaxId})
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(false);
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kBushouListId));
    if (list_) {
        shell::InsertBushouListColumns(*list_, gs_);
        for (int g : order_->Bushou())
            shell::AppendBushouRow(*list_, gs_, g, false);
    }
    Refresh();
    return true;
}

int CTeppouHaibiDlg::SelectedRow() const {
    return selBushou_ >= 0 ? shell::PositionOf(order_->Bushou(), selBushou_) : -1;
}

void CTeppouHaibiDlg::OnClickList() {
    const int item = list_ ? list_->GetFirstSelectedItem() : -1;
    if (item < 0) return;
    selBushou_ = static_cast<int>(list_->GetItemData(item));
    const int row = SelectedRow();
    updating_ = true;
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kSpinId))) {
        spin->SetRange(0, order_->Limit(row));
        spin->SetPos(order_->Addition(row));
    }
    SetItemText(*this, kKazuId, FormatText("%d", order_->Addition(row)));
    updating_ = false;
    Refresh();
    for (int id : {kMusketsId, kSpinId, kMaxId})
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(true);
}

void CTeppouHaibiDlg::OnChangeKazu() {
    if (updating_) return;
    const int row = SelectedRow();
    if (row < 0) return;
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kSpinId))) order_->SetAddition(row, spin->GetPos());
    Refresh();
}

void CTeppouHaibiDlg::OnMax() {
    const int row = SelectedRow();
    if (row < 0) return;
    order_->Max(row);
    updating_ = true;
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(kSpinId))) spin->SetPos(order_->Addition(row));
    updating_ = false;
    Refresh();
}

// The selected general's muskets (edit and cell) and the stock left.
void CTeppouHaibiDlg::Refresh() {
    const int row = SelectedRow();
    if (row >= 0) {
        const std::string muskets = shell::UnitsText(gs_, order_->MusketsAfter(row));
        SetItemText(*this, kMusketsId, muskets);
        if (list_) {
            const int item = shell::FindBushouItem(*list_, selBushou_);
            if (item >= 0) list_->SetItemText(item, shell::kBushouColMuskets, muskets);
        }
    }
    SetItemText(*this, kUndeployedId, shell::UnitsText(gs_, order_->Undeployed()));
}

void CTeppouHaibiDlg::OnOK() {
    order_->Apply(gs_);
    EndDialog(IDOK);
}

bool CTeppouHaibiDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kKazuId && code == EN_CHANGE) {
        OnChangeKazu();
        return true;
    }
    if (id == kMaxId && code == BN_CLICKED) {
        OnMax();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CTeppouHaibiDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kBushouListId && header->code == NM_CLICK) {
        OnClickList();
        return true;
    }
    if (id == kBushouListId && header->code == LVN_COLUMNCLICK && list_) {
        shell::SortBushouList(*list_, gs_, reinterpret_cast<NMListView*>(header)->iSubItem);
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

namespace shell {

bool RunTeppouHaibiCommand(GameState& gs, int kuni, Wnd* owner) {
    CTeppouHaibiDlg dlg(gs, kuni, owner);
    return dlg.DoModal() == IDOK;
}

}  // namespace shell

}  // namespace rymd
