#include "platform/qt/scroll_bar_style.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include "platform/qt/app.h"

namespace rymd::ui {

namespace {

QColor Q(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

void Raised(QPainter& p, const QRect& r) {
    p.fillRect(r, Q(GetSysColor(COLOR_BTNFACE)));
    if (r.width() < 2 || r.height() < 2) return;
    const int l = r.left(), t = r.top(), rr = r.right(), b = r.bottom();
    p.fillRect(QRect(l, t, r.width() - 1, 1), Q(GetSysColor(COLOR_3DLIGHT)));
    p.fillRect(QRect(l, t, 1, r.height() - 1), Q(GetSysColor(COLOR_3DLIGHT)));
    p.fillRect(QRect(l, b, r.width(), 1), Q(GetSysColor(COLOR_3DDKSHADOW)));
    p.fillRect(QRect(rr, t, 1, r.height()), Q(GetSysColor(COLOR_3DDKSHADOW)));
    if (r.width() < 4 || r.height() < 4) return;
    p.fillRect(QRect(l + 1, t + 1, r.width() - 3, 1), Q(GetSysColor(COLOR_BTNHIGHLIGHT)));
    p.fillRect(QRect(l + 1, t + 1, 1, r.height() - 3), Q(GetSysColor(COLOR_BTNHIGHLIGHT)));
    p.fillRect(QRect(l + 1, b - 1, r.width() - 2, 1), Q(GetSysColor(COLOR_BTNSHADOW)));
    p.fillRect(QRect(rr - 1, t + 1, 1, r.height() - 2), Q(GetSysColor(COLOR_BTNSHADOW)));
}

void Pushed(QPainter& p, const QRect& r) {
    p.fillRect(r, Q(GetSysColor(COLOR_BTNFACE)));
    p.setPen(Q(GetSysColor(COLOR_BTNSHADOW)));
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

// A filled arrow of four rows pointing to dir (0 up, 1 down, 2 left, 3 right).
void Arrow(QPainter& p, const QRect& r, int dir, QColor c, int shift) {
    const int cx = r.center().x() + shift;
    const int cy = r.center().y() + shift;
    for (int i = 0; i < 4; ++i) {
        switch (dir) {
            case 0: p.fillRect(QRect(cx - i, cy - 2 + i, 2 * i + 1, 1), c); break;
            case 1: p.fillRect(QRect(cx - i, cy + 1 - i, 2 * i + 1, 1), c); break;
            case 2: p.fillRect(QRect(cx - 2 + i, cy - i, 1, 2 * i + 1), c); break;
            default: p.fillRect(QRect(cx + 1 - i, cy - i, 1, 2 * i + 1), c); break;
        }
    }
}

class ClassicStyle final : public QProxyStyle {
public:
    ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        if (m == PM_ScrollBarExtent) return 16;
        if (m == PM_ScrollBarSliderMin) return 8;
        return QProxyStyle::pixelMetric(m, o, w);
    }

    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                            const QWidget* w) const override {
        const auto* so = qstyleoption_cast<const QStyleOptionSlider*>(opt);
        if (cc != CC_ScrollBar || !so) {
            QProxyStyle::drawComplexControl(cc, opt, p, w);
            return;
        }
        const bool horizontal = so->orientation == Qt::Horizontal;
        const bool enabled = (so->state & State_Enabled) && so->maximum > so->minimum;
        const QRect sub = subControlRect(cc, so, SC_ScrollBarSubLine, w);
        const QRect add = subControlRect(cc, so, SC_ScrollBarAddLine, w);
        const QRect groove = subControlRect(cc, so, SC_ScrollBarGroove, w);
        const QRect thumb = subControlRect(cc, so, SC_ScrollBarSlider, w);
        const bool pushedPage = so->activeSubControls & (SC_ScrollBarSubPage | SC_ScrollBarAddPage);
        // Groove: a checker of highlight and face.
        const QColor a = Q(GetSysColor(COLOR_BTNHIGHLIGHT));
        const QColor b = pushedPage && (so->state & State_Sunken) ? Q(GetSysColor(COLOR_3DDKSHADOW))
                                                                  : Q(GetSysColor(COLOR_BTNFACE));
        p->fillRect(groove, b);
        for (int y = groove.top(); y <= groove.bottom(); ++y)
            for (int x = groove.left() + ((y + groove.left()) & 1); x <= groove.right(); x += 2)
                p->fillRect(QRect(x, y, 1, 1), a);
        const QColor arrow = enabled ? QColor(0, 0, 0) : Q(GetSysColor(COLOR_BTNSHADOW));
        const bool sunken = so->state & State_Sunken;
        const bool subDown = sunken && (so->activeSubControls & SC_ScrollBarSubLine);
        const bool addDown = sunken && (so->activeSubControls & SC_ScrollBarAddLine);
        subDown ? Pushed(*p, sub) : Raised(*p, sub);
        addDown ? Pushed(*p, add) : Raised(*p, add);
        Arrow(*p, sub, horizontal ? 2 : 0, arrow, subDown ? 1 : 0);
        Arrow(*p, add, horizontal ? 3 : 1, arrow, addDown ? 1 : 0);
        if (enabled && thumb.isValid()) Raised(*p, thumb);
    }
};

}  // namespace

QStyle* ClassicScrollBarStyle() {
    static ClassicStyle* style = new ClassicStyle;  // lives as long as the application
    return style;
}

}  // namespace rymd::ui
