// The keyed integer stream of saved games.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "game/save/save_int_stream.h"
#include "platform/core/archive.h"

namespace rymd {
namespace {

constexpr std::uint32_t S = CSaveIntStream::kStartValue;
constexpr std::uint32_t K = CSaveIntStream::kAdditiveKey;
constexpr std::uint32_t M = CSaveIntStream::kXorMask;

std::vector<std::uint8_t> WriteAll(const std::vector<std::int32_t>& values) {
    ArchiveWriter w;
    CSaveIntStream s(w);
    for (auto v : values)
        EXPECT_TRUE(s.WriteInt(v));
    return w.Take();
}

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t k) {
    return static_cast<std::uint32_t>(bytes[4 * k] | (bytes[4 * k + 1] << 8) | (bytes[4 * k + 2] << 16)) |
           (static_cast<std::uint32_t>(bytes[4 * k + 3]) << 24);
}

std::vector<std::int32_t> ReadAll(const std::vector<std::uint8_t>& bytes, std::size_t n) {
    ArchiveReader r(bytes);
    CSaveIntStream s(r);
    std::vector<std::int32_t> out;
    for (std::size_t i = 0; i < n; ++i) {
        std::int32_t v = 0;
        EXPECT_TRUE(s.ReadInt(v));
        out.push_back(v);
    }
    return out;
}

TEST(SaveIntStream, TheKeyingConstants) {
    EXPECT_EQ(S, 0x5E17C3A8u);
    EXPECT_EQ(K, 0x2D94B6F1u);
    EXPECT_EQ(M, 0x71C8E05Bu);
}

TEST(SaveIntStream, ZeroIsStoredAsStartPlusKeyXorMask) {
    const auto bytes = WriteAll({0});
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(WordAt(bytes, 0), (S + K) ^ M);
    EXPECT_EQ(WordAt(bytes, 0), 0xFA649AC2u);
    EXPECT_EQ(bytes[0], 0xC2);  // little-endian
    EXPECT_EQ(ReadAll(bytes, 1), std::vector<std::int32_t>{0});
}

TEST(SaveIntStream, EachWordChainsOnTheOneBefore) {
    const std::int32_t a = 1560, b = -4;
    const auto bytes = WriteAll({a, b});
    ASSERT_EQ(bytes.size(), 8u);
    const std::uint32_t p = (S + static_cast<std::uint32_t>(a) + K) ^ M;
    const std::uint32_t q = (p + static_cast<std::uint32_t>(b) + K) ^ M;
    EXPECT_EQ(WordAt(bytes, 0), p);
    EXPECT_EQ(WordAt(bytes, 1), q);
}

TEST(SaveIntStream, ValuesRoundTripWithAFreshStream) {
    const std::vector<std::int32_t> values = {0, -1, INT_MAX, INT_MIN, 12345, -30000, 1, 0, 0};
    EXPECT_EQ(ReadAll(WriteAll(values), values.size()), values);
}

TEST(SaveIntStream, ADamagedWordSpoilsItsValueAndTheNextOnly) {
    const std::vector<std::int32_t> values = {3, 1000, -7, 42, 1550, 9};
    const auto good = WriteAll(values);
    for (std::size_t k = 0; k < values.size(); ++k) {
        SCOPED_TRACE(k);
        auto bad = good;
        bad[4 * k + 1] ^= 0x5A;
        const auto got = ReadAll(bad, values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i == k || i == k + 1) {
                EXPECT_NE(got[i], values[i]) << i;
            } else {
                EXPECT_EQ(got[i], values[i]) << i;
            }
        }
    }
}

TEST(SaveIntStream, ReadingPastTheEndFailsCleanly) {
    auto bytes = WriteAll({11, 22});
    {
        ArchiveReader r(bytes);
        CSaveIntStream s(r);
        std::int32_t v = -1;
        EXPECT_TRUE(s.ReadInt(v));
        EXPECT_EQ(v, 11);
        EXPECT_TRUE(s.ReadInt(v));
        EXPECT_EQ(v, 22);
        EXPECT_FALSE(s.ReadInt(v));
        EXPECT_EQ(v, 0);
        EXPECT_FALSE(r.Ok());
        EXPECT_FALSE(s.ReadInt(v));
    }
    {
        bytes.pop_back();  // the second word cut short
        ArchiveReader r(bytes);
        CSaveIntStream s(r);
        std::int32_t v = 0;
        EXPECT_TRUE(s.ReadInt(v));
        EXPECT_EQ(v, 11);
        EXPECT_FALSE(s.ReadInt(v));
        EXPECT_EQ(v, 0);
    }
    {
        ArchiveReader r(nullptr, 0);
        CSaveIntStream s(r);
        std::int32_t v = 5;
        EXPECT_FALSE(s.ReadInt(v));
        EXPECT_EQ(v, 0);
    }
}

TEST(SaveIntStream, AStreamOnlyWorksInItsOwnDirection) {
    ArchiveWriter w;
    CSaveIntStream writing(w);
    std::int32_t v = 0;
    EXPECT_FALSE(writing.ReadInt(v));
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4};
    ArchiveReader r(bytes);
    CSaveIntStream reading(r);
    EXPECT_FALSE(reading.WriteInt(1));
    EXPECT_EQ(r.Position(), 0u);
    EXPECT_EQ(w.Size(), 0u);
}

TEST(SaveIntStream, TheStreamSharesTheArchiveWithOtherData) {
    ArchiveWriter w;
    w.WriteU8(0xAB);
    {
        CSaveIntStream s(w);
        s.WriteInt(77);
    }
    w.WriteU16(0x1234);
    const auto bytes = w.Take();
    ASSERT_EQ(bytes.size(), 7u);
    ArchiveReader r(bytes);
    EXPECT_EQ(r.ReadU8(), 0xAB);
    CSaveIntStream s(r);
    std::int32_t v = 0;
    EXPECT_TRUE(s.ReadInt(v));
    EXPECT_EQ(v, 77);
    EXPECT_EQ(r.ReadU16(), 0x1234);
}

}  // namespace
}  // namespace rymd
