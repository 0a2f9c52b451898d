#include "platform/core/archive.h"

#include <cstring>

namespace rymd {

void ArchiveWriter::WriteU8(std::uint8_t v) {
    buf_.push_back(v);
}

void ArchiveWriter::WriteU16(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    buf_.insert(buf_.end(), b, b + 2);
}

void ArchiveWriter::WriteU32(std::uint32_t v) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    buf_.insert(buf_.end(), b, b + 4);
}

void ArchiveWriter::WriteF64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    WriteU32(static_cast<std::uint32_t>(bits));
    WriteU32(static_cast<std::uint32_t>(bits >> 32));
}

void ArchiveWriter::WriteBytes(const void* data, std::size_t size) {
    if (size == 0) return;
    const auto* p = static_cast<const std::uint8_t*>(data);
    buf_.insert(buf_.end(), p, p + size);
}

void ArchiveWriter::WriteCString(std::string_view bytes) {
    const std::size_t n = bytes.size();
    if (n < 0xFF) {
        WriteU8(static_cast<std::uint8_t>(n));
    } else {
        WriteU8(0xFF);
        if (n < 0xFFFE) {
            WriteU16(static_cast<std::uint16_t>(n));
        } else {
            WriteU16(0xFFFF);
            WriteU32(static_cast<std::uint32_t>(n));
        }
    }
    WriteBytes(bytes.data(), n);
}

bool ArchiveReader::Take(std::size_t n) {
    if (!ok_ || n > size_ - pos_) {
        ok_ = false;
        return false;
    }
    return true;
}

std::uint8_t ArchiveReader::ReadU8() {
    if (!Take(1)) return 0;
    return data_[pos_++];
}

std::uint16_t ArchiveReader::ReadU16() {
    if (!Take(2)) return 0;
    const std::uint8_t* p = data_ + pos_;
    pos_ += 2;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ArchiveReader::ReadU32() {
    if (!Take(4)) return 0;
    const std::uint8_t* p = data_ + pos_;
    pos_ += 4;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

double ArchiveReader::ReadF64() {
    if (!Take(8)) return 0.0;
    const std::uint64_t lo = ReadU32();
    const std::uint64_t hi = ReadU32();
    const std::uint64_t bits = lo | (hi << 32);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

bool ArchiveReader::ReadBytes(void* out, std::size_t size) {
    if (size == 0) return ok_;
    if (!Take(size)) {
        std::memset(out, 0, size);
        return false;
    }
    std::memcpy(out, data_ + pos_, size);
    pos_ += size;
    return true;
}

std::string ArchiveReader::ReadCString() {
    std::size_t n = ReadU8();
    if (n == 0xFF) {
        n = ReadU16();
        if (n == 0xFFFF) {
            n = ReadU32();
        } else if (n == 0xFFFE) {
            // Not a length this form writes.
            Fail();
        }
    }
    // Checked before allocating, so a damaged length cannot ask for gigabytes.
    if (!Take(n)) return {};
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
}

}  // namespace rymd
