#include "game/ai/cpu_naisei.h"

#include "game/state/game_context.h"

namespace rymd {

// Not built yet: the domestic planner arrives with the computer players' domestic rules.
void CCpuNaisei::PlanDaimyou(int daimyou) {}

// Not built yet: the domestic planner arrives with the computer players' domestic rules.
void CCpuNaisei::PlanGundan(int daimyou, int gundan) {}

}  // namespace rymd
