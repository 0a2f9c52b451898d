#include "mbmisc/sort_int.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/random.h"

namespace MbMisc {
namespace {

using Pair = std::pair<int, int>;  // (key, item)

std::vector<Pair> Entries(const CSortInt& s, int n = -1) {
    if (n < 0) {
        n = s.GetCount();
    }
    std::vector<Pair> out;
    for (int i = 0; i < n; ++i) {
        out.emplace_back(s.GetSort(i), s.GetItem(i));
    }
    return out;
}

TEST(SortInt, AddDataAndAccessors) {
    CSortInt s(4);
    EXPECT_EQ(s.GetCapacity(), 4);
    EXPECT_EQ(s.GetCount(), 0);
    s.AddData(10, 5);  // item 10, key 5
    s.AddData(static_cast<short>(-2), static_cast<short>(0x1234), 7);
    EXPECT_EQ(s.GetCount(), 2);
    EXPECT_EQ(s.GetItem(0), 10);
    EXPECT_EQ(s.GetSort(0), 5);
    EXPECT_EQ(s.GetSort(1), 7);
    EXPECT_EQ(s.GetItemHigh(1), -2);
    EXPECT_EQ(s.GetItemLow(1), 0x1234);
    s.AddData(static_cast<short>(3), static_cast<short>(-1), 0);
    EXPECT_EQ(s.GetItemHigh(2), 3);
    EXPECT_EQ(s.GetItemLow(2), 0xFFFF);
    EXPECT_EQ(s.GetSortSum(), 12);
    s.SetSort(0, 105);
    EXPECT_EQ(s.GetSortSum(), 112);
    s.SetItem(0, 11);
    EXPECT_EQ(s.GetItem(0), 11);
    s.DeleteData(0);
    EXPECT_EQ(s.GetCount(), 2);
    EXPECT_EQ(s.GetSortSum(), 7);
    EXPECT_EQ(s.GetSort(0), 7);
    s.DeleteAllData();
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.GetSortSum(), 0);
}

TEST(SortInt, OutOfRangeIsHarmlessAndAddingPastCapacityKeepsEntries) {
    CSortInt s(2);
    s.AddData(1, 1);
    EXPECT_EQ(s.GetItem(5), 0);
    EXPECT_EQ(s.GetSort(-1), 0);
    s.SetSort(3, 9);
    s.SetItem(-3, 9);
    s.DeleteData(1);
    s.DeleteData(-1);
    EXPECT_EQ(s.GetCount(), 1);
    s.AddData(2, 2);
    s.AddData(3, 3);  // beyond the capacity given
    EXPECT_EQ(s.GetCount(), 3);
    EXPECT_EQ(s.GetItem(2), 3);
    CSortInt empty(0);
    EXPECT_EQ(empty.GetMin(), -1);
    EXPECT_EQ(empty.GetMax(), -1);
    empty.SortTopLarge(-1);
    empty.SortTopSmall(5);
    CSortInt negative(-10);
    EXPECT_EQ(negative.GetCapacity(), 0);
}

TEST(SortInt, SortsWithEqualKeysInItemOrder) {
    struct Case {
        bool large;
        int n;
        std::vector<Pair> in;
        std::vector<Pair> out;  // the first entries after the sort
    };
    const std::vector<Pair> in = {{5, 3}, {7, 1}, {5, 0}, {9, 2}, {5, 4}};
    const Case cases[] = {
        {true, -1, in, {{9, 2}, {7, 1}, {5, 0}, {5, 3}, {5, 4}}},
        {false, -1, in, {{5, 0}, {5, 3}, {5, 4}, {7, 1}, {9, 2}}},
        {true, 2, in, {{9, 2}, {7, 1}}},
        {false, 1, in, {{5, 0}}},
        {true, 99, in, {{9, 2}, {7, 1}, {5, 0}, {5, 3}, {5, 4}}},
    };
    for (const Case& c : cases) {
        CSortInt s(static_cast<int>(c.in.size()));
        for (const Pair& p : c.in) {
            s.AddData(p.second, p.first);
        }
        if (c.large) {
            s.SortTopLarge(c.n);
        } else {
            s.SortTopSmall(c.n);
        }
        EXPECT_EQ(Entries(s, static_cast<int>(c.out.size())), c.out) << c.large << " " << c.n;
        EXPECT_EQ(s.GetCount(), static_cast<int>(c.in.size()));  // nothing is dropped
    }
}

TEST(SortInt, TopNOnALongListMatchesAFullSort) {
    rymd::Random r(99);
    CSortInt s(5000);
    for (int i = 0; i < 5000; ++i) {
        s.AddData(i, r.Below(300));
    }
    CSortInt full = s;
    full.SortTopLarge(-1);
    s.SortTopLarge(20);
    EXPECT_EQ(Entries(s, 20), Entries(full, 20));
    // The full sort is in order and holds every item once.
    std::vector<int> items;
    for (int i = 0; i < full.GetCount(); ++i) {
        if (i > 0) {
            ASSERT_GE(full.GetSort(i - 1), full.GetSort(i));
        }
        items.push_back(full.GetItem(i));
    }
    std::sort(items.begin(), items.end());
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(items[static_cast<std::size_t>(i)], i);
    }
}

TEST(SortInt, CopiesOwnTheirEntries) {
    CSortInt a(3);
    a.AddData(1, 10);
    CSortInt b = a;
    b.SetSort(0, 99);
    b.AddData(2, 20);
    EXPECT_EQ(a.GetSort(0), 10);
    EXPECT_EQ(a.GetCount(), 1);
    a = b;
    EXPECT_EQ(a.GetCount(), 2);
}

TEST(SortInt, MinAndMaxGiveTheFirstPositionOnTies) {
    CSortInt s(5);
    for (int k : {4, 1, 9, 1, 9}) {
        s.AddData(0, k);
    }
    EXPECT_EQ(s.GetMin(), 1);
    EXPECT_EQ(s.GetMax(), 2);
}

TEST(SortInt, RandomizeMovesEntriesOnlyWithinRunsOfEqualKeys) {
    CSortInt s(7);
    const int keys[] = {9, 7, 7, 7, 5, 5, 3};
    for (int i = 0; i < 7; ++i) {
        s.AddData(i, keys[i]);
    }
    rymd::Random r(1);
    s.Randomize(r);
    // Same draws as the game's sort list: 41, 18467, 6334 for the run of three, 26500, 19169 for
    // the run of two.
    const std::vector<Pair> expected = {{9, 0}, {7, 1}, {7, 3}, {7, 2}, {5, 5}, {5, 4}, {3, 6}};
    EXPECT_EQ(Entries(s), expected);
    rymd::Random check(1);
    for (int i = 0; i < 5; ++i) {
        check.Next();
    }
    EXPECT_EQ(r.State(), check.State());
    EXPECT_EQ(s.GetSortSum(), 43);
}

TEST(SortInt, RandomizeIsReproducibleFromTheSeed) {
    auto run = [](std::uint32_t seed) {
        CSortInt s(200);
        for (int i = 0; i < 200; ++i) {
            s.AddData(i, i / 10);
        }
        s.SortTopLarge(-1);
        rymd::Random r(seed);
        s.Randomize(r);
        return Entries(s);
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));
    const std::vector<Pair> e = run(5);
    for (std::size_t i = 1; i < e.size(); ++i) {
        EXPECT_GE(e[i - 1].first, e[i].first);
        EXPECT_EQ(e[i].second / 10, e[i].first);
    }
}

}  // namespace
}  // namespace MbMisc
