// Outlines to spans, point-in-outline tests and clipped lines.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <utility>

#include "support/relief_test_util.h"

namespace rymd::test {
namespace {

using Mb3dMap::CCtrlElvMap;
using Mb3dMap::POINT;
using Mb3dMap::tagHorzLine;

std::vector<tagHorzLine> Spans(const CCtrlElvMap& map, const std::vector<POINT>& pts, int max = 20000) {
    std::vector<tagHorzLine> out(static_cast<std::size_t>(max));
    const int n = map.CalcPolygon(pts.data(), static_cast<int>(pts.size()), out.data(), max);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// Pixels covered by the spans, as (x, y).
std::set<std::pair<int, int>> Covered(const std::vector<tagHorzLine>& spans) {
    std::set<std::pair<int, int>> out;
    for (const auto& s : spans)
        for (int x = s.x1; x <= s.x2; ++x)
            out.insert({x, s.y});
    return out;
}

TEST(Polygon, RectangleGivesOneSpanPerRow) {
    CCtrlElvMap map;
    MakeView(map, 100, 100);
    const auto spans = Spans(map, {{0, 0}, {9, 0}, {9, 4}, {0, 4}});
    ASSERT_EQ(spans.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(spans[i].y, i);
        EXPECT_EQ(spans[i].x1, 0);
        EXPECT_EQ(spans[i].x2, 9);
    }
}

TEST(Polygon, SpansAreClippedToTheView) {
    CCtrlElvMap map;
    MakeView(map, 100, 50);
    EXPECT_TRUE(Spans(map, {{120, 10}, {150, 10}, {150, 20}}).empty());  // right of the view
    EXPECT_TRUE(Spans(map, {{-30, 10}, {-1, 10}, {-1, 20}}).empty());    // left of it
    EXPECT_TRUE(Spans(map, {{10, 60}, {20, 60}, {20, 70}}).empty());     // below it

    const auto left = Spans(map, {{-10, 5}, {10, 5}, {10, 8}, {-10, 8}});  // straddles the left edge
    ASSERT_EQ(left.size(), 4u);
    for (const auto& s : left) {
        EXPECT_EQ(s.x1, 0);
        EXPECT_EQ(s.x2, 10);
    }
    // An outline around the whole view fills every row from edge to edge.
    const auto all = Spans(map, {{-1000, -1000}, {1000, -1000}, {1000, 1000}, {-1000, 1000}});
    ASSERT_EQ(all.size(), 50u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(all[i].y, i);
        EXPECT_EQ(all[i].x1, 0);
        EXPECT_EQ(all[i].x2, 99);
    }
    // No view yet: nothing.
    CCtrlElvMap fresh;
    EXPECT_TRUE(Spans(fresh, {{0, 0}, {9, 0}, {9, 4}}).empty());
}

TEST(Polygon, VerticesCountOncePassingThroughAndTwiceAtTops) {
    CCtrlElvMap map;
    MakeView(map, 40, 40);
    struct Case {
        const char* name;
        std::vector<POINT> pts;
        std::vector<tagHorzLine> spans;
    };
    const std::vector<Case> cases = {
        // A triangle with its apex at the top: one pixel on the apex row.
        {"apex", {{5, 0}, {9, 4}, {1, 4}}, {{0, 5, 5}, {1, 4, 6}, {2, 3, 7}, {3, 2, 8}, {4, 1, 9}}},
        // A V: the bottom vertex is the outline's own pixel.
        {"valley", {{1, 0}, {9, 0}, {5, 4}}, {{0, 1, 9}, {1, 2, 8}, {2, 3, 7}, {3, 4, 6}, {4, 5, 5}}},
        // A notch from below into a rectangle: the notch's top row is still filled across.
        {"notch",
         {{0, 0}, {10, 0}, {10, 4}, {7, 4}, {5, 2}, {3, 4}, {0, 4}},
         {{0, 0, 10}, {1, 0, 10}, {2, 0, 10}, {3, 0, 4}, {3, 6, 10}, {4, 0, 3}, {4, 7, 10}}},
        // Two rows through a vertex that the outline passes monotonically.
        {"side vertex",
         {{0, 0}, {4, 0}, {6, 2}, {4, 4}, {0, 4}},
         {{0, 0, 4}, {1, 0, 5}, {2, 0, 6}, {3, 0, 5}, {4, 0, 4}}},
    };
    for (const auto& c : cases) {
        const auto got = Spans(map, c.pts);
        ASSERT_EQ(got.size(), c.spans.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].y, c.spans[i].y) << c.name << " " << i;
            EXPECT_EQ(got[i].x1, c.spans[i].x1) << c.name << " " << i;
            EXPECT_EQ(got[i].x2, c.spans[i].x2) << c.name << " " << i;
        }
    }
}

TEST(Polygon, ShallowEdgesContributeTheirWholeRun) {
    CCtrlElvMap map;
    MakeView(map, 100, 10);
    // A flat sliver: the edges from (0,0) to (40,2) and back along y = 0.. the run of each row
    // belongs to the area.
    const auto spans = Spans(map, {{0, 0}, {40, 2}, {0, 2}});
    ASSERT_EQ(spans.size(), 3u);
    EXPECT_EQ(spans[0].x1, 0);
    EXPECT_EQ(spans[0].x2, 9);  // columns 0..9 of the run lie on row 0
    EXPECT_EQ(spans[1].x2, 29);
    EXPECT_EQ(spans[2].x2, 40);
}

TEST(Polygon, SpanOutputStopsAtTheLimit) {
    CCtrlElvMap map;
    MakeView(map, 100, 100);
    const std::vector<POINT> square = {{0, 0}, {50, 0}, {50, 50}, {0, 50}};
    EXPECT_EQ(Spans(map, square, 7).size(), 7u);
    EXPECT_EQ(Spans(map, square).size(), 51u);
}

TEST(Polygon, PointOnTheOutlineIsInside) {
    const std::vector<POINT> rect = {{10, 10}, {30, 10}, {30, 20}, {10, 20}};
    struct Case {
        POINT pt;
        bool inside;
    };
    const std::vector<Case> cases = {
        {{10, 15}, true}, {{9, 15}, false},  {{30, 15}, true},  {{31, 15}, false}, {{20, 10}, true},
        {{20, 9}, false}, {{20, 20}, true},  {{20, 21}, false}, {{10, 10}, true},  {{30, 20}, true},
        {{20, 15}, true}, {{-5, 15}, false}, {{50, 15}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CCtrlElvMap::PtInPolygon(c.pt, rect.data(), 4), c.inside) << c.pt.x << "," << c.pt.y;
    EXPECT_FALSE(CCtrlElvMap::PtInPolygon({0, 0}, rect.data(), 0));
}

// Exact even-odd test of the point, ray to the right, crossing edges with min y <= py < max y.
bool ExactInside(const std::vector<POINT>& pts, std::int64_t px, std::int64_t py) {
    bool in = false;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        POINT a = pts[i], b = pts[(i + 1) % pts.size()];
        if (a.y > b.y) std::swap(a, b);
        if (!(a.y <= py && py < b.y)) continue;
        // px < x at row py  <=>  (px - a.x) (b.y - a.y) < (py - a.y) (b.x - a.x)
        if ((px - a.x) * (b.y - a.y) < (py - a.y) * (b.x - a.x)) in = !in;
    }
    return in;
}

// Squared distance from the point to the outline is at least 1.
bool FarFromOutline(const std::vector<POINT>& pts, double px, double py) {
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const POINT a = pts[i], b = pts[(i + 1) % pts.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len = dx * dx + dy * dy;
        double t = len > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double ex = a.x + t * dx - px, ey = a.y + t * dy - py;
        if (ex * ex + ey * ey < 1.0) return false;
    }
    return true;
}

bool OnOutline(const std::vector<POINT>& pts, std::int64_t px, std::int64_t py) {
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const POINT a = pts[i], b = pts[(i + 1) % pts.size()];
        const std::int64_t cross = (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
        if (cross != 0) continue;
        if (px >= std::min(a.x, b.x) && px <= std::max(a.x, b.x) && py >= std::min(a.y, b.y) &&
            py <= std::max(a.y, b.y))
            return true;
    }
    return false;
}

TEST(Polygon, BruteForceAgreesWithPtInPolygonOnRandomOutlines) {
    CCtrlElvMap map;
    MakeView(map, 80, 60);
    Random rnd(2024);
    for (int round = 0; round < 40; ++round) {
        const int n = 3 + rnd.Below(10);
        std::vector<POINT> pts;
        for (int i = 0; i < n; ++i)
            pts.push_back({rnd.Below(110) - 15, rnd.Below(90) - 15});
        if (round % 5 == 0)
            pts.push_back({pts.back().x + rnd.Below(30) - 15, pts.back().y});  // horizontal edges

        std::vector<char> covered(80 * 60, 0);
        for (const auto& [x, y] : Covered(Spans(map, pts)))
            covered[y * 80 + x] = 1;
        for (int y = -2; y < 62; ++y) {
            for (int x = -2; x < 82; ++x) {
                const bool hit = CCtrlElvMap::PtInPolygon({x, y}, pts.data(), static_cast<int>(pts.size()));
                // Painting and hit testing agree on every pixel of the view.
                if (x >= 0 && x < 80 && y >= 0 && y < 60) {
                    ASSERT_EQ(hit, covered[y * 80 + x] == 1) << "round " << round << " at " << x << "," << y;
                }
                // Away from the outline the answer is the exact even-odd one; on it, inside.
                if (OnOutline(pts, x, y)) {
                    ASSERT_TRUE(hit) << "round " << round << " at " << x << "," << y;
                } else if (FarFromOutline(pts, x, y)) {
                    ASSERT_EQ(hit, ExactInside(pts, x, y)) << "round " << round << " at " << x << "," << y;
                }
            }
        }
    }
}

// ---- Lines --------------------------------------------------------------------------------------------

// Pixels of the target that are not black, in the rectangle from (x0, y0) of w x h (the whole
// target by default), relative to (x0, y0).
std::set<std::pair<int, int>> Lit(const CCtrlElvMap& map, int x0 = 0, int y0 = 0, int w = -1, int h = -1) {
    std::set<std::pair<int, int>> out;
    const auto* bmp = map.GetTargetBmp();
    if (w < 0) w = bmp->GetWidth();
    if (h < 0) h = bmp->GetHeight();
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (bmp->GetPixelColor(x, y) != 0) out.insert({x - x0, y - y0});
    return out;
}

TEST(Polygon, LineIsClippedToTheView) {
    CCtrlElvMap map;
    MakeView(map, 100, 20);
    map.DrawLineOnBitmapBuffer({-10, 5}, {10, 5}, MbBmp::RGB(1, 2, 3));
    std::set<std::pair<int, int>> expect;
    for (int x = 0; x <= 10; ++x)
        expect.insert({x, 5});
    EXPECT_EQ(Lit(map), expect);
    EXPECT_EQ(map.GetTargetBmp()->GetPixelColor(3, 5), MbBmp::RGB(1, 2, 3));
    // Row 0 is the top row of the bitmap.
    EXPECT_EQ(map.GetTargetBmp()->GetLinePtr(5)[0], 3);  // blue first
}

TEST(Polygon, LineCases) {
    struct Case {
        const char* name;
        POINT a, b;
        std::vector<std::pair<int, int>> pixels;
    };
    const std::vector<Case> cases = {
        {"one point", {4, 4}, {4, 4}, {{4, 4}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"shallow", {0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
        {"steep upward", {1, 4}, {0, 0}, {{1, 4}, {1, 3}, {0, 2}, {0, 1}, {0, 0}}},
        {"both ends left of the view", {-5, 1}, {-1, 8}, {}},
        {"outside point", {12, 3}, {12, 3}, {}},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        MakeView(map, 10, 10);
        map.DrawLineOnBitmapBuffer(c.a, c.b, MbBmp::RGB(255, 255, 255));
        const std::set<std::pair<int, int>> expect(c.pixels.begin(), c.pixels.end());
        EXPECT_EQ(Lit(map), expect) << c.name;
    }
}

TEST(Polygon, ExtremeCoordinatesStayExact) {
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    CCtrlElvMap map;
    MakeView(map, 50, 40);
    const std::vector<POINT> huge = {{kMin, kMin}, {kMax, kMin + 5}, {kMax, kMax}, {kMin, kMax}};
    const auto spans = Spans(map, huge);
    ASSERT_EQ(spans.size(), 40u);
    for (const auto& s : spans) {
        EXPECT_EQ(s.x1, 0);
        EXPECT_EQ(s.x2, 49);
    }
    EXPECT_TRUE(CCtrlElvMap::PtInPolygon({10, 10}, huge.data(), 4));
    EXPECT_TRUE(CCtrlElvMap::PtInPolygon({kMax, kMax}, huge.data(), 4));
    // A sliver from far left to far right lies between y = 0.5 and y = 1 across the view: row 1.
    const std::vector<POINT> sliver = {{kMin, 0}, {kMax, 1}, {kMax, 2}};
    const auto thin = Spans(map, sliver);
    ASSERT_EQ(thin.size(), 1u);
    EXPECT_EQ(thin[0].y, 1);
    EXPECT_EQ(thin[0].x1, 0);
    EXPECT_EQ(thin[0].x2, 49);

    map.DrawLineOnBitmapBuffer({kMin, kMin}, {kMax, kMax}, 0xFFFFFF);
    std::set<std::pair<int, int>> diagonal;
    for (int i = 0; i < 40; ++i)
        diagonal.insert({i, i});
    EXPECT_EQ(Lit(map), diagonal);
    map.StretchElevationData(0, 0, 50, 40, 50, 40);
    map.DrawLineOnBitmapBuffer({kMin, 7}, {kMax, 7}, 0xFFFFFF);
    EXPECT_EQ(Lit(map).size(), 50u);
}

TEST(Polygon, ClippedLineDrawsThePixelsOfTheUnclippedLine) {
    // The same lines drawn in a large view (never clipped) and in a small one: the small view
    // shows exactly the large view's pixels that fall inside it.
    Random rnd(77);
    CCtrlElvMap big, small;
    MakeView(big, 400, 400);
    MakeView(small, 40, 30);
    for (int round = 0; round < 300; ++round) {
        const POINT a{rnd.Below(200) - 80, rnd.Below(160) - 65};
        const POINT b{rnd.Below(200) - 80, rnd.Below(160) - 65};
        big.StretchElevationData(0, 0, 400, 400, 400, 400);  // clears the target
        small.StretchElevationData(0, 0, 40, 30, 40, 30);
        big.DrawLineOnBitmapBuffer({a.x + 150, a.y + 150}, {b.x + 150, b.y + 150}, 0xFFFFFF);
        small.DrawLineOnBitmapBuffer(a, b, 0xFFFFFF);
        ASSERT_EQ(Lit(small), Lit(big, 150, 150, 40, 30)) << "round " << round;
    }
}

}  // namespace
}  // namespace rymd::test
