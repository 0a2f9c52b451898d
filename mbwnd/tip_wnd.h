// CTipWnd: a small top-most pop-up showing a few lines of text near a point on the screen,
// sized to its text, without taking the activation or the input.
//
// Activate shows it standing above the point (left of it when it would pass the desktop's
// right edge, below it when it would pass the top). Flags: bit 0 (kBelowCursor) moves a tip
// that went below the point 16 more pixels down (clear of the mouse cursor); bit 1
// (kHideOnMouseLeave) hides it once the cursor is the check area size (8) or more away from the
// check point in either direction; bit 2 (kHideAfterTime) hides it after the auto-disappear
// time (3000 ms). Both are checked every 100 ms.
#pragma once

#include <cstdint>
#include <string>

#include "platform/qt/font.h"
#include "platform/qt/wnd.h"

namespace MbWnd {

class CTipWnd : public rymd::ui::Wnd {
public:
    static constexpr std::uint32_t kBelowCursor = 0x1;
    static constexpr std::uint32_t kHideOnMouseLeave = 0x2;
    static constexpr std::uint32_t kHideAfterTime = 0x4;
    static constexpr int kTimerId = 1;

    CTipWnd();
    ~CTipWnd() override;

    bool Create(rymd::ui::Wnd* parent);
    void Activate(const char* text, rymd::ui::Point at, std::uint32_t flags, rymd::ui::Point checkPoint);
    void Disappear();
    bool IsActivated() const { return m_bActivated; }
    void SetAutoDisappearTime(int milliseconds) { m_nAutoDisappearTime = milliseconds; }
    void SetMouseMoveCheckAreaSize(int pixels) { m_nCheckAreaSize = pixels; }
    const std::string& GetText() const { return m_strText; }

    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc&) override { return true; }
    void OnTimer(int id) override;

private:
    std::string m_strText;
    std::uint32_t m_dwFlags = 0;
    rymd::ui::Point m_ptCheck{-1, -1};
    rymd::ui::Font m_Font;
    int m_nTextWidth = 0;
    int m_nTextHeight = 0;
    int m_nAutoDisappearTime = 3000;
    int m_nElapsed = 0;
    int m_nCheckAreaSize = 8;
    bool m_bActivated = false;
};

}  // namespace MbWnd
