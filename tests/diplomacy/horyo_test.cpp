#include "game/diplomacy/horyo.h"

#include <gtest/gtest.h>

#include "game/diplomacy/bonds.h"
#include "game/state/game_state.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

CBushou& General(GameState& gs, int g) {
    return gs.BushouTbl[static_cast<std::size_t>(g)];
}

// Houses 0 (captor, castle 0) and 1 (castle 1); house 2 holds castle 2 when asked.
struct CaptiveWorld : TestWorld {
    CaptiveWorld() : TestWorld({.castles = 3, .houses = 4}) {
        Own(1, 1);
        Own(2, 2);
        gs.nPlayerDaimyou = 3;
        gs.rng.Seed(7);
    }
    int Add(int house, int shiro, int cavalry, int foot) {
        return AddBushou(house, shiro, {.foot = foot, .cavalry = cavalry});
    }
    // A general of house 1 standing in castle 1, taken by house 0.
    int Captive(int disposition) {
        const int g = Add(1, 1, 10, 100);
        General(gs, g).chuusei = static_cast<std::uint8_t>(disposition);
        TakeHoryo(gs, ports, 0, g);
        return g;
    }
};

TEST(TakeHoryo, MakesACaptiveOfTheCaptor) {
    CaptiveWorld w;
    const int g = w.Add(1, 1, 10, 100);
    General(w.gs, g).muskets = 5;
    General(w.gs, g).chuusei = 4;
    General(w.gs, g).flags = CBushou::kFlagBesieging;
    TakeHoryo(w.gs, w.ports, 0, g);
    const CBushou& b = General(w.gs, g);
    EXPECT_EQ(b.status, CBushou::kStatusHoryo);
    EXPECT_EQ(b.daimyou, CBushou::kDaimyouHitojichi);
    EXPECT_EQ(b.holderDaimyou, 0);
    EXPECT_EQ(b.originDaimyou, 1);
    EXPECT_EQ(b.cavalry + b.foot + b.muskets, 0);
    EXPECT_EQ(b.flags, CBushou::kFlagWarMark);
    // Between 3 x (disposition - 3) and 3 x disposition.
    EXPECT_GE(b.counter37, 3);
    EXPECT_LE(b.counter37, 12);
    EXPECT_TRUE(w.port.Calls().empty());  // not the player's general
}

TEST(TakeHoryo, AttachmentCases) {
    struct Case {
        const char* name;
        int disposition;
        bool head;
        int want;  // -1: anything in 0..100
    };
    const Case cases[] = {
        {"disposition 0 is clamped to 0", 0, false, 0},
        {"a captured head keeps 127", 0, true, 127},
        {"high disposition stays within 100", 255, false, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptiveWorld w;
        const int g = w.Add(1, 1, 10, 100);
        General(w.gs, g).chuusei = static_cast<std::uint8_t>(c.disposition);
        if (c.head) w.gs.DaimyouTbl[1].toushu = g;
        TakeHoryo(w.gs, w.ports, 0, g);
        EXPECT_EQ(General(w.gs, g).counter37, c.want);
        EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, -2);  // a captured head leaves his house without one
        if (c.head) {
            EXPECT_FALSE(CanEmployHoryo(w.gs, g));
        }
    }
}

TEST(TakeHoryo, TellsThePlayerUnlessTheGameAdvancesByItself) {
    for (bool autoAdvance : {false, true}) {
        CaptiveWorld w;
        w.gs.nPlayerDaimyou = 1;
        w.gs.bAutoAdvance = autoAdvance;
        w.Captive(3);
        const auto informs = w.port.CallsOf(PortCallKind::Inform);
        ASSERT_EQ(informs.size(), autoAdvance ? 0u : 1u);
        if (!autoAdvance) {
            EXPECT_EQ(informs[0].text, "将0 が 家0 の捕虜になりました");
        }
    }
}

TEST(CanEmployHoryo, AttachmentWearsOffOrTheHouseHasNoCastle) {
    CaptiveWorld w;
    const int g = w.Captive(3);
    General(w.gs, g).counter37 = 5;
    for (int month = 0; month < 5; ++month) {
        EXPECT_FALSE(CanEmployHoryo(w.gs, g)) << month;
        --General(w.gs, g).counter37;  // the month start's wearing off
    }
    EXPECT_TRUE(CanEmployHoryo(w.gs, g));
    // With attachment left, the fall of his house's last castle frees him all the same.
    General(w.gs, g).counter37 = 127;
    EXPECT_FALSE(CanEmployHoryo(w.gs, g));
    w.Own(1, 0);
    EXPECT_TRUE(CanEmployHoryo(w.gs, g));
    // Not a captive: never.
    const int free = w.Add(0, 0, 1, 1);
    EXPECT_FALSE(CanEmployHoryo(w.gs, free));
    EXPECT_FALSE(CanEmployHoryo(w.gs, -1));
}

TEST(EmployHoryo, JoinsTheCaptorAtHisHeadsCastle) {
    CaptiveWorld w;
    w.Own(2, 0);
    const int head = w.Add(0, 2, 1, 1);
    w.gs.DaimyouTbl[0].toushu = head;
    w.gs.nPlayerDaimyou = 1;
    const int g = w.Captive(0);
    General(w.gs, g).flags = 0;
    w.port.ClearCalls();
    ASSERT_TRUE(EmployHoryo(w.gs, w.ports, g));
    const CBushou& b = General(w.gs, g);
    EXPECT_EQ(b.daimyou, 0);
    EXPECT_EQ(b.status, CBushou::kStatusKashin);
    EXPECT_EQ(b.shiro, 2);
    EXPECT_EQ(b.flags, CBushou::kFlagWarMark);
    const auto informs = w.port.CallsOf(PortCallKind::Inform);
    ASSERT_EQ(informs.size(), 1u);
    EXPECT_EQ(informs[0].text, "将1 が 家0 に登用されました");
}

TEST(EmployHoryo, RefusedOrWithoutACastleHeStaysCaptive) {
    CaptiveWorld w;
    const int attached = w.Captive(5);
    General(w.gs, attached).counter37 = 3;
    EXPECT_FALSE(EmployHoryo(w.gs, w.ports, attached));
    EXPECT_EQ(General(w.gs, attached).daimyou, CBushou::kDaimyouHitojichi);
    // The captor holds no castle.
    const int g = w.Captive(0);
    w.Own(0, 2);
    EXPECT_FALSE(EmployHoryo(w.gs, w.ports, g));
    EXPECT_EQ(General(w.gs, g).daimyou, CBushou::kDaimyouHitojichi);
    EXPECT_EQ(General(w.gs, g).status, CBushou::kStatusHoryo);
}

TEST(ReleaseHoryo, GoesHomeOrBecomesMasterless) {
    // Placed: back in a castle of his house.
    {
        CaptiveWorld w;
        const int g = w.Captive(3);
        General(w.gs, g).shiro = 0;
        ReleaseHoryo(w.gs, w.ports, g, false);
        EXPECT_EQ(General(w.gs, g).daimyou, 1);
        EXPECT_EQ(General(w.gs, g).shiro, 1);
        EXPECT_EQ(General(w.gs, g).status, CBushou::kStatusKashin);
    }
    // His house has no castle: masterless, refuges by rice yield, at most five.
    TestWorld w({.castles = 8, .houses = 9});
    GameState& gs = w.gs;
    const int g = w.AddBushou(1, -1, {.foot = 1, .cavalry = 1});
    TakeHoryo(gs, w.ports, 0, g);
    for (int c = 0; c < 8; ++c) {
        w.Own(c, c == 1 ? 0 : c);
        gs.ShiroTbl[static_cast<std::size_t>(c)].kokudaka = 1000u * static_cast<std::uint32_t>(c + 1);
    }
    for (int d : {0, 2, 3, 4, 5, 6, 7})
        gs.DaimyouTbl[static_cast<std::size_t>(d)].SetRelationLo(1, CDaimyou::kRelFusen);
    gs.DaimyouTbl[7].toushu = -1;                              // gone
    gs.DaimyouTbl[3].SetRelationLo(1, CDaimyou::kRelNothing);  // not bound to his house
    ReleaseHoryo(gs, w.ports, g, true);
    const CBushou& b = General(gs, g);
    EXPECT_EQ(b.daimyou, CBushou::kDaimyouFree);
    EXPECT_EQ(b.status, CBushou::kStatusKashin);
    // Yields: 6 -> 7000, 5 -> 6000, 4 -> 5000, 2 -> 3000, 0 -> 3000 (castles 0 and 1).
    const std::array<std::int16_t, 5> want{6, 5, 4, 0, 2};
    EXPECT_EQ(b.joinDaimyou[0], want[0]);
    EXPECT_EQ(b.joinDaimyou[1], want[1]);
    EXPECT_EQ(b.joinDaimyou[2], want[2]);
    EXPECT_TRUE((b.joinDaimyou[3] == 0 && b.joinDaimyou[4] == 2) ||
                (b.joinDaimyou[3] == 2 && b.joinDaimyou[4] == 0));
    EXPECT_TRUE(w.Informs().empty());
}

TEST(ReleaseHoryo, ByTreatyTellsTheReleasingPlayer) {
    CaptiveWorld w;
    w.gs.nPlayerDaimyou = 0;
    const int g = w.Captive(3);
    ReleaseHoryo(w.gs, w.ports, g, true);
    const auto informs = w.port.CallsOf(PortCallKind::Inform);
    ASSERT_EQ(informs.size(), 1u);
    EXPECT_EQ(informs[0].text, "将0 を捕虜から解放し、家1 に返還しました");
}

TEST(MakePeace, ReleasesCaptivesBetweenTheNewAllies) {
    CaptiveWorld w;
    const int g = w.Captive(9);
    MakePeace(w.gs, w.ports, 0, 1, true);
    EXPECT_EQ(General(w.gs, g).daimyou, 1);
    EXPECT_EQ(General(w.gs, g).status, CBushou::kStatusKashin);
}

TEST(KoufukuBushouSession, EveryGeneralIsDecidedOnce) {
    CaptiveWorld w;
    const int keep = w.Captive(9);
    const int employ = w.Captive(0);
    const int refuses = w.Captive(9);
    const int release = w.Captive(9);
    const int execute = w.Captive(9);
    General(w.gs, refuses).counter37 = 50;
    const std::vector<int> list{keep, employ, refuses, release, execute};
    KoufukuBushouSession s(w.gs, w.ports, list);
    EXPECT_TRUE(s.Keep(keep));
    EXPECT_FALSE(s.Keep(keep));  // decided already
    EXPECT_TRUE(s.Employ(employ));
    EXPECT_FALSE(s.Employ(refuses));
    EXPECT_TRUE(s.Release(release));
    EXPECT_TRUE(s.Execute(execute));
    EXPECT_EQ(s.Remaining(), std::vector<int>{refuses});
    EXPECT_FALSE(s.Done());
    EXPECT_TRUE(s.Keep(refuses));
    EXPECT_TRUE(s.Done());
    EXPECT_EQ(General(w.gs, keep).status, CBushou::kStatusHoryo);
    EXPECT_EQ(General(w.gs, employ).daimyou, 0);
    EXPECT_EQ(General(w.gs, release).daimyou, 1);
    EXPECT_EQ(General(w.gs, execute).daimyou, CBushou::kDaimyouRounin);
}

}  // namespace
}  // namespace rymd
