// CSortInt: a list of (key, item) integer pairs ranked by key.
//
// The planners fill it with AddData, rank it with SortTopLarge / SortTopSmall and read the entries
// from position 0; Randomize then puts entries of equal key in random order. Lists hold up to a
// few thousand entries, so the sorts are O(n log n) (a partial sort when only the top n are
// wanted).
//
// Order among equal keys: after a sort, entries of equal key stand in ascending item order. This
// is a total order on distinct pairs, so the result never depends on the input order or on the
// sorting method.
//
// Positions outside the list are harmless: reads give 0, writes and deletions are ignored.
#pragma once

#include <cstdint>
#include <vector>

namespace rymd {
class Random;
}

namespace MbMisc {

class CSortInt {
public:
    struct Entry {
        int sort;  // the key
        int item;
    };

    // capacity: the most entries the caller will add. The list grows beyond it if a caller adds
    // more, so no entry is ever lost.
    explicit CSortInt(int capacity);
    virtual ~CSortInt() = default;

    // Copies own their entries (a copy never shares or frees the original's).
    CSortInt(const CSortInt&) = default;
    CSortInt& operator=(const CSortInt&) = default;

    // Appends {sort, item}.
    void AddData(int item, int sort);
    // Appends {sort, (high << 16) | (low & 0xFFFF)}.
    void AddData(short high, short low, int sort);
    void SetSort(int index, int sort);
    void SetItem(int index, int item);
    void DeleteAllData();
    // Removes the entry at index; the later entries move up by one.
    void DeleteData(int index);

    int GetCapacity() const { return capacity_; }
    int GetCount() const { return static_cast<int>(entries_.size()); }
    // Running sum of the keys of all entries.
    std::int64_t GetSortSum() const { return sortSum_; }
    int GetSort(int index) const;
    int GetItem(int index) const;
    // The item's high 16 bits (sign kept) and low 16 bits.
    int GetItemHigh(int index) const;
    int GetItemLow(int index) const;

    // Orders the entries by key, largest first. n = -1 (or any n < 0, or n >= count) orders all;
    // otherwise at least the first n positions hold the n largest entries in order, and the rest
    // follow in no particular order.
    void SortTopLarge(int n);
    // The same with the smallest key first.
    void SortTopSmall(int n);
    // Position of the entry with the largest / smallest key (the first such position on ties);
    // -1 for an empty list.
    int GetMax() const;
    int GetMin() const;
    // Puts each run of adjacent entries of equal key in random order, drawing from the game's
    // random source: for a run of length L at s, for i = 0..L-1, r = trunc(rand() / 32768.0 x (L - i))
    // + i and entries s + r and s + i are exchanged. Runs of length 1 draw nothing.
    void Randomize(rymd::Random& random);

private:
    bool Valid(int index) const { return index >= 0 && index < GetCount(); }

    int capacity_ = 0;
    std::vector<Entry> entries_;
    std::int64_t sortSum_ = 0;
};

}  // namespace MbMisc
