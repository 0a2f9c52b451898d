// The naval battle (海戦) between two fleets off one or two coastal castles. Each side is up to 20
// units (generals, or a castle's garrison) with a number of warships and a morale of 0..1000;
// the fleets stand on a line of ten sea cells, side 0 at 2 and side 1 at 7. Each turn both sides
// choose one of five actions: wait, advance, board, fire bombs (焙烙火矢) at range, retreat.
//
// Losses go straight into the generals' and garrisons' records; the warship registry is never
// touched (no ship is sunk or taken). The runner plays AutoStep; the player's naval-battle
// dialog plays PlayerStep with the player's action each turn. The engine never waits; the
// dialog's flashes come through the optional observer.
#pragma once

#include <array>
#include <string>

namespace rymd {

struct GameState;

enum KaisenAction : int {
    kKaisenWait = 0,
    kKaisenAdvance = 1,
    kKaisenBoard = 2,
    kKaisenFireBomb = 3,
    kKaisenRetreat = 4,
};

class CKaisen;

class KaisenObserver {
public:
    virtual ~KaisenObserver() = default;
    // The given sides were hit by fire bombs (mask bit 0 side 0, bit 1 side 1).
    virtual void OnFireBomb(const CKaisen& battle, int hitMask) {}
    // Both fleets fought at close quarters.
    virtual void OnBoarding(const CKaisen& battle) {}
};

class CKaisen {
public:
    static constexpr int kMaxUnits = 20;
    static constexpr int kMaxTurns = 20;
    static constexpr int kMaxMorale = 1000;
    static constexpr int kGarrisonBit = 0x8000;
    static constexpr int kOngoing = -1;

    explicit CKaisen(GameState& gs) : gs_(gs) {}
    virtual ~CKaisen() = default;

    // --- filled by the runner before Setup ---------------------------------------------------
    int attacker = 0;  // 0 neither, 1 side 0 attacks, 2 side 1 attacks
    std::array<int, 2> count{};
    std::array<std::array<int, kMaxUnits>, 2> units{};
    std::array<int, 2> ships{};
    std::array<int, 2> castles{-1, -1};
    KaisenObserver* observer = nullptr;

    // --- battle state -----------------------------------------------------------------------
    std::array<int, 2> positions{2, 7};
    bool rain = false;
    int turn = 0;
    std::array<int, 2> morale{kMaxMorale, kMaxMorale};
    std::array<int, 2> trialMorale{kMaxMorale, kMaxMorale};
    std::array<int, 2> commanderAbility{};
    std::array<std::string, 2> sideNames;

    void Setup();
    void Simulate();
    int ChooseAction(int side);
    // -1 goes on, 0 draw, 1 side 0 won, 2 side 1 won.
    int DoTurn(const std::array<int, 2>& actions);
    void ApplyDefeat(int result);
    std::array<int, 2> GetTotalSoldiers() const;
    double GetPower(int side) const;

    // One automatic turn for both sides, with the defeat losses and the draw after the last turn.
    int AutoStep();
    // One turn with the player's action for his side and the computer's for the other.
    int PlayerStep(int playerSide, int action);
    // The same turn in two halves, so that a front can show both chosen actions before they are
    // fought: ChoosePlayerTurn runs the trial exchange and gives both sides' actions (the
    // player's replaced by a permitted one when it is not permitted now); PlayChosenTurn fights
    // them, applies the defeat losses and ends the battle as a draw after the last turn.
    std::array<int, 2> ChoosePlayerTurn(int playerSide, int action);
    // With applyDefeat false the beaten side's losses wait for the front, which applies them
    // (ApplyDefeat) once it has told the player how the battle ended.
    int PlayChosenTurn(const std::array<int, 2>& actions, bool applyDefeat = true);
    bool IsActionAllowed(int action) const;
    bool Adjacent() const { return positions[1] - positions[0] < 2; }
    // The game whose generals and garrisons fight.
    GameState& State() const { return gs_; }

    // The exchanges, in trial mode changing only the trial morale.
    void FireBombs(int attackMask, bool trial);
    void Boarding(bool trial);

private:
    int Soldiers(int u) const;
    bool Beaten(int side) const;
    int Finish(int result, bool applyDefeat = true);

    GameState& gs_;
};

}  // namespace rymd
