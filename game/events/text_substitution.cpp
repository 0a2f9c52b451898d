// The placeholders of message texts, filled in passes over the whole text; each pass sees what
// the passes before it wrote:
//   1. "%Year%" and "%Month%": the current date;
//   2. "%大名<formula>%", 3. "%城<formula>%", 4. "%武将<formula>%": the name of the house,
//      castle or general with that number, "???" when the formula fails or names none;
//   5. "%<scalar>%": the value of each script scalar, in the store's order;
//   6. "%<array>[<formula>]%": the element of each script array, in the store's order; an index
//      that fails or lies outside 0..30000 is replaced by "インデックス異常" between the brackets.
// Anything the passes do not recognise stays as written.
#include "game/events/text_substitution.h"

#include <cmath>
#include <string>

#include "game/events/formula.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"

namespace rymd {

namespace {

constexpr std::string_view kUnknownName = "???";
constexpr std::string_view kBadIndex = "インデックス異常";

// Every occurrence of what, left to right; the inserted text is not searched again.
void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
    if (what.empty()) return;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + with.size()))
        text.replace(p, what.size(), with);
}

// Pass 2, 3 or 4: marker, formula and closing "%" become the name of the record whose number
// the formula gives (index = number - 1 below count), or "???".
template <class NameOf>
void ReplaceNames(GameState& gs, std::string& text, std::string_view marker, int count, NameOf nameOf) {
    std::size_t p = text.find(marker);
    while (p != std::string::npos) {
        const std::size_t start = p + marker.size();
        const std::size_t close = text.find('%', start);
        const std::size_t end = close == std::string::npos ? text.size() : close;
        const std::string formula = text.substr(start, end - start);
        double value = 0.0;
        std::string replacement(kUnknownName);
        if (EvaluateFormula(gs, formula, value) == kFormulaOk) {
            const double index = std::trunc(value) - 1.0;
            if (index >= 0.0 && index < static_cast<double>(count))
                replacement = nameOf(static_cast<int>(index));
        }
        const std::size_t length = (close == std::string::npos ? end : close + 1) - p;
        text.replace(p, length, replacement);
        p = text.find(marker, p + replacement.size());
    }
}

// Pass 6 for one array.
void ReplaceArrayElements(GameState& gs, std::string& text, const ArrayVariableRecord& array) {
    std::string pattern = "%" + array.name + "[";
    for (std::size_t p = text.find(pattern); p != std::string::npos; p = text.find(pattern, p + 1)) {
        std::size_t pos = p + pattern.size() - 1;  // at the "["
        std::string_view indexText;
        if (CScriptVariables::ReadBracketed(text, pos, indexText) != 0) continue;
        if (pos >= text.size() || text[pos] != '%') continue;
        const std::size_t indexAt = static_cast<std::size_t>(indexText.data() - text.data());
        const std::size_t indexLength = indexText.size();
        double index = 0.0;
        // Here the index must lie in 0..30000 itself (30000.5 is an index error), where a
        // formula would take any value below 30001.
        if (EvaluateFormula(gs, indexText, index) == kFormulaOk && index >= 0.0 &&
            index <= CScriptVariables::kMaxArrayIndex) {
            int status = 0;
            const double value =
                gs.ScriptVariables.GetArrayValue(array.name, static_cast<int>(index), status);
            text.replace(p, pos + 1 - p, NumberToText(value));
        } else {
            text.replace(indexAt, indexLength, kBadIndex);
        }
    }
}

}  // namespace

std::string SubstituteText(GameState& gs, std::string_view source) {
    std::string text(source);
    if (text.find('%') == std::string::npos) return text;

    ReplaceAll(text, "%Year%", std::to_string(gs.nCurYear));
    ReplaceAll(text, "%Month%", std::to_string(gs.nCurMonth));

    ReplaceNames(gs, text, "%大名", DaimyouCount(gs), [&gs](int d) { return DaimyouAt(gs, d).name; });
    ReplaceNames(gs, text, "%城", ShiroCount(gs), [&gs](int c) { return ShiroMapAt(gs, c).name; });
    ReplaceNames(gs, text, "%武将", BushouCount(gs), [&gs](int g) { return BushouAt(gs, g).name; });

    // The store does not change while the text is filled (formulas only read it).
    for (const ScalarVariableRecord& s : gs.ScriptVariables.Scalars())
        ReplaceAll(text, "%" + s.name + "%", NumberToText(s.value));
    for (const ArrayVariableRecord& a : gs.ScriptVariables.Arrays())
        ReplaceArrayElements(gs, text, a);
    return text;
}

}  // namespace rymd
