// Castle development formulas, their months estimates, conscription charges and the booking of
// trade voyages.
#include <gtest/gtest.h>

#include "game/domestic/castle_economy.h"
#include "game/state/queries.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Castle 0 of house 0 in province 0 with room to grow.
struct DevWorld : TestWorld {
    DevWorld() : TestWorld({.castles = 4, .houses = 2}) {
        CShiro& s = gs.ShiroTbl[0];
        s.kokudaka = 10000;
        s.keizai = 100;
        s.kouzan = 50;
        s.support = 500;
        ShiroMapRecord& m = gs.ShiroMapTbl[0];
        m.maxKokudaka = 50000;
        m.maxKeizai = 1000;
        m.maxKouzan = 1000;
        gs.DaimyouTbl[0].kouzanGijutsu = 1000;
        gs.ShiroSnapTbl = gs.ShiroTbl;
    }
};

TEST(CastleEconomyTest, EstimatesWithNoEligibleGeneralGainTheBaseAmounts) {
    DevWorld w;
    // Generals who do not count: another house's, a besieging one, one in another province.
    w.AddBushou(1, 0);
    w.gs.BushouTbl[0].seiji = 10;
    const int besieging = w.AddBushou(0, 0);
    w.gs.BushouTbl[besieging].seiji = 10;
    w.gs.BushouTbl[besieging].flags |= CBushou::kFlagBesieging;
    const int elsewhere = w.AddBushou(0, 1);  // castle 1 lies in province 1
    w.gs.BushouTbl[elsewhere].seiji = 10;
    const std::uint32_t draws = w.gs.rng.State();

    EXPECT_EQ(FindBestSeiji(w.gs, 0), 0);
    EXPECT_EQ(CalcKaikonKouka(w.gs, 0, true), 10000 + 800);
    EXPECT_EQ(CalcRakuichiKouka(w.gs, 0, true), 100 + 10);
    EXPECT_EQ(CalcKouzanKaihatsuKouka(w.gs, 0, true), 50 + 15);
    EXPECT_EQ(w.gs.rng.State(), draws);  // estimating draws nothing
    EXPECT_EQ(w.gs.ShiroTbl[0].kokudaka, 10000u);

    // A politician of the house in the province lifts every formula.
    const int p = w.AddBushou(0, 0);
    w.gs.BushouTbl[p].seiji = 9;
    EXPECT_EQ(FindBestSeiji(w.gs, 0), 9);
    EXPECT_EQ(BestSeijiTable(w.gs, 0).ForShiro(w.gs, 0), 9);
    EXPECT_EQ(CalcKaikonKouka(w.gs, 0, true), 10000 + 19 * 80);
    EXPECT_EQ(CalcKouzanKaihatsuKouka(w.gs, 0, true), 50 + 28);  // trunc(19 x 1.5)
}

TEST(CastleEconomyTest, ApplyingStaysWithinItsRangesAndMovesSupport) {
    DevWorld w;
    for (int i = 0; i < 50; ++i) {
        w.gs.ShiroTbl[0] = w.gs.ShiroSnapTbl[0];
        const int yield = CalcKaikonKouka(w.gs, 0, false);
        EXPECT_GE(yield, 10000 + 720);  // 800 x 0.9
        EXPECT_LE(yield, 10000 + 880);  // 800 x 1.1
        EXPECT_EQ(w.gs.ShiroTbl[0].kokudaka, static_cast<std::uint32_t>(yield));
        EXPECT_GT(w.gs.ShiroTbl[0].support, 500);
        const int economy = CalcRakuichiKouka(w.gs, 0, false);
        EXPECT_GE(economy, 109);
        EXPECT_LE(economy, 111);
        const int mine = CalcKouzanKaihatsuKouka(w.gs, 0, false);
        EXPECT_GE(mine, 62);
        EXPECT_LE(mine, 68);
    }
    // Support 1000 stays 1000; a yield above its maximum falls to the maximum.
    w.gs.ShiroTbl[0].support = 1000;
    w.gs.ShiroTbl[0].kokudaka = 60000;
    EXPECT_EQ(CalcKaikonKouka(w.gs, 0, true), 50000);
    EXPECT_EQ(CalcKaikonKouka(w.gs, 0, false), 50000);
    EXPECT_EQ(w.gs.ShiroTbl[0].support, 1000);
    CalcRakuichiKouka(w.gs, 0, false);
    EXPECT_EQ(w.gs.ShiroTbl[0].support, 1000);
    // A castle outside the table is nothing.
    EXPECT_EQ(CalcKaikonKouka(w.gs, -1, false), 0);
    EXPECT_EQ(EstimateKaikonMonths(w.gs, 99), kNeverRepaid);
}

TEST(CastleEconomyTest, MonthsEstimates) {
    struct Case {
        const char* what;
        int month;
        std::uint32_t kokudaka;
        int mining;
        int kaikon;
        int rakuichi;
        int kouzan;
    };
    // Gains with p = 0: 800 koku, 10 economy, 15 mine levels.
    const Case cases[] = {
        {"September: 12 months to the next harvest", 9, 10000, 1000, 12, 5, 7},
        {"August: 1 month", 8, 10000, 1000, 1, 5, 7},
        {"December", 12, 10000, 1000, 9, 5, 7},
        {"mining at half rate", 4, 10000, 500, 5, 5, 14},
        {"yield at its maximum", 4, 50000, 1000, kNeverRepaid, 5, 7},
        {"no mining technology", 4, 10000, 0, 5, 5, kNeverRepaid},
    };
    for (const Case& c : cases) {
        DevWorld w;
        w.gs.nCurMonth = c.month;
        w.gs.ShiroTbl[0].kokudaka = c.kokudaka;
        w.gs.DaimyouTbl[0].kouzanGijutsu = static_cast<std::int16_t>(c.mining);
        EXPECT_EQ(EstimateKaikonMonths(w.gs, 0), c.kaikon) << c.what;
        EXPECT_EQ(EstimateRakuichiMonths(w.gs, 0), c.rakuichi) << c.what;
        EXPECT_EQ(EstimateKouzanKaihatsuMonths(w.gs, 0), c.kouzan) << c.what;
    }
    // A gain below 500 needs more harvests: 400 koku a harvest repays in two.
    DevWorld w;
    w.gs.nCurMonth = 4;
    w.gs.ShiroTbl[0].kokudaka = 50000 - 400;
    EXPECT_EQ(EstimateKaikonMonths(w.gs, 0), 5 + 12);
}

TEST(CastleEconomyTest, ConscriptionChargesTheRunningTotalOnce) {
    TestWorld w({.castles = 3, .houses = 1});
    for (int c = 0; c < 3; ++c) {
        w.gs.ShiroTbl[c].kokudaka = 10000;
        w.gs.ShiroTbl[c].support = 600;
    }
    w.gs.ShiroTbl[1].kokudaka = 100;  // cannot pay its share: the rest passes on
    w.gs.ShiroSnapTbl = w.gs.ShiroTbl;

    int cavalry = 0;
    int foot = 0;
    CalcChouheiLimits(w.gs, 0, -1, cavalry, foot);
    EXPECT_EQ(cavalry, Round(20100 / 1000.0 * 0.6));
    EXPECT_EQ(foot, Round(20100 / 100.0 * 0.6));

    for (int twice = 0; twice < 2; ++twice) {
        ReduceKokudakaByChouhei(w.gs, 0, -1, 900);
        ReduceMinshuuByChouhei(w.gs, 0, -1, 100, 600);
        EXPECT_EQ(w.gs.ShiroTbl[0].kokudaka, 10000u - 300);
        EXPECT_EQ(w.gs.ShiroTbl[1].kokudaka, 0u);
        EXPECT_EQ(w.gs.ShiroTbl[2].kokudaka, 10000u - 500);  // what castle 1 could not pay
        // 900 soldiers x 1000 / 19200 koku = 46.875 per mille off the snapshot's support.
        EXPECT_EQ(w.gs.ShiroTbl[0].support, 600 - 47);
        EXPECT_EQ(w.gs.ShiroTbl[1].support, 600);  // no yield left: loses nothing
        EXPECT_EQ(w.gs.ShiroTbl[2].support, 600 - 47);
    }
    // Another house's castles and a corps's castles are another purse.
    EXPECT_EQ(SumKokudakaOfGundan(w.gs, 0, -1), 19200);
}

TEST(CastleEconomyTest, DispatchBooksTheFirstFreeSlotAndPays) {
    TestWorld w({.castles = 2, .houses = 1});
    w.gs.nTradingPartner = 2;
    w.gs.TradingPartnerTbl[0].months[0] = 1;
    w.gs.TradingPartnerTbl[1].months[0] = 4;
    w.gs.TradingPartnerTbl[1].months[1] = -1;
    w.gs.DaimyouTbl[0].shikin = 20000;
    const int k = w.AddGundan(0, w.AddBushou(0, 0));
    w.gs.GundanTbl[k].shikin = 5000;

    w.gs.ShiroTbl[0].kouekisen = 20;
    w.gs.ShiroTbl[0].voyage[0].ships = 1;
    EXPECT_TRUE(DispatchKouekisen(w.gs, 0, -1, 0, 1, 3));
    const ShiroOrderSlot& slot = w.gs.ShiroTbl[0].voyage[1];
    EXPECT_EQ(slot.ships, 3);
    EXPECT_EQ(slot.destination, 1);
    EXPECT_EQ(slot.monthsLeft, 4);
    EXPECT_EQ(slot.monthsTotal, 4);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 20000 - 3000);
    EXPECT_EQ(CountShipsAtSea(w.gs, 0), 4);
    // Sixteen wait in port: seventeen are neither booked nor paid.
    EXPECT_FALSE(DispatchKouekisen(w.gs, 0, -1, 0, 1, 17));
    EXPECT_EQ(w.gs.ShiroTbl[0].voyage[2].ships, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 20000 - 3000);

    EXPECT_TRUE(DispatchKouekisen(w.gs, 0, k, 0, 0, 2));  // training, paid by the corps
    EXPECT_EQ(w.gs.GundanTbl[k].shikin, 5000 - 200);

    // The eleventh voyage is neither booked nor paid; nor is one out of reach or of no ships.
    for (int i = 3; i < CShiro::kVoyageCount; ++i)
        EXPECT_TRUE(DispatchKouekisen(w.gs, 0, -1, 0, 0, 1));
    const int funds = w.gs.DaimyouTbl[0].shikin;
    EXPECT_FALSE(DispatchKouekisen(w.gs, 0, -1, 0, 0, 1));
    EXPECT_FALSE(DispatchKouekisen(w.gs, 0, -1, 1, 1, 1));
    EXPECT_FALSE(DispatchKouekisen(w.gs, 0, -1, 1, 0, 0));
    EXPECT_FALSE(DispatchKouekisen(w.gs, 0, -1, 1, 5, 1));
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds);
}

TEST(CastleEconomyTest, NeighbourHousesAndCastlesOfAProvince) {
    TestWorld w({.castles = 4, .houses = 3, .provinces = 2});
    w.Own(2, 1);
    w.Own(3, 2);
    w.Link(0, 2);
    EXPECT_TRUE(IsDaimyouRinsetsu(w.gs, 0, 1));
    EXPECT_TRUE(IsDaimyouRinsetsu(w.gs, 1, 0));
    EXPECT_FALSE(IsDaimyouRinsetsu(w.gs, 0, 2));
    EXPECT_EQ(CountShiroInKuni(w.gs, 0), 2);
    EXPECT_EQ(CountShiroInKuni(w.gs, 1), 2);
    EXPECT_EQ(CountShiroInKuni(w.gs, 7), 0);
}

}  // namespace
}  // namespace rymd
