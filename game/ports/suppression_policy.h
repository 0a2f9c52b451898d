// What the player is shown while the game advances by itself.
//
// Three switches decide it: the automatic-advance flag (the player let the months run to a target
// date), the all-automatic flag (the benchmark run, every house played by the computer) and the
// player's option "skip the display of conditional events".
//
// While the automatic advance runs, messages and reports that would wait for the player are not
// shown. A few are shown all the same, because the player must see or answer them: the musket
// delivery report, the corps succession messages, the recruitment question, the envoy question
// (nobody accepts an envoy in the player's name), the messages of conditional events (unless the
// skip option is on) and the questions and input dialogs of scripted events. A scripted view-only
// save is not made: its questions and file dialog would stop the run.
//
// The all-automatic run sets the automatic advance and the skip option as well and waits for
// nothing: no message, report or dialog is shown, and a question that still comes gets its safe
// answer (Yes, the first choice, the number 0).
//
// Messages that are not listed here (error messages of scripts, file errors, ...) are not subject
// to the policy; their callers show them directly.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "game/ports/ports.h"

namespace rymd {

enum class MessageKind {
    // Not shown during automatic advance.
    IndependenceMessage,         // a house became independent because its master fell
    DeathsAndAppearancesReport,  // generals who died and who appeared this month
    HarvestDialog,               // the September tax-rate dialog (the preset rate is used)
    ScheduledEventDialog,        // a scheduled event (its effects still apply)
    HeadSuccessionMessage,       // a new head of a house
    PersonnelPlannerMessage,     // the computer's personnel decisions (a captive joins, ...)
    IncomeReport,                // the player's monthly settlement
    TradeShipReturnReport,       // trade ships back from their voyages
    DesertionMessage,            // soldiers leave because funds are negative
    MiningByCaptureMessage,      // mining technology gained by taking a castle
    CoalitionMessage,            // a coalition dissolved
    WarPhaseCaptiveMessage,      // captives taken in the war phase
    BattleResultsReport,         // the month's battles and the fates of the defeated
    VassalAbsorbedMessage,       // a vassal house without castles joins its master
    DiplomacyMessage,            // another house's envoy or bond change told to the player
    ViewOnlySave,                // a scripted event's view-only save with its questions (not made)
    // Shown during automatic advance.
    MusketDeliveryReport,     // muskets bought or produced arrive
    CorpsSuccessionMessage,   // a corps of the player gets a new leader or is dissolved
    RecruitmentQuestion,      // a masterless general asks to be employed
    EnvoyQuestion,            // an envoy or a hostage demand put to the player
    ConditionalEventMessage,  // shown unless the skip option is on
    ScriptedEventQuestion,    // a Yes/No question of a scripted event
    ScriptedEventInput,       // the choice and number input dialogs of scripted events
    GuestGeneralMessage,      // a general of the player's house becomes a guest general
};

inline constexpr int kMessageKindCount = static_cast<int>(MessageKind::GuestGeneralMessage) + 1;

const char* MessageKindName(MessageKind kind);

class SuppressionPolicy {
public:
    constexpr SuppressionPolicy() = default;
    constexpr SuppressionPolicy(bool autoAdvance, bool allAutomatic, bool skipConditionalEventDisplay)
        : autoAdvance_(autoAdvance),
          allAutomatic_(allAutomatic),
          skipConditionalEvents_(skipConditionalEventDisplay) {}

    void SetAutoAdvance(bool on) { autoAdvance_ = on; }
    void SetAllAutomatic(bool on) { allAutomatic_ = on; }
    void SetSkipConditionalEventDisplay(bool on) { skipConditionalEvents_ = on; }
    bool AutoAdvance() const { return autoAdvance_ || allAutomatic_; }
    bool AllAutomatic() const { return allAutomatic_; }
    bool SkipConditionalEventDisplay() const { return skipConditionalEvents_ || allAutomatic_; }

    // True when a message, report or dialog of this kind is put in front of the player now.
    bool Shows(MessageKind kind) const;

    // The kinds that the automatic advance holds back.
    static bool SuppressedDuringAutoAdvance(MessageKind kind);
    // The kinds that wait for an answer.
    static bool IsQuestion(MessageKind kind);

    // Conveniences: consult the policy, then the ports. A message or report not shown is dropped
    // (the result tells whether it was shown); a question not shown gets its safe answer.
    bool Inform(const Ports& ports, MessageKind kind, std::string_view text) const;
    bool ShowReport(const Ports& ports, MessageKind kind, ReportKind report, std::string_view title,
                    std::span<const std::string> lines) const;
    bool AskYesNo(const Ports& ports, MessageKind kind, std::string_view text, bool defaultYes) const;
    int AskChoice(const Ports& ports, MessageKind kind, std::string_view prompt,
                  std::span<const std::string> choices) const;
    double AskNumber(const Ports& ports, MessageKind kind, std::string_view prompt) const;
    // The scheduled-event dialog (MessageKind::ScheduledEventDialog).
    bool ShowScheduledEvent(const Ports& ports, const ScheduledEventReport& report) const;

private:
    bool autoAdvance_ = false;
    bool allAutomatic_ = false;
    bool skipConditionalEvents_ = false;
};

}  // namespace rymd
