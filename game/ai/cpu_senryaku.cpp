#include "game/ai/cpu_senryaku.h"

#include "game/state/game_context.h"

namespace rymd {

// Not built yet: the strategy planner arrives with the computer players' strategy rules.
void CCpuSenryaku::PlanDaimyou(int daimyou) {}

// Not built yet: the strategy planner arrives with the computer players' strategy rules.
void CCpuSenryaku::PlanGundan(int daimyou, int gundan) {}

// Not built yet: the pending moves are written by the strategy planner, which is not built.
void CCpuSenryaku::ApplyPendingMoves() {}

}  // namespace rymd
