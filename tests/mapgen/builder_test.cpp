// Building the map's geometry from a topology: lines, land and water polygons, islands in lakes,
// folded and dropped codes; checked through the province map library as the game uses it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "tools/mapgen/map_builder.h"
#include "tools/mapgen/map_writer.h"
#include "tools/mapgen/relief.h"

namespace rymd::mapgen {
namespace {

// A point of the test grid: one step is 0.1 degree (about 5 relief samples), from 134 E, 34 N.
TopoPoint Q(int x, int y) {
    TopoPoint p;
    p.qx = x;
    p.qy = y;
    p.ll = LonLat{134.0 + 0.1 * x, 34.0 + 0.1 * y};
    return p;
}

LonLat Ll(double x, double y) {
    return LonLat{134.0 + 0.1 * x, 34.0 + 0.1 * y};
}

// Province A (code 1): x 0..10, y 0..10, with a lake (x 2..6, y 2..6) that holds an island of A
// (x 3..4, y 3..4). Province B (code 2): x 10..20. Between them a lake (x 8..12, y 6..8) that
// both border. Code 3 (x 20..22) is folded into B; code 4, an island at x 25, is dropped.
Topology TestTopology() {
    Topology t;
    t.arcs = {
        {Q(10, 0), Q(10, 6)},                                // 0 border A/B, lower
        {Q(10, 6), Q(8, 6), Q(8, 8), Q(10, 8)},              // 1 shared lake, A's shore
        {Q(10, 8), Q(12, 8), Q(12, 6), Q(10, 6)},            // 2 shared lake, B's shore
        {Q(10, 8), Q(10, 10)},                               // 3 border A/B, upper
        {Q(10, 10), Q(0, 10), Q(0, 0), Q(10, 0)},            // 4 coast of A
        {Q(10, 0), Q(20, 0)},                                // 5 coast of B, south
        {Q(2, 2), Q(6, 2), Q(6, 6), Q(2, 6), Q(2, 2)},       // 6 the lake in A
        {Q(3, 3), Q(4, 3), Q(4, 4), Q(3, 4), Q(3, 3)},       // 7 the island in it
        {Q(20, 0), Q(20, 10)},                               // 8 B / code 3
        {Q(20, 10), Q(10, 10)},                              // 9 coast of B, north
        {Q(20, 0), Q(22, 0), Q(22, 10), Q(20, 10)},          // 10 coast of code 3
        {Q(25, 0), Q(26, 0), Q(26, 1), Q(25, 1), Q(25, 0)},  // 11 the dropped island
    };
    TopoGeometry a;
    a.code = 1;
    a.polygons = {{{4, 0, 1, 3}, {6}}, {{7}}};
    TopoGeometry b;
    b.code = 2;
    b.polygons = {{{5, 8, 9, ~3, 2, ~0}}};
    TopoGeometry c;
    c.code = 3;
    c.polygons = {{{10, ~8}}};
    TopoGeometry d;
    d.code = 4;
    d.polygons = {{{11}}};
    t.geometries = {a, b, c, d};
    return t;
}

BuildOptions TestOptions() {
    BuildOptions o;
    o.regions = {{"R_WEST", "西"}, {"R_EAST", "東"}};
    o.provinces = {{1, "K_A", "甲", 0}, {2, "K_B", "乙", 1}};
    o.folds = {{3, 2}};
    o.dropped = {4};
    return o;
}

class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(BuildGeometry(TestTopology(), TestOptions(), model_, report_, &error)) << error;
        BuildRelief(model_, JapanDemGridFrame());  // no heights: land is 1
        MbKorMap::KorMapData data;
        ASSERT_TRUE(MakeKorMapData(model_, data, &error)) << error;
        ASSERT_TRUE(map_.SetData(std::move(data), &error)) << error;
    }

    int ProvinceAt(double x, double y) {
        const MapUnitPoint u = JapanProjection::ToMapUnits(Ll(x, y));
        return map_.DetectKuni(MbKorMap::POINT{u.x / 128, u.y / 128});
    }
    int ReliefAt(double x, double y) {
        const MapUnitPoint u = JapanProjection::ToMapUnits(Ll(x, y));
        return model_.relief[static_cast<std::size_t>(u.y / 128) * model_.width + u.x / 128];
    }
    std::vector<int> PolygonsOf(int kind) {
        std::vector<int> out;
        for (std::size_t i = 0; i < model_.polygons.size(); ++i) {
            if (model_.polygons[i].Kind() == kind) out.push_back(static_cast<int>(i));
        }
        return out;
    }

    MapModel model_;
    BuildReport report_;
    MbKorMap::CCtrlKorMap map_;
};

TEST_F(BuilderTest, LandAndWaterPolygons) {
    EXPECT_EQ(report_.landPolygons, 4);  // A, A's island, B, code 3 (as B)
    EXPECT_EQ(report_.waterPolygons, 2);
    EXPECT_EQ(report_.islandsInWater, 1);
    const auto land = PolygonsOf(kKindLand);
    ASSERT_EQ(land.size(), 4u);
    // Land comes first, by province; every land polygon fills to its outline.
    EXPECT_EQ(model_.polygons[static_cast<std::size_t>(land[0])].province, 0);
    EXPECT_EQ(model_.polygons[static_cast<std::size_t>(land[1])].province, 0);
    EXPECT_EQ(model_.polygons[static_cast<std::size_t>(land[2])].province, 1);
    EXPECT_EQ(model_.polygons[static_cast<std::size_t>(land[3])].province, 1);
    for (int p : land)
        EXPECT_EQ(model_.polygons[static_cast<std::size_t>(p)].kindFlags, kKindLand | kFlagFillAll);
    // The lake inside A is A's water; the lake both provinces border is nobody's.
    std::vector<int> waterProvinces;
    for (int p : PolygonsOf(kKindWater))
        waterProvinces.push_back(model_.polygons[static_cast<std::size_t>(p)].province);
    std::sort(waterProvinces.begin(), waterProvinces.end());
    EXPECT_EQ(waterProvinces, (std::vector<int>{-1, 0}));
    // Regions and provinces as given; code 3 is one of B's codes.
    ASSERT_EQ(model_.provinces.size(), 2u);
    EXPECT_EQ(model_.provinces[1].codes, (std::vector<int>{2, 3}));
    EXPECT_EQ(model_.regions[1].id, "R_EAST");
}

TEST_F(BuilderTest, DetectKuniThroughTheLibrary) {
    struct Case {
        const char* where;
        double x, y;
        int province;
    };
    const Case cases[] = {
        {"A", 1.0, 8.0, 0},
        {"A's lake", 5.5, 2.5, 0},
        {"the island in A's lake", 3.5, 3.5, 0},
        {"B", 15.0, 5.0, 1},
        {"code 3, folded into B", 21.0, 5.0, 1},
        {"the lake between A and B", 10.0, 7.0, -1},
        {"the sea", 15.0, 12.0, -1},
        {"the dropped island", 25.5, 0.5, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProvinceAt(c.x, c.y), c.province) << c.where;
}

TEST_F(BuilderTest, ReliefFollowsLandAndWater) {
    EXPECT_GE(ReliefAt(1.0, 8.0), 1);
    EXPECT_GE(ReliefAt(3.5, 3.5), 1);   // the island
    EXPECT_EQ(ReliefAt(5.5, 2.5), 0);   // A's lake
    EXPECT_EQ(ReliefAt(10.0, 7.0), 0);  // the shared lake
    EXPECT_EQ(ReliefAt(15.0, 12.0), 0);
    EXPECT_EQ(ReliefAt(25.5, 0.5), 0);
}

TEST_F(BuilderTest, LinesTakeTheColourOfWhatTheySeparate) {
    int coast = 0, provinceBorder = 0, regionBorder = 0, hidden = 0;
    for (const MapLine& l : model_.lines) {
        switch (l.colour) {
            case kLinePaletteBase + kPaletteCoast: ++coast; break;
            case kLinePaletteBase + kPaletteProvinceBorder: ++provinceBorder; break;
            case kLinePaletteBase + kPaletteRegionBorder: ++regionBorder; break;
            case kLineHidden: ++hidden; break;
            default: ADD_FAILURE() << "colour " << l.colour;
        }
    }
    // Borders A/B (two arcs, different regions); the arc between B and code 3 and the bridge to
    // the island are hidden; the dropped island has no line.
    EXPECT_EQ(regionBorder, 2);
    EXPECT_EQ(provinceBorder, 0);
    EXPECT_EQ(hidden, 2);
    // Coasts and shores: A's coast, B's two, code 3's, both shores of the shared lake, A's lake
    // (split where the bridge lands) and the island (split likewise).
    EXPECT_GE(coast, 8);
}

// The lake's water polygon walks out along a hidden line to the island, round it and back: filled
// by the even-odd rule, the outline the drawing walks covers the lake but not the island.
TEST_F(BuilderTest, IslandIsCutOutOfItsLake) {
    int lake = -1;
    for (int p : PolygonsOf(kKindWater)) {
        if (model_.polygons[static_cast<std::size_t>(p)].province == 0) lake = p;
    }
    ASSERT_GE(lake, 0);
    const MapPolygon& poly = model_.polygons[static_cast<std::size_t>(lake)];
    int bridgeUses = 0;
    for (int li : poly.lines) {
        if (model_.lines[static_cast<std::size_t>(li)].colour == kLineHidden) ++bridgeUses;
    }
    EXPECT_EQ(bridgeUses, 2);
    // Filled by the even-odd rule, the outline covers the lake less the island: of the 9 grid
    // squares around the island, 8 are water (up to the edges of the samples).
    const auto water = RasterisePolygons(model_, kKindWater);
    const std::vector<std::uint8_t> all(water.size(), 1);
    auto count = [&](const std::vector<std::uint8_t>& raster, double x0, double y0, double x1, double y1) {
        const MapUnitPoint a = JapanProjection::ToMapUnits(Ll(x0, y1));  // top-left
        const MapUnitPoint b = JapanProjection::ToMapUnits(Ll(x1, y0));  // bottom-right
        int n = 0;
        for (int y = a.y / 128; y <= b.y / 128; ++y) {
            for (int x = a.x / 128; x <= b.x / 128; ++x)
                n += raster[static_cast<std::size_t>(y) * model_.width + x];
        }
        return n;
    };
    EXPECT_EQ(count(water, 3.2, 3.2, 3.8, 3.8), 0);
    EXPECT_NEAR(static_cast<double>(count(water, 2.5, 2.5, 5.5, 5.5)) / count(all, 2.5, 2.5, 5.5, 5.5),
                8.0 / 9.0, 0.04);
    // The library walks the same outline.
    std::vector<MbKorMap::POINT> pts(MbKorMap::kMaxOutlinePoints);
    const int n =
        map_.ArrangePolygonPointList(lake, pts.data(), MbKorMap::CSize{}, MbKorMap::kMaxOutlinePoints);
    const auto mine = PolygonOutline(model_, lake);
    ASSERT_EQ(static_cast<std::size_t>(n), mine.size());
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(pts[static_cast<std::size_t>(i)].x, mine[static_cast<std::size_t>(i)].x / 128) << i;
        EXPECT_EQ(pts[static_cast<std::size_t>(i)].y, mine[static_cast<std::size_t>(i)].y / 128) << i;
    }
}

TEST(Builder, RefusesWhatDoesNotFit) {
    struct Case {
        const char* what;
        void (*change)(Topology&, BuildOptions&);
    };
    const Case cases[] = {
        {"an unknown code", [](Topology& t, BuildOptions&) { t.geometries[3].code = 99; }},
        {"a province without geometry",
         [](Topology&, BuildOptions& o) {
             o.provinces.push_back({7, "K_C", "丙", 0});
         }},
        {"a fold into an unknown code",
         [](Topology&, BuildOptions& o) {
             o.folds.push_back({4, 77});
         }},
        {"an arc used by three rings",
         [](Topology& t, BuildOptions&) {
             t.geometries[2].polygons.push_back({{0, 1, 3, 4}});
         }},
        {"a point off the map",
         [](Topology& t, BuildOptions&) {
             for (auto& arc : t.arcs) {
                 for (auto& p : arc)
                     p.ll.lon += 60.0;
             }
         }},
    };
    for (const Case& c : cases) {
        Topology t = TestTopology();
        BuildOptions o = TestOptions();
        c.change(t, o);
        MapModel m;
        BuildReport r;
        std::string error;
        EXPECT_FALSE(BuildGeometry(t, o, m, r, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

}  // namespace
}  // namespace rymd::mapgen
