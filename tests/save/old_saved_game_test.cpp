// Saved games of the older layouts (100 to 115) made by the tests' own writer: each loads with
// the conversions of its version and the defaults of what it lacks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "game/save/saved_game.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "support/old_saved_game.h"
#include "support/run_cli.h"

namespace rymd::test {
namespace {

// A game of the bundled scenario a month in, with a house, scenario music, a folder, castle
// exclusions and drawing offsets, so that every converted block has something to lose.
struct Source {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    Source() {
        // Named by the process, so that test programs of two builds running at once do not share it.
        const std::string path =
            ::testing::TempDir() + "/rymd_old_source_" + std::to_string(::getpid()) + ".rsd";
        const std::string scenario = std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";
        EXPECT_EQ(RunCli("run " + scenario + " --months 1 --house D_ODA --save " + path).status, 0);
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(path, bytes));
        std::remove(path.c_str());
        EXPECT_TRUE(LoadSavedGame(bytes, *gs, map, 0).loaded);
        gs->ScenarioBgmNormal = "main.mid";
        gs->ScenarioBgmBattle = "battle.mid";
        gs->ScenarioFolder = "scenario/";
        gs->ExclusionList = {(3 << 28) | 1};
        gs->nShiroOffsetX = -3;
        gs->nShiroOffsetY = 4;
        gs->nShiroNameOffset = 5;
        gs->nDaimyouNameOffset = -6;
        // Two drawn routes (the bundled scenario draws none): castle 0's first link and castle
        // 1's first link.
        const RoutePoint points[] = {{-1, 0}, {10, 20}, {30, 40}, {-1, 1}, {50, 60}, {-1, -1}};
        std::copy(std::begin(points), std::end(points), gs->ShiroRoutePoints.begin());
        gs->nRoutePoint = 6;
        gs->ShiroRouteRects = {{1, 2, 3, 4}, {5, 6, 7, 8}};
        gs->ShiroMapTbl[0].connect[0].route = 1;
        gs->ShiroMapTbl[1].connect[0].route = 4;
    }
};

// The state a file of the version gives when read: what the version lacks at its defaults.
std::unique_ptr<GameState> Expected(const GameState& source, int version) {
    auto e = std::make_unique<GameState>(source);
    if (version < 110) {
        e->nEvent = 0;
        e->nTradingPartner = 0;
        for (int t = 0; t < e->nShiroType; ++t) {
            auto& w = e->ShiroTypeTbl[t].words;
            for (std::size_t i = version < 102 ? 6 : 13; i < w.size(); ++i)
                w[i] = i < 13 ? 0xFFFF : 0;
            const std::int16_t tail[] = {-10, -10, 10, 10, 0, 0, 20, 30};
            for (std::size_t i = 0; i < 8; ++i)
                w[25 + i] = static_cast<std::uint16_t>(tail[i]);
            w[13] = static_cast<std::uint16_t>(-3);
            w[14] = 4;
            w[16] = 5;
            w[18] = static_cast<std::uint16_t>(-6);
        }
    }
    if (version < 114) e->ScenarioBgmNormal.clear(), e->ScenarioBgmBattle.clear();
    if (version < 116) e->ScenarioFolder.clear(), e->ExclusionList.clear();
    return e;
}

TEST(OldSavedGame, EachVersionLoadsWithItsConversions) {
    Source source;
    ASSERT_GT(source.gs->nShiroType, 0);
    ASSERT_NE(source.gs->ShiroMapTbl[1].connect[0].shiro, 0xFFFF);
    for (int version : {100, 101, 102, 105, 109, 111, 112, 113, 114, 115}) {
        const std::vector<std::uint8_t> bytes = WriteOldSavedGame(*source.gs, source.map, version);
        auto gs = std::make_unique<GameState>();
        MbKorMap::CCtrlKorMap map;
        const SavedGameLoad r = LoadSavedGame(bytes, *gs, map, 0);
        ASSERT_TRUE(r.loaded) << version << ": " << r.detail;
        EXPECT_EQ(r.version, version);
        EXPECT_EQ(StateHash(*gs), StateHash(*Expected(*source.gs, version))) << version;
        EXPECT_EQ(gs->ShiroDisabledBits.count(), version < 116 ? 0u : 1u);
    }
}

TEST(OldSavedGame, TheSameGameInTheNewestLayoutKeepsEverything) {
    Source source;
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    ASSERT_TRUE(LoadSavedGame(WriteSavedGame(*source.gs, source.map), *gs, map, 0).loaded);
    EXPECT_EQ(StateHash(*gs), StateHash(*source.gs));
    EXPECT_TRUE(gs->ShiroDisabledBits.test(1));
}

}  // namespace
}  // namespace rymd::test
