#include "game/state/vocabulary.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/archive.h"
#include "platform/core/format_text.h"

namespace rymd {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ReplaceFn = std::string (*)(std::string_view, const ScenarioWordArray&);

ScenarioWordArray BuiltIn() {
    ScenarioWordArray w;
    ResetScenarioWords(w);
    return w;
}

struct Fn {
    ReplaceFn fn;
    int slot;
};

const Fn kFunctions[] = {
    {ReplaceWordDaimyouke, 0},     {ReplaceWordAshigaruhei, 1},     {ReplaceWordKibahei, 2},
    {ReplaceWordTeppou, 3},        {ReplaceWordShiro, 4},           {ReplaceWordJoushu, 5},
    {ReplaceWordRakujou, 6},       {ReplaceWordKaijou, 7},          {ReplaceWordShiroFushin, 8},
    {ReplaceWordBushou, 9},        {ReplaceWordKokudaka, 10},       {ReplaceWordKoku, 11},
    {ReplaceWordKouekisen, 12},    {ReplaceWordGunsen, 13},         {ReplaceWordTeppouKounyuu, 14},
    {ReplaceWordTeppouSeisan, 15}, {ReplaceWordTeppouHaibi, 16},    {ReplaceWordTeppouShageki, 17},
    {ReplaceWordBC, 18},           {ReplaceWordZenkoku, 19},        {ReplaceWordHyourou, 30},
    {ReplaceWordChou, 34},         {ReplaceWordSeppuku, 35},        {ReplaceWordHourokuHiya, 36},
    {ReplaceWordGenpuku, 37},      {ReplaceWordShokei, 38},         {ReplaceWordSuiro, 42},
    {ReplaceWordRikuro, 43},       {ReplaceWordKaikon, 44},         {ReplaceWordRakuichi, 45},
    {ReplaceWordKouzan, 46},       {ReplaceWordKouzanKaihatsu, 47}, {ReplaceWordKeizai, 48},
    {ReplaceWordNouhanki, 49},
};

TEST(Vocabulary, TableAndKeywords) {
    EXPECT_STREQ(WordAssignTbl[0].keyword, "DAIMYOUKE");
    EXPECT_STREQ(WordAssignTbl[0].word, "大名家");
    EXPECT_STREQ(WordAssignTbl[33].word, "は蝦夷地の奥深くに退散しました");
    EXPECT_STREQ(WordAssignTbl[49].keyword, "NOUHANKI");
    struct Case {
        const char* keyword;
        int slot;
    };
    const Case cases[] = {{"SHIRO", 4}, {"SHIRO_LEVEL1", 20}, {"SHIRO_LEVEL10", 29}, {"TEPPOU_KOUNYUU", 14},
                          {"BC", 18},   {"NOUHANKI", 49},     {"shiro", -1},         {"SHIRO ", -1},
                          {"", -1},     {"SHIRO_LEVEL11", -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(FindWordKeyword(c.keyword), c.slot) << c.keyword;
    }
    std::set<std::string> keywords;
    for (const WordAssign& w : WordAssignTbl) {
        EXPECT_EQ(FindWordKeyword(w.keyword), static_cast<int>(keywords.size()));
        keywords.insert(w.keyword);
    }
    EXPECT_EQ(keywords.size(), 50u);
}

TEST(Vocabulary, ResetRestoresTheBuiltInWords) {
    ScenarioWordArray w;
    w[4] = "砦";
    w[49] = "";
    ResetScenarioWords(w);
    for (int i = 0; i < kWordSlotCount; ++i) {
        EXPECT_EQ(w[static_cast<std::size_t>(i)], WordAssignTbl[static_cast<std::size_t>(i)].word);
    }
}

// Each of the 34 functions replaces its own slot's word and no other slot's.
TEST(Vocabulary, EachFunctionReplacesItsOwnSlot) {
    ASSERT_EQ(std::size(kFunctions), 34u);
    std::set<int> slots;
    for (const Fn& f : kFunctions) {
        slots.insert(f.slot);
        ScenarioWordArray w = BuiltIn();
        const std::string word = WordAssignTbl[static_cast<std::size_t>(f.slot)].word;
        const std::string text = "<" + word + "|" + word + ">";
        // Unchanged slot: same text.
        EXPECT_EQ(f.fn(text, w), text) << f.slot;
        // Every other slot changed: still the same text.
        ScenarioWordArray others = BuiltIn();
        for (int i = 0; i < kWordSlotCount; ++i) {
            if (i != f.slot) {
                others[static_cast<std::size_t>(i)] = "#";
            }
        }
        EXPECT_EQ(f.fn(text, others), text) << f.slot;
        // Own slot changed: every occurrence replaced.
        w[static_cast<std::size_t>(f.slot)] = "@@";
        EXPECT_EQ(f.fn(text, w), "<@@|@@>") << f.slot;
        EXPECT_EQ(f.fn("", w), "");
    }
    EXPECT_EQ(slots.size(), 34u);
    // The slots read directly have no function.
    for (int s : {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 33, 39, 40, 41}) {
        EXPECT_EQ(slots.count(s), 0u) << s;
    }
}

TEST(Vocabulary, CompoundWordsDependOnTheOrderOfCalls) {
    ScenarioWordArray w = BuiltIn();
    w[4] = "砦";
    const std::string text = "城主が落城し、開城した城普請の城";
    // Slot 4 alone also rewrites the castle character inside the compounds.
    EXPECT_EQ(ReplaceWordShiro(text, w), "砦主が落砦し、開砦した砦普請の砦");
    // Slot 5 still holds its built-in word: the castle-lord compound is kept.
    EXPECT_EQ(ReplaceWordJoushu(text, w), text);

    // With slot 5 changed too, the first call wins the compound.
    w[5] = "領主";
    EXPECT_EQ(ReplaceWordShiro(ReplaceWordJoushu(text, w), w), "領主が落砦し、開砦した砦普請の砦");
    EXPECT_EQ(ReplaceWordJoushu(ReplaceWordShiro(text, w), w), "砦主が落砦し、開砦した砦普請の砦");

    // Koku inside rice yield.
    ScenarioWordArray k = BuiltIn();
    k[11] = "斛";
    k[10] = "収量";
    EXPECT_EQ(ReplaceWordKoku("石高 100石", k), "斛高 100斛");
    EXPECT_EQ(ReplaceWordKoku(ReplaceWordKokudaka("石高 100石", k), k), "収量 100斛");
}

TEST(Vocabulary, ReplacementIsLeftToRightAndNotRescanned) {
    ScenarioWordArray w = BuiltIn();
    w[4] = "城城";  // the new word holds the old one
    EXPECT_EQ(ReplaceWordShiro("城と城", w), "城城と城城");
    w[3] = "鉄";
    EXPECT_EQ(ReplaceWordTeppou("鉄砲砲鉄砲鉄", w), "鉄砲鉄鉄");
    w[18] = "BCE";
    EXPECT_EQ(ReplaceWordBC("B.C.B.C.C.", w), "BCEBCEC.");
}

TEST(Vocabulary, AnEmptyWordDeletesTheBuiltInWord) {
    ScenarioWordArray w = BuiltIn();
    w[1] = "";
    EXPECT_EQ(ReplaceWordAshigaruhei("足軽兵100人、足軽兵", w), "100人、");
    EXPECT_EQ(ReplaceWordAshigaruhei("足軽兵", w), "");
    EXPECT_EQ(ReplaceWordInSlot("城", 50, w), "城");
    EXPECT_EQ(ReplaceWordInSlot("城", -1, w), "城");
}

// A message is formatted with the built-in words and the format's own words replaced: a word
// that looks like a conversion is shown as written and the arguments are never substituted.
TEST(Vocabulary, FormatWithWordsShowsWordsAsWrittenAndKeepsTheArguments) {
    ScenarioWordArray w = BuiltIn();
    w[4] = "%s%s%s%s%n";
    w[13] = "船%d";
    w[30] = "%%";
    w[7] = "%";
    w[18] = "%.*s";
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordShiro}, "%s周辺で城包囲軍(%s)が野戦", "鍋山城", "武田"),
              "鍋山城周辺で%s%s%s%s%n包囲軍(武田)が野戦");
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordGunsen}, "軍船 %d", 5), "船%d 5");
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordKaijou, ReplaceWordHyourou}, "  → %sは兵糧が尽きて開城しました",
                              "岡豊城"),
              "  → 岡豊城は%%が尽きて%しました");
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordBC}, "B.C.%d年 %04d%%", 200, 7), "%.*s200年 0007%");
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordShiro}, "100%%城%-4s|%%%s", "x", "城"),
              "100%%s%s%s%s%nx   |%城");
    // The words of slots not named stay built in; the built-in words give what FormatText gives.
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordGunsen}, "城の軍船%s", "%d"), "城の船%d%d");
    EXPECT_EQ(FormatWithWords(BuiltIn(), {ReplaceWordShiro, ReplaceWordGunsen}, "%s城 %d隻の軍船", "結城", 3),
              FormatText("%s城 %d隻の軍船", "結城", 3));
    // The functions run in the order given: the first one wins a compound word.
    w[5] = "領主";
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordJoushu, ReplaceWordShiro}, "%s城主", "x"), "x領主");
    EXPECT_EQ(FormatWithWords(w, {ReplaceWordShiro, ReplaceWordJoushu}, "%s城主", "x"), "x%s%s%s%s%n主");
}

TEST(Vocabulary, SavedFormHoldsOnlyChangedSlots) {
    ArchiveWriter unchanged;
    WriteChangedWords(unchanged, BuiltIn(), TextEncoding::ShiftJis);
    EXPECT_EQ(unchanged.Data(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));

    ScenarioWordArray w = BuiltIn();
    w[4] = "Fort";
    w[49] = "";
    ArchiveWriter out;
    WriteChangedWords(out, w, TextEncoding::ShiftJis);
    const Bytes expected = {4, 0, 0, 0, 4, 'F', 'o', 'r', 't', 49, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(out.Data(), expected);
}

TEST(Vocabulary, SavedFormRoundTripsInBothEncodings) {
    for (TextEncoding enc : {TextEncoding::ShiftJis, TextEncoding::Gb2312}) {
        ScenarioWordArray w = BuiltIn();
        w[0] = "国家";
        w[33] = "は北方に退きました";
        w[18] = "";
        ArchiveWriter out;
        WriteChangedWords(out, w, enc);
        out.WriteU8(0x5A);  // the next field of the save
        ScenarioWordArray back = BuiltIn();
        back[7] = "stale";  // a word from the game running before the load
        ArchiveReader in(out.Data());
        ASSERT_TRUE(ReadChangedWords(in, back, enc));
        EXPECT_EQ(back, w);
        EXPECT_EQ(in.ReadU8(), 0x5A);
    }
}

TEST(Vocabulary, DamagedSavedFormIsRefused) {
    struct Case {
        const char* what;
        Bytes data;
    };
    const Case cases[] = {
        {"empty", {}},
        {"slot 50", {50, 0, 0, 0, 1, 'A', 0xFF, 0xFF, 0xFF, 0xFF}},
        {"slot -2", {0xFE, 0xFF, 0xFF, 0xFF, 1, 'A', 0xFF, 0xFF, 0xFF, 0xFF}},
        {"no end marker", {4, 0, 0, 0, 1, 'A'}},
        {"word cut short", {4, 0, 0, 0, 5, 'A', 'B'}},
        {"slot cut short", {4, 0, 0}},
        {"end marker cut short", {4, 0, 0, 0, 1, 'A', 0xFF, 0xFF}},
        {"huge word length", {4, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        ScenarioWordArray w = BuiltIn();
        w[9] = "keep";
        const ScenarioWordArray before = w;
        ArchiveReader in(c.data);
        EXPECT_FALSE(ReadChangedWords(in, w, TextEncoding::ShiftJis)) << c.what;
        EXPECT_FALSE(in.Ok()) << c.what;
        EXPECT_EQ(w, before) << c.what;
    }
}

}  // namespace
}  // namespace rymd
