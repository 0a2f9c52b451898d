#include "game/shell/dialogs/domestic/shiro_fushin_dlg.h"

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using namespace ui;

namespace {

constexpr std::uint32_t kList = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
constexpr std::uint32_t kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr int kNoId = -1;

std::string Num(std::int64_t v) {
    return FormatText("%lld", static_cast<long long>(v));
}

int PlayerOf(const GameState& gs) {
    return gs.nPlayerDaimyou;
}

}  // namespace

// ---- What the two share -------------------------------------------------------------------------------

std::vector<DialogItem> CShiroListDlg::CommonItems(int listWidth, int listHeight, int fundsY) {
    return {
        {kListId, ControlKind::ListView, "", 7, 7, listWidth, listHeight, kList, WS_EX_CLIENTEDGE},
        {kNoId, ControlKind::Static, "残り資金", 7, fundsY, 40, 10, kLabel, 0},
        {kFundsId, ControlKind::Static, "", 48, fundsY, 55, 10, kLabel, 0},
        {IDOK, ControlKind::Button, "OK", 200, 137, 50, 14, kDialogButton, 0},
        {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 257, 137, 50, 14, kDialogButton, 0},
    };
}

void CShiroListDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
}

void CShiroListDlg::SetUpList(const std::vector<ListColumn>& columns) {
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    list_->SetExtendedStyle(list_->GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    InsertListColumns(*list_, columns);
}

void CShiroListDlg::ShowFunds(std::int64_t funds) {
    if (Wnd* label = GetDlgItem(kFundsId)) label->SetWindowText(Num(funds));
}

bool CShiroListDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

bool CShiroListDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kListId && header && header->code == NM_CLICK) {
        SelectRow(reinterpret_cast<NMItemActivate*>(header)->iItem);
        if (result) *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

// ---- Castle works ----------------------------------------------------------------------------------

const DialogTemplate& CShiroFushinDlg::FushinTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "城普請";
        d.cx = 314;
        d.cy = 158;
        d.items = CommonItems(300, 110, 123);
        d.items.push_back({kCostId, ControlKind::Static, "", 110, 123, 120, 10, kLabel, 0});
        d.items.push_back({kFushinId, ControlKind::Button, "城普請", 7, 137, 50, 14, kDialogButton, 0});
        return d;
    }();
    return t;
}

CShiroFushinDlg::CShiroFushinDlg(GameState& gs, int kuni, Wnd* parent)
    : CShiroListDlg(FushinTemplate(), gs, parent), order_(gs, PlayerOf(gs), kuni) {}

CShiroFushinDlg::~CShiroFushinDlg() = default;

void CShiroFushinDlg::DoDataExchange(DataExchange& dx) {
    CShiroListDlg::DoDataExchange(dx);
    DDX_Control(dx, kFushinId, fushin_);
}

bool CShiroFushinDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    const std::string works = ReplaceWordShiroFushin("城普請", w);
    SetWindowText(works);
    fushin_.SetWindowText(works);
    SetUpList({{ReplaceWordShiro("城", w), 120},
               {"最大規模", 82},
               {"規模", 50},
               {"守備兵", 65},
               {ReplaceWordHyourou("兵糧", w), 70},
               {"実行", 50}});
    const auto& rows = order_.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const int s = rows[static_cast<std::size_t>(r)];
        const CShiro& c = ShiroAt(gs_, s);
        list_->InsertItem(r, ShiroMapAt(gs_, s).name);
        list_->SetItemData(r, s);
        list_->SetItemText(r, 1, Num(ShiroMapAt(gs_, s).maxKibo));
        list_->SetItemText(r, 2, Num(c.kibo));
        list_->SetItemText(r, 3, Num(std::int64_t{c.shubihei} * gs_.nHeiUnit));
        list_->SetItemText(r, 4, Num(c.hyourou));
        list_->SetItemText(r, 5, order_.Done(r) ? "済" : "未");
    }
    ShowFunds(order_.FundsLeft());
    fushin_.EnableWindow(false);
    return true;
}

void CShiroFushinDlg::ShowCost() {
    if (Wnd* cost = GetDlgItem(kCostId))
        cost->SetWindowText(order_.Done(sel_)
                                ? std::string("（実行済みです）")
                                : FormatText("（必要資金 %lld）", static_cast<long long>(order_.Cost(sel_))));
}

void CShiroFushinDlg::SelectRow(int row) {
    if (row < 0 || row >= static_cast<int>(order_.Rows().size())) return;
    sel_ = row;
    fushin_.EnableWindow(true);
    ShowCost();
}

void CShiroFushinDlg::OnFushin() {
    if (sel_ < 0) return;
    const std::string refusal = order_.Order(sel_);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    const int s = order_.Rows()[static_cast<std::size_t>(sel_)];
    list_->SetItemText(sel_, 2, Num(ShiroAt(gs_, s).kibo + 1));
    list_->SetItemText(sel_, 5, "済");
    ShowCost();
    ShowFunds(order_.FundsLeft());
}

void CShiroFushinDlg::OnOK() {
    order_.Apply(gs_);
    EndDialog(IDOK);
}

bool CShiroFushinDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kFushinId) {
        OnFushin();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

// ---- Provisions -----------------------------------------------------------------------------------

const DialogTemplate& CShiroHyourouDlg::HyourouTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "城兵糧補充";
        d.cx = 314;
        d.cy = 158;
        const std::uint32_t readOnly = WS_CHILD | WS_BORDER | ES_RIGHT | ES_READONLY;
        d.items = CommonItems(190, 124, 140);
        const std::vector<DialogItem> own = {
            {kWordId, ControlKind::Static, "兵糧", 205, 9, 40, 10, kLabel, 0},
            {kAfterId, ControlKind::Edit, "", 205, 21, 70, 13, readOnly | WS_VISIBLE, WS_EX_CLIENTEDGE},
            {kMaxId, ControlKind::Static, "", 205, 38, 100, 10, kLabel, 0},
            {kSliderId, ControlKind::Custom, "", 203, 52, 104, 16, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0},
            {kTenLabelId, ControlKind::Static, "+10", 205, 77, 20, 10, kLabel, 0},
            {kTenBuddyId, ControlKind::Edit, "", 228, 75, 1, 13, readOnly, 0},
            {kTenSpinId, ControlKind::Spin, "", 228, 75, 11, 14,
             WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_NOTHOUSANDS, 0},
            {kOneLabelId, ControlKind::Static, "+1", 250, 77, 20, 10, kLabel, 0},
            {kOneBuddyId, ControlKind::Edit, "", 270, 75, 1, 13, readOnly, 0},
            {kOneSpinId, ControlKind::Spin, "", 270, 75, 11, 14,
             WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_NOTHOUSANDS, 0},
        };
        d.items.insert(d.items.end(), own.begin(), own.end());
        return d;
    }();
    return t;
}

CShiroHyourouDlg::CShiroHyourouDlg(GameState& gs, int kuni, Wnd* parent)
    : CShiroListDlg(HyourouTemplate(), gs, parent), order_(gs, PlayerOf(gs), kuni) {}

CShiroHyourouDlg::~CShiroHyourouDlg() = default;

void CShiroHyourouDlg::DoDataExchange(DataExchange& dx) {
    CShiroListDlg::DoDataExchange(dx);
    DDX_Control(dx, kSliderId, slider_);
}

bool CShiroHyourouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordHyourou(ReplaceWordShiro("城兵糧補充", w), w));
    if (Wnd* word = GetDlgItem(kWordId)) word->SetWindowText(ReplaceWordHyourou("兵糧", w));
    for (int hidden : {kTenBuddyId, kOneBuddyId})
        if (Wnd* buddy = GetDlgItem(hidden)) buddy->ShowWindow(SW_HIDE);
    tenSpin_ = dynamic_cast<SpinButton*>(GetDlgItem(kTenSpinId));
    oneSpin_ = dynamic_cast<SpinButton*>(GetDlgItem(kOneSpinId));
    SetUpList(
        {{ReplaceWordShiro("城", w), 80}, {"規模", 50}, {"守備兵", 60}, {ReplaceWordHyourou("兵糧", w), 70}});
    const auto& rows = order_.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const int s = rows[static_cast<std::size_t>(r)];
        const CShiro& c = ShiroAt(gs_, s);
        list_->InsertItem(r, ShiroMapAt(gs_, s).name);
        list_->SetItemData(r, s);
        list_->SetItemText(r, 1, Num(c.kibo));
        list_->SetItemText(r, 2, Num(std::int64_t{c.shubihei} * gs_.nHeiUnit));
        list_->SetItemText(r, 3, Num(c.hyourou));
    }
    ShowFunds(order_.FundsLeft());
    EnableAmountControls(false);
    if (Wnd* max = GetDlgItem(kMaxId)) max->SetWindowText("");
    return true;
}

void CShiroHyourouDlg::EnableAmountControls(bool enable) {
    for (Wnd* c : {GetDlgItem(kAfterId), static_cast<Wnd*>(tenSpin_), static_cast<Wnd*>(oneSpin_),
                   static_cast<Wnd*>(&slider_)})
        if (c) c->EnableWindow(enable);
}

void CShiroHyourouDlg::SelectRow(int row) {
    if (row < 0 || row >= static_cast<int>(order_.Rows().size())) return;
    sel_ = row;
    const std::int64_t headroom = order_.Headroom(row);
    // The "+1" spin counts in 16 bits: beyond that only the slider and the "+10" spin serve.
    const bool ones = headroom < 32768;
    showing_ = true;
    oneSpin_->SetRange(0, static_cast<int>(std::min<std::int64_t>(headroom, 32767)));
    oneSpin_->ShowWindow(ones ? SW_SHOW : SW_HIDE);
    if (Wnd* label = GetDlgItem(kOneLabelId)) label->ShowWindow(ones ? SW_SHOW : SW_HIDE);
    tenSpin_->SetRange(0, static_cast<int>(std::min<std::int64_t>(order_.TensLimit(row), 32767)));
    slider_.SetRange(0, static_cast<int>(std::min<std::int64_t>(headroom, INT32_MAX)));
    showing_ = false;
    ShowAmount();
    if (Wnd* max = GetDlgItem(kMaxId))
        max->SetWindowText(FormatText("Max %lld", static_cast<long long>(order_.Capacity(row))));
    EnableAmountControls(true);
}

void CShiroHyourouDlg::ShowAmount() {
    if (sel_ < 0) return;
    const std::int64_t amount = order_.Amount(sel_);
    showing_ = true;
    slider_.SetPos(static_cast<int>(amount));
    // The spins count in 16 bits.
    tenSpin_->SetPos(static_cast<int>(std::min<std::int64_t>(amount / 10, 32767)));
    oneSpin_->SetPos(static_cast<int>(std::min<std::int64_t>(amount, 32767)));
    showing_ = false;
    const std::string after = Num(order_.ProvisionsAfter(sel_));
    if (Wnd* edit = GetDlgItem(kAfterId)) edit->SetWindowText(after);
    list_->SetItemText(sel_, 3, after);
    ShowFunds(order_.FundsLeft());
}

void CShiroHyourouDlg::ChangeAmount(std::int64_t amount) {
    if (showing_ || sel_ < 0) return;
    if (!order_.SetAmount(sel_, amount)) MbMsgBox("資金が足りません");
    ShowAmount();
}

void CShiroHyourouDlg::OnHScroll(int, int pos) {
    ChangeAmount(pos);
}

void CShiroHyourouDlg::OnOK() {
    order_.Apply(gs_);
    EndDialog(IDOK);
}

bool CShiroHyourouDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == EN_CHANGE && (id == kOneBuddyId || id == kTenBuddyId)) {
        if (!showing_ && sel_ >= 0)
            ChangeAmount(id == kOneBuddyId ? oneSpin_->GetPos()
                                           : order_.AmountFromTens(sel_, tenSpin_->GetPos()));
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

// ---- Commands ----------------------------------------------------------------------------------------

bool RunShiroFushin(GameState& gs, int kuni, Wnd* owner) {
    CShiroFushinDlg dlg(gs, kuni, owner);
    return dlg.DoModal() == IDOK;
}

bool RunShiroHyourou(GameState& gs, int kuni, Wnd* owner) {
    CShiroHyourouDlg dlg(gs, kuni, owner);
    return dlg.DoModal() == IDOK;
}

}  // namespace rymd::shell
