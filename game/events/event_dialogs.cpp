#include "game/events/event_dialogs.h"

#include <string>
#include <vector>

#include "game/events/text_substitution.h"
#include "game/ports/event_input.h"
#include "game/ports/ports.h"
#include "game/state/game_state.h"
#include "platform/core/format_text.h"

namespace rymd {

SuppressionPolicy EventPolicy(const EventRun& run) {
    return SuppressionPolicy(run.ctx.gs.bAutoAdvance, run.ctx.gs.bAllAutomatic, run.skipMessages);
}

std::string EventErrorText(const EventRun& run, int eventIndex, std::string_view rest) {
    const auto& events = run.ctx.gs.ConditionalEventArray;
    const std::string title = eventIndex >= 0 && eventIndex < static_cast<int>(events.size())
                                  ? events[static_cast<std::size_t>(eventIndex)].title
                                  : std::string();
    return FormatText("条件イベント(No.%d : %s)で、", eventIndex + 1, title.c_str()) + std::string(rest);
}

void TellEventError(const EventRun& run, int eventIndex, std::string_view rest) {
    run.ctx.ports.inform->Inform(EventErrorText(run, eventIndex, rest));
}

bool AskEventQuestion(const EventRun& run, std::string_view text) {
    return EventPolicy(run).AskYesNo(run.ctx.ports, MessageKind::ScriptedEventQuestion, text, true);
}

int AskEventChoice(const EventRun& run, std::string_view text) {
    EventChoiceText pieces = SplitEventChoiceText(text);
    if (!EventPolicy(run).Shows(MessageKind::ScriptedEventInput)) return kSafeChoice;
    pieces.prompt = SubstituteText(run.ctx.gs, pieces.prompt);
    for (std::string& choice : pieces.choices)
        choice = SubstituteText(run.ctx.gs, choice);
    const int answer = run.ctx.ports.ask->AskEventChoice(pieces.prompt, pieces.choices);
    // A front that answers outside the buttons offered gets the first one.
    return answer >= 0 && answer < static_cast<int>(pieces.choices.size()) ? answer : kSafeChoice;
}

double AskEventNumber(const EventRun& run, std::string_view text) {
    if (!EventPolicy(run).Shows(MessageKind::ScriptedEventInput)) return kSafeNumber;
    return run.ctx.ports.ask->AskEventNumber(SubstituteText(run.ctx.gs, text));
}

}  // namespace rymd
