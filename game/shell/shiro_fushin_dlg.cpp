#include "game/shell/shiro_fushin_dlg.h"

#include "game/shell/help.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using namespace ui;

namespace {

constexpr std::uint32_t kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
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
        {IDOK, ControlKind::Button, "OK", 200, 137, 50, 14, kButton, 0},
        {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 257, 137, 50, 14, kButton, 0},
    };
}

void CShiroListDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_OkButton);
    DDX_Control(dx, IDCANCEL, m_CancelButton);
}

void CShiroListDlg::SetUpList(std::initializer_list<std::pair<std::string, int>> columns) {
    m_pList = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    m_pList->SetExtendedStyle(m_pList->GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    int col = 0;
    for (const auto& [title, width] : columns)
        m_pList->InsertColumn(col++, title, LVCFMT_LEFT, width);
}

void CShiroListDlg::ShowFunds(std::int64_t funds) {
    if (Wnd* label = GetDlgItem(kFundsId)) label->SetWindowText(Num(funds));
}

bool CShiroListDlg::OnHelpInfo() {
    return OnHelpRequest();
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
        d.items.push_back({kFushinId, ControlKind::Button, "城普請", 7, 137, 50, 14, kButton, 0});
        return d;
    }();
    return t;
}

CShiroFushinDlg::CShiroFushinDlg(GameState& gs, int kuni, Wnd* parent)
    : CShiroListDlg(FushinTemplate(), gs, parent), m_Order(gs, PlayerOf(gs), kuni) {}

CShiroFushinDlg::~CShiroFushinDlg() = default;

void CShiroFushinDlg::DoDataExchange(DataExchange& dx) {
    CShiroListDlg::DoDataExchange(dx);
    DDX_Control(dx, kFushinId, m_FushinButton);
}

bool CShiroFushinDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = m_gs.ScenarioWords;
    const std::string works = ReplaceWordShiroFushin("城普請", w);
    SetWindowText(works);
    m_FushinButton.SetWindowText(works);
    SetUpList({{ReplaceWordShiro("城", w), 120},
               {"最大規模", 82},
               {"規模", 50},
               {"守備兵", 65},
               {ReplaceWordHyourou("兵糧", w), 70},
               {"実行", 50}});
    const auto& rows = m_Order.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const int s = rows[static_cast<std::size_t>(r)];
        const CShiro& c = ShiroAt(m_gs, s);
        m_pList->InsertItem(r, ShiroMapAt(m_gs, s).name);
        m_pList->SetItemData(r, s);
        m_pList->SetItemText(r, 1, Num(ShiroMapAt(m_gs, s).maxKibo));
        m_pList->SetItemText(r, 2, Num(c.kibo));
        m_pList->SetItemText(r, 3, Num(std::int64_t{c.shubihei} * m_gs.nHeiUnit));
        m_pList->SetItemText(r, 4, Num(c.hyourou));
        m_pList->SetItemText(r, 5, m_Order.Done(r) ? "済" : "未");
    }
    ShowFunds(m_Order.FundsLeft());
    m_FushinButton.EnableWindow(false);
    return true;
}

void CShiroFushinDlg::ShowCost() {
    if (Wnd* cost = GetDlgItem(kCostId))
        cost->SetWindowText(m_Order.Done(m_nSel) ? std::string("（実行済みです）")
                                                 : FormatText("（必要資金 %lld）",
                                                              static_cast<long long>(m_Order.Cost(m_nSel))));
}

void CShiroFushinDlg::SelectRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_Order.Rows().size())) return;
    m_nSel = row;
    m_FushinButton.EnableWindow(true);
    ShowCost();
}

void CShiroFushinDlg::OnFushin() {
    if (m_nSel < 0) return;
    const std::string refusal = m_Order.Order(m_nSel);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    const int s = m_Order.Rows()[static_cast<std::size_t>(m_nSel)];
    m_pList->SetItemText(m_nSel, 2, Num(ShiroAt(m_gs, s).kibo + 1));
    m_pList->SetItemText(m_nSel, 5, "済");
    ShowCost();
    ShowFunds(m_Order.FundsLeft());
}

void CShiroFushinDlg::OnOK() {
    m_Order.Apply(m_gs);
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
    : CShiroListDlg(HyourouTemplate(), gs, parent), m_Order(gs, PlayerOf(gs), kuni) {}

CShiroHyourouDlg::~CShiroHyourouDlg() = default;

void CShiroHyourouDlg::DoDataExchange(DataExchange& dx) {
    CShiroListDlg::DoDataExchange(dx);
    DDX_Control(dx, kSliderId, m_Slider);
}

bool CShiroHyourouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = m_gs.ScenarioWords;
    SetWindowText(ReplaceWordHyourou(ReplaceWordShiro("城兵糧補充", w), w));
    if (Wnd* word = GetDlgItem(kWordId)) word->SetWindowText(ReplaceWordHyourou("兵糧", w));
    for (int hidden : {kTenBuddyId, kOneBuddyId})
        if (Wnd* buddy = GetDlgItem(hidden)) buddy->ShowWindow(SW_HIDE);
    m_pTenSpin = dynamic_cast<SpinButton*>(GetDlgItem(kTenSpinId));
    m_pOneSpin = dynamic_cast<SpinButton*>(GetDlgItem(kOneSpinId));
    SetUpList(
        {{ReplaceWordShiro("城", w), 80}, {"規模", 50}, {"守備兵", 60}, {ReplaceWordHyourou("兵糧", w), 70}});
    const auto& rows = m_Order.Rows();
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const int s = rows[static_cast<std::size_t>(r)];
        const CShiro& c = ShiroAt(m_gs, s);
        m_pList->InsertItem(r, ShiroMapAt(m_gs, s).name);
        m_pList->SetItemData(r, s);
        m_pList->SetItemText(r, 1, Num(c.kibo));
        m_pList->SetItemText(r, 2, Num(std::int64_t{c.shubihei} * m_gs.nHeiUnit));
        m_pList->SetItemText(r, 3, Num(c.hyourou));
    }
    ShowFunds(m_Order.FundsLeft());
    EnableAmountControls(false);
    if (Wnd* max = GetDlgItem(kMaxId)) max->SetWindowText("");
    return true;
}

void CShiroHyourouDlg::EnableAmountControls(bool enable) {
    for (Wnd* c : {GetDlgItem(kAfterId), static_cast<Wnd*>(m_pTenSpin), static_cast<Wnd*>(m_pOneSpin),
                   static_cast<Wnd*>(&m_Slider)})
        if (c) c->EnableWindow(enable);
}

void CShiroHyourouDlg::SelectRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_Order.Rows().size())) return;
    m_nSel = row;
    const std::int64_t headroom = m_Order.Headroom(row);
    // The "+1" spin counts in 16 bits: beyond that only the slider and the "+10" spin serve.
    const bool ones = headroom < 32768;
    m_bShowing = true;
    m_pOneSpin->SetRange(0, static_cast<int>(std::min<std::int64_t>(headroom, 32767)));
    m_pOneSpin->ShowWindow(ones ? SW_SHOW : SW_HIDE);
    if (Wnd* label = GetDlgItem(kOneLabelId)) label->ShowWindow(ones ? SW_SHOW : SW_HIDE);
    m_pTenSpin->SetRange(0, static_cast<int>(std::min<std::int64_t>(m_Order.TensLimit(row), 32767)));
    m_Slider.SetRange(0, static_cast<int>(std::min<std::int64_t>(headroom, INT32_MAX)));
    m_bShowing = false;
    ShowAmount();
    if (Wnd* max = GetDlgItem(kMaxId))
        max->SetWindowText(FormatText("Max %lld", static_cast<long long>(m_Order.Capacity(row))));
    EnableAmountControls(true);
}

void CShiroHyourouDlg::ShowAmount() {
    if (m_nSel < 0) return;
    const std::int64_t amount = m_Order.Amount(m_nSel);
    m_bShowing = true;
    m_Slider.SetPos(static_cast<int>(amount));
    // The spins count in 16 bits.
    m_pTenSpin->SetPos(static_cast<int>(std::min<std::int64_t>(amount / 10, 32767)));
    m_pOneSpin->SetPos(static_cast<int>(std::min<std::int64_t>(amount, 32767)));
    m_bShowing = false;
    const std::string after = Num(m_Order.ProvisionsAfter(m_nSel));
    if (Wnd* edit = GetDlgItem(kAfterId)) edit->SetWindowText(after);
    m_pList->SetItemText(m_nSel, 3, after);
    ShowFunds(m_Order.FundsLeft());
}

void CShiroHyourouDlg::ChangeAmount(std::int64_t amount) {
    if (m_bShowing || m_nSel < 0) return;
    if (!m_Order.SetAmount(m_nSel, amount)) MbMsgBox("資金が足りません");
    ShowAmount();
}

void CShiroHyourouDlg::OnHScroll(int, int pos) {
    ChangeAmount(pos);
}

void CShiroHyourouDlg::OnOK() {
    m_Order.Apply(m_gs);
    EndDialog(IDOK);
}

bool CShiroHyourouDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == EN_CHANGE && (id == kOneBuddyId || id == kTenBuddyId)) {
        if (!m_bShowing && m_nSel >= 0)
            ChangeAmount(id == kOneBuddyId ? m_pOneSpin->GetPos()
                                           : m_Order.AmountFromTens(m_nSel, m_pTenSpin->GetPos()));
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
