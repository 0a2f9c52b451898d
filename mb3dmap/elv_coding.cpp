#include "mb3dmap/elv_coding.h"

#include <algorithm>

namespace Mb3dMap {

namespace {

constexpr std::uint8_t kLiteral = 0x7F;
constexpr std::uint8_t kShortRun = 0x81;
constexpr std::uint8_t kLongRun = 0x80;
constexpr int kMaxDelta = 126;

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// A run of samples equal to the previous one: up to 3 as delta 0 bytes, then the short count,
// then the long count.
void FlushRun(std::vector<std::uint8_t>& out, std::uint64_t run) {
    if (run == 0) return;
    if (run <= 3) {
        out.insert(out.end(), static_cast<std::size_t>(run), 0x00);
    } else if (run <= 0xFFFF) {
        out.push_back(kShortRun);
        PutU16(out, static_cast<std::uint32_t>(run));
    } else {
        // A relief map never has 2^32 samples, so one long count always suffices.
        out.push_back(kLongRun);
        PutU32(out, static_cast<std::uint32_t>(run));
    }
}

// Walks the code; emit(value, count) receives each group of equal samples. Stops with false when
// an operand is cut off or emit refuses.
template <class Emit>
bool WalkCode(const std::uint8_t* code, std::size_t size, bool coding1, Emit&& emit) {
    std::uint16_t p = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t b = code[pos++];
        if (b == kLiteral) {
            if (size - pos < 2) return false;
            std::uint16_t v = static_cast<std::uint16_t>(code[pos] | (code[pos + 1] << 8));
            pos += 2;
            if (coding1 && v == 0) v = 1;
            if (!emit(v, 1)) return false;
            p = v;
        } else if (b == kShortRun || b == kLongRun) {
            std::uint32_t c;
            if (b == kShortRun) {
                if (size - pos < 2) return false;
                c = static_cast<std::uint32_t>(code[pos] | (code[pos + 1] << 8));
                pos += 2;
            } else {
                if (size - pos < 4) return false;
                c = static_cast<std::uint32_t>(code[pos]) | (static_cast<std::uint32_t>(code[pos + 1]) << 8) |
                    (static_cast<std::uint32_t>(code[pos + 2]) << 16) |
                    (static_cast<std::uint32_t>(code[pos + 3]) << 24);
                pos += 4;
            }
            if (coding1) p = 0;  // coding 1: runs are sea
            if (!emit(p, c)) return false;
        } else {
            std::uint16_t v = static_cast<std::uint16_t>(p + static_cast<std::int8_t>(b));
            if (coding1 && v == 0) v = 1;
            if (!emit(v, 1)) return false;
            p = v;
        }
    }
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeElevationCode(const std::uint16_t* samples, int stride, int width,
                                              int height) {
    std::vector<std::uint8_t> out;
    if (samples == nullptr || width <= 0 || height <= 0) return out;
    out.reserve(static_cast<std::size_t>(width) * height / 4 + 1024);
    std::uint16_t p = 0;
    std::uint64_t run = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint16_t* row = samples + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint16_t v = row[x];
            if (v == p) {
                ++run;
                continue;
            }
            FlushRun(out, run);
            run = 0;
            const int d = static_cast<int>(v) - static_cast<int>(p);
            if (d >= -kMaxDelta && d <= kMaxDelta) {
                out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(d)));
            } else {
                out.push_back(kLiteral);
                PutU16(out, v);
            }
            p = v;
        }
    }
    FlushRun(out, run);
    return out;
}

std::int64_t CountElevationCode(const std::uint8_t* code, std::size_t size, std::int64_t limit) {
    std::int64_t n = 0;
    const bool whole = WalkCode(code, size, false, [&](std::uint16_t, std::uint32_t c) {
        n += c;
        return n <= limit;
    });
    if (n > limit) return limit + 1;
    return whole ? n : -1;
}

bool DecodeElevationCode(const std::uint8_t* code, std::size_t size, int coding, std::uint16_t* samples,
                         int stride, int width, int height) {
    if (samples == nullptr || width <= 0 || height <= 0 || stride < width) return false;
    if (code == nullptr && size > 0) return false;
    const std::int64_t total = static_cast<std::int64_t>(width) * height;
    std::int64_t done = 0;
    int x = 0, y = 0;
    const bool whole = WalkCode(code, size, coding == 1, [&](std::uint16_t v, std::uint32_t c) {
        if (c > total - done) return false;  // runs past the last row
        done += c;
        std::uint32_t left = c;
        while (left > 0) {
            const std::uint32_t take = std::min<std::uint32_t>(left, static_cast<std::uint32_t>(width - x));
            std::uint16_t* dst = samples + static_cast<std::size_t>(y) * stride + x;
            std::fill(dst, dst + take, v);
            left -= take;
            x += static_cast<int>(take);
            if (x == width) {
                x = 0;
                ++y;
            }
        }
        return true;
    });
    return whole && done == total;
}

}  // namespace Mb3dMap
