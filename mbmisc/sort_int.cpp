#include "mbmisc/sort_int.h"

#include <algorithm>
#include <utility>

#include "platform/core/random.h"

namespace MbMisc {

namespace {

// Largest key first; equal keys by ascending item.
bool LargeFirst(const CSortInt::Entry& a, const CSortInt::Entry& b) {
    if (a.sort != b.sort) {
        return a.sort > b.sort;
    }
    return a.item < b.item;
}

// Smallest key first; equal keys by ascending item.
bool SmallFirst(const CSortInt::Entry& a, const CSortInt::Entry& b) {
    if (a.sort != b.sort) {
        return a.sort < b.sort;
    }
    return a.item < b.item;
}

template <class Less>
void SortTop(std::vector<CSortInt::Entry>& entries, int n, Less less) {
    const int count = static_cast<int>(entries.size());
    if (n < 0 || n >= count) {
        std::sort(entries.begin(), entries.end(), less);
    } else if (n > 0) {
        std::partial_sort(entries.begin(), entries.begin() + n, entries.end(), less);
    }
}

}  // namespace

CSortInt::CSortInt(int capacity) : capacity_(capacity > 0 ? capacity : 0) {
    entries_.reserve(static_cast<std::size_t>(capacity_));
}

void CSortInt::AddData(int item, int sort) {
    entries_.push_back(Entry{sort, item});
    sortSum_ += sort;
}

void CSortInt::AddData(short high, short low, int sort) {
    const std::uint32_t packed = (static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16) |
                                 static_cast<std::uint16_t>(low);
    AddData(static_cast<int>(packed), sort);
}

void CSortInt::SetSort(int index, int sort) {
    if (!Valid(index)) {
        return;
    }
    Entry& e = entries_[static_cast<std::size_t>(index)];
    sortSum_ += static_cast<std::int64_t>(sort) - e.sort;
    e.sort = sort;
}

void CSortInt::SetItem(int index, int item) {
    if (Valid(index)) {
        entries_[static_cast<std::size_t>(index)].item = item;
    }
}

void CSortInt::DeleteAllData() {
    entries_.clear();
    sortSum_ = 0;
}

void CSortInt::DeleteData(int index) {
    if (!Valid(index)) {
        return;
    }
    sortSum_ -= entries_[static_cast<std::size_t>(index)].sort;
    entries_.erase(entries_.begin() + index);
}

int CSortInt::GetSort(int index) const {
    return Valid(index) ? entries_[static_cast<std::size_t>(index)].sort : 0;
}

int CSortInt::GetItem(int index) const {
    return Valid(index) ? entries_[static_cast<std::size_t>(index)].item : 0;
}

int CSortInt::GetItemHigh(int index) const {
    return GetItem(index) >> 16;  // arithmetic shift: the sign is kept
}

int CSortInt::GetItemLow(int index) const {
    return GetItem(index) & 0xFFFF;
}

void CSortInt::SortTopLarge(int n) {
    SortTop(entries_, n, LargeFirst);
}

void CSortInt::SortTopSmall(int n) {
    SortTop(entries_, n, SmallFirst);
}

int CSortInt::GetMax() const {
    if (entries_.empty()) {
        return -1;
    }
    int best = 0;
    for (int i = 1; i < GetCount(); ++i) {
        if (entries_[static_cast<std::size_t>(i)].sort > entries_[static_cast<std::size_t>(best)].sort) {
            best = i;
        }
    }
    return best;
}

int CSortInt::GetMin() const {
    if (entries_.empty()) {
        return -1;
    }
    int best = 0;
    for (int i = 1; i < GetCount(); ++i) {
        if (entries_[static_cast<std::size_t>(i)].sort < entries_[static_cast<std::size_t>(best)].sort) {
            best = i;
        }
    }
    return best;
}

void CSortInt::Randomize(rymd::Random& random) {
    const int count = GetCount();
    int s = 0;
    while (s < count) {
        int len = 1;
        while (s + len < count && entries_[static_cast<std::size_t>(s + len)].sort ==
                                      entries_[static_cast<std::size_t>(s)].sort) {
            ++len;
        }
        if (len >= 2) {
            for (int i = 0; i < len; ++i) {
                const int r = static_cast<int>(random.Next() / 32768.0 * (len - i)) + i;
                std::swap(entries_[static_cast<std::size_t>(s + r)],
                          entries_[static_cast<std::size_t>(s + i)]);
            }
        }
        s += len;
    }
}

}  // namespace MbMisc
