// The corps dialogs on the bundled game (the Oda house): formation (179 "軍団編成"), orders (180
// "軍団指示"), territory (181 "軍団領地割当") with the fief (182 "軍団所領割当") and assets (183
// "軍団資産"): what each click writes into the game, the refusals they show, their looks at stated
// points and gallery pictures at 100 % and 200 %.
#include <algorithm>
#include <string>
#include <vector>

#include "game/shell/dialogs/corps/gundan_hensei_dlg.h"
#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"
#include "game/shell/dialogs/corps/gundan_shiji_dlg.h"
#include "game/shell/dialogs/corps/gundan_shisan_dlg.h"
#include "game/state/access.h"
#include "game/state/gundan.h"
#include "game/state/invariants.h"
#include "gui/bundled_game_fixture.h"
#include "platform/qt/controls.h"

namespace rymd::gui_test {
namespace {

class GundanDlgTest : public BundledGameTest {
protected:
    void SetUp() override {
        BundledGameTest::SetUp();
        house_ = gs_->nPlayerDaimyou;
        head_ = DaimyouAt(*gs_, house_).toushu;
        for (int b : ListDirectBushou(*gs_, house_))
            if (b != head_ && BushouAt(*gs_, b).daimyou == house_) retainers_.push_back(b);
        ASSERT_GE(retainers_.size(), 3u);
    }
    // Queues the answer to a message box that must say text.
    void GundanExpectMessage(const std::string& text, int answer = ui::IDOK) {
        Script().OnDialog([text, answer](ui::Dialog& d) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText, text);
            d.EndDialog(answer);
        });
    }
    int FormGundan(int leader) {
        int k = -1;
        const std::vector<int> chosen{leader};
        EXPECT_TRUE(AppointGundanchou(*gs_, house_, chosen, &k).changed);
        return k;
    }
    // A castle of the house itself in the province.
    int OwnShiroIn(int kuni) const {
        for (int c : ShiroIndexes(*gs_))
            if (ShiroAt(*gs_, c).daimyou == house_ && ShiroMapAt(*gs_, c).kuni == kuni) return c;
        return -1;
    }
    void ExpectInvariants() const {
        const auto broken = FindBrokenInvariant(*gs_);
        EXPECT_FALSE(broken) << *broken;
    }
    static bool GundanEnabled(ui::Dialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
    static void GundanRetype(ui::Dialog& d, int id, const std::string& text) {
        auto* edit = dynamic_cast<ui::Edit*>(d.GetDlgItem(id));
        ASSERT_NE(edit, nullptr);
        edit->SetSel(0, -1);
        ASSERT_TRUE(ui::test::TypeIntoControl(d, id, text));
    }
    static int LineOf(const MbWnd::CCellCtrl& grid, int bushou) {
        for (int l = 0; l < grid.GetLineSize(); ++l)
            if (grid.GetLineData(l) == bushou) return l;
        return -1;
    }
    static void Pick(CGundanHenseiDlg& dlg, MbWnd::CCellCtrl& grid, int gridId,
                     const std::vector<int>& bushou) {
        for (int l = 0; l < grid.GetLineSize(); ++l)
            grid.MultiLineSelect(
                l, std::find(bushou.begin(), bushou.end(), grid.GetLineData(l)) != bushou.end());
        dlg.OnGridSelChange(gridId);
    }

    static void GundanExpectValourOrder(const GameState& gs, const MbWnd::CCellCtrl& grid) {
        for (int l = 1; l < grid.GetLineSize(); ++l)
            EXPECT_GE(BushouAt(gs, grid.GetLineData(l - 1)).buyuu, BushouAt(gs, grid.GetLineData(l)).buyuu)
                << l;
    }

    int house_ = -1;
    int head_ = -1;
    std::vector<int> retainers_;
};

TEST_F(GundanDlgTest, FormationAppointsAddsAndDissolvesWithItsRefusals) {
    GameState& gs = *gs_;
    const int a = retainers_[0], b = retainers_[1], c = retainers_[2];
    gs.DaimyouTbl[house_].shikin = 1000;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGundanHenseiDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "軍団編成");
        MbWnd::CCellCtrl& direct = dlg.DirectGrid();
        EXPECT_EQ(direct.GetLineSize(), static_cast<int>(ListDirectBushou(gs, house_).size()));
        EXPECT_EQ(dlg.GundanGrid().GetLineSize(), 0);
        EXPECT_FALSE(GundanEnabled(d, CGundanHenseiDlg::kAppointId));
        // A real click on the first line picks it and enables the two buttons.
        const Point first = direct.RightPane().CellRect(0, 0).CenterPoint();
        ui::test::MouseDown(direct.RightPane(), first);
        ui::test::MouseUp(direct.RightPane(), first);
        EXPECT_TRUE(direct.GetSelectStat(0));
        EXPECT_TRUE(GundanEnabled(d, CGundanHenseiDlg::kAppointId));
        EXPECT_TRUE(GundanEnabled(d, CGundanHenseiDlg::kAddId));

        // A click on the valour label sorts by valour, larger first; the sort column stays for
        // the rebuilds.
        MbWnd::tagCellNotify label;
        label.hdr.code = MbWnd::kCellLabelClick;
        label.column = 9;
        std::intptr_t result = 0;
        EXPECT_TRUE(dlg.OnNotify(CGundanHenseiDlg::kDirectGridId, &label.hdr, &result));
        GundanExpectValourOrder(gs, direct);
        Pick(dlg, direct, CGundanHenseiDlg::kDirectGridId, {a, b});
        GundanExpectMessage("一人ずつ指定してください");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAppointId));
        Pick(dlg, direct, CGundanHenseiDlg::kDirectGridId, {head_});
        GundanExpectMessage("当主は軍団長には任命できません");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAppointId));
        Pick(dlg, direct, CGundanHenseiDlg::kDirectGridId, {b});
        GundanExpectMessage("軍団が作成されていません");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAddId));
        EXPECT_EQ(dlg.GundanGrid().GetLineSize(), 0);

        Pick(dlg, direct, CGundanHenseiDlg::kDirectGridId, {a});
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAppointId));
        ASSERT_EQ(dlg.GundanGrid().GetLineSize(), 1);
        const int k = dlg.GundanGrid().GetLineData(0);
        EXPECT_EQ(LineOf(direct, a), -1);
        EXPECT_EQ(dlg.GundanGrid().GetCellText(0, 0), BushouAt(gs, a).name + " 軍団");
        EXPECT_EQ(dlg.GundanGrid().GetCellText(0, 5), "待機");

        Pick(dlg, direct, CGundanHenseiDlg::kDirectGridId, {b, c});
        GundanExpectMessage("先に軍団を指定しておいてください");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAddId));
        // A real click on the corps line chooses it.
        MbWnd::CCellPane& corpsPane = dlg.GundanGrid().RightPane();
        const Point corpsLine = corpsPane.CellRect(0, 0).CenterPoint();
        ui::test::MouseDown(corpsPane, corpsLine);
        ui::test::MouseUp(corpsPane, corpsLine);
        EXPECT_EQ(dlg.SelectedGundan(), k);
        EXPECT_EQ(d.GetDlgItem(CGundanHenseiDlg::kMemberLabelId)->GetWindowText(),
                  BushouAt(gs, a).name + " 軍団武将");
        Pick(dlg, direct, CGundanHenseiDlg::kDirectGridId, {head_, b, c});
        GundanExpectMessage("当主は軍団には編入できません\n（臣従大名家当主は可能）");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kAddId));
        for (int l = 0; l < direct.GetLineSize(); ++l)
            EXPECT_FALSE(direct.GetSelectStat(l)) << "rebuilt " << l;
        GundanExpectValourOrder(gs, direct);
        MbWnd::CCellCtrl& members = dlg.MemberGrid();
        ASSERT_EQ(members.GetLineSize(), 3);
        EXPECT_EQ(members.GetCellText(LineOf(members, a), 4), "軍団長");
        EXPECT_EQ(dlg.GundanGrid().GetCellText(0, 1), "3");
        ExpectInvariants();

        // Looks: a picked member line is drawn apart from the others.
        Pick(dlg, members, CGundanHenseiDlg::kMemberGridId, {members.GetLineData(0)});
        members.RedrawWindow();
        const QImage shot = ui::test::Grab(members.RightPane());
        const ui::Rect l0 = members.RightPane().CellRect(0, 1), l1 = members.RightPane().CellRect(1, 1);
        EXPECT_NE(ui::test::PixelAt(shot, l0.left + 3, l0.CenterPoint().y),
                  ui::test::PixelAt(shot, l1.left + 3, l1.CenterPoint().y));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_hensei_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_hensei_dlg@2x"), 2.0));

        // An ordinary member goes back alone; the leader asks, Cancel keeps the corps.
        Pick(dlg, members, CGundanHenseiDlg::kMemberGridId, {c});
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kReturnId));
        EXPECT_EQ(BushouAt(gs, c).gundan, -1);
        const std::string question =
            "軍団を解体します\n\n（軍団資金は大名家資金に統合されます）\n（軍団所領の城は大名直轄に戻されます"
            "）";
        Pick(dlg, members, CGundanHenseiDlg::kMemberGridId, {a});
        GundanExpectMessage(question, ui::IDCANCEL);
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kReturnId));
        EXPECT_FALSE(GundanAt(gs, k).IsFree());
        gs.GundanTbl[k].shikin = 250;
        Pick(dlg, members, CGundanHenseiDlg::kMemberGridId, {a});
        GundanExpectMessage(question, ui::IDOK);
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanHenseiDlg::kReturnId));
        EXPECT_TRUE(GundanAt(gs, k).IsFree());
        EXPECT_EQ(dlg.GundanGrid().GetLineSize(), 0);
        EXPECT_EQ(members.GetLineSize(), 0);
        EXPECT_EQ(BushouAt(gs, b).gundan, -1);
        EXPECT_EQ(gs.DaimyouTbl[house_].shikin, 1250);
        ExpectInvariants();
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    CGundanHenseiDlg dlg(gs, &map_);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(GundanDlgTest, AssetsMoveFundsAndMusketsInSoldierUnits) {
    GameState& gs = *gs_;
    gs.nHeiUnit = 10;
    const int k = FormGundan(retainers_[0]);
    CDaimyou& house = gs.DaimyouTbl[house_];
    house.shikin = 800;
    house.teppou = 200;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGundanShisanDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "軍団資産");
        EXPECT_EQ(d.GetDlgItem(CGundanShisanDlg::kHouseFundsId)->GetWindowText(), "800");
        EXPECT_EQ(d.GetDlgItem(CGundanShisanDlg::kHouseTeppouId)->GetWindowText(), "2000");
        ASSERT_EQ(dlg.List()->GetItemCount(), 1);
        GundanExpectMessage("軍団を選択してください");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveId));
        dlg.ChooseRow(0);
        EXPECT_EQ(dlg.SelectedGundan(), k);
        GundanRetype(d, CGundanShisanDlg::kGiveEditId, "-5");
        GundanExpectMessage("マイナス値は無効です");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveId));
        GundanRetype(d, CGundanShisanDlg::kGiveEditId, "5000");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveId));
        EXPECT_EQ(gs.GundanTbl[k].shikin, 800);
        EXPECT_EQ(d.GetDlgItem(CGundanShisanDlg::kHouseFundsId)->GetWindowText(), "0");
        EXPECT_EQ(dlg.List()->GetItemText(0, 2), "800");
        GundanRetype(d, CGundanShisanDlg::kCollectEditId, "300");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kCollectId));
        EXPECT_EQ(house.shikin, 300);
        GundanRetype(d, CGundanShisanDlg::kTeppouEditId, "25");
        GundanExpectMessage("10の倍数で指定してください");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveTeppouId));
        GundanRetype(d, CGundanShisanDlg::kTeppouEditId, "30");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveTeppouId));
        EXPECT_EQ(gs.GundanTbl[k].teppou, 3);
        EXPECT_EQ(dlg.List()->GetItemText(0, 3), "30");
        GundanRetype(d, CGundanShisanDlg::kTeppouEditId, "30000");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveTeppouId));
        EXPECT_EQ(gs.GundanTbl[k].teppou, 200);
        EXPECT_EQ(house.teppou, 0);
        // The stock is empty: even 0 is refused before the amount is read.
        GundanRetype(d, CGundanShisanDlg::kTeppouEditId, "0");
        GundanExpectMessage("大名家の未配備鉄砲がありません");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveTeppouId));
        ExpectInvariants();
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_shisan_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_shisan_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    CGundanShisanDlg dlg(gs, &map_);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

// A field that holds no whole number is told and moves nothing; the other buttons read only
// their own fields, and OK closes whatever the fields hold (every transfer is already written).
TEST_F(GundanDlgTest, AssetsTellAFieldWithoutANumberAndCloseOnOk) {
    GameState& gs = *gs_;
    const int k = FormGundan(retainers_[0]);
    CDaimyou& house = gs.DaimyouTbl[house_];
    house.shikin = 800;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGundanShisanDlg&>(d);
        dlg.ChooseRow(0);
        ASSERT_EQ(dlg.SelectedGundan(), k);
        for (const char* text : {"99999999999", "abc", "12x", ""}) {
            GundanRetype(d, CGundanShisanDlg::kGiveEditId, text);
            GundanExpectMessage("整数を入力してください");
            EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveId)) << text;
            EXPECT_EQ(house.shikin, 800) << text;
            EXPECT_EQ(gs.GundanTbl[k].shikin, 0) << text;
        }
        GundanRetype(d, CGundanShisanDlg::kCollectEditId, "abc");
        GundanRetype(d, CGundanShisanDlg::kGiveEditId, "300");
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShisanDlg::kGiveId));
        EXPECT_EQ(gs.GundanTbl[k].shikin, 300);
        EXPECT_EQ(house.shikin, 500);
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    CGundanShisanDlg dlg(gs, &map_);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(Script().PendingSteps(), 0u);
}

TEST_F(GundanDlgTest, OrdersSetTheWordAndTheProvincesInCharge) {
    GameState& gs = *gs_;
    const int k = FormGundan(retainers_[0]);
    const int other = FormGundan(retainers_[1]);
    const int owari = Kuni("K_OWARI"), mino = Kuni("K_MINO"), echigo = Kuni("K_ECHIGO");
    gs.GundanTbl[other].tantouKuni[0] = static_cast<std::int16_t>(mino);
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGundanShijiDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "軍団指示");
        for (int id : {CGundanShijiDlg::kTaikiId, CGundanShijiDlg::kBothId, CGundanShijiDlg::kShoryoukaId})
            EXPECT_FALSE(GundanEnabled(d, id)) << id;
        EXPECT_FALSE(d.GetDlgItem(CGundanShijiDlg::kHintId)->IsWindowVisible());
        dlg.OnKuniClick(owari);  // no corps chosen: nothing
        EXPECT_EQ(gs.GundanTbl[k].tantouKuni[0], -1);
        ASSERT_EQ(dlg.List()->GetItemCount(), 2);
        const int row = static_cast<int>(dlg.List()->GetItemData(0)) == k ? 0 : 1;
        dlg.ChooseRow(row);
        EXPECT_EQ(dlg.SelectedGundan(), k);
        EXPECT_TRUE(GundanEnabled(d, CGundanShijiDlg::kShinkouId));
        EXPECT_TRUE(dynamic_cast<ui::Button*>(d.GetDlgItem(CGundanShijiDlg::kTaikiId))->GetCheck());
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShijiDlg::kShinkouId));
        EXPECT_EQ(gs.GundanTbl[k].order, 0x0001);
        EXPECT_TRUE(ui::test::ClickControl(d, CGundanShijiDlg::kShoryoukaId));
        EXPECT_EQ(gs.GundanTbl[k].order, 0x0101);
        dlg.OnKuniClick(owari);
        EXPECT_EQ(gs.GundanTbl[k].tantouKuni[0], owari);
        GundanExpectMessage("既に他の軍団の担当国です（重複指定不可）");
        dlg.OnKuniClick(mino);
        GundanExpectMessage("経路で隣接していない国は指定できません");
        dlg.OnKuniClick(echigo);
        EXPECT_EQ(dlg.List()->GetItemText(row, 5), "侵攻");
        EXPECT_EQ(dlg.List()->GetItemText(row, 6), shell::KuniDisplayName(&map_, owari));
        ExpectInvariants();
        // Looks: the two swatches, and the chosen corps' province painted apart from the clean
        // copy (so that it blinks).
        d.RedrawWindow();
        const QImage shot = ui::test::Grab(d);
        const ui::Rect own =
            dlg.MapDialogRect(ui::DialogItemRect(CGundanShijiDlg::Template(), CGundanShijiDlg::kOwnSwatchId));
        const ui::Rect others = dlg.MapDialogRect(
            ui::DialogItemRect(CGundanShijiDlg::Template(), CGundanShijiDlg::kOtherSwatchId));
        EXPECT_EQ(ui::test::PixelAt(shot, own.CenterPoint().x, own.CenterPoint().y),
                  CGundanShijiDlg::kOwnColour);
        EXPECT_EQ(ui::test::PixelAt(shot, others.CenterPoint().x, others.CenterPoint().y),
                  CGundanShijiDlg::kOtherColour);
        EXPECT_TRUE(dlg.Map().m_BackBmp.GetWidth() > 0);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_shiji_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_shiji_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    CGundanShijiDlg dlg(gs, &map_);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(GundanDlgTest, TerritoryOpensTheFiefWhichTogglesOnlyTheHousesOwnCastles) {
    GameState& gs = *gs_;
    const int leader = retainers_[0];
    const int k = FormGundan(leader);
    const int owari = Kuni("K_OWARI"), mino = Kuni("K_MINO");
    const int c = OwnShiroIn(owari);
    ASSERT_GE(c, 0);
    // The blink levels: 0, 1, 2, 3, 2, 1 of four colours; white for a spectator.
    const ui::COLORREF levels[6] = {ui::RGB(50, 50, 255),   ui::RGB(120, 120, 255), ui::RGB(190, 190, 255),
                                    ui::RGB(255, 255, 255), ui::RGB(190, 190, 255), ui::RGB(120, 120, 255)};
    for (int phase = 0; phase < 6; ++phase) {
        EXPECT_EQ(CGundanRyouchiDlg::BlinkColour(phase, false), levels[phase]) << phase;
        EXPECT_EQ(CGundanRyouchiDlg::BlinkColour(phase, true), ui::RGB(255, 255, 255)) << phase;
    }
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CGundanRyouchiDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "軍団領地割当");
        ASSERT_EQ(dlg.List()->GetItemCount(), 1);
        EXPECT_EQ(dlg.List()->GetItemText(0, 3), "0");
        GundanExpectMessage("先に軍団を選択してください");
        dlg.OnKuniClick(owari);
        dlg.ChooseRow(0);
        EXPECT_EQ(dlg.SelectedGundan(), k);
        Script().OnDialog([&](ui::Dialog& f) {
            auto& fief = dynamic_cast<CGundanShoryouDlg&>(f);
            EXPECT_EQ(f.GetWindowText(), "軍団所領割当");
            EXPECT_EQ(f.GetDlgItem(CGundanShoryouDlg::kTitleId)->GetWindowText(),
                      BushouAt(gs, leader).name + " 軍団の所領の設定");
            EXPECT_EQ(f.GetDlgItem(CGundanShoryouDlg::kKuniNameId)->GetWindowText(),
                      shell::KuniDisplayName(&map_, owari));
            fief.OnShiroClick(c, -1);
            EXPECT_EQ(ShiroAt(gs, c).gundan, k);
            EXPECT_EQ(ShiroAt(gs, c).commander, leader);
            EXPECT_TRUE(ui::test::GrabToPng(f, GalleryPath("gundan_shoryou_dlg")));
            EXPECT_TRUE(ui::test::GrabToPng(f, GalleryPath("gundan_shoryou_dlg@2x"), 2.0));
            fief.OnShiroClick(c, -1);
            EXPECT_EQ(ShiroAt(gs, c).gundan, -1);
            EXPECT_EQ(ShiroAt(gs, c).commander, head_);
            fief.OnShiroClick(c, -1);
            // A click beside the castles switches the province.
            fief.OnShiroClick(-1, mino);
            EXPECT_EQ(fief.m_nKuni, mino);
            EXPECT_EQ(f.GetDlgItem(CGundanShoryouDlg::kKuniNameId)->GetWindowText(),
                      shell::KuniDisplayName(&map_, mino));
            ExpectInvariants();
            EXPECT_TRUE(ui::test::ClickControl(f, ui::IDOK));
        });
        dlg.OnKuniClick(owari);
        EXPECT_EQ(dlg.List()->GetItemText(0, 3), "1");  // refilled after the fief
        // Looks: a castle of the corps is drawn in one of the blink levels, another castle of the
        // house in the plain colour of the house's own castles. Dots lie close on the small map:
        // the castles looked at are ones no later dot covers.
        const auto uncovered = [&](int shiro) {
            const ui::Rect r = dlg.Map().ShiroDotRect(shiro);
            for (int later = shiro + 1; later < gs.nShiro; ++later) {
                const ui::Rect q = dlg.Map().ShiroDotRect(later);
                if (std::abs(q.left - r.left) <= r.Width() + 1 && std::abs(q.top - r.top) <= r.Height() + 1)
                    return false;
            }
            return true;
        };
        std::vector<int> clear;
        for (int s : ShiroIndexes(gs))
            if (ShiroAt(gs, s).daimyou == house_ && uncovered(s)) clear.push_back(s);
        ASSERT_FALSE(clear.empty());
        const int shown = clear.back();
        const auto dotColour = [&](int shiro) {
            dlg.BlinkStep();
            const ui::Point p = dlg.Map().ShiroDotRect(shiro).CenterPoint();
            return dlg.Map().m_BackBmp.GetPixelColor(p.x, p.y);
        };
        if (ShiroAt(gs, shown).gundan == k) {
            ASSERT_TRUE(ToggleGundanShoryou(gs, house_, k, shown));
        }
        EXPECT_EQ(dotColour(shown), ui::RGB(50, 80, 255));
        ASSERT_TRUE(ToggleGundanShoryou(gs, house_, k, shown));
        EXPECT_NE(std::find(std::begin(levels), std::end(levels), dotColour(shown)), std::end(levels));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_ryouchi_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("gundan_ryouchi_dlg@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    CGundanRyouchiDlg dlg(gs, &map_);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

// The fief's castle view names the fief under the house's castles: giving a castle to the corps
// changes the picture (its label reads "軍団所領"), taking it back restores the picture of the
// direct domain, which has no label.
TEST_F(GundanDlgTest, FiefViewLabelsTheCastlesOfTheCorps) {
    GameState& gs = *gs_;
    const int k = FormGundan(retainers_[0]);
    const int owari = Kuni("K_OWARI");
    const int c = OwnShiroIn(owari);
    ASSERT_GE(c, 0);
    const auto fiefPicture = [](shell::CShiroMapWnd& map) {
        std::vector<ui::COLORREF> pixels;
        for (int y = 0; y < map.m_BackBmp.GetHeight(); ++y)
            for (int x = 0; x < map.m_BackBmp.GetWidth(); ++x)
                pixels.push_back(map.m_BackBmp.GetPixelColor(x, y));
        return pixels;
    };
    Script().OnDialog([&](ui::Dialog& f) {
        auto& fief = dynamic_cast<CGundanShoryouDlg&>(f);
        const std::vector<ui::COLORREF> direct = fiefPicture(fief.Map());
        ASSERT_FALSE(direct.empty());
        fief.OnShiroClick(c, -1);
        ASSERT_EQ(ShiroAt(gs, c).gundan, k);
        EXPECT_NE(fiefPicture(fief.Map()), direct);
        fief.OnShiroClick(c, -1);
        ASSERT_EQ(ShiroAt(gs, c).gundan, -1);
        EXPECT_EQ(fiefPicture(fief.Map()), direct);
        EXPECT_TRUE(ui::test::ClickControl(f, ui::IDOK));
    });
    CGundanShoryouDlg fief(gs, &map_);
    fief.m_nKuni = owari;
    fief.m_nGundan = k;
    EXPECT_EQ(fief.DoModal(), ui::IDOK);
}

}  // namespace
}  // namespace rymd::gui_test
