// Worlds for the turn tests: a small world built by hand (one castle and one head per house), and
// the world fixture read from its scenario and started as a new game.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "game/state/vocabulary.h"
#include "game/ports/scripted_port.h"
#include "game/turn/main_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "support/scenario_test_util.h"

namespace rymd::test {

// n houses, house d holding castle d with its head general d in it; castles linked in a row.
// Every general lives long, nobody waits off stage and no replenishment runs, so a month start
// changes only what a test arranges. The game starts in the personnel phase of April 1560 with
// house 0 as the player (spectator: the dummy house n is appended and watches).
struct SmallWorld {
    std::unique_ptr<GameState> owned = std::make_unique<GameState>();
    GameState& gs = *owned;
    MbKorMap::CCtrlKorMap map;
    ScriptedPort port;
    Ports ports = port.AsPorts();
    std::unique_ptr<CMainGame> game;

    explicit SmallWorld(int houses = 4, bool spectator = false) {
        gs.SetScenarioDefaults();
        ResetScenarioWords(gs.ScenarioWords);
        gs.nHeiUnit = 10;
        gs.nStartYear = gs.nCurYear = 1560;
        gs.nStartMonth = gs.nCurMonth = 4;
        gs.nKuni = 1;
        gs.nShiro = houses;
        gs.nBushou = houses;
        gs.nDaimyou = gs.nScenarioDaimyou = houses;
        for (int d = 0; d < GameState::kMaxDaimyou; ++d) {
            CDaimyou& h = gs.DaimyouTbl[d];
            h = CDaimyou{};
            h.toushu = d < houses ? d : -1;
            h.kindByte = 1;
            h.masterDaimyou = d;
            h.shikin = 10000;
            h.relation.fill(static_cast<std::uint8_t>(CDaimyou::kRelNothing | (CDaimyou::kNoCountdown << 4)));
            h.name = "家" + std::to_string(d);
            h.strengthHistory.fill(5);
        }
        for (CGundan& g : gs.GundanTbl) {
            g = CGundan{};
            g.leader = CGundan::kLeaderFree;
            g.daimyou = -1;
        }
        for (int s = 0; s < houses; ++s) {
            ShiroMapRecord& m = gs.ShiroMapTbl[s];
            m.name = "城" + std::to_string(s);
            m.kuni = 0;
            m.maxKibo = 5;
            m.maxKokudaka = 20000;
            m.initDaimyou = static_cast<std::int16_t>(s);
            m.ClearConnections();
            int n = 0;
            if (s > 0) m.connect[n++].shiro = static_cast<std::uint16_t>(s - 1);
            if (s + 1 < houses) m.connect[n++].shiro = static_cast<std::uint16_t>(s + 1);
            CShiro& c = gs.ShiroTbl[s];
            c = CShiro{};
            c.daimyou = static_cast<std::int16_t>(s);
            c.gundan = -1;
            c.commander = static_cast<std::int16_t>(s);
            c.besiegerDaimyou = -1;
            c.blockadeDaimyou = -1;
            c.kibo = 3;
            c.kokudaka = 10000;
            c.hyourou = 3000;
            c.keizai = 100;
            c.shubihei = 30;
            c.support = 500;
            c.harvestRate = 10000;
            c.nBushou = 1;
            c.bushou[0] = s;
            CBushou& b = gs.BushouTbl[s];
            b = CBushou{};
            b.name = "将" + std::to_string(s);
            b.chibou = 5;
            b.buyuu = 5;
            b.birthYear = 1530;
            b.deathYear = 9000;
            b.shiro = static_cast<std::int16_t>(s);
            b.id = -1;
            b.gundan = -1;
            b.daimyou = static_cast<std::int16_t>(s);
            b.holderDaimyou = -1;
            b.originDaimyou = -1;
            b.cavalry = 10;
            b.foot = 50;
            b.moveShiro = -1;
            b.sortieShiro = -1;
            b.sortieOrigin = static_cast<std::int16_t>(s);
        }
        EXPECT_TRUE(StartNewGame(gs, ports, spectator ? -1 : 0));
        gs.nPhase = kPhaseJinji;
        game = std::make_unique<CMainGame>(gs, map, ports);
    }

    // Every planner entry the steps run, as (phase, house, corps or CMainGame::kWholeHouse).
    struct PlannerCall {
        int phase;
        int daimyou;
        int gundan;
        bool operator==(const PlannerCall&) const = default;
    };
    std::vector<PlannerCall> calls;
    void RecordPlanners() {
        game->SetPlannerObserver([this](int phase, int d, int g) { calls.push_back({phase, d, g}); });
    }
    // The houses that acted per house in a phase, in order.
    std::vector<int> HousesActed(int phase) const {
        std::vector<int> out;
        for (const PlannerCall& c : calls)
            if (c.phase == phase && c.gundan == CMainGame::kWholeHouse) out.push_back(c.daimyou);
        return out;
    }
    std::vector<int> Order() const {
        return {gs.DaimyouOrder.begin(), gs.DaimyouOrder.begin() + gs.nDaimyou};
    }
};

// The world fixture (four houses, six castles) started as a new game.
struct WorldFixtureGame {
    ReaderRun run;
    GameState& gs = *run.gs;
    std::unique_ptr<CMainGame> game;

    explicit WorldFixtureGame(std::uint32_t seed, int player = -1) {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(std::string(RYMD_FIXTURES) + "/scenario/world.snr", bytes));
        run.map.files[run.scenarioFolder + "world.map"] = FakeKorMap::Make(3);
        gs.rng.Seed(seed);
        EXPECT_EQ(run.ReadBytes(std::move(bytes)), 0) << run.Message();
        SetupNewGame(gs, run.map, run.ports);
        EXPECT_TRUE(StartNewGame(gs, run.ports, player));
        game = std::make_unique<CMainGame>(gs, run.map, run.ports);
    }
};

}  // namespace rymd::test
