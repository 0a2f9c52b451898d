#include "game/domestic/armament_orders.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <numeric>

#include "game/domestic/castle_economy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"

namespace rymd {

namespace {

int KuniOf(const GameState& gs, int shiro) {
    return ShiroMapAt(gs, shiro).kuni;
}

bool UnderSiege(const CShiro& c) {
    return c.nBesieger > 0;
}

int ClampInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

std::int16_t ClampI16(std::int64_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, INT16_MIN, INT16_MAX));
}

}  // namespace

bool ServesHouseDirectly(const GameState& gs, int bushou, int daimyou) {
    if (!IsValidBushou(gs, bushou)) return false;
    const CBushou& b = BushouAt(gs, bushou);
    if (b.gundan != -1) return false;
    if (b.status != CBushou::kStatusKyakushou) return b.daimyou == daimyou;
    int house = b.daimyou;
    if (IsValidDaimyou(gs, house) && DaimyouAt(gs, house).bond == CDaimyou::kBondShinjuu)
        house = DaimyouAt(gs, house).masterDaimyou;
    return house == daimyou;
}

std::vector<int> ListArmamentBushou(const GameState& gs, int daimyou, int kuni) {
    std::vector<int> rows;
    for (int s : ShiroIndexes(gs)) {
        const CShiro& c = ShiroAt(gs, s);
        if (KuniOf(gs, s) != kuni || UnderSiege(c)) continue;
        const int n = std::clamp<int>(c.nBushou, 0, CShiro::kMaxBushou);
        for (int i = 0; i < n; ++i) {
            const int g = c.bushou[static_cast<std::size_t>(i)];
            if (ServesHouseDirectly(gs, g, daimyou)) rows.push_back(g);
        }
    }
    return rows;
}

std::vector<int> ListArmamentShiro(const GameState& gs, int daimyou, int kuni) {
    std::vector<int> rows;
    for (int s : ShiroIndexes(gs)) {
        const CShiro& c = ShiroAt(gs, s);
        if (c.daimyou == daimyou && KuniOf(gs, s) == kuni && !UnderSiege(c)) rows.push_back(s);
    }
    return rows;
}

// =============================================================================================
// Conscription

ChouheiOrder::ChouheiOrder(const GameState& gs, int daimyou, int kuni, int cavalryAllowance,
                           int footAllowance)
    : gs_(gs),
      daimyou_(daimyou),
      unit_(HeiUnit(gs)),
      cavalryAllowance_(cavalryAllowance),
      footAllowance_(footAllowance),
      bushou_(ListArmamentBushou(gs, daimyou, kuni)),
      shiro_(ListArmamentShiro(gs, daimyou, kuni)),
      cavalry_(bushou_.size() + 1, 0),
      foot_(bushou_.size() + 1, 0),
      garrison_(shiro_.size() + 1, 0) {}

int ChouheiOrder::CavalryRoom(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= bushou_.size()) return 0;
    return BushouCavalryLimit(gs_) - BushouAt(gs_, bushou_[static_cast<std::size_t>(row)]).cavalry;
}

int ChouheiOrder::FootRoom(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= bushou_.size()) return 0;
    return BushouFootLimit(gs_) - BushouAt(gs_, bushou_[static_cast<std::size_t>(row)]).foot;
}

int ChouheiOrder::GarrisonRoom(int shiroRow) const {
    if (shiroRow < 0 || static_cast<std::size_t>(shiroRow) >= shiro_.size()) return 0;
    const CShiro& c = ShiroAt(gs_, shiro_[static_cast<std::size_t>(shiroRow)]);
    return ClampInt(ShiroShubiheiLimit(gs_, c.kibo) - c.shubihei);
}

std::int64_t ChouheiOrder::Sum(const std::vector<int>& v) const {
    return std::accumulate(v.begin(), v.end(), std::int64_t{0});
}

int ChouheiOrder::RemainingCavalry() const {
    return ClampInt(cavalryAllowance_ - Sum(cavalry_));
}

int ChouheiOrder::RemainingFoot() const {
    return ClampInt(footAllowance_ - Sum(foot_) - Sum(garrison_));
}

std::int64_t ChouheiOrder::RemainingFunds() const {
    const std::int64_t funds = IsValidDaimyou(gs_, daimyou_) ? DaimyouAt(gs_, daimyou_).shikin : 0;
    return funds - Sum(cavalry_) * CavalryCost() - Sum(foot_) * FootCost() - Sum(garrison_) * GarrisonCost();
}

int ChouheiOrder::CavalryUpper(int row) const {
    const int pending = PendingCavalry(row);
    const std::int64_t upper =
        std::min<std::int64_t>({CavalryRoom(row), std::int64_t{RemainingCavalry()} + pending,
                                pending + RemainingFunds() / CavalryCost()});
    return ClampInt(std::max<std::int64_t>(upper, 0));
}

int ChouheiOrder::FootUpper(int row) const {
    const int pending = PendingFoot(row);
    const std::int64_t upper = std::min<std::int64_t>(
        {FootRoom(row), std::int64_t{RemainingFoot()} + pending, pending + RemainingFunds() / FootCost()});
    return ClampInt(std::max<std::int64_t>(upper, 0));
}

int ChouheiOrder::GarrisonUpper(int shiroRow) const {
    const int pending = PendingGarrison(shiroRow);
    const std::int64_t upper =
        std::min<std::int64_t>({GarrisonRoom(shiroRow), std::int64_t{RemainingFoot()} + pending,
                                pending + RemainingFunds() / GarrisonCost()});
    return ClampInt(std::max<std::int64_t>(upper, 0));
}

bool ChouheiOrder::SetChecked(std::vector<int>& pending, int row, int units, int upper) {
    if (row < 0 || static_cast<std::size_t>(row) + 1 >= pending.size()) return false;
    int& slot = pending[static_cast<std::size_t>(row)];
    const int before = slot;
    slot = std::clamp(units, 0, upper);
    if (RemainingFunds() < 0) {
        slot = before;
        return false;
    }
    return true;
}

bool ChouheiOrder::SetCavalry(int row, int units) {
    return SetChecked(cavalry_, row, units, CavalryUpper(row));
}

bool ChouheiOrder::SetFoot(int row, int units) {
    return SetChecked(foot_, row, units, FootUpper(row));
}

bool ChouheiOrder::SetGarrison(int shiroRow, int units) {
    return SetChecked(garrison_, shiroRow, units, GarrisonUpper(shiroRow));
}

// The most a row can take: its room, the allowance the others leave and the funds the others
// leave (its own pending addition counts as free). Nothing changes when that is 0 or less.
bool ChouheiOrder::TakeMax(std::vector<int>& pending, int row, int room, int remaining, int cost) {
    if (row < 0 || static_cast<std::size_t>(row) + 1 >= pending.size()) return false;
    const int own = pending[static_cast<std::size_t>(row)];
    const std::int64_t value = std::min<std::int64_t>(
        {room, std::int64_t{remaining} + own, (RemainingFunds() + std::int64_t{own} * cost) / cost});
    if (value <= 0) return false;
    pending[static_cast<std::size_t>(row)] = ClampInt(value);
    return true;
}

bool ChouheiOrder::MaxCavalry(int row) {
    return TakeMax(cavalry_, row, CavalryRoom(row), RemainingCavalry(), CavalryCost());
}

bool ChouheiOrder::MaxFoot(int row) {
    return TakeMax(foot_, row, FootRoom(row), RemainingFoot(), FootCost());
}

bool ChouheiOrder::MaxGarrison(int shiroRow) {
    return TakeMax(garrison_, shiroRow, GarrisonRoom(shiroRow), RemainingFoot(), GarrisonCost());
}

void ChouheiOrder::FillAll(std::span<const int> rowOrder) {
    for (int row : rowOrder) {
        if (row < 0 || static_cast<std::size_t>(row) >= bushou_.size()) continue;
        const auto r = static_cast<std::size_t>(row);
        // Foot soldiers first. A general already above a limit gives nothing back.
        if (RemainingFunds() < 0) break;
        std::int64_t room =
            std::clamp<std::int64_t>(FootRoom(row) - foot_[r], 0, std::max(RemainingFoot(), 0));
        if (room * FootCost() > RemainingFunds()) room = RemainingFunds() / FootCost();
        foot_[r] += ClampInt(room);
        // Then cavalry.
        if (RemainingFunds() < 0) break;
        room = std::clamp<std::int64_t>(CavalryRoom(row) - cavalry_[r], 0, std::max(RemainingCavalry(), 0));
        if (room * CavalryCost() > RemainingFunds()) room = RemainingFunds() / CavalryCost();
        cavalry_[r] += ClampInt(room);
    }
}

void ChouheiOrder::Apply(GameState& gs) {
    std::int64_t paid = 0;
    for (std::size_t r = 0; r < bushou_.size(); ++r) {
        CBushou& b = BushouAt(gs, bushou_[r]);
        b.cavalry = ClampI16(std::int64_t{b.cavalry} + cavalry_[r]);
        b.foot = ClampI16(std::int64_t{b.foot} + foot_[r]);
        cavalryAllowance_ -= cavalry_[r];
        footAllowance_ -= foot_[r];
        paid += std::int64_t{cavalry_[r]} * CavalryCost() + std::int64_t{foot_[r]} * FootCost();
    }
    for (std::size_t r = 0; r < shiro_.size(); ++r) {
        CShiro& c = ShiroAt(gs, shiro_[r]);
        c.shubihei = ClampI16(std::int64_t{c.shubihei} + garrison_[r]);
        footAllowance_ -= garrison_[r];
        paid += std::int64_t{garrison_[r]} * GarrisonCost();
    }
    if (IsValidDaimyou(gs, daimyou_)) {
        CDaimyou& house = DaimyouAt(gs, daimyou_);
        house.shikin = ClampInt(house.shikin - paid);
    }
    std::fill(cavalry_.begin(), cavalry_.end(), 0);
    std::fill(foot_.begin(), foot_.end(), 0);
    std::fill(garrison_.begin(), garrison_.end(), 0);
}

void FinishPlayerChouhei(GameState& gs, int cavalryLeft, int footLeft) {
    auto& limits = gs.PlayerChouheiLimits;
    limits[kChouheiCavalryLeft] = cavalryLeft;
    limits[kChouheiFootLeft] = footLeft;
    const int cavalry = limits[kChouheiCavalryTotal] - cavalryLeft;
    const int foot = limits[kChouheiFootTotal] - footLeft;
    ReduceKokudakaByChouhei(gs, gs.nPlayerDaimyou, -1, cavalry + foot);
    ReduceMinshuuByChouhei(gs, gs.nPlayerDaimyou, -1, cavalry, foot);
}

// =============================================================================================
// Musket deployment

TeppouHaibiOrder::TeppouHaibiOrder(const GameState& gs, int daimyou, int kuni)
    : gs_(gs),
      daimyou_(daimyou),
      stock_(IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).teppou : 0),
      bushou_(ListArmamentBushou(gs, daimyou, kuni)),
      add_(bushou_.size() + 1, 0) {}

std::int64_t TeppouHaibiOrder::Undeployed() const {
    return stock_ - std::accumulate(add_.begin(), add_.end(), std::int64_t{0});
}

int TeppouHaibiOrder::Limit(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= bushou_.size()) return 0;
    const CBushou& b = BushouAt(gs_, bushou_[static_cast<std::size_t>(row)]);
    const std::int64_t available = Undeployed() + Addition(row);
    return ClampI16(std::min<std::int64_t>(available, std::int64_t{b.foot} - b.muskets));
}

void TeppouHaibiOrder::SetAddition(int row, int units) {
    if (row < 0 || static_cast<std::size_t>(row) >= bushou_.size()) return;
    const int limit = Limit(row);
    add_[static_cast<std::size_t>(row)] = std::clamp(units, std::min(0, limit), std::max(0, limit));
}

int TeppouHaibiOrder::MusketsAfter(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= bushou_.size()) return 0;
    return BushouAt(gs_, bushou_[static_cast<std::size_t>(row)]).muskets + Addition(row);
}

void TeppouHaibiOrder::Apply(GameState& gs) {
    for (std::size_t r = 0; r < bushou_.size(); ++r) {
        CBushou& b = BushouAt(gs, bushou_[r]);
        b.muskets = ClampI16(std::int64_t{b.muskets} + add_[r]);
    }
    if (IsValidDaimyou(gs, daimyou_)) DaimyouAt(gs, daimyou_).teppou = ClampInt(Undeployed());
    stock_ = Undeployed();
    std::fill(add_.begin(), add_.end(), 0);
}

}  // namespace rymd
