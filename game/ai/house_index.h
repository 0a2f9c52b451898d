// Who holds what, by counted house: the castles each house holds, the castles it besieges and
// its generals (hostages aside), each in index order, and the weighted strength of its
// generals. The planners of one phase only write orders, so one index serves every house they
// plan in that phase; it is taken again when the date, the phase or a table's count changes,
// or when a planner drops it (the strategy phase's end moves generals and may remove some).
#pragma once

#include <array>
#include <vector>

#include "game/state/access.h"
#include "game/state/route.h"

namespace rymd {

class HouseIndex {
public:
    // Builds the index unless it already describes this moment of the game.
    void Refresh(const GameState& gs) {
        const std::array<int, 6> stamp = {gs.nCurYear, gs.nCurMonth, gs.nPhase, ShiroCount(gs), BushouCount(gs),
                                          DaimyouCount(gs)};
        if (valid_ && stamp == stamp_) return;
        stamp_ = stamp;
        valid_ = true;
        const int nDaimyou = DaimyouCount(gs);
        for (auto* lists : {&shiro_, &siege_, &bushou_}) {
            lists->resize(static_cast<std::size_t>(nDaimyou));
            for (auto& l : *lists)
                l.clear();
        }
        strength_.assign(static_cast<std::size_t>(nDaimyou), 0);
        eff_.resize(static_cast<std::size_t>(ShiroCount(gs)));
        for (int c : ShiroIndexes(gs)) {
            const int h = GetCountedDaimyouOfShiro(gs, c);
            eff_[static_cast<std::size_t>(c)] = h;
            if (IsValidDaimyou(gs, h)) shiro_[static_cast<std::size_t>(h)].push_back(c);
            const CShiro& s = ShiroAt(gs, c);
            const int b = GetCountedDaimyou(gs, s.besiegerDaimyou);
            if (s.nBesieger != 0 && b != h && IsValidDaimyou(gs, b)) siege_[static_cast<std::size_t>(b)].push_back(c);
        }
        for (int g : BushouIndexes(gs)) {
            const CBushou& b = BushouAt(gs, g);
            const int h = GetCountedDaimyou(gs, b.GetEffectiveDaimyou());
            if (!IsValidDaimyou(gs, h)) continue;
            strength_[static_cast<std::size_t>(h)] += 3 * b.cavalry + b.foot;
            if (b.status != CBushou::kStatusHitojichi) bushou_[static_cast<std::size_t>(h)].push_back(g);
        }
    }
    void Drop() { valid_ = false; }

    // Castles whose owner counts for the house.
    const std::vector<int>& ShiroOf(int daimyou) const { return Of(shiro_, daimyou); }
    // Castles of other houses that the house besieges.
    const std::vector<int>& SiegesOf(int daimyou) const { return Of(siege_, daimyou); }
    // Generals that count for the house, hostages aside.
    const std::vector<int>& BushouOf(int daimyou) const { return Of(bushou_, daimyou); }
    // 3 x cavalry + foot over every general that counts for the house (hostages included).
    int StrengthOf(int daimyou) const {
        return daimyou >= 0 && static_cast<std::size_t>(daimyou) < strength_.size()
                   ? strength_[static_cast<std::size_t>(daimyou)]
                   : 0;
    }
    // The counted house of the castle's owner.
    int EffOf(int shiro) const { return eff_[static_cast<std::size_t>(shiro)]; }

private:
    static const std::vector<int>& Of(const std::vector<std::vector<int>>& lists, int daimyou) {
        static const std::vector<int> kNone;
        return daimyou >= 0 && static_cast<std::size_t>(daimyou) < lists.size() ? lists[static_cast<std::size_t>(daimyou)]
                                                                                : kNone;
    }

    bool valid_ = false;
    std::array<int, 6> stamp_{};
    std::vector<std::vector<int>> shiro_, siege_, bushou_;
    std::vector<int> strength_;
    std::vector<int> eff_;
};

}  // namespace rymd
