// Reading the lines of the sections that define the world: houses, castle types, castles,
// generals, routes and alliances.
//
// Each line of these sections is a fixed list of fields. Every field but the line's last must
// be followed by another on the same line, and the last must end it; a line that runs short,
// runs on, or is cut off by the end of the file is a syntax error.
#pragma once

#include <cstddef>
#include <string>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"

namespace rymd::world {

// Result of LineFields::Start when the line's first token is "}".
constexpr int kSectionClosed = -2;

// Identifier and name limits, in bytes of the file encoding.
constexpr std::size_t kMaxIdBytes = 25;
constexpr std::size_t kMaxNameBytes = 20;

class LineFields {
public:
    LineFields(CScenarioReader& reader, std::size_t tokenSize) : reader_(reader), size_(tokenSize) {}

    // The first token of the next line: kSectionClosed for "}", kScnSyntax when it ends its
    // line or the file ends, else kScnOk.
    int Start(std::string& token) {
        int end = reader_.ReadToken(token, size_);
        if (end == CScenarioReader::kEndOfFile) return kScnSyntax;
        if (token == "}") return kSectionClosed;
        return end == CScenarioReader::kEndOfLine ? kScnSyntax : kScnOk;
    }

    // The next token as it ended: kMoreOnLine, kEndOfLine or kEndOfFile.
    int Raw(std::string& token, bool keepSeparatorsInQuotes = false) {
        return reader_.ReadToken(token, size_, nullptr, keepSeparatorsInQuotes);
    }

    // The next field; last: it must end the line.
    int Word(std::string& token, bool last, bool keepSeparatorsInQuotes = false) {
        int end = Raw(token, keepSeparatorsInQuotes);
        if (end == CScenarioReader::kEndOfFile) return kScnSyntax;
        return (end == CScenarioReader::kEndOfLine) == last ? kScnOk : kScnSyntax;
    }

    // The next field as an integer.
    int Int(int& value, bool last) {
        std::string token;
        if (int r = Word(token, last); r != kScnOk) return r;
        return CScenarioReader::ParseInt(token, value) ? kScnOk : kScnNotInteger;
    }

    // The next field as an integer in lo..hi; outOfRange is the code of a value outside.
    int IntIn(int& value, bool last, int lo, int hi, int outOfRange) {
        if (int r = Int(value, last); r != kScnOk) return r;
        return value < lo || value > hi ? outOfRange : kScnOk;
    }

    // A description: a free text that keeps ":" and "," inside quotes and ends the line.
    int Description(std::string& text) { return Word(text, true, true); }

private:
    CScenarioReader& reader_;
    std::size_t size_;
};

}  // namespace rymd::world
