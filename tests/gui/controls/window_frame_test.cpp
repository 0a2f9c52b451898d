// Top-level windows and the frame the window manager draws around them: a rectangle placed or read
// is the window's with its frame, also under a window manager that tells the frame only once the
// window is on the screen (as X11 window managers do).
#include <QWidget>
#include <QWindow>
#include <cstdint>

#include "gui/gui_test_util.h"
#include "platform/qt/app.h"
#include "platform/qt/dialog.h"

namespace rymd::gui_test {
namespace {

// The frame openbox draws around a window: 1 pixel at the sides, a 20-pixel title bar, a 5-pixel
// bottom edge.
constexpr ui::test::FrameEdges kFrame{1, 20, 1, 5};
const Rect kScreen(0, 0, 1024, 768);

bool OnScreen(const Rect& r) {
    return r.left >= kScreen.left && r.top >= kScreen.top && r.right <= kScreen.right &&
           r.bottom <= kScreen.bottom;
}

class WindowFrameTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ui::test::SetScreenSize(Size(kScreen.Width(), kScreen.Height()));
        ui::test::SetWindowFrame(kFrame);
    }
};

// A window the player sizes, as the main window.
bool OpenSizable(ui::Wnd& w) {
    return w.CreateEx(0,
                      ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::WS_THICKFRAME | ui::WS_MAXIMIZEBOX,
                      Rect(0, 0, 300, 200), nullptr, 0, "main");
}

ui::DialogTemplate SmallTemplate() {
    ui::DialogTemplate t;
    t.caption = "枠";
    t.cx = 200;
    t.cy = 100;
    return t;
}

// A dialog that puts itself at a point of the screen (its frame's top-left corner).
class PlacedDialog : public ui::Dialog {
public:
    PlacedDialog(ui::Wnd* parent, Point at) : Dialog(SmallTemplate(), parent), at_(at) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        const Rect r = GetWindowRect();
        MoveWindow(Rect(at_.x, at_.y, at_.x + r.Width(), at_.y + r.Height()), false);
        return true;
    }

private:
    Point at_;
};

TEST_F(WindowFrameTest, AWindowPlacedBeforeItsFrameIsToldLiesWithItsFrameWhereItWasPlaced) {
    ui::Wnd w;
    ASSERT_TRUE(OpenSizable(w));
    const Rect wanted(16, 16, 1008, 752);
    w.MoveWindow(wanted);
    EXPECT_EQ(w.GetWindowRect(), wanted) << "before it is shown";
    w.ShowWindow(ui::SW_SHOW);
    ui::test::ProcessEvents();
    EXPECT_EQ(w.GetWindowRect(), wanted);
    EXPECT_EQ(w.GetClientRect().GetSize(), Size(wanted.Width() - 2, wanted.Height() - 25));
    EXPECT_EQ(w.GetWidget()->geometry(), QRect(17, 36, 990, 711)) << "the inside, in the frame";
    // Placed again, now that the frame is known: at once.
    w.MoveWindow(Rect(0, 0, 800, 600));
    EXPECT_EQ(w.GetWindowRect(), Rect(0, 0, 800, 600));
    EXPECT_EQ(w.GetWidget()->geometry(), QRect(1, 20, 798, 575));
}

TEST_F(WindowFrameTest, AMaximisedWindowKeepsItsNormalRectangleWithItsFrame) {
    ui::Wnd w;
    ASSERT_TRUE(OpenSizable(w));
    const Rect normal(40, 30, 740, 530);
    w.SetWindowPlacement({normal, ui::SW_SHOWMAXIMIZED});
    ui::test::ProcessEvents();
    ui::test::ProcessEvents();
    EXPECT_TRUE(w.GetWidget()->isMaximized());
    ui::Wnd::WindowPlacement p = w.GetWindowPlacement();
    EXPECT_EQ(p.show, ui::SW_SHOWMAXIMIZED);
    EXPECT_EQ(p.normal, normal);
    // Shown normally again: there, with its frame.
    w.SetWindowPlacement({p.normal, ui::SW_SHOWNORMAL});
    ui::test::ProcessEvents();
    p = w.GetWindowPlacement();
    EXPECT_EQ(p.show, ui::SW_SHOWNORMAL);
    EXPECT_EQ(p.normal, normal);
    EXPECT_EQ(w.GetWindowRect(), normal);
}

struct CentringCase {
    const char* name;
    bool ownerShown;  // the owner on the screen first, so that the frame is known
};

TEST_F(WindowFrameTest, ADialogKeepsItsInsideAndStandsCentredOverItsOwner) {
    for (const CentringCase c :
         {CentringCase{"the frame known", true}, CentringCase{"the first window", false}}) {
        ui::test::SetWindowFrame(kFrame);
        ui::Wnd owner;
        ASSERT_TRUE(OpenSizable(owner));
        owner.MoveWindow(Rect(16, 16, 1008, 752));
        if (c.ownerShown) {
            owner.ShowWindow(ui::SW_SHOW);
            ui::test::ProcessEvents();
        }
        ui::Dialog d(SmallTemplate(), &owner);
        Rect placed;
        Rect inside;
        Script().OnDialog([&](ui::Dialog& shown) {
            ui::test::ProcessEvents();
            placed = shown.GetWindowRect();
            inside = shown.GetClientRect();
            shown.EndDialog(ui::IDOK);
        });
        d.DoModal();
        const Size templ = d.MapDialogRect(Rect(0, 0, 200, 100)).GetSize();
        EXPECT_EQ(inside.GetSize(), templ) << c.name;
        EXPECT_EQ(placed.GetSize(), Size(templ.cx + 2, templ.cy + 25)) << c.name;
        // Centred over the owner's window or, with the owner not shown, the screen: the same
        // centre here.
        EXPECT_NEAR(placed.CenterPoint().x, 512, 1) << c.name;
        EXPECT_NEAR(placed.CenterPoint().y, 384, 1) << c.name;
    }
}

TEST_F(WindowFrameTest, ADialogThatPlacesItselfOffTheScreenLiesOnItWithItsFrame) {
    struct Case {
        const char* name;
        bool frameKnown;
        Point at;
    } cases[] = {
        {"below, frame known", true, Point(100, 700)},
        {"right, frame known", true, Point(1000, 300)},
        {"below, first window", false, Point(100, 700)},
        {"above and left, first window", false, Point(-50, -50)},
    };
    for (const Case& c : cases) {
        ui::test::SetWindowFrame(kFrame);
        ui::Wnd other;
        if (c.frameKnown) {
            ASSERT_TRUE(OpenSizable(other));
            other.ShowWindow(ui::SW_SHOW);
            ui::test::ProcessEvents();
        }
        PlacedDialog d(nullptr, c.at);
        Rect placed;
        Script().OnDialog([&](ui::Dialog& shown) {
            ui::test::ProcessEvents();
            placed = shown.GetWindowRect();
            shown.EndDialog(ui::IDOK);
        });
        d.DoModal();
        EXPECT_TRUE(OnScreen(placed)) << c.name << ": " << placed.left << "," << placed.top << " - "
                                      << placed.right << "," << placed.bottom;
        EXPECT_EQ(placed.Height() - 25, d.MapDialogRect(Rect(0, 0, 200, 100)).Height()) << c.name;
    }
}

// Only a window with a sizing frame may be resized or maximised by the player or the window
// manager: any other keeps the size the program gives it, and the window manager is told so (its
// least and greatest size are that size), also when the program sizes it anew.
TEST_F(WindowFrameTest, OnlyAWindowWithASizingFrameCanBeResizedOrMaximised) {
    struct Case {
        const char* name;
        std::uint32_t style;
        bool sizable;
        bool maximizeButton;
    } cases[] = {
        {"main window",
         ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::WS_THICKFRAME | ui::WS_MINIMIZEBOX |
             ui::WS_MAXIMIZEBOX,
         true, true},
        {"sizing frame alone", ui::WS_POPUP | ui::WS_CAPTION | ui::WS_THICKFRAME, true, false},
        {"modal frame", ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME, false, false},
        {"caption without a system menu", ui::WS_POPUP | ui::WS_CAPTION, false, false},
        {"maximise box without a sizing frame",
         ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::WS_MAXIMIZEBOX, false, true},
        {"no frame", ui::WS_POPUP, false, false},
        {"border alone", ui::WS_POPUP | ui::WS_BORDER, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::Wnd w;
        ASSERT_TRUE(w.CreateEx(0, c.style, Rect(100, 100, 400, 300), nullptr, 0, "大きさ"));
        w.ShowWindow(ui::SW_SHOW);
        ui::test::ProcessEvents();
        // What the platform is asked for.
        auto expectLimits = [&](const char* when) {
            const QWindow* handle = w.GetWidget()->windowHandle();
            ASSERT_NE(handle, nullptr);
            const QSize size = w.GetWidget()->size();
            if (c.sizable) {
                EXPECT_NE(handle->minimumSize(), handle->maximumSize()) << when;
                EXPECT_LE(handle->minimumSize().width(), 1) << when;
                EXPECT_EQ(handle->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)) << when;
            } else {
                EXPECT_EQ(handle->minimumSize(), size) << when;
                EXPECT_EQ(handle->maximumSize(), size) << when;
            }
            EXPECT_EQ(bool(handle->flags() & Qt::WindowMaximizeButtonHint), c.maximizeButton) << when;
        };
        expectLimits("as made");
        // The program sizes it anew: that size, and no other.
        const Rect larger(50, 60, 550, 460);
        w.MoveWindow(larger);
        ui::test::ProcessEvents();
        EXPECT_EQ(w.GetWindowRect(), larger);
        expectLimits("sized anew");
        w.MoveWindow(Rect(50, 60, 250, 160));
        ui::test::ProcessEvents();
        EXPECT_EQ(w.GetWindowRect(), Rect(50, 60, 250, 160));
        expectLimits("made smaller");
    }
}

// A dialog made from a template and a message box keep the size the program gives them; taking
// a sizing frame later makes a window sizable.
TEST_F(WindowFrameTest, DialogsAndMessageBoxesKeepTheirSize) {
    auto fixed = [](ui::Wnd& w) {
        const QWindow* handle = w.GetWidget()->windowHandle();
        const QSize size = w.GetWidget()->size();
        return handle && handle->minimumSize() == size && handle->maximumSize() == size;
    };
    ui::Dialog d(SmallTemplate());
    bool dialogFixed = false;
    bool boxFixed = false;
    Script().OnDialog([&](ui::Dialog& shown) {
        ui::test::ProcessEvents();
        dialogFixed = fixed(shown);
        Script().OnDialog([&](ui::Dialog& box) {
            ui::test::ProcessEvents();
            boxFixed = fixed(box);
            box.EndDialog(ui::IDOK);
        });
        MbMsgBox("大きさは変わりません");
        shown.ModifyStyle(0, ui::WS_THICKFRAME);
        ui::test::ProcessEvents();
        EXPECT_FALSE(fixed(shown)) << "with a sizing frame";
        shown.ModifyStyle(ui::WS_THICKFRAME, 0);
        ui::test::ProcessEvents();
        EXPECT_TRUE(fixed(shown)) << "without it again";
        shown.EndDialog(ui::IDOK);
    });
    d.DoModal();
    EXPECT_TRUE(dialogFixed);
    EXPECT_TRUE(boxFixed);
}

// A window to be maximised once the window manager has told its frame covers the screen: a
// dialog opened over it meanwhile (the start menu of a maximised start) stands centred on the
// screen, not over the normal rectangle.
TEST_F(WindowFrameTest, ADialogOverAWindowStillToBeMaximisedStandsCentredOnTheScreen) {
    ui::Wnd owner;
    ASSERT_TRUE(OpenSizable(owner));
    owner.SetWindowPlacement({Rect(120, 80, 822, 605), ui::SW_SHOWMAXIMIZED});
    ui::Dialog d(SmallTemplate(), &owner);
    Rect placed;
    Script().OnDialog([&](ui::Dialog& shown) {
        ui::test::ProcessEvents();
        ui::test::ProcessEvents();
        placed = shown.GetWindowRect();
        shown.EndDialog(ui::IDOK);
    });
    d.DoModal();
    EXPECT_TRUE(owner.GetWidget()->isMaximized());
    EXPECT_NEAR(placed.CenterPoint().x, 512, 1);
    EXPECT_NEAR(placed.CenterPoint().y, 384, 1);
}

// A dialog that shows itself while it sets itself up (the main window, which runs the start
// menu before it returns) is placed then; the player may move it, partly off the screen even,
// and it stays where it stands, whether it ended meanwhile or goes on.
TEST_F(WindowFrameTest, ADialogThatShowedItselfStaysWhereItStands) {
    class ShowsItself : public ui::Dialog {
    public:
        ShowsItself(bool endAtOnce) : Dialog(SmallTemplate()), endAtOnce_(endAtOnce) {}
        bool OnInitDialog() override {
            Dialog::OnInitDialog();
            SetWindowPlacement({Rect(100, 100, 500, 400), ui::SW_SHOWNORMAL});
            ui::test::ProcessEvents();
            // The player drags it partly off the screen.
            MoveWindow(kMoved);
            if (endAtOnce_) EndDialog(ui::IDCANCEL);
            return true;
        }
        void OnDestroy() override {
            atEnd = GetWindowRect();
            Dialog::OnDestroy();
        }
        const Rect kMoved{599, 480, 999, 780};
        Rect atEnd;

    private:
        bool endAtOnce_;
    };
    for (bool endAtOnce : {true, false}) {
        SCOPED_TRACE(endAtOnce ? "ended while it set itself up" : "running");
        ShowsItself d(endAtOnce);
        Rect running;
        if (!endAtOnce) {
            Script().OnDialog([&](ui::Dialog& shown) {
                running = shown.GetWindowRect();
                shown.EndDialog(ui::IDOK);
            });
        }
        d.DoModal();
        if (!endAtOnce) {
            EXPECT_EQ(running, d.kMoved);
        }
        EXPECT_EQ(d.atEnd, d.kMoved);
    }
}

TEST_F(WindowFrameTest, FramelessWindowsAndChildrenHaveNoFrame) {
    ui::Wnd owner;
    ASSERT_TRUE(OpenSizable(owner));
    owner.ShowWindow(ui::SW_SHOW);
    ui::test::ProcessEvents();
    ui::Wnd popup;
    ASSERT_TRUE(popup.CreateEx(0, ui::WS_POPUP | ui::WS_VISIBLE, Rect(100, 100, 300, 200), nullptr, 0));
    ui::test::ProcessEvents();
    EXPECT_EQ(popup.GetWindowRect(), Rect(100, 100, 300, 200));
    EXPECT_EQ(popup.GetClientRect().GetSize(), Size(200, 100));
    ui::Wnd child;
    ASSERT_TRUE(child.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(10, 10, 60, 40), &owner, 1));
    Rect r = child.GetWindowRect();
    owner.ScreenToClient(r);
    EXPECT_EQ(r, Rect(10, 10, 60, 40));
}

}  // namespace
}  // namespace rymd::gui_test
