// A test that runs the main game window: a program folder of its own in a temporary folder with
// the bundled map, a settings file there with the window's place, and the program's context.
// Include it after the rules' headers (the window layer's Qt headers define "slots").
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "game/shell/app/app_context.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/turn/new_game.h"
#include "gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "platform/qt/app.h"

namespace rymd::gui_test {

class MainWindowTest : public GuiTest {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        GuiTest::SetUp();
        const std::string suite = ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name();
        root_ = fs::temp_directory_path() / ("rymd_" + suite + "_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "prog");
        ui::Profile::UseFile((root_ / "profile.ini").string());
        program_ = (root_ / "prog").string() + "/";
        fs::copy_file(std::string(RYMD_SOURCE_DIR) + "/data/default.smp", program_ + "default.smp");
        app_.programFolder = program_;
        app_.korMap = &map_;
        app_.settings.SetLocation(program_, program_);
        shell::PictureStore().SetFolder(shell::FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
        ui::Profile::WriteProfileInt("Window", "Left", 0);
        ui::Profile::WriteProfileInt("Window", "Top", 0);
        ui::Profile::WriteProfileInt("Window", "Right", 1100);
        ui::Profile::WriteProfileInt("Window", "Bottom", 860);
    }
    // A new game of the bundled scenario for the Oda house, from this test's program folder.
    NewGameRequest BundledOdaGame(std::uint32_t seed) const {
        NewGameRequest request;
        request.scenarioPath = std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";
        request.programFolder = program_;
        request.seed = seed;
        request.house = "D_ODA";
        return request;
    }
    void TearDown() override {
        GuiTest::TearDown();
        ui::Profile::UseFile("");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    std::filesystem::path root_;
    std::string program_;
    MbKorMap::CCtrlKorMap map_;
    shell::AppContext app_;
};

}  // namespace rymd::gui_test
