// Bonds between houses: peace (non-aggression alliances), subordination (従属) and vassalage
// (臣従), with what a change does to the houses' spheres, and the dissolution of coalitions.
//
// Every pair of houses holds a relation byte each way: the state in the low four bits (see
// CDaimyou::kRel...), a treaty countdown in the high four bits. A state above 1 marks a bound
// pair. The "top" of a house is its master while it is a vassal, else itself (MakePeace also
// lifts subordinates to their master).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace rymd {

struct GameState;
struct Ports;

// What a caller that makes many treaties in one phase may give MakePeace from what it already
// holds, so that the treaty does not walk the whole tables; the result is the same without.
struct PeaceKnown {
    // The castles each house besieges (by the castles' besieging house), in table order.
    std::function<const std::vector<int>&(int)> besiegedBy;
    // At least every general held as captive, in table order.
    const std::vector<int>* captives = nullptr;
    // The house's own rice yield (its castles' yields).
    std::function<std::int64_t(int)> kokudaka;
};

// a and b, with their spheres, become non-aggression allies (state 2 both ways). Coalitions of
// one against the other dissolve; sieges between them are lifted and captives between bound
// houses released. Unless quiet, a pays a tenth of b's rice yield (funds may go negative).
void MakePeace(GameState& gs, const Ports& ports, int a, int b, bool quiet,
               const PeaceKnown* known = nullptr);

// daimyou, with every house that has it as master, becomes subordinate to master, and its
// relations with the other houses are derived from the master's. Unless quiet, guest generals
// step down, generals in castles of other sides are placed back and sieges between bound
// houses are lifted. False, changing nothing, when master is not independent.
bool MakeJuuzoku(GameState& gs, const Ports& ports, int master, int daimyou, bool quiet);

// The subordinate daimyou becomes master's vassal: its corps are dissolved and its relations
// are derived from the master's. False, changing nothing, unless master is independent and
// daimyou is its subordinate.
bool MakeShinjuu(GameState& gs, int master, int daimyou);

// The target, a computer house, decides on a non-aggression alliance the proposer offers and
// concludes it (MakePeace, not quiet) when it accepts. False when the target is not
// independent or a treaty countdown about the proposer runs; a target of people kind 0 accepts
// at once; one with fewer than two neighbouring houses refuses; one whose only hostile neighbour
// is the proposer refuses when the proposer is its smallest neighbour; otherwise it accepts
// with probability (rice yield of proposer / rice yield of target) x 0.5.
// A caller that asks many targets in one phase may give what it already holds: the castles
// counted for the target (its own and its vassals', in table order) and the houses' own rice
// yields (yield(house)); without them they are read from the tables. The answer is the same.
struct FusenDoumeiKnown {
    const std::vector<int>* targetShiro = nullptr;
    std::function<std::int64_t(int)> kokudaka;
    const PeaceKnown* peace = nullptr;  // for the treaty, when the target accepts
};
bool NegotiateFusenDoumei(GameState& gs, const Ports& ports, int proposer, int target,
                          const FusenDoumeiKnown& known = {});

// Ends the bond between x and y: a master bond (the master's countdown about the freed house
// becomes 12 unless it is 15; the freed house becomes independent and forgets every relation)
// or an alliance. The spheres on both sides are repaired; generals and fleets left in castles
// of another side are placed back. A reset relation becomes arch-enemies (state 0) when its
// countdown is 15, else no relation (state 1).
void DissolveDaimyouBond(GameState& gs, const Ports& ports, int x, int y);

// The house leaves its master (DissolveDaimyouBond); the hostages it had given to that master
// are executed ("%s に人質となっていた %s は処刑されました" to a player who declares). An
// independent house changes nothing.
void DeclareDokuritsu(GameState& gs, const Ports& ports, int daimyou);

// Dissolves one coalition: tells "反%s連合は消滅しました" (held back during automatic advance)
// and moves the later coalitions down by one.
void RemoveRengou(GameState& gs, const Ports& ports, int rengou);

}  // namespace rymd
