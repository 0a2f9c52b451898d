#include "game/ai/cpu_senryaku.h"

#include "game/ai/war_plan_helpers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

#include "game/military/placement.h"
#include "game/military/siege.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

namespace {

constexpr int kUnreachable = kRouteUnreachable;
constexpr int kRoster = CShiro::kMaxBushou;
constexpr int kShipRoom = CGunsenTable::kShiroLimit;

// Key of a candidate of the remaining-generals pass: num / den x 100000, clamped.
int CandidateKey(double num, double den) {
    double key = den == 0.0 ? 2147483647.0 : num / den * 100000.0;
    if (key == 0.0) key = 100000.0 - den;
    if (key > 2147483647.0) key = 2147483647.0;
    if (key < -2147483648.0) key = -2147483648.0;
    return static_cast<int>(key);
}

}  // namespace

CCpuSenryaku::CCpuSenryaku(GameContext context) : context_(context) {}

CCpuSenryaku::~CCpuSenryaku() = default;

// --- route caches ------------------------------------------------------------------------------

void CCpuSenryaku::RouteRowCosts::Clear() {
    for (std::uint16_t c : reached)
        cost[c] = kRouteUnreachable;
    reached.clear();
}

void CCpuSenryaku::FreeRouteCosts() {
    for (RouteCache& cache : caches_) {
        for (int c : cache.built) {
            auto& row = cache.rows[static_cast<std::size_t>(c)];
            // Keep a bounded stock of buffers for the next house.
            if (row && spareRows_.size() < 256) {
                row->Clear();
                spareRows_.push_back(std::move(*row));
            }
            row.reset();
        }
        cache.built.clear();
    }
    cacheDaimyou_ = -2;
}

void CCpuSenryaku::SetPlanned(int daimyou, int gundan) {
    if (daimyou != cacheDaimyou_) FreeRouteCosts();
    daimyou_ = daimyou;
    gundan_ = gundan;
    cacheDaimyou_ = daimyou;
    const GameState& gs = context_.gs;
    index_.Refresh(gs);
    ownShiro_ = index_.ShiroOf(daimyou);
    siegeLines_ = index_.SiegesOf(daimyou);
}

std::span<const std::uint16_t> CCpuSenryaku::RouteRow(int cache, int shiro) {
    const GameState& gs = context_.gs;
    const int n = ShiroCount(gs);
    static const std::vector<std::uint16_t> kNone(GameState::kMaxShiro, kRouteUnreachable);
    if (!IsValidShiro(gs, shiro))
        return std::span<const std::uint16_t>(kNone.data(), static_cast<std::size_t>(n));
    RouteCache& rc = caches_[static_cast<std::size_t>(cache)];
    if (rc.rows.size() < static_cast<std::size_t>(n)) rc.rows.resize(static_cast<std::size_t>(n));
    auto& row = rc.rows[static_cast<std::size_t>(shiro)];
    if (!row) {
        if (!spareRows_.empty()) {
            row = std::make_unique<RouteRowCosts>(std::move(spareRows_.back()));
            spareRows_.pop_back();
        } else {
            row = std::make_unique<RouteRowCosts>();
        }
        // A spare row holds 32767 everywhere; only a new one (or one of another map size) is
        // filled whole. The search writes the castles it reaches.
        if (row->cost.size() != static_cast<std::size_t>(n)) {
            row->cost.assign(static_cast<std::size_t>(n), kRouteUnreachable);
            row->reached.clear();
        }
        static constexpr int kModes[4] = {kRouteAll, kRouteSea, kRouteLand, kRouteSeaCostly};
        CalcRoadCostOnCleanRow(gs, daimyou_, shiro, row->cost, kModes[cache], row->reached);
        rc.built.push_back(shiro);
        ++rowsBuilt_;
    }
    return std::span<const std::uint16_t>(row->cost.data(), static_cast<std::size_t>(n));
}

std::span<const std::uint16_t> CCpuSenryaku::GetRouteCostAll(int shiro) {
    return RouteRow(0, shiro);
}
std::span<const std::uint16_t> CCpuSenryaku::GetRouteCostSea(int shiro) {
    return RouteRow(1, shiro);
}
std::span<const std::uint16_t> CCpuSenryaku::GetRouteCostLand(int shiro) {
    return RouteRow(2, shiro);
}
std::span<const std::uint16_t> CCpuSenryaku::GetRouteCostSeaFar(int shiro) {
    return RouteRow(3, shiro);
}

// --- small tests ---------------------------------------------------------------------------------

// Owners do not change while the houses plan, so the counted houses come from the index.
int CCpuSenryaku::EffShiro(int shiro) const {
    return index_.EffOf(shiro);
}

bool CCpuSenryaku::InCorps(int shiro) const {
    if (gundan_ < 0) return true;
    if (!IsValidGundan(gundan_)) return false;
    return GundanAt(context_.gs, gundan_).IsShiroInTantouKuni(context_.gs, shiro);
}

bool CCpuSenryaku::IsPlanFree(int bushou) const {
    const CBushou& b = BushouAt(context_.gs, bushou);
    return b.status != CBushou::kStatusHitojichi && b.gundan == gundan_ &&
           (b.flags & (CBushou::kFlagOrdered | CBushou::kFlagBesieging)) == 0;
}

void CCpuSenryaku::AppendArrival(int shiro, int bushou) {
    CShiro& s = ShiroAt(context_.gs, shiro);
    if (s.nArrival < 0) s.nArrival = 0;
    if (s.nArrival >= kRoster) return;
    s.arrival[static_cast<std::size_t>(s.nArrival)] = bushou;
    ++s.nArrival;
}

void CCpuSenryaku::OrderMove(int bushou, int destination) {
    CBushou& b = BushouAt(context_.gs, bushou);
    b.moveShiro = static_cast<std::int16_t>(destination);
    b.flags = static_cast<std::uint16_t>((b.flags & ~CBushou::kFlagBesieging) | CBushou::kFlagOrdered);
    AppendArrival(destination, bushou);
}

bool CCpuSenryaku::IsShiroIsolated(int shiro) const {
    const GameState& gs = context_.gs;
    if (!IsValidShiro(gs, shiro)) return true;
    bool joined = false;
    ForLinks(gs, shiro, [&](int, int n, int kind) {
        if (joined || kind == kConnectSea) return;
        if (EffShiro(n) == daimyou_ && InCorps(n) && !Besieged(gs, n)) joined = true;
    });
    return !joined;
}

int CCpuSenryaku::TraceRoute(int from, int to, std::vector<Hop>& path, int mode) {
    const GameState& gs = context_.gs;
    path.clear();
    if (from == to) return 0;
    if (!IsValidShiro(gs, from) || !IsValidShiro(gs, to)) return -1;
    const auto cost = mode == kRouteSea    ? GetRouteCostSea(to)
                      : mode == kRouteLand ? GetRouteCostLand(to)
                                           : GetRouteCostAll(to);
    int cur = from;
    // A route visits each castle at most once; a longer walk has broken off.
    for (int hops = 0; hops < ShiroCount(gs); ++hops) {
        int best = -1, bestKind = 0, bestCost = kUnreachable;
        ForLinks(gs, cur, [&](int, int n, int kind) {
            if (mode == kRouteSea && kind != kConnectSea) return;
            if (mode == kRouteLand && kind == kConnectSea) return;
            if (cost[static_cast<std::size_t>(n)] < bestCost) {
                best = n;
                bestKind = kind;
                bestCost = cost[static_cast<std::size_t>(n)];
            }
        });
        if (best < 0) return -1;
        path.push_back({best, bestKind});
        if (best == to) return static_cast<int>(path.size());
        cur = best;
    }
    return -1;
}

// --- the plan of a house -----------------------------------------------------------------------------

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

// --- warships of the plan ------------------------------------------------------------------------------

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

// --- single moves --------------------------------------------------------------------------------------

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

// --- commitment to one castle ---------------------------------------------------------------------------

// One commitment of the planned unit's troops to a castle: where the troops can set out from,
// how each origin gets them there, who goes, and the orders that send them.
struct CCpuSenryaku::Commitment {
    // A castle of the house next to the target; the cheaper kind of link wins when a castle
    // touches the target twice.
    struct Launch {
        int shiro;
        int kind;
        bool used;
    };
    // How the troops of an origin travel to their staging castle.
    enum class Transport {
        kMarch,           // on foot all the way (ships called to the staging castle when gathering)
        kSailFromOrigin,  // by ship straight from the origin
        kSailFromShore,   // on foot to the last castle before the sea, the ships called there
    };
    struct Plan {
        int origin;
        int staging;
        Transport transport;
        int gathering;
        int fallback;
    };

    Commitment(CCpuSenryaku& planner, int daimyou, int target)
        : planner(planner),
          gs(planner.context_.gs),
          daimyou(daimyou),
          target(target),
          st(ShiroAt(gs, target)),
          limit(gs.nDistanceLimit),
          unit(HeiUnit(gs)),
          own(planner.IsOwn(target)),
          shipTable(planner.freeShips_) {
        shipTable.resize(static_cast<std::size_t>(ShiroCount(gs)));
    }

    void FindLaunchPoints();
    void ListCandidates(CSortList& cand);
    void AddCandidate(CSortList& cand, int c, std::span<const std::uint16_t> cost) const;
    void PlanOrigin(int c, int n, int key, std::vector<Hop>& path);
    void PoolOfOrigin(int c, bool ownOrigin, MbMisc::CSortInt& g) const;
    int RouteToLaunch(int c, int n, int key, bool ownOrigin, std::vector<Hop>& path,
                      std::span<const std::uint16_t>& fromC, int& fallback);
    int StagingCastle(int c, int hops, const std::vector<Hop>& path,
                      std::span<const std::uint16_t> fromC) const;
    void ChooseArmy();
    bool ReliefTooWeak() const;
    int SendOrders();
    void SendGroup(const Plan& plan, int o, const MbMisc::CSortInt& group, int w, int& shipsSent);
    void MatchShipsAtTarget(int shipsSent);

    CCpuSenryaku& planner;
    GameState& gs;
    const int daimyou;
    const int target;
    const CShiro& st;
    const int limit;  // the distance limit of a march
    const int unit;   // soldiers a troop counts for
    const bool own;   // the target is the house's own (a relief)
    // The free warships by castle, taken when first needed: many commitments never look at
    // ships. Nothing it is taken from changes before that (the first look comes before any
    // fleet order, and a thinned blockade takes it first), so it holds what taking it at the
    // start of the plan and again at the start of the orders would give.
    std::span<std::uint16_t> Ships() {
        if (!shipsTaken) gs.GunsenTable.GetFreeGunsenForGundan(gs, shipTable, planner.gundan_);
        shipsTaken = true;
        return shipTable;
    }
    std::vector<std::uint16_t>& shipTable;  // the planner's table, one commitment at a time
    bool shipsTaken = false;

    std::vector<Launch> launch;
    int used = 0;  // launch points in use
    bool seaUsed = false;
    std::vector<Plan> plans;
    MbMisc::CSortInt pool{64};
    std::vector<int> chosen;
    std::size_t alreadyThere = 0;  // the chosen already besieging the target
    int sum = 0;                   // troops of the chosen
    bool stopped = false;          // the choice stopped before the pool ran out
    bool enough = false;           // the chosen are enough to take or relieve the target
};

// Launch points: the house's castles next to the target.
void CCpuSenryaku::Commitment::FindLaunchPoints() {
    ForLinks(gs, target, [&](int, int n, int kind) {
        bool usable = planner.IsOwn(n) && planner.InCorps(n) && !Besieged(gs, n) &&
                      !(kind == kConnectSea && Blockaded(gs, n));
        launch.push_back({n, kind, usable});
    });
    for (std::size_t i = 0; i < launch.size(); ++i) {
        if (!launch[i].used) continue;
        for (std::size_t j = i + 1; j < launch.size(); ++j) {
            if (!launch[j].used || launch[j].shiro != launch[i].shiro) continue;
            if (launch[j].kind <= launch[i].kind) {
                launch[i].used = false;
                break;
            }
            launch[j].used = false;
        }
    }
    for (const Launch& l : launch) {
        if (!l.used) continue;
        ++used;
        seaUsed = seaUsed || l.kind == kConnectSea;
    }
}

// A candidate origin keyed by its cost to the nearest launch point (by land unless the land way
// is over the limit and the sea way cheaper); too far, and it is left out.
void CCpuSenryaku::Commitment::AddCandidate(CSortList& cand, int c,
                                            std::span<const std::uint16_t> cost) const {
    int land = -1, landCost = kUnreachable, sea = -1, seaCost = kUnreachable;
    for (const Launch& l : launch) {
        if (!l.used) continue;
        const int k = cost[static_cast<std::size_t>(l.shiro)];
        if (l.kind == kConnectSea) {
            if (k < seaCost) sea = l.shiro, seaCost = k;
        } else if (k < landCost) {
            land = l.shiro, landCost = k;
        }
    }
    int n = land, k = landCost;
    if (landCost > limit && landCost > seaCost) n = sea, k = seaCost;
    if (n < 0 || k >= kUnreachable || k > 2 * limit) return;
    cand.Append(c | (n << 16), k);
}

// Launch candidates: own castles with troops of the unit, and (for an own target) the house's
// siege lines around it, by the cost to the nearest launch point.
void CCpuSenryaku::Commitment::ListCandidates(CSortList& cand) {
    cand.SetCount(0);
    if (used > 0) {
        // The house's castles and (for an own target) its siege lines, in castle order.
        const std::vector<int>& ownShiro = planner.ownShiro_;
        const std::vector<int>& siegeLines = planner.siegeLines_;
        std::size_t i = 0, j = 0;
        while (i < ownShiro.size() || (own && j < siegeLines.size())) {
            const bool takeOwn =
                i < ownShiro.size() && (!own || j >= siegeLines.size() || ownShiro[i] < siegeLines[j]);
            if (takeOwn) {
                const int c = ownShiro[i++];
                const CShiro& sc = ShiroAt(gs, c);
                if (sc.nBesieger != 0 || sc.nBushou <= 0 ||
                    sc.GetBushouTroopsOfGundan(gs, planner.gundan_) == 0)
                    continue;
                AddCandidate(cand, c, planner.GetRouteCostAll(c));
            } else {
                const int c = siegeLines[j++];
                AddCandidate(cand, c, planner.GetRouteCostLand(c));
            }
        }
    }
    cand.SortSmall();
}

// Pool of the origin, largest first: the unit's generals there (its garrison, or its besiegers
// for a siege line) that are free to go.
void CCpuSenryaku::Commitment::PoolOfOrigin(int c, bool ownOrigin, MbMisc::CSortInt& g) const {
    const CShiro& sc = ShiroAt(gs, c);
    const int listed = std::clamp<int>(ownOrigin ? sc.nBushou : sc.nBesieger, 0, kRoster);
    for (int j = 0; j < listed; ++j) {
        const int id =
            ownOrigin ? sc.bushou[static_cast<std::size_t>(j)] : sc.besieger[static_cast<std::size_t>(j)];
        if (!IsValidBushou(gs, id)) continue;
        const CBushou& b = BushouAt(gs, id);
        if (b.gundan != planner.gundan_ || (b.flags & CBushou::kFlagOrdered) ||
            b.status == CBushou::kStatusHitojichi)
            continue;
        g.AddData(id, Troops(b) * unit);
    }
}

// Route to the launch point: by land when a land launch point is no dearer than the key, else by
// any link; a siege line marches by land. For an own origin, the fallback is the own castle within
// reach nearest the land launch point. The hops of the route, -1 when it breaks off.
int CCpuSenryaku::Commitment::RouteToLaunch(int c, int n, int key, bool ownOrigin, std::vector<Hop>& path,
                                            std::span<const std::uint16_t>& fromC, int& fallback) {
    fallback = -1;
    if (!ownOrigin) {
        const int hops = planner.TraceRoute(c, n, path, kRouteLand);
        fromC = planner.GetRouteCostLand(c);
        return hops;
    }
    const auto land = planner.GetRouteCostLand(c);
    int m = -1, mCost = kUnreachable;
    bool mLand = false;
    for (const Launch& l : launch) {
        if (!l.used) continue;
        const bool isLand = l.kind != kConnectSea;
        const int k = land[static_cast<std::size_t>(l.shiro)];
        if (isLand && !mLand) {
            if (k < kUnreachable) m = l.shiro, mCost = k, mLand = true;
        } else if (isLand == mLand && k < mCost) {
            m = l.shiro, mCost = k;
        }
    }
    if (m >= 0) {
        const auto fromM = planner.GetRouteCostLand(m);
        int best = kUnreachable;
        for (int x : planner.ownShiro_) {
            if (land[static_cast<std::size_t>(x)] > limit || Besieged(gs, x)) continue;
            if (fromM[static_cast<std::size_t>(x)] < best)
                fallback = x, best = fromM[static_cast<std::size_t>(x)];
        }
    }
    int hops = -1;
    if (m >= 0 && mCost < kUnreachable && mCost <= key) {
        hops = planner.TraceRoute(c, n, path, kRouteLand);
        fromC = land;
    } else {
        hops = planner.TraceRoute(c, n, path, kRouteAll);
        fromC = planner.GetRouteCostAll(c);
    }
    return hops;
}

// Staging castle: the last hop of the first leg within the distance limit (a leg ends where the
// route goes from land to sea or back), stepping back past besieged castles; -1 when none is left.
int CCpuSenryaku::Commitment::StagingCastle(int c, int hops, const std::vector<Hop>& path,
                                            std::span<const std::uint16_t> fromC) const {
    if (hops <= 0) return c;
    int stop = 0;
    for (; stop < hops; ++stop) {
        const Hop& h = path[static_cast<std::size_t>(stop)];
        if (fromC[static_cast<std::size_t>(h.shiro)] > limit) break;
        if (stop > 0 &&
            ((h.kind == kConnectSea) != (path[static_cast<std::size_t>(stop - 1)].kind == kConnectSea)))
            break;
    }
    int s = std::max(0, stop - 1);
    while (s >= 0 && Besieged(gs, path[static_cast<std::size_t>(s)].shiro))
        --s;
    return s < 0 ? -1 : path[static_cast<std::size_t>(s)].shiro;
}

// The plan of one origin: its pool, its route and staging castle, the transport and the generals
// that go into the army's pool.
void CCpuSenryaku::Commitment::PlanOrigin(int c, int n, int key, std::vector<Hop>& path) {
    const bool seaApproach = GetShiroConnectType(gs, target, n) == kConnectSea;
    const bool ownOrigin = planner.IsOwn(c);

    MbMisc::CSortInt g(kRoster);
    PoolOfOrigin(c, ownOrigin, g);

    int fallback = -1;
    std::span<const std::uint16_t> fromC;
    const int hops = RouteToLaunch(c, n, key, ownOrigin, path, fromC, fallback);
    if (hops < 0) return;

    g.SortTopLarge(-1);
    const int staging = StagingCastle(c, hops, path, fromC);
    if (staging < 0) return;

    // Transport and the generals that go.
    Transport transport = Transport::kMarch;
    int gathering = -1;
    auto pickByShips = [&](int ships) {
        int picked = 0;
        std::vector<int> left;
        for (int j = 0; j < g.GetCount(); ++j) {
            const int soldiers = g.GetSort(j);
            if (picked + soldiers <= ships * kShipLoad) {
                picked += soldiers;
                pool.AddData(
                    g.GetItem(j),
                    soldiers + ((BushouAt(gs, g.GetItem(j)).flags & CBushou::kFlagBesieging) ? 0 : 10000));
            } else {
                left.push_back(j);
            }
        }
        return std::make_pair(std::max(1, (picked + kShipLoad - 1) / kShipLoad), left);
    };
    auto poolAll = [&](const std::vector<int>* only) {
        for (int j = 0; j < g.GetCount(); ++j) {
            if (only && std::find(only->begin(), only->end(), j) == only->end()) continue;
            pool.AddData(
                g.GetItem(j),
                g.GetSort(j) + ((BushouAt(gs, g.GetItem(j)).flags & CBushou::kFlagBesieging) ? 0 : 10000));
        }
    };
    auto viaShipsAt = [&](int at) {
        const int ships = planner.CountGunsenNear(at, Ships(), 2);
        if (ships <= 0) return false;
        planner.ReserveGunsen(at, pickByShips(ships).first, Ships());
        gathering = at;
        return true;
    };
    if (hops > 0 && path.front().kind != kConnectSea) {
        int s = -1;
        for (int j = 1; j < hops && s < 0; ++j)
            if (path[static_cast<std::size_t>(j)].kind == kConnectSea) s = j;
        if (s > 0) {
            transport = Transport::kSailFromShore;
            if (!viaShipsAt(path[static_cast<std::size_t>(s - 1)].shiro)) return;
        } else if (!seaApproach) {
            poolAll(nullptr);
        } else if (!viaShipsAt(n)) {
            return;
        }
    } else if (hops > 0) {
        transport = Transport::kSailFromOrigin;
        const int ships = planner.CountGunsenNear(c, Ships(), 2);
        auto [reserve, left] = pickByShips(std::max(0, ships));
        if (ships > 0) planner.ReserveGunsen(c, reserve, Ships());
        gathering = c;
        if (fallback >= 0) poolAll(&left);
    } else if (seaApproach) {
        if (!viaShipsAt(c)) return;
    } else {
        poolAll(nullptr);
    }
    plans.push_back({c, staging, transport, gathering, fallback});
}

// The army: pooled generals strongest first, as many as the stop rules allow. The house's
// besiegers of the target count from the start.
void CCpuSenryaku::Commitment::ChooseArmy() {
    pool.SortTopLarge(-1);
    pool.Randomize(gs.rng);
    const int need = own ? st.GetBesiegerTroops(gs) : st.GetDefenseStrength(gs);
    const bool oursSiege = st.nBesieger != 0 && GetCountedDaimyou(gs, st.besiegerDaimyou) == daimyou;
    const int poolLimit = std::min(pool.GetCount(), used * 20);
    std::vector<int> defenders;
    for (int j = 0; j < std::clamp<int>(st.nBushou, 0, kRoster); ++j)
        if (IsValidBushou(gs, st.bushou[static_cast<std::size_t>(j)]))
            defenders.push_back(st.bushou[static_cast<std::size_t>(j)]);
    if (oursSiege) {
        for (int j = 0; j < std::clamp<int>(st.nBesieger, 0, kRoster); ++j) {
            const int id = st.besieger[static_cast<std::size_t>(j)];
            if (!IsValidBushou(gs, id)) continue;
            chosen.push_back(id);
            sum += Troops(BushouAt(gs, id));
        }
    }
    alreadyThere = chosen.size();
    int upFront = 0;
    if (!own) {
        std::vector<int> army(chosen);
        for (int j = 0; j < poolLimit; ++j)
            army.push_back(pool.GetItem(j));
        upFront = SimulateKoujousen(gs, seaUsed, daimyou, target, army, defenders);
    }
    for (int j = 0; j < poolLimit; ++j) {
        const double f = gs.rng.Unit() * 0.3 + 1.2;
        if (need * f < sum) {
            if (own) {
                stopped = enough = true;
                break;
            }
            const int months = GetHyourouMonths(gs, target, sum, -1);
            const int fall = SimulateKoujousen(gs, seaUsed, daimyou, target, chosen, defenders);
            if (months >= fall && fall <= 4) {
                stopped = enough = true;
                break;
            }
            if (upFront > months) {
                stopped = true;
                break;
            }
        }
        const int id = pool.GetItem(j);
        chosen.push_back(id);
        sum += Troops(BushouAt(gs, id));
    }
}

// A relief the chosen cannot carry: their troops stay below the besiegers' and none of them
// outwits the besiegers' best by 3.
bool CCpuSenryaku::Commitment::ReliefTooWeak() const {
    const int need = st.GetBesiegerTroops(gs);
    int oursBest = 0, theirsBest = 0;
    for (int id : chosen)
        oursBest = std::max<int>(oursBest, BushouAt(gs, id).chibou);
    for (int j = 0; j < std::clamp<int>(st.nBesieger, 0, kRoster); ++j)
        if (IsValidBushou(gs, st.besieger[static_cast<std::size_t>(j)]))
            theirsBest =
                std::max<int>(theirsBest, BushouAt(gs, st.besieger[static_cast<std::size_t>(j)]).chibou);
    const double f = gs.rng.Unit() * 0.1 + 1.0;
    return need * f > sum && oursBest < theirsBest + 3;
}

// The orders of the generals of one origin (w troops in all), by the transport of its plan.
void CCpuSenryaku::Commitment::SendGroup(const Plan& plan, int o, const MbMisc::CSortInt& group, int w,
                                         int& shipsSent) {
    const int p = plan.staging;
    switch (plan.transport) {
        case Transport::kSailFromShore:
            for (int j = 0; j < group.GetCount(); ++j)
                planner.OrderMove(group.GetItem(j), p);
            shipsSent += planner.CallGunsen(p, ShipsFor(gs, w), Ships(), 2);
            break;
        case Transport::kSailFromOrigin: {
            if (!planner.IsOwn(o)) return;
            const int shipsHere = Ships()[static_cast<std::size_t>(o)];
            int sent = 0;
            std::vector<int> stay;
            for (int j = 0; j < group.GetCount(); ++j) {
                const int id = group.GetItem(j);
                const int t = group.GetSort(j);
                if (shipsHere != 0 &&
                    static_cast<long>(sent + t) * unit <= static_cast<long>(shipsHere) * kShipLoad) {
                    planner.OrderMove(id, p);
                    sent += t;
                } else {
                    BushouAt(gs, id).flags |= CBushou::kFlagOrdered;
                    stay.push_back(id);
                }
            }
            if (sent > 0) {
                const int ships = ShipsFor(gs, sent);
                planner.UseGunsenAt(o, p, ships, Ships());
                shipsSent += ships;
            }
            if (plan.fallback < 0) {
                if (w - sent != 0) shipsSent += planner.CallGunsen(o, ShipsFor(gs, w - sent), Ships(), 2);
            } else {
                for (int id : stay)
                    planner.OrderMove(id, plan.fallback);
            }
            break;
        }
        case Transport::kMarch:
            for (int j = 0; j < group.GetCount(); ++j)
                planner.OrderMove(group.GetItem(j), p);
            if (plan.gathering >= 0) shipsSent += planner.CallGunsen(p, ShipsFor(gs, w), Ships(), 2);
            break;
    }
    // Thinning a blockade moves fleets: the table must be taken before.
    if (GetShiroConnectType(gs, p, target) == kConnectSea) Ships();
    planner.LevelBlockadeAt(p, target, w);
}

// Orders, origin by origin. The ships sent.
int CCpuSenryaku::Commitment::SendOrders() {
    shipsTaken = false;  // taken anew for the orders
    int shipsSent = 0;
    std::vector<std::uint8_t> handled(chosen.size(), 0);
    for (std::size_t i = alreadyThere; i < chosen.size(); ++i) {
        if (handled[i]) continue;
        const int o = BushouAt(gs, chosen[i]).shiro;
        MbMisc::CSortInt group(kRoster);
        for (std::size_t j = i; j < chosen.size(); ++j) {
            if (handled[j] || BushouAt(gs, chosen[j]).shiro != o) continue;
            handled[j] = 1;
            group.AddData(chosen[j], Troops(BushouAt(gs, chosen[j])));
        }
        group.SortTopLarge(-1);
        const int w = static_cast<int>(group.GetSortSum());
        const auto plan =
            std::find_if(plans.begin(), plans.end(), [&](const Plan& p) { return p.origin == o; });
        if (plan == plans.end()) continue;
        SendGroup(*plan, o, group, w, shipsSent);
    }
    return shipsSent;
}

// Ships to match the ships at the target, called from the house's sea links around it.
void CCpuSenryaku::Commitment::MatchShipsAtTarget(int shipsSent) {
    const int blockader = ShiroAt(gs, target).blockadeDaimyou;
    const bool weBlockade = blockader != -1 && GetCountedDaimyou(gs, blockader) == daimyou;
    const int wanted = (blockader == -1 || weBlockade) ? gs.GunsenTable.GetGunsenAtShiro(target)
                                                       : gs.GunsenTable.GetBlockadeGunsenAtShiro(target);
    if (weBlockade) shipsSent += gs.GunsenTable.GetBlockadeGunsenAtShiro(target);
    for (int round = 0; round < 8 && shipsSent < wanted; ++round) {
        const int before = shipsSent;
        ForLinks(gs, target, [&](int, int z, int kind) {
            if (shipsSent >= wanted || kind != kConnectSea) return;
            if (!planner.IsOwn(z) || Besieged(gs, z) || !planner.InCorps(z)) return;
            shipsSent += planner.CallGunsen(z, wanted - shipsSent, Ships(), 2);
        });
        if (shipsSent == before) break;
    }
}

int CCpuSenryaku::CommitToShiro(int daimyou, int gundan, int target, int& committed) {
    GameState& gs = context_.gs;
    if (!IsValidShiro(gs, target)) return kCommitWholePool;
    if (daimyou != daimyou_ || gundan != gundan_) SetPlanned(daimyou, gundan);
    Commitment plan(*this, daimyou, target);
    plan.FindLaunchPoints();

    // The list holds at most one entry for each of the house's castles and (for an own target)
    // its siege lines: made for those, not for all castles.
    const std::size_t sources = ownShiro_.size() + (plan.own ? siegeLines_.size() : 0);
    CSortList cand(std::max(
        1, static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(ShiroCount(gs)), sources))));
    plan.ListCandidates(cand);
    std::vector<Hop> path;
    for (int i = 0; i < cand.Count(); ++i)
        plan.PlanOrigin(cand.Id(i) & 0xFFFF, (cand.Id(i) >> 16) & 0xFFFF, cand.Key(i), path);

    plan.ChooseArmy();
    if (plan.own && plan.ReliefTooWeak()) return kCommitGivenUp;

    const int shipsSent = plan.SendOrders();
    if (Waterway(gs, target) && !plan.enough) plan.MatchShipsAtTarget(shipsSent);

    committed = plan.sum;
    return plan.stopped ? kCommitStopped : kCommitWholePool;
}

// When the troops gathering at the staging castle will bring more ships off a target the house
// blockades than the 200 that may lie there, the blockade is thinned to make room.
void CCpuSenryaku::LevelBlockadeAt(int staging, int target, int soldiers) {
    GameState& gs = context_.gs;
    const CShiro& st = ShiroAt(gs, target);
    if (GetShiroConnectType(gs, staging, target) != kConnectSea) return;
    if (st.blockadeDaimyou == -1 || GetCountedDaimyou(gs, st.blockadeDaimyou) != daimyou_) return;
    CGunsenTable& table = gs.GunsenTable;
    const int s = std::min(ShipsFor(gs, soldiers), table.GetGunsenBoundFor(gs, staging, daimyou_));
    const int b = table.GetFreeBlockadeGunsenAtShiro(target);
    if (b + s <= kShipRoom) return;
    int x = std::min(b + s - kShipRoom, b);
    if (x <= 0) return;
    auto held = [&](int c) {
        return table.GetFreeGunsenAtShiro(c) + table.GetGunsenBoundFor(gs, c, daimyou_);
    };
    if (held(staging) <= kShipRoom - x) {
        table.PlanGunsenMove(gs, target, daimyou_, staging, x, true);
        return;
    }
    const int room = std::max(0, kShipRoom - held(staging));
    const int first = std::min(room, x);
    if (first > 0) table.PlanGunsenMove(gs, target, daimyou_, staging, first, true);
    x -= first;
    if (x <= 0) return;
    const auto cost = GetRouteCostSea(target);
    MbMisc::CSortInt near(16);
    for (int y : ownShiro_)
        if (y != staging && cost[static_cast<std::size_t>(y)] <= gs.nDistanceLimit)
            near.AddData(y, cost[static_cast<std::size_t>(y)]);
    near.SortTopSmall(-1);
    for (int i = 0; i < near.GetCount(); ++i) {
        const int y = near.GetItem(i);
        if (held(y) + x <= kShipRoom) {
            table.PlanGunsenMove(gs, target, daimyou_, y, x, true);
            return;
        }
    }
}

// --- end of the phase -------------------------------------------------------------------------------------

void CCpuSenryaku::ApplyPendingMoves() {
    GameState& gs = context_.gs;
    for (int c : ShiroIndexes(gs))
        ShiroAt(gs, c).nBushou = 0;
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || (b.flags & CBushou::kFlagOrdered) == 0) continue;
        if (b.moveShiro != -1 && b.moveShiro != b.shiro && IsValidShiro(gs, b.moveShiro))
            b.shiro = b.moveShiro;
    }
    auto value = [&](int g) {
        const CBushou& b = BushouAt(gs, g);
        return Weighted(b) + (b.gundan == -1 ? 30000 : 0);
    };
    std::vector<std::uint8_t> placed(static_cast<std::size_t>(BushouCount(gs)), 0);
    // No castle changes hands while the generals are placed: the castles of each house, taken
    // when the first displaced general needs them, serve every later one.
    std::optional<ShiroOwnerIndex> owners;
    for (int g : BushouIndexes(gs)) {
        if (g >= static_cast<int>(placed.size()) || placed[static_cast<std::size_t>(g)]) continue;
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || (b.flags & CBushou::kFlagBesieging) || !IsValidShiro(gs, b.shiro)) continue;
        const int c = b.shiro;
        CShiro& s = ShiroAt(gs, c);
        placed[static_cast<std::size_t>(g)] = 1;
        if (s.nBushou < kRoster) {
            s.bushou[static_cast<std::size_t>(s.nBushou++)] = g;
            continue;
        }
        int weakest = 0;
        for (int j = 1; j < kRoster; ++j)
            if (value(s.bushou[static_cast<std::size_t>(j)]) <
                value(s.bushou[static_cast<std::size_t>(weakest)]))
                weakest = j;
        int displaced = g;
        if (value(s.bushou[static_cast<std::size_t>(weakest)]) <= value(g)) {
            displaced = s.bushou[static_cast<std::size_t>(weakest)];
            s.bushou[static_cast<std::size_t>(weakest)] = g;  // he takes the weakest one's place
        }
        BushouAt(gs, displaced).shiro = -1;
        if (!owners) owners.emplace(gs);
        if (!RelocateBushou(gs, displaced, c, true, true, &*owners))
            BushouAt(gs, displaced).daimyou = CBushou::kDaimyouRounin;
    }
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.status == CBushou::kStatusHitojichi) continue;
        b.moveShiro = -1;
        b.flags &= static_cast<std::uint16_t>(~CBushou::kFlagOrdered);
    }
    gs.GunsenTable.ApplyMoves(gs, context_.ports);
    RepairBushouLocations(gs, context_.ports);
    index_.Drop();
}

}  // namespace rymd
