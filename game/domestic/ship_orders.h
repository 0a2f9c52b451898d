// The player's ship-building orders for the castles of one province: trade ships, which exist
// as soon as they are paid for, and warships, which a castle builds over four months. Each order
// keeps the player's choices apart from the game until it is applied, so a dialog can show and
// change them freely and Cancel leaves the game as it was.
//
// Both orders set a count of new ships per castle row, within the row's cap and the house's funds
// at one price per ship; a price of 0 or less costs nothing and the funds never limit it.
#pragma once

#include <cstdint>
#include <vector>

namespace rymd {

struct GameState;

// What both orders share: the castle rows, their caps, the new ships and the funds.
class ShipKenzouOrder {
public:
    // The dialogs hold an order of either kind through this base.
    virtual ~ShipKenzouOrder() = default;

    const std::vector<int>& Shiro() const { return shiro_; }
    int Price() const { return price_; }
    // The most new ships the row may take, and the new ships set.
    int Cap(int row) const;
    int New(int row) const;

    // Sum of the new ships times the price, and the funds left after it.
    std::int64_t Total() const;
    std::int64_t Remaining() const;

    // The row's new ships, kept within 0..Cap(row). When the funds do not pay for them they become
    // what the funds pay with the other rows kept (0 when that is nothing); false then (the
    // change is refused with "資金が足りません").
    bool SetNew(int row, int ships);
    // The row's new ships: the most the funds pay with the other rows kept, within its cap.
    void Max(int row);
    // Every row in list order takes its cap, as far as the funds left pay; the rows after the
    // first that cannot be filled get what the funds still pay.
    void MaxAll();

protected:
    ShipKenzouOrder(const GameState& gs, int daimyou, int price);
    void AddRow(int shiro, int cap);
    bool Valid(int row) const { return row >= 0 && row < static_cast<int>(shiro_.size()); }
    int daimyou_;

private:
    std::int64_t TotalWithout(int row) const;

    std::int64_t funds_;
    int price_;
    std::vector<int> shiro_;
    std::vector<int> cap_;
    std::vector<int> new_;
};

// A port castle holds at most this many trade ships, those at sea included.
inline constexpr int kMaxKouekisenPerShiro = 10;
// A castle builds at most this many warships at a time.
inline constexpr int kMaxGunsenKenzou = 5;
// Months a warship order takes; the months left of an order placed this month.
inline constexpr int kGunsenKenzouMonths = 4;

// Trade ships for the house's port castles of the province that nobody besieges, in castle
// order, at KouekisenPrice each; each castle up to kMaxKouekisenPerShiro ships.
class KouekisenKenzouOrder : public ShipKenzouOrder {
public:
    KouekisenKenzouOrder(const GameState& gs, int daimyou, int kuni);
    // The castle's ships in port and at sea.
    int Waiting(int row) const;
    int AtSea(int row) const;
    // Adds the new ships to the castles and pays for them.
    void Apply(GameState& gs) const;

private:
    const GameState& gs_;
};

// Warships for the house's castles of the province on a waterway that nobody besieges, in castle
// order, at GunsenPrice each. A castle takes new orders when it builds nothing or its work was
// ordered this month (four months left); it builds at most kMaxGunsenKenzou ships at a time.
class GunsenKenzouOrder : public ShipKenzouOrder {
public:
    GunsenKenzouOrder(const GameState& gs, int daimyou, int kuni);
    // Warships lying at the castle, ships under construction and their months left.
    int Lying(int row) const;
    int Building(int row) const;
    int MonthsLeft(int row) const;
    bool TakesOrders(int row) const;
    // For each castle with new ships: the construction byte holds the ships under construction
    // plus the new ones (at most kMaxGunsenKenzou) with four months left, the house is the one
    // that ordered them, and the house pays.
    void Apply(GameState& gs) const;

private:
    const GameState& gs_;
};

}  // namespace rymd
