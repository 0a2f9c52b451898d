#include "game/ai/attack_planner.h"

#include <algorithm>

#include "game/ai/war_plan_helpers.h"
#include "game/military/placement.h"
#include "game/military/siege.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

namespace {

constexpr int kArmyMax = 20;

bool HasOrder(const CBushou& b) {
    return (b.flags & CBushou::kFlagOrdered) != 0;
}
// A general a planner may send: on stage for a house, not a hostage, not yet ordered.
bool Sendable(const CBushou& b, int gundan) {
    return b.status != CBushou::kStatusHitojichi && b.gundan == gundan && !HasOrder(b) &&
           (b.flags & CBushou::kFlagBesieging) == 0;
}
// Takes the candidates in order while the ships carry them (1000 soldiers a ship); returns the
// troops carried.
int CarriedTroops(const GameState& gs, const std::vector<int>& ids, int ships) {
    int load = 0;
    for (int g : ids) {
        const int t = Troops(BushouAt(gs, g));
        if (static_cast<long>(load + t) * HeiUnit(gs) <= static_cast<long>(ships) * kShipLoad) load += t;
    }
    return load;
}

}  // namespace

void CAttackPlanner::PlanDaimyouAttacks(int daimyou) {
    const GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou)) return;
    if (DaimyouAt(gs, daimyou).GetBehaviour() != 0) return;
    for (int k : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs, k);
        if (corps.leader != CGundan::kLeaderFree && corps.daimyou == daimyou) PlanGundanAttacks(daimyou, k);
    }
    PlanGundanAttacks(daimyou, -1);
}

namespace {

// The fronts of a unit of the house, each castle keyed by its siege estimate.
struct AttackFronts {
    explicit AttackFronts(int room) : relief(room), sieges(room), targets(room), defence(room) {
        for (CSortList* l : {&relief, &sieges, &targets, &defence})
            l->SetCount(0);
    }
    CSortList relief;   // the house's castles under siege
    CSortList sieges;   // hostile castles the house besieges
    CSortList targets;  // hostile castles next to the house's
    CSortList defence;  // the house's castles facing the strongest hostile garrison next to them
};

// The marks of the castles met: a bit for each list that holds it.
constexpr std::uint8_t kMarkSiege = 1;
constexpr std::uint8_t kMarkTarget = 2;

// A castle of the unit: in its provinces or next to one of them (the directly held part has
// every castle).
bool InUnit(const GameState& gs, int gundan, int c) {
    if (gundan < 0) return true;
    const CGundan& corps = GundanAt(gs, gundan);
    if (corps.IsShiroInTantouKuni(gs, c)) return true;
    bool near = false;
    ForLinks(gs, c, [&](int, int n, int) { near = near || corps.IsShiroInTantouKuni(gs, n); });
    return near;
}

// Lists the fronts around the unit's castles. The marks start at 0: only the entries set last
// time are cleared.
void SurveyAttackFronts(GameState& gs, int daimyou, int gundan, const std::vector<int>& own,
                        std::span<const int> strikeSpan, std::vector<std::uint8_t>& marks,
                        std::vector<int>& marked, AttackFronts& fronts) {
    const int nShiro = ShiroCount(gs);
    if (marks.size() != static_cast<std::size_t>(nShiro)) {
        marks.assign(static_cast<std::size_t>(nShiro), 0);
    } else {
        for (int d : marked)
            marks[static_cast<std::size_t>(d)] = 0;
    }
    marked.clear();
    auto markOf = [&](int d) -> std::uint8_t& {
        std::uint8_t& m = marks[static_cast<std::size_t>(d)];
        if (m == 0) marked.push_back(d);
        return m;
    };
    for (int c : own) {
        if (!InUnit(gs, gundan, c)) continue;
        if (Besieged(gs, c)) {
            fronts.relief.Append(c, EstimateKoujousen(gs, -1, c, nullptr, nullptr, 0, nullptr));
            continue;
        }
        int threat = -1, threatStrength = 0;
        ForLinks(gs, c, [&](int, int d, int) {
            const CShiro& sd = ShiroAt(gs, d);
            if (sd.daimyou == daimyou || !IsValidDaimyou(gs, sd.daimyou)) return;
            if (GetCountedDaimyouOfShiro(gs, d) == daimyou) return;
            if (DaimyouAt(gs, sd.daimyou).IsUnattackable()) return;
            if (gundan >= 0 && gs.ShiroDisabledBits.test(static_cast<std::size_t>(d))) return;
            if (!Hostile(Relation(gs, sd.daimyou, daimyou))) return;
            std::uint8_t& m = markOf(d);
            if (sd.nBesieger != 0 && GetCountedDaimyou(gs, sd.besiegerDaimyou) == daimyou) {
                if (m & kMarkSiege) return;
                m |= kMarkSiege;
                fronts.sieges.Append(d, EstimateKoujousen(gs, -1, d, nullptr, nullptr, 0, nullptr));
                return;
            }
            if (sd.nBesieger != 0 && IsValidDaimyou(gs, sd.besiegerDaimyou) &&
                !Hostile(Relation(gs, sd.besiegerDaimyou, daimyou)))
                return;
            if (sd.nBushou > 0) {
                const int s = sd.GetDefenseStrength(gs);
                if (threat < 0 || s > threatStrength) threat = d, threatStrength = s;
            }
            if (m & kMarkTarget) return;
            m |= kMarkTarget;
            bool seaOnly = false;
            ForLinks(gs, d, [&](int, int x, int) {
                seaOnly = seaOnly || (GetCountedDaimyouOfShiro(gs, x) == daimyou &&
                                      GetShiroConnectType(gs, d, x) == kConnectSea);
            });
            fronts.targets.Append(
                d, EstimateKoujousen(gs, daimyou, d, &strikeSpan, nullptr, seaOnly ? 1 : 2, nullptr));
        });
        if (threat >= 0) {
            std::vector<int> garrison;
            ForListed(gs, threat, false, [&](int g) { garrison.push_back(g); });
            const std::span<const int> g(garrison);
            fronts.defence.Append(
                c, EstimateKoujousen(gs, ShiroAt(gs, threat).daimyou, c, &g, nullptr, 0, nullptr));
        }
    }
}

}  // namespace

void CAttackPlanner::PlanGundanAttacks(int daimyou, int gundan) {
    GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou) || !HouseExists(gs, daimyou)) return;
    if (DaimyouAt(gs, daimyou).bond == CDaimyou::kBondShinjuu) return;
    if (gundan >= 0 && (!IsValidGundan(gundan) || (GundanAt(gs, gundan).order & CGundan::kOrderShinkou) == 0))
        return;
    index_.Refresh(gs);
    const int nShiro = ShiroCount(gs);

    // The strike force of the estimates.
    const std::vector<int> strike = StrikeForce(gs, index_.BushouOf(daimyou), kArmyMax);

    const std::vector<int>& own = index_.ShiroOf(daimyou);
    // Each list holds at most the links of the house's castles.
    const int room = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(nShiro),
                                                            own.size() * ShiroMapRecord::kMaxConnection + 1));
    AttackFronts fronts(room);
    SurveyAttackFronts(gs, daimyou, gundan, own, strike, marks_, marked_, fronts);
    CSortList& relief = fronts.relief;
    CSortList& sieges = fronts.sieges;
    CSortList& targets = fronts.targets;
    CSortList& defence = fronts.defence;

    relief.SortSmall();
    relief.Randomize(gs.rng);
    for (int i = 0; i < relief.Count(); ++i)
        OrderShutsujin(daimyou, gundan, relief.Id(i), 0);

    sieges.SortLarge();
    sieges.Randomize(gs.rng);
    std::vector<int> ids;
    for (int i = 0; i < sieges.Count(); ++i) {
        const int d = sieges.Id(i);
        if (sieges.Key(i) <= 2) continue;
        const CShiro& sd = ShiroAt(gs, d);
        CollectShutsujinBushou(daimyou, gundan, d, kArmyMax - sd.nBesieger, ids);
        if (ids.empty()) continue;
        ForListed(gs, d, true, [&](int g) { ids.push_back(g); });
        const std::span<const int> army(ids);
        if (EstimateKoujousen(gs, daimyou, d, &army, nullptr, 0, nullptr) < sieges.Key(i))
            OrderShutsujin(daimyou, gundan, d, sd.GetDefenseStrength(gs));
    }

    targets.SortSmall();
    targets.Randomize(gs.rng);
    for (int i = 0; i < targets.Count(); ++i) {
        const int d = targets.Id(i);
        const CShiro& sd = ShiroAt(gs, d);
        if (sd.nBesieger != 0) {
            const double b = sd.GetBesiegerTroops(gs);
            const int s = CollectShutsujinBushou(daimyou, gundan, d, kArmyMax, ids);
            const double r = gs.rng.Unit() * 0.4 + 1.1;
            if (b * r < s && EstimateKoujousen(gs, -1, d, nullptr, nullptr, 0, nullptr) < 2)
                OrderShutsujin(daimyou, gundan, d, sd.GetDefenseStrength(gs));
        } else {
            OrderShutsujin(daimyou, gundan, d, sd.GetDefenseStrength(gs));
        }
    }

    defence.SortSmall();
    defence.Randomize(gs.rng);
    for (int i = 0; i < defence.Count(); ++i)
        if (defence.Key(i) < 3) OrderShutsujin(daimyou, gundan, defence.Id(i), 0);

    for (const CSortList* l : {&sieges, &targets})
        for (int i = 0; i < l->Count(); ++i)
            if (Waterway(gs, l->Id(i))) AssignGunsenToShutsujin(l->Id(i), daimyou);
}

int CAttackPlanner::CollectShutsujinBushou(int daimyou, int gundan, int target, int maxCount,
                                           std::vector<int>& ids) {
    const GameState& gs = context_.gs;
    ids.clear();
    if (!IsValidShiro(gs, target)) return 0;
    MbMisc::CSortInt cands(64);
    std::vector<int> seen;
    ForLinks(gs, target, [&](int, int c, int) {
        if (std::find(seen.begin(), seen.end(), c) != seen.end()) return;
        seen.push_back(c);
        if (GetCountedDaimyouOfShiro(gs, c) != daimyou || Besieged(gs, c)) return;
        if (GetShiroConnectType(gs, c, target) != kConnectSea) {
            ForListed(gs, c, false, [&](int g) {
                const CBushou& b = BushouAt(gs, g);
                if (Sendable(b, gundan)) cands.AddData(g, Troops(b));
            });
        } else if (!Blockaded(gs, c)) {
            MbMisc::CSortInt here(CShiro::kMaxBushou);
            ForListed(gs, c, false, [&](int g) {
                const CBushou& b = BushouAt(gs, g);
                if (Sendable(b, gundan)) here.AddData(g, Troops(b));
            });
            here.SortTopLarge(-1);
            const long room = static_cast<long>(gs.GunsenTable.GetFreeGunsenAtShiro(c)) * kShipLoad;
            long load = 0;
            for (int j = 0; j < here.GetCount(); ++j) {
                if ((load + here.GetSort(j)) * HeiUnit(gs) > room) continue;
                load += here.GetSort(j);
                cands.AddData(here.GetItem(j), here.GetSort(j));
            }
        }
    });
    cands.SortTopLarge(-1);
    int total = 0;
    for (int i = 0; i < std::min(cands.GetCount(), std::max(0, maxCount)); ++i) {
        ids.push_back(cands.GetItem(i));
        total += cands.GetSort(i);
    }
    return total;
}

namespace {

// The only castle at the front is not stripped while a neighbour threatens it: a hostile
// neighbour other than the target whose troops (by sea, those its ships carry) outnumber the
// castle's.
bool FrontCastleThreatened(const GameState& gs, int daimyou, int c, int target) {
    int mine = 0;
    ForListed(gs, c, false, [&](int g) { mine += Troops(BushouAt(gs, g)); });
    bool threatened = false;
    std::vector<int> seen;
    ForLinks(gs, c, [&](int, int d, int) {
        if (threatened || d == target || std::find(seen.begin(), seen.end(), d) != seen.end()) return;
        seen.push_back(d);
        const int o = ShiroAt(gs, d).daimyou;
        if (!IsValidDaimyou(gs, o) || GetCountedDaimyouOfShiro(gs, d) == daimyou) return;
        if (!Hostile(Relation(gs, daimyou, o)) || ShiroAt(gs, d).nBushou <= 0) return;
        std::vector<int> theirs;
        ForListed(gs, d, false, [&](int g) { theirs.push_back(g); });
        int threat = 0;
        if (GetShiroConnectType(gs, c, d) == kConnectSea) {
            std::sort(theirs.begin(), theirs.end(),
                      [&](int a, int b) { return Troops(BushouAt(gs, a)) > Troops(BushouAt(gs, b)); });
            threat = CarriedTroops(gs, theirs, gs.GunsenTable.GetGunsenAtShiro(d));
        } else {
            for (int g : theirs)
                threat += Troops(BushouAt(gs, g));
        }
        threatened = mine < threat;
    });
    return threatened;
}

// The ships of the house that can reach the target's water from its castles near it: those of
// castles within a sea march of a launch point, in the unit, facing no other front.
int ShipsWithinReach(const GameState& gs, int daimyou, int gundan, int target,
                     const std::vector<int>& launch) {
    std::vector<std::uint8_t> counted(static_cast<std::size_t>(ShiroCount(gs)), 0);
    std::vector<std::uint16_t> cost(static_cast<std::size_t>(ShiroCount(gs)));
    int ships = 0;
    for (int w : launch) {
        if (!Waterway(gs, w)) continue;
        CalcRoadCost(gs, daimyou, gundan, w, cost, kRouteSea);
        for (int x : ShiroIndexes(gs)) {
            if (counted[static_cast<std::size_t>(x)] || cost[static_cast<std::size_t>(x)] > gs.nDistanceLimit)
                continue;
            if (GetCountedDaimyouOfShiro(gs, x) != daimyou) continue;
            if (gundan >= 0 && !GundanAt(gs, gundan).IsShiroInTantouKuni(gs, x)) continue;
            bool otherFront = false;
            ForLinks(gs, x, [&](int, int y, int) {
                const int o = ShiroAt(gs, y).daimyou;
                if (y != target && IsValidDaimyou(gs, o) && GetCountedDaimyouOfShiro(gs, y) != daimyou &&
                    Hostile(Relation(gs, daimyou, o)))
                    otherFront = true;
            });
            if (otherFront) continue;
            counted[static_cast<std::size_t>(x)] = 1;
            ships += gs.GunsenTable.GetFreeGunsenAtShiro(x);
        }
    }
    return ships;
}

// One sortie against a castle as OrderShutsujin works it out.
struct Sortie {
    Sortie(GameState& gs, HouseIndex& index, int daimyou, int gundan, int target)
        : gs(gs),
          index(index),
          daimyou(daimyou),
          gundan(gundan),
          target(target),
          st(ShiroAt(gs, target)),
          owner(GetCountedDaimyouOfShiro(gs, target)),
          weBesiege(st.nBesieger != 0 && GetCountedDaimyou(gs, st.besiegerDaimyou) == daimyou),
          weBlockade(st.blockadeDaimyou != -1 && GetCountedDaimyou(gs, st.blockadeDaimyou) == daimyou) {}

    void FindBoundArmy();
    void ListCandidates();
    bool ChooseArmy(int needed);
    int EnemyCrews() const;
    void WeighWater();
    bool Go(int needed) const;
    int SendOrders();

    GameState& gs;
    HouseIndex& index;
    const int daimyou;
    const int gundan;
    const int target;
    const CShiro& st;
    const int owner;
    const bool weBesiege;
    const bool weBlockade;

    std::vector<int> army;    // already there or on its way, then with the chosen
    int freeCount = 0;        // free generals of the unit
    std::vector<int> launch;  // own castles next to the target, not besieged
    int shipsAvailable = 0;
    std::vector<int> cand;  // the candidates, then the chosen
    int n = 0;              // the chosen
    int troops = 0;         // troops of the chosen
    int already = 0;        // troops of the house's besiegers there
    bool friendly = false;  // the target is the house's own or a friend's
    bool keptBack = false;  // one general stays home
    bool waterway = false;
    bool superior = false;  // the house commands the water around the target
    int m1 = 0;             // months the siege is estimated to take
};

// The army already there or on its way, and the free generals of the unit.
void Sortie::FindBoundArmy() {
    if (weBesiege) ForListed(gs, target, true, [&](int g) { army.push_back(g); });
    for (int g : index.BushouOf(daimyou)) {
        const CBushou& b = BushouAt(gs, g);
        if (HasOrder(b) && b.sortieShiro == target && army.size() < kArmyMax) army.push_back(g);
        if (Sendable(b, gundan) && IsValidShiro(gs, b.shiro) && !Besieged(gs, b.shiro)) ++freeCount;
    }
}

// Candidates from each own castle next to the target; across the sea only those its free ships
// carry.
void Sortie::ListCandidates() {
    ForLinks(gs, target, [&](int, int c, int) {
        if (std::find(launch.begin(), launch.end(), c) != launch.end()) return;
        if (GetCountedDaimyouOfShiro(gs, c) == daimyou && !Besieged(gs, c)) launch.push_back(c);
    });
    for (int c : launch) {
        if (launch.size() == 1 && FrontCastleThreatened(gs, daimyou, c, target)) continue;
        int ships = 0;
        if (Waterway(gs, c)) {
            ships = gs.GunsenTable.GetFreeGunsenAtShiro(c);
            if (weBlockade) {
                const int there = gs.GunsenTable.GetBlockadeGunsenAtShiro(target) +
                                  gs.GunsenTable.GetGunsenBoundFor(gs, target, daimyou);
                ships = std::clamp(kShipRoom - there, 0, ships);
            }
            shipsAvailable += ships;
        }
        MbMisc::CSortInt here(CShiro::kMaxBushou);
        ForListed(gs, c, false, [&](int g) {
            const CBushou& b = BushouAt(gs, g);
            if (Sendable(b, gundan)) here.AddData(g, Troops(b));
        });
        here.SortTopLarge(-1);
        if (GetShiroConnectType(gs, c, target) == kConnectSea) {
            if (Blockaded(gs, c)) continue;
            long load = 0;
            for (int j = 0; j < here.GetCount(); ++j) {
                if ((load + here.GetSort(j)) * HeiUnit(gs) > static_cast<long>(ships) * kShipLoad) continue;
                load += here.GetSort(j);
                cand.push_back(here.GetItem(j));
            }
        } else {
            for (int j = 0; j < here.GetCount(); ++j)
                cand.push_back(here.GetItem(j));
        }
    }
}

// The chosen: the candidates strongest first, as many as the army has room for, the last of them
// one of the house's own; one general stays home when the rest are enough. False when nobody goes.
bool Sortie::ChooseArmy(int needed) {
    MbMisc::CSortInt sorted(static_cast<int>(cand.size()) + 1);
    for (int g : cand)
        sorted.AddData(g, Troops(BushouAt(gs, g)));
    sorted.SortTopLarge(-1);
    sorted.Randomize(gs.rng);
    cand.clear();
    for (int i = 0; i < sorted.GetCount(); ++i)
        cand.push_back(sorted.GetItem(i));
    n = std::min(static_cast<int>(cand.size()), kArmyMax - static_cast<int>(army.size()));
    if (n < 1) return false;
    if (BushouAt(gs, cand[static_cast<std::size_t>(n - 1)]).daimyou != daimyou) {
        for (int j = n - 2; j >= 0; --j) {
            if (BushouAt(gs, cand[static_cast<std::size_t>(j)]).daimyou != daimyou) continue;
            const int g = cand[static_cast<std::size_t>(j)];
            cand.erase(cand.begin() + j);
            cand.push_back(g);
            break;
        }
    }
    for (int i = 0; i < n; ++i)
        troops += Troops(BushouAt(gs, cand[static_cast<std::size_t>(i)]));
    if (troops < 1) return false;
    if (weBesiege) ForListed(gs, target, true, [&](int g) { already += Troops(BushouAt(gs, g)); });
    friendly = owner == daimyou || !Hostile(Relation(gs, st.daimyou, daimyou));

    // One general stays home when the rest are enough.
    const int last = Troops(BushouAt(gs, cand[static_cast<std::size_t>(n - 1)]));
    if (freeCount == n && !friendly && needed * 1.3 <= troops + already - last) {
        --n;
        troops -= last;
        keptBack = true;
    }
    if (n < 1) return false;
    cand.resize(static_cast<std::size_t>(n));
    return true;
}

// The crews the other side mans its ships at the target with: the garrison's, or the
// blockaders' when they are more.
int Sortie::EnemyCrews() const {
    std::vector<int> items{kShiroGarrisonItem + target};
    ForListed(gs, target, false, [&](int g) { items.push_back(g); });
    if (items.size() > kMaxTroopItems) items.resize(kMaxTroopItems);
    int picked = 0;
    std::vector<int> out(kMaxTroopItems);
    int crews = SelectTroopsWithinLimit(gs, gs.GunsenTable.GetGunsenAtShiro(target), items, picked, out);
    if (st.blockadeDaimyou != -1 && !weBlockade) {
        std::vector<int> besiegers;
        ForListed(gs, target, true, [&](int g) { besiegers.push_back(g); });
        if (besiegers.size() > kMaxTroopItems) besiegers.resize(kMaxTroopItems);
        crews = std::max(crews, SelectTroopsWithinLimit(gs, gs.GunsenTable.GetBlockadeGunsenAtShiro(target),
                                                        besiegers, picked, out));
    }
    return crews;
}

// Command of the water around the target, and the months the siege would take with it.
void Sortie::WeighWater() {
    waterway = Waterway(gs, target);
    if (waterway) superior = weBlockade || CarriedTroops(gs, cand, shipsAvailable) > EnemyCrews();
    for (int g : cand)
        army.push_back(g);
    const std::span<const int> armySpan(army);
    m1 = EstimateKoujousen(gs, daimyou, target, &armySpan, nullptr, superior ? 1 : 2, nullptr);
}

// Go or no go.
bool Sortie::Go(int needed) const {
    if (friendly) {
        int ours = 0, theirs = 0;
        for (int g : cand)
            ours = std::max<int>(ours, BushouAt(gs, g).chibou);
        ForListed(gs, target, true, [&](int g) { theirs = std::max<int>(theirs, BushouAt(gs, g).chibou); });
        return needed * (gs.rng.Unit() * 0.2 + 0.8) < troops || ours >= theirs + 3;
    }
    if (waterway && !superior) {
        // The ships the house could bring by sea from its castles near the target.
        const int ships = ShipsWithinReach(gs, daimyou, gundan, target, launch);
        if (CarriedTroops(gs, cand, ships) > EnemyCrews()) {
            const std::span<const int> armySpan(army);
            return m1 <= EstimateKoujousen(gs, daimyou, target, &armySpan, nullptr, 1, nullptr) + 1;
        }
        std::vector<int> defenders;
        ForListed(gs, target, false, [&](int g) { defenders.push_back(g); });
        return SimulateKoujousen(gs, st.blockadeDaimyou != -1, daimyou, target, army, defenders) < 25;
    }
    bool go = false;
    if (needed * (gs.rng.Unit() * 0.2 + 1.05) < troops + already) {
        if (n < freeCount || keptBack) {
            go = true;
        } else {
            const bool stretched =
                CalcStrengthOfGundan(gs, daimyou, -1, &index) < CalcMaxHeiByIncome(gs, daimyou, -1, &index) &&
                DaimyouAt(gs, daimyou).shikin >= 0 && m1 > 1;
            go = !stretched;
        }
    }
    if (gundan < 0 && n == kArmyMax && troops + already > needed / 2 &&
        index.StrengthOf(daimyou) > index.StrengthOf(owner))
        go = true;
    return go;
}

// Orders, origin by origin in candidate order; those across the sea take ships. The ships sent.
int Sortie::SendOrders() {
    int shipsSent = 0;
    std::vector<int> origins;
    for (int g : cand) {
        const int o = BushouAt(gs, g).shiro;
        if (std::find(origins.begin(), origins.end(), o) == origins.end()) origins.push_back(o);
    }
    for (int o : origins) {
        const bool bySea = GetShiroConnectType(gs, o, target) == kConnectSea;
        int sent = 0;
        for (int g : cand) {
            CBushou& b = BushouAt(gs, g);
            if (b.shiro != o || Troops(b) <= 0) continue;
            b.sortieShiro = static_cast<std::int16_t>(target);
            b.sortieOrigin = static_cast<std::int16_t>(o);
            b.flags |= CBushou::kFlagOrdered;
            if (bySea)
                b.flags |= CBushou::kFlagByWater;
            else
                b.flags &= static_cast<std::uint16_t>(~CBushou::kFlagByWater);
            sent += Troops(b);
        }
        if (bySea && sent > 0) {
            const int ships = (sent * HeiUnit(gs) + kShipLoad - 1) / kShipLoad;
            gs.GunsenTable.AssignGunsen(o, -1, target, ships);
            shipsSent += ships;
        }
    }
    return shipsSent;
}

}  // namespace

bool CAttackPlanner::OrderShutsujin(int daimyou, int gundan, int target, int needed) {
    GameState& gs = context_.gs;
    if (!IsValidShiro(gs, target)) return false;
    index_.Refresh(gs);
    Sortie sortie(gs, index_, daimyou, gundan, target);
    sortie.FindBoundArmy();
    sortie.ListCandidates();
    if (!sortie.ChooseArmy(needed)) return false;
    sortie.WeighWater();
    if (!sortie.Go(needed)) return false;

    int shipsSent = sortie.SendOrders();
    if (sortie.superior) {
        const bool weBlockade = sortie.weBlockade;
        if (weBlockade) shipsSent += gs.GunsenTable.GetBlockadeGunsenAtShiro(target);
        const int lying = gs.GunsenTable.GetGunsenAtShiro(target);
        if (shipsSent < lying) {
            const int room = kShipRoom - (weBlockade ? gs.GunsenTable.GetBlockadeGunsenAtShiro(target) : 0);
            LevelBlockade(daimyou, target, std::min(lying - shipsSent, std::max(0, room)));
        }
    }
    return true;
}

// Draws the ships for a blockade from the house's castles across the water, levelling what
// each keeps.
void CAttackPlanner::LevelBlockade(int daimyou, int target, int need) {
    GameState& gs = context_.gs;
    if (need < 1) return;
    MbMisc::CSortInt offers(8);
    std::vector<int> seen;
    ForLinks(gs, target, [&](int, int c, int) {
        if (std::find(seen.begin(), seen.end(), c) != seen.end()) return;
        seen.push_back(c);
        if (GetCountedDaimyouOfShiro(gs, c) != daimyou || GetShiroConnectType(gs, c, target) != kConnectSea)
            return;
        int waiting = 0;
        ForListed(gs, c, false, [&](int g) {
            if (!HasOrder(BushouAt(gs, g))) waiting += Troops(BushouAt(gs, g));
        });
        const int offer =
            gs.GunsenTable.GetFreeGunsenAtShiro(c) - (waiting * HeiUnit(gs) + kShipLoad - 1) / kShipLoad;
        if (offer > 0) offers.AddData(c, offer);
    });
    offers.SortTopLarge(-1);
    const int m = offers.GetCount();
    std::vector<int> take(static_cast<std::size_t>(m), 0);
    if (offers.GetSortSum() > need) {
        int remaining = need;
        int k = 0;
        int level = offers.GetSort(0);
        while (k + 1 < m) {
            const int next = offers.GetSort(k + 1);
            const int cost = (k + 1) * (level - next);
            if (cost >= remaining) break;
            for (int i = 0; i <= k; ++i)
                take[static_cast<std::size_t>(i)] += level - next;
            remaining -= cost;
            level = next;
            ++k;
        }
        for (int i = 0; i <= k; ++i) {
            const int share = remaining / (k + 1 - i);
            take[static_cast<std::size_t>(i)] += share;
            remaining -= share;
        }
    } else {
        for (int i = 0; i < m; ++i)
            take[static_cast<std::size_t>(i)] = offers.GetSort(i);
    }
    for (int i = 0; i < m; ++i)
        if (take[static_cast<std::size_t>(i)] > 0)
            gs.GunsenTable.AssignGunsen(offers.GetItem(i), -1, target, take[static_cast<std::size_t>(i)]);
}

void CAttackPlanner::AssignGunsenToShutsujin(int target, int daimyou) {
    GameState& gs = context_.gs;
    if (!IsValidShiro(gs, target)) return;
    const CShiro& st = ShiroAt(gs, target);
    std::vector<int> army;
    if (st.nBesieger != 0 && GetCountedDaimyou(gs, st.besiegerDaimyou) == daimyou)
        ForListed(gs, target, true, [&](int g) { army.push_back(g); });
    std::vector<int> seen;
    ForLinks(gs, target, [&](int, int c, int) {
        if (std::find(seen.begin(), seen.end(), c) != seen.end()) return;
        seen.push_back(c);
        if (GetCountedDaimyouOfShiro(gs, c) != daimyou) return;
        ForListed(gs, c, false, [&](int g) {
            const CBushou& b = BushouAt(gs, g);
            if (b.status != CBushou::kStatusHitojichi && HasOrder(b) && b.sortieShiro == target)
                army.push_back(g);
        });
    });
    if (army.empty()) return;
    const std::span<const int> armySpan(army);
    bool byAssault = false;
    EstimateKoujousen(gs, daimyou, target, &armySpan, nullptr, 1, &byAssault);
    if (byAssault) return;

    CGunsenTable& table = gs.GunsenTable;
    const int enemy = table.GetGunsenAtShiro(target);
    const bool weBlockade = st.blockadeDaimyou != -1 && GetCountedDaimyou(gs, st.blockadeDaimyou) == daimyou;
    const int own = (weBlockade ? table.GetBlockadeGunsenAtShiro(target) : 0) +
                    table.GetGunsenBoundFor(gs, target, daimyou);
    int troops = 0;
    for (int g : army)
        troops += Troops(BushouAt(gs, g));
    int wanted = std::max(enemy - own, ShipsFor(gs, troops) - own);
    wanted = std::min(wanted, kShipRoom - own);
    if (wanted < 1) return;
    const std::uint32_t n = table.count;
    for (std::uint32_t r = 0; r < n && wanted > 0; ++r) {
        const GunsenRecord f = table.records[r];
        if (f.IsBlockade() || !f.IsFree() || f.ships <= 0 || GetCountedDaimyou(gs, f.owner) != daimyou)
            continue;
        if (!IsValidShiro(gs, f.shiro) || GetShiroConnectType(gs, f.shiro, target) != kConnectSea) continue;
        const int send = std::min<int>(wanted, f.ships);
        table.AssignGunsen(f.shiro, f.owner, target, send);
        wanted -= send;
    }
}

}  // namespace rymd
