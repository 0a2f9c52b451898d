// What the castle view draws over the province map: roads, castle marks and pictures, owner or
// corps labels, names, boats, the scenario's labels, and the siege and blockade marks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

// The rules' headers come before the window layer's (Qt defines "slots").
#include "game/state/access.h"
#include "game/state/queries.h"

#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/maps/shiro_map_geometry.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "game/shell/maps/text_msg_dlg.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/draw_small_number.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

using ui::COLORREF;
using ui::Point;
using ui::Rect;
using ui::RGB;

namespace {

constexpr std::uint16_t kRouteStraight = 0xFFFF;
constexpr std::uint16_t kRouteFromOther = 0xFFFE;
constexpr std::uint8_t kDrawArcs = 0x01;
constexpr std::uint8_t kHideHere = 0x10;
constexpr std::uint8_t kHideThere = 0x20;
constexpr std::uint8_t kWrapX = 0x40;
constexpr std::uint8_t kWrapY = 0x80;
constexpr std::uint8_t kKindSea = 3;

int Trunc(double v) {
    return static_cast<int>(std::trunc(v));
}
int Floor(double v) {
    return static_cast<int>(std::floor(v));
}

const ShiroTypeRecord& BuiltInType() {
    static const ShiroTypeRecord t = [] {
        ShiroTypeRecord r;
        for (int i = 6; i <= 12; ++i)
            r.words[static_cast<std::size_t>(i)] = 0xFFFF;
        r.words[25] = r.words[26] = static_cast<std::uint16_t>(-10);
        r.words[27] = r.words[28] = 10;
        r.words[31] = 20;
        r.words[32] = 30;
        return r;
    }();
    return t;
}

COLORREF Halve(COLORREF c) {
    return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

}  // namespace

// A castle type's drawing values (the 16-bit words of its record).
struct CShiroMapWnd::TypeInfo {
    const ShiroTypeRecord* rec;
    int W(int i) const { return static_cast<std::int16_t>(rec->words[static_cast<std::size_t>(i)]); }
    int Picture(int style) const {
        const std::uint16_t p = rec->words[static_cast<std::size_t>(6 + style)];
        return p == 0xFFFF ? -1 : p;
    }
    Point Pair(int i) const { return Point(W(i), W(i + 1)); }
    Point Mark() const { return Pair(13); }
    Point Name() const { return Pair(15); }
    Point Label() const { return Pair(17); }
    Point Count() const { return Pair(19); }
    Point Boat() const { return Pair(21); }
    Point BesiegerCount() const { return Pair(23); }
    Rect Hit() const { return Rect(W(25), W(26), W(27), W(28)); }
    Point SiegeMark() const { return Pair(29); }
    int SiegeRadius() const { return W(31); }
    int BlockadeRadius() const { return W(32); }
};

const std::array<MbBmp::RGBQUAD, 256>& RoadPalette() {
    static const std::array<MbBmp::RGBQUAD, 256> pal = [] {
        std::array<MbBmp::RGBQUAD, 256> p{};
        const COLORREF c[12] = {RGB(0, 0, 0),     RGB(230, 215, 150), RGB(206, 153, 81), RGB(180, 114, 69),
                                RGB(0, 255, 255), RGB(50, 60, 255),   RGB(20, 20, 160),  RGB(255, 50, 50),
                                RGB(50, 200, 50), RGB(200, 200, 30),  RGB(255, 160, 30), RGB(150, 0, 0)};
        for (int i = 0; i < 12; ++i)
            p[static_cast<std::size_t>(i)] = MbBmp::RGBQUAD{static_cast<MbBmp::BYTE>(GetBValue(c[i])),
                                                            static_cast<MbBmp::BYTE>(GetGValue(c[i])),
                                                            static_cast<MbBmp::BYTE>(GetRValue(c[i])), 0};
        return p;
    }();
    return pal;
}

COLORREF ShiroStyleColor(int style) {
    static const COLORREF c[7] = {RGB(60, 70, 255),  RGB(255, 50, 50), RGB(150, 0, 0),    RGB(50, 200, 50),
                                  RGB(200, 200, 30), RGB(20, 20, 160), RGB(160, 160, 160)};
    return c[std::clamp(style, 0, 6)];
}

CShiroMapWnd::TypeInfo CShiroMapWnd::TypeOf(int shiro) const {
    const int t = ShiroMapAt(*gs_, shiro).shiroType;
    if (t >= 0 && t < std::min(gs_->nShiroType, GameState::kMaxShiroType))
        return TypeInfo{&gs_->ShiroTypeTbl[static_cast<std::size_t>(t)]};
    return TypeInfo{&BuiltInType()};
}

bool CShiroMapWnd::InKuni(int shiro) const {
    return ShiroMapAt(*gs_, shiro).kuni == m_nKuni;
}

Point CShiroMapWnd::FloorPoint(long long x, long long y) const {
    return Point(Floor(static_cast<double>(x - origin_.x) * zoomUnit_),
                 Floor(static_cast<double>(y - origin_.y) * zoomUnit_));
}

Point CShiroMapWnd::TruncPoint(long long x, long long y) const {
    return Point(Trunc(static_cast<double>(x - origin_.x) * zoomUnit_),
                 Trunc(static_cast<double>(y - origin_.y) * zoomUnit_));
}

Point CShiroMapWnd::DoublePoint(long long x, long long y) const {
    return Point(Trunc(static_cast<double>(x - origin_.x) * 2 * zoomUnit_),
                 Trunc(static_cast<double>(y - origin_.y) * 2 * zoomUnit_));
}

bool CShiroMapWnd::MeetsDrawn(const Rect& r) const {
    return !(r.right < 0 || r.left >= drawn_.cx || r.bottom < 0 || r.top >= drawn_.cy);
}

bool CShiroMapWnd::MeetsDoubleDrawn(int l, int t, int r, int b) const {
    return !(r < 0 || l >= 2 * drawn_.cx || b < 0 || t >= 2 * drawn_.cy);
}

void CShiroMapWnd::Text(const char* text, Rect r, COLORREF c, const ui::Font* font, unsigned format) {
    MbBmp::RECT rc{r.left, r.top, r.right, r.bottom};
    m_BackBmp.DrawTextA(text, &rc, c, font, format | ui::DT_NOPREFIX);
    MarkDirty(r);
}

// ---- The pass ------------------------------------------------------------------------------------

void CShiroMapWnd::DrawOverlays(bool oneShiro) {
    if (!gs_ || m_BackBmp.IsEmpty()) return;
    if (oneShiro) {
        if (IsValidShiro(*gs_, m_nBlinkShiro)) {
            DrawShiroSub(m_nBlinkShiro);
            DrawShiroOwnerLabel(m_nBlinkShiro);
            DrawShiroName(m_nBlinkShiro);
        }
    } else {
        DrawRoad();
        for (int s : ShiroIndexes(*gs_))
            if (!gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s)))
                m_ShiroRect[static_cast<std::size_t>(s)] = DrawShiroSub(s);
        DrawSiegeMarks();
        for (int s : ShiroIndexes(*gs_))
            if (!gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s))) DrawShiroOwnerLabel(s);
        for (int s : ShiroIndexes(*gs_))
            if (!gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s))) DrawShiroName(s);
    }
    DrawLabels();
}

void CShiroMapWnd::ImposeChecked(MbBmp::CControlBmp* dst, const MbBmp::CControlBmp* src, int x, int y,
                                 const char* step) {
    int debugStep = 0;
    bool ok = false;
    try {
        ok = dst->Impose8BitBmpWithCompressDebug(src, x, y, &debugStep);
    } catch (...) {
        ok = false;
    }
    if (ok) return;
    char message[256];
    std::snprintf(message, sizeof message, "%s の MbBmp::Impose8BitBmpWithCompress()でエラー発生", step);
    MbMsgBox(message);
    ShowImposeDump(message, dst, src, x, y, debugStep);
}

std::string CShiroMapWnd::ImposeDumpText(const char* message, const MbBmp::CControlBmp* dst,
                                         const MbBmp::CControlBmp* src, int x, int y, int debugStep) {
    std::string text;
    char line[160];
    std::snprintf(line, sizeof line, "%s\r\nOffset X=%d, Y=%d\r\n", message, x, y);
    text += line;
    std::snprintf(line, sizeof line, "Step = %d\r\n", debugStep);
    text += line;
    auto describe = [&](const char* name, const MbBmp::CControlBmp* b) {
        if (!b || b->IsEmpty()) {
            std::snprintf(line, sizeof line, "%s hbmp = NULL\r\n", name);
            text += line;
            return;
        }
        std::snprintf(line, sizeof line, "%s Width = %d, Height = %d\r\n", name, b->GetWidth(),
                      b->GetHeight());
        text += line;
        std::snprintf(line, sizeof line, "%s BufferAddress = %016llX\r\n", name,
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(b->GetBufferPtr())));
        text += line;
        std::snprintf(line, sizeof line, "%s BmpWidth = %d, BmpHeight = %d\r\n", name, b->GetWidth(),
                      b->GetHeight());
        text += line;
    };
    describe("DST", dst);
    describe("SRC", src);
    return text;
}

void CShiroMapWnd::ShowImposeDump(const char* message, const MbBmp::CControlBmp* dst,
                                  const MbBmp::CControlBmp* src, int x, int y, int debugStep) {
    CTextMsgDlg dlg;
    dlg.m_strText = ImposeDumpText(message, dst, src, x, y, debugStep);
    dlg.DoModal();
}

// ---- Roads ---------------------------------------------------------------------------------------

void CShiroMapWnd::DrawArcThroughPoints(MbBmp::CControlBmp* bmp, int x1, int y1, int xm, int ym, int x2,
                                        int y2, int thickness, bool dashed) {
    Circle k;
    if (!CircleThroughPoints(x1, y1, xm, ym, x2, y2, k)) {
        bmp->DrawLine(x1, y1, x2, y2);
        return;
    }
    const MbBmp::RECT rc{Trunc(k.cx - k.r), Trunc(k.cy - k.r), Trunc(k.cx + k.r), Trunc(k.cy + k.r)};
    const double aS = std::atan2(y1 - k.cy, x1 - k.cx), aM = std::atan2(ym - k.cy, xm - k.cx);
    const double aE = std::atan2(y2 - k.cy, x2 - k.cx);
    const double m = NormalizeAngle(aM - aS), e = NormalizeAngle(aE - aS);
    bmp->DrawThickArc(&rc, MbBmp::POINT{x1, y1}, MbBmp::POINT{x2, y2}, thickness, !(e <= m), dashed);
}

void CShiroMapWnd::DrawPiece(MbBmp::CControlBmp& bmp, Point a, Point b, unsigned flags) const {
    const int wm = 2 * Trunc(map_->GetMapWidth() * zoom_), hm = 2 * Trunc(map_->GetMapHeight() * zoom_);
    const Shift d = WrapShift(a.x, a.y, b.x, b.y, flags & kWrapX, flags & kWrapY, wm, hm);
    if (!d.IsZero()) {
        bmp.DrawThickLine(a.x, a.y, b.x + d.dx, b.y + d.dy, 8);
        a = Point(a.x - d.dx, a.y - d.dy);
    }
    bmp.DrawThickLine(a.x, a.y, b.x, b.y, 8);
}

void CShiroMapWnd::DrawWrappedArc(MbBmp::CControlBmp& bmp, Point s, Point m, Point e, unsigned flags) const {
    const int wm = 2 * Trunc(map_->GetMapWidth() * zoom_), hm = 2 * Trunc(map_->GetMapHeight() * zoom_);
    const Shift d = WrapShift(s.x, s.y, e.x, e.y, flags & kWrapX, flags & kWrapY, wm, hm);
    if (d.IsZero()) {
        DrawArcThroughPoints(&bmp, s.x, s.y, m.x, m.y, e.x, e.y, 8, false);
        return;
    }
    // Each axis: the middle point goes with whichever end it lies nearer to.
    Point m1 = m, m2 = m;
    if (std::abs(m.x - e.x) < std::abs(m.x - s.x))
        m1.x = m.x + d.dx;
    else
        m2.x = m.x - d.dx;
    if (std::abs(m.y - e.y) < std::abs(m.y - s.y))
        m1.y = m.y + d.dy;
    else
        m2.y = m.y - d.dy;
    DrawArcThroughPoints(&bmp, s.x, s.y, m1.x, m1.y, e.x + d.dx, e.y + d.dy, 8, false);
    DrawArcThroughPoints(&bmp, s.x - d.dx, s.y - d.dy, m2.x, m2.y, e.x, e.y, 8, false);
}

void CShiroMapWnd::DrawRoad() {
    const int w = 2 * drawn_.cx, h = 2 * drawn_.cy;
    if (roadBmp_.GetWidth() != w || roadBmp_.GetHeight() != h || roadBmp_.GetBitCount() != 8)
        roadBmp_.CreateBitmap(w, h, 8, 256, RoadPalette().data());
    if (roadBmp_.IsEmpty()) {
        MbMsgBox("DrawRoad()でビットマップの作成に失敗しました");
        return;
    }
    roadBmp_.ClearBuffer();
    roadBmp_.SetDrawColor(1);
    const int nPoints = std::clamp(gs_->nRoutePoint, 0, GameState::kMaxRoutePoint);
    auto point = [&](int i) { return gs_->ShiroRoutePoints[static_cast<std::size_t>(i)]; };
    for (int s : ShiroIndexes(*gs_)) {
        const ShiroMapRecord& m = ShiroMapAt(*gs_, s);
        const Point p = DoublePoint(m.x, m.y);
        for (int c = 0; c < ShiroMapRecord::kMaxConnection; ++c) {
            const ShiroConnection& k = m.connect[static_cast<std::size_t>(c)];
            if (k.shiro == 0xFFFF) break;
            if (k.route == kRouteFromOther || !IsValidShiro(*gs_, k.shiro)) continue;
            const ShiroMapRecord& n = ShiroMapAt(*gs_, k.shiro);
            const Point q = DoublePoint(n.x, n.y);
            const unsigned f = k.drawFlags;
            if (k.route == kRouteStraight) {
                if (std::max(p.x, q.x) < 0 || std::min(p.x, q.x) >= w || std::max(p.y, q.y) < 0 ||
                    std::min(p.y, q.y) >= h)
                    continue;
                if (!(f & (kHideHere | kHideThere))) DrawPiece(roadBmp_, p, q, f);
                continue;
            }
            const int r = k.route;
            if (r < 1 || r >= nPoints) continue;
            const int rectIndex = point(r - 1).y;
            if (rectIndex >= 0 && static_cast<std::size_t>(rectIndex) < gs_->ShiroRouteRects.size()) {
                const RouteRect& rr = gs_->ShiroRouteRects[static_cast<std::size_t>(rectIndex)];
                const Point tl = DoublePoint(rr.left, rr.top), br = DoublePoint(rr.right, rr.bottom);
                if (!MeetsDoubleDrawn(tl.x, tl.y, br.x, br.y)) continue;
            }
            std::vector<Point> pts;
            for (int i = r; i < nPoints && point(i).x >= 0; ++i)
                pts.push_back(DoublePoint(point(i).x, point(i).y));
            if (!(f & kDrawArcs)) {
                if (pts.empty()) {
                    if (!(f & (kHideHere | kHideThere))) DrawPiece(roadBmp_, p, q, f);
                    continue;
                }
                if (!(f & kHideHere)) DrawPiece(roadBmp_, p, pts.front(), f);
                for (std::size_t i = 1; i < pts.size(); ++i)
                    DrawPiece(roadBmp_, pts[i - 1], pts[i], f);
                if (!(f & kHideThere)) DrawPiece(roadBmp_, pts.back(), q, f);
                continue;
            }
            Point prev = p;
            for (std::size_t i = 0;; i += 2) {
                if (i >= pts.size()) {
                    DrawPiece(roadBmp_, prev, q, f);
                    break;
                }
                const bool last = i + 1 >= pts.size();
                const Point e = last ? q : pts[i + 1];
                DrawWrappedArc(roadBmp_, prev, pts[i], e, f);
                if (last) break;
                prev = e;
            }
        }
    }
    const std::string step = KuniDisplayName(map_, m_nKuni) + " DrawRoad()";
    ImposeChecked(&m_BackBmp, &roadBmp_, 0, 0, step.c_str());
    MarkDirty(Rect(0, 0, drawn_.cx, drawn_.cy));
}

// ---- Castles -------------------------------------------------------------------------------------

int CShiroMapWnd::GetShiroStyle(int shiro) const {
    const int o = ShiroAt(*gs_, shiro).daimyou;
    const int cur = gs_->nCurDaimyou;
    const bool far = m_bShowDistance && m_Distance[static_cast<std::size_t>(shiro)] > gs_->nDistanceLimit;
    if (!IsValidDaimyou(*gs_, o)) return 6;  // a castle without a house: the neutral grey
    if (o == cur) return far ? 6 : 0;
    if (!IsValidDaimyou(*gs_, cur)) return 0;
    const CDaimyou& d = DaimyouAt(*gs_, cur);
    switch (d.GetRelationLo(o)) {
        case 0: return 2;
        case 1: return d.GetRelationLo(EffectiveOwner(*gs_, o)) != 0 ? 1 : 2;
        case 2: return 3;
        case 3:
        case 4:
        case 5: return 4;
        case 6:
        case 7:
        case 8: return far ? 6 : 5;
        default: return 0;
    }
}

int CShiroMapWnd::GetRelationColorIndex(int h) const {
    const int cur = gs_->nCurDaimyou;
    if (h == cur) return 5;
    if (!IsValidDaimyou(*gs_, h) || !IsValidDaimyou(*gs_, cur)) return 0;
    const CDaimyou& d = DaimyouAt(*gs_, cur);
    switch (d.GetRelationLo(h)) {
        case 0: return 11;
        case 1: return d.GetRelationLo(EffectiveOwner(*gs_, h)) != 0 ? 7 : 11;
        case 2: return 8;
        case 3:
        case 4:
        case 5: return 9;
        case 6:
        case 7:
        case 8: return 6;
        case 9:
        case 10: return 10;
        default: return 0;
    }
}

Rect CShiroMapWnd::DrawShiroSub(int shiro) {
    const ShiroMapRecord& m = ShiroMapAt(*gs_, shiro);
    const Point pt = FloorPoint(m.x, m.y);
    const Rect r(pt.x - 10, pt.y - 10, pt.x + 10, pt.y + 10);
    const TypeInfo t = TypeOf(shiro);
    const int style = GetShiroStyle(shiro);
    int pic = t.Picture(style);
    MbBmp::CControlBmp* picture = pic >= 0 ? map_->Picture(pic) : nullptr;
    if (picture && (picture->IsEmpty() || picture->GetBitCount() != 8)) picture = nullptr;
    const bool blink = shiro == m_nBlinkShiro;
    const int phase = std::clamp(m_nBlinkPhase, 0, 3);
    if (!picture) {
        Rect mk = r;
        mk.OffsetRect(t.Mark());
        if (!MeetsDrawn(mk)) return r;
        COLORREF c = ShiroStyleColor(style);
        if (blink) {
            auto up = [&](int ch) { return (255 - ch) * phase / 3 + ch; };
            c = RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
        }
        const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
        const COLORREF light = RGB((cr + 230) / 2, (cg + 230) / 2, (cb + 230) / 2);
        const COLORREF lighter = RGB((cr + 460) / 3, (cg + 460) / 3, (cb + 460) / 3);
        const COLORREF dark = RGB(cr / 2, cg / 2, cb / 2), darker = RGB(cr / 4, cg / 4, cb / 4);
        auto fill = [&](int l, int tp, int rr, int b, COLORREF col) {
            m_BackBmp.FillRect(l, tp, rr - l, b - tp, col);
        };
        const int l = mk.left, tp = mk.top, rr = mk.right, b = mk.bottom;
        fill(l, tp, rr, b, c);
        fill(l, tp, rr, tp + 1, light);
        fill(l + 1, tp + 1, rr - 1, tp + 2, lighter);
        fill(l, tp, l + 1, b, light);
        fill(l + 1, tp + 1, l + 2, b - 1, lighter);
        fill(l + 1, b - 2, rr - 1, b - 1, dark);
        fill(l, b - 1, rr, b, darker);
        fill(rr - 2, tp + 1, rr - 1, b - 1, dark);
        fill(rr - 1, tp, rr, b, darker);
        fill(l, tp, l + 1, tp + 1, lighter);
        if (!InKuni(shiro)) m_BackBmp.ColorHatching(l, tp, mk.Width(), mk.Height(), RGB(64, 64, 64));
        MarkDirty(mk);
    } else {
        const int w = picture->GetWidth(), h = picture->GetHeight();
        const int left = pt.x - (w >> 2) + t.Mark().x, top = pt.y - (h >> 2) + t.Mark().y;
        const Rect box(left, top, left + w / 2, top + h / 2);
        if (!MeetsDrawn(box)) return r;
        if (blink) {
            MbBmp::CControlBmp white;
            if (white.MixWhite(picture, phase * 0.3333333333333333))
                m_BackBmp.Impose8BitBmpWithCompress(&white, left, top);
        } else {
            ImposeChecked(&m_BackBmp, picture, left, top, "DrawShiroSub()");
        }
        MarkDirty(box);
    }
    const int n = ShiroAt(*gs_, shiro).nBushou;
    if (!picture || n != 0) {
        const std::string text = std::to_string(n);
        Rect a = r, b = r;
        a.OffsetRect(t.Count() + Point(2, 4));
        b.OffsetRect(t.Count() + Point(1, 3));
        const unsigned fmt = ui::DT_CENTER | ui::DT_SINGLELINE;
        Text(text.c_str(), a, RGB(0, 0, 0), &fonts_[1], fmt);
        Text(text.c_str(), b, InKuni(shiro) ? RGB(255, 255, 255) : RGB(192, 192, 192), &fonts_[1], fmt);
    }
    return r;
}

void CShiroMapWnd::DrawShiroOwnerLabel(int shiro) {
    const ShiroMapRecord& m = ShiroMapAt(*gs_, shiro);
    const Point pt = FloorPoint(m.x, m.y);
    Rect l(pt.x - 70, pt.y - 24, pt.x + 70, pt.y + 24);
    if (!MeetsDrawn(l)) return;
    const CShiro& c = ShiroAt(*gs_, shiro);
    const TypeInfo t = TypeOf(shiro);
    const bool here = InKuni(shiro);
    const ui::Font* font = &fonts_[1];
    std::string text;
    if (m_bShowDaimyouName) {
        // A castle without a house has no owner label.
        if (!IsValidDaimyou(*gs_, c.daimyou)) return;
        if (!here) {
            font = &fonts_[2];
            l.bottom -= 2;
        }
        text = DaimyouAt(*gs_, c.daimyou).name;
    } else {
        if (m_nGundan == -1 || c.daimyou != gs_->nCurDaimyou) return;
        text = c.gundan == m_nGundan ? "軍団所領" : c.gundan == -1 ? "" : "(他軍団領)";
    }
    Rect a = l, b = l;
    a.OffsetRect(t.Label() + Point(1, 0));
    b.OffsetRect(t.Label() + Point(0, -1));
    const unsigned fmt = ui::DT_CENTER | ui::DT_BOTTOM | ui::DT_SINGLELINE;
    Text(text.c_str(), a, RGB(0, 0, 0), font, fmt);
    Text(text.c_str(), b, here || !m_bShowDaimyouName ? RGB(180, 220, 200) : RGB(135, 165, 150), font, fmt);
}

void CShiroMapWnd::DrawShiroName(int shiro) {
    const ShiroMapRecord& m = ShiroMapAt(*gs_, shiro);
    const Point pt = TruncPoint(m.x, m.y);
    const TypeInfo t = TypeOf(shiro);
    const bool here = InKuni(shiro);
    Rect n(pt.x - 80, pt.y - 24, pt.x + 80, pt.y - 8);
    if (!here) n.top += 2;
    n.OffsetRect(t.Name());
    if (MeetsDrawn(n)) {
        const ui::Font* font = here ? &fonts_[0] : &fonts_[1];
        Rect b = n;
        b.OffsetRect(-1, -1);
        const unsigned fmt = ui::DT_CENTER | ui::DT_SINGLELINE;
        Text(m.name.c_str(), n, RGB(0, 0, 0), font, fmt);
        Text(m.name.c_str(), b, here ? RGB(255, 255, 255) : RGB(192, 192, 192), font, fmt);
    }
    if (m.flags & ShiroMapRecord::kFlagWaterway) DrawBoat(shiro, pt, t);
}

CShiroMapWnd::ShiroBoxes CShiroMapWnd::ShiroLabelBoxes(int shiro) {
    ShiroBoxes boxes;
    if (!gs_ || !IsValidShiro(*gs_, shiro)) return boxes;
    const ShiroMapRecord& m = ShiroMapAt(*gs_, shiro);
    const TypeInfo t = TypeOf(shiro);
    const bool here = InKuni(shiro);
    ui::Bitmap scratch;
    scratch.CreateBitmap(1, 1);
    ui::Dc dc(scratch);
    // A text drawn centred in the box (at its top, or at its bottom), with its shadow one pixel
    // away by (dx, dy).
    auto written = [&](const std::string& text, ui::Font* font, Rect box, bool bottom, int dx, int dy) {
        if (text.empty()) return Rect();
        dc.SelectFont(font);
        const ui::Size size = dc.GetTextExtent(text);
        const int left = box.left + (box.Width() - size.cx) / 2;
        const int top = bottom ? box.bottom - size.cy : box.top;
        Rect r(left, top, left + size.cx, top + size.cy);
        r.UnionRect(r, Rect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy));
        return r;
    };

    const Point floor = FloorPoint(m.x, m.y);
    boxes.mark = Rect(floor.x - 10, floor.y - 10, floor.x + 10, floor.y + 10);
    boxes.mark.OffsetRect(t.Mark());
    const Point pt = TruncPoint(m.x, m.y);
    if (m.flags & ShiroMapRecord::kFlagWaterway) {
        const int ix = pt.x + t.Boat().x - 20, iy = pt.y + t.Boat().y - 8;
        boxes.mark.UnionRect(boxes.mark, Rect(ix, iy, ix + 16, iy + 16));
    }

    Rect n(pt.x - 80, pt.y - 24, pt.x + 80, pt.y - 8);
    if (!here) n.top += 2;
    n.OffsetRect(t.Name());
    boxes.name = written(m.name, here ? &fonts_[0] : &fonts_[1], n, false, -1, -1);

    const CShiro& c = ShiroAt(*gs_, shiro);
    if (m_bShowDaimyouName && IsValidDaimyou(*gs_, c.daimyou)) {
        Rect l(floor.x - 70, floor.y - 24, floor.x + 70, floor.y + 24);
        if (!here) l.bottom -= 2;
        l.OffsetRect(t.Label() + Point(1, 0));
        boxes.owner =
            written(DaimyouAt(*gs_, c.daimyou).name, here ? &fonts_[1] : &fonts_[2], l, true, -1, -1);
    }
    return boxes;
}

void CShiroMapWnd::DrawBoat(int shiro, Point pt, const TypeInfo& t) {
    const int ix = pt.x + t.Boat().x - 20, iy = pt.y + t.Boat().y - 8;
    const Rect box(ix, iy, ix + 16, iy + 16);
    if (!MeetsDrawn(box)) return;
    const COLORREF c = InKuni(shiro) ? RGB(255, 255, 255) : RGB(192, 192, 192);
    struct Run {
        int dx, dy, w, h;
    };
    static const Run hull[] = {{4, 1, 3, 2}, {1, 3, 8, 1}, {2, 4, 7, 1}, {3, 5, 6, 1}};
    static const Run outline[] = {{3, 0, 5, 1}, {8, 2, 2, 1}, {3, 1, 1, 1}, {0, 2, 4, 1}, {0, 3, 1, 1},
                                  {7, 1, 1, 2}, {9, 3, 1, 3}, {1, 4, 1, 1}, {2, 5, 1, 1}, {3, 6, 7, 1}};
    for (const Run& r : hull)
        m_BackBmp.FillRect(ix + r.dx, iy + r.dy, r.w, r.h, c);
    for (const Run& r : outline)
        m_BackBmp.FillRect(ix + r.dx, iy + r.dy, r.w, r.h, RGB(0, 0, 0));
    const int n = gs_->GunsenTable.GetGunsenAtShiro(shiro);
    const int wd = MbMisc::CDrawSmallNumber::NumberWidth(n);
    MbMisc::CDrawSmallNumber digits;
    digits.SetColor(c, RGB(0, 0, 0));
    {
        ui::Dc dc(m_BackBmp);
        digits.DrawNumber(dc, Point(ix + 10 - wd, iy + 7), n);
    }
    MarkDirty(Rect(ix + 10 - wd, iy, ix + 16, iy + 7 + MbMisc::kSmallNumberHeight));
    MarkDirty(box);
}

// ---- Labels --------------------------------------------------------------------------------------

void CShiroMapWnd::DrawLabels() {
    const int n = std::clamp(gs_->nLabel, 0, GameState::kMaxLabel);
    for (int i = 0; i < n; ++i) {
        const LabelRecord& l = gs_->LabelTbl[static_cast<std::size_t>(i)];
        if (l.flags & LabelRecord::kFlagWhole) continue;
        COLORREF c = gs_->ColorPallet[std::min<std::size_t>(l.color, GameState::kColorPalletSize - 1)];
        if (l.kuni != -1 && l.kuni != m_nKuni) c = Halve(c);
        MarkDirty(DrawMapLabel(m_BackBmp, l, TruncPoint(l.x, l.y), l.fontHeight, c));
    }
}

// ---- Hit testing ---------------------------------------------------------------------------------

int CShiroMapWnd::FindShiroAt(Point q) const {
    if (!gs_) return -1;
    for (int s : ShiroIndexes(*gs_)) {
        if (gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s))) continue;
        const Rect& r = m_ShiroRect[static_cast<std::size_t>(s)];
        const Point c((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Rect hit = TypeOf(s).Hit();
        hit.OffsetRect(c);
        if (q.x >= hit.left && q.x < hit.right && q.y >= hit.top && q.y < hit.bottom) return s;
    }
    return -1;
}

// ---- Siege and blockade marks --------------------------------------------------------------------

double CShiroMapWnd::BlockadeAngle(int shiro, int conn, Point p, double rb) const {
    const ShiroConnection& k = ShiroMapAt(*gs_, shiro).connect[static_cast<std::size_t>(conn)];
    const ShiroMapRecord& nb = ShiroMapAt(*gs_, k.shiro);
    const Point q = DoublePoint(nb.x, nb.y);
    int route = k.route;
    unsigned flags = k.drawFlags;
    bool backwards = false;
    if (route == kRouteFromOther) {
        route = -1;
        for (int c = 0; c < ShiroMapRecord::kMaxConnection; ++c) {
            const ShiroConnection& back = nb.connect[static_cast<std::size_t>(c)];
            if (back.shiro == 0xFFFF) break;
            if (back.shiro == shiro && back.kind == kKindSea && back.route != kRouteFromOther) {
                route = back.route;
                flags = back.drawFlags;
                break;
            }
        }
        if (route == -1) return kNoCrossAngle;
        backwards = true;
    }
    std::vector<Point> pts;
    const int nPoints = std::clamp(gs_->nRoutePoint, 0, GameState::kMaxRoutePoint);
    if (route != kRouteStraight && route >= 1)
        for (int i = route; i < nPoints && gs_->ShiroRoutePoints[static_cast<std::size_t>(i)].x >= 0; ++i)
            pts.push_back(DoublePoint(gs_->ShiroRoutePoints[static_cast<std::size_t>(i)].x,
                                      gs_->ShiroRoutePoints[static_cast<std::size_t>(i)].y));
    if (backwards) std::reverse(pts.begin(), pts.end());
    double th = kNoCrossAngle;
    if (route == kRouteStraight || !(flags & kDrawArcs)) {
        Point prev = p;
        for (const Point& r : pts) {
            th = SegmentCrossAngle(p.x, p.y, rb, prev.x, prev.y, r.x, r.y);
            if (th > kNoCrossAngle) break;
            prev = r;
        }
        if (th <= kNoCrossAngle) th = SegmentCrossAngle(p.x, p.y, rb, prev.x, prev.y, q.x, q.y);
    } else {
        std::size_t i = 0;
        if (backwards && pts.size() % 2 == 0 && !pts.empty()) {
            th = SegmentCrossAngle(p.x, p.y, rb, p.x, p.y, pts[0].x, pts[0].y);
            i = 1;
        }
        Point prev = p;
        while (th <= kNoCrossAngle) {
            if (i >= pts.size()) {
                th = SegmentCrossAngle(p.x, p.y, rb, prev.x, prev.y, q.x, q.y);
                break;
            }
            const Point m = pts[i++];
            const Point e = i < pts.size() ? pts[i] : q;
            th = ArcCrossAngle(p.x, p.y, rb, prev.x, prev.y, m.x, m.y, e.x, e.y);
            if (th > kNoCrossAngle || i >= pts.size()) break;
            ++i;
            prev = e;
        }
    }
    if (th <= kNoCrossAngle) th = std::atan2(static_cast<double>(q.y - p.y), static_cast<double>(q.x - p.x));
    return th;
}

void CShiroMapWnd::DrawSiegeMarks() {
    int rmax = 0, bmax = 0;
    const int nTypes = std::clamp(gs_->nShiroType, 0, GameState::kMaxShiroType);
    for (int i = 0; i < nTypes; ++i) {
        const TypeInfo t{&gs_->ShiroTypeTbl[static_cast<std::size_t>(i)]};
        rmax = std::max(rmax, t.SiegeRadius() * 2);
        bmax = std::max(bmax, t.BlockadeRadius() * 2);
    }
    if (nTypes == 0) {
        rmax = BuiltInType().words[31] * 2;
        bmax = BuiltInType().words[32] * 2;
    }
    const int sideS = 2 * rmax + 5, sideB = 2 * bmax + 13;
    const int cs = sideS / 2, cb = sideB / 2;
    bool siegeMade = false, blockadeMade = false;
    for (int s : ShiroIndexes(*gs_)) {
        const CShiro& c = ShiroAt(*gs_, s);
        if (c.nBesieger == 0 && c.blockadeDaimyou == -1) continue;
        const ShiroMapRecord& m = ShiroMapAt(*gs_, s);
        const TypeInfo t = TypeOf(s);
        const Point p = DoublePoint(m.x, m.y);
        if (c.nBesieger != 0) {
            const Point o(2 * t.SiegeMark().x, 2 * t.SiegeMark().y);
            if (MeetsDoubleDrawn(p.x - cs + o.x, p.y - cs + o.y, p.x + cs + o.x, p.y + cs + o.y)) {
                if (!siegeMade)
                    siegeMade = siegeBmp_.CreateBitmap(sideS, sideS, 8, 256, RoadPalette().data());
                if (siegeMade) {
                    siegeBmp_.ClearBuffer();
                    siegeBmp_.SetDrawColor(static_cast<COLORREF>(GetRelationColorIndex(c.besiegerDaimyou)));
                    const int rs = t.SiegeRadius() * 2;
                    const MbBmp::RECT rc{cs - rs, cs - rs, cs + rs, cs + rs};
                    siegeBmp_.DrawThickArc(&rc, MbBmp::POINT{cs - rs, cs}, MbBmp::POINT{cs - rs, cs}, 5,
                                           false, false);
                    const int x = Trunc((p.x - cs) * 0.5) + t.SiegeMark().x,
                              y = Trunc((p.y - cs) * 0.5) + t.SiegeMark().y;
                    ImposeChecked(&m_BackBmp, &siegeBmp_, x, y, "包囲円描画");
                    MarkDirty(Rect(x, y, x + sideS / 2 + 1, y + sideS / 2 + 1));
                }
            }
        }
        if (c.blockadeDaimyou != -1 && MeetsDoubleDrawn(p.x - cb, p.y - cb, p.x + cb, p.y + cb)) {
            if (!blockadeMade)
                blockadeMade = blockadeBmp_.CreateBitmap(sideB, sideB, 8, 256, RoadPalette().data());
            if (!blockadeMade) continue;
            blockadeBmp_.ClearBuffer();
            blockadeBmp_.SetDrawColor(static_cast<COLORREF>(GetRelationColorIndex(c.blockadeDaimyou)));
            const double rb = t.BlockadeRadius() * 2.0;
            constexpr double kDelta = 0.26166666666666666;
            for (int k = 0; k < ShiroMapRecord::kMaxConnection; ++k) {
                const ShiroConnection& con = m.connect[static_cast<std::size_t>(k)];
                if (con.shiro == 0xFFFF) break;
                if (con.kind != kKindSea || !IsValidShiro(*gs_, con.shiro)) continue;
                const double th = BlockadeAngle(s, k, p, rb);
                if (th <= kNoCrossAngle) continue;
                for (double rho : {rb - 4, rb + 4}) {
                    const MbBmp::RECT rc{Trunc(cb - rho), Trunc(cb - rho), Trunc(cb + rho), Trunc(cb + rho)};
                    const MbBmp::POINT from{Trunc(cb + std::cos(th + kDelta) * rho),
                                            Trunc(cb + std::sin(th + kDelta) * rho)};
                    const MbBmp::POINT to{Trunc(cb + std::cos(th - kDelta) * rho),
                                          Trunc(cb + std::sin(th - kDelta) * rho)};
                    blockadeBmp_.DrawThickArc(&rc, from, to, 5, false, false);
                }
            }
            const int x = Trunc((p.x - cb) * 0.5), y = Trunc((p.y - cb) * 0.5);
            ImposeChecked(&m_BackBmp, &blockadeBmp_, x, y, "水路封鎖円弧描画");
            MarkDirty(Rect(x, y, x + sideB / 2 + 1, y + sideB / 2 + 1));
        }
    }
    // The number of besiegers beside each besieged castle.
    for (int s : ShiroIndexes(*gs_)) {
        const CShiro& c = ShiroAt(*gs_, s);
        if (c.nBesieger == 0) continue;
        const ShiroMapRecord& m = ShiroMapAt(*gs_, s);
        const double x = (m.x - origin_.x) * zoomUnit_, y = (m.y - origin_.y) * zoomUnit_;
        Rect box(Point(Trunc(x + 17), Trunc(y - 6)), ui::Size(16, 16));
        box.OffsetRect(TypeOf(s).BesiegerCount());
        if (!MeetsDrawn(box)) continue;
        const std::string text = std::to_string(c.nBesieger);
        Rect b = box;
        b.OffsetRect(-1, -1);
        Text(text.c_str(), box, RGB(0, 0, 0), &fonts_[1], ui::DT_CENTER | ui::DT_SINGLELINE);
        Text(text.c_str(), b, InKuni(s) ? RGB(255, 255, 255) : RGB(192, 192, 192), &fonts_[1],
             ui::DT_CENTER | ui::DT_SINGLELINE);
    }
}

}  // namespace rymd::shell
