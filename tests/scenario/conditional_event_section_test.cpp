#include <gtest/gtest.h>

#include <string>

#include "game/state/event_records.h"
#include "support/events_test_util.h"

namespace rymd::test {
namespace {

const CConditionalEvent& Event(const ReaderRun& run, int i) {
    return run.gs->ConditionalEventArray.at(static_cast<std::size_t>(i));
}

// --- good lines ----------------------------------------------------------------------------------

TEST(ConditionalEventSection, KeywordLinesFillTheRecord) {
    ReaderRun run;
    ScenarioText t = World(11);
    t.Add({"ConditionalEvent {", "E01 {", "Title : 本能寺の変", "PeriodStart : 1560 : 3", "PeriodEnd : NONE",
           "Logic : OR", "RepeatType : REPEATABLE", "SubRoutine : YES", "LoopType : SHIRO",
           "LoopVariable : 番号", "Message {", "一行目", "\"二行目, 続き\"", "}", "}", "E02 {", "}", "}"});
    ReadOk(run, t.Text());
    ASSERT_EQ(run.gs->nConditionalEvent, 2);
    ASSERT_EQ(run.gs->ConditionalEventArray.size(), 2u);
    const CConditionalEvent& e = Event(run, 0);
    EXPECT_EQ(e.title, "本能寺の変");
    EXPECT_EQ(e.firstYear, 1560);
    EXPECT_EQ(e.firstMonth, 3);
    EXPECT_EQ(e.lastYear, 0);
    EXPECT_EQ(e.lastMonth, -127);
    EXPECT_EQ(e.flags, CConditionalEvent::kFlagOr | CConditionalEvent::kFlagRepeatable |
                           CConditionalEvent::kFlagSubRoutine);
    EXPECT_EQ(e.loopKind, CConditionalEvent::kLoopShiro);
    EXPECT_EQ(e.loopVariable, "番号");
    EXPECT_EQ(e.message, "一行目\n二行目, 続き\n");
    EXPECT_EQ(e.conditionCount, 0);
    EXPECT_EQ(e.actionCount, 0);

    // An event without keywords keeps the defaults: open window, AND, once, no loop.
    const CConditionalEvent& d = Event(run, 1);
    EXPECT_EQ(d.title, "");
    EXPECT_EQ(d.firstYear, 0);
    EXPECT_EQ(d.firstMonth, -127);
    EXPECT_EQ(d.lastMonth, -127);
    EXPECT_EQ(d.flags, 0);
    EXPECT_EQ(d.loopKind, CConditionalEvent::kLoopNone);
    EXPECT_EQ(d.message, "");

    // The identifiers become the conditional-event list of the name index.
    EXPECT_EQ(run.gs->NameIndex.FindConditionalEvent("E02"), 1);
}

TEST(ConditionalEventSection, WordValuesSetAndClearTheirFlags) {
    ReaderRun run;
    ScenarioText t = World(11);
    t.Add({"ConditionalEvent {", "E01 {", "Logic : OR", "Logic : AND", "RepeatType : REPEATABLE",
           "RepeatType : ONCE", "SubRoutine : YES", "SubRoutine : NO", "LoopType : BUSHOU", "}", "E02 {",
           "LoopType : DAIMYOU", "}", "E03 {", "LoopType : SHIRO", "LoopType : NONE", "}", "}"});
    ReadOk(run, t.Text());
    EXPECT_EQ(Event(run, 0).flags, 0);
    EXPECT_EQ(Event(run, 0).loopKind, 3);
    EXPECT_EQ(Event(run, 1).loopKind, 1);
    EXPECT_EQ(Event(run, 2).loopKind, 0);
}

TEST(ConditionalEventSection, ConditionAndHappeningLinesOfVersion11) {
    ReaderRun run;
    ScenarioText t = World(11);
    t.Add({"ConditionalEvent {", "E01 {", "Condition {",
           "CONDITION_EQUAL : NONE : VARIABLE : S02 : B03 : \"a, b\" : \"3  \"",
           "CONTITION_BUSHOU_AT_SHIRO : D02 : NONE : VARIABLE : VARIABLE : : \"\"", "}", "Happening {",
           "HAPPENING_HIDE_ROOT : D03 : VARIABLE : S01 : S02 : B02 : VARIABLE : 1 : \"x:y\"", "}",
           "Condition {", "CONDITION_QUESTION_NO : NONE : NONE : NONE : NONE : \"\" : 本当に？", "}", "}",
           "}"});
    ReadOk(run, t.Text());
    const CConditionalEvent& e = Event(run, 0);
    ASSERT_EQ(e.conditionCount, 3);  // the second block goes on after the first
    const EventItem& c0 = e.conditions[0];
    EXPECT_EQ(c0.code, 0);
    EXPECT_EQ(c0.daimyou1, 0);   // NONE
    EXPECT_EQ(c0.daimyou2, -1);  // VARIABLE
    EXPECT_EQ(c0.shiro1, 1);
    EXPECT_EQ(c0.shiro2, 0);
    EXPECT_EQ(c0.bushou1, 2);
    EXPECT_EQ(c0.bushou2, 0);
    EXPECT_EQ(c0.data1, "a, b");
    EXPECT_EQ(c0.data2, "3");  // trailing blanks dropped
    const EventItem& c1 = e.conditions[1];
    EXPECT_EQ(c1.code, 35);
    EXPECT_EQ(c1.daimyou1, 1);
    EXPECT_EQ(c1.shiro1, -1);
    EXPECT_EQ(c1.bushou1, -1);
    EXPECT_EQ(c1.data1, "");
    EXPECT_EQ(c1.data2, "");
    EXPECT_EQ(e.conditions[2].code, 48);
    EXPECT_EQ(e.conditions[2].data2, "本当に？");

    ASSERT_EQ(e.actionCount, 1);
    const EventItem& a = e.actions[0];
    EXPECT_EQ(a.code, 73);
    EXPECT_EQ(a.daimyou1, 2);
    EXPECT_EQ(a.daimyou2, -1);
    EXPECT_EQ(a.shiro1, 0);
    EXPECT_EQ(a.shiro2, 1);
    EXPECT_EQ(a.bushou1, 1);
    EXPECT_EQ(a.bushou2, -1);
    EXPECT_EQ(a.data1, "1");
    EXPECT_EQ(a.data2, "x:y");
}

TEST(ConditionalEventSection, OlderVersionsHaveNoConditionTextsAndNoSecondCastle) {
    ReaderRun run;
    ScenarioText t = World(10);
    t.Add({"ConditionalEvent {", "E01 {", "Condition {", "CONDITION_BUSHOU_EXIST : D01 : D02 : S01 : B02",
           "}", "Happening {",
           // No second castle: the item's castle 2 stays 0.
           "HAPPENING_HIDE_ROOT : D01 : D02 : S02 : B01 : B02 : 1 : 2",
           // The plus happenings and the maximum castle size take the number from the second text.
           "HAPPENING_BUSHOU_ASHIGARU_PLUS : NONE : NONE : NONE : B01 : NONE : : 100",
           "HAPPENING_DAIMYOU_TEPPOU_PLUS : D01 : NONE : NONE : NONE : NONE : 5 : 6",
           "HAPPENING_SHIRO_MAX_LEVEL : NONE : NONE : S01 : NONE : NONE : : 7",
           "HAPPENING_SHIRO_MAX_KOKUDAKA : NONE : NONE : S01 : NONE : NONE : 8 : 9", "}", "}", "}"});
    ReadOk(run, t.Text());
    const CConditionalEvent& e = Event(run, 0);
    ASSERT_EQ(e.conditionCount, 1);
    EXPECT_EQ(e.conditions[0].bushou1, 1);
    EXPECT_EQ(e.conditions[0].data1, "");
    EXPECT_EQ(e.conditions[0].data2, "");
    ASSERT_EQ(e.actionCount, 5);
    EXPECT_EQ(e.actions[0].shiro1, 1);
    EXPECT_EQ(e.actions[0].shiro2, 0);
    EXPECT_EQ(e.actions[0].bushou1, 0);
    EXPECT_EQ(e.actions[0].bushou2, 1);
    EXPECT_EQ(e.actions[0].data1, "1");
    EXPECT_EQ(e.actions[1].data1, "100");
    EXPECT_EQ(e.actions[2].data1, "6");
    EXPECT_EQ(e.actions[3].data1, "7");
    EXPECT_EQ(e.actions[4].data1, "8");  // not one of them
    EXPECT_EQ(e.actions[4].data2, "9");
}

TEST(ConditionalEventSection, EveryConditionKeywordGivesItsCode) {
    ScenarioText t = World(11);
    t.Add({"ConditionalEvent {", "E01 {", "Condition {"});
    for (const EventKeyword& k : kConditionTable)
        t.Add({std::string(k.keyword) + " : NONE : NONE : NONE : NONE : \"\" : \"\""});
    t.Add({"}", "}", "}"});
    ReaderRun run;
    ReadOk(run, t.Text());
    const CConditionalEvent& e = Event(run, 0);
    ASSERT_EQ(e.conditionCount, kConditionCount);
    for (int i = 0; i < kConditionCount; ++i)
        EXPECT_EQ(e.conditions[static_cast<std::size_t>(i)].code, i)
            << kConditionTable[static_cast<std::size_t>(i)].keyword;
    EXPECT_STREQ(kConditionTable[0].keyword, "CONDITION_EQUAL");
    EXPECT_STREQ(kConditionTable[48].keyword, "CONDITION_QUESTION_NO");
    EXPECT_STREQ(kConditionTable[32].keyword, "CONTITION_BUSHOU_SHOZOKU");
}

TEST(ConditionalEventSection, EveryHappeningKeywordAndOldSpellingGivesItsCode) {
    std::vector<std::pair<std::string, int>> words;
    for (int i = 0; i < kHappeningCount; ++i)
        words.emplace_back(kHappeningTable[static_cast<std::size_t>(i)].keyword, i);
    words.emplace_back("HAPPEN_DAINYUU", 0);
    words.emplace_back("HAPPEN_ADD", 1);
    words.emplace_back("HAPPENING_HEIGDON", 17);

    // Fifty happenings per event: the words are spread over two events.
    ScenarioText t = World(11);
    t.Add({"ConditionalEvent {"});
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i % 50 == 0) t.Add({"E" + std::to_string(i) + " {", "Happening {"});
        t.Add({words[i].first + " : NONE : NONE : NONE : NONE : NONE : NONE : \"\" : \"\""});
        if (i % 50 == 49 || i + 1 == words.size()) t.Add({"}", "}"});
    }
    t.Add({"}"});
    ReaderRun run;
    ReadOk(run, t.Text());
    ASSERT_EQ(run.gs->nConditionalEvent, 2);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const CConditionalEvent& e = Event(run, static_cast<int>(i / 50));
        EXPECT_EQ(e.actions[i % 50].code, words[i].second) << words[i].first;
    }
    EXPECT_EQ(Event(run, 1).actionCount, static_cast<int>(words.size()) - 50);
    EXPECT_STREQ(kHappeningTable[74].keyword, "HAPPENING_DAIMYO_NONAGGRESSION");
}

TEST(ConditionalEventSection, TextLimitsAreMeasuredInFileBytes) {
    const std::string text200(100, 'a');  // 100 ASCII bytes + 50 two-byte characters = 200 bytes
    std::string kanji50;
    for (int i = 0; i < 50; ++i)
        kanji50 += "字";
    std::string title50;
    for (int i = 0; i < 25; ++i)
        title50 += "題";
    const std::string id25(25, 'I');
    ReaderRun run;
    ScenarioText t = World(11);
    t.Add({"ConditionalEvent {", id25 + " {", "Title : " + title50, "Happening {",
           "HAPPENING_CHANGE_TITLE : NONE : NONE : NONE : NONE : NONE : NONE : " + text200 + kanji50 +
               " : \"\"",
           "}", "}", "}"});
    ReadOk(run, t.Text());
    EXPECT_EQ(Event(run, 0).title, title50);
    EXPECT_EQ(Event(run, 0).actions[0].data1, text200 + kanji50);
    EXPECT_EQ(run.gs->NameIndex.FindConditionalEvent(id25), 0);
}

// --- errors --------------------------------------------------------------------------------------

constexpr int kSyntax = 4;

std::vector<std::string> OneEvent(std::initializer_list<std::string> body) {
    return OneBlock("ConditionalEvent", "E01", body);
}

class ConditionalEventErrors : public ::testing::TestWithParam<LineErrorCase> {};

TEST_P(ConditionalEventErrors, ReportTheCodeOnItsLine) {
    ExpectLineError(World(11), GetParam());
}

const std::string kNoText = " : NONE : NONE : NONE : NONE : \"\" : \"\"";

INSTANTIATE_TEST_SUITE_P(
    Section, ConditionalEventErrors,
    ::testing::Values(
        LineErrorCase{"identifier alone", {"ConditionalEvent {", "E01", "}"}, 2, kSyntax},
        LineErrorCase{"identifier without brace", {"ConditionalEvent {", "E01 : x", "}"}, 2, kSyntax},
        LineErrorCase{"brace followed by more", {"ConditionalEvent {", "E01 { x", "}", "}"}, 2, kSyntax},
        LineErrorCase{
            "identifier of 26 bytes", {"ConditionalEvent {", std::string(26, 'I') + " {", "}", "}"}, 2, 113},
        LineErrorCase{
            "identifier defined twice", {"ConditionalEvent {", "E01 {", "}", "E01 {", "}", "}"}, 4, 114},
        LineErrorCase{"unknown keyword", OneEvent({"Titel : a"}), 3, kSyntax},
        LineErrorCase{"keyword alone", OneEvent({"Title"}), 3, kSyntax},
        LineErrorCase{"title of 51 bytes", OneEvent({"Title : a" + Kanji(25)}), 3, 115},
        LineErrorCase{"title followed by more", OneEvent({"Title : a : b"}), 3, kSyntax},
        LineErrorCase{"logic in lower case", OneEvent({"Logic : or"}), 3, kSyntax},
        LineErrorCase{"logic followed by more", OneEvent({"Logic : OR : AND"}), 3, kSyntax},
        LineErrorCase{"bad repeat type", OneEvent({"RepeatType : ALWAYS"}), 3, kSyntax},
        LineErrorCase{"bad subroutine word", OneEvent({"SubRoutine : yes"}), 3, kSyntax},
        LineErrorCase{"bad loop type", OneEvent({"LoopType : CASTLE"}), 3, kSyntax},
        LineErrorCase{"loop variable followed by more", OneEvent({"LoopVariable : a b"}), 3, kSyntax},
        LineErrorCase{"period year alone", OneEvent({"PeriodStart : 1560"}), 3, kSyntax},
        LineErrorCase{"period with three values", OneEvent({"PeriodEnd : 1560 : 3 : 1"}), 3, kSyntax},
        LineErrorCase{"period NONE followed by more", OneEvent({"PeriodStart : NONE : 3"}), 3, kSyntax},
        LineErrorCase{"period year not an integer", OneEvent({"PeriodStart : 15x0 : 3"}), 3, 22},
        LineErrorCase{"period month not an integer", OneEvent({"PeriodEnd : 1560 : III"}), 3, 22},
        LineErrorCase{"condition without brace", OneEvent({"Condition : x"}), 3, kSyntax},
        LineErrorCase{"message brace followed by more", OneEvent({"Message { x", "}"}), 3, kSyntax},
        LineErrorCase{"message line with a comma outside quotes", OneEvent({"Message {", "a", "b, c", "}"}),
                      5, kSyntax},
        LineErrorCase{"bad condition keyword", OneEvent({"Condition {", "CONDITION_EQUALS" + kNoText, "}"}),
                      4, 116},
        LineErrorCase{"condition keyword alone", OneEvent({"Condition {", "CONDITION_EQUAL", "}"}), 4,
                      kSyntax},
        LineErrorCase{"condition line short",
                      OneEvent({"Condition {", "CONDITION_EQUAL : NONE : NONE : NONE : NONE : a", "}"}), 4,
                      kSyntax},
        LineErrorCase{"condition line long",
                      OneEvent({"Condition {", "CONDITION_EQUAL" + kNoText + ": x", "}"}), 4, kSyntax},
        LineErrorCase{"unknown house",
                      OneEvent({"Condition {", "CONDITION_DOKURITSU : D09" + kNoText.substr(7), "}"}), 4, 14},
        LineErrorCase{
            "unknown castle",
            OneEvent({"Condition {", "CONDITION_SHIRO_HOUI : NONE : NONE : S09 : NONE : \"\" : \"\"", "}"}),
            4, 15},
        LineErrorCase{
            "unknown general",
            OneEvent({"Condition {", "CONDITION_BUSHOU_EXIST : NONE : NONE : NONE : B09 : \"\" : \"\"", "}"}),
            4, 118},
        LineErrorCase{"house written in lower case",
                      OneEvent({"Condition {", "CONDITION_DOKURITSU : d01" + kNoText.substr(7), "}"}), 4, 14},
        LineErrorCase{"operand none in lower case",
                      OneEvent({"Condition {", "CONDITION_DOKURITSU : none" + kNoText.substr(7), "}"}), 4,
                      14},
        LineErrorCase{
            "text of 201 bytes",
            OneEvent({"Condition {",
                      "CONDITION_EQUAL : NONE : NONE : NONE : NONE : " + std::string(201, 'x') + " : 1",
                      "}"}),
            4, 121},
        LineErrorCase{
            "bad happening keyword",
            OneEvent({"Happening {",
                      "HAPPENING_NOTHING : NONE : NONE : NONE : NONE : NONE : NONE : \"\" : \"\"", "}"}),
            4, 120},
        LineErrorCase{
            "happening line short",
            OneEvent({"Happening {", "HAPPENING_DAINYUU : NONE : NONE : NONE : NONE : NONE : NONE : a", "}"}),
            4, kSyntax},
        LineErrorCase{
            "happening with an unknown second castle",
            OneEvent({"Happening {", "HAPPENING_HIDE_ROOT : NONE : NONE : S01 : S03 : NONE : NONE : 1 : \"\"",
                      "}"}),
            4, 15},
        LineErrorCase{"happening text of 201 bytes",
                      OneEvent({"Happening {",
                                "HAPPENING_CHANGE_TITLE : NONE : NONE : NONE : NONE : NONE : NONE : " +
                                    std::string(101, 'x') + Kanji(50) + " : \"\"",
                                "}"}),
                      4, 121},
        LineErrorCase{"second message line with a blank outside quotes", OneEvent({"Message {", "a b", "}"}),
                      4, kSyntax}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(ConditionalEventSection, Version10ConditionLineEndsAtTheGeneral) {
    ExpectLineError(
        World(10),
        {"v10 condition with texts",
         OneEvent({"Condition {", "CONDITION_EQUAL : NONE : NONE : NONE : NONE : a : b", "}"}), 4, kSyntax});
    ExpectLineError(World(10),
                    {"v10 happening with a second castle",
                     OneEvent({"Happening {",
                               "HAPPENING_HIDE_ROOT : NONE : NONE : S01 : NONE : NONE : NONE : 1 : 2", "}"}),
                     4, kSyntax});
}

TEST(ConditionalEventSection, FiftyItemsOfEachKindAndNoMore) {
    for (bool happenings : {false, true}) {
        const std::string line = happenings
                                     ? "HAPPENING_GAME_END : NONE : NONE : NONE : NONE : NONE : NONE : a : b"
                                     : "CONDITION_DAIMYOU_EXIST" + kNoText;
        ScenarioText t = World(11);
        t.Add({"ConditionalEvent {", "E01 {", happenings ? "Happening {" : "Condition {"});
        for (int i = 0; i < 50; ++i)
            t.Add({line});
        const int fiftyFirst = t.LineCount() + 1;
        ReaderRun full;
        ScenarioText ok = t;
        ok.Add({"}", "}", "}"});
        ReadOk(full, ok.Text());
        EXPECT_EQ(happenings ? Event(full, 0).actionCount : Event(full, 0).conditionCount, 50);

        t.Add({line, "}", "}", "}"});
        ReaderRun over;
        const int code = happenings ? 119 : 117;
        EXPECT_EQ(over.Read(t.Text()), code);
        EXPECT_EQ(over.Message(), ErrorText(code, fiftyFirst));
        // Events completed before the error stay; the broken one is not kept.
        EXPECT_EQ(over.gs->nConditionalEvent, 0);
    }
}

TEST(ConditionalEventSection, TwoThousandEventsAndNoMore) {
    ScenarioText t;
    t.Add({"ConditionalEvent {"});
    for (int i = 0; i < 2000; ++i)
        t.Add({"E" + std::to_string(i) + " {", "}"});
    const int extra = t.LineCount() + 1;
    t.Add({"X {", "}", "}"});
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 112);
    EXPECT_EQ(run.Message(), ErrorText(112, extra));
    EXPECT_EQ(run.gs->nConditionalEvent, 2000);
    EXPECT_EQ(run.gs->ConditionalEventArray.size(), 2000u);
}

TEST(ConditionalEventSection, ASecondSectionAppendsAndANewFileStartsEmpty) {
    ReaderRun run;
    ReadOk(run, "ConditionalEvent {\nA {\n}\n}\nConditionalEvent {\nB {\n}\n}\n");
    EXPECT_EQ(run.gs->nConditionalEvent, 2);
    EXPECT_EQ(run.gs->NameIndex.FindConditionalEvent("B"), 1);
    ReadOk(run, "ConditionalEvent {\nC {\n}\n}\n");
    EXPECT_EQ(run.gs->nConditionalEvent, 1);
    EXPECT_EQ(run.gs->ConditionalEventArray.size(), 1u);
}

TEST(ConditionalEventSection, AnEventCutOffByTheEndOfTheFileIsDropped) {
    ReaderRun run;
    ReadOk(run, "ConditionalEvent {\nA {\n}\nB {\nTitle : b\n");
    EXPECT_EQ(run.gs->nConditionalEvent, 1);
    EXPECT_TRUE(run.Message().empty());
}

}  // namespace
}  // namespace rymd::test
