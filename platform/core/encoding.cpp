#include "platform/core/encoding.h"

#include <iconv.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace rymd {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kIconvError = static_cast<std::size_t>(-1);
constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

const char* IconvName(TextEncoding encoding) {
    return encoding == TextEncoding::Gb2312 ? "EUC-CN" : "CP932";
}

// The converters of this thread, opened on first use. Both encodings are stateless, so a
// converter is reset only after an error.
class ConverterCache {
public:
    ~ConverterCache() {
        for (auto& row : handles_) {
            for (iconv_t& cd : row) {
                if (cd != kNoConverter) iconv_close(cd);
            }
        }
    }
    iconv_t Get(TextEncoding encoding, bool toUtf8) {
        const int e = encoding == TextEncoding::Gb2312 ? 1 : 0;
        const int d = toUtf8 ? 1 : 0;
        if (!tried_[e][d]) {
            tried_[e][d] = true;
            handles_[e][d] =
                toUtf8 ? iconv_open("UTF-8", IconvName(encoding)) : iconv_open(IconvName(encoding), "UTF-8");
        }
        return handles_[e][d];
    }

private:
    iconv_t handles_[2][2] = {{kNoConverter, kNoConverter}, {kNoConverter, kNoConverter}};
    bool tried_[2][2] = {};
};

iconv_t Converter(TextEncoding encoding, bool toUtf8) {
    thread_local ConverterCache cache;
    iconv_t cd = cache.Get(encoding, toUtf8);
    if (cd != kNoConverter) iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return cd;
}

bool IsAscii(std::string_view s) {
    for (unsigned char c : s) {
        if (c & 0x80) return false;
    }
    return true;
}

// Length of the well-formed UTF-8 character at the start of s (1 to 4), or 0 when the
// bytes there are not one (stray continuation, overlong form, surrogate, beyond U+10FFFF,
// cut off).
std::size_t Utf8CharLength(std::string_view s) {
    if (s.empty()) return 0;
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (s.size() < n || b(1) < lo || b(1) > hi) return 0;
    for (std::size_t i = 2; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
    }
    return n;
}

// A growable output buffer for iconv.
struct Output {
    std::string buf;
    char* ptr;
    std::size_t left;

    explicit Output(std::size_t size) : buf(size, '\0'), ptr(buf.data()), left(size) {}
    std::size_t Used() const { return static_cast<std::size_t>(ptr - buf.data()); }
    // Enlarges the buffer to size bytes, or to about twice its size when size is 0.
    void Grow(std::size_t size = 0) {
        const std::size_t used = Used();
        buf.resize(size != 0 ? size : buf.size() * 2 + 16);
        ptr = buf.data() + used;
        left = buf.size() - used;
    }
    // Room for one more byte within limit; false when the limit is reached.
    bool Room(std::size_t limit) {
        if (left > 0) return true;
        if (buf.size() >= limit) return false;
        Grow(std::min(limit, buf.size() * 2 + 16));
        return true;
    }
    void Put(std::string_view s) {
        if (left < s.size()) Grow(buf.size() * 2 + s.size());
        for (char c : s)
            *ptr++ = c;
        left -= s.size();
    }
    std::string Finish() {
        buf.resize(Used());
        return std::move(buf);
    }
};

// Converts UTF-8 to the file encoding, writing at most limit bytes; only whole characters
// are converted. consumed receives the length of the UTF-8 prefix that was converted.
std::string Encode(std::string_view utf8, TextEncoding encoding, std::size_t limit, std::size_t* consumed) {
    // No character takes more bytes in the file encoding than in UTF-8.
    Output out(std::min(limit, utf8.size()));
    std::size_t pos = 0;
    iconv_t cd = Converter(encoding, false);
    while (pos < utf8.size()) {
        if (cd != kNoConverter) {
            char* in = const_cast<char*>(utf8.data() + pos);
            std::size_t inLeft = utf8.size() - pos;
            const std::size_t r = iconv(cd, &in, &inLeft, &out.ptr, &out.left);
            const int err = errno;
            pos = utf8.size() - inLeft;
            if (r != kIconvError) break;
            if (err == E2BIG) {
                if (out.buf.size() >= limit) break;  // the next character does not fit
                out.Grow(std::min(limit, out.buf.size() * 2 + 16));
                continue;
            }
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (static_cast<unsigned char>(utf8[pos]) < 0x80) {
            // No converter: ASCII passes, everything else is unmappable.
            if (!out.Room(limit)) break;
            *out.ptr++ = utf8[pos++];
            --out.left;
            continue;
        }
        // A character without a mapping, or a byte of invalid UTF-8: one '?'.
        if (!out.Room(limit)) break;
        const std::size_t n = Utf8CharLength(utf8.substr(pos));
        pos += n == 0 ? 1 : n;
        *out.ptr++ = '?';
        --out.left;
    }
    if (consumed) *consumed = pos;
    return out.Finish();
}

}  // namespace

std::string ToUtf8(std::string_view bytes, TextEncoding encoding) {
    if (IsAscii(bytes)) return std::string(bytes);
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
    // A byte becomes at most three bytes of UTF-8.
    Output out(bytes.size() * 3);
    iconv_t cd = Converter(encoding, true);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (cd != kNoConverter) {
            char* in = const_cast<char*>(bytes.data() + pos);
            std::size_t inLeft = bytes.size() - pos;
            const std::size_t r = iconv(cd, &in, &inLeft, &out.ptr, &out.left);
            const int err = errno;
            pos = bytes.size() - inLeft;
            if (r != kIconvError) break;
            if (err == E2BIG) {
                out.Grow();
                continue;
            }
            // EILSEQ or EINVAL (a lead byte cut off at the end): replace one byte.
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            out.Put(bytes.substr(pos, 1));
            ++pos;
            continue;
        }
        out.Put(kReplacement);
        ++pos;
    }
    return out.Finish();
}

std::string FromUtf8(std::string_view utf8, TextEncoding encoding) {
    if (IsAscii(utf8)) return std::string(utf8);
    return Encode(utf8, encoding, kNoLimit, nullptr);
}

std::size_t EncodedLength(std::string_view utf8, TextEncoding encoding) {
    if (IsAscii(utf8)) return utf8.size();
    return Encode(utf8, encoding, kNoLimit, nullptr).size();
}

bool IsLeadByte(unsigned char byte, TextEncoding encoding) {
    if (encoding == TextEncoding::Gb2312) return byte >= 0x81 && byte <= 0xFE;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t CharBoundaryCut(std::string_view encodedBytes, std::size_t maxBytes, TextEncoding encoding) {
    const std::size_t end = std::min(maxBytes, encodedBytes.size());
    std::size_t pos = 0;
    while (pos < end) {
        const std::size_t n = IsLeadByte(static_cast<unsigned char>(encodedBytes[pos]), encoding) ? 2 : 1;
        if (pos + n > end) break;
        pos += n;
    }
    return pos;
}

std::string CutUtf8ToEncodedLength(std::string_view utf8, std::size_t maxBytes, TextEncoding encoding) {
    // The encoded text is never longer than the UTF-8 text.
    if (utf8.size() <= maxBytes) return std::string(utf8);
    if (IsAscii(utf8)) return std::string(utf8.substr(0, maxBytes));
    std::size_t consumed = 0;
    Encode(utf8, encoding, maxBytes, &consumed);
    return std::string(utf8.substr(0, consumed));
}

}  // namespace rymd
