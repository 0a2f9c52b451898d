#include "game/state/queries.h"
#include "game/military/placement.h"
#include "game/save/saved_game.h"
#include "game/state/house_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

TEST(Rounding, EdgeValues) {
    struct Case {
        double v;
        int up;
        int round;
    };
    for (const Case& c : {Case{2.1, 3, 2}, Case{-2.1, -3, -2}, Case{2.0, 2, 2}, Case{-0.5, -1, -1},
                          Case{0.49, 1, 0}, Case{2.5, 3, 3}, Case{-2.5, -3, -3}, Case{0.0, 0, 0}}) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(RoundUp(c.v), c.up);
        EXPECT_EQ(Round(c.v), c.round);
    }
    EXPECT_NEAR(NormalizeAngle(-1.0), 5.2831853, 1e-9);
    EXPECT_DOUBLE_EQ(NormalizeAngle(1.0), 1.0);
    EXPECT_GE(NormalizeAngle(-1e9), 0.0);
}

TEST(NumberToText, WholeNumbersInRangeAreIntegers) {
    EXPECT_EQ(NumberToText(3.0), "3");
    EXPECT_EQ(NumberToText(-7.0), "-7");
    EXPECT_EQ(NumberToText(3.5), "3.50000");
    EXPECT_EQ(NumberToText(4294967296.0), "4294967296.00000");
    EXPECT_EQ(NumberToText(-2147483648.0), "-2147483648");
}

TEST(GetFolderOfPath, KeepsTheFolderWithItsSeparator) {
    EXPECT_EQ(GetFolderOfPath("/a/b/c.snr"), "/a/b/");
    EXPECT_EQ(GetFolderOfPath("C:\\x\\y.snr"), "C:\\x\\");
    EXPECT_EQ(GetFolderOfPath("c.snr"), "");
}

// Houses: 0 with vassal 1 and subordinate 2; castles 0..3 owned 0, 0, 1, 2; castle 1 in corps 5.
struct Realm : TestWorld {
    Realm() : TestWorld({.castles = 4, .houses = 3}) {
        MakeVassal(1, 0);
        MakeSubordinate(2, 0);
        Own(2, 1);
        Own(3, 2);
        gs.ShiroTbl[1].gundan = 5;
        const int values[4][4] = {
            {1000, 100, 3, 10}, {2000, 200, 5, 20}, {4000, 400, 7, 40}, {8000, 800, 11, 80}};
        for (int c = 0; c < 4; ++c) {
            CShiro& s = gs.ShiroTbl[static_cast<std::size_t>(c)];
            s.kokudaka = static_cast<std::uint32_t>(values[c][0]);
            s.keizai = static_cast<std::int16_t>(values[c][1]);
            s.kouzan = static_cast<std::int16_t>(values[c][2]);
            s.shubihei = static_cast<std::int16_t>(values[c][3]);
        }
        gs.DaimyouTbl[0].kouzanGijutsu = 1500;
        AddBushou(0, 0, {.foot = 100, .cavalry = 10});
        AddBushou(0, 1, {.foot = 200, .cavalry = 20, .gundan = 5});
        AddBushou(1, 2, {.foot = 400, .cavalry = 40});
        AddBushou(2, 3, {.foot = 800, .cavalry = 80});
        AddBushou(-1, 0, {.foot = 1600, .cavalry = 160});  // masterless: counts for no house
        gs.BushouTbl[0].muskets = 7;
        gs.BushouTbl[2].muskets = 9;
    }
};

TEST(Sums, OwnCorpsAndCountedCastles) {
    Realm w;
    GameState& gs = w.gs;
    const GameState& g = gs;
    EXPECT_EQ(SumKokudakaOfDaimyou(g, 0), 3000);
    EXPECT_EQ(SumKokudakaOfDaimyouWithShinjuu(g, 0), 7000);  // vassal yes, subordinate no
    EXPECT_EQ(SumKokudakaOfDaimyouWithShinjuu(g, 1), 4000);  // a vassal counts its own
    EXPECT_EQ(SumKokudakaOfGundan(g, 0, -1), 1000);
    EXPECT_EQ(SumKokudakaOfGundan(g, 0, 5), 2000);
    EXPECT_EQ(SumKeizaiOfDaimyouWithShinjuu(g, 0), 700);
    EXPECT_EQ(SumKeizaiOfGundan(g, 0, 5), 200);
    EXPECT_EQ(SumKouzanOfDaimyou(g, 0), 8);
    EXPECT_EQ(CountShiroOfDaimyouWithShinjuu(g, 0), 3);
    EXPECT_EQ(CountShiroOfDaimyou(g, 2), 1);
    EXPECT_EQ(CountShiroOfGundan(g, 0, 5), 1);
    EXPECT_EQ(SumHeiOfGundan(g, 0, -1), 110);
    int foot = 0, cavalry = 0, muskets = 0;
    SumHeiOfDaimyouWithShinjuu(g, 0, foot, cavalry, muskets);
    EXPECT_EQ(foot, 700);
    EXPECT_EQ(cavalry, 70);
    EXPECT_EQ(muskets, 16);
    SumHeiOfDaimyou(g, -1, foot, cavalry, muskets);  // a general without a house counts nowhere
    EXPECT_EQ(foot + cavalry + muskets, 0);
    EXPECT_EQ(CalcStrengthOfDaimyou(g, 0), 3 * 30 + 300);
    EXPECT_EQ(CalcStrengthOfDaimyouWithShinjuu(g, 0), 3 * 70 + 700);
    EXPECT_EQ(CalcStrengthOfGundan(g, 0, 5), 3 * 20 + 200);
    EXPECT_EQ(CalcStrengthOfDaimyou(g, -1), 0);
}

TEST(Sums, TroopsBoundForATarget) {
    Realm w;
    GameState& gs = w.gs;
    gs.BushouTbl[0].moveShiro = 3;
    const int g = w.AddBushou(0, 0, {.foot = 2, .cavalry = 1});
    gs.BushouTbl[static_cast<std::size_t>(g)].moveShiro = 3;
    w.AddBushou(0, 0, {.foot = 100, .cavalry = 100});
    EXPECT_EQ(SumHeiOfShiroBushouByTarget(gs, 0, 3), 113);
    EXPECT_EQ(SumHeiOfShiroBushouByTarget(gs, 0, 2), 0);
}

TEST(Economy, IncomeAndCost) {
    Realm w;
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    // Direct command: economy 100 + trunc(3 x 1500 / 1000) = 104.
    EXPECT_EQ(CalcMonthlyIncomeOfGundan(gs, 0, -1), 104);
    EXPECT_EQ(CalcMonthlyIncomeOfDaimyou(gs, 0), 300 + 12);
    // General 0: (30 + 100) x 10 x 0.77 = 1001; garrison 10 x 10 / 10 = 10; warships 5 x 50 and
    // a blockading 2 x 100.
    gs.GunsenTable.count = 0;
    gs.GunsenTable.AddGunsen(0, 0, 5);
    gs.GunsenTable.records[gs.GunsenTable.count++] = {GunsenRecord::kFlagBlockade, 0, 3, 2,
                                                      GunsenRecord::kNoDestination};
    EXPECT_EQ(CalcMonthlyCostOfGundan(gs, 0, -1), 1001 + 10 + 250 + 200);
    EXPECT_EQ(CalcMonthlyCostOfGundan(gs, 0, 5), 2002 + 20);
    gs.BushouTbl[1].flags = CBushou::kFlagBesieging;  // (60 + 200) x 10 x 1.3 = 3380
    EXPECT_EQ(CalcMonthlyCostOfDaimyou(gs, 0), 1001 + 3380 + 10 + 20 + 450);
}

TEST(Economy, MonthsToTheHarvest) {
    Realm w;
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    gs.DaimyouTbl[0].shikin = 5000;
    const int net = CalcMonthlyIncomeOfGundan(gs, 0, -1) - CalcMonthlyCostOfGundan(gs, 0, -1);
    ASSERT_LT(net, 0);
    struct Case {
        int month;
        int months;
    };
    for (const Case& c : {Case{9, 12}, Case{10, 11}, Case{8, 1}, Case{1, 8}}) {
        SCOPED_TRACE(c.month);
        gs.nCurMonth = c.month;
        EXPECT_EQ(EstimateShikinAtHarvest(gs, 0, -1, 1.0), 5000 + net * c.months);
    }
    // A surplus is not added; a corps uses its own funds.
    gs.GundanTbl[5].shikin = 777;
    gs.BushouTbl[1].cavalry = 0;
    gs.BushouTbl[1].foot = 0;
    EXPECT_EQ(EstimateShikinAtHarvest(gs, 0, 5, 1.0), 777);
}

TEST(Economy, AffordableTroops) {
    Realm w;
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    gs.nCurMonth = 6;  // 3 months to the harvest
    gs.GunsenTable.count = 0;
    gs.GunsenTable.AddGunsen(0, 0, 2);
    // S = 100 + 4 + (1000 / 12) / 2 - 2 x 50 = 45; trunc((45 / 10) x 0.8) = 3.
    EXPECT_EQ(CalcMaxHeiByIncome(gs, 0, -1), 3);
    // Funds 9000: trunc((9000 / 3 - 100) x 0.8) / 10 = 232.
    gs.DaimyouTbl[0].shikin = 9000;
    EXPECT_EQ(CalcMaxHeiOfGundan(gs, 0, -1), 232);
    gs.DaimyouTbl[0].shikin = -9000;
    EXPECT_EQ(CalcMaxHeiOfGundan(gs, 0, -1), 3);
    // A corps carries no warships: S = 200 + 7 + (2000 / 12) / 2 = 290.
    EXPECT_EQ(CalcMaxHeiByIncome(gs, 0, 5), 23);
}

// Funds that an event set to the ends of their range: the projection and the affordable troops
// go on from them without wrapping around.
TEST(Economy, FundsAtTheEndsOfTheirRangeAreProjectedWithoutWrapping) {
    Realm w;
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    gs.nCurMonth = 8;  // one month to the harvest
    gs.GunsenTable.count = 0;
    gs.GunsenTable.AddGunsen(0, 0, 2);  // a term of 100 against the funds
    const std::int64_t net = CalcMonthlyIncomeOfGundan(gs, 0, -1) - CalcMonthlyCostOfGundan(gs, 0, -1);
    ASSERT_LT(net, 0);
    gs.DaimyouTbl[0].shikin = INT_MIN;
    EXPECT_EQ(EstimateShikinAtHarvest(gs, 0, -1, 1.0), std::int64_t{INT_MIN} + net);
    EXPECT_EQ(CalcMaxHeiOfGundan(gs, 0, -1), std::max(CalcMaxHeiByIncome(gs, 0, -1), 0));
    gs.DaimyouTbl[0].shikin = INT_MAX;
    EXPECT_EQ(EstimateShikinAtHarvest(gs, 0, -1, 1.0), std::int64_t{INT_MAX} + net);
    // trunc((2147483647 - 100) x 0.8) / 10
    EXPECT_EQ(CalcMaxHeiOfGundan(gs, 0, -1), 171798683);
}

// Sixty castles at the top of the rice yield's range keep more soldiers than int holds.
TEST(Economy, TheAffordableTroopsStopAtTheTopOfInt) {
    TestWorld w({.castles = 60, .houses = 2});
    for (int c = 0; c < 60; ++c)
        w.gs.ShiroTbl[static_cast<std::size_t>(c)].kokudaka = UINT32_MAX;
    EXPECT_EQ(CalcMaxHeiByIncome(w.gs, 0, -1), INT_MAX);
    EXPECT_EQ(CalcMaxHeiOfGundan(w.gs, 0, -1), INT_MAX);
}

// With the phase's house index the purse functions walk the house's lists: the same results for every
// house and corps, a house outside the table and the masterless side included.
TEST(Sums, TheHouseIndexGivesTheSameResults) {
    Realm w;
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    gs.nCurMonth = 6;
    gs.DaimyouTbl[0].shikin = 9000;
    gs.GundanTbl[5].shikin = 300;
    const HouseIndex index(gs);  // as a planner holds it for its phase
    for (int daimyou : {0, 1, 2, 3, -1}) {
        for (int gundan : {-1, 5}) {
            SCOPED_TRACE(testing::Message() << "house " << daimyou << ", corps " << gundan);
            const HouseIndex* r = &index;
            EXPECT_EQ(SumKokudakaOfGundan(gs, daimyou, gundan, r), SumKokudakaOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(SumKeizaiOfGundan(gs, daimyou, gundan, r), SumKeizaiOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(SumKouzanOfGundan(gs, daimyou, gundan, r), SumKouzanOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(CountShiroOfGundan(gs, daimyou, gundan, r), CountShiroOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(SumHeiOfGundan(gs, daimyou, gundan, r), SumHeiOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(CalcStrengthOfGundan(gs, daimyou, gundan, r),
                      CalcStrengthOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(CalcMonthlyCostOfGundan(gs, daimyou, gundan, r),
                      CalcMonthlyCostOfGundan(gs, daimyou, gundan));
            EXPECT_EQ(EstimateShikinAtHarvest(gs, daimyou, gundan, 1.1, r),
                      EstimateShikinAtHarvest(gs, daimyou, gundan, 1.1));
            EXPECT_EQ(CalcMaxHeiOfGundan(gs, daimyou, gundan, r), CalcMaxHeiOfGundan(gs, daimyou, gundan));
        }
        int muskets[2] = {};
        int foot[2] = {};
        EXPECT_EQ(CalcTeppouSoubiRitsu(gs, daimyou, muskets[0], foot[0], &index),
                  CalcTeppouSoubiRitsu(gs, daimyou, muskets[1], foot[1]));
        EXPECT_EQ(muskets[0], muskets[1]);
        EXPECT_EQ(foot[0], foot[1]);
    }
    // The lists follow the table order: by the house fields, and by counted house (the vassal's
    // castle 2 and general 2 count for house 0, the subordinate's do not).
    EXPECT_EQ(index.OwnShiro(0), (std::vector<int>{0, 1}));
    EXPECT_EQ(index.MemberBushou(0), (std::vector<int>{0, 1}));
    EXPECT_EQ(index.ShiroOf(0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(index.BushouOf(0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(index.StrengthOf(0), 3 * 70 + 700);
    EXPECT_TRUE(index.OwnShiro(3).empty());
    EXPECT_TRUE(index.MemberBushou(-1).empty());
}

// The planners' lists go by the house field and the vassal rule: a captive or hostage counts for
// no house, neither his former house nor the one holding him.
TEST(HouseIndexLists, HeldGeneralsCountForNoHouse) {
    struct Case {
        const char* name;
        std::int16_t house;
        std::uint8_t status;
        int countedFor;  // -1 none
    };
    for (const Case& c : {Case{"retainer", 2, CBushou::kStatusKashin, 2},
                          Case{"vassal's retainer", 1, CBushou::kStatusKashin, 0},
                          Case{"guest", 2, CBushou::kStatusKyakushou, 2},
                          Case{"captive", CBushou::kDaimyouHitojichi, CBushou::kStatusHoryo, -1},
                          Case{"hostage", CBushou::kDaimyouHitojichi, CBushou::kStatusHitojichi, -1}}) {
        SCOPED_TRACE(c.name);
        Realm w;
        const int g = w.AddBushou(c.house, 3, {.foot = 50, .cavalry = 5});
        CBushou& b = w.gs.BushouTbl[static_cast<std::size_t>(g)];
        b.status = c.status;
        if (c.house < 0) {
            b.originDaimyou = 2;
            b.holderDaimyou = 0;
        }
        const HouseIndex index(w.gs);
        for (int d : {0, 1, 2}) {
            const std::vector<int>& list = index.BushouOf(d);
            EXPECT_EQ(std::count(list.begin(), list.end(), g), d == c.countedFor ? 1 : 0) << "house " << d;
        }
        EXPECT_EQ(index.StrengthOf(2), 3 * 80 + 800 + (c.countedFor == 2 ? 3 * 5 + 50 : 0));
    }
}

TEST(Front, HostileNeighbours) {
    TestWorld w({.castles = 4, .houses = 3});
    GameState& gs = w.gs;
    w.Own(1, 1);
    w.Own(2, 2);
    w.Own(3, -1);
    w.AddLink(0, 1, 0);
    w.AddLink(0, 3, 0);
    gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelFusen);
    EXPECT_FALSE(IsShiroOnFront(gs, 0));  // an ally and an ownerless castle
    w.AddLink(0, 2, 3);
    EXPECT_TRUE(IsShiroOnFront(gs, 0));
    gs.DaimyouTbl[0].SetRelationLo(2, CDaimyou::kRelShukuteki);
    EXPECT_TRUE(IsShiroOnFront(gs, 0));
    EXPECT_FALSE(IsShiroOnFront(gs, 3));
    EXPECT_FALSE(IsShiroOnFront(gs, 99));
}

TEST(Provinces, RandomCastleOfAProvince) {
    TestWorld w({.castles = 5, .houses = 3});
    GameState& gs = w.gs;
    w.MakeVassal(1, 0);
    for (int c = 0; c < 5; ++c)
        gs.ShiroMapTbl[static_cast<std::size_t>(c)].kuni = c < 4 ? 2 : 3;
    w.Own(1, 1);
    w.Own(2, 2);
    w.Own(3, 2);
    gs.rng.Seed(7);
    Random expected(7);
    // Castles 0 and 1 count for house 1's master: a draw picks between them.
    EXPECT_EQ(PickRandomShiroInKuni(gs, 2, 1), expected.Below(2) == 0 ? 0 : 1);
    EXPECT_EQ(PickRandomShiroInKuni(gs, 2, -1), expected.Below(4));
    const std::uint32_t state = gs.rng.State();
    EXPECT_EQ(PickRandomShiroInKuni(gs, 9, -1), -1);
    EXPECT_EQ(gs.rng.State(), state);  // no castle, no draw
}

TEST(Muskets, ProductionPurchaseAndRatio) {
    TestWorld w({.castles = 4, .houses = 2});
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    gs.nKuni = 3;
    for (int c = 0; c < 4; ++c)
        gs.ShiroMapTbl[static_cast<std::size_t>(c)].kuni = static_cast<std::uint8_t>(c < 2 ? 1 : 2);
    w.Own(1, 1);
    w.Own(3, 1);
    gs.ShiroTbl[0].keizai = 300;
    gs.ShiroTbl[1].keizai = 0;  // counts as 1
    gs.ShiroTbl[2].keizai = 50;
    gs.ShiroTbl[3].keizai = 50;
    gs.TeppouSeisanTbl[1].current = 301.0;
    gs.TeppouSeisanTbl[2].current = 0.0;
    std::vector<std::uint8_t> flags(3, 9);
    // 300 / 301 x 301 = 300 muskets, 30 units.
    EXPECT_EQ(CalcTeppouSeisanOfDaimyou(gs, 0, flags), 30);
    EXPECT_EQ(flags, (std::vector<std::uint8_t>{0, 1, 0}));
    // 1 / 301 x 301 = 1 musket: rounds to 0 units, raised to 1.
    EXPECT_EQ(CalcTeppouSeisanOfDaimyou(gs, 1), 1);

    gs.nTeppouKounyuu = 3;
    TeppouKounyuuRecord& p0 = gs.TeppouKounyuuTbl[0];
    p0.currentOffer = 95.0;
    p0.months.fill(-1);
    p0.months[1] = 4;
    p0.months[2] = 2;
    TeppouKounyuuRecord& p1 = gs.TeppouKounyuuTbl[1];
    p1.currentOffer = 0.0;  // nothing on offer
    TeppouKounyuuRecord& p2 = gs.TeppouKounyuuTbl[2];
    p2.currentOffer = 50.0;
    p2.months.fill(-1);
    p2.months[2] = 0;
    std::vector<int> amount(3), months(3);
    CalcTeppouKounyuuOfDaimyou(gs, 0, amount, months);
    EXPECT_EQ(amount, (std::vector<int>{3, 0, 5}));  // 95 / 10 / (2 + 1) = 3; 50 / 10 / 1 = 5
    EXPECT_EQ(months, (std::vector<int>{2, -1, 0}));
    gs.DaimyouTbl[0].teppouOrder[2].count = 4;
    CalcTeppouKounyuuOfDaimyou(gs, 0, amount, months);
    EXPECT_EQ(amount[2], -1);
    gs.nPlayerDaimyou = 0;
    p2.dialogWork = 3;  // the player is adding to his order in this phase
    CalcTeppouKounyuuOfDaimyou(gs, 0, amount, months);
    EXPECT_EQ(amount[2], 5);

    w.AddBushou(0, 0, {.foot = 40});
    gs.BushouTbl[0].muskets = 6;
    gs.DaimyouTbl[0].teppou = 2;
    int muskets = 0, foot = 0;
    EXPECT_DOUBLE_EQ(CalcTeppouSoubiRitsu(gs, 0, muskets, foot), 12.0 / 40.0);
    EXPECT_EQ(muskets, 12);
    EXPECT_EQ(foot, 40);
    EXPECT_DOUBLE_EQ(CalcTeppouSoubiRitsu(gs, 1, muskets, foot), 1.0);
}

TEST(Troops, SelectWithinLimit) {
    TestWorld w({.castles = 2, .houses = 1});
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    const int a = w.AddBushou(0, 0, {.foot = 50, .cavalry = 10});  // 60 units
    gs.ShiroTbl[1].shubihei = 50;                                  // 50 units
    const int c = w.AddBushou(0, 0, {.foot = 30});                 // 30 units
    const std::vector<int> items = {kShiroGarrisonItem + 1, a};
    std::vector<int> picked(31, -1);
    int n = 0;
    EXPECT_EQ(SelectTroopsWithinLimit(gs, 1, items, n, picked), 60);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(picked[0], a);
    // A later smaller item still fits: 60 + 30 = 900 soldiers.
    const std::vector<int> three = {kShiroGarrisonItem + 1, a, c};
    EXPECT_EQ(SelectTroopsWithinLimit(gs, 1, three, n, picked), 90);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(picked[1], c);
    EXPECT_EQ(SelectTroopsWithinLimit(gs, 0, three, n, picked), 0);
    EXPECT_EQ(n, 0);
}

TEST(Troops, FixedSequenceRepeatsAfterAReset) {
    TestWorld w({.castles = 1, .houses = 1});
    GameState& gs = w.gs;
    std::vector<int> first, second;
    NextFixedSequenceValue(gs, true);
    for (int i = 0; i < 250; ++i)
        first.push_back(NextFixedSequenceValue(gs, i == 0));
    for (int i = 0; i < 250; ++i)
        second.push_back(NextFixedSequenceValue(gs, i == 0));
    EXPECT_EQ(first, second);
    for (int v : first) {
        EXPECT_GE(v, 0);
        EXPECT_LT(v, 512);
    }
}

TEST(Troops, FixedSequenceIsKeptByEachStateAndLeavesTheHashAlone) {
    TestWorld worldA({.castles = 1, .houses = 1});
    TestWorld worldB({.castles = 1, .houses = 1});
    GameState& a = worldA.gs;
    GameState& b = worldB.gs;
    const std::uint32_t rngBefore = a.rng.State();
    const std::string hashBefore = StateHash(a);
    const int firstOfA = NextFixedSequenceValue(a, true);
    NextFixedSequenceValue(a, false);
    EXPECT_EQ(StateHash(a), hashBefore);
    // Another state starts its own sequence from the beginning.
    EXPECT_EQ(NextFixedSequenceValue(b, false), firstOfA);
    EXPECT_EQ(a.nFixedSequenceIndex, 2);
    EXPECT_EQ(b.nFixedSequenceIndex, 1);
    EXPECT_EQ(a.rng.State(), rngBefore);
    // A reset of the state starts the sequence again.
    a.Reset();
    EXPECT_EQ(a.nFixedSequenceIndex, 0);
    EXPECT_EQ(NextFixedSequenceValue(a, false), firstOfA);
}

TEST(Kyakushou, OneGuestPerHouse) {
    TestWorld w({.castles = 1, .houses = 2});
    GameState& gs = w.gs;
    const int old = w.AddBushou(0, 0, {.foot = 50, .cavalry = 5});
    gs.BushouTbl[static_cast<std::size_t>(old)].status = CBushou::kStatusKyakushou;
    gs.BushouTbl[static_cast<std::size_t>(old)].muskets = 3;
    const int other = w.AddBushou(1, 0, {.foot = 1, .cavalry = 1});
    gs.BushouTbl[static_cast<std::size_t>(other)].status = CBushou::kStatusKyakushou;
    const int next = w.AddBushou(0, 0);
    AppointKyakushou(gs, next);
    const CBushou& o = gs.BushouTbl[static_cast<std::size_t>(old)];
    const CBushou& n = gs.BushouTbl[static_cast<std::size_t>(next)];
    EXPECT_EQ(o.status, CBushou::kStatusKashin);
    EXPECT_EQ(n.status, CBushou::kStatusKyakushou);
    EXPECT_EQ(n.cavalry, 5);
    EXPECT_EQ(n.foot, 50);
    EXPECT_EQ(n.muskets, 3);
    EXPECT_EQ(o.cavalry + o.foot + o.muskets, 0);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(other)].status, CBushou::kStatusKyakushou);
}

TEST(Kyakushou, AHostageOfAFallenHouseServesHisHolder) {
    TestWorld w({.castles = 1, .houses = 2});
    GameState& gs = w.gs;
    gs.DaimyouTbl[1].toushu = -1;
    const int g = w.AddBushou(1, 0);
    CBushou& h = gs.BushouTbl[static_cast<std::size_t>(g)];
    h.status = CBushou::kStatusHitojichi;
    h.holderDaimyou = 0;
    h.moveShiro = 0;
    h.sortieShiro = 0;
    AppointKyakushou(gs, g);
    EXPECT_EQ(h.status, CBushou::kStatusKashin);
    EXPECT_EQ(h.daimyou, 0);
    EXPECT_EQ(h.moveShiro, -1);
    EXPECT_EQ(h.sortieShiro, -1);
}

// Waterway castles 0, 1 (house 0) and 2 (house 1, hostile) by sea: 0-2 and 1-2.
TEST(WarshipPlan, ExposedCastlesGetShips) {
    TestWorld w({.castles = 4, .houses = 2});
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    for (int c = 0; c < 3; ++c)
        gs.ShiroMapTbl[static_cast<std::size_t>(c)].flags = ShiroMapRecord::kFlagWaterway;
    w.Own(2, 1);
    w.Link(0, 1, 3);
    w.Link(0, 2, 3);
    w.Link(1, 2, 3);
    gs.DaimyouInitTbl[0].gunsenTendency = 10;
    w.AddBushou(0, 0, {.foot = 150, .cavalry = 100});  // 250 units = 2500 soldiers: 3 ships
    gs.ShiroTbl[0].shubihei = 100;                     // defenders 350 units: 4 ships
    gs.GunsenTable.count = 0;
    std::vector<std::int16_t> out(4, 9);
    // One sea group {0, 1}; both exposed; the enemy castle is a threat once (F = 1); have 0 < 3.
    // 4a: castle 0 wants 4, castle 1 wants 0 (no defenders). 4b: target 3 x 1 - 4 < 0.
    EXPECT_EQ(PlanGunsenKenzou(gs, 0, out), 4);
    EXPECT_EQ(out, (std::vector<std::int16_t>{4, 0, 0, 0}));
    const HouseIndex index(gs);  // the same plan from the house's castles alone
    std::fill(out.begin(), out.end(), std::int16_t{9});
    EXPECT_EQ(PlanGunsenKenzou(gs, 0, out, &index), 4);
    EXPECT_EQ(out, (std::vector<std::int16_t>{4, 0, 0, 0}));

    // Ships already there count; construction under way takes a castle out.
    gs.GunsenTable.AddGunsen(0, 1, 1);
    gs.ShiroTbl[0].gunsenBuilding = 1;
    // have 2 < 3: 4a gives nothing (castle 1 has no defenders); 4b: deficit 3 - 2 = 1 to castle 1.
    EXPECT_EQ(PlanGunsenKenzou(gs, 0, out), 1);
    EXPECT_EQ(out, (std::vector<std::int16_t>{0, 1, 0, 0}));

    // An ally is no threat; a vassal plans nothing.
    gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelFusen);
    EXPECT_EQ(PlanGunsenKenzou(gs, 0, out), 0);
    w.MakeVassal(0, 1);
    EXPECT_EQ(PlanGunsenKenzou(gs, 0, out), 0);
}

}  // namespace
}  // namespace rymd
