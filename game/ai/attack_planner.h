// The computer's sortie orders of the war phase: for a house, or one of its corps that carries
// an invasion order, which castles to relieve, which sieges to reinforce, which neighbours to
// attack and which castles to guard, and the armies and warships it sends. It writes the same
// orders as the player's sortie dialog (destination, origin, ordered flag 0x02, by-water flag
// 0x20; fleet move orders), which the resolution of the month carries out.
#pragma once

#include <span>
#include <vector>

#include "game/state/game_context.h"
#include "game/state/house_index.h"

namespace rymd {

class CAttackPlanner {
public:
    explicit CAttackPlanner(GameContext context) : context_(context), index_(ownIndex_) {}
    // With an index kept by the caller for the whole sortie phase (the war-phase controller's).
    CAttackPlanner(GameContext context, HouseIndex& index) : context_(context), index_(index) {}
    CAttackPlanner(const CAttackPlanner&) = delete;
    CAttackPlanner& operator=(const CAttackPlanner&) = delete;

    // Every unit of a house (its corps, then the directly held part); nothing when a behaviour
    // override is set.
    void PlanDaimyouAttacks(int daimyou);
    // One unit: a corps, or -1 for the directly held part.
    void PlanGundanAttacks(int daimyou, int gundan);
    // The free generals of the unit next to the target that could march on it, strongest first,
    // at most maxCount; returns their troops.
    int CollectShutsujinBushou(int daimyou, int gundan, int target, int maxCount, std::vector<int>& ids);
    // Chooses and orders an army against the target (needed = the strength to beat; 0 for a
    // relief or reinforcement of an own castle). True when the army was ordered.
    bool OrderShutsujin(int daimyou, int gundan, int target, int needed);
    // Orders warships toward a target on a waterway for the armies bound for it.
    void AssignGunsenToShutsujin(int target, int daimyou);

private:
    void LevelBlockade(int daimyou, int target, int need);

    GameContext context_;
    HouseIndex ownIndex_;
    HouseIndex& index_;
    std::vector<std::uint8_t> marks_;  // per castle, one planning call
    std::vector<int> marked_;
};

}  // namespace rymd
