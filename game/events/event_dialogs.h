// What the conditional events tell and ask the player: the error messages that name an event,
// the Yes/No questions of the conditions and the choice and number input of the happenings.
// Questions and input follow the suppression policy: in the all-automatic run they get their
// safe answers (Yes, the first choice, the number 0) without being shown.
#pragma once

#include <string>
#include <string_view>

#include "game/events/event_run.h"
#include "game/ports/suppression_policy.h"

namespace rymd {

// The policy of the month now running: the game's automatic-advance and all-automatic flags and
// the run's skip option.
SuppressionPolicy EventPolicy(const EventRun& run);

// "条件イベント(No.%d : %s)で、" followed by the rest of the message; No. is the event index + 1.
std::string EventErrorText(const EventRun& run, int eventIndex, std::string_view rest);
// Shows that message (error messages of scripts are not subject to the policy).
void TellEventError(const EventRun& run, int eventIndex, std::string_view rest);

// A Yes/No question with the text as written (no substitution); true for Yes.
bool AskEventQuestion(const EventRun& run, std::string_view text);
// The input dialog in choice mode: "prompt/choice/choice..." split at '/', each piece with its
// placeholders filled (SubstituteText); the index of the chosen choice (0-based).
int AskEventChoice(const EventRun& run, std::string_view text);
// The input dialog in number mode: the prompt with its placeholders filled; the number typed.
double AskEventNumber(const EventRun& run, std::string_view text);

}  // namespace rymd
