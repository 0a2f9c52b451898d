// The happenings of the conditional events: resolution of their operands, and the happenings
// on names, houses, relations, generals and castle ownership. Castle and troop values are in
// event_actions_castle.cpp, the script, presentation and map happenings in
// event_actions_script.cpp.
#include "game/events/event_actions.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

#include "game/diplomacy/bonds.h"
#include "game/events/event_dialogs.h"
#include "game/events/formula.h"
#include "game/military/appearance.h"
#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/succession.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd {
namespace happening {

namespace {

// A relation byte's sides.
int RelationOf(const GameState& gs, int from, int to) {
    return DaimyouAt(gs, from).GetRelationLo(to);
}
void SetStateBoth(GameState& gs, int a, int b, int state) {
    DaimyouAt(gs, a).SetRelationLo(b, state);
    DaimyouAt(gs, b).SetRelationLo(a, state);
}
void SetCountdownBoth(GameState& gs, int a, int b, int countdown) {
    DaimyouAt(gs, a).SetRelationHi(b, countdown);
    DaimyouAt(gs, b).SetRelationHi(a, countdown);
}

bool IsDependent(const CDaimyou& h) {
    return h.bond == CDaimyou::kBondJuuzoku || h.bond == CDaimyou::kBondShinjuu;
}
// Whether house d is a subordinate or vassal of master.
bool IsDependentOf(const GameState& gs, int d, int master) {
    const CDaimyou& h = DaimyouAt(gs, d);
    return IsDependent(h) && h.masterDaimyou == master;
}

std::string CutName(const GameState& gs, const std::string& name) {
    return CutUtf8ToEncodedLength(name, CBushou::kNameBytes, gs.Encoding());
}

// The scenario record of the general the item names: that of the literal id when it is one,
// else that of general 1's id; nullptr when there is none.
BushouExRecord* ExRecordOf(const Happening& h) {
    const int nEx = std::clamp(h.gs.nBushouEx, 0, GameState::kMaxBushou);
    int id = h.item.bushou1;
    if (id < 0 && IsValidBushou(h.gs, h.bushou1)) id = BushouAt(h.gs, h.bushou1).id;
    if (id < 0 || id >= nEx) return nullptr;
    return &h.gs.BushouExTbl[static_cast<std::size_t>(id)];
}

// The general not yet appeared whom the item's literal general-1 id names, or nullptr.
CBushou* MitoujouOf(const Happening& h) {
    if (h.item.bushou1 < 0) return nullptr;
    const int m = FindMitoujouBushouIndexById(h.gs, h.item.bushou1);
    return m >= 0 ? &h.gs.MitoujouBushouTbl[static_cast<std::size_t>(m)] : nullptr;
}

// Lifts the siege of a castle when its besiegers' side and its new owner's side are the same
// or bound to each other; a hostile besieger stays.
bool LiftSiegeOfFriends(GameState& gs, int shiro) {
    const CShiro& c = ShiroAt(gs, shiro);
    if (c.nBesieger < 1) return false;
    const int besieger = GetCountedDaimyou(gs, c.besiegerDaimyou);
    const int owner = GetCountedDaimyou(gs, c.daimyou);
    bool lift = besieger == owner;
    if (!lift && IsValidDaimyou(gs, besieger) && IsValidDaimyou(gs, owner))
        lift = RelationOf(gs, besieger, owner) >= CDaimyou::kRelFusen;
    return lift && LiftShiroHoui(gs, shiro);
}

// A general changes house: he leaves his corps (a corps he led gets a successor), his status
// becomes retainer and he is placed with his new side; with no castle of that side for him he
// becomes masterless. A head leaves his old house without a head.
void MoveToHouse(const Happening& h, int g, int daimyou) {
    GameState& gs = h.gs;
    CBushou& b = BushouAt(gs, g);
    const int old = b.daimyou;
    const int corps = b.gundan;
    b.daimyou = static_cast<std::int16_t>(daimyou);
    b.status = CBushou::kStatusKashin;
    b.gundan = -1;
    if (!RelocateBushou(gs, g, b.shiro, true, false)) BushouAt(gs, g).daimyou = CBushou::kDaimyouRounin;
    if (IsValidDaimyou(gs, old) && DaimyouAt(gs, old).toushu == g) DaimyouAt(gs, old).toushu = -2;
    if (IsValidGundan(corps) && GundanAt(gs, corps).leader == g)
        SucceedGundanchou(gs, h.ports, corps, BushouAt(gs, g).name);
}

// Breaks a bond between the two houses before they become arch-enemies.
void BreakBond(const Happening& h, int a, int b) {
    GameState& gs = h.gs;
    if (IsDependentOf(gs, a, b)) {
        DeclareDokuritsu(gs, h.ports, a);
    } else if (IsDependentOf(gs, b, a)) {
        DeclareDokuritsu(gs, h.ports, b);
    } else if (DaimyouAt(gs, a).bond == CDaimyou::kBondDokuritsu &&
               DaimyouAt(gs, b).bond == CDaimyou::kBondDokuritsu &&
               RelationOf(gs, a, b) == CDaimyou::kRelFusen) {
        DissolveDaimyouBond(gs, h.ports, a, b);
    }
}

// Arch-enmity ends: arch-enemies have no relation, and an endless countdown ends (each side by
// itself).
void EndShukuteki(GameState& gs, int a, int b) {
    if (RelationOf(gs, a, b) == CDaimyou::kRelShukuteki) SetStateBoth(gs, a, b, CDaimyou::kRelNothing);
    if (DaimyouAt(gs, a).GetRelationHi(b) == CDaimyou::kNoCountdown) DaimyouAt(gs, a).SetRelationHi(b, 0);
    if (DaimyouAt(gs, b).GetRelationHi(a) == CDaimyou::kNoCountdown) DaimyouAt(gs, b).SetRelationHi(a, 0);
}

// --- names ---------------------------------------------------------------------------------

void RunRename(const Happening& h) {
    GameState& gs = h.gs;
    const std::string name = CutName(gs, h.item.data1);
    switch (h.item.code) {
        case kBushouKaimei:
            if (IsValidBushou(gs, h.bushou1)) BushouAt(gs, h.bushou1).name = name;
            if (CBushou* waiting = MitoujouOf(h)) waiting->name = name;
            break;
        case kShiroKaimei:
            if (IsValidShiro(gs, h.shiro1)) ShiroMapAt(gs, h.shiro1).name = name;
            break;
        case kDaimyouKaimei:
            if (IsValidDaimyou(gs, h.daimyou1)) DaimyouAt(gs, h.daimyou1).name = name;
            break;
        default: break;
    }
}

// --- houses and relations ------------------------------------------------------------------

void RunRelation(const Happening& h) {
    GameState& gs = h.gs;
    const int a = h.daimyou1;
    const int b = h.daimyou2;
    const int code = h.item.code;
    const bool pair = code != kShukutekiAll && code != kNotShukutekiAll;
    if (!IsValidDaimyou(gs, a) || (pair && !IsValidDaimyou(gs, b))) return;
    switch (code) {
        case kShukuteki:
            BreakBond(h, a, b);
            if (RelationOf(gs, a, b) == CDaimyou::kRelNothing)
                SetStateBoth(gs, a, b, CDaimyou::kRelShukuteki);
            SetCountdownBoth(gs, a, b, CDaimyou::kNoCountdown);
            break;
        case kKyouseiShukuteki:
            BreakBond(h, a, b);
            SetStateBoth(gs, a, b, CDaimyou::kRelShukuteki);
            SetCountdownBoth(gs, a, b, CDaimyou::kNoCountdown);
            break;
        case kNotShukuteki: EndShukuteki(gs, a, b); break;
        case kShukutekiAll:
            if (IsDependent(DaimyouAt(gs, a))) DeclareDokuritsu(gs, h.ports, a);
            for (int i : DaimyouIndexes(gs)) {
                if (IsDependentOf(gs, i, a)) DeclareDokuritsu(gs, h.ports, i);
                SetStateBoth(gs, a, i, CDaimyou::kRelShukuteki);
                SetCountdownBoth(gs, a, i, CDaimyou::kNoCountdown);
            }
            break;
        case kNotShukutekiAll:
            for (int i : DaimyouIndexes(gs))
                EndShukuteki(gs, a, i);
            break;
        default: break;
    }
}

void RunBond(const Happening& h) {
    GameState& gs = h.gs;
    const int a = h.daimyou1;
    const int b = h.daimyou2;
    if (!IsValidDaimyou(gs, a) || !IsValidDaimyou(gs, b) || a == b) return;
    const CDaimyou& master = DaimyouAt(gs, a);
    const CDaimyou& house = DaimyouAt(gs, b);
    switch (h.item.code) {
        case kFusenDoumei: MakePeace(gs, h.ports, a, b, true); break;
        case kJuuzoku:
            if (master.bond != CDaimyou::kBondDokuritsu) return;
            if (house.bond == CDaimyou::kBondJuuzoku && house.masterDaimyou == a) return;
            if (house.bond != CDaimyou::kBondDokuritsu) DeclareDokuritsu(gs, h.ports, b);
            if (RelationOf(gs, a, b) != CDaimyou::kRelFusen) MakePeace(gs, h.ports, b, a, true);
            MakeJuuzoku(gs, h.ports, a, b, false);
            break;
        case kShinjuu: {
            if (master.bond != CDaimyou::kBondDokuritsu) return;
            if (house.bond == CDaimyou::kBondShinjuu && house.masterDaimyou == a) return;
            if (house.bond != CDaimyou::kBondDokuritsu && house.masterDaimyou != a)
                DeclareDokuritsu(gs, h.ports, b);
            const int state = RelationOf(gs, a, b);
            if (state != CDaimyou::kRelFusen && state != CDaimyou::kRelJuuzokuMaster)
                MakePeace(gs, h.ports, b, a, true);
            if (RelationOf(gs, a, b) != CDaimyou::kRelJuuzokuMaster) MakeJuuzoku(gs, h.ports, a, b, false);
            MakeShinjuu(gs, a, b);
            break;
        }
        default: break;
    }
}

void RunDokuritsu(const Happening& h) {
    GameState& gs = h.gs;
    const int a = h.daimyou1;
    if (!HouseExists(gs, a)) return;
    if (h.item.code == kDokuritsu) {
        DeclareDokuritsu(gs, h.ports, a);
        return;
    }
    for (int d : DaimyouIndexes(gs))
        if (HouseExists(gs, d) && IsDependentOf(gs, d, a)) DeclareDokuritsu(gs, h.ports, d);
}

// House 1 absorbs house 2: its castles (and with code 18 its generals); house 2 is gone.
void RunHeidon(const Happening& h) {
    GameState& gs = h.gs;
    const int winner = h.daimyou1;
    const int loser = h.daimyou2;
    if (!IsValidDaimyou(gs, winner) || !IsValidDaimyou(gs, loser) || winner == loser) return;
    if (DaimyouAt(gs, loser).toushu == -1) return;

    for (int d : DaimyouIndexes(gs))
        if (HouseExists(gs, d) && IsDependentOf(gs, d, loser)) DeclareDokuritsu(gs, h.ports, d);

    const int head = DaimyouAt(gs, winner).toushu;
    const int lord = head >= 0 ? head : -1;
    int taken = 0;
    bool lifted = false;
    for (int c : ShiroIndexes(gs)) {
        CShiro& s = ShiroAt(gs, c);
        if (s.daimyou != loser) continue;
        s.daimyou = static_cast<std::int16_t>(winner);
        s.gundan = -1;  // the corps of the fallen house go with it
        s.commander = static_cast<std::int16_t>(lord);
        ++taken;
        lifted = LiftSiegeOfFriends(gs, c) || lifted;
    }
    if (taken > 0 && DaimyouAt(gs, winner).toushu == -1) DaimyouAt(gs, winner).toushu = -2;

    for (int g = 0; g < BushouCount(gs); ++g) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou != loser) continue;
        if (h.item.code == kHeidon2) {
            b.daimyou = static_cast<std::int16_t>(winner);
            b.gundan = -1;
            if (!RelocateBushou(gs, g, b.shiro, true, false))
                BushouAt(gs, g).daimyou = CBushou::kDaimyouRounin;
        } else {
            b.daimyou = CBushou::kDaimyouRounin;
            b.gundan = -1;
        }
    }
    DisbandGundanOfDaimyou(gs, loser);
    DaimyouAt(gs, loser).toushu = -1;
    if (lifted) gs.GunsenTable.CheckGunsen(gs, h.ports);
}

void RunHouseValue(const Happening& h) {
    GameState& gs = h.gs;
    const int a = h.daimyou1;
    const int code = h.item.code;
    if (code == kGameEnd) {
        h.run.ending = -2;
        return;
    }
    if (!IsValidDaimyou(gs, a)) return;
    CDaimyou& house = DaimyouAt(gs, a);
    switch (code) {
        case kKoudouTypeNormal:
        case kKoudouTypeStatic:
        case kKoudouTypeNoAttack: {
            std::uint8_t kind = static_cast<std::uint8_t>(house.kindByte & ~0x70);
            if (code == kKoudouTypeStatic) kind |= 0x10;
            if (code == kKoudouTypeNoAttack) kind |= 0x20;
            house.kindByte = kind;
            break;
        }
        case kDaimyouShikin: {
            double value = 0.0;
            if (h.Evaluate(h.item.data1, value)) house.shikin = TruncToInt(value);
            break;
        }
        case kGameEnd2: h.run.ending = a; break;
        default: break;
    }
}

// --- generals ------------------------------------------------------------------------------

void RunBushou(const Happening& h) {
    GameState& gs = h.gs;
    const int g = h.bushou1;
    const bool found = IsValidBushou(gs, g);
    switch (h.item.code) {
        case kBushouDead:
            // A death: he leaves play with his offices passing on, as any death does.
            if (found) RemoveBushou(gs, h.ports, g);
            break;
        case kBushouAppear: {
            if (h.item.bushou1 < 0) return;
            const int waiting = FindMitoujouBushouIndexById(gs, h.item.bushou1);
            if (waiting < 0 || !AppearBushou(gs, waiting, nullptr)) return;
            const int now = FindBushouIndexById(gs, h.item.bushou1);
            if (now < 0) return;
            const int d = BushouAt(gs, now).daimyou;
            if (IsValidDaimyou(gs, d) && DaimyouAt(gs, d).toushu < 0) SucceedToushu(gs, h.ports, d, false);
            break;
        }
        case kBushouParamCopy: {
            if (!found) return;
            CBushou& to = BushouAt(gs, g);
            const int id2 = h.item.bushou2;
            if (id2 >= 0) {
                if (id2 >= std::clamp(gs.nBushouEx, 0, GameState::kMaxBushou)) return;
                CopyAbilities(to, gs.BushouExTbl[static_cast<std::size_t>(id2)]);
            } else if (IsValidBushou(gs, h.bushou2)) {
                CopyAbilities(to, BushouAt(gs, h.bushou2));
            }
            break;
        }
        case kBushouShozokuChange:
            if (!IsValidDaimyou(gs, h.daimyou1)) return;
            if (found && BushouAt(gs, g).daimyou != h.daimyou1) MoveToHouse(h, g, h.daimyou1);
            if (CBushou* waiting = MitoujouOf(h)) waiting->daimyou = static_cast<std::int16_t>(h.daimyou1);
            break;
        case kBushouSouzokuDaimyou:
            if (BushouExRecord* ex = ExRecordOf(h)) ex->daimyou = static_cast<std::int16_t>(h.daimyou1);
            break;
        case kBushouInitShiro:
            if (BushouExRecord* ex = ExRecordOf(h)) ex->location = static_cast<std::uint16_t>(h.shiro1);
            if (CBushou* waiting = MitoujouOf(h)) waiting->sortieShiro = static_cast<std::int16_t>(h.shiro1);
            break;
        case kBushouKeishou: {
            double value = 0.0;
            if (!h.Evaluate(h.item.data1, value)) return;
            if (BushouExRecord* ex = ExRecordOf(h))
                ex->successionRank = static_cast<std::int8_t>(Bounded(TruncToInt(value), INT8_MIN, INT8_MAX));
            break;
        }
        case kToushuChange: {
            if (!found) return;
            CBushou& b = BushouAt(gs, g);
            if (b.daimyou == CBushou::kDaimyouRounin) return;
            if (b.status == CBushou::kStatusHoryo || b.status == CBushou::kStatusHitojichi) {
                // A captive or hostage goes home first and stands with his own side.
                b.daimyou = static_cast<std::int16_t>(b.GetEffectiveDaimyou());
                b.status = CBushou::kStatusKashin;
                if (IsValidDaimyou(gs, b.daimyou)) RelocateBushou(gs, g, b.shiro, true, false);
            }
            const int d = BushouAt(gs, g).daimyou;
            if (IsValidDaimyou(gs, d)) SetToushu(gs, h.ports, d, g, true);
            break;
        }
        case kBushouMove:
            if (found && IsValidShiro(gs, h.shiro1)) RelocateBushou(gs, g, h.shiro1, false, true);
            break;
        default: break;
    }
}

// --- castles: ownership and sieges ---------------------------------------------------------

void RunShiroShozokuChange(const Happening& h) {
    GameState& gs = h.gs;
    const int c = h.shiro1;
    const int d = h.daimyou1;
    if (!IsValidShiro(gs, c) || !IsValidDaimyou(gs, d) || ShiroAt(gs, c).daimyou == d) return;
    CShiro& s = ShiroAt(gs, c);
    s.daimyou = static_cast<std::int16_t>(d);
    s.gundan = -1;
    CDaimyou& house = DaimyouAt(gs, d);
    if (house.toushu < 0) {
        s.commander = -1;
        house.toushu = -2;
    } else {
        s.commander = static_cast<std::int16_t>(house.toushu);
    }
    bool changed = LiftSiegeOfFriends(gs, c);

    for (int g = 0; g < BushouCount(gs); ++g) {
        const CBushou& b = BushouAt(gs, g);
        if (b.shiro != c || (b.flags & CBushou::kFlagBesieging) != 0 || b.daimyou < 0) continue;
        if (!RelocateBushou(gs, g, c, true, true)) BushouAt(gs, g).daimyou = CBushou::kDaimyouRounin;
    }

    const int owner = GetCountedDaimyou(gs, d);
    for (std::uint32_t i = 0; i < gs.GunsenTable.count && i < CGunsenTable::kMaxRecord; ++i) {
        const GunsenRecord& r = gs.GunsenTable.records[i];
        if (r.shiro != c || GetCountedDaimyou(gs, r.owner) == owner) continue;
        gs.GunsenTable.RelocateFleet(gs, static_cast<int>(i), c);
        changed = true;
    }
    if (changed) gs.GunsenTable.CheckGunsen(gs, h.ports);
}

void RunTettai(const Happening& h) {
    GameState& gs = h.gs;
    bool lifted = false;
    switch (h.item.code) {
        case kTettai1:
            if (IsValidShiro(gs, h.shiro1)) lifted = LiftShiroHoui(gs, h.shiro1);
            break;
        case kTettai2: {
            const int d = h.daimyou1;
            if (!IsValidDaimyou(gs, d)) return;
            if (DaimyouAt(gs, d).bond == CDaimyou::kBondShinjuu)
                for (int c : ShiroIndexes(gs))
                    if (ShiroAt(gs, c).daimyou == d) lifted = LiftShiroHoui(gs, c) || lifted;
            for (int c : ShiroIndexes(gs))
                if (GetCountedDaimyouOfShiro(gs, c) == d) lifted = LiftShiroHoui(gs, c) || lifted;
            break;
        }
        case kTettai3:
            if (!IsValidDaimyou(gs, h.daimyou1)) return;
            for (int c : ShiroIndexes(gs))
                if (ShiroAt(gs, c).besiegerDaimyou == h.daimyou1) lifted = LiftShiroHoui(gs, c) || lifted;
            break;
        default: break;
    }
    if (lifted) gs.GunsenTable.CheckGunsen(gs, h.ports);
}

// --- operands ------------------------------------------------------------------------------

// One operand slot of the items: its mask bit, its script variable, the word of its message.
struct Slot {
    std::uint8_t mask;
    const char* variable;
    const char* word;
};

constexpr Slot kDaimyou1Slot{kArgDaimyou1, "Daimyou1", "大名1"};
constexpr Slot kDaimyou2Slot{kArgDaimyou2, "Daimyou2", "大名2"};
constexpr Slot kShiro1Slot{kArgShiro1, "Shiro1", "城1"};
constexpr Slot kShiro2Slot{kArgShiro2, "Shiro2", "城2"};
constexpr Slot kBushou1Slot{kArgBushou1, "Bushou1", "武将1"};
constexpr Slot kBushou2Slot{kArgBushou2, "Bushou2", "武将2"};

// Resolves one operand. A literal field is used as it is (a general's field is his id, looked
// up in the general table); VARIABLE takes the slot's variable - 1, which must be below count.
// False, with the author told, for a variable value outside 0 .. count - 1.
bool ResolveSlot(const Happening& h, const Slot& slot, std::uint8_t mask, int field, int count, bool general,
                 int& out) {
    if ((mask & slot.mask) == 0 || field != kOperandVariable) {
        out = general ? FindBushouIndexById(h.gs, field) : field;
        return true;
    }
    const double value = h.gs.ScriptVariables.GetTokenValue(slot.variable);
    const double index = std::trunc(value) - 1.0;
    if (!(index >= 0.0 && index < static_cast<double>(count))) {
        h.Tell(FormatText("%s指定変数(%s=%s)の値が不適切です", slot.word, slot.variable,
                          NumberToText(value).c_str()));
        return false;
    }
    out = static_cast<int>(index);
    return true;
}

bool ResolveOperands(Happening& h) {
    const std::uint8_t mask = kHappeningTable[h.item.code].mask;
    const int houses = ScenarioHouseCount(h.gs);
    const int castles = ShiroCount(h.gs);
    const int generals = BushouCount(h.gs);
    const EventItem& it = h.item;
    return ResolveSlot(h, kDaimyou1Slot, mask, it.daimyou1, houses, false, h.daimyou1) &&
           ResolveSlot(h, kDaimyou2Slot, mask, it.daimyou2, houses, false, h.daimyou2) &&
           ResolveSlot(h, kShiro1Slot, mask, it.shiro1, castles, false, h.shiro1) &&
           ResolveSlot(h, kShiro2Slot, mask, it.shiro2, castles, false, h.shiro2) &&
           ResolveSlot(h, kBushou1Slot, mask, it.bushou1, generals, true, h.bushou1) &&
           ResolveSlot(h, kBushou2Slot, mask, it.bushou2, generals, true, h.bushou2);
}

}  // namespace

// --- shared helpers ------------------------------------------------------------------------

void Happening::Tell(std::string_view detail) const {
    TellEventError(run, eventIndex, detail);
}

bool Happening::Evaluate(const std::string& formula, double& value) const {
    const int code = EvaluateFormula(gs, formula, value);
    if (code == kFormulaOk) return true;
    ReportFormulaError(run.ctx, code, eventIndex, formula);
    return false;
}

void Happening::StoreVariable(double value, bool add) const {
    const auto evaluate = FormulaEvaluatorFor(gs);
    const bool stored = add ? gs.ScriptVariables.AddToVariable(item.data1, value, evaluate)
                            : gs.ScriptVariables.SetVariable(item.data1, value, evaluate);
    if (!stored) Tell(FormatText("変数名(%s)が不適切です", item.data1.c_str()));
}

int TruncToInt(double value) {
    if (std::isnan(value)) return 0;
    const double t = std::trunc(value);
    if (t <= static_cast<double>(INT_MIN)) return INT_MIN;
    if (t >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(t);
}

std::int64_t Bounded(std::int64_t value, std::int64_t lo, std::int64_t hi) {
    return std::max(lo, std::min(value, hi));
}

}  // namespace happening

// =============================================================================================

int RunHappening(EventRun& run, int eventIndex, int happeningIndex) {
    using namespace happening;
    GameState& gs = run.ctx.gs;
    if (eventIndex < 0 || eventIndex >= static_cast<int>(gs.ConditionalEventArray.size())) return -1;
    const CConditionalEvent& event = gs.ConditionalEventArray[static_cast<std::size_t>(eventIndex)];
    const int count = std::clamp<int>(event.actionCount, 0, CConditionalEvent::kMaxItem);
    if (happeningIndex < 0 || happeningIndex >= count) return -1;
    const EventItem& item = event.actions[static_cast<std::size_t>(happeningIndex)];
    if (item.code >= kHappeningCount) return -1;

    Happening h{run, gs, run.ctx.ports, eventIndex, item};
    if (!ResolveOperands(h)) return -1;

    const int code = h.item.code;
    if (IsScriptHappening(code)) return RunScriptHappening(h);
    if (IsCastleValueHappening(code)) {
        RunCastleValueHappening(h);
        return -1;
    }
    switch (code) {
        case kBushouKaimei:
        case kShiroKaimei:
        case kDaimyouKaimei: RunRename(h); break;
        case kDokuritsu:
        case kSankaDokuritsu: RunDokuritsu(h); break;
        case kShukuteki:
        case kKyouseiShukuteki:
        case kNotShukuteki:
        case kShukutekiAll:
        case kNotShukutekiAll: RunRelation(h); break;
        case kFusenDoumei:
        case kJuuzoku:
        case kShinjuu: RunBond(h); break;
        case kHeidon:
        case kHeidon2: RunHeidon(h); break;
        case kKoudouTypeNormal:
        case kKoudouTypeStatic:
        case kKoudouTypeNoAttack:
        case kDaimyouShikin:
        case kGameEnd:
        case kGameEnd2: RunHouseValue(h); break;
        case kShiroShozokuChange: RunShiroShozokuChange(h); break;
        case kTettai1:
        case kTettai2:
        case kTettai3: RunTettai(h); break;
        default: RunBushou(h); break;
    }
    return -1;
}

}  // namespace rymd
