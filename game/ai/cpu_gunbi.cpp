#include "game/ai/cpu_gunbi.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "game/ai/plan_unit.h"
#include "game/domestic/castle_economy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"

namespace rymd {

namespace {

// The generals of the unit: the house's own generals (all of them for a vassal house, else those
// of the planned corps) and the guest generals counted for the house in the planned corps.
std::vector<int> CollectBushou(const GameState& gs, const HouseIndex& index, int daimyou, int gundan) {
    std::vector<int> out;
    const bool shinjuu = DaimyouAt(gs, daimyou).bond == CDaimyou::kBondShinjuu;
    for (int b : index.MemberBushou(daimyou)) {
        const CBushou& g = BushouAt(gs, b);
        if (g.status != CBushou::kStatusKyakushou && (shinjuu || g.gundan == gundan)) out.push_back(b);
    }
    const std::size_t own = out.size();
    for (int b : index.KyakushouOf(daimyou))
        if (BushouAt(gs, b).gundan == gundan) out.push_back(b);
    // In table order, as one pass over the table would find them.
    std::inplace_merge(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(own), out.end());
    return out;
}

// Of those, the generals who can take soldiers or muskets now: not besieging, and not in a
// castle under siege.
std::vector<int> FreeBushou(const GameState& gs, const std::vector<int>& bushou) {
    std::vector<int> out;
    for (int b : bushou) {
        const CBushou& g = BushouAt(gs, b);
        if (!(g.flags & CBushou::kFlagBesieging) && !IsShiroBesieged(gs, g.shiro)) out.push_back(b);
    }
    return out;
}

std::int16_t ToI16(std::int64_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX));
}

// Money kept aside for the domestic planner: its first trade ship when the unit's ports have none.
bool NeedsFirstKouekisen(const GameState& gs, const HouseIndex& index, int daimyou, int gundan) {
    bool port = false;
    bool ship = false;
    ForShiroOfGundan(gs, daimyou, gundan, &index, [&](int c, const CShiro& s) {
        if (!(ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagPort)) return;
        port = true;
        ship = ship || s.kouekisen > 0;
    });
    return port && !ship;
}

// The unit pays from its funds and from the spare money set aside for armament.
void PayFromSpare(PlanUnit& unit, std::int64_t& spare, std::int64_t amount) {
    unit.Pay(amount);
    spare -= amount;
}

// Castle works on the front line, once a month per castle.
void EnlargeFrontCastles(GameState& gs, PlanUnit& unit, std::int64_t& spare) {
    for (int c : unit.Shiro()) {
        CShiro& s = ShiroAt(gs, c);
        if (s.nBesieger > 0 || s.kibo > gs.ShiroSnapTbl[static_cast<std::size_t>(c)].kibo) continue;
        if (s.kibo >= ShiroMapAt(gs, c).maxKibo || !IsShiroOnFront(gs, c)) continue;
        const std::int64_t cost = std::int64_t{s.kibo} * 1000;
        const bool enlarge =
            s.kibo < 5 ? static_cast<double>(cost) * 1.5 <= static_cast<double>(spare) : spare >= cost * 3;
        if (!enlarge) continue;
        ++s.kibo;
        PayFromSpare(unit, spare, cost);
    }
}

// Provisions of the front line up to half the capacity (a castle on a waterway is supplied while
// no warship blockades it, even under siege), then up to the capacity from the spare money.
void StockFrontProvisions(GameState& gs, PlanUnit& unit, std::int64_t& spare) {
    const std::int64_t perSize = std::max(gs.nShiroHyourouMax, 0);
    for (int c : unit.Shiro()) {
        CShiro& s = ShiroAt(gs, c);
        const bool waterway = ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagWaterway;
        if (s.nBesieger > 0 && (!waterway || gs.GunsenTable.GetBlockadeGunsenAtShiro(c) != 0)) continue;
        if (!IsShiroOnFront(gs, c)) continue;
        const std::int64_t half = s.kibo * perSize / 2;
        if (s.hyourou >= half) continue;
        std::int64_t add = std::clamp<std::int64_t>(half - s.hyourou, 0, std::max(unit.Funds(), 0));
        if (add > spare) add /= 2;
        s.hyourou = static_cast<std::uint32_t>(s.hyourou + add);
        PayFromSpare(unit, spare, add);
    }
    for (int c : unit.Shiro()) {
        CShiro& s = ShiroAt(gs, c);
        if (s.nBesieger > 0 || !IsShiroOnFront(gs, c)) continue;
        const std::int64_t capacity = s.kibo * perSize;
        if (s.hyourou >= capacity) continue;
        const std::int64_t add =
            std::clamp<std::int64_t>(capacity - s.hyourou, 0, std::max<std::int64_t>(spare, 0));
        s.hyourou = static_cast<std::uint32_t>(s.hyourou + add);
        PayFromSpare(unit, spare, add);
    }
}

// Soldiers to raise: within the allowances, the funds and what the unit can keep.
void SoldiersToRaise(GameState& gs, const HouseIndex& index, const PlanUnit& unit, std::int64_t& F,
                     std::int64_t& C) {
    const int daimyou = unit.Daimyou();
    const int gundan = unit.Gundan();
    const int u = HeiUnit(gs);
    int cavalry = 0;
    int foot = 0;
    CalcChouheiLimits(gs, daimyou, gundan, cavalry, foot, &index);
    std::int64_t funds = unit.Funds();
    F = std::max(foot, 0);
    C = std::max(cavalry, 0);
    if (F * u > funds) F = std::max<std::int64_t>(funds / u, 0);
    funds -= F * u;
    if (C * 3 * u > funds) C = std::max<std::int64_t>(funds / (3 * u), 0);
    const std::int64_t strength = CalcStrengthOfGundan(gs, daimyou, gundan, &index);
    const std::int64_t affordable = CalcMaxHeiOfGundan(gs, daimyou, gundan, &index);
    if (F + 3 * C + strength > affordable) {
        if (F + strength <= affordable) {
            // Cavalry count three each against what the unit can keep, and never rise here.
            C = std::min(C, (affordable - strength - F) / 3);
        } else {
            F = std::max<std::int64_t>(affordable - strength, 0);
            C = 0;
        }
    }
}

// Garrisons of the front line first, as far as their provisions feed them.
void FillFrontGarrisons(GameState& gs, const PlanUnit& unit, std::int64_t& F) {
    const int u = HeiUnit(gs);
    const std::int64_t perSize = std::max(gs.nShiroHyourouMax, 0);
    for (int c : unit.Shiro()) {
        if (F <= 0) break;
        CShiro& s = ShiroAt(gs, c);
        if (s.nBesieger > 0 || !IsShiroOnFront(gs, c)) continue;
        const std::int64_t wanted = std::min<std::int64_t>(s.hyourou / 10 / u, perSize / 10 * s.kibo / u);
        if (s.shubihei >= wanted) continue;
        const std::int64_t add = std::min(wanted - s.shubihei, F);
        s.shubihei = ToI16(s.shubihei + add);
        F -= add;
    }
}

// The soldiers shared among the generals by weight (valour x 3 + intellect; nothing for a general
// without valour), each up to what one general leads.
void ShareAmongGenerals(GameState& gs, const std::vector<int>& members, std::int64_t& F, std::int64_t& C) {
    const int u = HeiUnit(gs);
    const std::vector<int> free = FreeBushou(gs, members);
    CSortList order(static_cast<int>(free.size()));
    order.SetCount(0);
    std::int64_t poolFoot = F;
    std::int64_t poolCavalry = C;
    std::int64_t weights = 0;
    for (int b : free) {
        const CBushou& g = BushouAt(gs, b);
        const int w = g.buyuu == 0 ? 0 : g.buyuu * 3 + g.chibou;
        order.Append(b, w);
        poolFoot += g.foot;
        poolCavalry += g.cavalry;
        weights += w;
    }
    order.SortLarge();
    const int maxFoot = 5000 / u;
    const int maxCavalry = 2000 / u;
    for (int i = 0; i < order.Count(); ++i) {
        CBushou& g = BushouAt(gs, order.Id(i));
        const int w = order.Key(i);
        // Once every weight is spent the remaining generals (valour 0) get nothing.
        const double share = weights > 0 ? static_cast<double>(w) / static_cast<double>(weights) : 0.0;
        const std::int64_t targetFoot = std::min(RoundUp(share * static_cast<double>(poolFoot)), maxFoot);
        const std::int64_t addFoot = std::min(std::max<std::int64_t>(targetFoot - g.foot, 0), F);
        g.foot = ToI16(g.foot + addFoot);
        F -= addFoot;
        const std::int64_t targetCavalry =
            std::min(RoundUp(share * static_cast<double>(poolCavalry)), maxCavalry);
        const std::int64_t addCavalry = std::min(std::max<std::int64_t>(targetCavalry - g.cavalry, 0), C);
        g.cavalry = ToI16(g.cavalry + addCavalry);
        C -= addCavalry;
        weights -= w;
        poolFoot -= g.foot;
        poolCavalry -= g.cavalry;
    }
}

}  // namespace

void CCpuGunbi::PlanDaimyou(int daimyou) {
    ForEachPlanUnit(context_.gs, daimyou, [&](int gundan) { PlanGundan(daimyou, gundan); });
}

void CCpuGunbi::PlanGundan(int daimyou, int gundan) {
    GameState& gs = context_.gs;
    const HouseIndex& index = Index();
    PlanUnit unit(gs, index, daimyou, gundan);
    if (!unit.Valid()) return;

    // A corps that does not invade only arms its generals.
    const std::vector<int> members = CollectBushou(gs, index, daimyou, gundan);
    if (!(unit.Orders() & CGundan::kOrderShinkou)) {
        DistributeTeppou(unit, members);
        return;
    }
    const CDaimyou& house = DaimyouAt(gs, daimyou);
    const int u = HeiUnit(gs);

    // Spare money: the funds expected at the harvest, less a first trade ship for the domestic
    // planner; a RYUUKYUU house spends half of it.
    std::int64_t spare = EstimateShikinAtHarvest(gs, daimyou, gundan, 1.1, &index);
    if (unit.Orders() & CGundan::kOrderNaisei) {
        if (NeedsFirstKouekisen(gs, index, daimyou, gundan)) spare -= gs.nKouekisenPrice;
        if (house.GetKind() == CDaimyou::kKindRyuukyuu && spare >= 1) spare /= 2;
    }
    EnlargeFrontCastles(gs, unit, spare);
    StockFrontProvisions(gs, unit, spare);

    std::int64_t F = 0;
    std::int64_t C = 0;
    SoldiersToRaise(gs, index, unit, F, C);
    const std::int64_t F0 = F;
    const std::int64_t C0 = C;
    FillFrontGarrisons(gs, unit, F);
    if (!members.empty()) ShareAmongGenerals(gs, members, F, C);

    // Payment; the castles' rice yield and support answer for the soldiers raised.
    const std::int64_t raisedFoot = F0 - F;
    const std::int64_t raisedCavalry = C0 - C;
    unit.Pay(raisedFoot * u + raisedCavalry * 3 * u);
    ReduceKokudakaByChouhei(gs, daimyou, gundan, static_cast<int>(raisedFoot + raisedCavalry), &index);
    ReduceMinshuuByChouhei(gs, daimyou, gundan, static_cast<int>(raisedCavalry), static_cast<int>(raisedFoot),
                           &index);

    // Muskets.
    DistributeTeppou(unit, members);
}

void CCpuGunbi::DistributeTeppou(int daimyou, int gundan) {
    const HouseIndex& index = Index();
    PlanUnit unit(context_.gs, index, daimyou, gundan);
    if (!unit.Valid()) return;
    DistributeTeppou(unit, CollectBushou(context_.gs, index, daimyou, gundan));
}

void CCpuGunbi::DistributeTeppou(PlanUnit& unit, const std::vector<int>& members) {
    GameState& gs = context_.gs;
    if (members.empty()) return;
    const std::vector<int> free = FreeBushou(gs, members);

    std::int64_t stock = unit.TeppouStock();
    std::int64_t total = std::max<std::int64_t>(stock, 0);
    std::int64_t foot = 0;
    CSortList order(static_cast<int>(free.size()));
    order.SetCount(0);
    for (int b : free) {
        const CBushou& g = BushouAt(gs, b);
        total += g.muskets;
        foot += g.foot;
        order.Append(b, g.foot);
    }
    if (foot == 0) foot = 1;
    order.SortLarge();
    for (int i = 0; i < order.Count(); ++i) {
        CBushou& g = BushouAt(gs, order.Id(i));
        const double ratio = foot > 0 ? static_cast<double>(g.foot) / static_cast<double>(foot) : 0.0;
        const std::int64_t share =
            std::min<std::int64_t>(RoundUp(ratio * static_cast<double>(total)), g.foot);
        const std::int64_t add =
            std::clamp<std::int64_t>(share - g.muskets, 0, std::max<std::int64_t>(stock, 0));
        g.muskets = ToI16(g.muskets + add);
        stock -= add;
        foot -= g.foot;
        total -= g.muskets;
    }
    unit.SetTeppouStock(static_cast<std::int32_t>(stock));
}

}  // namespace rymd
