// The computer's personnel step of a house: captives that can be employed join the house
// ("%sは%sの家臣になりました", not shown while the game advances by itself), then generals
// of its vassal houses and hostages who come of age may become guest generals.
#pragma once

#include <vector>

#include "game/state/game_context.h"
#include "game/state/house_index.h"

namespace rymd {

class CCpuJinji {
public:
    explicit CCpuJinji(GameContext context) : context_(context) {}
    virtual ~CCpuJinji() = default;

    // The personnel phase of a house: its employable captives, then RunHitojichi.
    void Run(int daimyou);

    // The taking of guest generals. Candidates are the generals of the house's vassal houses
    // (not their heads) and the hostages it holds aged 15 or more whose houses are its
    // subordinates or vassals, each better than the house's mean valour or mean intellect. Each
    // vassal house gives at most one guest a month, and only when all of its candidates share
    // one key (valour + 2 x intellect) and none of them is a guest already. A hostage needs a
    // free place (20 per castle of the house).
    void RunHitojichi(int daimyou);

    // Forgets who served whom: the player's own personnel commands between the houses planned
    // before and after him change it.
    void DropIndex() { index_.Drop(); }

private:
    // The generals who counted for the house when the index was taken and every captive and
    // hostage then, in table order. Within the phase only captives and hostages change house, and
    // no castle changes hands nor any house its bond, so every general who counts for the house
    // now, or is a captive or hostage, is among them.
    const std::vector<int>& GeneralsToLookAt(int daimyou);

    GameContext context_;
    HouseIndex index_;  // who holds what, for the houses of one personnel phase
    std::vector<int> look_;
};

}  // namespace rymd
