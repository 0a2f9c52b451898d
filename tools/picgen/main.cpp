// picgen: paints the game's picture folder (the 21 fixed pictures) from the project's own data:
// the bundled province map's relief for the title and the title strip, the system's IPA fonts
// for the lettering, and the drawing below for the battle grounds, castles, ships and icons.
// The output depends only on the inputs: the same map and fonts give the same files.
//
//   picgen MAP.smp OUT_DIR
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"

namespace {

using Paint = std::function<void(QPainter&, int, int)>;

// A repeatable noise value in [0, 1) for a cell.
double Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFFFF) / 16777216.0;
}

QFont Font(const char* family, int pixels, int weight) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

MbBmp::CControlBmp ToBmp(const QImage& src) {
    const QImage img = src.convertToFormat(QImage::Format_RGB32);
    MbBmp::CControlBmp bmp;
    bmp.CreateBitmap(img.width(), img.height(), 24);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            bmp.SetPixelColor(x, y, rymd::RGB(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
    }
    return bmp;
}

bool WriteJpeg(const std::string& path, const QImage& img) {
    const MbBmp::CControlBmp bmp = ToBmp(img);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(img.width()) * img.height() * 3 + 65536);
    int size = 0;
    if (!bmp.CompressSaveJpeg(out.data(), static_cast<int>(out.size()), &size, 90)) return false;
    out.resize(static_cast<std::size_t>(size));
    return rymd::WriteFileAtomic(path, out);
}

bool WriteBmp(const std::string& path, const MbBmp::CControlBmp& bmp) {
    std::vector<std::uint8_t> out;
    return bmp.SaveBmpData(out) && rymd::WriteFileAtomic(path, out);
}

// An 8-bit picture whose palette entry 0 is the see-through colour (the naval battle makes it
// transparent): every pixel with alpha below half becomes index 0, the rest take the nearest of
// a 6x6x6 colour cube.
MbBmp::CControlBmp ToPaletteBmp(const QImage& src) {
    std::vector<MbBmp::RGBQUAD> pal(256);
    pal[0] = {255, 0, 255, 0};  // magenta, never used by a ship
    for (int i = 0; i < 216; ++i) {
        pal[static_cast<std::size_t>(i + 1)] = {static_cast<std::uint8_t>(i / 36 * 51),
                                                static_cast<std::uint8_t>(i / 6 % 6 * 51),
                                                static_cast<std::uint8_t>(i % 6 * 51), 0};
    }
    MbBmp::CControlBmp bmp;
    bmp.CreateBitmap(src.width(), src.height(), 8, 256, pal.data());
    const QImage img = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            int index = 0;
            if (qAlpha(c) >= 128)
                index = 1 + (qRed(c) + 25) / 51 + (qGreen(c) + 25) / 51 * 6 + (qBlue(c) + 25) / 51 * 36;
            bmp.SetPixelColor(x, y, static_cast<rymd::COLORREF>(index));
        }
    return bmp;
}

QImage Canvas(int w, int h, const Paint& paint, bool alpha = false) {
    QImage img(w, h, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    img.fill(alpha ? Qt::transparent : Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, w, h);
    return img;
}

// ---- Japan from the bundled map ------------------------------------------------------------------

struct Relief {
    const Mb3dMap::CCtrlElvMap* elv = nullptr;
    int w = 0, h = 0;
    int At(int x, int y) const { return elv->GetElevation(x, y); }
};

// The islands as a gilded relief: land shaded by the slope towards the light (north-west), in
// the rectangle r of the picture.
void DrawJapan(QPainter& p, const Relief& rel, const QRectF& r, QColor light, QColor dark, double opacity) {
    const double scale = std::min(r.width() / rel.w, r.height() / rel.h);
    const int iw = static_cast<int>(rel.w * scale), ih = static_cast<int>(rel.h * scale);
    QImage land(iw, ih, QImage::Format_ARGB32);
    land.fill(Qt::transparent);
    for (int y = 0; y < ih; ++y)
        for (int x = 0; x < iw; ++x) {
            const int sx = static_cast<int>(x / scale), sy = static_cast<int>(y / scale);
            const int e = rel.At(sx, sy);
            if (e <= 0) continue;
            const int ex = rel.At(sx + 1, sy) - rel.At(std::max(0, sx - 1), sy);
            const int ey = rel.At(sx, sy + 1) - rel.At(sx, std::max(0, sy - 1));
            double shade = 0.62 - (ex + ey) / 900.0 + std::min(e, 2500) / 9000.0;
            shade = std::clamp(shade, 0.0, 1.0);
            const auto mix = [&](int a, int b) { return static_cast<int>(b + (a - b) * shade); };
            land.setPixel(x, y,
                          qRgba(mix(light.red(), dark.red()), mix(light.green(), dark.green()),
                                mix(light.blue(), dark.blue()), 255));
        }
    p.save();
    p.setOpacity(opacity);
    p.drawImage(QPointF(r.left() + (r.width() - iw) / 2, r.top() + (r.height() - ih) / 2), land);
    p.restore();
}

void Waves(QPainter& p, int w, int top, int bottom, QColor c, int step) {
    p.save();
    p.setPen(QPen(c, 1.2));
    p.setBrush(Qt::NoBrush);
    for (int row = 0, y = top; y < bottom + step; y += step / 2, ++row)
        for (int x = (row % 2) * step / 2 - step; x < w + step; x += step)
            for (int k = 1; k <= 3; ++k) {
                const double rr = step / 2.0 * k / 3.0;
                p.drawArc(QRectF(x + step / 2.0 - rr, y - rr, rr * 2, rr * 2), 0, 180 * 16);
            }
    p.restore();
}

void Sky(QPainter& p, int w, int h, std::initializer_list<std::pair<double, QColor>> stops) {
    QLinearGradient g(0, 0, 0, h);
    for (const auto& [at, c] : stops)
        g.setColorAt(at, c);
    p.fillRect(0, 0, w, h, g);
}

void Hills(QPainter& p, int w, int base, int height, QColor c, int seed) {
    QPainterPath path(QPointF(0, base + height));
    for (int x = 0; x < w + 8; x += 8) {
        const double y =
            base + height * (0.5 + 0.3 * std::sin(x / 70.0 + seed) + 0.2 * std::sin(x / 23.0 + seed * 3));
        path.lineTo(x, y);
    }
    path.lineTo(w, base + height * 3);
    path.lineTo(0, base + height * 3);
    p.fillPath(path, c);
}

void Castle(QPainter& p, double cx, double base, double s, QColor wall, QColor roof) {
    // Stone base, then three storeys each narrower, each with a curved roof.
    QPainterPath stone;
    stone.moveTo(cx - 60 * s, base);
    stone.lineTo(cx - 48 * s, base - 30 * s);
    stone.lineTo(cx + 48 * s, base - 30 * s);
    stone.lineTo(cx + 60 * s, base);
    p.fillPath(stone, QColor(110, 105, 95));
    double y = base - 30 * s, half = 40 * s;
    for (int storey = 0; storey < 3; ++storey) {
        const double hgt = 22 * s;
        p.fillRect(QRectF(cx - half, y - hgt, half * 2, hgt), wall);
        for (int k = -2; k <= 2; ++k)
            p.fillRect(QRectF(cx + k * half / 2.6 - 3 * s, y - hgt * 0.7, 6 * s, 8 * s), QColor(40, 35, 30));
        QPainterPath r;
        r.moveTo(cx - half - 14 * s, y - hgt + 2 * s);
        r.quadTo(cx - half, y - hgt - 4 * s, cx - half * 0.7, y - hgt - 12 * s);
        r.lineTo(cx + half * 0.7, y - hgt - 12 * s);
        r.quadTo(cx + half, y - hgt - 4 * s, cx + half + 14 * s, y - hgt + 2 * s);
        r.closeSubpath();
        p.fillPath(r, roof);
        y -= hgt + 12 * s;
        half *= 0.72;
    }
}

void Ship(QPainter& p, double x, double y, double s, bool facingRight, QColor hull, QColor sail) {
    p.save();
    p.translate(x, y);
    if (!facingRight) p.scale(-1, 1);
    QPainterPath h;
    h.moveTo(-40 * s, -10 * s);
    h.lineTo(44 * s, -14 * s);
    h.quadTo(34 * s, 8 * s, 20 * s, 10 * s);
    h.lineTo(-30 * s, 10 * s);
    h.closeSubpath();
    p.fillPath(h, hull);
    p.fillRect(QRectF(-26 * s, -22 * s, 50 * s, 10 * s), hull.lighter(130));
    p.fillRect(QRectF(-2 * s, -62 * s, 3 * s, 44 * s), hull.darker(130));
    p.fillRect(QRectF(-20 * s, -58 * s, 38 * s, 32 * s), sail);
    for (int k = 1; k < 4; ++k)
        p.fillRect(QRectF(-20 * s, -58 * s + k * 8 * s, 38 * s, 1.2 * s), sail.darker(140));
    p.restore();
}

void Ground(QPainter& p, int w, int h, QColor sky1, QColor sky2, QColor far, QColor near, QColor field,
            int seed, QColor speck) {
    Sky(p, w, h, {{0.0, sky1}, {0.6, sky2}});
    Hills(p, w, h * 12 / 100, h / 6, far, seed);
    Hills(p, w, h * 22 / 100, h / 7, near, seed + 2);
    p.fillRect(0, h * 38 / 100, w, h, field);
    for (int i = 0; i < w * h / 90; ++i) {
        const int x = static_cast<int>(Hash(i, 1, seed) * w);
        const int y = h * 38 / 100 + static_cast<int>(Hash(i, 2, seed) * h * 62 / 100);
        p.fillRect(x, y, 2, 1, speck);
    }
}

// ---- The pictures ------------------------------------------------------------------------------

struct Job {
    const char* name;
    int w, h;
    Paint paint;
};

// Qt's warning that XDG_RUNTIME_DIR is not set (a build often runs outside a desktop session)
// is dropped: Qt then takes a folder of its own, which is all the offscreen painting needs.
QtMessageHandler g_qtHandler = nullptr;
void BuildMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        g_qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    g_qtHandler = qInstallMessageHandler(BuildMessages);
    if (argc != 3) {
        std::fprintf(stderr, "usage: picgen MAP.smp OUT_DIR\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    MbKorMap::CCtrlKorMap map;
    if (map.LoadKorMap(argv[1]) != 0) {
        std::fprintf(stderr, "picgen: cannot read the map %s\n", argv[1]);
        return 1;
    }
    const Relief rel{&map.ElvMap(), map.GetMapWidth(), map.GetMapHeight()};
    std::string out = argv[2];
    if (!out.empty() && out.back() != '/') out += '/';

    const QColor ink(24, 20, 40), gold(240, 200, 110), bronze(120, 70, 30);
    std::vector<Job> jpegs = {
        {"TitleLV.jpg", 720, 480,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(14, 16, 46)},
                  {0.45, QColor(70, 30, 70)},
                  {0.75, QColor(190, 70, 50)},
                  {1.0, QColor(240, 160, 80)}});
             QRadialGradient sun(QPointF(w * 0.62, h * 0.78), h * 0.55);
             sun.setColorAt(0, QColor(255, 220, 140, 200));
             sun.setColorAt(1, QColor(255, 220, 140, 0));
             p.fillRect(0, 0, w, h, sun);
             for (int i = 0; i < 140; ++i)  // stars
                 p.fillRect(QRectF(Hash(i, 3, 7) * w, Hash(i, 4, 7) * h * 0.4, 1.3, 1.3),
                            QColor(255, 255, 230, static_cast<int>(80 + Hash(i, 5, 7) * 150)));
             DrawJapan(p, rel, QRectF(w * 0.30, 10, w * 0.68, h - 20), gold, bronze, 0.95);
             Waves(p, w, h - 70, h, QColor(255, 230, 190, 60), 36);
             // The title, written down the left side, with its seal.
             p.fillRect(QRectF(38, 30, 120, h - 60), QColor(10, 8, 20, 120));
             p.setPen(QColor(0, 0, 0, 160));
             p.setFont(Font("IPAMincho", 92, 800));
             const char* chars[] = {"龍", "門", "記"};
             for (int i = 0; i < 3; ++i) {
                 p.setPen(QColor(0, 0, 0, 170));
                 p.drawText(QRectF(44, 50 + i * 112, 120, 110), Qt::AlignCenter, QString::fromUtf8(chars[i]));
                 p.setPen(QColor(250, 236, 200));
                 p.drawText(QRectF(40, 46 + i * 112, 120, 110), Qt::AlignCenter, QString::fromUtf8(chars[i]));
             }
             p.fillRect(QRectF(78, 392, 44, 44), QColor(190, 30, 30));
             p.setPen(QColor(255, 235, 220));
             p.setFont(Font("IPAMincho", 17, 700));
             p.drawText(QRectF(78, 392, 44, 44), Qt::AlignCenter | Qt::TextWordWrap,
                        QString::fromUtf8("戦国\n覇者"));
             p.setFont(Font("IPAMincho", 26, 600));
             p.setPen(QColor(0, 0, 0, 150));
             // Above the start menu's Utility and Help buttons (y 420 to 444), in the open sea.
             p.drawText(QRectF(w - 318, h - 110, 300, 40), Qt::AlignRight,
                        QString::fromUtf8("天下統一への道"));
             p.setPen(QColor(255, 240, 210));
             p.drawText(QRectF(w - 320, h - 112, 300, 40), Qt::AlignRight,
                        QString::fromUtf8("天下統一への道"));
             p.setFont(Font("IPAPGothic", 13, 400));
             p.setPen(QColor(255, 230, 200, 200));
             p.drawText(QRectF(w - 220, h - 26, 210, 20), Qt::AlignRight, "RYUUMONKI");
         }},
        {"TitleBar.jpg", 2560, 50,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(92, 52, 34)}, {0.5, QColor(64, 34, 22)}, {1.0, QColor(44, 22, 14)}});
             Waves(p, w, 0, h, QColor(255, 200, 140, 34), 28);
             DrawJapan(p, rel, QRectF(w - 700, -260, 560, 560), QColor(220, 170, 100), QColor(110, 60, 30),
                       0.35);
             // The game's information line (y 27 to 43, x up to 560) is written in dark ink with a
             // light shadow: it lies on a strip of paper that fades out to the right.
             QLinearGradient paper(0, 0, 620, 0);
             paper.setColorAt(0.0, QColor(236, 226, 206));
             paper.setColorAt(0.85, QColor(228, 214, 188));
             paper.setColorAt(1.0, QColor(228, 214, 188, 0));
             p.fillRect(QRectF(0, 26, 620, 19), paper);
             p.fillRect(QRectF(0, 26, 620, 1), QColor(150, 110, 60, 160));
             p.fillRect(QRectF(0, 44, 620, 1), QColor(150, 110, 60, 160));
             p.fillRect(QRectF(0, h - 3, w, 3), QColor(170, 120, 50));
         }},
        {"banner.jpg", 400, 100,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(30, 24, 60)}, {1.0, QColor(150, 60, 50)}});
             DrawJapan(p, rel, QRectF(w - 130, 0, 120, h), gold, bronze, 0.8);
             p.setFont(Font("IPAMincho", 50, 800));
             p.setPen(QColor(250, 236, 200));
             p.drawText(QRectF(16, 0, w - 140, h), Qt::AlignVCenter | Qt::AlignLeft,
                        QString::fromUtf8("龍門記"));
         }},
        {"KaisenBackGround.jpg", 540, 230,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(120, 160, 200)},
                  {0.3, QColor(200, 215, 225)},
                  {0.32, QColor(40, 80, 120)},
                  {1.0, QColor(15, 40, 70)}});
             Waves(p, w, h * 35 / 100, h, QColor(200, 230, 255, 50), 30);
         }},
        {"shiro.jpg", 240, 180,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(90, 140, 210)}, {1.0, QColor(220, 230, 240)}});
             Hills(p, w, h / 2, h / 6, QColor(90, 130, 80), 5);
             Castle(p, w / 2.0, h - 20, 1.2, QColor(245, 245, 240), QColor(60, 70, 80));
             p.fillRect(0, h - 20, w, 20, QColor(80, 110, 60));
         }},
        {"china.jpg", 240, 180,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(200, 170, 120)}, {1.0, QColor(240, 225, 190)}});
             p.fillRect(QRectF(10, h - 70, w - 20, 50), QColor(150, 120, 90));
             for (int x = 10; x < w - 10; x += 16)
                 p.fillRect(QRectF(x, h - 80, 10, 10), QColor(150, 120, 90));
             Castle(p, w / 2.0, h - 60, 0.9, QColor(170, 40, 30), QColor(40, 90, 60));
             p.fillRect(0, h - 20, w, 20, QColor(150, 130, 90));
         }},
        {"europe.jpg", 240, 180,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(110, 140, 190)}, {1.0, QColor(210, 220, 230)}});
             const QColor stone(150, 145, 135);
             p.fillRect(QRectF(40, 70, 160, 90), stone);
             for (double tx : {30.0, 180.0}) {
                 p.fillRect(QRectF(tx, 40, 30, 120), stone.darker(110));
                 QPainterPath cone;
                 cone.moveTo(tx - 4, 40);
                 cone.lineTo(tx + 15, 8);
                 cone.lineTo(tx + 34, 40);
                 p.fillPath(cone, QColor(90, 60, 110));
             }
             for (int x = 40; x < 200; x += 16)
                 p.fillRect(QRectF(x, 60, 10, 10), stone);
             p.fillRect(QRectF(104, 120, 32, 40), QColor(60, 40, 30));
             p.fillRect(0, h - 20, w, 20, QColor(90, 120, 70));
         }},
        {"gendai.jpg", 240, 180,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(40, 60, 110)}, {1.0, QColor(170, 180, 200)}});
             for (int i = 0; i < 9; ++i) {
                 const double bw = 18 + Hash(i, 1, 9) * 16, bh = 50 + Hash(i, 2, 9) * 100;
                 const double x = i * 27.0;
                 p.fillRect(QRectF(x, h - 20 - bh, bw, bh), QColor(70, 80, 100));
                 for (double wy = h - 16 - bh; wy < h - 26; wy += 8)
                     for (double wx = x + 3; wx < x + bw - 4; wx += 6)
                         if (Hash(static_cast<int>(wx), static_cast<int>(wy), 3) > 0.4)
                             p.fillRect(QRectF(wx, wy, 3, 4), QColor(250, 220, 140));
             }
             p.fillRect(0, h - 20, w, 20, QColor(60, 60, 70));
         }},
        {"ship.jpg", 240, 160,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(110, 160, 210)},
                  {0.55, QColor(220, 230, 240)},
                  {0.56, QColor(40, 100, 150)},
                  {1.0, QColor(20, 60, 100)}});
             Ship(p, w / 2.0, h * 0.7, 1.6, true, QColor(110, 70, 40), QColor(240, 235, 220));
         }},
        {"gunsen.jpg", 240, 160,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(90, 110, 150)},
                  {0.55, QColor(190, 200, 215)},
                  {0.56, QColor(30, 70, 110)},
                  {1.0, QColor(15, 40, 70)}});
             Ship(p, w / 2.0, h * 0.72, 1.8, true, QColor(50, 40, 40), QColor(200, 60, 50));
         }},
        {"suigun.jpg", 240, 160,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(160, 90, 70)},
                  {0.5, QColor(230, 180, 130)},
                  {0.51, QColor(50, 70, 100)},
                  {1.0, QColor(20, 35, 60)}});
             for (int i = 0; i < 4; ++i)
                 Ship(p, 40 + i * 55.0, h * (0.62 + 0.08 * (i % 2)), 0.7, true, QColor(60, 45, 35),
                      QColor(220, 210, 190));
         }},
        {"teppou.jpg", 240, 160,
         [&](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(70, 50, 40)}, {1.0, QColor(150, 110, 80)}});
             for (int i = 0; i < 3; ++i) {
                 p.save();
                 p.translate(w / 2.0, 40 + i * 40.0);
                 p.rotate(-12 + i * 6);
                 p.fillRect(QRectF(-100, -3, 150, 6), QColor(40, 40, 45));  // barrel
                 p.fillRect(QRectF(20, -6, 80, 12), QColor(120, 70, 35));   // stock
                 p.fillRect(QRectF(30, 4, 8, 10), QColor(160, 130, 60));    // lock
                 p.restore();
             }
         }},
    };

    // The field battle's four seasons: sky, far and near hills, field and its flecks.
    struct Season {
        const char* name;
        QColor sky1, sky2, far, near, field, speck;
    };
    const Season seasons[] = {
        {"YasenSpring.jpg", QColor(150, 190, 230), QColor(230, 235, 240), QColor(130, 150, 170),
         QColor(110, 150, 90), QColor(120, 170, 80), QColor(250, 200, 220)},
        {"YasenSummer.jpg", QColor(60, 130, 220), QColor(200, 225, 245), QColor(80, 120, 90),
         QColor(50, 110, 50), QColor(70, 140, 50), QColor(40, 100, 30)},
        {"YasenAutumn.jpg", QColor(120, 150, 200), QColor(240, 210, 170), QColor(150, 90, 60),
         QColor(180, 90, 40), QColor(180, 150, 70), QColor(200, 70, 30)},
        {"YasenWinter.jpg", QColor(150, 160, 180), QColor(215, 220, 228), QColor(200, 205, 215),
         QColor(225, 228, 235), QColor(240, 242, 246), QColor(180, 185, 200)},
    };
    int seed = 1;
    for (const Season& s : seasons) {
        jpegs.push_back({s.name, 540, 230, [s, seed](QPainter& p, int w, int h) {
                             Ground(p, w, h, s.sky1, s.sky2, s.far, s.near, s.field, seed, s.speck);
                         }});
        ++seed;
    }

    int failures = 0;
    for (const Job& j : jpegs)
        if (!WriteJpeg(out + j.name, Canvas(j.w, j.h, j.paint))) {
            std::fprintf(stderr, "picgen: cannot write %s%s\n", out.c_str(), j.name);
            ++failures;
        }

    // The ship units of the naval battle (8 bits, index 0 see-through) and the three icons.
    for (bool right : {false, true}) {
        const QImage unit = Canvas(
            48, 32,
            [&](QPainter& p, int w, int h) {
                Ship(p, w / 2.0, h * 0.8, 0.42, right, QColor(100, 60, 40),
                     right ? QColor(200, 60, 50) : QColor(60, 90, 200));
            },
            true);
        const std::string name = right ? "GunsenUnitRight.bmp" : "GunsenUnitLeft.bmp";
        if (!WriteBmp(out + name, ToPaletteBmp(unit))) ++failures;
    }
    // The castle information's icons: a small scene under the word the dialog writes across it
    // in white (centred, or from the top-left corner for the warship). The dialog writes its
    // numbers 55 pixels right of an icon's left edge, so an icon is at most 52 pixels wide.
    const std::vector<Job> icons = {
        {"Kouzan.bmp", 52, 40,
         [](QPainter& p, int w, int h) {
             Sky(p, w, h, {{0.0, QColor(70, 60, 50)}, {1.0, QColor(120, 100, 70)}});
             QPainterPath m;
             m.moveTo(0, h);
             m.lineTo(w * 0.31, 6);
             m.lineTo(w * 0.54, 18);
             m.lineTo(w * 0.73, 4);
             m.lineTo(w, h);
             m.closeSubpath();
             p.fillPath(m, QColor(95, 80, 65));
             p.fillRect(QRectF(w * 0.42, 24, 10, 16), QColor(25, 18, 12));  // the gallery's mouth
             for (int i = 0; i < 8; ++i)
                 p.fillRect(QRectF(4 + Hash(i, 1, 11) * (w - 8), 14 + Hash(i, 2, 11) * 22, 2.5, 2.5),
                            QColor(240, 200, 70));
         }},
        {"KouekisenSmall.bmp", 52, 40,
         [](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(70, 110, 150)},
                  {0.6, QColor(120, 150, 170)},
                  {0.61, QColor(30, 70, 110)},
                  {1.0, QColor(20, 50, 80)}});
             Ship(p, w / 2.0, h - 6, 0.3, true, QColor(110, 70, 40), QColor(230, 225, 210));
         }},
        {"GunsenSmall.bmp", 52, 40,
         [](QPainter& p, int w, int h) {
             Sky(p, w, h,
                 {{0.0, QColor(60, 70, 90)},
                  {0.6, QColor(110, 115, 130)},
                  {0.61, QColor(25, 50, 80)},
                  {1.0, QColor(15, 35, 60)}});
             Ship(p, w * 0.62, h - 6, 0.3, true, QColor(50, 40, 40), QColor(190, 60, 50));
         }},
    };
    for (const Job& j : icons)
        if (!WriteBmp(out + j.name, ToBmp(Canvas(j.w, j.h, j.paint)))) ++failures;
    (void)ink;
    return failures == 0 ? 0 : 1;
}
