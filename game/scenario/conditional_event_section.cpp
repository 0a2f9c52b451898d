// Conditional events: the ConditionalEvent section.
//
// Each event is a block "ID {" ... "}" of keyword lines (title, date window, options) and of
// the Condition, Message and Happening blocks. Houses, castles and generals in condition and
// happening lines are named by their scenario identifiers and stored as indexes.
#include <cstring>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 10001;
constexpr std::size_t kMaxIdBytes = 25;
constexpr std::size_t kMaxItemText = 200;

constexpr int kErrBadDaimyouId = 14;
constexpr int kErrBadShiroId = 15;
constexpr int kErrTooManyConditionalEvents = 112;
constexpr int kErrConditionalEventIdTooLong = 113;
constexpr int kErrConditionalEventIdTwice = 114;
constexpr int kErrTitleTooLong = 115;
constexpr int kErrBadCondition = 116;
constexpr int kErrTooManyConditions = 117;
constexpr int kErrBadBushouId = 118;
constexpr int kErrTooManyHappenings = 119;
constexpr int kErrBadHappening = 120;
constexpr int kErrTextTooLong = 121;

enum OperandKind { kOperandDaimyou, kOperandShiro, kOperandBushou };

bool IsTrailingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

int CScenarioReader::FindNamedId(const std::vector<IdSlot>& slots, int count, const std::string& id) {
    for (int i = 0; i < count; ++i) {
        const IdSlot& slot = slots[static_cast<std::size_t>(i)];
        if (slot[0] != '\0' && std::strncmp(slot.data(), id.c_str(), kIdSize) == 0) return i;
    }
    return -1;
}

int CScenarioReader::ReadConditionalEvent() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        if (nConditionalEvent_ >= GameState::kMaxConditionalEvent) return kErrTooManyConditionalEvents;
        if (token.size() > kMaxIdBytes) return kErrConditionalEventIdTooLong;
        if (FindId(conditionalEventIds_, nConditionalEvent_, token) >= 0) return kErrConditionalEventIdTwice;
        StoreId(conditionalEventIds_[static_cast<std::size_t>(nConditionalEvent_)], token);
        if (int e = ReadWordField(token, true, kTokenSize); e != kScnOk) return e;
        if (token != "{") return kScnSyntax;

        CConditionalEvent event;
        event.firstMonth = CConditionalEvent::kMonthOpen;
        event.lastMonth = CConditionalEvent::kMonthOpen;
        if (int e = ReadConditionalEventBlock(event); e != kScnOk) return e;
        gs_.ConditionalEventArray.push_back(std::move(event));
        ++nConditionalEvent_;
    }
}

// The keyword lines of one event, up to its closing line.
int CScenarioReader::ReadConditionalEventBlock(CConditionalEvent& event) {
    std::string keyword, value;
    // A value word that must end its line, as one of the given words: its position, or -1.
    auto readChoice = [&](std::initializer_list<const char*> words, int& choice) {
        if (int e = ReadWordField(value, true, kTokenSize); e != kScnOk) return e;
        choice = 0;
        for (const char* w : words) {
            if (value == w) return static_cast<int>(kScnOk);
            ++choice;
        }
        return static_cast<int>(kScnSyntax);
    };
    auto setFlag = [&](std::uint16_t flag, bool on) {
        event.flags = static_cast<std::uint16_t>(on ? event.flags | flag : event.flags & ~flag);
    };
    // "{" ending the line after Condition, Message or Happening.
    auto readOpenBrace = [&]() {
        if (int e = ReadWordField(value, true, kTokenSize); e != kScnOk) return e;
        return value == "{" ? static_cast<int>(kScnOk) : static_cast<int>(kScnSyntax);
    };

    for (;;) {
        int end = ReadToken(keyword, kTokenSize);
        if (end == kEndOfFile) return kStopAtEof;
        if (keyword == "}") return kScnOk;
        if (end == kEndOfLine) return kScnSyntax;

        int e = kScnOk;
        int choice = 0;
        if (keyword == "Title") {
            end = ReadToken(value, kTokenSize);
            if (end == kEndOfFile) return kStopAtEof;
            if (value.size() > CConditionalEvent::kTitleBytes) return kErrTitleTooLong;
            if (end != kEndOfLine) return kScnSyntax;
            event.title = value;  // file bytes until the whole file is read
        } else if (keyword == "PeriodStart") {
            e = ReadPeriod(event.firstYear, event.firstMonth, kTokenSize);
        } else if (keyword == "PeriodEnd") {
            e = ReadPeriod(event.lastYear, event.lastMonth, kTokenSize);
        } else if (keyword == "Logic") {
            e = readChoice({"AND", "OR"}, choice);
            if (e == kScnOk) setFlag(CConditionalEvent::kFlagOr, choice == 1);
        } else if (keyword == "RepeatType") {
            e = readChoice({"ONCE", "REPEATABLE"}, choice);
            if (e == kScnOk) setFlag(CConditionalEvent::kFlagRepeatable, choice == 1);
        } else if (keyword == "SubRoutine") {
            e = readChoice({"NO", "YES"}, choice);
            if (e == kScnOk) setFlag(CConditionalEvent::kFlagSubRoutine, choice == 1);
        } else if (keyword == "LoopType") {
            e = readChoice({"NONE", "DAIMYOU", "SHIRO", "BUSHOU"}, choice);
            if (e == kScnOk) event.loopKind = static_cast<std::uint8_t>(choice);
        } else if (keyword == "LoopVariable") {
            e = ReadWordField(value, true, kTokenSize);
            if (e == kScnOk) event.loopVariable = value;
        } else if (keyword == "Condition") {
            e = readOpenBrace();
            if (e == kScnOk) e = ReadEventItemBlock(event, false);
        } else if (keyword == "Happening") {
            e = readOpenBrace();
            if (e == kScnOk) e = ReadEventItemBlock(event, true);
        } else if (keyword == "Message") {
            e = readOpenBrace();
            if (e == kScnOk) e = ReadTextBlock(event.message);  // a second block replaces the first
        } else {
            return kScnSyntax;
        }
        if (e != kScnOk) return e;
    }
}

// Condition or happening lines up to the closing line of their block. Every item starts with
// all its numbers 0, also the fields that the line does not give.
int CScenarioReader::ReadEventItemBlock(CConditionalEvent& event, bool happenings) {
    std::string keyword;
    const bool withTexts = scenarioVer_ >= 11;
    for (;;) {
        int end = ReadToken(keyword, kTokenSize);
        if (end == kEndOfFile) return kStopAtEof;
        if (keyword == "}") return kScnOk;
        const int count = happenings ? event.actionCount : event.conditionCount;
        if (count >= CConditionalEvent::kMaxItem)
            return happenings ? kErrTooManyHappenings : kErrTooManyConditions;
        const int code = happenings ? FindHappeningKeyword(keyword) : FindConditionKeyword(keyword);
        if (code < 0) return happenings ? kErrBadHappening : kErrBadCondition;
        if (end == kEndOfLine) return kScnSyntax;

        EventItem item;
        item.code = static_cast<std::uint16_t>(code);
        int e = ReadEventOperand(item.daimyou1, kOperandDaimyou, false);
        if (e == kScnOk) e = ReadEventOperand(item.daimyou2, kOperandDaimyou, false);
        if (e == kScnOk) e = ReadEventOperand(item.shiro1, kOperandShiro, false);
        if (happenings) {
            if (e == kScnOk && withTexts) e = ReadEventOperand(item.shiro2, kOperandShiro, false);
            if (e == kScnOk) e = ReadEventOperand(item.bushou1, kOperandBushou, false);
            if (e == kScnOk) e = ReadEventOperand(item.bushou2, kOperandBushou, false);
            if (e == kScnOk) e = ReadEventItemText(item.data1, false);
            if (e == kScnOk) e = ReadEventItemText(item.data2, true);
            // Old scenarios give the number of these happenings in the second text.
            if (e == kScnOk && !withTexts && HappeningTakesOldSecondData(code)) item.data1 = item.data2;
        } else {
            if (e == kScnOk) e = ReadEventOperand(item.bushou1, kOperandBushou, !withTexts);
            if (e == kScnOk && withTexts) e = ReadEventItemText(item.data1, false);
            if (e == kScnOk && withTexts) e = ReadEventItemText(item.data2, true);
        }
        if (e != kScnOk) return e;

        if (happenings)
            event.actions[static_cast<std::size_t>(event.actionCount++)] = std::move(item);
        else
            event.conditions[static_cast<std::size_t>(event.conditionCount++)] = std::move(item);
    }
}

// A house, castle or general operand: NONE (0), VARIABLE (taken from a script variable at run
// time) or a scenario identifier.
int CScenarioReader::ReadEventOperand(std::int16_t& value, int kind, bool last) {
    std::string token;
    const int end = ReadToken(token, kTokenSize);
    if (end == kEndOfFile) return kStopAtEof;
    if (token == "NONE") {
        value = 0;
    } else if (token == "VARIABLE") {
        value = kOperandVariable;
    } else {
        int index = -1;
        int error = kScnOk;
        switch (kind) {
            case kOperandDaimyou:
                index = FindId(daimyouIds_, nDaimyou_, token);
                error = kErrBadDaimyouId;
                break;
            case kOperandShiro:
                index = FindId(shiroIds_, nShiro_, token);
                error = kErrBadShiroId;
                break;
            default:
                index = FindId(bushouIds_, nBushou_, token);
                error = kErrBadBushouId;
                break;
        }
        if (index < 0) return error;
        value = static_cast<std::int16_t>(index);
    }
    if ((end == kEndOfLine) != last) return kScnSyntax;
    return kScnOk;
}

// A data text of a condition or happening: quoted separators kept, trailing white space
// dropped, at most 200 bytes, may be empty.
int CScenarioReader::ReadEventItemText(std::string& text, bool last) {
    const int end = ReadToken(text, kTokenSize, nullptr, true);
    if (end == kEndOfFile) return kStopAtEof;
    while (!text.empty() && IsTrailingSpace(text.back()))
        text.pop_back();
    if (text.size() > kMaxItemText) return kErrTextTooLong;
    if ((end == kEndOfLine) != last) return kScnSyntax;
    return kScnOk;
}

// A date window bound: NONE (that side open), or a year and a month ending the line. Neither
// number is range-checked.
int CScenarioReader::ReadPeriod(std::int16_t& year, std::int8_t& month, std::size_t size) {
    std::string token;
    const int end = ReadToken(token, size);
    if (end == kEndOfFile) return kStopAtEof;
    if (token == "NONE") {
        if (end != kEndOfLine) return kScnSyntax;
        month = CConditionalEvent::kMonthOpen;
        return kScnOk;
    }
    int y = 0, m = 0;
    if (!ParseInt(token, y)) return kScnNotInteger;
    if (end == kEndOfLine) return kScnSyntax;
    if (int e = ReadIntField(m, true, size); e != kScnOk) return e;
    year = static_cast<std::int16_t>(y);
    month = static_cast<std::int8_t>(m);
    return kScnOk;
}

}  // namespace rymd
