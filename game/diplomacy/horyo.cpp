#include "game/diplomacy/horyo.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "game/diplomacy/personnel.h"
#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"

namespace rymd {

namespace {

std::string NameOfHouse(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) ? DaimyouAt(gs, d).name : std::string();
}

bool IsPlayer(const GameState& gs, int d) {
    return d >= 0 && d == gs.nPlayerDaimyou;
}

void SetFlag(CBushou& b, std::uint16_t flag, bool on) {
    b.flags = static_cast<std::uint16_t>(on ? (b.flags | flag) : (b.flags & ~flag));
}

}  // namespace

void TakeHoryo(GameState& gs, const Ports& ports, int captor, int bushou) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    const int former = b.daimyou;
    b.daimyou = CBushou::kDaimyouHitojichi;
    b.holderDaimyou = static_cast<std::int16_t>(captor);
    b.originDaimyou = static_cast<std::int16_t>(former);
    b.status = CBushou::kStatusHoryo;
    b.cavalry = 0;
    b.foot = 0;
    b.muskets = 0;
    SetFlag(b, CBushou::kFlagWarMark, true);
    SetFlag(b, CBushou::kFlagBesieging, false);

    const double attachment = (gs.rng.Unit() * 3.0 - 3.0 + b.chuusei) * 3.0;
    b.counter37 = static_cast<std::uint8_t>(std::clamp(static_cast<int>(attachment), 0, 100));
    if (IsValidDaimyou(gs, former) && DaimyouAt(gs, former).toushu == bushou) {
        b.counter37 = 127;
        DaimyouAt(gs, former).toushu = -2;
    }
    if (IsPlayer(gs, GetCountedDaimyou(gs, former)))
        PolicyOf(gs).Inform(ports, MessageKind::WarPhaseCaptiveMessage,
                            b.name + " が " + NameOfHouse(gs, captor) + " の捕虜になりました");
}

bool CanEmployHoryo(const GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return false;
    const CBushou& b = BushouAt(gs, bushou);
    if (b.status != CBushou::kStatusHoryo) return false;
    if (!IsValidDaimyou(gs, b.originDaimyou) || CountShiroOfDaimyou(gs, b.originDaimyou) == 0) return true;
    return b.counter37 == 0;
}

bool EmployHoryo(GameState& gs, const Ports& ports, int bushou) {
    if (!CanEmployHoryo(gs, bushou)) return false;
    CBushou& b = BushouAt(gs, bushou);
    const int holder = b.holderDaimyou;
    b.daimyou = static_cast<std::int16_t>(holder);
    int target = b.shiro;
    if (IsValidDaimyou(gs, holder)) {
        const int head = DaimyouAt(gs, holder).toushu;
        if (IsValidBushou(gs, head)) target = BushouAt(gs, head).shiro;
    }
    if (!HouseExists(gs, holder) || !RelocateBushou(gs, bushou, target, false, false)) {
        b.daimyou = CBushou::kDaimyouHitojichi;
        return false;
    }
    SetFlag(b, CBushou::kFlagWarMark, true);
    b.status = CBushou::kStatusKashin;
    if (IsPlayer(gs, b.originDaimyou))
        PolicyOf(gs).Inform(ports, MessageKind::WarPhaseCaptiveMessage,
                            b.name + " が " + NameOfHouse(gs, holder) + " に登用されました");
    return true;
}

void ReleaseHoryo(GameState& gs, const Ports& ports, int bushou, bool byTreaty) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    const int captor = b.holderDaimyou;
    const int former = b.originDaimyou;
    b.daimyou = static_cast<std::int16_t>(former);
    // A former house that is gone has no castle to take him.
    if (HouseExists(gs, former) && RelocateBushou(gs, bushou, b.shiro, true, false)) {
        SetFlag(b, CBushou::kFlagWarMark, true);
        b.status = CBushou::kStatusKashin;
        const SuppressionPolicy policy = PolicyOf(gs);
        if (IsPlayer(gs, former)) {
            policy.Inform(ports, MessageKind::PersonnelPlannerMessage,
                          b.name + " が " + NameOfHouse(gs, captor) + " の捕虜から解放され、" +
                              (IsValidShiro(gs, b.shiro) ? ShiroMapAt(gs, b.shiro).name : std::string()) +
                              " に帰還しました");
        } else if (byTreaty && IsPlayer(gs, captor)) {
            policy.Inform(ports, MessageKind::PersonnelPlannerMessage,
                          b.name + " を捕虜から解放し、" + NameOfHouse(gs, former) + " に返還しました");
        }
        return;
    }

    // Nowhere to go: masterless, with the houses bound to his former house as refuges.
    CSortList refuges(DaimyouCount(gs));
    refuges.SetCount(0);
    for (int d : DaimyouIndexes(gs)) {
        if (!HouseExists(gs, d) || !IsValidDaimyou(gs, former)) continue;
        if (DaimyouAt(gs, d).GetRelationLo(former) <= CDaimyou::kRelNothing) continue;
        refuges.Append(
            d, static_cast<std::int32_t>(std::min<std::int64_t>(SumKokudakaOfDaimyou(gs, d), INT32_MAX)));
    }
    refuges.SortLarge();
    SetFlag(b, CBushou::kFlagBesieging, false);
    b.daimyou = CBushou::kDaimyouFree;
    for (std::size_t i = 0; i < b.joinDaimyou.size(); ++i)
        b.joinDaimyou[i] = static_cast<int>(i) < refuges.Count()
                               ? static_cast<std::int16_t>(refuges.Id(static_cast<int>(i)))
                               : std::int16_t{-1};
    SetFlag(b, CBushou::kFlagWarMark, true);
    b.status = CBushou::kStatusKashin;
}

// ---------------------------------------------------------------------------------------------

bool KoufukuBushouSession::Take(int bushou) {
    const auto it = std::find(remaining_.begin(), remaining_.end(), bushou);
    if (it == remaining_.end()) return false;
    remaining_.erase(it);
    return true;
}

bool KoufukuBushouSession::Employ(int bushou) {
    if (std::find(remaining_.begin(), remaining_.end(), bushou) == remaining_.end()) return false;
    if (!EmployHoryo(gs_, ports_, bushou)) return false;
    return Take(bushou);
}

bool KoufukuBushouSession::Release(int bushou) {
    if (!Take(bushou)) return false;
    ReleaseHoryo(gs_, ports_, bushou, false);
    return true;
}

bool KoufukuBushouSession::Execute(int bushou) {
    if (!Take(bushou) || !IsValidBushou(gs_, bushou)) return false;
    ExecuteHoryo(gs_, bushou);
    return true;
}

bool KoufukuBushouSession::Keep(int bushou) {
    return Take(bushou);
}

// ---------------------------------------------------------------------------------------------

void CHoryoRules::TakeHoryo(int captor, int bushou) {
    rymd::TakeHoryo(gs_, ports_, captor, bushou);
}

bool CHoryoRules::CanEmployHoryo(int bushou) {
    return rymd::CanEmployHoryo(gs_, bushou);
}

bool CHoryoRules::EmployHoryo(int bushou) {
    return rymd::EmployHoryo(gs_, ports_, bushou);
}

void CHoryoRules::SurrenderedGenerals(std::span<const int> captives) {
    KoufukuBushouSession session(gs_, ports_, captives);
    // A front without the surrendered-generals dialog leaves them captives.
    if (!ports_.play->PlayKoufukuBushou(session)) return;
    for (int g : std::vector<int>(session.Remaining()))
        session.Keep(g);
}

}  // namespace rymd
