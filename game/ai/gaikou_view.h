// What the diplomacy planner's runs of one phase read many times: the castles by owner, by
// counted house and by besieging house, the vassals of each house, the houses' rice yields and
// strengths (K, KS, S, SS) and a house index for the funds estimate.
//
// In the diplomacy phase no castle changes hands and no siege begins; a bond change may lift
// sieges, release captives and send generals home, and a general joins a house only when he is
// freed from captivity or hostage-taking. So the view is taken whole once a phase (and again
// when a table's count changes), and after each bond change the planner makes it follows what
// that change can touch: the bonds, the vassals, the lifted sieges, the yields counted with
// vassals, the strengths and the freed generals. A followed view reads the same as one taken
// anew.
#pragma once

#include <array>
#include <vector>

#include "game/diplomacy/envoys.h"
#include "game/state/house_index.h"

namespace rymd {

struct GameState;

class GaikouView {
public:
    // Takes the view again unless it was taken at this date and phase, with these counts, and
    // every house still has the bond and master it had then. True when it was taken again.
    bool Ensure(const GameState& gs);
    // Follows a bond change between houses made since the view was taken or last followed (in
    // the same phase, no table's count changed); takes the view whole when it cannot follow.
    void FollowBondChange(const GameState& gs);

    // Castles whose owner is the house, in table order.
    const std::vector<int>& Own(int daimyou) const { return sums_.OwnShiro(daimyou); }
    // Vassal houses of the house, in table order.
    const std::vector<int>& Vassals(int daimyou) const { return sums_.Vassals(daimyou); }
    // Castles the house besieges (by the castles' besieging house), in table order.
    const std::vector<int>& Besieged(int daimyou) const { return ListOfHouse(besieged_, daimyou); }
    // K, KS, S and SS of every house (the strengths gathered when first asked for), with the
    // castles by owner and counted house.
    const DaimyouSums& Sums() const { return sums_; }
    // For the funds estimate: the castles of each house by owner and the generals of each house
    // by house field, with the captives and hostages freed into a house since the view was taken
    // (by anyone) added, and generals that have left it since still listed (the estimate filters
    // by house). Its lists by counted house are not followed and are not to be read.
    const HouseIndex& FundsIndex(const GameState& gs);
    // The captives and hostages when the view was taken, in table order: every captive of the
    // phase among them.
    const std::vector<int>& Held() const { return index_.CaptivesAndHostages(); }

private:
    void Take(const GameState& gs);
    void TakeBonds(const GameState& gs);

    bool valid_ = false;
    std::array<int, 6> stamp_{};              // year, month, phase and the three counts
    std::vector<int> bonds_;                  // bond and master of every house
    std::vector<std::vector<int>> besieged_;  // castles by besieging house
    DaimyouSums sums_;
    HouseIndex index_;  // taken with the view
};

}  // namespace rymd
