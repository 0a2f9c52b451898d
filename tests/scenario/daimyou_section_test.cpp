// The Daimyou section: the fields of each scenario version, limits and messages.
#include <gtest/gtest.h>

#include <string>

#include "support/world_test_util.h"

namespace rymd::test {
namespace {

struct DaimyouCase {
    const char* name;
    int version;
    std::string line;
    std::uint8_t kindByte;
    std::int32_t shikin;
    std::uint16_t koukai;
    std::uint16_t kouzan;
    std::uint8_t teppou;
    std::uint8_t gunsen;
    const char* description;  // nullptr: none
};

class DaimyouLines : public ::testing::TestWithParam<DaimyouCase> {};

TEST_P(DaimyouLines, StoreTheFieldsOfTheirVersion) {
    const DaimyouCase& c = GetParam();
    ReaderRun run;
    ASSERT_EQ(run.Read("ScenarioVer : " + std::to_string(c.version) + "\nDaimyou {\n" + c.line + "\n}\n"),
              kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.nScenarioDaimyou, 1);
    const DaimyouInitRecord& d = gs.DaimyouInitTbl[0];
    EXPECT_EQ(d.name, "織田家");
    EXPECT_EQ(d.kindByte, c.kindByte);
    EXPECT_EQ(d.shikin, c.shikin);
    EXPECT_EQ(d.koukaiGijutsu, c.koukai);
    EXPECT_EQ(d.kouzanGijutsu, c.kouzan);
    EXPECT_EQ(d.teppouTendency, c.teppou);
    EXPECT_EQ(d.gunsenTendency, c.gunsen);
    if (c.description) {
        ASSERT_EQ(d.textIndex, 0);
        ASSERT_EQ(gs.ScenarioTextPool.size(), 1u);
        EXPECT_EQ(gs.ScenarioTextPool[0], c.description);
    } else {
        EXPECT_EQ(d.textIndex, 0xFFFF);
        EXPECT_TRUE(gs.ScenarioTextPool.empty());
    }
    EXPECT_EQ(gs.NameIndex.FindDaimyou("D01"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    World, DaimyouLines,
    ::testing::Values(
        DaimyouCase{"v1 five fields", 1, "D01 : 織田家 : NORMAL : 0 : 5000", 1, 5000, 0, 0, 10, 3, nullptr},
        DaimyouCase{"v2 mining times ten", 2, "D01 : 織田家 : AINU : 120 : 500 : -1", 0, -1, 120, 5000, 10, 3,
                    nullptr},
        DaimyouCase{"v3 musket collection", 3, "D01 : 織田家 : RYUUKYUU : 0 : 0 : 100 : 100", 2, 100, 0, 0,
                    100, 3, nullptr},
        DaimyouCase{"v5 warship building", 5, "D01 : 織田家 : NORMAL : 0 : 1 : 100 : 0 : 10", 1, 100, 0, 10,
                    0, 10, nullptr},
        DaimyouCase{"v7 description with line break and colon", 7,
                    "D01 : 織田家 : NORMAL : 7 : 1 : 100 : 20 : 4 : \"尾張の大名\\n城:清洲\"", 1, 100, 7, 10,
                    20, 4, "尾張の大名\n城:清洲"},
        DaimyouCase{"v7 backslash inside a double-byte character stays", 7,
                    "D01 : 織田家 : NORMAL : 0 : 0 : 0 : 10 : 3 : 表n", 1, 0, 0, 0, 10, 3, "表n"},
        DaimyouCase{"v10 not for the player, static", 10,
                    "D01 : 織田家 : NORMAL : 0 : 1 : 100 : 20 : 4 : NO : STATIC : \"\"", 0x91, 100, 0, 10, 20,
                    4, nullptr},
        DaimyouCase{"v11 selectable, no attack", 11,
                    "D01 : 織田家 : AINU : 0 : 1 : 100 : 20 : 4 : YES : NOATTACK : \"\"", 0x20, 100, 0, 10,
                    20, 4, nullptr},
        DaimyouCase{"navigation kept as written", 1, "D01 : 織田家 : NORMAL : 65535 : 0", 1, 0, 65535, 0, 10,
                    3, nullptr}),
    [](const auto& info) { return CaseName(info.param.name); });

class DaimyouErrors : public ::testing::TestWithParam<SectionErrorCase> {};

TEST_P(DaimyouErrors, ReportTheCodeOnItsLine) {
    ExpectSectionError(GetParam());
}

const std::string kId25(25, 'D');
const std::string kName20 = "一二三四五六七八九十";  // 20 bytes in Shift-JIS

INSTANTIATE_TEST_SUITE_P(
    World, DaimyouErrors,
    ::testing::Values(
        SectionErrorCase{"id of 26 bytes", 11, {"Daimyou {", DaimyouLine(11, kId25 + "X"), "}"}, 2, 7},
        SectionErrorCase{
            "id defined twice", 11, {"Daimyou {", DaimyouLine(11, "D03"), DaimyouLine(11, "D01"), "}"}, 3, 8},
        SectionErrorCase{
            "name of 21 bytes", 11, {"Daimyou {", DaimyouLine(11, "D03", kName20 + "X"), "}"}, 2, 5},
        SectionErrorCase{"kind in lower case", 1, {"Daimyou {", "D03 : 家 : normal : 0 : 0", "}"}, 2, 6},
        SectionErrorCase{
            "navigation not an integer", 1, {"Daimyou {", "D03 : 家 : NORMAL : x : 0", "}"}, 2, 22},
        SectionErrorCase{"funds not an integer", 1, {"Daimyou {", "D03 : 家 : NORMAL : 0 : 1.5", "}"}, 2, 22},
        SectionErrorCase{"mining 501", 2, {"Daimyou {", "D03 : 家 : NORMAL : 0 : 501 : 0", "}"}, 2, 46},
        SectionErrorCase{"mining -1", 2, {"Daimyou {", "D03 : 家 : NORMAL : 0 : -1 : 0", "}"}, 2, 46},
        SectionErrorCase{
            "musket collection 101", 3, {"Daimyou {", "D03 : 家 : NORMAL : 0 : 0 : 0 : 101", "}"}, 2, 58},
        SectionErrorCase{
            "warship building 11", 5, {"Daimyou {", "D03 : 家 : NORMAL : 0 : 0 : 0 : 10 : 11", "}"}, 2, 77},
        SectionErrorCase{"selectable in lower case",
                         10,
                         {"Daimyou {", "D03 : 家 : NORMAL : 0 : 0 : 0 : 10 : 3 : yes : NORMAL : \"\"", "}"},
                         2,
                         4},
        SectionErrorCase{"unknown behaviour",
                         10,
                         {"Daimyou {", "D03 : 家 : NORMAL : 0 : 0 : 0 : 10 : 3 : YES : ATTACK : \"\"", "}"},
                         2,
                         4},
        SectionErrorCase{
            "v3 line running on", 3, {"Daimyou {", "D03 : 家 : NORMAL : 0 : 0 : 0 : 10 : 3", "}"}, 2, 4},
        SectionErrorCase{"v1 line running short", 1, {"Daimyou {", "D03 : 家 : NORMAL : 0", "}"}, 2, 4},
        SectionErrorCase{"v7 line without description",
                         7,
                         {"Daimyou {", "D03 : 家 : NORMAL : 0 : 0 : 0 : 10 : 3", "}"},
                         2,
                         4},
        SectionErrorCase{"identifier alone", 11, {"Daimyou {", "D03", "}"}, 2, 4},
        SectionErrorCase{
            "section cut off by the end of the file", 11, {"Daimyou {", DaimyouLine(11, "D03")}, 3, 4}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(DaimyouSection, LimitsAreMeasuredInFileBytes) {
    ReaderRun run;
    ScenarioText t;
    t.Add({"ScenarioVer : 11", "Daimyou {", DaimyouLine(11, kId25, kName20), "}"});
    ASSERT_EQ(run.Read(t.Text()), kScnOk) << run.Message();
    EXPECT_EQ(run.gs->DaimyouInitTbl[0].name, kName20);
    EXPECT_EQ(run.gs->NameIndex.FindDaimyou(kId25), 0);
}

TEST(DaimyouSection, AtMost999HousesLeavingTheLastSlotFree) {
    ScenarioText t;
    t.Add({"ScenarioVer : 1", "Daimyou {"});
    char id[16];
    for (int i = 0; i < 999; ++i) {
        std::snprintf(id, sizeof id, "D%04d", i);
        t.Add(DaimyouLine(1, id));
    }
    ScenarioText full = t;
    full.Add("}");
    ReaderRun ok;
    ASSERT_EQ(ok.Read(full.Text()), kScnOk) << ok.Message();
    EXPECT_EQ(ok.gs->nScenarioDaimyou, 999);

    const int line = t.Add(DaimyouLine(1, "D9999"));
    t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 3);
    EXPECT_EQ(run.Message(), ErrorText(3, line));
    EXPECT_EQ(run.gs->nScenarioDaimyou, 999);
}

TEST(DaimyouSection, ASecondSectionAppendsUnderTheSameChecks) {
    ReaderRun run;
    ScenarioText t = World(11, false);
    t.Add({"Daimyou {", DaimyouLine(11, "D03"), "}"});
    ASSERT_EQ(run.Read(t.Text()), kScnOk);
    EXPECT_EQ(run.gs->nScenarioDaimyou, 3);
    EXPECT_EQ(run.gs->NameIndex.FindDaimyou("D03"), 2);
}

TEST(DaimyouSection, LinesBeforeAnErrorStayAndTheFailingLineIsNotCounted) {
    ReaderRun run;
    ScenarioText t = World(11, false);
    t.Add({"Daimyou {", DaimyouLine(11, "D03", "斎藤"),
           "D04 : 家 : NORMAL : 0 : 501 : 0 : 10 : 3 : YES : NORMAL : \"\"", "}"});
    EXPECT_EQ(run.Read(t.Text()), 46);
    EXPECT_EQ(run.gs->nScenarioDaimyou, 3);
    EXPECT_EQ(run.gs->DaimyouInitTbl[2].name, "斎藤");  // converted although reading failed
}

TEST(DaimyouSection, NamesAreReadInTheScenarioLanguage) {
    // A GB2312 scenario: the name's bytes are taken as they are and converted once the
    // language is known.
    std::string text = "ScenarioVer : 1\nLanguage : CHINESE_GB2312\nDaimyou {\nD01 : ";
    text += FromUtf8("张三", TextEncoding::Gb2312);
    text += " : NORMAL : 0 : 0\n}\n";
    ReaderRun run;
    ASSERT_EQ(run.ReadBytes({text.begin(), text.end()}), kScnOk) << run.Message();
    EXPECT_EQ(run.gs->DaimyouInitTbl[0].name, "张三");
}

}  // namespace
}  // namespace rymd::test
