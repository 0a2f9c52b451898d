// A test on the bundled game: Japan in 1560 started for the Oda house, with its province map.
// Include it after the rules' headers (the window layer's Qt headers define "slots").
#pragma once

#include <memory>
#include <string>

#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "gui_test_util.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {

class BundledGameTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        NewGameRequest request;
        request.scenarioPath = std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";
        request.programFolder = std::string(RYMD_SOURCE_DIR) + "/data/";
        request.house = "D_ODA";
        ASSERT_EQ(StartGameFromScenario(*gs_, map_, SilentPort::Instance().AsPorts(), request), 0);
        gs_->nCurDaimyou = gs_->nPlayerDaimyou;
        map_.ElvMap().EraseLandTopography();
        map_.TextureSetup();
    }
    int Kuni(const char* id) const { return map_.FindKuni(id); }
    int Oda() const { return gs_->nPlayerDaimyou; }
    // A castle of the house (the first in table order), -1 none.
    int CastleOf(int house) const {
        for (int s : ShiroIndexes(*gs_))
            if (ShiroAt(*gs_, s).daimyou == house) return s;
        return -1;
    }
    int KuniOf(int shiro) const { return gs_->ShiroMapTbl[static_cast<std::size_t>(shiro)].kuni; }
    // An independent house other than the player's with a castle.
    int OtherHouse() const {
        for (int s : ShiroIndexes(*gs_)) {
            const int h = ShiroAt(*gs_, s).daimyou;
            if (h != Oda() && HouseExists(*gs_, h) && DaimyouAt(*gs_, h).bond == CDaimyou::kBondDokuritsu)
                return h;
        }
        return -1;
    }

    std::unique_ptr<GameState> gs_ = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map_;
    HostWindow host_;
};

}  // namespace rymd::gui_test
