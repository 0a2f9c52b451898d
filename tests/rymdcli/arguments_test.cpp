// rymdcli's command line: a wrong argument is one line that names it and says why, exit code 2,
// before any work; what can be checked before the first month (the house, the outputs) is told
// first and alone; --help and the synopsis the tool prints alone, which the README repeats.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "support/run_cli.h"
#include "support/world_files.h"

namespace rymd::test {
namespace {

std::string Fixture(const char* name) {
    return std::string(RYMD_FIXTURES) + "/scenario/" + name;
}

std::size_t Lines(const std::string& text) {
    std::size_t n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

// The names in a folder, sorted.
std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// Run from the world's folder (where a relative output would be written): nothing is written.
TEST(CliArguments, AWrongArgumentIsOneLineNamingItWithExitCode2) {
    WorldFiles files("cli_arguments");
    const std::string scn = files.Scenario();
    const struct {
        std::string args;
        const char* named;  // what the line names
    } kCases[] = {
        {"run " + scn + " --months abc", "--months abc"},
        {"run " + scn + " --months -5", "--months -5"},
        {"run " + scn + " --months ' 3'", "--months ' 3'"},
        {"run " + scn + " --months 3x", "--months 3x"},
        {"run " + scn, "--months N"},
        {"run " + scn + " --months 1 --frobnicate", "--frobnicate"},
        {"run " + scn + " --months 1 --on-fall maybe", "--on-fall maybe"},
        {"run " + scn + " --months 1 --seed abc", "--seed abc"},
        {"run " + scn + " --months 1 --seed -1", "--seed -1"},
        {"run " + scn + " --months 1 --seed 4294967296", "--seed 4294967296"},
        {"run " + scn + " --months 1 --summary ''", "--summary ''"},
        {"run " + scn + " --months 1 --dump ''", "--dump ''"},
        {"run " + scn + " --months 1 --save -", "--save -"},
        {"run " + scn + " --months 1 --summary - --dump -", "--summary - and --dump -"},
        {"run " + scn + " --months 1 --house ''", "--house ''"},
        {"run " + scn + " --months 1 --seed", "--seed wants a value"},
        {"run " + scn + " " + scn + " --months 1", "one argument too many"},
        {"newgame", "newgame wants a SCENARIO"},
        {"newgame " + scn + " --seed 1.5", "--seed 1.5"},
        {"load x.rsd --months -1", "--months -1"},
        {"encrypt a.snr b.snr", "--password"},
        {"decrypt a.snr b.snr --pass pw", "--pass"},
        {"bench " + scn + " --years 0", "--years 0"},
        {"bench " + scn + " --years 1001", "--years 1001"},
        {"bench " + scn, "--years N"},
        {"map-render a.smp b.png --season 9", "--season 9"},
        {"map-render a.smp b.png --width -5", "--width -5"},
        {"map-info", "map-info wants a MAP"},
        {"check", "check wants a SCENARIO"},
        {"frobnicate", "frobnicate: no such command"},
        // Alternatives given together, an option given twice, a value that is an option.
        {"newgame " + scn + " --house D_ODA --spectator --dump n.json", "--house and --spectator"},
        {"newgame " + scn + " --spectator --house D_ODA --dump n.json", "--spectator and --house"},
        {"run " + scn + " --months 0 --house 1 --dump d.json --spectator", "--house and --spectator"},
        {"run " + scn + " --months 0 --seed 1 --seed 2 --dump d.json", "--seed: given more than once"},
        {"run " + scn + " --months 0 --dump a.json --dump b.json", "--dump: given more than once"},
        {"run " + scn + " --months 0 --months 1 --dump d.json", "--months: given more than once"},
        {"run " + scn + " --months 0 --check --check --dump d.json", "--check: given more than once"},
        {"run " + scn + " --months 0 --spectator --spectator --dump d.json",
         "--spectator: given more than once"},
        {"run " + scn + " --months 0 --summary - --summary s.txt", "--summary: given more than once"},
        {"run " + scn + " --months 0 --dump --check", "--dump --check"},
        {"run " + scn + " --months 0 --trace-rng --save s.rsd", "--trace-rng --save"},
        {"run " + scn + " --months 0 --summary --dump d.json", "--summary --dump"},
        {"run " + scn + " --months 0 --house --spectator --dump d.json", "--house --spectator"},
        {"run " + scn + " --months 0 --dump --", "--dump --"},
        {"load x.rsd --save a.rsd --save b.rsd", "--save: given more than once"},
        {"load x.rsd --save --dump", "--save --dump"},
        {"bench " + scn + " --years 1 --seed 1 --seed 1", "--seed: given more than once"},
        {"map-render a.smp b.png --width 10 --width 20", "--width: given more than once"},
        {"map-render a.smp b.png --relief --relief", "--relief: given more than once"},
        {"encrypt a.snr b.snr --password x --password y", "--password: given more than once"},
    };
    const std::filesystem::path started = std::filesystem::current_path();
    std::filesystem::current_path(files.dir);
    const std::set<std::string> before = Listing(files.dir);
    for (const auto& c : kCases) {
        const CliOutcome o = RunCliKeepingErrors(c.args);
        EXPECT_EQ(Listing(files.dir), before) << c.args;
        EXPECT_EQ(o.status, 2) << c.args;
        EXPECT_EQ(o.out, "") << c.args;
        EXPECT_EQ(Lines(o.err), 1U) << c.args << "\n" << o.err;
        EXPECT_EQ(o.err.rfind("rymdcli: ", 0), 0U) << c.args << "\n" << o.err;
        EXPECT_NE(o.err.find(c.named), std::string::npos) << c.args << "\n" << o.err;
        EXPECT_NE(o.err.find("rymdcli --help"), std::string::npos) << c.args << "\n" << o.err;
    }
    std::filesystem::current_path(started);
}

TEST(CliArguments, HelpPrintsTheUsageAndSucceeds) {
    const CliOutcome o = RunCliKeepingErrors("--help");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("usage: rymdcli COMMAND", 0), 0U) << o.out;
    EXPECT_EQ(o.err, "");
    for (const char* option :
         {"--summary", "--on-fall", "--relief", "--trace-rng", "35 MB for a run of one month"})
        EXPECT_NE(o.out.find(option), std::string::npos) << option;
}

// The README gives the synopsis the tool prints alone, line for line: the indented block that
// follows the line naming it.
TEST(CliArguments, TheReadmesSynopsisIsWhatTheToolPrintsAlone) {
    const CliOutcome o = RunCliKeepingErrors("");
    EXPECT_EQ(o.status, 2);
    std::ifstream readme(std::string(RYMD_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme);
    std::string line, block;
    bool inBlock = false;
    while (std::getline(readme, line)) {
        if (!inBlock && line.find("`rymdcli` alone prints") != std::string::npos) {
            inBlock = true;
            continue;
        }
        if (!inBlock) continue;
        if (line.rfind("    ", 0) == 0)
            block += line.substr(4) + "\n";
        else if (!block.empty())
            break;
    }
    EXPECT_EQ(block, o.err);
}

TEST(CliArguments, WhatCanBeCheckedBeforeTheFirstMonthIsToldFirstAndAlone) {
    WorldFiles files("cli_prechecks");
    const std::string scn = files.Scenario();
    const struct {
        std::string args;
        int status;
        std::string err;
    } kCases[] = {
        {"run " + scn + " --months 2 --house XYZ", 1,
         "rymdcli: --house XYZ: the scenario has no such house\n"},
        {"newgame " + scn + " --house 99", 1, "rymdcli: --house 99: the scenario has no such house\n"},
        {"run " + scn + " --months 2 --summary " + files.dir + "/none/s.txt", 1,
         "rymdcli: cannot write " + files.dir + "/none/s.txt (--summary): its folder " + files.dir +
             "/none/ does not exist\n"},
        {"run " + scn + " --months 2 --dump " + files.dir, 1,
         "rymdcli: cannot write " + files.dir + " (--dump): it is a folder\n"},
        {"load " + files.dir + "/x.rsd --save " + files.dir + "/none/x.rsd", 1,
         "rymdcli: cannot write " + files.dir + "/none/x.rsd (--save): its folder " + files.dir +
             "/none/ does not exist\n"},
    };
    for (const auto& c : kCases) {
        const CliOutcome o = RunCliKeepingErrors(c.args);
        EXPECT_EQ(o.status, c.status) << c.args;
        EXPECT_EQ(o.err, c.err) << c.args;
        EXPECT_EQ(o.out, "") << c.args;
    }
}

TEST(CliArguments, CheckTellsWhatAGoodScenarioHolds) {
    WorldFiles files("cli_check_counts");
    const CliOutcome o = RunCli("check " + files.Scenario());
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "シナリオを読み込みました（大名家 4、城 6、武将 12、イベント 0、条件イベント 0）\n");
}

// A scenario without houses (which check reads) says so instead of naming a unifier.
TEST(CliArguments, TheSummaryOfAScenarioWithoutHousesSaysSo) {
    const CliOutcome o = RunCli("run " + Fixture("minimal.snr") + " --months 1 --summary -");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.find('?'), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("シナリオに大名家がなく"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("シナリオに大名家はありません"), std::string::npos) << o.out;
}

}  // namespace
}  // namespace rymd::test
