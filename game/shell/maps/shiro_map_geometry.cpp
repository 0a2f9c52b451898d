#include "game/shell/maps/shiro_map_geometry.h"

#include <algorithm>
#include <cmath>

#include "game/state/queries.h"

namespace rymd::shell {

bool CircleThroughPoints(double sx, double sy, double mx, double my, double ex, double ey, Circle& out) {
    const double d = (mx - sx) * (ey - my) - (mx - ex) * (sy - my);
    if (d == 0) return false;
    // The perpendicular bisectors of S-M and M-E meet at the centre.
    const double a1 = mx - sx, b1 = my - sy, c1 = (mx * mx - sx * sx + my * my - sy * sy) / 2;
    const double a2 = ex - mx, b2 = ey - my, c2 = (ex * ex - mx * mx + ey * ey - my * my) / 2;
    const double det = a1 * b2 - a2 * b1;
    if (det == 0) return false;
    out.cx = (c1 * b2 - c2 * b1) / det;
    out.cy = (a1 * c2 - a2 * c1) / det;
    out.r = std::hypot(sx - out.cx, sy - out.cy);
    return true;
}

double SegmentCrossAngle(int cx, int cy, double r, int x1, int y1, int x2, int y2) {
    const long long ax = x1 - static_cast<long long>(cx), ay = y1 - static_cast<long long>(cy);
    const long long bx = x2 - static_cast<long long>(cx), by = y2 - static_cast<long long>(cy);
    const double dA = static_cast<double>(ax * ax + ay * ay), dB = static_cast<double>(bx * bx + by * by);
    const double r2 = r * r;
    if (dA == r2) return std::atan2(static_cast<double>(ay), static_cast<double>(ax));
    if (dB == r2) return std::atan2(static_cast<double>(by), static_cast<double>(bx));
    if ((dA < r2) == (dB < r2)) return kNoCrossAngle;
    const double len = std::hypot(static_cast<double>(x2 - x1), static_cast<double>(y2 - y1));
    const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
    const double s = static_cast<double>(cx - x2) * uy + static_cast<double>(y2 - cy) * ux;
    const double t = std::sqrt(r2 - s * s);
    return std::atan2(t * uy + s * ux, t * ux - s * uy);
}

double ArcCrossAngle(int cx, int cy, double r, int x1, int y1, int xm, int ym, int x2, int y2) {
    const double r2 = r * r;
    const double dS = std::pow(x1 - cx, 2.0) + std::pow(y1 - cy, 2.0);
    const double dE = std::pow(x2 - cx, 2.0) + std::pow(y2 - cy, 2.0);
    if (dS == r2) return std::atan2(y1 - cy, x1 - cx);
    if (dE == r2) return std::atan2(y2 - cy, x2 - cx);
    if ((dS < r2) == (dE < r2)) return kNoCrossAngle;
    Circle k;
    if (!CircleThroughPoints(x1, y1, xm, ym, x2, y2, k)) return kNoCrossAngle;
    const double d = std::hypot(k.cx - cx, k.cy - cy);
    if (k.r + r < d || std::fabs(k.r - r) > d || d == 0) return kNoCrossAngle;
    const double a = (r2 - k.r * k.r + d * d) / (2 * d);
    const double h = std::sqrt(std::max(0.0, r2 - a * a));
    const double base = std::atan2(k.cy - cy, k.cx - cx), phi = std::atan2(h, a);
    const double aS = std::atan2(y1 - k.cy, x1 - k.cx), aM = std::atan2(ym - k.cy, xm - k.cx);
    const double aE = std::atan2(y2 - k.cy, x2 - k.cx);
    return NormalizeAngle(aE - aS) <= NormalizeAngle(aM - aS) ? base + phi : base - phi;
}

Shift WrapShift(int ax, int ay, int bx, int by, bool wrapX, bool wrapY, int wm, int hm) {
    Shift s;
    if (wrapX) {
        if (ax - bx >= wm / 2)
            s.dx = wm;
        else if (bx - ax >= wm / 2)
            s.dx = -wm;
    }
    if (wrapY) {
        if (ay - by >= hm / 2)
            s.dy = hm;
        else if (by - ay >= hm / 2)
            s.dy = -hm;
    }
    return s;
}

}  // namespace rymd::shell
