#include "game/shell/dialogs/diplomacy/horyo_dlgs.h"

#include <algorithm>
#include <string>

#include "game/diplomacy/horyo.h"
#include "game/ports/ports.h"
#include "game/shell/dialogs/diplomacy/personnel_lists.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

using K = ui::ControlKind;

constexpr const char* kMultiNote = "（Ctrl か Shift ｷｰ併用で複数選択可）";

// The treatment list's sort keys by column: name, house, rank, age, valour, politics, intellect,
// field and naval command, and the employability the dialog gives.
constexpr int kShoguuKeys[] = {0, 10, 1, 2, 6, 7, 8, 11, 12, 14};
// The exchange lists': name, status, house, age, valour, politics, intellect, field and naval.
constexpr int kKoukanKeys[] = {0, 13, 10, 2, 6, 7, 8, 11, 12};

ui::DialogItem HoryoButton(int id, const char* text, int x, int y, int cx) {
    return {id, K::Button, text, x, y, cx, 14, kDialogButton, 0};
}

ui::ListCtrl* ListOf(const ui::Dialog& d, int id) {
    return dynamic_cast<ui::ListCtrl*>(d.GetDlgItem(id));
}

}  // namespace

// ---- The captive lists with their action buttons ------------------------------------------------

void CHoryoActionDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    const std::pair<int, MbWnd::CGradationButton*> buttons[] = {{kExecuteId, &execute_},
                                                                {kReleaseId, &release_},
                                                                {kEmployId, &employ_},
                                                                {kKeepId, &keep_},
                                                                {ui::IDOK, &ok_}};
    for (auto [id, button] : buttons)
        if (GetDlgItem(id)) ui::DDX_Control(dx, id, *button);
}

void CHoryoActionDlg::InitList(const std::vector<ListColumn>& columns, const std::vector<int>& bushou) {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetItemText(*this, kExecuteId, ReplaceWordShokei("処刑", w));
    columns_ = columns;
    if (ui::ListCtrl* list = List()) {
        PrepareBushouList(*list, columns_);
        FillPersonnelList(gs_, *list, columns_, bushou);
    }
    EnableButtons();
}

void CHoryoActionDlg::EnableButtons() {
    const ui::ListCtrl* list = List();
    const bool selected = list && list->GetSelectedCount() > 0;
    for (int id : {kExecuteId, kReleaseId, kEmployId, kKeepId})
        if (ui::Wnd* b = GetDlgItem(id)) b->EnableWindow(selected);
}

bool CHoryoActionDlg::OnCommand(int id, int code, ui::Wnd* from) {
    const std::pair<int, HoryoAction> actions[] = {{kExecuteId, HoryoAction::Execute},
                                                   {kReleaseId, HoryoAction::Release},
                                                   {kEmployId, HoryoAction::Employ},
                                                   {kKeepId, HoryoAction::Keep}};
    for (auto [button, action] : actions) {
        if (id != button) continue;
        ui::ListCtrl* list = List();
        if (!list) return true;
        const std::vector<int> selected = SelectedBushou(*list);
        if (selected.empty()) return true;
        const HoryoActionResult result = Act(action, selected);
        ShowMessages(result.refusals);
        RemoveBushouRows(*list, result.handled);
        EnableButtons();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CHoryoActionDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kListId || !header) return Dialog::OnNotify(id, header, result);
    if (header->code == ui::LVN_ITEMCHANGED || header->code == ui::NM_CLICK) EnableButtons();
    if (header->code == ui::LVN_COLUMNCLICK) Sort(reinterpret_cast<ui::NMListView*>(header)->iSubItem);
    if (result) *result = 0;
    return true;
}

// ---- Prisoner treatment ---------------------------------------------------------------------------

const ui::DialogTemplate& CHoryoShoguuDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "捕虜処遇";
        d.cx = 414;
        d.cy = 196;
        d.items = {
            {kLabelId, K::Static, "", 7, 7, 200, 9, kPersonnelLabel, 0},
            {kListId, K::ListView, "", 7, 18, 400, 150, kPersonnelMultiList, ui::WS_EX_CLIENTEDGE},
            HoryoButton(kExecuteId, "処刑", 7, 176, 60),
            HoryoButton(kReleaseId, "解放", 72, 176, 60),
            HoryoButton(kEmployId, "登用", 137, 176, 60),
            HoryoButton(ui::IDOK, "OK", 347, 176, 60),
        };
        return d;
    }();
    return t;
}

CHoryoShoguuDlg::CHoryoShoguuDlg(GameState& gs, const Ports& ports, ui::Wnd* parent)
    : CHoryoActionDlg(Template(), gs, parent), ports_(ports) {}

bool CHoryoShoguuDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(*this, kLabelId, ReplaceWordBushou("捕虜武将", gs_.ScenarioWords));
    employable_ = HoryoEmployability(gs_);
    InitList({{"名前", 100},
              {"所属", 92},
              {"地位", 45},
              {"年齢", 45},
              {"武勇", 42},
              {"政治", 42},
              {"智謀", 42},
              {"野戦統率", 65},
              {"水軍統率", 65},
              {"意向", 80}},
             HeldHoryo(gs_, gs_.nPlayerDaimyou));
    return true;
}

HoryoActionResult CHoryoShoguuDlg::Act(HoryoAction action, std::span<const int> bushou) {
    return ApplyHoryoAction(gs_, ports_, action, bushou);
}

void CHoryoShoguuDlg::Sort(int column) {
    if (ui::ListCtrl* list = List()) SortBushouList(gs_, *list, column, kShoguuKeys, employable_);
}

// ---- Surrendered generals ---------------------------------------------------------------------------

const ui::DialogTemplate& CKoufukuBushouDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "降伏武将の処遇";
        d.cx = 290;
        d.cy = 196;
        d.items = {
            {kLabelId, K::Static, "", 7, 7, 200, 9, kPersonnelLabel, 0},
            {kListId, K::ListView, "", 7, 18, 276, 150, kPersonnelMultiList, ui::WS_EX_CLIENTEDGE},
            HoryoButton(kKeepId, "捕虜", 7, 176, 48),
            HoryoButton(kExecuteId, "処刑", 59, 176, 48),
            HoryoButton(kReleaseId, "解放", 111, 176, 48),
            HoryoButton(kEmployId, "登用", 163, 176, 48),
            HoryoButton(ui::IDOK, "OK", 233, 176, 50),
        };
        return d;
    }();
    return t;
}

CKoufukuBushouDlg::CKoufukuBushouDlg(GameState& gs, KoufukuBushouSession& session, ui::Wnd* parent)
    : CHoryoActionDlg(Template(), gs, parent), session_(session) {}

bool CKoufukuBushouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordBushou("降伏武将の処遇", w));
    SetItemText(*this, kLabelId, ReplaceWordBushou("降伏武将", w));
    InitList(
        {{"名前", 100}, {"所属", 92}, {"地位", 45}, {"年齢", 45}, {"武勇", 45}, {"政治", 45}, {"智謀", 45}},
        session_.Remaining());
    return true;
}

HoryoActionResult CKoufukuBushouDlg::Act(HoryoAction action, std::span<const int> bushou) {
    HoryoActionResult result;
    for (int g : bushou) {
        bool done = false;
        switch (action) {
            case HoryoAction::Employ: done = session_.Employ(g); break;
            case HoryoAction::Release: done = session_.Release(g); break;
            case HoryoAction::Execute: done = session_.Execute(g); break;
            case HoryoAction::Keep: done = session_.Keep(g); break;
        }
        if (done)
            result.handled.push_back(g);
        else if (action == HoryoAction::Employ && IsValidBushou(gs_, g))
            result.refusals.push_back(BushouAt(gs_, g).name + " は登用を拒否しました");
    }
    return result;
}

void CKoufukuBushouDlg::EnableButtons() {
    CHoryoActionDlg::EnableButtons();
    const ui::ListCtrl* list = List();
    if (ui::Wnd* ok = GetDlgItem(ui::IDOK)) ok->EnableWindow(!list || list->GetItemCount() == 0);
}

void CKoufukuBushouDlg::Sort(int) {}

bool PlayKoufukuBushouDlg(GameState& gs, KoufukuBushouSession& session, ui::Wnd* owner) {
    if (session.Done()) return true;
    CKoufukuBushouDlg dlg(gs, session, owner);
    dlg.DoModal();
    return session.Done();
}

// ---- Prisoner exchange ------------------------------------------------------------------------------

const ui::DialogTemplate& CHoryoKoukanDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "捕虜交換";
        d.cx = 340;
        d.cy = 246;
        d.items = {
            {kReturnedLabelId, K::Static, "", 7, 7, 326, 9, kPersonnelLabel, 0},
            {kReturnedListId, K::ListView, "", 7, 18, 326, 80, kPersonnelMultiList, ui::WS_EX_CLIENTEDGE},
            {-1, K::Static, kMultiNote, 7, 100, 326, 9, kPersonnelLabel, 0},
            {kGivenLabelId, K::Static, "", 7, 116, 326, 9, kPersonnelLabel, 0},
            {kGivenListId, K::ListView, "", 7, 127, 326, 80, kPersonnelMultiList, ui::WS_EX_CLIENTEDGE},
            {-1, K::Static, kMultiNote, 7, 209, 326, 9, kPersonnelLabel, 0},
            HoryoButton(ui::IDOK, "捕虜交換交渉", 95, 226, 80),
            HoryoButton(ui::IDCANCEL, "キャンセル", 185, 226, 60),
        };
        return d;
    }();
    return t;
}

CHoryoKoukanDlg::CHoryoKoukanDlg(GameState& gs, const Ports& ports, int partner, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), ports_(ports), partner_(partner) {}

void CHoryoKoukanDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
}

bool CHoryoKoukanDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    const std::string player = HouseNameText(gs_, gs_.nPlayerDaimyou);
    const std::string partner = HouseNameText(gs_, partner_);
    SetItemText(*this, kReturnedLabelId,
                ReplaceWordBushou(FormatText("%s が拘束中の %s 武将", partner.c_str(), player.c_str()), w));
    SetItemText(*this, kGivenLabelId,
                ReplaceWordBushou(FormatText("%s が拘束中の %s 武将", player.c_str(), partner.c_str()), w));
    const std::vector<ListColumn> columns = {{"名前", 80}, {"身分", 80},     {"所属", 80},
                                             {"年齢", 37}, {"武勇", 37},     {"政治", 37},
                                             {"智謀", 37}, {"野戦統率", 65}, {"水軍統率", 65}};
    const HoryoKoukanLists lists = CollectHoryoKoukan(gs_, gs_.nPlayerDaimyou, partner_);
    for (auto [list, rows] :
         {std::pair{ReturnedList(), &lists.returned}, std::pair{GivenList(), &lists.given}}) {
        if (!list) continue;
        PrepareBushouList(*list, columns);
        FillPersonnelList(gs_, *list, columns, *rows);
    }
    EnableOk();
    return true;
}

void CHoryoKoukanDlg::EnableOk() {
    const ui::ListCtrl* a = ReturnedList();
    const ui::ListCtrl* b = GivenList();
    if (ui::Wnd* ok = GetDlgItem(ui::IDOK))
        ok->EnableWindow(a && b && a->GetSelectedCount() > 0 && b->GetSelectedCount() > 0);
}

void CHoryoKoukanDlg::OnOK() {
    const ui::ListCtrl* a = ReturnedList();
    const ui::ListCtrl* b = GivenList();
    if (!a || !b || a->GetSelectedCount() == 0 || b->GetSelectedCount() == 0) return;
    const std::vector<int> returned = SelectedBushou(*a);
    const std::vector<int> given = SelectedBushou(*b);
    const HoryoKoukanOutcome outcome = AnswerHoryoKoukan(gs_, partner_, returned, given);
    MbMsgBox(outcome.text.c_str());
    if (!outcome.accepted) return;
    CarryOutHoryoKoukan(gs_, ports_, returned, given);
    EndDialog(ui::IDOK);
}

bool CHoryoKoukanDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if ((id != kReturnedListId && id != kGivenListId) || !header) return Dialog::OnNotify(id, header, result);
    if (header->code == ui::LVN_ITEMCHANGED || header->code == ui::NM_CLICK) EnableOk();
    if (header->code == ui::LVN_COLUMNCLICK)
        if (ui::ListCtrl* list = ListOf(*this, id))
            SortBushouList(gs_, *list, reinterpret_cast<ui::NMListView*>(header)->iSubItem, kKoukanKeys);
    if (result) *result = 0;
    return true;
}

}  // namespace rymd
