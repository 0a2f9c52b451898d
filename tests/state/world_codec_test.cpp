// Stored forms of the world records: every field at its offset, nothing else written, the
// bytes read back into the same record, and damaged records refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/state/scenario_records.h"

namespace rymd {
namespace {

constexpr TextEncoding kSjis = TextEncoding::ShiftJis;

template <class R>
struct FieldCase {
    const char* field;
    std::size_t offset;
    std::size_t width;
    std::function<void(R&, std::uint32_t)> set;
    std::uint32_t value;  // must be a value the record accepts
};

// The record codecs differ in whether they take an encoding.
template <class R>
void EncodeRecord(const R& r, std::uint8_t* out) {
    if constexpr (requires { Encode(r, out, kSjis); })
        Encode(r, out, kSjis);
    else
        Encode(r, out);
}
template <class R>
bool DecodeRecord(const std::uint8_t* in, R& r) {
    if constexpr (requires { Decode(in, r, kSjis); })
        return Decode(in, r, kSjis);
    else
        return Decode(in, r);
}

// Each field alone: its bytes at its offset, every other byte as the base record gives it.
template <class R>
void CheckFields(const R& base, const std::vector<FieldCase<R>>& cases) {
    std::vector<std::uint8_t> baseBytes(R::kStoredSize, 0xEE);
    EncodeRecord(base, baseBytes.data());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        R record = base;
        c.set(record, c.value);
        std::vector<std::uint8_t> bytes(R::kStoredSize, 0xEE);
        EncodeRecord(record, bytes.data());
        for (std::size_t i = 0; i < R::kStoredSize; ++i) {
            std::uint8_t expected = baseBytes[i];
            if (i >= c.offset && i < c.offset + c.width)
                expected = static_cast<std::uint8_t>(c.value >> (8 * (i - c.offset)));
            ASSERT_EQ(bytes[i], expected) << "byte " << i;
        }
        R back{};
        ASSERT_TRUE(DecodeRecord(bytes.data(), back));
        std::vector<std::uint8_t> again(R::kStoredSize, 0xEE);
        EncodeRecord(back, again.data());
        EXPECT_EQ(again, bytes);
    }
}

// Every field set at once survives a write and a read.
template <class R>
void CheckAllTogether(const R& base, const std::vector<FieldCase<R>>& cases) {
    R record = base;
    for (const auto& c : cases)
        c.set(record, c.value);
    std::vector<std::uint8_t> bytes(R::kStoredSize);
    EncodeRecord(record, bytes.data());
    for (const auto& c : cases)
        for (std::size_t i = 0; i < c.width; ++i)
            EXPECT_EQ(bytes[c.offset + i], static_cast<std::uint8_t>(c.value >> (8 * i))) << c.field;
    R back{};
    ASSERT_TRUE(DecodeRecord(bytes.data(), back));
    std::vector<std::uint8_t> again(R::kStoredSize);
    EncodeRecord(back, again.data());
    EXPECT_EQ(again, bytes);
}

#define SET(f, T) [](auto& r, std::uint32_t v) { r.f = static_cast<T>(v); }

// --- castle geography --------------------------------------------------------------------------

ShiroMapRecord EmptyShiroMap() {
    ShiroMapRecord m;
    m.ClearConnections();
    return m;
}

std::vector<FieldCase<ShiroMapRecord>> ShiroMapCases() {
    return {
        {"textIndex", 0, 2, SET(textIndex, std::uint16_t), 0xFFFF},
        {"kuni", 23, 1, SET(kuni, std::uint8_t), 249},
        {"maxKibo", 24, 1, SET(maxKibo, std::uint8_t), 10},
        {"x", 26, 4, SET(x, std::int32_t), 0x81828384},
        {"y", 30, 4, SET(y, std::int32_t), 0x01020304},
        {"maxKokudaka", 34, 4, SET(maxKokudaka, std::uint32_t), 0xA1B2C3D4},
        {"maxKeizai", 38, 2, SET(maxKeizai, std::int16_t), 0x8123},
        {"maxKouzan", 40, 2, SET(maxKouzan, std::int16_t), 0x0456},
        {"connect[0].shiro", 42, 2, SET(connect[0].shiro, std::uint16_t), 9999},
        {"connect[9].shiro", 60, 2, SET(connect[9].shiro, std::uint16_t), 1234},
        {"connect[0].route", 64, 2, SET(connect[0].route, std::uint16_t), 0xFFFE},
        {"connect[10].route", 84, 2, SET(connect[10].route, std::uint16_t), 60000},
        {"connect[0].kind", 86, 1, SET(connect[0].kind, std::uint8_t), 3},
        {"connect[10].kind", 96, 1, SET(connect[10].kind, std::uint8_t), 2},
        {"connect[0].drawFlags", 97, 1, SET(connect[0].drawFlags, std::uint8_t), 0xFD},
        {"connect[10].drawFlags", 107, 1, SET(connect[10].drawFlags, std::uint8_t), 0x41},
        {"initDaimyou", 108, 2, SET(initDaimyou, std::int16_t), 999},
        {"flags", 110, 1, SET(flags, std::uint8_t), 0x03},
        {"shiroType", 112, 2, SET(shiroType, std::int16_t), 999},
    };
}

TEST(WorldCodec, SizesOfTheStoredForms) {
    EXPECT_EQ(ShiroMapRecord::kStoredSize, 114u);
    EXPECT_EQ(ShiroTypeRecord::kStoredSize, 66u);
    EXPECT_EQ(BushouExRecord::kStoredSize, 48u);
    EXPECT_EQ(DaimyouInitRecord::kStoredSize, 34u);
    EXPECT_EQ(CRengou::kStoredSize, 92u);
}

TEST(WorldCodec, ShiroMapFieldsAtTheirOffsets) {
    CheckFields(EmptyShiroMap(), ShiroMapCases());
    CheckAllTogether(EmptyShiroMap(), ShiroMapCases());
}

TEST(WorldCodec, ShiroMapNameAndPadding) {
    ShiroMapRecord m = EmptyShiroMap();
    m.name = "清洲城";
    std::uint8_t bytes[114];
    Encode(m, bytes, kSjis);
    const std::string sjis = FromUtf8("清洲城", kSjis);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 2), sjis.size()), sjis);
    for (std::size_t i = 2 + sjis.size(); i <= 22; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(bytes[25], 0);
    EXPECT_EQ(bytes[111], 0);
    ShiroMapRecord back;
    ASSERT_TRUE(Decode(bytes, back, kSjis));
    EXPECT_EQ(back.name, "清洲城");
    EXPECT_EQ(back.ConnectionCount(), 0);
}

TEST(WorldCodec, DamagedShiroMapIsRefusedAndLeftUnchanged) {
    struct Damage {
        const char* what;
        std::function<void(ShiroMapRecord&)> apply;
    };
    const Damage damages[] = {
        {"province 250", [](ShiroMapRecord& m) { m.kuni = 250; }},
        {"maximum size 11", [](ShiroMapRecord& m) { m.maxKibo = 11; }},
        {"house 1000", [](ShiroMapRecord& m) { m.initDaimyou = 1000; }},
        {"house -2", [](ShiroMapRecord& m) { m.initDaimyou = -2; }},
        {"castle type -1", [](ShiroMapRecord& m) { m.shiroType = -1; }},
        {"castle type 1000", [](ShiroMapRecord& m) { m.shiroType = 1000; }},
        {"no end mark",
         [](ShiroMapRecord& m) {
             for (auto& c : m.connect)
                 c.shiro = 1;
         }},
        {"connected castle 10000", [](ShiroMapRecord& m) { m.connect[0].shiro = 10000; }},
        {"road kind 4",
         [](ShiroMapRecord& m) {
             m.connect[0].shiro = 1;
             m.connect[0].route = 0xFFFF;
             m.connect[0].kind = 4;
         }},
        {"route point 60001",
         [](ShiroMapRecord& m) {
             m.connect[0].shiro = 1;
             m.connect[0].route = 60001;
         }},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.what);
        ShiroMapRecord bad = EmptyShiroMap();
        d.apply(bad);
        std::uint8_t bytes[114];
        Encode(bad, bytes, kSjis);
        ShiroMapRecord kept = EmptyShiroMap();
        kept.name = "元";
        EXPECT_FALSE(Decode(bytes, kept, kSjis));
        EXPECT_EQ(kept.name, "元");
    }
    // A list of ten with its end mark in the eleventh slot is whole.
    ShiroMapRecord full = EmptyShiroMap();
    for (int i = 0; i < 10; ++i)
        full.connect[static_cast<std::size_t>(i)] =
            ShiroConnection{static_cast<std::uint16_t>(i), 0xFFFF, 0, 0};
    std::uint8_t bytes[114];
    Encode(full, bytes, kSjis);
    ShiroMapRecord back;
    ASSERT_TRUE(Decode(bytes, back, kSjis));
    EXPECT_EQ(back.ConnectionCount(), 10);
}

// --- castle type -------------------------------------------------------------------------------

TEST(WorldCodec, ShiroTypeWordsAtTheirOffsets) {
    std::vector<FieldCase<ShiroTypeRecord>> cases;
    static const char* const kNames[] = {"word 0", "word 5", "word 12", "word 13", "word 25", "word 32"};
    const std::size_t words[] = {0, 5, 12, 13, 25, 32};
    for (std::size_t k = 0; k < 6; ++k) {
        const std::size_t w = words[k];
        cases.push_back(
            {kNames[k], 2 * w, 2,
             [w](ShiroTypeRecord& r, std::uint32_t v) { r.words[w] = static_cast<std::uint16_t>(v); },
             static_cast<std::uint32_t>(0x8100 + w * 7)});
    }
    CheckFields(ShiroTypeRecord{}, cases);
    CheckAllTogether(ShiroTypeRecord{}, cases);
}

// --- general ---------------------------------------------------------------------------------

std::vector<FieldCase<BushouExRecord>> BushouExCases() {
    return {
        {"textIndex", 0, 2, SET(textIndex, std::uint16_t), 0x1234},
        {"buyuu", 23, 1, SET(buyuu, std::uint8_t), 10},
        {"seiji", 24, 1, SET(seiji, std::uint8_t), 9},
        {"chibou", 25, 1, SET(chibou, std::uint8_t), 8},
        {"yasenTousotsu", 26, 1, SET(yasenTousotsu, std::uint8_t), 7},
        {"suigunTousotsu", 27, 1, SET(suigunTousotsu, std::uint8_t), 6},
        {"yashin", 28, 1, SET(yashin, std::uint8_t), 5},
        {"chuusei", 29, 1, SET(chuusei, std::uint8_t), 4},
        {"cavalry", 30, 2, SET(cavalry, std::int16_t), 2000},
        {"foot", 32, 2, SET(foot, std::int16_t), 0x1388},
        {"muskets", 34, 2, SET(muskets, std::int16_t), 0x0102},
        {"birthYear", 36, 2, SET(birthYear, std::int16_t), 0xFF38},
        {"deathYear", 38, 2, SET(deathYear, std::int16_t), 1610},
        {"appearYear", 40, 2, SET(appearYear, std::int16_t), 1560},
        {"daimyou", 42, 2, SET(daimyou, std::int16_t), 0x83E7},     // house 999, in parentheses
        {"location", 44, 2, SET(location, std::uint16_t), 0x80F9},  // province 249
        {"successionRank", 46, 1, SET(successionRank, std::int8_t), 0x80},
        {"birthMark", 47, 1, SET(birthMark, std::uint8_t), 0x82},
    };
}

TEST(WorldCodec, BushouExFieldsAtTheirOffsets) {
    CheckFields(BushouExRecord{}, BushouExCases());
    CheckAllTogether(BushouExRecord{}, BushouExCases());
}

TEST(WorldCodec, BushouExHousesAndLocations) {
    struct Case {
        std::int16_t daimyou;
        std::uint16_t location;
        bool good;
    };
    const Case cases[] = {
        {-2, 0, true},  {-1, 9999, true},  {999, 0x80F9, true}, {1000, 0, false},
        {-3, 0, false}, {0, 10000, false}, {0, 0x80FA, false},  {static_cast<std::int16_t>(0x83E8), 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.daimyou) + " " + std::to_string(c.location));
        BushouExRecord b;
        b.daimyou = c.daimyou;
        b.location = c.location;
        b.name = "信長";
        std::uint8_t bytes[48];
        Encode(b, bytes, kSjis);
        BushouExRecord back;
        EXPECT_EQ(Decode(bytes, back, kSjis), c.good);
        if (c.good) {
            EXPECT_EQ(back.name, "信長");
        }
    }
}

// --- house ---------------------------------------------------------------------------------------

std::vector<FieldCase<DaimyouInitRecord>> DaimyouInitCases() {
    return {
        {"textIndex", 0, 2, SET(textIndex, std::uint16_t), 0xFFFF},
        {"kindByte", 23, 1, SET(kindByte, std::uint8_t), 0xAA},  // kind 2, behaviour 2, flags 3 and 7
        {"shikin", 24, 4, SET(shikin, std::int32_t), 0xFFFFFFFF},
        {"koukaiGijutsu", 28, 2, SET(koukaiGijutsu, std::uint16_t), 0x2710},
        {"kouzanGijutsu", 30, 2, SET(kouzanGijutsu, std::uint16_t), 5000},
        {"teppouTendency", 32, 1, SET(teppouTendency, std::uint8_t), 100},
        {"gunsenTendency", 33, 1, SET(gunsenTendency, std::uint8_t), 10},
    };
}

TEST(WorldCodec, DaimyouInitFieldsAtTheirOffsets) {
    CheckFields(DaimyouInitRecord{}, DaimyouInitCases());
    CheckAllTogether(DaimyouInitRecord{}, DaimyouInitCases());

    DaimyouInitRecord d;
    d.name = "一二三四五六七八九十";
    std::uint8_t bytes[34];
    Encode(d, bytes, kSjis);
    EXPECT_EQ(bytes[22], 0);
    DaimyouInitRecord back;
    ASSERT_TRUE(Decode(bytes, back, kSjis));
    EXPECT_EQ(back.name, "一二三四五六七八九十");
}

TEST(WorldCodec, DaimyouInitWithUnknownKindOrBehaviourIsRefused) {
    for (std::uint8_t kindByte :
         {std::uint8_t{0x03}, std::uint8_t{0x07}, std::uint8_t{0x30}, std::uint8_t{0x70}}) {
        SCOPED_TRACE(kindByte);
        DaimyouInitRecord d;
        d.kindByte = kindByte;
        std::uint8_t bytes[34];
        Encode(d, bytes, kSjis);
        DaimyouInitRecord kept;
        kept.shikin = 77;
        EXPECT_FALSE(Decode(bytes, kept, kSjis));
        EXPECT_EQ(kept.shikin, 77);
    }
}

// --- coalition -----------------------------------------------------------------------------------

std::vector<FieldCase<CRengou>> RengouCases() {
    return {
        {"target", 4, 2, SET(target, std::int16_t), 999},
        {"nMember", 6, 2, SET(nMember, std::int16_t), 42},
        {"member[0]", 8, 2, SET(member[0], std::int16_t), 0x0123},
        {"member[41]", 90, 2, SET(member[41], std::int16_t), 0x0321},
    };
}

TEST(WorldCodec, RengouFieldsAtTheirOffsetsAfterTheClassSlot) {
    CheckFields(CRengou{}, RengouCases());
    CheckAllTogether(CRengou{}, RengouCases());

    CRengou r;
    r.target = 3;
    r.nMember = 42;
    for (int i = 0; i < 42; ++i)
        r.member[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 20);
    std::uint8_t bytes[92];
    Encode(r, bytes);
    EXPECT_EQ(bytes[0] | bytes[1] | bytes[2] | bytes[3], 0);
    bytes[0] = 0x78;  // the class slot means nothing on reading
    CRengou back;
    ASSERT_TRUE(Decode(bytes, back));
    EXPECT_EQ(back.nMember, 42);
    EXPECT_EQ(back.member, r.member);
}

TEST(WorldCodec, DamagedRengouIsRefused) {
    struct Case {
        std::int16_t target, nMember, member0;
    };
    const Case cases[] = {{-1, 0, 0}, {1000, 0, 0}, {0, 43, 0}, {0, -1, 0}, {0, 1, 1000}, {0, 1, -1}};
    for (const auto& c : cases) {
        CRengou r;
        r.target = c.target;
        r.nMember = c.nMember;
        r.member[0] = c.member0;
        std::uint8_t bytes[92];
        Encode(r, bytes);
        CRengou kept;
        kept.target = 5;
        EXPECT_FALSE(Decode(bytes, kept));
        EXPECT_EQ(kept.target, 5);
    }
    // An unused member slot may hold anything.
    CRengou r;
    r.nMember = 1;
    r.member[1] = -7;
    std::uint8_t bytes[92];
    Encode(r, bytes);
    CRengou back;
    EXPECT_TRUE(Decode(bytes, back));
}

}  // namespace
}  // namespace rymd
