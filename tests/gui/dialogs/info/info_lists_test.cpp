// The general list, the house information and the house list: who is listed, the texts and
// statistics, sorting, the blinking map and the dialogs opened from each other and from the main
// window's panel.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "game/turn/new_game.h"

#include "game/shell/dialogs/corps/gundan_hensei_dlg.h"
#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/info/bushou_list_dlg.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/info/shiro_info_dlg.h"
#include "game/shell/dialogs/military/yasen_deploy_dlg.h"
#include "gui/bundled_game_fixture.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

// House 0 with a retainer and a guest; house 1 its vassal with a retainer and a guest serving
// under house 0; house 2 holds a captive of house 0; house 0 holds a hostage of house 2.
class BushouListTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        GameState& gs = w_.gs;
        gs.DaimyouTbl[1].bond = CDaimyou::kBondShinjuu;
        gs.DaimyouTbl[1].masterDaimyou = 0;
        head_ = w_.AddBushou(0, 0, {.name = "当主"});
        gs.DaimyouTbl[0].toushu = head_;
        guest_ = w_.AddBushou(0, 0, {.name = "客"});
        gs.BushouTbl[guest_].status = CBushou::kStatusKyakushou;
        vassal_ = w_.AddBushou(1, 1, {.name = "臣従家臣"});
        vassalGuest_ = w_.AddBushou(1, 1, {.name = "臣従客将"});
        gs.BushouTbl[vassalGuest_].status = CBushou::kStatusKyakushou;
        captive_ = w_.AddBushou(0, -1, {.name = "捕らわれ"});
        gs.BushouTbl[captive_].status = CBushou::kStatusHoryo;
        gs.BushouTbl[captive_].holderDaimyou = 2;
        hostage_ = w_.AddBushou(CBushou::kDaimyouHitojichi, -1, {.name = "人質"});
        gs.BushouTbl[hostage_].status = CBushou::kStatusHitojichi;
        gs.BushouTbl[hostage_].holderDaimyou = 0;
        gs.BushouTbl[hostage_].originDaimyou = 2;
    }
    TestWorld w_{{.castles = 3, .houses = 3}};
    int head_ = -1, guest_ = -1, vassal_ = -1, vassalGuest_ = -1, captive_ = -1, hostage_ = -1;
};

TEST_F(BushouListTest, MembersCaptivesAndHostagesByHouse) {
    const GameState& gs = w_.gs;
    EXPECT_EQ(BushouListMembers(gs, 0, false), (std::vector<int>{head_, guest_, vassalGuest_}));
    EXPECT_EQ(BushouListMembers(gs, 0, true), (std::vector<int>{head_, guest_, vassal_, vassalGuest_}));
    EXPECT_EQ(BushouListMembers(gs, 1, false), (std::vector<int>{vassal_, vassalGuest_}));
    EXPECT_TRUE(BushouListMembers(gs, 2, true).empty()) << "a house with no generals";
    EXPECT_EQ(BushouListCaptives(gs, 0), std::vector<int>{hostage_});
    EXPECT_EQ(BushouListCaptives(gs, 2), std::vector<int>{captive_});
    // The rows.
    EXPECT_EQ(BushouListRow(gs, nullptr, head_)[4], "当主");
    EXPECT_EQ(BushouListRow(gs, nullptr, guest_)[4], "客将");
    EXPECT_EQ(BushouListRow(gs, nullptr, vassal_)[3], gs.DaimyouTbl[1].name);
    EXPECT_EQ(BushouListRow(gs, nullptr, head_)[2], gs.ShiroMapTbl[0].name);
    const std::vector<std::string> hostage = BushouListCaptiveRow(gs, hostage_);
    EXPECT_EQ(hostage[1], "人質");
    EXPECT_EQ(hostage[2], gs.DaimyouTbl[2].name) << "the house he came from";
    EXPECT_EQ(BushouListCaptiveRow(gs, captive_)[1], "捕虜");
}

TEST_F(BushouListTest, DialogRefillsWithTheVassalsAndShowsCommentaries) {
    GameState& gs = w_.gs;
    gs.ScenarioTextPool = {"家臣の解説"};
    w_.SetLine(vassal_, 1, 1);
    gs.BushouExTbl[static_cast<std::size_t>(gs.BushouTbl[vassal_].id)].textIndex = 0;
    CBushouListDlg dlg(gs, nullptr, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl* list = dlg.List();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(d.GetWindowText(), "武将一覧");
        EXPECT_EQ(d.GetDlgItem(CBushouListDlg::kTitleId)->GetWindowText(),
                  gs.DaimyouTbl[0].name + " 武将一覧");
        EXPECT_EQ(list->GetColumnCount(), 14);
        EXPECT_EQ(list->GetItemCount(), 3);
        EXPECT_EQ(list->GetFirstSelectedItem(), 0);
        EXPECT_EQ(dlg.CaptiveList()->GetItemCount(), 1);
        EXPECT_EQ(dlg.CaptiveList()->GetColumnCount(), 9);
        EXPECT_TRUE(ui::test::ClickControl(d, CBushouListDlg::kVassalsId));
        ASSERT_EQ(list->GetItemCount(), 4);
        EXPECT_EQ(list->GetItemText(2, 0), "臣従家臣");
        EXPECT_EQ(list->GetItemImage(2), 1) << "he has a commentary";
        // A click on him shows it.
        Script().OnDialog([&](ui::Dialog& box) {
            auto* msg = dynamic_cast<CEventMsgDlg*>(&box);
            ASSERT_NE(msg, nullptr);
            EXPECT_EQ(msg->m_strTitle, "臣従家臣");
            EXPECT_EQ(msg->m_strText, "家臣の解説");
            box.EndDialog(ui::IDCANCEL);
        });
        const ui::Point at = list->ItemRect(2).CenterPoint();
        ui::test::MouseDown(*list, at);
        ui::test::MouseUp(*list, at);
        EXPECT_EQ(Script().DialogsShown().size(), 2u);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("bushou_list")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("bushou_list@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(BushouListTest, HouseInformationLines) {
    GameState& gs = w_.gs;
    gs.DaimyouTbl[0].shikin = 1234;
    const std::vector<std::string> lines = DaimyouInfoLines(gs, 0);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "当主　当主");
    EXPECT_EQ(lines[3], "資金　1234");
    EXPECT_EQ(lines.back(), "臣従大名家数　1");
    EXPECT_EQ(lines[lines.size() - 2], "従属大名家数　0");
    const std::vector<std::string> vassal = DaimyouInfoLines(gs, 1);
    EXPECT_EQ(vassal[0], "当主　---") << "a house with no head";
    EXPECT_EQ(vassal[6], "主家　" + gs.DaimyouTbl[0].name);
    EXPECT_EQ(vassal[7], "（主家との関係 臣従）");
}

TEST_F(BushouListTest, HouseListStatisticsCountAVassalsCastlesForBothHouses) {
    GameState& gs = w_.gs;
    w_.Own(1, 1);
    w_.Own(2, 2);
    for (int c = 0; c < 3; ++c)
        gs.ShiroTbl[c].kokudaka = static_cast<std::uint32_t>(1000 * (c + 1));
    gs.ShiroTbl[1].kouekisen = 4;
    gs.ShiroTbl[1].voyage[3].ships = 1;
    gs.DaimyouTbl[0].SetRelationLo(2, CDaimyou::kRelFusen);
    const std::vector<std::int32_t> stats = DaimyouListStatistics(gs);
    auto stat = [&](int h, int k) {
        return stats[static_cast<std::size_t>(h) * kDaimyouListValueColumns + k];
    };
    EXPECT_EQ(stat(0, 0), 1);
    EXPECT_EQ(stat(0, 1), 1000);
    EXPECT_EQ(stat(0, 2), 3000) << "its own and its vassal's";
    EXPECT_EQ(stat(1, 2), 2000) << "the vassal's own counted for it too";
    EXPECT_EQ(stat(1, 12), 3);
    EXPECT_EQ(stat(1, 13), 1);
    EXPECT_EQ(stat(0, 5), 3) << "head, guest and the hostage's holder is not his house";
    const std::vector<std::string> row = DaimyouListRow(gs, stats, 2);
    EXPECT_EQ(row[12], "不戦同盟");
    EXPECT_EQ(row[2], "0万3000石");
}

using BundledInfoTest = BundledGameTest;

TEST_F(BundledInfoTest, HouseInformationPulsesTheHousesCastles) {
    const int oda = gs_->nPlayerDaimyou;
    int castle = -1;
    for (int s : ShiroIndexes(*gs_))
        if (ShiroAt(*gs_, s).daimyou == oda) castle = s;
    ASSERT_GE(castle, 0);
    CDaimyouInfoDlg dlg(*gs_, &map_, oda);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "大名家情報");
        EXPECT_TRUE(d.GetDlgItem(CDaimyouInfoDlg::kKaisetsuId)->IsWindowEnabled())
            << "the house has a description";
        ASSERT_TRUE(dlg.MapWnd().IsWindow());
        // Phases 0..5: levels 0, 1, 2, 3, 2, 1 of the pulse; the castle's dot takes the colour.
        const int levels[] = {1, 2, 3, 2, 1, 0};
        for (int level : levels) {
            ASSERT_TRUE(ui::test::FireTimer(d, CDaimyouInfoDlg::kBlinkTimer));
            const ui::Rect dot = dlg.MapWnd().ShiroDotRect(castle);
            EXPECT_EQ(dlg.MapWnd().m_BackBmp.GetPixelColor(dot.left + 1, dot.top + 1),
                      CDaimyouInfoDlg::kPulse[static_cast<std::size_t>(level)])
                << "phase " << dlg.BlinkPhase();
        }
        EXPECT_EQ(dlg.BlinkPhase(), 0);
        // The general list of the house.
        Script().OnDialog([&](ui::Dialog& list) {
            auto* l = dynamic_cast<CBushouListDlg*>(&list);
            ASSERT_NE(l, nullptr);
            EXPECT_EQ(l->List()->GetItemCount(),
                      static_cast<int>(BushouListMembers(*gs_, oda, false).size()));
            list.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CDaimyouInfoDlg::kBushouListId));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("daimyou_info")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("daimyou_info@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(BundledInfoTest, HouseListSortsAndOpensAHouse) {
    CDaimyouListDlg dlg(*gs_, &map_);
    Script().OnDialog([&](ui::Dialog& d) {
        MbWnd::CCellCtrl& grid = dlg.Grid();
        int living = 0;
        for (int h : DaimyouIndexes(*gs_))
            living += DaimyouAt(*gs_, h).toushu != -1;
        ASSERT_EQ(grid.GetLineSize(), living);
        EXPECT_EQ(grid.GetColumnCount(), CDaimyouListDlg::kColumnCount);
        // A header click on the castles column: the most castles first.
        MbWnd::tagCellNotify n;
        n.hdr = {&grid, CDaimyouListDlg::kGridId, MbWnd::kCellLabelClick};
        n.column = 1;
        ui::Wnd::SendNotify(&d, &n.hdr);
        int previous = 1 << 30;
        for (int line = 0; line < grid.GetLineSize(); ++line) {
            const int castles = CountShiroOfDaimyou(*gs_, grid.GetLineData(line));
            EXPECT_LE(castles, previous) << line;
            previous = castles;
        }
        // A click on the first row opens that house; below the last row nothing opens.
        const int first = grid.GetLineData(0);
        Script().OnDialog([&](ui::Dialog& info) {
            EXPECT_NE(dynamic_cast<CDaimyouInfoDlg*>(&info), nullptr);
            EXPECT_TRUE(info.GetWindowText() == "大名家情報");
            info.EndDialog(ui::IDOK);
        });
        n.hdr.code = MbWnd::kCellClick;
        n.line = 0;
        ui::Wnd::SendNotify(&d, &n.hdr);
        n.line = -1;
        ui::Wnd::SendNotify(&d, &n.hdr);
        EXPECT_EQ(Script().DialogsShown().size(), 2u) << DaimyouAt(*gs_, first).name;
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("daimyou_list")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("daimyou_list@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

// On a 1024 x 768 screen every dialog lies on the screen: the largest ones by their templates,
// and the house list (wider than that screen) narrowed to it with its list, scroll bar and close
// button inside.
TEST_F(BundledInfoTest, TheLargestDialogsStayOnA1024By768Screen) {
    ui::test::SetScreenSize(Size(1024, 768));
    const Rect screen(0, 0, 1024, 768);
    auto onScreen = [&](ui::Wnd& d) {
        const Rect r = d.GetWindowRect();
        return r.left >= screen.left && r.top >= screen.top && r.right <= screen.right &&
               r.bottom <= screen.bottom;
    };
    const struct {
        const char* name;
        const ui::DialogTemplate& t;
    } largest[] = {
        {"house list", CDaimyouListDlg::Template()},        {"field deployment", CYasenDeployDlg::Template()},
        {"corps formation", CGundanHenseiDlg::Template()},  {"castle information", CShiroInfoDlg::Template()},
        {"corps territory", CGundanRyouchiDlg::Template()}, {"corps fief", CGundanShoryouDlg::Template()},
        {"general list", CBushouListDlg::Template()},
    };
    for (const auto& l : largest) {
        ui::Dialog d(l.t, nullptr);
        Script().OnDialog([&](ui::Dialog& shown) {
            EXPECT_TRUE(onScreen(shown)) << l.name;
            shown.EndDialog(ui::IDOK);
        });
        d.DoModal();
    }

    CDaimyouListDlg dlg(*gs_, &map_);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_TRUE(onScreen(d));
        const Rect client = d.GetClientRect();
        Rect grid = dlg.Grid().GetWindowRect();
        d.ScreenToClient(grid);
        EXPECT_GE(grid.left, client.left);
        EXPECT_LE(grid.right, client.right);
        EXPECT_EQ(client.right - grid.right, grid.left - client.left);  // the same margins
        Rect close = d.GetDlgItem(ui::IDOK)->GetWindowRect();
        d.ScreenToClient(close);
        EXPECT_LE(close.right, client.right);
        EXPECT_NEAR(close.CenterPoint().x, client.Width() / 2, 1);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("daimyou_list_1024x768")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("daimyou_list_1024x768@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

}  // namespace
}  // namespace rymd::gui_test
