#include "game/military/navy_sortie.h"

#include <algorithm>

#include "game/military/sortie.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"

namespace rymd {

namespace {

bool NavySortieOwnSide(const GameState& gs, int player, int shiro) {
    return GetCountedDaimyouOfShiro(gs, shiro) == player;
}

// The units named once each: a unit chosen twice goes once.
std::vector<int> NavySortieDistinct(std::span<const int> units) {
    std::vector<int> out;
    for (int u : units)
        if (std::find(out.begin(), out.end(), u) == out.end()) out.push_back(u);
    return out;
}

}  // namespace

NavySortieModel::NavySortieModel(const GameState& gs, int player, const NavySortieInput& input)
    : gs_(gs), player_(player), input_(input) {
    if (!IsValidShiro(gs, input.origin)) return;
    const int origin = input.origin;
    const int target = input.destination;
    const CGunsenTable& table = gs.GunsenTable;
    if (NavalBattleChoice()) {
        unitLimit_ = kNavalBattleUnits;
        shipLimit_ = kShipLimit;
    } else if (input.sortie) {
        unitLimit_ = SortieBushouLimit(gs, player, target);
        shipLimit_ = kShipLimit - table.GetGunsenBoundFor(gs, target, player);
    } else {
        unitLimit_ = MoveBushouLimit(gs, player, target);
        shipLimit_ = kShipLimit - (IsValidShiro(gs, target) ? table.GetFreeGunsenAtShiro(target) : 0) -
                     table.GetGunsenBoundFor(gs, target, player);
    }
    shipLimit_ = std::max(shipLimit_, 0);

    // The units: the castle's generals, or the player's besiegers of it.
    const bool own = NavySortieOwnSide(gs, player, origin);
    const CShiro& c = ShiroAt(gs, origin);
    const auto& list = own ? c.bushou : c.besieger;
    const int n = own ? c.nBushou : c.nBesieger;
    for (int i = 0; i < n && i < CShiro::kMaxBushou; ++i) {
        const int g = list[static_cast<std::size_t>(i)];
        if (!IsValidBushou(gs, g)) continue;
        const CBushou& b = BushouAt(gs, g);
        if (b.flags & CBushou::kFlagNotDefending) continue;
        if (!input.includeAll && (b.gundan != -1 || (b.flags & CBushou::kFlagOrdered))) continue;
        candidates_.push_back(g);
    }
    if (input.garrisonRow) candidates_.push_back(kShiroGarrisonItem + origin);

    // The owner rows, in order of first appearance, then the player's house first.
    for (std::uint32_t r = 0; r < table.count; ++r) {
        const GunsenRecord& f = table.records[r];
        if (f.shiro != origin || f.ships <= 0 || f.IsBlockade() == own) continue;
        auto row = std::find_if(rows_.begin(), rows_.end(),
                                [&](const NavyOwnerRow& x) { return x.daimyou == f.owner; });
        if (row == rows_.end()) row = rows_.insert(rows_.end(), NavyOwnerRow{f.owner, 0, 0, 0});
        row->total += f.ships;
        if (input.includeAll || f.IsFree()) row->sailable += f.ships;
    }
    std::stable_sort(rows_.begin(), rows_.end(), [player](const NavyOwnerRow& a, const NavyOwnerRow& b) {
        if ((a.daimyou == player) != (b.daimyou == player)) return a.daimyou == player;
        return a.daimyou < b.daimyou;
    });
    if (NavalBattleChoice()) Max();
}

int NavySortieModel::SailableTotal() const {
    int sum = 0;
    for (const NavyOwnerRow& r : rows_)
        sum += r.sailable;
    return sum;
}

int NavySortieModel::Total() const {
    int sum = 0;
    for (const NavyOwnerRow& r : rows_)
        sum += r.ships;
    return sum;
}

long long NavySortieModel::Soldiers(std::span<const int> units) const {
    long long troops = 0;
    for (int u : NavySortieDistinct(units)) {
        if (u >= kShiroGarrisonItem) {
            if (IsValidShiro(gs_, u - kShiroGarrisonItem))
                troops += ShiroAt(gs_, u - kShiroGarrisonItem).shubihei;
        } else if (IsValidBushou(gs_, u)) {
            troops += BushouAt(gs_, u).cavalry + BushouAt(gs_, u).foot;
        }
    }
    return troops * gs_.nHeiUnit;
}

int NavySortieModel::RequiredShips(std::span<const int> units) const {
    if (units.empty()) return 0;
    const long long ships = (Soldiers(units) + kSoldiersPerShip - 1) / kSoldiersPerShip;
    return static_cast<int>(std::clamp<long long>(ships, 1, 1000000));
}

int NavySortieModel::RowMax(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return 0;
    const NavyOwnerRow& r = rows_[static_cast<std::size_t>(row)];
    return std::max(0, std::min(r.sailable, shipLimit_ - (Total() - r.ships)));
}

int NavySortieModel::TotalMax() const {
    return std::min(SailableTotal(), shipLimit_);
}

void NavySortieModel::SetRowShips(int row, int ships) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    rows_[static_cast<std::size_t>(row)].ships = std::clamp(ships, 0, RowMax(row));
}

void NavySortieModel::SetTotal(int total) {
    total = std::clamp(total, 0, TotalMax());
    int diff = total - Total();
    for (auto r = rows_.rbegin(); diff < 0 && r != rows_.rend(); ++r) {
        const int take = std::min(r->ships, -diff);
        r->ships -= take;
        diff += take;
    }
    for (auto r = rows_.begin(); diff > 0 && r != rows_.end(); ++r) {
        const int add = std::min(r->sailable - r->ships, diff);
        r->ships += add;
        diff -= add;
    }
}

void NavySortieModel::MatchToTroops(std::span<const int> units) {
    SetTotal(RequiredShips(units));
}

void NavySortieModel::Max() {
    int left = TotalMax();
    for (NavyOwnerRow& r : rows_) {
        r.ships = std::min(r.sailable, left);
        left -= r.ships;
    }
}

std::string NavySortieModel::CheckOk(std::span<const int> units) const {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    if (input_.sortie && units.empty()) return ReplaceWordBushou("出陣武将が選択されていません", w);
    if (static_cast<int>(NavySortieDistinct(units).size()) > unitLimit_)
        return ReplaceWordBushou("武将数が多すぎます", w);
    if (Total() < RequiredShips(units)) return ReplaceWordGunsen("兵数に対して軍船が不足しています", w);
    return "";
}

std::vector<NavyShipOrder> NavySortieModel::Orders() const {
    std::vector<NavyShipOrder> out;
    for (const NavyOwnerRow& r : rows_)
        if (r.ships > 0) out.push_back({r.daimyou, r.ships});
    return out;
}

void PlanNavyMove(GameState& gs, int origin, int target, std::span<const NavyShipOrder> orders, bool siege) {
    for (const NavyShipOrder& o : orders)
        if (o.ships > 0) gs.GunsenTable.PlanGunsenMove(gs, origin, o.daimyou, target, o.ships, siege);
}

void AssignNavySortie(GameState& gs, int origin, int target, std::span<const NavyShipOrder> orders) {
    for (const NavyShipOrder& o : orders)
        if (o.ships > 0) gs.GunsenTable.AssignGunsen(origin, o.daimyou, target, o.ships);
}

}  // namespace rymd
