#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "mbbmp/control_bmp.h"
#include "support/bitmap_test_util.h"

namespace {

using namespace bmptest;
using MbBmp::RGB;

struct ShapeCase {
    int w, h, bits, widthBytes;
};

TEST(BitmapObject, CreateGivesPaddedRowsAndZeroPixels) {
    const ShapeCase cases[] = {{1, 1, 8, 4},   {3, 2, 8, 4},   {5, 3, 8, 8},  {1, 1, 24, 4},
                               {3, 2, 24, 12}, {5, 4, 24, 16}, {1, 1, 32, 4}, {7, 3, 32, 28}};
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "x" + std::to_string(c.bits));
        CControlBmp bmp;
        ASSERT_TRUE(bmp.CreateBitmap(c.w, c.h, c.bits));
        EXPECT_EQ(bmp.GetWidth(), c.w);
        EXPECT_EQ(bmp.GetHeight(), c.h);
        EXPECT_EQ(bmp.GetBitCount(), c.bits);
        EXPECT_EQ(bmp.GetPixelBytes(), c.bits / 8);
        EXPECT_EQ(bmp.GetWidthBytes(), c.widthBytes);
        EXPECT_NE(bmp.GetHbmp(), nullptr);
        EXPECT_EQ(bmp.GetHbmp()->pixels.size(), static_cast<size_t>(c.widthBytes * c.h));
        EXPECT_EQ(bmp.GetBufferTopLeftPtr(), bmp.GetBufferPtr() + c.widthBytes * (c.h - 1));
        EXPECT_EQ(bmp.GetPalletNum(), c.bits == 8 ? 256 : 0);
        for (BYTE b : bmp.GetHbmp()->pixels)
            ASSERT_EQ(b, 0);
    }
}

TEST(BitmapObject, EightBitsWithoutPaletteGetsGreyRamp) {
    CControlBmp bmp;
    ASSERT_TRUE(bmp.CreateBitmap(4, 4, 8, 256, nullptr));
    RGBQUAD pal[256];
    ASSERT_EQ(bmp.GetPallet(pal), 256);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(CControlBmp::RGBQUADtoCOLORREF(pal[i]), RGB(i, i, i));
    }
}

TEST(BitmapObject, GivenPaletteIsKeptAndReadBack) {
    std::vector<RGBQUAD> pal = TestPalette(12);
    CControlBmp bmp;
    ASSERT_TRUE(bmp.CreateBitmap(8, 2, 8, 12, pal.data()));
    RGBQUAD out[256];
    ASSERT_EQ(bmp.GetPallet(out), 12);
    EXPECT_EQ(CControlBmp::RGBQUADtoCOLORREF(out[11]), CControlBmp::RGBQUADtoCOLORREF(pal[11]));
    EXPECT_EQ(CControlBmp::RGBQUADtoCOLORREF(bmp.GetPalletPtr()[12]), 0u);  // unused entries black
}

TEST(BitmapObject, BadShapesAreRefusedAndLeaveTheBitmapAlone) {
    CControlBmp bmp = MakePattern(3, 3, 24);
    const CControlBmp before = MakePattern(3, 3, 24);
    const int bad[][4] = {{0, 5, 24, 0},    {5, 0, 24, 0},     {-1, 5, 24, 0},       {5, -7, 24, 0},
                          {5, 5, 16, 0},    {5, 5, 1, 0},      {5, 5, 8, 257},       {5, 5, 8, -1},
                          {40000, 1, 8, 0}, {1, 40000, 24, 0}, {20000, 20000, 32, 0}};
    for (const auto& b : bad) {
        EXPECT_FALSE(bmp.CreateBitmap(b[0], b[1], b[2], b[3], nullptr)) << b[0] << " " << b[1] << " " << b[2];
        EXPECT_TRUE(SamePicture(bmp, before));
    }
}

TEST(BitmapObject, RowsAreStoredBottomRowFirst) {
    CControlBmp bmp;
    ASSERT_TRUE(bmp.CreateBitmap(2, 3, 24));
    bmp.SetPixelColor(0, 0, RGB(10, 20, 30));  // top-left
    bmp.SetPixelColor(1, 2, RGB(40, 50, 60));  // bottom-right
    const BYTE* top = bmp.GetBufferTopLeftPtr();
    EXPECT_EQ(top[0], 30);  // blue, green, red
    EXPECT_EQ(top[1], 20);
    EXPECT_EQ(top[2], 10);
    const BYTE* bottom = bmp.GetBufferPtr();
    EXPECT_EQ(bottom[3], 60);
    EXPECT_EQ(bottom[5], 40);
    EXPECT_EQ(bmp.GetLinePtr(2), bmp.GetBufferPtr());
    EXPECT_EQ(bmp.GetPixelColor(1, 2), RGB(40, 50, 60));
    EXPECT_EQ(bmp.GetPixelColor(-1, 0), 0u);
    EXPECT_EQ(bmp.GetPixelColor(0, 3), 0u);
    bmp.SetPixelColor(2, 0, RGB(1, 1, 1));  // outside: ignored
    bmp.ClearBuffer();
    EXPECT_EQ(bmp.GetPixelColor(0, 0), 0u);
}

TEST(BitmapObject, InlineHelpers) {
    EXPECT_EQ(CControlBmp::RGBQUADtoCOLORREF(RGBQUAD{3, 2, 1, 9}), 0x030201u);
    CControlBmp bmp;
    EXPECT_EQ(bmp.GetHbmp(), nullptr);
    EXPECT_EQ(bmp.GetBufferPtr(), nullptr);
    EXPECT_EQ(bmp.GetBufferTopLeftPtr(), nullptr);
    EXPECT_EQ(bmp.GetWidth(), 0);
    EXPECT_EQ(bmp.GetCompressedDataType(), 0);
    EXPECT_EQ(bmp.GetCompressedDataBuffer(), nullptr);
    bmp.SetDrawColor(RGB(1, 2, 3));
    EXPECT_EQ(bmp.GetDrawColor(), RGB(1, 2, 3));
    bmp.SetGhostBitmapType(true);
    EXPECT_TRUE(bmp.GetGhostBitmapType());
    bmp.ClearBuffer();  // empty: nothing happens
}

TEST(BitmapObject, DuplicateCopiesPixelsPaletteAndTransparency) {
    CControlBmp src = MakePattern(5, 4, 8, 40);
    src.SetTransparentColor(RGB(1, 2, 3));
    CControlBmp copy;
    ASSERT_TRUE(copy.Duplicate(&src));
    EXPECT_TRUE(SamePicture(copy, src));
    EXPECT_NE(copy.GetBufferPtr(), src.GetBufferPtr());
    EXPECT_TRUE(copy.HasTransparentColor());
    EXPECT_EQ(copy.GetTransparentColor(), RGB(1, 2, 3));

    // Changing the copy leaves the source alone.
    copy.GetLinePtr(0)[0] ^= 0xFF;
    EXPECT_FALSE(SamePicture(copy, src));

    // By handle: pixels and palette.
    CControlBmp byHandle;
    ASSERT_TRUE(byHandle.Duplicate(src.GetHbmp()));
    EXPECT_TRUE(SamePicture(byHandle, src));

    // Into a bitmap of the same shape (the blink copy): the buffer is reused.
    CControlBmp a = MakePattern(6, 6, 24), b = MakePattern(6, 6, 24);
    b.FillRect(0, 0, 6, 6, RGB(9, 9, 9));
    const BYTE* buffer = a.GetBufferPtr();
    ASSERT_TRUE(a.Duplicate(&b));
    EXPECT_EQ(a.GetBufferPtr(), buffer);
    EXPECT_TRUE(SamePicture(a, b));

    // Self and empty sources.
    EXPECT_TRUE(a.Duplicate(&a));
    CControlBmp empty;
    EXPECT_FALSE(a.Duplicate(&empty));
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_FALSE(a.Duplicate(static_cast<const CControlBmp*>(nullptr)));
}

TEST(BitmapObject, CreateDuplicateConvertsDepth) {
    std::vector<RGBQUAD> pal = TestPalette(4);
    CControlBmp src;
    ASSERT_TRUE(src.CreateBitmap(3, 2, 8, 4, pal.data()));
    src.SetPixelColor(0, 0, 1);
    src.SetPixelColor(2, 1, 3);

    CControlBmp to32;
    ASSERT_TRUE(to32.CreateDuplicate(src.GetHbmp(), 32, 0, nullptr));
    EXPECT_EQ(to32.GetBitCount(), 32);
    EXPECT_EQ(to32.GetPalletNum(), 0);
    EXPECT_EQ(to32.GetPixelColor(0, 0), CControlBmp::RGBQUADtoCOLORREF(pal[1]));
    EXPECT_EQ(to32.GetPixelColor(2, 1), CControlBmp::RGBQUADtoCOLORREF(pal[3]));
    EXPECT_EQ(to32.GetPixelColor(1, 0), CControlBmp::RGBQUADtoCOLORREF(pal[0]));

    CControlBmp to24;
    ASSERT_TRUE(to24.CreateDuplicate(to32.GetHbmp(), 24));
    EXPECT_EQ(MaxChannelDifference(to24, to32), 0);

    // To 8 bits with no palette: grey levels; with a palette: the nearest entry.
    CControlBmp colour;
    colour.CreateBitmap(2, 1, 24);
    colour.SetPixelColor(0, 0, RGB(255, 255, 255));
    colour.SetPixelColor(1, 0, RGB(200, 10, 10));
    CControlBmp grey;
    ASSERT_TRUE(grey.CreateDuplicate(colour.GetHbmp(), 8));
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 255);
    EXPECT_EQ(grey.GetPixelIndex(1, 0), 67);  // luma of (200, 10, 10)
    const RGBQUAD two[2] = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{0, 0, 250, 0}};
    CControlBmp indexed;
    ASSERT_TRUE(indexed.CreateDuplicate(colour.GetHbmp(), 8, 2, two));
    EXPECT_EQ(indexed.GetPalletNum(), 2);
    EXPECT_EQ(indexed.GetPixelIndex(1, 0), 1);

    EXPECT_FALSE(indexed.CreateDuplicate(nullptr, 24));
    EXPECT_FALSE(indexed.CreateDuplicate(colour.GetHbmp(), 16));
    EXPECT_EQ(indexed.GetBitCount(), 8);
}

TEST(BitmapObject, MovingHandsThePixelsOver) {
    CControlBmp a = MakePattern(4, 4, 24);
    const BYTE* buffer = a.GetBufferPtr();
    CControlBmp b(std::move(a));
    EXPECT_EQ(b.GetBufferPtr(), buffer);
    CControlBmp c;
    c = std::move(b);
    EXPECT_EQ(c.GetBufferPtr(), buffer);
    c.FreeBitmap();
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.GetWidth(), 0);
}

class RecordingRenderer : public MbBmp::TextRenderer {
public:
    int DrawText(CControlBmp& target, const char* text, MbBmp::RECT* rc, COLORREF colour,
                 const MbBmp::TextFont*, unsigned format) override {
        last = text;
        lastColour = colour;
        lastFormat = format;
        target.FillRect(rc->left, rc->top, 1, 1, colour);
        return 14;
    }
    std::string last;
    COLORREF lastColour = 0;
    unsigned lastFormat = 0;
};

TEST(BitmapObject, TextGoesThroughTheInstalledRenderer) {
    CControlBmp bmp;
    bmp.CreateBitmap(10, 10, 24);
    MbBmp::RECT rc{2, 3, 9, 9};
    ASSERT_EQ(CControlBmp::GetTextRenderer(), nullptr);
    EXPECT_EQ(bmp.DrawTextA("城", &rc, RGB(255, 0, 0), nullptr, 0x25), 0);
    EXPECT_EQ(bmp.GetPixelColor(2, 3), 0u);

    RecordingRenderer renderer;
    CControlBmp::SetTextRenderer(&renderer);
    EXPECT_EQ(bmp.DrawTextA("城", &rc, RGB(255, 0, 0), nullptr, 0x25), 14);
    CControlBmp::SetTextRenderer(nullptr);
    EXPECT_EQ(renderer.last, "城");
    EXPECT_EQ(renderer.lastFormat, 0x25u);
    EXPECT_EQ(bmp.GetPixelColor(2, 3), RGB(255, 0, 0));
}

}  // namespace
