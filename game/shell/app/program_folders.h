// The folders the program works with, found beside the program file.
//
// Program folder: the folder of the program file, with a trailing '/'. The build and
// `cmake --install` put the program beside its data (default.smp, picture/, the bundled scenario).
// Save-data folder: "SaveData" beside the program; else "../SaveData" one level up; else
// "SaveData" is created beside the program. Where it cannot be created (an installed program in
// a folder the player cannot write), the saves go to the player's data folder instead
// ($XDG_DATA_HOME/Ryuumonden/SaveData, ~/.local/share when the variable is unset), which is
// created; a folder beside a system program would never come into being and saves would be lost.
// Picture folder: "picture" beside the program, else "../picture"; none is an error the start-up
// reports.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rymd::shell {

// The folder of the running program file, with a trailing '/' ("./" when it cannot be found).
std::string RunningProgramFolder();

// The folder part of a path with its trailing '/' ("" for a bare name).
std::string FolderOfPath(std::string_view path);

// The player's own data folder of the game: $XDG_DATA_HOME/Ryuumonden/ (or
// $HOME/.local/share/Ryuumonden/), with a trailing '/'; "" when neither variable is set.
std::string UserDataFolder();

// True when a file can be created in the folder.
bool FolderIsWritable(const std::string& folder);

// The save-data folder (no trailing '/'), as described above; userDataFolder is the fallback
// (with a trailing '/'; "" for none). Creates the folder it chooses when needed.
std::string FindSaveDataFolder(const std::string& programFolder, const std::string& userDataFolder);

// The picture folder with a trailing '/', or nothing when neither place has one.
std::optional<std::string> FindPictureFolder(const std::string& programFolder);

// Where the settings file lives: the program folder when a file can be written there, else the
// player's data folder (created); the program folder when there is none.
std::string SettingsFolder(const std::string& programFolder, const std::string& userDataFolder);

}  // namespace rymd::shell
