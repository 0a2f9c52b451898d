#include "mbwnd/round_button.h"

#include <QPainter>
#include <cmath>

#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

int Channel(COLORREF c, int i) {
    return i == 0 ? GetRValue(c) : i == 1 ? GetGValue(c) : GetBValue(c);
}

int ISqrt(long long v) {
    if (v <= 0) return 0;
    long long r = static_cast<long long>(std::sqrt(static_cast<double>(v)));
    while (r * r > v)
        --r;
    while ((r + 1) * (r + 1) <= v)
        ++r;
    return static_cast<int>(r);
}

}  // namespace

QImage CRoundButton::WorkPicture(int w, int h, COLORREF top, COLORREF bottom, int edgeBand) {
    QImage work(std::max(1, 4 * w), std::max(1, 4 * h), QImage::Format_RGB32);
    work.fill(QColor(GetRValue(kOutside), GetGValue(kOutside), GetBValue(kOutside)));
    const int W = 4 * (w - 4);
    const int H = 4 * (h - 4);
    if (W <= 0 || H <= 1) return work;
    const int R = static_cast<int>(4 * (h - 4) * 0.4);
    const int B = 4 * edgeBand;
    auto put = [&](int x, int y, const int c[3]) {
        x += 8;
        y += 8;
        if (x >= 0 && y >= 0 && x < work.width() && y < work.height())
            work.setPixel(x, y,
                          qRgb(std::clamp(c[0], 0, 255), std::clamp(c[1], 0, 255), std::clamp(c[2], 0, 255)));
    };
    for (int y = 0; y < H; ++y) {
        int c[3];
        for (int i = 0; i < 3; ++i) {
            const int t = Channel(top, i);
            const int b = Channel(bottom, i);
            int v = t + (b - t) * y / (H - 1);
            if (B > 0 && y < B)
                v = 255 + (v - 255) * y / B;
            else if (B > 0 && y > H - 1 - B)
                v = (v * (H - 1 - y)) / B;
            c[i] = v;
        }
        int start = 0;
        int end = W;
        int leftBand = B;
        int rightBand = B;
        if (R > 0 && y < R) {
            const int d = R - y;
            const int e = ISqrt(static_cast<long long>(R) * R - static_cast<long long>(d) * d);
            start = R - e;
            end = W - R + e;
            leftBand =
                2 * B - static_cast<int>(static_cast<long long>(B) * y * y / (static_cast<long long>(R) * R));
            rightBand = B * y / R;
        } else if (R > 0 && y > H - 1 - R) {
            const int t = H - 1 - y;
            const int d = y - (H - 1 - R);
            const int e = ISqrt(static_cast<long long>(R) * R - static_cast<long long>(d) * d);
            start = R - e;
            end = W - R + e;
            leftBand = B * t / R;
            rightBand =
                2 * B - static_cast<int>(static_cast<long long>(B) * t * t / (static_cast<long long>(R) * R));
        }
        for (int x = start; x < end; ++x)
            put(x, y, c);
        for (int i = 0; i < leftBand; ++i) {
            int p[3];
            for (int k = 0; k < 3; ++k)
                p[k] = 255 + (c[k] - 255) * i / leftBand;
            put(start + i, y, p);
        }
        for (int i = 0; i < rightBand; ++i) {
            int p[3];
            for (int k = 0; k < 3; ++k)
                p[k] = c[k] * i / rightBand;
            put(end - 1 - i, y, p);
        }
    }
    return work;
}

void CRoundButton::CreateBmp(Bitmap& face, COLORREF top, COLORREF bottom) {
    const Rect wr = GetWindowRect();
    const int w = wr.Width();
    const int h = wr.Height();
    if (!face.CreateBitmap(std::max(1, w), std::max(1, h), 1.0)) return;
    const QImage work = WorkPicture(w, h, top, bottom, m_nEdgeBand);
    {
        QPainter p(&face.Image());
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, w, h), work.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    Dc dc(face);
    dc.SelectFont(GetFont());
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(GetWindowText(), Rect(0, 0, w, h), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void CRoundButton::SetColor(COLORREF top, COLORREF bottom) {
    if (!IsWindow()) return;
    CreateBmp(m_NormalFace, top, bottom);
    CreateBmp(m_PushedFace, top, bottom);
    Invalidate(false);
}

void CRoundButton::DrawItem(DrawItemStruct& dis) {
    if (m_NormalFace.IsNull() || !dis.hDC) return;
    const Bitmap& face = (dis.itemState & ODS_SELECTED) ? m_PushedFace : m_NormalFace;
    dis.hDC->DrawBitmap(0, 0, dis.rcItem.Width(), dis.rcItem.Height(), face, 0, 0);
}

}  // namespace MbWnd
