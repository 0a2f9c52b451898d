// The computer's personnel step of a house: captives that can be employed join the house
// ("%sは%sの家臣になりました", not shown while the game advances by itself), then hostages who
// come of age become guest generals.
#pragma once

#include "game/state/game_context.h"

namespace rymd {

class CCpuJinji {
public:
    explicit CCpuJinji(GameContext context) : context_(context) {}

    // The personnel phase of a computer house.
    void Run(int daimyou);

private:
    GameContext context_;
};

}  // namespace rymd
