#include "game/state/access.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace rymd {
namespace {

// A state of 3 castles, 4 generals and 2 houses.
std::unique_ptr<GameState> SmallState() {
    auto gs = std::make_unique<GameState>();
    gs->nShiro = 3;
    gs->nBushou = 4;
    gs->nDaimyou = 2;
    return gs;
}

TEST(RecordAccess, ValidIndexesReachTheirRecords) {
    auto gs = SmallState();
    const GameState& cgs = *gs;
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(&ShiroAt(*gs, s), &gs->ShiroTbl[static_cast<std::size_t>(s)]);
        EXPECT_EQ(&ShiroAt(cgs, s), &gs->ShiroTbl[static_cast<std::size_t>(s)]);
        EXPECT_EQ(&ShiroMapAt(*gs, s), &gs->ShiroMapTbl[static_cast<std::size_t>(s)]);
        EXPECT_EQ(&ShiroMapAt(cgs, s), &gs->ShiroMapTbl[static_cast<std::size_t>(s)]);
    }
    EXPECT_EQ(&BushouAt(cgs, 3), &gs->BushouTbl[3]);
    EXPECT_EQ(&DaimyouAt(cgs, 1), &gs->DaimyouTbl[1]);
    EXPECT_EQ(&GundanAt(cgs, GameState::kMaxGundan - 1), &gs->GundanTbl[GameState::kMaxGundan - 1]);
    EXPECT_EQ(&ShiroSlotAt(*gs, GameState::kMaxShiro - 1), &gs->ShiroTbl[GameState::kMaxShiro - 1]);
    EXPECT_EQ(&ShiroMapSlotAt(*gs, 3), &gs->ShiroMapTbl[3]);
    EXPECT_EQ(&BushouSlotAt(*gs, 4), &gs->BushouTbl[4]);
}

TEST(RecordAccessDeathTest, AnIndexOutsideTheTableStopsTheCheckedBuild) {
#ifndef RYMD_CHECKED_ACCESS
    GTEST_SKIP() << "the accessors check their index in the checked builds only";
#else
    auto gs = SmallState();
    const GameState& cgs = *gs;
    struct Case {
        const char* what;
        void (*reach)(const GameState&);
        const char* message;
    };
    const Case cases[] = {
        {"castle past the count", [](const GameState& g) { (void)ShiroAt(g, 3); },
         "index 3 outside the castle table \\(3 records\\)"},
        {"castle -1", [](const GameState& g) { (void)ShiroAt(g, -1); }, "index -1 outside the castle table"},
        {"geography past the count", [](const GameState& g) { (void)ShiroMapAt(g, 3); },
         "index 3 outside the castle geography table"},
        {"general past the count", [](const GameState& g) { (void)BushouAt(g, 4); },
         "index 4 outside the general table"},
        {"house -1", [](const GameState& g) { (void)DaimyouAt(g, -1); }, "index -1 outside the house table"},
        {"corps past the slots", [](const GameState& g) { (void)GundanAt(g, GameState::kMaxGundan); },
         "outside the corps table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DEATH(c.reach(cgs), c.message);
    }
    EXPECT_DEATH((void)ShiroSlotAt(*gs, GameState::kMaxShiro), "outside the castle slot table");
    EXPECT_DEATH((void)ShiroMapSlotAt(*gs, -1), "outside the castle geography slot table");
    EXPECT_DEATH((void)BushouSlotAt(*gs, GameState::kMaxBushou), "outside the general slot table");
#endif
}

}  // namespace
}  // namespace rymd
