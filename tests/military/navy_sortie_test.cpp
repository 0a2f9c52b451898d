// The navy sortie: the unit and ship limits of its three uses, the owner rows, the spreading of a
// typed total over the rows, "兵数に合わせる" and "MAX", the ranges every typed count is kept in,
// and the OK checks in their order.
#include "game/military/navy_sortie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "game/state/queries.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

// The player's house 0 holds the waterway castles 0 (origin) and 1 (destination); house 1 holds
// castle 2, house 2 is the player's vassal. Soldier unit 10.
struct NavyWorld : TestWorld {
    static constexpr int kPlayer = 0;
    NavyWorld() : TestWorld({.castles = 3, .houses = 3, .provinces = 3, .soldierUnit = 10}) {
        Own(2, 1);
        MakeVassal(2, 0);
        Link(0, 1, 3);
        Link(0, 2, 3);
    }
    NavySortieModel Model(int destination, bool sortie = true, bool includeAll = false, bool garrison = false,
                          int origin = 0) {
        return NavySortieModel(gs, kPlayer,
                               {.includeAll = includeAll,
                                .sortie = sortie,
                                .garrisonRow = garrison,
                                .origin = origin,
                                .destination = destination});
    }
    // An ordinary fleet record appended as it stands.
    void Fleet(int owner, int shiro, int ships, int destination = GunsenRecord::kNoDestination,
               std::uint16_t flags = 0) {
        CGunsenTable& t = gs.GunsenTable;
        t.records[t.count++] =
            GunsenRecord{flags, static_cast<std::int16_t>(owner), static_cast<std::int16_t>(shiro),
                         static_cast<std::int16_t>(ships), static_cast<std::uint16_t>(destination)};
    }
};

std::vector<int> NavyShips(const NavySortieModel& m) {
    std::vector<int> out;
    for (const NavyOwnerRow& r : m.Rows())
        out.push_back(r.ships);
    return out;
}

TEST(NavySortieLimits, UnitsAndShipsOfTheThreeUses) {
    struct Case {
        const char* name;
        int destination;
        bool sortie;
        std::function<void(NavyWorld&)> setUp;
        int units, ships;
    };
    const Case cases[] = {
        {"naval battle", -1, true, nullptr, 21, 200},
        {"sortie to an empty castle", 2, true, nullptr, 20, 200},
        {"sortie: 5 besiegers and 3 more bound there, 40 ships bound", 2, true,
         [](NavyWorld& w) {
             for (int i = 0; i < 5; ++i)
                 w.Besiege(2, 0);
             for (int i = 0; i < 3; ++i)
                 w.gs.BushouTbl[w.AddBushou(0, 0)].sortieShiro = 2;
             w.Fleet(0, 0, 40, 2);
             w.Fleet(0, 1, 150);
         },
         12, 160},
        {"move: 5 at the target, 3 moving there; 150 own ships there plus 40 bound", 1, false,
         [](NavyWorld& w) {
             for (int i = 0; i < 5; ++i)
                 w.AddBushou(0, 1);
             for (int i = 0; i < 3; ++i)
                 w.gs.BushouTbl[w.AddBushou(0, 0)].moveShiro = 1;
             w.Fleet(0, 1, 150);
             w.Fleet(2, 0, 40, 1);
         },
         12, 10},
        {"move: a limit below nothing is kept at 0", 1, false,
         [](NavyWorld& w) {
             w.Fleet(0, 1, 190);
             w.Fleet(0, 0, 30, 1);
         },
         20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NavyWorld w;
        if (c.setUp) c.setUp(w);
        const NavySortieModel m = w.Model(c.destination, c.sortie);
        EXPECT_EQ(m.UnitLimit(), c.units);
        EXPECT_EQ(m.ShipLimit(), c.ships);
    }
}

TEST(NavySortieRows, FleetsByOwnerThePlayersFirstAndTheSailableShips) {
    NavyWorld w;
    w.Fleet(2, 0, 10);                              // the vassal's
    w.Fleet(0, 0, 20);                              // the player's
    w.Fleet(2, 0, 5, 1);                            // the vassal's, ordered away
    w.Fleet(1, 0, 7, GunsenRecord::kNoDestination,  // a blockade fleet: not the player's side's
            GunsenRecord::kFlagBlockade);
    w.Fleet(0, 1, 50);  // elsewhere
    const NavySortieModel m = w.Model(1, false);
    ASSERT_EQ(m.Rows().size(), 2u);
    EXPECT_EQ(m.Rows()[0].daimyou, 0);
    EXPECT_EQ(m.Rows()[0].total, 20);
    EXPECT_EQ(m.Rows()[0].sailable, 20);
    EXPECT_EQ(m.Rows()[1].daimyou, 2);
    EXPECT_EQ(m.Rows()[1].total, 15);
    EXPECT_EQ(m.Rows()[1].sailable, 10);
    EXPECT_EQ(m.SailableTotal(), 30);
    // With include-all the ordered ships count as sailable.
    EXPECT_EQ(w.Model(1, false, true).Rows()[1].sailable, 15);

    // At a castle the player besieges only the blockade fleets off it are rows.
    NavyWorld s;
    s.Besiege(2, 0);
    s.Fleet(1, 2, 30);
    s.Fleet(0, 2, 12, GunsenRecord::kNoDestination, GunsenRecord::kFlagBlockade);
    const NavySortieModel b = s.Model(-1, true, false, false, 2);
    ASSERT_EQ(b.Rows().size(), 1u);
    EXPECT_EQ(b.Rows()[0].daimyou, 0);
    EXPECT_EQ(b.Rows()[0].total, 12);
    // The naval-battle choice takes every ship at once.
    EXPECT_EQ(b.Total(), 12);
}

TEST(NavySortieUnits, TheCastlesGeneralsOrTheBesiegersAndTheGarrison) {
    NavyWorld w;
    const int a = w.AddBushou(0, 0, {.foot = 30, .cavalry = 5});
    w.AddBushou(0, 0, {.foot = 10, .gundan = 0});  // of a corps
    const int ordered = w.AddBushou(0, 0);
    w.gs.BushouTbl[ordered].flags |= CBushou::kFlagOrdered;
    const int out = w.AddBushou(0, 0);
    w.gs.BushouTbl[out].flags |= CBushou::kFlagNotDefending;
    w.gs.ShiroTbl[0].shubihei = 100;
    EXPECT_EQ(w.Model(1).Candidates(), (std::vector<int>{a}));
    EXPECT_EQ(w.Model(1, true, true).Candidates(), (std::vector<int>{a, 1, ordered}));
    EXPECT_EQ(w.Model(-1, true, false, true).Candidates(), (std::vector<int>{a, kShiroGarrisonItem + 0}));

    // Soldiers and the ships they need: one ship per 1000, rounded up, at least one.
    const NavySortieModel m = w.Model(1);
    EXPECT_EQ(m.Soldiers(std::vector<int>{a}), 350);
    EXPECT_EQ(m.RequiredShips(std::vector<int>{a}), 1);
    EXPECT_EQ(m.RequiredShips(std::vector<int>{a, kShiroGarrisonItem}), 2);  // 350 + 1000 soldiers
    EXPECT_EQ(m.RequiredShips(std::vector<int>{}), 0);
    // A general chosen twice goes once.
    EXPECT_EQ(m.Soldiers(std::vector<int>{a, a}), 350);

    NavyWorld s;
    const int besieger = s.Besiege(2, 0);
    s.AddBushou(0, 0);
    EXPECT_EQ(s.Model(-1, true, false, false, 2).Candidates(), (std::vector<int>{besieger}));
}

TEST(NavySortieSpreading, DecreasesFromTheLastRowsIncreasesOntoTheFirst) {
    struct Case {
        const char* name;
        std::vector<int> start;  // ships to sail of the rows (sailable 10, 20, 30)
        std::function<void(NavySortieModel&)> act;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"an increase fills the first rows",
         {0, 0, 0},
         [](NavySortieModel& m) { m.SetTotal(25); },
         {10, 15, 0}},
        {"an increase on top of the rows", {5, 0, 3}, [](NavySortieModel& m) { m.SetTotal(20); }, {10, 7, 3}},
        {"a decrease empties the last rows",
         {10, 20, 30},
         [](NavySortieModel& m) { m.SetTotal(25); },
         {10, 15, 0}},
        {"a decrease skips empty last rows", {4, 6, 0}, [](NavySortieModel& m) { m.SetTotal(7); }, {4, 3, 0}},
        {"a total above the sailable ships stops at them",
         {0, 0, 0},
         [](NavySortieModel& m) { m.SetTotal(500); },
         {10, 20, 30}},
        {"a negative total is none", {3, 3, 3}, [](NavySortieModel& m) { m.SetTotal(-4); }, {0, 0, 0}},
        {"a row typed above its sailable ships is kept at them",
         {0, 0, 0},
         [](NavySortieModel& m) { m.SetRowShips(1, 99); },
         {0, 20, 0}},
        {"a row typed below 0", {1, 1, 1}, [](NavySortieModel& m) { m.SetRowShips(2, -5); }, {1, 1, 0}},
        {"MAX fills from the first row", {0, 5, 9}, [](NavySortieModel& m) { m.Max(); }, {10, 20, 30}},
        {"a row past the rows changes nothing",
         {1, 2, 3},
         [](NavySortieModel& m) { m.SetRowShips(3, 9); },
         {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NavyWorld w;
        w.Fleet(0, 0, 10);
        w.Fleet(1, 0, 20);
        w.Fleet(2, 0, 30);
        NavySortieModel m = w.Model(1, false);
        ASSERT_EQ(m.Rows().size(), 3u);
        for (int i = 0; i < 3; ++i)
            m.SetRowShips(i, c.start[static_cast<std::size_t>(i)]);
        c.act(m);
        EXPECT_EQ(NavyShips(m), c.rows);
    }
}

TEST(NavySortieSpreading, TheShipLimitBoundsRowsTotalMaxAndMatching) {
    NavyWorld w;
    w.Fleet(0, 0, 100);
    w.Fleet(2, 0, 100);
    w.Fleet(0, 1, 150);                                // the move may bring 50 more
    const int big = w.AddBushou(0, 0, {.foot = 700});  // 7000 soldiers: 7 ships
    NavySortieModel m = w.Model(1, false);
    EXPECT_EQ(m.ShipLimit(), 50);
    m.Max();
    EXPECT_EQ(NavyShips(m), (std::vector<int>{50, 0}));
    m.SetRowShips(1, 30);  // no room left for the second row
    EXPECT_EQ(NavyShips(m), (std::vector<int>{50, 0}));
    m.SetTotal(10);
    EXPECT_EQ(m.RowMax(1), 40);
    m.SetRowShips(1, 45);
    EXPECT_EQ(NavyShips(m), (std::vector<int>{10, 40}));
    m.MatchToTroops(std::vector<int>{big});
    EXPECT_EQ(NavyShips(m), (std::vector<int>{7, 0}));
    EXPECT_EQ(m.Total(), 7);
    const std::vector<NavyShipOrder> orders = m.Orders();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(orders[0].daimyou, 0);
    EXPECT_EQ(orders[0].ships, 7);
}

TEST(NavySortieOk, TheThreeChecksInTheirOrder) {
    struct Case {
        const char* name;
        int destination;
        bool sortie;
        int chosen;  // generals of 500 soldiers each (negative: the first is named twice more)
        int ships;
        const char* message;
    };
    const Case cases[] = {
        {"a sortie without generals", 2, true, 0, 5, "出陣武将が選択されていません"},
        {"a move without generals: ships sail alone", 1, false, 0, 5, ""},
        {"a move with nothing at all", 1, false, 0, 0, ""},
        {"a naval battle without generals", -1, true, 0, 5, "出陣武将が選択されていません"},
        {"a naval battle without generals or ships", -1, true, 0, 0, "出陣武将が選択されていません"},
        {"21 generals for one castle", 2, true, 21, 20, "武将数が多すぎます"},
        {"too many comes before too few ships", 2, true, 21, 0, "武将数が多すぎます"},
        {"21 generals in a naval battle", -1, true, 21, 20, ""},
        {"too few ships", 2, true, 3, 1, "兵数に対して軍船が不足しています"},
        {"just enough ships", 2, true, 4, 2, ""},
        {"20 generals, one of them named twice", 2, true, -20, 20, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NavyWorld w;
        w.Fleet(0, 0, 30);
        std::vector<int> units;
        for (int i = 0; i < std::abs(c.chosen); ++i)
            units.push_back(w.AddBushou(0, 0, {.foot = 50}));
        if (c.chosen < 0) units.push_back(units.front());  // the same general again
        NavySortieModel m = w.Model(c.destination, c.sortie);
        m.SetTotal(c.ships);
        EXPECT_EQ(m.CheckOk(units), c.message);
    }
}

}  // namespace
}  // namespace rymd::test
