#include "game/turn/monthly_tallies.h"

#include <gtest/gtest.h>

#include "game/state/game_state.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

constexpr SuppressionPolicy kShowAll{};
constexpr SuppressionPolicy kAutoAdvance{true, false, false};

// ---------------------------------------------------------------------------------------------
// Strength history

struct TrendCase {
    int now;
    int twoAgo;
    int elevenAgo;
    int trend;
};

class StrengthTrendTest : public ::testing::TestWithParam<TrendCase> {};

TEST_P(StrengthTrendTest, SumOfBothComparisons) {
    const TrendCase& c = GetParam();
    std::array<std::int16_t, 12> h{};
    h.fill(77);
    h[0] = static_cast<std::int16_t>(c.now);
    h[2] = static_cast<std::int16_t>(c.twoAgo);
    h[11] = static_cast<std::int16_t>(c.elevenAgo);
    EXPECT_EQ(StrengthTrendOf(h), c.trend);
}

INSTANTIATE_TEST_SUITE_P(Table, StrengthTrendTest,
                         ::testing::Values(TrendCase{20, 30, 10, 0},    // +10 and -10
                                           TrendCase{20, 20, 19, 1},    // any positive sum
                                           TrendCase{20, 21, 20, 255},  // any negative sum
                                           TrendCase{5, 5, 5, 0}, TrendCase{0, 0, 100, 255}));

TEST(RecordDaimyouStrength, ShiftsTheHistoryAndCountsVassalsForTheirMaster) {
    TestWorld w({.castles = 4, .houses = 3});
    w.Own(2, 1);
    w.Own(3, 1);
    w.gs.DaimyouTbl[1].bond = CDaimyou::kBondShinjuu;
    w.gs.DaimyouTbl[1].masterDaimyou = 0;
    for (int d = 0; d < 3; ++d)
        for (int i = 0; i < 12; ++i)
            w.gs.DaimyouTbl[d].strengthHistory[static_cast<std::size_t>(i)] =
                static_cast<std::int16_t>(i + 1);
    RecordDaimyouStrength(w.gs);
    const CDaimyou& h0 = w.gs.DaimyouTbl[0];
    EXPECT_EQ(h0.strengthHistory[0], 12);  // 2 castles x 5 + 2 vassal castles
    for (int i = 1; i < 12; ++i)
        EXPECT_EQ(h0.strengthHistory[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(h0.strengthTrend, 1);  // (12 - 11) + (12 - 2)
    EXPECT_EQ(w.gs.DaimyouTbl[1].strengthHistory[0], 10);
    EXPECT_EQ(w.gs.DaimyouTbl[2].strengthHistory[0], 0);
    EXPECT_EQ(w.gs.DaimyouTbl[2].strengthTrend, 255);
}

// ---------------------------------------------------------------------------------------------
// Trade-ship voyages

TEST(DecrementShiroCountdowns, OnlyVoyagesAtSeaFromPorts) {
    TestWorld w({.castles = 2, .houses = 1});
    w.gs.ShiroMapTbl[0].flags = ShiroMapRecord::kFlagPort;
    auto& port = w.gs.ShiroTbl[0].voyage;
    port[0] = ShiroOrderSlot{3, 1, 2, 4};
    port[1] = ShiroOrderSlot{0, 1, 5, 4};
    port[2] = ShiroOrderSlot{2, 1, 0, 4};  // its settlement has not paid it yet
    port[3] = ShiroOrderSlot{1, 1, 1, 4};
    w.gs.ShiroTbl[1].voyage[0] = ShiroOrderSlot{3, 1, 2, 4};
    DecrementShiroCountdowns(w.gs);
    EXPECT_EQ(port[0].monthsLeft, 1);
    EXPECT_EQ(port[1].monthsLeft, 5);
    EXPECT_EQ(port[2].monthsLeft, 0);
    EXPECT_EQ(port[3].monthsLeft, 0);
    EXPECT_EQ(w.gs.ShiroTbl[1].voyage[0].monthsLeft, 2);
}

// ---------------------------------------------------------------------------------------------
// Warship completion

// Castles 0-1-2 joined by sea lanes, castle 3 by road to 0; all the player's (house 0).
struct GunsenWorld : TestWorld {
    GunsenWorld() : TestWorld({.castles = 4, .houses = 3}) {
        Link(0, 1, 3);
        Link(1, 2, 3);
        Link(0, 3, 0);
        for (int c = 0; c < 4; ++c)
            gs.ShiroMapTbl[c].flags = ShiroMapRecord::kFlagWaterway;
    }
    void Build(int shiro, int ships, int months, int builder = 0) {
        gs.ShiroTbl[shiro].gunsenBuilding = static_cast<std::uint8_t>((months << 4) | ships);
        gs.ShiroTbl[shiro].gunsenBuilder = static_cast<std::int16_t>(builder);
    }
    void Fleet(int shiro, int ships, int owner = 0) {
        gs.GunsenTable.records[gs.GunsenTable.count++] =
            GunsenRecord{0, static_cast<std::int16_t>(owner), static_cast<std::int16_t>(shiro),
                         static_cast<std::int16_t>(ships), GunsenRecord::kNoDestination};
    }
    int At(int shiro) const { return gs.GunsenTable.GetGunsenAtShiro(shiro); }
};

TEST(CompleteGunsen, CountsDownAndLaunches) {
    GunsenWorld w;
    w.Build(0, 2, 3);
    w.Build(3, 5, 1);
    const std::string report = CompleteGunsen(w.gs, w.map, w.ports, kShowAll);
    EXPECT_EQ(w.gs.ShiroTbl[0].gunsenBuilding, (2 << 4) | 2);
    EXPECT_EQ(w.gs.ShiroTbl[3].gunsenBuilding, 0);
    EXPECT_EQ(w.At(3), 5);
    EXPECT_EQ(report, "国3の城3で5隻の軍船が完成しました\n");
    const auto reports = w.port.CallsOf(PortCallKind::Report);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].reportKind, ReportKind::GunsenComplete);
    EXPECT_EQ(reports[0].text, "軍船完成");
    EXPECT_EQ(reports[0].details,
              (std::vector<std::string>{"以下の軍船が完成しました", "国3の城3で5隻の軍船が完成しました"}));
}

TEST(CompleteGunsen, WorkIsLostWhenTheCastlePassesToAnotherSide) {
    GunsenWorld w;
    w.Own(1, 1);  // another house
    w.Build(1, 4, 2);
    w.Own(2, 2);  // a vassal of the builder: the same side
    w.gs.DaimyouTbl[2].bond = CDaimyou::kBondShinjuu;
    w.gs.DaimyouTbl[2].masterDaimyou = 0;
    w.Build(2, 4, 2);
    w.Own(3, -1);  // nobody's
    w.Build(3, 4, 1, -1);
    CompleteGunsen(w.gs, w.map, w.ports, kShowAll);
    EXPECT_EQ(w.gs.ShiroTbl[1].gunsenBuilding, 0);
    EXPECT_EQ(w.gs.ShiroTbl[2].gunsenBuilding, (1 << 4) | 4);
    EXPECT_EQ(w.gs.ShiroTbl[3].gunsenBuilding, 0);
    EXPECT_EQ(w.gs.GunsenTable.count, 0u);
}

TEST(CompleteGunsen, SurplusSailsToTheNearestCastleWithRoom) {
    GunsenWorld w;
    w.Fleet(0, 190);
    w.Build(0, 15, 1);
    const std::string report = CompleteGunsen(w.gs, w.map, w.ports, kShowAll);
    EXPECT_EQ(w.At(0), 200);
    EXPECT_EQ(w.At(1), 5);
    EXPECT_EQ(report,
              "国0の城0で15隻の軍船が完成しました\n（城の軍船最大数を超えるので5隻が城1に移動されました）\n");
}

TEST(CompleteGunsen, FullOrBlockadedCastlesAreSkippedAndNoRoomLosesTheSurplus) {
    {
        GunsenWorld w;
        w.Fleet(0, 190);
        w.Fleet(1, 196);  // 196 + 5 > 200
        w.Build(0, 15, 1);
        CompleteGunsen(w.gs, w.map, w.ports, kShowAll);
        EXPECT_EQ(w.At(1), 196);
        EXPECT_EQ(w.At(2), 5);
    }
    {
        GunsenWorld w;
        w.Fleet(0, 190);
        w.gs.ShiroTbl[1].blockadeDaimyou = 2;
        w.gs.ShiroTbl[2].blockadeDaimyou = 2;
        w.Build(0, 15, 1);
        const std::string report = CompleteGunsen(w.gs, w.map, w.ports, kShowAll);
        EXPECT_EQ(w.At(0), 200);
        EXPECT_EQ(w.At(1) + w.At(2) + w.At(3), 0);
        EXPECT_EQ(
            report,
            "国0の城0で15隻の軍船が完成しました\n（城の軍船最大数を超えるので5隻が配備できませんでした）\n");
    }
}

TEST(CompleteGunsen, ScenarioWordsOtherHousesAndAutomaticAdvance) {
    {
        GunsenWorld w;
        w.gs.ScenarioWords[kWordGunsen] = "戦艦";
        w.gs.ScenarioWords[kWordShiro] = "砦";
        w.Fleet(0, 200);
        w.Build(0, 3, 1);
        const std::string report = CompleteGunsen(w.gs, w.map, w.ports, kShowAll);
        EXPECT_EQ(
            report,
            "国0の城0で3隻の戦艦が完成しました\n（砦の戦艦最大数を超えるので3隻が城1に移動されました）\n");
        EXPECT_EQ(w.port.CallsOf(PortCallKind::Report)[0].text, "戦艦完成");
    }
    {
        // Words that look like printf conversions are shown as written.
        GunsenWorld w;
        w.gs.ScenarioWords[kWordGunsen] = "船%d";
        w.gs.ScenarioWords[kWordShiro] = "%s%s%s%s%n";
        w.Fleet(0, 200);
        w.Build(0, 3, 1);
        w.Build(3, 2, 1);
        EXPECT_EQ(CompleteGunsen(w.gs, w.map, w.ports, kShowAll),
                  "国0の城0で3隻の船%dが完成しました\n（%s%s%s%s%nの船%"
                  "d最大数を超えるので3隻が城1に移動されました）\n"
                  "国3の城3で2隻の船%dが完成しました\n");
    }
    {
        GunsenWorld w;
        w.Own(3, 1);
        w.Build(3, 2, 1, 1);
        EXPECT_EQ(CompleteGunsen(w.gs, w.map, w.ports, kShowAll), "");
        EXPECT_EQ(w.At(3), 2);
        EXPECT_TRUE(w.port.Calls().empty());
    }
    {
        GunsenWorld w;
        w.Build(3, 2, 1);
        EXPECT_FALSE(CompleteGunsen(w.gs, w.map, w.ports, kAutoAdvance).empty());
        EXPECT_TRUE(w.port.Calls().empty());
    }
}

}  // namespace
}  // namespace rymd
