// The small world of the castle-order tests (works, provisions and the developments): castles 0,
// 2, 4 in province 0 and 1, 3, 5 in province 1, all of house 0 but castle 4 (house 1); size 3 of
// at most 5, 1000 provisions and 25 units of garrison each, mine 50 of at most 200, economy 0 of
// at most 300; 2000 provisions per size step; funds 10000; ten soldiers a unit. The phase-start
// snapshot is taken.
#pragma once

#include "support/test_world.h"

namespace rymd::test {

struct CastleWorld : TestWorld {
    CastleWorld() : TestWorld({.castles = 6, .houses = 2, .provinces = 2, .soldierUnit = 10}) {
        Own(4, 1);
        for (int c = 0; c < 6; ++c) {
            gs.ShiroTbl[c].kibo = 3;
            gs.ShiroTbl[c].hyourou = 1000;
            gs.ShiroTbl[c].shubihei = 25;
            gs.ShiroTbl[c].kouzan = 50;
            gs.ShiroMapTbl[c].maxKibo = 5;
            gs.ShiroMapTbl[c].maxKouzan = 200;
            gs.ShiroMapTbl[c].maxKeizai = 300;
        }
        gs.nShiroHyourouMax = 2000;
        gs.DaimyouTbl[0].shikin = 10000;
        gs.ShiroSnapTbl = gs.ShiroTbl;
    }
};

}  // namespace rymd::test
