#include "game/diplomacy/player_gaikou.h"

#include "game/diplomacy/bonds.h"
#include "game/diplomacy/counterpart.h"
#include "game/diplomacy/envoys.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/succession.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

std::string NameOf(const GameState& gs, int house) {
    return IsValidDaimyou(gs, house) ? DaimyouAt(gs, house).name : std::string();
}

// The text with the house's name in place of its "%s".
void Tell(const GameState& gs, const Ports& ports, std::string_view text, int house) {
    std::string told(text);
    if (const auto at = told.find("%s"); at != std::string::npos) told.replace(at, 2, NameOf(gs, house));
    ports.inform->Inform(told);
}

void MarkDealt(GameState& gs, int house) {
    if (house >= 0 && house < GameState::kMaxDaimyou) gs.GaikouDealt[static_cast<std::size_t>(house)] = 1;
}

// Every corps whose leader is a general who no longer belongs to it gets a successor.
void SucceedLostGundanLeaders(GameState& gs, const Ports& ports) {
    for (int c = 0; c < GameState::kMaxGundan; ++c) {
        const int leader = gs.GundanTbl[static_cast<std::size_t>(c)].leader;
        if (leader < 0 || !IsValidBushou(gs, leader) || BushouAt(gs, leader).gundan == c) continue;
        const std::string name = BushouAt(gs, leader).name;  // the successor search may move the record
        SucceedGundanchou(gs, ports, c, name);
    }
}

}  // namespace

int KoushouModeOfCommand(int command) {
    switch (command) {
        case kGaikouFusenDoumei: return kKoushouFusen;
        case kGaikouJuuzokuYoukyuu: return kKoushouJuuzokuYoukyuu;
        case kGaikouShinjuuYoukyuu: return kKoushouShinjuuYoukyuu;
        case kGaikouKankeiHaki: return kKoushouHaki;
        case kGaikouKuragae: return kKoushouKuragae;
        case kGaikouJuuzokuShigan: return kKoushouJuuzokuShigan;
        case kGaikouShinjuuShigan: return kKoushouShinjuuShigan;
        default: return -2;
    }
}

GaikouResult ProposeToHouse(GameState& gs, const Ports& ports, int command, int target) {
    GaikouResult result;
    const int player = gs.nPlayerDaimyou;
    if (!HouseExists(gs, player) || !HouseExists(gs, target) || target == player) return result;
    switch (command) {
        case kGaikouFusenDoumei:
            result.accepted = NegotiateFusenDoumei(gs, ports, player, target);
            if (!result.accepted) {
                Tell(gs, ports, "%sは不戦同盟に応じませんでした", target);
                break;
            }
            Tell(gs, ports, "%sと不戦同盟を結びました", target);
            if (DaimyouAt(gs, target).GetBehaviour() == CDaimyou::kBehaviourNormal &&
                IsDaimyouRinsetsu(gs, player, target))
                Tell(gs, ports, "当家は%sとの交易を開始しました", target);
            break;
        case kGaikouJuuzokuYoukyuu:
            result.accepted = SendJuuzokuYoukyuuShisha(gs, ports, player, target);
            Tell(gs, ports, result.accepted ? "%sは当家に従属しました" : "%sは従属要求に応じませんでした",
                 target);
            break;
        case kGaikouShinjuuYoukyuu:
            result.accepted = SendShinjuuYoukyuuShisha(gs, ports, player, target);
            if (result.accepted)
                result.shinjuuNotice = FormatText("%sは当家に臣従しました", NameOf(gs, target).c_str());
            else
                Tell(gs, ports, "%sは臣従要求に応じませんでした", target);
            break;
        default: return result;
    }
    MarkDealt(gs, target);
    return result;
}

void BreakBondWith(GameState& gs, const Ports& ports, int house) {
    const int player = gs.nPlayerDaimyou;
    if (!HouseExists(gs, player) || !HouseExists(gs, house) || house == player) return;
    Tell(gs, ports, "%sとの外交関係を破棄しました", house);
    DissolveDaimyouBond(gs, ports, player, house);
    SucceedLostGundanLeaders(gs, ports);
    MarkDealt(gs, house);
}

bool DeclarePlayerDokuritsu(GameState& gs, const Ports& ports) {
    const int player = gs.nPlayerDaimyou;
    if (!HouseExists(gs, player) || DaimyouAt(gs, player).bond == CDaimyou::kBondDokuritsu) return false;
    const int master = DaimyouAt(gs, player).masterDaimyou;
    if (!ports.ask->AskYesNo(FormatText("%sから独立しますか？", NameOf(gs, master).c_str()), true))
        return false;
    DeclareDokuritsu(gs, ports, player);
    MarkDealt(gs, master);
    return true;
}

GaikouResult RequestOfHouse(GameState& gs, const Ports& ports, int command, int house) {
    GaikouResult result;
    const int player = gs.nPlayerDaimyou;
    if (!HouseExists(gs, player) || !HouseExists(gs, house) || house == player) return result;
    const char* accepted = nullptr;
    const char* refused = nullptr;
    switch (command) {
        case kGaikouKuragae:
            result.accepted = SendKuragaeShisha(gs, ports, house, player);
            accepted = "当家は主家を%sに鞍替えしました";
            refused = "%sは主家鞍替えに応じませんでした";
            break;
        case kGaikouJuuzokuShigan:
            result.accepted = SendJuuzokuShiganShisha(gs, ports, house, player);
            accepted = "当家は%sに従属しました";
            refused = "%sは当家の従属志願を拒否しました";
            break;
        case kGaikouShinjuuShigan:
            result.accepted = SendShinjuuShiganShisha(gs, ports, house, player);
            accepted = "当家は%sに臣従しました";
            refused = "%sは当家の臣従志願を拒否しました";
            break;
        default: return result;
    }
    if (result.accepted) gs.bGaikouBarred = true;
    Tell(gs, ports, result.accepted ? accepted : refused, house);
    MarkDealt(gs, house);
    return result;
}

}  // namespace rymd
