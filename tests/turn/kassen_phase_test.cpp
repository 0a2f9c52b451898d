#include "game/turn/kassen_phase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/military/siege_session.h"
#include "game/save/saved_game.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/invariants.h"
#include "game/state/vocabulary.h"
#include "support/test_world.h"

namespace rymd {
namespace {

// Castles 0..n-1 owned by houses 0..n-1 (castle c by house c), linked in a row by broad roads;
// every pair of houses without relation (hostile), house kind NORMAL, size 3 castles with
// provisions and a small garrison.
struct WarWorld : test::TestWorld {
    CKassenPhase kassen{GameContext{gs, map, ports}};

    explicit WarWorld(int n, std::uint32_t seed = 3)
        : TestWorld({.castles = n, .houses = n, .soldierUnit = 10}) {
        gs.rng.Seed(seed);
        gs.nShiroHyourouMax = 1000;
        gs.nPlayerDaimyou = n;  // nobody plays: every battle is fought automatically
        for (int d = 0; d < n; ++d)
            for (int o = 0; o < n; ++o)
                gs.DaimyouTbl[static_cast<std::size_t>(d)].SetRelationHi(o, 0);
        for (int c = 0; c < n; ++c) {
            Own(c, c);
            CShiro& s = gs.ShiroTbl[static_cast<std::size_t>(c)];
            s.kibo = 3;
            s.hyourou = 3000;
            s.keizai = 500;
            s.shubihei = 10;
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].maxKibo = 5;
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].maxKeizai = 1000;
        }
        for (int c = 0; c + 1 < n; ++c)
            Link(c, c + 1);
    }
    CBushou& General(int g) { return gs.BushouTbl[static_cast<std::size_t>(g)]; }
    // A general of the house with a scenario record, standing in the castle.
    int Add(int house, int shiro, int cavalry, int foot) {
        const int g = AddBushou(house, shiro, {.foot = foot, .cavalry = cavalry});
        General(g).id = static_cast<std::int16_t>(g);
        General(g).yasenTousotsu = 5;
        General(g).sortieOrigin = static_cast<std::int16_t>(shiro);
        return g;
    }
    void Sortie(int g, int target) {
        CBushou& b = General(g);
        b.sortieShiro = static_cast<std::int16_t>(target);
        b.sortieOrigin = b.shiro;
        b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagOrdered);
    }
    void Allies(int a, int b) {
        gs.DaimyouTbl[static_cast<std::size_t>(a)].SetRelationLo(b, CDaimyou::kRelFusen);
        gs.DaimyouTbl[static_cast<std::size_t>(b)].SetRelationLo(a, CDaimyou::kRelFusen);
    }
    // The report the front was given: {battle text, fates text}.
    std::vector<std::string> Report() const {
        for (const PortCall& c : port.CallsOf(PortCallKind::Report))
            if (c.reportKind == ReportKind::BattleResults) return c.details;
        return {};
    }
};

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// The state keeps every invariant; besides, every stored general index names a general on stage,
// the castle lists agree with the generals' own fields, and no general is left marked for
// leaving play or for the move to the table's end.
void ExpectGeneralIndexesValid(const GameState& gs) {
    EXPECT_EQ(FindBrokenInvariant(gs), std::nullopt);
    const int n = BushouCount(gs);
    auto valid = [&](int g) { return g >= 0 && g < n; };
    for (int d : DaimyouIndexes(gs)) {
        const int head = DaimyouAt(gs, d).toushu;
        EXPECT_TRUE(head == -1 || head == -2 || valid(head)) << "head of house " << d;
        if (valid(head)) {
            EXPECT_EQ(BushouAt(gs, head).daimyou, d) << "head of house " << d;
        }
    }
    for (int k : GundanIndexes()) {
        const int leader = GundanAt(gs, k).leader;
        EXPECT_TRUE(leader < 0 || valid(leader)) << "leader of corps " << k;
    }
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        EXPECT_TRUE(s.commander < 0 || valid(s.commander)) << "commander of castle " << c;
        for (int i = 0; i < s.nBushou; ++i) {
            const int g = s.bushou[static_cast<std::size_t>(i)];
            ASSERT_TRUE(valid(g)) << "castle " << c;
            EXPECT_EQ(BushouAt(gs, g).shiro, c);
            EXPECT_FALSE(BushouAt(gs, g).flags & CBushou::kFlagBesieging);
        }
        for (int i = 0; i < s.nBesieger; ++i) {
            const int g = s.besieger[static_cast<std::size_t>(i)];
            ASSERT_TRUE(valid(g)) << "besiegers of castle " << c;
            EXPECT_EQ(BushouAt(gs, g).shiro, c);
            EXPECT_TRUE(BushouAt(gs, g).flags & CBushou::kFlagBesieging);
        }
    }
    for (int g = 0; g < n; ++g) {
        const CBushou& b = BushouAt(gs, g);
        EXPECT_NE(b.daimyou, CBushou::kDaimyouRounin) << "general " << g << " should have left play";
        EXPECT_FALSE(b.flags & CBushou::kFlagWarMark) << "general " << g;
    }
}

TEST(ResolveKassen, CrossingArmiesMeetOnceAndTheWinnerMarchesOn) {
    WarWorld w(2);
    const int strong = w.Add(0, 0, 300, 3000);
    const int stays = w.Add(0, 0, 10, 10);
    const int weak = w.Add(1, 1, 1, 5);
    w.gs.ShiroTbl[1].shubihei = 3000;  // the castle holds this month
    w.gs.ShiroTbl[1].hyourou = 10000000;
    w.Sortie(strong, 1);
    w.Sortie(weak, 0);
    w.kassen.ResolveKassen();

    const std::vector<std::string> report = w.Report();
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(Count(report[0], "間で"), 1) << report[0];
    EXPECT_EQ(report[0].find("城0と城1間で家0と家1が野戦\n  → 家0の勝利\n"), 0u) << report[0];
    EXPECT_EQ(w.kassen.battleText, report[0]);
    // The winner stands at his target among its besiegers; the loser stayed home.
    ASSERT_EQ(w.gs.ShiroTbl[1].daimyou, 1);
    EXPECT_EQ(w.General(strong).shiro, 1);
    EXPECT_TRUE(w.General(strong).flags & CBushou::kFlagBesieging);
    EXPECT_EQ(w.gs.ShiroTbl[1].besiegerDaimyou, 0);
    EXPECT_NE(report[0].find("城1（家1）は家0に攻められています\n"), std::string::npos);
    EXPECT_EQ(w.General(weak).shiro, 1);
    EXPECT_EQ(w.General(weak).sortieShiro, -1);
    EXPECT_FALSE(w.General(weak).flags & CBushou::kFlagBesieging);
    EXPECT_EQ(w.General(stays).shiro, 0);
    for (int g : BushouIndexes(w.gs))
        EXPECT_FALSE(w.General(g).flags & CBushou::kFlagOrdered);
    ExpectGeneralIndexesValid(w.gs);
}

TEST(ResolveKassen, AMonthWithoutSortiesReportsNothing) {
    WarWorld w(3);
    w.Add(0, 0, 10, 10);
    w.kassen.ResolveKassen();
    EXPECT_EQ(w.Report(), (std::vector<std::string>{"なし", ""}));
    // Towns without armies recover towards their maximum.
    for (int c = 0; c < 3; ++c) {
        EXPECT_GE(w.gs.ShiroTbl[static_cast<std::size_t>(c)].keizai, 504);
        EXPECT_LE(w.gs.ShiroTbl[static_cast<std::size_t>(c)].keizai, 506);
    }
    // While the game advances by itself the report waits for nobody.
    WarWorld quiet(3);
    quiet.gs.bAutoAdvance = true;
    quiet.kassen.ResolveKassen();
    EXPECT_TRUE(quiet.port.Calls().empty());
}

TEST(ResolveKassen, OfTwoAlliesAtOneEnemyCastleTheWeakerWithdraws) {
    // Castle 1 (house 1) between allies 0 and 2.
    WarWorld w(3);
    w.Allies(0, 2);
    w.gs.ShiroTbl[1].hyourou = 10000000;
    const int strong = w.Add(0, 0, 100, 1000);
    const int weak = w.Add(2, 2, 10, 100);
    w.Sortie(strong, 1);
    w.Sortie(weak, 1);
    w.kassen.ResolveKassen();
    // The stronger besieges (or has taken) the castle; the weaker went home before the siege.
    EXPECT_EQ(w.General(strong).shiro, 1) << w.kassen.battleText;
    EXPECT_EQ(w.General(weak).shiro, 2);
    EXPECT_FALSE(w.General(weak).flags & CBushou::kFlagBesieging);
    EXPECT_TRUE(w.General(weak).flags & CBushou::kFlagNotDefending);
    EXPECT_EQ(Count(w.kassen.battleText, "周辺で"), 0) << w.kassen.battleText;
    EXPECT_NE(w.kassen.battleText.find("城1（家1）は家0に攻められています\n"), std::string::npos);
    ExpectGeneralIndexesValid(w.gs);
}

TEST(ResolveKassen, ARivalArmyAtACastleIsFoughtAsARelief) {
    // House 0 besieges castle 1 of house 1, whose relief army comes from castle 2.
    WarWorld w(3);
    w.Own(2, 1);
    w.gs.ShiroTbl[1].shubihei = 3000;
    const int besieger = w.Add(0, 0, 1, 10);
    const int relief = w.Add(1, 2, 300, 3000);
    w.Sortie(besieger, 1);
    w.Sortie(relief, 1);
    w.kassen.ResolveKassen();
    EXPECT_EQ(
        w.kassen.battleText.find("城1周辺で城包囲軍(家0)と城救援軍(家1)が野戦\n  → 城包囲軍は撤退しました\n"),
        0u)
        << w.kassen.battleText;
    EXPECT_EQ(w.General(besieger).shiro, 0);
    EXPECT_EQ(w.General(relief).shiro, 1);  // he arrived at his own castle
    EXPECT_EQ(w.gs.ShiroTbl[1].nBesieger, 0);
    ExpectGeneralIndexesValid(w.gs);
}

TEST(ResolveKassen, AFallenCastleChangesHandsAndItsHouseFalls) {
    struct Case {
        int size;
        int wantSize;
        std::uint32_t wantProvisions;
    };
    for (const Case c : {Case{1, 1, 1000000}, Case{3, 2, 2000}}) {
        SCOPED_TRACE(c.size);
        WarWorld w(2);
        CShiro& castle = w.gs.ShiroTbl[1];
        castle.kibo = static_cast<std::uint8_t>(c.size);
        castle.hyourou = 1000000;
        castle.shubihei = 0;
        // Generals without a scenario record cannot flee or be taken: they commit seppuku.
        const int head = w.Add(1, 1, 0, 1);
        w.General(head).id = -1;
        w.gs.DaimyouTbl[1].toushu = head;
        for (int i = 0; i < 5; ++i)
            w.Sortie(w.Add(0, 0, 3000, 30000), 1);
        w.kassen.ResolveKassen();

        ASSERT_EQ(castle.daimyou, 0) << w.kassen.battleText;
        EXPECT_EQ(castle.kibo, c.wantSize);
        EXPECT_EQ(castle.hyourou, c.wantProvisions);
        EXPECT_EQ(castle.siegeValue, 0);
        EXPECT_NE(w.kassen.battleText.find("  → 城1は強襲により落城しました\n"), std::string::npos)
            << w.kassen.battleText;
        EXPECT_EQ(w.kassen.fatesText, "家1の将0は切腹しました\n");
        EXPECT_EQ(w.Report()[1], w.kassen.fatesText);
        // With no castle and nobody left to lead it, house 1 is gone.
        EXPECT_NE(w.kassen.battleText.find("家1は滅亡しました\n"), std::string::npos) << w.kassen.battleText;
        EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, -1);
        ExpectGeneralIndexesValid(w.gs);
    }
}

// Over many draws: generals with a scenario record never commit seppuku when the setting is 0;
// those taken are employed by the victor (their house has no castle left) and moved to the end
// of the general table; every stored index stays valid.
TEST(ResolveKassen, FatesOfTheDefeatedKeepEveryTableValid) {
    int employed = 0;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE(seed);
        WarWorld w(3, seed);
        w.gs.nSeppukuKakuritsu = 0;
        w.Own(2, 2);
        CShiro& castle = w.gs.ShiroTbl[1];
        castle.kibo = 1;
        castle.shubihei = 0;
        w.gs.DaimyouTbl[1].toushu = w.Add(1, 1, 1, 5);
        for (int i = 0; i < 3; ++i)
            w.Add(1, 1, 1, 5);
        w.gs.DaimyouTbl[0].toushu = w.Add(0, 0, 1, 1);
        for (int i = 0; i < 5; ++i)
            w.Sortie(w.Add(0, 0, 3000, 30000), 1);
        w.kassen.ResolveKassen();
        ASSERT_EQ(castle.daimyou, 0) << w.kassen.battleText;
        EXPECT_EQ(Count(w.kassen.fatesText, "切腹"), 0) << w.kassen.fatesText;
        employed += Count(w.kassen.fatesText, "は家0の家臣になりました\n");
        ExpectGeneralIndexesValid(w.gs);
        for (int g : BushouIndexes(w.gs)) {
            const CBushou& b = w.General(g);
            if (b.daimyou == 0 && b.shiro == 1) {
                EXPECT_FALSE(b.flags & CBushou::kFlagBesieging);
            }
        }
    }
    EXPECT_GT(employed, 0);
}

TEST(ResolveKassen, AVassalWithoutCastlesJoinsItsMaster) {
    // Vassal 1 of house 2 loses its only castle to house 0.
    WarWorld w(3);
    w.MakeVassal(1, 2);
    w.gs.DaimyouTbl[1].SetRelationLo(2, CDaimyou::kRelShinjuu);
    w.gs.DaimyouTbl[2].SetRelationLo(1, CDaimyou::kRelShinjuuMaster);
    const int kept = w.Add(1, 2, 5, 5);  // a vassal general standing in the master's castle
    const int nameless = w.Add(1, 2, 5, 5);
    w.General(nameless).id = -1;
    w.gs.DaimyouTbl[1].toushu = kept;
    w.gs.DaimyouTbl[2].toushu = w.Add(2, 2, 5, 5);
    w.Own(1, 0);  // the castle is gone already
    w.kassen.ResolveKassen();
    EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, -1);
    EXPECT_NE(w.kassen.battleText.find("家1は滅亡しました\n"), std::string::npos) << w.kassen.battleText;
    ASSERT_EQ(w.port.CallsOf(PortCallKind::Inform).size(), 1u);
    EXPECT_EQ(w.port.CallsOf(PortCallKind::Inform)[0].text,
              "家1は全ての城を失ったので、主家である家2の家臣になりました");
    // Moved to the end of the table with the flag cleared; the one without a record left play.
    ASSERT_EQ(BushouCount(w.gs), 2);
    EXPECT_EQ(w.gs.DaimyouTbl[2].toushu, 0);
    EXPECT_EQ(w.General(1).daimyou, 2);
    EXPECT_EQ(w.General(1).status, CBushou::kStatusKashin);
    ExpectGeneralIndexesValid(w.gs);
}

// A house that falls takes its corps with it: here the player's vassal house whose corps leader
// went over to the master with the house's other generals.
TEST(ResolveKassen, AFallenHouseTakesItsCorpsWithIt) {
    WarWorld w(3);
    w.MakeVassal(1, 2);
    w.gs.DaimyouTbl[1].SetRelationLo(2, CDaimyou::kRelShinjuu);
    w.gs.DaimyouTbl[2].SetRelationLo(1, CDaimyou::kRelShinjuuMaster);
    w.gs.nPlayerDaimyou = 1;
    w.gs.DaimyouTbl[1].toushu = w.Add(1, 2, 5, 5);
    w.gs.DaimyouTbl[2].toushu = w.Add(2, 2, 5, 5);
    const int leader = w.Add(1, 2, 5, 5);
    CGundan& corps = w.gs.GundanTbl[3];
    corps.leader = leader;
    corps.daimyou = 1;
    corps.shikin = 700;
    w.General(leader).gundan = 3;
    w.Own(1, 0);  // the castle is gone already
    w.kassen.ResolveKassen();
    ASSERT_EQ(w.gs.DaimyouTbl[1].toushu, -1);
    EXPECT_TRUE(w.gs.GundanTbl[3].IsFree());
    for (int g : BushouIndexes(w.gs)) {
        EXPECT_EQ(w.General(g).gundan, -1) << "general " << g;
    }
    ExpectGeneralIndexesValid(w.gs);
}

TEST(ResolveKassen, AnAutomaticMonthWithBattlesWaitsForNobody) {
    test::TestWorld w({.houses = 3, .headsInCastles = true});
    for (int c = 0; c < 3; ++c)
        ShiroMapAt(w.gs, c).maxKeizai = 1000;  // the world's castles hold economy 100
    w.Start(0);
    w.gs.bAutoAdvance = true;
    // The player (house 0) marches on house 1, which marches on house 2.
    auto sortie = [&](int g, int target) {
        CBushou& b = w.gs.BushouTbl[static_cast<std::size_t>(g)];
        b.cavalry = 300;
        b.foot = 3000;
        b.sortieShiro = static_cast<std::int16_t>(target);
        b.sortieOrigin = b.shiro;
    };
    sortie(0, 1);
    sortie(1, 2);
    w.game->BeginShutsujinPhase();
    w.port.ClearCalls();
    w.game->EndShutsujinPhase();
    for (const PortCall& c : w.port.Calls())
        EXPECT_TRUE(c.kind == PortCallKind::View) << PortCallKindName(c.kind) << ": " << c.text;
    EXPECT_FALSE(w.game->KassenPhase().battleText.empty());
    ExpectGeneralIndexesValid(w.gs);
}

// A front that plays the player's siege in person with fixed choices: assault while the month's
// assaults last, then wait (the player defender defends).
class SiegePlayer : public ScriptedPort {
public:
    int sieges = 0;
    std::vector<std::string> outcomes;
    bool PlayKoujousen(KoujousenSession& session) override {
        ++sieges;
        session.Open();
        session.OpeningEvents();
        while (!session.Over() && !session.Closed())
            session.PlayTurn(!session.AssaultsUsedUp());
        outcomes.push_back(session.OutcomeText());
        return true;
    }
};

// The player's house 0 besieges castle 1 on an unblockaded waterway, where the besiegers always
// assault within the month's limit and the defenders never withdraw: the siege played in person
// with the same choices leaves the same tables as the automatic one.
TEST(ResolveKassen, ASiegePlayedInPersonWithTheAutomaticChoicesLeavesTheSameTables) {
    for (std::uint32_t seed : {3u, 8u, 21u}) {
        SCOPED_TRACE(seed);
        std::string hashes[2];
        std::string texts[2];
        for (int inPerson = 0; inPerson < 2; ++inPerson) {
            WarWorld w(2, seed);
            SiegePlayer player;
            if (inPerson) w.ports.play = &player;
            w.gs.nPlayerDaimyou = 0;
            w.gs.ShiroMapTbl[1].flags |= ShiroMapRecord::kFlagWaterway;
            w.gs.ShiroTbl[1].kibo = 5;
            w.Add(1, 1, 10, 100);
            for (int i = 0; i < 2; ++i)
                w.Sortie(w.Add(0, 0, 50, 400), 1);
            w.kassen.ResolveKassen();
            EXPECT_EQ(player.sieges, inPerson);
            if (inPerson) {
                ASSERT_EQ(player.outcomes.size(), 1u);
                EXPECT_EQ(player.outcomes[0], "城攻略戦終了");
            }
            hashes[inPerson] = StateHash(w.gs);
            texts[inPerson] = w.kassen.battleText;
            ExpectGeneralIndexesValid(w.gs);
        }
        EXPECT_EQ(hashes[0], hashes[1]);
        EXPECT_EQ(texts[0], texts[1]);
        EXPECT_NE(texts[0].find("城1（家1）は家0に攻められています\n"), std::string::npos) << texts[0];
    }
}

// Played in person, the siege of the player's own castle asks the besiegers' decision for each
// assault and reports a challenge the player won; the besiegers then go home.
TEST(ResolveKassen, ThePlayerDefenderDrivesTheBesiegersOffWithAFieldBattle) {
    class Challenger : public ScriptedPort {
    public:
        bool PlayKoujousen(KoujousenSession& session) override {
            session.Open();
            session.ChallengeYasen();
            return true;
        }
    } challenger;
    WarWorld w(2);
    w.ports.play = &challenger;
    w.gs.nPlayerDaimyou = 1;
    w.Add(1, 1, 500, 5000);
    const int besieger = w.Add(0, 0, 0, 20);
    w.Sortie(besieger, 1);
    w.kassen.ResolveKassen();
    EXPECT_NE(
        w.kassen.battleText.find("城1周囲で城防御軍(家1)と城攻略軍(家0)が野戦\n  → 城攻略軍は退却しました\n"),
        std::string::npos)
        << w.kassen.battleText;
    EXPECT_EQ(w.kassen.battleText.find("に攻められています"), std::string::npos);
    EXPECT_EQ(w.gs.ShiroTbl[1].nBesieger, 0);
    EXPECT_EQ(w.gs.ShiroTbl[1].daimyou, 1);
    ExpectGeneralIndexesValid(w.gs);
}

}  // namespace
}  // namespace rymd
