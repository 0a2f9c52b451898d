// The music player over the recording backend: which file each situation plays (standard song,
// own files, the scenario's file and where it is found), when a piece starts, restarts or goes
// on, MIDI slots, music off, and the settings applied as the music settings dialog applies them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/shell/music/music_player.h"
#include "game/shell/port/qt_port.h"
#include "gui/recording_music_backend.h"

namespace rymd::gui_test {
namespace {

using shell::MusicPlayer;
using shell::MusicSettings;

// Folders of a program, a scenario, a saved game and the player's own music, with files in them.
class MusicFolders {
public:
    MusicFolders() {
        root_ = std::filesystem::temp_directory_path() / ("rymd_music_" + std::to_string(getpid()));
        for (const char* d : {"program", "scenario", "save", "own"})
            std::filesystem::create_directories(root_ / d);
    }
    ~MusicFolders() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::string Folder(const std::string& name) const { return (root_ / name).string() + "/"; }
    std::string Put(const std::string& folder, const std::string& file) const {
        const std::string path = Folder(folder) + file;
        std::ofstream(path) << "music";
        return path;
    }

private:
    std::filesystem::path root_;
};

class MusicPlayerTest : public ::testing::Test {
protected:
    MusicPlayerTest() : player_(backend_) {
        player_.Places().programFolder = files_.Folder("program");
        song_ = files_.Put("program", shell::kStandardSongName);
    }
    MusicSettings Own(const std::string& normal, const std::string& battle) {
        MusicSettings s;
        s.useDefault = false;
        s.normal = normal;
        s.battle = battle;
        return s;
    }
    std::pair<std::string, std::string> Resolved() const {
        std::pair<std::string, std::string> r;
        player_.ResolveBgmFiles(r.first, r.second);
        return r;
    }

    MusicFolders files_;
    RecordingMusicBackend backend_;
    MusicPlayer player_;
    std::string song_;
};

TEST_F(MusicPlayerTest, ResolvesTheFilesOfBothSituations) {
    const std::string own = files_.Folder("own");
    const std::string scen = files_.Folder("scenario");
    const std::string save = files_.Folder("save");
    const std::string prog = files_.Folder("program");
    files_.Put("scenario", "here.mid");
    files_.Put("save", "saved.mp3");
    files_.Put("program", "saved.mp3");  // the game folder comes first
    files_.Put("program", "beside.wma");

    struct Case {
        const char* name;
        bool useDefault;
        bool useScenario;
        std::string scenarioNormal, scenarioBattle, gameFolder;
        std::string normal, battle;  // expected
    };
    const std::vector<Case> cases = {
        {"standard song for both", true, true, "", "", "", song_, song_},
        {"own files", false, true, "", "", "", own + "n.mid", own + "b.mp3"},
        {"scenario file where it is", true, true, scen + "here.mid", "", "", scen + "here.mid", song_},
        {"missing, found in the game folder", true, true, "", scen + "saved.mp3", save, song_,
         save + "saved.mp3"},
        {"missing, no game folder: the program folder", true, true, "", scen + "saved.mp3", "", song_,
         prog + "saved.mp3"},
        {"missing, found in the program folder", false, true, scen + "beside.wma", "", save,
         prog + "beside.wma", own + "b.mp3"},
        {"a folder written with backslashes", true, true, "C:\\BGM\\beside.wma", "", "", prog + "beside.wma",
         song_},
        {"missing everywhere: the earlier choice", false, true, scen + "gone.mid", scen + "gone.mp3", save,
         own + "n.mid", own + "b.mp3"},
        {"scenario not followed", true, false, scen + "here.mid", scen + "here.mid", "", song_, song_},
    };
    for (const Case& c : cases) {
        MusicSettings s = Own(own + "n.mid", own + "b.mp3");
        s.useDefault = c.useDefault;
        s.useScenario = c.useScenario;
        player_.Settings() = s;
        player_.Places().scenarioNormal = c.scenarioNormal;
        player_.Places().scenarioBattle = c.scenarioBattle;
        player_.Places().gameFolder = c.gameFolder;
        EXPECT_EQ(Resolved(), std::make_pair(c.normal, c.battle)) << c.name;
    }
}

TEST_F(MusicPlayerTest, TheScenarioSourceIsReadAtEachResolution) {
    std::string scenarioNormal;
    player_.SetScenarioMusicSource([&](std::string& normal, std::string& battle) {
        normal = scenarioNormal;
        battle.clear();
    });
    EXPECT_EQ(Resolved().first, song_);
    scenarioNormal = files_.Put("scenario", "event.mp3");  // a scripted event changes the music
    EXPECT_EQ(Resolved().first, scenarioNormal);
}

TEST_F(MusicPlayerTest, TheSameFileForBothSituationsPlaysOn) {
    player_.PlayBgm(MusicPlayer::kNormal);
    EXPECT_EQ(backend_.Plays(), std::vector<std::string>{"play " + song_ + " stream"});
    backend_.calls.clear();
    player_.PlayBgm(MusicPlayer::kBattle);
    EXPECT_TRUE(backend_.calls.empty());
    EXPECT_EQ(player_.Situation(), MusicPlayer::kNormal);  // the song plays on as the normal piece
    EXPECT_TRUE(player_.Playing());
}

TEST_F(MusicPlayerTest, DifferentFilesSwitchAndAPieceRestartsWhenAskedAgain) {
    const std::string normal = files_.Put("own", "n.mp3");
    const std::string battle = files_.Put("own", "b.wma");
    player_.Settings() = Own(normal, battle);
    player_.PlayBgm(MusicPlayer::kNormal);
    player_.PlayBgm(MusicPlayer::kBattle);
    player_.PlayBgm(MusicPlayer::kBattle);  // from its beginning again
    EXPECT_EQ(backend_.calls,
              (std::vector<std::string>{"play " + normal + " stream", "stop", "play " + battle + " stream",
                                        "stop", "play " + battle + " stream"}));
    // Asking for the current situation changes nothing; another one switches.
    backend_.calls.clear();
    player_.RequestSituation(MusicPlayer::kBattle);
    EXPECT_TRUE(backend_.calls.empty());
    player_.RequestSituation(MusicPlayer::kNormal);
    EXPECT_EQ(backend_.Plays(), std::vector<std::string>{"play " + normal + " stream"});
    player_.StopBgm();
    EXPECT_EQ(player_.Situation(), MusicPlayer::kNone);
    EXPECT_FALSE(player_.Playing());
}

TEST_F(MusicPlayerTest, OnlyAnEndingInMidInAnyCaseIsMidi) {
    EXPECT_TRUE(shell::IsMidiFile("a.MID"));
    EXPECT_TRUE(shell::IsMidiFile("a.Mid"));
    EXPECT_FALSE(shell::IsMidiFile("a.midi"));
    EXPECT_FALSE(shell::IsMidiFile("a.mp3"));
    EXPECT_FALSE(shell::IsMidiFile("id"));

    const std::string upper = files_.Put("own", "SONG.MID");
    const std::string longer = files_.Put("own", "song.midi");
    player_.Settings() = Own(upper, longer);
    player_.OpenBgmDevices();
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), upper);
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kBattle), "");  // .midi is no MIDI: no slot
    player_.PlayBgm(MusicPlayer::kNormal);
    player_.PlayBgm(MusicPlayer::kBattle);
    EXPECT_EQ(backend_.Plays(),
              (std::vector<std::string>{"play " + upper + " midi", "play " + longer + " stream"}));
}

TEST_F(MusicPlayerTest, MusicOffRecordsTheSituationAndPlaysNothing) {
    player_.PlayBgm(MusicPlayer::kNormal);
    player_.Settings().off = true;
    player_.Settings().useDefault = false;  // two different files, so the battle piece would start
    player_.Settings().battle = files_.Put("own", "b.mp3");
    backend_.calls.clear();
    player_.PlayBgm(MusicPlayer::kBattle);
    EXPECT_EQ(backend_.calls, std::vector<std::string>{"stop"});  // the normal piece stops
    EXPECT_EQ(player_.Situation(), MusicPlayer::kBattle);
    EXPECT_FALSE(player_.Playing());
    player_.OpenBgmDevices();  // nothing opens either
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), "");
}

TEST_F(MusicPlayerTest, AFailedStartIsSilentButCounts) {
    const std::string broken = files_.Put("own", "broken.mp3");
    player_.Settings() = Own(broken, "");
    backend_.refused.insert(broken);
    player_.PlayBgm(MusicPlayer::kNormal);
    EXPECT_TRUE(player_.Playing());
    EXPECT_EQ(player_.Situation(), MusicPlayer::kNormal);
    // An empty file for a situation: silence, nothing started.
    backend_.calls.clear();
    player_.PlayBgm(MusicPlayer::kBattle);
    EXPECT_EQ(backend_.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(player_.Situation(), MusicPlayer::kBattle);
    EXPECT_FALSE(player_.Playing());
}

TEST_F(MusicPlayerTest, MidiSlotsOpenOnceAndCloseWhenTheirPieceFails) {
    const std::string midi = files_.Put("own", "n.mid");
    const std::string mp3 = files_.Put("own", "b.mp3");
    player_.Settings() = Own(midi, mp3);
    // Not opened yet: the MIDI piece stays silent.
    player_.PlayBgm(MusicPlayer::kNormal);
    EXPECT_TRUE(backend_.Plays().empty());

    player_.OpenBgmDevices();
    player_.PlayBgm(MusicPlayer::kNormal);
    player_.PlayBgm(MusicPlayer::kBattle);
    player_.PlayBgm(MusicPlayer::kNormal);  // the slot is still open after the MP3
    EXPECT_EQ(backend_.Plays(), (std::vector<std::string>{"play " + midi + " midi", "play " + mp3 + " stream",
                                                          "play " + midi + " midi"}));

    // A MIDI file named later plays only after its slot was opened again.
    const std::string later = files_.Put("own", "later.mid");
    player_.Settings().normal = later;
    backend_.calls.clear();
    player_.PlayBgm(MusicPlayer::kNormal);
    EXPECT_EQ(backend_.Plays(), std::vector<std::string>{"play " + midi + " midi"});

    // The device reports a failure: the slot closes, the next start is silent.
    backend_.Fail();
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), "");
    backend_.calls.clear();
    player_.PlayBgm(MusicPlayer::kNormal);
    EXPECT_TRUE(backend_.Plays().empty());
    // A slot whose start fails is closed as well.
    player_.OpenBgmDevices();
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), later);
    backend_.refused.insert(later);
    player_.PlayBgm(MusicPlayer::kNormal);
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), "");
    // A missing MIDI file never opens.
    player_.Settings().normal = files_.Folder("own") + "gone.mid";
    player_.OpenBgmDevices();
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), "");
}

TEST_F(MusicPlayerTest, NewSettingsReplayTheSituationThatPlayed) {
    const std::string battle = files_.Put("own", "b.mp3");
    player_.Settings() = Own("", battle);
    player_.PlayBgm(MusicPlayer::kBattle);

    // Unchanged settings: nothing stops, nothing restarts.
    backend_.calls.clear();
    EXPECT_FALSE(player_.ApplySettings(player_.Settings()));
    EXPECT_TRUE(backend_.calls.empty());

    // A new normal file while the battle piece plays: the battle piece starts from its beginning.
    MusicSettings changed = player_.Settings();
    changed.normal = files_.Put("own", "n.mid");
    EXPECT_TRUE(player_.ApplySettings(changed));
    EXPECT_EQ(backend_.Plays(), std::vector<std::string>{"play " + battle + " stream"});
    EXPECT_EQ(player_.Situation(), MusicPlayer::kBattle);
    EXPECT_EQ(player_.SlotFile(MusicPlayer::kNormal), changed.normal);  // the slots were opened again

    // Nothing playing before: nothing plays after.
    player_.StopBgm();
    backend_.calls.clear();
    changed.useScenario = false;
    EXPECT_TRUE(player_.ApplySettings(changed));
    EXPECT_TRUE(backend_.Plays().empty());
    EXPECT_EQ(player_.Situation(), MusicPlayer::kNone);
}

TEST_F(MusicPlayerTest, TheRulesAskThroughTheQtPort) {
    const std::string battle = files_.Put("own", "b.mp3");
    player_.Settings().useDefault = false;
    player_.Settings().normal = files_.Put("own", "n.mp3");
    player_.Settings().battle = battle;
    QtPort port;
    port.PlayMusic(0);  // unset: no music, nothing happens
    EXPECT_TRUE(backend_.calls.empty());
    port.SetMusic(&player_);
    ViewPort& view = port;
    view.PlayMusic(MusicPlayer::kNormal);
    view.PlayMusic(MusicPlayer::kNormal);  // every month start asks: the piece plays on
    view.PlayMusic(MusicPlayer::kBattle);
    view.StopMusic();  // a scripted event's new music: stop, then ask again
    view.PlayMusic(MusicPlayer::kBattle);
    EXPECT_EQ(backend_.Plays(),
              (std::vector<std::string>{"play " + player_.Settings().normal + " stream",
                                        "play " + battle + " stream", "play " + battle + " stream"}));
}

}  // namespace
}  // namespace rymd::gui_test
