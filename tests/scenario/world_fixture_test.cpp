// The world fixture: a small but whole scenario (houses, castles, roads, generals present and
// still to appear, alliances) read as the game reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/file.h"
#include "support/world_test_util.h"

namespace rymd::test {
namespace {

class WorldFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ReadFileBytes(std::string(RYMD_FIXTURES) + "/scenario/world.snr", bytes));
        run.map.files[run.scenarioFolder + "world.map"] = FakeKorMap::Make(3);
        ASSERT_EQ(run.ReadBytes(std::move(bytes)), kScnOk) << run.Message();
        ASSERT_TRUE(run.port.CallsOf(PortCallKind::Inform).empty());
    }
    const GameState& gs() const { return *run.gs; }

    ReaderRun run;
};

TEST_F(WorldFixture, Houses) {
    EXPECT_EQ(gs().ScenarioTitle, "尾張統一");
    EXPECT_EQ(gs().nStartYear, 1555);
    ASSERT_EQ(gs().nScenarioDaimyou, 4);
    const DaimyouInitRecord& oda = gs().DaimyouInitTbl[0];
    EXPECT_EQ(oda.name, "織田家");
    EXPECT_EQ(oda.kindByte, 1);
    EXPECT_EQ(oda.shikin, -1);
    EXPECT_EQ(oda.koukaiGijutsu, 100);
    EXPECT_EQ(oda.kouzanGijutsu, 200);
    EXPECT_EQ(oda.teppouTendency, 20);
    EXPECT_EQ(oda.gunsenTendency, 3);
    ASSERT_EQ(oda.textIndex, 0);
    EXPECT_EQ(gs().ScenarioTextPool[0], "尾張の大名。\n清洲を本拠とする。");
    EXPECT_EQ(gs().DaimyouInitTbl[1].textIndex, 0xFFFF);
    EXPECT_EQ(gs().DaimyouInitTbl[2].kindByte, 0x91);  // not for the player, static
    EXPECT_EQ(gs().DaimyouInitTbl[2].textIndex, 1);
    EXPECT_EQ(gs().DaimyouInitTbl[3].kindByte, 0xA0);  // AINU, not for the player, no attack
    EXPECT_EQ(gs().NameIndex.FindDaimyou("D_SAITOU"), 2);
}

TEST_F(WorldFixture, Castles) {
    ASSERT_EQ(gs().nShiro, 6);
    const ShiroMapRecord& kiyosu = gs().ShiroMapTbl[0];
    EXPECT_EQ(kiyosu.name, "清洲城");
    EXPECT_EQ(kiyosu.kuni, 0);
    EXPECT_EQ(kiyosu.maxKibo, 6);
    EXPECT_EQ(kiyosu.x, 1200);
    EXPECT_EQ(kiyosu.y, 800);
    EXPECT_EQ(kiyosu.maxKokudaka, 57000u);
    EXPECT_EQ(kiyosu.maxKouzan, 10);
    EXPECT_EQ(kiyosu.initDaimyou, 0);
    EXPECT_EQ(kiyosu.textIndex, 2);
    EXPECT_EQ(gs().ScenarioTextPool[2], "織田の本城");
    EXPECT_EQ(gs().ShiroTbl[0].kibo, 4);
    EXPECT_EQ(gs().ShiroTbl[0].kouzan, 2);
    EXPECT_EQ(gs().ShiroTbl[0].support, 700);
    EXPECT_EQ(gs().ShiroMapTbl[5].shiroType, 2);  // CHINA
    EXPECT_EQ(gs().ShiroMapTbl[5].initDaimyou, 3);
    EXPECT_EQ(gs().nShiroType, 5);  // the built-in types
    // Warships: five at Nagoya (Oda), twenty at Sunpu (Imagawa).
    ASSERT_EQ(gs().GunsenTable.count, 2u);
    EXPECT_EQ(gs().GunsenTable.records[0].owner, 0);
    EXPECT_EQ(gs().GunsenTable.records[0].shiro, 1);
    EXPECT_EQ(gs().GunsenTable.records[0].ships, 5);
    EXPECT_EQ(gs().GunsenTable.records[1].owner, 1);
    EXPECT_EQ(gs().GunsenTable.records[1].ships, 20);
    EXPECT_EQ(gs().NameIndex.FindShiro("S_INABA"), 4);
}

TEST_F(WorldFixture, Roads) {
    const auto& m = gs().ShiroMapTbl;
    ASSERT_EQ(m[0].ConnectionCount(), 2);  // Kiyosu: Nagoya, Inaba
    EXPECT_EQ(m[0].connect[0].shiro, 1);
    EXPECT_EQ(m[0].connect[0].route, 0xFFFF);
    EXPECT_EQ(m[0].connect[1].shiro, 4);
    EXPECT_EQ(m[0].connect[1].route, 1);
    EXPECT_EQ(m[0].connect[1].kind, 2);
    ASSERT_EQ(m[1].ConnectionCount(), 3);  // Nagoya: Kiyosu, Okazaki, Nagashima
    EXPECT_EQ(m[1].connect[0].route, 0xFFFE);
    EXPECT_EQ(m[1].connect[1].route, 3);
    EXPECT_EQ(m[1].connect[1].drawFlags, 0x01);
    EXPECT_EQ(m[1].connect[2].kind, 1);
    EXPECT_EQ(m[5].connect[1].shiro, 2);  // Nagashima - Sunpu by sea, kept in a new game
    EXPECT_EQ(m[5].connect[1].drawFlags, 0x08);
    EXPECT_EQ(m[2].flags, ShiroMapRecord::kFlagPort | ShiroMapRecord::kFlagWaterway);
    EXPECT_EQ(m[5].flags, ShiroMapRecord::kFlagPort | ShiroMapRecord::kFlagWaterway);
    EXPECT_EQ(m[1].flags, ShiroMapRecord::kFlagPort);
    EXPECT_EQ(gs().nRoutePoint, 5);
    ASSERT_EQ(gs().ShiroRouteRects.size(), 2u);
    const RouteRect& r = gs().ShiroRouteRects[0];
    EXPECT_EQ(r.left, 900);
    EXPECT_EQ(r.top, 500);
    EXPECT_EQ(r.right, 1200);
    EXPECT_EQ(r.bottom, 800);
}

TEST_F(WorldFixture, Generals) {
    ASSERT_EQ(gs().nBushouEx, 12);
    const auto& b = gs().BushouExTbl;
    EXPECT_EQ(b[0].name, "織田信長");
    EXPECT_EQ(b[0].cavalry, 30);
    EXPECT_EQ(b[0].foot, 100);
    EXPECT_EQ(b[0].muskets, 10);
    EXPECT_EQ(b[0].deathYear, 1594);  // killed before the standard age
    EXPECT_EQ(b[0].textIndex, 3);
    EXPECT_EQ(b[2].birthMark, 1);
    EXPECT_EQ(b[2].deathYear, 1583);
    EXPECT_EQ(b[2].successionRank, -1);
    EXPECT_EQ(b[3].birthMark, 2);
    EXPECT_EQ(b[3].appearYear, 1558);  // not yet appeared
    EXPECT_EQ(b[3].location, 0x8000);  // province K01
    EXPECT_EQ(b[6].daimyou, static_cast<std::int16_t>(0x8001));
    EXPECT_EQ(b[6].location, 3);
    EXPECT_EQ(b[9].deathYear, 1560);
    EXPECT_EQ(b[11].daimyou, -2);
    EXPECT_EQ(b[11].location, 0x8002);
    EXPECT_EQ(b[11].appearYear, 1565);
    EXPECT_EQ(gs().NameIndex.FindBushou("B_KEIJI"), 11);
    EXPECT_EQ(gs().ScenarioTextPool.size(), 4u);
}

TEST_F(WorldFixture, Alliances) {
    ASSERT_EQ(gs().nScenarioDoumei, 3);
    const auto& d = gs().DoumeiInitTbl;
    EXPECT_EQ(d[0].daimyou, 0);
    EXPECT_EQ(d[0].other, 2);
    EXPECT_EQ(d[0].type, 2);
    EXPECT_EQ(d[1].daimyou, 1);
    EXPECT_EQ(d[1].other, 0);
    EXPECT_EQ(d[1].type, 0);
    EXPECT_EQ(d[2].daimyou, 3);
    EXPECT_EQ(d[2].other, -1);
    EXPECT_EQ(d[2].type, 1);
}

}  // namespace
}  // namespace rymd::test
