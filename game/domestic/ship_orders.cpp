#include "game/domestic/ship_orders.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "game/domestic/castle_economy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"

namespace rymd {

namespace {

int ClampInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// The house's castles of the province that nobody besieges and whose geography has the flag.
template <class F>
void ForOwnShiro(const GameState& gs, int daimyou, int kuni, std::uint8_t flag, F f) {
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        const ShiroMapRecord& m = ShiroMapAt(gs, c);
        if (s.daimyou == daimyou && m.kuni == kuni && s.nBesieger == 0 && (m.flags & flag)) f(c, s);
    }
}

}  // namespace

// --- shared ------------------------------------------------------------------------------------------

ShipKenzouOrder::ShipKenzouOrder(const GameState& gs, int daimyou, int price)
    : daimyou_(daimyou),
      funds_(IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).shikin : 0),
      price_(std::max(price, 0)) {}

void ShipKenzouOrder::AddRow(int shiro, int cap) {
    shiro_.push_back(shiro);
    cap_.push_back(std::max(cap, 0));
    new_.push_back(0);
}

int ShipKenzouOrder::Cap(int row) const {
    return Valid(row) ? cap_[static_cast<std::size_t>(row)] : 0;
}

int ShipKenzouOrder::New(int row) const {
    return Valid(row) ? new_[static_cast<std::size_t>(row)] : 0;
}

std::int64_t ShipKenzouOrder::Total() const {
    std::int64_t total = 0;
    for (int n : new_)
        total += std::int64_t{n} * price_;
    return total;
}

std::int64_t ShipKenzouOrder::TotalWithout(int row) const {
    return Total() - std::int64_t{New(row)} * price_;
}

std::int64_t ShipKenzouOrder::Remaining() const {
    return funds_ - Total();
}

bool ShipKenzouOrder::SetNew(int row, int ships) {
    if (!Valid(row)) return true;
    int& n = new_[static_cast<std::size_t>(row)];
    n = std::clamp(ships, 0, Cap(row));
    if (Remaining() >= 0) return true;
    const std::int64_t left = funds_ - TotalWithout(row);
    n = left > 0 && price_ > 0 ? ClampInt(left / price_) : 0;
    return false;
}

void ShipKenzouOrder::Max(int row) {
    if (!Valid(row)) return;
    const std::int64_t left = funds_ - TotalWithout(row);
    int& n = new_[static_cast<std::size_t>(row)];
    if (price_ == 0)
        n = Cap(row);
    else
        n = left > 0 ? ClampInt(std::min<std::int64_t>(left / price_, Cap(row))) : 0;
}

void ShipKenzouOrder::MaxAll() {
    std::int64_t total = Total();
    for (std::size_t r = 0; r < new_.size(); ++r) {
        std::int64_t add = cap_[r] - new_[r];
        if (add <= 0) continue;
        if (price_ > 0 && funds_ - total - add * price_ < 0)
            add = std::max<std::int64_t>(0, (funds_ - total) / price_);
        new_[r] += ClampInt(add);
        total += add * price_;
    }
}

// --- trade ships ---------------------------------------------------------------------------------------

KouekisenKenzouOrder::KouekisenKenzouOrder(const GameState& gs, int daimyou, int kuni)
    : ShipKenzouOrder(gs, daimyou, gs.nKouekisenPrice), gs_(gs) {
    ForOwnShiro(gs, daimyou, kuni, ShiroMapRecord::kFlagPort,
                [&](int c, const CShiro& s) { AddRow(c, kMaxKouekisenPerShiro - s.kouekisen); });
}

int KouekisenKenzouOrder::AtSea(int row) const {
    return Valid(row) ? CountShipsAtSea(gs_, Shiro()[static_cast<std::size_t>(row)]) : 0;
}

int KouekisenKenzouOrder::Waiting(int row) const {
    return Valid(row)
               ? std::max(0, ShiroAt(gs_, Shiro()[static_cast<std::size_t>(row)]).kouekisen - AtSea(row))
               : 0;
}

void KouekisenKenzouOrder::Apply(GameState& gs) const {
    if (!IsValidDaimyou(gs, daimyou_)) return;
    CDaimyou& house = DaimyouAt(gs, daimyou_);
    for (int r = 0; r < static_cast<int>(Shiro().size()); ++r) {
        const int n = New(r);
        if (n <= 0) continue;
        CShiro& s = ShiroAt(gs, Shiro()[static_cast<std::size_t>(r)]);
        s.kouekisen = static_cast<std::uint8_t>(std::min(s.kouekisen + n, kMaxKouekisenPerShiro));
        house.shikin = ClampInt(house.shikin - std::int64_t{n} * Price());
    }
}

// --- warships ------------------------------------------------------------------------------------------

GunsenKenzouOrder::GunsenKenzouOrder(const GameState& gs, int daimyou, int kuni)
    : ShipKenzouOrder(gs, daimyou, gs.nGunsenPrice), gs_(gs) {
    ForOwnShiro(gs, daimyou, kuni, ShiroMapRecord::kFlagWaterway, [&](int c, const CShiro& s) {
        const int building = s.gunsenBuilding & 0x0F;
        const bool takes = building == 0 || (s.gunsenBuilding >> 4) == kGunsenKenzouMonths;
        AddRow(c, takes ? kMaxGunsenKenzou - building : 0);
    });
}

int GunsenKenzouOrder::Lying(int row) const {
    return Valid(row) ? gs_.GunsenTable.GetGunsenAtShiro(Shiro()[static_cast<std::size_t>(row)]) : 0;
}

int GunsenKenzouOrder::Building(int row) const {
    return Valid(row) ? ShiroAt(gs_, Shiro()[static_cast<std::size_t>(row)]).gunsenBuilding & 0x0F : 0;
}

int GunsenKenzouOrder::MonthsLeft(int row) const {
    return Valid(row) ? ShiroAt(gs_, Shiro()[static_cast<std::size_t>(row)]).gunsenBuilding >> 4 : 0;
}

bool GunsenKenzouOrder::TakesOrders(int row) const {
    return Valid(row) && (Building(row) == 0 || MonthsLeft(row) == kGunsenKenzouMonths);
}

void GunsenKenzouOrder::Apply(GameState& gs) const {
    if (!IsValidDaimyou(gs, daimyou_)) return;
    CDaimyou& house = DaimyouAt(gs, daimyou_);
    for (int r = 0; r < static_cast<int>(Shiro().size()); ++r) {
        const int n = New(r);
        if (n <= 0 || !TakesOrders(r)) continue;
        CShiro& s = ShiroAt(gs, Shiro()[static_cast<std::size_t>(r)]);
        const int ships = std::min((s.gunsenBuilding & 0x0F) + n, kMaxGunsenKenzou);
        s.gunsenBuilding = static_cast<std::uint8_t>((kGunsenKenzouMonths << 4) | ships);
        s.gunsenBuilder = static_cast<std::int16_t>(daimyou_);
        house.shikin = ClampInt(house.shikin - std::int64_t{n} * Price());
    }
}

}  // namespace rymd
