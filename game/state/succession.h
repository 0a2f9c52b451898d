// Heads of houses and leaders of corps, and the removal of generals from the general table:
// the bookkeeping every rule that lets a general leave play relies on. A house whose head is
// gone gets a new head, a corps whose leader is gone gets a new leader or is dissolved, and a
// general who leaves play is taken out of the table (every stored general index follows).
//
// The general table is compacted whenever a general leaves it: an index held across a call
// that removes or archives a general may name another general afterwards.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace rymd {

struct GameState;
struct Ports;
struct CBushou;

// Succession rank of a general outside the line of a house.
constexpr int kNoSuccessionRank = -1;

// The succession rank of a general within the line of the house (the scenario record's rank
// when its line house is this house), or kNoSuccessionRank.
int SuccessionRank(const GameState& gs, const CBushou& b, int daimyou);

// --- heads and corps leaders ----------------------------------------------------------------

// Picks a new head for the house: the general of the house whose scenario line is this house
// with the smallest succession rank (the first in table order on equal ranks); else the
// general of the house with the highest intellect (the later one on equal values); and
// installs him with SetToushu. True when the house has no general left (its head is then -2,
// "no head at the moment"). An index outside the house table does nothing and gives false.
bool SucceedToushu(GameState& gs, const Ports& ports, int daimyou, bool quiet);

// Installs a head. bushou >= 0: he becomes head and a retainer ("%sは%sの当主になりました"
// unless quiet or the automatic advance runs); unless the house is a vassal he leaves his
// corps, and a corps he led gets a successor. bushou < 0: the house has no head (-2). Every
// castle the house holds directly gets the head as commander (-1 when there is none).
void SetToushu(GameState& gs, const Ports& ports, int daimyou, int bushou, bool quiet);

// Picks a new leader for the corps: the general of the corps with the highest intellect (the
// later one on equal values) among those of the corps' house and guest generals. The player is
// told of the successor or of the dissolution (also during automatic advance). True when the
// corps had nobody left and was dissolved. A free slot or an index outside the table does
// nothing and gives false.
bool SucceedGundanchou(GameState& gs, const Ports& ports, int gundan, std::string_view formerLeaderName);

// --- the general table ----------------------------------------------------------------------

// Moves the general to the last used slot of the general table; every stored index follows.
// An index outside the table does nothing.
void MoveBushouToTableEnd(GameState& gs, int bushou);

// Copies the general into the table of generals off stage as a masterless general (while that
// table has room), then removes him with RemoveBushou.
void ArchiveBushou(GameState& gs, const Ports& ports, int bushou,
                   std::vector<std::uint8_t>* erasedLater = nullptr);

// Takes the general out of play: his house and corps become -1, a house he heads and a corps
// he leads get successors, he leaves his castle's lists, and his slot is closed (every stored
// index above his follows). An index outside the table does nothing.
//
// With erasedLater, a walk over the table that removes many generals closes their slots in
// one pass: his record stays in place as a masterless general (listed nowhere the successions
// could pick him) and his entry of erasedLater is set (the vector grows to the table's size);
// the walk ends with EraseBushouRecords (bushou_table.h), which gives the table that removing
// each in turn gives.
void RemoveBushou(GameState& gs, const Ports& ports, int bushou,
                  std::vector<std::uint8_t>* erasedLater = nullptr);

}  // namespace rymd
