// Error codes of the scenario reader and their messages.
#pragma once

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

}  // namespace rymd
