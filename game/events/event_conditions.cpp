// The condition test of a conditional event: each condition item is resolved (literal operands,
// or the script variables DaimyouA, DaimyouB, ShiroA and BushouA for an operand written as
// VARIABLE), tested against the game and joined with the others by AND or OR.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "game/events/event_dialogs.h"
#include "game/events/event_run.h"
#include "game/events/formula.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

// Condition codes (rows of kConditionTable).
enum ConditionCode : int {
    kEqual = 0,
    kNotEqual = 1,
    kLarge = 2,
    kLargeEqual = 3,
    kSmall = 4,
    kSmallEqual = 5,
    kDainyuu = 6,
    kDokuritsu = 7,
    kJuuzokuShinjuuUnspecific = 8,
    kJuuzokuUnspecific = 9,
    kShinjuuUnspecific = 10,
    kJuuzokuShinjuuSpecific = 11,
    kJuuzokuSpecific = 12,
    kShinjuuSpecific = 13,
    kNotJuuzokuShinjuuSpecific = 14,
    kNotJuuzokuSpecific = 15,
    kNotShinjuuSpecific = 16,
    kTekitai = 17,
    kNotTekitai = 18,
    kRinsetsu = 19,
    kNotRinsetsu = 20,
    kDaimyouMetsubou = 21,
    kDaimyouExist = 22,
    kShiroOwner1 = 23,
    kShiroOwner2 = 24,
    kShiroOwner3 = 25,
    kShiroNotOwner1 = 26,
    kShiroNotOwner2 = 27,
    kShiroNotOwner3 = 28,
    kBushouExist = 29,
    kBushouNotAppear = 30,
    kBushouDead = 31,
    kBushouShozoku = 32,
    kBushouToushuUnspecific = 33,
    kBushouToushuSpecific = 34,
    kBushouAtShiro = 35,
    kNotPlayerDaimyou = 36,
    kPlayerDaimyou = 37,
    kNotPlayerBushou = 38,
    kPlayerBushou = 39,
    kShiroHoui = 40,
    kShiroNotHoui = 41,
    kBushouNotShozoku = 42,
    kBushouNotToushuUnspecific = 43,
    kBushouNotToushuSpecific = 44,
    kBushouNotAtShiro = 45,
    kBushouNotExist = 46,
    kQuestionYes = 47,
    kQuestionNo = 48,
};

// The operands of one condition item after resolution: house, castle and general table indexes
// (any value; the tests check them), and the literal general id.
struct Operands {
    int daimyouA = -1;
    int daimyouB = -1;
    int shiroA = -1;
    int bushouA = -1;   // general table index, -1 none found
    int bushouId = -1;  // the item's literal general id
};

// One operand slot that may be taken from a script variable.
struct VariableSlot {
    const char* variable;  // the script variable read for VARIABLE
    const char* label;     // how the message names it
};
constexpr VariableSlot kDaimyouASlot{"DaimyouA", "大名A指定変数"};
constexpr VariableSlot kDaimyouBSlot{"DaimyouB", "大名B指定変数"};
constexpr VariableSlot kShiroASlot{"ShiroA", "城A指定変数"};
constexpr VariableSlot kBushouASlot{"BushouA", "武将A指定変数"};

class ConditionTest {
public:
    ConditionTest(EventRun& run, int eventIndex)
        : run_(run), gs_(run.ctx.gs), eventIndex_(eventIndex), ev_(gs_.ConditionalEventArray[eventIndex]) {}

    bool Run();

private:
    // Reads the operand from its variable: truncated toward zero, minus one, and inside
    // 0 .. count - 1; otherwise the message and false.
    bool FromVariable(const VariableSlot& slot, int count, int& out);
    bool Resolve(const EventItem& item, std::uint8_t mask, Operands& op);
    bool Test(const EventItem& item, const Operands& op, bool running);
    bool Compare(const EventItem& item, int code);
    void Assign(const EventItem& item);

    // Whether house a exists (its head field is not -1).
    bool Exists(int a) const { return HouseExists(gs_, a); }
    const CDaimyou& House(int a) const { return DaimyouAt(gs_, a); }
    // The house that the castle counts for as held: its owner, or the master of a vassal owner.
    bool HeldBy(int shiro, int daimyou) const;
    bool OwnedWithSubordinates(int shiro, int daimyou) const;
    bool Adjacent(int a, int b) const;
    bool Besieged(int shiro) const { return run_.lookups.Besieged(gs_, shiro); }
    bool IsHead(int bushou, int daimyou) const {
        return IsValidDaimyou(gs_, daimyou) && House(daimyou).toushu == bushou;
    }
    bool Found(int bushou) const { return IsValidBushou(gs_, bushou); }
    int EffectiveHouse(int bushou) const { return BushouAt(gs_, bushou).GetEffectiveDaimyou(); }
    // Whether the general id's scenario record says he has come on stage.
    bool Appeared(int id) const;

    EventRun& run_;
    GameState& gs_;
    int eventIndex_;
    const CConditionalEvent& ev_;
};

bool ConditionTest::FromVariable(const VariableSlot& slot, int count, int& out) {
    const double value = gs_.ScriptVariables.GetTokenValue(slot.variable);
    const double index = std::trunc(value) - 1.0;
    if (std::isfinite(index) && index >= 0.0 && index < static_cast<double>(count)) {
        out = static_cast<int>(index);
        return true;
    }
    TellEventError(
        run_, eventIndex_,
        FormatText("%s(%s=%s)の値が不適切です", slot.label, slot.variable, NumberToText(value).c_str()));
    return false;
}

bool ConditionTest::Resolve(const EventItem& item, std::uint8_t mask, Operands& op) {
    op.daimyouA = item.daimyou1;
    op.daimyouB = item.daimyou2;
    op.shiroA = item.shiro1;
    op.bushouId = item.bushou1;
    const int houses = ScenarioHouseCount(gs_);
    if ((mask & kArgDaimyou1) && item.daimyou1 == kOperandVariable &&
        !FromVariable(kDaimyouASlot, houses, op.daimyouA))
        return false;
    if ((mask & kArgDaimyou2) && item.daimyou2 == kOperandVariable &&
        !FromVariable(kDaimyouBSlot, houses, op.daimyouB))
        return false;
    if ((mask & kArgShiro1) && item.shiro1 == kOperandVariable &&
        !FromVariable(kShiroASlot, ShiroCount(gs_), op.shiroA))
        return false;
    if (!(mask & kArgBushou1)) return true;
    if (item.bushou1 == kOperandVariable) return FromVariable(kBushouASlot, BushouCount(gs_), op.bushouA);
    // A literal general is named by his id.
    op.bushouA = run_.lookups.FindGeneral(gs_, item.bushou1);
    return true;
}

bool ConditionTest::HeldBy(int shiro, int daimyou) const {
    const int owner = ShiroAt(gs_, shiro).daimyou;
    if (owner == daimyou) return true;
    return IsValidDaimyou(gs_, owner) && House(owner).bond == CDaimyou::kBondShinjuu &&
           House(owner).masterDaimyou == daimyou;
}

bool ConditionTest::OwnedWithSubordinates(int shiro, int daimyou) const {
    const int owner = ShiroAt(gs_, shiro).daimyou;
    if (owner == daimyou) return true;
    return IsValidDaimyou(gs_, owner) && House(owner).bond != CDaimyou::kBondDokuritsu &&
           House(owner).masterDaimyou == daimyou;
}

bool ConditionTest::Adjacent(int a, int b) const {
    for (int s : ShiroIndexes(gs_)) {
        if (!HeldBy(s, a)) continue;
        const ShiroMapRecord& m = ShiroMapAt(gs_, s);
        const int n = m.ConnectionCount();
        for (int k = 0; k < n; ++k) {
            const int to = m.connect[static_cast<std::size_t>(k)].shiro;
            if (IsValidShiro(gs_, to) && HeldBy(to, b)) return true;
        }
    }
    return false;
}

bool ConditionTest::Appeared(int id) const {
    return (gs_.BushouExTbl[static_cast<std::size_t>(id)].birthMark & 0x80) != 0;
}

bool ConditionTest::Compare(const EventItem& item, int code) {
    double a = 0.0;
    double b = 0.0;
    int err = EvaluateFormula(gs_, item.data1, a);
    if (err != kFormulaOk) {
        ReportFormulaError(run_.ctx, err, eventIndex_, item.data1);
        return false;
    }
    err = EvaluateFormula(gs_, item.data2, b);
    if (err != kFormulaOk) {
        ReportFormulaError(run_.ctx, err, eventIndex_, item.data2);
        return false;
    }
    switch (code) {
        case kEqual: return a == b;
        case kNotEqual: return a != b;
        case kLarge: return a > b;
        case kLargeEqual: return a >= b;
        case kSmall: return a < b;
        default: return a <= b;
    }
}

void ConditionTest::Assign(const EventItem& item) {
    double value = 0.0;
    const int err = EvaluateFormula(gs_, item.data2, value);
    if (err != kFormulaOk) {
        ReportFormulaError(run_.ctx, err, eventIndex_, item.data2);
        return;
    }
    if (!gs_.ScriptVariables.SetVariable(item.data1, value, FormulaEvaluatorFor(gs_)))
        TellEventError(run_, eventIndex_, FormatText("変数名(%s)が不適切です", item.data1.c_str()));
}

bool ConditionTest::Test(const EventItem& item, const Operands& op, bool running) {
    const int a = op.daimyouA;
    const int b = op.daimyouB;
    const int g = op.bushouA;
    const bool shiroOk = IsValidShiro(gs_, op.shiroA);
    switch (item.code) {
        case kEqual:
        case kNotEqual:
        case kLarge:
        case kLargeEqual:
        case kSmall:
        case kSmallEqual: return Compare(item, item.code);
        case kDainyuu: Assign(item); return running;
        case kDokuritsu: return Exists(a) && House(a).bond == CDaimyou::kBondDokuritsu;
        case kJuuzokuShinjuuUnspecific: return Exists(a) && House(a).bond != CDaimyou::kBondDokuritsu;
        case kJuuzokuUnspecific: return Exists(a) && House(a).bond == CDaimyou::kBondJuuzoku;
        case kShinjuuUnspecific: return Exists(a) && House(a).bond == CDaimyou::kBondShinjuu;
        case kJuuzokuShinjuuSpecific:
            return Exists(a) && House(a).bond != CDaimyou::kBondDokuritsu && House(a).masterDaimyou == b;
        case kJuuzokuSpecific:
            return Exists(a) && House(a).bond == CDaimyou::kBondJuuzoku && House(a).masterDaimyou == b;
        case kShinjuuSpecific:
            return Exists(a) && House(a).bond == CDaimyou::kBondShinjuu && House(a).masterDaimyou == b;
        case kNotJuuzokuShinjuuSpecific:
            return Exists(a) && (House(a).bond == CDaimyou::kBondDokuritsu || House(a).masterDaimyou != b);
        case kNotJuuzokuSpecific:
            return Exists(a) && (House(a).bond != CDaimyou::kBondJuuzoku || House(a).masterDaimyou != b);
        case kNotShinjuuSpecific:
            return Exists(a) && (House(a).bond != CDaimyou::kBondShinjuu || House(a).masterDaimyou != b);
        case kTekitai: return Exists(a) && Exists(b) && House(a).GetRelationLo(b) <= CDaimyou::kRelNothing;
        case kNotTekitai: return Exists(a) && Exists(b) && House(a).GetRelationLo(b) >= CDaimyou::kRelFusen;
        case kRinsetsu: return Exists(a) && Exists(b) && Adjacent(a, b);
        case kNotRinsetsu: return Exists(a) && Exists(b) && !Adjacent(a, b);
        case kDaimyouMetsubou: return IsValidDaimyou(gs_, a) && House(a).toushu == -1;
        case kDaimyouExist: return Exists(a);
        case kShiroOwner1: return shiroOk && ShiroAt(gs_, op.shiroA).daimyou == a;
        case kShiroOwner2: return shiroOk && HeldBy(op.shiroA, a);
        case kShiroOwner3: return shiroOk && OwnedWithSubordinates(op.shiroA, a);
        case kShiroNotOwner1: return !(shiroOk && ShiroAt(gs_, op.shiroA).daimyou == a);
        case kShiroNotOwner2: return !(shiroOk && HeldBy(op.shiroA, a));
        case kShiroNotOwner3: return !(shiroOk && OwnedWithSubordinates(op.shiroA, a));
        case kBushouExist: return Found(g) && BushouAt(gs_, g).daimyou != -1;
        case kBushouNotAppear:
            return op.bushouId >= 0 && op.bushouId < gs_.nBushouEx && !Appeared(op.bushouId);
        case kBushouDead:
            return op.bushouId >= 0 && op.bushouId < gs_.nBushouEx && Appeared(op.bushouId) &&
                   (!Found(g) || BushouAt(gs_, g).daimyou == -1);
        case kBushouShozoku: return Found(g) && EffectiveHouse(g) == a;
        case kBushouToushuUnspecific: return Found(g) && IsHead(g, BushouAt(gs_, g).daimyou);
        case kBushouToushuSpecific: return Found(g) && IsHead(g, a);
        case kBushouAtShiro:
            return Found(g) && BushouAt(gs_, g).shiro == op.shiroA &&
                   !(BushouAt(gs_, g).flags & CBushou::kFlagBesieging);
        case kNotPlayerDaimyou: return a != gs_.nPlayerDaimyou;
        case kPlayerDaimyou: return a == gs_.nPlayerDaimyou;
        case kNotPlayerBushou: return Found(g) && EffectiveHouse(g) != gs_.nPlayerDaimyou;
        case kPlayerBushou: return Found(g) && EffectiveHouse(g) == gs_.nPlayerDaimyou;
        case kShiroHoui: return Besieged(op.shiroA);
        case kShiroNotHoui: return !Besieged(op.shiroA);
        case kBushouNotShozoku: return Found(g) && EffectiveHouse(g) != a;
        case kBushouNotToushuUnspecific: return !(Found(g) && IsHead(g, BushouAt(gs_, g).daimyou));
        case kBushouNotToushuSpecific: return !(Found(g) && IsHead(g, a));
        case kBushouNotAtShiro:
            return !(Found(g) && BushouAt(gs_, g).shiro == op.shiroA &&
                     !(BushouAt(gs_, g).flags & CBushou::kFlagBesieging));
        case kBushouNotExist: return !(Found(g) && BushouAt(gs_, g).daimyou != -1);
        case kQuestionYes: return AskEventQuestion(run_, item.data2);
        case kQuestionNo: return !AskEventQuestion(run_, item.data2);
        default: return false;  // no such row
    }
}

bool ConditionTest::Run() {
    const bool orMode = (ev_.flags & CConditionalEvent::kFlagOr) != 0;
    const int count = std::clamp<int>(ev_.conditionCount, 0, CConditionalEvent::kMaxItem);
    bool result = !orMode;
    bool onlyAssignments = true;
    for (int k = 0; k < count; ++k) {
        if (ev_.conditions[static_cast<std::size_t>(k)].code != kDainyuu) onlyAssignments = false;
    }
    for (int k = 0; k < count; ++k) {
        const EventItem& item = ev_.conditions[static_cast<std::size_t>(k)];
        const std::uint8_t mask = item.code < kConditionCount ? kConditionTable[item.code].mask : 0;
        Operands op;
        if (!Resolve(item, mask, op)) {
            // An operand that names nothing: the item counts for nothing in OR mode; in AND
            // mode the event cannot hold any more, but the test still goes on with the next
            // item (which is tested, with its assignment, question or message, and then ends
            // the test unless its own operand names nothing too).
            if (!orMode) result = false;
            continue;
        }
        const bool test = Test(item, op, result);
        if (orMode) {
            result = result || test;
            if (result) break;
        } else {
            result = result && test;
            if (!result) break;
        }
    }
    return onlyAssignments || result;
}

}  // namespace

bool CheckCondition(EventRun& run, int eventIndex) {
    if (eventIndex < 0 || eventIndex >= static_cast<int>(run.ctx.gs.ConditionalEventArray.size()))
        return false;
    ConditionTest test(run, eventIndex);
    return test.Run();
}

}  // namespace rymd
