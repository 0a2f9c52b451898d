// Window borders: which styles draw a frame inside a child window, and so how much of the window
// is left to its client area.
#include "gui/gui_test_util.h"
#include "platform/qt/controls.h"

namespace rymd::gui_test {
namespace {

struct BorderCase {
    const char* name;
    std::uint32_t exStyle;
    std::uint32_t style;
    Size client;  // of a 100 x 80 child window
};

void PrintTo(const BorderCase& c, std::ostream* os) {
    *os << c.name;
}

class WndBorderTest : public GuiTest, public ::testing::WithParamInterface<BorderCase> {};

TEST_P(WndBorderTest, ClientAreaLeavesTheBorder) {
    const BorderCase& c = GetParam();
    HostWindow host;
    ASSERT_TRUE(host.Open(300, 200));
    ui::Wnd w;
    ASSERT_TRUE(
        w.CreateEx(c.exStyle, ui::WS_CHILD | ui::WS_VISIBLE | c.style, Rect(10, 10, 110, 90), &host, 50));
    EXPECT_EQ(w.GetClientRect().GetSize(), c.client);
    EXPECT_EQ(w.GetWindowRect().GetSize(), Size(100, 80));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, WndBorderTest,
    ::testing::Values(BorderCase{"plain", 0, 0, Size(100, 80)},
                      // A thin border: one pixel on each side.
                      BorderCase{"border", 0, ui::WS_BORDER, Size(98, 78)},
                      // The dialog frame alone draws nothing inside a child.
                      BorderCase{"dlgframe", 0, ui::WS_DLGFRAME, Size(100, 80)},
                      // A caption (border and dialog frame together) is not a thin border.
                      BorderCase{"caption", 0, ui::WS_CAPTION, Size(100, 80)},
                      BorderCase{"clientedge", ui::WS_EX_CLIENTEDGE, 0, Size(96, 76)},
                      BorderCase{"clientedge_and_border", ui::WS_EX_CLIENTEDGE, ui::WS_BORDER, Size(96, 76)}),
    [](const ::testing::TestParamInfo<BorderCase>& info) { return std::string(info.param.name); });

// A static text with SS_SUNKEN draws its sunken edge inside its window (shadow on the top and
// left, highlight on the bottom and right, the text inside it); a plain one draws none.
TEST_F(GuiTest, ASunkenStaticFramesItsText) {
    HostWindow host;
    ASSERT_TRUE(host.Open(300, 200));
    ui::Static sunken, plain;
    ASSERT_TRUE(sunken.Create("1234", ui::SS_RIGHT | ui::SS_SUNKEN | ui::WS_VISIBLE, Rect(10, 10, 90, 30),
                              &host, 51));
    ASSERT_TRUE(plain.Create("1234", ui::SS_RIGHT | ui::WS_VISIBLE, Rect(10, 40, 90, 60), &host, 52));
    const ui::COLORREF shadow = ui::GetSysColor(ui::COLOR_BTNSHADOW);
    const ui::COLORREF highlight = ui::GetSysColor(ui::COLOR_BTNHIGHLIGHT);
    const QImage s = ui::test::Grab(sunken);
    EXPECT_EQ(ui::test::PixelAt(s, 0, 0), shadow);
    EXPECT_EQ(ui::test::PixelAt(s, 0, 10), shadow);
    EXPECT_EQ(ui::test::PixelAt(s, 40, 0), shadow);
    EXPECT_EQ(ui::test::PixelAt(s, 79, 19), highlight);
    EXPECT_EQ(ui::test::PixelAt(s, 79, 10), highlight);
    EXPECT_EQ(ui::test::PixelAt(s, 40, 19), highlight);
    const QImage p = ui::test::Grab(plain);
    const ui::COLORREF background = ui::test::PixelAt(p, 40, 19);
    EXPECT_EQ(ui::test::PixelAt(p, 0, 0), background);
    EXPECT_EQ(ui::test::PixelAt(p, 79, 19), background);
}

}  // namespace
}  // namespace rymd::gui_test
