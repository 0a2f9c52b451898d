#include "game/ports/scripted_port.h"

#include <cmath>
#include <iostream>

namespace rymd {

const char* PortCallKindName(PortCallKind kind) {
    switch (kind) {
        case PortCallKind::Inform: return "Inform";
        case PortCallKind::AskYesNo: return "AskYesNo";
        case PortCallKind::AskOkCancel: return "AskOkCancel";
        case PortCallKind::AskChoice: return "AskChoice";
        case PortCallKind::AskNumber: return "AskNumber";
        case PortCallKind::AskOpenFile: return "AskOpenFile";
        case PortCallKind::LongText: return "LongText";
        case PortCallKind::Report: return "Report";
        case PortCallKind::View: return "View";
    }
    return "?";
}

std::vector<PortCall> ScriptedPort::CallsOf(PortCallKind kind) const {
    std::vector<PortCall> out;
    for (const PortCall& c : calls_) {
        if (c.kind == kind) {
            out.push_back(c);
        }
    }
    return out;
}

void ScriptedPort::Record(PortCallKind kind, std::string_view text, std::vector<std::string> details,
                          ReportKind reportKind) {
    calls_.push_back(PortCall{kind, std::string(text), std::move(details), reportKind});
}

void ScriptedPort::RecordView(std::string text) {
    if (recordView_) {
        Record(PortCallKind::View, text);
    }
}

void ScriptedPort::Error(std::string message) {
    errors_.push_back(message);
    if (onError_) {
        onError_(message);
    } else {
        std::cerr << "ScriptedPort: " << message << '\n';
    }
}

std::optional<PortAnswer> ScriptedPort::Next(PortCallKind kind, std::string_view text) {
    if (answers_.empty()) {
        Error(std::string("unexpected question (") + PortCallKindName(kind) +
              ") with no scripted answer: " + std::string(text));
        return std::nullopt;
    }
    PortAnswer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

void ScriptedPort::Inform(std::string_view text) {
    Record(PortCallKind::Inform, text);
}

bool ScriptedPort::AskYesNo(std::string_view text, bool /*defaultYes*/) {
    Record(PortCallKind::AskYesNo, text);
    std::optional<PortAnswer> a = Next(PortCallKind::AskYesNo, text);
    if (!a) {
        return kSafeYesNo;
    }
    if (const bool* b = std::get_if<bool>(&*a)) {
        return *b;
    }
    Error("AskYesNo answered with a value that is not Yes/No: " + std::string(text));
    return kSafeYesNo;
}

bool ScriptedPort::AskOkCancel(std::string_view text) {
    Record(PortCallKind::AskOkCancel, text);
    std::optional<PortAnswer> a = Next(PortCallKind::AskOkCancel, text);
    if (!a) {
        return kSafeOkCancel;
    }
    if (const bool* b = std::get_if<bool>(&*a)) {
        return *b;
    }
    Error("AskOkCancel answered with a value that is not OK/Cancel: " + std::string(text));
    return kSafeOkCancel;
}

int ScriptedPort::AskChoice(std::string_view prompt, std::span<const std::string> choices,
                            int defaultChoice) {
    Record(PortCallKind::AskChoice, prompt, std::vector<std::string>(choices.begin(), choices.end()));
    std::optional<PortAnswer> a = Next(PortCallKind::AskChoice, prompt);
    if (!a) {
        return defaultChoice;
    }
    if (const int* i = std::get_if<int>(&*a)) {
        // A dialog can only return one of its buttons.
        if (*i >= 0 && static_cast<std::size_t>(*i) < choices.size()) {
            return *i;
        }
        Error("AskChoice answered with index " + std::to_string(*i) + " out of " +
              std::to_string(choices.size()) + " choices: " + std::string(prompt));
        return defaultChoice;
    }
    Error("AskChoice answered with a value that is not a choice: " + std::string(prompt));
    return defaultChoice;
}

double ScriptedPort::AskNumber(std::string_view prompt) {
    Record(PortCallKind::AskNumber, prompt);
    std::optional<PortAnswer> a = Next(PortCallKind::AskNumber, prompt);
    if (!a) {
        return kSafeNumber;
    }
    if (const double* d = std::get_if<double>(&*a)) {
        if (std::isfinite(*d)) {
            return *d;
        }
        Error("AskNumber answered with a value that is not finite: " + std::string(prompt));
        return kSafeNumber;
    }
    if (const int* i = std::get_if<int>(&*a)) {
        return *i;
    }
    Error("AskNumber answered with a value that is not a number: " + std::string(prompt));
    return kSafeNumber;
}

std::optional<std::string> ScriptedPort::AskOpenFile(std::string_view title, std::string_view filter,
                                                     std::string_view initialFolder) {
    Record(PortCallKind::AskOpenFile, title, {std::string(filter), std::string(initialFolder)});
    std::optional<PortAnswer> a = Next(PortCallKind::AskOpenFile, title);
    if (!a) {
        return std::nullopt;
    }
    if (const FileAnswer* f = std::get_if<FileAnswer>(&*a)) {
        return f->path;
    }
    Error("AskOpenFile answered with a value that is not a file: " + std::string(title));
    return std::nullopt;
}

void ScriptedPort::ShowLongText(std::string_view title, std::string_view body,
                                std::span<const std::uint8_t> /*picture*/, Colour /*colour*/) {
    Record(PortCallKind::LongText, title, {std::string(body)});
}

void ScriptedPort::ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) {
    Record(PortCallKind::Report, title, std::vector<std::string>(lines.begin(), lines.end()), kind);
}

void ScriptedPort::ShowVariableList(const VariableListView& variables) {
    RecordView("variable-list: " + std::to_string(variables.scalars.size()) + " scalars, " +
               std::to_string(variables.arrays.size()) + " arrays");
}

void ScriptedPort::SetCaption(std::string_view text) {
    RecordView("caption: " + std::string(text));
}

void ScriptedPort::BuildCommandMenu(int phase) {
    RecordView("command-menu: " + std::to_string(phase));
}

void ScriptedPort::RefillHouseList() {
    RecordView("house-list");
}

void ScriptedPort::SetLogText(int log, std::string_view text) {
    RecordView("log " + std::to_string(log) + ": " + std::string(text));
}

void ScriptedPort::AppendLogLine(int log, std::string_view line) {
    RecordView("log " + std::to_string(log) + " line: " + std::string(line));
}

void ScriptedPort::StartTimer(int milliseconds) {
    RecordView("timer: " + std::to_string(milliseconds));
}

void ScriptedPort::PlayMusic(int track) {
    RecordView("music: " + std::to_string(track));
}

void ScriptedPort::StopMusic() {
    RecordView("music: stop");
}

void ScriptedPort::EnableCommandEndButton(bool on) {
    RecordView(std::string("end-button: ") + (on ? "on" : "off"));
}

void ScriptedPort::SwitchMapView(int kuni) {
    RecordView("map-view: " + std::to_string(kuni));
}

void ScriptedPort::FocusCommandPanel() {
    RecordView("focus: command-panel");
}

void ScriptedPort::ShowScenarioTitle(std::string_view title) {
    RecordView("title: " + std::string(title));
}

void ScriptedPort::SaveViewOnly() {
    RecordView("save: view-only");
}

Ports ScriptedPort::AsPorts() {
    return PortsOf(*this);
}

}  // namespace rymd
