#include "game/ai/cpu_gaikou.h"

#include <gtest/gtest.h>

#include "game/state/invariants.h"
#include "support/test_world.h"

namespace rymd {
namespace {

// House 0 holds castles 0 and 1 with money to spare; house 1 holds castle 2, linked to castle 1.
// With a second neighbour, house 2 holds castle 3, linked to castle 0. The neighbours are of
// people kind 0, who accept any alliance offered. No pair has a countdown; the player's house
// is 3, which holds nothing.
struct GaikouWorld : test::TestWorld {
    CCpuGaikou gaikou{GameContext{gs, map, ports}};

    explicit GaikouWorld(bool secondNeighbour) : TestWorld({.castles = 4, .houses = 4}) {
        Own(2, 1);
        Link(1, 2);
        if (secondNeighbour) {
            Own(3, 2);
            Link(0, 3);
        } else {
            Own(3, 0);
        }
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y)
                gs.DaimyouTbl[x].SetRelationHi(y, 0);
        gs.DaimyouTbl[1].kindByte = CDaimyou::kKindAinu;
        gs.DaimyouTbl[2].kindByte = CDaimyou::kKindAinu;
        gs.DaimyouTbl[0].shikin = 100000;
        gs.nPlayerDaimyou = 3;
    }
    int Rel(int x, int y) const { return gs.DaimyouTbl[x].GetRelationLo(y); }
};

TEST(CpuGaikou, IndependentHouseWithASingleHostileNeighbourNeverProposesAnAlliance) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        GaikouWorld w(false);
        w.gs.rng.Seed(seed);
        w.gaikou.Run(0);
        EXPECT_EQ(w.Rel(0, 1), CDaimyou::kRelNothing);
        EXPECT_EQ(w.gaikou.messageText, "");
    }
    // With two hostile neighbours that weigh enough, an alliance is made and reported, and trade
    // begins with a neighbour of people kind 0.
    GaikouWorld w(true);
    w.gaikou.Run(0);
    const bool with1 = w.Rel(0, 1) == CDaimyou::kRelFusen;
    const bool with2 = w.Rel(0, 2) == CDaimyou::kRelFusen;
    EXPECT_TRUE(with1 != with2);
    const std::string partner = with1 ? "家1" : "家2";
    EXPECT_EQ(w.gaikou.messageText,
              "家0と" + partner + "は不戦同盟を結びました\n" + partner + "は家0との交易を開始しました\n");
}

TEST(CpuGaikou, PlayerIsAskedAboutAnAlliance) {
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        GaikouWorld w(true);
        w.gs.nPlayerDaimyou = 1;
        w.gs.DaimyouTbl[2].kindByte = CDaimyou::kKindNormal;
        w.gs.ShiroTbl[2].kokudaka = 100000;  // the player's house comes first
        if (yes) {
            w.port.PushYes();
        } else {
            w.port.PushNo();
        }
        w.gaikou.Run(0);
        const std::vector<std::string> asked = w.Texts(PortCallKind::AskYesNo);
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(
            asked[0],
            "家0から同盟交渉の使者が来ました。不戦同盟を結びますか？\n家0情報 :   石高 2万0000石   城数 2");
        EXPECT_EQ(w.Rel(0, 1) == CDaimyou::kRelFusen, yes);
        if (yes) {
            EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 100000 - 10000);
        }
    }
}

TEST(CpuGaikou, SubordinateOfThePlayerDeclaresIndependence) {
    // House 1 serves the player's house 0, whose only neighbour, house 2, is a hundred times
    // larger and falling upon it: house 1 has little to fear from its master and breaks away
    // about half the time. The player is told, unless the game advances by itself.
    for (bool autoAdvance : {false, true}) {
        SCOPED_TRACE(autoAdvance);
        bool declared = false;
        for (std::uint32_t seed = 1; seed <= 20 && !declared; ++seed) {
            test::TestWorld w({.castles = 3, .houses = 3});
            w.Own(1, 1);
            w.Own(2, 2);
            w.Link(0, 1);
            w.Link(0, 2);
            w.gs.ShiroTbl[0].kokudaka = w.gs.ShiroTbl[1].kokudaka = 1000;
            w.gs.ShiroTbl[2].kokudaka = 1000000;
            w.gs.DaimyouTbl[0].strengthTrend = 255;  // falling
            w.MakeSubordinate(1, 0);
            w.gs.DaimyouTbl[1].SetRelationLo(0, CDaimyou::kRelJuuzoku);
            w.gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelJuuzokuMaster);
            w.gs.nPlayerDaimyou = 0;
            w.gs.bAutoAdvance = autoAdvance;
            w.gs.rng.Seed(seed);
            CCpuGaikou gaikou{GameContext{w.gs, w.map, w.ports}};
            gaikou.Run(1);
            if (w.gs.DaimyouTbl[1].bond == CDaimyou::kBondJuuzoku) {
                EXPECT_EQ(gaikou.messageText, "");
                continue;
            }
            declared = true;
            EXPECT_EQ(w.gs.DaimyouTbl[1].bond, CDaimyou::kBondDokuritsu);
            EXPECT_EQ(gaikou.messageText, "家1は家0から独立しました\n");
            const std::vector<std::string> told = autoAdvance
                                                      ? std::vector<std::string>{}
                                                      : std::vector<std::string>{"家1は家0から独立しました"};
            EXPECT_EQ(w.Informs(), told);
        }
        EXPECT_TRUE(declared);
    }
}

// House 1 serves house 0 and borders it (castle 1 - castle 0) and house 2 (castle 1 - castle 2),
// which is ten times larger than house 0 and hostile to it. Neither larger house has an enemy
// but house 1, so house 1's fear of each is 1 - its strength trend's factor: below 0 for both.
// House 1 changes master only when it has less to fear from house 2, which the values tell
// apart only as long as they are not cut at 0.
TEST(CpuGaikou, SubordinateChangesMasterByFearsBelowZero) {
    struct Case {
        const char* name;
        std::uint8_t masterTrend;
        std::uint8_t candidateTrend;
        bool changes;
    };
    const Case cases[] = {
        {"the candidate rises: -1 below -0.3", 0, 1, true},
        {"both level: -0.3 is not below -0.3", 0, 0, false},
        {"the master rises", 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestWorld w({.castles = 3, .houses = 3});
        w.Own(1, 1);
        w.Own(2, 2);
        w.Link(0, 1);
        w.Link(1, 2);
        w.gs.ShiroTbl[1].kokudaka = 1000;
        ShiroMapAt(w.gs, 2).maxKokudaka = 100000;
        w.gs.ShiroTbl[2].kokudaka = 100000;
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 3; ++y)
                w.gs.DaimyouTbl[x].SetRelationHi(y, 0);
        w.MakeSubordinate(1, 0);
        w.gs.DaimyouTbl[1].SetRelationLo(0, CDaimyou::kRelJuuzoku);
        w.gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelJuuzokuMaster);
        w.gs.DaimyouTbl[0].strengthTrend = c.masterTrend;
        w.gs.DaimyouTbl[2].strengthTrend = c.candidateTrend;
        w.gs.nPlayerDaimyou = 3;  // nobody's
        CCpuGaikou gaikou{GameContext{w.gs, w.map, w.ports}};
        gaikou.Run(1);
        EXPECT_EQ(w.gs.DaimyouTbl[1].bond, CDaimyou::kBondJuuzoku);
        EXPECT_EQ(w.gs.DaimyouTbl[1].masterDaimyou, c.changes ? 2 : 0);
        EXPECT_EQ(gaikou.messageText, c.changes ? "家1は主家を家0から家2に鞍替えしました\n" : "");
        EXPECT_EQ(FindBrokenInvariant(w.gs), std::nullopt);
    }
}

TEST(CpuGaikou, OddHousesDoNoHarm) {
    struct Case {
        const char* name;
        void (*setUp)(GaikouWorld&);
    };
    const Case cases[] = {
        {"no castles",
         [](GaikouWorld& w) {
             for (int c = 0; c < 4; ++c)
                 w.Own(c, 1);
         }},
        {"no funds", [](GaikouWorld& w) { w.gs.DaimyouTbl[0].shikin = -5000; }},
        {"head held captive", [](GaikouWorld& w) { w.gs.DaimyouTbl[0].toushu = -2; }},
        {"no rice anywhere",
         [](GaikouWorld& w) {
             for (int c = 0; c < 4; ++c)
                 w.gs.ShiroTbl[c].kokudaka = 0;
         }},
        {"a vassal without castles",
         [](GaikouWorld& w) {
             w.MakeVassal(0, 1);
             w.gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelShinjuu);
             w.gs.DaimyouTbl[1].SetRelationLo(0, CDaimyou::kRelShinjuuMaster);
             for (int c = 0; c < 4; ++c)
                 w.Own(c, 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GaikouWorld w(true);
        c.setUp(w);
        for (int d = 0; d < 3; ++d)
            w.gaikou.Run(d);
        EXPECT_EQ(FindBrokenInvariant(w.gs), std::nullopt);
    }
}

}  // namespace
}  // namespace rymd
