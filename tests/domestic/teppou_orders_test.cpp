// The player's musket orders: which purchase places are listed and what they offer, the funds
// rule that cuts a count or refuses it, MAX and MAX for every place, what OK books, a second
// purchase in one phase and a place in delivery later; production within the month's maximum.
#include <gtest/gtest.h>

#include <vector>

#include "game/domestic/teppou_orders.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Four provinces, castle c in province c; house 0 holds castles 0 and 1, house 1 castles 2 and 3.
// Soldier unit 10. Place p sells 1000 muskets a month at 5 a musket (50 a unit).
struct TeppouWorld : TestWorld {
    TeppouWorld() : TestWorld({.castles = 4, .houses = 2, .provinces = 4, .soldierUnit = 10}) {
        Own(2, 1);
        Own(3, 1);
        gs.DaimyouTbl[0].shikin = 100000;
        gs.nTeppouKounyuu = 3;
        for (int p = 0; p < 3; ++p) {
            TeppouKounyuuRecord& r = gs.TeppouKounyuuTbl[static_cast<std::size_t>(p)];
            r.name = "地" + std::to_string(p);
            r.months.fill(-1);
            r.currentOffer = 1000;
            r.currentPrice = 5;
        }
    }
    void Sells(int place, int kuni, int months) {
        gs.TeppouKounyuuTbl[static_cast<std::size_t>(place)].months[static_cast<std::size_t>(kuni)] =
            static_cast<std::int8_t>(months);
    }
};

TEST(TeppouOrdersTest, PlacesOfferByTheirFewestMonthsAndAreListedFewestMonthsFirst) {
    struct Case {
        const char* what;
        double offer;
        int months0, months1;  // bytes for the house's provinces 0 and 1 (-1: not sold there)
        int expect;            // purchasable units; 0 = not listed
    } cases[] = {
        {"months 0 offers the whole quantity", 1000, 0, -1, 100},
        {"months 3 offers a quarter", 1000, 3, -1, 25},
        {"the fewest months of the house's provinces count", 1000, 3, 1, 50},
        {"a small quantity still offers one unit", 20, 3, -1, 1},
        {"a place not open yet is not listed", 0, 0, 0, 0},
        {"a place selling to none of the house's provinces is not listed", 1000, -1, -1, 0},
    };
    for (const Case& c : cases) {
        TeppouWorld w;
        w.gs.nTeppouKounyuu = 1;
        w.gs.TeppouKounyuuTbl[0].currentOffer = c.offer;
        w.Sells(0, 0, c.months0);
        w.Sells(0, 1, c.months1);
        w.Sells(0, 2, 0);  // the other house's province does not count
        TeppouKounyuuOrder order(w.gs, 0);
        if (c.expect == 0) {
            EXPECT_TRUE(order.Rows().empty()) << c.what;
            continue;
        }
        ASSERT_EQ(order.Rows().size(), 1u) << c.what;
        EXPECT_EQ(order.Row(0).purchasable, c.expect) << c.what;
        EXPECT_EQ(order.Row(0).unitPrice, 50) << c.what;
        EXPECT_FALSE(order.Row(0).inDelivery) << c.what;
    }

    TeppouWorld w;
    w.Sells(0, 0, 3);
    w.Sells(1, 1, 0);
    w.Sells(2, 0, 1);
    TeppouKounyuuOrder order(w.gs, 0);
    ASSERT_EQ(order.Rows().size(), 3u);
    EXPECT_EQ(order.Row(0).place, 1);
    EXPECT_EQ(order.Row(1).place, 2);
    EXPECT_EQ(order.Row(2).place, 0);
    EXPECT_EQ(order.Row(2).months, 3);
}

TEST(TeppouOrdersTest, TheFundsCutACountOrRefuseIt) {
    struct Case {
        const char* what;
        int funds, before, typed;
        int expect;
        bool accepted;
    } cases[] = {
        {"funds exactly at the price", 50, 0, 1, 1, true},
        {"funds one below the price: refused, as nothing fits", 49, 0, 1, 0, false},
        {"more than the funds pay is cut to what they pay", 120, 0, 5, 2, true},
        {"cut to the count it had: refused", 120, 2, 5, 2, false},
        {"a typed count above the offer is held to it", 100000, 0, 5000, 100, true},
        {"a negative count becomes 0", 100000, 3, -4, 0, true},
    };
    for (const Case& c : cases) {
        TeppouWorld w;
        w.gs.DaimyouTbl[0].shikin = c.funds;
        w.Sells(0, 0, 0);
        TeppouKounyuuOrder order(w.gs, 0);
        w.gs.DaimyouTbl[0].shikin = 1000000;  // the order holds the funds it was opened with
        ASSERT_EQ(order.Rows().size(), 1u);
        if (c.before) {
            ASSERT_TRUE(order.SetUnits(0, c.before)) << c.what;
        }
        EXPECT_EQ(order.SetUnits(0, c.typed), c.accepted) << c.what;
        EXPECT_EQ(order.Row(0).units, c.expect) << c.what;
        EXPECT_GE(order.Remaining(), 0) << c.what;
    }
}

TEST(TeppouOrdersTest, MaxAndMaxForEveryPlaceFillInListOrderAsFarAsTheFundsGo) {
    TeppouWorld w;
    w.Sells(0, 0, 0);  // 100 units, listed first
    w.Sells(1, 0, 1);  // 50 units
    w.Sells(2, 0, 3);  // 25 units
    w.gs.DaimyouTbl[0].shikin = 50 * 120;
    TeppouKounyuuOrder order(w.gs, 0);
    order.MaxAll();
    EXPECT_EQ(order.Row(0).units, 100);
    EXPECT_EQ(order.Row(1).units, 20);
    EXPECT_EQ(order.Row(2).units, 0);
    EXPECT_EQ(order.Remaining(), 0);

    order.SetUnits(0, 10);
    order.Max(1);
    EXPECT_EQ(order.Row(1).units, 50) << "the offer bounds MAX";
    order.Max(2);
    EXPECT_EQ(order.Row(2).units, 25);
    order.Max(0);
    EXPECT_EQ(order.Row(0).units, 120 - 75);

    // Funds below one unit: MAX gives nothing.
    w.gs.DaimyouTbl[0].shikin = 49;
    TeppouKounyuuOrder poor(w.gs, 0);
    poor.Max(0);
    poor.MaxAll();
    EXPECT_EQ(poor.Total(), 0);

    // A price below one musket per unit costs nothing: MAX takes the offer.
    w.gs.TeppouKounyuuTbl[0].currentPrice = 0.05;
    TeppouKounyuuOrder free(w.gs, 0);
    EXPECT_EQ(free.Row(0).unitPrice, 0);
    free.Max(0);
    EXPECT_EQ(free.Row(0).units, 100);
    EXPECT_TRUE(free.SetUnits(0, 60));
}

TEST(TeppouOrdersTest, OkBooksOneOrderPerPlaceAndALaterPhaseShowsItInDelivery) {
    TeppouWorld w;
    w.Sells(0, 0, 3);  // 25 units, 3 months
    TeppouKounyuuOrder first(w.gs, 0);
    first.SetUnits(0, 10);
    const std::int64_t funds = w.gs.DaimyouTbl[0].shikin;
    first.Apply(w.gs);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds - 500);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].count, 10);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].months, 3);
    EXPECT_EQ(w.gs.TeppouKounyuuTbl[0].dialogWork, 10);

    // Again in the same phase: the rest of the offer, added to the same order.
    TeppouKounyuuOrder second(w.gs, 0);
    ASSERT_EQ(second.Rows().size(), 1u);
    EXPECT_FALSE(second.Row(0).inDelivery);
    EXPECT_EQ(second.Row(0).purchasable, 15);
    second.MaxAll();
    second.Apply(w.gs);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].count, 25);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds - 25 * 50);

    // Everything bought: the place is not listed for the rest of the phase.
    EXPECT_TRUE(TeppouKounyuuOrder(w.gs, 0).Rows().empty());

    // A later phase: the place is in delivery with what is on order; nothing can be bought there.
    w.gs.TeppouKounyuuTbl[0].dialogWork = 0;
    TeppouKounyuuOrder later(w.gs, 0);
    ASSERT_EQ(later.Rows().size(), 1u);
    EXPECT_TRUE(later.Row(0).inDelivery);
    EXPECT_EQ(later.Row(0).onOrder, 25);
    later.MaxAll();
    later.SetUnits(0, 5);
    EXPECT_EQ(later.Total(), 0);
    later.Apply(w.gs);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds - 25 * 50);
}

// What the house bought at a place in this phase and its order there are 16-bit counts: a place
// offering more than they can take offers what they can, and units beyond it are neither booked
// nor paid for, however often the dialog is opened in the phase.
TEST(TeppouOrdersTest, APlaceOffersNoMoreThanItsCountsCanBookAndNothingBeyondIsPaid) {
    struct Case {
        const char* what;
        double offer;  // muskets a month, sold at 1 a musket (10 a unit)
        int booked;    // units on order after every opening
    };
    const Case cases[] = {
        {"40000 units: all of them, once", 400000, 40000},
        {"70000 units: what one order holds", 700000, 65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TeppouWorld w;
        w.gs.nTeppouKounyuu = 1;
        w.gs.TeppouKounyuuTbl[0].currentOffer = c.offer;
        w.gs.TeppouKounyuuTbl[0].currentPrice = 1;
        w.Sells(0, 0, 0);
        w.gs.DaimyouTbl[0].shikin = 1000000000;
        ASSERT_EQ(TeppouKounyuuOrder(w.gs, 0).Row(0).purchasable, c.booked);
        for (int opening = 0; opening < 6; ++opening) {
            TeppouKounyuuOrder order(w.gs, 0);
            order.MaxAll();
            order.Apply(w.gs);
        }
        EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].count, c.booked);
        EXPECT_EQ(w.gs.TeppouKounyuuTbl[0].dialogWork, c.booked);
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 1000000000 - 10 * c.booked);
        EXPECT_TRUE(TeppouKounyuuOrder(w.gs, 0).Rows().empty());
    }

    // Two orders chosen on the same state: the second finds the counts full and pays nothing.
    TeppouWorld w;
    w.gs.nTeppouKounyuu = 1;
    w.gs.TeppouKounyuuTbl[0].currentOffer = 700000;
    w.gs.TeppouKounyuuTbl[0].currentPrice = 1;
    w.Sells(0, 0, 0);
    w.gs.DaimyouTbl[0].shikin = 1000000000;
    TeppouKounyuuOrder first(w.gs, 0);
    TeppouKounyuuOrder second(w.gs, 0);
    first.MaxAll();
    second.SetUnits(0, 100);
    first.Apply(w.gs);
    second.Apply(w.gs);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].count, 65535);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 1000000000 - 655350);
}

TEST(TeppouOrdersTest, ProductionWithinTheMonthsMaximumAndTheFunds) {
    TeppouWorld w;
    w.gs.TeppouSeisanTbl[0].current = 200;  // the house holds province 0 alone: 20 units a month
    w.gs.TeppouSeisanTbl[2].current = 500;  // the other house's province
    w.gs.TeppouCost[3] = 8.5;               // 85 a unit
    w.gs.DaimyouTbl[0].shikin = 85 * 12;
    TeppouSeisanOrder order(w.gs, 0);
    EXPECT_EQ(order.Kuni(), (std::vector<int>{0}));
    EXPECT_EQ(order.Maximum(), 20);
    EXPECT_EQ(order.UnitCost(), 85);
    order.Max();
    EXPECT_EQ(order.Units(), 12) << "the funds cut MAX";
    EXPECT_FALSE(order.SetUnits(30)) << "cut back to what it was: refused";
    EXPECT_EQ(order.Units(), 12);
    EXPECT_TRUE(order.SetUnits(5));
    EXPECT_TRUE(order.SetUnits(18)) << "cut to 12, which differs from 5";
    EXPECT_EQ(order.Units(), 12);
    order.Apply(w.gs);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouSeisan, 12);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 0);

    // Opened again in the same month: only the rest of the maximum.
    w.gs.DaimyouTbl[0].shikin = 100000;
    TeppouSeisanOrder again(w.gs, 0);
    EXPECT_EQ(again.Maximum(), 8);
    EXPECT_TRUE(again.SetUnits(50));
    EXPECT_EQ(again.Units(), 8);

    // The month's count of made muskets is 16-bit: no more than it can take is offered, made
    // or paid for.
    TeppouWorld full;
    full.gs.TeppouSeisanTbl[0].current = 10000000;
    full.gs.TeppouCost[3] = 1;
    full.gs.DaimyouTbl[0].teppouSeisan = 65000;
    TeppouSeisanOrder rest(full.gs, 0);
    TeppouSeisanOrder same(full.gs, 0);
    EXPECT_EQ(rest.Maximum(), 535);
    rest.Max();
    same.Max();
    const std::int64_t before = full.gs.DaimyouTbl[0].shikin;
    rest.Apply(full.gs);
    same.Apply(full.gs);
    EXPECT_EQ(full.gs.DaimyouTbl[0].teppouSeisan, 65535);
    EXPECT_EQ(full.gs.DaimyouTbl[0].shikin, before - 5350);

    // No producing province: maximum 0, only 0 allowed.
    TeppouWorld none;
    TeppouSeisanOrder nothing(none.gs, 0);
    EXPECT_TRUE(nothing.Kuni().empty());
    EXPECT_EQ(nothing.Maximum(), 0);
    nothing.SetUnits(3);
    EXPECT_EQ(nothing.Units(), 0);
}

}  // namespace
}  // namespace rymd
