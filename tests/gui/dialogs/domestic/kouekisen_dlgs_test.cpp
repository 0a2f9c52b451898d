// The trade ships: the dispatch plan's ports, destinations, funds and bookings, the dispatch
// dialog driven by clicks and typing, and the list of voyages under way.
#include "game/shell/dialogs/domestic/kouekisen_dlgs.h"

#include "game/domestic/castle_economy.h"
#include "game/state/access.h"
#include "gui/gui_test_util.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

// Province 0 holds castles 0, 2 (ports of house 0) and 4 (a port, besieged); castle 6 is no port.
// Partners: 0 the sea training, 1 near (2 months), 2 far (9 months, beyond the skill), 3 not
// reachable from province 0. Castle 2 may not sail to partner 1.
class KouekisenTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        GameState& gs = w_.gs;
        for (int c : {0, 2, 4, 6}) {
            gs.ShiroMapTbl[c].kuni = 0;
            gs.ShiroMapTbl[c].flags = c == 6 ? 0 : ShiroMapRecord::kFlagPort;
            gs.ShiroTbl[c].kouekisen = 6;
        }
        w_.Besiege(4, 1);
        gs.nTradingPartner = 4;
        const char* names[] = {"航海訓練", "明", "南蛮", "琉球"};
        const int months[] = {1, 2, 9, -1};
        for (int p = 0; p < 4; ++p) {
            CTradingPartner& t = gs.TradingPartnerTbl[static_cast<std::size_t>(p)];
            t.name = names[p];
            t.months[0] = static_cast<std::int8_t>(months[p]);
            t.sales[0] = static_cast<std::uint32_t>(3000 * p + 500);
            t.friendliness[0] = 40;
            for (int c : {0, 2, 4, 6})
                t.ports[static_cast<std::size_t>(c)] = 1;
        }
        gs.TradingPartnerTbl[1].ports[2] = 0;
        gs.DaimyouTbl[0].koukaiGijutsu = 500;
        gs.DaimyouTbl[0].shikin = 5000;
        gs.nPlayerDaimyou = 0;
    }
    TestWorld w_{{.castles = 8, .houses = 2, .provinces = 4}};
};

TEST_F(KouekisenTest, PlanListsOpenPortsAndReachableDestinations) {
    KouekisenPlan plan(w_.gs, 0, 0);
    EXPECT_EQ(plan.Ports(), (std::vector<int>{0, 2})) << "no besieged port, no castle without a port";
    EXPECT_EQ(plan.Partners(), (std::vector<int>{0, 1}))
        << "the far one is beyond the skill, one has no route";
    EXPECT_TRUE(plan.OpenTo(0, 1));
    EXPECT_FALSE(plan.OpenTo(1, 1));
    EXPECT_EQ(plan.WaitingShips(0), 6);
}

TEST_F(KouekisenTest, FundsLimitTheShipsAndOkBooksThem) {
    GameState& gs = w_.gs;
    KouekisenPlan plan(gs, 0, 0);
    // Ships set before a destination go on the sea training.
    plan.SelectPort(1);
    EXPECT_TRUE(plan.SetShips(3));
    EXPECT_EQ(plan.Destination(1), 0);
    EXPECT_EQ(plan.Total(), 300);
    // Port 0 to the near partner: five ships cost 5000, only 4700 are left.
    plan.SelectPort(0);
    EXPECT_TRUE(plan.SelectPartner(1));
    EXPECT_EQ(plan.Destination(0), 1);
    EXPECT_FALSE(plan.SetShips(5)) << "資金が足りません";
    EXPECT_EQ(plan.Ships(0), 4);
    EXPECT_EQ(plan.Remaining(), 5000 - 300 - 4000);
    plan.Max();
    EXPECT_EQ(plan.Ships(0), 4);
    // Funds exactly spent: nothing left, still bookable.
    gs.DaimyouTbl[0].shikin = 4300;
    EXPECT_EQ(plan.Remaining(), 0);
    plan.Commit(gs);
    EXPECT_EQ(gs.ShiroTbl[0].voyage[0].ships, 4);
    EXPECT_EQ(gs.ShiroTbl[0].voyage[0].destination, 1);
    EXPECT_EQ(gs.ShiroTbl[2].voyage[0].destination, 0);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, 0);
}

TEST_F(KouekisenTest, AllPortsTakeTheDestinationThenFillWhatTheFundsPay) {
    GameState& gs = w_.gs;
    gs.DaimyouTbl[0].shikin = 900;
    KouekisenPlan plan(gs, 0, 0);
    plan.SelectPort(1);
    plan.SetShips(6);  // the training, 600
    plan.SelectPort(-1);
    ASSERT_TRUE(plan.SelectPartner(0));
    plan.AllPorts(false);
    EXPECT_EQ(plan.Destination(0), 0);
    EXPECT_EQ(plan.Ships(0), 0);
    plan.AllPorts(true);
    EXPECT_EQ(plan.Ships(0), 3) << "what the 300 left pay";
    EXPECT_EQ(plan.Ships(1), 6);
    EXPECT_EQ(plan.Remaining(), 0);
}

// A typed count is kept within 0 .. the port's waiting ships (6, less the ships at sea), and the
// booking neither sends nor pays for ships the port does not have.
TEST_F(KouekisenTest, ATypedCountIsKeptToTheShipsWaitingInPort) {
    GameState& gs = w_.gs;
    gs.DaimyouTbl[0].shikin = 100000;
    gs.ShiroTbl[0].voyage[3] = {2, 1, 2, 2};  // two of castle 0's six ships are at sea
    const struct {
        int typed;
        int port;
        int kept;
    } cases[] = {{50, 1, 6}, {7, 1, 6}, {6, 1, 6}, {5, 1, 5}, {50, 0, 4}, {4, 0, 4}, {-3, 1, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        KouekisenPlan plan(gs, 0, 0);
        plan.SelectPort(c.port);
        EXPECT_TRUE(plan.SetShips(c.typed)) << c.typed;
        EXPECT_EQ(plan.Ships(c.port), c.kept) << c.typed << " at port row " << c.port;
        EXPECT_EQ(plan.Total(), 100 * c.kept) << "the sea training, 100 a ship";
    }
    KouekisenPlan plan(gs, 0, 0);
    plan.SelectPort(1);
    plan.SetShips(50);
    plan.Commit(gs);
    EXPECT_EQ(gs.ShiroTbl[2].voyage[0].ships, 6);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, 100000 - 600);
    EXPECT_EQ(gs.ShiroTbl[2].kouekisen - CountShipsAtSea(gs, 2), 0) << "none waiting, never fewer";
}

TEST_F(KouekisenTest, VoyagesListTheirReturnAcrossTheYearEnd) {
    GameState& gs = w_.gs;
    gs.nCurYear = 1560;
    gs.nCurMonth = 11;
    gs.ShiroTbl[2].voyage[4] = {3, 1, 3, 4};
    const std::vector<KouekisenVoyage> v = KouekisenVoyages(gs, 0);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].partner, "明");
    EXPECT_EQ(v[0].ships, 3);
    EXPECT_EQ(v[0].port, gs.ShiroMapTbl[2].name);
    EXPECT_EQ(v[0].returnDate, "1561年2月");
}

TEST_F(KouekisenTest, DialogBooksByClicksAndTypingAndCancelBooksNothing) {
    GameState& gs = w_.gs;
    CKouekisenHakenDlg dlg(gs, 0, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl* ports = dlg.PortList();
        ui::ListCtrl* partners = dlg.PartnerList();
        ASSERT_NE(ports, nullptr);
        ASSERT_EQ(ports->GetItemCount(), 2);
        ASSERT_EQ(partners->GetItemCount(), 2);
        EXPECT_EQ(partners->GetItemText(1, 1), "2ヶ月");
        EXPECT_EQ(partners->GetItemText(1, 3), "1250") << "(3500 - 1000) / 2";
        EXPECT_EQ(partners->GetItemText(0, 5), "---");
        EXPECT_EQ(partners->GetItemText(1, 5), "40%");
        EXPECT_FALSE(d.GetDlgItem(ui::IDOK)->IsWindowEnabled()) << "nothing set";
        EXPECT_FALSE(d.GetDlgItem(CKouekisenHakenDlg::kMaxId)->IsWindowEnabled());
        // Port row 1, then the near partner: not open to it, so the row keeps no destination.
        const ui::Point port1 = ports->ItemRect(1).CenterPoint();
        ui::test::MouseDown(*ports, port1);
        ui::test::MouseUp(*ports, port1);
        EXPECT_EQ(partners->GetItemText(1, 4), "×");
        EXPECT_EQ(partners->GetItemText(0, 4), "○");
        const ui::Point near = partners->ItemRect(1).CenterPoint();
        ui::test::MouseDown(*partners, near);
        ui::test::MouseUp(*partners, near);
        EXPECT_EQ(ports->GetItemText(1, 2), "---");
        // Port row 0 takes it; two ships typed.
        const ui::Point port0 = ports->ItemRect(0).CenterPoint();
        ui::test::MouseDown(*ports, port0);
        ui::test::MouseUp(*ports, port0);
        ui::test::MouseDown(*partners, near);
        ui::test::MouseUp(*partners, near);
        EXPECT_EQ(ports->GetItemText(0, 2), "明");
        ASSERT_TRUE(d.GetDlgItem(CKouekisenHakenDlg::kShipsId)->IsWindowEnabled());
        ASSERT_TRUE(ui::test::TypeIntoControl(d, CKouekisenHakenDlg::kShipsId, "2"));
        EXPECT_EQ(ports->GetItemText(0, 3), "2");
        EXPECT_EQ(d.GetDlgItem(CKouekisenHakenDlg::kRemainingId)->GetWindowText(), "3000");
        EXPECT_TRUE(d.GetDlgItem(ui::IDOK)->IsWindowEnabled());
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_haken")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_haken@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(gs.ShiroTbl[0].voyage[0].ships, 2);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, 3000);

    // Cancel books nothing.
    CKouekisenHakenDlg again(gs, 0, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        again.Plan().SelectPort(1);
        again.Plan().SetShips(1);
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    again.DoModal();
    EXPECT_EQ(gs.ShiroTbl[2].voyage[0].ships, 0);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, 3000);

    // The list shows the booked voyage.
    CKouekisenListDlg list(gs, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        ASSERT_EQ(list.List()->GetItemCount(), 1);
        EXPECT_EQ(list.List()->GetItemText(0, 0), "明");
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_list")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kouekisen_list@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    list.DoModal();
}

// Fifty ships typed where six wait: the edit and the row show six, and OK sends six.
TEST_F(KouekisenTest, DialogKeepsATypedCountToTheShipsWaiting) {
    GameState& gs = w_.gs;
    gs.DaimyouTbl[0].shikin = 100000;
    CKouekisenHakenDlg dlg(gs, 0, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl* ports = dlg.PortList();
        ASSERT_NE(ports, nullptr);
        const ui::Point port0 = ports->ItemRect(0).CenterPoint();
        ui::test::MouseDown(*ports, port0);
        ui::test::MouseUp(*ports, port0);
        const ui::Point training = dlg.PartnerList()->ItemRect(0).CenterPoint();
        ui::test::MouseDown(*dlg.PartnerList(), training);
        ui::test::MouseUp(*dlg.PartnerList(), training);
        ASSERT_TRUE(d.GetDlgItem(CKouekisenHakenDlg::kShipsId)->IsWindowEnabled());
        ASSERT_TRUE(ui::test::TypeIntoControl(d, CKouekisenHakenDlg::kShipsId, "50"));
        EXPECT_EQ(d.GetDlgItem(CKouekisenHakenDlg::kShipsId)->GetWindowText(), "6");
        EXPECT_EQ(ports->GetItemText(0, 3), "6");
        EXPECT_EQ(d.GetDlgItem(CKouekisenHakenDlg::kRemainingId)->GetWindowText(), "99400")
            << "six on the training";
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(gs.ShiroTbl[0].voyage[0].ships, 6);
    EXPECT_EQ(gs.DaimyouTbl[0].shikin, 100000 - 600);
    EXPECT_EQ(CountShipsAtSea(gs, 0), gs.ShiroTbl[0].kouekisen);
}

}  // namespace
}  // namespace rymd::gui_test
