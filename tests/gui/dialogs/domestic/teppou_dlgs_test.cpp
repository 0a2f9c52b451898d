// The musket dialogs of the domestic phase: purchase (212 "鉄砲購入") and production (208
// "鉄砲生産") on a small world: the rows they list, the spins, MAX and MAX for every place, the
// funds message, what OK books and pays, that Cancel books nothing, their looks at stated points
// and gallery pictures at 100 % and 200 %.
#include <string>

#include "game/shell/dialogs/domestic/teppou_dlgs.h"
#include "game/state/access.h"
#include "gui/dialogs/domestic/domestic_dlg_test.h"
#include "gui/gui_test_util.h"
#include "platform/qt/controls.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

// House 0 (the player) holds castles 0 and 1 (provinces 0 and 1), soldier unit 10, 3000 funds.
// Place 0 ("堺") sells to province 0 within 0 months, 1000 muskets at 5 (50 a unit): 100 units.
// Place 1 ("平戸") sells to province 1 within 3 months and has an order of 25 units on its way.
// Province 0 makes 200 muskets a month at 8.5 each (85 a unit).
struct TeppouDlgWorld : TestWorld {
    TeppouDlgWorld() : TestWorld({.castles = 2, .houses = 2, .provinces = 3, .soldierUnit = 10}) {
        gs.DaimyouTbl[0].shikin = 3000;
        gs.nTeppouKounyuu = 2;
        const char* names[] = {"堺", "平戸"};
        for (int p = 0; p < 2; ++p) {
            TeppouKounyuuRecord& r = gs.TeppouKounyuuTbl[static_cast<std::size_t>(p)];
            r.name = names[p];
            r.months.fill(-1);
            r.months[static_cast<std::size_t>(p)] = static_cast<std::int8_t>(p * 3);
            r.currentOffer = 1000;
            r.currentPrice = 5;
        }
        gs.DaimyouTbl[0].teppouOrder[1] = {25, 2};
        gs.TeppouSeisanTbl[0].current = 200;
        gs.TeppouCost[3] = 8.5;
    }
};

using TeppouDlgTest = DomesticDlgTest;

TEST_F(TeppouDlgTest, PurchaseListsThePlacesBuysWithinTheFundsAndBooksOneOrder) {
    TeppouDlgWorld w;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CTeppouKounyuuDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "鉄砲購入");
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kInstructionId), "鉄砲購入地を選択し、購入数を設定してください");
        ui::ListCtrl& list = *dlg.List();
        ASSERT_EQ(list.GetItemCount(), 2);
        const char* row0[] = {"堺", "50", "0", "1000", "0"};
        const char* row1[] = {"平戸", "50", "3", "調達中", "(250)"};
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(list.GetItemText(0, c), row0[c]) << c;
            EXPECT_EQ(list.GetItemText(1, c), row1[c]) << c;
        }
        EXPECT_FALSE(Enabled(d, ui::IDOK)) << "nothing chosen";
        EXPECT_FALSE(Enabled(d, CTeppouKounyuuDlg::kMaxId));
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kRemainingId), "3000");

        // The place in delivery sells nothing: its spin runs 0..0.
        ClickRow(list, 1);
        auto& spin = dynamic_cast<ui::SpinButton&>(*d.GetDlgItem(CTeppouKounyuuDlg::kSpinId));
        int lo = -1, hi = -1;
        spin.GetRange(lo, hi);
        EXPECT_EQ(hi, 0);

        // Sakai: two steps of the spin, then MAX fills the funds; one more step is refused.
        ClickRow(list, 0);
        spin.GetRange(lo, hi);
        EXPECT_EQ(hi, 100);
        spin.Step(+1);
        spin.Step(+1);
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kMusketsId), "20");
        EXPECT_EQ(list.GetItemText(0, 4), "20");
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kRemainingId), "2900");
        EXPECT_TRUE(Enabled(d, ui::IDOK));
        EXPECT_TRUE(ui::test::ClickControl(d, CTeppouKounyuuDlg::kMaxId));
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kMusketsId), "600");
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kRemainingId), "0");
        ExpectShortage();
        spin.Step(+1);
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kMusketsId), "600");
        EXPECT_EQ(spin.GetPos(), 60);

        // Stated points: the chosen row is drawn highlighted, the place in delivery is not.
        const QImage shot = ui::test::Grab(list);
        const ui::Rect r0 = list.ItemRect(0);
        const ui::Rect r1 = list.ItemRect(1);
        EXPECT_NE(ui::test::PixelAt(shot, r0.right - 4, r0.CenterPoint().y),
                  ui::test::PixelAt(shot, r1.right - 4, r1.CenterPoint().y));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_kounyuu_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_kounyuu_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunTeppouKounyuuCommand(w.gs, nullptr));
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].count, 60);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].months, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[1].count, 25);
    EXPECT_EQ(w.gs.TeppouKounyuuTbl[0].dialogWork, 60);

    // Again in the same phase, with more funds: 40 left to buy; MAX for every place and Cancel.
    w.gs.DaimyouTbl[0].shikin = 100000;
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl& list = *dynamic_cast<CTeppouKounyuuDlg&>(d).List();
        EXPECT_EQ(list.GetItemText(0, 3), "400");
        EXPECT_TRUE(ui::test::ClickControl(d, CTeppouKounyuuDlg::kMaxAllId));
        EXPECT_EQ(list.GetItemText(0, 4), "400");
        EXPECT_EQ(list.GetItemText(1, 4), "(250)");
        EXPECT_EQ(Text(d, CTeppouKounyuuDlg::kRemainingId), "98000");
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    EXPECT_FALSE(shell::RunTeppouKounyuuCommand(w.gs, nullptr));
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 100000);
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouOrder[0].count, 60);
}

TEST_F(TeppouDlgTest, ProductionOffersTheMonthsMaximumAndPaysOnOk) {
    TeppouDlgWorld w;
    w.gs.DaimyouTbl[0].shikin = 85 * 12;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CTeppouSeisanDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "鉄砲生産");
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kInstructionId),
                  "以下の鉄砲生産国で、合計 200挺 の鉄砲生産が可能です");
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kCostId), "10挺当たりの鉄砲生産費用 = 85");
        ASSERT_EQ(dlg.List()->GetItemCount(), 1);
        EXPECT_EQ(dlg.List()->GetItemText(0, 0), "国0");
        EXPECT_TRUE(Enabled(d, ui::IDOK)) << "0 units may be confirmed";
        auto& spin = dynamic_cast<ui::SpinButton&>(*d.GetDlgItem(CTeppouSeisanDlg::kSpinId));
        int lo = -1, hi = -1;
        spin.GetRange(lo, hi);
        EXPECT_EQ(hi, 20);
        spin.Step(+1);
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kMusketsId), "10");
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kRemainingId), "935");
        EXPECT_TRUE(ui::test::ClickControl(d, CTeppouSeisanDlg::kMaxId));
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kMusketsId), "120") << "the funds cut MAX";
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kRemainingId), "0");
        ExpectShortage();
        spin.Step(+1);
        EXPECT_EQ(spin.GetPos(), 12);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_seisan_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("teppou_seisan_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunTeppouSeisanCommand(w.gs, &w.map, nullptr));
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouSeisan, 12);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 0);

    // No producing province: the message and a spin of 0..0; OK at 0 closes and changes nothing.
    w.gs.TeppouSeisanTbl[0].current = 0;
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kInstructionId), "鉄砲生産可能な国がありません");
        EXPECT_EQ(Text(d, CTeppouSeisanDlg::kCostId), "");
        int lo = -1, hi = -1;
        dynamic_cast<ui::SpinButton&>(*d.GetDlgItem(CTeppouSeisanDlg::kSpinId)).GetRange(lo, hi);
        EXPECT_EQ(hi, 0);
        EXPECT_TRUE(Enabled(d, ui::IDOK));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_TRUE(shell::RunTeppouSeisanCommand(w.gs, &w.map, nullptr));
    EXPECT_EQ(w.gs.DaimyouTbl[0].teppouSeisan, 12);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 0);
}

}  // namespace
}  // namespace rymd::gui_test
