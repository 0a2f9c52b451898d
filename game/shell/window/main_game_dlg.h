// CMainGameDlg: the one top-level window of the game. It restores its placement, loads the
// default province map, builds its children (the backdrop with the status bar at the top, the
// whole-country map, the splitter bar and the log window below it, the command panel's place on
// the right, the castle view over the whole left side), reads the settings, and saves its
// placement when it closes. Enter does nothing; Escape and the close box ask "ゲームを終了します".
// Once a game is attached, clicks and menu items switch between the country map and the castle
// view, and the display timer animates both (main_game_map.cpp).
//
// Once shown, the window runs the start menu and the game's flow (main_game_flow.cpp): new game
// and house selection, loading and saving, the end of a game and the all-automatic run.
//
// The command surface (main_game_commands.cpp): the command panel, the menu bar, the status
// line's game information, the phase commands and the phase end.
//
// The map views (main_game_map.cpp): the country map and the castle view, the display timer.
//
// The window's icons and the colour swatches of the command panel's house list are painted when
// it starts (window_pictures.h).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/shell/app/backdrop_wnd.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "game/shell/port/qt_port.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_menu.h"
#include "game/shell/window/pass_through_wnd.h"
#include "game/turn/main_game.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd {
struct GameState;
struct NewGameRequest;
}  // namespace rymd

namespace rymd::shell {

struct AppContext;
class CMainWindowView;

// What a click on a castle may show: its information, a refusal message, or nothing at all.
enum class ShiroInfoAccess { kAllowed, kRefused, kSilent };
// The castle's entry in the restriction list decides (kind 0: only the player's side, kind 2:
// the player's side or the besieging player, kind 3: nothing happens); no entry: allowed. A
// castle without a house is nobody's side.
ShiroInfoAccess ShiroInfoAccessFor(const GameState& gs, int shiro);

// The map views' part of the main window: which view is shown, the province chosen, and the
// display timer's animation counters.
struct MapViewState {
    int viewMode = 0;  // 0 the country map, 1 the castle view
    int curKuni = -1;
    int blinkPhase = 0;  // own-castle pulse, 0..5
    bool mapRefreshOn = false;
    int castleBlinkStep = 0;  // 0..5
    int colourStep = 0;       // 0..2
    int subStep = 0;          // 0..1
    unsigned mapTick = 0;
    int lastTimerPeriod = 0;  // what the last tick re-armed the timer with (ms)
};

// The placement stored in the profile's "Window" section.
struct StoredPlacement {
    int left = -1, top = -1, right = -1, bottom = -1;
    int maximized = 0;
    int logHeight = 50;
};

// Where the window opens: the stored rectangle moved onto the screen when it fits the screen,
// else 992 x 736 (each at most the screen's size - 32) centred; the log height limited to the
// rectangle's height - 200 and at least 20.
struct Placement {
    ui::Rect rect;
    bool maximized = false;
    int logHeight = 50;
};
Placement ChoosePlacement(const StoredPlacement& stored, int screenW, int screenH);

StoredPlacement ReadStoredPlacement();

class CMainGameDlg : public ui::Dialog, public MainWindowFace {
public:
    static constexpr int kBackdropId = 2000;
    static constexpr int kKuniMapId = 2001;
    static constexpr int kShiroMapId = 2002;
    static constexpr int kLogId = 2003;
    static constexpr int kSplitterId = 2005;
    static constexpr int kDisplayTimer = 1;

    explicit CMainGameDlg(AppContext& app, ui::Wnd* parent = nullptr);
    ~CMainGameDlg() override;

    static const ui::DialogTemplate& MainTemplate();

    bool OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;
    void OnDestroy() override;
    void OnSize(int type, int cx, int cy) override;
    bool OnEraseBkgnd(ui::Dc& dc) override;
    void OnLButtonDown(unsigned flags, ui::Point point) override;
    void OnMouseMove(unsigned flags, ui::Point point) override;

    // ---- The map views (main_game_map.cpp) ----------------------------------------------------
    // The game the maps show (null: the map alone).
    void AttachGameState(GameState* gs);
    // The castle view of province k, or (k < 0) the country map.
    void SwitchMapView(int k);
    // The castle dots of the country map: the game's colour display (its top houses in their
    // colours), the current house's relations with its own castles pulsing, or every castle white.
    void RefreshKuniMap(bool redraw);
    void ShowShiroInfo(int shiro);
    // Arms the display timer.
    void StartTimer(int ms) override;
    // One tick of the display timer (the timer is single-shot: each tick re-arms it).
    void DisplayTimerTick();
    // The menu item under the cursor (0 when the menu closes): castle items blink their castle
    // on the castle view, province items select their province on the country map.
    void OnMenuSelect(unsigned item) override;
    // A click on a map or a province or castle menu item; false for any other command.
    bool OnMapCommand(int id);
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnTimer(int id) override;
    CShiroMapWnd& ShiroMap() { return shiroMap_; }
    MapViewState& MapViews() { return views_; }
    bool CastleViewShown() const override { return views_.viewMode == 1; }
    // Draws the castle view anew from the game.
    void RefreshCastleView() override;
    void StopDisplayTimer() override { KillTimer(kDisplayTimer); }
    // The window the dialogs open over: this one.
    ui::Wnd& Window() override { return *this; }

    // Places every child for a client area of cx x cy.
    void LayoutChildren(int cx, int cy);
    // Writes the title line on the backdrop's picture and repaints the backdrop.
    void DrawStatusBar(const std::string& title, bool withGameInfo);

    // The children, for the owner's code and the tests.
    CBackdropWnd& Backdrop() { return backdrop_; }
    CKuniMapWnd& KuniMap() override { return kuniMap_; }
    MbWnd::CMultiTextCtrl& LogWindow() { return log_; }
    CPassThroughWnd& Splitter() { return splitter_; }
    bool ChildrenReady() const { return childrenReady_; }
    // Width of the command panel's place on the right.
    int PanelWidth() const;
    // The ports through which the rules reach the player in this window.
    QtPort& Port() { return port_; }
    // The map load's message when the start-up ended the window ("" otherwise).
    const std::string& MapFailure() const { return mapFailure_; }

    // --- the game's flow (main_game_flow.cpp) ---------------------------------------------------
    GameState& State() override { return *gs_; }
    // The running game's month and phases (null before a game starts).
    CMainGame* Game() { return game_.get(); }
    // The start menu; its choice (CStartMenuDlg::Choice).
    int RunStartMenu();
    // The start menu again and again until a game starts, a game is loaded or the player quits.
    void RunStartMenuLoop();
    // File dialog, saved game read, what depends on it rebuilt; false when nothing was loaded.
    bool LoadGame();
    void OnFileSave();
    void OnSaveViewOnly();
    void OnFileLoad();
    // "ゲームを終了します" (OK/Cancel); OK returns to the start menu.
    void OnFileExit();
    void RestartGame();
    // What the window does after a step of the month: restart, or end the program.
    void ActOnTurnResult(TurnResult result);
    // The AUTO button: the automatic-advance dialog.
    void OnAutoAdvance();
    void OnVersion();
    void OnScenarioInfo();
    // The phase caption the rules last gave ("%sフェイズ", "閲覧専用"), as the panel shows it.
    const std::string& PhaseCaption() const { return phaseCaption_; }
    bool CommandEndEnabled() const { return commandEndEnabled_; }
    // Test seam: the ports through which the rules tell and ask the player (the view stays the
    // window's own). Default: the window's Qt port.
    void SetGamePorts(const Ports& ports);
    Ports GamePorts() override;

    // ---- The command surface (main_game_commands.cpp) -----------------------------------------
    // Test seam: a new game of a scenario for a house, without the start menu and the house
    // selection; the first month start runs. The reader's or the house choice's code, 0 when the
    // game runs.
    int StartScenarioGame(const NewGameRequest& request);
    CCommandPanelDlg& Panel() { return panel_; }
    CMainMenu& Menus() { return menus_; }
    int SelectedKuni() const { return views_.curKuni; }
    // What the last phase step returned.
    TurnResult LastTurnResult() const { return lastResult_; }
    // The panel and the menus for the game that now stands (after a start or a load).
    void SetUpCommandSurface();
    // The panel, the status line and the command menu as a game that has not started shows them:
    // no commands, "コマンド終了" disabled, funds 0, no houses, the program's title alone.
    void ClearCommandSurface();
    // The province board and the log as the window shows them before any game: no province
    // chosen, the board's labels alone, and the log holding the hint about the maps.
    void ShowBoardAndLogWithoutGame();
    // The maps as the window shows them before any game: the whole country without castle marks
    // and without a chosen province, the castle view hidden.
    void ShowMapsWithoutGame();
    // The maps, the province board and the log as before any game: what the start menu stands
    // over whenever it comes back (after a quit, a cancelled or refused new game, a load that
    // did not happen).
    void ShowSurfaceWithoutGame();

    void OnCommandEnd();
    void BuildCommandMenu(int page);
    void UpdatePhaseCaption() override;
    void ShowPhaseCaption(const std::string& text);
    void UpdateKuniInfo() override;
    void ShowPanelMapButtons(bool castleView);
    // The music settings command: the dialog, and the no-music switch into the settings file.
    void OnMusicSettings();
    // The panel's check box 色分け表示 and the country map show the game's colour display (on
    // or off, its ranked houses). Without a game the box keeps the player's choice.
    void SyncColorDisplay();
    // The panel's check box 色分け表示 (null before the panel is made), and the player's choice
    // of the colour display that it holds.
    ui::Button* ColorDisplayBox();
    bool ColorDisplayChosen();
    // The house information dialog for the house.
    void ShowDaimyouInfo(int house);
    void RefillDaimyouList() override;
    void EnableCommandEndButton(bool enable);
    void OnColorDisplayButton();
    void OnDelegateToCpu();
    void OnChangePlayerButton();
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    // F1 in the main window: the help at its top page.
    bool OnHelpInfo() override { return OpenDialogHelp(); }

private:
    friend class CMainWindowView;
    void CreateCommandPanel();
    // The menu bar from the menus (again after their top texts change).
    void InstallMenuBar();
    // The game's state while a game runs, else null.
    const GameState* GameOrNull() const { return game_ ? gs_.get() : nullptr; }
    bool LoadDefaultMap();
    int ReadScenario();
    void StartGame(bool allAutomatic, int years);
    void RefitKuniMap();
    void AfterLoad();
    std::uint32_t NextSeed() const;

    AppContext& app_;
    bool childrenReady_ = false;
    int startSeason_ = 0;  // the relief's season before any game, shown again after one is quit
    int logHeight_ = 50;
    CBackdropWnd backdrop_;
    CKuniMapWnd kuniMap_;
    MbWnd::CMultiTextCtrl log_;
    std::string logText_;
    CPassThroughWnd splitter_;
    ui::Point dragAnchor_{-1, -1};
    int dragLogHeight_ = 0;
    std::string mapFailure_;
    QtPort port_;

    // The game's flow.
    std::unique_ptr<GameState> gs_;
    std::unique_ptr<CMainGame> game_;
    std::unique_ptr<CMainWindowView> view_;
    std::optional<Ports> gamePorts_;
    std::string phaseCaption_;
    bool commandEndEnabled_ = false;

    // The command surface; the swatches outlive the panel's list that shows them.
    ui::ImageList houseSwatches_;
    CCommandPanelDlg panel_;
    CMainMenu menus_;
    bool houseListReady_ = true;
    TurnResult lastResult_ = TurnResult::kContinue;

    // The map views.
    CShiroMapWnd shiroMap_;
    GameState* mapGs_ = nullptr;  // the game the maps show
    MapViewState views_;
    void RedrawKuniMapSelected(int k);
    // Fits and draws the country map for its window again, with its base copy and the dots.
    void RefitKuniMapForSize();
};

}  // namespace rymd::shell
