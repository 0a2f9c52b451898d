// Life events of houses and generals: a house whose head is gone gets a new head, a corps whose
// leader is gone gets a new leader or is dissolved, a general who leaves play is taken out of
// the general table (every stored general index follows), generals waiting off stage appear
// when their year has come, masterless generals offer their service to houses, houses short
// of retainers recruit new ones, and a captured castle passes to its conqueror.
//
// The general table is compacted whenever a general leaves it: an index held across a call
// that removes or archives a general may name another general afterwards.
//
// Messages go through the ports; whether they are shown while the game advances by itself is
// decided by the suppression policy built from the game's own flags (automatic advance,
// all-automatic run).
#pragma once

#include <string>
#include <string_view>

namespace rymd {

struct GameState;
struct Ports;

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
void ArchiveBushou(GameState& gs, const Ports& ports, int bushou);

// Takes the general out of play: his house and corps become -1, a house he heads and a corps
// he leads get successors, he leaves his castle's lists, and his slot is closed (every stored
// index above his follows). An index outside the table does nothing.
void RemoveBushou(GameState& gs, const Ports& ports, int bushou);

// --- castle capture -------------------------------------------------------------------------

// The besiegers of the castle take it: owner, corps, support and commander change, mining
// technology may pass to the conqueror, the besiegers become the castle's generals and the
// fleets there are sorted out. Nothing happens to a castle without besiegers.
void GainKouzanGijutsuByCapture(GameState& gs, const Ports& ports, int shiro);

// --- the monthly step -----------------------------------------------------------------------

// The month start's appearances: generals off stage whose year has come appear, masterless
// generals offer their service (the player is asked), and with replenishment on, houses short
// of retainers recruit new ones. Lines for the report are appended to text.
void ProcessBushouAppearance(GameState& gs, const Ports& ports, std::string& text);

// Brings the general at index of the off-stage table on stage. Lines for the report are
// appended to text when it is given. True when he came on stage (his off-stage entry is then
// gone and the later entries have moved down by one).
bool AppearBushou(GameState& gs, int index, std::string* text);

// The report of the month's deaths and appearances (not shown during automatic advance). An
// empty list is shown as "なし".
void ShowBushouDeathAppear(const GameState& gs, const Ports& ports, std::string_view deaths,
                           std::string_view appearances);

// --- the month start's succession checks ----------------------------------------------------

// Corps leaders: every corps whose leader field is neither -1 nor -2; a captive leader loses
// his corps, and a corps whose leader no longer belongs to it gets a successor
// (SucceedGundanchou with the former leader's name).
void CheckGundanchouSuccession(GameState& gs, const Ports& ports);

// House heads: for every existing house, the ranked heir of its line (smallest succession
// rank; on equal ranks the later general replaces the earlier one unless the earlier is the
// head); when he is not the head, or the house has no head (-2), SucceedToushu (not quiet).
// One pass over the generals serves all houses.
void CheckToushuSuccession(GameState& gs, const Ports& ports);

}  // namespace rymd
