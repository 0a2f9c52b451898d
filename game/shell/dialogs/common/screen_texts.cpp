#include "game/shell/dialogs/common/screen_texts.h"

#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

const ScenarioWordArray& ScreenWords(const GameState* gs) {
    static const ScenarioWordArray builtIn = [] {
        ScenarioWordArray w;
        ResetScenarioWords(w);
        return w;
    }();
    return gs ? gs->ScenarioWords : builtIn;
}

std::string KokudakaText(long long yield, const GameState* gs) {
    return ReplaceWordKoku(
        FormatText("%d万%04d石", static_cast<int>(yield / 10000), static_cast<int>(yield % 10000)),
        ScreenWords(gs));
}

std::string MapText(const std::string& bytes, const GameState* gs) {
    return ToUtf8(bytes, gs ? gs->Encoding() : TextEncoding::ShiftJis);
}

std::string KuniNameText(const MbKorMap::CCtrlKorMap& map, int kuni, const GameState* gs) {
    if (kuni < 0 || kuni >= map.KuniCount()) return "";
    return MapText(map.Kuni(kuni).name, gs);
}

}  // namespace rymd::shell
