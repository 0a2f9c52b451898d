// The scenario's formulas: numbers, script variables, array elements, the four operations,
// parentheses and the "#" built-in queries on the game.
#pragma once

#include <cstddef>
#include <string_view>

#include "game/state/script_variables.h"

namespace rymd {

struct GameState;
struct GameContext;

inline constexpr int kFormulaOk = 0;
inline constexpr int kFormulaMalformed = 1;
inline constexpr int kFormulaDivisionByZero = 2;
inline constexpr int kFormulaBadArgument = 3;  // a bad argument of a built-in or a bad array index

// Limits of one evaluation; a formula beyond them is malformed. Pending entries wait on the
// stack for "+", "-" and groups after "*" or "/"; a token is a number, a name or a built-in;
// nesting counts arguments and array indexes inside arguments and indexes.
inline constexpr int kMaxFormulaPending = 100;
inline constexpr std::size_t kMaxFormulaToken = 999;
inline constexpr int kMaxFormulaNesting = 32;

// Evaluates a formula text: kFormulaOk and the value, or an error code with value unchanged.
// Reads the game and the script variables; only "#Random" and the random built-ins draw from
// the game's random source. A value that is not finite (a number or a result too large for a
// double) is malformed, so a value returned is always finite.
//
// Built-in arguments: a failure inside a number argument is malformed (a division by zero
// too); a house, castle or general argument is the record's scenario identifier, or a number
// from 1 to the count (houses: those the scenario defines, ScenarioHouseCount), else a bad
// argument. A rank outside the ranking, and fewer than one house to draw among, are malformed.
int EvaluateFormula(GameState& gs, std::string_view formula, double& value);

// The evaluator as the script variable store takes it for array indexes.
CScriptVariables::FormulaEvaluator FormulaEvaluatorFor(GameState& gs);

// Tells the scenario author that a formula of a conditional event failed (its number, title and
// the formula); kind kFormulaOk or an unknown kind shows nothing.
void ReportFormulaError(const GameContext& ctx, int kind, int eventIndex, std::string_view formula);

}  // namespace rymd
