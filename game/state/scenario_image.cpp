#include "game/state/scenario_image.h"

#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace rymd {

namespace {

// The last three characters of a UTF-8 path (fewer when it is shorter).
std::string LastThreeCharacters(const std::string& path) {
    std::size_t start = path.size();
    for (int chars = 0; chars < 3 && start > 0; ++chars) {
        --start;
        while (start > 0 && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80)
            --start;
    }
    return path.substr(start);
}

}  // namespace

bool CScenarioImage::Load(const std::string& path) {
    Free();
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, kScenarioPictureMaxBytes)) return false;
    bytes_ = std::move(bytes);
    extension_ = LastThreeCharacters(path);
    return true;
}

bool CScenarioImage::WriteToFile(const std::string& path) const {
    if (bytes_.empty()) return false;
    return WriteFileAtomic(path, bytes_);
}

void CScenarioImage::Free() {
    bytes_.clear();
    bytes_.shrink_to_fit();
}

void CScenarioImage::Serialize(ArchiveWriter& out, TextEncoding enc) const {
    out.WriteU32(static_cast<std::uint32_t>(bytes_.size()));
    if (bytes_.empty()) return;
    out.WriteBytes(bytes_.data(), bytes_.size());
    out.WriteCString(FromUtf8(extension_, enc));
}

bool CScenarioImage::Serialize(ArchiveReader& in, TextEncoding enc) {
    Free();
    const std::uint32_t count = in.ReadU32();
    if (!in.Ok()) return false;
    if (count == 0) return true;
    // Checked before allocating, so a damaged count cannot ask for gigabytes.
    if (count > in.Remaining()) {
        in.Fail();
        return false;
    }
    std::vector<std::uint8_t> bytes(count);
    in.ReadBytes(bytes.data(), bytes.size());
    std::string extension = in.ReadCString();
    if (!in.Ok()) return false;
    bytes_ = std::move(bytes);
    extension_ = ToUtf8(extension, enc);
    return true;
}

}  // namespace rymd
