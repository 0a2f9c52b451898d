// Bonds between houses: peace (non-aggression alliances), subordination (従属) and vassalage
// (臣従), with what a change does to the houses' spheres, and the dissolution of coalitions.
//
// Every pair of houses holds a relation byte each way: the state in the low four bits (see
// CDaimyou::kRel...), a treaty countdown in the high four bits. A state above 1 marks a bound
// pair. The "top" of a house is its master while it is a vassal, else itself (MakePeace also
// lifts subordinates to their master).
#pragma once

namespace rymd {

struct GameState;
struct Ports;

// a and b, with their spheres, become non-aggression allies (state 2 both ways). Coalitions of
// one against the other dissolve; sieges between them are lifted and captives between bound
// houses released. Unless quiet, a pays a tenth of b's rice yield (funds may go negative).
void MakePeace(GameState& gs, const Ports& ports, int a, int b, bool quiet);

// daimyou, with every house that has it as master, becomes subordinate to master, and its
// relations with the other houses are derived from the master's. Unless quiet, guest generals
// step down, generals in castles of other sides are placed back and sieges between bound
// houses are lifted. False, changing nothing, when master is not independent.
bool MakeJuuzoku(GameState& gs, const Ports& ports, int master, int daimyou, bool quiet);

// The subordinate daimyou becomes master's vassal: its corps are dissolved and its relations
// are derived from the master's. False, changing nothing, unless master is independent and
// daimyou is its subordinate.
bool MakeShinjuu(GameState& gs, int master, int daimyou);


// Dissolves one coalition: tells "反%s連合は消滅しました" (held back during automatic advance)
// and moves the later coalitions down by one.
void RemoveRengou(GameState& gs, const Ports& ports, int rengou);

}  // namespace rymd
