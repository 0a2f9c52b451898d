#include "game/shell/dialogs/domestic/ship_kenzou_dlgs.h"

#include <cstdlib>

#include "game/shell/dialogs/common/command_table.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"
#include "platform/qt/controls.h"

namespace rymd {

using namespace ui;

namespace {

constexpr std::uint32_t kList = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr std::uint32_t kField = WS_TABSTOP | ES_NUMBER;
constexpr std::uint32_t kSpin =
    UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
constexpr const char* kShortage = "資金が足りません";

DialogTemplate ShipTemplate(const char* caption, int shipsId, int spinId, int cy) {
    DialogTemplate d;
    d.caption = caption;
    d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    d.cx = 340;
    d.cy = cy;
    d.fontFace = "ＭＳ Ｐゴシック";
    d.pointSize = 9;
    const int y = cy - 64;
    d.items = {
        {CShipKenzouDlg::kPortListId, ControlKind::ListView, "", 7, 19, 326, y - 25, kList, WS_EX_CLIENTEDGE},
        {-1, ControlKind::Static, "新規建造船数", 7, y, 60, 9, SS_LEFT, 0},
        {shipsId, ControlKind::Edit, "", 70, y - 2, 40, 12, kField, WS_EX_CLIENTEDGE},
        {spinId, ControlKind::Spin, "", 110, y - 2, 10, 12, kSpin, 0},
        {CShipKenzouDlg::kMaxId, ControlKind::Button, "MAX", 116, y - 3, 36, 14, kDialogButton, 0},
        {-1, ControlKind::Static, "資金残高", 230, y, 40, 9, SS_LEFT, 0},
        {CShipKenzouDlg::kRemainingId, ControlKind::Static, "", 273, y, 60, 9, SS_RIGHT, 0},
        {CShipKenzouDlg::kMaxAllId, ControlKind::Button, "全ての港の新規建造船数をMAXにする", 7, cy - 21, 160,
         14, kDialogButton, 0},
        {IDOK, ControlKind::Button, "OK", 223, cy - 21, 50, 14, kDialogButton, 0},
        {IDCANCEL, ControlKind::Button, "キャンセル", 283, cy - 21, 50, 14, kDialogButton, 0},
    };
    return d;
}

}  // namespace

// --- shared ------------------------------------------------------------------------------------------

CShipKenzouDlg::CShipKenzouDlg(const DialogTemplate& t, GameState& gs, std::unique_ptr<ShipKenzouOrder> order,
                               int editId, int spinId, Wnd* parent)
    : Dialog(t, parent), gs_(gs), order_(std::move(order)), editId_(editId), spinId_(spinId) {}

CShipKenzouDlg::~CShipKenzouDlg() = default;

void CShipKenzouDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    DDX_Control(dx, kMaxId, max_);
    DDX_Control(dx, kMaxAllId, maxAll_);
}

void CShipKenzouDlg::FillList(const std::vector<ListColumn>& columns) {
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kPortListId));
    if (!list_) return;
    list_->SetExtendedStyle(LVS_EX_FULLROWSELECT);
    InsertListColumns(*list_, columns);
    for (int r = 0; r < static_cast<int>(order_->Shiro().size()); ++r) {
        const int item =
            list_->InsertItem(r, ShiroMapAt(gs_, order_->Shiro()[static_cast<std::size_t>(r)]).name);
        list_->SetItemData(item, r);
    }
}

// The rows, the funds left and what may be pressed.
void CShipKenzouDlg::Refresh() {
    if (list_)
        for (int item = 0; item < list_->GetItemCount(); ++item) {
            const int row = static_cast<int>(list_->GetItemData(item));
            ShowRow(item, row);
            list_->SetItemText(item, kColNew, FormatText("%d", order_->New(row)));
        }
    SetItemText(*this, kRemainingId, FormatText("%lld", static_cast<long long>(order_->Remaining())));
    for (int id : {editId_, spinId_})
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(row_ >= 0);
    max_.EnableWindow(row_ >= 0);
    okCancel_.ok.EnableWindow(order_->Total() != 0);
}

void CShipKenzouDlg::ShowShips() {
    filling_ = true;
    if (auto* spin = dynamic_cast<SpinButton*>(GetDlgItem(spinId_)))
        spin->SetRange(0, row_ >= 0 ? order_->Cap(row_) : 0);
    SetItemText(*this, editId_, FormatText("%d", row_ >= 0 ? order_->New(row_) : 0));
    filling_ = false;
}

void CShipKenzouDlg::OnClickList() {
    const int item = list_ ? list_->GetFirstSelectedItem() : -1;
    const int row = item >= 0 ? static_cast<int>(list_->GetItemData(item)) : -1;
    row_ = MayChoose(row) ? row : -1;
    ShowShips();
    Refresh();
}

void CShipKenzouDlg::OnChangeShips() {
    if (filling_ || row_ < 0) return;
    const std::string text = GetDlgItem(editId_) ? GetDlgItem(editId_)->GetWindowText() : std::string();
    const long typed = std::strtol(text.c_str(), nullptr, 10);
    if (!order_->SetNew(row_, static_cast<int>(std::clamp<long>(typed, -1, 1000000)))) MbMsgBox(kShortage);
    if (order_->New(row_) != typed) ShowShips();
    Refresh();
}

bool CShipKenzouDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == editId_ && code == EN_CHANGE) {
        OnChangeShips();
        return true;
    }
    if ((id == kMaxId || id == kMaxAllId) && code == BN_CLICKED) {
        if (id == kMaxAllId)
            order_->MaxAll();
        else if (row_ >= 0)
            order_->Max(row_);
        ShowShips();
        Refresh();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CShipKenzouDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kPortListId && header && header->code == NM_CLICK) {
        OnClickList();
        if (result) *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

// --- trade ships ---------------------------------------------------------------------------------------

const DialogTemplate& CKouekisenKenzouDlg::KouekisenKenzouTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d = ShipTemplate("交易船建造", kShipsId, kSpinId, 190);
        d.items.push_back({kInstructionId, ControlKind::Static, "", 7, 7, 326, 9, SS_LEFT, 0});
        d.items.push_back({kPriceId, ControlKind::Static, "", 160, 128, 66, 9, SS_LEFT, 0});
        d.items.push_back({-1, ControlKind::Static, "括弧内は航海中船数です", 7, 140, 200, 9, SS_LEFT, 0});
        return d;
    }();
    return t;
}

CKouekisenKenzouDlg::CKouekisenKenzouDlg(GameState& gs, int kuni, Wnd* parent)
    : CShipKenzouDlg(KouekisenKenzouTemplate(), gs,
                     std::make_unique<KouekisenKenzouOrder>(gs, gs.nPlayerDaimyou, kuni), kShipsId, kSpinId,
                     parent) {}

CKouekisenKenzouDlg::~CKouekisenKenzouDlg() = default;

bool CKouekisenKenzouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordKouekisen("交易船建造", w));
    SetItemText(
        *this, kInstructionId,
        ReplaceWordKouekisen(ReplaceWordShiro("城（港）を選択し、新規建造交易船数を設定してください", w), w));
    SetItemText(*this, kPriceId, FormatText("(建造費 １隻%d）", Order().Price()));
    FillList({{ReplaceWordShiro("城（港）", w), 120},
              {ReplaceWordKouekisen("既存交易船数", w), 120, LVCFMT_RIGHT},
              {"建造可能船数", 120, LVCFMT_RIGHT},
              {"新規建造船数", 120, LVCFMT_RIGHT}});
    Refresh();
    return true;
}

void CKouekisenKenzouDlg::ShowRow(int item, int row) {
    PortList()->SetItemText(item, 1, FormatText("%d (%d)", Order().Waiting(row), Order().AtSea(row)));
    PortList()->SetItemText(item, 2, FormatText("%d", Order().Cap(row)));
}

void CKouekisenKenzouDlg::OnOK() {
    Order().Apply(gs_);
    EndDialog(IDOK);
}

// --- warships ------------------------------------------------------------------------------------------

const DialogTemplate& CGunsenKenzouDlg::GunsenKenzouTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d = ShipTemplate("軍船建造", kShipsId, kSpinId, 200);
        d.items.push_back({kInstructionId, ControlKind::Static, "", 7, 7, 326, 9, SS_LEFT, 0});
        d.items.push_back({kPriceId, ControlKind::Static, "", 160, 138, 66, 9, SS_LEFT, 0});
        d.items.push_back({kLimitId, ControlKind::Static, "", 7, 150, 326, 9, SS_LEFT, 0});
        d.items.push_back({kBusyId, ControlKind::Static, "", 7, 162, 326, 9, SS_LEFT, 0});
        return d;
    }();
    return t;
}

CGunsenKenzouDlg::CGunsenKenzouDlg(GameState& gs, int kuni, Wnd* parent)
    : CShipKenzouDlg(GunsenKenzouTemplate(), gs,
                     std::make_unique<GunsenKenzouOrder>(gs, gs.nPlayerDaimyou, kuni), kShipsId, kSpinId,
                     parent) {}

CGunsenKenzouDlg::~CGunsenKenzouDlg() = default;

bool CGunsenKenzouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordGunsen("軍船建造", w));
    SetItemText(*this, kInstructionId, ReplaceWordGunsen("港を選択し、新規建造軍船数を設定してください", w));
    SetItemText(*this, kLimitId, ReplaceWordGunsen("各城で一度に建造できる軍船は５隻までです", w));
    SetItemText(*this, kBusyId, "建造中の港では、新規建造はできません");
    if (Wnd* busy = GetDlgItem(kBusyId)) busy->ShowWindow(SW_HIDE);
    SetItemText(*this, kPriceId, FormatText("(建造費 1隻%d)", Order().Price()));
    FillList({{"港", 120},
              {ReplaceWordGunsen("軍船数", w), 100, LVCFMT_RIGHT},
              {"建造中", 130, LVCFMT_RIGHT},
              {"新規建造船数", 110, LVCFMT_RIGHT}});
    Refresh();
    return true;
}

void CGunsenKenzouDlg::ShowRow(int item, int row) {
    PortList()->SetItemText(item, 1, FormatText("%d", Order().Lying(row)));
    const int building = Order().Building(row);
    PortList()->SetItemText(
        item, 2,
        building ? FormatText("%d (残り%dヶ月)", building, Order().MonthsLeft(row)) : std::string("0"));
}

// A port that is building ships ordered in an earlier month takes no new ones: it says so.
bool CGunsenKenzouDlg::MayChoose(int row) {
    const bool takes = row < 0 || Order().TakesOrders(row);
    if (Wnd* busy = GetDlgItem(kBusyId)) busy->ShowWindow(takes ? SW_HIDE : SW_SHOW);
    return row >= 0 && takes;
}

void CGunsenKenzouDlg::OnOK() {
    Order().Apply(gs_);
    EndDialog(IDOK);
}

namespace shell {

bool RunKouekisenKenzouCommand(GameState& gs, int kuni, Wnd* owner) {
    CKouekisenKenzouDlg dlg(gs, kuni, owner);
    return dlg.DoModal() == IDOK;
}

bool RunGunsenKenzouCommand(GameState& gs, int kuni, Wnd* owner) {
    // Warships are built only at the house's castles on a waterway; a province without one (all
    // of them in a scenario played without sea routes) has nowhere to build.
    if (GunsenKenzouOrder(gs, gs.nPlayerDaimyou, kuni).Shiro().empty()) {
        MbMsgBox(ReplaceWordSuiro("水路がありません", gs.ScenarioWords).c_str());
        return false;
    }
    CGunsenKenzouDlg dlg(gs, kuni, owner);
    return dlg.DoModal() == IDOK;
}

}  // namespace shell

}  // namespace rymd
