// The all-automatic run and whole months of the world fixture: the run ends at the right month,
// waits for nothing and reports its speed; the same seed gives the same game.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "game/save/saved_game.h"
#include "support/invariant_check.h"
#include "support/test_world.h"
#include "support/turn_test_util.h"

namespace rymd::test {
namespace {

bool IsSpeedLine(const std::string& text) {
    return std::regex_match(text, std::regex("実行速度 [0-9]+\\.[0-9]{3} 秒／月"));
}

TEST(AllAutomatic, RunsWholeYearsAndReportsTheSpeed) {
    struct Case {
        int startYear, startMonth, years;
        int wantYear, wantMonths;
    };
    const Case cases[] = {
        {1560, 4, 1, 1561, 12},
        {1560, 4, 2, 1562, 24},
        {-1, 6, 1, 1, 12},  // no year 0 on the way
        {-3, 1, 3, 1, 36},  // the target would have been year 0
    };
    for (const Case& c : cases) {
        TestWorld w({.houses = 3, .headsInCastles = true});
        w.Start(-1);
        w.gs.nStartYear = w.gs.nCurYear = c.startYear;
        w.gs.nStartMonth = w.gs.nCurMonth = c.startMonth;
        w.game->PrepareAllAutomatic();
        ASSERT_EQ(w.game->StartMonth(), TurnResult::kContinue);
        const AllAutomaticResult r = w.game->RunAllAutomatic(c.years);
        EXPECT_EQ(w.gs.nCurYear, c.wantYear) << c.startYear;
        EXPECT_EQ(w.gs.nCurMonth, c.startMonth) << c.startYear;
        EXPECT_EQ(w.gs.nPhase, kPhaseJinji);
        EXPECT_EQ(r.months, c.wantMonths) << c.startYear;
        EXPECT_EQ(r.last, TurnResult::kContinue);
        EXPECT_TRUE(IsSpeedLine(r.text)) << r.text;
        const auto informs = w.port.CallsOf(PortCallKind::Inform);
        ASSERT_FALSE(informs.empty());
        EXPECT_EQ(informs.back().text, r.text);
        // Nothing waited for the player.
        EXPECT_TRUE(w.port.CallsOf(PortCallKind::AskYesNo).empty());
        EXPECT_TRUE(w.port.CallsOf(PortCallKind::AskChoice).empty());
        EXPECT_TRUE(w.port.CallsOf(PortCallKind::Report).empty());
        EXPECT_TRUE(w.port.CallsOf(PortCallKind::LongText).empty());
    }
}

TEST(AllAutomatic, GameOverInTheFirstMonthStartStillGivesANumber) {
    TestWorld w({.houses = 2, .headsInCastles = true});
    w.Start(-1);
    w.gs.ShiroTbl[1].daimyou = 0;  // one house holds everything
    w.game->PrepareAllAutomatic();
    EXPECT_EQ(w.game->StartMonth(), TurnResult::kGameOver);
    const AllAutomaticResult r = w.game->RunAllAutomatic(3);
    EXPECT_EQ(r.months, 0);
    EXPECT_TRUE(IsSpeedLine(r.text)) << r.text;
    EXPECT_EQ(r.secondsPerMonth, r.elapsedMs / 1000.0);           // one month in the divisor
    EXPECT_TRUE(w.port.CallsOf(PortCallKind::LongText).empty());  // no ending text
}

TEST(AllAutomatic, SetsTheFlagsOfTheRun) {
    TestWorld w({.houses = 2, .headsInCastles = true});
    w.Start(-1);
    w.game->SetSkipEventMessages(false);
    w.game->PrepareAllAutomatic();
    EXPECT_TRUE(w.gs.bAllAutomatic);
    EXPECT_TRUE(w.gs.bAutoAdvance);
    EXPECT_TRUE(w.game->SkipEventMessages());
    EXPECT_TRUE(w.game->ColorDisplay());
    EXPECT_TRUE(w.game->Policy().AllAutomatic());
}

// The world fixture, every house played by the computer (but the player's), for the months
// given, with the state invariants checked after every month.
std::string RunWorld(std::uint32_t seed, int months, int player = -1) {
    WorldFixtureGame w(seed, player);
    w.run.port.SetErrorHandler([](const std::string&) {});
    EXPECT_EQ(w.game->StartMonth(), TurnResult::kContinue);
    int done = 0;
    while (done < months) {
        const int phase = w.gs.nPhase;
        const TurnResult r = w.game->EndCurrentPhase();
        if (r != TurnResult::kContinue) {
            ADD_FAILURE() << "the game stopped: " << static_cast<int>(r);
            break;
        }
        if (phase == kPhaseShutsujin && !ExpectInvariantsHold(w.gs, "after month " + std::to_string(++done)))
            break;
    }
    EXPECT_EQ(w.gs.nPhase, kPhaseJinji);
    return StateHash(w.gs);
}

TEST(WorldMonths, SameSeedSameGame) {
    const std::string a = RunWorld(7, 24);
    EXPECT_EQ(RunWorld(7, 24), a);
    EXPECT_NE(RunWorld(8, 24), a);
}

TEST(WorldMonths, APlayerHouseRunsToo) {
    // House 0 (Oda) as the player: his turns pass without orders, questions get safe answers.
    const std::string a = RunWorld(3, 13, 0);
    EXPECT_EQ(RunWorld(3, 13, 0), a);
}

TEST(WorldMonths, BenchmarkOnTheWorldFixture) {
    WorldFixtureGame w(0);
    CheckInvariantsEveryMonth(*w.game);
    w.game->PrepareAllAutomatic();
    ASSERT_EQ(w.game->StartMonth(), TurnResult::kContinue);
    const AllAutomaticResult r = w.game->RunAllAutomatic(2);
    EXPECT_EQ(r.months, 24);
    EXPECT_EQ(w.gs.nCurYear, 1557);
    EXPECT_EQ(w.gs.nCurMonth, 4);
    EXPECT_TRUE(IsSpeedLine(r.text)) << r.text;
    for (const PortCall& c : w.run.port.Calls()) {
        EXPECT_NE(c.kind, PortCallKind::AskYesNo) << c.text;
        EXPECT_NE(c.kind, PortCallKind::AskChoice) << c.text;
        EXPECT_NE(c.kind, PortCallKind::AskNumber) << c.text;
    }
}

}  // namespace
}  // namespace rymd::test
