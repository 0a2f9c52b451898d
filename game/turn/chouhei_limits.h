// Conscription allowances: the soldiers a house (or one of its corps) may raise in an armament
// phase, from the rice yield and the populace support of its castles.
#pragma once

namespace rymd {

struct GameState;

// Over every castle whose owner is the house and whose corps is the given one (-1: the castles the
// house holds directly): cavalry = rounded sum of rice yield / 1000 / nHeiUnit x support / 1000,
// foot = rounded sum of rice yield / 100 / nHeiUnit x support / 1000, in soldier units.
void CalcChouheiLimits(const GameState& gs, int daimyou, int gundan, int& cavalry, int& foot);

}  // namespace rymd
