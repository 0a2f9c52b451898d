#include <gtest/gtest.h>

#include "ai/war_world.h"
#include "game/ai/attack_planner.h"

namespace rymd::test {
namespace {

// Castle 0 of house 0 with three generals of 500 foot; castle 1 of house 1, garrison only;
// joined by a link of the given kind.
struct SortieWorld : WarWorld {
    explicit SortieWorld(int kind = 0, int gundan = -1) : WarWorld(3, 3) {
        Link(0, 1, kind);
        Own(1, 1);
        Own(2, 2);
        for (int i = 0; i < 3; ++i)
            generals.push_back(AddBushou(0, 0, {.foot = 500, .gundan = gundan}));
    }
    std::vector<int> generals;
};

TEST(AttackPlanning, WhoPlans) {
    struct Case {
        const char* name;
        int gundanOrder;  // -1 the directly held part
        bool vassal;
        int behaviour;
        bool plans;
    };
    for (const Case& c :
         {Case{"house", -1, false, 0, true}, Case{"vassal", -1, true, 0, false},
          Case{"override 0x10", -1, false, 1, false}, Case{"override 0x20", -1, false, 2, false},
          Case{"待機", 0, false, 0, false}, Case{"侵攻", 1, false, 0, true}, Case{"内政", 2, false, 0, false},
          Case{"侵攻・内政", 3, false, 0, true}}) {
        SCOPED_TRACE(c.name);
        SortieWorld w(0, c.gundanOrder < 0 ? -1 : 0);
        if (c.gundanOrder >= 0) {
            CGundan& k = GundanAt(w.gs, 0);
            k.leader = w.generals[0];
            k.daimyou = 0;
            k.order = static_cast<std::uint16_t>(c.gundanOrder);
            k.tantouKuni = {0, -1, -1, -1};
        }
        if (c.vassal) w.MakeVassal(0, 2);
        DaimyouAt(w.gs, 0).kindByte = static_cast<std::uint8_t>(c.behaviour << 4);
        CAttackPlanner(w.Context()).PlanDaimyouAttacks(0);
        EXPECT_EQ(!w.Ordered().empty(), c.plans);
    }
}

// Every order names the target and the origin; 0x20 exactly when the army goes by sea, with
// the ships to carry it. All three free generals would go, so the weakest stays home.
TEST(AttackPlanning, SortieOrdersByLandAndBySea) {
    for (int kind : {0, 3}) {
        SCOPED_TRACE(kind);
        SortieWorld w(kind);
        GameState& gs = w.gs;
        if (kind == 3) {
            gs.ShiroMapTbl[0].flags |= ShiroMapRecord::kFlagWaterway;
            gs.ShiroMapTbl[1].flags |= ShiroMapRecord::kFlagWaterway;
            gs.GunsenTable.AddGunsen(0, 0, 10);
        }
        CAttackPlanner(w.Context()).PlanDaimyouAttacks(0);
        const std::vector<int> ordered = w.Ordered();
        ASSERT_EQ(ordered.size(), 2u);
        for (int g : ordered) {
            const CBushou& b = BushouAt(gs, g);
            EXPECT_EQ(b.sortieShiro, 1);
            EXPECT_EQ(b.sortieOrigin, 0);
            EXPECT_EQ((b.flags & CBushou::kFlagByWater) != 0, kind == 3);
        }
        EXPECT_EQ(gs.GunsenTable.GetGunsenMovingBetween(0, 1), kind == 3 ? 10 : 0);
    }
}

// A castle besieged by a third house is joined only when the planner's troops beat the
// besiegers' by the random factor (1.1 to 1.5) and the siege would end within 2 months; a
// besieger on good terms with the planner keeps it to himself.
TEST(AttackPlanning, TargetBesiegedByAThirdHouse) {
    struct Case {
        const char* name;
        int besiegerFoot;
        int relation;
        bool joins;
    };
    for (const Case& c : {Case{"weak besiegers", 1000, CDaimyou::kRelShukuteki, true},
                          Case{"strong besiegers", 5000, CDaimyou::kRelShukuteki, false},
                          Case{"friendly besiegers", 1000, CDaimyou::kRelFusen, false}}) {
        SCOPED_TRACE(c.name);
        SortieWorld w;
        GameState& gs = w.gs;
        for (int g : w.generals)
            BushouAt(gs, g).foot = 600;
        CShiro& t = ShiroAt(gs, 1);
        t.kibo = 0;
        t.shubihei = 0;
        w.Besiege(1, 2, {.foot = c.besiegerFoot});
        DaimyouAt(gs, 2).SetRelationLo(0, c.relation);
        CAttackPlanner(w.Context()).PlanDaimyouAttacks(0);
        EXPECT_EQ(!w.Ordered().empty(), c.joins);
    }
}

// Planning again never re-orders a general: candidates need the ordered flag clear.
TEST(AttackPlanning, NoGeneralIsOrderedTwice) {
    SortieWorld w;
    GameState& gs = w.gs;
    w.Link(0, 2, 0);
    for (int i = 0; i < 4; ++i)
        w.generals.push_back(w.AddBushou(0, 0, {.foot = 300}));
    CAttackPlanner planner(w.Context());
    planner.PlanDaimyouAttacks(0);
    std::vector<std::pair<int, int>> first;
    for (int g : w.Ordered())
        first.emplace_back(g, BushouAt(gs, g).sortieShiro);
    ASSERT_FALSE(first.empty());
    planner.PlanDaimyouAttacks(0);
    for (auto [g, target] : first)
        EXPECT_EQ(BushouAt(gs, g).sortieShiro, target);
    EXPECT_GE(w.Ordered().size(), first.size());
}

// A general held by another house serves no house: his former house neither counts him among its
// free generals (so that all three at the front would go and the weakest stays home) nor takes
// him into the strike force of its estimates.
TEST(AttackPlanning, HeldGeneralsAreNobodysForThePlanner) {
    struct Case {
        const char* name;
        std::uint8_t status;
        std::int16_t holder;
    };
    for (const Case& c : {Case{"none", CBushou::kStatusKashin, -1}, Case{"captive", CBushou::kStatusHoryo, 2},
                          Case{"hostage", CBushou::kStatusHitojichi, 2}}) {
        SCOPED_TRACE(c.name);
        SortieWorld w;
        if (c.holder >= 0) {
            // Taken at a castle of his captor, far from the front.
            const int held = w.AddBushou(0, 2);
            CBushou& b = BushouAt(w.gs, held);
            b.daimyou = CBushou::kDaimyouHitojichi;
            b.originDaimyou = 0;
            b.holderDaimyou = c.holder;
            b.status = c.status;
        }
        CAttackPlanner(w.Context()).PlanDaimyouAttacks(0);
        EXPECT_EQ(w.Ordered().size(), 2u);
    }
}

}  // namespace
}  // namespace rymd::test
