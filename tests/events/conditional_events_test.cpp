// The monthly pass over the conditional events: date windows, the done, repeat and subroutine
// bits, the four loop kinds with their loop variable, subroutine calls and their depth bound,
// the ending result, and when the event messages are shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/events/event_run.h"
#include "game/state/event_records.h"
#include "game/state/name_index.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

constexpr int kHappeningDainyuu = 0;
constexpr int kHappeningAdd = 1;
constexpr int kHappeningGameEnd = 62;
constexpr int kHappeningGameEnd2 = 63;
constexpr int kHappeningSubroutineCall = 64;
constexpr int kConditionDainyuu = 6;
constexpr int kConditionEqual = 0;

EventItem Item(int code, std::string d1 = "", std::string d2 = "", int daimyou1 = 0) {
    EventItem i;
    i.code = static_cast<std::uint16_t>(code);
    i.daimyou1 = static_cast<std::int16_t>(daimyou1);
    i.data1 = std::move(d1);
    i.data2 = std::move(d2);
    return i;
}

// Five houses with their castles and heads, in 1560/4.
struct EventWorld : TestWorld {
    EventWorld() : TestWorld({.houses = 5, .headsInCastles = true}) { Start(0); }

    // A new event with an open window, no conditions and no happenings.
    CConditionalEvent& Add(const std::string& title) {
        CConditionalEvent ev;
        ev.title = title;
        ev.firstMonth = ev.lastMonth = CConditionalEvent::kMonthOpen;
        gs.ConditionalEventArray.push_back(ev);
        gs.nConditionalEvent = static_cast<int>(gs.ConditionalEventArray.size());
        return gs.ConditionalEventArray.back();
    }
    static void Conditions(CConditionalEvent& ev, const std::vector<EventItem>& items) {
        ev.conditionCount = static_cast<std::int8_t>(items.size());
        for (std::size_t k = 0; k < items.size(); ++k)
            ev.conditions[k] = items[k];
    }
    static void Happenings(CConditionalEvent& ev, const std::vector<EventItem>& items) {
        ev.actionCount = static_cast<std::int32_t>(items.size());
        for (std::size_t k = 0; k < items.size(); ++k)
            ev.actions[k] = items[k];
    }
    // The scenario identifiers of the events, as the name index keeps them for subroutine calls.
    void NameEvents(const std::vector<std::string>& ids) {
        std::vector<CNameIndex::IdSlot> slots(ids.size());
        for (std::size_t k = 0; k < ids.size(); ++k) {
            slots[k].fill(0);
            std::copy(ids[k].begin(), ids[k].end(), slots[k].begin());
        }
        ASSERT_TRUE(gs.NameIndex.SetList6(static_cast<int>(slots.size()), slots.data()));
    }
    int Pass(bool skip = false, int subroutineRunLimit = kMaxSubroutineRuns) {
        EventRun run{GameContext{gs, map, ports}, skip};
        run.subroutineRunLimit = subroutineRunLimit;
        return RunConditionalEvents(run);
    }
    double Var(const char* name) const { return gs.ScriptVariables.GetTokenValue(name); }
    // The event messages shown, as "title: text".
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const PortCall& c : port.CallsOf(PortCallKind::Report))
            if (c.reportKind == ReportKind::ConditionalEventMessage)
                out.push_back(c.text + ": " + (c.details.empty() ? "" : c.details[0]));
        return out;
    }
};

// An event whose only condition counts its runs in the variable n.
CConditionalEvent& Counter(EventWorld& w, const char* title = "数") {
    CConditionalEvent& ev = w.Add(title);
    EventWorld::Conditions(ev, {Item(kConditionDainyuu, "n", "n+1")});
    return ev;
}

TEST(ConditionalEvents, TheDateWindowDecidesWhetherAnEventRuns) {
    constexpr int kOpen = CConditionalEvent::kMonthOpen;
    struct Case {
        const char* name;
        int firstYear, firstMonth, lastYear, lastMonth;
        int year, month;
        bool runs;
    } cases[] = {
        {"open on both sides", 0, kOpen, 0, kOpen, 1200, 1, true},
        {"before the first month", 1560, 4, 0, kOpen, 1560, 3, false},
        {"in the first month", 1560, 4, 0, kOpen, 1560, 4, true},
        {"a later year, earlier month", 1560, 4, 0, kOpen, 1561, 1, true},
        {"an earlier year", 1560, 4, 0, kOpen, 1559, 12, false},
        {"open start with a year", 1560, kOpen, 0, kOpen, 1559, 1, true},
        {"in the last month", 0, kOpen, 1561, 6, 1561, 6, true},
        {"after the last month", 0, kOpen, 1561, 6, 1561, 7, false},
        {"after the last year", 0, kOpen, 1561, 6, 1562, 1, false},
        {"open end with a year", 0, kOpen, 1500, kOpen, 1600, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld w;
        CConditionalEvent& ev = Counter(w);
        ev.firstYear = static_cast<std::int16_t>(c.firstYear);
        ev.firstMonth = static_cast<std::int8_t>(c.firstMonth);
        ev.lastYear = static_cast<std::int16_t>(c.lastYear);
        ev.lastMonth = static_cast<std::int8_t>(c.lastMonth);
        w.gs.nCurYear = c.year;
        w.gs.nCurMonth = c.month;
        EXPECT_EQ(w.Pass(), -1);
        EXPECT_EQ(w.Var("n"), c.runs ? 1.0 : 0.0);
        EXPECT_EQ((w.gs.ConditionalEventArray[0].flags & CConditionalEvent::kFlagDone) != 0, c.runs);
    }
}

TEST(ConditionalEvents, DoneRepeatableAndSubroutineBits) {
    EventWorld w;
    CConditionalEvent& once = Counter(w, "一度");
    once.conditions[0].data1 = "once";
    once.conditions[0].data2 = "once+1";
    CConditionalEvent& again = Counter(w, "毎月");
    again.flags = CConditionalEvent::kFlagRepeatable;
    CConditionalEvent& sub = Counter(w, "サブ");
    sub.conditions[0].data1 = "sub";
    sub.conditions[0].data2 = "sub+1";
    sub.flags = CConditionalEvent::kFlagSubRoutine;
    // Conditions that fail do not set the done bit.
    CConditionalEvent& never = w.Add("不成立");
    EventWorld::Conditions(never, {Item(kConditionEqual, "1", "2")});
    never.message = "出ない";
    for (int month = 0; month < 3; ++month)
        w.Pass();
    EXPECT_EQ(w.Var("once"), 1.0);
    EXPECT_EQ(w.Var("n"), 3.0);
    EXPECT_EQ(w.Var("sub"), 0.0);
    EXPECT_EQ(w.gs.ConditionalEventArray[3].flags & CConditionalEvent::kFlagDone, 0);
    EXPECT_TRUE(w.Messages().empty());
}

TEST(ConditionalEvents, ALoopOverHousesTestsItsConditionsOncePerHouseOfTheScenario) {
    EventWorld w;  // five houses and the dummy house of the new game
    ASSERT_EQ(w.gs.nDaimyou, 6);
    CConditionalEvent& ev = w.Add("大名毎");
    ev.loopKind = CConditionalEvent::kLoopDaimyou;
    ev.loopVariable = "h";
    EventWorld::Conditions(ev, {Item(kConditionDainyuu, "seen", "seen*10+h")});
    ev.message = "%h%";
    w.Pass();
    EXPECT_EQ(w.Var("seen"), 12345.0);
    EXPECT_EQ(w.Var("h"), 5.0);  // the last pass's value stays
    EXPECT_EQ(w.Messages().size(), 5u);
}

TEST(ConditionalEvents, LoopsOverCastlesAndGeneralsAndKindsThatNeverRun) {
    EventWorld w;
    CConditionalEvent& castles = w.Add("城毎");
    castles.loopKind = CConditionalEvent::kLoopShiro;
    castles.loopVariable = "s";
    EventWorld::Conditions(castles, {Item(kConditionDainyuu, "sum", "sum+s")});
    CConditionalEvent& generals = w.Add("武将毎");
    generals.loopKind = CConditionalEvent::kLoopBushou;
    generals.loopVariable = "g";
    EventWorld::Conditions(generals, {Item(kConditionDainyuu, "count", "count+1")});
    // No loop variable: the event still runs once per castle.
    CConditionalEvent& quiet = w.Add("変数なし");
    quiet.loopKind = CConditionalEvent::kLoopShiro;
    EventWorld::Conditions(quiet, {Item(kConditionDainyuu, "quiet", "quiet+1")});
    // An unacceptable loop variable is ignored.
    CConditionalEvent& badName = w.Add("不正変数");
    badName.loopKind = CConditionalEvent::kLoopDaimyou;
    badName.loopVariable = "1h";
    EventWorld::Conditions(badName, {Item(kConditionDainyuu, "bad", "bad+1")});
    CConditionalEvent& odd = w.Add("種類外");
    odd.loopKind = 4;
    EventWorld::Conditions(odd, {Item(kConditionDainyuu, "odd", "1")});
    w.Pass();
    EXPECT_EQ(w.Var("sum"), 1.0 + 2 + 3 + 4 + 5);
    EXPECT_EQ(w.Var("count"), static_cast<double>(w.gs.nBushou));
    EXPECT_EQ(w.Var("g"), static_cast<double>(w.gs.nBushou));
    EXPECT_EQ(w.Var("quiet"), 5.0);
    EXPECT_EQ(w.Var("bad"), 5.0);
    EXPECT_EQ(w.Var("odd"), 0.0);
    EXPECT_TRUE(w.Informs().empty());
}

TEST(ConditionalEvents, TheMessageComesAfterTheHappeningsWithItsValues) {
    EventWorld w;
    CConditionalEvent& ev = w.Add("桶狭間");
    EventWorld::Happenings(ev, {Item(kHappeningAdd, "gold", "1500")});
    ev.message = "金%gold%";
    w.Pass();
    EXPECT_EQ(w.Messages(), std::vector<std::string>{"桶狭間: 金1500"});
}

TEST(ConditionalEvents, MessagesFollowTheAutomaticAdvanceAndItsSkipOption) {
    struct Case {
        const char* name;
        bool autoAdvance, allAutomatic, skip;
        bool shown;
    } cases[] = {
        {"playing", false, false, true, true},
        {"automatic advance", true, false, false, true},
        {"automatic advance, skipping", true, false, true, false},
        {"all-automatic run", true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld w;
        w.gs.bAutoAdvance = c.autoAdvance;
        w.gs.bAllAutomatic = c.allAutomatic;
        CConditionalEvent& ev = w.Add("知らせ");
        ev.message = "本文";
        w.Pass(c.skip);
        EXPECT_EQ(w.Messages().size(), c.shown ? 1u : 0u);
        EXPECT_NE(w.gs.ConditionalEventArray[0].flags & CConditionalEvent::kFlagDone, 0);
    }
}

TEST(ConditionalEvents, TheLaterEndingOfAMonthWins) {
    struct Case {
        const char* name;
        std::vector<EventItem> first, second;
        int ending;
    } cases[] = {
        {"house, then none", {Item(kHappeningGameEnd2, "", "", 2)}, {Item(kHappeningGameEnd)}, -2},
        {"none, then house", {Item(kHappeningGameEnd)}, {Item(kHappeningGameEnd2, "", "", 3)}, 3},
        {"no ending", {}, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld w;
        EventWorld::Happenings(w.Add("一"), c.first);
        EventWorld::Happenings(w.Add("二"), c.second);
        Counter(w, "後");  // the pass does not stop at an ending
        EXPECT_EQ(w.Pass(), c.ending);
        EXPECT_EQ(w.Var("n"), 1.0);
    }
}

TEST(ConditionalEvents, ASubroutineRunsAtOnceByItsOwnKindWhateverItsWindowAndDoneBit) {
    EventWorld w;
    CConditionalEvent& main = w.Add("本体");
    EventWorld::Happenings(
        main, {Item(kHappeningDainyuu, "order", "order*10+1"), Item(kHappeningSubroutineCall, "SUB"),
               Item(kHappeningDainyuu, "order", "order*10+3")});
    CConditionalEvent& sub = w.Add("副");
    sub.flags = CConditionalEvent::kFlagSubRoutine | CConditionalEvent::kFlagDone;
    sub.firstYear = 1700;
    sub.firstMonth = 1;
    sub.loopKind = CConditionalEvent::kLoopDaimyou;
    sub.loopVariable = "d";
    EventWorld::Happenings(sub, {Item(kHappeningDainyuu, "order", "order*10+2")});
    w.NameEvents({"MAIN", "SUB"});
    w.Pass();
    EXPECT_EQ(w.Var("order"), 1222223.0);
    EXPECT_EQ(w.Var("d"), 5.0);
}

TEST(ConditionalEvents, ASelfCallingSubroutineStopsAtTheDepthBoundWithItsMessage) {
    EventWorld w;
    CConditionalEvent& main = w.Add("呼出");
    main.flags = CConditionalEvent::kFlagRepeatable;
    EventWorld::Happenings(main, {Item(kHappeningSubroutineCall, "LOOP")});
    CConditionalEvent& loop = w.Add("無限");
    loop.flags = CConditionalEvent::kFlagSubRoutine;
    EventWorld::Happenings(loop, {Item(kHappeningAdd, "depth", "1"), Item(kHappeningSubroutineCall, "LOOP")});
    w.NameEvents({"MAIN", "LOOP"});
    EXPECT_EQ(w.Pass(), -1);
    EXPECT_EQ(w.Var("depth"), static_cast<double>(kMaxSubroutineDepth));
    EXPECT_EQ(w.Informs(), std::vector<std::string>{
                               "条件イベント(No.2 : 無限)で、サブルーチンの呼び出しが32段を超えたため、"
                               "呼び出しを中止しました"});
    // The next month runs the same way: the depth is back at the top.
    w.port.ClearCalls();
    w.Pass();
    EXPECT_EQ(w.Var("depth"), 2.0 * kMaxSubroutineDepth);
    EXPECT_EQ(w.Informs().size(), 1u);
}

// Subroutines L0 .. L(chain-1) of the kind, each adding 1 to "runs" and calling the next (the
// last calls L0 again unless the chain is open) as many times as given; MAIN calls L0 every
// month, and the repeatable counter AFTER follows.
void Runaway(EventWorld& w, int loopKind, int calls, int chain, bool open) {
    CConditionalEvent& main = w.Add("呼出");
    main.flags = CConditionalEvent::kFlagRepeatable;
    EventWorld::Happenings(main, {Item(kHappeningSubroutineCall, "L0")});
    std::vector<std::string> ids{"MAIN"};
    for (int k = 0; k < chain; ++k) {
        CConditionalEvent& sub = w.Add("L" + std::to_string(k));
        sub.flags = CConditionalEvent::kFlagSubRoutine;
        sub.loopKind = static_cast<std::uint8_t>(loopKind);
        std::vector<EventItem> happenings{Item(kHappeningAdd, "runs", "1")};
        const bool last = k + 1 == chain;
        if (!(last && open))
            for (int i = 0; i < calls; ++i)
                happenings.push_back(Item(kHappeningSubroutineCall, "L" + std::to_string(last ? 0 : k + 1)));
        EventWorld::Happenings(sub, happenings);
        ids.push_back("L" + std::to_string(k));
    }
    CConditionalEvent& after = Counter(w, "後");  // the events after the runaway ones still run
    after.flags = CConditionalEvent::kFlagRepeatable;
    ids.push_back("AFTER");
    w.NameEvents(ids);
}

// Each case runs with a bound of 5000 runs a month, the last test with the game's bound.
TEST(ConditionalEvents, RunawaySubroutinesEndTheirMonthWithBoundedWorkAndOneMessage) {
    constexpr int kLimit = 5000;
    const std::string depth = "サブルーチンの呼び出しが32段を超えたため、呼び出しを中止しました";
    const std::string runs = "サブルーチンの実行が5000回を超えたため、この月の呼び出しを中止しました";
    struct Case {
        const char* name;
        int loopKind;  // of the subroutines
        int calls;     // calls of the next subroutine per run
        int chain;     // subroutines in the chain
        bool open;     // the last subroutine calls nothing
        double runs;   // runs of the subroutines in the month
        const std::string* message;
    } cases[] = {
        {"plain recursion", CConditionalEvent::kLoopNone, 1, 1, false, kMaxSubroutineDepth, &depth},
        {"a ring of two", CConditionalEvent::kLoopNone, 1, 2, false, kMaxSubroutineDepth, &depth},
        // Two calls per run: a tree of 2^32 runs, cut by the bound on runs.
        {"two calls of itself", CConditionalEvent::kLoopNone, 2, 1, false, kLimit, &depth},
        // Once per house of five with a call in every turn: 5^32 runs without the bound on runs.
        {"a loop over the houses", CConditionalEvent::kLoopDaimyou, 1, 1, false, kLimit, &depth},
        // Six levels of loops over the houses without recursion: 5 + 25 + ... + 5^6 runs.
        {"nested loops", CConditionalEvent::kLoopDaimyou, 1, 6, true, kLimit, &runs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld w;
        Runaway(w, c.loopKind, c.calls, c.chain, c.open);
        for (int month = 1; month <= 2; ++month) {
            SCOPED_TRACE(month);
            w.port.ClearCalls();
            EXPECT_EQ(w.Pass(false, kLimit), -1);
            EXPECT_EQ(w.Var("runs"), month * c.runs);
            EXPECT_EQ(w.Var("n"), month);
            const std::vector<std::string> told = w.Informs();
            ASSERT_EQ(told.size(), 1u);
            EXPECT_TRUE(told[0].starts_with("条件イベント(No.")) << told[0];
            EXPECT_TRUE(told[0].ends_with(")で、" + *c.message)) << told[0];
        }
    }
}

TEST(ConditionalEvents, ASelfCallingLoopOverTheHousesStopsAtTheGamesBoundOnRuns) {
    EventWorld w;
    Runaway(w, CConditionalEvent::kLoopDaimyou, 1, 1, false);
    EXPECT_EQ(w.Pass(), -1);
    EXPECT_EQ(w.Var("runs"), static_cast<double>(kMaxSubroutineRuns));
    EXPECT_EQ(w.Var("n"), 1.0);
    EXPECT_EQ(w.Informs(),
              std::vector<std::string>{"条件イベント(No.2 : L0)で、サブルーチンの呼び出しが32段を超えたため、"
                                       "呼び出しを中止しました"});
}

TEST(ConditionalEvents, ConditionsSeeTheGeneralsAndSiegesAsTheHappeningsBeforeThemLeftThem) {
    EventWorld w;
    w.gs.nBushouEx = 5;
    for (int g = 0; g < 5; ++g) {
        w.gs.BushouTbl[g].id = static_cast<std::int16_t>(g);
        w.gs.BushouExTbl[g].birthMark = 0x80;
    }
    w.Besiege(3, 0);
    const int dead = FindHappeningKeyword("HAPPENING_BUSHOU_DEAD");
    const int withdraw = FindHappeningKeyword("HAPPENING_TETTAI1");
    // Asked before the happenings: general id 2 is on stage and castle 3 is besieged.
    CConditionalEvent& before = w.Add("前");
    EventWorld::Conditions(before, {Item(29, "", "", 0), Item(40, "", "", 0)});
    before.conditions[0].bushou1 = 2;
    before.conditions[1].shiro1 = 3;
    EventWorld::Happenings(before, {Item(kHappeningDainyuu, "before", "1")});
    CConditionalEvent& change = w.Add("変化");
    EventWorld::Happenings(change, {Item(dead), Item(withdraw)});
    change.actions[0].bushou1 = 2;
    change.actions[1].shiro1 = 3;
    CConditionalEvent& after = w.Add("後");
    EventWorld::Conditions(after, {Item(46), Item(41)});
    after.conditions[0].bushou1 = 2;
    after.conditions[1].shiro1 = 3;
    EventWorld::Happenings(after, {Item(kHappeningDainyuu, "after", "1")});
    w.Pass();
    EXPECT_EQ(w.Var("before"), 1.0);
    EXPECT_EQ(w.Var("after"), 1.0);
}

}  // namespace
}  // namespace rymd::test
