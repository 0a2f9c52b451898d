// The computer's domestic planner: land reclamation, free markets, mines, trade ships and
// musket production and purchase of a computer house, and of the player's corps whose orders
// call for it.
#pragma once

#include "game/state/game_context.h"

namespace rymd {

class CCpuNaisei {
public:
    explicit CCpuNaisei(GameContext context) : context_(context) {}

    // The domestic phase of a computer house (its directly held part and its corps).
    void PlanDaimyou(int daimyou);
    // The domestic phase of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundan(int daimyou, int gundan);

private:
    GameContext context_;
};

}  // namespace rymd
