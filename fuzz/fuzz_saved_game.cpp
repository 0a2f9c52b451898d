// Feeds arbitrary bytes to the saved-game reader. Whatever the bytes: no crash, hang or
// out-of-bounds access; a refused file leaves the running game and its map exactly as they
// were; an accepted one saves back to bytes that load to the same game.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "game/save/saved_game.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"

namespace {

std::vector<std::uint8_t> MapBytes(const MbKorMap::CCtrlKorMap& map) {
    rymd::ArchiveWriter out;
    map.Serialize(out);
    return out.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The running game the inputs are loaded into: a first accepted input replaces it.
    static auto* gs = new rymd::GameState;
    static auto* map = new MbKorMap::CCtrlKorMap;
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::string hashBefore = rymd::StateHash(*gs);
    const std::vector<std::uint8_t> mapBefore = MapBytes(*map);
    const rymd::SavedGameLoad r = rymd::LoadSavedGame(bytes, *gs, *map, 0);
    if (!r.loaded) {
        if (r.message.empty() || rymd::StateHash(*gs) != hashBefore || MapBytes(*map) != mapBefore)
            std::abort();
        return 0;
    }
    const std::vector<std::uint8_t> saved = rymd::WriteSavedGame(*gs, *map);
    auto again = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap againMap;
    if (!rymd::LoadSavedGame(saved, *again, againMap, 0).loaded) std::abort();
    if (rymd::StateHash(*again) != rymd::StateHash(*gs)) std::abort();
    return 0;
}
