// The player's castle dialogs: castle works and provisions (armament phase), and the family of
// land reclamation, mine development and free markets (domestic phase), driven through the
// window layer on a small world; the slider they use.
#include "game/shell/dialogs/domestic/naisei_dlgs.h"
#include "game/shell/dialogs/domestic/shiro_fushin_dlg.h"
#include "game/state/game_state.h"
#include "gui/gui_test_util.h"
#include "platform/qt/controls.h"
#include "support/castle_world.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

using test::CastleWorld;

// The rectangle of a child in its dialog's client coordinates.
Rect ChildRect(ui::Wnd& dialog, ui::Wnd& child) {
    Rect r = child.GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}

void ClickRow(ui::ListCtrl& list, int row) {
    const Point p = list.ItemRect(row).CenterPoint();
    ui::test::MouseDown(list, p);
    ui::test::MouseUp(list, p);
}

std::string Text(ui::Dialog& d, int id) {
    ui::Wnd* w = d.GetDlgItem(id);
    return w ? w->GetWindowText() : "(missing)";
}

std::vector<std::string> Row(ui::ListCtrl& list, int row) {
    std::vector<std::string> out;
    for (int c = 0; c < list.GetColumnCount(); ++c)
        out.push_back(list.GetItemText(row, c));
    return out;
}

bool Dark(ui::COLORREF c) {
    return ui::GetRValue(c) + ui::GetGValue(c) + ui::GetBValue(c) < 384;
}

int InkIn(const QImage& img, const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += Dark(ui::test::PixelAt(img, x, y)) ? 1 : 0;
    return n;
}

class CastleCommandsTest : public GuiTest {
protected:
    // The next message box: its text is recorded and it is answered.
    void ExpectBox(std::intptr_t answer = ui::IDOK) {
        Script().OnDialog([this, answer](ui::Dialog& d) {
            boxes_.push_back(dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText);
            d.EndDialog(answer);
        });
    }
    std::vector<std::string> boxes_;
};

// ---- Castle works ----------------------------------------------------------------------------------

TEST_F(CastleCommandsTest, WorksListsOrdersAndAppliesOnOk) {
    CastleWorld w;
    w.gs.ShiroTbl[3].kibo = 4;  // raised already this month
    w.gs.ShiroTbl[5].kibo = 5;
    w.gs.ShiroSnapTbl[5].kibo = 5;  // at its maximum
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CShiroFushinDlg&>(d);
        ui::ListCtrl& list = dlg.List();
        EXPECT_EQ(d.GetWindowText(), "城普請");
        EXPECT_EQ(Text(d, CShiroFushinDlg::kFushinId), "城普請");
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetColumnCount(), 6);
        EXPECT_EQ(list.GetColumnWidth(0), 120);
        EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"城1", "5", "3", "250", "1000", "未"}));
        EXPECT_EQ(Row(list, 1)[5], "済");
        EXPECT_EQ(list.GetItemData(2), 5);
        EXPECT_EQ(Text(d, CShiroFushinDlg::kFundsId), "10000");
        EXPECT_FALSE(d.GetDlgItem(CShiroFushinDlg::kFushinId)->IsWindowEnabled());

        ClickRow(list, 0);
        EXPECT_TRUE(d.GetDlgItem(CShiroFushinDlg::kFushinId)->IsWindowEnabled());
        EXPECT_EQ(Text(d, CShiroFushinDlg::kCostId), "（必要資金 3000）");
        // The selected row is drawn highlighted.
        const QImage img = ui::test::Grab(d);
        const Rect item = list.ItemRect(0);
        const Rect at = ChildRect(d, list);
        EXPECT_NE(Rgb(ui::test::PixelAt(img, at.left + item.left + 80, at.top + item.CenterPoint().y)),
                  Rgb(ui::RGB(255, 255, 255)));
        EXPECT_EQ(
            Rgb(ui::test::PixelAt(img, at.left + item.left + 80, at.top + list.ItemRect(1).CenterPoint().y)),
            Rgb(ui::RGB(255, 255, 255)));
        ASSERT_TRUE(ui::test::ClickControl(d, CShiroFushinDlg::kFushinId));
        EXPECT_EQ(Row(list, 0)[2], "4");
        EXPECT_EQ(Row(list, 0)[5], "済");
        EXPECT_EQ(Text(d, CShiroFushinDlg::kCostId), "（実行済みです）");
        EXPECT_EQ(Text(d, CShiroFushinDlg::kFundsId), "7000");
        // Refused: ordered already, raised already, at the maximum.
        ASSERT_TRUE(ui::test::ClickControl(d, CShiroFushinDlg::kFushinId));
        ClickRow(list, 1);
        EXPECT_EQ(Text(d, CShiroFushinDlg::kCostId), "（実行済みです）");
        ASSERT_TRUE(ui::test::ClickControl(d, CShiroFushinDlg::kFushinId));
        ClickRow(list, 2);
        ASSERT_TRUE(ui::test::ClickControl(d, CShiroFushinDlg::kFushinId));
        EXPECT_EQ(w.gs.ShiroTbl[1].kibo, 3) << "nothing before OK";
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shiro_fushin_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shiro_fushin_dlg@2x"), 2.0));
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    ExpectBox();
    ExpectBox();
    ExpectBox();
    EXPECT_TRUE(RunShiroFushin(w.gs, 1, nullptr));
    EXPECT_EQ(boxes_,
              (std::vector<std::string>{"実行済みです", "実行済みです", "この城はこれ以上は拡張できません"}));
    EXPECT_EQ(w.gs.ShiroTbl[1].kibo, 4);
    EXPECT_EQ(w.gs.ShiroTbl[3].kibo, 4);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 7000);
}

TEST_F(CastleCommandsTest, WorksCancelAndShortFundsChangeNothing) {
    CastleWorld w;
    w.gs.DaimyouTbl[0].shikin = 2999;
    w.gs.ScenarioWords[8] = "築城";
    const auto before = w.gs.ShiroTbl;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CShiroFushinDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "築城");
        ClickRow(dlg.List(), 0);
        ASSERT_TRUE(ui::test::ClickControl(d, CShiroFushinDlg::kFushinId));
        EXPECT_EQ(Text(d, CShiroFushinDlg::kFundsId), "2999");
        w.gs.DaimyouTbl[0].shikin = 5000;  // enough now: ordered, then cancelled
        ASSERT_TRUE(ui::test::ClickControl(d, CShiroFushinDlg::kFushinId));
        EXPECT_EQ(Text(d, CShiroFushinDlg::kFundsId), "2000");
        ui::test::PressKey(d, ui::VK_ESCAPE);
    });
    ExpectBox();
    EXPECT_FALSE(RunShiroFushin(w.gs, 1, nullptr));
    EXPECT_EQ(boxes_, std::vector<std::string>{"資金が足りません"});
    EXPECT_EQ(w.gs.ShiroTbl[1].kibo, before[1].kibo);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 5000);
}

// ---- Provisions -----------------------------------------------------------------------------------

TEST_F(CastleCommandsTest, ProvisionsByTheThreeControlsAndOk) {
    CastleWorld w;
    w.gs.DaimyouTbl[0].shikin = 7000;
    w.gs.ShiroTbl[3].hyourou = 1005;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CShiroHyourouDlg&>(d);
        ui::ListCtrl& list = dlg.List();
        EXPECT_EQ(d.GetWindowText(), "城兵糧補充");
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"城1", "3", "250", "1000"}));
        EXPECT_FALSE(dlg.Slider().IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(CShiroHyourouDlg::kTenBuddyId)->IsWindowVisible());
        EXPECT_EQ(Text(d, CShiroHyourouDlg::kMaxId), "");

        ClickRow(list, 0);
        EXPECT_TRUE(dlg.Slider().IsWindowEnabled());
        EXPECT_EQ(Text(d, CShiroHyourouDlg::kMaxId), "Max 6000");
        EXPECT_EQ(dlg.Slider().GetRangeMax(), 5000);
        // The slider: End goes to the top of the range.
        dlg.Slider().SetFocus();
        ui::test::PressKey(dlg.Slider(), ui::VK_END);
        EXPECT_EQ(dlg.Order().Amount(0), 5000);
        EXPECT_EQ(Text(d, CShiroHyourouDlg::kAfterId), "6000");
        EXPECT_EQ(list.GetItemText(0, 3), "6000");
        EXPECT_EQ(Text(d, CShiroHyourouDlg::kFundsId), "2000");
        EXPECT_EQ(dlg.OneSpin().GetPos(), 5000);
        EXPECT_EQ(dlg.TenSpin().GetPos(), 500);

        // The next castle may only spend what is left; "+1" and "+10" steps.
        ClickRow(list, 1);
        EXPECT_EQ(dlg.Slider().GetRangeMax(), 2000);
        dlg.OneSpin().Step(+1);
        EXPECT_EQ(dlg.Order().Amount(1), 1);
        dlg.TenSpin().Step(+1);
        EXPECT_EQ(dlg.Order().Amount(1), 11);
        EXPECT_EQ(dlg.OneSpin().GetPos(), 11);
        EXPECT_EQ(Text(d, CShiroHyourouDlg::kFundsId), "1989");
        // A click on the slider's far end spends the rest.
        ui::test::MouseDown(dlg.Slider(), Point(dlg.Slider().GetClientRect().right - 1, 5));
        EXPECT_EQ(dlg.Order().Amount(1), 2000);
        ui::test::MouseUp(dlg.Slider(), Point(dlg.Slider().GetClientRect().right - 1, 5));
        EXPECT_EQ(Text(d, CShiroHyourouDlg::kFundsId), "0");
        // Ones kept with one more ten would overspend: refused, the amount stays.
        dlg.OneSpin().Step(-1);
        EXPECT_EQ(dlg.Order().Amount(1), 1999);
        dlg.TenSpin().Step(+1);
        EXPECT_EQ(dlg.Order().Amount(1), 1999);
        EXPECT_EQ(dlg.TenSpin().GetPos(), 199);
        // Pixels: the thumb stands at the right end, the channel white to its left.
        const QImage img = ui::test::Grab(d);
        const Rect s = ChildRect(d, dlg.Slider());
        const Rect thumb = dlg.Slider().ThumbRect();
        EXPECT_GE(thumb.right, s.Width() - 1);  // 1999 of 2000
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, s.left + thumb.left - 10, s.top + s.Height() / 2)),
                  Rgb(ui::RGB(255, 255, 255)));
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, s.left + thumb.left + 5, s.top + s.Height() / 2)),
                  Rgb(ui::GetSysColor(ui::COLOR_BTNFACE)));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shiro_hyourou_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shiro_hyourou_dlg@2x"), 2.0));
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    ExpectBox();
    EXPECT_TRUE(RunShiroHyourou(w.gs, 1, nullptr));
    EXPECT_EQ(boxes_, std::vector<std::string>{"資金が足りません"});
    EXPECT_EQ(w.gs.ShiroTbl[1].hyourou, 6000u);
    EXPECT_EQ(w.gs.ShiroTbl[3].hyourou, 3004u);
    EXPECT_EQ(w.gs.ShiroTbl[5].hyourou, 1000u);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 1);
}

TEST_F(CastleCommandsTest, ProvisionsLargeHeadroomAndCancel) {
    CastleWorld w;
    w.gs.nShiroHyourouMax = 20000;  // capacity 60000: the "+1" spin cannot count that far
    w.gs.DaimyouTbl[0].shikin = 100000;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CShiroHyourouDlg&>(d);
        ClickRow(dlg.List(), 2);
        dlg.Slider().SetFocus();
        EXPECT_FALSE(dlg.OneSpin().IsWindowVisible());
        EXPECT_FALSE(d.GetDlgItem(CShiroHyourouDlg::kOneLabelId)->IsWindowVisible());
        EXPECT_TRUE(dlg.TenSpin().IsWindowVisible());
        ui::test::PressKey(dlg.Slider(), ui::VK_END);
        EXPECT_EQ(dlg.Order().Amount(2), 59000);
        dlg.TenSpin().Step(-1);
        EXPECT_EQ(dlg.Order().Amount(2), 58990);
        ui::test::PressKey(d, ui::VK_ESCAPE);
    });
    EXPECT_FALSE(RunShiroHyourou(w.gs, 1, nullptr));
    EXPECT_EQ(w.gs.ShiroTbl[5].hyourou, 1000u);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 100000);
}

// ---- Developments -----------------------------------------------------------------------------------

TEST_F(CastleCommandsTest, DevelopmentFamilyTexts) {
    struct Case {
        Development kind;
        int executeId;
        const char* caption;
        const char* prompt;
        std::vector<std::string> row;
    } cases[] = {
        {Development::kKaikon,
         1054,
         "新田開墾",
         "新田開墾する城を指定してください",
         {"城1", "1万0000石", "2万0000石"}},
        {Development::kKouzanKaihatsu,
         1162,
         "鉱山開発",
         "鉱山開発を行う城を指定してください",
         {"城1", "50", "200"}},
        {Development::kRakuichi, 1055, "楽市楽座", "楽市楽座を行う城を指定してください", {"城1", "0", "300"}},
    };
    for (const Case& c : cases) {
        CastleWorld w;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CNaiseiDlg&>(d);
            EXPECT_EQ(d.GetWindowText(), c.caption);
            EXPECT_EQ(Text(d, CNaiseiDlg::kPromptId), c.prompt);
            EXPECT_EQ(Text(d, CNaiseiDlg::kHintId), "政治力の高い武将が国内にいると効果が上がります");
            EXPECT_NE(d.GetDlgItem(c.executeId), nullptr);
            std::vector<std::string> columns;
            ui::ListCtrl& list = dlg.List();
            ASSERT_EQ(list.GetColumnCount(), 3);
            ASSERT_EQ(list.GetItemCount(), 3);
            EXPECT_EQ(Row(list, 0), c.row);
            EXPECT_TRUE(list.GetExtendedStyle() & ui::LVS_EX_CHECKBOXES);
            ui::test::PressKey(d, ui::VK_ESCAPE);
        });
        RunNaisei(c.kind, w.gs, 1, nullptr);
    }
    // The scenario's words for the castle and the development.
    CastleWorld w;
    w.gs.ScenarioWords[4] = "砦";
    w.gs.ScenarioWords[44] = "開拓";
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "開拓");
        EXPECT_EQ(Text(d, CNaiseiDlg::kPromptId), "開拓する砦を指定してください");
        ASSERT_TRUE(ui::test::ClickControl(d, 1054));
        ui::test::PressKey(d, ui::VK_ESCAPE);
    });
    ExpectBox();
    RunNaisei(Development::kKaikon, w.gs, 1, nullptr);
    EXPECT_EQ(boxes_, std::vector<std::string>{"開拓する砦を指定して下さい"});
}

TEST_F(CastleCommandsTest, ReclamationTicksConfirmsAndExecutesOnce) {
    CastleWorld w;
    w.gs.ShiroTbl[3].kokudaka = 15000;        // reclaimed already this month: not listed
    w.gs.ShiroMapTbl[5].maxKokudaka = 10100;  // capped by the formula
    w.gs.DaimyouTbl[0].shikin = 1000;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CNaiseiDlg&>(d);
        ui::ListCtrl& list = dlg.List();
        ASSERT_EQ(list.GetItemCount(), 2);
        // Nothing ticked; then everything, which costs too much; then cancelled at the question.
        ASSERT_TRUE(ui::test::ClickControl(d, 1054));
        ASSERT_TRUE(ui::test::ClickControl(d, CNaiseiDlg::kSelectAllId));
        EXPECT_TRUE(list.GetCheck(0) && list.GetCheck(1));
        w.gs.DaimyouTbl[0].shikin = 999;
        ASSERT_TRUE(ui::test::ClickControl(d, 1054));
        w.gs.DaimyouTbl[0].shikin = 1000;  // exactly enough
        ASSERT_TRUE(ui::test::ClickControl(d, 1054));
        EXPECT_EQ(w.gs.ShiroTbl[1].kokudaka, 10000u);
        // Select all again unticks everything; tick the second row by its box and execute.
        ASSERT_TRUE(ui::test::ClickControl(d, CNaiseiDlg::kSelectAllId));
        EXPECT_FALSE(list.GetCheck(0) || list.GetCheck(1));
        ui::test::MouseDown(list, list.CheckBoxRect(1).CenterPoint());
        ui::test::MouseUp(list, list.CheckBoxRect(1).CenterPoint());
        EXPECT_TRUE(list.GetCheck(1));
        ASSERT_TRUE(ui::test::ClickControl(d, 1054));
        EXPECT_EQ(w.gs.ShiroTbl[5].kokudaka, 10100u) << "changed at once";
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 500);
        ASSERT_EQ(list.GetColumnCount(), 4);
        EXPECT_EQ(Row(list, 0), (std::vector<std::string>{"城1", "1万0000石", "2万0000石", "1万0000石"}));
        EXPECT_EQ(Row(list, 1)[3], "1万0100石");
        EXPECT_FALSE(d.GetDlgItem(1054)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(CNaiseiDlg::kSelectAllId)->IsWindowEnabled());
        // Pixels: the ticked box holds a mark, the unticked one none; the result column is written.
        const QImage img = ui::test::Grab(d);
        const Rect at = ChildRect(d, list);
        Rect box0 = list.CheckBoxRect(0), box1 = list.CheckBoxRect(1);
        box0.OffsetRect(at.left, at.top);
        box1.OffsetRect(at.left, at.top);
        box0.DeflateRect(2, 2);
        box1.DeflateRect(2, 2);
        EXPECT_GT(InkIn(img, box1), InkIn(img, box0) + 5);
        int resultLeft = 0;
        for (int c = 0; c < 3; ++c)
            resultLeft += list.GetColumnWidth(c);
        Rect result = list.ItemRect(1);
        result.left = resultLeft + 2;
        result.OffsetRect(at.left, at.top);
        EXPECT_GT(InkIn(img, result), 20);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kaikon_dlg")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kaikon_dlg@2x"), 2.0));
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    ExpectBox();
    ExpectBox();
    ExpectBox(ui::IDCANCEL);
    ExpectBox(ui::IDOK);
    RunNaisei(Development::kKaikon, w.gs, 1, nullptr);
    EXPECT_EQ(boxes_, (std::vector<std::string>{
                          "新田開墾する城を指定して下さい", "1000の費用が必要ですが、資金が足りません",
                          "1000の費用が必要です。実行しますか？", "500の費用が必要です。実行しますか？"}));
    EXPECT_EQ(w.gs.ShiroTbl[5].kokudaka, 10100u) << "closing undoes nothing";
    EXPECT_GT(w.gs.ShiroTbl[5].support, 500);
}

// ---- The slider --------------------------------------------------------------------------------------

class SliderParent : public HostWindow {
public:
    void OnHScroll(int code, int pos) override { moves.push_back({code, pos}); }
    std::vector<std::pair<int, int>> moves;
};

TEST_F(CastleCommandsTest, SliderKeysClicksAndRange) {
    SliderParent host;
    ASSERT_TRUE(host.Open(200, 40));
    ui::Slider s;
    ASSERT_TRUE(s.Create(ui::WS_VISIBLE | ui::WS_TABSTOP, Rect(0, 0, 111, 20), &host, 7));
    s.SetRange(0, 100);
    s.SetPos(500);
    EXPECT_EQ(s.GetPos(), 100) << "held inside the range";
    s.SetRange(10, 5);
    EXPECT_EQ(s.GetRangeMax(), 10);
    s.SetRange(0, 100);
    s.SetPos(50);
    EXPECT_TRUE(host.moves.empty()) << "SetPos tells nothing";
    s.SetFocus();
    const std::pair<unsigned, int> keys[] = {{ui::VK_RIGHT, 51}, {ui::VK_LEFT, 50}, {ui::VK_NEXT, 60},
                                             {ui::VK_PRIOR, 50}, {ui::VK_HOME, 0},  {ui::VK_END, 100}};
    for (const auto& [key, pos] : keys) {
        ui::test::PressKey(s, key);
        EXPECT_EQ(s.GetPos(), pos) << key;
    }
    EXPECT_EQ(host.moves.back(), (std::pair<int, int>{ui::SB_BOTTOM, 100}));
    // A press on the left end drags the thumb there; letting go tells the final position.
    ui::test::MouseDown(s, Point(0, 10));
    EXPECT_EQ(s.GetPos(), 0);
    ui::test::MouseMove(s, Point(55, 10), true);
    EXPECT_EQ(s.GetPos(), 50);
    ui::test::MouseUp(s, Point(55, 10));
    EXPECT_EQ(host.moves.back(), (std::pair<int, int>{ui::SB_THUMBPOSITION, 50}));
    EXPECT_EQ(s.ThumbRect().left, 50);
}

}  // namespace
}  // namespace rymd::gui_test
