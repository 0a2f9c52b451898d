#include "platform/core/archive.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace rymd {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Archive, IntegersAreLittleEndian) {
    ArchiveWriter w;
    w.WriteU8(0xAB);
    w.WriteU16(0x1234);
    w.WriteU32(0x12345678);
    w.WriteI8(-2);
    w.WriteI16(-2);
    w.WriteI32(-2);
    w.WriteI16(std::numeric_limits<std::int16_t>::min());
    w.WriteI32(std::numeric_limits<std::int32_t>::min());
    const Bytes expected = {0xAB, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFE, 0xFF,
                            0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x80, 0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(w.Data(), expected);

    ArchiveReader r(w.Data());
    EXPECT_EQ(r.ReadU8(), 0xAB);
    EXPECT_EQ(r.ReadU16(), 0x1234);
    EXPECT_EQ(r.ReadU32(), 0x12345678u);
    EXPECT_EQ(r.ReadI8(), -2);
    EXPECT_EQ(r.ReadI16(), -2);
    EXPECT_EQ(r.ReadI32(), -2);
    EXPECT_EQ(r.ReadI16(), std::numeric_limits<std::int16_t>::min());
    EXPECT_EQ(r.ReadI32(), std::numeric_limits<std::int32_t>::min());
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Position(), expected.size());
}

TEST(Archive, DoublesAreIeeeLittleEndian) {
    ArchiveWriter w;
    w.WriteF64(1.0);
    EXPECT_EQ(w.Data(), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    const double values[] = {0.0,
                             -0.0,
                             0.1,
                             -123456.789,
                             1e308,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    ArchiveWriter all;
    for (double v : values)
        all.WriteF64(v);
    ArchiveReader r(all.Data());
    for (double v : values) {
        const double back = r.ReadF64();
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << v;  // bit for bit, sign of zero and NaN included
    }
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.AtEnd());
}

TEST(Archive, RawBlocks) {
    const std::uint8_t block[5] = {1, 2, 3, 0, 255};
    ArchiveWriter w;
    w.WriteBytes(block, sizeof block);
    w.WriteBytes(nullptr, 0);
    w.WriteU8(9);
    EXPECT_EQ(w.Size(), 6u);

    ArchiveReader r(w.Data());
    std::uint8_t back[5] = {};
    EXPECT_TRUE(r.ReadBytes(back, sizeof back));
    EXPECT_EQ(std::memcmp(back, block, sizeof block), 0);
    EXPECT_TRUE(r.ReadBytes(nullptr, 0));
    EXPECT_EQ(r.ReadU8(), 9);
    EXPECT_TRUE(r.Ok());
}

// The counted-string form at every length where it changes.
TEST(Archive, CountedStringLengthForms) {
    struct Case {
        std::size_t length;
        Bytes prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {1, {0x01}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {256, {0xFF, 0x00, 0x01}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x12345, {0xFF, 0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string text(c.length, '\0');
        for (std::size_t i = 0; i < c.length; ++i)
            text[i] = static_cast<char>(i * 7 + 1);
        ArchiveWriter w;
        w.WriteCString(text);
        w.WriteU8(0x5A);  // something after, to see the reader stop at the right place
        const Bytes& data = w.Data();
        ASSERT_EQ(data.size(), c.prefix.size() + c.length + 1);
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), data.begin()));
        EXPECT_EQ(std::memcmp(data.data() + c.prefix.size(), text.data(), c.length), 0);

        ArchiveReader r(data);
        EXPECT_EQ(r.ReadCString(), text);
        EXPECT_EQ(r.ReadU8(), 0x5A);
        EXPECT_TRUE(r.Ok());
        EXPECT_TRUE(r.AtEnd());
    }
}

TEST(Archive, ReadingPastTheEndFailsAndYieldsZeros) {
    const Bytes data = {1, 2, 3};
    ArchiveReader r(data);
    EXPECT_EQ(r.ReadU32(), 0u);
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.Remaining(), 0u);
    // The failure is sticky: the bytes that are there are not read any more.
    EXPECT_EQ(r.ReadU8(), 0);
    EXPECT_EQ(r.ReadU16(), 0);
    EXPECT_EQ(r.ReadF64(), 0.0);
    EXPECT_EQ(r.ReadCString(), "");
    std::uint8_t block[2] = {7, 7};
    EXPECT_FALSE(r.ReadBytes(block, 2));
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[1], 0);
    EXPECT_FALSE(r.Ok());
}

TEST(Archive, ShortReadsOfEachKind) {
    const Bytes data = {1, 2, 3, 4, 5, 6, 7};
    {
        ArchiveReader r(data);
        EXPECT_EQ(r.ReadF64(), 0.0);
        EXPECT_FALSE(r.Ok());
    }
    {
        ArchiveReader r(data);
        std::uint8_t block[8];
        std::memset(block, 0xCC, sizeof block);
        EXPECT_FALSE(r.ReadBytes(block, sizeof block));
        for (std::uint8_t b : block)
            EXPECT_EQ(b, 0);
    }
    {
        ArchiveReader r(data.data(), 1);
        EXPECT_EQ(r.ReadU8(), 1);
        EXPECT_TRUE(r.Ok());
        EXPECT_TRUE(r.AtEnd());
        EXPECT_EQ(r.ReadU16(), 0);
        EXPECT_FALSE(r.Ok());
    }
    {
        ArchiveReader r(nullptr, 0);
        EXPECT_EQ(r.ReadU8(), 0);
        EXPECT_FALSE(r.Ok());
    }
}

TEST(Archive, CountedStringLongerThanTheDataFails) {
    const Bytes cases[] = {
        {5, 'a', 'b'},
        {0xFF, 0x00, 0x01, 'a'},
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // 4 GB asked for: no allocation, just failure
        {0xFF, 0xFF, 0xFF, 0x10, 0x00, 0x00},        // 32-bit length itself cut off
        {0xFF, 0xFE, 0xFF, 'a'},                     // 0xFFFE is not a length of this form
        {0xFF, 0x01},
        {},
    };
    for (const Bytes& data : cases) {
        ArchiveReader r(data);
        EXPECT_EQ(r.ReadCString(), "");
        EXPECT_FALSE(r.Ok());
    }
}

TEST(Archive, FailMarksTheStream) {
    const Bytes data = {1, 2};
    ArchiveReader r(data);
    EXPECT_EQ(r.Remaining(), 2u);
    r.Fail();
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.ReadU8(), 0);
}

TEST(Archive, TakeMovesTheBuffer) {
    ArchiveWriter w;
    w.WriteU16(7);
    const Bytes taken = w.Take();
    EXPECT_EQ(taken, (Bytes{7, 0}));
}

}  // namespace
}  // namespace rymd
