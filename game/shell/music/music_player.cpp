#include "game/shell/music/music_player.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace rymd::shell {

bool IsMidiFile(const std::string& path) {
    if (path.size() < 3) return false;
    std::string tail = path.substr(path.size() - 3);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == "mid";
}

bool MusicFileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::u8path(path), ec);
}

namespace {

// The file name with its extension: what follows the last '/' (or '\', as a scenario written
// elsewhere may separate its folders).
std::string NameAndExtension(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The scenario's file for one situation, or the choice made so far.
std::string ScenarioChoice(const std::string& scenario, const std::string& chosen,
                           const MusicPlaces& places) {
    if (scenario.empty()) return chosen;
    if (MusicFileExists(scenario)) return scenario;
    const std::string name = NameAndExtension(scenario);
    if (name.empty()) return chosen;
    if (!places.gameFolder.empty() && MusicFileExists(places.gameFolder + name))
        return places.gameFolder + name;
    if (MusicFileExists(places.programFolder + name)) return places.programFolder + name;
    return chosen;
}

}  // namespace

MusicPlayer::MusicPlayer(MusicBackend& backend) : backend_(backend) {
    backend_.SetFailureHandler([this] { OnBackendFailure(); });
}

MusicPlayer::~MusicPlayer() {
    StopBgm();
    CloseBgmDevices();
    backend_.SetFailureHandler(nullptr);
}

void MusicPlayer::ResolveBgmFiles(std::string& normal, std::string& battle) const {
    normal = battle = places_.programFolder + kStandardSongName;
    if (!settings_.useDefault) {
        normal = settings_.normal;
        battle = settings_.battle;
    }
    if (!settings_.useScenario) return;
    MusicPlaces places = places_;
    if (scenarioSource_) scenarioSource_(places.scenarioNormal, places.scenarioBattle);
    normal = ScenarioChoice(places.scenarioNormal, normal, places);
    battle = ScenarioChoice(places.scenarioBattle, battle, places);
}

bool MusicPlayer::OpenSlot(int slot, const std::string& path) {
    // A missing file leaves the slot closed; the backend opens the file only when it plays.
    slots_[slot] = MusicFileExists(path) ? path : std::string();
    return !slots_[slot].empty();
}

void MusicPlayer::OpenBgmDevices() {
    if (settings_.off) return;
    std::string files[2];
    ResolveBgmFiles(files[0], files[1]);
    for (int slot : {kNormal, kBattle})
        if (!files[slot].empty() && IsMidiFile(files[slot]) && slots_[slot].empty())
            OpenSlot(slot, files[slot]);
}

void MusicPlayer::CloseBgmDevices() {
    for (int slot : {kNormal, kBattle}) {
        if (playingSlot_ == slot) {
            backend_.Stop();
            playingSlot_ = kNone;
        }
        slots_[slot].clear();
    }
}

bool MusicPlayer::PlaySlot(int slot) {
    if (slots_[slot].empty()) return false;
    if (backend_.Play(slots_[slot], true)) {
        playingSlot_ = slot;
        return true;
    }
    slots_[slot].clear();  // a slot that cannot play is closed
    return false;
}

void MusicPlayer::PlayBgm(int situation) {
    std::string files[2];
    ResolveBgmFiles(files[0], files[1]);
    if (playing_ && files[0] == files[1]) return;  // the piece that plays goes on
    StopBgm();
    situation_ = situation;
    if (settings_.off || (situation != kNormal && situation != kBattle) || files[situation].empty()) return;
    if (IsMidiFile(files[situation]))
        PlaySlot(situation);  // plays what the slot is open on, if it is open
    else
        backend_.Play(files[situation], false);
    playing_ = true;  // even when the start failed
}

void MusicPlayer::StopBgm() {
    playing_ = false;
    if (situation_ != kNone) {
        backend_.Stop();
        playingSlot_ = kNone;
    }
    situation_ = kNone;
}

void MusicPlayer::RequestSituation(int situation) {
    if (situation_ != situation) PlayBgm(situation);
}

bool MusicPlayer::ApplySettings(const MusicSettings& s) {
    const MusicSettings& o = settings_;
    if (s.normal == o.normal && s.battle == o.battle && s.useDefault == o.useDefault &&
        s.useScenario == o.useScenario && s.off == o.off)
        return false;
    const int remembered = situation_;
    StopBgm();
    CloseBgmDevices();
    settings_ = s;
    OpenBgmDevices();
    if (remembered != kNone) PlayBgm(remembered);
    return true;
}

void MusicPlayer::OnBackendFailure() {
    // A MIDI slot whose piece failed is closed, as a device that reports a failure is; a stream
    // that failed is already stopped. The situation stays: the game asks for another one later.
    if (playingSlot_ != kNone) {
        slots_[playingSlot_].clear();
        playingSlot_ = kNone;
    }
}

}  // namespace rymd::shell
