#include "game/military/siege.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "game/military/battle_common.h"
#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"
#include "platform/core/random.h"

namespace rymd {

using namespace battle;

namespace {

constexpr int kStratagemCost = 80;

// min(1, x) worked out as a value: the attackers' loss factor lies about as often above 1 as
// below, and the compiler would otherwise branch around the product on it, guessing wrong half
// the time.
inline double AtMostOne(double x) {
    double r = std::min(1.0, x);
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm("" : "+x"(r));
#endif
    return r;
}

// The troops of listed generals as assault records; entries naming no general count as empty.
int LoadTroops(const GameState& gs, const std::int32_t* ids, int n, std::array<SiegeTroops, 20>& out) {
    n = std::clamp(n, 0, 20);
    for (int i = 0; i < n; ++i) {
        out[static_cast<std::size_t>(i)] = {};
        const int g = static_cast<int>(ids[i]);
        if (!IsValidBushou(gs, g)) continue;
        const CBushou& b = BushouAt(gs, g);
        out[static_cast<std::size_t>(i)] = {b.cavalry, b.foot, b.muskets};
    }
    return n;
}

void StoreTroops(GameState& gs, const std::int32_t* ids, int n, const std::array<SiegeTroops, 20>& in) {
    for (int i = 0; i < n; ++i) {
        const int g = static_cast<int>(ids[i]);
        if (!IsValidBushou(gs, g)) continue;
        CBushou& b = BushouAt(gs, g);
        const SiegeTroops& t = in[static_cast<std::size_t>(i)];
        b.cavalry = ToField(t.cavalry);
        b.foot = ToField(t.foot);
        b.muskets = ToField(t.muskets);
        CutMuskets(b);
    }
}

// Highest intellect among listed generals; 0 for none.
int BestIntellect(const GameState& gs, const std::int32_t* ids, int n) {
    int best = 0;
    for (int i = 0; i < n; ++i)
        if (IsValidBushou(gs, ids[i])) best = std::max<int>(best, BushouAt(gs, ids[i]).chibou);
    return best;
}

// The first of the generals, in a random order, who can spend a stratagem against the best
// opposing intellect; -1 when none. The rest of the actor is set and his points spent.
int PickStratagemActor(GameState& gs, const std::int32_t* ids, int n, int opposingIntellect) {
    std::array<int, 20> order{};
    n = std::clamp(n, 0, 20);
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = static_cast<int>(ids[i]);
    ShuffleEqual(gs.rng, order.data(), n);
    for (int i = 0; i < n; ++i) {
        const int g = order[static_cast<std::size_t>(i)];
        if (!IsValidBushou(gs, g)) continue;
        CBushou& b = BushouAt(gs, g);
        if (b.counter33 >= kStratagemCost && b.counter34 == 0 && b.chibou > opposingIntellect) {
            b.counter34 = static_cast<std::uint8_t>(static_cast<int>(gs.rng.Unit() * 3.0) + 1);
            b.counter33 = static_cast<std::uint8_t>(b.counter33 - kStratagemCost);
            return g;
        }
    }
    return -1;
}

// Each listed general loses troops by f = r x 0.05 + 0.9 + his intellect x 0.01 - the actor's
// intellect x 0.005, capped at 1.0, drawn afresh for foot and cavalry.
void ShakeTroops(GameState& gs, const std::int32_t* ids, int n, int actorIntellect) {
    for (int i = 0; i < n; ++i) {
        if (!IsValidBushou(gs, ids[i])) continue;
        CBushou& b = BushouAt(gs, ids[i]);
        auto factor = [&] {
            return std::min(1.0, gs.rng.Unit() * 0.05 + 0.9 + b.chibou * 0.01 - actorIntellect * 0.005);
        };
        b.foot = ToField(static_cast<long long>(b.foot * factor()));
        b.cavalry = ToField(static_cast<long long>(b.cavalry * factor()));
        CutMuskets(b);
    }
}

}  // namespace

bool CKoujousen::Valid() const {
    return IsValidShiro(gs_, castle);
}

bool CKoujousen::CanBeStarved() const {
    return !OnWaterway(gs_, castle) || ShiroAt(gs_, castle).blockadeDaimyou >= 0;
}

void CKoujousen::AppendLog(const std::string& text) {
    if (!log) return;
    if (!log->empty()) *log += "\n";
    *log += text;
}

int CKoujousen::LoadArmies(std::array<SiegeTroops, 20>& atk, std::array<SiegeTroops, 20>& def) const {
    LoadTroops(gs_, defenders, defenderCount, def);
    const CShiro& s = ShiroAt(gs_, castle);
    return LoadTroops(gs_, s.besieger.data(), s.nBesieger, atk);
}

void CKoujousen::StoreArmies(int nAttackers, const std::array<SiegeTroops, 20>& atk,
                             const std::array<SiegeTroops, 20>& def) {
    StoreTroops(gs_, ShiroAt(gs_, castle).besieger.data(), nAttackers, atk);
    StoreTroops(gs_, defenders, defenderCount, def);
}

void CKoujousen::CollectDefenders() {
    defenderCount = 0;
    if (!Valid()) return;
    const CShiro& s = ShiroAt(gs_, castle);
    const int n = std::clamp<int>(s.nBushou, 0, CShiro::kMaxBushou);
    for (int i = 0; i < n && defenderCount < kMaxDefenders; ++i) {
        const int g = s.bushou[static_cast<std::size_t>(i)];
        if (!IsValidBushou(gs_, g)) continue;
        const CBushou& b = BushouAt(gs_, g);
        if ((b.flags & CBushou::kFlagNotDefending) != 0 || b.status == CBushou::kStatusHoryo) continue;
        defenders[defenderCount++] = g;
    }
}

void CKoujousen::Prepare() {
    CollectDefenders();
    routeKind = kNoRoute;
    supplyCastle = -1;
    if (!Valid()) return;
    const int besieger = GetCountedDaimyou(gs_, besiegingHouse);
    const CShiro& s = ShiroAt(gs_, castle);
    for (const ShiroConnection& link : ShiroMap(gs_, castle).connect) {
        if (link.shiro == 0xFFFF) break;
        const int other = link.shiro;
        if (!IsValidShiro(gs_, other) || EffectiveOwner(gs_, other) != besieger) continue;
        if (link.kind == kConnectSea && s.blockadeDaimyou >= 0 && s.blockadeDaimyou == besiegingHouse) {
            routeKind = kConnectSea;
            supplyCastle = other;
            return;
        }
        if (link.kind < routeKind) {
            routeKind = link.kind;
            supplyCastle = other;
        }
    }
}

int CKoujousen::MaxAssaultsOfRoute(int kind) {
    static constexpr int kTable[4] = {4, 3, 2, 5};
    return kind >= 0 && kind < 4 ? kTable[kind] : 2;
}

int CKoujousen::GetMaxAssaults() const {
    return MaxAssaultsOfRoute(routeKind);
}

void CKoujousen::AssaultCasualties(GameState& gs, std::span<SiegeTroops> attackers,
                                   std::span<SiegeTroops> defenders, int& garrison, int& damage) {
    // Only the first twenty of each side fight (a siege and an estimate never hold more).
    attackers = attackers.first(std::min<std::size_t>(attackers.size(), kMaxDefenders));
    defenders = defenders.first(std::min<std::size_t>(defenders.size(), kMaxDefenders));

    // The draws of an assault are taken as one block, in the order the rules use them: the
    // swing of the damage, each defender's foot and cavalry, the garrison, each attacker's foot
    // and cavalry. The siege estimates run many assaults: drawn as a block they need not wait
    // for one another.
    std::array<int, 2 + 4 * kMaxDefenders> draws;  // filled as far as drawn
    static_assert(draws.size() <= Random::kMaxBlock);
    gs.rng.NextBlock(draws.data(), static_cast<int>(2 + 2 * (defenders.size() + attackers.size())));
    const int* draw = draws.data();
    const auto unit = [&draw] { return *draw++ / 32767.0; };  // as Random::Unit scales a draw

    // Whole numbers far below 2^53: summed as integers they give the same doubles.
    long long attack = 0;
    long long defence = garrison;
    for (const SiegeTroops& t : attackers)
        attack += t.foot + t.cavalry;
    for (const SiegeTroops& t : defenders)
        defence += t.foot + t.cavalry;
    const double a = static_cast<double>(attack);
    const double d = static_cast<double>(defence);
    double ratio = 1.0;
    if (d > 0.0)
        ratio = a / d;
    else if (a > 0.0)
        ratio = 10000.0;

    const double j = (unit() - 0.5) / 2.0;
    const double gain = std::clamp(2.0 * (ratio - 1.0) + 2.0 * (ratio - 1.0) * j, 1.0, 10000.0);
    damage = static_cast<int>(
        std::min<long long>(static_cast<long long>(damage) + static_cast<long long>(gain), 1000000000LL));

    long long lost = 0;
    auto cut = [&](int& count, double factor) {
        const int after = std::max(0, Round(count * factor));
        lost += count - after;
        count = after;
    };
    for (SiegeTroops& t : defenders) {
        cut(t.foot, unit() * 0.08 + 0.92);
        cut(t.cavalry, unit() * 0.08 + 0.92);
        t.muskets = std::min(t.muskets, t.foot);
    }
    cut(garrison, unit() * 0.08 + 0.92);
    if (lost == 0) lost = 1;

    // The attackers lose in proportion to what they took; with no attacking troops there is
    // nothing to lose.
    double m = a > 0.0 ? (a - 2.0 * static_cast<double>(lost)) / a : 0.0;
    if (m <= 0.0) m = 0.0;
    for (SiegeTroops& t : attackers) {
        t.foot = std::max(0, Round(t.foot * AtMostOne((unit() * 0.04 + 0.98) * m)));
        t.cavalry = std::max(0, Round(t.cavalry * AtMostOne((unit() * 0.04 + 0.98) * m)));
        t.muskets = std::min(t.muskets, t.foot);
    }
}

bool CKoujousen::CalcMusketCounterFire(GameState& gs, std::span<const SiegeTroops> attackers,
                                       std::span<const SiegeTroops> defenders, int& damage) {
    long long muskets = 0;
    for (const SiegeTroops& t : defenders)
        muskets += t.muskets;
    if (muskets <= 0 || damage <= 0) return false;
    long long troops = 0;
    for (const SiegeTroops& t : attackers)
        troops += t.cavalry + t.foot;
    double x = 10000.0;
    if (troops > 0)
        x = static_cast<double>(muskets) / static_cast<double>(troops) * 50.0 * (gs.rng.Unit() * 0.4 + 0.8) *
            (gs.TeppouKouka[3] / 10.0);
    x = std::clamp(x * 20.0, 1.0, 10000.0);
    damage = std::max(0, damage - static_cast<int>(x));
    return true;
}

int CKoujousen::ExecuteTurn(bool assault) {
    if (!Valid()) return kSiegeHolds;
    if (ShiroMap(gs_, castle).maxKibo == 0) return kSiegeFallen;
    CShiro& s = ShiroAt(gs_, castle);
    int result = kSiegeHolds;
    if (assault) {
        std::array<SiegeTroops, 20> atk{};
        std::array<SiegeTroops, 20> def{};
        const int na = LoadArmies(atk, def);
        int garrison = std::max<int>(0, s.shubihei);
        int damage = s.siegeValue;
        AssaultCasualties(gs_, std::span(atk.data(), static_cast<std::size_t>(na)),
                          std::span(def.data(), static_cast<std::size_t>(defenderCount)), garrison, damage);
        StoreArmies(na, atk, def);
        s.shubihei = ToField(garrison);
        s.siegeValue = ToField(damage);
        if (damage >= s.kibo * 100) result = kSiegeFallen;
        ++assaultsThisMonth;
    }
    if (result != kSiegeFallen && CanBeStarved()) {
        const long long eaten = RoundUp(static_cast<double>(s.GetDefenseStrength(gs_)) * HeiUnit(gs_) / 5.0);
        const long long left = static_cast<long long>(s.hyourou) - eaten;
        if (left < 1) {
            s.hyourou = 0;
            result = kSiegeStarved;
        } else {
            s.hyourou = static_cast<std::uint32_t>(left);
        }
    }
    return result;
}

int CKoujousen::RunKeiryaku(bool assault, bool messages, bool& done, int turn) {
    done = false;
    if (!Valid() || !gs_.bKeiryaku) return kSiegeHolds;
    CShiro& s = ShiroAt(gs_, castle);
    const int nBesieger = std::clamp<int>(s.nBesieger, 0, CShiro::kMaxBushou);
    if (nBesieger == 0) return kSiegeHolds;
    const ScenarioWordArray& words = gs_.ScenarioWords;
    const std::string shiroWord = words[4];

    const int actor =
        PickStratagemActor(gs_, s.besieger.data(), nBesieger, BestIntellect(gs_, defenders, defenderCount));
    if (actor >= 0) {
        const CBushou& a = BushouAt(gs_, actor);
        const std::string actorHouse = HouseName(gs_, a.daimyou);
        if (assault) {
            ShakeTroops(gs_, defenders, defenderCount, a.chibou);
            const double g = std::min(1.0, gs_.rng.Unit() * 0.05 + 0.9 + 0.03 - a.chibou * 0.005);
            s.shubihei = ToField(static_cast<long long>(std::max<int>(0, s.shubihei) * g));
            if (messages)
                AppendLog(ReplaceWordRakujou(FormatText("ターン%d【攻略軍の流言】%s の %s "
                                                        "が%s内に間者を潜入させて落城間近の流言を広めたため、"
                                                        "動揺した %s の兵に逃亡者がでています",
                                                        turn, actorHouse.c_str(), a.name.c_str(),
                                                        shiroWord.c_str(), HouseName(gs_, s.daimyou).c_str()),
                                             words));
        } else {
            const long long burnt = static_cast<long long>((gs_.rng.Unit() * 0.025 + 0.05 + a.chibou * 0.01) *
                                                           gs_.nShiroHyourouMax);
            s.hyourou =
                static_cast<std::uint32_t>(std::max<long long>(0, static_cast<long long>(s.hyourou) - burnt));
            if (messages)
                AppendLog(ReplaceWordHyourou(
                    FormatText("ターン%d【攻略軍の兵糧倉焼き討ち】%s の %s "
                               "の手勢が%s内に潜入し、兵糧倉の焼き討ちに成功しました",
                               turn, actorHouse.c_str(), a.name.c_str(), shiroWord.c_str()),
                    words));
        }
        done = true;
        return s.hyourou == 0 ? kSiegeStarved : kSiegeHolds;
    }
    if (defenderCount == 0) return kSiegeHolds;
    const int defender =
        PickStratagemActor(gs_, defenders, defenderCount, BestIntellect(gs_, s.besieger.data(), nBesieger));
    if (defender < 0) return kSiegeHolds;
    const CBushou& d = BushouAt(gs_, defender);
    ShakeTroops(gs_, s.besieger.data(), nBesieger, d.chibou);
    if (messages) {
        const int first = s.besieger[0];
        AppendLog(FormatText(
            "ターン%d【守備軍の囮部隊による計略】%s の %s の囮部隊の誘いにより、%s "
            "の兵の一部が突出して損害を受けました",
            turn, HouseName(gs_, s.daimyou).c_str(), d.name.c_str(),
            IsValidBushou(gs_, first) ? HouseName(gs_, BushouAt(gs_, first).daimyou).c_str() : ""));
    }
    done = true;
    return kSiegeHolds;
}

bool CKoujousen::DecideAssault() {
    if (!Valid() || assaultsThisMonth >= GetMaxAssaults()) return false;
    if (!CanBeStarved()) return true;
    const CShiro& s = ShiroAt(gs_, castle);
    const int nBesieger = std::clamp<int>(s.nBesieger, 0, CShiro::kMaxBushou);
    const int months =
        SimulateKoujousen(gs_, false, besiegingHouse, castle,
                          std::span<const int>(s.besieger.data(), static_cast<std::size_t>(nBesieger)),
                          std::span<const int>(defenders, static_cast<std::size_t>(defenderCount)));
    const int provisions = GetHyourouMonths(gs_, castle, -1, -1);
    if (months == provisions) return false;
    return provisions / 1.3 > months;
}

bool CKoujousen::DecideSortie() {
    if (!Valid()) return false;
    const CShiro& s = ShiroAt(gs_, castle);
    const int defence = s.GetDefenseStrength(gs_);
    if (ShiroMap(gs_, castle).maxKibo == 0) return defence > 0;
    return s.GetBesiegerTroops(gs_) <= defence * (gs_.rng.Unit() * 0.8 + 1.2);
}

bool CKoujousen::DecideNavalBattle() {
    if (!Valid() || !OnWaterway(gs_, castle) || navalBattleDone) return false;
    const int ownShips = gs_.GunsenTable.GetGunsenAtShiro(castle);
    const int blockadeShips = gs_.GunsenTable.GetBlockadeGunsenAtShiro(castle);
    if (ownShips <= 0 || blockadeShips <= 0) return false;
    const CShiro& s = ShiroAt(gs_, castle);
    const long long unit = HeiUnit(gs_);

    // What fits on the ships: the largest troops first, skipping any that no longer fit.
    auto seaStrength = [unit](std::array<int, 21>& troops, int n, long long ships) {
        std::sort(troops.begin(), troops.begin() + n, std::greater<int>());
        long long sum = 0;
        for (int i = 0; i < n; ++i)
            if ((sum + troops[static_cast<std::size_t>(i)]) * unit <= ships * 1000)
                sum += troops[static_cast<std::size_t>(i)];
        return sum;
    };
    std::array<int, 21> bes{};
    int nb = 0;
    for (int i = 0; i < std::clamp<int>(s.nBesieger, 0, CShiro::kMaxBushou); ++i)
        if (IsValidBushou(gs_, s.besieger[static_cast<std::size_t>(i)])) {
            const CBushou& b = BushouAt(gs_, s.besieger[static_cast<std::size_t>(i)]);
            bes[static_cast<std::size_t>(nb++)] = b.cavalry + b.foot;
        }
    std::array<int, 21> def{};
    int nd = 0;
    for (int i = 0; i < defenderCount; ++i) {
        const CBushou& b = BushouAt(gs_, static_cast<int>(defenders[i]));
        def[static_cast<std::size_t>(nd++)] = b.cavalry + b.foot;
    }
    def[static_cast<std::size_t>(nd++)] = std::max<int>(0, s.shubihei);
    const long long a = seaStrength(bes, nb, blockadeShips);
    const long long d = seaStrength(def, nd, ownShips);

    const int besiegerTroops = s.GetBesiegerTroops(gs_);
    if (besiegerTroops <= 0) return false;
    if (a > 0 && static_cast<double>(d) / static_cast<double>(a) <=
                     static_cast<double>(s.GetDefenseStrength(gs_)) / besiegerTroops)
        return false;
    return static_cast<double>(a) <= static_cast<double>(d) * (gs_.rng.Unit() * 0.4 + 1.0);
}

void CKoujousen::WithdrawDefenders(bool messages) {
    if (!Valid()) return;
    if (CanBeStarved() && defenderCount > 0) {
        const CShiro& s = ShiroAt(gs_, castle);
        CSortList list(defenderCount);
        for (int i = 0; i < defenderCount; ++i) {
            const CBushou& b = BushouAt(gs_, static_cast<int>(defenders[i]));
            list.Set(i, static_cast<std::int32_t>(defenders[i]), 3 * b.cavalry + b.foot);
        }
        list.SortLarge();
        list.Randomize(gs_.rng);
        const int n = defenderCount;
        std::array<int, kMaxDefenders> order{};
        for (int i = 0; i < n; ++i)
            order[static_cast<std::size_t>(i)] = list.Id(i);
        const int nBesieger = std::clamp<int>(s.nBesieger, 0, CShiro::kMaxBushou);
        const std::span<const int> besiegers(s.besieger.data(), static_cast<std::size_t>(nBesieger));
        int k = 0;
        for (; k < n; ++k) {
            int troops = std::max<int>(0, s.shubihei);
            for (int i = k; i < n; ++i) {
                const CBushou& b = BushouAt(gs_, order[static_cast<std::size_t>(i)]);
                troops += b.foot + b.cavalry;
            }
            const int provisions = GetHyourouMonths(gs_, castle, -1, troops);
            const int months = SimulateKoujousen(
                gs_, false, besiegingHouse, castle, besiegers,
                std::span<const int>(order.data() + k + 1, static_cast<std::size_t>(n - k - 1)));
            if (months < provisions) break;
        }
        if (k > 0) {
            static const Ports kSilent;
            RetreatBushouFromShiro(gs_, ports_ ? *ports_ : kSilent, castle,
                                   std::span<const int>(order.data(), static_cast<std::size_t>(k)), messages);
        }
    }
    CollectDefenders();
}

bool CKoujousen::MusketCounterFire() {
    if (!Valid()) return false;
    CShiro& s = ShiroAt(gs_, castle);
    std::array<SiegeTroops, 20> atk{};
    std::array<SiegeTroops, 20> def{};
    const int na = LoadArmies(atk, def);
    int damage = s.siegeValue;
    const bool fired =
        CalcMusketCounterFire(gs_, std::span(atk.data(), static_cast<std::size_t>(na)),
                              std::span(def.data(), static_cast<std::size_t>(defenderCount)), damage);
    s.siegeValue = ToField(damage);
    return fired;
}

int CKoujousen::RunAutoSiege() {
    int result = kSiegeHolds;
    for (int turn = 1; turn <= kTurnsPerMonth; ++turn) {
        WithdrawDefenders(false);
        const bool assault = DecideAssault();
        result = ExecuteTurn(assault);
        if (result != kSiegeHolds) return result;
        bool done = false;
        result = RunKeiryaku(assault, false, done, turn);
        if (result != kSiegeHolds) return result;
    }
    MusketCounterFire();
    return result;
}

}  // namespace rymd
