#include <gtest/gtest.h>

#include <string>

#include "game/state/scenario_records.h"
#include "support/events_test_util.h"

namespace rymd::test {
namespace {

constexpr int kSyntax = 4;

TEST(TeppouKeywords, DefaultsWithoutTheKeywords) {
    ReaderRun run;
    ReadOk(run, "Title : x\n");
    const GameState& gs = *run.gs;
    EXPECT_EQ(gs.TeppouCost[0], 300.0);
    EXPECT_EQ(gs.TeppouCost[1], 1.0);
    EXPECT_EQ(gs.TeppouCost[2], 50.0);
    EXPECT_EQ(gs.TeppouSoubiRitsu[0], 0.0);
    EXPECT_EQ(gs.TeppouSoubiRitsu[1], 0.1);
    EXPECT_EQ(gs.TeppouSoubiRitsu[2], 50.0);
    EXPECT_EQ(gs.TeppouKouka, (std::array<std::uint8_t, 4>{10, 10, 10, 10}));
}

TEST(TeppouKeywords, ValuesAreRead) {
    ReaderRun run;
    ReadOk(
        run,
        "TeppouCost : 250 : .5 : 40.\nTeppouSoubiRitsu : -1.5 : +0.2 : 60\nTeppouKouka : 0 : 100 : 5 : 7\n");
    const GameState& gs = *run.gs;
    EXPECT_EQ(gs.TeppouCost[0], 250.0);
    EXPECT_EQ(gs.TeppouCost[1], 0.5);
    EXPECT_EQ(gs.TeppouCost[2], 40.0);
    EXPECT_EQ(gs.TeppouSoubiRitsu[0], -1.5);
    EXPECT_EQ(gs.TeppouSoubiRitsu[1], 0.2);
    EXPECT_EQ(gs.TeppouSoubiRitsu[2], 60.0);
    EXPECT_EQ(gs.TeppouKouka, (std::array<std::uint8_t, 4>{0, 100, 5, 7}));
}

TEST(TeppouKeywords, AnEffectOutOfRangeKeepsTheValuesBeforeIt) {
    ReaderRun run;
    EXPECT_EQ(run.Read("TeppouKouka : 20 : 30 : 101 : 5\n"), 59);
    EXPECT_EQ(run.Message(), ErrorText(59, 1));
    EXPECT_EQ(run.gs->TeppouKouka, (std::array<std::uint8_t, 4>{20, 30, 10, 10}));
}

TEST(TeppouSections, PurchasePlacesAndProduction) {
    ReaderRun run;
    // Leftovers of an earlier game must not survive in a declared place.
    run.gs->TeppouKounyuuTbl[0].currentOffer = 9.0;
    ReadOk(run,
           "TeppouKounyuu {\n"
           "T1 : 堺 : 1543 : 500 : 2.5 : 100 : 10 : 1 : 300\n"
           "T2 : 国友 : 1550 : 400 : 1 : 80 : 5 : .5 : 200\n"
           "}\n"
           "TeppouKounyuuMonth {\n"
           "T1 : 2 : K02\n"
           "T2 : -1 : K_ALL\n"
           "T1 : 300 : K03 : K01\n"
           "}\n"
           "TeppouSeisan {\n"
           "K02 : 1560 : 1 : 0.5 : 30\n"
           "K03 : 1570 : 2 : 1 : 10\n"
           "K03 : 1575 : 3 : 1 : 20\n"
           "}\n");
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.nTeppouKounyuu, 2);
    const TeppouKounyuuRecord& sakai = gs.TeppouKounyuuTbl[0];
    EXPECT_EQ(sakai.name, "堺");
    EXPECT_EQ(sakai.startYear, 1543);
    EXPECT_EQ(sakai.initPrice, 500.0);
    EXPECT_EQ(sakai.priceDecrease, 2.5);
    EXPECT_EQ(sakai.priceFloor, 100.0);
    EXPECT_EQ(sakai.initOffer, 10.0);
    EXPECT_EQ(sakai.offerIncrease, 1.0);
    EXPECT_EQ(sakai.offerCap, 300.0);
    EXPECT_EQ(sakai.currentOffer, 0.0);
    EXPECT_EQ(sakai.months[0], 44);  // 300 kept in a signed byte
    EXPECT_EQ(sakai.months[1], 2);
    EXPECT_EQ(sakai.months[2], 44);
    EXPECT_EQ(sakai.months[100], 4);
    const TeppouKounyuuRecord& kunitomo = gs.TeppouKounyuuTbl[1];
    EXPECT_EQ(kunitomo.name, "国友");
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(kunitomo.months[static_cast<std::size_t>(k)], -1);
    EXPECT_EQ(gs.NameIndex.FindInList(8, "T2"), 1);

    EXPECT_EQ(gs.TeppouSeisanTbl[0].initRate, 0.0);
    EXPECT_EQ(gs.TeppouSeisanTbl[1].startYear, 1560);
    EXPECT_EQ(gs.TeppouSeisanTbl[1].initRate, 1.0);
    EXPECT_EQ(gs.TeppouSeisanTbl[1].increase, 0.5);
    EXPECT_EQ(gs.TeppouSeisanTbl[1].cap, 30.0);
    EXPECT_EQ(gs.TeppouSeisanTbl[2].startYear, 1575);  // a second line overwrites the first
    EXPECT_EQ(gs.TeppouSeisanTbl[2].initRate, 3.0);
    EXPECT_EQ(gs.TeppouSeisanTbl[2].cap, 20.0);
}

TEST(TeppouSections, TenPurchasePlacesAndNoMore) {
    std::string text = "TeppouKounyuu {\n";
    for (int i = 0; i < 10; ++i)
        text += "T" + std::to_string(i) + " : 堺 : 1543 : 500 : 2.5 : 100 : 10 : 1 : 300\n";
    ReaderRun ok;
    ReadOk(ok, text + "}\n");
    EXPECT_EQ(ok.gs->nTeppouKounyuu, 10);
    ReaderRun over;
    EXPECT_EQ(over.Read(text + "X : 堺 : 1543 : 500 : 2.5 : 100 : 10 : 1 : 300\n}\n"), 52);
    EXPECT_EQ(over.Message(), ErrorText(52, 12));
}

class TeppouErrors : public ::testing::TestWithParam<LineErrorCase> {};

TEST_P(TeppouErrors, ReportTheCodeOnItsLine) {
    ScenarioText prefix;
    prefix.Add({"TeppouKounyuu {", "T1 : 堺 : 1543 : 500 : 2.5 : 100 : 10 : 1 : 300", "}"});
    ExpectLineError(prefix, GetParam());
}

const std::string kPlaceValues = " : 1543 : 500 : 2.5 : 100 : 10 : 1 : 300";

INSTANTIATE_TEST_SUITE_P(
    Section, TeppouErrors,
    ::testing::Values(
        LineErrorCase{"cost not a decimal", {"TeppouCost : 300 : 1e1 : 50"}, 1, 57},
        LineErrorCase{"cost with two points", {"TeppouCost : 1.2.3 : 1 : 50"}, 1, 57},
        LineErrorCase{"cost with two values", {"TeppouCost : 300 : 1"}, 1, kSyntax},
        LineErrorCase{"cost with four values", {"TeppouCost : 300 : 1 : 50 : 1"}, 1, kSyntax},
        LineErrorCase{"ratio not a decimal", {"TeppouSoubiRitsu : a : 1 : 50"}, 1, 57},
        LineErrorCase{"effect not an integer", {"TeppouKouka : 1 : 2.5 : 3 : 4"}, 1, 22},
        LineErrorCase{"effect below 0", {"TeppouKouka : -1 : 2 : 3 : 4"}, 1, 59},
        LineErrorCase{"effect with three values", {"TeppouKouka : 1 : 2 : 3"}, 1, kSyntax},
        LineErrorCase{"place identifier alone", {"TeppouKounyuu {", "T2", "}"}, 2, kSyntax},
        LineErrorCase{"place identifier of 26 bytes",
                      {"TeppouKounyuu {", std::string(26, 'T') + " : 堺" + kPlaceValues, "}"},
                      2,
                      53},
        LineErrorCase{
            "place identifier defined twice", {"TeppouKounyuu {", "T1 : 堺" + kPlaceValues, "}"}, 2, 54},
        LineErrorCase{"place name of 21 bytes",
                      {"TeppouKounyuu {", "T2 : " + std::string(21, 'n') + kPlaceValues, "}"},
                      2,
                      55},
        LineErrorCase{"place start year not an integer",
                      {"TeppouKounyuu {", "T2 : 堺 : 1543.5 : 500 : 2.5 : 100 : 10 : 1 : 300", "}"},
                      2,
                      22},
        LineErrorCase{"place price not a decimal",
                      {"TeppouKounyuu {", "T2 : 堺 : 1543 : 500 : x : 100 : 10 : 1 : 300", "}"},
                      2,
                      57},
        LineErrorCase{"place line short",
                      {"TeppouKounyuu {", "T2 : 堺 : 1543 : 500 : 2.5 : 100 : 10 : 1", "}"},
                      2,
                      kSyntax},
        LineErrorCase{
            "place line long", {"TeppouKounyuu {", "T2 : 堺" + kPlaceValues + " : 1", "}"}, 2, kSyntax},
        LineErrorCase{"months of an unknown place", {"TeppouKounyuuMonth {", "T9 : 1 : K01", "}"}, 2, 56},
        LineErrorCase{"months not an integer", {"TeppouKounyuuMonth {", "T1 : x : K01", "}"}, 2, 22},
        LineErrorCase{"months without provinces", {"TeppouKounyuuMonth {", "T1 : 1", "}"}, 2, kSyntax},
        LineErrorCase{
            "months of an unknown province", {"TeppouKounyuuMonth {", "T1 : 1 : K01 : K04", "}"}, 2, 13},
        LineErrorCase{
            "production of an unknown province", {"TeppouSeisan {", "K09 : 1560 : 1 : 1 : 1", "}"}, 2, 13},
        LineErrorCase{
            "production year not an integer", {"TeppouSeisan {", "K01 : x : 1 : 1 : 1", "}"}, 2, 22},
        LineErrorCase{
            "production rate not a decimal", {"TeppouSeisan {", "K01 : 1560 : 1 : 1 : 1..", "}"}, 2, 57},
        LineErrorCase{"production line short", {"TeppouSeisan {", "K01 : 1560 : 1 : 1", "}"}, 2, kSyntax}),
    [](const auto& info) { return CaseName(info.param.name); });

}  // namespace
}  // namespace rymd::test
