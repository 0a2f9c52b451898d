#include "mbwnd/multi_text_ctrl.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/qt/app.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

constexpr COLORREF kLinkColour = RGB(180, 40, 160);
constexpr COLORREF kHoverBack = RGB(192, 192, 192);

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// A number in C notation: 0x hexadecimal, 0 octal, else decimal; anything else is 0.
std::uint32_t TagNumber(const std::string& value) {
    return static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 0));
}

// Length of the UTF-8 character that starts at s[i] (a broken sequence counts one byte).
std::size_t CharLength(const std::string& s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

}  // namespace

CMultiTextCtrl::CMultiTextCtrl() : m_crText(RGB(0, 0, 0)), m_crBack(RGB(255, 255, 255)) {
    EnsureApplication();
    m_NormalFont.CreateFont(14, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                            "ＭＳ Ｐゴシック");
    m_LinkFont.CreateFont(14, 0, 0, 0, FW_MEDIUM, false, true, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          "ＭＳ Ｐゴシック");
}

CMultiTextCtrl::~CMultiTextCtrl() {
    m_Menu.DestroyMenu();
    DestroyWindow();
}

Point CMultiTextCtrl::ScrollOffset() const {
    return Point(GetScrollPos(SB_HORZ) * m_sizeLine.cx, GetScrollPos(SB_VERT) * m_sizeLine.cy);
}

Rect CMultiTextCtrl::Moved(const Rect& r) const {
    Rect m = r;
    Point s = ScrollOffset();
    m.OffsetRect(-s.x, -s.y);
    return m;
}

void CMultiTextCtrl::AnalyzeTag(const std::string& tag, std::string& name, std::string& value) {
    std::size_t eq = tag.find('=');
    if (eq == std::string::npos) {
        name = Trim(tag);
        value.clear();
        return;
    }
    name = Trim(tag.substr(0, eq));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    value = Trim(tag.substr(eq + 1));
}

Size CMultiTextCtrl::DrawTextA(Dc& dc, bool measureOnly, Point scroll, int visibleHeight) {
    if (!measureOnly) m_Links.clear();
    dc.SetTextColor(m_crText);
    dc.SetBkColor(m_crBack);
    dc.SetBkMode(m_pBackGroundBmp ? TRANSPARENT : OPAQUE);
    dc.SelectFont(&m_NormalFont);
    COLORREF current = m_crText;
    bool linkOpen = false;
    Point linkStart;
    int linkId = 0;
    int visual = 0;
    int widest = 0;
    const int lh = m_nLineHeight;
    const std::string& text = m_strText;

    auto drawRun = [&](const std::string& run, int x, int y) {
        if (measureOnly || run.empty()) return;
        if (!(y - scroll.y > -lh && y - scroll.y < visibleHeight)) return;
        bool hovered = m_rcHoverLink.left != -1 && x == m_rcHoverLink.left && y == m_rcHoverLink.top;
        if (hovered) dc.SetBkColor(kHoverBack);
        dc.TextOut(x - scroll.x, y - scroll.y, run);
        if (hovered) dc.SetBkColor(m_crBack);
    };

    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lf = text.find('\n', lineStart);
        std::size_t lineEnd = lf == std::string::npos ? text.size() : lf;
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        if (!line.empty() && line.back() == '\r') line.pop_back();

        int y = visual * lh + 1;
        int x = 4;
        std::size_t pos = 0;
        for (;;) {
            std::size_t sep = line.find(m_cTagSeparate, pos);
            std::string run = line.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos);
            while (!run.empty()) {
                int width = dc.GetTextExtent(run).cx;
                if (m_bReturnLineEnd && x + width > m_nClientWidth) {
                    // Take whole characters while they fit; the first one of a line always.
                    // Widths only grow with the prefix, so the last prefix that fits is found by
                    // halving instead of measuring every prefix.
                    std::vector<std::size_t> ends;
                    for (std::size_t i = 0; i < run.size(); i += CharLength(run, i))
                        ends.push_back(i + CharLength(run, i));
                    auto prefixWidth = [&](std::size_t k) {
                        return dc.GetTextExtent(std::string_view(run).substr(0, ends[k - 1])).cx;
                    };
                    std::size_t lo = 0;  // prefixes of lo characters fit
                    std::size_t hi = ends.size();
                    while (lo < hi) {
                        std::size_t mid = (lo + hi + 1) / 2;
                        if (x + prefixWidth(mid) > m_nClientWidth)
                            hi = mid - 1;
                        else
                            lo = mid;
                    }
                    if (lo == 0 && x == 4) lo = 1;
                    std::size_t taken = lo == 0 ? 0 : ends[lo - 1];
                    int takenWidth = lo == 0 ? 0 : prefixWidth(lo);
                    if (taken > 0) {
                        drawRun(run.substr(0, taken), x, y);
                        x += takenWidth;
                    }
                    run.erase(0, taken);
                    // What did not fit continues at the start of the next visual line.
                    if (!run.empty()) {
                        ++visual;
                        y = visual * lh + 1;
                        x = 4;
                    }
                    continue;
                }
                drawRun(run, x, y);
                x += width;
                run.clear();
            }
            if (sep == std::string::npos) break;
            std::size_t close = line.find(m_cTagSeparate, sep + 1);
            if (close == std::string::npos) break;  // an unclosed tag hides the rest of the line
            std::string name;
            std::string value;
            AnalyzeTag(line.substr(sep + 1, close - sep - 1), name, value);
            if (name == "color") {
                std::uint32_t v = TagNumber(value);
                current = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
                dc.SetTextColor(current);
            } else if (name == "link") {
                dc.SelectFont(&m_LinkFont);
                dc.SetTextColor(kLinkColour);
                linkOpen = true;
                linkStart = Point(x, y);
                linkId = static_cast<int>(TagNumber(value));
            } else if (name == "/link") {
                dc.SelectFont(&m_NormalFont);
                dc.SetTextColor(current);
                if (linkOpen && !measureOnly)
                    m_Links.push_back({linkId, Rect(linkStart.x, linkStart.y, x, y + lh)});
                linkOpen = false;
            }
            pos = close + 1;
        }
        widest = std::max(widest, x);
        ++visual;
        if (lf == std::string::npos) break;
        lineStart = lf + 1;
    }
    return Size(widest, visual * lh + 1);
}

Size CMultiTextCtrl::CalcWindowSize() {
    Dc dc = Dc::ForMeasure();
    return DrawTextA(dc, true, Point(0, 0), 0);
}

void CMultiTextCtrl::SetText(std::string text, bool redraw, bool scrollToEnd) {
    const int oldClientWidth = m_nClientWidth;
    SetScrollPos(SB_HORZ, 0, false);
    SetScrollPos(SB_VERT, 0, false);
    m_strText = std::move(text);
    if (m_rcHoverLink.left != -1 && GetCapture() == this) ReleaseCapture();
    m_rcHoverLink = Rect(-1, -1, -1, -1);
    SetRedraw(false);
    const Size page(5 * m_nLineHeight, 5 * m_nLineHeight);
    const Size line(m_nLineHeight, m_nLineHeight);
    SetScrollSizes(CalcWindowSize(), page, line);
    if (m_nClientWidth != oldClientWidth && m_bReturnLineEnd) SetScrollSizes(CalcWindowSize(), page, line);
    if (scrollToEnd && GetClientRect().Height() < m_sizeTotal.cy) {
        int minPos = 0;
        int maxPos = 0;
        GetScrollRange(SB_VERT, &minPos, &maxPos);
        SetScrollPos(SB_VERT, maxPos, true);
    }
    SetRedraw(true);
    if (redraw) {
        Invalidate();
        UpdateWindow();
    }
}

int CMultiTextCtrl::OnCreate() {
    if (CScrollWnd::OnCreate() == -1) return -1;
    SetScrollSizes(CalcWindowSize(), Size(5 * m_nLineHeight, 5 * m_nLineHeight),
                   Size(m_nLineHeight, m_nLineHeight));
    m_nClientWidth = GetClientRect().Width();
    return 0;
}

void CMultiTextCtrl::OnSize(int type, int cx, int cy) {
    CScrollWnd::OnSize(type, cx, cy);
    m_nClientWidth = GetClientRect().Width();
}

void CMultiTextCtrl::OnPaint(Dc& dc) {
    Rect c = GetClientRect();
    Point scroll = ScrollOffset();
    if (!m_pBackGroundBmp || m_pBackGroundBmp->IsEmpty()) {
        dc.FillSolidRect(c, m_crBack);
        DrawTextA(dc, false, scroll, c.Height());
        return;
    }
    // The fixed picture, the back colour around it, the text over both: one copy to the screen.
    Bitmap off;
    if (!off.CreateCompatibleBitmap(std::max(1, c.Width()), std::max(1, c.Height()))) return;
    Dc mem(off);
    int bw = m_pBackGroundBmp->GetWidth();
    int bh = m_pBackGroundBmp->GetHeight();
    mem.DrawControlBmp(0, 0, *m_pBackGroundBmp);
    mem.FillSolidRect(Rect(bw, 0, c.right, c.bottom), m_crBack);
    mem.FillSolidRect(Rect(0, bh, std::min(bw, c.right), c.bottom), m_crBack);
    DrawTextA(mem, false, scroll, c.Height());
    dc.DrawBitmap(0, 0, c.Width(), c.Height(), off, 0, 0);
}

void CMultiTextCtrl::OnLButtonDown(unsigned flags, Point point) {
    m_nPushedLink = -1;
    for (const LinkRecord& link : m_Links)
        if (Moved(link.rect).PtInRect(point)) m_nPushedLink = link.id;
    Wnd::SendCommand(GetParent(), GetDlgCtrlID(), 0, this);
    if (!IsWindow()) return;
    SetFocus();
    CScrollWnd::OnLButtonDown(flags, point);
}

void CMultiTextCtrl::OnMouseMove(unsigned flags, Point point) {
    Point screen = point;
    ClientToScreen(screen);
    bool inside = GetClientRect().PtInRect(point) && WindowFromPoint(screen) == this;
    Rect found(-1, -1, -1, -1);
    if (inside) {
        for (const LinkRecord& link : m_Links) {
            if (Moved(link.rect).PtInRect(point)) {
                found = link.rect;
                break;
            }
        }
    }
    if (found != m_rcHoverLink) {
        Rect old = m_rcHoverLink;
        m_rcHoverLink = found;
        if (old.left != -1) {
            Rect r = Moved(old);
            InvalidateRect(&r);
        }
        if (found.left != -1) {
            Rect r = Moved(found);
            InvalidateRect(&r);
        }
        UpdateWindow();
        if (old.left == -1 && found.left != -1) SetCapture();
        if (found.left == -1 && GetCapture() == this) ReleaseCapture();
    }
    CScrollWnd::OnMouseMove(flags, point);
}

bool CMultiTextCtrl::OnMouseWheel(unsigned, int delta, Point) {
    if (m_sizeTotal.cy > GetClientRect().Height()) {
        Point pos = GetScrollPosition();
        pos.y += delta < 0 ? 1 : -1;
        if (m_pBackGroundBmp) {
            SetRedraw(false);
            SetScrollPosition(pos);
            SetRedraw(true);
            RedrawWindow();
        } else {
            SetScrollPosition(pos);
        }
    }
    return true;
}

void CMultiTextCtrl::OnVScroll(int code, int pos) {
    if (!m_pBackGroundBmp) {
        CScrollWnd::OnVScroll(code, pos);
        return;
    }
    SetRedraw(false);
    CScrollWnd::OnVScroll(code, pos);
    SetRedraw(true);
    RedrawWindow();
}

void CMultiTextCtrl::OnHScroll(int code, int pos) {
    if (!m_pBackGroundBmp) {
        CScrollWnd::OnHScroll(code, pos);
        return;
    }
    SetRedraw(false);
    CScrollWnd::OnHScroll(code, pos);
    SetRedraw(true);
    RedrawWindow();
}

void CMultiTextCtrl::OnRButtonDown(unsigned flags, Point point) {
    m_Menu.DestroyMenu();
    m_Menu.CreatePopupMenu();
    m_Menu.AppendMenu(MF_STRING | (m_strText.empty() ? MF_GRAYED : 0), kCommandCopy, "コピー(&C)");
    Rect wr = GetWindowRect();
    m_Menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, wr.left + point.x, wr.top + point.y, this);
    if (IsWindow()) CScrollWnd::OnRButtonDown(flags, point);
}

bool CMultiTextCtrl::OnCommand(int id, int code, Wnd* from) {
    if (id != kCommandCopy) return CScrollWnd::OnCommand(id, code, from);
    if (!m_strText.empty()) {
        std::string copy;
        copy.reserve(m_strText.size() + m_strText.size() / 16);
        for (char c : m_strText) {
            if (c == '\n') copy += '\r';
            copy += c;
        }
        SetClipboardText(copy);
    }
    return true;
}

}  // namespace MbWnd
