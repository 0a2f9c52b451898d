// A test on the water fixture (fixtures/scenario/water.snr): the Mouri house on the Inland Sea
// with waterway castles, sea lanes and fleets, on the bundled map. A new game drops every sea
// lane and waterway as the bundled game plays; this fixture puts the scenario's sea lanes,
// waterways and fleets back after the set-up so that the by-water commands can be played.
// Include it after the rules' headers (the window layer's Qt headers define "slots").
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "gui_test_util.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {

class WaterGameTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        GameState& gs = *gs_;
        const Ports ports = SilentPort::Instance().AsPorts();
        gs.rng.Seed(0);
        CScenarioReader reader(gs, map_, ports, std::string(RYMD_SOURCE_DIR) + "/data/");
        ASSERT_EQ(reader.ReadScenarioFile(std::string(RYMD_FIXTURES) + "/scenario/water.snr").Code(), 0);
        std::vector<ShiroMapRecord> geography;
        for (int c = 0; c < ShiroCount(gs); ++c)
            geography.push_back(ShiroMapAt(gs, c));
        const auto fleets = std::make_unique<CGunsenTable>(gs.GunsenTable);
        SetupNewGame(gs, map_, ports);
        for (int c = 0; c < ShiroCount(gs); ++c) {
            ShiroMapAt(gs, c).flags = geography[static_cast<std::size_t>(c)].flags;
            ShiroMapAt(gs, c).connect = geography[static_cast<std::size_t>(c)].connect;
        }
        gs.GunsenTable = *fleets;
        ASSERT_TRUE(StartNewGame(gs, ports, gs.NameIndex.FindDaimyou("D_MOURI")));
        gs.nCurDaimyou = gs.nPlayerDaimyou;
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
