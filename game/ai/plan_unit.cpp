#include "game/ai/plan_unit.h"

#include <algorithm>
#include <climits>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"

namespace rymd {

std::array<int, 3> PhaseStamp(const GameState& gs) {
    return {gs.nCurYear, gs.nCurMonth, gs.nPhase};
}

PlanUnit::PlanUnit(GameState& gs, const HouseIndex& index, int daimyou, int gundan)
    : gs_(gs), daimyou_(daimyou), gundan_(gundan) {
    if (!IsValidDaimyou(gs, daimyou)) return;
    if (gundan != -1 && (!IsValidGundan(gundan) || GundanAt(gs, gundan).daimyou != daimyou)) return;
    valid_ = true;
    for (int c : index.OwnShiro(daimyou)) {
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
