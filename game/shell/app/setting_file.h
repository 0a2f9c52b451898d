// The settings file rymds.dat: a few settings kept between runs as one 337-byte record, no header:
//
//   offset  size  field                                             when empty (first byte 0)
//        0   256  folder of the last saved or loaded game, '/'-ended  the program folder
//      256    40  normal music file name                            "main.mid"
//      296    40  battle music file name                            "battle.mid"
//      336     1  no-music switch (non-zero: no background music)   0
//
// Texts are zero-terminated. A folder is kept as the bytes of its path (paths here are UTF-8);
// one longer than 255 bytes is cut to 255, never inside a character. Reading fills as much of the
// record as the file holds (a missing or short file leaves the rest zero, so those fields take
// their defaults), and ends every text field with a zero whatever the file held. A file that
// cannot be written is passed over silently.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rymd::shell {

class SettingFile {
public:
    static constexpr std::size_t kSize = 337;
    static constexpr std::size_t kFolderSize = 256;
    static constexpr std::size_t kMusicNameSize = 40;
    static constexpr const char* kFileName = "rymds.dat";

    // folder: where rymds.dat lies; programFolder: the default save folder.
    void SetLocation(std::string folder, std::string programFolder);
    const std::string& Path() const { return path_; }

    // Fills the record from the file and applies the defaults. Only a regular file of at most
    // kSize bytes is read; anything else there (a FIFO, a device, a folder, a larger or unreadable
    // file) counts as no settings, and the result is the line for the log that says so. "" when
    // the file was read or there is none.
    std::string Load();
    // Writes the 337 bytes; false when the file cannot be written (nothing is reported).
    bool Save() const;

    std::string SaveFolder() const { return Field(0, kFolderSize); }
    // Keeps the folder of a confirmed save or load path (cut to 255 bytes).
    void SetSaveFolder(std::string_view folder);
    std::string MusicNormal() const { return Field(256, kMusicNameSize); }
    std::string MusicBattle() const { return Field(296, kMusicNameSize); }
    bool NoMusic() const { return bytes_[336] != 0; }
    void SetNoMusic(bool off) { bytes_[336] = off ? 1 : 0; }

    const std::array<std::uint8_t, kSize>& Bytes() const { return bytes_; }

private:
    std::string Field(std::size_t offset, std::size_t size) const;
    void PutField(std::size_t offset, std::size_t size, std::string_view text);

    std::array<std::uint8_t, kSize> bytes_{};
    std::string path_;
    std::string programFolder_;
};

// The first bytes of a UTF-8 text, at most max of them, never cutting a character.
std::string_view CutUtf8(std::string_view text, std::size_t max);

}  // namespace rymd::shell
