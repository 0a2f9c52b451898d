// The computer's armament planner: castle works and provisions of front-line castles,
// conscription (garrisons first, then the generals' foot and cavalry) within what the unit can
// recruit and afford, and the hand-out of the unit's muskets; for a computer house, and for the
// player's corps (a corps that does not invade only gets its muskets handed out).
#pragma once

#include <vector>

#include "game/ai/plan_unit.h"
#include "game/state/game_context.h"

namespace rymd {

class CCpuGunbi {
public:
    explicit CCpuGunbi(GameContext context) : context_(context) {}
    virtual ~CCpuGunbi() = default;

    // The armament phase of a computer house: each of its corps, then its directly held part.
    void PlanDaimyou(int daimyou);
    // The armament phase of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundan(int daimyou, int gundan);
    // Hands the unit's musket stock out to its generals in proportion to their foot soldiers,
    // never giving a general more muskets than foot soldiers.
    void DistributeTeppou(int daimyou, int gundan);

private:
    void DistributeTeppou(PlanUnit& unit, const std::vector<int>& members);

    GameContext context_;
    // Who holds what, taken once for the whole phase.
    const HouseIndex& Index() {
        index_.Refresh(context_.gs);
        return index_;
    }
    HouseIndex index_;
};

}  // namespace rymd
