// The navy-sortie dialog (246) in its three modes, the general-transfer dialog (147) by land and
// by water and the sortie dialog (149) by water, played on the water fixture (waterway castles,
// sea lanes and fleets): texts, limits, the owner rows with their edits and spins, the orders and
// fleets written after OK, pixels at stated points and gallery pictures. Then the bundled game,
// which has no sea routes: its by-water commands end in their refusals and change nothing.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/military/battle_runners.h"
#include "game/military/navy_sortie.h"
#include "game/military/siege_session.h"
#include "game/military/sortie.h"
#include "game/ports/ports.h"
#include "game/save/saved_game.h"
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"

#include <algorithm>
#include <functional>

#include "game/shell/dialogs/military/bushou_move_dlg.h"
#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/koujousen_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/shell/dialogs/military/suigun_shutsujin_dlg.h"
#include "game/shell/maps/kuni_disp_switch_dlg.h"
#include "gui/bundled_game_fixture.h"
#include "gui/gui_test_util.h"
#include "gui/water_game_fixture.h"
#include "mbwnd/cell_pane.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;
using Suigun = CSuigunShutsujinDlg;

std::string SuigunText(ui::Wnd& dlg, int id) {
    ui::Wnd* w = dlg.GetDlgItem(id);
    return w ? w->GetWindowText() : std::string("(missing)");
}

// The count typed into an edit, as the player's typing reports it.
void SuigunType(ui::Wnd& dlg, int id, const std::string& text) {
    ui::Wnd* edit = dlg.GetDlgItem(id);
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText(text);
    ui::Wnd::SendCommand(&dlg, id, ui::EN_CHANGE, edit);
}

// A click on the row of a grid (its first cell).
void SuigunClickRow(MbWnd::CCellCtrl& grid, int line) {
    MbWnd::CCellPane& p = grid.RightPane();
    ui::test::MouseDown(p, p.CellRect(line, 0).CenterPoint());
    ui::test::MouseUp(p, p.CellRect(line, 0).CenterPoint());
}

// The next dialog is a message box: its text is kept and it is closed.
void SuigunExpectMessage(ui::test::Script& script, std::string* text) {
    script.OnDialog([text](ui::Dialog& box) {
        *text = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
        box.EndDialog(ui::IDOK);
    });
}

std::vector<int> SuigunRows(MbWnd::CCellCtrl& grid) {
    std::vector<int> out;
    for (int i = 0; i < grid.GetLineSize(); ++i)
        out.push_back(grid.GetLineData(i));
    return out;
}

void SuigunGallery(ui::Wnd& w, const std::string& name) {
    ui::test::ProcessEvents();
    EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name)));
    EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name + "@2x"), 2.0));
}

class SuigunWaterTest : public WaterGameTest {
protected:
    void SetUp() override {
        WaterGameTest::SetUp();
        ASSERT_TRUE(host_.Open(1000, 700));
        kusatsu_ = Castle("S_KUSATSU");
        noumi_ = Castle("S_NOUMI");
        sakurao_ = Castle("S_SAKURAO");
        yoshida_ = Castle("S_YOSHIDA");
        mouri_ = House("D_MOURI");
        ouchi_ = House("D_OUCHI");
    }
    // Opens the navy-sortie dialog with the input; the step sees it open.
    std::intptr_t RunSuigun(const NavySortieInput& input, const std::function<void(Suigun&)>& step) {
        Suigun dlg(*gs_, &host_);
        dlg.m_Input = input;
        Script().OnDialog([&](ui::Dialog& d) { step(dynamic_cast<Suigun&>(d)); });
        const std::intptr_t r = dlg.DoModal();
        units_ = dlg.Units();
        orders_ = dlg.Orders();
        return r;
    }
    GameState& gs = *gs_;
    int kusatsu_ = -1, noumi_ = -1, sakurao_ = -1, yoshida_ = -1, mouri_ = -1, ouchi_ = -1;
    std::vector<int> units_;
    std::vector<NavyShipOrder> orders_;
};

TEST_F(SuigunWaterTest, TheFixtureKeepsItsWaterwaysSeaLanesAndFleets) {
    for (int c : {kusatsu_, noumi_, sakurao_})
        EXPECT_TRUE(ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagWaterway) << c;
    EXPECT_FALSE(ShiroMapAt(gs, yoshida_).flags & ShiroMapRecord::kFlagWaterway);
    EXPECT_EQ(SortieLinkKind(gs, kusatsu_, sakurao_, true), 3);
    EXPECT_EQ(gs.GunsenTable.GetGunsenAtShiro(kusatsu_), 40);
    EXPECT_EQ(gs.GunsenTable.GetGunsenAtShiro(noumi_), 10);
    EXPECT_EQ(gs.GunsenTable.GetGunsenAtShiro(sakurao_), 30);
    EXPECT_EQ(gs.nPlayerDaimyou, mouri_);
}

TEST_F(SuigunWaterTest, SortieModeRowsEditsSpinsAndTheShipsTheTroopsNeed) {
    const int takamoto = General("B_TAKAMOTO"), takakage = General("B_TAKAKAGE");
    const std::string before = StateHash(gs);
    const std::intptr_t r =
        RunSuigun({.sortie = true, .origin = kusatsu_, .destination = sakurao_}, [&](Suigun& d) {
            EXPECT_EQ(d.GetWindowText(), "出陣武将選択");
            EXPECT_EQ(SuigunText(d, Suigun::kRouteId), "草津城 から 桜尾城 へ出陣します");
            EXPECT_EQ(SuigunText(d, Suigun::kPromptId),
                      "出陣武将を選択してください （マウスドラッグでまとめて選択できます）");
            EXPECT_EQ(SuigunText(d, Suigun::kUnitLimitId), "出陣武将数上限 = 20");
            EXPECT_EQ(SuigunText(d, Suigun::kShipLimitId), "出陣軍船数上限 = 200");
            EXPECT_EQ(SuigunRows(d.Grid()), (std::vector<int>{takamoto, takakage}));
            EXPECT_EQ(d.Grid().GetCellText(0, 2), "800");  // foot x soldier unit
            ASSERT_EQ(d.OwnerGrid().GetLineSize(), 1);
            EXPECT_EQ(d.OwnerGrid().GetCellText(0, 0), "毛利家");
            EXPECT_EQ(d.OwnerGrid().GetCellText(0, 1), "40");
            EXPECT_EQ(d.OwnerGrid().GetCellText(0, 2), "40");
            EXPECT_EQ(d.OwnerGrid().GetCellText(0, 3), "0");
            for (int id : {Suigun::kRowLabelId, Suigun::kHouseNameId, Suigun::kRowShipsId})
                EXPECT_FALSE(d.GetDlgItem(id)->IsWindowVisible()) << id;

            // OK with nobody chosen is refused; the dialog stays.
            std::string told;
            SuigunExpectMessage(Script(), &told);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            EXPECT_EQ(told, "出陣武将が選択されていません");

            // Both generals: 1000 + 1000 soldiers need 2 ships.
            d.Grid().MultiLineSelect(0, true);
            d.Grid().MultiLineSelect(1, true);
            d.OnSelChange();
            EXPECT_EQ(SuigunText(d, Suigun::kSoldiersId), "2000");
            EXPECT_EQ(SuigunText(d, Suigun::kRequiredId), "2");
            SuigunExpectMessage(Script(), &told);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            EXPECT_EQ(told, "兵数に対して軍船が不足しています");

            // The house row: its edit and spin appear; a count above its ships is kept at them.
            SuigunClickRow(d.OwnerGrid(), 0);
            EXPECT_EQ(d.SelectedRow(), 0);
            EXPECT_TRUE(d.GetDlgItem(Suigun::kRowShipsId)->IsWindowVisible());
            EXPECT_EQ(SuigunText(d, Suigun::kHouseNameId), "毛利家");
            SuigunType(d, Suigun::kRowShipsId, "55");
            EXPECT_EQ(SuigunText(d, Suigun::kRowShipsId), "40");
            EXPECT_EQ(SuigunText(d, Suigun::kTotalShipsId), "40");
            EXPECT_EQ(d.OwnerGrid().GetCellText(0, 3), "40");
            SuigunType(d, Suigun::kTotalShipsId, "7");
            EXPECT_EQ(SuigunText(d, Suigun::kRowShipsId), "7");
            ASSERT_TRUE(ui::test::ClickControl(d, Suigun::kMatchId));
            EXPECT_EQ(SuigunText(d, Suigun::kTotalShipsId), "2");
            EXPECT_EQ(d.OwnerGrid().GetCellText(0, 3), "2");
            int lower = 0, upper = 0;
            dynamic_cast<ui::SpinButton*>(d.GetDlgItem(Suigun::kTotalSpinId))->GetRange(lower, upper);
            EXPECT_EQ(upper, 40);

            // Pixels: the edit of the chosen row is white inside, the dialog's face around it.
            ui::test::ProcessEvents();
            const QImage shot = ui::test::Grab(d);
            ui::Rect edit = d.GetDlgItem(Suigun::kRowShipsId)->GetWindowRect();
            d.ScreenToClient(edit);
            EXPECT_EQ(ui::test::PixelAt(shot, edit.left + 4, edit.top + edit.Height() / 2),
                      ui::RGB(255, 255, 255));
            EXPECT_EQ(ui::test::PixelAt(shot, edit.left - 3, edit.top + edit.Height() / 2),
                      ui::GetSysColor(ui::COLOR_BTNFACE));
            SuigunGallery(d, "suigun_shutsujin_sortie");
            // A click below the rows hides the row's controls again; the rows keep their ships.
            {
                MbWnd::CCellPane& pane = d.OwnerGrid().RightPane();
                const ui::Point below(pane.CellRect(0, 0).CenterPoint().x, pane.GetClientRect().bottom - 4);
                ui::test::MouseDown(pane, below);
                ui::test::MouseUp(pane, below);
            }
            EXPECT_EQ(d.SelectedRow(), -1);
            EXPECT_FALSE(d.GetDlgItem(Suigun::kRowShipsId)->IsWindowVisible());
            EXPECT_EQ(SuigunText(d, Suigun::kRowShipsId), "0");
            EXPECT_EQ(SuigunText(d, Suigun::kTotalShipsId), "2");
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
    EXPECT_EQ(r, ui::IDOK);
    EXPECT_EQ(units_, (std::vector<int>{takamoto, takakage}));
    ASSERT_EQ(orders_.size(), 1u);
    EXPECT_EQ(orders_[0].daimyou, mouri_);
    EXPECT_EQ(orders_[0].ships, 2);
    EXPECT_EQ(StateHash(gs), before) << "the dialog only chooses";
}

TEST_F(SuigunWaterTest, MoveModeLetsShipsSailAlone) {
    const std::intptr_t r =
        RunSuigun({.sortie = false, .origin = kusatsu_, .destination = noumi_}, [&](Suigun& d) {
            EXPECT_EQ(d.GetWindowText(), "移動武将選択");
            EXPECT_EQ(SuigunText(d, Suigun::kRouteId), "草津城 から 能美城 へ移動します");
            EXPECT_EQ(SuigunText(d, Suigun::kUnitLimitId), "移動武将数上限 = 19");
            EXPECT_EQ(SuigunText(d, Suigun::kShipLimitId), "移動軍船数上限 = 190");
            ASSERT_TRUE(ui::test::ClickControl(d, Suigun::kMaxId));
            EXPECT_EQ(SuigunText(d, Suigun::kTotalShipsId), "40");
            SuigunType(d, Suigun::kTotalShipsId, "12");
            SuigunGallery(d, "suigun_shutsujin_move");
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
    EXPECT_EQ(r, ui::IDOK);
    EXPECT_TRUE(units_.empty());
    ASSERT_EQ(orders_.size(), 1u);
    EXPECT_EQ(orders_[0].ships, 12);
}

// Ouchi besieges Kusatsu from the sea: a besieger and a blockade fleet of 25.
struct SuigunSiege {
    static int Set(GameState& gs, int castle, int house, int general) {
        CShiro& s = ShiroAt(gs, castle);
        CBushou& b = BushouAt(gs, general);
        CShiro& home = ShiroAt(gs, b.shiro);
        home.nBushou = 0;
        for (int g : BushouIndexes(gs))
            if (BushouAt(gs, g).shiro == b.shiro && g != general && home.nBushou < CShiro::kMaxBushou)
                home.bushou[static_cast<std::size_t>(home.nBushou++)] = g;
        b.shiro = static_cast<std::int16_t>(castle);
        b.flags |= CBushou::kFlagBesieging | CBushou::kFlagOrdered;
        s.besieger[static_cast<std::size_t>(s.nBesieger++)] = general;
        s.besiegerDaimyou = static_cast<std::int16_t>(house);
        s.blockadeDaimyou = static_cast<std::int16_t>(house);
        gs.GunsenTable.AddGunsen(house, castle, 25);
        GunsenRecord& f = gs.GunsenTable.records[gs.GunsenTable.count - 1];
        f.flags = GunsenRecord::kFlagBlockade;
        return general;
    }
};

TEST_F(SuigunWaterTest, NavalBattleModeTakesEveryShipAndFixesTheCounts) {
    SuigunSiege::Set(gs, kusatsu_, ouchi_, General("B_TAKAKANE"));
    const std::intptr_t r = RunSuigun(
        {.includeAll = true, .sortie = true, .garrisonRow = true, .origin = kusatsu_, .destination = -1},
        [&](Suigun& d) {
            EXPECT_EQ(d.GetWindowText(), "水軍出陣");
            EXPECT_EQ(SuigunText(d, Suigun::kRouteId), "草津城 での海戦応戦武将を選択してください");
            EXPECT_EQ(SuigunText(d, Suigun::kUnitLimitId), "");
            EXPECT_EQ(SuigunText(d, Suigun::kShipLimitId), "出陣軍船数上限 = 200");
            EXPECT_EQ(SuigunText(d, Suigun::kTotalShipsId), "40");
            for (int id : {Suigun::kTotalShipsId, Suigun::kRowShipsId, Suigun::kMatchId, Suigun::kMaxId})
                EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
            const int last = d.Grid().GetLineSize() - 1;
            ASSERT_GE(last, 0);
            EXPECT_EQ(d.Grid().GetCellText(last, 0), "草津城守備兵");
            EXPECT_EQ(d.Grid().GetLineData(last), kShiroGarrisonItem + kusatsu_);
            SuigunGallery(d, "suigun_shutsujin_kaisen");
            // Nobody chosen to meet the battle: OK is refused and the dialog stays.
            std::string told;
            SuigunExpectMessage(Script(), &told);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            EXPECT_EQ(told, "出陣武将が選択されていません");
            EXPECT_TRUE(d.IsWindowVisible());
            d.EndDialog(ui::IDCANCEL);
        });
    EXPECT_EQ(r, ui::IDCANCEL);
    // From the besieging side the blockade fleets sail, and cancelling withdraws them.
    gs.nPlayerDaimyou = ouchi_;
    RunSuigun({.includeAll = true, .origin = kusatsu_, .destination = -1}, [&](Suigun& d) {
        EXPECT_EQ(
            SuigunText(d, Suigun::kRouteId),
            "草津城 での海戦応戦武将を選択してください（キャンセルすると海上封鎖中の軍船は撤退します）");
        EXPECT_EQ(SuigunRows(d.Grid()), (std::vector<int>{General("B_TAKAKANE")}));
        EXPECT_EQ(d.OwnerGrid().GetCellText(0, 0), "大内家");
        EXPECT_EQ(SuigunText(d, Suigun::kTotalShipsId), "25");
        d.EndDialog(ui::IDCANCEL);
    });
}

// The naval-battle choice speaks the scenario's general (将) and warship (舟) words in both
// prompts; the castle's name stays as written.
TEST_F(SuigunWaterTest, NavalBattlePromptsSpeakTheScenariosWords) {
    SuigunSiege::Set(gs, kusatsu_, ouchi_, General("B_TAKAKANE"));
    gs.ScenarioWords[static_cast<std::size_t>(FindWordKeyword("BUSHOU"))] = "将";
    gs.ScenarioWords[kWordGunsen] = "舟";
    gs.nPlayerDaimyou = ouchi_;
    RunSuigun({.includeAll = true, .origin = kusatsu_, .destination = -1}, [&](Suigun& d) {
        EXPECT_EQ(SuigunText(d, Suigun::kRouteId),
                  "草津城 での海戦応戦将を選択してください（キャンセルすると海上封鎖中の舟は撤退します）");
        EXPECT_EQ(SuigunText(d, Suigun::kPromptId),
                  "出陣将を選択してください （マウスドラッグでまとめて選択できます）");
        d.EndDialog(ui::IDCANCEL);
    });
}

// A click on the castle as the map view reports it (no castle: -1).
void SuigunClickShiro(CShutsujinDlg& d, int shiro) {
    d.Map().m_nClickShiro = shiro;
    d.Map().m_nClickKuni = -1;
    ui::Wnd::SendCommand(&d, CShutsujinDlg::kMapId, 0, &d.Map());
}

// The pixels of the castle's mark on the view's back buffer.
std::vector<ui::COLORREF> SuigunMarkPixels(CShutsujinDlg& d, int shiro) {
    std::vector<ui::COLORREF> out;
    const ui::Rect r = d.Map().m_ShiroRect[static_cast<std::size_t>(shiro)];
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            out.push_back(d.Map().m_BackBmp.GetPixelColor(x, y));
    return out;
}

class BushouMoveWaterTest : public SuigunWaterTest {
protected:
    // Runs the dialog showing Aki; the step sees it open.
    std::intptr_t RunMove(bool water, const std::function<void(CBushouMoveDlg&)>& step) {
        CBushouMoveDlg dlg(gs, &map_, &host_);
        dlg.m_bSuiro = water;
        dlg.m_nKuni = ShiroMapAt(gs, kusatsu_).kuni;
        Script().OnDialog([&](ui::Dialog& d) { step(dynamic_cast<CBushouMoveDlg&>(d)); });
        return dlg.DoModal();
    }
    bool Ordered(int g) const { return (BushouAt(gs, g).flags & CBushou::kFlagOrdered) != 0; }
};

// The transfer dialog's board writes in the proportional Gothic (the sortie dialog's in the fixed
// one), and choosing the shown province in the switch leaves its view as it is, where the sortie
// dialog lays it out again.
TEST_F(BushouMoveWaterTest, TheBoardsFaceAndTheSwitchToTheShownProvince) {
    // A pixel painted into the view's picture survives only when the view is not laid out again.
    auto switchToShown = [&](CShutsujinDlg& d) {
        const ui::COLORREF mark = RGB(1, 2, 3);
        d.Map().m_BackBmp.SetPixelColor(5, 5, mark);
        Script().OnDialog([&](ui::Dialog& s) {
            dynamic_cast<CKuniDispSwitchDlg&>(s).m_nKuni = d.m_nKuni;
            s.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CShutsujinDlg::kKuniSwitchId));
        return d.Map().m_BackBmp.GetPixelColor(5, 5) == mark;
    };
    RunMove(false, [&](CBushouMoveDlg& d) {
        EXPECT_EQ(d.BoardFont().GetLogFont().faceName, "ＭＳ Ｐゴシック");
        EXPECT_TRUE(switchToShown(d));
        d.EndDialog(ui::IDCANCEL);
    });
    CShutsujinDlg sortie(gs, &map_, &host_);
    sortie.m_nKuni = ShiroMapAt(gs, kusatsu_).kuni;
    Script().OnDialog([&](ui::Dialog& dd) {
        auto& d = dynamic_cast<CShutsujinDlg&>(dd);
        EXPECT_EQ(d.BoardFont().GetLogFont().faceName, "ＭＳ ゴシック");
        EXPECT_FALSE(switchToShown(d));
        d.EndDialog(ui::IDCANCEL);
    });
    sortie.DoModal();
}

TEST_F(BushouMoveWaterTest, ByLandTheRouteCostsTheRefusalsAndThePendingMove) {
    const int motoharu = General("B_MOTOHARU");
    const std::intptr_t r = RunMove(false, [&](CBushouMoveDlg& d) {
        EXPECT_EQ(d.GetWindowText(), "武将移動");
        EXPECT_EQ(d.BoardText(), "移動元の城を指定してください");
        EXPECT_FALSE(d.Map().m_bShowDistance);
        const std::vector<ui::COLORREF> noumiBefore = SuigunMarkPixels(d, noumi_);
        const std::vector<ui::COLORREF> kusatsuBefore = SuigunMarkPixels(d, kusatsu_);
        ASSERT_FALSE(noumiBefore.empty());

        SuigunClickShiro(d, yoshida_);
        ASSERT_TRUE(d.OriginChosen());
        EXPECT_FALSE(d.OriginIsSiege());
        EXPECT_EQ(d.BoardText(), "移動先の城を指定してください");
        EXPECT_EQ(d.Map().m_nBlinkShiro, yoshida_);
        // The route costs by land: a broad road costs 20; the island has no road.
        EXPECT_TRUE(d.Map().m_bShowDistance);
        EXPECT_EQ(d.Map().m_Distance[static_cast<std::size_t>(kusatsu_)], 20);
        EXPECT_EQ(d.Map().m_Distance[static_cast<std::size_t>(noumi_)], 32767);
        // The island is marked out of reach; the castle within reach is drawn as before.
        EXPECT_NE(SuigunMarkPixels(d, noumi_), noumiBefore);
        EXPECT_EQ(SuigunMarkPixels(d, kusatsu_), kusatsuBefore);
        SuigunGallery(d, "bushou_move");

        std::string told;
        SuigunExpectMessage(Script(), &told);
        SuigunClickShiro(d, noumi_);
        EXPECT_EQ(told, "距離が遠すぎるか、経路が陸路で接続されていません");
        SuigunExpectMessage(Script(), &told);
        SuigunClickShiro(d, sakurao_);
        EXPECT_EQ(told, "当家または臣従大名家の城以外には移動できません");
        EXPECT_TRUE(d.OriginChosen());

        // Kusatsu: the general selection in move mode; Motoharu goes.
        Script().OnDialog([&](ui::Dialog& s) {
            auto& select = dynamic_cast<CBushouSelectDlg&>(s);
            EXPECT_EQ(select.GetWindowText(), "移動武将選択");
            for (int i = 0; i < select.Grid().GetLineSize(); ++i)
                if (select.Grid().GetLineData(i) == motoharu) select.Grid().MultiLineSelect(i, true);
            ASSERT_TRUE(ui::test::ClickControl(select, ui::IDOK));
        });
        SuigunClickShiro(d, kusatsu_);
    });
    EXPECT_EQ(r, ui::IDOK);
    EXPECT_EQ(BushouAt(gs, motoharu).moveShiro, kusatsu_);
    EXPECT_TRUE(Ordered(motoharu));
    EXPECT_EQ(BushouAt(gs, motoharu).shiro, yoshida_) << "he goes when the moves are carried out";
    EXPECT_FALSE(Ordered(General("B_MOTONARI")));
}

TEST_F(BushouMoveWaterTest, ByWaterTheGeneralsAndTheShipsSail) {
    const int takakage = General("B_TAKAKAGE");
    const std::intptr_t r = RunMove(true, [&](CBushouMoveDlg& d) {
        std::string told;
        SuigunExpectMessage(Script(), &told);
        SuigunClickShiro(d, yoshida_);
        EXPECT_EQ(told, "水路がありません");
        EXPECT_FALSE(d.OriginChosen());
        EXPECT_FALSE(d.Map().m_bShowDistance);

        SuigunClickShiro(d, kusatsu_);
        ASSERT_TRUE(d.OriginChosen());
        EXPECT_EQ(d.Map().m_Distance[static_cast<std::size_t>(noumi_)], 10);  // one sea lane
        EXPECT_EQ(d.Map().m_Distance[static_cast<std::size_t>(yoshida_)], 32767);
        SuigunGallery(d, "bushou_move_water");
        Script().OnDialog([&](ui::Dialog& s) {
            auto& navy = dynamic_cast<Suigun&>(s);
            EXPECT_EQ(navy.GetWindowText(), "移動武将選択");
            for (int i = 0; i < navy.Grid().GetLineSize(); ++i)
                if (navy.Grid().GetLineData(i) == takakage) navy.Grid().MultiLineSelect(i, true);
            SuigunType(navy, Suigun::kTotalShipsId, "15");
            ASSERT_TRUE(ui::test::ClickControl(navy, ui::IDOK));
        });
        SuigunClickShiro(d, noumi_);
    });
    EXPECT_EQ(r, ui::IDOK);
    EXPECT_EQ(BushouAt(gs, takakage).moveShiro, noumi_);
    EXPECT_TRUE(Ordered(takakage));
    EXPECT_EQ(gs.GunsenTable.GetGunsenMovingBetween(kusatsu_, noumi_), 15);
    EXPECT_EQ(gs.GunsenTable.GetFreeGunsenAtShiro(kusatsu_), 25);
}

TEST_F(BushouMoveWaterTest, TheSortieByWaterOrdersGeneralsAndWarships) {
    const int takamoto = General("B_TAKAMOTO"), takakage = General("B_TAKAKAGE");
    CShutsujinDlg dlg(gs, &map_, &host_);
    dlg.m_bSuiro = true;
    dlg.m_nKuni = ShiroMapAt(gs, kusatsu_).kuni;
    Script().OnDialog([&](ui::Dialog& dd) {
        auto& d = dynamic_cast<CShutsujinDlg&>(dd);
        EXPECT_EQ(d.GetWindowText(), "出陣 （水路）");
        SuigunClickShiro(d, kusatsu_);
        ASSERT_TRUE(d.OriginChosen());
        SuigunGallery(d, "shutsujin_water");
        std::string told;
        SuigunExpectMessage(Script(), &told);
        SuigunClickShiro(d, yoshida_);
        EXPECT_EQ(told, "水路で接続されていません");
        Script().OnDialog([&](ui::Dialog& s) {
            auto& navy = dynamic_cast<Suigun&>(s);
            EXPECT_EQ(navy.GetWindowText(), "出陣武将選択");
            navy.Grid().MultiLineSelect(0, true);
            navy.Grid().MultiLineSelect(1, true);
            ASSERT_TRUE(ui::test::ClickControl(navy, Suigun::kMatchId));
            ASSERT_TRUE(ui::test::ClickControl(navy, ui::IDOK));
        });
        SuigunClickShiro(d, sakurao_);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    for (int g : {takamoto, takakage}) {
        EXPECT_EQ(BushouAt(gs, g).sortieShiro, sakurao_);
        EXPECT_EQ(BushouAt(gs, g).flags & (CBushou::kFlagOrdered | CBushou::kFlagByWater),
                  CBushou::kFlagOrdered | CBushou::kFlagByWater);
    }
    EXPECT_EQ(gs.GunsenTable.GetGunsenMovingBetween(kusatsu_, sakurao_), 2);
}

TEST_F(BushouMoveWaterTest, TheSiegesNavalChallengeSailsWithTheCrewsThePlayerChose) {
    const int takamoto = General("B_TAKAMOTO"), takakage = General("B_TAKAKAGE");
    SuigunSiege::Set(gs, kusatsu_, ouchi_, General("B_TAKAKANE"));
    const Ports ports = SilentPort::Instance().AsPorts();
    CBattleRunner runner(gs, ports);
    KoujousenSession session(gs, ports, runner, kusatsu_, false);
    const CBushou takamotoBefore = BushouAt(gs, takamoto);
    std::vector<int> chosen;
    Script().OnDialog([&](ui::Dialog& d) {
        ASSERT_TRUE(d.GetDlgItem(CKoujousenDlg::kKaisenId)->IsWindowEnabled());
        Script().OnDialog([&](ui::Dialog& s) {
            auto& navy = dynamic_cast<Suigun&>(s);
            EXPECT_EQ(navy.GetWindowText(), "水軍出陣");
            EXPECT_EQ(SuigunText(navy, Suigun::kTotalShipsId), "40");
            for (int i = 0; i < navy.Grid().GetLineSize(); ++i)
                if (navy.Grid().GetLineData(i) == takakage) navy.Grid().MultiLineSelect(i, true);
            ASSERT_TRUE(ui::test::ClickControl(navy, ui::IDOK));
            chosen = navy.Units();
        });
        ASSERT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kKaisenId));
        EXPECT_FALSE(d.GetDlgItem(CKoujousenDlg::kKaisenId)->IsWindowEnabled());
        d.EndDialog(ui::IDOK);
    });
    RunKoujousenDlg(&host_, session, &map_);
    EXPECT_EQ(chosen, (std::vector<int>{takakage}));
    EXPECT_TRUE(session.navalFought);
    EXPECT_NE(session.navalResult, -1);
    EXPECT_FALSE(session.chooseNavy) << "the dialog's chooser ends with it";
    // The general left ashore did not fight.
    EXPECT_EQ(BushouAt(gs, takamoto).foot, takamotoBefore.foot);
    EXPECT_EQ(BushouAt(gs, takamoto).cavalry, takamotoBefore.cavalry);
}

// ---- The bundled game: no sea routes ---------------------------------------------------------------

class SuigunBundledTest : public BundledGameTest {};

TEST_F(SuigunBundledTest, TheByWaterCommandsEndInTheirRefusalsAndChangeNothing) {
    GameState& gs = *gs_;
    ASSERT_TRUE(host_.Open(1000, 700));
    const int player = gs.nPlayerDaimyou;
    const int origin = BushouAt(gs, DaimyouAt(gs, player).toushu).shiro;
    int target = -1;
    ForShiroLinks(gs, origin, [&](int to, int) {
        if (target < 0 && GetCountedDaimyouOfShiro(gs, to) != player) target = to;
    });
    ASSERT_GE(target, 0);
    const std::string before = StateHash(gs);

    CBushouMoveDlg move(gs, &map_, &host_);
    move.m_bSuiro = true;
    move.m_nKuni = ShiroMapAt(gs, origin).kuni;
    Script().OnDialog([&](ui::Dialog& dd) {
        auto& d = dynamic_cast<CBushouMoveDlg&>(dd);
        std::string told;
        SuigunExpectMessage(Script(), &told);
        SuigunClickShiro(d, origin);
        EXPECT_EQ(told, "水路がありません");
        EXPECT_FALSE(d.OriginChosen());
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(move.DoModal(), ui::IDCANCEL);

    CShutsujinDlg sortie(gs, &map_, &host_);
    sortie.m_bSuiro = true;
    sortie.m_nKuni = ShiroMapAt(gs, origin).kuni;
    Script().OnDialog([&](ui::Dialog& dd) {
        auto& d = dynamic_cast<CShutsujinDlg&>(dd);
        SuigunClickShiro(d, origin);
        ASSERT_TRUE(d.OriginChosen());
        std::string told;
        SuigunExpectMessage(Script(), &told);
        SuigunClickShiro(d, target);
        EXPECT_EQ(told, "水路で接続されていません");
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(sortie.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(StateHash(gs), before);
}

}  // namespace
}  // namespace rymd::gui_test
