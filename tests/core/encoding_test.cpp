#include "platform/core/encoding.h"

#include <clocale>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace rymd {
namespace {

using E = TextEncoding;

struct KnownText {
    const char* utf8;
    E encoding;
    const char* bytes;
};

// Texts that convert both ways without loss, with their file bytes.
const KnownText kKnown[] = {
    {"ABC xyz 0123", E::ShiftJis, "ABC xyz 0123"},
    {"城", E::ShiftJis, "\x8F\xE9"},
    {"表", E::ShiftJis, "\x95\x5C"},  // second byte is '\'
    {"武田信玄", E::ShiftJis, "\x95\x90\x93\x63\x90\x4D\x8C\xBA"},
    {"織田", E::ShiftJis, "\x90\x44\x93\x63"},
    {"ｶﾞｯｺｳ", E::ShiftJis, "\xB6\xDE\xAF\xBA\xB3"},  // half-width katakana: one byte each
    {"①", E::ShiftJis, "\x87\x40"},                  // code page 932 extension
    {"～", E::ShiftJis, "\x81\x60"},                 // U+FF5E
    {"\\~", E::ShiftJis, "\\~"},
    {"城A表B", E::ShiftJis,
     "\x8F\xE9"
     "A\x95\x5C"
     "B"},
    {"中国", E::Gb2312, "\xD6\xD0\xB9\xFA"},
    {"中国abc", E::Gb2312,
     "\xD6\xD0\xB9\xFA"
     "abc"},
    {"", E::ShiftJis, ""},
};

TEST(Encoding, KnownTextsConvertBothWays) {
    for (const KnownText& k : kKnown) {
        SCOPED_TRACE(k.utf8);
        EXPECT_EQ(FromUtf8(k.utf8, k.encoding), k.bytes);
        EXPECT_EQ(ToUtf8(k.bytes, k.encoding), k.utf8);
        EXPECT_EQ(EncodedLength(k.utf8, k.encoding), std::string(k.bytes).size());
    }
}

TEST(Encoding, WorksInTheCLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    // A fresh thread opens its converters under the C locale.
    std::string sjis, gb;
    std::thread([&] {
        sjis = ToUtf8("\x8F\xE9", E::ShiftJis);
        gb = FromUtf8("中国", E::Gb2312);
    }).join();
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(sjis, "城");
    EXPECT_EQ(gb, "\xD6\xD0\xB9\xFA");
}

TEST(Encoding, LongTextsRoundTrip) {
    std::string utf8, bytes;
    for (int i = 0; i < 5000; ++i) {
        utf8 += "城ｱa";
        bytes +=
            "\x8F\xE9\xB1"
            "a";
    }
    EXPECT_EQ(FromUtf8(utf8, E::ShiftJis), bytes);
    EXPECT_EQ(ToUtf8(bytes, E::ShiftJis), utf8);
    EXPECT_EQ(EncodedLength(utf8, E::ShiftJis), bytes.size());
}

#define FFFD "\xEF\xBF\xBD"

TEST(Encoding, InvalidFileBytesBecomeReplacementCharacters) {
    const KnownText cases[] = {
        {"A" FFFD "B", E::ShiftJis,
         "A\x80"
         "B"},  // not a character in code page 932
        {FFFD FFFD, E::ShiftJis, "\xFF\xFD"},
        {"A" FFFD, E::ShiftJis, "A\x8F"},               // lead byte cut off at the end
        {FFFD " 城", E::ShiftJis, "\x81\x20\x8F\xE9"},  // lead byte with a bad second byte
        {"城" FFFD "城", E::ShiftJis, "\x8F\xE9\x80\x8F\xE9"},
        {"中" FFFD, E::Gb2312, "\xD6\xD0\xB9"},
        {FFFD "A", E::Gb2312,
         "\xFF"
         "A"},
    };
    for (const KnownText& k : cases) {
        SCOPED_TRACE(k.utf8);
        EXPECT_EQ(ToUtf8(k.bytes, k.encoding), k.utf8);
    }
}

TEST(Encoding, UnmappableAndInvalidUtf8BecomeQuestionMarks) {
    const KnownText cases[] = {
        {"A\xF0\x9F\x98\x80"
         "B",
         E::ShiftJis, "A?B"},         // emoji: one character, one '?'
        {"한국", E::ShiftJis, "??"},  // Hangul is not in code page 932
        {"ｱ", E::Gb2312, "?"},        // half-width katakana is not in GB2312
        {"A\xFF"
         "B",
         E::ShiftJis, "A?B"},
        {"\xC3", E::ShiftJis, "?"},  // cut-off sequence
        {"\xE6\xAD", E::ShiftJis, "??"},
        {"\xED\xA0\x80", E::ShiftJis, "???"},  // surrogate
        {"\xC0\xAF", E::ShiftJis, "??"},       // overlong '/'
        {"城\x80城", E::ShiftJis, "\x8F\xE9?\x8F\xE9"},
    };
    for (const KnownText& k : cases) {
        SCOPED_TRACE(k.bytes);
        EXPECT_EQ(FromUtf8(k.utf8, k.encoding), k.bytes);
        EXPECT_EQ(EncodedLength(k.utf8, k.encoding), std::string(k.bytes).size());
    }
}

TEST(Encoding, CharBoundaryCut) {
    const std::string name21 = std::string(19, 'a') + "\x8F\xE9";  // the 20th byte is a lead byte
    struct Case {
        std::string bytes;
        std::size_t max;
        E encoding;
        std::size_t expected;
    };
    const Case cases[] = {
        {name21, 20, E::ShiftJis, 19},
        {name21, 21, E::ShiftJis, 21},
        {name21, 100, E::ShiftJis, 21},
        {name21, 0, E::ShiftJis, 0},
        {"\x95\x90\x93\x63", 3, E::ShiftJis, 2},  // 武田: the second byte 0x90 is in the lead range
        {"\x95\x90\x93\x63", 1, E::ShiftJis, 0},
        {"\x83\x81\x83\x81", 3, E::ShiftJis, 2},  // メメ
        {"\xB1\xB1\xB1", 2, E::ShiftJis, 2},      // half-width katakana are single bytes
        {"a\x95\x5C"
         "b",
         3, E::ShiftJis, 3},
        {"ab\x8F", 10, E::ShiftJis, 2},  // a lone lead byte at the end is dropped
        {"\xD6\xD0\xB9\xFA", 3, E::Gb2312, 2},
        {"a\xD6\xD0", 2, E::Gb2312, 1},
        {"", 5, E::Gb2312, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes + " max " + std::to_string(c.max));
        EXPECT_EQ(CharBoundaryCut(c.bytes, c.max, c.encoding), c.expected);
    }
}

TEST(Encoding, CutUtf8ToEncodedLength) {
    struct Case {
        const char* utf8;
        std::size_t max;
        E encoding;
        const char* expected;
    };
    const Case cases[] = {
        {"武田信玄", 8, E::ShiftJis, "武田信玄"},
        {"武田信玄", 7, E::ShiftJis, "武田信"},
        {"武田信玄", 5, E::ShiftJis, "武田"},
        {"武田信玄", 1, E::ShiftJis, ""},
        {"武田信玄", 0, E::ShiftJis, ""},
        {"Aｱ武", 3, E::ShiftJis, "Aｱ"},
        {"Aｱ武", 4, E::ShiftJis, "Aｱ武"},
        {"abcdef", 4, E::ShiftJis, "abcd"},
        {"A\xF0\x9F\x98\x80"
         "BC",
         2, E::ShiftJis, "A\xF0\x9F\x98\x80"},  // the emoji is written as '?'
        {"\xFF"
         "AB",
         2, E::ShiftJis,
         "\xFF"
         "A"},
        {"中国", 3, E::Gb2312, "中"},
        {"中国", 4, E::Gb2312, "中国"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.utf8) + " max " + std::to_string(c.max));
        const std::string cut = CutUtf8ToEncodedLength(c.utf8, c.max, c.encoding);
        EXPECT_EQ(cut, c.expected);
        EXPECT_LE(EncodedLength(cut, c.encoding), c.max);
    }
}

TEST(Encoding, CutOfALongTextFitsAndIsAPrefix) {
    std::string utf8;
    for (int i = 0; i < 300; ++i)
        utf8 += "城ｱ";
    for (std::size_t max : {0u, 1u, 2u, 3u, 100u, 101u, 599u, 899u, 900u}) {
        const std::string cut = CutUtf8ToEncodedLength(utf8, max, E::ShiftJis);
        const std::size_t len = EncodedLength(cut, E::ShiftJis);
        EXPECT_LE(len, max);
        EXPECT_GE(len + 1, std::min<std::size_t>(max, 900));  // stops at most one byte short
        EXPECT_EQ(utf8.compare(0, cut.size(), cut), 0);
    }
}

}  // namespace
}  // namespace rymd
