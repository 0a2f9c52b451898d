#include "game/state/gundan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "support/invariant_check.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// House 0 (the player) with its head and two retainers, house 1 a vassal of house 0 with its
// head, a retainer and a guest general; house 2 a stranger. Castles 0-3 of house 0 lie in
// provinces 0-3, castle 4 (province 0) of the vassal, castle 5 (province 1) of the stranger.
struct GundanWorld {
    TestWorld w{{.castles = 6, .houses = 3, .soldierUnit = 10}};
    GameState& gs = w.gs;
    int head = -1, retainer = -1, retainer2 = -1, vassalHead = -1, vassalRetainer = -1, guest = -1,
        stranger = -1;

    GundanWorld() {
        w.Own(4, 1);
        w.Own(5, 2);
        w.MakeVassal(1, 0);
        head = w.AddBushou(0, 0);
        retainer = w.AddBushou(0, 1);
        retainer2 = w.AddBushou(0, 2);
        vassalHead = w.AddBushou(1, 4);
        vassalRetainer = w.AddBushou(1, 4);
        guest = w.AddBushou(1, 4);
        stranger = w.AddBushou(2, 5);
        gs.BushouTbl[guest].status = CBushou::kStatusKyakushou;
        gs.DaimyouTbl[0].toushu = head;
        gs.DaimyouTbl[1].toushu = vassalHead;
        gs.DaimyouTbl[2].toushu = stranger;
        for (int c = 0; c < 4; ++c)
            gs.ShiroTbl[c].commander = static_cast<std::int16_t>(head);
        // Provinces 0-1-2-3 in a row by their castles.
        w.Link(0, 1);
        w.Link(1, 2);
        w.Link(2, 3);
        EXPECT_TRUE(Holds("at the start"));
    }
    bool Holds(const std::string& when) const { return test::ExpectInvariantsHold(gs, when); }
    CGundan& Corps(int k) { return gs.GundanTbl[k]; }
    int Form(int leader) {
        int k = -1;
        const std::vector<int> chosen{leader};
        EXPECT_TRUE(AppointGundanchou(gs, 0, chosen, &k).changed);
        return k;
    }
};

TEST(GundanFormation, AppointingALeaderChecksInOrder) {
    enum { kNone, kTwo, kHead, kRetainer, kVassalHead, kVassalRetainer, kGuest, kStranger, kInCorps, kDead };
    const struct {
        const char* what;
        int who;
        std::string message;
        bool formed;
    } cases[] = {
        {"two rows", kTwo, kGundanOneAtATime, false},
        {"no row", kNone, "", false},
        {"the head", kHead, kGundanHeadNotLeader, false},
        {"a vassal's head", kVassalHead, kGundanVassalNotLeader, false},
        {"a vassal's retainer", kVassalRetainer, kGundanVassalNotLeader, false},
        {"a guest of a vassal house", kGuest, "", true},
        {"a retainer", kRetainer, "", true},
        {"another house's general", kStranger, "", false},
        {"one who joined a corps meanwhile", kInCorps, "", false},
        {"one who died meanwhile", kDead, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GundanWorld t;
        std::vector<int> chosen;
        switch (c.who) {
            case kTwo: chosen = {t.retainer, t.retainer2}; break;
            case kHead: chosen = {t.head}; break;
            case kRetainer: chosen = {t.retainer}; break;
            case kVassalHead: chosen = {t.vassalHead}; break;
            case kVassalRetainer: chosen = {t.vassalRetainer}; break;
            case kGuest: chosen = {t.guest}; break;
            case kStranger: chosen = {t.stranger}; break;
            case kInCorps:
                chosen = {t.retainer};
                t.w.AddGundan(0, t.retainer2);
                t.gs.BushouTbl[t.retainer].gundan = 0;
                break;
            case kDead:
                chosen = {t.retainer};
                t.gs.BushouTbl[t.retainer].daimyou = -1;
                break;
            default: break;
        }
        const int before = static_cast<int>(ListGundanOfDaimyou(t.gs, 0).size());
        int created = -1;
        const GundanOutcome out = AppointGundanchou(t.gs, 0, chosen, &created);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(out.changed, c.formed);
        EXPECT_EQ(static_cast<int>(ListGundanOfDaimyou(t.gs, 0).size()), before + (c.formed ? 1 : 0));
        if (c.formed) {
            const CGundan& k = t.Corps(created);
            EXPECT_EQ(k.leader, chosen.front());
            EXPECT_EQ(k.daimyou, 0);
            EXPECT_EQ(k.shikin, 0);
            EXPECT_EQ(k.teppou, 0);
            EXPECT_EQ(k.order, 0);
            EXPECT_EQ(k.tantouKuni, (std::array<std::int16_t, 4>{-1, -1, -1, -1}));
            EXPECT_EQ(t.gs.BushouTbl[chosen.front()].gundan, created);
            // He stays where he was and the corps holds no castle.
            EXPECT_EQ(t.gs.BushouTbl[chosen.front()].shiro, chosen.front() == t.guest ? 4 : 1);
            EXPECT_EQ(CountShiroOfGundan(t.gs, 0, created), 0);
        }
        t.Holds(c.what);
    }
}

TEST(GundanFormation, TheHundredAndFirstCorpsIsRefusedAndAFreedSlotIsReusedFirst) {
    GundanWorld t;
    for (int k = 0; k < GameState::kMaxGundan; ++k) {
        t.Corps(k).leader = t.stranger;  // every slot used, by all houses together
        t.Corps(k).daimyou = 2;
    }
    const std::vector<int> chosen{t.retainer};
    EXPECT_EQ(AppointGundanchou(t.gs, 0, chosen).message, kGundanTooMany);
    EXPECT_EQ(t.gs.BushouTbl[t.retainer].gundan, -1);
    DisbandGundan(t.gs, 57);
    DisbandGundan(t.gs, 80);
    int created = -1;
    EXPECT_TRUE(AppointGundanchou(t.gs, 0, chosen, &created).changed);
    EXPECT_EQ(created, 57);
}

TEST(GundanFormation, AddingMembersSkipsTheHeadButTakesAVassalsHead) {
    GundanWorld t;
    const std::vector<int> some{t.retainer2};
    EXPECT_EQ(AddGundanMembers(t.gs, 0, -1, some).message, kGundanNoneYet);
    const int k = t.Form(t.retainer);
    EXPECT_EQ(AddGundanMembers(t.gs, 0, -1, some).message, kGundanChooseFirst);
    EXPECT_EQ(AddGundanMembers(t.gs, 0, k, {}).message, "");
    const std::vector<int> chosen{t.head, t.retainer2, t.vassalHead, t.vassalRetainer};
    const GundanOutcome out = AddGundanMembers(t.gs, 0, k, chosen);
    EXPECT_TRUE(out.changed);
    EXPECT_EQ(out.message, "当主は軍団には編入できません\n（臣従大名家当主は可能）");
    EXPECT_EQ(t.gs.BushouTbl[t.head].gundan, -1);
    EXPECT_EQ(ListGundanMembers(t.gs, 0, k),
              (std::vector<int>{t.retainer, t.retainer2, t.vassalHead, t.vassalRetainer}));
    EXPECT_EQ(ListDirectBushou(t.gs, 0), (std::vector<int>{t.head, t.guest}));
    t.Holds("after adding");
    // A corps dissolved while the list still showed it.
    DisbandGundan(t.gs, k);
    EXPECT_EQ(AddGundanMembers(t.gs, 0, k, some).message, kGundanNoneYet);
}

TEST(GundanFormation, ReturningTheLeaderAsksOnceAndDissolvesTheCorps) {
    GundanWorld t;
    const int k = t.Form(t.retainer);
    const std::vector<int> members{t.retainer2, t.vassalRetainer};
    AddGundanMembers(t.gs, 0, k, members);
    t.Corps(k).shikin = 300;
    t.Corps(k).teppou = 7;
    t.gs.DaimyouTbl[0].shikin = 1000;
    t.gs.DaimyouTbl[0].teppou = 3;
    ASSERT_TRUE(ToggleGundanShoryou(t.gs, 0, k, 2));
    std::vector<std::string> asked;
    bool answer = false;
    auto confirm = [&](const std::string& q) {
        asked.push_back(q);
        return answer;
    };
    // Only ordinary members: no question, the corps stays.
    const std::vector<int> one{t.vassalRetainer};
    EXPECT_TRUE(ReturnGundanMembers(t.gs, 0, k, one, confirm).changed);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(t.gs.BushouTbl[t.vassalRetainer].gundan, -1);
    // With the leader, cancelled: nothing.
    const std::vector<int> withLeader{t.retainer2, t.retainer};
    EXPECT_FALSE(ReturnGundanMembers(t.gs, 0, k, withLeader, confirm).changed);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(
        asked[0],
        "軍団を解体します\n\n（軍団資金は大名家資金に統合されます）\n（軍団所領の城は大名直轄に戻されます）");
    EXPECT_EQ(t.gs.BushouTbl[t.retainer2].gundan, k);
    // OK: everything goes back to the house.
    answer = true;
    EXPECT_TRUE(ReturnGundanMembers(t.gs, 0, k, withLeader, confirm).changed);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_TRUE(t.Corps(k).IsFree());
    EXPECT_EQ(t.gs.DaimyouTbl[0].shikin, 1300);
    EXPECT_EQ(t.gs.DaimyouTbl[0].teppou, 10);
    EXPECT_EQ(t.gs.ShiroTbl[2].gundan, -1);
    EXPECT_EQ(t.gs.ShiroTbl[2].commander, t.head);
    EXPECT_TRUE(ListGundanMembers(t.gs, 0, k).empty());
    t.Holds("after dissolving");
}

TEST(GundanFief, OnlyTheHousesOwnFreeOrOwnCastlesToggle) {
    GundanWorld t;
    const int a = t.Form(t.retainer);
    const int b = t.Form(t.retainer2);
    EXPECT_TRUE(ToggleGundanShoryou(t.gs, 0, a, 3));
    EXPECT_EQ(t.gs.ShiroTbl[3].gundan, a);
    EXPECT_EQ(t.gs.ShiroTbl[3].commander, t.retainer);
    EXPECT_FALSE(ToggleGundanShoryou(t.gs, 0, b, 3));  // another corps' castle stays
    EXPECT_EQ(t.gs.ShiroTbl[3].gundan, a);
    EXPECT_FALSE(ToggleGundanShoryou(t.gs, 0, a, 4));  // the vassal's castle does not qualify
    EXPECT_FALSE(ToggleGundanShoryou(t.gs, 0, a, 5));
    EXPECT_FALSE(ToggleGundanShoryou(t.gs, 0, a, 99));
    t.gs.ShiroTbl[3].commander = static_cast<std::int16_t>(t.retainer2);  // whoever the lord was
    EXPECT_TRUE(ToggleGundanShoryou(t.gs, 0, a, 3));
    EXPECT_EQ(t.gs.ShiroTbl[3].gundan, -1);
    EXPECT_EQ(t.gs.ShiroTbl[3].commander, t.head);
    t.Holds("after the fief");
    // The last fief castle falls: the corps goes on without land.
    EXPECT_TRUE(ToggleGundanShoryou(t.gs, 0, a, 1));
    t.w.Own(1, 2);
    t.gs.ShiroTbl[1].commander = static_cast<std::int16_t>(t.stranger);
    EXPECT_EQ(CountShiroOfGundan(t.gs, 0, a), 0);
    EXPECT_FALSE(ToggleGundanShoryou(t.gs, 0, a, 1));
    EXPECT_FALSE(t.Corps(a).IsFree());
}

TEST(GundanOrders, TheRadioSetsTwoBitsAndTheBoxRewritesTheHighByte) {
    GundanWorld t;
    const int k = t.Form(t.retainer);
    constexpr int kBoxOff = -1, kBoxOn = -2;
    const struct {
        std::uint16_t before;
        int index;  // a radio index, or the box
        std::uint16_t after;
    } cases[] = {
        {0x0000, 1, 0x0001},      {0x0103, 2, 0x0102},       {0x0F02, 0, 0x0F00}, {0x0F02, 3, 0x0F03},
        {0x0F42, kBoxOn, 0x0142}, {0x0F42, kBoxOff, 0x0042}, {0x0001, 4, 0x0001},  // outside the group:
                                                                                   // nothing
    };
    for (const auto& c : cases) {
        t.Corps(k).order = c.before;
        if (c.index >= 0)
            SetGundanOrderIndex(t.gs, k, c.index);
        else
            SetGundanShoryouka(t.gs, k, c.index == kBoxOn);
        EXPECT_EQ(t.Corps(k).order, c.after) << std::hex << c.before << " " << c.index;
    }
}

TEST(GundanTantouKuni, AddingChecksOtherCorpsAdjacencyAndRoom) {
    GundanWorld t;
    const int a = t.Form(t.retainer);
    const int b = t.Form(t.retainer2);
    const struct {
        int gundan, kuni;
        std::string message;
        std::array<std::int16_t, 4> after;
    } steps[] = {
        {a, 2, "", {2, -1, -1, -1}},  // the first may be any province
        {a, 0, kGundanKuniNotAdjacent, {2, -1, -1, -1}},
        {a, 1, "", {2, 1, -1, -1}},
        {b, 1, kGundanKuniTaken, {-1, -1, -1, -1}},  // adjacent, but another corps'
        {b, 0, "", {0, -1, -1, -1}},
        {a, 0, kGundanKuniTaken, {2, 1, -1, -1}},
        {a, 3, "", {2, 1, 3, -1}},
        {a, -1, "", {2, 1, 3, -1}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.kuni);
        EXPECT_EQ(ToggleTantouKuni(t.gs, 0, s.gundan, s.kuni).message, s.message);
        EXPECT_EQ(t.Corps(s.gundan).tantouKuni, s.after);
    }
    // Five provinces: the fifth is refused for want of room.
    GundanWorld u;
    u.gs.nKuni = 6;
    const int c = u.Form(u.retainer);
    u.Corps(c).tantouKuni = {0, 1, 2, 3};
    u.gs.ShiroMapTbl[5].kuni = 5;
    u.w.Own(5, 0);
    u.w.Link(3, 5);
    EXPECT_EQ(ToggleTantouKuni(u.gs, 0, c, 5).message, kGundanKuniFull);
    // No corps chosen: nothing.
    EXPECT_FALSE(ToggleTantouKuni(u.gs, 0, -1, 1).changed);
    u.Holds("after the provinces");
}

TEST(GundanTantouKuni, ReleasingTheLinkPrunesWhatIsLeftAlone) {
    const struct {
        const char* what;
        std::array<std::int16_t, 4> before;
        int release;
        std::array<std::int16_t, 4> after;
    } cases[] = {
        // 0-1-2-3 in a row: releasing 1 leaves 0 alone (pruned) and 2-3 together.
        {"the link of a row", {0, 1, 2, 3}, 1, {-1, -1, 2, 3}},
        // 2 linked 1 and 3: both left alone; the scan from the last takes 3, 1 stays alone.
        {"the middle of three", {1, 2, 3, -1}, 2, {1, -1, -1, -1}},
        {"an end", {1, 2, 3, -1}, 3, {1, 2, -1, -1}},
        {"the last one", {-1, 2, -1, -1}, 2, {-1, -1, -1, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GundanWorld t;
        const int k = t.Form(t.retainer);
        t.Corps(k).tantouKuni = c.before;
        EXPECT_TRUE(ToggleTantouKuni(t.gs, 0, k, c.release).changed);
        EXPECT_EQ(t.Corps(k).tantouKuni, c.after);
    }
}

TEST(GundanAssets, TransfersCheckTheStockFirstAndCutToIt) {
    enum Kind { kGive, kCollect, kTeppou };
    const struct {
        const char* what;
        Kind kind;
        int gundan;  // -1 none chosen
        std::int32_t houseFunds, corpsFunds, houseTeppou;
        int amount;
        std::string message;
        std::int32_t houseFundsAfter, corpsFundsAfter, houseTeppouAfter, corpsTeppouAfter;
    } cases[] = {
        {"give, no corps", kGive, -1, 500, 0, 0, 10, kGundanSelect, 500, 0, 0, 0},
        {"give, empty house", kGive, 0, 0, 0, 0, 0, kGundanHouseNoFunds, 0, 0, 0, 0},
        {"give, negative", kGive, 0, 500, 0, 0, -1, kGundanNegative, 500, 0, 0, 0},
        {"give 0", kGive, 0, 500, 0, 0, 0, "", 500, 0, 0, 0},
        {"give more than held", kGive, 0, 500, 20, 0, 900, "", 0, 520, 0, 0},
        {"collect, empty corps", kCollect, 0, 500, 0, 0, 0, kGundanNoFunds, 500, 0, 0, 0},
        {"collect, negative", kCollect, 0, 500, 50, 0, -5, kGundanNegative, 500, 50, 0, 0},
        {"collect more than held", kCollect, 0, 500, 50, 0, 80, "", 550, 0, 0, 0},
        {"muskets, empty stock refuses even 0", kTeppou, 0, 0, 0, 0, 0, "大名家の未配備鉄砲がありません", 0,
         0, 0, 0},
        {"muskets, negative", kTeppou, 0, 0, 0, 200, -10, kGundanNegative, 0, 0, 200, 0},
        {"muskets, 25 with a unit of 10", kTeppou, 0, 0, 0, 200, 25, "10の倍数で指定してください", 0, 0, 200,
         0},
        {"muskets, 30", kTeppou, 0, 0, 0, 200, 30, "", 0, 0, 197, 3},
        {"muskets, 30000 with 200 held", kTeppou, 0, 0, 0, 200, 30000, "", 0, 0, 0, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GundanWorld t;
        const int k = t.Form(t.retainer);
        ASSERT_EQ(k, 0);
        t.gs.DaimyouTbl[0].shikin = c.houseFunds;
        t.gs.DaimyouTbl[0].teppou = c.houseTeppou;
        t.Corps(k).shikin = c.corpsFunds;
        const int g = c.gundan < 0 ? -1 : k;
        const GundanOutcome out = c.kind == kGive      ? GiveGundanFunds(t.gs, 0, g, c.amount)
                                  : c.kind == kCollect ? CollectGundanFunds(t.gs, 0, g, c.amount)
                                                       : GiveGundanTeppou(t.gs, 0, g, c.amount);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(out.changed, c.message.empty());
        EXPECT_EQ(t.gs.DaimyouTbl[0].shikin, c.houseFundsAfter);
        EXPECT_EQ(t.Corps(k).shikin, c.corpsFundsAfter);
        EXPECT_EQ(t.gs.DaimyouTbl[0].teppou, c.houseTeppouAfter);
        EXPECT_EQ(t.Corps(k).teppou, c.corpsTeppouAfter);
        t.Holds(c.what);
    }
}

// Near the top of the range the receiver takes what it can still hold; the rest stays with the
// giver, and nothing is lost on the way.
TEST(GundanAssets, TransfersMoveOnlyWhatTheReceiverCanHold) {
    enum Kind { kGive, kCollect, kTeppou };
    constexpr std::int32_t kTop = INT32_MAX;
    const struct {
        const char* what;
        Kind kind;
        int amount;
        std::int32_t house, corps;            // funds, or undeployed muskets in units
        std::int32_t houseAfter, corpsAfter;  // the same after the transfer
    } cases[] = {
        {"collect 30 into a full house", kCollect, 30, kTop, 500, kTop, 500},
        {"collect 30 into a house 10 below the top", kCollect, 30, kTop - 10, 500, kTop, 490},
        {"give 30 to a corps 10 below the top", kGive, 30, 500, kTop - 10, 490, kTop},
        {"give every musket to a corps 5 units below the top", kTeppou, 2000, 200, kTop - 5, 195, kTop},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GundanWorld t;
        const int k = t.Form(t.retainer);
        CDaimyou& house = t.gs.DaimyouTbl[0];
        CGundan& corps = t.Corps(k);
        std::int32_t& houseStock = c.kind == kTeppou ? house.teppou : house.shikin;
        std::int32_t& corpsStock = c.kind == kTeppou ? corps.teppou : corps.shikin;
        houseStock = c.house;
        corpsStock = c.corps;
        const GundanOutcome out = c.kind == kGive      ? GiveGundanFunds(t.gs, 0, k, c.amount)
                                  : c.kind == kCollect ? CollectGundanFunds(t.gs, 0, k, c.amount)
                                                       : GiveGundanTeppou(t.gs, 0, k, c.amount);
        EXPECT_TRUE(out.changed);
        EXPECT_EQ(houseStock, c.houseAfter);
        EXPECT_EQ(corpsStock, c.corpsAfter);
    }
}

TEST(GundanLists, RowTextsAndTheOrderOfTheLists) {
    GundanWorld t;
    const int a = t.Form(t.retainer2);  // slot 0, leader with the higher index
    const int b = t.Form(t.retainer);   // slot 1
    EXPECT_EQ(ListGundanOfDaimyou(t.gs, 0), (std::vector<int>{a, b}));
    EXPECT_EQ(ListGundanByLeader(t.gs, 0), (std::vector<int>{b, a}));
    const std::vector<int> member{t.vassalRetainer};
    AddGundanMembers(t.gs, 0, a, member);
    ToggleGundanShoryou(t.gs, 0, a, 2);
    ToggleGundanShoryou(t.gs, 0, a, 3);
    t.gs.ShiroTbl[2].kokudaka = 123456;
    t.Corps(a).shikin = 77;
    t.Corps(a).teppou = 4;
    SetGundanOrderIndex(t.gs, a, 3);
    ToggleTantouKuni(t.gs, 0, a, 2);
    ToggleTantouKuni(t.gs, 0, a, 3);
    const GundanRowTexts r = MakeGundanRowTexts(t.gs, a, [](int k) { return "国" + std::to_string(k); });
    EXPECT_EQ(r.name, "将2 軍団");
    EXPECT_EQ(r.bushou, "2");
    EXPECT_EQ(r.funds, "77");
    EXPECT_EQ(r.teppou, "40");
    EXPECT_EQ(r.shiro, "2");
    EXPECT_EQ(r.kokudaka, "13万3456石");
    EXPECT_EQ(r.order, "侵攻・内政");
    EXPECT_EQ(r.kuni, "国2・国3");
}

}  // namespace
}  // namespace rymd
