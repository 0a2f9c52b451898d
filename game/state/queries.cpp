#include "game/state/queries.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/house_index.h"
#include "game/state/route.h"

namespace rymd {

namespace {

bool IsShinjuu(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) && DaimyouAt(gs, d).bond == CDaimyou::kBondShinjuu;
}

template <class F>
void ForShiroOfDaimyou(const GameState& gs, int daimyou, F f) {
    const int n = ShiroCount(gs);
    for (int c = 0; c < n; ++c) {
        PrefetchShiroAhead(gs, c);
        const CShiro& s = ShiroAt(gs, c);
        if (s.daimyou == daimyou) f(c, s);
    }
}

// The counted rule: a house that is itself a vassal counts only its own castles.
template <class F>
void ForShiroOfDaimyouWithShinjuu(const GameState& gs, int daimyou, F f) {
    if (IsShinjuu(gs, daimyou)) {
        ForShiroOfDaimyou(gs, daimyou, f);
        return;
    }
    const int n = ShiroCount(gs);
    for (int c = 0; c < n; ++c) {
        const CShiro& s = ShiroAt(gs, c);
        if (GetCountedDaimyou(gs, s.daimyou) == daimyou) f(c, s);
    }
}

template <class F>
void ForBushouOfDaimyou(const GameState& gs, int daimyou, F f) {
    if (daimyou < 0) return;
    const int n = BushouCount(gs);
    for (int g = 0; g < n; ++g) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou == daimyou) f(g, b);
    }
}

template <class F>
void ForBushouOfDaimyouWithShinjuu(const GameState& gs, int daimyou, F f) {
    if (daimyou < 0) return;
    if (IsShinjuu(gs, daimyou)) {
        ForBushouOfDaimyou(gs, daimyou, f);
        return;
    }
    const int n = BushouCount(gs);
    for (int g = 0; g < n; ++g) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou >= 0 && GetCountedDaimyou(gs, b.daimyou) == daimyou) f(g, b);
    }
}

int KouzanGijutsu(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).kouzanGijutsu : 0;
}

// Months until the harvest in month 9: 1..12.
int MonthsToHarvest(const GameState& gs) {
    int months = 9 - gs.nCurMonth;
    if (months < 1) months += 12;
    return std::max(months, 1);
}

int FundsOf(const GameState& gs, int daimyou, int gundan) {
    if (gundan == -1) return IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).shikin : 0;
    if (!IsValidGundan(gundan)) return 0;
    return GundanAt(gs, gundan).shikin;
}

// Upkeep of the house's warships: 50 a ship, 100 a blockading ship.
int GunsenCost(const GameState& gs, int daimyou) {
    int cost = 0;
    const CGunsenTable& t = gs.GunsenTable;
    for (std::uint32_t i = 0; i < t.count && i < static_cast<std::uint32_t>(CGunsenTable::kMaxRecord); ++i) {
        const GunsenRecord& r = t.records[i];
        if (r.owner == daimyou) cost += r.IsBlockade() ? r.ships * 100 : r.ships * 50;
    }
    return cost;
}

int BushouCost(const GameState& gs, const CBushou& b) {
    const int u = HeiUnit(gs);
    const double soldiers = 3.0 * b.cavalry * u + static_cast<double>(b.foot) * u;
    return static_cast<int>(soldiers * ((b.flags & CBushou::kFlagBesieging) ? 1.3 : 0.77));
}

int GarrisonCost(const GameState& gs, const CShiro& s) {
    return s.shubihei * HeiUnit(gs) / 10;
}

// Warship term of the affordable troops: 50 for each ship of the house, direct command only.
int GunsenTerm(const GameState& gs, int daimyou, int gundan) {
    return gundan == -1 ? gs.GunsenTable.GetGunsenOfDaimyou(daimyou) * 50 : 0;
}

}  // namespace

// =============================================================================================
// Rounding

std::int64_t ShiroHyourouLimit(const GameState& gs, int kibo) {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(kibo) * gs.nShiroHyourouMax);
}

std::int64_t ShiroShubiheiLimit(const GameState& gs, int kibo) {
    return std::max<std::int64_t>(0,
                                  static_cast<std::int64_t>(gs.nShiroHyourouMax / 10) * kibo / HeiUnit(gs));
}

int RoundUp(double value) {
    const double t = std::trunc(value);
    double r = t;
    if (value != t) r += value > 0 ? 1.0 : -1.0;
    return static_cast<int>(std::clamp(r, -2147483648.0, 2147483647.0));
}

int RoundWide(double value) {
    if (std::isnan(value)) return 0;
    // std::round is exact: adding 0.5 first would turn 0.49999999999999994 into 1.
    return static_cast<int>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

double NormalizeAngle(double radians) {
    if (!std::isfinite(radians)) return 0.0;
    // As many full turns as it takes, added at once.
    while (radians < 0.0) {
        const double turns = std::max(1.0, std::floor(-radians / 6.2831853));
        radians += turns * 6.2831853;
    }
    return radians;
}

// =============================================================================================
// Sums

std::int64_t SumKokudakaOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    std::int64_t sum = 0;
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int, const CShiro& s) { sum += s.kokudaka; });
    return sum;
}

std::int64_t SumKokudakaOfDaimyou(const GameState& gs, int daimyou) {
    std::int64_t sum = 0;
    ForShiroOfDaimyou(gs, daimyou, [&](int, const CShiro& s) { sum += s.kokudaka; });
    return sum;
}

std::int64_t SumKokudakaOfDaimyouWithShinjuu(const GameState& gs, int daimyou) {
    std::int64_t sum = 0;
    ForShiroOfDaimyouWithShinjuu(gs, daimyou, [&](int, const CShiro& s) { sum += s.kokudaka; });
    return sum;
}

int SumKeizaiOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    int sum = 0;
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int, const CShiro& s) { sum += s.keizai; });
    return sum;
}

int SumKeizaiOfDaimyou(const GameState& gs, int daimyou) {
    int sum = 0;
    ForShiroOfDaimyou(gs, daimyou, [&](int, const CShiro& s) { sum += s.keizai; });
    return sum;
}

int SumKeizaiOfDaimyouWithShinjuu(const GameState& gs, int daimyou) {
    int sum = 0;
    ForShiroOfDaimyouWithShinjuu(gs, daimyou, [&](int, const CShiro& s) { sum += s.keizai; });
    return sum;
}

int SumKouzanOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    int sum = 0;
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int, const CShiro& s) { sum += s.kouzan; });
    return sum;
}

int SumKouzanOfDaimyou(const GameState& gs, int daimyou) {
    int sum = 0;
    ForShiroOfDaimyou(gs, daimyou, [&](int, const CShiro& s) { sum += s.kouzan; });
    return sum;
}

int CountShiroOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    int count = 0;
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int, const CShiro&) { ++count; });
    return count;
}

int CountShiroOfDaimyou(const GameState& gs, int daimyou) {
    int count = 0;
    ForShiroOfDaimyou(gs, daimyou, [&](int, const CShiro&) { ++count; });
    return count;
}

int CountShiroOfDaimyouWithShinjuu(const GameState& gs, int daimyou) {
    int count = 0;
    ForShiroOfDaimyouWithShinjuu(gs, daimyou, [&](int, const CShiro&) { ++count; });
    return count;
}

int SumHeiOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    int sum = 0;
    ForBushouOfGundan(gs, daimyou, gundan, index, [&](int, const CBushou& b) { sum += b.cavalry + b.foot; });
    return sum;
}

void SumHeiOfDaimyou(const GameState& gs, int daimyou, int& foot, int& cavalry, int& muskets) {
    foot = cavalry = muskets = 0;
    ForBushouOfDaimyou(gs, daimyou, [&](int, const CBushou& b) {
        foot += b.foot;
        cavalry += b.cavalry;
        muskets += b.muskets;
    });
}

void SumHeiOfDaimyouWithShinjuu(const GameState& gs, int daimyou, int& foot, int& cavalry, int& muskets) {
    foot = cavalry = muskets = 0;
    ForBushouOfDaimyouWithShinjuu(gs, daimyou, [&](int, const CBushou& b) {
        foot += b.foot;
        cavalry += b.cavalry;
        muskets += b.muskets;
    });
}

int CalcStrengthOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    int sum = 0;
    ForBushouOfGundan(gs, daimyou, gundan, index,
                      [&](int, const CBushou& b) { sum += 3 * b.cavalry + b.foot; });
    return sum;
}

int CalcStrengthOfDaimyou(const GameState& gs, int daimyou) {
    int sum = 0;
    ForBushouOfDaimyou(gs, daimyou, [&](int, const CBushou& b) { sum += 3 * b.cavalry + b.foot; });
    return sum;
}

int CalcStrengthOfDaimyouWithShinjuu(const GameState& gs, int daimyou) {
    int sum = 0;
    ForBushouOfDaimyouWithShinjuu(gs, daimyou, [&](int, const CBushou& b) { sum += 3 * b.cavalry + b.foot; });
    return sum;
}

int SumHeiOfShiroBushouByTarget(const GameState& gs, int shiro, int target) {
    if (shiro < 0 || shiro >= ShiroCount(gs)) return 0;
    const CShiro& s = ShiroAt(gs, shiro);
    const int listed = std::clamp<int>(s.nBushou, 0, CShiro::kMaxBushou);
    const int nBushou = BushouCount(gs);
    int sum = 0;
    for (int i = 0; i < listed; ++i) {
        const int g = s.bushou[static_cast<std::size_t>(i)];
        if (g < 0 || g >= nBushou) continue;
        const CBushou& b = BushouAt(gs, g);
        if (b.moveShiro == target) sum += b.cavalry + b.foot;
    }
    return sum;
}

// =============================================================================================
// Economy

int CalcMonthlyIncomeOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    return SumKeizaiOfGundan(gs, daimyou, gundan, index) +
           static_cast<int>(SumKouzanOfGundan(gs, daimyou, gundan, index) * KouzanGijutsu(gs, daimyou) /
                            1000.0);
}

int CalcMonthlyIncomeOfDaimyou(const GameState& gs, int daimyou) {
    return SumKeizaiOfDaimyou(gs, daimyou) +
           static_cast<int>(SumKouzanOfDaimyou(gs, daimyou) * KouzanGijutsu(gs, daimyou) / 1000.0);
}

int CalcMonthlyCostOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    int cost = 0;
    ForBushouOfGundan(gs, daimyou, gundan, index, [&](int, const CBushou& b) { cost += BushouCost(gs, b); });
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int, const CShiro& s) { cost += GarrisonCost(gs, s); });
    if (gundan == -1) cost += GunsenCost(gs, daimyou);
    return cost;
}

int CalcMonthlyCostOfDaimyou(const GameState& gs, int daimyou) {
    int cost = 0;
    ForBushouOfDaimyou(gs, daimyou, [&](int, const CBushou& b) { cost += BushouCost(gs, b); });
    ForShiroOfDaimyou(gs, daimyou, [&](int, const CShiro& s) { cost += GarrisonCost(gs, s); });
    cost += GunsenCost(gs, daimyou);
    return cost;
}

std::int64_t EstimateShikinAtHarvest(const GameState& gs, int daimyou, int gundan, double factor,
                                     const HouseIndex* index) {
    const auto cost = static_cast<std::int64_t>(CalcMonthlyCostOfGundan(gs, daimyou, gundan, index) * factor);
    const std::int64_t net = CalcMonthlyIncomeOfGundan(gs, daimyou, gundan, index) - cost;
    return FundsOf(gs, daimyou, gundan) + std::min<std::int64_t>(net, 0) * MonthsToHarvest(gs);
}

int CalcMaxHeiByIncome(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    const int u = HeiUnit(gs);
    const std::int64_t s = SumKeizaiOfGundan(gs, daimyou, gundan, index) +
                           static_cast<std::int64_t>(SumKouzanOfGundan(gs, daimyou, gundan, index) *
                                                     KouzanGijutsu(gs, daimyou) / 1000.0) +
                           SumKokudakaOfGundan(gs, daimyou, gundan, index) / 12 / 2 -
                           GunsenTerm(gs, daimyou, gundan);
    // Rice yields that events raised to the top of their range keep more soldiers than int holds.
    return static_cast<int>(std::clamp(std::trunc(static_cast<double>(s / u) * 0.8),
                                       static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

int CalcMaxHeiOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index) {
    const int u = HeiUnit(gs);
    const int a = std::max(CalcMaxHeiByIncome(gs, daimyou, gundan, index), 0);
    const std::int64_t perMonth = FundsOf(gs, daimyou, gundan) / MonthsToHarvest(gs);
    // At most INT32_MAX x 0.8: the soldiers fit an int; debts below the warships' term give none.
    const auto b =
        static_cast<std::int64_t>(static_cast<double>(perMonth - GunsenTerm(gs, daimyou, gundan)) * 0.8) / u;
    return std::max<int>(a, static_cast<int>(std::max<std::int64_t>(b, 0)));
}

// =============================================================================================
// The computer's warship plan

int PlanGunsenKenzou(const GameState& gs, int daimyou, std::span<std::int16_t> out, const HouseIndex* index) {
    const int n = std::min(ShiroCount(gs), static_cast<int>(out.size()));
    std::fill(out.begin(), out.begin() + n, std::int16_t{0});
    if (!IsValidDaimyou(gs, daimyou) || IsShinjuu(gs, daimyou)) return 0;
    const CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(daimyou)];
    const int u = HeiUnit(gs);

    // 1. Sea groups of the house's waterway castles.
    std::vector<int> group(static_cast<std::size_t>(n), -1);
    std::vector<std::uint16_t> costs(static_cast<std::size_t>(n));
    int nGroup = 0;
    const auto startGroup = [&](int c) {
        if (c >= n || group[static_cast<std::size_t>(c)] >= 0) return;
        if (!(ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagWaterway)) return;
        if (GetCountedDaimyouOfShiro(gs, c) != daimyou) return;
        CalcRoadCost(gs, daimyou, -1, c, costs, kRouteSea);
        for (int d = c; d < n; ++d)
            if (costs[static_cast<std::size_t>(d)] < kRouteUnreachable)
                group[static_cast<std::size_t>(d)] = nGroup;
        ++nGroup;
    };
    if (index) {
        for (int c : index->ShiroOf(daimyou))
            startGroup(c);
    } else {
        for (int c = 0; c < n; ++c)
            startGroup(c);
    }
    if (nGroup == 0) return 0;

    // 3. Ships needed: one per 1000 soldiers of the 20 strongest generals of the house.
    std::vector<int> troops;
    ForBushouOfDaimyouWithShinjuu(gs, daimyou,
                                  [&](int, const CBushou& b) { troops.push_back(b.cavalry + b.foot); });
    const std::size_t top = std::min<std::size_t>(20, troops.size());
    std::partial_sort(troops.begin(), troops.begin() + static_cast<std::ptrdiff_t>(top), troops.end(),
                      std::greater<int>());
    std::int64_t strongest = 0;
    for (std::size_t i = 0; i < top; ++i)
        strongest += troops[i];
    const std::int64_t need = (strongest * u + 999) / 1000;
    const int tendency = gs.DaimyouInitTbl[static_cast<std::size_t>(daimyou)].gunsenTendency;
    const std::int64_t target = (need * tendency + 9) / 10;

    int added = 0;
    std::vector<std::uint8_t> seenEnemy(static_cast<std::size_t>(n));
    std::vector<int> exposed;
    for (int g = 0; g < nGroup; ++g) {
        // 2. Ships of the group, its exposed castles and the castles a threat comes through.
        std::fill(seenEnemy.begin(), seenEnemy.end(), std::uint8_t{0});
        exposed.clear();
        std::int64_t have = 0;
        int threatened = 0;
        for (int c = 0; c < n; ++c) {
            if (group[static_cast<std::size_t>(c)] != g) continue;
            const CShiro& s = ShiroAt(gs, c);
            have += gs.GunsenTable.GetGunsenAtShiro(c) + (s.gunsenBuilding & 0x0F);
            bool isExposed = false;
            bool threat = false;
            for (const ShiroConnection& link : ShiroMapAt(gs, c).connect) {
                if (link.shiro == 0xFFFF) break;
                const int e = link.shiro;
                if (link.kind != 3 || e >= n) continue;
                const int owner = ShiroAt(gs, e).daimyou;
                if (owner < 0 || GetCountedDaimyouOfShiro(gs, e) == daimyou) continue;
                if (house.GetRelationLo(owner) >= 2) continue;
                isExposed = true;
                if (seenEnemy[static_cast<std::size_t>(e)]) continue;
                seenEnemy[static_cast<std::size_t>(e)] = 1;
                if (GetCountedDaimyou(gs, ShiroAt(gs, e).blockadeDaimyou) != daimyou) threat = true;
            }
            if (isExposed) exposed.push_back(c);
            if (threat) ++threatened;
        }
        if (have >= need * threatened) continue;

        // 4a. Exposed castles with no building under way get ships for their defenders.
        std::vector<int> idle;
        for (int c : exposed)
            if ((ShiroAt(gs, c).gunsenBuilding & 0x0F) == 0) idle.push_back(c);
        for (int c : idle) {
            const std::int64_t d =
                (static_cast<std::int64_t>(ShiroAt(gs, c).GetDefenseStrength(gs)) * u + 999) / 1000;
            const int ships = gs.GunsenTable.GetGunsenAtShiro(c);
            if (ships >= d) continue;
            std::int16_t& entry = out[static_cast<std::size_t>(c)];
            const int add = static_cast<int>(std::min<std::int64_t>(d - ships, std::max(0, 5 - entry)));
            entry = static_cast<std::int16_t>(entry + add);
            have += add;
            added += add;
        }
        // 4b. The rest of the house's target, spread over the same castles.
        std::int64_t deficit = target * threatened - have;
        for (std::size_t i = 0; deficit > 0 && i < idle.size(); ++i) {
            std::int16_t& entry = out[static_cast<std::size_t>(idle[i])];
            const std::int64_t share = deficit / static_cast<std::int64_t>(idle.size() - i);
            const int add = static_cast<int>(std::min<std::int64_t>(share, std::max(0, 5 - entry)));
            entry = static_cast<std::int16_t>(entry + add);
            deficit -= add;
            added += add;
        }
    }
    return added;
}

// =============================================================================================
// Front line and provinces

bool IsShiroOnFront(const GameState& gs, int shiro) {
    const int n = ShiroCount(gs);
    if (shiro < 0 || shiro >= n) return false;
    const int owner = ShiroAt(gs, shiro).daimyou;
    if (!IsValidDaimyou(gs, owner)) return false;
    const CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(owner)];
    for (const ShiroConnection& link : ShiroMapAt(gs, shiro).connect) {
        if (link.shiro == 0xFFFF) break;
        if (link.shiro >= n) continue;
        const int other = ShiroAt(gs, link.shiro).daimyou;
        // A castle without an owner is nobody's front.
        if (other < 0 || other == owner) continue;
        if (house.GetRelationLo(other) < 2) return true;
    }
    return false;
}

bool IsDaimyouRinsetsu(const GameState& gs, int a, int b) {
    for (int c : ShiroIndexes(gs)) {
        if (ShiroAt(gs, c).daimyou != a) continue;
        for (const ShiroConnection& link : ShiroMapAt(gs, c).connect) {
            if (link.shiro == 0xFFFF) break;
            if (IsValidShiro(gs, link.shiro) && ShiroAt(gs, link.shiro).daimyou == b) return true;
        }
    }
    return false;
}

int CountShiroInKuni(const GameState& gs, int kuni) {
    int count = 0;
    for (int c : ShiroIndexes(gs))
        if (ShiroMapAt(gs, c).kuni == kuni) ++count;
    return count;
}

int PickRandomShiroInKuni(GameState& gs, int kuni, int daimyou) {
    const int n = ShiroCount(gs);
    const int counted = GetCountedDaimyou(gs, daimyou);
    std::vector<int> found;
    for (int c = 0; c < n; ++c) {
        if (ShiroMapAt(gs, c).kuni != kuni) continue;
        if (daimyou != -1 && GetCountedDaimyouOfShiro(gs, c) != counted) continue;
        found.push_back(c);
    }
    if (found.empty()) return -1;
    return found[static_cast<std::size_t>(gs.rng.Below(static_cast<int>(found.size())))];
}

// =============================================================================================
// Muskets

int CalcTeppouSeisanOfDaimyou(const GameState& gs, int daimyou, std::span<std::uint8_t> kuniFlags) {
    const int nKuni = std::clamp(gs.nKuni, 0, GameState::kMaxKuni);
    const std::size_t flagCount = std::min(kuniFlags.size(), static_cast<std::size_t>(nKuni));
    std::fill(kuniFlags.begin(), kuniFlags.begin() + static_cast<std::ptrdiff_t>(flagCount), std::uint8_t{0});
    std::array<std::int64_t, GameState::kMaxKuni> all{};
    std::array<std::int64_t, GameState::kMaxKuni> own{};
    const int n = ShiroCount(gs);
    for (int c = 0; c < n; ++c) {
        const int k = ShiroMapAt(gs, c).kuni;
        if (k >= nKuni) continue;
        const CShiro& s = ShiroAt(gs, c);
        const int weight = std::max<int>(1, s.keizai);
        all[static_cast<std::size_t>(k)] += weight;
        if (s.daimyou == daimyou) own[static_cast<std::size_t>(k)] += weight;
    }
    double sum = 0.0;
    for (int k = 0; k < nKuni; ++k) {
        const double rate = gs.TeppouSeisanTbl[static_cast<std::size_t>(k)].current;
        if (rate == 0.0 || own[static_cast<std::size_t>(k)] <= 0) continue;
        if (static_cast<std::size_t>(k) < flagCount) kuniFlags[static_cast<std::size_t>(k)] = 1;
        sum += static_cast<double>(own[static_cast<std::size_t>(k)]) /
               static_cast<double>(all[static_cast<std::size_t>(k)]) * rate;
    }
    int result = Round(sum / HeiUnit(gs));
    if (sum != 0.0 && result == 0) result = 1;
    return result;
}

void CalcTeppouKounyuuOfDaimyou(const GameState& gs, int daimyou, std::span<int> amount,
                                std::span<int> months) {
    const int nPlace = std::clamp(gs.nTeppouKounyuu, 0, GameState::kMaxTeppouKounyuu);
    const int n = ShiroCount(gs);
    const int u = HeiUnit(gs);
    for (int p = 0; p < nPlace; ++p) {
        int units = 0;
        int best = -1;
        const TeppouKounyuuRecord& place = gs.TeppouKounyuuTbl[static_cast<std::size_t>(p)];
        if (place.currentOffer != 0.0) {
            for (int c = 0; c < n; ++c) {
                if (ShiroAt(gs, c).daimyou != daimyou) continue;
                const int k = ShiroMapAt(gs, c).kuni;
                if (k >= static_cast<int>(place.months.size())) continue;
                const int m = place.months[static_cast<std::size_t>(k)];
                if (m >= 0 && (best < 0 || m < best)) best = m;
            }
            if (best >= 0) {
                const bool ordered = IsValidDaimyou(gs, daimyou) && p < CDaimyou::kTeppouOrderCount &&
                                     gs.DaimyouTbl[static_cast<std::size_t>(daimyou)]
                                             .teppouOrder[static_cast<std::size_t>(p)]
                                             .count != 0;
                // The player may add to his order in the phase he placed it.
                const bool playerAdding = daimyou == gs.nPlayerDaimyou && place.dialogWork != 0;
                if (ordered && !playerAdding) {
                    units = -1;
                } else {
                    const double offer =
                        std::clamp(std::trunc(place.currentOffer), -2147483648.0, 2147483647.0);
                    units = std::max(1, static_cast<int>(offer) / u / (best + 1));
                }
            }
        }
        if (static_cast<std::size_t>(p) < amount.size()) amount[static_cast<std::size_t>(p)] = units;
        if (static_cast<std::size_t>(p) < months.size()) months[static_cast<std::size_t>(p)] = best;
    }
}

double CalcTeppouSoubiRitsu(const GameState& gs, int daimyou, int& muskets, int& foot,
                            const HouseIndex* index) {
    muskets = 0;
    foot = 0;
    const auto add = [&](int, const CBushou& b) {
        muskets += b.muskets;
        foot += b.foot;
    };
    if (index && IsValidDaimyou(gs, daimyou)) {
        for (int g : index->MemberBushou(daimyou))
            if (BushouAt(gs, g).daimyou == daimyou) add(g, BushouAt(gs, g));
    } else {
        ForBushouOfDaimyou(gs, daimyou, add);
    }
    if (IsValidDaimyou(gs, daimyou)) {
        const CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(daimyou)];
        muskets += house.teppou;
        for (const TeppouOrder& order : house.teppouOrder)
            muskets += order.count;
    }
    if (foot == 0) return 1.0;
    return static_cast<double>(muskets) / static_cast<double>(foot);
}

// =============================================================================================
// People and troops

int SelectTroopsWithinLimit(const GameState& gs, int limit, std::span<const int> items, int& pickedCount,
                            std::span<int> picked) {
    pickedCount = 0;
    struct Item {
        int id;
        int troops;
    };
    std::array<Item, kMaxTroopItems> list{};
    int count = 0;
    const int nShiro = ShiroCount(gs);
    const int nBushou = BushouCount(gs);
    for (int id : items) {
        if (count >= kMaxTroopItems) break;
        int troops = 0;
        if (id >= kShiroGarrisonItem) {
            const int c = id - kShiroGarrisonItem;
            if (c >= nShiro) continue;
            troops = ShiroAt(gs, c).shubihei;
        } else {
            if (id < 0 || id >= nBushou) continue;
            troops = BushouAt(gs, id).cavalry + BushouAt(gs, id).foot;
        }
        list[static_cast<std::size_t>(count++)] = {id, troops};
    }
    // Largest first; equal troops keep the order they were given in.
    std::stable_sort(list.begin(), list.begin() + count,
                     [](const Item& a, const Item& b) { return a.troops > b.troops; });
    const std::int64_t cap = static_cast<std::int64_t>(limit) * 1000;
    const int u = HeiUnit(gs);
    std::int64_t taken = 0;
    if (limit <= 0) return 0;
    for (int i = 0; i < count; ++i) {
        const Item& item = list[static_cast<std::size_t>(i)];
        if ((taken + item.troops) * u > cap) continue;  // a smaller one further on may still fit
        taken += item.troops;
        if (static_cast<std::size_t>(pickedCount) < picked.size())
            picked[static_cast<std::size_t>(pickedCount)] = item.id;
        ++pickedCount;
    }
    return static_cast<int>(taken);
}

int NextFixedSequenceValue(GameState& gs, bool reset) {
    static constexpr std::array<std::uint8_t, 100> kTable = {
        37,  201, 88,  14,  163, 250, 71,  129, 5,   222, 96,  47,  180, 33,  117, 241, 62,  9,   154, 210,
        78,  131, 19,  245, 102, 57,  189, 26,  168, 84,  231, 12,  143, 66,  199, 40,  110, 253, 3,   175,
        91,  52,  218, 127, 30,  160, 75,  236, 17,  139, 200, 58,  121, 7,   187, 99,  43,  214, 150, 24,
        246, 81,  134, 68,  11,  193, 105, 229, 35,  172, 60,  147, 20,  208, 119, 86,  1,   165, 239, 49,
        126, 184, 15,  94,  222, 73,  137, 28,  251, 112, 55,  196, 8,   158, 80,  233, 41,  178, 64,  145};
    int& index = gs.nFixedSequenceIndex;
    int& sum = gs.nFixedSequenceSum;
    if (reset || index < 0 || index >= static_cast<int>(kTable.size())) {
        index = 0;
        sum = 0;
    }
    const int v = kTable[static_cast<std::size_t>(index)];
    sum = (sum + v) % 256;
    index = (index + 1) % 100;
    return v + sum;
}

// =============================================================================================
// Utilities

std::string GetFolderOfPath(std::string_view path) {
    const std::size_t pos = path.find_last_of("/\\");
    if (pos != std::string_view::npos) return std::string(path.substr(0, pos + 1));
    // A drive without a folder ("C:name") keeps its drive.
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
    return std::string();
}

std::string NumberToText(double value) {
    char buf[512];
    if (std::isfinite(value) && value == std::trunc(value) && value >= -2147483648.0 && value <= 2147483647.0)
        std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
    else
        std::snprintf(buf, sizeof buf, "%.5f", value);
    return buf;
}

void RebuildShiroDisabledBits(GameState& gs) {
    gs.ShiroDisabledBits.reset();
    for (int entry : gs.ExclusionList) {
        const std::uint32_t e = static_cast<std::uint32_t>(entry);
        const std::uint32_t shiro = e & kExclusionShiroMask;
        if (static_cast<int>(e >> kExclusionModeShift) == kExclusionModeHidden &&
            shiro < GameState::kMaxShiro)
            gs.ShiroDisabledBits.set(shiro);
    }
}

}  // namespace rymd
