// Error codes of the scenario reader and their messages.
#pragma once

#include <ostream>

namespace rymd {

constexpr int kScenarioErrorCount = 122;

// Codes the reader and its sections return (the message table holds all 122).
enum ScenarioError : int {
    kScnOk = 0,
    kScnCancelled = 1,
    kScnFileError = 2,
    kScnSyntax = 4,
    kScnBadKuniId = 13,
    kScnNotInteger = 22,
    kScnMapNotFound = 47,
    kScnMapBad = 48,
    kScnMapTooManyKuni = 49,
    kScnNotReal = 57,
    kScnBadChiikiId = 60,
    kScnCipher = 61,
    kScnHeiUnit = 82,
    kScnTooManyLabels = 92,
    kScnLabelTooLong = 93,
    kScnTooManyColors = 94,
    kScnBadColorIndex = 95,
    kScnBadPicture = 100,
    kScnWordAssign = 103,
};

// The message of a code (UTF-8); "" for a code outside the table.
const char* ScenarioErrorMessage(int code);

// The outcome of reading a scenario: the code of the message table (kScnOk when the scenario
// was read) and the line of the file where the reading stopped (0 when it never opened).
// The game shows the number, so the code converts to it through Code().
class [[nodiscard]] ScenarioResult {
public:
    constexpr ScenarioResult() = default;
    constexpr ScenarioResult(int code, int line) : code_(code), line_(line) {}

    constexpr int Code() const { return code_; }
    constexpr int Line() const { return line_; }
    constexpr bool Ok() const { return code_ == kScnOk; }

    friend constexpr bool operator==(ScenarioResult r, int code) { return r.code_ == code; }
    friend std::ostream& operator<<(std::ostream& out, ScenarioResult r) {
        return out << "code " << r.code_ << " (line " << r.line_ << ')';
    }

private:
    int code_ = kScnOk;
    int line_ = 0;
};

}  // namespace rymd
