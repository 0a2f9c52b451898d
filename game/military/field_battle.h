// The field battle (野戦) between two armies in the open. Each army is up to 20 generals and the
// garrison of one castle, drawn up in three lines: the vanguard (0), the second line (1) and the
// headquarters, 本陣 (2). Every unit has a morale of 0..100; a unit at 0 is routed. The armies
// stand on a track of ten positions, side 0 on the low side; each turn both sides choose one of
// six actions, which are carried out together. A side whose headquarters is wholly routed, or
// that retreats, loses; 20 turns without a decision are a draw.
//
// Soldier losses go straight into the generals' and garrisons' records. The runner fills an
// engine, calls Setup and then plays AutoStep; the player's battle dialog plays PlayerStep with
// the player's action each turn. The engine never waits; the dialog's flashes and messages come
// through the optional observer.
#pragma once

#include <array>
#include <string>

namespace rymd {

struct GameState;

enum YasenAction : int {
    kYasenWait = 0,
    kYasenAdvance = 1,
    kYasenAttack = 2,
    kYasenFire = 3,
    kYasenSwap = 4,
    kYasenRetreat = 5,
};

// The three lines of one army, as the deployment gives them.
struct YasenDeployment {
    std::array<int, 3> count{};
    std::array<std::array<int, 20>, 3> units{};
};

class CYasen;

// What the battle dialog draws and shows. Every hook is optional.
class YasenObserver {
public:
    virtual ~YasenObserver() = default;
    // The player's side is drawn up by the player; false leaves it to the automatic deployment.
    virtual bool DeployPlayerSide(const CYasen& battle, int side, YasenDeployment& out) { return false; }
    // A line came under musket fire.
    virtual void OnVolley(const CYasen& battle, int side, int line) {}
    // The two given lines fought hand to hand.
    virtual void OnMelee(const CYasen& battle, int line0, int line1) {}
    // Cavalry broke through to a line of the given side.
    virtual void OnBreakThrough(const CYasen& battle, int side, int line) {}
    // A message box of the battle ("...は鉄砲に阻まれ前進できませんでした", break-through).
    virtual void OnMessage(const CYasen& battle, const std::string& text) {}
    // PlayerStep chose both sides' actions (indexed by side) and is about to carry them out.
    virtual void OnActionsChosen(const CYasen& battle, const std::array<int, 2>& actions) {}
};

class CYasen {
public:
    static constexpr int kMaxUnits = 20;
    static constexpr int kMaxTurns = 20;
    static constexpr int kGarrisonBit = 0x8000;
    static constexpr int kOngoing = -1;

    explicit CYasen(GameState& gs) : gs_(gs) {}
    virtual ~CYasen() = default;

    // The game the battle is fought in (names, words and pictures for the dialog).
    GameState& State() const { return gs_; }

    // --- filled by the runner (or the dialog) before Setup -----------------------------------
    std::string* fates = nullptr;  // lines about generals who fall in battle are appended here
    int attacker = 0;              // 0 both, 1 side 0, 2 side 1
    std::array<int, 2> count{};
    std::array<std::array<int, kMaxUnits>, 2> generals{};
    std::array<int, 2> castle{-1, -1};
    std::array<int, 2> province{-1, -1};
    std::string caption;
    bool playerBattle = false;  // the dialog plays it: messages are given, the player deploys
    YasenObserver* observer = nullptr;

    // --- battle state -----------------------------------------------------------------------
    std::array<std::array<int, 3>, 2> lineCount{};
    std::array<std::array<std::array<int, kMaxUnits>, 3>, 2> unit{};
    std::array<int, 2> pos{2, 7};
    std::array<int, 2> front{-1, -1};
    std::array<std::array<std::array<int, kMaxUnits>, 3>, 2> morale{};
    std::array<std::array<std::array<int, kMaxUnits>, 3>, 2> estimate{};
    std::array<int, 2> house{-1, -1};
    std::array<int, 2> cavalry{}, foot{}, muskets{};
    int turn = 0;
    int surprise = 0;  // 0 none, 1 side 0 surprised side 1, 2 side 1 surprised side 0
    int surpriseLeader = -1;
    int confusionTurns = 0;
    std::array<int, 2> command{};
    bool rain = false;

    void Setup();
    void PredictTurn();
    int ChooseAction(int side);
    // -1 goes on, 0 draw, 1 side 0 won, 2 side 1 won.
    int ExecuteTurn(const std::array<int, 2>& actions);
    void ApplyRoutLosses(int winner);

    // One automatic turn for both sides; the result with the rout losses applied and the draw
    // after the last turn.
    int AutoStep();
    // One turn with the player's action for his side and the computer's for the other. With
    // applyRoutLosses false the beaten army's losses wait for the front, which applies them
    // (ApplyRoutLosses) once it has told the player how the battle ended.
    int PlayerStep(int playerSide, int action, bool applyRoutLosses = true);
    // Whether the player's side may take the action now (the dialog's enabled buttons).
    bool IsActionAllowed(int side, int action) const;

    // --- queries ----------------------------------------------------------------------------
    int GetLineTroops(int side, int line) const;
    int CountLiveUnits(int side, int line) const;
    int GetLineTeppou(int side, int line) const;
    int GetAverageMorale(int side, int line, bool fromEstimate) const;
    std::array<int, 2> GetTotalTroops() const;
    bool CanSwapLines(int side) const;
    int FindFrontLine(int side) const;
    bool Adjacent() const { return pos[1] - pos[0] < 2; }
    int SurprisedSide() const { return surprise == 1 ? 1 : surprise == 2 ? 0 : -1; }
    int OwnLine(int side) const;
    int EnemyLine(int side) const;

    // --- the parts of a turn ----------------------------------------------------------------
    bool FireTeppou(int mask, bool predict);
    void Attack(const std::array<bool, 2>& swapped, std::array<int, 2>& confusedLine, bool predict);
    void CheckUchijini(int winner);
    void SwapLines(int side);

private:
    int Troops(int u) const;
    int Strength(int u) const;
    int Valour(int u) const;
    int DeployAuto(int side);
    void AddToLine(int side, int line, int u);
    void TrackUpdate(const std::array<int, 2>& frontBefore);
    bool HeadquartersBeaten(int side) const;
    int TurnsToBreak(int side, int line) const;
    int SideStrength(int side, bool headquartersOnly) const;
    void LoseSoldiers(int u, double cavalryLoss, double footLoss, double garrisonLoss);
    void Message(const std::string& text);
    int Finish(int result, bool applyRoutLosses = true);

    GameState& gs_;
};

}  // namespace rymd
