// A test on the water fixture (fixtures/scenario/water.snr): the Mouri house on the Inland Sea
// with waterway castles, sea lanes and fleets, on the bundled map. A new game drops every sea
// lane and waterway (and the scenario's fleets with them) as the bundled game plays; the fixture
// puts the scenario's sea lanes, waterways and fleets back after the set-up so that the by-water
// commands can be played.
// Include it after the rules' headers (the window layer's Qt headers define "slots").
#pragma once

#include <memory>
#include <string>

#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "gui_test_util.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {

inline std::string WaterFixturePath() {
    return std::string(RYMD_FIXTURES) + "/scenario/water.snr";
}

// The scenario's sea lanes, waterways and fleets, read again, put back into a game started from
// it (the castles are the same in both).
inline void RestoreWaterFixtureRoutes(GameState& gs) {
    const auto read = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    CScenarioReader reader(*read, map, SilentPort::Instance().AsPorts(),
                           std::string(RYMD_SOURCE_DIR) + "/data/");
    ASSERT_EQ(reader.ReadScenarioFile(WaterFixturePath()).Code(), 0);
    ASSERT_EQ(ShiroCount(*read), ShiroCount(gs));
    for (int c = 0; c < ShiroCount(gs); ++c) {
        ShiroMapAt(gs, c).flags = ShiroMapAt(*read, c).flags;
        ShiroMapAt(gs, c).connect = ShiroMapAt(*read, c).connect;
    }
    gs.GunsenTable = read->GunsenTable;
}

class WaterGameTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        NewGameRequest request;
        request.scenarioPath = WaterFixturePath();
        request.programFolder = std::string(RYMD_SOURCE_DIR) + "/data/";
        request.house = "D_MOURI";
        ASSERT_EQ(StartGameFromScenario(*gs_, map_, SilentPort::Instance().AsPorts(), request), 0);
        RestoreWaterFixtureRoutes(*gs_);
        gs_->nCurDaimyou = gs_->nPlayerDaimyou;
        map_.ElvMap().EraseLandTopography();
        map_.TextureSetup();
    }
    int Castle(const char* id) const { return gs_->NameIndex.FindShiro(id); }
    int General(const char* id) const { return FindBushouIndexById(*gs_, gs_->NameIndex.FindBushou(id)); }
    int House(const char* id) const { return gs_->NameIndex.FindDaimyou(id); }

    std::unique_ptr<GameState> gs_ = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map_;
    HostWindow host_;
};

}  // namespace rymd::gui_test
