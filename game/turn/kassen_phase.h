// The war phase: the computer's attack orders of the sortie phase and the resolution of every
// move and battle of the month.
#pragma once

#include <string>
#include <vector>

#include "game/state/game_context.h"

#include "game/state/house_index.h"

namespace rymd {

class CBattleRunner;

class CKassenPhase {
public:
    explicit CKassenPhase(GameContext context) : context_(context) {}
    virtual ~CKassenPhase() = default;

    // The sortie orders of a computer house.
    void PlanDaimyouAttacks(int daimyou);
    // The sortie orders of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundanAttacks(int daimyou, int gundan);

    // Carries out every sortie order of the month, in this order: armies whose orders cross
    // meet halfway in a field battle; town economies fall where armies stand and recover
    // elsewhere; rival armies at one castle fight (of allied ones only the strongest stays);
    // arrivals join their castles or besiege hostile ones; fleets move; each besieged castle is
    // besieged for the month (with its naval battle and sally) and may fall, its generals
    // meeting their fate; vassal houses without castles join their masters; fallen houses get
    // a new head or are gone; the generals marked during the battles move to the end of the
    // general table. Then the month's report is shown (not while the game advances by itself):
    // the battle text ("なし" when nothing happened) and the fates text.
    void ResolveKassen();

    // The month's report: one line per event, each ending in a line break.
    std::string battleText;
    // What became of the defeated generals.
    std::string fatesText;

private:
    void CrossArmies(CBattleRunner& runner);
    void ChangeTownEconomy();
    void FightRivalArmies(CBattleRunner& runner);
    void PlaceArrivals();
    void MoveFleets();
    void RunSieges(CBattleRunner& runner);
    // What the sieges read of the castles' owners and of the generals at each castle.
    struct SiegeIndexes {
        ShiroOwnerIndex& owners;
        const ShiroBushouIndex& generals;
    };
    void RunSiege(CBattleRunner& runner, int shiro, const SiegeIndexes& indexes);
    void ReportSiegeBattle(int shiro, int owner, int attacker, bool naval, int result);
    void SettleSiege(CBattleRunner& runner, int shiro, int owner, int attacker, bool over, int result,
                     const SiegeIndexes& indexes);
    void TakeFallenShiro(CBattleRunner& runner, int shiro, const SiegeIndexes& indexes);
    void AbsorbCastlelessVassals();
    void EndFallenHouses();
    void MoveMarkedBushouToEnd();

    GameContext context_;
    HouseIndex planIndex_;  // who holds what, shared by the attack plans of one sortie phase
};

}  // namespace rymd
