#include "game/state/script_variables.h"

#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "platform/core/archive.h"

namespace rymd {

namespace {

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsOperatorChar(char c) {
    return c == '(' || c == ')' || c == '+' || c == '-' || c == '*' || c == '/' || c == '[' || c == ']';
}

// The leading numeric part of a text, read as the C library reads numbers in the "C" locale
// (whatever locale the program runs in). Only the characters a number can be made of are
// copied, so a short token needs no allocation.
double LeadingNumber(std::string_view token) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    constexpr std::size_t kLocal = 64;
    std::size_t n = 0;
    while (n < token.size() && token[n] != '\0' && static_cast<unsigned char>(token[n]) < 0x80)
        ++n;
    if (n < kLocal) {
        char local[kLocal];
        token.copy(local, n);
        local[n] = '\0';
        return strtod_l(local, nullptr, cLocale);
    }
    const std::string text(token.substr(0, n));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

int ReadEnclosed(std::string_view text, std::size_t& pos, std::string_view& out, char open, char close) {
    std::size_t p = pos;
    std::string_view token;
    if (CScriptVariables::NextToken(text, p, token) == CScriptVariables::kTokenEnd || token.size() != 1 ||
        token[0] != open)
        return -1;
    // NextToken skipped the blanks after the opening character; the enclosed text starts there.
    int depth = 1;
    for (std::size_t i = p; i < text.size(); ++i) {
        if (text[i] == open) {
            ++depth;
        } else if (text[i] == close && --depth == 0) {
            out = text.substr(p, i - p);
            pos = i + 1;
            return 0;
        }
    }
    return -1;
}

int ReadEnclosed(std::string_view text, std::size_t& pos, std::string& out, char open, char close) {
    std::string_view view;
    const int result = ReadEnclosed(text, pos, view, open, close);
    if (result == 0) out.assign(view);
    return result;
}

}  // namespace

void CScriptVariables::Clear() {
    scalars_.clear();
    scalars_.shrink_to_fit();
    arrays_.clear();
    arrays_.shrink_to_fit();
    scalarIndex_.clear();
    arrayIndex_.clear();
}

bool CScriptVariables::IsArrayIndexValue(double value) {
    return std::isfinite(value) && value >= 0.0 && value < kMaxArrayIndex + 1.0;
}

int CScriptVariables::NextToken(std::string_view text, std::size_t& pos, std::string& token) {
    std::string_view view;
    const int result = NextToken(text, pos, view);
    token.assign(view);
    return result;
}

int CScriptVariables::NextToken(std::string_view text, std::size_t& pos, std::string_view& token) {
    token = {};
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos >= text.size()) return kTokenEnd;
    if (IsOperatorChar(text[pos])) {
        token = text.substr(pos, 1);
        ++pos;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        return pos < text.size() && text[pos] == '[' ? kTokenSubscript : kTokenPlain;
    }
    // Bytes of multi-byte characters are never blanks or operators, so a character is never
    // split here.
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] != ' ' && !IsOperatorChar(text[pos]))
        ++pos;
    token = text.substr(start, pos - start);
    return pos < text.size() && text[pos] == '[' ? kTokenSubscript : kTokenPlain;
}

int CScriptVariables::ReadParenthesized(std::string_view text, std::size_t& pos, std::string& out) {
    return ReadEnclosed(text, pos, out, '(', ')');
}

int CScriptVariables::ReadBracketed(std::string_view text, std::size_t& pos, std::string& out) {
    return ReadEnclosed(text, pos, out, '[', ']');
}

int CScriptVariables::ReadParenthesized(std::string_view text, std::size_t& pos, std::string_view& out) {
    return ReadEnclosed(text, pos, out, '(', ')');
}

int CScriptVariables::ReadBracketed(std::string_view text, std::size_t& pos, std::string_view& out) {
    return ReadEnclosed(text, pos, out, '[', ']');
}

bool CScriptVariables::Assign(std::string_view name, double value, bool add,
                              const FormulaEvaluator& evaluate) {
    if (name.empty() || !IsAsciiLetter(static_cast<unsigned char>(name[0]))) return false;
    std::size_t pos = 0;
    std::string_view token;
    if (NextToken(name, pos, token) != kTokenSubscript) {
        // The whole name names a scalar.
        const auto it = scalarIndex_.find(name);
        if (it != scalarIndex_.end()) {
            double& v = scalars_[it->second].value;
            v = add ? v + value : value;
        } else {
            scalarIndex_.emplace(std::string(name), scalars_.size());
            scalars_.push_back({std::string(name), value});
        }
        return true;
    }
    std::string_view indexText;
    if (ReadBracketed(name, pos, indexText) != 0) return false;
    double index = 0.0;
    if (!evaluate || evaluate(indexText, index) != 0) return false;
    if (!IsArrayIndexValue(index)) return false;
    if (add)
        AddToArrayElement(token, static_cast<int>(index), value);
    else
        SetArrayElement(token, static_cast<int>(index), value);
    return true;
}

bool CScriptVariables::SetVariable(std::string_view name, double value, const FormulaEvaluator& evaluate) {
    return Assign(name, value, false, evaluate);
}

bool CScriptVariables::AddToVariable(std::string_view name, double delta, const FormulaEvaluator& evaluate) {
    return Assign(name, delta, true, evaluate);
}

ArrayVariableRecord* CScriptVariables::FindOrAddArray(std::string_view name) {
    const auto it = arrayIndex_.find(name);
    if (it != arrayIndex_.end()) return &arrays_[it->second];
    arrayIndex_.emplace(std::string(name), arrays_.size());
    arrays_.push_back({std::string(name), {}});
    return &arrays_.back();
}

void CScriptVariables::SetArrayElement(std::string_view name, int index, double value) {
    if (index < 0 || index > kMaxArrayIndex) return;
    ArrayVariableRecord* a = FindOrAddArray(name);
    const std::size_t i = static_cast<std::size_t>(index);
    if (i >= a->values.size()) a->values.resize(i + 1, 0.0);
    a->values[i] = value;
}

void CScriptVariables::AddToArrayElement(std::string_view name, int index, double delta) {
    if (index < 0 || index > kMaxArrayIndex) return;
    ArrayVariableRecord* a = FindOrAddArray(name);
    const std::size_t i = static_cast<std::size_t>(index);
    if (i >= a->values.size()) {
        a->values.resize(i + 1, 0.0);
        a->values[i] = delta;
    } else {
        a->values[i] += delta;
    }
}

const ScalarVariableRecord* CScriptVariables::FindScalar(std::string_view name) const {
    const auto it = scalarIndex_.find(name);
    return it == scalarIndex_.end() ? nullptr : &scalars_[it->second];
}

const ArrayVariableRecord* CScriptVariables::FindArray(std::string_view name) const {
    const auto it = arrayIndex_.find(name);
    return it == arrayIndex_.end() ? nullptr : &arrays_[it->second];
}

double CScriptVariables::GetTokenValue(std::string_view token, bool* notFound) const {
    if (notFound) *notFound = false;
    if (!token.empty() && token[0] >= '0' && token[0] <= '9') return LeadingNumber(token);
    if (const ScalarVariableRecord* s = FindScalar(token)) return s->value;
    if (notFound) *notFound = true;
    return 0.0;
}

double CScriptVariables::GetArrayValue(std::string_view name, int index, int& status) const {
    if (index < 0 || index > kMaxArrayIndex) {
        status = kArrayBadIndex;
        return 0.0;
    }
    const ArrayVariableRecord* a = FindArray(name);
    if (!a) {
        status = kArrayMissing;
        return 0.0;
    }
    status = kArrayOk;
    const std::size_t i = static_cast<std::size_t>(index);
    return i < a->values.size() ? a->values[i] : 0.0;
}

void CScriptVariables::RebuildIndexes() {
    scalarIndex_.clear();
    arrayIndex_.clear();
    // A name stored twice is found at its first entry.
    for (std::size_t i = 0; i < scalars_.size(); ++i)
        scalarIndex_.emplace(scalars_[i].name, i);
    for (std::size_t i = 0; i < arrays_.size(); ++i)
        arrayIndex_.emplace(arrays_[i].name, i);
}

void CScriptVariables::Serialize(ArchiveWriter& ar, TextEncoding encoding) const {
    ar.WriteU32(kLayoutMarker);
    ar.WriteU32(kLayoutVersion);
    ar.WriteU32(static_cast<std::uint32_t>(scalars_.size()));
    for (const ScalarVariableRecord& s : scalars_) {
        ar.WriteCString(FromUtf8(s.name, encoding));
        ar.WriteF64(s.value);
    }
    ar.WriteU32(static_cast<std::uint32_t>(arrays_.size()));
    for (const ArrayVariableRecord& a : arrays_) {
        ar.WriteCString(FromUtf8(a.name, encoding));
        ar.WriteU32(static_cast<std::uint32_t>(a.values.size()));
        for (double v : a.values)
            ar.WriteF64(v);
    }
}

bool CScriptVariables::Serialize(ArchiveReader& ar, TextEncoding encoding) {
    // Smallest stored sizes: a scalar is a one-byte empty name and a double; an array is a
    // one-byte empty name and its length.
    constexpr std::size_t kMinScalarBytes = 1 + 8;
    constexpr std::size_t kMinArrayBytes = 1 + 4;

    std::uint32_t version = 0;
    std::uint32_t nScalar = ar.ReadU32();
    if (nScalar == kLayoutMarker) {
        version = ar.ReadU32();
        nScalar = ar.ReadU32();
    }
    if (!ar.Ok() || version > kLayoutVersion || nScalar > ar.Remaining() / kMinScalarBytes) {
        ar.Fail();
        return false;
    }
    std::vector<ScalarVariableRecord> scalars(nScalar);
    for (ScalarVariableRecord& s : scalars) {
        s.name = ToUtf8(ar.ReadCString(), encoding);
        s.value = ar.ReadF64();
        if (!ar.Ok()) return false;
    }
    std::vector<ArrayVariableRecord> arrays;
    if (version >= 1) {
        const std::uint32_t nArray = ar.ReadU32();
        if (!ar.Ok() || nArray > ar.Remaining() / kMinArrayBytes) {
            ar.Fail();
            return false;
        }
        arrays.resize(nArray);
        for (ArrayVariableRecord& a : arrays) {
            a.name = ToUtf8(ar.ReadCString(), encoding);
            const std::uint32_t length = ar.ReadU32();
            // No index beyond 30000 is ever written, so no array is longer than 30001.
            if (!ar.Ok() || length > static_cast<std::uint32_t>(kMaxArrayIndex) + 1 ||
                length > ar.Remaining() / 8) {
                ar.Fail();
                return false;
            }
            a.values.resize(length);
            for (double& v : a.values)
                v = ar.ReadF64();
            if (!ar.Ok()) return false;
        }
    }
    scalars_ = std::move(scalars);
    arrays_ = std::move(arrays);
    RebuildIndexes();
    return true;
}

VariableListView CScriptVariables::ListView() const {
    VariableListView v;
    v.scalars.reserve(scalars_.size());
    for (const ScalarVariableRecord& s : scalars_)
        v.scalars.emplace_back(s.name, s.value);
    v.arrays.reserve(arrays_.size());
    for (const ArrayVariableRecord& a : arrays_)
        v.arrays.emplace_back(a.name, a.values);
    return v;
}

}  // namespace rymd
