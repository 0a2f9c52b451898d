// The war phase: the computer's attack orders of the sortie phase and the resolution of every
// move and battle of the month.
#pragma once

#include <string>

#include "game/ai/house_index.h"

namespace rymd {

class CMainGame;

class CKassenPhase {
public:
    explicit CKassenPhase(CMainGame& game) : game_(game) {}

    // The sortie orders of a computer house.
    void PlanDaimyouAttacks(int daimyou);
    // The sortie orders of one unit of a house: a corps, or -1 for the directly held part.
    void PlanGundanAttacks(int daimyou, int gundan);
    // Resolves every move and battle of the month; the report goes to reportText.
    void ResolveKassen();

    // The report of the month's battles, shown in the log after the resolution.
    std::string reportText;

private:
    CMainGame& game_;
    HouseIndex planIndex_;  // who holds what, shared by the attack plans of one sortie phase
};

}  // namespace rymd
