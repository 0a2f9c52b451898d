// The player's ship-building orders: which castles are listed and how many ships each may take,
// the funds rule, MAX and MAX for every castle, and what OK writes for trade ships and warships.
#include <gtest/gtest.h>

#include <vector>

#include "game/domestic/ship_orders.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Two provinces; castles 0, 2, 4 and 6 lie in province 0. House 0 holds them all, every castle is
// a port on a waterway. Trade ships cost 2000, warships 1000.
struct ShipWorld : TestWorld {
    ShipWorld() : TestWorld({.castles = 8, .houses = 3, .provinces = 2}) {
        for (int c = 0; c < 8; ++c)
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].flags =
                ShiroMapRecord::kFlagPort | ShiroMapRecord::kFlagWaterway;
        gs.nKouekisenPrice = 2000;
        gs.nGunsenPrice = 1000;
        gs.DaimyouTbl[0].shikin = 100000;
    }
};

TEST(ShipOrdersTest, TradeShipsListUnbesiegedPortsWithRoomUpToTen) {
    ShipWorld w;
    w.gs.ShiroMapTbl[4].flags = ShiroMapRecord::kFlagWaterway;  // no port
    w.Own(6, 1);
    w.gs.ShiroTbl[0].kouekisen = 10;  // 6 in port, 4 at sea: full
    w.gs.ShiroTbl[0].voyage[0] = {4, 0, 2, 3};
    w.gs.ShiroTbl[2].kouekisen = 3;
    KouekisenKenzouOrder order(w.gs, 0, 0);
    EXPECT_EQ(order.Shiro(), (std::vector<int>{0, 2}));
    EXPECT_EQ(order.Cap(0), 0);
    EXPECT_EQ(order.Waiting(0), 6);
    EXPECT_EQ(order.AtSea(0), 4);
    EXPECT_EQ(order.Cap(1), 7);
    order.SetNew(0, 3);
    EXPECT_EQ(order.New(0), 0) << "a full castle takes nothing";

    w.Besiege(2, 1);
    EXPECT_EQ(KouekisenKenzouOrder(w.gs, 0, 0).Shiro(), (std::vector<int>{0}));
}

TEST(ShipOrdersTest, TheFundsCutTheTypedCountAndMaxGivesWhatTheyPay) {
    struct Case {
        const char* what;
        int funds, typed;
        int expect;
        bool accepted;
    } cases[] = {
        {"funds exactly at the price", 2000, 1, 1, true},
        {"one below the price", 1999, 1, 0, false},
        {"more than the funds pay is cut", 5000, 4, 2, false},
        {"a count above the room is held to it", 100000, 50, 10, true},
        {"a negative count becomes 0", 100000, -3, 0, true},
    };
    for (const Case& c : cases) {
        ShipWorld w;
        w.gs.DaimyouTbl[0].shikin = c.funds;
        KouekisenKenzouOrder order(w.gs, 0, 0);
        EXPECT_EQ(order.SetNew(0, c.typed), c.accepted) << c.what;
        EXPECT_EQ(order.New(0), c.expect) << c.what;
        order.Max(1);
        EXPECT_EQ(order.Remaining(), c.funds - 2000 * (order.New(0) + order.New(1))) << c.what;
        EXPECT_GE(order.Remaining(), 0) << c.what;
        EXPECT_LT(order.Remaining(), order.New(1) < 10 ? 2000 : c.funds + 1) << c.what;
    }
}

TEST(ShipOrdersTest, TradeShipsMaxAllFillsTheFirstPortsAndOkBuildsAndPays) {
    ShipWorld w;
    w.gs.DaimyouTbl[0].shikin = 2000 * 13;
    w.gs.ShiroTbl[2].kouekisen = 4;
    KouekisenKenzouOrder order(w.gs, 0, 0);
    order.MaxAll();
    EXPECT_EQ(order.New(0), 10);
    EXPECT_EQ(order.New(1), 3);
    EXPECT_EQ(order.New(2), 0);
    order.Apply(w.gs);
    EXPECT_EQ(w.gs.ShiroTbl[0].kouekisen, 10);
    EXPECT_EQ(w.gs.ShiroTbl[2].kouekisen, 7);
    EXPECT_EQ(w.gs.ShiroTbl[4].kouekisen, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 0);
}

TEST(ShipOrdersTest, WarshipPortsTakeOrdersWhenIdleOrOrderedThisMonth) {
    struct Case {
        const char* what;
        std::uint8_t building;
        bool takes;
        int cap;
    } cases[] = {
        {"idle", 0x00, true, 5},
        {"2 ordered this month", 0x42, true, 3},
        {"3 ordered in an earlier month", 0x33, false, 0},
        {"5 ordered this month", 0x45, true, 0},
        {"1 left to finish next month", 0x11, false, 0},
    };
    for (const Case& c : cases) {
        ShipWorld w;
        w.gs.ShiroTbl[0].gunsenBuilding = c.building;
        w.gs.GunsenTable.AddGunsen(0, 0, 7);
        GunsenKenzouOrder order(w.gs, 0, 0);
        EXPECT_EQ(order.TakesOrders(0), c.takes) << c.what;
        EXPECT_EQ(order.Cap(0), c.cap) << c.what;
        EXPECT_EQ(order.Lying(0), 7) << c.what;
        order.SetNew(0, 9);
        EXPECT_EQ(order.New(0), c.cap) << c.what;
        order.Apply(w.gs);
        if (c.cap > 0) {
            EXPECT_EQ(w.gs.ShiroTbl[0].gunsenBuilding, 0x40 | ((c.building & 0x0F) + c.cap)) << c.what;
            EXPECT_EQ(w.gs.ShiroTbl[0].gunsenBuilder, 0) << c.what;
        } else {
            EXPECT_EQ(w.gs.ShiroTbl[0].gunsenBuilding, c.building) << c.what;
        }
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 100000 - 1000 * c.cap) << c.what;
    }
}

TEST(ShipOrdersTest, WarshipsMaxAllWithFundsForSevenGivesFiveThenTwo) {
    ShipWorld w;
    w.gs.DaimyouTbl[0].shikin = 7 * 1000 + 999;
    w.gs.ShiroTbl[0].gunsenBuilding = 0x23;                 // busy: skipped
    w.gs.ShiroMapTbl[2].flags = ShiroMapRecord::kFlagPort;  // no waterway: not listed
    w.gs.ShiroTbl[6].gunsenBuilder = 2;
    GunsenKenzouOrder order(w.gs, 0, 0);
    ASSERT_EQ(order.Shiro(), (std::vector<int>{0, 4, 6}));
    order.MaxAll();
    EXPECT_EQ(order.New(0), 0);
    EXPECT_EQ(order.New(1), 5);
    EXPECT_EQ(order.New(2), 2);
    EXPECT_EQ(order.Remaining(), 999);
    order.Apply(w.gs);
    EXPECT_EQ(w.gs.ShiroTbl[0].gunsenBuilding, 0x23);
    EXPECT_EQ(w.gs.ShiroTbl[4].gunsenBuilding, 0x45);
    EXPECT_EQ(w.gs.ShiroTbl[6].gunsenBuilding, 0x42);
    EXPECT_EQ(w.gs.ShiroTbl[6].gunsenBuilder, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 999);

    // MAX on one port counts the others' orders: with 5 set elsewhere, 2 are left.
    w.gs.DaimyouTbl[0].shikin = 7000;
    GunsenKenzouOrder again(w.gs, 0, 0);
    again.SetNew(1, 0);
    again.Max(1);
    EXPECT_EQ(again.New(1), 0) << "the port building 5 this month takes no more";
    again.Max(0);
    EXPECT_EQ(again.New(0), 0);
    again.Max(2);
    EXPECT_EQ(again.New(2), 3);
}

}  // namespace
}  // namespace rymd
