// Rich-text control: layout, tags, links, breaking, scrolling, the copy menu and the picture.
#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include "gui/gui_test_util.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/font.h"
#include "platform/qt/wnd_host.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CMultiTextCtrl;
using ui::RGB;

int TextWidth(const std::string& s) {
    return PGothicTextWidth(14, s);
}

class MultiTextTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(host.Open(400, 300));
    }
    void Make(CMultiTextCtrl& c, const Rect& r = Rect(10, 10, 210, 110), bool breakLines = false) {
        c.SetReturnLineEnd(breakLines);
        ASSERT_TRUE(c.Create(ui::WS_CHILD | ui::WS_VISIBLE, r, &host, 77));
    }
    // Paints the control (the link table is rebuilt by painting) and returns the picture.
    static QImage Paint(CMultiTextCtrl& c) { return ui::test::Grab(c); }
    HostWindow host;
};

TEST_F(MultiTextTest, SizesCountVisualLinesOfFifteenPixelsPlusOne) {
    CMultiTextCtrl c;
    Make(c);
    struct Case {
        const char* text;
        Size size;
    } cases[] = {
        {"", Size(0, 1)},
        {"a\nbb\nc", Size(4 + TextWidth("bb"), 46)},
        {"a\r\nbb\r\nc", Size(4 + TextWidth("bb"), 46)},
        {"a\nbb\nc\n", Size(4 + TextWidth("bb"), 46)},
        {"\n\n", Size(4, 31)},
        {"ab$color=0xFF0000$cd", Size(4 + TextWidth("ab") + TextWidth("cd"), 16)},
        {"ab$color", Size(4 + TextWidth("ab"), 16)},  // an unclosed tag hides the rest
        {"$$x", Size(4 + TextWidth("x"), 16)},        // an empty tag shows nothing
    };
    for (const auto& k : cases) {
        c.SetText(k.text);
        EXPECT_EQ(c.CalcWindowSize(), k.size) << k.text;
        EXPECT_EQ(c.GetTotalSize(), k.size) << k.text;
    }
}

TEST_F(MultiTextTest, LinksAreLaidOutWhereTheirTextIs) {
    CMultiTextCtrl c;
    Make(c);
    c.SetText("$link=1$ab$/link$\n\nxy$ LINK = 0x10 $cd$/link$ $LINK$e$/link$");
    Paint(c);
    const auto& links = c.GetLinks();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].id, 1);
    EXPECT_EQ(links[0].rect, Rect(4, 1, 4 + TextWidth("ab"), 16));
    EXPECT_EQ(links[1].id, 16);
    int x = 4 + TextWidth("xy");
    EXPECT_EQ(links[1].rect, Rect(x, 31, x + TextWidth("cd"), 46));
}

TEST_F(MultiTextTest, ColoursFollowTheColourTag) {
    struct Case {
        const char* tag;
        ui::COLORREF colour;
    } cases[] = {{"$color=0xFF0000$", RGB(255, 0, 0)}, {"$color=0x0000FF$", RGB(0, 0, 255)},
                 {"$color=255$", RGB(0, 0, 255)},      {"$color=010$", RGB(0, 0, 8)},
                 {"$color=junk$", RGB(0, 0, 0)},       {"$COLOR = 0x00ff00 $", RGB(0, 255, 0)}};
    for (const Case& k : cases) {
        CMultiTextCtrl c;
        Make(c);
        c.SetText(std::string(k.tag) + "■");
        QImage img = Paint(c);
        int w = TextWidth("■");
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 4 + w / 2, 8)), Rgb(k.colour)) << k.tag;
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 2, 8)), Rgb(RGB(255, 255, 255)));
    }
}

TEST_F(MultiTextTest, ClicksTellTheParentAndRememberTheLink) {
    CMultiTextCtrl c;
    Make(c);
    c.SetText("前$link=3$リンク$/link$後");
    Paint(c);
    ASSERT_EQ(c.GetLinks().size(), 1u);
    Rect r = c.GetLinks()[0].rect;
    ui::test::MouseDown(c, r.CenterPoint());
    ui::test::MouseUp(c, r.CenterPoint());
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].id, 77);
    EXPECT_EQ(host.commands[0].code, 0);
    EXPECT_EQ(host.commands[0].from, &c);
    EXPECT_EQ(c.GetPushedLink(), 3);
    EXPECT_EQ(ui::Wnd::GetFocus(), &c);
    ui::test::MouseDown(c, Point(2, 60));
    EXPECT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(c.GetPushedLink(), -1);
}

TEST_F(MultiTextTest, TheLinkUnderTheMouseIsHighlightedUntilTheMouseLeaves) {
    CMultiTextCtrl c;
    Make(c);
    c.SetText("$link=5$ああ$/link$");
    Paint(c);
    Rect r = c.GetLinks()[0].rect;
    ui::test::MouseMove(c, r.CenterPoint());
    EXPECT_EQ(c.GetHoverLinkRect(), r);
    EXPECT_EQ(ui::Wnd::GetCapture(), &c);
    QImage img = Paint(c);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, r.left, r.top)), Rgb(RGB(192, 192, 192)));
    ui::test::MouseMove(c, Point(150, 80));
    EXPECT_EQ(c.GetHoverLinkRect().left, -1);
    EXPECT_EQ(ui::Wnd::GetCapture(), nullptr);
    img = Paint(c);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, r.left, r.top)), Rgb(RGB(255, 255, 255)));
    // Leaving the control ends the highlight too.
    ui::test::MouseMove(c, r.CenterPoint());
    EXPECT_EQ(c.GetHoverLinkRect(), r);
    ui::test::MouseMove(c, Point(-30, 5));
    EXPECT_EQ(c.GetHoverLinkRect().left, -1);
}

TEST_F(MultiTextTest, BreakingKeepsWholeCharactersAndAlwaysTakesOnePerLine) {
    const int cw = TextWidth("あ");
    struct Case {
        const char* name;
        int width;  // client width
        int lines;
    } cases[] = {
        {"narrower than one character", 4 + cw / 2, 5},
        {"two characters a line", 4 + 2 * cw + cw / 2, 3},
        {"wide enough", 400, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CMultiTextCtrl c;
        // Mode 2 keeps the bars away, so the client is exactly the window.
        c.SetHorzScrollVerShowMode(2);
        c.SetVertScrollVerShowMode(2);
        Make(c, Rect(0, 0, k.width, 200), true);
        c.SetText("$link=1$あ$/link$いうえ$link=2$お$/link$");
        Paint(c);
        EXPECT_EQ(c.CalcWindowSize().cy, k.lines * 15 + 1);
        ASSERT_EQ(c.GetLinks().size(), 2u);
        EXPECT_EQ(c.GetLinks()[0].rect, Rect(4, 1, 4 + cw, 16));
        // The second link starts at the end of a full line and ends on the next one: its
        // rectangle runs from its start point to its end point. Wide enough, it is simply where
        // its character is.
        Rect second = c.GetLinks()[1].rect;
        if (k.lines == 1) {
            EXPECT_EQ(second.left, 4 + TextWidth("あ") + TextWidth("いうえ"));
            EXPECT_EQ(second.top, 1);
        } else if (k.lines == 5) {
            EXPECT_EQ(second, Rect(4 + TextWidth("え"), 46, 4 + TextWidth("お"), 76));
        } else {
            EXPECT_EQ(second, Rect(4 + TextWidth("うえ"), 16, 4 + TextWidth("お"), 46));
        }
    }
}

TEST_F(MultiTextTest, ALinkBrokenBackwardsCanNeitherBeHoveredNorClicked) {
    const int cw = TextWidth("あ");
    CMultiTextCtrl c;
    c.SetHorzScrollVerShowMode(2);
    c.SetVertScrollVerShowMode(2);
    Make(c, Rect(0, 0, 4 + 3 * cw, 100), true);
    c.SetText("ああ$link=9$あいう$/link$");
    Paint(c);
    ASSERT_EQ(c.GetLinks().size(), 1u);
    Rect r = c.GetLinks()[0].rect;
    EXPECT_TRUE(r.IsRectEmpty());
    ui::test::MouseMove(c, Point(4 + cw / 2, 20));
    EXPECT_EQ(c.GetHoverLinkRect().left, -1);
    ui::test::MouseDown(c, Point(4 + cw / 2, 20));
    EXPECT_EQ(c.GetPushedLink(), -1);
}

TEST_F(MultiTextTest, TheCopyMenuCopiesTheTaggedTextWithCrLf) {
    CMultiTextCtrl c;
    Make(c);
    c.SetText("");
    Script().ChooseMenu(0);
    ui::test::MouseDown(c, Point(5, 5), true);
    ASSERT_EQ(Script().MenusShown().size(), 1u);
    EXPECT_EQ(Script().MenusShown()[0], std::vector<std::string>{"コピー(&C) (greyed)"});

    c.SetText("a$color=0xFF0000$b\nc");
    ui::SetClipboardText("before");
    Script().ChooseMenu(CMultiTextCtrl::kCommandCopy);
    ui::test::MouseDown(c, Point(5, 5), true);
    EXPECT_EQ(Script().MenusShown()[1], std::vector<std::string>{"コピー(&C)"});
    EXPECT_EQ(ui::GetClipboardText().value_or(""), "a$color=0xFF0000$b\r\nc");

    // A clipboard that cannot be opened drops the copy.
    ui::SetClipboardText("kept");
    ui::test::SetClipboardAvailable(false);
    Script().ChooseMenu(CMultiTextCtrl::kCommandCopy);
    ui::test::MouseDown(c, Point(5, 5), true);
    ui::test::SetClipboardAvailable(true);
    EXPECT_EQ(ui::GetClipboardText().value_or(""), "kept");
}

TEST_F(MultiTextTest, AnotherSeparatorShowsDollarSignsAsText) {
    CMultiTextCtrl c;
    Make(c);
    c.SetTagSeparateChar('#');
    c.SetText("a$b$c#color=0xFF#d");
    EXPECT_EQ(c.CalcWindowSize().cx, 4 + TextWidth("a$b$c") + TextWidth("d"));
}

TEST_F(MultiTextTest, TheWheelScrollsOneLineWhenTheTextIsTaller) {
    CMultiTextCtrl c;
    Make(c);
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "行 " + std::to_string(i) + "\n";
    c.SetText(text);
    EXPECT_EQ(c.GetScrollPosition().y, 0);
    ui::test::Wheel(c, Point(20, 20), -120);
    EXPECT_EQ(c.GetScrollPosition().y, 1);
    ui::test::Wheel(c, Point(20, 20), 120);
    EXPECT_EQ(c.GetScrollPosition().y, 0);
    c.SetText(text, true, true);
    int minPos = 0;
    int maxPos = 0;
    c.GetScrollRange(ui::SB_VERT, &minPos, &maxPos);
    ui::ScrollInfo v = c.GetScrollInfo(ui::SB_VERT);
    EXPECT_EQ(c.GetScrollPosition().y, v.nMax - v.nPage + 1);
    // A text that fits ignores the wheel.
    c.SetText("短い");
    ui::test::Wheel(c, Point(20, 20), -120);
    EXPECT_EQ(c.GetScrollPosition().y, 0);
}

TEST_F(MultiTextTest, AWheelTurnOverTheScrollBarMovesTheTextOneLine) {
    CMultiTextCtrl c;
    Make(c);
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "行 " + std::to_string(i) + "\n";
    c.SetText(text);
    ASSERT_TRUE(c.IsScrollBarVisible(ui::SB_VERT));
    QWidget* bar = c.Host()->bars[ui::SB_VERT].widget;
    ASSERT_NE(bar, nullptr);
    // Three notches in one turn, over the bar: one message, one line.
    QWheelEvent e(QPointF(5, 20), bar->mapToGlobal(QPointF(5, 20)), QPoint(), QPoint(0, -360), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(bar, &e);
    EXPECT_EQ(c.GetScrollPosition().y, 1);
}

TEST_F(MultiTextTest, TheBackgroundPictureStaysWhileTheTextScrolls) {
    CMultiTextCtrl c;
    Make(c);
    MbBmp::CControlBmp pic;
    ASSERT_TRUE(pic.CreateBitmap(30, 20, 24));
    pic.FillRect(0, 0, 30, 20, RGB(0, 128, 0));
    c.SetBackGroundBmp(&pic);
    c.SetBackColor(RGB(250, 250, 200));
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "\n";
    c.SetText(text);
    QImage img = Paint(c);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 29, 19)), Rgb(RGB(0, 128, 0)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 30, 10)), Rgb(RGB(250, 250, 200)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 10, 20)), Rgb(RGB(250, 250, 200)));
    c.SetScrollPosition(Point(0, 3));
    img = Paint(c);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, 29, 19)), Rgb(RGB(0, 128, 0)));
}

}  // namespace
}  // namespace rymd::gui_test
