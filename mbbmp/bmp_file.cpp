// BMP files, and the file loaders of every picture format.
//
// Read: the 12-byte core header and the 40-, 52-, 56-, 108- and 124-byte info headers; 1, 4 and
// 8 bits with palette (become 8 bits), 24 bits, 32 bits (uncompressed, or bit fields with the
// usual masks); rows bottom-up or top-down. Compressed (RLE) files are refused, as is anything
// whose header, palette or rows do not fit in the file.
#include <cstring>

#include "mbbmp/bmp_internal.h"
#include "mbbmp/control_bmp.h"
#include "platform/core/file.h"

namespace MbBmp {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

std::uint32_t U16(const BYTE* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t U32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void PutU16(std::vector<BYTE>& v, std::uint32_t x) {
    v.push_back(static_cast<BYTE>(x));
    v.push_back(static_cast<BYTE>(x >> 8));
}
void PutU32(std::vector<BYTE>& v, std::uint32_t x) {
    PutU16(v, x & 0xFFFF);
    PutU16(v, x >> 16);
}

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows top-down
    int bits = 0;
    std::uint32_t compression = kBiRgb;
    std::int64_t palletCount = 0;
    int palletEntryBytes = 4;
    std::int64_t palletOffset = 0;
    std::int64_t pixelOffset = 0;
};

// Reads and checks the headers; false when the file is not a BMP this reader takes.
bool ReadHeader(const BYTE* data, std::int64_t size, BmpHeader& h) {
    if (size < kFileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M') return false;
    h.pixelOffset = U32(data + 10);
    const BYTE* info = data + kFileHeaderSize;
    const std::int64_t infoSize = U32(info);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
        infoSize != 124)
        return false;
    if (kFileHeaderSize + infoSize > size) return false;
    std::uint32_t planes;
    std::int64_t colorsUsed = 0;
    if (infoSize == 12) {
        h.width = U16(info + 4);
        h.height = U16(info + 6);
        planes = U16(info + 8);
        h.bits = static_cast<int>(U16(info + 10));
        h.palletEntryBytes = 3;
    } else {
        h.width = static_cast<std::int32_t>(U32(info + 4));
        h.height = static_cast<std::int32_t>(U32(info + 8));
        planes = U16(info + 12);
        h.bits = static_cast<int>(U16(info + 14));
        h.compression = U32(info + 16);
        colorsUsed = U32(info + 32);
    }
    if (planes != 1) return false;
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32) return false;
    if (h.width < 1 || h.height == 0 || h.width > kMaxBitmapSide || h.height > kMaxBitmapSide ||
        h.height < -kMaxBitmapSide)
        return false;
    std::int64_t maskBytes = 0;
    if (h.compression == kBiBitfields) {
        if (h.bits != 32) return false;
        // The masks follow a 40-byte header, or sit inside the longer ones at the same place.
        if (infoSize == 40) maskBytes = 12;
        if (kFileHeaderSize + 40 + 12 > size) return false;
        const BYTE* masks = info + 40;
        if (U32(masks) != 0xFF0000 || U32(masks + 4) != 0xFF00 || U32(masks + 8) != 0xFF) return false;
    } else if (h.compression != kBiRgb) {
        return false;
    }
    if (h.bits <= 8) {
        const std::int64_t maxColours = std::int64_t{1} << h.bits;
        h.palletCount = colorsUsed == 0 ? maxColours : colorsUsed;
        if (h.palletCount > maxColours) return false;
    }
    h.palletOffset = kFileHeaderSize + infoSize + maskBytes;
    const std::int64_t palletEnd = h.palletOffset + h.palletCount * h.palletEntryBytes;
    if (palletEnd > size || h.pixelOffset < palletEnd) return false;
    const std::int64_t rowBytes = detail::RowBytes(static_cast<int>(h.width), h.bits);
    const std::int64_t rows = h.height < 0 ? -h.height : h.height;
    return h.pixelOffset + rowBytes * rows <= size;
}

// Index of pixel x in a row of 1, 4 or 8 bits.
BYTE PaletteIndex(const BYTE* row, std::int64_t x, int bits) {
    if (bits == 8) return row[x];
    if (bits == 4) return static_cast<BYTE>((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
    return static_cast<BYTE>((row[x / 8] >> (7 - x % 8)) & 0x01);
}

std::unique_ptr<BitmapData> DecodeBmp(const BYTE* data, std::int64_t size) {
    BmpHeader h;
    if (data == nullptr || !ReadHeader(data, size, h)) return nullptr;
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height < 0 ? -h.height : h.height);
    const int outBits = h.bits <= 8 ? 8 : h.bits;
    auto d = detail::NewData(width, height, outBits);
    if (!d) return nullptr;
    if (outBits == 8) {
        d->pallet.fill(RGBQUAD{});
        for (std::int64_t i = 0; i < h.palletCount; ++i) {
            const BYTE* e = data + h.palletOffset + i * h.palletEntryBytes;
            d->pallet[i] = RGBQUAD{e[0], e[1], e[2], 0};
        }
        d->palletNum = static_cast<int>(h.palletCount);
    }
    const std::int64_t srcRowBytes = detail::RowBytes(width, h.bits);
    for (int y = 0; y < height; ++y) {
        // Memory row y counts from the bottom, as in a bottom-up file.
        const int fileRow = h.height < 0 ? height - 1 - y : y;
        const BYTE* in = data + h.pixelOffset + srcRowBytes * fileRow;
        BYTE* out = d->pixels.data() + static_cast<std::size_t>(d->widthBytes) * y;
        if (h.bits <= 8) {
            for (int x = 0; x < width; ++x)
                out[x] = PaletteIndex(in, x, h.bits);
        } else {
            std::memcpy(out, in, static_cast<std::size_t>(width) * (h.bits / 8));
        }
    }
    return d;
}

bool ReadWholeFile(const char* path, std::vector<BYTE>& bytes) {
    return path != nullptr && rymd::ReadFileBytes(path, bytes, static_cast<std::uint64_t>(kMaxBitmapBytes)) &&
           !bytes.empty();
}

}  // namespace

namespace detail {

std::unique_ptr<BitmapData> ToRequestedDepth(std::unique_ptr<BitmapData> d, bool toDisplayDepth) {
    if (!d || !toDisplayDepth || d->bitCount == 24) return d;
    return ConvertData(*d, 24);
}

}  // namespace detail

bool CControlBmp::LoadBmpData(const BYTE* data, int size, bool toDisplayDepth) {
    if (size <= 0) return false;
    auto d = detail::ToRequestedDepth(DecodeBmp(data, size), toDisplayDepth);
    if (!d) return false;
    Adopt(std::move(d));
    return true;
}

bool CControlBmp::SaveBmpData(std::vector<BYTE>& out) const {
    out.clear();
    if (!data_) return false;
    const BitmapData& d = *data_;
    const std::uint32_t palletBytes = d.bitCount == 8 ? 4u * d.palletNum : 0u;
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + palletBytes;
    out.reserve(pixelOffset + d.pixels.size());
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<std::uint32_t>(pixelOffset + d.pixels.size()));
    PutU32(out, 0);
    PutU32(out, pixelOffset);
    PutU32(out, kInfoHeaderSize);
    PutU32(out, static_cast<std::uint32_t>(d.width));
    PutU32(out, static_cast<std::uint32_t>(d.height));
    PutU16(out, 1);
    PutU16(out, static_cast<std::uint32_t>(d.bitCount));
    PutU32(out, kBiRgb);
    PutU32(out, static_cast<std::uint32_t>(d.pixels.size()));
    PutU32(out, 2835);  // 72 dots per inch
    PutU32(out, 2835);
    PutU32(out, d.bitCount == 8 ? static_cast<std::uint32_t>(d.palletNum) : 0u);
    PutU32(out, 0);
    for (int i = 0; d.bitCount == 8 && i < d.palletNum; ++i) {
        out.push_back(d.pallet[i].rgbBlue);
        out.push_back(d.pallet[i].rgbGreen);
        out.push_back(d.pallet[i].rgbRed);
        out.push_back(0);
    }
    out.insert(out.end(), d.pixels.begin(), d.pixels.end());
    return true;
}

bool CControlBmp::LoadBmpFile(const char* path, bool toDisplayDepth) {
    std::vector<BYTE> bytes;
    return ReadWholeFile(path, bytes) &&
           LoadBmpData(bytes.data(), static_cast<int>(bytes.size()), toDisplayDepth);
}

bool CControlBmp::LoadJpegFile(const char* path, bool toDisplayDepth) {
    std::vector<BYTE> bytes;
    return ReadWholeFile(path, bytes) &&
           LoadJpegData(bytes.data(), static_cast<int>(bytes.size()), toDisplayDepth);
}

bool CControlBmp::LoadPngFile(const char* path, bool toDisplayDepth) {
    std::vector<BYTE> bytes;
    return ReadWholeFile(path, bytes) &&
           LoadPngData(bytes.data(), static_cast<int>(bytes.size()), toDisplayDepth);
}

bool CControlBmp::LoadImageFile(const char* path, bool toDisplayDepth) {
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(path, bytes) || bytes.size() < 4) return false;
    const int size = static_cast<int>(bytes.size());
    if (bytes[0] == 'B' && bytes[1] == 'M') return LoadBmpData(bytes.data(), size, toDisplayDepth);
    if (bytes[0] == 0xFF && bytes[1] == 0xD8) return LoadJpegData(bytes.data(), size, toDisplayDepth);
    if (bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G')
        return LoadPngData(bytes.data(), size, toDisplayDepth);
    return false;
}

}  // namespace MbBmp
