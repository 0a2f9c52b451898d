#include "game/military/placement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/state/house_index.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

using ::testing::ElementsAre;

// Castle 0 belongs to house 1; castles 1-4 to house 0. Links: 0-1, 1-2, 2-3 broad roads (10),
// 0-4 a mountain road (30).
struct ChainWorld : TestWorld {
    ChainWorld() : TestWorld({.castles = 5, .houses = 3}) {
        Own(0, 1);
        Link(0, 1);
        Link(1, 2);
        Link(2, 3);
        Link(0, 4, 2);
    }
    using TestWorld::Besiege;
    void Besiege(int shiro) { TestWorld::Besiege(shiro, 1); }
};

TEST(RelocateBushou, TakesTheTargetWhenItIsOwnFreeAndHasRoom) {
    ChainWorld w;
    const int g = w.AddBushou(0, 1);
    ASSERT_TRUE(RelocateBushou(w.gs, g, 2, false, false));
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 2);
    EXPECT_TRUE(w.List(1).empty());
    EXPECT_THAT(w.List(2), ElementsAre(g));
}

TEST(RelocateBushou, PassesPickTheNearestCastleOfTheRightKind) {
    struct Case {
        const char* name;
        bool besiegeNearest;  // castle 1 (cost 10 from castle 0) is besieged
        bool fillFree;        // every castle of house 0 but castle 1 is full
        bool fillAll;         // castle 1 is full as well
        bool anyRoom;
        bool moved;
        int castle;
        bool listed;
    };
    const Case cases[] = {
        {"nearest by road cost", false, false, false, false, true, 1, true},
        {"besieged castles come after free ones", true, false, false, false, true, 2, true},
        {"a besieged castle with room before full ones", true, true, false, false, true, 1, true},
        {"full everywhere: nothing without anyRoom", false, true, true, false, false, -1, false},
        {"full everywhere: the nearest with anyRoom, unlisted", false, true, true, true, true, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChainWorld w;
        const int g = w.AddBushou(0, -1);
        if (c.besiegeNearest) w.Besiege(1);
        if (c.fillFree)
            for (int s : {2, 3, 4})
                w.Fill(s);
        if (c.fillAll) w.Fill(1);
        const bool moved = RelocateBushou(w.gs, g, 0, c.anyRoom, false);
        EXPECT_EQ(moved, c.moved);
        EXPECT_EQ(w.gs.BushouTbl[g].shiro, c.castle);
        if (c.castle >= 0) {
            const std::vector<int> list = w.List(c.castle);
            EXPECT_EQ(std::count(list.begin(), list.end(), g), c.listed ? 1 : 0);
            EXPECT_LE(list.size(), 20u);
        }
    }
}

TEST(RelocateBushou, EqualCostsGoToTheCastleEarlierInTheTable) {
    TestWorld w({.castles = 3, .houses = 2});
    w.Own(0, 1);
    w.Link(0, 2);  // listed first, but later in the table
    w.Link(0, 1);
    const int g = w.AddBushou(0, -1);
    ASSERT_TRUE(RelocateBushou(w.gs, g, 0, false, false));
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 1);
}

TEST(RelocateBushou, SeaLanesCountDearInTheSeaCostlyMode) {
    TestWorld w({.castles = 3, .houses = 2});
    w.Own(0, 1);
    w.Link(0, 1, 3);  // sea lane, cost 15
    w.Link(0, 2, 1);  // narrow road, cost 20
    const int a = w.AddBushou(0, -1);
    const int b = w.AddBushou(0, -1);
    ASSERT_TRUE(RelocateBushou(w.gs, a, 0, false, false));
    ASSERT_TRUE(RelocateBushou(w.gs, b, 0, false, true));
    EXPECT_EQ(w.gs.BushouTbl[a].shiro, 1);
    EXPECT_EQ(w.gs.BushouTbl[b].shiro, 2);
}

TEST(RelocateBushou, AVassalCountsAsItsMaster) {
    ChainWorld w;
    w.gs.DaimyouTbl[2].bond = CDaimyou::kBondShinjuu;
    w.gs.DaimyouTbl[2].masterDaimyou = 0;
    const int vassalGeneral = w.AddBushou(2, -1);
    ASSERT_TRUE(RelocateBushou(w.gs, vassalGeneral, 1, false, false));
    EXPECT_EQ(w.gs.BushouTbl[vassalGeneral].shiro, 1);

    w.Own(3, 2);
    const int masterGeneral = w.AddBushou(0, -1);
    ASSERT_TRUE(RelocateBushou(w.gs, masterGeneral, 3, false, false));
    EXPECT_EQ(w.gs.BushouTbl[masterGeneral].shiro, 3);
}

// Whose castles count for a general's side: his house's and its vassals', never another
// house's vassal's; an owner outside the house table counts only for that same value. The same
// whether the castles are read from the whole table or from the owners' lists.
TEST(RelocateBushou, OnlyTheCastlesOfHisSideCount) {
    struct Case {
        int ownerOf3;  // castle 3's owner (castles 1, 2 and 4 stay house 0's, but are full)
        int house;     // the general's house
        int expected;  // where he goes (-1: nowhere)
    };
    const Case cases[] = {
        {2, 1, 3},               // house 2 is house 1's vassal: its castle counts for house 1
        {2, 0, -1},              // and not for house 0, whose castles are full
        {-1, -1, 3},             // an ownerless castle, for a general of no house
        {-1, 0, -1}, {7, 7, 3},  // an owner past the house table counts as itself
    };
    for (const bool indexed : {false, true})
        for (const Case& c : cases) {
            ChainWorld w;
            w.gs.DaimyouTbl[2].bond = CDaimyou::kBondShinjuu;
            w.gs.DaimyouTbl[2].masterDaimyou = 1;
            w.Own(0, 0);
            w.Own(3, c.ownerOf3);
            for (int castle : {0, 1, 2, 4})
                w.gs.ShiroTbl[static_cast<std::size_t>(castle)].nBushou = CShiro::kMaxBushou;
            const int g = w.AddBushou(c.house, -1);
            const ShiroOwnerIndex owners(w.gs);
            EXPECT_EQ(RelocateBushou(w.gs, g, 1, false, false, indexed ? &owners : nullptr), c.expected >= 0)
                << c.ownerOf3 << " " << c.house << " " << indexed;
            if (c.expected >= 0) {
                EXPECT_EQ(w.gs.BushouTbl[g].shiro, c.expected)
                    << c.ownerOf3 << " " << c.house << " " << indexed;
            }
        }
}

TEST(RelocateBushou, AHouseWithoutCastlesChangesNothing) {
    ChainWorld w;
    const int g = w.Besiege(1, 2);  // besieging castle 1 for house 2
    EXPECT_FALSE(RelocateBushou(w.gs, g, 1, true, false));
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 1);
    EXPECT_TRUE(w.gs.BushouTbl[g].flags & CBushou::kFlagBesieging);
    EXPECT_THAT(w.Besiegers(1), ElementsAre(g));
    EXPECT_FALSE(RelocateBushou(w.gs, 999, 1, true, false));
}

TEST(RelocateBushou, ABesiegerLeavesTheBesiegerListAndTheFlag) {
    ChainWorld w;
    const int g = w.Besiege(2, 1);  // house 1 besieges castle 2
    ASSERT_TRUE(RelocateBushou(w.gs, g, 2, false, false));
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 0);
    EXPECT_FALSE(w.gs.BushouTbl[g].flags & CBushou::kFlagBesieging);
    EXPECT_TRUE(w.Besiegers(2).empty());
    EXPECT_THAT(w.List(0), ElementsAre(g));
}

TEST(MoveBushouToAdjacentShiro, FirstLinkedOwnCastleThenTheFallback) {
    ChainWorld w;
    w.Link(1, 3);  // castle 1: links 0, 2, 3
    const int g = w.AddBushou(0, 1);
    w.Besiege(2);
    ASSERT_TRUE(MoveBushouToAdjacentShiro(w.gs, g, 1, false));  // 0 is foreign, 2 besieged
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 3);
    EXPECT_TRUE(w.List(1).empty());

    w.Fill(3);
    const int h = w.AddBushou(0, 1);
    EXPECT_FALSE(MoveBushouToAdjacentShiro(w.gs, h, 1, false));
    EXPECT_EQ(w.gs.BushouTbl[h].shiro, 1);
    ASSERT_TRUE(MoveBushouToAdjacentShiro(w.gs, h, 1, true));  // besieged castle 2 with room
    EXPECT_EQ(w.gs.BushouTbl[h].shiro, 2);
}

TEST(MoveBushouToFirstOwnShiro, FirstCastleInTableOrderEvenWhenFull) {
    ChainWorld w;
    w.Fill(1);
    const int g = w.AddBushou(0, 3);
    ASSERT_TRUE(MoveBushouToFirstOwnShiro(w.gs, g));
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 1);
    EXPECT_EQ(w.List(1).size(), 20u);  // not listed
    EXPECT_TRUE(w.List(3).empty());

    const int lone = w.AddBushou(2, -1);
    EXPECT_FALSE(MoveBushouToFirstOwnShiro(w.gs, lone));
}

TEST(PlaceBushouInShiro, FallsBackToNeighboursThenTheNearestThenStaysUnlisted) {
    ChainWorld w;
    const int g = w.AddBushou(0, -1);
    w.Fill(2);
    PlaceBushouInShiro(w.gs, g, 2);  // full: the first linked castle with room
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 1);

    for (int s : {1, 3, 4})
        w.Fill(s);
    const int h = w.AddBushou(0, -1);
    PlaceBushouInShiro(w.gs, h, 2);
    EXPECT_EQ(w.gs.BushouTbl[h].shiro, 2);
    EXPECT_EQ(w.List(2).size(), 20u);
    w.ExpectIndexesConsistent();
}

TEST(GetShiroConnectType, KindsOfLinks) {
    struct Case {
        std::vector<int> kinds;  // links from castle 0 to castle 1
        int expected;
    };
    const Case cases[] = {
        {{}, kConnectNone},
        {{0}, kConnectBroad},
        {{2, 1}, kConnectNarrow},
        {{3}, kConnectSea},
        {{3, 0}, kConnectBroadAndSea},
        {{1, 3}, kConnectNarrowAndSea},
        {{3, 2, 3}, kConnectMountainAndSea},
    };
    for (const Case& c : cases) {
        TestWorld w({.castles = 3, .houses = 1});
        w.AddLink(0, 2, 0);
        for (int k : c.kinds)
            w.AddLink(0, 1, k);
        EXPECT_EQ(GetShiroConnectType(w.gs, 0, 1), c.expected) << c.kinds.size();
    }
    TestWorld w({.castles = 2, .houses = 1});
    EXPECT_EQ(GetShiroConnectType(w.gs, -1, 1), kConnectNone);
    EXPECT_EQ(GetShiroConnectType(w.gs, 5, 1), kConnectNone);
}

TEST(GetHyourouMonths, Cases) {
    struct Case {
        const char* name;
        unsigned provisions;
        bool besieged;
        int heiUnit;
        int besiegerTroops;
        int defenders;
        int expected;
    };
    const Case cases[] = {
        {"no besiegers, besieger figure from the castle", 5000, false, 1, -1, 100, 1000},
        {"no provisions, even without defenders", 0, true, 1, -1, 0, 1},
        {"no defenders", 5000, true, 1, 500, 0, 10000},
        {"whole months", 5000, true, 1, 500, 100, 50},
        {"rounded up", 5001, true, 1, 500, 100, 51},
        {"soldier units", 5000, true, 10, 500, 100, 5},
        {"defenders from the castle: garrison and generals", 1000, true, 1, 500, -1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorld w({.castles = 2, .houses = 2});
        w.gs.nHeiUnit = c.heiUnit;
        CShiro& s = w.gs.ShiroTbl[0];
        s.hyourou = c.provisions;
        s.shubihei = 40;
        const int g = w.AddBushou(0, 0);
        w.gs.BushouTbl[g].cavalry = 20;
        w.gs.BushouTbl[g].foot = 40;
        if (c.besieged) w.Besiege(0, 1);
        EXPECT_EQ(GetHyourouMonths(w.gs, 0, c.besiegerTroops, c.defenders), c.expected);
    }
}

// Castle 0 (house 0) is besieged by house 1. Linked castles of house 0: 1 by land, 2 by sea.
struct RetreatWorld : TestWorld {
    RetreatWorld() : TestWorld({.castles = 4, .houses = 2}) {
        Own(3, 1);
        Link(0, 1);
        Link(0, 2, 3);
        Link(0, 3);
        Besiege(0, 1, {.name = "攻"});
        gs.ShiroMapTbl[0].flags = ShiroMapRecord::kFlagWaterway;
        gs.ShiroMapTbl[2].flags = ShiroMapRecord::kFlagWaterway;
    }
    int Defender(int troops) {
        const int g = AddBushou(0, 0);
        gs.BushouTbl[g].foot = static_cast<std::int16_t>(troops);
        return g;
    }
};

TEST(RetreatBushouFromShiro, LandFirstLargestFirstThenBySeaWithShips) {
    RetreatWorld w;
    w.Fill(1, 18);  // two free places by land
    const int small = w.Defender(500);
    const int big = w.Defender(900);
    const int mid = w.Defender(600);
    const int last = w.Defender(999);
    w.gs.GunsenTable.AddGunsen(0, 0, 1);
    const std::vector<int> leaving{small, big, mid, last};
    RetreatBushouFromShiro(w.gs, w.ports, 0, leaving, false);
    // Land: the two largest (999, 900). Sea: 600 soldiers take the one ship; 600 + 500 would
    // need a second.
    EXPECT_EQ(w.gs.BushouTbl[last].shiro, 1);
    EXPECT_EQ(w.gs.BushouTbl[big].shiro, 1);
    EXPECT_EQ(w.gs.BushouTbl[mid].shiro, 2);
    EXPECT_EQ(w.gs.BushouTbl[small].shiro, 0);
    EXPECT_EQ(w.gs.GunsenTable.GetGunsenAtShiro(2), 1);
    EXPECT_EQ(w.gs.GunsenTable.GetGunsenAtShiro(0), 0);
}

TEST(RetreatBushouFromShiro, ShipsNeededRoundUpByTheThousand) {
    struct Case {
        int troops;
        int ships;
        bool moves;
    };
    const Case cases[] = {{999, 1, true}, {1000, 1, true}, {1001, 1, false}, {1001, 2, true}};
    for (const Case& c : cases) {
        RetreatWorld w;
        w.Fill(1);
        const int g = w.Defender(c.troops);
        w.gs.GunsenTable.AddGunsen(0, 0, c.ships);
        w.gs.nPlayerDaimyou = 0;
        RetreatBushouFromShiro(w.gs, w.ports, 0, std::vector<int>{g}, true);
        EXPECT_EQ(w.gs.BushouTbl[g].shiro, c.moves ? 2 : 0) << c.troops << " " << c.ships;
        if (!c.moves) {
            EXPECT_THAT(w.Informs(), ElementsAre("軍船不足のため退却できない武将がいます"));
        }
    }
}

TEST(RetreatBushouFromShiro, MessagesGoToThePlayersSide) {
    {
        RetreatWorld w;  // the player besieges: he hears who withdrew
        w.gs.nPlayerDaimyou = 1;
        const int a = w.Defender(10);
        const int b = w.Defender(20);
        RetreatBushouFromShiro(w.gs, w.ports, 0, std::vector<int>{a, b}, true);
        EXPECT_THAT(w.Informs(), ElementsAre(w.gs.BushouTbl[b].name + "は城から退却しました\n" +
                                             w.gs.BushouTbl[a].name + "は城から退却しました"));
    }
    {
        RetreatWorld w;  // the player defends: the castle by sea has no room for the ships
        w.Fill(1);
        w.gs.GunsenTable.AddGunsen(0, 0, 5);
        w.gs.GunsenTable.AddGunsen(0, 2, 200);
        const int a = w.Defender(10);
        RetreatBushouFromShiro(w.gs, w.ports, 0, std::vector<int>{a}, true);
        EXPECT_EQ(w.gs.BushouTbl[a].shiro, 0);
        EXPECT_THAT(w.Informs(), ElementsAre("退却先の城の軍船数がオーバーするため退却できない武将がいます"));
    }
    {
        RetreatWorld w;  // without the messages flag nothing is said
        w.Fill(1);
        const int a = w.Defender(10);
        RetreatBushouFromShiro(w.gs, w.ports, 0, std::vector<int>{a}, false);
        EXPECT_TRUE(w.Informs().empty());
    }
}

TEST(RepairBushouLocations, RebuildsListsFromTheGeneralsOwnFields) {
    ChainWorld w;
    const int a = w.AddBushou(0, 1);
    const int b = w.AddBushou(0, 2);
    const int besieger = w.Besiege(2, 1);
    const int captive = w.AddBushou(CBushou::kDaimyouHitojichi, -1);
    // Scramble the lists: wrong entries, stale counts, a besieging house without besiegers.
    w.gs.ShiroTbl[1].nBushou = 3;
    w.gs.ShiroTbl[1].bushou[1] = b;
    w.gs.ShiroTbl[2].nBushou = 0;
    w.gs.ShiroTbl[3].besiegerDaimyou = 1;
    w.gs.BushouTbl[b].shiro = 3;

    RepairBushouLocations(w.gs, w.ports);
    EXPECT_THAT(w.List(1), ElementsAre(a));
    EXPECT_TRUE(w.List(2).empty());
    EXPECT_THAT(w.List(3), ElementsAre(b));
    EXPECT_THAT(w.Besiegers(2), ElementsAre(besieger));
    EXPECT_EQ(w.gs.ShiroTbl[2].besiegerDaimyou, 1);
    EXPECT_EQ(w.gs.ShiroTbl[3].besiegerDaimyou, -1);
    EXPECT_EQ(w.gs.BushouTbl[captive].daimyou, CBushou::kDaimyouHitojichi);
    EXPECT_TRUE(w.Informs().empty());
    w.ExpectIndexesConsistent();
}

TEST(RepairBushouLocations, RemovesArchivesAndMovesGeneralsOfAnotherSide) {
    ChainWorld w;
    w.gs.DaimyouTbl[0].toushu = w.AddBushou(0, 1, {.name = "当主"});
    const int gone = w.AddBushou(CBushou::kDaimyouRounin, 1, {.name = "去"});
    const int archived = w.AddBushou(CBushou::kDaimyouFree, 2, {.name = "隠"});
    const int stray = w.AddBushou(0, 0, {.name = "迷"});  // stands in house 1's castle
    const int keeper = w.AddBushou(0, 3, {.name = "残"});
    w.gs.ShiroTbl[3].commander = static_cast<std::int16_t>(keeper);

    RepairBushouLocations(w.gs, w.ports);
    ASSERT_EQ(w.gs.nBushou, 3);
    ASSERT_EQ(w.gs.nMitoujouBushou, 1);
    EXPECT_EQ(w.gs.MitoujouBushouTbl[0].name, "隠");
    EXPECT_EQ(w.gs.MitoujouBushouTbl[0].daimyou, CBushou::kDaimyouRounin);
    // Indexes after the removed generals moved down by two.
    const int strayNow = stray - 2;
    const int keeperNow = keeper - 2;
    EXPECT_EQ(w.gs.BushouTbl[strayNow].name, "迷");
    EXPECT_EQ(w.gs.BushouTbl[strayNow].shiro, 1);  // nearest own castle of castle 0
    EXPECT_EQ(w.gs.ShiroTbl[3].commander, keeperNow);
    EXPECT_THAT(w.Informs(),
                ElementsAre("Debug Message : 迷の所属大名 家0(主家:家0)と現在いる城(城0)の所有大名 "
                            "家1(主家:家1)が食い違っていますので武将を強制移動します"));
    (void)gone;
    (void)archived;
    w.ExpectIndexesConsistent();
}

// The generals who leave close their slots together at the end of the walk: the successors
// chosen while the others still stood in their old slots come out as the right generals.
TEST(RepairBushouLocations, SuccessorsChosenDuringTheWalkKeepTheirPlaces) {
    ChainWorld w;
    const int first = w.AddBushou(0, 1, {.name = "前", .chibou = 10});
    const int head = w.AddBushou(CBushou::kDaimyouRounin, 1, {.name = "旧主", .chibou = 90});
    const int corps = w.AddGundan(0, head);
    w.AddBushou(CBushou::kDaimyouRounin, 2, {.name = "去"});
    w.AddBushou(0, 2, {.name = "継", .chibou = 50, .gundan = corps});
    w.AddBushou(CBushou::kDaimyouFree, 3, {.name = "隠"});
    w.AddBushou(0, 3, {.name = "嫡", .chibou = 80});
    w.gs.DaimyouTbl[0].toushu = head;
    for (int c : {1, 2, 3, 4})
        w.gs.ShiroTbl[static_cast<std::size_t>(c)].commander = static_cast<std::int16_t>(head);
    w.gs.ShiroTbl[2].gundan = static_cast<std::int16_t>(corps);

    RepairBushouLocations(w.gs, w.ports);
    ASSERT_EQ(w.gs.nBushou, 3);
    EXPECT_EQ(w.gs.BushouTbl[first].name, "前");
    EXPECT_EQ(w.gs.BushouTbl[1].name, "継");
    EXPECT_EQ(w.gs.BushouTbl[2].name, "嫡");
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, 2);     // the wisest of the house
    EXPECT_EQ(w.gs.GundanTbl[corps].leader, 1);  // the wisest of the corps
    EXPECT_EQ(w.gs.ShiroTbl[2].commander, 1);
    for (int c : {1, 3, 4})
        EXPECT_EQ(w.gs.ShiroTbl[static_cast<std::size_t>(c)].commander, 2) << c;
    EXPECT_THAT(w.List(1), ElementsAre(first));
    EXPECT_THAT(w.List(2), ElementsAre(1));
    EXPECT_THAT(w.List(3), ElementsAre(2));
    ASSERT_EQ(w.gs.nMitoujouBushou, 1);
    EXPECT_EQ(w.gs.MitoujouBushouTbl[0].name, "隠");
    w.ExpectIndexesConsistent();
}

TEST(RepairBushouLocations, AGeneralWithNowhereToGoIsRemoved) {
    for (bool autoAdvance : {false, true}) {
        ChainWorld w;
        w.gs.bAutoAdvance = autoAdvance;
        w.gs.DaimyouTbl[2].toushu = w.AddBushou(2, 0, {.name = "頭"});  // house 2 holds no castle
        RepairBushouLocations(w.gs, w.ports);
        EXPECT_EQ(w.gs.nBushou, 0);
        EXPECT_EQ(w.gs.DaimyouTbl[2].toushu, -2);
        std::vector<std::string> expected{
            "Debug Message : 頭の所属大名 家2(主家:家2)と現在いる城(城0)の所有大名 "
            "家1(主家:家1)が食い違っています"
            "ので武将を強制移動します"};
        if (!autoAdvance) expected.push_back("Debug Message : 移動可能な城が無いので頭は削除されました");
        EXPECT_EQ(w.Informs(), expected);
    }
}

TEST(RepairBushouLocations, BlockadesStandOnlyWhileTheCastleIsBesieged) {
    ChainWorld w;
    for (int s : {1, 2, 3})
        w.gs.ShiroMapTbl[s].flags = ShiroMapRecord::kFlagWaterway;
    w.gs.ShiroMapTbl[0].flags = ShiroMapRecord::kFlagWaterway;
    w.Besiege(2);
    CGunsenTable& t = w.gs.GunsenTable;
    t.records[0] = {GunsenRecord::kFlagBlockade, 1, 2, 30, GunsenRecord::kNoDestination};
    t.records[1] = {GunsenRecord::kFlagBlockade, 1, 3, 40, GunsenRecord::kNoDestination};
    t.count = 2;
    RepairBushouLocations(w.gs, w.ports);
    EXPECT_EQ(w.gs.ShiroTbl[2].blockadeDaimyou, 1);
    EXPECT_EQ(t.GetBlockadeGunsenAtShiro(2), 30);
    EXPECT_EQ(t.GetBlockadeGunsenAtShiro(3), 0);
    EXPECT_EQ(t.GetGunsenAtShiro(0), 40);  // home to house 1's castle
    EXPECT_EQ(w.gs.ShiroTbl[3].blockadeDaimyou, -1);
}

TEST(LiftShiroHoui, BesiegersGoHomeAndTheBlockadeCarriesThemBySea) {
    // House 1 besieges castle 0 (house 0) from castle 3 (by land) and castle 4 (by sea only).
    TestWorld w({.castles = 5, .houses = 2});
    w.Own(3, 1);
    w.Own(4, 1);
    w.Link(0, 1);
    w.Link(0, 3);
    w.Link(0, 4, 3);
    for (int s = 0; s < 5; ++s)
        w.gs.ShiroMapTbl[s].flags = ShiroMapRecord::kFlagWaterway;
    const int byLand = w.Besiege(0, 1, {.name = "陸"});
    const int bySea = w.Besiege(0, 1, {.name = "海"});
    w.gs.BushouTbl[byLand].sortieOrigin = 3;
    w.gs.BushouTbl[bySea].sortieOrigin = 4;
    w.gs.BushouTbl[bySea].foot = 1500;  // two ships' worth
    w.gs.BushouTbl[byLand].sortieShiro = 0;
    CGunsenTable& t = w.gs.GunsenTable;
    t.records[0] = {GunsenRecord::kFlagBlockade, 1, 0, 5, GunsenRecord::kNoDestination};
    t.count = 1;

    ASSERT_TRUE(LiftShiroHoui(w.gs, 0));
    EXPECT_EQ(w.gs.BushouTbl[byLand].shiro, 3);
    EXPECT_EQ(w.gs.BushouTbl[bySea].shiro, 4);
    EXPECT_EQ(w.gs.BushouTbl[byLand].sortieShiro, -1);
    EXPECT_TRUE(w.Besiegers(0).empty());
    EXPECT_EQ(w.gs.ShiroTbl[0].besiegerDaimyou, -1);
    EXPECT_EQ(t.GetBlockadeGunsenAtShiro(0), 0);
    EXPECT_EQ(t.GetGunsenAtShiro(4), 5);  // two for the troops, the other three share the same way

    EXPECT_FALSE(LiftShiroHoui(w.gs, 0));  // nobody besieges it now
    EXPECT_FALSE(LiftShiroHoui(w.gs, 77));
}

}  // namespace
}  // namespace rymd::test
