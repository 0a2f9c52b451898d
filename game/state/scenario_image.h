// The scenario's ending picture. It is read into memory byte for byte when the scenario is
// read, travels inside saved games and is written back to a file only when it is shown, so a
// saved game shows its ending picture even when the scenario's folder is gone. The bytes are
// never examined; the last three characters of the source file name tell their format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/encoding.h"

namespace rymd {

class ArchiveReader;
class ArchiveWriter;

// The largest picture file a scenario may name (opening and ending pictures).
inline constexpr std::uint64_t kScenarioPictureMaxBytes = std::uint64_t{64} << 20;

class CScenarioImage {
public:
    CScenarioImage() = default;

    // Reads the whole file at path. Whatever was held is dropped first; false (nothing held)
    // when the file cannot be read.
    bool Load(const std::string& path);
    // Writes the picture to path; false when nothing is held or the file cannot be written.
    bool WriteToFile(const std::string& path) const;
    // Drops the picture.
    void Free();

    bool HasPicture() const { return !bytes_.empty(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    const std::string& Extension() const { return extension_; }  // e.g. "jpg" (UTF-8)

    // Saved form: the byte count (u32); when it is not 0, the bytes and the extension as a
    // counted string in the file encoding. No picture (or a picture of 0 bytes) is the count 0.
    void Serialize(ArchiveWriter& out, TextEncoding enc) const;
    // Reads the saved form. A count beyond the bytes left or a short stream refuses the data:
    // false, the reader marked failed and nothing held.
    bool Serialize(ArchiveReader& in, TextEncoding enc);

    bool operator==(const CScenarioImage&) const = default;

private:
    std::vector<std::uint8_t> bytes_;
    std::string extension_;
};

}  // namespace rymd
