// The battle-results dialog: its controls over their frames, its looks at stated points, closing
// by key and button, and a month without battles.
#include <algorithm>

#include "game/shell/dialogs/military/kassen_result_dlg.h"
#include "gui/gui_test_util.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

const char* const kReport =
    "越後と越中間で上杉軍と神保軍が野戦\n  → 上杉軍の勝利\n春日山城の攻防戦\n  → 守備側の勝利";
const char* const kFates = "神保長職は討死しました\n椎名康胤は捕らえられました";

// The rectangle of a child in its dialog's client coordinates.
Rect ChildRect(ui::Wnd& dialog, ui::Wnd& child) {
    Rect r = child.GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}

bool Dark(ui::COLORREF c) {
    return ui::GetRValue(c) + ui::GetGValue(c) + ui::GetBValue(c) < 384;
}

// The dark pixels of a rectangle of a picture, and the columns they span.
struct Ink {
    int count = 0;
    int left = 1 << 30;
    int right = -1;
    int top = 1 << 30;
    int bottom = -1;
};
Ink InkIn(const QImage& img, const Rect& r) {
    Ink ink;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Dark(ui::test::PixelAt(img, x, y))) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

class KassenResultDlgTest : public GuiTest {};

TEST_F(KassenResultDlgTest, TheBoardAndTheViewsLieOverTheirFramesWithTheTexts) {
    CKassenResultDlg fresh;
    EXPECT_EQ(fresh.m_strKassen, "");
    EXPECT_EQ(fresh.m_strFates, "");
    Script().OnDialog([](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKassenResultDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "合戦結果");
        EXPECT_EQ(d.GetDlgItem(ui::IDOK)->GetWindowText(), "閉じる");
        EXPECT_EQ(d.GetDlgItem(ui::IDOK), &dlg.CloseButton());
        struct Area {
            int frame;
            ui::Wnd* control;
        } areas[] = {{CKassenResultDlg::kReportFrameId, &dlg.ReportView()},
                     {CKassenResultDlg::kFatesFrameId, &dlg.FatesView()},
                     {CKassenResultDlg::kTitleFrameId, &dlg.TitleBoard()}};
        for (const Area& a : areas) {
            ui::Wnd* frame = d.GetDlgItem(a.frame);
            ASSERT_NE(frame, nullptr) << a.frame;
            EXPECT_EQ(ChildRect(d, *a.control), ChildRect(d, *frame)) << a.frame;
            EXPECT_FALSE(ChildRect(d, *frame).IsRectEmpty()) << a.frame;
        }
        EXPECT_EQ(d.GetDlgItem(CKassenResultDlg::kReportViewId), &dlg.ReportView());
        EXPECT_EQ(d.GetDlgItem(CKassenResultDlg::kFatesViewId), &dlg.FatesView());
        for (auto* view : {&dlg.ReportView(), &dlg.FatesView()}) {
            EXPECT_TRUE(view->GetExStyle() & ui::WS_EX_CLIENTEDGE);
            EXPECT_TRUE(view->GetStyle() & ui::WS_BORDER);
            EXPECT_TRUE(view->IsWindowVisible());
        }
        EXPECT_EQ(dlg.ReportView().GetText(), kReport);
        EXPECT_EQ(dlg.FatesView().GetText(), kFates);
        // The report area is the large one, above the fates.
        Rect report = ChildRect(d, dlg.ReportView());
        Rect fates = ChildRect(d, dlg.FatesView());
        EXPECT_GT(report.Height(), fates.Height());
        EXPECT_LT(report.bottom, fates.top);
        EXPECT_LT(ChildRect(d, dlg.TitleBoard()).bottom, report.top);
        EXPECT_LT(fates.bottom, ChildRect(d, dlg.CloseButton()).top);
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    EXPECT_EQ(ShowKassenResult(nullptr, kReport, kFates), ui::IDOK);
    EXPECT_EQ(Script().DialogsShown(), std::vector<std::string>{"合戦結果"});
}

TEST_F(KassenResultDlgTest, PixelsOfTheBoardTheViewsAndTheButton) {
    Script().OnDialog([](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKassenResultDlg&>(d);
        QImage img = ui::test::Grab(d);
        const ui::COLORREF white = RGB(255, 255, 255);

        // The title board: white with a raised edge and the title centred on one line.
        Rect b = ChildRect(d, dlg.TitleBoard());
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, b.left, b.top)), Rgb(white));
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, b.right - 1, b.bottom - 1)), Rgb(RGB(127, 127, 127)));
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, b.left + 3, b.top + b.Height() / 2)), Rgb(white));
        Ink title = InkIn(img, Rect(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1));
        EXPECT_GT(title.count, 40);
        const int width = PGothicTextWidth(14, CKassenResultDlg::kTitle);
        const int expectedLeft = b.left + (b.Width() - width) / 2;
        EXPECT_NEAR(title.left, expectedLeft, 2);
        EXPECT_NEAR(title.right, expectedLeft + width - 1, 3);
        EXPECT_NEAR(title.top - b.top, b.bottom - 1 - title.bottom, 3);  // centred vertically

        // The views: a sunken two-pixel edge, white inside; the report's first line is written at
        // (4, 1) of the client area, the fates view is written too.
        for (auto* view : {&dlg.ReportView(), &dlg.FatesView()}) {
            Rect v = ChildRect(d, *view);
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 10, v.top)), Rgb(RGB(128, 128, 128)));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left, v.top + 10)), Rgb(RGB(128, 128, 128)));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 10, v.top + 1)), Rgb(RGB(64, 64, 64)));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 10, v.bottom - 1)), Rgb(white));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.right - 1, v.top + 10)), Rgb(white));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 2, v.top + 2)), Rgb(white));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.right - 4, v.bottom - 4)), Rgb(white));
            Ink firstLine = InkIn(img, Rect(v.left + 2, v.top + 2, v.left + 200, v.top + 2 + 16));
            EXPECT_GT(firstLine.count, 40);
            EXPECT_GE(firstLine.left, v.left + 2 + 4);
        }

        // The close button holds the focus: a black frame around its gradient face.
        Rect c = ChildRect(d, dlg.CloseButton());
        EXPECT_EQ(ui::Wnd::GetFocus(), &dlg.CloseButton());
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, c.left, c.top)), Rgb(RGB(0, 0, 0)));
        const ui::COLORREF top = dlg.CloseButton().GetFocusedTopColor();
        const ui::COLORREF bottom = dlg.CloseButton().GetFocusedBottomColor();
        const int y = c.Height() / 2;
        auto mid = [&](int t, int u) { return t + (u - t) * y / (c.Height() - 1); };
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, c.left + 4, c.top + y)),
                  Rgb(RGB(mid(ui::GetRValue(top), ui::GetRValue(bottom)),
                          mid(ui::GetGValue(top), ui::GetGValue(bottom)),
                          mid(ui::GetBValue(top), ui::GetBValue(bottom)))));
        EXPECT_GT(InkIn(img, c).count, 20);  // the caption
        d.EndDialog(ui::IDOK);
    });
    ShowKassenResult(nullptr, kReport, kFates);
}

TEST_F(KassenResultDlgTest, EnterEscapeAndTheButtonCloseTheDialog) {
    struct Case {
        const char* name;
        unsigned key;  // 0: click the button
        std::intptr_t result;
    } cases[] = {{"Enter", ui::VK_RETURN, ui::IDOK},
                 {"Escape", ui::VK_ESCAPE, ui::IDCANCEL},
                 {"the close button", 0, ui::IDOK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ended = false;
        Script().OnDialog([&](ui::Dialog& d) {
            if (c.key)
                ui::test::PressKey(d, c.key);
            else
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            ended = d.IsEnded();
        });
        EXPECT_EQ(ShowKassenResult(nullptr, kReport, kFates), c.result);
        EXPECT_TRUE(ended);
    }
}

TEST_F(KassenResultDlgTest, AMonthWithoutBattlesShowsNashiAndAnEmptyFatesView) {
    for (const char* given : {"", "なし"}) {
        SCOPED_TRACE(given);
        Script().OnDialog([](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CKassenResultDlg&>(d);
            EXPECT_EQ(dlg.ReportView().GetText(), "なし");
            EXPECT_EQ(dlg.FatesView().GetText(), "");
            QImage img = ui::test::Grab(d);
            Rect r = ChildRect(d, dlg.ReportView());
            Ink word = InkIn(img, Rect(r.left + 2, r.top + 2, r.right - 2, r.top + 2 + 16));
            EXPECT_GT(word.count, 10);
            EXPECT_LT(word.right, r.left + 2 + 4 + 2 * 16);  // two characters
            Rect f = ChildRect(d, dlg.FatesView());
            EXPECT_EQ(InkIn(img, Rect(f.left + 2, f.top + 2, f.right - 2, f.bottom - 2)).count, 0);
            d.EndDialog(ui::IDOK);
        });
        ShowKassenResult(nullptr, given, "");
    }
}

}  // namespace
}  // namespace rymd::gui_test
