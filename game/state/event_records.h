// The two event records of a scenario: the conditional event (CConditionalEvent), which fires
// when its conditions hold and then carries out its happenings, and the scheduled event
// (CEventRecord), which strikes provinces or regions at random month by month. With them the
// vocabulary of conditions and happenings that a scenario writes, and the stored forms that
// saved games keep.
//
// Texts are UTF-8 inside the program and in the file encoding in the stored forms. The data
// texts of conditions and happenings are UTF-8 too: one that names a scenario identifier (an
// event to fire, a subroutine to call, a castle type) is turned back into the file encoding
// before it is looked up in the name index, which keeps the file's bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/encoding.h"

namespace rymd {

class ArchiveReader;
class ArchiveWriter;

// =============================================================================================
// Conditions and happenings

// One condition or happening of a conditional event. Operands name a house, castle or general
// by index; -1 means "take it from the script variable of that slot at run time".
struct EventItem {
    std::uint16_t code = 0;     // row of the condition table or of the happening table
    std::int16_t daimyou1 = 0;  // house 1 (house A of a condition)
    std::int16_t daimyou2 = 0;  // house 2 (house B)
    std::int16_t shiro1 = 0;    // castle 1 (castle A)
    std::int16_t shiro2 = 0;    // castle 2 (no condition uses it)
    std::int16_t bushou1 = 0;   // general id 1 (general A)
    std::int16_t bushou2 = 0;   // general id 2 (no condition uses it)
    std::string data1;          // formula, variable name or text, as the row needs (UTF-8)
    std::string data2;

    bool operator==(const EventItem&) const = default;
};

// Operand value that a scenario writes as VARIABLE.
inline constexpr std::int16_t kOperandVariable = -1;

// Argument mask bits of the condition and happening rows: which operands a row uses.
enum EventArgMask : std::uint8_t {
    kArgDaimyou1 = 0x01,
    kArgDaimyou2 = 0x02,
    kArgShiro1 = 0x04,
    kArgShiro2 = 0x08,
    kArgBushou1 = 0x10,
    kArgBushou2 = 0x20,
    kArgData1 = 0x40,
    kArgData2 = 0x80,
};

struct EventKeyword {
    const char* keyword;  // as the scenario writes it
    std::uint8_t mask;    // EventArgMask bits
};

inline constexpr int kConditionCount = 49;
inline constexpr int kHappeningCount = 75;

// The condition rows by code (0 CONDITION_EQUAL .. 48 CONDITION_QUESTION_NO). Some keywords are
// spelled CONTITION; scenarios write them so.
extern const std::array<EventKeyword, kConditionCount> kConditionTable;
// The happening rows by code (0 HAPPENING_DAINYUU .. 74 HAPPENING_DAIMYO_NONAGGRESSION).
extern const std::array<EventKeyword, kHappeningCount> kHappeningTable;

// Code of a condition keyword, or -1 (byte for byte, case-sensitive).
int FindConditionKeyword(std::string_view keyword);
// Code of a happening keyword, or -1. Besides the table's keywords three older spellings are
// taken: HAPPEN_DAINYUU (0), HAPPEN_ADD (1) and HAPPENING_HEIGDON (17).
int FindHappeningKeyword(std::string_view keyword);

// Happening codes that old scenarios (version below 11) give their number in the second data
// text; the reader copies it into the first.
inline constexpr bool HappeningTakesOldSecondData(int code) {
    return (code >= 19 && code <= 24) || code == 26;
}

// =============================================================================================
// Conditional event

struct CConditionalEvent {
    static constexpr int kMaxItem = 50;              // conditions, and happenings, per event
    static constexpr std::size_t kTitleBytes = 50;   // in the file encoding
    static constexpr std::int8_t kMonthOpen = -127;  // month 0x81: that side of the window is open

    // flags
    static constexpr std::uint16_t kFlagOr = 0x0001;          // conditions joined by OR (else AND)
    static constexpr std::uint16_t kFlagRepeatable = 0x0002;  // fires again after it has fired
    static constexpr std::uint16_t kFlagSubRoutine = 0x0004;  // only run when a happening calls it
    static constexpr std::uint16_t kFlagDone = 0x8000;        // has fired

    // loop kinds
    static constexpr std::uint8_t kLoopNone = 0;
    static constexpr std::uint8_t kLoopDaimyou = 1;  // once per house, loop values 1 .. nDaimyou
    static constexpr std::uint8_t kLoopShiro = 2;    // once per castle
    static constexpr std::uint8_t kLoopBushou = 3;   // once per general
    static constexpr std::uint8_t kMaxLoopKind = kLoopBushou;

    // Stored layouts: layout 1 starts with the marker and the layout version.
    static constexpr std::uint8_t kLayoutMarker = 1;
    static constexpr std::uint16_t kLayoutVersion = 1;

    std::string title;  // caption of the event message (UTF-8)
    std::int16_t firstYear = 0;
    std::int16_t lastYear = 0;
    std::int8_t firstMonth = 0;  // negative: no start bound (the year is ignored too)
    std::int8_t lastMonth = 0;   // negative: no end bound
    std::int8_t conditionCount = 0;
    std::array<EventItem, kMaxItem> conditions{};
    std::uint16_t flags = 0;
    std::int32_t actionCount = 0;
    std::array<EventItem, kMaxItem> actions{};
    std::string message;  // shown after the happenings when not empty (UTF-8)
    std::uint8_t loopKind = kLoopNone;
    std::string loopVariable;  // script variable that receives the loop value; empty none

    bool operator==(const CConditionalEvent&) const = default;

    // Writes the record in layout 1. Only the items in use are written.
    void Serialize(ArchiveWriter& out, TextEncoding enc) const;
    // Reads a record of layout 1 (marker byte 1, then the layout version) or of layout 0 (no
    // marker: the first byte is the title's; no loop kind and loop variable, which become
    // none). A record that cannot be right is refused: a title without its terminator, a
    // count of conditions or happenings above 50, a loop kind above 3, a layout version
    // above 1, or a stream that ends early. Refused: false, the reader marked failed and this
    // record left as it was. Items past the counts come back as they start (zero, empty).
    bool Serialize(ArchiveReader& in, TextEncoding enc);
};

// The saved form of the whole array: the number of events (u32), then each record.
void WriteConditionalEvents(ArchiveWriter& out, const std::vector<CConditionalEvent>& events,
                            TextEncoding enc);
// Reads that form. More than 2000 events, or any refused record, refuses the whole array:
// false, the reader marked failed and events left as they were.
bool ReadConditionalEvents(ArchiveReader& in, std::vector<CConditionalEvent>& events, TextEncoding enc);

// =============================================================================================
// Scheduled event

struct CEventRecord {
    static constexpr int kMaxEffect = 20;
    static constexpr int kMonthCount = 12;
    static constexpr int kMaxPlace = 250;  // provinces, or regions
    static constexpr int kMaxEvent = 200;
    static constexpr std::size_t kNameBytes = 50;  // in the file encoding
    static constexpr std::int8_t kMonthOpen = -127;
    static constexpr std::uint32_t kDefaultColor = 0xA0A0A0;  // RGB(160,160,160)

    // area modes
    static constexpr std::uint8_t kAreaKuni = 0;    // probabilities per province
    static constexpr std::uint8_t kAreaChiiki = 1;  // probabilities per region

    // effect kinds
    enum Effect : std::int16_t {
        kEffectTettai = 0,         // besieging armies withdraw
        kEffectTeppouDisable = 1,  // muskets cannot be used
        kEffectKokudaka = 2,       // rice yield
        kEffectKeizai = 3,         // town economy
        kEffectKouzan = 4,         // mine
        kEffectShuukakuRitsu = 5,  // harvest rate
        kEffectShiroLevel = 6,     // castle size
        kEffectHeiSuu = 7,         // soldiers
        kEffectMinatoKeizai = 8,   // port economy
        kEffectMinshuuShiji = 9,   // populace support
        kEffectShubiheiSuu = 10,   // garrison
        kEffectHyourou = 11,       // provisions
        kEffectKindCount = 12,
    };

    // relations to the other scheduled events
    static constexpr std::uint8_t kRelationNone = 0;
    static constexpr std::uint8_t kRelationWhole = 1;    // WHOLE or EXCLUDE_WHOLE
    static constexpr std::uint8_t kRelationPartial = 2;  // PARTIAL or EXCLUDE_PARTIAL
    static constexpr std::uint8_t kRelationRelate = 3;   // RELATE

    static constexpr int kCurrentLayoutSaveVersion = 110;  // saves below it use the old layout

    std::string name;  // UTF-8
    std::uint8_t areaMode = kAreaKuni;
    std::uint32_t effectCount = 0;
    std::array<std::int16_t, kMaxEffect> effectKind{};
    std::array<std::int16_t, kMaxEffect> effectValue1{};  // in hundredths
    std::array<std::int16_t, kMaxEffect> effectValue2{};  // in hundredths
    // [month - 1][place]: the chance that the event strikes that place, 10000 = certain.
    std::array<std::array<std::uint16_t, kMaxPlace>, kMonthCount> probability{};
    std::uint16_t chainRate = 0;  // ProbabilityChainRate, percent
    std::string message;          // UTF-8
    std::array<std::uint8_t, kMaxEvent> relation{};
    std::uint32_t color = 0;  // COLORREF, red in the low byte
    std::int16_t firstYear = 0;
    std::int16_t lastYear = 0;
    std::int8_t firstMonth = 0;  // negative: no start bound (the year is ignored too)
    std::int8_t lastMonth = 0;   // negative: no end bound

    bool operator==(const CEventRecord&) const = default;

    // Writes the current layout (every effect slot and all 3000 chances, then the window).
    void Serialize(ArchiveWriter& out, TextEncoding enc) const;
    // Reads the current layout. A record that cannot be right is refused: a name without its
    // terminator, more than 20 effects, an effect kind in use outside the table, an area mode
    // other than 0 and 1, a relation above 3, or a stream that ends early. Refused: false, the
    // reader marked failed and this record left as it was.
    bool Serialize(ArchiveReader& in, TextEncoding enc);
    // Reads the layout of saves older than version 110, which has no date window: the event
    // gets an open window (both months -127, years 0). Same checks.
    bool SerializeOld(ArchiveReader& in, TextEncoding enc);

private:
    bool Read(ArchiveReader& in, TextEncoding enc, bool withWindow);
};

// The saved form of the first count records of the table (the count itself travels in the
// keyed integer stream).
void WriteEventTable(ArchiveWriter& out, std::span<const CEventRecord> table, int count, TextEncoding enc);
// Reads count records into the table, in the old layout when saveVersion is below 110. A count
// outside 0..200 (or beyond the table), or any refused record, refuses the whole table: false,
// the reader marked failed and the table left as it was.
bool ReadEventTable(ArchiveReader& in, std::span<CEventRecord> table, int count, int saveVersion,
                    TextEncoding enc);

}  // namespace rymd
