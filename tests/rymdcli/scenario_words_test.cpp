// The scenario's words are texts: words that look like printf conversions ("%s", "%n", "%d")
// play for years without a crash and show as written in the messages and reports.
#include <gtest/gtest.h>

#include "support/bundled_scenario_copy.h"
#include "support/run_cli.h"

#include <string>

#include "platform/core/encoding.h"

namespace {

using rymd::test::CliOutcome;

struct WordCase {
    const char* keyword;
    const char* word;
    const char* shown;  // a piece of a message that holds the word
};

TEST(CliScenarioWords, WordsLikeConversionsPlayYearsAndShowAsWritten) {
    const WordCase cases[] = {
        {"SHIRO", "%s%s%s%s%n", "%s%s%s%s%n攻略軍("},     // the month's siege battles
        {"RAKUJOU", "%s落", "は強襲により%s落しました"},  // a castle taken by storm
        {"HYOUROU", "%%%", "は%%%が尽きて開城しました"},  // a castle starved out
        {"GUNSEN", "船%d", "待機中船%d維持費"},           // the income report
        {"KIBAHEI", "%d", "待機中%d維持費"},
        {"ASHIGARUHEI", "%n兵", "待機中%n兵維持費"},
        {"BUSHOU", "%s将", "%s将"},
    };
    std::string section = "WordAssign {\r\n";
    for (const WordCase& c : cases)
        section +=
            std::string(c.keyword) + " : " + rymd::FromUtf8(c.word, rymd::TextEncoding::ShiftJis) + "\r\n";
    section += "}\r\nOpening {";
    rymd::test::BundledScenarioCopy copy;
    const std::string file = copy.Write("Opening {", section);

    EXPECT_EQ(rymd::test::RunCli("check " + file).status, 0);
    const CliOutcome o =
        rymd::test::RunCliKeepingErrors("run " + file + " --months 60 --seed 3 --house D_ODA --check");
    ASSERT_EQ(o.status, 0) << o.err.substr(o.err.size() > 2000 ? o.err.size() - 2000 : 0);
    for (const WordCase& c : cases)
        EXPECT_NE(o.err.find(c.shown), std::string::npos) << c.keyword;
}

}  // namespace
