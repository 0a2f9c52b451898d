// The scheduled events in the month start: they strike in the event phase, the player sees
// them unless the game advances by itself, and their weather lasts through the month. The
// bundled scenario's weather shows in a long run of the command-line tool.
#include <gtest/gtest.h>

#include <string>

#include "game/state/event_records.h"
#include "support/run_cli.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

struct MonthWorld : TestWorld {
    MonthWorld() : TestWorld({.houses = 2, .headsInCastles = true}) {
        Start();
        gs.nEvent = 1;
        CEventRecord& e = gs.EventTbl[0];
        e = CEventRecord{};
        e.name = "洪水";
        e.firstMonth = e.lastMonth = CEventRecord::kMonthOpen;
        for (auto& month : e.probability)
            month[0] = 10000;  // province 0: castle 0
        e.effectCount = 2;
        e.effectKind[0] = CEventRecord::kEffectKokudaka;
        e.effectValue1[0] = -5000;
        e.effectKind[1] = CEventRecord::kEffectTeppouDisable;
        gs.ShiroTbl[0].kokudaka = gs.ShiroTbl[1].kokudaka = 10000;
        port.ClearCalls();
    }
    std::size_t EventReports() const {
        std::size_t n = 0;
        for (const PortCall& c : port.CallsOf(PortCallKind::Report))
            if (c.reportKind == ReportKind::ScheduledEvent) ++n;
        return n;
    }
};

TEST(ScheduledEventsInTheMonth, StrikeInTheMonthStartAndTheirRainLastsTheMonth) {
    MonthWorld w;
    ASSERT_EQ(w.game->StartMonth(), TurnResult::kContinue);
    EXPECT_EQ(w.EventReports(), 1u);
    EXPECT_LT(w.gs.ShiroTbl[0].kokudaka, 10000u);  // halved, then the month's economy
    EXPECT_EQ(w.gs.ShiroTbl[1].kokudaka, 10000u);
    EXPECT_NE(w.gs.KuniEventFlags[0] & kKuniFlagNoTeppou, 0);  // set after the month start cleared the table
    EXPECT_EQ(w.gs.KuniEventFlags[1], 0);

    w.gs.EventTbl[0].effectCount = 0;
    for (auto& month : w.gs.EventTbl[0].probability)
        month[0] = 0;
    ASSERT_EQ(w.game->StartMonth(), TurnResult::kContinue);
    EXPECT_EQ(w.gs.KuniEventFlags[0], 0);  // a dry month
}

TEST(ScheduledEventsInTheMonth, TheAutomaticAdvanceHidesTheDialogButNotTheEffects) {
    MonthWorld w;
    w.gs.bAutoAdvance = true;
    ASSERT_EQ(w.game->StartMonth(), TurnResult::kContinue);
    EXPECT_EQ(w.EventReports(), 0u);
    EXPECT_LT(w.gs.ShiroTbl[0].kokudaka, 10000u);
    EXPECT_NE(w.gs.KuniEventFlags[0] & kKuniFlagNoTeppou, 0);
}

// Ten years of the bundled scenario: the snow and rain strike and are told on standard error,
// and the same seed gives the same game.
TEST(ScheduledEventsInTheMonth, TheBundledScenarioHasWeather) {
    const std::string args =
        "run " + std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr --months 120 --seed 3 --dump -";
    const CliOutcome a = RunCliKeepingErrors(args);
    const CliOutcome b = RunCliKeepingErrors(args);
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_NE(a.err.find("[report:scheduled-event] 大雪 | "), std::string::npos);
    EXPECT_NE(a.err.find("[report:scheduled-event] 大雨 | "), std::string::npos);
    EXPECT_NE(a.err.find("被害地域: "), std::string::npos);
    EXPECT_EQ(a.out, b.out);
}

}  // namespace
}  // namespace rymd::test
