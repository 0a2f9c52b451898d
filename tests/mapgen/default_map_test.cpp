// The bundled map of Japan as the game loads it: data/default.smp through the province map.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "tools/mapgen/map_builder.h"
#include "tools/mapgen/map_writer.h"
#include "tools/mapgen/projection.h"
#include "tools/mapgen/relief.h"
#include "tools/mapgen/topology.h"

namespace rymd::mapgen {
namespace {

const std::string kDataDir = std::string(RYMD_FIXTURES) + "/../../data/";
const std::string kGeoDir = std::string(RYMD_FIXTURES) + "/../../../shared/data/geo/";

class DefaultMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        map_ = new MbKorMap::CCtrlKorMap();
        result_ = map_->LoadKorMap((kDataDir + "default.smp").c_str());
    }
    static void TearDownTestSuite() {
        delete map_;
        map_ = nullptr;
    }

    // The province at a longitude and latitude, found the way a map window finds it: in relief
    // samples.
    static int ProvinceAt(double lon, double lat) {
        const MapUnitPoint u = JapanProjection::ToMapUnits(LonLat{lon, lat});
        return map_->DetectKuni(
            MbKorMap::POINT{u.x / JapanProjection::kMapUnit, u.y / JapanProjection::kMapUnit});
    }
    static std::string NameOf(int kuni) {
        return kuni < 0 ? "(none)" : ToUtf8(map_->Kuni(kuni).name, TextEncoding::ShiftJis);
    }

    static MbKorMap::CCtrlKorMap* map_;
    static int result_;
};

MbKorMap::CCtrlKorMap* DefaultMapTest::map_ = nullptr;
int DefaultMapTest::result_ = -1;

TEST_F(DefaultMapTest, LoadsAsAKorMapWithTheWholeCountry) {
    ASSERT_EQ(result_, MbKorMap::CCtrlKorMap::kLoaded);
    EXPECT_EQ(map_->FormatFlag(), 0);
    EXPECT_EQ(map_->GetUnit(), 128);
    EXPECT_EQ(map_->GetMapWidth(), JapanProjection::kWidth);
    EXPECT_EQ(map_->GetMapHeight(), JapanProjection::kHeight);
    EXPECT_EQ(map_->KuniCount(), 69);
    ASSERT_EQ(map_->ChiikiCount(), 9);
    const char* regions[] = {"畿内",   "東海道", "東山道", "北陸道", "山陰道",
                             "山陽道", "南海道", "西海道", "蝦夷"};
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(ToUtf8(map_->Chiiki(r).name, TextEncoding::ShiftJis), regions[r]);
    // Every circuit holds its classical number of provinces; Ezo is alone in its region.
    int perRegion[9] = {};
    for (int k = 0; k < map_->KuniCount(); ++k) {
        ASSERT_GE(map_->Kuni(k).chiiki, 0);
        ASSERT_LT(map_->Kuni(k).chiiki, 9);
        ++perRegion[map_->Kuni(k).chiiki];
    }
    const int expected[9] = {5, 15, 8, 7, 8, 8, 6, 11, 1};
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(perRegion[r], expected[r]) << regions[r];
    // Ids are unique and found back.
    for (int k = 0; k < map_->KuniCount(); ++k)
        EXPECT_EQ(map_->FindKuni(map_->Kuni(k).id), k);
    EXPECT_EQ(map_->FindChiiki("R_EZO"), 8);
    EXPECT_EQ(NameOf(map_->FindKuni("K_EZO")), "蝦夷");
    EXPECT_EQ(map_->FindKuni("K_KURIL"), -1);
}

TEST_F(DefaultMapTest, DetectKuniFindsTheProvinceOfTowns) {
    ASSERT_EQ(result_, MbKorMap::CCtrlKorMap::kLoaded);
    struct Town {
        const char* town;
        double lon;
        double lat;
        const char* id;
        const char* name;
    };
    const Town towns[] = {
        {"Kyoto", 135.7681, 35.0116, "K_YAMASHIRO", "山城"},
        {"Edo", 139.7528, 35.6852, "K_MUSASHI", "武蔵"},
        {"Osaka", 135.5262, 34.6873, "K_SETTSU", "摂津"},
        {"Kagoshima", 130.5571, 31.5966, "K_SATSUMA", "薩摩"},
        {"Kiyosu", 136.8434, 35.2172, "K_OWARI", "尾張"},
        {"Sendai", 140.8719, 38.2682, "K_MUTSU", "陸奥"},
        {"Hirosaki (the north of Mutsu)", 140.4637, 40.6031, "K_MUTSU", "陸奥"},
        {"Hachijojima (Izu islands)", 139.7900, 33.1100, "K_IZU", "伊豆"},
        {"Kanazawa", 136.6562, 36.5613, "K_KAGA", "加賀"},
        {"Kochi", 133.5311, 33.5597, "K_TOSA", "土佐"},
        {"Yoshida-Koriyama", 132.7000, 34.6700, "K_AKI", "安芸"},
        {"Yamagata", 140.3633, 38.2404, "K_DEWA", "出羽"},
        {"Ono near Hakodate", 140.6500, 41.8800, "K_EZO", "蝦夷"},
        {"Sapporo", 141.3545, 43.0621, "K_EZO", "蝦夷"},
        {"Izuhara (Tsushima)", 129.2878, 34.2028, "K_TSUSHIMA", "対馬"},
        {"Kuninaka plain (Sado)", 138.4000, 38.0000, "K_SADO", "佐渡"},
    };
    for (const Town& t : towns) {
        const int k = ProvinceAt(t.lon, t.lat);
        EXPECT_EQ(k, map_->FindKuni(t.id)) << t.town << " found in " << NameOf(k);
        EXPECT_EQ(NameOf(k), t.name) << t.town;
    }
}

TEST_F(DefaultMapTest, SeaAndLakesAreWater) {
    ASSERT_EQ(result_, MbKorMap::CCtrlKorMap::kLoaded);
    // Open sea belongs to no province.
    EXPECT_EQ(ProvinceAt(135.0, 39.0), -1);    // Sea of Japan
    EXPECT_EQ(ProvinceAt(141.0, 33.0), -1);    // Pacific
    EXPECT_EQ(ProvinceAt(135.30, 34.55), -1);  // Osaka bay
    // Lake Biwa: a water polygon of Omi; its relief is 0 there, as in the sea.
    const MapUnitPoint biwa = JapanProjection::ToMapUnits(LonLat{136.10, 35.30});
    EXPECT_EQ(NameOf(ProvinceAt(136.10, 35.30)), "近江");
    EXPECT_EQ(map_->ElvMap().GetElevation(biwa.x / 128, biwa.y / 128), 0);
    bool biwaWater = false;
    const auto& d = map_->Data();
    for (std::size_t i = 0; i < d.polygons.size(); ++i) {
        if (d.polygons[i].Kind() != MbKorMap::tagMapPolygon::kWater) continue;
        const auto& r = d.polygonRects[i];
        if (r.left <= biwa.x && biwa.x < r.right && r.top <= biwa.y && biwa.y < r.bottom &&
            d.polygons[i].kuni == map_->FindKuni("K_OMI")) {
            biwaWater = true;
        }
    }
    EXPECT_TRUE(biwaWater);
}

TEST_F(DefaultMapTest, ReliefAndTexturesAreThere) {
    ASSERT_EQ(result_, MbKorMap::CCtrlKorMap::kLoaded);
    const auto& elv = map_->ElvMap();
    // The high mountains are high, the plains low, the sea 0.
    const MapUnitPoint fuji = JapanProjection::ToMapUnits(LonLat{138.7274, 35.3606});
    const MapUnitPoint edo = JapanProjection::ToMapUnits(LonLat{139.7528, 35.6852});
    const MapUnitPoint sea = JapanProjection::ToMapUnits(LonLat{134.0, 38.0});
    EXPECT_GT(elv.GetElevation(fuji.x / 128, fuji.y / 128), 2000);
    EXPECT_GE(elv.GetElevation(edo.x / 128, edo.y / 128), 1);
    EXPECT_LT(elv.GetElevation(edo.x / 128, edo.y / 128), 100);
    EXPECT_EQ(elv.GetElevation(sea.x / 128, sea.y / 128), 0);
    // One texture set with its four seasons, each with low land, high land and sea pictures.
    const auto& sets = map_->Data().textureSets;
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].flags & 1, 1);
    for (int s = 0; s < 4; ++s) {
        EXPECT_FALSE(sets[0].first[s].IsEmpty()) << s;
        EXPECT_FALSE(sets[0].second[s].IsEmpty()) << s;
        EXPECT_FALSE(sets[0].third[s].IsEmpty()) << s;
    }
}

TEST_F(DefaultMapTest, DefaultMapIsTheSameMap) {
    std::vector<std::uint8_t> smp;
    std::vector<std::uint8_t> map;
    ASSERT_TRUE(ReadFileBytes(kDataDir + "default.smp", smp));
    ASSERT_TRUE(ReadFileBytes(kDataDir + "default.map", map));
    EXPECT_TRUE(smp == map);
}

// The committed map is what the generator makes from the geographic data (when that data is
// at hand beside the repository).
TEST(DefaultMapFiles, AreUpToDateWithTheGenerator) {
    const std::string topoPath = kGeoDir + "provinces/kuni_1868.topojson";
    if (!FileExists(topoPath)) GTEST_SKIP() << "no geographic data at " << kGeoDir;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(topoPath, bytes));
    Topology topo;
    std::string error;
    ASSERT_TRUE(ReadTopology(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                             topo, &error))
        << error;
    MapModel model;
    BuildReport report;
    ASSERT_TRUE(BuildGeometry(topo, JapanBuildOptions(), model, report, &error)) << error;
    DemGrid dem = JapanDemGridFrame();
    ASSERT_TRUE(ReadDemPng(kGeoDir + "relief/japan_dem_gtopo30_0.0204deg_u16.png", dem, &error)) << error;
    BuildRelief(model, dem);
    MbKorMap::KorMapData data;
    ASSERT_TRUE(MakeKorMapData(model, data, &error)) << error;
    ArchiveWriter ar;
    MbKorMap::WriteKorMap(ar, data);
    std::vector<std::uint8_t> committed;
    ASSERT_TRUE(ReadFileBytes(kDataDir + "default.smp", committed));
    EXPECT_TRUE(ar.Data() == committed) << "data/default.smp is out of date: rebuild it with mapgen";

    std::vector<std::uint8_t> tsv;
    ASSERT_TRUE(ReadFileBytes(kDataDir + "map/provinces.tsv", tsv));
    EXPECT_EQ(std::string(tsv.begin(), tsv.end()), ProvincesTsv(model));
    std::vector<std::uint8_t> readme;
    ASSERT_TRUE(ReadFileBytes(kDataDir + "map/README.md", readme));
    EXPECT_EQ(std::string(readme.begin(), readme.end()), MapReadme(model));
}

}  // namespace
}  // namespace rymd::mapgen
