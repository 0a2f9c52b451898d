// rymdcli run --check (the state invariants after the new game and every month) and
// --trace-rng (every draw of the random source with its call site).
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "support/run_cli.h"
#include "support/world_files.h"
#include "tools/rymdcli/checked_run.h"

namespace rymd::test {
namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string StateHashOf(const std::string& json) {
    std::smatch m;
    return std::regex_search(json, m, std::regex("\"state_hash\":\"([0-9a-f]+)\"")) ? m[1].str() : "";
}

TEST(CliRunCheck, ALegalRunPassesAndTheHashStays) {
    WorldFiles files("cli_check");
    const std::string run = "run " + files.Scenario() + " --months 12 --seed 3 --dump -";
    const CliOutcome checked = RunCliKeepingErrors(run + " --check");
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.err.find("broken invariant"), std::string::npos) << checked.err;
    EXPECT_EQ(StateHashOf(checked.out), StateHashOf(RunCli(run).out));
}

TEST(CliRunCheck, GeneralsWaitingAtAFullCastleOfTheirHousePassAndTheirSaveLoads) {
    // The world fixture with 25 more generals at one castle: the new game lists 20 in the
    // castle and leaves the rest waiting there without a place in its list, while the house's
    // other castle has room.
    WorldFiles files("cli_check_waiting");
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(files.Scenario(), bytes));
    std::string text = ToUtf8(std::string(bytes.begin(), bytes.end()), TextEncoding::ShiftJis);
    const std::size_t at = text.find("B_KATSUIE :");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = text.find('\n', at) + 1;
    const std::string line = text.substr(at, end - at);
    std::string extra;
    for (int i = 0; i < 25; ++i)
        extra += "B_EXTRA" + std::to_string(i) + line.substr(std::string("B_KATSUIE").size());
    text.insert(end, extra);
    const std::string sjis = FromUtf8(text, TextEncoding::ShiftJis);
    ASSERT_TRUE(WriteFileAtomic(files.Scenario(), std::vector<std::uint8_t>(sjis.begin(), sjis.end())));

    const std::string save = files.dir + "/new.rsd";
    const CliOutcome run =
        RunCliKeepingErrors("run " + files.Scenario() + " --months 0 --check --save " + save);
    EXPECT_EQ(run.status, 0) << run.err;
    const CliOutcome load = RunCliKeepingErrors("load " + save + " --months 3 --check");
    EXPECT_EQ(load.status, 0) << load.err;
}

// A state broken during the second month: the run stops after it with the fault and the month.
TEST(CliRunCheck, TheFirstBrokenInvariantStopsTheRun) {
    WorldFiles files("cli_check_broken");
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    NewGameRequest request;
    request.scenarioPath = files.Scenario();
    request.programFolder = files.dir;
    ASSERT_EQ(StartGameFromScenario(*gs, map, SilentPort::Instance().AsPorts(), request), 0);
    CMainGame game(*gs, map, SilentPort::Instance().AsPorts());
    game.SetPlannerObserver([&](int, int, int) {
        if (gs->nCurMonth == 5) ShiroAt(*gs, 0).support = 5000;
    });
    std::ostringstream err;
    std::streambuf* const kept = std::cerr.rdbuf(err.rdbuf());
    int done = 0;
    TurnResult last = TurnResult::kContinue;
    const int status = cli::PlayMonths(game, *gs, game.StartMonth(), 3, true, {}, done, last);
    std::cerr.rdbuf(kept);
    EXPECT_EQ(status, cli::kExitBrokenInvariant);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(err.str(),
              "rymdcli: broken invariant after month 1 (1555/5): castle 0: populace support 5000 outside "
              "0..1000\n");
}

TEST(CliRunTraceRng, EveryDrawWithItsCallSiteTheSameForTheSameSeed) {
    WorldFiles files("cli_trace");
    const std::string a = files.dir + "/a.txt", b = files.dir + "/b.txt", c = files.dir + "/c.txt";
    const std::string run = "run " + files.Scenario() + " --months 6 --dump -";
    const CliOutcome traced = RunCli(run + " --seed 3 --trace-rng " + a);
    ASSERT_EQ(traced.status, 0);
    ASSERT_EQ(RunCli(run + " --seed 3 --trace-rng " + b).status, 0);
    ASSERT_EQ(RunCli(run + " --seed 4 --trace-rng " + c).status, 0);
    // Tracing changes no draw.
    EXPECT_EQ(StateHashOf(traced.out), StateHashOf(RunCli(run + " --seed 3").out));

    const std::string first = ReadText(a);
    EXPECT_EQ(first, ReadText(b));
    EXPECT_NE(first, ReadText(c));
    std::istringstream lines(first);
    std::string line;
    int draws = 0, months = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("# ", 0) == 0) {
            ++months;
            continue;
        }
        // "file:line value", the file from the project's folder.
        EXPECT_TRUE(
            std::regex_match(line, std::regex("(game|platform)/[a-z_/]+\\.(cpp|h):[0-9]+ [0-9]{1,5}")))
            << line;
        ++draws;
    }
    EXPECT_GT(draws, 100);
    EXPECT_EQ(months, 7);  // the start, then the end of each month
    EXPECT_NE(first.find("# start of month 1\n"), std::string::npos);
    EXPECT_NE(first.find("# end of month 6\n"), std::string::npos);
}

TEST(CliRunTraceRng, AnUnwritableTraceIsRefused) {
    WorldFiles files("cli_trace_refused");
    const CliOutcome o = RunCliKeepingErrors("run " + files.Scenario() + " --months 1 --trace-rng " +
                                             files.dir + "/no/such/dir/t.txt");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("rymdcli: cannot write " + files.dir + "/no/such/dir/t.txt"), std::string::npos)
        << o.err;
}

}  // namespace
}  // namespace rymd::test
