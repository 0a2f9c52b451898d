#include "game/shell/dialogs/events/variable_list_dlg.h"

#include "game/state/queries.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace ui;

const DialogTemplate& CVariableListDlg::VariableListTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "変数一覧";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 361;
        d.cy = 236;
        d.items = {
            {IDOK, ControlKind::Button, "OK", 246, 216, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 304, 216, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0},
            {kScalarPlaceId, ControlKind::Static, "", 7, 7, 200, 203, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kArrayPlaceId, ControlKind::Static, "", 214, 7, 140, 90, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kElementPlaceId, ControlKind::Static, "", 214, 113, 140, 97, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kElementLabelId, ControlKind::Static, "Static", 214, 101, 140, 10,
             WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
        };
        return d;
    }();
    return t;
}

CVariableListDlg::CVariableListDlg(VariableListView variables, Wnd* parent)
    : Dialog(VariableListTemplate(), parent), m_Variables(std::move(variables)) {}

CVariableListDlg::~CVariableListDlg() = default;

bool CVariableListDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    m_ScalarGrid.SetSeparater(0);
    m_ScalarGrid.SetStyle(7);
    m_ScalarGrid.SetColumn(0, 2, 200, "変数名", 2);
    m_ScalarGrid.SetColumn(1, 2, 90, "内容", 2);
    m_ArrayGrid.SetStyle(7);
    m_ArrayGrid.SetColumn(0, 2, 200, "配列変数名", 2);
    m_ElementGrid.SetStyle(7);
    m_ElementGrid.SetColumn(0, 2, 50, "Index", 2);
    m_ElementGrid.SetColumn(1, 2, 150, "内容", 2);

    m_ScalarGrid.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, ChildRect(kScalarPlaceId), this,
                          kScalarGridId);
    m_ScalarGrid.SetLineSize(static_cast<int>(m_Variables.scalars.size()));
    for (int i = 0; i < static_cast<int>(m_Variables.scalars.size()); ++i) {
        const auto& [name, value] = m_Variables.scalars[static_cast<std::size_t>(i)];
        m_ScalarGrid.SetLineItem(i, 0, name.c_str());
        m_ScalarGrid.SetLineItem(i, 1, NumberToText(value).c_str());
    }
    m_ArrayGrid.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, ChildRect(kArrayPlaceId), this,
                         kArrayGridId);
    m_ArrayGrid.SetLineSize(static_cast<int>(m_Variables.arrays.size()));
    for (int i = 0; i < static_cast<int>(m_Variables.arrays.size()); ++i)
        m_ArrayGrid.SetLineItem(i, 0, m_Variables.arrays[static_cast<std::size_t>(i)].first.c_str());
    m_ElementGrid.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD, ChildRect(kElementPlaceId), this, kElementGridId);
    if (Wnd* label = GetDlgItem(kElementLabelId)) label->ShowWindow(SW_HIDE);
    return true;
}

bool CVariableListDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kArrayGridId && header->code == MbWnd::kCellSelChange) {
        OnArrayListNotify(reinterpret_cast<MbWnd::tagCellNotify*>(header)->line);
        *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

void CVariableListDlg::OnArrayListNotify(int line) {
    Wnd* label = GetDlgItem(kElementLabelId);
    if (line < 0 || line >= static_cast<int>(m_Variables.arrays.size())) {
        if (label) label->ShowWindow(SW_HIDE);
        m_ElementGrid.ShowWindow(SW_HIDE);
        return;
    }
    const auto& [name, values] = m_Variables.arrays[static_cast<std::size_t>(line)];
    if (label) label->SetWindowText(FormatText("%s の内容", name.c_str()));
    m_ElementGrid.SetRedraw(false);
    m_ElementGrid.DeleteAllLine();
    m_ElementGrid.SetLineSize(static_cast<int>(values.size()));
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
        m_ElementGrid.SetLineItem(i, 0, FormatText("%d", i).c_str());
        m_ElementGrid.SetLineItem(i, 1, NumberToText(values[static_cast<std::size_t>(i)]).c_str());
    }
    m_ElementGrid.SetRedraw(true);
    if (label) label->ShowWindow(SW_SHOW);
    m_ElementGrid.ShowWindow(SW_SHOW);
    m_ElementGrid.RedrawWindow();
}

void ShowVariableListDialog(Wnd* owner, const VariableListView& variables) {
    CVariableListDlg dlg(variables, owner);
    dlg.DoModal();
}

}  // namespace rymd
