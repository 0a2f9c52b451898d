// The computer's personnel step of a house: captives that can be employed join the house
// ("%sは%sの家臣になりました", not shown while the game advances by itself), then generals
// of its vassal houses and hostages who come of age may become guest generals.
#pragma once

#include "game/state/game_context.h"

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

private:
    GameContext context_;
};

}  // namespace rymd
