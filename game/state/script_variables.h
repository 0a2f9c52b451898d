// The scenario's script variables: scalars and arrays of numbers, named by the scenario.
// Conditional events assign and add to them, formulas read them, message texts show them and
// saved games keep them. Every value is a double.
//
// Names are compared byte for byte (case-sensitive) and stored exactly as given (UTF-8).
// Scalars and arrays have separate name spaces. A name created by assignment begins with an
// ASCII letter. An array element is written as the array's name directly followed by "[",
// an index formula and "]"; anything after the closing bracket is ignored. Indexes run from 0
// to 30000; an array is one longer than the highest index ever written, and elements never
// written read as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "game/ports/ports.h"
#include "platform/core/encoding.h"

namespace rymd {

class ArchiveReader;
class ArchiveWriter;

struct ScalarVariableRecord {
    std::string name;
    double value = 0.0;
};

struct ArrayVariableRecord {
    std::string name;
    std::vector<double> values;
};

class CScriptVariables {
public:
    static constexpr int kMaxArrayIndex = 30000;
    static constexpr std::uint32_t kLayoutMarker = 0xFFFFFFFFu;
    static constexpr std::uint32_t kLayoutVersion = 1;

    // Results of NextToken.
    static constexpr int kTokenEnd = -1;       // nothing left
    static constexpr int kTokenPlain = 0;      // a token not directly followed by "["
    static constexpr int kTokenSubscript = 1;  // a token directly followed by "["

    // Status of GetArrayValue.
    static constexpr int kArrayOk = 0;
    static constexpr int kArrayMissing = 1;
    static constexpr int kArrayBadIndex = 2;

    // Evaluates an index formula: 0 and the value on success, else the formula's error code.
    using FormulaEvaluator = std::function<int(std::string_view formula, double& value)>;

    // Removes every scalar and array.
    void Clear();

    // Assigns to a scalar, or to an array element when the name's first token is directly
    // followed by "[". False, with nothing changed, for a name that does not begin with an
    // ASCII letter, a missing "]", an index formula that fails, or an index outside 0..30000.
    bool SetVariable(std::string_view name, double value, const FormulaEvaluator& evaluate);
    // The same, adding delta: a new scalar or element starts at delta.
    bool AddToVariable(std::string_view name, double delta, const FormulaEvaluator& evaluate);

    // Element index of the named array := value; the array is made and grown as needed (new
    // elements 0). An index outside 0..30000 changes nothing.
    void SetArrayElement(std::string_view name, int index, double value);
    // As SetArrayElement, but an element that already existed gets delta added.
    void AddToArrayElement(std::string_view name, int index, double delta);

    // The value of one formula token: a number when it begins with a decimal digit (its
    // leading numeric part), else the scalar of that name; 0 for a missing scalar, which sets
    // *notFound when given (cleared first).
    double GetTokenValue(std::string_view token, bool* notFound = nullptr) const;
    // Element of the named array: status kArrayOk and the value (0 beyond its length);
    // kArrayMissing and 0 when no array has the name; kArrayBadIndex and 0 for an index
    // outside 0..30000.
    double GetArrayValue(std::string_view name, int index, int& status) const;

    // Whether a formula value may be used as an array index: finite and 0 <= value < 30001.
    static bool IsArrayIndexValue(double value);

    // Stored form: layout 1 (marker, version, scalars, arrays); names in the file encoding.
    void Serialize(ArchiveWriter& ar, TextEncoding encoding) const;
    // Reads layout 1, or layout 0 (scalars only, no marker). Every count is checked against
    // the bytes left; on failure the stream is marked failed and the variables stay as they
    // were. On success the old variables are replaced.
    bool Serialize(ArchiveReader& ar, TextEncoding encoding);

    // The formula tokenizer. Skips blanks; an operator character ( ) + - * / [ ] is a token of
    // its own (blanks after it are skipped); any other token runs to the end, a blank or an
    // operator, multi-byte characters whole. pos moves past the token.
    static int NextToken(std::string_view text, std::size_t& pos, std::string& token);
    // The same with the token as a view into text (nothing is copied).
    static int NextToken(std::string_view text, std::size_t& pos, std::string_view& token);
    // The next token must be "(" (or "["): out is the text up to the matching ")" (or "]"),
    // nested pairs of the same kind counted, without the closing character; pos moves past it.
    // 0, or -1 when the opening or closing character is missing.
    static int ReadParenthesized(std::string_view text, std::size_t& pos, std::string& out);
    static int ReadBracketed(std::string_view text, std::size_t& pos, std::string& out);
    // The same with the enclosed text as a view into text.
    static int ReadParenthesized(std::string_view text, std::size_t& pos, std::string_view& out);
    static int ReadBracketed(std::string_view text, std::size_t& pos, std::string_view& out);

    const std::vector<ScalarVariableRecord>& Scalars() const { return scalars_; }
    // A copy of every scalar and array for the variable list.
    VariableListView ListView() const;
    const std::vector<ArrayVariableRecord>& Arrays() const { return arrays_; }

private:
    bool Assign(std::string_view name, double value, bool add, const FormulaEvaluator& evaluate);
    ArrayVariableRecord* FindOrAddArray(std::string_view name);
    const ScalarVariableRecord* FindScalar(std::string_view name) const;
    const ArrayVariableRecord* FindArray(std::string_view name) const;
    void RebuildIndexes();

    std::vector<ScalarVariableRecord> scalars_;  // in order of creation
    std::vector<ArrayVariableRecord> arrays_;    // in order of creation
    // Names looked up by view, without a copy of the name.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    using NameMap = std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>>;
    NameMap scalarIndex_;
    NameMap arrayIndex_;
};

}  // namespace rymd
