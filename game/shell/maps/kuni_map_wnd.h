// CKuniMapWnd: the scrolling window that shows the whole country as a province map. The map
// object renders relief, provinces and lines into the window's own bitmap at the size that fits
// the client area (never narrower than the minimum map width); the window adds the castle dots,
// the frames of besieged castles and the scenario's whole-map labels to that bitmap and shows
// it framed with a drop shadow on a grey ground, centred while it is smaller than the window.
//
// A left click on a province sends the parent a command with the window's id, a right click a
// NM_RCLICK notification (m_nClickKuni holds the province first); a right-button drag scrolls.
// Every 300 ms the window flips between m_BackBmp and m_CleanBmp while m_bBlink is set.
//
// Everything is drawn into the bitmaps through the map libraries, so a picture drawn offscreen
// is the one the screen shows. The window reads the game state the owner gives it; without one
// it draws the map alone.
#pragma once

#include <optional>
#include <string>

#include "mbbmp/control_bmp.h"
#include "mbwnd/scroll_wnd.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {
struct GameState;
struct LabelRecord;
}  // namespace rymd

namespace rymd::shell {

// Colours of the country map's castle dots.
inline constexpr ui::COLORREF kNeutralShiroColor = ui::RGB(160, 160, 160);  // castles without a house

// The colour a castle of owner gets on the map of house: by house's relation state toward the
// owner. An owner outside the house table (no house) gets the neutral colour, and so does a
// relation state above 10.
ui::COLORREF KuniMapRelationColor(const GameState& gs, int house, int owner);
// The owner, or its master when the owner is a vassal house; a castle without a house keeps
// its owner value.
int EffectiveOwner(const GameState& gs, int owner);

// The grey ground of a map view around the map's frame f, with the frame's drop shadow six
// pixels right and down (the frame itself is left to the view).
void PaintMapGround(ui::Dc& dc, const ui::Rect& client, const ui::Rect& f);

// Font height of a whole-map label of the given size on a map dispW pixels wide.
int KuniMapLabelHeight(int size, int dispW, int minWidth);

// Draws a scenario map label centred on p with a black shadow one pixel down and right, in a
// font of the given height; returns the rectangle it may have touched.
ui::Rect DrawMapLabel(MbBmp::CControlBmp& bmp, const LabelRecord& label, ui::Point p, int height,
                      ui::COLORREF colour);

// A province's display name from the map (Shift-JIS there) in UTF-8; "" outside the map.
std::string KuniDisplayName(const MbKorMap::CCtrlKorMap* map, int kuni);

class CKuniMapWnd : public MbWnd::CScrollWnd {
public:
    static constexpr int kBlinkTimer = 1;

    explicit CKuniMapWnd(MbKorMap::CCtrlKorMap* map = nullptr) : map_(map) {}
    void SetMap(MbKorMap::CCtrlKorMap* map) { map_ = map; }
    MbKorMap::CCtrlKorMap* Map() const { return map_; }
    // The game state whose castles and labels are drawn, and its scenario's map settings (view
    // rectangle, minimum width, dot size). Null: the map alone.
    void SetGameState(const GameState* gs);
    const GameState* GetGameState() const { return gs_; }

    // Fits the map to the client area and renders it with province kuni selected (-1: none),
    // then the whole-map labels.
    void FitAndDrawMap(int kuni);
    void ResetScrollSizes();

    // Castle dots on m_BackBmp (see the colour rules in the source).
    void DrawShiroMarksRelation(int house, ui::COLORREF ownColour);
    void DrawShiroMarksGundan(int house, int gundan, ui::COLORREF colour);
    void DrawShiroMarksColors(const int* houses, const ui::COLORREF* colours, int count);
    // A one-pixel frame, margin + 2 pixels out from the dot, around each besieged castle of the house.
    void FrameBesiegedShiro(int house, int margin, ui::COLORREF colour);
    // Paints a province (and the lines) on m_BackBmp through the map object.
    void PaintKuni(int kuni, ui::COLORREF colour, bool drawLines, int brightType, bool shade);
    void DrawLine();
    // Province under a point of the map bitmap, or -1.
    int FindKuniAt(int x, int y) const;
    // Province under a client point, or -1 (also off the shown map).
    int KuniAt(ui::Point client) const;
    // The dot of a castle in map-bitmap pixels.
    ui::Rect ShiroDotRect(int shiro) const;
    // The part of m_BackBmp the dot and frame drawing changed since the last call (bitmap
    // pixels), and the same in client coordinates for a repaint of only that part.
    ui::Rect TakeDirtyRect();
    // What the last TakeDirtyRect gave.
    ui::Rect LastDirtyRect() const { return lastDirty_; }
    ui::Rect BitmapToClient(const ui::Rect& r) const;

    // The part of the map shown, in relief samples (none: the whole map).
    std::optional<ui::Rect> m_ViewRect;
    // Minimum display width of the map in pixels (the scenario may set it; never below 1).
    int m_nMapMinWidth = 600;
    // Side of a castle dot in pixels.
    int m_nShiroDotSize = 3;

    bool m_bOwnerRefits = false;  // resizing leaves refitting to the owner
    MbBmp::CControlBmp m_BackBmp;
    MbBmp::CControlBmp m_CleanBmp;
    double m_dScale = 1.0;
    int m_nSelKuni = -1;
    int m_nClickKuni = -1;
    ui::Size m_TotalSize{100, 100};
    ui::Rect m_rcMap;
    bool m_bRDrag = false;
    ui::Point m_ptDragStart;
    ui::Point m_ptDragScroll;
    bool m_bBlink = false;
    bool m_bBlinkOff = false;

    int OnCreate() override;
    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc&) override { return true; }
    void OnSize(int type, int cx, int cy) override;
    void OnLButtonDown(unsigned flags, ui::Point point) override;
    void OnRButtonDown(unsigned flags, ui::Point point) override;
    void OnRButtonUp(unsigned flags, ui::Point point) override;
    void OnMouseMove(unsigned flags, ui::Point point) override;
    void OnTimer(int id) override;

private:
    void DrawLabels(int dispW);
    void RaisedDot(int shiro, ui::COLORREF c);
    void MarkDirty(const ui::Rect& r);
    ui::Point MapPoint(long long x, long long y) const;

    MbKorMap::CCtrlKorMap* map_;
    const GameState* gs_ = nullptr;
    ui::Rect dirty_;
    ui::Rect lastDirty_;
};

}  // namespace rymd::shell
