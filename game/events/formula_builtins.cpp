// The "#" queries of formulas. Houses, castles and generals they return are numbers (index + 1),
// 0 meaning none; soldier counts are in soldiers (units x the soldier unit). A house survives
// while its head field is not -1 and is independent while its bond is 0.
#include "game/events/formula_builtins.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include "game/events/formula.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"

namespace rymd {

namespace {

using In = const BuiltinInput&;

int Number(int index) {
    return index >= 0 ? index + 1 : 0;
}

bool IsIndependent(const GameState& gs, int d) {
    return DaimyouAt(gs, d).bond == CDaimyou::kBondDokuritsu;
}

int CountSurviving(const GameState& gs, bool independentOnly) {
    int n = 0;
    for (int d : DaimyouIndexes(gs))
        if (HouseExists(gs, d) && (!independentOnly || IsIndependent(gs, d))) ++n;
    return n;
}

// A surviving house (independent only when asked) drawn at random: its number, 0 when none
// qualifies (nothing is drawn then).
int RandomHouse(GameState& gs, bool independentOnly) {
    const int n = CountSurviving(gs, independentOnly);
    if (n == 0) return 0;
    int pick = gs.rng.Below(n);
    for (int d : DaimyouIndexes(gs))
        if (HouseExists(gs, d) && (!independentOnly || IsIndependent(gs, d)) && pick-- == 0) return d + 1;
    return 0;
}

struct RankedHouse {
    std::int64_t kokudaka;
    int daimyou;
};

// The surviving houses (independent ones only when asked) by rice yield, largest first; equal
// yields keep the order of the houses. Each castle counts for its owner and, when the owner is
// a vassal and vassals are added, for the owner's master as well.
const std::vector<RankedHouse>& RankByKokudaka(const GameState& gs, bool independentOnly, bool addVassals) {
    thread_local std::vector<std::int64_t> totals;
    thread_local std::vector<RankedHouse> ranked;
    totals.assign(static_cast<std::size_t>(DaimyouCount(gs)), 0);
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        if (!IsValidDaimyou(gs, s.daimyou)) continue;
        totals[static_cast<std::size_t>(s.daimyou)] += s.kokudaka;
        const CDaimyou& owner = DaimyouAt(gs, s.daimyou);
        if (addVassals && owner.bond == CDaimyou::kBondShinjuu && IsValidDaimyou(gs, owner.masterDaimyou))
            totals[static_cast<std::size_t>(owner.masterDaimyou)] += s.kokudaka;
    }
    ranked.clear();
    for (int d : DaimyouIndexes(gs))
        if (HouseExists(gs, d) && (!independentOnly || IsIndependent(gs, d)))
            ranked.push_back({totals[static_cast<std::size_t>(d)], d});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const RankedHouse& a, const RankedHouse& b) { return a.kokudaka > b.kokudaka; });
    return ranked;
}

// The house at rank n (1-based) of the ranking; a rank outside the list is malformed.
int RankedHouseAt(GameState& gs, double n, bool independentOnly, bool addVassals, double& v) {
    const std::vector<RankedHouse>& ranked = RankByKokudaka(gs, independentOnly, addVassals);
    const double i = std::trunc(n - 1.0);
    if (i < 0.0 || i >= static_cast<double>(ranked.size())) return kFormulaMalformed;
    v = ranked[static_cast<std::size_t>(i)].daimyou + 1;
    return kFormulaOk;
}

// A house drawn among the first n of the ranking (n above the list is lowered to it); n below
// 1 is malformed. 0 when no house is ranked (nothing is drawn then).
int RandomTopHouse(GameState& gs, double n, bool independentOnly, double& v) {
    const double top = std::trunc(n);
    if (top < 1.0) return kFormulaMalformed;
    const std::vector<RankedHouse>& ranked = RankByKokudaka(gs, independentOnly, true);
    const int count = static_cast<int>(std::min(top, static_cast<double>(ranked.size())));
    v = count > 0 ? ranked[static_cast<std::size_t>(gs.rng.Below(count))].daimyou + 1 : 0;
    return kFormulaOk;
}

// Troops of a house's generals (own, or counted with its vassals'), in soldiers.
enum class Troop { kFoot, kCavalry, kMuskets };
double HouseTroops(const GameState& gs, int d, bool withShinjuu, Troop kind) {
    int foot = 0;
    int cavalry = 0;
    int muskets = 0;
    if (withShinjuu)
        SumHeiOfDaimyouWithShinjuu(gs, d, foot, cavalry, muskets);
    else
        SumHeiOfDaimyou(gs, d, foot, cavalry, muskets);
    const int units = kind == Troop::kFoot ? foot : kind == Troop::kCavalry ? cavalry : muskets;
    return static_cast<double>(units) * HeiUnit(gs);
}

double GeneralTroops(const GameState& gs, int g, Troop kind) {
    if (!IsValidBushou(gs, g)) return 0.0;
    const CBushou& b = BushouAt(gs, g);
    const int units = kind == Troop::kFoot ? b.foot : kind == Troop::kCavalry ? b.cavalry : b.muskets;
    return static_cast<double>(units) * HeiUnit(gs);
}

int CountBondedTo(const GameState& gs, int master, std::uint8_t bond) {
    int n = 0;
    for (int d : DaimyouIndexes(gs))
        if (DaimyouAt(gs, d).bond == bond && DaimyouAt(gs, d).masterDaimyou == master) ++n;
    return n;
}

// Generals with a house at the castle: stationed there, or besieging it.
int CountAtCastle(const GameState& gs, int c, bool besieging) {
    int n = 0;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou >= 0 && b.shiro == c && ((b.flags & CBushou::kFlagBesieging) != 0) == besieging) ++n;
    }
    return n;
}

// The house of the first general in table order besieging the castle, its master when that
// house is a vassal; 0 when nobody besieges it.
int BesiegingHouse(const GameState& gs, int c) {
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || b.shiro != c || (b.flags & CBushou::kFlagBesieging) == 0) continue;
        int d = b.daimyou;
        if (IsValidDaimyou(gs, d) && DaimyouAt(gs, d).bond == CDaimyou::kBondShinjuu)
            d = DaimyouAt(gs, d).masterDaimyou;
        return Number(d);
    }
    return 0;
}

int CountGeneralsOf(const GameState& gs, int d, bool withVassals) {
    const bool vassal = DaimyouAt(gs, d).bond == CDaimyou::kBondShinjuu;
    int n = 0;
    for (int g : BushouIndexes(gs)) {
        const int h = BushouAt(gs, g).daimyou;
        if (h == d) {
            ++n;
        } else if (withVassals && !vassal && IsValidDaimyou(gs, h)) {
            const CDaimyou& house = DaimyouAt(gs, h);
            if (house.bond == CDaimyou::kBondShinjuu && house.masterDaimyou == d) ++n;
        }
    }
    return n;
}

// The holding house of a captive (status 1) or a hostage (status 2) held away from his house.
int HoldingHouse(const GameState& gs, int g, int status) {
    if (!IsValidBushou(gs, g)) return 0;
    const CBushou& b = BushouAt(gs, g);
    return b.daimyou == CBushou::kDaimyouHitojichi && b.status == status ? Number(b.holderDaimyou) : 0;
}

int HeadOf(const GameState& gs, int d) {
    return DaimyouAt(gs, d).toushu;
}

const Builtin kBuiltins[] = {
    // --- no argument ---------------------------------------------------------------------------
    {.name = "#Random",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return gs.rng.Unit(); }},
    {.name = "#Year",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(gs.nCurYear); }},
    {.name = "#Month",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(gs.nCurMonth); }},
    {.name = "#Edition", .argument = BuiltinArgument::kNone, .plain = [](GameState&, In) { return 0.0; }},
    {.name = "#生存大名数",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(CountSurviving(gs, false)); }},
    {.name = "#生存独立大名数",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(CountSurviving(gs, true)); }},
    {.name = "#ランダム大名",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(RandomHouse(gs, false)); }},
    {.name = "#ランダム独立大名",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(RandomHouse(gs, true)); }},
    {.name = "#プレイヤー大名",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return double(gs.nPlayerDaimyou + 1); }},
    {.name = "#統一成立",
     .argument = BuiltinArgument::kNone,
     .plain = [](GameState& gs, In) { return gs.bGameOver ? 1.0 : 0.0; }},

    // --- a number ------------------------------------------------------------------------------
    {.name = "#石高順大名",
     .argument = BuiltinArgument::kNumber,
     .checked = [](GameState& gs, In in, double& v) { return RankedHouseAt(gs, in.number, false, true, v); }},
    {.name = "#石高順独立大名",
     .argument = BuiltinArgument::kNumber,
     .checked = [](GameState& gs, In in, double& v) { return RankedHouseAt(gs, in.number, true, true, v); }},
    {.name = "#直轄石高順大名",
     .argument = BuiltinArgument::kNumber,
     .checked = [](GameState& gs, In in,
                   double& v) { return RankedHouseAt(gs, in.number, false, false, v); }},
    {.name = "#ランダム上位大名",
     .argument = BuiltinArgument::kNumber,
     .checked = [](GameState& gs, In in, double& v) { return RandomTopHouse(gs, in.number, false, v); }},
    {.name = "#ランダム上位独立大名",
     .argument = BuiltinArgument::kNumber,
     .checked = [](GameState& gs, In in, double& v) { return RandomTopHouse(gs, in.number, true, v); }},
    {.name = "#Round",
     .argument = BuiltinArgument::kNumber,
     .plain = [](GameState&, In in) { return double(RoundWide(in.number)); }},
    {.name = "#Floor",
     .argument = BuiltinArgument::kNumber,
     .plain = [](GameState&, In in) { return std::floor(in.number); }},
    {.name = "#Ceil",
     .argument = BuiltinArgument::kNumber,
     .plain = [](GameState&, In in) { return std::ceil(in.number); }},

    // --- a castle ------------------------------------------------------------------------------
    {.name = "#城武将数",
     .argument = BuiltinArgument::kCastle,
     .ofIndex = [](const GameState& gs, int c) { return double(CountAtCastle(gs, c, false)); }},
    {.name = "#城包囲武将数",
     .argument = BuiltinArgument::kCastle,
     .ofIndex = [](const GameState& gs, int c) { return double(CountAtCastle(gs, c, true)); }},
    {.name = "#城番号",
     .argument = BuiltinArgument::kCastle,
     .ofIndex = [](const GameState&, int c) { return double(c + 1); }},
    {.name = "#城支配大名",
     .argument = BuiltinArgument::kCastle,
     .ofIndex = [](const GameState& gs, int c) { return double(Number(ShiroAt(gs, c).daimyou)); }},
    {.name = "#城包囲大名",
     .argument = BuiltinArgument::kCastle,
     .ofIndex = [](const GameState& gs, int c) { return double(BesiegingHouse(gs, c)); }},

    // --- a house -------------------------------------------------------------------------------
    {.name = "#大名番号",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState&, int d) { return double(d + 1); }},
    {.name = "#主家大名",
     .argument = BuiltinArgument::kHouse,
     .ofIndex =
         [](const GameState& gs, int d) {
             const CDaimyou& h = DaimyouAt(gs, d);
             return double(h.bond != CDaimyou::kBondDokuritsu ? h.masterDaimyou + 1 : d + 1);
         }},
    {.name = "#城数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(CountShiroOfDaimyouWithShinjuu(gs, d)); }},
    {.name = "#直轄城数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(CountShiroOfDaimyou(gs, d)); }},
    {.name = "#石高",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(SumKokudakaOfDaimyouWithShinjuu(gs, d)); }},
    {.name = "#直轄石高",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(SumKokudakaOfDaimyou(gs, d)); }},
    {.name = "#経済",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(SumKeizaiOfDaimyouWithShinjuu(gs, d)); }},
    {.name = "#直轄経済",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(SumKeizaiOfDaimyou(gs, d)); }},
    {.name = "#足軽兵数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return HouseTroops(gs, d, true, Troop::kFoot); }},
    {.name = "#直轄足軽兵数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return HouseTroops(gs, d, false, Troop::kFoot); }},
    {.name = "#騎馬兵数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return HouseTroops(gs, d, true, Troop::kCavalry); }},
    {.name = "#直轄騎馬兵数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return HouseTroops(gs, d, false, Troop::kCavalry); }},
    {.name = "#鉄砲数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return HouseTroops(gs, d, true, Troop::kMuskets); }},
    {.name = "#直轄鉄砲数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return HouseTroops(gs, d, false, Troop::kMuskets); }},
    {.name = "#従属大名数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs,
                   int d) { return double(CountBondedTo(gs, d, CDaimyou::kBondJuuzoku)); }},
    {.name = "#臣従大名数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs,
                   int d) { return double(CountBondedTo(gs, d, CDaimyou::kBondShinjuu)); }},
    {.name = "#資金",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(DaimyouAt(gs, d).shikin); }},
    {.name = "#航海技術",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(DaimyouAt(gs, d).koukaiGijutsu); }},
    {.name = "#鉱山技術",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return DaimyouAt(gs, d).kouzanGijutsu / 10.0; }},
    {.name = "#当主",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(Number(HeadOf(gs, d))); }},
    {.name = "#当主城",
     .argument = BuiltinArgument::kHouse,
     .ofIndex =
         [](const GameState& gs, int d) {
             const int head = HeadOf(gs, d);
             return IsValidBushou(gs, head) ? double(Number(BushouAt(gs, head).shiro)) : 0.0;
         }},
    {.name = "#大名家直属武将数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(CountGeneralsOf(gs, d, false)); }},
    {.name = "#大名家武将数",
     .argument = BuiltinArgument::kHouse,
     .ofIndex = [](const GameState& gs, int d) { return double(CountGeneralsOf(gs, d, true)); }},

    // --- a general -----------------------------------------------------------------------------
    {.name = "#武将番号",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState&, int g) { return double(g + 1); }},
    {.name = "#城",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs, int g) { return double(Number(BushouAt(gs, g).shiro)); }},
    {.name = "#包囲中",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs,
                   int g) { return (BushouAt(gs, g).flags & CBushou::kFlagBesieging) != 0 ? 1.0 : 0.0; }},
    {.name = "#所属大名",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex =
         [](const GameState& gs, int g) {
             const CBushou& b = BushouAt(gs, g);
             return double(Number(b.status == CBushou::kStatusHoryo ? b.originDaimyou : b.daimyou));
         }},
    {.name = "#捕虜大名",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs,
                   int g) { return double(HoldingHouse(gs, g, CBushou::kStatusHoryo)); }},
    {.name = "#人質大名",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs,
                   int g) { return double(HoldingHouse(gs, g, CBushou::kStatusHitojichi)); }},
    {.name = "#武将足軽兵数",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs, int g) { return GeneralTroops(gs, g, Troop::kFoot); }},
    {.name = "#武将騎馬兵数",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs, int g) { return GeneralTroops(gs, g, Troop::kCavalry); }},
    {.name = "#武将鉄砲数",
     .argument = BuiltinArgument::kGeneral,
     .ofIndex = [](const GameState& gs, int g) { return GeneralTroops(gs, g, Troop::kMuskets); }},
};

}  // namespace

const Builtin* FindBuiltin(std::string_view name) {
    for (const Builtin& b : kBuiltins)
        if (b.name == name) return &b;
    return nullptr;
}

std::size_t BuiltinCount() {
    return std::size(kBuiltins);
}

}  // namespace rymd
