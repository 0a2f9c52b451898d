// Small ranking helpers shared by the planners and the list views:
//   CSortList  - an owned list of (id, key) pairs with exchange sorts and a shuffle of equal keys;
//   CStopWatch - a millisecond stopwatch for pacing animations;
//   CompareBushouListItem / CompareDaimyouListItem - the column comparisons of the general and
//   house lists.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace rymd {

class InformPort;
class Random;
struct GameState;

// A list of (id, key) pairs. The capacity is fixed at construction; the constructor sets the count
// to the capacity. Users either write all capacity entries by index and keep the count, or set the
// count to 0 and append. Ids carry whatever the user packs into 32 bits (a castle, a general, a
// house, or two 16-bit values). Nothing is allocated after construction.
//
// Access by a position outside the list is harmless: reads give 0, writes are ignored.
class CSortList {
public:
    static constexpr int kMaxCapacity = 49999;
    static constexpr const char* kMessageTooLarge = "Debug Message : ソート数が50000以上です";
    static constexpr const char* kMessageNegative = "Debug Message : ソート数がマイナスです";

    // A capacity of 50000 or more, or a negative one, is a programming error: the message goes to
    // the player through the port (when one is given) and the list is made empty (capacity 0), so
    // it stays safe to use.
    explicit CSortList(int capacity, InformPort* inform = nullptr);
    virtual ~CSortList() = default;

    CSortList(const CSortList&) = default;
    CSortList& operator=(const CSortList&) = default;

    // False when the constructor refused the capacity asked for.
    bool CapacityValid() const { return capacityValid_; }

    int Capacity() const { return static_cast<int>(ids_.size()); }
    int Count() const { return count_; }
    // Sets the count, kept within 0..capacity.
    void SetCount(int count);

    std::int32_t Id(int pos) const;
    std::int32_t Key(int pos) const;
    void SetId(int pos, std::int32_t id);
    void SetKey(int pos, std::int32_t key);
    // Writes both halves of the entry at pos (pos < capacity).
    void Set(int pos, std::int32_t id, std::int32_t key);
    // Appends at position count and raises the count; false when the list is full.
    bool Append(std::int32_t id, std::int32_t key);

    // The arrays (capacity entries each).
    std::span<std::int32_t> Ids() { return ids_; }
    std::span<std::int32_t> Keys() { return keys_; }
    std::span<const std::int32_t> Ids() const { return ids_; }
    std::span<const std::int32_t> Keys() const { return keys_; }

    // Exchange sorts over the first count entries: ascending (SortSmall) or descending
    // (SortLarge) keys. Not stable; equal keys may change order.
    void SortSmall();
    void SortLarge();
    // Position of the smallest key, the first such position on ties; 0 for an empty list.
    int GetMin() const;
    // Removes the entry at pos (pos < count): the later entries move down one place.
    void DeleteData(int pos);
    // Shuffles the ids within each run of adjacent equal keys, drawing from the game's random
    // source: for a run of length L at s, for i = 0..L-1, r = trunc(rand() / 32768.0 x (L - i)) + i
    // and ids[s + r] is exchanged with ids[s + i]. Runs of length 1 draw nothing.
    void Randomize(Random& random);

private:
    std::vector<std::int32_t> ids_;
    std::vector<std::int32_t> keys_;
    int count_ = 0;
    bool capacityValid_ = true;
};

// A millisecond stopwatch over the system's 32-bit tick count.
class CStopWatch {
public:
    using TickSource = std::function<std::uint32_t()>;

    // The tick source defaults to the system's millisecond tick count.
    CStopWatch();
    explicit CStopWatch(TickSource ticks);
    virtual ~CStopWatch() = default;

    // Remembers the current tick count and returns it.
    std::uint32_t Start();
    // Milliseconds since Start, correct across a wrap of the 32-bit tick counter.
    std::uint32_t GetElapsed() const;

private:
    TickSource ticks_;
    std::uint32_t start_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Column comparisons of the general and house lists, in the list control's sort convention: a
// negative result puts a first. Both give 0 for equal keys, -1 when a's key is greater and 1 when
// it is smaller, so the larger key comes first.

// Flag of a general-list item that stands for a castle's garrison (0x8000 + castle).
inline constexpr int kGarrisonRowFlag = 0x8000;

// The value a general list registers for each general (column 14), by general index; an empty
// span means none registered (every key 0).
using BushouListValues = std::span<const std::int32_t>;

// Items are general indexes, or 0x8000 + castle for a garrison row, which compares as a general
// with no corps and no troops, valour 3 and the castle's garrison as foot soldiers, standing at
// the castle for its owner. Keys by column:
// 0 list order (minus the item, vassal houses' generals last), 1 command rank, 2 birth year,
// 3 cavalry, 4 foot, 5 muskets, 6 valour, 7 politics, 8 intellect, 9 minus the castle,
// 10 minus the house, 11 field command, 12 naval command, 13 status, 14 the registered value;
// any other column compares equal.
int CompareBushouListItem(const GameState& state, int a, int b, int column, BushouListValues registered = {});

// The house list's value table: 16 values per house, filled by the house list before sorting.
inline constexpr int kDaimyouListValueColumns = 16;
inline constexpr int kDaimyouListRows = 1000;
using DaimyouListValues = std::span<const std::int32_t>;  // row-major, 16 values per house

// Houses a and b. Column 0 index order, 1-12 values 0-11 of the row, 13 mining technology,
// 14 navigation skill, 15-18 values 12-15 of the row, 19 the player's house first; any other
// column equal. A house outside the value table compares with values 0.
int CompareDaimyouListItem(const GameState& state, DaimyouListValues values, int a, int b, int column);

}  // namespace rymd
