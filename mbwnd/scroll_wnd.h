// CScrollWnd: the base of every scrolling window (grid panes, the rich-text control, the map
// windows).
//
// It keeps the scroll geometry in pixels (total size, page size, line size), shows, hides or
// disables its own scroll bars by a show mode per bar, turns scroll-bar requests into positions
// and scrolls the client area by whole lines. It paints nothing: a derived window paints its
// content shifted by position x line size.
//
// Show modes (read at each adjustment):
//   0      the bar is shown while the content is wider (taller) than the client area
//   1      horizontal: always shown, its arrows disabled while the content fits;
//          vertical: the same as 0
//   other  never shown (positions can still be set with SetScrollPosition)
#pragma once

#include "platform/qt/wnd.h"

namespace MbWnd {

class CScrollWnd : public rymd::ui::Wnd {
public:
    CScrollWnd();
    ~CScrollWnd() override;

    // Creates the window (a child, empty window name). context is passed through unused.
    virtual bool Create(std::uint32_t style, const rymd::ui::Rect& rect, rymd::ui::Wnd* parent, unsigned id,
                        void* context = nullptr);
    virtual bool CreateEx(std::uint32_t exStyle, std::uint32_t style, const rymd::ui::Rect& rect,
                          rymd::ui::Wnd* parent, unsigned id, void* context = nullptr);

    // Stores the sizes (line sizes below 1 count as 1) and adjusts the bars.
    void SetScrollSizes(rymd::ui::Size total, rymd::ui::Size page, rymd::ui::Size line);
    void SetHorzScrollVerShowMode(int mode) { m_nHorzShowMode = mode; }
    void SetVertScrollVerShowMode(int mode) { m_nVertShowMode = mode; }
    // Moves both bars to the positions (in lines) and scrolls the client area by the change.
    void SetScrollPosition(rymd::ui::Point pos);
    // The clip rectangle of later scrolling.
    void SetScrollRect(rymd::ui::Rect& rect) { m_rcScroll = rect; }

    rymd::ui::Point GetScrollPosition() const;
    rymd::ui::Size GetTotalSize() const { return m_sizeTotal; }
    rymd::ui::Size GetPageSize() const { return m_sizePage; }
    rymd::ui::Size GetLineSize() const { return m_sizeLine; }

    void OnHScroll(int code, int pos) override;
    void OnVScroll(int code, int pos) override;
    void OnSize(int type, int cx, int cy) override;

protected:
    rymd::ui::Size m_sizeTotal{0, 0};
    rymd::ui::Size m_sizePage{10, 10};
    rymd::ui::Size m_sizeLine{1, 1};
    bool m_bAdjusting = false;
    rymd::ui::Rect m_rcScroll{0, 0, 10000, 10000};
    int m_nHorzShowMode = 0;
    int m_nVertShowMode = 0;

private:
    void AdjustScrollBar();
    void Scroll(int bar, int code, int pos);
};

}  // namespace MbWnd
