#include "game/state/sort_list.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "game/ports/scripted_port.h"
#include "platform/core/random.h"

namespace rymd {
namespace {

std::vector<std::int32_t> Ids(const CSortList& l) {
    return std::vector<std::int32_t>(l.Ids().begin(), l.Ids().begin() + l.Count());
}

std::vector<std::int32_t> Keys(const CSortList& l) {
    return std::vector<std::int32_t>(l.Keys().begin(), l.Keys().begin() + l.Count());
}

// Builds a list with ids 0..n-1 and the given keys.
CSortList Make(const std::vector<std::int32_t>& keys) {
    CSortList l(static_cast<int>(keys.size()));
    for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
        l.Set(i, i, keys[static_cast<std::size_t>(i)]);
    }
    return l;
}

TEST(SortList, ConstructorSetsCountToCapacity) {
    CSortList l(5);
    EXPECT_TRUE(l.CapacityValid());
    EXPECT_EQ(l.Capacity(), 5);
    EXPECT_EQ(l.Count(), 5);
    l.SetCount(0);
    EXPECT_TRUE(l.Append(7, 70));
    EXPECT_TRUE(l.Append(8, 80));
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(l.Id(1), 8);
    EXPECT_EQ(l.Key(1), 80);
    l.SetCount(99);
    EXPECT_EQ(l.Count(), 5);
}

TEST(SortList, BadCapacityInformsThePlayerAndLeavesAnEmptySafeList) {
    struct Case {
        int capacity;
        const char* message;
    };
    const Case cases[] = {
        {50000, "Debug Message : ソート数が50000以上です"},
        {1 << 30, "Debug Message : ソート数が50000以上です"},
        {-1, "Debug Message : ソート数がマイナスです"},
    };
    for (const Case& c : cases) {
        ScriptedPort port;
        CSortList l(c.capacity, &port);
        ASSERT_EQ(port.Calls().size(), 1u) << c.capacity;
        EXPECT_EQ(port.Calls()[0].kind, PortCallKind::Inform);
        EXPECT_EQ(port.Calls()[0].text, c.message);
        EXPECT_FALSE(l.CapacityValid());
        EXPECT_EQ(l.Capacity(), 0);
        EXPECT_EQ(l.Count(), 0);
        // Still safe to use.
        EXPECT_FALSE(l.Append(1, 1));
        l.Set(3, 1, 1);
        EXPECT_EQ(l.Id(3), 0);
        l.SortLarge();
        l.SortSmall();
        Random r(1);
        l.Randomize(r);
        l.DeleteData(0);
        EXPECT_EQ(l.GetMin(), 0);
    }
    // Without a port nothing is shown, and the list is still safe.
    CSortList quiet(-5);
    EXPECT_FALSE(quiet.CapacityValid());
    EXPECT_EQ(quiet.Count(), 0);
    // The largest allowed capacity says nothing.
    ScriptedPort port;
    CSortList big(49999, &port);
    EXPECT_TRUE(big.CapacityValid());
    EXPECT_TRUE(port.Calls().empty());
}

TEST(SortList, EmptyAndSingleListsAreLeftUnchanged) {
    for (int n : {0, 1}) {
        CSortList l = Make(n == 0 ? std::vector<std::int32_t>{} : std::vector<std::int32_t>{42});
        if (n == 1) {
            l.SetId(0, 9);
        }
        Random r(123);
        const std::uint32_t before = r.State();
        l.SortLarge();
        l.SortSmall();
        l.Randomize(r);
        EXPECT_EQ(r.State(), before) << "no draws for a list of " << n;
        EXPECT_EQ(l.Count(), n);
        if (n == 1) {
            EXPECT_EQ(l.Id(0), 9);
            EXPECT_EQ(l.Key(0), 42);
        }
    }
}

// The exchange sort's exact tie order: equal keys do not keep their order.
TEST(SortList, ExchangeSortsGiveTheirExactPermutation) {
    struct Case {
        bool large;
        std::vector<std::int32_t> keys;
        std::vector<std::int32_t> sortedKeys;
        std::vector<std::int32_t> sortedIds;
    };
    const Case cases[] = {
        {true, {5, 7, 5, 9}, {9, 7, 5, 5}, {3, 1, 2, 0}},
        {false, {5, 7, 5, 9}, {5, 5, 7, 9}, {0, 2, 1, 3}},
        {false, {2, 2, 1}, {1, 2, 2}, {2, 1, 0}},
        {true, {1, 1, 2}, {2, 1, 1}, {2, 1, 0}},
        {true, {-3, 0, -2147483647 - 1, 2147483647}, {2147483647, 0, -3, -2147483647 - 1}, {3, 1, 0, 2}},
    };
    for (const Case& c : cases) {
        CSortList l = Make(c.keys);
        if (c.large) {
            l.SortLarge();
        } else {
            l.SortSmall();
        }
        EXPECT_EQ(Keys(l), c.sortedKeys);
        EXPECT_EQ(Ids(l), c.sortedIds);
    }
}

TEST(SortList, SortsOnlyTheCountedEntries) {
    CSortList l(4);
    l.Set(0, 0, 1);
    l.Set(1, 1, 2);
    l.Set(2, 2, 99);  // beyond the count
    l.SetCount(2);
    l.SortLarge();
    EXPECT_EQ(Ids(l), (std::vector<std::int32_t>{1, 0}));
    EXPECT_EQ(l.Key(2), 99);
    EXPECT_EQ(l.Id(2), 2);
}

TEST(SortList, GetMinGivesTheFirstSmallest) {
    EXPECT_EQ(Make({4, 2, 8, 2}).GetMin(), 1);
    EXPECT_EQ(Make({1}).GetMin(), 0);
    EXPECT_EQ(Make({}).GetMin(), 0);
    CSortList l = Make({5, 3, 1});
    l.SetCount(2);  // the 1 is not counted
    EXPECT_EQ(l.GetMin(), 1);
}

TEST(SortList, DeleteData) {
    CSortList l = Make({10, 20, 30});
    l.DeleteData(3);  // position count: ignored
    l.DeleteData(-1);
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(Ids(l), (std::vector<std::int32_t>{0, 1, 2}));

    l.DeleteData(0);
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(Ids(l), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(Keys(l), (std::vector<std::int32_t>{20, 30}));

    l.DeleteData(1);
    EXPECT_EQ(Ids(l), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(l.Capacity(), 3);
}

TEST(SortList, RandomizeShufflesOnlyWithinRunsOfEqualKeys) {
    // The first draws of the source seeded with 1 are 41, 18467, 6334, 26500, 19169.
    Random check(1);
    ASSERT_EQ(check.Next(), 41);
    ASSERT_EQ(check.Next(), 18467);
    ASSERT_EQ(check.Next(), 6334);
    ASSERT_EQ(check.Next(), 26500);
    ASSERT_EQ(check.Next(), 19169);

    CSortList l = Make({9, 7, 7, 7, 5, 5, 3});
    Random r(1);
    l.Randomize(r);
    // Run of three at 1: i=0 r=trunc(41/32768*3)=0; i=1 r=trunc(18467/32768*2)+1=2 swaps 2 and 3;
    // i=2 r=2. Run of two at 4: i=0 r=trunc(26500/32768*2)=1 swaps 4 and 5; i=1 r=1.
    EXPECT_EQ(Ids(l), (std::vector<std::int32_t>{0, 1, 3, 2, 5, 4, 6}));
    EXPECT_EQ(Keys(l), (std::vector<std::int32_t>{9, 7, 7, 7, 5, 5, 3}));
    // Exactly one draw per entry of each run of length >= 2: 3 + 2.
    EXPECT_EQ(r.State(), check.State());
}

TEST(SortList, RandomizeKeepsEachRunsIdsOnAnyLongList) {
    // Keys in runs; after Randomize every run holds the same set of ids and the keys do not move.
    std::vector<std::int32_t> keys;
    for (int run = 0; run < 40; ++run) {
        for (int k = 0; k <= run % 6; ++k) {
            keys.push_back(1000 - run);
        }
    }
    CSortList l = Make(keys);
    Random r(777);
    const Random start = r;
    l.Randomize(r);
    EXPECT_EQ(Keys(l), keys);
    int draws = 0;
    std::size_t s = 0;
    while (s < keys.size()) {
        std::size_t e = s;
        while (e < keys.size() && keys[e] == keys[s]) {
            ++e;
        }
        std::vector<std::int32_t> got(l.Ids().begin() + static_cast<long>(s),
                                      l.Ids().begin() + static_cast<long>(e));
        std::sort(got.begin(), got.end());
        for (std::size_t i = s; i < e; ++i) {
            EXPECT_EQ(got[i - s], static_cast<std::int32_t>(i));
        }
        if (e - s >= 2) {
            draws += static_cast<int>(e - s);
        }
        s = e;
    }
    Random expected = start;
    for (int i = 0; i < draws; ++i) {
        expected.Next();
    }
    EXPECT_EQ(r.State(), expected.State());
}

TEST(StopWatch, ElapsedAcrossTheWrapOfTheTickCounter) {
    std::uint32_t now = 0xFFFFFFF0u;
    CStopWatch w([&now] { return now; });
    EXPECT_EQ(w.Start(), 0xFFFFFFF0u);
    EXPECT_EQ(w.GetElapsed(), 0u);
    now = 0x00000010u;
    EXPECT_EQ(w.GetElapsed(), 0x20u);
    now = 0x12345u;
    EXPECT_EQ(w.Start(), 0x12345u);
    now = 0x12345u + 1500u;
    EXPECT_EQ(w.GetElapsed(), 1500u);
}

TEST(StopWatch, DefaultsToTheSystemTickCount) {
    CStopWatch w;
    w.Start();
    // No timing assertion: only that it runs on the real clock without wrapping backwards.
    EXPECT_LT(w.GetElapsed(), 0x80000000u);
}

}  // namespace
}  // namespace rymd
