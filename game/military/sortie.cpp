#include "game/military/sortie.h"

#include <algorithm>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"

namespace rymd {

const char* const kSortieTooFarMessage =
    "当主の所在地から遠すぎるため、出陣指示できません\n（当主と同じ国か、隣接国のみ出陣指示可能です）";

namespace {

constexpr int kSeaLink = 3;

bool IsOrdered(const CBushou& b) {
    return (b.flags & CBushou::kFlagOrdered) != 0;
}

// The relation state the house holds toward the other shows a bond (non-aggression or any bond
// of subordination or vassalage): such houses never fight each other.
bool Bonded(const GameState& gs, int house, int other) {
    return IsValidDaimyou(gs, house) && DaimyouAt(gs, house).GetRelationLo(other) > CDaimyou::kRelNothing;
}

std::string HouseShiroWords(const char* text, const GameState& gs) {
    return ReplaceWordShiro(ReplaceWordDaimyouke(text, gs.ScenarioWords), gs.ScenarioWords);
}

}  // namespace

SortieOrigin CheckSortieOrigin(const GameState& gs, int player, int shiro) {
    if (!IsValidShiro(gs, shiro)) return SortieOrigin::kIgnored;
    if (!IsKuniNearHead(gs, player, ShiroMapAt(gs, shiro).kuni)) return SortieOrigin::kTooFar;
    const CShiro& c = ShiroAt(gs, shiro);
    if (GetCountedDaimyouOfShiro(gs, shiro) == player && c.nBesieger == 0) return SortieOrigin::kAccepted;
    return SortieOrigin::kIgnored;
}

int SortieLinkKind(const GameState& gs, int origin, int shiro, bool water) {
    if (!IsValidShiro(gs, origin)) return -1;
    int k = -1;
    ForShiroLinks(gs, origin, [&](int to, int t) {
        if (to != shiro) return;
        if ((water || k == -1) && t == kSeaLink) k = kSeaLink;
        if (!water || k == -1) {
            if (t == 0)
                k = 0;
            else if (t == 1 && k != 0)
                k = 1;
            else if (t == 2 && k != 0 && k != 1)
                k = 2;
        }
    });
    return k;
}

std::string CheckSortieTarget(const GameState& gs, int player, int origin, int shiro, bool water) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    const int k = IsValidShiro(gs, shiro) ? SortieLinkKind(gs, origin, shiro, water) : -1;
    if (k == -1) return ReplaceWordShiro("隣接した城しか出陣できません", w);
    if (water && k != kSeaLink) return ReplaceWordSuiro("水路で接続されていません", w);
    if (!water && k == kSeaLink) return ReplaceWordRikuro("陸路で接続されていません", w);
    const CShiro& c = ShiroAt(gs, shiro);
    const bool enemyOwned = GetCountedDaimyouOfShiro(gs, shiro) != player && c.daimyou >= 0;
    if (enemyOwned && Bonded(gs, c.daimyou, player) && c.nBesieger == 0)
        return HouseShiroWords("敵に包囲されていない同盟大名家および従属大名家の城へは出陣できません", gs);
    if (c.besiegerDaimyou >= 0) {
        const int besieger = GetCountedDaimyou(gs, c.besiegerDaimyou);
        if (besieger != player && Bonded(gs, besieger, player))
            return HouseShiroWords("同盟を結んでいる大名家が攻撃している城には出陣できません", gs);
    }
    if (enemyOwned && IsValidDaimyou(gs, c.daimyou) && DaimyouAt(gs, c.daimyou).IsUnattackable())
        return HouseShiroWords("この大名家の城は攻撃できません", gs);
    return "";
}

int SortieBushouLimit(const GameState& gs, int player, int target) {
    if (!IsValidShiro(gs, target)) return 0;
    const CShiro& t = ShiroAt(gs, target);
    int besiegers = 0;
    if (t.nBesieger > 0 && t.besiegerDaimyou == player) {
        for (int i = 0; i < t.nBesieger && i < CShiro::kMaxBushou; ++i) {
            const int g = t.besieger[static_cast<std::size_t>(i)];
            if (IsValidBushou(gs, g) &&
                (!IsOrdered(BushouAt(gs, g)) || BushouAt(gs, g).sortieShiro == target))
                ++besiegers;
        }
    }
    int bound = 0;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (GetCountedDaimyou(gs, b.daimyou) == player && b.sortieShiro == target) ++bound;
    }
    return kSortieBushouMax - (besiegers + bound);
}

int MoveBushouLimit(const GameState& gs, int player, int target) {
    if (!IsValidShiro(gs, target)) return 0;
    int bound = 0;
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (GetCountedDaimyou(gs, b.daimyou) == player && b.moveShiro == target) ++bound;
    }
    const CShiro& t = ShiroAt(gs, target);
    int staying = 0;
    for (int i = 0; i < t.nBushou && i < CShiro::kMaxBushou; ++i) {
        const int g = t.bushou[static_cast<std::size_t>(i)];
        if (IsValidBushou(gs, g) && (!IsOrdered(BushouAt(gs, g)) || BushouAt(gs, g).sortieShiro == target))
            ++staying;
    }
    return kSortieBushouMax - (bound + staying);
}

std::vector<int> SelectableBushou(const GameState& gs, int player, int origin) {
    std::vector<int> out;
    if (!IsValidShiro(gs, origin)) return out;
    const CShiro& c = ShiroAt(gs, origin);
    const bool own = GetCountedDaimyouOfShiro(gs, origin) == player;
    const auto& list = own ? c.bushou : c.besieger;
    const int n = own ? c.nBushou : c.nBesieger;
    for (int i = 0; i < n && i < CShiro::kMaxBushou; ++i) {
        const int g = list[static_cast<std::size_t>(i)];
        if (!IsValidBushou(gs, g)) continue;
        const CBushou& b = BushouAt(gs, g);
        if (b.gundan == -1 && !IsOrdered(b)) out.push_back(g);
    }
    return out;
}

std::string CheckBushouChoice(const GameState& gs, int chosen, int limit, bool sortie) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    if (chosen <= 0)
        return ReplaceWordBushou(sortie ? "出陣武将が選択されていません" : "移動武将が選択されていません", w);
    if (chosen > limit) return ReplaceWordBushou("武将数が多すぎます", w);
    return "";
}

void WriteSortieOrder(GameState& gs, std::span<const int> bushou, int target, bool water) {
    for (int g : bushou) {
        if (!IsValidBushou(gs, g)) continue;
        CBushou& b = BushouAt(gs, g);
        b.sortieShiro = static_cast<std::int16_t>(target);
        b.sortieOrigin = b.shiro;
        b.flags |= CBushou::kFlagOrdered;
        if (water)
            b.flags |= CBushou::kFlagByWater;
        else
            b.flags &= static_cast<std::uint16_t>(~CBushou::kFlagByWater);
    }
}

MoveOrigin CheckMoveOrigin(const GameState& gs, int player, int shiro, bool water) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    if (!IsValidShiro(gs, shiro)) return {};
    if (water && (ShiroMapAt(gs, shiro).flags & ShiroMapRecord::kFlagWaterway) == 0)
        return {MoveOriginKind::kRefused, ReplaceWordSuiro("水路がありません", w)};
    const CShiro& c = ShiroAt(gs, shiro);
    if (GetCountedDaimyouOfShiro(gs, shiro) == player) {
        if (!water && c.nBesieger > 0)
            return {MoveOriginKind::kRefused, ReplaceWordShiro("包囲されている城からは移動できません", w)};
        if (water && c.blockadeDaimyou >= 0)
            return {MoveOriginKind::kRefused,
                    ReplaceWordSuiro(ReplaceWordShiro("水路封鎖されている城からは移動できません", w), w)};
        return {MoveOriginKind::kOwn, ""};
    }
    if (c.besiegerDaimyou >= 0 && GetCountedDaimyou(gs, c.besiegerDaimyou) == player)
        return {MoveOriginKind::kSiege, ""};
    return {};
}

std::vector<std::uint16_t> MoveRouteCosts(const GameState& gs, int player, int origin, bool water) {
    std::vector<std::uint16_t> costs(static_cast<std::size_t>(std::max(ShiroCount(gs), 1)),
                                     kRouteUnreachable);
    if (IsValidShiro(gs, origin)) CalcRoadCost(gs, player, -1, origin, costs, water ? kRouteSea : kRouteLand);
    return costs;
}

std::string CheckMoveTarget(const GameState& gs, int player, int shiro, bool water,
                            std::span<const std::uint16_t> costs) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    if (!IsValidShiro(gs, shiro) || GetCountedDaimyouOfShiro(gs, shiro) != player)
        return HouseShiroWords("当家または臣従大名家の城以外には移動できません", gs);
    const CShiro& c = ShiroAt(gs, shiro);
    if (!water && c.nBesieger > 0) return ReplaceWordShiro("包囲されている城には移動できません", w);
    if (water && c.blockadeDaimyou >= 0)
        return ReplaceWordSuiro(ReplaceWordShiro("水路封鎖されている城には移動できません", w), w);
    const std::size_t i = static_cast<std::size_t>(shiro);
    const int cost = i < costs.size() ? costs[i] : kRouteUnreachable;
    if (cost > gs.nDistanceLimit)
        return water ? ReplaceWordSuiro("距離が遠すぎるか、経路が水路で接続されていません", w)
                     : ReplaceWordRikuro("距離が遠すぎるか、経路が陸路で接続されていません", w);
    return "";
}

void WriteMoveOrder(GameState& gs, std::span<const int> bushou, int target) {
    for (int g : bushou) {
        if (!IsValidBushou(gs, g)) continue;
        CBushou& b = BushouAt(gs, g);
        b.flags = static_cast<std::uint16_t>((b.flags & ~CBushou::kFlagBesieging) | CBushou::kFlagOrdered);
        b.moveShiro = static_cast<std::int16_t>(target);
    }
}

}  // namespace rymd
