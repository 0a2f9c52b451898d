// The recording music backend of the tests: no sound, every call written down.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "game/shell/music/music_player.h"

namespace rymd::gui_test {

class RecordingMusicBackend final : public shell::MusicBackend {
public:
    // "play PATH midi" or "play PATH stream", "stop".
    std::vector<std::string> calls;
    // Files whose start fails.
    std::set<std::string> refused;

    bool Play(const std::string& path, bool midi) override {
        calls.push_back("play " + path + (midi ? " midi" : " stream"));
        return !refused.count(path);
    }
    void Stop() override { calls.push_back("stop"); }
    // The piece that plays fails (a device error, a file that is not music).
    void Fail() { ReportFailure(); }
    // The plays recorded, in order, without the stops.
    std::vector<std::string> Plays() const {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            if (c.rfind("play ", 0) == 0) out.push_back(c);
        return out;
    }
};

}  // namespace rymd::gui_test
