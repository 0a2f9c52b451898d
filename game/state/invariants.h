// The state invariant check: what every legal game state keeps between two steps of the month.
// Tests run it after every month of their long runs and `rymdcli run --check` after every
// month of a run, so that a rule that leaves a dangling index or a general listed twice is
// caught where it happens, not months later where it crashes.
//
// What is checked (indexes against the live counts of the tables they name):
// - counts: every table count within 0 .. its capacity; a castle's stationed, besieging and
//   arriving counts within 0..20; coalition member counts within 0..42; the fleet count within
//   the registry; the conditional-event count equal to the events held;
// - houses: the head is a general on stage, -1 (house gone) or -2 (between heads); the head of
//   a house in play serves that house; the master is a house;
// - corps: a used slot (leader not -1) names a house in play and a leader who is a general on
//   stage or -2 (passed over by the succession checks);
// - castles: the owner is a house (or -1), the holding corps -1 or a used slot of the owner, the
//   besieging and blockading houses -1 or houses; the three general lists name generals on
//   stage; a stationed or besieging general's castle is this one, and a general in a house's
//   service at a castle is listed there; no general stands in two of the stationed and
//   besieger lists, nor twice in one;
// - castle values: economy, mine and rice yield within 0 and their maxima, the maxima within 0
//   and what a scenario can give, size and maximum size within 0..10, populace support within
//   0..1000, provisions and garrison within the limits of the size, trade ships within 0..100;
// - generals: the house a house or one of the markers -1 (masterless), -2 (not yet in service),
//   -3 (held as hostage); the castle -1 or a castle; the corps -1 or a corps slot; the castles of
//   his orders (move, sortie, sortie origin) no castle past the table, except that a hostage
//   (status 2, held or already out of play) keeps the year and place he came with in the first
//   two;
// - fleets: the owner a house, the castle a castle, the destination a castle or none;
// - coalitions: the target and every member a house.
#pragma once

#include <optional>
#include <string>

namespace rymd {

struct GameState;

// The first broken invariant as a message naming the record and the field ("castle 12: general
// 40 is listed twice"), or nothing when the state keeps them all. Changes nothing.
std::optional<std::string> FindBrokenInvariant(const GameState& gs);

}  // namespace rymd
