#include "game/domestic/economy.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <limits>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

std::int32_t Clamp32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}
// A double truncated toward zero into 64 bits (NaN counts as 0, the rest saturates).
std::int64_t Trunc64(double v) {
    if (!(v == v)) return 0;
    if (v >= 9.0e18) return std::numeric_limits<std::int64_t>::max();
    if (v <= -9.0e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(v);
}

// Whole months from one date to another. There is no year 0: December of year -1 is followed by
// January of year 1.
int MonthsBetween(int fromYear, int fromMonth, int toYear, int toMonth) {
    int years = toYear - fromYear;
    if (fromYear < 0 && toYear > 0) --years;
    if (fromYear > 0 && toYear < 0) ++years;
    return (toMonth - fromMonth) + 12 * years;
}

// Relation states that let two houses trade: alliance, master of a subordinate, master of a vassal.
bool IsTradeRelation(int state) {
    return state == CDaimyou::kRelFusen || state == CDaimyou::kRelJuuzokuMaster ||
           state == CDaimyou::kRelShinjuuMaster;
}

constexpr int kSeptember = 9;
constexpr int kMaxKoukaiGijutsu = 10000;
constexpr int kMaxFriendliness = 100;
constexpr int kMaxKouzanGijutsu = 5000;
constexpr int kMaxSupport = 1000;

}  // namespace

// Which castles and generals belong to which house, read once.
struct CMonthlyIncome::Index {
    // Castles each house owns, in table order.
    std::vector<std::vector<int>> shiroOf;
    // Generals that belong to each house, in table order: those whose house it is, and guest
    // generals whose counted house it is.
    std::vector<std::vector<int>> bushouOf;
    // Provinces in which each house owns a castle.
    std::vector<std::bitset<256>> kuniOf;
    // Monthly cost of each house's warships: 50 a ship, 100 a ship at sea.
    std::vector<std::int64_t> gunsenCost;
    // The houses of the Ainu people, in index order (a house's people is set at the start).
    std::vector<int> ainu;
    // adjacent[a][b]: a castle of a is linked to a castle of b (built at its first need).
    mutable bool adjacencyBuilt = false;
    mutable std::vector<std::bitset<GameState::kMaxDaimyou>> adjacent;
};

CMonthlyIncome::CMonthlyIncome(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                               const SuppressionPolicy& policy)
    : gs_(gs), map_(&map), ports_(ports), policy_(policy) {}

CMonthlyIncome::CMonthlyIncome(GameState& gs) : gs_(gs), quiet_(true) {}

CMonthlyIncome::~CMonthlyIncome() = default;

void CMonthlyIncome::Refresh() {
    index_.reset();
}

void CMonthlyIncome::SetQuality(int kuni, int quality) {
    if (kuni < 0 || kuni >= static_cast<int>(qualities_.size())) return;
    qualities_[static_cast<std::size_t>(kuni)] = static_cast<std::int8_t>(std::clamp(quality, -1, 1));
}

const CMonthlyIncome::Index& CMonthlyIncome::GetIndex() const {
    if (index_) return *index_;
    auto index = std::make_unique<Index>();
    index->shiroOf.resize(GameState::kMaxDaimyou);
    index->bushouOf.resize(GameState::kMaxDaimyou);
    index->kuniOf.resize(GameState::kMaxDaimyou);
    index->gunsenCost.assign(GameState::kMaxDaimyou, 0);
    const CGunsenTable& fleets = gs_.GunsenTable;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(fleets.count, CGunsenTable::kMaxRecord); ++i) {
        const GunsenRecord& r = fleets.records[i];
        if (IsValidDaimyou(gs_, r.owner))
            index->gunsenCost[static_cast<std::size_t>(r.owner)] +=
                r.IsBlockade() ? r.ships * 100 : r.ships * 50;
    }
    const int nShiro = ShiroCount(gs_);
    for (int c = 0; c < nShiro; ++c) {
        const int owner = ShiroAt(gs_, c).daimyou;
        if (!IsValidDaimyou(gs_, owner)) continue;
        index->shiroOf[static_cast<std::size_t>(owner)].push_back(c);
        index->kuniOf[static_cast<std::size_t>(owner)].set(ShiroMapAt(gs_, c).kuni);
    }
    const int nBushou = BushouCount(gs_);
    for (int g = 0; g < nBushou; ++g) {
        const CBushou& b = gs_.BushouTbl[static_cast<std::size_t>(g)];
        if (IsValidDaimyou(gs_, b.daimyou)) index->bushouOf[static_cast<std::size_t>(b.daimyou)].push_back(g);
        if (b.status == CBushou::kStatusKyakushou) {
            const int counted = GetCountedDaimyou(gs_, b.daimyou);
            if (counted != b.daimyou && IsValidDaimyou(gs_, counted))
                index->bushouOf[static_cast<std::size_t>(counted)].push_back(g);
        }
    }
    for (int d = 0; d < DaimyouCount(gs_); ++d)
        if (gs_.DaimyouTbl[static_cast<std::size_t>(d)].GetKind() == CDaimyou::kKindAinu)
            index->ainu.push_back(d);
    index_ = std::move(index);
    return *index_;
}

bool CMonthlyIncome::HousesAdjacent(int a, int b) const {
    if (!IsValidDaimyou(gs_, a) || !IsValidDaimyou(gs_, b)) return false;
    const Index& index = GetIndex();
    if (!index.adjacencyBuilt) {
        index.adjacent.assign(GameState::kMaxDaimyou, {});
        const int nShiro = ShiroCount(gs_);
        for (int c = 0; c < nShiro; ++c) {
            const int owner = ShiroAt(gs_, c).daimyou;
            if (!IsValidDaimyou(gs_, owner)) continue;
            for (const ShiroConnection& link : ShiroMapAt(gs_, c).connect) {
                if (link.shiro == 0xFFFF) break;
                if (link.shiro >= nShiro) continue;
                const int other = ShiroAt(gs_, link.shiro).daimyou;
                if (IsValidDaimyou(gs_, other))
                    index.adjacent[static_cast<std::size_t>(owner)].set(static_cast<std::size_t>(other));
            }
        }
        index.adjacencyBuilt = true;
    }
    return index.adjacent[static_cast<std::size_t>(a)].test(static_cast<std::size_t>(b));
}

bool CMonthlyIncome::SharesKuni(int a, int b) const {
    if (!IsValidDaimyou(gs_, a) || !IsValidDaimyou(gs_, b)) return false;
    const Index& index = GetIndex();
    return (index.kuniOf[static_cast<std::size_t>(a)] & index.kuniOf[static_cast<std::size_t>(b)]).any();
}

// ---------------------------------------------------------------------------------------------
// Harvest

int CMonthlyIncome::RunHarvest() {
    qualities_.fill(kHarvestNormal);
    if (gs_.nCurMonth != kSeptember) return kStandardTaxIndex;

    // One draw per region: -1, 0 or 1 with equal chance.
    const int nChiiki = map_ != nullptr ? map_->ChiikiCount() : 0;
    std::vector<int> regional(static_cast<std::size_t>(std::max(nChiiki, 0)));
    for (int& q : regional)
        q = gs_.rng.Below(3) - 1;
    // Each province of a good (bad) region is good (bad) with a chance of 0.7, else normal.
    int nKuni = std::clamp(gs_.nKuni, 0, static_cast<int>(qualities_.size()));
    if (map_ != nullptr)
        nKuni = std::min(nKuni, map_->KuniCount());
    else
        nKuni = 0;
    for (int k = 0; k < nKuni; ++k) {
        const int region = map_->Kuni(k).chiiki;
        const int q = region >= 0 && region < nChiiki ? regional[static_cast<std::size_t>(region)] : 0;
        if (q == kHarvestGood)
            qualities_[static_cast<std::size_t>(k)] = gs_.rng.Unit() < 0.7 ? kHarvestGood : kHarvestNormal;
        else if (q == kHarvestBad)
            qualities_[static_cast<std::size_t>(k)] = gs_.rng.Unit() < 0.7 ? kHarvestBad : kHarvestNormal;
    }

    if (quiet_ || !policy_.Shows(MessageKind::HarvestDialog)) return kStandardTaxIndex;

    // The harvest dialog: the country painted by harvest, the tax rate preset to the standard.
    const int answer = ports_.ask->AskHarvestTax(HarvestViewOf());
    return answer >= 0 && answer < kTaxIndexCount ? answer : kStandardTaxIndex;
}

std::int64_t CMonthlyIncome::CalcHarvest(int daimyou, int gundan, bool ignoreQualities) const {
    if (!IsValidDaimyou(gs_, daimyou)) return 0;
    double sum = 0.0;
    for (int c : GetIndex().shiroOf[static_cast<std::size_t>(daimyou)]) {
        const CShiro& s = ShiroAt(gs_, c);
        if (s.gundan != gundan) continue;
        double factor = 1.0;
        if (!ignoreQualities) {
            const int kuni = ShiroMapAt(gs_, c).kuni;
            const int q =
                kuni < static_cast<int>(qualities_.size()) ? qualities_[static_cast<std::size_t>(kuni)] : 0;
            factor = q == kHarvestGood ? 1.3 : q == kHarvestBad ? 0.9 : 1.0;
        }
        sum += static_cast<double>(s.kokudaka) * factor;
    }
    return Trunc64(sum);
}

// ---------------------------------------------------------------------------------------------
// Income

std::int32_t CMonthlyIncome::CalcKouekisenIncome(int daimyou, int gundan, int year, int month,
                                                 bool projection) {
    if (!IsValidDaimyou(gs_, daimyou)) return 0;
    const int months = MonthsBetween(gs_.nCurYear, gs_.nCurMonth, year, month);
    if (months < 0 || months > 255) return 0;
    const bool report = !projection && !quiet_ && daimyou == gs_.nPlayerDaimyou;
    const int nPartner = std::clamp(gs_.nTradingPartner, 0, GameState::kMaxTradingPartner);
    CDaimyou& house = gs_.DaimyouTbl[static_cast<std::size_t>(daimyou)];
    std::vector<std::string> rows;
    std::int64_t sum = 0;
    for (int c : GetIndex().shiroOf[static_cast<std::size_t>(daimyou)]) {
        CShiro& s = ShiroAt(gs_, c);
        const ShiroMapRecord& geo = ShiroMapAt(gs_, c);
        if (s.gundan != gundan || (geo.flags & ShiroMapRecord::kFlagPort) == 0) continue;
        for (ShiroOrderSlot& v : s.voyage) {
            if (v.ships == 0 || v.monthsLeft != months) continue;
            const int partner = v.destination;
            const bool known = partner < nPartner;
            const std::int64_t price =
                known && geo.kuni < 250 ? gs_.TradingPartnerTbl[partner].sales[geo.kuni] : 0;
            std::int64_t value = static_cast<std::int64_t>(v.ships) * price;
            if (!projection) value = Trunc64(static_cast<double>(value) * (gs_.rng.Unit() * 0.4 + 0.8));
            if (report) {
                const std::string name = known ? gs_.TradingPartnerTbl[partner].name : std::string();
                rows.push_back(name + "\t" + geo.name + "\t" + FormatText("%d隻", v.ships) + "\t" +
                               (partner == 0 ? std::string("---") : FormatText("%d", Clamp32(value))));
            }
            sum += value;
            if (!projection) {
                house.koukaiGijutsu = static_cast<std::int16_t>(
                    std::min<int>(house.koukaiGijutsu + v.monthsTotal * 2 * v.ships, kMaxKoukaiGijutsu));
                if (known && IsValidDaimyou(gs_, daimyou)) {
                    std::uint8_t& f =
                        gs_.TradingPartnerTbl[partner].friendliness[static_cast<std::size_t>(daimyou)];
                    f = static_cast<std::uint8_t>(
                        std::clamp(f + Round(v.ships * (gs_.rng.Unit() * 1.0 + 1.0)), 0, kMaxFriendliness));
                }
                v.ships = 0;
            }
        }
    }
    if (!rows.empty()) {
        std::vector<std::string> lines;
        lines.push_back(ReplaceWordKouekisen("以下の交易船が派遣先から帰港しました", gs_.ScenarioWords));
        lines.push_back("派遣先\t帰還港\t帰還船数\t収益");
        lines.insert(lines.end(), rows.begin(), rows.end());
        policy_.ShowReport(ports_, MessageKind::TradeShipReturnReport, ReportKind::TradeShipReturn,
                           ReplaceWordKouekisen("交易船帰港", gs_.ScenarioWords), lines);
    }
    return Clamp32(sum);
}

std::int32_t CMonthlyIncome::CalcTrade(int daimyou) {
    const int nDaimyou = DaimyouCount(gs_);
    const CDaimyou& house = gs_.DaimyouTbl[static_cast<std::size_t>(daimyou)];
    std::int32_t trade = 0;
    if (house.GetKind() != CDaimyou::kKindAinu) {
        // Trade with each allied neighbour of the Ainu people, shared among all its partners; the
        // last such neighbour in index order gives the value.
        for (int o : GetIndex().ainu) {
            if (o == daimyou || !HouseExists(gs_, o)) continue;
            if (!IsTradeRelation(house.GetRelationLo(o)) || !HousesAdjacent(daimyou, o)) continue;
            const int w = SharesKuni(daimyou, o) ? 3 : 1;
            int n = 0;
            for (int p = 0; p < nDaimyou; ++p) {
                if (p == o || !HouseExists(gs_, p)) continue;
                if (!IsTradeRelation(gs_.DaimyouTbl[static_cast<std::size_t>(p)].GetRelationLo(o))) continue;
                if (!HousesAdjacent(p, o)) continue;
                n += SharesKuni(p, o) ? 3 : 1;
            }
            const double base = gs_.rng.Unit() * 500.0 + 2500.0;
            trade = static_cast<std::int32_t>(base / std::max(n, 1) * w);
        }
    } else {
        // The Ainu people trade with their first allied neighbour of another people.
        for (int o = 0; o < nDaimyou; ++o) {
            if (o == daimyou || !HouseExists(gs_, o)) continue;
            if (gs_.DaimyouTbl[static_cast<std::size_t>(o)].GetKind() == CDaimyou::kKindAinu) continue;
            if (!IsTradeRelation(house.GetRelationLo(o)) || !HousesAdjacent(daimyou, o)) continue;
            trade = static_cast<std::int32_t>((gs_.rng.Unit() * 500.0 + 2500.0) / 2.0);
            break;
        }
    }
    return trade;
}

std::int32_t CMonthlyIncome::CalcIncome(int daimyou, int gundan, int year, int month, int taxIndex,
                                        bool projection, IncomeRecord& out) {
    out = IncomeRecord{};
    if (!IsValidDaimyou(gs_, daimyou)) return 0;
    if (taxIndex < 0 || taxIndex >= kTaxIndexCount) taxIndex = kStandardTaxIndex;
    const std::vector<int>& castles = GetIndex().shiroOf[static_cast<std::size_t>(daimyou)];

    // 1. The harvest, in September only; the tax rate moves the populace support.
    std::int64_t harvest = 0;
    if (month == kSeptember) {
        harvest = Trunc64(static_cast<double>(CalcHarvest(daimyou, gundan, projection)) *
                          kTaxRateTbl[static_cast<std::size_t>(taxIndex)] / 100.0);
        if (!projection) {
            const int target = kSupportTargetTbl[static_cast<std::size_t>(taxIndex)] * 10;
            for (int c : castles) {
                CShiro& s = ShiroAt(gs_, c);
                if (s.gundan != gundan) continue;
                const double delta = (target - s.support) * 0.2 * (gs_.rng.Unit() * 0.4 + 0.8);
                s.support = static_cast<std::int16_t>(std::clamp(s.support + Round(delta), 0, kMaxSupport));
            }
        }
    }
    // 2, 3. Towns and mines.
    std::int64_t keizai = 0;
    std::int64_t kouzan = 0;
    for (int c : castles) {
        const CShiro& s = ShiroAt(gs_, c);
        if (s.gundan != gundan) continue;
        keizai += s.keizai;
        kouzan += s.kouzan;
    }
    const std::int64_t mine =
        Trunc64(static_cast<double>(kouzan) *
                gs_.DaimyouTbl[static_cast<std::size_t>(daimyou)].kouzanGijutsu / 1000.0);
    // 4. Trade between peoples, for the directly held part.
    const std::int32_t trade = gundan == -1 ? CalcTrade(daimyou) : 0;
    // 5. Trade ships.
    const std::int32_t ships = CalcKouekisenIncome(daimyou, gundan, year, month, projection);

    out.harvest = Clamp32(harvest);
    out.town = Clamp32(keizai);
    out.mine = Clamp32(mine);
    out.trade = trade;
    out.tradeShip = ships;
    out.total =
        Clamp32(static_cast<std::int64_t>(out.harvest) + out.town + out.mine + out.trade + out.tradeShip);
    return out.total;
}

// ---------------------------------------------------------------------------------------------
// Upkeep

std::int32_t CMonthlyIncome::CalcUpkeep(int daimyou, int gundan, bool countBesieged, UpkeepRecord& out,
                                        bool& besiegedSeen) {
    out = UpkeepRecord{};
    besiegedSeen = false;
    if (!IsValidDaimyou(gs_, daimyou)) return 0;
    const Index& index = GetIndex();
    const bool vassal = gs_.DaimyouTbl[static_cast<std::size_t>(daimyou)].bond == CDaimyou::kBondShinjuu;
    const int nShiro = ShiroCount(gs_);

    std::int64_t idleCavalry = 0, idleFoot = 0, campaignCavalry = 0, campaignFoot = 0, garrison = 0;
    for (int g : index.bushouOf[static_cast<std::size_t>(daimyou)]) {
        const CBushou& b = gs_.BushouTbl[static_cast<std::size_t>(g)];
        if (!vassal && b.gundan != gundan) continue;
        if (b.flags & CBushou::kFlagBesieging) {
            campaignCavalry += b.cavalry;
            campaignFoot += b.foot;
            continue;
        }
        if (b.shiro >= 0 && b.shiro < nShiro && ShiroAt(gs_, b.shiro).nBesieger != 0) {
            besiegedSeen = true;
            if (!countBesieged) continue;
        }
        idleCavalry += b.cavalry;
        idleFoot += b.foot;
    }
    for (int c : index.shiroOf[static_cast<std::size_t>(daimyou)]) {
        const CShiro& s = ShiroAt(gs_, c);
        if (s.gundan != gundan) continue;
        if (s.nBesieger != 0) {
            besiegedSeen = true;
            if (!countBesieged) continue;
        }
        garrison += s.shubihei;
    }
    std::int64_t idleShips = 0, shipsAtSea = 0;
    if (gundan == -1) {
        const CGunsenTable& t = gs_.GunsenTable;
        const std::uint32_t n = std::min<std::uint32_t>(t.count, CGunsenTable::kMaxRecord);
        for (std::uint32_t i = 0; i < n; ++i) {
            const GunsenRecord& r = t.records[i];
            if (r.owner != daimyou) continue;
            (r.IsBlockade() ? shipsAtSea : idleShips) += r.ships;
        }
    }

    const double u = HeiUnit(gs_);
    out.idleFoot = Clamp32(Trunc64(static_cast<double>(idleFoot) * u * 0.5));
    out.idleCavalry = Clamp32(Trunc64(static_cast<double>(idleCavalry) * u * 1.5));
    out.campaignFoot = Clamp32(Trunc64(static_cast<double>(campaignFoot) * u * 1.0));
    out.campaignCavalry = Clamp32(Trunc64(static_cast<double>(campaignCavalry) * u * 3.0));
    out.garrison = Clamp32(Trunc64(static_cast<double>(garrison) * u * 0.1));
    out.idleGunsen = Clamp32(idleShips * 50);
    out.gunsenAtSea = Clamp32(shipsAtSea * 100);
    out.total = Clamp32(static_cast<std::int64_t>(out.idleCavalry) + out.idleFoot + out.campaignCavalry +
                        out.campaignFoot + out.garrison + out.idleGunsen + out.gunsenAtSea);
    return out.total;
}

// ---------------------------------------------------------------------------------------------
// Settlement

void CMonthlyIncome::SettleUnit(int daimyou, int gundan, int taxIndex, IncomeRecord& income,
                                UpkeepRecord& upkeep, bool& besiegedSeen) {
    income = IncomeRecord{};
    upkeep = UpkeepRecord{};
    besiegedSeen = false;
    if (!IsValidDaimyou(gs_, daimyou) || (gundan != -1 && !IsValidGundan(gundan))) return;
    const std::int32_t in = CalcIncome(daimyou, gundan, gs_.nCurYear, gs_.nCurMonth, taxIndex, false, income);
    const std::int32_t out = CalcUpkeep(daimyou, gundan, false, upkeep, besiegedSeen);

    CDaimyou& house = gs_.DaimyouTbl[static_cast<std::size_t>(daimyou)];
    std::int32_t& funds =
        gundan == -1 ? house.shikin : gs_.GundanTbl[static_cast<std::size_t>(gundan)].shikin;
    funds = Clamp32(std::min<std::int64_t>(static_cast<std::int64_t>(funds) + in - out, kMaxShikin));
    if (funds >= 0) return;

    // Deep in debt: some soldiers leave. The shortfall itself stays as borrowed money.
    const int u = HeiUnit(gs_);
    std::int64_t t = 0;
    const std::vector<int>& members = GetIndex().bushouOf[static_cast<std::size_t>(daimyou)];
    for (int g : members) {
        const CBushou& b = gs_.BushouTbl[static_cast<std::size_t>(g)];
        if (b.daimyou == daimyou && b.gundan == gundan)
            t += static_cast<std::int64_t>(b.foot) * u + static_cast<std::int64_t>(b.cavalry) * 3 * u;
    }
    const bool desert = t <= 0 || -static_cast<double>(funds) / static_cast<double>(t) >= 3.0;
    if (!desert) return;
    if (!quiet_ && daimyou == gs_.nPlayerDaimyou && gundan == -1)
        policy_.Inform(ports_, MessageKind::DesertionMessage,
                       FormatText("%sは資金がマイナスのため一部の兵に見放されました", house.name.c_str()));
    for (int g : members) {
        CBushou& b = gs_.BushouTbl[static_cast<std::size_t>(g)];
        if (b.gundan != gundan) continue;
        b.cavalry = static_cast<std::int16_t>(Round(b.cavalry * (gs_.rng.Unit() * 0.05 + 0.92)));
        b.foot = static_cast<std::int16_t>(Round(b.foot * (gs_.rng.Unit() * 0.05 + 0.92)));
    }
}

void CMonthlyIncome::Settle(int daimyou, int taxIndex) {
    if (!IsValidDaimyou(gs_, daimyou)) return;
    IncomeRecord income;
    UpkeepRecord upkeep;
    bool besieged = false;
    SettleUnit(daimyou, -1, taxIndex, income, upkeep, besieged);
    const std::int32_t fundsAfter = gs_.DaimyouTbl[static_cast<std::size_t>(daimyou)].shikin;

    std::vector<IncomeCorpsRow> corpsRows;
    for (int c : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs_, c);
        if (corps.leader == CGundan::kLeaderFree || corps.daimyou != daimyou) continue;
        IncomeRecord ci;
        UpkeepRecord cu;
        bool cb = false;
        SettleUnit(daimyou, c, taxIndex, ci, cu, cb);
        const int leader = corps.leader;
        const std::string leaderName = leader >= 0 && leader < BushouCount(gs_)
                                           ? gs_.BushouTbl[static_cast<std::size_t>(leader)].name
                                           : std::string();
        corpsRows.push_back({leaderName + " 軍団", ci.total, cu.total, corps.shikin});
    }

    if (quiet_ || daimyou != gs_.nPlayerDaimyou || !policy_.Shows(MessageKind::IncomeReport)) return;
    ports_.report->ShowIncomeReport(
        MakeIncomeReport(gs_, daimyou, income, upkeep, fundsAfter, besieged, std::move(corpsRows)));
}

HarvestView CMonthlyIncome::HarvestViewOf() const {
    HarvestView view;
    const int nKuni =
        map_ != nullptr
            ? std::min({std::max(gs_.nKuni, 0), static_cast<int>(qualities_.size()), map_->KuniCount()})
            : 0;
    for (int k = 0; k < nKuni; ++k) {
        view.qualities.push_back(qualities_[static_cast<std::size_t>(k)]);
        view.provinceNames.push_back(ToUtf8(map_->Kuni(k).name, gs_.Encoding()));
    }
    view.choices.assign(kTaxChoiceTbl.begin(), kTaxChoiceTbl.end());
    view.preset = kStandardTaxIndex;
    return view;
}

IncomeReportView MakeIncomeReport(const GameState& gs, int daimyou, const IncomeRecord& income,
                                  const UpkeepRecord& upkeep, std::int32_t fundsAfter, bool besieged,
                                  std::vector<IncomeCorpsRow> corps) {
    const ScenarioWordArray& words = gs.ScenarioWords;
    auto troops = [&](const char* label) {
        return ReplaceWordGunsen(
            ReplaceWordAshigaruhei(ReplaceWordKibahei(ReplaceWordShiro(label, words), words), words), words);
    };
    auto number = [](std::int32_t v) { return std::to_string(v); };
    IncomeReportView view;
    const std::string house =
        IsValidDaimyou(gs, daimyou) ? gs.DaimyouTbl[static_cast<std::size_t>(daimyou)].name : std::string();
    view.title = FormatText("%4d年 %2d月  %s 収支報告", gs.nCurYear, gs.nCurMonth, house.c_str());
    view.incomeRows = {
        {"収穫", gs.nCurMonth == kSeptember ? number(income.harvest) : std::string("0 (収穫は9月のみ)")},
        {"町収入", number(income.town)},
        {"鉱山収入", number(income.mine)},
        {"異民族間交易", number(income.trade)},
        {"交易船収入", number(income.tradeShip)},
        {"収入合計", number(income.total)},
    };
    view.upkeepRows = {
        {troops("待機中騎馬兵維持費(兵数×1.5)"), number(upkeep.idleCavalry)},
        {troops("出陣中騎馬兵維持費(兵数×3)"), number(upkeep.campaignCavalry)},
        {troops("待機中足軽兵維持費(兵数×0.5)"), number(upkeep.idleFoot)},
        {troops("出陣中足軽兵維持費(兵数×1)"), number(upkeep.campaignFoot)},
        {troops("待機中軍船維持費(軍船数×50)"), number(upkeep.idleGunsen)},
        {troops("出陣中軍船維持費(軍船数×100)"), number(upkeep.gunsenAtSea)},
        {troops("城守備兵維持費(兵数×0.1)"), number(upkeep.garrison)},
        {"支出合計", number(upkeep.total)},
    };
    // The funds before are worked back from the funds after, so a capped sum shows as capped.
    view.fundsBefore =
        static_cast<std::int64_t>(fundsAfter) - (static_cast<std::int64_t>(income.total) - upkeep.total);
    view.income = income.total;
    view.upkeep = upkeep.total;
    view.fundsAfter = fundsAfter;
    view.fundsLine = FormatText("資金残高　%d + %d - %d → %d", Clamp32(view.fundsBefore), income.total,
                                upkeep.total, fundsAfter);
    if (fundsAfter < 0) view.fundsLine += " （不足資金は家臣から借金しました）";
    if (besieged)
        view.besiegedNote = ReplaceWordHyourou(
            ReplaceWordShiro(
                "（注意：包囲された城内の兵の維持には城の備蓄兵糧が使用されるので支出には計上されません）",
                words),
            words);
    view.corps = std::move(corps);
    return view;
}

void CMonthlyIncome::ProjectBalance(int daimyou, int gundan, std::span<std::int32_t> out) {
    UpkeepRecord upkeep;
    bool besieged = false;
    const std::int64_t cost = CalcUpkeep(daimyou, gundan, true, upkeep, besieged);
    int year = gs_.nCurYear;
    int month = gs_.nCurMonth;
    IncomeRecord income;
    for (std::int32_t& value : out) {
        if (++month > 12) {
            month = 1;
            if (++year == 0) year = 1;
        }
        value = Clamp32(CalcIncome(daimyou, gundan, year, month, kStandardTaxIndex, true, income) - cost);
    }
}

// ---------------------------------------------------------------------------------------------
// The computer's tax rate and the month's economy

int TaxIndexFromRatio(std::int64_t numerator, std::int64_t half, std::int64_t funds) {
    static constexpr std::array<double, 8> kLimits = {1.7, 1.5, 1.3, 1.1, 0.9, 0.7, 0.5, 0.3};
    int index = static_cast<int>(kLimits.size());
    if (half == 0) {
        index = numerator > 0 ? 0 : 8;
    } else {
        const double ratio = static_cast<double>(numerator) / static_cast<double>(half);
        for (std::size_t i = 0; i < kLimits.size(); ++i) {
            if (ratio > kLimits[i]) {
                index = static_cast<int>(i);
                break;
            }
        }
    }
    if (funds < 0) {
        if (half == 0) return 0;
        const double debt = -static_cast<double>(funds) / static_cast<double>(half);
        if (debt >= 0.5)
            index = 0;
        else if (debt >= 0.3)
            index = std::min(index, 1);
        else if (debt >= 0.1)
            index = std::min(index, 2);
        else
            index = std::min(index, 3);
    }
    return index;
}

int CMonthlyIncome::CpuTaxIndex(int daimyou) const {
    if (!IsValidDaimyou(gs_, daimyou)) return kStandardTaxIndex;
    const CpuTaxFigures f = CalcCpuTaxFigures(daimyou);
    return TaxIndexFromRatio(f.deficit * 12 - f.funds + f.reserve, f.half, f.funds);
}

CMonthlyIncome::CpuTaxFigures CMonthlyIncome::CalcCpuTaxFigures(int daimyou) const {
    CpuTaxFigures f;
    if (!IsValidDaimyou(gs_, daimyou)) return f;
    // The house's monthly cost and income and the rice of its directly held castles, as
    // CalcMonthlyCostOfDaimyou, CalcMonthlyIncomeOfDaimyou and SumKokudakaOfGundan give them,
    // summed over the house's own lists instead of the whole tables.
    const Index& index = GetIndex();
    const std::size_t d = static_cast<std::size_t>(daimyou);
    const int u = HeiUnit(gs_);
    std::int64_t cost = 0;
    for (int g : index.bushouOf[d]) {
        const CBushou& b = gs_.BushouTbl[static_cast<std::size_t>(g)];
        if (b.daimyou != daimyou) continue;
        const double soldiers = 3.0 * b.cavalry * u + static_cast<double>(b.foot) * u;
        cost += static_cast<int>(soldiers * ((b.flags & CBushou::kFlagBesieging) ? 1.3 : 0.77));
    }
    std::int64_t keizai = 0, kouzan = 0, kokudaka = 0;
    for (int c : index.shiroOf[d]) {
        const CShiro& s = ShiroAt(gs_, c);
        cost += s.shubihei * u / 10;
        keizai += s.keizai;
        kouzan += s.kouzan;
        if (s.gundan == -1) kokudaka += s.kokudaka;
    }
    cost += index.gunsenCost[d];
    const std::int64_t monthly =
        keizai + static_cast<int>(static_cast<double>(kouzan) * gs_.DaimyouTbl[d].kouzanGijutsu / 1000.0);
    f.deficit = cost - monthly;
    f.funds = gs_.DaimyouTbl[d].shikin;
    f.half = CalcHarvest(daimyou, -1, false) / 2;
    f.reserve = kokudaka / 20 + 2000;
    return f;
}

int CalcCpuTaxIndex(GameState& gs, const CMonthlyIncome& income, int daimyou) {
    (void)gs;
    return income.CpuTaxIndex(daimyou);
}

void GrowKokudaka(GameState& gs, const CMonthlyIncome& income) {
    const int nShiro = ShiroCount(gs);
    const auto& qualities = income.Qualities();
    for (int c = 0; c < nShiro; ++c) {
        CShiro& s = ShiroAt(gs, c);
        const ShiroMapRecord& geo = ShiroMapAt(gs, c);
        double growth = (gs.rng.Next() / 32767.0 * 0.004 + 0.018) * geo.maxKokudaka;
        const int q = geo.kuni < qualities.size() ? qualities[geo.kuni] : 0;
        if (q == kHarvestGood)
            growth *= 1.2;
        else if (q == kHarvestBad)
            growth *= 0.9;
        const std::int64_t grown = static_cast<std::int64_t>(s.kokudaka) + Trunc64(growth);
        s.kokudaka = static_cast<std::uint32_t>(std::clamp<std::int64_t>(grown, 0, geo.maxKokudaka));
    }
}

void GrowKouzanGijutsu(GameState& gs) {
    std::vector<std::int64_t> mines(GameState::kMaxDaimyou, 0);
    const int nShiro = ShiroCount(gs);
    for (int c = 0; c < nShiro; ++c) {
        const CShiro& s = ShiroAt(gs, c);
        if (IsValidDaimyou(gs, s.daimyou)) mines[static_cast<std::size_t>(s.daimyou)] += s.kouzan;
    }
    const int nDaimyou = DaimyouCount(gs);
    for (int d = 0; d < nDaimyou; ++d) {
        if (!HouseExists(gs, d)) continue;
        const std::int64_t sum = mines[static_cast<std::size_t>(d)];
        double x = sum > 0 ? std::pow(static_cast<double>(sum) / 50.0, 0.3) : 0.0;
        if (x >= 10.0) x = 10.0;
        CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(d)];
        h.kouzanGijutsu =
            static_cast<std::int16_t>(std::min(h.kouzanGijutsu + static_cast<int>(x), kMaxKouzanGijutsu));
    }
}

void RunMonthlyEconomy(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                       const SuppressionPolicy& policy) {
    CMonthlyIncome income(gs, map, ports, policy);
    const int playerIndex = income.RunHarvest();
    const bool september = gs.nCurMonth == kSeptember;
    const int nDaimyou = DaimyouCount(gs);
    for (int d = 0; d < nDaimyou; ++d) {
        if (!HouseExists(gs, d)) continue;
        int index = kStandardTaxIndex;
        if (september) index = d == gs.nPlayerDaimyou ? playerIndex : CalcCpuTaxIndex(gs, income, d);
        income.Settle(d, index);
    }
    if (september) {
        const int nShiro = ShiroCount(gs);
        for (int c = 0; c < nShiro; ++c)
            ShiroAt(gs, c).harvestRate = 10000;
        GrowKokudaka(gs, income);
    }
    GrowKouzanGijutsu(gs);
}

}  // namespace rymd
