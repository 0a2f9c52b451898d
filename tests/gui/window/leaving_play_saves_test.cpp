// Saves taken through the main window after somebody leaves play: the player's house with a corps
// falls and is watched on for five years; a hostage the player sends home through the hostage
// treatment; the player's own hostage, put to death when the player's house breaks with its
// master. Every save the window takes then loads again, in the window and in the command-line
// tool, and the state keeps every invariant.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/diplomacy/bonds.h"
#include "game/diplomacy/envoys.h"
#include "game/diplomacy/player_gaikou.h"
#include "game/ports/headless_port.h"
#include "game/ports/scripted_port.h"
#include "game/save/saved_game.h"
#include "game/state/access.h"
#include "game/state/gundan.h"
#include "game/state/invariants.h"
#include "game/state/queries.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "game/shell/dialogs/diplomacy/hitojichi_dlgs.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_game_dlg.h"
#include "gui/main_window_fixture.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/list_ctrl.h"
#include "support/house_fall.h"
#include "support/run_cli.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

class LeavingPlaySavesTest : public MainWindowTest {
protected:
    // The main window with a new game of the bundled scenario for the Oda house; the rules tell
    // and ask the given ports.
    void WithOdaGame(const Ports& ports, const std::function<void(CMainGameDlg&)>& body) {
        app_.saveDataFolder = program_;
        CMainGameDlg dlg(app_);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& m = dynamic_cast<CMainGameDlg&>(d);
            const NewGameRequest request = BundledOdaGame(5);
            m.SetGamePorts(ports);
            ASSERT_EQ(m.StartScenarioGame(request), 0);
            ui::test::ProcessEvents();
            body(m);
            d.EndDialog(ui::IDCANCEL);
        });
        dlg.DoModal();
    }
    static void ExpectSound(const GameState& gs, const std::string& when) {
        const auto broken = FindBrokenInvariant(gs);
        EXPECT_FALSE(broken.has_value()) << when << ": " << *broken;
    }
    // Saved through the window's save command, then read back apart from the window: it loads
    // and keeps every invariant.
    std::string SaveAndReadBack(CMainGameDlg& m, const std::string& name) {
        const std::string path = program_ + name;
        Script().ChooseFile(path);
        m.OnFileSave();
        EXPECT_TRUE(std::filesystem::exists(path)) << name;
        auto gs = std::make_unique<GameState>();
        MbKorMap::CCtrlKorMap map;
        const SavedGameLoad load = LoadSavedGameFile(path, *gs, map, 0);
        EXPECT_TRUE(load.loaded) << name;
        if (load.loaded) ExpectSound(*gs, name + " loaded");
        loadedHash_ = StateHash(*gs);
        return path;
    }
    // The last save loaded back through the window's load command: the game read apart.
    void LoadInWindow(CMainGameDlg& m, const std::string& path) {
        Script().ChooseFile(path);
        m.OnFileLoad();
        EXPECT_EQ(StateHash(m.State()), loadedHash_) << "the window did not load " << path;
        ExpectSound(m.State(), path + " loaded in the window");
        EXPECT_EQ(Script().PendingSteps(), 0u);
    }
    // A computer house with castles, other than those given.
    static int OtherHouse(const GameState& gs, std::initializer_list<int> besides) {
        for (int h : DaimyouIndexes(gs)) {
            if (h == gs.nPlayerDaimyou || !HouseExists(gs, h) || CountShiroOfDaimyou(gs, h) == 0 ||
                std::find(besides.begin(), besides.end(), h) != besides.end())
                continue;
            return h;
        }
        return -1;
    }

    std::string loadedHash_;
};

// The player's house forms a corps, then loses every castle and general to a neighbour during
// the sortie phase: at the phase's end it falls, the player watches on, and sixty months later
// the game still keeps every invariant; its saves load in the window and in the tool.
TEST_F(LeavingPlaySavesTest, AFallenHouseWithCorpsWatchedOnForFiveYearsSavesAndLoads) {
    std::ostringstream said;
    HeadlessPort headless(said);  // answers the fall's question with its default: watch on
    WithOdaGame(headless.AsPorts(), [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        const int oda = gs.nPlayerDaimyou, head = DaimyouAt(gs, oda).toushu;
        int leader = -1;
        for (int g : ListDirectBushou(gs, oda))
            if (g != head && BushouAt(gs, g).daimyou == oda) leader = g;
        ASSERT_GE(leader, 0);
        int corps = -1;
        const int chosen[] = {leader};
        AppointGundanchou(gs, oda, chosen, &corps);
        ASSERT_GE(corps, 0);
        GiveGundanFunds(gs, oda, corps, 100);
        ExpectSound(gs, "the corps formed");
        SaveAndReadBack(m, "corps.rsd");

        // To the sortie phase; then every castle and general of the house goes to the neighbour.
        while (gs.nPhase != kPhaseShutsujin) {
            ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        const int winner = OtherHouse(gs, {});
        ASSERT_GE(winner, 0);
        test::HandOverHouse(gs, oda, winner);
        ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        ASSERT_NE(m.Game(), nullptr);
        ASSERT_FALSE(HouseExists(gs, oda));
        EXPECT_NE(said.str().find(kFallenHouseQuestion), std::string::npos);
        ExpectSound(gs, "the month the house fell");
        EXPECT_TRUE(GundanAt(gs, corps).IsFree());
        SaveAndReadBack(m, "fallen.rsd");

        // Five years watched on, phase end by phase end as the window's end button plays them.
        for (int month = 1; month <= 60; ++month) {
            for (int phase = 0; phase < 6; ++phase)
                ASSERT_EQ(m.Game()->EndCurrentPhase(), TurnResult::kContinue) << "month " << month;
            ExpectSound(gs, "month " + std::to_string(month) + " watched on");
            if (::testing::Test::HasFailure()) return;
        }
        const std::string last = SaveAndReadBack(m, "watched.rsd");
        LoadInWindow(m, last);
        // The loaded game is watched on without the question again (any answer but Yes would end
        // the program).
        const std::string before = said.str();
        const int month = m.State().nCurMonth;
        for (int phase = 0; phase < 6; ++phase) {
            ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
            ASSERT_NE(m.Game(), nullptr);
        }
        EXPECT_NE(m.State().nCurMonth, month);
        EXPECT_EQ(said.str().find(kFallenHouseQuestion, before.size()), std::string::npos);
        const auto cli = test::RunCliKeepingErrors("load " + last + " --months 1 --check");
        EXPECT_EQ(cli.status, 0) << cli.err;
        EXPECT_EQ(cli.err.find(kFallenHouseQuestion), std::string::npos) << cli.err;
    });
}

// The player sends a hostage home through the hostage treatment: he leaves play, and the saves
// taken through the window after it load with every invariant.
TEST_F(LeavingPlaySavesTest, AHostageSentHomeThroughTheTreatmentLeavesLoadableSaves) {
    ScriptedPort told;
    told.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
    WithOdaGame(told.AsPorts(), [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        ASSERT_EQ(gs.nPhase, kPhaseJinji);
        const int giver = OtherHouse(gs, {});
        ASSERT_GE(giver, 0);
        int hostage = -1;
        ASSERT_TRUE(OfferHitojichi(gs, told.AsPorts(), gs.nPlayerDaimyou, giver, hostage));
        const std::string name = BushouAt(gs, hostage).name;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CHitojichiShoguuDlg&>(d);
            ui::ListCtrl& list = *dlg.List();
            ASSERT_EQ(list.GetItemCount(), 1);
            list.SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
            Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDOK); });
            ASSERT_TRUE(ui::test::ClickControl(d, CHitojichiShoguuDlg::kReturnId));
            EXPECT_EQ(list.GetItemCount(), 0);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        ASSERT_TRUE(ui::test::ClickControl(m.Panel(), kCommandIdTbl[3]));
        // Left play: no house, still recorded as a hostage until the month's tidying.
        ASSERT_LT(hostage, BushouCount(gs));
        EXPECT_EQ(BushouAt(gs, hostage).name, name);
        EXPECT_EQ(BushouAt(gs, hostage).daimyou, CBushou::kDaimyouRounin);
        ExpectSound(gs, "the hostage sent home");
        const std::string path = SaveAndReadBack(m, "returned.rsd");
        ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId));
        LoadInWindow(m, path);
    });
}

// The player's house gives its master a hostage, then declares independence: the hostage is put
// to death, and the saves taken through the window after it load with every invariant.
TEST_F(LeavingPlaySavesTest, AHostageExecutedAtThePlayersIndependenceLeavesLoadableSaves) {
    ScriptedPort told;
    told.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
    WithOdaGame(SilentPort::Instance().AsPorts(), [&](CMainGameDlg& m) {
        GameState& gs = m.State();
        const int oda = gs.nPlayerDaimyou;
        while (gs.nPhase != kPhaseGaikou) {
            ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        m.SetGamePorts(told.AsPorts());
        const int master = OtherHouse(gs, {});
        ASSERT_GE(master, 0);
        // The Oda house is the master's subordinate and has given it a hostage.
        DaimyouAt(gs, master).SetRelationLo(oda, CDaimyou::kRelNothing);
        DaimyouAt(gs, oda).SetRelationLo(master, CDaimyou::kRelNothing);
        DaimyouAt(gs, master).SetRelationHi(oda, CDaimyou::kNoCountdown);
        DaimyouAt(gs, oda).SetRelationHi(master, CDaimyou::kNoCountdown);
        ASSERT_TRUE(MakeJuuzoku(gs, told.AsPorts(), master, oda, true));
        told.PushChoice(0);
        int hostage = -1;
        ASSERT_TRUE(OfferHitojichi(gs, told.AsPorts(), master, oda, hostage));
        ExpectSound(gs, "the hostage given");

        told.PushYes();
        ASSERT_TRUE(ui::test::ClickControl(m.Panel(), kCommandIdTbl[kGaikouDokuritsu]));
        EXPECT_EQ(DaimyouAt(gs, oda).bond, CDaimyou::kBondDokuritsu);
        const std::string executed = BushouAt(gs, hostage).name + " は処刑されました";
        bool told_executed = false;
        for (const PortCall& c : told.CallsOf(PortCallKind::Inform))
            told_executed = told_executed || c.text.find(executed) != std::string::npos;
        EXPECT_TRUE(told_executed);
        EXPECT_EQ(BushouAt(gs, hostage).daimyou, CBushou::kDaimyouRounin);
        ExpectSound(gs, "the hostage executed");
        LoadInWindow(m, SaveAndReadBack(m, "executed.rsd"));
    });
}

}  // namespace
}  // namespace rymd::gui_test
