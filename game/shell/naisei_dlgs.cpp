#include "game/shell/naisei_dlgs.h"

#include "game/shell/help.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"

namespace rymd::shell {

using namespace ui;

namespace {

// What differs between the members of the family.
struct Member {
    const char* caption;
    const char* prompt;
    const char* current;
    const char* maximum;
    int valueWidth;
    int resultWidth;
    std::string (*valueWord)(std::string_view, const ScenarioWordArray&);
};

const Member& MemberOf(Development kind) {
    static const Member kaikon{
        "新田開墾",         "新田開墾する城を指定してください", "現在石高", "最大石高", 100, 100,
        ReplaceWordKokudaka};
    static const Member kouzan{
        "鉱山開発", "鉱山開発を行う城を指定してください", "現在鉱山", "最大鉱山", 120, 80, ReplaceWordKouzan};
    static const Member rakuichi{
        "楽市楽座", "楽市楽座を行う城を指定してください", "現在経済", "最大経済", 80, 80, ReplaceWordKeizai};
    switch (kind) {
        case Development::kKaikon: return kaikon;
        case Development::kKouzanKaihatsu: return kouzan;
        case Development::kRakuichi: break;
    }
    return rakuichi;
}

}  // namespace

int CNaiseiDlg::ExecuteId(Development kind) {
    switch (kind) {
        case Development::kKaikon: return 1054;
        case Development::kKouzanKaihatsu: return 1162;
        case Development::kRakuichi: break;
    }
    return 1055;
}

const DialogTemplate& CNaiseiDlg::NaiseiTemplate(Development kind) {
    auto make = [](Development k) {
        const std::uint32_t button = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
        const std::uint32_t label = WS_CHILD | WS_VISIBLE | SS_LEFT;
        DialogTemplate d;
        d.caption = MemberOf(k).caption;
        d.cx = 314;
        d.cy = 170;
        d.items = {
            {kPromptId, ControlKind::Static, "", 7, 7, 300, 10, label, 0},
            {kListId, ControlKind::ListView, "", 7, 20, 300, 110, WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
             WS_EX_CLIENTEDGE},
            {kHintId, ControlKind::Static, "", 7, 134, 300, 10, label, 0},
            {kSelectAllId, ControlKind::Button, "全選択", 7, 149, 50, 14, button, 0},
            {ExecuteId(k), ControlKind::Button, "実行", 64, 149, 50, 14, button, 0},
            {IDCANCEL, ControlKind::Button, "閉じる", 257, 149, 50, 14, button, 0},
        };
        return d;
    };
    static const DialogTemplate kaikon = make(Development::kKaikon);
    static const DialogTemplate kouzan = make(Development::kKouzanKaihatsu);
    static const DialogTemplate rakuichi = make(Development::kRakuichi);
    switch (kind) {
        case Development::kKaikon: return kaikon;
        case Development::kKouzanKaihatsu: return kouzan;
        case Development::kRakuichi: break;
    }
    return rakuichi;
}

CNaiseiDlg::CNaiseiDlg(Development kind, GameState& gs, int kuni, Wnd* parent)
    : Dialog(NaiseiTemplate(kind), parent),
      m_Kind(kind),
      m_gs(gs),
      m_Rows(DevelopmentCandidates(gs, kind, gs.nPlayerDaimyou, kuni)) {}

CNaiseiDlg::~CNaiseiDlg() = default;

void CNaiseiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, m_CloseButton);
    DDX_Control(dx, ExecuteId(m_Kind), m_ExecuteButton);
    DDX_Control(dx, kSelectAllId, m_SelectAllButton);
}

std::string CNaiseiDlg::Words(const std::string& text) const {
    const ScenarioWordArray& w = m_gs.ScenarioWords;
    const std::string s = ReplaceWordShiro(text, w);
    switch (m_Kind) {
        case Development::kKaikon: return ReplaceWordKaikon(s, w);
        case Development::kKouzanKaihatsu: return ReplaceWordKouzanKaihatsu(s, w);
        case Development::kRakuichi: break;
    }
    return ReplaceWordRakuichi(s, w);
}

bool CNaiseiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = m_gs.ScenarioWords;
    const Member& m = MemberOf(m_Kind);
    SetWindowText(Words(m.caption));
    if (Wnd* prompt = GetDlgItem(kPromptId)) prompt->SetWindowText(Words(m.prompt));
    if (Wnd* hint = GetDlgItem(kHintId))
        hint->SetWindowText(ReplaceWordBushou("政治力の高い武将が国内にいると効果が上がります", w));
    m_pList = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    m_pList->SetExtendedStyle(m_pList->GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    m_pList->InsertColumn(0, ReplaceWordShiro("城", w), LVCFMT_LEFT, 120);
    m_pList->InsertColumn(1, m.valueWord(m.current, w), LVCFMT_LEFT, m.valueWidth);
    m_pList->InsertColumn(2, m.valueWord(m.maximum, w), LVCFMT_LEFT, m.valueWidth);
    for (int r = 0; r < static_cast<int>(m_Rows.size()); ++r) {
        const int s = m_Rows[static_cast<std::size_t>(r)];
        m_pList->InsertItem(r, ShiroMapAt(m_gs, s).name);
        m_pList->SetItemData(r, s);
        m_pList->SetItemText(r, 1, DevelopmentValueText(m_gs, m_Kind, DevelopmentValue(m_gs, m_Kind, s)));
        m_pList->SetItemText(r, 2, DevelopmentValueText(m_gs, m_Kind, DevelopmentMaximum(m_gs, m_Kind, s)));
    }
    return true;
}

void CNaiseiDlg::OnSelectAll() {
    const int n = m_pList->GetItemCount();
    bool anyUnticked = false;
    for (int r = 0; r < n; ++r)
        anyUnticked = anyUnticked || !m_pList->GetCheck(r);
    for (int r = 0; r < n; ++r)
        m_pList->SetCheck(r, anyUnticked);
}

void CNaiseiDlg::OnExecute() {
    std::vector<int> chosen;
    for (int r = 0; r < m_pList->GetItemCount(); ++r)
        if (m_pList->GetCheck(r)) chosen.push_back(static_cast<int>(m_pList->GetItemData(r)));
    const int n = static_cast<int>(chosen.size());
    const std::string refusal = RefuseDevelopment(m_gs, m_Kind, m_gs.nPlayerDaimyou, n);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    if (MbMsgBoxOkCancel(DevelopmentQuestion(m_Kind, n).c_str(), false) != IDOK) return;
    ExecuteDevelopment(m_gs, m_Kind, m_gs.nPlayerDaimyou, chosen);
    m_pList->InsertColumn(3, "実行結果", LVCFMT_LEFT, MemberOf(m_Kind).resultWidth);
    for (int r = 0; r < m_pList->GetItemCount(); ++r) {
        const int s = static_cast<int>(m_pList->GetItemData(r));
        m_pList->SetItemText(r, 3, DevelopmentValueText(m_gs, m_Kind, DevelopmentValue(m_gs, m_Kind, s)));
    }
    m_ExecuteButton.EnableWindow(false);
    m_SelectAllButton.EnableWindow(false);
}

bool CNaiseiDlg::OnHelpInfo() {
    return OnHelpRequest();
}

bool CNaiseiDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kSelectAllId) {
        OnSelectAll();
        return true;
    }
    if (id == ExecuteId(m_Kind)) {
        OnExecute();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

void RunNaisei(Development kind, GameState& gs, int kuni, Wnd* owner) {
    CNaiseiDlg dlg(kind, gs, kuni, owner);
    dlg.DoModal();
}

}  // namespace rymd::shell
