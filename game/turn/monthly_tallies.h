// Small steps of the month start: the history of the houses' strength with its trend, the
// countdown of trade-ship voyages and the completion of warships under construction. The month
// start calls them in this order: RecordDaimyouStrength, DecrementShiroCountdowns, its musket
// deliveries, CompleteGunsen. (The start values of the drifting rates are ApplyDatedValues of the
// new game, game/turn/new_game.h.)
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// Strength of every house (5 per castle it owns, 1 more to a master per castle of its vassal)
// becomes the newest entry of its history; the trend compares it with the values of eleven and of
// two months ago: 1 rising, 0 level, 255 falling.
void RecordDaimyouStrength(GameState& gs);

// The trend from a history (newest first): d = (h[0] - h[11]) + (h[0] - h[2]); 1 when d >= 1,
// 255 when d < 0, else 0.
int StrengthTrendOf(const std::array<std::int16_t, 12>& history);

// One month off every trade-ship voyage at sea from a port castle (a voyage at 0 stays at 0
// until its settlement pays it out).
void DecrementShiroCountdowns(GameState& gs);

// Warships under construction: work whose castle has passed to another side is lost; otherwise
// one month off, and ships whose time is up are launched. A castle holds at most 200 warships:
// the surplus goes to the nearest castle by sea that has room and no blockade, and is lost when
// there is none. The player's launches are listed in the warships-completed notice (not shown
// while the automatic advance runs). Returns the notice's text (empty when nothing was launched
// for the player).
std::string CompleteGunsen(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                           const SuppressionPolicy& policy);

}  // namespace rymd
