// The ports of the command-line tool: nobody is at the screen. Messages and reports are written
// to a text stream (standard error in the tool), one per line; questions are answered with their
// safe default (Yes, OK, the first choice, the number 0, no file) and the answer is logged too.
//
// Line forms (a line break inside a text is written as the two characters "\n"):
//   [inform] TEXT
//   [ask:yesno] TEXT -> yes
//   [ask:okcancel] TEXT -> ok
//   [ask:choice] PROMPT {A|B|C} -> 0
//   [ask:number] PROMPT -> 0
//   [ask:file] TITLE -> cancel
//   [longtext] TITLE: BODY
//   [report:KIND] TITLE | LINE | LINE ...
//   [log] LINE        (each line a log pane gains, also one added at its end; a pane that is
//                      replaced is written whole)
//   [view:title] TITLE
//   [view:save-view-only] (nobody can save here: the request is only logged)
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "game/ports/ports.h"

namespace rymd {

class HeadlessPort final : public InformPort,
                           public AskPort,
                           public ReportPort,
                           public PlayPort,
                           public ViewPort {
public:
    explicit HeadlessPort(std::ostream& out) : out_(out) {}

    void Inform(std::string_view text) override;
    bool AskYesNo(std::string_view text, bool defaultYes) override;
    bool AskOkCancel(std::string_view text) override;
    int AskChoice(std::string_view prompt, std::span<const std::string> choices, int defaultChoice) override;
    double AskNumber(std::string_view prompt) override;
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                           std::string_view initialFolder) override;
    void ShowLongText(std::string_view title, std::string_view body, std::span<const std::uint8_t> picture,
                      Colour colour) override;
    void ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) override;
    void SetLogText(int log, std::string_view text) override;
    void AppendLogLine(int log, std::string_view line) override;
    void ShowScenarioTitle(std::string_view title) override;
    void SaveViewOnly() override;

    Ports AsPorts();

private:
    static void AppendText(std::string& line, std::string_view text);
    void WriteLine(const std::string& line);

    std::ostream& out_;
    std::map<int, std::string> logs_;  // the text each log pane holds
};

}  // namespace rymd
