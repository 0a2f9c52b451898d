// The event message dialog and the event input dialog: their controls and looks at stated points,
// the choice buttons laid out under the prompt, the number check, and that neither input mode can
// be cancelled.
#include <algorithm>

#include "game/ports/event_input.h"
#include "game/shell/dialogs/events/event_input_dlg.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/events/variable_list_dlg.h"
#include "game/shell/port/qt_port.h"
#include "gui/gui_test_util.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

Rect ChildRect(ui::Wnd& dialog, ui::Wnd& child) {
    Rect r = child.GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}

int DarkPixels(const QImage& img, const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const ui::COLORREF c = ui::test::PixelAt(img, x, y);
            n += ui::GetRValue(c) + ui::GetGValue(c) + ui::GetBValue(c) < 384;
        }
    return n;
}

// The sunken edge of a bordered text view and its white inside.
void ExpectSunkenWhiteView(const QImage& img, const Rect& v) {
    const ui::COLORREF white = RGB(255, 255, 255);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 10, v.top)), Rgb(RGB(128, 128, 128)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left, v.top + 10)), Rgb(RGB(128, 128, 128)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 10, v.top + 1)), Rgb(RGB(64, 64, 64)));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.left + 10, v.bottom - 1)), Rgb(white));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.right - 1, v.top + 10)), Rgb(white));
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, v.right - 4, v.bottom - 4)), Rgb(white));
}

const char* const kTitle = "桶狭間の戦い";
const char* const kText = "永禄三年五月、今川義元は桶狭間にて織田信長の奇襲を受け、討ち取られました。";

class EventMsgDlgTest : public GuiTest {};

TEST_F(EventMsgDlgTest, TheTitleLineTheTextViewAndOnlyTheCloseButton) {
    CEventMsgDlg fresh;
    EXPECT_FALSE(fresh.m_bOK);
    EXPECT_FALSE(fresh.m_bVariableList);
    EXPECT_EQ(fresh.m_strTitle, "");
    Script().OnDialog([](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CEventMsgDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "");
        EXPECT_EQ(d.GetDlgItem(CEventMsgDlg::kTitleId)->GetWindowText(), kTitle);
        EXPECT_EQ(d.GetDlgItem(CEventMsgDlg::kTextViewId), &dlg.TextView());
        EXPECT_EQ(dlg.TextView().GetText(), kText);
        EXPECT_EQ(ChildRect(d, dlg.TextView()), ChildRect(d, *d.GetDlgItem(CEventMsgDlg::kTextFrameId)));
        EXPECT_TRUE(dlg.TextView().GetExStyle() & ui::WS_EX_CLIENTEDGE);
        EXPECT_TRUE(dlg.TextView().GetStyle() & ui::WS_BORDER);
        EXPECT_FALSE(dlg.OkButton().IsWindowVisible());
        EXPECT_FALSE(dlg.VariableListButton().IsWindowVisible());
        EXPECT_TRUE(dlg.CloseButton().IsWindowVisible());
        EXPECT_EQ(dlg.CloseButton().GetWindowText(), "閉じる");
        EXPECT_EQ(ui::Wnd::GetFocus(), &dlg.CloseButton());

        QImage img = ui::test::Grab(d);
        ExpectSunkenWhiteView(img, ChildRect(d, dlg.TextView()));
        Rect v = ChildRect(d, dlg.TextView());
        EXPECT_GT(DarkPixels(img, Rect(v.left + 2, v.top + 2, v.right - 2, v.top + 18)), 40);  // first line
        Rect title = ChildRect(d, *d.GetDlgItem(CEventMsgDlg::kTitleId));
        EXPECT_GT(DarkPixels(img, title), 20);
        // The hidden OK button leaves the dialog's face; the close button has its focus frame.
        Rect c = ChildRect(d, dlg.CloseButton());
        Rect ok = ChildRect(d, dlg.OkButton());
        EXPECT_EQ(DarkPixels(img, Rect(ok.left, ok.top, c.left - 1, ok.bottom)), 0);
        EXPECT_EQ(c, d.MapDialogRect(Rect(115, 185, 165, 199)));  // alone, in the middle
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, c.left, c.top)), Rgb(RGB(0, 0, 0)));
        EXPECT_GT(DarkPixels(img, Rect(c.left + 2, c.top + 2, c.right - 2, c.bottom - 2)), 10);
        EXPECT_TRUE(ui::test::ClickControl(d, CEventMsgDlg::kCloseId));
    });
    EXPECT_EQ(ShowEventMessageDlg(nullptr, kTitle, kText), ui::IDCANCEL);
}

TEST_F(EventMsgDlgTest, TheOkFlagShowsOkAndRelabelsCloseAsCancel) {
    Script().OnDialog([](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CEventMsgDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "解説");
        EXPECT_TRUE(dlg.OkButton().IsWindowVisible());
        EXPECT_EQ(dlg.CloseButton().GetWindowText(), "キャンセル");
        EXPECT_TRUE(dlg.VariableListButton().IsWindowVisible());
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    CEventMsgDlg dlg;
    dlg.m_bOK = true;
    dlg.m_bVariableList = true;
    dlg.m_strCaption = "解説";
    dlg.m_strText = "本文";
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(EventMsgDlgTest, EnterAndEscapeCloseTheMessage) {
    for (unsigned key : {ui::VK_RETURN, ui::VK_ESCAPE}) {
        bool ended = false;
        Script().OnDialog([&](ui::Dialog& d) {
            ui::test::PressKey(d, key);
            ended = d.IsEnded();
        });
        ShowEventMessageDlg(nullptr, kTitle, kText);
        EXPECT_TRUE(ended) << key;
    }
}

class EventInputDlgTest : public GuiTest {};

TEST_F(EventInputDlgTest, ChoiceButtonsLieUnderThePromptAndTheWindowEndsAfterThem) {
    for (int count : {1, 3, 10}) {
        SCOPED_TRACE(count);
        std::vector<std::string> choices;
        for (int i = 0; i < count; ++i)
            choices.push_back("選択" + std::to_string(i));
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CEventInputDlg&>(d);
            EXPECT_FALSE(d.GetDlgItem(CEventInputDlg::kNumberFieldId)->IsWindowVisible());
            EXPECT_FALSE(dlg.OkButton().IsWindowVisible());
            EXPECT_EQ(dlg.PromptView().GetText(), "どうする");
            ASSERT_EQ(dlg.ChoiceButtonCount(), count);
            const Rect r = ChildRect(d, dlg.PromptView());
            EXPECT_EQ(r, ChildRect(d, *d.GetDlgItem(CEventInputDlg::kPromptFrameId)));
            for (int i = 0; i < count; ++i) {
                ui::Button& b = dlg.ChoiceButton(i);
                EXPECT_EQ(d.GetDlgItem(CEventInputDlg::kFirstChoiceId + i), &b);
                EXPECT_EQ(b.GetWindowText(), choices[static_cast<std::size_t>(i)]);
                const int top = r.bottom + 5 + 27 * i;
                EXPECT_EQ(ChildRect(d, b), Rect(r.left, top, r.right, top + 22)) << i;
            }
            EXPECT_EQ(d.GetClientRect().bottom, r.bottom + 5 + 27 * count);
            EXPECT_EQ(ui::Wnd::GetFocus(), &dlg.ChoiceButton(0));

            QImage img = ui::test::Grab(d);
            ExpectSunkenWhiteView(img, r);
            const ui::COLORREF face = ui::GetSysColor(ui::COLOR_BTNFACE);
            for (int i = 0; i < count; ++i) {
                const Rect b = ChildRect(d, dlg.ChoiceButton(i));
                EXPECT_GT(DarkPixels(img, Rect(b.left + 2, b.top + 2, b.right - 2, b.bottom - 2)), 10) << i;
                // The 5 pixels between two buttons (and under the prompt) show the dialog's face.
                EXPECT_EQ(Rgb(ui::test::PixelAt(img, b.left + 20, b.top - 3)), Rgb(face)) << i;
            }
            ui::test::ClickControl(d, CEventInputDlg::kFirstChoiceId + count - 1);
        });
        EXPECT_EQ(ShowEventChoiceDlg(nullptr, "どうする", choices), count - 1);
    }
}

TEST_F(EventInputDlgTest, EscapeEnterAndTheCloseCommandDoNotCancelAChoice) {
    const std::vector<std::string> choices = {"攻める", "守る"};
    Script().OnDialog([](ui::Dialog& d) {
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_FALSE(d.IsEnded());
        d.OnCancel();
        EXPECT_FALSE(d.IsEnded());
        ui::test::ClickControl(d, CEventInputDlg::kFirstChoiceId + 1);
    });
    EXPECT_EQ(ShowEventChoiceDlg(nullptr, "A", choices), 1);
    // Enter that reaches the dialog itself keeps the choice it had: the first.
    Script().OnDialog([](ui::Dialog& d) { d.OnOK(); });
    EXPECT_EQ(ShowEventChoiceDlg(nullptr, "A", choices), 0);
}

TEST_F(EventInputDlgTest, ANumberIsTakenOnlyWhenItIsWhole) {
    std::vector<std::string> told;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CEventInputDlg&>(d);
        EXPECT_TRUE(d.GetDlgItem(CEventInputDlg::kNumberFieldId)->IsWindowVisible());
        EXPECT_TRUE(dlg.OkButton().IsWindowVisible());
        EXPECT_EQ(dlg.ChoiceButtonCount(), 0);
        EXPECT_EQ(dlg.PromptView().GetText(), "兵数は？");
        ui::Wnd* field = d.GetDlgItem(CEventInputDlg::kNumberFieldId);
        EXPECT_EQ(ui::Wnd::GetFocus(), field);
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_FALSE(d.IsEnded());
        for (const char* bad : {"", "12abc", "7 "}) {
            field->SetWindowText(bad);
            ui::test::ClickControl(d, ui::IDOK);  // the message box answers through the next step
            EXPECT_FALSE(d.IsEnded()) << bad;
        }
        field->SetWindowText(" 1e3");
        ui::test::ClickControl(d, ui::IDOK);
        EXPECT_TRUE(d.IsEnded());
    });
    for (int i = 0; i < 3; ++i)
        Script().OnDialog([&](ui::Dialog& box) {
            told.push_back(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText);
            ui::test::PressKey(box, ui::VK_RETURN);
        });
    EXPECT_DOUBLE_EQ(ShowEventNumberDlg(nullptr, "兵数は？"), 1000.0);
    EXPECT_EQ(told, std::vector<std::string>(3, kEnterNumberMessage));
}

TEST_F(EventInputDlgTest, TheQtPortShowsTheEventDialogs) {
    QtPort port;
    const std::vector<std::string> choices = {"はい", "いいえ"};
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_NE(dynamic_cast<CEventInputDlg*>(&d), nullptr);
        ui::test::ClickControl(d, CEventInputDlg::kFirstChoiceId + 1);
    });
    EXPECT_EQ(port.AskEventChoice("問", choices), 1);
    Script().OnDialog([](ui::Dialog& d) {
        d.GetDlgItem(CEventInputDlg::kNumberFieldId)->SetWindowText("-2");
        ui::test::ClickControl(d, ui::IDOK);
    });
    EXPECT_DOUBLE_EQ(port.AskEventNumber("数"), -2.0);
    // The message offers the variable list, which opens over it and returns to it.
    std::string title;
    bool listShown = false;
    bool backToMessage = false;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CEventMsgDlg&>(d);
        title = d.GetDlgItem(CEventMsgDlg::kTitleId)->GetWindowText();
        EXPECT_TRUE(dlg.VariableListButton().IsWindowVisible());
        EXPECT_TRUE(ui::test::ClickControl(d, CEventMsgDlg::kVariableListId));
        backToMessage = !d.IsEnded();
        // The button keeps the focus: Enter presses it again.
        EXPECT_EQ(ui::Wnd::GetFocus(), &dlg.VariableListButton());
        ui::test::ClickControl(d, CEventMsgDlg::kCloseId);
    });
    Script().OnDialog([&](ui::Dialog& list) {
        listShown = dynamic_cast<CVariableListDlg*>(&list) != nullptr;
        list.EndDialog(ui::IDOK);
    });
    VariableListView variables;
    variables.scalars.emplace_back("OkehazamaAns", 0.0);
    port.ShowEventMessage(kTitle, kText, variables);
    EXPECT_EQ(title, kTitle);
    EXPECT_TRUE(listShown);
    EXPECT_TRUE(backToMessage);
}

}  // namespace
}  // namespace rymd::gui_test
