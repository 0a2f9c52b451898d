// Stored forms of the game records: every field at its offset, nothing else touched, and the
// bytes read back into the same record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "game/state/records.h"
#include "game/state/scenario_records.h"

namespace rymd {
namespace {

constexpr TextEncoding kSjis = TextEncoding::ShiftJis;

template <class R>
struct FieldCase {
    const char* field;
    std::size_t offset;
    std::size_t width;                           // bytes
    std::function<void(R&, std::uint32_t)> set;  // puts the raw value into the field
    std::uint32_t fixedValue = 0;                // 0: a value made from the offset
};

// A value whose bytes differ from field to field and from byte to byte.
std::uint32_t DistinctValue(std::size_t offset, std::size_t width) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i) {
        v |= static_cast<std::uint32_t>((0x81 + offset * 3 + i * 7) & 0xFF) << (8 * i);
    }
    return v;
}

template <class R, std::size_t kSize>
void CheckFieldOffsets(const std::vector<FieldCase<R>>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const std::uint32_t value = c.fixedValue ? c.fixedValue : DistinctValue(c.offset, c.width);
        R record{};
        c.set(record, value);

        std::vector<std::uint8_t> bytes(kSize, 0xEE);
        Encode(record, bytes.data(), kSjis);
        for (std::size_t i = 0; i < kSize; ++i) {
            std::uint8_t expected = 0;
            if (i >= c.offset && i < c.offset + c.width) {
                expected = static_cast<std::uint8_t>(value >> (8 * (i - c.offset)));
            }
            ASSERT_EQ(bytes[i], expected) << "byte " << i;
        }

        R back{};
        ASSERT_TRUE(Decode(bytes.data(), back, kSjis));
        std::vector<std::uint8_t> again(kSize, 0xEE);
        Encode(back, again.data(), kSjis);
        EXPECT_EQ(again, bytes);
    }
}

// All fields set at once survive a write and a read.
template <class R, std::size_t kSize>
void CheckAllFieldsRoundTrip(const std::vector<FieldCase<R>>& cases) {
    R record{};
    for (const auto& c : cases)
        c.set(record, c.fixedValue ? c.fixedValue : DistinctValue(c.offset, c.width));
    std::vector<std::uint8_t> bytes(kSize);
    Encode(record, bytes.data(), kSjis);
    for (const auto& c : cases) {
        const std::uint32_t value = c.fixedValue ? c.fixedValue : DistinctValue(c.offset, c.width);
        for (std::size_t i = 0; i < c.width; ++i) {
            EXPECT_EQ(bytes[c.offset + i], static_cast<std::uint8_t>(value >> (8 * i))) << c.field;
        }
    }
    R back{};
    ASSERT_TRUE(Decode(bytes.data(), back, kSjis));
    std::vector<std::uint8_t> again(kSize);
    Encode(back, again.data(), kSjis);
    EXPECT_EQ(again, bytes);
}

#define U8(f) [](auto& r, std::uint32_t v) { r.f = static_cast<std::uint8_t>(v); }
#define I8(f) [](auto& r, std::uint32_t v) { r.f = static_cast<std::int8_t>(v); }
#define U16(f) [](auto& r, std::uint32_t v) { r.f = static_cast<std::uint16_t>(v); }
#define I16(f) [](auto& r, std::uint32_t v) { r.f = static_cast<std::int16_t>(v); }
#define U32(f) [](auto& r, std::uint32_t v) { r.f = v; }
#define I32(f) [](auto& r, std::uint32_t v) { r.f = static_cast<std::int32_t>(v); }

std::vector<FieldCase<CBushou>> BushouCases() {
    return {
        {"status", 25, 1, U8(status)},
        {"buyuu", 26, 1, U8(buyuu)},
        {"seiji", 27, 1, U8(seiji)},
        {"yashin", 28, 1, U8(yashin)},
        {"chuusei", 29, 1, U8(chuusei)},
        {"chibou", 30, 1, U8(chibou)},
        {"yasenTousotsu", 31, 1, U8(yasenTousotsu)},
        {"suigunTousotsu", 32, 1, U8(suigunTousotsu)},
        {"counter33", 33, 1, U8(counter33)},
        {"counter34", 34, 1, U8(counter34)},
        {"counter35", 35, 1, U8(counter35)},
        {"counter36", 36, 1, U8(counter36)},
        {"counter37", 37, 1, U8(counter37)},
        {"birthYear", 38, 2, I16(birthYear)},
        {"deathYear", 40, 2, I16(deathYear)},
        {"shiro", 42, 2, I16(shiro)},
        {"id", 44, 2, I16(id)},
        {"gundan", 46, 2, I16(gundan)},
        {"daimyou", 48, 2, I16(daimyou)},
        {"holderDaimyou", 50, 2, I16(holderDaimyou)},
        {"originDaimyou", 52, 2, I16(originDaimyou)},
        {"cavalry", 54, 2, I16(cavalry)},
        {"foot", 56, 2, I16(foot)},
        {"muskets", 58, 2, I16(muskets)},
        {"moveShiro", 60, 2, I16(moveShiro)},
        {"sortieShiro", 62, 2, I16(sortieShiro)},
        {"sortieOrigin", 64, 2, I16(sortieOrigin)},
        {"joinDaimyou[0]", 66, 2, I16(joinDaimyou[0])},
        {"joinDaimyou[4]", 74, 2, I16(joinDaimyou[4])},
        {"flags", 76, 2, U16(flags)},
        {"unused78", 78, 2, U16(unused78)},
    };
}

std::vector<FieldCase<CDaimyou>> DaimyouCases() {
    return {
        {"toushu", 4, 4, I32(toushu)},
        {"carried8", 8, 4, I32(carried8)},
        {"shikin", 12, 4, I32(shikin)},
        {"teppou", 16, 4, I32(teppou)},
        {"revivalCount", 41, 1, U8(revivalCount)},
        {"kindByte", 42, 1, U8(kindByte)},
        {"bond", 43, 1, U8(bond)},
        {"strengthTrend", 44, 1, U8(strengthTrend)},
        {"carried48", 48, 4, I32(carried48)},
        {"masterDaimyou", 52, 4, I32(masterDaimyou)},
        {"relation[0]", 60, 1, U8(relation[0])},
        {"relation[500]", 560, 1, U8(relation[500])},
        {"relation[999]", 1059, 1, U8(relation[999])},
        {"koukaiGijutsu", 1060, 2, I16(koukaiGijutsu)},
        {"kouzanGijutsu", 1062, 2, I16(kouzanGijutsu)},
        {"strengthHistory[0]", 1064, 2, I16(strengthHistory[0])},
        {"strengthHistory[11]", 1086, 2, I16(strengthHistory[11])},
        {"teppouSeisan", 1088, 2, U16(teppouSeisan)},
        {"teppouOrder[0].count", 1090, 2, U16(teppouOrder[0].count)},
        {"teppouOrder[0].months", 1092, 1, I8(teppouOrder[0].months)},
        {"teppouOrder[9].count", 1126, 2, U16(teppouOrder[9].count)},
        {"teppouOrder[9].months", 1128, 1, I8(teppouOrder[9].months)},
    };
}

std::vector<FieldCase<CGundan>> GundanCases() {
    // The provinces in charge start at "none" (stored 255) in every case but the one set.
    auto kuni = [](std::size_t i) {
        return [i](CGundan& r, std::uint32_t v) { r.tantouKuni[i] = static_cast<std::int16_t>(v); };
    };
    return {
        {"leader", 4, 4, I32(leader)},     {"daimyou", 8, 4, I32(daimyou)}, {"shikin", 12, 4, I32(shikin)},
        {"teppou", 16, 4, I32(teppou)},    {"order", 20, 2, U16(order)},    {"tantouKuni[0]", 22, 1, kuni(0)},
        {"tantouKuni[3]", 25, 1, kuni(3)},
    };
}

std::vector<FieldCase<CShiro>> ShiroCases() {
    return {
        {"daimyou", 4, 2, I16(daimyou)},
        {"gundan", 6, 2, I16(gundan)},
        {"commander", 8, 2, I16(commander)},
        {"besiegerDaimyou", 10, 2, I16(besiegerDaimyou)},
        {"kibo", 12, 1, U8(kibo)},
        {"kokudaka", 16, 4, U32(kokudaka)},
        {"siegeValue", 20, 2, I16(siegeValue)},
        {"hyourou", 24, 4, U32(hyourou)},
        {"keizai", 28, 2, I16(keizai)},
        {"kouzan", 30, 2, I16(kouzan)},
        {"shubihei", 32, 2, I16(shubihei)},
        {"nBushou", 34, 1, I8(nBushou), 20},
        {"nBesieger", 35, 1, I8(nBesieger), 7},
        {"bushou[0]", 36, 4, I32(bushou[0])},
        {"bushou[19]", 112, 4, I32(bushou[19])},
        {"besieger[0]", 116, 4, I32(besieger[0])},
        {"besieger[19]", 192, 4, I32(besieger[19])},
        {"nArrival", 196, 1, I8(nArrival), 13},
        {"arrival[0]", 200, 4, I32(arrival[0])},
        {"arrival[19]", 276, 4, I32(arrival[19])},
        {"blockadeDaimyou", 280, 2, I16(blockadeDaimyou)},
        {"support", 282, 2, I16(support)},
        {"harvestRate", 284, 2, I16(harvestRate)},
        {"kouekisen", 286, 1, U8(kouekisen)},
        {"gunsenBuilding", 287, 1, U8(gunsenBuilding)},
        {"gunsenBuilder", 288, 2, I16(gunsenBuilder)},
        {"voyage[0].ships", 290, 1, U8(voyage[0].ships)},
        {"voyage[0].destination", 291, 1, U8(voyage[0].destination)},
        {"voyage[0].monthsLeft", 292, 1, U8(voyage[0].monthsLeft)},
        {"voyage[0].monthsTotal", 293, 1, U8(voyage[0].monthsTotal)},
        {"voyage[9].ships", 326, 1, U8(voyage[9].ships)},
        {"voyage[9].monthsTotal", 329, 1, U8(voyage[9].monthsTotal)},
    };
}

std::vector<FieldCase<LabelRecord>> LabelCases() {
    return {
        {"color", 21, 1, U8(color), 9}, {"flags", 22, 1, U8(flags)}, {"fontHeight", 23, 1, U8(fontHeight)},
        {"x", 24, 4, I32(x)},           {"y", 28, 4, I32(y)},        {"kuni", 32, 2, I16(kuni)},
    };
}

TEST(RecordCodec, SizesOfTheStoredForms) {
    EXPECT_EQ(CBushou::kStoredSize, 80u);
    EXPECT_EQ(CDaimyou::kStoredSize, 1132u);
    EXPECT_EQ(CGundan::kStoredSize, 28u);
    EXPECT_EQ(CShiro::kStoredSize, 332u);
    EXPECT_EQ(LabelRecord::kStoredSize, 34u);
}

TEST(RecordCodec, BushouFieldsAtTheirOffsets) {
    CheckFieldOffsets<CBushou, 80>(BushouCases());
}
TEST(RecordCodec, DaimyouFieldsAtTheirOffsets) {
    CheckFieldOffsets<CDaimyou, 1132>(DaimyouCases());
}
TEST(RecordCodec, ShiroFieldsAtTheirOffsets) {
    CheckFieldOffsets<CShiro, 332>(ShiroCases());
}
TEST(RecordCodec, LabelFieldsAtTheirOffsets) {
    CheckFieldOffsets<LabelRecord, 34>(LabelCases());
}

TEST(RecordCodec, GundanFieldsAtTheirOffsets) {
    // An empty province slot (-1) is stored as 255; start every case from a corps with none.
    for (const auto& c : GundanCases()) {
        SCOPED_TRACE(c.field);
        const std::uint32_t value = DistinctValue(c.offset, c.width);
        CGundan g{};
        g.tantouKuni = {-1, -1, -1, -1};
        c.set(g, value);
        std::uint8_t bytes[28];
        Encode(g, bytes, kSjis);
        for (std::size_t i = 0; i < 28; ++i) {
            std::uint8_t expected = (i >= 22 && i < 26) ? 0xFF : 0;
            if (i >= c.offset && i < c.offset + c.width)
                expected = static_cast<std::uint8_t>(value >> (8 * (i - c.offset)));
            ASSERT_EQ(bytes[i], expected) << "byte " << i;
        }
        CGundan back{};
        ASSERT_TRUE(Decode(bytes, back, kSjis));
        std::uint8_t again[28];
        Encode(back, again, kSjis);
        EXPECT_EQ(0, std::memcmp(bytes, again, 28));
    }
}

TEST(RecordCodec, AllFieldsTogetherRoundTrip) {
    CheckAllFieldsRoundTrip<CBushou, 80>(BushouCases());
    CheckAllFieldsRoundTrip<CDaimyou, 1132>(DaimyouCases());
    CheckAllFieldsRoundTrip<CGundan, 28>(GundanCases());
    CheckAllFieldsRoundTrip<CShiro, 332>(ShiroCases());
    CheckAllFieldsRoundTrip<LabelRecord, 34>(LabelCases());
}

TEST(RecordCodec, GundanEmptyProvinceIsStored255AndReadAsMinusOne) {
    CGundan g{};
    g.tantouKuni = {-1, 0, 249, -1};
    std::uint8_t bytes[28];
    Encode(g, bytes, kSjis);
    EXPECT_EQ(bytes[22], 0xFF);
    EXPECT_EQ(bytes[23], 0);
    EXPECT_EQ(bytes[24], 249);
    EXPECT_EQ(bytes[25], 0xFF);
    CGundan back{};
    ASSERT_TRUE(Decode(bytes, back, kSjis));
    EXPECT_EQ(back.tantouKuni, g.tantouKuni);
}

TEST(RecordCodec, ClassSlotIsWrittenAsZeroAndIgnoredOnReading) {
    CDaimyou d{};
    d.toushu = 12;
    std::vector<std::uint8_t> bytes(1132);
    Encode(d, bytes.data(), kSjis);
    EXPECT_EQ(bytes[0] | bytes[1] | bytes[2] | bytes[3], 0);
    bytes[0] = 0x78;
    bytes[3] = 0x56;
    CDaimyou back{};
    ASSERT_TRUE(Decode(bytes.data(), back, kSjis));
    EXPECT_EQ(back.toushu, 12);
}

// ---------------------------------------------------------------------------------------------
// Names

struct NameCase {
    const char* label;
    std::string utf8;
    TextEncoding enc;
    std::string storedBytes;  // expected bytes in the field (before the zeros)
    std::string readBack;     // UTF-8 after reading
};

std::vector<NameCase> NameCases() {
    return {
        {"ascii fits", "Oda", kSjis, "Oda", "Oda"},
        {"japanese", "織田信長", kSjis, "\x90\x44\x93\x63\x90\x4D\x92\xB7", "織田信長"},
        {"21 ascii bytes cut to 20", "ABCDEFGHIJKLMNOPQRSTU", kSjis, "ABCDEFGHIJKLMNOPQRST",
         "ABCDEFGHIJKLMNOPQRST"},
        {"ten double-byte characters fill 20", "ああああああああああ", kSjis,
         std::string("\x82\xA0", 2) +
             "\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0",
         "ああああああああああ"},
        {"cut never splits a character", "Aあああああああああああ", kSjis,
         "A\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0", "Aあああああああああ"},
        {"gb2312", "张三", TextEncoding::Gb2312, "\xD5\xC5\xC8\xFD", "张三"},
        {"empty", "", kSjis, "", ""},
    };
}

TEST(RecordCodec, NamesAreStoredInTheFileEncodingAndCutOnACharacterBoundary) {
    for (const auto& c : NameCases()) {
        SCOPED_TRACE(c.label);
        // General: name at 4, 21 bytes, byte 24 always 0.
        CBushou b{};
        b.name = c.utf8;
        std::uint8_t bb[80];
        Encode(b, bb, c.enc);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bb + 4), c.storedBytes.size()), c.storedBytes);
        for (std::size_t i = 4 + c.storedBytes.size(); i <= 24; ++i)
            EXPECT_EQ(bb[i], 0) << "byte " << i;
        CBushou backB{};
        ASSERT_TRUE(Decode(bb, backB, c.enc));
        EXPECT_EQ(backB.name, c.readBack);

        // House: name at 20, 21 bytes, byte 40 always 0.
        CDaimyou d{};
        d.name = c.utf8;
        std::vector<std::uint8_t> db(1132);
        Encode(d, db.data(), c.enc);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(db.data() + 20), c.storedBytes.size()),
                  c.storedBytes);
        for (std::size_t i = 20 + c.storedBytes.size(); i <= 40; ++i)
            EXPECT_EQ(db[i], 0) << "byte " << i;
        CDaimyou backD{};
        ASSERT_TRUE(Decode(db.data(), backD, c.enc));
        EXPECT_EQ(backD.name, c.readBack);

        // Label: text at 0, 21 bytes, byte 20 always 0.
        LabelRecord l{};
        l.text = c.utf8;
        std::uint8_t lb[34];
        Encode(l, lb, c.enc);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(lb), c.storedBytes.size()), c.storedBytes);
        EXPECT_EQ(lb[20], 0);
        LabelRecord backL{};
        ASSERT_TRUE(Decode(lb, backL, c.enc));
        EXPECT_EQ(backL.text, c.readBack);
    }
}

TEST(RecordCodec, ANameFieldWithoutTerminatorReadsItsFirst20Bytes) {
    std::uint8_t bytes[80] = {};
    for (int i = 4; i <= 24; ++i)
        bytes[i] = 'x';  // byte 24 damaged too
    bytes[25] = 2;
    CBushou b{};
    ASSERT_TRUE(Decode(bytes, b, kSjis));
    EXPECT_EQ(b.name, std::string(20, 'x'));
    EXPECT_EQ(b.status, 2);
}

// ---------------------------------------------------------------------------------------------
// Damaged records

TEST(RecordCodec, CastleWithImpossibleListCountIsRefusedAndLeftUnchanged) {
    struct Case {
        std::size_t offset;
        std::uint8_t value;
    };
    const Case cases[] = {{34, 21}, {35, 21}, {196, 21}, {34, 0xFF}, {35, 0x80}, {196, 0xEC}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        std::uint8_t bytes[332] = {};
        bytes[4] = 9;  // owner
        bytes[c.offset] = c.value;
        CShiro s{};
        s.daimyou = 3;
        EXPECT_FALSE(Decode(bytes, s, kSjis));
        EXPECT_EQ(s.daimyou, 3);
    }
    std::uint8_t full[332] = {};
    full[34] = 20;
    full[35] = 20;
    full[196] = 20;
    CShiro s{};
    EXPECT_TRUE(Decode(full, s, kSjis));
    EXPECT_EQ(s.nBushou, 20);
}

TEST(RecordCodec, LabelWithColourOutsideThePaletteIsRefused) {
    std::uint8_t bytes[34] = {};
    bytes[21] = 10;
    LabelRecord l{};
    EXPECT_FALSE(Decode(bytes, l, kSjis));
    bytes[21] = 9;
    EXPECT_TRUE(Decode(bytes, l, kSjis));
    EXPECT_EQ(l.color, 9);
}

}  // namespace
}  // namespace rymd
