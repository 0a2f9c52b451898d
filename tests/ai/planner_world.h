// A small world for the peacetime planners: house 0 holds castles 0 (inland) and 1 (on the
// front, linked to castle 2 of house 1, with no particular relation between the houses).
#pragma once

#include "game/state/game_context.h"
#include "support/test_world.h"

namespace rymd::test {

struct PlannerWorld : TestWorld {
    PlannerWorld() : TestWorld({.castles = 3, .houses = 2, .provinces = 3, .regions = 1}) {
        Own(2, 1);
        Link(0, 1);
        Link(1, 2);
        gs.nShiroHyourouMax = 2000;
        gs.nKouekisenPrice = 1000;
        gs.nGunsenPrice = 500;
        for (int c = 0; c < 3; ++c) {
            CShiro& s = gs.ShiroTbl[c];
            s.kibo = 2;
            s.hyourou = 4000;
            s.support = 800;
            gs.ShiroMapTbl[c].maxKibo = 10;
            gs.ShiroMapTbl[c].maxKeizai = 1000;
            gs.ShiroMapTbl[c].maxKouzan = 1000;
        }
        gs.DaimyouTbl[0].toushu = 0;
        gs.DaimyouTbl[1].toushu = 1;
        gs.DaimyouTbl[0].kouzanGijutsu = 1000;
        gs.DaimyouInitTbl[0].teppouTendency = 10;
        gs.DaimyouInitTbl[0].gunsenTendency = 10;
        gs.ShiroSnapTbl = gs.ShiroTbl;
    }
    GameContext Context() { return GameContext{gs, map, ports}; }
    // Call after changing castles by hand, as the phase start does.
    void Snapshot() { gs.ShiroSnapTbl = gs.ShiroTbl; }
};

}  // namespace rymd::test
