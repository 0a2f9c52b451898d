#include "game/ai/gaikou_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "game/diplomacy/bonds.h"
#include "game/diplomacy/horyo.h"
#include "game/state/route.h"
#include "support/test_world.h"

namespace rymd {
namespace {

// Five houses over ten castles, each house with two castles and two generals; house 1 besieges
// a castle of house 0 and house 3 one of house 4, and house 0 holds a general of house 1 captive.
struct ViewWorld : test::TestWorld {
    int captive = -1;

    ViewWorld() : TestWorld({.castles = 10, .houses = 5}) {
        for (int c = 0; c < 10; ++c) {
            Own(c, c / 2);
            gs.ShiroTbl[c].kokudaka = 1000u * static_cast<unsigned>(c + 1);
        }
        for (int d = 0; d < 5; ++d)
            for (int i = 0; i < 2; ++i)
                AddBushou(d, 2 * d + i, {.foot = 10 * (d + 1), .cavalry = i + 1});
        Besiege(0, 1, {.foot = 7});
        Besiege(9, 3, {.foot = 5, .cavalry = 2});
        captive = AddBushou(1, 3, {.foot = 40});
        TakeHoryo(gs, ports, 0, captive);
    }

    // The followed view reads as one taken anew: lists, sums, the castles counted for each house
    // and the members the funds estimate walks (by house field, generals who left filtered out).
    void ExpectSameAsNew(GaikouView& followed) {
        GaikouView fresh;
        ASSERT_TRUE(fresh.Ensure(gs));
        EXPECT_FALSE(followed.Ensure(gs));  // still current: the change was followed
        const HouseIndex& a = followed.FundsIndex(gs);
        const HouseIndex& b = fresh.FundsIndex(gs);
        for (int d = 0; d < gs.nDaimyou; ++d) {
            SCOPED_TRACE(d);
            EXPECT_EQ(followed.Own(d), fresh.Own(d));
            EXPECT_EQ(followed.Vassals(d), fresh.Vassals(d));
            EXPECT_EQ(followed.Besieged(d), fresh.Besieged(d));
            EXPECT_EQ(followed.Sums().K(d), fresh.Sums().K(d));
            EXPECT_EQ(followed.Sums().KS(d), fresh.Sums().KS(d));
            EXPECT_EQ(followed.Sums().S(d), fresh.Sums().S(d));
            EXPECT_EQ(followed.Sums().SS(d), fresh.Sums().SS(d));
            std::vector<int> counted;
            for (int c = 0; c < gs.nShiro; ++c)
                if (GetCountedDaimyouOfShiro(gs, c) == d) counted.push_back(c);
            EXPECT_EQ(followed.Sums().CountedShiro(d), counted);
            EXPECT_EQ(a.OwnShiro(d), b.OwnShiro(d));
            std::vector<int> members;
            for (int g : a.MemberBushou(d))
                if (gs.BushouTbl[g].daimyou == d) members.push_back(g);
            EXPECT_EQ(members, b.MemberBushou(d));
        }
    }
};

TEST(GaikouView, FollowsEveryKindOfBondChangeAsIfTakenAnew) {
    ViewWorld w;
    GaikouView view;
    ASSERT_TRUE(view.Ensure(w.gs));
    struct Step {
        std::string name;
        std::function<void()> change;
    };
    const std::vector<Step> steps = {
        // Peace lifts house 1's siege and frees the captive into house 1.
        {"peace 0-1", [&] { MakePeace(w.gs, w.ports, 0, 1, false); }},
        {"subordinate 2 to 0", [&] { MakeJuuzoku(w.gs, w.ports, 0, 2, false); }},
        {"vassal 2 of 0", [&] { MakeShinjuu(w.gs, 0, 2); }},
        {"subordinate 4 to 3", [&] { MakeJuuzoku(w.gs, w.ports, 3, 4, false); }},  // lifts house 3's siege
        {"vassal 4 of 3", [&] { MakeShinjuu(w.gs, 3, 4); }},
        {"2 independent", [&] { DeclareDokuritsu(w.gs, w.ports, 2); }},
        {"peace 1-3", [&] { MakePeace(w.gs, w.ports, 1, 3, true); }},
        {"dissolve 3-4", [&] { DissolveDaimyouBond(w.gs, w.ports, 3, 4); }},
        {"dissolve 0-1", [&] { DissolveDaimyouBond(w.gs, w.ports, 0, 1); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        view.FollowBondChange(w.gs);
        w.ExpectSameAsNew(view);
    }
    // The steps did what they are meant to: no siege and no captive is left.
    EXPECT_EQ(w.gs.ShiroTbl[0].besiegerDaimyou, -1);
    EXPECT_EQ(w.gs.ShiroTbl[9].besiegerDaimyou, -1);
    EXPECT_EQ(w.gs.BushouTbl[w.captive].daimyou, 1);
}

TEST(GaikouView, FundsIndexFindsAGeneralFreedWithoutABondChange) {
    ViewWorld w;
    GaikouView view;
    ASSERT_TRUE(view.Ensure(w.gs));
    ReleaseHoryo(w.gs, w.ports, w.captive, true);  // by someone else: no bond changed
    EXPECT_FALSE(view.Ensure(w.gs));
    const std::vector<int>& members = view.FundsIndex(w.gs).MemberBushou(1);
    EXPECT_NE(std::find(members.begin(), members.end(), w.captive), members.end());
}

TEST(GaikouView, TakesTheViewAgainWhenACountChanges) {
    ViewWorld w;
    GaikouView view;
    ASSERT_TRUE(view.Ensure(w.gs));
    const int g = w.AddBushou(2, 4, {.foot = 99});
    MakeJuuzoku(w.gs, w.ports, 0, 2, false);
    view.FollowBondChange(w.gs);
    EXPECT_EQ(view.Sums().S(2), 99 + (30 + 3 * 1) + (30 + 3 * 2));  // the new general counts
    EXPECT_EQ(w.gs.BushouTbl[g].daimyou, 2);
    w.ExpectSameAsNew(view);
}

}  // namespace
}  // namespace rymd
