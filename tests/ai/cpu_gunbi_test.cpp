// The armament planner: castle works and provisions on the front line, conscription within the
// allowances and per-general caps, and the hand-out of muskets.
#include <gtest/gtest.h>

#include <climits>

#include "ai/planner_world.h"
#include "game/ai/cpu_gunbi.h"
#include "game/domestic/castle_economy.h"
#include "game/state/queries.h"

namespace rymd {
namespace {

using test::PlannerWorld;

TEST(CpuGunbiTest, ACorpsThatDoesNotInvadeOnlyGetsMuskets) {
    for (std::uint16_t order : {std::uint16_t{0}, CGundan::kOrderNaisei}) {
        PlannerWorld w;
        const int a = w.AddBushou(0, 1, {.foot = 300});
        const int b = w.AddBushou(0, 1, {.foot = 100});
        const int k = w.AddGundan(0, a);
        w.gs.BushouTbl[b].gundan = static_cast<std::int16_t>(k);
        CGundan& corps = w.gs.GundanTbl[k];
        corps.order = order;
        corps.tantouKuni = {1, -1, -1, -1};
        corps.shikin = 100000;
        corps.teppou = 200;
        w.Snapshot();
        const CShiro before = w.gs.ShiroTbl[1];

        CCpuGunbi(w.Context()).PlanGundan(0, k);
        EXPECT_EQ(w.gs.BushouTbl[a].muskets, 150) << order;  // 300 / 400 of 200
        EXPECT_EQ(w.gs.BushouTbl[b].muskets, 50) << order;
        EXPECT_EQ(corps.teppou, 0);
        EXPECT_EQ(corps.shikin, 100000);
        EXPECT_EQ(w.gs.BushouTbl[a].foot, 300);
        EXPECT_EQ(w.gs.ShiroTbl[1].kibo, before.kibo);
        EXPECT_EQ(w.gs.ShiroTbl[1].hyourou, before.hyourou);
        EXPECT_EQ(w.gs.ShiroTbl[1].shubihei, before.shubihei);
    }
}

TEST(CpuGunbiTest, SoldiersStayWithinThePerGeneralCapsAndMusketsWithinFoot) {
    for (int unit : {1, 10}) {
        PlannerWorld w;
        w.gs.nHeiUnit = unit;
        for (int c = 0; c < 2; ++c) {
            w.gs.ShiroTbl[c].kokudaka = 5000000;
            w.gs.ShiroMapTbl[c].maxKokudaka = 5000000;
            w.gs.ShiroTbl[c].keizai = 30000;
        }
        w.gs.DaimyouTbl[0].shikin = 100000000;
        w.gs.DaimyouTbl[0].teppou = 30000;
        const int strong = w.AddBushou(0, 0);
        w.gs.BushouTbl[strong].buyuu = 10;
        const int weak = w.AddBushou(0, 0);
        w.gs.BushouTbl[weak].buyuu = 1;
        const int none = w.AddBushou(0, 0, {.foot = 7});
        w.gs.BushouTbl[none].buyuu = 0;  // no valour: nothing beyond what he has
        w.Snapshot();

        CCpuGunbi(w.Context()).PlanDaimyou(0);
        for (int g : {strong, weak}) {
            const CBushou& b = w.gs.BushouTbl[g];
            EXPECT_EQ(b.foot, 5000 / unit) << unit;
            EXPECT_EQ(b.cavalry, 2000 / unit) << unit;
            EXPECT_EQ(b.muskets, b.foot) << unit;
        }
        EXPECT_EQ(w.gs.BushouTbl[none].foot, 7);
        EXPECT_EQ(w.gs.BushouTbl[none].cavalry, 0);
        EXPECT_LE(w.gs.BushouTbl[none].muskets, 7);
        // The front-line garrison took its share first: as many as its provisions feed.
        const CShiro& front = w.gs.ShiroTbl[1];
        EXPECT_EQ(front.shubihei, std::min<int>(front.hyourou / 10 / unit, 2000 / 10 * front.kibo / unit));
        EXPECT_EQ(w.gs.ShiroTbl[0].shubihei, 0);  // not on the front
    }
}

TEST(CpuGunbiTest, ConscriptionIsPaidAndChargedToTheCastles) {
    PlannerWorld w;
    w.gs.DaimyouTbl[0].shikin = 50000;
    w.gs.ShiroTbl[0].keizai = 2000;
    const int g = w.AddBushou(0, 0);
    w.gs.BushouTbl[g].buyuu = 8;
    w.Snapshot();
    int cavalry = 0;
    int foot = 0;
    CalcChouheiLimits(w.gs, 0, -1, cavalry, foot);
    ASSERT_GT(foot, 0);

    CCpuGunbi(w.Context()).PlanGundan(0, -1);
    const int raisedFoot = w.gs.BushouTbl[g].foot + w.gs.ShiroTbl[1].shubihei;
    const int raisedCavalry = w.gs.BushouTbl[g].cavalry;
    EXPECT_GT(raisedFoot, 0);
    EXPECT_LE(raisedFoot, foot);
    EXPECT_LE(raisedCavalry, cavalry);
    EXPECT_EQ(SumKokudakaOfGundan(w.gs, 0, -1), 20000 - raisedFoot - raisedCavalry);
    EXPECT_LT(w.gs.ShiroTbl[0].support, 800);
    EXPECT_GE(w.gs.DaimyouTbl[0].shikin, 0);
}

TEST(CpuGunbiTest, CastleWorksOnTheFrontOnceAMonthWithinTheSpareMoney) {
    struct Case {
        const char* what;
        int kind;
        int funds;
        int kibo;
        int snapshotKibo;
        bool front;
        int wantKibo;
    };
    // Size 2 costs 2000 and needs 3000 spare; size 5 costs 5000 and needs 15000.
    const Case cases[] = {
        {"enough spare", CDaimyou::kKindNormal, 3000, 2, 2, true, 3},
        {"too little", CDaimyou::kKindNormal, 2999, 2, 2, true, 2},
        {"RYUUKYUU halves the spare money", CDaimyou::kKindRyuukyuu, 3000, 2, 2, true, 2},
        {"RYUUKYUU with twice as much", CDaimyou::kKindRyuukyuu, 6000, 2, 2, true, 3},
        {"from size 5, three times the cost", CDaimyou::kKindNormal, 15000, 5, 5, true, 6},
        {"from size 5, short", CDaimyou::kKindNormal, 14999, 5, 5, true, 5},
        {"enlarged already this month", CDaimyou::kKindNormal, 100000, 3, 2, true, 3},
        {"not on the front", CDaimyou::kKindNormal, 100000, 2, 2, false, 2},
        {"at its maximum size", CDaimyou::kKindNormal, 100000, 10, 10, true, 10},
        {"size 0 costs nothing", CDaimyou::kKindNormal, 0, 0, 0, true, 1},
    };
    for (const Case& c : cases) {
        PlannerWorld w;
        w.gs.nShiroHyourouMax = 0;  // no provisions to buy
        w.gs.DaimyouTbl[0].kindByte = static_cast<std::uint8_t>(c.kind);
        w.gs.DaimyouTbl[0].shikin = c.funds;
        w.gs.ShiroTbl[1].kibo = static_cast<std::uint8_t>(c.snapshotKibo);
        if (!c.front) w.gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelFusen);
        w.Snapshot();
        w.gs.ShiroTbl[1].kibo = static_cast<std::uint8_t>(c.kibo);

        CCpuGunbi(w.Context()).PlanGundan(0, -1);
        EXPECT_EQ(w.gs.ShiroTbl[1].kibo, c.wantKibo) << c.what;
        const int paid = c.wantKibo > c.kibo ? c.kibo * 1000 : 0;
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, c.funds - paid) << c.what;
        EXPECT_EQ(w.gs.ShiroTbl[0].kibo, 2) << c.what;  // inland
    }
}

TEST(CpuGunbiTest, ProvisionsGoToTheFrontAndNotIntoABlockadedSiege) {
    PlannerWorld w;
    w.gs.DaimyouTbl[0].shikin = 1000;  // less than the first pass wants
    w.gs.ShiroTbl[1].hyourou = 0;
    w.gs.ShiroTbl[0].support = w.gs.ShiroTbl[1].support = 0;  // nobody to conscript
    // A port without trade ships: the price of the first one is kept out of the spare money.
    w.gs.ShiroMapTbl[0].flags |= ShiroMapRecord::kFlagPort;
    w.Snapshot();
    CCpuGunbi(w.Context()).PlanGundan(0, -1);
    // Capacity 4000, half 2000; the funds cap it at 1000, which is more than the spare (0): halved.
    EXPECT_EQ(w.gs.ShiroTbl[1].hyourou, 500u);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 500);
    EXPECT_EQ(w.gs.ShiroTbl[0].hyourou, 4000u);

    // A besieged castle gets nothing; on a waterway it is still fed in the first pass.
    for (bool waterway : {false, true}) {
        PlannerWorld v;
        v.gs.DaimyouTbl[0].shikin = 100000;
        v.gs.ShiroTbl[1].hyourou = 0;
        if (waterway) v.gs.ShiroMapTbl[1].flags |= ShiroMapRecord::kFlagWaterway;
        v.Besiege(1, 1);
        v.Snapshot();
        CCpuGunbi(v.Context()).PlanGundan(0, -1);
        EXPECT_EQ(v.gs.ShiroTbl[1].hyourou, waterway ? 2000u : 0u) << waterway;
    }
}

TEST(CpuGunbiTest, OddStatesDoNoHarm) {
    struct Case {
        const char* what;
        void (*arrange)(PlannerWorld&);
    };
    const Case cases[] = {
        {"no funds", [](PlannerWorld& w) { w.gs.DaimyouTbl[0].shikin = 0; }},
        {"debts", [](PlannerWorld& w) { w.gs.DaimyouTbl[0].shikin = -5000; }},
        {"no castles",
         [](PlannerWorld& w) {
             w.Own(0, 1);
             w.Own(1, 1);
         }},
        {"no generals", [](PlannerWorld&) {}},
        {"a corps without provinces",
         [](PlannerWorld& w) { w.gs.GundanTbl[w.AddGundan(0, w.AddBushou(0, 0))].tantouKuni.fill(-1); }},
        {"a captive head",
         [](PlannerWorld& w) {
             const int g = w.AddBushou(1, 2);
             w.gs.BushouTbl[g].status = CBushou::kStatusHoryo;
             w.gs.DaimyouTbl[0].toushu = g;
         }},
        {"no soldier unit", [](PlannerWorld& w) { w.gs.nHeiUnit = 0; }},
        // An event may set the funds to the bottom of their range; the months of deficit to the
        // harvest go below it.
        {"the lowest funds and a deficit",
         [](PlannerWorld& w) {
             w.gs.DaimyouTbl[0].shikin = INT_MIN;
             w.gs.nCurMonth = 1;
             w.AddBushou(0, 1, {.foot = 100});
         }},
    };
    for (const Case& c : cases) {
        PlannerWorld w;
        w.gs.DaimyouTbl[0].shikin = 0;
        c.arrange(w);
        w.Snapshot();
        const int funds = w.gs.DaimyouTbl[0].shikin;
        CCpuGunbi gunbi(w.Context());
        gunbi.PlanDaimyou(0);
        gunbi.PlanDaimyou(-1);
        gunbi.PlanDaimyou(5000);
        gunbi.PlanGundan(0, 99);  // a free corps slot
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds) << c.what;
        EXPECT_EQ(w.gs.ShiroTbl[1].shubihei, 0) << c.what;
    }
}

}  // namespace
}  // namespace rymd
