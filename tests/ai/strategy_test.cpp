#include <gtest/gtest.h>

#include "ai/war_world.h"
#include "game/ai/cpu_senryaku.h"

namespace rymd::test {
namespace {

// Castles 0 and 3 of house 0, castle 2 of house 1; 0-3 and 3-2 joined by road; castle 1 of
// house 0 joined to 0 (the castle that may be besieged).
struct FrontWorld : WarWorld {
    FrontWorld() : WarWorld(4, 3) {
        Link(0, 1, 0);
        Link(0, 3, 0);
        Link(3, 2, 0);
        Own(2, 1);
    }
};

TEST(StrategyPlanner, VassalAndStaticHousesPlanNothing) {
    struct Case {
        const char* name;
        bool vassal;
        int behaviour;
        bool plans;
    };
    for (const Case& c : {Case{"normal", false, 0, true}, Case{"vassal", true, 0, false},
                          Case{"static", false, CDaimyou::kBehaviourStatic, false}}) {
        SCOPED_TRACE(c.name);
        FrontWorld w;
        w.AddBushou(0, 0, {.foot = 200, .cavalry = 50});
        w.AddBushou(0, 0, {.foot = 100, .cavalry = 40});
        if (c.vassal) w.MakeVassal(0, 2);
        DaimyouAt(w.gs, 0).kindByte = static_cast<std::uint8_t>(c.behaviour << 4);
        CCpuSenryaku planner(w.Context());
        planner.PlanDaimyou(0);
        EXPECT_EQ(!w.Ordered().empty(), c.plans);
    }
}

// One general can do only one thing: relieving the besieged castle 1 (he waits in castle 0,
// next to it) comes before marching on the enemy castle 2 by way of castle 3.
TEST(StrategyPlanner, BesiegedCastleIsRelievedBeforeANewTarget) {
    for (bool besieged : {true, false}) {
        SCOPED_TRACE(besieged ? "castle 1 besieged" : "no siege");
        FrontWorld w;
        const int g = w.AddBushou(0, 0, {.foot = 500, .cavalry = 300});
        if (besieged) w.Besiege(1, 1, {.foot = 50});
        CCpuSenryaku planner(w.Context());
        planner.PlanGundan(0, -1);
        const CBushou& b = BushouAt(w.gs, g);
        ASSERT_TRUE(b.flags & CBushou::kFlagOrdered);
        EXPECT_EQ(b.moveShiro, besieged ? 0 : 3);
    }
}

// A target besieged by a third house is left alone when that house is not hostile to the
// planner; besieged by a hostile house it stays a target.
TEST(StrategyPlanner, TargetBesiegedByAThirdHouse) {
    for (int relation : {CDaimyou::kRelFusen, CDaimyou::kRelShukuteki}) {
        SCOPED_TRACE(relation);
        FrontWorld w;
        w.AddBushou(0, 3, {.foot = 500, .cavalry = 300});
        w.Besiege(2, 2, {.foot = 100});
        DaimyouAt(w.gs, 2).SetRelationLo(0, relation);
        CCpuSenryaku planner(w.Context());
        planner.PlanGundan(0, -1);
        EXPECT_EQ(w.Ordered().empty(), relation == CDaimyou::kRelFusen);
    }
}

// A relief is given up (result 3, nothing ordered, committed untouched) when the chosen troops
// stay below the besiegers' and no chosen general outwits the besiegers' best by 3.
TEST(StrategyPlanner, ReliefUnderItsThresholdIsAbandoned) {
    struct Case {
        int ourIntellect;
        int result;
    };
    for (const Case& c : {Case{1, CCpuSenryaku::kCommitGivenUp}, Case{9, CCpuSenryaku::kCommitWholePool}}) {
        SCOPED_TRACE(c.ourIntellect);
        FrontWorld w;
        const int g = w.AddBushou(0, 0, {.foot = 10});
        BushouAt(w.gs, g).chibou = static_cast<std::uint8_t>(c.ourIntellect);
        const int s = w.Besiege(1, 1, {.foot = 1000});
        BushouAt(w.gs, s).chibou = 5;
        CCpuSenryaku planner(w.Context());
        planner.SetPlanned(0, -1);
        int committed = 777;
        EXPECT_EQ(planner.CommitToShiro(0, -1, 1, committed), c.result);
        EXPECT_EQ(committed, c.result == CCpuSenryaku::kCommitGivenUp ? 777 : 10);
        EXPECT_EQ(w.Ordered().empty(), c.result == CCpuSenryaku::kCommitGivenUp);
    }
}

// A target no castle of the house touches gives an empty pool: result 2, nothing committed.
TEST(StrategyPlanner, TargetWithoutLaunchPointCommitsNothing) {
    FrontWorld w;
    w.AddBushou(0, 0, {.foot = 100, .cavalry = 100});
    w.Own(3, 1);  // castle 2 now touches no castle of house 0
    CCpuSenryaku planner(w.Context());
    planner.SetPlanned(0, -1);
    int committed = 5;
    EXPECT_EQ(planner.CommitToShiro(0, -1, 2, committed), CCpuSenryaku::kCommitWholePool);
    EXPECT_EQ(committed, 0);
    EXPECT_TRUE(w.Ordered().empty());
}

// Twenty-one generals bound for one castle: the weakest by 3 x cavalry + foot leaves, a general
// of no corps counting 30000 more.
TEST(StrategyPlanner, TwentyFirstGeneralDisplacesTheWeakest) {
    struct Case {
        const char* name;
        int arrivingFoot;
        int arrivingCorps;
        int weakestCorps;
        bool arrivingStays;
    };
    for (const Case& c :
         {Case{"weaker resident leaves", 50, 0, 0, true}, Case{"stronger residents stay", 5, 0, 0, false},
          Case{"corps-less resident stays", 50, 0, -1, false},
          Case{"corps-less arrival stays", 5, -1, 0, true}}) {
        SCOPED_TRACE(c.name);
        WarWorld w(2, 1);
        w.Link(0, 1, 0);
        int weakest = -1;
        for (int i = 0; i < 20; ++i) {
            const int g =
                w.AddBushou(0, 0, {.foot = i == 7 ? 10 : 100, .gundan = i == 7 ? c.weakestCorps : 0});
            if (i == 7) weakest = g;
        }
        const int arriving = w.AddBushou(0, 1, {.foot = c.arrivingFoot, .gundan = c.arrivingCorps});
        CBushou& a = BushouAt(w.gs, arriving);
        a.moveShiro = 0;
        a.flags |= CBushou::kFlagOrdered;
        CCpuSenryaku planner(w.Context());
        planner.ApplyPendingMoves();
        const GameState& gs = w.gs;
        EXPECT_EQ(ShiroAt(gs, 0).nBushou, 20);
        EXPECT_EQ(BushouAt(gs, arriving).shiro, c.arrivingStays ? 0 : 1);
        EXPECT_EQ(BushouAt(gs, weakest).shiro, c.arrivingStays ? 1 : 0);
        EXPECT_EQ(BushouAt(gs, arriving).flags & CBushou::kFlagOrdered, 0);
        EXPECT_EQ(BushouAt(gs, arriving).moveShiro, -1);
    }
}

TEST(StrategyPlanner, HostagesKeepTheirPendingDestination) {
    WarWorld w(2, 2);
    w.Link(0, 1, 0);
    w.Own(1, 1);
    const int h = w.AddBushou(0, -1, {});
    CBushou& b = BushouAt(w.gs, h);
    b.status = CBushou::kStatusHitojichi;
    b.daimyou = CBushou::kDaimyouHitojichi;
    b.originDaimyou = 0;
    b.holderDaimyou = 1;
    b.shiro = 1;
    b.moveShiro = 0;
    b.flags |= CBushou::kFlagOrdered;
    CCpuSenryaku planner(w.Context());
    planner.ApplyPendingMoves();
    EXPECT_EQ(BushouAt(w.gs, h).moveShiro, 0);
    EXPECT_TRUE(BushouAt(w.gs, h).flags & CBushou::kFlagOrdered);
}

// A corps ordered to domestic work sends its best politician to the province that needs work
// and gives no military order; the corps's province 1 holds castle 3.
TEST(StrategyPlanner, DomesticCorpsOnlyPlacesPoliticians) {
    FrontWorld w;
    GameState& gs = w.gs;
    gs.nKuni = 2;
    for (int c = 0; c < 4; ++c)
        gs.ShiroMapTbl[c].kuni = c == 3 ? 1 : 0;
    gs.ShiroMapTbl[3].maxKeizai = 500;
    ShiroAt(gs, 3).keizai = 100;
    CGundan& corps = GundanAt(gs, 0);
    corps.daimyou = 0;
    corps.order = CGundan::kOrderNaisei;
    corps.tantouKuni = {1, -1, -1, -1};
    const int politician = w.AddBushou(0, 0, {.foot = 10, .cavalry = 10, .gundan = 0});
    BushouAt(gs, politician).seiji = 9;
    corps.leader = w.AddBushou(0, 0, {.foot = 200, .cavalry = 200, .gundan = 0});
    CCpuSenryaku planner(w.Context());
    planner.PlanGundan(0, 0);
    EXPECT_EQ(BushouAt(gs, politician).moveShiro, 3);
    EXPECT_EQ(w.Ordered(), std::vector<int>{politician});
}

TEST(StrategyPlanner, TraceRouteFollowsTheCheapestLinks) {
    FrontWorld w;
    w.Own(2, 0);
    CCpuSenryaku planner(w.Context());
    planner.SetPlanned(0, -1);
    std::vector<CCpuSenryaku::Hop> path;
    EXPECT_EQ(planner.TraceRoute(1, 2, path, CCpuSenryaku::kRouteAll), 3);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[0].shiro, 0);
    EXPECT_EQ(path[2].shiro, 2);
    EXPECT_EQ(planner.TraceRoute(1, 1, path, CCpuSenryaku::kRouteAll), 0);
    EXPECT_EQ(planner.TraceRoute(1, 2, path, CCpuSenryaku::kRouteSea), -1);  // no sea lane anywhere
}

}  // namespace
}  // namespace rymd::test
