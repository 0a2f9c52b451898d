// Scheduled events: the Event, EventDetail and weather sections.
//
// Event declares the events by identifier and name, EventDetail fills in each declared event,
// and SnowKakuritsu and RainKakuritsu each build one built-in weather event from a table of
// monthly chances. Record k of the event table is the k-th event declared or built.
#include <cmath>
#include <cstdint>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 10001;
constexpr std::size_t kWeatherTokenSize = 100;
constexpr std::size_t kMaxIdBytes = 25;

constexpr int kErrTooManyEvents = 83;
constexpr int kErrEventIdTooLong = 84;
constexpr int kErrEventIdTwice = 85;
constexpr int kErrEventNameTooLong = 86;
constexpr int kErrBadEventId = 87;
constexpr int kErrTooManyEffects = 88;
constexpr int kErrBadEffect = 89;
constexpr int kErrBadRelation = 90;

constexpr const char* kEffectWords[CEventRecord::kEffectKindCount] = {
    "TETTAI",      "TEPPOU_DISABLE", "KOKUDAKA",      "KEIZAI",        "KOUZAN",       "SHUUKAKU_RITSU",
    "SHIRO_LEVEL", "HEI_SUU",        "MINATO_KEIZAI", "MINSHUU_SHIJI", "SHUBIHEI_SUU", "HYOUROU",
};

int FindEffectWord(const std::string& word) {
    for (int i = 0; i < CEventRecord::kEffectKindCount; ++i)
        if (word == kEffectWords[i]) return i;
    return -1;
}

constexpr std::uint32_t Rgb(int red, int green, int blue) {
    return static_cast<std::uint32_t>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

// A number of the file times 100, truncated toward zero. The records keep it in 16 bits, which
// wrap as the stored word does; a value too large for any integer is kept at the int64 bounds
// first.
std::int64_t Hundredths(double value) {
    const double scaled = std::trunc(value * 100.0);
    if (scaled >= 9.0e18) return INT64_C(9000000000000000000);
    if (scaled <= -9.0e18) return -INT64_C(9000000000000000000);
    return static_cast<std::int64_t>(scaled);
}

constexpr const char* kSnowName = "大雪";
constexpr const char* kSnowMessage =
    "以下の地域に大雪が降りました\nこれらの地域で城攻略中の軍勢は、包囲を継続できずに撤退しました";
constexpr const char* kRainName = "大雨";
constexpr const char* kRainMessage =
    "以下の地域に大雨が降りました\nこれらの地域では、石高・町経済が低下しました";

}  // namespace

int CScenarioReader::ReadEvent() {
    std::string id, name;
    for (;;) {
        int r = ReadLineStart(id, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        if (nEvent_ >= GameState::kMaxEvent) return kErrTooManyEvents;
        if (id.size() > kMaxIdBytes) return kErrEventIdTooLong;
        if (FindNamedId(eventIds_, nEvent_, id) >= 0) return kErrEventIdTwice;
        StoreId(eventIds_[static_cast<std::size_t>(nEvent_)], id);
        if (int e = ReadWordField(name, true, kTokenSize); e != kScnOk) return e;
        if (name.size() > CEventRecord::kNameBytes) return kErrEventNameTooLong;

        // The whole record starts afresh: nothing of an earlier scenario stays in it.
        CEventRecord& event = gs_.EventTbl[static_cast<std::size_t>(nEvent_)];
        event = CEventRecord{};
        event.name = name;  // file bytes until the whole file is read
        event.color = CEventRecord::kDefaultColor;
        event.firstMonth = CEventRecord::kMonthOpen;
        event.lastMonth = CEventRecord::kMonthOpen;
        weatherEvent_[nEvent_] = false;
        ++nEvent_;
    }
}

int CScenarioReader::ReadEventDetail() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int index = FindNamedId(eventIds_, nEvent_, token);
        if (index < 0) return kErrBadEventId;
        if (int e = ReadWordField(token, true, kTokenSize); e != kScnOk) return e;
        if (token != "{") return kScnSyntax;
        // Each block starts per province and without chaining; effects add up over blocks.
        CEventRecord& event = gs_.EventTbl[static_cast<std::size_t>(index)];
        event.areaMode = CEventRecord::kAreaKuni;
        event.chainRate = 0;
        if (int e = ReadEventDetailBlock(event); e != kScnOk) return e;
    }
}

// The keyword lines of one EventDetail block. Tokens that are no keyword of the block are
// passed over one by one.
int CScenarioReader::ReadEventDetailBlock(CEventRecord& event) {
    std::string keyword, token;
    auto readOpenBrace = [&]() {
        if (int e = ReadWordField(token, true, kTokenSize); e != kScnOk) return e;
        return token == "{" ? static_cast<int>(kScnOk) : static_cast<int>(kScnSyntax);
    };
    for (;;) {
        int end = ReadToken(keyword, kTokenSize);
        if (end == kEndOfFile) return kStopAtEof;
        if (keyword == "}") return kScnOk;
        const bool known = keyword == "Effect" || keyword == "PeriodStart" || keyword == "PeriodEnd" ||
                           keyword == "KuniProbability" || keyword == "Probability" ||
                           keyword == "ChiikiProbability" || keyword == "Message" || keyword == "Exclusion" ||
                           keyword == "Correlation" || keyword == "Color" ||
                           keyword == "ProbabilityChainRate";
        if (!known) continue;
        if (end == kEndOfLine) return kScnSyntax;

        int e = kScnOk;
        if (keyword == "Effect") {
            if (event.effectCount >= static_cast<std::uint32_t>(CEventRecord::kMaxEffect))
                return kErrTooManyEffects;
            end = ReadToken(token, kTokenSize);
            if (end == kEndOfFile) return kStopAtEof;
            const int kind = FindEffectWord(token);
            if (kind < 0) return kErrBadEffect;
            double value1 = 0.0, value2 = 0.0;
            if (kind == CEventRecord::kEffectTettai || kind == CEventRecord::kEffectTeppouDisable) {
                // These two take no numbers.
                if (end != kEndOfLine) return kScnSyntax;
            } else {
                if (end == kEndOfLine) return kScnSyntax;
                if (int f = ReadDecimalField(value1, false, kScnNotInteger, kTokenSize); f != kScnOk)
                    return f;
                if (int f = ReadDecimalField(value2, true, kScnNotInteger, kTokenSize); f != kScnOk) return f;
            }
            const std::size_t slot = event.effectCount++;
            event.effectKind[slot] = static_cast<std::int16_t>(kind);
            event.effectValue1[slot] = static_cast<std::int16_t>(Hundredths(value1));
            event.effectValue2[slot] = static_cast<std::int16_t>(Hundredths(value2));
        } else if (keyword == "PeriodStart") {
            e = ReadPeriod(event.firstYear, event.firstMonth, kTokenSize);
        } else if (keyword == "PeriodEnd") {
            e = ReadPeriod(event.lastYear, event.lastMonth, kTokenSize);
        } else if (keyword == "KuniProbability" || keyword == "Probability") {
            e = readOpenBrace();
            event.areaMode = CEventRecord::kAreaKuni;
            if (e == kScnOk) e = ReadProbabilityBlock(event, false);
        } else if (keyword == "ChiikiProbability") {
            e = readOpenBrace();
            event.areaMode = CEventRecord::kAreaChiiki;
            if (e == kScnOk) e = ReadProbabilityBlock(event, true);
        } else if (keyword == "Message") {
            e = readOpenBrace();
            if (e == kScnOk) e = ReadTextBlock(event.message);
        } else if (keyword == "Exclusion" || keyword == "Correlation") {
            end = ReadToken(token, kTokenSize);
            if (end == kEndOfFile) return kStopAtEof;
            const int other = FindNamedId(eventIds_, nEvent_, token);
            if (other < 0) return kErrBadEventId;
            if (end == kEndOfLine) return kScnSyntax;
            if (int f = ReadWordField(token, true, kTokenSize); f != kScnOk) return f;
            std::uint8_t relation;
            if (token == "WHOLE" || token == "EXCLUDE_WHOLE")
                relation = CEventRecord::kRelationWhole;
            else if (token == "PARTIAL" || token == "EXCLUDE_PARTIAL")
                relation = CEventRecord::kRelationPartial;
            else if (token == "RELATE")
                relation = CEventRecord::kRelationRelate;
            else
                return kErrBadRelation;
            event.relation[static_cast<std::size_t>(other)] = relation;
        } else if (keyword == "Color") {
            int rgb[3];
            for (int i = 0; i < 3 && e == kScnOk; ++i)
                e = ReadIntField(rgb[i], i == 2, kTokenSize);
            if (e == kScnOk) event.color = Rgb(rgb[0], rgb[1], rgb[2]);
        } else {  // ProbabilityChainRate
            int rate = 0;
            e = ReadIntField(rate, true, kTokenSize);
            if (e == kScnOk) event.chainRate = static_cast<std::uint16_t>(rate);
        }
        if (e != kScnOk) return e;
    }
}

// Lines of a province (or region) identifier and the twelve monthly chances in percent.
int CScenarioReader::ReadProbabilityBlock(CEventRecord& event, bool chiiki) {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int place = chiiki ? map_.FindChiiki(token) : map_.FindKuni(token);
        if (place < 0 || place >= CEventRecord::kMaxPlace) return chiiki ? kScnBadChiikiId : kScnBadKuniId;
        for (int month = 0; month < CEventRecord::kMonthCount; ++month) {
            double percent = 0.0;
            if (int e = ReadDecimalField(percent, month == CEventRecord::kMonthCount - 1, kScnNotInteger,
                                         kTokenSize);
                e != kScnOk)
                return e;
            event.probability[static_cast<std::size_t>(month)][static_cast<std::size_t>(place)] =
                static_cast<std::uint16_t>(Hundredths(percent));
        }
    }
}

int CScenarioReader::ReadSnowKakuritsu() {
    return ReadWeatherSection(false);
}

int CScenarioReader::ReadRainKakuritsu() {
    return ReadWeatherSection(true);
}

// Heavy snow (per province) or heavy rain (per region): one built-in event whose monthly
// chances come from the section's lines. It has no identifier and may strike in any year.
int CScenarioReader::ReadWeatherSection(bool rain) {
    // A full table takes no more events: the section is read through to its closing line.
    if (nEvent_ >= GameState::kMaxEvent) return SkipSection();

    const int index = nEvent_;
    CEventRecord& event = gs_.EventTbl[static_cast<std::size_t>(index)];
    event = CEventRecord{};
    if (!rain) {
        event.name = kSnowName;
        event.effectCount = 1;
        event.effectKind[0] = CEventRecord::kEffectTettai;
        // The castle word as the scenario has set it so far.
        ScenarioWordArray words = gs_.ScenarioWords;
        for (int i = 0; i < kWordSlotCount; ++i)
            if (wordAssigned_[i])
                words[static_cast<std::size_t>(i)] =
                    ToUtf8(words[static_cast<std::size_t>(i)], gs_.Encoding());
        event.message = ReplaceWordShiro(kSnowMessage, words);
        event.color = Rgb(220, 220, 220);
        event.areaMode = CEventRecord::kAreaKuni;
    } else {
        event.name = kRainName;
        event.effectCount = 3;
        event.effectKind[0] = CEventRecord::kEffectTeppouDisable;
        event.effectKind[1] = CEventRecord::kEffectKokudaka;
        event.effectValue1[1] = -400;
        event.effectValue2[1] = 200;
        event.effectKind[2] = CEventRecord::kEffectKeizai;
        event.effectValue1[2] = -900;
        event.effectValue2[2] = 500;
        event.message = kRainMessage;
        event.color = Rgb(50, 200, 255);
        event.areaMode = CEventRecord::kAreaChiiki;
    }
    // The weather strikes in any year: both sides of the date window are open.
    event.firstMonth = CEventRecord::kMonthOpen;
    event.lastMonth = CEventRecord::kMonthOpen;
    weatherEvent_[index] = true;

    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kWeatherTokenSize);
        if (r == kSectionEnd) break;
        if (r != kScnOk) return r;
        const int place = rain ? map_.FindChiiki(token) : map_.FindKuni(token);
        if (place < 0 || place >= CEventRecord::kMaxPlace) return rain ? kScnBadChiikiId : kScnBadKuniId;
        for (int month = 0; month < CEventRecord::kMonthCount; ++month) {
            int percent = 0;
            if (int e = ReadIntField(percent, month == CEventRecord::kMonthCount - 1, kWeatherTokenSize);
                e != kScnOk)
                return e;
            event.probability[static_cast<std::size_t>(month)][static_cast<std::size_t>(place)] =
                static_cast<std::uint16_t>(static_cast<std::int64_t>(percent) * 100);
        }
    }
    // No identifier: the empty slot is never found by a lookup.
    StoreId(eventIds_[static_cast<std::size_t>(index)], std::string());
    ++nEvent_;
    return kScnOk;
}

// Titles, names, messages and data texts of both kinds of events: file bytes to UTF-8.
void CScenarioReader::ConvertEventTexts(TextEncoding enc) {
    for (CConditionalEvent& event : gs_.ConditionalEventArray) {
        event.title = ToUtf8(event.title, enc);
        event.message = ToUtf8(event.message, enc);
        event.loopVariable = ToUtf8(event.loopVariable, enc);
        for (int i = 0; i < event.conditionCount; ++i) {
            EventItem& item = event.conditions[static_cast<std::size_t>(i)];
            item.data1 = ToUtf8(item.data1, enc);
            item.data2 = ToUtf8(item.data2, enc);
        }
        for (int i = 0; i < event.actionCount; ++i) {
            EventItem& item = event.actions[static_cast<std::size_t>(i)];
            item.data1 = ToUtf8(item.data1, enc);
            item.data2 = ToUtf8(item.data2, enc);
        }
    }
    for (int i = 0; i < nEvent_; ++i) {
        if (weatherEvent_[i]) continue;  // built in: UTF-8 already
        CEventRecord& event = gs_.EventTbl[static_cast<std::size_t>(i)];
        event.name = ToUtf8(event.name, enc);
        event.message = ToUtf8(event.message, enc);
    }
}

}  // namespace rymd
