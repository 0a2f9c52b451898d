// The province map file: every version of both formats, their conversions, storing, and the
// refusal of bad files with the object left as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "support/kor_map_fixture.h"

namespace {

using namespace kormap_fixture;
using MbKorMap::CCtrlKorMap;
using MbKorMap::MapLoadError;
using Bytes = std::vector<std::uint8_t>;

Bytes Store(const CCtrlKorMap& map) {
    rymd::ArchiveWriter ar;
    EXPECT_TRUE(map.Serialize(ar));
    return ar.Take();
}

Bytes Store(const KorMapData& d) {
    rymd::ArchiveWriter ar;
    MbKorMap::WriteKorMap(ar, d);
    return ar.Take();
}

// A map object that records the messages it shows.
struct Map : CCtrlKorMap {
    std::vector<std::string> messages;
    Map() {
        SetMessageHandler([this](const char* m) { messages.push_back(m); });
    }
    bool Load(const Bytes& bytes) {
        rymd::ArchiveReader ar(bytes);
        return Serialize(ar);
    }
};

class TempFile {
public:
    explicit TempFile(const Bytes& bytes) {
        path_ = (std::filesystem::temp_directory_path() /
                 ("kormap_test_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".map"))
                    .string();
        rymd::WriteFileAtomic(path_, bytes);
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const char* Path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::size_t Find(const Bytes& hay, const Bytes& needle) {
    for (std::size_t i = 0; i + needle.size() <= hay.size(); ++i)
        if (std::equal(needle.begin(), needle.end(), hay.begin() + static_cast<std::ptrdiff_t>(i))) return i;
    return std::string::npos;
}

// ---- "KorMap" ------------------------------------------------------------------------------------

TEST(KorMapFile, Version4LoadsAndStoresByteForByte) {
    const Bytes file = WriteKorMapVersion(MakeCountry(), 4);
    Map map;
    TempFile f(file);
    ASSERT_EQ(map.LoadKorMap(f.Path()), CCtrlKorMap::kLoaded);
    EXPECT_EQ(Store(map), file);
    // The library's own writer gives the same bytes.
    EXPECT_EQ(Store(MakeCountry()), file);
    // And so does SaveKorMap.
    const std::string out = std::string(f.Path()) + ".out";
    ASSERT_TRUE(map.SaveKorMap(out.c_str()));
    Bytes saved;
    ASSERT_TRUE(rymd::ReadFileBytes(out, saved));
    std::remove(out.c_str());
    EXPECT_EQ(saved, file);
    EXPECT_TRUE(map.messages.empty());
}

TEST(KorMapFile, Version4ContentIsReadIntoTheTables) {
    Map map;
    ASSERT_TRUE(map.Load(WriteKorMapVersion(MakeCountry(), 4)));
    const KorMapData& d = map.Data();
    EXPECT_EQ(map.FormatFlag(), 0);
    EXPECT_EQ(map.GetUnit(), 128);
    EXPECT_EQ(d.fileVersion, 4);
    EXPECT_EQ(map.GetMapWidth(), kCountryW);
    EXPECT_EQ(map.Width(), kCountryW);
    EXPECT_EQ(map.Height(), kCountryH);
    ASSERT_EQ(map.KuniCount(), 4);
    ASSERT_EQ(map.ChiikiCount(), 2);
    EXPECT_EQ(map.Kuni(1).id, "K_MINO");
    EXPECT_EQ(map.Kuni(1).name, Sjis("美濃"));
    EXPECT_EQ(map.Kuni(2).chiiki, 1);
    EXPECT_EQ(map.Chiiki(1).name, Sjis("畿内"));
    EXPECT_EQ(map.KuniIdToNo("K_ISE"), 2);
    EXPECT_EQ(map.RegionIdToNo("R_KINAI"), 1);
    EXPECT_STREQ(map.KuniName(3), Sjis("志摩").c_str());
    EXPECT_EQ(map.FindPicture(Sjis("城A")), 1);
    ASSERT_NE(map.Picture(1), nullptr);
    EXPECT_EQ(map.Picture(1)->GetBitCount(), 8);
    EXPECT_EQ(d.textureSets.size(), 3u);
    EXPECT_EQ(d.textureSets[1].flags, 1);
    EXPECT_EQ(d.textureSets[1].thirdValue[3], 3003);
    EXPECT_EQ(d.reservedTextureWord, 77);
    EXPECT_EQ(d.waterColor, MbBmp::RGB(10, 90, 200));
    EXPECT_EQ(d.labels.size(), 2u);
    EXPECT_EQ(d.labels[1].value, 0xFFFF);
    EXPECT_EQ(d.polygons.size(), 6u);
    EXPECT_EQ(d.lines[6].color, 0x8000 | 21);
    EXPECT_EQ(map.ElvMap().GetElevation(20, 15), 1801);
    EXPECT_EQ(map.ElvMap().GetSaveType(), 1);
}

// What a "KorMap" file of an older version gives: the country less what that version cannot hold.
KorMapData ExpectedFromKorMapVersion(int version) {
    KorMapData d = MakeCountry();
    if (version < 1) {
        d.pictures.clear();
        d.pictureNames.clear();
    }
    if (version < 2) {
        for (auto& set : d.textureSets) {
            set.flags = 0;
            for (int s = 1; s < 4; ++s) {
                set.first[s].FreeBitmap();
                set.second[s].FreeBitmap();
                set.third[s].FreeBitmap();
                set.firstValue[s] = set.secondValue[s] = set.thirdValue[s] = 1500;
            }
        }
    }
    if (version < 4) d.waterColor = MbBmp::RGB(0, 100, 128);
    return d;
}

TEST(KorMapFile, EveryOlderVersionLoadsWithItsConversionsAndIsStoredAsVersion4) {
    for (int version = 0; version <= 3; ++version) {
        SCOPED_TRACE(version);
        Map map;
        ASSERT_TRUE(map.Load(WriteKorMapVersion(MakeCountry(), version)));
        EXPECT_EQ(map.Data().fileVersion, version);
        EXPECT_EQ(map.FormatFlag(), 0);
        EXPECT_EQ(map.GetUnit(), 128);
        // Everything the version holds arrives; the rest takes its defaults; storing writes
        // version 4.
        EXPECT_EQ(Store(map), Store(ExpectedFromKorMapVersion(version)));
        const Bytes stored = Store(map);
        EXPECT_EQ(stored[7], 4);
        EXPECT_EQ(stored[8], 0);
    }
}

TEST(KorMapFile, Version0HasNoPictureBlockAndVersion2StoresOneSeasonOnly) {
    const Bytes v0 = WriteKorMapVersion(MakeCountry(), 0);
    // The relief stream (coding 2, width 40, height 30) follows the version word directly.
    EXPECT_EQ(Find(v0, {0x02, 0x00, 40, 0x00, 30, 0x00}), 9u);

    KorMapData oneSeason = MakeCountry();
    oneSeason.textureSets[1].flags = 0;
    Map map;
    ASSERT_TRUE(map.Load(WriteKorMapVersion(oneSeason, 2)));
    const auto& set = map.Data().textureSets[1];
    EXPECT_FALSE(set.first[0].IsEmpty());
    for (int s = 1; s < 4; ++s) {
        EXPECT_TRUE(set.first[s].IsEmpty() && set.second[s].IsEmpty() && set.third[s].IsEmpty()) << s;
        EXPECT_EQ(set.firstValue[s], 1500);
        EXPECT_EQ(set.secondValue[s], 1500);
        EXPECT_EQ(set.thirdValue[s], 1500);
    }
}

TEST(KorMapFile, RawTextureBitmapsOfVersion1KeepTheirPixels) {
    KorMapData d = MakeCountry();
    SolidBitmap(d.textureSets[2].first[0], 5, 3, 10, 20, 30);  // rows padded to 16 bytes
    SolidBitmap(d.textureSets[2].second[0], 3, 2, 1, 2, 3, 32);
    Map map;
    ASSERT_TRUE(map.Load(WriteKorMapVersion(d, 1)));
    const auto& set = map.Data().textureSets[2];
    for (int i = 0; i < 2; ++i) {
        const MbBmp::CControlBmp& got = i == 0 ? set.first[0] : set.second[0];
        const MbBmp::CControlBmp& want = i == 0 ? d.textureSets[2].first[0] : d.textureSets[2].second[0];
        ASSERT_EQ(got.GetWidth(), want.GetWidth());
        ASSERT_EQ(got.GetHeight(), want.GetHeight());
        ASSERT_EQ(got.GetBitCount(), want.GetBitCount());
        for (int y = 0; y < want.GetHeight(); ++y)
            for (int x = 0; x < want.GetWidth(); ++x)
                EXPECT_EQ(got.GetPixelColor(x, y), want.GetPixelColor(x, y)) << x << "," << y;
    }
}

TEST(KorMapFile, PolygonsBeforeVersion3AreRenumbered) {
    struct Case {
        std::uint8_t kind, value, wantKind, wantValue;
    } cases[] = {
        {0x01, 5, 0x00, 5},                      // old kind 1: textured land
        {0x82, 3, 0x81, 3},                      // flags stay
        {0x44, 2, 0x43, 2}, {0x00, 9, 0x00, 0},  // old kind 0 had no value
        {0x90, 4, 0x90, 0}, {0x2F, 1, 0x2E, 1},
    };
    for (int version : {0, 1, 2, 3}) {
        KorMapData d = MakeCountry();
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            d.polygons[i].kind = cases[i].kind;
            d.polygons[i].value = cases[i].value;
        }
        WriteOptions raw;
        raw.rawPolygons = true;
        Map map;
        ASSERT_TRUE(map.Load(WriteKorMapVersion(d, version, raw)));
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const auto& p = map.Data().polygons[i];
            const bool converted = version < 3;
            EXPECT_EQ(p.kind, converted ? cases[i].wantKind : cases[i].kind) << version << "/" << i;
            EXPECT_EQ(p.value, converted ? cases[i].wantValue : cases[i].value) << version << "/" << i;
        }
    }
}

// ---- "RYUUMONDEN MAP " ----------------------------------------------------------------------------

TEST(RyuumondenFile, EveryVersionLoadsAnEmptyReliefTheLibrarysTexturesAndKeepsThePictures) {
    for (int version = 1; version <= 3; ++version) {
        SCOPED_TRACE(version);
        Map map;
        ASSERT_TRUE(map.Load(WriteKorMapVersion(MakeCountry(), 4)));
        ASSERT_TRUE(map.Load(WriteRyuumondenVersion(MakeRyuumondenCountry(), version)));
        const KorMapData& d = map.Data();
        const KorMapData want = MakeRyuumondenCountry();
        EXPECT_EQ(map.FormatFlag(), 1);
        EXPECT_EQ(map.GetUnit(), 100);
        EXPECT_EQ(d.fileVersion, version);
        EXPECT_EQ(d.extent.left, -10);
        EXPECT_EQ(d.extent.bottom, 45);
        // The relief: all sea, of the extent's size.
        ASSERT_EQ(map.GetMapWidth(), 50);
        ASSERT_EQ(map.GetMapHeight(), 40);
        EXPECT_EQ(map.Width(), 50);
        EXPECT_EQ(map.Height(), 40);
        for (int y = 0; y <= 40; ++y)
            for (int x = 0; x <= 50; ++x)
                ASSERT_EQ(map.ElvMap().GetElevation(x, y), 0);
        // Six texture sets from the library's pictures.
        ASSERT_EQ(d.textureSets.size(), 6u);
        const int land[6] = {3000, 3002, 3003, 3005, 3006, 3007};
        for (int i = 0; i < 6; ++i) {
            const auto& set = d.textureSets[static_cast<std::size_t>(i)];
            EXPECT_EQ(set.name, "T_INITIAL");
            EXPECT_EQ(set.flags, 0);
            EXPECT_EQ(set.firstValue[0], 1500);
            EXPECT_EQ(set.secondValue[0], 1500);
            EXPECT_EQ(set.thirdValue[0], 1500);
            MbBmp::CControlBmp first, sea;
            ASSERT_TRUE(MbKorMap::LoadKorMapTextureBitmap(land[i], first));
            ASSERT_TRUE(MbKorMap::LoadKorMapTextureBitmap(3001, sea));
            ASSERT_EQ(set.first[0].GetWidth(), 60);
            EXPECT_EQ(set.first[0].GetBitCount(), 24);
            for (int p = 0; p < 60; p += 7) {
                EXPECT_EQ(set.first[0].GetPixelColor(p, 59 - p), first.GetPixelColor(p, 59 - p));
                EXPECT_EQ(set.second[0].GetPixelColor(p, p), first.GetPixelColor(p, p));
                EXPECT_EQ(set.third[0].GetPixelColor(p, p), sea.GetPixelColor(p, p));
            }
        }
        EXPECT_EQ(d.reservedTextureWord, 0);
        EXPECT_TRUE(d.labels.empty());
        EXPECT_EQ(d.waterColor, MbBmp::RGB(0, 100, 128));
        // Pictures of the map loaded before.
        EXPECT_EQ(d.pictureNames, MakeCountry().pictureNames);
        EXPECT_EQ(d.pictures.size(), 2u);
        // Palette only from version 2.
        for (int i = 0; i < 32; ++i)
            EXPECT_EQ(d.palette[static_cast<std::size_t>(i)],
                      version >= 2 ? want.palette[static_cast<std::size_t>(i)] : 0u);
        // Geometry and tables; polygons of every version end up as the fixture's.
        EXPECT_EQ(map.KuniCount(), 4);
        EXPECT_EQ(map.Kuni(0).name, Sjis("尾張"));
        ASSERT_EQ(d.polygons.size(), want.polygons.size());
        for (std::size_t i = 0; i < want.polygons.size(); ++i) {
            EXPECT_EQ(d.polygons[i].kind, want.polygons[i].kind) << i;
            EXPECT_EQ(d.polygons[i].value, want.polygons[i].value) << i;
            EXPECT_EQ(d.polygons[i].kuni, want.polygons[i].kuni) << i;
        }
        EXPECT_EQ(d.lines.size(), want.lines.size());
        EXPECT_EQ(d.linePoints.size(), want.linePoints.size());
    }
}

TEST(RyuumondenFile, PolygonsBeforeVersion3AreConvertedFromTheOldKindNumbers) {
    struct Case {
        std::uint8_t kind, value, wantKind, wantValue;
    } cases[] = {
        {0, 0, 0x40, 0},    {5, 200, 0xC0, 5}, {6, 0, 0x42, 0},   {7, 128, 0xC3, 0},     {8, 3, 0x40, 0},
        {19, 127, 0x40, 0}, {20, 0, 0x41, 0},  {51, 1, 0x41, 31}, {255, 255, 0xC1, 235},
    };
    KorMapData d = MakeRyuumondenCountry();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        if (i >= d.polygons.size()) AddRect(d, 0, 0, 100, 100, 0, 0, -1);
        d.polygons[i].kind = cases[i].kind;
        d.polygons[i].value = cases[i].value;
    }
    WriteOptions raw;
    raw.rawPolygons = true;
    for (int version : {1, 2, 3}) {
        Map map;
        ASSERT_TRUE(map.Load(WriteRyuumondenVersion(d, version, raw)));
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const auto& p = map.Data().polygons[i];
            EXPECT_EQ(p.kind, version < 3 ? cases[i].wantKind : cases[i].kind) << version << "/" << i;
            EXPECT_EQ(p.value, version < 3 ? cases[i].wantValue : cases[i].value) << version << "/" << i;
        }
    }
}

TEST(RyuumondenFile, StoringWritesVersion003AndVersion3RoundTripsByteForByte) {
    const Bytes v3 = WriteRyuumondenVersion(MakeRyuumondenCountry(), 3);
    Map map;
    ASSERT_TRUE(map.Load(v3));
    EXPECT_EQ(Store(map), v3);
    EXPECT_EQ(Store(MakeRyuumondenCountry()), v3);

    ASSERT_TRUE(map.Load(WriteRyuumondenVersion(MakeRyuumondenCountry(), 1)));
    const Bytes stored = Store(map);
    EXPECT_EQ(std::string(stored.begin(), stored.begin() + 19), "RYUUMONDEN MAP 0.03");
    EXPECT_TRUE(std::all_of(stored.begin() + 19, stored.begin() + 32, [](std::uint8_t b) { return b == 0; }));
    // Version 1 had no palette: the zero palette is stored.
    Map back;
    ASSERT_TRUE(back.Load(stored));
    EXPECT_EQ(back.Data().palette[5], 0u);
    EXPECT_EQ(back.Data().polygons[0].kind, MakeRyuumondenCountry().polygons[0].kind);
}

TEST(RyuumondenFile, OnlyTheFirstSevenBytesOfTheSignatureDecide) {
    Map map;
    ASSERT_TRUE(map.Load(WriteRyuumondenVersion(MakeRyuumondenCountry(), 3, {}, "RYUUMONxxxxxxxx0.03")));
    EXPECT_EQ(map.FormatFlag(), 1);
    EXPECT_EQ(map.Data().fileVersion, 3);
}

TEST(KorMapFile, SavedMapFileLoadsAgain) {
    const std::string path = (std::filesystem::temp_directory_path() / "kormap_test_saved.smp").string();
    std::string why;
    ASSERT_TRUE(MbKorMap::SaveKorMapFile(path.c_str(), MakeRyuumondenCountry(), &why)) << why;
    Map map;
    EXPECT_EQ(map.LoadKorMap(path.c_str()), CCtrlKorMap::kLoaded);
    EXPECT_EQ(map.FormatFlag(), 1);
    std::remove(path.c_str());

    KorMapData bad = MakeCountry();
    bad.polygons[0].kuni = 4;
    EXPECT_FALSE(MbKorMap::SaveKorMapFile(path.c_str(), bad, &why));
    EXPECT_NE(why.find("province"), std::string::npos);
    EXPECT_FALSE(rymd::FileExists(path));
}

// ---- Refusals ------------------------------------------------------------------------------------

struct BadCase {
    const char* name;
    Bytes bytes;
    MapLoadError error;
};

Bytes Patched(Bytes b, const Bytes& pattern, std::size_t at, const Bytes& with) {
    const std::size_t pos = Find(b, pattern);
    EXPECT_NE(pos, std::string::npos);
    if (pos == std::string::npos) return b;
    std::copy(with.begin(), with.end(), b.begin() + static_cast<std::ptrdiff_t>(pos + at));
    return b;
}

std::vector<BadCase> BadFiles() {
    std::vector<BadCase> cases;
    auto add = [&](const char* name, Bytes b, MapLoadError e) { cases.push_back({name, std::move(b), e}); };
    auto korMap = [](auto change, int version = 4) {
        KorMapData d = MakeCountry();
        change(d);
        return WriteKorMapVersion(d, version);
    };
    auto ryu = [](auto change, int version = 3) {
        KorMapData d = MakeRyuumondenCountry();
        change(d);
        return WriteRyuumondenVersion(d, version);
    };
    const Bytes v4 = WriteKorMapVersion(MakeCountry(), 4);
    const Bytes reliefHead = {0x02, 0x00, 40, 0x00, 30, 0x00};

    add("empty file", {}, MapLoadError::kBadSignature);
    add("other signature", Patched(v4, {'K', 'o', 'r'}, 2, {'q'}), MapLoadError::kBadSignature);
    add("six bytes", Bytes(v4.begin(), v4.begin() + 6), MapLoadError::kBadSignature);
    add("version 5", korMap([](KorMapData&) {}, 5), MapLoadError::kBadVersion);
    add("version -1", korMap([](KorMapData&) {}, -1), MapLoadError::kBadVersion);
    add("5001 pictures", Patched(v4, {0x04, 0x00, 0x02, 0, 0, 0}, 2, {0x89, 0x13, 0, 0}),
        MapLoadError::kTooMany);
    add("negative picture count", Patched(v4, {0x04, 0x00, 0x02, 0, 0, 0}, 2, {0xFF, 0xFF, 0xFF, 0xFF}),
        MapLoadError::kTooMany);
    add("bad picture stream", Patched(v4, {'P', '_', 'C', 'A', 'S', 'T', 'L', 'E', 0x01}, 8, {0x07}),
        MapLoadError::kBadPicture);
    add("relief of width 0", Patched(v4, reliefHead, 2, {0, 0}), MapLoadError::kBadRelief);
    add("relief of negative width", Patched(v4, reliefHead, 2, {0xFF, 0xFF}), MapLoadError::kBadRelief);
    add("relief of unknown coding", Patched(v4, reliefHead, 0, {0x07}), MapLoadError::kBadRelief);
    add("relief code giving too few samples", Patched(v4, reliefHead, 4, {31}), MapLoadError::kBadRelief);
    {
        WriteOptions o;
        o.relief = {0x02, 0x00, 0x00, 0x00, 0x00, 0x00};  // an empty relief: a map of no size
        add("empty relief", WriteKorMapVersion(MakeCountry(), 4, o), MapLoadError::kBadRelief);
    }
    add("101 texture sets", korMap([](KorMapData& d) { d.textureSets.resize(101); }), MapLoadError::kTooMany);
    add("texture set without low-land picture",
        korMap([](KorMapData& d) { d.textureSets[1].first[2].FreeBitmap(); }), MapLoadError::kBadTexture);
    {
        const Bytes v1 = WriteKorMapVersion(MakeCountry(), 1);
        const Bytes rawHead = {40, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0, 1, 0, 24, 0};
        add("raw texture of 16 bits", Patched(v1, rawHead, 14, {16}), MapLoadError::kBadTexture);
        add("raw texture of width 0", Patched(v1, rawHead, 4, {0}), MapLoadError::kBadTexture);
        add("raw texture of negative height", Patched(v1, rawHead, 8, {0xF8, 0xFF, 0xFF, 0xFF}),
            MapLoadError::kBadTexture);
        add("raw texture larger than the file", Patched(v1, rawHead, 8, {0, 0, 1, 0}),
            MapLoadError::kBadTexture);
    }
    add("1001 labels", korMap([](KorMapData& d) { d.labels.resize(1001); }), MapLoadError::kTooMany);
    add("line from a node out of range", korMap([](KorMapData& d) { d.lines[2].start = 99; }),
        MapLoadError::kBadGeometry);
    add("line to a negative node", korMap([](KorMapData& d) { d.lines[2].end = -1; }),
        MapLoadError::kBadGeometry);
    add("line points out of range", korMap([](KorMapData& d) { d.lines[0].firstPoint = 1000; }),
        MapLoadError::kBadGeometry);
    add("line points without terminator", korMap([](KorMapData& d) {
            d.linePoints.back() = {5, 5};
        }),
        MapLoadError::kBadGeometry);
    add("polygon line list entry out of range", korMap([](KorMapData& d) { d.polygonLineList[0] = 8; }),
        MapLoadError::kBadGeometry);
    add("polygon line list entry -2", korMap([](KorMapData& d) { d.polygonLineList[0] = -2; }),
        MapLoadError::kBadGeometry);
    add("polygon run without -1", korMap([](KorMapData& d) { d.polygonLineList.back() = 0; }),
        MapLoadError::kBadGeometry);
    add("polygon run out of range", korMap([](KorMapData& d) { d.polygons[1].firstList = 12; }),
        MapLoadError::kBadGeometry);
    add("polygon of a province that does not exist", korMap([](KorMapData& d) { d.polygons[1].kuni = 4; }),
        MapLoadError::kBadGeometry);
    add("node count beyond the file",
        Patched(v4, {0x08, 0, 0, 0, 0, 0x02, 0, 0}, 0, {0xFF, 0xFF, 0xFF, 0x0F}), MapLoadError::kTruncated);

    const Bytes r3 = WriteRyuumondenVersion(MakeRyuumondenCountry(), 3);
    add("RYUUMONDEN version text not digits",
        WriteRyuumondenVersion(MakeRyuumondenCountry(), 3, {}, "RYUUMONDEN LV 1.05"),
        MapLoadError::kBadVersion);
    add("RYUUMONDEN version 0.04", WriteRyuumondenVersion(MakeRyuumondenCountry(), 4),
        MapLoadError::kBadVersion);
    add("RYUUMONDEN header cut", Bytes(r3.begin(), r3.begin() + 20), MapLoadError::kTruncated);
    add("RYUUMONDEN negative region count",
        Patched(r3, {0x02, 0, 0, 0, 0x04, 0, 0, 0}, 0, {0xFE, 0xFF, 0xFF, 0xFF}), MapLoadError::kTooMany);
    add("RYUUMONDEN counts beyond the file", Patched(r3, {0x02, 0, 0, 0, 0x04, 0, 0, 0}, 4, {0, 0, 0, 1}),
        MapLoadError::kTruncated);
    add("RYUUMONDEN extent of width 0", ryu([](KorMapData& d) { d.extent.right = d.extent.left; }),
        MapLoadError::kBadSize);
    add("RYUUMONDEN extent right of left", ryu([](KorMapData& d) { d.extent.right = -20; }),
        MapLoadError::kBadSize);
    add("RYUUMONDEN extent upside down", ryu([](KorMapData& d) { d.extent.bottom = 0; }),
        MapLoadError::kBadSize);
    add("RYUUMONDEN extent too large", ryu([](KorMapData& d) {
            d.extent = {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
        }),
        MapLoadError::kBadSize);
    add("RYUUMONDEN polygon out of range", ryu([](KorMapData& d) { d.polygons[0].firstList = -1; }),
        MapLoadError::kBadGeometry);
    add("RYUUMONDEN line out of range", ryu([](KorMapData& d) { d.lines[0].start = 50; }, 1),
        MapLoadError::kBadGeometry);
    return cases;
}

TEST(KorMapRefusal, EveryBadFileIsRefusedAndTheMapStaysAsItWas) {
    for (const BadCase& c : BadFiles()) {
        SCOPED_TRACE(c.name);
        Map map;
        ASSERT_TRUE(map.Load(WriteKorMapVersion(MakeCountry(), 4)));
        map.DrawMap(0, 0, kCountryW, kCountryH, 80, 60);
        const Bytes before = Store(map);
        TempFile f(c.bytes);
        EXPECT_EQ(map.LoadKorMap(f.Path()), CCtrlKorMap::kBadContent);
        EXPECT_EQ(map.LastLoadError(), c.error) << MbKorMap::MapLoadErrorText(map.LastLoadError());
        EXPECT_EQ(map.messages, std::vector<std::string>{"ファイルが異常です"});
        EXPECT_EQ(Store(map), before);
        EXPECT_EQ(map.Data().polygonRects.size(), map.Data().polygons.size());
        // The stream form fails the reader the same way.
        rymd::ArchiveReader ar(c.bytes);
        EXPECT_FALSE(map.Serialize(ar));
        EXPECT_FALSE(ar.Ok());
        EXPECT_EQ(Store(map), before);
    }
}

TEST(KorMapRefusal, EveryCutOfAGoodFileIsRefused) {
    const Bytes files[] = {WriteKorMapVersion(MakeCountry(), 4), WriteKorMapVersion(MakeCountry(), 1),
                           WriteRyuumondenVersion(MakeRyuumondenCountry(), 3)};
    for (const Bytes& file : files) {
        Map map;
        ASSERT_TRUE(map.Load(file));
        const Bytes before = Store(map);
        for (std::size_t n = 0; n < file.size(); ++n) {
            rymd::ArchiveReader ar(file.data(), n);
            ASSERT_FALSE(map.Serialize(ar)) << n;
        }
        EXPECT_EQ(Store(map), before);
        EXPECT_EQ(map.messages.size(), file.size());
    }
}

TEST(KorMapRefusal, MissingFileGives1AndRefusedMapGives3WithoutMessages) {
    Map map;
    ASSERT_TRUE(map.Load(WriteKorMapVersion(MakeCountry(), 4)));
    const Bytes before = Store(map);
    EXPECT_EQ(map.LoadKorMap("/nonexistent/folder/none.map"), CCtrlKorMap::kCannotOpen);
    EXPECT_EQ(map.LastLoadError(), MapLoadError::kCannotOpen);
    TempFile f(WriteRyuumondenVersion(MakeRyuumondenCountry(), 3));
    int seenKuni = -1;
    EXPECT_EQ(map.LoadKorMap(f.Path(),
                             [&](const KorMapData& d) {
                                 seenKuni = static_cast<int>(d.kuni.size());
                                 return false;
                             }),
              CCtrlKorMap::kRefused);
    EXPECT_EQ(seenKuni, 4);
    EXPECT_TRUE(map.messages.empty());
    EXPECT_EQ(Store(map), before);
    EXPECT_EQ(map.LoadKorMap(f.Path(), [](const KorMapData&) { return true; }), CCtrlKorMap::kLoaded);
    EXPECT_EQ(map.FormatFlag(), 1);
}

TEST(KorMapRefusal, SetDataChecksLikeTheReader) {
    Map map;
    KorMapData d = MakeCountry();
    d.polygonLineList[3] = 40;
    std::string why;
    EXPECT_FALSE(map.SetData(std::move(d), &why));
    EXPECT_EQ(map.KuniCount(), 0);
    EXPECT_NE(why.find("polygon line list"), std::string::npos);
    KorMapData long_ = MakeCountry();
    long_.kuni[0].name = std::string(32, 'a');
    EXPECT_FALSE(map.SetData(std::move(long_), &why));
    EXPECT_TRUE(map.SetData(MakeCountry(), &why));
    EXPECT_EQ(map.KuniCount(), 4);
    EXPECT_EQ(map.Data().polygonRects.size(), 6u);
}

}  // namespace
