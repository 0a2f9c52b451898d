// The navy sortie: which generals (and the castle's garrison) go by water, and how many warships
// of each owner house sail with them. Three callers use it: a sortie by water, a move by water,
// and the choice of crews for a naval battle at a castle under siege.
//
// The owner rows are the fleets lying at the origin grouped by owner house, the player's own
// house first: the ordinary fleets when the origin is a castle of the player's side, the
// blockade fleets off it when it is a castle the player's house besieges. A row's sailable ships
// are its ships without a move order (every ship with include-all). Every count a player types
// is kept inside its range: a row never sails more than its sailable ships nor more than the
// limit leaves to it, and the total never exceeds the sailable total or the ship limit.
//
// One ship carries 1000 soldiers: the required ships are the chosen troops over 1000, rounded
// up, at least one when anybody is chosen.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace rymd {

struct GameState;

// What the caller gives before the choice.
struct NavySortieInput {
    bool includeAll = false;   // list generals of corps and already ordered, sail ordered ships too
    bool sortie = true;        // a sortie (出陣); false: a move (移動)
    bool garrisonRow = false;  // the castle's garrison may go as one more unit
    int origin = -1;
    int destination = -1;  // -1: the choice of crews for a naval battle at the origin
};

// The ships of one owner house at the origin.
struct NavyOwnerRow {
    int daimyou = -1;
    int total = 0;     // every ship of the house there
    int sailable = 0;  // ships that may sail
    int ships = 0;     // ships to sail
};

// The ships a row sends: its owner and its count (rows with ships only).
struct NavyShipOrder {
    int daimyou = -1;
    int ships = 0;
};

class NavySortieModel {
public:
    static constexpr int kShipLimit = 200;
    static constexpr int kNavalBattleUnits = 21;
    static constexpr int kSoldiersPerShip = 1000;

    NavySortieModel(const GameState& gs, int player, const NavySortieInput& input);

    const NavySortieInput& Input() const { return input_; }
    bool NavalBattleChoice() const { return input_.destination < 0; }
    // The most units that may go: 21 in a naval battle, else 20 less the generals the
    // destination holds or expects.
    int UnitLimit() const { return unitLimit_; }
    // The most ships that may still go to the destination (never below 0).
    int ShipLimit() const { return shipLimit_; }

    // The units that may go, in list order: general indexes, then kShiroGarrisonItem + castle
    // for the garrison row.
    const std::vector<int>& Candidates() const { return candidates_; }
    const std::vector<NavyOwnerRow>& Rows() const { return rows_; }
    int SailableTotal() const;
    int Total() const;
    // The soldiers of the units and the ships they need (a unit named twice counts once).
    long long Soldiers(std::span<const int> units) const;
    int RequiredShips(std::span<const int> units) const;

    // The range of a row's count (the others' ships stay) and of the total.
    int RowMax(int row) const;
    int TotalMax() const;
    // A row's count typed, kept inside its range.
    void SetRowShips(int row, int ships);
    // A total typed, kept inside its range: a decrease is taken from the last rows first, each
    // down to 0; an increase is added to the first rows first, each up to its sailable ships.
    void SetTotal(int total);
    // "兵数に合わせる": the total becomes the ships the units need (within the range).
    void MatchToTroops(std::span<const int> units);
    // "MAX": the rows filled from the first, each up to its sailable ships, to the range's top.
    void Max();

    // The refusal of OK ("" when the choice may go): no general chosen for a sortie (a naval
    // battle is one: its crews must be named), more units than the limit, fewer ships than the
    // troops need.
    std::string CheckOk(std::span<const int> units) const;
    // The rows that send ships.
    std::vector<NavyShipOrder> Orders() const;

private:
    const GameState& gs_;
    int player_;
    NavySortieInput input_;
    int unitLimit_ = 0;
    int shipLimit_ = 0;
    std::vector<int> candidates_;
    std::vector<NavyOwnerRow> rows_;
};

// The by-water move's warships: for each row that sends ships, as many as the registry plans
// from the origin to the target and the castles near it (from the blockade fleets when the
// generals leave a siege).
void PlanNavyMove(GameState& gs, int origin, int target, std::span<const NavyShipOrder> orders, bool siege);
// The by-water sortie's warships: each row's ships ordered to the target.
void AssignNavySortie(GameState& gs, int origin, int target, std::span<const NavyShipOrder> orders);

}  // namespace rymd
