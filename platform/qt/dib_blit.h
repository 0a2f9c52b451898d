// The blitting half of the relief library's DIB helpers: drawing bitmap objects and packed DIBs
// on a device context.
//
// A packed DIB is the relief library's Mb3dMap::PackedDib: a 40-byte info header (or a 12-byte
// core header), the colour table and the pixel rows (1, 4, 8, 16, 24 or 32 bits, uncompressed,
// rows padded to 4 bytes, bottom row first unless the height is negative).
//
// Source rectangles follow the platform's rule for DIBs: in a bottom-up DIB, sy counts rows from
// the bottom edge of the picture to the bottom edge of the rectangle; in a top-down DIB from the
// top. Raster operations: SRCCOPY for pictures; with no DIB, BLACKNESS, WHITENESS and DSTINVERT
// fill the rectangle (other operations draw nothing and give false).
#pragma once

#include <cstdint>
#include <vector>

#include "mbbmp/control_bmp.h"

class QImage;

namespace rymd::ui {

class Dc;

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;
inline constexpr std::uint32_t DSTINVERT = 0x00550009;

// The packed DIB as a top-down 32-bit picture; null when it is malformed or compressed.
QImage ImageFromPackedDib(const std::vector<std::uint8_t>& dib);

// Copies the whole bitmap to (x, y). False for a null context or bitmap, or another operation.
bool DrawBitmap(Dc& dc, int x, int y, MbBmp::HBITMAP bmp, std::uint32_t rop = SRCCOPY);
// Copies w x h pixels of the DIB from (sx, sy) to (x, y); with an empty DIB fills the rectangle
// by the operation.
bool DibBlt(Dc& dc, int x, int y, int w, int h, const std::vector<std::uint8_t>& dib, int sx, int sy,
            std::uint32_t rop = SRCCOPY);
// Stretches the DIB's sw x sh pixels from (sx, sy) to the w x h rectangle at (x, y).
bool StretchDibBlt(Dc& dc, int x, int y, int w, int h, const std::vector<std::uint8_t>& dib, int sx, int sy,
                   int sw, int sh, std::uint32_t rop = SRCCOPY);

}  // namespace rymd::ui
