#include <gtest/gtest.h>

#include <cmath>

#include "game/military/battle_runners.h"
#include "game/military/naval_battle.h"
#include "military/battle_world.h"

namespace rymd::test {
namespace {

struct NavalWorld : BattleWorld {
    int a = -1;
    int b = -1;
    NavalWorld(std::uint32_t seed = 1) : BattleWorld(2, 2, seed) {
        Own(1, 1);
        Waterway(0);
        Waterway(1);
        a = Add(0, 0, 20, 200);
        b = Add(1, 1, 20, 200);
    }
    CKaisen Battle(int attacker, int shipsA = 10, int shipsB = 10) {
        CKaisen k(gs);
        k.attacker = attacker;
        k.count = {1, 1};
        k.units[0][0] = a;
        k.units[1][0] = b;
        k.ships = {shipsA, shipsB};
        k.castles = {0, -1};
        k.Setup();
        return k;
    }
};

TEST(NavalBattle, TwoWaitingSidesEndAfterTwentyTurnsUnchanged) {
    NavalWorld w;
    w.Rain(0);  // in rain a defending side waits
    CKaisen k = w.Battle(1);
    for (int t = 1; t < CKaisen::kMaxTurns; ++t)
        ASSERT_EQ(k.PlayerStep(0, kKaisenWait), CKaisen::kOngoing);
    EXPECT_EQ(k.PlayerStep(0, kKaisenWait), 0);
    EXPECT_EQ(k.morale, (std::array<int, 2>{1000, 1000}));
    EXPECT_EQ(w.General(w.a).foot, 200);
    EXPECT_EQ(w.General(w.b).cavalry, 20);
}

TEST(NavalBattle, FireBombAtGapFourHitsAnEighthOfGapOne) {
    NavalWorld w;
    CKaisen k = w.Battle(0, 10, 1);
    w.gs.rng.Seed(99);
    k.positions = {2, 4};  // gap 1
    k.FireBombs(1, true);
    const int near = 1000 - k.trialMorale[1];
    w.gs.rng.Seed(99);
    k.trialMorale = {1000, 1000};
    k.positions = {2, 7};  // gap 4
    k.FireBombs(1, true);
    const int far = 1000 - k.trialMorale[1];
    EXPECT_GT(near, 100);
    EXPECT_NEAR(far, near / 8.0, 0.57);
}

TEST(NavalBattle, FireBombAtGapZeroHasNoEffect) {
    NavalWorld w;
    CKaisen k = w.Battle(0);
    k.positions = {4, 5};
    const std::uint32_t rng = w.gs.rng.State();
    k.FireBombs(3, false);
    EXPECT_EQ(k.morale, (std::array<int, 2>{1000, 1000}));
    EXPECT_EQ(w.General(w.b).foot, 200);
    EXPECT_EQ(w.gs.rng.State(), rng);
}

struct RetreatCase {
    int morale;
    int foot;
};

class NavalRetreat : public ::testing::TestWithParam<RetreatCase> {};

TEST_P(NavalRetreat, CostsTheRetreatingSide) {
    NavalWorld w;
    CKaisen k = w.Battle(0);
    k.morale[0] = GetParam().morale;
    EXPECT_EQ(k.DoTurn({kKaisenRetreat, kKaisenWait}), 2);
    k.ApplyDefeat(2);
    EXPECT_EQ(w.General(w.a).foot, GetParam().foot);
    EXPECT_EQ(w.General(w.b).foot, 200);
}

INSTANTIATE_TEST_SUITE_P(Morale, NavalRetreat,
                         ::testing::Values(RetreatCase{1000, 190}, RetreatCase{1, 190}, RetreatCase{0, 140}));

TEST(NavalBattle, ASideWithoutSoldiersIsBeatenAtFullMorale) {
    NavalWorld w;
    w.General(w.b).cavalry = 0;
    w.General(w.b).foot = 0;
    CKaisen k = w.Battle(0);
    EXPECT_EQ(k.DoTurn({kKaisenWait, kKaisenWait}), 1);
}

TEST(NavalBattle, CommanderIsTheLastGeneralOfTheBestNavalCommand) {
    NavalWorld w;
    const int c1 = w.Add(0, 0, 0, 10);
    const int c2 = w.Add(0, 0, 0, 10);
    w.General(c1).suigunTousotsu = 7;
    w.General(c2).suigunTousotsu = 7;
    CKaisen k(w.gs);
    k.count = {4, 1};
    k.units[0] = {0 | CKaisen::kGarrisonBit, w.a, c1, c2};
    k.units[1][0] = w.b;
    k.ships = {5, 5};
    k.Setup();
    EXPECT_EQ(k.units[0][0], c2);
    EXPECT_EQ(k.commanderAbility[0], 7);
    EXPECT_EQ(k.sideNames[0], w.General(c2).name);
}

TEST(NavalBattle, RunnerDecidesWithoutFightingWhenASideHasNoShips) {
    NavalWorld w;
    CBattleRunner runner(w.gs, Ports{});
    const std::array<int, 1> ids{w.a};
    const std::uint32_t rng = w.gs.rng.State();
    EXPECT_EQ(runner.RunKaisen(0, -1, 0, 10, ids, 1, 0, ids, 0, false), 1);
    EXPECT_EQ(runner.RunKaisen(0, -1, 0, 0, ids, 1, 10, ids, 0, false), 2);
    EXPECT_EQ(runner.RunKaisen(0, -1, 0, 10, {}, 1, 10, ids, 0, false), 2);
    EXPECT_EQ(w.gs.rng.State(), rng);
}

}  // namespace
}  // namespace rymd::test
