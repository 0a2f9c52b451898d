#include "game/military/sortie.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/test_world.h"

namespace rymd::test {
namespace {

using ::testing::ElementsAre;

// Castle c lies in province c. The player's house 0 holds castle 0 with its head. Links from 0:
// 1 broad road (house 1), 2 sea only (house 1), 3 narrow road and sea (house 1), 5 mountain road
// (house 2); castle 4 (house 0) and 6 (house 1) are linked to nothing.
struct SortieWorld : TestWorld {
    static constexpr int kPlayer = 0;
    int head = -1;
    SortieWorld() : TestWorld({.castles = 7, .houses = 4, .provinces = 7}) {
        for (int c : {1, 2, 3, 6})
            Own(c, 1);
        Own(5, 2);
        Link(0, 1, 0);
        Link(0, 2, 3);
        Link(0, 3, 1);
        Link(0, 3, 3);
        Link(0, 5, 2);
        head = AddBushou(kPlayer, 0);
        gs.DaimyouTbl[kPlayer].toushu = head;
    }
    // The house holds the relation state toward the player.
    void Relate(int house, int state) { gs.DaimyouTbl[house].SetRelationLo(kPlayer, state); }
};

TEST(SortieOrigin, HeadsReachOwnershipAndSieges) {
    struct Case {
        const char* name;
        int shiro;
        std::function<void(SortieWorld&)> setUp;
        SortieOrigin expected;
    };
    const Case cases[] = {
        {"own castle where the head stands", 0, nullptr, SortieOrigin::kAccepted},
        {"own castle next to the head's province", 1, [](SortieWorld& w) { w.Own(1, 0); },
         SortieOrigin::kAccepted},
        {"own castle that is besieged", 0, [](SortieWorld& w) { w.Besiege(0, 1); }, SortieOrigin::kIgnored},
        {"another house's castle within reach", 1, nullptr, SortieOrigin::kIgnored},
        {"own castle out of reach", 4, nullptr, SortieOrigin::kTooFar},
        {"another house's castle out of reach", 6, nullptr, SortieOrigin::kTooFar},
        {"a vassal's castle counts as the player's", 5, [](SortieWorld& w) { w.MakeVassal(2, 0); },
         SortieOrigin::kAccepted},
        {"a head standing in no castle reaches nothing", 0,
         [](SortieWorld& w) { w.gs.BushouTbl[w.head].shiro = -1; }, SortieOrigin::kTooFar},
        {"a house without head reaches nothing", 0, [](SortieWorld& w) { w.gs.DaimyouTbl[0].toushu = -2; },
         SortieOrigin::kTooFar},
        {"no castle", -1, nullptr, SortieOrigin::kIgnored},
        {"a castle past the table", 7, nullptr, SortieOrigin::kIgnored},
    };
    for (const Case& c : cases) {
        SortieWorld w;
        if (c.setUp) c.setUp(w);
        EXPECT_EQ(CheckSortieOrigin(w.gs, SortieWorld::kPlayer, c.shiro), c.expected) << c.name;
    }
}

TEST(SortieLinkKind, TheSortiesKindWinsWhereBothLinksExist) {
    SortieWorld w;
    w.AddLink(0, 1, 3);  // castle 1 also by sea, listed after its road
    w.AddLink(0, 2, 2);  // castle 2 also by a mountain road, after its sea link
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 1, false), 0);
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 1, true), 3);
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 2, false), 2);
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 2, true), 3);
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 3, false), 1);
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 5, true), 2);  // a water sortie still sees the road
    EXPECT_EQ(SortieLinkKind(w.gs, 0, 4, false), -1);
    EXPECT_EQ(SortieLinkKind(w.gs, -1, 1, false), -1);
}

TEST(SortieTarget, TheSixChecksInTheirOrder) {
    constexpr const char* kNotLinked = "隣接した城しか出陣できません";
    constexpr const char* kNoWaterway = "水路で接続されていません";
    constexpr const char* kNoRoad = "陸路で接続されていません";
    constexpr const char* kAlly = "敵に包囲されていない同盟大名家および従属大名家の城へは出陣できません";
    constexpr const char* kAllyBesieges = "同盟を結んでいる大名家が攻撃している城には出陣できません";
    constexpr const char* kUnattackable = "この大名家の城は攻撃できません";
    auto unattackable = [](SortieWorld& w, int house) { w.gs.DaimyouTbl[house].kindByte |= 0x08; };
    struct Case {
        const char* name;
        int target;
        bool water;
        std::function<void(SortieWorld&)> setUp;
        const char* expected;
    };
    const Case cases[] = {
        {"an enemy castle on a road", 1, false, nullptr, ""},
        {"a castle not linked", 4, false, nullptr, kNotLinked},
        {"not linked, even when its house may not be attacked", 4, false,
         [&](SortieWorld& w) { unattackable(w, 0); }, kNotLinked},
        {"no castle", -1, false, nullptr, kNotLinked},
        {"a land sortie over a sea link", 2, false, nullptr, kNoRoad},
        {"a water sortie over a road", 1, true, nullptr, kNoWaterway},
        {"a water sortie over a sea link", 2, true, nullptr, ""},
        {"linked both ways: by land", 3, false, nullptr, ""},
        {"linked both ways: by water", 3, true, nullptr, ""},
        {"a non-aggression ally nobody besieges", 5, false,
         [](SortieWorld& w) { w.Relate(2, CDaimyou::kRelFusen); }, kAlly},
        {"a subordinate nobody besieges", 5, false,
         [](SortieWorld& w) { w.Relate(2, CDaimyou::kRelJuuzoku); }, kAlly},
        {"an arch-enemy", 5, false, [](SortieWorld& w) { w.Relate(2, CDaimyou::kRelShukuteki); }, ""},
        {"an ally besieged by an enemy", 5, false,
         [](SortieWorld& w) {
             w.Relate(2, CDaimyou::kRelFusen);
             w.Besiege(5, 1);
         },
         ""},
        {"an enemy castle besieged by an ally of the player", 1, false,
         [](SortieWorld& w) {
             w.Besiege(1, 2);
             w.Relate(2, CDaimyou::kRelFusen);
         },
         kAllyBesieges},
        {"besieged by the player's vassal", 1, false,
         [](SortieWorld& w) {
             w.MakeVassal(2, 0);
             w.Relate(2, CDaimyou::kRelShinjuu);
             w.Besiege(1, 2);
         },
         ""},
        {"besieged by the player", 1, false, [](SortieWorld& w) { w.Besiege(1, 0); }, ""},
        {"a house that may not be attacked", 1, false, [&](SortieWorld& w) { unattackable(w, 1); },
         kUnattackable},
        {"a castle without a house", 1, false,
         [&](SortieWorld& w) {
             w.Own(1, -1);
             unattackable(w, 1);
         },
         ""},
        {"a vassal's castle is the player's own", 5, false,
         [&](SortieWorld& w) {
             w.MakeVassal(2, 0);
             w.Relate(2, CDaimyou::kRelShinjuu);
             unattackable(w, 2);
         },
         ""},
    };
    for (const Case& c : cases) {
        SortieWorld w;
        if (c.setUp) c.setUp(w);
        EXPECT_EQ(CheckSortieTarget(w.gs, SortieWorld::kPlayer, 0, c.target, c.water), c.expected) << c.name;
    }
}

TEST(SortieTarget, MessagesTakeTheScenariosWords) {
    SortieWorld w;
    w.gs.ScenarioWords[4] = "砦";
    w.gs.ScenarioWords[0] = "氏族";
    EXPECT_EQ(CheckSortieTarget(w.gs, 0, 0, 4, false), "隣接した砦しか出陣できません");
    w.gs.DaimyouTbl[1].kindByte |= 0x08;
    EXPECT_EQ(CheckSortieTarget(w.gs, 0, 0, 1, false), "この氏族の砦は攻撃できません");
}

TEST(SortieLimit, BesiegersAndGeneralsBoundForTheTargetCount) {
    SortieWorld w;
    // Five of the player's besiegers of castle 1, one of them ordered elsewhere, one ordered to
    // castle 1 again; three generals of castle 0 bound for castle 1, one of the player's vassal.
    w.MakeVassal(3, 0);
    std::vector<int> besiegers;
    for (int i = 0; i < 5; ++i)
        besiegers.push_back(w.Besiege(1, 0));
    w.gs.BushouTbl[besiegers[0]].flags |= CBushou::kFlagOrdered;
    w.gs.BushouTbl[besiegers[0]].sortieShiro = 3;
    w.gs.BushouTbl[besiegers[1]].flags |= CBushou::kFlagOrdered;
    w.gs.BushouTbl[besiegers[1]].sortieShiro = 1;
    for (int house : {0, 0, 3}) {
        const int g = w.AddBushou(house, 0);
        WriteSortieOrder(w.gs, std::vector<int>{g}, 1, false);
    }
    // Another house's generals bound there do not count.
    WriteSortieOrder(w.gs, std::vector<int>{w.AddBushou(2, 5)}, 1, false);
    // 4 besiegers (the one ordered elsewhere leaves) + 4 bound there (the besieger ordered there
    // again counts once more) = 20 - 8.
    EXPECT_EQ(SortieBushouLimit(w.gs, 0, 1), 12);

    // A castle besieged by another house: its besiegers do not count.
    SortieWorld other;
    for (int i = 0; i < 5; ++i)
        other.Besiege(1, 2);
    for (int i = 0; i < 3; ++i)
        WriteSortieOrder(other.gs, std::vector<int>{other.AddBushou(0, 0)}, 1, false);
    EXPECT_EQ(SortieBushouLimit(other.gs, 0, 1), 17);

    // Five besiegers plus three ordered there leave twelve.
    SortieWorld plain;
    for (int i = 0; i < 5; ++i)
        plain.Besiege(1, 0);
    for (int i = 0; i < 3; ++i)
        WriteSortieOrder(plain.gs, std::vector<int>{plain.AddBushou(0, 0)}, 1, false);
    EXPECT_EQ(SortieBushouLimit(plain.gs, 0, 1), 12);
    EXPECT_EQ(SortieBushouLimit(plain.gs, 0, 99), 0);
}

TEST(SortieLimit, MovesCountTheTargetsListAndTheGeneralsMovingThere) {
    SortieWorld w;
    w.Fill(4, 6);                                                 // castle 4: the player's, six generals
    w.gs.BushouTbl[w.List(4)[0]].flags |= CBushou::kFlagOrdered;  // leaving for elsewhere
    w.gs.BushouTbl[w.List(4)[0]].sortieShiro = 1;
    for (int i = 0; i < 2; ++i)
        w.gs.BushouTbl[w.AddBushou(0, 0)].moveShiro = 4;
    w.gs.BushouTbl[w.AddBushou(1, 1)].moveShiro = 4;  // another house's
    EXPECT_EQ(MoveBushouLimit(w.gs, 0, 4), 20 - (5 + 2));
}

TEST(SortieChoice, GeneralsOfTheOriginUnderDirectCommandNotYetOrdered) {
    SortieWorld w;
    w.MakeVassal(3, 0);
    const int a = w.AddBushou(0, 0);
    const int corps = w.AddBushou(0, 0, {.gundan = 0});
    const int ordered = w.AddBushou(0, 0);
    const int vassal = w.AddBushou(3, 0);
    w.gs.BushouTbl[ordered].flags |= CBushou::kFlagOrdered;
    EXPECT_THAT(SelectableBushou(w.gs, 0, 0), ElementsAre(w.head, a, vassal));
    (void)corps;

    // A castle the player besieges: his besiegers there.
    const int b1 = w.Besiege(1, 0);
    const int b2 = w.Besiege(1, 0);
    w.gs.BushouTbl[b2].gundan = 0;
    EXPECT_THAT(SelectableBushou(w.gs, 0, 1), ElementsAre(b1));
    EXPECT_TRUE(SelectableBushou(w.gs, 0, -1).empty());
}

TEST(SortieChoice, NoneOrTooManyAreRefused) {
    SortieWorld w;
    struct Case {
        int chosen, limit;
        bool sortie;
        const char* expected;
    };
    const Case cases[] = {
        {0, 20, true, "出陣武将が選択されていません"},
        {0, 20, false, "移動武将が選択されていません"},
        {3, 3, true, ""},
        {4, 3, true, "武将数が多すぎます"},
        {1, 0, true, "武将数が多すぎます"},
        {1, -2, false, "武将数が多すぎます"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckBushouChoice(w.gs, c.chosen, c.limit, c.sortie), c.expected)
            << c.chosen << "/" << c.limit;
}

TEST(SortieOrder, WritesDestinationOriginAndMarks) {
    SortieWorld w;
    const int a = w.AddBushou(0, 0);
    const int b = w.AddBushou(0, 0);
    w.gs.BushouTbl[a].flags = CBushou::kFlagByWater | CBushou::kFlagDeathType2;
    w.gs.BushouTbl[a].sortieOrigin = 4;
    WriteSortieOrder(w.gs, std::vector<int>{a, -1, 999}, 1, false);
    EXPECT_EQ(w.gs.BushouTbl[a].sortieShiro, 1);
    EXPECT_EQ(w.gs.BushouTbl[a].sortieOrigin, 0);
    EXPECT_EQ(w.gs.BushouTbl[a].flags, CBushou::kFlagOrdered | CBushou::kFlagDeathType2);
    EXPECT_EQ(w.gs.BushouTbl[b].sortieShiro, -1);
    EXPECT_EQ(w.gs.BushouTbl[b].flags, 0);

    WriteSortieOrder(w.gs, std::vector<int>{b}, 2, true);
    EXPECT_EQ(w.gs.BushouTbl[b].sortieShiro, 2);
    EXPECT_EQ(w.gs.BushouTbl[b].flags, CBushou::kFlagOrdered | CBushou::kFlagByWater);
}

}  // namespace
}  // namespace rymd::test
