#include "game/ports/headless_port.h"

namespace rymd {

// Writes a text on the current line; line breaks become "\n" so that one message stays one line.
void HeadlessPort::WriteText(std::string_view text) {
    for (char c : text) {
        if (c == '\n') {
            out_ << "\\n";
        } else if (c == '\r') {
            // dropped: "\r\n" is written as one "\n"
        } else {
            out_ << c;
        }
    }
}

void HeadlessPort::Inform(std::string_view text) {
    out_ << "[inform] ";
    WriteText(text);
    out_ << '\n';
}

bool HeadlessPort::AskYesNo(std::string_view text, bool /*defaultYes*/) {
    out_ << "[ask:yesno] ";
    WriteText(text);
    out_ << " -> " << (kSafeYesNo ? "yes" : "no") << '\n';
    return kSafeYesNo;
}

bool HeadlessPort::AskOkCancel(std::string_view text) {
    out_ << "[ask:okcancel] ";
    WriteText(text);
    out_ << " -> " << (kSafeOkCancel ? "ok" : "cancel") << '\n';
    return kSafeOkCancel;
}

int HeadlessPort::AskChoice(std::string_view prompt, std::span<const std::string> choices, int defaultChoice) {
    out_ << "[ask:choice] ";
    WriteText(prompt);
    out_ << " {";
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (i > 0) {
            out_ << '|';
        }
        WriteText(choices[i]);
    }
    out_ << "} -> " << defaultChoice << '\n';
    return defaultChoice;
}

double HeadlessPort::AskNumber(std::string_view prompt) {
    out_ << "[ask:number] ";
    WriteText(prompt);
    out_ << " -> " << kSafeNumber << '\n';
    return kSafeNumber;
}

std::optional<std::string> HeadlessPort::AskOpenFile(std::string_view title, std::string_view /*filter*/,
                                                     std::string_view /*initialFolder*/) {
    out_ << "[ask:file] ";
    WriteText(title);
    out_ << " -> cancel\n";
    return std::nullopt;
}

void HeadlessPort::ShowLongText(std::string_view title, std::string_view body,
                                std::span<const std::uint8_t> /*picture*/, Colour /*colour*/) {
    out_ << "[longtext] ";
    WriteText(title);
    out_ << ": ";
    WriteText(body);
    out_ << '\n';
}

void HeadlessPort::ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) {
    out_ << "[report:" << ReportKindName(kind) << "] ";
    WriteText(title);
    for (const std::string& line : lines) {
        out_ << " | ";
        WriteText(line);
    }
    out_ << '\n';
}

void HeadlessPort::SetLogText(int log, std::string_view text) {
    std::string& held = logs_[log];
    // A pane that only grew shows its new lines; one given another text shows it whole.
    std::string_view added = text;
    if (text.size() >= held.size() && text.substr(0, held.size()) == held) added.remove_prefix(held.size());
    held.assign(text);
    while (!added.empty()) {
        const std::size_t end = added.find('\n');
        const std::string_view line = added.substr(0, end);
        if (!line.empty() && line != "\r") {
            out_ << "[log] ";
            WriteText(line);
            out_ << '\n';
        }
        if (end == std::string_view::npos) break;
        added.remove_prefix(end + 1);
    }
}

void HeadlessPort::ShowScenarioTitle(std::string_view title) {
    out_ << "[view:title] ";
    WriteText(title);
    out_ << '\n';
}

void HeadlessPort::SaveViewOnly() {
    out_ << "[view:save-view-only]\n";
}

Ports HeadlessPort::AsPorts() {
    return PortsOf(*this);
}

}  // namespace rymd
