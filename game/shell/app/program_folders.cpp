#include "game/shell/app/program_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace rymd::shell {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string WithSlash(std::string s) {
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

}  // namespace

std::string FolderOfPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string RunningProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return "./";
    return FolderOfPath(exe.string());
}

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return WithSlash(xdg) + "Ryuumonden/";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return WithSlash(home) + ".local/share/Ryuumonden/";
    return {};
}

bool FolderIsWritable(const std::string& folder) {
    return IsFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string FindSaveDataFolder(const std::string& programFolder, const std::string& userDataFolder) {
    const std::string beside = programFolder + "SaveData";
    if (IsFolder(beside)) return beside;
    const std::string above = programFolder + "../SaveData";
    if (IsFolder(above)) return above;
    std::error_code ec;
    if (fs::create_directory(beside, ec) || IsFolder(beside)) return beside;
    if (!userDataFolder.empty()) {
        const std::string user = userDataFolder + "SaveData";
        fs::create_directories(user, ec);
        if (IsFolder(user)) return user;
    }
    return beside;  // nowhere to save: the save command will tell the player
}

std::optional<std::string> FindPictureFolder(const std::string& programFolder) {
    for (const char* candidate : {"picture", "../picture"}) {
        const std::string path = programFolder + candidate;
        if (IsFolder(path)) return path + "/";
    }
    return std::nullopt;
}

std::string SettingsFolder(const std::string& programFolder, const std::string& userDataFolder) {
    if (FolderIsWritable(programFolder) || userDataFolder.empty()) return programFolder;
    std::error_code ec;
    fs::create_directories(userDataFolder, ec);
    return IsFolder(userDataFolder) ? userDataFolder : programFolder;
}

}  // namespace rymd::shell
