// The computer's strategy planner: targets, relief of besieged castles and the moves of
// generals and fleets. It only writes pending orders during the phase; ApplyPendingMoves
// carries them out at the end of the strategy phase.
#pragma once

#include "game/state/game_context.h"

namespace rymd {

class CCpuSenryaku {
public:
    explicit CCpuSenryaku(GameContext context) : context_(context) {}

    // The strategy phase of a computer house (its directly held part and its corps).
    void PlanDaimyou(int daimyou);
    // The strategy phase of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundan(int daimyou, int gundan);
    // Carries out the pending moves of every house.
    void ApplyPendingMoves();

private:
    GameContext context_;
};

}  // namespace rymd
