// The player's sortie orders: which castle an army may leave from and march on, which generals
// may go and how many, and the order written into each chosen general.
//
// The sortie dialog asks these in turn: the origin (a castle of the player's side, not besieged,
// in the province of the house head or next to it), the target (linked to the origin by the
// route of the sortie's kind and passing the six checks below), then the generals (those of the
// origin under the house's direct command not yet ordered this month, at most as many as the
// target may still receive). The war phase carries the orders out at the end of the sortie
// phase, as it does the computer houses' orders.
//
// The messages are the game's own texts, re-worded by the scenario's vocabulary.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace rymd {

struct GameState;

// A castle, a sortie army or a move may hold or expect at most this many generals.
inline constexpr int kSortieBushouMax = 20;

// What a click on a castle does while the origin is awaited.
enum class SortieOrigin {
    kAccepted,  // a castle of the player's side that nobody besieges
    kTooFar,    // outside the head's province and its neighbours: the message tells so
    kIgnored,   // any other castle: nothing happens, nothing is said
};
SortieOrigin CheckSortieOrigin(const GameState& gs, int player, int shiro);
// "当主の所在地から遠すぎるため、出陣指示できません\n（当主と同じ国か、隣接国のみ出陣指示可能です）"
extern const char* const kSortieTooFarMessage;

// The link kind from the origin to the castle (0, 1, 2 land roads, 3 sea; -1 not linked): the
// kind of the sortie wins where the two castles are linked both ways.
int SortieLinkKind(const GameState& gs, int origin, int shiro, bool water);

// The first of the six target checks that fails, as its message; "" when the castle may be
// attacked: linked to the origin; linked by water (water sortie) or by land (land sortie); not a
// castle of a bonded house unless somebody besieges it; not besieged by a house bonded with the
// player; not a castle of a house that may not be attacked.
std::string CheckSortieTarget(const GameState& gs, int player, int origin, int shiro, bool water);

// The most generals that may be chosen for a sortie on the target (sortie) or a move to it
// (move); at most kSortieBushouMax, and 0 or less when the target is full.
int SortieBushouLimit(const GameState& gs, int player, int target);
int MoveBushouLimit(const GameState& gs, int player, int target);

// The generals that may be chosen at the origin, in list order: its stationed generals when it is
// a castle of the player's side, else its besiegers; of them those under the house's direct
// command (no corps) not yet ordered this month.
std::vector<int> SelectableBushou(const GameState& gs, int player, int origin);

// The refusal of a choice of generals ("" when it may go): none chosen, or more than the limit.
std::string CheckBushouChoice(const GameState& gs, int chosen, int limit, bool sortie);

// Orders each general to the target: his destination, his origin (the castle he stands in), the
// mark of an order this month, and the by-water mark set for a water sortie, cleared for a land
// one. Indexes that name no general are skipped.
void WriteSortieOrder(GameState& gs, std::span<const int> bushou, int target, bool water);

// ---- Moves of generals (the strategy phase) ----------------------------------------------------
//
// The player moves generals from a castle of the player's side (or from the army besieging a
// castle) to another castle of the player's side, by land or by water, within the distance
// limit. The move waits in each general until the end of the strategy phase; by water the
// warships sail with them.

// What a click on a castle does while the origin of a move is awaited.
enum class MoveOriginKind {
    kOwn,      // a castle of the player's side: the generals leave its garrison
    kSiege,    // a castle the player's house besieges: the generals leave the besieging army
    kRefused,  // the message tells why, or nothing is said when it is empty
};
struct MoveOrigin {
    MoveOriginKind kind = MoveOriginKind::kRefused;
    std::string message;
};
MoveOrigin CheckMoveOrigin(const GameState& gs, int player, int shiro, bool water);

// The route cost from the origin to every castle (32767 unreachable) over the castles of the
// player's side, by sea links (water) or land links only; the origin itself is always passable.
std::vector<std::uint16_t> MoveRouteCosts(const GameState& gs, int player, int origin, bool water);

// The first of the four target checks that fails, as its message; "" when the generals may go:
// a castle of the player's side, not besieged (land) or blockaded (water), and no further than
// the distance limit by the route costs (a cost equal to the limit passes).
std::string CheckMoveTarget(const GameState& gs, int player, int shiro, bool water,
                            std::span<const std::uint16_t> costs);

// The pending move of each general: bound for the target, ordered this month, no longer among
// the besiegers. Indexes that name no general are skipped.
void WriteMoveOrder(GameState& gs, std::span<const int> bushou, int target);

}  // namespace rymd
