// The formula evaluator: a stack machine over the tokens of the formula text.
//
// The current value, the pending operator, the parenthesis depth and whether an operand is
// expected are its whole state, with a stack of pending (value, operator, depth) entries.
// "*" and "/" apply at once to the current value; "+" and "-" push the value and wait. A
// leading sign means 0 plus or minus what follows, and a sign straight after another operator
// is malformed ("2*-3" must be written "2*(-3)").
//
// Arguments of built-ins and array indexes are formulas of their own, evaluated by the same
// machine one nesting level deeper; the nesting is bounded, so no text can exhaust the stack.
#include "game/events/formula.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <string>

#include "game/events/formula_builtins.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_context.h"
#include "game/state/game_state.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

enum class Op : unsigned char { kNone, kAdd, kSubtract, kMultiply, kDivide };

struct Pending {
    double value;
    Op op;
    int depth;
};

// value = left (op) right; kFormulaDivisionByZero for a divisor that is 0 or not a number.
int Apply(double left, Op op, double right, double& value) {
    switch (op) {
        case Op::kAdd: value = left + right; return kFormulaOk;
        case Op::kSubtract: value = left - right; return kFormulaOk;
        case Op::kMultiply: value = left * right; return kFormulaOk;
        case Op::kDivide:
            if (right == 0.0 || std::isnan(right)) return kFormulaDivisionByZero;
            value = left / right;
            return kFormulaOk;
        case Op::kNone: break;
    }
    return kFormulaMalformed;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The position of a scenario identifier in list 1 (houses), 3 (castles) or 4 (generals) of the
// name index, which keeps the identifiers in the file encoding; -1 when it names nothing.
int FindIdentifier(const GameState& gs, int list, std::string_view text) {
    if (text.empty()) return -1;
    if (IsAscii(text)) return gs.NameIndex.FindInList(list, text);
    return gs.NameIndex.FindInList(list, FromUtf8(text, gs.Encoding()));
}

class Evaluator {
public:
    explicit Evaluator(GameState& gs) : gs_(gs) {}

    int Evaluate(std::string_view text, double& result, int nesting) {
        if (nesting > kMaxFormulaNesting) return kFormulaMalformed;
        std::array<Pending, kMaxFormulaPending> stack;
        int top = 0;  // entries in use
        double value = 0.0;
        Op pending = Op::kNone;
        int depth = 0;
        bool operandExpected = true;

        // value = entry (its operator) value, for the top entry.
        auto pop = [&]() {
            --top;
            const Pending& e = stack[static_cast<std::size_t>(top)];
            return Apply(e.value, e.op, value, value);
        };
        auto topAtDepth = [&](int d) {
            return top > 0 && stack[static_cast<std::size_t>(top - 1)].depth == d;
        };
        auto push = [&](Op op) {
            if (top >= kMaxFormulaPending) return false;
            stack[static_cast<std::size_t>(top++)] = Pending{value, op, depth};
            return true;
        };

        std::size_t pos = 0;
        std::string_view token;
        for (;;) {
            const int kind = CScriptVariables::NextToken(text, pos, token);
            if (kind == CScriptVariables::kTokenEnd) {
                if (depth != 0 || operandExpected || pending != Op::kNone) return kFormulaMalformed;
                while (top > 0)
                    if (const int code = pop()) return code;
                // Overflow to infinity (or a number too large to hold) is no value the game can use.
                if (!std::isfinite(value)) return kFormulaMalformed;
                result = value;
                return kFormulaOk;
            }
            if (token.size() > kMaxFormulaToken) return kFormulaMalformed;
            const char c = token.size() == 1 ? token[0] : '\0';
            if (c == '(') {
                if (!operandExpected) {
                    // Only after an operator: "2(3)" and ")(" are malformed.
                    if (pending == Op::kNone) return kFormulaMalformed;
                    if ((pending == Op::kAdd || pending == Op::kSubtract) && topAtDepth(depth))
                        if (const int code = pop()) return code;
                    if (!push(pending)) return kFormulaMalformed;
                }
                ++depth;
                operandExpected = true;
                pending = Op::kNone;
            } else if (c == ')') {
                if (depth == 0 || operandExpected || pending != Op::kNone) return kFormulaMalformed;
                while (topAtDepth(depth))
                    if (const int code = pop()) return code;
                --depth;
                // "*" and "/" keep their left-to-right order across the group.
                if (topAtDepth(depth)) {
                    const Op op = stack[static_cast<std::size_t>(top - 1)].op;
                    if (op == Op::kMultiply || op == Op::kDivide)
                        if (const int code = pop()) return code;
                }
            } else if (c == '+' || c == '-') {
                if (operandExpected) {
                    value = 0.0;  // a leading sign: 0 plus or minus what follows
                    operandExpected = false;
                }
                if (pending != Op::kNone) return kFormulaMalformed;
                pending = c == '+' ? Op::kAdd : Op::kSubtract;
            } else if (c == '*' || c == '/') {
                if (operandExpected || pending != Op::kNone) return kFormulaMalformed;
                pending = c == '*' ? Op::kMultiply : Op::kDivide;
            } else {
                double v = 0.0;
                if (const int code = Operand(text, pos, token, kind, v, nesting)) return code;
                if (operandExpected) {
                    value = v;
                    operandExpected = false;
                } else if (pending == Op::kNone) {
                    return kFormulaMalformed;  // two operands in a row
                } else if (pending == Op::kAdd || pending == Op::kSubtract) {
                    if (topAtDepth(depth))
                        if (const int code = pop()) return code;
                    if (!push(pending)) return kFormulaMalformed;
                    value = v;
                } else if (const int code = Apply(value, pending, v, value)) {
                    return code;
                }
                pending = Op::kNone;
            }
        }
    }

private:
    // The value of an operand token: a built-in, an array element, a number or a scalar.
    int Operand(std::string_view text, std::size_t& pos, std::string_view token, int kind, double& v,
                int nesting) {
        if (!token.empty() && token[0] == '#')
            if (const Builtin* b = FindBuiltin(token)) return CallBuiltin(*b, text, pos, v, nesting);
        if (kind == CScriptVariables::kTokenSubscript) {
            std::string_view indexText;
            if (CScriptVariables::ReadBracketed(text, pos, indexText) != 0) return kFormulaMalformed;
            double index = 0.0;
            if (const int code = Evaluate(indexText, index, nesting + 1)) return code;
            if (!CScriptVariables::IsArrayIndexValue(index)) return kFormulaBadArgument;
            int status = 0;
            v = gs_.ScriptVariables.GetArrayValue(token, static_cast<int>(index), status);
            return kFormulaOk;
        }
        v = gs_.ScriptVariables.GetTokenValue(token);
        // A number too large for a double reads as infinity: no number of the game.
        return std::isfinite(v) ? kFormulaOk : kFormulaMalformed;
    }

    int CallBuiltin(const Builtin& b, std::string_view text, std::size_t& pos, double& v, int nesting) {
        BuiltinInput in;
        if (b.argument != BuiltinArgument::kNone) {
            std::string_view arg;
            if (CScriptVariables::ReadParenthesized(text, pos, arg) != 0) return kFormulaMalformed;
            if (b.argument == BuiltinArgument::kNumber) {
                // Any failure inside a number argument, a division by zero too, is malformed.
                if (Evaluate(arg, in.number, nesting + 1) != kFormulaOk) return kFormulaMalformed;
            } else if (const int code = ResolveRecord(b.argument, arg, in.index, nesting)) {
                return code;
            }
        }
        if (b.checked) return b.checked(gs_, in, v);
        if (b.plain) {
            v = b.plain(gs_, in);
        } else {
            v = in.index >= 0 ? b.ofIndex(gs_, in.index) : 0.0;  // a named general off stage: 0
        }
        return kFormulaOk;
    }

    // A house, castle or general argument: its identifier, or its number from 1 to the count.
    int ResolveRecord(BuiltinArgument kind, std::string_view arg, int& index, int nesting) {
        int list = 0;
        int count = 0;
        switch (kind) {
            case BuiltinArgument::kHouse:
                list = 1;
                count = ScenarioHouseCount(gs_);
                break;
            case BuiltinArgument::kCastle:
                list = 3;
                count = ShiroCount(gs_);
                break;
            default:
                list = 4;
                count = BushouCount(gs_);
                break;
        }
        const int named = FindIdentifier(gs_, list, arg);
        if (named >= 0) {
            if (kind == BuiltinArgument::kGeneral) {
                // Off stage (not yet appeared, or gone): -1, and the built-in gives 0.
                index = FindBushouIndexById(gs_, named);
                return kFormulaOk;
            }
            if (named >= count) return kFormulaBadArgument;
            index = named;
            return kFormulaOk;
        }
        double number = 0.0;
        if (Evaluate(arg, number, nesting + 1) != kFormulaOk) return kFormulaBadArgument;
        const double n = std::trunc(number);
        if (n < 1.0 || n > static_cast<double>(count)) return kFormulaBadArgument;
        index = static_cast<int>(n) - 1;
        return kFormulaOk;
    }

    GameState& gs_;
};

}  // namespace

int EvaluateFormula(GameState& gs, std::string_view formula, double& value) {
    return Evaluator(gs).Evaluate(formula, value, 0);
}

CScriptVariables::FormulaEvaluator FormulaEvaluatorFor(GameState& gs) {
    return [&gs](std::string_view formula, double& value) { return EvaluateFormula(gs, formula, value); };
}

void ReportFormulaError(const GameContext& ctx, int kind, int eventIndex, std::string_view formula) {
    const char* fault = nullptr;
    switch (kind) {
        case kFormulaMalformed: fault = "が不適切です"; break;
        case kFormulaDivisionByZero: fault = "にゼロ除算が発生しました"; break;
        case kFormulaBadArgument: fault = "内の関数引数に不適切な値が指定されました"; break;
        default: return;
    }
    const auto& events = ctx.gs.ConditionalEventArray;
    const std::string title = eventIndex >= 0 && static_cast<std::size_t>(eventIndex) < events.size()
                                  ? events[static_cast<std::size_t>(eventIndex)].title
                                  : std::string();
    ctx.ports.inform->Inform(FormatText("条件イベント(No.%d : %s)で、数式(%s)%s", eventIndex + 1,
                                        title.c_str(), std::string(formula).c_str(), fault));
}

}  // namespace rymd
