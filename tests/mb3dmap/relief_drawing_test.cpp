// Relief drawing: textures, the stretched copy, sea tiling, land shading and brightness types.
#include <gtest/gtest.h>

#include <memory>

#include "support/relief_test_util.h"

namespace rymd::test {
namespace {

using Mb3dMap::CCtrlElvMap;
using Mb3dMap::tagHorzLine;
using Mb3dMap::tagTEXTURE_SET;
using MbBmp::COLORREF;
using MbBmp::RGB;

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Bgr& c) {
    return os << "(b " << c.b << ", g " << c.g << ", r " << c.r << ")";
}

Bgr At(const CCtrlElvMap& map, int x, int y) {
    const COLORREF c = map.GetTargetBmp()->GetPixelColor(x, y);
    return {MbBmp::GetBValue(c), MbBmp::GetGValue(c), MbBmp::GetRValue(c)};
}

void Solid(MbBmp::CControlBmp& bmp, int w, int h, COLORREF c) {
    ASSERT_TRUE(bmp.CreateBitmap(w, h, 24));
    bmp.FillRect(0, 0, w, h, c);
}

// A texture whose pixel (x, y) has blue x, green y and red `red` (so tiling can be read back).
void Ramp(MbBmp::CControlBmp& bmp, int w, int h, int red) {
    ASSERT_TRUE(bmp.CreateBitmap(w, h, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.SetPixelColor(x, y, RGB(red, y, x));
}

// One season: solid low-land and high-land colours, a ramp sea, and the three heights.
std::unique_ptr<tagTEXTURE_SET> MakeSet(COLORREF low, COLORREF high, int first, int second, int third,
                                        int size = 8) {
    auto set = std::make_unique<tagTEXTURE_SET>();
    Solid(set->first[0], size, size, low);
    Solid(set->second[0], size, size, high);
    Ramp(set->third[0], size, size, 7);
    set->firstValue[0] = first;
    set->secondValue[0] = second;
    set->thirdValue[0] = third;
    return set;
}

// A map of w x h samples, all `e` (or the given values), viewed at one pixel per sample, with
// one texture set.
void Prepare(CCtrlElvMap& map, int w, int h, const std::vector<std::uint16_t>& samples,
             const tagTEXTURE_SET& set) {
    SetSamples(map, w, h, samples);
    map.RemoveAllTexture();
    ASSERT_EQ(map.AddTexture(&set), 0);
    map.SelectTexture(0);
    map.StretchElevationData(0, 0, w, h, w, h);
}

std::vector<tagHorzLine> WholeView(int w, int h) {
    std::vector<tagHorzLine> spans;
    for (int y = 0; y < h; ++y)
        spans.push_back({static_cast<std::int16_t>(y), 0, static_cast<std::int16_t>(w - 1)});
    return spans;
}

void Paint(CCtrlElvMap& map, int w, int h, int bright, bool relief, bool texture, COLORREF colour,
           bool fillAll) {
    const auto spans = WholeView(w, h);
    map.DrawPolygonOnBitmapBuffer(spans.data(), static_cast<int>(spans.size()), bright, relief, texture,
                                  colour, fillAll);
}

TEST(ReliefDrawing, BrightnessTypes) {
    struct Case {
        int type;
        int expect;  // for a channel of 200
    };
    const std::vector<Case> cases = {{0, 200}, {1, 100}, {2, 150}, {3, 255}, {4, 250}, {5, 200}, {-1, 200}};
    for (const auto& c : cases) {
        CCtrlElvMap map;
        MakeView(map, 4, 3);
        Paint(map, 4, 3, c.type, false, false, RGB(200, 200, 200), true);
        EXPECT_EQ(At(map, 2, 1), (Bgr{c.expect, c.expect, c.expect})) << "type " << c.type;
    }
    // Rounding down of halves and quarters: 101 -> 51 (type 1), 76 (type 2), 151 (type 3), 126 (type 4).
    const std::vector<std::pair<int, int>> odd = {{1, 51}, {2, 76}, {3, 151}, {4, 126}};
    for (const auto& [type, expect] : odd) {
        CCtrlElvMap map;
        MakeView(map, 2, 2);
        Paint(map, 2, 2, type, false, false, RGB(101, 101, 101), true);
        EXPECT_EQ(At(map, 0, 0).r, expect) << "type " << type;
    }
}

TEST(ReliefDrawing, HeightBlendsTheTwoTextures) {
    // First value 1500: an elevation of 1500 takes all of the second texture, a fill-all
    // pixel of elevation 0 all of the first. Channels are scaled by 255 / 256.
    const auto set = MakeSet(RGB(30, 20, 10), RGB(200, 100, 50), 1500, 60000, 60000);
    CCtrlElvMap map;
    Prepare(map, 3, 1, {1500, 0, 750}, *set);
    Paint(map, 3, 1, 0, false, true, 0, true);
    EXPECT_EQ(At(map, 0, 0), (Bgr{50 * 255 >> 8, 100 * 255 >> 8, 200 * 255 >> 8}));
    EXPECT_EQ(At(map, 1, 0), (Bgr{10 * 255 >> 8, 20 * 255 >> 8, 30 * 255 >> 8}));
    // 750: w = (2 x 750 x 5592) >> 16 = 127.
    EXPECT_EQ(At(map, 2, 0),
              (Bgr{(10 * 128 + 50 * 127) >> 8, (20 * 128 + 100 * 127) >> 8, (30 * 128 + 200 * 127) >> 8}));
}

TEST(ReliefDrawing, SeaPixelsShowTheTiledSeaTextureUnchanged) {
    const auto set = MakeSet(RGB(30, 20, 10), RGB(200, 100, 50), 1500, 60000, 60000);
    CCtrlElvMap map;
    Prepare(map, 12, 3, std::vector<std::uint16_t>(36, 0), *set);
    Paint(map, 12, 3, 1, true, true, 0, false);
    // Sea texture pixel (x mod 8, y mod 8): blue x, green y, red 7, without brightness.
    EXPECT_EQ(At(map, 3, 2), (Bgr{3, 2, 7}));
    EXPECT_EQ(At(map, 10, 1), (Bgr{2, 1, 7}));
    // Without texture the sea takes the first pixel of the sea texture everywhere.
    Paint(map, 12, 3, 1, true, false, RGB(1, 2, 3), false);
    EXPECT_EQ(At(map, 3, 2), (Bgr{0, 0, 7}));
    EXPECT_EQ(At(map, 10, 1), (Bgr{0, 0, 7}));
}

TEST(ReliefDrawing, SnowLineRunsFromTheTopValueToTheBottomValue) {
    // Threshold t(row) = 100 + 100 x row on a map of 10 rows; elevation 300 everywhere.
    const auto set = MakeSet(RGB(0, 0, 0), RGB(0, 0, 0), 60000, 100, 1100);
    CCtrlElvMap map;
    Prepare(map, 2, 10, std::vector<std::uint16_t>(20, 300), *set);
    Paint(map, 2, 10, 0, false, true, 0, false);
    // Row 0: t 100, v = 100 -> 160 x 100 >> 8 = 62. Row 1: v = 50 -> 31. Row 2: v = 0. Row 3: below.
    EXPECT_EQ(At(map, 0, 0), (Bgr{62, 62, 62}));
    EXPECT_EQ(At(map, 0, 1), (Bgr{31, 31, 31}));
    EXPECT_EQ(At(map, 1, 2), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(map, 1, 3), (Bgr{0, 0, 0}));

    // Viewed from row 5 of the map the line continues where the map is: t = 600 at the view top.
    CCtrlElvMap low;
    Prepare(low, 2, 10, std::vector<std::uint16_t>(20, 700), *set);
    low.StretchElevationData(0, 5, 2, 5, 2, 5);
    Paint(low, 2, 5, 0, false, true, 0, false);
    EXPECT_EQ(At(low, 0, 0), (Bgr{31, 31, 31}));  // (700 - 600) / 2 = 50
    EXPECT_EQ(At(low, 0, 1), (Bgr{0, 0, 0}));     // t = 700
}

TEST(ReliefDrawing, SlopeShadesTowardTheLowerRight) {
    const auto set = MakeSet(RGB(100, 100, 100), RGB(100, 100, 100), 60000, 60000, 60000);
    // Row 0: 100 100 100; row 1: 100 110 60. The pixel (0, 0) looks at (1, 1).
    const std::vector<std::uint16_t> v = {100, 100, 100, 100, 110, 60};
    CCtrlElvMap map;
    Prepare(map, 3, 2, v, *set);
    const int c = (100 * 255) >> 8;  // 99, the blended colour
    Paint(map, 3, 2, 0, true, true, 0, false);
    // k = 768: s = (10 x 768) >> 11 = 3 -> 99 x 131 >> 7 = 101; toward 60: s = (-40 x 768) >> 11 = -15.
    EXPECT_EQ(At(map, 0, 0).g, c * 131 >> 7);
    EXPECT_EQ(At(map, 1, 0).g, c * 113 >> 7);
    // Relief level 2 halves k: s = (10 x 384) >> 11 = 1.
    map.SetReliefLevel(2);
    Paint(map, 3, 2, 0, true, true, 0, false);
    EXPECT_EQ(At(map, 0, 0).g, c * 129 >> 7);
    // Without relief the colour is unchanged by the slope.
    Paint(map, 3, 2, 0, false, true, 0, false);
    EXPECT_EQ(At(map, 0, 0).g, c);
    EXPECT_EQ(At(map, 1, 0).g, c);
}

TEST(ReliefDrawing, ColourStandsForBothTexturesWithoutTexture) {
    const auto set = MakeSet(RGB(0, 0, 0), RGB(255, 255, 255), 1500, 60000, 60000);
    CCtrlElvMap map;
    Prepare(map, 2, 1, {1500, 1}, *set);
    Paint(map, 2, 1, 2, false, false, RGB(200, 120, 40), false);
    const Bgr expect{(40 * 255 >> 8) - (40 * 255 >> 8) / 4, (120 * 255 >> 8) - (120 * 255 >> 8) / 4,
                     (200 * 255 >> 8) - (200 * 255 >> 8) / 4};
    EXPECT_EQ(At(map, 0, 0), expect);
    EXPECT_EQ(At(map, 1, 0), expect);
}

TEST(ReliefDrawing, MismatchedSecondTexturePaintsBlackLand) {
    auto set = MakeSet(RGB(90, 90, 90), RGB(90, 90, 90), 1500, 60000, 60000);
    Solid(set->second[0], 4, 4, RGB(90, 90, 90));  // 4 x 4 against 8 x 8
    CCtrlElvMap map;
    Prepare(map, 2, 1, {500, 0}, *set);
    Paint(map, 2, 1, 0, false, true, 0, false);
    EXPECT_EQ(At(map, 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(map, 1, 0), (Bgr{1, 0, 7}));  // the sea is still there
}

TEST(ReliefDrawing, SpansAreClippedToTheViewAndTheBitmap) {
    const auto set = MakeSet(RGB(90, 90, 90), RGB(90, 90, 90), 1500, 60000, 60000);
    CCtrlElvMap map;
    Prepare(map, 4, 4, std::vector<std::uint16_t>(16, 5), *set);
    const std::vector<tagHorzLine> spans = {{-1, 0, 3}, {4, 0, 3}, {1, -100, 100}, {2, 3, 1}, {3, 2, 2}};
    map.DrawPolygonOnBitmapBuffer(spans.data(), static_cast<int>(spans.size()), 0, true, true, 0, false);
    for (int x = 0; x < 4; ++x)
        EXPECT_NE(At(map, x, 1), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(map, 0, 2), (Bgr{0, 0, 0}));  // the reversed span paints nothing
    EXPECT_NE(At(map, 2, 3), (Bgr{0, 0, 0}));
    EXPECT_EQ(At(map, 1, 3), (Bgr{0, 0, 0}));
}

TEST(ReliefDrawing, SeaFillTilesSetZeroAndStaysFixedToTheMap) {
    const auto set = MakeSet(RGB(0, 0, 0), RGB(0, 0, 0), 1500, 1500, 1500);
    CCtrlElvMap map;
    Prepare(map, 40, 20, std::vector<std::uint16_t>(800, 0), *set);
    map.StretchElevationData(0, 0, 20, 10, 20, 10);
    map.FillSeaColorOnBitmapBuffer();
    std::vector<Bgr> first;
    for (int x = 0; x < 20; ++x)
        first.push_back(At(map, x, 3));
    EXPECT_EQ(first[11], (Bgr{3, 3, 7}));
    // Scrolled 5 samples right: the sea moves with the map.
    map.StretchElevationData(5, 0, 20, 10, 20, 10);
    map.FillSeaColorOnBitmapBuffer();
    for (int x = 0; x + 5 < 20; ++x)
        EXPECT_EQ(At(map, x, 3), first[x + 5]) << x;
    // At magnification 2 the tiling origin is the view's position times 2.
    map.StretchElevationData(3, 1, 10, 5, 20, 10);
    map.FillSeaColorOnBitmapBuffer();
    EXPECT_EQ(At(map, 0, 0), (Bgr{6, 2, 7}));
    EXPECT_EQ(At(map, 2, 6), (Bgr{0, 0, 7}));
}

TEST(ReliefDrawing, FourSeasonSetsFollowTheSeasonOneSeasonSetsDoNot) {
    auto four = MakeSet(RGB(10, 10, 10), RGB(10, 10, 10), 1500, 60000, 60000);
    four->flags = tagTEXTURE_SET::kFourSeasons;
    for (int s = 1; s < 4; ++s) {
        Solid(four->first[s], 8, 8, RGB(10 + 40 * s, 10, 10));
        Solid(four->second[s], 8, 8, RGB(10 + 40 * s, 10, 10));
        Solid(four->third[s], 8, 8, RGB(0, 0, 0));
        four->firstValue[s] = four->secondValue[s] = four->thirdValue[s] = 60000;
    }
    const auto one = MakeSet(RGB(77, 77, 77), RGB(77, 77, 77), 1500, 60000, 60000);
    CCtrlElvMap map;
    Prepare(map, 1, 1, {9}, *four);
    ASSERT_EQ(map.AddTexture(one.get()), 1);
    EXPECT_TRUE(map.IsFourSeasons(0));
    EXPECT_FALSE(map.IsFourSeasons(1));
    EXPECT_FALSE(map.GetTextureEntry(1, 2)->HasBuffers());
    map.SetSeason(2);
    Paint(map, 1, 1, 0, false, true, 0, false);
    EXPECT_EQ(At(map, 0, 0).r, 90 * 255 >> 8);
    map.SelectTexture(1);
    Paint(map, 1, 1, 0, false, true, 0, false);
    EXPECT_EQ(At(map, 0, 0).r, 77 * 255 >> 8);
    // A set that does not exist draws with set 0.
    map.SelectTexture(57);
    Paint(map, 1, 1, 0, false, true, 0, false);
    EXPECT_EQ(At(map, 0, 0).r, 90 * 255 >> 8);
}

TEST(ReliefDrawing, TextureEntriesInterleaveTheTexturesTopRowFirst) {
    auto set = std::make_unique<tagTEXTURE_SET>();
    Ramp(set->first[0], 3, 2, 100);
    Ramp(set->second[0], 3, 2, 200);
    Ramp(set->third[0], 3, 2, 50);
    set->firstValue[0] = 0;  // raised to 1
    set->secondValue[0] = -5;
    set->thirdValue[0] = 7;
    CCtrlElvMap map;
    map.RemoveAllTexture();
    ASSERT_EQ(map.AddTexture(set.get()), 0);
    const auto* e = map.GetTextureEntry(0, 0);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->width, 3);
    EXPECT_EQ(e->height, 2);
    EXPECT_EQ(e->rowLength, 12);
    EXPECT_EQ(e->byteSize, 24);
    EXPECT_EQ(e->firstValue, 1);
    EXPECT_EQ(e->secondValue, 1);
    EXPECT_EQ(e->thirdValue, 7);
    // Pixel (2, 1): blue 2, green 1 in all three; reds 100, 200 and 50.
    const std::uint8_t* p = e->Pair() + (1 * 3 + 2) * 8;
    EXPECT_EQ(std::vector<int>(p, p + 8), (std::vector<int>{2, 2, 1, 1, 100, 200, 0, 0}));
    const std::uint8_t* s = e->Sea() + (1 * 3 + 2) * 4;
    EXPECT_EQ(std::vector<int>(s, s + 4), (std::vector<int>{2, 1, 50, 0}));
}

TEST(ReliefDrawing, TextureListHoldsAHundredSets) {
    CCtrlElvMap map;
    EXPECT_EQ(map.GetTextureCount(), 1);  // the library's default set
    const auto* def = map.GetTextureEntry(0, 0);
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->width, 60);
    EXPECT_EQ(def->height, 60);
    EXPECT_EQ(def->firstValue, 2000);
    const auto set = MakeSet(RGB(1, 1, 1), RGB(1, 1, 1), 1, 1, 1, 2);
    for (int i = 1; i < 100; ++i)
        ASSERT_EQ(map.AddTexture(set.get()), i);
    EXPECT_EQ(map.AddTexture(set.get()), -1);
    EXPECT_EQ(map.GetTextureCount(), 100);

    map.SelectTexture(5);
    map.SetSeason(3);
    map.RemoveAllTexture();
    EXPECT_EQ(map.GetTextureCount(), 0);
    EXPECT_EQ(map.GetSelectedTexture(), 0);
    EXPECT_EQ(map.GetSeason(), 0);
    // Without any set the map still draws (black) without reading outside anything.
    MakeView(map, 5, 5);
    map.FillSeaColorOnBitmapBuffer();
    Paint(map, 5, 5, 0, true, true, 0, false);
    EXPECT_EQ(At(map, 2, 2), (Bgr{0, 0, 0}));
    EXPECT_EQ(map.LoadDefaultTexture(), 0);
}

TEST(ReliefDrawing, DefaultTexturesAreSixtyPixelTiles) {
    for (int id : {2000, 2001, 2002}) {
        MbBmp::CControlBmp bmp;
        ASSERT_TRUE(Mb3dMap::LoadDefaultTextureBitmap(id, bmp)) << id;
        EXPECT_EQ(bmp.GetWidth(), 60);
        EXPECT_EQ(bmp.GetHeight(), 60);
        EXPECT_EQ(bmp.GetBitCount(), 24);
    }
    MbBmp::CControlBmp bmp;
    EXPECT_FALSE(Mb3dMap::LoadDefaultTextureBitmap(2003, bmp));
}

// ---- Stretched copy ------------------------------------------------------------------------------------

TEST(ReliefDrawing, StretchCopiesScalesUpBilinearlyAndDownByNearestSample) {
    CCtrlElvMap map;
    SetSamples(map, 2, 2, {0, 100, 200, 300});
    map.StretchElevationData(0, 0, 2, 2, 2, 2);
    EXPECT_EQ(map.GetStretchedWidth(), 3);
    EXPECT_EQ(map.GetStretchedData(), (std::vector<std::int16_t>{0, 100, 100, 200, 300, 300, 200, 300, 300}));

    map.StretchElevationData(0, 0, 2, 2, 4, 4);
    EXPECT_DOUBLE_EQ(map.GetMagnification(), 2.0);
    ASSERT_EQ(map.GetStretchedWidth(), 6);
    ASSERT_EQ(map.GetStretchedHeight(), 6);
    const auto& s = map.GetStretchedData();
    auto at = [&](int x, int y) { return s[static_cast<std::size_t>(y) * 6 + x]; };
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(1, 0), 50);
    EXPECT_EQ(at(0, 1), 100);
    EXPECT_EQ(at(1, 1), 150);
    EXPECT_EQ(at(2, 0), 100);
    EXPECT_EQ(at(3, 3), 300);
    EXPECT_EQ(at(5, 1), at(3, 1));  // columns past the map repeat the last one
    EXPECT_EQ(at(1, 5), at(1, 3));

    // Rounded to nearest: 1 between 0 and 1 at a third of the way.
    CCtrlElvMap thirds;
    SetSamples(thirds, 2, 1, {0, 2});
    auto mag = thirds.StretchElevationData(0, 0, 1, 1, 3, 3, 4, 4, 3, 3);
    EXPECT_EQ(mag[1], 1);  // 2 x 1/3 = 0.67
    EXPECT_EQ(mag[2], 1);  // 2 x 2/3 = 1.33

    CCtrlElvMap big;
    std::vector<std::uint16_t> v(16);
    for (int i = 0; i < 16; ++i)
        v[i] = static_cast<std::uint16_t>(i);
    SetSamples(big, 4, 4, v);
    big.StretchElevationData(0, 0, 4, 4, 2, 2);
    const auto& n = big.GetStretchedData();
    EXPECT_EQ(big.GetStretchedWidth(), 3);
    EXPECT_EQ((std::vector<int>{n[0], n[1], n[3], n[4]}), (std::vector<int>{0, 2, 8, 10}));
}

TEST(ReliefDrawing, StretchedCopyIsCachedUntilTheViewOrTheDataChanges) {
    CCtrlElvMap map;
    SetSamples(map, 4, 4, std::vector<std::uint16_t>(16, 9));
    map.StretchElevationData(0, 0, 4, 4, 4, 4);
    map.GetElevationData()[0] = 500;
    map.StretchElevationData(0, 0, 4, 4, 4, 4);
    EXPECT_EQ(map.GetStretchedData()[0], 9);  // same view: kept
    map.ElevationDataModified();
    EXPECT_EQ(map.GetCachedView(), (std::array<int, 6>{-1, -1, -1, -1, -1, -1}));
    map.StretchElevationData(0, 0, 4, 4, 4, 4);
    EXPECT_EQ(map.GetStretchedData()[0], 500);
    EXPECT_EQ(map.GetCachedView(), (std::array<int, 6>{0, 0, 4, 4, 4, 4}));
}

TEST(ReliefDrawing, StretchOutsideTheMapNeverReadsOutsideIt) {
    CCtrlElvMap map;
    SetSamples(map, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    const std::vector<std::array<int, 6>> views = {{-5, -5, 3, 3, 9, 9}, {2, 2, 5, 5, 5, 5},
                                                   {10, 10, 2, 2, 7, 3}, {-1, 0, 6, 6, 2, 2},
                                                   {0, 0, 0, 3, 9, 9},   {0, 0, 3, 3, 0, 5}};
    for (const auto& v : views) {
        map.StretchElevationData(v[0], v[1], v[2], v[3], v[4], v[5]);
        map.FillSeaColorOnBitmapBuffer();
        Paint(map, 9, 9, 0, true, true, 0, false);
    }
    // An empty view leaves nothing to draw into.
    EXPECT_TRUE(map.GetStretchedData().empty());
    EXPECT_EQ(map.GetViewWidth(), 0);
}

TEST(ReliefDrawing, TargetBitmapIsRecreatedAtTheDisplaySize) {
    CCtrlElvMap map;
    SetSamples(map, 4, 4, std::vector<std::uint16_t>(16, 0));
    MbBmp::CControlBmp external;
    ASSERT_TRUE(external.CreateBitmap(5, 5, 32));
    map.SetExternalBmp(&external);
    map.StretchElevationData(0, 0, 4, 4, 8, 6);
    EXPECT_EQ(external.GetWidth(), 8);
    EXPECT_EQ(external.GetHeight(), 6);
    EXPECT_EQ(external.GetBitCount(), 24);
    EXPECT_EQ(map.GetHbmp(), nullptr);  // the own bitmap was not touched

    // A 32-bit target takes 4 bytes a pixel.
    ASSERT_TRUE(external.CreateBitmap(8, 6, 32));
    map.FillSeaColorOnBitmapBuffer();
    map.DrawLineOnBitmapBuffer({0, 0}, {7, 0}, RGB(9, 8, 7));
    EXPECT_EQ(external.GetPixelColor(7, 0), RGB(9, 8, 7));
    EXPECT_EQ(external.GetLinePtr(0)[4], 7);
}

}  // namespace
}  // namespace rymd::test

namespace rymd::test {
namespace {

// The vector paintings and the plain per-pixel painting give the same bytes for any relief,
// heights, view, brightness type and target depth.
TEST(ReliefDrawing, VectorPaintingMatchesThePlainRules) {
    Random rnd(99);
    for (int round = 0; round < 60; ++round) {
        const int w = 20 + rnd.Below(40), h = 10 + rnd.Below(20);
        std::vector<std::uint16_t> v(static_cast<std::size_t>(w) * h);
        for (auto& s : v) {
            const int r = rnd.Below(10);
            s = static_cast<std::uint16_t>(r < 3 ? 0 : r < 9 ? rnd.Below(3000) : rnd.Below(65536));
        }
        auto set = std::make_unique<tagTEXTURE_SET>();
        const int tw = 1 + rnd.Below(20), th = 1 + rnd.Below(20);
        for (auto* b : {&set->first[0], &set->second[0], &set->third[0]}) {
            ASSERT_TRUE(b->CreateBitmap(tw, th, 24));
            for (int y = 0; y < th; ++y)
                for (int x = 0; x < tw; ++x)
                    b->SetPixelColor(x, y, static_cast<COLORREF>(rnd.Next() * 977 + rnd.Next()));
        }
        set->firstValue[0] = 1 + rnd.Below(4000);
        set->secondValue[0] = rnd.Below(2) ? 1 + rnd.Below(3000) : 40000 + rnd.Below(30000);
        set->thirdValue[0] = 1 + rnd.Below(3000);

        CCtrlElvMap map;
        SetSamples(map, w, h, v);
        map.RemoveAllTexture();
        map.AddTexture(set.get());
        map.SetReliefLevel(1 + rnd.Below(3));
        // Views from shrinking to magnifying, some reaching past the map.
        const int vw = 1 + rnd.Below(w), vh = 1 + rnd.Below(h);
        const int dispW = 1 + rnd.Below(80), dispH = 1 + rnd.Below(50);
        const int vx = rnd.Below(w) - 2, vy = rnd.Below(h) - 2;
        MbBmp::CControlBmp target;
        map.SetExternalBmp(&target);
        const bool deep = rnd.Below(3) == 0;  // a 32-bit target
        std::vector<tagHorzLine> spans;
        for (int y = 0; y < dispH; ++y) {
            const int a = rnd.Below(dispW + 4) - 2, b = rnd.Below(dispW + 4) - 2;
            spans.push_back({static_cast<std::int16_t>(y), static_cast<std::int16_t>(std::min(a, b)),
                             static_cast<std::int16_t>(std::max(a, b))});
        }
        const int bright = rnd.Below(6);
        const bool relief = rnd.Below(4) != 0, texture = rnd.Below(4) != 0, fillAll = rnd.Below(4) == 0;
        const COLORREF colour = static_cast<COLORREF>(rnd.Next() * 977 + rnd.Next());

        const Mb3dMap::PaintPath paths[3] = {Mb3dMap::PaintPath::kPlain, Mb3dMap::PaintPath::kGroupsOf8,
                                             Mb3dMap::PaintPath::kGroupsOf16};
        std::vector<std::uint8_t> results[3];
        for (int path = 0; path < 3; ++path) {
            Mb3dMap::SetPaintPath(paths[path]);
            map.StretchElevationData(vx, vy, vw, vh, dispW, dispH);
            if (deep) {
                ASSERT_TRUE(target.CreateBitmap(dispW, dispH, 32));
            }
            map.FillSeaColorOnBitmapBuffer();
            if (deep) {
                for (int y = 0; y < dispH; ++y)
                    for (int x = 0; x < dispW; ++x)
                        target.GetLinePtr(y)[x * 4 + 3] = static_cast<std::uint8_t>(x + y);
            }
            map.DrawPolygonOnBitmapBuffer(spans.data(), static_cast<int>(spans.size()), bright, relief,
                                          texture, colour, fillAll);
            const std::uint8_t* p = target.GetBufferPtr();
            results[path].assign(p,
                                 p + static_cast<std::size_t>(target.GetWidthBytes()) * target.GetHeight());
        }
        Mb3dMap::SetPaintPath(Mb3dMap::PaintPath::kBest);
        ASSERT_EQ(results[0], results[1]) << "round " << round;
        ASSERT_EQ(results[0], results[2]) << "round " << round;
    }
}

}  // namespace
}  // namespace rymd::test
