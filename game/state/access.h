// Reaching the records of the game state by index: the live counts, validity, accessors and
// index ranges. The counts are clamped to their tables' capacities, so a loop over a range or
// a test of validity is safe whatever a loaded game or an event left in the counts.
//
//     for (int c : ShiroIndexes(gs))
//         if (IsValidDaimyou(gs, ShiroAt(gs, c).daimyou)) ...
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "game/state/game_state.h"

namespace rymd {

// --- live counts ----------------------------------------------------------------------------

inline int ShiroCount(const GameState& gs) {
    return std::clamp(gs.nShiro, 0, GameState::kMaxShiro);
}
inline int BushouCount(const GameState& gs) {
    return std::clamp(gs.nBushou, 0, GameState::kMaxBushou);
}
inline int DaimyouCount(const GameState& gs) {
    return std::clamp(gs.nDaimyou, 0, GameState::kMaxDaimyou);
}
// The soldier unit as a divisor: never below 1.
inline int HeiUnit(const GameState& gs) {
    return gs.nHeiUnit >= 1 ? gs.nHeiUnit : 1;
}

// --- validity -------------------------------------------------------------------------------

inline bool IsValidShiro(const GameState& gs, int shiro) {
    return shiro >= 0 && shiro < ShiroCount(gs);
}
inline bool IsValidBushou(const GameState& gs, int bushou) {
    return bushou >= 0 && bushou < BushouCount(gs);
}
inline bool IsValidDaimyou(const GameState& gs, int daimyou) {
    return daimyou >= 0 && daimyou < DaimyouCount(gs);
}
// Corps slots are not counted: every slot of the table is addressable (a free one has
// leader -1).
inline bool IsValidGundan(int gundan) {
    return gundan >= 0 && gundan < GameState::kMaxGundan;
}

// Houses the scenario defines, each with its identifier in the name index: scripts address
// them as 1 .. this count. A started game appends its dummy house after them, which is no house
// of the scenario and has no identifier.
inline int ScenarioHouseCount(const GameState& gs) {
    return std::min(static_cast<int>(gs.NameIndex.Count(1)), DaimyouCount(gs));
}

// A house is in play while its head field is not -1 (-2 means "between heads").
inline bool HouseExists(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) && gs.DaimyouTbl[static_cast<std::size_t>(daimyou)].toushu != -1;
}
// A house has a head now: in play and not between heads (stricter than HouseExists).
inline bool HouseHasHead(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) && gs.DaimyouTbl[static_cast<std::size_t>(daimyou)].toushu >= 0;
}

// --- accessors (the index must be valid) ----------------------------------------------------

// Checked builds (Debug, the sanitizer and fuzz builds define RYMD_CHECKED_ACCESS) stop the
// game with a message naming the table when an accessor is given an index outside it; the
// other builds check nothing and the accessor is a plain subscript.
[[noreturn]] void IndexOutOfTable(const char* table, int index, int count);

inline void CheckIndex([[maybe_unused]] const char* table, [[maybe_unused]] int index,
                       [[maybe_unused]] int count) {
#ifdef RYMD_CHECKED_ACCESS
    if (index < 0 || index >= count) IndexOutOfTable(table, index, count);
#endif
}

// Castles, their geography, generals and houses: an index below the live count.
inline CShiro& ShiroAt(GameState& gs, int shiro) {
    CheckIndex("castle", shiro, ShiroCount(gs));
    return gs.ShiroTbl[static_cast<std::size_t>(shiro)];
}
inline const CShiro& ShiroAt(const GameState& gs, int shiro) {
    CheckIndex("castle", shiro, ShiroCount(gs));
    return gs.ShiroTbl[static_cast<std::size_t>(shiro)];
}
// In a scan over the castle table, asks for the record some places ahead of castle c: the
// records lie too far apart for the processor to fetch the next ones on its own. Only a hint:
// nothing is read, and nothing past the live count is asked for. (The compiler drops its own
// prefetch built-in from such loops, so on x86 the instruction is written out.)
inline void PrefetchShiroAhead(const GameState& gs, int c) {
    constexpr int kAhead = 12;
    if (c < 0 || c + kAhead >= ShiroCount(gs)) return;
    const std::int16_t& owner = gs.ShiroTbl[static_cast<std::size_t>(c + kAhead)].daimyou;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm volatile("prefetcht0 %0" : : "m"(owner));
#else
    __builtin_prefetch(&owner);
#endif
}
inline ShiroMapRecord& ShiroMapAt(GameState& gs, int shiro) {
    CheckIndex("castle geography", shiro, ShiroCount(gs));
    return gs.ShiroMapTbl[static_cast<std::size_t>(shiro)];
}
inline const ShiroMapRecord& ShiroMapAt(const GameState& gs, int shiro) {
    CheckIndex("castle geography", shiro, ShiroCount(gs));
    return gs.ShiroMapTbl[static_cast<std::size_t>(shiro)];
}
inline CBushou& BushouAt(GameState& gs, int bushou) {
    CheckIndex("general", bushou, BushouCount(gs));
    return gs.BushouTbl[static_cast<std::size_t>(bushou)];
}
inline const CBushou& BushouAt(const GameState& gs, int bushou) {
    CheckIndex("general", bushou, BushouCount(gs));
    return gs.BushouTbl[static_cast<std::size_t>(bushou)];
}
inline CDaimyou& DaimyouAt(GameState& gs, int daimyou) {
    CheckIndex("house", daimyou, DaimyouCount(gs));
    return gs.DaimyouTbl[static_cast<std::size_t>(daimyou)];
}
inline const CDaimyou& DaimyouAt(const GameState& gs, int daimyou) {
    CheckIndex("house", daimyou, DaimyouCount(gs));
    return gs.DaimyouTbl[static_cast<std::size_t>(daimyou)];
}
// Corps: any slot of the table.
inline CGundan& GundanAt(GameState& gs, int gundan) {
    CheckIndex("corps", gundan, GameState::kMaxGundan);
    return gs.GundanTbl[static_cast<std::size_t>(gundan)];
}
inline const CGundan& GundanAt(const GameState& gs, int gundan) {
    CheckIndex("corps", gundan, GameState::kMaxGundan);
    return gs.GundanTbl[static_cast<std::size_t>(gundan)];
}

// Castle slots up to the table's capacity, past the live count too: for the code that fills,
// clears or searches the table as a whole (a scenario being read, a new game's set-up).
inline CShiro& ShiroSlotAt(GameState& gs, int shiro) {
    CheckIndex("castle slot", shiro, GameState::kMaxShiro);
    return gs.ShiroTbl[static_cast<std::size_t>(shiro)];
}
inline ShiroMapRecord& ShiroMapSlotAt(GameState& gs, int shiro) {
    CheckIndex("castle geography slot", shiro, GameState::kMaxShiro);
    return gs.ShiroMapTbl[static_cast<std::size_t>(shiro)];
}
// General slots up to the capacity: a general coming on stage takes the slot past the count.
inline CBushou& BushouSlotAt(GameState& gs, int bushou) {
    CheckIndex("general slot", bushou, GameState::kMaxBushou);
    return gs.BushouTbl[static_cast<std::size_t>(bushou)];
}

// --- index ranges over the live counts ------------------------------------------------------

// The indexes 0 .. end - 1, for range-for loops and the range algorithms. A type of our own:
// clang before 16 cannot build std::views::iota over the standard library of gcc 12.
class IndexRange {
public:
    class Iterator {
    public:
        using value_type = int;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        explicit Iterator(int i) : i_(i) {}
        int operator*() const { return i_; }
        Iterator& operator++() {
            ++i_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++i_;
            return old;
        }
        bool operator==(const Iterator&) const = default;

    private:
        int i_ = 0;
    };
    explicit IndexRange(int end) : end_(end > 0 ? end : 0) {}
    Iterator begin() const { return Iterator(0); }
    Iterator end() const { return Iterator(end_); }
    int size() const { return end_; }
    bool empty() const { return end_ == 0; }

private:
    int end_;
};

inline IndexRange ShiroIndexes(const GameState& gs) {
    return IndexRange(ShiroCount(gs));
}
inline IndexRange BushouIndexes(const GameState& gs) {
    return IndexRange(BushouCount(gs));
}
inline IndexRange DaimyouIndexes(const GameState& gs) {
    return IndexRange(DaimyouCount(gs));
}
inline IndexRange GundanIndexes() {
    return IndexRange(GameState::kMaxGundan);
}

}  // namespace rymd
