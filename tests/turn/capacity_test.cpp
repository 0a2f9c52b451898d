// Whole months at the capacities: 999 houses, 10000 castles and a full general table, with
// replenishment on. Nothing overflows, every stored general index stays valid and the state
// invariants hold after every month.
#include <gtest/gtest.h>

#include "game/scenario/reader.h"
#include "game/turn/new_game.h"
#include "support/capacity_scenario.h"
#include "support/invariant_check.h"
#include "support/turn_test_util.h"

namespace rymd::test {
namespace {

void ExpectIndexesValid(const GameState& gs) {
    ASSERT_LE(gs.nBushou, GameState::kMaxBushou);
    ASSERT_LE(gs.nMitoujouBushou, GameState::kMaxBushou);
    for (int s = 0; s < gs.nShiro; ++s) {
        const CShiro& c = gs.ShiroTbl[s];
        ASSERT_GE(c.nBushou, 0);
        ASSERT_LE(c.nBushou, CShiro::kMaxBushou);
        for (int i = 0; i < c.nBushou; ++i) {
            ASSERT_GE(c.bushou[i], 0) << s;
            ASSERT_LT(c.bushou[i], gs.nBushou) << s;
        }
        for (int i = 0; i < c.nBesieger; ++i)
            ASSERT_LT(c.besieger[i], gs.nBushou) << s;
    }
    for (int d = 0; d < gs.nDaimyou; ++d)
        ASSERT_LT(gs.DaimyouTbl[d].toushu, gs.nBushou) << d;
    for (const CGundan& g : gs.GundanTbl)
        ASSERT_LT(g.leader, gs.nBushou);
}

TEST(Capacity, FullTablesRunWholeMonths) {
    CapacityScenario c;
    c.laterEvery = 0;  // all 30000 generals on stage from the start
    MemoryKorMap map(MakeCapacityMap(c));
    auto gs = std::make_unique<GameState>();
    ScriptedPort port;
    const Ports ports = port.AsPorts();
    gs->rng.Seed(0);
    const std::string sjis = FromUtf8(MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    CScenarioReader reader(*gs, map, ports, "/cap/");
    ASSERT_EQ(reader.ReadScenarioData(std::vector<std::uint8_t>(sjis.begin(), sjis.end()), "/cap/"), 0);
    SetupNewGame(*gs, map, ports);
    ASSERT_TRUE(StartNewGame(*gs, ports, -1));
    EXPECT_EQ(gs->nDaimyou, 1000);
    EXPECT_EQ(gs->nShiro, 10000);
    EXPECT_EQ(gs->nBushou, 30000);

    ExpectInvariantsHold(*gs, "in the new game");

    CMainGame game(*gs, map, ports);
    CheckInvariantsEveryMonth(game);
    game.PrepareAllAutomatic();
    ASSERT_EQ(game.StartMonth(), TurnResult::kContinue);
    ExpectIndexesValid(*gs);
    const AllAutomaticResult r = game.RunAllAutomatic(1);
    EXPECT_EQ(r.months, 12);
    EXPECT_EQ(r.last, TurnResult::kContinue);
    ExpectIndexesValid(*gs);
    ExpectInvariantsHold(*gs, "at the end of the run");
    EXPECT_TRUE(port.CallsOf(PortCallKind::AskYesNo).empty());
}

// Each generated house line holds its id, name, kind, the two skills, funds left to the set-up
// (-1), the musket and warship tendencies and the player and behaviour words, nothing more.
TEST(Capacity, GeneratedHouseLinesHoldTheirFields) {
    CapacityScenario c;
    c.houses = 40;
    c.castles = 200;
    c.generals = 400;
    MemoryKorMap map(MakeCapacityMap(c));
    auto gs = std::make_unique<GameState>();
    ScriptedPort port;
    const std::string sjis = FromUtf8(MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
    CScenarioReader reader(*gs, map, port.AsPorts(), "/cap/");
    ASSERT_EQ(reader.ReadScenarioData(std::vector<std::uint8_t>(sjis.begin(), sjis.end()), "/cap/"), 0);
    ASSERT_EQ(gs->nScenarioDaimyou, c.houses);
    for (int h : {0, 1, 29, 31, 39}) {
        const DaimyouInitRecord& r = gs->DaimyouInitTbl[static_cast<std::size_t>(h)];
        EXPECT_EQ(r.koukaiGijutsu, 10 + h % 50) << h;
        EXPECT_EQ(r.kouzanGijutsu, h % 30 * 10) << h;
        EXPECT_EQ(r.shikin, -1) << h;
        EXPECT_EQ(r.teppouTendency, 10) << h;
        EXPECT_EQ(r.gunsenTendency, 3) << h;
        EXPECT_EQ(r.textIndex, 0xFFFF) << h;
    }
}

}  // namespace
}  // namespace rymd::test
