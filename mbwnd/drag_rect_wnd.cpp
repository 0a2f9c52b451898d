#include "mbwnd/drag_rect_wnd.h"

#include <algorithm>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

Rect Normalized(Rect r) {
    r.NormalizeRect();
    return r;
}

bool HasLimit(const Rect& r) {
    return !(r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0);
}

constexpr int kPartOf[3][3] = {{1, 2, 3}, {4, 0, 5}, {6, 7, 8}};

}  // namespace

CDragRectWnd::CDragRectWnd() = default;

CDragRectWnd::~CDragRectWnd() {
    DestroyWindow();
}

Rect CDragRectWnd::WindowPlace(const Rect& r) const {
    const int k = K();
    Rect w(r.left - k / 2, r.top - k / 2, r.right + k / 2 + 1, r.bottom + k / 2 + 1);
    if (Wnd* p = GetParent()) w.OffsetRect(-p->GetScrollPos(SB_HORZ), -p->GetScrollPos(SB_VERT));
    return w;
}

bool CDragRectWnd::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    m_rcRect = Normalized(rect);
    if (!Wnd::Create(style | WS_CHILD, Rect(0, 0, 1, 1), parent, id)) return false;
    m_nHoverState = m_nDragState = 0;
    PresetRect(m_rcRect);
    return true;
}

bool CDragRectWnd::KnobExists(int i, int j) const {
    if (i == 1 && j == 1) return false;
    const Rect r = Normalized(m_rcRect);
    if (j == 1 && r.Width() < 2 * m_nKnobSize + 8) return false;
    if (i == 1 && r.Height() < 2 * m_nKnobSize + 8) return false;
    return true;
}

Rect CDragRectWnd::KnobRect(int i, int j) const {
    const Rect r = Normalized(m_rcRect);
    const int x = r.Width() * j / 2;
    const int y = r.Height() * i / 2;
    return Rect(x, y, x + K(), y + K());
}

void CDragRectWnd::CalcWindowRgn(Region& rgn) const {
    const Rect r = Normalized(m_rcRect);
    const int w = r.Width();
    const int h = r.Height();
    const int k2 = K() / 2;
    rgn = Region(Rect(k2 - 1, k2 - 1, w + k2 + 2, h + k2 + 2));
    if (w >= 4 && h >= 4) rgn.Subtract(Region(Rect(k2 + 2, k2 + 2, w + k2 - 1, h + k2 - 1)));
    if (m_bKnobs)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (KnobExists(i, j)) rgn.Add(Region(KnobRect(i, j)));
}

void CDragRectWnd::CalcDrawRgn(Region& rgn) const {
    const Rect r = Normalized(m_rcRect);
    const int w = r.Width();
    const int h = r.Height();
    const int k2 = K() / 2;
    rgn = Region(Rect(k2, k2, w + k2 + 1, h + k2 + 1));
    if (w >= 2 && h >= 2) rgn.Subtract(Region(Rect(k2 + 1, k2 + 1, w + k2, h + k2)));
    if (m_bKnobs)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                if (!KnobExists(i, j)) continue;
                Rect kr = KnobRect(i, j);
                rgn.Subtract(Region(kr));
                kr.DeflateRect(1, 1);
                rgn.Add(Region(kr));
            }
}

void CDragRectWnd::PresetRect(const Rect& rect) {
    m_rcRect = rect;
    CalcWindowRgn(m_rgnWindow);
    CalcDrawRgn(m_rgnDraw);
    if (!IsWindow()) return;
    MoveWindow(WindowPlace(Normalized(m_rcRect)), false);
    SetWindowRgn(m_bBlackEdge ? &m_rgnWindow : &m_rgnDraw, false);
}

void CDragRectWnd::Rebuild() {
    if (!IsWindow()) return;
    PresetRect(m_rcRect);
    RedrawWindow();
}

void CDragRectWnd::SetRect(Rect rect) {
    m_dwUpdateFlags = 0;
    rect.NormalizeRect();
    if (rect == m_rcRect) return;
    PresetRect(rect);
    if (IsWindow()) RedrawWindow();
}

void CDragRectWnd::GetRect(Rect* rect) const {
    if (rect) *rect = Normalized(m_rcRect);
}

void CDragRectWnd::SetColor(COLORREF colour) {
    m_crColor = m_crA = m_crB = colour;
    m_nBlinkPhase = 0;
    if (IsWindow()) {
        KillTimer(kBlinkTimer);
        Invalidate(false);
    }
}

void CDragRectWnd::SetBlinkColor(COLORREF a, COLORREF b, int interval) {
    m_crA = a;
    m_crB = b;
    m_nBlinkPhase = 0;
    m_crColor = a;
    if (IsWindow()) {
        SetTimer(kBlinkTimer, interval);
        Invalidate(false);
    }
}

void CDragRectWnd::SetKnobSize(int size) {
    m_nKnobSize = std::max(0, size);
    Rebuild();
}

void CDragRectWnd::EnableBlackEdgeDisp(bool on) {
    m_bBlackEdge = on;
    Rebuild();
}

void CDragRectWnd::EnableKnobDisp(bool on) {
    m_bKnobs = on;
    Rebuild();
}

int CDragRectWnd::CheckCursorPos(Point p) const {
    if (!m_bDragEnabled) return kNone;
    for (int i = 2; i >= 0; --i)
        for (int j = 2; j >= 0; --j)
            if (KnobExists(i, j) && KnobRect(i, j).PtInRect(p)) return kPartOf[i][j];
    if (m_bBlackEdge) {
        const Rect r = Normalized(m_rcRect);
        const int k2 = K() / 2;
        const Rect outer(k2 - 1, k2 - 1, r.Width() + k2 + 2, r.Height() + k2 + 2);
        const Rect inner(k2 + 2, k2 + 2, r.Width() + k2 - 1, r.Height() + k2 - 1);
        if (outer.PtInRect(p) && !inner.PtInRect(p)) return kFrame;
    }
    return kNone;
}

bool CDragRectWnd::OnSetCursor(Wnd*, int, unsigned) {
    Cursor c = Cursor::Arrow;
    switch (m_nHoverState) {
        case 1:
        case 8: c = Cursor::SizeNWSE; break;
        case 3:
        case 6: c = Cursor::SizeNESW; break;
        case 2:
        case 7: c = Cursor::SizeNS; break;
        case 4:
        case 5: c = Cursor::SizeWE; break;
        case kFrame: c = Cursor::SizeAll; break;
        default: return false;
    }
    SetCursor(this, c);
    return true;
}

void CDragRectWnd::OnPaint(Dc& dc) {
    dc.FillRgn(m_rgnDraw, m_crColor);
    if (m_bBlackEdge) {
        Region edge = m_rgnWindow;
        edge.Subtract(m_rgnDraw);
        dc.FillRgn(edge, RGB(0, 0, 0));
    }
}

void CDragRectWnd::Notify(int code) {
    tagDragRectNotify n;
    n.hdr.hwndFrom = this;
    n.hdr.idFrom = GetDlgCtrlID();
    n.hdr.code = code;
    n.rect = Normalized(m_rcRect);
    SendNotify(GetParent(), &n.hdr);
}

void CDragRectWnd::OnLButtonDown(unsigned, Point point) {
    m_nHoverState = CheckCursorPos(point);
    if (m_nHoverState == kNone) return;
    m_nDragState = m_nHoverState;
    ClientToScreen(point);
    m_ptLast = point;
    SetCapture();
}

void CDragRectWnd::OnMouseMove(unsigned, Point point) {
    if (m_nDragState == kNone) {
        m_nHoverState = CheckCursorPos(point);
        return;
    }
    ClientToScreen(point);
    int dx = point.x - m_ptLast.x;
    int dy = point.y - m_ptLast.y;
    Rect r = m_rcRect;
    const bool bounded = HasLimit(m_rcLimit);
    const Rect& lim = m_rcLimit;
    if (m_nDragState == kFrame && bounded) {
        dx = std::max(dx, lim.left - r.left);
        dx = std::min(dx, lim.right - r.right);
        dy = std::max(dy, lim.top - r.top);
        dy = std::min(dy, lim.bottom - r.bottom);
    }
    const bool moveLeft =
        m_nDragState == 1 || m_nDragState == 4 || m_nDragState == 6 || m_nDragState == kFrame;
    const bool moveRight =
        m_nDragState == 3 || m_nDragState == 5 || m_nDragState == 8 || m_nDragState == kFrame;
    const bool moveTop =
        m_nDragState == 1 || m_nDragState == 2 || m_nDragState == 3 || m_nDragState == kFrame;
    const bool moveBottom =
        m_nDragState == 6 || m_nDragState == 7 || m_nDragState == 8 || m_nDragState == kFrame;
    if (moveLeft) {
        r.left += dx;
        m_dwUpdateFlags |= 0x1;
    }
    if (moveTop) {
        r.top += dy;
        m_dwUpdateFlags |= 0x2;
    }
    if (moveRight) {
        r.right += dx;
        m_dwUpdateFlags |= 0x4;
    }
    if (moveBottom) {
        r.bottom += dy;
        m_dwUpdateFlags |= 0x8;
    }
    m_ptLast.x += dx;
    m_ptLast.y += dy;
    if (bounded) {
        auto hold = [&](int& v, int lo, int hi, int& last) {
            int corr = 0;
            if (v < lo) corr = lo - v;
            if (v + corr > hi) corr = hi - v;
            v += corr;
            last += corr;
        };
        hold(r.left, lim.left, lim.right, m_ptLast.x);
        hold(r.right, lim.left, lim.right, m_ptLast.x);
        hold(r.top, lim.top, lim.bottom, m_ptLast.y);
        hold(r.bottom, lim.top, lim.bottom, m_ptLast.y);
    }
    if (r == m_rcRect) return;
    if (Wnd* p = GetParent()) {
        Rect old = GetWindowRect();
        p->ScreenToClient(old);
        p->InvalidateRect(&old, true);
        p->UpdateWindow();
    }
    PresetRect(r);
    RedrawWindow();
    Notify(0);
}

void CDragRectWnd::EndDrag() {
    m_nDragState = kNone;
    Rect n = Normalized(m_rcRect);
    if (!(n == m_rcRect)) {
        m_dwUpdateFlags |= 0xF;
        PresetRect(n);
        if (IsWindow()) RedrawWindow();
    }
    Notify(1);
}

void CDragRectWnd::OnLButtonUp(unsigned, Point) {
    if (m_nDragState == kNone) return;
    EndDrag();
    if (GetCapture() == this) ReleaseCapture();
}

void CDragRectWnd::OnCaptureChanged(Wnd* newCapture) {
    if (m_nDragState == kNone || newCapture == this) return;
    EndDrag();
}

void CDragRectWnd::OnTimer(int) {
    m_nBlinkPhase = 1 - m_nBlinkPhase;
    m_crColor = m_nBlinkPhase == 0 ? m_crA : m_crB;
    Invalidate(false);
}

}  // namespace MbWnd
