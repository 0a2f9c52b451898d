#include "platform/qt/dc.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/font.h"
#include "platform/qt/region.h"

namespace rymd::ui {

namespace {

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A line of text ready to draw: the characters shown and the one underlined as access key.
struct TextLine {
    QString text;
    int underline = -1;
};

bool IsBreakableAfter(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

// Japanese and Chinese characters may break before and after them.
bool IsWideBreakChar(QChar c) {
    ushort u = c.unicode();
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF) ||
           c.isSurrogate();
}

// Removes the access-key marks: "&x" shows x underlined, "&&" shows '&'.
TextLine StripPrefix(const QString& s) {
    TextLine line;
    line.text.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == QLatin1Char('&')) {
            if (i + 1 < s.size()) {
                ++i;
                if (s[i] != QLatin1Char('&')) line.underline = static_cast<int>(line.text.size());
                line.text.append(s[i]);
            }
            continue;
        }
        line.text.append(c);
    }
    return line;
}

}  // namespace

struct Dc::Impl {
    QPainter* p = nullptr;
    std::unique_ptr<QPainter> own;
    QImage* image = nullptr;  // the picture a memory context draws into
    QImage temp;              // pixels of a bitmap object, or the measuring picture
    MbBmp::CControlBmp* ctrl = nullptr;
    Rect area;
    bool hasBaseClip = false;
    Rect baseClip;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF penColor = RGB(0, 0, 0);
    int bkMode = OPAQUE;
    Font* font = nullptr;
    Point cur;
    mutable QFont metricsFont;
    mutable std::optional<QFontMetrics> metrics;

    // The painter ends before the picture it paints on.
    ~Impl() { own.reset(); }

    const Font& CurrentFont() const { return font ? *font : Font::Default(); }

    void Begin(QPaintDevice* device) {
        own = std::make_unique<QPainter>(device);
        p = own.get();
        SetupPainter();
    }
    void SetupPainter() {
        p->setRenderHint(QPainter::Antialiasing, false);
        p->setRenderHint(QPainter::SmoothPixmapTransform, false);
        p->setRenderHint(QPainter::TextAntialiasing, true);
    }

    // Metrics of the current font, kept while the font stays the same.
    const QFontMetrics& Metrics() const {
        const QFont& f = CurrentFont().QtFont();
        if (!metrics || !(metricsFont == f)) {
            metricsFont = f;
            metrics.emplace(f);
        }
        return *metrics;
    }

    int Width(const QString& s) const {
        if (s.isEmpty()) return 0;
        return Metrics().horizontalAdvance(s);
    }

    // Width of a line whose tabs advance to the next multiple of the tab width.
    int WidthTabs(const QString& s, bool expandTabs) const {
        if (!expandTabs || !s.contains(QLatin1Char('\t'))) return Width(s);
        int tab = std::max(1, 8 * CurrentFont().AverageCharWidth());
        int x = 0;
        const QStringList parts = s.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            x += Width(parts[i]);
            if (i + 1 < parts.size()) x = (x / tab + 1) * tab;
        }
        return x;
    }

    void Fill(int x, int y, int w, int h, COLORREF c) {
        if (!p || w <= 0 || h <= 0) return;
        p->fillRect(QRect(x, y, w, h), ToQColor(c));
    }

    void DrawRun(int x, int y, const QString& s, bool expandTabs) {
        const Font& f = CurrentFont();
        p->setFont(f.QtFont());
        p->setPen(ToQColor(textColor));
        if (!expandTabs || !s.contains(QLatin1Char('\t'))) {
            p->drawText(QPointF(x, y + f.Ascent()), s);
            return;
        }
        int tab = std::max(1, 8 * f.AverageCharWidth());
        int dx = 0;
        const QStringList parts = s.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (!parts[i].isEmpty()) p->drawText(QPointF(x + dx, y + f.Ascent()), parts[i]);
            dx += Width(parts[i]);
            if (i + 1 < parts.size()) dx = (dx / tab + 1) * tab;
        }
    }

    // Breaks one line into lines no wider than width: after spaces and around wide characters,
    // or anywhere in a word longer than the width.
    std::vector<TextLine> Wrap(const TextLine& line, int width, bool expandTabs) const {
        std::vector<TextLine> out;
        const QString& s = line.text;
        qsizetype start = 0;
        while (start < s.size()) {
            qsizetype lastBreak = -1;  // break before this index
            qsizetype i = start;
            qsizetype end = s.size();
            for (; i < s.size(); ++i) {
                qsizetype next = i + 1;
                if (s[i].isHighSurrogate() && next < s.size()) ++next;
                if (i > start && WidthTabs(s.mid(start, next - start), expandTabs) > width) {
                    end = lastBreak > start ? lastBreak : i;
                    break;
                }
                if (IsBreakableAfter(s[i]) || IsWideBreakChar(s[i]) ||
                    (next < s.size() && IsWideBreakChar(s[next])))
                    lastBreak = next;
                i = next - 1;
            }
            TextLine part;
            qsizetype len = end - start;
            part.text = s.mid(start, len);
            while (part.text.endsWith(QLatin1Char(' ')))
                part.text.chop(1);
            if (line.underline >= start && line.underline < end)
                part.underline = line.underline - static_cast<int>(start);
            out.push_back(part);
            start = end;
            while (start < s.size() && s[start] == QLatin1Char(' '))
                ++start;
        }
        if (out.empty()) out.push_back(TextLine{});
        return out;
    }
};

Dc::Dc() : impl_(std::make_unique<Impl>()) {}

Dc::Dc(Bitmap& target) : impl_(std::make_unique<Impl>()) {
    if (target.IsNull()) return;
    impl_->image = &target.Image();
    impl_->area = Rect(0, 0, target.Width(), target.Height());
    impl_->Begin(impl_->image);
}

Dc::Dc(MbBmp::CControlBmp& target) : impl_(std::make_unique<Impl>()) {
    int bits = target.GetBitCount();
    if (target.IsEmpty() || (bits != 24 && bits != 32)) return;
    impl_->temp = ImageFromControlBmp(target);
    if (impl_->temp.isNull()) return;
    impl_->ctrl = &target;
    impl_->image = &impl_->temp;
    impl_->area = Rect(0, 0, target.GetWidth(), target.GetHeight());
    impl_->Begin(impl_->image);
}

Dc::Dc(QPainter& painter, const Rect& clip) : impl_(std::make_unique<Impl>()) {
    impl_->p = &painter;
    impl_->area = clip;
    impl_->hasBaseClip = true;
    impl_->baseClip = clip;
    impl_->SetupPainter();
}

Dc::~Dc() {
    if (impl_ && impl_->ctrl) Flush();
}

Dc::Dc(Dc&&) noexcept = default;
Dc& Dc::operator=(Dc&& other) noexcept {
    if (this != &other) {
        if (impl_ && impl_->ctrl) Flush();
        impl_ = std::move(other.impl_);
    }
    return *this;
}

Dc Dc::ForMeasure() {
    Dc dc;
    dc.impl_->temp = QImage(1, 1, QImage::Format_RGB32);
    dc.impl_->image = &dc.impl_->temp;
    dc.impl_->area = Rect(0, 0, 1, 1);
    if (QGuiApplication::instance()) dc.impl_->Begin(dc.impl_->image);
    return dc;
}

bool Dc::IsNull() const {
    return !impl_ || !impl_->p;
}

QPainter* Dc::Painter() const {
    return impl_ ? impl_->p : nullptr;
}

QImage* Dc::TargetImage() const {
    return impl_ ? impl_->image : nullptr;
}

COLORREF Dc::SetTextColor(COLORREF c) {
    return std::exchange(impl_->textColor, c);
}
COLORREF Dc::GetTextColor() const {
    return impl_->textColor;
}
COLORREF Dc::SetBkColor(COLORREF c) {
    return std::exchange(impl_->bkColor, c);
}
COLORREF Dc::GetBkColor() const {
    return impl_->bkColor;
}
int Dc::SetBkMode(int mode) {
    return std::exchange(impl_->bkMode, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
}
int Dc::GetBkMode() const {
    return impl_->bkMode;
}
Font* Dc::SelectFont(Font* font) {
    return std::exchange(impl_->font, font);
}
Font* Dc::GetCurrentFont() const {
    return impl_->font;
}
COLORREF Dc::SetPenColor(COLORREF c) {
    return std::exchange(impl_->penColor, c);
}

void Dc::IntersectClipRect(const Rect& r) {
    if (IsNull()) return;
    QPainter* p = impl_->p;
    if (p->hasClipping())
        p->setClipRect(ToQRect(r), Qt::IntersectClip);
    else
        p->setClipRect(ToQRect(r));
}

void Dc::ExcludeClipRect(const Rect& r) {
    if (IsNull()) return;
    QPainter* p = impl_->p;
    QRegion region = p->hasClipping() ? p->clipRegion() : QRegion(ToQRect(impl_->area));
    p->setClipRegion(region.subtracted(QRegion(ToQRect(r))));
}

void Dc::SelectClipRect(const Rect* r) {
    if (IsNull()) return;
    QPainter* p = impl_->p;
    if (!r) {
        if (impl_->hasBaseClip)
            p->setClipRect(ToQRect(impl_->baseClip));
        else
            p->setClipping(false);
        return;
    }
    Rect c = *r;
    if (impl_->hasBaseClip) c.IntersectRect(c, impl_->baseClip);
    p->setClipRect(ToQRect(c));
}

void Dc::FillSolidRect(const Rect& r, COLORREF c) {
    impl_->Fill(r.left, r.top, r.Width(), r.Height(), c);
}

void Dc::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
    impl_->Fill(x, y, cx, cy, c);
}

void Dc::FillRgn(const Region& region, COLORREF c) {
    for (const QRect& r : region.Q())
        FillSolidRect(ToRect(r), c);
}

void Dc::FrameRect(const Rect& r, COLORREF c) {
    int w = r.Width();
    int h = r.Height();
    if (w <= 0 || h <= 0) return;
    impl_->Fill(r.left, r.top, w, 1, c);
    impl_->Fill(r.left, r.bottom - 1, w, 1, c);
    impl_->Fill(r.left, r.top, 1, h, c);
    impl_->Fill(r.right - 1, r.top, 1, h, c);
}

void Dc::Draw3dRect(const Rect& r, COLORREF topLeft, COLORREF bottomRight) {
    int w = r.Width();
    int h = r.Height();
    if (w <= 0 || h <= 0) return;
    impl_->Fill(r.left, r.top, w - 1, 1, topLeft);
    impl_->Fill(r.left, r.top, 1, h - 1, topLeft);
    impl_->Fill(r.right - 1, r.top, 1, h, bottomRight);
    impl_->Fill(r.left, r.bottom - 1, w, 1, bottomRight);
}

void Dc::MoveTo(int x, int y) {
    impl_->cur = Point(x, y);
}

void Dc::LineTo(int x, int y) {
    Point a = impl_->cur;
    impl_->cur = Point(x, y);
    if (IsNull()) return;
    int dx = std::abs(x - a.x);
    int dy = std::abs(y - a.y);
    if (dy == 0) {
        int x0 = x > a.x ? a.x : x + 1;
        int x1 = x > a.x ? x : a.x + 1;
        impl_->Fill(x0, a.y, x1 - x0, 1, impl_->penColor);
        return;
    }
    if (dx == 0) {
        int y0 = y > a.y ? a.y : y + 1;
        int y1 = y > a.y ? y : a.y + 1;
        impl_->Fill(a.x, y0, 1, y1 - y0, impl_->penColor);
        return;
    }
    // Bresenham, the end point left out.
    int sx = a.x < x ? 1 : -1;
    int sy = a.y < y ? 1 : -1;
    int err = dx - dy;
    int px = a.x;
    int py = a.y;
    while (px != x || py != y) {
        impl_->Fill(px, py, 1, 1, impl_->penColor);
        int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            px += sx;
        }
        if (e2 < dx) {
            err += dx;
            py += sy;
        }
    }
}

void Dc::SetPixel(int x, int y, COLORREF c) {
    impl_->Fill(x, y, 1, 1, c);
}

COLORREF Dc::GetPixel(int x, int y) const {
    QImage* img = impl_->image;
    if (!img || !impl_->area.PtInRect(Point(x, y))) return 0;
    double r = img->devicePixelRatio();
    int dx = static_cast<int>(x * r);
    int dy = static_cast<int>(y * r);
    if (dx >= img->width() || dy >= img->height()) return 0;
    QRgb p = img->pixel(dx, dy);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

bool Dc::DrawImage(const Rect& dst, const QImage& src, const Rect& srcRect) {
    if (IsNull() || src.isNull() || dst.IsRectEmpty() || srcRect.IsRectEmpty()) return false;
    double r = src.devicePixelRatio();
    QRectF s(srcRect.left * r, srcRect.top * r, srcRect.Width() * r, srcRect.Height() * r);
    if (impl_->image && &src == impl_->image) {
        QImage copy = src.copy();
        impl_->p->drawImage(QRectF(ToQRect(dst)), copy, s);
    } else {
        impl_->p->drawImage(QRectF(ToQRect(dst)), src, s);
    }
    return true;
}

bool Dc::BitBlt(int x, int y, int w, int h, const Dc& src, int sx, int sy) {
    if (!src.impl_ || !src.impl_->image) return false;
    return DrawImage(Rect(x, y, x + w, y + h), *src.impl_->image, Rect(sx, sy, sx + w, sy + h));
}

bool Dc::DrawBitmap(int x, int y, int w, int h, const Bitmap& src, int sx, int sy) {
    return DrawImage(Rect(x, y, x + w, y + h), src.Image(), Rect(sx, sy, sx + w, sy + h));
}

bool Dc::DrawBitmap(int x, int y, const Bitmap& src) {
    return DrawBitmap(x, y, src.Width(), src.Height(), src, 0, 0);
}

bool Dc::StretchBitmap(const Rect& dst, const Bitmap& src, const Rect& srcRect) {
    return DrawImage(dst, src.Image(), srcRect);
}

bool Dc::DrawControlBmp(int x, int y, int w, int h, const MbBmp::CControlBmp& src, int sx, int sy) {
    if (IsNull() || src.IsEmpty() || w <= 0 || h <= 0) return false;
    // Only the part of the picture that lands inside the bitmap, and inside the clip when there is
    // one, is converted (a repaint of a few pixels converts those pixels).
    Rect dst(x, y, x + w, y + h);
    Rect visible = dst;
    visible.IntersectRect(visible, Rect(x - sx, y - sy, x - sx + src.GetWidth(), y - sy + src.GetHeight()));
    if (impl_->p->hasClipping()) {
        const QRect c = impl_->p->clipBoundingRect().toAlignedRect();
        visible.IntersectRect(visible, Rect(c.left(), c.top(), c.right() + 1, c.bottom() + 1));
    }
    if (visible.IsRectEmpty()) return true;
    const Rect part(visible.left - x + sx, visible.top - y + sy, visible.right - x + sx,
                    visible.bottom - y + sy);
    const QImage img = ImageFromBitmapData(src.GetHbmp(), part);
    return DrawImage(visible, img, Rect(0, 0, part.Width(), part.Height()));
}

bool Dc::DrawControlBmp(int x, int y, const MbBmp::CControlBmp& src) {
    return DrawControlBmp(x, y, src.GetWidth(), src.GetHeight(), src, 0, 0);
}

bool Dc::StretchControlBmp(const Rect& dst, const MbBmp::CControlBmp& src, const Rect& srcRect) {
    return DrawImage(dst, ImageFromControlBmp(src), srcRect);
}

Size Dc::GetTextExtent(std::string_view text) const {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return Size(impl_->Width(s), impl_->CurrentFont().CellHeight());
}

void Dc::TextOut(int x, int y, std::string_view text) {
    if (IsNull()) return;
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (impl_->bkMode == OPAQUE)
        impl_->Fill(x, y, impl_->Width(s), impl_->CurrentFont().CellHeight(), impl_->bkColor);
    impl_->DrawRun(x, y, s, false);
}

int Dc::DrawText(std::string_view text, const Rect& rect, unsigned format) {
    Rect r = rect;
    return DrawText(text, r, format & ~DT_CALCRECT);
}

int Dc::DrawText(std::string_view text, Rect& rect, unsigned format) {
    const bool single = format & DT_SINGLELINE;
    const bool tabs = format & DT_EXPANDTABS;
    QString all = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::vector<TextLine> lines;
    if (single) {
        all.remove(QLatin1Char('\r'));
        all.remove(QLatin1Char('\n'));
        lines.push_back((format & DT_NOPREFIX) ? TextLine{all, -1} : StripPrefix(all));
    } else {
        all.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        all.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QStringList parts = all.split(QLatin1Char('\n'));
        if (parts.size() > 1 && parts.back().isEmpty()) parts.removeLast();
        for (const QString& part : parts) {
            TextLine line = (format & DT_NOPREFIX) ? TextLine{part, -1} : StripPrefix(part);
            if ((format & DT_WORDBREAK) && rect.Width() > 0 &&
                impl_->WidthTabs(line.text, tabs) > rect.Width()) {
                for (TextLine& piece : impl_->Wrap(line, rect.Width(), tabs))
                    lines.push_back(std::move(piece));
            } else {
                lines.push_back(std::move(line));
            }
        }
    }
    if (single && (format & DT_END_ELLIPSIS) && impl_->Width(lines[0].text) > rect.Width()) {
        const QFontMetrics& fm = impl_->Metrics();
        lines[0].text = fm.elidedText(lines[0].text, Qt::ElideRight, std::max(0, rect.Width()));
        lines[0].underline = -1;
    }

    const Font& font = impl_->CurrentFont();
    const int lineHeight = font.CellHeight();
    const int total = lineHeight * static_cast<int>(lines.size());
    int y = rect.top;
    if (single && (format & DT_VCENTER)) y = rect.top + (rect.Height() - lineHeight) / 2;
    if (single && (format & DT_BOTTOM)) y = rect.bottom - lineHeight;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, impl_->WidthTabs(line.text, tabs));
        rect.right = rect.left + widest;
        rect.bottom = rect.top + total;
        return total;
    }
    if (IsNull()) return y - rect.top + total;

    QPainter* p = impl_->p;
    p->save();
    if (!(format & DT_NOCLIP)) IntersectClipRect(rect);
    for (const TextLine& line : lines) {
        int w = impl_->WidthTabs(line.text, tabs);
        int x = rect.left;
        if (format & DT_CENTER)
            x = rect.left + (rect.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = rect.right - w;
        if (impl_->bkMode == OPAQUE) impl_->Fill(x, y, w, lineHeight, impl_->bkColor);
        if (!line.text.isEmpty()) impl_->DrawRun(x, y, line.text, tabs);
        if (line.underline >= 0 && line.underline < line.text.size()) {
            int ux = x + impl_->WidthTabs(line.text.left(line.underline), tabs);
            int uw = impl_->Width(line.text.mid(line.underline, 1));
            int uy = std::min(y + font.Ascent() + 1, y + lineHeight - 1);
            impl_->Fill(ux, uy, uw, 1, impl_->textColor);
        }
        y += lineHeight;
    }
    p->restore();
    return y - rect.top;
}

void Dc::Flush() {
    if (!impl_ || !impl_->ctrl || impl_->temp.isNull()) return;
    MbBmp::CControlBmp& bmp = *impl_->ctrl;
    if (bmp.GetWidth() != impl_->temp.width() || bmp.GetHeight() != impl_->temp.height()) return;
    int step = bmp.GetBitCount() / 8;
    for (int y = 0; y < impl_->temp.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(impl_->temp.constScanLine(y));
        MbBmp::BYTE* d = bmp.GetLinePtr(y);
        for (int x = 0; x < impl_->temp.width(); ++x) {
            d[x * step] = static_cast<MbBmp::BYTE>(qBlue(s[x]));
            d[x * step + 1] = static_cast<MbBmp::BYTE>(qGreen(s[x]));
            d[x * step + 2] = static_cast<MbBmp::BYTE>(qRed(s[x]));
        }
    }
}

}  // namespace rymd::ui
