// The player's musket orders of the domestic phase: buying muskets from the scenario's purchase
// places, which deliver after some months, and making them in the provinces of the house that
// produce muskets, which delivers at the next month start. Each order keeps the player's choices
// apart from the game until it is applied, so a dialog can show and change them freely and
// Cancel leaves the game as it was. Both pay at once from the house's funds when applied; the
// month start adds the arrivals to the house's undeployed muskets.
//
// Muskets are counted in soldier units (nHeiUnit muskets each). A price of one unit is
// trunc(nHeiUnit x the price of one musket). A unit price of 0 costs nothing: the funds never
// limit it.
#pragma once

#include <cstdint>
#include <vector>

namespace rymd {

struct GameState;

// A purchase order over every place that sells to the house.
class TeppouKounyuuOrder {
public:
    struct Place {
        int place = 0;            // index of the purchase place
        int months = 0;           // months until delivery (the fewest over the house's provinces)
        int purchasable = 0;      // units that may still be bought here in this phase
        int unitPrice = 0;        // price of one unit
        bool inDelivery = false;  // an order of an earlier phase is on its way: nothing to buy
        int onOrder = 0;          // units of that order
        int units = 0;            // units chosen in this order
    };

    TeppouKounyuuOrder(const GameState& gs, int daimyou);

    // The places listed, fewest months first: those where the house may buy (what its places sell
    // less what it bought there in this phase, when that is left) and those in delivery.
    const std::vector<Place>& Rows() const { return rows_; }
    const Place& Row(int row) const;

    // Sum of the chosen units times their prices, and the funds left after it.
    std::int64_t Total() const;
    std::int64_t Remaining() const;

    // The row's units, kept within 0..purchasable. When the funds do not pay for them they are cut
    // to what the funds pay with the other rows kept; false when that is what the row had before
    // (the change is refused: "資金が足りません").
    bool SetUnits(int row, int units);
    // The most units the funds pay with the other rows kept, within what the place sells.
    void Max(int row);
    // Every row not in delivery, in list order, takes what the place sells, as far as the funds
    // left pay.
    void MaxAll();

    // Pays for the chosen units, adds them to the house's order at each place (the months of
    // delivery set anew) and to what the house bought there in this phase. Both counts hold at
    // most 65535 units: a place never offers more than they can still take, and units beyond
    // that are neither booked nor paid for.
    void Apply(GameState& gs) const;

private:
    std::int64_t Funds() const;
    std::int64_t TotalWithout(int row) const;
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }

    int daimyou_;
    std::int64_t funds_;
    std::vector<Place> rows_;
};

// This month's production order of the house.
class TeppouSeisanOrder {
public:
    TeppouSeisanOrder(const GameState& gs, int daimyou);

    // The provinces that make muskets for the house, in province order.
    const std::vector<int>& Kuni() const { return kuni_; }
    // Units the house may still make this month (what it makes a month less what it made
    // already, never below 0, and no more than the month's count of 65535 can still take).
    int Maximum() const { return maximum_; }
    int UnitCost() const { return unitCost_; }
    int Units() const { return units_; }
    std::int64_t Remaining() const;

    // The units, kept within 0..Maximum(); cut to what the funds pay, false when that is what
    // they were before (refused: "資金が足りません").
    bool SetUnits(int units);
    // The maximum, cut to what the funds pay.
    void Max();

    // Adds the units to what the house makes this month and pays for them (no more than the
    // month's count can take).
    void Apply(GameState& gs) const;

private:
    int daimyou_;
    std::int64_t funds_;
    std::vector<int> kuni_;
    int maximum_ = 0;
    int unitCost_ = 0;
    int units_ = 0;
};

}  // namespace rymd
