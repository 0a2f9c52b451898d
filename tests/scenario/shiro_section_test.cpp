// The ShiroType and Shiro sections: castle types, castles, their limits and messages.
#include <gtest/gtest.h>

#include <string>

#include "support/world_test_util.h"

namespace rymd::test {
namespace {

// --- castles ---------------------------------------------------------------------------------

struct ShiroCase {
    const char* name;
    int version;
    std::string line;  // the castle line, after the houses D01 and D02
    // expected geography
    std::uint8_t maxKibo;
    std::int32_t x, y;
    std::int16_t maxKouzan;
    std::uint8_t flags;
    std::int16_t shiroType;
    std::int16_t initDaimyou;
    const char* description;  // nullptr: none
    // expected castle state
    std::uint8_t kibo;
    std::int16_t kouzan;
    std::uint8_t kouekisen;
    std::int16_t support;
    int gunsen;  // warships registered at the castle
};

class ShiroLines : public ::testing::TestWithParam<ShiroCase> {};

TEST_P(ShiroLines, StoreTheFieldsOfTheirVersion) {
    const ShiroCase& c = GetParam();
    ScenarioText t = World(c.version, false);
    t.Add({"Shiro {", c.line, "}"});
    ReaderRun run;
    ASSERT_EQ(run.Read(t.Text()), kScnOk) << run.Message();
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.nShiro, 1);
    const ShiroMapRecord& m = gs.ShiroMapTbl[0];
    EXPECT_EQ(m.name, "清洲城");
    EXPECT_EQ(m.kuni, 1);  // K02
    EXPECT_EQ(m.maxKibo, c.maxKibo);
    EXPECT_EQ(m.x, c.x);
    EXPECT_EQ(m.y, c.y);
    EXPECT_EQ(m.maxKokudaka, 57000u);
    EXPECT_EQ(m.maxKeizai, 321);
    EXPECT_EQ(m.maxKouzan, c.maxKouzan);
    EXPECT_EQ(m.flags, c.flags);
    EXPECT_EQ(m.shiroType, c.shiroType);
    EXPECT_EQ(m.initDaimyou, c.initDaimyou);
    EXPECT_EQ(m.ConnectionCount(), 0);
    EXPECT_EQ(m.connect[10].shiro, 0xFFFF);
    if (c.description) {
        ASSERT_EQ(m.textIndex, 0);
        EXPECT_EQ(gs.ScenarioTextPool.at(0), c.description);
    } else {
        EXPECT_EQ(m.textIndex, 0xFFFF);
        EXPECT_TRUE(gs.ScenarioTextPool.empty());
    }
    const CShiro& s = gs.ShiroTbl[0];
    EXPECT_EQ(s.kibo, c.kibo);
    EXPECT_EQ(s.kokudaka, 57000u);
    EXPECT_EQ(s.keizai, 321);
    EXPECT_EQ(s.kouzan, c.kouzan);
    EXPECT_EQ(s.kouekisen, c.kouekisen);
    EXPECT_EQ(s.support, c.support);
    EXPECT_EQ(gs.GunsenTable.GetGunsenAtShiro(0), c.gunsen);
    EXPECT_EQ(gs.GunsenTable.count, c.gunsen > 0 ? 1u : 0u);
    if (c.gunsen > 0) {
        EXPECT_EQ(gs.GunsenTable.records[0].owner, c.initDaimyou);
    }
    EXPECT_EQ(gs.NameIndex.FindShiro("S01"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    World, ShiroLines,
    ::testing::Values(
        ShiroCase{"v1 thirteen fields", 1,
                  "S01 : 清洲城 : K02 : 3 : 3 : 4 : 57000 : 321 : YES : 5 : 0 : 55 : D02", 10, 384, 512, 0,
                  0x01, 0, 1, nullptr, 3, 0, 5, 550, 0},
        ShiroCase{"v2 mines", 2,
                  "S01 : 清洲城 : K02 : 0 : 1 : 2 : 57000 : 321 : 40 : 12 : NO : 0 : 7 : 0 : D01", 10, 128,
                  256, 40, 0, 0, 0, nullptr, 1, 12, 0, 0, 7},
        ShiroCase{
            "v4 built-in castle type", 4,
            "S01 : 清洲城 : K02 : 10 : 1 : 2 : 57000 : 321 : 0 : 0 : NO : 100 : 200 : 100 : GENDAI : D01", 10,
            128, 256, 0, 0, 4, 0, nullptr, 10, 0, 100, 1000, 200},
        ShiroCase{"v5 positions as written", 5,
                  "S01 : 清洲城 : K02 : 3 : -7 : 9 : 57000 : 321 : 0 : 0 : NO : 0 : 0 : 50 : RYUUKYUU : D01",
                  10, -7, 9, 0, 0, 1, 0, nullptr, 3, 0, 0, 500, 0},
        ShiroCase{"v6 size 0 raised to 1 below a maximum", 6,
                  "S01 : 清洲城 : K02 : 5 : 0 : 1 : 2 : 57000 : 321 : 0 : 0 : NO : 0 : 0 : 50 : NORMAL : D01",
                  5, 1, 2, 0, 0, 0, 0, nullptr, 1, 0, 0, 500, 0},
        ShiroCase{"v6 castle without works keeps size 0", 6,
                  "S01 : 清洲城 : K02 : 0 : 0 : 1 : 2 : 57000 : 321 : 0 : 0 : NO : 0 : 0 : 50 : NORMAL : D01",
                  0, 1, 2, 0, 0, 0, 0, nullptr, 0, 0, 0, 500, 0},
        ShiroCase{
            "v7 description", 7,
            "S01 : 清洲城 : K02 : 5 : 3 : 1 : 2 : 57000 : 321 : 0 : 0 : NO : 0 : 0 : 50 : EUROPE : D02 : "
            "\"尾張の城\\n本丸\"",
            5, 1, 2, 0, 0, 3, 1, "尾張の城\n本丸", 3, 0, 0, 500, 0},
        ShiroCase{"v8 ignored field", 8,
                  "S01 : 清洲城 : K02 : 5 : 3 : 1 : 2 : 57000 : 321 : 0 : 0 : NO : 0 : 3 : 何でも : 50 : "
                  "CHINA : D02 : "
                  "\"\"",
                  5, 1, 2, 0, 0, 2, 1, nullptr, 3, 0, 0, 500, 3}),
    [](const auto& info) { return CaseName(info.param.name); });

class ShiroErrors : public ::testing::TestWithParam<SectionErrorCase> {};

TEST_P(ShiroErrors, ReportTheCodeOnItsLine) {
    ExpectSectionError(GetParam());
}

// A v11 castle line with one field replaced (fields counted from 1).
std::string V11Shiro(int field, const std::string& value, const std::string& id = "S10",
                     const std::string& kuni = "K03", const std::string& house = "D01") {
    std::vector<std::string> f = {id,  "城", kuni, "10", "3", "0",  "0",      "50000", "300", "0",
                                  "0", "NO", "0",  "0",  "-", "50", "NORMAL", house,   "\"\""};
    f[static_cast<std::size_t>(field - 1)] = value;
    std::string s;
    for (const auto& x : f)
        s += (s.empty() ? "" : " : ") + x;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    World, ShiroErrors,
    ::testing::Values(
        SectionErrorCase{"id of 26 bytes", 11, {"Shiro {", V11Shiro(1, std::string(26, 'S')), "}"}, 2, 10},
        SectionErrorCase{"id defined twice", 11, {"Shiro {", V11Shiro(1, "S01"), "}"}, 2, 11},
        SectionErrorCase{
            "name of 21 bytes", 11, {"Shiro {", V11Shiro(2, "一二三四五六七八九十X"), "}"}, 2, 12},
        SectionErrorCase{"unknown province", 11, {"Shiro {", V11Shiro(3, "K04"), "}"}, 2, 13},
        SectionErrorCase{"maximum size 11", 11, {"Shiro {", V11Shiro(4, "11"), "}"}, 2, 78},
        SectionErrorCase{"maximum size -1", 11, {"Shiro {", V11Shiro(4, "-1"), "}"}, 2, 78},
        SectionErrorCase{"size 11", 11, {"Shiro {", V11Shiro(5, "11"), "}"}, 2, 23},
        SectionErrorCase{"x not an integer", 11, {"Shiro {", V11Shiro(6, "1a"), "}"}, 2, 22},
        SectionErrorCase{"rice yield not an integer", 11, {"Shiro {", V11Shiro(8, "多い"), "}"}, 2, 22},
        // Values no rule could keep within their bounds: below 0, beyond their fields, a mine above
        // its maximum.
        SectionErrorCase{"rice yield -1", 11, {"Shiro {", V11Shiro(8, "-1"), "}"}, 2, 22},
        SectionErrorCase{"economy -1", 11, {"Shiro {", V11Shiro(9, "-1"), "}"}, 2, 22},
        SectionErrorCase{"economy 32768", 11, {"Shiro {", V11Shiro(9, "32768"), "}"}, 2, 22},
        SectionErrorCase{
            "maximum mine -2147483648", 11, {"Shiro {", V11Shiro(10, "-2147483648"), "}"}, 2, 22},
        SectionErrorCase{"mine -1", 11, {"Shiro {", V11Shiro(11, "-1"), "}"}, 2, 22},
        SectionErrorCase{"mine above its maximum 0", 11, {"Shiro {", V11Shiro(11, "1"), "}"}, 2, 22},
        SectionErrorCase{"port in lower case", 11, {"Shiro {", V11Shiro(12, "yes"), "}"}, 2, 33},
        SectionErrorCase{"trade ships 101", 11, {"Shiro {", V11Shiro(13, "101"), "}"}, 2, 34},
        SectionErrorCase{"warships 201", 11, {"Shiro {", V11Shiro(14, "201"), "}"}, 2, 35},
        SectionErrorCase{"warships -1", 11, {"Shiro {", V11Shiro(14, "-1"), "}"}, 2, 35},
        SectionErrorCase{"support 101", 11, {"Shiro {", V11Shiro(16, "101"), "}"}, 2, 41},
        SectionErrorCase{"unknown built-in type", 11, {"Shiro {", V11Shiro(17, "BAROQUE"), "}"}, 2, 62},
        SectionErrorCase{"unknown house", 11, {"Shiro {", V11Shiro(18, "D09"), "}"}, 2, 14},
        SectionErrorCase{
            "v6 line running on", 6, {"Shiro {", ShiroLine(6, "S10", "K03", "D01") + " : x", "}"}, 2, 4},
        SectionErrorCase{"v1 line running short",
                         1,
                         {"Shiro {", "S10 : 城 : K03 : 3 : 3 : 4 : 57000 : 321 : YES : 5 : 0 : 55", "}"},
                         2,
                         4},
        SectionErrorCase{"identifier alone", 11, {"Shiro {", "S10", "}"}, 2, 4},
        SectionErrorCase{"cut off by the end of the file", 11, {"Shiro {", V11Shiro(1, "S10")}, 3, 4}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(ShiroSection, AProvinceHoldsAtMost100Castles) {
    ScenarioText t = World(11, false);
    t.Add("Shiro {");
    for (int i = 0; i < 100; ++i)
        t.Add(V11Shiro(1, "S" + std::to_string(i)));
    const int line = t.Add(V11Shiro(1, "S100"));
    t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 45);
    EXPECT_EQ(run.Message(), ErrorText(45, line));
    EXPECT_EQ(run.gs->nShiro, 100);
}

TEST(ShiroSection, AtMost10000Castles) {
    ReaderRun run;
    run.map.files[run.scenarioFolder + "default.map"] = FakeKorMap::Make(101);
    ScenarioText t = World(11, false);
    t.Add("Shiro {");
    char kuni[8];
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(kuni, sizeof kuni, "K%02d", i / 100 + 1);
        t.Add(V11Shiro(19, "\"\"", "S" + std::to_string(i), kuni));
    }
    const int line = t.Add(V11Shiro(19, "\"\"", "S10000", "K101"));
    t.Add("}");
    EXPECT_EQ(run.Read(t.Text()), 9);
    EXPECT_EQ(run.Message(), ErrorText(9, line));
    EXPECT_EQ(run.gs->nShiro, 10000);
    EXPECT_EQ(run.gs->ShiroMapTbl[9999].kuni, 99);
}

TEST(ShiroSection, DescriptionsTakeConsecutivePlacesInTheSharedTextPool) {
    ScenarioText t;
    t.Add({"ScenarioVer : 11", "Daimyou {", "D01 : 家 : NORMAL : 0 : 0 : 0 : 10 : 3 : YES : NORMAL : 家の話",
           "D02 : 家 : NORMAL : 0 : 0 : 0 : 10 : 3 : YES : NORMAL : \"\"", "}", "Shiro {",
           V11Shiro(19, "城の話", "S01"), V11Shiro(19, "\"\"", "S02"), V11Shiro(19, "二つ目", "S03"), "}"});
    ReaderRun run;
    ASSERT_EQ(run.Read(t.Text()), kScnOk) << run.Message();
    const GameState& gs = *run.gs;
    EXPECT_EQ(gs.ScenarioTextPool, (std::vector<std::string>{"家の話", "城の話", "二つ目"}));
    EXPECT_EQ(gs.DaimyouInitTbl[0].textIndex, 0);
    EXPECT_EQ(gs.DaimyouInitTbl[1].textIndex, 0xFFFF);
    EXPECT_EQ(gs.ShiroMapTbl[0].textIndex, 1);
    EXPECT_EQ(gs.ShiroMapTbl[1].textIndex, 0xFFFF);
    EXPECT_EQ(gs.ShiroMapTbl[2].textIndex, 2);
}

TEST(ShiroSection, WarshipsOfEachCastleAreRegisteredForItsHouse) {
    ScenarioText t = World(11, false);
    t.Add({"Shiro {", V11Shiro(14, "200", "S01"), V11Shiro(14, "0", "S02"),
           V11Shiro(14, "7", "S03", "K03", "D02"), "}"});
    ReaderRun run;
    ASSERT_EQ(run.Read(t.Text()), kScnOk) << run.Message();
    const CGunsenTable& g = run.gs->GunsenTable;
    ASSERT_EQ(g.count, 2u);
    EXPECT_EQ(g.records[0].owner, 0);
    EXPECT_EQ(g.records[0].shiro, 0);
    EXPECT_EQ(g.records[0].ships, 200);
    EXPECT_EQ(g.records[1].owner, 1);
    EXPECT_EQ(g.records[1].shiro, 2);
    EXPECT_EQ(g.records[1].ships, 7);
    EXPECT_EQ(g.records[1].destination, 0xFFFF);
}

// --- castle types ----------------------------------------------------------------------------

// The map of the tests names two pictures: P1 (index 0) and 城A (index 1).
TEST(ShiroTypeSection, V8TypesTakeTheScenarioOffsets) {
    ReaderRun run;
    ASSERT_EQ(run.Read("ScenarioVer : 8\nShiroOffset : 5 : -6\nShiroNameOffset : 7\nDaimyouNameOffset : 8\n"
                       "ShiroType {\nT1 : CHINA : NORMAL : P1 : NORMAL : 城A : NORMAL\n"
                       "T2 : 城A : NORMAL : NORMAL : NORMAL : NORMAL : P1\n}\n"),
              kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.nShiroType, 2);
    const auto& w = gs.ShiroTypeTbl[0].words;
    EXPECT_EQ(w[0], 0x8001);
    EXPECT_EQ(w[1], 0x8000);
    EXPECT_EQ(w[2], 0);
    EXPECT_EQ(w[4], 1);
    EXPECT_EQ(w[5], 0x8000);
    for (int i = 6; i <= 12; ++i)
        EXPECT_EQ(w[static_cast<std::size_t>(i)], 0xFFFF) << i;
    EXPECT_EQ(w[13], 5);
    EXPECT_EQ(w[14], static_cast<std::uint16_t>(-6));
    EXPECT_EQ(w[15], 0);
    EXPECT_EQ(w[16], 7);
    EXPECT_EQ(w[17], 0);
    EXPECT_EQ(w[18], 8);
    for (int i = 19; i <= 24; ++i)
        EXPECT_EQ(w[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_EQ(w[25], static_cast<std::uint16_t>(-10));
    EXPECT_EQ(w[26], static_cast<std::uint16_t>(-10));
    EXPECT_EQ(w[27], 10);
    EXPECT_EQ(w[28], 10);
    EXPECT_EQ(w[31], 20);
    EXPECT_EQ(w[32], 30);
    EXPECT_EQ(gs.ShiroTypeTbl[1].words[0], 1);
    EXPECT_EQ(gs.ShiroTypeTbl[1].words[5], 0);
    EXPECT_EQ(gs.NameIndex.FindName2("T2"), 1);
}

TEST(ShiroTypeSection, V9IconsAndV10OffsetsAreRead) {
    ReaderRun run;
    std::string offsets;
    for (int i = 0; i < 20; ++i)
        offsets += " : " + std::to_string(100 + i);
    ASSERT_EQ(
        run.Read("ScenarioVer : 10\nShiroType {\nT1 : GENDAI : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL"
                 " : NORMAL : P1 : NORMAL : NORMAL : NORMAL : 城A : NORMAL" +
                 offsets + "\n}\n"),
        kScnOk)
        << run.Message();
    const auto& w = run.gs->ShiroTypeTbl[0].words;
    EXPECT_EQ(w[0], 0x8003);
    EXPECT_EQ(w[6], 0xFFFF);
    EXPECT_EQ(w[7], 0);
    EXPECT_EQ(w[11], 1);
    EXPECT_EQ(w[12], 0xFFFF);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(w[static_cast<std::size_t>(13 + i)], 100 + i) << i;

    ReaderRun v9;
    ASSERT_EQ(v9.Read("ScenarioVer : 9\nShiroType {\nT1 : EUROPE : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL"
                      " : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : P1\n}\n"),
              kScnOk)
        << v9.Message();
    EXPECT_EQ(v9.gs->ShiroTypeTbl[0].words[0], 0x8002);
    EXPECT_EQ(v9.gs->ShiroTypeTbl[0].words[12], 0);
    EXPECT_EQ(v9.gs->ShiroTypeTbl[0].words[31], 20);
}

TEST(ShiroTypeSection, CastlesThenNameTheScenarioTypes) {
    ScenarioText t;
    t.Add({"ScenarioVer : 11", "Daimyou {", DaimyouLine(11, "D01"), "}", "ShiroType {"});
    std::string icons = " : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL";
    std::string offsets;
    for (int i = 0; i < 20; ++i)
        offsets += " : 0";
    t.Add({"山城 : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL" + icons + offsets,
           "平城 : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL" + icons + offsets, "}", "Shiro {",
           V11Shiro(17, "平城", "S01")});
    const int bad = t.Add(V11Shiro(17, "NORMAL", "S02"));
    t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 101);
    EXPECT_EQ(run.Message(), ErrorText(101, bad));
    EXPECT_EQ(run.gs->nShiro, 1);
    EXPECT_EQ(run.gs->ShiroMapTbl[0].shiroType, 1);
}

TEST(ShiroTypeSection, TypesDefinedAfterTheCastlesMustCoverTheTypesTheyName) {
    // S01 names GENDAI, the fifth built-in type; a section defining only two types would leave
    // it naming a type that does not exist.
    ScenarioText t;
    t.Add(
        {"ScenarioVer : 8", "Daimyou {", DaimyouLine(8, "D01"), "}", "Shiro {",
         "S01 : 城 : K01 : 10 : 3 : 0 : 0 : 50000 : 300 : 0 : 0 : NO : 0 : 0 : - : 50 : GENDAI : D01 : \"\"",
         "}", "ShiroType {", "T1 : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL",
         "T2 : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL"});
    const int close = t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 101);
    EXPECT_EQ(run.Message(), ErrorText(101, close));
}

TEST(ShiroTypeSection, AtMost1000Types) {
    ScenarioText t;
    t.Add({"ScenarioVer : 8", "ShiroType {"});
    for (int i = 0; i < 1000; ++i)
        t.Add("T" + std::to_string(i) + " : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL");
    const int line = t.Add("T1000 : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL");
    t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 97);
    EXPECT_EQ(run.Message(), ErrorText(97, line));
    EXPECT_EQ(run.gs->nShiroType, 1000);
}

class ShiroTypeErrors : public ::testing::TestWithParam<SectionErrorCase> {};

TEST_P(ShiroTypeErrors, ReportTheCodeOnItsLine) {
    ExpectSectionError(GetParam());
}

const std::string kV8Pictures = " : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL";

INSTANTIATE_TEST_SUITE_P(
    World, ShiroTypeErrors,
    ::testing::Values(
        SectionErrorCase{
            "id of 26 bytes", 8, {"ShiroType {", std::string(26, 'T') + kV8Pictures, "}"}, 2, 98},
        SectionErrorCase{
            "id defined twice", 8, {"ShiroType {", "T1" + kV8Pictures, "T1" + kV8Pictures, "}"}, 3, 99},
        SectionErrorCase{"illustration not on the map",
                         8,
                         {"ShiroType {", "T1 : BAROQUE : NORMAL : NORMAL : NORMAL : NORMAL : NORMAL", "}"},
                         2,
                         100},
        SectionErrorCase{"season picture not on the map",
                         8,
                         {"ShiroType {", "T1 : NORMAL : NORMAL : P2 : NORMAL : NORMAL : NORMAL", "}"},
                         2,
                         100},
        SectionErrorCase{
            "v8 line running on", 8, {"ShiroType {", "T1" + kV8Pictures + " : NORMAL", "}"}, 2, 4},
        SectionErrorCase{
            "v9 line running short", 9, {"ShiroType {", "T1" + kV8Pictures + " : NORMAL", "}"}, 2, 4},
        SectionErrorCase{"v10 offset not an integer",
                         10,
                         {"ShiroType {",
                          "T1" + kV8Pictures + kV8Pictures +
                              " : NORMAL : 0 : 0 : 0 : 0 : 0 : 0 : 0 : 0 : 0 : 0 : x : 0"
                              " : 0 : 0 : 0 : 0 : 0 : 0 : 0 : 0",
                          "}"},
                         2,
                         22}),
    [](const auto& info) { return CaseName(info.param.name); });

}  // namespace
}  // namespace rymd::test
