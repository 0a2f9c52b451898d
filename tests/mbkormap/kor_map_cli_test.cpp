// rymdcli map-info and map-render on fixture maps.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "support/kor_map_fixture.h"
#include "support/run_cli.h"

namespace {

using namespace kormap_fixture;
using rymd::test::CliOutcome;

// Runs the tool with its error messages kept in the output.
CliOutcome RunCli(const std::string& args) {
    return rymd::test::RunCli(args, "2>&1");
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("kormap_cli_" + std::to_string(getpid()) + "_" + name))
        .string();
}

TEST(KorMapCli, MapInfoListsFormatCountsRegionsAndProvinces) {
    const std::string path = TempPath("country.map");
    ASSERT_TRUE(rymd::WriteFileAtomic(path, WriteKorMapVersion(MakeCountry(), 2)));
    const CliOutcome o = RunCli("map-info " + path);
    std::remove(path.c_str());
    EXPECT_EQ(o.status, 0) << o.out;
    for (const char* line :
         {"format: KorMap\n", "version: 2\n", "unit: 128\n", "relief: 40 x 30\n", "texture sets: 3\n",
          "polygons: 6\n", "regions: 2\n", "  1 R_KINAI 畿内\n", "provinces: 4\n",
          "  0 K_OWARI 尾張 (region 0)\n", "  3 K_SHIMA 志摩 (region 1)\n", "picture 1 城A\n"})
        EXPECT_NE(o.out.find(line), std::string::npos) << line << "in\n" << o.out;

    ASSERT_TRUE(rymd::WriteFileAtomic(path, WriteRyuumondenVersion(MakeRyuumondenCountry(), 1)));
    const CliOutcome r = RunCli("map-info " + path);
    std::remove(path.c_str());
    EXPECT_EQ(r.status, 0);
    for (const char* line : {"format: RYUUMONDEN MAP\n", "version: 1\n", "unit: 100\n", "relief: 50 x 40\n",
                             "extent: -10 5 40 45\n", "texture sets: 6\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "in\n" << r.out;
}

TEST(KorMapCli, MapInfoRefusesBadAndMissingFiles) {
    const std::string path = TempPath("bad.map");
    auto bytes = WriteKorMapVersion(MakeCountry(), 4);
    bytes.resize(bytes.size() - 3);
    ASSERT_TRUE(rymd::WriteFileAtomic(path, bytes));
    const CliOutcome o = RunCli("map-info " + path);
    std::remove(path.c_str());
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.out.find("ファイルが異常です\n"), std::string::npos) << o.out;
    EXPECT_EQ(RunCli("map-info /nonexistent/x.map").status, 1);
    EXPECT_EQ(RunCli("map-info").status, 2);
}

TEST(KorMapCli, MapRenderDrawsTheWholeMapWithPaintedProvinces) {
    const std::string path = TempPath("synthetic.map");
    const std::string png = TempPath("synthetic.png");
    std::string why;
    ASSERT_TRUE(MbKorMap::SaveKorMapFile(path.c_str(), MakeSyntheticCountry(8, 6, 30), &why)) << why;
    const CliOutcome o = RunCli("map-render " + path + " " + png +
                                " --width 600 --season 2 --paint K3:FF0000 --paint K1:00FF00");
    EXPECT_EQ(o.status, 0) << o.out;
    MbBmp::CControlBmp picture;
    ASSERT_TRUE(picture.LoadPngFile(png.c_str(), true));
    EXPECT_EQ(picture.GetWidth(), 600);
    EXPECT_EQ(picture.GetHeight(), 480);  // 300 x 240 samples

    // A point of province 3 on land, away from its borders and lake, is painted (red through the flat
    // relief: 255 x 255 >> 8).
    MbKorMap::CCtrlKorMap map;
    ASSERT_EQ(map.LoadKorMap(path.c_str()), 0);
    int found = 0;
    for (int y = 0; y < 240 && !found; y += 3)
        for (int x = 0; x < 300 && !found; x += 3) {
            bool inside = true;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx)
                    inside = inside && map.DetectKuni({x + dx, y + dy}) == 3 &&
                             map.ElvMap().GetElevation(x + dx, y + dy) > 0;
            if (inside) {
                EXPECT_EQ(picture.GetPixelColor(2 * x, 2 * y), MbBmp::RGB(254, 0, 0)) << x << "," << y;
                ++found;
            }
        }
    EXPECT_EQ(found, 1);

    EXPECT_EQ(RunCli("map-render " + path + " " + png + " --paint NOPE:FF0000").status, 2);
    EXPECT_EQ(RunCli("map-render " + path + " " + png + " --paint K3:red").status, 2);
    std::remove(path.c_str());
    std::remove(png.c_str());
}

// Writes the fixture maps into the folder named by RYMD_KORMAP_FIXTURE_DIR (for looking at them
// and for the loader's fuzz seeds); does nothing otherwise.
TEST(KorMapFixtureFiles, WrittenWhenAsked) {
    const char* dir = std::getenv("RYMD_KORMAP_FIXTURE_DIR");
    if (!dir) GTEST_SKIP();
    const std::string d = std::string(dir) + "/";
    for (int v = 0; v <= 4; ++v)
        ASSERT_TRUE(rymd::WriteFileAtomic(d + "kormap_v" + std::to_string(v) + ".map",
                                          WriteKorMapVersion(MakeCountry(), v)));
    for (int v = 1; v <= 3; ++v)
        ASSERT_TRUE(rymd::WriteFileAtomic(d + "ryuumonden_v" + std::to_string(v) + ".map",
                                          WriteRyuumondenVersion(MakeRyuumondenCountry(), v)));
    std::string why;
    ASSERT_TRUE(MbKorMap::SaveKorMapFile((d + "synthetic.map").c_str(), MakeSyntheticCountry(8, 6, 30), &why))
        << why;
    ASSERT_TRUE(MbKorMap::SaveKorMapFile((d + "synthetic_small.map").c_str(),
                                         MakeSyntheticCountry(3, 2, 10, 2), &why))
        << why;
}

}  // namespace
