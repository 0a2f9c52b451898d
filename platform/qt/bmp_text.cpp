// Text drawing into the bitmap object of the map libraries.
//
// The bitmap library has no fonts of its own; the window layer installs this renderer. The text
// is laid out exactly as a device context lays it out (same flags, same fonts), drawn as coverage
// into a small picture over the part of the bitmap the text can touch, and blended into the
// bitmap's pixels in the given colour. On an 8-bit bitmap the colour's low byte is a palette
// index, set where the glyphs cover at least half a pixel.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>

#include "mbbmp/control_bmp.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace rymd::ui {

namespace {

class BitmapTextRenderer final : public MbBmp::TextRenderer {
public:
    int DrawText(MbBmp::CControlBmp& target, const char* text, MbBmp::RECT* rc, MbBmp::COLORREF colour,
                 const MbBmp::TextFont* font, unsigned format) override {
        if (!text || !rc || !QGuiApplication::instance()) return 0;
        Font* f = const_cast<Font*>(dynamic_cast<const Font*>(font));
        Rect r(rc->left, rc->top, rc->right, rc->bottom);
        if (format & DT_CALCRECT) {
            Dc measure = Dc::ForMeasure();
            measure.SelectFont(f);
            int h = measure.DrawText(text, r, format);
            rc->right = r.right;
            rc->bottom = r.bottom;
            return h;
        }
        int bits = target.GetBitCount();
        if (target.IsEmpty() || (bits != 8 && bits != 24 && bits != 32)) return 0;

        // The area the text may touch: the rectangle, or with DT_NOCLIP the text's own extent
        // wherever its placement can put it.
        Rect area = r;
        if (format & DT_NOCLIP) {
            Dc measure = Dc::ForMeasure();
            measure.SelectFont(f);
            Rect ext(0, 0, std::max(r.Width(), 1), 0);
            measure.DrawText(text, ext, format | DT_CALCRECT);
            area.InflateRect(ext.Width() + 2, ext.Height() + 2);
        }
        Rect bounds(0, 0, target.GetWidth(), target.GetHeight());
        if (!area.IntersectRect(area, bounds)) {
            Dc measure = Dc::ForMeasure();
            measure.SelectFont(f);
            return measure.DrawText(text, r, format & ~DT_CALCRECT);
        }

        QImage coverage(area.Width(), area.Height(), QImage::Format_ARGB32_Premultiplied);
        coverage.fill(Qt::transparent);
        int height = 0;
        {
            QPainter p(&coverage);
            p.translate(-area.left, -area.top);
            Dc dc(p, area);
            dc.SelectFont(f);
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(RGB(255, 255, 255));
            height = dc.DrawText(text, r, format);
        }

        int cr = GetRValue(colour);
        int cg = GetGValue(colour);
        int cb = GetBValue(colour);
        int step = bits / 8;
        for (int y = 0; y < area.Height(); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(coverage.constScanLine(y));
            MbBmp::BYTE* line = target.GetLinePtr(area.top + y);
            for (int x = 0; x < area.Width(); ++x) {
                int a = qAlpha(src[x]);
                if (a == 0) continue;
                int px = area.left + x;
                if (bits == 8) {
                    if (a >= 128) line[px] = static_cast<MbBmp::BYTE>(colour & 0xFF);
                    continue;
                }
                MbBmp::BYTE* d = line + px * step;
                d[0] = static_cast<MbBmp::BYTE>((cb * a + d[0] * (255 - a) + 127) / 255);
                d[1] = static_cast<MbBmp::BYTE>((cg * a + d[1] * (255 - a) + 127) / 255);
                d[2] = static_cast<MbBmp::BYTE>((cr * a + d[2] * (255 - a) + 127) / 255);
            }
        }
        return height;
    }
};

}  // namespace

void InstallBitmapTextRenderer() {
    static BitmapTextRenderer renderer;
    if (MbBmp::CControlBmp::GetTextRenderer() != &renderer) MbBmp::CControlBmp::SetTextRenderer(&renderer);
}

}  // namespace rymd::ui
