// The player's moves of generals: the origin and target checks by land and by water, the route
// costs against the distance limit, the pending move written into the generals, and the warships
// planned per owner row.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "game/military/navy_sortie.h"
#include "game/military/sortie.h"
#include "game/state/route.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

// The player's house 0 holds castles 0, 1, 2, 3 (0 and 2 and 3 on a waterway); house 1 holds 4.
// Land: 0 - 1 - 4. Sea: 0 = 2 = 3 and 0 = 4.
struct MoveWorld : TestWorld {
    static constexpr int kPlayer = 0;
    MoveWorld() : TestWorld({.castles = 5, .houses = 3, .provinces = 5}) {
        Own(4, 1);
        Link(0, 1, 0);
        Link(1, 4, 0);
        Link(0, 2, 3);
        Link(2, 3, 3);
        Link(0, 4, 3);
        for (int c : {0, 2, 3, 4})
            gs.ShiroMapTbl[c].flags |= ShiroMapRecord::kFlagWaterway;
        gs.nDistanceLimit = 10000;
    }
};

TEST(MoveOrigin, WaterwaysSiegesBlockadesAndTheSiegeOrigin) {
    struct Case {
        const char* name;
        int shiro;
        bool water;
        std::function<void(MoveWorld&)> setUp;
        MoveOriginKind kind;
        const char* message;
    };
    const Case cases[] = {
        {"own castle by land", 1, false, nullptr, MoveOriginKind::kOwn, ""},
        {"own castle by water", 0, true, nullptr, MoveOriginKind::kOwn, ""},
        {"by water from a castle without a waterway", 1, true, nullptr, MoveOriginKind::kRefused,
         "水路がありません"},
        {"no waterway comes before ownership", 1, true, [](MoveWorld& w) { w.Own(1, 1); },
         MoveOriginKind::kRefused, "水路がありません"},
        {"besieged own castle by land", 0, false, [](MoveWorld& w) { w.Besiege(0, 1); },
         MoveOriginKind::kRefused, "包囲されている城からは移動できません"},
        {"besieged own castle by water is no refusal", 0, true, [](MoveWorld& w) { w.Besiege(0, 1); },
         MoveOriginKind::kOwn, ""},
        {"blockaded own castle by water", 0, true, [](MoveWorld& w) { w.gs.ShiroTbl[0].blockadeDaimyou = 1; },
         MoveOriginKind::kRefused, "水路封鎖されている城からは移動できません"},
        {"blockaded own castle by land", 0, false, [](MoveWorld& w) { w.gs.ShiroTbl[0].blockadeDaimyou = 1; },
         MoveOriginKind::kOwn, ""},
        {"a castle the player besieges", 4, false, [](MoveWorld& w) { w.Besiege(4, 0); },
         MoveOriginKind::kSiege, ""},
        {"a castle the player's vassal besieges", 4, true,
         [](MoveWorld& w) {
             w.MakeVassal(2, 0);
             w.Besiege(4, 2);
         },
         MoveOriginKind::kSiege, ""},
        {"a vassal's castle counts as the player's", 1, false,
         [](MoveWorld& w) {
             w.Own(1, 2);
             w.MakeVassal(2, 0);
         },
         MoveOriginKind::kOwn, ""},
        {"another house's castle", 4, false, nullptr, MoveOriginKind::kRefused, ""},
        {"a castle another house besieges", 4, false, [](MoveWorld& w) { w.Besiege(4, 2); },
         MoveOriginKind::kRefused, ""},
        {"no castle", -1, false, nullptr, MoveOriginKind::kRefused, ""},
        {"a castle past the table", 5, true, nullptr, MoveOriginKind::kRefused, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveWorld w;
        if (c.setUp) c.setUp(w);
        const MoveOrigin o = CheckMoveOrigin(w.gs, MoveWorld::kPlayer, c.shiro, c.water);
        EXPECT_EQ(o.kind, c.kind);
        EXPECT_EQ(o.message, c.message);
    }
}

TEST(MoveTarget, TheFourChecksInTheirOrderAndTheDistanceLimit) {
    constexpr const char* kFarLand = "距離が遠すぎるか、経路が陸路で接続されていません";
    constexpr const char* kFarSea = "距離が遠すぎるか、経路が水路で接続されていません";
    struct Case {
        const char* name;
        int origin, shiro;
        bool water;
        std::function<void(MoveWorld&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {"own castle by road", 0, 1, false, nullptr, ""},
        {"own castle by sea over two links", 0, 3, true, nullptr, ""},
        {"another house's castle", 0, 4, true, nullptr, "当家または臣従大名家の城以外には移動できません"},
        {"a vassal's castle", 0, 1, false,
         [](MoveWorld& w) {
             w.Own(1, 2);
             w.MakeVassal(2, 0);
         },
         ""},
        {"a besieged castle by land", 0, 1, false, [](MoveWorld& w) { w.Besiege(1, 1); },
         "包囲されている城には移動できません"},
        {"a besieged castle by water", 0, 2, true, [](MoveWorld& w) { w.Besiege(2, 1); }, ""},
        {"a blockaded castle by water", 0, 2, true,
         [](MoveWorld& w) { w.gs.ShiroTbl[2].blockadeDaimyou = 1; },
         "水路封鎖されている城には移動できません"},
        {"ownership comes before the siege", 0, 4, false, [](MoveWorld& w) { w.Besiege(4, 2); },
         "当家または臣従大名家の城以外には移動できません"},
        {"by land to a castle linked by sea only", 0, 2, false, nullptr, kFarLand},
        {"by water to a castle linked by land only", 0, 1, true, nullptr, kFarSea},
        {"by water through another house's castle", 2, 1, true, nullptr, kFarSea},
        {"from a siege: the besieged start is passable", 4, 1, false, [](MoveWorld& w) { w.Besiege(4, 0); },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MoveWorld w;
        if (c.setUp) c.setUp(w);
        const std::vector<std::uint16_t> costs = MoveRouteCosts(w.gs, MoveWorld::kPlayer, c.origin, c.water);
        EXPECT_EQ(CheckMoveTarget(w.gs, MoveWorld::kPlayer, c.shiro, c.water, costs), c.message);
    }
}

TEST(MoveTarget, ACostEqualToTheLimitPassesOneAboveFails) {
    for (const bool water : {false, true}) {
        SCOPED_TRACE(water ? "water" : "land");
        MoveWorld w;
        const int target = water ? 3 : 1;
        const std::vector<std::uint16_t> costs = MoveRouteCosts(w.gs, MoveWorld::kPlayer, 0, water);
        const int cost = costs[static_cast<std::size_t>(target)];
        ASSERT_GT(cost, 0);
        ASSERT_LT(cost, kRouteUnreachable);
        w.gs.nDistanceLimit = cost;
        EXPECT_EQ(CheckMoveTarget(w.gs, MoveWorld::kPlayer, target, water, costs), "");
        w.gs.nDistanceLimit = cost - 1;
        EXPECT_NE(CheckMoveTarget(w.gs, MoveWorld::kPlayer, target, water, costs), "");
        // A castle with no route fails whatever the limit.
        w.gs.nDistanceLimit = kRouteCostMax;
        EXPECT_NE(CheckMoveTarget(w.gs, MoveWorld::kPlayer, water ? 1 : 2, water, costs), "");
    }
}

TEST(MoveTarget, AShortCostArrayRefusesInsteadOfReadingPastIt) {
    MoveWorld w;
    EXPECT_EQ(CheckMoveTarget(w.gs, MoveWorld::kPlayer, 3, true, {}),
              "距離が遠すぎるか、経路が水路で接続されていません");
}

TEST(MoveOrder, SetsTheDestinationAndTheMarkAndLeavesTheSiege) {
    MoveWorld w;
    const int a = w.Besiege(4, 0);
    const int b = w.AddBushou(0, 1);
    w.gs.BushouTbl[b].flags = CBushou::kFlagByWater;
    WriteMoveOrder(w.gs, std::vector<int>{a, b, -1, 999}, 2);
    EXPECT_EQ(w.gs.BushouTbl[a].flags, CBushou::kFlagOrdered);
    EXPECT_EQ(w.gs.BushouTbl[a].moveShiro, 2);
    EXPECT_EQ(w.gs.BushouTbl[a].shiro, 4);  // he goes when the moves are carried out
    EXPECT_EQ(w.gs.BushouTbl[b].flags, CBushou::kFlagOrdered | CBushou::kFlagByWater);
    EXPECT_EQ(w.gs.BushouTbl[b].moveShiro, 2);
}

TEST(MoveOrder, WarshipsArePlannedPerOwnerRowFromTheFleetsOrTheBlockade) {
    MoveWorld w;
    w.MakeVassal(2, 0);
    w.gs.GunsenTable.AddGunsen(0, 0, 30);
    w.gs.GunsenTable.AddGunsen(2, 0, 12);
    const std::vector<NavyShipOrder> orders = {{0, 20}, {2, 12}, {1, 0}};
    PlanNavyMove(w.gs, 0, 2, orders, false);
    EXPECT_EQ(w.gs.GunsenTable.GetGunsenMovingBetween(0, 2), 32);
    EXPECT_EQ(w.gs.GunsenTable.GetFreeGunsenAtShiro(0), 10);

    // From a siege the blockade fleets off the castle sail.
    MoveWorld s;
    s.Besiege(4, 0);
    s.gs.ShiroTbl[4].blockadeDaimyou = 0;
    s.gs.GunsenTable.AddGunsen(0, 4, 15);
    s.gs.GunsenTable.records[0].flags = GunsenRecord::kFlagBlockade;
    PlanNavyMove(s.gs, 4, 0, std::vector<NavyShipOrder>{{0, 15}}, true);
    EXPECT_EQ(s.gs.GunsenTable.records[0].destination, 0);
    EXPECT_EQ(s.gs.GunsenTable.GetFreeBlockadeGunsenAtShiro(4), 0);
}

}  // namespace
}  // namespace rymd::test
