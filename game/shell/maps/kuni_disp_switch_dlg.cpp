#include "game/state/queries.h"

#include "game/shell/maps/kuni_disp_switch_dlg.h"

namespace rymd::shell {

using namespace ui;

const DialogTemplate& CKuniDispSwitchDlg::SwitchTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "国表示切替";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 300;
        d.cy = 232;
        d.items = {
            {0, ControlKind::Static, "クリックした国に表示を切り替えます", 7, 7, 286, 8,
             WS_CHILD | WS_VISIBLE, 0},
            {kMapPlaceId, ControlKind::Static, "", 7, 18, 286, 188, WS_CHILD | WS_VISIBLE, 0},
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 243, 211, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CKuniDispSwitchDlg::CKuniDispSwitchDlg(MbKorMap::CCtrlKorMap* map, const GameState* gs, Wnd* parent)
    : Dialog(SwitchTemplate(), parent), map_(map), gs_(gs) {
    map_.SetGameState(gs);
}

void CKuniDispSwitchDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDCANCEL, cancel_);
}

bool CKuniDispSwitchDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    m_nKuni = -1;
    Rect place;
    for (const DialogItem& i : Template().items)
        if (i.id == kMapPlaceId) place = MapDialogRect(Rect(i.x, i.y, i.x + i.cx, i.y + i.cy));
    if (Wnd* w = GetDlgItem(kMapPlaceId)) w->ShowWindow(SW_HIDE);
    // The view fits and draws itself with no province selected when it is created.
    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, place, this, kMapId);
    return true;
}

bool CKuniDispSwitchDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kMapId) {
        const int k = map_.m_nClickKuni;
        if (k != -1 && gs_ && CountShiroInKuni(*gs_, k) > 0) {
            m_nKuni = k;
            EndDialog(IDOK);
        }
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

}  // namespace rymd::shell
