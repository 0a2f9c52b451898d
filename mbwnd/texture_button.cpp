#include "mbwnd/texture_button.h"

#include <QImage>
#include <cmath>

#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

// The device pixels of a logical rectangle of an image.
QRect DeviceRect(const QImage& img, int x, int y, int w, int h) {
    double r = img.devicePixelRatio();
    int x0 = static_cast<int>(std::floor(x * r));
    int y0 = static_cast<int>(std::floor(y * r));
    int x1 = static_cast<int>(std::floor((x + w) * r));
    int y1 = static_cast<int>(std::floor((y + h) * r));
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1)).intersected(img.rect());
}

}  // namespace

CTextureButton::CTextureButton() = default;
CTextureButton::~CTextureButton() = default;

void CTextureButton::ControlLight(Dc& dc, int x, int y, int width, int height, COLORREF colour,
                                  int pixelWeight, int colourWeight) {
    QImage* img = dc.TargetImage();
    int sum = pixelWeight + colourWeight;
    if (!img || width <= 0 || height <= 0 || sum == 0) return;
    QRect area = DeviceRect(*img, x, y, width, height);
    int cr = GetRValue(colour);
    int cg = GetGValue(colour);
    int cb = GetBValue(colour);
    for (int yy = area.top(); yy <= area.bottom(); ++yy) {
        auto* line = reinterpret_cast<QRgb*>(img->scanLine(yy));
        for (int xx = area.left(); xx <= area.right(); ++xx) {
            QRgb p = line[xx];
            line[xx] = qRgb((qRed(p) * pixelWeight + cr * colourWeight) / sum,
                            (qGreen(p) * pixelWeight + cg * colourWeight) / sum,
                            (qBlue(p) * pixelWeight + cb * colourWeight) / sum);
        }
    }
}

void CTextureButton::TransparentTexture(Dc& target, Dc& source, int width, int height) {
    QImage* t = target.TargetImage();
    QImage* s = source.TargetImage();
    if (!t || !s || width <= 0 || height <= 0) return;
    QRect area = DeviceRect(*t, 0, 0, width, height).intersected(s->rect());
    auto blend = [](int tv, int sv) { return sv != 0 ? (tv * 2 + sv) / 3 : tv; };
    for (int yy = area.top(); yy <= area.bottom(); ++yy) {
        auto* tl = reinterpret_cast<QRgb*>(t->scanLine(yy));
        const auto* sl = reinterpret_cast<const QRgb*>(s->constScanLine(yy));
        for (int xx = area.left(); xx <= area.right(); ++xx) {
            tl[xx] = qRgb(blend(qRed(tl[xx]), qRed(sl[xx])), blend(qGreen(tl[xx]), qGreen(sl[xx])),
                          blend(qBlue(tl[xx]), qBlue(sl[xx])));
        }
    }
}

void CTextureButton::Tile(Dc& dc, const Bitmap& texture, int w, int h, int offsetX, int offsetY) {
    const int tw = texture.Width();
    const int th = texture.Height();
    int oy = offsetY;
    for (int y = 0; y < h;) {
        int bandHeight = th - oy;
        int ox = offsetX;
        for (int x = 0; x < w;) {
            int partWidth = tw - ox;
            dc.DrawBitmap(x, y, partWidth, bandHeight, texture, ox, oy);
            x += partWidth;
            ox = 0;
        }
        y += bandHeight;
        oy = 0;
    }
}

void CTextureButton::SetTexture(const Bitmap& texture) {
    if (!IsWindow() || texture.IsNull() || texture.Width() < 1 || texture.Height() < 1) return;
    std::string caption = GetWindowText();
    Rect wr = GetWindowRect();
    const int w = wr.Width();
    const int h = wr.Height();
    if (Wnd* parent = GetParent()) parent->ScreenToClient(wr);
    const int left = wr.left;
    const int top = wr.top;
    const int tw = texture.Width();
    const int th = texture.Height();
    auto mod = [](int a, int m) { return ((a % m) + m) % m; };
    m_bmpNormal.DeleteObject();
    m_bmpPushed.DeleteObject();
    if (!m_bmpNormal.CreateCompatibleBitmap(w, h) || !m_bmpPushed.CreateCompatibleBitmap(w, h)) {
        m_bmpNormal.DeleteObject();
        m_bmpPushed.DeleteObject();
        return;
    }
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

    {
        // The normal face: the texture in line with the parent's tiling, a light bevel.
        Dc dc(m_bmpNormal);
        Tile(dc, texture, w, h, mod(left, tw), mod(top, th));
        dc.FrameRect(Rect(0, 0, w, h), black);
        ControlLight(dc, 1, 1, w - 2, 1, white, 2, 1);
        ControlLight(dc, 2, 2, w - 4, 1, white, 1, 1);
        ControlLight(dc, 1, 2, 1, h - 4, white, 2, 1);
        ControlLight(dc, 2, 3, 1, h - 6, white, 1, 1);
        ControlLight(dc, 1, h - 2, w - 2, 1, black, 1, 1);
        ControlLight(dc, 2, h - 3, w - 4, 1, black, 2, 1);
        ControlLight(dc, w - 2, 2, 1, h - 4, black, 1, 1);
        ControlLight(dc, w - 3, 3, 1, h - 6, black, 2, 1);
        ControlLight(dc, 1, 1, 1, 1, white, 1, 1);
        ControlLight(dc, 2, 2, 1, 1, white, 1, 1);
        dc.SelectFont(GetFont());
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(white);
        dc.DrawText(caption, Rect(0, 0, w, h), format);
    }
    {
        // The pushed face: the pattern one pixel right and down, a dark bevel.
        Dc dc(m_bmpPushed);
        Tile(dc, texture, w, h, mod(left + tw - 1, tw), mod(top + th - 1, th));
        dc.FrameRect(Rect(0, 0, w, h), black);
        ControlLight(dc, 1, 1, w - 2, 1, black, 1, 1);
        ControlLight(dc, 2, 2, w - 4, 1, black, 2, 1);
        ControlLight(dc, 1, 2, 1, h - 4, black, 1, 1);
        ControlLight(dc, 2, 3, 1, h - 6, black, 2, 1);
        ControlLight(dc, 1, h - 2, w - 2, 1, black, 1, 2);
        ControlLight(dc, w - 2, 2, 1, h - 4, black, 1, 2);
        dc.SelectFont(GetFont());
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(white);
        dc.DrawText(caption, Rect(1, 1, w + 1, h + 1), format);
    }
    Invalidate(false);
}

void CTextureButton::DrawItem(DrawItemStruct& dis) {
    if (m_bmpNormal.IsNull() || !dis.hDC) return;
    const Bitmap& face = (dis.itemState & ODS_SELECTED) ? m_bmpPushed : m_bmpNormal;
    dis.hDC->DrawBitmap(0, 0, dis.rcItem.Width(), dis.rcItem.Height(), face, 0, 0);
}

}  // namespace MbWnd
