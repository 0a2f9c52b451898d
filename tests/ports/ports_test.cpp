#include "game/ports/ports.h"

#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/ports/headless_port.h"
#include "game/ports/scripted_port.h"

namespace rymd {
namespace {

// A scripted port whose errors fail the test unless the test expects them.
struct StrictPort : ScriptedPort {
    StrictPort() {
        SetErrorHandler([](const std::string& e) { ADD_FAILURE() << "port error: " << e; });
    }
};

TEST(ScriptedPort, AnswersFromItsQueueAndRecordsEveryCallInOrder) {
    StrictPort port;
    port.PushYes();
    port.PushNo();
    port.PushAnswer(false);  // Cancel
    port.PushChoice(2);
    port.PushNumber(12.5);
    port.PushAnswer(7);  // an int answers a number question too
    port.PushFile("/tmp/a.snr");
    port.PushFile(std::nullopt);
    Ports p = port.AsPorts();

    const std::vector<std::string> choices = {"甲", "乙", "丙"};
    p.inform->Inform("お知らせ");
    EXPECT_TRUE(p.ask->AskYesNo("q1", true));
    EXPECT_FALSE(p.ask->AskYesNo("q2", false));
    EXPECT_FALSE(p.ask->AskOkCancel("q3"));
    EXPECT_EQ(p.ask->AskChoice("q4", choices, 0), 2);
    EXPECT_DOUBLE_EQ(p.ask->AskNumber("q5"), 12.5);
    EXPECT_DOUBLE_EQ(p.ask->AskNumber("q6"), 7.0);
    EXPECT_EQ(p.ask->AskOpenFile("open", "Scenario Files (*.snr)|*.snr||", "/games"), "/tmp/a.snr");
    EXPECT_EQ(p.ask->AskOpenFile("open2", "", ""), std::nullopt);
    const std::uint8_t picture[] = {1, 2, 3};
    p.report->ShowLongText("題", "本文", picture, 0xFFFFFF);
    const std::vector<std::string> lines = {"a", "b"};
    p.report->ShowReport(ReportKind::Income, "収支報告", lines);
    p.view->SetCaption("not recorded by default");

    const std::vector<std::pair<PortCallKind, std::string>> expected = {
        {PortCallKind::Inform, "お知らせ"},   {PortCallKind::AskYesNo, "q1"},
        {PortCallKind::AskYesNo, "q2"},       {PortCallKind::AskOkCancel, "q3"},
        {PortCallKind::AskChoice, "q4"},      {PortCallKind::AskNumber, "q5"},
        {PortCallKind::AskNumber, "q6"},      {PortCallKind::AskOpenFile, "open"},
        {PortCallKind::AskOpenFile, "open2"}, {PortCallKind::LongText, "題"},
        {PortCallKind::Report, "収支報告"},
    };
    ASSERT_EQ(port.Calls().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(port.Calls()[i].kind, expected[i].first) << i;
        EXPECT_EQ(port.Calls()[i].text, expected[i].second) << i;
    }
    EXPECT_EQ(port.Calls()[4].details, choices);
    EXPECT_EQ(port.Calls()[9].details, std::vector<std::string>{"本文"});
    EXPECT_EQ(port.Calls()[10].details, lines);
    EXPECT_EQ(port.Calls()[10].reportKind, ReportKind::Income);
    EXPECT_EQ(port.CallsOf(PortCallKind::AskYesNo).size(), 2u);
    EXPECT_EQ(port.PendingAnswers(), 0u);
    EXPECT_TRUE(port.Errors().empty());
}

TEST(ScriptedPort, ViewCallsAreRecordedWhenAskedFor) {
    StrictPort port;
    port.SetRecordViewCalls(true);
    Ports p = port.AsPorts();
    p.view->SetCaption("軍備フェイズ");
    p.view->BuildCommandMenu(2);
    p.view->StartTimer(10);
    p.view->PlayMusic(1);
    p.view->StopMusic();
    const auto views = port.CallsOf(PortCallKind::View);
    ASSERT_EQ(views.size(), 5u);
    EXPECT_EQ(views[0].text, "caption: 軍備フェイズ");
    EXPECT_EQ(views[1].text, "command-menu: 2");
    EXPECT_EQ(views[2].text, "timer: 10");
    EXPECT_EQ(views[4].text, "music: stop");
}

TEST(ScriptedPort, UnexpectedOrMistypedQuestionsAreErrorsAnsweredSafely) {
    ScriptedPort port;
    std::vector<std::string> seen;
    port.SetErrorHandler([&seen](const std::string& e) { seen.push_back(e); });
    const std::vector<std::string> choices = {"A", "B"};

    // Empty queue: the safe default, and an error.
    EXPECT_TRUE(port.AskYesNo("nobody scripted this", false));
    EXPECT_EQ(port.AskChoice("c", choices, 0), 0);
    EXPECT_EQ(port.AskNumber("n"), 0.0);
    EXPECT_EQ(port.AskOpenFile("f", "", ""), std::nullopt);
    EXPECT_EQ(port.Errors().size(), 4u);

    // Wrong answer types and an impossible button.
    port.PushChoice(1);
    EXPECT_TRUE(port.AskYesNo("yes/no given a choice", false));
    port.PushYes();
    EXPECT_EQ(port.AskChoice("choice given yes", choices, 0), 0);
    port.PushChoice(2);
    EXPECT_EQ(port.AskChoice("no third button", choices, 0), 0);
    port.PushChoice(-1);
    EXPECT_EQ(port.AskChoice("no button -1", choices, 0), 0);
    port.PushFile("x");
    EXPECT_EQ(port.AskNumber("number given a file"), 0.0);
    EXPECT_EQ(port.Errors().size(), 9u);
    EXPECT_EQ(seen, port.Errors());
    EXPECT_NE(port.Errors()[0].find("nobody scripted this"), std::string::npos);
    // Every question was still recorded.
    EXPECT_EQ(port.Calls().size(), 9u);
}

TEST(HeadlessPort, WritesOneLinePerMessageAndAnswersSafely) {
    std::ostringstream out;
    HeadlessPort port(out);
    Ports p = port.AsPorts();
    const std::vector<std::string> choices = {"A", "B"};
    const std::vector<std::string> lines = {"l1", "l2"};
    p.inform->Inform("一行目\n二行目");
    EXPECT_TRUE(p.ask->AskYesNo("続けますか？", false));
    EXPECT_TRUE(p.ask->AskOkCancel("ok?"));
    EXPECT_EQ(p.ask->AskChoice("税率", choices, 2), 2);  // nobody answers: the default choice
    EXPECT_EQ(p.ask->AskChoice("選択", choices, 0), 0);
    EXPECT_EQ(p.ask->AskNumber("数値"), 0.0);
    EXPECT_EQ(p.ask->AskOpenFile("開く", "*.snr", "."), std::nullopt);
    p.report->ShowLongText("題", "本文\r\n続き", {}, 0);
    p.report->ShowReport(ReportKind::DeathsAndAppearances, "武将死去／登場", lines);
    p.view->SetCaption("ignored");
    p.view->ShowScenarioTitle("新\n題");
    p.view->SaveViewOnly();
    EXPECT_EQ(out.str(),
              "[inform] 一行目\\n二行目\n"
              "[ask:yesno] 続けますか？ -> yes\n"
              "[ask:okcancel] ok? -> ok\n"
              "[ask:choice] 税率 {A|B} -> 2\n"
              "[ask:choice] 選択 {A|B} -> 0\n"
              "[ask:number] 数値 -> 0\n"
              "[ask:file] 開く -> cancel\n"
              "[longtext] 題: 本文\\n続き\n"
              "[report:deaths-and-appearances] 武将死去／登場 | l1 | l2\n"
              "[view:title] 新\\n題\n"
              "[view:save-view-only]\n");
}

TEST(HeadlessPort, WritesTheLinesALogPaneGains) {
    std::ostringstream out;
    HeadlessPort port(out);
    ViewPort& view = port;
    view.SetLogText(0, "甲は乙と不戦同盟を結びました\n");
    view.SetLogText(0, "甲は乙と不戦同盟を結びました\n丙は丁を従属させました\n");  // grew by one line
    view.SetLogText(1, "別の欄\n");                                                // another pane
    view.SetLogText(0, "");                              // emptied: nothing to write
    view.SetLogText(0, "戊は己から独立しました\r\n\n");  // a new text, written whole
    EXPECT_EQ(out.str(),
              "[log] 甲は乙と不戦同盟を結びました\n"
              "[log] 丙は丁を従属させました\n"
              "[log] 別の欄\n"
              "[log] 戊は己から独立しました\n");
}

// An unbuffered stream, as standard error is: every piece it is given is one write. Keeps the
// pieces apart.
class WriteCountingBuffer : public std::streambuf {
public:
    std::vector<std::string> writes;

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof()))
            writes.emplace_back(1, traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        writes.emplace_back(s, static_cast<std::size_t>(n));
        return n;
    }
};

TEST(HeadlessPort, WritesEachMessageInOneWrite) {
    const std::vector<std::string> choices = {"甲", "乙\n丙"};
    const std::vector<std::string> lines = {"一\r\n二", "三"};
    struct Case {
        const char* what;
        std::function<void(Ports&)> call;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"inform", [](Ports& p) { p.inform->Inform("一行目\n二行目"); }, "[inform] 一行目\\n二行目\n"},
        {"yes/no", [](Ports& p) { p.ask->AskYesNo("続けますか？", false); },
         "[ask:yesno] 続けますか？ -> yes\n"},
        {"ok/cancel", [](Ports& p) { p.ask->AskOkCancel("ok?"); }, "[ask:okcancel] ok? -> ok\n"},
        {"choice", [&](Ports& p) { p.ask->AskChoice("選択", choices, 1); },
         "[ask:choice] 選択 {甲|乙\\n丙} -> 1\n"},
        {"number", [](Ports& p) { p.ask->AskNumber("数値"); }, "[ask:number] 数値 -> 0\n"},
        {"file", [](Ports& p) { p.ask->AskOpenFile("開く", "*.snr", "."); }, "[ask:file] 開く -> cancel\n"},
        {"long text", [](Ports& p) { p.report->ShowLongText("題", "本文\r\n続き", {}, 0); },
         "[longtext] 題: 本文\\n続き\n"},
        {"report", [&](Ports& p) { p.report->ShowReport(ReportKind::Income, "収入", lines); },
         "[report:income] 収入 | 一\\n二 | 三\n"},
        {"log", [](Ports& p) { p.view->SetLogText(0, "甲は乙と不戦同盟を結びました\n"); },
         "[log] 甲は乙と不戦同盟を結びました\n"},
        {"title", [](Ports& p) { p.view->ShowScenarioTitle("新\n題"); }, "[view:title] 新\\n題\n"},
        {"save", [](Ports& p) { p.view->SaveViewOnly(); }, "[view:save-view-only]\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteCountingBuffer buffer;
        std::ostream out(&buffer);
        HeadlessPort port(out);
        Ports p = port.AsPorts();
        c.call(p);
        EXPECT_EQ(buffer.writes, std::vector<std::string>{c.line});
    }
}

TEST(Ports, ADefaultBundleIsSilentAndAnswersSafely) {
    Ports p;
    ASSERT_NE(p.inform, nullptr);
    ASSERT_NE(p.ask, nullptr);
    ASSERT_NE(p.report, nullptr);
    ASSERT_NE(p.play, nullptr);
    ASSERT_NE(p.view, nullptr);
    p.inform->Inform("x");
    const std::vector<std::string> choices = {"A"};
    EXPECT_TRUE(p.ask->AskYesNo("x", false));
    EXPECT_TRUE(p.ask->AskOkCancel("x"));
    EXPECT_EQ(p.ask->AskChoice("x", choices, 0), 0);
    EXPECT_EQ(p.ask->AskNumber("x"), 0.0);
    EXPECT_EQ(p.ask->AskOpenFile("x", "", ""), std::nullopt);
}

}  // namespace
}  // namespace rymd
