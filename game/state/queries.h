// Queries and formulas over the game tables that many rules share: rounding, sums of castle
// and troop values per house or per (house, corps), monthly cost and income, funds
// projection, affordable troops, the computer's warship plan, the front-line test, musket
// production, purchase and equipment ratio, guest-general appointment, troop selection under
// a limit, a repeatable number sequence and small text utilities.
//
// The functions of a house and corps take the phase's house index (house_index.h) when the caller
// has one: they then walk the house's lists instead of the whole tables, with the same result.
//
// A corps argument of -1 means the house's direct command: the castles and generals whose
// corps is -1. The direct command also carries all of the house's warships and uses the
// house's funds. Functions of a house alone cover all its castles and generals whatever their
// corps.
//
// Counted house (the functions ending in WithShinjuu): a castle or general counts for its
// house, or for the master when its house is a vassal. A WithShinjuu sum for a house that is
// itself a vassal counts only its own castles or generals. Generals are matched on their
// house field; a general without a house never counts for any house.
//
// Troops are in soldier units, money in money units; nHeiUnit converts units to soldiers.
// Nothing here changes the tables unless its comment says so.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rymd {

struct GameState;
class HouseIndex;

// --- castle limits ------------------------------------------------------------------------
// Limits of a castle by its size: provisions size x nShiroHyourouMax; garrison, in soldier
// units, (nShiroHyourouMax / 10) x size / nHeiUnit. Never below 0.
std::int64_t ShiroHyourouLimit(const GameState& gs, int kibo);
std::int64_t ShiroShubiheiLimit(const GameState& gs, int kibo);

// --- rounding -------------------------------------------------------------------------------
// Truncates toward zero, then one further away from zero when the value was not whole.
int RoundUp(double value);
// Half away from zero. Values within the int range are rounded inline (the siege simulations
// round every unit's troops after every assault); the rest go to RoundWide. RoundWide itself is
// exact for every double (Round's quick path gives 1 for 0.49999999999999994), cuts to the int
// range and gives 0 for NaN.
int RoundWide(double value);
inline int Round(double value) {
    if (value >= 0.0 && value < 2147483646.0) return static_cast<int>(value + 0.5);
    if (value < 0.0 && value > -2147483646.0) return -static_cast<int>(-value + 0.5);
    return RoundWide(value);
}
// The angle plus a full turn as often as needed to make it non-negative.
double NormalizeAngle(double radians);

// --- sums -----------------------------------------------------------------------------------
std::int64_t SumKokudakaOfGundan(const GameState& gs, int daimyou, int gundan,
                                 const HouseIndex* index = nullptr);
std::int64_t SumKokudakaOfDaimyou(const GameState& gs, int daimyou);
std::int64_t SumKokudakaOfDaimyouWithShinjuu(const GameState& gs, int daimyou);
int SumKeizaiOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
int SumKeizaiOfDaimyou(const GameState& gs, int daimyou);
int SumKeizaiOfDaimyouWithShinjuu(const GameState& gs, int daimyou);
int SumKouzanOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
int SumKouzanOfDaimyou(const GameState& gs, int daimyou);
int CountShiroOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
int CountShiroOfDaimyou(const GameState& gs, int daimyou);
int CountShiroOfDaimyouWithShinjuu(const GameState& gs, int daimyou);
// Cavalry + foot of the generals of the house and corps.
int SumHeiOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
// The three troop kinds of the house's generals.
void SumHeiOfDaimyou(const GameState& gs, int daimyou, int& foot, int& cavalry, int& muskets);
void SumHeiOfDaimyouWithShinjuu(const GameState& gs, int daimyou, int& foot, int& cavalry, int& muskets);
// 3 x cavalry + foot.
int CalcStrengthOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
int CalcStrengthOfDaimyou(const GameState& gs, int daimyou);
int CalcStrengthOfDaimyouWithShinjuu(const GameState& gs, int daimyou);
// Cavalry + foot of the generals stationed in the castle whose pending move goes to the target.
int SumHeiOfShiroBushouByTarget(const GameState& gs, int shiro, int target);

// --- economy --------------------------------------------------------------------------------
// Town economy + trunc(mine levels x mining technology / 1000).
int CalcMonthlyIncomeOfGundan(const GameState& gs, int daimyou, int gundan,
                              const HouseIndex* index = nullptr);
int CalcMonthlyIncomeOfDaimyou(const GameState& gs, int daimyou);
// Upkeep of generals (besiegers cost 1.3, others 0.77 of 3 x cavalry + foot soldiers), of
// garrisons (a tenth of their soldiers) and, for the direct command, of warships (50 a ship,
// 100 a blockading ship).
int CalcMonthlyCostOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
int CalcMonthlyCostOfDaimyou(const GameState& gs, int daimyou);
// Funds at the harvest (month 9): the funds less the months of deficit until then; a surplus
// is not added. Wide, as funds at the bottom of their range may still fall.
std::int64_t EstimateShikinAtHarvest(const GameState& gs, int daimyou, int gundan, double factor,
                                     const HouseIndex* index = nullptr);
// Soldier units that the income of the house or corps keeps.
int CalcMaxHeiByIncome(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);
// Soldier units that the house or corps can afford, by income or by funds.
int CalcMaxHeiOfGundan(const GameState& gs, int daimyou, int gundan, const HouseIndex* index = nullptr);

// --- the computer's warship plan ------------------------------------------------------------
// Warships a computer house should lay down, per castle in out (nShiro entries, cleared
// first); the result is their sum. A vassal house plans none.
int PlanGunsenKenzou(const GameState& gs, int daimyou, std::span<std::int16_t> out,
                     const HouseIndex* index = nullptr);

// --- front line and provinces ---------------------------------------------------------------
// Whether a castle linked to this one belongs to another house that this castle's owner holds
// as arch-enemy or as no relation.
bool IsShiroOnFront(const GameState& gs, int shiro);
// A random castle of the province (house -1: any; else only castles counted for the house's
// counted house); -1 when there is none. Draws once when there is a castle.
int PickRandomShiroInKuni(GameState& gs, int kuni, int daimyou);
// Whether a castle of house a is linked to a castle of house b (raw owners).
bool IsDaimyouRinsetsu(const GameState& gs, int a, int b);
// Castles whose geography lies in the province.
int CountShiroInKuni(const GameState& gs, int kuni);

// --- muskets --------------------------------------------------------------------------------
// Muskets the house makes a month, in soldier units. When given, kuniFlags (nKuni entries) is
// cleared and marked 1 for each province that contributes.
int CalcTeppouSeisanOfDaimyou(const GameState& gs, int daimyou, std::span<std::uint8_t> kuniFlags = {});
// Per purchase place (nTeppouKounyuu entries): muskets the house may order there (in soldier
// units; -1 when an order is already running; 0 when none) and the months of delivery (-1
// when the place delivers to none of the house's provinces).
void CalcTeppouKounyuuOfDaimyou(const GameState& gs, int daimyou, std::span<int> amount,
                                std::span<int> months);
// Muskets (generals', stock and on order) per foot soldier of the house; 1.0 without foot.
double CalcTeppouSoubiRitsu(const GameState& gs, int daimyou, int& muskets, int& foot,
                            const HouseIndex* index = nullptr);

// Items are general indexes, or kShiroGarrisonItem + castle for a castle's garrison (at most
// kMaxTroopItems). Takes the items, largest first, while the soldiers taken stay within
// limit thousand; returns the troops taken (units) and the items taken, largest first.
inline constexpr int kShiroGarrisonItem = 0x8000;
inline constexpr int kMaxTroopItems = 31;
int SelectTroopsWithinLimit(const GameState& gs, int limit, std::span<const int> items, int& pickedCount,
                            std::span<int> picked);
// A repeatable sequence of numbers, 0..510, kept in the game state (nFixedSequenceIndex and
// nFixedSequenceSum); reset starts it again from its beginning. Draws nothing from gs.rng.
int NextFixedSequenceValue(GameState& gs, bool reset);

// --- castle visibility ----------------------------------------------------------------------
// An exclusion list entry: the castle index in bits 0-27, its visibility mode in bits 28-31.
inline constexpr std::uint32_t kExclusionShiroMask = 0x0FFFFFFF;
inline constexpr int kExclusionModeShift = 28;
inline constexpr int kExclusionModeHidden = 3;  // the castle is hidden and out of play
// The castle exclusion bits from the exclusion list: castles whose mode is 3 (hidden).
void RebuildShiroDisabledBits(GameState& gs);

// --- utilities ------------------------------------------------------------------------------
// Drive and folder of a path, with the trailing separator.
std::string GetFolderOfPath(std::string_view path);
// "%d" of a whole number within the 32-bit range, else "%.5f".
std::string NumberToText(double value);

}  // namespace rymd
