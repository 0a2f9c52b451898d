#include "game/state/route.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/core/random.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

constexpr int kBroad = 0, kNarrow = 1, kMountain = 2, kSea = 3;

std::vector<std::uint16_t> Costs(const GameState& gs, int daimyou, int start, int mode) {
    std::vector<std::uint16_t> out(static_cast<std::size_t>(gs.nShiro), 12345);
    CalcRoadCost(gs, daimyou, -1, start, out, mode);
    return out;
}

// The search written out plainly, with a stack that never fills: the order of expansion is the
// one the game relies on (last pushed first, links in list order).
std::vector<std::uint16_t> ReferenceCosts(const GameState& gs, int daimyou, int start, int mode) {
    const int n = gs.nShiro;
    std::vector<std::uint16_t> out(static_cast<std::size_t>(n), 32767);
    int cost[4] = {gs.RoadCost[0], gs.RoadCost[1], gs.RoadCost[2], gs.RoadCost[3]};
    if (mode == 3) cost[3] = std::max(cost[3], 2 * std::max({cost[0], cost[1], cost[2]}));
    const long long d = gs.nDistanceLimit;
    auto counted = [&](int c) {
        const int owner = gs.ShiroTbl[static_cast<std::size_t>(c)].daimyou;
        if (owner < 0) return owner;
        const CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(owner)];
        return h.bond == 2 ? h.masterDaimyou : owner;
    };
    struct E {
        int shiro, kind;
        long long cost;
    };
    std::vector<E> stack;
    out[static_cast<std::size_t>(start)] = 0;
    stack.push_back({start, -1, 0});
    while (!stack.empty()) {
        E e = stack.back();
        stack.pop_back();
        if (e.cost > out[static_cast<std::size_t>(e.shiro)]) continue;
        for (const ShiroConnection& link : gs.ShiroMapTbl[static_cast<std::size_t>(e.shiro)].connect) {
            if (link.shiro == 0xFFFF) break;
            const int b = link.shiro, k = link.kind;
            if (daimyou != -1 && counted(b) != daimyou) continue;
            if (mode == 1 && k != 3) continue;
            if (mode == 2 && k == 3) continue;
            long long next = (e.kind != -1 && ((e.kind == 3) != (k == 3))) ? (e.cost / d + 1) * d + cost[k]
                                                                           : e.cost + cost[k];
            next = std::min(next, 32766LL);
            if (next < out[static_cast<std::size_t>(b)]) {
                out[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(next);
                stack.push_back({b, k, next});
            }
        }
    }
    return out;
}

TEST(CalcRoadCost, ChangingFromLandToSeaStartsANewLeg) {
    TestWorld w({.castles = 3, .houses = 1});  // A=0, B=1, C=2; defaults: broad 20, sea 10, limit 150
    GameState& gs = w.gs;
    w.AddLink(0, 1, kBroad);
    w.AddLink(1, 2, kSea);
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll), (std::vector<std::uint16_t>{0, 20, 160}));

    // A sea lane straight from the start is no change of kind.
    TestWorld directWorld({.castles = 3, .houses = 1});
    GameState& direct = directWorld.gs;
    directWorld.AddLink(0, 2, kSea);
    EXPECT_EQ(Costs(direct, -1, 0, kRouteAll)[2], 10);
}

TEST(CalcRoadCost, AWholeLegIsRaisedToTheNextOne) {
    TestWorld w({.castles = 3, .houses = 1});
    GameState& gs = w.gs;
    gs.RoadCost = {150, 30, 50, 10};
    w.AddLink(0, 1, kBroad);  // 150: already one whole leg
    w.AddLink(1, 2, kSea);
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll)[2], 310);
}

TEST(CalcRoadCost, LegOfOneAddsOne) {
    TestWorld w({.castles = 3, .houses = 1});
    GameState& gs = w.gs;
    gs.nDistanceLimit = 1;
    w.AddLink(0, 1, kBroad);
    w.AddLink(1, 2, kSea);
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll)[2], 20 + 1 + 10);
}

// S=0, P=1, A=2, B=3. S reaches A by sea for 10 and over P by land for 8; A has a sea lane to B.
// Which arrival at A is expanded first decides B's cost.
TEST(CalcRoadCost, ResultFollowsTheOrderOfTheLinkList) {
    struct Case {
        const char* name;
        bool seaFirstInList;
        std::uint16_t costB;
    };
    for (const Case& c : {Case{"land link listed first: the sea arrival is expanded first", false, 20},
                          Case{"sea link listed first: the cheaper land arrival wins", true, 160}}) {
        SCOPED_TRACE(c.name);
        TestWorld w({.castles = 4, .houses = 1});
        GameState& gs = w.gs;
        gs.RoadCost = {4, 30, 50, 10};
        if (c.seaFirstInList) {
            w.AddLink(0, 2, kSea);
            w.AddLink(0, 1, kBroad);
        } else {
            w.AddLink(0, 1, kBroad);
            w.AddLink(0, 2, kSea);
        }
        w.AddLink(1, 2, kBroad);
        w.AddLink(2, 3, kSea);
        RouteSearch search;
        std::vector<std::uint16_t> out(4);
        search.Calc(gs, -1, 0, out, kRouteAll);
        EXPECT_EQ(search.LastMethod(), RouteSearch::Method::Stack);
        EXPECT_EQ(out[2], 8);
        EXPECT_EQ(out[3], c.costB);
        EXPECT_EQ(out, ReferenceCosts(gs, -1, 0, kRouteAll));
    }
}

TEST(CalcRoadCost, ModesChooseAndPriceTheLinks) {
    TestWorld w({.castles = 4, .houses = 1});
    GameState& gs = w.gs;
    gs.RoadCost = {20, 30, 50, 10};
    w.AddLink(0, 1, kMountain);
    w.AddLink(0, 2, kSea);
    w.AddLink(2, 3, kNarrow);
    struct Case {
        int mode;
        std::vector<std::uint16_t> expected;
    };
    for (const Case& c : {Case{kRouteAll, {0, 50, 10, 180}}, Case{kRouteSea, {0, 32767, 10, 32767}},
                          Case{kRouteLand, {0, 50, 32767, 32767}},
                          // sea lanes cost at least twice the dearest land link (2 x 50)
                          Case{kRouteSeaCostly, {0, 50, 100, 180}}}) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(Costs(gs, -1, 0, c.mode), c.expected);
    }
}

TEST(CalcRoadCost, PassableCastlesAreThoseCountedForTheHouse) {
    // Castle 0 (house 0) - 1 (vassal house 1) - 2 (subordinate house 2) - 3 (house 0) in a row,
    // and castle 1 also reaches 3 directly for a higher price.
    TestWorld w({.castles = 4, .houses = 3});
    GameState& gs = w.gs;
    w.Own(1, 1);
    w.Own(2, 2);
    w.MakeVassal(1, 0);
    w.MakeSubordinate(2, 0);
    w.Link(0, 1, kBroad);
    w.Link(1, 2, kBroad);
    w.Link(2, 3, kBroad);
    w.AddLink(1, 3, kMountain);
    EXPECT_EQ(Costs(gs, 0, 0, kRouteAll), (std::vector<std::uint16_t>{0, 20, 32767, 70}));
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll), (std::vector<std::uint16_t>{0, 20, 40, 60}));
    // The start is searched from even when it does not count for the house.
    EXPECT_EQ(Costs(gs, 2, 1, kRouteAll), (std::vector<std::uint16_t>{32767, 0, 20, 32767}));
}

TEST(CalcRoadCost, CostsAreClampedAndUnreachableStays) {
    TestWorld w({.castles = 5, .houses = 1});
    GameState& gs = w.gs;
    gs.RoadCost = {20000, 30, 50, 10};
    w.AddLink(0, 1, kBroad);
    w.AddLink(1, 2, kBroad);
    w.AddLink(2, 3, kNarrow);
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll), (std::vector<std::uint16_t>{0, 20000, 32766, 32766, 32767}));
}

TEST(CalcRoadCost, BadArgumentsAndLinksAreHarmless) {
    TestWorld w({.castles = 3, .houses = 1});
    GameState& gs = w.gs;
    w.AddLink(0, 1, kBroad);
    w.AddLink(0, 9000, kBroad);  // beyond the castle count
    w.AddLink(1, 2, 7);          // no such link kind
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll), (std::vector<std::uint16_t>{0, 20, 32767}));
    EXPECT_EQ(Costs(gs, -1, -1, kRouteAll), (std::vector<std::uint16_t>{32767, 32767, 32767}));
    EXPECT_EQ(Costs(gs, -1, 3, kRouteAll), (std::vector<std::uint16_t>{32767, 32767, 32767}));
    std::vector<std::uint16_t> shortOut(2, 5);
    CalcRoadCost(gs, -1, -1, 0, shortOut, kRouteAll);
    EXPECT_EQ(shortOut, (std::vector<std::uint16_t>{32767, 32767}));
    EXPECT_EQ(FindNearestShiro(gs, -1, 0, {}, kRouteAll), -1);
    EXPECT_EQ(FindNearestShiro(gs, -1, 0, std::vector<int>{1, 3}, kRouteAll), -1);
    EXPECT_EQ(FindNearestShiro(gs, -1, 3, std::vector<int>{1}, kRouteAll), -1);
    EXPECT_EQ(FindNearestShiro(gs, -1, 0, std::vector<int>{2, 1}, kRouteAll), 1);
    EXPECT_EQ(FindNearestShiro(gs, -1, 1, std::vector<int>{2, 0}, kRouteLand),
              2);           // none reachable: the first
    gs.nDistanceLimit = 0;  // never divides by zero
    gs.RoadCost = {-5, 30, 50, 10};
    w.AddLink(1, 0, kSea);
    EXPECT_EQ(Costs(gs, -1, 0, kRouteAll)[1], 0);
}

// Random graphs with every link kind, owners, vassals and subordinates, all four modes and
// several leg lengths: the search gives exactly the plain LIFO search's costs, and the nearest of
// some castles is the one those costs name.
TEST(CalcRoadCost, MatchesThePlainSearchOnRandomGraphs) {
    Random rng(20240601);
    RouteSearch search;  // one search object reused across graphs of different sizes
    TestWorld w({.castles = 402, .houses = 5});
    GameState& gs = w.gs;
    int methods[3] = {};
    for (int round = 0; round < 600; ++round) {
        const int n = 2 + rng.Below(round < 500 ? 60 : 400);
        const int houses = 1 + rng.Below(5);
        gs.nShiro = n;
        for (int c = 0; c < n; ++c)
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].ClearConnections();
        for (int d = 0; d < houses; ++d) {
            gs.DaimyouTbl[static_cast<std::size_t>(d)].bond = CDaimyou::kBondDokuritsu;
            gs.DaimyouTbl[static_cast<std::size_t>(d)].masterDaimyou = d;
        }
        gs.RoadCost = {1 + rng.Below(60), 1 + rng.Below(60), 1 + rng.Below(80), 1 + rng.Below(40)};
        gs.nDistanceLimit = 1 + rng.Below(200);
        for (int d = 1; d < houses; ++d) {
            const int kind = rng.Below(3);
            if (kind == 1) w.MakeSubordinate(d, 0);
            if (kind == 2) w.MakeVassal(d, 0);
        }
        const int kinds = rng.Below(3);  // mixed, land only, sea only
        for (int c = 0; c < n; ++c) {
            w.Own(c, rng.Below(houses));
            const int links = rng.Below(11);
            for (int j = 0; j < links; ++j)
                w.AddLink(c, rng.Below(n), kinds == 0 ? rng.Below(4) : kinds == 1 ? rng.Below(3) : kSea);
        }
        const int start = rng.Below(n);
        const int mode = rng.Below(4);
        const int daimyou = rng.Below(houses + 1) - 1;
        std::vector<std::uint16_t> out(static_cast<std::size_t>(n));
        search.Calc(gs, daimyou, start, out, mode);
        ASSERT_EQ(out, ReferenceCosts(gs, daimyou, start, mode)) << "round " << round;
        ++methods[static_cast<int>(search.LastMethod())];

        // The nearest of some castles in table order: the first of the lowest cost.
        std::vector<int> candidates;
        for (int c = 0; c < n; ++c)
            if (rng.Below(4) == 0) candidates.push_back(c);
        if (candidates.empty()) continue;
        int nearest = candidates.front();
        for (int c : candidates)
            if (out[static_cast<std::size_t>(c)] < out[static_cast<std::size_t>(nearest)]) nearest = c;
        ASSERT_EQ(search.Nearest(gs, daimyou, start, candidates, mode), nearest) << "round " << round;
    }
    // Both ways of finding the costs were checked many times.
    EXPECT_GT(methods[static_cast<int>(RouteSearch::Method::CheapestFirst)], 50);
    EXPECT_GT(methods[static_cast<int>(RouteSearch::Method::Stack)], 40);
}

// A row searched on while clean and cleared through the castles the search noted serves search
// after search: each gives the plain search's costs, notes each castle it reached once (the
// start first) and nothing else, and leaves the row all unreachable once those are reset, also
// after a search that met both land and sea and started over.
TEST(CalcRoadCost, ACleanRowNotesExactlyTheCastlesReached) {
    Random rng(20261210);
    RouteSearch search;
    TestWorld w({.castles = 300, .houses = 4});
    GameState& gs = w.gs;
    std::vector<std::uint16_t> row(300, kRouteUnreachable);
    std::vector<std::uint16_t> reached;
    int methods[3] = {};
    for (int round = 0; round < 300; ++round) {
        const int n = 2 + rng.Below(round < 200 ? 40 : 298);
        gs.nShiro = n;
        for (int c = 0; c < n; ++c)
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].ClearConnections();
        gs.RoadCost = {1 + rng.Below(60), 1 + rng.Below(60), 1 + rng.Below(80), 1 + rng.Below(40)};
        gs.nDistanceLimit = 1 + rng.Below(200);
        for (int c = 0; c < n; ++c) {
            w.Own(c, rng.Below(4));
            const int links = rng.Below(8);
            for (int j = 0; j < links; ++j)
                w.AddLink(c, rng.Below(n), rng.Below(4));
        }
        const int start = rng.Below(n);
        const int mode = rng.Below(4);
        const int daimyou = rng.Below(5) - 1;
        reached.clear();
        search.CalcOnCleanRow(gs, daimyou, start, row, mode, reached);
        ++methods[static_cast<int>(search.LastMethod())];
        const std::vector<std::uint16_t> want = ReferenceCosts(gs, daimyou, start, mode);
        ASSERT_EQ(std::vector<std::uint16_t>(row.begin(), row.begin() + n), want) << "round " << round;
        ASSERT_FALSE(reached.empty());
        EXPECT_EQ(reached.front(), start);
        std::vector<std::uint16_t> sorted(reached);
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "round " << round;
        const auto reachable =
            std::count_if(want.begin(), want.end(), [](std::uint16_t c) { return c != kRouteUnreachable; });
        EXPECT_EQ(static_cast<long>(reached.size()), reachable) << "round " << round;
        for (std::uint16_t c : reached)
            row[c] = kRouteUnreachable;
        ASSERT_EQ(std::count(row.begin(), row.end(), kRouteUnreachable), 300) << "round " << round;
    }
    EXPECT_GT(methods[static_cast<int>(RouteSearch::Method::CheapestFirst)], 20);
    EXPECT_GT(methods[static_cast<int>(RouteSearch::Method::Stack)], 20);

    // A start outside the table, or a row shorter than the table, writes nothing.
    reached.clear();
    search.CalcOnCleanRow(gs, -1, gs.nShiro, row, kRouteAll, reached);
    std::vector<std::uint16_t> shortRow(1, kRouteUnreachable);
    search.CalcOnCleanRow(gs, -1, 0, shortRow, kRouteAll, reached);
    EXPECT_TRUE(reached.empty());
    EXPECT_EQ(std::count(row.begin(), row.end(), kRouteUnreachable), 300);
    EXPECT_EQ(shortRow.front(), kRouteUnreachable);
}

TEST(MarkLinkedShiroOfDaimyou, FollowsOnlyCastlesOfTheHouse) {
    TestWorld w({.castles = 6, .houses = 3});
    GameState& gs = w.gs;
    w.Own(0, 2);  // the start itself may belong to anyone
    w.Own(3, 1);
    w.Own(4, 1);  // vassal of 0: counts for 0
    w.MakeVassal(1, 0);
    w.Own(5, 2);
    w.Link(0, 1, kSea);
    w.AddLink(1, 2, kBroad);
    w.AddLink(2, 3, kBroad);
    w.Link(0, 5, kBroad);
    w.AddLink(5, 4, kBroad);
    std::vector<std::uint8_t> out(6, 9);
    w.Own(3, 1);
    MarkLinkedShiroOfDaimyou(gs, 0, 0, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 1, 1, 1, 0, 0}));
}

TEST(GraphHelpers, ProvincesPortsAndInterpolation) {
    TestWorld w({.castles = 4, .houses = 1});
    GameState& gs = w.gs;
    gs.ShiroMapTbl[0].kuni = 1;
    gs.ShiroMapTbl[1].kuni = 1;
    gs.ShiroMapTbl[2].kuni = 2;
    gs.ShiroMapTbl[3].kuni = 3;
    w.AddLink(0, 1, kBroad);
    w.AddLink(1, 2, kSea);
    EXPECT_TRUE(IsKuniAdjacent(gs, 1, 2));
    EXPECT_FALSE(IsKuniAdjacent(gs, 2, 1));  // links are read from p's castles
    EXPECT_TRUE(IsKuniAdjacent(gs, 1, 1));
    EXPECT_FALSE(IsKuniAdjacent(gs, 3, 3));
    EXPECT_FALSE(IsKuniAdjacent(gs, 7, 1));  // a province without castles

    gs.ShiroMapTbl[1].flags = ShiroMapRecord::kFlagPort;
    gs.ShiroMapTbl[3].flags = ShiroMapRecord::kFlagPort | ShiroMapRecord::kFlagWaterway;
    gs.ShiroMapTbl[2].flags = ShiroMapRecord::kFlagWaterway;
    EXPECT_EQ(CountMinatoShiro(gs), 2);

    EXPECT_DOUBLE_EQ(LinearInterpolate(5.0, 100.0, 10.0, 0.0, 0.0), 50.0);
    EXPECT_DOUBLE_EQ(LinearInterpolate(5.0, 100.0, 3.0, 7.0, 3.0), 0.5);
}

TEST(DisbandGundan, ReturnsEverythingToTheHouse) {
    TestWorld w({.castles = 3, .houses = 2});
    GameState& gs = w.gs;
    gs.DaimyouTbl[0].toushu = w.AddBushou(0, 0, {.foot = 10});
    gs.DaimyouTbl[0].shikin = 100;
    gs.DaimyouTbl[0].teppou = 5;
    const int leader = w.AddBushou(0, 1, {.foot = 10, .gundan = 3});
    const int member = w.AddBushou(0, 1, {.foot = 10, .gundan = 3});
    const int houseless = w.AddBushou(-1, -1, {.foot = 10, .gundan = 3});
    CGundan& k = gs.GundanTbl[3];
    k.leader = leader;
    k.daimyou = 0;
    k.shikin = 40;
    k.teppou = 2;
    gs.ShiroTbl[1].gundan = 3;
    gs.ShiroTbl[1].commander = static_cast<std::int16_t>(leader);
    w.Own(2, 1);
    gs.ShiroTbl[2].gundan = 3;  // another house's castle is left alone

    DisbandGundan(gs, 3);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, 140);
    EXPECT_EQ(gs.DaimyouTbl[0].teppou, 7);
    EXPECT_EQ(gs.ShiroTbl[1].gundan, -1);
    EXPECT_EQ(gs.ShiroTbl[1].commander, gs.DaimyouTbl[0].toushu);
    EXPECT_EQ(gs.ShiroTbl[2].gundan, 3);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(leader)].gundan, -1);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(member)].gundan, -1);
    EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(houseless)].gundan, 3);
    EXPECT_EQ(k.leader, -1);
    EXPECT_EQ(k.daimyou, -1);
    DisbandGundan(gs, -1);  // harmless
    DisbandGundan(gs, 100);
}

// Funds that an event set to an end of their range stay there when a corps hands its own back.
TEST(DisbandGundan, TheHousesFundsAndMusketsStopAtTheEndsOfTheirRange) {
    struct Case {
        std::int32_t house, corps, after;
    } cases[] = {
        {INT32_MAX, 5000, INT32_MAX}, {INT32_MIN, -5000, INT32_MIN}, {INT32_MAX, -5000, INT32_MAX - 5000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.house);
        TestWorld w({.castles = 3, .houses = 2});
        GameState& gs = w.gs;
        gs.GundanTbl[3].leader = w.AddBushou(0, 1, {.gundan = 3});
        gs.GundanTbl[3].daimyou = 0;
        gs.DaimyouTbl[0].shikin = gs.DaimyouTbl[0].teppou = c.house;
        gs.GundanTbl[3].shikin = gs.GundanTbl[3].teppou = c.corps;
        DisbandGundan(gs, 3);
        EXPECT_EQ(gs.DaimyouTbl[0].shikin, c.after);
        EXPECT_EQ(gs.DaimyouTbl[0].teppou, c.after);
    }
}

TEST(DisbandGundan, TheCastlesGetTheHeadFieldAsItStands) {
    // A house holding castles without a general has head -2; a general's index stays as it is.
    for (const int head : {-2, -1, 0}) {
        TestWorld w({.castles = 3, .houses = 2});
        GameState& gs = w.gs;
        gs.DaimyouTbl[0].toushu = head == 0 ? w.AddBushou(0, 0, {.foot = 10}) : head;
        gs.GundanTbl[3].leader = 5;
        gs.GundanTbl[3].daimyou = 0;
        gs.ShiroTbl[1].gundan = 3;
        gs.ShiroTbl[1].commander = 5;
        DisbandGundan(gs, 3);
        EXPECT_EQ(gs.ShiroTbl[1].commander, gs.DaimyouTbl[0].toushu) << head;
        EXPECT_EQ(gs.ShiroTbl[1].gundan, -1) << head;
    }
}

}  // namespace
}  // namespace rymd
