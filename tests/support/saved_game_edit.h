// Saved games with a stored value the game's own writer cannot produce: the distance limit is
// kept in tens, so a stored value whose tenfold does not fit an int is put into the bytes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/save/saved_game.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"

namespace rymd::test {

// The game saved, with the distance limit's stored value (in tens) replaced by stored.
inline std::vector<std::uint8_t> SaveWithStoredDistanceLimit(const GameState& gs,
                                                             const MbKorMap::CCtrlKorMap& map,
                                                             std::int32_t stored) {
    std::vector<std::uint8_t> bytes = WriteSavedGame(gs, map);
    // Where it lies: the first byte that changes when the limit grows by ten (its low byte).
    auto other = std::make_unique<GameState>(gs);
    other->nDistanceLimit += 10;
    const std::vector<std::uint8_t> moved = WriteSavedGame(*other, map);
    const std::size_t at = static_cast<std::size_t>(
        std::mismatch(bytes.begin(), bytes.end(), moved.begin()).first - bytes.begin());
    const auto value = static_cast<std::uint32_t>(stored);
    for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

}  // namespace rymd::test
