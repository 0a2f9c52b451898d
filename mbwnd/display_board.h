// CDisplayBoard: a passive panel of fixed size that keeps its whole picture off screen.
//
// The owner fills the picture with a background (a solid colour, a vertical or a horizontal
// gradient, optionally striped, always with a one-pixel raised or sunken edge and optionally an
// inner frame), then draws texts and bitmaps onto it; painting only copies the picture. Setters
// and drawing never redraw the window: the owner invalidates the board when it is done. The board
// is created disabled, so it takes neither the focus nor the mouse (clicks reach the parent).
#pragma once

#include "mbbmp/control_bmp.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/font.h"
#include "platform/qt/wnd.h"

namespace MbWnd {

using rymd::ui::COLORREF;

class CDisplayBoard : public rymd::ui::Wnd {
public:
    CDisplayBoard();
    ~CDisplayBoard() override;

    // Makes the picture as large as rect, clears it and creates the board window (control id 1).
    bool Create(const rymd::ui::Rect& rect, rymd::ui::Wnd* parent);
    // Repaints the whole picture with the background and the edge (no invalidation).
    void ClearBoard();

    void SetBackColor(COLORREF colour, bool setEdgeColours);
    void SetBackColorVertGradation(COLORREF top, COLORREF bottom, bool setEdgeColours);
    void SetBackColorHorzGradation(COLORREF left, COLORREF right, bool setEdgeColours);
    // Per channel min(255, 2 x c) and c / 2.
    static COLORREF CalcHilightColor(COLORREF c);
    static COLORREF CalcShadowColor(COLORREF c);
    void SetHilightColor(COLORREF c) { m_crHilight = c; }
    void SetShadowColor(COLORREF c) { m_crShadow = c; }
    void SetSinkMode(bool b) { m_bSinkMode = b; }
    void SetTextShadowMode(bool b) { m_bTextShadow = b; }
    void SetInsideFrameMode(bool b) { m_bInsideFrame = b; }
    void SetUnderLineMode(bool b) { m_bUnderLine = b; }
    void SetStripeMode(bool b) { m_bStripe = b; }
    void SetInsideFrameColor(COLORREF c) { m_crInsideFrame = c; }
    void SetUnderLineColor(COLORREF c) { m_crUnderLine = c; }
    void SetTextColor(COLORREF c) { m_crText = c; }
    // The font of the texts; the caller keeps it alive. Null: the default font.
    void SetFont(rymd::ui::Font* font) { m_pFont = font; }

    // Draws a text onto the picture with the platform's text-drawing flags.
    void DrawTextA(const char* text, rymd::ui::Rect* rect, unsigned format);
    // Copies a whole bitmap onto the picture with its top-left corner at the point.
    void DrawBmp(MbBmp::HBITMAP bitmap, const rymd::ui::Point* at);
    void DrawBmp(MbBmp::HBITMAP bitmap, rymd::ui::Point at) { DrawBmp(bitmap, &at); }
    void DrawBmp(const rymd::ui::Bitmap& bitmap, rymd::ui::Point at);
    void FillSolidRect(const rymd::ui::Rect* rect, COLORREF colour);

    // The picture (for the owner's own drawing and for checks).
    rymd::ui::Bitmap& GetPicture() { return m_Picture; }
    int GetBoardWidth() const { return m_nWidth; }
    int GetBoardHeight() const { return m_nHeight; }

    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc& dc) override { return true; }

private:
    rymd::ui::Bitmap m_Picture;
    int m_nWidth = 0;
    int m_nHeight = 0;
    rymd::ui::Font* m_pFont = nullptr;
    COLORREF m_crText;
    COLORREF m_crBack;
    bool m_bSinkMode = false;
    COLORREF m_crHilight;
    COLORREF m_crShadow;
    bool m_bTextShadow = false;
    bool m_bVertGradation = false;
    bool m_bHorzGradation = false;
    COLORREF m_crGradation1 = 0;
    COLORREF m_crGradation2 = 0;
    bool m_bInsideFrame = false;
    COLORREF m_crInsideFrame;
    bool m_bUnderLine = false;
    COLORREF m_crUnderLine;
    bool m_bStripe = false;
};

}  // namespace MbWnd
