#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "support/bitmap_test_util.h"

namespace {

using namespace bmptest;
using Bytes = std::vector<std::uint8_t>;
using MbBmp::RGB;

Bytes EncodeJpeg(const CControlBmp& bmp, int quality) {
    Bytes out(bmp.GetWidth() * bmp.GetHeight() * 4 + 65536);
    int size = 0;
    if (!bmp.CompressSaveJpeg(out.data(), static_cast<int>(out.size()), &size, quality)) return {};
    out.resize(size);
    return out;
}

std::string WriteTemp(const std::string& name, const Bytes& bytes) {
    const std::string path = testing::TempDir() + "bmp_" + name;
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// ---- JPEG -----------------------------------------------------------------------------------

TEST(BitmapJpeg, ColourPictureRoundTripsThroughOurEncoder) {
    for (int bits : {24, 32}) {
        const CControlBmp src = MakeGradient(37, 21, bits);
        const Bytes jpeg = EncodeJpeg(src, 95);
        ASSERT_GT(jpeg.size(), 100u);
        EXPECT_EQ(jpeg[0], 0xFF);
        EXPECT_EQ(jpeg[1], 0xD8);
        CControlBmp back;
        ASSERT_TRUE(back.LoadJpegData(jpeg.data(), static_cast<int>(jpeg.size()), false));
        EXPECT_EQ(back.GetBitCount(), 24);
        EXPECT_EQ(back.GetWidth(), 37);
        EXPECT_EQ(back.GetHeight(), 21);
        EXPECT_LE(MaxChannelDifference(back, src), 16);
        // Top stays top: the top-left corner is dark, the bottom-right bright.
        EXPECT_LT(MbBmp::GetRValue(back.GetPixelColor(0, 0)), 20);
        EXPECT_GT(MbBmp::GetGValue(back.GetPixelColor(36, 20)), 200);
    }
}

TEST(BitmapJpeg, GreyRampBitmapBecomesGreyJpegAndComesBackAsEightBits) {
    CControlBmp grey;
    ASSERT_TRUE(grey.CreateBitmap(16, 9, 8, 256, nullptr));
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 16; ++x)
            grey.SetPixelColor(x, y, static_cast<COLORREF>(x * 16 + y));
    }
    const Bytes jpeg = EncodeJpeg(grey, 100);
    ASSERT_FALSE(jpeg.empty());
    CControlBmp back;
    ASSERT_TRUE(back.LoadJpegData(jpeg.data(), static_cast<int>(jpeg.size()), false));
    EXPECT_EQ(back.GetBitCount(), 8);
    EXPECT_EQ(back.GetPalletNum(), 256);
    EXPECT_EQ(back.GetWidth(), 16);
    EXPECT_LE(MaxChannelDifference(back, grey), 4);
    CControlBmp display;
    ASSERT_TRUE(display.LoadJpegData(jpeg.data(), static_cast<int>(jpeg.size()), true));
    EXPECT_EQ(display.GetBitCount(), 24);
    EXPECT_LE(MaxChannelDifference(display, grey), 4);
}

TEST(BitmapJpeg, PaletteBitmapIsEncodedInColour) {
    CControlBmp src = MakePattern(8, 8, 8, 2);
    const Bytes jpeg = EncodeJpeg(src, 90);
    CControlBmp back;
    ASSERT_TRUE(back.LoadJpegData(jpeg.data(), static_cast<int>(jpeg.size()), false));
    EXPECT_EQ(back.GetBitCount(), 24);
}

TEST(BitmapJpeg, EncoderReportsTooSmallBufferAndEmptyBitmap) {
    const CControlBmp src = MakePattern(64, 64, 24);  // noise: does not compress
    Bytes out(200);
    int size = -1;
    EXPECT_FALSE(src.CompressSaveJpeg(out.data(), static_cast<int>(out.size()), &size, 75));
    EXPECT_EQ(size, -1);
    CControlBmp empty;
    EXPECT_FALSE(empty.CompressSaveJpeg(out.data(), 200, &size, 75));
    EXPECT_FALSE(src.CompressSaveJpeg(nullptr, 200, &size, 75));
    // Quality outside 1..100 is clamped, not refused.
    EXPECT_FALSE(EncodeJpeg(MakeGradient(8, 8, 24), 0).empty());
    EXPECT_FALSE(EncodeJpeg(MakeGradient(8, 8, 24), 1000).empty());
}

TEST(BitmapJpeg, TruncatedOrDamagedJpegIsRefusedAndLeavesTheBitmapAlone) {
    const Bytes jpeg = EncodeJpeg(MakeGradient(40, 40, 24), 80);
    const CControlBmp before = MakePattern(3, 3, 8, 4);
    const size_t cuts[] = {0, 1, 2, 10, 100, jpeg.size() / 2, jpeg.size() - 2};
    for (size_t n : cuts) {
        CControlBmp bmp = MakePattern(3, 3, 8, 4);
        EXPECT_FALSE(bmp.LoadJpegData(jpeg.data(), static_cast<int>(n), false)) << n;
        EXPECT_TRUE(SamePicture(bmp, before));
    }
    Bytes garbage(300, 0x41);
    CControlBmp bmp;
    EXPECT_FALSE(bmp.LoadJpegData(garbage.data(), static_cast<int>(garbage.size()), false));
    EXPECT_FALSE(bmp.LoadJpegData(nullptr, 10, false));
    EXPECT_TRUE(bmp.IsEmpty());
}

TEST(BitmapJpeg, OversizedJpegHeaderIsRefused) {
    Bytes jpeg = EncodeJpeg(MakeGradient(16, 16, 24), 80);
    // Find the SOF0 marker and claim 60000 x 60000 pixels.
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0xEA, jpeg[i + 6] = 0x60;
            jpeg[i + 7] = 0xEA, jpeg[i + 8] = 0x60;
            break;
        }
    }
    CControlBmp bmp;
    EXPECT_FALSE(bmp.LoadJpegData(jpeg.data(), static_cast<int>(jpeg.size()), false));
}

// ---- PNG ------------------------------------------------------------------------------------

TEST(BitmapPng, EveryDepthRoundTripsExactly) {
    const Shape shapes[] = {{5, 3, 8, 16}, {1, 1, 8, 256}, {6, 7, 24, 0}, {4, 2, 32, 0}};
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.bits);
        CControlBmp src = MakePattern(s.w, s.h, s.bits, s.bits == 8 ? s.pallet : 256);
        Bytes png;
        ASSERT_TRUE(src.SavePngData(png));
        CControlBmp back;
        ASSERT_TRUE(back.LoadPngData(png.data(), static_cast<int>(png.size()), false));
        EXPECT_TRUE(SamePicture(back, src));
        CControlBmp display;
        ASSERT_TRUE(display.LoadPngData(png.data(), static_cast<int>(png.size()), true));
        EXPECT_EQ(display.GetBitCount(), 24);
        if (s.bits != 32) {
            EXPECT_EQ(MaxChannelDifference(display, src), 0);
        }
    }
}

TEST(BitmapPng, TruncatedOrDamagedPngIsRefused) {
    Bytes png;
    ASSERT_TRUE(MakePattern(20, 20, 24).SavePngData(png));
    const CControlBmp before = MakePattern(2, 2, 32);
    for (size_t n : {size_t{0}, size_t{8}, size_t{30}, png.size() / 2, png.size() - 13}) {
        CControlBmp bmp = MakePattern(2, 2, 32);
        EXPECT_FALSE(bmp.LoadPngData(png.data(), static_cast<int>(n), false)) << n;
        EXPECT_TRUE(SamePicture(bmp, before));
    }
    Bytes damaged = png;
    damaged[40] ^= 0xFF;  // inside the header or image data: a checksum fails
    CControlBmp bmp;
    EXPECT_FALSE(bmp.LoadPngData(damaged.data(), static_cast<int>(damaged.size()), false));
}

// ---- BMP ------------------------------------------------------------------------------------

TEST(BitmapBmp, OurOwnBmpFilesOfEachDepthLoad) {
    const Shape shapes[] = {{5, 3, 8, 16}, {3, 3, 8, 256}, {6, 7, 24, 0}, {5, 2, 24, 0}, {4, 2, 32, 0}};
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.bits);
        CControlBmp src = MakePattern(s.w, s.h, s.bits, s.bits == 8 ? s.pallet : 256);
        Bytes bmpFile;
        ASSERT_TRUE(src.SaveBmpData(bmpFile));
        CControlBmp back;
        ASSERT_TRUE(back.LoadBmpData(bmpFile.data(), static_cast<int>(bmpFile.size()), false));
        EXPECT_TRUE(SamePicture(back, src));
        CControlBmp display;
        ASSERT_TRUE(display.LoadBmpData(bmpFile.data(), static_cast<int>(bmpFile.size()), true));
        EXPECT_EQ(display.GetBitCount(), 24);
        EXPECT_EQ(MaxChannelDifference(display, src), 0);
    }
}

// A BMP file written field by field, as other programs write them.
struct BmpBuilder {
    int headerSize = 40;
    int width = 2, height = 2, bits = 4;
    std::uint32_t compression = 0, colorsUsed = 2;
    Bytes pallet = {0, 0, 255, 0, 255, 0, 0, 0};    // red, blue
    Bytes pixels = {0x10, 0, 0, 0, 0x01, 0, 0, 0};  // bottom row: blue, red; top row: red, blue

    Bytes Build() const {
        Bytes out;
        auto u16 = [&](std::uint32_t v) {
            out.push_back(static_cast<std::uint8_t>(v));
            out.push_back(static_cast<std::uint8_t>(v >> 8));
        };
        auto u32 = [&](std::uint32_t v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        const std::uint32_t offset = 14 + headerSize + static_cast<std::uint32_t>(pallet.size());
        out.push_back('B');
        out.push_back('M');
        u32(offset + static_cast<std::uint32_t>(pixels.size()));
        u32(0);
        u32(offset);
        u32(static_cast<std::uint32_t>(headerSize));
        if (headerSize == 12) {
            u16(static_cast<std::uint32_t>(width));
            u16(static_cast<std::uint32_t>(height));
            u16(1);
            u16(static_cast<std::uint32_t>(bits));
        } else {
            u32(static_cast<std::uint32_t>(width));
            u32(static_cast<std::uint32_t>(height));
            u16(1);
            u16(static_cast<std::uint32_t>(bits));
            u32(compression);
            u32(0);
            u32(0);
            u32(0);
            u32(colorsUsed);
            u32(0);
            for (int i = 40; i < headerSize; ++i)
                out.push_back(0);
        }
        out.insert(out.end(), pallet.begin(), pallet.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

TEST(BitmapBmp, FourBitAndTopDownAndCoreHeaderFilesLoad) {
    BmpBuilder b;
    Bytes file = b.Build();
    CControlBmp bmp;
    ASSERT_TRUE(bmp.LoadBmpData(file.data(), static_cast<int>(file.size()), false));
    EXPECT_EQ(bmp.GetBitCount(), 8);
    EXPECT_EQ(bmp.GetPalletNum(), 2);
    EXPECT_EQ(bmp.GetPixelColor(0, 0), RGB(255, 0, 0));  // top row first pixel: index 0 = red
    EXPECT_EQ(bmp.GetPixelColor(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(bmp.GetPixelColor(0, 1), RGB(0, 0, 255));

    b.height = -2;  // rows stored top row first
    file = b.Build();
    ASSERT_TRUE(bmp.LoadBmpData(file.data(), static_cast<int>(file.size()), false));
    EXPECT_EQ(bmp.GetPixelColor(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(bmp.GetPixelColor(0, 1), RGB(255, 0, 0));

    BmpBuilder core;
    core.headerSize = 12;
    core.bits = 24;
    core.width = 1;
    core.height = 1;
    core.pallet = {};
    core.pixels = {1, 2, 3, 0};
    file = core.Build();
    ASSERT_TRUE(bmp.LoadBmpData(file.data(), static_cast<int>(file.size()), false));
    EXPECT_EQ(bmp.GetPixelColor(0, 0), RGB(3, 2, 1));

    BmpBuilder v5;
    v5.headerSize = 124;
    file = v5.Build();
    EXPECT_TRUE(bmp.LoadBmpData(file.data(), static_cast<int>(file.size()), false));
}

TEST(BitmapBmp, BadFilesAreRefusedAndLeaveTheBitmapAlone) {
    struct Case {
        const char* what;
        void (*spoil)(BmpBuilder&);
    };
    const Case cases[] = {
        {"zero width", [](BmpBuilder& b) { b.width = 0; }},
        {"negative width", [](BmpBuilder& b) { b.width = -2; }},
        {"zero height", [](BmpBuilder& b) { b.height = 0; }},
        {"huge height", [](BmpBuilder& b) { b.height = 1 << 30; }},
        {"most negative height", [](BmpBuilder& b) { b.height = INT32_MIN; }},
        {"rows beyond the file", [](BmpBuilder& b) { b.height = 3; }},
        {"run-length compression", [](BmpBuilder& b) { b.compression = 2; }},
        {"16 bits", [](BmpBuilder& b) { b.bits = 16; }},
        {"more colours than 4 bits hold", [](BmpBuilder& b) { b.colorsUsed = 17; }},
        {"palette beyond the file", [](BmpBuilder& b) { b.colorsUsed = 16, b.pixels.clear(); }},
        {"unknown header size", [](BmpBuilder& b) { b.headerSize = 44; }},
    };
    const CControlBmp before = MakePattern(3, 2, 24);
    for (const Case& c : cases) {
        BmpBuilder b;
        c.spoil(b);
        const Bytes file = b.Build();
        CControlBmp bmp = MakePattern(3, 2, 24);
        EXPECT_FALSE(bmp.LoadBmpData(file.data(), static_cast<int>(file.size()), false)) << c.what;
        EXPECT_TRUE(SamePicture(bmp, before)) << c.what;
    }
    Bytes good = BmpBuilder{}.Build();
    for (size_t n = 0; n < good.size(); ++n) {
        CControlBmp bmp;
        EXPECT_FALSE(bmp.LoadBmpData(good.data(), static_cast<int>(n), false)) << n;
    }
}

// ---- Files ----------------------------------------------------------------------------------

TEST(BitmapFiles, EachLoaderReadsItsFileAndLoadImageFileRecognisesTheFormat) {
    const CControlBmp src = MakeGradient(12, 10, 24);
    Bytes bmpBytes, pngBytes;
    ASSERT_TRUE(src.SaveBmpData(bmpBytes));
    ASSERT_TRUE(src.SavePngData(pngBytes));
    const Bytes jpegBytes = EncodeJpeg(src, 95);
    const std::string bmpPath = WriteTemp("a.bmp", bmpBytes);
    const std::string pngPath = WriteTemp("a.png", pngBytes);
    const std::string jpgPath = WriteTemp("a.jpg", jpegBytes);
    const std::string txtPath = WriteTemp("a.txt", Bytes{'h', 'e', 'l', 'l', 'o'});

    CControlBmp bmp;
    EXPECT_TRUE(bmp.LoadBmpFile(bmpPath.c_str(), true));
    EXPECT_TRUE(SamePicture(bmp, src));
    EXPECT_TRUE(bmp.LoadPngFile(pngPath.c_str(), true));
    EXPECT_TRUE(SamePicture(bmp, src));
    EXPECT_TRUE(bmp.LoadJpegFile(jpgPath.c_str(), true));
    EXPECT_LE(MaxChannelDifference(bmp, src), 16);

    for (const std::string& p : {bmpPath, pngPath, jpgPath}) {
        CControlBmp any;
        EXPECT_TRUE(any.LoadImageFile(p.c_str(), true)) << p;
        EXPECT_EQ(any.GetWidth(), 12);
    }
    // The wrong decoder, an unknown format and a missing file fail.
    EXPECT_FALSE(bmp.LoadJpegFile(pngPath.c_str(), true));
    EXPECT_FALSE(bmp.LoadPngFile(bmpPath.c_str(), true));
    EXPECT_FALSE(bmp.LoadBmpFile(jpgPath.c_str(), true));
    EXPECT_FALSE(bmp.LoadImageFile(txtPath.c_str(), true));
    EXPECT_FALSE(bmp.LoadImageFile((testing::TempDir() + "bmp_missing.png").c_str(), true));
    EXPECT_FALSE(bmp.LoadImageFile(nullptr, true));
    for (const std::string& p : {bmpPath, pngPath, jpgPath, txtPath})
        std::remove(p.c_str());
}

}  // namespace
