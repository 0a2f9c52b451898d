#include "platform/qt/dib_blit.h"

#include <QImage>
#include <QPainter>
#include <cstring>

#include "platform/qt/bitmap.h"
#include "platform/qt/dc.h"

namespace rymd::ui {

namespace {

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Fills the rectangle by a pattern operation.
bool PatBlt(Dc& dc, int x, int y, int w, int h, std::uint32_t rop) {
    if (dc.IsNull()) return false;
    if (rop == BLACKNESS) {
        dc.FillSolidRect(x, y, w, h, RGB(0, 0, 0));
        return true;
    }
    if (rop == WHITENESS) {
        dc.FillSolidRect(x, y, w, h, RGB(255, 255, 255));
        return true;
    }
    if (rop == DSTINVERT && dc.Painter()) {
        dc.Painter()->save();
        dc.Painter()->setCompositionMode(QPainter::RasterOp_NotDestination);
        dc.Painter()->fillRect(QRect(x, y, w, h), Qt::white);
        dc.Painter()->restore();
        return true;
    }
    return false;
}

// The source rectangle in top-down rows.
QRect SourceRect(const QImage& img, bool bottomUp, int sx, int sy, int sw, int sh) {
    int top = bottomUp ? img.height() - (sy + sh) : sy;
    return QRect(sx, top, sw, sh);
}

bool IsBottomUp(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < 12) return true;
    std::uint32_t size = U32(dib.data());
    if (size == 12) return true;
    return dib.size() >= 16 && static_cast<std::int32_t>(U32(dib.data() + 8)) > 0;
}

}  // namespace

QImage ImageFromPackedDib(const std::vector<std::uint8_t>& dib) {
    if (dib.size() < 12) return QImage();
    const std::uint8_t* p = dib.data();
    std::uint32_t headerSize = U32(p);
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bits = 0;
    std::uint32_t used = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12) {
        width = U16(p + 4);
        height = U16(p + 6);
        bits = U16(p + 10);
        entrySize = 3;
    } else if (headerSize >= 40 && dib.size() >= headerSize) {
        width = static_cast<std::int32_t>(U32(p + 4));
        height = static_cast<std::int32_t>(U32(p + 8));
        bits = U16(p + 14);
        if (U32(p + 16) != 0) return QImage();  // compressed
        used = U32(p + 32);
    } else {
        return QImage();
    }
    bool bottomUp = height > 0;
    if (height < 0) height = -height;
    if (width < 1 || height < 1 || width > 32768 || height > 32768) return QImage();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return QImage();
    std::size_t colours = 0;
    if (bits <= 8) colours = used ? used : (std::size_t{1} << bits);
    if (colours > 256) return QImage();
    std::size_t tableBytes = colours * entrySize;
    std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::size_t offset = headerSize + tableBytes;
    if (dib.size() < offset || (dib.size() - offset) / rowBytes < static_cast<std::size_t>(height))
        return QImage();
    QRgb table[256] = {};
    for (std::size_t i = 0; i < colours; ++i) {
        const std::uint8_t* e = p + headerSize + i * entrySize;
        table[i] = qRgb(e[2], e[1], e[0]);
    }
    QImage img(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (img.isNull()) return img;
    for (int y = 0; y < img.height(); ++y) {
        std::size_t row =
            bottomUp ? static_cast<std::size_t>(img.height() - 1 - y) : static_cast<std::size_t>(y);
        const std::uint8_t* s = p + offset + row * rowBytes;
        auto* d = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            switch (bits) {
                case 1: d[x] = table[(s[x / 8] >> (7 - x % 8)) & 1]; break;
                case 4: d[x] = table[(s[x / 2] >> (x % 2 ? 0 : 4)) & 0xF]; break;
                case 8: d[x] = table[s[x]]; break;
                case 16: {
                    std::uint16_t v = U16(s + 2 * x);  // 5-5-5
                    d[x] = qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
                    break;
                }
                case 24: d[x] = qRgb(s[3 * x + 2], s[3 * x + 1], s[3 * x]); break;
                default: d[x] = qRgb(s[4 * x + 2], s[4 * x + 1], s[4 * x]); break;
            }
        }
    }
    return img;
}

bool DrawBitmap(Dc& dc, int x, int y, MbBmp::HBITMAP bmp, std::uint32_t rop) {
    if (dc.IsNull() || !bmp || rop != SRCCOPY) return false;
    QImage img = ImageFromBitmapData(bmp);
    if (img.isNull()) return false;
    return dc.DrawImage(Rect(x, y, x + img.width(), y + img.height()), img,
                        Rect(0, 0, img.width(), img.height()));
}

bool DibBlt(Dc& dc, int x, int y, int w, int h, const std::vector<std::uint8_t>& dib, int sx, int sy,
            std::uint32_t rop) {
    if (dc.IsNull()) return false;
    if (dib.empty()) return PatBlt(dc, x, y, w, h, rop);
    if (rop != SRCCOPY) return false;
    QImage img = ImageFromPackedDib(dib);
    if (img.isNull()) return false;
    QRect s = SourceRect(img, IsBottomUp(dib), sx, sy, w, h);
    return dc.DrawImage(Rect(x, y, x + w, y + h), img, Rect(s.left(), s.top(), s.left() + w, s.top() + h));
}

bool StretchDibBlt(Dc& dc, int x, int y, int w, int h, const std::vector<std::uint8_t>& dib, int sx, int sy,
                   int sw, int sh, std::uint32_t rop) {
    if (dc.IsNull()) return false;
    if (dib.empty()) return PatBlt(dc, x, y, w, h, rop);
    if (rop != SRCCOPY) return false;
    QImage img = ImageFromPackedDib(dib);
    if (img.isNull()) return false;
    QRect s = SourceRect(img, IsBottomUp(dib), sx, sy, sw, sh);
    return dc.DrawImage(Rect(x, y, x + w, y + h), img, Rect(s.left(), s.top(), s.left() + sw, s.top() + sh));
}

}  // namespace rymd::ui
