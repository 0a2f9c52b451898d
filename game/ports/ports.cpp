#include "game/ports/ports.h"

namespace rymd {

const char* ReportKindName(ReportKind kind) {
    switch (kind) {
        case ReportKind::Generic: return "report";
        case ReportKind::MusketDelivery: return "musket-delivery";
        case ReportKind::DeathsAndAppearances: return "deaths-and-appearances";
        case ReportKind::Income: return "income";
        case ReportKind::TradeShipReturn: return "trade-ship-return";
        case ReportKind::ScheduledEvent: return "scheduled-event";
        case ReportKind::ConditionalEventMessage: return "conditional-event";
        case ReportKind::ScenarioInformation: return "scenario-information";
        case ReportKind::GunsenComplete: return "gunsen-complete";
        case ReportKind::BattleResults: return "battle-results";
    }
    return "report";
}

std::vector<std::string> ScheduledEventLines(const ScheduledEventReport& report) {
    std::vector<std::string> lines;
    lines.push_back(report.message);
    std::string places = "被害地域: ";
    for (std::size_t i = 0; i < report.provinceNames.size(); ++i) {
        if (i > 0) places += "、";
        places += report.provinceNames[i];
    }
    lines.push_back(std::move(places));
    lines.insert(lines.end(), report.effects.begin(), report.effects.end());
    return lines;
}

void ReportPort::ShowScheduledEvent(const ScheduledEventReport& report) {
    const std::vector<std::string> lines = ScheduledEventLines(report);
    ShowReport(ReportKind::ScheduledEvent, report.name, lines);
}

void ReportPort::ShowEventMessage(std::string_view title, std::string_view text, const VariableListView&) {
    const std::string line(text);
    ShowReport(ReportKind::ConditionalEventMessage, title, std::span<const std::string>(&line, 1));
}

int AskPort::AskEventChoice(std::string_view prompt, std::span<const std::string> choices) {
    return AskChoice(prompt, choices, kSafeChoice);
}

double AskPort::AskEventNumber(std::string_view prompt) {
    return AskNumber(prompt);
}

std::vector<std::string> EnvoyApplicationChoices() {
    return {"はい", "はい（人質を差し出すように要求する）", "いいえ"};
}

AskPort::EnvoyReply AskPort::AskEnvoyVisit(const EnvoyVisit& visit) {
    const std::string text = visit.question + "\n" + visit.info;
    EnvoyReply reply;
    if (visit.mode < 3) {
        reply.accept = AskYesNo(text, true);
        return reply;
    }
    const std::vector<std::string> choices = EnvoyApplicationChoices();
    const int choice = AskChoice(text, choices, kSafeChoice);
    reply.accept = choice == 0 || choice == 1;
    reply.demandHostage = choice == 1;
    return reply;
}

int AskPort::AskHitojichiOffer(const HitojichiOffer& offer) {
    std::vector<std::string> rows;
    for (const PersonnelRow& heir : offer.heirs)
        rows.push_back(heir.name);
    rows.push_back(kHitojichiRefuse);
    const int answer = AskChoice(offer.demand, rows, kSafeChoice);
    return answer >= 0 && answer < static_cast<int>(offer.heirs.size()) ? answer : -1;
}

bool AskPort::AskRecruit(const RecruitOffer& offer) {
    return AskYesNo(offer.text, true);
}

SilentPort& SilentPort::Instance() {
    static SilentPort port;
    return port;
}

Ports SilentPort::AsPorts() {
    return PortsOf(*this);
}

Ports::Ports() {
    SilentPort& s = SilentPort::Instance();
    inform = &s;
    ask = &s;
    report = &s;
    play = &s;
    view = &s;
}

}  // namespace rymd
