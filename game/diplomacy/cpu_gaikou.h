// The computer's diplomacy step of a house: alliances, subordination, vassalage, independence
// and broken alliances. Each run appends its news to the planner's message text, which the
// diplomacy phase shows in the log.
#pragma once

#include <string>

namespace rymd {

class CMainGame;

class CCpuGaikou {
public:
    explicit CCpuGaikou(CMainGame& game) : game_(game) {}

    // The diplomacy phase of a computer house.
    void Run(int daimyou);

    // The diplomatic news of the phase; emptied at the start of each diplomacy phase.
    std::string messageText;

private:
    CMainGame& game_;
};

}  // namespace rymd
