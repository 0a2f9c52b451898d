#include "game/turn/chouhei_limits.h"

#include <algorithm>
#include <climits>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"

namespace rymd {

void CalcChouheiLimits(const GameState& gs, int daimyou, int gundan, int& cavalry, int& foot) {
    const double unit = HeiUnit(gs);
    double sumCavalry = 0.0;
    double sumFoot = 0.0;
    const int nShiro = ShiroCount(gs);
    for (int s = 0; s < nShiro; ++s) {
        const CShiro& c = gs.ShiroTbl[static_cast<std::size_t>(s)];
        if (c.daimyou != daimyou || c.gundan != gundan) continue;
        const double support = c.support / 1000.0;
        sumCavalry += c.kokudaka / 1000.0 / unit * support;
        sumFoot += c.kokudaka / 100.0 / unit * support;
    }
    cavalry = Round(std::clamp(sumCavalry, double(INT_MIN), double(INT_MAX)));
    foot = Round(std::clamp(sumFoot, double(INT_MIN), double(INT_MAX)));
}

}  // namespace rymd
