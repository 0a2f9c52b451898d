#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "support/bitmap_test_util.h"

namespace {

using namespace bmptest;
using MbBmp::POINT;
using MbBmp::RECT;
using MbBmp::RGB;

CControlBmp Blank8(int w, int h) {
    CControlBmp bmp;
    bmp.CreateBitmap(w, h, 8, 256, nullptr);
    bmp.SetDrawColor(1);
    return bmp;
}

bool Set(const CControlBmp& bmp, int x, int y) {
    return bmp.GetPixelIndex(x, y) == 1;
}

int CountSet(const CControlBmp& bmp) {
    int n = 0;
    for (int y = 0; y < bmp.GetHeight(); ++y) {
        for (int x = 0; x < bmp.GetWidth(); ++x)
            n += Set(bmp, x, y) ? 1 : 0;
    }
    return n;
}

// ---- Lines ------------------------------------------------------------------------------------

TEST(BitmapLines, OnePixelLineIncludesBothEnds) {
    CControlBmp bmp = Blank8(10, 10);
    bmp.DrawLine(0, 0, 9, 9);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(Set(bmp, i, i)) << i;
    EXPECT_EQ(CountSet(bmp), 10);

    CControlBmp colour;
    colour.CreateBitmap(5, 5, 24);
    colour.SetDrawColor(RGB(1, 2, 3));
    colour.DrawLine(4, 2, 0, 2);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(colour.GetPixelColor(x, 2), RGB(1, 2, 3));
    EXPECT_EQ(colour.GetPixelColor(0, 1), 0u);
}

TEST(BitmapLines, FarCoordinatesAreClippedWithoutHarm) {
    CControlBmp bmp = Blank8(10, 10);
    bmp.DrawLine(INT_MIN, 4, INT_MAX, 4);
    for (int x = 0; x < 10; ++x)
        EXPECT_TRUE(Set(bmp, x, 4)) << x;
    EXPECT_EQ(CountSet(bmp), 10);
    bmp.DrawLine(INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN);
    bmp.DrawThickLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 9);
    bmp.DrawThickLineDash(INT_MIN, 0, INT_MAX, 9, 3);
    bmp.DrawThickLine(-50, -50, -40, -40, 4);
    CControlBmp empty;
    empty.DrawLine(0, 0, 5, 5);
    empty.DrawThickLine(0, 0, 5, 5, 3);
}

TEST(BitmapLines, ThickLineCoversItsWidthWithRoundEnds) {
    CControlBmp bmp = Blank8(30, 30);
    bmp.DrawThickLine(5, 10, 15, 10, 5);  // radius 2.5
    struct Probe {
        int x, y;
        bool set;
    };
    const Probe probes[] = {{5, 8, true},  {15, 12, true}, {10, 13, false}, {10, 7, false},
                            {3, 10, true}, {2, 10, false}, {3, 8, false},   {17, 11, true}};
    for (const Probe& p : probes)
        EXPECT_EQ(Set(bmp, p.x, p.y), p.set) << p.x << "," << p.y;

    CControlBmp diag = Blank8(30, 30);
    diag.DrawThickLine(5, 5, 20, 20, 3);
    EXPECT_TRUE(Set(diag, 12, 12));
    EXPECT_TRUE(Set(diag, 13, 12));
    EXPECT_FALSE(Set(diag, 15, 12));
}

TEST(BitmapLines, DashedLineHasGapsAndCarriesItsPatternAcrossCalls) {
    CControlBmp one = Blank8(60, 3);
    one.ResetDashProgress();
    one.DrawThickLineDash(0, 1, 59, 1, 1);
    int on = 0;
    for (int x = 0; x < 60; ++x)
        on += Set(one, x, 1) ? 1 : 0;
    EXPECT_GT(on, 30);
    EXPECT_LT(on, 58);
    EXPECT_TRUE(Set(one, 0, 1));  // a fresh pattern starts with a dash

    CControlBmp pieces = Blank8(60, 3);
    pieces.ResetDashProgress();
    pieces.DrawThickLineDash(0, 1, 23, 1, 1);
    pieces.DrawThickLineDash(23, 1, 59, 1, 1);
    EXPECT_TRUE(SamePicture(one, pieces));

    // A long stretch outside the bitmap moves the pattern on as if it had been drawn.
    CControlBmp far = Blank8(60, 3), farPieces = Blank8(60, 3);
    far.ResetDashProgress();
    far.DrawThickLineDash(-1000, 1, 59, 1, 1);
    farPieces.ResetDashProgress();
    farPieces.DrawThickLineDash(-1000, 1, -500, 1, 1);
    farPieces.DrawThickLineDash(-500, 1, 59, 1, 1);
    EXPECT_TRUE(SamePicture(far, farPieces));
}

// ---- Arcs -------------------------------------------------------------------------------------

TEST(BitmapArcs, SameStartAndEndDrawsTheWholeCircle) {
    CControlBmp bmp = Blank8(41, 41);
    const RECT rc{10, 10, 30, 30};
    bmp.DrawThickArc(&rc, POINT{10, 20}, POINT{10, 20}, 3, false, false);
    for (auto [x, y] : {std::pair{20, 10}, {30, 20}, {20, 30}, {10, 20}, {27, 27}, {13, 13}}) {
        EXPECT_TRUE(Set(bmp, x, y)) << x << "," << y;
    }
    EXPECT_FALSE(Set(bmp, 20, 20));
    EXPECT_FALSE(Set(bmp, 20, 15));
    EXPECT_FALSE(Set(bmp, 20, 34));
}

TEST(BitmapArcs, DirectionChoosesTheHalf) {
    const RECT rc{10, 10, 30, 30};
    // From angle 0 (right) to angle pi (left): growing angle runs through the bottom (y down).
    CControlBmp growing = Blank8(41, 41);
    growing.DrawThickArc(&rc, POINT{35, 20}, POINT{0, 20}, 3, true, false);
    EXPECT_TRUE(Set(growing, 20, 30));
    EXPECT_FALSE(Set(growing, 20, 10));
    CControlBmp shrinking = Blank8(41, 41);
    shrinking.DrawThickArc(&rc, POINT{35, 20}, POINT{0, 20}, 3, false, false);
    EXPECT_TRUE(Set(shrinking, 20, 10));
    EXPECT_FALSE(Set(shrinking, 20, 30));
    // A quarter: from the top to the right, the angle growing from -pi/2 to 0.
    CControlBmp quarter = Blank8(41, 41);
    quarter.DrawThickArc(&rc, POINT{20, 0}, POINT{40, 20}, 3, true, false);
    EXPECT_TRUE(Set(quarter, 27, 13));
    EXPECT_FALSE(Set(quarter, 13, 27));
    EXPECT_FALSE(Set(quarter, 13, 13));
}

TEST(BitmapArcs, EllipseDashesAndOddRectangles) {
    CControlBmp bmp = Blank8(60, 30);
    const RECT rc{5, 5, 55, 25};
    bmp.DrawThickArc(&rc, POINT{0, 15}, POINT{0, 15}, 1, true, false);
    EXPECT_TRUE(Set(bmp, 5, 15));
    EXPECT_TRUE(Set(bmp, 55, 15));
    EXPECT_TRUE(Set(bmp, 30, 5));
    EXPECT_TRUE(Set(bmp, 30, 25));
    const int solid = CountSet(bmp);

    CControlBmp dashed = Blank8(60, 30);
    dashed.ResetDashProgress();
    dashed.DrawThickArc(&rc, POINT{0, 15}, POINT{0, 15}, 1, true, true);
    EXPECT_LT(CountSet(dashed), solid);
    EXPECT_GT(CountSet(dashed), solid / 2);

    const RECT point{7, 7, 7, 7}, huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, inverted{30, 20, 10, 5};
    bmp.DrawThickArc(&point, POINT{0, 0}, POINT{0, 0}, 3, true, false);
    bmp.DrawThickArc(&huge, POINT{0, 0}, POINT{5, 0}, 3, true, true);
    bmp.DrawThickArc(&inverted, POINT{0, 0}, POINT{5, 0}, 3, false, false);
    bmp.DrawThickArc(nullptr, POINT{0, 0}, POINT{5, 0}, 3, false, false);
}

// ---- Imposing ---------------------------------------------------------------------------------

// 4x4 source: top-left block all index 1, top-right block half index 2 (left column) and half
// index 0, bottom half index 0.
CControlBmp ImposeSource() {
    const RGBQUAD pal[3] = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{0, 0, 200, 0}, RGBQUAD{0, 200, 0, 0}};
    CControlBmp src;
    src.CreateBitmap(4, 4, 8, 3, pal);
    for (int y = 0; y < 2; ++y) {
        src.SetPixelColor(0, y, 1);
        src.SetPixelColor(1, y, 1);
        src.SetPixelColor(2, y, 2);
    }
    return src;
}

CControlBmp Grey24(int w, int h) {
    CControlBmp dst;
    dst.CreateBitmap(w, h, 24);
    dst.FillRect(0, 0, w, h, RGB(100, 100, 100));
    return dst;
}

TEST(BitmapImpose, HalfSizeAverageLeavesIndexZeroOut) {
    const CControlBmp src = ImposeSource();
    CControlBmp dst = Grey24(4, 4);
    int step = -1;
    ASSERT_TRUE(dst.Impose8BitBmpWithCompressDebug(&src, 1, 1, &step));
    EXPECT_EQ(step, 3);
    EXPECT_EQ(dst.GetPixelColor(1, 1), RGB(200, 0, 0));
    EXPECT_EQ(dst.GetPixelColor(2, 1), RGB(50, 150, 50));  // two green pixels over grey
    EXPECT_EQ(dst.GetPixelColor(1, 2), RGB(100, 100, 100));
    EXPECT_EQ(dst.GetPixelColor(0, 0), RGB(100, 100, 100));
    EXPECT_EQ(dst.GetPixelColor(3, 1), RGB(100, 100, 100));
}

TEST(BitmapImpose, PlacesAreClippedOnEverySide) {
    const CControlBmp src = ImposeSource();
    struct Case {
        int x, y;
        int px, py;  // where the red block lands, or -1
    };
    const Case cases[] = {{-1, 0, -1, 0},
                          {0, -1, 0, -1},
                          {3, 3, 3, 3},
                          {-2, -2, -1, -1},
                          {4, 0, -1, 0},
                          {INT_MIN, INT_MIN, -1, -1},
                          {INT_MAX, INT_MAX, -1, -1}};
    for (const Case& c : cases) {
        CControlBmp dst = Grey24(4, 4);
        ASSERT_TRUE(dst.Impose8BitBmpWithCompress(&src, c.x, c.y));
        int red = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x)
                red += dst.GetPixelColor(x, y) == RGB(200, 0, 0) ? 1 : 0;
        }
        const bool lands = c.px >= 0 && c.py >= 0;
        EXPECT_EQ(red, lands ? 1 : 0) << c.x << "," << c.y;
        if (lands) {
            EXPECT_EQ(dst.GetPixelColor(c.px, c.py), RGB(200, 0, 0));
        }
    }
    // The half of the top-right block that lands at (0, 0) when imposed at (-1, 0).
    CControlBmp dst = Grey24(4, 4);
    dst.Impose8BitBmpWithCompress(&src, -1, 0);
    EXPECT_EQ(dst.GetPixelColor(0, 0), RGB(50, 150, 50));
}

TEST(BitmapImpose, TransparentColourReplacesIndexZero) {
    CControlBmp src = ImposeSource();
    src.SetTransparentColor(RGB(200, 0, 0));  // index 1 is now left out, index 0 (black) drawn
    CControlBmp dst = Grey24(2, 2);
    ASSERT_TRUE(dst.Impose8BitBmpWithCompress(&src, 0, 0));
    EXPECT_EQ(dst.GetPixelColor(0, 0), RGB(100, 100, 100));
    EXPECT_EQ(dst.GetPixelColor(1, 0), RGB(0, 100, 0));  // two green and two black
    EXPECT_EQ(dst.GetPixelColor(0, 1), RGB(0, 0, 0));
}

TEST(BitmapImpose, OddSizesThirtyTwoBitAndEightBitTargets) {
    const RGBQUAD pal[2] = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{40, 40, 40, 0}};
    CControlBmp src;
    src.CreateBitmap(3, 3, 8, 2, pal);
    src.FillRect(0, 0, 3, 3, 1);
    CControlBmp dst;
    dst.CreateBitmap(2, 2, 32);
    ASSERT_TRUE(dst.Impose8BitBmpWithCompress(&src, 0, 0));
    EXPECT_EQ(dst.GetPixelColor(0, 0), RGB(40, 40, 40));
    EXPECT_EQ(dst.GetPixelColor(1, 1), RGB(10, 10, 10));  // one pixel of four covered
    EXPECT_EQ(dst.GetBufferTopLeftPtr()[3], 0);           // fourth byte untouched

    CControlBmp dst8 = Blank8(2, 2);
    ASSERT_TRUE(dst8.Impose8BitBmpWithCompress(&src, 0, 0));
    EXPECT_EQ(dst8.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(dst8.GetPixelIndex(1, 1), 0);  // one of four: too little to show

    CControlBmp colourSrc = MakePattern(4, 4, 24), empty;
    int step = -1;
    EXPECT_FALSE(dst.Impose8BitBmpWithCompressDebug(&colourSrc, 0, 0, &step));
    EXPECT_EQ(step, 1);
    EXPECT_FALSE(empty.Impose8BitBmpWithCompress(&src, 0, 0));
    EXPECT_FALSE(dst.Impose8BitBmpWithCompress(nullptr, 0, 0));
}

// A wide overlay that is mostly index 0 with single pixels at every column and row parity (and
// next to the right edge, where a row holds fewer than eight pixels): each output pixel is its
// four source pixels' average over the ones not left out, blended with the ground.
TEST(BitmapImpose, SparseWideOverlayMatchesThePerPixelRule) {
    const RGBQUAD pal[3] = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{0, 0, 200, 0}, RGBQUAD{40, 120, 0, 0}};
    for (const int w : {17, 40, 41}) {
        CControlBmp src;
        src.CreateBitmap(w, 7, 8, 3, pal);
        std::vector<int> idx(static_cast<std::size_t>(w) * 7, 0);
        for (int k = 0; k < w * 7; k += 5) {
            const int v = (k / 5) % 3 == 2 ? 2 : 1;
            idx[static_cast<std::size_t>(k)] = v;
            src.SetPixelColor(k % w, k / w, static_cast<COLORREF>(v));
        }
        idx[static_cast<std::size_t>(w - 1)] = 2;  // top row, last column
        src.SetPixelColor(w - 1, 0, 2);
        CControlBmp dst = Grey24((w + 1) / 2 + 2, 6);
        ASSERT_TRUE(dst.Impose8BitBmpWithCompress(&src, 1, 1));
        for (int j = 0; j < 4; ++j) {
            for (int i = 0; i < (w + 1) / 2; ++i) {
                int n = 0, r = 0, g = 0, b = 0;
                for (int yy = 2 * j; yy < 2 * j + 2 && yy < 7; ++yy)
                    for (int xx = 2 * i; xx < 2 * i + 2 && xx < w; ++xx) {
                        const int v = idx[static_cast<std::size_t>(yy * w + xx)];
                        if (v == 0) continue;
                        ++n;
                        r += pal[v].rgbRed;
                        g += pal[v].rgbGreen;
                        b += pal[v].rgbBlue;
                    }
                const COLORREF want = n == 0 ? RGB(100, 100, 100)
                                             : RGB((r + 100 * (4 - n) + 2) / 4, (g + 100 * (4 - n) + 2) / 4,
                                                   (b + 100 * (4 - n) + 2) / 4);
                EXPECT_EQ(dst.GetPixelColor(1 + i, 1 + j), want) << w << " " << i << "," << j;
            }
        }
    }
}

// ---- Effects ----------------------------------------------------------------------------------

TEST(BitmapEffects, BrightChangeScalesChannelsInsideTheRectangle) {
    struct Case {
        double factor;
        COLORREF expect;
    };
    const Case cases[] = {{1.5, RGB(150, 255, 75)},    {0.5, RGB(50, 100, 25)},  {0.0, RGB(0, 0, 0)},
                          {2.0, RGB(200, 255, 100)},   {0.85, RGB(85, 170, 42)}, {-3.0, RGB(0, 0, 0)},
                          {1e300, RGB(255, 255, 255)}, {NAN, RGB(0, 0, 0)}};
    for (const Case& c : cases) {
        CControlBmp bmp;
        bmp.CreateBitmap(4, 4, 32);
        bmp.FillRect(0, 0, 4, 4, RGB(100, 200, 50));
        bmp.BrightChange(1, 1, 2, 2, c.factor);
        EXPECT_EQ(bmp.GetPixelColor(1, 1), c.expect) << c.factor;
        EXPECT_EQ(bmp.GetPixelColor(2, 2), c.expect) << c.factor;
        EXPECT_EQ(bmp.GetPixelColor(0, 0), RGB(100, 200, 50));
        EXPECT_EQ(bmp.GetPixelColor(3, 2), RGB(100, 200, 50));
    }
    CControlBmp bmp = Grey24(4, 4);
    bmp.BrightChange(-10, 3, 100, 100, 0.5);  // a window larger than the picture: clipped
    EXPECT_EQ(bmp.GetPixelColor(3, 3), RGB(50, 50, 50));
    EXPECT_EQ(bmp.GetPixelColor(3, 2), RGB(100, 100, 100));
    bmp.BrightChange(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0.5);
    bmp.BrightChange(0, 0, -4, 4, 0.5);
    EXPECT_EQ(bmp.GetPixelColor(0, 0), RGB(100, 100, 100));
}

TEST(BitmapEffects, HatchingMarksEveryFourthDiagonal) {
    CControlBmp bmp = Grey24(10, 10);
    bmp.ColorHatching(2, 3, 5, 4, RGB(64, 64, 64));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
            const bool hatched = inside && (x + y) % 4 == 0;
            EXPECT_EQ(bmp.GetPixelColor(x, y), hatched ? RGB(64, 64, 64) : RGB(100, 100, 100))
                << x << "," << y;
        }
    }
    bmp.ColorHatching(-5, -5, INT_MAX, INT_MAX, 0);
}

TEST(BitmapEffects, MixWhiteMovesColoursTowardWhite) {
    CControlBmp src;
    src.CreateBitmap(2, 1, 24);
    src.SetPixelColor(0, 0, RGB(100, 0, 255));
    CControlBmp out;
    ASSERT_TRUE(out.MixWhite(&src, 0.5));
    EXPECT_EQ(out.GetPixelColor(0, 0), RGB(178, 128, 255));
    EXPECT_EQ(src.GetPixelColor(0, 0), RGB(100, 0, 255));
    ASSERT_TRUE(out.MixWhite(&src, 0.0));
    EXPECT_TRUE(SamePicture(out, src));
    ASSERT_TRUE(src.MixWhite(&src, 1.0));  // in place
    EXPECT_EQ(src.GetPixelColor(0, 0), RGB(255, 255, 255));
    CControlBmp empty;
    EXPECT_FALSE(out.MixWhite(&empty, 0.5));
    EXPECT_FALSE(out.MixWhite(nullptr, 0.5));
}

TEST(BitmapEffects, WhitenedPictureKeepsItsTransparency) {
    // A castle picture on a white background that is its transparent colour.
    const RGBQUAD pal[3] = {RGBQUAD{255, 255, 255, 0}, RGBQUAD{0, 0, 90, 0}, RGBQUAD{30, 30, 30, 0}};
    CControlBmp picture;
    picture.CreateBitmap(2, 2, 8, 3, pal);
    picture.SetPixelColor(0, 0, 1);
    picture.SetPixelColor(1, 0, 1);
    picture.SetPixelColor(0, 1, 1);
    picture.SetPixelColor(1, 1, 1);
    picture.SetTransparentColor(RGB(255, 255, 255));

    CControlBmp white;
    ASSERT_TRUE(white.MixWhite(&picture, 1.0));
    RGBQUAD out[256];
    ASSERT_EQ(white.GetPallet(out), 3);
    EXPECT_EQ(CControlBmp::RGBQUADtoCOLORREF(out[0]), RGB(255, 255, 255));  // transparent entry kept
    EXPECT_NE(CControlBmp::RGBQUADtoCOLORREF(out[1]), RGB(255, 255, 255));  // still visible
    EXPECT_TRUE(white.HasTransparentColor());

    CControlBmp dst = Grey24(1, 1);
    ASSERT_TRUE(dst.Impose8BitBmpWithCompress(&white, 0, 0));
    EXPECT_NE(dst.GetPixelColor(0, 0), RGB(100, 100, 100));
    const COLORREF c = dst.GetPixelColor(0, 0);
    EXPECT_GE(MbBmp::GetRValue(c), 250);
}

}  // namespace
