// A month played in the main window on the water fixture (its sea lanes kept): the strategy
// phase's two moves (by land, by water with warships) and the sortie phase's sortie by water
// through the command buttons, the orders and fleets the state dump shows, the moves carried out
// at the end of the strategy phase and the army sent out by water at the end of the sortie phase.
#include <nlohmann/json.hpp>

#include "game/military/navy_sortie.h"
#include "game/save/saved_game.h"
#include "game/save/state_dump.h"
#include "game/shell/dialogs/military/bushou_move_dlg.h"
#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/shell/dialogs/military/suigun_shutsujin_dlg.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/new_game.h"
#include "gui/gui_test_util.h"
#include "gui/main_window_fixture.h"
#include "gui/water_game_fixture.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;
using Json = nlohmann::ordered_json;

class WaterPlayTest : public MainWindowTest {
protected:
    // The main window with the water fixture started for the Mouri house, its sea lanes kept.
    void WithWaterGame(const std::function<void(CMainGameDlg&)>& body) {
        CMainGameDlg dlg(app_);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& m = dynamic_cast<CMainGameDlg&>(d);
            NewGameRequest request;
            request.scenarioPath = WaterFixturePath();
            request.programFolder = std::string(RYMD_SOURCE_DIR) + "/data/";
            request.house = "D_MOURI";
            m.SetGamePorts(SilentPort::Instance().AsPorts());
            ASSERT_EQ(m.StartScenarioGame(request), 0);
            RestoreWaterFixtureRoutes(m.State());
            ui::test::ProcessEvents();
            body(m);
            d.EndDialog(ui::IDCANCEL);
        });
        dlg.DoModal();
    }
    Json Dump(const GameState& gs) const { return Json::parse(DumpStateJson(gs, map_, StateHash(gs))); }
};

void WaterPlayClick(CShutsujinDlg& d, int shiro) {
    d.Map().m_nClickShiro = shiro;
    d.Map().m_nClickKuni = -1;
    ui::Wnd::SendCommand(&d, CShutsujinDlg::kMapId, 0, &d.Map());
}

void WaterPlaySelect(MbWnd::CCellCtrl& grid, int general) {
    for (int i = 0; i < grid.GetLineSize(); ++i)
        if (grid.GetLineData(i) == general) grid.MultiLineSelect(i, true);
}

const Json& WaterPlayGeneral(const Json& dump, int g) {
    return dump["generals"][static_cast<std::size_t>(g)];
}

TEST_F(WaterPlayTest, MovesByLandAndWaterThenASortieByWater) {
    WithWaterGame([&](CMainGameDlg& m) {
        GameState& gs = m.State();
        CCommandPanelDlg& panel = m.Panel();
        auto castle = [&](const char* id) { return gs.NameIndex.FindShiro(id); };
        auto general = [&](const char* id) { return FindBushouIndexById(gs, gs.NameIndex.FindBushou(id)); };
        const int yoshida = castle("S_YOSHIDA"), kusatsu = castle("S_KUSATSU"), noumi = castle("S_NOUMI"),
                  sakurao = castle("S_SAKURAO");
        const int motoharu = general("B_MOTOHARU"), takakage = general("B_TAKAKAGE"),
                  takamoto = general("B_TAKAMOTO");
        for (int phase = 1; phase < kPhaseSenryaku; ++phase) {
            ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
            ui::test::ProcessEvents();
        }
        ASSERT_EQ(gs.nPhase, kPhaseSenryaku);
        // The strategy phase has no greyed command left.
        for (int i = 0; i < kCommandCount; ++i)
            if (CommandCaption(kPhaseSenryaku, i)[0] != '\0') {
                EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << i;
            }
        m.MapViews().curKuni = ShiroMapAt(gs, kusatsu).kuni;

        // By land: Motoharu from Yoshida to Kusatsu.
        Script().OnDialog([&](ui::Dialog& d) {
            auto& move = dynamic_cast<CBushouMoveDlg&>(d);
            EXPECT_FALSE(move.m_bSuiro);
            WaterPlayClick(move, yoshida);
            Script().OnDialog([&](ui::Dialog& s) {
                auto& select = dynamic_cast<CBushouSelectDlg&>(s);
                WaterPlaySelect(select.Grid(), motoharu);
                ASSERT_TRUE(ui::test::ClickControl(select, ui::IDOK));
            });
            WaterPlayClick(move, kusatsu);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[0]));
        // By water: Takakage and 15 warships from Kusatsu to the island of Noumi.
        Script().OnDialog([&](ui::Dialog& d) {
            auto& move = dynamic_cast<CBushouMoveDlg&>(d);
            EXPECT_TRUE(move.m_bSuiro);
            WaterPlayClick(move, kusatsu);
            Script().OnDialog([&](ui::Dialog& s) {
                auto& navy = dynamic_cast<CSuigunShutsujinDlg&>(s);
                WaterPlaySelect(navy.Grid(), takakage);
                ui::Wnd* total = navy.GetDlgItem(CSuigunShutsujinDlg::kTotalShipsId);
                total->SetWindowText("15");
                ui::Wnd::SendCommand(&navy, CSuigunShutsujinDlg::kTotalShipsId, ui::EN_CHANGE, total);
                ASSERT_TRUE(ui::test::ClickControl(navy, ui::IDOK));
            });
            WaterPlayClick(move, noumi);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[1]));

        // The dump shows the pending moves and the fleet ordered to Noumi.
        Json dump = Dump(gs);
        EXPECT_EQ(WaterPlayGeneral(dump, motoharu)["move_to"], kusatsu);
        EXPECT_EQ(WaterPlayGeneral(dump, motoharu)["ordered"], 1);
        EXPECT_EQ(WaterPlayGeneral(dump, takakage)["move_to"], noumi);
        int bound = 0;
        for (const Json& f : dump["fleets"])
            if (f["castle"] == kusatsu && f["destination"] == noumi) bound += f["ships"].get<int>();
        EXPECT_EQ(bound, 15);

        // The end of the phase carries the moves out.
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        ASSERT_EQ(gs.nPhase, kPhaseShutsujin);
        EXPECT_EQ(BushouAt(gs, motoharu).shiro, kusatsu);
        EXPECT_EQ(BushouAt(gs, takakage).shiro, noumi);
        EXPECT_EQ(gs.GunsenTable.GetGunsenAtShiro(noumi), 25);
        EXPECT_EQ(gs.GunsenTable.GetGunsenAtShiro(kusatsu), 25);
        for (int i = 0; i < kCommandCount; ++i)
            if (CommandCaption(kPhaseShutsujin, i)[0] != '\0') {
                EXPECT_TRUE(panel.CommandButton(i).IsWindowEnabled()) << i;
            }

        // By water: Takamoto and Motoharu sail from Kusatsu against Sakurao with the ships they need.
        Script().OnDialog([&](ui::Dialog& d) {
            auto& sortie = dynamic_cast<CShutsujinDlg&>(d);
            EXPECT_TRUE(sortie.m_bSuiro);
            WaterPlayClick(sortie, kusatsu);
            Script().OnDialog([&](ui::Dialog& s) {
                auto& navy = dynamic_cast<CSuigunShutsujinDlg&>(s);
                WaterPlaySelect(navy.Grid(), takamoto);
                WaterPlaySelect(navy.Grid(), motoharu);
                ASSERT_TRUE(ui::test::ClickControl(navy, CSuigunShutsujinDlg::kMatchId));
                ASSERT_TRUE(ui::test::ClickControl(navy, ui::IDOK));
            });
            WaterPlayClick(sortie, sakurao);
        });
        ASSERT_TRUE(ui::test::ClickControl(panel, kCommandIdTbl[1]));
        dump = Dump(gs);
        for (int g : {takamoto, motoharu}) {
            EXPECT_EQ(WaterPlayGeneral(dump, g)["sortie_to"], sakurao);
            EXPECT_EQ(WaterPlayGeneral(dump, g)["by_water"], 1);
        }
        bound = 0;
        for (const Json& f : dump["fleets"])
            if (f["castle"] == kusatsu && f["destination"] == sakurao) bound += f["ships"].get<int>();
        EXPECT_EQ(bound, 3) << "1000 + 2000 soldiers";

        // The war phase sends the army out by water: it besieges Sakurao or has taken it, or it
        // has come back beaten.
        ASSERT_TRUE(ui::test::ClickControl(panel, CCommandPanelDlg::kCommandEndId));
        ui::test::ProcessEvents();
        EXPECT_NE(gs.nPhase, kPhaseShutsujin);
        dump = Dump(gs);
        const Json& target = dump["castles"][static_cast<std::size_t>(sakurao)];
        const int at = WaterPlayGeneral(dump, takamoto)["castle"].get<int>();
        EXPECT_TRUE(target["owner"] == gs.nPlayerDaimyou || at == sakurao || at == kusatsu)
            << dump["castles"].dump() << " " << WaterPlayGeneral(dump, takamoto).dump();
    });
}

}  // namespace
}  // namespace rymd::gui_test
