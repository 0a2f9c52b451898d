// The scenarios that come with the game, read as the game reads them: with the bundled map of
// Japan (data/default.smp) through the province map library.
//
// - data/scenario/japan1560.snr, the bundled scenario of spring 1560: its size, the heads of the
//   great houses after the new-game set-up, castles inside their provinces, roads over land.
// - tests/fixtures/scenario/full.snr, the small scenario that uses every keyword of the format.
#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "support/invariant_check.h"

namespace rymd {
namespace {

const std::string kRoot = std::string(RYMD_FIXTURES) + "/../../";
const std::string kBundled = kRoot + "data/scenario/japan1560.snr";
const std::string kFull = std::string(RYMD_FIXTURES) + "/scenario/full.snr";

// One reading of a scenario file with the real province map and no one to answer.
struct Reading {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    Ports ports = SilentPort::Instance().AsPorts();
    int result = -1;

    explicit Reading(const std::string& path) {
        CScenarioReader reader(*gs, map, ports, kRoot + "data/");
        result = reader.ReadScenarioFile(path).Code();
    }
};

// A new game of a scenario file, watched (no player's house).
struct NewGame {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    Ports ports = SilentPort::Instance().AsPorts();
    int result = -1;

    explicit NewGame(const std::string& path, const std::string& house = "") {
        NewGameRequest request;
        request.scenarioPath = path;
        request.house = house;
        request.programFolder = kRoot + "data/";
        result = StartGameFromScenario(*gs, map, ports, request);
    }
    // The house of that name (UTF-8), or -1; names must be unique among the houses asked for.
    int HouseNamed(const std::string& name) const {
        int found = -1;
        for (int d = 0; d < gs->nScenarioDaimyou; ++d) {
            if (gs->DaimyouTbl[static_cast<std::size_t>(d)].name != name) continue;
            EXPECT_EQ(found, -1) << "two houses named " << name;
            found = d;
        }
        return found;
    }
};

std::string ReadUtf8(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << path;
    return ToUtf8(std::string(bytes.begin(), bytes.end()), TextEncoding::ShiftJis);
}

// The keywords of the reader's table, in the order of the table, taken from its source.
std::vector<std::string> ReaderKeywords() {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(kRoot + "game/scenario/reader.cpp", bytes));
    const std::string source(bytes.begin(), bytes.end());
    const std::size_t table = source.find("kKeywords[] = {");
    EXPECT_NE(table, std::string::npos);
    const std::size_t end = source.find("};", table);
    std::vector<std::string> words;
    for (std::size_t at = source.find("{\"", table); at < end; at = source.find("{\"", at + 1)) {
        const std::size_t close = source.find('"', at + 2);
        words.push_back(source.substr(at + 2, close - at - 2));
    }
    return words;
}

// The first token of every line of a scenario text (comments and blank lines give none).
std::set<std::string> LineKeywords(const std::string& text) {
    std::set<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        std::size_t b = line.find_first_not_of(" \t\r");
        if (b == std::string::npos || line[b] == '/') continue;
        std::size_t e = line.find_first_of(" \t\r:,", b);
        words.insert(line.substr(b, e == std::string::npos ? std::string::npos : e - b));
    }
    return words;
}

// ---------------------------------------------------------------------------------------------
// Both scenarios

TEST(ScenarioData, BothScenariosReadWithTheBundledMap) {
    for (const std::string& path : {kBundled, kFull}) {
        Reading r(path);
        EXPECT_EQ(r.result, 0) << path;
        EXPECT_EQ(r.gs->nKuni, 69) << path;
        EXPECT_EQ(r.gs->nChiiki, 9) << path;
    }
}

TEST(ScenarioData, BothScenariosAreShiftJisWithCrLfLines) {
    for (const std::string& path : {kBundled, kFull}) {
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(ReadFileBytes(path, bytes)) << path;
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back(), '\n') << path << ": the last line must end";
        std::size_t lf = 0, crlf = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != '\n') continue;
            ++lf;
            if (i > 0 && bytes[i - 1] == '\r') ++crlf;
        }
        EXPECT_EQ(lf, crlf) << path;
        // Shift-JIS text turns into UTF-8 and back unchanged.
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_EQ(FromUtf8(ToUtf8(text, TextEncoding::ShiftJis), TextEncoding::ShiftJis), text) << path;
    }
}

// ---------------------------------------------------------------------------------------------
// The test scenario that uses every keyword

TEST(ScenarioData, FullScenarioUsesEveryKeywordOfTheReader) {
    const std::vector<std::string> keywords = ReaderKeywords();
    ASSERT_GE(keywords.size(), 70u);
    EXPECT_EQ(keywords.front(), "Secret");
    EXPECT_EQ(keywords.back(), "ConditionalEvent");
    const std::set<std::string> used = LineKeywords(ReadUtf8(kFull));
    for (const std::string& k : keywords) {
        if (k == "Cipher") continue;  // enciphered copies are made by the cipher tests
        EXPECT_TRUE(used.count(k)) << "full.snr does not use " << k;
    }
    // And the keywords inside the event blocks, and every optional word of a road line.
    for (const char* k :
         {"Title", "PeriodStart", "PeriodEnd", "Logic", "RepeatType", "SubRoutine", "LoopType",
          "LoopVariable", "Condition", "Happening", "Message", "Effect", "KuniProbability", "Probability",
          "ChiikiProbability", "Exclusion", "Correlation", "Color", "ProbabilityChainRate"})
        EXPECT_TRUE(used.count(k)) << "full.snr does not use " << k;
    const std::string text = ReadUtf8(kFull);
    for (const char* w : {": HLOOP :",
                          ": SEA :",
                          ": MOUNTAIN :",
                          ": NARROW :",
                          ": TOP_INVISIBLE :",
                          ": BOTTOM_INVISIBLE :",
                          ": TOP_BOTTOM_INVISIBLE :",
                          ": DELETE_AT_LV :",
                          ": KEEP_AT_LV :",
                          ": ARC :",
                          ": D_ALL",
                          ": FUSEN :",
                          ": JUUZOKU :",
                          ": SHINJUU :",
                          ": SHUKUTEKI :",
                          ": NOTHING :",
                          ": D_FREE :",
                          ": (D_",
                          "? :",
                          "* :",
                          ": VARIABLE :"})
        EXPECT_NE(text.find(w), std::string::npos) << "full.snr does not use " << w;
}

TEST(ScenarioData, FullScenarioTakesEveryValue) {
    Reading r(kFull);
    ASSERT_EQ(r.result, 0);
    const GameState& gs = *r.gs;
    struct Value {
        const char* what;
        long long got;
        long long want;
    };
    const Value values[] = {
        {"StartYear", gs.nStartYear, 1560},
        {"StartMonth", gs.nStartMonth, 5},
        {"HeiUnit", gs.nHeiUnit, 10},
        {"ShiroDotSize", gs.nShiroDotSize, 4},
        {"ShiroHyourouMax", gs.nShiroHyourouMax, 2500},
        {"DistanceLimit", gs.nDistanceLimit, 1600},
        {"UchijiniKakuritsu", gs.nUchijiniKakuritsu, 6},
        {"SeppukuKakuritsu", gs.nSeppukuKakuritsu, 4},
        {"JuuzokuJoukenHosei", gs.nJuuzokuJoukenHosei, 6},
        {"ShinjuuJoukenHosei", gs.nShinjuuJoukenHosei, 4},
        {"DokuritsuJoukenHosei", gs.nDokuritsuJoukenHosei, 7},
        {"MapMinWidth (after MainMapMinimumWidth)", gs.nMainMapMinimumWidth, 620},
        {"RoadCostBroad", gs.RoadCost[0], 25},
        {"RoadCostNarrow", gs.RoadCost[1], 35},
        {"RoadCostMountain", gs.RoadCost[2], 55},
        {"RoadCostSea", gs.RoadCost[3], 15},
        {"ShiroOffset x", gs.nShiroOffsetX, 1},
        {"ShiroOffset y", gs.nShiroOffsetY, 2},
        {"ShiroNameOffset", gs.nShiroNameOffset, 3},
        {"DaimyouNameOffset", gs.nDaimyouNameOffset, -3},
        {"KouzanPicture", gs.nKouzanPicture, -1},
        {"GunsenUnitPictureL", gs.nGunsenUnitPictureL, -1},
        {"KouekisenPrice", gs.nKouekisenPrice, 2100},
        {"GunsenPrice", gs.nGunsenPrice, 2200},
        {"BushouHojuu", gs.bBushouHojuu, 0},
        {"Kishuu", gs.nKishuu, 1},
        {"Keiryaku", gs.bKeiryaku, 0},
        {"TekiJouTsuuka", gs.bTekiJouTsuuka, 1},
        {"Language", gs.nLanguage, 0},
        {"TeppouKouka 4", gs.TeppouKouka[3], 40},
        {"houses", gs.nScenarioDaimyou, 5},
        {"castle types", gs.nShiroType, 2},
        {"castles", gs.nShiro, 7},
        {"generals", gs.nBushouEx, 15},
        {"relations", gs.nScenarioDoumei, 6},
        {"trade partners (with sea training)", gs.nTradingPartner, 3},
        {"musket places", gs.nTeppouKounyuu, 2},
        {"scheduled events (snow, rain, two of its own)", gs.nEvent, 4},
        {"conditional events", gs.nConditionalEvent, 2},
        {"labels", gs.nLabel, 2},
    };
    for (const Value& v : values)
        EXPECT_EQ(v.got, v.want) << v.what;
    EXPECT_DOUBLE_EQ(gs.TeppouCost[0], 250.0);
    EXPECT_DOUBLE_EQ(gs.TeppouSoubiRitsu[2], 40.0);
    EXPECT_EQ(gs.ScenarioTitle, "清洲の春");
    // The ending block replaces the one-line ending given before it.
    EXPECT_EQ(gs.EndingText, "%Year%年%Month%月、%Player%の%Toushu%は東海を平定した。\n");
    EXPECT_TRUE(gs.ScenarioImage.HasPicture());
    EXPECT_EQ(gs.ScenarioImage.Extension(), "bmp");
    // KuniArea: the file gives the last sample; the table keeps right and bottom plus 1.
    const int owari = r.map.FindKuni("K_OWARI");
    ASSERT_GE(owari, 0);
    EXPECT_EQ(gs.KuniAreaTbl[static_cast<std::size_t>(owari)].type, 9);
    EXPECT_EQ(gs.KuniAreaTbl[static_cast<std::size_t>(owari)].right, 429);
}

// ---------------------------------------------------------------------------------------------
// The bundled scenario

TEST(ScenarioData, BundledScenarioHasTheHousesCastlesAndGeneralsOf1560) {
    Reading r(kBundled);
    ASSERT_EQ(r.result, 0);
    const GameState& gs = *r.gs;
    EXPECT_GE(gs.nScenarioDaimyou, 40);
    EXPECT_LE(gs.nScenarioDaimyou, 80);
    EXPECT_GE(gs.nShiro, 150);
    EXPECT_LE(gs.nShiro, 260);
    EXPECT_GE(gs.nBushouEx, 400);
    EXPECT_LE(gs.nBushouEx, 800);
    EXPECT_EQ(gs.nStartYear, 1560);
    EXPECT_EQ(gs.nHeiUnit, 10);
    EXPECT_GE(gs.nConditionalEvent, 10);
    EXPECT_GE(gs.nEvent, 2);  // the weather
    EXPECT_GE(gs.nTradingPartner, 4);
    EXPECT_GE(gs.nTeppouKounyuu, 3);
    EXPECT_FALSE(gs.ScenarioTitle.empty());
    EXPECT_NE(gs.EndingText.find("%Player%"), std::string::npos);
}

TEST(ScenarioData, BundledScenarioStartsWithTheHistoricalHeads) {
    NewGame g(kBundled);
    ASSERT_EQ(g.result, 0);
    const GameState& gs = *g.gs;
    const std::map<std::string, std::string> heads = {
        {"織田", "織田信長"}, {"今川", "今川義元"}, {"武田", "武田信玄"}, {"毛利", "毛利元就"},
        {"北条", "北条氏康"}, {"長尾", "長尾景虎"}, {"島津", "島津貴久"}, {"大友", "大友義鎮"},
        {"三好", "三好長慶"}, {"斎藤", "斎藤義龍"}, {"尼子", "尼子晴久"}, {"朝倉", "朝倉義景"},
        {"松平", "松平元康"}, {"浅井", "浅井久政"}, {"伊達", "伊達晴宗"}, {"長宗我部", "長宗我部国親"},
        {"足利", "足利義輝"},
    };
    for (const auto& [house, head] : heads) {
        const int d = g.HouseNamed(house);
        ASSERT_GE(d, 0) << house;
        const int toushu = gs.DaimyouTbl[static_cast<std::size_t>(d)].toushu;
        ASSERT_GE(toushu, 0) << house;
        ASSERT_LT(toushu, gs.nBushou) << house;
        EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(toushu)].name, head) << house;
    }
    // Every house that holds a castle has its head on stage, in one of its own castles.
    for (int d = 0; d < gs.nScenarioDaimyou - 1; ++d) {
        const CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(d)];
        bool holds = false;
        for (int s = 0; s < gs.nShiro; ++s)
            holds = holds || gs.ShiroTbl[static_cast<std::size_t>(s)].daimyou == d;
        if (!holds) continue;
        ASSERT_GE(house.toushu, 0) << house.name;
        const CBushou& head = gs.BushouTbl[static_cast<std::size_t>(house.toushu)];
        EXPECT_EQ(head.daimyou, d) << house.name;
        EXPECT_EQ(gs.ShiroTbl[static_cast<std::size_t>(head.shiro)].daimyou, d) << house.name;
    }
}

TEST(ScenarioData, BundledCastlesLieInTheirProvinces) {
    // As a map window finds a province: at the relief sample of the castle's position. A castle
    // on a province border that the map puts on the other side gets a fitted position
    // (tools/scenario_gen/map_fit.tsv).
    Reading r(kBundled);
    ASSERT_EQ(r.result, 0);
    const GameState& gs = *r.gs;
    for (int s = 0; s < gs.nShiro; ++s) {
        const ShiroMapRecord& m = gs.ShiroMapTbl[static_cast<std::size_t>(s)];
        const MbKorMap::POINT at{m.x / 128, m.y / 128};
        const int kuni = r.map.DetectKuni(at);
        EXPECT_EQ(kuni, m.kuni) << m.name << " at " << at.x << "," << at.y << " lies in "
                                << (kuni < 0 ? std::string("the sea") : r.map.Kuni(kuni).id) << ", not "
                                << r.map.Kuni(m.kuni).id;
    }
}

TEST(ScenarioData, BundledCastlesStartWithinTheGamesCaps) {
    // The reader takes up to 100 trade ships a castle, but a port holds at most 10 once the game
    // runs (building, events and the computer houses never go beyond): the scenario keeps to it.
    Reading r(kBundled);
    ASSERT_EQ(r.result, 0);
    const GameState& gs = *r.gs;
    for (int s = 0; s < gs.nShiro; ++s) {
        const CShiro& c = gs.ShiroTbl[static_cast<std::size_t>(s)];
        const ShiroMapRecord& m = gs.ShiroMapTbl[static_cast<std::size_t>(s)];
        EXPECT_LE(c.kouekisen, 10) << m.name;
        EXPECT_GE(c.kibo, 1) << m.name;
        EXPECT_LE(c.kibo, m.maxKibo) << m.name;
        EXPECT_LE(c.support, 1000) << m.name;
    }
    for (int b = 0; b < gs.nBushouEx; ++b) {
        const BushouExRecord& g = gs.BushouExTbl[static_cast<std::size_t>(b)];
        EXPECT_LE(g.muskets, g.foot) << g.name;
    }
}

TEST(ScenarioData, BundledCastleTextsNameTheirLords) {
    // A castle's text that says who governs it names the lord the castle shows; and the great
    // men of the opening have texts of their own.
    NewGame g(kBundled);
    ASSERT_EQ(g.result, 0);
    const GameState& gs = *g.gs;
    const struct {
        const char* castle;
        const char* lord;
    } kLords[] = {{"S_KIYOSU", "織田信長"}, {"S_INUYAMA", "織田信清"}};
    for (const auto& [castle, lord] : kLords) {
        const int s = gs.NameIndex.FindShiro(castle);
        ASSERT_GE(s, 0) << castle;
        const CShiro& c = gs.ShiroTbl[static_cast<std::size_t>(s)];
        ASSERT_GE(c.commander, 0) << castle;
        EXPECT_EQ(gs.BushouTbl[static_cast<std::size_t>(c.commander)].name, lord) << castle;
        const std::uint16_t text = gs.ShiroMapTbl[static_cast<std::size_t>(s)].textIndex;
        ASSERT_LT(text, gs.ScenarioTextPool.size()) << castle;
        EXPECT_NE(gs.ScenarioTextPool[text].find(lord), std::string::npos)
            << castle << ": " << gs.ScenarioTextPool[text];
    }
    for (const char* name : {"織田信長", "織田信清", "今川義元", "松平元康"}) {
        bool found = false;
        for (int b = 0; b < gs.nBushouEx; ++b) {
            const BushouExRecord& e = gs.BushouExTbl[static_cast<std::size_t>(b)];
            if (e.name != name) continue;
            found = true;
            ASSERT_LT(e.textIndex, gs.ScenarioTextPool.size()) << name;
            EXPECT_FALSE(gs.ScenarioTextPool[e.textIndex].empty()) << name;
        }
        EXPECT_TRUE(found) << name;
    }
}

// The names of the castles that cannot be reached from castle start (empty when all can).
std::string Unreachable(const GameState& gs, int start) {
    if (start < 0) return "(no start)";
    std::vector<bool> seen(static_cast<std::size_t>(gs.nShiro), false);
    std::vector<int> queue = {start};
    seen[static_cast<std::size_t>(start)] = true;
    for (std::size_t q = 0; q < queue.size(); ++q) {
        const ShiroMapRecord& m = gs.ShiroMapTbl[static_cast<std::size_t>(queue[q])];
        for (int i = 0; i < m.ConnectionCount(); ++i) {
            const int next = m.connect[static_cast<std::size_t>(i)].shiro;
            if (next >= gs.nShiro || seen[static_cast<std::size_t>(next)]) continue;
            seen[static_cast<std::size_t>(next)] = true;
            queue.push_back(next);
        }
    }
    std::string names;
    for (int s = 0; s < gs.nShiro; ++s)
        if (!seen[static_cast<std::size_t>(s)])
            names += gs.ShiroMapTbl[static_cast<std::size_t>(s)].name + " ";
    return names;
}

// The land mass of a province: 本州 0, 九州 1, 四国 2, 蝦夷 3, and each small island its own.
int LandOf(const MbKorMap::CCtrlKorMap& map, int kuni) {
    static const std::set<std::string> kyushu = {"K_CHIKUZEN", "K_CHIKUGO", "K_BUZEN", "K_BUNGO",  "K_HIZEN",
                                                 "K_HIGO",     "K_HYUGA",   "K_OSUMI", "K_SATSUMA"};
    static const std::set<std::string> shikoku = {"K_AWA", "K_SANUKI", "K_IYO", "K_TOSA"};
    static const std::set<std::string> islands = {"K_SADO", "K_OKI", "K_IKI", "K_TSUSHIMA", "K_AWAJI"};
    const std::string& id = map.Kuni(kuni).id;
    if (kyushu.count(id)) return 1;
    if (shikoku.count(id)) return 2;
    if (id == "K_EZO") return 3;
    if (islands.count(id)) return 10 + kuni;
    return 0;
}

TEST(ScenarioData, BundledRoadsStayOnLandAndSeaLanesJoinEveryIsland) {
    Reading r(kBundled);
    ASSERT_EQ(r.result, 0);
    const GameState& gs = *r.gs;
    // 勝尾岳城 stands on 平戸島, off 肥前: its way to the rest of 九州 is by sea.
    const int hirado = gs.NameIndex.FindShiro("S_KATSUODAKE");
    ASSERT_GE(hirado, 0);
    int roads = 0, lanes = 0;
    for (int s = 0; s < gs.nShiro; ++s) {
        const ShiroMapRecord& m = gs.ShiroMapTbl[static_cast<std::size_t>(s)];
        for (int i = 0; i < m.ConnectionCount(); ++i) {
            const ShiroConnection& link = m.connect[static_cast<std::size_t>(i)];
            ASSERT_LT(link.shiro, gs.nShiro);
            const ShiroMapRecord& o = gs.ShiroMapTbl[link.shiro];
            const bool sameLand =
                LandOf(r.map, m.kuni) == LandOf(r.map, o.kuni) && s != hirado && link.shiro != hirado;
            if (link.kind == 3) {
                ++lanes;
                EXPECT_FALSE(sameLand) << m.name << " - " << o.name << ": a sea lane where a road goes";
            } else {
                ++roads;
                EXPECT_TRUE(sameLand) << m.name << " - " << o.name << ": a road across the sea";
            }
        }
    }
    EXPECT_GT(roads, 2 * 300);  // both ends of every road
    EXPECT_GE(lanes, 2 * 9);
    // One network: from 清洲城 every castle can be reached.
    EXPECT_EQ(Unreachable(gs, gs.NameIndex.FindShiro("S_KIYOSU")), "");
}

TEST(ScenarioData, BundledNetworkStaysWholeInANewGame) {
    // The new game turns every link into a road and drops the sea lanes that a road makes
    // needless; the islands' lanes have no road beside them and stay.
    NewGame g(kBundled);
    ASSERT_EQ(g.result, 0);
    EXPECT_EQ(Unreachable(*g.gs, g.gs->NameIndex.FindShiro("S_KIYOSU")), "");
    for (const char* island : {"S_KANAISHI", "S_KAMEOKA", "S_KONOO", "S_SUMOTO", "S_SAWATA", "S_TOKUYAMA"}) {
        const int s = g.gs->NameIndex.FindShiro(island);
        ASSERT_GE(s, 0) << island;
        EXPECT_GE(g.gs->ShiroMapTbl[static_cast<std::size_t>(s)].ConnectionCount(), 1) << island;
    }
}

TEST(ScenarioData, BundledScenarioGivesEveryProvinceItsCastleMapArea) {
    Reading r(kBundled);
    ASSERT_EQ(r.result, 0);
    const GameState& gs = *r.gs;
    for (int k = 0; k < gs.nKuni; ++k) {
        const KuniAreaRecord& a = gs.KuniAreaTbl[static_cast<std::size_t>(k)];
        EXPECT_GE(a.type, 1) << r.map.Kuni(k).id;
        EXPECT_LT(a.left, a.right) << r.map.Kuni(k).id;
        EXPECT_LT(a.top, a.bottom) << r.map.Kuni(k).id;
        EXPECT_FALSE(a.left == 0 && a.top == 0 && a.right == 100 && a.bottom == 100) << r.map.Kuni(k).id;
        // Every castle of the province is inside its area.
        for (int s = 0; s < gs.nShiro; ++s) {
            const ShiroMapRecord& m = gs.ShiroMapTbl[static_cast<std::size_t>(s)];
            if (m.kuni != k) continue;
            EXPECT_GE(m.x / 128, a.left) << m.name;
            EXPECT_LT(m.x / 128, a.right) << m.name;
            EXPECT_GE(m.y / 128, a.top) << m.name;
            EXPECT_LT(m.y / 128, a.bottom) << m.name;
        }
    }
}

TEST(ScenarioData, BundledScenarioKeepsTheStateInvariantsForTenYears) {
    // Watched, and with Oda as the player's house (his turns pass without orders): the state
    // keeps its invariants in the new game and after each of 120 months.
    for (const char* house : {"", "D_ODA"}) {
        NewGame g(kBundled, house);
        ASSERT_EQ(g.result, 0) << house;
        ASSERT_TRUE(test::ExpectInvariantsHold(*g.gs, std::string("in the new game ") + house));
        CMainGame game(*g.gs, g.map, g.ports);
        TurnResult step = game.StartMonth();
        int done = 0;
        while (step == TurnResult::kContinue && done < 120 && !g.gs->bGameOver) {
            const int phase = g.gs->nPhase;
            ASSERT_GE(phase, kPhaseJinji);
            step = game.EndCurrentPhase();
            if (phase == kPhaseShutsujin &&
                !test::ExpectInvariantsHold(*g.gs, "after month " + std::to_string(++done) + " " + house))
                break;
        }
        // The houses may unify the country sooner (by conquest and by bonds of subordination
        // and vassalage): the game then ends, with the invariants kept to its last month.
        if (!g.gs->bGameOver) {
            EXPECT_EQ(done, 120) << house;
        }
        EXPECT_GE(done, 60) << house;
    }
}

}  // namespace
}  // namespace rymd
