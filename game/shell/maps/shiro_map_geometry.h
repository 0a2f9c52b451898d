// The plane geometry of the castle view's roads and siege marks: circles through three points,
// where a road piece or an arc leaves a circle about a castle, and the shift of a road that
// wraps around the map's edge. Angles are atan2(dy, dx) in radians with y growing downwards.
#pragma once

namespace rymd::shell {

// No crossing (the value the siege marks test against).
inline constexpr double kNoCrossAngle = -10000.0;

// The circle through S, M and E; false when the three points lie on one line.
struct Circle {
    double cx = 0, cy = 0, r = 0;
};
bool CircleThroughPoints(double sx, double sy, double mx, double my, double ex, double ey, Circle& out);

// The angle about (cx, cy) at which the segment from (x1, y1) to (x2, y2) leaves the circle of
// radius r: an end lying on the circle gives its own angle; ends on the same side give
// kNoCrossAngle; otherwise the crossing further along from the first end to the second.
double SegmentCrossAngle(int cx, int cy, double r, int x1, int y1, int x2, int y2);

// The same for the arc from (x1, y1) through (xm, ym) to (x2, y2).
double ArcCrossAngle(int cx, int cy, double r, int x1, int y1, int xm, int ym, int x2, int y2);

// The shift that carries a road piece from A to B across the map's edge: (Wm, 0) when wrapping
// horizontally (wrapX) and A lies at least half the map's width right of B, (-Wm, 0) the other
// way round; the same vertically. (0, 0) when the piece does not wrap.
struct Shift {
    int dx = 0, dy = 0;
    bool IsZero() const { return dx == 0 && dy == 0; }
};
Shift WrapShift(int ax, int ay, int bx, int by, bool wrapX, bool wrapY, int wm, int hm);

}  // namespace rymd::shell
