// Drawing into the bitmap: lines, arcs, imposing at half size, brightness, hatching, whitening.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "mbbmp/bmp_internal.h"
#include "mbbmp/control_bmp.h"

namespace MbBmp {

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Interval {
    double lo = 1.0;
    double hi = 0.0;  // empty while lo > hi
    bool Empty() const { return lo > hi; }
};

// Interval of x on row y inside the disc of centre (cx, cy) and radius r.
Interval DiscRow(double cx, double cy, double r, double y) {
    const double dy = y - cy;
    const double q = r * r - dy * dy;
    if (q < 0) return {};
    const double s = std::sqrt(q);
    return {cx - s, cx + s};
}

// Keeps the x with lo <= a * x + b <= hi.
void ClampLinear(Interval& iv, double a, double b, double lo, double hi) {
    if (iv.Empty()) return;
    if (a == 0.0) {
        if (b < lo || b > hi) iv = {};
        return;
    }
    double x0 = (lo - b) / a, x1 = (hi - b) / a;
    if (x0 > x1) std::swap(x0, x1);
    iv.lo = std::max(iv.lo, x0);
    iv.hi = std::min(iv.hi, x1);
}

Interval Union(Interval a, Interval b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.lo, b.lo), std::max(a.hi, b.hi)};
}

// Parameter range [t0, t1] of the segment inside the box; false when it misses the box.
bool ClipSegment(double x1, double y1, double x2, double y2, double minX, double minY, double maxX,
                 double maxY, double& t0, double& t1) {
    t0 = 0.0;
    t1 = 1.0;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - minX, maxX - x1, y1 - minY, maxY - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

int Clamp255(double v) {
    return v <= 0 ? 0 : v >= 255 ? 255 : static_cast<int>(v);
}

double SafeFactor(double f, double maxValue) {
    if (!(f >= 0)) return 0.0;  // negative or NaN
    return std::min(f, maxValue);
}

// Which palette indices of an 8-bit bitmap imposing leaves out.
std::array<bool, 256> TransparentIndices(const BitmapData& d, bool hasColour, COLORREF colour) {
    std::array<bool, 256> skip{};
    if (!hasColour) {
        skip[0] = true;
        return skip;
    }
    for (int i = 0; i < 256; ++i)
        skip[i] = CControlBmp::RGBQUADtoCOLORREF(d.pallet[i]) == colour;
    return skip;
}

BYTE MixChannel(BYTE ch, double ratio) {
    return static_cast<BYTE>(Clamp255(ch + (255 - ch) * ratio + 0.5));
}

}  // namespace

// ---- Lines --------------------------------------------------------------------------------------

void CControlBmp::DrawLine(int x1, int y1, int x2, int y2) {
    if (!data_) return;
    double t0, t1;
    const double fx1 = x1, fy1 = y1, fx2 = x2, fy2 = y2;
    if (!ClipSegment(fx1, fy1, fx2, fy2, -1, -1, data_->width, data_->height, t0, t1)) return;
    // Bresenham over the part that can touch the bitmap (the ends stay where they are when the
    // line lies inside it).
    int ax = static_cast<int>(std::lround(fx1 + (fx2 - fx1) * t0));
    int ay = static_cast<int>(std::lround(fy1 + (fy2 - fy1) * t0));
    const int bx = static_cast<int>(std::lround(fx1 + (fx2 - fx1) * t1));
    const int by = static_cast<int>(std::lround(fy1 + (fy2 - fy1) * t1));
    const int dx = std::abs(bx - ax), dy = -std::abs(by - ay);
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (ax >= 0 && ay >= 0 && ax < data_->width && ay < data_->height) PutPixel(ax, ay, drawColor_);
        if (ax == bx && ay == by) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            ax += sx;
        }
        if (e2 <= dx) {
            err += dx;
            ay += sy;
        }
    }
}

// Every pixel whose centre lies within radius of the segment (x1, y1)-(x2, y2).
void CControlBmp::FillCapsule(double x1, double y1, double x2, double y2, double radius) {
    if (!data_) return;
    const double top = std::max(std::ceil(std::min(y1, y2) - radius), 0.0);
    const double bottom = std::min(std::floor(std::max(y1, y2) + radius), data_->height - 1.0);
    const double dx = x2 - x1, dy = y2 - y1;
    const double len = std::hypot(dx, dy);
    for (double y = top; y <= bottom; y += 1.0) {
        Interval iv = Union(DiscRow(x1, y1, radius, y), DiscRow(x2, y2, radius, y));
        if (len > 0) {
            // Along the segment: 0 <= ((x - x1) dx + (y - y1) dy) / len <= len;
            // across it: |((x - x1) dy - (y - y1) dx) / len| <= radius.
            Interval body{-1e300, 1e300};
            ClampLinear(body, dx / len, (-x1 * dx + (y - y1) * dy) / len, 0.0, len);
            ClampLinear(body, dy / len, (-x1 * dy - (y - y1) * dx) / len, -radius, radius);
            iv = Union(iv, body);
        }
        if (iv.Empty()) continue;
        const double lo = std::max(std::ceil(iv.lo), -1.0);
        const double hi = std::min(std::floor(iv.hi), static_cast<double>(data_->width));
        if (lo > hi) continue;
        FillSpan(static_cast<int>(y), static_cast<int>(lo), static_cast<int>(hi), drawColor_);
    }
}

void CControlBmp::DrawThickLine(int x1, int y1, int x2, int y2, int width) {
    FillCapsule(x1, y1, x2, y2, std::max(width, 1) / 2.0);
}

// Walks the dash pattern along the segment, drawing the dashes; the pattern's state carries on.
void CControlBmp::DashedSegment(double x1, double y1, double x2, double y2, int width) {
    if (!data_) return;
    width = std::max(width, 1);
    const double radius = width / 2.0;
    const double onLen = std::max(4.0 * width, 2.0), offLen = std::max(2.0 * width, 2.0);
    const double len = std::hypot(x2 - x1, y2 - y1);
    if (!(dashProgress_ > 0.0 && dashProgress_ <= 1.0)) dashProgress_ = 1.0;
    if (len <= 0) {
        if (dashFlag_) FillCapsule(x1, y1, x1, y1, radius);
        return;
    }
    // Only the part of the segment near the bitmap is walked; the pattern skips over the rest.
    double t0, t1;
    const double m = radius + 1;
    if (!ClipSegment(x1, y1, x2, y2, -m, -m, data_->width - 1 + m, data_->height - 1 + m, t0, t1)) {
        t0 = t1 = 1.0;
    }
    // Walks the pattern dist along the segment from position from (a length from the start),
    // drawing the dashes.
    auto advance = [&](double dist, double from) {
        double pos = from;
        const double end = from + dist;
        while (pos < end) {
            const double stretch = dashFlag_ ? onLen : offLen;
            const double left = dashProgress_ * stretch;
            const double take = std::min(left, end - pos);
            if (dashFlag_) {
                const double a = pos / len, b = (pos + take) / len;
                FillCapsule(x1 + (x2 - x1) * a, y1 + (y2 - y1) * a, x1 + (x2 - x1) * b, y1 + (y2 - y1) * b,
                            radius);
            }
            pos += take;
            if (left - take <= 1e-9) {
                dashFlag_ = dashFlag_ ? 0 : 1;
                dashProgress_ = 1.0;
            } else {
                dashProgress_ = (left - take) / stretch;
            }
        }
    };
    // Moves the pattern on by dist without drawing.
    auto skip = [&](double dist) {
        const double left = dashProgress_ * (dashFlag_ ? onLen : offLen);
        if (dist < left) {
            dashProgress_ = (left - dist) / (dashFlag_ ? onLen : offLen);
            return;
        }
        dist = std::fmod(dist - left, onLen + offLen);
        dashFlag_ = dashFlag_ ? 0 : 1;
        dashProgress_ = 1.0;
        const double first = dashFlag_ ? onLen : offLen;
        if (dist >= first) {
            dist -= first;
            dashFlag_ = dashFlag_ ? 0 : 1;
        }
        const double stretch = dashFlag_ ? onLen : offLen;
        dashProgress_ = std::max((stretch - dist) / stretch, 1e-12);
    };
    skip(t0 * len);
    advance((t1 - t0) * len, t0 * len);
    skip((1.0 - t1) * len);
}

void CControlBmp::DrawThickLineDash(int x1, int y1, int x2, int y2, int width) {
    DashedSegment(x1, y1, x2, y2, width);
}

void CControlBmp::DrawThickArc(const RECT* rc, POINT start, POINT end, int width, bool counterClockwise,
                               bool dashed) {
    if (!data_ || rc == nullptr) return;
    const double cx = (static_cast<double>(rc->left) + rc->right) / 2.0;
    const double cy = (static_cast<double>(rc->top) + rc->bottom) / 2.0;
    const double rx = std::fabs(static_cast<double>(rc->right) - rc->left) / 2.0;
    const double ry = std::fabs(static_cast<double>(rc->bottom) - rc->top) / 2.0;
    // Angles of the ellipse points on the rays through start and end.
    const double ts = std::atan2((start.y - cy) * rx, (start.x - cx) * ry);
    const double te = std::atan2((end.y - cy) * rx, (end.x - cx) * ry);
    double sweep = counterClockwise ? te - ts : ts - te;
    while (sweep < 0)
        sweep += kTwoPi;
    while (sweep >= kTwoPi)
        sweep -= kTwoPi;
    if (sweep < 1e-9) sweep = kTwoPi;
    if (!counterClockwise) sweep = -sweep;

    const double radius = std::max(rx, ry);
    const int steps = static_cast<int>(std::clamp(std::ceil(std::fabs(sweep) * radius / 2.0), 8.0, 20000.0));
    double px = cx + rx * std::cos(ts), py = cy + ry * std::sin(ts);
    for (int k = 1; k <= steps; ++k) {
        const double t = ts + sweep * k / steps;
        const double qx = cx + rx * std::cos(t), qy = cy + ry * std::sin(t);
        if (dashed) {
            DashedSegment(px, py, qx, qy, width);
        } else {
            FillCapsule(px, py, qx, qy, std::max(width, 1) / 2.0);
        }
        px = qx;
        py = qy;
    }
}

// ---- Imposing -----------------------------------------------------------------------------------

bool CControlBmp::ImposeHalf(const CControlBmp& src, int x, int y, int* step) {
    if (step) *step = 1;
    if (!data_ || !src.data_ || src.data_->bitCount != 8) return false;
    const BitmapData& s = *src.data_;
    const std::array<bool, 256> skip = TransparentIndices(s, src.hasTransparent_, src.transparent_);
    const int outW = (s.width + 1) / 2, outH = (s.height + 1) / 2;
    // The part of the half-size picture that lands inside this bitmap: columns i0..i1-1, rows j0..j1-1.
    const std::int64_t i0 = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t i1 = std::min<std::int64_t>(outW, std::int64_t{data_->width} - x);
    const std::int64_t j0 = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t j1 = std::min<std::int64_t>(outH, std::int64_t{data_->height} - y);
    if (step) *step = 2;
    if (i0 < i1 && j0 < j1)
        ImposeRows(s, skip, x, y, static_cast<int>(i0), static_cast<int>(i1), static_cast<int>(j0),
                   static_cast<int>(j1));
    if (step) *step = 3;
    return true;
}

// Rows j0..j1-1 and columns i0..i1-1 of the half-size picture, all inside this bitmap.
void CControlBmp::ImposeRows(const BitmapData& s, const std::array<bool, 256>& skip, int x, int y, int i0,
                             int i1, int j0, int j1) {
    const int bytes = data_->bitCount / 8;
    // Source row yy counted from the top.
    auto line = [&s](int yy) {
        return s.pixels.data() + static_cast<std::size_t>(s.widthBytes) * (s.height - 1 - yy);
    };
    const bool zeroSkipped = skip[0];
    for (int j = j0; j < j1; ++j) {
        const BYTE* rows[2] = {line(2 * j), 2 * j + 1 < s.height ? line(2 * j + 1) : nullptr};
        BYTE* out = GetLinePtr(y + j);
        for (int i = i0; i < i1; ++i) {
            // Most of an overlay is its transparent index 0: four output pixels whose eight source
            // pixels in both rows are all 0 change nothing.
            if (zeroSkipped && 2 * i + 8 <= s.widthBytes) {
                std::uint64_t a = 0, b = 0;
                std::memcpy(&a, rows[0] + 2 * i, 8);
                if (rows[1]) std::memcpy(&b, rows[1] + 2 * i, 8);
                if ((a | b) == 0) {
                    i += 3;
                    continue;
                }
            }
            int n = 0, sb = 0, sg = 0, sr = 0, first = -1;
            for (const BYTE* row : rows) {
                if (row == nullptr) continue;
                for (int k = 2 * i; k < 2 * i + 2 && k < s.width; ++k) {
                    const BYTE idx = row[k];
                    if (skip[idx]) continue;
                    if (first < 0) first = idx;
                    ++n;
                    sb += s.pallet[idx].rgbBlue;
                    sg += s.pallet[idx].rgbGreen;
                    sr += s.pallet[idx].rgbRed;
                }
            }
            if (n == 0) continue;
            if (bytes == 1) {
                if (n >= 2) out[x + i] = static_cast<BYTE>(first);
                continue;
            }
            BYTE* p = out + static_cast<std::int64_t>(x + i) * bytes;
            p[0] = static_cast<BYTE>((sb + p[0] * (4 - n) + 2) / 4);
            p[1] = static_cast<BYTE>((sg + p[1] * (4 - n) + 2) / 4);
            p[2] = static_cast<BYTE>((sr + p[2] * (4 - n) + 2) / 4);
        }
    }
}

bool CControlBmp::Impose8BitBmpWithCompress(const CControlBmp* src, int x, int y) {
    return src != nullptr && src != this && ImposeHalf(*src, x, y, nullptr);
}

bool CControlBmp::Impose8BitBmpWithCompressDebug(const CControlBmp* src, int x, int y, int* step) {
    if (step) *step = 0;
    return src != nullptr && src != this && ImposeHalf(*src, x, y, step);
}

// ---- Effects ------------------------------------------------------------------------------------

void CControlBmp::BrightChange(int x, int y, int w, int h, double factor) {
    if (!data_ || data_->bitCount == 8 || w <= 0 || h <= 0) return;
    factor = SafeFactor(factor, 256.0);
    const int bytes = data_->bitCount / 8;
    const int xa = std::max(x, 0), ya = std::max(y, 0);
    const int xb = static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + w, data_->width));
    const int yb = static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + h, data_->height));
    for (int row = ya; row < yb; ++row) {
        BYTE* line = GetLinePtr(row);
        for (int col = xa; col < xb; ++col) {
            BYTE* p = line + static_cast<std::int64_t>(col) * bytes;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<BYTE>(Clamp255(p[c] * factor));
        }
    }
}

void CControlBmp::ColorHatching(int x, int y, int w, int h, COLORREF c) {
    if (!data_ || w <= 0 || h <= 0) return;
    const int xa = std::max(x, 0), ya = std::max(y, 0);
    const int xb = static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + w, data_->width));
    const int yb = static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + h, data_->height));
    for (int row = ya; row < yb; ++row) {
        int col = xa + ((4 - (xa + row) % 4) % 4);
        for (; col < xb; col += 4)
            PutPixel(col, row, c);
    }
}

bool CControlBmp::MixWhite(const CControlBmp* src, double ratio) {
    if (src == nullptr || !src->data_) return false;
    ratio = SafeFactor(ratio, 1.0);
    auto d = std::make_unique<BitmapData>(*src->data_);
    if (d->bitCount == 8) {
        const std::array<bool, 256> skip = TransparentIndices(*d, src->hasTransparent_, src->transparent_);
        for (int i = 0; i < d->palletNum; ++i) {
            if (skip[i]) continue;
            RGBQUAD& q = d->pallet[i];
            q.rgbBlue = MixChannel(q.rgbBlue, ratio);
            q.rgbGreen = MixChannel(q.rgbGreen, ratio);
            q.rgbRed = MixChannel(q.rgbRed, ratio);
            // An entry that whitening made equal to the transparent colour must stay visible.
            if (src->hasTransparent_ && RGBQUADtoCOLORREF(q) == src->transparent_) {
                q.rgbBlue = static_cast<BYTE>(q.rgbBlue > 0 ? q.rgbBlue - 1 : 1);
            }
        }
    } else {
        const int bytes = d->bitCount / 8;
        for (int row = 0; row < d->height; ++row) {
            BYTE* line = d->pixels.data() + static_cast<std::size_t>(d->widthBytes) * row;
            for (int col = 0; col < d->width; ++col) {
                BYTE* p = line + static_cast<std::int64_t>(col) * bytes;
                for (int c = 0; c < 3; ++c)
                    p[c] = MixChannel(p[c], ratio);
            }
        }
    }
    hasTransparent_ = src->hasTransparent_;
    transparent_ = src->transparent_;
    Adopt(std::move(d));
    return true;
}

}  // namespace MbBmp
