#include <gtest/gtest.h>

#include <string>

#include "game/state/scenario_records.h"
#include "support/events_test_util.h"

namespace rymd::test {
namespace {

constexpr int kSyntax = 4;

const CTradingPartner& Partner(const ReaderRun& run, int i) {
    return run.gs->TradingPartnerTbl[static_cast<std::size_t>(i)];
}

TEST(TradingSections, TheFirstSectionMakesSeaTrainingFirst) {
    ReaderRun run;
    // Leftovers of an earlier game must not survive in a declared partner.
    run.gs->TradingPartnerTbl[2].friendliness[5] = 80;
    run.gs->TradingPartnerTbl[2].ports[1] = 1;
    ScenarioText t = World();
    t.Add({"Trading {", "P1 : 明国 : 300", "}", "TradingPartner {", "P2 : 南蛮", "}"});
    ReadOk(run, t.Text());
    ASSERT_EQ(run.gs->nTradingPartner, 3);

    const CTradingPartner& training = Partner(run, 0);
    EXPECT_EQ(training.name, "航海訓練");
    for (int k = 0; k < 250; ++k) {
        EXPECT_EQ(training.months[static_cast<std::size_t>(k)], 1);
        EXPECT_EQ(training.sales[static_cast<std::size_t>(k)], 0u);
    }
    EXPECT_EQ(training.ports[0], 1);
    EXPECT_EQ(training.ports[9999], 1);
    EXPECT_EQ(training.friendliness[0], 0);

    const CTradingPartner& ming = Partner(run, 1);
    EXPECT_EQ(ming.name, "明国");
    EXPECT_EQ(ming.months[0], 4);
    EXPECT_EQ(ming.months[249], 4);
    EXPECT_EQ(ming.sales[2], 300u);
    EXPECT_EQ(ming.ports[1], 1);  // every castle may sail to a Trading partner
    EXPECT_EQ(ming.ports[9999], 1);

    const CTradingPartner& nanban = Partner(run, 2);
    EXPECT_EQ(nanban.name, "南蛮");
    EXPECT_EQ(nanban.months[1], 4);
    EXPECT_EQ(nanban.sales[1], 0u);
    EXPECT_EQ(nanban.ports[1], 0);  // no port until TradingPort names one
    EXPECT_EQ(nanban.friendliness[5], 0);

    // Partner 0 has no identifier of its own.
    EXPECT_EQ(run.gs->NameIndex.FindInList(7, "P2"), 2);
    EXPECT_EQ(run.gs->NameIndex.NameAt(7, 0), "");
}

TEST(TradingSections, PortsMonthsAndSales) {
    ReaderRun run;
    ScenarioText t = World();
    t.Add({"TradingPartner {", "P1 : 明国", "P2 : 南蛮", "}", "TradingPort {", "P2 : S02", "P1 : S01 : S02",
           "}", "TradingKuni {", "P1 : -1 : 700 : K01 : K03", "P2 : 300 : 5 : K_ALL", "}", "TradingMonth {",
           "P2 : 2 : K02", "P1 : 6 : K_ALL", "}"});
    ReadOk(run, t.Text());
    const CTradingPartner& p1 = Partner(run, 1);
    const CTradingPartner& p2 = Partner(run, 2);
    EXPECT_EQ(p2.ports[0], 0);
    EXPECT_EQ(p2.ports[1], 1);
    EXPECT_EQ(p1.ports[0], 1);
    EXPECT_EQ(p1.ports[1], 1);

    // TradingMonth with K_ALL sets the months of every province and leaves the sales alone.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(p1.months[static_cast<std::size_t>(k)], 6);
    EXPECT_EQ(p1.sales[0], 700u);
    EXPECT_EQ(p1.sales[1], 0u);
    EXPECT_EQ(p1.sales[2], 700u);

    EXPECT_EQ(p2.months[0], 44);  // 300 kept in a signed byte
    EXPECT_EQ(p2.months[1], 2);
    EXPECT_EQ(p2.months[2], 44);
    EXPECT_EQ(p2.sales[1], 5u);
    EXPECT_EQ(p2.months[3], 4);  // beyond the map's provinces: as declared
}

TEST(TradingSections, UnreachableProvinces) {
    ReaderRun run;
    ReadOk(run, "TradingPartner {\nP1 : 明国\n}\nTradingKuni {\nP1 : -1 : 0 : K_ALL\n}\n");
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(Partner(run, 1).months[static_cast<std::size_t>(k)], -1);
}

TEST(TradingSections, OneHundredDeclaredPartnersAndNoMore) {
    std::string text = "TradingPartner {\n";
    for (int i = 0; i < 100; ++i)
        text += "P" + std::to_string(i) + " : 国\n";
    ReaderRun ok;
    ReadOk(ok, text + "}\n");
    EXPECT_EQ(ok.gs->nTradingPartner, 101);

    ReaderRun over;
    EXPECT_EQ(over.Read(text + "X : 国\n}\n"), 36);
    EXPECT_EQ(over.Message(), ErrorText(36, 102));
    EXPECT_EQ(over.gs->nTradingPartner, 101);
}

TEST(TradingSections, AScenarioWithoutTradingHasNoPartners) {
    ReaderRun run;
    ReadOk(run, "TradingPort {\n}\n");
    EXPECT_EQ(run.gs->nTradingPartner, 0);
}

class TradingErrors : public ::testing::TestWithParam<LineErrorCase> {};

TEST_P(TradingErrors, ReportTheCodeOnItsLine) {
    ScenarioText prefix = World();
    prefix.Add({"TradingPartner {", "P1 : 明国", "}"});
    ExpectLineError(prefix, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Section, TradingErrors,
    ::testing::Values(
        LineErrorCase{"identifier alone", {"Trading {", "P2", "}"}, 2, kSyntax},
        LineErrorCase{"identifier of 26 bytes", {"Trading {", std::string(26, 'P') + " : a : 1", "}"}, 2, 37},
        LineErrorCase{"identifier defined twice", {"TradingPartner {", "P1 : a", "}"}, 2, 38},
        LineErrorCase{"name of 21 bytes", {"Trading {", "P2 : " + std::string(21, 'n') + " : 1", "}"}, 2, 39},
        LineErrorCase{"trading name without sales", {"Trading {", "P2 : a", "}"}, 2, kSyntax},
        LineErrorCase{"sales not an integer", {"Trading {", "P2 : a : 1.5", "}"}, 2, 22},
        LineErrorCase{"sales followed by more", {"Trading {", "P2 : a : 1 : 2", "}"}, 2, kSyntax},
        LineErrorCase{"partner name followed by more", {"TradingPartner {", "P2 : a : 1", "}"}, 2, kSyntax},
        LineErrorCase{"port of an unknown partner", {"TradingPort {", "P9 : S01", "}"}, 2, 40},
        LineErrorCase{"port of sea training by an empty name", {"TradingPort {", "\"\" : S01", "}"}, 2, 40},
        LineErrorCase{"port of an unknown castle", {"TradingPort {", "P1 : S01 : S09", "}"}, 2, 15},
        LineErrorCase{"port line without castles", {"TradingPort {", "P1", "}"}, 2, kSyntax},
        LineErrorCase{"kuni of an unknown partner", {"TradingKuni {", "P9 : 1 : 1 : K01", "}"}, 2, 40},
        LineErrorCase{"kuni months not an integer", {"TradingKuni {", "P1 : x : 1 : K01", "}"}, 2, 22},
        LineErrorCase{"kuni without provinces", {"TradingKuni {", "P1 : 1 : 1", "}"}, 2, kSyntax},
        LineErrorCase{"kuni unknown province", {"TradingKuni {", "P1 : 1 : 1 : K01 : K09", "}"}, 2, 13},
        LineErrorCase{"month unknown province", {"TradingMonth {", "P1 : 1 : k_all", "}"}, 2, 13},
        LineErrorCase{"month without provinces", {"TradingMonth {", "P1 : 1", "}"}, 2, kSyntax},
        LineErrorCase{"month of an unknown partner", {"TradingMonth {", "P9 : 1 : K01", "}"}, 2, 40}),
    [](const auto& info) { return CaseName(info.param.name); });

}  // namespace
}  // namespace rymd::test
