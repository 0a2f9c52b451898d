// The golden state hashes: whole runs of the command-line tool, from the bundled scenario, the
// full fixture and the generated capacity scenario, end in the state hashes committed in
// golden_hashes.tsv. A change that moves one changes the rules' behaviour; regenerate the table
// with scripts/golden-hashes.sh and say in the commit why the hash moved.
//
// The hash covers the scenario's folder as given on the command line, so every run is made from a
// fixed folder with a relative path: the project's folder for the files of the project, the
// folder of the generated files for the capacity scenario (run as "capacity.snr").
//
// Every run is made with --check, so the state invariants hold after every month of it too.
// With RYMD_UPDATE_GOLDEN=1 in the environment the test writes the hashes it gets into the table
// instead of comparing (the script does that).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/capacity_scenario.h"
#include "support/run_cli.h"

namespace rymd::test {
namespace {

const std::string kTable = std::string(RYMD_SOURCE_DIR) + "/tests/save/golden_hashes.tsv";
// The scenario column's name of the generated scenario.
constexpr const char* kCapacity = "capacity";

struct GoldenCase {
    std::string scenario;  // a path from the project's folder, or kCapacity
    std::string seed;
    std::string months;
    std::string who;  // "spectator" or a house identifier
    std::string hash;
};

struct Table {
    std::vector<std::string> lines;  // as read; case lines are rewritten on an update
    std::vector<std::size_t> caseLine;
    std::vector<GoldenCase> cases;
};

Table ReadTable() {
    Table t;
    std::ifstream in(kTable);
    std::string line;
    while (std::getline(in, line)) {
        t.lines.push_back(line);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        GoldenCase c;
        std::getline(fields, c.scenario, '\t');
        std::getline(fields, c.seed, '\t');
        std::getline(fields, c.months, '\t');
        std::getline(fields, c.who, '\t');
        std::getline(fields, c.hash, '\t');
        t.caseLine.push_back(t.lines.size() - 1);
        t.cases.push_back(c);
    }
    return t;
}

// The folder of the generated capacity scenario (with its map), written once.
const std::string& CapacityScenarioFolder() {
    static const std::string path = [] {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("rymd_golden_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        const CapacityScenario c;
        const std::string sjis = FromUtf8(MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
        std::string why;
        EXPECT_TRUE(WriteScenarioFiles(dir.string(), kCapacity,
                                       std::vector<std::uint8_t>(sjis.begin(), sjis.end()),
                                       MakeCapacityMap(c), &why))
            << why;
        return dir.string();
    }();
    return path;
}

void RemoveCapacityScenario() {
    std::error_code ec;
    std::filesystem::remove_all(
        std::filesystem::temp_directory_path() / ("rymd_golden_" + std::to_string(getpid())), ec);
}

// The state hash at the end of the case's run; empty (with a failure) when the run fails.
std::string RunCase(const GoldenCase& c) {
    const bool capacity = c.scenario == kCapacity;
    const std::string folder = capacity ? CapacityScenarioFolder() : std::string(RYMD_SOURCE_DIR);
    const std::string scenario = capacity ? std::string(kCapacity) + ".snr" : c.scenario;
    const std::string who = c.who == "spectator" ? "--spectator" : "--house " + c.who;
    const std::string args =
        "run '" + scenario + "' --months " + c.months + " --seed " + c.seed + " " + who + " --check --dump -";
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const CliOutcome o = RunCli(args);
    std::filesystem::current_path(before);
    EXPECT_EQ(o.status, 0) << args;
    std::smatch m;
    if (!std::regex_search(o.out, m, std::regex("\"state_hash\":\"([0-9a-f]{16})\""))) {
        ADD_FAILURE() << "no state hash from " << args;
        return "";
    }
    return m[1].str();
}

TEST(GoldenHashes, EveryRunEndsInItsCommittedHash) {
    Table t = ReadTable();
    ASSERT_FALSE(t.cases.empty()) << "no cases in " << kTable;
    const char* update = std::getenv("RYMD_UPDATE_GOLDEN");
    const bool updating = update != nullptr && std::string(update) == "1";
    for (std::size_t i = 0; i < t.cases.size(); ++i) {
        GoldenCase& c = t.cases[i];
        const std::string got = RunCase(c);
        const std::string label = c.scenario + " seed " + c.seed + ", " + c.months + " months, " + c.who;
        if (updating) {
            c.hash = got;
            t.lines[t.caseLine[i]] = c.scenario + "\t" + c.seed + "\t" + c.months + "\t" + c.who + "\t" + got;
        } else {
            EXPECT_EQ(got, c.hash) << label;
        }
    }
    RemoveCapacityScenario();
    if (updating) {
        std::ofstream out(kTable, std::ios::trunc);
        for (const std::string& line : t.lines)
            out << line << '\n';
        out.close();
        ASSERT_TRUE(out) << "cannot write " << kTable;
    }
}

}  // namespace
}  // namespace rymd::test
