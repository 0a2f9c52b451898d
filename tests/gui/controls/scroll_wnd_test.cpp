// Scroll window: show modes, ranges, page and line steps, clamping and the bars' own requests.
#include <QScrollBar>
#include <QWidget>

#include "gui/gui_test_util.h"
#include "mbwnd/scroll_wnd.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CScrollWnd;

constexpr int kBar = 16;

class ScrollWndTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(host.Open(300, 200));
    }
    // A 100 x 80 scroll window.
    void Make(CScrollWnd& w, int horzMode = 0, int vertMode = 0) {
        w.SetHorzScrollVerShowMode(horzMode);
        w.SetVertScrollVerShowMode(vertMode);
        ASSERT_TRUE(w.Create(ui::WS_CHILD | ui::WS_VISIBLE, Rect(10, 10, 110, 90), &host, 50));
    }
    static QScrollBar* Bar(CScrollWnd& w, Qt::Orientation o) {
        for (QScrollBar* b : w.GetWidget()->findChildren<QScrollBar*>())
            if (b->orientation() == o) return b;
        return nullptr;
    }
    HostWindow host;
};

struct ModeCase {
    const char* name;
    int horzMode;
    int vertMode;
    Size total;
    bool horzShown;
    bool horzEnabled;
    bool vertShown;
    Size client;
};

TEST_F(ScrollWndTest, ShowModesDecideTheBars) {
    const ModeCase cases[] = {
        {"fits, mode 0", 0, 0, Size(50, 50), false, true, false, Size(100, 80)},
        {"wider, mode 0", 0, 0, Size(150, 50), true, true, false, Size(100, 80 - kBar)},
        {"taller, mode 0", 0, 0, Size(50, 150), false, true, true, Size(100 - kBar, 80)},
        {"fits, horizontal mode 1: shown and disabled", 1, 0, Size(50, 50), true, false, false,
         Size(100, 80 - kBar)},
        {"wider, horizontal mode 1", 1, 0, Size(150, 50), true, true, false, Size(100, 80 - kBar)},
        {"wider, horizontal mode 2: hidden", 2, 0, Size(150, 50), false, true, false, Size(100, 80)},
        {"taller, vertical mode 2: hidden", 0, 2, Size(50, 150), false, true, false, Size(100, 80)},
        {"vertical mode 1 is mode 0", 0, 1, Size(50, 150), false, true, true, Size(100 - kBar, 80)},
        {"the horizontal bar makes the content too tall", 0, 0, Size(150, 70), true, true, true,
         Size(100 - kBar, 80 - kBar)},
        {"the vertical bar makes the content too wide", 0, 0, Size(95, 150), true, true, true,
         Size(100 - kBar, 80 - kBar)},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CScrollWnd w;
        Make(w, c.horzMode, c.vertMode);
        w.SetScrollSizes(c.total, Size(10, 10), Size(1, 1));
        EXPECT_EQ(w.IsScrollBarVisible(ui::SB_HORZ), c.horzShown);
        if (c.horzShown) {
            EXPECT_EQ(w.IsScrollBarEnabled(ui::SB_HORZ), c.horzEnabled);
        }
        EXPECT_EQ(w.IsScrollBarVisible(ui::SB_VERT), c.vertShown);
        EXPECT_EQ(w.GetClientRect().GetSize(), c.client);
        EXPECT_EQ(w.GetScrollPosition(), Point(0, 0));
        QScrollBar* h = Bar(w, Qt::Horizontal);
        if (h) {
            EXPECT_EQ(h->isVisibleTo(w.GetWidget()), c.horzShown);
        }
    }
}

TEST_F(ScrollWndTest, RangesCountLinesAndPagesFollowTheClientArea) {
    CScrollWnd w;
    Make(w);
    w.SetScrollSizes(Size(95, 305), Size(10, 25), Size(1, 10));
    ui::ScrollInfo v = w.GetScrollInfo(ui::SB_VERT);
    EXPECT_EQ(v.nMin, 0);
    EXPECT_EQ(v.nMax, 30);  // ceil(305 / 10) - 1
    EXPECT_EQ(v.nPage, 6);  // (80 - 16) / 10: the horizontal bar is shown too
    ui::ScrollInfo h = w.GetScrollInfo(ui::SB_HORZ);
    EXPECT_EQ(h.nMax, 94);
    EXPECT_EQ(h.nPage, 100 - kBar);  // the vertical bar took its place
}

TEST_F(ScrollWndTest, PositionsAreClampedAndOnlyRealChangesScroll) {
    CScrollWnd w;
    Make(w);
    w.SetScrollSizes(Size(50, 300), Size(10, 25), Size(1, 10));
    w.SetScrollPosition(Point(0, 100));
    EXPECT_EQ(w.GetScrollPosition(), Point(0, 22));  // max 29 - page 8 + 1
    w.SetScrollPosition(Point(-5, -5));
    EXPECT_EQ(w.GetScrollPosition(), Point(0, 0));
}

struct StepCase {
    const char* name;
    int code;
    int pos;
    Size page;
    int start;
    int expected;
};

TEST_F(ScrollWndTest, RequestsMoveByLinesPagesOrToAPosition) {
    const StepCase cases[] = {
        {"line down", ui::SB_LINEDOWN, 0, Size(10, 25), 3, 4},
        {"line up", ui::SB_LINEUP, 0, Size(10, 25), 3, 2},
        {"line up at the top", ui::SB_LINEUP, 0, Size(10, 25), 0, 0},
        {"page down: page / line lines", ui::SB_PAGEDOWN, 0, Size(10, 25), 3, 5},
        {"page up", ui::SB_PAGEUP, 0, Size(10, 25), 3, 1},
        {"a page smaller than a line moves nothing", ui::SB_PAGEDOWN, 0, Size(10, 5), 3, 3},
        {"thumb track", ui::SB_THUMBTRACK, 17, Size(10, 25), 3, 17},
        {"thumb position", ui::SB_THUMBPOSITION, 9, Size(10, 25), 3, 9},
        {"top", ui::SB_TOP, 0, Size(10, 25), 12, 0},
        {"bottom: the end the page allows", ui::SB_BOTTOM, 0, Size(10, 25), 3, 22},
        {"end of scrolling changes nothing", ui::SB_ENDSCROLL, 0, Size(10, 25), 3, 3},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        CScrollWnd w;
        Make(w);
        w.SetScrollSizes(Size(50, 300), c.page, Size(1, 10));
        w.SetScrollPosition(Point(0, c.start));
        w.OnVScroll(c.code, c.pos);
        EXPECT_EQ(w.GetScrollPosition().y, c.expected);
    }
}

TEST_F(ScrollWndTest, HorizontalModeTwoStillTakesPositions) {
    CScrollWnd w;
    Make(w, 2, 0);
    w.SetScrollSizes(Size(400, 50), Size(10, 10), Size(1, 1));
    EXPECT_FALSE(w.IsScrollBarVisible(ui::SB_HORZ));
    w.SetScrollPosition(Point(5, 0));
    EXPECT_EQ(w.GetScrollPosition(), Point(5, 0));
}

TEST_F(ScrollWndTest, TheBarsOwnButtonsAskTheWindow) {
    CScrollWnd w;
    Make(w);
    w.SetScrollSizes(Size(50, 300), Size(10, 30), Size(1, 10));
    QScrollBar* v = Bar(w, Qt::Vertical);
    ASSERT_NE(v, nullptr);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(w.GetScrollPosition().y, 1);
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(w.GetScrollPosition().y, 4);
    EXPECT_EQ(v->value(), 4);
    v->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(w.GetScrollPosition().y, 22);
}

TEST_F(ScrollWndTest, ResizingAdjustsTheBars) {
    CScrollWnd w;
    Make(w);
    w.SetScrollSizes(Size(150, 50), Size(10, 10), Size(1, 1));
    EXPECT_TRUE(w.IsScrollBarVisible(ui::SB_HORZ));
    w.MoveWindow(Rect(10, 10, 210, 90));
    EXPECT_FALSE(w.IsScrollBarVisible(ui::SB_HORZ));
}

TEST_F(ScrollWndTest, ALineSizeOfZeroCountsAsOne) {
    CScrollWnd w;
    Make(w);
    w.SetScrollSizes(Size(300, 50), Size(10, 10), Size(0, 0));
    EXPECT_EQ(w.GetLineSize(), Size(1, 1));
    EXPECT_EQ(w.GetScrollInfo(ui::SB_HORZ).nMax, 299);
}

TEST_F(ScrollWndTest, TheBarsHaveTheClassicBevels) {
    CScrollWnd w;
    Make(w, 1, 0);
    w.SetScrollSizes(Size(300, 400), Size(80, 40), Size(1, 10));
    ASSERT_TRUE(w.IsScrollBarVisible(ui::SB_VERT));
    QImage img = ui::test::Grab(w);
    const int x = 100 - kBar;  // the vertical bar's left edge
    const COLORREF face = ui::GetSysColor(ui::COLOR_BTNFACE);
    // Up arrow button: light outer and white inner edge at the top left, dark shadow at the
    // bottom right, a black arrow in the middle.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x, 5)), Rgb(ui::GetSysColor(ui::COLOR_3DLIGHT)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 1, 5)), Rgb(ui::RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 15, 5)), Rgb(ui::GetSysColor(ui::COLOR_3DDKSHADOW)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 14, 5)), Rgb(ui::GetSysColor(ui::COLOR_BTNSHADOW)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 3, 5)), Rgb(face));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 7, 7)), Rgb(ui::RGB(0, 0, 0)));
    // The thumb sits right under the up button at position 0, raised like the buttons.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 1, kBar + 3)), Rgb(ui::RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x + 5, kBar + 3)), Rgb(face));
    // Below the thumb the groove is a checker of white and face.
    QScrollBar* bar = Bar(w, Qt::Vertical);
    ASSERT_NE(bar, nullptr);
    const int y = bar->height() - kBar - 3;
    const COLORREF a = ui::test::PixelAt(img, x + 6, y);
    const COLORREF b = ui::test::PixelAt(img, x + 7, y);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == ui::RGB(255, 255, 255) && b == face) || (b == ui::RGB(255, 255, 255) && a == face));
    ui::test::GrabToPng(w, GalleryPath("scroll_bars"));
    ui::test::GrabToPng(w, GalleryPath("scroll_bars@2x"), 2.0);
}

}  // namespace
}  // namespace rymd::gui_test
