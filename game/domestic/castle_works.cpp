#include "game/domestic/castle_works.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "game/domestic/castle_economy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr const char* kNoFunds = "資金が足りません";

std::int64_t HouseFunds(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).shikin : 0;
}

void PayFromHouse(GameState& gs, int daimyou, std::int64_t amount) {
    if (!IsValidDaimyou(gs, daimyou)) return;
    std::int32_t& funds = DaimyouAt(gs, daimyou).shikin;
    funds = static_cast<std::int32_t>(std::clamp<std::int64_t>(funds - amount, INT32_MIN, INT32_MAX));
}

const CShiro& SnapOf(const GameState& gs, int shiro) {
    return gs.ShiroSnapTbl[static_cast<std::size_t>(shiro)];
}

// The house's castles of the province, in table order, that pass the test.
template <typename Test>
std::vector<int> ShiroOfKuni(const GameState& gs, int daimyou, int kuni, Test test) {
    std::vector<int> out;
    for (int s : ShiroIndexes(gs))
        if (ShiroAt(gs, s).daimyou == daimyou && ShiroMapAt(gs, s).kuni == kuni && test(s)) out.push_back(s);
    return out;
}

std::int64_t ValueOf(const CShiro& c, Development kind) {
    switch (kind) {
        case Development::kKaikon: return c.kokudaka;
        case Development::kKouzanKaihatsu: return c.kouzan;
        case Development::kRakuichi: return c.keizai;
    }
    return 0;
}

const char* NothingChosenText(Development kind) {
    switch (kind) {
        case Development::kKaikon: return "新田開墾する城を指定して下さい";
        case Development::kKouzanKaihatsu: return "鉱山開発を行う城を指定して下さい";
        case Development::kRakuichi: return "楽市楽座を行う城を指定して下さい";
    }
    return "";
}

}  // namespace

// ---- Castle works --------------------------------------------------------------------------------

ShiroFushinOrder::ShiroFushinOrder(const GameState& gs, int daimyou, int kuni)
    : gs_(gs),
      daimyou_(daimyou),
      rows_(ShiroOfKuni(gs, daimyou, kuni, [&gs](int s) { return ShiroAt(gs, s).nBesieger <= 0; })),
      marked_(rows_.size(), false) {}

bool ShiroFushinOrder::Marked(int row) const {
    return ValidRow(row) && marked_[static_cast<std::size_t>(row)];
}

bool ShiroFushinOrder::Done(int row) const {
    if (!ValidRow(row)) return false;
    const int s = rows_[static_cast<std::size_t>(row)];
    return Marked(row) || ShiroAt(gs_, s).kibo > SnapOf(gs_, s).kibo;
}

std::int64_t ShiroFushinOrder::Cost(int row) const {
    return ValidRow(row) ? std::int64_t{ShiroAt(gs_, rows_[static_cast<std::size_t>(row)]).kibo} * 1000 : 0;
}

std::int64_t ShiroFushinOrder::FundsLeft() const {
    return HouseFunds(gs_, daimyou_) - total_;
}

std::string ShiroFushinOrder::Order(int row) {
    if (!ValidRow(row)) return "";
    const int s = rows_[static_cast<std::size_t>(row)];
    if (ShiroAt(gs_, s).kibo >= ShiroMapAt(gs_, s).maxKibo)
        return ReplaceWordShiro("この城はこれ以上は拡張できません", gs_.ScenarioWords);
    if (Done(row)) return "実行済みです";
    if (FundsLeft() < Cost(row)) return kNoFunds;
    marked_[static_cast<std::size_t>(row)] = true;
    total_ += Cost(row);
    return "";
}

void ShiroFushinOrder::Apply(GameState& gs) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (marked_[i] && IsValidShiro(gs, rows_[i])) ++ShiroAt(gs, rows_[i]).kibo;
    PayFromHouse(gs, daimyou_, total_);
}

// ---- Provisions ---------------------------------------------------------------------------------

ShiroHyourouOrder::ShiroHyourouOrder(const GameState& gs, int daimyou, int kuni)
    : gs_(gs),
      daimyou_(daimyou),
      rows_(ShiroOfKuni(gs, daimyou, kuni,
                        [&gs](int s) {
                            if (ShiroAt(gs, s).nBesieger <= 0) return true;
                            // Supplies still come by water unless warships blockade the castle.
                            return (ShiroMapAt(gs, s).flags & ShiroMapRecord::kFlagWaterway) != 0 &&
                                   gs.GunsenTable.GetBlockadeGunsenAtShiro(s) == 0;
                        })),
      amounts_(rows_.size(), 0) {}

std::int64_t ShiroHyourouOrder::Amount(int row) const {
    return ValidRow(row) ? amounts_[static_cast<std::size_t>(row)] : 0;
}

std::int64_t ShiroHyourouOrder::Provisions(int row) const {
    return ValidRow(row) ? std::int64_t{ShiroAt(gs_, rows_[static_cast<std::size_t>(row)]).hyourou} : 0;
}

std::int64_t ShiroHyourouOrder::Capacity(int row) const {
    return ValidRow(row) ? ShiroHyourouLimit(gs_, ShiroAt(gs_, rows_[static_cast<std::size_t>(row)]).kibo)
                         : 0;
}

std::int64_t ShiroHyourouOrder::FundsLeft() const {
    std::int64_t left = HouseFunds(gs_, daimyou_);
    for (std::int64_t a : amounts_)
        left -= a;
    return left;
}

std::int64_t ShiroHyourouOrder::Top(int row) const {
    const std::int64_t available = FundsLeft() + Amount(row);
    const std::int64_t capacity = Capacity(row);
    return capacity - Provisions(row) > available ? Provisions(row) + available : capacity;
}

std::int64_t ShiroHyourouOrder::Headroom(int row) const {
    return ValidRow(row) ? std::max<std::int64_t>(0, Top(row) - Provisions(row)) : 0;
}

std::int64_t ShiroHyourouOrder::TensLimit(int row) const {
    return ValidRow(row) ? std::max<std::int64_t>(0, (Top(row) - Provisions(row) / 10 * 10) / 10) : 0;
}

bool ShiroHyourouOrder::SetAmount(int row, std::int64_t amount) {
    if (!ValidRow(row)) return false;
    amount = std::max<std::int64_t>(amount, 0);
    std::int64_t& a = amounts_[static_cast<std::size_t>(row)];
    // Lowering a purchase is always allowed, even when the house is already in debt.
    if (amount > a && FundsLeft() + a - amount < 0) return false;
    a = amount;
    return true;
}

std::int64_t ShiroHyourouOrder::AmountFromTens(int row, std::int64_t tens) const {
    if (!ValidRow(row)) return 0;
    std::int64_t amount = Amount(row) % 10 + std::max<std::int64_t>(tens, 0) * 10;
    if (Provisions(row) + amount > Capacity(row)) amount = Capacity(row) - Provisions(row);
    return std::max<std::int64_t>(amount, 0);
}

void ShiroHyourouOrder::Apply(GameState& gs) const {
    std::int64_t paid = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!IsValidShiro(gs, rows_[i]) || amounts_[i] <= 0) continue;
        std::uint32_t& h = ShiroAt(gs, rows_[i]).hyourou;
        h = static_cast<std::uint32_t>(std::min<std::int64_t>(std::int64_t{h} + amounts_[i], UINT32_MAX));
        paid += amounts_[i];
    }
    PayFromHouse(gs, daimyou_, paid);
}

// ---- Land reclamation, mine development, free markets ----------------------------------------------

std::int64_t DevelopmentValue(const GameState& gs, Development kind, int shiro) {
    return IsValidShiro(gs, shiro) ? ValueOf(ShiroAt(gs, shiro), kind) : 0;
}

std::int64_t DevelopmentMaximum(const GameState& gs, Development kind, int shiro) {
    if (!IsValidShiro(gs, shiro)) return 0;
    const ShiroMapRecord& m = ShiroMapAt(gs, shiro);
    switch (kind) {
        case Development::kKaikon: return m.maxKokudaka;
        case Development::kKouzanKaihatsu: return m.maxKouzan;
        case Development::kRakuichi: return m.maxKeizai;
    }
    return 0;
}

std::string DevelopmentValueText(const GameState& gs, Development kind, std::int64_t value) {
    if (kind == Development::kKaikon) return KokudakaText(value, gs.ScenarioWords);
    return FormatText("%lld", static_cast<long long>(value));
}

int DevelopmentCost(Development kind) {
    switch (kind) {
        case Development::kKaikon: return 500;
        case Development::kKouzanKaihatsu: return 100;
        case Development::kRakuichi: return 50;
    }
    return 0;
}

std::vector<int> DevelopmentCandidates(const GameState& gs, Development kind, int daimyou, int kuni) {
    return ShiroOfKuni(gs, daimyou, kuni, [&](int s) {
        const std::int64_t v = DevelopmentValue(gs, kind, s);
        return ShiroAt(gs, s).nBesieger <= 0 && v < DevelopmentMaximum(gs, kind, s) &&
               v <= ValueOf(SnapOf(gs, s), kind);
    });
}

std::string RefuseDevelopment(const GameState& gs, Development kind, int daimyou, int n) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    if (n <= 0) {
        switch (kind) {
            case Development::kKaikon:
                return ReplaceWordKaikon(ReplaceWordShiro(NothingChosenText(kind), w), w);
            case Development::kKouzanKaihatsu:
                return ReplaceWordKouzanKaihatsu(ReplaceWordShiro(NothingChosenText(kind), w), w);
            case Development::kRakuichi:
                return ReplaceWordRakuichi(ReplaceWordShiro(NothingChosenText(kind), w), w);
        }
    }
    const std::int64_t total = std::int64_t{n} * DevelopmentCost(kind);
    if (total > HouseFunds(gs, daimyou))
        return FormatText("%lldの費用が必要ですが、資金が足りません", static_cast<long long>(total));
    return "";
}

std::string DevelopmentQuestion(Development kind, int n) {
    return FormatText("%lldの費用が必要です。実行しますか？",
                      static_cast<long long>(std::int64_t{n} * DevelopmentCost(kind)));
}

void ExecuteDevelopment(GameState& gs, Development kind, int daimyou, std::span<const int> shiro) {
    for (int s : shiro) {
        if (!IsValidShiro(gs, s)) continue;
        switch (kind) {
            case Development::kKaikon: CalcKaikonKouka(gs, s, false); break;
            case Development::kKouzanKaihatsu: CalcKouzanKaihatsuKouka(gs, s, false); break;
            case Development::kRakuichi: CalcRakuichiKouka(gs, s, false); break;
        }
        PayFromHouse(gs, daimyou, DevelopmentCost(kind));
    }
}

}  // namespace rymd
