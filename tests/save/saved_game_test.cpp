// Saved games of the bundled scenario: written and read back exactly, played on the same way,
// and every damaged file refused with the running game and its map left as they were.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/ports/scripted_port.h"
#include "game/save/saved_game.h"
#include "game/save/state_dump.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "support/house_fall.h"
#include "support/kor_map_fixture.h"
#include "support/run_cli.h"
#include "support/saved_game_edit.h"
#include "support/world_files.h"

namespace rymd::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const std::string kScenario = std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";

// A fresh folder under the system's temporary folder, removed with the object.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "rymd_save_XXXXXX").string();
        path = mkdtemp(tmpl.data()) ? fs::path(tmpl) : fs::path();
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

Bytes ReadAll(const std::string& path) {
    Bytes b;
    EXPECT_TRUE(ReadFileBytes(path, b)) << path;
    return b;
}

void Put(const std::string& path, const Bytes& bytes, std::size_t size) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
}

std::string ReadText(const std::string& path) {
    const Bytes b = ReadAll(path);
    return std::string(b.begin(), b.end());
}

// A running game: state and the map object it shares.
struct Game {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;

    SavedGameLoad Load(const Bytes& bytes, std::uint32_t seed = 0) {
        return LoadSavedGame(bytes, *gs, map, seed);
    }
    Bytes MapBytes() const {
        ArchiveWriter out;
        map.Serialize(out);
        return out.Take();
    }
};

// The bundled scenario run by the tool for months months and saved.
Bytes RunAndSave(const TempDir& dir, int months, const std::string& who, std::string* dump = nullptr) {
    const std::string save = dir / "run.rsd";
    const std::string json = dir / "run.json";
    const CliOutcome o = RunCli("run " + kScenario + " --months " + std::to_string(months) + " " + who +
                                " --save " + save + " --dump " + json);
    EXPECT_EQ(o.status, 0);
    if (dump) *dump = ReadText(json);
    return ReadAll(save);
}

// ---- Round trips ---------------------------------------------------------------------------------

struct RoundTripCase {
    int months;
    const char* who;
};

class SavedGameRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SavedGameRoundTrip, GivesTheSameStateDumpAndBytes) {
    TempDir dir;
    std::string dump;
    const Bytes saved = RunAndSave(dir, GetParam().months, GetParam().who, &dump);
    ASSERT_FALSE(saved.empty());

    Game first;
    const SavedGameLoad loaded = first.Load(saved);
    ASSERT_TRUE(loaded.loaded) << loaded.detail;
    EXPECT_EQ(loaded.version, kSavedGameVersion);
    EXPECT_EQ(DumpStateJson(*first.gs, first.map, StateHash(*first.gs)), dump);
    const Bytes again = WriteSavedGame(*first.gs, first.map);
    EXPECT_TRUE(again == saved) << "the second save differs";

    Game second;
    ASSERT_TRUE(second.Load(again).loaded);
    EXPECT_TRUE(WriteSavedGame(*second.gs, second.map) == saved) << "the third save differs";

    // The tool's load gives the same dump.
    Put(dir / "again.rsd", again, again.size());
    EXPECT_EQ(RunCli("load " + (dir / "again.rsd") + " --dump -").out, dump);
}

INSTANTIATE_TEST_SUITE_P(BundledScenario, SavedGameRoundTrip,
                         ::testing::Values(RoundTripCase{0, "--spectator"}, RoundTripCase{1, "--spectator"},
                                           RoundTripCase{120, "--spectator"},
                                           RoundTripCase{0, "--house D_ODA"},
                                           RoundTripCase{1, "--house D_ODA"},
                                           RoundTripCase{120, "--house D_ODA"}));

TEST(SavedGame, LoadedTwiceWithOneSeedPlaysTheSame) {
    TempDir dir;
    RunAndSave(dir, 6, "--house D_ODA");
    const std::string play = "load " + (dir / "run.rsd") + " --months 24 --check --seed 7 --dump -";
    const std::string a = nlohmann::json::parse(RunCli(play).out)["state_hash"];
    const std::string b = nlohmann::json::parse(RunCli(play).out)["state_hash"];
    EXPECT_EQ(a, b);
    const std::string still =
        nlohmann::json::parse(RunCli("load " + (dir / "run.rsd") + " --dump -").out)["state_hash"];
    EXPECT_NE(a, still);  // the 24 months were played
}

TEST(SavedGame, KeepsDistanceLimitInTensAndTravelsTheFlags) {
    TempDir dir;
    Game game;
    ASSERT_TRUE(game.Load(RunAndSave(dir, 1, "--house D_ODA")).loaded);
    game.gs->nDistanceLimit = 155;
    game.gs->bViewOnly = true;
    game.gs->nCurDaimyou = game.gs->nPlayerDaimyou + 1;  // replaced by the player's house on load
    Game back;
    ASSERT_TRUE(back.Load(WriteSavedGame(*game.gs, game.map)).loaded);
    EXPECT_EQ(back.gs->nDistanceLimit, 150);
    EXPECT_TRUE(back.gs->bViewOnly);
    EXPECT_FALSE(back.gs->bStartedAsSpectator);
    EXPECT_EQ(back.gs->nCurDaimyou, back.gs->nPlayerDaimyou);
}

TEST(SavedGame, AViewOnlySaveLoadsViewOnlyAndIsRefusedAfterASpectatorStart) {
    TempDir dir;
    Game game;
    ASSERT_TRUE(game.Load(RunAndSave(dir, 0, "--house D_ODA")).loaded);
    const std::string before = StateHash(*game.gs);
    ASSERT_TRUE(SaveViewOnlyGameFile(dir / "view.rsd", *game.gs, game.map));
    EXPECT_EQ(StateHash(*game.gs), before);  // the game's own flag is back
    Game view;
    const SavedGameLoad r = LoadSavedGameFile(dir / "view.rsd", *view.gs, view.map, 0);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.folder, dir.path.string() + "/");
    EXPECT_TRUE(view.gs->bViewOnly);

    Game watched;
    ASSERT_TRUE(watched.Load(RunAndSave(dir, 0, "--spectator")).loaded);
    std::string message;
    EXPECT_FALSE(SaveViewOnlyGameFile(dir / "watched.rsd", *watched.gs, watched.map, &message));
    EXPECT_EQ(message, kMsgNoViewOnlyAfterSpectatorStart);
    EXPECT_FALSE(fs::exists(dir / "watched.rsd"));
}

// The relief of a loaded game is in the season of its month, whatever season the map showed for
// the game that stood before it.
TEST(SavedGame, ALoadedGameShowsTheSeasonOfItsMonth) {
    TempDir dir;
    Game game;
    ASSERT_TRUE(game.Load(RunAndSave(dir, 0, "--house D_ODA")).loaded);
    const std::pair<int, int> cases[] = {{12, 3}, {1, 3}, {2, 3}, {3, 0}, {5, 0},
                                         {6, 1},  {8, 1}, {9, 2}, {11, 2}};
    for (const auto& [month, season] : cases) {
        game.gs->nCurMonth = month;
        Game back;
        back.map.ElvMap().SetSeason((season + 1) % 4);
        ASSERT_TRUE(back.Load(WriteSavedGame(*game.gs, game.map)).loaded) << month;
        EXPECT_EQ(back.map.ElvMap().GetSeason(), season) << "month " << month;
    }
}

TEST(SavedGame, TheToolNeverSavesOverItsInputs) {
    WorldFiles world("save_inputs");
    const std::string map = world.dir + "/world.map";
    const Bytes scenarioBefore = ReadAll(world.Scenario());
    const Bytes mapBefore = ReadAll(map);
    for (const std::string& target : {world.Scenario(), map})
        EXPECT_EQ(RunCli("run " + world.Scenario() + " --months 0 --save " + target).status, 2) << target;
    EXPECT_TRUE(ReadAll(world.Scenario()) == scenarioBefore);
    EXPECT_TRUE(ReadAll(map) == mapBefore);

    const std::string save = world.dir + "/world.rsd";
    ASSERT_EQ(RunCli("run " + world.Scenario() + " --months 1 --save " + save).status, 0);
    const Bytes saved = ReadAll(save);
    EXPECT_EQ(RunCli("load " + save + " --dump " + save).status, 2);
    EXPECT_EQ(RunCli("load " + save + " --save " + save).status, 0);  // saved again over itself
    EXPECT_TRUE(ReadAll(save) == saved);
}

// A Chinese-language game: the texts stored before the language are read in its encoding too.
TEST(SavedGame, ReadsTheTextsBeforeTheLanguageInTheGamesEncoding) {
    TempDir dir;
    Game game;
    ASSERT_TRUE(game.Load(RunAndSave(dir, 0, "--spectator")).loaded);
    game.gs->nLanguage = 1;
    game.gs->ScenarioTitle = "战国";
    game.gs->nLabel = 1;
    game.gs->LabelTbl[0].text = "长江";
    game.gs->nEvent = std::max(game.gs->nEvent, 1);
    game.gs->EventTbl[0].name = "国内";
    const Bytes saved = WriteSavedGame(*game.gs, game.map);
    Game back;
    ASSERT_TRUE(back.Load(saved).loaded);
    EXPECT_EQ(back.gs->ScenarioTitle, "战国");
    EXPECT_EQ(back.gs->LabelTbl[0].text, "长江");
    EXPECT_EQ(back.gs->EventTbl[0].name, "国内");
    EXPECT_TRUE(WriteSavedGame(*back.gs, back.map) == saved);
}

// ---- Refused files -----------------------------------------------------------------------------------

// The running game is a loaded one; every bad file must leave it and its map as they are.
class RefusedSave : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        good_ = new Bytes(RunAndSave(*dir_, 1, "--spectator"));
        running_ = new Bytes(RunAndSave(*dir_, 3, "--house D_ODA"));
    }
    static void TearDownTestSuite() {
        delete dir_;
        delete good_;
        delete running_;
    }
    void SetUp() override {
        ASSERT_TRUE(game_.Load(*running_).loaded);
        hash_ = StateHash(*game_.gs);
        mapBytes_ = game_.MapBytes();
    }
    // Loads bytes into the running game; they must be refused with a message and change nothing.
    void ExpectRefused(const Bytes& bytes, const std::string& what) {
        const SavedGameLoad r = game_.Load(bytes);
        EXPECT_FALSE(r.loaded) << what;
        EXPECT_FALSE(r.message.empty()) << what;
        EXPECT_EQ(StateHash(*game_.gs), hash_) << what;
        EXPECT_TRUE(game_.MapBytes() == mapBytes_) << what;
    }
    // Where the tables start: after the signature and the map.
    static std::size_t TablesStart() {
        Game g;
        EXPECT_TRUE(g.Load(*good_).loaded);
        return kSavedGameSignatureSize + g.MapBytes().size();
    }

    static TempDir* dir_;
    static Bytes* good_;
    static Bytes* running_;
    Game game_;
    std::string hash_;
    Bytes mapBytes_;
};
TempDir* RefusedSave::dir_ = nullptr;
Bytes* RefusedSave::good_ = nullptr;
Bytes* RefusedSave::running_ = nullptr;

TEST_F(RefusedSave, EveryTruncatedPrefix) {
    const Bytes& good = *good_;
    const std::size_t start = TablesStart();
    std::vector<std::size_t> cuts;
    for (std::size_t n = 0; n < 48; ++n)
        cuts.push_back(n);  // the signature and the map's head
    for (std::size_t n = start - 4; n < start + 64; ++n)
        cuts.push_back(n);  // the end of the map and the head of the tables
    for (std::size_t n = start; n < good.size(); n += 7919)
        cuts.push_back(n);  // a stride through the tables
    for (std::size_t n = good.size() > 160 ? good.size() - 160 : 0; n < good.size(); ++n)
        cuts.push_back(n);  // the trailing blocks
    for (std::size_t n : cuts) {
        ExpectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)),
                      "cut at " + std::to_string(n));
        if (HasFailure()) break;
    }
    Bytes longer = good;
    longer.push_back(0);
    ExpectRefused(longer, "one byte more");
}

TEST_F(RefusedSave, EverySingleByteChangeOfTheSignature) {
    for (std::size_t i = 0; i < kSavedGameSignatureSize; ++i) {
        for (std::uint8_t flip : {0x01, 0x20, 0xFF}) {
            Bytes bad = *good_;
            bad[i] ^= flip;
            // "1.16" -> "1.06" names another readable layout: refused by its content.
            ExpectRefused(bad, "signature byte " + std::to_string(i) + " ^ " + std::to_string(flip));
        }
        if (HasFailure()) break;
    }
}

// Offsets of the stored counts, found as the first byte that changes when a count changes.
TEST_F(RefusedSave, EverySingleByteChangeOfTheCounts) {
    Game g;
    ASSERT_TRUE(g.Load(*good_).loaded);
    const std::size_t start = TablesStart();
    ArchiveWriter base;
    WriteSavedGameTables(*g.gs, base);
    using Change = void (*)(GameState&);
    const std::vector<std::pair<const char*, Change>> counts = {
        {"labels", [](GameState& s) { ++s.nLabel; }},
        {"events", [](GameState& s) { ++s.nEvent; }},
        {"houses", [](GameState& s) { ++s.nScenarioDaimyou; }},
        {"houses in play", [](GameState& s) { ++s.nDaimyou; }},
        {"general records", [](GameState& s) { ++s.nBushouEx; }},
        {"castle types", [](GameState& s) { ++s.nShiroType; }},
        {"castles", [](GameState& s) { ++s.nShiro; }},
        {"generals", [](GameState& s) { ++s.nBushou; }},
        {"generals not yet appeared", [](GameState& s) { ++s.nMitoujouBushou; }},
        {"trade partners", [](GameState& s) { ++s.nTradingPartner; }},
        {"coalitions", [](GameState& s) { ++s.nRengou; }},
        {"musket sources", [](GameState& s) { ++s.nTeppouKounyuu; }},
        {"route points", [](GameState& s) { ++s.nRoutePoint; }},
        {"route headers", [](GameState& s) { s.ShiroRouteRects.emplace_back(); }},
        {"texts", [](GameState& s) { s.ScenarioTextPool.emplace_back(); }},
        {"conditional events", [](GameState& s) { s.ConditionalEventArray.emplace_back(); }},
        {"exclusions", [](GameState& s) { s.ExclusionList.push_back(0); }},
    };
    for (const auto& [name, change] : counts) {
        auto changed = std::make_unique<GameState>(*g.gs);
        change(*changed);
        ArchiveWriter out;
        WriteSavedGameTables(*changed, out);
        std::size_t at = 0;
        while (at < base.Size() && at < out.Size() && base.Data()[at] == out.Data()[at])
            ++at;
        ASSERT_LT(at, base.Size()) << name;
        at += start;  // adding 1 changes the count's low byte, its first
        for (std::size_t b = at; b < at + 4; ++b)
            for (std::uint8_t flip : {0x01, 0x40, 0xFF}) {
                Bytes bad = *good_;
                bad[b] ^= flip;
                ExpectRefused(bad, std::string(name) + " byte " + std::to_string(b - at));
            }
        if (HasFailure()) break;
    }
}

TEST_F(RefusedSave, VersionsOutsideTheReadOnes) {
    for (const char* text : {"RYUUMONDEN LV 0.99", "RYUUMONDEN LV 1.10", "RYUUMONDEN LV 1.17",
                             "RYUUMONDEN 1.16", "ryuumonden lv 1.16", "RYUUMONDEN LV"}) {
        Bytes bad = *good_;
        std::fill(bad.begin(), bad.begin() + kSavedGameSignatureSize, 0);
        std::copy(text, text + std::strlen(text), bad.begin());
        const SavedGameLoad r = game_.Load(bad);
        EXPECT_FALSE(r.loaded) << text;
        ExpectRefused(bad, text);
    }
    Bytes v117 = *good_;
    v117[17] = '7';
    EXPECT_EQ(game_.Load(v117).message, kMsgSaveVersionRefused);
}

TEST_F(RefusedSave, AMapWithMoreProvincesThanTheTablesHold) {
    const std::size_t start = TablesStart();
    MbKorMap::KorMapData map = kormap_fixture::MakeRyuumondenCountry();
    while (map.kuni.size() < 250)
        map.kuni.push_back(kormap_fixture::Kuni("K" + std::to_string(map.kuni.size()), "kuni", 0));
    ArchiveWriter out;
    out.WriteBytes(good_->data(), kSavedGameSignatureSize);
    MbKorMap::WriteKorMap(out, map);
    out.WriteBytes(good_->data() + start, good_->size() - start);
    const SavedGameLoad r = game_.Load(out.Data());
    EXPECT_NE(r.detail.find("provinces"), std::string::npos) << r.detail;
    ExpectRefused(out.Data(), "250 provinces");
}

// Every stored value must lie where the game can hold it: a file with one value outside its range
// is refused whole, naming the value; the values at the ends of each range load and save back
// byte for byte.
struct ValueCase {
    const char* what;
    std::function<void(GameState&)> change;
    const char* refusal;  // in the detail of the refusal; "" for a value that loads
};

TEST_F(RefusedSave, AValueOutsideItsRange) {
    const ValueCase cases[] = {
        {"castle size 128", [](GameState& s) { s.ShiroTbl[0].kibo = 128; }, "castle 0: size 128 (0..10)"},
        {"castle size 11", [](GameState& s) { s.ShiroTbl[3].kibo = 11; }, "castle 3: size 11"},
        {"largest castle size 11", [](GameState& s) { s.ShiroMapTbl[1].maxKibo = 11; }, "castle geography"},
        {"castle support 1001", [](GameState& s) { s.ShiroTbl[2].support = 1001; }, "castle 2: support 1001"},
        {"castle support -1", [](GameState& s) { s.ShiroTbl[2].support = -1; }, "castle 2: support -1"},
        {"snapshot support 1001", [](GameState& s) { s.ShiroSnapTbl[4].support = 1001; },
         "castle snapshot 4: support 1001"},
        {"harvest rate 10001", [](GameState& s) { s.ShiroTbl[0].harvestRate = 10001; }, "harvest rate 10001"},
        {"harvest rate -1", [](GameState& s) { s.ShiroTbl[0].harvestRate = -1; }, "harvest rate -1"},
        {"trade ships 101", [](GameState& s) { s.ShiroTbl[0].kouekisen = 101; }, "trade ships 101"},
        {"general valour 11", [](GameState& s) { s.BushouTbl[2].buyuu = 11; }, "general 2: valour 11"},
        {"general loyalty 255", [](GameState& s) { s.BushouTbl[5].chuusei = 255; }, "general 5: loyalty 255"},
        {"general naval command 11", [](GameState& s) { s.BushouTbl[0].suigunTousotsu = 11; },
         "naval command 11"},
        {"waiting general intellect 11", [](GameState& s) { s.MitoujouBushouTbl[0].chibou = 11; },
         "general not yet appeared 0: intellect 11"},
        {"general record ambition 200", [](GameState& s) { s.BushouExTbl[7].yashin = 200; },
         "general record 7: ambition 200"},
        {"general status 4", [](GameState& s) { s.BushouTbl[3].status = 4; }, "general 3: status 4"},
        {"waiting general status 255", [](GameState& s) { s.MitoujouBushouTbl[1].status = 255; },
         "general not yet appeared 1: status 255"},
        {"house bond 3", [](GameState& s) { s.DaimyouTbl[1].bond = 3; }, "house 1: bond 3"},
        {"relation state 11", [](GameState& s) { s.DaimyouTbl[2].SetRelationLo(999, 11); },
         "house 2: relation state 11"},
        {"house kind 3", [](GameState& s) { s.DaimyouTbl[1].kindByte = 0x03; }, "house 1: kind 3"},
        {"house behaviour 3", [](GameState& s) { s.DaimyouTbl[1].kindByte = 0x31; }, "house 1: behaviour 3"},
        {"scenario house kind 7", [](GameState& s) { s.DaimyouInitTbl[2].kindByte = 0x07; },
         "house scenario records"},
        {"musket tendency 101", [](GameState& s) { s.DaimyouInitTbl[0].teppouTendency = 101; },
         "musket tendency 101"},
        {"warship tendency 11", [](GameState& s) { s.DaimyouInitTbl[0].gunsenTendency = 11; },
         "warship tendency 11"},
        {"mining technology 5001", [](GameState& s) { s.DaimyouInitTbl[0].kouzanGijutsu = 5001; },
         "mining technology 5001"},
        {"start year 0", [](GameState& s) { s.nStartYear = 0; }, "start year 0"},
        {"start year 10000", [](GameState& s) { s.nStartYear = 10000; }, "start year 10000"},
        {"provisions per size 0", [](GameState& s) { s.nShiroHyourouMax = 0; },
         "provisions per castle size 0"},
        {"distance limit 0", [](GameState& s) { s.nDistanceLimit = 9; }, "distance limit 0"},
        {"trade ship price 0", [](GameState& s) { s.nKouekisenPrice = 0; }, "trade ship price 0"},
        {"warship price -5", [](GameState& s) { s.nGunsenPrice = -5; }, "warship price -5"},
        {"surprise attacks 2", [](GameState& s) { s.nKishuu = 2; }, "surprise attacks 2"},
        {"road cost -1", [](GameState& s) { s.RoadCost[2] = -1; }, "road cost -1"},
        {"road cost 32768", [](GameState& s) { s.RoadCost[3] = 32768; }, "road cost 32768"},
        {"musket effect 101", [](GameState& s) { s.TeppouKouka[3] = 101; }, "musket effect 101"},
        {"musket cost not a number",
         [](GameState& s) { s.TeppouCost[3] = std::numeric_limits<double>::quiet_NaN(); }, "not a number"},
        {"equipment rate infinite",
         [](GameState& s) { s.TeppouSoubiRitsu[1] = std::numeric_limits<double>::infinity(); },
         "not a number"},
        // The ends of the ranges.
        {"sizes 0 and 10",
         [](GameState& s) {
             s.ShiroTbl[0].kibo = 10;
             s.ShiroMapTbl[0].maxKibo = 10;
             s.ShiroTbl[1].kibo = 0;
             s.ShiroMapTbl[1].maxKibo = 0;
         },
         ""},
        {"support, harvest and ships at their ends",
         [](GameState& s) {
             s.ShiroTbl[0].support = 1000;
             s.ShiroTbl[1].support = 0;
             s.ShiroTbl[0].harvestRate = 10000;
             s.ShiroTbl[1].harvestRate = 0;
             s.ShiroTbl[0].kouekisen = 100;
         },
         ""},
        {"abilities 0 and 10",
         [](GameState& s) {
             s.BushouTbl[0].buyuu = 10;
             s.BushouTbl[0].chuusei = 0;
             s.BushouExTbl[0].yashin = 10;
             s.MitoujouBushouTbl[0].seiji = 10;
         },
         ""},
        {"house at its ends",
         [](GameState& s) {
             s.DaimyouTbl[1].bond = 2;
             s.DaimyouTbl[1].relation[998] = 0xF0 | CDaimyou::kRelRengouLeader;
             s.BushouTbl[1].status = CBushou::kStatusKyakushou;
             s.DaimyouTbl[1].kindByte = 0xAA;  // kind 2, unattackable, behaviour 2, not for the player
             s.DaimyouInitTbl[0].teppouTendency = 100;
             s.DaimyouInitTbl[0].gunsenTendency = 10;
             s.DaimyouInitTbl[0].kouzanGijutsu = 5000;
         },
         ""},
        {"settings at their ends",
         [](GameState& s) {
             s.nStartYear = -9999;
             s.nShiroHyourouMax = 1;
             s.nDistanceLimit = std::numeric_limits<int>::max() / 10 * 10;
             s.nKouekisenPrice = 1;
             s.nGunsenPrice = std::numeric_limits<int>::max();
             s.nKishuu = 0;
             s.RoadCost = {0, 32767, 0, 32767};
             s.TeppouKouka = {0, 100, 0, 100};
         },
         ""},
        {"start year 9999 and distance limit 10",
         [](GameState& s) {
             s.nStartYear = 9999;
             s.nDistanceLimit = 10;
         },
         ""},
    };
    for (const ValueCase& c : cases) {
        Game g;
        ASSERT_TRUE(g.Load(*running_).loaded);
        ASSERT_GT(g.gs->nMitoujouBushou, 0);
        c.change(*g.gs);
        const Bytes bytes = WriteSavedGame(*g.gs, g.map);
        if (*c.refusal == '\0') {
            Game back;
            const SavedGameLoad r = back.Load(bytes);
            ASSERT_TRUE(r.loaded) << c.what << ": " << r.detail;
            EXPECT_TRUE(WriteSavedGame(*back.gs, back.map) == bytes) << c.what;
            continue;
        }
        const SavedGameLoad r = game_.Load(bytes);
        EXPECT_EQ(r.message, kMsgSaveDataBroken) << c.what;
        EXPECT_NE(r.detail.find(c.refusal), std::string::npos) << c.what << ": " << r.detail;
        ExpectRefused(bytes, c.what);
    }
}

// The distance limit is kept in tens; a stored value whose tenfold no int holds (the fuzzer's
// 454628879) is refused before it is multiplied.
TEST_F(RefusedSave, ADistanceLimitWhoseTenfoldDoesNotFit) {
    Game g;
    ASSERT_TRUE(g.Load(*running_).loaded);
    const int largest = std::numeric_limits<int>::max() / 10;
    for (const std::int32_t stored :
         {454628879, largest + 1, -1, -454628879, std::numeric_limits<int>::min()}) {
        const Bytes bytes = test::SaveWithStoredDistanceLimit(*g.gs, g.map, stored);
        const SavedGameLoad r = game_.Load(bytes);
        EXPECT_NE(r.detail.find("distance limit"), std::string::npos) << stored << ": " << r.detail;
        ExpectRefused(bytes, "stored distance limit " + std::to_string(stored));
    }
    Game back;
    ASSERT_TRUE(back.Load(test::SaveWithStoredDistanceLimit(*g.gs, g.map, largest)).loaded);
    EXPECT_EQ(back.gs->nDistanceLimit, largest * 10);
}

TEST_F(RefusedSave, EmptyFileMissingFileAndFolder) {
    ExpectRefused({}, "empty");
    const std::string empty = *dir_ / "empty.rsd";
    std::ofstream(empty).close();
    for (const std::string& path : {empty, *dir_ / "missing.rsd", dir_->path.string()}) {
        const SavedGameLoad r = LoadSavedGameFile(path, *game_.gs, game_.map, 0);
        EXPECT_FALSE(r.loaded) << path;
        EXPECT_FALSE(r.message.empty()) << path;
        EXPECT_TRUE(r.folder.empty()) << path;
        EXPECT_EQ(StateHash(*game_.gs), hash_);
        EXPECT_TRUE(game_.MapBytes() == mapBytes_);
        const CliOutcome o = RunCliKeepingErrors("load " + path);
        EXPECT_NE(o.status, 0) << path;
        EXPECT_NE(o.err.find(path), std::string::npos) << o.err;
    }
}

TEST_F(RefusedSave, ToolExitsWithAMessageForACutFile) {
    const std::string cut = *dir_ / "cut.rsd";
    Put(cut, *good_, good_->size() / 2);
    const CliOutcome o = RunCliKeepingErrors("load " + cut + " --dump -");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(o.out.empty());
    EXPECT_NE(o.err.find(kMsgSaveDataBroken), std::string::npos) << o.err;
}

// A save that cannot be written whole (here: the file size limit of the process, as a full disk
// would) fails and leaves the old save as it was, with no temporary file beside it.
TEST_F(RefusedSave, AFailedWriteLeavesTheOldSaveWhole) {
    const std::string old = *dir_ / "old.rsd";
    Put(old, *running_, running_->size());
    const std::string source = *dir_ / "source.rsd";
    Put(source, *good_, good_->size());
    const std::string cmd = "sh -c \"trap '' XFSZ; ulimit -f 64; exec " + std::string(RYMD_CLI) + " load " +
                            source + " --save " + old + "\" 2>/dev/null";
    const int status = std::system(cmd.c_str());
    EXPECT_NE(status, 0);
    EXPECT_TRUE(ReadAll(old) == *running_);
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_->path))
        files += e.path().filename().string().rfind("old.rsd", 0) == 0;
    EXPECT_EQ(files, 1);
}

// The player's house falls and he watches on; the game saved after it and loaded again goes on
// being watched, in the game as the window makes it and in the tool, without the question again.
TEST(SavedGame, AGameWhoseHouseFellAndIsWatchedOnIsNotAskedAgainAfterALoad) {
    TempDir dir;
    Game fell;
    ASSERT_TRUE(fell.Load(RunAndSave(dir, 0, "--house D_ODA")).loaded);
    GameState& gs = *fell.gs;
    const int oda = gs.nPlayerDaimyou;
    HandOverHouse(gs, oda, oda == 0 ? 1 : 0);
    gs.nPhase = kPhaseShutsujin;
    ScriptedPort asked;
    asked.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
    asked.PushYes();
    {
        CMainGame game(gs, fell.map, asked.AsPorts());
        ASSERT_EQ(game.EndShutsujinPhase(), TurnResult::kContinue);
    }
    ASSERT_FALSE(HouseExists(gs, oda));
    ASSERT_EQ(asked.CallsOf(PortCallKind::AskYesNo).size(), 1u);
    const Bytes saved = WriteSavedGame(gs, fell.map);

    // Six phase ends a month, from the personnel phase to the next month's.
    Game loaded;
    ASSERT_TRUE(loaded.Load(saved).loaded);
    ScriptedPort port;  // no answer is scripted: a question fails the test
    port.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
    CMainGame game(*loaded.gs, loaded.map, port.AsPorts());
    const int month = loaded.gs->nCurMonth;
    for (int step = 0; step < 12; ++step)
        ASSERT_EQ(game.EndCurrentPhase(), TurnResult::kContinue) << "step " << step;
    EXPECT_EQ(loaded.gs->nCurMonth, month + 2);
    EXPECT_TRUE(port.CallsOf(PortCallKind::AskYesNo).empty());

    Put(dir / "fallen.rsd", saved, saved.size());
    const CliOutcome o = RunCliKeepingErrors("load " + (dir / "fallen.rsd") + " --months 2 --check");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err.find(kFallenHouseQuestion), std::string::npos) << o.err;
}

}  // namespace
}  // namespace rymd::test
