#include "game/diplomacy/cpu_jinji.h"

#include "game/turn/main_game.h"

namespace rymd {

// Not built yet: the computer's personnel step arrives with the diplomacy and personnel rules.
void CCpuJinji::Run(int daimyou) {}

}  // namespace rymd
