#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "game/military/siege.h"
#include "game/state/queries.h"
#include "military/battle_world.h"

namespace rymd::test {
namespace {

// Castle 0 of house 0 besieged by house 1; castle 1 belongs to house 1.
struct SiegeWorld : BattleWorld {
    SiegeWorld(std::uint32_t seed = 1) : BattleWorld(3, 2, seed) { Own(1, 1); }
    CKoujousen Siege() {
        CKoujousen k(gs);
        k.castle = 0;
        k.besiegingHouse = 1;
        k.Prepare();
        return k;
    }
};

TEST(Siege, CastleOfMaximumSizeZeroFallsAtTheFirstTurn) {
    SiegeWorld w;
    w.Map(0).maxKibo = 0;
    w.Castle(0).kibo = 0;
    w.Add(0, 0, 100, 100);
    w.AddBesieger(1, 0, 0, 1);
    CKoujousen k = w.Siege();
    EXPECT_EQ(k.RunAutoSiege(), kSiegeFallen);
}

TEST(Siege, SizeZeroEstimateFallsInOneMonthOnlyWhenTheAttackersAreAtLeastAsStrong) {
    SiegeWorld w;
    w.Castle(0).kibo = 0;
    w.Castle(0).shubihei = 30;
    const std::array<int, 1> atk{w.Add(1, 1, 0, 30)};
    EXPECT_EQ(SimulateKoujousen(w.gs, false, 1, 0, atk, {}), 1);
    w.Castle(0).shubihei = 31;
    EXPECT_EQ(SimulateKoujousen(w.gs, false, 1, 0, atk, {}), 10000);
}

struct RouteCase {
    int kind;  // link kind to the besiegers' castle; -1 no linked castle
    bool blockade;
    int expected;
};

class AssaultLimit : public ::testing::TestWithParam<RouteCase> {};

// On a waterway nobody blockades, the besiegers assault every turn up to the month's limit.
TEST_P(AssaultLimit, FollowsTheSupplyRoute) {
    const RouteCase c = GetParam();
    SiegeWorld w;
    w.Waterway(0);
    w.Map(0).maxKibo = 10;
    w.Castle(0).kibo = 10;
    w.Castle(0).shubihei = 5000;
    if (c.kind >= 0) w.Link(0, 1, c.kind);
    if (c.blockade) w.Fleet(1, 0, 10, true);
    w.AddBesieger(1, 0, 0, 10);
    CKoujousen k = w.Siege();
    EXPECT_EQ(k.GetMaxAssaults(), c.expected);
    int assaults = 0;
    for (int turn = 0; turn < CKoujousen::kTurnsPerMonth; ++turn) {
        const bool a = k.DecideAssault();
        assaults += a;
        k.ExecuteTurn(a);
    }
    EXPECT_EQ(assaults, c.blockade ? assaults : std::min(c.expected, 5));
    EXPECT_EQ(k.assaultsThisMonth, assaults);
    EXPECT_LE(assaults, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Routes, AssaultLimit,
                         ::testing::Values(RouteCase{0, false, 4}, RouteCase{1, false, 3},
                                           RouteCase{2, false, 2}, RouteCase{3, true, 5},
                                           RouteCase{-1, false, 2}));

TEST(Siege, SeaLinkWinsAtOnceOnlyForTheBlockadingHouse) {
    SiegeWorld w;
    w.gs.nShiro = 3;
    w.Own(2, 1);
    w.Link(0, 1, 3);
    w.Link(0, 2, 0);
    w.AddBesieger(1, 0, 0, 10);
    EXPECT_EQ(w.Siege().routeKind, 0);  // broad road beats an unblockaded sea lane
    w.Fleet(1, 0, 5, true);
    CKoujousen k = w.Siege();
    EXPECT_EQ(k.routeKind, 3);
    EXPECT_EQ(k.supplyCastle, 1);
}

TEST(Siege, AssaultGainIsCappedBothWays) {
    SiegeWorld w;
    std::array<SiegeTroops, 1> atk{SiegeTroops{0, 100, 0}};
    int garrison = 0;
    int damage = 7;
    CKoujousen::AssaultCasualties(w.gs, atk, {}, garrison, damage);
    EXPECT_EQ(damage, 10007);  // an assault on nothing

    std::array<SiegeTroops, 1> weak{SiegeTroops{0, 1, 0}};
    garrison = 100000;
    damage = 0;
    CKoujousen::AssaultCasualties(w.gs, weak, {}, garrison, damage);
    EXPECT_EQ(damage, 1);  // a far stronger garrison
}

// The assault as the rule states it, each draw taken on its own where it is used: what the
// assault must give, troop for troop and draw for draw.
void PlainAssault(Random& rng, std::span<SiegeTroops> atk, std::span<SiegeTroops> def, int& garrison,
                  int& damage) {
    long long attack = 0;
    long long defence = garrison;
    for (const SiegeTroops& t : atk)
        attack += t.foot + t.cavalry;
    for (const SiegeTroops& t : def)
        defence += t.foot + t.cavalry;
    const double a = static_cast<double>(attack);
    const double d = static_cast<double>(defence);
    const double ratio = d > 0.0 ? a / d : a > 0.0 ? 10000.0 : 1.0;
    const double j = (rng.Unit() - 0.5) / 2.0;
    const double gain = std::clamp(2.0 * (ratio - 1.0) + 2.0 * (ratio - 1.0) * j, 1.0, 10000.0);
    damage = static_cast<int>(std::min<long long>(damage + static_cast<long long>(gain), 1000000000LL));
    long long lost = 0;
    auto cut = [&](int& count, double factor) {
        const int after = std::max(0, Round(count * factor));
        lost += count - after;
        count = after;
    };
    for (SiegeTroops& t : def) {
        cut(t.foot, rng.Unit() * 0.08 + 0.92);
        cut(t.cavalry, rng.Unit() * 0.08 + 0.92);
        t.muskets = std::min(t.muskets, t.foot);
    }
    cut(garrison, rng.Unit() * 0.08 + 0.92);
    if (lost == 0) lost = 1;
    const double m = a > 0.0 ? std::max(0.0, (a - 2.0 * static_cast<double>(lost)) / a) : 0.0;
    for (SiegeTroops& t : atk) {
        t.foot = std::max(0, Round(t.foot * std::min(1.0, (rng.Unit() * 0.04 + 0.98) * m)));
        t.cavalry = std::max(0, Round(t.cavalry * std::min(1.0, (rng.Unit() * 0.04 + 0.98) * m)));
        t.muskets = std::min(t.muskets, t.foot);
    }
}

// The troops of a side as (cavalry, foot, muskets) triples, for comparing.
std::vector<std::array<int, 3>> Triples(const std::array<SiegeTroops, 20>& side) {
    std::vector<std::array<int, 3>> out;
    for (const SiegeTroops& t : side)
        out.push_back({t.cavalry, t.foot, t.muskets});
    return out;
}

TEST(Siege, AnAssaultGivesWhatThePlainRuleGivesDrawForDraw) {
    struct Case {
        int attackers;
        int defenders;
        int scale;  // troops of a general up to this many
        int garrison;
    };
    const Case cases[] = {{1, 0, 100, 0},   {20, 20, 5000, 3000}, {7, 3, 30000, 100},   {20, 0, 1000, 50000},
                          {0, 5, 2000, 10}, {3, 20, 10, 0},       {12, 1, 32000, 32000}};
    for (const Case& c : cases) {
        for (std::uint32_t seed = 1; seed <= 40; ++seed) {
            SCOPED_TRACE(testing::Message()
                         << c.attackers << " attackers, " << c.defenders << " defenders, seed " << seed);
            SiegeWorld w(seed);
            Random troops(seed * 7919u);
            std::array<SiegeTroops, 20> atk{};
            std::array<SiegeTroops, 20> def{};
            for (auto* side : {&atk, &def})
                for (SiegeTroops& t : *side) {
                    t.cavalry = troops.Below(c.scale + 1);
                    t.foot = troops.Below(c.scale + 1);
                    t.muskets = troops.Below(t.foot + 1);
                }
            std::array<SiegeTroops, 20> plainAtk = atk;
            std::array<SiegeTroops, 20> plainDef = def;
            Random plain = w.gs.rng;
            int garrison = c.garrison;
            int plainGarrison = c.garrison;
            int damage = static_cast<int>(seed) * 13;
            int plainDamage = damage;
            const auto n = [](int count) { return static_cast<std::size_t>(count); };
            // Several assaults in a row, as a siege month and the estimates play them.
            for (int round = 0; round < 6; ++round) {
                CKoujousen::AssaultCasualties(w.gs, std::span(atk.data(), n(c.attackers)),
                                              std::span(def.data(), n(c.defenders)), garrison, damage);
                PlainAssault(plain, std::span(plainAtk.data(), n(c.attackers)),
                             std::span(plainDef.data(), n(c.defenders)), plainGarrison, plainDamage);
            }
            EXPECT_EQ(damage, plainDamage);
            EXPECT_EQ(garrison, plainGarrison);
            EXPECT_EQ(Triples(atk), Triples(plainAtk));
            EXPECT_EQ(Triples(def), Triples(plainDef));
            EXPECT_EQ(w.gs.rng.State(), plain.State());
        }
    }
}

TEST(Siege, AssaultWithoutAttackingTroopsLosesNothingAndStaysFinite) {
    SiegeWorld w;
    std::array<SiegeTroops, 2> atk{};
    std::array<SiegeTroops, 1> def{SiegeTroops{10, 50, 20}};
    int garrison = 40;
    int damage = 0;
    CKoujousen::AssaultCasualties(w.gs, atk, def, garrison, damage);
    EXPECT_EQ(damage, 1);
    EXPECT_EQ(atk[0].foot + atk[0].cavalry + atk[1].foot, 0);
    EXPECT_LE(def[0].muskets, def[0].foot);
}

TEST(Siege, CounterFireNeverLeavesNegativeDamage) {
    SiegeWorld w;
    std::array<SiegeTroops, 1> def{SiegeTroops{0, 10, 10}};
    int damage = 50;
    EXPECT_TRUE(CKoujousen::CalcMusketCounterFire(w.gs, {}, def, damage));  // no attacking troops: 10000
    EXPECT_EQ(damage, 0);
    EXPECT_FALSE(CKoujousen::CalcMusketCounterFire(w.gs, {}, def, damage));  // nothing left to undo
    std::array<SiegeTroops, 1> atk{SiegeTroops{0, 1000, 0}};
    for (std::uint32_t seed = 1; seed < 50; ++seed) {
        w.gs.rng.Seed(seed);
        damage = 3;
        CKoujousen::CalcMusketCounterFire(w.gs, atk, def, damage);
        EXPECT_GE(damage, 0);
    }
    std::array<SiegeTroops, 1> noMuskets{SiegeTroops{0, 10, 0}};
    damage = 50;
    EXPECT_FALSE(CKoujousen::CalcMusketCounterFire(w.gs, atk, noMuskets, damage));
    EXPECT_EQ(damage, 50);
}

TEST(Siege, CounterFireThatUndoesTheDamageMeansTheCastleNeverFalls) {
    SiegeWorld w;
    w.Map(0).maxKibo = 10;
    w.Castle(0).kibo = 10;
    w.Castle(0).siegeValue = 500;
    w.Castle(0).shubihei = 10000;
    const std::array<int, 1> def{w.Add(0, 0, 0, 1000, 1000)};
    const std::array<int, 1> atk{w.Add(1, 1, 0, 10)};
    EXPECT_EQ(SimulateKoujousen(w.gs, false, 1, 0, atk, def), 10000);
}

TEST(Siege, EstimateChangesNoGeneral) {
    SiegeWorld w;
    const int d = w.Add(0, 0, 10, 100, 5);
    const int a = w.AddBesieger(1, 0, 20, 300);
    const std::int16_t garrison = w.Castle(0).shubihei = 50;
    bool byAssault = false;
    const int months = EstimateKoujousen(w.gs, -1, 0, nullptr, nullptr, 0, &byAssault);
    EXPECT_GE(months, 1);
    EXPECT_EQ(w.General(d).foot, 100);
    EXPECT_EQ(w.General(a).foot, 300);
    EXPECT_EQ(w.Castle(0).shubihei, garrison);
    EXPECT_EQ(w.Castle(0).siegeValue, 0);
}

TEST(Siege, UnblockadedWaterwayIsTakenByAssaultWhateverItsProvisions) {
    SiegeWorld w;
    w.Waterway(0);
    w.Castle(0).hyourou = 0;
    w.Add(0, 0, 0, 1000);
    w.AddBesieger(1, 0, 0, 10);
    bool byAssault = false;
    EstimateKoujousen(w.gs, -1, 0, nullptr, nullptr, 0, &byAssault);
    EXPECT_TRUE(byAssault);
    // Blockaded, the empty store decides.
    const int months = EstimateKoujousen(w.gs, -1, 0, nullptr, nullptr, 1, &byAssault);
    EXPECT_FALSE(byAssault);
    EXPECT_EQ(months, 1);
}

TEST(Siege, StratagemsNeedTheSettingPointsRestAndBetterIntellect) {
    SiegeWorld w;
    const int d = w.Add(0, 0, 0, 100);
    w.General(d).chibou = 5;
    const int a = w.AddBesieger(1, 0, 0, 100);
    CBushou& actor = w.General(a);
    actor.chibou = 6;
    actor.counter33 = 80;
    bool done = false;

    w.gs.bKeiryaku = false;
    CKoujousen k = w.Siege();
    EXPECT_EQ(k.RunKeiryaku(false, false, done, 1), 0);
    EXPECT_FALSE(done);
    EXPECT_EQ(actor.counter33, 80);

    w.gs.bKeiryaku = true;
    actor.counter33 = 79;
    k.RunKeiryaku(false, false, done, 1);
    EXPECT_FALSE(done);
    actor.counter33 = 80;
    actor.chibou = 5;  // equal intellect is not enough
    k.RunKeiryaku(false, false, done, 1);
    EXPECT_FALSE(done);

    actor.chibou = 6;
    std::string log;
    k.log = &log;
    const std::uint32_t before = w.Castle(0).hyourou;
    k.RunKeiryaku(false, true, done, 2);
    EXPECT_TRUE(done);
    EXPECT_EQ(actor.counter33, 0);
    EXPECT_GE(actor.counter34, 1);
    EXPECT_LT(w.Castle(0).hyourou, before);
    EXPECT_NE(log.find("ターン2【攻略軍の兵糧倉焼き討ち】家1 の 武将1"), std::string::npos);
}

TEST(Siege, BurningTheLastProvisionsEndsTheSiegeAtOnce) {
    SiegeWorld w;
    w.Castle(0).hyourou = 10;
    w.Add(0, 0, 0, 100);
    const int a = w.AddBesieger(1, 0, 0, 100);
    w.General(a).chibou = 9;
    w.General(a).counter33 = 200;
    CKoujousen k = w.Siege();
    bool done = false;
    EXPECT_EQ(k.RunKeiryaku(false, false, done, 1), kSiegeStarved);
    EXPECT_EQ(w.Castle(0).hyourou, 0u);
}

TEST(Siege, NoNavalChallengeWithoutWaterwayOrShips) {
    SiegeWorld w;
    w.Add(0, 0, 0, 100);
    w.AddBesieger(1, 0, 0, 20000);  // too many to embark on ten ships
    EXPECT_FALSE(w.Siege().DecideNavalBattle());
    w.Waterway(0);
    w.Fleet(0, 0, 10, false);
    EXPECT_FALSE(w.Siege().DecideNavalBattle());  // nobody blockades
    w.Fleet(1, 0, 10, true);
    CKoujousen k = w.Siege();
    k.navalBattleDone = true;
    EXPECT_FALSE(k.DecideNavalBattle());
    k.navalBattleDone = false;
    EXPECT_TRUE(k.DecideNavalBattle());  // nobody of the besiegers fits on their ships
}

TEST(Siege, OddStatesNeverCrash) {
    SiegeWorld w;
    w.Castle(0).nBushou = 1;
    w.Castle(0).bushou[0] = 29999;  // a list entry naming nobody
    w.Castle(0).nBesieger = 1;
    w.Castle(0).besieger[0] = -5;
    CKoujousen k = w.Siege();
    EXPECT_EQ(k.defenderCount, 0);
    for (int t = 0; t < 3; ++t)
        k.RunAutoSiege();
    CKoujousen none(w.gs);
    none.castle = 77;
    none.Prepare();
    EXPECT_EQ(none.RunAutoSiege(), kSiegeHolds);
    EXPECT_EQ(EstimateKoujousen(w.gs, -1, -3, nullptr, nullptr, 0, nullptr), 10000);
}

}  // namespace
}  // namespace rymd::test
