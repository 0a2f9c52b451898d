// How the month start uses the ending that the conditional events hand back: the later ending of
// the month wins, an ending without its text shows none, and a conditional ending takes
// precedence over a unification found in the same month start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/state/event_records.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

constexpr int kHappeningGameEnd = 62;
constexpr int kHappeningGameEnd2 = 63;

// An event with an open window whose one happening ends the game: for the house (an index), or
// without the ending text (-2).
void AddEnding(GameState& gs, int house) {
    CConditionalEvent ev;
    ev.title = "終幕";
    ev.firstMonth = ev.lastMonth = CConditionalEvent::kMonthOpen;
    ev.actionCount = 1;
    ev.actions[0].code = house == -2 ? kHappeningGameEnd : kHappeningGameEnd2;
    ev.actions[0].daimyou1 = static_cast<std::int16_t>(house < 0 ? 0 : house);
    gs.ConditionalEventArray.push_back(ev);
    gs.nConditionalEvent = static_cast<int>(gs.ConditionalEventArray.size());
}

TEST(ConditionalEnding, TheLaterEndingOfTheMonthDecidesAndEndsTheGame) {
    struct Case {
        const char* name;
        std::vector<int> endings;  // in event order
        bool unified;              // house 0 holds every castle too
        int result;
        const char* text;  // the ending shown, or null
    } cases[] = {
        {"house 2, then none", {2, -2}, false, -2, nullptr},
        {"none, then house 1", {-2, 1}, false, 1, "家1の天下"},
        {"before a unification by house 0", {2}, true, 2, "家2の天下"},
        {"without text before a unification", {-2}, true, -2, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWorld w({.houses = 3, .headsInCastles = true});
        w.Start();
        GameState& gs = w.gs;
        gs.EndingText = "%Player%の天下";
        if (c.unified) {
            for (int s = 1; s < 3; ++s)
                gs.ShiroTbl[s].daimyou = 0;
        }
        for (int house : c.endings)
            AddEnding(gs, house);
        EXPECT_EQ(w.game->StartMonth(), TurnResult::kRestart);
        EXPECT_TRUE(gs.bGameOver);
        EXPECT_EQ(w.game->EndingResult(), c.result);
        const std::vector<PortCall> texts = w.port.CallsOf(PortCallKind::LongText);
        ASSERT_EQ(texts.size(), c.text ? 1u : 0u);
        if (c.text) {
            EXPECT_EQ(texts[0].details[0], c.text);
        }
    }
}

TEST(ConditionalEnding, TheAllAutomaticRunOnlyMarksTheGameOver) {
    TestWorld w({.houses = 2, .headsInCastles = true});
    w.Start();
    w.game->PrepareAllAutomatic();
    AddEnding(w.gs, 1);
    EXPECT_EQ(w.game->StartMonth(), TurnResult::kGameOver);
    EXPECT_TRUE(w.gs.bGameOver);
    EXPECT_EQ(w.game->EndingResult(), 1);
    EXPECT_TRUE(w.port.CallsOf(PortCallKind::LongText).empty());
}

}  // namespace
}  // namespace rymd::test
