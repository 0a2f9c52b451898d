// Outlines to spans, point-in-outline tests and clipped one-pixel lines.
//
// The pixel rules, shared by CalcPolygon and PtInPolygon so that a click finds exactly the
// pixels that were painted:
// - An edge runs from its upper end (x0, y0) to its lower end (x1, y1). On row y it crosses at
//   column x0 + ((y - y0) x (x1 - x0) +- (y1 - y0) / 2) / (y1 - y0): rounded to nearest, the half
//   taken in the direction of the slope.
// - Inside: on each row the crossings of the non-horizontal edges with y0 <= y < y1 are sorted and
//   paired (even-odd rule); each pair covers its two columns and everything between. Counting the
//   upper end and not the lower one makes a vertex that the outline passes through count once,
//   a local top count twice and a local bottom not at all, so the pairing stays right at vertices.
// - The outline's own pixels belong to the area as well: a steep edge (|dx| <= dy) has one pixel
//   per row, its crossing; a shallow edge has on each row the run of columns that a line stepped
//   along x puts there; a horizontal edge has all its columns.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "mb3dmap/elv_map.h"

namespace Mb3dMap {

namespace {

using i64 = std::int64_t;
// Products of two coordinate differences (each up to 2^32) need more than 64 bits.
using i128 = __int128;

i128 FloorDiv(i128 a, i128 b) {  // b > 0
    i128 q = a / b;
    if ((a % b) != 0 && a < 0) --q;
    return q;
}

i128 CeilDiv(i128 a, i128 b) {  // b > 0
    return -FloorDiv(-a, b);
}

i64 Clamp64(i128 v, i64 lo, i64 hi) {
    return static_cast<i64>(v < lo ? lo : v > hi ? hi : v);
}

// Values below 2^31 multiply without overflow in 64 bits.
bool Small(i64 a, i64 b) {
    return a >= 0 && b >= 0 && a < (i64{1} << 31) && b < (i64{1} << 31);
}

struct Edge {
    i64 x0, y0, x1, y1;  // upper end first; a horizontal edge has x0 <= x1
    i64 adx, dy;
    int sgn;  // direction of x from the upper end to the lower end

    bool Horizontal() const { return dy == 0; }
    bool Steep() const { return adx <= dy; }

    // Column where the edge crosses row y (dy > 0).
    i64 Crossing(i64 y) const {
        const i64 t = y - y0;
        if (Small(t, adx)) {
            const i64 num = t * adx + dy / 2;
            // Screen-sized outlines divide in 32 bits, which is much quicker.
            if (num <= 0x7FFFFFFF && dy <= 0x7FFFFFFF)
                return x0 + sgn * static_cast<i64>(static_cast<std::uint32_t>(num) /
                                                   static_cast<std::uint32_t>(dy));
            return x0 + sgn * (num / dy);
        }
        return x0 + sgn * static_cast<i64>((static_cast<i128>(t) * adx + dy / 2) / dy);
    }

    // The edge's own pixels on row y (y0 <= y <= y1), as a column range.
    void Run(i64 y, i64& lo, i64& hi) const {
        if (dy == 0) {
            lo = x0;
            hi = x1;
            return;
        }
        if (Steep()) {
            lo = hi = Crossing(y);
            return;
        }
        // Stepped along x: offset u in 0..adx lies on row y0 + floor((u x dy + adx / 2) / adx).
        const i64 t = y - y0;
        const i64 h = adx / 2;
        i64 uLo, uHi;
        if (Small(t + 1, adx)) {
            const i64 a = t * adx - h;
            const i64 b = (t + 1) * adx - h - 1;
            uLo = std::max<i64>(0, a <= 0 ? -(-a / dy) : (a + dy - 1) / dy);  // ceil(a / dy)
            uHi = std::min<i64>(adx, b / dy);                                 // b >= 0
        } else {
            uLo = Clamp64(CeilDiv(static_cast<i128>(t) * adx - h, dy), 0, adx);
            uHi = Clamp64(FloorDiv(static_cast<i128>(t + 1) * adx - h - 1, dy), 0, adx);
        }
        const i64 a = x0 + sgn * uLo;
        const i64 b = x0 + sgn * uHi;
        lo = std::min(a, b);
        hi = std::max(a, b);
    }
};

Edge MakeEdge(const POINT& p, const POINT& q) {
    Edge e{};
    const POINT* up = &p;
    const POINT* lo = &q;
    if (q.y < p.y || (q.y == p.y && q.x < p.x)) std::swap(up, lo);
    e.x0 = up->x;
    e.y0 = up->y;
    e.x1 = lo->x;
    e.y1 = lo->y;
    e.dy = e.y1 - e.y0;
    const i64 dx = e.x1 - e.x0;
    e.adx = dx < 0 ? -dx : dx;
    e.sgn = dx < 0 ? -1 : 1;
    return e;
}

struct Interval {
    i64 lo, hi;
};

// Rows hold a handful of entries: insertion sort beats the general sort there.
template <class T, class Less>
void InsertionSort(std::vector<T>& v, Less less) {
    if (v.size() > 32) {
        std::sort(v.begin(), v.end(), less);
        return;
    }
    for (std::size_t i = 1; i < v.size(); ++i) {
        T x = v[i];
        std::size_t j = i;
        for (; j > 0 && less(x, v[j - 1]); --j)
            v[j] = v[j - 1];
        v[j] = x;
    }
}

// Covered column ranges of one row, merged and sorted, from the edges touching the row.
class RowCoverage {
public:
    void Begin() {
        crossings_.clear();
        intervals_.clear();
    }
    void AddEdge(const Edge& e, i64 y) {
        if (e.dy > 0 && y < e.y1) {
            crossings_.push_back(e.Crossing(y));
            // A steep edge's pixel on this row is its crossing, which ends a pair anyway.
            if (e.Steep()) return;
        }
        i64 lo, hi;
        e.Run(y, lo, hi);
        intervals_.push_back({lo, hi});
    }
    // Pairs the crossings and merges everything; the result is in Intervals().
    void Finish() {
        InsertionSort(crossings_, [](i64 a, i64 b) { return a < b; });
        for (std::size_t i = 0; i < crossings_.size(); i += 2)
            intervals_.push_back({crossings_[i], crossings_[std::min(i + 1, crossings_.size() - 1)]});
        InsertionSort(intervals_, [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
        std::size_t out = 0;
        for (std::size_t i = 0; i < intervals_.size(); ++i) {
            if (out > 0 && intervals_[i].lo <= intervals_[out - 1].hi + 1) {
                intervals_[out - 1].hi = std::max(intervals_[out - 1].hi, intervals_[i].hi);
            } else {
                intervals_[out++] = intervals_[i];
            }
        }
        intervals_.resize(out);
    }
    const std::vector<Interval>& Intervals() const { return intervals_; }

private:
    std::vector<i64> crossings_;
    std::vector<Interval> intervals_;
};

}  // namespace

int CCtrlElvMap::CalcPolygon(const POINT* points, int count, tagHorzLine* spans, int max) const {
    const int viewW = m_nViewWidth;
    const int viewH = m_nViewHeight;
    if (points == nullptr || count <= 0 || spans == nullptr || max <= 0 || viewW <= 0 || viewH <= 0) return 0;

    i64 minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (int i = 1; i < count; ++i) {
        minX = std::min<i64>(minX, points[i].x);
        maxX = std::max<i64>(maxX, points[i].x);
        minY = std::min<i64>(minY, points[i].y);
        maxY = std::max<i64>(maxY, points[i].y);
    }
    if (maxX < 0 || minX > viewW - 1 || maxY < 0 || minY > viewH - 1) return 0;

    std::vector<Edge> edges;
    edges.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const Edge e = MakeEdge(points[i], points[(i + 1) % count]);
        if (e.y1 < 0 || e.y0 > viewH - 1) continue;  // wholly above or below the view
        edges.push_back(e);
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });

    const i64 top = std::max<i64>(minY, 0);
    const i64 bottom = std::min<i64>(maxY, viewH - 1);
    std::vector<const Edge*> active;
    std::size_t next = 0;
    RowCoverage row;
    int written = 0;
    for (i64 y = top; y <= bottom; ++y) {
        while (next < edges.size() && edges[next].y0 <= y)
            active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->y1 < y; }),
                     active.end());
        row.Begin();
        for (const Edge* e : active)
            row.AddEdge(*e, y);
        row.Finish();
        for (const Interval& iv : row.Intervals()) {
            if (iv.hi < 0 || iv.lo > viewW - 1) continue;
            if (written == max) return max;
            spans[written].y = static_cast<std::int16_t>(y);
            spans[written].x1 = static_cast<std::int16_t>(std::max<i64>(iv.lo, 0));
            spans[written].x2 = static_cast<std::int16_t>(std::min<i64>(iv.hi, viewW - 1));
            ++written;
        }
    }
    return written;
}

bool CCtrlElvMap::PtInPolygon(POINT pt, const POINT* points, int count) {
    if (points == nullptr || count <= 0) return false;
    const i64 y = pt.y;
    RowCoverage row;
    row.Begin();
    bool left = false, right = false, any = false;
    for (int i = 0; i < count; ++i) {
        const Edge e = MakeEdge(points[i], points[(i + 1) % count]);
        if (y < e.y0 || y > e.y1) continue;
        any = true;
        left |= std::min(e.x0, e.x1) <= pt.x;
        right |= std::max(e.x0, e.x1) >= pt.x;
        row.AddEdge(e, y);
    }
    // Nothing reaches the row, or everything lies on one side of the point.
    if (!any || !left || !right) return false;
    row.Finish();
    for (const Interval& iv : row.Intervals())
        if (pt.x >= iv.lo && pt.x <= iv.hi) return true;
    return false;
}

void CCtrlElvMap::DrawPolygonOnBitmapBuffer(const POINT* points, int count, int brightType, bool relief,
                                            bool texture, COLORREF colour, bool fillAll) {
    if (m_Stretched.empty()) return;
    // One span buffer per thread, made once.
    thread_local std::vector<tagHorzLine> spans(kMaxPolygonSpans);
    const int n = CalcPolygon(points, count, spans.data(), kMaxPolygonSpans);
    if (n > 0) DrawPolygonOnBitmapBuffer(spans.data(), n, brightType, relief, texture, colour, fillAll);
}

void CCtrlElvMap::DrawLineOnBitmapBuffer(POINT a, POINT b, COLORREF colour) {
    MbBmp::CControlBmp* bmp = GetTargetBmp();
    const int bpp = bmp->GetPixelBytes();
    if (bmp->GetBufferPtr() == nullptr || (bpp != 3 && bpp != 4)) return;
    const i64 w = std::min(m_nViewWidth, bmp->GetWidth());
    const i64 h = std::min(m_nViewHeight, bmp->GetHeight());
    if (w <= 0 || h <= 0) return;
    const std::uint8_t cb = static_cast<std::uint8_t>(colour >> 16);
    const std::uint8_t cg = static_cast<std::uint8_t>(colour >> 8);
    const std::uint8_t cr = static_cast<std::uint8_t>(colour);

    // Both ends beyond the same side: nothing to draw.
    if ((a.x < 0 && b.x < 0) || (a.y < 0 && b.y < 0) || (a.x >= w && b.x >= w) || (a.y >= h && b.y >= h))
        return;

    // The unclipped line: along the major axis, step i (0..n) puts the minor coordinate at
    // start + floor((i x dminor + n / 2) / n). Only the steps whose pixel lies in the view are drawn.
    const bool xMajor = std::abs(static_cast<i64>(b.x) - a.x) >= std::abs(static_cast<i64>(b.y) - a.y);
    const i64 maj0 = xMajor ? a.x : a.y;
    const i64 min0 = xMajor ? a.y : a.x;
    const i64 dMaj = (xMajor ? static_cast<i64>(b.x) : b.y) - maj0;
    const i64 dMin = (xMajor ? static_cast<i64>(b.y) : b.x) - min0;
    const i64 n = dMaj < 0 ? -dMaj : dMaj;
    const i64 am = dMin < 0 ? -dMin : dMin;
    const int sMaj = dMaj < 0 ? -1 : 1;
    const int sMin = dMin < 0 ? -1 : 1;
    const i64 majSize = xMajor ? w : h;
    const i64 minSize = xMajor ? h : w;
    const i64 half = n / 2;

    i64 iLo = 0, iHi = n;
    const bool inside =
        a.x >= 0 && a.y >= 0 && b.x >= 0 && b.y >= 0 && a.x < w && b.x < w && a.y < h && b.y < h;
    if (!inside) {
        // Steps whose major coordinate lies in 0..majSize-1.
        if (sMaj > 0) {
            iLo = std::max(iLo, -maj0);
            iHi = std::min(iHi, majSize - 1 - maj0);
        } else {
            iLo = std::max(iLo, maj0 - (majSize - 1));
            iHi = std::min(iHi, maj0);
        }
        // Minor offsets m that lie in 0..minSize-1.
        i64 mLo, mHi;
        if (sMin > 0) {
            mLo = -min0;
            mHi = minSize - 1 - min0;
        } else {
            mLo = min0 - (minSize - 1);
            mHi = min0;
        }
        mLo = std::max<i64>(mLo, 0);
        if (mHi < mLo) return;
        if (n == 0 || am == 0) {
            if (0 < mLo || 0 > mHi) return;  // the minor offset stays 0
        } else {
            iLo = std::max(iLo, Clamp64(CeilDiv(static_cast<i128>(mLo) * n - half, am), -1, n + 1));
            iHi = std::min(iHi, Clamp64(FloorDiv(static_cast<i128>(mHi + 1) * n - half - 1, am), -1, n + 1));
        }
        if (iLo > iHi) return;
    }

    const i128 acc = static_cast<i128>(iLo) * am + half;
    i64 m = n > 0 ? static_cast<i64>(acc / n) : 0;
    i64 err = n > 0 ? static_cast<i64>(acc % n) : 0;
    for (i64 i = iLo; i <= iHi; ++i) {
        const i64 major = maj0 + sMaj * i;
        const i64 minor = min0 + sMin * m;
        const int px = static_cast<int>(xMajor ? major : minor);
        const int py = static_cast<int>(xMajor ? minor : major);
        std::uint8_t* p = bmp->GetLinePtr(py) + static_cast<std::size_t>(px) * bpp;
        p[0] = cb;
        p[1] = cg;
        p[2] = cr;
        if (n > 0) {
            err += am;
            if (err >= n) {
                err -= n;
                ++m;
            }
        }
    }
}

}  // namespace Mb3dMap
