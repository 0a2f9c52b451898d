#include "mbwnd/tip_wnd.h"

#include <cstdlib>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

CTipWnd::CTipWnd() = default;

CTipWnd::~CTipWnd() {
    DestroyWindow();
}

bool CTipWnd::Create(Wnd* parent) {
    m_strText.clear();
    if (!CreateEx(WS_EX_TOPMOST, WS_POPUP | WS_DISABLED, Rect(0, 0, 50, 50), parent, 0)) return false;
    m_Font.CreateFont(12, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                      "ＭＳ Ｐゴシック");
    return true;
}

void CTipWnd::Activate(const char* text, Point at, std::uint32_t flags, Point checkPoint) {
    if (!IsWindow()) return;
    m_strText = text ? text : "";
    m_dwFlags = flags;
    m_ptCheck = checkPoint;
    Dc dc = Dc::ForMeasure();
    dc.SelectFont(&m_Font);
    int lines = 0;
    int lineHeight = 0;
    m_nTextWidth = 0;
    for (std::size_t start = 0;;) {
        const std::size_t end = m_strText.find('\n', start);
        const Size s = dc.GetTextExtent(std::string_view(m_strText).substr(start, end - start));
        m_nTextWidth = std::max(m_nTextWidth, s.cx);
        lineHeight = s.cy;
        ++lines;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    m_nTextHeight = lineHeight * lines;
    const int w = m_nTextWidth + 8;
    const int h = m_nTextHeight + 4;
    int left = at.x;
    int top = at.y - h;
    bool movedLeft = false;
    if (left + w > GetSystemMetrics(SM_CXSCREEN)) {
        left = at.x - w;
        movedLeft = true;
    }
    if (top < 0) {
        top = at.y;
        if ((flags & kBelowCursor) && !movedLeft) top += 16;
    }
    MoveWindow(Rect(left, top, left + w, top + h));
    ShowWindow(SW_SHOWNA);
    RedrawWindow();
    if (flags & (kHideOnMouseLeave | kHideAfterTime)) {
        m_nElapsed = 0;
        SetTimer(kTimerId, 100);
    }
    m_bActivated = true;
}

void CTipWnd::Disappear() {
    m_bActivated = false;
    if (!IsWindow()) return;
    ShowWindow(SW_HIDE);
    KillTimer(kTimerId);
}

void CTipWnd::OnTimer(int) {
    if (m_dwFlags & kHideOnMouseLeave) {
        const Point p = GetCursorPos();
        if (std::abs(p.x - m_ptCheck.x) >= m_nCheckAreaSize ||
            std::abs(p.y - m_ptCheck.y) >= m_nCheckAreaSize) {
            Disappear();
            return;
        }
    }
    if (m_dwFlags & kHideAfterTime) {
        m_nElapsed += 100;
        if (m_nElapsed >= m_nAutoDisappearTime) Disappear();
    }
}

void CTipWnd::OnPaint(Dc& dc) {
    const Rect c = GetClientRect();
    dc.FillSolidRect(c, RGB(255, 255, 196));
    dc.FrameRect(c, RGB(0, 0, 0));
    dc.SelectFont(&m_Font);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    Rect r(4, 2, c.right, c.bottom);
    dc.DrawText(m_strText, r, 0);
}

}  // namespace MbWnd
