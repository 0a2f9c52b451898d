// The fall of a house as a test stages it: every castle and general of the house passes to a
// winner in one stroke, and the house is left without a head, as a lost war leaves it before the
// end of the sortie phase ends it.
#pragma once

#include <cstdint>

#include "game/state/access.h"
#include "game/state/game_state.h"

namespace rymd::test {

inline void HandOverHouse(GameState& gs, int fallen, int winner) {
    for (int s : ShiroIndexes(gs)) {
        CShiro& c = ShiroAt(gs, s);
        if (c.daimyou != fallen) continue;
        c.daimyou = static_cast<std::int16_t>(winner);
        c.gundan = -1;
        c.commander = static_cast<std::int16_t>(DaimyouAt(gs, winner).toushu);
    }
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou == fallen) b.daimyou = static_cast<std::int16_t>(winner);
    }
    DaimyouAt(gs, fallen).toushu = -2;
}

}  // namespace rymd::test
