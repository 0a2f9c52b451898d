// The control library's smaller windows: the tip window, the round button and the two edit
// boxes.
#include "gui/gui_test_util.h"
#include "mbwnd/edit_boxes.h"
#include "mbwnd/round_button.h"
#include "mbwnd/tip_wnd.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CTipWnd;
using ui::RGB;

class PeripheryTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(host.Open(200, 100));
    }
    HostWindow host;
};

TEST_F(PeripheryTest, TheTipStandsAboveThePointAndMovesAwayFromTheDesktopEdges) {
    CTipWnd tip;
    ASSERT_TRUE(tip.Create(&host));
    EXPECT_FALSE(tip.IsWindowVisible());
    const int deskW = ui::GetSystemMetrics(ui::SM_CXSCREEN);
    struct Case {
        const char* name;
        Point at;
        std::uint32_t flags;
        bool left;  // stands left of the point
        int below;  // -1 above the point, else the top's distance below it
    } cases[] = {
        {"middle", Point(300, 300), 0, false, -1},
        {"right edge", Point(deskW - 10, 300), 0, true, -1},
        {"top edge", Point(300, 5), 0, false, 0},
        {"top edge under the cursor", Point(300, 5), CTipWnd::kBelowCursor, false, 16},
        {"top right corner keeps no cursor gap", Point(deskW - 10, 5), CTipWnd::kBelowCursor, true, 0},
    };
    for (const Case& c : cases) {
        tip.Activate("城を攻める\n兵糧が足りない", c.at, c.flags, Point(-1, -1));
        EXPECT_TRUE(tip.IsActivated());
        EXPECT_TRUE(tip.IsWindowVisible());
        const Rect r = tip.GetWindowRect();
        EXPECT_EQ(r.left, c.left ? c.at.x - r.Width() : c.at.x) << c.name;
        if (c.below < 0)
            EXPECT_EQ(r.bottom, c.at.y) << c.name;
        else
            EXPECT_EQ(r.top, c.at.y + c.below) << c.name;
        // Sized to the text: the widest line + 8, two lines + 4.
        EXPECT_EQ(r.Height(), 2 * PGothicTextHeight() + 4) << c.name;
    }
    EXPECT_FALSE(tip.HasTimer(CTipWnd::kTimerId));  // flags 0: stays until told
    QImage img = ui::test::Grab(tip);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 0, 0)), Rgb(RGB(0, 0, 0)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 2, 2)), Rgb(RGB(255, 255, 196)));
    ui::test::GrabToPng(tip, GalleryPath("tip_window"));
    ui::test::GrabToPng(tip, GalleryPath("tip_window@2x"), 2.0);
    tip.Disappear();
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_FALSE(tip.IsActivated());
}

TEST_F(PeripheryTest, TheTipHidesAfterThirtyTicksOrWhenTheMouseLeaves) {
    CTipWnd tip;
    ASSERT_TRUE(tip.Create(&host));
    tip.Activate("時間切れ", Point(300, 300), CTipWnd::kHideAfterTime, Point(-1, -1));
    for (int i = 0; i < 29; ++i)
        ASSERT_TRUE(ui::test::FireTimer(tip, CTipWnd::kTimerId));
    EXPECT_TRUE(tip.IsActivated());
    ui::test::FireTimer(tip, CTipWnd::kTimerId);
    EXPECT_FALSE(tip.IsActivated());
    EXPECT_FALSE(tip.HasTimer(CTipWnd::kTimerId));

    const Point check(400, 400);
    ui::SetCursorPos(check);
    tip.Activate("近くに", Point(300, 300), CTipWnd::kHideOnMouseLeave, check);
    ui::SetCursorPos(Point(407, 393));
    ui::test::FireTimer(tip, CTipWnd::kTimerId);
    EXPECT_TRUE(tip.IsActivated());
    ui::SetCursorPos(Point(400, 408));
    ui::test::FireTimer(tip, CTipWnd::kTimerId);
    EXPECT_FALSE(tip.IsActivated());
}

TEST_F(PeripheryTest, TheRoundButtonsFaceFollowsItsShape) {
    // A 20-pixel-tall face: corner radius 25 work pixels, 6 pixels once reduced.
    const QImage work = MbWnd::CRoundButton::WorkPicture(60, 20, RGB(255, 200, 100), RGB(120, 60, 0), 2);
    auto at = [&](int x, int y) { return Rgb(ui::test::PixelAt(work, x, y)); };
    const std::string outside = Rgb(MbWnd::CRoundButton::kOutside);
    EXPECT_EQ(at(8 + 24, 8), outside);  // the top row starts at R - 0 = 25
    EXPECT_NE(at(8 + 25, 8), outside);
    EXPECT_EQ(at(8 + 30, 8), Rgb(RGB(255, 255, 255)));         // faded to white at the top edge
    EXPECT_EQ(at(8, 8 + 30), Rgb(RGB(255, 255, 255)));         // the lit left edge of the middle rows
    EXPECT_EQ(at(8 + 4 * 56 - 1, 8 + 30), Rgb(RGB(0, 0, 0)));  // the shaded right edge
    EXPECT_EQ(at(3, 3), outside);

    MbWnd::CRoundButton b;
    ASSERT_TRUE(b.Create("出陣", ui::WS_VISIBLE | ui::BS_OWNERDRAW, Rect(10, 10, 90, 30), &host, 5));
    EXPECT_TRUE(b.NormalFace().IsNull());  // never given colours: nothing drawn
    b.SetColor(RGB(255, 200, 100), RGB(120, 60, 0));
    ASSERT_FALSE(b.NormalFace().IsNull());
    EXPECT_EQ(Rgb(b.NormalFace().GetPixel(0, 0)), outside);
    const ui::COLORREF mid = b.NormalFace().GetPixel(40, 4);
    EXPECT_GT(ui::GetRValue(mid), ui::GetBValue(mid));
    ui::test::GrabToPng(b, GalleryPath("round_button"));
    ui::test::GrabToPng(b, GalleryPath("round_button@2x"), 2.0);

    MbWnd::CRoundButton flat;
    ASSERT_TRUE(flat.Create("", ui::WS_VISIBLE | ui::BS_OWNERDRAW, Rect(10, 40, 50, 44), &host, 6));
    flat.SetColor(RGB(255, 255, 255), RGB(0, 0, 0));
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(Rgb(flat.NormalFace().GetPixel(x, 2)), outside) << x;
}

TEST_F(PeripheryTest, TheExEditBoxPaintsNothingAndKeepsItsText) {
    MbWnd::CExEditBox ex;
    ASSERT_TRUE(ex.Create(ui::WS_VISIBLE, Rect(10, 10, 150, 30), &host, 7));
    ex.SetWindowText("見えない文字");
    EXPECT_EQ(ex.GetWindowText(), "見えない文字");
    QImage img = ui::test::Grab(ex);
    const ui::COLORREF first = ui::test::PixelAt(img, 1, 1);
    for (int y = 1; y < 19; y += 3)
        for (int x = 1; x < 139; x += 3)
            ASSERT_EQ(ui::test::PixelAt(img, x, y), first) << x << "," << y;

    MbWnd::CEditWithSpin plain;
    ASSERT_TRUE(plain.Create(ui::WS_VISIBLE | ui::WS_TABSTOP, Rect(10, 40, 150, 60), &host, 8));
    ASSERT_TRUE(ui::test::TypeIntoControl(host, 8, "12"));
    EXPECT_EQ(plain.GetWindowText(), "12");
    EXPECT_TRUE(std::any_of(host.commands.begin(), host.commands.end(), [](const HostWindow::Command& c) {
        return c.id == 8 && c.code == ui::EN_CHANGE;
    }));
}

}  // namespace
}  // namespace rymd::gui_test
