// Scheduled events: where they strike (chances, regions, relations, correlation), what their
// effects do to castles and generals within their limits, the weather they make, and who sees
// them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "game/events/scheduled_events.h"
#include "game/military/field_battle.h"
#include "game/ports/suppression_policy.h"
#include "game/state/event_records.h"
#include "support/events_test_util.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

// Six provinces in two regions (province k in region k % 2), castle c in province c % 6.
struct EventWorld : TestWorld {
    explicit EventWorld(int castles = 6, int provinces = 6, int regions = 2, std::uint32_t seed = 7)
        : TestWorld({.castles = castles, .houses = 2, .provinces = provinces, .regions = regions}) {
        gs.rng.Seed(seed);
        for (int c = 0; c < castles; ++c) {
            CShiro& s = gs.ShiroTbl[static_cast<std::size_t>(c)];
            ShiroMapRecord& m = gs.ShiroMapTbl[static_cast<std::size_t>(c)];
            s.kibo = 3;
            m.maxKibo = 5;
            m.maxKeizai = 1000;
            m.maxKouzan = 100;
            s.keizai = 500;
            s.kouzan = 50;
            s.harvestRate = 5000;
            s.hyourou = 3000;
            s.shubihei = 300;
        }
    }

    // Event e: every place's chance this month, per province (or per region).
    CEventRecord& Event(int e, std::uint16_t chance, bool byRegion = false) {
        gs.nEvent = std::max(gs.nEvent, e + 1);
        CEventRecord& ev = gs.EventTbl[static_cast<std::size_t>(e)];
        ev = CEventRecord{};
        ev.name = "事件" + std::to_string(e);
        ev.message = "以下の地域で事件が起きました";
        ev.firstMonth = ev.lastMonth = CEventRecord::kMonthOpen;
        ev.areaMode = byRegion ? CEventRecord::kAreaChiiki : CEventRecord::kAreaKuni;
        for (auto& month : ev.probability)
            month.fill(chance);
        return ev;
    }
    static void AddEffect(CEventRecord& ev, int kind, int mean, int spread) {
        const std::size_t i = ev.effectCount++;
        ev.effectKind[i] = static_cast<std::int16_t>(kind);
        ev.effectValue1[i] = static_cast<std::int16_t>(mean);
        ev.effectValue2[i] = static_cast<std::int16_t>(spread);
    }

    GameContext Ctx() { return GameContext{gs, map, ports}; }
    void RunMonth(SuppressionPolicy policy = {}) { RunScheduledEvents(Ctx(), policy); }
    std::vector<PortCall> Reports() const { return port.CallsOf(PortCallKind::Report); }
    CShiro& Castle(int c) { return gs.ShiroTbl[static_cast<std::size_t>(c)]; }
};

std::vector<int> Struck(EventWorld& w, int e) {
    EventMarks marks;
    RunScheduledEvent(w.Ctx(), SuppressionPolicy{}, e, marks);
    return marks.StruckProvinces(e);
}

TEST(ScheduledEvents, WhereAnEventStrikes) {
    struct Case {
        const char* name;
        std::uint16_t chance;
        bool byRegion;
        std::function<void(CEventRecord&)> tweak;
        std::vector<int> struck;
    };
    const std::vector<Case> cases = {
        {"certain everywhere", 10000, false, nullptr, {0, 1, 2, 3, 4, 5}},
        {"never", 0, false, nullptr, {}},
        {"above certain counts as certain", 20000, false, nullptr, {0, 1, 2, 3, 4, 5}},
        {"by region: only region 1",
         0,
         true,
         [](CEventRecord& e) {
             for (auto& m : e.probability)
                 m[1] = 10000;
         },
         {1, 3, 5}},
        {"by province: a place outside the map is never read",
         0,
         false,
         [](CEventRecord& e) {
             for (auto& m : e.probability)
                 m[100] = 10000;
         },
         {}},
        {"only this month's row counts",
         0,
         false,
         [](CEventRecord& e) {
             e.probability[3][2] = 10000; /* April */
         },
         {2}},
    };
    for (const Case& c : cases) {
        EventWorld w;
        CEventRecord& e = w.Event(0, c.chance, c.byRegion);
        if (c.tweak) c.tweak(e);
        w.RunMonth();
        EXPECT_EQ(w.Reports().size(), c.struck.empty() ? 0u : 1u) << c.name;
        EventWorld again;
        CEventRecord& e2 = again.Event(0, c.chance, c.byRegion);
        if (c.tweak) c.tweak(e2);
        EXPECT_EQ(Struck(again, 0), c.struck) << c.name;
    }
}

TEST(ScheduledEvents, ARegionWithoutProvincesStrikesNothing) {
    EventWorld w(2, 2, 3);  // region 2 holds no province
    CEventRecord& e = w.Event(0, 0, true);
    for (auto& m : e.probability)
        m[2] = 10000;
    EXPECT_TRUE(Struck(w, 0).empty());
}

TEST(ScheduledEvents, RelationsToEarlierEvents) {
    struct Case {
        const char* name;
        std::uint8_t relation;
        std::uint16_t earlierChance;
        std::vector<int> struck;  // by event 5
    };
    const std::vector<Case> cases = {
        {"whole: skipped when the earlier struck", CEventRecord::kRelationWhole, 10000, {}},
        {"whole: happens when the earlier did not", CEventRecord::kRelationWhole, 0, {0, 1, 2, 3, 4, 5}},
        {"partial: not where the earlier struck", CEventRecord::kRelationPartial, 10000, {1, 3, 5}},
        {"relate: only where the earlier struck", CEventRecord::kRelationRelate, 10000, {0, 2, 4}},
        {"relate: nowhere when the earlier struck nowhere", CEventRecord::kRelationRelate, 0, {}},
        {"an unknown relation counts for nothing", 7, 10000, {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        EventWorld w;
        CEventRecord& earlier = w.Event(3, 0);
        for (auto& m : earlier.probability)
            for (int k = 0; k < 6; k += 2)
                m[static_cast<std::size_t>(k)] = c.earlierChance;  // provinces 0, 2, 4
        earlier.relation[5] = c.relation;
        w.Event(5, 10000);
        EventMarks marks;
        RunScheduledEvent(w.Ctx(), SuppressionPolicy{}, 3, marks);
        RunScheduledEvent(w.Ctx(), SuppressionPolicy{}, 5, marks);
        EXPECT_EQ(marks.StruckProvinces(5), c.struck) << c.name;
    }
}

// With correlation 100 every place shares the one draw: a place is struck only when every place
// of a higher chance is struck too. Without correlation the places draw apart.
TEST(ScheduledEvents, FullCorrelationStrikesInOrderOfChance) {
    const std::vector<std::uint16_t> chances = {3000, 1000, 9000, 5000, 3000, 7000};
    for (int correlation : {100, 0}) {
        EventWorld w;
        CEventRecord& e = w.Event(0, 0);
        e.chainRate = static_cast<std::uint16_t>(correlation);
        for (auto& m : e.probability)
            for (std::size_t k = 0; k < chances.size(); ++k)
                m[k] = chances[k];
        int outOfOrder = 0;
        int struckAt3000 = 0;
        for (int month = 0; month < 300; ++month) {
            const std::vector<int> s = Struck(w, 0);
            auto struck = [&](std::size_t k) { return std::find(s.begin(), s.end(), int(k)) != s.end(); };
            for (std::size_t a = 0; a < chances.size(); ++a)
                for (std::size_t b = 0; b < chances.size(); ++b)
                    if (struck(a) && chances[b] > chances[a] && !struck(b)) ++outOfOrder;
            if (struck(0)) ++struckAt3000;
        }
        if (correlation == 100) {
            EXPECT_EQ(outOfOrder, 0);
            EXPECT_GT(struckAt3000, 50);  // about 30 % of 300
            EXPECT_LT(struckAt3000, 130);
        } else {
            EXPECT_GT(outOfOrder, 0);
        }
    }
}

TEST(ScheduledEvents, RiceYieldLossOfTenToThirtyPercent) {
    EventWorld w(60, 6);
    for (int c = 0; c < 60; ++c)
        w.Castle(c).kokudaka = 10000;
    CEventRecord& e = w.Event(0, 10000);
    EventWorld::AddEffect(e, CEventRecord::kEffectKokudaka, -2000, 1000);
    w.RunMonth();
    std::uint32_t lo = 10000, hi = 0;
    for (int c = 0; c < 60; ++c) {
        lo = std::min(lo, w.Castle(c).kokudaka);
        hi = std::max(hi, w.Castle(c).kokudaka);
    }
    EXPECT_GE(lo, 7000u);
    EXPECT_LE(hi, 9000u);
    EXPECT_GT(hi - lo, 500u);  // each castle draws its own factor
}

TEST(ScheduledEvents, CastleSizeLosesOneLevelNeverBelowOne) {
    EventWorld w(3, 3);
    w.gs.nShiroHyourouMax = 2000;
    w.Castle(0).kibo = 3;
    w.Castle(0).hyourou = 6000;  // the limit of size 3
    w.Castle(0).shubihei = 600;
    w.Castle(1).kibo = 1;
    w.Castle(2).kibo = 5;
    CEventRecord& e = w.Event(0, 10000);
    EventWorld::AddEffect(e, CEventRecord::kEffectShiroLevel, -100, 0);
    w.RunMonth();
    EXPECT_EQ(w.Castle(0).kibo, 2);
    EXPECT_EQ(w.Castle(0).hyourou, 4000u);  // cut to the new size's limits
    EXPECT_EQ(w.Castle(0).shubihei, 400);
    EXPECT_EQ(w.Castle(1).kibo, 1);
    EXPECT_EQ(w.Castle(2).kibo, 4);

    CEventRecord& up = w.Event(0, 10000);
    EventWorld::AddEffect(up, CEventRecord::kEffectShiroLevel, 300, 0);
    w.RunMonth();
    EXPECT_EQ(w.Castle(0).kibo, 5);  // the maximum size
    EXPECT_EQ(w.Castle(2).kibo, 5);
}

// Every castle value stays inside its range however large the change.
TEST(ScheduledEvents, CastleValuesStayInTheirRanges) {
    struct Case {
        int kind;
        int mean;
        std::function<std::int64_t(const CShiro&)> value;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {CEventRecord::kEffectKokudaka, 30000, [](const CShiro& s) { return s.kokudaka; }, 20000},
        {CEventRecord::kEffectKokudaka, -30000, [](const CShiro& s) { return s.kokudaka; }, 0},
        {CEventRecord::kEffectKeizai, 30000, [](const CShiro& s) { return s.keizai; }, 1000},
        {CEventRecord::kEffectKouzan, -30000, [](const CShiro& s) { return s.kouzan; }, 0},
        {CEventRecord::kEffectShuukakuRitsu, 30000, [](const CShiro& s) { return s.harvestRate; }, 10000},
        {CEventRecord::kEffectMinshuuShiji, 30000, [](const CShiro& s) { return s.support; }, 1000},
        {CEventRecord::kEffectShubiheiSuu, 30000, [](const CShiro& s) { return s.shubihei; },
         600},  // 2000/10 x 3
        {CEventRecord::kEffectHyourou, 30000, [](const CShiro& s) { return s.hyourou; }, 6000},  // 3 x 2000
        {CEventRecord::kEffectHyourou, 1000, [](const CShiro& s) { return s.hyourou; }, 3300},
    };
    for (const Case& c : cases) {
        EventWorld w(1, 1);
        w.gs.nShiroHyourouMax = 2000;
        CEventRecord& e = w.Event(0, 10000);
        EventWorld::AddEffect(e, c.kind, c.mean, 0);
        w.RunMonth();
        EXPECT_EQ(c.value(w.Castle(0)), c.expected) << "kind " << c.kind << " mean " << c.mean;
    }
}

TEST(ScheduledEvents, PortEconomyChangesPortsOnly) {
    EventWorld w(2, 1);
    w.gs.ShiroMapTbl[1].flags = ShiroMapRecord::kFlagPort;
    CEventRecord& e = w.Event(0, 10000);
    EventWorld::AddEffect(e, CEventRecord::kEffectMinatoKeizai, 5000, 0);
    w.RunMonth();
    EXPECT_EQ(w.Castle(0).keizai, 500);
    EXPECT_EQ(w.Castle(1).keizai, 750);
}

TEST(ScheduledEvents, SoldiersOfTheProvinceByTwoFactorsMusketsFollowFoot) {
    EventWorld w(2, 2);
    const int here = w.AddBushou(0, 0, {.foot = 100, .cavalry = 40});
    w.gs.BushouTbl[here].muskets = 100;
    const int besieger = w.Besiege(0, 1, {.foot = 4000, .cavalry = 1900});
    const int elsewhere = w.AddBushou(0, 1, {.foot = 100, .cavalry = 40});
    const int houseless = w.AddBushou(-1, 0, {.foot = 100, .cavalry = 40});
    CEventRecord& e = w.Event(0, 0);
    for (auto& m : e.probability)
        m[0] = 10000;
    EventWorld::AddEffect(e, CEventRecord::kEffectHeiSuu, -5000, 0);
    w.RunMonth();
    const auto& g = w.gs.BushouTbl;
    EXPECT_EQ(g[here].foot, 50);
    EXPECT_EQ(g[here].cavalry, 20);
    EXPECT_EQ(g[here].muskets, 50);
    EXPECT_EQ(g[besieger].foot, 2000);
    EXPECT_EQ(g[elsewhere].foot, 100);
    EXPECT_EQ(g[houseless].foot, 100);

    EventWorld up(1, 1);
    const int big = up.AddBushou(0, 0, {.foot = 4000, .cavalry = 1500});
    EventWorld::AddEffect(up.Event(0, 10000), CEventRecord::kEffectHeiSuu, 10000, 0);
    up.RunMonth();
    EXPECT_EQ(up.gs.BushouTbl[big].foot, 5000);  // the limits in soldiers
    EXPECT_EQ(up.gs.BushouTbl[big].cavalry, 2000);
}

TEST(ScheduledEvents, WithdrawalLiftsTheSiegesOfTheProvince) {
    EventWorld w(2, 2);
    w.Own(1, 1);
    const int defender = w.AddBushou(0, 0, {.foot = 100});
    const int besieger = w.Besiege(0, 1, {.foot = 300});
    w.gs.BushouTbl[besieger].sortieOrigin = 1;  // he set out from his house's castle
    w.Castle(0).siegeValue = 40;
    CEventRecord& e = w.Event(0, 0);
    for (auto& m : e.probability)
        m[0] = 10000;
    EventWorld::AddEffect(e, CEventRecord::kEffectTettai, 0, 0);
    w.RunMonth();
    EXPECT_EQ(w.Castle(0).nBesieger, 0);
    EXPECT_EQ(w.Castle(0).besiegerDaimyou, -1);
    EXPECT_EQ(w.Castle(0).siegeValue, 0);
    EXPECT_EQ(w.gs.BushouTbl[besieger].flags & CBushou::kFlagBesieging, 0);
    EXPECT_EQ(w.gs.BushouTbl[besieger].shiro, 1);
    EXPECT_EQ(w.gs.BushouTbl[defender].shiro, 0);
}

TEST(ScheduledEvents, OddInputDoesNoHarm) {
    EventWorld w(2, 2);
    w.gs.ShiroMapTbl[1].kuni = 200;  // a castle in a province the map does not have
    w.gs.nCurMonth = 0;              // a month outside 1..12 reads January's row
    CEventRecord& e = w.Event(0, 10000);
    EventWorld::AddEffect(e, CEventRecord::kEffectKokudaka, -5000, 0);
    EventWorld::AddEffect(e, 99, -5000, 0);  // no such kind
    e.effectCount = 1000;                    // more effects than slots
    w.RunMonth();
    EXPECT_EQ(w.Castle(0).kokudaka, 5000u);
    EXPECT_EQ(w.Castle(1).kokudaka, 10000u);
    EventMarks marks;
    EXPECT_FALSE(RunScheduledEvent(w.Ctx(), SuppressionPolicy{}, -1, marks));
    EXPECT_FALSE(RunScheduledEvent(w.Ctx(), SuppressionPolicy{}, 200, marks));
}

TEST(ScheduledEvents, DateWindow) {
    struct Case {
        int year, month;
        bool inside;
    };
    // 1560/4 .. 1562/9
    const Case cases[] = {{1560, 3, false}, {1560, 4, true},   {1561, 1, true},
                          {1562, 9, true},  {1562, 10, false}, {1559, 12, false}};
    for (const Case& c : cases)
        EXPECT_EQ(InDateWindow(c.year, c.month, 1560, 4, 1562, 9), c.inside) << c.year << "/" << c.month;
    EXPECT_TRUE(InDateWindow(1500, 1, 1560, CEventRecord::kMonthOpen, 1562, 9));
    EXPECT_TRUE(InDateWindow(1600, 1, 1560, 4, 1562, CEventRecord::kMonthOpen));

    EventWorld w;
    CEventRecord& e = w.Event(0, 10000);
    e.firstYear = 1561;
    e.firstMonth = 1;
    w.RunMonth();  // 1560/4
    EXPECT_TRUE(w.Reports().empty());
}

TEST(ScheduledEvents, ThePlayerSeesTheEventUnlessTheGameAdvancesByItself) {
    EventWorld w;
    CEventRecord& e = w.Event(0, 0);
    for (auto& m : e.probability)
        m[1] = m[4] = 10000;
    EventWorld::AddEffect(e, CEventRecord::kEffectKokudaka, -2000, 1000);
    EventWorld::AddEffect(e, CEventRecord::kEffectShiroLevel, -100, 0);
    w.RunMonth();
    const auto reports = w.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].reportKind, ReportKind::ScheduledEvent);
    EXPECT_EQ(reports[0].text, "事件0");
    const std::vector<std::string> lines = {"以下の地域で事件が起きました", "被害地域: 国1、国4",
                                            "石高 -20%（±10%）", "城規模 -1（±0）"};
    EXPECT_EQ(reports[0].details, lines);

    EventWorld quiet;
    CEventRecord& q = quiet.Event(0, 10000);
    EventWorld::AddEffect(q, CEventRecord::kEffectKokudaka, -5000, 0);
    quiet.RunMonth(SuppressionPolicy(true, false, false));
    EXPECT_TRUE(quiet.Reports().empty());
    EXPECT_EQ(quiet.Castle(0).kokudaka, 5000u);  // the effects apply all the same
}

TEST(ScheduledEvents, SameSeedSameOutcome) {
    auto run = [](std::uint32_t seed) {
        EventWorld w(30, 6, 2, seed);
        CEventRecord& e = w.Event(0, 5000);
        e.chainRate = 50;
        EventWorld::AddEffect(e, CEventRecord::kEffectKokudaka, -2000, 1000);
        EventWorld::AddEffect(e, CEventRecord::kEffectKeizai, 1000, 1000);
        w.RunMonth();
        std::vector<std::int64_t> v;
        for (int c = 0; c < 30; ++c)
            v.push_back(w.Castle(c).kokudaka * 100000 + w.Castle(c).keizai);
        return v;
    };
    EXPECT_EQ(run(11), run(11));
    EXPECT_NE(run(11), run(12));
}

// The weather sections as the scenario writes them: heavy snow per province lifts sieges,
// heavy rain per region forbids muskets. Both strike in any year.
TEST(ScheduledEvents, WeatherFromItsSections) {
    ReaderRun run;
    ScenarioText t = World();
    t.Add({"SnowKakuritsu {", "K01 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100",
           "}", "RainKakuritsu {",
           "R02 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100 : 100", "}"});
    ASSERT_EQ(run.Read(t.Text()), kScnOk) << run.Message();
    GameState& gs = *run.gs;
    ASSERT_EQ(gs.nEvent, 2);
    gs.nCurYear = 1575;
    gs.nCurMonth = 7;
    run.port.ClearCalls();
    RunScheduledEvents(GameContext{gs, run.map, run.ports}, SuppressionPolicy{});
    const auto reports = run.port.CallsOf(PortCallKind::Report);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].text, "大雪");
    EXPECT_EQ(reports[1].text, "大雨");
    for (int k = 0; k < run.map.KuniCount(); ++k)
        EXPECT_EQ((gs.KuniEventFlags[static_cast<std::size_t>(k)] & kKuniFlagNoTeppou) != 0,
                  run.map.Kuni(k).chiiki == 1)
            << k;
}

// A province under heavy rain this month: a field battle there fires no muskets.
TEST(ScheduledEvents, HeavyRainSilencesTheMusketsOfAFieldBattle) {
    EventWorld w(2, 2);
    w.Own(1, 1);
    CEventRecord& rain = w.Event(0, 0, true);
    for (auto& m : rain.probability)
        m[0] = 10000;  // region 0: provinces 0 (castle 0)
    EventWorld::AddEffect(rain, CEventRecord::kEffectTeppouDisable, 0, 0);
    w.RunMonth();
    ASSERT_NE(w.gs.KuniEventFlags[0] & kKuniFlagNoTeppou, 0);
    EXPECT_EQ(w.gs.KuniEventFlags[1], 0);

    const int a = w.AddBushou(0, 0, {.foot = 500});
    const int b = w.AddBushou(1, 1, {.foot = 500});
    w.gs.BushouTbl[a].muskets = w.gs.BushouTbl[b].muskets = 500;
    for (int kuni : {0, 1}) {
        CYasen y(w.gs);
        y.attacker = 1;
        y.generals[0][static_cast<std::size_t>(y.count[0]++)] = a;
        y.generals[1][static_cast<std::size_t>(y.count[1]++)] = b;
        y.province = {kuni, -1};
        y.Setup();
        EXPECT_EQ(y.rain, kuni == 0);
        EXPECT_EQ(y.IsActionAllowed(0, kYasenFire), kuni != 0) << kuni;
    }
}

}  // namespace
}  // namespace rymd::test
