#include "game/shell/window/status_bar.h"

#include <cstdlib>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "game/turn/main_game.h"
#include "platform/core/format_text.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace rymd::shell {

std::string StatusDateText(int year, int month, const GameState* gs) {
    const std::string era = year < 0 ? ReplaceWordBC("B.C.", ScreenWords(gs)) : std::string();
    return era + FormatText("%4d年%2d月", std::abs(year), month);
}

std::string ShiroCountText(int count, const GameState* gs) {
    return ReplaceWordShiro(FormatText("城 %d", count), ScreenWords(gs));
}

std::string PhaseCaptionText(const GameState& gs) {
    if (gs.bViewOnly) return "閲覧専用";
    const int phase = gs.nPhase;
    const char* name = phase >= 0 && phase < static_cast<int>(kPhaseNameTbl.size())
                           ? kPhaseNameTbl[static_cast<std::size_t>(phase)]
                           : "";
    return std::string(name) + "フェイズ";
}

void DrawStatusInfo(ui::Dc& dc, const GameState& gs) {
    ui::Font font;
    font.CreateFont(16, 0, 0, 0, ui::FW_BOLD, false, false, false, ui::SHIFTJIS_CHARSET, 0, 0, 0, 0,
                    "ＭＳ ゴシック");
    dc.SelectFont(&font);
    dc.SetBkMode(ui::TRANSPARENT);
    const int house = gs.nCurDaimyou;
    const bool valid = IsValidDaimyou(gs, house);
    auto line = [&dc](const std::string& text, int left) {
        const unsigned fmt = ui::DT_SINGLELINE | ui::DT_NOPREFIX;
        dc.SetTextColor(ui::RGB(217, 209, 202));
        dc.DrawText(text, ui::Rect(left + 1, 28, 561, 44), fmt);
        dc.SetTextColor(ui::RGB(41, 36, 29));
        dc.DrawText(text, ui::Rect(left, 27, 560, 43), fmt);
    };
    if (valid) line(DaimyouAt(gs, house).name, 140);
    line(StatusDateText(gs.nCurYear, gs.nCurMonth, &gs), 20);
    if (valid) {
        line(KokudakaText(SumKokudakaOfDaimyou(gs, house), &gs), 332);
        line(ShiroCountText(CountShiroOfDaimyou(gs, house), &gs), 484);
    }
    dc.SelectFont(nullptr);
}

}  // namespace rymd::shell
