// The unit a peacetime planner works on: a house's directly held part (corps -1) or one of its
// corps, with the unit's purse and castles. A castle belongs to the unit when the house owns it
// and, for a corps, when it lies in one of the corps's provinces.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "game/state/house_index.h"

namespace rymd {

struct GameState;

// The year, month and phase of the game.
std::array<int, 3> PhaseStamp(const GameState& gs);

// Something a planner reads once per phase (an income calculator): made afresh from the game
// state when the year, month or phase differs from the last one asked for.
template <class T, class State>
class PhaseCache {
public:
    T& Get(State& gs) {
        const std::array<int, 3> stamp = PhaseStamp(gs);
        if (!value_ || stamp != stamp_) {
            value_ = std::make_unique<T>(gs);
            stamp_ = stamp;
        }
        return *value_;
    }

private:
    std::unique_ptr<T> value_;
    std::array<int, 3> stamp_{};
};

class PlanUnit {
public:
    // An invalid unit (a house outside the table, a corps outside the table or of another house)
    // has no castles, no funds and no musket stock.
    PlanUnit(GameState& gs, const HouseIndex& index, int daimyou, int gundan);

    bool Valid() const { return valid_; }
    int Daimyou() const { return daimyou_; }
    int Gundan() const { return gundan_; }
    bool IsHouse() const { return gundan_ == -1; }
    // The corps's order word; a house does everything (both order bits).
    std::uint16_t Orders() const;

    // The unit's funds (the house's or the corps's) and musket stock.
    std::int32_t Funds() const;
    void Pay(std::int64_t amount);
    std::int32_t TeppouStock() const;
    void SetTeppouStock(std::int32_t stock);

    // The unit's castles in table order.
    const std::vector<int>& Shiro() const { return shiro_; }

private:
    GameState& gs_;
    int daimyou_;
    int gundan_;
    bool valid_ = false;
    std::vector<int> shiro_;
};

// Calls plan(gundan) for each corps slot in use that the house owns, in slot order, then
// plan(-1) for its directly held part; nothing for a house outside the table.
void ForEachPlanUnit(const GameState& gs, int daimyou, const std::function<void(int)>& plan);

// Whether the castle has besiegers.
bool IsShiroBesieged(const GameState& gs, int shiro);

}  // namespace rymd
