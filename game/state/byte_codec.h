// Little-endian field access for the stored record forms, and the fixed-width name fields
// (file encoding, zero-terminated, cut on a character boundary).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/core/encoding.h"

namespace rymd::bytes {

inline void PutU8(std::uint8_t* p, std::size_t off, std::uint8_t v) {
    p[off] = v;
}
inline void PutI8(std::uint8_t* p, std::size_t off, std::int8_t v) {
    p[off] = static_cast<std::uint8_t>(v);
}
inline void PutU16(std::uint8_t* p, std::size_t off, std::uint16_t v) {
    p[off] = static_cast<std::uint8_t>(v);
    p[off + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutI16(std::uint8_t* p, std::size_t off, std::int16_t v) {
    PutU16(p, off, static_cast<std::uint16_t>(v));
}
inline void PutU32(std::uint8_t* p, std::size_t off, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[off + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutI32(std::uint8_t* p, std::size_t off, std::int32_t v) {
    PutU32(p, off, static_cast<std::uint32_t>(v));
}
inline void PutF64(std::uint8_t* p, std::size_t off, double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        p[off + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

inline std::uint8_t GetU8(const std::uint8_t* p, std::size_t off) {
    return p[off];
}
inline std::int8_t GetI8(const std::uint8_t* p, std::size_t off) {
    return static_cast<std::int8_t>(p[off]);
}
inline std::uint16_t GetU16(const std::uint8_t* p, std::size_t off) {
    return static_cast<std::uint16_t>(p[off] | (p[off + 1] << 8));
}
inline std::int16_t GetI16(const std::uint8_t* p, std::size_t off) {
    return static_cast<std::int16_t>(GetU16(p, off));
}
inline std::uint32_t GetU32(const std::uint8_t* p, std::size_t off) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(p[off + i]) << (8 * i);
    return v;
}
inline std::int32_t GetI32(const std::uint8_t* p, std::size_t off) {
    return static_cast<std::int32_t>(GetU32(p, off));
}
inline double GetF64(const std::uint8_t* p, std::size_t off) {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i)
        u |= static_cast<std::uint64_t>(p[off + i]) << (8 * i);
    return std::bit_cast<double>(u);
}

// A name field of maxBytes + 1 bytes: the name in the file encoding, cut to at most maxBytes
// on a character boundary, then zeros to the end of the field (the last byte is always 0).
inline void PutName(std::uint8_t* p, std::size_t off, const std::string& utf8, std::size_t maxBytes,
                    TextEncoding enc) {
    const std::string encoded = FromUtf8(utf8, enc);
    const std::size_t n = CharBoundaryCut(encoded, maxBytes, enc);
    std::memset(p + off, 0, maxBytes + 1);
    std::memcpy(p + off, encoded.data(), n);
}

// Reads a name field: the bytes up to the first zero, at most maxBytes of them.
inline std::string GetName(const std::uint8_t* p, std::size_t off, std::size_t maxBytes, TextEncoding enc) {
    const char* s = reinterpret_cast<const char*>(p + off);
    std::size_t n = 0;
    while (n < maxBytes && s[n] != '\0')
        ++n;
    return ToUtf8(std::string_view(s, n), enc);
}

}  // namespace rymd::bytes
