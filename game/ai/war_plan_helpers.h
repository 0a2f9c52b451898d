// Small tests on castles, generals and houses shared by the strategy and attack planners.
#pragma once

#include <algorithm>
#include <vector>

#include "game/state/access.h"
#include "game/state/route.h"
#include "mbmisc/sort_int.h"

namespace rymd::warplan {

inline constexpr int kShipLoad = 1000;  // soldiers a warship carries
inline constexpr int kUnreachable = kRouteUnreachable;
inline constexpr int kRoster = CShiro::kMaxBushou;           // generals a castle lists
inline constexpr int kShipRoom = CGunsenTable::kShiroLimit;  // warships a castle holds

inline bool Besieged(const GameState& gs, int c) {
    return ShiroAt(gs, c).nBesieger != 0;
}
inline bool Blockaded(const GameState& gs, int c) {
    return ShiroAt(gs, c).blockadeDaimyou != -1;
}
inline bool Waterway(const GameState& gs, int c) {
    return (ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagWaterway) != 0;
}
inline int Troops(const CBushou& b) {
    return b.cavalry + b.foot;
}
inline int Weighted(const CBushou& b) {
    return 3 * b.cavalry + b.foot;
}
// Ships for the troops (units x soldier unit), one per 1000 soldiers rounded up, at least 1.
inline int ShipsFor(const GameState& gs, int troops) {
    return std::max(1, (troops * HeiUnit(gs) + kShipLoad - 1) / kShipLoad);
}
// The relation state house a keeps toward house b. A house outside the table (the owner of an
// ownerless castle) reads as a vassal bond: neither hostile nor friendly.
inline int Relation(const GameState& gs, int a, int b) {
    if (!IsValidDaimyou(gs, a)) return CDaimyou::kRelShinjuu;
    return DaimyouAt(gs, a).GetRelationLo(b);
}
inline bool Hostile(int relation) {
    return relation == CDaimyou::kRelShukuteki || relation == CDaimyou::kRelNothing;
}
// Calls f(position, castle, link kind) for each link of the castle, in list order, that names
// a castle of the table.
template <typename F>
void ForLinks(const GameState& gs, int c, F&& f) {
    const ShiroMapRecord& m = ShiroMapAt(gs, c);
    const int n = m.ConnectionCount();
    for (int i = 0; i < n; ++i) {
        const ShiroConnection& l = m.connect[static_cast<std::size_t>(i)];
        if (IsValidShiro(gs, l.shiro)) f(i, static_cast<int>(l.shiro), static_cast<int>(l.kind));
    }
}
inline bool IsLinked(const GameState& gs, int a, int b) {
    bool found = false;
    ForLinks(gs, a, [&](int, int n, int) { found = found || n == b; });
    return found;
}
// The listed generals (or besiegers) of a castle that name a general of the table.
template <typename F>
void ForListed(const GameState& gs, int c, bool besiegers, F&& f) {
    const CShiro& s = ShiroAt(gs, c);
    const int n = std::clamp<int>(besiegers ? s.nBesieger : s.nBushou, 0, CShiro::kMaxBushou);
    for (int j = 0; j < n; ++j) {
        const int g =
            besiegers ? s.besieger[static_cast<std::size_t>(j)] : s.bushou[static_cast<std::size_t>(j)];
        if (IsValidBushou(gs, g)) f(g);
    }
}
// The strongest `count` of the generals that besiege nowhere, strongest first: the striking force
// the siege estimates assume.
inline std::vector<int> StrikeForce(const GameState& gs, const std::vector<int>& generals, int count) {
    MbMisc::CSortInt strongest(64);
    for (int g : generals) {
        const CBushou& b = BushouAt(gs, g);
        if ((b.flags & CBushou::kFlagBesieging) == 0) strongest.AddData(g, Troops(b));
    }
    strongest.SortTopLarge(count);
    std::vector<int> force;
    for (int i = 0; i < std::min(count, strongest.GetCount()); ++i)
        force.push_back(strongest.GetItem(i));
    return force;
}

}  // namespace rymd::warplan
