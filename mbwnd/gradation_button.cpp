#include "mbwnd/gradation_button.h"

#include <algorithm>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace MbWnd {

using namespace rymd::ui;

bool CGradationButton::s_bFocusDisp = true;
COLORREF CGradationButton::s_crFocusFrame = RGB(0, 0, 0);

namespace {

COLORREF Scale(COLORREF c, int num, int den) {
    return RGB(std::min(255, GetRValue(c) * num / den), std::min(255, GetGValue(c) * num / den),
               std::min(255, GetBValue(c) * num / den));
}

// One channel of the gradient at row y of h rows.
int Mix(int top, int bottom, int y, int h) {
    return h <= 1 ? top : top + (bottom - top) * y / (h - 1);
}

}  // namespace

CGradationButton::CGradationButton() {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    m_crTop = Scale(face, 10, 9);
    m_crBottom = Scale(face, 4, 5);
    m_crFocusedTop = m_crTop;
    m_crFocusedBottom = m_crBottom;
}

CGradationButton::~CGradationButton() = default;

void CGradationButton::SetColor(COLORREF top, COLORREF bottom) {
    m_crTop = top;
    m_crBottom = bottom;
}

void CGradationButton::SetFocusedColor(COLORREF top, COLORREF bottom) {
    m_crFocusedTop = top;
    m_crFocusedBottom = bottom;
}

void CGradationButton::SetFocusDisp(bool show, COLORREF frameColour) {
    s_bFocusDisp = show;
    s_crFocusFrame = frameColour;
}

void CGradationButton::DrawItem(DrawItemStruct& dis) {
    if (!dis.hDC) return;
    Dc& dc = *dis.hDC;
    Rect rc = dis.rcItem;
    bool focused = GetFocus() == this && s_bFocusDisp;
    bool pushed = (dis.itemState & ODS_SELECTED) != 0;
    Bitmap face;
    CreateBmp(face, focused ? m_crFocusedTop : m_crTop, focused ? m_crFocusedBottom : m_crBottom, pushed);
    if (!face.IsNull()) dc.DrawBitmap(0, 0, rc.Width(), rc.Height(), face, 0, 0);
    if (focused) dc.FrameRect(rc, s_crFocusFrame);
}

void CGradationButton::CreateBmp(Bitmap& bitmap, COLORREF top, COLORREF bottom, bool pushed) {
    Rect wr = GetWindowRect();
    int w = wr.Width();
    int h = wr.Height();
    std::string caption = GetWindowText();
    bitmap.DeleteObject();
    if (!bitmap.CreateCompatibleBitmap(w, h)) return;
    Dc dc(bitmap);
    dc.FillSolidRect(0, 0, w, h, RGB(0, 0, 0));
    const int off = pushed ? 1 : 0;

    // The gradient, one row at a time (a pushed face moves one pixel right and down).
    for (int y = 0; y < h; ++y) {
        COLORREF c =
            RGB(Mix(GetRValue(top), GetRValue(bottom), y, h), Mix(GetGValue(top), GetGValue(bottom), y, h),
                Mix(GetBValue(top), GetBValue(bottom), y, h));
        dc.FillSolidRect(off, y + off, w, 1, c);
    }

    // The bevel.
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    const COLORREF topHalf = Scale(top, 1, 2);
    const COLORREF bottomHalf = Scale(bottom, 1, 2);
    const COLORREF bottomQuarter = Scale(bottom, 1, 4);
    auto line = [&dc](int l, int t, int r, int b, COLORREF c) { dc.FillSolidRect(Rect(l, t, r, b), c); };
    if (!pushed) {
        line(0, 0, w, 1, white);
        line(0, 1, w - 1, 2, white);
        line(0, 0, 1, h, white);
        line(1, 0, 2, h - 1, white);
        line(1, h - 2, w, h - 1, bottomHalf);
        line(w - 2, 1, w - 1, h, bottomHalf);
    } else {
        line(0, 0, w, 1, black);
        line(0, 1, w - 1, 2, topHalf);
        line(0, 0, 1, h, black);
        line(1, 0, 2, h - 1, topHalf);
    }
    line(0, h - 1, w, h, bottomQuarter);
    line(w - 1, 0, w, h, bottomQuarter);

    // The caption, centred on one line.
    dc.SelectFont(GetFont());
    dc.SetBkMode(TRANSPARENT);
    Rect text(off, off, w + off, h + off);
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (IsWindowEnabled()) {
        dc.SetTextColor(black);
        dc.DrawText(caption, text, format);
    } else {
        Rect shadow = text;
        shadow.OffsetRect(1, 1);
        dc.SetTextColor(white);
        dc.DrawText(caption, shadow, format);
        dc.SetTextColor(RGB(128, 128, 128));
        dc.DrawText(caption, text, format);
    }
}

bool CGradationButton::PreTranslateMessage(Msg& msg) {
    if (msg.wnd == this && msg.message == WM_KEYDOWN && msg.key == VK_RETURN) {
        // Enter presses this button, unless it is held down already.
        if (GetState() & BST_PUSHED) return true;
        if (Wnd* parent = GetParent()) Wnd::SendCommand(parent, GetDlgCtrlID(), BN_CLICKED, this);
        return true;
    }
    // Quick repeated clicks each press the button.
    if (msg.wnd == this && msg.message == WM_LBUTTONDBLCLK) msg.message = WM_LBUTTONDOWN;
    return Button::PreTranslateMessage(msg);
}

void CGradationButton::OnMouseMove(unsigned flags, Point point) {
    Button::OnMouseMove(flags, point);
}

void CGradationButton::OnCaptureChanged(Wnd* newCapture) {
    Button::OnCaptureChanged(newCapture);
}

}  // namespace MbWnd
