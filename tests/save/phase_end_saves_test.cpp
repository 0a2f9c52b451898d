// Saves taken between any two phases load back. The player saves in any phase in the window, so
// a save the game writes and then refuses loses the game.
//
// - Each way a hostage leaves play (sent home by the house that held him, put to death when his
//   house breaks with it) leaves a state that is saved and read back.
// - Long games of the bundled scenario, watched and played as several houses over several seeds,
//   saved after every phase end and each save read into a fresh game: none is refused. (These
//   take minutes under the sanitizers; they run in the plain build.)
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "game/diplomacy/bonds.h"
#include "game/diplomacy/envoys.h"
#include "game/diplomacy/personnel.h"
#include "game/ports/ports.h"
#include "game/save/saved_game.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/invariants.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"

namespace rymd {
namespace {

const std::string kRoot = std::string(RYMD_SOURCE_DIR) + "/";

struct Game {
    std::uint32_t seed;
    const char* house;  // "" watches
    int months;
};

void PrintTo(const Game& g, std::ostream* os) {
    *os << (*g.house ? g.house : "spectator") << ", seed " << g.seed << ", " << g.months << " months";
}

// A new game of the bundled scenario.
void StartBundled(GameState& gs, MbKorMap::CCtrlKorMap& map, const Game& game) {
    NewGameRequest request;
    request.scenarioPath = kRoot + "data/scenario/japan1560.snr";
    request.programFolder = kRoot + "data/";
    request.seed = game.seed;
    request.house = game.house;
    ASSERT_EQ(StartGameFromScenario(gs, map, SilentPort::Instance().AsPorts(), request), 0);
}

// The state saved and read back into a fresh game; the refusal's detail, or "" when it loaded.
std::string RefusalOfSave(const GameState& gs, const MbKorMap::CCtrlKorMap& map) {
    auto loaded = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap loadedMap;
    const SavedGameLoad r = LoadSavedGame(WriteSavedGame(gs, map), *loaded, loadedMap, 0);
    return r.loaded ? std::string() : r.detail.empty() ? "refused" : r.detail;
}

TEST(HostageLeavingPlay, IsSavedAndLoadsBack) {
    const struct {
        const char* what;
        std::function<void(GameState&, int hostage, int holder, int giver)> leave;
    } cases[] = {
        {"sent home by the house that held him",
         [](GameState& gs, int hostage, int, int) { ReturnHitojichi(gs, hostage); }},
        {"put to death when his house broke with the house that held him",
         [](GameState& gs, int, int holder, int giver) {
             CDaimyou& house = DaimyouAt(gs, giver);
             house.bond = CDaimyou::kBondJuuzoku;
             house.masterDaimyou = holder;
             house.SetRelationLo(holder, CDaimyou::kRelJuuzoku);
             DaimyouAt(gs, holder).SetRelationLo(giver, CDaimyou::kRelJuuzokuMaster);
             DeclareDokuritsu(gs, SilentPort::Instance().AsPorts(), giver);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto gs = std::make_unique<GameState>();
        MbKorMap::CCtrlKorMap map;
        StartBundled(*gs, map, {1, "D_ODA", 0});
        const int holder = gs->nPlayerDaimyou;
        const int giver = gs->NameIndex.FindDaimyou("D_SAITO");
        ASSERT_GE(giver, 0);
        int hostage = -1;
        ASSERT_TRUE(OfferHitojichi(*gs, SilentPort::Instance().AsPorts(), holder, giver, hostage));
        EXPECT_EQ(RefusalOfSave(*gs, map), "") << "held";
        c.leave(*gs, hostage, holder, giver);
        ASSERT_EQ(BushouAt(*gs, hostage).daimyou, CBushou::kDaimyouRounin);
        EXPECT_EQ(FindBrokenInvariant(*gs), std::nullopt);
        EXPECT_EQ(RefusalOfSave(*gs, map), "") << "out of play";
    }
}

// Plays the game, saving after every phase end and loading each save back; the refusals, each
// with the phase end it followed. *saves counts the saves.
std::vector<std::string> RefusedSaves(const Game& run, int* saves) {
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    StartBundled(*gs, map, run);
    CMainGame game(*gs, map, SilentPort::Instance().AsPorts());  // questions get their safe answers
    std::vector<std::string> refused;
    TurnResult step = game.StartMonth();
    for (int done = 0; step == TurnResult::kContinue && done < run.months && !gs->bGameOver;) {
        const int phase = gs->nPhase;
        step = game.EndCurrentPhase();
        if (phase == kPhaseShutsujin) ++done;
        ++*saves;
        if (std::string why = RefusalOfSave(*gs, map); !why.empty())
            refused.push_back(std::to_string(gs->nCurYear) + "/" + std::to_string(gs->nCurMonth) +
                              " after phase " + std::to_string(phase) + ": " + why);
    }
    return refused;
}

class PhaseEndSaves : public testing::TestWithParam<Game> {};

TEST_P(PhaseEndSaves, AllLoad) {
    int saves = 0;
    const std::vector<std::string> refused = RefusedSaves(GetParam(), &saves);
    EXPECT_GT(saves, 0);
    EXPECT_TRUE(refused.empty()) << refused.size() << " of " << saves
                                 << " refused, the first: " << refused.front();
}

const auto kGameName = [](const testing::TestParamInfo<Game>& info) {
    const std::string who = *info.param.house ? info.param.house : "Spectator";
    return who + "_Seed" + std::to_string(info.param.seed);
};

INSTANTIATE_TEST_SUITE_P(BundledScenario, PhaseEndSaves,
                         testing::Values(Game{1, "", 60}, Game{2, "", 60}, Game{4, "", 60}, Game{6, "", 60},
                                         Game{3, "D_SAITO", 60}, Game{4, "D_SATOMI", 60},
                                         Game{1, "D_ODA", 60}, Game{2, "D_MORI", 60}),
                         kGameName);

}  // namespace
}  // namespace rymd
