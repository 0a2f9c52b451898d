// CShiroMapWnd: the castle view, one province of the country magnified in a scrolling window:
// the roads between castles, the castle marks or pictures with their generals, owner or corps
// labels, names, boats with their warship counts, siege circles and blockade arcs, and the
// scenario's map labels.
//
// Everything is drawn into the back buffer m_BackBmp: first the province map through the map
// object, then the overlays through the bitmap object's own drawing (thin lines and marks at
// double size in 8-bit bitmaps imposed 2:1, which smooths them; text through the layer's text
// renderer). Painting frames the area, tiles a checker pattern where the area runs past the map,
// and copies the back buffer: the screen shows exactly the offscreen picture.
//
// A left click on a castle or (off every castle) on a province tells the parent with a command
// of the view's id; m_nClickShiro and m_nClickKuni say what was hit. A right-button drag
// scrolls; the centre the player leaves a province at is remembered for the next opening.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "mbwnd/scroll_wnd.h"
#include "platform/qt/font.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {
struct GameState;
}

namespace rymd::ui {
class Bitmap;
}

namespace rymd::shell {

// The remembered view centre of each province (map samples of the view; (-1, -1) none), shared
// by every castle view of the program.
std::array<ui::Point, 250>& KuniViewCentres();
void ResetKuniViewCentres();

// The road palette of the double-size bitmaps: index 0 the transparent background.
const std::array<MbBmp::RGBQUAD, 256>& RoadPalette();
// The castle mark colour of each style 0..6.
ui::COLORREF ShiroStyleColor(int style);

class CShiroMapWnd : public MbWnd::CScrollWnd {
public:
    static constexpr int kMargin = 14;

    explicit CShiroMapWnd(MbKorMap::CCtrlKorMap* map = nullptr);
    ~CShiroMapWnd() override;

    void SetMap(MbKorMap::CCtrlKorMap* map) { map_ = map; }
    // The game whose castles are shown; its language chooses the fonts' character set.
    void SetGameState(const GameState* gs);
    const GameState* GetGameState() const { return gs_; }

    // Shows province kuni: area, zoom, scroll extent and position, the map and every overlay.
    void UpdateLayout(int kuni);
    // Draws the map and every overlay again for the current view.
    void Redraw();
    void DrawMapGuarded(int x, int y, int w, int h, int dispW, int dispH);
    // The overlay pass: every castle (false) or only the blinking castle m_nBlinkShiro (true).
    void DrawOverlays(bool oneShiro);
    // One step of the blinking castle: unless the pause counts down, the back buffer goes back to
    // the clean copy and, while a castle blinks, step (0..5) moves on when advance is set, its
    // level (0, 1, 2, 3, 2, 1) is drawn, and what changed is repainted at once.
    void StepBlink(bool advance, int& step);

    // The layers, each drawn into m_BackBmp.
    void DrawRoad();
    static void DrawArcThroughPoints(MbBmp::CControlBmp* bmp, int x1, int y1, int xm, int ym, int x2, int y2,
                                     int thickness, bool dashed);
    ui::Rect DrawShiroSub(int shiro);
    void DrawShiroOwnerLabel(int shiro);
    void DrawShiroName(int shiro);
    void DrawLabels();
    void DrawSiegeMarks();
    // Style 0..6 of a castle's mark, and the road-palette index of a house's relation to the
    // current house (0: none).
    int GetShiroStyle(int shiro) const;
    int GetRelationColorIndex(int daimyou) const;
    // Imposes src on dst 2:1; a failure is told with the step's name, then the diagnostics
    // (ShowImposeDump), and drawing goes on.
    void ImposeChecked(MbBmp::CControlBmp* dst, const MbBmp::CControlBmp* src, int x, int y,
                       const char* step);
    static std::string ImposeDumpText(const char* message, const MbBmp::CControlBmp* dst,
                                      const MbBmp::CControlBmp* src, int x, int y, int debugStep);
    static void ShowImposeDump(const char* message, const MbBmp::CControlBmp* dst,
                               const MbBmp::CControlBmp* src, int x, int y, int debugStep);
    // The angle about the castle's double-size point p at which sea connection conn leaves the
    // blockade circle of radius rb (the direction of the neighbour when no piece crosses it);
    // kNoCrossAngle when a route held by the neighbour has no way back.
    double BlockadeAngle(int shiro, int conn, ui::Point p, double rb) const;
    ui::Point DoublePoint(long long x, long long y) const;

    // What a castle puts on the view, in back-buffer pixels as the overlay pass draws it: its mark
    // (with the boat of a castle on the water), its name above it and its owner's label below
    // it, each text as wide as it is written in its font (empty when it is not drawn).
    struct ShiroBoxes {
        ui::Rect mark, name, owner;
    };
    ShiroBoxes ShiroLabelBoxes(int shiro);

    // Hit tests in back-buffer pixels.
    int FindShiroAt(ui::Point q) const;
    int FindKuniAt(ui::Point q) const;
    // A back-buffer point of map coordinates (1/128 sample): floor (castle layers) or truncated.
    ui::Point FloorPoint(long long x, long long y) const;
    ui::Point TruncPoint(long long x, long long y) const;
    // The part of m_BackBmp changed since the last call, and a back-buffer rectangle in client
    // coordinates (for repainting only what changed).
    ui::Rect TakeDirtyRect();
    ui::Rect BufferToClient(const ui::Rect& r) const;

    // Geometry of the current view.
    double Zoom() const { return zoom_; }
    double DrawZoom() const { return drawZoom_; }
    ui::Size AreaPixelSize() const { return areaPx_; }
    ui::Size TotalSize() const { return total_; }
    ui::Point MapOffset() const { return mapOffset_; }
    ui::Size DrawnSize() const { return drawn_; }
    ui::Rect AreaRect() const { return areaRect_; }
    ui::Rect AreaUnits() const { return areaUnits_; }
    ui::Point Origin() const { return origin_; }
    ui::Rect View() const { return ui::Rect(viewX_, viewY_, viewX_ + viewW_, viewY_ + viewH_); }

    int m_nKuni = -1;
    MbBmp::CControlBmp m_BackBmp;
    MbBmp::CControlBmp m_CleanBmp;
    std::vector<ui::Rect> m_ShiroRect;  // each castle's rectangle from the last full pass
    bool m_bShowDaimyouName = true;
    std::vector<std::int16_t> m_Distance;  // per castle, written by an owner
    bool m_bShowDistance = false;
    int m_nGundan = -1;
    int m_nClickShiro = -1;
    int m_nClickKuni = -1;
    int m_nBlinkShiro = -1;
    int m_nBlinkPhase = 0;
    int m_nBlinkPause = 0;

    int OnCreate() override;
    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc&) override { return true; }
    void OnLButtonDown(unsigned flags, ui::Point point) override;
    void OnRButtonDown(unsigned flags, ui::Point point) override;
    void OnRButtonUp(unsigned flags, ui::Point point) override;
    void OnMouseMove(unsigned flags, ui::Point point) override;
    void OnHScroll(int code, int pos) override;
    void OnVScroll(int code, int pos) override;

private:
    struct TypeInfo;
    TypeInfo TypeOf(int shiro) const;
    bool InKuni(int shiro) const;
    bool MeetsDrawn(const ui::Rect& r) const;
    bool MeetsDoubleDrawn(int l, int t, int r, int b) const;
    void DrawPiece(MbBmp::CControlBmp& bmp, ui::Point a, ui::Point b, unsigned flags) const;
    void DrawWrappedArc(MbBmp::CControlBmp& bmp, ui::Point s, ui::Point m, ui::Point e, unsigned flags) const;
    void DrawBoat(int shiro, ui::Point p, const TypeInfo& t);
    void RememberCentre();
    void MarkDirty(const ui::Rect& r);
    void Text(const char* text, ui::Rect r, ui::COLORREF c, const ui::Font* font, unsigned format);

    MbKorMap::CCtrlKorMap* map_;
    const GameState* gs_ = nullptr;
    double zoom_ = 1.0, zoomUnit_ = 1.0 / 128, drawZoom_ = 1.0;
    ui::Size areaPx_, total_{100, 100}, drawn_;
    ui::Point mapOffset_, origin_;
    ui::Rect areaRect_, areaUnits_;
    int viewX_ = 0, viewY_ = 0, viewW_ = 0, viewH_ = 0, viewPw_ = 0, viewPh_ = 0;
    std::unique_ptr<ui::Bitmap> checker_;
    ui::Font fonts_[3];  // 16, 14 and 12 pixels
    bool drag_ = false;
    ui::Point dragStart_, dragScroll_;
    ui::Rect dirty_;
    MbBmp::CControlBmp roadBmp_, siegeBmp_, blockadeBmp_;
};

// The display timer's next period: its target (70 ms while the castle view is shown, else 100)
// less what the tick itself took, never below 10 ms.
int NextDisplayTimerPeriod(bool castleView, int elapsedMs);

}  // namespace rymd::shell
