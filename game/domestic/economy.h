// Harvest, tax and the monthly settlement.
//
// Every month each house and each of its corps receives its income and pays its upkeep. A unit
// is either a house's directly held part (corps -1, whose funds are the house's funds) or one
// corps of the house (whose funds are the corps's funds). In September (month 9) the rice harvest
// comes in, with a harvest quality per province and a tax rate: the player chooses it, the
// computer houses derive it from their finances (CalcCpuTaxIndex). The tax rate also moves the
// populace support of the castles toward the rate's target.
//
// CMonthlyIncome is the calculator. The month start makes one for its settlement
// (RunMonthlyEconomy does the whole economy step) and the domestic planner makes one to project a
// unit's balance. The object reads which castles and generals belong to which house once, at its
// first need, and keeps that for its life: it lives for one settlement or one projection, during
// which no castle changes hands and no general changes house, corps or status (Refresh forgets
// what it read).
//
// Money is in money units, troops in soldier units (nHeiUnit soldiers each).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// The tax-rate table, indexed by the tax-rate index 0..8 (index 4 is the standard rate).
inline constexpr int kTaxIndexCount = 9;
inline constexpr int kStandardTaxIndex = 4;
inline constexpr std::array<double, kTaxIndexCount> kTaxRateTbl = {70, 65, 60, 55, 50, 45, 40, 35, 30};
// The populace support each rate drives toward, in percent.
inline constexpr std::array<int, kTaxIndexCount> kSupportTargetTbl = {1, 14, 26, 38, 50, 62, 74, 86, 99};
// The choices of the harvest question, by tax-rate index.
inline constexpr std::array<const char*, kTaxIndexCount> kTaxChoiceTbl = {
    "70%", "65%", "60%", "55%", "50% (標準)", "45%", "40%", "35%", "30%"};

// Funds of a unit never rise above this.
inline constexpr std::int32_t kMaxShikin = 1000000000;

// Harvest quality of a province.
enum HarvestQuality : std::int8_t {
    kHarvestBad = -1,    // 不作
    kHarvestNormal = 0,  // 通常
    kHarvestGood = 1,    // 豊作
};

// Income of a unit for one month. total is the sum of the five others.
struct IncomeRecord {
    std::int32_t total = 0;
    std::int32_t harvest = 0;    // rice harvest (September only)
    std::int32_t town = 0;       // town income
    std::int32_t mine = 0;       // mine income
    std::int32_t trade = 0;      // trade between peoples
    std::int32_t tradeShip = 0;  // trade ships home this month
};

// Upkeep of a unit for one month. total is the sum of the seven others.
struct UpkeepRecord {
    std::int32_t total = 0;
    std::int32_t idleCavalry = 0;
    std::int32_t idleFoot = 0;
    std::int32_t campaignCavalry = 0;
    std::int32_t campaignFoot = 0;
    std::int32_t garrison = 0;
    std::int32_t idleGunsen = 0;
    std::int32_t gunsenAtSea = 0;
};

class CMonthlyIncome {
public:
    // A calculator for the month start: the map gives the regions and names of the provinces,
    // the ports and the policy decide what the player is asked and shown.
    CMonthlyIncome(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                   const SuppressionPolicy& policy);
    // A calculator for projections (nothing is asked or shown; no map: every province normal).
    explicit CMonthlyIncome(GameState& gs);
    virtual ~CMonthlyIncome();
    CMonthlyIncome(const CMonthlyIncome&) = delete;
    CMonthlyIncome& operator=(const CMonthlyIncome&) = delete;

    // Outside September: 4. In September: draws the harvest quality of every province, asks the
    // player for the tax rate (the harvest question; 4 when it is not shown) and returns the
    // chosen tax-rate index.
    int RunHarvest();

    // Rice harvest of the unit's castles: rice yield x 1.3 in a good province, x 0.9 in a bad one,
    // x 1.0 otherwise or when the qualities are ignored; the sum truncated.
    std::int64_t CalcHarvest(int daimyou, int gundan, bool ignoreQualities) const;

    // Trade-ship income of the unit for the voyages that end in the given month (0 months from
    // now: those at sea with 0 months left). Unless projecting, each voyage pays a random
    // 80-120 %, trains the house's navigation, pleases the partner and ends; the player's house
    // gets the trade-ship report.
    std::int32_t CalcKouekisenIncome(int daimyou, int gundan, int year, int month, bool projection);

    // Upkeep of the unit. Troops and garrisons of besieged castles cost nothing unless
    // countBesieged; besiegedSeen tells whether any were met.
    std::int32_t CalcUpkeep(int daimyou, int gundan, bool countBesieged, UpkeepRecord& out,
                            bool& besiegedSeen);

    // Income of the unit for the given month: harvest (September), town, mines, trade between
    // peoples (directly held part only) and trade ships. Unless projecting, September moves the
    // populace support of the unit's castles toward the tax rate's target.
    std::int32_t CalcIncome(int daimyou, int gundan, int year, int month, int taxIndex, bool projection,
                            IncomeRecord& out);

    // Whether some castle of house b lies in a province where house a owns a castle.
    bool SharesKuni(int a, int b) const;

    // One unit's month: income less upkeep into its funds (at most kMaxShikin); soldiers desert
    // when the debt reaches three months of their pay.
    void SettleUnit(int daimyou, int gundan, int taxIndex, IncomeRecord& income, UpkeepRecord& upkeep,
                    bool& besiegedSeen);

    // The house's month: its directly held part, then each of its corps in slot order, all with
    // the same tax-rate index. The player's house gets the income report.
    void Settle(int daimyou, int taxIndex);

    // Balance of the unit for each of the next months (out.size() of them): the income at the
    // standard rate, without harvest qualities, less today's upkeep with besieged troops counted.
    void ProjectBalance(int daimyou, int gundan, std::span<std::int32_t> out);

    // The figures the computer's September tax rate is drawn from: the monthly deficit (cost less
    // income of the whole house), the funds, half the harvest of the directly held castles (with
    // the harvest qualities) and the reserve (a twentieth of their rice yield + 2000).
    struct CpuTaxFigures {
        std::int64_t deficit = 0;
        std::int64_t funds = 0;
        std::int64_t half = 0;
        std::int64_t reserve = 0;
    };
    CpuTaxFigures CalcCpuTaxFigures(int daimyou) const;
    // The computer's September tax-rate index for the house (see CalcCpuTaxIndex).
    int CpuTaxIndex(int daimyou) const;

    // Harvest quality of each province (kHarvestBad/Normal/Good), set by RunHarvest.
    const std::array<std::int8_t, 250>& Qualities() const { return qualities_; }
    void SetQuality(int kuni, int quality);

    // The harvest dialog's view of the qualities: every province of the map with its name, the
    // tax-rate choices, the standard rate preset.
    HarvestView HarvestViewOf() const;

    // Forget which castles and generals belong to which house (read again at the next need).
    void Refresh();

private:
    struct Index;
    const Index& GetIndex() const;
    // Whether a castle of house a is linked to a castle of house b.
    bool HousesAdjacent(int a, int b) const;
    std::int32_t CalcTrade(int daimyou);

    GameState& gs_;
    const MbKorMap::CCtrlKorMap* map_ = nullptr;
    Ports ports_;
    SuppressionPolicy policy_;
    bool quiet_ = false;  // a projection calculator: nothing is asked or shown
    std::array<std::int8_t, 250> qualities_{};
    mutable std::unique_ptr<Index> index_;
};

// The income report of a house's month from its directly held part's records, its funds after
// the settlement, whether troops in besieged castles went unpaid and its corps' rows. Labels that
// name troops, castles and provisions are in the scenario's vocabulary.
IncomeReportView MakeIncomeReport(const GameState& gs, int daimyou, const IncomeRecord& income,
                                  const UpkeepRecord& upkeep, std::int32_t fundsAfter, bool besieged,
                                  std::vector<IncomeCorpsRow> corps);

// The computer's September tax-rate index from its finances (the harvest qualities of income
// count): ratio = (monthly deficit x 12 - funds + reserve) / half the harvest of the directly
// held castles, with the debt limits. See TaxIndexFromRatio.
int CalcCpuTaxIndex(GameState& gs, const CMonthlyIncome& income, int daimyou);

// The rule behind CalcCpuTaxIndex, over its numbers: numerator = deficit x 12 - funds + reserve,
// half = half the harvest (integer), funds = the house's funds.
int TaxIndexFromRatio(std::int64_t numerator, std::int64_t half, std::int64_t funds);

// September rice growth of every castle: (r x 0.004 + 0.018) of its maximum rice yield, x 1.2 in
// a good province, x 0.9 in a bad one, never above the maximum.
void GrowKokudaka(GameState& gs, const CMonthlyIncome& income);

// Monthly mining technology of every house: (mine levels / 50) ^ 0.3, at most 10 a month, at
// most 5000 in all.
void GrowKouzanGijutsu(GameState& gs);

// The economy of the month start: the harvest (September), each existing house's settlement
// with its tax rate, and in September the harvest-rate factors back to 10000 and the rice growth;
// then the growth of mining technology.
void RunMonthlyEconomy(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                       const SuppressionPolicy& policy);

}  // namespace rymd
