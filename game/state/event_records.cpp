#include "game/state/event_records.h"

#include <algorithm>
#include <cstring>

#include "platform/core/archive.h"

namespace rymd {

// --- the condition and happening vocabulary ----------------------------------------------------

const std::array<EventKeyword, kConditionCount> kConditionTable = {{
    {"CONDITION_EQUAL", 0xC0},
    {"CONDITION_NOT_EQUAL", 0xC0},
    {"CONDITION_LARGE", 0xC0},
    {"CONDITION_LARGE_EQUAL", 0xC0},
    {"CONDITION_SMALL", 0xC0},
    {"CONDITION_SMALL_EQUAL", 0xC0},
    {"CONDITION_DAINYUU", 0xC0},
    {"CONDITION_DOKURITSU", 0x01},
    {"CONDITION_JUUZOKU_SHINJUU_UNSPECIFIC", 0x01},
    {"CONDITION_JUUZOKU_UNSPECIFIC", 0x01},
    {"CONDITION_SHINJUU_UNSPECIFIC", 0x01},
    {"CONDITION_JUUZOKU_SHINJUU_SPECIFIC", 0x03},
    {"CONDITION_JUUZOKU_SPECIFIC", 0x03},
    {"CONDITION_SHINJUU_SPECIFIC", 0x03},
    {"CONDITION_NOT_JUUZOKU_SHINJUU_SPECIFIC", 0x03},
    {"CONDITION_NOT_JUUZOKU_SPECIFIC", 0x03},
    {"CONDITION_NOT_SHINJUU_SPECIFIC", 0x03},
    {"CONDITION_TEKITAI", 0x03},
    {"CONDITION_NOT_TEKITAI", 0x03},
    {"CONDITION_RINSETSU", 0x03},
    {"CONDITION_NOT_RINSETSU", 0x03},
    {"CONDITION_DAIMYOU_METSUBOU", 0x01},
    {"CONDITION_DAIMYOU_EXIST", 0x01},
    {"CONDITION_SHIRO_OWNER1", 0x05},
    {"CONDITION_SHIRO_OWNER2", 0x05},
    {"CONDITION_SHIRO_OWNER3", 0x05},
    {"CONDITION_SHIRO_NOT_OWNER1", 0x05},
    {"CONDITION_SHIRO_NOT_OWNER2", 0x05},
    {"CONDITION_SHIRO_NOT_OWNER3", 0x05},
    {"CONDITION_BUSHOU_EXIST", 0x10},
    {"CONDITION_BUSHOU_NOT_APPEAR", 0x10},
    {"CONDITION_BUSHOU_DEAD", 0x10},
    {"CONTITION_BUSHOU_SHOZOKU", 0x11},
    {"CONTITION_BUSHOU_TOUSHU_UNSPECIFIC", 0x10},
    {"CONTITION_BUSHOU_TOUSHU_SPECIFIC", 0x11},
    {"CONTITION_BUSHOU_AT_SHIRO", 0x14},
    {"CONDITION_NOT_PLAYER_DAIMYOU", 0x01},
    {"CONDITION_PLAYER_DAIMYOU", 0x01},
    {"CONDITION_NOT_PLAYER_BUSHOU", 0x10},
    {"CONDITION_PLAYER_BUSHOU", 0x10},
    {"CONDITION_SHIRO_HOUI", 0x04},
    {"CONDITION_SHIRO_NOT_HOUI", 0x04},
    {"CONTITION_BUSHOU_NOT_SHOZOKU", 0x11},
    {"CONTITION_BUSHOU_NOT_TOUSHU_UNSPECIFIC", 0x10},
    {"CONTITION_BUSHOU_NOT_TOUSHU_SPECIFIC", 0x11},
    {"CONTITION_BUSHOU_NOT_AT_SHIRO", 0x14},
    {"CONDITION_BUSHOU_NOT_EXIST", 0x10},
    {"CONDITION_QUESTION_YES", 0x80},
    {"CONDITION_QUESTION_NO", 0x80},
}};

const std::array<EventKeyword, kHappeningCount> kHappeningTable = {{
    {"HAPPENING_DAINYUU", 0xC0},
    {"HAPPENING_ADD", 0xC0},
    {"HAPPENING_BUSHOU_KAIMEI", 0x50},
    {"HAPPENING_SHIRO_KAIMEI", 0x44},
    {"HAPPENING_DAIMYOU_KAIMEI", 0x41},
    {"HAPPENING_DOKURITSU", 0x01},
    {"HAPPENING_SANKA_DOKURITSU", 0x01},
    {"HAPPENING_BUSHOU_DEAD", 0x10},
    {"HAPPENING_BUSHOU_APPEAR", 0x10},
    {"HAPPENING_SHUKUTEKI", 0x03},
    {"HAPPENING_KYOUSEI_SHUKUTEKI", 0x03},
    {"HAPPENING_NOT_SHUKUTEKI", 0x03},
    {"HAPPENING_SHUKUTEKI_ALL", 0x01},
    {"HAPPENING_NOT_SHUKUTEKI_ALL", 0x01},
    {"HAPPENING_FUSEN_DOUMEI", 0x03},
    {"HAPPENING_JUUZOKU", 0x03},
    {"HAPPENING_SHINJUU", 0x03},
    {"HAPPENING_HEIDON", 0x03},
    {"HAPPENING_HEIDON2", 0x03},
    {"HAPPENING_BUSHOU_ASHIGARU_PLUS", 0x50},
    {"HAPPENING_BUSHOU_KIBA_PLUS", 0x50},
    {"HAPPENING_BUSHOU_TEPPOU_PLUS", 0x50},
    {"HAPPENING_DAIMYOU_ASHIGARU_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_KIBA_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_TEPPOU_PLUS", 0x41},
    {"HAPPENING_BUSHOU_PARAM_COPY", 0x30},
    {"HAPPENING_SHIRO_MAX_LEVEL", 0x44},
    {"HAPPENING_SHIRO_MAX_KOKUDAKA", 0x44},
    {"HAPPENING_SHIRO_MAX_KEIZAI", 0x44},
    {"HAPPENING_SHIRO_MAX_KOUZAN", 0x44},
    {"HAPPENING_SHIRO_LEVEL_PLUS", 0x44},
    {"HAPPENING_SHIRO_KOKUDAKA_PLUS", 0x44},
    {"HAPPENING_SHIRO_KEIZAI_PLUS", 0x44},
    {"HAPPENING_SHIRO_KOUZAN_PLUS", 0x44},
    {"HAPPENING_SHIRO_MINSHUU_PLUS", 0x44},
    {"HAPPENING_SHIRO_SHUBIHEI_PLUS", 0x44},
    {"HAPPENING_SHIRO_HYOUROU_PLUS", 0x44},
    {"HAPPENING_SHIRO_KOUEKISEN_PLUS", 0x44},
    {"HAPPENING_DAIMYOU_SHIRO_LEVEL_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_KOKUDAKA_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_KEIZAI_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_KOUZAN_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_MINSHUU_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_SHUBIHEI_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_HYOUROU_PLUS", 0x41},
    {"HAPPENING_DAIMYOU_KOUEKISEN_PLUS", 0x41},
    {"HAPPENING_DAIMYO_KOUDOU_TYPE_NORMAL", 0x01},
    {"HAPPENING_DAIMYO_KOUDOU_TYPE_STATIC", 0x01},
    {"HAPPENING_DAIMYO_KOUDOU_TYPE_NOATTACK", 0x01},
    {"HAPPENING_BUSHOU_SHOZOKU_CHANGE", 0x11},
    {"HAPPENING_SHIRO_SHOZOKU_CHANGE", 0x05},
    {"HAPPENING_SEASON_EVENT", 0x40},
    {"HAPPENING_SHIRO_TYPE_CHANGE", 0x44},
    {"HAPPENING_TETTAI1", 0x04},
    {"HAPPENING_TETTAI2", 0x01},
    {"HAPPENING_TETTAI3", 0x01},
    {"HAPPENING_BUSHOU_SOUZOKU_DAIMYO", 0x11},
    {"HAPPENING_BUSHOU_INIT_SHIRO", 0x14},
    {"HAPPENING_BUSHOU_KEISHOU", 0x50},
    {"HAPPENING_TOUSHU_CHANGE", 0x10},
    {"HAPPENING_DAIMYOU_SHIKIN", 0x41},
    {"HAPPENING_BUSHOU_MOVE", 0x14},
    {"HAPPENING_GAME_END", 0x00},
    {"HAPPENING_GAME_END2", 0x01},
    {"HAPPENING_SUBROUTINE_CALL", 0x40},
    {"HAPPENING_SAVE_READ_ONLY_DATA", 0x00},
    {"HAPPENING_QUESTION_MULTI", 0xC0},
    {"HAPPENING_INPUT_NUMBER", 0xC0},
    {"HAPPENING_CHANGE_NORMAL_BGM", 0x40},
    {"HAPPENING_CHANGE_BATTLE_BGM", 0x40},
    {"HAPPENING_CHANGE_VIEW_AREA", 0x40},
    {"HAPPENING_SHIRO_INFO_ENABLE", 0x44},
    {"HAPPENING_CHANGE_TITLE", 0x40},
    {"HAPPENING_HIDE_ROOT", 0x4C},
    {"HAPPENING_DAIMYO_NONAGGRESSION", 0x41},
}};

int FindConditionKeyword(std::string_view keyword) {
    for (int i = 0; i < kConditionCount; ++i)
        if (keyword == kConditionTable[static_cast<std::size_t>(i)].keyword) return i;
    return -1;
}

int FindHappeningKeyword(std::string_view keyword) {
    for (int i = 0; i < kHappeningCount; ++i)
        if (keyword == kHappeningTable[static_cast<std::size_t>(i)].keyword) return i;
    // Spellings of older scenarios.
    if (keyword == "HAPPEN_DAINYUU") return 0;
    if (keyword == "HAPPEN_ADD") return 1;
    if (keyword == "HAPPENING_HEIGDON") return 17;
    return -1;
}

// --- fixed-width names -------------------------------------------------------------------------

namespace {

// A name field of maxBytes + 1 bytes in the file encoding: the name, cut on a character
// boundary, then zeros.
void WriteNameField(ArchiveWriter& out, const std::string& utf8, std::size_t maxBytes, TextEncoding enc) {
    const std::string encoded = FromUtf8(utf8, enc);
    const std::size_t n = CharBoundaryCut(encoded, maxBytes, enc);
    std::string field(maxBytes + 1, '\0');
    std::memcpy(field.data(), encoded.data(), n);
    out.WriteBytes(field.data(), field.size());
}

// Reads a name field of maxBytes + 1 bytes. A field without a zero byte is refused.
bool ReadNameField(ArchiveReader& in, std::string& utf8, std::size_t maxBytes, TextEncoding enc) {
    std::string field(maxBytes + 1, '\0');
    if (!in.ReadBytes(field.data(), field.size())) return false;
    const std::size_t n = field.find('\0');
    if (n == std::string::npos) {
        in.Fail();
        return false;
    }
    utf8 = ToUtf8(std::string_view(field.data(), n), enc);
    return true;
}

void WriteText(ArchiveWriter& out, const std::string& utf8, TextEncoding enc) {
    out.WriteCString(FromUtf8(utf8, enc));
}

std::string ReadText(ArchiveReader& in, TextEncoding enc) {
    return ToUtf8(in.ReadCString(), enc);
}

void WriteItem(ArchiveWriter& out, const EventItem& item, TextEncoding enc) {
    out.WriteU16(item.code);
    out.WriteI16(item.daimyou1);
    out.WriteI16(item.daimyou2);
    out.WriteI16(item.shiro1);
    out.WriteI16(item.shiro2);
    out.WriteI16(item.bushou1);
    out.WriteI16(item.bushou2);
    WriteText(out, item.data1, enc);
    WriteText(out, item.data2, enc);
}

void ReadItem(ArchiveReader& in, EventItem& item, TextEncoding enc) {
    item.code = in.ReadU16();
    item.daimyou1 = in.ReadI16();
    item.daimyou2 = in.ReadI16();
    item.shiro1 = in.ReadI16();
    item.shiro2 = in.ReadI16();
    item.bushou1 = in.ReadI16();
    item.bushou2 = in.ReadI16();
    item.data1 = ReadText(in, enc);
    item.data2 = ReadText(in, enc);
}

}  // namespace

// --- conditional event -------------------------------------------------------------------------

void CConditionalEvent::Serialize(ArchiveWriter& out, TextEncoding enc) const {
    out.WriteU8(kLayoutMarker);
    out.WriteU16(kLayoutVersion);
    WriteNameField(out, title, kTitleBytes, enc);
    out.WriteI16(firstYear);
    out.WriteI16(lastYear);
    out.WriteI8(firstMonth);
    out.WriteI8(lastMonth);
    const int nCondition = conditionCount < 0 ? 0 : std::min<int>(conditionCount, kMaxItem);
    out.WriteU8(static_cast<std::uint8_t>(nCondition));
    for (int i = 0; i < nCondition; ++i)
        WriteItem(out, conditions[static_cast<std::size_t>(i)], enc);
    out.WriteU16(flags);
    const int nAction = actionCount < 0 ? 0 : std::min<int>(actionCount, kMaxItem);
    out.WriteU32(static_cast<std::uint32_t>(nAction));
    for (int i = 0; i < nAction; ++i)
        WriteItem(out, actions[static_cast<std::size_t>(i)], enc);
    WriteText(out, message, enc);
    out.WriteU8(loopKind);
    WriteText(out, loopVariable, enc);
}

bool CConditionalEvent::Serialize(ArchiveReader& in, TextEncoding enc) {
    CConditionalEvent r;
    // Layout 1 opens with the marker; in layout 0 the first byte already belongs to the title.
    std::string field(kTitleBytes + 1, '\0');
    std::uint16_t version = 0;
    const std::uint8_t first = in.ReadU8();
    if (first == kLayoutMarker) {
        version = in.ReadU16();
        if (version > kLayoutVersion) in.Fail();
        in.ReadBytes(field.data(), field.size());
    } else {
        field[0] = static_cast<char>(first);
        in.ReadBytes(field.data() + 1, field.size() - 1);
    }
    if (!in.Ok()) return false;
    const std::size_t titleLength = field.find('\0');
    if (titleLength == std::string::npos) {
        in.Fail();
        return false;
    }
    r.title = ToUtf8(std::string_view(field.data(), titleLength), enc);

    r.firstYear = in.ReadI16();
    r.lastYear = in.ReadI16();
    r.firstMonth = in.ReadI8();
    r.lastMonth = in.ReadI8();
    const std::uint8_t nCondition = in.ReadU8();
    if (nCondition > kMaxItem) in.Fail();
    if (!in.Ok()) return false;
    r.conditionCount = static_cast<std::int8_t>(nCondition);
    for (int i = 0; i < nCondition; ++i)
        ReadItem(in, r.conditions[static_cast<std::size_t>(i)], enc);
    r.flags = in.ReadU16();
    const std::uint32_t nAction = in.ReadU32();
    if (nAction > static_cast<std::uint32_t>(kMaxItem)) in.Fail();
    if (!in.Ok()) return false;
    r.actionCount = static_cast<std::int32_t>(nAction);
    for (std::uint32_t i = 0; i < nAction; ++i)
        ReadItem(in, r.actions[i], enc);
    r.message = ReadText(in, enc);
    if (version >= 1) {
        r.loopKind = in.ReadU8();
        if (r.loopKind > kMaxLoopKind) in.Fail();
        r.loopVariable = ReadText(in, enc);
    }
    if (!in.Ok()) return false;
    *this = std::move(r);
    return true;
}

void WriteConditionalEvents(ArchiveWriter& out, const std::vector<CConditionalEvent>& events,
                            TextEncoding enc) {
    out.WriteU32(static_cast<std::uint32_t>(events.size()));
    for (const CConditionalEvent& e : events)
        e.Serialize(out, enc);
}

bool ReadConditionalEvents(ArchiveReader& in, std::vector<CConditionalEvent>& events, TextEncoding enc) {
    constexpr std::uint32_t kMaxConditionalEvent = 2000;
    // The smallest record (layout 0, nothing in use) takes 65 bytes.
    constexpr std::size_t kSmallestRecord = 65;
    const std::uint32_t count = in.ReadU32();
    if (count > kMaxConditionalEvent || count > in.Remaining() / kSmallestRecord) in.Fail();
    if (!in.Ok()) return false;
    std::vector<CConditionalEvent> staged(count);
    for (CConditionalEvent& e : staged)
        if (!e.Serialize(in, enc)) return false;
    events = std::move(staged);
    return true;
}

// --- scheduled event ---------------------------------------------------------------------------

void CEventRecord::Serialize(ArchiveWriter& out, TextEncoding enc) const {
    WriteNameField(out, name, kNameBytes, enc);
    out.WriteU8(areaMode);
    out.WriteU32(effectCount);
    for (std::int16_t v : effectKind)
        out.WriteI16(v);
    for (std::int16_t v : effectValue1)
        out.WriteI16(v);
    for (std::int16_t v : effectValue2)
        out.WriteI16(v);
    for (const auto& month : probability)
        for (std::uint16_t v : month)
            out.WriteU16(v);
    out.WriteU16(chainRate);
    WriteText(out, message, enc);
    out.WriteBytes(relation.data(), relation.size());
    out.WriteU32(color);
    out.WriteI16(firstYear);
    out.WriteI16(lastYear);
    out.WriteI8(firstMonth);
    out.WriteI8(lastMonth);
}

bool CEventRecord::Serialize(ArchiveReader& in, TextEncoding enc) {
    return Read(in, enc, true);
}

bool CEventRecord::SerializeOld(ArchiveReader& in, TextEncoding enc) {
    return Read(in, enc, false);
}

bool CEventRecord::Read(ArchiveReader& in, TextEncoding enc, bool withWindow) {
    CEventRecord r;
    if (!ReadNameField(in, r.name, kNameBytes, enc)) return false;
    r.areaMode = in.ReadU8();
    r.effectCount = in.ReadU32();
    for (std::int16_t& v : r.effectKind)
        v = in.ReadI16();
    for (std::int16_t& v : r.effectValue1)
        v = in.ReadI16();
    for (std::int16_t& v : r.effectValue2)
        v = in.ReadI16();
    for (auto& month : r.probability)
        for (std::uint16_t& v : month)
            v = in.ReadU16();
    r.chainRate = in.ReadU16();
    r.message = ReadText(in, enc);
    in.ReadBytes(r.relation.data(), r.relation.size());
    r.color = in.ReadU32();
    if (withWindow) {
        r.firstYear = in.ReadI16();
        r.lastYear = in.ReadI16();
        r.firstMonth = in.ReadI8();
        r.lastMonth = in.ReadI8();
    } else {
        // Old saves have no date window: the event may strike in any month of any year.
        r.firstYear = r.lastYear = 0;
        r.firstMonth = r.lastMonth = kMonthOpen;
    }
    if (!in.Ok()) return false;

    bool sound = r.areaMode <= kAreaChiiki && r.effectCount <= static_cast<std::uint32_t>(kMaxEffect);
    for (std::uint32_t i = 0; sound && i < r.effectCount; ++i)
        sound = r.effectKind[i] >= 0 && r.effectKind[i] < kEffectKindCount;
    for (std::uint8_t rel : r.relation)
        sound = sound && rel <= kRelationRelate;
    if (!sound) {
        in.Fail();
        return false;
    }
    *this = std::move(r);
    return true;
}

void WriteEventTable(ArchiveWriter& out, std::span<const CEventRecord> table, int count, TextEncoding enc) {
    const std::size_t n = count < 0 ? 0 : std::min(static_cast<std::size_t>(count), table.size());
    for (std::size_t i = 0; i < n; ++i)
        table[i].Serialize(out, enc);
}

bool ReadEventTable(ArchiveReader& in, std::span<CEventRecord> table, int count, int saveVersion,
                    TextEncoding enc) {
    if (count < 0 || count > CEventRecord::kMaxEvent || static_cast<std::size_t>(count) > table.size()) {
        in.Fail();
        return false;
    }
    const bool old = saveVersion < CEventRecord::kCurrentLayoutSaveVersion;
    std::vector<CEventRecord> staged(static_cast<std::size_t>(count));
    for (CEventRecord& r : staged)
        if (!(old ? r.SerializeOld(in, enc) : r.Serialize(in, enc))) return false;
    std::move(staged.begin(), staged.end(), table.begin());
    return true;
}

}  // namespace rymd
