// CDragRectWnd: a rectangle shown over its parent as a thin outline with up to eight square
// knobs, moved by its frame and resized by a knob. The window is shaped by a region, so only the
// outline and the knobs belong to it. The outline can blink between two colours. The parent
// hears WM_NOTIFY tagDragRectNotify: code 0 while a drag changes the rectangle, code 1 when a
// drag ends; GetUpdateFlags tells which edges moved since the last SetRect (0x1 left, 0x2 top,
// 0x4 right, 0x8 bottom).
//
// The rectangle is in the parent's content coordinates: the window is placed at it less the
// parent's scroll-bar positions, taken as pixels.
#pragma once

#include <cstdint>

#include "platform/qt/region.h"
#include "platform/qt/wnd.h"

namespace MbWnd {

using rymd::ui::COLORREF;

struct tagDragRectNotify {
    rymd::ui::NotifyHeader hdr;
    rymd::ui::Rect rect;
};

class CDragRectWnd : public rymd::ui::Wnd {
public:
    // Parts under the mouse: 0 none, 1-8 the knobs (top-left, top, top-right, left, right,
    // bottom-left, bottom, bottom-right), 9 the frame.
    enum { kNone = 0, kFrame = 9 };
    static constexpr int kBlinkTimer = 1;

    CDragRectWnd();
    ~CDragRectWnd() override;

    bool Create(std::uint32_t style, const rymd::ui::Rect& rect, rymd::ui::Wnd* parent, int id);
    void SetRect(rymd::ui::Rect rect);
    void GetRect(rymd::ui::Rect* rect) const;
    std::uint32_t GetUpdateFlags() const { return m_dwUpdateFlags; }
    void SetLimitRect(rymd::ui::Rect rect) { m_rcLimit = rect; }
    void SetColor(COLORREF colour);
    void SetBlinkColor(COLORREF a, COLORREF b, int interval);
    void SetKnobSize(int size);
    void EnableBlackEdgeDisp(bool on);
    void EnableKnobDisp(bool on);
    void EnableDrag(bool on) { m_bDragEnabled = on; }
    COLORREF GetCurrentColor() const { return m_crColor; }
    int GetHoverState() const { return m_nHoverState; }
    // Whether knob (row i, column j) exists for the rectangle's size.
    bool KnobExists(int i, int j) const;
    // Knob (row i, column j) in window coordinates.
    rymd::ui::Rect KnobRect(int i, int j) const;
    const rymd::ui::Region& WindowRegion() const { return m_rgnWindow; }
    const rymd::ui::Region& DrawRegion() const { return m_rgnDraw; }
    // The part at a point in window coordinates.
    int CheckCursorPos(rymd::ui::Point p) const;

    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc&) override { return true; }
    bool OnSetCursor(rymd::ui::Wnd* wnd, int hitTest, unsigned message) override;
    void OnLButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;
    void OnLButtonUp(unsigned flags, rymd::ui::Point point) override;
    void OnCaptureChanged(rymd::ui::Wnd* newCapture) override;
    void OnTimer(int id) override;

private:
    int K() const { return m_nKnobSize + 2; }
    rymd::ui::Rect WindowPlace(const rymd::ui::Rect& r) const;
    void PresetRect(const rymd::ui::Rect& rect);
    void Rebuild();
    void CalcWindowRgn(rymd::ui::Region& rgn) const;
    void CalcDrawRgn(rymd::ui::Region& rgn) const;
    void Notify(int code);
    void EndDrag();

    rymd::ui::Region m_rgnWindow;
    rymd::ui::Region m_rgnDraw;
    rymd::ui::Rect m_rcRect;
    rymd::ui::Rect m_rcLimit{0, 0, 0, 0};
    int m_nHoverState = 0;
    int m_nDragState = 0;
    rymd::ui::Point m_ptLast;
    COLORREF m_crColor = rymd::ui::RGB(255, 0, 0);
    COLORREF m_crA = rymd::ui::RGB(255, 0, 0);
    COLORREF m_crB = rymd::ui::RGB(255, 0, 0);
    int m_nBlinkPhase = 0;
    int m_nKnobSize = 5;
    bool m_bBlackEdge = true;
    bool m_bKnobs = true;
    bool m_bDragEnabled = true;
    std::uint32_t m_dwUpdateFlags = 0;
};

}  // namespace MbWnd
