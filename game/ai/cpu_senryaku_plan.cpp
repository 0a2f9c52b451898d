// The strategy planner's plan of a house: each unit of the house surveys its fronts, commits its
// troops front by front and sends the generals left over.
#include "game/ai/cpu_senryaku.h"

#include "game/ai/war_plan_helpers.h"

#include <algorithm>

#include "game/military/siege.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

namespace {

// Key of a candidate of the remaining-generals pass: num / den x 100000, clamped.
int CandidateKey(double num, double den) {
    double key = den == 0.0 ? 2147483647.0 : num / den * 100000.0;
    if (key == 0.0) key = 100000.0 - den;
    if (key > 2147483647.0) key = 2147483647.0;
    if (key < -2147483648.0) key = -2147483648.0;
    return static_cast<int>(key);
}

}  // namespace

void CCpuSenryaku::PlanDaimyou(int daimyou) {
    GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou)) return;
    if (DaimyouAt(gs, daimyou).GetBehaviour() == CDaimyou::kBehaviourStatic) return;
    FreeRouteCosts();
    keepRows_ = true;
    PlanGundan(daimyou, -1);
    for (int k : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs, k);
        if (corps.leader != CGundan::kLeaderFree && corps.daimyou == daimyou) PlanGundan(daimyou, k);
    }
    keepRows_ = false;
    FreeRouteCosts();
}

namespace {

// The survey marks of a castle: a bit for each list that holds it.
constexpr std::uint8_t kListedFriendly = 1;
constexpr std::uint8_t kListedBesiegedByUs = 2;
constexpr std::uint8_t kListedTarget = 4;

}  // namespace

// The fronts of the planned unit, each castle keyed by its siege estimate.
struct CCpuSenryaku::Fronts {
    explicit Fronts(int room) : ownBesieged(room), besiegedByUs(room), targets(room), friendly(room) {
        for (CSortList* l : {&ownBesieged, &besiegedByUs, &targets, &friendly})
            l->SetCount(0);
    }
    CSortList ownBesieged;    // the house's castles under siege
    CSortList besiegedByUs;   // the castles the house besieges
    CSortList targets;        // hostile castles next to the house's
    CSortList friendly;       // castles of friends next to the house's
    std::vector<int> result;  // what the commitment to each target did, by its place in targets
};

void CCpuSenryaku::PlanGundan(int daimyou, int gundan) {
    GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou)) return;
    if (gundan >= 0 && !IsValidGundan(gundan)) return;
    if (DaimyouAt(gs, daimyou).bond == CDaimyou::kBondShinjuu) return;
    if (!keepRows_) FreeRouteCosts();
    SetPlanned(daimyou, gundan);
    if (gundan >= 0 && (GundanAt(gs, gundan).order & 0x3) == CGundan::kOrderNaisei) {
        PlaceNaiseiBushou(daimyou, gundan);
        return;
    }
    const int nShiro = ShiroCount(gs);

    // The house's generals (index order) and its strongest twenty.
    const std::vector<int>& ours = index_.BushouOf(daimyou);
    const std::vector<int> top20 = StrikeForce(gs, ours, 20);

    // Survey.
    // Each list holds at most the links of the house's castles.
    const int room = static_cast<int>(std::min<std::size_t>(
        static_cast<std::size_t>(nShiro), ownShiro_.size() * ShiroMapRecord::kMaxConnection + 1));
    Fronts fronts(room);
    SurveyFronts(daimyou, gundan, top20, fronts);

    if (fronts.ownBesieged.Count() == 0 && fronts.besiegedByUs.Count() == 0 && fronts.targets.Count() == 0) {
        if (fronts.friendly.Count() == 0) {
            if (gundan >= 0) {
                PlaceNaiseiBushou(daimyou, gundan);
                return;
            }
        } else {
            fronts.targets = fronts.friendly;
        }
    }

    CommitToFronts(daimyou, gundan, ours, fronts);
    SendLeftoverGenerals(daimyou, ours, fronts);

    if (gs.GunsenTable.count >= 1) PlanGunsen();
}

// Lists the fronts around the unit's castles: its besieged castles, the castles the house
// besieges, hostile targets and friends' castles, each castle once a list.
void CCpuSenryaku::SurveyFronts(int daimyou, int gundan, std::span<const int> top20Span, Fronts& fronts) {
    GameState& gs = context_.gs;
    const int nShiro = ShiroCount(gs);
    // The per-castle marks and troops start at 0: only the entries the last plan touched are
    // cleared.
    if (listed_.size() != static_cast<std::size_t>(nShiro) ||
        committed_.size() != static_cast<std::size_t>(nShiro)) {
        listed_.assign(static_cast<std::size_t>(nShiro), 0);
        committed_.assign(static_cast<std::size_t>(nShiro), 0);
    } else {
        for (int c : touched_) {
            listed_[static_cast<std::size_t>(c)] = 0;
            committed_[static_cast<std::size_t>(c)] = 0;
        }
    }
    touched_.clear();
    std::vector<std::uint8_t>& listed = listed_;
    for (int c : ownShiro_) {
        if (!InCorps(c)) continue;
        if (Besieged(gs, c)) {
            touched_.push_back(c);
            fronts.ownBesieged.Append(c, EstimateKoujousen(gs, -1, c, nullptr, nullptr, 0, nullptr));
            continue;
        }
        ForLinks(gs, c, [&](int, int d, int) {
            const CShiro& sd = ShiroAt(gs, d);
            if (sd.daimyou == daimyou || !IsValidDaimyou(gs, sd.daimyou)) return;
            if (DaimyouAt(gs, sd.daimyou).IsUnattackable()) return;
            if (gundan >= 0 && gs.ShiroDisabledBits.test(static_cast<std::size_t>(d))) return;
            std::uint8_t& mark = listed[static_cast<std::size_t>(d)];
            if (mark == 0) touched_.push_back(d);
            const int r = Relation(gs, sd.daimyou, daimyou);
            if (r > 1) {
                if (r > CDaimyou::kRelJuuzokuPeer || (mark & kListedFriendly)) return;
                mark |= kListedFriendly;
                fronts.friendly.Append(d, EstimateKoujousen(gs, daimyou, d, &top20Span, nullptr, 1, nullptr));
            } else if (GetCountedDaimyou(gs, sd.besiegerDaimyou) == daimyou && sd.nBesieger != 0) {
                if (mark & kListedBesiegedByUs) return;
                mark |= kListedBesiegedByUs;
                fronts.besiegedByUs.Append(d,
                                           EstimateKoujousen(gs, daimyou, d, nullptr, nullptr, 0, nullptr));
            } else {
                if (sd.nBesieger != 0 && Relation(gs, sd.besiegerDaimyou, daimyou) > 1 &&
                    IsValidDaimyou(gs, sd.besiegerDaimyou))
                    return;
                if (mark & kListedTarget) return;
                mark |= kListedTarget;
                fronts.targets.Append(d, EstimateKoujousen(gs, daimyou, d, &top20Span, nullptr, 1, nullptr));
            }
        });
    }
}

// Commits the unit's troops front by front: relief of the house's besieged castles, then its
// own sieges, then new targets.
void CCpuSenryaku::CommitToFronts(int daimyou, int gundan, const std::vector<int>& ours, Fronts& fronts) {
    GameState& gs = context_.gs;
    std::vector<int>& committed = committed_;
    auto freeStrength = [&](bool weighted, bool rawHouse) {
        int s = 0;
        for (int g : ours) {
            const CBushou& b = BushouAt(gs, g);
            if (rawHouse && b.daimyou != daimyou) continue;
            if (IsPlanFree(g)) s += weighted ? Weighted(b) : Troops(b);
        }
        return s;
    };
    CSortList& ownBesieged = fronts.ownBesieged;
    CSortList& besiegedByUs = fronts.besiegedByUs;
    CSortList& targets = fronts.targets;

    // Relief of the house's besieged castles.
    if (ownBesieged.Count() > 0) {
        ownBesieged.SortSmall();
        ownBesieged.Randomize(gs.rng);
        for (int i = 0; i < ownBesieged.Count(); ++i) {
            const int c = ownBesieged.Id(i);
            const int s = freeStrength(true, true);
            if (s >= ShiroAt(gs, c).GetBesiegerStrength(gs) || ownBesieged.Key(i) < 3 || targets.Count() == 0)
                CommitToShiro(daimyou, gundan, c, committed[static_cast<std::size_t>(c)]);
        }
    }
    // The house's own sieges.
    if (besiegedByUs.Count() > 0) {
        besiegedByUs.SortLarge();
        besiegedByUs.Randomize(gs.rng);
        for (int i = 0; i < besiegedByUs.Count(); ++i) {
            const int d = besiegedByUs.Id(i);
            CommitToShiro(daimyou, gundan, d, committed[static_cast<std::size_t>(d)]);
        }
    }
    // New targets.
    fronts.result.assign(static_cast<std::size_t>(targets.Count()), 0);
    if (targets.Count() > 0) {
        targets.SortSmall();
        targets.Randomize(gs.rng);
        for (int i = 0; i < targets.Count(); ++i) {
            const int t = targets.Id(i);
            const CShiro& st = ShiroAt(gs, t);
            int& r = fronts.result[static_cast<std::size_t>(i)];
            if (st.nBesieger == 0) {
                r = CommitToShiro(daimyou, gundan, t, committed[static_cast<std::size_t>(t)]);
            } else if (Hostile(Relation(gs, st.besiegerDaimyou, daimyou))) {
                const double b = st.GetBesiegerTroops(gs);
                const int s = freeStrength(false, false);
                const double f = gs.rng.Unit() * 0.4 + 1.1;
                if (b * f < s) r = CommitToShiro(daimyou, gundan, t, committed[static_cast<std::size_t>(t)]);
            }
        }
    }
}

// The generals left over join the fronts where the fewest troops stand against the most.
void CCpuSenryaku::SendLeftoverGenerals(int daimyou, const std::vector<int>& ours, const Fronts& fronts) {
    GameState& gs = context_.gs;
    std::vector<int>& committed = committed_;
    const CSortList& ownBesieged = fronts.ownBesieged;
    const CSortList& besiegedByUs = fronts.besiegedByUs;
    const CSortList& targets = fronts.targets;
    for (int g : ours) {
        const CBushou& b = BushouAt(gs, g);
        if (!IsPlanFree(g) || (b.cavalry == 0 && b.foot == 0)) continue;
        if (!IsValidShiro(gs, b.shiro) || Besieged(gs, b.shiro)) continue;
        const int troops = Troops(b);
        for (int pass = 0; pass < 2; ++pass) {
            int chosen = -1;
            for (int i = 0; i < targets.Count() && chosen < 0; ++i) {
                const int t = targets.Id(i);
                if (fronts.result[static_cast<std::size_t>(i)] != kCommitWholePool) continue;
                if (pass == 0 && IsShiroIsolated(t)) continue;
                if (ShiroAt(gs, t).GetDefenseStrength(gs) * 1.5 > committed[static_cast<std::size_t>(t)])
                    chosen = t;
            }
            if (chosen < 0) {
                int bestKey = 0;
                auto consider = [&](int c, double num, double den) {
                    if (pass == 0 && IsShiroIsolated(c)) return;
                    const int key = CandidateKey(num, den);
                    if (chosen < 0 || key < bestKey) {
                        chosen = c;
                        bestKey = key;
                    }
                };
                for (int i = 0; i < targets.Count(); ++i) {
                    const int t = targets.Id(i);
                    consider(t, committed[static_cast<std::size_t>(t)],
                             ShiroAt(gs, t).GetDefenseStrength(gs));
                }
                for (int i = 0; i < besiegedByUs.Count(); ++i) {
                    const int d = besiegedByUs.Id(i);
                    const CShiro& sd = ShiroAt(gs, d);
                    consider(d, committed[static_cast<std::size_t>(d)] + sd.GetBesiegerTroops(gs),
                             sd.GetDefenseStrength(gs));
                }
                for (int i = 0; i < ownBesieged.Count(); ++i) {
                    const int c = ownBesieged.Id(i);
                    consider(c, committed[static_cast<std::size_t>(c)], ShiroAt(gs, c).GetBesiegerTroops(gs));
                }
            }
            if (chosen >= 0) {
                MoveBushouToward(daimyou, chosen, g);
                committed[static_cast<std::size_t>(chosen)] += troops;
                break;
            }
        }
    }
}

}  // namespace rymd
