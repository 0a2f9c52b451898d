// Route search over the castle graph and small helpers on the same graph and on corps.
//
// Castles form a graph: each castle's geography record lists the castles it connects to and
// the kind of each link (0 broad road, 1 narrow road, 2 mountain road, 3 sea lane). A route's
// cost is the sum of the link costs (RoadCost, in tenths), except that each change between
// land and sea first raises the cost so far to the next whole multiple of the distance limit
// (one "leg"). Costs are 16-bit: 32767 means unreachable, and every reachable castle costs at
// most 32766.
//
// The "counted house" of a castle is its owner, or the owner's master when the owner is a
// vassal; a negative owner counts as itself.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "game/state/access.h"

namespace rymd {

struct GameState;

inline constexpr std::uint16_t kRouteUnreachable = 32767;
inline constexpr std::uint16_t kRouteCostMax = 32766;

// Modes of the route search.
enum RouteMode : int {
    kRouteAll = 0,        // every link
    kRouteSea = 1,        // sea lanes only
    kRouteLand = 2,       // land links only
    kRouteSeaCostly = 3,  // every link, sea lanes cost at least twice the dearest land link
};

// The reusable work state of the route search: once grown, a search allocates nothing.
// One object serves any number of searches; the free function below keeps one per thread.
//
// The search is a label-correcting search with a stack: the last castle pushed is expanded
// first, its links in list order, and each castle keeps only its best cost, whatever kind of
// link it was reached by. Where a route may change between land and sea the leg rounding makes
// the costs depend on that order, and the search runs exactly so. Where every link the search
// can use is of one class (all land, or all sea: the sea and land modes, and every map without
// sea lanes) no cost is ever rounded, and the search ends with the cheapest cost of every
// castle (at most 32766) whatever its order; those costs are then found cheapest-first, which
// visits each castle once instead of many times.
class RouteSearch {
public:
    enum class Method { None, CheapestFirst, Stack };

    // Fills out[0 .. nShiro-1] with the cost from start to every castle. Only castles counted
    // for the house are passable (house -1: every castle); the start is searched from even
    // when it is not. The corps argument plays no part. A start outside the castle table, or
    // an out array shorter than the castle count, leaves every entry of out at 32767.
    void Calc(const GameState& gs, int daimyou, int start, std::span<std::uint16_t> out, int mode);

    // The same costs into a row that holds 32767 in every one of its nShiro entries on entry:
    // only the castles the search reaches are written, and each is added to reached once (the
    // start first). Setting those entries back to 32767 readies the row for the next search,
    // so a row of a large map costs what the search visits rather than the whole map. A start
    // outside the castle table, or a shorter row, writes nothing.
    void CalcOnCleanRow(const GameState& gs, int daimyou, int start, std::span<std::uint16_t> out, int mode,
                        std::vector<std::uint16_t>& reached);

    // The candidate nearest to the start, as Calc followed by a walk over the candidates in
    // their order keeping the first of the lowest cost would choose (an unreachable candidate
    // counts as cost 32767). Where the costs come cheapest-first the search stops once no
    // castle left can be nearer than the best candidate found, so a near candidate costs a few
    // steps instead of the whole map. -1 when there is no candidate or the start or a
    // candidate lies outside the castle table.
    int Nearest(const GameState& gs, int daimyou, int start, std::span<const int> candidates, int mode);

    // How the last search found its costs (for tests and measurements).
    Method LastMethod() const { return method_; }

private:
    struct Link {
        std::uint16_t shiro;
        std::uint8_t kind;
        std::uint16_t cost;
    };
    struct Entry {
        std::uint16_t shiro;
        std::int16_t kind;  // kind of the link it was reached by; -1 the start
        std::uint16_t cost;
    };

    static void LinkCosts(const GameState& gs, int mode, std::int64_t cost[4]);
    // The links the search may take, castle by castle in list order.
    void CollectLinks(const GameState& gs, int n, int daimyou, int mode);
    // What a search for the nearest candidate looks for: rank_[c] is 1 + the castle's place in
    // the candidate list (0: no candidate); found is the candidate chosen so far.
    struct Goal {
        int found = -1;
        std::uint16_t cost = kRouteUnreachable;
    };
    // Cheapest-first costs; false (out unfinished) as soon as links of both classes are met.
    // With a goal the search ends once every castle as near as the nearest candidate is known,
    // and only those costs are final.
    bool CheapestFirst(const GameState& gs, int n, int daimyou, int mode, int start,
                       std::span<std::uint16_t> out, bool stopOnMixed, Goal* goal = nullptr);
    void StackSearch(int start, std::span<std::uint16_t> out, std::int64_t leg);
    // The searches of Calc on a row of n entries that all hold 32767.
    void Search(const GameState& gs, int n, int daimyou, int start, std::span<std::uint16_t> used, int mode);
    // Lowers out[c] to cost, noting a castle reached for the first time when reached_ is set.
    void Lower(std::span<std::uint16_t> out, std::size_t c, std::uint16_t cost) {
        if (reached_ && out[c] == kRouteUnreachable) reached_->push_back(static_cast<std::uint16_t>(c));
        out[c] = cost;
    }

    std::vector<std::uint32_t> first_;  // first link of each castle in links_; n + 1 entries
    std::vector<Link> links_;
    std::vector<std::uint8_t> passable_;
    std::vector<Entry> stack_;
    std::vector<std::uint32_t> legUp_;  // cost raised to the next whole leg, by cost
    std::int64_t legUpFor_ = 0;         // the leg length legUp_ was worked out for
    std::vector<std::uint32_t> heap_;
    std::vector<std::uint16_t> costs_;  // the costs of a search for the nearest candidate
    std::vector<std::uint32_t> rank_;   // see Goal
    Method method_ = Method::None;
    std::vector<std::uint16_t>* reached_ = nullptr;  // see CalcOnCleanRow
};

void CalcRoadCost(const GameState& gs, int daimyou, int gundan, int start, std::span<std::uint16_t> out,
                  int mode);
// RouteSearch::CalcOnCleanRow on a search object kept for the thread.
void CalcRoadCostOnCleanRow(const GameState& gs, int daimyou, int start, std::span<std::uint16_t> out,
                            int mode, std::vector<std::uint16_t>& reached);

// RouteSearch::Nearest on a search object kept for the thread.
int FindNearestShiro(const GameState& gs, int daimyou, int start, std::span<const int> candidates, int mode);

// The counted house of a house: its master while it is a vassal, else itself. A negative
// house, or one outside the house table, counts as itself.
// (Inline: the planners ask it for every castle and general they look at.)
inline int GetCountedDaimyou(const GameState& gs, int daimyou);
// The counted house of a castle's owner (the castle index must be valid).
inline int GetCountedDaimyouOfShiro(const GameState& gs, int shiro);

// out[c] = 1 for every castle reachable from the start through castles counted for the house
// (the start itself always), else 0. out must hold nShiro entries.
void MarkLinkedShiroOfDaimyou(const GameState& gs, int daimyou, int start, std::span<std::uint8_t> out);

// Calls f(castle, link kind) for each link of the castle, in list order, that names a castle of
// the table.
template <class F>
void ForShiroLinks(const GameState& gs, int shiro, F&& f) {
    for (const ShiroConnection& link : ShiroMapAt(gs, shiro).connect) {
        if (link.shiro == 0xFFFF) break;
        if (IsValidShiro(gs, link.shiro)) f(static_cast<int>(link.shiro), static_cast<int>(link.kind));
    }
}

// Whether some castle of province p has a link to a castle of province q.
bool IsKuniAdjacent(const GameState& gs, int kuniP, int kuniQ);
// Whether the province is the one where the house's head stands (in the castle he stays in) or
// one adjacent to it; false when the house has no head in a castle.
bool IsKuniNearHead(const GameState& gs, int daimyou, int kuni);

// Dissolves a corps: its funds and muskets go to the house, its castles return to the house's
// direct domain under the house head, its generals to the house's direct command, and the
// slot becomes free.
void DisbandGundan(GameState& gs, int gundan);
// Dissolves every corps of the house, slot by slot, as DisbandGundan does: for a house that
// leaves play or passes out of the player's hands, whose corps nobody commands any more. Its
// generals held as captives leave the corps too.
void DisbandGundanOfDaimyou(GameState& gs, int daimyou);

// (x - x0) x (y1 - y0) / (x1 - x0) + y0; 0.5 when x1 = x0.
double LinearInterpolate(double x, double y1, double x1, double y0, double x0);

// Number of castles with a port.
int CountMinatoShiro(const GameState& gs);

inline int GetCountedDaimyou(const GameState& gs, int daimyou) {
    if (!IsValidDaimyou(gs, daimyou)) return daimyou;
    const CDaimyou& d = DaimyouAt(gs, daimyou);
    return d.bond == CDaimyou::kBondShinjuu ? d.masterDaimyou : daimyou;
}

inline int GetCountedDaimyouOfShiro(const GameState& gs, int shiro) {
    return GetCountedDaimyou(gs, ShiroAt(gs, shiro).daimyou);
}

}  // namespace rymd
