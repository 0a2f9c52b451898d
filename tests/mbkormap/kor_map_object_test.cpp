// The province map object: its defaults, display state, lookups, outlines and rectangles, and the
// texture hand-over.
#include <gtest/gtest.h>

#include "mbkormap/kor_map.h"
#include "support/kor_map_fixture.h"

namespace {

using namespace kormap_fixture;
using MbKorMap::CCtrlKorMap;
using MbKorMap::CSize;

TEST(KorMapObject, StartsEmptyWithTheDefaults) {
    CCtrlKorMap map;
    EXPECT_EQ(map.KuniCount(), 0);
    EXPECT_EQ(map.ChiikiCount(), 0);
    EXPECT_EQ(map.FormatFlag(), 0);
    EXPECT_EQ(map.GetUnit(), 128);
    EXPECT_EQ(map.GetSelectedKuni(), -2);
    EXPECT_EQ(map.GetSelectedBrightType(), 3);
    EXPECT_EQ(map.GetOtherBrightType(), 2);
    EXPECT_EQ(map.GetScaleX(), 1.0);
    EXPECT_EQ(map.GetScaleY(), 1.0);
    EXPECT_EQ(map.GetOrigin().cx, 0);
    EXPECT_EQ(map.GetMapWidth(), 0);
    EXPECT_EQ(map.GetMapHeight(), 0);
    EXPECT_EQ(map.ElvMap().GetSaveType(), 1);
    EXPECT_EQ(map.Data().waterColor, MbBmp::RGB(0, 100, 128));
    EXPECT_EQ(map.DetectKuni({0, 0}), -1);
    EXPECT_EQ(map.KuniIdToNo("X"), -1);
    EXPECT_STREQ(map.KuniName(0), "");
    map.DrawMap(0, 0, 10, 10, 10, 10);  // nothing to draw but the sea
    map.DrawLine();
    map.PaintKuni(0, 0, true, 0, true);
}

TEST(KorMapObject, SelectedProvinceAndBrightness) {
    CCtrlKorMap map;
    map.SetSelectedKuni(5);
    EXPECT_EQ(map.GetSelectedKuni(), 5);
    map.SetSelectedKuni(-1);
    EXPECT_EQ(map.GetSelectedKuni(), -2);
    map.SetBrightType(0, 1);
    EXPECT_EQ(map.GetSelectedBrightType(), 0);
    EXPECT_EQ(map.GetOtherBrightType(), 1);
}

TEST(KorMapObject, LookupsTakeTheFirstOfEqualIdentifiers) {
    CCtrlKorMap map;
    KorMapData d = MakeCountry();
    d.kuni[2].id = "K_MINO";
    d.chiiki[1].id = "R_TOKAI";
    ASSERT_TRUE(map.SetData(std::move(d)));
    EXPECT_EQ(map.KuniIdToNo("K_MINO"), 1);
    EXPECT_EQ(map.RegionIdToNo("R_TOKAI"), 0);
    EXPECT_EQ(map.KuniIdToNo("k_mino"), -1);
    EXPECT_EQ(map.KuniIdToNo(nullptr), -1);
    EXPECT_STREQ(map.KuniId(0), "K_OWARI");
    EXPECT_STREQ(map.KuniName(1), Sjis("美濃").c_str());
    EXPECT_STREQ(map.RegionName(1), Sjis("畿内").c_str());
    EXPECT_STREQ(map.RegionName(2), "");
    EXPECT_STREQ(map.KuniId(-1), "");
}

TEST(KorMapObject, ConvertToDispPointTruncatesWithoutTheOrigin) {
    CCtrlKorMap map;
    KorMapData d = MakeRyuumondenCountry();  // unit 100, 50 x 40 samples
    ASSERT_TRUE(map.SetData(std::move(d)));
    map.DrawMap(10, 10, 20, 20, 40, 40);  // scales 2.0, origin (20, 20)
    EXPECT_EQ(map.GetUnit(), 100);
    EXPECT_EQ(map.GetOrigin().cx, 20);
    const MbBmp::POINT p = map.ConvertToDispPoint({250, 130});
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 2);
    const MbBmp::POINT n = map.ConvertToDispPoint({-130, -49});
    EXPECT_EQ(n.x, -2);  // -2.6 toward zero
    EXPECT_EQ(n.y, 0);
}

// A polygon of two lines between the same two nodes: the first taken forwards, the second
// backwards.
KorMapData TwoLinePolygon() {
    KorMapData d = MakeCountry();
    d.polygons.clear();
    d.polygonLineList.clear();
    const int a = AddNode(d, 0, 0), b = AddNode(d, 1000, 0);
    const int up = AddLine(d, a, b, {{500, -100}});
    const int down = AddLine(d, a, b, {{300, 600}, {700, 500}});
    AddPolygon(d, {up, down}, 0, 0, 0);
    // A polygon whose run is empty.
    d.polygonLineList.push_back(-1);
    tagMapPolygon empty;
    empty.firstList = static_cast<std::int16_t>(d.polygonLineList.size() - 1);
    d.polygons.push_back(empty);
    return d;
}

TEST(KorMapObject, ArrangePolygonPointListWalksTheLinesInTheirDirection) {
    CCtrlKorMap map;
    ASSERT_TRUE(map.SetData(TwoLinePolygon()));
    std::vector<MbBmp::POINT> out(10);
    const int n = map.ArrangePolygonPointList(0, out.data(), CSize{}, 10);
    // a, inner of the first line, b, inner of the second in reverse; at 1/128 truncated.
    const std::vector<std::array<int, 2>> want = {{0, 0}, {3, 0}, {7, 0}, {5, 3}, {2, 4}};
    ASSERT_EQ(n, 5);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(out[static_cast<std::size_t>(i)].x, want[static_cast<std::size_t>(i)][0]) << i;
        EXPECT_EQ(out[static_cast<std::size_t>(i)].y, want[static_cast<std::size_t>(i)][1]) << i;
    }
    // The offset is subtracted; at most max points.
    EXPECT_EQ(map.ArrangePolygonPointList(0, out.data(), CSize{1, -2}, 3), 3);
    EXPECT_EQ(out[2].x, 6);
    EXPECT_EQ(out[2].y, 2);
    EXPECT_EQ(map.ArrangePolygonPointList(1, out.data(), CSize{}, 10), 0);
    EXPECT_EQ(map.ArrangePolygonPointList(2, out.data(), CSize{}, 10), 0);
    EXPECT_EQ(map.ArrangePolygonPointList(-1, out.data(), CSize{}, 10), 0);
}

TEST(KorMapObject, PolygonRectanglesAreExclusiveAndEmptyForAnEmptyRun) {
    CCtrlKorMap map;
    ASSERT_TRUE(map.SetData(TwoLinePolygon()));
    const auto& r = map.Data().polygonRects;
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].left, 0);
    EXPECT_EQ(r[0].top, -100);
    EXPECT_EQ(r[0].right, 1001);
    EXPECT_EQ(r[0].bottom, 601);
    EXPECT_EQ(r[1].left, 2147483647);
    EXPECT_EQ(r[1].top, 2147483647);
    EXPECT_EQ(r[1].right, -2147483646);
    EXPECT_EQ(r[1].bottom, -2147483646);
    EXPECT_EQ(map.DetectKuni({3, 1}), 0);
}

TEST(KorMapObject, TextureSetupHandsTheSetsToTheReliefOrKeepsItsDefault) {
    CCtrlKorMap map;
    ASSERT_TRUE(map.SetData(MakeCountry()));
    map.SetSeason(2);
    map.TextureSetup();
    EXPECT_EQ(map.ElvMap().GetTextureCount(), 3);
    EXPECT_TRUE(map.ElvMap().IsFourSeasons(1));
    EXPECT_EQ(map.ElvMap().GetSeason(), 0);  // the relief starts again from spring
    EXPECT_EQ(map.ElvMap().GetTextureEntry(2, 0)->width, 4);

    KorMapData none = MakeCountry();
    none.textureSets.clear();
    ASSERT_TRUE(map.SetData(std::move(none)));
    map.TextureSetup();
    EXPECT_EQ(map.ElvMap().GetTextureCount(), 1);
    EXPECT_EQ(map.ElvMap().GetTextureEntry(0, 0)->width, 60);
}

TEST(KorMapObject, ALoadKeepsTheTargetBitmapSeasonAndSelection) {
    CCtrlKorMap map;
    MbBmp::CControlBmp target;
    map.SetExternalBmp(&target);
    map.SetSelectedKuni(1);
    map.SetSeason(3);
    ASSERT_TRUE(map.SetData(MakeCountry()));
    EXPECT_EQ(map.GetSeason(), 3);
    EXPECT_EQ(map.GetSelectedKuni(), 1);
    map.DrawMap(0, 0, kCountryW, kCountryH, 80, 60);
    EXPECT_EQ(target.GetWidth(), 80);
    EXPECT_EQ(map.GetHbmp(), nullptr);  // the own bitmap was not drawn into
    map.SetInternalBmp();
    map.DrawMap(0, 0, kCountryW, kCountryH, 40, 30);
    ASSERT_NE(map.GetHbmp(), nullptr);
    EXPECT_EQ(map.GetHbmp()->width, 40);
    EXPECT_EQ(target.GetWidth(), 80);
}

TEST(KorMapObject, DeleteAllFreesTheGeometryAndTables) {
    CCtrlKorMap map;
    ASSERT_TRUE(map.SetData(MakeCountry()));
    map.DeleteAll();
    EXPECT_EQ(map.KuniCount(), 0);
    EXPECT_TRUE(map.Data().polygons.empty());
    EXPECT_TRUE(map.Data().polygonRects.empty());
    EXPECT_EQ(map.DetectKuni({10, 10}), -1);
    map.DrawMap(0, 0, kCountryW, kCountryH, 40, 30);
    EXPECT_EQ(map.Data().pictures.size(), 2u);
}

}  // namespace
