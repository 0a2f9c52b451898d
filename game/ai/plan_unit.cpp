#include "game/ai/plan_unit.h"

#include <algorithm>
#include <climits>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"

namespace rymd {

HouseRoster::HouseRoster(const GameState& gs)
    : shiro_(static_cast<std::size_t>(DaimyouCount(gs))),
      bushou_(static_cast<std::size_t>(DaimyouCount(gs))),
      kyakushou_(static_cast<std::size_t>(DaimyouCount(gs))) {
    for (int c : ShiroIndexes(gs)) {
        const int d = ShiroAt(gs, c).daimyou;
        if (IsValidDaimyou(gs, d)) shiro_[static_cast<std::size_t>(d)].push_back(c);
    }
    for (int b : BushouIndexes(gs)) {
        const CBushou& g = BushouAt(gs, b);
        if (!IsValidDaimyou(gs, g.daimyou)) continue;
        bushou_[static_cast<std::size_t>(g.daimyou)].push_back(b);
        if (g.status != CBushou::kStatusKyakushou) continue;
        const int counted = GetCountedDaimyou(gs, g.daimyou);
        if (IsValidDaimyou(gs, counted)) kyakushou_[static_cast<std::size_t>(counted)].push_back(b);
    }
}

namespace {
std::span<const int> ListOf(const std::vector<std::vector<int>>& lists, int daimyou) {
    if (daimyou < 0 || daimyou >= static_cast<int>(lists.size())) return {};
    return lists[static_cast<std::size_t>(daimyou)];
}
}  // namespace

std::span<const int> HouseRoster::Shiro(int daimyou) const {
    return ListOf(shiro_, daimyou);
}
std::span<const int> HouseRoster::Bushou(int daimyou) const {
    return ListOf(bushou_, daimyou);
}
std::span<const int> HouseRoster::Kyakushou(int daimyou) const {
    return ListOf(kyakushou_, daimyou);
}

std::array<int, 3> PhaseStamp(const GameState& gs) {
    return {gs.nCurYear, gs.nCurMonth, gs.nPhase};
}

PlanUnit::PlanUnit(GameState& gs, const HouseRoster& roster, int daimyou, int gundan)
    : gs_(gs), daimyou_(daimyou), gundan_(gundan) {
    if (!IsValidDaimyou(gs, daimyou)) return;
    if (gundan != -1 && (!IsValidGundan(gundan) || GundanAt(gs, gundan).daimyou != daimyou)) return;
    valid_ = true;
    for (int c : roster.Shiro(daimyou)) {
        if (gundan != -1 && !GundanAt(gs, gundan).IsShiroInTantouKuni(gs, c)) continue;
        shiro_.push_back(c);
    }
}

std::uint16_t PlanUnit::Orders() const {
    if (IsHouse() || !valid_) return CGundan::kOrderShinkou | CGundan::kOrderNaisei;
    return GundanAt(gs_, gundan_).order;
}

std::int32_t PlanUnit::Funds() const {
    if (!valid_) return 0;
    return IsHouse() ? DaimyouAt(gs_, daimyou_).shikin : GundanAt(gs_, gundan_).shikin;
}

void PlanUnit::Pay(std::int64_t amount) {
    if (!valid_) return;
    std::int32_t& funds = IsHouse() ? DaimyouAt(gs_, daimyou_).shikin : GundanAt(gs_, gundan_).shikin;
    funds = static_cast<std::int32_t>(std::clamp<std::int64_t>(funds - amount, INT32_MIN, INT32_MAX));
}

std::int32_t PlanUnit::TeppouStock() const {
    if (!valid_) return 0;
    return IsHouse() ? DaimyouAt(gs_, daimyou_).teppou : GundanAt(gs_, gundan_).teppou;
}

void PlanUnit::SetTeppouStock(std::int32_t stock) {
    if (!valid_) return;
    (IsHouse() ? DaimyouAt(gs_, daimyou_).teppou : GundanAt(gs_, gundan_).teppou) = stock;
}

void ForEachPlanUnit(const GameState& gs, int daimyou, const std::function<void(int)>& plan) {
    if (!IsValidDaimyou(gs, daimyou)) return;
    for (int k : GundanIndexes()) {
        const CGundan& g = GundanAt(gs, k);
        if (!g.IsFree() && g.daimyou == daimyou) plan(k);
    }
    plan(-1);
}

bool IsShiroBesieged(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) && ShiroAt(gs, shiro).nBesieger > 0;
}

}  // namespace rymd
