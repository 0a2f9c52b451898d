#include "game/ai/cpu_gaikou.h"

#include "game/state/game_context.h"

namespace rymd {

// Not built yet: the computer's diplomacy step arrives with the diplomacy and personnel rules.
void CCpuGaikou::Run(int daimyou) {}

}  // namespace rymd
