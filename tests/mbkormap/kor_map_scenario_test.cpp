// The scenario reader loads real map files through the province map library.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "game/ports/ports.h"
#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "support/kor_map_fixture.h"

namespace {

using namespace kormap_fixture;

class ScenarioFolder {
public:
    ScenarioFolder() {
        dir_ = std::filesystem::temp_directory_path() / ("kormap_scenario_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    ~ScenarioFolder() { std::filesystem::remove_all(dir_); }
    std::string Put(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const std::string path = (dir_ / name).string();
        rymd::WriteFileAtomic(path, bytes);
        return path;
    }
    std::string PutText(const std::string& name, const std::string& utf8) const {
        const std::string b = rymd::FromUtf8(utf8, rymd::TextEncoding::ShiftJis);
        return Put(name, std::vector<std::uint8_t>(b.begin(), b.end()));
    }

private:
    std::filesystem::path dir_;
};

struct ScenarioRun {
    std::unique_ptr<rymd::GameState> gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    rymd::Ports ports = rymd::SilentPort::Instance().AsPorts();
    int Read(const std::string& path) {
        rymd::CScenarioReader reader(*gs, map, ports, "/nonexistent/");
        return reader.ReadScenarioFile(path).Code();
    }
};

TEST(KorMapScenario, MapFileLoadsAMapOfEitherFormatAndItsProvincesAreNamed) {
    ScenarioFolder folder;
    folder.Put("v1.map", WriteKorMapVersion(MakeCountry(), 1));
    folder.Put("r.map", WriteRyuumondenVersion(MakeRyuumondenCountry(), 2));
    for (const char* file : {"v1.map", "r.map"}) {
        ScenarioRun run;
        const std::string scn =
            folder.PutText("s.snr", std::string("MapFile : ") + file +
                                        "\nKuniArea {\nK_MINO : 3 : 10 : 20 : 100 : 200\n}\n");
        ASSERT_EQ(run.Read(scn), rymd::kScnOk) << file;
        EXPECT_EQ(run.gs->nKuni, 4);
        EXPECT_EQ(run.gs->nChiiki, 2);
        EXPECT_EQ(run.gs->KuniAreaTbl[1].type, 3);
        // The game's calling order after a load: the relief is a land mask, the textures are set up.
        EXPECT_LE(run.map.ElvMap().GetElevation(20, 15), 1);
        EXPECT_EQ(run.map.ElvMap().GetTextureCount(), static_cast<int>(run.map.Data().textureSets.size()));
    }
}

TEST(KorMapScenario, BadOrOversizedMapsAreRefusedAndThePreviousMapStays) {
    ScenarioFolder folder;
    auto bad = WriteKorMapVersion(MakeCountry(), 4);
    bad[7] = 9;  // version 9
    folder.Put("bad.map", bad);
    KorMapData big = MakeCountry();
    while (big.kuni.size() < 250)
        big.kuni.push_back(Kuni("K" + std::to_string(big.kuni.size()), "x", 0));
    folder.Put("big.map", WriteKorMapVersion(big, 4));
    folder.Put("good.map", WriteKorMapVersion(MakeCountry(), 4));
    struct Case {
        const char* file;
        int code;
    } cases[] = {{"bad.map", rymd::kScnMapBad},
                 {"big.map", rymd::kScnMapTooManyKuni},
                 {"none.map", rymd::kScnMapNotFound}};
    for (const Case& c : cases) {
        ScenarioRun run;
        ASSERT_EQ(run.Read(folder.PutText("a.snr", "MapFile : good.map\n")), rymd::kScnOk);
        EXPECT_EQ(run.Read(folder.PutText("b.snr", std::string("MapFile : ") + c.file + "\n")), c.code)
            << c.file;
        EXPECT_EQ(run.map.KuniCount(), 4) << c.file;
        EXPECT_EQ(run.map.Kuni(1).id, "K_MINO");
    }
}

}  // namespace
