#include "game/diplomacy/personnel.h"

#include <algorithm>

#include "game/diplomacy/horyo.h"
#include "game/military/placement.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

// A hostage's coming of age and a guest's arrival need an age of at least this.
constexpr int kGenpukuAge = 15;

std::string NameOfHouse(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) ? DaimyouAt(gs, d).name : std::string();
}

std::vector<int> HeldWithStatus(const GameState& gs, int holder, std::uint8_t status) {
    std::vector<int> out;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou != CBushou::kDaimyouRounin && b.status == status && b.holderDaimyou == holder)
            out.push_back(g);
    }
    return out;
}

// The swap question when the house already has a guest: "%s からは既に %s を客将として迎えています
// （一つの臣従大名家からは一人の客将のみ）\n" and the line that asks for the swap.
std::string AlreadyGuestText(const GameState& gs, int house, int guest) {
    return FormatText("%s からは既に %s を客将として迎えています（一つの臣従大名家からは一人の客将のみ）\n",
                      NameOfHouse(gs, house).c_str(), BushouAt(gs, guest).name.c_str());
}

}  // namespace

std::string PersonnelAgeText(const GameState& gs, const CBushou& b) {
    if (b.flags & CBushou::kFlagDeathType2) return "---";
    return FormatText("%d%s", gs.nCurYear - b.birthYear, (b.flags & CBushou::kFlagDeathType1) ? "?" : "");
}

PersonnelRow PersonnelRowOf(const GameState& gs, const CBushou& b) {
    return {b.name, PersonnelAgeText(gs, b), b.buyuu, b.seiji, b.chibou};
}

// ---- Captives -----------------------------------------------------------------------------------

std::vector<int> HeldHoryo(const GameState& gs, int holder) {
    return HeldWithStatus(gs, holder, CBushou::kStatusHoryo);
}

std::vector<std::int32_t> HoryoEmployability(const GameState& gs) {
    std::vector<std::int32_t> table(static_cast<std::size_t>(BushouCount(gs)), 0);
    for (int g : BushouIndexes(gs))
        table[static_cast<std::size_t>(g)] = CanEmployHoryo(gs, g) ? 1 : 0;
    return table;
}

void ExecuteHoryo(GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    b.daimyou = CBushou::kDaimyouRounin;
    b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
}

HoryoActionResult ApplyHoryoAction(GameState& gs, const Ports& ports, HoryoAction action,
                                   std::span<const int> bushou) {
    HoryoActionResult result;
    for (int g : bushou) {
        if (!IsValidBushou(gs, g)) continue;
        switch (action) {
            case HoryoAction::Employ:
                if (!EmployHoryo(gs, ports, g)) {
                    result.refusals.push_back(BushouAt(gs, g).name + " は登用を拒否しました");
                    continue;
                }
                break;
            case HoryoAction::Release: ReleaseHoryo(gs, ports, g, false); break;
            case HoryoAction::Execute: ExecuteHoryo(gs, g); break;
            case HoryoAction::Keep: break;
        }
        result.handled.push_back(g);
    }
    return result;
}

// ---- The prisoner exchange ----------------------------------------------------------------------

HoryoKoukanLists CollectHoryoKoukan(const GameState& gs, int player, int partner) {
    HoryoKoukanLists lists;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou == CBushou::kDaimyouRounin || b.status != CBushou::kStatusHoryo) continue;
        if (b.holderDaimyou == partner && b.originDaimyou == player) lists.returned.push_back(g);
        if (b.holderDaimyou == player && b.originDaimyou == partner) lists.given.push_back(g);
    }
    return lists;
}

std::vector<int> HoryoKoukanPartners(const GameState& gs, int player) {
    std::vector<int> out;
    for (int d : DaimyouIndexes(gs)) {
        if (d == player || !HouseExists(gs, d)) continue;
        const HoryoKoukanLists lists = CollectHoryoKoukan(gs, player, d);
        if (!lists.returned.empty() || !lists.given.empty()) out.push_back(d);
    }
    return out;
}

int HoryoKoukanWorth(const GameState& gs, std::span<const int> bushou) {
    int worth = 0;
    for (int g : bushou) {
        if (!IsValidBushou(gs, g)) continue;
        const CBushou& b = BushouAt(gs, g);
        worth += b.chibou + b.buyuu + b.seiji + 30;
    }
    return worth;
}

HoryoKoukanOutcome AnswerHoryoKoukan(const GameState& gs, int partner, std::span<const int> returned,
                                     std::span<const int> given) {
    HoryoKoukanOutcome outcome;
    const std::string name = NameOfHouse(gs, partner);
    outcome.accepted = HoryoKoukanWorth(gs, returned) < HoryoKoukanWorth(gs, given);
    outcome.text =
        name + (outcome.accepted ? " は捕虜交換を承諾しました" : " は捕虜交換を承諾しませんでした");
    return outcome;
}

void CarryOutHoryoKoukan(GameState& gs, const Ports& ports, std::span<const int> returned,
                         std::span<const int> given) {
    for (auto side : {returned, given})
        for (int g : side)
            if (IsValidBushou(gs, g)) ReleaseHoryo(gs, ports, g, false);
}

// ---- Hostages -----------------------------------------------------------------------------------

std::vector<int> HeldHitojichi(const GameState& gs, int holder) {
    return HeldWithStatus(gs, holder, CBushou::kStatusHitojichi);
}

PersonnelCheck CheckGenpuku(const GameState& gs, int bushou) {
    PersonnelCheck check;
    if (!IsValidBushou(gs, bushou)) return check;
    const ScenarioWordArray& w = gs.ScenarioWords;
    const CBushou& b = BushouAt(gs, bushou);
    const int house = b.originDaimyou;
    if (HouseHasHead(gs, house) && GetCountedDaimyou(gs, house) != gs.nPlayerDaimyou) {
        check.refusal = ReplaceWordGenpuku(
            ReplaceWordDaimyouke("臣従大名家以外の人質を元服させることはできません", w), w);
        return check;
    }
    if (gs.nCurYear - b.birthYear < kGenpukuAge) {
        check.refusal = ReplaceWordGenpuku("15歳未満は元服できません", w);
        return check;
    }
    const int guest = KyakushouOf(gs, house);
    if (guest >= 0)
        check.question = ReplaceWordGenpuku(
            ReplaceWordDaimyouke(
                AlreadyGuestText(gs, house, guest) + b.name + " を元服させて客将交代させますか？", w),
            w);
    else
        check.question = ReplaceWordGenpuku(FormatText("%s の %s を元服させて客将に取立てます",
                                                       NameOfHouse(gs, house).c_str(), b.name.c_str()),
                                            w);
    return check;
}

void Genpuku(GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    b.daimyou = b.originDaimyou;
    b.cavalry = 0;
    b.foot = 0;
    b.muskets = 0;
    AppointKyakushou(gs, bushou);
}

PersonnelCheck CheckHitojichiReturn(const GameState& gs, int bushou) {
    PersonnelCheck check;
    if (!IsValidBushou(gs, bushou)) return check;
    const ScenarioWordArray& w = gs.ScenarioWords;
    const CBushou& b = BushouAt(gs, bushou);
    if (!HouseExists(gs, b.originDaimyou)) {
        check.refusal =
            ReplaceWordBushou(ReplaceWordDaimyouke("滅亡した大名家の武将なので返還できません", w), w);
        return check;
    }
    check.question = b.name + " を " + NameOfHouse(gs, b.originDaimyou) + " に返還します";
    return check;
}

void ReturnHitojichi(GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    const int waiting = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
    if (waiting < GameState::kMaxBushou) {
        CBushou copy = b;
        copy.daimyou = b.originDaimyou;
        gs.MitoujouBushouTbl[static_cast<std::size_t>(waiting)] = copy;
        gs.nMitoujouBushou = waiting + 1;
    }
    b.daimyou = CBushou::kDaimyouRounin;
}

// ---- Guest generals -----------------------------------------------------------------------------

std::vector<int> KyakushouKouho(const GameState& gs, int player) {
    std::vector<int> out;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.status != CBushou::kStatusKashin || b.daimyou < 0 || b.daimyou == player) continue;
        if (!IsValidDaimyou(gs, b.daimyou) || GetCountedDaimyou(gs, b.daimyou) != player) continue;
        if (DaimyouAt(gs, b.daimyou).toushu == g) continue;
        out.push_back(g);
    }
    return out;
}

int KyakushouOf(const GameState& gs, int house) {
    if (!IsValidDaimyou(gs, house)) return -1;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou == house && b.status == CBushou::kStatusKyakushou) return g;
    }
    return -1;
}

std::string KyakushouQuestion(const GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return {};
    const CBushou& b = BushouAt(gs, bushou);
    const int guest = KyakushouOf(gs, b.daimyou);
    if (guest >= 0)
        return ReplaceWordDaimyouke(
            AlreadyGuestText(gs, b.daimyou, guest) + b.name + " と客将を交代させますか？", gs.ScenarioWords);
    return NameOfHouse(gs, b.daimyou) + " の " + b.name + " を客将として迎えます";
}

}  // namespace rymd
