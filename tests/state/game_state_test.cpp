// The game-state object: capacities, start-up state, reset and the scenario defaults.
#include <gtest/gtest.h>

#include <memory>

#include "game/state/game_state.h"

namespace rymd {
namespace {

TEST(GameState, Capacities) {
    EXPECT_EQ(GameState::kMaxShiro, 10000);
    EXPECT_EQ(GameState::kMaxBushou, 30000);
    EXPECT_EQ(GameState::kMaxDaimyou, 1000);
    EXPECT_EQ(GameState::kMaxGundan, 100);
    EXPECT_EQ(GameState::kMaxEvent, 200);
    EXPECT_EQ(GameState::kMaxConditionalEvent, 2000);
    EXPECT_EQ(GameState::kMaxTradingPartner, 101);
    EXPECT_EQ(GameState::kMaxRengou, 50);
    EXPECT_EQ(GameState::kMaxShiroType, 1000);
    EXPECT_EQ(GameState::kMaxKuni, 250);
    EXPECT_EQ(GameState::kMaxTeppouKounyuu, 10);
    EXPECT_EQ(GameState::kMaxLabel, 1000);
    EXPECT_EQ(GameState::kColorPalletSize, 10);
    GameState gs;
    EXPECT_EQ(gs.ShiroTbl.size(), 10000u);
    EXPECT_EQ(gs.ShiroSnapTbl.size(), 10000u);
    EXPECT_EQ(gs.ShiroMapTbl.size(), 10000u);
    EXPECT_EQ(gs.BushouTbl.size(), 30000u);
    EXPECT_EQ(gs.MitoujouBushouTbl.size(), 30000u);
    EXPECT_EQ(gs.BushouExTbl.size(), 30000u);
    EXPECT_EQ(gs.DaimyouTbl.size(), 1000u);
    EXPECT_EQ(gs.DaimyouInitTbl.size(), 1000u);
    EXPECT_EQ(gs.GundanTbl.size(), 100u);
    EXPECT_EQ(gs.EventTbl.size(), 200u);
    EXPECT_EQ(gs.TradingPartnerTbl.size(), 101u);
    EXPECT_EQ(gs.RengouTbl.size(), 50u);
    EXPECT_EQ(gs.ShiroTypeTbl.size(), 1000u);
    EXPECT_EQ(gs.TeppouSeisanTbl.size(), 250u);
    EXPECT_EQ(gs.TeppouKounyuuTbl.size(), 10u);
    EXPECT_EQ(gs.LabelTbl.size(), 1000u);
    EXPECT_EQ(gs.KuniAreaTbl.size(), 250u);
    EXPECT_EQ(gs.DaimyouOrder.size(), 1000u);
    EXPECT_EQ(gs.ScenarioWords.size(), 50u);
    EXPECT_EQ(gs.ShiroDisabledBits.size(), 10000u);
    EXPECT_EQ(gs.GunsenTable.records.size(), 5000u);
}

TEST(GameState, StartsZeroFilled) {
    auto gs = std::make_unique<GameState>();
    EXPECT_EQ(gs->nShiro, 0);
    EXPECT_EQ(gs->nBushou, 0);
    EXPECT_EQ(gs->nDaimyou, 0);
    EXPECT_EQ(gs->nCurYear, 0);
    EXPECT_FALSE(gs->bSpectator);
    EXPECT_EQ(gs->BushouTbl[29999].shiro, 0);
    EXPECT_EQ(gs->ShiroTbl[9999].kokudaka, 0u);
    EXPECT_EQ(gs->DaimyouTbl[999].relation[999], 0);
    EXPECT_EQ(gs->GundanTbl[99].leader, 0);
    EXPECT_TRUE(gs->ScenarioTextPool.empty());
    EXPECT_EQ(gs->rng.State(), 1u);
}

TEST(GameState, ResetReturnsToTheStartUpState) {
    auto gs = std::make_unique<GameState>();
    gs->SetScenarioDefaults();
    gs->nShiro = 40;
    gs->nBushou = 120;
    gs->nCurYear = 1560;
    gs->bGameOver = true;
    gs->ShiroTbl[39].kokudaka = 5000;
    gs->BushouTbl[119].name = "織田信長";
    gs->DaimyouTbl[3].SetRelationLo(4, 9);
    gs->GundanTbl[0].leader = 17;
    gs->ScenarioTextPool.push_back("text");
    gs->ScenarioWords[4] = "館";
    gs->ConditionalEventArray.resize(3);
    gs->ShiroDisabledBits.set(9999);
    gs->ExclusionList.push_back(5);
    gs->GunsenTable.count = 3;
    gs->rng.Next();

    gs->Reset();

    EXPECT_EQ(gs->nShiro, 0);
    EXPECT_EQ(gs->nBushou, 0);
    EXPECT_EQ(gs->nCurYear, 0);
    EXPECT_FALSE(gs->bGameOver);
    EXPECT_EQ(gs->nHeiUnit, 0);
    EXPECT_TRUE(gs->EndingText.empty());
    EXPECT_EQ(gs->ShiroTbl[39].kokudaka, 0u);
    EXPECT_TRUE(gs->BushouTbl[119].name.empty());
    EXPECT_EQ(gs->DaimyouTbl[3].relation[4], 0);
    EXPECT_EQ(gs->GundanTbl[0].leader, 0);
    EXPECT_TRUE(gs->ScenarioTextPool.empty());
    EXPECT_TRUE(gs->ScenarioWords[4].empty());
    EXPECT_TRUE(gs->ConditionalEventArray.empty());
    EXPECT_TRUE(gs->ShiroDisabledBits.none());
    EXPECT_TRUE(gs->ExclusionList.empty());
    EXPECT_EQ(gs->GunsenTable.count, 0u);
    EXPECT_EQ(gs->KuniAreaTbl[0].type, 0);
    EXPECT_EQ(gs->rng.State(), 1u);
    EXPECT_EQ(gs->ShiroTbl.size(), 10000u);  // the tables keep their capacity
}

TEST(GameState, ScenarioDefaults) {
    auto gs = std::make_unique<GameState>();
    gs->ShiroMapTbl[9999].connect[0].shiro = 3;
    gs->DaimyouInitTbl[5].shikin = 800;
    gs->TeppouSeisanTbl[249].current = 2.5;
    gs->MainMapKakudai = {1, 2, 3, 4, 5};
    gs->SetScenarioDefaults();

    EXPECT_TRUE(gs->ScenarioTitle.empty());
    EXPECT_EQ(gs->EndingText, "は統一を成し遂げました");
    EXPECT_EQ(gs->nStartYear, 1550);
    EXPECT_EQ(gs->nStartMonth, 4);
    EXPECT_EQ(gs->nHeiUnit, 10);
    EXPECT_EQ(gs->nShiroDotSize, 3);
    EXPECT_EQ(gs->nShiroHyourouMax, 2000);
    EXPECT_EQ(gs->nDistanceLimit, 150);
    EXPECT_EQ(gs->nUchijiniKakuritsu, 5);
    EXPECT_EQ(gs->nSeppukuKakuritsu, 5);
    EXPECT_EQ(gs->nJuuzokuJoukenHosei, 5);
    EXPECT_EQ(gs->nShinjuuJoukenHosei, 5);
    EXPECT_EQ(gs->nDokuritsuJoukenHosei, 5);
    EXPECT_EQ(gs->nMainMapMinimumWidth, 600);
    EXPECT_EQ(gs->nKouekisenPrice, 2000);
    EXPECT_EQ(gs->nGunsenPrice, 2000);
    EXPECT_EQ(gs->nKishuu, 1);
    EXPECT_TRUE(gs->bBushouHojuu);
    EXPECT_TRUE(gs->bKeiryaku);
    EXPECT_FALSE(gs->bTekiJouTsuuka);
    EXPECT_EQ(gs->nLanguage, 0);
    EXPECT_EQ(gs->Encoding(), TextEncoding::ShiftJis);
    EXPECT_EQ(gs->RoadCost, (std::array<int, 4>{20, 30, 50, 10}));
    for (int p : {gs->nKouzanPicture, gs->nKouekisenPicture, gs->nKouekisenReturnPicture, gs->nGunsenPicture,
                  gs->nGunsenCompletePicture, gs->nGunsenLargePicture, gs->nTeppouPicture,
                  gs->nGunsenUnitPictureR, gs->nGunsenUnitPictureL}) {
        EXPECT_EQ(p, -1);
    }
    EXPECT_EQ(gs->TeppouCost[0], 300.0);
    EXPECT_EQ(gs->TeppouCost[1], 1.0);
    EXPECT_EQ(gs->TeppouCost[2], 50.0);
    EXPECT_EQ(gs->TeppouSoubiRitsu[0], 0.0);
    EXPECT_EQ(gs->TeppouSoubiRitsu[1], 0.1);
    EXPECT_EQ(gs->TeppouSoubiRitsu[2], 50.0);
    EXPECT_EQ(gs->TeppouKouka, (std::array<std::uint8_t, 4>{10, 10, 10, 10}));
    for (const auto& area : gs->KuniAreaTbl) {
        ASSERT_EQ(area.type, 6);
        ASSERT_EQ(area.left, 0);
        ASSERT_EQ(area.top, 0);
        ASSERT_EQ(area.right, 100);
        ASSERT_EQ(area.bottom, 100);
    }
    for (const auto& map : gs->ShiroMapTbl) {
        ASSERT_EQ(map.connect[0].shiro, 0xFFFF);
        ASSERT_EQ(map.ConnectionCount(), 0);
    }
    EXPECT_EQ(gs->MainMapKakudai[0], 0);
    EXPECT_EQ(gs->DaimyouInitTbl[5].shikin, 0);
    EXPECT_EQ(gs->TeppouSeisanTbl[249].current, 0.0);
    gs->nLanguage = 1;
    EXPECT_EQ(gs->Encoding(), TextEncoding::Gb2312);
}

TEST(GameState, SnapshotIsAWholeIndependentCopy) {
    auto gs = std::make_unique<GameState>();
    gs->ShiroTbl[7].kibo = 4;
    gs->ShiroTbl[7].bushou[3] = 12;
    gs->ShiroSnapTbl = gs->ShiroTbl;
    gs->ShiroTbl[7].kibo = 5;
    EXPECT_EQ(gs->ShiroSnapTbl[7].kibo, 4);
    EXPECT_EQ(gs->ShiroSnapTbl[7].bushou[3], 12);
}

TEST(GameState, ConnectionCountStopsAtTheEndMarkOrTheTenthSlot) {
    ShiroMapRecord m{};
    m.ClearConnections();
    EXPECT_EQ(m.ConnectionCount(), 0);
    m.connect[0].shiro = 4;
    m.connect[1].shiro = 0;
    EXPECT_EQ(m.ConnectionCount(), 2);
    for (auto& c : m.connect)
        c.shiro = 1;  // a damaged list without end mark
    EXPECT_EQ(m.ConnectionCount(), ShiroMapRecord::kMaxConnection);
}

}  // namespace
}  // namespace rymd
