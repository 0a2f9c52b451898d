#include "game/state/bushou_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Every place that holds a general index, read as the name of the general it names ("" for
// a negative value, "?" for an index outside the table).
std::vector<std::string> References(const GameState& gs) {
    std::vector<std::string> refs;
    auto name = [&](int g) {
        if (g < 0) return std::to_string(g);
        if (g >= gs.nBushou) return std::string("?");
        return gs.BushouTbl[static_cast<std::size_t>(g)].name;
    };
    for (int c = 0; c < gs.nShiro; ++c) {
        for (const CShiro* s :
             {&gs.ShiroTbl[static_cast<std::size_t>(c)], &gs.ShiroSnapTbl[static_cast<std::size_t>(c)]}) {
            refs.push_back("commander " + name(s->commander));
            for (int i = 0; i < s->nBushou; ++i)
                refs.push_back("stationed " + name(s->bushou[static_cast<std::size_t>(i)]));
            for (int i = 0; i < s->nBesieger; ++i)
                refs.push_back("besieger " + name(s->besieger[static_cast<std::size_t>(i)]));
            for (int i = 0; i < s->nArrival; ++i)
                refs.push_back("arrival " + name(s->arrival[static_cast<std::size_t>(i)]));
        }
    }
    for (int d = 0; d < gs.nDaimyou; ++d)
        refs.push_back("head " + name(gs.DaimyouTbl[static_cast<std::size_t>(d)].toushu));
    for (const CGundan& k : gs.GundanTbl)
        refs.push_back("leader " + name(k.leader));
    return refs;
}

// Three castles, two houses and eight generals referenced from every kind of place.
struct Crowded : TestWorld {
    Crowded() : TestWorld({.castles = 3, .houses = 2}) {
        for (int g = 0; g < 8; ++g)
            AddBushou(g % 2, g % 3, {.foot = 1, .cavalry = 1});
        gs.DaimyouTbl[0].toushu = 4;
        gs.DaimyouTbl[1].toushu = 5;
        gs.ShiroTbl[0].commander = 4;
        gs.ShiroTbl[1].commander = 2;
        gs.ShiroTbl[2].commander = 5;
        CShiro& s = gs.ShiroTbl[1];
        s.nBesieger = 3;
        s.besieger[0] = 6;
        s.besieger[1] = 2;
        s.besieger[2] = 7;
        s.nArrival = 2;
        s.arrival[0] = 3;
        s.arrival[1] = 0;
        gs.GundanTbl[7].leader = 6;
        gs.GundanTbl[7].daimyou = 0;
        gs.GundanTbl[9].leader = 1;
        gs.GundanTbl[9].daimyou = 1;
        gs.GundanTbl[11].leader = CGundan::kLeaderPassedOver;
        for (int c = 0; c < 3; ++c)
            gs.ShiroSnapTbl[static_cast<std::size_t>(c)] = gs.ShiroTbl[static_cast<std::size_t>(c)];
    }
};

// The general table and every record that names generals, the same in both states: what a
// change of many generals at once and the same change one by one must both leave.
void ExpectSameTables(const GameState& many, const GameState& one) {
    EXPECT_EQ(many.nBushou, one.nBushou);
    EXPECT_EQ(References(many), References(one));
    for (std::size_t g = 0; g < 8; ++g)
        EXPECT_EQ(many.BushouTbl[g].name, one.BushouTbl[g].name);
    for (std::size_t c = 0; c < 3; ++c) {
        const CShiro& a = many.ShiroTbl[c];
        const CShiro& b = one.ShiroTbl[c];
        EXPECT_EQ(a.nArrival, b.nArrival);
        EXPECT_EQ(a.bushou, b.bushou);
        EXPECT_EQ(a.besieger, b.besieger);
        EXPECT_EQ(a.arrival, b.arrival);
        EXPECT_EQ(a.commander, b.commander);
        EXPECT_EQ(a.gundan, b.gundan);
    }
    for (std::size_t d = 0; d < 2; ++d) {
        EXPECT_EQ(many.DaimyouTbl[d].toushu, one.DaimyouTbl[d].toushu);
        EXPECT_EQ(many.DaimyouTbl[d].shikin, one.DaimyouTbl[d].shikin);
    }
    for (std::size_t k = 0; k < many.GundanTbl.size(); ++k) {
        EXPECT_EQ(many.GundanTbl[k].leader, one.GundanTbl[k].leader);
        EXPECT_EQ(many.GundanTbl[k].daimyou, one.GundanTbl[k].daimyou);
    }
}

TEST(BushouTable, EraseKeepsEveryReferenceOnTheSameGeneral) {
    for (int removed = 0; removed < 8; ++removed) {
        SCOPED_TRACE(removed);
        Crowded w;
        GameState& gs = w.gs;
        const std::string name = gs.BushouTbl[static_cast<std::size_t>(removed)].name;
        std::vector<std::string> expected;
        for (const std::string& r : References(gs)) {
            if (r.size() >= name.size() && r.compare(r.size() - name.size(), name.size(), name) == 0 &&
                r.find(' ' + name) == r.size() - name.size() - 1) {
                const std::string kind = r.substr(0, r.find(' '));
                if (kind == "head")
                    expected.push_back("head -2");
                else if (kind == "commander")
                    expected.push_back("commander -1");
                else if (kind == "leader")
                    expected.push_back("leader -1");
                // list entries disappear
            } else {
                expected.push_back(r);
            }
        }
        ASSERT_TRUE(EraseBushouRecord(gs, removed));
        EXPECT_EQ(gs.nBushou, 7);
        for (int g = 0; g < 7; ++g)
            EXPECT_NE(gs.BushouTbl[static_cast<std::size_t>(g)].name, name);
        EXPECT_EQ(gs.BushouTbl[7].name, "");
        EXPECT_EQ(References(gs), expected);
    }
}

TEST(BushouTable, EraseDissolvesTheCorpsHeStillLed) {
    Crowded w;
    GameState& gs = w.gs;
    gs.GundanTbl[7].shikin = 30;
    gs.ShiroTbl[0].gundan = 7;
    const int funds = gs.DaimyouTbl[0].shikin;
    ASSERT_TRUE(EraseBushouRecord(gs, 6));
    EXPECT_EQ(gs.GundanTbl[7].leader, CGundan::kLeaderFree);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, funds + 30);
    EXPECT_EQ(gs.ShiroTbl[0].gundan, -1);
    EXPECT_EQ(gs.ShiroTbl[0].commander, 4);  // the head, renumbered below 6: unchanged
}

TEST(BushouTable, MoveToEndKeepsEveryReference) {
    for (int moved = 0; moved < 8; ++moved) {
        SCOPED_TRACE(moved);
        Crowded w;
        GameState& gs = w.gs;
        const std::vector<std::string> before = References(gs);
        const std::string name = gs.BushouTbl[static_cast<std::size_t>(moved)].name;
        ASSERT_TRUE(MoveBushouRecordToEnd(gs, moved));
        EXPECT_EQ(gs.nBushou, 8);
        EXPECT_EQ(gs.BushouTbl[7].name, name);
        EXPECT_EQ(References(gs), before);
    }
}

// Moving several generals at once gives what moving them one by one in table order gives:
// the same records in the same slots, the same stored indexes and list counts.
TEST(BushouTable, MovingManyToEndIsMovingEachInTurn) {
    // Bit g: general g moves. None; the first; the last alone (he stays); the last with others;
    // runs at either end; scattered ones; all.
    for (int set : {0x00, 0x01, 0x80, 0x81, 0xC0, 0x0F, 0xF0, 0xB2, 0x55, 0x7E, 0xFF}) {
        SCOPED_TRACE(set);
        Crowded one;
        Crowded many;
        for (Crowded* w : {&one, &many})
            w->gs.ShiroTbl[2].nArrival = -1;  // an odd count: put right by any renumbering
        std::vector<std::uint8_t> moved(8, 0);
        int done = 0;
        for (int g = 0; g < 8; ++g) {
            if (!(set & (1 << g))) continue;
            moved[static_cast<std::size_t>(g)] = 1;
            ASSERT_TRUE(MoveBushouRecordToEnd(one.gs, g - done));  // the earlier ones went behind
            ++done;
        }
        MoveBushouRecordsToEnd(many.gs, moved);
        ExpectSameTables(many.gs, one.gs);
    }
}

// Erasing several generals at once gives what erasing them one by one gives: the same records
// in the same slots, the same stored indexes, corps dissolved with their castles handed to the
// head as he stood (no head when he was erased before the leader).
TEST(BushouTable, ErasingManyIsErasingEachInTurn) {
    // Bit g: general g goes. None; the first; the last; the heads (4, 5); a leader before his
    // head (1 and 5) and after it (4 and 6); both leaders; scattered ones; all.
    for (int set : {0x00, 0x01, 0x80, 0x30, 0x22, 0x50, 0x42, 0xB2, 0x55, 0xFF}) {
        SCOPED_TRACE(set);
        Crowded one;
        Crowded many;
        for (Crowded* w : {&one, &many}) {
            GameState& gs = w->gs;
            gs.ShiroTbl[2].nArrival = -1;  // an odd count: put right by any renumbering
            gs.ShiroTbl[0].gundan = 7;
            gs.ShiroTbl[1].daimyou = 1;
            gs.ShiroTbl[1].gundan = 9;
            gs.GundanTbl[9].shikin = 40;
        }
        std::vector<std::uint8_t> erased(8, 0);
        int done = 0;
        for (int g = 0; g < 8; ++g) {
            if (!(set & (1 << g))) continue;
            erased[static_cast<std::size_t>(g)] = 1;
            ASSERT_TRUE(EraseBushouRecord(one.gs, g - done));  // the earlier ones left the table
            ++done;
        }
        EraseBushouRecords(many.gs, erased);
        ExpectSameTables(many.gs, one.gs);
    }
}

TEST(BushouTable, IndexesOutsideTheTableAreRefused) {
    Crowded w;
    GameState& gs = w.gs;
    const std::vector<std::string> before = References(gs);
    EXPECT_FALSE(EraseBushouRecord(gs, -1));
    EXPECT_FALSE(EraseBushouRecord(gs, 8));
    EXPECT_FALSE(MoveBushouRecordToEnd(gs, 8));
    // Entries beyond the table are ignored; an empty or too short list erases nobody beyond it.
    EraseBushouRecords(gs, std::vector<std::uint8_t>(12, 0));
    EraseBushouRecords(gs, {});
    std::vector<std::uint8_t> beyond(12, 0);
    beyond[9] = beyond[11] = 1;
    EraseBushouRecords(gs, beyond);
    EXPECT_EQ(gs.nBushou, 8);
    EXPECT_EQ(References(gs), before);
}

TEST(BushouTable, RenumberMovesAGeneralForward) {
    Crowded w;
    GameState& gs = w.gs;
    const std::vector<std::string> before = References(gs);
    // General 6 to slot 1: 1..5 move up one.
    CBushou moved = gs.BushouTbl[6];
    std::move_backward(gs.BushouTbl.begin() + 1, gs.BushouTbl.begin() + 6, gs.BushouTbl.begin() + 7);
    gs.BushouTbl[1] = moved;
    RenumberBushouIndexes(gs, 6, 1);
    EXPECT_EQ(References(gs), before);
}

}  // namespace
}  // namespace rymd
