// The conditional events of the bundled scenario run in the command-line tool: the battle of
// Okehazama fires in its first months, its message reaches standard error and its dead are gone
// from the dump.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace rymd::test
