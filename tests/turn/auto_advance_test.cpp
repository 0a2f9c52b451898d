// The automatic advance: target check, one phase per tick, stop and resume, the end of a game during
// the run and the ranked house list.
#include <gtest/gtest.h>

#include "game/turn/auto_advance.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

TEST(AutoAdvance, TargetMustLieAfterNow) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start();
    CAutoAdvance a(*w.game);
    EXPECT_EQ(a.EntryYear(), 1560);
    EXPECT_EQ(a.EntryMonth(), 4);
    struct Case {
        int year, month;
        CAutoAdvance::StartResult want;
    };
    const Case cases[] = {
        {1560, 4, CAutoAdvance::StartResult::kNotLater},  {1560, 3, CAutoAdvance::StartResult::kNotLater},
        {1559, 12, CAutoAdvance::StartResult::kNotLater}, {1560, 13, CAutoAdvance::StartResult::kBadMonth},
        {1561, 0, CAutoAdvance::StartResult::kBadMonth},
    };
    for (const Case& c : cases) {
        w.port.ClearCalls();
        EXPECT_EQ(a.Start(c.year, c.month), c.want) << c.year << "/" << c.month;
        EXPECT_FALSE(w.gs.bAutoAdvance);
        EXPECT_FALSE(a.Running());
        const auto informs = w.port.CallsOf(PortCallKind::Inform);
        if (c.want == CAutoAdvance::StartResult::kNotLater) {
            ASSERT_EQ(informs.size(), 1u);
            EXPECT_EQ(informs[0].text, "現在よりも後の年月を入力してください");
        } else {
            EXPECT_TRUE(informs.empty());
        }
    }
}

TEST(AutoAdvance, NextMonthTakesSixTicks) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start(-1);
    w.game->StartMonth();
    CAutoAdvance a(*w.game);
    a.Open();
    ASSERT_EQ(a.Start(1560, 5), CAutoAdvance::StartResult::kStarted);
    EXPECT_TRUE(w.gs.bAutoAdvance);
    int ticks = 0;
    CAutoAdvance::TickResult r;
    do {
        r = a.Tick();
        ++ticks;
    } while (r == CAutoAdvance::TickResult::kContinue && ticks < 100);
    EXPECT_EQ(r, CAutoAdvance::TickResult::kReached);
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(w.gs.nCurMonth, 5);
    EXPECT_EQ(w.gs.nPhase, kPhaseJinji);
    EXPECT_FALSE(w.gs.bAutoAdvance);
    EXPECT_FALSE(a.Running());
}

TEST(AutoAdvance, ATargetInTheMissingYearZeroStopsAtTheFirstMonthAfterIt) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start(-1);
    w.gs.nStartYear = w.gs.nCurYear = -1;
    w.gs.nStartMonth = w.gs.nCurMonth = 11;
    w.game->StartMonth();
    CAutoAdvance a(*w.game);
    ASSERT_EQ(a.Start(0, 1), CAutoAdvance::StartResult::kStarted);
    int ticks = 1;
    while (a.Tick() == CAutoAdvance::TickResult::kContinue && ticks < 100)
        ++ticks;
    EXPECT_EQ(ticks, 12);
    EXPECT_EQ(w.gs.nCurYear, 1);
    EXPECT_EQ(w.gs.nCurMonth, 1);
}

TEST(AutoAdvance, StopMidMonthAndResume) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start(-1);
    w.game->StartMonth();
    CAutoAdvance a(*w.game);
    a.Open();
    ASSERT_EQ(a.Start(1560, 5), CAutoAdvance::StartResult::kStarted);
    EXPECT_EQ(a.Tick(), CAutoAdvance::TickResult::kContinue);
    EXPECT_EQ(a.Tick(), CAutoAdvance::TickResult::kContinue);
    a.RequestStop();
    EXPECT_EQ(a.Tick(), CAutoAdvance::TickResult::kStopped);
    EXPECT_EQ(w.gs.nPhase, kPhaseGaikou);  // at the begin step of a phase
    EXPECT_FALSE(w.gs.bAutoAdvance);
    // Start again: the run goes on from there.
    ASSERT_EQ(a.Start(1560, 5), CAutoAdvance::StartResult::kStarted);
    int ticks = 0;
    while (a.Tick() == CAutoAdvance::TickResult::kContinue)
        ++ticks;
    EXPECT_EQ(ticks + 1, 4);
    EXPECT_EQ(w.gs.nCurMonth, 5);
}

TEST(AutoAdvance, GameEndingDuringTheRunClosesTheDialog) {
    TestWorld w({.houses = 3, .headsInCastles = true});
    w.Start(-1);
    w.game->StartMonth();
    w.game->SetColorDisplay(false);
    CAutoAdvance a(*w.game);
    a.Open();
    EXPECT_TRUE(w.game->ColorDisplay());
    ASSERT_EQ(a.Start(1561, 1), CAutoAdvance::StartResult::kStarted);
    // Every castle falls to house 0 during the month.
    w.gs.ShiroTbl[1].daimyou = 0;
    w.gs.ShiroTbl[2].daimyou = 0;
    CAutoAdvance::TickResult r;
    int ticks = 0;
    while ((r = a.Tick()) == CAutoAdvance::TickResult::kContinue && ++ticks < 100) {
    }
    EXPECT_EQ(r, CAutoAdvance::TickResult::kGameEnded);
    EXPECT_TRUE(w.game->GameEnded());
    EXPECT_FALSE(w.game->ColorDisplay());                          // restored
    EXPECT_EQ(w.port.CallsOf(PortCallKind::LongText).size(), 1u);  // the ending was shown
    EXPECT_TRUE(a.Finish());
    EXPECT_FALSE(w.gs.bAutoAdvance);
}

TEST(AutoAdvance, ClosingRestoresTheColourDisplay) {
    TestWorld w({.houses = 2, .headsInCastles = true});
    w.Start();
    for (bool before : {false, true}) {
        w.game->SetColorDisplay(before);
        CAutoAdvance a(*w.game);
        a.Open();
        EXPECT_TRUE(w.game->ColorDisplay());
        a.Close();
        EXPECT_EQ(w.game->ColorDisplay(), before);
    }
}

TEST(AutoAdvance, RankedHouseList) {
    TestWorld w({.houses = 13, .headsInCastles = true});
    w.Start();
    GameState& gs = w.gs;
    for (int s = 0; s < 13; ++s)
        gs.ShiroTbl[s].kokudaka = 10000 + 1000 * s;  // house 12 richest
    gs.ShiroTbl[0].kokudaka = 1234567;
    // House 5 is house 0's vassal; house 7 has fallen.
    gs.DaimyouTbl[5].bond = CDaimyou::kBondShinjuu;
    gs.DaimyouTbl[5].masterDaimyou = 0;
    gs.DaimyouTbl[7].toushu = -1;
    // House 3 holds two castles.
    gs.ShiroTbl[4].daimyou = 3;

    CAutoAdvance a(*w.game);
    EXPECT_EQ(a.GetSortIndex(), CAutoAdvance::kSortByKokudaka);
    const std::vector<CAutoAdvance::Row>& rows = a.FillDaimyouList();
    // Houses that still exist (the fallen one drops out; a house without castles stays), by direct
    // rice yield.
    const std::vector<int> wantOrder = {0, 3, 12, 11, 10, 9, 8, 6, 5, 2, 1, 4};
    const std::vector<int> wantImage = {0, 1, 2, 3, 4, 5, 6, 7, 11, 9, 10, 10};
    ASSERT_EQ(rows.size(), wantOrder.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k].daimyou, wantOrder[k]) << k;
        EXPECT_EQ(rows[k].image, wantImage[k]) << k;
    }
    EXPECT_EQ(rows[0].texts[0], "家0");
    EXPECT_EQ(rows[0].texts[1], "1");
    EXPECT_EQ(rows[0].texts[2], "123万4567石");
    EXPECT_EQ(rows[0].texts[3], "124万9567石");  // with its vassal's 15000
    EXPECT_EQ(rows[1].shiro, 2);
    EXPECT_EQ(rows[11].texts[2], "0万0000石");
    ASSERT_EQ(w.game->ColorDaimyouCount(), 10);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(w.game->ColorDaimyou()[k], wantOrder[static_cast<std::size_t>(k)]);

    // Column 1 sorts by castles, column 3 by rice yield with vassals; the name column does not sort.
    EXPECT_TRUE(a.OnColumnClick(1));
    EXPECT_EQ(a.GetSortIndex(), CAutoAdvance::kSortByShiro);
    EXPECT_EQ(a.Rows().front().daimyou, 3);
    EXPECT_EQ(a.Rows().back().daimyou, 4);
    EXPECT_FALSE(a.OnColumnClick(0));
    EXPECT_EQ(a.GetSortIndex(), CAutoAdvance::kSortByShiro);
    EXPECT_TRUE(a.OnColumnClick(3));
    EXPECT_EQ(a.Rows().front().kokudakaWithShinjuu, 1249567);
    EXPECT_FALSE(a.SetSortIndex(CAutoAdvance::kSortByKokudakaWithShinjuu));
    EXPECT_TRUE(a.SetSortIndex(CAutoAdvance::kSortByKokudaka));

    // A click on a row opens that house, except while a run is in progress.
    EXPECT_EQ(a.OnListClick(1), 3);
    EXPECT_EQ(a.OnListClick(99), -1);
    gs.bAutoAdvance = true;
    EXPECT_EQ(a.OnListClick(1), -1);
}

TEST(AutoAdvance, TitlesInTheScenarioWords) {
    TestWorld w({.houses = 2, .headsInCastles = true});
    w.Start();
    CAutoAdvance a(*w.game);
    EXPECT_EQ(a.ListTitle(), "大名家一覧");
    EXPECT_EQ(a.ColumnTitles()[1], "城数");
    EXPECT_EQ(a.ColumnTitles()[2], "石高(直轄)");
    EXPECT_EQ(a.ColumnTitles()[3], "石高(臣従込み)");
    w.gs.ScenarioWords[0] = "国家";
    w.gs.ScenarioWords[11] = "貫";
    EXPECT_EQ(a.ListTitle(), "国家一覧");
    EXPECT_EQ(a.KokudakaText(50000), "5万0000貫");
}

}  // namespace
}  // namespace rymd::test
