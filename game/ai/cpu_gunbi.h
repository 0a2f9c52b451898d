// The computer's armament planner: conscription, musket deployment, castle works, provisions and
// warship orders of a computer house, and of the player's corps whose orders call for it.
#pragma once

#include "game/state/game_context.h"

namespace rymd {

class CCpuGunbi {
public:
    explicit CCpuGunbi(GameContext context) : context_(context) {}

    // The armament phase of a computer house (its directly held part and its corps).
    void PlanDaimyou(int daimyou);
    // The armament phase of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundan(int daimyou, int gundan);

private:
    GameContext context_;
};

}  // namespace rymd
