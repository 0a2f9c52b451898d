// Device-independent bitmaps: BMP files read and written as packed DIBs, palettes for them, and
// conversion between the bitmap object and packed DIBs. (Blitting a DIB to the screen belongs to
// the window layer.)
//
// A packed DIB is one block of bytes: a 40-byte info header (a 12-byte core header is accepted
// on reading and widened), the colour table (4 bytes an entry) and the pixel rows (padded to 4
// bytes, bottom row first unless the height is negative). An empty block stands for "no DIB",
// an empty palette for "no palette".
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "mbbmp/control_bmp.h"

namespace Mb3dMap {

using PackedDib = std::vector<std::uint8_t>;
using DibPalette = std::vector<MbBmp::RGBQUAD>;

struct BITMAPINFOHEADER {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct BITMAPFILEHEADER {
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
};

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM"

class CCtrlDib {
public:
    virtual ~CCtrlDib() = default;

    // Reads a BMP file (with or without its 14-byte file header) into a packed DIB; empty on
    // any failure.
    PackedDib OpenDIB(const char* path);
    // Writes the packed DIB as a BMP file; false when dib is empty or the file cannot be written.
    bool WriteDIB(const char* path, const PackedDib& dib);
    // Copies the info header, filling a zero image size and a zero colour count; false for an
    // empty or malformed DIB.
    bool DibInfo(const PackedDib& dib, BITMAPINFOHEADER* out);
    // Palette of a DIB (the info header followed by its colour table): its colour table; for 24
    // bits without one, 256 colours stepping red by 32, green by 32, blue by 64; else none.
    DibPalette CreateBIPalette(const std::uint8_t* info, std::size_t size);
    DibPalette CreateDibPalette(const PackedDib& dib);
    // Reads the file header (when the file starts with "BM"), the info or core header and the
    // colour table; leaves the file at the pixel bits. Empty on failure.
    PackedDib ReadDibBitmapInfo(std::FILE* file);
    // Bytes of the colour table (entries x 4, x 3 for a core header).
    static std::uint16_t PaletteSize(const std::uint8_t* info);
    // Colours of the colour table: the used count when given, else 2, 16 or 256 by bit count.
    static std::uint16_t DibNumColors(const std::uint8_t* info);
    // Packed DIB of a bitmap at bits per pixel (0: its own depth; 8, 24 or 32); an 8-bit DIB of
    // a bitmap of another depth takes the nearest colours of pal (none: grey levels). Only
    // uncompressed DIBs (BI_RGB).
    PackedDib DibFromBitmap(MbBmp::HBITMAP bmp, std::uint32_t compression, std::uint16_t bits,
                            const DibPalette* pal);
    // The DIB as a bitmap object (1, 4 and 8 bits become 8 bits with the colour table, or the
    // colours of pal when given; 16, 24 and 32 bits become 24 or 32 bits). False on failure.
    bool BitmapFromDib(const PackedDib& dib, const DibPalette* pal, MbBmp::CControlBmp& out);
    // Read or write n bytes in chunks of 32768; n, or 0 when any chunk falls short.
    std::uint32_t lread(std::FILE* file, void* buf, std::uint32_t n);
    std::uint32_t lwrite(std::FILE* file, const void* buf, std::uint32_t n);
    // The packed 14-byte file header, field by field; *size gets the bytes read.
    void ReadBitMapFileHeaderandConvertToDwordAlign(std::FILE* file, BITMAPFILEHEADER* out,
                                                    std::uint32_t* size);
    void WriteMapFileHeaderandConvertFromDwordAlignToPacked(std::FILE* file, const BITMAPFILEHEADER* hdr);
};

}  // namespace Mb3dMap
