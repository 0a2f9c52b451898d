// Gradation button: colours, face pixels in each state, focus frame, Enter and clicks.
#include <QPainter>

#include "gui/gui_test_util.h"
#include "platform/qt/dialog.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CGradationButton;
using ui::RGB;

constexpr ui::COLORREF kTop = RGB(235, 231, 222);     // button face (212, 208, 200) x 10 / 9
constexpr ui::COLORREF kBottom = RGB(169, 166, 160);  // x 4 / 5

ui::COLORREF Div(ui::COLORREF c, int d) {
    return RGB(ui::GetRValue(c) / d, ui::GetGValue(c) / d, ui::GetBValue(c) / d);
}

ui::COLORREF Gradient(ui::COLORREF top, ui::COLORREF bottom, int y, int h) {
    auto ch = [&](int t, int b) { return t + (b - t) * y / (h - 1); };
    return RGB(ch(ui::GetRValue(top), ui::GetRValue(bottom)), ch(ui::GetGValue(top), ui::GetGValue(bottom)),
               ch(ui::GetBValue(top), ui::GetBValue(bottom)));
}

class GradationButtonTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(host.Open(200, 60));
    }
    // A 60 x 20 owner-drawn button without caption at (10, 10).
    void Make(CGradationButton& b, int id, int x = 10, const char* caption = "") {
        ASSERT_TRUE(b.Create(caption, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_OWNERDRAW,
                             Rect(x, 10, x + 60, 30), &host, id));
    }
    HostWindow host;
};

TEST_F(GradationButtonTest, NewButtonsTakeTheirColoursFromTheButtonFace) {
    CGradationButton b;
    EXPECT_EQ(Rgb(b.GetTopColor()), Rgb(kTop));
    EXPECT_EQ(Rgb(b.GetBottomColor()), Rgb(kBottom));
    EXPECT_EQ(Rgb(b.GetFocusedTopColor()), Rgb(kTop));
    EXPECT_EQ(Rgb(b.GetFocusedBottomColor()), Rgb(kBottom));
}

TEST_F(GradationButtonTest, TheNormalFaceIsAGradientWithATwoPixelBevel) {
    CGradationButton b;
    Make(b, 100);
    b.SetColor(RGB(250, 200, 100), RGB(50, 100, 150));
    const ui::COLORREF top = RGB(250, 200, 100);
    const ui::COLORREF bottom = RGB(50, 100, 150);
    QImage img = ui::test::Grab(b);
    const int w = 60;
    const int h = 20;
    for (int y = 2; y < h - 2; ++y)
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 30, y)), Rgb(Gradient(top, bottom, y, h))) << "row " << y;
    const ui::COLORREF white = RGB(255, 255, 255);
    struct Px {
        int x, y;
        ui::COLORREF c;
    } pixels[] = {
        {0, 0, white},
        {30, 0, white},
        {w - 2, 0, white},
        {30, 1, white},
        {w - 2, 1, Div(bottom, 2)},
        {0, 10, white},
        {1, 10, white},
        {1, h - 2, Div(bottom, 2)},
        {30, h - 2, Div(bottom, 2)},
        {w - 2, 10, Div(bottom, 2)},
        {30, h - 1, Div(bottom, 4)},
        {w - 1, 0, Div(bottom, 4)},
        {w - 1, 10, Div(bottom, 4)},
        {0, h - 1, Div(bottom, 4)},
        {2, 10, Gradient(top, bottom, 10, h)},
    };
    for (const Px& p : pixels)
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, p.x, p.y)), Rgb(p.c)) << p.x << "," << p.y;
}

TEST_F(GradationButtonTest, APushedFaceMovesOnePixelWithABlackTopRowAndLeftColumn) {
    CGradationButton::SetFocusDisp(false, RGB(0, 0, 0));  // the press takes the focus; no frame here
    CGradationButton b;
    Make(b, 100);
    ui::test::MouseDown(b, Point(30, 10));  // held down
    EXPECT_TRUE(b.GetState() & ui::BST_PUSHED);
    QImage img = ui::test::Grab(b);
    const int h = 20;
    for (int y = 2; y < h - 1; ++y)
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 30, y)), Rgb(Gradient(kTop, kBottom, y - 1, h))) << "row " << y;
    EXPECT_EQ(ui::test::PixelAt(img, 30, 0), RGB(0, 0, 0));
    EXPECT_EQ(ui::test::PixelAt(img, 0, 10), RGB(0, 0, 0));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 30, 1)), Rgb(Div(kTop, 2)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 1, 10)), Rgb(Div(kTop, 2)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 30, h - 1)), Rgb(Div(kBottom, 4)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 59, 10)), Rgb(Div(kBottom, 4)));
    // No inner bottom or right line on a pushed face.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 58, 10)), Rgb(Gradient(kTop, kBottom, 9, h)));
    ui::test::MouseUp(b, Point(30, 10));
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].id, 100);
    EXPECT_EQ(host.commands[0].code, ui::BN_CLICKED);
}

TEST_F(GradationButtonTest, TheFocusedButtonIsDrawnInItsFocusedColoursInsideAFrame) {
    CGradationButton a;
    CGradationButton b;
    Make(a, 1, 10);
    Make(b, 2, 100);
    const ui::COLORREF frame = RGB(220, 100, 30);
    const ui::COLORREF ftop = RGB(255, 240, 200);
    const ui::COLORREF fbottom = RGB(200, 120, 40);
    a.SetFocusedColor(ftop, fbottom);
    b.SetFocusedColor(ftop, fbottom);
    struct Case {
        bool display;
        bool framed;
    } cases[] = {{true, true}, {false, false}};
    for (const Case& c : cases) {
        CGradationButton::SetFocusDisp(c.display, frame);
        a.SetFocus();
        QImage ia = ui::test::Grab(a);
        QImage ib = ui::test::Grab(b);
        if (c.framed) {
            EXPECT_EQ(Rgb(ui::test::PixelAt(ia, 0, 0)), Rgb(frame));
            EXPECT_EQ(Rgb(ui::test::PixelAt(ia, 59, 19)), Rgb(frame));
            EXPECT_EQ(Rgb(ui::test::PixelAt(ia, 30, 10)), Rgb(Gradient(ftop, fbottom, 10, 20)));
        } else {
            EXPECT_EQ(Rgb(ui::test::PixelAt(ia, 0, 0)), Rgb(RGB(255, 255, 255)));
            EXPECT_EQ(Rgb(ui::test::PixelAt(ia, 30, 10)), Rgb(Gradient(kTop, kBottom, 10, 20)));
        }
        EXPECT_EQ(Rgb(ui::test::PixelAt(ib, 0, 0)), Rgb(RGB(255, 255, 255)));
        // The focus moves: the frame moves with it.
        b.SetFocus();
        ia = ui::test::Grab(a);
        ib = ui::test::Grab(b);
        EXPECT_EQ(Rgb(ui::test::PixelAt(ia, 0, 0)), Rgb(RGB(255, 255, 255)));
        EXPECT_EQ(Rgb(ui::test::PixelAt(ib, 0, 0)), Rgb(c.framed ? frame : RGB(255, 255, 255)));
    }
}

TEST_F(GradationButtonTest, ColoursChangeAtTheNextDrawing) {
    CGradationButton b;
    Make(b, 1);
    b.SetColor(RGB(10, 20, 30), RGB(10, 20, 30));
    EXPECT_EQ(Rgb(ui::test::PixelAt(ui::test::Grab(b), 30, 10)), Rgb(RGB(10, 20, 30)));
}

// A dialog with the OK button and a second button 10; records the commands.
class TwoButtonDialog : public ui::Dialog {
public:
    TwoButtonDialog() : Dialog(Template()) {}
    static ui::DialogTemplate Template() {
        ui::DialogTemplate t;
        t.cx = 150;
        t.cy = 40;
        t.items = {
            {ui::IDOK, ui::ControlKind::Button, "OK", 10, 10, 50, 14, ui::WS_TABSTOP | ui::BS_OWNERDRAW, 0},
            {10, ui::ControlKind::Button, "Ten", 80, 10, 50, 14, ui::WS_TABSTOP | ui::BS_OWNERDRAW, 0},
        };
        return t;
    }
    void DoDataExchange(ui::DataExchange& dx) override {
        ui::DDX_Control(dx, ui::IDOK, ok);
        ui::DDX_Control(dx, 10, ten);
    }
    bool OnCommand(int id, int code, ui::Wnd* from) override {
        commands.push_back(id);
        return Dialog::OnCommand(id, code, from);
    }
    CGradationButton ok;
    CGradationButton ten;
    std::vector<int> commands;
};

TEST_F(GradationButtonTest, EnterPressesTheFocusedButtonNotTheDefault) {
    TwoButtonDialog dlg;
    Script().OnDialog([](ui::Dialog& d) {
        auto& t = dynamic_cast<TwoButtonDialog&>(d);
        t.ten.SetFocus();
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_EQ(t.commands, std::vector<int>{10});
        EXPECT_FALSE(d.IsEnded());
        // Held down with the mouse, Enter does nothing; the release is the click.
        ui::test::MouseDown(t.ten, Point(5, 5));
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_EQ(t.commands, std::vector<int>{10});
        ui::test::MouseUp(t.ten, Point(5, 5));
        EXPECT_EQ(t.commands, (std::vector<int>{10, 10}));
        // A double click is two presses.
        ui::test::DoubleClick(t.ten, Point(5, 5));
        EXPECT_EQ(t.commands, (std::vector<int>{10, 10, 10, 10}));
        // Dragged off the button before the release: no click.
        ui::test::MouseDown(t.ten, Point(5, 5));
        ui::test::MouseMove(t.ten, Point(-20, 5), true);
        EXPECT_FALSE(t.ten.GetState() & ui::BST_PUSHED);
        ui::test::MouseUp(t.ten, Point(-20, 5));
        EXPECT_EQ(t.commands.size(), 4u);
        t.ok.SetFocus();
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(GradationButtonTest, ADisabledCaptionIsGreyWithAWhiteShadow) {
    CGradationButton on;
    CGradationButton off;
    Make(on, 1, 10, "■■");
    Make(off, 2, 100, "■■");
    off.EnableWindow(false);
    // Pixels of the colour, or (for white) lighter than any gradient row.
    auto count = [](const QImage& img, ui::COLORREF c) {
        int n = 0;
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < 58; ++x) {
                ui::COLORREF p = ui::test::PixelAt(img, x, y);
                if (c == RGB(255, 255, 255))
                    n += ui::GetRValue(p) > 245 && ui::GetGValue(p) > 245 && ui::GetBValue(p) > 245;
                else
                    n += p == c;
            }
        return n;
    };
    QImage a = ui::test::Grab(on);
    QImage b = ui::test::Grab(off);
    EXPECT_GT(count(a, RGB(0, 0, 0)), 20);
    EXPECT_EQ(count(a, RGB(128, 128, 128)), 0);
    EXPECT_GT(count(b, RGB(128, 128, 128)), 20);
    EXPECT_GT(count(b, RGB(255, 255, 255)), 5);
    EXPECT_EQ(count(b, RGB(0, 0, 0)), 0);
}

TEST_F(GradationButtonTest, AOnePixelTallButtonTakesTheTopColour) {
    CGradationButton b;
    ASSERT_TRUE(b.Create("", ui::WS_CHILD | ui::WS_VISIBLE | ui::BS_OWNERDRAW, Rect(0, 0, 30, 1), &host, 5));
    QImage img = ui::test::Grab(b);
    ASSERT_EQ(img.height(), 1);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 15, 0)),
              Rgb(Div(kBottom, 4)));  // the outer bottom line is drawn last
}

}  // namespace
}  // namespace rymd::gui_test
