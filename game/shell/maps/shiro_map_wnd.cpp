#include "game/shell/maps/shiro_map_wnd.h"

#include <algorithm>
#include <cmath>

#include "game/state/access.h"

#include "game/shell/maps/kuni_map_wnd.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

using ui::Point;
using ui::Rect;
using ui::RGB;

namespace {

int Trunc(double v) {
    return static_cast<int>(std::trunc(v));
}

}  // namespace

std::array<Point, 250>& KuniViewCentres() {
    static std::array<Point, 250> centres = [] {
        std::array<Point, 250> a;
        a.fill(Point(-1, -1));
        return a;
    }();
    return centres;
}

void ResetKuniViewCentres() {
    KuniViewCentres().fill(Point(-1, -1));
}

CShiroMapWnd::CShiroMapWnd(MbKorMap::CCtrlKorMap* map)
    : m_ShiroRect(GameState::kMaxShiro), m_Distance(GameState::kMaxShiro, 0), map_(map) {
    // The one-pixel checkerboard shown where the area runs past the map.
    checker_ = std::make_unique<ui::Bitmap>();
    checker_->CreateBitmap(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            checker_->SetPixel(x, y, (x % 2) == (y % 2) ? RGB(192, 192, 192) : RGB(96, 96, 96));
    SetGameState(nullptr);
}

CShiroMapWnd::~CShiroMapWnd() = default;

void CShiroMapWnd::SetGameState(const GameState* gs) {
    gs_ = gs;
    const bool chinese = gs && gs->nLanguage == 1;
    const int heights[3] = {16, 14, 12};
    for (int i = 0; i < 3; ++i)
        fonts_[i].CreateFont(heights[i], 0, 0, 0, 500, false, false, false, chinese ? 134 : 128, 0, 0, 0, 0,
                             chinese ? "" : "ＭＳ ゴシック");
}

int CShiroMapWnd::OnCreate() {
    if (CScrollWnd::OnCreate() != 0) return -1;
    SetScrollSizes(ui::Size(100, 100), ui::Size(64, 64), ui::Size(1, 1));
    return 0;
}

void CShiroMapWnd::DrawMapGuarded(int x, int y, int w, int h, int dispW, int dispH) {
    try {
        map_->DrawMap(x, y, w, h, dispW, dispH);
    } catch (...) {
        MbMsgBox("DrawMap()でエラー発生");
    }
}

void CShiroMapWnd::UpdateLayout(int kuni) {
    SetRedraw(false);
    m_nKuni = kuni;
    if (!map_ || !gs_ || kuni < 0 || kuni >= GameState::kMaxKuni) {
        m_BackBmp.FreeBitmap();
        total_ = ui::Size(100, 100);
        SetScrollSizes(total_, ui::Size(64, 64), ui::Size(1, 1));
        SetRedraw(true);
        return;
    }
    const KuniAreaRecord& a = gs_->KuniAreaTbl[static_cast<std::size_t>(kuni)];
    double z = a.type;
    int x = a.left, y = a.top, w = a.right - a.left, h = a.bottom - a.top;
    const bool doubled = map_->FormatFlag() != 0;
    const int mapW = map_->GetMapWidth(), mapH = map_->GetMapHeight();
    // A province without a display area shows the whole map at magnification 1.
    if (z <= 0 || w <= 0 || h <= 0) {
        z = 1;
        x = y = 0;
        w = doubled ? mapW / 2 : mapW;
        h = doubled ? mapH / 2 : mapH;
    }
    zoom_ = z;
    zoomUnit_ = z / 128.0;
    double zd = z;
    if (doubled) {
        x *= 2, y *= 2, w *= 2, h *= 2;
        zd = z / 2;
    }
    drawZoom_ = zd;

    SetScrollSizes(ui::Size(1, 1), ui::Size(64, 64), ui::Size(1, 1));
    Rect client = GetClientRect();
    const int aw = client.Width() - 2 * kMargin, ah = client.Height() - 2 * kMargin;
    int pw = Trunc(w * zd), ph = Trunc(h * zd);
    areaPx_ = ui::Size(pw, ph);
    mapOffset_ = Point(0, 0);
    // An area narrower (lower) than the window is widened on both sides; where that passes the
    // map's edge the map is drawn at an offset inside the area.
    auto widen = [&](int avail, int& pos, int& len, int& px, int& areaLen, int& offset, int mapLen) {
        if (avail <= px) return;
        const int e = avail - px;
        pos -= Trunc(e / 2.0 / zd);
        len += Trunc(e / zd);
        areaLen = Trunc(len * zd);
        if (pos >= 0) {
            if (pos + len > mapLen) len = std::max(0, mapLen - pos);
        } else {
            offset = Trunc(-pos * zd);
            len += pos;
            pos = 0;
        }
        px = Trunc(len * zd);
    };
    widen(aw, x, w, pw, areaPx_.cx, mapOffset_.x, mapW);
    widen(ah, y, h, ph, areaPx_.cy, mapOffset_.y, mapH);

    Point centre = KuniViewCentres()[static_cast<std::size_t>(kuni)];
    if (centre == Point(-1, -1)) centre = Point(x + w / 2, y + h / 2);

    viewX_ = x, viewY_ = y, viewW_ = w, viewH_ = h, viewPw_ = pw, viewPh_ = ph;
    map_->SetExternalBmp(&m_BackBmp);
    map_->SetSelectedKuni(kuni);
    map_->SetBrightType(0, 1);
    DrawMapGuarded(x, y, w, h, pw, ph);
    map_->SetInternalBmp();

    drawn_ = ui::Size(pw, ph);
    areaRect_ = Rect();
    areaUnits_ = doubled ? Rect(x / 2, y / 2, (x + w) / 2, (y + h) / 2) : Rect(x, y, x + w, y + h);
    origin_ = Point(areaUnits_.left * 128, areaUnits_.top * 128);

    DrawOverlays(false);

    total_ = ui::Size(areaPx_.cx + 2 * kMargin, areaPx_.cy + 2 * kMargin);
    SetScrollSizes(total_, ui::Size(64, 64), ui::Size(1, 1));
    client = GetClientRect();
    if (client.Width() < total_.cx) {
        int pos = Trunc((centre.x - x) * zd) + kMargin - client.Width() / 2;
        pos = std::min(std::max(pos, 0), total_.cx - client.Width());
        SetScrollPos(ui::SB_HORZ, pos, true);
    }
    if (client.Height() < total_.cy) {
        int pos = Trunc((centre.y - y) * zd) + kMargin - client.Height() / 2;
        pos = std::min(std::max(pos, 0), total_.cy - client.Height());
        SetScrollPos(ui::SB_VERT, pos, true);
    }
    dirty_ = Rect();
    SetRedraw(true);
    Invalidate();
}

void CShiroMapWnd::StepBlink(bool advance, int& step) {
    if (m_nBlinkPause != 0) {
        --m_nBlinkPause;
        return;
    }
    // What was drawn since the last step (a castle given back its normal look) shows too.
    ui::Rect changed = TakeDirtyRect();
    if (!m_CleanBmp.IsEmpty()) m_BackBmp.Duplicate(&m_CleanBmp);
    if (m_nBlinkShiro != -1) {
        if (advance) {
            step = (step + 1) % 6;
            m_nBlinkPhase = step > 3 ? 6 - step : step;
        }
        DrawOverlays(true);
    }
    // Only the blinking castle changed (restoring the clean copy changes nothing else).
    changed.UnionRect(changed, TakeDirtyRect());
    const ui::Rect r = BufferToClient(changed);
    if (r.IsRectEmpty()) return;
    InvalidateRect(&r, false);
    UpdateWindow();
}

void CShiroMapWnd::Redraw() {
    if (!map_ || !gs_ || viewPw_ <= 0 || viewPh_ <= 0) return;
    map_->SetExternalBmp(&m_BackBmp);
    map_->SetSelectedKuni(m_nKuni);
    map_->SetBrightType(0, 1);
    DrawMapGuarded(viewX_, viewY_, viewW_, viewH_, viewPw_, viewPh_);
    map_->SetInternalBmp();
    DrawOverlays(false);
    Invalidate();
}

void CShiroMapWnd::RememberCentre() {
    if (m_nKuni < 0 || m_nKuni >= GameState::kMaxKuni || drawZoom_ <= 0) return;
    const Rect c = GetClientRect();
    const Point pos = GetScrollPosition();
    KuniViewCentres()[static_cast<std::size_t>(m_nKuni)] =
        Point(Trunc((c.Width() / 2 + pos.x - kMargin) / drawZoom_) + viewX_,
              Trunc((c.Height() / 2 + pos.y - kMargin) / drawZoom_) + viewY_);
    m_nBlinkPause = 2;
}

void CShiroMapWnd::OnHScroll(int code, int pos) {
    RememberCentre();
    CScrollWnd::OnHScroll(code, pos);
}

void CShiroMapWnd::OnVScroll(int code, int pos) {
    RememberCentre();
    CScrollWnd::OnVScroll(code, pos);
}

void CShiroMapWnd::OnPaint(ui::Dc& dc) {
    const Rect c = GetClientRect();
    const Point pos = GetScrollPosition();
    const int cx = c.Width() > total_.cx ? (c.Width() - total_.cx) / 2 : 0;
    const int cy = c.Height() > total_.cy ? (c.Height() - total_.cy) / 2 : 0;
    const Rect a(Point(cx - pos.x + kMargin, cy - pos.y + kMargin), areaPx_);
    areaRect_ = a;
    Rect o2 = a, o1 = a;
    o2.InflateRect(2, 2);
    o1.InflateRect(1, 1);
    PaintMapGround(dc, c, o2);
    dc.FrameRect(o2, RGB(0, 0, 0));
    dc.FrameRect(o1, RGB(255, 255, 255));

    const Rect d(Point(a.left + mapOffset_.x, a.top + mapOffset_.y), drawn_);
    dc.IntersectClipRect(a);
    dc.ExcludeClipRect(d);
    for (int y = a.top; y < a.bottom; y += 100)
        for (int x = a.left; x < a.right; x += 100)
            dc.DrawBitmap(x, y, *checker_);
    dc.SelectClipRect(nullptr);
    if (!m_BackBmp.IsEmpty()) dc.DrawControlBmp(d.left, d.top, m_BackBmp);
}

Rect CShiroMapWnd::BufferToClient(const Rect& r) const {
    const Rect c = GetClientRect();
    const Point pos = GetScrollPosition();
    const int cx = c.Width() > total_.cx ? (c.Width() - total_.cx) / 2 : 0;
    const int cy = c.Height() > total_.cy ? (c.Height() - total_.cy) / 2 : 0;
    Rect out = r;
    out.OffsetRect(cx - pos.x + kMargin + mapOffset_.x, cy - pos.y + kMargin + mapOffset_.y);
    return out;
}

Rect CShiroMapWnd::TakeDirtyRect() {
    const Rect r = dirty_;
    dirty_ = Rect();
    return r;
}

void CShiroMapWnd::MarkDirty(const Rect& r) {
    dirty_.UnionRect(dirty_, r);
}

int CShiroMapWnd::FindKuniAt(Point q) const {
    if (!map_ || zoom_ <= 0) return -1;
    int mx = Trunc(q.x / zoom_) + areaUnits_.left, my = Trunc(q.y / zoom_) + areaUnits_.top;
    if (map_->FormatFlag() != 0) mx *= 2, my *= 2;
    return map_->DetectKuni(MbBmp::POINT{mx, my});
}

void CShiroMapWnd::OnLButtonDown(unsigned flags, Point p) {
    const Point q(p.x - areaRect_.left - mapOffset_.x, p.y - areaRect_.top - mapOffset_.y);
    m_nClickShiro = -1;
    m_nClickKuni = -1;
    const int shiro = FindShiroAt(q);
    if (shiro != -1) {
        m_nClickShiro = shiro;
        SendCommand(GetParent(), GetDlgCtrlID(), 0, this);
    } else if (const int kuni = FindKuniAt(q); kuni != -1) {
        m_nClickKuni = kuni;
        SendCommand(GetParent(), GetDlgCtrlID(), 0, this);
    }
    CScrollWnd::OnLButtonDown(flags, p);
}

void CShiroMapWnd::OnRButtonDown(unsigned flags, Point p) {
    drag_ = true;
    dragStart_ = p;
    dragScroll_ = GetScrollPosition();
    CScrollWnd::OnRButtonDown(flags, p);
}

void CShiroMapWnd::OnRButtonUp(unsigned flags, Point p) {
    drag_ = false;
    CScrollWnd::OnRButtonUp(flags, p);
}

void CShiroMapWnd::OnMouseMove(unsigned flags, Point p) {
    if (!(flags & ui::MK_RBUTTON)) drag_ = false;
    if (drag_) {
        const Rect c = GetClientRect();
        if (total_.cx > c.Width()) SetScrollPos(ui::SB_HORZ, dragScroll_.x + dragStart_.x - p.x, true);
        if (total_.cy > c.Height()) SetScrollPos(ui::SB_VERT, dragScroll_.y + dragStart_.y - p.y, true);
        RememberCentre();
        RedrawWindow();
    }
    CScrollWnd::OnMouseMove(flags, p);
}

int NextDisplayTimerPeriod(bool castleView, int elapsedMs) {
    return std::max(10, (castleView ? 70 : 100) - std::max(0, elapsedMs));
}

}  // namespace rymd::shell
