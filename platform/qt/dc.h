// Device contexts: where windows and controls draw.
//
// A device context draws into a screen-compatible Bitmap (a memory context), into the bitmap
// object of the map libraries (MbBmp::CControlBmp, 24 and 32 bits), or into a window while it is
// painted (the context a window's OnPaint receives). It keeps the drawing state the game's code
// sets: text colour, background colour and mode, the selected font, the pen colour of lines and
// the clip rectangle.
//
// Every fill, frame and line covers exactly the pixels its integer rectangle names (no
// smoothing); rectangles exclude their right and bottom edges, lines exclude their end point.
//
// Text: TextOut and DrawText take UTF-8. DrawText understands these format flags:
//   DT_LEFT / DT_CENTER / DT_RIGHT     horizontal placement of each line in the rectangle
//   DT_TOP / DT_VCENTER / DT_BOTTOM    vertical placement (VCENTER and BOTTOM with DT_SINGLELINE)
//   DT_SINGLELINE                      one line; line breaks do not break it
//   DT_WORDBREAK                       lines longer than the rectangle break between words, and
//                                      between Japanese characters
//   DT_EXPANDTABS                      tabs advance to the next multiple of 8 average characters
//   DT_NOPREFIX                        '&' is shown as it is (otherwise "&x" underlines x and
//                                      "&&" shows one '&')
//   DT_NOCLIP                          no clipping to the rectangle
//   DT_CALCRECT                        draws nothing; sets the rectangle's right and bottom to the
//                                      text's extent
//   DT_END_ELLIPSIS                    a single line too wide for the rectangle ends in "..."
// Without DT_SINGLELINE a line feed (with or without a carriage return before it) starts a new
// line. In the opaque background mode the cell of each text line is filled with the background
// colour first.
#pragma once

#include <QImage>
#include <memory>
#include <string_view>

#include "platform/qt/ui_types.h"

class QPainter;
class QPaintDevice;

namespace MbBmp {
class CControlBmp;
struct BitmapData;
}  // namespace MbBmp

namespace rymd::ui {

class Bitmap;
class Font;
class Region;

class Dc {
public:
    // A null context (draws nothing).
    Dc();
    // A memory context drawing into the bitmap.
    explicit Dc(Bitmap& target);
    // A context drawing into a bitmap object of 24 or 32 bits; the pixels are written back when
    // the context ends (or on Flush). Other depths give a null context.
    explicit Dc(MbBmp::CControlBmp& target);
    // A context over a painter that is already active (the window layer's painting). clip is
    // the area the context may draw in.
    Dc(QPainter& painter, const Rect& clip);
    ~Dc();
    Dc(Dc&&) noexcept;
    Dc& operator=(Dc&&) noexcept;
    Dc(const Dc&) = delete;
    Dc& operator=(const Dc&) = delete;

    // A context for measuring text only (like one of the screen).
    static Dc ForMeasure();

    bool IsNull() const;

    // ---- State ----------------------------------------------------------------------------------
    COLORREF SetTextColor(COLORREF c);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF c);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    // Selects a font (null: the default font) and returns the one selected before.
    Font* SelectFont(Font* font);
    Font* GetCurrentFont() const;
    // Colour of the lines drawn by LineTo; returns the one before.
    COLORREF SetPenColor(COLORREF c);

    // ---- Clipping --------------------------------------------------------------------------------
    void IntersectClipRect(const Rect& r);
    void ExcludeClipRect(const Rect& r);
    // Back to the whole drawing area.
    void SelectClipRect(const Rect* r);

    // ---- Fills, frames, lines and pixels ---------------------------------------------------------
    void FillSolidRect(const Rect& r, COLORREF c);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
    // A one-pixel frame along the inside of the rectangle.
    void FrameRect(const Rect& r, COLORREF c);
    // Fills every pixel of the region.
    void FillRgn(const Region& region, COLORREF c);
    // Top and left edges in one colour, bottom and right in the other (one pixel).
    void Draw3dRect(const Rect& r, COLORREF topLeft, COLORREF bottomRight);
    void MoveTo(int x, int y);
    void MoveTo(Point p) { MoveTo(p.x, p.y); }
    // A one-pixel line from the current position to (x, y), the end point left out.
    void LineTo(int x, int y);
    void LineTo(Point p) { LineTo(p.x, p.y); }
    void SetPixel(int x, int y, COLORREF c);
    // 0 outside and on window contexts.
    COLORREF GetPixel(int x, int y) const;

    // ---- Copies -----------------------------------------------------------------------------------
    // Copies w x h pixels from (sx, sy) of the source's bitmap to (x, y). False when the source
    // is not a memory context.
    bool BitBlt(int x, int y, int w, int h, const Dc& src, int sx, int sy);
    bool DrawBitmap(int x, int y, int w, int h, const Bitmap& src, int sx, int sy);
    bool DrawBitmap(int x, int y, const Bitmap& src);
    bool StretchBitmap(const Rect& dst, const Bitmap& src, const Rect& srcRect);
    // Copies a bitmap object's pixels (8 bits through the palette).
    bool DrawControlBmp(int x, int y, int w, int h, const MbBmp::CControlBmp& src, int sx, int sy);
    bool DrawControlBmp(int x, int y, const MbBmp::CControlBmp& src);
    bool StretchControlBmp(const Rect& dst, const MbBmp::CControlBmp& src, const Rect& srcRect);
    // Any top-down image (for the layer's own helpers).
    bool DrawImage(const Rect& dst, const QImage& src, const Rect& srcRect);

    // ---- Text --------------------------------------------------------------------------------------
    // Draws one line with the top of its cell at (x, y); no prefix processing.
    void TextOut(int x, int y, std::string_view text);
    // Draws (or with DT_CALCRECT measures) text in the rectangle; returns the height of the text.
    int DrawText(std::string_view text, Rect& rect, unsigned format);
    int DrawText(std::string_view text, const Rect& rect, unsigned format);
    // Width of the text on one line with the current font, and the font's cell height.
    Size GetTextExtent(std::string_view text) const;

    // Writes a bitmap object context's pixels back now.
    void Flush();

    // The layer's access to the painter (null for a null context).
    QPainter* Painter() const;
    // The image of a memory context (null otherwise).
    QImage* TargetImage() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace rymd::ui
