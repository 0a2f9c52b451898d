// The strategy planner's route caches: the cost rows of the four kinds of route, kept while a
// house plans.
#include "game/ai/cpu_senryaku.h"

#include "game/ai/war_plan_helpers.h"

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

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

}  // namespace rymd
