#include "game/diplomacy/cpu_gaikou.h"

#include "game/turn/main_game.h"

namespace rymd {

// Not built yet: the computer's diplomacy step arrives with the diplomacy and personnel rules.
void CCpuGaikou::Run(int daimyou) {}

}  // namespace rymd
