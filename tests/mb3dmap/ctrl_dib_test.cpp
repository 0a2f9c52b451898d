// DIB services: BMP files as packed DIBs, palettes and conversions with the bitmap object.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "mb3dmap/ctrl_dib.h"
#include "support/relief_test_util.h"

namespace rymd::test {
namespace {

using Mb3dMap::CCtrlDib;
using Mb3dMap::PackedDib;

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("relief_dib_") + name)).string();
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Bytes ReadFile(const std::string& path) {
    Bytes out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        out.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
    return out;
}

// A 3 x 2 bitmap with distinct pixels.
void Sample24(MbBmp::CControlBmp& bmp) {
    ASSERT_TRUE(bmp.CreateBitmap(3, 2, 24));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bmp.SetPixelColor(x, y, MbBmp::RGB(10 * x + 1, 20 * y + 2, 30 + x + y));
}

TEST(CtrlDib, BitmapToDibToFileAndBack) {
    CCtrlDib dib;
    MbBmp::CControlBmp bmp;
    Sample24(bmp);
    const PackedDib packed = dib.DibFromBitmap(bmp.GetHbmp(), Mb3dMap::BI_RGB, 0, nullptr);
    ASSERT_EQ(packed.size(), 40u + 2 * 12);
    Mb3dMap::BITMAPINFOHEADER bi;
    ASSERT_TRUE(dib.DibInfo(packed, &bi));
    EXPECT_EQ(bi.biWidth, 3);
    EXPECT_EQ(bi.biHeight, 2);
    EXPECT_EQ(bi.biBitCount, 24);
    EXPECT_EQ(bi.biSizeImage, 24u);

    const std::string path = TempPath("a.bmp");
    ASSERT_TRUE(dib.WriteDIB(path.c_str(), packed));
    const Bytes file = ReadFile(path);
    ASSERT_EQ(file.size(), packed.size() + 14);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[2], packed.size() + 14);  // size
    EXPECT_EQ(file[10], 54);                 // bits offset
    EXPECT_EQ(dib.OpenDIB(path.c_str()), packed);

    MbBmp::CControlBmp back;
    ASSERT_TRUE(dib.BitmapFromDib(packed, nullptr, back));
    EXPECT_EQ(back.GetBitCount(), 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(back.GetPixelColor(x, y), bmp.GetPixelColor(x, y));
    // The bitmap library reads the file the same way.
    MbBmp::CControlBmp viaLib;
    ASSERT_TRUE(viaLib.LoadBmpFile(path.c_str(), false));
    EXPECT_EQ(viaLib.GetPixelColor(2, 1), bmp.GetPixelColor(2, 1));
    std::filesystem::remove(path);
}

TEST(CtrlDib, EightBitDibsKeepTheirPalette) {
    CCtrlDib dib;
    MbBmp::CControlBmp bmp;
    Sample24(bmp);
    const Mb3dMap::DibPalette pal = {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 255, 0}};
    const PackedDib packed = dib.DibFromBitmap(bmp.GetHbmp(), Mb3dMap::BI_RGB, 8, &pal);
    ASSERT_FALSE(packed.empty());
    EXPECT_EQ(CCtrlDib::DibNumColors(packed.data()), 3);
    EXPECT_EQ(CCtrlDib::PaletteSize(packed.data()), 12);
    const Mb3dMap::DibPalette got = dib.CreateDibPalette(packed);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2].rgbRed, 255);
    MbBmp::CControlBmp back;
    ASSERT_TRUE(dib.BitmapFromDib(packed, nullptr, back));
    EXPECT_EQ(back.GetBitCount(), 8);
    EXPECT_EQ(back.GetPalletNum(), 3);
}

TEST(CtrlDib, ReadsCoreHeadersAndFilesWithoutFileHeader) {
    // A 2 x 1 four-bit core DIB: header 12, 16 three-byte colours, one row of 4 bytes.
    Bytes core = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 4, 0};
    for (int i = 0; i < 16; ++i) {
        core.push_back(static_cast<std::uint8_t>(i));      // blue
        core.push_back(static_cast<std::uint8_t>(i * 2));  // green
        core.push_back(static_cast<std::uint8_t>(i * 3));  // red
    }
    core.insert(core.end(), {0x5A, 0, 0, 0});
    const std::string path = TempPath("core.dib");
    WriteFile(path, core);
    CCtrlDib dib;
    const PackedDib packed = dib.OpenDIB(path.c_str());
    ASSERT_EQ(packed.size(), 40u + 16 * 4 + 4);
    Mb3dMap::BITMAPINFOHEADER bi;
    ASSERT_TRUE(dib.DibInfo(packed, &bi));
    EXPECT_EQ(bi.biSize, 40u);
    EXPECT_EQ(bi.biBitCount, 4);
    EXPECT_EQ(bi.biClrUsed, 16u);
    MbBmp::CControlBmp bmp;
    ASSERT_TRUE(dib.BitmapFromDib(packed, nullptr, bmp));
    EXPECT_EQ(bmp.GetPixelIndex(0, 0), 5);
    EXPECT_EQ(bmp.GetPixelIndex(1, 0), 10);
    EXPECT_EQ(bmp.GetPixelColor(1, 0), MbBmp::RGB(30, 20, 10));
    std::filesystem::remove(path);
}

TEST(CtrlDib, PaletteOfATrueColourDibSteps) {
    Bytes info(40, 0);
    info[0] = 40;
    info[14] = 24;
    CCtrlDib dib;
    const auto pal = dib.CreateBIPalette(info.data(), info.size());
    ASSERT_EQ(pal.size(), 256u);
    EXPECT_EQ(pal[1].rgbRed, 32);
    EXPECT_EQ(pal[8].rgbRed, 0);
    EXPECT_EQ(pal[8].rgbGreen, 32);
    EXPECT_EQ(pal[64].rgbBlue, 64);
    EXPECT_EQ(pal[255].rgbRed, 224);
    EXPECT_EQ(pal[255].rgbGreen, 224);
    EXPECT_EQ(pal[255].rgbBlue, 192);
    info[0] = 12;
    EXPECT_TRUE(dib.CreateBIPalette(info.data(), info.size()).empty());
}

TEST(CtrlDib, BadFilesAndArgumentsGiveNothing) {
    CCtrlDib dib;
    EXPECT_TRUE(dib.OpenDIB("/nonexistent/x.bmp").empty());
    EXPECT_FALSE(dib.WriteDIB(TempPath("none.bmp").c_str(), PackedDib{}));
    Mb3dMap::BITMAPINFOHEADER bi;
    EXPECT_FALSE(dib.DibInfo(PackedDib{}, &bi));
    EXPECT_TRUE(dib.DibFromBitmap(nullptr, Mb3dMap::BI_RGB, 24, nullptr).empty());
    MbBmp::CControlBmp bmp;
    Sample24(bmp);
    EXPECT_TRUE(dib.DibFromBitmap(bmp.GetHbmp(), 1, 24, nullptr).empty());  // compressed: not here
    EXPECT_TRUE(dib.DibFromBitmap(bmp.GetHbmp(), Mb3dMap::BI_RGB, 16, nullptr).empty());

    const std::vector<Bytes> bad = {
        {},
        {'B', 'M', 0, 0},
        {50, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0},  // odd header size
        {40, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // huge width
         0,  0, 0, 0, 0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0,  0},
        {40, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // bits cut off
         0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 1, 2, 3},
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string path = TempPath("bad.bmp");
        WriteFile(path, bad[i]);
        EXPECT_TRUE(dib.OpenDIB(path.c_str()).empty()) << i;
        std::filesystem::remove(path);
    }
    // A DIB whose rows are shorter than its header says is refused.
    PackedDib shortDib = dib.DibFromBitmap(bmp.GetHbmp(), Mb3dMap::BI_RGB, 24, nullptr);
    shortDib.resize(shortDib.size() - 1);
    MbBmp::CControlBmp out;
    EXPECT_FALSE(dib.BitmapFromDib(shortDib, nullptr, out));
}

TEST(CtrlDib, ChunkedReadAndWrite) {
    const std::string path = TempPath("pieces.bin");
    Bytes data(70000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 13);
    CCtrlDib dib;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(dib.lwrite(f, data.data(), 70000), 70000u);
    std::fclose(f);
    Bytes back(70000);
    f = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(dib.lread(f, back.data(), 70000), 70000u);
    EXPECT_EQ(back, data);
    EXPECT_EQ(dib.lread(f, back.data(), 1), 0u);  // nothing left
    std::fclose(f);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace rymd::test
