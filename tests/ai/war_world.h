// Small worlds for the war planners' tests: the shared test world with castles that can be
// besieged, houses at war and the planners' context.
#pragma once

#include <vector>

#include "game/state/access.h"
#include "game/state/game_context.h"
#include "support/test_world.h"

namespace rymd::test {

struct WarWorld : TestWorld {
    // n castles of house 0, h houses, all arch-enemies of each other; castles of size 3 with a
    // small garrison and provisions for a year; ten soldiers a unit of troops.
    WarWorld(int nShiro, int nDaimyou)
        : TestWorld({.castles = nShiro, .houses = nDaimyou, .soldierUnit = 10}) {
        for (int c = 0; c < nShiro; ++c) {
            CShiro& s = ShiroAt(gs, c);
            s.kibo = 3;
            s.shubihei = 10;
            s.hyourou = 100000;
            gs.ShiroMapTbl[c].maxKibo = 3;
        }
        for (int a = 0; a < nDaimyou; ++a)
            for (int b = 0; b < nDaimyou; ++b)
                if (a != b) DaimyouAt(gs, a).SetRelationLo(b, CDaimyou::kRelShukuteki);
    }
    GameContext Context() { return GameContext{gs, map, ports}; }

    // Generals that carry an order.
    std::vector<int> Ordered() const {
        std::vector<int> out;
        for (int g : BushouIndexes(gs))
            if (BushouAt(gs, g).flags & CBushou::kFlagOrdered) out.push_back(g);
        return out;
    }
};

}  // namespace rymd::test
