// Helpers shared by the bitmap library's source files (not part of its interface).
#pragma once

#include <cstdint>
#include <memory>

#include "mbbmp/control_bmp.h"

namespace MbBmp::detail {

// Bytes per row of a bitmap: padded to 4.
inline std::int64_t RowBytes(int width, int bits) {
    return ((std::int64_t{width} * bits + 31) / 32) * 4;
}

// True when a bitmap of this size and depth may be made.
bool ValidShape(int width, int height, int bits);

// A new storage with zeroed pixels (bits 8 gets a grey ramp palette of 256); null when the shape
// is not valid.
std::unique_ptr<BitmapData> NewData(int width, int height, int bits);

// Fills the palette with a 256-step grey ramp and sets the count to 256.
void SetGreyRamp(BitmapData& d);
// True when the first palletNum entries form the grey ramp i -> (i, i, i) over 256 entries.
bool IsGreyRamp(const BitmapData& d);

// A copy of src converted to bits (see CControlBmp::CreateDuplicate); null on bad arguments.
std::unique_ptr<BitmapData> ConvertData(const BitmapData& src, int bits, int palletCount = 0,
                                        const RGBQUAD* palette = nullptr);

// A loaded picture in the form the caller asked for: unchanged, or 24 bits when toDisplayDepth.
std::unique_ptr<BitmapData> ToRequestedDepth(std::unique_ptr<BitmapData> d, bool toDisplayDepth);

// Blue, green and red of pixel x of a row (through the palette for 8 bits).
inline void ReadBgr(const BitmapData& d, const BYTE* row, int x, BYTE& b, BYTE& g, BYTE& r) {
    if (d.bitCount == 8) {
        const RGBQUAD& q = d.pallet[row[x]];
        b = q.rgbBlue;
        g = q.rgbGreen;
        r = q.rgbRed;
    } else {
        const BYTE* p = row + static_cast<std::int64_t>(x) * (d.bitCount / 8);
        b = p[0];
        g = p[1];
        r = p[2];
    }
}

}  // namespace MbBmp::detail
