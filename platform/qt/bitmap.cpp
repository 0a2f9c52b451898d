#include "platform/qt/bitmap.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QString>
#include <cmath>

#include "mbbmp/control_bmp.h"

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

QImage ImageFromBitmapData(const MbBmp::BitmapData* src) {
    if (!src) return QImage();
    int w = src->width;
    int h = src->height;
    int bits = src->bitCount;
    if (w < 1 || h < 1 || (bits != 8 && bits != 24 && bits != 32)) return QImage();
    if (static_cast<long long>(src->widthBytes) * h > static_cast<long long>(src->pixels.size()) ||
        src->widthBytes < w * (bits / 8))
        return QImage();
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull()) return img;
    for (int y = 0; y < h; ++y) {
        const MbBmp::BYTE* s = src->pixels.data() + static_cast<std::size_t>(src->widthBytes) * (h - 1 - y);
        auto* d = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (bits == 8) {
            for (int x = 0; x < w; ++x) {
                const MbBmp::RGBQUAD& q = src->pallet[s[x]];
                d[x] = qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue);
            }
        } else {
            int step = bits / 8;
            for (int x = 0; x < w; ++x)
                d[x] = qRgb(s[x * step + 2], s[x * step + 1], s[x * step]);
        }
    }
    return img;
}

QImage ImageFromControlBmp(const MbBmp::CControlBmp& src) {
    return ImageFromBitmapData(src.GetHbmp());
}

}  // namespace rymd::ui
