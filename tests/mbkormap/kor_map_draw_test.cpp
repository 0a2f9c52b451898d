// Drawing the province map, painting provinces and hit testing, at stated pixels.
#include <gtest/gtest.h>

#include <cstring>

#include "mbkormap/kor_map.h"
#include "support/kor_map_fixture.h"

namespace {

using namespace kormap_fixture;
using MbBmp::COLORREF;
using MbBmp::RGB;
using MbKorMap::CCtrlKorMap;

constexpr int kW = 100;
constexpr int kH = 80;
constexpr int kU = MbKorMap::kKorMapUnit;

// Texture colours: set 0 low land, set 1, set 2, the sea of set 0.
constexpr int kSet0[3] = {200, 100, 50};
constexpr int kSet1[3] = {60, 180, 90};
constexpr int kSet2[3] = {250, 250, 0};
constexpr int kSea[3] = {20, 40, 160};
constexpr COLORREF kWater = RGB(0, 0, 255);

int Bright(int type, int p) {
    switch (type) {
        case 1: return p - p / 2;
        case 2: return p - p / 4;
        case 3: return std::min(p + p / 2, 255);
        case 4: return std::min(p - p / 4 + p / 2, 255);
        default: return p;
    }
}
COLORREF Bright(int type, COLORREF c) {
    return RGB(Bright(type, MbBmp::GetRValue(c)), Bright(type, MbBmp::GetGValue(c)),
               Bright(type, MbBmp::GetBValue(c)));
}
// Flat land (elevation 1, heights of 30000: the low-land texture only, no snow, no slope): each
// channel p of the texture becomes p x 255 >> 8, then the brightness type.
COLORREF Land(const int (&c)[3], int type) {
    return Bright(type, RGB(c[0] * 255 >> 8, c[1] * 255 >> 8, c[2] * 255 >> 8));
}
COLORREF Relieved(COLORREF c, int type) {
    return Bright(type, RGB(MbBmp::GetRValue(c) * 255 >> 8, MbBmp::GetGValue(c) * 255 >> 8,
                            MbBmp::GetBValue(c) * 255 >> 8));
}
constexpr COLORREF kSeaPixel = RGB(kSea[0], kSea[1], kSea[2]);

void Rect(KorMapData& d, int l, int t, int r, int b, std::uint8_t kind, std::uint8_t value, int kuni) {
    AddRect(d, l * kU, t * kU, r * kU, b * kU, kind, value, kuni);
}

void Line(KorMapData& d, int y, std::uint16_t code) {
    const int a = AddNode(d, 5 * kU, y * kU), b = AddNode(d, 15 * kU, y * kU);
    AddLine(d, a, b, {{10 * kU, y * kU}}, code);
}

// Land on columns 0..79, sea on 80..99; three texture sets of one colour each; thirteen polygons
// (see the numbers in the comments) and five lines at rows 70 to 78.
KorMapData MakeDrawingMap() {
    KorMapData d;
    d.elvMap.CreateNewMap(kW, kH);
    std::uint16_t* e = d.elvMap.GetElevationData();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < 80; ++x)
            e[y * (kW + 1) + x] = 1;
    d.elvMap.FillGapOfElevationData();
    d.textureSets.resize(3);
    const int(*colours[3])[3] = {&kSet0, &kSet1, &kSet2};
    for (int i = 0; i < 3; ++i) {
        auto& set = d.textureSets[static_cast<std::size_t>(i)];
        const int(&c)[3] = *colours[i];
        UniformBitmap(set.first[0], 4, 4, c[0], c[1], c[2]);
        UniformBitmap(set.second[0], 4, 4, c[0], c[1], c[2]);
        UniformBitmap(set.third[0], 4, 4, kSea[0], kSea[1], kSea[2]);
        set.firstValue[0] = set.secondValue[0] = set.thirdValue[0] = 30000;
    }
    d.kuni = {Kuni("K0", "a", 0), Kuni("K1", "b", 0), Kuni("K2", "c", 0)};
    d.chiiki = {Chiiki("R0", "r")};
    d.palette[3] = RGB(255, 0, 255);
    d.palette[4] = RGB(100, 200, 40);
    d.waterColor = kWater;
    using P = tagMapPolygon;
    Rect(d, 10, 10, 30, 30, P::kLand, 2, 0);                                  // 0: level and set 2
    Rect(d, 20, 20, 40, 40, P::kLand, 1, 1);                                  // 1: level and set 1
    Rect(d, 35, 35, 45, 45, P::kLand, 1, 1);                                  // 2
    Rect(d, 50, 10, 60, 20, P::kHidden | P::kShadow, 0, -1);                  // 3: a shadow only
    Rect(d, 10, 50, 20, 60, P::kWater, 0, 2);                                 // 4
    Rect(d, 25, 50, 35, 60, P::kPalette | P::kNoRelief | P::kFillAll, 3, 2);  // 5
    Rect(d, 40, 50, 50, 60, P::kPalette | P::kFillAll, 4, 2);                 // 6
    Rect(d, 82, 10, 92, 20, P::kLand, 0, 2);                                  // 7: over the sea
    Rect(d, 82, 30, 92, 40, P::kLand | P::kFillAll, 0, 2);                    // 8: over the sea
    Rect(d, 60, 60, 70, 70, P::kLand, 0, -1);                                 // 9
    Rect(d, 60, 60, 70, 70, P::kLand, 0, 2);                                  // 10
    Rect(d, 70, 20, 75, 25, P::kHidden, 0, 1);                                // 11
    Rect(d, 85, 60, 95, 70, P::kLand, 9, -1);                                 // 12: no set 9
    Line(d, 70, tagMapLine::kBlack);
    Line(d, 72, tagMapLine::kWhite);
    Line(d, 74, tagMapLine::kHidden);
    Line(d, 76, 0x8000 | 23);
    Line(d, 78, 5);
    return d;
}

struct DrawingMap : CCtrlKorMap {
    MbBmp::CControlBmp target;
    DrawingMap() {
        KorMapData d = MakeDrawingMap();
        std::string why;
        EXPECT_TRUE(SetData(std::move(d), &why)) << why;
        TextureSetup();
        SetExternalBmp(&target);
    }
    COLORREF At(int x, int y) const { return target.GetPixelColor(x, y); }
};

TEST(KorMapDraw, LayersLevelsWaterAndLinesAtStatedPixels) {
    DrawingMap map;
    map.DrawMap(0, 0, kW, kH, kW, kH);
    ASSERT_EQ(map.target.GetWidth(), kW);
    EXPECT_EQ(map.GetScaleX(), 1.0);
    const int other = 2;
    struct Px {
        int x, y;
        COLORREF want;
        const char* what;
    } pixels[] = {
        {15, 15, Land(kSet2, other), "level 2 alone"},
        {25, 25, Land(kSet2, other), "level 2 over level 1, though earlier in the array"},
        {32, 32, Land(kSet1, other), "level 1 alone"},
        {37, 37, Land(kSet1, other), "level 1"},
        {15, 55, Bright(other, kWater), "water in the water colour"},
        {30, 55, Bright(other, RGB(255, 0, 255)), "palette area without relief: colour once"},
        {45, 55, Relieved(RGB(100, 200, 40), other), "palette area with relief"},
        {87, 15, kSeaPixel, "land over sea without fill-all shows the sea"},
        {87, 35, Land(kSet0, other), "land over sea with fill-all"},
        {65, 65, Land(kSet0, other), "land"},
        {72, 22, kSeaPixel, "hidden polygon: not drawn"},
        {75, 5, kSeaPixel, "no polygon: the sea texture"},
        {10, 70, RGB(0, 0, 0), "line code 0: black"},
        {10, 72, RGB(255, 255, 255), "line code 1: white"},
        {10, 74, kSeaPixel, "line code 2: not drawn"},
        {10, 76, RGB(255, 0, 255), "line code 23 with the flag bit: palette 3"},
        {10, 78, RGB(0, 0, 0), "line code 5: black"},
        {15, 70, RGB(0, 0, 0), "end of the line"},
        {16, 70, kSeaPixel, "past the end"},
    };
    for (const Px& p : pixels)
        EXPECT_EQ(map.At(p.x, p.y), p.want) << p.what << " at " << p.x << "," << p.y;
}

// The value of a land polygon is its level and its texture set. Polygons of one level are told
// apart by the brightness of the selected province.
TEST(KorMapDraw, HigherLevelsCoverLowerOnesAndEqualLevelsGoByArrayOrder) {
    KorMapData d = MakeDrawingMap();
    d.polygons.clear();
    d.polygonLineList.clear();
    using P = tagMapPolygon;
    Rect(d, 10, 10, 30, 30, P::kLand, 2, 0);  // A: level 2
    Rect(d, 20, 20, 40, 40, P::kLand, 1, 1);  // B
    Rect(d, 35, 35, 45, 45, P::kLand, 0, 1);  // C
    Rect(d, 38, 38, 48, 48, P::kLand, 0, 2);  // D: the level of C, after it in the array
    Rect(d, 5, 5, 12, 12, P::kLand, 1, 2);    // E: level 1, after A in the array
    Rect(d, 60, 5, 70, 15, P::kLand, 7, 0);   // F: no texture set 7: drawn with set 0
    DrawingMap map;
    ASSERT_TRUE(map.SetData(std::move(d)));
    map.TextureSetup();
    map.SetSelectedKuni(2);
    map.SetBrightType(3, 2);
    map.DrawMap(0, 0, kW, kH, kW, kH);
    EXPECT_EQ(map.At(25, 25), Land(kSet2, 2));  // A over B
    EXPECT_EQ(map.At(11, 11), Land(kSet2, 2));  // A over E, which comes later in the array
    EXPECT_EQ(map.At(6, 6), Land(kSet1, 3));    // E
    EXPECT_EQ(map.At(36, 36), Land(kSet1, 2));  // B over C
    EXPECT_EQ(map.At(43, 36), Land(kSet0, 2));  // C
    EXPECT_EQ(map.At(42, 42), Land(kSet0, 3));  // D over C
    EXPECT_EQ(map.At(46, 46), Land(kSet0, 3));  // D
    EXPECT_EQ(map.At(65, 10), Land(kSet0, 2));  // F
    EXPECT_EQ(map.ElvMap().GetSelectedTexture(), 7);
}

TEST(KorMapDraw, LandOutsideTheViewIsSkipped) {
    DrawingMap map;
    map.DrawMap(0, 0, kW, kH, kW, kH);
    // Polygon 12 (level 9) is drawn last and leaves its set selected.
    EXPECT_EQ(map.ElvMap().GetSelectedTexture(), 9);
    map.DrawMap(0, 0, 50, 50, 50, 50);
    // Outside the view: the last one drawn is polygon 0 (level 2).
    EXPECT_EQ(map.ElvMap().GetSelectedTexture(), 2);
}

TEST(KorMapDraw, ShadowIsShiftedThreePixelsWhateverTheScale) {
    struct Case {
        int x, y, w, h, dispW, dispH;
        int left, top, right, bottom;  // the shadow's pixels, inclusive
    } cases[] = {
        {0, 0, kW, kH, kW, kH, 53, 13, 63, 23},
        {0, 0, kW, kH, 2 * kW, 2 * kH, 103, 23, 123, 43},
        {40, 5, 50, 40, 50, 40, 13, 8, 23, 18},
    };
    for (const Case& c : cases) {
        DrawingMap map;
        map.DrawMap(c.x, c.y, c.w, c.h, c.dispW, c.dispH);
        const COLORREF black = 0;
        EXPECT_EQ(map.At(c.left, c.top), black) << c.dispW;
        EXPECT_EQ(map.At(c.right, c.bottom), black) << c.dispW;
        EXPECT_EQ(map.At((c.left + c.right) / 2, (c.top + c.bottom) / 2), black) << c.dispW;
        EXPECT_EQ(map.At(c.left - 1, c.top), kSeaPixel) << c.dispW;
        EXPECT_EQ(map.At(c.right + 1, c.bottom), kSeaPixel) << c.dispW;
        EXPECT_EQ(map.At(c.left, c.top - 1), kSeaPixel) << c.dispW;
        EXPECT_EQ(map.At(c.right, c.bottom + 1), kSeaPixel) << c.dispW;
    }
}

TEST(KorMapDraw, SelectedProvinceTakesTheSelectedBrightness) {
    DrawingMap map;
    map.SetSelectedKuni(1);
    map.SetBrightType(4, 1);
    map.DrawMap(0, 0, kW, kH, kW, kH);
    EXPECT_EQ(map.At(32, 32), Land(kSet1, 4));  // polygon 1, province 1
    EXPECT_EQ(map.At(15, 15), Land(kSet2, 1));  // province 0
    EXPECT_EQ(map.At(15, 55), Bright(1, kWater));
    map.SetSelectedKuni(-1);
    EXPECT_EQ(map.GetSelectedKuni(), -2);
    map.DrawMap(0, 0, kW, kH, kW, kH);
    EXPECT_EQ(map.At(32, 32), Land(kSet1, 1));
}

TEST(KorMapDraw, EmptyViewDrawsNothingAndKeepsTheScale) {
    DrawingMap map;
    map.DrawMap(0, 0, kW, kH, 2 * kW, 2 * kH);
    const COLORREF before = map.At(25, 25);
    for (auto args :
         {std::array<int, 4>{0, kH, 10, 10}, {kW, 0, 10, 10}, {kW, kH, 0, 10}, {kW, kH, 10, -1}}) {
        map.DrawMap(0, 0, args[0], args[1], args[2], args[3]);
        EXPECT_EQ(map.GetScaleX(), 2.0);
        EXPECT_EQ(map.target.GetWidth(), 2 * kW);
        EXPECT_EQ(map.At(25, 25), before);
    }
}

// The map keeps its last pictures: a view drawn again is copied when nothing it was drawn with has
// changed. Each step changes one thing (or goes back to an earlier view) on one map object, over
// a target scribbled on in between; its picture must be the one a new map object draws with the
// same settings, and each step but the return to a kept view changes the picture.
TEST(KorMapDraw, AKeptPictureIsTheOneDrawnAnew) {
    struct Settings {
        std::array<int, 6> view{0, 0, kW, kH, kW, kH};
        int season = 0;
        int kuni = -1;
        int selected = 3, other = 2;
        bool lowered = false;  // columns under province 0 turned to sea through the relief map
        bool moved = false;    // another map with province 1 elsewhere
        Mb3dMap::PaintPath path = Mb3dMap::PaintPath::kBest;
    };
    auto data = [](bool moved) {
        KorMapData d = MakeDrawingMap();
        // Set 0 in four seasons, each later one greener.
        auto& set = d.textureSets[0];
        set.flags = Mb3dMap::tagTEXTURE_SET::kFourSeasons;
        for (int s = 1; s < 4; ++s) {
            UniformBitmap(set.first[s], 4, 4, kSet0[0], 180 + 20 * s, kSet0[2]);
            UniformBitmap(set.second[s], 4, 4, kSet0[0], 180 + 20 * s, kSet0[2]);
            UniformBitmap(set.third[s], 4, 4, kSea[0], kSea[1], kSea[2]);
            set.firstValue[s] = set.secondValue[s] = set.thirdValue[s] = 30000;
        }
        if (moved) Rect(d, 62, 2, 78, 8, tagMapPolygon::kLand, 1, 1);
        return d;
    };
    auto lower = [](CCtrlKorMap& map) {
        Mb3dMap::CCtrlElvMap& elv = map.ElvMap();
        for (int y = 0; y < kH; ++y)
            for (int x = 10; x < 20; ++x)
                elv.GetElevationData()[y * (kW + 1) + x] = 0;
        elv.ElevationDataModified();
    };
    auto apply = [](CCtrlKorMap& map, const Settings& s) {
        map.SetSeason(s.season);
        map.SetSelectedKuni(s.kuni);
        map.SetBrightType(s.selected, s.other);
        Mb3dMap::SetPaintPath(s.path);
        map.DrawMap(s.view[0], s.view[1], s.view[2], s.view[3], s.view[4], s.view[5]);
    };
    auto pixels = [](const MbBmp::CControlBmp& b) {
        return b.GetHbmp() ? b.GetHbmp()->pixels : std::vector<MbBmp::BYTE>{};
    };

    std::vector<Settings> steps(1);
    auto next = [&](auto change) {
        Settings s = steps.back();
        change(s);
        steps.push_back(s);
    };
    next([](Settings& s) { s.view = {10, 10, 50, 40, kW, kH}; });  // magnified
    next([](Settings& s) { s.view = {0, 0, kW, kH, kW, kH}; });    // the first view again
    next([](Settings& s) { s.season = 1; });
    next([](Settings& s) { s.kuni = 1; });
    next([](Settings& s) { s.selected = 0, s.other = 1; });
    next([](Settings& s) { s.lowered = true; });
    next([](Settings& s) { s.moved = true, s.lowered = false; });
    next([](Settings& s) { s.path = Mb3dMap::PaintPath::kPlain; });
    next([](Settings& s) { s.view = {0, 0, kW, kH, kW - 1, kH - 1}, s.path = Mb3dMap::PaintPath::kBest; });
    next([](Settings& s) { s.season = 2; });  // rows with bytes past their pixels

    MbBmp::CControlBmp target;
    CCtrlKorMap kept;
    ASSERT_TRUE(kept.SetData(data(false)));
    kept.TextureSetup();
    kept.SetExternalBmp(&target);
    std::vector<MbBmp::BYTE> before;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Settings& s = steps[i];
        if (i > 0 && s.moved != steps[i - 1].moved) {
            ASSERT_TRUE(kept.SetData(data(s.moved)));
            kept.TextureSetup();
        }
        if (s.lowered && (i == 0 || !steps[i - 1].lowered)) lower(kept);
        if (!target.IsEmpty())  // row ends past the pixels included
            std::memset(target.GetBufferPtr(), 0x55,
                        static_cast<std::size_t>(target.GetWidthBytes()) * target.GetHeight());
        apply(kept, s);

        CCtrlKorMap fresh;
        MbBmp::CControlBmp freshTarget;
        ASSERT_TRUE(fresh.SetData(data(s.moved)));
        fresh.TextureSetup();
        if (s.lowered) lower(fresh);
        fresh.SetExternalBmp(&freshTarget);
        apply(fresh, s);

        EXPECT_TRUE(pixels(target) == pixels(freshTarget)) << "step " << i;
        EXPECT_EQ(kept.GetScaleX(), fresh.GetScaleX()) << "step " << i;
        EXPECT_EQ(kept.GetOrigin().cx, fresh.GetOrigin().cx) << "step " << i;
        EXPECT_EQ(kept.ElvMap().GetSelectedTexture(), fresh.ElvMap().GetSelectedTexture()) << "step " << i;
        if (i > 0 && i != 2 && s.path == Mb3dMap::PaintPath::kBest) {
            EXPECT_FALSE(pixels(target) == before) << "step " << i << " changes nothing";
        }
        before = pixels(target);
    }
    Mb3dMap::SetPaintPath(Mb3dMap::PaintPath::kBest);
}

TEST(KorMapPaint, PaintsTheProvinceItsLakeInTheStandardColourAndNothingElse) {
    DrawingMap map;
    map.DrawMap(0, 0, kW, kH, kW, kH);
    const COLORREF untouched[] = {map.At(32, 32), map.At(72, 22), map.At(10, 70)};
    ASSERT_EQ(untouched[2], RGB(0, 0, 0));
    const COLORREF paint = RGB(10, 200, 30);
    map.PaintKuni(2, paint, false, 0, false);
    EXPECT_EQ(map.At(30, 55), paint);               // palette polygon, fill-all
    EXPECT_EQ(map.At(87, 35), paint);               // land polygon with fill-all over the sea
    EXPECT_EQ(map.At(87, 15), kSeaPixel);           // without fill-all the sea stays
    EXPECT_EQ(map.At(65, 65), Relieved(paint, 0));  // flat land, not fill-all: through the relief
    EXPECT_EQ(map.At(15, 55), RGB(0, 100, 128));    // its lake, not the map's water colour
    EXPECT_EQ(map.At(32, 32), untouched[0]);        // another province
    map.PaintKuni(1, paint, false, 3, false);
    EXPECT_EQ(map.At(72, 22), untouched[1]);  // hidden polygons are not painted
    EXPECT_EQ(map.At(32, 32), Relieved(paint, 3));
    EXPECT_EQ(map.At(10, 70), untouched[2]);
}

TEST(KorMapPaint, DrawLineRedrawsOverPaint) {
    KorMapData d = MakeDrawingMap();
    // A line across province 0.
    const int a = AddNode(d, 12 * kU, 20 * kU), b = AddNode(d, 28 * kU, 20 * kU);
    AddLine(d, a, b, {}, 24);  // palette 4
    DrawingMap map;
    ASSERT_TRUE(map.SetData(std::move(d)));
    map.TextureSetup();
    map.DrawMap(0, 0, kW, kH, kW, kH);
    EXPECT_EQ(map.At(20, 20), RGB(100, 200, 40));
    map.PaintKuni(0, RGB(1, 2, 3), false, 0, false);
    EXPECT_NE(map.At(20, 20), RGB(100, 200, 40));
    map.DrawLine();
    EXPECT_EQ(map.At(20, 20), RGB(100, 200, 40));
    EXPECT_EQ(map.At(12, 20), RGB(100, 200, 40));
    EXPECT_EQ(map.At(28, 20), RGB(100, 200, 40));
    // PaintKuni draws the lines itself when asked.
    map.PaintKuni(0, RGB(1, 2, 3), false, 0, false);
    EXPECT_NE(map.At(20, 20), RGB(100, 200, 40));
    map.PaintKuni(0, RGB(1, 2, 3), true, 0, false);
    EXPECT_EQ(map.At(20, 20), RGB(100, 200, 40));
    EXPECT_EQ(map.At(20, 25), Relieved(RGB(1, 2, 3), 0));
}

TEST(KorMapDetect, FindsTheProvinceByTheDrawingRules) {
    DrawingMap map;
    map.DrawMap(0, 0, kW, kH, 2 * kW, 2 * kH);
    struct Case {
        int x, y, kuni;
        const char* what;
    } cases[] = {
        {15, 15, 0, "inside"},
        {25, 25, 0, "inside two: the earlier in the array"},
        {32, 32, 1, "inside"},
        {10, 15, 0, "on the left edge"},
        {30, 30, 0, "on the bottom-right corner"},
        {9, 15, -1, "one column left of the edge"},
        {65, 65, 2, "a polygon of no province before it is skipped"},
        {72, 22, 1, "hidden polygons are hit-tested"},
        {55, 15, -1, "a polygon of no province only"},
        {87, 15, 2, "land over the sea"},
        {-5, 300, -1, "outside the map"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(map.DetectKuni({c.x, c.y}), c.kuni) << c.what;
    // The scales of the drawing are kept.
    EXPECT_EQ(map.GetScaleX(), 2.0);
    EXPECT_EQ(map.GetScaleY(), 2.0);
}

TEST(KorMapDetect, HitTestingMatchesBruteForceOverEveryPolygonOutline) {
    // Every relief sample: the rectangle shortcut gives what walking every outline gives.
    DrawingMap map;
    const KorMapData& d = map.Data();
    std::vector<MbBmp::POINT> outline(MbKorMap::kMaxOutlinePoints);
    for (int y = -2; y < kH + 2; ++y)
        for (int x = -2; x < kW + 2; ++x) {
            int want = -1;
            for (std::size_t i = 0; i < d.polygons.size() && want < 0; ++i) {
                if (d.polygons[i].kuni < 0) continue;
                // ArrangePolygonPointList at scale 1 (the scales after construction).
                const int n = map.ArrangePolygonPointList(static_cast<int>(i), outline.data(), {}, 10000);
                if (Mb3dMap::CCtrlElvMap::PtInPolygon({x, y}, outline.data(), n)) want = d.polygons[i].kuni;
            }
            ASSERT_EQ(map.DetectKuni({x, y}), want) << x << "," << y;
        }
}

}  // namespace
