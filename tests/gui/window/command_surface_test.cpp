// The command surface of the main game window: the command panel, its keys and boards, the
// menus, the status line's texts, the command checks, and whole months played by pressing
// "コマンド終了".
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "game/diplomacy/horyo.h"
#include "game/military/placement.h"
#include "game/military/sortie.h"
#include "game/save/saved_game.h"
#include "game/save/state_dump.h"
#include "game/shell/app/app_context.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/corps/gundan_hensei_dlg.h"
#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"
#include "game/shell/dialogs/corps/gundan_shiji_dlg.h"
#include "game/shell/dialogs/corps/gundan_shisan_dlg.h"
#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/shell/dialogs/domestic/kouekisen_dlgs.h"
#include "game/shell/dialogs/domestic/ship_kenzou_dlgs.h"
#include "game/shell/dialogs/domestic/ship_report_dlgs.h"
#include "game/shell/dialogs/domestic/teppou_dlgs.h"
#include "game/shell/dialogs/domestic/teppou_nyuushu_dlg.h"
#include "game/shell/dialogs/events/shikyo_toujou_dlg.h"
#include "game/shell/dialogs/events/shuukaku_dlg.h"
#include "game/shell/dialogs/events/shuushi_houkoku_dlg.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/shell/music/music_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/shell/port/qt_port.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/shell/window/main_menu.h"
#include "game/shell/window/status_bar.h"
#include "game/shell/window/window_pictures.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/gundan.h"
#include "game/state/invariants.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "gui/gui_test_util.h"
#include "gui/japan_map.h"
#include "gui/main_window_fixture.h"
#include "gui/recording_music_backend.h"
#include "mbkormap/kor_map.h"
#include "platform/qt/list_ctrl.h"
#include "support/run_cli.h"

namespace rymd::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace rymd::shell;

// ---- Texts -------------------------------------------------------------------------------------

TEST(CommandSurfaceTexts, MnemonicsDigitsThenLettersThenNone) {
    const std::pair<int, const char*> cases[] = {
        {0, "尾張(&1)"}, {8, "尾張(&9)"}, {9, "尾張(&A)"}, {34, "尾張(&Z)"}, {35, "尾張"}, {60, "尾張"},
    };
    for (const auto& [n, text] : cases)
        EXPECT_EQ(MnemonicText("尾張", n), text) << n;
}

TEST(CommandSurfaceTexts, DatesYieldsAndCaptions) {
    auto gs = std::make_unique<GameState>();
    ResetScenarioWords(gs->ScenarioWords);
    EXPECT_EQ(StatusDateText(1560, 5, gs.get()), "1560年 5月");
    EXPECT_EQ(StatusDateText(-5, 12, gs.get()), "B.C.   5年12月");
    EXPECT_EQ(KokudakaText(1234567, gs.get()), "123万4567石");
    EXPECT_EQ(KokudakaText(50000, gs.get()), "5万0000石");
    EXPECT_EQ(ShiroCountText(7, gs.get()), "城 7");
    // The scenario's words replace 紀元前 and 石.
    gs->ScenarioWords[18] = "紀元前";
    gs->ScenarioWords[11] = "貫";
    EXPECT_EQ(StatusDateText(-300, 1, gs.get()), "紀元前 300年 1月");
    EXPECT_EQ(KokudakaText(0, gs.get()), "0万0000貫");
    gs->nPhase = 6;
    EXPECT_EQ(PhaseCaptionText(*gs), "出陣フェイズ");
    gs->bViewOnly = true;
    EXPECT_EQ(PhaseCaptionText(*gs), "閲覧専用");
}

// The help's commands page has a row for every button of the phases: a row's heading names its
// commands with "・" between them, and names none that has no button.
TEST(CommandSurfaceTexts, TheHelpPageListsEveryPhaseCommand) {
    std::ifstream in(std::string(RYMD_SOURCE_DIR) + "/data/help/rymd_mv/03commands.html");
    ASSERT_TRUE(in) << "the commands page is missing";
    std::stringstream text;
    text << in.rdbuf();
    const std::string html = text.str();
    std::set<std::string> listed;
    static const std::regex heading("<th>([^<]+)</th><td>");
    const std::string dot = "・";
    for (std::sregex_iterator m(html.begin(), html.end(), heading), end; m != end; ++m) {
        const std::string names = (*m)[1].str();
        for (std::size_t from = 0;;) {
            const std::size_t cut = names.find(dot, from);
            listed.insert(names.substr(from, cut == std::string::npos ? std::string::npos : cut - from));
            if (cut == std::string::npos) break;
            from = cut + dot.size();
        }
    }
    std::set<std::string> buttons;
    for (int page = 0; page < kCommandPages; ++page)
        for (int i = 0; i < kCommandCount; ++i)
            if (const std::string caption = CommandCaption(page, i); !caption.empty()) {
                buttons.insert(caption);
                EXPECT_TRUE(listed.count(caption)) << "the help page has no row for " << caption;
            }
    EXPECT_GE(buttons.size(), 30u);
    for (const std::string& name : listed)
        EXPECT_TRUE(buttons.count(name)) << "the help page lists " << name << ", which no phase has";
}

// ---- Command checks --------------------------------------------------------------------------------

// Two houses, three provinces in a row (0 - 1 - 2), one castle in each; the player's head in
// province 0.
std::unique_ptr<GameState> CheckState() {
    auto gs = std::make_unique<GameState>();
    ResetScenarioWords(gs->ScenarioWords);
    gs->nDaimyou = 2;
    gs->nScenarioDaimyou = 2;
    gs->nShiro = 3;
    gs->nBushou = 1;
    gs->nKuni = 3;
    gs->nPlayerDaimyou = 0;
    gs->nCurMonth = 1;
    for (int s = 0; s < 3; ++s) {
        ShiroMapRecord& m = gs->ShiroMapTbl[static_cast<std::size_t>(s)];
        m.kuni = static_cast<std::uint8_t>(s);
        m.ClearConnections();
    }
    gs->ShiroMapTbl[0].connect[0].shiro = 1;
    gs->ShiroMapTbl[1].connect[0].shiro = 0;
    gs->ShiroMapTbl[1].connect[1].shiro = 2;
    gs->ShiroMapTbl[2].connect[0].shiro = 1;
    gs->DaimyouTbl[0].toushu = 0;
    gs->DaimyouTbl[1].toushu = -2;
    gs->BushouTbl[0].shiro = 0;
    gs->BushouTbl[0].daimyou = 0;
    return gs;
}

TEST(CommandChecks, RefusalsInTheirOrder) {
    struct Case {
        const char* name;
        int phase, command, kuni;
        std::function<void(GameState&)> setUp;
        const char* message;
    };
    const Case cases[] = {
        {"conscription needs a province", 2, 0, -1, nullptr, "国を選択してください"},
        {"conscription with a province", 2, 0, 1, nullptr, ""},
        {"corps orders need none", 2, 5, -1, nullptr, ""},
        {"no captives", 1, 0, -1, nullptr, "現在、当家には捕虜がいません"},
        {"no hostages", 1, 3, -1, nullptr, "現在、当家には人質がいません"},
        {"a captive", 1, 1, -1,
         [](GameState& g) {
             g.nBushou = 2;
             g.BushouTbl[1].status = CBushou::kStatusHoryo;
             g.BushouTbl[1].holderDaimyou = 0;
             g.BushouTbl[1].daimyou = 1;
         },
         ""},
        {"proposal: province first", 3, 0, -1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondJuuzoku; }, "国を選択してください"},
        {"proposal of a subordinate", 3, 1, 1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondJuuzoku; },
         "当家は従属大名家なので外交交渉できません"},
        {"proposal of a vassal", 3, 2, 1, [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondShinjuu; },
         "当家は臣従大名家なので外交交渉できません"},
        {"breaking relations needs no province", 3, 3, -1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondShinjuu; },
         "当家は臣従大名家なので外交交渉できません"},
        {"independence of an independent house", 3, 4, -1, nullptr, "当家は既に独立大名家です"},
        {"independence after a change of master", 3, 4, -1,
         [](GameState& g) {
             g.DaimyouTbl[0].bond = CDaimyou::kBondJuuzoku;
             g.bGaikouBarred = true;
         },
         "今回のターンではこれ以上外交コマンドは実行できません"},
        {"requests after a change of master", 3, 6, -1, [](GameState& g) { g.bGaikouBarred = true; },
         "今回のターンではこれ以上外交コマンドは実行できません"},
        {"change of master of an independent house", 3, 5, -1, nullptr,
         "当家は独立大名家なのでこのコマンドは使用できません"},
        {"offer of a subordinate", 3, 7, -1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondJuuzoku; },
         "当家は独立大名家ではないのでこのコマンドは使用できません"},
        {"reclamation in month 3", 4, 1, 0, [](GameState& g) { g.nCurMonth = 3; },
         "農繁期（３～８月）は新田開墾できません"},
        {"reclamation in month 8", 4, 1, 0, [](GameState& g) { g.nCurMonth = 8; },
         "農繁期（３～８月）は新田開墾できません"},
        {"reclamation in month 9", 4, 1, 0, [](GameState& g) { g.nCurMonth = 9; }, ""},
        {"reclamation in month 2", 4, 1, 1, [](GameState& g) { g.nCurMonth = 2; }, ""},
        {"free market: the head's province", 4, 0, 0, nullptr, ""},
        {"free market: next to it", 4, 0, 1, nullptr, ""},
        {"free market: too far", 4, 0, 2, nullptr,
         "当主の所在地から遠すぎるため、楽市楽座の指示ができません\n（当主と同じ国か、隣接国のみ指示可能です"
         "）"},
        {"shipbuilding: too far", 4, 4, 2, nullptr,
         "当主の所在地から遠すぎるため、船舶建造の指示ができません\n（当主と同じ国か、隣接国のみ指示可能です"
         "）"},
        {"musket purchase needs no province", 4, 7, -1, nullptr, ""},
        {"general move of a vassal", 5, 0, 1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondShinjuu; },
         "当家は臣従大名家なので武将移動は主家が行います"},
        {"sortie by water of a vassal", 6, 1, 1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondShinjuu; },
         "当家は臣従大名家なので出陣は主家が行います"},
        {"sortie of a subordinate", 6, 0, 1,
         [](GameState& g) { g.DaimyouTbl[0].bond = CDaimyou::kBondJuuzoku; }, ""},
        {"sortie needs a province", 6, 0, -1, nullptr, "国を選択してください"},
    };
    for (const Case& c : cases) {
        auto gs = CheckState();
        if (c.setUp) c.setUp(*gs);
        EXPECT_EQ(RefuseCommand(*gs, c.phase, c.command, CommandSituation{c.kuni}), c.message) << c.name;
    }
}

TEST(CommandChecks, ARegisteredDialogRunsOnlyPastTheChecks) {
    ClearCommandDialogs();  // whatever a game window registered before
    auto gs = CheckState();
    std::vector<std::string> told;
    int opened = 0;
    auto inform = [&](const std::string& t) { told.push_back(t); };
    EXPECT_FALSE(RunCommand(*gs, 2, 0, CommandSituation{1}, inform)) << "no dialog yet: nothing runs";
    RegisterCommandDialog(2, 0, [&](int, int, const CommandSituation&) { return ++opened > 0; });
    EXPECT_FALSE(RunCommand(*gs, 2, 0, CommandSituation{-1}, inform));
    EXPECT_TRUE(RunCommand(*gs, 2, 0, CommandSituation{1}, inform));
    ClearCommandDialogs();
    EXPECT_EQ(told, std::vector<std::string>{"国を選択してください"});
    EXPECT_EQ(opened, 1);
}

// ---- The window with a game -------------------------------------------------------------------------

class CommandSurfaceTest : public MainWindowTest {
protected:
    // Runs the main window with a new game of the bundled scenario; body runs inside it. The
    // game's ports are the silent ones unless portsFor gives others.
    void WithGame(const std::string& house, std::uint32_t seed,
                  const std::function<void(CMainGameDlg&)>& body,
                  const std::function<Ports(CMainGameDlg&)>& portsFor = {}) {
        CMainGameDlg dlg(app_);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& m = dynamic_cast<CMainGameDlg&>(d);
            NewGameRequest request;
            request.scenarioPath = Scenario();
            request.programFolder = program_;
            request.seed = seed;
            request.house = house;
            m.SetGamePorts(portsFor ? portsFor(m) : SilentPort::Instance().AsPorts());
            ASSERT_EQ(m.StartScenarioGame(request), 0);
            ui::test::ProcessEvents();
            body(m);
            d.EndDialog(ui::IDCANCEL);
        });
        dlg.DoModal();
    }
    void WithGame(const std::string& house, std::uint32_t seed,
                  const std::function<void(CMainGameDlg&)>& body, const Ports* ports) {
        WithGame(house, seed, body, [ports](CMainGameDlg&) { return *ports; });
    }
    static std::string Scenario() { return std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr"; }
};

std::string StateHashOf(const std::string& json) {
    std::smatch m;
    return std::regex_search(json, m, std::regex("\"state_hash\":\"([0-9a-f]+)\"")) ? m[1].str() : "";
}

TEST_F(CommandSurfaceTest, ThreeMonthsByTheEndButtonAsOnTheCommandLine) {
    const std::uint32_t seed = 11;
    std::string hash;
    WithGame("D_ODA", seed, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        int year = gs.nCurYear, month = gs.nCurMonth;
        for (int played = 0; played < 3; ++played) {
            for (int phase = 1; phase <= 6; ++phase) {
                ASSERT_EQ(gs.nPhase, phase);
                EXPECT_EQ(panel.PhaseText(),
                          std::string(kPhaseNameTbl[static_cast<std::size_t>(phase)]) + "フェイズ");
                EXPECT_EQ(StatusDateText(gs.nCurYear, gs.nCurMonth, &gs), StatusDateText(year, month, &gs));
                ASSERT_TRUE(panel.EndButton().IsWindowEnabled()) << "phase " << phase;
                // The caption board's colours: grey-green, brown in the sortie phase.
                const ui::COLORREF ground = ui::test::PixelAt(ui::test::Grab(panel.PhaseLabel()), 4, 14);
                EXPECT_EQ(ui::GetRValue(ground) > ui::GetGValue(ground), phase == 6) << Rgb(ground);
                // The command buttons of the phase are shown, enabled only with their dialogs.
                for (int i = 0; i < kCommandCount; ++i) {
                    const bool has = CommandCaption(phase, i)[0] != '\0';
                    EXPECT_EQ(panel.CommandButton(i).IsWindowVisible(), has) << phase << "/" << i;
                    if (has) {
                        EXPECT_EQ(panel.CommandButton(i).IsWindowEnabled(),
                                  FindCommandDialog(phase, i) != nullptr)
                            << phase << "/" << i;
                    }
                }
                if (played == 0 && phase == 6) {
                    EXPECT_TRUE(ui::test::GrabToPng(panel, GalleryPath("command_panel_sortie")));
                    EXPECT_TRUE(ui::test::GrabToPng(panel, GalleryPath("command_panel_sortie@2x"), 2.0));
                }
                ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
                ui::test::ProcessEvents();
            }
            if (++month > 12) {
                month = 1;
                ++year;
            }
            EXPECT_EQ(gs.nCurYear, year);
            EXPECT_EQ(gs.nCurMonth, month);
        }
        EXPECT_EQ(gs.nPhase, 1);
        EXPECT_EQ(m.LastTurnResult(), TurnResult::kContinue);
        hash = StateHash(gs);
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_game")));
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_game@2x"), 2.0));
    });
    const test::CliOutcome cli = test::RunCli("run " + Scenario() + " --months 3 --seed " +
                                              std::to_string(seed) + " --house D_ODA --dump -");
    ASSERT_EQ(cli.status, 0);
    EXPECT_EQ(hash, StateHashOf(cli.out));
    EXPECT_FALSE(hash.empty());
}

TEST_F(CommandSurfaceTest, PanelMenusAndStatusLine) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        ASSERT_EQ(gs.nPhase, 1);
        EXPECT_EQ(panel.PhaseText(), "人事フェイズ");
        // The command menu of a player: phase end, the stored captions with their numbers (the
        // personnel commands all have their dialogs), the hand-over to the computer.
        auto texts = [](const ui::Menu& menu) {
            std::vector<std::string> out;
            for (const ui::Menu::Item& i : menu.Items())
                out.push_back(i.flags & ui::MF_SEPARATOR
                                  ? "-"
                                  : i.text + ((i.flags & ui::MF_GRAYED) ? " (greyed)" : ""));
            return out;
        };
        const std::vector<std::string> player = {
            "フェイズ終了(&E)", "-", "捕虜処遇(&1)",     "捕虜交換(&2)", "客将招請(&3)",
            "人質処遇(&4)",     "-", "CPUに完全委任(&C)"};
        EXPECT_EQ(texts(m.Menus().Popup(CMainMenu::kCommand)), player);
        // Spectator: the captions shown but not pressable, AUTO shown, no funds; the menu holds
        // only the phase end. View-only: nothing.
        gs.bSpectator = true;
        m.BuildCommandMenu(4);
        EXPECT_EQ(texts(m.Menus().Popup(CMainMenu::kCommand)), std::vector<std::string>{"フェイズ終了(&E)"});
        EXPECT_TRUE(panel.CommandButton(0).IsWindowVisible());
        EXPECT_TRUE(panel.CommandButton(5).IsWindowVisible()) << "domestic command 6 builds warships";
        EXPECT_EQ(panel.CommandButton(5).GetWindowText(), "軍船建造");
        EXPECT_FALSE(panel.CommandButton(8).IsWindowVisible()) << "command 9 has no caption";
        EXPECT_TRUE(panel.GetDlgItem(CCommandPanelDlg::kAutoId)->IsWindowVisible());
        EXPECT_FALSE(panel.GetDlgItem(CCommandPanelDlg::kFundsId)->IsWindowVisible());
        gs.bViewOnly = true;
        m.BuildCommandMenu(4);
        m.UpdatePhaseCaption();
        EXPECT_TRUE(texts(m.Menus().Popup(CMainMenu::kCommand)).empty());
        for (int i = 0; i < kCommandCount; ++i)
            EXPECT_FALSE(panel.CommandButton(i).IsWindowVisible());
        EXPECT_FALSE(panel.GetDlgItem(CCommandPanelDlg::kAutoId)->IsWindowVisible());
        EXPECT_EQ(panel.PhaseText(), "閲覧専用");
        m.EnableCommandEndButton(true);
        EXPECT_FALSE(panel.EndButton().IsWindowEnabled()) << "view-only data ends no phase";
        gs.bViewOnly = false;
        gs.bSpectator = false;
        m.BuildCommandMenu(1);
        m.UpdatePhaseCaption();
        m.EnableCommandEndButton(true);
        EXPECT_TRUE(panel.EndButton().IsWindowEnabled());

        // The menu bar carries the seven menus.
        EXPECT_EQ(ui::MenuBarTexts(m),
                  (std::vector<std::string>{"ﾌｧｲﾙ(&F)", "コマンド(&C)", "国選択(&K)", "城情報(&S)",
                                            "情報(&I)", "設定(&U)", "ﾍﾙﾌﾟ(&H)"}));
        // The province menu: the whole country, a separator, one popup per region; provinces
        // without castles greyed.
        const ui::Menu& kuni = m.Menus().Popup(CMainMenu::kKuni);
        ASSERT_GT(kuni.GetMenuItemCount(), 2);
        EXPECT_EQ(kuni.Items()[0].id, kIdZenkoku);
        EXPECT_EQ(kuni.GetMenuItemCount(), 2 + m.Menus().RegionCount());
        int items = 0;
        for (int r = 0; r < m.Menus().RegionCount(); ++r) {
            const ui::Menu::Item& region = kuni.Items()[static_cast<std::size_t>(2 + r)];
            EXPECT_EQ(region.text, MnemonicText(MapText(map_.Chiiki(r).name, &gs), r));
            for (const ui::Menu::Item& i : region.popup->Items()) {
                const int k = i.id - kIdKuniBase;
                EXPECT_EQ((i.flags & ui::MF_GRAYED) != 0, CountShiroInKuni(gs, k) == 0) << i.text;
                ++items;
            }
        }
        EXPECT_EQ(items, map_.KuniCount());
        // Choosing a province fills the castle menu and the province board.
        int kuniWithCastles = 0;
        while (CountShiroInKuni(gs, kuniWithCastles) == 0)
            ++kuniWithCastles;
        ui::Wnd::SendCommand(&m, kIdKuniBase + kuniWithCastles, 0, nullptr);
        EXPECT_EQ(m.SelectedKuni(), kuniWithCastles);
        EXPECT_EQ(m.Menus().Popup(CMainMenu::kShiro).GetMenuItemCount(),
                  CountShiroInKuni(gs, kuniWithCastles));
        EXPECT_EQ(m.Menus()
                      .Popup(CMainMenu::kShiro)
                      .Items()[0]
                      .text.substr(m.Menus().Popup(CMainMenu::kShiro).Items()[0].text.size() - 4),
                  "(&1)");
        // The castle view offers the way back; back on the country map the province stays chosen,
        // the castle menu empties and the way back hides.
        ui::Wnd* back = panel.GetDlgItem(CCommandPanelDlg::kZenkokuId);
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(back->IsWindowVisible());
        ui::test::ClickControl(panel, CCommandPanelDlg::kZenkokuId);
        EXPECT_FALSE(back->IsWindowVisible());
        EXPECT_EQ(m.SelectedKuni(), kuniWithCastles);
        EXPECT_EQ(m.Menus().Popup(CMainMenu::kShiro).GetMenuItemCount(), 0);

        // The house list: every house alive, the largest first, the first selected.
        ui::ListCtrl& list = panel.HouseList();
        ASSERT_GT(list.GetItemCount(), 10);
        EXPECT_EQ(list.GetFirstSelectedItem(), 0);
        std::set<std::intptr_t> houses;
        for (int i = 0; i < list.GetItemCount(); ++i) {
            const std::intptr_t h = list.GetItemData(i);
            houses.insert(h);
            EXPECT_EQ(list.GetItemText(i, 0), DaimyouAt(gs, static_cast<int>(h)).name);
            EXPECT_EQ(list.GetItemImage(i), DaimyouAt(gs, static_cast<int>(h)).bond == CDaimyou::kBondShinjuu
                                                ? 11
                                                : std::min(i, 10));
        }
        EXPECT_EQ(houses.size(), static_cast<std::size_t>(list.GetItemCount())) << "each house once";
        EXPECT_EQ(m.Game()->ColorDaimyouCount(), 10);

        // The status line carries the game information in its dark text colour.
        const QImage strip = ui::test::Grab(m.Backdrop());
        int dark = 0;
        for (int y = 27; y < 43; ++y)
            for (int x = 20; x < 120; ++x)
                dark += ui::test::PixelAt(strip, x, y) == ui::RGB(41, 36, 29);
        EXPECT_GT(dark, 30) << "the date";
        EXPECT_TRUE(ui::test::GrabToPng(panel, GalleryPath("command_panel_jinji")));
        EXPECT_TRUE(ui::test::GrabToPng(panel, GalleryPath("command_panel_jinji@2x"), 2.0));
        EXPECT_TRUE(ui::test::GrabToPng(m.Backdrop(), GalleryPath("status_line")));
        EXPECT_TRUE(ui::test::GrabToPng(m.Backdrop(), GalleryPath("status_line@2x"), 2.0));
    });
}

TEST_F(CommandSurfaceTest, CastleCommandsRunFromThePanelAndRefreshTheFunds) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        ASSERT_EQ(gs.nPhase, 2);
        for (int i : {2, 3}) {
            EXPECT_NE(FindCommandDialog(2, i), nullptr) << i;
            EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << i;
        }
        // The province of the head's castle.
        const int head = DaimyouAt(gs, gs.nPlayerDaimyou).toushu;
        const int kuni = gs.ShiroMapTbl[static_cast<std::size_t>(BushouAt(gs, head).shiro)].kuni;
        ui::Wnd::SendCommand(&m, kIdKuniBase + kuni, 0, nullptr);
        ASSERT_EQ(m.SelectedKuni(), kuni);
        int listed = 0;
        for (int s : ShiroIndexes(gs))
            listed += ShiroAt(gs, s).daimyou == gs.nPlayerDaimyou &&
                      gs.ShiroMapTbl[static_cast<std::size_t>(s)].kuni == kuni &&
                      ShiroAt(gs, s).nBesieger == 0;
        ASSERT_GT(listed, 0);
        // Castle works: the first castle that can grow is raised and paid for on OK.
        const std::int32_t funds = DaimyouAt(gs, gs.nPlayerDaimyou).shikin;
        int raised = -1, size = 0;
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "城普請");
            auto* list = dynamic_cast<ui::ListCtrl*>(d.GetDlgItem(1047));
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->GetItemCount(), listed);
            for (int r = 0; r < list->GetItemCount() && raised < 0; ++r) {
                const int s = static_cast<int>(list->GetItemData(r));
                if (ShiroAt(gs, s).kibo >= gs.ShiroMapTbl[static_cast<std::size_t>(s)].maxKibo ||
                    ShiroAt(gs, s).kibo * 1000 > funds)
                    continue;
                const Point p = list->ItemRect(r).CenterPoint();
                ui::test::MouseDown(*list, p);
                ui::test::MouseUp(*list, p);
                ASSERT_TRUE(ui::test::ClickControl(d, 1052));
                raised = s;
                size = ShiroAt(gs, s).kibo;
            }
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[2]));
        ASSERT_GE(raised, 0) << "no castle of the province could grow";
        EXPECT_EQ(ShiroAt(gs, raised).kibo, size + 1);
        EXPECT_EQ(DaimyouAt(gs, gs.nPlayerDaimyou).shikin, funds - size * 1000);
        EXPECT_EQ(panel.GetDlgItem(CCommandPanelDlg::kFundsId)->GetWindowText(),
                  std::to_string(DaimyouAt(gs, gs.nPlayerDaimyou).shikin));
        // Provisions, cancelled: nothing changes.
        const std::string before = StateHash(gs);
        Script().OnDialog([](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "城兵糧補充");
            d.EndDialog(ui::IDCANCEL);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[3]));
        EXPECT_EQ(StateHash(gs), before);
        // The domestic phase: free markets open for the head's province.
        for (int phase = 2; phase < 4; ++phase) {
            ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        ASSERT_EQ(gs.nPhase, 4);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << i;
        ui::Wnd::SendCommand(&m, kIdKuniBase + kuni, 0, nullptr);
        Script().OnDialog([](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "楽市楽座");
            d.EndDialog(ui::IDCANCEL);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
    });
}

TEST_F(CommandSurfaceTest, HandOverInfoMenusAndColourDisplay) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        const int player = gs.nPlayerDaimyou;
        // Cancel keeps everything; OK makes the game a spectator game with the dummy house.
        Script().Answer(ui::IDCANCEL);
        ui::Wnd::SendCommand(&m, kIdDelegateToCpu, 0, nullptr);
        EXPECT_FALSE(gs.bSpectator);
        EXPECT_EQ(gs.nPlayerDaimyou, player);
        std::string asked;
        Script().OnDialog([&](ui::Dialog& box) {
            asked = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDOK);
        });
        ui::Wnd::SendCommand(&m, kIdDelegateToCpu, 0, nullptr);
        EXPECT_EQ(asked.rfind("現在プレーヤーが担当している大名家の操作をCPUに完全委任します", 0), 0u);
        EXPECT_TRUE(gs.bSpectator);
        EXPECT_FALSE(gs.bStartedAsSpectator);
        EXPECT_EQ(gs.nPlayerDaimyou, gs.nScenarioDaimyou - 1);
        EXPECT_EQ(gs.nCurDaimyou, player) << "the acting house stays";
        for (const CGundan& g : gs.GundanTbl) {
            if (g.leader != CGundan::kLeaderFree) {
                EXPECT_NE(g.daimyou, player);
            }
        }
        EXPECT_TRUE(m.Panel().GetDlgItem(CCommandPanelDlg::kAutoId)->IsWindowVisible());
        EXPECT_FALSE(m.Panel().CommandButton(0).IsWindowEnabled());

        // The scenario information and the variables open their dialogs.
        Script().OnDialog([&](ui::Dialog& box) { box.EndDialog(ui::IDOK); });
        ui::Wnd::SendCommand(&m, kIdScenarioInfo, 0, nullptr);
        Script().OnDialog([&](ui::Dialog& box) { box.EndDialog(ui::IDCANCEL); });
        ui::Wnd::SendCommand(&m, kIdVariables, 0, nullptr);
        // The window, two boxes of the hand-over, the information and the variables.
        EXPECT_EQ(Script().DialogsShown().size(), 5u);

        // The colour display follows its check box.
        ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kColorDisplayId);
        EXPECT_TRUE(m.Game()->ColorDisplay());
        ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kColorDisplayId);
        EXPECT_FALSE(m.Game()->ColorDisplay());
    });
}

// The panel's house list counts a house's yield with its vassal houses' castles, as the house
// list dialog does: a subordinate house's castles stay its own.
TEST_F(CommandSurfaceTest, ThePanelHouseListCountsVassalsAsTheHouseListDoes) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        ui::ListCtrl& list = m.Panel().HouseList();
        // Two independent houses with castles: the master and the one that submits.
        std::vector<int> withCastles;
        for (int h : DaimyouIndexes(gs))
            if (DaimyouAt(gs, h).toushu >= 0 && DaimyouAt(gs, h).bond == CDaimyou::kBondDokuritsu &&
                CountShiroOfDaimyou(gs, h) > 0)
                withCastles.push_back(h);
        ASSERT_GE(withCastles.size(), 2u);
        const int master = withCastles[0], other = withCastles[1];
        const auto ownYield = [&](int h) {
            long long sum = 0;
            for (int c : ShiroIndexes(gs))
                if (ShiroAt(gs, c).daimyou == h) sum += ShiroAt(gs, c).kokudaka;
            return sum;
        };
        const auto panelText = [&](int h) {
            for (int i = 0; i < list.GetItemCount(); ++i)
                if (list.GetItemData(i) == h) return list.GetItemText(i, 1);
            return std::string("(not listed)");
        };
        const long long masterAlone = ownYield(master), otherAlone = ownYield(other);
        const struct {
            std::uint8_t bond;
            long long masterTotal;
            int otherImage;
        } cases[] = {
            {CDaimyou::kBondJuuzoku, masterAlone, -1},
            {CDaimyou::kBondShinjuu, masterAlone + otherAlone, 11},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(static_cast<int>(c.bond));
            DaimyouAt(gs, other).bond = c.bond;
            DaimyouAt(gs, other).masterDaimyou = master;
            m.RefillDaimyouList();
            EXPECT_EQ(panelText(master), KokudakaText(c.masterTotal, &gs));
            EXPECT_EQ(panelText(other), KokudakaText(otherAlone, &gs));
            const std::vector<std::int32_t> stats = DaimyouListStatistics(gs);
            for (int h : {master, other})
                EXPECT_EQ(panelText(h), DaimyouListRow(gs, stats, h)[3]) << "the house list's 石高(臣従含)";
            for (int i = 0; i < list.GetItemCount(); ++i) {
                if (list.GetItemData(i) != other) continue;
                EXPECT_EQ(list.GetItemImage(i), c.otherImage >= 0 ? c.otherImage : std::min(i, 10));
            }
        }
    });
}

// The panel's list buttons and menu items open the general and house lists; a click or Enter on
// the panel's house list opens that house's information.
TEST_F(CommandSurfaceTest, ListButtonsAndTheHouseListOpenTheInformationViews) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        CCommandPanelDlg& panel = m.Panel();
        const GameState& gs = m.State();
        const auto expect = [&](const char* caption) {
            Script().OnDialog([caption](ui::Dialog& d) {
                EXPECT_EQ(d.GetWindowText(), caption);
                d.EndDialog(ui::IDOK);
            });
        };
        expect("武将一覧");
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kBushouListId));
        expect("大名家一覧");
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kDaimyouListDlgId));
        expect("武将一覧");
        ui::Wnd::SendCommand(&m, kIdBushouList, 0, nullptr);
        expect("大名家一覧");
        ui::Wnd::SendCommand(&m, kIdDaimyouList, 0, nullptr);
        ui::ListCtrl& houses = panel.HouseList();
        ASSERT_GT(houses.GetItemCount(), 1);
        const ui::Point second = houses.ItemRect(1).CenterPoint();
        Script().OnDialog([&](ui::Dialog& d) {
            auto* info = dynamic_cast<CDaimyouInfoDlg*>(&d);
            ASSERT_NE(info, nullptr);
            d.EndDialog(ui::IDOK);
        });
        ui::test::MouseDown(houses, second);
        ui::test::MouseUp(houses, second);
        EXPECT_EQ(houses.GetFirstSelectedItem(), 1);
        expect("大名家情報");
        houses.SetFocus();
        ui::test::PressKey(panel, ui::VK_RETURN);
        EXPECT_EQ(Script().DialogsShown().size(), 7u) << gs.nPlayerDaimyou;
    });
}

// The settings menu's music item opens the music settings; switching the music off there stops
// it and keeps the switch in the settings file.
TEST_F(CommandSurfaceTest, MusicMenuItemOpensTheSettingsAndStoresTheSwitch) {
    RecordingMusicBackend backend;
    shell::MusicPlayer player(backend);
    player.Places().programFolder = program_;
    app_.music = &player;
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        const int before = player.Situation();
        Script().OnDialog([&](ui::Dialog& d) {
            ASSERT_NE(dynamic_cast<CBgmSettingDlg*>(&d), nullptr);
            EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNoBgmId));
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ui::Wnd::SendCommand(&m, kIdMusic, 0, nullptr);
        EXPECT_TRUE(player.Settings().off);
        EXPECT_EQ(player.Situation(), before) << "the situation is kept while silent";
    });
    app_.music = nullptr;
    SettingFile stored;
    stored.SetLocation(program_, program_);
    stored.Load();
    EXPECT_TRUE(stored.NoMusic());
}

TEST_F(CommandSurfaceTest, PanelKeysWalkTheButtonGrid) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        CCommandPanelDlg& panel = m.Panel();
        // The castle view shows the panel's 1014, "back to the country map".
        int kuni = 0;
        while (CountShiroInKuni(m.State(), kuni) == 0)
            ++kuni;
        m.SwitchMapView(kuni);
        m.BuildCommandMenu(2);  // eight commands: rows 1..4 of both columns
        auto focusCell = [&] { return panel.FindFocusButton(); };
        panel.SetFocusButton(0, 4);
        const struct {
            unsigned key;
            unsigned modifiers;
            std::pair<int, int> to;
        } walk[] = {
            {ui::VK_DOWN, 0, {0, 7}},   // CMD9 is hidden, position 6 has no button in row 0
            {ui::VK_DOWN, 0, {0, 8}},   // 1014
            {ui::VK_DOWN, 0, {0, 8}},   // the bottom
            {ui::VK_RIGHT, 0, {1, 8}},  // the same button in both rows
            {ui::VK_UP, 0, {1, 7}},     // 1010
            {ui::VK_UP, 0, {1, 6}},     // 1011
            {ui::VK_UP, 0, {1, 4}},     // CMD8
            {ui::VK_LEFT, 0, {0, 4}},   // CMD7
            {ui::VK_LEFT, 0, {0, 4}},
        };
        for (const auto& step : walk) {
            ui::test::PressKey(panel, step.key, step.modifiers);
            EXPECT_EQ(focusCell(), step.to) << step.key;
        }
        // Tab leaves the grid for the colour check box; Tab again the house list; Tab back to the cell.
        ui::test::PressKey(panel, ui::VK_TAB);
        EXPECT_EQ(ui::Wnd::GetFocus(), panel.GetDlgItem(CCommandPanelDlg::kColorDisplayId));
        ui::test::PressKey(panel, ui::VK_TAB);
        EXPECT_EQ(ui::Wnd::GetFocus(), &panel.HouseList());
        ui::test::PressKey(panel, ui::VK_TAB);
        EXPECT_EQ(focusCell(), std::make_pair(0, 4));
        // In the personnel phase, Up from CMD3 goes past the hidden nothing to CMD1, then 1008.
        m.BuildCommandMenu(5);  // two commands: CMD1 and CMD2
        panel.SetFocusButton(1, 1);
        ui::test::PressKey(panel, ui::VK_UP);
        EXPECT_EQ(focusCell(), std::make_pair(1, 0));
        // Down from CMD9 (shown here by hand: no phase has it) passes the empty cell to 1012.
        panel.CommandButton(8).ShowWindow(ui::SW_SHOW);
        panel.SetFocusButton(0, 5);
        ui::test::PressKey(panel, ui::VK_DOWN);
        EXPECT_EQ(focusCell(), std::make_pair(0, 7));
        // Escape and Enter never close the panel; Escape asks the window whether to quit, and
        // the focus is on the button it was on again: Enter presses it.
        std::string asked;
        Script().OnDialog([&](ui::Dialog& box) {
            asked = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDNO);
        });
        ui::test::PressKey(panel, ui::VK_ESCAPE);
        EXPECT_EQ(asked, "ゲームを終了します");
        EXPECT_EQ(focusCell(), std::make_pair(0, 7));
        std::string opened;
        Script().OnDialog([&](ui::Dialog& d) {
            opened = d.GetWindowText();
            d.EndDialog(ui::IDOK);
        });
        ui::test::PressKey(panel, ui::VK_RETURN);
        EXPECT_EQ(opened, "武将一覧");
        EXPECT_TRUE(panel.IsWindowVisible());
        EXPECT_FALSE(m.IsEnded());
    });
}

// The four personnel commands from the panel: the captive and hostage commands refuse while the
// house holds none; with a captive the treatment dialog releases him, and the dump shows him back
// in his house's service with no holder.
TEST_F(CommandSurfaceTest, PersonnelCommandsRunFromThePanel) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        ASSERT_EQ(gs.nPhase, kPhaseJinji);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << i;
        auto box = [this](const std::string& text) {
            Script().OnDialog([text](ui::Dialog& d) {
                EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText, text);
                d.EndDialog(ui::IDOK);
            });
        };
        box("現在、当家には捕虜がいません");
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
        box("現在、当家には捕虜がいません");
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[1]));
        box("現在、当家には人質がいません");
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[3]));
        Script().OnDialog([](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "客将招請");
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[2]));

        // A general of another house taken by the player's house, then released.
        const int player = gs.nPlayerDaimyou;
        int captive = -1;
        for (int g : BushouIndexes(gs)) {
            const CBushou& b = BushouAt(gs, g);
            if (b.daimyou >= 0 && b.daimyou != player && b.status == CBushou::kStatusKashin &&
                DaimyouAt(gs, b.daimyou).toushu != g && CountShiroOfDaimyou(gs, b.daimyou) > 0) {
                captive = g;
                break;
            }
        }
        ASSERT_GE(captive, 0);
        const int house = BushouAt(gs, captive).daimyou;
        TakeHoryo(gs, SilentPort::Instance().AsPorts(), player, captive);
        // The exchange: his house is chosen in the counterpart dialog (confirmed with OK); with
        // none of the player's generals held there the negotiation cannot start.
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "捕虜交換大名家選択");
            dynamic_cast<CKoushouAiteDlg&>(d).OnHouseClicked(house);
        });
        Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDOK); });  // the confirmation
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "捕虜交換");
            EXPECT_FALSE(d.GetDlgItem(ui::IDOK)->IsWindowEnabled());
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[1]));
        EXPECT_EQ(BushouAt(gs, captive).status, CBushou::kStatusHoryo);
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "捕虜処遇");
            auto* list = dynamic_cast<ui::ListCtrl*>(d.GetDlgItem(1007));
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->GetItemCount(), 1);
            list->SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
            EXPECT_TRUE(ui::test::ClickControl(d, 1110));
            EXPECT_EQ(list->GetItemCount(), 0);
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
        EXPECT_EQ(Script().PendingSteps(), 0u);
        const auto dump = nlohmann::json::parse(DumpStateJson(gs, map_, "0"));
        const auto& row = dump["generals"][static_cast<std::size_t>(captive)];
        EXPECT_EQ(row["house"], house);
        EXPECT_EQ(row["status"], CBushou::kStatusKashin);
        EXPECT_EQ(row["holder"], player);
    });
}

// The hostage and guest commands from the panel: a hostage of another house goes home (he waits
// to appear again for it) and a vassal house's general comes as guest general.
TEST_F(CommandSurfaceTest, HostageAndGuestCommandsRunFromThePanel) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        const int player = gs.nPlayerDaimyou;
        int hostage = -1, guest = -1;
        for (int g : BushouIndexes(gs)) {
            const CBushou& b = BushouAt(gs, g);
            if (b.daimyou < 0 || b.daimyou == player || DaimyouAt(gs, b.daimyou).toushu == g) continue;
            if (hostage < 0) {
                hostage = g;
            } else if (b.daimyou != BushouAt(gs, hostage).daimyou) {
                guest = g;
                break;
            }
        }
        ASSERT_GE(guest, 0);
        const int hostageHouse = BushouAt(gs, hostage).daimyou;
        const int vassal = BushouAt(gs, guest).daimyou;
        RemoveBushouFromHoui(gs, hostage);
        CBushou& h = gs.BushouTbl[static_cast<std::size_t>(hostage)];
        h.daimyou = CBushou::kDaimyouHitojichi;
        h.status = CBushou::kStatusHitojichi;
        h.holderDaimyou = static_cast<std::int16_t>(player);
        h.originDaimyou = static_cast<std::int16_t>(hostageHouse);
        gs.DaimyouTbl[static_cast<std::size_t>(vassal)].bond = CDaimyou::kBondShinjuu;
        gs.DaimyouTbl[static_cast<std::size_t>(vassal)].masterDaimyou = player;
        const int waiting = gs.nMitoujouBushou;
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "人質処遇");
            auto* list = dynamic_cast<ui::ListCtrl*>(d.GetDlgItem(1007));
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->GetItemCount(), 1);
            list->SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
            Script().OnDialog([&](ui::Dialog& box) {
                EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText,
                          h.name + " を " + DaimyouAt(gs, hostageHouse).name + " に返還します");
                box.EndDialog(ui::IDOK);
            });
            EXPECT_TRUE(ui::test::ClickControl(d, 1236));
            EXPECT_EQ(list->GetItemCount(), 0);
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[3]));
        Script().OnDialog([&](ui::Dialog& d) {
            auto* list = dynamic_cast<ui::ListCtrl*>(d.GetDlgItem(1234));
            ASSERT_NE(list, nullptr);
            int item = -1;
            for (int i = 0; i < list->GetItemCount(); ++i)
                if (static_cast<int>(list->GetItemData(i)) == guest) item = i;
            ASSERT_GE(item, 0);
            list->SetItemState(item, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
            Script().Answer(ui::IDOK);  // "... を客将として迎えます"
            const ui::Point at = list->ItemRect(item).CenterPoint();
            ui::test::MouseDown(*list, at);
            ui::test::MouseUp(*list, at);
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[2]));
        EXPECT_EQ(Script().PendingSteps(), 0u);
        const auto after = nlohmann::json::parse(DumpStateJson(gs, map_, "0"));
        EXPECT_EQ(after["generals"][static_cast<std::size_t>(hostage)]["house"], CBushou::kDaimyouRounin);
        EXPECT_EQ(gs.nMitoujouBushou, waiting + 1) << "he waits to appear again for his house";
        EXPECT_EQ(after["generals"][static_cast<std::size_t>(guest)]["status"], CBushou::kStatusKyakushou);
        EXPECT_EQ(after["generals"][static_cast<std::size_t>(guest)]["house"], vassal);
    });
}

TEST_F(CommandSurfaceTest, ArmamentCommandsRunTheirDialogsFromThePanel) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        ASSERT_EQ(gs.nPhase, 2);
        EXPECT_TRUE(panel.CommandButton(0).IsWindowEnabled());
        EXPECT_TRUE(panel.CommandButton(1).IsWindowEnabled());
        for (int i = 4; i < 8; ++i)
            EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << "corps command " << i;
        const int funds = DaimyouAt(gs, gs.nPlayerDaimyou).shikin;

        // Without a chosen province the command refuses.
        ui::Wnd::SendCommand(&m, kIdZenkoku, 0, nullptr);
        Script().OnDialog([](ui::Dialog& d) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText, "国を選択してください");
            d.EndDialog(ui::IDOK);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));

        // With the province of a castle of the house, each dialog opens for it.
        int kuni = -1;
        for (int s : ShiroIndexes(gs))
            if (ShiroAt(gs, s).daimyou == gs.nPlayerDaimyou && ShiroAt(gs, s).nBushou > 0) {
                kuni = gs.ShiroMapTbl[static_cast<std::size_t>(s)].kuni;
                break;
            }
        ASSERT_GE(kuni, 0);
        ui::Wnd::SendCommand(&m, kIdKuniBase + kuni, 0, nullptr);
        ASSERT_EQ(m.SelectedKuni(), kuni);
        for (const char* caption : {"徴兵", "鉄砲配備"}) {
            Script().OnDialog([caption](ui::Dialog& d) {
                EXPECT_EQ(d.GetWindowText(), caption);
                auto* list = dynamic_cast<ui::ListCtrl*>(d.GetDlgItem(1035));
                ASSERT_NE(list, nullptr);
                EXPECT_GT(list->GetItemCount(), 0);
                d.EndDialog(ui::IDCANCEL);
            });
        }
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[1]));
        EXPECT_EQ(Script().PendingSteps(), 0u);
        EXPECT_EQ(DaimyouAt(gs, gs.nPlayerDaimyou).shikin, funds);
    });
}

// The sortie command: enabled in the sortie phase once its dialog is registered, it opens the
// sortie dialog for the province chosen; Cancel changes nothing, and the army ordered through it
// is sent by the phase's end as the computer's armies are: it besieges its target (or takes it).
TEST_F(CommandSurfaceTest, SortieCommandOrdersAnArmyTheWarPhaseSendsOut) {
    WithGame("D_ODA", 5, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        for (int phase = 1; phase < kPhaseShutsujin; ++phase) {
            ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        ASSERT_EQ(gs.nPhase, kPhaseShutsujin);
        EXPECT_TRUE(panel.CommandButton(0).IsWindowEnabled());
        EXPECT_TRUE(panel.CommandButton(1).IsWindowEnabled()) << "the sortie by water";
        const int player = gs.nPlayerDaimyou;
        const int origin = BushouAt(gs, DaimyouAt(gs, player).toushu).shiro;
        int target = -1;
        ForShiroLinks(gs, origin, [&](int to, int kind) {
            if (target < 0 && kind != 3 && GetCountedDaimyouOfShiro(gs, to) != player &&
                ShiroAt(gs, to).nBesieger == 0 && CheckSortieTarget(gs, player, origin, to, false).empty())
                target = to;
        });
        ASSERT_GE(target, 0);
        m.MapViews().curKuni = gs.ShiroMapTbl[static_cast<std::size_t>(origin)].kuni;
        auto click = [](CShutsujinDlg& d, int shiro) {
            d.Map().m_nClickShiro = shiro;
            ui::Wnd::SendCommand(&d, CShutsujinDlg::kMapId, 0, &d.Map());
        };

        const std::string before = StateHash(gs);
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(dynamic_cast<CShutsujinDlg&>(d).Map().m_nKuni, m.SelectedKuni());
            d.EndDialog(ui::IDCANCEL);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
        EXPECT_EQ(StateHash(gs), before);

        std::vector<int> chosen;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CShutsujinDlg&>(d);
            click(dlg, origin);
            Script().OnDialog([&](ui::Dialog& s) {
                auto& select = dynamic_cast<CBushouSelectDlg&>(s);
                for (int i = 0; i < select.Grid().GetLineSize() && i < 3; ++i) {
                    select.Grid().MultiLineSelect(i, true);
                    chosen.push_back(select.Grid().GetLineData(i));
                }
                ASSERT_TRUE(ui::test::ClickControl(select, ui::IDOK));
            });
            click(dlg, target);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
        ASSERT_FALSE(chosen.empty());
        for (int g : chosen) {
            EXPECT_EQ(BushouAt(gs, g).sortieShiro, target);
            EXPECT_TRUE(BushouAt(gs, g).flags & CBushou::kFlagOrdered);
        }
        // A strong army: whatever meets it on the way, it arrives.
        BushouAt(gs, chosen[0]).foot = 3000;

        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        const CShiro& t = ShiroAt(gs, target);
        int besieging = 0;
        for (int g : chosen)
            besieging += BushouAt(gs, g).shiro == target;
        EXPECT_TRUE((t.besiegerDaimyou == player && t.nBesieger > 0) || t.daimyou == player)
            << "besieger " << t.besiegerDaimyou << " owner " << t.daimyou;
        EXPECT_GT(besieging, 0);
    });
}

// ---- The corps commands of the armament phase ----------------------------------------------------

// The dump of the game as it stands, parsed.
nlohmann::json GundanPlayDump(CMainGameDlg& m) {
    return nlohmann::json::parse(DumpStateJson(m.State(), m.Game()->Map(), StateHash(m.State())));
}

nlohmann::json GundanPlayCorps(const nlohmann::json& dump, int k) {
    for (const auto& c : dump["corps"])
        if (c["index"] == k) return c;
    return nullptr;
}

// Formed, given land, ordered to invade with two provinces in charge and funded through the four
// buttons of the armament phase, the corps is moved by the computer's planners in the sortie
// phase; dissolved, everything returns to the house. The dump shows each step.
TEST_F(CommandSurfaceTest, CorpsCommandsFormLandOrderFundPlayAndDissolve) {
    WithGame("D_ODA", 5, [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        const int player = gs.nPlayerDaimyou, head = DaimyouAt(gs, player).toushu;
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        ASSERT_EQ(gs.nPhase, kPhaseGunbi);
        for (int i = 4; i < 8; ++i)
            EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << i;
        // The command menu offers them too, not greyed.
        std::vector<std::string> offered;
        for (const ui::Menu::Item& item : m.Menus().Popup(CMainMenu::kCommand).Items())
            if (item.text.rfind("軍団", 0) == 0 && !(item.flags & ui::MF_GRAYED))
                offered.push_back(item.text);
        EXPECT_EQ(offered,
                  (std::vector<std::string>{"軍団編成(&5)", "軍団指示(&6)", "軍団所領(&7)", "軍団資産(&8)"}));

        // Formation: the strongest three direct retainers (not the head) form a corps.
        std::vector<int> chosen;
        for (int b : ListDirectBushou(gs, player))
            if (b != head && BushouAt(gs, b).daimyou == player) chosen.push_back(b);
        std::sort(chosen.begin(), chosen.end(),
                  [&](int a, int b) { return BushouAt(gs, a).foot > BushouAt(gs, b).foot; });
        ASSERT_GE(chosen.size(), 3u);
        chosen.resize(3);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CGundanHenseiDlg&>(d);
            auto pick = [&](MbWnd::CCellCtrl& grid, int id, const std::vector<int>& who) {
                for (int l = 0; l < grid.GetLineSize(); ++l)
                    grid.MultiLineSelect(l,
                                         std::find(who.begin(), who.end(), grid.GetLineData(l)) != who.end());
                dlg.OnGridSelChange(id);
            };
            pick(dlg.DirectGrid(), CGundanHenseiDlg::kDirectGridId, {chosen[0]});
            ASSERT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAppointId));
            dlg.ChooseGundanLine(0);
            pick(dlg.DirectGrid(), CGundanHenseiDlg::kDirectGridId, {chosen[1], chosen[2]});
            ASSERT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAddId));
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[4]));
        EXPECT_EQ(m.PhaseCaption(), "軍備フェイズ");
        const int k = BushouAt(gs, chosen[0]).gundan;
        ASSERT_GE(k, 0);
        nlohmann::json dump = GundanPlayDump(m);
        ASSERT_FALSE(GundanPlayCorps(dump, k).is_null());
        EXPECT_EQ(GundanPlayCorps(dump, k)["leader"], chosen[0]);
        for (int g : chosen)
            EXPECT_EQ(dump["generals"][g]["corps"], k) << g;

        // Territory: the house's castles of Owari but the head's become the corps' fief.
        const int owari = m.Game()->Map().FindKuni("K_OWARI"), mikawa = m.Game()->Map().FindKuni("K_MIKAWA");
        std::vector<int> fief;
        for (int c : ShiroIndexes(gs))
            if (ShiroAt(gs, c).daimyou == player && ShiroMapAt(gs, c).kuni == owari &&
                c != BushouAt(gs, head).shiro)
                fief.push_back(c);
        ASSERT_FALSE(fief.empty());
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CGundanRyouchiDlg&>(d);
            dlg.ChooseRow(0);
            Script().OnDialog([&](ui::Dialog& f) {
                for (int c : fief)
                    dynamic_cast<CGundanShoryouDlg&>(f).OnShiroClick(c, -1);
                ASSERT_TRUE(ui::test::ClickControl(f, ui::IDOK));
            });
            dlg.OnKuniClick(owari);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[6]));
        dump = GundanPlayDump(m);
        for (int c : fief) {
            EXPECT_EQ(dump["castles"][c]["corps"], k) << c;
            EXPECT_EQ(dump["castles"][c]["lord"], chosen[0]) << c;
        }

        // Orders: invade, with Owari and Mikawa in charge.
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CGundanShijiDlg&>(d);
            dlg.ChooseRow(0);
            ASSERT_TRUE(ui::test::ClickControl(d, CGundanShijiDlg::kShinkouId));
            dlg.OnKuniClick(owari);
            dlg.OnKuniClick(mikawa);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[5]));
        dump = GundanPlayDump(m);
        EXPECT_EQ(GundanPlayCorps(dump, k)["orders"], CGundan::kOrderShinkou);
        EXPECT_EQ(GundanPlayCorps(dump, k)["provinces"].dump(), R"(["K_OWARI","K_MIKAWA"])");

        // Assets: funds from the house.
        const int funds = DaimyouAt(gs, player).shikin;
        ASSERT_GT(funds, 1000);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CGundanShisanDlg&>(d);
            dlg.ChooseRow(0);
            d.GetDlgItem(CGundanShisanDlg::kGiveEditId)->SetWindowText("1000");
            ASSERT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveId));
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[7]));
        dump = GundanPlayDump(m);
        EXPECT_EQ(GundanPlayCorps(dump, k)["funds"], 1000);
        EXPECT_EQ(dump["houses"][player]["funds"], funds - 1000);
        EXPECT_FALSE(FindBrokenInvariant(gs));

        // The month played on: in the sortie phase the planners act for the corps, and its
        // generals leave their castles.
        std::vector<int> sortiePlanned;
        m.Game()->SetPlannerObserver([&](int phase, int daimyou, int gundan) {
            if (phase == kPhaseShutsujin && daimyou == player) sortiePlanned.push_back(gundan);
        });
        while (gs.nPhase != kPhaseShutsujin) {
            ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        const std::vector<int> members = ListGundanMembers(gs, player, k);
        std::vector<int> before;
        for (int g : members)
            before.push_back(BushouAt(gs, g).shiro);
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        EXPECT_NE(std::find(sortiePlanned.begin(), sortiePlanned.end(), k), sortiePlanned.end());
        int moved = 0;
        for (std::size_t i = 0; i < members.size(); ++i) {
            const CBushou& b = BushouAt(gs, members[i]);
            moved += (b.flags & CBushou::kFlagBesieging) != 0 || b.shiro != before[i];
        }
        EXPECT_GT(moved, 0);
        EXPECT_FALSE(FindBrokenInvariant(gs));

        // Dissolution in the next armament phase: the leader returned (asked once), the corps'
        // funds and fief back to the house.
        while (gs.nPhase != kPhaseGunbi) {
            ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        ASSERT_FALSE(GundanAt(gs, k).IsFree());
        const int leader = GundanAt(gs, k).leader;
        const int houseFunds = DaimyouAt(gs, player).shikin, corpsFunds = GundanAt(gs, k).shikin;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CGundanHenseiDlg&>(d);
            for (int l = 0; l < dlg.GundanGrid().GetLineSize(); ++l)
                if (dlg.GundanGrid().GetLineData(l) == k) dlg.ChooseGundanLine(l);
            MbWnd::CCellCtrl& grid = dlg.MemberGrid();
            for (int l = 0; l < grid.GetLineSize(); ++l)
                grid.MultiLineSelect(l, grid.GetLineData(l) == leader);
            dlg.OnGridSelChange(CGundanHenseiDlg::kMemberGridId);
            Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDOK); });
            ASSERT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kReturnId));
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[4]));
        dump = GundanPlayDump(m);
        EXPECT_TRUE(GundanPlayCorps(dump, k).is_null());
        EXPECT_EQ(dump["houses"][player]["funds"], houseFunds + corpsFunds);
        for (int c : fief) {
            if (ShiroAt(gs, c).daimyou != player) continue;
            EXPECT_EQ(dump["castles"][c]["corps"], -1) << c;
            EXPECT_EQ(dump["castles"][c]["lord"], head) << c;
        }
        for (const auto& g : dump["generals"])
            EXPECT_NE(g["corps"], k);
        EXPECT_FALSE(FindBrokenInvariant(gs));
    });
}

}  // namespace
}  // namespace rymd::gui_test

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

// The month start's musket, trade-ship and warship reports go to the main window's dialogs, where
// a script step reads what they show and closes them; everything else is answered silently.
class BuildPlayPort final : public InformPort,
                            public AskPort,
                            public ReportPort,
                            public PlayPort,
                            public ViewPort {
public:
    QtPort* window = nullptr;
    ui::test::Script* script = nullptr;
    std::vector<std::string> shown;  // the caption, then the lines the dialog showed

    void Inform(std::string_view) override {}
    bool AskYesNo(std::string_view, bool) override { return kSafeYesNo; }
    bool AskOkCancel(std::string_view) override { return kSafeOkCancel; }
    int AskChoice(std::string_view, std::span<const std::string>, int defaultChoice) override {
        return defaultChoice;
    }
    double AskNumber(std::string_view) override { return kSafeNumber; }
    std::optional<std::string> AskOpenFile(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    void ShowLongText(std::string_view, std::string_view, std::span<const std::uint8_t>, Colour) override {}
    void ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) override {
        const bool ours = kind == ReportKind::MusketDelivery || kind == ReportKind::TradeShipReturn ||
                          kind == ReportKind::GunsenComplete;
        if (!ours || !window || !script) return;
        script->OnDialog([this](ui::Dialog& d) {
            std::string text = d.GetWindowText() + "|";
            if (auto* musket = dynamic_cast<CTeppouNyuushuDlg*>(&d)) text += musket->TextCtrl().GetText();
            if (auto* warships = dynamic_cast<CGunsenCompleteDlg*>(&d))
                text += warships->TextCtrl().GetText();
            if (auto* ships = dynamic_cast<CKouekisenKikouDlg*>(&d))
                for (int line = 0; line < ships->Grid().GetLineSize(); ++line)
                    text +=
                        ships->Grid().GetCellText(line, 1) + " " + ships->Grid().GetCellText(line, 2) + "\n";
            shown.push_back(text);
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        window->ShowReport(kind, title, lines);
    }
};

// A whole play on the bundled game for the Miyoshi house, whose province Izumi makes muskets and
// whose home province Settsu lies one month from Sakai: in the first domestic phase it makes and
// buys muskets, builds trade ships and warships at Takiyama, its port on the sea route to Awaji,
// and sends a voyage from there. The month starts after it bring the
// muskets (the delivery report), the voyage home (its report) and, four months on, the warships
// (their report); the state dump shows the muskets in the house's stock and the ships at the
// castles.
TEST_F(CommandSurfaceTest, DomesticPhaseBuildsShipsAndMusketsThatArriveMonthsLater) {
    BuildPlayPort port;
    port.script = &Script();
    const Ports ports = PortsOf(port);
    WithGame(
        "D_MIYOSHI", 7,
        [&](CMainGameDlg& m) {
            GameState& gs = m.State();
            CCommandPanelDlg& panel = m.Panel();
            port.window = &m.Port();
            const int player = gs.nPlayerDaimyou;
            // The house has saved for its plans.
            DaimyouAt(gs, player).shikin = 200000;
            int takiyama = -1;
            for (int c : ShiroIndexes(gs))
                if (ShiroMapAt(gs, c).name == "滝山城" && ShiroAt(gs, c).daimyou == player) takiyama = c;
            ASSERT_GE(takiyama, 0);
            ASSERT_EQ(ShiroAt(gs, takiyama).daimyou, player);
            ShiroMapRecord& geo = ShiroMapAt(gs, takiyama);
            ASSERT_TRUE(geo.flags & ShiroMapRecord::kFlagPort);
            // A new game is played without sea routes: it clears every castle's waterway mark, so
            // no castle could build warships. The play gives Takiyama back its route to Awaji.
            EXPECT_FALSE(geo.flags & ShiroMapRecord::kFlagWaterway);
            geo.flags |= ShiroMapRecord::kFlagWaterway;
            const int tradeShips = ShiroAt(gs, takiyama).kouekisen;
            const int warships = gs.GunsenTable.GetGunsenAtShiro(takiyama);

            for (int phase = 1; phase < kPhaseNaisei; ++phase) {
                ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
                ui::test::ProcessEvents();
            }
            ASSERT_EQ(gs.nPhase, kPhaseNaisei);
            ui::Wnd::SendCommand(&m, kIdKuniBase + geo.kuni, 0, nullptr);
            ASSERT_EQ(m.SelectedKuni(), geo.kuni);
            for (int i = 0; i < 8; ++i)
                EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << "domestic command " << i + 1;
            EXPECT_TRUE(ui::test::GrabToPng(panel, GalleryPath("command_panel_domestic")));
            EXPECT_TRUE(ui::test::GrabToPng(panel, GalleryPath("command_panel_domestic@2x"), 2.0));
            auto rowOf = [&](ui::ListCtrl& list, const std::string& name) {
                for (int item = 0; item < list.GetItemCount(); ++item)
                    if (list.GetItemText(item, 0) == name) return item;
                return -1;
            };
            auto click = [](ui::ListCtrl& list, int item) {
                ASSERT_GE(item, 0);
                const Point p = list.ItemRect(item).CenterPoint();
                ui::test::MouseDown(list, p);
                ui::test::MouseUp(list, p);
            };

            // Production: as much as the province makes this month.
            Script().OnDialog([&](ui::Dialog& d) {
                EXPECT_EQ(d.GetWindowText(), "鉄砲生産");
                EXPECT_TRUE(ui::test::ClickControl(d, CTeppouSeisanDlg::kMaxId));
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
            ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[6]));
            const int made = DaimyouAt(gs, player).teppouSeisan;
            EXPECT_GT(made, 0);

            // Purchase: everything Sakai sells, delivered next month.
            int sakai = -1;
            Script().OnDialog([&](ui::Dialog& d) {
                auto& dlg = dynamic_cast<CTeppouKounyuuDlg&>(d);
                const int item = rowOf(*dlg.List(), "堺");
                click(*dlg.List(), item);
                sakai = dlg.Order().Row(static_cast<int>(dlg.List()->GetItemData(item))).place;
                EXPECT_TRUE(ui::test::ClickControl(d, CTeppouKounyuuDlg::kMaxId));
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
            ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[7]));
            ASSERT_GE(sakai, 0);
            const int bought = DaimyouAt(gs, player).teppouOrder[static_cast<std::size_t>(sakai)].count;
            EXPECT_GT(bought, 0);
            EXPECT_EQ(DaimyouAt(gs, player).teppouOrder[static_cast<std::size_t>(sakai)].months, 1);

            // Trade ships up to ten at Takiyama; warships: five at every port of the province.
            Script().OnDialog([&](ui::Dialog& d) {
                auto& dlg = dynamic_cast<CKouekisenKenzouDlg&>(d);
                click(*dlg.PortList(), rowOf(*dlg.PortList(), "滝山城"));
                EXPECT_TRUE(ui::test::ClickControl(d, CKouekisenKenzouDlg::kMaxId));
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
            ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[4]));
            EXPECT_EQ(ShiroAt(gs, takiyama).kouekisen, 10);
            Script().OnDialog([&](ui::Dialog& d) {
                EXPECT_EQ(d.GetWindowText(), "軍船建造");
                EXPECT_TRUE(ui::test::ClickControl(d, CGunsenKenzouDlg::kMaxAllId));
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
            ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[5]));
            EXPECT_EQ(ShiroAt(gs, takiyama).gunsenBuilding, 0x45);
            EXPECT_EQ(ShiroAt(gs, takiyama).gunsenBuilder, player);

            // One trade ship goes on the sea training from Takiyama.
            Script().OnDialog([&](ui::Dialog& d) {
                auto& dlg = dynamic_cast<CKouekisenHakenDlg&>(d);
                click(*dlg.PortList(), rowOf(*dlg.PortList(), "滝山城"));
                click(*dlg.PartnerList(), 0);
                ASSERT_TRUE(ui::test::TypeIntoControl(d, CKouekisenHakenDlg::kShipsId, "1"));
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
            ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[3]));
            int voyageMonths = 0;
            for (const ShiroOrderSlot& v : ShiroAt(gs, takiyama).voyage)
                if (v.ships != 0) voyageMonths = std::max<int>(voyageMonths, v.monthsLeft);
            EXPECT_GT(voyageMonths, 0);
            const std::int64_t stock = DaimyouAt(gs, player).teppou;

            // Four months on, or until the voyage is home.
            for (int month = 0; month < std::max(4, voyageMonths); ++month)
                for (int phase = gs.nPhase; phase <= kPhaseShutsujin; ++phase) {
                    ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
                    ui::test::ProcessEvents();
                }
            EXPECT_EQ(Script().PendingSteps(), 0u);
            const std::string all = [&] {
                std::string text;
                for (const std::string& s : port.shown)
                    text += s + "\n";
                return text;
            }();
            ASSERT_FALSE(port.shown.empty());
            // The muskets of the first month start: made and bought.
            EXPECT_EQ(port.shown[0].rfind("鉄砲入手|", 0), 0u) << all;
            EXPECT_NE(port.shown[0].find(FormatText("%d挺の鉄砲を生産しました", made * 10)),
                      std::string::npos)
                << all;
            EXPECT_NE(port.shown[0].find(FormatText("堺から%d挺の鉄砲を調達しました", bought * 10)),
                      std::string::npos)
                << all;
            EXPECT_NE(all.find("交易船帰港|滝山城 1隻"), std::string::npos) << all;
            EXPECT_NE(all.find("軍船完成|摂津の滝山城で5隻の軍船が完成しました"), std::string::npos) << all;

            // The dump: the muskets in the house's stock, the ships at the castle.
            const nlohmann::json j = nlohmann::json::parse(DumpStateJson(gs, map_, StateHash(gs)));
            const nlohmann::json& house = j["houses"][static_cast<std::size_t>(player)];
            EXPECT_GE(house["muskets"].get<std::int64_t>(), stock + made + bought);
            EXPECT_EQ(house["muskets_ordered"], 0);
            const nlohmann::json& castle = j["castles"][static_cast<std::size_t>(takiyama)];
            EXPECT_EQ(castle["name"], "滝山城");
            EXPECT_EQ(castle["warships_building"], 0);
            EXPECT_EQ(castle["warships"], warships + 5);
            EXPECT_GE(castle["trade_ships"].get<int>(), tradeShips);
        },
        &ports);
}

}  // namespace
}  // namespace rymd::gui_test

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

// ---- The month's reports through a year ------------------------------------------------------------

// The ports of a year in which the month's reports are the window's dialogs: the harvest, the
// income report and the deaths and appearances go to the Qt port, each answered by a step put in
// front of it; every other message and question takes the silent answers.
class MonthReportsYearPorts final : public AskPort, public ReportPort {
public:
    MonthReportsYearPorts(ui::test::Script& script, CMainGameDlg& main, MbKorMap::CCtrlKorMap& map)
        : script_(script), qt_(&main) {
        qt_.SetMap(&map);
    }
    Ports AsPorts() {
        Ports p = SilentPort::Instance().AsPorts();
        p.ask = this;
        p.report = this;
        return p;
    }
    bool AskYesNo(std::string_view t, bool d) override { return silent().AskYesNo(t, d); }
    bool AskOkCancel(std::string_view t) override { return silent().AskOkCancel(t); }
    int AskChoice(std::string_view p, std::span<const std::string> c, int d) override {
        return silent().AskChoice(p, c, d);
    }
    double AskNumber(std::string_view p) override { return silent().AskNumber(p); }
    std::optional<std::string> AskOpenFile(std::string_view t, std::string_view f,
                                           std::string_view i) override {
        return silent().AskOpenFile(t, f, i);
    }
    void ShowLongText(std::string_view, std::string_view, std::span<const std::uint8_t>, Colour) override {}
    void ShowReport(ReportKind kind, std::string_view, std::span<const std::string>) override {
        ExpectNotAMonthReport(kind);
    }
    int AskHarvestTax(const HarvestView& view) override {
        script_.OnDialog([this, view](ui::Dialog& d) { onHarvest(dynamic_cast<CHarvestDlg&>(d), view); });
        return qt_.AskHarvestTax(view);
    }
    void ShowIncomeReport(const IncomeReportView& view) override {
        script_.OnDialog([this, view](ui::Dialog& d) { onIncome(dynamic_cast<CIncomeReportDlg&>(d), view); });
        qt_.ShowIncomeReport(view);
    }
    void ShowDeathsAndAppearances(const DeathAppearView& view) override {
        script_.OnDialog(
            [this, view](ui::Dialog& d) { onDeaths(dynamic_cast<CBushouDeathAppearDlg&>(d), view); });
        qt_.ShowDeathsAndAppearances(view);
    }

    std::function<void(CHarvestDlg&, const HarvestView&)> onHarvest;
    std::function<void(CIncomeReportDlg&, const IncomeReportView&)> onIncome;
    std::function<void(CBushouDeathAppearDlg&, const DeathAppearView&)> onDeaths;

private:
    static SilentPort& silent() { return SilentPort::Instance(); }
    static void ExpectNotAMonthReport(ReportKind kind) {
        EXPECT_NE(kind, ReportKind::Income) << "the income report came as plain lines";
        EXPECT_NE(kind, ReportKind::DeathsAndAppearances) << "the deaths and appearances came as plain lines";
    }
    ui::test::Script& script_;
    QtPort qt_;
};

// The figure of a static of the income report (the harvest's "0 (収穫は9月のみ)" reads 0).
int MonthReportsFigure(ui::Dialog& d, int id) {
    return std::atoi(d.GetDlgItem(id)->GetWindowText().c_str());
}

TEST_F(CommandSurfaceTest, AYearOfMonthReportsInTheirDialogs) {
    std::unique_ptr<MonthReportsYearPorts> ports;
    auto portsFor = [&](CMainGameDlg& m) {
        ports = std::make_unique<MonthReportsYearPorts>(Script(), m, map_);
        // The first month start, before the year: its reports are closed as they come.
        ports->onIncome = [](CIncomeReportDlg& d, const IncomeReportView&) { d.EndDialog(ui::IDOK); };
        ports->onDeaths = [](CBushouDeathAppearDlg& d, const DeathAppearView&) { d.EndDialog(ui::IDOK); };
        return ports->AsPorts();
    };
    WithGame(
        "D_ODA", 5,
        [&](CMainGameDlg& m) {
            GameState& gs = m.State();
            const int player = gs.nPlayerDaimyou;
            int harvests = 0, incomes = 0, deathReports = 0, namedGenerals = 0;
            std::vector<std::pair<int, int>> supportBefore;  // castle, support when the rate was chosen

            ports->onHarvest = [&](CHarvestDlg& d, const HarvestView& view) {
                ++harvests;
                EXPECT_EQ(gs.nCurMonth, 9);
                // The map painted from the harvest: a province of each harvest the year has.
                const MbBmp::CControlBmp& picture = d.MapWnd().Picture();
                std::set<int> seen;
                for (std::size_t k = 0; k < view.qualities.size(); ++k) {
                    if (!seen.insert(view.qualities[k]).second) continue;
                    const Point p =
                        PixelInsideKuni(map_, static_cast<int>(k), picture.GetWidth(), picture.GetHeight());
                    if (p.x < 0) continue;  // a province too small to hold a sample
                    EXPECT_EQ(Rgb(picture.GetPixelColor(p.x, p.y)),
                              Rgb(CHarvestDlg::QualityColour(view.qualities[k])))
                        << "province " << k;
                }
                for (int c = 0; c < gs.nShiro; ++c)
                    if (gs.ShiroTbl[c].daimyou == player && gs.ShiroTbl[c].gundan == -1)
                        supportBefore.push_back({c, gs.ShiroTbl[c].support});
                // The heaviest rate, 70 %: support falls toward 1 %.
                EXPECT_TRUE(ui::test::ClickControl(d, CHarvestDlg::kFirstRateId));
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            };
            ports->onIncome = [&](CIncomeReportDlg& d, const IncomeReportView& view) {
                ++incomes;
                using D = CIncomeReportDlg;
                int income = 0, upkeep = 0;
                for (int i = 0; i + 1 < D::kIncomeRows; ++i)
                    income += MonthReportsFigure(d, D::kFirstIncomeValueId + i);
                for (int i = 0; i + 1 < D::kUpkeepRows; ++i)
                    upkeep += MonthReportsFigure(d, D::kFirstUpkeepValueId + i);
                EXPECT_EQ(income, MonthReportsFigure(d, D::kFirstIncomeValueId + D::kIncomeRows - 1));
                EXPECT_EQ(upkeep, MonthReportsFigure(d, D::kFirstUpkeepValueId + D::kUpkeepRows - 1));
                // The funds line adds up to the house's funds in the game.
                EXPECT_EQ(view.fundsBefore + income - upkeep, gs.DaimyouTbl[player].shikin);
                EXPECT_EQ(
                    d.GetDlgItem(D::kFundsId)->GetWindowText(),
                    "資金残高　" + std::to_string(view.fundsBefore) + " + " + std::to_string(income) + " - " +
                        std::to_string(upkeep) + " → " + std::to_string(gs.DaimyouTbl[player].shikin) +
                        (gs.DaimyouTbl[player].shikin < 0 ? " （不足資金は家臣から借金しました）" : ""));
                if (gs.nCurMonth == 9) {
                    EXPECT_GT(MonthReportsFigure(d, D::kFirstIncomeValueId), 0) << "the harvest";
                    for (const auto& [c, before] : supportBefore)
                        if (before > 20) {
                            EXPECT_LT(gs.ShiroTbl[c].support, before) << "castle " << c;
                        }
                }
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            };
            ports->onDeaths = [&](CBushouDeathAppearDlg& d, const DeathAppearView& view) {
                ++deathReports;
                EXPECT_EQ(d.AppearedView().GetText(), CBushouDeathAppearDlg::ListText(view.appeared));
                EXPECT_EQ(d.DiedView().GetText(), CBushouDeathAppearDlg::ListText(view.died));
                for (const auto* list : {&view.appeared, &view.died})
                    if (list->front() != "なし") namedGenerals += static_cast<int>(list->size());
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            };
            for (int month = 0; month < 12; ++month)
                for (int phase = 1; phase <= 6; ++phase) {
                    ASSERT_EQ(m.Game()->EndCurrentPhase(), TurnResult::kContinue);
                    ui::test::ProcessEvents();
                }
            EXPECT_EQ(harvests, 1);
            EXPECT_EQ(incomes, 12);
            EXPECT_EQ(deathReports, 12);
            EXPECT_GT(namedGenerals, 0) << "a year without a general dying or coming on stage";
            EXPECT_FALSE(supportBefore.empty());
        },
        portsFor);
}

// ---- The window's pictures ------------------------------------------------------------------------------

TEST(WindowPictures, TheTwelveSwatchesFrameTheirColours) {
    for (int i = 0; i < 12; ++i) {
        const QImage swatch = DaimyouColorSwatch(i);
        ASSERT_EQ(swatch.size(), QSize(16, 16));
        const QColor c(ui::GetRValue(kDaimyouColorTbl[static_cast<std::size_t>(i)]),
                       ui::GetGValue(kDaimyouColorTbl[static_cast<std::size_t>(i)]),
                       ui::GetBValue(kDaimyouColorTbl[static_cast<std::size_t>(i)]));
        EXPECT_EQ(swatch.pixelColor(0, 0), QColor(Qt::white)) << i;
        EXPECT_EQ(swatch.pixelColor(15, 15), QColor(Qt::white)) << i;
        EXPECT_EQ(swatch.pixelColor(2, 2), i == 11 ? QColor(Qt::white) : QColor(Qt::black)) << i;
        EXPECT_EQ(swatch.pixelColor(13, 13), i == 11 ? QColor(Qt::white) : QColor(Qt::black)) << i;
        EXPECT_EQ(swatch.pixelColor(3, 3), c) << i;
        EXPECT_EQ(swatch.pixelColor(12, 12), c) << i;
    }
    ui::ImageList list;
    MakeDaimyouSwatches(list);
    EXPECT_EQ(list.GetImageCount(), 12);
    EXPECT_EQ(list.GetImageSize(), ui::Size(16, 16));
}

TEST_F(CommandSurfaceTest, TheWindowsIconsAndTheHouseListsSwatches) {
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        EXPECT_EQ(m.GetIcon(true).size(), QSize(32, 32));
        EXPECT_EQ(m.GetIcon(false).size(), QSize(16, 16));
        ui::ListCtrl& list = m.Panel().HouseList();
        ASSERT_GT(list.GetItemCount(), 10);
        // Each of the first ten houses shows its colour-display colour before its name; the
        // stated point is the middle of the swatch, 9 pixels into the row's first column.
        const QImage shot = ui::test::Grab(list);
        const int edge = (shot.height() - list.GetClientRect().Height()) / 2;  // the client edge
        for (int i = 1; i < 10; ++i) {
            const Rect row = list.ItemRect(i);
            const int y = edge + (row.top + row.bottom) / 2;
            bool found = false;
            for (int x = edge + row.left; x < edge + row.left + 24 && !found; ++x)
                found = ui::test::PixelAt(shot, x, y) == kDaimyouColorTbl[static_cast<std::size_t>(i)];
            EXPECT_TRUE(found) << "row " << i;
        }
        EXPECT_TRUE(ui::test::GrabToPng(m.Panel(), GalleryPath("command_panel_swatches")));
        EXPECT_TRUE(ui::test::GrabToPng(m.Panel(), GalleryPath("command_panel_swatches@2x"), 2.0));
    });
}

TEST_F(CommandSurfaceTest, F1InTheMainWindowOpensTheHelp) {
    struct Recorder final : HelpPort {
        bool OpenHelp() override {
            ++opened;
            return true;
        }
        int opened = 0;
    } recorder;
    HelpPort* before = SetHelpPort(&recorder);
    WithGame("D_ODA", 3, [&](CMainGameDlg& m) {
        ui::test::PressKey(m, ui::VK_F1);
        EXPECT_EQ(recorder.opened, 1);
        // Also with the focus in the command panel.
        ui::test::PressKey(m.Panel().EndButton(), ui::VK_F1);
        EXPECT_EQ(recorder.opened, 2);
    });
    SetHelpPort(before);
}

}  // namespace
}  // namespace rymd::gui_test
