// The state invariant check: a small legal state passes, and each invariant broken once is the
// one reported.
#include "game/state/invariants.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "game/state/access.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Three castles, two houses. House 0 holds castles 0 and 2 with its head, general 0, at castle
// 0; house 1 holds castle 1 through corps 0, led by general 1, and besieges castle 2 with
// general 2; general 3 is masterless at castle 2 and general 4 a hostage. One fleet of house 0
// lies at castle 0; one coalition of house 1 stands against house 0.
struct LegalState : TestWorld {
    LegalState() : TestWorld({.castles = 3, .houses = 2}) {
        Own(1, 1);
        DaimyouAt(gs, 0).toushu = AddBushou(0, 0, {.foot = 10, .cavalry = 1});
        CGundan& corps = GundanAt(gs, 0);
        corps.daimyou = 1;
        corps.leader = AddBushou(1, 1, {.foot = 10, .cavalry = 1, .gundan = 0});
        DaimyouAt(gs, 1).toushu = -2;  // between heads
        ShiroAt(gs, 1).gundan = 0;
        ShiroAt(gs, 1).commander = static_cast<std::int16_t>(corps.leader);
        const int besieger = AddBushou(1, -1, {.foot = 20, .cavalry = 2});
        BushouAt(gs, besieger).shiro = 2;
        BushouAt(gs, besieger).flags = CBushou::kFlagBesieging;
        CShiro& castle2 = ShiroAt(gs, 2);
        castle2.besieger[0] = besieger;
        castle2.nBesieger = 1;
        castle2.besiegerDaimyou = 1;
        AddBushou(CBushou::kDaimyouRounin, 2);
        const int hostage = AddBushou(CBushou::kDaimyouHitojichi, -1);
        BushouAt(gs, hostage).originDaimyou = 1;
        gs.GunsenTable.AddGunsen(0, 0, 3);
        gs.nRengou = 1;
        gs.RengouTbl[0].target = 0;
        gs.RengouTbl[0].nMember = 1;
        gs.RengouTbl[0].member[0] = 1;
    }
};

TEST(Invariants, ALegalStateReportsNothing) {
    LegalState w;
    GameState& gs = w.gs;
    EXPECT_EQ(FindBrokenInvariant(gs), std::nullopt);
    // A house out of play (head -1) keeps whatever its other fields held.
    DaimyouAt(gs, 1).toushu = -1;
    DaimyouAt(gs, 1).masterDaimyou = 999;
    GundanAt(gs, 0).leader = CGundan::kLeaderFree;
    GundanAt(gs, 0).daimyou = -1;
    ShiroAt(gs, 1).gundan = -1;
    EXPECT_EQ(FindBrokenInvariant(gs), std::nullopt);
}

// A general of a house may wait at a castle of his side without a place in its list: the last
// resort of placement leaves him at a full castle, and he keeps waiting there when room opens, or
// when his house becomes a vassal and its castles count for the master, until the month start
// lists him again. At a castle of another side he must be listed.
TEST(Invariants, AGeneralMayWaitUnlistedOnlyAtACastleOfHisSide) {
    const struct {
        const char* what;
        std::function<void(LegalState&, int extra)> arrange;
        bool broken;
    } cases[] = {
        {"at a full castle, every castle of his side full", [](LegalState&, int) {}, false},
        {"at a full castle, room at another castle of his side",
         [](LegalState& w, int) {
             CShiro& c = ShiroAt(w.gs, 2);
             BushouAt(w.gs, c.bushou[--c.nBushou]).daimyou = CBushou::kDaimyouRounin;
         },
         false},
        {"at his castle after a general has left it",
         [](LegalState& w, int) {
             CShiro& c = ShiroAt(w.gs, 0);
             BushouAt(w.gs, c.bushou[--c.nBushou]).daimyou = CBushou::kDaimyouRounin;
         },
         false},
        {"at his castle after his house became the vassal of the house with room",
         [](LegalState& w, int) {
             CDaimyou& vassal = DaimyouAt(w.gs, 0);
             vassal.bond = CDaimyou::kBondShinjuu;
             vassal.masterDaimyou = 1;
             vassal.SetRelationLo(1, CDaimyou::kRelShinjuu);
             DaimyouAt(w.gs, 1).SetRelationLo(0, CDaimyou::kRelShinjuuMaster);
         },
         false},
        {"at a castle of another side", [](LegalState& w, int extra) { BushouAt(w.gs, extra).shiro = 1; },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LegalState w;
        GameState& gs = w.gs;
        for (int castle : {0, 2})
            while (ShiroAt(gs, castle).nBushou < CShiro::kMaxBushou)
                w.AddBushou(0, castle, {.foot = 1});
        const int extra = w.AddBushou(0, -1, {.foot = 1});
        BushouAt(gs, extra).shiro = 0;
        c.arrange(w, extra);
        const auto fault = FindBrokenInvariant(gs);
        if (c.broken) {
            ASSERT_TRUE(fault.has_value());
            EXPECT_EQ(*fault, "general " + std::to_string(extra) +
                                  ": stays at castle 1 of another side but is not listed there");
        } else {
            EXPECT_EQ(fault, std::nullopt);
        }
    }
}

TEST(Invariants, EachBrokenInvariantIsReported) {
    struct Case {
        const char* what;
        std::function<void(GameState&)> breakIt;
        const char* message;  // the start of the expected report
    };
    const Case cases[] = {
        {"castle count", [](GameState& gs) { gs.nShiro = GameState::kMaxShiro + 1; }, "castles: count 10001"},
        {"general count", [](GameState& gs) { gs.nBushou = -1; }, "generals: count -1"},
        {"fleet count", [](GameState& gs) { gs.GunsenTable.count = CGunsenTable::kMaxRecord + 1; },
         "fleets: count 5001"},
        {"conditional events", [](GameState& gs) { gs.nConditionalEvent = 2; },
         "conditional events: count 2 but 0 held"},
        {"head out of range", [](GameState& gs) { DaimyouAt(gs, 0).toushu = 5; },
         "house 0: head 5 is not a general"},
        {"head of another house", [](GameState& gs) { DaimyouAt(gs, 0).toushu = 1; },
         "house 0: head 1 serves house 1"},
        {"master", [](GameState& gs) { DaimyouAt(gs, 1).masterDaimyou = 2; },
         "house 1: master 2 is not a house"},
        {"corps leader", [](GameState& gs) { GundanAt(gs, 0).leader = 7; },
         "corps 0: leader 7 is not a general"},
        {"corps owner gone", [](GameState& gs) { DaimyouAt(gs, 1).toushu = -1; },
         "corps 0: owner 1 is not a house in play"},
        {"castle owner", [](GameState& gs) { ShiroAt(gs, 2).daimyou = 2; },
         "castle 2: owner 2 is not a house"},
        {"castle corps free", [](GameState& gs) { ShiroAt(gs, 0).gundan = 1; },
         "castle 0: corps 1 is not a corps in use"},
        {"castle corps of another house", [](GameState& gs) { ShiroAt(gs, 0).gundan = 0; },
         "castle 0: corps 0 belongs to house 1"},
        {"castle lord", [](GameState& gs) { ShiroAt(gs, 0).commander = 5; },
         "castle 0: lord 5 is not a general"},
        {"besieging house", [](GameState& gs) { ShiroAt(gs, 2).besiegerDaimyou = -5; },
         "castle 2: besieging house -5"},
        {"blockading house", [](GameState& gs) { ShiroAt(gs, 0).blockadeDaimyou = 2; },
         "castle 0: blockading house 2"},
        {"stationed count", [](GameState& gs) { ShiroAt(gs, 0).nBushou = 21; },
         "castle 0: stationed count 21 outside 0..20"},
        {"stationed entry", [](GameState& gs) { ShiroAt(gs, 0).bushou[0] = 9; },
         "castle 0: stationed entry 0 (9) is not a general"},
        {"arrival entry",
         [](GameState& gs) {
             ShiroAt(gs, 1).nArrival = 1;
             ShiroAt(gs, 1).arrival[0] = -1;
         },
         "castle 1: arrival entry 0 (-1) is not a general"},
        {"listed twice in one list",
         [](GameState& gs) {
             CShiro& c = ShiroAt(gs, 0);
             c.bushou[c.nBushou++] = 0;
         },
         "castle 0: general 0 is listed twice"},
        {"stationed and besieging",
         [](GameState& gs) {
             CShiro& c = ShiroAt(gs, 2);
             c.bushou[c.nBushou++] = 2;
         },
         "castle 2: general 2 is listed twice"},
        {"listed in two castles",
         [](GameState& gs) {
             CShiro& c = ShiroAt(gs, 1);
             c.bushou[c.nBushou++] = 0;
         },
         "castle 1: general 0 is listed twice (also at castle 0)"},
        {"listed away from his castle", [](GameState& gs) { BushouAt(gs, 3).shiro = 0; },
         "castle 2: listed general 3 stays at castle 0"},
        {"in service at a castle of another side but not listed",
         [](GameState& gs) {
             ShiroAt(gs, 0).nBushou = 0;
             BushouAt(gs, 0).shiro = 1;
         },
         "general 0: stays at castle 1 of another side but is not listed there"},
        // A castle's values and their bounds (the first: a maximum pulled below 0 with its value).
        {"economy below 0",
         [](GameState& gs) {
             ShiroMapAt(gs, 1).maxKeizai = -32768;
             ShiroAt(gs, 1).keizai = -32768;
         },
         "castle 1: economy -32768 outside 0..-32768"},
        {"economy above its maximum",
         [](GameState& gs) {
             ShiroMapAt(gs, 1).maxKeizai = 300;
             ShiroAt(gs, 1).keizai = 301;
         },
         "castle 1: economy 301 outside 0..300"},
        {"maximum mine below 0", [](GameState& gs) { ShiroMapAt(gs, 0).maxKouzan = -1; },
         "castle 0: mine 0 outside 0..-1"},
        {"rice yield above its maximum",
         [](GameState& gs) {
             ShiroMapAt(gs, 2).maxKokudaka = 5000;
             ShiroAt(gs, 2).kokudaka = 5001;
         },
         "castle 2: rice yield 5001 outside 0..5000"},
        {"maximum rice yield beyond a scenario's",
         [](GameState& gs) { ShiroMapAt(gs, 2).maxKokudaka = 1u << 31; },
         "castle 2: maximum rice yield 2147483648 outside 0..2147483647"},
        {"size", [](GameState& gs) { ShiroAt(gs, 0).kibo = 11; }, "castle 0: size 11 outside 0..10"},
        {"support", [](GameState& gs) { ShiroAt(gs, 0).support = 1001; },
         "castle 0: populace support 1001 outside 0..1000"},
        {"garrison below 0", [](GameState& gs) { ShiroAt(gs, 0).shubihei = -1; }, "castle 0: garrison -1"},
        {"trade ships", [](GameState& gs) { ShiroAt(gs, 0).kouekisen = 101; },
         "castle 0: trade ships 101 outside 0..100"},
        {"general's house", [](GameState& gs) { BushouAt(gs, 4).daimyou = -4; }, "general 4: house -4"},
        {"general's castle", [](GameState& gs) { BushouAt(gs, 4).shiro = 3; },
         "general 4: castle 3 is not a castle"},
        {"general's corps", [](GameState& gs) { BushouAt(gs, 4).gundan = GameState::kMaxGundan; },
         "general 4: corps 100 is not a corps slot"},
        {"fleet owner", [](GameState& gs) { gs.GunsenTable.records[0].owner = 2; }, "fleet 0: owner 2"},
        {"fleet castle", [](GameState& gs) { gs.GunsenTable.records[0].shiro = -1; }, "fleet 0: castle -1"},
        {"fleet destination", [](GameState& gs) { gs.GunsenTable.records[0].destination = 3; },
         "fleet 0: destination 3"},
        {"coalition target", [](GameState& gs) { gs.RengouTbl[0].target = -1; }, "coalition 0: target -1"},
        {"coalition members", [](GameState& gs) { gs.RengouTbl[0].nMember = 43; },
         "coalition 0: member count 43"},
        {"coalition member", [](GameState& gs) { gs.RengouTbl[0].member[0] = 2; }, "coalition 0: member 2"},
    };
    for (const Case& c : cases) {
        LegalState w;
        GameState& gs = w.gs;
        c.breakIt(gs);
        const std::optional<std::string> got = FindBrokenInvariant(gs);
        ASSERT_TRUE(got.has_value()) << c.what;
        EXPECT_EQ(got->rfind(c.message, 0), 0u) << c.what << ": " << *got;
    }
}

}  // namespace
}  // namespace rymd
