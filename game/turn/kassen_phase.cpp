#include "game/turn/kassen_phase.h"

#include "game/ai/attack_planner.h"
#include "game/turn/main_game.h"

namespace rymd {

void CKassenPhase::PlanDaimyouAttacks(int daimyou) {
    CAttackPlanner(game_.Context(), planIndex_).PlanDaimyouAttacks(daimyou);
}

void CKassenPhase::PlanGundanAttacks(int daimyou, int gundan) {
    CAttackPlanner(game_.Context(), planIndex_).PlanGundanAttacks(daimyou, gundan);
}

// Not built yet: the resolution of moves, sieges and battles arrives with the military rules.
void CKassenPhase::ResolveKassen() {}

}  // namespace rymd
