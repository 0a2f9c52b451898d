// The strategy planner's commitment of a unit's troops to one castle: launch points, origins and
// their routes, the army, its orders and the ships that match the target's.
#include "game/ai/cpu_senryaku.h"

#include "game/ai/war_plan_helpers.h"

#include <algorithm>

#include "game/military/placement.h"
#include "game/military/siege.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

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

}  // namespace rymd
