#include "mb3dmap/ctrl_dib.h"

#include <algorithm>
#include <cstring>

namespace Mb3dMap {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kChunk = 32768;
constexpr std::int64_t kMaxDibSide = MbBmp::kMaxBitmapSide;
constexpr std::int64_t kMaxDibBytes = MbBmp::kMaxBitmapBytes;

std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

BITMAPINFOHEADER ParseInfo(const std::uint8_t* p) {
    BITMAPINFOHEADER h;
    h.biSize = Get32(p);
    h.biWidth = static_cast<std::int32_t>(Get32(p + 4));
    h.biHeight = static_cast<std::int32_t>(Get32(p + 8));
    h.biPlanes = Get16(p + 12);
    h.biBitCount = Get16(p + 14);
    h.biCompression = Get32(p + 16);
    h.biSizeImage = Get32(p + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(Get32(p + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(Get32(p + 28));
    h.biClrUsed = Get32(p + 32);
    h.biClrImportant = Get32(p + 36);
    return h;
}

void StoreInfo(std::uint8_t* p, const BITMAPINFOHEADER& h) {
    Put32(p, h.biSize);
    Put32(p + 4, static_cast<std::uint32_t>(h.biWidth));
    Put32(p + 8, static_cast<std::uint32_t>(h.biHeight));
    Put16(p + 12, h.biPlanes);
    Put16(p + 14, h.biBitCount);
    Put32(p + 16, h.biCompression);
    Put32(p + 20, h.biSizeImage);
    Put32(p + 24, static_cast<std::uint32_t>(h.biXPelsPerMeter));
    Put32(p + 28, static_cast<std::uint32_t>(h.biYPelsPerMeter));
    Put32(p + 32, h.biClrUsed);
    Put32(p + 36, h.biClrImportant);
}

std::int64_t RowBytes(std::int64_t width, int bits) {
    return (width * bits + 31) / 32 * 4;
}

bool KnownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Sizes that a DIB of this library may have.
bool SaneShape(std::int64_t width, std::int64_t height, int bits) {
    if (!KnownDepth(bits) || width < 1 || height == 0) return false;
    const std::int64_t h = height < 0 ? -height : height;
    if (width > kMaxDibSide || h > kMaxDibSide) return false;
    return RowBytes(width, bits) * h <= kMaxDibBytes;
}

}  // namespace

std::uint32_t CCtrlDib::lread(std::FILE* file, void* buf, std::uint32_t n) {
    if (file == nullptr || (buf == nullptr && n > 0)) return 0;
    auto* p = static_cast<std::uint8_t*>(buf);
    std::uint32_t left = n;
    while (left > 0) {
        const std::uint32_t chunk = std::min(left, kChunk);
        if (std::fread(p, 1, chunk, file) != chunk) return 0;
        p += chunk;
        left -= chunk;
    }
    return n;
}

std::uint32_t CCtrlDib::lwrite(std::FILE* file, const void* buf, std::uint32_t n) {
    if (file == nullptr || (buf == nullptr && n > 0)) return 0;
    const auto* p = static_cast<const std::uint8_t*>(buf);
    std::uint32_t left = n;
    while (left > 0) {
        const std::uint32_t chunk = std::min(left, kChunk);
        if (std::fwrite(p, 1, chunk, file) != chunk) return 0;
        p += chunk;
        left -= chunk;
    }
    return n;
}

void CCtrlDib::ReadBitMapFileHeaderandConvertToDwordAlign(std::FILE* file, BITMAPFILEHEADER* out,
                                                          std::uint32_t* size) {
    std::uint8_t b[kFileHeaderSize] = {};
    const std::size_t got = file ? std::fread(b, 1, sizeof b, file) : 0;
    if (size) *size = static_cast<std::uint32_t>(got);
    if (!out) return;
    out->bfType = Get16(b);
    out->bfSize = Get32(b + 2);
    out->bfReserved1 = Get16(b + 6);
    out->bfReserved2 = Get16(b + 8);
    out->bfOffBits = Get32(b + 10);
}

void CCtrlDib::WriteMapFileHeaderandConvertFromDwordAlignToPacked(std::FILE* file,
                                                                  const BITMAPFILEHEADER* hdr) {
    if (!file || !hdr) return;
    std::uint8_t b[kFileHeaderSize];
    Put16(b, hdr->bfType);
    Put32(b + 2, hdr->bfSize);
    Put16(b + 6, hdr->bfReserved1);
    Put16(b + 8, hdr->bfReserved2);
    Put32(b + 10, hdr->bfOffBits);
    std::fwrite(b, 1, sizeof b, file);
}

std::uint16_t CCtrlDib::DibNumColors(const std::uint8_t* info) {
    if (info == nullptr) return 0;
    const std::uint32_t size = Get32(info);
    int bits;
    if (size == kCoreHeaderSize) {
        bits = Get16(info + 10);
    } else {
        const std::uint32_t used = Get32(info + 32);
        if (used != 0) return static_cast<std::uint16_t>(std::min<std::uint32_t>(used, 256));
        bits = Get16(info + 14);
    }
    switch (bits) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

std::uint16_t CCtrlDib::PaletteSize(const std::uint8_t* info) {
    if (info == nullptr) return 0;
    const int entry = Get32(info) == kCoreHeaderSize ? 3 : 4;
    return static_cast<std::uint16_t>(DibNumColors(info) * entry);
}

PackedDib CCtrlDib::ReadDibBitmapInfo(std::FILE* file) {
    if (file == nullptr) return {};
    const long start = std::ftell(file);
    if (start < 0) return {};
    BITMAPFILEHEADER fh;
    std::uint32_t got = 0;
    ReadBitMapFileHeaderandConvertToDwordAlign(file, &fh, &got);
    bool haveFileHeader = got == kFileHeaderSize && fh.bfType == kBmpSignature;
    if (!haveFileHeader && std::fseek(file, start, SEEK_SET) != 0) return {};

    std::uint8_t raw[kInfoHeaderSize] = {};
    if (lread(file, raw, 4) != 4) return {};
    const std::uint32_t headerSize = Get32(raw);
    BITMAPINFOHEADER bi;
    bool core = false;
    if (headerSize == kInfoHeaderSize) {
        if (lread(file, raw + 4, kInfoHeaderSize - 4) != kInfoHeaderSize - 4) return {};
        bi = ParseInfo(raw);
    } else if (headerSize == kCoreHeaderSize) {
        if (lread(file, raw + 4, kCoreHeaderSize - 4) != kCoreHeaderSize - 4) return {};
        core = true;
        bi.biWidth = Get16(raw + 4);
        bi.biHeight = Get16(raw + 6);
        bi.biPlanes = Get16(raw + 8);
        bi.biBitCount = Get16(raw + 10);
    } else {
        return {};
    }
    if (!SaneShape(bi.biWidth, bi.biHeight, bi.biBitCount)) return {};
    const std::int64_t rows = bi.biHeight < 0 ? -static_cast<std::int64_t>(bi.biHeight) : bi.biHeight;
    if (bi.biSizeImage == 0)
        bi.biSizeImage = static_cast<std::uint32_t>(RowBytes(bi.biWidth, bi.biBitCount) * rows);
    if (bi.biSizeImage > kMaxDibBytes) return {};
    bi.biSize = kInfoHeaderSize;
    std::uint8_t header[kInfoHeaderSize];
    StoreInfo(header, bi);
    const std::uint16_t colours = DibNumColors(header);
    if (bi.biClrUsed == 0) bi.biClrUsed = colours;
    StoreInfo(header, bi);

    PackedDib dib(kInfoHeaderSize + static_cast<std::size_t>(colours) * 4);
    std::memcpy(dib.data(), header, kInfoHeaderSize);
    std::uint8_t* table = dib.data() + kInfoHeaderSize;
    for (int i = 0; i < colours; ++i) {
        std::uint8_t q[4] = {};
        if (lread(file, q, core ? 3 : 4) == 0) return {};
        std::memcpy(table + i * 4, q, 3);
        table[i * 4 + 3] = 0;
    }
    if (haveFileHeader && fh.bfOffBits != 0 &&
        std::fseek(file, start + static_cast<long>(fh.bfOffBits), SEEK_SET) != 0)
        return {};
    return dib;
}

PackedDib CCtrlDib::OpenDIB(const char* path) {
    if (path == nullptr) return {};
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return {};
    PackedDib dib = ReadDibBitmapInfo(f);
    if (!dib.empty()) {
        const std::uint32_t image = Get32(dib.data() + 20);
        const std::size_t head = dib.size();
        dib.resize(head + image);
        if (image > 0 && lread(f, dib.data() + head, image) != image) dib.clear();
    }
    std::fclose(f);
    dib.shrink_to_fit();
    return dib;
}

bool CCtrlDib::WriteDIB(const char* path, const PackedDib& dib) {
    if (path == nullptr || dib.size() < kInfoHeaderSize) return false;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    BITMAPFILEHEADER fh;
    fh.bfType = kBmpSignature;
    fh.bfSize = static_cast<std::uint32_t>(dib.size() + kFileHeaderSize);
    fh.bfOffBits = Get32(dib.data()) + PaletteSize(dib.data()) + kFileHeaderSize;
    WriteMapFileHeaderandConvertFromDwordAlignToPacked(f, &fh);
    const bool ok = lwrite(f, dib.data(), static_cast<std::uint32_t>(dib.size())) == dib.size();
    const bool closed = std::fclose(f) == 0;
    return ok && closed;
}

bool CCtrlDib::DibInfo(const PackedDib& dib, BITMAPINFOHEADER* out) {
    if (dib.size() < kInfoHeaderSize || out == nullptr) return false;
    BITMAPINFOHEADER bi = ParseInfo(dib.data());
    if (bi.biSize == kInfoHeaderSize) {
        if (bi.biSizeImage == 0) {
            const std::int64_t rows = bi.biHeight < 0 ? -static_cast<std::int64_t>(bi.biHeight) : bi.biHeight;
            bi.biSizeImage = static_cast<std::uint32_t>(RowBytes(bi.biWidth, bi.biBitCount) * rows);
        }
        if (bi.biClrUsed == 0) bi.biClrUsed = DibNumColors(dib.data());
    }
    *out = bi;
    return true;
}

DibPalette CCtrlDib::CreateBIPalette(const std::uint8_t* info, std::size_t size) {
    if (info == nullptr || size < kInfoHeaderSize || Get32(info) != kInfoHeaderSize) return {};
    const int colours = DibNumColors(info);
    DibPalette pal;
    if (colours > 0) {
        if (size < kInfoHeaderSize + static_cast<std::size_t>(colours) * 4) return {};
        const std::uint8_t* t = info + kInfoHeaderSize;
        for (int i = 0; i < colours; ++i)
            pal.push_back(MbBmp::RGBQUAD{t[i * 4], t[i * 4 + 1], t[i * 4 + 2], 0});
    } else if (Get16(info + 14) == 24) {
        std::uint8_t r = 0, g = 0, b = 0;
        for (int i = 0; i < 256; ++i) {
            pal.push_back(MbBmp::RGBQUAD{b, g, r, 0});
            r = static_cast<std::uint8_t>(r + 32);
            if (r == 0) {
                g = static_cast<std::uint8_t>(g + 32);
                if (g == 0) b = static_cast<std::uint8_t>(b + 64);
            }
        }
    }
    return pal;
}

DibPalette CCtrlDib::CreateDibPalette(const PackedDib& dib) {
    if (dib.empty()) return {};
    return CreateBIPalette(dib.data(), dib.size());
}

PackedDib CCtrlDib::DibFromBitmap(MbBmp::HBITMAP bmp, std::uint32_t compression, std::uint16_t bits,
                                  const DibPalette* pal) {
    if (bmp == nullptr || bmp->pixels.empty() || compression != BI_RGB) return {};
    if (bits == 0) bits = static_cast<std::uint16_t>(bmp->bitCount);
    if (bits != 8 && bits != 24 && bits != 32) return {};
    MbBmp::CControlBmp conv;
    const MbBmp::BitmapData* src = bmp;
    if (bits != bmp->bitCount || (bits == 8 && pal != nullptr && !pal->empty())) {
        const bool withPal = bits == 8 && pal != nullptr && !pal->empty();
        const int count = withPal ? static_cast<int>(std::min<std::size_t>(pal->size(), 256)) : 0;
        if (!conv.CreateDuplicate(bmp, bits, count, withPal ? pal->data() : nullptr)) return {};
        src = conv.GetHbmp();
    }
    const int colours = bits == 8 ? src->palletNum : 0;
    BITMAPINFOHEADER bi;
    bi.biWidth = src->width;
    bi.biHeight = src->height;
    bi.biBitCount = bits;
    bi.biSizeImage = static_cast<std::uint32_t>(src->pixels.size());
    bi.biClrUsed = static_cast<std::uint32_t>(colours);
    PackedDib dib(kInfoHeaderSize + static_cast<std::size_t>(colours) * 4 + src->pixels.size());
    StoreInfo(dib.data(), bi);
    std::uint8_t* t = dib.data() + kInfoHeaderSize;
    for (int i = 0; i < colours; ++i) {
        t[i * 4] = src->pallet[i].rgbBlue;
        t[i * 4 + 1] = src->pallet[i].rgbGreen;
        t[i * 4 + 2] = src->pallet[i].rgbRed;
        t[i * 4 + 3] = 0;
    }
    // The bitmap object keeps its rows bottom first, padded to 4 bytes: the DIB's own layout.
    std::memcpy(t + colours * 4, src->pixels.data(), src->pixels.size());
    return dib;
}

bool CCtrlDib::BitmapFromDib(const PackedDib& dib, const DibPalette* pal, MbBmp::CControlBmp& out) {
    if (dib.size() < kInfoHeaderSize || Get32(dib.data()) != kInfoHeaderSize) return false;
    const BITMAPINFOHEADER bi = ParseInfo(dib.data());
    if (bi.biCompression != BI_RGB || !SaneShape(bi.biWidth, bi.biHeight, bi.biBitCount)) return false;
    const int colours = DibNumColors(dib.data());
    const std::size_t bitsAt = kInfoHeaderSize + static_cast<std::size_t>(colours) * 4;
    const int w = bi.biWidth;
    const bool topDown = bi.biHeight < 0;
    const int h = topDown ? -bi.biHeight : bi.biHeight;
    const std::int64_t rowBytes = RowBytes(w, bi.biBitCount);
    if (static_cast<std::int64_t>(dib.size()) < static_cast<std::int64_t>(bitsAt) + rowBytes * h)
        return false;

    MbBmp::CControlBmp bmp;
    const int depth = bi.biBitCount;
    if (depth <= 8) {
        std::vector<MbBmp::RGBQUAD> table;
        if (pal != nullptr && !pal->empty()) {
            table.assign(pal->begin(), pal->begin() + std::min<std::size_t>(pal->size(), 256));
        } else {
            const std::uint8_t* t = dib.data() + kInfoHeaderSize;
            for (int i = 0; i < colours; ++i)
                table.push_back(MbBmp::RGBQUAD{t[i * 4], t[i * 4 + 1], t[i * 4 + 2], 0});
        }
        if (table.empty()) table.resize(1);
        if (!bmp.CreateBitmap(w, h, 8, static_cast<int>(table.size()), table.data())) return false;
    } else if (!bmp.CreateBitmap(w, h, depth == 32 ? 32 : 24)) {
        return false;
    }
    const int outBytes = bmp.GetPixelBytes();
    for (int y = 0; y < h; ++y) {
        // Row y counted from the top.
        const std::uint8_t* in = dib.data() + bitsAt + rowBytes * (topDown ? y : h - 1 - y);
        std::uint8_t* o = bmp.GetLinePtr(y);
        for (int x = 0; x < w; ++x) {
            switch (depth) {
                case 1: o[x] = static_cast<std::uint8_t>((in[x >> 3] >> (7 - (x & 7))) & 1); break;
                case 4: o[x] = static_cast<std::uint8_t>((in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F); break;
                case 8: o[x] = in[x]; break;
                case 16: {
                    const int v = Get16(in + x * 2);
                    o[x * 3] = static_cast<std::uint8_t>((v & 0x1F) * 255 / 31);
                    o[x * 3 + 1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) * 255 / 31);
                    o[x * 3 + 2] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) * 255 / 31);
                    break;
                }
                default:
                    std::memcpy(o + x * outBytes, in + x * outBytes, static_cast<std::size_t>(outBytes));
                    break;
            }
        }
    }
    out = std::move(bmp);
    return true;
}

}  // namespace Mb3dMap
