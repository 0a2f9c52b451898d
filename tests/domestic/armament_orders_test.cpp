// The player's armament orders: who is listed, conscription within the limits, the allowances and
// the funds, the MAX and fill-all rules, what OK applies and charges, and musket deployment.
#include <gtest/gtest.h>

#include <vector>

#include "game/domestic/armament_orders.h"
#include "game/domestic/castle_economy.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Two provinces; castles 0 and 2 lie in province 0 (castle 0 of size 3), castle 1 in province 1.
// House 0 plays with soldier unit 10 and 10000 funds.
struct ArmWorld : TestWorld {
    ArmWorld() : TestWorld({.castles = 4, .houses = 3, .provinces = 2, .soldierUnit = 10}) {
        gs.DaimyouTbl[0].shikin = 10000;
        gs.ShiroTbl[0].kibo = 3;
        gs.ShiroTbl[2].kibo = 1;
        gs.nShiroHyourouMax = 2000;
        gs.ShiroSnapTbl = gs.ShiroTbl;
    }
};

TEST(ArmamentOrdersTest, ListsTheHousesOwnDirectGeneralsOfUnbesiegedCastles) {
    ArmWorld w;
    const int a = w.AddBushou(0, 0);
    const int corps = w.AddBushou(0, 0, {.gundan = 0});
    const int other = w.AddBushou(1, 0);
    const int b = w.AddBushou(0, 2);
    const int elsewhere = w.AddBushou(0, 1);
    // A guest general of a vassal house of the player's counts for the player; a guest of an
    // independent other house does not; a captive held at the castle does not.
    w.MakeVassal(1, 0);
    const int guest = w.AddBushou(1, 2);
    w.gs.BushouTbl[guest].status = CBushou::kStatusKyakushou;
    const int foreignGuest = w.AddBushou(2, 2);
    w.gs.BushouTbl[foreignGuest].status = CBushou::kStatusKyakushou;
    const int captive = w.AddBushou(CBushou::kDaimyouHitojichi, 2);
    w.gs.BushouTbl[captive].status = CBushou::kStatusHoryo;
    // Castle 3 (province 1) is besieged: nothing of it is listed for province 1.
    w.AddBushou(0, 3);
    w.Besiege(3, 2);

    EXPECT_EQ(ListArmamentBushou(w.gs, 0, 0), (std::vector<int>{a, b, guest}));
    EXPECT_EQ(ListArmamentBushou(w.gs, 0, 1), (std::vector<int>{elsewhere}));
    EXPECT_EQ(ListArmamentShiro(w.gs, 0, 0), (std::vector<int>{0, 2}));
    EXPECT_EQ(ListArmamentShiro(w.gs, 0, 1), (std::vector<int>{1}));
    (void)corps;
    (void)other;
}

TEST(ArmamentOrdersTest, AdditionsStayWithinLimitsAllowancesAndFunds) {
    ArmWorld w;
    w.gs.DaimyouTbl[0].shikin = 1000000;
    w.AddBushou(0, 0, {.foot = 100, .cavalry = 50});
    ChouheiOrder order(w.gs, 0, 0, 1000, 2000);
    // With soldier unit 10: 2000 cavalry and 5000 foot soldiers a general, 600 garrison soldiers
    // for a castle of size 3 (the default capacity 2000 per size step).
    EXPECT_EQ(order.CavalryRoom(0), 200 - 50);
    EXPECT_EQ(order.FootRoom(0), 500 - 100);
    EXPECT_EQ(order.GarrisonRoom(0), 60);
    struct Case {
        const char* what;
        int units;
        int kept;
    };
    for (const Case& c :
         {Case{"within", 20, 20}, Case{"above the limit", 999, 150}, Case{"negative", -5, 0}}) {
        EXPECT_TRUE(order.SetCavalry(0, c.units)) << c.what;
        EXPECT_EQ(order.PendingCavalry(0), c.kept) << c.what;
    }
    // Garrison soldiers use the foot allowance.
    ChouheiOrder shared(w.gs, 0, 0, 1000, 100);
    EXPECT_TRUE(shared.SetGarrison(0, 40));
    EXPECT_EQ(shared.RemainingFoot(), 60);
    EXPECT_EQ(shared.FootUpper(0), 60);
    EXPECT_TRUE(shared.SetFoot(0, 90));
    EXPECT_EQ(shared.PendingFoot(0), 60);
    EXPECT_EQ(shared.GarrisonUpper(1), 0);  // castle 2 has room but the allowance is spent

    // The funds: 100 funds buy 10 foot units or 3 cavalry units (30 each).
    w.gs.DaimyouTbl[0].shikin = 100;
    ChouheiOrder poor(w.gs, 0, 0, 1000, 2000);
    EXPECT_EQ(poor.CavalryUpper(0), 3);
    EXPECT_TRUE(poor.SetFoot(0, 50));
    EXPECT_EQ(poor.PendingFoot(0), 10);
    EXPECT_EQ(poor.RemainingFunds(), 0);
    EXPECT_EQ(poor.CavalryUpper(0), 0);
    // A house already in debt can add nothing: the edit is refused and the addition kept.
    w.gs.DaimyouTbl[0].shikin = -50;
    ChouheiOrder debt(w.gs, 0, 0, 1000, 2000);
    EXPECT_FALSE(debt.SetFoot(0, 5));
    EXPECT_EQ(debt.PendingFoot(0), 0);
    EXPECT_EQ(debt.FootUpper(0), 0);
}

TEST(ArmamentOrdersTest, MaxButtonsTakeWhatTheOthersLeave) {
    ArmWorld w;
    w.AddBushou(0, 0);
    w.AddBushou(0, 0, {.cavalry = 200});  // already at the cavalry limit
    ChouheiOrder order(w.gs, 0, 0, 30, 100);
    EXPECT_TRUE(order.MaxCavalry(0));
    EXPECT_EQ(order.PendingCavalry(0), 30);
    EXPECT_FALSE(order.MaxCavalry(1));  // no room: nothing happens
    EXPECT_TRUE(order.MaxGarrison(0));
    EXPECT_EQ(order.PendingGarrison(0), 60);
    EXPECT_TRUE(order.MaxFoot(0));
    EXPECT_EQ(order.PendingFoot(0), 40);
    EXPECT_FALSE(order.MaxFoot(1));  // the allowance is spent
    EXPECT_EQ(order.PendingFoot(1), 0);
    // Funds: 10000 - 30 x 30 - 100 x 10 = 8100 left; pressing MAX again keeps the same amount.
    EXPECT_EQ(order.RemainingFunds(), 8100);
    EXPECT_TRUE(order.MaxFoot(0));
    EXPECT_EQ(order.PendingFoot(0), 40);
}

TEST(ArmamentOrdersTest, FillAllGoesFootFirstInListOrderUntilTheFundsRunOut) {
    ArmWorld w;
    w.gs.DaimyouTbl[0].shikin = 7000;
    const int a = w.AddBushou(0, 0, {.foot = 300});
    const int b = w.AddBushou(0, 0);
    const int c = w.AddBushou(0, 0);
    ChouheiOrder order(w.gs, 0, 0, 100, 5000);
    EXPECT_TRUE(order.SetGarrison(0, 10));
    // The list shown as b, a, c: b takes 500 foot (5000) and 63 cavalry (1890) of 6900, a the
    // last 10 funds as 1 foot unit and no cavalry, c nothing.
    const std::vector<int> shown = {1, 0, 2};
    order.FillAll(shown);
    EXPECT_EQ(order.PendingFoot(1), 500);
    EXPECT_EQ(order.PendingCavalry(1), 63);
    EXPECT_EQ(order.PendingFoot(0), 1);
    EXPECT_EQ(order.PendingCavalry(0), 0);
    EXPECT_EQ(order.PendingFoot(2), 0);
    EXPECT_EQ(order.RemainingFunds(), 0);
    EXPECT_EQ(order.PendingGarrison(0), 10);  // castles get nothing from the fill
    (void)a;
    (void)b;
    (void)c;
}

TEST(ArmamentOrdersTest, ApplyRaisesPaysAndTheCommandChargesTheCastlesOnce) {
    ArmWorld w;
    const int g = w.AddBushou(0, 0, {.foot = 5, .cavalry = 1});
    w.gs.PlayerChouheiLimits = {50, 400, 50, 400};
    for (int twice = 0; twice < 2; ++twice) {
        const auto& left = w.gs.PlayerChouheiLimits;
        ChouheiOrder order(w.gs, 0, 0, left[kChouheiCavalryLeft], left[kChouheiFootLeft]);
        // The second time nothing more is raised: the castles stay as after the first.
        if (twice == 0) {
            EXPECT_TRUE(order.SetCavalry(0, 10));
            EXPECT_TRUE(order.SetFoot(0, 100));
            EXPECT_TRUE(order.SetGarrison(0, 20));
        }
        order.Apply(w.gs);
        FinishPlayerChouhei(w.gs, order.CavalryAllowance(), order.FootAllowance());
        EXPECT_EQ(w.gs.BushouTbl[g].cavalry, 11);
        EXPECT_EQ(w.gs.BushouTbl[g].foot, 105);
        EXPECT_EQ(w.gs.ShiroTbl[0].shubihei, 20);
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 10000 - 10 * 30 - 100 * 10 - 20 * 10);
        EXPECT_EQ(w.gs.PlayerChouheiLimits, (std::array<int, 4>{50, 400, 40, 280}));
        // 130 units = 1300 soldiers over the house's 4 castles in its direct domain (325 koku
        // each); support falls by (3 x 100 + 1200) x 1000 / 38700 = 38.76 per mille.
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ(w.gs.ShiroTbl[s].kokudaka, 10000u - 325) << s;
            EXPECT_EQ(w.gs.ShiroTbl[s].support, 500 - 39) << s;
        }
    }
}

TEST(ArmamentOrdersTest, CancelledOrdersChangeNothing) {
    ArmWorld w;
    w.gs.DaimyouTbl[0].teppou = 10;
    const int g = w.AddBushou(0, 0, {.foot = 10});
    {
        ChouheiOrder order(w.gs, 0, 0, 100, 100);
        order.FillAll(std::vector<int>{0});
        order.MaxGarrison(0);
        TeppouHaibiOrder muskets(w.gs, 0, 0);
        muskets.Max(0);
    }
    EXPECT_EQ(w.gs.BushouTbl[g].foot, 10);
    EXPECT_EQ(w.gs.BushouTbl[g].muskets, 0);
    EXPECT_EQ(w.gs.ShiroTbl[0].shubihei, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 10000);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppou, 10);
}

TEST(ArmamentOrdersTest, MusketRangesFollowTheFootSoldiersAndTheStock) {
    ArmWorld w;
    w.gs.DaimyouTbl[0].teppou = 15;
    const int full = w.AddBushou(0, 0, {.foot = 20});
    w.gs.BushouTbl[full].muskets = 20;
    const int excess = w.AddBushou(0, 0, {.foot = 20});
    w.gs.BushouTbl[excess].muskets = 30;
    const int a = w.AddBushou(0, 0, {.foot = 40});
    const int b = w.AddBushou(0, 0, {.foot = 40});
    TeppouHaibiOrder order(w.gs, 0, 0);
    EXPECT_EQ(order.Limit(0), 0);    // muskets equal to the foot soldiers: 0..0
    EXPECT_EQ(order.Limit(1), -10);  // ten more muskets than foot soldiers: 0..-10
    order.Max(1);
    EXPECT_EQ(order.Addition(1), -10);
    EXPECT_EQ(order.Undeployed(), 25);
    order.SetAddition(1, -50);  // never past the excess
    EXPECT_EQ(order.Addition(1), -10);
    // Two generals share the stock: after the first takes all of it the second's range is 0.
    order.Max(2);
    EXPECT_EQ(order.Addition(2), 25);
    EXPECT_EQ(order.Limit(3), 0);
    order.SetAddition(3, 5);
    EXPECT_EQ(order.Addition(3), 0);
    EXPECT_EQ(order.MusketsAfter(2), 25);
    order.Apply(w.gs);
    EXPECT_EQ(w.gs.BushouTbl[excess].muskets, 20);
    EXPECT_EQ(w.gs.BushouTbl[a].muskets, 25);
    EXPECT_EQ(w.gs.BushouTbl[b].muskets, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppou, 0);
}

}  // namespace
}  // namespace rymd
