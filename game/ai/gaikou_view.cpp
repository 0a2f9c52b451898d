#include "game/ai/gaikou_view.h"

#include <algorithm>

#include "game/state/access.h"
#include "game/state/game_state.h"

namespace rymd {

namespace {

std::array<int, 6> StampOf(const GameState& gs) {
    return {gs.nCurYear, gs.nCurMonth, gs.nPhase, DaimyouCount(gs), ShiroCount(gs), BushouCount(gs)};
}

}  // namespace

bool GaikouView::Ensure(const GameState& gs) {
    bool current = valid_ && stamp_ == StampOf(gs);
    for (int d = 0; current && d < DaimyouCount(gs); ++d) {
        const CDaimyou& h = DaimyouAt(gs, d);
        current = bonds_[static_cast<std::size_t>(2 * d)] == h.bond &&
                  bonds_[static_cast<std::size_t>(2 * d + 1)] == h.masterDaimyou;
    }
    if (current) return false;
    Take(gs);
    return true;
}

void GaikouView::TakeBonds(const GameState& gs) {
    bonds_.assign(2 * static_cast<std::size_t>(DaimyouCount(gs)), 0);
    for (int d : DaimyouIndexes(gs)) {
        const CDaimyou& h = DaimyouAt(gs, d);
        bonds_[static_cast<std::size_t>(2 * d)] = h.bond;
        bonds_[static_cast<std::size_t>(2 * d + 1)] = h.masterDaimyou;
    }
}

void GaikouView::Take(const GameState& gs) {
    valid_ = true;
    stamp_ = StampOf(gs);
    TakeBonds(gs);
    besieged_.assign(static_cast<std::size_t>(DaimyouCount(gs)), {});
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        if (IsValidDaimyou(gs, s.besiegerDaimyou))
            besieged_[static_cast<std::size_t>(s.besiegerDaimyou)].push_back(c);
    }
    sums_.Gather(gs);
    index_.Drop();
    index_.Refresh(gs);
}

void GaikouView::FollowBondChange(const GameState& gs) {
    if (!valid_ || stamp_ != StampOf(gs)) {
        Take(gs);
        return;
    }
    // No castle changed hands and no siege began: the castles by owner stand, and a siege the
    // change lifted leaves its besieger's list.
    TakeBonds(gs);
    for (std::size_t d = 0; d < besieged_.size(); ++d) {
        std::vector<int>& list = besieged_[d];
        std::erase_if(list, [&](int c) { return ShiroAt(gs, c).besiegerDaimyou != static_cast<int>(d); });
    }
    sums_.FollowBonds(gs);
}

const HouseIndex& GaikouView::FundsIndex(const GameState& gs) {
    index_.AddFreedMembers(gs);
    return index_;
}

}  // namespace rymd
