// Display board: background, edge, frames, gradients, stripes, texts and bitmaps on the picture.
#include "mbwnd/display_board.h"
#include "gui/gui_test_util.h"
#include "mbbmp/control_bmp.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CDisplayBoard;
using ui::RGB;

class DisplayBoardTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(host.Open(200, 100));
    }
    void Make(CDisplayBoard& b, int w, int h) { ASSERT_TRUE(b.Create(Rect(5, 5, 5 + w, 5 + h), &host)); }
    static ui::COLORREF At(CDisplayBoard& b, int x, int y) { return b.GetPicture().GetPixel(x, y); }
    HostWindow host;
};

TEST_F(DisplayBoardTest, AFreshBoardIsWhiteWithARaisedGreyEdge) {
    CDisplayBoard b;
    Make(b, 40, 20);
    QImage img = ui::test::Grab(b);
    for (const auto& [x, y, c] :
         std::vector<std::tuple<int, int, ui::COLORREF>>{{0, 0, RGB(255, 255, 255)},
                                                         {20, 0, RGB(255, 255, 255)},
                                                         {0, 10, RGB(255, 255, 255)},
                                                         {20, 10, RGB(255, 255, 255)},
                                                         {20, 19, RGB(127, 127, 127)},
                                                         {39, 10, RGB(127, 127, 127)},
                                                         {39, 0, RGB(127, 127, 127)},
                                                         {0, 19, RGB(127, 127, 127)}}) {
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, x, y)), Rgb(c)) << x << "," << y;
    }
    EXPECT_EQ(b.GetDlgCtrlID(), 1);
    EXPECT_FALSE(b.IsWindowEnabled());
}

TEST_F(DisplayBoardTest, EdgeColoursComeFromTheBackgroundOnlyWhenAsked) {
    CDisplayBoard b;
    Make(b, 30, 10);
    b.SetBackColor(RGB(100, 50, 200), false);
    b.ClearBoard();
    EXPECT_EQ(Rgb(At(b, 0, 0)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(At(b, 29, 9)), Rgb(RGB(127, 127, 127)));
    EXPECT_EQ(Rgb(At(b, 10, 5)), Rgb(RGB(100, 50, 200)));
    b.SetBackColor(RGB(100, 50, 200), true);
    b.ClearBoard();
    EXPECT_EQ(Rgb(At(b, 0, 0)), Rgb(RGB(200, 100, 255)));
    EXPECT_EQ(Rgb(At(b, 29, 9)), Rgb(RGB(50, 25, 100)));
    b.SetSinkMode(true);
    b.ClearBoard();
    EXPECT_EQ(Rgb(At(b, 0, 0)), Rgb(RGB(50, 25, 100)));
    EXPECT_EQ(Rgb(At(b, 29, 9)), Rgb(RGB(200, 100, 255)));
    EXPECT_EQ(CDisplayBoard::CalcHilightColor(RGB(128, 127, 0)), RGB(255, 254, 0));
    EXPECT_EQ(CDisplayBoard::CalcShadowColor(RGB(255, 3, 1)), RGB(127, 1, 0));
}

TEST_F(DisplayBoardTest, SettersShowOnlyAfterClearBoardAndARepaint) {
    CDisplayBoard b;
    Make(b, 30, 10);
    b.SetBackColor(RGB(0, 0, 255), false);
    EXPECT_EQ(Rgb(ui::test::PixelAt(ui::test::Grab(b), 10, 5)), Rgb(RGB(255, 255, 255)));
    b.ClearBoard();
    EXPECT_EQ(Rgb(ui::test::PixelAt(ui::test::Grab(b), 10, 5)), Rgb(RGB(0, 0, 255)));
}

TEST_F(DisplayBoardTest, AVerticalGradientFollowsItsRoundedFormula) {
    CDisplayBoard b;
    Make(b, 20, 11);
    b.SetBackColorVertGradation(RGB(200, 0, 100), RGB(100, 255, 100), false);
    b.ClearBoard();
    // c = first + ((second - first) x y + h / 2) / (h - 1), truncated towards zero.
    for (int y = 1; y < 10; ++y) {
        int r = 200 + (-100 * y + 5) / 10;
        int g = 0 + (255 * y + 5) / 10;
        EXPECT_EQ(Rgb(At(b, 10, y)), Rgb(RGB(r, g, 100))) << "row " << y;
    }
    // The last row (under the edge) would hold 101, not 100.
    b.SetHilightColor(RGB(1, 2, 3));
    b.SetShadowColor(RGB(1, 2, 3));
    b.SetInsideFrameMode(false);
    b.ClearBoard();
    EXPECT_EQ(Rgb(At(b, 0, 0)), Rgb(RGB(1, 2, 3)));
    // Edge colours from the average when asked: (150, 127, 100).
    b.SetBackColorVertGradation(RGB(200, 0, 100), RGB(100, 255, 100), true);
    b.ClearBoard();
    EXPECT_EQ(Rgb(At(b, 5, 0)), Rgb(RGB(255, 254, 200)));
    EXPECT_EQ(Rgb(At(b, 5, 10)), Rgb(RGB(75, 63, 50)));
}

TEST_F(DisplayBoardTest, ADecreasingGradientRoundsTowardsZero) {
    // 200 -> 100 over 11 rows: row y holds 200 + (-100 y + 5) / 10, so row 10 would hold 101
    // (it is covered by the bottom edge); the rows above show the truncation of negative steps.
    CDisplayBoard b;
    Make(b, 20, 11);
    b.SetBackColorVertGradation(RGB(200, 200, 200), RGB(100, 100, 100), false);
    b.ClearBoard();
    const std::pair<int, int> rows[] = {{1, 191}, {2, 181}, {5, 151}, {9, 111}};
    for (const auto& [y, v] : rows)
        EXPECT_EQ(Rgb(At(b, 10, y)), Rgb(RGB(v, v, v))) << "row " << y;
}

TEST_F(DisplayBoardTest, AHorizontalGradientRunsByColumn) {
    CDisplayBoard b;
    Make(b, 11, 6);
    b.SetBackColorHorzGradation(RGB(0, 0, 0), RGB(100, 200, 50), false);
    b.ClearBoard();
    for (int x = 1; x < 10; ++x) {
        ui::COLORREF c = RGB((100 * x + 5) / 10, (200 * x + 5) / 10, (50 * x + 5) / 10);
        EXPECT_EQ(Rgb(At(b, x, 3)), Rgb(c)) << "column " << x;
        EXPECT_EQ(At(b, x, 2), At(b, x, 3));
    }
}

TEST_F(DisplayBoardTest, StripesLightenOddRowsOfAVerticalGradientOnly) {
    struct Case {
        const char* name;
        int kind;  // 0 solid, 1 vertical, 2 horizontal
        bool striped;
    } cases[] = {{"vertical", 1, true}, {"solid", 0, false}, {"horizontal", 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDisplayBoard b;
        Make(b, 12, 12);
        const ui::COLORREF col = RGB(100, 160, 220);
        if (c.kind == 0) b.SetBackColor(col, false);
        if (c.kind == 1) b.SetBackColorVertGradation(col, col, false);
        if (c.kind == 2) b.SetBackColorHorzGradation(col, col, false);
        b.SetStripeMode(true);
        b.ClearBoard();
        EXPECT_EQ(Rgb(At(b, 5, 4)), Rgb(col));
        EXPECT_EQ(Rgb(At(b, 5, 5)), Rgb(c.striped ? RGB(125, 200, 255) : col));
    }
}

TEST_F(DisplayBoardTest, TheInsideFrameLeavesTheSecondLastColumnAndRow) {
    CDisplayBoard b;
    Make(b, 20, 12);
    b.SetBackColor(RGB(10, 10, 10), false);
    b.SetInsideFrameMode(true);
    b.SetInsideFrameColor(RGB(0, 200, 0));
    b.ClearBoard();
    const ui::COLORREF f = RGB(0, 200, 0);
    const ui::COLORREF bg = RGB(10, 10, 10);
    for (const auto& [x, y, c] : std::vector<std::tuple<int, int, ui::COLORREF>>{{1, 1, f},
                                                                                 {16, 1, f},
                                                                                 {17, 1, f},
                                                                                 {18, 1, bg},
                                                                                 {1, 9, f},
                                                                                 {1, 10, bg},
                                                                                 {17, 9, f},
                                                                                 {10, 9, f},
                                                                                 {10, 10, bg},
                                                                                 {10, 5, bg},
                                                                                 {2, 2, bg}}) {
        EXPECT_EQ(Rgb(At(b, x, y)), Rgb(c)) << x << "," << y;
    }
}

TEST_F(DisplayBoardTest, TextsGetAnUnderlineAndAShadowWhenAsked) {
    CDisplayBoard b;
    Make(b, 80, 30);
    b.SetUnderLineMode(true);
    b.SetUnderLineColor(RGB(0, 0, 255));
    Rect r(10, 5, 50, 25);
    b.DrawTextA("", &r, ui::DT_LEFT);
    EXPECT_EQ(Rgb(At(b, 10, 23)), Rgb(RGB(0, 0, 255)));
    EXPECT_EQ(Rgb(At(b, 49, 23)), Rgb(RGB(0, 0, 255)));
    EXPECT_EQ(Rgb(At(b, 50, 23)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(At(b, 20, 24)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(At(b, 20, 22)), Rgb(RGB(255, 255, 255)));

    b.SetUnderLineMode(false);
    b.ClearBoard();
    b.SetTextColor(RGB(255, 0, 0));
    b.SetTextShadowMode(true);
    Rect t(10, 5, 70, 25);
    b.DrawTextA("■", &t, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    int red = 0;
    int black = 0;
    for (int y = 5; y < 26; ++y)
        for (int x = 10; x < 71; ++x) {
            red += At(b, x, y) == RGB(255, 0, 0);
            ui::COLORREF p = At(b, x, y);
            black += ui::GetRValue(p) < 100 && ui::GetGValue(p) < 100 && ui::GetBValue(p) < 100;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(black, 5);
}

TEST_F(DisplayBoardTest, BitmapsAndFillsGoOntoThePicture) {
    CDisplayBoard b;
    Make(b, 40, 20);
    MbBmp::CControlBmp bmp;
    ASSERT_TRUE(bmp.CreateBitmap(3, 2, 24));
    bmp.SetPixelColor(0, 0, RGB(10, 20, 30));
    bmp.SetPixelColor(2, 1, RGB(200, 100, 50));
    b.DrawBmp(bmp.GetHbmp(), Point(7, 4));
    EXPECT_EQ(Rgb(At(b, 7, 4)), Rgb(RGB(10, 20, 30)));
    EXPECT_EQ(Rgb(At(b, 9, 5)), Rgb(RGB(200, 100, 50)));
    EXPECT_EQ(Rgb(At(b, 10, 5)), Rgb(RGB(255, 255, 255)));
    Rect f(20, 2, 25, 4);
    b.FillSolidRect(&f, RGB(1, 2, 3));
    EXPECT_EQ(Rgb(At(b, 24, 3)), Rgb(RGB(1, 2, 3)));
    EXPECT_EQ(Rgb(At(b, 25, 3)), Rgb(RGB(255, 255, 255)));
}

TEST_F(DisplayBoardTest, ClicksOnTheDisabledBoardReachItsParent) {
    CDisplayBoard b;
    Make(b, 40, 20);
    Point p(10, 10);
    b.ClientToScreen(p);
    EXPECT_EQ(ui::Wnd::WindowFromPoint(p), &host);
}

}  // namespace
}  // namespace rymd::gui_test
