// The armament dialogs of the player: conscription (144 "徴兵") and musket deployment (213
// "鉄砲配備") on a small world: the rows they list, the limits of the additions, the totals, what OK
// applies and charges, that Cancel changes nothing, their looks at stated points and gallery
// pictures at 100 % and 200 %.
#include <string>
#include <vector>

#include "game/domestic/armament_orders.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/domestic/chouhei_dlg.h"
#include "game/shell/dialogs/domestic/teppou_haibi_dlg.h"
#include "game/shell/dialogs/domestic/teppou_nyuushu_dlg.h"
#include "game/state/access.h"
#include "gui/dialogs/domestic/domestic_dlg_test.h"
#include "gui/gui_test_util.h"
#include "platform/qt/controls.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

// Province 0 holds castles 0 (size 3) and 2 (size 1) of house 0, the player's, with soldier unit
// 10 and 20000 funds. Castle 0 has the head (20 cavalry and 100 foot units) and a general in a
// corps; castle 2 a guest general of the vassal house 1; castle 1 (province 1) another general.
struct ArmWorld : TestWorld {
    ArmWorld() : TestWorld({.castles = 3, .houses = 2, .provinces = 2, .soldierUnit = 10}) {
        gs.nShiroHyourouMax = 2000;
        gs.ShiroTbl[0].kibo = 3;
        gs.ShiroTbl[0].hyourou = 4500;
        gs.ShiroTbl[2].kibo = 1;
        gs.DaimyouTbl[0].shikin = 20000;
        head = AddBushou(0, 0, {.name = "織田信長", .foot = 100, .cavalry = 20});
        gs.DaimyouTbl[0].toushu = head;
        AddBushou(0, 0, {.gundan = 0});
        MakeVassal(1, 0);
        guest = AddBushou(1, 2, {.name = "客人"});
        gs.BushouTbl[guest].status = CBushou::kStatusKyakushou;
        gs.BushouTbl[guest].flags = 0x0080;  // age hidden
        AddBushou(0, 1);
        gs.PlayerChouheiLimits = {100, 1000, 100, 1000};
        gs.ShiroSnapTbl = gs.ShiroTbl;
    }
    int head = -1;
    int guest = -1;
};

using ArmamentDlgTest = DomesticDlgTest;

TEST_F(ArmamentDlgTest, ConscriptionRaisesWithinTheLimitsAndTheCommandChargesTheCastles) {
    ArmWorld w;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CChouheiDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "徴兵");
        ui::ListCtrl& generals = *dlg.BushouList();
        ui::ListCtrl& castles = *dlg.ShiroList();
        ASSERT_EQ(generals.GetItemCount(), 2);
        const std::vector<std::string> first = {"織田信長", "当主", "40", "200", "1000", "0",
                                                "5",        "0",    "5",  "0",   "0",    "城0"};
        for (int c = 0; c < 12; ++c)
            EXPECT_EQ(generals.GetItemText(0, c), first[static_cast<std::size_t>(c)]) << c;
        EXPECT_EQ(generals.GetItemText(1, 1), "客将");
        EXPECT_EQ(generals.GetItemText(1, 2), "---");
        ASSERT_EQ(castles.GetItemCount(), 2);
        EXPECT_EQ(castles.GetItemText(0, 0), "城0");
        EXPECT_EQ(castles.GetItemText(0, 1), "3");
        EXPECT_EQ(castles.GetItemText(0, 3), "4500");
        EXPECT_EQ(castles.GetItemData(1), 2);
        for (int id : {CChouheiDlg::kCavalryAddId, CChouheiDlg::kMaxFootId, CChouheiDlg::kMaxGarrisonId})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftCavalryId), "1000");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFootId), "10000");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFundsId), "20000");

        ClickRow(generals, 0);
        EXPECT_TRUE(Enabled(d, CChouheiDlg::kCavalryAddId));
        EXPECT_FALSE(Enabled(d, CChouheiDlg::kGarrisonAddId));
        Retype(d, CChouheiDlg::kCavalryAddId, "50");
        EXPECT_EQ(Text(d, CChouheiDlg::kCavalryTotalId), "700");
        EXPECT_EQ(generals.GetItemText(0, 3), "700");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftCavalryId), "500");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFundsId), "18500");
        // A number above the range is held to it: 5000 foot soldiers at most.
        Retype(d, CChouheiDlg::kFootAddId, "999");
        EXPECT_EQ(Text(d, CChouheiDlg::kFootAddId), "400");
        EXPECT_EQ(Text(d, CChouheiDlg::kFootTotalId), "5000");
        int lo = 0, hi = 0;
        dynamic_cast<ui::SpinButton*>(d.GetDlgItem(CChouheiDlg::kFootSpinId))->GetRange(lo, hi);
        EXPECT_EQ(hi, 400);

        // The garrison of castle 0 at its maximum (600 soldiers for size 3) uses the foot allowance.
        ClickRow(castles, 0);
        EXPECT_FALSE(Enabled(d, CChouheiDlg::kCavalryAddId));
        EXPECT_TRUE(ui::test::ClickControl(d, CChouheiDlg::kMaxGarrisonId));
        EXPECT_EQ(Text(d, CChouheiDlg::kGarrisonTotalId), "600");
        EXPECT_EQ(castles.GetItemText(0, 2), "600");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFootId), "5400");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFundsId), "13900");
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunChouheiCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.BushouTbl[w.head].cavalry, 70);
    EXPECT_EQ(w.gs.BushouTbl[w.head].foot, 500);
    EXPECT_EQ(w.gs.ShiroTbl[0].shubihei, 60);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 13900);
    EXPECT_EQ(w.gs.PlayerChouheiLimits, (std::array<int, 4>{100, 1000, 50, 540}));
    // 510 units = 5100 koku over the three castles; support falls by (3 x 50 + 460) x 10 x 1000 /
    // 24900 = 245 per mille.
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(w.gs.ShiroTbl[s].kokudaka, 10000u - 1700) << s;
        EXPECT_EQ(w.gs.ShiroTbl[s].support, 500 - 245) << s;
    }
}

TEST_F(ArmamentDlgTest, CancelAfterFillingEveryGeneralChangesNothing) {
    ArmWorld w;
    const GameState before = w.gs;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CChouheiDlg&>(d);
        ClickRow(*dlg.BushouList(), 1);
        EXPECT_TRUE(ui::test::ClickControl(d, CChouheiDlg::kFillAllId));
        // Foot before cavalry for each general in the list's order: the head fills 400 foot and
        // 100 cavalry (the whole cavalry allowance), the guest the 500 foot of his limit.
        EXPECT_EQ(dlg.BushouList()->GetItemText(0, 4), "5000");
        EXPECT_EQ(dlg.BushouList()->GetItemText(0, 3), "1200");
        EXPECT_EQ(dlg.BushouList()->GetItemText(1, 4), "5000");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftCavalryId), "0");
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFootId), "1000");
        EXPECT_FALSE(Enabled(d, CChouheiDlg::kFootAddId));  // no general selected afterwards
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    EXPECT_FALSE(shell::RunChouheiCommand(w.gs, 0, nullptr));
    for (int g = 0; g < w.gs.nBushou; ++g) {
        EXPECT_EQ(w.gs.BushouTbl[g].cavalry, before.BushouTbl[g].cavalry);
        EXPECT_EQ(w.gs.BushouTbl[g].foot, before.BushouTbl[g].foot);
    }
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ(w.gs.ShiroTbl[s].shubihei, before.ShiroTbl[s].shubihei);
        EXPECT_EQ(w.gs.ShiroTbl[s].kokudaka, before.ShiroTbl[s].kokudaka);
        EXPECT_EQ(w.gs.ShiroTbl[s].support, before.ShiroTbl[s].support);
    }
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 20000);
    EXPECT_EQ(w.gs.PlayerChouheiLimits, before.PlayerChouheiLimits);
}

TEST_F(ArmamentDlgTest, AHouseInDebtIsToldAndItsEditsAreUndone) {
    ArmWorld w;
    w.gs.DaimyouTbl[0].shikin = -50;
    ExpectMessage("資金が足りません");  // at the opening
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CChouheiDlg&>(d);
        EXPECT_EQ(Text(d, CChouheiDlg::kLeftFundsId), "-50");
        ClickRow(*dlg.BushouList(), 0);
        ExpectMessage("資金が足りません");
        Retype(d, CChouheiDlg::kFootAddId, "5");
        EXPECT_EQ(Text(d, CChouheiDlg::kFootAddId), "0");
        EXPECT_EQ(dlg.Order().PendingFoot(0), 0);
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunChouheiCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.BushouTbl[w.head].foot, 100);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, -50);
}

TEST_F(ArmamentDlgTest, ConscriptionLooksAndGallery) {
    ArmWorld w;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CChouheiDlg&>(d);
        ClickRow(*dlg.BushouList(), 0);
        Retype(d, CChouheiDlg::kFootAddId, "20");
        const QImage shot = ui::test::Grab(d);
        // The selected row is filled across the row in the face colour (the focus is in the edit),
        // the other row is not.
        ui::ListCtrl& list = *dlg.BushouList();
        Rect inDlg = list.GetWindowRect();
        d.ScreenToClient(inDlg);
        const Rect row0 = list.ItemRect(0);
        const Rect row1 = list.ItemRect(1);
        const ui::COLORREF selected =
            ui::test::PixelAt(shot, inDlg.left + 165, inDlg.top + 2 + row0.CenterPoint().y);
        const ui::COLORREF plain =
            ui::test::PixelAt(shot, inDlg.left + 165, inDlg.top + 2 + row1.CenterPoint().y);
        EXPECT_EQ(selected, ui::GetSysColor(ui::COLOR_BTNFACE)) << Rgb(selected);
        EXPECT_NE(plain, selected) << Rgb(plain);
        // The castle's MAX button is greyed while a general is selected: it looks unlike the foot MAX.
        EXPECT_NE(ui::test::Grab(*d.GetDlgItem(CChouheiDlg::kMaxGarrisonId)),
                  ui::test::Grab(*d.GetDlgItem(CChouheiDlg::kMaxFootId)));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("chouhei_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("chouhei_dlg@2x"), 2.0));
        d.EndDialog(ui::IDCANCEL);
    });
    shell::RunChouheiCommand(w.gs, 0, nullptr);
}

// ---- Musket deployment ---------------------------------------------------------------------------

TEST_F(ArmamentDlgTest, DeploymentGivesWithinTheFootSoldiersAndTakesBackAnExcess) {
    ArmWorld w;
    w.gs.DaimyouTbl[0].teppou = 15;
    w.gs.ScenarioWords[3] = "火縄銃";  // the musket word
    BushouAt(w.gs, w.guest).foot = 20;
    BushouAt(w.gs, w.guest).muskets = 30;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CTeppouHaibiDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "火縄銃配備");
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kUndeployedGroupId), "未配備火縄銃数");
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kUndeployedId), "150");
        ui::ListCtrl& list = *dlg.BushouList();
        ASSERT_EQ(list.GetItemCount(), 2);
        EXPECT_EQ(list.GetItemText(1, 1), "　　");  // no guest word in this list
        EXPECT_EQ(list.GetItemText(0, 5), "0");
        EXPECT_FALSE(Enabled(d, CTeppouHaibiDlg::kMaxId));
        auto& spin = dynamic_cast<ui::SpinButton&>(*d.GetDlgItem(CTeppouHaibiDlg::kSpinId));

        // The guest carries ten units more than his foot soldiers: his range runs 0 .. -10.
        ClickRow(list, 1);
        int lo = 0, hi = 0;
        spin.GetRange(lo, hi);
        EXPECT_EQ(lo, 0);
        EXPECT_EQ(hi, -10);
        EXPECT_TRUE(ui::test::ClickControl(d, CTeppouHaibiDlg::kMaxId));
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kMusketsId), "200");
        EXPECT_EQ(list.GetItemText(1, 5), "200");
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kUndeployedId), "250");

        // The head takes the stock step by step with the spin, then all of it.
        ClickRow(list, 0);
        spin.Step(+1);
        spin.Step(+1);
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kMusketsId), "20");
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kUndeployedId), "230");
        EXPECT_TRUE(ui::test::ClickControl(d, CTeppouHaibiDlg::kMaxId));
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kMusketsId), "250");
        EXPECT_EQ(Text(d, CTeppouHaibiDlg::kUndeployedId), "0");
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_haibi_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_haibi_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunTeppouHaibiCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.BushouTbl[w.head].muskets, 25);
    EXPECT_EQ(w.gs.BushouTbl[w.guest].muskets, 20);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppou, 0);

    // Cancel gives nothing.
    Script().OnDialog([&](ui::Dialog& d) {
        ClickRow(*dynamic_cast<CTeppouHaibiDlg&>(d).BushouList(), 1);
        EXPECT_TRUE(ui::test::ClickControl(d, CTeppouHaibiDlg::kMaxId));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    EXPECT_FALSE(shell::RunTeppouHaibiCommand(w.gs, 0, nullptr));
    EXPECT_EQ(w.gs.BushouTbl[w.guest].muskets, 20);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppou, 0);
}

TEST_F(ArmamentDlgTest, ColumnClicksSortTheGeneralsByTheGamesKeys) {
    ArmWorld w;
    BushouAt(w.gs, w.guest).cavalry = 50;
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl& list = *dynamic_cast<CChouheiDlg&>(d).BushouList();
        // The header of the cavalry column: the most cavalry first.
        int x = 0;
        for (int c = 0; c < 3; ++c)
            x += list.GetColumnWidth(c);
        ui::test::MouseDown(list, Point(x + 5, 3));
        ui::test::MouseUp(list, Point(x + 5, 3));
        EXPECT_EQ(list.GetItemData(0), w.guest);
        // The name column: list order again.
        ui::test::MouseDown(list, Point(5, 3));
        ui::test::MouseUp(list, Point(5, 3));
        EXPECT_EQ(list.GetItemData(0), w.head);
        d.EndDialog(ui::IDCANCEL);
    });
    shell::RunChouheiCommand(w.gs, 0, nullptr);
}

// ---- Musket delivery report ----------------------------------------------------------------------

TEST_F(ArmamentDlgTest, TheDeliveryReportShowsWhatArrivedOverThePicture) {
    shell::PictureStore().SetFolder(shell::FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
    ArmWorld w;
    w.gs.nTeppouPicture = -1;
    w.gs.ScenarioWords[3] = "火縄銃";
    const std::vector<std::string> lines = {"100挺の火縄銃を生産しました", "堺から50挺の火縄銃を調達しました",
                                            "未配備火縄銃数が 150挺 になりました"};
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CTeppouNyuushuDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "火縄銃入手");
        EXPECT_EQ(Text(d, CTeppouNyuushuDlg::kLabelId), "火縄銃を入手しました");
        EXPECT_EQ(Text(d, CTeppouNyuushuDlg::kStockId), "未配備火縄銃数が 150挺 になりました");
        EXPECT_EQ(dlg.TextCtrl().GetDlgCtrlID(), CTeppouNyuushuDlg::kTextId);
        // The built-in picture (240 x 160) is stretched over its place: no button face there.
        ASSERT_FALSE(dlg.Picture().IsEmpty());
        EXPECT_EQ(dlg.Picture().GetWidth(), 240);
        ExpectPictureOver(d, Rect(7, 7, 137, 95));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_nyuushu_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_nyuushu_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    const GameState before = w.gs;
    shell::ShowTeppouNyuushuDlg(nullptr, w.gs, nullptr, "火縄銃入手", lines);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppou, before.DaimyouTbl[0].teppou);
    EXPECT_EQ(Script().PendingSteps(), 0u);
}

}  // namespace
}  // namespace rymd::gui_test
