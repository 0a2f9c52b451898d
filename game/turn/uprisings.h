// Two random events of the month start: deaths by illness, and uprisings of the remnants of
// fallen houses.
//
// ProcessByoubotsu runs before the conditional events, ProcessZantouHouki after them; both come
// before the monthly tallies (monthly_tallies.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// Generals near or past their year of death may die of illness: from 1/36 a month in January of
// the year before their year of death up to 0.9 a month from December of the year after it. A
// general who is his house's only member dies so only from the age of 80. The dead general leaves
// his house (house -1, no longer besieging); a retainer's or guest general's troops go to the
// generals of his house (a vassal guest general's: of the master house), strongest in valour first.
// The report is emptied, then gets one line for each death ("...が病没しました\n").
void ProcessByoubotsu(GameState& gs, std::string& report);

// The chance of a death by illness in the current month for a general with that year of death
// (before the 0.9 limit for the sure case); 0 before the year preceding it.
double ByoubotsuProbability(int curYear, int curMonth, int deathYear);

// A fallen house that owns no castle may rise again in one of its former castles that no one
// besieges, held by a rich house (150000 koku or more) and weakly defended, the more likely the
// less the populace supports its owner: a new leader "<house>残党" with 100-299 foot besieges it,
// generals of the house's line defect to him (at most 19), the best in the succession becomes
// the head, and the house becomes independent, hostile to all, with funds to the next harvest.
// The messages are told unless the automatic advance runs.
void ProcessZantouHouki(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                        const SuppressionPolicy& policy);

// Orders (id, key) pairs by key, largest first, exactly as CSortList::SortLarge (the exchange
// sort) leaves them, ties included, but in about n log n steps when there are few distinct keys
// (such as an ability from 0 to 10). Used for the heirs of a general who dies.
void SortLargeAsExchange(std::span<std::int32_t> ids, std::span<std::int32_t> keys);

}  // namespace rymd
