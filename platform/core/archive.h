// Archive streams: the byte form of saved games, map files and other stored data.
// Little-endian integers, IEEE doubles, raw blocks and the counted-string form.
// Reading never throws and never reads out of bounds: a read past the end sets a sticky
// failure flag and yields zeros; the loader checks ok() and refuses the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rymd {

class ArchiveWriter {
public:
    void WriteU8(std::uint8_t v);
    void WriteU16(std::uint16_t v);
    void WriteU32(std::uint32_t v);
    void WriteI8(std::int8_t v) { WriteU8(static_cast<std::uint8_t>(v)); }
    void WriteI16(std::int16_t v) { WriteU16(static_cast<std::uint16_t>(v)); }
    void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
    void WriteF64(double v);
    void WriteBytes(const void* data, std::size_t size);
    // Counted string: one length byte below 255; else 0xFF and a 16-bit length below 0xFFFE;
    // else 0xFF, 0xFFFF and a 32-bit length; then the bytes, no terminator.
    void WriteCString(std::string_view bytes);

    const std::vector<std::uint8_t>& Data() const { return buf_; }
    std::vector<std::uint8_t> Take() { return std::move(buf_); }
    std::size_t Size() const { return buf_.size(); }

private:
    std::vector<std::uint8_t> buf_;
};

class ArchiveReader {
public:
    ArchiveReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit ArchiveReader(const std::vector<std::uint8_t>& v) : ArchiveReader(v.data(), v.size()) {}

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int8_t ReadI8() { return static_cast<std::int8_t>(ReadU8()); }
    std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    double ReadF64();
    // Copies size bytes; on a short read fills the destination with zeros and fails.
    bool ReadBytes(void* out, std::size_t size);
    // Counted string (see ArchiveWriter::WriteCString); a length beyond the bytes left fails.
    std::string ReadCString();

    bool Ok() const { return ok_; }
    // Marks the stream as failed (used by loaders when a value read is out of range).
    void Fail() { ok_ = false; }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return ok_ ? size_ - pos_ : 0; }
    bool AtEnd() const { return pos_ >= size_; }

private:
    bool Take(std::size_t n);  // false (and failed) when fewer than n bytes are left

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace rymd
