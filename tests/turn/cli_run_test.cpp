// rymdcli run and bench: usage, the reader's codes, repeatable runs and the speed line.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include "support/run_cli.h"
#include "support/world_files.h"

#include <unistd.h>

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

std::string Fixture(const char* name) {
    return std::string(RYMD_FIXTURES) + "/scenario/" + name;
}

TEST(CliRun, UsageErrors) {
    const char* bad[] = {
        "run",
        "run SCN",  // no --months
        "run SCN --months -3",
        "run SCN --months x",
        "run SCN --months 2 --on-fall maybe",
        "bench SCN",  // no --years
        "bench SCN --years 0",
        "bench SCN --years 1001",
        "bench --years 2",
    };
    for (const char* args : bad) {
        std::string a = args;
        const std::size_t at = a.find("SCN");
        if (at != std::string::npos) a.replace(at, 3, Fixture("minimal.snr"));
        EXPECT_EQ(RunCli(a).status, 2) << args;
    }
}

TEST(CliRun, ReadersCodeComesBack) {
    EXPECT_EQ(RunCli("run " + Fixture("syntax.snr") + " --months 2").status, 4);
    EXPECT_EQ(RunCli("bench " + Fixture("no_map.snr") + " --years 1").status, 47);
    EXPECT_EQ(RunCli("run " + Fixture("does_not_exist.snr") + " --months 1").status, 2);
}

TEST(CliRun, SameSeedSameStateHash) {
    const std::string args = "run " + Fixture("minimal.snr") + " --months 24 --seed 5 --dump -";
    const Outcome a = RunCli(args);
    const Outcome b = RunCli(args);
    ASSERT_EQ(a.status, 0);
    EXPECT_NE(a.out.find("\"state_hash\""), std::string::npos);
    EXPECT_EQ(a.out, b.out);
}

std::string StateHashOf(const std::string& json) {
    std::smatch m;
    return std::regex_search(json, m, std::regex("\"state_hash\":\"([0-9a-f]+)\"")) ? m[1].str() : "";
}

TEST(CliRun, WorldRunsTwentyFourMonthsTheSameWayTwice) {
    rymd::test::WorldFiles files("turn_cli");
    for (const char* who : {"--spectator", "--house D_ODA"}) {
        const std::string args = "run " + files.Scenario() + " --months 24 --seed 3 " + who + " --dump -";
        const Outcome a = RunCli(args);
        const Outcome b = RunCli(args);
        ASSERT_EQ(a.status, 0) << who;
        EXPECT_NE(a.out.find("\"date\":{\"year\":1557,\"month\":4}"), std::string::npos)
            << a.out.substr(0, 80);
        EXPECT_NE(a.out.find("\"phase\":1"), std::string::npos);
        EXPECT_FALSE(StateHashOf(a.out).empty());
        EXPECT_EQ(StateHashOf(a.out), StateHashOf(b.out)) << who;
    }
    const Outcome other = RunCli("run " + files.Scenario() + " --months 24 --seed 4 --dump -");
    EXPECT_NE(StateHashOf(other.out),
              StateHashOf(RunCli("run " + files.Scenario() + " --months 24 --seed 3 --dump -").out));
    const Outcome bench = RunCli("bench " + files.Scenario() + " --years 3");
    EXPECT_EQ(bench.status, 0);
    EXPECT_TRUE(std::regex_match(bench.out, std::regex("実行速度 [0-9]+\\.[0-9]{3} 秒／月\n"))) << bench.out;
}

TEST(CliRun, BenchPrintsTheSpeedLine) {
    const Outcome o = RunCli("bench " + Fixture("minimal.snr") + " --years 2");
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(std::regex_match(o.out, std::regex("実行速度 [0-9]+\\.[0-9]{3} 秒／月\n"))) << o.out;
}

}  // namespace
