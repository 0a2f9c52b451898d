// Helpers for the bitmap tests: deterministic test pictures and pixel comparisons.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "mbbmp/control_bmp.h"

namespace bmptest {

using MbBmp::BYTE;
using MbBmp::CControlBmp;
using MbBmp::COLORREF;
using MbBmp::RGBQUAD;

// Shape of a test picture (palette entries for 8 bits).
struct Shape {
    int w, h, bits, pallet;
};

// A palette of count entries with distinct colours.
inline std::vector<RGBQUAD> TestPalette(int count) {
    std::vector<RGBQUAD> p(count);
    for (int i = 0; i < count; ++i) {
        p[i] = RGBQUAD{static_cast<BYTE>(i * 7), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 3 + 1), 0};
    }
    return p;
}

// A bitmap of the given shape whose every pixel byte (also the fourth byte of 32 bits) comes from
// a fixed pattern; 8-bit pictures use indices below the palette count.
inline CControlBmp MakePattern(int w, int h, int bits, int palletCount = 256) {
    CControlBmp bmp;
    std::vector<RGBQUAD> pal = TestPalette(palletCount);
    bmp.CreateBitmap(w, h, bits, bits == 8 ? palletCount : 0, bits == 8 ? pal.data() : nullptr);
    std::uint32_t state = 12345u + static_cast<std::uint32_t>(w * 31 + h * 7 + bits);
    for (int y = 0; y < h; ++y) {
        BYTE* row = bmp.GetLinePtr(y);
        for (int i = 0; i < w * (bits / 8); ++i) {
            state = state * 1103515245u + 12345u;
            const BYTE v = static_cast<BYTE>(state >> 16);
            row[i] = bits == 8 ? static_cast<BYTE>(v % palletCount) : v;
        }
    }
    return bmp;
}

// A smooth colour picture (for lossy JPEG checks).
inline CControlBmp MakeGradient(int w, int h, int bits) {
    CControlBmp bmp;
    bmp.CreateBitmap(w, h, bits);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bmp.SetPixelColor(x, y, MbBmp::RGB(x * 255 / w, y * 255 / h, (x + y) * 255 / (w + h)));
        }
    }
    return bmp;
}

// True when both have the same shape, palette and pixel bytes (row padding ignored).
inline bool SamePicture(const CControlBmp& a, const CControlBmp& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() ||
        a.GetBitCount() != b.GetBitCount() || a.GetPalletNum() != b.GetPalletNum())
        return false;
    if (a.IsEmpty()) return true;
    for (int i = 0; i < a.GetPalletNum(); ++i) {
        const RGBQUAD p = a.GetPalletPtr()[i], q = b.GetPalletPtr()[i];
        if (p.rgbBlue != q.rgbBlue || p.rgbGreen != q.rgbGreen || p.rgbRed != q.rgbRed) return false;
    }
    const int rowLen = a.GetWidth() * a.GetPixelBytes();
    for (int y = 0; y < a.GetHeight(); ++y) {
        const BYTE* ra = a.GetLinePtr(y);
        const BYTE* rb = b.GetLinePtr(y);
        for (int i = 0; i < rowLen; ++i) {
            if (ra[i] != rb[i]) return false;
        }
    }
    return true;
}

// Largest difference of any colour channel between two pictures of the same size.
inline int MaxChannelDifference(const CControlBmp& a, const CControlBmp& b) {
    int worst = 0;
    for (int y = 0; y < a.GetHeight(); ++y) {
        for (int x = 0; x < a.GetWidth(); ++x) {
            const COLORREF p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF);
                worst = std::max(worst, d < 0 ? -d : d);
            }
        }
    }
    return worst;
}

}  // namespace bmptest
