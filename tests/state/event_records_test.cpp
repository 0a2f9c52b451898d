#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/state/event_records.h"
#include "platform/core/archive.h"
#include "platform/core/encoding.h"

namespace rymd::test {
namespace {

constexpr TextEncoding kSjis = TextEncoding::ShiftJis;

void Append(std::vector<std::uint8_t>& v, std::initializer_list<int> bytes) {
    for (int b : bytes)
        v.push_back(static_cast<std::uint8_t>(b));
}

// --- conditional event ---------------------------------------------------------------------------

CConditionalEvent SampleConditionalEvent() {
    CConditionalEvent e;
    e.title = "本能寺の変";
    e.firstYear = 1560;
    e.lastYear = -5;
    e.firstMonth = 3;
    e.lastMonth = CConditionalEvent::kMonthOpen;
    e.conditionCount = 2;
    e.conditions[0] = EventItem{0, 1, -1, 2, 0, 3, 0, "Var", "1+2"};
    e.conditions[1] = EventItem{48, 0, 0, 0, 0, 0, 0, "", "本当に？"};
    e.flags = CConditionalEvent::kFlagOr | CConditionalEvent::kFlagDone;
    e.actionCount = 3;
    e.actions[0] = EventItem{73, 1, 2, 3, 4, 5, 6, "1", "x"};
    e.actions[1] = EventItem{64, 0, 0, 0, 0, 0, 0, "SUB", ""};
    e.actions[2] = EventItem{2, 0, 0, 0, 0, 7, 0, std::string(300, 'n'), ""};  // a long counted string
    e.message = "一行目\n二行目\n";
    e.loopKind = CConditionalEvent::kLoopBushou;
    e.loopVariable = "番号";
    return e;
}

std::vector<std::uint8_t> Stored(const CConditionalEvent& e) {
    ArchiveWriter w;
    e.Serialize(w, kSjis);
    return w.Take();
}

TEST(ConditionalEventRecord, RoundTripInLayout1) {
    const CConditionalEvent e = SampleConditionalEvent();
    const std::vector<std::uint8_t> bytes = Stored(e);
    ArchiveReader r(bytes);
    auto back = std::make_unique<CConditionalEvent>();
    ASSERT_TRUE(back->Serialize(r, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(*back, e);
}

TEST(ConditionalEventRecord, StoredFormByteForByte) {
    CConditionalEvent e;
    e.title = "AB";
    e.firstYear = 0x0102;
    e.lastYear = -1;
    e.firstMonth = 5;
    e.lastMonth = -127;
    e.flags = 0x8003;
    e.actionCount = 1;
    e.actions[0] = EventItem{7, 1, 2, 3, 4, 5, -1, "d", ""};
    e.conditions[3].code = 9;  // past the count: not stored
    e.message = "m";
    e.loopKind = 2;
    e.loopVariable = "v";

    std::vector<std::uint8_t> expected = {1, 1, 0, 'A', 'B'};
    expected.resize(3 + 51, 0);
    Append(expected, {0x02, 0x01, 0xFF, 0xFF, 5, 0x81, 0 /* no conditions */, 0x03, 0x80, 1, 0, 0, 0});
    Append(expected, {7, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 0xFF, 0xFF, 1, 'd', 0});
    Append(expected, {1, 'm', 2, 1, 'v'});
    EXPECT_EQ(Stored(e), expected);

    // Items past the counts come back as they start.
    ArchiveReader r(expected);
    auto back = std::make_unique<CConditionalEvent>();
    ASSERT_TRUE(back->Serialize(r, kSjis));
    EXPECT_EQ(back->conditions[3].code, 0);
    EXPECT_EQ(back->conditionCount, 0);
}

TEST(ConditionalEventRecord, Layout0HasNoMarkerAndNoLoop) {
    std::vector<std::uint8_t> bytes = {'O', 'L', 'D'};
    bytes.resize(51, 0);
    Append(bytes, {0xD0, 0x07, 0xD0, 0x07, 1, 12, 0, 0x02, 0, 0, 0, 0, 0, 2, 'h', 'i'});
    ArchiveReader r(bytes);
    auto e = std::make_unique<CConditionalEvent>();
    e->loopKind = 3;
    e->loopVariable = "x";
    ASSERT_TRUE(e->Serialize(r, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(e->title, "OLD");
    EXPECT_EQ(e->firstYear, 2000);
    EXPECT_EQ(e->lastMonth, 12);
    EXPECT_EQ(e->flags, CConditionalEvent::kFlagRepeatable);
    EXPECT_EQ(e->message, "hi");
    EXPECT_EQ(e->loopKind, 0);
    EXPECT_EQ(e->loopVariable, "");
}

// Offsets in the stored form of SampleConditionalEvent: title at 3, condition count at 60.
TEST(ConditionalEventRecord, DamagedDataIsRefused) {
    const CConditionalEvent sample = SampleConditionalEvent();
    const std::vector<std::uint8_t> good = Stored(sample);
    struct Damage {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
    };
    // The action count sits after the two conditions; find it from the stored size of the parts.
    ArchiveWriter head;
    {
        CConditionalEvent onlyConditions = sample;
        onlyConditions.actionCount = 0;
        onlyConditions.message.clear();
        onlyConditions.loopVariable.clear();
        onlyConditions.Serialize(head, kSjis);
    }
    const std::size_t actionCountAt = head.Size() - 4 - 1 - 1 - 1;  // count, message, loop kind, variable
    std::vector<Damage> damages = {
        {"layout version 2", 1, 2},
        {"51 conditions", 60, 51},
        {"255 conditions", 60, 255},
        {"51 actions", actionCountAt, 51},
        {"actions count with a high byte", actionCountAt + 3, 1},
        {"loop kind 4", good.size() - 6, 4},  // before the loop variable "番号" (1 + 4 bytes)
    };
    for (const Damage& d : damages) {
        std::vector<std::uint8_t> bad = good;
        ASSERT_LT(d.offset, bad.size());
        bad[d.offset] = d.value;
        ArchiveReader r(bad);
        auto e = std::make_unique<CConditionalEvent>();
        e->title = "before";
        EXPECT_FALSE(e->Serialize(r, kSjis)) << d.name;
        EXPECT_FALSE(r.Ok()) << d.name;
        EXPECT_EQ(e->title, "before") << d.name;  // left as it was
    }

    // A title without its terminator.
    std::vector<std::uint8_t> noTerminator = good;
    for (std::size_t i = 3; i < 3 + 51; ++i)
        noTerminator[i] = 'x';
    ArchiveReader r(noTerminator);
    auto e = std::make_unique<CConditionalEvent>();
    EXPECT_FALSE(e->Serialize(r, kSjis));

    // Every cut of the stream is refused.
    for (std::size_t n = 0; n < good.size(); ++n) {
        ArchiveReader cut(good.data(), n);
        auto c = std::make_unique<CConditionalEvent>();
        EXPECT_FALSE(c->Serialize(cut, kSjis)) << n;
    }
}

TEST(ConditionalEventRecord, TheWholeArray) {
    std::vector<CConditionalEvent> events(3);
    events[1] = SampleConditionalEvent();
    events[2].title = "三";
    ArchiveWriter w;
    WriteConditionalEvents(w, events, kSjis);
    const std::vector<std::uint8_t> bytes = w.Take();

    std::vector<CConditionalEvent> back;
    ArchiveReader r(bytes);
    ASSERT_TRUE(ReadConditionalEvents(r, back, kSjis));
    EXPECT_EQ(back, events);

    // More than 2000 events, or a damaged record, refuse the whole array.
    std::vector<std::uint8_t> tooMany = {0xD1, 0x07, 0, 0};
    ArchiveReader r2(tooMany);
    EXPECT_FALSE(ReadConditionalEvents(r2, back, kSjis));
    EXPECT_EQ(back, events);
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 1);
    ArchiveReader r3(cut);
    EXPECT_FALSE(ReadConditionalEvents(r3, back, kSjis));
    EXPECT_EQ(back.size(), 3u);
}

// --- scheduled event -----------------------------------------------------------------------------

std::unique_ptr<CEventRecord> SampleEvent() {
    auto e = std::make_unique<CEventRecord>();
    e->name = "大雪";
    e->areaMode = 1;
    e->effectCount = 2;
    for (int i = 0; i < 20; ++i) {
        e->effectKind[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i < 2 ? i + 2 : 100 + i);
        e->effectValue1[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(-i * 7);
        e->effectValue2[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 13);
    }
    for (int m = 0; m < 12; ++m)
        for (int k = 0; k < 250; ++k)
            e->probability[static_cast<std::size_t>(m)][static_cast<std::size_t>(k)] =
                static_cast<std::uint16_t>(m * 1000 + k * 7);
    e->chainRate = 40;
    e->message = "以下の地域に大雪が降りました\n";
    for (int i = 0; i < 200; ++i)
        e->relation[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 4);
    e->color = 0xDCDCDC;
    e->firstYear = 1560;
    e->lastYear = 1600;
    e->firstMonth = 2;
    e->lastMonth = 11;
    return e;
}

std::vector<std::uint8_t> Stored(const CEventRecord& e) {
    ArchiveWriter w;
    e.Serialize(w, kSjis);
    return w.Take();
}

TEST(EventRecord, RoundTripOfEveryField) {
    auto e = SampleEvent();
    const std::vector<std::uint8_t> bytes = Stored(*e);
    const std::size_t message = 1 + FromUtf8(e->message, kSjis).size();
    EXPECT_EQ(bytes.size(), 51u + 1 + 4 + 120 + 6000 + 2 + message + 200 + 4 + 6);
    // The chances are stored month by month.
    EXPECT_EQ(bytes[51 + 1 + 4 + 120 + 2 * 250], 1000 & 0xFF);
    ArchiveReader r(bytes);
    auto back = std::make_unique<CEventRecord>();
    ASSERT_TRUE(back->Serialize(r, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(*back, *e);
}

TEST(EventRecord, OldLayoutHasAnOpenWindow) {
    auto e = SampleEvent();
    std::vector<std::uint8_t> bytes = Stored(*e);
    bytes.resize(bytes.size() - 6);  // the old layout ends with the colour
    ArchiveReader r(bytes);
    auto back = std::make_unique<CEventRecord>();
    back->firstYear = 5;
    ASSERT_TRUE(back->SerializeOld(r, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(back->firstYear, 0);
    EXPECT_EQ(back->lastYear, 0);
    EXPECT_EQ(back->firstMonth, -127);
    EXPECT_EQ(back->lastMonth, -127);
    EXPECT_EQ(back->probability, e->probability);
    EXPECT_EQ(back->color, e->color);
}

TEST(EventRecord, DamagedDataIsRefused) {
    auto sample = SampleEvent();
    const std::vector<std::uint8_t> good = Stored(*sample);
    const std::size_t areaAt = 51, countAt = 52, kindsAt = 56;
    const std::size_t relationsAt = good.size() - 6 - 4 - 200;
    struct Damage {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
    };
    for (const Damage& d : std::vector<Damage>{{"area mode 2", areaAt, 2},
                                               {"21 effects", countAt, 21},
                                               {"effect count high byte", countAt + 3, 1},
                                               {"effect kind 12 in use", kindsAt + 2, 12},
                                               {"negative effect kind in use", kindsAt + 3, 0xFF},
                                               {"relation 4", relationsAt + 10, 4},
                                               {"name without terminator", 50, 'x'}}) {
        std::vector<std::uint8_t> bad = good;
        if (std::string(d.name) == "name without terminator")
            for (std::size_t i = 0; i < 51; ++i)
                bad[i] = 'x';
        else
            bad[d.offset] = d.value;
        ArchiveReader r(bad);
        auto e = std::make_unique<CEventRecord>();
        e->name = "before";
        EXPECT_FALSE(e->Serialize(r, kSjis)) << d.name;
        EXPECT_EQ(e->name, "before") << d.name;
    }
    // Kinds past the count are stored as they are and not looked at.
    auto odd = SampleEvent();
    odd->effectKind[5] = -300;
    const std::vector<std::uint8_t> oddBytes = Stored(*odd);
    ArchiveReader r(oddBytes);
    auto back = std::make_unique<CEventRecord>();
    EXPECT_TRUE(back->Serialize(r, kSjis));

    for (std::size_t n = 0; n < good.size(); n += 97) {
        ArchiveReader cut(good.data(), n);
        auto c = std::make_unique<CEventRecord>();
        EXPECT_FALSE(c->Serialize(cut, kSjis)) << n;
    }
}

TEST(EventRecord, TheTableChecksItsCount) {
    std::vector<CEventRecord> table(200);
    table[0] = *SampleEvent();
    table[1].name = "二";
    ArchiveWriter w;
    WriteEventTable(w, table, 2, kSjis);
    const std::vector<std::uint8_t> bytes = w.Take();

    std::vector<CEventRecord> back(200);
    ArchiveReader r(bytes);
    ASSERT_TRUE(ReadEventTable(r, back, 2, 110, kSjis));
    EXPECT_EQ(back[0], table[0]);
    EXPECT_EQ(back[1], table[1]);

    for (int count : {-1, 201}) {
        ArchiveReader bad(bytes);
        EXPECT_FALSE(ReadEventTable(bad, back, count, 110, kSjis)) << count;
    }
    // Read as an old save, the same bytes do not fit: refused, and the table is left as it was.
    std::vector<CEventRecord> untouched(200);
    ArchiveReader old(bytes);
    EXPECT_FALSE(ReadEventTable(old, untouched, 3, 109, kSjis));
    EXPECT_EQ(untouched[0].name, "");
}

TEST(EventRecord, OldSavesAreReadInTheOldLayout) {
    auto e = SampleEvent();
    std::vector<std::uint8_t> bytes = Stored(*e);
    bytes.resize(bytes.size() - 6);
    std::vector<CEventRecord> table(200);
    ArchiveReader r(bytes);
    ASSERT_TRUE(ReadEventTable(r, table, 1, 109, kSjis));
    EXPECT_EQ(table[0].firstMonth, -127);
    EXPECT_EQ(table[0].name, "大雪");
}

// --- keyword tables ------------------------------------------------------------------------------

TEST(EventKeywords, LookupsAreExactAndCaseSensitive) {
    EXPECT_EQ(FindConditionKeyword("CONDITION_SHIRO_HOUI"), 40);
    EXPECT_EQ(FindConditionKeyword("condition_shiro_houi"), -1);
    EXPECT_EQ(FindConditionKeyword("CONDITION_BUSHOU_SHOZOKU"), -1);  // scenarios write CONTITION
    EXPECT_EQ(FindHappeningKeyword("HAPPENING_HEIDON"), 17);
    EXPECT_EQ(FindHappeningKeyword("HAPPENING_HEIGDON"), 17);
    EXPECT_EQ(FindHappeningKeyword("HAPPENING_"), -1);
    EXPECT_EQ(kHappeningTable[73].mask, kArgShiro1 | kArgShiro2 | kArgData1);
    for (int code = 0; code < kHappeningCount; ++code)
        EXPECT_EQ(HappeningTakesOldSecondData(code), (code >= 19 && code <= 24) || code == 26) << code;
}

}  // namespace
}  // namespace rymd::test
