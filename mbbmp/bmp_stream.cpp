// The stream form of a bitmap, as stored inside map files and saved games.
//
//   u8   form, 1
//   u8   bit count: 0 for an empty bitmap (nothing follows), else 8, 24 or 32
//   i32  width, i32 height (1 .. kMaxBitmapSide, at most kMaxBitmapBytes of pixels)
//   u16  palette entries: 1..256 for 8 bits, 0 otherwise; then per entry blue, green, red
//   u8   flags: bit 0 = a transparent colour follows; the other bits are 0
//   u32  transparent colour (COLORREF, top byte 0), only with flag bit 0
//   u8   row filter: 0 none; 1 each byte minus the byte one pixel to its left
//   u32  n, then n bytes of zlib data holding the rows bottom row first, without row padding
//
// The reader accepts exactly this: any other value, a short stream, zlib data that does not
// end exactly after n bytes or does not give exactly the pixel bytes is refused.
#include <zlib.h>

#include <cstring>

#include "mbbmp/bmp_internal.h"
#include "mbbmp/control_bmp.h"
#include "platform/core/archive.h"

namespace MbBmp {

namespace {

constexpr std::uint8_t kStreamForm = 1;
constexpr std::uint8_t kFlagTransparent = 0x01;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterSub = 1;
// Deflate never packs more than about 1032 bytes into one; a longer claim is a corrupt stream.
constexpr std::int64_t kMaxInflateRatio = 1040;

std::size_t PackedRowBytes(const BitmapData& d) {
    return static_cast<std::size_t>(d.width) * (d.bitCount / 8);
}

// The pixel rows without padding, bottom row first, filtered.
std::vector<BYTE> PackRows(const BitmapData& d, std::uint8_t filter) {
    const std::size_t rowLen = PackedRowBytes(d);
    const int step = d.bitCount / 8;
    std::vector<BYTE> out(rowLen * d.height);
    for (int y = 0; y < d.height; ++y) {
        const BYTE* in = d.pixels.data() + static_cast<std::size_t>(d.widthBytes) * y;
        BYTE* o = out.data() + rowLen * y;
        if (filter == kFilterNone) {
            std::memcpy(o, in, rowLen);
            continue;
        }
        for (std::size_t i = 0; i < rowLen; ++i) {
            o[i] = static_cast<BYTE>(in[i] - (i >= static_cast<std::size_t>(step) ? in[i - step] : 0));
        }
    }
    return out;
}

void UnpackRows(const std::vector<BYTE>& packed, std::uint8_t filter, BitmapData& d) {
    const std::size_t rowLen = PackedRowBytes(d);
    const int step = d.bitCount / 8;
    for (int y = 0; y < d.height; ++y) {
        const BYTE* in = packed.data() + rowLen * y;
        BYTE* o = d.pixels.data() + static_cast<std::size_t>(d.widthBytes) * y;
        if (filter == kFilterNone) {
            std::memcpy(o, in, rowLen);
            continue;
        }
        for (std::size_t i = 0; i < rowLen; ++i) {
            o[i] = static_cast<BYTE>(in[i] + (i >= static_cast<std::size_t>(step) ? o[i - step] : 0));
        }
    }
}

bool Deflate(const std::vector<BYTE>& raw, std::vector<BYTE>& out) {
    uLongf len = compressBound(static_cast<uLong>(raw.size()));
    out.resize(len);
    if (compress2(out.data(), &len, raw.data(), static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) !=
        Z_OK) {
        return false;
    }
    out.resize(len);
    return true;
}

// Inflates exactly n input bytes into exactly out.size() bytes.
bool InflateExact(const std::vector<BYTE>& in, std::vector<BYTE>& out) {
    uLongf outLen = static_cast<uLongf>(out.size());
    uLong inLen = static_cast<uLong>(in.size());
    if (uncompress2(out.data(), &outLen, in.data(), &inLen) != Z_OK) return false;
    return outLen == out.size() && inLen == in.size();
}

// Reads the palette part into d; false on a bad count.
bool ReadPallet(rymd::ArchiveReader& ar, BitmapData& d) {
    const int count = ar.ReadU16();
    if (d.bitCount == 8 ? (count < 1 || count > 256) : count != 0) return false;
    d.pallet.fill(RGBQUAD{});
    for (int i = 0; i < count; ++i) {
        RGBQUAD& q = d.pallet[i];
        q.rgbBlue = ar.ReadU8();
        q.rgbGreen = ar.ReadU8();
        q.rgbRed = ar.ReadU8();
    }
    d.palletNum = count;
    return ar.Ok();
}

}  // namespace

void CControlBmp::Serialize(rymd::ArchiveWriter& ar) const {
    ar.WriteU8(kStreamForm);
    if (!data_) {
        ar.WriteU8(0);
        return;
    }
    const BitmapData& d = *data_;
    const std::uint8_t filter = d.bitCount == 8 ? kFilterNone : kFilterSub;
    std::vector<BYTE> packed;
    if (!Deflate(PackRows(d, filter), packed)) {
        ar.WriteU8(0);  // cannot happen short of running out of memory; an empty bitmap is stored
        return;
    }
    ar.WriteU8(static_cast<std::uint8_t>(d.bitCount));
    ar.WriteI32(d.width);
    ar.WriteI32(d.height);
    ar.WriteU16(static_cast<std::uint16_t>(d.palletNum));
    for (int i = 0; i < d.palletNum; ++i) {
        ar.WriteU8(d.pallet[i].rgbBlue);
        ar.WriteU8(d.pallet[i].rgbGreen);
        ar.WriteU8(d.pallet[i].rgbRed);
    }
    ar.WriteU8(hasTransparent_ ? kFlagTransparent : 0);
    if (hasTransparent_) ar.WriteU32(transparent_);
    ar.WriteU8(filter);
    ar.WriteU32(static_cast<std::uint32_t>(packed.size()));
    ar.WriteBytes(packed.data(), packed.size());
}

bool CControlBmp::Serialize(rymd::ArchiveReader& ar) {
    auto refuse = [&ar]() {
        ar.Fail();
        return false;
    };
    if (ar.ReadU8() != kStreamForm) return refuse();
    const int bits = ar.ReadU8();
    if (!ar.Ok()) return refuse();
    if (bits == 0) {
        FreeBitmap();
        hasTransparent_ = false;
        return true;
    }
    const int width = ar.ReadI32();
    const int height = ar.ReadI32();
    if (!ar.Ok() || !detail::ValidShape(width, height, bits)) return refuse();
    BitmapData d;  // filled first, allocated only once the rest of the head is sound
    d.width = width;
    d.height = height;
    d.bitCount = bits;
    d.widthBytes = static_cast<int>(detail::RowBytes(width, bits));
    if (!ReadPallet(ar, d)) return refuse();
    const std::uint8_t flags = ar.ReadU8();
    if ((flags & ~kFlagTransparent) != 0) return refuse();
    const bool hasTransparent = (flags & kFlagTransparent) != 0;
    const COLORREF transparent = hasTransparent ? ar.ReadU32() : 0;
    if ((transparent & 0xFF000000u) != 0) return refuse();
    const std::uint8_t filter = ar.ReadU8();
    if (filter != kFilterNone && filter != kFilterSub) return refuse();
    const std::uint32_t n = ar.ReadU32();
    if (!ar.Ok() || n == 0 || n > ar.Remaining()) return refuse();
    const std::int64_t rawSize = static_cast<std::int64_t>(PackedRowBytes(d)) * height;
    if (rawSize > static_cast<std::int64_t>(n) * kMaxInflateRatio) return refuse();

    std::vector<BYTE> packed(n);
    if (!ar.ReadBytes(packed.data(), n)) return refuse();
    std::vector<BYTE> raw(static_cast<std::size_t>(rawSize));
    if (!InflateExact(packed, raw)) return refuse();
    d.pixels.assign(static_cast<std::size_t>(d.widthBytes) * height, 0);
    UnpackRows(raw, filter, d);

    Adopt(std::make_unique<BitmapData>(std::move(d)));
    hasTransparent_ = hasTransparent;
    transparent_ = transparent;
    return true;
}

}  // namespace MbBmp
