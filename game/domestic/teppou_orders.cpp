#include "game/domestic/teppou_orders.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstddef>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "mbmisc/sort_int.h"

namespace rymd {

namespace {

int ClampInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// trunc(nHeiUnit x price), held to 0..the range of an int (a price never pays the buyer).
int UnitPriceOf(const GameState& gs, double price) {
    const double v = std::trunc(HeiUnit(gs) * price);
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(INT_MAX)));
}

std::int64_t FundsOf(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).shikin : 0;
}

// The units that funds left pay at a price; a price of 0 or less limits nothing.
std::int64_t Affordable(std::int64_t left, int price, std::int64_t most) {
    if (price <= 0) return most;
    return std::clamp<std::int64_t>(left / price, 0, most);
}

// The fit-to-funds rule shared by both orders: the new value is kept when the funds pay for it;
// otherwise it becomes what they pay. False when that equals the value before.
bool FitToFunds(int& value, int old, std::int64_t fundsForIt, int price) {
    if (price <= 0 || std::int64_t{value} * price <= fundsForIt) return true;
    const int fit = ClampInt(std::max<std::int64_t>(0, fundsForIt / price));
    value = fit;
    return fit != old;
}

// The units a 16-bit count can still take on top of what it holds.
int RoomIn(int held) {
    return std::max(0, UINT16_MAX - held);
}

// The units a place can still book for the house: what it bought there in this phase and its
// order there are both 16-bit counts, and nothing is sold beyond what they can record.
int BookableAt(const GameState& gs, int daimyou, int place) {
    int room = RoomIn(gs.TeppouKounyuuTbl[static_cast<std::size_t>(place)].dialogWork);
    if (IsValidDaimyou(gs, daimyou) && place < CDaimyou::kTeppouOrderCount)
        room =
            std::min(room, RoomIn(DaimyouAt(gs, daimyou).teppouOrder[static_cast<std::size_t>(place)].count));
    return room;
}

}  // namespace

// --- purchase ------------------------------------------------------------------------------------

TeppouKounyuuOrder::TeppouKounyuuOrder(const GameState& gs, int daimyou)
    : daimyou_(daimyou), funds_(FundsOf(gs, daimyou)) {
    std::array<int, GameState::kMaxTeppouKounyuu> amount{};
    std::array<int, GameState::kMaxTeppouKounyuu> months{};
    CalcTeppouKounyuuOfDaimyou(gs, daimyou, amount, months);
    const int nPlace = std::clamp(gs.nTeppouKounyuu, 0, GameState::kMaxTeppouKounyuu);
    MbMisc::CSortInt order(nPlace);
    for (int p = 0; p < nPlace; ++p) {
        const std::size_t i = static_cast<std::size_t>(p);
        // What the house bought here in this phase is no longer on offer, nor what could not be
        // booked.
        if (amount[i] > 0)
            amount[i] =
                std::clamp(amount[i] - gs.TeppouKounyuuTbl[i].dialogWork, 0, BookableAt(gs, daimyou, p));
        if (amount[i] != 0) order.AddData(p, months[i]);
    }
    order.SortTopSmall(-1);
    for (int k = 0; k < order.GetCount(); ++k) {
        const int p = order.GetItem(k);
        const std::size_t i = static_cast<std::size_t>(p);
        Place row;
        row.place = p;
        row.months = months[i];
        row.unitPrice = UnitPriceOf(gs, gs.TeppouKounyuuTbl[i].currentPrice);
        if (amount[i] < 0) {
            row.inDelivery = true;
            if (IsValidDaimyou(gs, daimyou) && p < CDaimyou::kTeppouOrderCount)
                row.onOrder = DaimyouAt(gs, daimyou).teppouOrder[i].count;
        } else {
            row.purchasable = amount[i];
        }
        rows_.push_back(row);
    }
}

const TeppouKounyuuOrder::Place& TeppouKounyuuOrder::Row(int row) const {
    static const Place kNone{};
    return Valid(row) ? rows_[static_cast<std::size_t>(row)] : kNone;
}

std::int64_t TeppouKounyuuOrder::Funds() const {
    return funds_;
}

std::int64_t TeppouKounyuuOrder::Total() const {
    std::int64_t total = 0;
    for (const Place& r : rows_)
        total += std::int64_t{r.units} * r.unitPrice;
    return total;
}

std::int64_t TeppouKounyuuOrder::TotalWithout(int row) const {
    return Total() - std::int64_t{Row(row).units} * Row(row).unitPrice;
}

std::int64_t TeppouKounyuuOrder::Remaining() const {
    return Funds() - Total();
}

bool TeppouKounyuuOrder::SetUnits(int row, int units) {
    if (!Valid(row)) return true;
    Place& r = rows_[static_cast<std::size_t>(row)];
    const int old = r.units;
    r.units = std::clamp(units, 0, r.purchasable);
    return FitToFunds(r.units, old, Funds() - TotalWithout(row), r.unitPrice);
}

void TeppouKounyuuOrder::Max(int row) {
    if (!Valid(row)) return;
    Place& r = rows_[static_cast<std::size_t>(row)];
    r.units = ClampInt(Affordable(Funds() - TotalWithout(row), r.unitPrice, r.purchasable));
}

void TeppouKounyuuOrder::MaxAll() {
    std::int64_t total = Total();
    for (Place& r : rows_) {
        if (r.inDelivery) continue;
        std::int64_t add = r.purchasable - r.units;
        if (Funds() - total - add * r.unitPrice < 0) add = Affordable(Funds() - total, r.unitPrice, add);
        r.units += ClampInt(add);
        total += add * r.unitPrice;
    }
}

void TeppouKounyuuOrder::Apply(GameState& gs) const {
    if (!IsValidDaimyou(gs, daimyou_)) return;
    CDaimyou& house = DaimyouAt(gs, daimyou_);
    for (const Place& r : rows_) {
        if (r.units <= 0 || r.place >= CDaimyou::kTeppouOrderCount) continue;
        // Only what can be booked is bought and paid for.
        const int units = std::min(r.units, BookableAt(gs, daimyou_, r.place));
        if (units == 0) continue;
        const std::size_t i = static_cast<std::size_t>(r.place);
        house.shikin = ClampInt(house.shikin - std::int64_t{units} * r.unitPrice);
        TeppouKounyuuRecord& place = gs.TeppouKounyuuTbl[i];
        place.dialogWork = static_cast<std::uint16_t>(place.dialogWork + units);
        TeppouOrder& o = house.teppouOrder[i];
        o.months = static_cast<std::int8_t>(std::clamp(r.months, 0, INT8_MAX));
        o.count = static_cast<std::uint16_t>(o.count + units);
    }
}

// --- production ------------------------------------------------------------------------------------

TeppouSeisanOrder::TeppouSeisanOrder(const GameState& gs, int daimyou)
    : daimyou_(daimyou), funds_(FundsOf(gs, daimyou)) {
    std::vector<std::uint8_t> flags(static_cast<std::size_t>(std::max(gs.nKuni, 0)), 0);
    const int most = CalcTeppouSeisanOfDaimyou(gs, daimyou, flags);
    for (std::size_t k = 0; k < flags.size(); ++k)
        if (flags[k]) kuni_.push_back(static_cast<int>(k));
    const int made = IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).teppouSeisan : 0;
    // What the month's 16-bit count of made muskets cannot take is not offered.
    maximum_ = std::clamp(most - made, 0, RoomIn(made));
    unitCost_ = UnitPriceOf(gs, gs.TeppouCost[3]);
}

std::int64_t TeppouSeisanOrder::Remaining() const {
    return funds_ - std::int64_t{units_} * unitCost_;
}

bool TeppouSeisanOrder::SetUnits(int units) {
    const int old = units_;
    units_ = std::clamp(units, 0, maximum_);
    return FitToFunds(units_, old, funds_, unitCost_);
}

void TeppouSeisanOrder::Max() {
    units_ = ClampInt(Affordable(funds_, unitCost_, maximum_));
}

void TeppouSeisanOrder::Apply(GameState& gs) const {
    if (!IsValidDaimyou(gs, daimyou_)) return;
    CDaimyou& house = DaimyouAt(gs, daimyou_);
    // Only what the month's count can record is made and paid for.
    const int units = std::clamp(units_, 0, RoomIn(house.teppouSeisan));
    if (units == 0) return;
    house.teppouSeisan = static_cast<std::uint16_t>(house.teppouSeisan + units);
    house.shikin = ClampInt(house.shikin - std::int64_t{units} * unitCost_);
}

}  // namespace rymd
