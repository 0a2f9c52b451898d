#include "game/turn/cpu_gunbi.h"

#include "game/turn/main_game.h"

namespace rymd {

// Not built yet: the armament planner arrives with the computer players' armament rules.
void CCpuGunbi::PlanDaimyou(int daimyou) {}

// Not built yet: the armament planner arrives with the computer players' armament rules.
void CCpuGunbi::PlanGundan(int daimyou, int gundan) {}

}  // namespace rymd
