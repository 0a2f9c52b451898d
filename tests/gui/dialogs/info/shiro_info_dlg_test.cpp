// The castle information dialog: its texts as the castle stands, the general lists with their
// columns, sorting and commentaries, the warship section, and the pictures.
#include "game/shell/dialogs/info/shiro_info_dlg.h"

#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/state/access.h"
#include "game/state/vocabulary.h"
#include "gui/gui_test_util.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

class ShiroInfoDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        shell::PictureStore().SetFolder(shell::FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
        // Castle 0 of house 0, besieged by house 1; castle 1 a plain inland castle.
        TestWorld& w = world_;
        w.Own(1, 0);
        GameState& gs = w.gs;
        gs.nShiroHyourouMax = 2000;
        CShiro& s = gs.ShiroTbl[0];
        s.kibo = 3;
        s.kokudaka = 123456;
        s.keizai = 80;
        s.kouzan = 12;
        s.shubihei = 45;
        s.hyourou = 3500;
        s.support = 875;
        s.siegeValue = 150;
        s.kouekisen = 5;
        s.voyage[0].ships = 2;
        s.gunsenBuilding = 0x23;  // two months left, three ships
        ShiroMapRecord& m = gs.ShiroMapTbl[0];
        m.name = "清洲城";
        m.maxKibo = 6;
        m.maxKokudaka = 250000;
        m.maxKeizai = 150;
        m.maxKouzan = 40;
        m.flags = ShiroMapRecord::kFlagPort | ShiroMapRecord::kFlagWaterway;
        lord_ = w.AddBushou(0, 0, {.name = "織田信長", .foot = 30, .cavalry = 5, .buyuu = 8});
        gs.DaimyouTbl[0].toushu = lord_;
        s.commander = static_cast<std::int16_t>(lord_);
        retainer_ = w.AddBushou(0, 0, {.name = "柴田勝家", .foot = 20, .cavalry = 8, .buyuu = 9});
        besieger_ = w.Besiege(0, 1, {.name = "今川義元", .foot = 50, .cavalry = 10});
        gs.ShiroTbl[1].commander = -1;
        gs.ShiroMapTbl[1].name = "小牧山城";
        gs.ShiroMapTbl[1].flags = 0;
        gs.ShiroMapTbl[1].maxKouzan = 0;
        // Warships at castle 0: house 0 in three ordinary records, house 1 in three blockades.
        for (int i = 0; i < 3; ++i) {
            gs.GunsenTable.records[gs.GunsenTable.count++] = {0, 0, 0, static_cast<std::int16_t>(2 + i),
                                                              0xFFFF};
            gs.GunsenTable.records[gs.GunsenTable.count++] = {GunsenRecord::kFlagBlockade, 1, 0,
                                                              static_cast<std::int16_t>(4 + i), 0xFFFF};
        }
        // A commentary for the castle and one for the retainer.
        gs.ScenarioTextPool = {"尾張の中心の城。", "織田家の宿老。"};
        m.textIndex = 0;
        gs.ShiroMapTbl[1].textIndex = 0xFFFF;
        w.SetLine(retainer_, 0, 1);
        gs.BushouExTbl[static_cast<std::size_t>(gs.BushouTbl[retainer_].id)].textIndex = 1;
    }

    TestWorld world_{{.castles = 2, .houses = 2, .soldierUnit = 10}};
    int lord_ = -1, retainer_ = -1, besieger_ = -1;
};

std::string ValueAt(const ShiroInfoTexts& t, int x, int line) {
    for (const ShiroInfoTexts::BoardText& v : t.values)
        if (v.x == x && v.line == line) return v.text;
    return "(none)";
}

TEST_F(ShiroInfoDlgTest, TextsShowTheCastleAsItStands) {
    const GameState& gs = world_.gs;
    const ShiroInfoTexts t = MakeShiroInfoTexts(gs, 0);
    const struct {
        int x, line;
        std::string text;
    } values[] = {
        {10, 0, "城主　織田信長"},
        {150, 0, "石高　12万3456石 (Max 25万0000石)"},
        {370, 0, "守備兵　450"},
        {530, 0, "12"},
        {650, 0, "待機 3"},  // five ships, two at sea
        {10, 1, "城規模　3 (Max 6)"},
        {150, 1, "経済　80 (Max 150)"},
        {370, 1, "民衆支持率　 87.5%"},
        {530, 1, "Max 40"},
        {650, 1, "航海 2"},
    };
    for (const auto& v : values)
        EXPECT_EQ(ValueAt(t, v.x, v.line), v.text) << v.x << "/" << v.line;
    EXPECT_EQ(t.provisions, "兵糧 3500 (Max6000)");
    // Size 3 with damage 150: the outer ring has fallen, the middle one is half taken.
    EXPECT_EQ(t.siegeLevelStates[0], "0%");
    EXPECT_EQ(t.siegeLevelStates[1], "50%");
    EXPECT_EQ(t.siegeLevelStates[2], "陥落");
    EXPECT_EQ(t.siegeLevelNames[2], gs.ScenarioWords[kWordShiroLevel1 + 2]);
    for (int n = 3; n < 10; ++n)
        EXPECT_TRUE(t.siegeLevelNames[static_cast<std::size_t>(n)].empty() &&
                    t.siegeLevelStates[static_cast<std::size_t>(n)].empty());
    EXPECT_EQ(t.besiegerHouse, gs.DaimyouTbl[1].name);
    EXPECT_EQ(t.troopSums, (std::array<int, 4>{130, 500, 100, 500}));
    EXPECT_EQ(t.building, "建造中 3");
    // One house's three ordinary fleets make one row; three blockades three rows.
    ASSERT_EQ(t.lyingFleets.size(), 1u);
    EXPECT_EQ(t.lyingFleets[0].ships, 9);
    EXPECT_EQ(t.lyingTotal, 9);
    ASSERT_EQ(t.blockadeFleets.size(), 3u);
    EXPECT_EQ(t.blockadeFleets[2].ships, 6);
    EXPECT_EQ(t.blockadeTotal, 15);

    // The inland castle without a lord, mine or besiegers.
    const ShiroInfoTexts inland = MakeShiroInfoTexts(gs, 1);
    EXPECT_EQ(ValueAt(inland, 10, 0), "城主　---");
    EXPECT_EQ(ValueAt(inland, 530, 0), "(none)");
    EXPECT_EQ(ValueAt(inland, 650, 1), "(none)");
    EXPECT_TRUE(inland.besiegerHouse.empty());
    EXPECT_TRUE(inland.master.empty());
}

TEST_F(ShiroInfoDlgTest, GeneralRowsGiveRankAgeTroopsAndTheOrderOfThePlayersSide) {
    GameState& gs = world_.gs;
    gs.nCurYear = 1560;
    CBushou& lord = gs.BushouTbl[lord_];
    lord.birthYear = 1534;
    EXPECT_EQ(ShiroInfoBushouRow(gs, lord_)[2], "当主");
    EXPECT_EQ(ShiroInfoBushouRow(gs, lord_)[3], "26");
    lord.flags |= CBushou::kFlagDeathType1;
    EXPECT_EQ(ShiroInfoBushouRow(gs, lord_)[3], "26?");
    lord.flags |= CBushou::kFlagDeathType2;
    EXPECT_EQ(ShiroInfoBushouRow(gs, lord_)[3], "---");
    const std::vector<std::string> row = ShiroInfoBushouRow(gs, retainer_);
    EXPECT_EQ(row[1], gs.DaimyouTbl[0].name);
    EXPECT_EQ(row[2], "");
    EXPECT_EQ(row[4], "80");
    EXPECT_EQ(row[5], "200");
    EXPECT_EQ(row[7], "9");
    // A corps: its leader and a member.
    const int corps = world_.AddGundan(0, retainer_);
    gs.BushouTbl[retainer_].gundan = static_cast<std::int16_t>(corps);
    const int member = world_.AddBushou(0, 0, {.name = "森可成", .gundan = corps});
    EXPECT_EQ(ShiroInfoBushouRow(gs, retainer_)[2], "軍団長");
    EXPECT_EQ(ShiroInfoBushouRow(gs, member)[2], "柴田勝家 軍団");
    // A guest general of a vassal house goes by the master's name.
    const int guest = world_.AddBushou(1, 1);
    gs.BushouTbl[guest].status = CBushou::kStatusKyakushou;
    gs.DaimyouTbl[1].bond = CDaimyou::kBondShinjuu;
    gs.DaimyouTbl[1].masterDaimyou = 0;
    EXPECT_EQ(ShiroInfoBushouRow(gs, guest)[2], gs.DaimyouTbl[0].name + " 客将");

    // The order column, by phase, for a general of the player's house with an order.
    CBushou& r = gs.BushouTbl[retainer_];
    r.flags |= CBushou::kFlagOrdered;
    r.moveShiro = 1;
    r.sortieShiro = -1;
    const struct {
        int phase;
        const char* action;
    } phases[] = {{1, ""}, {3, "済"}, {5, "移動"}, {6, ""}};
    for (const auto& p : phases) {
        gs.nPhase = p.phase;
        EXPECT_EQ(ShiroInfoBushouRow(gs, retainer_)[12], p.action) << p.phase;
    }
}

TEST_F(ShiroInfoDlgTest, TheOrderColumnOnlyForThePlayersSideInItsPhases) {
    GameState& gs = world_.gs;
    const struct {
        int phase;
        bool inside, besiegers;
    } cases[] = {{1, false, false}, {3, true, false}, {5, true, false}, {6, true, false}};
    for (const auto& c : cases) {
        gs.nPhase = c.phase;
        EXPECT_EQ(ShiroInfoShowsAction(gs, 0, false), c.inside) << c.phase;
        EXPECT_EQ(ShiroInfoShowsAction(gs, 0, true), c.besiegers) << c.phase;
    }
    // The besiegers' column: only in the strategy phase, and only when they are the player's.
    gs.nPlayerDaimyou = 1;
    gs.nPhase = 5;
    EXPECT_TRUE(ShiroInfoShowsAction(gs, 0, true));
    EXPECT_FALSE(ShiroInfoShowsAction(gs, 0, false));
    gs.nPhase = 6;
    EXPECT_FALSE(ShiroInfoShowsAction(gs, 0, true));
}

TEST_F(ShiroInfoDlgTest, DialogListsSortsAndShowsCommentaries) {
    GameState& gs = world_.gs;
    gs.nPhase = 5;
    CShiroInfoDlg dlg(gs, nullptr, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl* inside = dlg.BushouList();
        ui::ListCtrl* besiegers = dlg.BesiegerList();
        ASSERT_NE(inside, nullptr);
        ASSERT_NE(besiegers, nullptr);
        EXPECT_EQ(d.GetWindowText(), "城情報");
        EXPECT_EQ(inside->GetColumnCount(), 13) << "the player's castle in the strategy phase";
        EXPECT_EQ(besiegers->GetColumnCount(), 12);
        ASSERT_EQ(inside->GetItemCount(), 2);
        EXPECT_EQ(inside->GetItemText(0, 0), "織田信長");
        EXPECT_EQ(inside->GetItemImage(0), 0);
        EXPECT_EQ(inside->GetItemImage(1), 1) << "the retainer has a commentary";
        EXPECT_EQ(inside->GetFirstSelectedItem(), 0);
        EXPECT_TRUE(besiegers->IsWindowEnabled());
        EXPECT_EQ(d.GetDlgItem(CShiroInfoDlg::kBesiegerHouseId)->GetWindowText(), gs.DaimyouTbl[1].name);
        EXPECT_EQ(d.GetDlgItem(CShiroInfoDlg::kSumIds[0])->GetWindowText(), "130");
        EXPECT_EQ(d.GetDlgItem(CShiroInfoDlg::kLyingTotalId)->GetWindowText(), "総数  9");
        EXPECT_EQ(d.GetDlgItem(CShiroInfoDlg::kBlockadeTotalId)->GetWindowText(), "総数 15");
        EXPECT_EQ(dlg.BlockadeList()->GetItemCount(), 3);
        EXPECT_TRUE(d.GetDlgItem(CShiroInfoDlg::kKaisetsuId)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(CShiroInfoDlg::kMasterInfoId)->IsWindowVisible()) << "no vassal";

        // The valour column sorts the largest first.
        const ui::Rect first = inside->ItemRect(0);
        int x = 2;
        for (int c = 0; c < 7; ++c)
            x += inside->GetColumnWidth(c);
        ui::test::MouseDown(*inside, ui::Point(x + 5, first.top - 4));
        ui::test::MouseUp(*inside, ui::Point(x + 5, first.top - 4));
        EXPECT_EQ(inside->GetItemText(0, 0), "柴田勝家");

        // A click on the retainer (now first) shows his commentary; on the lord nothing opens.
        bool shown = false;
        Script().OnDialog([&](ui::Dialog& box) {
            auto* msg = dynamic_cast<CEventMsgDlg*>(&box);
            ASSERT_NE(msg, nullptr);
            EXPECT_EQ(msg->m_strCaption, "武将解説");
            EXPECT_EQ(msg->m_strTitle, "柴田勝家");
            EXPECT_EQ(msg->m_strText, "織田家の宿老。");
            shown = true;
            box.EndDialog(ui::IDCANCEL);
        });
        ui::test::MouseDown(*inside, inside->ItemRect(0).CenterPoint());
        ui::test::MouseUp(*inside, inside->ItemRect(0).CenterPoint());
        EXPECT_TRUE(shown);
        ui::test::MouseDown(*inside, inside->ItemRect(1).CenterPoint());
        ui::test::MouseUp(*inside, inside->ItemRect(1).CenterPoint());
        // Enter on the selected row does what the click does: the lord has no commentary.
        inside->SetFocus();
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_TRUE(d.IsWindowVisible()) << "Enter on a list is the row's, not the dialog's";

        // The castle's commentary.
        Script().OnDialog([&](ui::Dialog& box) {
            auto* msg = dynamic_cast<CEventMsgDlg*>(&box);
            ASSERT_NE(msg, nullptr);
            EXPECT_EQ(msg->m_strCaption, "城解説");
            EXPECT_EQ(msg->m_strTitle, "清洲城");
            box.EndDialog(ui::IDCANCEL);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CShiroInfoDlg::kKaisetsuId));
        EXPECT_EQ(Script().DialogsShown().size(), 3u);
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(ShiroInfoDlgTest, AnInlandCastleHasNoWarshipsAndNoBesiegers) {
    CShiroInfoDlg dlg(world_.gs, nullptr, 1);
    Script().OnDialog([&](ui::Dialog& d) {
        for (int id : {CShiroInfoDlg::kLyingListId, CShiroInfoDlg::kBlockadeListId,
                       CShiroInfoDlg::kLyingTotalId, CShiroInfoDlg::kBuildingId})
            EXPECT_FALSE(d.GetDlgItem(id)->IsWindowVisible()) << id;
        EXPECT_FALSE(dlg.BesiegerList()->IsWindowEnabled());
        EXPECT_EQ(d.GetDlgItem(CShiroInfoDlg::kBesiegerHouseId)->GetWindowText(), "");
        EXPECT_FALSE(d.GetDlgItem(CShiroInfoDlg::kKaisetsuId)->IsWindowEnabled());
        EXPECT_EQ(dlg.BushouList()->GetItemCount(), 0);
        d.EndDialog(ui::IDCANCEL);
    });
    dlg.DoModal();
}

TEST_F(ShiroInfoDlgTest, BoardsAtStatedPointsAndGallery) {
    CShiroInfoDlg dlg(world_.gs, nullptr, 0);
    Script().OnDialog([&](ui::Dialog& d) {
        // The siege board: rows 14 pixels high from y 1, alternately light and lighter.
        const ui::Bitmap& siege = dlg.SiegeBoard().GetPicture();
        const ui::COLORREF even = siege.GetPixel(2, 1 + 3);
        const ui::COLORREF odd = siege.GetPixel(2, 1 + 14 + 3);
        EXPECT_EQ(even, ui::RGB(245, 245, 245));
        EXPECT_EQ(odd, ui::RGB(235, 235, 235));
        EXPECT_EQ(siege.GetPixel(2, 1 + 9 * 14 + 3), ui::RGB(235, 235, 235)) << "row 9, beyond the size";
        // Text in the rows of the castle's rings, none in the rows beyond.
        auto inked = [&](int row) {
            int dark = 0;
            for (int y = 1 + row * 14; y < 1 + (row + 1) * 14; ++y)
                for (int x = 0; x < siege.Width(); ++x)
                    dark += ui::GetRValue(siege.GetPixel(x, y)) < 128;
            return dark;
        };
        EXPECT_GT(inked(0), 0);
        EXPECT_GT(inked(2), 0);
        EXPECT_EQ(inked(3), 0);
        // The values board: the lord's text starts at x 10 of the first line (y 9..25).
        const ui::Bitmap& values = dlg.ValuesBoard().GetPicture();
        int darkLeft = 0, darkBefore = 0;
        for (int y = 9; y < 25; ++y) {
            for (int x = 10; x < 40; ++x)
                darkLeft += ui::GetRValue(values.GetPixel(x, y)) < 100;
            for (int x = 0; x < 9; ++x)
                darkBefore += ui::GetRValue(values.GetPixel(x, y)) < 100;
        }
        EXPECT_GT(darkLeft, 0);
        EXPECT_EQ(darkBefore, 0);
        // The support figure ends before the mine icon: no ink of it in the three columns left of
        // the icon on the second line (y 31..47), and the icon no further left than x 475.
        const int icons = dlg.ValuesIconsX();
        EXPECT_GE(icons, 475);
        int inkBeforeIcon = 0;
        for (int y = 31; y < 47; ++y)
            for (int x = icons - 3; x < icons; ++x)
                inkBeforeIcon += ui::GetRValue(values.GetPixel(x, y)) < 100;
        EXPECT_EQ(inkBeforeIcon, 0);
        // The castle's picture fills its place (150 x 113 units from (7, 67)): no button face there.
        const ui::Rect picture = d.MapDialogRect(ui::Rect(7, 67, 157, 180));
        const QImage shown = ui::test::Grab(d);
        int face = 0;
        for (int y = picture.top + 2; y < picture.bottom - 2; y += 7)
            for (int x = picture.left + 2; x < picture.right - 2; x += 7)
                face += ui::test::PixelAt(shown, x, y) == ui::GetSysColor(ui::COLOR_BTNFACE);
        EXPECT_EQ(face, 0);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shiro_info")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shiro_info@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

}  // namespace
}  // namespace rymd::gui_test
