// The bundled scenario played by the computer for two years: the houses enlarge, provision and
// man their castles, arm their generals, develop and trade; the state keeps its invariants after
// every phase; the same seed gives the same game.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/save/saved_game.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "support/invariant_check.h"

namespace rymd {
namespace {

const std::string kRoot = std::string(RYMD_SOURCE_DIR) + "/";

struct Totals {
    long long kibo = 0, kokudaka = 0, keizai = 0, kouzan = 0, shubihei = 0, hyourou = 0;
    long long foot = 0, cavalry = 0, muskets = 0, voyages = 0, kouekisen = 0;
};

Totals Sum(const GameState& gs) {
    Totals t;
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        t.kibo += s.kibo;
        t.kokudaka += s.kokudaka;
        t.keizai += s.keizai;
        t.kouzan += s.kouzan;
        t.shubihei += s.shubihei;
        t.hyourou += s.hyourou;
        t.kouekisen += s.kouekisen;
        for (const ShiroOrderSlot& v : s.voyage)
            t.voyages += v.ships != 0;
    }
    for (int b : BushouIndexes(gs)) {
        t.foot += BushouAt(gs, b).foot;
        t.cavalry += BushouAt(gs, b).cavalry;
        t.muskets += BushouAt(gs, b).muskets;
    }
    return t;
}

struct Watched {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    Ports ports = SilentPort::Instance().AsPorts();
    Totals start;
    std::vector<int> startShips;

    // A spectator game of the bundled scenario run for the months given.
    Watched(std::uint32_t seed, int months) {
        NewGameRequest request;
        request.scenarioPath = kRoot + "data/scenario/japan1560.snr";
        request.programFolder = kRoot + "data/";
        request.seed = seed;
        EXPECT_EQ(StartGameFromScenario(*gs, map, ports, request), 0);
        start = Sum(*gs);
        for (int c : ShiroIndexes(*gs))
            startShips.push_back(ShiroAt(*gs, c).kouekisen);
        CMainGame game(*gs, map, ports);
        TurnResult step = game.StartMonth();
        for (int done = 0; step == TurnResult::kContinue && done < months && !gs->bGameOver;) {
            const int phase = gs->nPhase;
            step = game.EndCurrentPhase();
            if (phase == kPhaseShutsujin) ++done;
            // After each phase the planners have acted in, the state keeps its invariants.
            if (!test::ExpectInvariantsHold(*gs, "after phase " + std::to_string(phase))) break;
            for (int d : DaimyouIndexes(*gs))
                EXPECT_GE(DaimyouAt(*gs, d).teppou, 0) << "house " << d << " after phase " << phase;
        }
        EXPECT_EQ(step, TurnResult::kContinue);
    }
};

TEST(PlannersLongRun, HousesDevelopAndTheSameSeedGivesTheSameGame) {
    Watched a(11, 24);
    const Totals t = Sum(*a.gs);
    EXPECT_GT(t.kibo, a.start.kibo);
    EXPECT_GT(t.shubihei, a.start.shubihei);
    EXPECT_GT(t.foot, a.start.foot);
    EXPECT_GT(t.muskets, a.start.muskets);
    // The scenario starts economies and rice yields at their maxima: of the works, the mines
    // have room to grow.
    EXPECT_GT(t.kouzan, a.start.kouzan);
    EXPECT_GT(t.kouekisen + t.voyages, a.start.kouekisen);
    for (int b : BushouIndexes(*a.gs)) {
        const CBushou& g = BushouAt(*a.gs, b);
        EXPECT_GE(g.foot, 0);
        EXPECT_GE(g.cavalry, 0);
    }
    for (int c : ShiroIndexes(*a.gs)) {
        const CShiro& s = ShiroAt(*a.gs, c);
        EXPECT_LE(s.kibo, a.gs->ShiroMapTbl[static_cast<std::size_t>(c)].maxKibo);
        // No trade ship is bought beyond ten at a port (the scenario may give more).
        EXPECT_LE(s.kouekisen, std::max<int>(10, a.startShips[static_cast<std::size_t>(c)]));
        EXPECT_GE(s.support, 0);
        EXPECT_LE(s.support, 1000);
    }

    Watched b(11, 24);
    EXPECT_EQ(StateHash(*a.gs), StateHash(*b.gs));
}

}  // namespace
}  // namespace rymd
