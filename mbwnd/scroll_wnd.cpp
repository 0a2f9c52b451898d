#include "mbwnd/scroll_wnd.h"

#include <algorithm>

namespace MbWnd {

using namespace rymd::ui;

CScrollWnd::CScrollWnd() = default;
CScrollWnd::~CScrollWnd() = default;

bool CScrollWnd::Create(std::uint32_t style, const Rect& rect, Wnd* parent, unsigned id, void* context) {
    return CreateEx(0, style, rect, parent, id, context);
}

bool CScrollWnd::CreateEx(std::uint32_t exStyle, std::uint32_t style, const Rect& rect, Wnd* parent,
                          unsigned id, void*) {
    return Wnd::CreateEx(exStyle, style, rect, parent, static_cast<int>(id), "");
}

void CScrollWnd::SetScrollSizes(Size total, Size page, Size line) {
    m_sizeTotal = total;
    m_sizePage = page;
    // The ranges and page steps divide by the line size: it is at least one pixel.
    m_sizeLine = Size(std::max(1, line.cx), std::max(1, line.cy));
    AdjustScrollBar();
}

Point CScrollWnd::GetScrollPosition() const {
    return Point(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

void CScrollWnd::AdjustScrollBar() {
    if (!IsWindow()) return;
    m_bAdjusting = true;
    if (m_nHorzShowMode == 1) {
        ShowScrollBar(SB_HORZ, true);
        ShowScrollBar(SB_VERT, false);
    } else {
        ShowScrollBar(SB_BOTH, false);
    }
    bool horzShown = m_nHorzShowMode == 1;
    bool vertShown = false;
    const bool horzMode = m_nHorzShowMode == 0 || m_nHorzShowMode == 1;
    const bool vertMode = m_nVertShowMode == 0 || m_nVertShowMode == 1;
    for (;;) {
        Rect c = GetClientRect();
        if (c.Width() < m_sizeTotal.cx && horzMode) {
            EnableScrollBar(SB_HORZ, ESB_ENABLE_BOTH);
            if (!horzShown) {
                ShowScrollBar(SB_HORZ, true);
                horzShown = true;
                continue;
            }
        } else if (m_nHorzShowMode == 1) {
            EnableScrollBar(SB_HORZ, ESB_DISABLE_BOTH);
            if (!horzShown) {
                ShowScrollBar(SB_HORZ, true);
                horzShown = true;
                continue;
            }
        }
        if (c.Height() >= m_sizeTotal.cy || !vertMode || vertShown) break;
        ShowScrollBar(SB_VERT, true);
        vertShown = true;
    }

    Rect c = GetClientRect();
    if (c.Width() < m_sizeTotal.cx) {
        int lines = (m_sizeTotal.cx + m_sizeLine.cx - 1) / m_sizeLine.cx;
        SetScrollInfo(SB_HORZ, 0, lines - 1, c.Width() / m_sizeLine.cx, true);
        // Setting a range shows the bar: a bar the modes keep hidden is hidden again.
        if (!horzShown) ShowScrollBar(SB_HORZ, false);
    } else {
        SetScrollPos(SB_HORZ, 0, true);
    }
    c = GetClientRect();
    if (c.Height() < m_sizeTotal.cy) {
        int lines = (m_sizeTotal.cy + m_sizeLine.cy - 1) / m_sizeLine.cy;
        SetScrollInfo(SB_VERT, 0, lines - 1, c.Height() / m_sizeLine.cy, true);
        if (!vertShown) ShowScrollBar(SB_VERT, false);
    } else {
        SetScrollPos(SB_VERT, 0, true);
    }
    RedrawWindow();
    m_bAdjusting = false;
}

void CScrollWnd::Scroll(int bar, int code, int pos) {
    int cur = GetScrollPos(bar);
    int minPos = 0;
    int maxPos = 0;
    GetScrollRange(bar, &minPos, &maxPos);
    const int page = bar == SB_HORZ ? m_sizePage.cx / m_sizeLine.cx : m_sizePage.cy / m_sizeLine.cy;
    switch (code) {
        case SB_LINEUP: cur -= 1; break;
        case SB_LINEDOWN: cur += 1; break;
        case SB_PAGEUP: cur -= page; break;
        case SB_PAGEDOWN: cur += page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: cur = pos; break;
        case SB_TOP: cur = 0; break;
        case SB_BOTTOM: cur = maxPos; break;
        default: break;
    }
    if (bar == SB_HORZ)
        SetScrollPosition(Point(cur, GetScrollPos(SB_VERT)));
    else
        SetScrollPosition(Point(GetScrollPos(SB_HORZ), cur));
}

void CScrollWnd::OnHScroll(int code, int pos) {
    Scroll(SB_HORZ, code, pos);
    Wnd::OnHScroll(code, pos);
}

void CScrollWnd::OnVScroll(int code, int pos) {
    Scroll(SB_VERT, code, pos);
    Wnd::OnVScroll(code, pos);
}

void CScrollWnd::SetScrollPosition(Point pos) {
    int oldX = GetScrollPos(SB_HORZ);
    int oldY = GetScrollPos(SB_VERT);
    SetScrollPos(SB_HORZ, pos.x, true);
    SetScrollPos(SB_VERT, pos.y, true);
    int newX = GetScrollPos(SB_HORZ);
    int newY = GetScrollPos(SB_VERT);
    if (newX == oldX && newY == oldY) return;
    ScrollWindow((oldX - newX) * m_sizeLine.cx, (oldY - newY) * m_sizeLine.cy, nullptr, &m_rcScroll);
    UpdateWindow();
}

void CScrollWnd::OnSize(int type, int cx, int cy) {
    Wnd::OnSize(type, cx, cy);
    // Showing a bar inside the adjustment resizes the client area: no second adjustment.
    if (!m_bAdjusting) AdjustScrollBar();
}

}  // namespace MbWnd
