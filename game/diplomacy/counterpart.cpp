#include "game/diplomacy/counterpart.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

struct ModeTexts {
    const char* caption;
    const char* prompt;
};

ModeTexts TextsOfMode(int mode) {
    switch (mode) {
        case kKoushouFusen:
            return {"不戦同盟交渉大名家選択", "国を指定し、不戦同盟交渉する大名家を選んでください"};
        case kKoushouJuuzokuYoukyuu:
            return {"従属要求大名家選択", "国を指定し、従属要求する大名家を選んでください"};
        case kKoushouShinjuuYoukyuu:
            return {"臣従要求大名家選択", "国を指定し、臣従要求する大名家を選んでください"};
        case kKoushouKuragae: return {"主家鞍替大名家選択", "国を指定し、主家鞍替する大名家を選んでください"};
        case kKoushouJuuzokuShigan:
            return {"従属志願大名家選択", "国を指定し、従属志願する大名家を選んでください"};
        case kKoushouShinjuuShigan:
            return {"臣従志願大名家選択", "国を指定し、臣従志願する大名家を選んでください"};
        case kKoushouHoryoKoukan:
            return {"捕虜交換大名家選択", "国を指定し、捕虜交換する大名家を選んでください"};
        default: return {"同盟破棄大名家選択", "国を指定し、同盟破棄する大名家を選んでください"};
    }
}

// The text with the houses' names in place of its "%s" marks, in order; the text's own word for
// house follows the scenario, the names stay as they are.
std::string PutNames(const GameState& gs, std::string_view text, std::initializer_list<int> houses) {
    const std::string pattern = ReplaceWordDaimyouke(text, gs.ScenarioWords);
    std::string out;
    auto house = houses.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%s") == 0 && house != houses.end()) {
            out += DaimyouAt(gs, *house++).name;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Named(const GameState& gs, std::string_view text, int house) {
    return PutNames(gs, text, {house});
}

KoushouAiteCheck Refuse(std::string text) {
    return {KoushouAiteCheck::kRefuse, std::move(text), -1, 0};
}

// The question whether to address the master of t instead.
KoushouAiteCheck AskShuka(const GameState& gs, std::string_view text, int t) {
    const int master = DaimyouAt(gs, t).masterDaimyou;
    return {KoushouAiteCheck::kAskShuka, PutNames(gs, text, {t, master}), master, 0};
}

bool Independent(const GameState& gs, int t) {
    return DaimyouAt(gs, t).bond == CDaimyou::kBondDokuritsu;
}

// A master to turn to: a house in play other than t.
bool HasShuka(const GameState& gs, int t) {
    const int master = DaimyouAt(gs, t).masterDaimyou;
    return master != t && HouseExists(gs, master);
}

// The checks of the mode on t before the per-turn mark (non-aggression only); empty when they pass.
std::optional<KoushouAiteCheck> CheckFusen(const GameState& gs, int player, int t) {
    const int state = DaimyouAt(gs, t).GetRelationLo(player);
    if (state == CDaimyou::kRelJuuzoku) return Refuse(Named(gs, "%sは既に従属済みです", t));
    if (state == CDaimyou::kRelShinjuu) return Refuse(Named(gs, "%sは既に臣従済みです", t));
    if (state == CDaimyou::kRelFusen) return Refuse(Named(gs, "%sとは既に不戦同盟済みです", t));
    if (!Independent(gs, t) && HasShuka(gs, t))
        return AskShuka(gs, "%sは独立大名家ではありません。主家の%sと不戦同盟交渉しますか？", t);
    if (state == CDaimyou::kRelShukuteki)
        return Refuse(Named(gs, "%sとは宿敵関係なので不戦同盟交渉できません", t));
    return std::nullopt;
}

// The checks of the mode after the per-turn mark; empty when they pass.
std::optional<KoushouAiteCheck> CheckMode(const GameState& gs, int mode, int player, int t) {
    const CDaimyou& house = DaimyouAt(gs, t);
    const int state = house.GetRelationLo(player);
    const ScenarioWordArray& w = gs.ScenarioWords;
    switch (mode) {
        case kKoushouJuuzokuYoukyuu:
            if (state == CDaimyou::kRelJuuzoku) return Refuse(Named(gs, "%sは既に従属済みです", t));
            if (state == CDaimyou::kRelShinjuu) return Refuse(Named(gs, "%sは既に臣従済みです", t));
            if (state != CDaimyou::kRelFusen)
                return Refuse(ReplaceWordDaimyouke("当家と不戦同盟済みの大名家にのみ従属要求できます", w));
            if (!Independent(gs, t) && HasShuka(gs, t))
                return AskShuka(gs, "%sは独立大名家ではありません。主家の%sに従属要求を出しますか？", t);
            return std::nullopt;
        case kKoushouShinjuuYoukyuu:
            if (state == CDaimyou::kRelShinjuu) return Refuse(Named(gs, "%sは既に臣従済みです", t));
            if (state != CDaimyou::kRelJuuzoku)
                return Refuse(ReplaceWordDaimyouke("当家に従属済みの大名家にのみ臣従要求できます", w));
            return std::nullopt;
        case kKoushouKuragae:
            if (IsValidDaimyou(gs, player) && DaimyouAt(gs, player).masterDaimyou == t)
                return Refuse(Named(gs, "%sは既に当家の主家です", t));
            if (!Independent(gs, t))
                return Refuse(Named(gs, "%sは独立大名家ではないので主家鞍替できません", t));
            return std::nullopt;
        case kKoushouJuuzokuShigan:
            if (!Independent(gs, t))
                return Refuse(Named(gs, "%sは独立大名家ではないので従属志願できません", t));
            return std::nullopt;
        case kKoushouShinjuuShigan:
            if (!Independent(gs, t))
                return Refuse(Named(gs, "%sは独立大名家ではないので臣従志願できません", t));
            return std::nullopt;
        case kKoushouFusen:
        case kKoushouHoryoKoukan: return std::nullopt;
        default:
            if (state == CDaimyou::kRelShukuteki) return Refuse(Named(gs, "%sとは同盟を結んでいません", t));
            if (!Independent(gs, t) && state != CDaimyou::kRelJuuzoku && state != CDaimyou::kRelShinjuu &&
                HasShuka(gs, t))
                return AskShuka(gs, "%sは独立大名家ではありません。主家の%sと同盟破棄しますか？", t);
            return std::nullopt;
    }
}

}  // namespace

std::string KoushouAiteCaption(const GameState& gs, int mode) {
    return ReplaceWordDaimyouke(TextsOfMode(mode).caption, gs.ScenarioWords);
}

std::string KoushouAitePrompt(const GameState& gs, int mode) {
    return ReplaceWordDaimyouke(TextsOfMode(mode).prompt, gs.ScenarioWords);
}

std::vector<int> HousesInKuni(const GameState& gs, int kuni) {
    std::vector<std::uint8_t> present(static_cast<std::size_t>(DaimyouCount(gs)), 0);
    for (int c : ShiroIndexes(gs)) {
        if (ShiroMapAt(gs, c).kuni != kuni) continue;
        const CShiro& s = ShiroAt(gs, c);
        if (IsValidDaimyou(gs, s.daimyou)) present[static_cast<std::size_t>(s.daimyou)] = 1;
        if (s.nBesieger > 0 && IsValidDaimyou(gs, s.besiegerDaimyou))
            present[static_cast<std::size_t>(s.besiegerDaimyou)] = 1;
    }
    std::vector<int> houses;
    for (int d : DaimyouIndexes(gs))
        if (present[static_cast<std::size_t>(d)] && HouseExists(gs, d)) houses.push_back(d);
    return houses;
}

bool IsEnvoyShiro(const GameState& gs, int player, int shiro) {
    if (!IsValidShiro(gs, shiro) || !IsValidDaimyou(gs, player)) return false;
    const int owner = ShiroAt(gs, shiro).daimyou;
    if (!IsValidDaimyou(gs, owner)) return false;
    const CDaimyou& h = DaimyouAt(gs, owner);
    return (h.bond == CDaimyou::kBondShinjuu ? h.masterDaimyou : owner) == player;
}

std::vector<int> EnvoyBushouOfShiro(const GameState& gs, int shiro) {
    std::vector<int> out;
    if (!IsValidShiro(gs, shiro)) return out;
    const CShiro& s = ShiroAt(gs, shiro);
    for (int i = 0; i < std::min<int>(s.nBushou, CShiro::kMaxBushou); ++i) {
        const int b = s.bushou[static_cast<std::size_t>(i)];
        if (IsValidBushou(gs, b) && !(BushouAt(gs, b).flags & CBushou::kFlagOrdered)) out.push_back(b);
    }
    return out;
}

void MarkEnvoySent(GameState& gs, int bushou) {
    if (IsValidBushou(gs, bushou)) BushouAt(gs, bushou).flags |= CBushou::kFlagOrdered;
}

std::int64_t FusenDoumeiCost(const GameState& gs, int house) {
    if (!IsValidDaimyou(gs, house)) return 0;
    return static_cast<std::int64_t>(std::trunc(0.1 * static_cast<double>(SumKokudakaOfDaimyou(gs, house))));
}

KoushouAiteCheck CheckKoushouAite(const GameState& gs, int mode, int player, int t) {
    if (IsValidDaimyou(gs, player) && t == player)
        return Refuse(ReplaceWordDaimyouke("当家以外の大名家を指定してください", gs.ScenarioWords));
    // A house that fell while the player was choosing.
    if (!HouseExists(gs, t) || !IsValidDaimyou(gs, player))
        return Refuse(ReplaceWordDaimyouke("その大名家はすでに滅亡しています", gs.ScenarioWords));
    if (mode == kKoushouFusen)
        if (auto refused = CheckFusen(gs, player, t)) return *refused;
    if (mode != kKoushouHoryoKoukan && gs.GaikouDealt[static_cast<std::size_t>(t)] != 0)
        return Refuse(Named(gs, "%sとはすでに今回のターンで交渉済みです", t));
    if (auto refused = CheckMode(gs, mode, player, t)) return *refused;
    const std::string name = DaimyouAt(gs, t).name;
    if (mode == kKoushouFusen) {
        const std::int64_t cost = FusenDoumeiCost(gs, t);
        if (cost > DaimyouAt(gs, player).shikin) return Refuse("資金が足りません");
        return {KoushouAiteCheck::kConfirm,
                FormatText("%sに使者を送り交渉を行います（成功すると%lldの費用が必要）", name.c_str(),
                           static_cast<long long>(cost)),
                t, cost};
    }
    if (mode != kKoushouJuuzokuYoukyuu && mode != kKoushouShinjuuYoukyuu && mode != kKoushouKuragae &&
        mode != kKoushouJuuzokuShigan && mode != kKoushouShinjuuShigan && mode != kKoushouHoryoKoukan)
        return {KoushouAiteCheck::kConfirm, FormatText("%sに使者を送り同盟を破棄します", name.c_str()), t, 0};
    return {KoushouAiteCheck::kConfirm, FormatText("%sに使者を送り交渉を行います", name.c_str()), t, 0};
}

}  // namespace rymd
