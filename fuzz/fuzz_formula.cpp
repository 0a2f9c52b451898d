// Feeds arbitrary text to the formula evaluator and to the text substitution over a small world
// with script variables: whatever the text, an error code or a finite value, never a crash, a
// hang or an unbounded recursion; a failed formula leaves the value as it was.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "game/events/formula.h"
#include "game/events/text_substitution.h"
#include "game/state/access.h"
#include "game/state/game_state.h"

namespace {

// Three houses (H0..H2) holding four castles (S0..S3), six generals (B0..B5), a scalar and an array.
rymd::GameState& World() {
    static auto* gs = [] {
        auto* g = new rymd::GameState;
        g->nCurYear = 1560;
        g->nCurMonth = 4;
        g->nHeiUnit = 10;
        g->nDaimyou = g->nScenarioDaimyou = 4;  // the last is a started game's dummy house
        g->nShiro = 4;
        g->nBushou = 6;
        for (int d = 0; d < 4; ++d) {
            rymd::CDaimyou& h = g->DaimyouTbl[static_cast<std::size_t>(d)];
            h.toushu = d < 3 ? d : -1;
            h.masterDaimyou = d == 2 ? 0 : d;
            h.bond = d == 2 ? rymd::CDaimyou::kBondShinjuu : rymd::CDaimyou::kBondDokuritsu;
            h.name = "家";
        }
        for (int c = 0; c < 4; ++c) {
            g->ShiroTbl[static_cast<std::size_t>(c)].daimyou = static_cast<std::int16_t>(c % 3);
            g->ShiroTbl[static_cast<std::size_t>(c)].kokudaka = 1000u * static_cast<unsigned>(c + 1);
            g->ShiroMapTbl[static_cast<std::size_t>(c)].name = "城";
        }
        for (int b = 0; b < 6; ++b) {
            rymd::CBushou& w = g->BushouTbl[static_cast<std::size_t>(b)];
            w.name = "将";
            w.id = static_cast<std::int16_t>(b);
            w.daimyou = static_cast<std::int16_t>(b < 5 ? b % 3 : rymd::CBushou::kDaimyouHitojichi);
            w.shiro = static_cast<std::int16_t>(b % 4);
            w.status = b == 5 ? rymd::CBushou::kStatusHoryo : 0;
            w.holderDaimyou = 1;
            w.flags = b == 4 ? rymd::CBushou::kFlagBesieging : 0;
            w.foot = 30;
        }
        std::vector<rymd::CNameIndex::IdSlot> ids(6);
        for (int i = 0; i < 6; ++i)
            std::snprintf(ids[static_cast<std::size_t>(i)].data(), rymd::CNameIndex::kSlotBytes, "H%d", i);
        g->NameIndex.SetList1(3, ids.data());
        for (int i = 0; i < 6; ++i)
            std::snprintf(ids[static_cast<std::size_t>(i)].data(), rymd::CNameIndex::kSlotBytes, "S%d", i);
        g->NameIndex.SetList3(4, ids.data());
        for (int i = 0; i < 6; ++i)
            std::snprintf(ids[static_cast<std::size_t>(i)].data(), rymd::CNameIndex::kSlotBytes, "B%d", i);
        g->NameIndex.SetList4(6, ids.data());
        const auto eval = rymd::FormulaEvaluatorFor(*g);
        g->ScriptVariables.SetVariable("x", 2.5, eval);
        g->ScriptVariables.SetVariable("a[3]", 7, eval);
        return g;
    }();
    return *gs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rymd::GameState& gs = World();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr double kUntouched = -7.0;
    double value = kUntouched;
    const int code = rymd::EvaluateFormula(gs, text, value);
    if (code < rymd::kFormulaOk || code > rymd::kFormulaBadArgument) __builtin_trap();
    if (code == rymd::kFormulaOk && !std::isfinite(value)) __builtin_trap();
    if (code != rymd::kFormulaOk && value != kUntouched) __builtin_trap();
    // The same text as a message: its placeholders are formulas too. A text that grew beyond
    // what its placeholders can put in would mean a runaway pass.
    if (size <= 4096 && rymd::SubstituteText(gs, text).size() > 64 * size + 64) __builtin_trap();
    return 0;
}
