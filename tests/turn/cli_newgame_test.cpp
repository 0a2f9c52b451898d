// rymdcli newgame: the dump of a new game read from a scenario file with its map.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "support/run_cli.h"
#include "support/world_files.h"

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/core/file.h"
#include "support/capacity_scenario.h"

namespace {

using Outcome = rymd::test::CliOutcome;
using rymd::test::RunCli;

std::string StateHashOf(const std::string& json) {
    std::smatch m;
    return std::regex_search(json, m, std::regex("\"state_hash\":\"([0-9a-f]{16})\"")) ? m[1].str() : "";
}

TEST(CliNewGame, DumpsTheHousesCastlesAndGeneralsOfTheNewGame) {
    rymd::test::WorldFiles files("newgame_cli");
    const Outcome o = RunCli("newgame " + files.Scenario() + " --seed 7 --house D_ODA --dump -");
    ASSERT_EQ(o.status, 0);
    for (const char* fact :
         {"\"date\":{\"year\":1555,\"month\":4}", "\"phase\":0", "\"player\":0", "\"spectator\":false",
          "\"counts\":{\"houses\":5,\"castles\":6,\"generals\":9,\"generals_not_appeared\":3}",
          "\"id\":\"D_ODA\",\"name\":\"織田家\",\"head\":0", "\"id\":\"S_KIYOSU\",\"name\":\"清洲城\"",
          "\"id\":\"B_NOBUNAGA\",\"name\":\"織田信長\",\"house\":0"})
        EXPECT_NE(o.out.find(fact), std::string::npos) << fact;

    // The same seed gives the same game; another seed draws other counters.
    const Outcome again = RunCli("newgame " + files.Scenario() + " --seed 7 --house D_ODA --dump -");
    EXPECT_EQ(StateHashOf(o.out), StateHashOf(again.out));
    EXPECT_FALSE(StateHashOf(o.out).empty());
    const Outcome other = RunCli("newgame " + files.Scenario() + " --seed 8 --house D_ODA --dump -");
    EXPECT_NE(StateHashOf(o.out), StateHashOf(other.out));

    // Watching: the dummy last house is the player's.
    const Outcome watch = RunCli("newgame " + files.Scenario() + " --spectator --dump -");
    EXPECT_NE(watch.out.find("\"player\":4,\"spectator\":true"), std::string::npos);
}

TEST(CliNewGame, AnEncipheredScenarioStartsTheSameGame) {
    rymd::test::WorldFiles files("newgame_cli");
    const std::string secret = files.dir + "/secret.snr";
    ASSERT_EQ(RunCli("encrypt " + files.Scenario() + " " + secret + " --password 桶狭間").status, 0);
    const Outcome plain = RunCli("newgame " + files.Scenario() + " --seed 3 --house D_IMAGAWA --dump -");
    const Outcome hidden = RunCli("newgame " + secret + " --seed 3 --house D_IMAGAWA --dump -");
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(hidden.status, 0);
    EXPECT_EQ(plain.out, hidden.out);
}

TEST(CliNewGame, HousesThatCannotBeTaken) {
    rymd::test::WorldFiles files("newgame_cli");
    EXPECT_EQ(RunCli("newgame " + files.Scenario() + " --house D_NOBODY").status, 1);
    EXPECT_EQ(RunCli("newgame " + files.Scenario() + " --house D_SAITOU").status, 1);  // not for the player
    EXPECT_EQ(RunCli("newgame " + files.Scenario() + " --house 1").status, 0);         // by index
}

}  // namespace
