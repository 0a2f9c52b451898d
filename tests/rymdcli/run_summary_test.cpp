// rymdcli run --summary: how the run ended (the house that unified the country and the scenario's
// ending, or the months played), above the table of the largest houses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "support/run_cli.h"
#include "support/world_files.h"

namespace rymd::test {
namespace {

// The world fixture with its relations replaced by the given lines of a Doumei section, and an
// ending text of its own.
void SetRelations(const WorldFiles& files, const std::string& relations) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(files.Scenario(), bytes));
    std::string text = ToUtf8(std::string(bytes.begin(), bytes.end()), TextEncoding::ShiftJis);
    const std::size_t from = text.find("Doumei {");
    ASSERT_NE(from, std::string::npos);
    const std::size_t to = text.find('}', from);
    text.replace(from, to - from + 1, "Doumei {\r\n" + relations + "}\r\nEnding : が天下を統一しました");
    const std::string sjis = FromUtf8(text, TextEncoding::ShiftJis);
    ASSERT_TRUE(WriteFileAtomic(files.Scenario(), std::vector<std::uint8_t>(sjis.begin(), sjis.end())));
}

// The world fixture with one text of its scenario replaced by another.
void ReplaceInScenario(const WorldFiles& files, const std::string& from, const std::string& to) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(files.Scenario(), bytes));
    std::string text = ToUtf8(std::string(bytes.begin(), bytes.end()), TextEncoding::ShiftJis);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    const std::string sjis = FromUtf8(text, TextEncoding::ShiftJis);
    ASSERT_TRUE(WriteFileAtomic(files.Scenario(), std::vector<std::uint8_t>(sjis.begin(), sjis.end())));
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

TEST(CliRunSummary, SaysHowTheRunEndedAboveTheHouses) {
    const struct {
        const char* name;
        const char* relations;  // the Doumei section's lines ("" keeps the fixture's)
        const char* firstLine;  // how the run ended
        const char* ending;     // the ending text below it ("" none)
        const char* houses;     // the line above the table
    } kCases[] = {
        {"months played", "", "1555年4月から1555年7月まで 3か月: 統一した家はなく、ゲームは続いています", "",
         "残る大名家 4（独立 4、従属・臣従 0）"},
        // Every other house bound to 織田 at the start: the first month start finds the country
        // unified and the game ends before a month is played.
        {"unified",
         "D_ODA : JUUZOKU : D_IMAGAWA\r\nD_ODA : JUUZOKU : D_SAITOU\r\nD_ODA : JUUZOKU : D_IKKOU\r\n",
         "1555年4月から1555年4月まで 0か月: 織田家が統一を成し遂げ、ゲームが終わりました",
         "\n  織田家が天下を統一しました\n\n", "残る大名家 4（独立 1、従属・臣従 3）"},
    };
    for (const auto& c : kCases) {
        WorldFiles files(std::string("cli_summary_") + (c.relations[0] ? "unified" : "months"));
        if (c.relations[0]) {
            ASSERT_NO_FATAL_FAILURE(SetRelations(files, c.relations));
        }
        const CliOutcome o = RunCli("run " + files.Scenario() + " --months 3 --summary -");
        EXPECT_EQ(o.status, 0) << c.name;
        EXPECT_EQ(FirstLine(o.out), c.firstLine) << c.name;
        const std::size_t table = o.out.find("残る大名家");
        ASSERT_NE(table, std::string::npos) << c.name << ": " << o.out;
        EXPECT_EQ(o.out.substr(FirstLine(o.out).size(), table - FirstLine(o.out).size()),
                  std::string(c.ending).empty() ? "\n" : c.ending)
            << c.name;
        EXPECT_EQ(FirstLine(o.out.substr(table)), c.houses) << c.name;
        // The largest house first, with what it holds.
        EXPECT_NE(o.out.find("城", table + 1), std::string::npos) << c.name;
    }
}

// A house that holds no castle is out of play: neither counted nor listed.
TEST(CliRunSummary, CountsOnlyTheHousesHoldingACastle) {
    WorldFiles files("cli_summary_castles");
    ASSERT_NO_FATAL_FAILURE(ReplaceInScenario(files, "CHINA : D_IKKOU", "CHINA : D_ODA"));
    const CliOutcome o = RunCli("run " + files.Scenario() + " --months 0 --summary -");
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("残る大名家 3（独立 3、従属・臣従 0）"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("一向宗"), std::string::npos) << o.out;
}

TEST(CliRunSummary, GoesToAFileOrIsRefusedOverTheScenario) {
    WorldFiles files("cli_summary_file");
    const std::string path = files.dir + "/summary.txt";
    const CliOutcome written = RunCli("run " + files.Scenario() + " --months 1 --summary " + path);
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out, "");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes));
    EXPECT_EQ(FirstLine(std::string(bytes.begin(), bytes.end())),
              "1555年4月から1555年5月まで 1か月: 統一した家はなく、ゲームは続いています");

    const CliOutcome refused =
        RunCliKeepingErrors("run " + files.Scenario() + " --months 1 --summary " + files.Scenario());
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("would overwrite the scenario"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace rymd::test
