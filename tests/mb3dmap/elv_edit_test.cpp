// Editing the relief map: stand-alone elevation files, the JPEG export, replacing, growing and
// cutting the raster, the transforms, the overlay picture and whole-view drawing; pictures of a
// fixture map before and after each transform go to the gallery.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>

#include "platform/core/file.h"
#include "support/relief_test_util.h"

namespace rymd::test {
namespace {

using Mb3dMap::CCtrlElvMap;
using Mb3dMap::ElvLoadError;

// Every sample of the raster, guard column and row included.
std::vector<std::uint16_t> Raster(const CCtrlElvMap& map) {
    std::vector<std::uint16_t> out;
    for (int y = 0; y < map.GetRasterHeight(); ++y)
        for (int x = 0; x < map.GetRasterWidth(); ++x)
            out.push_back(static_cast<std::uint16_t>(map.GetElevation(x, y)));
    return out;
}

// The guards are copies of their neighbours and the sizes agree.
void ExpectConsistent(const CCtrlElvMap& map) {
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    ASSERT_EQ(map.GetRasterWidth(), w + 1);
    ASSERT_EQ(map.GetRasterHeight(), h + 1);
    EXPECT_EQ(map.GetRasterRowLength(), 2 * (w + 1));
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(map.GetElevation(w, y), map.GetElevation(w - 1, y)) << "guard column, row " << y;
    for (int x = 0; x <= w; ++x)
        EXPECT_EQ(map.GetElevation(x, h), map.GetElevation(x, h - 1)) << "guard row, column " << x;
}

// A map whose sample (x, y) is 100 x y + x + 1 (all land, every sample different).
void Numbered(CCtrlElvMap& map, int w, int h) {
    std::vector<std::uint16_t> v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            v.push_back(static_cast<std::uint16_t>(100 * y + x + 1));
    SetSamples(map, w, h, v);
}

// The fixture of the gallery: an island with two peaks, a bay and a small islet.
void Island(CCtrlElvMap& map) {
    const int w = 64, h = 48;
    std::vector<std::uint16_t> v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double a = std::hypot((x - 24) / 18.0, (y - 22) / 14.0);
            const double peak1 = 2600 * std::exp(-std::pow(std::hypot(x - 20, y - 18) / 6.0, 2));
            const double peak2 = 1800 * std::exp(-std::pow(std::hypot(x - 32, y - 28) / 5.0, 2));
            const bool bay = std::hypot(x - 38, y - 14) < 6;
            const bool islet = std::hypot(x - 52, y - 38) < 4;
            double e = 0;
            if (a < 1 && !bay) e = 40 + 300 * (1 - a) + peak1 + peak2;
            if (islet) e = 120;
            v.push_back(static_cast<std::uint16_t>(e));
        }
    SetSamples(map, w, h, v);
}

// ---- Stand-alone files and the JPEG export --------------------------------------------------------

std::string ElvTempPath(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "rymd_elv_edit_test";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

TEST(ElvEdit, SavedJpegReliefLoadsBackWithinTheQualitysError) {
    struct Case {
        int quality;
        int maxError;  // in grey levels of the picture
    };
    for (const Case c : {Case{100, 2}, Case{75, 16}}) {
        CCtrlElvMap map;
        Island(map);
        ArchiveWriter ar;
        ASSERT_TRUE(map.Save3djFile(ar, c.quality));
        const Bytes bytes = ar.Take();
        int top = 0;
        for (std::uint16_t s : Samples(map))
            top = std::max<int>(top, s);
        ASSERT_GE(bytes.size(), 12u);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 6), ElvHead(3, 64, 48));
        EXPECT_EQ(bytes[6] | bytes[7] << 8, top);

        CCtrlElvMap back;
        ArchiveReader rd(bytes);
        ASSERT_TRUE(back.Serialize(rd));
        EXPECT_TRUE(rd.AtEnd());
        ASSERT_EQ(back.GetMapWidth(), 64);
        ASSERT_EQ(back.GetMapHeight(), 48);
        ExpectConsistent(back);
        const std::vector<std::uint16_t> a = Samples(map), b = Samples(back);
        int worst = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const int grey = a[i] * 256 / (top + 1);
            worst = std::max(worst, std::abs(b[i] * 255 / top - grey));
        }
        EXPECT_LE(worst, c.maxError) << "quality " << c.quality;
        EXPECT_GT(back.GetCompressedDataSize(), 0);  // the JPEG form is kept for storing
    }
}

TEST(ElvEdit, SaveWithLargestSampleZeroWritesBlackAndMaximumZero) {
    CCtrlElvMap map;
    map.CreateNewMap(9, 5);
    ArchiveWriter ar;
    ASSERT_TRUE(map.Save3djFile(ar, 80));
    const Bytes bytes = ar.Take();
    EXPECT_EQ(bytes[6] | bytes[7] << 8, 0);
    MbBmp::CControlBmp picture;
    ASSERT_TRUE(picture.LoadJpegData(bytes.data() + 12, static_cast<int>(bytes.size() - 12), false));
    ASSERT_EQ(picture.GetBitCount(), 8);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(picture.GetPalletPtr()[picture.GetLinePtr(y)[x]].rgbGreen, 0);
    CCtrlElvMap back;
    ASSERT_TRUE(Load(back, bytes));
    EXPECT_EQ(Samples(back), std::vector<std::uint16_t>(45, 0));
}

TEST(ElvEdit, SaveWithoutRasterWritesNothing) {
    CCtrlElvMap map;
    ArchiveWriter ar;
    EXPECT_FALSE(map.Save3djFile(ar, 80));
    EXPECT_EQ(ar.Size(), 0u);
    const std::string path = ElvTempPath("none.elv");
    std::filesystem::remove(path);
    EXPECT_FALSE(map.Save3djFile(path, 80));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ElvEdit, EveryTruncationOfASavedFileIsRefusedWithNothingChanged) {
    CCtrlElvMap source;
    Island(source);
    source.ClipArea(10, 8, 20, 16);
    const std::string path = ElvTempPath("island.elv");
    ASSERT_TRUE(source.Save3djFile(path, 60));
    Bytes whole;
    ASSERT_TRUE(ReadFileBytes(path, whole));

    CCtrlElvMap map;
    Numbered(map, 5, 4);
    const Bytes before = Store(map);
    const std::string cut = ElvTempPath("cut.elv");
    for (std::size_t n = 0; n < whole.size(); ++n) {
        ElvLoadError error = ElvLoadError::kNone;
        ASSERT_FALSE(Load(map, Bytes(whole.begin(), whole.begin() + static_cast<long>(n)), &error)) << n;
        EXPECT_NE(error, ElvLoadError::kNone);
        ASSERT_EQ(Store(map), before) << n << " bytes";
        if (n % 7 != 0 && n + 1 != whole.size()) continue;  // through a file: every seventh
        {
            std::ofstream out(cut, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(whole.data()), static_cast<std::streamsize>(n));
        }
        ASSERT_FALSE(map.LoadElevationFile(cut, &error)) << n << " bytes";
        EXPECT_STREQ(Mb3dMap::ElvLoadErrorMessage(error), "標高データファイル(.elv)の内容が異常です") << n;
        ASSERT_EQ(Store(map), before) << n << " bytes";
    }
    ElvLoadError error = ElvLoadError::kBadCode;
    ASSERT_TRUE(map.LoadElevationFile(path, &error));
    EXPECT_EQ(error, ElvLoadError::kNone);
    EXPECT_EQ(map.GetMapWidth(), 20);
    EXPECT_EQ(map.GetMapHeight(), 16);
}

TEST(ElvEdit, AMissingFileIsRefusedWithoutMessage) {
    CCtrlElvMap map;
    Numbered(map, 3, 3);
    const Bytes before = Store(map);
    ElvLoadError error = ElvLoadError::kNone;
    EXPECT_FALSE(map.LoadElevationFile(ElvTempPath("no such file.elv"), &error));
    EXPECT_EQ(error, ElvLoadError::kCannotOpen);
    EXPECT_STREQ(Mb3dMap::ElvLoadErrorMessage(error), "");
    EXPECT_EQ(Store(map), before);
}

TEST(ElvEdit, ACodingTwoFileLoadsLikeTheStream) {
    CCtrlElvMap source;
    Island(source);
    const std::string path = ElvTempPath("coding2.elv");
    ASSERT_TRUE(WriteFileAtomic(path, Store(source)));
    CCtrlElvMap map;
    ASSERT_TRUE(map.LoadElevationFile(path));
    EXPECT_EQ(Raster(map), Raster(source));
}

// ---- Replacing, growing and cutting ---------------------------------------------------------------

TEST(ElvEdit, SetElevationDataCopiesRowsAndFillsTheGuards) {
    CCtrlElvMap map;
    const std::vector<std::uint16_t> v = {1, 2, 3, 4, 5, 60000};
    ASSERT_TRUE(map.SetElevationData(3, 2, v.data()));
    EXPECT_EQ(Raster(map), (std::vector<std::uint16_t>{1, 2, 3, 3, 4, 5, 60000, 60000, 4, 5, 60000, 60000}));
    EXPECT_FALSE(map.SetElevationData(0, 2, v.data()));
    EXPECT_FALSE(map.SetElevationData(3, 2, nullptr));
    EXPECT_EQ(map.GetMapWidth(), 3);
}

TEST(ElvEdit, CopyElevationDataToNewBufferKeepsTheSamples) {
    CCtrlElvMap map;
    Numbered(map, 4, 3);
    const std::vector<std::uint16_t> before = Raster(map);
    CCtrlElvMap copy = map;
    copy.CopyElevationDataToNewBuffer();
    copy.GetElevationData()[0] = 999;
    EXPECT_EQ(Raster(map), before);
    EXPECT_EQ(copy.GetElevation(0, 0), 999);
}

TEST(ElvEdit, GrownCanvasKeepsTheReliefTopLeftWithSeaElsewhere) {
    CCtrlElvMap map;
    Numbered(map, 4, 3);
    const std::vector<std::uint16_t> before = Raster(map);
    ASSERT_TRUE(map.ChangeCanvasSize(7, 5));
    ExpectConsistent(map);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(map.GetElevation(x, y), x < 4 && y < 3 ? 100 * y + x + 1 : 0) << x << "," << y;
    // Cut back to the old size: the original map again.
    map.ClipArea(0, 0, 4, 3);
    EXPECT_EQ(Raster(map), before);
}

TEST(ElvEdit, ChangeCanvasSizeShrinksAndRefusesImpossibleSizes) {
    CCtrlElvMap map;
    Numbered(map, 4, 3);
    ASSERT_TRUE(map.ChangeCanvasSize(2, 5));
    ExpectConsistent(map);
    EXPECT_EQ(Samples(map), (std::vector<std::uint16_t>{1, 2, 101, 102, 201, 202, 0, 0, 0, 0}));
    const Bytes before = Store(map);
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{0, 3}, {3, -1}, {40000, 2}, {30000, 30000}}) {
        EXPECT_FALSE(map.ChangeCanvasSize(w, h)) << w << "x" << h;
        EXPECT_EQ(Store(map), before);
    }
}

TEST(ElvEdit, ClipAreaKeepsTheRectangleCutToTheMap) {
    struct Case {
        const char* name;
        int x, y, w, h;
        int left, top, width, height;  // what is kept
    };
    const std::vector<Case> cases = {
        {"negative corner counts as 0, the size stays", -5, -5, 10, 10, 0, 0, 10, 10},
        {"inside", 3, 2, 4, 5, 3, 2, 4, 5},
        {"cut to the right and bottom", 15, 9, 100, 100, 15, 9, 5, 3},
        {"outside: the whole map", 25, 0, 5, 5, 0, 0, 20, 12},
        {"no width: the whole map", 2, 3, 0, 4, 0, 0, 20, 12},
        {"negative height: the whole map", 2, 3, 4, -1, 0, 0, 20, 12},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        Numbered(map, 20, 12);
        map.ClipArea(c.x, c.y, c.w, c.h);
        ASSERT_EQ(map.GetMapWidth(), c.width) << c.name;
        ASSERT_EQ(map.GetMapHeight(), c.height) << c.name;
        ExpectConsistent(map);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                ASSERT_EQ(map.GetElevation(x, y), 100 * (y + c.top) + x + c.left + 1) << c.name;
    }
}

TEST(ElvEdit, EditingDropsTheKeptJpegForm) {
    const std::vector<std::function<void(CCtrlElvMap&)>> edits = {
        [](CCtrlElvMap& m) { m.ChangeCanvasSize(70, 48); },
        [](CCtrlElvMap& m) { m.ClipArea(0, 0, 30, 30); },
        [](CCtrlElvMap& m) { m.TransSink(10, 0, 0, 64, 48, true, true); },
        [](CCtrlElvMap& m) { m.TransSize(32, 24, true); },
        [](CCtrlElvMap& m) { m.TransRotate(90, true); },
        [](CCtrlElvMap& m) { m.TransBarrel(0, 0, 20, true); },
        [](CCtrlElvMap& m) { m.TransSector(180, 20, true); },
    };
    CCtrlElvMap source;
    Island(source);
    ArchiveWriter ar;
    ASSERT_TRUE(source.Save3djFile(ar, 90));
    const Bytes jpeg = ar.Take();
    for (std::size_t i = 0; i < edits.size(); ++i) {
        CCtrlElvMap map;
        map.SetSaveType(1);
        ASSERT_TRUE(Load(map, jpeg));
        ASSERT_GT(map.GetCompressedDataSize(), 0);
        edits[i](map);
        EXPECT_EQ(map.GetCompressedDataSize(), 0) << "edit " << i;
        // Stored as coding 2: the samples as they are now.
        CCtrlElvMap back;
        ASSERT_TRUE(Load(back, Store(map)));
        EXPECT_EQ(Raster(back), Raster(map)) << "edit " << i;
    }
}

// ---- Transforms ------------------------------------------------------------------------------------

TEST(ElvEdit, TransSinkLowersLandOnly) {
    struct Case {
        const char* name;
        int amount;
        bool keepLand;
        std::vector<std::uint16_t> expected;  // of 0, 50, 300, 65000
    };
    const std::vector<Case> cases = {
        {"keeping land", 100, true, {0, 1, 200, 64900}},
        {"land may become sea", 100, false, {0, 0, 200, 64900}},
        {"a negative amount raises land", -1000, false, {0, 1050, 1300, 65535}},
        {"nothing", 0, false, {0, 50, 300, 65000}},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        SetSamples(map, 4, 1, {0, 50, 300, 65000});
        map.TransSink(c.amount, 0, 0, 4, 1, c.keepLand, true);
        EXPECT_EQ(Samples(map), c.expected) << c.name;
        ExpectConsistent(map);
    }
    // Only the rectangle (cut to the map) sinks.
    CCtrlElvMap map;
    SetSamples(map, 3, 3, std::vector<std::uint16_t>(9, 500));
    map.TransSink(100, -1, 1, 3, 5, true, false);
    EXPECT_EQ(Samples(map), (std::vector<std::uint16_t>{500, 500, 500, 400, 400, 500, 400, 400, 500}));
}

TEST(ElvEdit, QuarterTurnsAreExactIndexRotations) {
    struct Case {
        int degrees;
        int w, h;
        std::vector<std::uint16_t> samples;
    };
    // The source: 1 2 3 / 4 5 6 (3 x 2). Turns are counter-clockwise on the screen.
    const std::vector<Case> cases = {
        {0, 3, 2, {1, 2, 3, 4, 5, 6}},    {90, 2, 3, {3, 6, 2, 5, 1, 4}},  {180, 3, 2, {6, 5, 4, 3, 2, 1}},
        {270, 2, 3, {4, 1, 5, 2, 6, 3}},  {-90, 2, 3, {4, 1, 5, 2, 6, 3}}, {450, 2, 3, {3, 6, 2, 5, 1, 4}},
        {-360, 3, 2, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        SetSamples(map, 3, 2, {1, 2, 3, 4, 5, 6});
        ASSERT_TRUE(map.TransRotate(c.degrees, true));
        EXPECT_EQ(map.GetMapWidth(), c.w) << c.degrees;
        EXPECT_EQ(map.GetMapHeight(), c.h) << c.degrees;
        EXPECT_EQ(Samples(map), c.samples) << c.degrees;
        ExpectConsistent(map);
    }
}

TEST(ElvEdit, FourQuarterTurnsGiveTheOriginalAndMinus90Equals270) {
    Random rnd(17);
    CCtrlElvMap map;
    SetSamples(map, 13, 7, RandomRaster(rnd, 13, 7));
    const std::vector<std::uint16_t> before = Raster(map);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(map.TransRotate(90, true));
    EXPECT_EQ(Raster(map), before);

    for (int degrees : {90, 37, 200}) {
        CCtrlElvMap a = map, b = map;
        ASSERT_TRUE(a.TransRotate(-degrees, true));
        ASSERT_TRUE(b.TransRotate(360 - degrees, true));
        EXPECT_EQ(Raster(a), Raster(b)) << degrees;
    }
}

TEST(ElvEdit, OtherAnglesGrowToTheTurnedBoxAndAverageNearbySamples) {
    CCtrlElvMap map;
    SetSamples(map, 40, 20, std::vector<std::uint16_t>(800, 700));
    ASSERT_TRUE(map.TransRotate(30, true));
    const double t = 30 * 0.017453292522222223;
    EXPECT_EQ(map.GetMapWidth(), static_cast<int>(std::ceil(40 * std::cos(t) + 20 * std::sin(t))));
    EXPECT_EQ(map.GetMapHeight(), static_cast<int>(std::ceil(40 * std::sin(t) + 20 * std::cos(t))));
    ExpectConsistent(map);
    // The middle is the flat land, the corners of the box are outside the source: sea.
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    EXPECT_EQ(map.GetElevation(w / 2, h / 2), 700);
    EXPECT_EQ(map.GetElevation(0, 0), 0);
    EXPECT_EQ(map.GetElevation(w - 1, h - 1), 0);
    // Counter-clockwise: the source's top-right corner (land) turns up toward the top edge.
    int topLand = -1;
    for (int y = 0; y < h && topLand < 0; ++y)
        for (int x = 0; x < w && topLand < 0; ++x)
            if (map.GetElevation(x, y) != 0) topLand = x;
    EXPECT_GT(topLand, w / 2);

    // A single peak stays a peak, spread over its neighbours, at the turned place.
    CCtrlElvMap peak;
    std::vector<std::uint16_t> v(21 * 21, 0);
    v[10 * 21 + 10] = 1000;
    SetSamples(peak, 21, 21, v);
    ASSERT_TRUE(peak.TransRotate(45, true));
    const int c = peak.GetMapWidth() / 2;
    EXPECT_GT(peak.GetElevation(c, c), 0);
    EXPECT_LT(peak.GetElevation(c, c), 1000);
    EXPECT_EQ(peak.GetElevation(c + 4, c), 0);
}

TEST(ElvEdit, TransSizeAveragesTheCoveredArea) {
    struct Case {
        const char* name;
        int w, h;
        std::vector<std::uint16_t> samples;
        int nw, nh;
        std::vector<std::uint16_t> expected;
    };
    const std::vector<Case> cases = {
        {"the same size is a copy", 3, 2, {1, 2, 3, 4, 5, 60000}, 3, 2, {1, 2, 3, 4, 5, 60000}},
        {"halved: means of 2 x 2", 4, 2, {0, 100, 10, 30, 200, 300, 50, 70}, 2, 1, {150, 40}},
        {"doubled: each sample four times", 2, 1, {7, 9}, 4, 2, {7, 7, 9, 9, 7, 7, 9, 9}},
        {"three into two: area weights", 3, 1, {0, 30, 60}, 2, 1, {10, 50}},
        {"rounded to nearest", 2, 1, {0, 1}, 1, 1, {1}},
        {"rows only", 1, 3, {0, 30, 60}, 1, 2, {10, 50}},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        SetSamples(map, c.w, c.h, c.samples);
        ASSERT_TRUE(map.TransSize(c.nw, c.nh, true)) << c.name;
        EXPECT_EQ(map.GetMapWidth(), c.nw) << c.name;
        EXPECT_EQ(map.GetMapHeight(), c.nh) << c.name;
        EXPECT_EQ(Samples(map), c.expected) << c.name;
        ExpectConsistent(map);
    }
    CCtrlElvMap map;
    Numbered(map, 3, 3);
    const Bytes before = Store(map);
    EXPECT_FALSE(map.TransSize(0, 3, true));
    EXPECT_FALSE(map.TransSize(5000, 5000, true));
    EXPECT_EQ(Store(map), before);
    CCtrlElvMap empty;
    EXPECT_FALSE(empty.TransSize(3, 3, true));
}

TEST(ElvEdit, TransBarrelSqueezesRowsAboutTheMiddle) {
    Random rnd(5);
    CCtrlElvMap map;
    SetSamples(map, 12, 6, RandomRaster(rnd, 12, 6));
    const std::vector<std::uint16_t> before = Raster(map);
    // Half width 6 on every row: the map as it was.
    CCtrlElvMap same = map;
    ASSERT_TRUE(same.TransBarrel(0, 0, 6, true));
    EXPECT_EQ(Raster(same), before);
    // A half width beyond the map counts as the map's half width.
    ASSERT_TRUE(same.TransBarrel(0, 0, -50, true));
    EXPECT_EQ(Raster(same), before);

    // Half width 3: a row of 0..11 x 10 pairs up into the middle six samples.
    CCtrlElvMap row;
    std::vector<std::uint16_t> v;
    for (int x = 0; x < 12; ++x)
        v.push_back(static_cast<std::uint16_t>(10 * x + 10));
    SetSamples(row, 12, 1, v);
    ASSERT_TRUE(row.TransBarrel(0, 0, 3, true));
    EXPECT_EQ(Samples(row), (std::vector<std::uint16_t>{0, 0, 0, 15, 35, 55, 75, 95, 115, 0, 0, 0}));

    // t = r - height / 2 with a = 1: the middle row keeps c, the others widen.
    CCtrlElvMap rows;
    SetSamples(rows, 12, 4, std::vector<std::uint16_t>(48, 400));
    ASSERT_TRUE(rows.TransBarrel(1, 0, 1, true));
    const std::vector<std::uint16_t> s = Samples(rows);
    auto landIn = [&](int r) {
        int n = 0;
        for (int x = 0; x < 12; ++x)
            n += s[r * 12 + x] != 0;
        return n;
    };
    EXPECT_EQ(landIn(2), 2);   // t = 0: half width 1
    EXPECT_EQ(landIn(1), 4);   // t = -1: half width 2
    EXPECT_EQ(landIn(0), 10);  // t = -2: half width 5
    EXPECT_EQ(landIn(3), 4);

    EXPECT_FALSE(map.TransBarrel(std::nan(""), 0, 1, true));
    EXPECT_EQ(Raster(map), before);
}

TEST(ElvEdit, TransSectorBendsTheMapIntoARing) {
    CCtrlElvMap map;
    SetSamples(map, 60, 10, std::vector<std::uint16_t>(600, 500));
    // Half a ring: R = 60 x 2 / 6.28318 = 19.1, inner radius 9.55 (R - inner <= 10 already).
    ASSERT_TRUE(map.TransSector(180, 50, true));
    ExpectConsistent(map);
    const double outer = 60 * 360.0 / 180 / 6.28318;
    EXPECT_EQ(map.GetMapWidth(), static_cast<int>(std::ceil(outer) - std::floor(-outer)));
    EXPECT_EQ(map.GetMapHeight(), static_cast<int>(std::ceil(outer)));
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    // The ring is land, its middle and the corners outside the outer arc are sea.
    EXPECT_EQ(map.GetElevation(w / 2, 2), 500);    // top of the ring
    EXPECT_EQ(map.GetElevation(w / 2, h - 3), 0);  // inside the inner radius
    EXPECT_EQ(map.GetElevation(0, 0), 0);          // outside the outer arc
    EXPECT_EQ(map.GetElevation(1, h - 1), 500);    // the left end of the ring

    // A thin full ring is scaled down to the map's height.
    CCtrlElvMap ring;
    SetSamples(ring, 100, 5, std::vector<std::uint16_t>(500, 300));
    ASSERT_TRUE(ring.TransSector(360, 0, true));
    EXPECT_EQ(ring.GetMapWidth(), 10);
    EXPECT_EQ(ring.GetMapHeight(), 10);
    EXPECT_EQ(ring.GetElevation(5, 5), 300);

    const Bytes before = Store(map);
    for (const auto& [angle, inner] : std::vector<std::pair<double, double>>{
             {0, 10}, {-30, 10}, {361, 10}, {90, 100}, {90, -1}, {std::nan(""), 0}}) {
        EXPECT_FALSE(map.TransSector(angle, inner, true)) << angle << " " << inner;
        EXPECT_EQ(Store(map), before);
    }
}

// Angles and inner radii whose sector cannot be drawn are refused with the map left as it was:
// a radius that overflows or an outer radius too far out to tell the samples apart.
TEST(ElvEdit, TransSectorRefusesSectorsThatDoNotFit) {
    struct Case {
        int w, h;
        double angle, inner;
    };
    const Case cases[] = {
        {32767, 1, 1e-300, 99.999999},      // the inner radius overflows
        {32767, 1, 4.9e-324, 0},            // the outer radius overflows
        {100, 1, 1e-6, 99.99999999999999},  // an outer radius of 1e16 samples
        {32767, 1, 0.0001, 99.99999999},    // an outer radius of 1e10 samples
        {60, 10, std::numeric_limits<double>::infinity(), 10},
        {60, 10, 90, -std::numeric_limits<double>::infinity()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " " + std::to_string(c.angle) + " " +
                     std::to_string(c.inner));
        CCtrlElvMap map;
        SetSamples(map, c.w, c.h, std::vector<std::uint16_t>(static_cast<std::size_t>(c.w) * c.h, 400));
        const Bytes before = Store(map);
        EXPECT_FALSE(map.TransSector(c.angle, c.inner, true));
        EXPECT_EQ(Store(map), before);
    }
    // A tiny angle with a thin ring still fits when its radii do: the ring is scaled to the height.
    CCtrlElvMap thin;
    SetSamples(thin, 100, 1, std::vector<std::uint16_t>(100, 400));
    EXPECT_TRUE(thin.TransSector(1e-3, 99.9, true));
    ExpectConsistent(thin);
}

// ---- Overlay picture and whole-view drawing --------------------------------------------------------

MbBmp::CControlBmp OverlayPicture(int w, int h) {
    MbBmp::CControlBmp bmp;
    bmp.CreateBitmap(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = bmp.GetLinePtr(y) + x * 3;
            p[0] = static_cast<std::uint8_t>(40 * x + 1);
            p[1] = static_cast<std::uint8_t>(40 * y + 1);
            p[2] = 201;
        }
    return bmp;
}

TEST(ElvEdit, OverlayIsStretchedWithTheViewAndAveragedIn) {
    CCtrlElvMap map;
    map.CreateNewMap(6, 4);
    const MbBmp::CControlBmp picture = OverlayPicture(3, 2);
    map.SetOverlapBitmap(picture.GetHbmp(), 7, 8);
    EXPECT_EQ(map.GetOverlayWidth(), 3);
    EXPECT_EQ(map.GetOverlayHeight(), 2);
    EXPECT_EQ(map.GetOverlayValues(), (std::array<int, 2>{7, 8}));
    EXPECT_EQ(map.GetOverlayPixels()[(1 * 3 + 2) * 4], 81);  // pixel (2, 1), top row first

    // Twice magnified: the picture covers 6 x 4 display pixels from the view's top-left.
    map.StretchElevationData(0, 0, 6, 4, 12, 8);
    EXPECT_EQ(map.GetStretchedOverlayWidth(), 6);
    EXPECT_EQ(map.GetStretchedOverlayHeight(), 4);
    MbBmp::CControlBmp& target = *map.GetTargetBmp();
    target.FillRect(0, 0, 12, 8, 0x646464);  // grey 100
    map.OverlapPictureOnBitmapBuffer();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const std::uint8_t* p = target.GetLinePtr(y) + x * 3;
            if (x < 6 && y < 4) {
                EXPECT_EQ(p[0], (40 * (x / 2) + 1 + 100) / 2) << x << "," << y;
                EXPECT_EQ(p[1], (40 * (y / 2) + 1 + 100) / 2) << x << "," << y;
                EXPECT_EQ(p[2], (201 + 100) / 2);
            } else {
                EXPECT_EQ(p[0], 100) << x << "," << y;
            }
        }

    // The rectangle form halves each side first and counts rows from the buffer's start (the
    // bottom row).
    target.FillRect(0, 0, 12, 8, 0x656565);  // grey 101
    map.OverlapPictureOnBitmapBuffer(1, 0, 2, 1);
    const std::uint8_t* bottom = target.GetLinePtr(7);
    EXPECT_EQ(bottom[0], 101);
    EXPECT_EQ(bottom[3], 1 / 2 + 101 / 2);
    EXPECT_EQ(bottom[6], 41 / 2 + 101 / 2);
    EXPECT_EQ(bottom[9], 101);
    EXPECT_EQ(target.GetLinePtr(0)[3], 101);

    // Scrolled past the picture: nothing to lay over. Null removes it.
    map.StretchElevationData(3, 0, 3, 4, 3, 4);
    EXPECT_EQ(map.GetStretchedOverlayWidth(), 0);
    map.SetOverlapBitmap(nullptr, 0, 0);
    EXPECT_EQ(map.GetOverlayWidth(), 0);
    map.StretchElevationData(0, 0, 6, 4, 12, 8);
    EXPECT_EQ(map.GetStretchedOverlayWidth(), 0);
}

TEST(ElvEdit, DrawAllMapPaintsEveryPixelAsOneLandPolygon) {
    for (bool dark : {false, true}) {
        CCtrlElvMap whole, polygon;
        Island(whole);
        Island(polygon);
        for (CCtrlElvMap* m : {&whole, &polygon}) {
            m->StretchElevationData(4, 2, 40, 30, 80, 60);
            m->FillSeaColorOnBitmapBuffer();
        }
        whole.DrawAllMapOnBitmapBuffer(true, true, 0x123456, dark);
        const Mb3dMap::POINT outline[4] = {{0, 0}, {79, 0}, {79, 59}, {0, 59}};
        polygon.DrawPolygonOnBitmapBuffer(outline, 4, dark ? 2 : 0, true, true, 0x123456, false);
        const MbBmp::CControlBmp& a = *whole.GetTargetBmp();
        const MbBmp::CControlBmp& b = *polygon.GetTargetBmp();
        ASSERT_EQ(a.GetWidth(), 80);
        EXPECT_TRUE(
            std::equal(a.GetBufferPtr(), a.GetBufferPtr() + a.GetWidthBytes() * 60, b.GetBufferPtr()));
    }
}

// ---- Gallery ---------------------------------------------------------------------------------------

#ifdef RYMD_GALLERY_DIR
void WriteGallery(CCtrlElvMap& map, const std::string& name) {
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    map.StretchElevationData(0, 0, w, h, w, h);
    map.FillSeaColorOnBitmapBuffer();
    map.DrawAllMapOnBitmapBuffer(true, true, 0, false);
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(map.GetTargetBmp()->SavePngData(png));
    const std::filesystem::path dir = RYMD_GALLERY_DIR;
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(WriteFileAtomic((dir / ("relief_" + name + ".png")).string(), png));
}

TEST(ElvEdit, GalleryOfTheTransforms) {
    const std::vector<std::pair<std::string, std::function<bool(CCtrlElvMap&)>>> transforms = {
        {"before", [](CCtrlElvMap&) { return true; }},
        {"canvas_grown", [](CCtrlElvMap& m) { return m.ChangeCanvasSize(80, 56); }},
        {"clipped",
         [](CCtrlElvMap& m) {
             m.ClipArea(8, 6, 40, 32);
             return true;
         }},
        {"sunk_500",
         [](CCtrlElvMap& m) {
             m.TransSink(500, 0, 0, 64, 48, false, true);
             return true;
         }},
        {"size_96x40", [](CCtrlElvMap& m) { return m.TransSize(96, 40, true); }},
        {"barrel", [](CCtrlElvMap& m) { return m.TransBarrel(0.02, 0, 16, true); }},
        {"sector_120", [](CCtrlElvMap& m) { return m.TransSector(120, 30, true); }},
        {"rotate_90", [](CCtrlElvMap& m) { return m.TransRotate(90, true); }},
        {"rotate_30", [](CCtrlElvMap& m) { return m.TransRotate(30, true); }},
    };
    for (const auto& [name, apply] : transforms) {
        CCtrlElvMap map;
        Island(map);
        ASSERT_TRUE(apply(map)) << name;
        WriteGallery(map, name);
    }
}
#endif

}  // namespace
}  // namespace rymd::test
