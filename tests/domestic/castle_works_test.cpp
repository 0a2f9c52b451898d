// The player's castle orders over a province: castle works, provisions, and the three
// developments (land reclamation, mine, free market).
#include <gtest/gtest.h>

#include "game/domestic/castle_works.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "support/castle_world.h"

namespace rymd {
namespace {

using WorksWorld = test::CastleWorld;

TEST(CastleWorksTest, WorksListCostRefuseAndApply) {
    WorksWorld w;
    w.AddBushou(0, 0);
    w.Besiege(2, 1);  // a besieged castle is never listed for works
    w.gs.ShiroTbl[0].kibo = 4;
    w.gs.ShiroSnapTbl[0].kibo = 4;
    ShiroFushinOrder order(w.gs, 0, 0);
    ASSERT_EQ(order.Rows(), std::vector<int>{0});
    EXPECT_EQ(order.Cost(0), 4000);  // the size before the step
    EXPECT_EQ(order.Order(0), "");
    EXPECT_TRUE(order.Marked(0));
    EXPECT_EQ(order.Order(0), "実行済みです");  // once per dialog
    EXPECT_EQ(order.TotalCost(), 4000);
    EXPECT_EQ(order.FundsLeft(), 6000);
    EXPECT_EQ(w.gs.ShiroTbl[0].kibo, 4) << "nothing changes before Apply";
    order.Apply(w.gs);
    EXPECT_EQ(w.gs.ShiroTbl[0].kibo, 5);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 6000);

    // Next opening in the same month: done already (above its snapshot) and at its maximum.
    ShiroFushinOrder again(w.gs, 0, 0);
    EXPECT_TRUE(again.Done(0));
    EXPECT_EQ(again.Order(0), "この城はこれ以上は拡張できません");
    w.gs.ShiroMapTbl[0].maxKibo = 8;
    EXPECT_EQ(again.Order(0), "実行済みです");
}

TEST(CastleWorksTest, WorksRefusals) {
    struct Case {
        const char* name;
        int kibo, maxKibo, funds;
        const char* message;
        std::int64_t left;
    } cases[] = {
        {"size 0 is free", 0, 5, 0, "", 0},
        {"funds exactly enough", 3, 5, 3000, "", 0},
        {"funds short", 3, 5, 2999, "資金が足りません", 2999},
        {"at the maximum even with funds", 5, 5, 99999, "この城はこれ以上は拡張できません", 99999},
    };
    for (const Case& c : cases) {
        WorksWorld w;
        w.gs.ShiroTbl[1].kibo = static_cast<std::uint8_t>(c.kibo);
        w.gs.ShiroSnapTbl[1].kibo = static_cast<std::uint8_t>(c.kibo);
        w.gs.ShiroMapTbl[1].maxKibo = static_cast<std::uint8_t>(c.maxKibo);
        w.gs.DaimyouTbl[0].shikin = c.funds;
        ShiroFushinOrder order(w.gs, 0, 1);
        ASSERT_EQ(order.Rows(), (std::vector<int>{1, 3, 5})) << c.name;
        EXPECT_EQ(order.Order(0), c.message) << c.name;
        EXPECT_EQ(order.FundsLeft(), c.left) << c.name;
    }
    // The castle word of the scenario re-words the maximum message; bad rows do nothing.
    WorksWorld w;
    w.gs.ShiroMapTbl[1].maxKibo = 3;
    w.gs.ScenarioWords[4] = "砦";
    ShiroFushinOrder order(w.gs, 0, 1);
    EXPECT_EQ(order.Order(0), "この砦はこれ以上は拡張できません");
    EXPECT_EQ(order.Order(-1), "");
    EXPECT_EQ(order.Order(3), "");
    EXPECT_EQ(order.TotalCost(), 0);
}

TEST(CastleWorksTest, ProvisionsRowsAndWaterways) {
    WorksWorld w;
    w.Besiege(2, 1);  // besieged, no waterway: left out
    w.gs.ShiroMapTbl[0].flags = ShiroMapRecord::kFlagWaterway;
    w.Besiege(0, 1);  // besieged on an open waterway: listed
    EXPECT_EQ(ShiroHyourouOrder(w.gs, 0, 0).Rows(), std::vector<int>{0});
    w.gs.GunsenTable.AddGunsen(1, 0, 3);
    w.gs.GunsenTable.records[0].flags |= GunsenRecord::kFlagBlockade;
    EXPECT_TRUE(ShiroHyourouOrder(w.gs, 0, 0).Rows().empty()) << "blockaded as well";
}

TEST(CastleWorksTest, ProvisionsLimitsAndApply) {
    WorksWorld w;  // capacity 3 x 2000 = 6000, provisions 1000 in each castle
    w.gs.DaimyouTbl[0].shikin = 7000;
    ShiroHyourouOrder order(w.gs, 0, 1);
    ASSERT_EQ(order.Rows().size(), 3u);
    EXPECT_EQ(order.Capacity(0), 6000);
    EXPECT_EQ(order.Headroom(0), 5000);
    EXPECT_TRUE(order.SetAmount(0, 4000));
    // The next row may spend only what the first leaves: the slider stops at the funds.
    EXPECT_EQ(order.Headroom(1), 3000);
    EXPECT_EQ(order.TensLimit(1), 300);  // (top 4000 - the provisions 1000 in tens) / 10
    EXPECT_FALSE(order.SetAmount(1, 3001)) << "資金が足りません";
    EXPECT_EQ(order.Amount(1), 0);
    EXPECT_TRUE(order.SetAmount(1, 3000));
    EXPECT_EQ(order.FundsLeft(), 0);
    EXPECT_TRUE(order.SetAmount(1, 2995));
    // "+10" keeps the ones and stops exactly at the capacity.
    EXPECT_EQ(order.AmountFromTens(1, 250), 2505);
    EXPECT_EQ(order.AmountFromTens(1, 999), 5000);
    EXPECT_EQ(order.AmountFromTens(1, -3), 5);
    EXPECT_EQ(order.ProvisionsAfter(1), 3995);
    EXPECT_EQ(w.gs.ShiroTbl[3].hyourou, 1000u) << "nothing changes before Apply";
    order.Apply(w.gs);
    EXPECT_EQ(w.gs.ShiroTbl[1].hyourou, 5000u);
    EXPECT_EQ(w.gs.ShiroTbl[3].hyourou, 3995u);
    EXPECT_EQ(w.gs.ShiroTbl[5].hyourou, 1000u);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 5);
    // A castle already above its capacity has no headroom.
    w.gs.ShiroTbl[1].hyourou = 9000;
    EXPECT_EQ(ShiroHyourouOrder(w.gs, 0, 1).Headroom(0), 0);
    EXPECT_EQ(ShiroHyourouOrder(w.gs, 0, 1).AmountFromTens(0, 5), 0);
}

TEST(CastleWorksTest, DevelopmentCandidates) {
    WorksWorld w;
    for (int c = 0; c < 6; ++c) {
        w.gs.ShiroMapTbl[c].maxKouzan = 100;
        w.gs.ShiroTbl[c].kouzan = 50;
    }
    w.gs.ShiroSnapTbl = w.gs.ShiroTbl;
    w.gs.ShiroTbl[1].kouzan = 60;   // developed this month
    w.gs.ShiroTbl[3].kouzan = 100;  // at its maximum
    w.gs.ShiroSnapTbl[3].kouzan = 100;
    w.gs.ShiroTbl[5].kouzan = 99;  // just below: listed
    w.gs.ShiroSnapTbl[5].kouzan = 99;
    EXPECT_EQ(DevelopmentCandidates(w.gs, Development::kKouzanKaihatsu, 0, 1), std::vector<int>{5});
    w.Besiege(0, 1);
    EXPECT_EQ(DevelopmentCandidates(w.gs, Development::kKouzanKaihatsu, 0, 0), std::vector<int>{2});
    EXPECT_EQ(DevelopmentCandidates(w.gs, Development::kKouzanKaihatsu, 1, 0), std::vector<int>{4});
    EXPECT_EQ(DevelopmentValueText(w.gs, Development::kKaikon, 123456), "12万3456石");
    EXPECT_EQ(DevelopmentValueText(w.gs, Development::kRakuichi, 75), "75");
}

TEST(CastleWorksTest, DevelopmentRefusalsAndExecution) {
    struct Case {
        Development kind;
        int n, funds;
        const char* message;
    } cases[] = {
        {Development::kKaikon, 0, 9999, "新田開墾する城を指定して下さい"},
        {Development::kKouzanKaihatsu, 0, 9999, "鉱山開発を行う城を指定して下さい"},
        {Development::kRakuichi, 0, 9999, "楽市楽座を行う城を指定して下さい"},
        {Development::kKaikon, 2, 1000, ""},  // funds exactly equal to the total
        {Development::kKaikon, 3, 1499, "1500の費用が必要ですが、資金が足りません"},
        {Development::kKouzanKaihatsu, 3, 300, ""},
        {Development::kRakuichi, 3, 149, "150の費用が必要ですが、資金が足りません"},
    };
    for (const Case& c : cases) {
        WorksWorld w;
        w.gs.DaimyouTbl[0].shikin = c.funds;
        EXPECT_EQ(RefuseDevelopment(w.gs, c.kind, 0, c.n), c.message) << c.n << "/" << c.funds;
    }
    EXPECT_EQ(DevelopmentQuestion(Development::kKaikon, 3), "1500の費用が必要です。実行しますか？");

    WorksWorld w;
    w.gs.ShiroMapTbl[0].maxKokudaka = 10500;  // capped by the formula
    w.gs.ShiroMapTbl[2].maxKeizai = 500;
    const std::vector<int> chosen = {0, 2};
    ExecuteDevelopment(w.gs, Development::kKaikon, 0, chosen);
    EXPECT_EQ(w.gs.ShiroTbl[0].kokudaka, 10500u);
    EXPECT_GE(w.gs.ShiroTbl[2].kokudaka, 10720u);
    EXPECT_GT(w.gs.ShiroTbl[2].support, 500);
    EXPECT_EQ(w.gs.ShiroTbl[1].kokudaka, 10000u);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 10000 - 1000);
    ExecuteDevelopment(w.gs, Development::kRakuichi, 0, std::vector<int>{2, 99});
    EXPECT_GE(w.gs.ShiroTbl[2].keizai, 9);
    EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, 10000 - 1000 - 50) << "an unknown castle costs nothing";
}

}  // namespace
}  // namespace rymd
