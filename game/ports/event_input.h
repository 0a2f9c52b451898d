// The texts of a scripted event's input dialog as the rules and the fronts share them: a choice
// text split into its prompt and choices, and the check of a typed number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rymd {

// The one choice offered when a choice text has none.
inline constexpr const char* kNoEventChoice = "選択肢がありません";
// What the number field says to a text that is not a number.
inline constexpr const char* kEnterNumberMessage = "数値を入力してください";

struct EventChoiceText {
    std::string prompt;
    std::vector<std::string> choices;  // 1 .. kMaxEventChoices entries
};

// Splits "prompt/choice/choice/..." at every '/': the first piece is the prompt, each further
// piece a choice (an empty piece an empty choice). A text without '/' offers the one choice
// kNoEventChoice; choices after the tenth are dropped.
EventChoiceText SplitEventChoiceText(std::string_view text);

// Whether the whole text is one decimal number: blanks before it are skipped, then an optional
// sign, digits with an optional decimal point, an optional exponent. Refused: an empty text,
// anything after the number (a blank too), a value beyond the range of a double, "nan", "inf"
// and hexadecimal forms. The number in value when accepted, else value unchanged.
bool ParseEventNumber(std::string_view text, double& value);

}  // namespace rymd
