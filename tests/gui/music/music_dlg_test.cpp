// The music settings dialog: the check boxes and paths it starts from, the file buttons, the
// clear button, the standard-song box greying the five controls of the player's own files, the
// missing-song note, and what OK and Cancel do to the music and the profile. Gallery pictures at
// 100 % and 200 %.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "game/shell/music/music_dlg.h"
#include "gui/gui_test_util.h"
#include "gui/recording_music_backend.h"
#include "platform/qt/controls.h"

namespace rymd::gui_test {
namespace {

using shell::MusicPlayer;

constexpr int kOwnFileControls[] = {CBgmSettingDlg::kNormalButtonId, CBgmSettingDlg::kBattleButtonId,
                                    CBgmSettingDlg::kClearId, CBgmSettingDlg::kNormalPathId,
                                    CBgmSettingDlg::kBattlePathId};

class MusicDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        dir_ = std::filesystem::temp_directory_path() / ("rymd_music_dlg_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        program_ = dir_.string() + "/";
        ui::Profile::UseFile((dir_ / "profile.ini").string());
        player_.Places().programFolder = program_;
    }
    void TearDown() override {
        ui::Profile::UseFile("");
        GuiTest::TearDown();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string Put(const std::string& name) {
        std::ofstream(program_ + name) << "music";
        return program_ + name;
    }
    static ui::Button& Check(ui::Dialog& d, int id) { return dynamic_cast<ui::Button&>(*d.GetDlgItem(id)); }
    // Pixels of a colour in a grabbed control.
    static int CountColour(ui::Wnd& w, ui::COLORREF c) {
        const QImage shot = ui::test::Grab(w);
        int n = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                n += ui::test::PixelAt(shot, x, y) == c;
        return n;
    }

    std::filesystem::path dir_;
    std::string program_;
    RecordingMusicBackend backend_;
    MusicPlayer player_{backend_};
};

TEST_F(MusicDlgTest, StartsFromTheSettingsAndGreysTheOwnFilesWithTheStandardSong) {
    player_.Settings().normal = "/music/normal.mid";
    player_.Settings().battle = "/music/battle.mp3";
    player_.Settings().off = true;
    player_.Settings().useScenario = false;
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "BGMの設定");
        EXPECT_EQ(Check(d, CBgmSettingDlg::kNoBgmId).GetCheck(), ui::BST_CHECKED);
        EXPECT_EQ(Check(d, CBgmSettingDlg::kDefaultId).GetCheck(), ui::BST_CHECKED);
        EXPECT_EQ(Check(d, CBgmSettingDlg::kUseScenarioId).GetCheck(), ui::BST_UNCHECKED);
        EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kNormalPathId)->GetWindowText(), "/music/normal.mid");
        EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kBattlePathId)->GetWindowText(), "/music/battle.mp3");
        ui::Wnd& path = *d.GetDlgItem(CBgmSettingDlg::kNormalPathId);
        for (int id : kOwnFileControls)
            EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
        // Greyed text: the path is drawn in the grey-text colour, no pixel of it black.
        EXPECT_GT(CountColour(path, ui::GetSysColor(ui::COLOR_GRAYTEXT)), 0);
        EXPECT_EQ(CountColour(path, ui::RGB(0, 0, 0)), 0);

        // Unchecking the standard song enables all five at once, checking greys them again.
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kDefaultId));
        for (int id : kOwnFileControls)
            EXPECT_TRUE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
        EXPECT_GT(CountColour(path, ui::RGB(0, 0, 0)), 0);
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kDefaultId));
        for (int id : kOwnFileControls)
            EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
        // The no-music box greys nothing.
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNoBgmId));
        EXPECT_TRUE(d.GetDlgItem(CBgmSettingDlg::kDefaultId)->IsWindowEnabled());
        EXPECT_TRUE(d.GetDlgItem(CBgmSettingDlg::kUseScenarioId)->IsWindowEnabled());
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_FALSE(shell::RunMusicSettings(player_, nullptr, nullptr));
    EXPECT_TRUE(player_.Settings().off);  // Cancel keeps everything
}

TEST_F(MusicDlgTest, TheMissingSongNoteShowsOnlyWithoutTheStandardSong) {
    for (bool present : {false, true}) {
        if (present) Put(shell::kStandardSongName);
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kMissingSongId)->IsWindowVisible(), !present);
            d.EndDialog(ui::IDCANCEL);
        });
        CBgmSettingDlg dlg(program_);
        dlg.DoModal();
    }
}

TEST_F(MusicDlgTest, FileButtonsChooseAndClearEmptiesBothPaths) {
    player_.Settings().useDefault = false;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CBgmSettingDlg&>(d);
        Script().ChooseFile(std::string("/music/dusk.mp3"));
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNormalButtonId));
        Script().ChooseFile(std::string("/music/war.wma"));
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kBattleButtonId));
        Script().ChooseFile(std::nullopt);  // cancelled: the path stays
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kBattleButtonId));
        EXPECT_EQ(dlg.m_strNormal, "/music/dusk.mp3");
        EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kNormalPathId)->GetWindowText(), "/music/dusk.mp3");
        EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kBattlePathId)->GetWindowText(), "/music/war.wma");
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kClearId));
        EXPECT_EQ(dlg.m_strNormal, "");
        EXPECT_EQ(dlg.m_strBattle, "");
        EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kNormalPathId)->GetWindowText(), "");
        EXPECT_EQ(d.GetDlgItem(CBgmSettingDlg::kBattlePathId)->GetWindowText(), "");
        Script().ChooseFile(std::string("/music/dusk.mp3"));
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNormalButtonId));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    bool saved = false;
    EXPECT_TRUE(shell::RunMusicSettings(player_, nullptr, [&](bool) { saved = true; }));
    EXPECT_TRUE(saved);
    EXPECT_EQ(player_.Settings().normal, "/music/dusk.mp3");
    EXPECT_EQ(player_.Settings().battle, "");
    EXPECT_EQ(ui::Profile::GetProfileString("Settings", "MusicNormal"), "/music/dusk.mp3");
    EXPECT_EQ(ui::Profile::GetProfileInt("Settings", "MusicDefault", 1), 0);
}

TEST_F(MusicDlgTest, OkWithoutAChangeLeavesTheMusicAlone) {
    player_.PlayBgm(MusicPlayer::kNormal);
    backend_.calls.clear();
    Script().Click(ui::IDOK);
    bool saved = false;
    EXPECT_FALSE(shell::RunMusicSettings(player_, nullptr, [&](bool) { saved = true; }));
    EXPECT_TRUE(backend_.calls.empty());
    EXPECT_FALSE(saved);
    EXPECT_EQ(ui::Profile::GetProfileString("Settings", "MusicNormal", "unwritten"), "unwritten");
}

TEST_F(MusicDlgTest, ANewNormalFileRestartsTheBattlePieceAndIsStored) {
    const std::string battle = Put("battle.mp3");
    player_.Settings().useDefault = false;
    player_.Settings().battle = battle;
    player_.PlayBgm(MusicPlayer::kBattle);
    backend_.calls.clear();
    Script().OnDialog([&](ui::Dialog& d) {
        Script().ChooseFile(Put("normal.mid"));
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNormalButtonId));
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNoBgmId));  // and then on again
        EXPECT_TRUE(ui::test::ClickControl(d, CBgmSettingDlg::kNoBgmId));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    std::vector<bool> switches;
    EXPECT_TRUE(shell::RunMusicSettings(player_, nullptr, [&](bool off) { switches.push_back(off); }));
    EXPECT_EQ(backend_.calls, (std::vector<std::string>{"stop", "play " + battle + " stream"}));
    EXPECT_EQ(player_.Situation(), MusicPlayer::kBattle);
    EXPECT_EQ(switches, std::vector<bool>{false});
    EXPECT_EQ(ui::Profile::GetProfileString("Settings", "MusicNormal"), program_ + "normal.mid");
    EXPECT_EQ(ui::Profile::GetProfileString("Settings", "MusicBattle"), battle);
    EXPECT_EQ(ui::Profile::GetProfileInt("Settings", "MusicUseScenarioSetting", -1), 1);

    // Read back as the program reads them at start-up.
    shell::MusicSettings loaded;
    loaded.useDefault = true;
    shell::LoadMusicProfile(loaded);
    EXPECT_EQ(loaded.normal, program_ + "normal.mid");
    EXPECT_FALSE(loaded.useDefault);
    EXPECT_TRUE(loaded.useScenario);
}

TEST_F(MusicDlgTest, Gallery) {
    for (bool ownFiles : {false, true}) {
        Script().OnDialog([&](ui::Dialog& d) {
            const std::string name = ownFiles ? "music_dialog_own_files" : "music_dialog";
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name)));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name + "@2x"), 2.0));
            d.EndDialog(ui::IDCANCEL);
        });
        if (ownFiles) Put(shell::kStandardSongName);  // the first picture with the note, the second without
        CBgmSettingDlg dlg(program_);
        dlg.m_bDefault = !ownFiles;
        dlg.m_bUseScenario = 1;
        if (ownFiles) {
            dlg.m_strNormal = "/home/player/music/夕暮れの城.mid";
            dlg.m_strBattle = "/home/player/music/決戦.mp3";
        }
        dlg.DoModal();
    }
}

}  // namespace
}  // namespace rymd::gui_test
