// What the rules show the player while the game advances by itself, decided from the game's
// own flags (automatic advance, all-automatic run). The main game adds its option of skipping
// event messages; the rules below it never skip them.
#pragma once

#include "game/ports/suppression_policy.h"
#include "game/state/game_state.h"

namespace rymd {

inline SuppressionPolicy PolicyOf(const GameState& gs) {
    return SuppressionPolicy(gs.bAutoAdvance, gs.bAllAutomatic, false);
}

}  // namespace rymd
