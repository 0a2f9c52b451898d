#include "game/shell/dialogs/domestic/naisei_dlgs.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include "game/shell/dialogs/common/dialog_help.h"
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
            {kSelectAllId, ControlKind::Button, "全選択", 7, 149, 50, 14, kDialogButton, 0},
            {ExecuteId(k), ControlKind::Button, "実行", 64, 149, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "閉じる", 257, 149, 50, 14, kDialogButton, 0},
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
      kind_(kind),
      gs_(gs),
      rows_(DevelopmentCandidates(gs, kind, gs.nPlayerDaimyou, kuni)) {}

CNaiseiDlg::~CNaiseiDlg() = default;

void CNaiseiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, close_);
    DDX_Control(dx, ExecuteId(kind_), execute_);
    DDX_Control(dx, kSelectAllId, selectAll_);
}

std::string CNaiseiDlg::Words(const std::string& text) const {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    const std::string s = ReplaceWordShiro(text, w);
    switch (kind_) {
        case Development::kKaikon: return ReplaceWordKaikon(s, w);
        case Development::kKouzanKaihatsu: return ReplaceWordKouzanKaihatsu(s, w);
        case Development::kRakuichi: break;
    }
    return ReplaceWordRakuichi(s, w);
}

bool CNaiseiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    const Member& m = MemberOf(kind_);
    SetWindowText(Words(m.caption));
    if (Wnd* prompt = GetDlgItem(kPromptId)) prompt->SetWindowText(Words(m.prompt));
    if (Wnd* hint = GetDlgItem(kHintId))
        hint->SetWindowText(ReplaceWordBushou("政治力の高い武将が国内にいると効果が上がります", w));
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    list_->SetExtendedStyle(list_->GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    list_->InsertColumn(0, ReplaceWordShiro("城", w), LVCFMT_LEFT, 120);
    list_->InsertColumn(1, m.valueWord(m.current, w), LVCFMT_LEFT, m.valueWidth);
    list_->InsertColumn(2, m.valueWord(m.maximum, w), LVCFMT_LEFT, m.valueWidth);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const int s = rows_[static_cast<std::size_t>(r)];
        list_->InsertItem(r, ShiroMapAt(gs_, s).name);
        list_->SetItemData(r, s);
        list_->SetItemText(r, 1, DevelopmentValueText(gs_, kind_, DevelopmentValue(gs_, kind_, s)));
        list_->SetItemText(r, 2, DevelopmentValueText(gs_, kind_, DevelopmentMaximum(gs_, kind_, s)));
    }
    return true;
}

void CNaiseiDlg::OnSelectAll() {
    const int n = list_->GetItemCount();
    bool anyUnticked = false;
    for (int r = 0; r < n; ++r)
        anyUnticked = anyUnticked || !list_->GetCheck(r);
    for (int r = 0; r < n; ++r)
        list_->SetCheck(r, anyUnticked);
}

void CNaiseiDlg::OnExecute() {
    std::vector<int> chosen;
    for (int r = 0; r < list_->GetItemCount(); ++r)
        if (list_->GetCheck(r)) chosen.push_back(static_cast<int>(list_->GetItemData(r)));
    const int n = static_cast<int>(chosen.size());
    const std::string refusal = RefuseDevelopment(gs_, kind_, gs_.nPlayerDaimyou, n);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    if (MbMsgBoxOkCancel(DevelopmentQuestion(kind_, n).c_str(), false) != IDOK) return;
    ExecuteDevelopment(gs_, kind_, gs_.nPlayerDaimyou, chosen);
    list_->InsertColumn(3, "実行結果", LVCFMT_LEFT, MemberOf(kind_).resultWidth);
    for (int r = 0; r < list_->GetItemCount(); ++r) {
        const int s = static_cast<int>(list_->GetItemData(r));
        list_->SetItemText(r, 3, DevelopmentValueText(gs_, kind_, DevelopmentValue(gs_, kind_, s)));
    }
    execute_.EnableWindow(false);
    selectAll_.EnableWindow(false);
}

bool CNaiseiDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

bool CNaiseiDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kSelectAllId) {
        OnSelectAll();
        return true;
    }
    if (id == ExecuteId(kind_)) {
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
