// The ship dialogs: trade-ship construction (173 "交易船建造") and warship construction (255
// "軍船建造") on a small world: the ports, their room, the typed count held to it, the funds
// message, MAX for every port, what OK builds or orders; the reports of the trade ships home (187
// "交易船帰港") and the warships completed (256 "軍船建造完了") over their pictures; their looks at
// stated points and gallery pictures at 100 % and 200 %.
#include <string>
#include <vector>

#include "game/save/saved_game.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/domestic/ship_kenzou_dlgs.h"
#include "game/shell/dialogs/domestic/ship_report_dlgs.h"
#include "game/state/access.h"
#include "gui/dialogs/domestic/domestic_dlg_test.h"
#include "gui/gui_test_util.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

// Province 0 holds castles 0, 2 and 4 of house 0 (the player), all ports on a waterway. Castle 0
// has 10 trade ships (4 at sea) and builds 3 warships ordered last month; castle 2 has 2 trade
// ships and 6 warships lying there.
struct ShipDlgWorld : TestWorld {
    ShipDlgWorld() : TestWorld({.castles = 6, .houses = 2, .provinces = 2}) {
        for (int c = 0; c < 6; ++c)
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].flags =
                ShiroMapRecord::kFlagPort | ShiroMapRecord::kFlagWaterway;
        gs.ShiroMapTbl[0].name = "大湊";
        gs.ShiroMapTbl[2].name = "安濃津";
        gs.ShiroMapTbl[4].name = "桑名";
        gs.nKouekisenPrice = 2000;
        gs.nGunsenPrice = 1000;
        gs.DaimyouTbl[0].shikin = 7000;
        gs.ShiroTbl[0].kouekisen = 10;
        gs.ShiroTbl[0].voyage[0] = {4, 0, 2, 3};
        gs.ShiroTbl[0].gunsenBuilding = 0x33;
        gs.ShiroTbl[2].kouekisen = 2;
        gs.GunsenTable.AddGunsen(0, 2, 6);
    }
};

using ShipDlgTest = DomesticDlgTest;

TEST_F(ShipDlgTest, TradeShipsAreHeldToTheRoomAndTheFundsAndBuiltOnOk) {
    ShipDlgWorld w;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKouekisenKenzouDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "交易船建造");
        EXPECT_EQ(Text(d, CKouekisenKenzouDlg::kPriceId), "(建造費 １隻2000）");
        ui::ListCtrl& list = *dlg.PortList();
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemText(0, 0), "大湊");
        EXPECT_EQ(list.GetItemText(0, 1), "6 (4)");
        EXPECT_EQ(list.GetItemText(0, 2), "0");
        EXPECT_EQ(list.GetItemText(1, 2), "8");
        EXPECT_FALSE(Enabled(d, CKouekisenKenzouDlg::kShipsId));
        EXPECT_FALSE(Enabled(d, ui::IDOK));

        // The full castle: its spin runs 0..0 and a typed count stays 0.
        ClickRow(list, 0);
        int lo = -1, hi = -1;
        dynamic_cast<ui::SpinButton&>(*d.GetDlgItem(CKouekisenKenzouDlg::kSpinId)).GetRange(lo, hi);
        EXPECT_EQ(hi, 0);
        Retype(d, CKouekisenKenzouDlg::kShipsId, "5");
        EXPECT_EQ(Text(d, CKouekisenKenzouDlg::kShipsId), "0");

        // Anotsu: more than the funds pay is cut with the message.
        ClickRow(list, 1);
        ExpectShortage();
        Retype(d, CKouekisenKenzouDlg::kShipsId, "4");
        EXPECT_EQ(Text(d, CKouekisenKenzouDlg::kShipsId), "3");
        EXPECT_EQ(list.GetItemText(1, 3), "3");
        EXPECT_EQ(Text(d, CKouekisenKenzouDlg::kRemainingId), "1000");
        EXPECT_TRUE(Enabled(d, ui::IDOK));
        // Stated point: the chosen row is highlighted, the others are not.
        const QImage shot = ui::test::Grab(list);
        EXPECT_NE(ui::test::PixelAt(shot, list.ItemRect(1).right - 4, list.ItemRect(1).CenterPoint().y),
                  ui::test::PixelAt(shot, list.ItemRect(2).right - 4, list.ItemRect(2).CenterPoint().y));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_kenzou_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_kenzou_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunKouekisenKenzouCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.ShiroTbl[2].kouekisen, 5);
    EXPECT_EQ(w.gs.ShiroTbl[0].kouekisen, 10);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 1000);
}

TEST_F(ShipDlgTest, WarshipsOrderedWhereAPortTakesOrdersWithFourMonthsLeft) {
    ShipDlgWorld w;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGunsenKenzouDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "軍船建造");
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kPriceId), "(建造費 1隻1000)");
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kLimitId), "各城で一度に建造できる軍船は５隻までです");
        ui::ListCtrl& list = *dlg.PortList();
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemText(0, 2), "3 (残り3ヶ月)");
        EXPECT_EQ(list.GetItemText(1, 1), "6");
        EXPECT_EQ(list.GetItemText(1, 2), "0");
        EXPECT_FALSE(d.GetDlgItem(CGunsenKenzouDlg::kBusyId)->IsWindowVisible());

        // The port building since last month takes nothing and says so.
        ClickRow(list, 0);
        EXPECT_TRUE(d.GetDlgItem(CGunsenKenzouDlg::kBusyId)->IsWindowVisible());
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kBusyId), "建造中の港では、新規建造はできません");
        EXPECT_EQ(dlg.Chosen(), -1);
        EXPECT_FALSE(Enabled(d, CGunsenKenzouDlg::kMaxId));

        // MAX for every port with funds for seven: five to the first that takes orders, two next.
        EXPECT_TRUE(ui::test::ClickControl(d, CGunsenKenzouDlg::kMaxAllId));
        EXPECT_EQ(list.GetItemText(0, 3), "0");
        EXPECT_EQ(list.GetItemText(1, 3), "5");
        EXPECT_EQ(list.GetItemText(2, 3), "2");
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kRemainingId), "0");
        ClickRow(list, 1);
        EXPECT_FALSE(d.GetDlgItem(CGunsenKenzouDlg::kBusyId)->IsWindowVisible());
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kShipsId), "5");
        Retype(d, CGunsenKenzouDlg::kShipsId, "9");
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kShipsId), "5") << "held to five a castle";
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gunsen_kenzou_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gunsen_kenzou_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunGunsenKenzouCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.ShiroTbl[0].gunsenBuilding, 0x33);
    EXPECT_EQ(w.gs.ShiroTbl[2].gunsenBuilding, 0x45);
    EXPECT_EQ(w.gs.ShiroTbl[4].gunsenBuilding, 0x42);
    EXPECT_EQ(w.gs.ShiroTbl[4].gunsenBuilder, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 0);

    // Later in the month: Kuwana (2 ordered this month) takes at most 3 more.
    w.gs.DaimyouTbl[0].shikin = 100000;
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl& list = *dynamic_cast<CGunsenKenzouDlg&>(d).PortList();
        EXPECT_EQ(list.GetItemText(2, 2), "2 (残り4ヶ月)");
        ClickRow(list, 2);
        EXPECT_TRUE(ui::test::ClickControl(d, CGunsenKenzouDlg::kMaxId));
        EXPECT_EQ(Text(d, CGunsenKenzouDlg::kShipsId), "3");
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    EXPECT_FALSE(shell::RunGunsenKenzouCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.ShiroTbl[4].gunsenBuilding, 0x42);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 100000);
}

// A province where the house has no castle on a waterway refuses before the dialog opens, and
// nothing changes.
TEST_F(ShipDlgTest, WarshipsRefusedWhereNoCastleLiesOnAWaterway) {
    ShipDlgWorld w;
    for (int c = 0; c < 6; ++c)
        w.gs.ShiroMapTbl[static_cast<std::size_t>(c)].flags = ShiroMapRecord::kFlagPort;
    const std::string before = StateHash(w.gs);
    std::string told;
    Script().OnDialog([&](ui::Dialog& box) {
        told = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
        box.EndDialog(ui::IDOK);
    });
    EXPECT_FALSE(shell::RunGunsenKenzouCommand(w.gs, 0, nullptr));
    EXPECT_EQ(told, "水路がありません");
    EXPECT_EQ(StateHash(w.gs), before);
}

TEST_F(ShipDlgTest, TheReportsShowTheirRowsAndLinesOverThePictures) {
    shell::PictureStore().SetFolder(shell::FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
    ShipDlgWorld w;
    w.gs.nKouekisenReturnPicture = -1;
    w.gs.nGunsenCompletePicture = -1;
    const std::vector<std::string> voyages = {"以下の交易船が派遣先から帰港しました",
                                              "派遣先\t帰還港\t帰還船数\t収益", "明\t大湊\t3隻\t4500",
                                              "航海訓練\t安濃津\t1隻\t---"};
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKouekisenKikouDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "交易船帰港");
        EXPECT_EQ(Text(d, CKouekisenKikouDlg::kLabelId), "以下の交易船が派遣先から帰港しました");
        ASSERT_EQ(dlg.Grid().GetLineSize(), 2);
        EXPECT_EQ(dlg.Grid().GetCellText(0, 0), "明");
        EXPECT_EQ(dlg.Grid().GetCellText(0, 2), "3隻");
        EXPECT_EQ(dlg.Grid().GetCellText(1, 3), "---");
        EXPECT_EQ(dlg.Grid().GetDlgCtrlID(), CKouekisenKikouDlg::kGridId);
        ASSERT_FALSE(dlg.Picture().IsEmpty());
        ExpectPictureOver(d, ui::Rect(7, 7, 137, 95));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_kikou_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_kikou_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    shell::ShowKouekisenKikouDlg(nullptr, w.gs, &w.map, "交易船帰港", voyages);

    const std::vector<std::string> launched = {"以下の軍船が完成しました",
                                               "国0の大湊で3隻の軍船が完成しました",
                                               "国0の桑名で5隻の軍船が完成しました"};
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGunsenCompleteDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "軍船完成");
        EXPECT_EQ(Text(d, CGunsenCompleteDlg::kLabelId), "以下の軍船が完成しました");
        EXPECT_EQ(dlg.TextCtrl().GetDlgCtrlID(), CGunsenCompleteDlg::kTextId);
        EXPECT_EQ(dlg.TextCtrl().GetText(),
                  "国0の大湊で3隻の軍船が完成しました\n国0の桑名で5隻の軍船が完成しました\n");
        ASSERT_FALSE(dlg.Picture().IsEmpty());
        ExpectPictureOver(d, ui::Rect(7, 7, 137, 95));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gunsen_complete_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gunsen_complete_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    shell::ShowGunsenCompleteDlg(nullptr, w.gs, &w.map, "軍船完成", launched);
}

}  // namespace
}  // namespace rymd::gui_test
