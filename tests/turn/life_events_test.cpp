#include "game/turn/life_events.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/state/house_index.h"
#include "game/state/queries.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---------------------------------------------------------------------------------------------
// Heads

TEST(SucceedToushu, PicksTheRankedHeirOfTheLineElseTheWisest) {
    struct General {
        int house;
        int line;  // line house of his scenario record; -99 none
        int rank;
        int chibou;
    };
    struct Case {
        const char* name;
        std::vector<General> generals;
        int heir;
    };
    const int marked0 = static_cast<std::int16_t>(0x8000);  // house 0 written with a mark
    const Case cases[] = {
        {"smallest rank", {{0, 0, 3, 5}, {0, 0, 1, 5}, {0, -99, 0, 9}}, 1},
        {"first of equal ranks", {{0, 0, 2, 5}, {0, 0, 2, 5}}, 0},
        {"a marked line house counts", {{0, 1, 0, 5}, {0, marked0, 4, 5}}, 1},
        {"rank -1 is no rank: the wisest", {{0, 0, -1, 3}, {0, -99, 0, 7}, {0, -99, 0, 2}}, 1},
        {"the later of equal intellect", {{0, -99, 0, 6}, {1, 0, 0, 9}, {0, -99, 0, 6}}, 2},
        {"another house's general never", {{1, 0, 0, 9}, {0, -99, 0, 1}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorld w({.castles = 2, .houses = 2});
        for (const General& g : c.generals) {
            const int b = w.AddBushou(g.house, 0, {.chibou = g.chibou});
            if (g.line != -99) w.SetLine(b, g.line, g.rank);
        }
        EXPECT_FALSE(SucceedToushu(w.gs, w.ports, 0, false));
        EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, c.heir);
        EXPECT_EQ(w.gs.ShiroTbl[0].commander, c.heir);
        EXPECT_EQ(w.gs.ShiroTbl[1].commander, c.heir);
        EXPECT_THAT(w.Informs(), ElementsAre(w.gs.BushouTbl[c.heir].name + "は家0の当主になりました"));
    }
}

TEST(SucceedToushu, AHouseWithNobodyLeftHasNoHead) {
    TestWorld w({.castles = 3, .houses = 2});
    w.Own(2, 1);
    w.gs.ShiroTbl[0].commander = 7;
    w.gs.ShiroTbl[1].gundan = 0;  // a corps castle keeps its commander
    w.gs.ShiroTbl[1].commander = 5;
    w.AddBushou(1, 2);
    EXPECT_TRUE(SucceedToushu(w.gs, w.ports, 0, false));
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, -2);
    EXPECT_EQ(w.gs.ShiroTbl[0].commander, -1);
    EXPECT_EQ(w.gs.ShiroTbl[1].commander, 5);
    EXPECT_THAT(w.Informs(), IsEmpty());
    EXPECT_FALSE(SucceedToushu(w.gs, w.ports, 9, false));  // no such house
}

TEST(SucceedToushu, TheMessageIsHeldBackWhenQuietOrDuringAutomaticAdvance) {
    for (int mode = 0; mode < 2; ++mode) {
        TestWorld w({.castles = 1, .houses = 1});
        w.gs.bAutoAdvance = mode == 1;
        const int g = w.AddBushou(0, 0);
        EXPECT_FALSE(SucceedToushu(w.gs, w.ports, 0, mode == 0));
        EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, g);
        EXPECT_THAT(w.Informs(), IsEmpty());
    }
}

TEST(SetToushu, ANewHeadLeavesHisCorpsAndTheCorpsGetsASuccessor) {
    TestWorld w({.castles = 3, .houses = 2});
    const int head = w.AddBushou(0, 0, {.name = "甲", .chibou = 9});
    const int other = w.AddBushou(0, 1, {.name = "乙", .chibou = 4});
    const int k = w.AddGundan(0, head);
    w.gs.BushouTbl[other].gundan = static_cast<std::int16_t>(k);
    w.gs.BushouTbl[head].status = CBushou::kStatusKyakushou;
    w.gs.ShiroTbl[1].gundan = static_cast<std::int16_t>(k);
    w.gs.ShiroTbl[1].commander = static_cast<std::int16_t>(head);

    SetToushu(w.gs, w.ports, 0, head, true);
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, head);
    EXPECT_EQ(w.gs.BushouTbl[head].status, CBushou::kStatusKashin);
    EXPECT_EQ(w.gs.BushouTbl[head].gundan, -1);
    EXPECT_EQ(w.gs.GundanTbl[k].leader, other);
    EXPECT_EQ(w.gs.ShiroTbl[1].commander, other);
    EXPECT_EQ(w.gs.ShiroTbl[0].commander, head);
    EXPECT_EQ(w.gs.ShiroTbl[2].commander, head);
    EXPECT_THAT(w.Informs(), ElementsAre("甲 軍団は、乙 が軍団長を引き継ぎます"));
}

TEST(SetToushu, AVassalsHeadKeepsHisCorpsField) {
    TestWorld w({.castles = 1, .houses = 2});
    w.gs.DaimyouTbl[0].bond = CDaimyou::kBondShinjuu;
    w.gs.DaimyouTbl[0].masterDaimyou = 1;
    const int g = w.AddBushou(0, 0);
    w.gs.BushouTbl[g].gundan = 4;
    SetToushu(w.gs, w.ports, 0, g, true);
    EXPECT_EQ(w.gs.BushouTbl[g].gundan, 4);
    SetToushu(w.gs, w.ports, 0, -1, true);
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, -2);
    EXPECT_EQ(w.gs.ShiroTbl[0].commander, -1);
}

// ---------------------------------------------------------------------------------------------
// Corps leaders

TEST(SucceedGundanchou, TheWisestOfTheCorpsTakesOver) {
    TestWorld w({.castles = 2, .houses = 3});
    const int leader = w.AddBushou(0, 0, {.name = "旧"});
    const int k = w.AddGundan(0, leader);
    w.gs.ShiroTbl[1].gundan = static_cast<std::int16_t>(k);
    auto member = [&](int house, int chibou, std::uint8_t status = CBushou::kStatusKashin) {
        const int g = w.AddBushou(house, 1, {.chibou = chibou});
        w.gs.BushouTbl[g].gundan = static_cast<std::int16_t>(k);
        w.gs.BushouTbl[g].status = status;
        return g;
    };
    member(0, 6);
    member(2, 9);  // another house's retainer never
    const int later = member(0, 7);
    const int guest = member(2, 7, CBushou::kStatusKyakushou);  // a guest counts; the later wins
    w.gs.BushouTbl[leader].gundan = -1;
    w.gs.bAutoAdvance = true;  // the player is told all the same

    EXPECT_FALSE(SucceedGundanchou(w.gs, w.ports, k, "旧"));
    EXPECT_EQ(w.gs.GundanTbl[k].leader, guest);
    EXPECT_EQ(w.gs.ShiroTbl[1].commander, guest);
    EXPECT_THAT(w.Informs(),
                ElementsAre("旧 軍団は、" + w.gs.BushouTbl[guest].name + " が軍団長を引き継ぎます"));
    (void)later;
}

TEST(SucceedGundanchou, ACorpsWithNobodyLeftIsDissolved) {
    for (int owner : {0, 1}) {
        TestWorld w({.castles = 2, .houses = 2});
        w.Own(1, owner);
        w.gs.DaimyouTbl[owner].toushu = w.AddBushou(owner, 1, {.name = "主"});
        const int k = w.AddGundan(owner, 0);
        w.gs.GundanTbl[k].shikin = 300;
        w.gs.ShiroTbl[1].gundan = static_cast<std::int16_t>(k);
        w.gs.BushouTbl[0].gundan = -1;
        w.gs.bAutoAdvance = true;
        EXPECT_TRUE(SucceedGundanchou(w.gs, w.ports, k, "去"));
        EXPECT_EQ(w.gs.GundanTbl[k].leader, CGundan::kLeaderFree);
        EXPECT_EQ(w.gs.ShiroTbl[1].gundan, -1);
        EXPECT_EQ(w.gs.DaimyouTbl[owner].shikin, 300);
        if (owner == w.gs.nPlayerDaimyou)
            EXPECT_THAT(w.Informs(), ElementsAre("去 軍団は、軍団長後継者がいないため解体します"));
        else
            EXPECT_THAT(w.Informs(), IsEmpty());
        EXPECT_FALSE(SucceedGundanchou(w.gs, w.ports, k, "去"));  // a free slot
    }
}

// ---------------------------------------------------------------------------------------------
// The general table

TEST(RemoveBushou, EveryStoredIndexFollowsAndOfficesPassOn) {
    TestWorld w({.castles = 3, .houses = 2});
    w.Own(2, 1);
    const int a = w.AddBushou(0, 0, {.name = "甲", .chibou = 3});
    const int gone = w.AddBushou(0, 0, {.name = "乙"});
    const int b = w.AddBushou(0, 1, {.name = "丙", .chibou = 8});
    const int c = w.AddBushou(1, 2, {.name = "丁"});
    const int d = w.Besiege(0, 1, {.name = "戊"});
    w.gs.DaimyouTbl[0].toushu = a;
    w.gs.DaimyouTbl[1].toushu = c;
    const int k = w.AddGundan(0, b);
    w.gs.ShiroTbl[1].gundan = static_cast<std::int16_t>(k);
    w.gs.ShiroTbl[1].commander = static_cast<std::int16_t>(b);
    w.gs.ShiroTbl[0].commander = static_cast<std::int16_t>(a);
    w.gs.ShiroTbl[2].commander = static_cast<std::int16_t>(c);
    w.gs.ShiroTbl[2].arrival[0] = d;
    w.gs.ShiroTbl[2].nArrival = 1;

    RemoveBushou(w.gs, w.ports, gone);
    ASSERT_EQ(w.gs.nBushou, 4);
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, a);
    EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, c - 1);
    EXPECT_EQ(w.gs.GundanTbl[k].leader, b - 1);
    EXPECT_EQ(w.gs.ShiroTbl[1].commander, b - 1);
    EXPECT_THAT(w.List(0), ElementsAre(a));
    EXPECT_THAT(w.Besiegers(0), ElementsAre(d - 1));
    EXPECT_EQ(w.gs.ShiroTbl[2].arrival[0], d - 1);
    EXPECT_THAT(w.Informs(), IsEmpty());
    w.ExpectIndexesConsistent();

    // The head leaves: his heir takes over. The corps leader leaves: nobody is left in it.
    RemoveBushou(w.gs, w.ports, a);
    EXPECT_EQ(w.gs.BushouTbl[w.gs.DaimyouTbl[0].toushu].name, "丙");
    EXPECT_THAT(w.Informs(),
                ElementsAre("丙は家0の当主になりました", "丙 軍団は、軍団長後継者がいないため解体します"));
    EXPECT_EQ(w.gs.GundanTbl[k].leader, CGundan::kLeaderFree);
    w.ExpectIndexesConsistent();

    RemoveBushou(w.gs, w.ports, 99);  // outside the table: nothing
    EXPECT_EQ(w.gs.nBushou, 3);
}

TEST(MoveBushouToTableEnd, TheRecordMovesAndEveryIndexFollows) {
    TestWorld w({.castles = 2, .houses = 1});
    const int a = w.AddBushou(0, 0, {.name = "甲"});
    w.AddBushou(0, 0, {.name = "乙"});
    w.AddBushou(0, 1, {.name = "丙"});
    w.gs.DaimyouTbl[0].toushu = a;
    w.gs.ShiroTbl[0].commander = static_cast<std::int16_t>(a);
    MoveBushouToTableEnd(w.gs, a);
    EXPECT_EQ(w.gs.BushouTbl[2].name, "甲");
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, 2);
    EXPECT_EQ(w.gs.ShiroTbl[0].commander, 2);
    EXPECT_THAT(w.List(0), ElementsAre(2, 0));
    EXPECT_THAT(w.List(1), ElementsAre(1));
    MoveBushouToTableEnd(w.gs, -3);
    w.ExpectIndexesConsistent();
}

TEST(ArchiveBushou, TheGeneralWaitsOffStageAsMasterless) {
    TestWorld w({.castles = 1, .houses = 1});
    const int g = w.AddBushou(0, 0, {.name = "隠", .chibou = 7});
    w.gs.BushouTbl[g].joinDaimyou = {0, 2, -1, -1, -1};
    w.gs.BushouTbl[g].cavalry = 30;
    ArchiveBushou(w.gs, w.ports, g);
    EXPECT_EQ(w.gs.nBushou, 0);
    ASSERT_EQ(w.gs.nMitoujouBushou, 1);
    const CBushou& e = w.gs.MitoujouBushouTbl[0];
    EXPECT_EQ(e.name, "隠");
    EXPECT_EQ(e.daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(e.sortieShiro, -1);
    EXPECT_EQ(e.moveShiro, 0);
    EXPECT_EQ(e.chibou, 7);
    EXPECT_EQ(e.cavalry, 30);
    EXPECT_EQ(e.joinDaimyou[1], 2);
    EXPECT_TRUE(w.List(0).empty());

    // A full off-stage table: he leaves play all the same.
    const int h = w.AddBushou(0, 0);
    w.gs.nMitoujouBushou = GameState::kMaxBushou;
    ArchiveBushou(w.gs, w.ports, h);
    EXPECT_EQ(w.gs.nBushou, 0);
    EXPECT_EQ(w.gs.nMitoujouBushou, GameState::kMaxBushou);
}

// ---------------------------------------------------------------------------------------------
// Castle capture

// House 0 (the player) besieges castle 0 of house 1; house 0 holds castles 1 and 2, house 1
// castle 3. Castle 0 has a mine.
struct CaptureWorld : TestWorld {
    int first = -1;
    int second = -1;
    CaptureWorld() : TestWorld({.castles = 4, .houses = 3}) {
        Own(0, 1);
        Own(3, 1);
        Link(0, 1);
        Link(0, 3);
        gs.ShiroTbl[0].support = 100;
        gs.ShiroTbl[1].support = 300;
        gs.ShiroTbl[2].support = 700;
        gs.ShiroTbl[0].kouzan = 50;
        gs.DaimyouTbl[0].toushu = AddBushou(0, 1, {.name = "主"});
        gs.DaimyouTbl[0].kouzanGijutsu = 500;
        gs.DaimyouTbl[1].kouzanGijutsu = 1000;
        first = Besiege(0, 0, {.name = "先"});
        second = Besiege(0, 0, {.name = "次"});
    }
};

TEST(GainKouzanGijutsuByCapture, TheConquerorTakesTheCastle) {
    CaptureWorld w;
    Random expected = w.gs.rng;
    const int t = 1000 - Round(expected.Unit() * 200 + 100);
    GainKouzanGijutsuByCapture(w.gs, w.ports, 0);
    const CShiro& s = w.gs.ShiroTbl[0];
    EXPECT_EQ(s.daimyou, 0);
    EXPECT_EQ(s.gundan, -1);
    EXPECT_EQ(s.commander, w.gs.DaimyouTbl[0].toushu);
    EXPECT_EQ(s.support, (500 + 100) / 2);
    EXPECT_THAT(w.List(0), ElementsAre(w.first, w.second));
    EXPECT_TRUE(w.Besiegers(0).empty());
    EXPECT_FALSE(w.gs.BushouTbl[w.first].flags & CBushou::kFlagBesieging);
    EXPECT_EQ(w.gs.DaimyouTbl[0].kouzanGijutsu, t);
    EXPECT_EQ(w.gs.rng.State(), expected.State());
    EXPECT_THAT(
        w.Informs(),
        ElementsAre("城0の攻略により、当家の鉱山技術が上昇しました\n（家1の鉱山技術を手に入れました）"));
    w.ExpectIndexesConsistent();
}

TEST(GainKouzanGijutsuByCapture, MiningTechnologyPassesOnlyFromABetterMine) {
    struct Case {
        int mine;
        int loserTech;
        bool draws;
        bool gains;
    };
    const Case cases[] = {{0, 5000, false, false}, {50, 600, true, false}, {50, 1000, true, true}};
    for (const Case& c : cases) {
        CaptureWorld w;
        w.gs.ShiroTbl[0].kouzan = static_cast<std::int16_t>(c.mine);
        w.gs.DaimyouTbl[1].kouzanGijutsu = static_cast<std::int16_t>(c.loserTech);
        const std::uint32_t before = w.gs.rng.State();
        GainKouzanGijutsuByCapture(w.gs, w.ports, 0);
        EXPECT_EQ(w.gs.rng.State() != before, c.draws);
        EXPECT_EQ(w.gs.DaimyouTbl[0].kouzanGijutsu != 500, c.gains);
        EXPECT_EQ(w.Informs().size(), c.gains ? 1u : 0u);
    }
}

TEST(GainKouzanGijutsuByCapture, TheCorpsKeepsItsConquestOnlyWithTheFiefOrder) {
    struct Case {
        const char* name;
        bool firstInCorps;
        bool secondInCorps;
        bool fief;
        bool corpsKeeps;
    };
    const Case cases[] = {
        {"all in a corps with the fief order", true, true, true, true},
        {"one besieger under the house's direct command", true, false, true, false},
        {"no fief order", true, true, false, false},
        {"no corps at all", false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureWorld w;
        const int leader = w.AddBushou(0, 2);
        const int k = w.AddGundan(0, leader, c.fief ? CGundan::kOrderShoryouka : 0);
        w.gs.BushouTbl[w.first].gundan = static_cast<std::int16_t>(c.firstInCorps ? k : -1);
        w.gs.BushouTbl[w.second].gundan = static_cast<std::int16_t>(c.secondInCorps ? k : -1);
        GainKouzanGijutsuByCapture(w.gs, w.ports, 0);
        EXPECT_EQ(w.gs.ShiroTbl[0].gundan, c.corpsKeeps ? k : -1);
        EXPECT_EQ(w.gs.ShiroTbl[0].commander, c.corpsKeeps ? leader : w.gs.DaimyouTbl[0].toushu);
    }
}

TEST(GainKouzanGijutsuByCapture, AVassalConquersForItsMasterAndFleetsAreSortedOut) {
    CaptureWorld w;
    w.gs.DaimyouTbl[2].bond = CDaimyou::kBondShinjuu;
    w.gs.DaimyouTbl[2].masterDaimyou = 0;
    w.gs.BushouTbl[w.first].daimyou = 2;
    for (int s : {0, 1, 3})
        w.gs.ShiroMapTbl[s].flags = ShiroMapRecord::kFlagWaterway;
    CGunsenTable& t = w.gs.GunsenTable;
    t.records[0] = {0, 1, 0, 12, GunsenRecord::kNoDestination};                           // loser's fleet
    t.records[1] = {GunsenRecord::kFlagBlockade, 2, 0, 7, GunsenRecord::kNoDestination};  // vassal blockade
    t.count = 2;
    GainKouzanGijutsuByCapture(w.gs, w.ports, 0);
    EXPECT_EQ(w.gs.ShiroTbl[0].daimyou, 0);
    EXPECT_EQ(t.records[0].shiro, 3);
    EXPECT_EQ(t.records[1].flags, 0);
    EXPECT_EQ(t.records[1].shiro, 0);
}

// Captures one after another read the conqueror's castles from the owners' lists when they are
// given and keep those lists: the same castles, support and draws as reading the whole table.
TEST(GainKouzanGijutsuByCapture, TheOwnersListsGiveWhatTheTableGives) {
    CaptureWorld plain;
    CaptureWorld listed;
    ShiroOwnerIndex owners(listed.gs);
    for (CaptureWorld* w : {&plain, &listed}) {
        ShiroOwnerIndex* index = w == &listed ? &owners : nullptr;
        GainKouzanGijutsuByCapture(w->gs, w->ports, 0, index);  // house 0 takes castle 0
        w->Besiege(1, 1, {.name = "反"});
        w->gs.ShiroTbl[3].support = 900;
        GainKouzanGijutsuByCapture(w->gs, w->ports, 1, index);  // house 1 takes castle 1 back
    }
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(listed.gs.ShiroTbl[c].daimyou, plain.gs.ShiroTbl[c].daimyou) << c;
        EXPECT_EQ(listed.gs.ShiroTbl[c].support, plain.gs.ShiroTbl[c].support) << c;
    }
    EXPECT_EQ(plain.gs.ShiroTbl[1].support, (900 + 300) / 2);  // castle 0 is no longer house 1's
    EXPECT_EQ(listed.gs.rng.State(), plain.gs.rng.State());
    const ShiroOwnerIndex fresh(listed.gs);
    for (int d = 0; d < 3; ++d)
        EXPECT_EQ(*owners.Of(d), *fresh.Of(d)) << d;
    EXPECT_THAT(*owners.Of(0), ElementsAre(0, 2));
    EXPECT_EQ(owners.Of(-1), nullptr);
    EXPECT_EQ(owners.Of(3), nullptr);
}

TEST(GainKouzanGijutsuByCapture, AConquerorWithoutOtherCastlesKeepsTheCastlesSupport) {
    CaptureWorld w;
    w.Own(1, 2);
    w.Own(2, 2);
    GainKouzanGijutsuByCapture(w.gs, w.ports, 0);
    EXPECT_EQ(w.gs.ShiroTbl[0].support, 100);
    TestWorld empty({.castles = 1, .houses = 1});
    GainKouzanGijutsuByCapture(empty.gs, empty.ports, 0);  // nobody besieges: nothing happens
    EXPECT_EQ(empty.gs.ShiroTbl[0].daimyou, 0);
}

// ---------------------------------------------------------------------------------------------
// Appearances

// Castles 0 and 1 of house 0 in province 0, castle 2 of house 1 in province 1; province 2 has
// no castle.
struct StageWorld : TestWorld {
    StageWorld() : TestWorld({.castles = 3, .houses = 3}) {
        Own(2, 1);
        Link(0, 1);
        Link(1, 2);
        gs.ShiroMapTbl[2].kuni = 1;
        gs.DaimyouTbl[0].toushu = AddBushou(0, 0, {.name = "主"});
        gs.DaimyouTbl[1].toushu = AddBushou(1, 2, {.name = "敵"});
        gs.DaimyouTbl[2].toushu = -1;  // fallen
    }
    // An off-stage general appearing in the year at the place (castle, or province | 0x8000).
    int Waiting(const std::string& name, int house, int year, int place) {
        const int i = gs.nMitoujouBushou++;
        CBushou& e = gs.MitoujouBushouTbl[i];
        e = CBushou{};
        e.name = name;
        e.daimyou = static_cast<std::int16_t>(house);
        e.moveShiro = static_cast<std::int16_t>(year);
        e.sortieShiro = static_cast<std::int16_t>(place);
        e.cavalry = 40;
        e.id = static_cast<std::int16_t>(gs.nBushouEx++);
        e.joinDaimyou.fill(-1);
        return i;
    }
};

TEST(AppearBushou, WhereAndForWhomAGeneralAppears) {
    const int kuni = 0x8000;
    const int marked1 = static_cast<std::int16_t>(0x8001);
    const int marked2 = static_cast<std::int16_t>(0x8002);
    struct Case {
        const char* name;
        int house;
        int place;
        bool appears;
        int castle;
        int serves;
        const char* text;
    };
    const Case cases[] = {
        {"in his house's castle", 0, 1, true, 1, 0, "新が城1に登場しました\n"},
        {"a free general serves the castle's owner", -2, 2, true, 2, 1,
         "新が城2に登場し、家1に仕官しました\n"},
        {"a marked house that stands", marked1, 2, true, 2, 1, "新が城2に登場しました\n"},
        {"a marked house that fell: free", marked2, 1, true, 1, 0, "新が城1に登場し、家0に仕官しました\n"},
        {"in a province, at a castle of his house", 1, kuni | 1, true, 2, 1, "新が城2に登場しました\n"},
        {"in a province without his castles: any castle there", 0, kuni | 1, true, 1, 0,
         "新が城1に登場しました\n"},
        {"a province without castles", -2, kuni | 2, false, -1, -1, ""},
        {"a fallen house without castles", 2, 1, false, -1, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StageWorld w;
        const int i = w.Waiting("新", c.house, 1560, c.place);
        std::string text;
        EXPECT_EQ(AppearBushou(w.gs, i, &text), c.appears);
        EXPECT_EQ(text, c.text);
        if (!c.appears) {
            EXPECT_EQ(w.gs.nBushou, 2);
            EXPECT_EQ(w.gs.nMitoujouBushou, 1);
            continue;
        }
        ASSERT_EQ(w.gs.nBushou, 3);
        const CBushou& b = w.gs.BushouTbl[2];
        EXPECT_EQ(w.gs.nMitoujouBushou, 0);
        EXPECT_EQ(b.name, "新");
        EXPECT_EQ(b.shiro, c.castle);
        EXPECT_EQ(b.daimyou, c.serves);
        EXPECT_EQ(b.cavalry, 40);
        EXPECT_EQ(b.moveShiro, -1);
        EXPECT_EQ(b.sortieShiro, -1);
        EXPECT_TRUE(w.gs.BushouExTbl[b.id].birthMark & 0x80);
        w.ExpectIndexesConsistent();
    }
}

TEST(AppearBushou, AFullTableRefusesAndKeepsTheEntry) {
    StageWorld w;
    const int i = w.Waiting("新", 0, 1560, 1);
    w.gs.nBushou = GameState::kMaxBushou;
    EXPECT_FALSE(AppearBushou(w.gs, i, nullptr));
    EXPECT_EQ(w.gs.nMitoujouBushou, 1);
    EXPECT_FALSE(AppearBushou(w.gs, 5, nullptr));
}

TEST(ProcessBushouAppearance, AGeneralComesOnStageInHisYearAtTheLatestInDecember) {
    for (std::uint32_t seed : {1u, 7u, 99u, 1234u}) {
        StageWorld w;
        w.gs.rng.Seed(seed);
        w.Waiting("早", 0, 1559, 0);  // his year is past: this month
        w.Waiting("今", 0, 1560, 1);
        w.Waiting("後", 0, 1561, 1);
        std::string text;
        w.gs.nCurMonth = 1;
        ProcessBushouAppearance(w.gs, w.ports, text);
        EXPECT_EQ(w.gs.BushouTbl[2].name, "早");
        int appearedIn = 1;
        for (int month = 1; month <= 12; ++month) {
            w.gs.nCurMonth = month;
            if (month > 1) ProcessBushouAppearance(w.gs, w.ports, text);
            if (w.gs.nBushou == 4) break;
            ++appearedIn;
        }
        EXPECT_LE(appearedIn, 12) << seed;
        ASSERT_EQ(w.gs.nBushou, 4);
        EXPECT_EQ(w.gs.BushouTbl[3].name, "今");
        ASSERT_EQ(w.gs.nMitoujouBushou, 1);
        EXPECT_EQ(w.gs.MitoujouBushouTbl[0].name, "後");
    }
}

TEST(ProcessBushouAppearance, AMasterlessGeneralJoinsAComputerHouse) {
    StageWorld w;
    const int i = w.Waiting("浪", CBushou::kDaimyouRounin, 0, -1);
    w.gs.MitoujouBushouTbl[i].joinDaimyou = {1, -1, -1, -1, -1};
    std::string text;
    ProcessBushouAppearance(w.gs, w.ports, text);
    ASSERT_EQ(w.gs.nBushou, 3);
    const CBushou& b = w.gs.BushouTbl[2];
    EXPECT_EQ(b.daimyou, 1);
    EXPECT_EQ(b.shiro, 2);  // the head's castle
    EXPECT_EQ(b.cavalry, 0);
    EXPECT_EQ(b.status, CBushou::kStatusKashin);
    EXPECT_EQ(text, "浪は家1を頼って家臣となりました\n");
    EXPECT_EQ(w.gs.nMitoujouBushou, 0);
    EXPECT_TRUE(w.port.CallsOf(PortCallKind::AskYesNo).empty());
}

TEST(ProcessBushouAppearance, ThePlayerIsAskedAndARefusalStrikesOnlyHisHouse) {
    for (bool yes : {false, true}) {
        StageWorld w;
        w.gs.ShiroTbl[0].kokudaka = 10000;  // house 0 outweighs every other listed house
        w.gs.bAutoAdvance = true;           // asked all the same
        const int i = w.Waiting("浪", CBushou::kDaimyouRounin, 0, -1);
        w.gs.MitoujouBushouTbl[i].joinDaimyou = {0, 2, 1, -1, -1};
        yes ? w.port.PushYes() : w.port.PushNo();
        std::string text;
        ProcessBushouAppearance(w.gs, w.ports, text);
        const auto asks = w.port.CallsOf(PortCallKind::AskYesNo);
        ASSERT_EQ(asks.size(), 1u);
        EXPECT_EQ(asks[0].text, "浪が当家を頼ってきました。家臣に登用しますか？");
        if (yes) {
            EXPECT_EQ(w.gs.nBushou, 3);
            EXPECT_EQ(w.gs.BushouTbl[2].daimyou, 0);
            EXPECT_EQ(w.gs.nMitoujouBushou, 0);
        } else {
            EXPECT_EQ(w.gs.nBushou, 2);
            ASSERT_EQ(w.gs.nMitoujouBushou, 1);
            EXPECT_THAT(w.gs.MitoujouBushouTbl[0].joinDaimyou, ElementsAre(2, 1, -1, -1, -1));
            EXPECT_EQ(text, "");
        }
    }
}

TEST(ProcessBushouAppearance, WithEveryHouseStruckHeNeverAsksAgain) {
    StageWorld w;
    w.Waiting("浪", CBushou::kDaimyouRounin, 0, -1);
    std::string text;
    ProcessBushouAppearance(w.gs, w.ports, text);
    EXPECT_EQ(w.gs.nMitoujouBushou, 1);
    EXPECT_TRUE(w.port.Calls().empty());
}

TEST(ProcessBushouAppearance, NoCastleToStationHimUndoesTheRecruitment) {
    StageWorld w;
    w.Own(0, 1);
    w.Own(1, 1);  // the player's house keeps its head but holds no castle
    const int i = w.Waiting("浪", CBushou::kDaimyouRounin, 0, -1);
    w.gs.MitoujouBushouTbl[i].joinDaimyou = {0, -1, -1, -1, -1};
    w.port.PushYes();
    std::string text;
    ProcessBushouAppearance(w.gs, w.ports, text);
    EXPECT_EQ(w.gs.nBushou, 2);
    EXPECT_EQ(w.gs.nMitoujouBushou, 1);
    EXPECT_THAT(w.Informs(), ElementsAre("配備できる城が無いので、登用できません"));
    EXPECT_EQ(text, "");
}

// ---------------------------------------------------------------------------------------------
// Replenishment

TEST(ProcessBushouAppearance, ReplenishmentFillsAHouseUpToItsCastlesShare) {
    struct Case {
        int castles;
        int limit;  // trunc((2 x castles)^0.7), at most 50
    };
    const Case cases[] = {{1, 1}, {2, 2}, {5, 5}, {133, 49}, {134, 50}, {300, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.castles);
        TestWorld w({.castles = c.castles, .houses = 1});
        w.gs.bBushouHojuu = true;
        std::string text;
        for (int month = 0; month < 400 && w.gs.nBushou < c.limit; ++month)
            ProcessBushouAppearance(w.gs, w.ports, text);
        ProcessBushouAppearance(w.gs, w.ports, text);
        ProcessBushouAppearance(w.gs, w.ports, text);
        EXPECT_EQ(w.gs.nBushou, c.limit);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.limit);
        w.ExpectIndexesConsistent();
        for (int g = 0; g < w.gs.nBushou; ++g) {  // each stands listed in his castle
            const std::vector<int> list = w.List(w.gs.BushouTbl[g].shiro);
            EXPECT_EQ(std::count(list.begin(), list.end(), g), 1);
        }
    }
}

TEST(ProcessBushouAppearance, AReplenishedRetainer) {
    for (bool longName : {false, true}) {
        TestWorld w({.castles = 1, .houses = 2});
        w.gs.bBushouHojuu = true;
        w.gs.DaimyouTbl[0].name = longName ? "長長長長長長長長長" : "織田";  // 18 bytes + 4 exceed 20
        std::string text;
        while (w.gs.nBushou == 0)
            ProcessBushouAppearance(w.gs, w.ports, text);
        const CBushou& b = w.gs.BushouTbl[0];
        const std::string name = longName ? "郎党" : "織田郎党";
        EXPECT_EQ(b.name, name);
        EXPECT_EQ(text, "城0に" + name + "が仕官しました\n");
        EXPECT_EQ(b.daimyou, 0);
        EXPECT_EQ(b.shiro, 0);
        EXPECT_EQ(b.buyuu, 1);
        EXPECT_EQ(b.chuusei, 10);
        EXPECT_EQ(b.chibou, 1);
        EXPECT_EQ(b.flags, CBushou::kFlagDeathType1);
        EXPECT_EQ(b.deathYear, b.birthYear + 60);
        EXPECT_GE(b.birthYear, 1560 - 40);
        EXPECT_LE(b.birthYear, 1560 - 25);
        EXPECT_LE(b.counter33, 20);
        EXPECT_EQ(b.id, -1);
        EXPECT_THAT(b.joinDaimyou, ElementsAre(-1, -1, -1, -1, -1));
    }
}

TEST(ProcessBushouAppearance, FullTablesRefuseQuietly) {
    StageWorld w;
    w.gs.bBushouHojuu = true;
    w.Waiting("早", 0, 1500, 0);
    const int i = w.Waiting("浪", CBushou::kDaimyouRounin, 0, -1);
    w.gs.MitoujouBushouTbl[i].joinDaimyou = {1, -1, -1, -1, -1};
    w.gs.nBushou = GameState::kMaxBushou;
    std::string text;
    ProcessBushouAppearance(w.gs, w.ports, text);
    EXPECT_EQ(w.gs.nBushou, GameState::kMaxBushou);
    EXPECT_EQ(w.gs.nMitoujouBushou, 2);
    EXPECT_EQ(text, "");
}

// ---------------------------------------------------------------------------------------------
// The report and the month start's checks

TEST(ShowBushouDeathAppear, BothListsWithNoneForAnEmptyOne) {
    TestWorld w({.castles = 1, .houses = 1});
    ShowBushouDeathAppear(w.gs, w.ports, "", "甲が城0に登場しました\n乙が城0に登場しました\n");
    const auto reports = w.port.CallsOf(PortCallKind::Report);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].reportKind, ReportKind::DeathsAndAppearances);
    EXPECT_EQ(reports[0].text, "武将死去／登場");
    EXPECT_THAT(reports[0].details, ElementsAre("武将登場", "甲が城0に登場しました", "乙が城0に登場しました",
                                                "武将死去", "なし"));

    w.gs.bAutoAdvance = true;
    ShowBushouDeathAppear(w.gs, w.ports, "", "");
    EXPECT_EQ(w.port.CallsOf(PortCallKind::Report).size(), 1u);
}

TEST(ShowBushouDeathAppear, TheDialogGetsBothListsInTheScenarioWord) {
    struct Case {
        const char* deaths;
        const char* appearances;
        std::vector<std::string> died;
        std::vector<std::string> appeared;
    };
    const std::vector<Case> cases = {
        {"", "", {"なし"}, {"なし"}},
        {"なし", "甲が城0に登場しました\n", {"なし"}, {"甲が城0に登場しました"}},
        {"甲死去\n乙死去\n", "なし", {"甲死去", "乙死去"}, {"なし"}},
    };
    for (const Case& c : cases) {
        TestWorld w({.castles = 1, .houses = 1});
        w.gs.ScenarioWords[9] = "将軍";  // the word for general
        const DeathAppearView v = MakeDeathAppearView(w.gs, c.deaths, c.appearances);
        EXPECT_EQ(v.caption, "将軍死去／登場");
        EXPECT_EQ(v.appearedTitle, "将軍登場");
        EXPECT_EQ(v.diedTitle, "将軍死去");
        EXPECT_EQ(v.died, c.died);
        EXPECT_EQ(v.appeared, c.appeared);
    }
}

TEST(CheckGundanchouSuccession, CaptiveOrDepartedLeadersAreReplacedAndPassedOverSlotsLeftAlone) {
    TestWorld w({.castles = 1, .houses = 2});
    w.gs.nPlayerDaimyou = 1;
    const int captive = w.AddBushou(0, 0, {.name = "囚"});
    const int heir1 = w.AddBushou(0, 0, {.name = "継"});
    const int k1 = w.AddGundan(0, captive);
    w.gs.BushouTbl[heir1].gundan = static_cast<std::int16_t>(k1);
    w.gs.BushouTbl[captive].status = CBushou::kStatusHoryo;

    const int moved = w.AddBushou(0, 0, {.name = "移"});
    const int k2 = w.AddGundan(0, moved);
    w.gs.BushouTbl[moved].gundan = -1;  // left his corps

    const int loyal = w.AddBushou(0, 0, {.name = "忠"});
    const int k3 = w.AddGundan(0, loyal);
    const int k4 = w.AddGundan(0, CGundan::kLeaderPassedOver);

    CheckGundanchouSuccession(w.gs, w.ports);
    EXPECT_EQ(w.gs.BushouTbl[captive].gundan, -1);
    EXPECT_EQ(w.gs.GundanTbl[k1].leader, heir1);
    EXPECT_EQ(w.gs.GundanTbl[k2].leader, CGundan::kLeaderFree);  // nobody left: dissolved
    EXPECT_EQ(w.gs.GundanTbl[k3].leader, loyal);
    EXPECT_EQ(w.gs.GundanTbl[k4].leader, CGundan::kLeaderPassedOver);
}

TEST(CheckToushuSuccession, TheRankedHeirTakesOverAndAHeadlessHouseTriesAgain) {
    struct Case {
        const char* name;
        std::vector<int> ranks;  // line ranks of generals 0.. of house 0 (-1 none)
        int head;                // head before the check
        int headAfter;
    };
    const Case cases[] = {
        {"the heir is the head", {2, 1}, 1, 1},
        {"the heir is not the head", {2, 1}, 0, 1},
        {"equal ranks, the earlier is head", {1, 1}, 0, 0},
        {"equal ranks, the later is head", {1, 1}, 1, 1},
        {"equal ranks, neither is head: the first", {1, 1, 5}, 2, 0},
        {"no ranked general: the head stays", {-1, -1}, 1, 1},
        {"no head: succession by intellect", {-1, -1}, -2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorld w({.castles = 1, .houses = 2});
        for (int rank : c.ranks) {
            const int g = w.AddBushou(0, 0);
            w.SetLine(g, 0, rank);
        }
        w.gs.DaimyouTbl[0].toushu = c.head;
        w.gs.DaimyouTbl[1].toushu = -1;  // a fallen house is never looked at
        CheckToushuSuccession(w.gs, w.ports);
        EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, c.headAfter);
        EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, -1);
    }
}

}  // namespace
}  // namespace rymd::test
