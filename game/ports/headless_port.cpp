#include "game/ports/headless_port.h"

#include <sstream>

namespace rymd {

// Adds a text to a line; line breaks become "\n" so that one message stays one line.
void HeadlessPort::AppendText(std::string& line, std::string_view text) {
    line.reserve(line.size() + text.size());
    for (char c : text) {
        if (c == '\n') {
            line += "\\n";
        } else if (c != '\r') {  // dropped: "\r\n" is written as one "\n"
            line += c;
        }
    }
}

// A whole line goes to the stream in one write: standard error writes every piece it is given
// at once, and a message written piece by piece would cost a system call for each.
void HeadlessPort::WriteLine(const std::string& line) {
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void HeadlessPort::Inform(std::string_view text) {
    std::string line = "[inform] ";
    AppendText(line, text);
    line += '\n';
    WriteLine(line);
}

bool HeadlessPort::AskYesNo(std::string_view text, bool /*defaultYes*/) {
    std::string line = "[ask:yesno] ";
    AppendText(line, text);
    line += kSafeYesNo ? " -> yes\n" : " -> no\n";
    WriteLine(line);
    return kSafeYesNo;
}

bool HeadlessPort::AskOkCancel(std::string_view text) {
    std::string line = "[ask:okcancel] ";
    AppendText(line, text);
    line += kSafeOkCancel ? " -> ok\n" : " -> cancel\n";
    WriteLine(line);
    return kSafeOkCancel;
}

int HeadlessPort::AskChoice(std::string_view prompt, std::span<const std::string> choices,
                            int defaultChoice) {
    std::string line = "[ask:choice] ";
    AppendText(line, prompt);
    line += " {";
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) {
            line += '|';
        }
        AppendText(line, choices[i]);
    }
    line += "} -> " + std::to_string(defaultChoice) + '\n';
    WriteLine(line);
    return defaultChoice;
}

double HeadlessPort::AskNumber(std::string_view prompt) {
    std::string line = "[ask:number] ";
    AppendText(line, prompt);
    // The answer as the stream itself would write it.
    std::ostringstream answer;
    answer.flags(out_.flags());
    answer.precision(out_.precision());
    answer << kSafeNumber;
    line += " -> " + answer.str() + '\n';
    WriteLine(line);
    return kSafeNumber;
}

std::optional<std::string> HeadlessPort::AskOpenFile(std::string_view title, std::string_view /*filter*/,
                                                     std::string_view /*initialFolder*/) {
    std::string line = "[ask:file] ";
    AppendText(line, title);
    line += " -> cancel\n";
    WriteLine(line);
    return std::nullopt;
}

void HeadlessPort::ShowLongText(std::string_view title, std::string_view body,
                                std::span<const std::uint8_t> /*picture*/, Colour /*colour*/) {
    std::string line = "[longtext] ";
    AppendText(line, title);
    line += ": ";
    AppendText(line, body);
    line += '\n';
    WriteLine(line);
}

void HeadlessPort::ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) {
    std::string line = "[report:";
    line += ReportKindName(kind);
    line += "] ";
    AppendText(line, title);
    for (const std::string& text : lines) {
        line += " | ";
        AppendText(line, text);
    }
    line += '\n';
    WriteLine(line);
}

void HeadlessPort::SetLogText(int log, std::string_view text) {
    std::string& held = logs_[log];
    // A pane that only grew shows its new lines; one given another text shows it whole.
    std::string_view added = text;
    if (text.size() >= held.size() && text.substr(0, held.size()) == held) added.remove_prefix(held.size());
    held.assign(text);
    while (!added.empty()) {
        const std::size_t end = added.find('\n');
        const std::string_view gained = added.substr(0, end);
        if (!gained.empty() && gained != "\r") {
            std::string line = "[log] ";
            AppendText(line, gained);
            line += '\n';
            WriteLine(line);
        }
        if (end == std::string_view::npos) break;
        added.remove_prefix(end + 1);
    }
}

void HeadlessPort::AppendLogLine(int log, std::string_view line) {
    std::string text = logs_[log];
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += line;
    text += '\n';
    SetLogText(log, text);
}

void HeadlessPort::ShowScenarioTitle(std::string_view title) {
    std::string line = "[view:title] ";
    AppendText(line, title);
    line += '\n';
    WriteLine(line);
}

void HeadlessPort::SaveViewOnly() {
    WriteLine("[view:save-view-only]\n");
}

Ports HeadlessPort::AsPorts() {
    return PortsOf(*this);
}

}  // namespace rymd
