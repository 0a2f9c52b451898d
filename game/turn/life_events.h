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

#include "game/military/appearance.h"
#include "game/ports/ports.h"
#include "game/state/succession.h"

namespace rymd {

struct GameState;
struct Ports;
class ShiroOwnerIndex;

// --- castle capture -------------------------------------------------------------------------

// The besiegers of the castle take it: owner, corps, support and commander change, mining
// technology may pass to the conqueror, the besiegers become the castle's generals and the
// fleets there are sorted out. Nothing happens to a castle without besiegers. With owners (it
// must describe the castle table as it stands), the conqueror's castles are read from it and
// the change of owner is told to it.
void GainKouzanGijutsuByCapture(GameState& gs, const Ports& ports, int shiro,
                                ShiroOwnerIndex* owners = nullptr);

// --- the monthly step -----------------------------------------------------------------------

// The month start's appearances: generals off stage whose year has come appear, masterless
// generals offer their service (the player is asked), and with replenishment on, houses short
// of retainers recruit new ones. Lines for the report are appended to text.
void ProcessBushouAppearance(GameState& gs, const Ports& ports, std::string& text);

// The report of the month's deaths and appearances: the two lists, one line per general, an
// empty list as "なし"; titles in the scenario's word for general.
DeathAppearView MakeDeathAppearView(const GameState& gs, std::string_view deaths,
                                    std::string_view appearances);
// The report shown (not during automatic advance).
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
