// The seeds of the saved-game fuzz target (fuzz/corpus/saved_game): saves of the small world
// fixture, in the newest layout and in the oldest, and one whose scenario words look like printf
// conversions, each under 32 KB (the blocks of fixed size alone take about 14 KB; the fuzz stage
// reads inputs up to 64 KB). The test checks that every seed loads; with RYMD_UPDATE_CORPUS=1 in
// the environment it writes them anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/save/saved_game.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "support/old_saved_game.h"
#include "support/run_cli.h"
#include "support/world_files.h"

namespace rymd::test {
namespace {

const std::string kCorpus = std::string(RYMD_SOURCE_DIR) + "/fuzz/corpus/saved_game/";

TEST(FuzzSeeds, AreSmallSavesThatLoad) {
    WorldFiles world("fuzzseed");
    const std::string save = world.dir + "/world.rsd";
    ASSERT_EQ(RunCli("run " + world.Scenario() + " --months 2 --house D_ODA --save " + save).status, 0);
    std::vector<std::uint8_t> newest;
    ASSERT_TRUE(ReadFileBytes(save, newest));
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    ASSERT_TRUE(LoadSavedGame(newest, *gs, map, 0).loaded);
    gs->nEvent = 0;  // the older layouts are written without scheduled events and trade partners
    gs->nTradingPartner = 0;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> seeds = {
        {"world_v116.rsd", newest},
        {"world_v100.rsd", WriteOldSavedGame(*gs, map, 100)},
    };
    // Words that look like printf conversions: texts to the loader as to the game.
    gs->ScenarioWords[kWordShiro] = "%s%s%s%s%n";
    gs->ScenarioWords[kWordGunsen] = "船%d";
    gs->ScenarioWords[kWordTaisan] = "は%sに退散しました";
    seeds.emplace_back("world_words.rsd", WriteSavedGame(*gs, map));
    const bool update = std::getenv("RYMD_UPDATE_CORPUS") != nullptr;
    for (const auto& [name, bytes] : seeds) {
        EXPECT_LT(bytes.size(), 32768u) << name;
        if (update) {
            ASSERT_TRUE(WriteFileAtomic(kCorpus + name, bytes)) << name;
        }
        std::vector<std::uint8_t> stored;
        ASSERT_TRUE(ReadFileBytes(kCorpus + name, stored)) << name;
        auto loaded = std::make_unique<GameState>();
        MbKorMap::CCtrlKorMap loadedMap;
        const SavedGameLoad r = LoadSavedGame(stored, *loaded, loadedMap, 0);
        EXPECT_TRUE(r.loaded) << name << ": " << r.detail;
    }
}

}  // namespace
}  // namespace rymd::test
