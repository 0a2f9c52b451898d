#include "game/state/name_index.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/archive.h"

namespace rymd {
namespace {

using Slot = CNameIndex::IdSlot;
using Bytes = std::vector<std::uint8_t>;

// Reader slots as the scenario reader leaves them: the bytes, then whatever (here 'x' filler
// after a zero, to show that only the bytes up to the first zero count).
std::vector<Slot> Slots(const std::vector<std::string>& names) {
    std::vector<Slot> out;
    for (const std::string& n : names) {
        Slot s;
        s.fill('x');
        std::memcpy(s.data(), n.data(), std::min(n.size(), s.size()));
        if (n.size() < s.size()) {
            s[n.size()] = '\0';
        }
        out.push_back(s);
    }
    return out;
}

void Set(CNameIndex& index, int list, const std::vector<std::string>& names) {
    const std::vector<Slot> slots = Slots(names);
    ASSERT_TRUE(index.SetList(list, static_cast<int>(slots.size()), slots.data()));
}

TEST(NameIndex, LookupsFindTheFirstEqualName) {
    CNameIndex index;
    Set(index, 1, {"ODA", "TAKEDA", "ODA"});
    Set(index, 3, {"S01", "S02"});
    Set(index, 4, {"B1", "b1", "Ｂ1"});
    Set(index, 5, {"EV"});
    Set(index, 6, {"CE1", "CE2"});
    Set(index, 2, {"T1"});
    EXPECT_EQ(index.FindDaimyou("ODA"), 0);  // first of two equal names
    EXPECT_EQ(index.FindDaimyou("TAKEDA"), 1);
    EXPECT_EQ(index.FindDaimyou("OD"), -1);
    EXPECT_EQ(index.FindDaimyou("ODAX"), -1);
    EXPECT_EQ(index.FindShiro("S02"), 1);
    EXPECT_EQ(index.FindBushou("b1"), 1);   // case matters
    EXPECT_EQ(index.FindBushou("Ｂ1"), 2);  // width matters
    EXPECT_EQ(index.FindEvent("EV"), 0);
    EXPECT_EQ(index.FindConditionalEvent("CE2"), 1);
    EXPECT_EQ(index.FindName2("T1"), 0);
    EXPECT_EQ(index.FindName2("S01"), -1);  // lists are separate
    EXPECT_EQ(index.Count(1), 3u);
    EXPECT_EQ(index.Size(1), 4u + 7u + 4u);
    EXPECT_EQ(index.NameAt(1, 1), "TAKEDA");
    EXPECT_EQ(index.NameAt(1, 3), "");
}

// Lookups follow every change of a list: replaced, refused, cleared; a copy keeps its own.
TEST(NameIndex, LookupsFollowEveryChangeOfTheLists) {
    CNameIndex index;
    Set(index, 1, {"A", "B"});
    const CNameIndex copy = index;
    Set(index, 1, {"C"});
    EXPECT_EQ(index.FindDaimyou("A"), -1);
    EXPECT_EQ(index.FindDaimyou("C"), 0);
    EXPECT_EQ(copy.FindDaimyou("B"), 1);
    EXPECT_EQ(copy.FindDaimyou("C"), -1);
    const std::vector<CNameIndex::IdSlot> tooMany(1001);
    EXPECT_FALSE(index.SetList1(1001, tooMany.data()));
    EXPECT_EQ(index.FindDaimyou("C"), -1);
    Set(index, 3, {"S"});
    index.Clear();
    EXPECT_EQ(index.FindShiro("S"), -1);
}

TEST(NameIndex, NamesKeepAtMost25Bytes) {
    const std::string n25(25, 'A');
    const std::string n26 = std::string(25, 'B') + "C";
    CNameIndex index;
    Set(index, 4, {n25, n26});
    EXPECT_EQ(index.FindBushou(n25), 0);
    EXPECT_EQ(index.FindBushou(n26), -1);  // only 25 bytes were kept
    EXPECT_EQ(index.FindBushou(std::string(25, 'B')), 1);
    EXPECT_EQ(index.Size(4), 52u);
}

TEST(NameIndex, EmptyListsAndEmptyNames) {
    CNameIndex index;
    EXPECT_EQ(index.FindDaimyou("A"), -1);
    EXPECT_EQ(index.FindDaimyou(""), -1);
    Set(index, 7, {"P0", "", "P2", ""});
    EXPECT_EQ(index.FindInList(7, ""), 1);  // the first empty name
    EXPECT_EQ(index.FindInList(7, "P2"), 2);
    EXPECT_EQ(index.FindInList(0, "P2"), -1);
    EXPECT_EQ(index.FindInList(9, "P2"), -1);
    Set(index, 8, {"M"});
    EXPECT_EQ(index.FindInList(8, ""), -1);
    // A count of 0 leaves the list empty.
    EXPECT_TRUE(index.SetList7(0, nullptr));
    EXPECT_EQ(index.Count(7), 0u);
    EXPECT_EQ(index.Size(7), 0u);
    // A count beyond the list's capacity is refused and leaves the list empty.
    const std::vector<Slot> many(201, Slots({"E"})[0]);
    EXPECT_FALSE(index.SetList5(201, many.data()));
    EXPECT_EQ(index.Count(5), 0u);
    EXPECT_TRUE(index.SetList5(200, many.data()));
    EXPECT_EQ(index.Count(5), 200u);
    index.Clear();
    for (int l = 1; l <= 8; ++l) {
        EXPECT_EQ(index.Count(l), 0u);
    }
}

TEST(NameIndex, AllEmptyStoresSixtyFourZeroBytes) {
    CNameIndex index;
    ArchiveWriter w;
    index.Serialize(w);
    EXPECT_EQ(w.Data(), Bytes(64, 0));
}

TEST(NameIndex, StoredLayoutAndRoundTrip) {
    CNameIndex index;
    Set(index, 1, {"D1", "D2"});
    Set(index, 4, {"B"});
    Set(index, 8, {""});
    ArchiveWriter w;
    index.Serialize(w);
    Bytes expected(64, 0);
    expected[0] = 2;   // count of list 1
    expected[12] = 1;  // count of list 4
    expected[28] = 1;  // count of list 8
    expected[32] = 6;  // size of list 1
    expected[44] = 2;  // size of list 4
    expected[60] = 1;  // size of list 8
    const char tail[] = {'D', '1', 0, 'D', '2', 0, 'B', 0, 0};
    expected.insert(expected.end(), tail, tail + sizeof tail);
    EXPECT_EQ(w.Data(), expected);

    CNameIndex back;
    Set(back, 3, {"OLD"});
    ArchiveReader r(w.Data());
    ASSERT_TRUE(back.Serialize(r));
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(back.FindDaimyou("D2"), 1);
    EXPECT_EQ(back.FindBushou("B"), 0);
    EXPECT_EQ(back.FindInList(8, ""), 0);
    EXPECT_EQ(back.Count(3), 0u);  // loading replaced the old lists
    ArchiveWriter again;
    back.Serialize(again);
    EXPECT_EQ(again.Data(), w.Data());
}

// Helpers for damaged streams: header of 8 counts and 8 sizes, then the buffers.
Bytes Stream(const std::vector<std::uint32_t>& counts, const std::vector<std::uint32_t>& sizes,
             const std::string& body) {
    ArchiveWriter w;
    for (int i = 0; i < 8; ++i) {
        w.WriteU32(i < static_cast<int>(counts.size()) ? counts[static_cast<std::size_t>(i)] : 0);
    }
    for (int i = 0; i < 8; ++i) {
        w.WriteU32(i < static_cast<int>(sizes.size()) ? sizes[static_cast<std::size_t>(i)] : 0);
    }
    w.WriteBytes(body.data(), body.size());
    return w.Take();
}

TEST(NameIndex, DamagedStreamsAreRefusedAndLeaveTheIndexAsItWas) {
    using namespace std::string_literals;
    struct Case {
        const char* what;
        Bytes data;
    };
    const Case cases[] = {
        {"header cut short", Bytes(63, 0)},
        {"buffer cut short", Stream({2}, {6}, "D1\0D2"s)},
        {"count over the house capacity", Stream({1001}, {2002}, std::string(2002, '\0'))},
        {"count over the event capacity",
         Stream({0, 0, 0, 0, 201}, {0, 0, 0, 0, 201}, std::string(201, '\0'))},
        {"size over 26 bytes a name", Stream({1}, {27}, std::string(26, 'A') + "\0"s)},
        {"size without names", Stream({0}, {3}, "AB\0"s)},
        {"names without size", Stream({2}, {0}, "")},
        {"fewer names than counted", Stream({3}, {6}, "D1\0D2\0"s)},
        {"more names than counted", Stream({1}, {6}, "D1\0D2\0"s)},
        {"last name not terminated", Stream({2}, {5}, "D1\0D2"s + "\0"s)},
        {"name of 26 bytes", Stream({2}, {28}, std::string(26, 'A') + "\0\0"s)},
        {"huge size", Stream({30000}, {0xFFFFFFFFu}, "")},
        {"huge count", Stream({0xFFFFFFFFu}, {10}, std::string(10, '\0'))},
        {"sizes add up past the end", Stream({1, 1}, {2, 2}, "A\0"s)},
    };
    for (const Case& c : cases) {
        CNameIndex index;
        Set(index, 1, {"KEEP"});
        ArchiveReader r(c.data);
        EXPECT_FALSE(index.Serialize(r)) << c.what;
        EXPECT_FALSE(r.Ok()) << c.what;
        EXPECT_EQ(index.FindDaimyou("KEEP"), 0) << c.what;
        EXPECT_EQ(index.Count(1), 1u) << c.what;
    }
}

TEST(NameIndex, FullListsAtTheirCapacitiesLoad) {
    // Largest accepted sizes: every name 25 bytes, counts at the capacities of lists 1 and 6.
    std::string body1;
    for (int i = 0; i < 1000; ++i) {
        body1 += std::string(25, 'a') + '\0';
    }
    std::string body6;
    for (int i = 0; i < 2000; ++i) {
        body6 += "e" + std::to_string(i) + '\0';
    }
    const Bytes data = Stream({1000, 0, 0, 0, 0, 2000},
                              {26000, 0, 0, 0, 0, static_cast<std::uint32_t>(body6.size())}, body1 + body6);
    CNameIndex index;
    ArchiveReader r(data);
    ASSERT_TRUE(index.Serialize(r));
    EXPECT_EQ(index.FindConditionalEvent("e1999"), 1999);
    EXPECT_EQ(index.Count(1), 1000u);
}

}  // namespace
}  // namespace rymd
