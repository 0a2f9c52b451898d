// A new spectator game at the capacities (999 houses, 10000 castles, 30000 generals, every
// general on stage), set up once per program and shared read-only by the benchmarks that copy
// its state; the all-automatic flags are set.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "platform/core/encoding.h"
#include "support/capacity_scenario.h"

namespace rymd::test {

struct CapacityGame {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    std::unique_ptr<MemoryKorMap> map;
    Ports ports;
};

inline const CapacityGame& SharedCapacityGame() {
    static const std::unique_ptr<CapacityGame> game = [] {
        auto g = std::make_unique<CapacityGame>();
        CapacityScenario c;
        c.laterEvery = 0;
        g->map = std::make_unique<MemoryKorMap>(MakeCapacityMap(c));
        const std::string sjis = FromUtf8(MakeCapacityScenarioText(c), TextEncoding::ShiftJis);
        CScenarioReader reader(*g->gs, *g->map, g->ports, "/cap/");
        if (reader.ReadScenarioData(std::vector<std::uint8_t>(sjis.begin(), sjis.end()), "/cap/") == 0) {
            SetupNewGame(*g->gs, *g->map, g->ports);
            StartNewGame(*g->gs, g->ports, -1);
        }
        g->gs->bAllAutomatic = true;
        g->gs->bAutoAdvance = true;
        return g;
    }();
    return *game;
}

}  // namespace rymd::test
