// The player's castle commands over one province: castle works and provisions in the armament
// phase, land reclamation, mine development and free markets in the domestic phase.
//
// Each command is an order that its dialog renders and fills: the castles it lists, what each
// choice costs, the refusals (as the messages the player sees, in the scenario's words) and the
// step that carries it out. The works and provisions orders keep every choice until Apply; the
// developments are carried out at once by ExecuteDevelopment.
//
// The once-a-month limits rest on the castle snapshot taken at the start of the phase: a castle
// whose value stands above its snapshot value has been worked this month.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rymd {

struct GameState;

// ---- Castle works --------------------------------------------------------------------------------

// Raises castles of the house in a province by one size step each, at most once a month per
// castle, for size x 1000 each (a size-0 castle is raised for nothing).
class ShiroFushinOrder {
public:
    // Lists the house's castles of the province that nobody besieges, in table order.
    ShiroFushinOrder(const GameState& gs, int daimyou, int kuni);

    const std::vector<int>& Rows() const { return rows_; }
    // Works were ordered on the castle here, or it was raised already this month.
    bool Done(int row) const;
    // Works ordered here.
    bool Marked(int row) const;
    // The cost of raising the castle one step from its present size.
    std::int64_t Cost(int row) const;
    std::int64_t TotalCost() const { return total_; }
    // The house's funds less the cost of the works ordered.
    std::int64_t FundsLeft() const;
    // Orders works on a row's castle: "" when ordered, else the message that refuses it (at its
    // maximum size, done already, or not enough funds).
    std::string Order(int row);
    // Raises every ordered castle by one step and takes the total cost from the house's funds.
    void Apply(GameState& gs) const;

private:
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }

    const GameState& gs_;
    int daimyou_;
    std::vector<int> rows_;
    std::vector<bool> marked_;
    std::int64_t total_ = 0;
};

// ---- Provisions ---------------------------------------------------------------------------------

// Buys provisions for castles of the house in a province, one unit of funds for each, up to the
// castle's capacity (size x the provisions per size step).
class ShiroHyourouOrder {
public:
    // Lists the house's castles of the province in table order, but not a besieged castle unless
    // it lies on a waterway that no warship blockades.
    ShiroHyourouOrder(const GameState& gs, int daimyou, int kuni);

    const std::vector<int>& Rows() const { return rows_; }
    std::int64_t Amount(int row) const;
    // The castle's provisions before and after its purchase.
    std::int64_t Provisions(int row) const;
    std::int64_t ProvisionsAfter(int row) const { return Provisions(row) + Amount(row); }
    std::int64_t Capacity(int row) const;
    // What the row may buy at most: up to its capacity, within the funds the other rows leave.
    std::int64_t Headroom(int row) const;
    // The top a "+10" step may reach, in tens: (top - provisions rounded down to tens) / 10.
    std::int64_t TensLimit(int row) const;
    // The house's funds less every row's purchase.
    std::int64_t FundsLeft() const;
    // Sets a row's purchase (below 0 counts as 0). False, and the amount kept, when the funds
    // would not be enough.
    bool SetAmount(int row, std::int64_t amount);
    // The amount a "+10" step to tens gives: the row's ones kept, at most up to the capacity.
    std::int64_t AmountFromTens(int row, std::int64_t tens) const;
    // Adds every row's purchase to its castle and takes it from the house's funds.
    void Apply(GameState& gs) const;

private:
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    std::int64_t Top(int row) const;

    const GameState& gs_;
    int daimyou_;
    std::vector<int> rows_;
    std::vector<std::int64_t> amounts_;
};

// ---- Land reclamation, mine development, free markets ----------------------------------------------

enum class Development { kKaikon, kKouzanKaihatsu, kRakuichi };

// The value a development raises (rice yield, mine level, town economy) and its maximum.
std::int64_t DevelopmentValue(const GameState& gs, Development kind, int shiro);
std::int64_t DevelopmentMaximum(const GameState& gs, Development kind, int shiro);
// The value shown: "%d万%04d石" in the scenario's words for rice yield, else "%d".
std::string DevelopmentValueText(const GameState& gs, Development kind, std::int64_t value);
// Cost per castle: 500 reclamation, 100 mine, 50 free market.
int DevelopmentCost(Development kind);
// The house's castles of the province that may be developed: not besieged, below the maximum,
// and not developed already this month. In table order.
std::vector<int> DevelopmentCandidates(const GameState& gs, Development kind, int daimyou, int kuni);
// The message that refuses developing n castles (none chosen, or funds short), "" when it may go on.
std::string RefuseDevelopment(const GameState& gs, Development kind, int daimyou, int n);
// The question asked before developing n castles: "%dの費用が必要です。実行しますか？".
std::string DevelopmentQuestion(Development kind, int n);
// Develops each castle in turn (random factors drawn, the castle changed) and pays for each from
// the house's funds. The caller has checked with RefuseDevelopment.
void ExecuteDevelopment(GameState& gs, Development kind, int daimyou, std::span<const int> shiro);

}  // namespace rymd
