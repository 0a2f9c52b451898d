// Where generals stand: putting a general into a castle, moving him on when his castle is full,
// lost or besieged, the retreat of a besieged castle's defenders, the repair of the links
// between generals, castles and fleets, the kind of link between two castles and the months a
// castle's provisions last.
//
// A general names his castle and, with his besieging flag, whether he stands among its
// besiegers or among its generals; a castle lists at most 20 generals and 20 besiegers. Moving a
// general takes him off his old castle's list (besiegers or generals), sets his castle, clears
// his besieging flag and appends him to the new castle's list when it has room. A general whose
// castle is -1 has no list to leave.
//
// "Own castle" compares ruling houses: a vassal house counts as its master; a negative house
// counts as itself.
#pragma once

#include <span>

namespace rymd {

struct GameState;
struct Ports;
class ShiroOwnerIndex;

// Kinds of link between two castles (GetShiroConnectType).
enum ShiroConnectType : int {
    kConnectBroad = 0,
    kConnectNarrow = 1,
    kConnectMountain = 2,
    kConnectSea = 3,          // sea lane only
    kConnectBroadAndSea = 4,  // a broad road and a sea lane
    kConnectNarrowAndSea = 5,
    kConnectMountainAndSea = 6,
    kConnectNone = 7,
};

// Moves the general to the first castle linked to shiro that is his side's, not besieged and
// lists fewer than 20 generals; with fallback, failing that, to the first linked castle of his
// side with fewer than 20 generals. False, changing nothing, when none qualifies.
bool MoveBushouToAdjacentShiro(GameState& gs, int bushou, int shiro, bool fallback);

// Moves the general to the first castle in table order of his side (for a general whose house
// is negative: the first castle whose owner is that same value); listed only when it has room.
// False, changing nothing, when there is no such castle.
bool MoveBushouToFirstOwnShiro(GameState& gs, int bushou);

// A general arriving at a castle of his own side: placed there when it has room, else moved to
// a linked castle, else to the nearest castle of his side; as a last resort his castle field is
// set to shiro without listing him.
void PlaceBushouInShiro(GameState& gs, int bushou, int shiro);

// Places the general in shiro when it is his side's, not besieged and has room; else in the
// nearest castle of his side by road cost (sea lanes dear when seaCostly): first among castles
// not besieged with room, then among castles with room, then (anyRoom) among all his castles.
// Equal costs go to the castle earlier in the table. False, changing nothing, when his side
// holds no castle that qualifies. With owners (the castles of each house by owner, kept current
// by its holder), the castles of his side are read from the lists of the houses that count for
// it instead of the whole castle table; the choice is the same.
bool RelocateBushou(GameState& gs, int bushou, int shiro, bool anyRoom, bool seaCostly,
                    const ShiroOwnerIndex* owners = nullptr);

// The listed defenders of a besieged castle withdraw to linked castles of the same side: by
// land while there is room, by sea while the castle's warships can carry them (the ships go
// along). With messages, the player's side is told who withdrew and who could not.
void RetreatBushouFromShiro(GameState& gs, const Ports& ports, int shiro, std::span<const int> generals,
                            bool messages);
// The places RetreatBushouFromShiro finds for the castle's generals by land or sea: 20 less the
// generals listed, summed over the linked castles of the castle's side that nobody besieges
// (each linked castle once).
int RetreatRoom(const GameState& gs, int shiro);

// Months the castle's provisions last against its defenders: 1 when the provisions are gone,
// 10000 without defenders, else provisions / (defenders x nHeiUnit) rounded up.
// besiegerTroops -1 takes the besiegers from the castle and gives 1000 at once when nobody
// besieges it; defenders -1 takes the castle's defending strength.
int GetHyourouMonths(const GameState& gs, int shiro, int besiegerTroops, int defenders);

// The kind of link from castle a to castle b in a's connection list (ShiroConnectType).
int GetShiroConnectType(const GameState& gs, int a, int b);

// Ends the siege of a castle: each besieger goes back to the castle his sortie came from (or
// the nearest castle of his side; with none he becomes houseless), and the blockading warships
// withdraw, first carrying the troops home over sea-only links, the rest to their owners'
// nearest castles. False, changing nothing, when nobody besieges the castle.
bool LiftShiroHoui(GameState& gs, int shiro);

// Rebuilds every castle's general and besieger lists and its besieging and blockading houses
// from the generals' own fields. Generals marked to leave play (house -1) are removed and
// those to be archived (house -2) are archived; a general standing in a castle of another side
// is moved to his own side, or removed when his side has no castle for him. Blockade fleets off
// castles nobody besieges withdraw.
void RepairBushouLocations(GameState& gs, const Ports& ports);

// Takes a general out of the castle he stands in or besieges, makes him houseless and clears
// his besieging mark. A head leaves his house without a head (-2).
void RemoveBushouFromHoui(GameState& gs, int bushou);

// Makes the general the guest general of his house; an earlier guest of that house steps
// down and the two exchange their troops. A hostage is placed again first, and returns to
// the house that holds him as a retainer when his own house is gone.
void AppointKyakushou(GameState& gs, int bushou);

}  // namespace rymd
