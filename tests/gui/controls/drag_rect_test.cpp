// The drag rectangle window: knobs, moving and resizing with and without bounds, blinking and
// the shape of its window.
#include "gui/gui_test_util.h"
#include "mbwnd/drag_rect_wnd.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CDragRectWnd;
using ui::RGB;

class DragParent : public HostWindow {
public:
    bool OnNotify(int, ui::NotifyHeader* h, std::intptr_t*) override {
        auto* n = reinterpret_cast<MbWnd::tagDragRectNotify*>(h);
        codes.push_back(h->code);
        last = n->rect;
        return true;
    }
    std::vector<int> codes;
    Rect last;
};

class DragRectTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(parent.Open(300, 240));
    }
    // Presses at a window point, moves the mouse on the screen by the steps, releases.
    void Drag(CDragRectWnd& w, Point at, std::vector<Point> steps) {
        Point screen = at;
        w.ClientToScreen(screen);
        ui::test::MouseDown(w, at);
        for (Point d : steps) {
            screen = screen + d;
            Point p = screen;
            w.ScreenToClient(p);
            ui::test::MouseMove(w, p, true);
        }
        Point p = screen;
        w.ScreenToClient(p);
        ui::test::MouseUp(w, p);
    }
    DragParent parent;
};

TEST_F(DragRectTest, NarrowRectanglesHaveNoMiddleKnobs) {
    CDragRectWnd w;
    ASSERT_TRUE(w.Create(ui::WS_VISIBLE, Rect(40, 40, 57, 140), &parent, 5));  // 17 wide, 100 tall
    EXPECT_FALSE(w.KnobExists(0, 1));
    EXPECT_FALSE(w.KnobExists(2, 1));
    EXPECT_TRUE(w.KnobExists(1, 0));
    EXPECT_TRUE(w.KnobExists(1, 2));
    w.SetRect(Rect(40, 40, 58, 140));  // 18 = 2 x 5 + 8
    EXPECT_TRUE(w.KnobExists(0, 1));
    // The window: the rectangle grown by k / 2 = 3 on the left and top, 4 on the right and bottom.
    Rect r = w.GetWindowRect();
    parent.ScreenToClient(r);
    EXPECT_EQ(r, Rect(37, 37, 62, 144));
}

TEST_F(DragRectTest, ALeftKnobDraggedPastTheRightEdgeEndsNormalisedWithAllFlags) {
    CDragRectWnd w;
    ASSERT_TRUE(w.Create(ui::WS_VISIBLE, Rect(50, 50, 110, 100), &parent, 5));
    const Point leftKnob = w.KnobRect(1, 0).CenterPoint();
    EXPECT_EQ(w.CheckCursorPos(leftKnob), 4);
    Drag(w, leftKnob, {Point(30, 0), Point(60, 0)});  // left edge to 140, past the right at 110
    Rect r;
    w.GetRect(&r);
    EXPECT_EQ(r, Rect(110, 50, 140, 100));
    EXPECT_EQ(w.GetUpdateFlags(), 0xFu);
    ASSERT_FALSE(parent.codes.empty());
    EXPECT_EQ(parent.codes.back(), 1);
    EXPECT_EQ(parent.last, r);
    // SetRect with the same rectangle changes nothing but clears the flags.
    parent.codes.clear();
    w.SetRect(r);
    EXPECT_EQ(w.GetUpdateFlags(), 0u);
    EXPECT_TRUE(parent.codes.empty());
}

TEST_F(DragRectTest, MovingByTheFrameStopsAtTheBoundsWithoutChangingTheSize) {
    CDragRectWnd w;
    ASSERT_TRUE(w.Create(ui::WS_VISIBLE, Rect(50, 50, 110, 100), &parent, 5));
    w.SetLimitRect(Rect(20, 30, 200, 150));
    const Point frame(w.KnobRect(0, 0).right + 10, 3 + 0);  // on the top edge's band, between knobs
    ASSERT_EQ(w.CheckCursorPos(frame), CDragRectWnd::kFrame);
    Drag(w, frame, {Point(-50, -50), Point(500, 500)});
    Rect r;
    w.GetRect(&r);
    EXPECT_EQ(r, Rect(140, 100, 200, 150));
    EXPECT_EQ(w.GetUpdateFlags(), 0xFu);
    std::vector<int> expected(parent.codes.size(), 0);
    expected.back() = 1;
    EXPECT_EQ(parent.codes, expected);
}

TEST_F(DragRectTest, WithDragOffClicksStartNothing) {
    CDragRectWnd w;
    ASSERT_TRUE(w.Create(ui::WS_VISIBLE, Rect(50, 50, 110, 100), &parent, 5));
    w.EnableDrag(false);
    const Point knob = w.KnobRect(2, 2).CenterPoint();
    EXPECT_EQ(w.CheckCursorPos(knob), 0);
    Drag(w, knob, {Point(20, 20)});
    Rect r;
    w.GetRect(&r);
    EXPECT_EQ(r, Rect(50, 50, 110, 100));
    EXPECT_TRUE(parent.codes.empty());
    EXPECT_EQ(w.GetHoverState(), 0);
}

TEST_F(DragRectTest, TheOutlineBlinksAndOnlyTheOutlineAndKnobsArePainted) {
    CDragRectWnd w;
    ASSERT_TRUE(w.Create(ui::WS_VISIBLE, Rect(50, 50, 110, 100), &parent, 5));
    w.SetBlinkColor(RGB(255, 0, 0), RGB(0, 0, 255), 300);
    EXPECT_EQ(w.GetCurrentColor(), RGB(255, 0, 0));
    ASSERT_TRUE(ui::test::FireTimer(w, CDragRectWnd::kBlinkTimer));
    EXPECT_EQ(w.GetCurrentColor(), RGB(0, 0, 255));
    ui::test::FireTimer(w, CDragRectWnd::kBlinkTimer);
    EXPECT_EQ(w.GetCurrentColor(), RGB(255, 0, 0));
    w.SetColor(RGB(0, 160, 0));
    EXPECT_FALSE(w.HasTimer(CDragRectWnd::kBlinkTimer));
    // The outline runs at k / 2 = 3 in window coordinates; a black band around it; the inside
    // belongs to the parent.
    EXPECT_TRUE(w.DrawRegion().PtInRegion(Point(15, 3)));
    EXPECT_TRUE(w.WindowRegion().PtInRegion(Point(15, 2)));
    EXPECT_FALSE(w.DrawRegion().PtInRegion(Point(15, 2)));
    EXPECT_FALSE(w.WindowRegion().PtInRegion(Point(30, 30)));
    QImage img = ui::test::Grab(parent);
    Rect wr = w.GetWindowRect();
    parent.ScreenToClient(wr);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, wr.left + 15, wr.top + 3)), Rgb(RGB(0, 160, 0)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, wr.left + 15, wr.top + 2)), Rgb(RGB(0, 0, 0)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, wr.left + 30, wr.top + 30)),
              Rgb(ui::GetSysColor(ui::COLOR_BTNFACE)));
    ui::test::GrabToPng(parent, GalleryPath("drag_rect"));
    ui::test::GrabToPng(parent, GalleryPath("drag_rect@2x"), 2.0);
    w.EnableKnobDisp(false);
    w.EnableBlackEdgeDisp(false);
    ui::test::GrabToPng(parent, GalleryPath("drag_rect_plain"));
}

}  // namespace
}  // namespace rymd::gui_test
