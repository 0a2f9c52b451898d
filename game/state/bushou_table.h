// Rearranging the general table. Records name generals by their index in BushouTbl, so when a
// general leaves the table or changes his slot every stored general index must follow:
// house heads, castle commanders, the castles' stationed, besieger and pending-arrival lists
// (in the live castles and in the castle snapshot) and corps leaders. This is the one place
// that knows them all.
#pragma once

#include <cstdint>
#include <span>

namespace rymd {

struct GameState;

// Every stored general index follows a move of the general at `from` to the slot `to`, the
// generals between them closing the gap (one slot down when to > from, one up when to < from).
// With to = -1 he has left the table: the generals after him move down by one; castle lists
// drop him (the others keep their order); a house head that was him becomes -2 (no head at
// the moment), and a castle commander or corps leader that was him -1. Negative values stay.
void RenumberBushouIndexes(GameState& gs, int from, int to);

// Takes general out of BushouTbl: the later records move down by one, nBushou falls by one and
// every stored index follows. A corps he still leads is dissolved first (its funds and castles
// return to the house); houses and corps should have their successors before this is called.
// False, changing nothing, for an index outside 0 .. nBushou-1.
bool EraseBushouRecord(GameState& gs, int bushou);

// Takes every general whose entry of erased is set out of BushouTbl at once: what
// EraseBushouRecord for each of them gives (the corps they still lead dissolved in table order,
// the others keeping their order, every stored index following), with every stored index
// renumbered once instead of once a general. Entries beyond the table are ignored; generals
// beyond the entries stay.
void EraseBushouRecords(GameState& gs, std::span<const std::uint8_t> erased);

// Moves the general to the last used slot of BushouTbl, the records after him moving down by
// one; every stored index follows, his own included. False for an index outside the table.
bool MoveBushouRecordToEnd(GameState& gs, int bushou);

// Moves every general whose entry of moved is set to the last used slots, the others keeping
// their order in front and the movers theirs behind them: what MoveBushouRecordToEnd for each
// of them in table order gives, with every stored index renumbered once instead of once a
// general.
void MoveBushouRecordsToEnd(GameState& gs, std::span<const std::uint8_t> moved);

}  // namespace rymd
