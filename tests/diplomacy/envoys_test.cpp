#include "game/diplomacy/envoys.h"

#include <gtest/gtest.h>

#include "game/state/vocabulary.h"
#include "platform/core/encoding.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Houses 0, 1, 2 hold castles 0, 1, 2 with their heads, linked in a row (0-1-2); every pair has no
// relation and no countdown. The player's house is 2 unless a test says otherwise.
struct EnvoyWorld : TestWorld {
    EnvoyWorld() : TestWorld({.houses = 3, .headsInCastles = true}) {
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 3; ++y)
                gs.DaimyouTbl[x].SetRelationHi(y, 0);
        gs.nPlayerDaimyou = 2;
    }
    CDaimyou& House(int d) { return gs.DaimyouTbl[static_cast<std::size_t>(d)]; }
};

TEST(Envoys, SubordinationDemandWithoutLinkOrToABoundHouseIsRefusedBeforeAnyDraw) {
    struct Case {
        const char* name;
        void (*setUp)(EnvoyWorld&);
    };
    const Case cases[] = {
        {"no link between the houses",
         [](EnvoyWorld& w) {
             w.gs.ShiroMapTbl[0].ClearConnections();
             w.gs.ShiroMapTbl[1].ClearConnections();
         }},
        {"the target serves another house", [](EnvoyWorld& w) { w.MakeSubordinate(1, 2); }},
        {"the target is a vassal", [](EnvoyWorld& w) { w.MakeVassal(1, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnvoyWorld w;
        c.setUp(w);
        const std::uint32_t before = w.gs.rng.State();
        EXPECT_FALSE(SendJuuzokuYoukyuuShisha(w.gs, w.ports, 0, 1));
        EXPECT_EQ(w.gs.rng.State(), before);
        EXPECT_NE(w.House(1).GetRelationLo(0), CDaimyou::kRelJuuzoku);
    }
    // With the link the demand is weighed, which draws.
    EnvoyWorld w;
    const std::uint32_t before = w.gs.rng.State();
    SendJuuzokuYoukyuuShisha(w.gs, w.ports, 0, 1);
    EXPECT_NE(w.gs.rng.State(), before);
}

TEST(Envoys, VassalageDemandOnlyToTheDemandersOwnSubordinate) {
    EnvoyWorld w;
    w.MakeSubordinate(1, 2);
    const std::uint32_t before = w.gs.rng.State();
    EXPECT_FALSE(SendShinjuuYoukyuuShisha(w.gs, w.ports, 0, 1));
    EXPECT_EQ(w.gs.rng.State(), before);
}

TEST(Envoys, ComputerReceiverRefusesWhileItsCountdownAboutTheSenderRuns) {
    for (int countdown : {0, 1, 7, 14, 15}) {
        SCOPED_TRACE(countdown);
        EnvoyWorld w;
        w.gs.ShiroTbl[0].kokudaka = 20000;  // too large for a hostage to be asked
        w.House(1).SetRelationHi(0, countdown);
        const std::uint32_t before = w.gs.rng.State();
        const bool accepted = SendJuuzokuShiganShisha(w.gs, w.ports, 1, 0);
        EXPECT_EQ(accepted, countdown == 0);
        if (countdown != 0) {
            EXPECT_EQ(w.gs.rng.State(), before);
            EXPECT_EQ(w.House(0).bond, CDaimyou::kBondDokuritsu);
        } else {
            EXPECT_EQ(w.House(0).bond, CDaimyou::kBondJuuzoku);
            EXPECT_EQ(w.House(0).masterDaimyou, 1);
            EXPECT_EQ(w.House(0).GetRelationLo(1), CDaimyou::kRelJuuzoku);
        }
    }
}

TEST(Envoys, ReceiverRefusesWhenTheApplicantsLastCastleIsAboutToFall) {
    // Castle 0, house 0's only castle, is besieged by house 1 with an overwhelming army and no
    // defenders: the siege estimate is a month at most.
    EnvoyWorld w;
    w.gs.ShiroTbl[0].nBushou = 0;
    w.gs.ShiroTbl[0].shubihei = 0;
    w.gs.BushouTbl[0].shiro = -1;
    w.Besiege(0, 1, {.foot = 5000, .cavalry = 2000});
    EXPECT_FALSE(SendShinjuuShiganShisha(w.gs, w.ports, 1, 0));
    EXPECT_EQ(w.House(0).bond, CDaimyou::kBondDokuritsu);
}

// The player's house receives the envoys: the question and its answer go through the ports. The
// automatic advance asks too and keeps the player's answer; only the all-automatic run, which has
// no player to ask, takes the safe answer.
TEST(Envoys, PlayerAnswersASubordinationDemand) {
    struct Case {
        const char* name;
        int answer;  // 0 no, 1 yes, -1 nobody is asked
        bool autoAdvance;
        bool allAutomatic;
    };
    for (const Case& c : {Case{"refused", 0, false, false}, Case{"accepted", 1, false, false},
                          Case{"refused during the automatic advance", 0, true, false},
                          Case{"accepted during the automatic advance", 1, true, false},
                          Case{"all-automatic run", -1, true, true}}) {
        SCOPED_TRACE(c.name);
        EnvoyWorld w;
        w.gs.nPlayerDaimyou = 1;
        if (c.answer == 0) w.port.PushNo();
        if (c.answer == 1) w.port.PushYes();
        w.gs.bAutoAdvance = c.autoAdvance;
        w.gs.bAllAutomatic = c.allAutomatic;
        const bool accepted = SendJuuzokuYoukyuuShisha(w.gs, w.ports, 0, 1);
        EXPECT_EQ(accepted, c.answer != 0);
        EXPECT_EQ(w.House(1).bond, c.answer != 0 ? CDaimyou::kBondJuuzoku : CDaimyou::kBondDokuritsu);
        const std::vector<std::string> asked = w.Texts(PortCallKind::AskYesNo);
        if (c.answer < 0) {
            EXPECT_TRUE(asked.empty());
        } else {
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0],
                      "家0から従属要求の使者が来ました。従属しますか？\n家0情報 :   石高 1万0000石   城数 1");
        }
        EXPECT_EQ(w.port.PendingAnswers(), 0u);
    }
}

TEST(Envoys, PlayerAcceptsAnApplicationAndDemandsAHostage) {
    EnvoyWorld w;
    w.gs.nPlayerDaimyou = 1;
    w.port.PushChoice(1);  // accept and demand a hostage
    ASSERT_TRUE(SendJuuzokuShiganShisha(w.gs, w.ports, 1, 0));
    const std::vector<PortCall> choices = w.port.CallsOf(PortCallKind::AskChoice);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].text,
              "家0が当家に従属を申し出ました。受け入れますか？\n家0情報 :   石高 1万0000石   城数 1");
    EXPECT_EQ(choices[0].details, ShishaApplicationChoices());

    // House 0 has no heir waiting: a made-up heir of 1 to 13 years goes to house 1.
    const int g = w.gs.nBushou - 1;
    const CBushou& b = w.gs.BushouTbl[g];
    EXPECT_EQ(b.name, "家0世嗣");
    EXPECT_EQ(b.status, CBushou::kStatusHitojichi);
    EXPECT_EQ(b.daimyou, CBushou::kDaimyouHitojichi);
    EXPECT_EQ(b.holderDaimyou, 1);
    EXPECT_EQ(b.originDaimyou, 0);
    EXPECT_EQ(b.gundan, -1);
    EXPECT_EQ(b.shiro, 0);  // where house 0's head stays
    EXPECT_EQ(b.flags, CBushou::kFlagDeathType1);
    EXPECT_GE(w.gs.nCurYear - b.birthYear, 1);
    EXPECT_LE(w.gs.nCurYear - b.birthYear, 13);
    EXPECT_EQ(b.deathYear, b.birthYear + 60);
    EXPECT_EQ(b.moveShiro, b.birthYear + 17);
    EXPECT_EQ(b.sortieShiro, 0);  // house 0's only castle
    EXPECT_EQ(w.Informs(), std::vector<std::string>{"家0 は人質として 家0世嗣 を差し出しました"});
    EXPECT_EQ(w.House(0).bond, CDaimyou::kBondJuuzoku);
    EXPECT_EQ(w.House(0).masterDaimyou, 1);
}

TEST(Envoys, MadeUpHeirsNameIsCutOnACharacterBoundary) {
    struct Case {
        std::string house;
        std::string heir;
    };
    const Case cases[] = {
        {"北条", "北条世嗣"},
        {"あいうえおかきくけ", "あいうえおかきくけ世"},  // 18 + 4 bytes: the second word character goes
        {"aあいうえおかきくけ", "aあいうえおかきくけ"},  // 19 bytes: no half character is kept
        {"abcdefghijklmnopqrstu", "abcdefghijklmnopqrst"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.house);
        EnvoyWorld w;
        w.House(0).name = c.house;
        const std::string name = MakeSeishiName(w.gs, 0);
        EXPECT_EQ(name, c.heir);
        EXPECT_LE(EncodedLength(name, TextEncoding::ShiftJis), 20u);
    }
}

TEST(Envoys, HostageCandidatesAreTheHousesHeirsNotYetOfAge) {
    EnvoyWorld w;
    struct Heir {
        int house;
        int age;
        std::int16_t line;
        int rank;
        bool candidate;
    };
    const std::int16_t marked = static_cast<std::int16_t>(0x8000 | 1);
    const Heir heirs[] = {
        {1, 0, 1, 0, false},                             // not yet born a year
        {1, 1, 1, 0, true},                              //
        {1, 18, marked, 2, true}, {1, 19, 1, 0, false},  // of age
        {1, 10, 1, -1, false},                           // no succession rank
        {1, 10, 0, 0, false},                            // of another line
        {0, 10, 1, 0, false},                            // waits for another house
    };
    std::vector<int> expected;
    for (const Heir& h : heirs) {
        const int i = w.gs.nMitoujouBushou++;
        CBushou& b = w.gs.MitoujouBushouTbl[i];
        b.daimyou = static_cast<std::int16_t>(h.house);
        b.birthYear = static_cast<std::int16_t>(w.gs.nCurYear - h.age);
        b.id = static_cast<std::int16_t>(w.gs.nBushouEx++);
        w.gs.BushouExTbl[b.id].daimyou = h.line;
        w.gs.BushouExTbl[b.id].successionRank = static_cast<std::int8_t>(h.rank);
        if (h.candidate) expected.push_back(i);
    }
    EXPECT_EQ(CollectHitojichiKouho(w.gs, 1, 100), expected);
    EXPECT_EQ(CollectHitojichiKouho(w.gs, 1, 1), std::vector<int>{expected[0]});

    // A computer giver sends the least able candidate, taken out of the generals not yet in play.
    w.gs.MitoujouBushouTbl[1].name = "弱";
    w.gs.MitoujouBushouTbl[2].buyuu = 1;
    const int waiting = w.gs.nMitoujouBushou;
    int hostage = -1;
    ASSERT_TRUE(OfferHitojichi(w.gs, w.ports, 0, 1, hostage));
    EXPECT_EQ(w.gs.BushouTbl[hostage].name, "弱");
    EXPECT_EQ(w.gs.BushouTbl[hostage].shiro, 1);
    EXPECT_EQ(w.gs.nMitoujouBushou, waiting - 1);
}

TEST(Envoys, NoHostageWhenTheGeneralTableIsFull) {
    EnvoyWorld w;
    w.gs.nBushou = GameState::kMaxBushou;
    int hostage = -1;
    EXPECT_FALSE(OfferHitojichi(w.gs, w.ports, 0, 1, hostage));
    EXPECT_EQ(hostage, -1);
    EXPECT_EQ(w.gs.nBushou, GameState::kMaxBushou);
}

TEST(Envoys, EvaluationOfABorderWithAStrongNeighbourIsWholeFear) {
    // x holds at least half of what y has behind the border: 1.0; far smaller: less, here below
    // 0 (the value is not cut).
    EnvoyWorld w;
    EXPECT_DOUBLE_EQ(EvaluateShishaTeian(w.gs, 0, 1, true, {}), 1.0);
    w.gs.ShiroTbl[1].kokudaka = 100000;
    const double fear = EvaluateShishaTeian(w.gs, 0, 1, true, {});
    EXPECT_LT(fear, 0.0);
    // No castles at all: nothing to divide by.
    for (int c = 0; c < 3; ++c)
        w.Own(c, 2);
    const double none = EvaluateShishaTeian(w.gs, 0, 1, false, {});
    EXPECT_GE(none, 0.0);
    EXPECT_LE(none, 1.0);
}

// y far larger than x and without enemies: the first two estimates are 1 x the trend's factor
// and the third is far above 1, so the value is 1 - the trend's factor, below 0 unless y's
// strength falls. The values are not cut at 0, so the planner can still tell the safer of two
// masters apart.
TEST(Envoys, EvaluationBelowZeroIsNotCut) {
    struct Case {
        const char* name;
        std::uint8_t trend;
        bool fromBorder;
        double expected;
    };
    const Case cases[] = {
        {"rising, whole side", 1, false, 1.0 - 2.0},
        {"rising, from the border", 1, true, 1.0 - 2.0},
        {"level", 0, false, 1.0 - 1.3},
        {"falling", 255, false, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnvoyWorld w;
        w.gs.ShiroTbl[1].kokudaka = 100000;
        w.House(2).SetRelationLo(1, CDaimyou::kRelFusen);  // y's only other neighbour is no enemy
        w.House(1).strengthTrend = c.trend;
        EXPECT_DOUBLE_EQ(EvaluateShishaTeian(w.gs, 0, 1, c.fromBorder, {}), c.expected);
    }
}

}  // namespace
}  // namespace rymd
