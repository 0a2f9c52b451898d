// The saved game's key integers (counts, date, phase, player's house, soldier unit, flags
// word). Each value is stored as one keyed 32-bit word that chains on the word before it, so
// the numbers do not stand in the file as they are. A reader must read exactly the values the
// writer wrote, in the same order, with a fresh stream.
#pragma once

#include <cstdint>

#include "platform/core/archive.h"

namespace rymd {

class CSaveIntStream {
public:
    static constexpr std::uint32_t kStartValue = 0x5E17C3A8u;
    static constexpr std::uint32_t kAdditiveKey = 0x2D94B6F1u;
    static constexpr std::uint32_t kXorMask = 0x71C8E05Bu;

    // The archive is not owned and must outlive the stream.
    explicit CSaveIntStream(ArchiveWriter& writer) : writer_(&writer) {}
    explicit CSaveIntStream(ArchiveReader& reader) : reader_(&reader) {}

    // Stores the value as 4 little-endian bytes. False when the stream reads.
    bool WriteInt(std::int32_t value);
    // Reads the next value. False (value 0, chain unchanged) when the archive has fewer than
    // 4 bytes left or the stream writes.
    bool ReadInt(std::int32_t& value);

private:
    ArchiveWriter* writer_ = nullptr;
    ArchiveReader* reader_ = nullptr;
    std::uint32_t state_ = kStartValue;
};

}  // namespace rymd
