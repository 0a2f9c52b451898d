// The ports of the tests: questions are answered from a queue the test fills beforehand, and every
// call is recorded in order as (kind, text) so that the test can check what the player would have
// seen. A question with no scripted answer, or with an answer of the wrong type, is an error: it
// is recorded in Errors(), passed to the error handler (a test sets one that fails the test), and
// answered with the safe default so that the rule can finish.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "game/ports/ports.h"

namespace rymd {

enum class PortCallKind {
    Inform,
    AskYesNo,
    AskOkCancel,
    AskChoice,
    AskNumber,
    AskOpenFile,
    LongText,
    Report,
    View,
};

const char* PortCallKindName(PortCallKind kind);

struct PortCall {
    PortCallKind kind;
    // The message, prompt or title; for a view notification its name and argument ("caption: X").
    std::string text;
    // Further content: the choices of AskChoice, the body of a long text, the lines of a report.
    std::vector<std::string> details;
    // The report kind of a Report call (Generic otherwise).
    ReportKind reportKind = ReportKind::Generic;
};

// One scripted answer. bool answers AskYesNo (true = Yes) and AskOkCancel (true = OK); int answers
// AskChoice; double (or int) answers AskNumber; a file answer answers AskOpenFile (nullopt = cancel).
struct FileAnswer {
    std::optional<std::string> path;
};
using PortAnswer = std::variant<bool, int, double, FileAnswer>;

class ScriptedPort : public InformPort, public AskPort, public ReportPort, public PlayPort, public ViewPort {
public:
    ScriptedPort() = default;

    // Script: answers are taken in the order they were pushed.
    // Each answer is built in place in the queue: moving a whole variant here made GCC believe
    // that its inactive alternatives were read uninitialised.
    void PushAnswer(PortAnswer answer) { answers_.push_back(std::move(answer)); }
    void PushYes() { answers_.emplace_back(std::in_place_type<bool>, true); }
    void PushNo() { answers_.emplace_back(std::in_place_type<bool>, false); }
    void PushChoice(int index) { answers_.emplace_back(std::in_place_type<int>, index); }
    void PushNumber(double value) { answers_.emplace_back(std::in_place_type<double>, value); }
    void PushFile(std::optional<std::string> path) {
        answers_.emplace_back(std::in_place_type<FileAnswer>, FileAnswer{std::move(path)});
    }
    std::size_t PendingAnswers() const { return answers_.size(); }

    // Record.
    const std::vector<PortCall>& Calls() const { return calls_; }
    // The recorded calls of one kind, in order.
    std::vector<PortCall> CallsOf(PortCallKind kind) const;
    void ClearCalls() { calls_.clear(); }
    // View notifications are recorded only when asked for (they are many and rarely checked).
    void SetRecordViewCalls(bool on) { recordView_ = on; }

    const std::vector<std::string>& Errors() const { return errors_; }
    void SetErrorHandler(std::function<void(const std::string&)> handler) { onError_ = std::move(handler); }

    // InformPort
    void Inform(std::string_view text) override;
    // AskPort
    bool AskYesNo(std::string_view text, bool defaultYes) override;
    bool AskOkCancel(std::string_view text) override;
    int AskChoice(std::string_view prompt, std::span<const std::string> choices, int defaultChoice) override;
    double AskNumber(std::string_view prompt) override;
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                           std::string_view initialFolder) override;
    // ReportPort
    void ShowLongText(std::string_view title, std::string_view body, std::span<const std::uint8_t> picture,
                      Colour colour) override;
    void ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) override;
    // ViewPort
    void SetCaption(std::string_view text) override;
    void BuildCommandMenu(int phase) override;
    void RefillHouseList() override;
    void SetLogText(int log, std::string_view text) override;
    void AppendLogLine(int log, std::string_view line) override;
    void StartTimer(int milliseconds) override;
    void PlayMusic(int track) override;
    void StopMusic() override;
    void EnableCommandEndButton(bool on) override;
    void SwitchMapView(int kuni) override;
    void FocusCommandPanel() override;
    void ShowVariableList(const VariableListView& variables) override;
    void ShowScenarioTitle(std::string_view title) override;
    void SaveViewOnly() override;

    Ports AsPorts();

private:
    void Record(PortCallKind kind, std::string_view text, std::vector<std::string> details = {},
                ReportKind reportKind = ReportKind::Generic);
    void RecordView(std::string text);
    // Takes the next answer; records an error and returns nothing when the queue is empty.
    std::optional<PortAnswer> Next(PortCallKind kind, std::string_view text);
    void Error(std::string message);

    std::deque<PortAnswer> answers_;
    std::vector<PortCall> calls_;
    std::vector<std::string> errors_;
    std::function<void(const std::string&)> onError_;
    bool recordView_ = false;
};

}  // namespace rymd
