#include "game/state/route.h"

#include <algorithm>
#include <cstdint>

#include "game/state/access.h"
#include "game/state/game_state.h"

namespace rymd {

namespace {

constexpr int kSeaKind = 3;

RouteSearch& RouteSearchOfThread() {
    thread_local RouteSearch search;
    return search;
}

}  // namespace

void RouteSearch::LinkCosts(const GameState& gs, int mode, std::int64_t cost[4]) {
    // A negative cost could make the search run for ever; none is read from a scenario, and
    // one set otherwise counts as 0. Any cost from 32766 on ends at the 32766 limit, so larger
    // ones are kept at 0xFFFF.
    for (int k = 0; k < 4; ++k)
        cost[k] = std::clamp(gs.RoadCost[static_cast<std::size_t>(k)], 0, 0xFFFF);
    if (mode == kRouteSeaCostly) {
        cost[kSeaKind] = std::min<std::int64_t>(
            0xFFFF, std::max(cost[kSeaKind], 2 * std::max({cost[0], cost[1], cost[2]})));
    }
}

void RouteSearch::CollectLinks(const GameState& gs, int n, int daimyou, int mode) {
    std::int64_t cost[4];
    LinkCosts(gs, mode, cost);
    const bool allPassable = daimyou == -1;
    const bool seaOnly = mode == kRouteSea;
    const bool landOnly = mode == kRouteLand;

    // Passable castles, computed once for all their links.
    passable_.assign(static_cast<std::size_t>(n), 1);
    if (!allPassable) {
        for (int c = 0; c < n; ++c)
            passable_[static_cast<std::size_t>(c)] = GetCountedDaimyouOfShiro(gs, c) == daimyou ? 1 : 0;
    }
    first_.resize(static_cast<std::size_t>(n) + 1);
    links_.clear();
    for (int a = 0; a < n; ++a) {
        first_[static_cast<std::size_t>(a)] = static_cast<std::uint32_t>(links_.size());
        const auto& connect = ShiroMapAt(gs, a).connect;
        for (int j = 0; j < ShiroMapRecord::kMaxConnection; ++j) {
            const ShiroConnection& link = connect[static_cast<std::size_t>(j)];
            const int b = link.shiro;
            if (b == 0xFFFF) break;
            const int k = link.kind;
            if (b >= n || k > kSeaKind || passable_[static_cast<std::size_t>(b)] == 0) continue;
            if (seaOnly ? k != kSeaKind : (landOnly && k == kSeaKind)) continue;
            links_.push_back({static_cast<std::uint16_t>(b), static_cast<std::uint8_t>(k),
                              static_cast<std::uint16_t>(cost[k])});
        }
    }
    first_[static_cast<std::size_t>(n)] = static_cast<std::uint32_t>(links_.size());
}

bool RouteSearch::CheapestFirst(const GameState& gs, int n, int daimyou, int mode, int start,
                                std::span<std::uint16_t> out, bool stopOnMixed, Goal* goal) {
    std::int64_t cost[4];
    LinkCosts(gs, mode, cost);
    const bool allPassable = daimyou == -1;
    const bool seaOnly = mode == kRouteSea;
    const bool landOnly = mode == kRouteLand;
    // Heap keys: cost x 16384 + castle (castle indexes stay below 16384).
    static_assert(GameState::kMaxShiro <= 16384);
    heap_.clear();
    Lower(out, static_cast<std::size_t>(start), 0);
    heap_.push_back(static_cast<std::uint32_t>(start));
    bool sawSea = false;
    bool sawLand = false;
    while (!heap_.empty()) {
        std::pop_heap(heap_.begin(), heap_.end(), std::greater<std::uint32_t>());
        const std::uint32_t key = heap_.back();
        heap_.pop_back();
        const int a = static_cast<int>(key & 16383u);
        const std::int64_t v = key >> 14;
        if (v > out[static_cast<std::size_t>(a)]) continue;
        if (goal) {
            // Castles come off the heap by cost: past the best candidate's cost none can be
            // nearer, and among equal costs the earlier candidate wins.
            if (goal->found >= 0 && v > goal->cost) return true;
            const std::uint32_t rank = rank_[static_cast<std::size_t>(a)];
            if (rank != 0 && (goal->found < 0 || rank < rank_[static_cast<std::size_t>(goal->found)])) {
                goal->found = a;
                goal->cost = static_cast<std::uint16_t>(v);
            }
        }
        const auto& connect = ShiroMapAt(gs, a).connect;
        for (int j = 0; j < ShiroMapRecord::kMaxConnection; ++j) {
            const ShiroConnection& link = connect[static_cast<std::size_t>(j)];
            const int b = link.shiro;
            if (b == 0xFFFF) break;
            const int k = link.kind;
            if (b >= n || k > kSeaKind) continue;
            if (seaOnly ? k != kSeaKind : (landOnly && k == kSeaKind)) continue;
            if (!allPassable && GetCountedDaimyouOfShiro(gs, b) != daimyou) continue;
            (k == kSeaKind ? sawSea : sawLand) = true;
            if (stopOnMixed && sawSea && sawLand) return false;
            const std::int64_t next = std::min<std::int64_t>(v + cost[k], kRouteCostMax);
            if (next < out[static_cast<std::size_t>(b)]) {
                Lower(out, static_cast<std::size_t>(b), static_cast<std::uint16_t>(next));
                heap_.push_back(static_cast<std::uint32_t>(next) << 14 | static_cast<std::uint32_t>(b));
                std::push_heap(heap_.begin(), heap_.end(), std::greater<std::uint32_t>());
            }
        }
    }
    return true;
}

void RouteSearch::StackSearch(int start, std::span<std::uint16_t> out, std::int64_t leg) {
    // The cost so far raised to the next whole leg above it, for every cost a castle can hold
    // (kept at 0xFFFF once beyond the limit), worked out once for each leg length.
    if (legUpFor_ != leg) {
        legUp_.resize(kRouteCostMax + 1);
        for (std::int64_t v = 0; v <= kRouteCostMax; ++v)
            legUp_[static_cast<std::size_t>(v)] =
                static_cast<std::uint32_t>(std::min<std::int64_t>((v / leg + 1) * leg, 0xFFFF));
        legUpFor_ = leg;
    }
    // The work list grows as needed: every improvement is searched further.
    stack_.clear();
    Lower(out, static_cast<std::size_t>(start), 0);
    stack_.push_back({static_cast<std::uint16_t>(start), -1, 0});
    while (!stack_.empty()) {
        const Entry e = stack_.back();
        stack_.pop_back();
        if (e.cost > out[e.shiro]) continue;  // a cheaper way was found since it was pushed
        const std::uint32_t v = e.cost;
        const bool bySea = e.kind == kSeaKind;
        const bool atStart = e.kind == -1;
        for (std::uint32_t i = first_[e.shiro]; i < first_[static_cast<std::size_t>(e.shiro) + 1]; ++i) {
            const Link& link = links_[i];
            // Changing between land and sea raises the cost so far to the next whole leg above
            // it, even when it already is a whole number of legs.
            const bool change = !atStart && bySea != (link.kind == kSeaKind);
            std::uint32_t next = (change ? legUp_[v] : v) + link.cost;
            if (next > kRouteCostMax) next = kRouteCostMax;
            if (next < out[link.shiro]) {
                Lower(out, link.shiro, static_cast<std::uint16_t>(next));
                stack_.push_back(
                    {link.shiro, static_cast<std::int16_t>(link.kind), static_cast<std::uint16_t>(next)});
            }
        }
    }
}

void RouteSearch::Calc(const GameState& gs, int daimyou, int start, std::span<std::uint16_t> out, int mode) {
    method_ = Method::None;
    const int n = ShiroCount(gs);
    if (out.size() < static_cast<std::size_t>(n)) {
        std::fill(out.begin(), out.end(), kRouteUnreachable);
        return;
    }
    const auto used = out.first(static_cast<std::size_t>(n));
    std::fill(used.begin(), used.end(), kRouteUnreachable);
    Search(gs, n, daimyou, start, used, mode);
}

void RouteSearch::CalcOnCleanRow(const GameState& gs, int daimyou, int start, std::span<std::uint16_t> out,
                                 int mode, std::vector<std::uint16_t>& reached) {
    method_ = Method::None;
    const int n = ShiroCount(gs);
    if (out.size() < static_cast<std::size_t>(n)) return;
    reached_ = &reached;
    Search(gs, n, daimyou, start, out.first(static_cast<std::size_t>(n)), mode);
    reached_ = nullptr;
}

void RouteSearch::Search(const GameState& gs, int n, int daimyou, int start, std::span<std::uint16_t> used,
                         int mode) {
    if (start < 0 || start >= n) return;
    const bool oneClass = mode == kRouteSea || mode == kRouteLand;
    const std::size_t before = reached_ ? reached_->size() : 0;
    if (CheapestFirst(gs, n, daimyou, mode, start, used, !oneClass)) {
        method_ = Method::CheapestFirst;
        return;
    }
    // Land and sea both lie on the way: the order of the search decides the costs. What the
    // first search wrote goes back to unreachable (only the castles it reached, when it noted
    // them).
    if (reached_) {
        for (std::size_t i = before; i < reached_->size(); ++i)
            used[(*reached_)[i]] = kRouteUnreachable;
        reached_->resize(before);
    } else {
        std::fill(used.begin(), used.end(), kRouteUnreachable);
    }
    CollectLinks(gs, n, daimyou, mode);
    StackSearch(start, used, std::max(1, gs.nDistanceLimit));
    method_ = Method::Stack;
}

int RouteSearch::Nearest(const GameState& gs, int daimyou, int start, std::span<const int> candidates,
                         int mode) {
    const int n = ShiroCount(gs);
    if (candidates.empty() || start < 0 || start >= n) return -1;
    for (int c : candidates)
        if (c < 0 || c >= n) return -1;
    costs_.assign(static_cast<std::size_t>(n), kRouteUnreachable);
    rank_.assign(static_cast<std::size_t>(n), 0);
    for (std::size_t i = candidates.size(); i-- > 0;)
        rank_[static_cast<std::size_t>(candidates[i])] = static_cast<std::uint32_t>(i + 1);

    // Stopping early is exact while every link met is of one class: the stack search, which
    // the full search would fall back on when it meets both classes further out, finds the same
    // costs for every castle up to the nearest candidate's and none lower beyond them.
    const bool oneClass = mode == kRouteSea || mode == kRouteLand;
    Goal goal;
    if (CheapestFirst(gs, n, daimyou, mode, start, costs_, !oneClass, &goal)) {
        method_ = Method::CheapestFirst;
        // No candidate reachable: all cost 32767 and the first one is kept.
        return goal.found >= 0 ? goal.found : candidates.front();
    }
    Calc(gs, daimyou, start, costs_, mode);
    int best = candidates.front();
    for (int c : candidates)
        if (costs_[static_cast<std::size_t>(c)] < costs_[static_cast<std::size_t>(best)]) best = c;
    return best;
}

void CalcRoadCost(const GameState& gs, int daimyou, int gundan, int start, std::span<std::uint16_t> out,
                  int mode) {
    RouteSearchOfThread().Calc(gs, daimyou, start, out, mode);
}

void CalcRoadCostOnCleanRow(const GameState& gs, int daimyou, int start, std::span<std::uint16_t> out,
                            int mode, std::vector<std::uint16_t>& reached) {
    RouteSearchOfThread().CalcOnCleanRow(gs, daimyou, start, out, mode, reached);
}

int FindNearestShiro(const GameState& gs, int daimyou, int start, std::span<const int> candidates, int mode) {
    return RouteSearchOfThread().Nearest(gs, daimyou, start, candidates, mode);
}

void MarkLinkedShiroOfDaimyou(const GameState& gs, int daimyou, int start, std::span<std::uint8_t> out) {
    const int n = std::min(ShiroCount(gs), static_cast<int>(out.size()));
    std::fill(out.begin(), out.begin() + n, std::uint8_t{0});
    if (start < 0 || start >= n) return;
    // The set of castles the repeated sweeps reach is the set a walk from the start reaches.
    std::vector<int> open;
    open.push_back(start);
    out[static_cast<std::size_t>(start)] = 1;
    while (!open.empty()) {
        const int a = open.back();
        open.pop_back();
        for (const ShiroConnection& link : ShiroMapAt(gs, a).connect) {
            if (link.shiro == 0xFFFF) break;
            const int b = link.shiro;
            if (b >= n || out[static_cast<std::size_t>(b)] != 0) continue;
            if (GetCountedDaimyouOfShiro(gs, b) != daimyou) continue;
            out[static_cast<std::size_t>(b)] = 1;
            open.push_back(b);
        }
    }
}

bool IsKuniAdjacent(const GameState& gs, int kuniP, int kuniQ) {
    const int n = ShiroCount(gs);
    for (int a = 0; a < n; ++a) {
        const ShiroMapRecord& map = ShiroMapAt(gs, a);
        if (map.kuni != kuniP) continue;
        for (int j = 0; j < ShiroMapRecord::kMaxConnection; ++j) {
            const int b = map.connect[static_cast<std::size_t>(j)].shiro;
            if (b == 0xFFFF) break;
            if (b < n && ShiroMapAt(gs, b).kuni == kuniQ) return true;
        }
    }
    return false;
}

bool IsKuniNearHead(const GameState& gs, int daimyou, int kuni) {
    if (!IsValidDaimyou(gs, daimyou)) return false;
    const int head = DaimyouAt(gs, daimyou).toushu;
    if (!IsValidBushou(gs, head) || !IsValidShiro(gs, BushouAt(gs, head).shiro)) return false;
    const int headKuni = ShiroMapAt(gs, BushouAt(gs, head).shiro).kuni;
    return headKuni == kuni || IsKuniAdjacent(gs, headKuni, kuni);
}

void DisbandGundan(GameState& gs, int gundan) {
    if (!IsValidGundan(gundan)) return;
    CGundan& corps = GundanAt(gs, gundan);
    const int owner = corps.daimyou;
    if (IsValidDaimyou(gs, owner)) {
        CDaimyou& house = DaimyouAt(gs, owner);
        // Held at the ends of their range: an event may have set the house's funds to one.
        house.shikin = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{house.shikin} + corps.shikin, INT32_MIN, INT32_MAX));
        house.teppou = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{house.teppou} + corps.teppou, INT32_MIN, INT32_MAX));
        corps.shikin = 0;
        corps.teppou = 0;
        // The castles go back to the house's head as it stands: -2 (a house that holds castles
        // but has no general yet) stays -2.
        const int head = house.toushu;
        const int n = ShiroCount(gs);
        for (int c = 0; c < n; ++c) {
            CShiro& shiro = ShiroAt(gs, c);
            if (shiro.daimyou == owner && shiro.gundan == gundan) {
                shiro.gundan = -1;
                shiro.commander = static_cast<std::int16_t>(head);
            }
        }
    }
    const int nBushou = BushouCount(gs);
    for (int g = 0; g < nBushou; ++g) {
        CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (b.daimyou != -1 && b.gundan == gundan) b.gundan = -1;
    }
    corps.leader = CGundan::kLeaderFree;
    corps.daimyou = -1;
}

void DisbandGundanOfDaimyou(GameState& gs, int daimyou) {
    for (int k = 0; k < GameState::kMaxGundan; ++k) {
        const CGundan& corps = gs.GundanTbl[static_cast<std::size_t>(k)];
        if (corps.leader != CGundan::kLeaderFree && corps.daimyou == daimyou) DisbandGundan(gs, k);
    }
}

double LinearInterpolate(double x, double y1, double x1, double y0, double x0) {
    if (x1 == x0) return 0.5;
    return (x - x0) * (y1 - y0) / (x1 - x0) + y0;
}

int CountMinatoShiro(const GameState& gs) {
    const int n = ShiroCount(gs);
    int count = 0;
    for (int c = 0; c < n; ++c)
        if (ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagPort) ++count;
    return count;
}

}  // namespace rymd
