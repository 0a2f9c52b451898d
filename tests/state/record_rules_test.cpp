// Operations on the records: effective house, lookups by id, relation bytes and their words,
// corps orders and provinces, castle troop sums and list removal.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/state/game_state.h"
#include "game/state/records.h"

namespace rymd {
namespace {

// ---------------------------------------------------------------------------------------------
// General

TEST(BushouRules, EffectiveDaimyou) {
    struct Case {
        std::int16_t daimyou;
        std::int16_t origin;
        int expected;
    };
    const Case cases[] = {
        {4, 9, 4},     // a retainer counts for his house
        {-1, 9, -1},   // masterless
        {-2, 9, -2},   // free
        {-3, 7, 7},    // hostage: his house of origin
        {-3, -1, -1},  // hostage: whatever the origin field holds
        {-3, 0, 0},
    };
    for (const auto& c : cases) {
        CBushou b{};
        b.daimyou = c.daimyou;
        b.originDaimyou = c.origin;
        EXPECT_EQ(b.GetEffectiveDaimyou(), c.expected) << c.daimyou << " " << c.origin;
    }
}

class StateTest : public ::testing::Test {
protected:
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();

    int AddBushou(int id, int cavalry = 0, int foot = 0, std::uint16_t flags = 0, int gundan = -1) {
        CBushou& b = gs->BushouTbl[static_cast<std::size_t>(gs->nBushou)];
        b.id = static_cast<std::int16_t>(id);
        b.cavalry = static_cast<std::int16_t>(cavalry);
        b.foot = static_cast<std::int16_t>(foot);
        b.flags = flags;
        b.gundan = static_cast<std::int16_t>(gundan);
        return gs->nBushou++;
    }
};

TEST_F(StateTest, FindBushouIndexById) {
    AddBushou(5);
    AddBushou(-1);  // made during play
    AddBushou(8);
    AddBushou(-1);
    AddBushou(5);
    EXPECT_EQ(FindBushouIndexById(*gs, 5), 0);   // the first one
    EXPECT_EQ(FindBushouIndexById(*gs, -1), 1);  // the first general made during play
    EXPECT_EQ(FindBushouIndexById(*gs, 8), 2);
    EXPECT_EQ(FindBushouIndexById(*gs, 42), -1);
    gs->BushouTbl[10].id = 42;  // past the count: not searched
    EXPECT_EQ(FindBushouIndexById(*gs, 42), -1);
    gs->nBushou = 0;
    EXPECT_EQ(FindBushouIndexById(*gs, 5), -1);
}

TEST_F(StateTest, FindMitoujouBushouIndexById) {
    gs->MitoujouBushouTbl[0].id = 3;
    gs->MitoujouBushouTbl[1].id = 12;
    gs->nMitoujouBushou = 2;
    gs->BushouTbl[0].id = 12;
    gs->nBushou = 1;
    EXPECT_EQ(FindMitoujouBushouIndexById(*gs, 12), 1);
    EXPECT_EQ(FindMitoujouBushouIndexById(*gs, 3), 0);
    EXPECT_EQ(FindMitoujouBushouIndexById(*gs, 4), -1);
    EXPECT_EQ(FindBushouIndexById(*gs, 3), -1);
}

TEST_F(StateTest, LookupsSurviveABadCount) {
    gs->nBushou = 1 << 30;
    gs->nMitoujouBushou = -5;
    EXPECT_EQ(FindBushouIndexById(*gs, 77), -1);
    EXPECT_EQ(FindMitoujouBushouIndexById(*gs, 0), -1);
}

// ---------------------------------------------------------------------------------------------
// House relations

TEST(DaimyouRules, RelationStateAndCountdownShareOneByte) {
    CDaimyou d{};
    d.SetRelationLo(5, 3);
    d.SetRelationHi(5, 12);
    EXPECT_EQ(d.relation[5], 0xC3);
    d.SetRelationLo(5, 2);
    EXPECT_EQ(d.relation[5], 0xC2);
    EXPECT_EQ(d.GetRelationLo(5), 2);
    EXPECT_EQ(d.GetRelationHi(5), 12);
    d.SetRelationHi(5, 15);
    EXPECT_EQ(d.relation[5], 0xF2);
    d.SetRelationLo(5, 0x1A);  // only the low four bits are taken
    EXPECT_EQ(d.relation[5], 0xFA);
    // the other houses' bytes are untouched
    EXPECT_EQ(d.relation[4], 0);
    EXPECT_EQ(d.relation[6], 0);
}

TEST(DaimyouRules, RelationWithAHouseOutsideTheTable) {
    CDaimyou d{};
    d.relation.fill(0x23);
    d.SetRelationLo(-1, 5);
    d.SetRelationHi(1000, 5);
    for (auto b : d.relation)
        ASSERT_EQ(b, 0x23);
    EXPECT_EQ(d.GetRelationLo(-1), CDaimyou::kRelNothing);
    EXPECT_EQ(d.GetRelationHi(1000), CDaimyou::kNoCountdown);
    EXPECT_EQ(d.GetRelationLo(999), 3);
    EXPECT_EQ(d.GetRelationHi(0), 2);
}

TEST(DaimyouRules, RelationWords) {
    const char* const expected[] = {"宿敵",         "---",          "不戦同盟", "従属",
                                    "主家(従属)",   "同主家(従属)", "臣従",     "主家(臣従)",
                                    "同主家(臣従)", "連合",         "連合盟主"};
    for (int s = 0; s <= 10; ++s)
        EXPECT_STREQ(GetRelationWord(s), expected[s]) << s;
    EXPECT_STREQ(GetRelationWord(11), "");
    EXPECT_STREQ(GetRelationWord(15), "");
    EXPECT_STREQ(GetRelationWord(-1), "");
}

TEST(DaimyouRules, KindByteFields) {
    CDaimyou d{};
    d.kindByte = 0x80 | (2 << 4) | 0x08 | 2;
    EXPECT_EQ(d.GetKind(), CDaimyou::kKindRyuukyuu);
    EXPECT_TRUE(d.IsUnattackable());
    EXPECT_EQ(d.GetBehaviour(), CDaimyou::kBehaviourNoAttack);
    EXPECT_TRUE(d.IsNotForPlayer());
    d.kindByte = 1;
    EXPECT_EQ(d.GetKind(), CDaimyou::kKindNormal);
    EXPECT_FALSE(d.IsUnattackable());
    EXPECT_EQ(d.GetBehaviour(), CDaimyou::kBehaviourNormal);
    EXPECT_FALSE(d.IsNotForPlayer());
}

// ---------------------------------------------------------------------------------------------
// Corps

TEST(GundanRules, OrderWords) {
    struct Case {
        std::uint16_t order;
        const char* word;
    };
    const Case cases[] = {
        {0x0000, "待機"},       {0x0001, "侵攻"}, {0x0002, "内政"}, {0x0003, "侵攻・内政"},
        {0x0103, "侵攻・内政"}, {0x0100, "待機"}, {0xFFFE, "内政"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetGundanOrderWord(c.order), c.word) << c.order;
    EXPECT_STREQ(kGundanShoryoukaWord, "侵攻地軍団所領化");
}

TEST_F(StateTest, ShiroInTantouKuniUsesTheCastleProvince) {
    gs->nShiro = 4;
    gs->ShiroMapTbl[0].kuni = 7;
    gs->ShiroMapTbl[1].kuni = 0;
    gs->ShiroMapTbl[2].kuni = 200;
    gs->ShiroMapTbl[3].kuni = 255;
    gs->ShiroMapTbl[4].kuni = 7;  // past the count
    CGundan g{};
    g.tantouKuni = {7, -1, 200, -1};
    EXPECT_TRUE(g.IsShiroInTantouKuni(*gs, 0));
    EXPECT_FALSE(g.IsShiroInTantouKuni(*gs, 1));  // province 0 is not in charge
    EXPECT_TRUE(g.IsShiroInTantouKuni(*gs, 2));
    EXPECT_FALSE(g.IsShiroInTantouKuni(*gs, 3));  // an empty slot matches nothing
    EXPECT_FALSE(g.IsShiroInTantouKuni(*gs, 4));
    EXPECT_FALSE(g.IsShiroInTantouKuni(*gs, -1));
    EXPECT_FALSE(g.IsShiroInTantouKuni(*gs, 10000));
    g.tantouKuni = {-1, -1, -1, -1};
    EXPECT_FALSE(g.IsShiroInTantouKuni(*gs, 0));
}

TEST(GundanRecord, ASlotIsFreeOnlyWhileItsLeaderIsMinusOne) {
    CGundan g{};
    for (auto [leader, free] :
         {std::pair{-1, true}, std::pair{-2, false}, std::pair{0, false}, std::pair{12, false}}) {
        g.leader = leader;
        EXPECT_EQ(g.IsFree(), free) << leader;
    }
}

// ---------------------------------------------------------------------------------------------
// Castle

void Station(CShiro& s, std::vector<int> generals) {
    s.nBushou = static_cast<std::int8_t>(generals.size());
    for (std::size_t i = 0; i < generals.size(); ++i)
        s.bushou[i] = generals[i];
}

void Besiege(CShiro& s, std::vector<int> generals) {
    s.nBesieger = static_cast<std::int8_t>(generals.size());
    for (std::size_t i = 0; i < generals.size(); ++i)
        s.besieger[i] = generals[i];
}

TEST_F(StateTest, DefenderFlaggedNotDefendingDoesNotCount) {
    const int g = AddBushou(1, 10, 0, CBushou::kFlagNotDefending);
    CShiro s{};
    s.shubihei = 5;
    Station(s, {g});
    EXPECT_EQ(s.GetDefenseStrength(*gs), 5);
    EXPECT_EQ(s.GetWeightedDefenseStrength(*gs), 5);
    EXPECT_EQ(s.GetBushouTroops(*gs), 10);  // the plain sum counts every stationed general
}

TEST_F(StateTest, TroopSums) {
    const int a = AddBushou(1, 10, 100, 0, 2);                            // corps 2
    const int b = AddBushou(2, 20, 200, CBushou::kFlagOrdered, 2);        // corps 2, ordered away
    const int c = AddBushou(3, 30, 300, CBushou::kFlagNotDefending, -1);  // direct command
    const int d = AddBushou(4, 40, 400, CBushou::kFlagBesieging, 5);      // a besieger
    const int e = AddBushou(5, 50, 500, 0, 5);
    for (int i = 0; i < 5; ++i)
        gs->BushouTbl[static_cast<std::size_t>(i)].muskets = 999;  // never counted

    CShiro s{};
    s.shubihei = 7;
    Station(s, {a, b, c});
    Besiege(s, {d, e});

    struct Case {
        const char* what;
        int got;
        int expected;
    };
    const Case cases[] = {
        {"defense", s.GetDefenseStrength(*gs), 7 + 110 + 220},
        {"weighted defense", s.GetWeightedDefenseStrength(*gs), 7 + 130 + 260},
        {"stationed troops", s.GetBushouTroops(*gs), 110 + 220 + 330},
        {"corps 2", s.GetBushouTroopsOfGundan(*gs, 2), 110},
        {"-1 takes any corps", s.GetBushouTroopsOfGundan(*gs, -1), 110 + 330},
        {"corps 9", s.GetBushouTroopsOfGundan(*gs, 9), 0},
        {"besieger troops", s.GetBesiegerTroops(*gs), 440 + 550},
        {"besieger strength", s.GetBesiegerStrength(*gs), 520 + 650},
    };
    for (const auto& k : cases)
        EXPECT_EQ(k.got, k.expected) << k.what;
}

TEST_F(StateTest, ListEntriesNamingNoGeneralOnStageAreSkipped) {
    const int a = AddBushou(1, 10, 100);
    gs->BushouTbl[5].cavalry = 1000;  // past the count
    CShiro s{};
    s.bushou.fill(-1);
    Station(s, {a, 5, -1, 40000});
    Besiege(s, {-7, a});
    EXPECT_EQ(s.GetBushouTroops(*gs), 110);
    EXPECT_EQ(s.GetDefenseStrength(*gs), 110);
    EXPECT_EQ(s.GetBesiegerTroops(*gs), 110);
    // A damaged count reads at most the 20 entries there are.
    s.nBushou = 127;
    EXPECT_EQ(s.GetBushouTroops(*gs), 110);
    s.nBushou = -3;
    EXPECT_EQ(s.GetBushouTroops(*gs), 0);
}

TEST(ShiroRules, RemoveBushouKeepsTheOrderOfTheRest) {
    struct Case {
        const char* what;
        std::vector<int> before;
        int remove;
        bool removed;
        std::vector<int> after;
    };
    const std::vector<Case> cases = {
        {"first of three", {4, 8, 2}, 4, true, {8, 2}},
        {"middle", {4, 8, 2}, 8, true, {4, 2}},
        {"last", {4, 8, 2}, 2, true, {4, 8}},
        {"not listed", {4, 8, 2}, 5, false, {4, 8, 2}},
        {"only the first of twice", {3, 6, 3}, 3, true, {6, 3}},
        {"empty list", {}, 0, false, {}},
        {"the only one", {0}, 0, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int list = 0; list < 2; ++list) {
            CShiro s{};
            if (list == 0)
                Station(s, c.before);
            else
                Besiege(s, c.before);
            const CShiro untouched = s;
            const bool got = list == 0 ? s.RemoveBushou(c.remove) : s.RemoveBesieger(c.remove);
            EXPECT_EQ(got, c.removed);
            const auto& entries = list == 0 ? s.bushou : s.besieger;
            const int n = list == 0 ? s.nBushou : s.nBesieger;
            ASSERT_EQ(n, static_cast<int>(c.after.size()));
            for (int i = 0; i < n; ++i)
                EXPECT_EQ(entries[static_cast<std::size_t>(i)], c.after[static_cast<std::size_t>(i)]);
            // the other list is untouched
            if (list == 0) {
                EXPECT_EQ(s.nBesieger, untouched.nBesieger);
            } else {
                EXPECT_EQ(s.nBushou, untouched.nBushou);
            }
        }
    }
}

TEST(ShiroRules, RemoveFromAFullList) {
    CShiro s{};
    std::vector<int> all;
    for (int i = 0; i < 20; ++i)
        all.push_back(100 + i);
    Station(s, all);
    EXPECT_TRUE(s.RemoveBushou(119));
    EXPECT_EQ(s.nBushou, 19);
    EXPECT_TRUE(s.RemoveBushou(100));
    EXPECT_EQ(s.nBushou, 18);
    EXPECT_EQ(s.bushou[0], 101);
    EXPECT_EQ(s.bushou[17], 118);
    // An entry past the count is not listed.
    s.bushou[18] = 555;
    EXPECT_FALSE(s.RemoveBushou(555));
}

}  // namespace
}  // namespace rymd
