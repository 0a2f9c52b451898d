// CKuniMapWnd: the scrolling window that shows the whole country as a province map. The map
// object renders relief, provinces and lines into the window's own bitmap at the size that fits
// the client area (never narrower than the minimum map width), and the window shows it framed
// with a drop shadow on a grey ground, centred while it is smaller than the window.
//
// Not built yet: the castle dots and frames, the scenario's labels, clicks on provinces, the
// right-button drag scrolling and blinking (they come with the game's map views).
#pragma once

#include <optional>

#include "mbbmp/control_bmp.h"
#include "mbwnd/scroll_wnd.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class CKuniMapWnd : public MbWnd::CScrollWnd {
public:
    explicit CKuniMapWnd(MbKorMap::CCtrlKorMap* map = nullptr) : map_(map) {}
    void SetMap(MbKorMap::CCtrlKorMap* map) { map_ = map; }

    // Fits the map to the client area and renders it with province kuni selected (-1: none).
    void FitAndDrawMap(int kuni);
    void ResetScrollSizes();

    // The part of the map shown, in relief samples (none: the whole map).
    std::optional<ui::Rect> m_ViewRect;
    // Minimum display width of the map in pixels (the scenario may set it).
    int m_nMapMinWidth = 600;

    bool m_bOwnerRefits = false;  // resizing leaves refitting to the owner
    MbBmp::CControlBmp m_BackBmp;
    MbBmp::CControlBmp m_CleanBmp;
    double m_dScale = 1.0;
    int m_nSelKuni = -1;
    int m_nClickKuni = -1;
    ui::Size m_TotalSize{100, 100};
    ui::Rect m_rcMap;
    bool m_bBlink = false;
    bool m_bBlinkOff = false;

    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc& dc) override { return true; }
    void OnSize(int type, int cx, int cy) override;

private:
    MbKorMap::CCtrlKorMap* map_;
};

}  // namespace rymd::shell
