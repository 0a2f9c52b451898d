#include "game/shell/app/setting_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/core/file.h"

namespace rymd::shell {

std::string_view CutUtf8(std::string_view text, std::size_t max) {
    if (text.size() <= max) return text;
    std::size_t n = max;
    // Step back over continuation bytes to the start of the character that does not fit.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return text.substr(0, n);
}

void SettingFile::SetLocation(std::string folder, std::string programFolder) {
    path_ = std::move(folder) + kFileName;
    programFolder_ = std::move(programFolder);
}

std::string SettingFile::Field(std::size_t offset, std::size_t size) const {
    const char* p = reinterpret_cast<const char*>(bytes_.data() + offset);
    return std::string(p, strnlen(p, size));
}

void SettingFile::PutField(std::size_t offset, std::size_t size, std::string_view text) {
    const std::string_view cut = CutUtf8(text, size - 1);
    std::memset(bytes_.data() + offset, 0, size);
    std::memcpy(bytes_.data() + offset, cut.data(), cut.size());
}

void SettingFile::SetSaveFolder(std::string_view folder) {
    PutField(0, kFolderSize, folder);
}

std::string SettingFile::Load() {
    bytes_.fill(0);
    // Only a regular file of at most the record's size is read: a FIFO would hold the start
    // waiting for a writer, a device or a larger file is not a settings file.
    std::vector<std::uint8_t> file;
    const ReadFileError error = ReadFile(path_, file, kSize);
    std::string note;
    std::error_code ec;
    const bool missing =
        std::filesystem::symlink_status(path_, ec).type() == std::filesystem::file_type::not_found;
    if (error == ReadFileError::kNone)
        std::copy(file.begin(), file.end(), bytes_.begin());
    else if (!missing)  // a first start has no settings file: nothing to tell
        note = "設定ファイル " + path_ + " を読まずに既定の設定で始めます (" +
               ReadFileErrorText(path_, error, kSize) + ")";
    // Every text ends inside its field, whatever the file held.
    bytes_[kFolderSize - 1] = 0;
    bytes_[256 + kMusicNameSize - 1] = 0;
    bytes_[296 + kMusicNameSize - 1] = 0;
    if (bytes_[0] == 0) SetSaveFolder(programFolder_);
    if (bytes_[256] == 0) PutField(256, kMusicNameSize, "main.mid");
    if (bytes_[296] == 0) PutField(296, kMusicNameSize, "battle.mid");
    return note;
}

bool SettingFile::Save() const {
    // Written whole or not at all: a failed write keeps the settings the file had.
    return WriteFileAtomic(path_, std::vector<std::uint8_t>(bytes_.begin(), bytes_.end()));
}

}  // namespace rymd::shell
