// The game's flow in the main window: the start menu and what its choices lead to, saving and
// loading, the end of a game and the all-automatic run.
#include "game/save/saved_game.h"
#include "game/scenario/reader.h"
#include "game/shell/app/app_context.h"
#include "game/shell/app/help.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/flow/auto_advance_dlg.h"
#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/flow/start_menu_dlg.h"
#include "game/shell/dialogs/flow/tool_dlgs.h"
#include "game/shell/music/music_player.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"

// After the game's headers: Qt's keyword macros would change them.
#include <QDateTime>

namespace rymd::shell {

namespace {

constexpr const char* kSaveFilter = "Ryuumonden Save Data Files (*.rsd)|*.rsd||";

}  // namespace

// What the rules show in the main window itself.
class CMainWindowView final : public ViewPort {
public:
    explicit CMainWindowView(CMainGameDlg& owner) : owner_(owner) {}
    void SetCaption(std::string_view text) override {
        owner_.phaseCaption_ = std::string(text);
        owner_.ShowPhaseCaption(owner_.phaseCaption_);
    }
    void EnableCommandEndButton(bool on) override {
        owner_.commandEndEnabled_ = on;
        owner_.EnableCommandEndButton(on);
    }
    void BuildCommandMenu(int phase) override { owner_.BuildCommandMenu(phase); }
    void RefillHouseList() override { owner_.RefillDaimyouList(); }
    void StartTimer(int milliseconds) override { owner_.SetTimer(CMainGameDlg::kDisplayTimer, milliseconds); }
    void FocusCommandPanel() override {
        owner_.panel_.SetFocusButton(owner_.panel_.CurrentRow(), owner_.panel_.CurrentPosition());
    }
    void ShowScenarioTitle(std::string_view title) override {
        owner_.DrawStatusBar(std::string(title), true);
    }
    void SetLogText(int log, std::string_view text) override {
        if (log != kMainLog || !owner_.log_.IsWindow()) return;
        owner_.logText_ = std::string(text);
        owner_.log_.SetText(owner_.logText_, true, true);
    }
    void AppendLogLine(int log, std::string_view line) override {
        if (log != kMainLog || !owner_.log_.IsWindow()) return;
        if (!owner_.logText_.empty() && owner_.logText_.back() != '\n') owner_.logText_ += '\n';
        owner_.logText_ += line;
        owner_.logText_ += '\n';
        owner_.log_.SetText(owner_.logText_, true, true);
    }
    // The music goes to the window's own port, which plays it.
    void PlayMusic(int track) override { owner_.port_.PlayMusic(track); }
    void StopMusic() override { owner_.port_.StopMusic(); }
    void SwitchMapView(int kuni) override { owner_.SwitchMapView(kuni); }
    // A scripted event's view-only save is the menu's command, with its questions and refusals.
    void SaveViewOnly() override { owner_.OnSaveViewOnly(); }

private:
    CMainGameDlg& owner_;
};

CMainGameDlg::CMainGameDlg(AppContext& app, ui::Wnd* parent)
    : Dialog(MainTemplate(), parent),
      app_(app),
      kuniMap_(app.korMap),
      port_(this),
      gs_(std::make_unique<GameState>()),
      view_(std::make_unique<CMainWindowView>(*this)),
      panel_(this),
      shiroMap_(app.korMap) {}

// The command dialogs registered for this window's game go with it.
CMainGameDlg::~CMainGameDlg() {
    ClearCommandDialogs();
}

void CMainGameDlg::SetGamePorts(const Ports& ports) {
    gamePorts_ = ports;
}

Ports CMainGameDlg::GamePorts() {
    Ports p = gamePorts_ ? *gamePorts_ : port_.AsPorts();
    p.view = view_.get();
    return p;
}

std::uint32_t CMainGameDlg::NextSeed() const {
    if (app_.seedSource) return app_.seedSource();
    return static_cast<std::uint32_t>(QTime::currentTime().msecsSinceStartOfDay() / 1000);
}

int CMainGameDlg::ReadScenario() {
    gs_->rng.Seed(NextSeed());
    CScenarioReader reader(*gs_, *app_.korMap, GamePorts(), app_.programFolder);
    return reader.ReadScenario().Code();
}

int CMainGameDlg::RunStartMenu() {
    CStartMenuDlg::Hooks hooks;
    hooks.readScenario = [this] { return ReadScenario(); };
    hooks.runUtility = [] {
        CUtilityDlg utility;
        utility.DoModal();
        return utility.m_bBenchmark;
    };
    hooks.openHelp = [this] { ShowHelp(app_.helpPath); };
    CStartMenuDlg menu(std::move(hooks));
    menu.DoModal();
    return menu.m_nChoice;
}

void CMainGameDlg::RefitKuniMap() {
    if (!kuniMap_.IsWindow()) return;
    kuniMap_.SetRedraw(false);
    kuniMap_.FitAndDrawMap(-1);
    kuniMap_.SetRedraw(true);
    kuniMap_.RedrawWindow();
    // The maps show the game now: the castle marks on the whole country.
    AttachGameState(gs_.get());
    SwitchMapView(-1);
}

void CMainGameDlg::RunStartMenuLoop() {
    // The scenario's music is read from the running game.
    if (app_.music)
        app_.music->SetScenarioMusicSource([this](std::string& normal, std::string& battle) {
            normal = gs_->ScenarioBgmNormal;
            battle = gs_->ScenarioBgmBattle;
        });
    for (;;) {
        const int choice = RunStartMenu();
        if (choice == CStartMenuDlg::kNewGame || choice == CStartMenuDlg::kBenchmark) {
            const bool benchmark = choice == CStartMenuDlg::kBenchmark;
            if (benchmark) {
                // A repeatable game.
                gs_->rng.Seed(0);
                gs_->nTextPoolValue = 0;
            }
            RefitKuniMap();
            const Ports ports = GamePorts();
            SetupNewGame(*gs_, *app_.korMap, ports);
            if (app_.music) app_.music->Places().gameFolder.clear();
            std::intptr_t result = ui::IDCANCEL;
            int house = -1;
            int years = 0;
            if (benchmark) {
                CBenchmarkDlg dlg(this);
                result = dlg.DoModal();
                years = dlg.m_nYears;
            } else {
                CDaimyouSelectDlg dlg(*gs_, app_.korMap, this);
                result = dlg.DoModal();
                house = dlg.m_nDaimyou;
            }
            if (result != ui::IDOK) {
                ShowSurfaceWithoutGame();
                continue;
            }
            view_->SetLogText(kMainLog, "");
            // The dummy last house; refused when the house table is full.
            if (!StartNewGame(*gs_, ports, house)) {
                ShowSurfaceWithoutGame();
                continue;
            }
            StartGame(benchmark, years);
            return;
        }
        if (choice == CStartMenuDlg::kLoad) {
            if (!LoadGame()) {
                ShowSurfaceWithoutGame();
                continue;
            }
            AfterLoad();
            return;
        }
        // Quit.
        if (app_.music) {
            app_.music->StopBgm();
            app_.music->CloseBgmDevices();
        }
        KillTimer(kDisplayTimer);
        ui::Sleep(200);
        EndDialog(ui::IDCANCEL);
        return;
    }
}

void CMainGameDlg::StartGame(bool allAutomatic, int years) {
    RefitKuniMap();
    game_ = std::make_unique<CMainGame>(*gs_, *app_.korMap, GamePorts());
    SetUpCommandSurface();
    if (allAutomatic) {
        // The run shows the houses in their colours: the check box is ticked, and the country
        // map colours the top houses of the first month's list (the display timer follows the
        // list while the speed is told).
        game_->PrepareAllAutomatic();
        game_->StartMonth();
        SyncColorDisplay();
        // The run tells its speed itself, once; then it ends the program.
        game_->RunAllAutomatic(years);
        EndDialog(ui::IDOK);
        return;
    }
    ActOnTurnResult(game_->StartMonth());
}

void CMainGameDlg::ActOnTurnResult(TurnResult result) {
    switch (result) {
        case TurnResult::kRestart: RestartGame(); break;
        case TurnResult::kQuit:
            KillTimer(kDisplayTimer);
            EndDialog(ui::IDCANCEL);
            break;
        default: break;
    }
}

bool CMainGameDlg::LoadGame() {
    const std::optional<std::string> path = ui::GetOpenFileName(this, "", kSaveFilter, app_.saveDataFolder);
    if (!path) return false;
    app_.settings.SetSaveFolder(FolderOfPath(*path));
    app_.settings.Save();
    const SavedGameLoad loaded = LoadSavedGameFile(*path, *gs_, *app_.korMap, NextSeed());
    if (!loaded.loaded) {
        MbMsgBox(loaded.message.c_str());
        return false;
    }
    // The scenario's music is looked for beside the saved game.
    if (app_.music) app_.music->Places().gameFolder = loaded.folder;
    // The rebuild that the saved-game reader leaves to the window.
    game_ = std::make_unique<CMainGame>(*gs_, *app_.korMap, GamePorts());
    SetUpCommandSurface();
    view_->EnableCommandEndButton(!gs_->bViewOnly);
    view_->SetLogText(kMainLog, "");
    BuildCommandMenu(gs_->nPhase);
    RefillDaimyouList();
    // The relief in the loaded month's season.
    game_->SetSeason();
    if (app_.music) {
        app_.music->StopBgm();
        app_.music->PlayBgm(MusicPlayer::kNormal);
    }
    RedrawWindow();
    return true;
}

void CMainGameDlg::AfterLoad() {
    RefitKuniMap();
    game_->UpdatePhaseCaption();
    RedrawWindow();
    // The display timer runs again and the keys go to "コマンド終了".
    StartTimer(50);
    panel_.SetFocus();
    panel_.EndButton().SetFocus();
}

void CMainGameDlg::OnFileSave() {
    const std::optional<std::string> path =
        ui::GetSaveFileName(this, "", kSaveFilter, app_.saveDataFolder, "rsd");
    if (!path) return;
    app_.settings.SetSaveFolder(FolderOfPath(*path));
    app_.settings.Save();
    std::string message;
    if (!SaveGameFile(*path, *gs_, *app_.korMap, &message)) MbMsgBox(message.c_str());
}

void CMainGameDlg::OnSaveViewOnly() {
    if (gs_->bStartedAsSpectator) {
        MbMsgBox(kMsgNoViewOnlyAfterSpectatorStart);
        return;
    }
    if (MbMsgBoxOkCancel("閲覧専用形式でセーブを行います\n"
                         "この形式のデータをロードした場合は、ゲーム状況の閲覧のみが可能で、"
                         "プレイの続行はできませんのでご注意ください",
                         true) != ui::IDOK)
        return;
    const bool viewOnly = gs_->bViewOnly;
    gs_->bViewOnly = true;
    OnFileSave();
    gs_->bViewOnly = viewOnly;
}

void CMainGameDlg::OnFileLoad() {
    KillTimer(kDisplayTimer);
    if (LoadGame()) AfterLoad();
    StartTimer(50);
}

void CMainGameDlg::OnFileExit() {
    if (MbMsgBoxOkCancel("ゲームを終了します", true) == ui::IDOK) RestartGame();
}

void CMainGameDlg::RestartGame() {
    KillTimer(kDisplayTimer);
    if (app_.music) app_.music->StopBgm();
    ResetForRestart(*gs_);
    game_.reset();
    phaseCaption_.clear();
    commandEndEnabled_ = false;
    ClearCommandSurface();
    ShowSurfaceWithoutGame();
    ShowWindow(ui::SW_SHOW);
    RedrawWindow();
    RunStartMenuLoop();
}

void CMainGameDlg::OnAutoAdvance() {
    if (!game_) return;
    // The run colours the country map: it is shown. The panel's house list stays empty while the
    // dialog ranks the houses; the phase starts of the run do not refill it.
    if (views_.viewMode != 0) SwitchMapView(-1);
    houseListReady_ = false;
    panel_.HouseList().DeleteAllItems();
    CAutoAdvance model(*game_);
    // The list marks each house with the picture the panel's house list gives its place.
    CAutoAdvanceDlg dlg(model, kuniMap_, &houseSwatches_, this);
    // The country map shows the ranked houses' colours while the dialog is open.
    dlg.m_RefreshMap = [this] { SyncColorDisplay(); };
    dlg.DoModal();
    const bool ended = model.Finish();
    houseListReady_ = true;
    SyncColorDisplay();
    RefitKuniMap();
    if (ended) {
        RestartGame();
        return;
    }
    RefillDaimyouList();
    if (dlg.Quit()) ActOnTurnResult(TurnResult::kQuit);
}

void CMainGameDlg::OnVersion() {
    CAboutDlg dlg(this);
    dlg.DoModal();
}

void CMainGameDlg::OnScenarioInfo() {
    CScenarioInfoDlg dlg(*gs_, this);
    dlg.DoModal();
}

}  // namespace rymd::shell
