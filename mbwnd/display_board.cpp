#include "mbwnd/display_board.h"

#include <algorithm>

#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

// One channel of a gradient at step i of n: first + ((second - first) x i + n / 2) / (n - 1).
int Step(int first, int second, int i, int n) {
    if (n <= 1) return first;
    return first + ((second - first) * i + n / 2) / (n - 1);
}

COLORREF Average(COLORREF a, COLORREF b) {
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

}  // namespace

CDisplayBoard::CDisplayBoard()
    : m_crText(RGB(0, 0, 0)),
      m_crBack(RGB(255, 255, 255)),
      m_crHilight(RGB(255, 255, 255)),
      m_crShadow(RGB(127, 127, 127)),
      m_crInsideFrame(RGB(160, 160, 160)),
      m_crUnderLine(RGB(160, 160, 160)) {}

CDisplayBoard::~CDisplayBoard() = default;

bool CDisplayBoard::Create(const Rect& rect, Wnd* parent) {
    m_nWidth = rect.Width();
    m_nHeight = rect.Height();
    m_Picture.CreateCompatibleBitmap(m_nWidth, m_nHeight);
    ClearBoard();
    return Wnd::Create(WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_GROUP, rect, parent, 1);
}

COLORREF CDisplayBoard::CalcHilightColor(COLORREF c) {
    return RGB(std::min(255, GetRValue(c) * 2), std::min(255, GetGValue(c) * 2),
               std::min(255, GetBValue(c) * 2));
}

COLORREF CDisplayBoard::CalcShadowColor(COLORREF c) {
    return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

void CDisplayBoard::SetBackColor(COLORREF colour, bool setEdgeColours) {
    m_bVertGradation = false;
    m_bHorzGradation = false;
    m_crBack = colour;
    if (setEdgeColours) {
        m_crHilight = CalcHilightColor(colour);
        m_crShadow = CalcShadowColor(colour);
    }
}

void CDisplayBoard::SetBackColorVertGradation(COLORREF top, COLORREF bottom, bool setEdgeColours) {
    m_bVertGradation = true;
    m_bHorzGradation = false;
    m_crGradation1 = top;
    m_crGradation2 = bottom;
    if (setEdgeColours) {
        COLORREF mid = Average(top, bottom);
        m_crHilight = CalcHilightColor(mid);
        m_crShadow = CalcShadowColor(mid);
    }
}

void CDisplayBoard::SetBackColorHorzGradation(COLORREF left, COLORREF right, bool setEdgeColours) {
    m_bHorzGradation = true;
    m_bVertGradation = false;
    m_crGradation1 = left;
    m_crGradation2 = right;
    if (setEdgeColours) {
        COLORREF mid = Average(left, right);
        m_crHilight = CalcHilightColor(mid);
        m_crShadow = CalcShadowColor(mid);
    }
}

void CDisplayBoard::ClearBoard() {
    if (m_Picture.IsNull()) return;
    Dc dc(m_Picture);
    const int w = m_nWidth;
    const int h = m_nHeight;
    const COLORREF a = m_crGradation1;
    const COLORREF b = m_crGradation2;
    if (m_bVertGradation) {
        for (int y = 0; y < h; ++y) {
            int r = Step(GetRValue(a), GetRValue(b), y, h);
            int g = Step(GetGValue(a), GetGValue(b), y, h);
            int bl = Step(GetBValue(a), GetBValue(b), y, h);
            if (m_bStripe && (y & 1)) {
                r = std::min(255, r * 10 / 8);
                g = std::min(255, g * 10 / 8);
                bl = std::min(255, bl * 10 / 8);
            }
            dc.FillSolidRect(0, y, w, 1, RGB(r, g, bl));
        }
    } else if (m_bHorzGradation) {
        for (int x = 0; x < w; ++x) {
            dc.FillSolidRect(
                x, 0, 1, h,
                RGB(Step(GetRValue(a), GetRValue(b), x, w), Step(GetGValue(a), GetGValue(b), x, w),
                    Step(GetBValue(a), GetBValue(b), x, w)));
        }
    } else {
        dc.FillSolidRect(0, 0, w, h, m_crBack);
    }

    const COLORREF topLeft = m_bSinkMode ? m_crShadow : m_crHilight;
    const COLORREF bottomRight = m_bSinkMode ? m_crHilight : m_crShadow;
    dc.FillSolidRect(0, 0, w, 1, topLeft);
    dc.FillSolidRect(0, 0, 1, h, topLeft);
    dc.FillSolidRect(0, h - 1, w, 1, bottomRight);
    dc.FillSolidRect(w - 1, 0, 1, h, bottomRight);

    if (m_bInsideFrame) {
        dc.FillSolidRect(1, 1, w - 3, 1, m_crInsideFrame);
        dc.FillSolidRect(1, h - 3, w - 3, 1, m_crInsideFrame);
        dc.FillSolidRect(1, 1, 1, h - 3, m_crInsideFrame);
        dc.FillSolidRect(w - 3, 1, 1, h - 3, m_crInsideFrame);
    }
}

void CDisplayBoard::DrawTextA(const char* text, Rect* rect, unsigned format) {
    if (m_Picture.IsNull() || !rect) return;
    Dc dc(m_Picture);
    if (m_pFont) dc.SelectFont(m_pFont);
    dc.SetBkMode(TRANSPARENT);
    if (m_bUnderLine)
        dc.FillSolidRect(Rect(rect->left, rect->bottom - 2, rect->right, rect->bottom - 1), m_crUnderLine);
    std::string_view s = text ? text : "";
    if (m_bTextShadow) {
        Rect shadow = *rect;
        shadow.OffsetRect(1, 1);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.DrawText(s, shadow, format);
    }
    dc.SetTextColor(m_crText);
    dc.DrawText(s, *rect, format);
}

void CDisplayBoard::DrawBmp(MbBmp::HBITMAP bitmap, const Point* at) {
    if (m_Picture.IsNull() || !bitmap || !at) return;
    QImage image = ImageFromBitmapData(bitmap);
    if (image.isNull()) return;
    Dc dc(m_Picture);
    dc.DrawImage(Rect(at->x, at->y, at->x + image.width(), at->y + image.height()), image,
                 Rect(0, 0, image.width(), image.height()));
}

void CDisplayBoard::DrawBmp(const Bitmap& bitmap, Point at) {
    if (m_Picture.IsNull() || bitmap.IsNull()) return;
    Dc dc(m_Picture);
    dc.DrawBitmap(at.x, at.y, bitmap);
}

void CDisplayBoard::FillSolidRect(const Rect* rect, COLORREF colour) {
    if (m_Picture.IsNull() || !rect) return;
    Dc dc(m_Picture);
    dc.FillSolidRect(*rect, colour);
}

void CDisplayBoard::OnPaint(Dc& dc) {
    if (!m_Picture.IsNull()) dc.DrawBitmap(0, 0, m_Picture);
}

}  // namespace MbWnd
