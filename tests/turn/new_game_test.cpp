#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/save/saved_game.h"
#include "game/save/state_dump.h"
#include "game/state/queries.h"
#include "game/turn/new_game.h"
#include "platform/core/file.h"
#include "support/scenario_test_util.h"
#include "support/test_world.h"
#include "support/turn_test_util.h"

namespace rymd::test {
namespace {

TEST(NewGame, WorldFixtureStartsWithItsHousesCastlesAndGenerals) {
    WorldFixture w;
    const GameState& gs = w.gs;
    EXPECT_EQ(gs.nCurYear, 1555);
    EXPECT_EQ(gs.nCurMonth, 4);
    EXPECT_EQ(gs.nDaimyou, 4);
    EXPECT_EQ(gs.nBushou, 9);  // three appear later
    EXPECT_EQ(gs.nMitoujouBushou, 3);

    // Heads by succession rank: the smallest rank that is not negative.
    EXPECT_EQ(gs.DaimyouTbl[w.House("D_ODA")].toushu, w.General("B_NOBUNAGA"));
    EXPECT_EQ(gs.DaimyouTbl[w.House("D_IMAGAWA")].toushu, w.General("B_YOSHIMOTO"));
    EXPECT_EQ(gs.DaimyouTbl[w.House("D_SAITOU")].toushu, w.General("B_DOUSAN"));
    // A house written in parentheses serves that house.
    EXPECT_EQ(gs.BushouTbl[w.General("B_MOTOYASU")].daimyou, w.House("D_IMAGAWA"));

    // Funds -1: rice yield / 12 x 0.8 x months to the harvest (April: 5).
    EXPECT_EQ(gs.DaimyouTbl[w.House("D_ODA")].shikin, (57000 + 30000) / 12 * 4);
    EXPECT_EQ(gs.DaimyouTbl[w.House("D_IMAGAWA")].shikin, 8000);

    // Provisions min(S x H, max(yield/1000 x 300, S x H / 2)); garrison H/10 x S / unit / 2.
    const CShiro& okazaki = gs.ShiroTbl[w.Castle("S_OKAZAKI")];
    EXPECT_EQ(okazaki.hyourou, 6000u);
    EXPECT_EQ(okazaki.shubihei, 30);
    EXPECT_EQ(okazaki.commander, w.General("B_YOSHIMOTO"));
    const CShiro& sunpu = gs.ShiroTbl[w.Castle("S_SUNPU")];
    ASSERT_EQ(sunpu.nBushou, 2);
    EXPECT_EQ(sunpu.bushou[0], w.General("B_YOSHIMOTO"));

    // Relations: Oda and Saitou allied, Imagawa and Oda arch-enemies without a countdown.
    const CDaimyou& oda = gs.DaimyouTbl[w.House("D_ODA")];
    EXPECT_EQ(oda.GetRelationLo(w.House("D_SAITOU")), CDaimyou::kRelFusen);
    EXPECT_EQ(oda.GetRelationLo(w.House("D_IMAGAWA")), CDaimyou::kRelShukuteki);
    EXPECT_EQ(oda.GetRelationHi(w.House("D_IMAGAWA")), CDaimyou::kNoCountdown);
    EXPECT_EQ(gs.DaimyouTbl[w.House("D_IMAGAWA")].GetRelationLo(w.House("D_ODA")), CDaimyou::kRelShukuteki);

    // Every link is a broad road; the sea link marked to stay is one of them.
    const ShiroMapRecord& nagashima = gs.ShiroMapTbl[w.Castle("S_NAGASHIMA")];
    bool seaLinkKept = false;
    for (const ShiroConnection& c : nagashima.connect) {
        if (c.shiro == 0xFFFF) break;
        EXPECT_EQ(c.kind, 0);
        if (c.shiro == w.Castle("S_SUNPU")) seaLinkKept = true;
    }
    EXPECT_TRUE(seaLinkKept);
    for (int s = 0; s < gs.nShiro; ++s)
        EXPECT_EQ(gs.ShiroMapTbl[s].flags & ShiroMapRecord::kFlagWaterway, 0);
    EXPECT_EQ(gs.GunsenTable.count, 0u);  // no castle lies on a waterway any more
}

// A state of one house per entry and one castle per house, built directly, before the new-game
// set-up.
struct SmallState : TestWorld {
    SmallState(int houses, int castles) : TestWorld({.castles = castles, .houses = houses}) {
        for (int d = 0; d < houses; ++d)
            gs.DaimyouInitTbl[d].shikin = 1000;
        for (int s = 0; s < castles; ++s)
            gs.ShiroTbl[s].kibo = 3;
    }
    // A link both ways with its new-game mark.
    void Link(int a, int b, int kind, int newGameMark = 0) {
        TestWorld::Link(a, b, kind, static_cast<std::uint8_t>(newGameMark << 2));
    }
    bool Linked(int a, int b) const {
        for (const ShiroConnection& c : gs.ShiroMapTbl[a].connect) {
            if (c.shiro == 0xFFFF) return false;
            if (c.shiro == b) return c.kind == 0;
        }
        return false;
    }
    void Setup() { SetupNewGame(gs, map, ports); }
};

TEST(NewGame, ProvisionsAndGarrisonFollowSizeAndYield) {
    struct Case {
        int size, kokudaka, hyourouMax, unit, hyourou, shubihei;
    } cases[] = {
        {3, 5000, 2000, 10, 3000, 30},   // max(1500, 3000), capped at 6000
        {3, 50000, 2000, 10, 6000, 30},  // 15000 capped at 6000
        {3, 5000, 2000, 1, 3000, 300},
        {0, 90000, 2000, 10, 0, 0},
    };
    for (const Case& c : cases) {
        SmallState st(1, 1);
        st.gs.nShiroHyourouMax = c.hyourouMax;
        st.gs.nHeiUnit = c.unit;
        st.gs.ShiroTbl[0].kibo = static_cast<std::uint8_t>(c.size);
        st.gs.ShiroTbl[0].kokudaka = static_cast<std::uint32_t>(c.kokudaka);
        st.Setup();
        EXPECT_EQ(st.gs.ShiroTbl[0].hyourou, static_cast<std::uint32_t>(c.hyourou))
            << c.size << "/" << c.kokudaka;
        EXPECT_EQ(st.gs.ShiroTbl[0].shubihei, c.shubihei);
        EXPECT_EQ(st.gs.ShiroTbl[0].harvestRate, 10000);
        EXPECT_EQ(st.gs.ShiroTbl[0].gundan, -1);
    }
}

TEST(NewGame, AutomaticFundsCountTheMonthsToTheHarvest) {
    struct Case {
        int month, funds;
    } cases[] = {{4, 1000 * 4}, {9, 0}, {10, 8800}, {12, 7200}};
    for (const Case& c : cases) {
        SmallState st(1, 1);
        st.gs.nStartMonth = c.month;
        st.gs.DaimyouInitTbl[0].shikin = -1;
        st.gs.ShiroTbl[0].kokudaka = 12000;  // 1000 a month
        st.Setup();
        EXPECT_EQ(st.gs.DaimyouTbl[0].shikin, c.funds) << "start month " << c.month;
    }
}

TEST(NewGame, HousesWithoutGeneralsHaveNoHead) {
    SmallState st(2, 1);  // house 0 holds the castle, house 1 holds nothing
    st.Setup();
    EXPECT_EQ(st.gs.DaimyouTbl[0].toushu, -2);
    EXPECT_EQ(st.gs.DaimyouTbl[1].toushu, -1);
    EXPECT_EQ(st.gs.ShiroTbl[0].commander, -2);
    EXPECT_EQ(st.gs.DaimyouTbl[999].masterDaimyou, 999);
    EXPECT_EQ(st.gs.GundanTbl[99].leader, CGundan::kLeaderFree);
}

TEST(NewGame, RoutesAreSimplified) {
    SmallState st(1, 6);
    st.gs.RoadCost = {20, 30, 50, 10};
    st.Link(0, 1, 1);     // narrow road: becomes broad
    st.Link(1, 2, 2);     // mountain path: becomes broad
    st.Link(0, 2, 3);     // sea link, 40 apart by land: disappears
    st.Link(2, 3, 3, 2);  // sea link with no land path, kept anyway
    st.Link(3, 4, 0, 1);  // road to be deleted at a new game
    st.Link(4, 5, 3);     // sea link with no land path: stays as a broad road
    st.Link(0, 5, 3, 2);  // marked to keep
    st.Setup();
    EXPECT_TRUE(st.Linked(0, 1));
    EXPECT_TRUE(st.Linked(1, 2));
    EXPECT_FALSE(st.Linked(0, 2));
    EXPECT_FALSE(st.Linked(2, 0));
    EXPECT_TRUE(st.Linked(2, 3));
    EXPECT_FALSE(st.Linked(3, 4));
    EXPECT_FALSE(st.Linked(4, 3));
    EXPECT_TRUE(st.Linked(4, 5));
    EXPECT_TRUE(st.Linked(5, 0));
}

TEST(NewGame, SeaLinkFarByLandStays) {
    SmallState st(1, 12);
    st.gs.RoadCost = {20, 30, 50, 10};  // near: 10 x 200 = 2000 stored
    for (int s = 0; s + 1 < 12; ++s)
        st.Link(s, s + 1, 0);  // 11 x 200 = 2200 by land
    st.Link(0, 11, 3);
    st.Setup();
    EXPECT_TRUE(st.Linked(0, 11));
}

TEST(NewGame, ASpectatorTakesAHouseOrGoesOnWatching) {
    struct Case {
        int from;    // the player's house before (3: the dummy house of a spectator)
        int chosen;  // the choice, -1 to watch
        int player;  // the player's house after
        bool spectator;
        bool disbanded;  // the corps of house 1 are gone
    };
    for (const Case c : {Case{3, 2, 2, false, false}, Case{3, -1, 3, true, false}, Case{1, 2, 2, false, true},
                         Case{1, 1, 1, false, false}, Case{1, -1, 3, true, true}}) {
        TestWorld w({.castles = 3, .houses = 4});
        w.gs.nScenarioDaimyou = 4;
        w.gs.nPlayerDaimyou = c.from;
        w.gs.nCurDaimyou = 0;
        w.gs.bSpectator = c.from == 3;
        w.gs.bStartedAsSpectator = true;
        const int corps = w.AddGundan(1, w.AddBushou(1, 1));
        ChangePlayerDaimyou(w.gs, c.chosen);
        EXPECT_EQ(w.gs.nPlayerDaimyou, c.player) << c.from << " -> " << c.chosen;
        EXPECT_EQ(w.gs.nCurDaimyou, c.player);
        EXPECT_EQ(w.gs.bSpectator, c.spectator);
        EXPECT_TRUE(w.gs.bStartedAsSpectator);
        EXPECT_EQ(w.gs.GundanTbl[corps].leader == CGundan::kLeaderFree, c.disbanded)
            << c.from << " -> " << c.chosen;
    }
}

TEST(NewGame, StartingAppendsTheDummyHouse) {
    SmallState st(3, 1);
    st.Setup();
    ASSERT_TRUE(StartNewGame(st.gs, st.ports, 1));
    EXPECT_EQ(st.gs.nScenarioDaimyou, 4);
    EXPECT_EQ(st.gs.nDaimyou, 4);
    EXPECT_EQ(st.gs.nPlayerDaimyou, 1);
    EXPECT_FALSE(st.gs.bSpectator);

    SmallState watch(3, 1);
    watch.Setup();
    ASSERT_TRUE(StartNewGame(watch.gs, watch.ports, -1));
    EXPECT_EQ(watch.gs.nPlayerDaimyou, 3);
    EXPECT_EQ(watch.gs.nCurDaimyou, 3);
    EXPECT_TRUE(watch.gs.bSpectator);
    EXPECT_TRUE(watch.gs.bStartedAsSpectator);
    EXPECT_EQ(watch.gs.DaimyouTbl[3].toushu, -1);

    SmallState full(1000, 1);
    full.Setup();
    EXPECT_FALSE(StartNewGame(full.gs, full.ports, -1));
    EXPECT_EQ(full.gs.nScenarioDaimyou, 1000);
    ASSERT_EQ(full.port.CallsOf(PortCallKind::Inform).size(), 1u);
    EXPECT_EQ(full.port.CallsOf(PortCallKind::Inform)[0].text,
              "大名家数がＭＡＸの場合は全自動モードは実行できません");
}

TEST(NewGame, ARestartForgetsThePlayerAndGoesBackToTheStart) {
    SmallState st(3, 1);
    st.Setup();
    ASSERT_TRUE(StartNewGame(st.gs, st.ports, 1));
    st.gs.nCurYear = st.gs.nStartYear + 3;
    st.gs.nCurMonth = st.gs.nStartMonth % 12 + 1;
    st.gs.nPhase = kPhaseNaisei;
    ResetForRestart(st.gs);
    EXPECT_EQ(st.gs.nPlayerDaimyou, -1);
    EXPECT_EQ(st.gs.nCurDaimyou, -1);
    EXPECT_EQ(st.gs.nCurYear, st.gs.nStartYear);
    EXPECT_EQ(st.gs.nCurMonth, st.gs.nStartMonth);
    EXPECT_EQ(st.gs.nPhase, kPhaseEvent);
}

TEST(NewGame, GeneralInAProvinceWithoutHisCastlesIsLeftOut) {
    ReaderRun run;
    run.map.files[run.scenarioFolder + "w.map"] = FakeKorMap::Make(3);
    ASSERT_EQ(run.Read("ScenarioVer : 11\nMapFile : w.map\n"
                       "Daimyou {\nD1 : 甲 : NORMAL : 0 : 0 : 1000 : 10 : 3 : YES : NORMAL : \"\"\n}\n"
                       "Shiro {\nS1 : 城 : K01 : 10 : 3 : 0 : 0 : 50000 : 300 : 0 : 0 : NO : 0 : 0 : - : 50 "
                       ": NORMAL : D1 : \"\"\n}\n"
                       "Bushou {\n"
                       "B1 : 一 : 5 : 5 : 5 : 5 : 5 : 5 : 5 : 0 : 0 : 0 : 1530 : 1590 : BYOUSHI : 0 : D1 : 1 "
                       ": K01 : \"\"\n"
                       "B2 : 二 : 5 : 5 : 5 : 5 : 5 : 5 : 5 : 0 : 0 : 0 : 1530 : 1590 : BYOUSHI : 0 : D1 : 2 "
                       ": K02 : \"\"\n"
                       "B3 : 三 : 5 : 5 : 5 : 5 : 5 : 5 : 5 : 0 : 0 : 0 : 1530 : 1590 : BYOUSHI : 0 : D_FREE "
                       ": -1 : K03 : \"\"\n"
                       "}\n"),
              0)
        << run.Message();
    SetupNewGame(*run.gs, run.map, run.ports);
    ASSERT_EQ(run.gs->nBushou, 1);
    EXPECT_EQ(run.gs->BushouTbl[0].shiro, 0);  // placed at the one castle of K01
    EXPECT_TRUE(run.port.CallsOf(PortCallKind::Inform).empty());
}

TEST(NewGame, TheSameSeedGivesTheSameState) {
    WorldFixture a(7), b(7), c(8);
    EXPECT_EQ(StateHash(a.gs), StateHash(b.gs));
    EXPECT_NE(StateHash(a.gs), StateHash(c.gs));  // the generals' counters are drawn
    EXPECT_EQ(DumpStateJson(a.gs, a.run.map, "x"), DumpStateJson(b.gs, b.run.map, "x"));
}

TEST(NewGame, DumpNamesHousesCastlesAndGenerals) {
    WorldFixture w;
    ASSERT_TRUE(StartNewGame(w.gs, w.run.ports, w.House("D_ODA")));
    const std::string json = DumpStateJson(w.gs, w.run.map, StateHash(w.gs));
    for (const char* fact :
         {"\"date\":{\"year\":1555,\"month\":4}", "\"player\":0", "\"spectator\":false",
          "\"counts\":{\"houses\":5,\"castles\":6,\"generals\":9,\"generals_not_appeared\":3}",
          "{\"index\":0,\"id\":\"D_ODA\",\"name\":\"織田家\",\"head\":0,\"funds\":29000,\"bond\":0,"
          "\"master\":0,"
          "\"kind\":1,\"castles\":2,\"kokudaka\":87000,\"relation_to_player\":1,\"dealt_with\":0,",
          "\"id\":\"S_OKAZAKI\",\"name\":\"岡崎城\",\"province\":\"K02\"", "\"name\":\"今川義元\"",
          "\"state_hash\":\""})
        EXPECT_NE(json.find(fact), std::string::npos) << fact;
}

}  // namespace
}  // namespace rymd::test
