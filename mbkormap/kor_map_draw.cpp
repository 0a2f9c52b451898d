// Drawing the province map, painting provinces and finding the province under a point.
//
// Layers of DrawMap, bottom to top: relief and sea, shadows (every shadow-casting polygon shifted
// 3 pixels right and down, solid black), textured land by level, palette areas by level, water,
// lines. Within a level polygons are drawn in array order, so a later one covers an earlier one.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "mbkormap/kor_map.h"

namespace MbKorMap {

namespace {

// Shadows fall this many display pixels right and down, whatever the scale.
constexpr int kShadowOffset = 3;

std::int32_t ClampToInt32(double v) {
    if (!(v > static_cast<double>(INT32_MIN))) return INT32_MIN;  // also NaN
    if (v >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    return static_cast<std::int32_t>(v);  // truncation toward zero
}

std::int32_t ClampToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// A scaled point with the offset taken off.
POINT OffsetPoint(POINT scaled, CSize offset) {
    return {ClampToInt32(static_cast<std::int64_t>(scaled.x) - offset.cx),
            ClampToInt32(static_cast<std::int64_t>(scaled.y) - offset.cy)};
}

// Indices of the polygons of one kind in drawing order: by level (value), then array order.
std::vector<int> LevelOrder(const std::vector<tagMapPolygon>& polygons, int kind) {
    std::vector<int> order;
    for (std::size_t i = 0; i < polygons.size(); ++i)
        if (polygons[i].Kind() == kind) order.push_back(static_cast<int>(i));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return polygons[static_cast<std::size_t>(a)].value < polygons[static_cast<std::size_t>(b)].value;
    });
    return order;
}

}  // namespace

// ---- Outlines -------------------------------------------------------------------------------------

POINT CCtrlKorMap::Scaled(std::int32_t x, std::int32_t y, double sx, double sy) const {
    const double unit = static_cast<double>(data_.unit);
    return {ClampToInt32(static_cast<double>(x) / unit * sx),
            ClampToInt32(static_cast<double>(y) / unit * sy)};
}

POINT CCtrlKorMap::ToDisplay(std::int32_t x, std::int32_t y, CSize offset, double sx, double sy) const {
    return OffsetPoint(Scaled(x, y, sx, sy), offset);
}

// A border shared by two provinces is walked by both outlines and by the line drawing: its points
// are converted once per scale.
void CCtrlKorMap::ConvertPoints() {
    if (converted_ && convertedX_ == scaleX_ && convertedY_ == scaleY_) return;
    const KorMapData& d = data_;
    scaledNodes_.resize(d.nodes.size());
    for (std::size_t i = 0; i < d.nodes.size(); ++i)
        scaledNodes_[i] = Scaled(d.nodes[i].x, d.nodes[i].y, scaleX_, scaleY_);
    scaledPoints_.resize(d.linePoints.size());
    for (std::size_t i = 0; i < d.linePoints.size(); ++i)
        scaledPoints_[i] = Scaled(d.linePoints[i].x, d.linePoints[i].y, scaleX_, scaleY_);
    converted_ = true;
    convertedX_ = scaleX_;
    convertedY_ = scaleY_;
}

void CCtrlKorMap::ForgetDrawings() {
    pictures_.clear();
    converted_ = false;
    scaledNodes_.clear();
    scaledPoints_.clear();
}

POINT CCtrlKorMap::ConvertToDispPoint(const POINT& pt) const {
    return ToDisplay(pt.x, pt.y, CSize{}, scaleX_, scaleY_);
}

int CCtrlKorMap::ArrangePolygonPointList(int polygon, POINT* out, const CSize& offset, int max) const {
    return Arrange(polygon, out, offset, max, scaleX_, scaleY_, false);
}

// The walk follows the polygon's run of lines: a line whose start node is the current node is
// taken forwards (start node, then its inner points), any other backwards (end node, then its
// inner points from the last); the far node becomes the current one. The outline closes by itself.
// At most max points of the walk are taken. Merged: of those, a point on the same display pixel
// as the one before is left out (and the last when it is the first's): the outline covers the
// same pixels.
int CCtrlKorMap::Arrange(int polygon, POINT* out, CSize offset, int max, double sx, double sy,
                         bool merged) const {
    const KorMapData& d = data_;
    if (polygon < 0 || static_cast<std::size_t>(polygon) >= d.polygons.size() || !out || max <= 0) return 0;
    const std::size_t listSize = d.polygonLineList.size();
    const std::size_t pointCount = d.linePoints.size();
    std::size_t li =
        static_cast<std::size_t>(std::max<int>(d.polygons[static_cast<std::size_t>(polygon)].firstList, 0));
    if (li >= listSize) return 0;
    auto lineAt = [&](std::size_t i) -> const tagMapLine* {
        const std::int32_t v = d.polygonLineList[i];
        return v >= 0 && static_cast<std::size_t>(v) < d.lines.size() ? &d.lines[static_cast<std::size_t>(v)]
                                                                      : nullptr;
    };
    // Points converted for this scale already, or converted here.
    const bool converted = converted_ && sx == convertedX_ && sy == convertedY_;
    auto node = [&](std::int16_t n) -> POINT {
        if (n < 0 || static_cast<std::size_t>(n) >= d.nodes.size()) return Scaled(0, 0, sx, sy);
        const tagMapNode& v = d.nodes[static_cast<std::size_t>(n)];
        return converted ? scaledNodes_[static_cast<std::size_t>(n)] : Scaled(v.x, v.y, sx, sy);
    };
    auto point = [&](std::size_t p) -> POINT {
        return converted ? scaledPoints_[p] : Scaled(d.linePoints[p].x, d.linePoints[p].y, sx, sy);
    };
    const tagMapLine* first = lineAt(li);
    if (!first) return 0;
    int current = first->start;
    int n = 0, taken = 0;
    auto emit = [&](POINT scaled) {
        const POINT q = OffsetPoint(scaled, offset);
        if (!merged || n == 0 || q.x != out[n - 1].x || q.y != out[n - 1].y) out[n++] = q;
        return ++taken < max;
    };
    auto finish = [&] {
        if (merged && n > 1 && out[n - 1].x == out[0].x && out[n - 1].y == out[0].y) --n;
        return n;
    };
    for (; li < listSize; ++li) {
        const tagMapLine* line = lineAt(li);
        if (!line) break;  // the -1 that ends the run
        // The line's inner points: firstPoint up to (not including) its terminator.
        std::size_t p0 = static_cast<std::size_t>(std::max<std::int32_t>(line->firstPoint, 0));
        std::size_t p1 = p0;
        while (p1 < pointCount && !d.linePoints[p1].IsTerminator())
            ++p1;
        p0 = std::min(p0, p1);
        if (line->start == current) {
            if (!emit(node(line->start))) return finish();
            for (std::size_t p = p0; p < p1; ++p)
                if (!emit(point(p))) return finish();
            current = line->end;
        } else {
            if (!emit(node(line->end))) return finish();
            for (std::size_t p = p1; p > p0; --p)
                if (!emit(point(p - 1))) return finish();
            current = line->start;
        }
    }
    return finish();
}

void CCtrlKorMap::CalcPolygonRect() {
    ForgetDrawings();
    KorMapData& d = data_;
    d.polygonRects.assign(d.polygons.size(), RECT{});
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        RECT r{INT32_MAX, INT32_MAX, -INT32_MAX, -INT32_MAX};
        auto widen = [&](std::int32_t x, std::int32_t y) {
            r.left = std::min(r.left, x);
            r.top = std::min(r.top, y);
            r.right = std::max(r.right, x);
            r.bottom = std::max(r.bottom, y);
        };
        for (std::size_t li = static_cast<std::size_t>(std::max<int>(d.polygons[i].firstList, 0));
             li < d.polygonLineList.size(); ++li) {
            const std::int32_t v = d.polygonLineList[li];
            if (v < 0 || static_cast<std::size_t>(v) >= d.lines.size()) break;
            const tagMapLine& line = d.lines[static_cast<std::size_t>(v)];
            for (std::int16_t n : {line.start, line.end})
                if (n >= 0 && static_cast<std::size_t>(n) < d.nodes.size())
                    widen(d.nodes[static_cast<std::size_t>(n)].x, d.nodes[static_cast<std::size_t>(n)].y);
            for (std::size_t p = static_cast<std::size_t>(std::max<std::int32_t>(line.firstPoint, 0));
                 p < d.linePoints.size() && !d.linePoints[p].IsTerminator(); ++p)
                widen(d.linePoints[p].x, d.linePoints[p].y);
        }
        // Right and bottom exclusive.
        if (r.right < INT32_MAX) ++r.right;
        if (r.bottom < INT32_MAX) ++r.bottom;
        d.polygonRects[i] = r;
    }
    landOrder_ = LevelOrder(d.polygons, tagMapPolygon::kLand);
    paletteOrder_ = LevelOrder(d.polygons, tagMapPolygon::kPalette);
}

// ---- Drawing ----------------------------------------------------------------------------------------

COLORREF CCtrlKorMap::PaletteColor(int index) const {
    // Palette entries past the 32 of the palette have no colour of their own: black.
    return index >= 0 && index < kPaletteSize ? data_.palette[static_cast<std::size_t>(index)] : 0;
}

void CCtrlKorMap::DrawOutline(int polygon, CSize offset, int brightType, bool relief, bool texture,
                              COLORREF colour, bool fillAll) {
    if (outline_.size() < static_cast<std::size_t>(kMaxOutlinePoints)) outline_.resize(kMaxOutlinePoints);
    ConvertPoints();
    const int n = Arrange(polygon, outline_.data(), offset, kMaxOutlinePoints, scaleX_, scaleY_, true);
    if (n > 0)
        data_.elvMap.DrawPolygonOnBitmapBuffer(outline_.data(), n, brightType, relief, texture, colour,
                                               fillAll);
}

std::array<std::int64_t, 14> CCtrlKorMap::PictureKey(int x, int y, int w, int h, int dispW, int dispH) const {
    const Mb3dMap::CCtrlElvMap& elv = data_.elvMap;
    return {x,
            y,
            w,
            h,
            dispW,
            dispH,
            elv.GetSeason(),
            elv.GetReliefLevel(),
            elv.GetSelectedTexture(),
            selectedKuni_,
            selectedBright_,
            otherBright_,
            static_cast<std::int64_t>(elv.GetContentGeneration()),
            static_cast<std::int64_t>(Mb3dMap::GetPaintPath())};
}

void CCtrlKorMap::DrawMap(int x, int y, int w, int h, int dispW, int dispH) {
    if (w <= 0 || h <= 0 || dispW <= 0 || dispH <= 0) return;
    KorMapData& d = data_;
    const std::int64_t unit = d.unit;
    const std::int64_t viewLeft = x * unit, viewTop = y * unit;
    const std::int64_t viewRight = (static_cast<std::int64_t>(x) + w) * unit;
    const std::int64_t viewBottom = (static_cast<std::int64_t>(y) + h) * unit;

    scaleX_ = static_cast<double>(dispW) / w;
    scaleY_ = static_cast<double>(dispH) / h;
    origin_ = {ClampToInt32(x * scaleX_), ClampToInt32(y * scaleY_)};

    const std::array<std::int64_t, 14> key = PictureKey(x, y, w, h, dispW, dispH);
    Mb3dMap::CCtrlElvMap& elv = d.elvMap;
    // The sea covers every pixel of the target, or a kept picture does.
    elv.StretchElevationData(x, y, w, h, dispW, dispH, false);
    // Every layer is drawn over the whole target, so a picture of the same view drawn with the
    // same settings over the same map is the same picture.
    MbBmp::CControlBmp* target = elv.GetTargetBmp();
    const std::size_t bytes = target->GetBufferPtr() != nullptr && elv.GetViewWidth() > 0
                                  ? static_cast<std::size_t>(target->GetWidthBytes()) * target->GetHeight()
                                  : 0;
    for (auto it = pictures_.begin(); bytes > 0 && it != pictures_.end(); ++it) {
        if (it->key != key || it->pixels.size() != bytes) continue;
        std::memcpy(target->GetBufferPtr(), it->pixels.data(), bytes);
        elv.SelectTexture(it->textureAfter);
        std::rotate(pictures_.begin(), it, it + 1);
        return;
    }

    elv.FillSeaColorOnBitmapBuffer();
    DrawLayers(viewLeft, viewTop, viewRight, viewBottom);

    if (bytes == 0) return;
    // The oldest picture gives its memory to the new one (fresh memory is slow to touch first).
    if (pictures_.size() < kKeptPictures) pictures_.emplace_back();
    std::rotate(pictures_.begin(), pictures_.end() - 1, pictures_.end());
    DrawnPicture& picture = pictures_.front();
    picture.key = key;
    picture.textureAfter = elv.GetSelectedTexture();
    picture.pixels.assign(target->GetBufferPtr(), target->GetBufferPtr() + bytes);
}

void CCtrlKorMap::DrawLayers(std::int64_t viewLeft, std::int64_t viewTop, std::int64_t viewRight,
                             std::int64_t viewBottom) {
    KorMapData& d = data_;
    Mb3dMap::CCtrlElvMap& elv = d.elvMap;

    // Shadows: solid black, shifted right and down.
    const CSize shadow{ClampToInt32(static_cast<std::int64_t>(origin_.cx) - kShadowOffset),
                       ClampToInt32(static_cast<std::int64_t>(origin_.cy) - kShadowOffset)};
    for (std::size_t i = 0; i < d.polygons.size(); ++i)
        if (d.polygons[i].kind & tagMapPolygon::kShadow)
            DrawOutline(static_cast<int>(i), shadow, 0, false, false, 0, true);

    // Land by level; polygons outside the view cost nothing.
    for (int i : landOrder_) {
        const tagMapPolygon& p = d.polygons[static_cast<std::size_t>(i)];
        const RECT& r = d.polygonRects[static_cast<std::size_t>(i)];
        if (!(r.left < viewRight && viewLeft < r.right && r.top < viewBottom && viewTop < r.bottom)) continue;
        elv.SelectTexture(p.value);
        DrawOutline(i, origin_, BrightOf(p), !(p.kind & tagMapPolygon::kNoRelief), true, 0,
                    (p.kind & tagMapPolygon::kFillAll) != 0);
    }
    // Palette areas by level (clipped by the scan conversion).
    for (int i : paletteOrder_) {
        const tagMapPolygon& p = d.polygons[static_cast<std::size_t>(i)];
        DrawOutline(i, origin_, BrightOf(p), !(p.kind & tagMapPolygon::kNoRelief), false,
                    PaletteColor(p.value), (p.kind & tagMapPolygon::kFillAll) != 0);
    }
    // Water.
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        const tagMapPolygon& p = d.polygons[i];
        if (p.Kind() == tagMapPolygon::kWater)
            DrawOutline(static_cast<int>(i), origin_, BrightOf(p), false, false, d.waterColor, true);
    }
    DrawLine();
}

void CCtrlKorMap::PaintKuni(int kuni, COLORREF colour, bool drawLines, int brightType, bool shade) {
    const KorMapData& d = data_;
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        const tagMapPolygon& p = d.polygons[i];
        if (p.kuni != kuni || p.Kind() == tagMapPolygon::kWater || p.Kind() == tagMapPolygon::kHidden)
            continue;
        DrawOutline(static_cast<int>(i), origin_, brightType, shade, false, colour,
                    (p.kind & tagMapPolygon::kFillAll) != 0);
    }
    // Lakes keep their water, always in the standard water colour.
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        const tagMapPolygon& p = d.polygons[i];
        if (p.kuni == kuni && p.Kind() == tagMapPolygon::kWater)
            DrawOutline(static_cast<int>(i), origin_, brightType, false, false, kDefaultWaterColor, true);
    }
    if (drawLines) DrawLine();
}

void CCtrlKorMap::DrawLine() {
    const KorMapData& d = data_;
    Mb3dMap::CCtrlElvMap& elv = data_.elvMap;
    ConvertPoints();
    auto nodeAt = [&](std::int16_t n) {
        return n >= 0 && static_cast<std::size_t>(n) < d.nodes.size()
                   ? OffsetPoint(scaledNodes_[static_cast<std::size_t>(n)], origin_)
                   : ToDisplay(0, 0, origin_, scaleX_, scaleY_);
    };
    for (const tagMapLine& line : d.lines) {
        const int code = line.color & tagMapLine::kCodeMask;
        if (code == tagMapLine::kHidden) continue;
        COLORREF colour = 0;  // black, also for codes without a colour of their own
        if (code == tagMapLine::kWhite)
            colour = 0xFFFFFF;
        else if (code >= tagMapLine::kPaletteBase)
            colour = PaletteColor(code - tagMapLine::kPaletteBase);
        POINT prev = nodeAt(line.start);
        for (std::size_t p = static_cast<std::size_t>(std::max<std::int32_t>(line.firstPoint, 0));; ++p) {
            if (p >= d.linePoints.size() || d.linePoints[p].IsTerminator()) {
                elv.DrawLineOnBitmapBuffer(prev, nodeAt(line.end), colour);
                break;
            }
            // A point on the pixel before adds nothing (the last piece is always drawn, so a line
            // on one pixel still gets it).
            const POINT next = OffsetPoint(scaledPoints_[p], origin_);
            if (next.x == prev.x && next.y == prev.y) continue;
            elv.DrawLineOnBitmapBuffer(prev, next, colour);
            prev = next;
        }
    }
}

// ---- Hit testing ------------------------------------------------------------------------------------

// The outlines are built at scale 1 without origin, that is in relief coordinates. A polygon
// whose bounding rectangle (in relief coordinates) misses the point cannot hold it, so only the
// others are walked.
int CCtrlKorMap::DetectKuni(POINT pt) {
    const KorMapData& d = data_;
    if (outline_.size() < static_cast<std::size_t>(kMaxOutlinePoints)) outline_.resize(kMaxOutlinePoints);
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        const tagMapPolygon& p = d.polygons[i];
        if (p.kuni < 0) continue;
        if (i < d.polygonRects.size()) {
            const RECT& r = d.polygonRects[i];
            if (r.left > r.right || r.top > r.bottom) continue;  // no outline
            const POINT lo = ToDisplay(r.left, r.top, CSize{}, 1.0, 1.0);
            const POINT hi = ToDisplay(r.right == INT32_MAX ? r.right : r.right - 1,
                                       r.bottom == INT32_MAX ? r.bottom : r.bottom - 1, CSize{}, 1.0, 1.0);
            if (pt.x < lo.x || pt.x > hi.x || pt.y < lo.y || pt.y > hi.y) continue;
        }
        const int n =
            Arrange(static_cast<int>(i), outline_.data(), CSize{}, kMaxOutlinePoints, 1.0, 1.0, false);
        if (n > 0 && Mb3dMap::CCtrlElvMap::PtInPolygon(pt, outline_.data(), n)) return p.kuni;
    }
    return -1;
}

}  // namespace MbKorMap
