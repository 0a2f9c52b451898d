// The world fixture of the turn tests, read from its scenario and set up (or started) as a new game.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/ports/scripted_port.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "support/scenario_test_util.h"

namespace rymd::test {

// The world fixture (four houses, six castles) read with the seed and set up as a new game.
struct WorldFixture {
    ReaderRun run;
    GameState& gs = *run.gs;

    explicit WorldFixture(std::uint32_t seed = 0) {
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(std::string(RYMD_FIXTURES) + "/scenario/world.snr", bytes));
        run.map.files[run.scenarioFolder + "world.map"] = FakeKorMap::Make(3);
        gs.rng.Seed(seed);
        EXPECT_EQ(run.ReadBytes(std::move(bytes)), 0) << run.Message();
        SetupNewGame(gs, run.map, run.ports);
    }
    int House(const char* id) const { return gs.NameIndex.FindDaimyou(id); }
    int General(const char* id) const { return FindBushouIndexById(gs, gs.NameIndex.FindBushou(id)); }
    int Castle(const char* id) const { return gs.NameIndex.FindShiro(id); }
};

// The world fixture started as a new game with the player's house (-1: the player watches).
struct WorldFixtureGame : WorldFixture {
    std::unique_ptr<CMainGame> game;

    explicit WorldFixtureGame(std::uint32_t seed, int player = -1) : WorldFixture(seed) {
        EXPECT_TRUE(StartNewGame(gs, run.ports, player));
        game = std::make_unique<CMainGame>(gs, run.map, run.ports);
    }
};

}  // namespace rymd::test
