#include "game/ports/ports.h"

#include <algorithm>

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

std::string HarvestPrompt(const HarvestView& view) {
    std::string good;
    std::string bad;
    const std::size_t n = std::min(view.qualities.size(), view.provinceNames.size());
    for (std::size_t k = 0; k < n; ++k) {
        if (view.qualities[k] == 0) continue;
        std::string& list = view.qualities[k] > 0 ? good : bad;
        if (!list.empty()) list += "、";
        list += view.provinceNames[k];
    }
    return "米の収穫期です\n各地の収穫状況\n豊作：" + (good.empty() ? std::string("なし") : good) +
           "\n不作：" + (bad.empty() ? std::string("なし") : bad) + "\n税率設定";
}

int AskPort::AskHarvestTax(const HarvestView& view) {
    return AskChoice(HarvestPrompt(view), view.choices, view.preset);
}

std::vector<std::string> IncomeReportLines(const IncomeReportView& view) {
    std::vector<std::string> lines;
    for (const auto* rows : {&view.incomeRows, &view.upkeepRows})
        for (const IncomeReportRow& row : *rows)
            lines.push_back(row.label + "\t" + row.value);
    lines.push_back(view.fundsLine);
    if (!view.besiegedNote.empty()) lines.push_back(view.besiegedNote);
    if (!view.corps.empty()) {
        lines.push_back("軍団名\t収入\t支出\t資金残高");
        for (const IncomeCorpsRow& c : view.corps)
            lines.push_back(c.name + "\t" + std::to_string(c.income) + "\t" + std::to_string(c.upkeep) +
                            "\t" + std::to_string(c.funds));
    }
    return lines;
}

void ReportPort::ShowIncomeReport(const IncomeReportView& view) {
    const std::vector<std::string> lines = IncomeReportLines(view);
    ShowReport(ReportKind::Income, view.title, lines);
}

std::vector<std::string> DeathAppearLines(const DeathAppearView& view) {
    std::vector<std::string> lines;
    lines.push_back(view.appearedTitle);
    lines.insert(lines.end(), view.appeared.begin(), view.appeared.end());
    lines.push_back(view.diedTitle);
    lines.insert(lines.end(), view.died.begin(), view.died.end());
    return lines;
}

void ReportPort::ShowDeathsAndAppearances(const DeathAppearView& view) {
    const std::vector<std::string> lines = DeathAppearLines(view);
    ShowReport(ReportKind::DeathsAndAppearances, view.caption, lines);
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
