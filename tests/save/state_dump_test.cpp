// The JSON dump of the game state.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/save/state_dump.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"

namespace rymd {
namespace {

using Json = nlohmann::ordered_json;

std::vector<std::string> Keys(const Json& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items())
        keys.push_back(key);
    return keys;
}

// One house, one castle, one general; names with quotes, control bytes and bytes that are not UTF-8.
struct SmallDump {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;

    SmallDump() {
        gs->nCurYear = 1560;
        gs->nCurMonth = 5;
        gs->nPlayerDaimyou = -1;
        gs->bSpectator = true;
        gs->nDaimyou = 1;
        gs->nShiro = 1;
        gs->nBushou = 1;
        gs->DaimyouTbl[0].name = "織田家";
        gs->DaimyouTbl[0].toushu = 0;
        gs->DaimyouTbl[0].shikin = 2000000000;
        gs->DaimyouTbl[0].bond = 200;
        gs->ShiroTbl[0].daimyou = 0;
        gs->ShiroTbl[0].kokudaka = 123456;
        gs->ShiroTbl[0].nBushou = 1;
        gs->ShiroTbl[0].bushou[0] = 0;
        gs->ShiroMapTbl[0].name = "\"A\\B\"\n\x01";
        gs->BushouTbl[0].name = "\xff\xfe信長";
        gs->BushouTbl[0].daimyou = 0;
        gs->BushouTbl[0].muskets = -1;
        for (CGundan& k : gs->GundanTbl)
            k.leader = CGundan::kLeaderFree;
        gs->DaimyouTbl[0].teppou = 7;
        gs->DaimyouTbl[0].teppouOrder[0].count = 3;
        gs->DaimyouTbl[0].teppouOrder[2].count = 4;
        gs->DaimyouTbl[0].teppouSeisan = 2;
        gs->ShiroTbl[0].kouekisen = 4;
        gs->ShiroTbl[0].gunsenBuilding = 0x43;
        gs->GunsenTable.AddGunsen(0, 0, 9);
    }
};

TEST(StateDump, KeepsItsKeysInOrderWithIntegerValues) {
    SmallDump w;
    const std::string text = DumpStateJson(*w.gs, w.map, "00c0ffee00000001");
    ASSERT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\n'), text.size() - 1);  // one line
    const Json j = Json::parse(text);
    EXPECT_EQ(Keys(j),
              (std::vector<std::string>{"date", "phase", "player", "spectator", "counts", "diplomacy_barred",
                                        "houses", "castles", "generals", "fleets", "corps", "state_hash"}));
    EXPECT_EQ(j["date"].dump(), R"({"year":1560,"month":5})");
    EXPECT_EQ(j["player"], -1);
    EXPECT_EQ(j["spectator"], true);
    EXPECT_EQ(j["counts"].dump(), R"({"houses":1,"castles":1,"generals":1,"generals_not_appeared":0})");
    EXPECT_EQ(Keys(j["houses"][0]),
              (std::vector<std::string>{"index", "id", "name", "head", "funds", "bond", "master", "kind",
                                        "castles", "kokudaka", "relation_to_player", "dealt_with", "muskets",
                                        "muskets_ordered", "muskets_made"}));
    EXPECT_EQ(Keys(j["castles"][0]),
              (std::vector<std::string>{"index", "id", "name", "province", "owner", "corps", "lord", "size",
                                        "kokudaka", "economy", "provisions", "garrison", "support",
                                        "trade_ships", "warships", "warships_building", "generals"}));
    EXPECT_EQ(Keys(j["generals"][0]),
              (std::vector<std::string>{"index", "id", "name", "house", "castle", "corps", "status", "holder",
                                        "former", "cavalry", "foot", "muskets", "ordered", "move_to",
                                        "sortie_to", "by_water"}));
    for (const char* table : {"houses", "castles", "generals"}) {
        for (const auto& [key, value] : j[table][0].items()) {
            if (key != "id" && key != "name" && key != "province" && key != "generals") {
                EXPECT_TRUE(value.is_number_integer()) << table << "." << key;
            }
        }
    }
    EXPECT_EQ(j["houses"][0]["funds"], 2000000000);
    EXPECT_EQ(j["houses"][0]["bond"], 200);
    EXPECT_EQ(j["houses"][0]["castles"], 1);
    EXPECT_EQ(j["houses"][0]["kokudaka"], 123456);
    EXPECT_EQ(j["castles"][0]["generals"].dump(), "[0]");
    // The house's muskets (stock, on order, made this month) and the castle's ships.
    EXPECT_EQ(j["houses"][0]["muskets"], 7);
    EXPECT_EQ(j["houses"][0]["muskets_ordered"], 7);
    EXPECT_EQ(j["houses"][0]["muskets_made"], 2);
    EXPECT_EQ(j["castles"][0]["trade_ships"], 4);
    EXPECT_EQ(j["castles"][0]["warships"], 9);
    EXPECT_EQ(j["castles"][0]["warships_building"], 3);
    EXPECT_EQ(j["generals"][0]["muskets"], -1);
    EXPECT_EQ(j["fleets"].dump(), R"([{"owner":0,"castle":0,"ships":9,"destination":-1,"blockade":0}])");
    EXPECT_EQ(j["corps"].dump(), "[]");  // free slots are left out
    ASSERT_TRUE(j["state_hash"].is_string());
    EXPECT_EQ(j["state_hash"], "00c0ffee00000001");
}

TEST(StateDump, ListsTheUsedCorpsSlotsWithTheirOrdersAndProvinces) {
    SmallDump w;
    CGundan& k = w.gs->GundanTbl[7];
    k.leader = 0;
    k.daimyou = 0;
    k.shikin = 1500;
    k.teppou = 12;
    k.order = 0x0101;
    k.tantouKuni = {-1, 3, -1, 1};
    const Json j = Json::parse(DumpStateJson(*w.gs, w.map, "0"));
    EXPECT_EQ(
        j["corps"].dump(),
        R"([{"index":7,"leader":0,"owner":0,"funds":1500,"muskets":12,"orders":257,"provinces":["3","1"]}])");
}

TEST(StateDump, ShowsTheGeneralsOrdersAndTheFleets) {
    SmallDump w;
    CBushou& b = w.gs->BushouTbl[0];
    b.flags = CBushou::kFlagOrdered | CBushou::kFlagByWater;
    b.sortieShiro = 0;
    b.moveShiro = -1;
    w.gs->GunsenTable.AddGunsen(0, 0, 21);        // with the 9 the small world has there: 30
    w.gs->GunsenTable.AssignGunsen(0, 0, 0, 12);  // 12 of them ordered away (to the castle itself)
    w.gs->GunsenTable.records[0].flags = GunsenRecord::kFlagBlockade;
    const Json j = Json::parse(DumpStateJson(*w.gs, w.map, "0"));
    EXPECT_EQ(j["generals"][0]["ordered"], 1);
    EXPECT_EQ(j["generals"][0]["move_to"], -1);
    EXPECT_EQ(j["generals"][0]["sortie_to"], 0);
    EXPECT_EQ(j["generals"][0]["by_water"], 1);
    EXPECT_EQ(j["fleets"].dump(), R"([{"owner":0,"castle":0,"ships":18,"destination":-1,"blockade":1},)"
                                  R"({"owner":0,"castle":0,"ships":12,"destination":0,"blockade":0}])");
}

TEST(StateDump, WritesNamesAsUtf8AndReplacesBadBytes) {
    SmallDump w;
    const std::string text = DumpStateJson(*w.gs, w.map, "0");
    EXPECT_NE(text.find("\"name\":\"織田家\""), std::string::npos);  // not escaped
    const Json j = Json::parse(text);
    EXPECT_EQ(j["castles"][0]["name"], "\"A\\B\"\n\x01");
    EXPECT_EQ(j["generals"][0]["name"], "\xEF\xBF\xBD\xEF\xBF\xBD信長");
}

}  // namespace
}  // namespace rymd
