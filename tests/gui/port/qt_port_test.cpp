// The Qt port of the rules' ports: every question and message reaches a box the player answers.
#include "game/shell/port/qt_port.h"
#include <QCoreApplication>
#include <functional>

#include "game/shell/dialogs/military/kassen_result_dlg.h"
#include "game/shell/maps/text_msg_dlg.h"
#include "gui/gui_test_util.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd::gui_test {
namespace {

class QtPortTest : public GuiTest {};

TEST_F(QtPortTest, MessagesAndQuestionsUseTheMessageBoxes) {
    QtPort port;
    Ports ports = port.AsPorts();
    std::string seen;
    Script().OnDialog([&](ui::Dialog& d) {
        seen = dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText;
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    ports.inform->Inform("城が落ちました");
    EXPECT_EQ(seen, "城が落ちました");

    struct Case {
        bool defaultYes;
        unsigned key;
        bool expected;
    } cases[] = {{true, ui::VK_RETURN, true}, {false, ui::VK_RETURN, false}, {true, ui::VK_ESCAPE, false}};
    for (const Case& c : cases) {
        Script().PressKey(c.key);
        EXPECT_EQ(ports.ask->AskYesNo("降伏しますか", c.defaultYes), c.expected);
    }
    Script().PressKey(ui::VK_RETURN);
    EXPECT_TRUE(ports.ask->AskOkCancel("よろしいですか"));
    Script().PressKey(ui::VK_ESCAPE);
    EXPECT_FALSE(ports.ask->AskOkCancel("よろしいですか"));
}

// The title of the window as the window system gets it from Qt, which would put the program's
// name in the title bar in place of an empty one.
std::string ShownTitle(ui::Wnd& w) {
    const QWindow* handle = w.GetWidget() ? w.GetWidget()->windowHandle() : nullptr;
    return handle ? handle->title().toStdString() : std::string("(no window)");
}

// A window or dialog whose caption is empty shows the game's name in its title bar, never the
// program's file name, and still gives its empty caption; a caption of its own is kept.
TEST_F(QtPortTest, AWindowWithoutCaptionShowsTheGamesName) {
    QtPort port;
    const std::vector<std::string> choices = {"攻める", "守る"};
    const std::vector<std::string> lines = {"一行"};
    const VariableListView variables;
    struct Case {
        const char* name;
        std::function<void()> open;
        const char* title;  // what the title bar shows
    } cases[] = {
        {"message box", [&] { port.Inform("城が落ちました"); }, "龍門記"},
        {"yes/no box", [&] { port.AskYesNo("降伏しますか", true); }, "龍門記"},
        {"ok/cancel box", [&] { port.AskOkCancel("よろしいですか"); }, "龍門記"},
        {"choice", [&] { port.AskChoice("どうしますか", choices, 0); }, "龍門記"},
        {"number", [&] { port.AskNumber("兵数"); }, "龍門記"},
        {"event message", [&] { port.ShowEventMessage("桶狭間の戦い", "今川義元討死", variables); },
         "龍門記"},
        {"event choice", [&] { port.AskEventChoice("どうしますか", choices); }, "龍門記"},
        {"event number", [&] { port.AskEventNumber("兵数"); }, "龍門記"},
        {"long text", [&] { port.ShowLongText("", "本文", {}, Colour{}); }, "龍門記"},
        {"report without title", [&] { port.ShowReport(ReportKind::Income, "", lines); }, "龍門記"},
        {"report with title", [&] { port.ShowReport(ReportKind::Income, "収支", lines); }, "収支"},
        {"text box of the castle view",
         [] {
             shell::CTextMsgDlg dlg;
             dlg.DoModal();
         },
         "龍門記"},
    };
    const std::string programName = QCoreApplication::applicationName().toStdString();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool shown = false;
        Script().OnDialog([&](ui::Dialog& d) {
            shown = true;
            if (std::string_view(c.title) == "龍門記") {
                EXPECT_EQ(d.GetWindowText(), "");
            }
            EXPECT_EQ(ShownTitle(d), c.title);
            EXPECT_NE(ShownTitle(d), programName);
            d.EndDialog(ui::IDOK);
        });
        c.open();
        EXPECT_TRUE(shown);
    }
    // Windows of the layer: made without a caption, and one whose caption is emptied later.
    ui::Wnd plain;
    ASSERT_TRUE(
        plain.CreateEx(0, ui::WS_POPUP | ui::WS_CAPTION | ui::WS_VISIBLE, Rect(0, 0, 200, 100), nullptr, 0));
    EXPECT_EQ(ShownTitle(plain), "龍門記");
    plain.SetWindowText("城");
    EXPECT_EQ(ShownTitle(plain), "城");
    plain.SetWindowText("");
    EXPECT_EQ(ShownTitle(plain), "龍門記");
    EXPECT_EQ(plain.GetWindowText(), "");
}

TEST_F(QtPortTest, AChoiceIsMadeByItsButtonAndEscapeDoesNotClose) {
    QtPort port;
    const std::vector<std::string> choices = {"攻める", "守る", "退く"};
    Script().OnDialog([](ui::Dialog& d) {
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_FALSE(d.IsEnded());
        EXPECT_EQ(d.GetDlgItem(QtPort::kChoiceFirstId + 2)->GetWindowText(), "退く");
        ui::test::ClickControl(d, QtPort::kChoiceFirstId + 1);
    });
    EXPECT_EQ(port.AskChoice("どうしますか", choices, 0), 1);
}

TEST_F(QtPortTest, ANumberIsTypedIntoItsField) {
    QtPort port;
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(QtPort::kNumberFieldId));
        ui::test::TypeText(d, "12.5");
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    EXPECT_DOUBLE_EQ(port.AskNumber("兵数を入力してください"), 12.5);
    Script().OnDialog([](ui::Dialog& d) { ui::test::ClickControl(d, ui::IDOK); });
    EXPECT_DOUBLE_EQ(port.AskNumber("空のまま"), 0.0);
}

TEST_F(QtPortTest, FilesAndReportsGoThroughTheirDialogs) {
    QtPort port;
    Script().ChooseFile(std::string("/tmp/save.rsd"));
    EXPECT_EQ(port.AskOpenFile("開く", "Save (*.rsd)|*.rsd||", "/tmp").value_or(""), "/tmp/save.rsd");
    const std::vector<std::string> lines = {"収入 100", "支出 40"};
    std::string shown;
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "収支");
        auto* view = dynamic_cast<MbWnd::CMultiTextCtrl*>(d.GetDlgItem(QtPort::kTextViewId));
        ASSERT_NE(view, nullptr);
        shown = view->GetText();
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    port.ShowReport(ReportKind::Income, "収支", lines);
    EXPECT_EQ(shown, "収入 100\n支出 40\n");
}

TEST_F(QtPortTest, TheMonthsBattlesGoToTheirOwnDialog) {
    QtPort port;
    const std::vector<std::string> texts = {"城0と城1間で家0と家1が野戦\n  → 家0の勝利\n",
                                            "家1の将2は切腹しました\n"};
    std::string caption;
    std::string battle;
    std::string fates;
    Script().OnDialog([&](ui::Dialog& d) {
        caption = d.GetWindowText();
        auto* report = dynamic_cast<MbWnd::CMultiTextCtrl*>(d.GetDlgItem(CKassenResultDlg::kReportViewId));
        auto* fatesView = dynamic_cast<MbWnd::CMultiTextCtrl*>(d.GetDlgItem(CKassenResultDlg::kFatesViewId));
        ASSERT_NE(report, nullptr);
        ASSERT_NE(fatesView, nullptr);
        battle = report->GetText();
        fates = fatesView->GetText();
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    port.ShowReport(ReportKind::BattleResults, "合戦結果", texts);
    EXPECT_EQ(caption, "合戦結果");
    EXPECT_EQ(battle, texts[0]);
    EXPECT_EQ(fates, texts[1]);
}

TEST_F(QtPortTest, MusketDeliveriesGoToTheDialogTheWindowGives) {
    QtPort port;
    const std::vector<std::string> lines = {"10挺の鉄砲を生産しました", "未配備鉄砲数が 10挺 になりました"};
    std::string title;
    std::vector<std::string> seen;
    port.SetMusketReport([&](std::string_view t, std::span<const std::string> l) {
        title = t;
        seen.assign(l.begin(), l.end());
    });
    port.ShowReport(ReportKind::MusketDelivery, "鉄砲入手", lines);
    EXPECT_EQ(title, "鉄砲入手");
    EXPECT_EQ(seen, lines);
    // Other reports keep the plain box.
    seen.clear();
    Script().OnDialog([](ui::Dialog& d) { ui::test::PressKey(d, ui::VK_RETURN); });
    port.ShowReport(ReportKind::Income, "収支", lines);
    EXPECT_TRUE(seen.empty());
}

TEST_F(QtPortTest, ShipReportsGoToTheDialogsTheWindowGives) {
    QtPort port;
    std::vector<std::string> shown;
    port.SetShipReports([&](std::string_view t, std::span<const std::string>) { shown.emplace_back(t); },
                        [&](std::string_view t, std::span<const std::string>) { shown.emplace_back(t); });
    const std::vector<std::string> lines = {"以下の軍船が完成しました",
                                            "尾張の清洲城で2隻の軍船が完成しました"};
    port.ShowReport(ReportKind::TradeShipReturn, "交易船帰港", lines);
    port.ShowReport(ReportKind::GunsenComplete, "軍船完成", lines);
    EXPECT_EQ(shown, (std::vector<std::string>{"交易船帰港", "軍船完成"}));
}

}  // namespace
}  // namespace rymd::gui_test
