#include "game/diplomacy/bonds.h"
#include "game/military/placement.h"
#include "game/state/invariants.h"
#include "game/state/vocabulary.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

int Rel(const GameState& gs, int x, int y) {
    return gs.DaimyouTbl[static_cast<std::size_t>(x)].GetRelationLo(y);
}
void SetRel(GameState& gs, int x, int y, int state) {
    gs.DaimyouTbl[static_cast<std::size_t>(x)].SetRelationLo(y, state);
}

// The vassal bond with the relation states it holds both ways.
void BindAsVassal(TestWorld& w, int vassal, int master) {
    w.MakeVassal(vassal, master);
    SetRel(w.gs, master, vassal, CDaimyou::kRelShinjuuMaster);
    SetRel(w.gs, vassal, master, CDaimyou::kRelShinjuu);
}

void AddRengou(GameState& gs, int target, std::initializer_list<int> members) {
    CRengou& r = gs.RengouTbl[static_cast<std::size_t>(gs.nRengou++)];
    r.target = static_cast<std::int16_t>(target);
    r.nMember = 0;
    for (int m : members)
        r.member[static_cast<std::size_t>(r.nMember++)] = static_cast<std::int16_t>(m);
}

TEST(MakePeace, PaysForPeaceUnlessQuiet) {
    for (bool quiet : {true, false}) {
        SCOPED_TRACE(quiet);
        TestWorld w({.castles = 3, .houses = 2});
        GameState& gs = w.gs;
        w.Own(1, 1);
        w.Own(2, 1);
        gs.ShiroTbl[1].kokudaka = 12345;
        gs.ShiroTbl[2].kokudaka = 10000;
        gs.DaimyouTbl[0].shikin = 1000;
        ScriptedPort port;
        MakePeace(gs, port.AsPorts(), 0, 1, quiet);
        EXPECT_EQ(Rel(gs, 0, 1), CDaimyou::kRelFusen);
        EXPECT_EQ(Rel(gs, 1, 0), CDaimyou::kRelFusen);
        EXPECT_EQ(gs.DaimyouTbl[0].shikin, quiet ? 1000 : 1000 - 2234);  // funds may go negative
        EXPECT_EQ(gs.DaimyouTbl[1].shikin, 0);
    }
}

// Funds at the bottom of their range, or a price beyond it (rice yields that events raised to
// the top of theirs): the funds stop at the bottom.
TEST(MakePeace, ThePriceTakesTheFundsNoLowerThanTheBottomOfTheirRange) {
    struct Case {
        std::int32_t funds;
        std::uint32_t kokudaka;  // of each of house 1's seven castles
        std::int32_t after;
    } cases[] = {
        {INT32_MIN, 10000, INT32_MIN},
        {1000, UINT32_MAX, INT32_MIN},
        {-5000, 10000, -5000 - 7000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.funds);
        TestWorld w({.castles = 8, .houses = 2});
        GameState& gs = w.gs;
        for (int s = 1; s < 8; ++s) {
            w.Own(s, 1);
            gs.ShiroTbl[static_cast<std::size_t>(s)].kokudaka = c.kokudaka;
        }
        gs.DaimyouTbl[0].shikin = c.funds;
        ScriptedPort port;
        MakePeace(gs, port.AsPorts(), 0, 1, false);
        EXPECT_EQ(gs.DaimyouTbl[0].shikin, c.after);
    }
}

TEST(MakePeace, SpheresMakePeaceWithTheOtherSide) {
    // a=0 with subordinate 2 and vassal 3; b=1 with subordinate 4 and vassal 5; 6 stands apart.
    TestWorld w({.houses = 7});
    GameState& gs = w.gs;
    w.MakeSubordinate(2, 0);
    w.MakeVassal(3, 0);
    w.MakeSubordinate(4, 1);
    w.MakeVassal(5, 1);
    SetRel(gs, 4, 1, CDaimyou::kRelJuuzoku);
    SetRel(gs, 5, 1, CDaimyou::kRelShinjuu);
    SetRel(gs, 2, 0, CDaimyou::kRelJuuzoku);
    SetRel(gs, 3, 0, CDaimyou::kRelShinjuu);
    gs.DaimyouTbl[3].toushu = -1;  // house 3 is gone: left out
    ScriptedPort port;
    MakePeace(gs, port.AsPorts(), 0, 1, true);
    for (int x : {0, 2})
        for (int y : {1, 4, 5})
            EXPECT_EQ(Rel(gs, x, y), CDaimyou::kRelFusen) << x << " about " << y;
    EXPECT_EQ(Rel(gs, 3, 1), CDaimyou::kRelNothing);
    EXPECT_EQ(Rel(gs, 6, 0), CDaimyou::kRelNothing);
    EXPECT_EQ(Rel(gs, 2, 3), CDaimyou::kRelNothing);  // members of one sphere are not touched
    EXPECT_TRUE(port.Calls().empty());
}

TEST(MakePeace, DissolvesCoalitionsOfOneAgainstTheOther) {
    TestWorld w({.houses = 4});
    GameState& gs = w.gs;
    gs.DaimyouTbl[0].name = "織田";
    gs.DaimyouTbl[1].name = "武田";
    AddRengou(gs, 0, {2, 1});  // against 0, with 1: dissolved
    AddRengou(gs, 0, {2, 3});  // against 0 without 1: stays
    AddRengou(gs, 1, {0});     // against 1, with 0: dissolved
    AddRengou(gs, 2, {0, 1});  // against a third house: stays
    ScriptedPort port;
    MakePeace(gs, port.AsPorts(), 0, 1, true);
    ASSERT_EQ(gs.nRengou, 2);
    EXPECT_EQ(gs.RengouTbl[0].target, 0);
    EXPECT_EQ(gs.RengouTbl[0].member[1], 3);
    EXPECT_EQ(gs.RengouTbl[1].target, 2);
    ASSERT_EQ(port.Calls().size(), 2u);
    EXPECT_EQ(port.Calls()[0].text, "反織田連合は消滅しました");
    EXPECT_EQ(port.Calls()[1].text, "反武田連合は消滅しました");
}

TEST(RemoveRengou, HeldBackDuringAutomaticAdvance) {
    TestWorld w({.houses = 2});
    GameState& gs = w.gs;
    AddRengou(gs, 0, {1});
    AddRengou(gs, 1, {0});
    gs.bAutoAdvance = true;
    ScriptedPort port;
    RemoveRengou(gs, port.AsPorts(), 0);
    EXPECT_TRUE(port.Calls().empty());
    ASSERT_EQ(gs.nRengou, 1);
    EXPECT_EQ(gs.RengouTbl[0].target, 1);
    RemoveRengou(gs, port.AsPorts(), 5);  // no such coalition
    EXPECT_EQ(gs.nRengou, 1);
}

// Relations a member of a sphere takes from the master's relation toward a third house.
TEST(MakeJuuzoku, RelationsFollowTheMaster) {
    struct Case {
        int masterAbout;
        int memberBefore;
        int memberAbout;
        int aboutMember;
    };
    const Case cases[] = {
        {CDaimyou::kRelJuuzokuMaster, 1, 5, 5}, {CDaimyou::kRelShinjuuMaster, 1, 8, 5},
        {CDaimyou::kRelRengou, 1, 9, 9},        {CDaimyou::kRelRengouLeader, 2, 9, 9},
        {CDaimyou::kRelShukuteki, 1, 1, 1},     {CDaimyou::kRelShukuteki, 0, 0, 0},
        {CDaimyou::kRelFusen, 0, 2, 2},         {CDaimyou::kRelNothing, 2, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.masterAbout << "/" << c.memberBefore);
        TestWorld w({.houses = 3});  // master 0, house 1, third house 2
        GameState& gs = w.gs;
        SetRel(gs, 0, 2, c.masterAbout);
        SetRel(gs, 1, 2, c.memberBefore);
        ScriptedPort port;
        ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 1, true));
        EXPECT_EQ(gs.DaimyouTbl[1].bond, CDaimyou::kBondJuuzoku);
        EXPECT_EQ(gs.DaimyouTbl[1].masterDaimyou, 0);
        EXPECT_EQ(Rel(gs, 0, 1), CDaimyou::kRelJuuzokuMaster);
        EXPECT_EQ(Rel(gs, 1, 0), CDaimyou::kRelJuuzoku);
        EXPECT_EQ(Rel(gs, 1, 2), c.memberAbout);
        EXPECT_EQ(Rel(gs, 2, 1), c.aboutMember);
    }
}

TEST(MakeJuuzoku, TheHouseBringsItsOwnSphere) {
    // 1 has vassal 2 and subordinate 3; 0 already has subordinate 4.
    TestWorld w({.houses = 5});
    GameState& gs = w.gs;
    w.MakeVassal(2, 1);
    SetRel(gs, 2, 1, CDaimyou::kRelShinjuu);
    w.MakeSubordinate(3, 1);
    SetRel(gs, 3, 1, CDaimyou::kRelJuuzoku);
    w.MakeSubordinate(4, 0);
    SetRel(gs, 4, 0, CDaimyou::kRelJuuzoku);
    SetRel(gs, 0, 4, CDaimyou::kRelJuuzokuMaster);
    ScriptedPort port;
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 1, true));
    for (int m : {1, 2, 3}) {
        SCOPED_TRACE(m);
        EXPECT_EQ(gs.DaimyouTbl[static_cast<std::size_t>(m)].bond, CDaimyou::kBondJuuzoku);
        EXPECT_EQ(gs.DaimyouTbl[static_cast<std::size_t>(m)].masterDaimyou, 0);
        EXPECT_EQ(Rel(gs, 0, m), CDaimyou::kRelJuuzokuMaster);
        EXPECT_EQ(Rel(gs, m, 0), CDaimyou::kRelJuuzoku);
        EXPECT_EQ(Rel(gs, m, 4), CDaimyou::kRelJuuzokuPeer);
        EXPECT_EQ(Rel(gs, 4, m), CDaimyou::kRelJuuzokuPeer);
    }
    EXPECT_EQ(Rel(gs, 2, 1), CDaimyou::kRelJuuzokuPeer);
    EXPECT_EQ(Rel(gs, 1, 3), CDaimyou::kRelJuuzokuPeer);
}

TEST(MakeJuuzoku, RefusedUnderAMasterThatIsNotIndependent) {
    TestWorld w({.houses = 3});
    GameState& gs = w.gs;
    w.MakeSubordinate(0, 2);
    SetRel(gs, 1, 2, CDaimyou::kRelFusen);
    ScriptedPort port;
    EXPECT_FALSE(MakeJuuzoku(gs, port.AsPorts(), 0, 1, true));
    EXPECT_EQ(gs.DaimyouTbl[1].bond, CDaimyou::kBondDokuritsu);
    EXPECT_EQ(Rel(gs, 1, 0), CDaimyou::kRelNothing);
    EXPECT_EQ(Rel(gs, 1, 2), CDaimyou::kRelFusen);
}

TEST(MakeJuuzoku, UnlessQuietGuestsStepDownAndFleetsGoHome) {
    TestWorld w({.castles = 3, .houses = 3});
    GameState& gs = w.gs;
    for (int c = 0; c < 3; ++c)
        gs.ShiroMapTbl[static_cast<std::size_t>(c)].flags = ShiroMapRecord::kFlagWaterway;
    w.Link(0, 1, 3);
    w.Link(1, 2, 3);
    w.Own(1, 1);
    w.Own(2, 1);
    gs.DaimyouTbl[1].toushu = w.AddBushou(1, 1, {.foot = 1, .cavalry = 1});
    const int guest = w.AddBushou(1, 1, {.foot = 1, .cavalry = 1, .gundan = 4});
    gs.BushouTbl[static_cast<std::size_t>(guest)].status = CBushou::kStatusKyakushou;
    CGunsenTable& t = gs.GunsenTable;
    t.count = 0;
    t.AddGunsen(1, 0, 12);  // at the master's castle
    for (bool quiet : {true, false}) {
        SCOPED_TRACE(quiet);
        auto copy = std::make_unique<GameState>(gs);
        ScriptedPort port;
        ASSERT_TRUE(MakeJuuzoku(*copy, port.AsPorts(), 0, 1, quiet));
        const CBushou& g = copy->BushouTbl[static_cast<std::size_t>(guest)];
        EXPECT_EQ(g.status, quiet ? CBushou::kStatusKyakushou : CBushou::kStatusKashin);
        EXPECT_EQ(g.gundan, quiet ? 4 : -1);
        ASSERT_EQ(copy->GunsenTable.count, 1u);
        EXPECT_EQ(copy->GunsenTable.records[0].shiro, quiet ? 0 : 1);
        EXPECT_TRUE(port.Calls().empty());
    }
}

TEST(MakeShinjuu, TurnsASubordinateIntoAVassal) {
    TestWorld w({.castles = 2, .houses = 6});
    GameState& gs = w.gs;
    // 1 is 0's subordinate; 2 another subordinate of 0, 3 a vassal of 0, 4 arch-enemy of 0, 5 ally.
    ScriptedPort port;
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 1, true));
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 2, true));
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 3, true));
    ASSERT_TRUE(MakeShinjuu(gs, 0, 3));
    SetRel(gs, 0, 4, CDaimyou::kRelShukuteki);
    SetRel(gs, 0, 5, CDaimyou::kRelFusen);
    // A corps of house 1 is dissolved.
    w.Own(1, 1);
    gs.DaimyouTbl[1].toushu = w.AddBushou(1, 1, {.foot = 1, .cavalry = 1});
    const int leader = w.AddBushou(1, 1, {.foot = 1, .cavalry = 1, .gundan = 5});
    gs.GundanTbl[5].leader = leader;
    gs.GundanTbl[5].daimyou = 1;
    gs.ShiroTbl[1].gundan = 5;

    ASSERT_TRUE(MakeShinjuu(gs, 0, 1));
    EXPECT_EQ(gs.DaimyouTbl[1].bond, CDaimyou::kBondShinjuu);
    EXPECT_EQ(gs.DaimyouTbl[1].masterDaimyou, 0);
    EXPECT_EQ(Rel(gs, 0, 1), CDaimyou::kRelShinjuuMaster);
    EXPECT_EQ(Rel(gs, 1, 0), CDaimyou::kRelShinjuu);
    EXPECT_EQ(Rel(gs, 1, 2), CDaimyou::kRelJuuzokuPeer);
    EXPECT_EQ(Rel(gs, 2, 1), CDaimyou::kRelShinjuuPeer);
    EXPECT_EQ(Rel(gs, 1, 3), CDaimyou::kRelShinjuuPeer);
    EXPECT_EQ(Rel(gs, 3, 1), CDaimyou::kRelShinjuuPeer);
    EXPECT_EQ(Rel(gs, 1, 4), CDaimyou::kRelNothing);  // not yet an arch-enemy: no relation
    EXPECT_EQ(Rel(gs, 1, 5), CDaimyou::kRelFusen);
    EXPECT_EQ(gs.GundanTbl[5].leader, CGundan::kLeaderFree);
    EXPECT_EQ(gs.ShiroTbl[1].gundan, -1);
}

TEST(MakeShinjuu, RefusedUnlessASubordinateOfAnIndependentMaster) {
    TestWorld w({.houses = 4});
    GameState& gs = w.gs;
    ScriptedPort port;
    EXPECT_FALSE(MakeShinjuu(gs, 0, 1));  // independent
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 2, 1, true));
    EXPECT_FALSE(MakeShinjuu(gs, 0, 1));  // subordinate to another house
    EXPECT_EQ(gs.DaimyouTbl[1].bond, CDaimyou::kBondJuuzoku);
    EXPECT_EQ(gs.DaimyouTbl[1].masterDaimyou, 2);
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 3, true));
    w.MakeSubordinate(0, 2);  // the master itself is bound
    EXPECT_FALSE(MakeShinjuu(gs, 0, 3));
    EXPECT_EQ(gs.DaimyouTbl[3].bond, CDaimyou::kBondJuuzoku);
}

TEST(RemoveBushouFromHoui, LeavesTheRightListAndHisHouse) {
    TestWorld w({.castles = 2, .houses = 2});
    GameState& gs = w.gs;
    const int stationed = w.AddBushou(0, 0, {.foot = 1, .cavalry = 1});
    const int besieger = w.AddBushou(1, -1, {.foot = 1, .cavalry = 1});
    CBushou& b = gs.BushouTbl[static_cast<std::size_t>(besieger)];
    b.shiro = 0;
    b.flags = CBushou::kFlagBesieging | CBushou::kFlagOrdered;
    gs.ShiroTbl[0].besieger[0] = besieger;
    gs.ShiroTbl[0].nBesieger = 1;
    RemoveBushouFromHoui(gs, besieger);
    EXPECT_EQ(gs.ShiroTbl[0].nBesieger, 0);
    EXPECT_EQ(gs.ShiroTbl[0].nBushou, 1);
    EXPECT_EQ(b.daimyou, -1);
    EXPECT_EQ(b.flags, CBushou::kFlagOrdered);
    RemoveBushouFromHoui(gs, stationed);
    EXPECT_EQ(gs.ShiroTbl[0].nBushou, 0);
    RemoveBushouFromHoui(gs, 99);  // harmless
}

// A head who leaves his house leaves it without a head; another general's leaving changes no head.
TEST(RemoveBushouFromHoui, AHeadLeavesHisHouseWithoutAHead) {
    TestWorld w({.castles = 1, .houses = 1});
    GameState& gs = w.gs;
    const int head = w.AddBushou(0, 0, {.foot = 1});
    const int retainer = w.AddBushou(0, 0, {.foot = 1});
    gs.DaimyouTbl[0].toushu = head;
    RemoveBushouFromHoui(gs, retainer);
    EXPECT_EQ(gs.DaimyouTbl[0].toushu, head);
    RemoveBushouFromHoui(gs, head);
    EXPECT_EQ(gs.DaimyouTbl[0].toushu, -2);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(head)].daimyou, CBushou::kDaimyouRounin);
}

// --- dissolution and independence ------------------------------------------------------------

// No treaty countdown runs between any two houses.
void NoCountdowns(GameState& gs) {
    for (int x = 0; x < gs.nDaimyou; ++x)
        for (int y = 0; y < gs.nDaimyou; ++y)
            gs.DaimyouTbl[static_cast<std::size_t>(x)].SetRelationHi(y, 0);
}

void SetHi(GameState& gs, int x, int y, int countdown) {
    gs.DaimyouTbl[static_cast<std::size_t>(x)].SetRelationHi(y, countdown);
}
int Hi(const GameState& gs, int x, int y) {
    return gs.DaimyouTbl[static_cast<std::size_t>(x)].GetRelationHi(y);
}

TEST(DissolveDaimyouBond, ResetRelationsByTheirCountdown) {
    struct Case {
        const char* name;
        bool vassal;            // master bond (true) or an alliance (false)
        int countdownAboutLow;  // what the upper house holds about the lower one
        int wantUpperAboutLower;
        int wantLowerAboutUpper;
        int wantCountdown;
    };
    const Case cases[] = {
        {"alliance, free", false, 0, CDaimyou::kRelNothing, CDaimyou::kRelNothing, 0},
        {"alliance between arch-enemies", false, 15, CDaimyou::kRelShukuteki, CDaimyou::kRelNothing, 15},
        {"vassal bond sets the countdown to 12", true, 3, CDaimyou::kRelNothing, CDaimyou::kRelNothing, 12},
        {"arch-enemies stay arch-enemies", true, 15, CDaimyou::kRelShukuteki, CDaimyou::kRelNothing, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorld w({.castles = 2, .houses = 3});
        GameState& gs = w.gs;
        NoCountdowns(gs);
        w.Own(1, 1);
        if (c.vassal) {
            BindAsVassal(w, 1, 0);
        } else {
            SetRel(gs, 0, 1, CDaimyou::kRelFusen);
            SetRel(gs, 1, 0, CDaimyou::kRelFusen);
        }
        SetHi(gs, 0, 1, c.countdownAboutLow);
        SetRel(gs, 1, 2, CDaimyou::kRelShinjuuPeer);
        SetHi(gs, 1, 2, 15);
        const int guest = w.AddBushou(1, 1, {.foot = 50, .cavalry = 5, .gundan = 3});
        gs.BushouTbl[static_cast<std::size_t>(guest)].status = CBushou::kStatusKyakushou;
        ScriptedPort port;
        // Either order names the same bond.
        DissolveDaimyouBond(gs, port.AsPorts(), 1, 0);
        EXPECT_EQ(Rel(gs, 0, 1), c.wantUpperAboutLower);
        EXPECT_EQ(Rel(gs, 1, 0), c.wantLowerAboutUpper);
        EXPECT_EQ(Hi(gs, 0, 1), c.wantCountdown);
        const CDaimyou& low = gs.DaimyouTbl[1];
        EXPECT_EQ(low.bond, CDaimyou::kBondDokuritsu);
        EXPECT_EQ(low.masterDaimyou, 1);
        if (c.vassal) {
            EXPECT_EQ(Rel(gs, 1, 2), CDaimyou::kRelShukuteki);  // countdown 15 about house 2
            EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(guest)].status, CBushou::kStatusKashin);
            EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(guest)].gundan, -1);
        }
    }
}

TEST(DissolveDaimyouBond, GeneralsInCastlesOfTheFormerMasterGoHome) {
    // Vassal 1 had a general standing in its master's castle 0.
    TestWorld w({.castles = 3, .houses = 2});
    GameState& gs = w.gs;
    w.Own(1, 1);
    w.Own(2, 1);
    BindAsVassal(w, 1, 0);
    gs.ShiroTbl[1].nBushou = CShiro::kMaxBushou;  // full: he goes to castle 2
    const int g = w.AddBushou(1, 0, {.foot = 50, .cavalry = 5});
    ScriptedPort port;
    DissolveDaimyouBond(gs, port.AsPorts(), 0, 1);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(g)].shiro, 2);
    EXPECT_EQ(gs.ShiroTbl[0].nBushou, 0);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(g)].daimyou, 1);
}

// A master holding no castle of its own, whose head stands in a castle of its vassal: when the
// vassal breaks away the head has nowhere to go and leaves the house without a head, and the
// state still holds together (its saves load).
TEST(DissolveDaimyouBond, AHeadWithNoCastleOfHisSideLeftLeavesHisHouseHeadless) {
    TestWorld w({.castles = 2, .houses = 2});
    GameState& gs = w.gs;
    w.Own(0, 1);
    w.Own(1, 1);
    BindAsVassal(w, 1, 0);
    const int head = w.AddBushou(0, 0, {.foot = 10});
    gs.DaimyouTbl[0].toushu = head;
    gs.DaimyouTbl[1].toushu = w.AddBushou(1, 1, {.foot = 10});
    ASSERT_EQ(FindBrokenInvariant(gs), std::nullopt);
    ScriptedPort port;
    DeclareDokuritsu(gs, port.AsPorts(), 1);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(head)].daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(gs.ShiroTbl[0].nBushou, 0);
    EXPECT_EQ(gs.DaimyouTbl[0].toushu, -2);
    EXPECT_EQ(FindBrokenInvariant(gs), std::nullopt);
}

TEST(DeclareDokuritsu, HostagesGivenToTheMasterAreExecuted) {
    for (bool player : {true, false}) {
        SCOPED_TRACE(player);
        TestWorld w({.castles = 2, .houses = 3});
        GameState& gs = w.gs;
        NoCountdowns(gs);
        w.Own(1, 1);
        w.MakeSubordinate(1, 0);
        SetRel(gs, 0, 1, CDaimyou::kRelJuuzokuMaster);
        SetRel(gs, 1, 0, CDaimyou::kRelJuuzoku);
        gs.nPlayerDaimyou = player ? 1 : 2;
        ResetScenarioWords(gs.ScenarioWords);
        auto hostage = [&](int origin, int holder) {
            const int g = w.AddBushou(CBushou::kDaimyouHitojichi, -1, {.foot = 0, .cavalry = 0});
            CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
            b.status = CBushou::kStatusHitojichi;
            b.originDaimyou = static_cast<std::int16_t>(origin);
            b.holderDaimyou = static_cast<std::int16_t>(holder);
            return g;
        };
        const int given = hostage(1, 0);
        const int elsewhere = hostage(1, 2);
        ScriptedPort port;
        DeclareDokuritsu(gs, port.AsPorts(), 1);
        EXPECT_EQ(gs.DaimyouTbl[1].bond, CDaimyou::kBondDokuritsu);
        EXPECT_EQ(Rel(gs, 0, 1), CDaimyou::kRelNothing);
        EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(given)].daimyou, CBushou::kDaimyouRounin);
        EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(elsewhere)].daimyou, CBushou::kDaimyouHitojichi);
        const auto informs = port.CallsOf(PortCallKind::Inform);
        if (player) {
            ASSERT_EQ(informs.size(), 1u);
            EXPECT_EQ(informs[0].text, "家0 に人質となっていた 将0 は処刑されました");
        } else {
            EXPECT_TRUE(informs.empty());
        }
        // A house that is independent already changes nothing.
        DeclareDokuritsu(gs, port.AsPorts(), 1);
        EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(elsewhere)].daimyou, CBushou::kDaimyouHitojichi);
    }
}

TEST(NegotiateFusenDoumei, TheTargetDecides) {
    // Castles: 0 target (house 1), 1..3 neighbours of houses 0 (the proposer), 2 and 3.
    struct Case {
        const char* name;
        int targetBond;     // 0 independent
        int countdown;      // the target's countdown about the proposer
        int kind;           // the target's people kind
        int neighbours;     // neighbouring houses (the proposer first)
        bool otherHostile;  // another neighbour is the target's enemy
        std::uint32_t proposerYield;
        bool want;
    };
    const Case cases[] = {
        {"not independent", 1, 0, 1, 3, true, 1000000, false},
        {"countdown running", 0, 1, 1, 3, true, 1000000, false},
        {"never again", 0, 15, 1, 3, true, 1000000, false},
        {"people kind 0 accepts at once", 0, 0, 0, 1, false, 1, true},
        {"one neighbour refuses", 0, 0, 1, 1, false, 1000000, false},
        {"proposer the smallest of peaceful neighbours", 0, 0, 1, 3, false, 1, false},
        {"a rich proposer with another enemy around", 0, 0, 1, 3, true, 1000000, true},
        {"a poor proposer is turned away by the draw", 0, 0, 1, 3, true, 1, false},
    };
    // Each case twice: reading the tables, and with the castles and yields a planner holds.
    for (const bool givenKnown : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(givenKnown ? "given what the caller knows" : "from the tables");
            TestWorld w({.castles = 4, .houses = 5});
            GameState& gs = w.gs;
            w.Own(0, 1);
            gs.ShiroTbl[0].kokudaka = 10000;
            for (int n = 0; n < c.neighbours; ++n) {
                const int house = n == 0 ? 0 : n + 1;
                w.Own(n + 1, house);
                gs.ShiroTbl[static_cast<std::size_t>(n + 1)].kokudaka = n == 0 ? c.proposerYield : 5000;
                w.Link(0, n + 1);
                if (n > 0) SetRel(gs, 1, house, c.otherHostile ? CDaimyou::kRelNothing : CDaimyou::kRelFusen);
            }
            for (int n = c.neighbours; n < 3; ++n)
                w.Own(n + 1, 4);  // unlinked
            CDaimyou& target = gs.DaimyouTbl[1];
            if (c.targetBond != 0) w.MakeSubordinate(1, 4);
            target.kindByte = static_cast<std::uint8_t>(c.kind);
            target.SetRelationHi(0, c.countdown);
            gs.DaimyouTbl[0].shikin = 0;
            ScriptedPort port;
            const std::vector<int> targetShiro = {0};
            FusenDoumeiKnown known;
            if (givenKnown) {
                known.targetShiro = &targetShiro;
                known.kokudaka = [&](int d) -> std::int64_t {
                    return d == 0 ? c.proposerYield : d == 1 ? 10000 : 5000;
                };
            }
            EXPECT_EQ(NegotiateFusenDoumei(gs, port.AsPorts(), 0, 1, known), c.want);
            EXPECT_EQ(Rel(gs, 1, 0) == CDaimyou::kRelFusen, c.want);
            // Peace is paid for: a tenth of the target's rice yield.
            EXPECT_EQ(gs.DaimyouTbl[0].shikin, c.want ? -1000 : 0);
        }
}

TEST(SphereTables, MembersTakeTheirStatesFromTheMaster) {
    // The master 0 holds each state about house 2; house 1 becomes its subordinate, then its vassal.
    struct Case {
        int masterAbout;
        int juuzokuMember, juuzokuOther;  // 1 about 2, 2 about 1 after MakeJuuzoku
        int shinjuuMember, shinjuuOther;  // after MakeShinjuu
    };
    const Case cases[] = {
        {CDaimyou::kRelJuuzokuMaster, 5, 5, 5, 8}, {CDaimyou::kRelShinjuuMaster, 8, 5, 8, 8},
        {CDaimyou::kRelRengou, 9, 9, 9, 9},        {CDaimyou::kRelRengouLeader, 9, 9, 9, 9},
        {CDaimyou::kRelShukuteki, 1, 1, 1, 1},     {CDaimyou::kRelFusen, 2, 2, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.masterAbout);
        TestWorld w({.castles = 0, .houses = 3});
        GameState& gs = w.gs;
        SetRel(gs, 0, 2, c.masterAbout);
        ScriptedPort port;
        ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 1, true));
        EXPECT_EQ(Rel(gs, 1, 2), c.juuzokuMember);
        EXPECT_EQ(Rel(gs, 2, 1), c.juuzokuOther);
        ASSERT_TRUE(MakeShinjuu(gs, 0, 1));
        EXPECT_EQ(Rel(gs, 1, 2), c.shinjuuMember);
        EXPECT_EQ(Rel(gs, 2, 1), c.shinjuuOther);
    }
    // An arch-enemy of the master who was the member's arch-enemy too stays one.
    TestWorld w({.castles = 0, .houses = 3});
    GameState& gs = w.gs;
    SetRel(gs, 0, 2, CDaimyou::kRelShukuteki);
    SetRel(gs, 1, 2, CDaimyou::kRelShukuteki);
    ScriptedPort port;
    ASSERT_TRUE(MakeJuuzoku(gs, port.AsPorts(), 0, 1, true));
    EXPECT_EQ(Rel(gs, 1, 2), CDaimyou::kRelShukuteki);
}

}  // namespace
}  // namespace rymd
