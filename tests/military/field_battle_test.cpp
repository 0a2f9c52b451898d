#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/military/battle_common.h"
#include "game/military/battle_runners.h"
#include "game/military/field_battle.h"
#include "game/state/queries.h"
#include "military/battle_world.h"

namespace rymd::test {
namespace {

// Houses 0 and 1 with armies standing in castles 0 and 1 (province 0).
struct FieldWorld : BattleWorld {
    FieldWorld(std::uint32_t seed = 1) : BattleWorld(2, 2, seed) { Own(1, 1); }

    CYasen Battle(std::initializer_list<int> a, std::initializer_list<int> b, int attacker = 0) {
        CYasen y(gs);
        y.attacker = attacker;
        for (int g : a)
            y.generals[0][static_cast<std::size_t>(y.count[0]++)] = g;
        for (int g : b)
            y.generals[1][static_cast<std::size_t>(y.count[1]++)] = g;
        y.province = {0, -1};
        return y;
    }
};

TEST(FieldBattle, NoSurpriseBetweenEqualTotals) {
    FieldWorld w;
    const int a = w.Add(0, 0, 10, 90);
    const int b = w.Add(1, 1, 50, 50);
    w.General(a).chibou = 10;
    w.General(a).counter33 = 200;
    CYasen y = w.Battle({a}, {b});
    y.Setup();
    EXPECT_EQ(y.surprise, 0);
    EXPECT_EQ(y.pos, (std::array<int, 2>{2, 7}));
    EXPECT_EQ(w.General(a).counter33, 200);

    w.General(b).foot = 51;  // now side 0 is the weaker one
    CYasen z = w.Battle({a}, {b});
    z.Setup();
    EXPECT_EQ(z.surprise, 1);
    EXPECT_EQ(z.surpriseLeader, a);
    EXPECT_EQ(z.pos, (std::array<int, 2>{4, 5}));
    EXPECT_EQ(w.General(a).counter33, 100);
    EXPECT_GE(z.confusionTurns, 3);
    EXPECT_LE(z.confusionTurns, 5);
    EXPECT_FALSE(z.CanSwapLines(1));
    EXPECT_FALSE(z.IsActionAllowed(1, kYasenRetreat));
}

TEST(FieldBattle, AutomaticDeploymentPutsTheHeadInHeadquartersAndSplitsTheRest) {
    FieldWorld w;
    std::vector<int> army;
    for (int i = 0; i < 5; ++i)
        army.push_back(w.Add(0, 0, 1, 10, i));
    w.gs.DaimyouTbl[0].toushu = army[2];
    w.Castle(0).shubihei = 30;
    CYasen y(w.gs);
    for (int g : army)
        y.generals[0][static_cast<std::size_t>(y.count[0]++)] = g;
    y.castle = {0, -1};
    y.generals[1][0] = w.Add(1, 1, 1, 10);
    y.count[1] = 1;
    y.Setup();
    EXPECT_EQ(y.lineCount[0][2], 1);
    EXPECT_EQ(y.unit[0][2][0], army[2]);
    EXPECT_EQ(y.lineCount[0][0], 3);  // four generals and the garrison: (5 + 1) / 2
    EXPECT_EQ(y.lineCount[0][1], 2);
    EXPECT_EQ(y.unit[0][1][1], 0 | CYasen::kGarrisonBit);
    EXPECT_EQ(y.foot[0], 5 * 10 + 30);
}

// An army of garrison only, with no soldiers, loses at the end of the first turn.
TEST(FieldBattle, EmptyGarrisonArmyIsRoutedFromTheStart) {
    FieldWorld w;
    CYasen y = w.Battle({w.Add(0, 0, 0, 10)}, {});
    y.castle = {-1, 1};
    y.Setup();
    EXPECT_EQ(y.lineCount[1][2], 1);
    EXPECT_EQ(y.morale[1][2][0], 0);
    EXPECT_EQ(y.AutoStep(), 1);
}

TEST(FieldBattle, BothHeadquartersRoutedInOneTurnIsADrawWithoutDeaths) {
    FieldWorld w;
    const int a = w.Add(0, 0, 0, 10);
    const int b = w.Add(1, 1, 0, 10);
    CYasen y = w.Battle({a}, {b});
    y.Setup();
    y.morale[0][2][0] = 0;
    y.morale[1][2][0] = 0;
    std::string fates;
    y.fates = &fates;
    EXPECT_EQ(y.ExecuteTurn({kYasenWait, kYasenWait}), 0);
    EXPECT_EQ(w.General(a).daimyou, 0);
    EXPECT_EQ(w.General(b).daimyou, 1);
    EXPECT_TRUE(fates.empty());
}

TEST(FieldBattle, RainForbidsMusketFire) {
    FieldWorld w;
    w.Rain(0);
    const int a = w.Add(0, 0, 0, 500, 500);
    const int b = w.Add(1, 1, 0, 500, 500);
    CYasen y = w.Battle({a}, {b}, 1);
    y.Setup();
    ASSERT_TRUE(y.rain);
    EXPECT_FALSE(y.IsActionAllowed(0, kYasenFire));
    for (int side = 0; side < 2; ++side) {
        y.PredictTurn();
        EXPECT_NE(y.ChooseAction(side), kYasenFire);
    }
    EXPECT_EQ(y.ExecuteTurn({kYasenFire, kYasenFire}), CYasen::kOngoing);
    EXPECT_EQ(w.General(a).foot, 500);
    EXPECT_EQ(w.General(b).foot, 500);
    EXPECT_EQ(y.morale[0][2][0], 100);

    w.gs.KuniEventFlags[0] = 0;  // dry: the defender fires
    CYasen dry = w.Battle({a}, {b}, 1);
    dry.Setup();
    dry.PredictTurn();
    EXPECT_EQ(dry.ChooseAction(1), kYasenFire);
}

TEST(FieldBattle, TwentyUndecidedTurnsAreADraw) {
    FieldWorld w;
    const int a = w.Add(0, 0, 10, 100);
    const int b = w.Add(1, 1, 10, 100);
    CYasen y = w.Battle({a}, {b}, 1);  // side 1 defends and, without muskets anywhere, waits
    y.Setup();
    for (int t = 1; t < CYasen::kMaxTurns; ++t)
        ASSERT_EQ(y.PlayerStep(0, kYasenWait), CYasen::kOngoing) << t;
    EXPECT_EQ(y.PlayerStep(0, kYasenWait), 0);
    EXPECT_EQ(w.General(a).foot, 100);
    EXPECT_EQ(w.General(b).foot, 100);
}

TEST(FieldBattle, RetreatLosesAndTheRoutLossesFollow) {
    FieldWorld w;
    const int a = w.Add(0, 0, 20, 200);
    const int b = w.Add(1, 1, 10, 100);
    CYasen y = w.Battle({a}, {b});
    y.Setup();
    EXPECT_EQ(y.ExecuteTurn({kYasenWait, kYasenRetreat}), 1);
    y.ApplyRoutLosses(1);
    EXPECT_EQ(w.General(b).cavalry, 9);  // trunc(10 x 0.95): not routed
    EXPECT_EQ(w.General(b).foot, 95);
    EXPECT_EQ(w.General(a).foot, 200);
}

TEST(FieldBattle, MeleeAndFireNeverRaiseTroopsOrBreakTheLimits) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        FieldWorld w(seed);
        std::vector<int> a;
        std::vector<int> b;
        for (int i = 0; i < 20; ++i) {
            a.push_back(w.Add(0, 0, 5 + i, 50 + 3 * i, 10 + i));
            b.push_back(w.Add(1, -1, 4 + i, 60 + 2 * i, i));
        }
        w.Castle(0).shubihei = 40;
        CBattleRunner runner(w.gs, Ports{});
        const int result = runner.RunYasen(0, 1, a, 0, b, -1, 0, {0, -1});
        EXPECT_GE(result, 0);
        EXPECT_LE(result, 2);
        for (int g = 0; g < w.gs.nBushou; ++g) {
            EXPECT_GE(w.General(g).foot, 0);
            EXPECT_LE(w.General(g).muskets, w.General(g).foot);
        }
        EXPECT_GE(w.Castle(0).shubihei, 0);
    }
}

// The player's turn tells the battle dialog both actions before it carries them out.
TEST(FieldBattle, PlayerStepShowsBothActionsBeforeTheTurn) {
    FieldWorld w;
    const int a = w.Add(0, 0, 5, 50);
    const int b = w.Add(1, 1, 5, 50);
    struct Shown : YasenObserver {
        std::vector<std::array<int, 3>> calls;  // the two actions and the turn count then
        void OnActionsChosen(const CYasen& y, const std::array<int, 2>& actions) override {
            calls.push_back({actions[0], actions[1], y.turn});
        }
    } shown;
    CYasen y = w.Battle({a}, {b});
    y.Setup();
    y.observer = &shown;
    EXPECT_EQ(y.PlayerStep(0, kYasenAdvance), CYasen::kOngoing);
    ASSERT_EQ(shown.calls.size(), 1u);
    EXPECT_EQ(shown.calls[0][0], kYasenAdvance);
    EXPECT_GE(shown.calls[0][1], kYasenWait);
    EXPECT_LE(shown.calls[0][1], kYasenRetreat);
    EXPECT_EQ(shown.calls[0][2], 0);  // before the turn
    EXPECT_EQ(y.turn, 1);
}

// The predicting volley takes the enemy line in random order, with the shuffle's draws, as the
// real volley does: the k-th morale draw after the shuffle lands on the k-th unit of that order.
// It lowers the estimates only.
TEST(FieldBattle, PredictingVolleyTakesTheEnemyLineInRandomOrder) {
    for (int defenders : {2, 5, 11, 19}) {
        SCOPED_TRACE(defenders);
        FieldWorld w(7);
        const int a = w.Add(0, 0, 0, 300, 300);
        std::vector<int> b;
        for (int i = 0; i < defenders; ++i)
            b.push_back(w.Add(1, 1, 0, 10 + i));
        CYasen y = w.Battle({a}, {});
        for (int g : b)
            y.generals[1][static_cast<std::size_t>(y.count[1]++)] = g;
        y.Setup();
        ASSERT_FALSE(y.Adjacent());
        const int line = y.EnemyLine(0);
        const int n = y.lineCount[1][static_cast<std::size_t>(line)];
        const auto& morale = y.morale[1][static_cast<std::size_t>(line)];

        Random ref = w.gs.rng;
        y.PredictTurn();

        // Only the attacker fires: the stop chance and the casualty budget are drawn, then the
        // order of the enemy's units, as in a real volley.
        ref.Unit();
        battle::Between(ref, 0.9, 1.1);
        std::array<int, CYasen::kMaxUnits> order{};
        for (int i = 0; i < n; ++i)
            order[static_cast<std::size_t>(i)] = i;
        battle::ShuffleEqual(ref, order.data(), n);
        const double ratio = 300.0 / y.GetLineTroops(1, line);
        const double range = std::pow(2.0, y.pos[1] - y.pos[0] - 2);
        const double blow = (std::pow(ratio + 1.0, 0.9) - 1.0) * 150.0 / range;
        for (int k = 0; k < n; ++k) {
            const auto i = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
            const int expected = std::max(0, morale[i] - Round(battle::Between(ref, 0.5, 1.5) * blow));
            EXPECT_EQ(y.estimate[1][static_cast<std::size_t>(line)][i], expected) << k;
            EXPECT_EQ(morale[i], 100);
        }
        EXPECT_EQ(w.gs.rng.State(), ref.State());
        for (int i = 0; i < defenders; ++i)
            EXPECT_EQ(w.General(b[static_cast<std::size_t>(i)]).foot, 10 + i);
    }
}

// With no casualty budget the first soldier lost spends it: every later unit's share is cut
// below 0, so its jitter takes nothing and the line loses at most one soldier.
TEST(FieldBattle, VolleyPastTheBudgetTakesNothing) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        FieldWorld w(seed);
        w.gs.TeppouKouka[1] = 0;
        const int a = w.Add(0, 0, 0, 300, 300);
        std::vector<int> b;
        for (int i = 0; i < 19; ++i)
            b.push_back(w.Add(1, 1, 0, 100));
        CYasen y = w.Battle({a}, {});
        for (int g : b)
            y.generals[1][static_cast<std::size_t>(y.count[1]++)] = g;
        y.Setup();
        const int line = y.EnemyLine(0);
        const int before = y.GetLineTroops(1, line);
        y.FireTeppou(1, false);
        EXPECT_GE(y.GetLineTroops(1, line), before - 1);
    }
}

}  // namespace
}  // namespace rymd::test
