// How many months a castle holds: the assaults of up to twelve months played on copies of the
// troops, weighed against the months its provisions last. The planners call these for every
// target they consider, so they work on the stack and allocate nothing.
#include <algorithm>
#include <array>

#include "game/military/battle_common.h"
#include "game/military/placement.h"
#include "game/military/siege.h"

namespace rymd {

using namespace battle;

namespace {

constexpr int kNever = 10000;
constexpr int kMonths = 12;

int CopyTroops(const GameState& gs, std::span<const int> ids, std::array<SiegeTroops, 20>& out,
               long long& strength) {
    const int n = static_cast<int>(std::min<std::size_t>(ids.size(), 20));
    for (int i = 0; i < n; ++i) {
        SiegeTroops& t = out[static_cast<std::size_t>(i)];
        t = {};
        if (!IsValidBushou(gs, ids[static_cast<std::size_t>(i)])) continue;
        const CBushou& b = BushouAt(gs, ids[static_cast<std::size_t>(i)]);
        t = {b.cavalry, b.foot, b.muskets};
        strength += 3LL * b.cavalry + b.foot;
    }
    return n;
}

std::span<const int> ListOf(const std::array<std::int32_t, CShiro::kMaxBushou>& list, int count) {
    return std::span<const int>(list.data(),
                                static_cast<std::size_t>(std::clamp(count, 0, CShiro::kMaxBushou)));
}

}  // namespace

int SimulateKoujousen(GameState& gs, bool blockaded, int house, int castle, std::span<const int> attackers,
                      std::span<const int> defenders) {
    if (!IsValidShiro(gs, castle)) return kNever;
    const CShiro& s = ShiroAt(gs, castle);
    std::array<SiegeTroops, 20> atk{};
    std::array<SiegeTroops, 20> def{};
    long long attack = 0;
    long long defence = std::max<int>(0, s.shubihei);
    const int na = CopyTroops(gs, attackers, atk, attack);
    const int nd = CopyTroops(gs, defenders, def, defence);
    if (s.kibo == 0 && attack < defence) return kNever;

    const int target = s.kibo * 100;
    const int initial = s.siegeValue;
    int damage = initial;
    int garrison = std::max<int>(0, s.shubihei);

    CKoujousen siege(gs);
    siege.castle = castle;
    siege.besiegingHouse = house;
    siege.Prepare();
    int perMonth = siege.GetMaxAssaults();
    if (blockaded && OnWaterway(gs, castle)) perMonth = CKoujousen::MaxAssaultsOfRoute(kConnectSea);

    const std::span<SiegeTroops> atkSpan(atk.data(), static_cast<std::size_t>(na));
    const std::span<SiegeTroops> defSpan(def.data(), static_cast<std::size_t>(nd));
    for (int month = 0; month < kMonths; ++month) {
        for (int a = 0; a < perMonth && damage < target; ++a)
            CKoujousen::AssaultCasualties(gs, atkSpan, defSpan, garrison, damage);
        if (damage >= target) return month + 1;
        CKoujousen::CalcMusketCounterFire(gs, atkSpan, defSpan, damage);
    }
    // Counter-fire may have pushed the damage back to or below where it began: then the castle
    // does not fall at all.
    if (damage <= initial) return kNever;
    const double months =
        static_cast<double>(target - initial) * kMonths / static_cast<double>(damage - initial);
    return static_cast<int>(std::min(months, static_cast<double>(kNever - 1))) + 1;
}

int EstimateKoujousen(GameState& gs, int house, int castle, const std::span<const int>* attackers,
                      const std::span<const int>* defenders, int navalMode, bool* byAssault) {
    if (byAssault) *byAssault = true;
    if (!IsValidShiro(gs, castle)) return kNever;
    const CShiro& s = ShiroAt(gs, castle);
    if (house == -1) house = s.besiegerDaimyou;
    const std::span<const int> atk = attackers ? *attackers : ListOf(s.besieger, s.nBesieger);
    const std::span<const int> def = defenders ? *defenders : ListOf(s.bushou, s.nBushou);
    const bool blockaded = navalMode == 0 ? s.blockadeDaimyou >= 0 : navalMode == 1;

    const int assault = SimulateKoujousen(gs, blockaded, house, castle, atk, def);
    if (OnWaterway(gs, castle) && !blockaded) return assault;

    long long besiegers = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(atk.size(), 20); ++i)
        if (IsValidBushou(gs, atk[i])) besiegers += BushouAt(gs, atk[i]).cavalry + BushouAt(gs, atk[i]).foot;
    long long defence = std::max<int>(0, s.shubihei);
    for (std::size_t i = 0; i < std::min<std::size_t>(def.size(), 20); ++i)
        if (IsValidBushou(gs, def[i])) defence += BushouAt(gs, def[i]).cavalry + BushouAt(gs, def[i]).foot;
    const int hunger = GetHyourouMonths(gs, castle, static_cast<int>(std::min<long long>(besiegers, 1 << 30)),
                                        static_cast<int>(std::min<long long>(defence, 1 << 30)));
    if (assault >= hunger) {
        if (byAssault) *byAssault = false;
        return hunger;
    }
    return assault;
}

}  // namespace rymd
