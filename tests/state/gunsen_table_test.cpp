#include "game/state/gunsen_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/core/archive.h"
#include "support/test_world.h"

namespace rymd {

void PrintTo(const GunsenRecord& r, std::ostream* os) {
    *os << "{flags " << r.flags << ", owner " << r.owner << ", shiro " << r.shiro << ", ships " << r.ships
        << ", dest " << r.destination << "}";
}

namespace {

using test::TestWorld;

constexpr std::uint16_t kNone = GunsenRecord::kNoDestination;

GunsenRecord Fleet(int owner, int shiro, int ships, std::uint16_t destination = kNone,
                   std::uint16_t flags = 0) {
    return {flags, static_cast<std::int16_t>(owner), static_cast<std::int16_t>(shiro),
            static_cast<std::int16_t>(ships), destination};
}

void Put(CGunsenTable& t, std::initializer_list<GunsenRecord> records) {
    t.count = 0;
    for (const GunsenRecord& r : records)
        t.records[t.count++] = r;
}

std::vector<GunsenRecord> Records(const CGunsenTable& t) {
    return std::vector<GunsenRecord>(t.records.begin(), t.records.begin() + t.count);
}

// Waterway castles 0..n-1 owned by house 0, linked in a row by sea.
struct SeaRow : TestWorld {
    explicit SeaRow(int n, int houses = 2) : TestWorld({.castles = n, .houses = houses}) {
        for (int c = 0; c < n; ++c)
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].flags = ShiroMapRecord::kFlagWaterway;
        for (int c = 0; c + 1 < n; ++c)
            Link(c, c + 1, 3);
    }
};

TEST(GunsenTable, SumsSelectByKindAndOrder) {
    SeaRow w(3, 3);
    GameState& gs = w.gs;
    w.MakeVassal(2, 1);
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 5), Fleet(0, 0, 7, 1), Fleet(1, 0, 11, kNone, 1), Fleet(1, 0, 13, 2, 1),
            Fleet(2, 1, 17, 2), Fleet(0, 1, 19, 0)});
    EXPECT_EQ(t.GetGunsenAtShiro(0), 12);
    EXPECT_EQ(t.GetFreeGunsenAtShiro(0), 5);
    EXPECT_EQ(t.GetFreeBlockadeGunsenAtShiro(0), 11);
    EXPECT_EQ(t.GetBlockadeGunsenAtShiro(0), 24);
    EXPECT_EQ(t.GetGunsenMovingBetween(0, 1), 7);
    EXPECT_EQ(t.GetGunsenMovingBetween(0, 2), 0);  // the ordered fleet there is a blockade fleet
    EXPECT_EQ(t.GetGunsenOfDaimyou(0), 31);
    EXPECT_EQ(t.GetGunsenOfDaimyou(1), 24);
    EXPECT_EQ(t.GetGunsenBoundFor(gs, 2, 1), 30);  // house 2 is house 1's vassal
    EXPECT_EQ(t.GetGunsenBoundFor(gs, 2, 2), 0);
}

TEST(GunsenTable, AddGunsenJoinsTheFirstOrdinaryFleet) {
    CGunsenTable t;
    Put(t, {Fleet(0, 4, 3, kNone, 1), Fleet(0, 4, 6, 9), Fleet(0, 4, 8)});
    t.AddGunsen(0, 4, 2);  // joins the ordered fleet and moves with it
    t.AddGunsen(1, 4, 5);  // a new fleet
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 4, 3, kNone, 1), Fleet(0, 4, 8, 9),
                                                     Fleet(0, 4, 8), Fleet(1, 4, 5)}));
    CGunsenTable blockadeOnly;
    Put(blockadeOnly, {Fleet(0, 4, 3, kNone, 1)});
    blockadeOnly.AddGunsen(0, 4, 2);
    EXPECT_EQ(Records(blockadeOnly), (std::vector<GunsenRecord>{Fleet(0, 4, 3, kNone, 1), Fleet(0, 4, 2)}));

    CGunsenTable full;
    full.count = CGunsenTable::kMaxRecord;
    full.AddGunsen(0, 4, 2);
    EXPECT_EQ(full.count, 5000u);
}

TEST(GunsenTable, AssignGunsenOrdersWholeFleetsAndSplitsTheLast) {
    CGunsenTable t;
    Put(t, {Fleet(0, 1, 20), Fleet(1, 1, 9), Fleet(0, 1, 25), Fleet(0, 1, 4)});
    t.AssignGunsen(1, 0, 7, 30);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 1, 20, 7), Fleet(1, 1, 9), Fleet(0, 1, 15),
                                                     Fleet(0, 1, 4), Fleet(0, 1, 10, 7)}));
    // With a full table the part that would be split off stays unordered.
    CGunsenTable full;
    Put(full, {Fleet(0, 1, 20), Fleet(0, 1, 25)});
    full.count = CGunsenTable::kMaxRecord;
    full.AssignGunsen(1, -1, 7, 30);
    EXPECT_EQ(full.records[0], Fleet(0, 1, 20, 7));
    EXPECT_EQ(full.records[1], Fleet(0, 1, 25));
}

TEST(GunsenTable, MoveGunsenMovesAtOnce) {
    CGunsenTable t;
    Put(t, {Fleet(0, 1, 5, 3), Fleet(0, 1, 9, kNone, 1), Fleet(0, 1, 12)});
    t.MoveGunsen(1, -1, 2, 8);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 2, 5, 3), Fleet(0, 1, 9, kNone, 1),
                                                     Fleet(0, 1, 9), Fleet(0, 2, 3)}));
}

TEST(GunsenTable, PlanGunsenMoveGoesOnToTheCastlesNearestTheTarget) {
    // Row 0-1-2-3-4 by sea; ships leave 0 for target 2, which holds 190 with 15 more bound there.
    SeaRow w(5);
    GameState& gs = w.gs;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 30), Fleet(0, 2, 190), Fleet(0, 4, 15, 2)});
    t.PlanGunsenMove(gs, 0, -1, 2, 30, false);
    // Nearest to 2 are 1 and 3 (cost 10 each, the lower index first): all 30 go to 1.
    EXPECT_EQ(t.records[0], Fleet(0, 0, 30, 1));
    EXPECT_EQ(t.count, 3u);

    // 1 has room for 20 only: the fleet is split and the rest goes to 3.
    Put(t, {Fleet(0, 0, 30), Fleet(0, 2, 190), Fleet(0, 4, 15, 2), Fleet(0, 1, 180)});
    t.PlanGunsenMove(gs, 0, -1, 2, 30, false);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 0, 20, 1), Fleet(0, 2, 190), Fleet(0, 4, 15, 2),
                                                     Fleet(0, 1, 180), Fleet(0, 0, 10, 3)}));
}

TEST(GunsenTable, PlanGunsenMoveFirstPassKeepsWithinOneLegOfTheStart) {
    // 0 -sea- 1 -sea- 2 -sea- 3; target 3 is full. Castle 2 is nearest the target (10) but 20
    // from the start: with a leg of 15 the first pass passes it over and takes castle 1.
    SeaRow w(4);
    GameState& gs = w.gs;
    gs.nDistanceLimit = 15;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 10), Fleet(0, 3, 200)});
    t.PlanGunsenMove(gs, 0, -1, 3, 10, false);
    EXPECT_EQ(t.records[0].destination, 1);
    gs.nDistanceLimit = 150;
    Put(t, {Fleet(0, 0, 10), Fleet(0, 3, 200)});
    t.PlanGunsenMove(gs, 0, -1, 3, 10, false);
    EXPECT_EQ(t.records[0].destination, 2);
}

TEST(GunsenTable, ApplyMovesLandsEveryOrderedFleetAsAnOrdinaryFleet) {
    SeaRow w(3);
    GameState& gs = w.gs;
    ScriptedPort port;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 4, 1, 1), Fleet(0, 1, 6), Fleet(0, 2, 3)});
    t.ApplyMoves(gs, port.AsPorts());
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 1, 10), Fleet(0, 2, 3)}));
    EXPECT_TRUE(port.Calls().empty());
}

TEST(GunsenTable, CheckGunsenMergesDropsAndReports) {
    SeaRow w(3, 3);
    GameState& gs = w.gs;
    gs.DaimyouTbl[2].toushu = -1;  // house 2 is gone
    w.Own(2, 1);
    gs.ShiroMapTbl[1].flags = 0;  // castle 1 has no waterway
    ScriptedPort port;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 4, 2), Fleet(0, 0, 6, 1), Fleet(0, 0, 5, kNone, 1), Fleet(2, 0, 8),
            Fleet(0, 0, 7, kNone, 1), Fleet(1, 0, 2), Fleet(0, 2, 9), Fleet(0, 1, 3)});
    t.CheckGunsen(gs, port.AsPorts());
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 0, 10, 2), Fleet(0, 0, 12, kNone, 1),
                                                     Fleet(1, 0, 2), Fleet(0, 2, 9)}));
    std::vector<std::string> texts;
    for (const PortCall& c : port.Calls())
        texts.push_back(c.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "Debug Message : 城0で、軍船(家1)と城(家0)の所有大名が異なり、臣従関係でもありません",
                  "Debug Message : 城2で、軍船(家0)と城(家1)の所有大名が異なり、臣従関係でもありません",
                  "Debug Message : 水路がない城（城1）に軍船が存在します"}));
}

TEST(GunsenTable, CheckGunsenChecksTheLastRecordToo) {
    SeaRow w(2);
    GameState& gs = w.gs;
    gs.ShiroMapTbl[1].flags = 0;
    ScriptedPort port;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 4), Fleet(0, 1, 3)});
    t.CheckGunsen(gs, port.AsPorts());
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 0, 4)}));
    Put(t, {Fleet(0, 0, -3)});
    port.ClearCalls();
    t.CheckGunsen(gs, port.AsPorts());
    ASSERT_EQ(port.Calls().size(), 1u);
    EXPECT_EQ(port.Calls()[0].text, "軍船数がマイナスです");
    EXPECT_EQ(t.count, 1u);
}

TEST(GunsenTable, CheckGunsenLeavesSmallRegistriesAloneAndReportsCrowding) {
    SeaRow w(2);
    GameState& gs = w.gs;
    ScriptedPort port;
    CGunsenTable& t = gs.GunsenTable;
    t.count = 0;
    t.CheckGunsen(gs, port.AsPorts());
    EXPECT_EQ(t.count, 0u);
    Put(t, {Fleet(0, 1, 7, 0)});
    t.CheckGunsen(gs, port.AsPorts());
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 1, 7, 0)}));
    EXPECT_TRUE(port.Calls().empty());

    // 210 ordinary ships after the merge and 201 blockade ships lie at castle 1.
    Put(t, {Fleet(0, 1, 150), Fleet(0, 1, 60, 0), Fleet(1, 1, 201, kNone, 1)});
    t.CheckGunsen(gs, port.AsPorts());
    std::vector<std::string> texts;
    for (const PortCall& c : port.Calls())
        texts.push_back(c.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"城1で軍船数が多すぎます", "城1で海上封鎖軍船数が多すぎます"}));
    EXPECT_EQ(t.count, 2u);  // reported, not changed beyond the merge
}

TEST(GunsenTable, RemoveGunsenWithoutPortIsQuiet) {
    SeaRow w(3);
    GameState& gs = w.gs;
    gs.ShiroMapTbl[1].flags = ShiroMapRecord::kFlagPort;  // a port, but no waterway
    ScriptedPort port;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 4), Fleet(0, 1, 3), Fleet(0, 2, 5), Fleet(0, 1, 1)});
    t.RemoveGunsenWithoutPort(gs, port.AsPorts());
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 0, 4), Fleet(0, 2, 5)}));
    EXPECT_TRUE(port.Calls().empty());
}

TEST(GunsenTable, WithdrawBlockadeSendsShipsHome) {
    // House 1 blockades castle 0 (house 0). Its castles 1 and 2 lie by sea at 10 and 20.
    SeaRow w(4);
    GameState& gs = w.gs;
    w.Own(1, 1);
    w.Own(2, 1);
    w.Own(3, 1);
    gs.ShiroTbl[0].blockadeDaimyou = 1;
    CGunsenTable& t = gs.GunsenTable;
    // Preferred castle 2 has room for 10; the rest goes to the nearest castle of the house (1).
    Put(t, {Fleet(1, 0, 30, kNone, 1), Fleet(1, 2, 190)});
    t.WithdrawBlockade(gs, 0, -1, 2, 100);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(1, 1, 20), Fleet(1, 2, 190), Fleet(1, 2, 10)}));
    EXPECT_EQ(gs.ShiroTbl[0].blockadeDaimyou, -1);

    // Only part withdrawn: the siege by sea goes on.
    gs.ShiroTbl[0].blockadeDaimyou = 1;
    Put(t, {Fleet(1, 0, 30, kNone, 1)});
    t.WithdrawBlockade(gs, 0, 1, -1, 12);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(1, 0, 18, kNone, 1), Fleet(1, 1, 12)}));
    EXPECT_EQ(gs.ShiroTbl[0].blockadeDaimyou, 1);

    // With no castle of the house to go to, the ships are lost.
    for (int c = 1; c < 4; ++c)
        w.Own(c, 0);
    Put(t, {Fleet(1, 0, 30, kNone, 1)});
    t.WithdrawBlockade(gs, 0, -1, -1, 100);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(1, 0, 0, kNone, 1)}));
    EXPECT_EQ(gs.ShiroTbl[0].blockadeDaimyou, -1);
}

TEST(GunsenTable, WithdrawBlockadeAdmitsBlockadedCastlesLast) {
    SeaRow w(3);
    GameState& gs = w.gs;
    w.Own(1, 1);
    w.Own(2, 1);
    gs.ShiroTbl[1].blockadeDaimyou = 0;
    gs.ShiroTbl[2].blockadeDaimyou = 0;
    gs.ShiroTbl[0].blockadeDaimyou = 1;
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(1, 0, 30, kNone, 1)});
    t.WithdrawBlockade(gs, 0, -1, -1, 30);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(1, 1, 30)}));
    gs.ShiroTbl[2].blockadeDaimyou = -1;
    Put(t, {Fleet(1, 0, 30, kNone, 1)});
    t.WithdrawBlockade(gs, 0, -1, -1, 30);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(1, 2, 30)}));
}

TEST(GunsenTable, RelocateFleetPrefersTheGivenCastleThenTheNearest) {
    // Castle 1 lies between 0 and 2; 0 belongs to house 1 (vassal of 0) and 2 to house 0.
    SeaRow w(4, 3);
    GameState& gs = w.gs;
    w.MakeVassal(1, 0);
    w.Own(0, 1);
    w.Own(1, 2);
    CGunsenTable& t = gs.GunsenTable;
    // The castle given is not the fleet's side: nearest at equal cost 10, castle 0 comes first,
    // but castle 2 belongs to the fleet's owner itself and takes its place.
    Put(t, {Fleet(0, 1, 30, 3)});
    t.RelocateFleet(gs, 0, 1);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 2, 30)}));

    // Room for 5 at 2, then the rest goes to 0.
    Put(t, {Fleet(0, 1, 30), Fleet(0, 2, 195)});
    t.RelocateFleet(gs, 0, 1);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 0, 25), Fleet(0, 2, 195), Fleet(0, 2, 5)}));

    // Given a castle of its side with room, it goes there.
    Put(t, {Fleet(0, 1, 30, 2, 1)});
    t.RelocateFleet(gs, 0, 3);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 3, 30)}));

    // Nowhere to go: lost.
    for (int c = 0; c < 4; ++c)
        w.Own(c, 2);
    Put(t, {Fleet(0, 1, 30, 2, 1)});
    t.RelocateFleet(gs, 0, 1);
    EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(0, 1, 0)}));
}

TEST(GunsenTable, FreeShipsForACorpsKeepShipsForLaterCorps) {
    SeaRow w(4);
    GameState& gs = w.gs;
    gs.nHeiUnit = 10;
    gs.ShiroMapTbl[0].kuni = 5;
    gs.ShiroMapTbl[1].kuni = 6;
    gs.ShiroMapTbl[2].kuni = 7;
    w.Own(3, 1);
    gs.GundanTbl[2] = CGundan{};
    gs.GundanTbl[2].leader = 0;
    gs.GundanTbl[2].daimyou = 0;
    gs.GundanTbl[2].tantouKuni = {5, -1, -1, -1};
    gs.GundanTbl[4] = CGundan{};
    gs.GundanTbl[4].leader = 0;
    gs.GundanTbl[4].daimyou = 0;
    gs.GundanTbl[4].order = CGundan::kOrderShinkou;
    gs.GundanTbl[4].tantouKuni = {9, -1, -1, -1};
    // 151 units = 1510 soldiers: 2 ships kept back
    w.AddBushou(0, 0, {.foot = 101, .cavalry = 50, .gundan = 4});
    w.AddBushou(0, 0, {.foot = 10, .cavalry = 10, .gundan = 1});  // an earlier corps: no reserve
    w.AddBushou(0, 1, {.foot = 10, .cavalry = 10, .gundan = 2});  // corps 2 stands at castle 1
    CGunsenTable& t = gs.GunsenTable;
    Put(t, {Fleet(0, 0, 10), Fleet(0, 0, 3, 2), Fleet(0, 1, 6), Fleet(0, 2, 4), Fleet(1, 3, 8)});
    std::vector<std::uint16_t> out(4);
    t.GetFreeGunsenForGundan(gs, out, -1);
    EXPECT_EQ(out, (std::vector<std::uint16_t>{10, 6, 4, 8}));
    t.GetFreeGunsenForGundan(gs, out, 2);
    EXPECT_EQ(out, (std::vector<std::uint16_t>{8, 6, 0, 8}));
    gs.ShiroTbl[1].blockadeDaimyou = 1;
    t.GetFreeGunsenForGundan(gs, out, -1);
    EXPECT_EQ(out[1], 0);
}

TEST(GunsenTable, SaveAndLoad) {
    CGunsenTable t;
    ArchiveWriter empty;
    t.Save(empty);
    EXPECT_EQ(empty.Data(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    ArchiveReader emptyIn(empty.Data());
    Put(t, {Fleet(1, 2, 3)});
    EXPECT_TRUE(t.Load(emptyIn));
    EXPECT_EQ(t.count, 0u);
    EXPECT_TRUE(emptyIn.AtEnd());

    Put(t, {Fleet(0x0102, 0x0304, 0x0506, 0x0708, 0x0001), Fleet(-1, 9, 1, kNone, 1)});
    ArchiveWriter w;
    t.Save(w);
    // flags, owner, castle, ships, destination: 16 bits each, low byte first.
    EXPECT_EQ(w.Data(), (std::vector<std::uint8_t>{2, 0, 0, 0, 1,    0,    2, 1, 4, 3, 6,    5,
                                                   8, 7, 1, 0, 0xFF, 0xFF, 9, 0, 1, 0, 0xFF, 0xFF}));
    CGunsenTable back;
    ArchiveReader in(w.Data());
    ASSERT_TRUE(back.Load(in));
    EXPECT_EQ(Records(back), Records(t));
}

TEST(GunsenTable, LoadRefusesDamagedCounts) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    for (const Case& c : {Case{"more records than the registry holds", {0x89, 0x13, 0, 0}},  // 5001
                          Case{"count beyond the bytes", {2, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0}},
                          Case{"no count", {1, 0}}}) {
        SCOPED_TRACE(c.name);
        CGunsenTable t;
        Put(t, {Fleet(1, 2, 3)});
        ArchiveReader in(c.bytes);
        EXPECT_FALSE(t.Load(in));
        EXPECT_FALSE(in.Ok());
        EXPECT_EQ(Records(t), (std::vector<GunsenRecord>{Fleet(1, 2, 3)}));
    }
}

}  // namespace
}  // namespace rymd
