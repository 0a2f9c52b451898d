#include "game/shell/dialogs/events/long_text_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include <algorithm>

#include "platform/qt/app.h"

namespace rymd::shell {

using ui::Rect;

const ui::DialogTemplate& CLongTextDlg::LongTextTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 300;
        d.cy = 196;
        d.items = {
            {kPlaceId, ui::ControlKind::Custom, "", 7, 7, 286, 160, ui::WS_CHILD, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 243, 175, 50, 14,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_OWNERDRAW, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "ｷｬﾝｾﾙ", 187, 175, 50, 14,
             ui::WS_CHILD | ui::WS_TABSTOP | ui::BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CLongTextDlg::CLongTextDlg(ui::Wnd* parent) : Dialog(LongTextTemplate(), parent) {}

CLongTextDlg::~CLongTextDlg() = default;

void CLongTextDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
}

bool CLongTextDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(m_strTitle);
    ui::Wnd* place = GetDlgItem(kPlaceId);
    Rect t = place ? place->GetWindowRect() : Rect();
    if (place) place->ShowWindow(ui::SW_HIDE);
    Rect b = okCancel_.ok.GetWindowRect();
    ScreenToClient(t);
    ScreenToClient(b);
    Rect cb = okCancel_.cancel.GetWindowRect();
    ScreenToClient(cb);
    Rect w = GetWindowRect();
    const bool picture = m_pPicture && !m_pPicture->IsEmpty();
    if (picture) {
        const int pw = m_pPicture->GetWidth(), ph = m_pPicture->GetHeight();
        const int dx = pw - t.Width(), dy = ph - t.Height();
        w.right += dx;
        w.bottom += dy;
        b.OffsetRect(dx, 0);
        cb.OffsetRect(dx, 0);
        t = Rect(t.left, t.top, t.left + pw, t.top + ph);
        okCancel_.ok.MoveWindow(b);
        okCancel_.cancel.MoveWindow(cb);
    }
    // Centred on the main window (or the screen), never off the top-left.
    Rect around(0, 0, ui::GetSystemMetrics(ui::SM_CXSCREEN), ui::GetSystemMetrics(ui::SM_CYSCREEN));
    if (ui::Wnd* main = ui::GetMainWindow(); main && main != this && main->IsWindow())
        around = main->GetWindowRect();
    const ui::Point c = around.CenterPoint();
    w.OffsetRect(c.x - w.CenterPoint().x, c.y - w.CenterPoint().y);
    if (w.left < 0) w.OffsetRect(-w.left, 0);
    if (w.top < 0) w.OffsetRect(0, -w.top);
    MoveWindow(w);

    if (picture) {
        text_.SetBackGroundBmp(m_pPicture);
        text_.SetTextColor(m_crText);
    }
    text_.SetReturnLineEnd(true);
    text_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_BORDER | ui::WS_GROUP, t,
                   this, kTextId);
    text_.SetText(m_strText, false, false);
    okCancel_.cancel.ShowWindow(m_bCancelButton ? ui::SW_SHOW : ui::SW_HIDE);
    return true;
}

void ShowLongTextDlg(ui::Wnd* parent, const std::string& title, const std::string& text,
                     const std::uint8_t* data, std::size_t size, ui::COLORREF colour) {
    MbBmp::CControlBmp picture;
    if (data && size >= 4) {
        const int n = static_cast<int>(std::min<std::size_t>(size, std::size_t{64} << 20));
        bool ok = false;
        if (data[0] == 0xFF && data[1] == 0xD8)
            ok = picture.LoadJpegData(data, n, true);
        else if (data[0] == 0x89 && data[1] == 'P')
            ok = picture.LoadPngData(data, n, true);
        else if (data[0] == 'B' && data[1] == 'M')
            ok = picture.LoadBmpData(data, n, true);
        if (!ok) picture.FreeBitmap();
    }
    CLongTextDlg dlg(parent);
    dlg.m_strTitle = title;
    dlg.m_strText = text;
    dlg.m_crText = colour;
    dlg.m_pPicture = picture.IsEmpty() ? nullptr : &picture;
    dlg.DoModal();
}

}  // namespace rymd::shell
