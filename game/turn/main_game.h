// The rules half of the main game window: the month and its phases.
//
// A month is the event phase (phase 0), which runs by itself inside the month start, and six
// acting phases: personnel, armament, diplomacy, domestic, strategy and sortie. Each acting
// phase has a begin step and an end step. The begin step prepares the phase, draws a new house
// order, lets every computer house before the player's house in that order act and then hands
// the turn to the player. The end step hands the player's corps to the computer planner of the
// phase, lets the houses after the player act and calls the next begin step. The end of the
// sortie phase resolves the battles, advances the date and runs the month start, which ends
// with the begin step of the personnel phase. So one whole month runs as one chain of calls
// started by one phase end.
//
// Three drivers call the end steps: the phase-end button, the automatic advance (one end step
// per tick, auto_advance.h) and the all-automatic benchmark run (RunAllAutomatic). None of the
// steps acts on the end of a game deep inside the rules: a step that ends the game, asks for a
// restart or finds that the player wants to stop watching returns a TurnResult, and the driver
// acts on it.
//
// A house takes part in a loop only while it exists (its head field is not -1); a house that
// falls during a month is skipped by every later loop, its slot stays in the house order.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"
#include "game/state/game_context.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;
class CCpuJinji;
class CCpuGaikou;
class CCpuGunbi;
class CCpuNaisei;
class CCpuSenryaku;
class CKassenPhase;

// What a step leaves for its driver to do.
enum class TurnResult {
    kContinue,   // the game goes on; the player has the turn of the current phase
    kGameOver,   // the game ended in an all-automatic run: only the game-over flag is set
    kGameEnded,  // the game ended during the automatic advance: the game-ended flag is set, the
                 // advance stops and the window restarts the game afterwards
    kRestart,    // the game ended and its ending was shown: back to the start menu
    kQuit,       // the player's house fell and he does not want to watch on: the program ends
};

// The phase names by phase number; entries 7 to 9 name list views, never phases.
inline constexpr std::array<const char*, 10> kPhaseNameTbl = {
    "イベント", "人事", "軍備", "外交", "内政", "戦略", "出陣", "通常", "捕虜", "人質",
};

// The question asked when the player's house has fallen.
inline constexpr const char* kFallenHouseQuestion = "当家は滅亡しました。今後の経過を見ますか？";

// The outcome of an all-automatic run.
struct AllAutomaticResult {
    int months = 0;                           // months run
    std::uint32_t elapsedMs = 0;              // wall-clock time of the run
    double secondsPerMonth = 0.0;             // elapsed seconds / months (at least one month counted)
    std::string text;                         // "実行速度 %.3f 秒／月"
    TurnResult last = TurnResult::kContinue;  // what the last step returned
};

class CMainGame {
public:
    static constexpr int kMaxColorDaimyou = 10;

    CMainGame(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports);
    ~CMainGame();
    CMainGame(const CMainGame&) = delete;
    CMainGame& operator=(const CMainGame&) = delete;

    GameState& State() { return gs_; }
    const GameState& State() const { return gs_; }
    MbKorMap::CCtrlKorMap& Map() { return map_; }
    const Ports& GetPorts() const { return ports_; }
    // The state, map and ports as the planners and phase controllers work on them.
    GameContext Context() { return GameContext{gs_, map_, ports_}; }
    // What the player is shown now, from the game's automatic-advance and all-automatic flags and
    // the skip-conditional-event-display option.
    SuppressionPolicy Policy() const;

    // The skip-conditional-event-display option of the automatic advance. A new game and a
    // restart set it.
    bool SkipEventMessages() const { return skipEventMessages_; }
    void SetSkipEventMessages(bool on) { skipEventMessages_ = on; }

    // --- the computer planners --------------------------------------------------------------
    CCpuJinji& CpuJinji() { return *cpuJinji_; }
    CCpuGaikou& CpuGaikou() { return *cpuGaikou_; }
    CCpuGunbi& CpuGunbi() { return *cpuGunbi_; }
    CCpuNaisei& CpuNaisei() { return *cpuNaisei_; }
    CCpuSenryaku& CpuSenryaku() { return *cpuSenryaku_; }
    CKassenPhase& KassenPhase() { return *kassenPhase_; }

    // Called before each planner entry that a step runs: the phase, the house and the corps (-1
    // the house's directly held part), or kWholeHouse for the per-house entry. For tests and tools
    // that follow the order in which the houses act.
    static constexpr int kWholeHouse = -2;
    using PlannerObserver = std::function<void(int phase, int daimyou, int gundan)>;
    void SetPlannerObserver(PlannerObserver observer) { plannerObserver_ = std::move(observer); }

    // --- phase steps ------------------------------------------------------------------------
    void BeginJinjiPhase();
    TurnResult EndJinjiPhase();
    void BeginGunbiPhase();
    TurnResult EndGunbiPhase();
    void BeginGaikouPhase();
    TurnResult EndGaikouPhase();
    void BeginNaiseiPhase();
    TurnResult EndNaiseiPhase();
    void BeginSenryakuPhase();
    TurnResult EndSenryakuPhase();
    void BeginShutsujinPhase();
    // Battles, the fallen-house question, the date advance and the month start.
    TurnResult EndShutsujinPhase();
    // The event phase runs inside the month start; its end step does nothing.
    TurnResult EndEventPhase();
    // The end step of the current phase (by the phase number); a phase outside 0..6 does nothing.
    TurnResult EndCurrentPhase();

    // Redraws the house order; the number of entries shuffled. In a spectator game the dummy
    // last house stays last.
    int ShuffleDaimyouOrder();

    // --- the month start ----------------------------------------------------------------------
    // Everything that happens once a month before the houses act, then the personnel begin step.
    TurnResult StartMonth();
    // The monthly drift of the scenario's musket rates.
    void DriftScenarioRates();
    // The season of the current month into the province map (0 spring .. 3 winter).
    void SetSeason();
    static int SeasonOfMonth(int month);
    // The month's musket deliveries and the player's musket report.
    void DeliverTeppou();
    // The scenario's ending text for a house.
    void ShowEnding(int daimyou);
    // The ending text with its placeholders filled for a house.
    std::string MakeEndingText(int daimyou) const;

    // The scheduled events of the month (game/events/scheduled_events.h): their dialog is not
    // shown during the automatic advance, their effects apply all the same.
    void RunScheduledEvents();
    // The conditional events of the month (game/events/event_run.h); -1 no ending, a house index
    // for that house's ending, -2 an ending without its text. Their messages are not shown while
    // the automatic advance runs with its skip option on.
    int RunConditionalEvents();

    // --- the all-automatic run ----------------------------------------------------------------
    // Sets the flags of an all-automatic run (automatic advance on, stop request off, skip the
    // display of conditional events) for a game about to start.
    void PrepareAllAutomatic();
    // Runs end steps until the personnel phase of the same month the given number of years
    // later begins, or the game is over; then tells "実行速度 %.3f 秒／月".
    AllAutomaticResult RunAllAutomatic(int years);

    // --- window state the steps keep ------------------------------------------------------------
    // Whether the player has been asked to watch on after his house fell (set from the start for
    // a game made over a state whose player's house is already gone, as a loaded game's can be).
    bool AskedFallenHouse() const { return askedFallenHouse_; }
    void SetAskedFallenHouse(bool on) { askedFallenHouse_ = on; }
    bool GameEnded() const { return gameEnded_; }
    void SetGameEnded(bool on) { gameEnded_ = on; }
    // -1 none, -2 an ending without unification message, else the house of the ending.
    int EndingResult() const { return endingResult_; }
    const std::string& LogText() const { return logText_; }
    // Colour display of the country map: houses in their own colours (the automatic advance
    // switches it on and gives the strongest houses).
    bool ColorDisplay() const { return colorDisplay_; }
    void SetColorDisplay(bool on) { colorDisplay_ = on; }
    const std::array<int, kMaxColorDaimyou>& ColorDaimyou() const { return colorDaimyou_; }
    int ColorDaimyouCount() const { return nColorDaimyou_; }
    void SetColorDaimyou(const int* houses, int count);

    // Whether the house slot is in use by a house that still exists.
    bool DaimyouExists(int daimyou) const;

    // The phase caption: "%sフェイズ" of the current phase, or "閲覧専用" for view-only data.
    void UpdatePhaseCaption();

private:
    void SetLog(const std::string& text);
    // The common shape of the begin and end steps.
    void BeginPhase(int phase);
    void SnapshotCastles();
    void EndPhaseWalk(int phase);
    void RunDaimyouPlanner(int phase, int daimyou);
    void RunGundanPlanner(int phase, int daimyou, int gundan);
    void RunGaikouWithLog(int daimyou);
    void CheckGundanLeaders();
    void FinishBegin();
    // The month start in pieces.
    void UpkeepBushou();
    void ReleaseOrphanedDaimyou();
    // Sets or clears the game-over flag; the unifying house when it is set.
    int TestUnification();
    TurnResult EndGame(int daimyou, bool showText);
    void AgeRelations();

    GameState& gs_;
    MbKorMap::CCtrlKorMap& map_;
    Ports ports_;
    bool skipEventMessages_ = true;
    bool askedFallenHouse_ = false;
    bool gameEnded_ = false;
    int endingResult_ = -1;
    std::string logText_;
    bool colorDisplay_ = false;
    std::array<int, kMaxColorDaimyou> colorDaimyou_{};
    int nColorDaimyou_ = 0;

    PlannerObserver plannerObserver_;
    std::unique_ptr<CCpuJinji> cpuJinji_;
    std::unique_ptr<CCpuGaikou> cpuGaikou_;
    std::unique_ptr<CCpuGunbi> cpuGunbi_;
    std::unique_ptr<CCpuNaisei> cpuNaisei_;
    std::unique_ptr<CCpuSenryaku> cpuSenryaku_;
    std::unique_ptr<CKassenPhase> kassenPhase_;
};

}  // namespace rymd
