// The overlay picture of the relief map (a picture laid over the map, stretched with the view
// and blended into the drawing) and the painting of a whole view.
#include <algorithm>
#include <cstdlib>

#include "mb3dmap/elv_map.h"

namespace Mb3dMap {

namespace {

using i64 = std::int64_t;

// Number of display columns (or rows) from the view's start whose nearest picture pixel
// (start + i x w / disp) lies inside a picture of the given size.
int InsideCount(int start, int w, int disp, int size) {
    if (start < 0 || start >= size) return 0;
    const i64 span = static_cast<i64>(size - start) * disp;  // i x w < span
    return static_cast<int>(std::min<i64>(disp, (span + w - 1) / w));
}

}  // namespace

void CCtrlElvMap::SetOverlapBitmap(HBITMAP bmp, int value1, int value2) {
    m_OverlayValues = {value1, value2};
    m_Overlay.Clear();
    m_StretchedOverlay.Clear();
    ElevationDataModified();  // the next view stretches the new picture
    if (bmp == nullptr) return;

    const PackedDib dib = m_Dib.DibFromBitmap(bmp, BI_RGB, 32, nullptr);
    BITMAPINFOHEADER bi;
    if (dib.empty() || !m_Dib.DibInfo(dib, &bi) || bi.biBitCount != 32 || bi.biWidth <= 0 || bi.biHeight == 0)
        return;
    const int w = bi.biWidth;
    const int h = std::abs(bi.biHeight);
    const bool topDown = bi.biHeight < 0;
    const std::size_t bitsAt = bi.biSize + CCtrlDib::PaletteSize(dib.data());
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    if (dib.size() < bitsAt || (dib.size() - bitsAt) / rowBytes < static_cast<std::size_t>(h)) return;
    m_Overlay.pixels.resize(rowBytes * h);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = dib.data() + bitsAt + rowBytes * (topDown ? y : h - 1 - y);
        std::uint8_t* out = m_Overlay.pixels.data() + rowBytes * y;
        for (int x = 0; x < w; ++x) {
            out[x * 4] = src[x * 4];
            out[x * 4 + 1] = src[x * 4 + 1];
            out[x * 4 + 2] = src[x * 4 + 2];
            out[x * 4 + 3] = 0;
        }
    }
    m_Overlay.width = w;
    m_Overlay.height = h;
    m_Overlay.rowLength = static_cast<int>(rowBytes);
}

void CCtrlElvMap::StretchOverlay(int x, int y, int w, int h, int dispW, int dispH) {
    m_StretchedOverlay.Clear();
    if (m_Overlay.pixels.empty() || w <= 0 || h <= 0 || dispW <= 0 || dispH <= 0) return;
    const int sw = InsideCount(x, w, dispW, m_Overlay.width);
    const int sh = InsideCount(y, h, dispH, m_Overlay.height);
    if (sw <= 0 || sh <= 0) return;
    m_StretchedOverlay.pixels.resize(static_cast<std::size_t>(sw) * sh * 4);
    for (int j = 0; j < sh; ++j) {
        const std::uint8_t* src =
            m_Overlay.pixels.data() +
            static_cast<std::size_t>(y + static_cast<i64>(j) * h / dispH) * m_Overlay.rowLength;
        std::uint8_t* out = m_StretchedOverlay.pixels.data() + static_cast<std::size_t>(j) * sw * 4;
        for (int i = 0; i < sw; ++i)
            std::copy_n(src + static_cast<std::size_t>(x + static_cast<i64>(i) * w / dispW) * 4, 4,
                        out + i * 4);
    }
    m_StretchedOverlay.width = sw;
    m_StretchedOverlay.height = sh;
    m_StretchedOverlay.rowLength = sw * 4;
}

void CCtrlElvMap::OverlapPictureOnBitmapBuffer() {
    MbBmp::CControlBmp* bmp = GetTargetBmp();
    const int bpp = bmp->GetPixelBytes();
    if (m_StretchedOverlay.pixels.empty() || bmp->GetBufferPtr() == nullptr || (bpp != 3 && bpp != 4)) return;
    const int w = std::min(m_StretchedOverlay.width, bmp->GetWidth());
    const int h = std::min(m_StretchedOverlay.height, bmp->GetHeight());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* ov =
            m_StretchedOverlay.pixels.data() + static_cast<std::size_t>(y) * m_StretchedOverlay.rowLength;
        std::uint8_t* t = bmp->GetLinePtr(y);
        for (int x = 0; x < w; ++x, t += bpp, ov += 4)
            for (int ch = 0; ch < 3; ++ch)
                t[ch] = static_cast<std::uint8_t>((ov[ch] + t[ch]) / 2);
    }
}

void CCtrlElvMap::OverlapPictureOnBitmapBuffer(int x, int y, int w, int h) {
    MbBmp::CControlBmp* bmp = GetTargetBmp();
    const int bpp = bmp->GetPixelBytes();
    if (m_StretchedOverlay.pixels.empty() || bmp->GetBufferPtr() == nullptr || (bpp != 3 && bpp != 4)) return;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 =
        static_cast<int>(std::min<i64>({static_cast<i64>(x) + w, m_StretchedOverlay.width, bmp->GetWidth()}));
    const int y1 = static_cast<int>(
        std::min<i64>({static_cast<i64>(y) + h, m_StretchedOverlay.height, bmp->GetHeight()}));
    const int bufferRows = bmp->GetHeight();
    for (int r = y0; r < y1; ++r) {
        const std::uint8_t* ov = m_StretchedOverlay.pixels.data() +
                                 static_cast<std::size_t>(r) * m_StretchedOverlay.rowLength + x0 * 4;
        std::uint8_t* t =
            bmp->GetLinePtr(bufferRows - 1 - r) + static_cast<std::size_t>(x0) * bpp;  // r-th in the buffer
        for (int c = x0; c < x1; ++c, t += bpp, ov += 4)
            for (int ch = 0; ch < 3; ++ch)
                t[ch] = static_cast<std::uint8_t>(ov[ch] / 2 + t[ch] / 2);
    }
}

void CCtrlElvMap::DrawAllMapOnBitmapBuffer(bool relief, bool texture, COLORREF colour, bool dark) {
    const int rows = std::min(m_nViewHeight, 0x7FFF);
    const int lastColumn = std::min(m_nViewWidth, 0x8000) - 1;
    if (rows <= 0 || lastColumn < 0) return;
    std::vector<tagHorzLine> spans(static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y)
        spans[y] = {static_cast<std::int16_t>(y), 0, static_cast<std::int16_t>(lastColumn)};
    DrawPolygonOnBitmapBuffer(spans.data(), rows, dark ? 2 : 0, relief, texture, colour, false);
}

}  // namespace Mb3dMap
