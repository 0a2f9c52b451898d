#include "game/turn/kassen_phase.h"

#include "game/turn/main_game.h"

namespace rymd {

// Not built yet: the computer's attack orders arrive with the military rules.
void CKassenPhase::PlanDaimyouAttacks(int daimyou) {}

// Not built yet: the computer's attack orders arrive with the military rules.
void CKassenPhase::PlanGundanAttacks(int daimyou, int gundan) {}

// Not built yet: the resolution of moves, sieges and battles arrives with the military rules.
void CKassenPhase::ResolveKassen() {}

}  // namespace rymd
