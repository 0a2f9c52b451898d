// The game's flow through the main window: start menu, new game of the bundled scenario, house
// selection, months played, saving (also view-only), the end of the game, loading from the
// start menu, the spectator's seat and its refused view-only save, a cancelled house selection,
// the full house table and the all-automatic benchmark. The months are driven through the main
// window's game, phase end by phase end as the command-line tool plays them, so the state hash
// can be compared with the tool's for the same steps.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "game/ports/headless_port.h"
#include "game/save/saved_game.h"
#include "game/shell/app/app_context.h"
#include "game/shell/app/help.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/flow/auto_advance_dlg.h"
#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/flow/start_menu_dlg.h"
#include "game/shell/dialogs/flow/tool_dlgs.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/port/qt_port.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/shell/window/window_pictures.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "platform/qt/controls.h"
#include "platform/qt/list_ctrl.h"
#include "support/run_cli.h"
#include "support/world_files.h"

namespace rymd::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace rymd::shell;

// The headless answers of the command-line tool; the scenario file comes from the script.
class FlowAskPort final : public AskPort {
public:
    explicit FlowAskPort(HeadlessPort& base) : base_(base) {}
    bool AskYesNo(std::string_view t, bool d) override { return base_.AskYesNo(t, d); }
    bool AskOkCancel(std::string_view t) override { return base_.AskOkCancel(t); }
    int AskChoice(std::string_view p, std::span<const std::string> c, int d) override {
        return base_.AskChoice(p, c, d);
    }
    double AskNumber(std::string_view p) override { return base_.AskNumber(p); }
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                           std::string_view folder) override {
        return ui::GetOpenFileName(nullptr, title, filter, folder);
    }

private:
    HeadlessPort& base_;
};

// A castle of the house whose dot on the country map no later dot covers (-1: none).
int ClearDot(const GameState& gs, CKuniMapWnd& map, int house) {
    for (int c : ShiroIndexes(gs)) {
        if (ShiroAt(gs, c).daimyou != house) continue;
        ui::Rect a = map.ShiroDotRect(c);
        a.InflateRect(1, 1);
        bool covered = a.IsRectEmpty();
        for (int t = c + 1; t < ShiroCount(gs) && !covered; ++t) {
            ui::Rect b = map.ShiroDotRect(t);
            b.InflateRect(1, 1);
            covered = a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
        }
        if (!covered) return c;
    }
    return -1;
}

// The window shows the game's colour display as the player sees it (after a tick of the display
// timer): the check box 色分け表示 is ticked when the display is on, and the country map then
// gives the castles of the houses at places 1 to 9 of the house list the colours of their places.
void ExpectTheWindowShowsTheGamesColourDisplay(CMainGameDlg& m, const char* when) {
    ASSERT_NE(m.Game(), nullptr) << when;
    ui::test::FireTimer(m, CMainGameDlg::kDisplayTimer);
    const bool on = m.Game()->ColorDisplay();
    auto* box = dynamic_cast<ui::Button*>(m.Panel().GetDlgItem(CCommandPanelDlg::kColorDisplayId));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCheck() == ui::BST_CHECKED, on) << when;
    const GameState& gs = m.State();
    const auto& houses = m.Game()->ColorDaimyou();
    int compared = 0;
    int coloured = 0;
    for (int k = 1; k < m.Game()->ColorDaimyouCount(); ++k) {
        const int h = houses[static_cast<std::size_t>(k)];
        if (DaimyouAt(gs, h).bond == CDaimyou::kBondShinjuu) continue;  // its master's colour
        const int c = ClearDot(gs, m.KuniMap(), h);
        if (c < 0) continue;
        const ui::Point dot = m.KuniMap().ShiroDotRect(c).CenterPoint();
        ++compared;
        coloured += m.KuniMap().m_BackBmp.GetPixelColor(dot.x, dot.y) ==
                    kDaimyouColorTbl[static_cast<std::size_t>(k)];
    }
    EXPECT_GE(compared, 5) << when;
    if (on) {
        EXPECT_EQ(coloured, compared) << when << ": the map does not colour the list's top houses";
    } else {
        EXPECT_LT(coloured, compared) << when << ": the map colours the houses with the display off";
    }
}

class GameFlowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        root_ = fs::temp_directory_path() / ("rymd_flow_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "prog" / "SaveData");
        program_ = (root_ / "prog").string() + "/";
        fs::copy_file(std::string(RYMD_SOURCE_DIR) + "/data/default.smp", program_ + "default.smp");
        ui::Profile::UseFile((root_ / "profile.ini").string());
        app_.programFolder = program_;
        app_.saveDataFolder = program_ + "SaveData/";
        app_.korMap = &map_;
        app_.settings.SetLocation(program_, program_);
        app_.startMenu = true;
        app_.seedSource = [] { return 7u; };
        PictureStore().SetFolder(FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
        ports_ = headless_.AsPorts();
        ports_.ask = &ask_;
    }
    void TearDown() override {
        GuiTest::TearDown();
        ui::Profile::UseFile("");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string SavePath(const std::string& name) const { return program_ + "SaveData/" + name; }

    // The start menu's new game: the scenario read, then the house selection ends with the
    // first house of the province (house >= 0 after the step), the spectator seat (house -1) or
    // a cancel.
    enum class Pick { kFirstHouse, kSpectator, kCancel };
    void QueueNewGame(const std::string& scenario, const char* kuniId, Pick pick, int* house,
                      std::function<void(CMainGameDlg&)> beforePick = {}) {
        Script().Click(CStartMenuDlg::kNewGameId);
        Script().ChooseFile(scenario);
        Script().OnDialog([=, this](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CDaimyouSelectDlg&>(d);
            if (beforePick) beforePick(*main_);
            if (pick == Pick::kCancel) {
                ui::test::ClickControl(d, ui::IDCANCEL);
                return;
            }
            if (pick == Pick::kSpectator) {
                ui::test::ClickControl(d, CDaimyouSelectDlg::kSpectatorId);
                return;
            }
            dlg.OnKuniClicked(map_.FindKuni(kuniId));
            ASSERT_GT(dlg.List().GetItemCount(), 0);
            *house = static_cast<int>(dlg.List().GetItemData(0));
            dlg.List().SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
            dlg.OnListClick();
        });
        if (pick == Pick::kFirstHouse) Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDOK); });
    }
    // The start menu's benchmark of the scenario for one year; the speed box's text into *speed;
    // whileTold runs while the speed box is up.
    void QueueOneYearBenchmark(const std::string& scenario, std::string* speed,
                               std::function<void()> whileTold = {}) {
        Script().Click(CStartMenuDlg::kUtilityId);
        Script().Click(CUtilityDlg::kBenchmarkId);
        Script().ChooseFile(scenario);
        Script().OnDialog([](ui::Dialog& d) {
            d.GetDlgItem(CBenchmarkDlg::kYearsId)->SetWindowText("1");
            ui::test::ClickControl(d, ui::IDOK);
        });
        Script().OnDialog([speed, whileTold](ui::Dialog& box) {
            *speed = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            if (whileTold) whileTold();
            box.EndDialog(ui::IDOK);
        });
    }
    // Plays whole months from the phase the game stands at, as the command-line tool does.
    static void PlayMonths(CMainGameDlg& m, int months) {
        ASSERT_NE(m.Game(), nullptr);
        int done = 0;
        while (done < months) {
            const int phase = m.State().nPhase;
            ASSERT_GE(phase, 1);
            const TurnResult r = m.Game()->EndCurrentPhase();
            ASSERT_EQ(r, TurnResult::kContinue);
            if (phase == 6) ++done;
        }
    }
    // Runs the main window; main_ is set while it runs.
    std::intptr_t RunMain(std::function<void(CMainGameDlg&)> step) {
        CMainGameDlg dlg(app_);
        main_ = &dlg;
        dlg.SetGamePorts(ports_);
        if (step)
            Script().OnDialog([step](ui::Dialog& d) {
                step(dynamic_cast<CMainGameDlg&>(d));
                if (!d.IsEnded()) d.EndDialog(ui::IDCANCEL);
            });
        const std::intptr_t r = dlg.DoModal();
        main_ = nullptr;
        return r;
    }
    static std::string HashOf(const std::string& json) {
        const std::string key = "\"state_hash\":\"";
        const std::size_t at = json.find(key);
        return at == std::string::npos ? std::string() : json.substr(at + key.size(), 16);
    }

    fs::path root_;
    std::string program_;
    MbKorMap::CCtrlKorMap map_;
    AppContext app_;
    std::ostringstream said_;
    HeadlessPort headless_{said_};
    FlowAskPort ask_{headless_};
    Ports ports_;
    CMainGameDlg* main_ = nullptr;
};

TEST_F(GameFlowTest, NewGameSaveEndLoadAndPlayOnGiveTheToolsState) {
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kFirstHouse, &house);
    std::string hash;
    const std::string save = SavePath("flow.rsd");
    RunMain([&](CMainGameDlg& m) {
        ASSERT_NE(m.Game(), nullptr);
        EXPECT_EQ(m.State().nPlayerDaimyou, house);
        EXPECT_FALSE(m.State().bSpectator);
        EXPECT_EQ(m.State().nPhase, 1);
        EXPECT_EQ(m.PhaseCaption(), "人事フェイズ");
        EXPECT_TRUE(m.CommandEndEnabled());
        PlayMonths(m, 2);

        Script().ChooseFile(save);
        m.OnFileSave();
        ASSERT_TRUE(fs::exists(save));
        EXPECT_EQ(app_.settings.SaveFolder(), app_.saveDataFolder);

        // The game ended: the start menu again, and the save loaded from it.
        std::string asked;
        Script().OnDialog([&](ui::Dialog& box) {
            asked = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDOK);
        });
        Script().Click(CStartMenuDlg::kLoadId);
        Script().ChooseFile(save);
        m.OnFileExit();
        EXPECT_EQ(asked, "ゲームを終了します");
        ASSERT_NE(m.Game(), nullptr);
        // The maps show the loaded game again (the quit took the game off them).
        EXPECT_EQ(m.KuniMap().GetGameState(), &m.State());
        EXPECT_EQ(m.State().nPlayerDaimyou, house);
        EXPECT_EQ(m.PhaseCaption(), "人事フェイズ");
        PlayMonths(m, 1);
        hash = StateHash(m.State());
    });
    ASSERT_GE(house, 0);
    ASSERT_EQ(hash.size(), 16u);

    const std::string cliSave = (root_ / "cli.rsd").string();
    const auto run = test::RunCli("run " + BundledScenario() + " --months 2 --seed 7 --house " +
                                  std::to_string(house) + " --save " + cliSave);
    ASSERT_EQ(run.status, 0);
    const auto load = test::RunCli("load " + cliSave + " --months 1 --seed 7 --dump -");
    ASSERT_EQ(load.status, 0);
    EXPECT_EQ(hash, HashOf(load.out));
}

// What the panel, the status line and the log show of a game: after the game is quit for the
// start menu, the same as before the first game.
struct SurfaceLook {
    QImage statusLine;
    QImage kuniBoard;
    QImage countryMap;
    bool castleView = false;
    int kuni = -1;
    std::string log;
    bool endEnabled = false;
    std::string funds;
    std::string phase;
    int houses = 0;
    int commandsShown = 0;
};

SurfaceLook LookOf(CMainGameDlg& m) {
    SurfaceLook look;
    look.statusLine = ui::test::Grab(m.Backdrop());
    look.kuniBoard = ui::test::Grab(m.Panel().KuniBoard());
    look.countryMap = ui::test::Grab(m.KuniMap());
    look.castleView = m.ShiroMap().IsWindowVisible();
    look.kuni = m.SelectedKuni();
    look.log = m.LogWindow().GetText();
    look.endEnabled = m.Panel().EndButton().IsWindowEnabled();
    look.funds = m.Panel().GetDlgItem(CCommandPanelDlg::kFundsId)->GetWindowText();
    look.phase = m.Panel().PhaseText();
    look.houses = m.Panel().HouseList().GetItemCount();
    for (int i = 0; i < kCommandCount; ++i)
        look.commandsShown += m.Panel().CommandButton(i).IsWindowVisible() ? 1 : 0;
    return look;
}

// The surface after a way back to the start menu is the one the menu first stood over.
void ExpectTheSurfaceOfAGameNotStarted(const SurfaceLook& after, const SurfaceLook& before, const char* way) {
    EXPECT_FALSE(after.endEnabled) << way;
    EXPECT_EQ(after.funds, before.funds) << way;
    EXPECT_EQ(after.phase, before.phase) << way;
    EXPECT_EQ(after.houses, 0) << way;
    EXPECT_EQ(after.commandsShown, before.commandsShown) << way;
    EXPECT_TRUE(after.statusLine == before.statusLine)
        << way << ": the status line keeps a game's date and house";
    EXPECT_TRUE(after.kuniBoard == before.kuniBoard) << way << ": the province board keeps a game's figures";
    EXPECT_TRUE(after.log == before.log) << way << ": the log keeps a game's lines";
    EXPECT_TRUE(after.countryMap == before.countryMap)
        << way << ": the country map keeps a game's castle marks, chosen province or season";
    EXPECT_FALSE(after.castleView) << way;
    EXPECT_EQ(after.kuni, -1) << way;
}

TEST_F(GameFlowTest, QuittingAGameShowsTheSurfaceOfAGameNotStarted) {
    SurfaceLook before, during, after;
    Script().OnDialog([&](ui::Dialog& menu) {
        before = LookOf(*main_);
        ui::test::ClickControl(menu, CStartMenuDlg::kNewGameId);
    });
    int house = -1;
    Script().ChooseFile(BundledScenario());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CDaimyouSelectDlg&>(d);
        dlg.OnKuniClicked(map_.FindKuni("K_OWARI"));
        house = static_cast<int>(dlg.List().GetItemData(0));
        dlg.List().SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
        dlg.OnListClick();
    });
    Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDOK); });
    RunMain([&](CMainGameDlg& m) {
        // A month played, with a province chosen on the country map.
        PlayMonths(m, 1);
        m.SwitchMapView(map_.FindKuni("K_OWARI"));
        m.SwitchMapView(-1);
        ASSERT_EQ(m.SelectedKuni(), map_.FindKuni("K_OWARI"));
        during = LookOf(m);
        // Quit from the castle view of the chosen province.
        m.SwitchMapView(map_.FindKuni("K_OWARI"));
        Script().Answer(ui::IDOK);  // "ゲームを終了します"
        Script().OnDialog([&](ui::Dialog& menu) {
            after = LookOf(m);
            EXPECT_EQ(m.KuniMap().GetGameState(), nullptr) << "the country map still shows the quit game";
            ui::test::ClickControl(menu, CStartMenuDlg::kQuitId);
        });
        m.OnFileExit();
    });
    ASSERT_GE(house, 0);
    // The game showed itself.
    EXPECT_TRUE(during.endEnabled);
    EXPECT_NE(during.funds, "0");
    EXPECT_GT(during.houses, 0);
    EXPECT_NE(during.statusLine, before.statusLine);
    EXPECT_NE(during.kuniBoard, before.kuniBoard);
    EXPECT_NE(during.log, before.log);
    EXPECT_NE(during.countryMap, before.countryMap);
    // Quit: as before the first game.
    ExpectTheSurfaceOfAGameNotStarted(after, before, "quit");
    EXPECT_EQ(Script().PendingSteps(), 0u);
}

// Every other way back to the start menu shows what the menu stood over at start-up: a new game
// whose house selection or benchmark is cancelled, a scenario that cannot be read, a house table
// that is full, a load cancelled or refused.
TEST_F(GameFlowTest, EveryWayBackToTheStartMenuShowsTheSurfaceOfAGameNotStarted) {
    const std::string broken = program_ + "broken.snr";
    std::ofstream(broken) << "not a scenario\n";
    const std::string damaged = SavePath("damaged.rsd");
    std::ofstream(damaged) << "not a saved game";
    // Each way queues what follows the click on its button, up to the start menu again.
    struct Way {
        const char* name;
        int button;
        std::function<void()> queue;
    };
    const Way ways[] = {
        {"house selection cancelled after a province was chosen", CStartMenuDlg::kNewGameId,
         [&] {
             Script().ChooseFile(BundledScenario());
             Script().OnDialog([&](ui::Dialog& d) {
                 dynamic_cast<CDaimyouSelectDlg&>(d).OnKuniClicked(map_.FindKuni("K_OWARI"));
                 ui::test::ClickControl(d, ui::IDCANCEL);
             });
         }},
        {"benchmark cancelled", CStartMenuDlg::kUtilityId,
         [&] {
             Script().Click(CUtilityDlg::kBenchmarkId);
             Script().ChooseFile(BundledScenario());
             Script().Answer(ui::IDCANCEL);
         }},
        {"scenario that cannot be read", CStartMenuDlg::kNewGameId, [&] { Script().ChooseFile(broken); }},
        {"house table full", CStartMenuDlg::kNewGameId,
         [&] {
             Script().ChooseFile(BundledScenario());
             Script().OnDialog([&](ui::Dialog& d) {
                 main_->State().nScenarioDaimyou = GameState::kMaxDaimyou;
                 ui::test::ClickControl(d, CDaimyouSelectDlg::kSpectatorId);
             });
         }},
        {"load cancelled", CStartMenuDlg::kLoadId, [&] { Script().ChooseFile(std::nullopt); }},
        {"load refused", CStartMenuDlg::kLoadId,
         [&] {
             Script().ChooseFile(damaged);
             Script().Answer(ui::IDOK);  // what the loader says of the file
         }},
    };
    for (const Way& way : ways) {
        SurfaceLook before, after;
        bool onMaps = true;
        auto lookAndQuit = [&](ui::Dialog& menu) {
            after = LookOf(*main_);
            onMaps = main_->KuniMap().GetGameState() != nullptr;
            ui::test::ClickControl(menu, CStartMenuDlg::kQuitId);
        };
        Script().OnDialog([&](ui::Dialog& menu) {
            before = LookOf(*main_);
            way.queue();
            ui::test::ClickControl(menu, way.button);
            if (menu.IsEnded())
                Script().OnDialog(lookAndQuit);
            else
                lookAndQuit(menu);
        });
        EXPECT_EQ(RunMain({}), ui::IDCANCEL) << way.name;
        ExpectTheSurfaceOfAGameNotStarted(after, before, way.name);
        EXPECT_FALSE(onMaps) << way.name << ": the maps still show the game that did not start";
        EXPECT_EQ(Script().PendingSteps(), 0u) << way.name;
    }
}

// The country map's relief without its castle marks, sampled on a grid.
std::vector<ui::COLORREF> ReliefSamples(CMainGameDlg& m) {
    const MbBmp::CControlBmp& relief = m.KuniMap().m_CleanBmp;
    std::vector<ui::COLORREF> samples;
    for (int y = 4; y < relief.GetHeight(); y += 16)
        for (int x = 4; x < relief.GetWidth(); x += 16)
            samples.push_back(relief.GetPixelColor(x, y));
    return samples;
}

// A game saved in December and loaded from a game in May shows the winter relief at once, not
// at the next month start.
TEST_F(GameFlowTest, ALoadedDecemberGameDrawsWinterAtOnce) {
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kFirstHouse, &house);
    const std::string save = SavePath("december.rsd");
    RunMain([&](CMainGameDlg& m) {
        GameState& gs = m.State();
        gs.nCurMonth = 12;
        Script().ChooseFile(save);
        m.OnFileSave();
        // The game goes on in May, in spring.
        gs.nCurMonth = 5;
        m.Game()->SetSeason();
        m.SwitchMapView(-1);
        const std::vector<ui::COLORREF> spring = ReliefSamples(m);

        Script().ChooseFile(save);
        m.OnFileLoad();
        ASSERT_EQ(m.State().nCurMonth, 12);
        const std::vector<ui::COLORREF> loaded = ReliefSamples(m);
        // The winter relief, drawn for comparison.
        map_.ElvMap().SetSeason(3);
        m.SwitchMapView(-1);
        const std::vector<ui::COLORREF> winter = ReliefSamples(m);
        ASSERT_FALSE(loaded.empty());
        EXPECT_NE(winter, spring) << "the map's winter looks like its spring";
        EXPECT_TRUE(loaded == winter) << "the loaded December game is drawn in another season";
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_loaded_winter")));
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_loaded_winter@2x"), 2.0));
    });
}

TEST_F(GameFlowTest, ViewOnlySaveLoadsAsViewOnlyAndSavesAsViewOnlyAgain) {
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kFirstHouse, &house);
    const std::string viewOnly = SavePath("view.rsd"), again = SavePath("again.rsd");
    RunMain([&](CMainGameDlg& m) {
        // Cancelled at the question: nothing written.
        Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDCANCEL); });
        m.OnSaveViewOnly();
        EXPECT_FALSE(fs::exists(viewOnly));
        std::string asked;
        Script().OnDialog([&](ui::Dialog& box) {
            asked = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDOK);
        });
        Script().ChooseFile(viewOnly);
        m.OnSaveViewOnly();
        EXPECT_EQ(asked.rfind("閲覧専用形式でセーブを行います\n", 0), 0u);
        EXPECT_FALSE(m.State().bViewOnly);  // the running game stays playable
        EXPECT_TRUE(m.CommandEndEnabled());

        // Loaded: looked at, not played on.
        Script().ChooseFile(viewOnly);
        m.OnFileLoad();
        EXPECT_TRUE(m.State().bViewOnly);
        EXPECT_FALSE(m.CommandEndEnabled());
        EXPECT_EQ(m.PhaseCaption(), "閲覧専用");
        // A cancelled load leaves it as it is.
        Script().ChooseFile(std::nullopt);
        m.OnFileLoad();
        EXPECT_EQ(m.PhaseCaption(), "閲覧専用");
        Script().ChooseFile(again);
        m.OnFileSave();
    });
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    ASSERT_TRUE(LoadSavedGameFile(again, *gs, map, 0).loaded);
    EXPECT_TRUE(gs->bViewOnly);
}

TEST_F(GameFlowTest, AScriptedViewOnlySaveAsksAndSavesThroughTheWindow) {
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kFirstHouse, &house);
    const std::string save = SavePath("scripted.rsd");
    RunMain([&](CMainGameDlg& m) {
        // The rules reach the window through its view port, as a scripted event does.
        ViewPort* view = m.GamePorts().view;
        Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDCANCEL); });
        view->SaveViewOnly();
        EXPECT_FALSE(fs::exists(save));
        std::string asked;
        Script().OnDialog([&](ui::Dialog& box) {
            asked = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDOK);
        });
        Script().ChooseFile(save);
        view->SaveViewOnly();
        EXPECT_EQ(asked.rfind("閲覧専用形式でセーブを行います\n", 0), 0u);
        EXPECT_FALSE(m.State().bViewOnly);
    });
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    ASSERT_TRUE(LoadSavedGameFile(save, *gs, map, 0).loaded);
    EXPECT_TRUE(gs->bViewOnly);
}

TEST_F(GameFlowTest, SpectatorStartRefusesTheViewOnlySave) {
    QueueNewGame(BundledScenario(), nullptr, Pick::kSpectator, nullptr);
    const std::string save = SavePath("spectator.rsd");
    RunMain([&](CMainGameDlg& m) {
        const GameState& gs = m.State();
        EXPECT_TRUE(gs.bSpectator);
        EXPECT_TRUE(gs.bStartedAsSpectator);
        EXPECT_EQ(gs.nPlayerDaimyou, gs.nScenarioDaimyou - 1);
        std::vector<std::string> shown;
        auto record = [&](ui::Dialog& box) {
            shown.push_back(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText);
            box.EndDialog(ui::IDOK);
        };
        Script().OnDialog(record);
        m.OnSaveViewOnly();
        // Also after the game was saved and loaded again: the flag travels in the file.
        Script().ChooseFile(save);
        m.OnFileSave();
        Script().ChooseFile(save);
        m.OnFileLoad();
        Script().OnDialog(record);
        m.OnSaveViewOnly();
        EXPECT_EQ(shown, std::vector<std::string>(2, kMsgNoViewOnlyAfterSpectatorStart));
    });
}

TEST_F(GameFlowTest, TheSpectatorsChangeOfHouseTakesTheChosenHouseAndCancelKeepsWatching) {
    QueueNewGame(BundledScenario(), nullptr, Pick::kSpectator, nullptr);
    RunMain([&](CMainGameDlg& m) {
        GameState& gs = m.State();
        const int watching = gs.nPlayerDaimyou;
        ASSERT_TRUE(gs.bSpectator);
        ui::Wnd* button = m.Panel().GetDlgItem(CCommandPanelDlg::kChangeHouseId);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->IsWindowVisible());

        // Cancel: still watching.
        Script().OnDialog([](ui::Dialog& d) {
            dynamic_cast<CDaimyouSelectDlg&>(d);
            ui::test::ClickControl(d, ui::IDCANCEL);
        });
        ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kChangeHouseId));
        EXPECT_EQ(gs.nPlayerDaimyou, watching);
        EXPECT_TRUE(gs.bSpectator);

        // The first house of Owari, confirmed.
        int house = -1;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CDaimyouSelectDlg&>(d);
            dlg.OnKuniClicked(map_.FindKuni("K_OWARI"));
            ASSERT_GT(dlg.List().GetItemCount(), 0);
            house = static_cast<int>(dlg.List().GetItemData(0));
            dlg.List().SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
            dlg.OnListClick();
        });
        Script().OnDialog([](ui::Dialog& confirm) { confirm.EndDialog(ui::IDOK); });
        ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kChangeHouseId));
        ASSERT_GE(house, 0);
        EXPECT_EQ(gs.nPlayerDaimyou, house);
        EXPECT_EQ(gs.nCurDaimyou, house);
        EXPECT_FALSE(gs.bSpectator);
        EXPECT_EQ(m.PhaseCaption(), "人事フェイズ");
        // The saved game names the new house as the player's.
        const std::string save = SavePath("changed.rsd");
        Script().ChooseFile(save);
        m.OnFileSave();
        auto loaded = std::make_unique<GameState>();
        MbKorMap::CCtrlKorMap loadedMap;
        ASSERT_TRUE(LoadSavedGameFile(save, *loaded, loadedMap, 0).loaded);
        EXPECT_EQ(loaded->nPlayerDaimyou, house);
        EXPECT_FALSE(loaded->bSpectator);
    });
}

TEST_F(GameFlowTest, CancelledHouseSelectionAndAFullHouseTableReturnToTheMenu) {
    int reads = 0;
    // Cancelled: the menu again, and the next new game reads the scenario anew.
    QueueNewGame(BundledScenario(), nullptr, Pick::kCancel, nullptr, [&](CMainGameDlg&) { ++reads; });
    // 1000 houses: refused with its message, the menu again.
    QueueNewGame(BundledScenario(), nullptr, Pick::kSpectator, nullptr, [&](CMainGameDlg& m) {
        ++reads;
        m.State().nScenarioDaimyou = GameState::kMaxDaimyou;
    });
    Script().Click(CStartMenuDlg::kQuitId);
    EXPECT_EQ(RunMain({}), ui::IDCANCEL);
    EXPECT_EQ(reads, 2);
    // The refusal reaches the player through the game's ports (a message box in the program).
    EXPECT_NE(said_.str().find("大名家数がＭＡＸの場合は全自動モードは実行できません"), std::string::npos);
    EXPECT_EQ(Script().PendingSteps(), 0u);
}

TEST_F(GameFlowTest, TheStartMenusHelpOpensTheProgramsHelp) {
    fs::create_directories(program_ + "rymd_mv");
    std::ofstream(program_ + "rymd_mv/01top.html") << "<html></html>";
    app_.helpPath = HelpAddress(program_);
    std::vector<std::string> opened;
    SetHelpViewer([&](const std::string& page) {
        opened.push_back(page);
        return true;
    });
    Script().OnDialog([](ui::Dialog& menu) {
        ui::test::ClickControl(menu, CStartMenuDlg::kHelpId);
        EXPECT_FALSE(menu.IsEnded());
        ui::test::ClickControl(menu, CStartMenuDlg::kQuitId);
    });
    EXPECT_EQ(RunMain({}), ui::IDCANCEL);
    SetHelpViewer({});
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("rymd_mv/01top.html"), std::string::npos) << opened[0];
}

// The speed is told once, in the program's own message box, as the program tells it.
TEST_F(GameFlowTest, TheBenchmarkIsRepeatableAndEndsTheProgramWithItsSpeed) {
    test::WorldFiles world("flow_bench");
    QtPort boxes;
    ports_.inform = &boxes;
    std::vector<std::string> hashes;
    for (std::uint32_t seed : {1u, 2u}) {
        app_.seedSource = [seed] { return seed; };
        std::string speed;
        QueueOneYearBenchmark(world.Scenario(), &speed);
        CMainGameDlg dlg(app_);
        dlg.SetGamePorts(ports_);
        EXPECT_EQ(dlg.DoModal(), ui::IDOK);
        EXPECT_NE(speed.find(" 秒／月"), std::string::npos) << speed;
        EXPECT_EQ(speed.rfind("実行速度 ", 0), 0u) << speed;
        EXPECT_TRUE(dlg.State().bSpectator);
        EXPECT_EQ(dlg.State().nCurYear, dlg.State().nStartYear + 1);
        hashes.push_back(StateHash(dlg.State()));
    }
    EXPECT_EQ(hashes[0], hashes[1]);
}

// A scripted view-only save in every month of a benchmark (a spectator game in the all-automatic
// run) shows nothing and holds nothing up: the log says that it was left out and why.
TEST_F(GameFlowTest, TheBenchmarkLeavesOutAScriptedViewOnlySaveAndLogsIt) {
    test::WorldFiles world("flow_view_only");
    std::ofstream(world.Scenario(), std::ios::app) << "ConditionalEvent {\n"
                                                      "E_VIEW_ONLY {\n"
                                                      "Title : \"view-only save\"\n"
                                                      "Logic : AND\n"
                                                      "RepeatType : REPEATABLE\n"
                                                      "SubRoutine : NO\n"
                                                      "LoopType : NONE\n"
                                                      "Happening {\n"
                                                      "HAPPENING_SAVE_READ_ONLY_DATA : NONE : NONE : NONE : "
                                                      "NONE : NONE : NONE : \"\" : \"\"\n"
                                                      "}\n"
                                                      "}\n"
                                                      "}\n";
    QtPort boxes;
    ports_.inform = &boxes;
    std::string speed;
    QueueOneYearBenchmark(world.Scenario(), &speed);
    CMainGameDlg dlg(app_);
    dlg.SetGamePorts(ports_);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(speed.rfind("実行速度 ", 0), 0u) << speed;
    EXPECT_EQ(dlg.State().nCurYear, dlg.State().nStartYear + 1);
    EXPECT_NE(dlg.LogWindow().GetText().find(
                  "条件イベント(No.1 : view-only "
                  "save)で、閲覧専用形式でのセーブは、全自動モードで実行中のため行いません"
                  "でした"),
              std::string::npos)
        << dlg.LogWindow().GetText();
    EXPECT_EQ(Script().PendingSteps(), 0u);
}

TEST_F(GameFlowTest, AutomaticAdvanceRunsToItsTargetAndResumesAfterAStop) {
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kFirstHouse, &house);
    RunMain([&](CMainGameDlg& m) {
        const int year = m.State().nCurYear, month = m.State().nCurMonth;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CAutoAdvanceDlg&>(d);
            EXPECT_EQ(d.GetWindowText(), "自動進行");
            EXPECT_GT(dlg.List().GetItemCount(), 10);
            EXPECT_EQ(dlg.List().GetItemImage(0), 0);
            EXPECT_EQ(dlg.List().GetItemImage(10), 10);
            // Sorted by castles through the sort list, then by direct rice yield by its column.
            auto* sort = dynamic_cast<ui::ComboBox*>(d.GetDlgItem(CAutoAdvanceDlg::kSortId));
            ASSERT_NE(sort, nullptr);
            EXPECT_EQ(sort->GetCurSel(), CAutoAdvance::kSortByKokudaka);
            sort->SetCurSel(CAutoAdvance::kSortByShiro);
            dlg.OnCommand(CAutoAdvanceDlg::kSortId, ui::CBN_SELCHANGE, sort);
            EXPECT_EQ(dlg.Model().GetSortIndex(), CAutoAdvance::kSortByShiro);
            for (int r = 1; r < dlg.List().GetItemCount(); ++r)
                EXPECT_GE(std::stoi(dlg.List().GetItemText(r - 1, 1)),
                          std::stoi(dlg.List().GetItemText(r, 1)));
            ui::NMListView click;
            click.hdr.hwndFrom = &dlg.List();
            click.hdr.idFrom = CAutoAdvanceDlg::kListId;
            click.hdr.code = ui::LVN_COLUMNCLICK;
            click.iSubItem = 2;
            ui::Wnd::SendNotify(&d, &click.hdr);
            EXPECT_EQ(dlg.Model().GetSortIndex(), CAutoAdvance::kSortByKokudaka);
            EXPECT_EQ(sort->GetCurSel(), CAutoAdvance::kSortByKokudaka);
            // The current month is refused (told through the game's ports).
            ui::test::ClickControl(d, CAutoAdvanceDlg::kStartId);
            EXPECT_NE(said_.str().find(CAutoAdvance::kNotLaterMessage), std::string::npos);
            EXPECT_FALSE(dlg.Model().Running());
            // Next month: six ticks, with a stop and a resume after the second.
            const int next = month == 12 ? 1 : month + 1;
            d.GetDlgItem(CAutoAdvanceDlg::kYearId)
                ->SetWindowText(std::to_string(month == 12 ? year + 1 : year));
            d.GetDlgItem(CAutoAdvanceDlg::kMonthId)->SetWindowText(std::to_string(next));
            ui::test::ClickControl(d, CAutoAdvanceDlg::kStartId);
            EXPECT_TRUE(dlg.Model().Running());
            EXPECT_FALSE(d.GetDlgItem(ui::IDCANCEL)->IsWindowEnabled());
            int ticks = 0;
            EXPECT_TRUE(ui::test::FireTimer(d, CAutoAdvanceDlg::kTimerId));
            EXPECT_TRUE(ui::test::FireTimer(d, CAutoAdvanceDlg::kTimerId));
            ticks += 2;
            ui::test::ClickControl(d, CAutoAdvanceDlg::kStopId);
            EXPECT_TRUE(ui::test::FireTimer(d, CAutoAdvanceDlg::kTimerId));  // the stop is taken
            EXPECT_FALSE(dlg.Model().Running());
            EXPECT_FALSE(ui::test::FireTimer(d, CAutoAdvanceDlg::kTimerId));
            EXPECT_EQ(m.State().nPhase, 3);
            ui::test::ClickControl(d, CAutoAdvanceDlg::kStartId);
            while (ui::test::FireTimer(d, CAutoAdvanceDlg::kTimerId))
                ++ticks;
            EXPECT_EQ(ticks, 6);
            EXPECT_FALSE(dlg.Model().Running());
            EXPECT_EQ(m.State().nCurMonth, next);
            EXPECT_EQ(m.State().nPhase, 1);
            EXPECT_TRUE(d.GetDlgItem(ui::IDCANCEL)->IsWindowEnabled());
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("auto_advance")));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("auto_advance@2x"), 2.0));
            ui::test::ClickControl(d, ui::IDCANCEL);
        });
        m.OnAutoAdvance();
        EXPECT_FALSE(m.Game()->ColorDisplay());
        EXPECT_FALSE(m.State().bAutoAdvance);
    });
}

// The automatic advance shows the country map, whatever view was up; its list marks each house
// with the colour the map gives the house's castles; the panel's house list stays empty while the
// dialog ranks the houses and is filled again afterwards.
TEST_F(GameFlowTest, TheAutomaticAdvanceListShowsEachHouseInItsMapColour) {
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kFirstHouse, &house);
    RunMain([&](CMainGameDlg& m) {
        const GameState& gs = m.State();
        m.SwitchMapView(map_.FindKuni("K_OWARI"));
        ASSERT_EQ(m.MapViews().viewMode, 1);
        int compared = 0;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CAutoAdvanceDlg&>(d);
            EXPECT_EQ(m.MapViews().viewMode, 0) << "the castle view hides the coloured map";
            EXPECT_EQ(m.Panel().HouseList().GetItemCount(), 0);
            CKuniMapWnd& map = m.KuniMap();
            ui::ListCtrl& list = dlg.List();
            const QImage shot = ui::test::Grab(list);
            const int edge = (shot.height() - list.GetClientRect().Height()) / 2;
            // Rank 0 is white, the list's own ground: ranks 1 to 9 are compared.
            for (int k = 1; k < 10 && k < list.GetItemCount(); ++k) {
                const int h = static_cast<int>(list.GetItemData(k));
                if (list.GetItemImage(k) != k) continue;  // a vassal house: its master's colour
                const int c = ClearDot(gs, map, h);
                if (c < 0) continue;
                const ui::Point dot = map.ShiroDotRect(c).CenterPoint();
                const ui::COLORREF onMap = map.m_BackBmp.GetPixelColor(dot.x, dot.y);
                const ui::Rect row = list.ItemRect(k);
                const int y = edge + (row.top + row.bottom) / 2;
                bool found = false;
                for (int x = edge + row.left; x < edge + row.left + 24 && !found; ++x)
                    found = ui::test::PixelAt(shot, x, y) == onMap;
                EXPECT_TRUE(found) << "rank " << k << " " << gs.DaimyouTbl[h].name << ": map " << Rgb(onMap);
                ++compared;
            }
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("auto_advance_colours")));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("auto_advance_colours@2x"), 2.0));
            ui::test::ClickControl(d, ui::IDCANCEL);
        });
        m.OnAutoAdvance();
        EXPECT_GE(compared, 5);
        EXPECT_GT(m.Panel().HouseList().GetItemCount(), 10) << "the panel's list is filled again";
    });
}

// The country map's house colours and the check box 色分け表示 show the game's colour display
// whichever way the game began: the benchmark run switches it on; a new game and a loaded one
// take the player's choice of the box (ticked in an earlier game).
TEST_F(GameFlowTest, TheWindowShowsTheGamesColourDisplayHoweverTheGameBegan) {
    {
        SCOPED_TRACE("benchmark");
        QtPort boxes;
        ports_.inform = &boxes;
        std::string speed;
        CMainGameDlg* running = nullptr;
        QueueOneYearBenchmark(BundledScenario(), &speed, [&] {
            ASSERT_NE(running, nullptr);
            EXPECT_TRUE(running->Game()->ColorDisplay());
            ExpectTheWindowShowsTheGamesColourDisplay(*running, "while the speed is told");
            EXPECT_TRUE(ui::test::GrabToPng(*running, GalleryPath("benchmark_colours")));
            EXPECT_TRUE(ui::test::GrabToPng(*running, GalleryPath("benchmark_colours@2x"), 2.0));
        });
        CMainGameDlg dlg(app_);
        running = &dlg;
        dlg.SetGamePorts(ports_);
        EXPECT_EQ(dlg.DoModal(), ui::IDOK);
        EXPECT_NE(speed.find(" 秒／月"), std::string::npos) << speed;
        ports_ = headless_.AsPorts();
        ports_.ask = &ask_;
    }
    int house = -1;
    QueueNewGame(BundledScenario(), "K_OWARI", Pick::kSpectator, &house);
    const std::string save = SavePath("colours.rsd");
    RunMain([&](CMainGameDlg& m) {
        ExpectTheWindowShowsTheGamesColourDisplay(m, "a new game");
        EXPECT_FALSE(m.Game()->ColorDisplay());
        ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kColorDisplayId);
        ASSERT_TRUE(m.Game()->ColorDisplay());
        ExpectTheWindowShowsTheGamesColourDisplay(m, "ticked");
        Script().ChooseFile(save);
        m.OnFileSave();

        // Loaded in the same game, and from the start menu after the game was quit.
        Script().ChooseFile(save);
        m.OnFileLoad();
        EXPECT_TRUE(m.Game()->ColorDisplay());
        ExpectTheWindowShowsTheGamesColourDisplay(m, "loaded with the box ticked");
        Script().Answer(ui::IDOK);
        Script().Click(CStartMenuDlg::kLoadId);
        Script().ChooseFile(save);
        m.OnFileExit();
        EXPECT_TRUE(m.Game()->ColorDisplay());
        ExpectTheWindowShowsTheGamesColourDisplay(m, "loaded from the start menu with the box ticked");

        // A new game after the quit.
        Script().Answer(ui::IDOK);
        QueueNewGame(BundledScenario(), "K_OWARI", Pick::kSpectator, &house);
        m.OnFileExit();
        EXPECT_TRUE(m.Game()->ColorDisplay());
        ExpectTheWindowShowsTheGamesColourDisplay(m, "a new game with the box ticked");
        ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kColorDisplayId);
        ExpectTheWindowShowsTheGamesColourDisplay(m, "unticked");
        Script().ChooseFile(save);
        m.OnFileLoad();
        EXPECT_FALSE(m.Game()->ColorDisplay());
        ExpectTheWindowShowsTheGamesColourDisplay(m, "loaded with the box unticked");
    });
}

}  // namespace
}  // namespace rymd::gui_test
