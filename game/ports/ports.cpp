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
    }
    return "report";
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
