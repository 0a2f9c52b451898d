// Ten years of the bundled scenario, watched and played as several houses over many seeds: the
// rules never leave a general of one house in another house's castle, so the location repair
// never has anything to move or delete and no "Debug Message" reaches the player; the state
// keeps its invariants every month.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/ports/ports.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "support/invariant_check.h"

namespace rymd {
namespace {

const std::string kRoot = std::string(RYMD_SOURCE_DIR) + "/";
constexpr int kMonths = 120;
constexpr std::uint32_t kSeeds = 20;

// Keeps the messages that report an impossible state; every other message is dropped.
class DebugMessages final : public InformPort {
public:
    void Inform(std::string_view text) override {
        if (text.find("Debug Message") != std::string_view::npos) lines.emplace_back(text);
    }
    std::vector<std::string> lines;
};

// Plays the months (fewer when the game ends) with the house given ("" watching) and returns
// the debug messages shown; every month's state is checked.
std::vector<std::string> Play(std::uint32_t seed, const std::string& house) {
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    DebugMessages debug;
    Ports ports = SilentPort::Instance().AsPorts();  // questions get their safe answers
    ports.inform = &debug;
    NewGameRequest request;
    request.scenarioPath = kRoot + "data/scenario/japan1560.snr";
    request.programFolder = kRoot + "data/";
    request.seed = seed;
    request.house = house;
    EXPECT_EQ(StartGameFromScenario(*gs, map, ports, request), 0);
    CMainGame game(*gs, map, ports);
    TurnResult step = game.StartMonth();
    for (int done = 0; step == TurnResult::kContinue && done < kMonths && !gs->bGameOver;) {
        const int phase = gs->nPhase;
        step = game.EndCurrentPhase();
        if (phase != kPhaseShutsujin) continue;
        ++done;
        if (!test::ExpectInvariantsHold(*gs, "after month " + std::to_string(done))) break;
    }
    return debug.lines;
}

struct Side {
    const char* name;
    std::vector<std::string> houses;  // one per seed in turn; "" watches
};

class ConsistentLocations : public testing::TestWithParam<Side> {};

TEST_P(ConsistentLocations, NoDebugMessageInTenYears) {
    const Side& side = GetParam();
    for (std::uint32_t seed = 1; seed <= kSeeds; ++seed) {
        const std::string& house = side.houses[seed % side.houses.size()];
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", house " << (house.empty() ? "none" : house));
        const std::vector<std::string> lines = Play(seed, house);
        EXPECT_TRUE(lines.empty()) << lines.size() << " lines, the first: " << lines.front();
    }
}

INSTANTIATE_TEST_SUITE_P(BundledScenario, ConsistentLocations,
                         testing::Values(Side{"Spectator", {""}},
                                         Side{"AsHouses", {"D_ODA", "D_MORI", "D_SAITO", "D_SATOMI"}}),
                         [](const testing::TestParamInfo<Side>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace rymd
