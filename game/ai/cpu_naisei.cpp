#include "game/ai/cpu_naisei.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/ai/plan_unit.h"
#include "game/domestic/castle_economy.h"
#include "game/domestic/economy.h"
#include "game/domestic/ship_orders.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

namespace {

// The construction byte of an order placed this month: the months in the high nibble.
constexpr std::uint8_t kGunsenBuildingMonths = kGunsenKenzouMonths << 4;

bool IsPort(const GameState& gs, int shiro) {
    return ShiroMapAt(gs, shiro).flags & ShiroMapRecord::kFlagPort;
}

int ClampInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// Land is reclaimed only outside the farming season (months 3 to 8).
bool IsKaikonSeason(const GameState& gs) {
    return gs.nCurMonth < 3 || gs.nCurMonth > 8;
}

// Months to the coming harvest (1..12).
int MonthsToSeptember(const GameState& gs) {
    int months = 9 - gs.nCurMonth;
    if (months < 1) months += 12;
    return months;
}

}  // namespace

CCpuNaisei::CCpuNaisei(GameContext context) : context_(context) {}

CCpuNaisei::~CCpuNaisei() = default;

void CCpuNaisei::PlanDaimyou(int daimyou) {
    ForEachPlanUnit(context_.gs, daimyou, [&](int gundan) { PlanGundan(daimyou, gundan); });
}

void CCpuNaisei::PlanGundan(int daimyou, int gundan) {
    GameState& gs = context_.gs;
    const HouseIndex& index = Index();
    PlanUnit unit(gs, index, daimyou, gundan);
    if (!unit.Valid() || !(unit.Orders() & CGundan::kOrderNaisei)) return;

    income_.Get(gs).ProjectBalance(daimyou, gundan, projection_);

    const BestSeijiTable seiji(gs, daimyou, index.MemberBushou(daimyou));
    SendKouekisen(unit);
    DoWork(Work::kKouzan, unit, seiji);
    DoWork(Work::kRakuichi, unit, seiji);
    if (IsKaikonSeason(gs)) DoWork(Work::kKaikon, unit, seiji);
    BuildShips(unit);
    SendKouekisen(unit);  // the ships just bought, with the funds left
    if (gundan == -1) BuyTeppou(daimyou);
}

// ---------------------------------------------------------------------------------------------
// Trade voyages

void CCpuNaisei::SendKouekisen(int daimyou, int gundan) {
    PlanUnit unit(context_.gs, Index(), daimyou, gundan);
    SendKouekisen(unit);
}

void CCpuNaisei::SendKouekisen(PlanUnit& unit) {
    GameState& gs = context_.gs;
    const int daimyou = unit.Daimyou();
    const int gundan = unit.Gundan();
    const int nPartner = std::clamp(gs.nTradingPartner, 0, GameState::kMaxTradingPartner);
    if (!unit.Valid() || unit.Funds() < 1 || nPartner == 0 || gs.nMinatoShiro <= 0) return;
    const int skill = DaimyouAt(gs, daimyou).koukaiGijutsu;

    // Every (port, partner) the unit can sail, by profit per month of the voyage; castle and
    // partner packed into the id.
    struct Candidate {
        int shiro;
        int partner;
        std::int32_t key;
    };
    std::vector<Candidate> found;
    bool realPartner = false;
    for (int c : unit.Shiro()) {
        const CShiro& s = ShiroAt(gs, c);
        if (s.nBesieger > 0 || !IsPort(gs, c) || s.kouekisen == 0) continue;
        const int kuni = ShiroMapAt(gs, c).kuni;
        for (int k = 0; k < nPartner; ++k) {
            const CTradingPartner& p = gs.TradingPartnerTbl[static_cast<std::size_t>(k)];
            const int months = p.months[static_cast<std::size_t>(kuni)];
            if (months < 0 || p.ports[static_cast<std::size_t>(c)] == 0) continue;
            if (k > 0 && skill < months * 100) continue;
            const std::int64_t profit =
                static_cast<std::int64_t>(p.sales[static_cast<std::size_t>(kuni)]) - KouekisenVoyageCost(k);
            // A voyage of 0 months counts as one month.
            found.push_back({c, k, ClampInt(profit / std::max(months, 1))});
            if (k > 0) realPartner = true;
        }
    }
    if (found.empty()) return;
    CSortList order(std::min(static_cast<int>(found.size()), CSortList::kMaxCapacity));
    order.SetCount(0);
    for (std::size_t i = 0; i < found.size(); ++i)
        order.Append(static_cast<std::int32_t>(i), found[i].key);
    order.SortLarge();

    for (int i = 0; i < order.Count(); ++i) {
        const Candidate& cand = found[static_cast<std::size_t>(order.Id(i))];
        const int idle = ShiroAt(gs, cand.shiro).kouekisen - CountShipsAtSea(gs, cand.shiro);
        if (idle <= 0) continue;
        if (cand.partner == 0 && realPartner) continue;  // no training while a real partner is in reach
        const int cost = KouekisenVoyageCost(cand.partner);
        const std::int32_t funds = unit.Funds();
        if (funds < cost) break;
        const int ships = std::min(funds / cost, idle);
        DispatchKouekisen(gs, daimyou, gundan, cand.shiro, cand.partner, ships);
    }
}

// ---------------------------------------------------------------------------------------------
// Mines, free markets and reclamation

void CCpuNaisei::DoKouzanKaihatsu(int daimyou, int gundan) {
    PlanUnit unit(context_.gs, Index(), daimyou, gundan);
    DoWork(Work::kKouzan, unit, BestSeijiTable(context_.gs, daimyou, Index().MemberBushou(daimyou)));
}

void CCpuNaisei::DoRakuichi(int daimyou, int gundan) {
    PlanUnit unit(context_.gs, Index(), daimyou, gundan);
    DoWork(Work::kRakuichi, unit, BestSeijiTable(context_.gs, daimyou, Index().MemberBushou(daimyou)));
}

void CCpuNaisei::DoKaikon(int daimyou, int gundan) {
    if (!IsKaikonSeason(context_.gs)) return;
    PlanUnit unit(context_.gs, Index(), daimyou, gundan);
    DoWork(Work::kKaikon, unit, BestSeijiTable(context_.gs, daimyou, Index().MemberBushou(daimyou)));
}

void CCpuNaisei::DoWork(Work work, PlanUnit& unit, const BestSeijiTable& seiji) {
    GameState& gs = context_.gs;
    if (!unit.Valid()) return;

    // The castle's value, its maximum and its value at the phase start.
    auto value = [&](const CShiro& s) -> std::int64_t {
        switch (work) {
            case Work::kKouzan: return s.kouzan;
            case Work::kRakuichi: return s.keizai;
            case Work::kKaikon: return s.kokudaka;
        }
        return 0;
    };
    auto maximum = [&](int c) -> std::int64_t {
        const ShiroMapRecord& m = ShiroMapAt(gs, c);
        switch (work) {
            case Work::kKouzan: return m.maxKouzan;
            case Work::kRakuichi: return m.maxKeizai;
            case Work::kKaikon: return m.maxKokudaka;
        }
        return 0;
    };
    auto estimate = [&](int c, int p) -> std::int64_t {
        switch (work) {
            case Work::kKouzan: return CalcKouzanKaihatsuKouka(gs, c, true, p);
            case Work::kRakuichi: return CalcRakuichiKouka(gs, c, true, p);
            case Work::kKaikon: return CalcKaikonKouka(gs, c, true, p);
        }
        return 0;
    };
    auto months = [&](int c, int p) {
        switch (work) {
            case Work::kKouzan: return EstimateKouzanKaihatsuMonths(gs, c, p);
            case Work::kRakuichi: return EstimateRakuichiMonths(gs, c, p);
            case Work::kKaikon: return EstimateKaikonMonths(gs, c, p);
        }
        return kNeverRepaid;
    };
    auto apply = [&](int c, int p) {
        switch (work) {
            case Work::kKouzan: CalcKouzanKaihatsuKouka(gs, c, false, p); break;
            case Work::kRakuichi: CalcRakuichiKouka(gs, c, false, p); break;
            case Work::kKaikon: CalcKaikonKouka(gs, c, false, p); break;
        }
    };
    const int cost = work == Work::kKouzan ? 100 : work == Work::kRakuichi ? 50 : 500;

    // Castles not yet worked this month, by gain, then by how far they are from their maximum.
    CSortList order(static_cast<int>(unit.Shiro().size()));
    order.SetCount(0);
    for (int c : unit.Shiro()) {
        const CShiro& s = ShiroAt(gs, c);
        const std::int64_t v = value(s);
        if (s.nBesieger > 0 || v > value(gs.ShiroSnapTbl[static_cast<std::size_t>(c)])) continue;
        const std::int64_t max = maximum(c);
        const int room = max > 0 ? static_cast<int>(std::trunc(
                                       (1.0 - static_cast<double>(v) / static_cast<double>(max)) * 99.0))
                                 : 0;
        order.Append(c, ClampInt((estimate(c, seiji.ForShiro(gs, c)) - v) * 100 + room));
    }
    order.SortLarge();

    for (int i = 0; i < order.Count(); ++i) {
        if (unit.Funds() < cost) break;
        const int c = order.Id(i);
        const int p = seiji.ForShiro(gs, c);
        const int m = months(c, p);
        if (m >= kProjectionMonths) continue;
        // The projected funds must stay above 0 until the work has repaid itself.
        std::int64_t running = std::int64_t{unit.Funds()} - cost;
        bool shortfall = running < 0;
        for (int k = 0; k < m && !shortfall; ++k) {
            running += projection_[static_cast<std::size_t>(k)];
            shortfall = running < 0;
        }
        if (shortfall) continue;
        apply(c, p);
        unit.Pay(cost);
    }
}

// ---------------------------------------------------------------------------------------------
// Ships

void CCpuNaisei::BuildShips(int daimyou, int gundan) {
    PlanUnit unit(context_.gs, Index(), daimyou, gundan);
    BuildShips(unit);
}

void CCpuNaisei::BuildShips(PlanUnit& unit) {
    GameState& gs = context_.gs;
    if (!unit.Valid()) return;
    const int daimyou = unit.Daimyou();
    const int gundan = unit.Gundan();

    // 1. Trade ships, only while none of the unit's ships lies idle.
    bool idle = false;
    CSortList order(static_cast<int>(unit.Shiro().size()));
    order.SetCount(0);
    for (int c : unit.Shiro()) {
        const CShiro& s = ShiroAt(gs, c);
        if (s.nBesieger > 0 || !IsPort(gs, c)) continue;
        if (s.kouekisen - CountShipsAtSea(gs, c) >= 1) idle = true;
        if (s.kouekisen < kMaxKouekisenPerShiro) order.Append(c, s.kouekisen);
    }
    const int price = gs.nKouekisenPrice;
    if (!idle && order.Count() > 0 && price > 0) {
        order.SortSmall();
        const HouseIndex& index = Index();
        // The funds the unit expects to keep over the next months (at most 5, to the harvest).
        const std::int64_t cost =
            static_cast<std::int64_t>(CalcMonthlyCostOfGundan(gs, daimyou, gundan, &index) * 1.1) +
            SumKokudakaOfGundan(gs, daimyou, gundan, &index) / 30;
        const std::int64_t deficit =
            std::min<std::int64_t>(0, CalcMonthlyIncomeOfGundan(gs, daimyou, gundan, &index) - cost);
        const int months = std::min(MonthsToSeptember(gs), 5);
        for (int i = 0; i < order.Count(); ++i) {
            const std::int64_t expected = unit.Funds() + deficit * months;
            if (expected < price) break;
            CShiro& s = ShiroAt(gs, order.Id(i));
            const std::int64_t n =
                std::min<std::int64_t>(expected / price, kMaxKouekisenPerShiro - s.kouekisen);
            if (n <= 0) continue;
            s.kouekisen = static_cast<std::uint8_t>(s.kouekisen + n);
            unit.Pay(n * price);
        }
    }

    // 2. Warships, for a house that is nobody's vassal.
    if (gundan == -1 && DaimyouAt(gs, daimyou).bond != CDaimyou::kBondShinjuu) BuildGunsen(daimyou);
}

void CCpuNaisei::BuildGunsen(int daimyou) {
    GameState& gs = context_.gs;
    const int price = gs.nGunsenPrice;
    if (price <= 0) return;
    std::vector<std::int16_t> want(static_cast<std::size_t>(ShiroCount(gs)));
    std::int64_t wanted = PlanGunsenKenzou(gs, daimyou, want, &Index());
    if (wanted < 1) return;

    CDaimyou& house = DaimyouAt(gs, daimyou);
    const int tendency = gs.DaimyouInitTbl[static_cast<std::size_t>(daimyou)].gunsenTendency;
    const std::int64_t kept = EstimateShikinAtHarvest(gs, daimyou, -1, 1.1, &Index());
    std::int64_t budget = static_cast<std::int64_t>(
        static_cast<double>(house.shikin - kept) * (tendency * 0.1) + static_cast<double>(kept));
    budget = std::min<std::int64_t>(budget, house.shikin);
    if (budget < price) return;
    wanted = std::min(wanted, budget / price);

    // The castles that want most are served first; equal wants in random order.
    MbMisc::CSortInt order(ShiroCount(gs));
    for (int c : ShiroIndexes(gs))
        if (want[static_cast<std::size_t>(c)] > 0) order.AddData(c, want[static_cast<std::size_t>(c)]);
    order.SortTopLarge(-1);
    order.Randomize(gs.rng);
    for (int i = 0; i < order.GetCount() && wanted > 0; ++i) {
        const int k = static_cast<int>(std::min<std::int64_t>({order.GetSort(i), wanted, 15}));
        CShiro& s = ShiroAt(gs, order.GetItem(i));
        s.gunsenBuilding = static_cast<std::uint8_t>(kGunsenBuildingMonths | k);
        s.gunsenBuilder = static_cast<std::int16_t>(daimyou);
        house.shikin = static_cast<std::int32_t>(
            std::max<std::int64_t>(house.shikin - std::int64_t{k} * price, INT32_MIN));
        wanted -= k;
    }
}

// ---------------------------------------------------------------------------------------------
// Muskets

void CCpuNaisei::BuyTeppou(int daimyou) {
    GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou)) return;
    CDaimyou& house = DaimyouAt(gs, daimyou);
    if (house.shikin <= 0) return;

    const double target = gs.TeppouSoubiRitsu[3] / 100.0 *
                          (gs.DaimyouInitTbl[static_cast<std::size_t>(daimyou)].teppouTendency / 10.0);
    int musketsNow = 0;
    int foot = 0;
    const double rate = CalcTeppouSoubiRitsu(gs, daimyou, musketsNow, foot, &Index());
    if (foot == 0 || rate >= 1.0 || rate >= target) return;
    std::int64_t muskets = musketsNow;
    const int u = HeiUnit(gs);
    // Never beyond the target rate.
    auto cut = [&](std::int64_t n) {
        if (static_cast<double>(n + muskets) / foot > target)
            n = std::min<std::int64_t>(
                n, static_cast<std::int64_t>(foot * target - static_cast<double>(muskets)));
        return n;
    };
    // Muskets the funds pay at a unit price; a price below one money unit costs nothing.
    auto affordable = [&](std::int64_t unitPrice, std::int64_t most) {
        return unitPrice > 0 ? std::min<std::int64_t>(house.shikin / unitPrice, most) : most;
    };

    // 1. Own production.
    const int made = CalcTeppouSeisanOfDaimyou(gs, daimyou);
    if (made > 0) {
        const std::int64_t unitCost = static_cast<std::int64_t>(u * gs.TeppouCost[3]);
        // No more than the month's 16-bit count can still record is made and paid for.
        const std::int64_t n =
            std::min<std::int64_t>(cut(affordable(unitCost, made)), UINT16_MAX - house.teppouSeisan);
        if (n > 0) {
            house.teppouSeisan = static_cast<std::uint16_t>(house.teppouSeisan + n);
            muskets += n;
            house.shikin = static_cast<std::int32_t>(house.shikin - n * std::max<std::int64_t>(unitCost, 0));
        }
    }

    // 2. Purchase: the cheapest places first, then the quickest.
    if (house.shikin <= 0) return;
    const int nPlace = std::clamp(gs.nTeppouKounyuu, 0, GameState::kMaxTeppouKounyuu);
    std::array<int, GameState::kMaxTeppouKounyuu> amount{};
    std::array<int, GameState::kMaxTeppouKounyuu> months{};
    CalcTeppouKounyuuOfDaimyou(gs, daimyou, amount, months);
    CSortList order(GameState::kMaxTeppouKounyuu);
    order.SetCount(0);
    for (int p = 0; p < nPlace; ++p) {
        if (amount[static_cast<std::size_t>(p)] <= 0) continue;
        const double price = std::clamp(
            std::trunc(gs.TeppouKounyuuTbl[static_cast<std::size_t>(p)].currentPrice), -8000000.0, 8000000.0);
        order.Append(p, static_cast<std::int32_t>(price) * 256 + months[static_cast<std::size_t>(p)]);
    }
    order.SortSmall();
    for (int i = 0; i < order.Count(); ++i) {
        if (house.shikin < 1 || static_cast<double>(muskets) / foot >= target) break;
        const int p = order.Id(i);
        const std::int64_t unitPrice =
            static_cast<std::int64_t>(u * gs.TeppouKounyuuTbl[static_cast<std::size_t>(p)].currentPrice);
        // The order is a 16-bit count: no more than it records is bought and paid for.
        const std::int64_t n = std::min<std::int64_t>(
            cut(affordable(unitPrice, amount[static_cast<std::size_t>(p)])), UINT16_MAX);
        if (n <= 0) continue;
        TeppouOrder& placed = house.teppouOrder[static_cast<std::size_t>(p)];
        placed.count = static_cast<std::uint16_t>(n);
        placed.months = static_cast<std::int8_t>(std::clamp(months[static_cast<std::size_t>(p)], 0, 127));
        muskets += n;
        house.shikin = static_cast<std::int32_t>(house.shikin - n * std::max<std::int64_t>(unitPrice, 0));
    }
}

}  // namespace rymd
