#include "game/ports/suppression_policy.h"

namespace rymd {

const char* MessageKindName(MessageKind kind) {
    switch (kind) {
        case MessageKind::IndependenceMessage: return "independence-message";
        case MessageKind::DeathsAndAppearancesReport: return "deaths-and-appearances-report";
        case MessageKind::HarvestDialog: return "harvest-dialog";
        case MessageKind::ScheduledEventDialog: return "scheduled-event-dialog";
        case MessageKind::HeadSuccessionMessage: return "head-succession-message";
        case MessageKind::PersonnelPlannerMessage: return "personnel-planner-message";
        case MessageKind::IncomeReport: return "income-report";
        case MessageKind::TradeShipReturnReport: return "trade-ship-return-report";
        case MessageKind::DesertionMessage: return "desertion-message";
        case MessageKind::MiningByCaptureMessage: return "mining-by-capture-message";
        case MessageKind::CoalitionMessage: return "coalition-message";
        case MessageKind::WarPhaseCaptiveMessage: return "war-phase-captive-message";
        case MessageKind::BattleResultsReport: return "battle-results-report";
        case MessageKind::VassalAbsorbedMessage: return "vassal-absorbed-message";
        case MessageKind::EnvoyQuestion: return "envoy-question";
        case MessageKind::DiplomacyMessage: return "diplomacy-message";
        case MessageKind::ViewOnlySave: return "view-only-save";
        case MessageKind::MusketDeliveryReport: return "musket-delivery-report";
        case MessageKind::CorpsSuccessionMessage: return "corps-succession-message";
        case MessageKind::RecruitmentQuestion: return "recruitment-question";
        case MessageKind::ConditionalEventMessage: return "conditional-event-message";
        case MessageKind::ScriptedEventQuestion: return "scripted-event-question";
        case MessageKind::ScriptedEventInput: return "scripted-event-input";
        case MessageKind::GuestGeneralMessage: return "guest-general-message";
    }
    return "?";
}

bool SuppressionPolicy::SuppressedDuringAutoAdvance(MessageKind kind) {
    switch (kind) {
        case MessageKind::IndependenceMessage:
        case MessageKind::DeathsAndAppearancesReport:
        case MessageKind::HarvestDialog:
        case MessageKind::ScheduledEventDialog:
        case MessageKind::HeadSuccessionMessage:
        case MessageKind::PersonnelPlannerMessage:
        case MessageKind::IncomeReport:
        case MessageKind::TradeShipReturnReport:
        case MessageKind::DesertionMessage:
        case MessageKind::MiningByCaptureMessage:
        case MessageKind::CoalitionMessage:
        case MessageKind::WarPhaseCaptiveMessage:
        case MessageKind::BattleResultsReport:
        case MessageKind::VassalAbsorbedMessage:
        case MessageKind::DiplomacyMessage:
        case MessageKind::ViewOnlySave: return true;
        case MessageKind::MusketDeliveryReport:
        case MessageKind::CorpsSuccessionMessage:
        case MessageKind::RecruitmentQuestion:
        case MessageKind::EnvoyQuestion:
        case MessageKind::ConditionalEventMessage:
        case MessageKind::ScriptedEventQuestion:
        case MessageKind::ScriptedEventInput:
        case MessageKind::GuestGeneralMessage: return false;
    }
    return true;
}

bool SuppressionPolicy::IsQuestion(MessageKind kind) {
    return kind == MessageKind::HarvestDialog || kind == MessageKind::RecruitmentQuestion ||
           kind == MessageKind::ScriptedEventQuestion || kind == MessageKind::ScriptedEventInput ||
           kind == MessageKind::EnvoyQuestion;
}

bool SuppressionPolicy::Shows(MessageKind kind) const {
    if (allAutomatic_) {
        return false;  // the all-automatic run waits for nothing
    }
    if (!autoAdvance_) {
        return true;
    }
    if (SuppressedDuringAutoAdvance(kind)) {
        return false;
    }
    if (kind == MessageKind::ConditionalEventMessage) {
        return !skipConditionalEvents_;
    }
    return true;
}

bool SuppressionPolicy::Inform(const Ports& ports, MessageKind kind, std::string_view text) const {
    if (!Shows(kind)) {
        return false;
    }
    ports.inform->Inform(text);
    return true;
}

bool SuppressionPolicy::ShowReport(const Ports& ports, MessageKind kind, ReportKind report,
                                   std::string_view title, std::span<const std::string> lines) const {
    if (!Shows(kind)) {
        return false;
    }
    ports.report->ShowReport(report, title, lines);
    return true;
}

bool SuppressionPolicy::AskYesNo(const Ports& ports, MessageKind kind, std::string_view text,
                                 bool defaultYes) const {
    if (!Shows(kind)) {
        return kSafeYesNo;
    }
    return ports.ask->AskYesNo(text, defaultYes);
}

int SuppressionPolicy::AskChoice(const Ports& ports, MessageKind kind, std::string_view prompt,
                                 std::span<const std::string> choices) const {
    if (!Shows(kind)) {
        return kSafeChoice;
    }
    return ports.ask->AskChoice(prompt, choices, kSafeChoice);
}

double SuppressionPolicy::AskNumber(const Ports& ports, MessageKind kind, std::string_view prompt) const {
    if (!Shows(kind)) {
        return kSafeNumber;
    }
    return ports.ask->AskNumber(prompt);
}

bool SuppressionPolicy::ShowScheduledEvent(const Ports& ports, const ScheduledEventReport& report) const {
    if (!Shows(MessageKind::ScheduledEventDialog)) return false;
    ports.report->ShowScheduledEvent(report);
    return true;
}

}  // namespace rymd
