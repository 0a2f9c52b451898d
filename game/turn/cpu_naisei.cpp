#include "game/turn/cpu_naisei.h"

#include "game/turn/main_game.h"

namespace rymd {

// Not built yet: the domestic planner arrives with the computer players' domestic rules.
void CCpuNaisei::PlanDaimyou(int daimyou) {}

// Not built yet: the domestic planner arrives with the computer players' domestic rules.
void CCpuNaisei::PlanGundan(int daimyou, int gundan) {}

}  // namespace rymd
