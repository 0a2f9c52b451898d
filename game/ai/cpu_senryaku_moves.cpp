// The strategy planner's single moves: a general sent toward a castle or into one, and the
// generals placed for domestic work.
#include "game/ai/cpu_senryaku.h"

#include "game/ai/war_plan_helpers.h"

#include <algorithm>

#include "game/military/placement.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

bool CCpuSenryaku::MoveBushouToward(int daimyou, int target, int bushou) {
    return MoveBushouImpl(daimyou, target, bushou, true);
}

bool CCpuSenryaku::MoveBushouToShiro(int daimyou, int shiro, int bushou) {
    return MoveBushouImpl(daimyou, shiro, bushou, false);
}

bool CCpuSenryaku::MoveBushouImpl(int daimyou, int target, int bushou, bool toward) {
    GameState& gs = context_.gs;
    if (!IsValidBushou(gs, bushou) || !IsValidShiro(gs, target)) return false;
    CBushou& b = BushouAt(gs, bushou);
    const int o = b.shiro;
    if (!IsValidShiro(gs, o)) return false;
    const bool besieging = (b.flags & CBushou::kFlagBesieging) != 0;
    if (toward && !besieging && IsLinked(gs, o, target)) {
        // Already next to the target: he waits where he is.
        b.flags |= CBushou::kFlagOrdered;
        AppendArrival(o, bushou);
        return true;
    }
    const int limit = gs.nDistanceLimit;
    std::vector<std::uint16_t> freeShips;
    std::vector<Hop> path;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && !Waterway(gs, o)) return false;
        const auto targetCost = pass == 0 ? GetRouteCostSeaFar(target) : GetRouteCostAll(target);
        const auto ownCost = pass == 0 ? GetRouteCostLand(o) : GetRouteCostAll(o);
        int best[3] = {-1, -1, -1};
        int bestCost[3] = {kUnreachable, kUnreachable, kUnreachable};
        for (int x : ownShiro_) {
            if (EffShiro(x) != daimyou || ownCost[static_cast<std::size_t>(x)] > limit) continue;
            const CShiro& sx = ShiroAt(gs, x);
            if (sx.nBesieger != 0 || sx.nArrival >= kRoster) continue;
            int cls = 2, key = targetCost[static_cast<std::size_t>(x)];
            if (toward) {
                const int k = GetShiroConnectType(gs, x, target);
                if (k != kConnectSea && k != kConnectNone) {
                    cls = 0;
                    key = ownCost[static_cast<std::size_t>(x)];
                } else if (k == kConnectSea) {
                    cls = 1;
                    key = ownCost[static_cast<std::size_t>(x)];
                }
            }
            if (key < bestCost[cls]) {
                best[cls] = x;
                bestCost[cls] = key;
            }
        }
        const int x = best[0] >= 0 ? best[0] : best[1] >= 0 ? best[1] : best[2];
        if (x < 0 || x == o) continue;
        if (pass == 1) {
            if (TraceRoute(o, x, path, kRouteAll) < 1) continue;
            if (path.front().kind == kConnectSea) {
                const int need = ShipsFor(gs, Troops(b) + SumHeiOfShiroBushouByTarget(gs, o, x));
                const int moving = gs.GunsenTable.GetGunsenMovingBetween(o, x);
                if (need > moving) {
                    if (freeShips.empty()) {
                        freeShips.assign(static_cast<std::size_t>(ShiroCount(gs)), 0);
                        gs.GunsenTable.GetFreeGunsenForGundan(gs, freeShips, gundan_);
                    }
                    const int shortfall = need - moving;
                    const int here = freeShips[static_cast<std::size_t>(o)];
                    if (here >= shortfall) {
                        UseGunsenAt(o, x, shortfall, freeShips);
                    } else {
                        CallGunsen(o, shortfall - here, freeShips, 10000);
                        continue;
                    }
                }
            }
        }
        OrderMove(bushou, x);
        return true;
    }
    return false;
}

void CCpuSenryaku::PlaceNaiseiBushou(int daimyou, int gundan) {
    GameState& gs = context_.gs;
    if (!IsValidGundan(gundan)) return;
    const CGundan& corps = GundanAt(gs, gundan);
    // Politicians of the corps, best first (a general already ordered or besieging stays).
    std::vector<int> pool;
    for (int g : index_.BushouOf(daimyou))
        if (IsPlanFree(g)) pool.push_back(g);
    CSortList generals(static_cast<int>(pool.size()));
    for (std::size_t i = 0; i < pool.size(); ++i)
        generals.Set(static_cast<int>(i), pool[i], BushouAt(gs, pool[i]).seiji);
    generals.SortLarge();

    const int nKuni = std::clamp(gs.nKuni, 0, GameState::kMaxKuni);
    CSortList kuni(nKuni);
    for (int p = 0; p < nKuni; ++p)
        kuni.Set(p, p, 0);
    const bool riceMonth = gs.nCurMonth <= 2 || gs.nCurMonth >= 9;
    std::vector<std::vector<int>> ownInKuni(static_cast<std::size_t>(nKuni));
    for (int c : ShiroIndexes(gs)) {
        const ShiroMapRecord& m = ShiroMapAt(gs, c);
        if (m.kuni >= nKuni) continue;
        if (EffShiro(c) == daimyou) ownInKuni[m.kuni].push_back(c);
        if (!corps.IsShiroInTantouKuni(gs, c)) {
            kuni.SetKey(m.kuni, -1);
            continue;
        }
        const CShiro& s = ShiroAt(gs, c);
        if (s.daimyou != daimyou || kuni.Key(m.kuni) < 0) continue;
        int key = kuni.Key(m.kuni);
        if (s.keizai < m.maxKeizai - 10) ++key;
        if (riceMonth &&
            static_cast<std::int64_t>(s.kokudaka) < static_cast<std::int64_t>(m.maxKokudaka) - 1000)
            ++key;
        kuni.SetKey(m.kuni, key);
    }
    kuni.SortLarge();

    int gi = 0;
    for (int pi = 0; pi < kuni.Count() && gi < generals.Count(); ++pi) {
        if (kuni.Key(pi) < 1) break;
        const int p = kuni.Id(pi);
        const int g = generals.Id(gi);
        const int o = BushouAt(gs, g).shiro;
        if (!IsValidShiro(gs, o)) {
            ++gi;
            continue;
        }
        if (ShiroMapAt(gs, o).kuni == p) {
            ++gi;
            continue;
        }
        const auto cost = GetRouteCostLand(o);
        int best = -1, bestCost = kUnreachable;
        for (int x : ownInKuni[static_cast<std::size_t>(p)])
            if (cost[static_cast<std::size_t>(x)] < bestCost) {
                best = x;
                bestCost = cost[static_cast<std::size_t>(x)];
            }
        if (best >= 0) {
            MoveBushouToShiro(daimyou, best, g);
            ++gi;
        }
    }
}

}  // namespace rymd
