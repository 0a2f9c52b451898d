#include "game/shell/dialogs/events/shuushi_houkoku_dlg.h"

#include <array>
#include <string>
#include <utility>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

namespace {

DialogTemplate BuildIncomeReportTemplate(bool withNote, bool withCorps) {
    using C = CIncomeReportDlg;
    DialogTemplate d;
    d.caption = "収支報告";
    d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    d.cx = 384;
    d.items = {
        {C::kTitleId, ControlKind::Static, "", 7, 7, 370, 10, SS_LEFT, 0},
        {-1, ControlKind::Button, "収入", 7, 20, 150, 96, BS_GROUPBOX, 0},
        {-1, ControlKind::Button, "支出", 163, 20, 214, 96, BS_GROUPBOX, 0},
    };
    // One row a line: the label at the left, the figure right-aligned at the column's end.
    for (int i = 0; i < C::kIncomeRows; ++i) {
        d.items.push_back(
            {C::kFirstIncomeLabelId + i, ControlKind::Static, "", 13, 32 + 11 * i, 74, 10, SS_LEFT, 0});
        d.items.push_back(
            {C::kFirstIncomeValueId + i, ControlKind::Static, "", 89, 32 + 11 * i, 62, 10, SS_RIGHT, 0});
    }
    for (int i = 0; i < C::kUpkeepRows; ++i) {
        d.items.push_back(
            {C::kFirstUpkeepLabelId + i, ControlKind::Static, "", 169, 32 + 10 * i, 150, 10, SS_LEFT, 0});
        d.items.push_back(
            {C::kFirstUpkeepValueId + i, ControlKind::Static, "", 321, 32 + 10 * i, 50, 10, SS_RIGHT, 0});
    }
    int y = 122;
    d.items.push_back({C::kFundsId, ControlKind::Static, "", 7, y, 370, 10, SS_LEFT, 0});
    y += 13;
    if (withNote) {
        d.items.push_back({C::kNoteId, ControlKind::Static, "", 7, y, 370, 20, SS_LEFT, 0});
        y += 23;
    }
    if (withCorps) {
        d.items.push_back({C::kCorpsListId, ControlKind::ListView, "", 7, y, 370, 62,
                           WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, WS_EX_CLIENTEDGE});
        y += 67;
    }
    d.items.push_back({IDOK, ControlKind::Button, "OK", 167, y + 2, 50, 14, kDialogButton, 0});
    d.cy = y + 23;
    return d;
}

}  // namespace

const DialogTemplate& CIncomeReportDlg::Template(bool withNote, bool withCorps) {
    static const std::array<DialogTemplate, 4> t = {
        BuildIncomeReportTemplate(false, false), BuildIncomeReportTemplate(false, true),
        BuildIncomeReportTemplate(true, false), BuildIncomeReportTemplate(true, true)};
    return t[(withNote ? 2 : 0) + (withCorps ? 1 : 0)];
}

CIncomeReportDlg::CIncomeReportDlg(IncomeReportView view, Wnd* owner)
    : Dialog(Template(!view.besiegedNote.empty(), !view.corps.empty()), owner), view_(std::move(view)) {}

CIncomeReportDlg::~CIncomeReportDlg() = default;

ListCtrl* CIncomeReportDlg::CorpsList() const {
    return dynamic_cast<ListCtrl*>(GetDlgItem(kCorpsListId));
}

void CIncomeReportDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

bool CIncomeReportDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(*this, kTitleId, view_.title);
    auto rows = [this](const std::vector<IncomeReportRow>& list, int labelId, int valueId, int count) {
        for (int i = 0; i < count && i < static_cast<int>(list.size()); ++i) {
            SetItemText(*this, labelId + i, list[static_cast<std::size_t>(i)].label);
            SetItemText(*this, valueId + i, list[static_cast<std::size_t>(i)].value);
        }
    };
    rows(view_.incomeRows, kFirstIncomeLabelId, kFirstIncomeValueId, kIncomeRows);
    rows(view_.upkeepRows, kFirstUpkeepLabelId, kFirstUpkeepValueId, kUpkeepRows);
    SetItemText(*this, kFundsId, view_.fundsLine);
    SetItemText(*this, kNoteId, view_.besiegedNote);
    if (ListCtrl* list = CorpsList()) {
        list->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        InsertListColumns(*list, {{"軍団名", 200},
                                  {"収入", 70, LVCFMT_RIGHT},
                                  {"支出", 70, LVCFMT_RIGHT},
                                  {"資金残高", 80, LVCFMT_RIGHT}});
        for (const IncomeCorpsRow& c : view_.corps) {
            const int item = list->InsertItem(list->GetItemCount(), c.name);
            list->SetItemText(item, 1, std::to_string(c.income));
            list->SetItemText(item, 2, std::to_string(c.upkeep));
            list->SetItemText(item, 3, std::to_string(c.funds));
        }
    }
    ok_.SetFocus();
    return false;
}

void ShowIncomeReportDlg(Wnd* owner, const IncomeReportView& view) {
    EnsureApplication();
    CIncomeReportDlg dlg(view, owner);
    dlg.DoModal();
}

}  // namespace rymd
