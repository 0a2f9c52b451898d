// The computer's diplomacy step of a house: alliances, subordination, vassalage, independence
// and broken alliances. Each run appends its news to the planner's message text, which the
// diplomacy phase shows in the log.
#pragma once

#include "game/state/game_context.h"

#include <string>

namespace rymd {

class CCpuGaikou {
public:
    explicit CCpuGaikou(GameContext context) : context_(context) {}

    // The diplomacy phase of a computer house.
    void Run(int daimyou);

    // The diplomatic news of the phase; emptied at the start of each diplomacy phase.
    std::string messageText;

private:
    GameContext context_;
};

}  // namespace rymd
