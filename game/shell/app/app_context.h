// The process-wide objects that every screen uses, which the program's start-up prepares
// (start/game_app.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/shell/app/setting_file.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class MusicPlayer;

// What the start-up prepares for the whole program.
struct AppContext {
    std::string programFolder;                // the program file's folder, '/'-ended
    std::string helpPath;                     // the help's top page address (help.h)
    std::string saveDataFolder;               // where games are saved and loaded
    std::string settingsFolder;               // where rymds.dat lies
    MbKorMap::CCtrlKorMap* korMap = nullptr;  // the one province map object
    MusicPlayer* music = nullptr;             // the one music player
    SettingFile settings;
    // The main window runs the start menu once it is shown (the program; tests of the window
    // alone leave it off).
    bool startMenu = false;
    // The seed of the random source for a new or loaded game (none: the seconds of the day).
    std::function<std::uint32_t()> seedSource;
};

// The program's one context.
AppContext& App();

// The product title of the window caption and the status line.
inline constexpr const char* kProductTitle = "龍門記 ― 戦国の覇者";

// The program's exit codes besides 0: a start-up failure the player was told of in a message
// box (the province map default.smp, the picture folder), and no display to open the window on.
inline constexpr int kExitStartFailed = 1;
inline constexpr int kExitNoDisplay = 3;

// The exit code after the main window: kExitStartFailed when it ended at its start because the
// province map failed (mapFailure, its message), else 0.
inline int ExitCodeAfterMainWindow(const std::string& mapFailure) {
    return mapFailure.empty() ? 0 : kExitStartFailed;
}

}  // namespace rymd::shell
