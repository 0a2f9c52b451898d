// Who holds what, by house, read from the tables once: the castles each house owns and those
// counted for it, the castles it besieges, its generals by house field and counted for it, its
// guest generals, the weighted strength of its generals, and the counted house of each castle,
// every list in table order.
//
// The computer's planners of one phase only write orders and values: no castle changes hands
// and no general changes house or corps while they run, so one index serves every house they
// plan in that phase, and the shared queries (queries.h) walk its lists instead of the whole
// tables. Refresh takes it again when the date, the phase or a table's count changes; a planner
// drops it when its own end step moves generals (the strategy phase's end may remove some).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/state/access.h"

namespace rymd {

// The list of the house in a table of lists by house, or an empty list for an index outside it.
inline const std::vector<int>& ListOfHouse(const std::vector<std::vector<int>>& lists, int daimyou) {
    static const std::vector<int> kNone;
    return daimyou >= 0 && static_cast<std::size_t>(daimyou) < lists.size()
               ? lists[static_cast<std::size_t>(daimyou)]
               : kNone;
}

class HouseIndex {
public:
    HouseIndex() = default;
    explicit HouseIndex(const GameState& gs) { Refresh(gs); }

    // Builds the index unless it already describes this moment of the game.
    void Refresh(const GameState& gs);
    void Drop() { valid_ = false; }
    // Adds to a house's generals (in table order) each captive or hostage of the index who has
    // since joined it: freed from captivity, or a hostage whose own house is gone. A caller
    // whose phase changes bonds between houses keeps the lists by house field (OwnShiro,
    // MemberBushou) complete this way; generals who have left a house stay in its list, and
    // the lists by counted house are not followed.
    void AddFreedMembers(const GameState& gs);

    // By the house fields of the records:
    // castles whose owner is the house;
    const std::vector<int>& OwnShiro(int daimyou) const { return Of(ownShiro_, daimyou); }
    // generals whose house is the house, whatever their status;
    const std::vector<int>& MemberBushou(int daimyou) const { return Of(members_, daimyou); }

    // By counted house (a vassal counts for its master):
    // castles whose owner counts for the house;
    const std::vector<int>& ShiroOf(int daimyou) const { return Of(shiro_, daimyou); }
    // castles of other houses that the house besieges;
    const std::vector<int>& SiegesOf(int daimyou) const { return Of(siege_, daimyou); }
    // generals that count for the house by their house field (captives and hostages, held by
    // no house, count for none);
    const std::vector<int>& BushouOf(int daimyou) const { return Of(bushou_, daimyou); }
    // guest generals (status 3) that count for the house;
    const std::vector<int>& KyakushouOf(int daimyou) const { return Of(kyakushou_, daimyou); }
    // Captives and hostages (status 1 and 2) of every house, in table order: the only generals whose house
    // the personnel phase changes.
    const std::vector<int>& CaptivesAndHostages() const { return held_; }
    // 3 x cavalry + foot over the generals of BushouOf;
    int StrengthOf(int daimyou) const {
        return daimyou >= 0 && static_cast<std::size_t>(daimyou) < strength_.size()
                   ? strength_[static_cast<std::size_t>(daimyou)]
                   : 0;
    }
    // the counted house of the castle's owner.
    int EffOf(int shiro) const { return eff_[static_cast<std::size_t>(shiro)]; }

private:
    static const std::vector<int>& Of(const std::vector<std::vector<int>>& lists, int daimyou) {
        return ListOfHouse(lists, daimyou);
    }

    bool valid_ = false;
    std::array<int, 6> stamp_{};
    std::vector<std::vector<int>> ownShiro_, members_, shiro_, siege_, bushou_, kyakushou_;
    std::vector<int> held_;
    std::vector<int> strength_;
    std::vector<int> eff_;
};

// The castles of each house by the owner field of the castle records, in table order. The war
// phase takes it before its sieges, where castles change hands one capture at a time: the
// capture tells it each change (Move), so that what a capture reads of the conqueror's castles
// comes from his list instead of the whole castle table. Whoever holds it must tell it every
// change of an owner while it is used.
class ShiroOwnerIndex {
public:
    explicit ShiroOwnerIndex(const GameState& gs);

    // The castles whose owner is the house; null for an owner outside the house table (read the
    // castle table for those).
    const std::vector<int>* Of(int daimyou) const {
        return daimyou >= 0 && static_cast<std::size_t>(daimyou) < lists_.size()
                   ? &lists_[static_cast<std::size_t>(daimyou)]
                   : nullptr;
    }
    // The castle's owner field changed from `from` to `to`.
    void Move(int shiro, int from, int to);

private:
    std::vector<std::vector<int>> lists_;
};

// The generals by the castle field of their records, for a phase that reads the generals
// standing at one castle again and again while generals move: built once from the general
// table, it watches the game state while it lives (gs.shiroBushouWatch) and hears of every
// general SetBushouShiro moves. At(castle) holds, in table order, every general whose castle
// field is the castle (and perhaps some who have left it since: callers check the field). A
// renumbering or a new count of the general table makes it stale: Current is false then and
// callers read the whole table.
class ShiroBushouIndex {
public:
    explicit ShiroBushouIndex(GameState& gs);
    ~ShiroBushouIndex();
    ShiroBushouIndex(const ShiroBushouIndex&) = delete;
    ShiroBushouIndex& operator=(const ShiroBushouIndex&) = delete;

    bool Current() const;
    // The generals that may stand at the castle, in table order (none outside the castles).
    const std::vector<int>& At(int shiro) const;

    // The general's castle field became shiro.
    void Moved(int bushou, int shiro);
    // The general table was renumbered.
    void Stale() { stale_ = true; }

private:
    GameState& gs_;
    int count_;
    bool stale_ = false;
    mutable std::vector<std::vector<int>> at_;
    mutable std::vector<std::uint8_t> sorted_;  // whether at_[castle] is in order with no repeats
};

// Sets the general's castle field and tells the index that watches the state, if any. The
// general's index must be valid.
inline void SetBushouShiro(GameState& gs, int bushou, int shiro) {
    BushouAt(gs, bushou).shiro = static_cast<std::int16_t>(shiro);
    if (ShiroBushouIndex* watch = gs.shiroBushouWatch.get()) watch->Moved(bushou, shiro);
}

// Calls f(index, castle) for every castle of the house and corps (corps -1: the direct command),
// in table order; from the index's list of the house when there is one, else from the whole
// table.
template <class F>
void ForShiroOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index, F&& f) {
    if (index && IsValidDaimyou(gs, daimyou)) {
        for (int c : index->OwnShiro(daimyou)) {
            const CShiro& s = ShiroAt(gs, c);
            if (s.daimyou == daimyou && s.gundan == gundan) f(c, s);
        }
        return;
    }
    const int n = ShiroCount(gs);
    for (int c = 0; c < n; ++c) {
        const CShiro& s = ShiroAt(gs, c);
        if (s.daimyou == daimyou && s.gundan == gundan) f(c, s);
    }
}

// Calls f(index, general) for every general of the house and corps (none for a negative house),
// the same way.
template <class F>
void ForBushouOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index, F&& f) {
    if (daimyou < 0) return;
    if (index && IsValidDaimyou(gs, daimyou)) {
        for (int g : index->MemberBushou(daimyou)) {
            const CBushou& b = BushouAt(gs, g);
            if (b.daimyou == daimyou && b.gundan == gundan) f(g, b);
        }
        return;
    }
    const int n = BushouCount(gs);
    for (int g = 0; g < n; ++g) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou == daimyou && b.gundan == gundan) f(g, b);
    }
}

}  // namespace rymd
