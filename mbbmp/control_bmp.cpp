// The bitmap object: storage, creation, copies, palette and single pixels.
#include "mbbmp/control_bmp.h"

#include <algorithm>
#include <cstring>

#include "mbbmp/bmp_internal.h"

namespace MbBmp {

namespace {

TextRenderer* g_textRenderer = nullptr;

int Luma(BYTE b, BYTE g, BYTE r) {
    return (r * 299 + g * 587 + b * 114 + 500) / 1000;
}

int NearestEntry(const BitmapData& d, BYTE b, BYTE g, BYTE r) {
    int best = 0;
    int bestDist = 1 << 30;
    for (int i = 0; i < d.palletNum; ++i) {
        const RGBQUAD& q = d.pallet[i];
        int db = q.rgbBlue - b, dg = q.rgbGreen - g, dr = q.rgbRed - r;
        int dist = db * db + dg * dg + dr * dr;
        if (dist < bestDist) {
            bestDist = dist;
            best = i;
        }
    }
    return best;
}

// Writes pixel x of a row of dst (24 or 32 bits) from blue, green, red.
void WriteBgr(const BitmapData& dst, BYTE* row, int x, BYTE b, BYTE g, BYTE r) {
    BYTE* p = row + static_cast<std::int64_t>(x) * (dst.bitCount / 8);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

}  // namespace

namespace detail {

bool ValidShape(int width, int height, int bits) {
    if (bits != 8 && bits != 24 && bits != 32) return false;
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
    return RowBytes(width, bits) * height <= kMaxBitmapBytes;
}

std::unique_ptr<BitmapData> NewData(int width, int height, int bits) {
    if (!ValidShape(width, height, bits)) return nullptr;
    auto d = std::make_unique<BitmapData>();
    d->width = width;
    d->height = height;
    d->bitCount = bits;
    d->widthBytes = static_cast<int>(RowBytes(width, bits));
    d->pixels.assign(static_cast<std::size_t>(d->widthBytes) * height, 0);
    if (bits == 8) SetGreyRamp(*d);
    return d;
}

void SetGreyRamp(BitmapData& d) {
    for (int i = 0; i < 256; ++i) {
        BYTE v = static_cast<BYTE>(i);
        d.pallet[i] = RGBQUAD{v, v, v, 0};
    }
    d.palletNum = 256;
}

bool IsGreyRamp(const BitmapData& d) {
    if (d.palletNum != 256) return false;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = d.pallet[i];
        if (q.rgbBlue != i || q.rgbGreen != i || q.rgbRed != i) return false;
    }
    return true;
}

std::unique_ptr<BitmapData> ConvertData(const BitmapData& src, int bits, int palletCount,
                                        const RGBQUAD* palette) {
    if (bits == 8 && (palletCount < 0 || palletCount > 256)) return nullptr;
    auto d = NewData(src.width, src.height, bits);
    if (!d) return nullptr;
    const bool toPalette = bits == 8 && palletCount > 0 && palette != nullptr;
    if (toPalette) {
        d->pallet.fill(RGBQUAD{});
        std::copy(palette, palette + palletCount, d->pallet.begin());
        d->palletNum = palletCount;
    }
    if (bits != 8) d->palletNum = 0;
    if (bits == 8 && src.bitCount == 8 && !toPalette) {
        // 8 to 8 without a palette given: the source's indices and palette.
        *d = src;
        return d;
    }
    for (int y = 0; y < src.height; ++y) {
        const BYTE* in = src.pixels.data() + static_cast<std::size_t>(src.widthBytes) * y;
        BYTE* out = d->pixels.data() + static_cast<std::size_t>(d->widthBytes) * y;
        for (int x = 0; x < src.width; ++x) {
            BYTE b, g, r;
            ReadBgr(src, in, x, b, g, r);
            if (bits == 8) {
                out[x] = static_cast<BYTE>(toPalette ? NearestEntry(*d, b, g, r) : Luma(b, g, r));
            } else {
                WriteBgr(*d, out, x, b, g, r);
            }
        }
    }
    return d;
}

}  // namespace detail

CControlBmp::~CControlBmp() = default;

void CControlBmp::Adopt(std::unique_ptr<BitmapData> data) {
    data_ = std::move(data);
}

void CControlBmp::ClearBuffer() {
    if (data_) std::fill(data_->pixels.begin(), data_->pixels.end(), BYTE{0});
}

bool CControlBmp::CreateBitmap(int w, int h, int bits, int palletCount, const RGBQUAD* palette) {
    if (bits == 8 && (palletCount < 0 || palletCount > 256)) return false;
    auto d = detail::NewData(w, h, bits);
    if (!d) return false;
    if (bits == 8 && palletCount > 0 && palette != nullptr) {
        d->pallet.fill(RGBQUAD{});
        std::copy(palette, palette + palletCount, d->pallet.begin());
        d->palletNum = palletCount;
    }
    if (bits != 8) d->palletNum = 0;
    Adopt(std::move(d));
    return true;
}

bool CControlBmp::CreateDuplicate(const BitmapData* src, int bits, int palletCount, const RGBQUAD* palette) {
    if (src == nullptr || src->pixels.empty()) return false;
    auto d = detail::ConvertData(*src, bits, palletCount, palette);
    if (!d) return false;
    Adopt(std::move(d));
    return true;
}

bool CControlBmp::Duplicate(const BitmapData* src) {
    if (src == nullptr || src->pixels.empty()) {
        FreeBitmap();
        return false;
    }
    if (src == data_.get()) return true;
    if (!data_) data_ = std::make_unique<BitmapData>();
    *data_ = *src;  // reuses the buffer when the sizes agree
    return true;
}

bool CControlBmp::Duplicate(const CControlBmp* src) {
    if (src == this) return HasPixels();
    if (src == nullptr) {
        FreeBitmap();
        return false;
    }
    hasTransparent_ = src->hasTransparent_;
    transparent_ = src->transparent_;
    return Duplicate(src->GetHbmp());
}

void CControlBmp::FreeBitmap() {
    data_.reset();
}

int CControlBmp::GetPallet(RGBQUAD* out) const {
    if (!data_ || out == nullptr) return 0;
    std::copy(data_->pallet.begin(), data_->pallet.begin() + data_->palletNum, out);
    return data_->palletNum;
}

void CControlBmp::SetTransparentColor(COLORREF c) {
    transparent_ = c & 0xFFFFFF;
    hasTransparent_ = true;
}

COLORREF CControlBmp::GetPixelColor(int x, int y) const {
    if (!data_ || x < 0 || y < 0 || x >= data_->width || y >= data_->height) return 0;
    BYTE b, g, r;
    detail::ReadBgr(*data_, GetLinePtr(y), x, b, g, r);
    return RGB(r, g, b);
}

int CControlBmp::GetPixelIndex(int x, int y) const {
    if (!data_ || data_->bitCount != 8 || x < 0 || y < 0 || x >= data_->width || y >= data_->height)
        return -1;
    return GetLinePtr(y)[x];
}

void CControlBmp::SetPixelColor(int x, int y, COLORREF c) {
    if (!data_ || x < 0 || y < 0 || x >= data_->width || y >= data_->height) return;
    PutPixel(x, y, c);
}

// Unchecked: (x, y) must lie inside the bitmap.
void CControlBmp::PutPixel(int x, int y, COLORREF c) {
    BYTE* row = GetLinePtr(y);
    if (data_->bitCount == 8) {
        row[x] = static_cast<BYTE>(c & 0xFF);
    } else {
        WriteBgr(*data_, row, x, static_cast<BYTE>(GetBValue(c)), static_cast<BYTE>(GetGValue(c)),
                 static_cast<BYTE>(GetRValue(c)));
    }
}

// Fills x0..x1 (inclusive) of row y, clipped.
void CControlBmp::FillSpan(int y, int x0, int x1, COLORREF c) {
    if (!data_ || y < 0 || y >= data_->height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, data_->width - 1);
    if (x0 > x1) return;
    BYTE* row = GetLinePtr(y);
    if (data_->bitCount == 8) {
        std::memset(row + x0, static_cast<int>(c & 0xFF), static_cast<std::size_t>(x1 - x0 + 1));
        return;
    }
    for (int x = x0; x <= x1; ++x) {
        WriteBgr(*data_, row, x, static_cast<BYTE>(GetBValue(c)), static_cast<BYTE>(GetGValue(c)),
                 static_cast<BYTE>(GetRValue(c)));
    }
}

void CControlBmp::FillRect(int x, int y, int w, int h, COLORREF c) {
    if (!data_ || w <= 0 || h <= 0) return;
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{y} + h, data_->height);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{x} + w, data_->width);
    for (std::int64_t row = std::max(y, 0); row < y1; ++row) {
        FillSpan(static_cast<int>(row), std::max(x, 0), static_cast<int>(x1 - 1), c);
    }
}

int CControlBmp::DrawTextA(const char* text, RECT* rc, COLORREF colour, const TextFont* font,
                           unsigned format) {
    if (g_textRenderer == nullptr || text == nullptr || rc == nullptr) return 0;
    return g_textRenderer->DrawText(*this, text, rc, colour, font, format);
}

void CControlBmp::SetTextRenderer(TextRenderer* renderer) {
    g_textRenderer = renderer;
}

TextRenderer* CControlBmp::GetTextRenderer() {
    return g_textRenderer;
}

}  // namespace MbBmp
