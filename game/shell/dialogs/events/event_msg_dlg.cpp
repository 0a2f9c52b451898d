#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include "game/shell/dialogs/events/variable_list_dlg.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

const DialogTemplate& CEventMsgDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 280;
        d.cy = 206;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            // OK, or the close button without it, takes the focus; "変数一覧" comes after them.
            {IDOK, ControlKind::Button, "OK", 88, 185, 50, 14, kDialogButton, 0},
            {kCloseId, ControlKind::Button, "閉じる", 142, 185, 50, 14, kDialogButton, 0},
            {kVariableListId, ControlKind::Button, "変数一覧", 7, 185, 60, 14, kDialogButton, 0},
            {kTitleId, ControlKind::Static, "", 7, 7, 266, 12, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kTextFrameId, ControlKind::Static, "", 7, 22, 266, 156, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
        };
        return d;
    }();
    return t;
}

CEventMsgDlg::CEventMsgDlg(Wnd* parent) : Dialog(Template(), parent) {}

CEventMsgDlg::~CEventMsgDlg() = default;

void CEventMsgDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_OkButton);
    DDX_Control(dx, kCloseId, m_CloseButton);
    DDX_Control(dx, kVariableListId, m_VariableListButton);
}

bool CEventMsgDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (Wnd* title = GetDlgItem(kTitleId)) title->SetWindowText(m_strTitle);
    if (m_bOK) {
        m_CloseButton.SetWindowText("キャンセル");
    } else {
        m_OkButton.ShowWindow(SW_HIDE);
        // Alone, the close button takes the middle of the pair's place.
        m_CloseButton.MoveWindow(MapDialogRect(Rect(115, 185, 165, 199)), false);
    }
    m_VariableListButton.ShowWindow(m_bVariableList ? SW_SHOW : SW_HIDE);
    SetWindowText(m_strCaption);

    CreateTextViewOver(*this, kTextFrameId, m_TextView, kTextViewId, m_strText);
    return true;
}

bool CEventMsgDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kVariableListId && code == BN_CLICKED) {
        ShowVariableListDialog(this, m_Variables);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

void CreateTextViewOver(Dialog& dialog, int placeholderId, MbWnd::CMultiTextCtrl& view, int viewId,
                        const std::string& text) {
    Rect area;
    if (Wnd* frame = dialog.GetDlgItem(placeholderId)) {
        area = frame->GetWindowRect();
        dialog.ScreenToClient(area);
        frame->ShowWindow(SW_HIDE);
    }
    view.SetReturnLineEnd(true);
    view.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, area, &dialog, viewId);
    view.SetText(text);
}

std::intptr_t ShowEventMessageDlg(Wnd* parent, std::string_view title, std::string_view text,
                                  const VariableListView* variables) {
    EnsureApplication();
    CEventMsgDlg dlg(parent);
    if (variables) {
        dlg.m_bVariableList = true;
        dlg.m_Variables = *variables;
    }
    dlg.m_strTitle = std::string(title);
    dlg.m_strText = std::string(text);
    return dlg.DoModal();
}

}  // namespace rymd
