// The phase sequencer: house order, begin and end steps, the player's place, the corps, the phase
// preparations, the fallen house and the date advance.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <span>
#include <utility>

#include "game/domestic/castle_economy.h"
#include "game/turn/random_order.h"
#include "platform/core/random.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

// The reference shuffle: 0..n-1, then from the bottom j = i + trunc(rand / 32768 x (n - i)),
// one draw for every position, the last included.
std::vector<int> ReferenceOrder(std::uint32_t seed, int n) {
    Random r(seed);
    std::vector<int> v(static_cast<std::size_t>(n));
    std::iota(v.begin(), v.end(), 0);
    for (int i = 0; i < n; ++i) {
        const int j = i + static_cast<int>(r.Next() / 32768.0 * (n - i));
        std::swap(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(j)]);
    }
    return v;
}

TEST(MakeRandomOrder, IsFisherYatesFromTheBottomOnTheGameRandomSource) {
    for (int n : {0, 1, 2, 7, 1000}) {
        Random r(77);
        std::vector<std::int32_t> order(1000, -5);
        EXPECT_EQ(MakeRandomOrder(r, order, n), n);
        const std::vector<int> want = ReferenceOrder(77, n);
        EXPECT_TRUE(std::equal(want.begin(), want.end(), order.begin())) << n;
    }
    // n beyond the array is cut to it; a negative n fills nothing.
    Random r(1);
    std::vector<std::int32_t> small(3, -5);
    EXPECT_EQ(MakeRandomOrder(r, small, 10), 3);
    EXPECT_EQ(MakeRandomOrder(r, small, -1), 0);
}

TEST(Sequencer, ShuffleKeepsTheSpectatorsDummyHouseLast) {
    for (bool spectator : {false, true}) {
        TestWorld w({.houses = 6, .headsInCastles = true});
        w.Start(spectator ? -1 : 0);
        w.gs.rng.Seed(123);
        const int n = w.gs.nDaimyou;  // 7 with the dummy house
        const int shuffled = w.game->ShuffleDaimyouOrder();
        std::vector<int> want = ReferenceOrder(123, spectator ? n - 1 : n);
        if (spectator) want.push_back(n - 1);
        EXPECT_EQ(w.Order(), want);
        EXPECT_EQ(shuffled, spectator ? n - 1 : n);
    }
}

// Every existing house but the player's acts once per phase, those before the player in the begin
// step and those after him in the end step.
TEST(Sequencer, HousesBeforeThePlayerActInTheBeginStepTheOthersInTheEndStep) {
    for (std::uint32_t seed = 1; seed < 16; ++seed) {
        TestWorld w({.houses = 5, .headsInCastles = true});
        w.Start();
        w.RecordPlanners();
        w.gs.rng.Seed(seed);
        w.game->BeginJinjiPhase();
        const std::vector<int> order = w.Order();
        const int split = w.gs.nPhaseSplit;
        ASSERT_EQ(order[static_cast<std::size_t>(split)], 0);  // stopped at the player
        std::vector<int> before(order.begin(), order.begin() + split);
        before.erase(std::remove(before.begin(), before.end(), 5), before.end());  // the dummy house
        EXPECT_EQ(w.HousesActed(kPhaseJinji), before);
        w.calls.clear();
        EXPECT_EQ(w.game->EndJinjiPhase(), TurnResult::kContinue);
        std::vector<int> after(order.begin() + split + 1, order.end());
        after.erase(std::remove(after.begin(), after.end(), 5), after.end());  // the dummy house
        EXPECT_EQ(w.HousesActed(kPhaseJinji), after);
        EXPECT_EQ(w.gs.nPhase, kPhaseGunbi);
    }
}

TEST(Sequencer, PlayerFirstOrLastInTheOrder) {
    struct Case {
        const char* name;
        int position;  // where the player stands in the order
    };
    for (const Case& c : {Case{"first", 0}, Case{"last", 5}}) {
        TestWorld w({.houses = 5, .headsInCastles = true});
        w.Start();  // five houses and the dummy house: six entries
        w.RecordPlanners();
        // A seed that puts the player there.
        std::uint32_t seed = 1;
        while (ReferenceOrder(seed, 6)[static_cast<std::size_t>(c.position)] != 0)
            ++seed;
        w.gs.rng.Seed(seed);
        w.game->BeginJinjiPhase();
        EXPECT_EQ(w.gs.nPhaseSplit, c.position) << c.name;
        const std::vector<int> begin = w.HousesActed(kPhaseJinji);
        w.calls.clear();
        w.game->EndJinjiPhase();
        const std::vector<int> end = w.HousesActed(kPhaseJinji);
        EXPECT_EQ(begin.size(), static_cast<std::size_t>(c.position == 0 ? 0 : 4)) << c.name;
        EXPECT_EQ(end.size(), static_cast<std::size_t>(c.position == 0 ? 4 : 0)) << c.name;
    }
}

TEST(Sequencer, SpectatorGameRunsEveryRealHouseInTheBeginStep) {
    TestWorld w({.houses = 4, .headsInCastles = true});
    w.Start(-1);
    w.RecordPlanners();
    w.gs.rng.Seed(9);
    w.game->BeginSenryakuPhase();
    const std::vector<int> order = w.Order();
    EXPECT_EQ(order.back(), 4);
    EXPECT_EQ(w.gs.nPhaseSplit, 4);
    EXPECT_EQ(w.HousesActed(kPhaseSenryaku), std::vector<int>(order.begin(), order.begin() + 4));
    w.calls.clear();
    w.game->EndSenryakuPhase();
    EXPECT_TRUE(w.HousesActed(kPhaseSenryaku).empty());  // only the dummy house is left, and it has no head
}

TEST(Sequencer, AfterAHandOverTheFormerHouseIsPlayedInItsPlace) {
    TestWorld w({.houses = 4, .headsInCastles = true});
    w.Start();
    w.RecordPlanners();
    // The player hands house 0 to the computer: he watches as the dummy house, the loops still
    // stop at house 0.
    w.gs.bSpectator = true;
    w.gs.nPlayerDaimyou = 4;
    w.gs.nCurDaimyou = 0;
    w.gs.rng.Seed(31);
    w.game->BeginNaiseiPhase();
    const std::vector<int> order = w.Order();
    const int split = w.gs.nPhaseSplit;
    ASSERT_EQ(order[static_cast<std::size_t>(split)], 0);
    w.calls.clear();
    w.game->EndNaiseiPhase();
    const std::vector<int> acted = w.HousesActed(kPhaseNaisei);
    ASSERT_FALSE(acted.empty());
    EXPECT_EQ(acted.front(), 0);  // the house at the split position acts first in the end step
}

TEST(Sequencer, AHouseThatFellIsSkippedByLaterLoops) {
    TestWorld w({.houses = 5, .headsInCastles = true});
    w.Start();
    w.NoEnvoysToPlayer();
    w.RecordPlanners();
    std::uint32_t seed = 1;  // a seed that leaves a real house after the player
    while (ReferenceOrder(seed, 6)[0] != 0)
        ++seed;
    w.gs.rng.Seed(seed);
    w.game->BeginGunbiPhase();
    const std::vector<int> order = w.Order();
    const int split = w.gs.nPhaseSplit;
    // A house after the player falls before the end step.
    int fallen = -1;
    for (int i = split + 1; i < w.gs.nDaimyou; ++i)
        if (order[static_cast<std::size_t>(i)] < 5) fallen = order[static_cast<std::size_t>(i)];
    ASSERT_GE(fallen, 0);
    w.gs.DaimyouTbl[fallen].toushu = -1;
    w.calls.clear();
    w.game->EndGunbiPhase();
    for (const auto& c : w.calls)
        EXPECT_NE(c.daimyou, fallen);
    EXPECT_EQ(std::count(w.gs.DaimyouOrder.begin(), w.gs.DaimyouOrder.begin() + w.gs.nDaimyou, fallen), 1)
        << "its slot stays in the order";
}

TEST(Sequencer, PlayersCorpsGoToThePlannersOfTheirPhases) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start();
    w.NoEnvoysToPlayer();
    w.RecordPlanners();
    w.gs.GundanTbl[3].leader = 0;  // the player's corps
    w.gs.GundanTbl[3].daimyou = 0;
    w.gs.BushouTbl[0].gundan = 3;
    w.gs.GundanTbl[7].leader = CGundan::kLeaderPassedOver;  // in use, leader passed over
    w.gs.GundanTbl[7].daimyou = 0;
    w.gs.GundanTbl[8].leader = 1;  // another house's corps
    w.gs.GundanTbl[8].daimyou = 1;
    w.gs.BushouTbl[1].gundan = 8;
    w.gs.rng.Seed(2);
    w.game->BeginJinjiPhase();
    for (int i = 0; i < 6; ++i)
        w.game->EndCurrentPhase();
    std::vector<TestWorld::PlannerCall> corps;
    for (const auto& c : w.calls)
        if (c.gundan != CMainGame::kWholeHouse) corps.push_back(c);
    const std::vector<TestWorld::PlannerCall> want = {
        {kPhaseGunbi, 0, 3},    {kPhaseGunbi, 0, 7},    {kPhaseNaisei, 0, 3},    {kPhaseNaisei, 0, 7},
        {kPhaseSenryaku, 0, 3}, {kPhaseSenryaku, 0, 7}, {kPhaseShutsujin, 0, 3}, {kPhaseShutsujin, 0, 7},
    };
    EXPECT_EQ(corps, want);
    EXPECT_EQ(w.gs.nPhase, kPhaseJinji);
    EXPECT_EQ(w.gs.nCurMonth, 5);
}

TEST(Sequencer, CorpsLeaderCheckOfTheDiplomacyPhase) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start();
    w.NoEnvoysToPlayer();
    // Corps 2: its leader has left it (his corps field is -1) and nobody else is in it: dissolved.
    w.gs.GundanTbl[2].leader = 1;
    w.gs.GundanTbl[2].daimyou = 1;
    // Corps 4: leader -2 is left alone.
    w.gs.GundanTbl[4].leader = CGundan::kLeaderPassedOver;
    w.gs.GundanTbl[4].daimyou = 2;
    // Corps 5: its leader is in it: nothing happens.
    w.gs.GundanTbl[5].leader = 2;
    w.gs.GundanTbl[5].daimyou = 2;
    w.gs.BushouTbl[2].gundan = 5;
    w.game->BeginGaikouPhase();
    EXPECT_EQ(w.gs.GundanTbl[2].leader, CGundan::kLeaderFree);
    EXPECT_EQ(w.gs.GundanTbl[4].leader, CGundan::kLeaderPassedOver);
    EXPECT_EQ(w.gs.GundanTbl[5].leader, 2);

    // The end step checks again after the houses after the player.
    w.gs.BushouTbl[2].gundan = -1;
    w.game->EndGaikouPhase();
    EXPECT_EQ(w.gs.GundanTbl[5].leader, CGundan::kLeaderFree);
    EXPECT_EQ(w.gs.GundanTbl[4].leader, CGundan::kLeaderPassedOver);
}

TEST(Sequencer, PhasePreparations) {
    TestWorld w({.houses = 3, .soldierUnit = 10, .headsInCastles = true});
    w.Start();
    GameState& gs = w.gs;
    for (int b = 0; b < gs.nBushou; ++b)
        gs.BushouTbl[b].flags = CBushou::kFlagOrdered | CBushou::kFlagBesieging;
    gs.ShiroTbl[1].kokudaka = 123456;
    // The last castle in use is taken; the slots past it are not copied.
    const int last = gs.nShiro - 1;
    gs.ShiroTbl[last].kokudaka = 4321;
    gs.ShiroTbl[gs.nShiro].kokudaka = 99;
    // The houses stand still, so that no planner writes orders between the preparations and
    // the checks.
    for (int d = 0; d < gs.nDaimyou; ++d)
        gs.DaimyouTbl[d].kindByte = static_cast<std::uint8_t>(1 | (CDaimyou::kBehaviourStatic << 4));

    // Armament: the snapshot and the player's conscription allowances.
    w.game->BeginGunbiPhase();
    EXPECT_EQ(gs.ShiroSnapTbl[1].kokudaka, 123456u);
    EXPECT_EQ(gs.ShiroSnapTbl[last].kokudaka, 4321u);
    EXPECT_EQ(gs.ShiroSnapTbl[gs.nShiro].kokudaka, 0u);
    int cavalry = 0;
    int foot = 0;
    CalcChouheiLimits(gs, 0, -1, cavalry, foot);
    EXPECT_EQ(cavalry, 1);  // 10000 / 1000 / 10 x 0.5 = 0.5, rounded away from zero
    EXPECT_EQ(foot, 5);
    EXPECT_EQ(gs.PlayerChouheiLimits, (std::array<int, 4>{1, 5, 1, 5}));
    EXPECT_EQ(gs.BushouTbl[1].flags & CBushou::kFlagOrdered, CBushou::kFlagOrdered);

    // Diplomacy: ordered marks, the player's dealt-with marks and the bar.
    gs.GaikouDealt[2] = 1;
    gs.bGaikouBarred = true;
    w.game->EndGunbiPhase();
    EXPECT_EQ(gs.nPhase, kPhaseGaikou);
    EXPECT_EQ(gs.BushouTbl[1].flags, CBushou::kFlagBesieging);
    EXPECT_EQ(gs.GaikouDealt[2], 0);
    EXPECT_FALSE(gs.bGaikouBarred);

    // Domestic: the snapshot again and the purchases of the month.
    gs.ShiroTbl[1].kokudaka = 777;
    gs.ShiroTbl[last].kokudaka = 8765;
    gs.TeppouKounyuuTbl[0].dialogWork = 9;
    w.game->EndGaikouPhase();
    EXPECT_EQ(gs.ShiroSnapTbl[1].kokudaka, 777u);
    EXPECT_EQ(gs.ShiroSnapTbl[last].kokudaka, 8765u);
    EXPECT_EQ(gs.ShiroSnapTbl[gs.nShiro].kokudaka, 0u);
    EXPECT_EQ(gs.TeppouKounyuuTbl[0].dialogWork, 0);

    // Strategy: planned arrivals, ordered marks, fleet orders.
    gs.ShiroTbl[2].nArrival = 3;
    gs.BushouTbl[2].flags |= CBushou::kFlagOrdered;
    gs.GunsenTable.count = 1;
    gs.GunsenTable.records[0] = GunsenRecord{0, 1, 1, 5, 2};
    w.game->EndNaiseiPhase();
    EXPECT_EQ(gs.ShiroTbl[2].nArrival, 0);
    EXPECT_EQ(gs.BushouTbl[2].flags & CBushou::kFlagOrdered, 0);
    EXPECT_TRUE(gs.GunsenTable.records[0].IsFree());

    // Sortie: siege values of castles nobody besieges.
    gs.ShiroTbl[0].siegeValue = 40;
    gs.ShiroTbl[1].siegeValue = 50;
    gs.ShiroTbl[1].nBesieger = 1;
    gs.ShiroTbl[1].besieger[0] = 2;
    gs.BushouTbl[2].flags |= CBushou::kFlagOrdered;
    // The end of the strategy phase rebuilds the castles' lists from the generals: general 2
    // besieges castle 1, the others stand in their castles.
    gs.BushouTbl[2].shiro = 1;
    gs.ShiroTbl[2].nBushou = 0;
    for (int b : {0, 1})
        gs.BushouTbl[b].flags &= static_cast<std::uint16_t>(~CBushou::kFlagBesieging);
    gs.GunsenTable.records[0].destination = 2;
    w.game->EndSenryakuPhase();
    EXPECT_EQ(gs.nPhase, kPhaseShutsujin);
    EXPECT_EQ(gs.ShiroTbl[0].siegeValue, 0);
    EXPECT_EQ(gs.ShiroTbl[1].siegeValue, 50);
    EXPECT_EQ(gs.BushouTbl[2].flags & CBushou::kFlagOrdered, 0);
    EXPECT_TRUE(gs.GunsenTable.records[0].IsFree());
}

TEST(Sequencer, BeginStepTellsTheView) {
    TestWorld w({.houses = 2, .headsInCastles = true});
    w.Start();
    w.port.SetRecordViewCalls(true);
    w.game->BeginGaikouPhase();
    std::vector<std::string> view;
    for (const PortCall& c : w.port.CallsOf(PortCallKind::View))
        view.push_back(c.text);
    const std::vector<std::string> want = {
        "house-list",     "command-menu: 3", "caption: 外交フェイズ", "log 0: ", "timer: 50",
        "end-button: on", "house-list",      "focus: command-panel",
    };
    EXPECT_EQ(view, want);

    w.port.ClearCalls();
    w.gs.bViewOnly = true;
    w.game->BeginNaiseiPhase();
    bool captionViewOnly = false;
    bool buttonOff = false;
    for (const PortCall& c : w.port.CallsOf(PortCallKind::View)) {
        captionViewOnly |= c.text == "caption: 閲覧専用";
        buttonOff |= c.text == "end-button: off";
    }
    EXPECT_TRUE(captionViewOnly);
    EXPECT_TRUE(buttonOff);
}

TEST(Sequencer, DateAdvanceSkipsYearZero) {
    struct Case {
        int year, month, wantYear, wantMonth;
    };
    for (const Case& c :
         {Case{-1, 12, 1, 1}, Case{1560, 12, 1561, 1}, Case{1560, 4, 1560, 5}, Case{-5, 3, -5, 4}}) {
        TestWorld w({.houses = 3, .headsInCastles = true});
        w.Start();
        w.gs.nCurYear = c.year;
        w.gs.nCurMonth = c.month;
        w.gs.nPhase = kPhaseShutsujin;
        EXPECT_EQ(w.game->EndShutsujinPhase(), TurnResult::kContinue);
        EXPECT_EQ(w.gs.nCurYear, c.wantYear);
        EXPECT_EQ(w.gs.nCurMonth, c.wantMonth);
        EXPECT_EQ(w.gs.nPhase, kPhaseJinji);
    }
}

TEST(Sequencer, FallenPlayerHouseIsAskedOnce) {
    // No: the program ends at once and the date stays.
    {
        TestWorld w({.houses = 3, .headsInCastles = true});
        w.Start();
        w.gs.DaimyouTbl[0].toushu = -1;
        w.gs.nPhase = kPhaseShutsujin;
        w.port.PushNo();
        EXPECT_EQ(w.game->EndShutsujinPhase(), TurnResult::kQuit);
        EXPECT_EQ(w.gs.nCurMonth, 4);
        ASSERT_EQ(w.port.CallsOf(PortCallKind::AskYesNo).size(), 1u);
        EXPECT_EQ(w.port.CallsOf(PortCallKind::AskYesNo)[0].text, kFallenHouseQuestion);
    }
    // Yes: watched on, never asked again.
    {
        TestWorld w({.houses = 3, .headsInCastles = true});
        w.Start();
        w.gs.DaimyouTbl[0].toushu = -1;
        w.gs.nPhase = kPhaseShutsujin;
        w.port.PushYes();
        EXPECT_EQ(w.game->EndShutsujinPhase(), TurnResult::kContinue);
        EXPECT_TRUE(w.game->AskedFallenHouse());
        EXPECT_EQ(w.gs.nCurMonth, 5);
        for (int i = 0; i < 6; ++i)
            w.game->EndCurrentPhase();
        EXPECT_EQ(w.port.CallsOf(PortCallKind::AskYesNo).size(), 1u);
        EXPECT_EQ(w.gs.nCurMonth, 6);
    }
    // A spectator is not asked; a player whose house exists clears the mark.
    {
        TestWorld w({.houses = 3, .headsInCastles = true});
        w.Start(-1);
        w.gs.nPhase = kPhaseShutsujin;
        EXPECT_EQ(w.game->EndShutsujinPhase(), TurnResult::kContinue);
        EXPECT_TRUE(w.port.CallsOf(PortCallKind::AskYesNo).empty());
        EXPECT_TRUE(w.game->AskedFallenHouse());
        TestWorld v({.houses = 3, .headsInCastles = true});
        v.Start();
        v.game->SetAskedFallenHouse(true);
        v.gs.nPhase = kPhaseShutsujin;
        v.game->EndShutsujinPhase();
        EXPECT_FALSE(v.game->AskedFallenHouse());
    }
}

TEST(Sequencer, EventPhaseEndAndUnknownPhasesDoNothing) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start();
    for (int phase : {0, 7, -1}) {
        w.gs.nPhase = phase;
        EXPECT_EQ(w.game->EndCurrentPhase(), TurnResult::kContinue);
        EXPECT_EQ(w.gs.nPhase, phase);
        EXPECT_EQ(w.gs.nCurMonth, 4);
    }
}

TEST(Sequencer, BadHouseOrderEntriesAreSkipped) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start();
    w.RecordPlanners();
    w.gs.nPhase = kPhaseJinji;
    w.gs.nPhaseSplit = 0;
    w.gs.DaimyouOrder = {};
    w.gs.DaimyouOrder[1] = 999;
    w.gs.DaimyouOrder[2] = -7;
    w.gs.DaimyouOrder[3] = 2;
    EXPECT_EQ(w.game->EndJinjiPhase(), TurnResult::kContinue);
    // The walk of the end step skipped 999 and -7 and ran house 2.
    ASSERT_FALSE(w.calls.empty());
    EXPECT_EQ(w.calls.front(), (TestWorld::PlannerCall{kPhaseJinji, 2, CMainGame::kWholeHouse}));
}

}  // namespace
}  // namespace rymd::test
