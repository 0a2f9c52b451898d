// The strategy planner's warships: the fleets of the plan, and the ships reserved, used and called
// for the troops that sail.
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

void CCpuSenryaku::PlanGunsen() {
    GameState& gs = context_.gs;
    CGunsenTable& table = gs.GunsenTable;
    const int limit = gs.nDistanceLimit;

    // Needs: one ship per 1000 soldiers at each waterway castle, within the 200-ship room.
    MbMisc::CSortInt needs(64);
    for (int c : ownShiro_) {
        if (!Waterway(gs, c) || !InCorps(c) || Blockaded(gs, c)) continue;
        const int t = ShiroAt(gs, c).GetBushouTroops(gs);
        const int freeShips = table.GetFreeGunsenAtShiro(c);
        const int bound = table.GetGunsenAtShiro(c) - freeShips;
        int need = (t * HeiUnit(gs) + kShipLoad - 1) / kShipLoad - bound;
        if (need <= 0) continue;
        if (need + bound > kShipRoom) {
            need = kShipRoom - bound;
            if (need < 1) continue;
        }
        const int use = std::min(need, freeShips);
        if (use > 0) {
            table.PlanGunsenMove(gs, c, -1, c, use, false);
            need -= use;
            if (need < 1) continue;
        }
        needs.AddData(c, need);
    }

    auto fleetUsable = [&](const GunsenRecord& r) {
        return GetCountedDaimyou(gs, r.owner) == daimyou_ && !r.IsBlockade() && r.IsFree() && r.ships > 0 &&
               IsValidShiro(gs, r.shiro) && !Blockaded(gs, r.shiro) && InCorps(r.shiro);
    };
    // A castle within the distance limit of `from` by sea, not blockaded, nearest to `to`.
    auto relay = [&](int from, int to) {
        const auto fromCost = GetRouteCostSea(from);
        const auto toCost = GetRouteCostSea(to);
        int best = -1, bestCost = kUnreachable;
        for (int x : ShiroIndexes(gs)) {
            if (!InCorps(x) || Blockaded(gs, x) || fromCost[static_cast<std::size_t>(x)] > limit) continue;
            if (toCost[static_cast<std::size_t>(x)] < bestCost) {
                best = x;
                bestCost = toCost[static_cast<std::size_t>(x)];
            }
        }
        return best;
    };

    // Redistribution, largest need first, until a sweep changes nothing.
    for (int sweep = 0; sweep < 64 && needs.GetCount() > 0; ++sweep) {
        bool changed = false;
        needs.SortTopLarge(-1);
        for (int i = 0; i < needs.GetCount(); ++i) {
            const int k = needs.GetSort(i);
            const int c = needs.GetItem(i);
            if (k < 1) continue;
            const auto cost = GetRouteCostSea(c);
            int best = -1, bestCost = kUnreachable;
            for (std::uint32_t r = 0; r < table.count; ++r) {
                const GunsenRecord& f = table.records[r];
                if (!fleetUsable(f)) continue;
                if (cost[static_cast<std::size_t>(f.shiro)] < bestCost) {
                    best = static_cast<int>(r);
                    bestCost = cost[static_cast<std::size_t>(f.shiro)];
                }
            }
            if (best < 0) continue;
            const GunsenRecord& f = table.records[static_cast<std::size_t>(best)];
            const int n = std::min<int>(k, f.ships);
            const int fc = f.shiro;
            int destination = c;
            if (bestCost > limit) {
                destination = relay(fc, c);
                if (destination < 0) continue;
            }
            const int before = table.GetFreeGunsenAtShiro(fc);
            table.PlanGunsenMove(gs, fc, -1, destination, n, false);
            if (table.GetFreeGunsenAtShiro(fc) == before) continue;  // nothing could be ordered
            needs.SetSort(i, k - n);
            changed = true;
        }
        if (!changed) break;
    }

    // Idle fleets sail to the castle nearest to them that faces a hostile or blockaded castle
    // over the sea.
    const std::uint32_t records = table.count;
    for (std::uint32_t r = 0; r < records && r < table.count; ++r) {
        const GunsenRecord f = table.records[r];
        if (!fleetUsable(f)) continue;
        const auto cost = GetRouteCostSea(f.shiro);
        int best = -1, bestCost = kUnreachable;
        for (int x : ShiroIndexes(gs)) {
            if (cost[static_cast<std::size_t>(x)] >= bestCost || !InCorps(x) || Blockaded(gs, x)) continue;
            bool faces = false;
            ForLinks(gs, x, [&](int, int y, int kind) {
                if (faces || kind != kConnectSea) return;
                const int owner = ShiroAt(gs, y).daimyou;
                if (EffShiro(y) == daimyou_) {
                    faces = Blockaded(gs, y);
                } else if (IsValidDaimyou(gs, owner)) {
                    faces = Hostile(Relation(gs, daimyou_, owner));
                }
            });
            if (faces) {
                best = x;
                bestCost = cost[static_cast<std::size_t>(x)];
            }
        }
        if (best < 0) continue;
        if (bestCost > limit) {
            best = relay(f.shiro, best);
            if (best < 0) continue;
        }
        table.PlanGunsenMove(gs, f.shiro, f.owner, best, f.ships, false);
    }
}

int CCpuSenryaku::CountGunsenNear(int shiro, std::span<const std::uint16_t> table, int factor) {
    const GameState& gs = context_.gs;
    if (!IsValidShiro(gs, shiro)) return 0;
    if (gundan_ >= 0 && !InCorps(shiro)) return table[static_cast<std::size_t>(shiro)];
    const auto cost = GetRouteCostSea(shiro);
    const long reach = static_cast<long>(factor) * gs.nDistanceLimit;
    int sum = 0;
    for (int x : ShiroIndexes(gs))
        if (table[static_cast<std::size_t>(x)] > 0 && cost[static_cast<std::size_t>(x)] <= reach &&
            cost[static_cast<std::size_t>(x)] < kUnreachable)
            sum += table[static_cast<std::size_t>(x)];
    return sum;
}

void CCpuSenryaku::ReserveGunsen(int shiro, int ships, std::span<std::uint16_t> table) {
    const GameState& gs = context_.gs;
    if (!IsValidShiro(gs, shiro)) return;
    const auto cost = GetRouteCostSea(shiro);
    MbMisc::CSortInt near(16);
    for (int x : ShiroIndexes(gs))
        if (table[static_cast<std::size_t>(x)] > 0 &&
            cost[static_cast<std::size_t>(x)] <= 2 * gs.nDistanceLimit &&
            cost[static_cast<std::size_t>(x)] < kUnreachable)
            near.AddData(x, cost[static_cast<std::size_t>(x)]);
    near.SortTopSmall(-1);
    int rest = ships;
    for (int i = 0; i < near.GetCount() && rest > 0; ++i) {
        std::uint16_t& entry = table[static_cast<std::size_t>(near.GetItem(i))];
        if (entry >= rest) {
            entry = static_cast<std::uint16_t>(entry - rest);
            rest = 0;
        } else {
            rest -= entry;
            entry = 0;
        }
    }
}

void CCpuSenryaku::UseGunsenAt(int shiro, int destination, int ships, std::span<std::uint16_t> table) {
    GameState& gs = context_.gs;
    if (!IsValidShiro(gs, shiro) || ships < 1) return;
    std::uint16_t& entry = table[static_cast<std::size_t>(shiro)];
    entry = static_cast<std::uint16_t>(std::max(0, entry - ships));
    if (IsOwn(shiro)) gs.GunsenTable.PlanGunsenMove(gs, shiro, -1, destination, ships, false);
}

int CCpuSenryaku::CallGunsen(int shiro, int ships, std::span<std::uint16_t> table, int factor) {
    GameState& gs = context_.gs;
    if (!IsValidShiro(gs, shiro) || ships < 1) return 0;
    const int limit = gs.nDistanceLimit;
    const long reach = std::min<long>(static_cast<long>(factor) * limit, kRouteCostMax);
    const auto cost = GetRouteCostSea(shiro);
    MbMisc::CSortInt cands(16);
    for (int c : ownShiro_) {
        if (table[static_cast<std::size_t>(c)] == 0 || !InCorps(c) || Blockaded(gs, c)) continue;
        if (cost[static_cast<std::size_t>(c)] <= reach) cands.AddData(c, cost[static_cast<std::size_t>(c)]);
    }
    cands.SortTopSmall(-1);
    int sent = 0;
    for (int i = 0; i < cands.GetCount(); ++i) {
        const int c = cands.GetItem(i);
        int destination = shiro;
        if (cands.GetSort(i) > limit) {
            const auto fromC = GetRouteCostSea(c);
            int best = -1, bestCost = kUnreachable;
            for (int x : ownShiro_) {
                if (fromC[static_cast<std::size_t>(x)] >= limit) continue;
                if (cost[static_cast<std::size_t>(x)] < bestCost) {
                    best = x;
                    bestCost = cost[static_cast<std::size_t>(x)];
                }
            }
            if (best < 0) continue;
            destination = best;
        }
        std::uint16_t& entry = table[static_cast<std::size_t>(c)];
        if (sent + entry >= ships) {
            const int rest = ships - sent;
            gs.GunsenTable.PlanGunsenMove(gs, c, -1, destination, rest, false);
            entry = static_cast<std::uint16_t>(entry - rest);
            return ships;
        }
        gs.GunsenTable.PlanGunsenMove(gs, c, -1, destination, entry, false);
        sent += entry;
        entry = 0;
    }
    return sent;
}

}  // namespace rymd
