// The texts of a scripted event's input dialog: a choice text split into prompt and choices, the
// check of a typed number, and what a front without its own dialogs does with the event calls.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "game/ports/event_input.h"
#include "game/ports/headless_port.h"
#include "game/ports/scripted_port.h"

namespace rymd {
namespace {

TEST(EventInput, AChoiceTextSplitsIntoItsPromptAndUpToTenChoices) {
    struct Case {
        const char* text;
        std::string prompt;
        std::vector<std::string> choices;
    } cases[] = {
        {"A/B/C", "A", {"B", "C"}},
        {"どうする", "どうする", {kNoEventChoice}},
        {"問/はい/", "問", {"はい", ""}},
        {"", "", {kNoEventChoice}},
        {"/x", "", {"x"}},
        {"p/1/2/3/4/5/6/7/8/9/10/11/12", "p", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const EventChoiceText split = SplitEventChoiceText(c.text);
        EXPECT_EQ(split.prompt, c.prompt);
        EXPECT_EQ(split.choices, c.choices);
    }
}

TEST(EventInput, OnlyAWholeDecimalNumberIsTaken) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"3.5", true, 3.5}, {"-2", true, -2.0}, {"1e3", true, 1000.0}, {" 7", true, 7.0},   {"+4", true, 4.0},
        {".5", true, 0.5},  {"", false, 0},     {"12abc", false, 0},   {"7 ", false, 0},    {"nan", false, 0},
        {"inf", false, 0},  {"-inf", false, 0}, {"0x10", false, 0},    {"1e999", false, 0}, {"--1", false, 0},
        {" ", false, 0},    {"-", false, 0},    {"1,000", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = -99.0;
        EXPECT_EQ(ParseEventNumber(c.text, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : -99.0);
    }
}

TEST(EventInput, AFrontWithoutItsOwnDialogsShowsAReportAndAsksThePlainQuestions) {
    ScriptedPort port;
    port.PushChoice(1);
    port.PushNumber(42.0);
    const std::vector<std::string> choices = {"B", "C"};
    EXPECT_EQ(port.AskEventChoice("A", choices), 1);
    EXPECT_EQ(port.AskEventNumber("何人？"), 42.0);
    port.ShowEventMessage("桶狭間の戦い", "今川義元が討たれました", VariableListView{});
    ASSERT_EQ(port.Calls().size(), 3u);
    EXPECT_EQ(port.Calls()[0].kind, PortCallKind::AskChoice);
    EXPECT_EQ(port.Calls()[0].details, choices);
    EXPECT_EQ(port.Calls()[1].kind, PortCallKind::AskNumber);
    EXPECT_EQ(port.Calls()[2].kind, PortCallKind::Report);
    EXPECT_EQ(port.Calls()[2].reportKind, ReportKind::ConditionalEventMessage);
    EXPECT_EQ(port.Calls()[2].text, "桶狭間の戦い");
    EXPECT_EQ(port.Calls()[2].details, std::vector<std::string>{"今川義元が討たれました"});

    std::ostringstream out;
    HeadlessPort headless(out);
    headless.ShowEventMessage("題", "一行目\n二行目", VariableListView{});
    EXPECT_EQ(headless.AskEventChoice("A", choices), 0);
    EXPECT_EQ(headless.AskEventNumber("数"), 0.0);
    EXPECT_EQ(out.str(),
              "[report:conditional-event] 題 | 一行目\\n二行目\n"
              "[ask:choice] A {B|C} -> 0\n"
              "[ask:number] 数 -> 0\n");
}

}  // namespace
}  // namespace rymd
