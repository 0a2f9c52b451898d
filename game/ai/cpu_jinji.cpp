#include "game/ai/cpu_jinji.h"

#include "game/state/game_context.h"

namespace rymd {

// Not built yet: the computer's personnel step arrives with the diplomacy and personnel rules.
void CCpuJinji::Run(int daimyou) {}

}  // namespace rymd
