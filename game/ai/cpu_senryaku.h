// The computer's strategy planner: targets, relief of besieged castles and the moves of
// generals and fleets. It only writes pending orders during the phase (a general's pending
// destination and ordered flag, the castles' pending-arrival lists, fleet move orders);
// ApplyPendingMoves carries the general moves out at the end of the strategy phase.
//
// Route costs come from four lazily filled caches, one row of costs from a castle to every
// castle per mode, built for the planned house. A row depends only on the house (the corps
// plays no part in the route search) and on who holds which castle, which nothing changes
// while a house is planned, so the rows of a house serve its directly held part and all its
// corps; they are emptied whenever another house is planned.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "game/state/game_context.h"
#include "game/state/house_index.h"

namespace rymd {

class CCpuSenryaku {
public:
    explicit CCpuSenryaku(GameContext context);
    virtual ~CCpuSenryaku();
    CCpuSenryaku(const CCpuSenryaku&) = delete;
    CCpuSenryaku& operator=(const CCpuSenryaku&) = delete;

    // The strategy phase of a computer house (its directly held part and its corps).
    void PlanDaimyou(int daimyou);
    // The strategy phase of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundan(int daimyou, int gundan);
    // Carries out the pending moves of every house: at most 20 generals a castle, the weakest
    // displaced; then the fleet orders and the repair of the links.
    void ApplyPendingMoves();

    // --- the pieces of a plan (the planned house and corps are those of the last PlanGundan,
    //     or those set with SetPlanned) -------------------------------------------------------
    void SetPlanned(int daimyou, int gundan);
    // Route costs from the castle to every castle for the planned house, 32767 = unreachable.
    std::span<const std::uint16_t> GetRouteCostAll(int shiro);
    std::span<const std::uint16_t> GetRouteCostSea(int shiro);
    std::span<const std::uint16_t> GetRouteCostLand(int shiro);
    std::span<const std::uint16_t> GetRouteCostSeaFar(int shiro);
    void FreeRouteCosts();
    // Rows built since the planner was made (for measurements).
    long RouteRowsBuilt() const { return rowsBuilt_; }

    // What CommitToShiro did.
    static constexpr int kCommitStopped = 1;    // it stopped adding generals before the pool ran out
    static constexpr int kCommitWholePool = 2;  // every pooled general went
    static constexpr int kCommitGivenUp = 3;    // a relief was given up (nothing ordered, committed
                                                // left alone)
    int CommitToShiro(int daimyou, int gundan, int target, int& committed);
    bool MoveBushouToward(int daimyou, int target, int bushou);
    bool MoveBushouToShiro(int daimyou, int shiro, int bushou);
    void PlaceNaiseiBushou(int daimyou, int gundan);
    bool IsShiroIsolated(int shiro) const;
    // Hops from one castle toward another as (castle, link kind) pairs; 0 when from = to, -1
    // when the way breaks off. The mode names the links the route may take.
    struct Hop {
        int shiro;
        int kind;
    };
    static constexpr int kRouteAll = 0;
    static constexpr int kRouteSea = 1;
    static constexpr int kRouteLand = 2;
    int TraceRoute(int from, int to, std::vector<Hop>& path, int mode);

    // Warship helpers over a free-ship table (one entry per castle).
    int CountGunsenNear(int shiro, std::span<const std::uint16_t> table, int factor);
    void ReserveGunsen(int shiro, int ships, std::span<std::uint16_t> table);
    void UseGunsenAt(int shiro, int destination, int ships, std::span<std::uint16_t> table);
    int CallGunsen(int shiro, int ships, std::span<std::uint16_t> table, int factor);

private:
    struct Commitment;  // the working state of one CommitToShiro
    struct Fronts;      // the fronts one PlanGundan surveys
    void SurveyFronts(int daimyou, int gundan, std::span<const int> top20, Fronts& fronts);
    void CommitToFronts(int daimyou, int gundan, const std::vector<int>& ours, Fronts& fronts);
    void SendLeftoverGenerals(int daimyou, const std::vector<int>& ours, const Fronts& fronts);

    // A row of costs and the castles its search reached: the other entries hold 32767, so
    // setting those back readies the row for another search without touching the whole map.
    struct RouteRowCosts {
        std::vector<std::uint16_t> cost;
        std::vector<std::uint16_t> reached;
        void Clear();
    };
    struct RouteCache {
        std::vector<std::unique_ptr<RouteRowCosts>> rows;  // by castle
        std::vector<int> built;                            // castles with a row
    };
    std::span<const std::uint16_t> RouteRow(int cache, int shiro);

    bool InCorps(int shiro) const;
    int EffShiro(int shiro) const;
    bool IsOwn(int shiro) const { return EffShiro(shiro) == daimyou_; }
    bool IsPlanFree(int bushou) const;  // of the planned unit, neither ordered nor besieging
    void AppendArrival(int shiro, int bushou);
    void OrderMove(int bushou, int destination);
    bool MoveBushouImpl(int daimyou, int target, int bushou, bool toward);
    void PlanGunsen();
    void LevelBlockadeAt(int staging, int target, int soldiers);

    GameContext context_;
    int daimyou_ = -1;
    int gundan_ = -1;
    int cacheDaimyou_ = -2;  // the house the cached rows were built for
    bool keepRows_ = false;  // inside PlanDaimyou: rows serve every unit of the house
    std::array<RouteCache, 4> caches_;
    std::vector<RouteRowCosts> spareRows_;  // cleared rows, ready for another search
    long rowsBuilt_ = 0;
    HouseIndex index_;                      // who holds what, for the whole strategy phase
    std::vector<int> ownShiro_;             // castles of the planned house, index order
    std::vector<int> siegeLines_;           // castles of other houses the planned house besieges
    std::vector<int> committed_;            // troops sent toward each castle in one PlanGundan (nShiro)
    std::vector<std::uint8_t> listed_;      // survey marks of each castle in one PlanGundan (nShiro)
    std::vector<int> touched_;              // castles whose entries above are not 0
    std::vector<std::uint16_t> freeShips_;  // free warships by castle in one CommitToShiro
};

}  // namespace rymd
