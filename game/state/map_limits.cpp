#include "game/state/map_limits.h"

#include "game/state/game_state.h"

namespace rymd {

bool MapFitsTables(const MbKorMap::KorMapData& map) {
    return map.kuni.size() < static_cast<std::size_t>(GameState::kMaxKuni) &&
           map.chiiki.size() <= static_cast<std::size_t>(kMaxMapChiiki);
}

}  // namespace rymd
