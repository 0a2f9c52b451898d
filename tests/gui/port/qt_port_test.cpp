// The Qt port of the rules' ports: every question and message reaches a box the player answers.
#include "game/shell/port/qt_port.h"
#include "game/shell/dialogs/military/kassen_result_dlg.h"
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
