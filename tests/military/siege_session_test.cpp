// The player's siege in person: the outcome texts, the buttons' availability, counter-fire after
// the fifth turn, the player defender's challenges, who takes part, and the retreat choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "game/military/battle_runners.h"
#include "game/military/siege_session.h"
#include "game/state/vocabulary.h"
#include "military/battle_world.h"

namespace rymd::test {
namespace {

// Castle 0 of house 0 besieged by house 1 (the player's house is chosen by the test); castle 1
// belongs to house 1, castle 2 to house 0; 0-1 and 0-2 linked by broad roads.
struct SessionWorld : BattleWorld {
    CBattleRunner runner{gs, ports};
    explicit SessionWorld(int player, std::uint32_t seed = 1) : BattleWorld(3, 2, seed) {
        Own(1, 1);
        Link(0, 1);
        Link(0, 2);
        gs.nPlayerDaimyou = player;
        gs.bKeiryaku = false;
    }
    KoujousenSession Open() {
        KoujousenSession s(gs, ports, runner, 0, false);
        s.Open();
        return s;
    }
};

TEST(SiegeSession, OutcomeTextsInTheirOrder) {
    struct Case {
        const char* name;
        int maxKibo;
        int damage;
        std::uint32_t provisions;
        int turns;
        const char* text;
        int result;
        bool over;
    } cases[] = {
        {"before the first turn", 5, 0, 100000, 0, "ターン 1/5", kSiegeHolds, false},
        {"size 0 falls after the first turn", 0, 0, 100000, 1, "落城しました", kSiegeFallen, true},
        {"damage at 100 x size", 5, 500, 100000, 0, "強襲により落城しました", kSiegeFallen, true},
        {"no provisions after the first turn", 5, 0, 1, 1, "兵糧が尽きたので開城しました", kSiegeStarved,
         true},
        {"holding after a turn", 5, 0, 100000, 1, "ターン 2/5", kSiegeHolds, false},
        {"holding after five turns", 5, 0, 100000, 5, "城攻略戦終了", kSiegeHolds, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionWorld w(1);
        w.Map(0).maxKibo = static_cast<std::uint8_t>(c.maxKibo);
        w.Castle(0).siegeValue = static_cast<std::int16_t>(c.damage);
        w.Castle(0).hyourou = c.provisions;
        w.Add(0, 0, 0, 50);
        w.AddBesieger(1, 0, 0, 10);
        KoujousenSession s = w.Open();
        for (int t = 0; t < c.turns; ++t)
            s.PlayTurn(false);
        EXPECT_EQ(s.OutcomeText(), c.text);
        EXPECT_EQ(s.siegeResult, c.result);
        EXPECT_EQ(s.Over(), c.over);
        EXPECT_FALSE(s.Closed());
    }
}

// A scenario that renames the castle (砦) and the general (将): every message of the siege and
// its end text speak its words; names stay as written.
TEST(SiegeSession, TheMessagesAndTheEndTextSpeakTheScenariosWords) {
    auto rename = [](SessionWorld& w) {
        w.gs.ScenarioWords[kWordShiro] = "砦";
        w.gs.ScenarioWords[static_cast<std::size_t>(FindWordKeyword("BUSHOU"))] = "将";
    };
    auto told = [](SessionWorld& w, const std::string& text) {
        const auto informs = w.Informs();
        return std::find(informs.begin(), informs.end(), text) != informs.end();
    };
    {
        SessionWorld w(1);
        rename(w);
        w.Add(0, 0, 0, 50);
        w.AddBesieger(1, 0, 0, 10);
        KoujousenSession s = w.Open();
        for (int t = 0; t < 5; ++t)
            s.PlayTurn(false);
        EXPECT_EQ(s.OutcomeText(), "砦攻略戦終了");
    }
    {
        // The defenders challenge the player's blockade at sea and drive the only besieger home.
        SessionWorld w(1);
        rename(w);
        w.Waterway(0);
        w.Add(0, 0, 0, 5000);
        w.Fleet(0, 0, 100, false);
        const int besieger = w.AddBesieger(1, 0, 0, 20000);  // too many for his ships
        w.Fleet(1, 0, 1, true);
        KoujousenSession s(w.gs, w.ports, w.runner, 0, false);
        s.chooseNavy = [&](int ships, const std::vector<int>&) {
            return std::optional<NavySortie>(NavySortie{ships, {besieger}});
        };
        s.Open();
        s.OpeningEvents();
        EXPECT_TRUE(told(w, "敵兵が海戦を挑んできました。応戦将を選択してください"));
        ASSERT_NE(s.navalResult, 1);
        EXPECT_TRUE(told(w, "包囲将が全て撤退したので砦攻略を中止します"));
    }
    {
        // The player defender wins at sea and the only besieger goes home.
        SessionWorld w(0);
        rename(w);
        w.Waterway(0);
        const int defender = w.Add(0, 0, 0, 5000);
        w.Fleet(0, 0, 100, false);
        w.AddBesieger(1, 0, 0, 5);
        w.Fleet(1, 0, 1, true);
        KoujousenSession s(w.gs, w.ports, w.runner, 0, false);
        s.chooseNavy = [&](int ships, const std::vector<int>&) {
            return std::optional<NavySortie>(NavySortie{ships, {defender}});
        };
        s.Open();
        ASSERT_TRUE(s.NavalBattlePossible());
        s.ChallengeKaisen();
        ASSERT_NE(s.navalResult, 1);
        EXPECT_TRUE(told(w, "包囲将が全て撤退したため、砦攻略は中止されました"));
    }
}

TEST(SiegeSession, AnUnblockadedWaterwayCannotBeStarvedAndAssaultsRunOut) {
    SessionWorld w(1);
    w.Waterway(0);
    w.Add(0, 0, 0, 5000);
    w.AddBesieger(1, 0, 0, 10);
    KoujousenSession s = w.Open();
    EXPECT_FALSE(s.CanBeStarved());
    EXPECT_EQ(s.WaitLabel(), "待機");
    EXPECT_EQ(s.SupplyRouteText(), "城1 → 城0 （主街道）");
    for (int t = 0; t < 4; ++t) {
        EXPECT_FALSE(s.AssaultsUsedUp());
        s.PlayTurn(true);
    }
    EXPECT_TRUE(s.AssaultsUsedUp());  // a broad road gives four assaults
    const int damage = w.Castle(0).siegeValue;
    s.PlayTurn(true);  // refused
    EXPECT_EQ(s.Turn(), 5);
    EXPECT_EQ(w.Castle(0).siegeValue, damage);
    s.PlayTurn(false);
    EXPECT_EQ(s.OutcomeText(), "城攻略戦終了");

    SessionWorld land(1);
    land.Add(0, 0, 0, 50);
    land.AddBesieger(1, 0, 0, 10);
    KoujousenSession l = land.Open();
    EXPECT_TRUE(l.CanBeStarved());
    EXPECT_EQ(l.WaitLabel(), "待機（兵糧攻め）");
}

TEST(SiegeSession, CounterFireComesOnlyAfterTheFifthTurn) {
    SessionWorld w(1);
    w.Waterway(0);  // no withdrawals, no provisions eaten
    w.Add(0, 0, 0, 100, 100);
    w.AddBesieger(1, 0, 0, 200);
    KoujousenSession s = w.Open();
    const std::string fire = "守備軍の鉄砲による反撃で、攻略軍が押し戻されました";
    for (int t = 1; t <= 5; ++t) {
        s.PlayTurn(t <= 4);
        const auto informs = w.Informs();
        EXPECT_EQ(std::count(informs.begin(), informs.end(), fire), t == 5 ? 1 : 0) << "turn " << t;
    }
    EXPECT_EQ(s.OutcomeText(), "城攻略戦終了");
}

TEST(SiegeSession, ThePlayerDefenderChallengesOnlyBeforeTheFirstTurn) {
    SessionWorld w(0);
    w.Add(0, 0, 0, 50);
    w.AddBesieger(1, 0, 0, 10);
    KoujousenSession s = w.Open();
    EXPECT_TRUE(s.PlayerDefends());
    EXPECT_TRUE(s.FieldBattlePossible());
    EXPECT_FALSE(s.NavalBattlePossible());  // no waterway
    s.PlayTurn(false);
    EXPECT_FALSE(s.FieldBattlePossible());
    const int turn = s.Turn();
    s.ChallengeYasen();  // refused
    EXPECT_EQ(s.fieldResult, -1);
    EXPECT_EQ(s.Turn(), turn);
}

TEST(SiegeSession, AWonChallengeDrivesTheBesiegersAwayAndClosesTheSiege) {
    SessionWorld w(0);
    w.Add(0, 0, 500, 5000);
    w.AddBesieger(1, 0, 0, 5);
    KoujousenSession s = w.Open();
    s.ChallengeYasen();
    EXPECT_EQ(s.fieldResult, 2);
    EXPECT_TRUE(s.brokenOff);
    EXPECT_TRUE(s.Closed());
    const auto informs = w.Informs();
    EXPECT_NE(std::find(informs.begin(), informs.end(), "敵軍は撤退します"), informs.end());
}

TEST(SiegeSession, ThePlayerBesiegerMeetsASallyWhenTheSiegeOpens) {
    SessionWorld w(1);
    w.Add(0, 0, 500, 5000);
    w.AddBesieger(1, 0, 0, 5);
    KoujousenSession s = w.Open();
    s.OpeningEvents();
    const auto informs = w.Informs();
    ASSERT_FALSE(informs.empty());
    EXPECT_EQ(informs.front(), "敵兵が城から出てきました");
    EXPECT_NE(s.fieldResult, -1);
    EXPECT_NE(s.fieldResult, 1);
    EXPECT_TRUE(s.brokenOff);
    EXPECT_TRUE(s.Closed());
    EXPECT_NE(std::find(informs.begin(), informs.end(), "我軍は野戦に勝利できなかったので撤退します"),
              informs.end());
}

TEST(SiegeSession, TheBoardsAndListsShowTheRecords) {
    SessionWorld w(1);
    w.gs.nHeiUnit = 10;
    w.Castle(0).kibo = 3;
    w.Castle(0).siegeValue = 150;
    w.Castle(0).shubihei = 7;
    const int d = w.Add(0, 0, 2, 30, 4);
    w.AddBesieger(1, 0, 1, 20);
    KoujousenSession s = w.Open();
    EXPECT_EQ(s.Title(), "城0 の攻防");
    const std::vector<std::pair<std::string, std::string>> damage = {
        {"本丸", "0%"}, {"二の丸", "50%"}, {"三の丸", "陥落"}};
    EXPECT_EQ(s.DamageLines(), damage);
    const std::vector<SiegeListRow> defenders = s.DefenderRows();
    ASSERT_EQ(defenders.size(), 2u);
    EXPECT_EQ(defenders[0].name, "城守備兵");
    EXPECT_EQ(defenders[0].foot, "70");
    EXPECT_EQ(defenders[0].valour, "3");
    EXPECT_EQ(defenders[1].item, d);
    EXPECT_EQ(defenders[1].cavalry, "20");
    EXPECT_EQ(defenders[1].muskets, "40");
    EXPECT_EQ(s.DefenderTotal(), 390);
    EXPECT_EQ(s.BesiegerTotal(), 210);
}

TEST(SiegeSession, WhoTakesPartInPerson) {
    struct Case {
        const char* name;
        int player;
        int besiegerCorps;
        int defenderCorps;  // -2: no defender
        bool corpsHoldsProvince;
        bool autoAdvance;
        bool takesPart;
    } cases[] = {
        {"besieger under direct command", 1, -1, -1, false, false, true},
        {"besieger of a corps", 1, 0, -1, false, false, false},
        {"defender under direct command", 0, 0, -1, false, false, true},
        {"defender of a corps", 0, -1, 0, false, false, false},
        {"no defender, no corps in the province", 0, -1, -2, false, false, true},
        {"no defender, a corps holds the province", 0, -1, -2, true, false, false},
        {"someone else's siege", 2, -1, -1, false, false, false},
        {"automatic advance", 1, -1, -1, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionWorld w(c.player);
        const int leader = w.Add(0, 2, 0, 1);
        const int k = w.AddGundan(0, leader);
        const int k1 = w.AddGundan(1, w.Add(1, 1, 0, 1));
        w.gs.GundanTbl[static_cast<std::size_t>(k)].tantouKuni.fill(-1);
        if (c.corpsHoldsProvince) w.gs.GundanTbl[static_cast<std::size_t>(k)].tantouKuni[2] = 0;
        if (c.defenderCorps != -2)
            w.General(w.Add(0, 0, 0, 10)).gundan = static_cast<std::int16_t>(c.defenderCorps == 0 ? k : -1);
        w.General(w.AddBesieger(1, 0, 0, 10)).gundan =
            static_cast<std::int16_t>(c.besiegerCorps == 0 ? k1 : -1);
        w.gs.bAutoAdvance = c.autoAdvance;
        EXPECT_EQ(PlayerTakesPartInSiege(w.gs, 0), c.takesPart);
    }
}

// The retreat choice: castle 0 (house 0) linked to castles 1 and 2 of house 0.
struct RetreatWorld : BattleWorld {
    RetreatWorld() : BattleWorld(3, 2) {
        Link(0, 1);
        Link(0, 2);
        gs.nPlayerDaimyou = 0;
        AddBesieger(1, 0, 0, 10);
        for (int i = 0; i < 13; ++i)
            Add(0, 0, 0, 10);
    }
    std::vector<int> Listed(int c) {
        return std::vector<int>(Castle(c).bushou.begin(), Castle(c).bushou.begin() + Castle(c).nBushou);
    }
};

TEST(ShiroRetreat, RefusalsMoveNobody) {
    RetreatWorld w;
    w.Fill(1, 20);
    w.Fill(2, 8);  // room 12
    ShiroRetreatChoice choice(w.gs, w.ports, 0);
    EXPECT_EQ(choice.Room(), 12);
    const std::vector<int> all = w.Listed(0);
    EXPECT_FALSE(choice.Retreat(all));
    EXPECT_EQ(w.Informs().back(), "12人までしか退却できません");
    EXPECT_EQ(w.Listed(0), all);

    w.AddBesieger(1, 2, 0, 10);  // the one castle with room is besieged now
    EXPECT_FALSE(choice.Retreat({all[0]}));
    EXPECT_EQ(w.Informs().back(), "退却できる城がありません");
    EXPECT_EQ(w.Listed(0), all);
}

TEST(ShiroRetreat, NothingChosenClosesAndTheChosenLeave) {
    RetreatWorld w;
    ShiroRetreatChoice choice(w.gs, w.ports, 0);
    const std::vector<int> all = w.Listed(0);
    EXPECT_TRUE(choice.Retreat({}));
    EXPECT_EQ(w.Listed(0), all);
    EXPECT_TRUE(choice.Retreat({all[0], all[1]}));
    EXPECT_EQ(w.Listed(0).size(), all.size() - 2);
    EXPECT_TRUE(w.Informs().empty());
}

TEST(ShiroRetreat, ALinkListedTwiceGivesItsRoomOnce) {
    RetreatWorld w;
    w.AddLink(0, 1);
    w.Fill(2, 20);
    ShiroRetreatChoice choice(w.gs, w.ports, 0);
    EXPECT_EQ(choice.Room(), 20);
}

TEST(ShiroRetreat, RowsShowRankAgeAndTroops) {
    RetreatWorld w;
    w.gs.nHeiUnit = 10;
    w.gs.nCurYear = 1560;
    const int head = w.Listed(0)[0];
    w.gs.DaimyouTbl[0].toushu = head;
    w.General(head).flags |= CBushou::kFlagDeathType1;
    w.General(w.Listed(0)[1]).flags |= CBushou::kFlagDeathType2;
    const auto rows = ShiroRetreatChoice(w.gs, w.ports, 0).Rows();
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[0].rank, "当主");
    EXPECT_EQ(rows[0].age, "40?");
    EXPECT_EQ(rows[0].foot, "100");
    EXPECT_EQ(rows[1].rank, "");
    EXPECT_EQ(rows[1].age, "---");
    EXPECT_EQ(rows[2].age, "40");
}

}  // namespace
}  // namespace rymd::test
