// Background music: one piece at a time, in one of two situations, normal (0) and battle (1).
//
// Which file a situation plays (ResolveBgmFiles):
//   1. the standard song "Yuugure.mp3" in the program folder, for both situations;
//   2. when the standard song is not wanted, the player's own files (either may be empty: silence);
//   3. when the scenario's music is followed, each situation the scenario names a file for takes
//      it: at its stored path when it exists, else the same name and extension in the folder of
//      the saved game last loaded, else in the program folder; when none exists the choice of
//      steps 1-2 stays.
//
// How a piece plays: MIDI files (whose last three characters are "mid" in any case: "x.MID" is
// MIDI, "x.midi" is not) play through two MIDI slots, slot 0 for the normal piece and slot 1 for
// the battle piece. A slot is opened on a file once (OpenBgmDevices, at start-up and after the
// music settings change) and stays on that file until it is closed (settings change, quit, a
// playback failure); a MIDI file named later, by a scripted event say, plays only after the
// slot was opened anew. Every other file (MP3, WMA) is started for each piece. A piece that ends
// starts again from its beginning, so each piece loops until it is stopped.
//
// PlayBgm(s) restarts the piece of situation s from its beginning, even when s already plays,
// except when both situations resolve to the same file: then the piece that plays goes on.
// Callers that ask for a situation (the month start, the battle dialogs, a loaded game) use
// RequestSituation, which asks only when the situation is not the current one.
//
// Nothing here is ever shown to the player: no sound device, a missing file, a file the backend
// cannot play end in silence and the game goes on.
#pragma once

#include <functional>
#include <string>

namespace rymd::shell {

// Where pieces are played: GStreamer for the program (gst_music_backend.h), a recording fake in
// the tests. Every call returns at once; a backend loops the piece it plays by itself.
class MusicBackend {
public:
    virtual ~MusicBackend() = default;
    // Starts the file from its beginning and loops it; any piece playing before stops. False when
    // it cannot start (the player then stays silent). midi: the file is played as MIDI.
    virtual bool Play(const std::string& path, bool midi) = 0;
    // Stops the piece that plays (nothing when none does).
    virtual void Stop() = 0;
    // Called from the user-interface thread when a piece that started fails later (the file
    // turned out not to be music, the device went away). The piece is stopped by then.
    void SetFailureHandler(std::function<void()> handler) { onFailure_ = std::move(handler); }

protected:
    void ReportFailure() {
        if (onFailure_) onFailure_();
    }

private:
    std::function<void()> onFailure_;
};

// The player's music settings (the main window reads and writes them, the music settings dialog
// changes them).
struct MusicSettings {
    std::string normal;  // the player's own files, full paths; empty = none
    std::string battle;
    bool useDefault = true;   // profile "Settings"/"MusicDefault": play the standard song
    bool useScenario = true;  // "MusicUseScenarioSetting": follow the scenario's music
    bool off = false;         // the no-music switch of the settings file: no music at all
};

// What the game tells the player about where files lie.
struct MusicPlaces {
    std::string programFolder;   // with a trailing '/'
    std::string gameFolder;      // folder of the saved game last loaded, '/'-ended; empty after a new game
    std::string scenarioNormal;  // the scenario's music, full paths; empty when it names none
    std::string scenarioBattle;
};

// The standard song's file name in the program folder.
inline constexpr const char* kStandardSongName = "Yuugure.mp3";
// The profile section and keys of the music settings.
inline constexpr const char* kMusicSection = "Settings";
inline constexpr const char* kMusicNormalKey = "MusicNormal";
inline constexpr const char* kMusicBattleKey = "MusicBattle";
inline constexpr const char* kMusicDefaultKey = "MusicDefault";
inline constexpr const char* kMusicUseScenarioKey = "MusicUseScenarioSetting";

// True when the path names a MIDI file: its last three characters, in lower case, are "mid".
bool IsMidiFile(const std::string& path);
// True when a file (not a folder) exists at the path.
bool MusicFileExists(const std::string& path);

class MusicPlayer {
public:
    static constexpr int kNone = -1;
    static constexpr int kNormal = 0;
    static constexpr int kBattle = 1;

    // The backend must outlive the player; the player takes over its failure handler.
    explicit MusicPlayer(MusicBackend& backend);
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    MusicSettings& Settings() { return settings_; }
    const MusicSettings& Settings() const { return settings_; }
    MusicPlaces& Places() { return places_; }
    // Where the scenario's music is read at each resolution (the game state, where scripted events
    // change it): the function fills the normal and battle paths. Without one, Places() holds them.
    using ScenarioMusicSource = std::function<void(std::string& normal, std::string& battle)>;
    void SetScenarioMusicSource(ScenarioMusicSource source) { scenarioSource_ = std::move(source); }

    // The files of the two situations.
    void ResolveBgmFiles(std::string& normal, std::string& battle) const;
    // Opens the MIDI slots on the situations' files (nothing when the music is off).
    void OpenBgmDevices();
    // Closes both MIDI slots.
    void CloseBgmDevices();
    void PlayBgm(int situation);
    void StopBgm();
    // Plays the situation only when it is not the current one.
    void RequestSituation(int situation);
    // Applies new settings as the music settings dialog does: when they differ from the current
    // ones, stops the music, closes the slots, takes the settings, opens the slots and plays the
    // situation that played before (none: nothing). Returns whether anything changed.
    bool ApplySettings(const MusicSettings& settings);

    int Situation() const { return situation_; }
    bool Playing() const { return playing_; }
    // The file a MIDI slot is open on ("" when closed).
    const std::string& SlotFile(int slot) const { return slots_[slot]; }

private:
    bool OpenSlot(int slot, const std::string& path);
    bool PlaySlot(int slot);
    void OnBackendFailure();

    MusicBackend& backend_;
    MusicSettings settings_;
    MusicPlaces places_;
    ScenarioMusicSource scenarioSource_;
    std::string slots_[2];
    int situation_ = kNone;
    bool playing_ = false;
    int playingSlot_ = kNone;  // the MIDI slot that plays now, kNone when a stream or nothing plays
};

}  // namespace rymd::shell
