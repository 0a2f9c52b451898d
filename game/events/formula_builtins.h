// The "#" queries that formulas may call: their names, the kind of argument each takes and the
// value each gives. Used by the formula evaluator only.
#pragma once

#include <cstddef>
#include <string_view>

namespace rymd {

struct GameState;

enum class BuiltinArgument {
    kNone,     // no argument (and no parentheses)
    kNumber,   // a formula
    kHouse,    // a house: identifier or number 1 .. the scenario's houses
    kCastle,   // a castle: identifier or number 1 .. castles
    kGeneral,  // a general: identifier or number 1 .. generals; -1 a named general off stage
};

// What a built-in receives: the number of a number argument, or the table index of a house,
// castle or general argument.
struct BuiltinInput {
    double number = 0.0;
    int index = -1;
};

// A built-in has one of three functions: a value that cannot fail; a value or an error code of
// the formula (value unchanged then); or, for a house, castle or general argument, the value of
// the record at a valid index. A general argument naming a general off stage gives 0 without
// a call.
struct Builtin {
    std::string_view name;
    BuiltinArgument argument;
    double (*plain)(GameState& gs, const BuiltinInput& in) = nullptr;
    int (*checked)(GameState& gs, const BuiltinInput& in, double& value) = nullptr;
    double (*ofIndex)(const GameState& gs, int index) = nullptr;
};

// The built-in of that name (compared byte for byte), or nullptr.
const Builtin* FindBuiltin(std::string_view name);
// How many built-ins there are.
std::size_t BuiltinCount();

}  // namespace rymd
