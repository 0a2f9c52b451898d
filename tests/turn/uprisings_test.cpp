#include "game/turn/uprisings.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

constexpr SuppressionPolicy kShowAll{};
constexpr SuppressionPolicy kAutoAdvance{true, false, false};

// ---------------------------------------------------------------------------------------------
// Ordering heirs

TEST(SortLargeAsExchange, LeavesExactlyTheExchangeSortsOrder) {
    Random random(7);
    for (int n : {0, 1, 2, 3, 5, 17, 100, 700}) {
        for (int range : {1, 2, 3, 11, 1000}) {
            CSortList list(n);
            std::vector<std::int32_t> ids(static_cast<std::size_t>(n));
            std::vector<std::int32_t> keys(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) {
                const int key = random.Below(range) - range / 3;
                list.Set(i, i, key);
                ids[static_cast<std::size_t>(i)] = i;
                keys[static_cast<std::size_t>(i)] = key;
            }
            list.SortLarge();
            SortLargeAsExchange(ids, keys);
            for (int i = 0; i < n; ++i) {
                ASSERT_EQ(ids[static_cast<std::size_t>(i)], list.Id(i))
                    << "n " << n << " range " << range << " at " << i;
                ASSERT_EQ(keys[static_cast<std::size_t>(i)], list.Key(i));
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Deaths by illness

struct ProbabilityCase {
    int year;
    int month;
    double p;
};

class ByoubotsuProbabilityTest : public ::testing::TestWithParam<ProbabilityCase> {};

TEST_P(ByoubotsuProbabilityTest, AroundTheYearOfDeath) {
    const ProbabilityCase& c = GetParam();
    EXPECT_DOUBLE_EQ(ByoubotsuProbability(c.year, c.month, 1560), c.p) << c.year << "/" << c.month;
}

INSTANTIATE_TEST_SUITE_P(Table, ByoubotsuProbabilityTest,
                         ::testing::Values(ProbabilityCase{1558, 12, 0.0}, ProbabilityCase{1559, 1, 1.0 / 36},
                                           ProbabilityCase{1559, 12, 1.0 / 25},
                                           ProbabilityCase{1560, 1, 1.0 / 24},
                                           ProbabilityCase{1560, 12, 1.0 / 13},
                                           ProbabilityCase{1561, 1, 1.0 / 12},
                                           ProbabilityCase{1561, 11, 1.0 / 2}, ProbabilityCase{1561, 12, 1.0},
                                           ProbabilityCase{1562, 1, 1.0}, ProbabilityCase{1600, 6, 1.0}));

// The first seed from `from` whose first draw is at most p.
std::uint32_t SeedDrawingAtMost(double p, std::uint32_t from = 1) {
    for (std::uint32_t seed = from;; ++seed) {
        Random r(seed);
        if (r.Unit() <= p) return seed;
    }
}

// Deaths among `seeds` runs of one general of the house, given the members of his house.
int DeathsOverSeeds(int birthYear, int deathYear, int members, int seeds, int house = 0) {
    TestWorld w({.castles = 1, .houses = 2});
    w.gs.nCurYear = 1560;
    w.gs.nCurMonth = 6;
    const int g = w.AddBushou(house, 0);
    w.gs.BushouTbl[g].birthYear = static_cast<std::int16_t>(birthYear);
    w.gs.BushouTbl[g].deathYear = static_cast<std::int16_t>(deathYear);
    for (int i = 1; i < members; ++i)
        w.gs.BushouTbl[w.AddBushou(house, 0)].deathYear = 1700;
    int deaths = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        w.gs.BushouTbl[g].daimyou = static_cast<std::int16_t>(house);
        w.gs.rng.Seed(static_cast<std::uint32_t>(seed));
        std::string report;
        ProcessByoubotsu(w.gs, report);
        deaths += w.gs.BushouTbl[g].daimyou == CBushou::kDaimyouRounin ? 1 : 0;
    }
    return deaths;
}

TEST(Byoubotsu, AGeneralAloneInHisHouseDiesOfIllnessOnlyFrom80) {
    EXPECT_EQ(DeathsOverSeeds(1500, 1550, 1, 200), 0);    // 60 years old, long past his year
    EXPECT_GT(DeathsOverSeeds(1480, 1550, 1, 200), 160);  // 80: 0.9 a month
    EXPECT_GT(DeathsOverSeeds(1500, 1550, 2, 200), 160);  // not alone
    EXPECT_EQ(DeathsOverSeeds(1500, 1600, 2, 200), 0);    // his time has not come
    EXPECT_EQ(DeathsOverSeeds(1500, 1550, 2, 200, CBushou::kDaimyouHitojichi), 0);  // no house count
}

struct InheritanceWorld : TestWorld {
    int dead, a, b, c;
    InheritanceWorld() : TestWorld({.castles = 1, .houses = 3}) {
        gs.nHeiUnit = 10;  // caps: 500 foot, 200 cavalry
        gs.nCurYear = 1570;
        dead = AddBushou(0, 0, {.name = "故人", .foot = 3000, .cavalry = 1000});
        gs.BushouTbl[dead].muskets = 800;
        gs.BushouTbl[dead].deathYear = 1560;
        gs.BushouTbl[dead].flags = CBushou::kFlagBesieging;
        a = Heir(0, 9, 100, 50, 0);
        b = Heir(0, 5, 480, 0, 0);
        c = Heir(0, 9, 500, 200, 0);
        gs.rng.Seed(SeedDrawingAtMost(0.9));
    }
    int Heir(int house, int valour, int foot, int cavalry, int muskets) {
        const int g = AddBushou(house, 0, {.foot = foot, .cavalry = cavalry});
        gs.BushouTbl[g].buyuu = static_cast<std::uint8_t>(valour);
        gs.BushouTbl[g].muskets = static_cast<std::int16_t>(muskets);
        return g;
    }
    void ExpectTroops(int g, int foot, int cavalry, int muskets) const {
        EXPECT_EQ(gs.BushouTbl[g].foot, foot) << g;
        EXPECT_EQ(gs.BushouTbl[g].cavalry, cavalry) << g;
        EXPECT_EQ(gs.BushouTbl[g].muskets, muskets) << g;
    }
};

TEST(Byoubotsu, TroopsPassToTheHouseBestInValourFirst) {
    InheritanceWorld w;
    std::string report = "old";
    ProcessByoubotsu(w.gs, report);
    EXPECT_EQ(report, "家0 の 故人 が病没しました\n");
    EXPECT_EQ(w.gs.BushouTbl[w.dead].daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(w.gs.BushouTbl[w.dead].flags & CBushou::kFlagBesieging, 0);
    // Order a, c (valour 9, in the exchange sort's order), then b.
    w.ExpectTroops(w.a, 500, 200, 500);
    w.ExpectTroops(w.c, 500, 200, 300);
    w.ExpectTroops(w.b, 500, 200, 0);
}

TEST(Byoubotsu, CaptivesAndHostagesTakeTheirTroopsWithThem) {
    struct Case {
        std::uint8_t status;
        const char* line;
    };
    for (const Case c : {Case{CBushou::kStatusHoryo, "家1の故人（家2捕虜）が病没しました\n"},
                         Case{CBushou::kStatusHitojichi, "家1の故人（家2人質）が病没しました\n"}}) {
        InheritanceWorld w;
        CBushou& d = w.gs.BushouTbl[w.dead];
        d.status = c.status;
        d.originDaimyou = 1;
        d.holderDaimyou = 2;
        std::string report;
        ProcessByoubotsu(w.gs, report);
        EXPECT_EQ(report, c.line);
        w.ExpectTroops(w.a, 100, 50, 0);
        w.ExpectTroops(w.b, 480, 0, 0);
    }
}

TEST(Byoubotsu, AVassalsGuestGeneralLeavesHisTroopsToTheMaster) {
    InheritanceWorld w;
    w.gs.DaimyouTbl[0].bond = CDaimyou::kBondShinjuu;
    w.gs.DaimyouTbl[0].masterDaimyou = 1;
    w.gs.BushouTbl[w.dead].status = CBushou::kStatusKyakushou;
    const int m = w.Heir(1, 1, 0, 0, 0);
    std::string report;
    ProcessByoubotsu(w.gs, report);
    EXPECT_EQ(report, "家0 の 故人 が病没しました\n");
    w.ExpectTroops(m, 500, 200, 500);
    w.ExpectTroops(w.a, 100, 50, 0);
}

// ---------------------------------------------------------------------------------------------
// Remnant uprisings

// House 1 has fallen; castle 0, once its own, belongs to the rich house 0 and stands empty.
struct ZantouWorld : TestWorld {
    explicit ZantouWorld(int support = -20000) : TestWorld({.castles = 3, .houses = 3}) {
        gs.ShiroTbl[0].kokudaka = 200000;
        gs.ShiroTbl[0].support = static_cast<std::int16_t>(support);
        gs.ShiroMapTbl[0].initDaimyou = 1;
        gs.DaimyouTbl[0].toushu = AddBushou(0, 2, {.name = "当主"});
        gs.DaimyouTbl[1].toushu = -1;
        gs.DaimyouTbl[1].bond = CDaimyou::kBondShinjuu;
        gs.DaimyouTbl[1].masterDaimyou = 2;
        gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelFusen);
        gs.DaimyouTbl[1].SetRelationLo(0, CDaimyou::kRelFusen);
        gs.nBushouEx = 100;
    }

    // Runs the uprisings once per seed from 1 on, the world put back after each run; the seeds
    // with an uprising (up to `want` of them).
    std::vector<std::uint32_t> SeedsWithUprising(int seeds, int want = 1 << 30) {
        const int n = gs.nBushou;
        std::vector<CDaimyou> houses(gs.DaimyouTbl.begin(), gs.DaimyouTbl.begin() + gs.nDaimyou);
        std::vector<std::uint32_t> found;
        for (int seed = 1; seed <= seeds && static_cast<int>(found.size()) < want; ++seed) {
            gs.rng.Seed(static_cast<std::uint32_t>(seed));
            ProcessZantouHouki(gs, map, ports, kAutoAdvance);
            if (gs.nBushou != n) found.push_back(static_cast<std::uint32_t>(seed));
            gs.nBushou = n;
            std::copy(houses.begin(), houses.end(), gs.DaimyouTbl.begin());
        }
        return found;
    }

    // A general of house 0 at castle 1 whose line is house 1.
    int LineMember(int rank, int foot = 10, int cavalry = 0, int daimyou = 0) {
        const int g = AddBushou(daimyou, 1, {.foot = foot, .cavalry = cavalry});
        const int id = g;
        gs.BushouTbl[g].id = static_cast<std::int16_t>(id);
        gs.BushouExTbl[id].daimyou = static_cast<std::int16_t>(0x8000 | 1);  // written in parentheses
        gs.BushouExTbl[id].successionRank = static_cast<std::int8_t>(rank);
        return g;
    }
};

TEST(Zantou, ChanceFollowsTheSupportOfTheCastle) {
    EXPECT_TRUE(ZantouWorld(900).SeedsWithUprising(1000).empty());
    const std::size_t atZero = ZantouWorld(0).SeedsWithUprising(3000).size();  // 0.00675 a month
    EXPECT_GE(atZero, 5u);
    EXPECT_LE(atZero, 45u);
    EXPECT_GE(ZantouWorld(-20000).SeedsWithUprising(300).size(), 20u);  // 0.157 a month
}

TEST(Zantou, WhoCanNeverRise) {
    {
        ZantouWorld w;  // still owns a castle
        w.Own(1, 1);
        EXPECT_TRUE(w.SeedsWithUprising(300).empty());
    }
    {
        ZantouWorld w;  // the castle is besieged
        w.Besiege(0, 2);
        EXPECT_TRUE(w.SeedsWithUprising(300).empty());
    }
    {
        ZantouWorld w;                               // the owner is not rich enough
        w.gs.ShiroTbl[0].kokudaka = 149999 - 20000;  // with castles 1 and 2: 149999
        EXPECT_TRUE(w.SeedsWithUprising(300).empty());
    }
    {
        ZantouWorld w;  // the castle is well defended
        w.gs.ShiroTbl[0].shubihei = 300;
        EXPECT_TRUE(w.SeedsWithUprising(300).empty());
    }
    {
        ZantouWorld w;  // risen twice already: practically never
        w.gs.DaimyouTbl[1].revivalCount = 2;
        EXPECT_TRUE(w.SeedsWithUprising(300).empty());
    }
    {
        ZantouWorld w;  // the general table is full
        w.gs.nBushou = GameState::kMaxBushou;
        const std::uint32_t before = w.gs.rng.State();
        ProcessZantouHouki(w.gs, w.map, w.ports, kShowAll);
        EXPECT_EQ(w.gs.nBushou, GameState::kMaxBushou);
        EXPECT_EQ(w.gs.rng.State(), before);
    }
}

TEST(Zantou, TheUprising) {
    // Defectors draw nothing: the seed found without them raises the same uprising with them.
    const auto seeds = ZantouWorld().SeedsWithUprising(300, 1);
    ASSERT_FALSE(seeds.empty());
    ZantouWorld w;
    const int d1 = w.LineMember(5, 10, 2);
    const int d2 = w.LineMember(2, 20, 0);
    w.LineMember(-1);                  // no rank
    const int head = w.LineMember(1);  // the head of house 0
    w.gs.DaimyouTbl[0].toushu = head;
    const int leader = w.LineMember(1);  // a corps leader
    w.AddGundan(0, leader);
    const int captive = w.LineMember(1);
    w.gs.BushouTbl[captive].status = CBushou::kStatusHoryo;
    const int free = w.LineMember(3, 30, 0, CBushou::kDaimyouFree);

    w.gs.nCurMonth = 9;
    w.gs.rng.Seed(seeds[0]);
    const int n = w.gs.nBushou;
    ProcessZantouHouki(w.gs, w.map, w.ports, kShowAll);
    ASSERT_EQ(w.gs.nBushou, n + 1);
    const CBushou& r = w.gs.BushouTbl[n];
    EXPECT_EQ(r.name, "家1残党");
    EXPECT_EQ(r.daimyou, 1);
    EXPECT_EQ(r.shiro, 0);
    EXPECT_EQ(r.sortieOrigin, 0);
    EXPECT_EQ(r.flags, CBushou::kFlagDeathType2 | CBushou::kFlagBesieging);
    EXPECT_EQ(r.id, -1);
    EXPECT_EQ(r.gundan, -1);
    EXPECT_EQ(r.buyuu + r.seiji + r.yashin + r.chuusei + r.chibou + r.yasenTousotsu + r.suigunTousotsu, 21);
    EXPECT_EQ(r.counter33 % 3, 0);
    EXPECT_LE(r.counter33, 60);
    EXPECT_EQ(r.counter35 % 3, 0);
    EXPECT_GE(r.birthYear, 1560 - 40);
    EXPECT_LE(r.birthYear, 1560 - 26);
    EXPECT_EQ(r.deathYear, r.birthYear + 60);
    EXPECT_GE(r.foot, 100);
    EXPECT_LE(r.foot, 299);
    EXPECT_EQ(r.cavalry, 0);
    EXPECT_EQ(r.moveShiro, -1);
    EXPECT_EQ(r.sortieShiro, -1);

    const CDaimyou& h = w.gs.DaimyouTbl[1];
    EXPECT_EQ(h.toushu, d2);  // the best in the succession
    EXPECT_EQ(h.revivalCount, 1);
    EXPECT_EQ(h.bond, CDaimyou::kBondDokuritsu);
    EXPECT_EQ(h.masterDaimyou, 1);
    EXPECT_EQ(h.GetRelationLo(0), CDaimyou::kRelNothing);
    EXPECT_EQ(w.gs.DaimyouTbl[0].GetRelationLo(1), CDaimyou::kRelNothing);
    // Funds up to the next September: 12 months of the rebels' troops.
    EXPECT_EQ(h.shikin, (r.foot + 10 + 3 * 2 + 20 + 30) * 12);

    for (int g : {d1, d2, free}) {
        const CBushou& b = w.gs.BushouTbl[g];
        EXPECT_EQ(b.daimyou, 1) << g;
        EXPECT_EQ(b.shiro, 0);
        EXPECT_EQ(b.gundan, -1);
        EXPECT_NE(b.flags & CBushou::kFlagBesieging, 0);
    }
    for (int g : {head, leader, captive})
        EXPECT_EQ(w.gs.BushouTbl[g].daimyou, 0) << g;
    const CShiro& left = w.gs.ShiroTbl[1];
    for (int i = 0; i < left.nBushou; ++i) {
        EXPECT_NE(left.bushou[static_cast<std::size_t>(i)], d1);
        EXPECT_NE(left.bushou[static_cast<std::size_t>(i)], d2);
    }

    EXPECT_EQ(w.Texts(PortCallKind::Inform),
              (std::vector<std::string>{"家1の残党が蜂起し、国0の城0を襲撃しています",
                                        "将" + std::to_string(d1) + "は家0を離反し、蜂起軍に合流しました",
                                        "将" + std::to_string(d2) + "は家0を離反し、蜂起軍に合流しました",
                                        "将" + std::to_string(free) + "は蜂起軍に合流しました"}));
}

TEST(Zantou, FundsLastUntilTheNextHarvestAndMessagesWaitForNoAutomaticAdvance) {
    ZantouWorld probe;
    const auto seeds = probe.SeedsWithUprising(300, 1);
    ASSERT_FALSE(seeds.empty());
    struct Case {
        int month;
        int months;
    };
    for (const Case c : {Case{9, 12}, Case{8, 1}, Case{1, 8}, Case{12, 9}}) {
        ZantouWorld w;
        w.gs.nCurMonth = c.month;
        w.gs.rng.Seed(seeds[0]);
        const int n = w.gs.nBushou;
        ProcessZantouHouki(w.gs, w.map, w.ports, kAutoAdvance);
        ASSERT_EQ(w.gs.nBushou, n + 1);
        EXPECT_EQ(w.gs.DaimyouTbl[1].shikin, w.gs.BushouTbl[n].foot * c.months) << c.month;
        EXPECT_TRUE(w.port.Calls().empty());
    }
}

TEST(Zantou, AtMostNineteenDefectors) {
    const auto seeds = ZantouWorld().SeedsWithUprising(300, 1);
    ASSERT_FALSE(seeds.empty());
    ZantouWorld w;
    std::vector<int> line;
    for (int i = 0; i < 25; ++i)
        line.push_back(w.LineMember(10 + i));
    w.gs.rng.Seed(seeds[0]);
    ProcessZantouHouki(w.gs, w.map, w.ports, kAutoAdvance);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(w.gs.BushouTbl[line[static_cast<std::size_t>(i)]].daimyou, i < 19 ? 1 : 0) << i;
    EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, line[0]);
}

TEST(Zantou, LeaderNameLimitIsTwentyBytesOfTheFileEncoding) {
    struct Case {
        const char* house;
        const char* leader;
    };
    for (const Case c :
         {Case{"一二三四五六七八", "一二三四五六七八残党"}, Case{"一二三四五六七八A", "残党"}}) {
        ZantouWorld w;
        w.gs.DaimyouTbl[1].name = c.house;
        const auto seeds = w.SeedsWithUprising(300, 1);
        ASSERT_FALSE(seeds.empty());
        w.gs.rng.Seed(seeds[0]);
        const int n = w.gs.nBushou;
        ProcessZantouHouki(w.gs, w.map, w.ports, kAutoAdvance);
        ASSERT_EQ(w.gs.nBushou, n + 1);
        EXPECT_EQ(w.gs.BushouTbl[n].name, c.leader);
    }
}

TEST(Zantou, TheGeneralTableLimitHoldsForEveryUprising) {
    // Two fallen houses, each with a former castle that may rise.
    auto make = [] {
        auto w = std::make_unique<ZantouWorld>();
        w->gs.ShiroTbl[1].support = -20000;
        w->gs.ShiroMapTbl[1].initDaimyou = 2;
        w->gs.DaimyouTbl[2].toushu = -1;
        return w;
    };
    auto probe = make();
    const int n = probe->gs.nBushou;
    std::uint32_t both = 0;
    {
        std::vector<CDaimyou> houses(probe->gs.DaimyouTbl.begin(),
                                     probe->gs.DaimyouTbl.begin() + probe->gs.nDaimyou);
        for (std::uint32_t seed = 1; seed <= 5000 && both == 0; ++seed) {
            probe->gs.rng.Seed(seed);
            ProcessZantouHouki(probe->gs, probe->map, probe->ports, kAutoAdvance);
            if (probe->gs.nBushou == n + 2) both = seed;
            probe->gs.nBushou = n;
            std::copy(houses.begin(), houses.end(), probe->gs.DaimyouTbl.begin());
        }
    }
    ASSERT_NE(both, 0u);
    auto w = make();
    w->gs.nBushou = GameState::kMaxBushou - 1;
    w->gs.rng.Seed(both);
    ProcessZantouHouki(w->gs, w->map, w->ports, kAutoAdvance);
    EXPECT_EQ(w->gs.nBushou, GameState::kMaxBushou);
    const int risen = (w->gs.DaimyouTbl[1].toushu != -1 ? 1 : 0) + (w->gs.DaimyouTbl[2].toushu != -1 ? 1 : 0);
    EXPECT_EQ(risen, 1);
}

}  // namespace
}  // namespace rymd
