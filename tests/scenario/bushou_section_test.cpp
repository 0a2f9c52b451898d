// The Bushou section: the generals' scenario records of each version, limits and messages.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/world_test_util.h"

namespace rymd::test {
namespace {

// The fields of a general line; Line(v) writes those of version v in order.
struct BushouFields {
    std::string id = "B01", name = "武将", buyuu = "5", seiji = "6", chibou = "7", yasen = "8", suigun = "9",
                chuusei = "4", yashin = "3", cavalry = "0", foot = "0", muskets = "0", birth = "1530",
                death = "1590", deathType = "BYOUSHI", appear = "0", house = "D01", rank = "1",
                location = "S01", description = "\"\"";

    std::string Line(int v) const {
        std::vector<std::string> f;
        if (v >= 10) f.push_back(id);
        f.insert(f.end(), {name, buyuu, seiji, chibou});
        if (v >= 5) f.insert(f.end(), {yasen, suigun});
        f.insert(f.end(), {chuusei, yashin, cavalry, foot, muskets, birth, death});
        if (v >= 7) f.push_back(deathType);
        f.insert(f.end(), {appear, house, rank, location});
        if (v >= 7) f.push_back(description);
        std::string s;
        for (const auto& x : f)
            s += (s.empty() ? "" : " : ") + x;
        return s;
    }
};

// Reads World(v) and one Bushou section of the given lines; extra scalar lines go first.
int ReadBushou(ReaderRun& run, int v, const std::vector<std::string>& lines,
               const std::string& scalars = "") {
    ScenarioText t = World(v);
    std::string text = scalars + t.Text() + "Bushou {\n";
    for (const auto& l : lines)
        text += l + "\n";
    text += "}\n";
    return run.Read(text);
}

// --- troops ----------------------------------------------------------------------------------

struct TroopCase {
    const char* name;
    int version;
    int heiUnit;
    std::string cavalry, foot, muskets;
    int code;  // 0: read
    std::int16_t cavalryUnits = 0, footUnits = 0, musketUnits = 0;
};

class BushouTroops : public ::testing::TestWithParam<TroopCase> {};

TEST_P(BushouTroops, AreLimitedInSoldiersAndStoredInUnits) {
    const TroopCase& c = GetParam();
    BushouFields f;
    f.cavalry = c.cavalry;
    f.foot = c.foot;
    f.muskets = c.muskets;
    ReaderRun run;
    const int result =
        ReadBushou(run, c.version, {f.Line(c.version)}, "HeiUnit : " + std::to_string(c.heiUnit) + "\n");
    ASSERT_EQ(result, c.code) << run.Message();
    if (c.code != kScnOk) {
        EXPECT_EQ(run.Message(), ErrorText(c.code, World(c.version).LineCount() + 3));
        return;
    }
    const BushouExRecord& b = run.gs->BushouExTbl[0];
    EXPECT_EQ(b.cavalry, c.cavalryUnits);
    EXPECT_EQ(b.foot, c.footUnits);
    EXPECT_EQ(b.muskets, c.musketUnits);
}

INSTANTIATE_TEST_SUITE_P(
    World, BushouTroops,
    ::testing::Values(TroopCase{"v1 tens of units", 1, 10, "20", "50", "50", 0, 200, 500, 500},
                      TroopCase{"v1 cavalry over the limit", 1, 10, "21", "0", "0", 29},
                      TroopCase{"v1 with unit 1", 1, 1, "200", "500", "1", 0, 2000, 5000, 10},
                      TroopCase{"v1 with unit 1 over the limit", 1, 1, "201", "0", "0", 29},
                      TroopCase{"v3 units", 3, 10, "200", "500", "499", 0, 200, 500, 499},
                      TroopCase{"v3 foot over the limit", 3, 10, "0", "501", "0", 30},
                      TroopCase{"v6 soldiers cut to units", 6, 10, "1995", "5000", "9", 0, 199, 500, 0},
                      TroopCase{"v6 muskets over the limit", 6, 10, "0", "0", "5001", 31},
                      TroopCase{"v6 negative cavalry", 6, 10, "-1", "0", "0", 29},
                      TroopCase{"v6 unit 1", 6, 1, "2000", "5000", "5000", 0, 2000, 5000, 5000},
                      TroopCase{"huge value does not wrap", 1, 10, "2147483647", "0", "0", 29}),
    [](const auto& info) { return CaseName(info.param.name); });

// --- abilities, years, house and location ----------------------------------------------------

TEST(BushouSection, V1LineFillsTheRecordAndMakesTheIdentifier) {
    ReaderRun run;
    BushouFields f;
    BushouFields second;
    second.name = "二人目";
    ASSERT_EQ(ReadBushou(run, 1, {f.Line(1), second.Line(1)}), kScnOk) << run.Message();
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.nBushouEx, 2);
    const BushouExRecord& b = gs.BushouExTbl[0];
    EXPECT_EQ(b.name, "武将");
    EXPECT_EQ(b.buyuu, 5);
    EXPECT_EQ(b.seiji, 6);
    EXPECT_EQ(b.chibou, 7);
    EXPECT_EQ(b.yasenTousotsu, 7);  // as intellect before version 5
    EXPECT_EQ(b.suigunTousotsu, 3);
    EXPECT_EQ(b.chuusei, 4);
    EXPECT_EQ(b.yashin, 3);
    EXPECT_EQ(b.birthYear, 1530);
    EXPECT_EQ(b.deathYear, 1590);
    EXPECT_EQ(b.appearYear, 0);
    EXPECT_EQ(b.daimyou, 0);
    EXPECT_EQ(b.location, 0);
    EXPECT_EQ(b.successionRank, 1);
    EXPECT_EQ(b.birthMark, 0);
    EXPECT_EQ(b.textIndex, 0xFFFF);
    EXPECT_EQ(gs.BushouExTbl[1].name, "二人目");
    EXPECT_EQ(gs.NameIndex.FindBushou("B_00000"), 0);
    EXPECT_EQ(gs.NameIndex.FindBushou("B_00001"), 1);
}

TEST(BushouSection, V11LineWithIdentifierCommandsAndDescription) {
    ReaderRun run;
    BushouFields f;
    f.id = "信長";
    f.description = "\"尾張の大うつけ\\n天下布武\"";
    f.rank = "-1";
    f.appear = "1560";
    ASSERT_EQ(ReadBushou(run, 11, {f.Line(11)}), kScnOk) << run.Message();
    const BushouExRecord& b = run.gs->BushouExTbl[0];
    EXPECT_EQ(b.yasenTousotsu, 8);
    EXPECT_EQ(b.suigunTousotsu, 9);
    EXPECT_EQ(b.successionRank, -1);
    EXPECT_EQ(b.appearYear, 1560);
    ASSERT_EQ(b.textIndex, 0);
    EXPECT_EQ(run.gs->ScenarioTextPool[0], "尾張の大うつけ\n天下布武");
    EXPECT_EQ(run.gs->NameIndex.FindBushou(FromUtf8("信長", TextEncoding::ShiftJis)), 0);
}

TEST(BushouSection, IdentifiersMayRepeatAndLookupsFindTheFirst) {
    ReaderRun run;
    BushouFields a, b;
    b.name = "別人";
    ASSERT_EQ(ReadBushou(run, 10, {a.Line(10), b.Line(10)}), kScnOk) << run.Message();
    EXPECT_EQ(run.gs->nBushouEx, 2);
    EXPECT_EQ(run.gs->NameIndex.FindBushou("B01"), 0);
}

struct YearCase {
    const char* name;
    int standardAge;
    std::string birth, death, deathType;
    std::int16_t birthYear, deathYear;
    std::uint8_t mark;
};

class BushouYears : public ::testing::TestWithParam<YearCase> {};

TEST_P(BushouYears, BirthMarksAndDeathTypes) {
    const YearCase& c = GetParam();
    BushouFields f;
    f.birth = c.birth;
    f.death = c.death;
    f.deathType = c.deathType;
    ReaderRun run;
    ASSERT_EQ(ReadBushou(run, 11, {f.Line(11)}, "StandardAge : " + std::to_string(c.standardAge) + "\n"),
              kScnOk)
        << run.Message();
    const BushouExRecord& b = run.gs->BushouExTbl[0];
    EXPECT_EQ(b.birthYear, c.birthYear);
    EXPECT_EQ(b.deathYear, c.deathYear);
    EXPECT_EQ(b.birthMark, c.mark);
}

INSTANTIATE_TEST_SUITE_P(
    World, BushouYears,
    ::testing::Values(
        YearCase{"killed young lives to the standard age", 60, "1550", "1570", "SENSHI", 1550, 1610, 0},
        YearCase{"killed old keeps his year", 60, "1550", "1615", "SENSHI", 1550, 1615, 0},
        YearCase{"executed young", 50, "1550", "1570", "SHOKEI", 1550, 1600, 0},
        YearCase{"illness keeps his year", 60, "1550", "1570", "BYOUSHI", 1550, 1570, 0},
        YearCase{"unknown end at the standard age", 60, "1550", "1600", "UNKNOWN", 1550, 1610, 0},
        YearCase{"uncertain birth", 60, "1560?", "1600", "BYOUSHI", 1560, 1600, 1},
        YearCase{"noted birth", 60, "1560*", "1600", "BYOUSHI", 1560, 1600, 2}),
    [](const auto& info) { return CaseName(info.param.name); });

struct PlaceCase {
    const char* name;
    std::string house, location;
    std::int16_t daimyou;
    std::uint16_t place;
};

class BushouPlaces : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(BushouPlaces, HouseAndLocation) {
    const PlaceCase& c = GetParam();
    BushouFields f;
    f.house = c.house;
    f.location = c.location;
    ReaderRun run;
    ASSERT_EQ(ReadBushou(run, 11, {f.Line(11)}), kScnOk) << run.Message();
    EXPECT_EQ(run.gs->BushouExTbl[0].daimyou, c.daimyou);
    EXPECT_EQ(run.gs->BushouExTbl[0].location, c.place);
}

INSTANTIATE_TEST_SUITE_P(World, BushouPlaces,
                         ::testing::Values(PlaceCase{"house and castle", "D02", "S03", 1, 2},
                                           PlaceCase{"free general", "D_FREE", "S02", -2, 1},
                                           PlaceCase{"house in parentheses", "(D02)", "S01",
                                                     static_cast<std::int16_t>(0x8001), 0},
                                           PlaceCase{"province", "D01", "K02", 0, 0x8001}),
                         [](const auto& info) { return CaseName(info.param.name); });

TEST(BushouSection, ALocationNamingACastleAndAProvinceIsTheCastle) {
    ReaderRun run;
    ScenarioText t = World(11);
    t.Add({"Shiro {", ShiroLine(11, "K01", "K03", "D01"), "}", "Bushou {"});
    BushouFields f;
    f.location = "K01";
    t.Add(f.Line(11));
    t.Add("}");
    ASSERT_EQ(run.Read(t.Text()), kScnOk) << run.Message();
    EXPECT_EQ(run.gs->BushouExTbl[0].location, 3);
}

// --- errors ----------------------------------------------------------------------------------

struct BushouErrorCase {
    const char* name;
    int version;
    std::function<void(BushouFields&)> change;
    int code;
    std::string suffix = "";  // appended to the line
};

class BushouErrors : public ::testing::TestWithParam<BushouErrorCase> {};

TEST_P(BushouErrors, ReportTheCodeOnItsLine) {
    const BushouErrorCase& c = GetParam();
    BushouFields f;
    c.change(f);
    ReaderRun run;
    BushouFields ok;
    EXPECT_EQ(ReadBushou(run, c.version, {ok.Line(c.version), f.Line(c.version) + c.suffix}), c.code);
    EXPECT_EQ(run.Message(), ErrorText(c.code, World(c.version).LineCount() + 3));
    EXPECT_EQ(run.gs->nBushouEx, 1);
}

#define CHANGE(expr) [](BushouFields& f) { expr; }

INSTANTIATE_TEST_SUITE_P(
    World, BushouErrors,
    ::testing::Values(BushouErrorCase{"id of 26 bytes", 10, CHANGE(f.id = std::string(26, 'B')), 111},
                      BushouErrorCase{"name of 21 bytes", 10, CHANGE(f.name = "一二三四五六七八九十X"), 18},
                      BushouErrorCase{"valour 11", 1, CHANGE(f.buyuu = "11"), 24},
                      BushouErrorCase{"politics -1", 1, CHANGE(f.seiji = "-1"), 25},
                      BushouErrorCase{"intellect 11", 1, CHANGE(f.chibou = "11"), 26},
                      BushouErrorCase{"field command 11", 5, CHANGE(f.yasen = "11"), 75},
                      BushouErrorCase{"naval command 11", 5, CHANGE(f.suigun = "11"), 76},
                      BushouErrorCase{"loyalty 11", 1, CHANGE(f.chuusei = "11"), 27},
                      BushouErrorCase{"ambition 11", 1, CHANGE(f.yashin = "11"), 28},
                      BushouErrorCase{"valour not an integer", 1, CHANGE(f.buyuu = "五"), 22},
                      BushouErrorCase{"lone question mark", 1, CHANGE(f.birth = "?"), 22},
                      BushouErrorCase{"death year not an integer", 1, CHANGE(f.death = "1590?"), 22},
                      BushouErrorCase{"unknown death type", 7, CHANGE(f.deathType = "ROUSHI"), 102},
                      BushouErrorCase{"appearance not an integer", 1, CHANGE(f.appear = "x"), 22},
                      BushouErrorCase{"unknown house", 1, CHANGE(f.house = "D09"), 14},
                      BushouErrorCase{"empty parentheses", 1, CHANGE(f.house = "()"), 14},
                      BushouErrorCase{"free house in parentheses", 1, CHANGE(f.house = "(D_FREE)"), 14},
                      BushouErrorCase{"rank not an integer", 1, CHANGE(f.rank = "一"), 22},
                      BushouErrorCase{"unknown location", 1, CHANGE(f.location = "K09"), 50},
                      BushouErrorCase{"v6 line running on", 6, CHANGE((void)f), 4, " : x"}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(BushouSection, LinesCutShortAreSyntaxErrors) {
    struct Case {
        int version;
        std::string line;
    };
    BushouFields f;
    std::string v7 = f.Line(7);
    const Case cases[] = {
        {7, v7.substr(0, v7.rfind(" : "))},  // the description missing
        {1, "武将"},                         // the name alone
        {10, "B01"},                         // the identifier alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ReaderRun run;
        EXPECT_EQ(ReadBushou(run, c.version, {c.line}), 4);
        EXPECT_EQ(run.Message(), ErrorText(4, World(c.version).LineCount() + 2));
    }
}

TEST(BushouSection, AtMost30000Generals) {
    BushouFields f;
    std::vector<std::string> lines(30000, f.Line(10));
    lines.push_back(f.Line(10));
    ReaderRun run;
    EXPECT_EQ(ReadBushou(run, 10, lines), 17);
    EXPECT_EQ(run.Message(), ErrorText(17, World(10).LineCount() + 2 + 30000));
    EXPECT_EQ(run.gs->nBushouEx, 30000);
}

}  // namespace
}  // namespace rymd::test
