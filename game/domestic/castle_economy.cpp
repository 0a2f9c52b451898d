#include "game/domestic/castle_economy.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/house_index.h"
#include "game/state/queries.h"

namespace rymd {

namespace {

constexpr int kFootLimitSoldiers = 5000;
constexpr int kCavalryLimitSoldiers = 2000;

int ToInt(double value) {
    return static_cast<int>(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

// The populace support after a development's gain: support + gain / divisor x (1500 - support) /
// 1500 x 0.8..1.2 (one draw), rounded, within 0..1000.
void RaiseSupport(GameState& gs, CShiro& c, double gain, double divisor) {
    const double factor = 0.8 + 0.4 * gs.rng.Unit();
    const double add = gain / divisor * (1500 - c.support) / 1500.0 * factor;
    c.support = static_cast<std::int16_t>(std::clamp(c.support + Round(add), 0, 1000));
}

// The three developments share their shape: a gain from p, a random factor unless estimating,
// the new value capped by the geography's maximum.
struct Development {
    double perPoint;   // gain per point of p + 10
    double lowFactor;  // random factor lowFactor + spread x r
    double spread;
};
constexpr Development kKaikon{80.0, 0.9, 0.2};
constexpr Development kRakuichi{1.0, 0.9, 0.2};
constexpr Development kKouzan{1.5, 0.8, 0.4};

double Gain(GameState* gs, const Development& d, int seiji, bool estimate) {
    double gain = (seiji + 10) * d.perPoint;
    if (!estimate && gs) gain *= d.lowFactor + d.spread * gs->rng.Unit();
    return gain;
}

std::int64_t NewKokudaka(const GameState& gs, int shiro, double gain) {
    const std::int64_t added =
        static_cast<std::int64_t>(ShiroAt(gs, shiro).kokudaka) + static_cast<std::int64_t>(std::trunc(gain));
    return std::min<std::int64_t>(added, ShiroMapAt(gs, shiro).maxKokudaka);
}
int NewKeizai(const GameState& gs, int shiro, double gain) {
    return std::min(ShiroAt(gs, shiro).keizai + ToInt(std::trunc(gain)),
                    static_cast<int>(ShiroMapAt(gs, shiro).maxKeizai));
}
int NewKouzan(const GameState& gs, int shiro, double gain) {
    return std::min(ShiroAt(gs, shiro).kouzan + ToInt(std::trunc(gain)),
                    static_cast<int>(ShiroMapAt(gs, shiro).maxKouzan));
}

// Months to repay cost from a gain of d a month: ceil(cost / d); kNeverRepaid without gain.
int MonthsToRepay(double cost, double d) {
    if (!(d > 0.0)) return kNeverRepaid;
    const double months = cost / d;
    return months >= kNeverRepaid ? kNeverRepaid : RoundUp(months);
}

}  // namespace

// =============================================================================================
// Best politics

BestSeijiTable::BestSeijiTable(const GameState& gs, int daimyou) {
    if (daimyou < 0) return;
    for (int b : BushouIndexes(gs))
        Add(gs, daimyou, b);
}

BestSeijiTable::BestSeijiTable(const GameState& gs, int daimyou, std::span<const int> bushou) {
    for (int b : bushou)
        if (IsValidBushou(gs, b)) Add(gs, daimyou, b);
}

void BestSeijiTable::Add(const GameState& gs, int daimyou, int bushou) {
    const CBushou& g = BushouAt(gs, bushou);
    if (g.daimyou != daimyou || (g.flags & CBushou::kFlagBesieging) || !IsValidShiro(gs, g.shiro)) return;
    std::uint8_t& best = best_[ShiroMapAt(gs, g.shiro).kuni];
    best = std::max(best, g.seiji);
}

int BestSeijiTable::At(int kuni) const {
    return kuni >= 0 && kuni < static_cast<int>(best_.size()) ? best_[static_cast<std::size_t>(kuni)] : 0;
}

int BestSeijiTable::ForShiro(const GameState& gs, int shiro) const {
    return IsValidShiro(gs, shiro) ? At(ShiroMapAt(gs, shiro).kuni) : 0;
}

int FindBestSeiji(const GameState& gs, int shiro) {
    if (!IsValidShiro(gs, shiro)) return 0;
    const int owner = ShiroAt(gs, shiro).daimyou;
    if (owner < 0) return 0;
    const int kuni = ShiroMapAt(gs, shiro).kuni;
    int best = 0;
    for (int b : BushouIndexes(gs)) {
        const CBushou& g = BushouAt(gs, b);
        if (g.daimyou != owner || (g.flags & CBushou::kFlagBesieging) || !IsValidShiro(gs, g.shiro)) continue;
        if (ShiroMapAt(gs, g.shiro).kuni == kuni) best = std::max<int>(best, g.seiji);
    }
    return best;
}

// =============================================================================================
// Developments

int CalcKaikonKouka(GameState& gs, int shiro, bool estimate) {
    return CalcKaikonKouka(gs, shiro, estimate, FindBestSeiji(gs, shiro));
}

int CalcKaikonKouka(GameState& gs, int shiro, bool estimate, int seiji) {
    if (!IsValidShiro(gs, shiro)) return 0;
    const double gain = Gain(&gs, kKaikon, seiji, estimate);
    const std::int64_t value = NewKokudaka(gs, shiro, gain);
    if (estimate) return static_cast<int>(std::min<std::int64_t>(value, INT_MAX));
    CShiro& c = ShiroAt(gs, shiro);
    c.kokudaka = static_cast<std::uint32_t>(std::max<std::int64_t>(value, 0));
    RaiseSupport(gs, c, gain, 30.0);
    return static_cast<int>(std::min<std::int64_t>(value, INT_MAX));
}

int CalcRakuichiKouka(GameState& gs, int shiro, bool estimate) {
    return CalcRakuichiKouka(gs, shiro, estimate, FindBestSeiji(gs, shiro));
}

int CalcRakuichiKouka(GameState& gs, int shiro, bool estimate, int seiji) {
    if (!IsValidShiro(gs, shiro)) return 0;
    const double gain = Gain(&gs, kRakuichi, seiji, estimate);
    const int value = NewKeizai(gs, shiro, gain);
    if (estimate) return value;
    CShiro& c = ShiroAt(gs, shiro);
    c.keizai = static_cast<std::int16_t>(std::clamp(value, INT16_MIN, INT16_MAX));
    RaiseSupport(gs, c, gain, 5.0);
    return value;
}

int CalcKouzanKaihatsuKouka(GameState& gs, int shiro, bool estimate) {
    return CalcKouzanKaihatsuKouka(gs, shiro, estimate, FindBestSeiji(gs, shiro));
}

int CalcKouzanKaihatsuKouka(GameState& gs, int shiro, bool estimate, int seiji) {
    if (!IsValidShiro(gs, shiro)) return 0;
    const int value = NewKouzan(gs, shiro, Gain(&gs, kKouzan, seiji, estimate));
    if (!estimate)
        ShiroAt(gs, shiro).kouzan = static_cast<std::int16_t>(std::clamp(value, INT16_MIN, INT16_MAX));
    return value;
}

// =============================================================================================
// Months until repaid

int EstimateKaikonMonths(const GameState& gs, int shiro) {
    return EstimateKaikonMonths(gs, shiro, FindBestSeiji(gs, shiro));
}

int EstimateKaikonMonths(const GameState& gs, int shiro, int seiji) {
    if (!IsValidShiro(gs, shiro)) return kNeverRepaid;
    const std::int64_t d =
        NewKokudaka(gs, shiro, Gain(nullptr, kKaikon, seiji, true)) - ShiroAt(gs, shiro).kokudaka;
    if (d <= 0) return kNeverRepaid;
    const int harvests = RoundUp(500.0 / static_cast<double>(d));
    int months = 9 - gs.nCurMonth;
    if (months <= 0) months += 12;
    return months + (harvests - 1) * 12;
}

int EstimateRakuichiMonths(const GameState& gs, int shiro) {
    return EstimateRakuichiMonths(gs, shiro, FindBestSeiji(gs, shiro));
}

int EstimateRakuichiMonths(const GameState& gs, int shiro, int seiji) {
    if (!IsValidShiro(gs, shiro)) return kNeverRepaid;
    const int d = NewKeizai(gs, shiro, Gain(nullptr, kRakuichi, seiji, true)) - ShiroAt(gs, shiro).keizai;
    return MonthsToRepay(50.0, d);
}

int EstimateKouzanKaihatsuMonths(const GameState& gs, int shiro) {
    return EstimateKouzanKaihatsuMonths(gs, shiro, FindBestSeiji(gs, shiro));
}

int EstimateKouzanKaihatsuMonths(const GameState& gs, int shiro, int seiji) {
    if (!IsValidShiro(gs, shiro)) return kNeverRepaid;
    const int d = NewKouzan(gs, shiro, Gain(nullptr, kKouzan, seiji, true)) - ShiroAt(gs, shiro).kouzan;
    const int owner = ShiroAt(gs, shiro).daimyou;
    // Without mining technology a mine never repays (no division by a rate of 0).
    const int rate = IsValidDaimyou(gs, owner) ? DaimyouAt(gs, owner).kouzanGijutsu : 0;
    if (d <= 0 || rate <= 0) return kNeverRepaid;
    return MonthsToRepay(100.0, d * rate / 1000.0);
}

// =============================================================================================
// Conscription

void CalcChouheiLimits(const GameState& gs, int daimyou, int gundan, int& cavalry, int& foot,
                       const HouseIndex* index) {
    const double unit = HeiUnit(gs);
    double sumCavalry = 0.0;
    double sumFoot = 0.0;
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int, const CShiro& c) {
        const double support = c.support / 1000.0;
        sumCavalry += c.kokudaka / 1000.0 / unit * support;
        sumFoot += c.kokudaka / 100.0 / unit * support;
    });
    cavalry = Round(std::clamp(sumCavalry, double(INT_MIN), double(INT_MAX)));
    foot = Round(std::clamp(sumFoot, double(INT_MIN), double(INT_MAX)));
}

void ReduceKokudakaByChouhei(GameState& gs, int daimyou, int gundan, int units, const HouseIndex* index) {
    std::int64_t total = static_cast<std::int64_t>(units) * HeiUnit(gs);
    std::int64_t n = CountShiroOfGundan(gs, daimyou, gundan, index);
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int s, const CShiro&) {
        if (n <= 0) return;
        CShiro& c = ShiroAt(gs, s);
        const std::int64_t before = gs.ShiroSnapTbl[static_cast<std::size_t>(s)].kokudaka;
        std::int64_t share = std::llround(static_cast<double>(total) / static_cast<double>(n));
        std::int64_t after = before - share;
        if (after < 0) {
            share = before;
            after = 0;
        }
        c.kokudaka = static_cast<std::uint32_t>(std::min<std::int64_t>(after, UINT32_MAX));
        total -= share;
        --n;
    });
}

void ReduceMinshuuByChouhei(GameState& gs, int daimyou, int gundan, int cavalry, int foot,
                            const HouseIndex* index) {
    const double soldiers = (3.0 * cavalry + foot) * HeiUnit(gs);
    const std::int64_t sum = SumKokudakaOfGundan(gs, daimyou, gundan, index);
    ForShiroOfGundan(gs, daimyou, gundan, index, [&](int s, const CShiro&) {
        CShiro& c = ShiroAt(gs, s);
        const CShiro& snap = gs.ShiroSnapTbl[static_cast<std::size_t>(s)];
        // A castle's share of the soldiers in per mille of its yield: the same for every castle
        // with a yield. A castle without yield (or a purse without any) loses nothing.
        const double loss =
            (c.kokudaka == 0 || sum <= 0) ? 0.0 : soldiers * 1000.0 / static_cast<double>(sum);
        const int support = snap.support - ToInt(std::round(loss));
        c.support = static_cast<std::int16_t>(std::clamp(support, 0, static_cast<int>(INT16_MAX)));
    });
}

// =============================================================================================
// Trade voyages

int CountShipsAtSea(const GameState& gs, int shiro) {
    if (!IsValidShiro(gs, shiro)) return 0;
    int ships = 0;
    for (const ShiroOrderSlot& slot : ShiroAt(gs, shiro).voyage)
        ships += slot.ships;
    return ships;
}

int KouekisenVoyageCost(int partner) {
    return partner == 0 ? 100 : 1000;
}

bool DispatchKouekisen(GameState& gs, int daimyou, int gundan, int shiro, int partner, int ships) {
    const int nPartner = std::clamp(gs.nTradingPartner, 0, GameState::kMaxTradingPartner);
    if (!IsValidShiro(gs, shiro) || partner < 0 || partner >= nPartner || ships < 1 || ships > 255)
        return false;
    if (gundan == -1 ? !IsValidDaimyou(gs, daimyou) : !IsValidGundan(gundan)) return false;
    const int months =
        gs.TradingPartnerTbl[static_cast<std::size_t>(partner)].months[ShiroMapAt(gs, shiro).kuni];
    if (months < 0) return false;  // the partner cannot be reached from this province
    if (ships > ShiroAt(gs, shiro).kouekisen - CountShipsAtSea(gs, shiro))
        return false;  // not that many in port
    for (ShiroOrderSlot& slot : ShiroAt(gs, shiro).voyage) {
        if (slot.ships != 0) continue;
        slot.ships = static_cast<std::uint8_t>(ships);
        slot.destination = static_cast<std::uint8_t>(partner);
        slot.monthsLeft = static_cast<std::uint8_t>(months);
        slot.monthsTotal = static_cast<std::uint8_t>(months);
        std::int32_t& funds = gundan == -1 ? DaimyouAt(gs, daimyou).shikin : GundanAt(gs, gundan).shikin;
        funds = static_cast<std::int32_t>(std::max<std::int64_t>(
            static_cast<std::int64_t>(funds) - std::int64_t{ships} * KouekisenVoyageCost(partner),
            INT32_MIN));
        return true;
    }
    return false;
}

// =============================================================================================
// Limits of castles and generals

int BushouFootLimit(const GameState& gs) {
    return kFootLimitSoldiers / HeiUnit(gs);
}

int BushouCavalryLimit(const GameState& gs) {
    return kCavalryLimitSoldiers / HeiUnit(gs);
}

}  // namespace rymd
