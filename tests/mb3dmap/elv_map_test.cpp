// The relief map object: construction, raster members, target bitmaps, copies and moves.
#include <gtest/gtest.h>

#include <utility>

#include "support/relief_test_util.h"

namespace rymd::test {
namespace {

using Mb3dMap::CCtrlElvMap;

TEST(ElvMap, StartsEmptyWithTheDefaultTextures) {
    CCtrlElvMap map;
    EXPECT_EQ(map.GetMapWidth(), 0);
    EXPECT_EQ(map.GetMapHeight(), 0);
    EXPECT_EQ(map.GetElevationData(), nullptr);
    EXPECT_EQ(map.GetTextureCount(), 1);
    EXPECT_EQ(map.GetReliefLevel(), 1);
    EXPECT_EQ(map.GetSaveType(), 0);
    EXPECT_EQ(map.GetCompressedDataSize(), 0);
    EXPECT_TRUE(map.GetStretchedData().empty());
    EXPECT_EQ(map.GetTargetBmp(), &map.GetOwnBmp());
    EXPECT_EQ(map.GetElevation(0, 0), 0);
}

TEST(ElvMap, CreateNewMapMakesAnAllSeaRasterWithGuards) {
    CCtrlElvMap map;
    MakeView(map, 7, 7);
    ASSERT_TRUE(map.CreateNewMap(10, 5));
    EXPECT_EQ(map.GetMapWidth(), 10);
    EXPECT_EQ(map.GetMapHeight(), 5);
    EXPECT_EQ(map.GetRasterWidth(), 11);
    EXPECT_EQ(map.GetRasterHeight(), 6);
    EXPECT_EQ(map.GetRasterRowLength(), 22);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 11; ++x)
            EXPECT_EQ(map.GetElevation(x, y), 0);
    EXPECT_EQ(map.GetElevation(11, 0), 0);  // outside: 0, nothing read
    EXPECT_TRUE(map.GetStretchedData().empty());
    EXPECT_EQ(map.GetCachedView(), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
}

TEST(ElvMap, CreateNewMapRefusesImpossibleSizes) {
    struct Case {
        int w, h;
        bool ok;
        int mapW, mapH;
    };
    const std::vector<Case> cases = {
        {-3, 5, true, 0, 5}, {4, 0, true, 4, 0}, {40000, 2, false, 0, 0}, {30000, 30000, false, 0, 0}};
    for (const auto& c : cases) {
        CCtrlElvMap map;
        EXPECT_EQ(map.CreateNewMap(c.w, c.h), c.ok) << c.w << "x" << c.h;
        EXPECT_EQ(map.GetMapWidth(), c.mapW);
        EXPECT_EQ(map.GetMapHeight(), c.mapH);
        EXPECT_EQ(map.GetElevationData(), nullptr);
    }
}

TEST(ElvMap, EraseLandTopographyFlattensToALandSeaMask) {
    CCtrlElvMap map;
    SetSamples(map, 3, 1, {0, 7, 300});
    map.EraseLandTopography();
    EXPECT_EQ(Samples(map), (std::vector<std::uint16_t>{0, 1, 1}));
    EXPECT_EQ(map.GetElevation(3, 0), 1);  // guard column
    EXPECT_EQ(map.GetElevation(1, 1), 1);  // guard row
    EXPECT_EQ(map.GetElevation(0, 1), 0);
    map.ClearElevationData();
    EXPECT_EQ(Samples(map), (std::vector<std::uint16_t>{0, 0, 0}));
    // On an empty map nothing happens.
    CCtrlElvMap empty;
    empty.EraseLandTopography();
    EXPECT_EQ(empty.GetElevationData(), nullptr);
}

TEST(ElvMap, DrawingGoesToTheExternalOrTheOwnBitmap) {
    CCtrlElvMap map;
    SetSamples(map, 4, 4, std::vector<std::uint16_t>(16, 0));
    MbBmp::CControlBmp external;
    map.SetExternalBmp(&external);
    EXPECT_EQ(map.GetTargetBmp(), &external);
    map.StretchElevationData(0, 0, 4, 4, 4, 4);
    map.DrawLineOnBitmapBuffer({0, 1}, {3, 1}, MbBmp::RGB(255, 0, 0));
    EXPECT_EQ(external.GetPixelColor(2, 1), MbBmp::RGB(255, 0, 0));
    EXPECT_EQ(map.GetHbmp(), nullptr);

    map.SetInternalBmp();
    EXPECT_EQ(map.GetTargetBmp(), &map.GetOwnBmp());
    map.StretchElevationData(0, 0, 4, 4, 4, 4);
    map.DrawLineOnBitmapBuffer({0, 2}, {3, 2}, MbBmp::RGB(0, 255, 0));
    ASSERT_NE(map.GetHbmp(), nullptr);
    EXPECT_EQ(map.GetHbmp(), map.GetOwnBmp().GetHbmp());
    EXPECT_EQ(map.GetOwnBmp().GetPixelColor(1, 2), MbBmp::RGB(0, 255, 0));
    EXPECT_EQ(external.GetPixelColor(1, 2), 0u);  // the external bitmap was left alone
}

TEST(ElvMap, CopiesAreWholeAndMovesKeepTheTarget) {
    CCtrlElvMap map;
    SetSamples(map, 2, 2, {1, 2, 3, 4});
    map.StretchElevationData(0, 0, 2, 2, 2, 2);
    map.SetSaveType(1);

    CCtrlElvMap copy = map;
    copy.GetElevationData()[0] = 99;
    EXPECT_EQ(map.GetElevation(0, 0), 1);
    EXPECT_EQ(copy.GetSaveType(), 1);
    EXPECT_EQ(copy.GetTargetBmp(), &copy.GetOwnBmp());  // its own bitmap, not the original's
    EXPECT_NE(copy.GetHbmp(), map.GetHbmp());
    EXPECT_EQ(copy.GetOwnBmp().GetWidth(), 2);
    EXPECT_EQ(copy.GetTextureCount(), 1);

    const MbBmp::HBITMAP own = map.GetHbmp();
    CCtrlElvMap moved = std::move(map);
    EXPECT_EQ(moved.GetHbmp(), own);
    EXPECT_EQ(moved.GetTargetBmp(), &moved.GetOwnBmp());
    EXPECT_EQ(Samples(moved), (std::vector<std::uint16_t>{1, 2, 3, 4}));

    MbBmp::CControlBmp external;
    moved.SetExternalBmp(&external);
    CCtrlElvMap assigned;
    assigned = moved;
    EXPECT_EQ(assigned.GetTargetBmp(), &external);  // the caller's bitmap is shared
    assigned = std::move(moved);
    EXPECT_EQ(Samples(assigned), (std::vector<std::uint16_t>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace rymd::test
