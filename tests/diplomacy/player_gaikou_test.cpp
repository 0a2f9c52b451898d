#include "game/diplomacy/player_gaikou.h"

#include <gtest/gtest.h>

#include "game/diplomacy/counterpart.h"
#include "game/save/saved_game.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Houses 0 (the player's), 1, 2 and 3 hold castles 0..3 in a row with their heads; no treaty
// countdown runs between any two. House 0's castle is large enough that no hostage is asked.
struct GaikouWorld : TestWorld {
    GaikouWorld() : TestWorld({.houses = 4, .headsInCastles = true}) {
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                gs.DaimyouTbl[x].SetRelationHi(y, 0);
        gs.ShiroTbl[0].kokudaka = 20000;
    }
    CDaimyou& House(int d) { return gs.DaimyouTbl[static_cast<std::size_t>(d)]; }
    std::vector<std::string> Told() const { return Texts(PortCallKind::Inform); }
};

TEST(PlayerGaikou, PeaceAcceptedWithANeighbourOpensTradeAndCostsATenthOfItsYield) {
    GaikouWorld w;
    w.House(1).kindByte = CDaimyou::kKindAinu;  // accepts at once
    const int funds = w.House(0).shikin;
    const GaikouResult r = ProposeToHouse(w.gs, w.ports, kGaikouFusenDoumei, 1);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(w.Told(),
              (std::vector<std::string>{"家1と不戦同盟を結びました", "当家は家1との交易を開始しました"}));
    EXPECT_EQ(w.House(0).GetRelationLo(1), CDaimyou::kRelFusen);
    EXPECT_EQ(w.House(1).GetRelationLo(0), CDaimyou::kRelFusen);
    EXPECT_EQ(w.House(0).shikin, funds - FusenDoumeiCost(w.gs, 1));
    EXPECT_EQ(w.gs.GaikouDealt[1], 1);
    EXPECT_FALSE(w.gs.bGaikouBarred);
}

TEST(PlayerGaikou, RefusedProposalsTellTheRefusalAndOnlyMarkTheHouse) {
    struct Case {
        int command, target;
        const char* told;
    };
    // House 3 borders one house only: it refuses peace. House 2 is nobody's subordinate: the
    // demand of vassalage is refused before any envoy goes.
    const Case cases[] = {
        {kGaikouFusenDoumei, 3, "家3は不戦同盟に応じませんでした"},
        {kGaikouShinjuuYoukyuu, 2, "家2は臣従要求に応じませんでした"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        GaikouWorld w;
        GaikouWorld reference;
        reference.gs.GaikouDealt[static_cast<std::size_t>(c.target)] = 1;
        const GaikouResult r = ProposeToHouse(w.gs, w.ports, c.command, c.target);
        EXPECT_FALSE(r.accepted);
        EXPECT_TRUE(r.shinjuuNotice.empty());
        EXPECT_EQ(w.Told(), std::vector<std::string>{c.told});
        reference.gs.rng = w.gs.rng;
        EXPECT_EQ(StateHash(w.gs), StateHash(reference.gs));
    }
}

// An accepted change of master or application bars independence and the requests for the rest of
// the phase; a refused one and independence itself do not.
TEST(PlayerGaikou, AnAcceptedApplicationBarsTheRestOfThePhaseIndependenceDoesNot) {
    GaikouWorld refused;
    refused.House(1).SetRelationHi(0, 7);  // house 1 will not hear the player for a while
    EXPECT_FALSE(RequestOfHouse(refused.gs, refused.ports, kGaikouJuuzokuShigan, 1).accepted);
    EXPECT_EQ(refused.Told(), std::vector<std::string>{"家1は当家の従属志願を拒否しました"});
    EXPECT_FALSE(refused.gs.bGaikouBarred);
    EXPECT_EQ(refused.gs.GaikouDealt[1], 1);

    GaikouWorld w;
    EXPECT_TRUE(RequestOfHouse(w.gs, w.ports, kGaikouJuuzokuShigan, 1).accepted);
    EXPECT_EQ(w.Told(), std::vector<std::string>{"当家は家1に従属しました"});
    EXPECT_EQ(w.House(0).bond, CDaimyou::kBondJuuzoku);
    EXPECT_EQ(w.House(0).masterDaimyou, 1);
    EXPECT_TRUE(w.gs.bGaikouBarred);

    w.gs.bGaikouBarred = false;
    w.port.PushNo();
    const std::string before = StateHash(w.gs);
    EXPECT_FALSE(DeclarePlayerDokuritsu(w.gs, w.ports));
    EXPECT_EQ(StateHash(w.gs), before) << "No changes nothing";
    w.port.PushYes();
    EXPECT_TRUE(DeclarePlayerDokuritsu(w.gs, w.ports));
    EXPECT_EQ(w.Texts(PortCallKind::AskYesNo),
              (std::vector<std::string>{"家1から独立しますか？", "家1から独立しますか？"}));
    EXPECT_EQ(w.House(0).bond, CDaimyou::kBondDokuritsu);
    EXPECT_FALSE(w.gs.bGaikouBarred);
    EXPECT_EQ(w.gs.GaikouDealt[1], 1);
    EXPECT_FALSE(DeclarePlayerDokuritsu(w.gs, w.ports)) << "an independent house asks nothing";
}

TEST(PlayerGaikou, BreakingABondTellsFirstAndGivesLostCorpsANewLeader) {
    GaikouWorld w;
    w.House(1).kindByte = CDaimyou::kKindAinu;
    ProposeToHouse(w.gs, w.ports, kGaikouFusenDoumei, 1);
    w.port.ClearCalls();
    const int leader = w.AddBushou(0, 0, {.name = "甲", .chibou = 9});
    const int next = w.AddBushou(0, 0, {.name = "乙", .chibou = 8});
    const int corps = w.AddGundan(0, leader);
    w.gs.BushouTbl[next].gundan = static_cast<std::int16_t>(corps);
    w.gs.BushouTbl[leader].gundan = -1;  // he left the corps
    w.gs.GaikouDealt[1] = 0;
    BreakBondWith(w.gs, w.ports, 1);
    ASSERT_FALSE(w.Told().empty());
    EXPECT_EQ(w.Told().front(), "家1との外交関係を破棄しました");
    EXPECT_NE(w.House(0).GetRelationLo(1), CDaimyou::kRelFusen);
    EXPECT_EQ(w.gs.GundanTbl[corps].leader, next);
    EXPECT_EQ(w.gs.GaikouDealt[1], 1);
}

TEST(PlayerGaikou, CommandsChooseTheirCounterpartInTheirMode) {
    EXPECT_EQ(KoushouModeOfCommand(kGaikouFusenDoumei), kKoushouFusen);
    EXPECT_EQ(KoushouModeOfCommand(kGaikouShinjuuYoukyuu), kKoushouShinjuuYoukyuu);
    EXPECT_EQ(KoushouModeOfCommand(kGaikouKankeiHaki), kKoushouHaki);
    EXPECT_EQ(KoushouModeOfCommand(kGaikouDokuritsu), -2);
    EXPECT_EQ(KoushouModeOfCommand(kGaikouKuragae), kKoushouKuragae);
    EXPECT_EQ(KoushouModeOfCommand(kGaikouShinjuuShigan), kKoushouShinjuuShigan);
}

}  // namespace
}  // namespace rymd
