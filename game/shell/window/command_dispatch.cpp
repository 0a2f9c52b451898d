#include "game/shell/window/command_dispatch.h"

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"

namespace rymd::shell {

namespace {

// The by-water forms of the general move and the sortie. The domestic phase's sixth button orders
// warships: building ships at the castles of a province is a domestic order paid from the house's
// funds, beside the trade ships' construction.
constexpr const char* kCaptions[kCommandPages][kCommandCount] = {
    {},
    {"捕虜処遇", "捕虜交換", "客将招請", "人質処遇"},
    {"徴兵", "鉄砲配備", "城普請", "城兵糧補充", "軍団編成", "軍団指示", "軍団所領", "軍団資産"},
    {"不戦同盟交渉", "従属要求", "臣従要求", "外交関係破棄", "独立", "主家鞍替", "従属志願", "臣従志願"},
    {"楽市楽座", "新田開墾", "鉱山開発", "交易船派遣", "交易船建造", "軍船建造", "鉄砲生産", "鉄砲購入"},
    {"武将移動", "水路武将移動"},
    {"出陣", "水路出陣"},
};

constexpr const char* kNoKuni = "国を選択してください";
constexpr const char* kBarred = "今回のターンではこれ以上外交コマンドは実行できません";
constexpr const char* kTooFar = "当主の所在地から遠すぎるため、";
constexpr const char* kNearOnly = "\n（当主と同じ国か、隣接国のみ指示可能です）";

int HouseKind(const GameState& gs) {
    return IsValidDaimyou(gs, gs.nPlayerDaimyou) ? DaimyouAt(gs, gs.nPlayerDaimyou).bond : 0;
}

bool HasHeld(const GameState& gs, int status) {
    for (int b : BushouIndexes(gs)) {
        const CBushou& g = BushouAt(gs, b);
        if (g.daimyou != -1 && g.status == status && g.holderDaimyou == gs.nPlayerDaimyou) return true;
    }
    return false;
}

// The head's province is the selected one or touches it.
bool NearHead(const GameState& gs, int kuni) {
    return IsKuniNearHead(gs, gs.nPlayerDaimyou, kuni);
}

}  // namespace

const char* CommandCaption(int page, int i) {
    if (page < 0 || page >= kCommandPages || i < 0 || i >= kCommandCount) return "";
    const char* c = kCaptions[page][i];
    return c ? c : "";
}

std::string CommandButtonCaption(int page, int i, const GameState& gs) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    std::string s = CommandCaption(page, i);
    if (s.empty()) return s;
    if (page == 2 && i == 3) return ReplaceWordHyourou(ReplaceWordShiro(s, w), w);
    if (page == 2 && i == 2) return ReplaceWordShiroFushin(s, w);
    if (page >= 5) return ReplaceWordRikuro(ReplaceWordSuiro(s, w), w);
    for (auto* replace : {ReplaceWordKouekisen, ReplaceWordTeppouKounyuu, ReplaceWordTeppouSeisan,
                          ReplaceWordTeppouHaibi, ReplaceWordKouekisen, ReplaceWordGunsen, ReplaceWordTeppou,
                          ReplaceWordKaikon, ReplaceWordRakuichi, ReplaceWordKouzanKaihatsu})
        s = replace(s, w);
    return s;
}

int CommandIndexOfId(int id) {
    for (int i = 0; i < kCommandCount; ++i)
        if (kCommandIdTbl[static_cast<std::size_t>(i)] == id) return i;
    return -1;
}

std::string RefuseCommand(const GameState& gs, int phase, int i, const CommandSituation& situation) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    const bool noKuni = situation.selectedKuni == -1;
    const int kind = HouseKind(gs);
    auto house = [&w](const char* text) { return ReplaceWordDaimyouke(text, w); };
    auto notNegotiating = [&]() -> std::string {
        if (kind == CDaimyou::kBondJuuzoku) return house("当家は従属大名家なので外交交渉できません");
        if (kind == CDaimyou::kBondShinjuu) return house("当家は臣従大名家なので外交交渉できません");
        return "";
    };
    auto tooFar = [&](const std::string& what) -> std::string {
        return NearHead(gs, situation.selectedKuni) ? "" : kTooFar + what + kNearOnly;
    };
    switch (phase) {
        case 1:
            if (i == 0 || i == 1)
                return HasHeld(gs, CBushou::kStatusHoryo) ? "" : "現在、当家には捕虜がいません";
            if (i == 3) return HasHeld(gs, CBushou::kStatusHitojichi) ? "" : "現在、当家には人質がいません";
            return "";
        case 2:
            if (i <= 3 && noKuni) return kNoKuni;
            return "";
        case 3:
            if (i <= 2) {
                if (noKuni) return kNoKuni;
                return notNegotiating();
            }
            if (i == 3) return notNegotiating();
            if (i == 4) {
                if (kind == CDaimyou::kBondDokuritsu) return house("当家は既に独立大名家です");
                return gs.bGaikouBarred ? kBarred : "";
            }
            if (gs.bGaikouBarred) return kBarred;
            if (i == 5)
                return kind == CDaimyou::kBondDokuritsu
                           ? house("当家は独立大名家なのでこのコマンドは使用できません")
                           : "";
            return kind != CDaimyou::kBondDokuritsu
                       ? house("当家は独立大名家ではないのでこのコマンドは使用できません")
                       : "";
        case 4:
            if (i >= 6) return "";
            if (noKuni) return kNoKuni;
            switch (i) {
                case 0: return tooFar(ReplaceWordRakuichi("楽市楽座の指示ができません", w));
                case 1:
                    if (gs.nCurMonth >= 3 && gs.nCurMonth < 9)
                        return ReplaceWordNouhanki(
                            ReplaceWordKaikon("農繁期（３～８月）は新田開墾できません", w), w);
                    return tooFar(ReplaceWordKaikon("新田開墾指示できません", w));
                case 2: return tooFar(ReplaceWordKouzanKaihatsu("鉱山開発の指示ができません", w));
                case 3: return tooFar(ReplaceWordKouekisen("交易船派遣の指示ができません", w));
                case 4:
                case 5: return tooFar("船舶建造の指示ができません");
                default: return "";
            }
        case 5:
        case 6:
            if (i > 1) return "";
            if (noKuni) return kNoKuni;
            if (kind == CDaimyou::kBondShinjuu)
                return phase == 5
                           ? ReplaceWordBushou(house("当家は臣従大名家なので武将移動は主家が行います"), w)
                           : house("当家は臣従大名家なので出陣は主家が行います");
            return "";
        default: return "";
    }
}

bool RunCommand(GameState& gs, int phase, int i, const CommandSituation& situation,
                const std::function<void(const std::string&)>& inform) {
    const CommandDialog* dialog = FindCommandDialog(phase, i);
    if (!dialog || CommandCaption(phase, i)[0] == '\0') return false;
    const std::string refusal = RefuseCommand(gs, phase, i, situation);
    if (!refusal.empty()) {
        inform(refusal);
        return false;
    }
    (*dialog)(phase, i, situation);
    return true;
}

}  // namespace rymd::shell
