// Small helpers shared by the siege, the field and naval battles and their runners: the castle
// geography, the effective house of a general or castle, names for messages, and the clamps that
// write a troop count back into a 16-bit record field.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "platform/core/random.h"

namespace rymd::battle {

// A unit id with this bit stands for the garrison of the castle in its low bits.
inline constexpr int kGarrisonBit = 0x8000;

inline const ShiroMapRecord& ShiroMap(const GameState& gs, int shiro) {
    return ShiroMapAt(gs, shiro);
}

inline bool OnWaterway(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) && (ShiroMap(gs, shiro).flags & ShiroMapRecord::kFlagWaterway) != 0;
}

// The house a general fights for: his house, his master's while it is a vassal.
inline int EffectiveHouseOfBushou(const GameState& gs, int bushou) {
    return IsValidBushou(gs, bushou) ? GetCountedDaimyou(gs, BushouAt(gs, bushou).daimyou) : -1;
}
inline int EffectiveOwner(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? GetCountedDaimyou(gs, ShiroAt(gs, shiro).daimyou) : -1;
}

inline std::string HouseName(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) ? gs.DaimyouTbl[static_cast<std::size_t>(daimyou)].name
                                       : std::string();
}
inline std::string ShiroName(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? ShiroMap(gs, shiro).name : std::string();
}

// A troop count written back into a record field.
inline std::int16_t ToField(long long value) {
    return static_cast<std::int16_t>(std::clamp<long long>(value, 0, 32767));
}
// Muskets never exceed foot.
inline void CutMuskets(CBushou& b) {
    if (b.muskets > b.foot) b.muskets = b.foot;
    if (b.muskets < 0) b.muskets = 0;
}

// A unit (a general, or a castle's garrison with kGarrisonBit) keeps trunc(keep x) of each of
// its troop counts; muskets are cut to the foot left.
inline void ShrinkUnit(GameState& gs, int u, double keep) {
    if (u & kGarrisonBit) {
        if (!IsValidShiro(gs, u & 0x7FFF)) return;
        CShiro& s = ShiroAt(gs, u & 0x7FFF);
        s.shubihei = ToField(static_cast<long long>(std::max<int>(0, s.shubihei) * keep));
    } else if (IsValidBushou(gs, u)) {
        CBushou& b = BushouAt(gs, u);
        b.cavalry = ToField(static_cast<long long>(b.cavalry * keep));
        b.foot = ToField(static_cast<long long>(b.foot * keep));
        CutMuskets(b);
    }
}

// r(a, b) = a + (b - a) x rand() / 32767.
inline double Between(Random& rng, double a, double b) {
    return a + (b - a) * rng.Unit();
}

// The ids in a random order, as a sort list of equal keys shuffled by Randomize does it, without
// allocating.
inline void ShuffleEqual(Random& rng, int* ids, int n) {
    for (int i = 0; i < n && n > 1; ++i) {
        const int r = rng.Below(n - i) + i;
        std::swap(ids[r], ids[i]);
    }
}

}  // namespace rymd::battle
