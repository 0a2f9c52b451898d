// The player's armament orders for one province: conscription (cavalry and foot soldiers for the
// generals, garrison soldiers for the castles) and the deployment of the house's musket stock to
// its generals. Each order keeps the player's choices apart from the game until it is applied,
// so a dialog can show and change them freely and Cancel leaves the game as it was.
//
// Both orders list the same generals: for every castle of the province that nobody besieges, in
// castle order, the generals of its list (in list order) who are under the house's direct command
// (no corps) and serve the house: a guest general serves the house his own house counts for (its
// master when his house is a vassal house), any other general the house of his house field.
//
// Troops, garrisons and muskets are in soldier units (nHeiUnit soldiers or guns each).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rymd {

struct GameState;

// Slots of GameState::PlayerChouheiLimits: the allowances computed at the start of the armament
// phase and what is left of them.
inline constexpr int kChouheiCavalryTotal = 0;
inline constexpr int kChouheiFootTotal = 1;
inline constexpr int kChouheiCavalryLeft = 2;
inline constexpr int kChouheiFootLeft = 3;

// Whether the general serves the house under its direct command (see above).
bool ServesHouseDirectly(const GameState& gs, int bushou, int daimyou);
// The generals the armament orders of the house list in the province, in list order.
std::vector<int> ListArmamentBushou(const GameState& gs, int daimyou, int kuni);
// The house's own castles of the province that nobody besieges, in castle order.
std::vector<int> ListArmamentShiro(const GameState& gs, int daimyou, int kuni);

// A conscription order. Pending additions are kept per general and per castle of the lists;
// costs per unit: cavalry 3 x nHeiUnit, foot and garrison nHeiUnit each; garrison soldiers draw
// on the foot allowance. A general holds at most 2000 cavalry and 5000 foot soldiers, a castle
// (nShiroHyourouMax / 10) x size garrison soldiers.
class ChouheiOrder {
public:
    ChouheiOrder(const GameState& gs, int daimyou, int kuni, int cavalryAllowance, int footAllowance);

    const std::vector<int>& Bushou() const { return bushou_; }
    const std::vector<int>& Shiro() const { return shiro_; }

    int CavalryCost() const { return 3 * unit_; }
    int FootCost() const { return unit_; }
    int GarrisonCost() const { return unit_; }

    // Room left under the limits for a general or castle, before any pending addition (negative
    // when he or it already holds more).
    int CavalryRoom(int row) const;
    int FootRoom(int row) const;
    int GarrisonRoom(int shiroRow) const;

    int PendingCavalry(int row) const { return cavalry_[Row(row, cavalry_)]; }
    int PendingFoot(int row) const { return foot_[Row(row, foot_)]; }
    int PendingGarrison(int shiroRow) const { return garrison_[Row(shiroRow, garrison_)]; }

    int RemainingCavalry() const;
    int RemainingFoot() const;
    std::int64_t RemainingFunds() const;

    // The highest addition the row may take now (never below 0): within its limit, the
    // allowance left and the funds left, counting its own pending addition as free.
    int CavalryUpper(int row) const;
    int FootUpper(int row) const;
    int GarrisonUpper(int shiroRow) const;

    // Sets a pending addition, kept within 0..its upper end. False, and the addition before
    // kept, when the funds left would then be below 0.
    bool SetCavalry(int row, int units);
    bool SetFoot(int row, int units);
    bool SetGarrison(int shiroRow, int units);

    // The most the row can take: within its limit, the allowance less the other rows' additions
    // and the funds less the other additions. Nothing changes when that is 0 or less; returns
    // whether it changed.
    bool MaxCavalry(int row);
    bool MaxFoot(int row);
    bool MaxGarrison(int shiroRow);

    // Fills the generals in the given order of rows (the list as shown), each first with foot
    // soldiers and then with cavalry, up to his limits, the allowances and the funds; stops at
    // the first general for whom the funds are below 0. Castles get nothing.
    void FillAll(std::span<const int> rowOrder);

    // Adds every pending addition to the generals and castles, pays for them from the house's
    // funds and lowers the allowances; the order is empty afterwards.
    void Apply(GameState& gs);
    int CavalryAllowance() const { return cavalryAllowance_; }
    int FootAllowance() const { return footAllowance_; }

private:
    template <class V>
    static std::size_t Row(int row, const V& v) {
        return row >= 0 && static_cast<std::size_t>(row) < v.size() ? static_cast<std::size_t>(row)
                                                                    : v.size() - 1;
    }
    std::int64_t Sum(const std::vector<int>& v) const;
    bool SetChecked(std::vector<int>& pending, int row, int units, int upper);
    bool TakeMax(std::vector<int>& pending, int row, int room, int remaining, int cost);

    const GameState& gs_;
    int daimyou_;
    int unit_;
    int cavalryAllowance_;
    int footAllowance_;
    std::vector<int> bushou_;
    std::vector<int> shiro_;
    // One entry per row and one spare that absorbs a row outside the lists.
    std::vector<int> cavalry_;
    std::vector<int> foot_;
    std::vector<int> garrison_;
};

// After the player's conscription dialog closed with OK: stores what is left of the allowances
// and charges everything raised since the armament phase began (the phase-start allowance less
// what is left) to the rice yield and populace support of the house's directly held castles.
void FinishPlayerChouhei(GameState& gs, int cavalryLeft, int footLeft);

// A musket deployment order: additions per general from the house's undeployed stock. A general
// carries at most as many muskets as he has foot soldiers; one who carries more may give his
// excess back (a negative addition).
class TeppouHaibiOrder {
public:
    TeppouHaibiOrder(const GameState& gs, int daimyou, int kuni);

    const std::vector<int>& Bushou() const { return bushou_; }
    int Addition(int row) const { return add_[Row(row)]; }
    // The stock at the opening less every addition.
    std::int64_t Undeployed() const;
    // The far end of the row's range 0..limit: min(stock not given to the others, foot - muskets),
    // negative for a general with more muskets than foot soldiers; held to 16 bits as the spin
    // holds it.
    int Limit(int row) const;
    // Sets the addition, kept within the range between 0 and the limit.
    void SetAddition(int row, int units);
    // Sets the addition to the limit.
    void Max(int row) { SetAddition(row, Limit(row)); }
    // The general's muskets with his addition.
    int MusketsAfter(int row) const;

    // Hands the additions to the generals; the house's undeployed stock becomes what is left.
    void Apply(GameState& gs);

private:
    std::size_t Row(int row) const {
        return row >= 0 && static_cast<std::size_t>(row) < add_.size() ? static_cast<std::size_t>(row)
                                                                       : add_.size() - 1;
    }

    const GameState& gs_;
    int daimyou_;
    std::int64_t stock_;
    std::vector<int> bushou_;
    std::vector<int> add_;  // one per row and one spare
};

}  // namespace rymd
