// The player's diplomacy commands once their counterpart is chosen: the envoy goes, the player is
// told the answer through the ports, and the houses dealt with are marked for the rest of the
// diplomacy phase (GameState::GaikouDealt). An accepted change of master or application bars
// every further change of master, application and independence in this phase
// (GameState::bGaikouBarred); independence itself does not.
//
// What refuses a command before its counterpart is chosen (the kind of the player's house, the
// bar) is checked by the command surface; the counterpart by CheckKoushouAite (counterpart.h).
#pragma once

#include <string>

namespace rymd {

struct GameState;
struct Ports;

// The commands of the diplomacy phase, in the order of the command buttons.
enum GaikouCommand : int {
    kGaikouFusenDoumei = 0,     // propose non-aggression
    kGaikouJuuzokuYoukyuu = 1,  // demand subordination
    kGaikouShinjuuYoukyuu = 2,  // demand vassalage of a subordinate
    kGaikouKankeiHaki = 3,      // break a bond
    kGaikouDokuritsu = 4,       // leave the master
    kGaikouKuragae = 5,         // change masters
    kGaikouJuuzokuShigan = 6,   // apply to become a subordinate
    kGaikouShinjuuShigan = 7,   // apply to become a vassal
};

// The counterpart mode (counterpart.h) in which a command chooses its house; -2 for
// independence, which chooses none (it addresses the master).
int KoushouModeOfCommand(int command);

struct GaikouResult {
    bool accepted = false;
    // A demand of vassalage accepted: the notice the player is shown (its own dialog, not a
    // message), "%sは当家に臣従しました".
    std::string shinjuuNotice;
};

// A proposal (non-aggression, demand of subordination, demand of vassalage) to the target;
// the result is told ("%sと不戦同盟を結びました", then "当家は%sとの交易を開始しました" for a
// neighbour of normal behaviour; "%sは従属要求に応じませんでした", ...) but for the notice of an
// accepted vassalage, which is returned.
GaikouResult ProposeToHouse(GameState& gs, const Ports& ports, int command, int target);

// Breaks the bond with the house: "%sとの外交関係を破棄しました", the bond ends, and every corps
// whose leader no longer belongs to it gets a successor.
void BreakBondWith(GameState& gs, const Ports& ports, int house);

// Asks "%sから独立しますか？" and on Yes leaves the master. True when the house became independent.
bool DeclarePlayerDokuritsu(GameState& gs, const Ports& ports);

// A request of the player's house (change of master, application for subordination or
// vassalage) to the house; the answer is told.
GaikouResult RequestOfHouse(GameState& gs, const Ports& ports, int command, int house);

}  // namespace rymd
