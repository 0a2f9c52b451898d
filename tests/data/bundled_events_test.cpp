// The conditional events of the bundled scenario run in the command-line tool: the battle of
// Okehazama fires in its first months, its message reaches standard error and its dead are gone
// from the dump; the heads its events make stay heads, and a succession they bring is told after
// the story that explains it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/bundled_scenario_copy.h"
#include "support/run_cli.h"

namespace rymd::test {
namespace {

const std::string kBundled = std::string(RYMD_FIXTURES) + "/../../data/scenario/japan1560.snr";

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(BundledEvents, OkehazamaFiresInTheFirstMonthsWithItsMessageAndItsDead) {
    const CliOutcome start = RunCli("newgame " + kBundled + " --seed 1 --spectator --dump -");
    ASSERT_EQ(start.status, 0);
    const char* const fallen[] = {"B_IMAGAWA_YOSHIMOTO", "B_MATSUI_MUNENOBU", "B_II_NAOMORI"};
    for (const char* id : fallen)
        EXPECT_TRUE(Has(start.out, std::string("\"id\":\"") + id + "\"")) << id;

    // The game starts in 1560/5; one month runs the month starts of 1560/5 and 1560/6.
    const CliOutcome run =
        RunCliKeepingErrors("run " + kBundled + " --months 1 --seed 1 --spectator --check --dump -");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"date\":{\"year\":1560,\"month\":6}"));
    EXPECT_TRUE(Has(run.err,
                    "[report:conditional-event] 桶狭間の戦い | 永禄三年五月十九日、尾張に攻め入った今川義元"))
        << run.err;
    for (const char* id : fallen)
        EXPECT_FALSE(Has(run.out, std::string("\"id\":\"") + id + "\"")) << id;
    // The event is not repeated, and no script error is told.
    EXPECT_EQ(run.err.find("桶狭間の戦い |"), run.err.rfind("桶狭間の戦い |"));
    EXPECT_FALSE(Has(run.err, "条件イベント(No.")) << run.err;
}

// The id of the head of a house in a dump of the tool ("" when it cannot be read).
std::string HeadOf(const std::string& dump, const std::string& house) {
    const std::size_t at = dump.find("\"id\":\"" + house + "\"");
    if (at == std::string::npos) return "";
    const std::size_t head = dump.find("\"head\":", at);
    if (head == std::string::npos) return "";
    const std::string index = std::to_string(std::atoi(dump.c_str() + head + 7));
    const std::string general = "\"index\":" + index + ",\"id\":\"B_";
    const std::size_t g = dump.find(general, dump.find("\"generals\":"));
    if (g == std::string::npos) return "";
    const std::size_t id = g + general.size() - 2;
    return dump.substr(id, dump.find('"', id) - id);
}

// Four months from 1560/5: 義元's fall is told before 氏真's succession, and 長政, made head at
// 野良田 in the eighth month, stays head through the month start's succession check.
TEST(BundledEvents, EventHeadsStayAndTheirSuccessionsAreToldAfterTheStory) {
    const CliOutcome run =
        RunCliKeepingErrors("run " + kBundled + " --months 4 --seed 1 --spectator --dump -");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.out, "\"date\":{\"year\":1560,\"month\":9}"));
    const std::size_t story = run.err.find("[report:conditional-event] 桶狭間の戦い |");
    const std::size_t succession = run.err.find("今川氏真は今川の当主になりました");
    ASSERT_NE(story, std::string::npos) << run.err;
    ASSERT_NE(succession, std::string::npos) << run.err;
    EXPECT_LT(story, succession);
    EXPECT_EQ(HeadOf(run.out, "D_IMAGAWA"), "B_IMAGAWA_UJIZANE");

    EXPECT_TRUE(Has(run.err, "[report:conditional-event] 野良田の戦い |")) << run.err;
    EXPECT_FALSE(Has(run.err, "浅井久政は浅井の当主になりました")) << run.err;
    EXPECT_EQ(HeadOf(run.out, "D_ASAI"), "B_ASAI_NAGAMASA");
}

// 永禄の変 brought forward to the first month start: 義昭 is head before 義輝 falls, so no other
// general is told as head of the shogun's house in between, and the next month start keeps him.
TEST(BundledEvents, TheShogunsBrotherFollowsHimWithNobodyInBetween) {
    BundledScenarioCopy copy;
    const std::string scenario = copy.Write("PeriodStart : 1565 : 5", "PeriodStart : 1560 : 5");
    const CliOutcome run =
        RunCliKeepingErrors("run " + scenario + " --months 2 --seed 1 --spectator --dump -");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Has(run.err, "[report:conditional-event] 永禄の変 |")) << run.err;
    EXPECT_FALSE(Has(run.err, "は足利の当主になりました")) << run.err;
    EXPECT_EQ(HeadOf(run.out, "D_ASHIKAGA_SHOGUN"), "B_ASHIKAGA_YOSHIAKI");
}

}  // namespace
}  // namespace rymd::test
