// The Doumei section: initial relations between houses, the double-definition notice, limits
// and messages.
#include <gtest/gtest.h>

#include <string>

#include "support/world_test_util.h"

namespace rymd::test {
namespace {

// World(11) with a third house D03, then a Doumei section of the given lines.
ScenarioText DoumeiWorld(const std::vector<std::string>& lines) {
    ScenarioText t = World(11, false);
    t.Add({"Daimyou {", DaimyouLine(11, "D03"), "}", "Doumei {"});
    for (const auto& l : lines)
        t.Add(l);
    t.Add("}");
    return t;
}

TEST(DoumeiSection, EveryTypeIsStoredInLineOrder) {
    ReaderRun run;
    ASSERT_EQ(run.Read(DoumeiWorld({"D01 : FUSEN : D02", "D01 : JUUZOKU : D03", "D02 : SHINJUU : D_ALL",
                                    "D03 : SHUKUTEKI : D01", "D02 : NOTHING : D03", "D02 : FUSEN : D02"})
                           .Text()),
              kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.nScenarioDoumei, 6);
    struct Expected {
        int a, b, type;
    };
    const Expected expected[] = {{0, 1, 2}, {0, 2, 3}, {1, -1, 6}, {2, 0, 0}, {1, 2, 1}, {1, 1, 2}};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(gs.DoumeiInitTbl[static_cast<std::size_t>(i)].daimyou, expected[i].a);
        EXPECT_EQ(gs.DoumeiInitTbl[static_cast<std::size_t>(i)].other, expected[i].b);
        EXPECT_EQ(gs.DoumeiInitTbl[static_cast<std::size_t>(i)].type, expected[i].type);
    }
    EXPECT_TRUE(run.port.CallsOf(PortCallKind::Inform).empty());
}

struct TwiceCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<int> noticeLines;  // line numbers within the section (1 = first line after "Doumei {")
};

class DoumeiTwice : public ::testing::TestWithParam<TwiceCase> {};

TEST_P(DoumeiTwice, BondsGivenTwiceAreNoticedAndKept) {
    const TwiceCase& c = GetParam();
    ScenarioText t = DoumeiWorld(c.lines);
    const int firstLine = World(11, false).LineCount() + 4 + 1;
    ReaderRun run;
    ASSERT_EQ(run.Read(t.Text()), kScnOk);
    EXPECT_EQ(run.gs->nScenarioDoumei, static_cast<int>(c.lines.size()));
    const auto calls = run.port.CallsOf(PortCallKind::Inform);
    ASSERT_EQ(calls.size(), c.noticeLines.size());
    for (std::size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(calls[i].text, "同盟関係の２重定義があります(Line No." +
                                     std::to_string(firstLine + c.noticeLines[i] - 1) + ")");
}

INSTANTIATE_TEST_SUITE_P(
    World, DoumeiTwice,
    ::testing::Values(
        TwiceCase{
            "alliance then subordination the other way", {"D01 : FUSEN : D02", "D02 : JUUZOKU : D01"}, {2}},
        TwiceCase{"the same vassal line twice",
                  {"D01 : SHINJUU : D02", "D03 : FUSEN : D01", "D01 : SHINJUU : D02"},
                  {3}},
        TwiceCase{"one notice per repeating line, however many it repeats",
                  {"D01 : FUSEN : D02", "D02 : FUSEN : D01", "D01 : JUUZOKU : D02"},
                  {2, 3}},
        TwiceCase{"five equal lines give four notices",
                  {"D01 : FUSEN : D02", "D01 : FUSEN : D02", "D01 : FUSEN : D02", "D01 : FUSEN : D02",
                   "D01 : FUSEN : D02"},
                  {2, 3, 4, 5}},
        TwiceCase{"every house twice", {"D01 : FUSEN : D_ALL", "D01 : JUUZOKU : D_ALL"}, {2}},
        TwiceCase{"enmity and neutrality are no bonds",
                  {"D01 : SHUKUTEKI : D02", "D02 : FUSEN : D01", "D01 : NOTHING : D02"},
                  {}},
        TwiceCase{"other pairs", {"D01 : FUSEN : D02", "D01 : FUSEN : D03", "D01 : FUSEN : D_ALL"}, {}}),
    [](const auto& info) { return CaseName(info.param.name); });

class DoumeiErrors : public ::testing::TestWithParam<SectionErrorCase> {};

TEST_P(DoumeiErrors, ReportTheCodeOnItsLine) {
    ExpectSectionError(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    World, DoumeiErrors,
    ::testing::Values(
        SectionErrorCase{"first house unknown", 11, {"Doumei {", "D09 : FUSEN : D02", "}"}, 2, 14},
        SectionErrorCase{"second house unknown", 11, {"Doumei {", "D01 : FUSEN : D09", "}"}, 2, 14},
        SectionErrorCase{"every house in lower case", 11, {"Doumei {", "D01 : FUSEN : d_all", "}"}, 2, 14},
        SectionErrorCase{"unknown type", 11, {"Doumei {", "D01 : DOUMEI : D02", "}"}, 2, 20},
        SectionErrorCase{"type ends the line", 11, {"Doumei {", "D01 : FUSEN", "}"}, 2, 4},
        SectionErrorCase{"line running on", 11, {"Doumei {", "D01 : FUSEN : D02 : D03", "}"}, 2, 4},
        SectionErrorCase{"house alone", 11, {"Doumei {", "D01", "}"}, 2, 4},
        SectionErrorCase{"cut off by the end of the file", 11, {"Doumei {", "D01 : FUSEN : D02"}, 3, 4}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(DoumeiSection, AtMost5000Lines) {
    std::vector<std::string> lines(5000, "D01 : SHUKUTEKI : D02");
    lines.push_back("D01 : SHUKUTEKI : D02");
    ScenarioText t = DoumeiWorld(lines);
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 19);
    EXPECT_EQ(run.Message(), ErrorText(19, World(11, false).LineCount() + 4 + 5001));
    EXPECT_EQ(run.gs->nScenarioDoumei, 5000);
}

}  // namespace
}  // namespace rymd::test
