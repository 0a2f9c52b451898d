#include "game/diplomacy/counterpart.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Houses 0 (the player's), 1, 2 and 3 hold one castle each, of 10000 koku; a non-aggression
// alliance with any of them costs 1000. No relations, no marks.
struct CounterpartWorld : TestWorld {
    CounterpartWorld() : TestWorld({.houses = 4, .headsInCastles = true}) {}
    // x's relation state about y.
    void Rel(int x, int y, int state) { gs.DaimyouTbl[x].SetRelationLo(y, state); }
};

TEST(Counterpart, EveryBranchOfTheCheck) {
    using V = KoushouAiteCheck::Verdict;
    using Setup = std::function<void(CounterpartWorld&)>;
    auto rel = [](int state) { return [state](CounterpartWorld& w) { w.Rel(1, 0, state); }; };
    auto serves = [](int state) {
        return [state](CounterpartWorld& w) {
            w.Rel(1, 0, state);
            w.MakeSubordinate(1, 2);
        };
    };
    auto marked = [](int state) {
        return [state](CounterpartWorld& w) {
            w.Rel(1, 0, state);
            w.gs.GaikouDealt[1] = 1;
        };
    };
    struct Case {
        const char* name;
        int mode, chosen;
        Setup setUp;
        V verdict;
        const char* text;
        int house;
    };
    const Case cases[] = {
        {"the player's own house", 0, 0, nullptr, V::kRefuse, "当家以外の大名家を指定してください", -1},
        {"a house that fell", 1, 3, [](CounterpartWorld& w) { w.gs.DaimyouTbl[3].toushu = -1; }, V::kRefuse,
         "その大名家はすでに滅亡しています", -1},
        {"peace with a subordinate", 0, 1, rel(3), V::kRefuse, "家1は既に従属済みです", -1},
        {"peace with a vassal", 0, 1, rel(6), V::kRefuse, "家1は既に臣従済みです", -1},
        {"peace with an ally", 0, 1, rel(2), V::kRefuse, "家1とは既に不戦同盟済みです", -1},
        {"peace with a house that serves", 0, 1, serves(1), V::kAskShuka,
         "家1は独立大名家ではありません。主家の家2と不戦同盟交渉しますか？", 2},
        {"peace with an arch-enemy", 0, 1, rel(0), V::kRefuse, "家1とは宿敵関係なので不戦同盟交渉できません",
         -1},
        {"peace: dealt with this turn", 0, 1, marked(1), V::kRefuse,
         "家1とはすでに今回のターンで交渉済みです", -1},
        {"peace: funds at the cost", 0, 1, [](CounterpartWorld& w) { w.gs.DaimyouTbl[0].shikin = 1000; },
         V::kConfirm, "家1に使者を送り交渉を行います（成功すると1000の費用が必要）", 1},
        {"peace: funds one below", 0, 1, [](CounterpartWorld& w) { w.gs.DaimyouTbl[0].shikin = 999; },
         V::kRefuse, "資金が足りません", -1},
        {"subordination: dealt with", 1, 1, marked(2), V::kRefuse, "家1とはすでに今回のターンで交渉済みです",
         -1},
        {"subordination of a subordinate", 1, 1, rel(3), V::kRefuse, "家1は既に従属済みです", -1},
        {"subordination of a vassal", 1, 1, rel(6), V::kRefuse, "家1は既に臣従済みです", -1},
        {"subordination without peace", 1, 1, rel(1), V::kRefuse,
         "当家と不戦同盟済みの大名家にのみ従属要求できます", -1},
        {"subordination of a house that serves", 1, 1, serves(2), V::kAskShuka,
         "家1は独立大名家ではありません。主家の家2に従属要求を出しますか？", 2},
        {"subordination of an ally", 1, 1, rel(2), V::kConfirm, "家1に使者を送り交渉を行います", 1},
        {"vassalage of a vassal", 2, 1, rel(6), V::kRefuse, "家1は既に臣従済みです", -1},
        {"vassalage of an ally", 2, 1, rel(2), V::kRefuse, "当家に従属済みの大名家にのみ臣従要求できます",
         -1},
        {"vassalage of a subordinate", 2, 1, rel(3), V::kConfirm, "家1に使者を送り交渉を行います", 1},
        {"change to the master it has", 3, 2, [](CounterpartWorld& w) { w.MakeSubordinate(0, 2); },
         V::kRefuse, "家2は既に当家の主家です", -1},
        {"change to a house that serves", 3, 1, serves(1), V::kRefuse,
         "家1は独立大名家ではないので主家鞍替できません", -1},
        {"change of master", 3, 1, nullptr, V::kConfirm, "家1に使者を送り交渉を行います", 1},
        {"subordination offer to a house that serves", 4, 1, serves(1), V::kRefuse,
         "家1は独立大名家ではないので従属志願できません", -1},
        {"vassalage offer to a house that serves", 5, 1, serves(1), V::kRefuse,
         "家1は独立大名家ではないので臣従志願できません", -1},
        {"vassalage offer", 5, 1, nullptr, V::kConfirm, "家1に使者を送り交渉を行います", 1},
        {"captive exchange ignores the mark", 6, 1, marked(1), V::kConfirm, "家1に使者を送り交渉を行います",
         1},
        {"breaking: dealt with", -1, 1, marked(2), V::kRefuse, "家1とはすでに今回のターンで交渉済みです", -1},
        {"breaking with an arch-enemy", -1, 1, rel(0), V::kRefuse, "家1とは同盟を結んでいません", -1},
        {"breaking with a house that serves", -1, 1, serves(2), V::kAskShuka,
         "家1は独立大名家ではありません。主家の家2と同盟破棄しますか？", 2},
        {"breaking with the player's own subordinate", -1, 1,
         [](CounterpartWorld& w) {
             w.Rel(1, 0, 3);
             w.MakeSubordinate(1, 0);
         },
         V::kConfirm, "家1に使者を送り同盟を破棄します", 1},
        {"any other mode breaks", 9, 1, rel(2), V::kConfirm, "家1に使者を送り同盟を破棄します", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CounterpartWorld w;
        if (c.setUp) c.setUp(w);
        const KoushouAiteCheck r = CheckKoushouAite(w.gs, c.mode, 0, c.chosen);
        EXPECT_EQ(r.verdict, c.verdict);
        EXPECT_EQ(r.text, c.text);
        if (c.verdict != V::kRefuse) {
            EXPECT_EQ(r.house, c.house);
        }
    }
}

// Yes to the question addresses the master, whose own mark then counts.
TEST(Counterpart, TheMasterAddressedInsteadIsCheckedWithItsOwnMark) {
    CounterpartWorld w;
    w.MakeSubordinate(1, 2);
    const KoushouAiteCheck ask = CheckKoushouAite(w.gs, 0, 0, 1);
    ASSERT_EQ(ask.verdict, KoushouAiteCheck::kAskShuka);
    EXPECT_EQ(CheckKoushouAite(w.gs, 0, 0, ask.house).verdict, KoushouAiteCheck::kConfirm);
    w.gs.GaikouDealt[2] = 1;
    EXPECT_EQ(CheckKoushouAite(w.gs, 0, 0, ask.house).text, "家2とはすでに今回のターンで交渉済みです");
}

// The cost asked is what the alliance takes: a tenth of the house's own yield, cut down.
TEST(Counterpart, TheCostIsATenthOfTheOwnYieldCutDown) {
    CounterpartWorld w;
    w.gs.ShiroTbl[1].kokudaka = 12349;
    w.gs.ShiroTbl[2].kokudaka = 5;
    w.MakeVassal(2, 1);  // a vassal's castles are not counted
    EXPECT_EQ(FusenDoumeiCost(w.gs, 1), 1234);
    EXPECT_EQ(CheckKoushouAite(w.gs, 0, 0, 1).cost, 1234);
}

// Castles 0..3 lie in provinces 0..3; house 3 besieges castle 1 and fell from castle 2's province.
TEST(Counterpart, AProvinceListsItsOwnersAndBesiegersInTableOrder) {
    CounterpartWorld w;
    w.Besiege(1, 3);
    w.gs.ShiroMapTbl[3].kuni = 1;
    EXPECT_EQ(HousesInKuni(w.gs, 1), (std::vector<int>{1, 3}));
    EXPECT_EQ(HousesInKuni(w.gs, 0), std::vector<int>{0});
    w.gs.DaimyouTbl[3].toushu = -1;
    EXPECT_EQ(HousesInKuni(w.gs, 1), std::vector<int>{1});
    w.gs.ShiroMapTbl[3].kuni = 3;
    w.gs.ShiroMapTbl[2].kuni = 1;
    EXPECT_TRUE(HousesInKuni(w.gs, 2).empty()) << "a province without castles";
}

TEST(Counterpart, EnvoysLeaveFromCastlesOfTheHouseOrItsVassalsAndGoOnceAMonth) {
    CounterpartWorld w;
    w.MakeVassal(1, 0);
    w.MakeSubordinate(2, 0);
    EXPECT_TRUE(IsEnvoyShiro(w.gs, 0, 0));
    EXPECT_TRUE(IsEnvoyShiro(w.gs, 0, 1)) << "a vassal's castle";
    EXPECT_FALSE(IsEnvoyShiro(w.gs, 0, 2)) << "a subordinate's castle";
    EXPECT_FALSE(IsEnvoyShiro(w.gs, 0, 3));
    EXPECT_FALSE(IsEnvoyShiro(w.gs, 0, 99));
    const int second = w.AddBushou(0, 0);
    EXPECT_EQ(EnvoyBushouOfShiro(w.gs, 0), (std::vector<int>{0, second}));
    MarkEnvoySent(w.gs, 0);
    EXPECT_EQ(EnvoyBushouOfShiro(w.gs, 0), std::vector<int>{second});
    MarkEnvoySent(w.gs, second);
    EXPECT_TRUE(EnvoyBushouOfShiro(w.gs, 0).empty());
}

TEST(Counterpart, CaptionsAndPromptsByMode) {
    CounterpartWorld w;
    EXPECT_EQ(KoushouAiteCaption(w.gs, 0), "不戦同盟交渉大名家選択");
    EXPECT_EQ(KoushouAitePrompt(w.gs, 6), "国を指定し、捕虜交換する大名家を選んでください");
    EXPECT_EQ(KoushouAiteCaption(w.gs, -1), "同盟破棄大名家選択");
    EXPECT_EQ(KoushouAiteCaption(w.gs, 42), "同盟破棄大名家選択");
    w.gs.ScenarioWords[kWordDaimyouke] = "勢力";
    EXPECT_EQ(KoushouAiteCaption(w.gs, 3), "主家鞍替勢力選択");
}

}  // namespace
}  // namespace rymd
