// Message boxes: answers by key and click, focus, layout and the looks of each style.
#include <QWidget>
#include <algorithm>
#include <functional>

#include "gui/gui_test_util.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/font.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CMsgBoxDlg;
using ui::RGB;

int MulDiv(int a, int b, int c) {
    return (a * b + c / 2) / c;
}

// Runs the box of the given kind (0 MbMsgBox, 1 OK/Cancel, 2 Yes/No); MbMsgBox gives -2.
int RunKind(int kind, const char* text, bool focusSecond) {
    switch (kind) {
        case 0: MbMsgBox(text); return -2;
        case 1: return MbMsgBoxOkCancel(text, focusSecond);
        default: return MbMsgBoxYesNo(text, focusSecond);
    }
}

// The width of a text in the box's font.
int BoxTextWidth(const std::string& line) {
    return PGothicTextWidth(12, line);
}

class MsgBoxTest : public GuiTest {};

struct KeyCase {
    const char* name;
    int kind;
    bool focusSecond;
    unsigned key;
    int expected;  // the box's result
};

TEST_F(MsgBoxTest, KeysAnswerAsTheFocusedButtonOrTheBoxDefaults) {
    const KeyCase cases[] = {
        {"yes/no Enter on はい", 2, false, ui::VK_RETURN, ui::IDYES},
        {"yes/no Escape", 2, false, ui::VK_ESCAPE, ui::IDNO},
        {"yes/no focus second, Enter", 2, true, ui::VK_RETURN, ui::IDNO},
        {"yes/no focus second, Escape", 2, true, ui::VK_ESCAPE, ui::IDNO},
        {"ok/cancel Enter", 1, false, ui::VK_RETURN, ui::IDOK},
        {"ok/cancel Escape", 1, false, ui::VK_ESCAPE, ui::IDCANCEL},
        {"ok/cancel focus second, Enter", 1, true, ui::VK_RETURN, ui::IDCANCEL},
        {"ok Enter", 0, false, ui::VK_RETURN, ui::IDOK},
        {"ok Escape closes too", 0, false, ui::VK_ESCAPE, ui::IDCANCEL},
        {"yes/no Space on はい", 2, false, ui::VK_SPACE, ui::IDYES},
    };
    for (int style : {0, 1}) {
        SetMsgBoxStyle(style);
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " style " + std::to_string(style));
            std::intptr_t seen = 0;
            Script().OnDialog([&](ui::Dialog& d) {
                ui::test::PressKey(d, c.key);
                EXPECT_TRUE(d.IsEnded());
                seen = d.GetResult();
            });
            int r = RunKind(c.kind, "質問です", c.focusSecond);
            EXPECT_EQ(seen, c.expected);
            if (c.kind != 0) {
                EXPECT_EQ(r, c.expected);
            }
        }
    }
}

TEST_F(MsgBoxTest, EnterWithNoButtonFocusedAnswersTheFirstAnswer) {
    Script().OnDialog([](ui::Dialog& d) {
        d.SetFocus();  // the box itself, not a button
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    EXPECT_EQ(MbMsgBoxYesNo("はいかいいえか", true), ui::IDYES);
}

TEST_F(MsgBoxTest, ClicksAnswerWithTheClickedButton) {
    Script().Click(ui::IDOK);
    EXPECT_EQ(MbMsgBoxYesNo("a", false), ui::IDYES);
    Script().Click(ui::IDCANCEL);
    EXPECT_EQ(MbMsgBoxYesNo("a", false), ui::IDNO);
    Script().Click(ui::IDCANCEL);
    EXPECT_EQ(MbMsgBoxOkCancel("a", false), ui::IDCANCEL);
    Script().OnDialog([](ui::Dialog& d) {
        auto& box = dynamic_cast<CMsgBoxDlg&>(d);
        Rect r = box.FirstButton().GetClientRect();
        ui::test::DoubleClick(box.FirstButton(), r.CenterPoint());
    });
    EXPECT_EQ(MbMsgBoxOkCancel("a", false), ui::IDOK);
}

TEST_F(MsgBoxTest, FocusStartsOnTheFirstButtonOrOnTheSecondWhenAsked) {
    for (bool second : {false, true}) {
        Script().OnDialog([second](ui::Dialog& d) {
            auto& box = dynamic_cast<CMsgBoxDlg&>(d);
            EXPECT_EQ(ui::Wnd::GetFocus(), second ? static_cast<ui::Wnd*>(&box.SecondButton())
                                                  : static_cast<ui::Wnd*>(&box.FirstButton()));
            d.EndDialog(ui::IDOK);
        });
        MbMsgBoxOkCancel("確認", second);
    }
}

TEST_F(MsgBoxTest, CaptionsFollowTheKind) {
    struct Case {
        int kind;
        const char* first;
        const char* second;
        bool secondVisible;
    } cases[] = {{0, "OK", "ｷｬﾝｾﾙ", false}, {1, "OK", "ｷｬﾝｾﾙ", true}, {2, "はい", "いいえ", true}};
    for (const Case& c : cases) {
        Script().OnDialog([&c](ui::Dialog& d) {
            auto& box = dynamic_cast<CMsgBoxDlg&>(d);
            EXPECT_EQ(box.FirstButton().GetWindowText(), c.first);
            EXPECT_EQ(box.SecondButton().GetWindowText(), c.second);
            EXPECT_EQ(box.SecondButton().IsWindowVisible(), c.secondVisible);
            EXPECT_EQ(box.m_strText, "本文");
            d.EndDialog(ui::IDCANCEL);
        });
        RunKind(c.kind, "本文", false);
    }
}

struct LayoutCase {
    const char* name;
    int kind;
    const char* text;
    int lines;
    std::string widestLine;
};

TEST_F(MsgBoxTest, TheBoxIsAsLargeAsItsTextAndButtonsNeed) {
    const std::string longLine(60, 'W');
    const LayoutCase cases[] = {
        {"empty, OK", 0, "", 0, ""},
        {"empty, OK/Cancel", 1, "", 0, ""},
        {"empty, Yes/No", 2, "", 0, ""},
        {"one line", 0, "一行", 1, "一行"},
        {"a trailing line feed adds no line", 0, "一行\n", 1, "一行"},
        {"two line feeds give an empty line", 2, "上\n\n下の行", 3, "下の行"},
        {"a long line widens the box", 1, longLine.c_str(), 1, longLine},
    };
    SetMsgBoxStyle(1);
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        Script().OnDialog([&c](ui::Dialog& d) {
            auto& box = dynamic_cast<CMsgBoxDlg&>(d);
            const ui::DialogBaseUnits u = box.BaseUnits();
            const int b1w = MulDiv(50, u.cx, 4);
            const int b1x = MulDiv(67, u.cx, 4);
            const int b2x = MulDiv(120, u.cx, 4);
            const int span = b2x + b1w - b1x;
            const int textW = c.widestLine.empty() ? 0 : BoxTextWidth(c.widestLine);
            const int textH = 12 * c.lines;
            const int need = (c.kind == 0 ? b1w : span) + 40;
            const int width = std::max(textW, need) + 30;
            const int height = textH + 60;
            EXPECT_EQ(box.GetTextWidth(), textW);
            EXPECT_EQ(box.GetTextHeight(), textH);
            Rect client = box.GetClientRect();
            EXPECT_EQ(client.Width(), width);
            EXPECT_EQ(client.Height(), height);
            // The whole window is client area in this style.
            EXPECT_EQ(box.GetWindowRect().GetSize(), client.GetSize());
            // The buttons keep their size, move down with the text and stay centred.
            const int top = MulDiv(24, u.cy, 8) + height - MulDiv(45, u.cy, 8);
            Rect b1 = box.FirstButton().GetWindowRect();
            box.ScreenToClient(b1);
            EXPECT_EQ(b1.Width(), b1w);
            EXPECT_EQ(b1.top, top);
            if (c.kind == 0) {
                EXPECT_EQ(b1.left, width / 2 - b1w / 2);
            } else {
                Rect b2 = box.SecondButton().GetWindowRect();
                box.ScreenToClient(b2);
                EXPECT_EQ(b1.left, width / 2 - span / 2);
                EXPECT_EQ(b2.right, width / 2 + span / 2);
                EXPECT_EQ(b2.top, top);
            }
            d.EndDialog(ui::IDOK);
        });
        RunKind(c.kind, c.text, false);
    }
}

TEST_F(MsgBoxTest, StyleZeroKeepsTheFrameAndGrowsTheSameWay) {
    Rect sizes[2];
    bool frameless[2] = {};
    for (int style : {0, 1}) {
        SetMsgBoxStyle(style);
        Script().OnDialog([&, style](ui::Dialog& d) {
            sizes[style] = d.GetClientRect();
            frameless[style] = d.GetWidget()->windowFlags().testFlag(Qt::FramelessWindowHint);
            d.EndDialog(ui::IDOK);
        });
        MbMsgBox("一行目\n二行目");
    }
    EXPECT_EQ(sizes[0], sizes[1]);
    EXPECT_FALSE(frameless[0]);
    EXPECT_TRUE(frameless[1]);
}

TEST_F(MsgBoxTest, StyleOneBackgroundIsAGradientInsideBlackWhiteAndGreyFrames) {
    SetMsgBoxStyle(1);
    Script().OnDialog([](ui::Dialog& d) {
        QImage img = ui::test::Grab(d);
        const int w = d.GetClientRect().Width();
        const int h = d.GetClientRect().Height();
        ASSERT_EQ(img.width(), w);
        ASSERT_EQ(img.height(), h);
        // Button face (212, 208, 200): light min(255, c x 10 / 9), dark c x 7 / 10.
        const int light[3] = {235, 231, 222};
        const int dark[3] = {148, 145, 140};
        auto expected = [&](int y) {
            int v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = light[k] + (dark[k] - light[k]) * y / h;
            return RGB(v[0], v[1], v[2]);
        };
        for (int y = 3; y < h - 3; ++y)
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, 5, y)), Rgb(expected(y))) << "row " << y;
        EXPECT_EQ(expected(3),
                  RGB(light[0] + (dark[0] - light[0]) * 3 / h, light[1] + (dark[1] - light[1]) * 3 / h,
                      light[2] + (dark[2] - light[2]) * 3 / h));
        const ui::COLORREF black = RGB(0, 0, 0);
        const ui::COLORREF white = RGB(255, 255, 255);
        const ui::COLORREF grey = RGB(80, 80, 80);
        struct Px {
            int x, y;
            ui::COLORREF c;
        } pixels[] = {
            {0, 0, black},
            {w - 1, 0, black},
            {0, h - 1, black},
            {w - 1, h - 1, black},
            {w / 2, 0, black},
            {0, h / 2, black},
            {w - 1, h / 2, black},
            {5, h - 1, black},
            {1, 1, white},
            {w - 2, 1, white},
            {1, h - 2, white},
            {w / 2, 1, white},
            {1, h / 2, white},
            {2, 2, grey},
            {w - 3, 2, grey},
            {2, h - 3, grey},
            {w - 3, h - 3, grey},
            {w / 2, h - 3, grey},
            {w - 3, h / 2, grey},
            {w - 2, 2, expected(2)},
            {w - 2, h / 2, expected(h / 2)},
            {5, h - 2, expected(h - 2)},
        };
        for (const Px& p : pixels)
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, p.x, p.y)), Rgb(p.c)) << "at " << p.x << "," << p.y;
        d.EndDialog(ui::IDOK);
    });
    MbMsgBox("背景の確認");
}

TEST_F(MsgBoxTest, StyleTwoPaintsASunkenPanelBehindTheText) {
    SetMsgBoxStyle(2);
    Script().OnDialog([](ui::Dialog& d) {
        auto& box = dynamic_cast<CMsgBoxDlg&>(d);
        QImage img = ui::test::Grab(d);
        const int w = d.GetClientRect().Width();
        const int bottom = 15 + box.GetTextHeight() + 4;  // the panel's bottom edge
        const ui::COLORREF black = RGB(0, 0, 0);
        const ui::COLORREF white = RGB(255, 255, 255);
        struct Px {
            int x, y;
            ui::COLORREF c;
        } pixels[] = {
            {10, 11, black},
            {w - 11, 11, black},
            {10, bottom - 1, black},
            {12, 13, RGB(160, 160, 160)},
            {w - 12, bottom - 2, RGB(160, 160, 160)},
            {w - 10, 11, white},
            {w - 10, bottom - 1, white},
            {10, bottom, white},
            {w - 10, bottom, white},
        };
        for (const Px& p : pixels)
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, p.x, p.y)), Rgb(p.c)) << "at " << p.x << "," << p.y;
        d.EndDialog(ui::IDOK);
    });
    MbMsgBox("パネル");
}

// The letters of the last line hang below its cell (g, p, y, _): they are painted whole, not cut
// at the cell's bottom edge. In each style some pixel of the three rows below the text's lines,
// across the text, is the text's ink rather than the ground behind it.
TEST_F(MsgBoxTest, TheLastLineIsPaintedWholeBelowItsCell) {
    for (int style : {0, 1, 2}) {
        SCOPED_TRACE(style);
        SetMsgBoxStyle(style);
        Script().OnDialog([style](ui::Dialog& d) {
            auto& box = dynamic_cast<CMsgBoxDlg&>(d);
            const QImage img = ui::test::Grab(d);
            const int w = d.GetClientRect().Width();
            const int bottom = 15 + box.GetTextHeight();
            int ink = 0;
            for (int y = bottom; y < bottom + 3; ++y)
                for (int x = w / 2 - box.GetTextWidth() / 2; x < w / 2 + box.GetTextWidth() / 2; ++x) {
                    const ui::COLORREF c = ui::test::PixelAt(img, x, y);
                    // Black letters on the light grounds; white letters with black shadows on
                    // the grey panel of style 2.
                    const bool dark =
                        ui::GetRValue(c) < 110 && ui::GetGValue(c) < 110 && ui::GetBValue(c) < 110;
                    ink += style == 2 ? c != RGB(160, 160, 160) : dark;
                }
            EXPECT_GT(ink, 0);
            d.EndDialog(ui::IDOK);
        });
        MbMsgBox("上の行\nplaying_gyp");
    }
}

TEST_F(MsgBoxTest, ChangingTheStyleAffectsOnlyBoxesMadeLater) {
    SetMsgBoxStyle(1);
    Script().OnDialog([](ui::Dialog& d) {
        SetMsgBoxStyle(2);
        EXPECT_EQ(dynamic_cast<CMsgBoxDlg&>(d).m_nStyle, 1);
        d.EndDialog(ui::IDOK);
    });
    MbMsgBox("一");
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_EQ(dynamic_cast<CMsgBoxDlg&>(d).m_nStyle, 2);
        d.EndDialog(ui::IDOK);
    });
    MbMsgBox("二");
}

TEST_F(MsgBoxTest, TheBoxCanBeDraggedByAnyPoint) {
    SetMsgBoxStyle(1);
    Script().OnDialog([](ui::Dialog& d) {
        Rect before = d.GetWindowRect();
        ui::test::MouseDown(d, Point(5, 5));
        EXPECT_EQ(ui::Wnd::GetCapture(), &d);
        ui::test::MouseMove(d, Point(25, 15), true);
        Rect after = d.GetWindowRect();
        EXPECT_EQ(after.left - before.left, 20);
        EXPECT_EQ(after.top - before.top, 10);
        EXPECT_EQ(after.GetSize(), before.GetSize());
        ui::test::MouseUp(d, Point(5, 5));
        ui::test::MouseMove(d, Point(6, 6), false);
        EXPECT_EQ(ui::Wnd::GetCapture(), nullptr);
        d.EndDialog(ui::IDOK);
    });
    MbMsgBox("ドラッグ");
}

TEST_F(MsgBoxTest, BoxesNestInsideAStep) {
    Script().OnDialog([](ui::Dialog& d) {
        // A second box asked while the first is open is answered by the next step.
        EXPECT_EQ(MbMsgBoxOkCancel("内側", false), ui::IDCANCEL);
        d.EndDialog(ui::IDOK);
    });
    Script().PressKey(ui::VK_ESCAPE);
    EXPECT_EQ(MbMsgBoxOkCancel("外側", false), ui::IDOK);
}

TEST_F(MsgBoxTest, AnUnansweredBoxIsAnErrorAndGivesMinusOne) {
    std::vector<std::string> errors;
    {
        ui::test::Script inner;
        inner.SetErrorHandler([&](const std::string& m) { errors.push_back(m); });
        EXPECT_EQ(MbMsgBoxYesNo("誰も答えない", false), -1);
        inner.OnDialog([](ui::Dialog&) {});  // leaves the box open
        EXPECT_EQ(MbMsgBoxYesNo("開いたまま", false), -1);
    }
    EXPECT_EQ(errors.size(), 2u);
}

// A dialog that runs a piece of code while it sets itself up, before it is shown.
class SettingUpDialog : public ui::Dialog {
public:
    explicit SettingUpDialog(ui::Wnd* parent, std::function<void(ui::Dialog&)> setUp = {})
        : Dialog(Template(), parent), setUp_(std::move(setUp)) {}
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        if (setUp_) setUp_(*this);
        return true;
    }

private:
    static ui::DialogTemplate Template() {
        ui::DialogTemplate t;
        t.caption = "設定中";
        t.cx = 160;
        t.cy = 80;
        return t;
    }
    std::function<void(ui::Dialog&)> setUp_;
};

// A box opened now must stand over the window.
void ExpectBoxOver(ui::test::Script& script, ui::Wnd& over) {
    bool shown = false;
    script.OnDialog([&](ui::Dialog& box) {
        shown = true;
        EXPECT_TRUE(StandsOver(box, over));
        box.EndDialog(ui::IDOK);
    });
    MbMsgBox("上に");
    EXPECT_TRUE(shown);
}

// A box stands over the dialog it is opened from (the innermost one up), over the main window
// when no dialog is up; a dialog that is not shown yet hands it on to the window it stands over.
TEST_F(MsgBoxTest, ABoxStandsOverTheDialogItIsOpenedFrom) {
    HostWindow map;
    ASSERT_TRUE(map.Open(640, 480));
    ui::SetMainWindow(&map);
    {
        SCOPED_TRACE("no dialog: the main window");
        ExpectBoxOver(Script(), map);
    }
    {
        SCOPED_TRACE("a dialog and one opened from it");
        SettingUpDialog outer(nullptr);
        SettingUpDialog inner(&outer);
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_TRUE(StandsOver(d, map));
            ExpectBoxOver(Script(), d);
            Script().OnDialog([&](ui::Dialog& i) {
                ExpectBoxOver(Script(), i);
                i.EndDialog(ui::IDOK);
            });
            inner.DoModal();
            ExpectBoxOver(Script(), d);
            d.EndDialog(ui::IDOK);
        });
        outer.DoModal();
    }
    {
        SCOPED_TRACE("a dialog that sets itself up, and one it opens then");
        SettingUpDialog outer(&map, [&](ui::Dialog& d) {
            EXPECT_FALSE(d.IsWindowVisible());
            ExpectBoxOver(Script(), map);
            Script().OnDialog([&](ui::Dialog& i) {
                EXPECT_TRUE(StandsOver(i, map));
                ExpectBoxOver(Script(), i);
                i.EndDialog(ui::IDOK);
            });
            SettingUpDialog inner(&d);
            inner.DoModal();
            Script().Answer(ui::IDOK);  // the dialog itself, once shown
        });
        outer.DoModal();
    }
    ui::SetMainWindow(nullptr);
}

}  // namespace
}  // namespace rymd::gui_test
