#include "game/shell/maps/text_msg_dlg.h"

namespace rymd::shell {

using namespace ui;

const DialogTemplate& CTextMsgDlg::TextTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 325;
        d.cy = 207;
        d.items = {
            {kTextId, ControlKind::Edit, "", 7, 7, 311, 172,
             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
             WS_EX_CLIENTEDGE},
            {IDOK, ControlKind::Button, "OK", 138, 186, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
        };
        return d;
    }();
    return t;
}

CTextMsgDlg::CTextMsgDlg(Wnd* parent) : Dialog(TextTemplate(), parent) {}

void CTextMsgDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Text(dx, kTextId, m_strText);
}

}  // namespace rymd::shell
