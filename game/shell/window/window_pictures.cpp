#include "game/shell/window/window_pictures.h"

#include <QFont>
#include <QPainter>

namespace rymd::shell {

namespace {
QColor QtColour(ui::COLORREF c) {
    return QColor(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c));
}
}  // namespace

QImage DaimyouColorSwatch(int i) {
    QImage swatch(kDaimyouSwatchSize, kDaimyouSwatchSize, QImage::Format_RGB32);
    swatch.fill(Qt::white);
    if (i < 0 || i >= static_cast<int>(kDaimyouColorTbl.size())) return swatch;
    QPainter p(&swatch);
    if (i != 11) p.fillRect(2, 2, 12, 12, Qt::black);
    p.fillRect(3, 3, 10, 10, QtColour(kDaimyouColorTbl[static_cast<std::size_t>(i)]));
    return swatch;
}

void MakeDaimyouSwatches(ui::ImageList& list) {
    const int n = static_cast<int>(kDaimyouColorTbl.size());
    QImage strip(kDaimyouSwatchSize * n, kDaimyouSwatchSize, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int i = 0; i < n; ++i)
        p.drawImage(i * kDaimyouSwatchSize, 0, DaimyouColorSwatch(i));
    p.end();
    list.Create(kDaimyouSwatchSize, kDaimyouSwatchSize);
    list.Add(strip, kDaimyouSwatchMask);
}

QImage MainWindowIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal rim = size >= 32 ? 2.0 : 1.0;
    p.setPen(QPen(QColor(212, 175, 55), rim));
    p.setBrush(QColor(140, 20, 20));
    p.drawRoundedRect(QRectF(rim / 2, rim / 2, size - rim, size - rim), size / 6.0, size / 6.0);
    QFont font("IPAMincho");
    font.setPixelSize(size * 3 / 4);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QString::fromUtf8("龍"));
    return icon;
}

}  // namespace rymd::shell
