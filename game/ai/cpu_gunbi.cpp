#include "game/ai/cpu_gunbi.h"

#include "game/state/game_context.h"

namespace rymd {

// Not built yet: the armament planner arrives with the computer players' armament rules.
void CCpuGunbi::PlanDaimyou(int daimyou) {}

// Not built yet: the armament planner arrives with the computer players' armament rules.
void CCpuGunbi::PlanGundan(int daimyou, int gundan) {}

}  // namespace rymd
