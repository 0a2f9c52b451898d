#include "platform/qt/bitmap.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QString>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "mbbmp/control_bmp.h"

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#define RYMD_ROW_SSSE3 1
#endif

namespace rymd::ui {

namespace {

constexpr int kMaxSide = 32768;
double g_pinnedRatio = 0.0;

QRgb ToQRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

double Bitmap::ScreenPixelRatio() {
    if (g_pinnedRatio > 0) return g_pinnedRatio;
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        double r = app->devicePixelRatio();
        return r >= 1.0 ? r : 1.0;
    }
    return 1.0;
}

void Bitmap::SetScreenPixelRatio(double ratio) {
    g_pinnedRatio = ratio > 0 ? ratio : 0.0;
}

double Bitmap::PinnedScreenPixelRatio() {
    return g_pinnedRatio;
}

bool Bitmap::CreateCompatibleBitmap(int w, int h) {
    return CreateBitmap(w, h, ScreenPixelRatio());
}

bool Bitmap::CreateBitmap(int w, int h, double pixelRatio) {
    DeleteObject();
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return false;
    if (!(pixelRatio >= 1.0 && pixelRatio <= 4.0)) pixelRatio = 1.0;
    int dw = static_cast<int>(std::ceil(w * pixelRatio));
    int dh = static_cast<int>(std::ceil(h * pixelRatio));
    QImage img(dw, dh, QImage::Format_RGB32);
    if (img.isNull()) return false;
    img.fill(Qt::black);
    img.setDevicePixelRatio(pixelRatio);
    image_ = std::move(img);
    width_ = w;
    height_ = h;
    ratio_ = pixelRatio;
    return true;
}

bool Bitmap::CreateFromControlBmp(const MbBmp::CControlBmp& src) {
    QImage img = ImageFromControlBmp(src);
    if (img.isNull()) return false;
    DeleteObject();
    width_ = img.width();
    height_ = img.height();
    ratio_ = 1.0;
    image_ = std::move(img);
    return true;
}

bool Bitmap::LoadImageFile(std::string_view path) {
    QImageReader reader(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSide || size.height() > kMaxSide)) return false;
    QImage img = reader.read();
    if (img.isNull() || img.width() > kMaxSide || img.height() > kMaxSide) return false;
    DeleteObject();
    image_ = img.convertToFormat(QImage::Format_RGB32);
    width_ = image_.width();
    height_ = image_.height();
    ratio_ = 1.0;
    return true;
}

void Bitmap::DeleteObject() {
    image_ = QImage();
    width_ = height_ = 0;
    ratio_ = 1.0;
}

COLORREF Bitmap::GetPixel(int x, int y) const {
    if (image_.isNull() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    int dx = static_cast<int>(x * ratio_);
    int dy = static_cast<int>(y * ratio_);
    QRgb p = image_.pixel(dx, dy);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void Bitmap::SetPixel(int x, int y, COLORREF c) {
    if (image_.isNull() || x < 0 || y < 0 || x >= width_ || y >= height_) return;
    int x0 = static_cast<int>(std::floor(x * ratio_));
    int y0 = static_cast<int>(std::floor(y * ratio_));
    int x1 = std::min(image_.width(), static_cast<int>(std::floor((x + 1) * ratio_)));
    int y1 = std::min(image_.height(), static_cast<int>(std::floor((y + 1) * ratio_)));
    QRgb v = ToQRgb(c);
    for (int yy = y0; yy < y1; ++yy) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(yy));
        for (int xx = x0; xx < x1; ++xx)
            line[xx] = v;
    }
}

namespace {

#if defined(RYMD_ROW_SSSE3)
// Four pixels per shuffle of sixteen bytes (the last four are read, not used); only while the
// sixteen bytes lie inside the row. Returns the pixels done.
__attribute__((target("ssse3"))) int Row24To32Ssse3(const MbBmp::BYTE* s, QRgb* d, int w) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int x = 0;
    for (; x + 6 <= w; x += 4) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x),
                         _mm_or_si128(_mm_shuffle_epi8(in, order), opaque));
    }
    return x;
}
#endif

// One row of 24-bit pixels (blue, green, red) as 32-bit ones, four at a time from three words.
void Row24To32(const MbBmp::BYTE* s, QRgb* d, int w) {
    int x = 0;
#if defined(RYMD_ROW_SSSE3)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3) {
        x = Row24To32Ssse3(s, d, w);
        s += 3 * x;
    }
#endif
    if constexpr (std::endian::native == std::endian::little)
        for (; x + 4 <= w; x += 4, s += 12) {
            std::uint32_t a, b, c;
            std::memcpy(&a, s, 4);
            std::memcpy(&b, s + 4, 4);
            std::memcpy(&c, s + 8, 4);
            d[x] = 0xFF000000u | (a & 0xFFFFFFu);
            d[x + 1] = 0xFF000000u | (a >> 24) | ((b & 0xFFFFu) << 8);
            d[x + 2] = 0xFF000000u | (b >> 16) | ((c & 0xFFu) << 16);
            d[x + 3] = 0xFF000000u | (c >> 8);
        }
    for (; x < w; ++x, s += 3)
        d[x] = qRgb(s[2], s[1], s[0]);
}

}  // namespace

QImage ImageFromBitmapData(const MbBmp::BitmapData* src) {
    if (!src) return QImage();
    return ImageFromBitmapData(src, Rect(0, 0, src->width, src->height));
}

QImage ImageFromBitmapData(const MbBmp::BitmapData* src, const Rect& part) {
    if (!src) return QImage();
    int w = src->width;
    int h = src->height;
    int bits = src->bitCount;
    if (w < 1 || h < 1 || (bits != 8 && bits != 24 && bits != 32)) return QImage();
    if (static_cast<long long>(src->widthBytes) * h > static_cast<long long>(src->pixels.size()) ||
        src->widthBytes < w * (bits / 8))
        return QImage();
    Rect r;
    if (!r.IntersectRect(part, Rect(0, 0, w, h))) return QImage();
    QImage img(r.Width(), r.Height(), QImage::Format_RGB32);
    if (img.isNull()) return img;
    const int step = bits / 8;
    for (int y = 0; y < r.Height(); ++y) {
        const MbBmp::BYTE* s = src->pixels.data() +
                               static_cast<std::size_t>(src->widthBytes) * (h - 1 - (r.top + y)) +
                               static_cast<std::size_t>(r.left) * step;
        auto* d = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (bits == 8) {
            for (int x = 0; x < r.Width(); ++x) {
                const MbBmp::RGBQUAD& q = src->pallet[s[x]];
                d[x] = qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
            }
        } else if (bits == 24) {
            Row24To32(s, d, r.Width());
        } else {
            for (int x = 0; x < r.Width(); ++x)
                d[x] = qRgb(s[x * 4 + 2], s[x * 4 + 1], s[x * 4]);
        }
    }
    return img;
}

QImage ImageFromControlBmp(const MbBmp::CControlBmp& src) {
    return ImageFromBitmapData(src.GetHbmp());
}

}  // namespace rymd::ui
