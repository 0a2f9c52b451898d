#include <gtest/gtest.h>

#include <string>

#include "game/state/event_records.h"
#include "support/events_test_util.h"

namespace rymd::test {
namespace {

constexpr int kSyntax = 4;

const CEventRecord& Rec(const ReaderRun& run, int i) {
    return run.gs->EventTbl[static_cast<std::size_t>(i)];
}

std::string Twelve(const std::string& v) {
    std::string s;
    for (int i = 0; i < 12; ++i)
        s += " : " + v;
    return s;
}

// --- Event -----------------------------------------------------------------------------------------

TEST(EventSection, DeclaredEventsStartFresh) {
    ReaderRun run;
    // Leftovers of an earlier game in the record must not survive.
    CEventRecord& old = run.gs->EventTbl[1];
    old.effectCount = 5;
    old.chainRate = 7;
    old.probability[3][4] = 99;
    old.relation[0] = 2;
    old.areaMode = 1;
    ReadOk(run, "Event {\nEV_A : 一揆\nEV_B : 飢饉\n}\n");
    ASSERT_EQ(run.gs->nEvent, 2);
    const CEventRecord& b = Rec(run, 1);
    EXPECT_EQ(b.name, "飢饉");
    EXPECT_EQ(b.effectCount, 0u);
    EXPECT_EQ(b.chainRate, 0);
    EXPECT_EQ(b.probability[3][4], 0);
    EXPECT_EQ(b.relation[0], 0);
    EXPECT_EQ(b.areaMode, 0);
    EXPECT_EQ(b.message, "");
    EXPECT_EQ(b.color, 0xA0A0A0u);
    EXPECT_EQ(b.firstYear, 0);
    EXPECT_EQ(b.lastYear, 0);
    EXPECT_EQ(b.firstMonth, -127);
    EXPECT_EQ(b.lastMonth, -127);
    EXPECT_EQ(run.gs->NameIndex.FindEvent("EV_B"), 1);
}

TEST(EventSection, DetailBlocksFillTheDeclaredEvent) {
    ReaderRun run;
    ReadOk(run,
           "Event {\nA : 一揆\nB : 飢饉\n}\n"
           "EventDetail {\n"
           "B {\n"
           "Effect : KOKUDAKA : -0.5 : 0.29\n"
           "Effect : TETTAI\n"
           "PeriodStart : 1560 : 3\n"
           "PeriodEnd : 1570 : 12\n"
           "KuniProbability {\n"
           "K02" +
               Twelve("12.5") +
               "\n"
               "}\n"
               "Probability {\n"
               "K03 : 1 : 2 : 3 : 4 : 5 : 6 : 7 : 8 : 9 : 10 : 11 : 100\n"
               "}\n"
               "ChiikiProbability {\n"
               "}\n"
               "Message {\n"
               "飢饉が起こりました\n"
               "\"田畑が, 荒れました\"\n"
               "}\n"
               "Exclusion : A : EXCLUDE_PARTIAL\n"
               "Correlation : B : RELATE\n"
               "Color : 300 : 0 : -1\n"
               "Colour : 1 : 2 : 3\n"  // not a keyword of the block: passed over token by token
               "ProbabilityChainRate : 40\n"
               "}\n"
               "B {\n"
               "Effect : HYOUROU : 1 : 2\n"
               "}\n"
               "}\n");
    const CEventRecord& e = Rec(run, 1);
    ASSERT_EQ(e.effectCount, 3u);  // effects of both blocks add up
    EXPECT_EQ(e.effectKind[0], CEventRecord::kEffectKokudaka);
    EXPECT_EQ(e.effectValue1[0], -50);
    EXPECT_EQ(e.effectValue2[0], 28);  // 0.29 x 100 = 28.999..., truncated
    EXPECT_EQ(e.effectKind[1], CEventRecord::kEffectTettai);
    EXPECT_EQ(e.effectValue1[1], 0);
    EXPECT_EQ(e.effectValue2[1], 0);
    EXPECT_EQ(e.effectKind[2], CEventRecord::kEffectHyourou);
    EXPECT_EQ(e.effectValue1[2], 100);
    EXPECT_EQ(e.firstYear, 1560);
    EXPECT_EQ(e.firstMonth, 3);
    EXPECT_EQ(e.lastYear, 1570);
    EXPECT_EQ(e.lastMonth, 12);
    for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(e.probability[static_cast<std::size_t>(m)][1], 1250);
        EXPECT_EQ(e.probability[static_cast<std::size_t>(m)][0], 0);
    }
    EXPECT_EQ(e.probability[0][2], 100);
    EXPECT_EQ(e.probability[11][2], 10000);
    EXPECT_EQ(e.message, "飢饉が起こりました\n田畑が, 荒れました\n");
    EXPECT_EQ(e.relation[0], CEventRecord::kRelationPartial);
    EXPECT_EQ(e.relation[1], CEventRecord::kRelationRelate);
    EXPECT_EQ(e.color, 44u | 0xFFu << 16);
    // The second block starts again per province and without chaining.
    EXPECT_EQ(e.chainRate, 0);
    EXPECT_EQ(e.areaMode, CEventRecord::kAreaKuni);
    EXPECT_EQ(Rec(run, 0).effectCount, 0u);
}

TEST(EventSection, ChainRateRegionsAndOpenPeriods) {
    ReaderRun run;
    ReadOk(run,
           "Event {\nA : 一揆\n}\nEventDetail {\nA {\nPeriodStart : 1560 : 3\nPeriodStart : NONE\n"
           "PeriodEnd : NONE\nChiikiProbability {\nR03" +
               Twelve("50") + "\n}\nProbabilityChainRate : 40\nExclusion : A : WHOLE\n}\n}\n");
    const CEventRecord& e = Rec(run, 0);
    EXPECT_EQ(e.areaMode, CEventRecord::kAreaChiiki);
    EXPECT_EQ(e.probability[5][2], 5000);
    EXPECT_EQ(e.chainRate, 40);
    EXPECT_EQ(e.firstYear, 1560);  // NONE opens the month and leaves the year
    EXPECT_EQ(e.firstMonth, -127);
    EXPECT_EQ(e.lastMonth, -127);
    EXPECT_EQ(e.relation[0], CEventRecord::kRelationWhole);
}

TEST(EventSection, EveryEffectWordGivesItsKind) {
    const char* words[] = {"TETTAI",        "TEPPOU_DISABLE", "KOKUDAKA",     "KEIZAI",
                           "KOUZAN",        "SHUUKAKU_RITSU", "SHIRO_LEVEL",  "HEI_SUU",
                           "MINATO_KEIZAI", "MINSHUU_SHIJI",  "SHUBIHEI_SUU", "HYOUROU"};
    std::string text = "Event {\nA : a\n}\nEventDetail {\nA {\n";
    for (int i = 0; i < 12; ++i)
        text += std::string("Effect : ") + words[i] + (i < 2 ? "\n" : " : 1 : 2\n");
    text += "}\n}\n";
    ReaderRun run;
    ReadOk(run, text);
    const CEventRecord& e = Rec(run, 0);
    ASSERT_EQ(e.effectCount, 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(e.effectKind[static_cast<std::size_t>(i)], i) << words[i];
        EXPECT_EQ(e.effectValue1[static_cast<std::size_t>(i)], i < 2 ? 0 : 100) << words[i];
    }
}

// --- weather -------------------------------------------------------------------------------------

TEST(WeatherSections, SnowAndRainBuildTheirEvents) {
    ReaderRun run;
    ReadOk(run,
           "WordAssign {\nSHIRO : 館\n}\n"
           "Event {\nA : 一揆\n}\n"
           "SnowKakuritsu {\nK02 : 1 : 2 : 3 : 4 : 5 : 6 : 7 : 8 : 9 : 10 : 11 : 12\n}\n"
           "RainKakuritsu {\nR03" +
               Twelve("30") +
               "\n}\n"
               "Event {\nB : 地震\n}\n");
    ASSERT_EQ(run.gs->nEvent, 4);
    const CEventRecord& snow = Rec(run, 1);
    EXPECT_EQ(snow.name, "大雪");
    ASSERT_EQ(snow.effectCount, 1u);
    EXPECT_EQ(snow.effectKind[0], CEventRecord::kEffectTettai);
    EXPECT_EQ(snow.message,
              "以下の地域に大雪が降りました\nこれらの地域で館攻略中の軍勢は、包囲を継続できずに撤退しました");
    EXPECT_EQ(snow.color, 0xDCDCDCu);
    EXPECT_EQ(snow.areaMode, CEventRecord::kAreaKuni);
    EXPECT_EQ(snow.probability[0][1], 100);
    EXPECT_EQ(snow.probability[11][1], 1200);
    EXPECT_EQ(snow.probability[11][0], 0);
    // Weather strikes in any year: the window is open on both sides.
    EXPECT_EQ(snow.firstMonth, -127);
    EXPECT_EQ(snow.lastMonth, -127);

    const CEventRecord& rain = Rec(run, 2);
    EXPECT_EQ(rain.name, "大雨");
    ASSERT_EQ(rain.effectCount, 3u);
    EXPECT_EQ(rain.effectKind[0], CEventRecord::kEffectTeppouDisable);
    EXPECT_EQ(rain.effectKind[1], CEventRecord::kEffectKokudaka);
    EXPECT_EQ(rain.effectValue1[1], -400);
    EXPECT_EQ(rain.effectValue2[1], 200);
    EXPECT_EQ(rain.effectKind[2], CEventRecord::kEffectKeizai);
    EXPECT_EQ(rain.effectValue1[2], -900);
    EXPECT_EQ(rain.effectValue2[2], 500);
    EXPECT_EQ(rain.message, "以下の地域に大雨が降りました\nこれらの地域では、石高・町経済が低下しました");
    EXPECT_EQ(rain.color, 50u | 200u << 8 | 255u << 16);
    EXPECT_EQ(rain.areaMode, CEventRecord::kAreaChiiki);
    EXPECT_EQ(rain.probability[6][2], 3000);
    EXPECT_EQ(rain.firstMonth, -127);
    EXPECT_EQ(rain.lastMonth, -127);

    // The weather events have no identifier: the declared ones keep their positions.
    EXPECT_EQ(Rec(run, 3).name, "地震");
    EXPECT_EQ(run.gs->NameIndex.FindEvent("B"), 3);
    EXPECT_EQ(run.gs->NameIndex.NameAt(5, 1), "");
}

TEST(WeatherSections, NoIdentifierNamesAWeatherEvent) {
    // Not even an empty one.
    ReaderRun run;
    EXPECT_EQ(run.Read("SnowKakuritsu {\n}\nEventDetail {\n\"\" {\n}\n}\n"), 87);
    EXPECT_EQ(run.Message(), ErrorText(87, 4));
}

TEST(WeatherSections, AFullTableReadsTheWeatherSectionThrough) {
    std::string text = "Event {\n";
    for (int i = 0; i < 199; ++i)
        text += "E" + std::to_string(i) + " : 名\n";
    text += "}\nSnowKakuritsu {\nK01" + Twelve("1") + "\n}\nRainKakuritsu {\nR01" + Twelve("1") +
            "\nR02 : bad line\n}\nTitle : 後\n";
    ReaderRun run;
    ReadOk(run, text);
    EXPECT_EQ(run.gs->nEvent, 200);
    EXPECT_EQ(Rec(run, 199).name, "大雪");
    EXPECT_EQ(run.gs->ScenarioTitle, "後");  // the lines after the skipped section are read as usual
}

// --- errors --------------------------------------------------------------------------------------

class EventErrors : public ::testing::TestWithParam<LineErrorCase> {};

TEST_P(EventErrors, ReportTheCodeOnItsLine) {
    ScenarioText prefix;
    prefix.Add({"Event {", "A : 一揆", "B : 飢饉", "}"});
    ExpectLineError(prefix, GetParam());
}

std::vector<std::string> Detail(std::initializer_list<std::string> body) {
    return OneBlock("EventDetail", "A", body);
}

INSTANTIATE_TEST_SUITE_P(
    Section, EventErrors,
    ::testing::Values(
        LineErrorCase{"event identifier alone", {"Event {", "C", "}"}, 2, kSyntax},
        LineErrorCase{"event name followed by more", {"Event {", "C : a : b", "}"}, 2, kSyntax},
        LineErrorCase{"event identifier of 26 bytes", {"Event {", std::string(26, 'C') + " : a", "}"}, 2, 84},
        LineErrorCase{"event identifier defined twice", {"Event {", "B : a", "}"}, 2, 85},
        LineErrorCase{"event name of 51 bytes", {"Event {", "C : a" + Kanji(25), "}"}, 2, 86},
        LineErrorCase{"detail for an undeclared event", {"EventDetail {", "C {", "}", "}"}, 2, 87},
        LineErrorCase{"detail without brace", {"EventDetail {", "A : x", "}"}, 2, kSyntax},
        LineErrorCase{"detail identifier alone", {"EventDetail {", "A", "}"}, 2, kSyntax},
        LineErrorCase{"unknown effect word", Detail({"Effect : KOKUDAKA2 : 1 : 2"}), 3, 89},
        LineErrorCase{"effect without numbers", Detail({"Effect : KOKUDAKA"}), 3, kSyntax},
        LineErrorCase{"effect with one number", Detail({"Effect : KOKUDAKA : 1"}), 3, kSyntax},
        LineErrorCase{"effect with three numbers", Detail({"Effect : KEIZAI : 1 : 2 : 3"}), 3, kSyntax},
        LineErrorCase{"TETTAI with a number", Detail({"Effect : TETTAI : 1"}), 3, kSyntax},
        LineErrorCase{"effect value not a number", Detail({"Effect : KEIZAI : 1 : x"}), 3, 22},
        LineErrorCase{"effect value with two points", Detail({"Effect : KEIZAI : 1.2.3 : 1"}), 3, 22},
        LineErrorCase{"effect keyword alone", Detail({"Effect"}), 3, kSyntax},
        LineErrorCase{"province not on the map", Detail({"KuniProbability {", "K09" + Twelve("1"), "}"}), 4,
                      13},
        LineErrorCase{"region not on the map", Detail({"ChiikiProbability {", "K01" + Twelve("1"), "}"}), 4,
                      60},
        LineErrorCase{"eleven chances",
                      Detail({"KuniProbability {", "K01 : 1 : 2 : 3 : 4 : 5 : 6 : 7 : 8 : 9 : 10 : 11", "}"}),
                      4, kSyntax},
        LineErrorCase{"thirteen chances", Detail({"KuniProbability {", "K01" + Twelve("1") + " : 13", "}"}),
                      4, kSyntax},
        LineErrorCase{"chance not a number",
                      Detail({"Probability {", "K01 : x" + Twelve("1").substr(4), "}"}), 4, 22},
        LineErrorCase{"probability without brace", Detail({"Probability : K01"}), 3, kSyntax},
        LineErrorCase{"message line with a comma", Detail({"Message {", "a, b", "}"}), 4, kSyntax},
        LineErrorCase{"exclusion of an undeclared event", Detail({"Exclusion : C : WHOLE"}), 3, 87},
        LineErrorCase{"bad relation word", Detail({"Correlation : B : EXCLUDE"}), 3, 90},
        LineErrorCase{"relation word missing", Detail({"Correlation : B"}), 3, kSyntax},
        LineErrorCase{"colour with two values", Detail({"Color : 1 : 2"}), 3, kSyntax},
        LineErrorCase{"colour not an integer", Detail({"Color : 1 : 2.5 : 3"}), 3, 22},
        LineErrorCase{"chain rate followed by more", Detail({"ProbabilityChainRate : 1 : 2"}), 3, kSyntax},
        LineErrorCase{"period year alone", Detail({"PeriodStart : 1560"}), 3, kSyntax},
        LineErrorCase{"snow province not on the map", {"SnowKakuritsu {", "R01" + Twelve("1"), "}"}, 2, 13},
        LineErrorCase{"rain region not on the map", {"RainKakuritsu {", "K01" + Twelve("1"), "}"}, 2, 60},
        LineErrorCase{"snow chance not an integer",
                      {"SnowKakuritsu {", "K01 : 1.5" + Twelve("1").substr(4), "}"},
                      2,
                      22},
        LineErrorCase{"rain with eleven chances",
                      {"RainKakuritsu {", "R01 : 1 : 2 : 3 : 4 : 5 : 6 : 7 : 8 : 9 : 10 : 11", "}"},
                      2,
                      kSyntax},
        LineErrorCase{"snow province alone", {"SnowKakuritsu {", "K01", "}"}, 2, kSyntax}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(EventSection, TwentyEffectsAndNoMore) {
    std::string text = "Event {\nA : a\n}\nEventDetail {\nA {\n";
    for (int i = 0; i < 19; ++i)
        text += "Effect : KEIZAI : 1 : 1\n";
    text += "}\nA {\nEffect : TETTAI\nEffect : TETTAI\n}\n}\n";  // the 21st, in a second block
    ReaderRun run;
    EXPECT_EQ(run.Read(text), 88);
    EXPECT_EQ(run.Message(), ErrorText(88, 28));
    EXPECT_EQ(Rec(run, 0).effectCount, 20u);
}

TEST(EventSection, TwoHundredEventsAndNoMore) {
    std::string text = "SnowKakuritsu {\n}\nEvent {\n";
    for (int i = 0; i < 199; ++i)
        text += "E" + std::to_string(i) + " : 名\n";
    text += "X : 名\n}\n";
    ReaderRun run;
    EXPECT_EQ(run.Read(text), 83);
    EXPECT_EQ(run.Message(), ErrorText(83, 203));
    EXPECT_EQ(run.gs->nEvent, 200);
}

}  // namespace
}  // namespace rymd::test
