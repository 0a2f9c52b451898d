// The seeds of the saved-game fuzz target (fuzz/corpus/saved_game): saves of the small world
// fixture, in the newest layout and in the oldest, and one whose scenario words look like printf
// conversions, each under 32 KB (the blocks of fixed size alone take about 14 KB; the fuzz stage
// reads inputs up to 64 KB), and the inputs the fuzzer found, kept beside them as regression
// cases. The test checks that every seed loads and every found input is refused; with
// RYMD_UPDATE_CORPUS=1 in the environment it writes them anew.
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
#include "support/saved_game_edit.h"
#include "support/world_files.h"

namespace rymd::test {
namespace {

const std::string kCorpus = std::string(RYMD_SOURCE_DIR) + "/fuzz/corpus/saved_game/";

// The corpus file name (first written anew from bytes when the corpus is updated), loaded into a
// fresh game.
SavedGameLoad LoadCorpusFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    if (std::getenv("RYMD_UPDATE_CORPUS") != nullptr) {
        EXPECT_TRUE(WriteFileAtomic(kCorpus + name, bytes)) << name;
    }
    std::vector<std::uint8_t> stored;
    EXPECT_TRUE(ReadFileBytes(kCorpus + name, stored)) << name;
    auto loaded = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap loadedMap;
    return LoadSavedGame(stored, *loaded, loadedMap, 0);
}

TEST(FuzzSeeds, AreSmallSavesThatLoadAndFoundInputsThatAreRefused) {
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
    for (const auto& [name, bytes] : seeds) {
        EXPECT_LT(bytes.size(), 32768u) << name;
        const SavedGameLoad r = LoadCorpusFile(name, bytes);
        EXPECT_TRUE(r.loaded) << name << ": " << r.detail;
    }

    // Found by the fuzzer or a probe, each the newest seed with one value changed: a distance
    // limit (kept in tens) whose tenfold no int holds, a castle of size 128.
    std::vector<std::uint8_t> seed;
    ASSERT_TRUE(ReadFileBytes(kCorpus + "world_v116.rsd", seed));
    auto base = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap baseMap;
    ASSERT_TRUE(LoadSavedGame(seed, *base, baseMap, 0).loaded);
    auto bigCastle = std::make_unique<GameState>(*base);
    bigCastle->ShiroTbl[0].kibo = 128;
    // And a castle whose maximum economy and economy were pulled below 0, as a happening could.
    auto poorCastle = std::make_unique<GameState>(*base);
    poorCastle->ShiroMapTbl[0].maxKeizai = -32768;
    poorCastle->ShiroTbl[0].keizai = -32768;
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> found = {
        {"refused_distance_limit.rsd", SaveWithStoredDistanceLimit(*base, baseMap, 454628879)},
        {"refused_castle_size.rsd", WriteSavedGame(*bigCastle, baseMap)},
        {"refused_castle_economy.rsd", WriteSavedGame(*poorCastle, baseMap)},
    };
    for (const auto& [name, bytes] : found) {
        const SavedGameLoad r = LoadCorpusFile(name, bytes);
        EXPECT_FALSE(r.loaded) << name;
        EXPECT_EQ(r.message, kMsgSaveDataBroken) << name;
    }
}

}  // namespace
}  // namespace rymd::test
