// The bitmap object: a pixel buffer of 8 (with palette), 24 or 32 bits per pixel, with loading
// (BMP, JPEG, PNG), JPEG encoding, a compact stream form for map files and saved games, and the
// drawing the maps need (lines, arcs, imposing, brightness, hatching, whitening).
//
// Memory layout (what the map drawing code writes into directly):
// - rows are stored bottom row first; each row is GetWidthBytes() bytes, padded to 4;
// - 8 bits: one palette index per pixel; 24 bits: blue, green, red; 32 bits: blue, green, red and
//   a fourth byte that no drawing here reads or writes (0 in bitmaps made here, alpha in a PNG
//   picture with alpha loaded at its own depth);
// - GetBufferPtr() is the bottom row, GetBufferTopLeftPtr() the top row, GetLinePtr(y) the row
//   y counted from the top.
//
// Drawing coordinates count x from the left and y from the top (y = 0 is the top row, which is
// the last row in memory). Everything is clipped to the bitmap: no member reads or writes outside
// the buffer, whatever the arguments.
//
// Colours are COLORREF (red in the low byte). On an 8-bit bitmap the drawing colour's low byte
// is a palette index.
//
// An object owns its pixels. Copying is not allowed (use Duplicate); moving hands the pixels over.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/color.h"

namespace rymd {
class ArchiveReader;
class ArchiveWriter;
}  // namespace rymd

namespace MbBmp {

using BYTE = std::uint8_t;
using rymd::COLORREF;

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

struct RECT {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct POINT {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

using rymd::GetBValue;
using rymd::GetGValue;
using rymd::GetRValue;
using rymd::RGB;

// Largest side and largest pixel buffer a bitmap may have; larger pictures are refused.
constexpr int kMaxBitmapSide = 32768;
constexpr std::int64_t kMaxBitmapBytes = std::int64_t{256} << 20;

// The pixel storage of one bitmap. A handle (HBITMAP) points at it; the owning CControlBmp keeps
// it alive and is the only one that changes its size. Others may change pixel bytes.
struct BitmapData {
    int width = 0;
    int height = 0;
    int widthBytes = 0;                 // bytes per row, padded to 4
    int bitCount = 0;                   // 8, 24 or 32
    int palletNum = 0;                  // palette entries in use (8 bits: 1..256; otherwise 0)
    std::array<RGBQUAD, 256> pallet{};  // entries past palletNum are black
    std::vector<BYTE> pixels;           // widthBytes x height, bottom row first
};
using HBITMAP = BitmapData*;

class CControlBmp;

// A font as the window layer knows it; the window layer's font objects derive from this.
class TextFont {
public:
    virtual ~TextFont() = default;
};

// Draws text into a bitmap. The bitmap library has no fonts: the window layer installs one
// renderer for the whole process with CControlBmp::SetTextRenderer.
class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // text is UTF-8; format takes the platform's text-drawing flags. Returns the height of the
    // text drawn, as the platform's text drawing does.
    virtual int DrawText(CControlBmp& target, const char* text, RECT* rc, COLORREF colour,
                         const TextFont* font, unsigned format) = 0;
};

class CControlBmp {
public:
    CControlBmp() = default;
    virtual ~CControlBmp();

    CControlBmp(const CControlBmp&) = delete;
    CControlBmp& operator=(const CControlBmp&) = delete;
    CControlBmp(CControlBmp&& other) noexcept = default;
    CControlBmp& operator=(CControlBmp&& other) noexcept = default;

    // ---- Fields -------------------------------------------------------------------------
    // Null when the bitmap is empty.
    HBITMAP GetHbmp() const { return data_.get(); }
    BYTE* GetBufferPtr() const { return data_ ? data_->pixels.data() : nullptr; }
    int GetWidth() const { return data_ ? data_->width : 0; }
    int GetHeight() const { return data_ ? data_->height : 0; }
    int GetWidthBytes() const { return data_ ? data_->widthBytes : 0; }
    int GetBitCount() const { return data_ ? data_->bitCount : 0; }
    int GetPalletNum() const { return data_ ? data_->palletNum : 0; }
    int GetPixelBytes() const { return GetBitCount() / 8; }
    // First byte of the top row (null when empty).
    BYTE* GetBufferTopLeftPtr() const {
        return data_
                   ? data_->pixels.data() + static_cast<std::size_t>(data_->widthBytes) * (data_->height - 1)
                   : nullptr;
    }
    // First byte of row y counted from the top; y must be in 0..height-1.
    BYTE* GetLinePtr(int y) const {
        return data_->pixels.data() + static_cast<std::size_t>(data_->widthBytes) * (data_->height - 1 - y);
    }
    // The 256-entry palette (null when empty); entries past GetPalletNum() are black.
    const RGBQUAD* GetPalletPtr() const { return data_ ? data_->pallet.data() : nullptr; }
    bool IsEmpty() const { return !data_; }

    // Compressed picture data: this library keeps none (type 0, null, 0).
    int GetCompressedDataType() const { return 0; }
    BYTE* GetCompressedDataBuffer() const { return nullptr; }
    int GetCompressedDataSize() const { return 0; }

    static COLORREF RGBQUADtoCOLORREF(RGBQUAD q) {
        return static_cast<COLORREF>(q.rgbRed + q.rgbGreen * 256 + q.rgbBlue * 65536);
    }

    // Sets every byte of the pixel buffer to 0.
    void ClearBuffer();

    // ---- Creation and copies ------------------------------------------------------------
    // (Re)creates a bitmap with every pixel 0. bits 8, 24 or 32; w and h at least 1. For 8 bits
    // the palette is palletCount entries of palette (1..256); with no palette given, a 256-step
    // grey ramp. False (bitmap unchanged) on bad arguments.
    bool CreateBitmap(int w, int h, int bits, int palletCount = 0, const RGBQUAD* palette = nullptr);
    // Copy of src converted to bits. To 8 bits: the nearest entry of the given palette, or
    // with no palette the grey level (luma) in a grey ramp. False (unchanged) when src is empty
    // or the arguments are bad.
    bool CreateDuplicate(const BitmapData* src, int bits, int palletCount = 0,
                         const RGBQUAD* palette = nullptr);
    // Copy of the source at its own depth and palette. The object form also copies the
    // transparent colour. An empty source empties this bitmap and returns false.
    bool Duplicate(const BitmapData* src);
    bool Duplicate(const CControlBmp* src);
    // Releases the pixels; the object becomes empty (drawing settings are kept).
    void FreeBitmap();

    // ---- Stream form (map files and saved games) -----------------------------------------
    // Writes the whole bitmap (also an empty one).
    void Serialize(rymd::ArchiveWriter& ar) const;
    // Reads what the writer wrote. A bad stream (wrong version, sizes, palette, lengths,
    // truncation) fails the reader and returns false; the bitmap is then unchanged.
    bool Serialize(rymd::ArchiveReader& ar);

    // ---- Pictures -------------------------------------------------------------------------
    // Loaders replace the bitmap on success and leave it unchanged on failure.
    // toDisplayDepth true: the result is always 24 bits. false: the picture keeps its own form:
    // palette pictures and grey JPEG/PNG pictures become 8 bits with their palette (a grey ramp
    // for grey pictures), colour pictures 24 bits, BMP files of 32 bits and PNG with alpha 32 bits.
    bool LoadJpegData(const BYTE* data, int size, bool toDisplayDepth);
    bool LoadBmpFile(const char* path, bool toDisplayDepth);
    bool LoadJpegFile(const char* path, bool toDisplayDepth);
    bool LoadPngFile(const char* path, bool toDisplayDepth);
    // Recognises BMP, JPEG or PNG by the file's first bytes.
    bool LoadImageFile(const char* path, bool toDisplayDepth);
    // The same from bytes in memory.
    bool LoadBmpData(const BYTE* data, int size, bool toDisplayDepth);
    bool LoadPngData(const BYTE* data, int size, bool toDisplayDepth);
    // Encodes the bitmap as a JPEG file image into out (capacity bytes) and stores its length in
    // *size. quality 1..100 (clamped). An 8-bit bitmap with a grey-ramp palette becomes a grey JPEG.
    // False when empty, when the result does not fit, or on an encoder error.
    bool CompressSaveJpeg(BYTE* out, int capacity, int* size, int quality) const;
    // Writes the bitmap as an uncompressed BMP file image (8 bits with palette, 24 or 32 bits).
    bool SaveBmpData(std::vector<BYTE>& out) const;
    // Encodes the bitmap as a PNG file image (8 bits with palette, 24 bits, 32 bits with the
    // fourth byte as alpha).
    bool SavePngData(std::vector<BYTE>& out) const;

    // ---- Palette and transparency -----------------------------------------------------------
    // Copies the palette entries in use into out (which must hold 256) and returns their number.
    int GetPallet(RGBQUAD* out) const;
    // Imposing leaves out the source pixels of this colour. Without a transparent colour, palette
    // index 0 is left out.
    void SetTransparentColor(COLORREF c);
    void ClearTransparentColor() { hasTransparent_ = false; }
    bool HasTransparentColor() const { return hasTransparent_; }
    COLORREF GetTransparentColor() const { return transparent_; }

    // ---- Drawing settings -----------------------------------------------------------------------
    void SetDrawColor(COLORREF c) { drawColor_ = c; }
    COLORREF GetDrawColor() const { return drawColor_; }
    // Kept for the callers that mark pictures this way; it does not change any drawing here.
    void SetGhostBitmapType(bool b) { ghostType_ = b; }
    bool GetGhostBitmapType() const { return ghostType_; }
    // Starts a new dash pattern: the next dashed drawing begins with a full dash.
    void ResetDashProgress() {
        dashProgress_ = 1.0;
        dashFlag_ = 1;
    }

    // ---- Pixels ---------------------------------------------------------------------------------
    // Colour of pixel (x, y) (through the palette for 8 bits); 0 outside or when empty.
    COLORREF GetPixelColor(int x, int y) const;
    // 8 bits: the palette index at (x, y); other depths and outside: -1.
    int GetPixelIndex(int x, int y) const;
    // Sets one pixel (8 bits: c's low byte is the index); ignored outside.
    void SetPixelColor(int x, int y, COLORREF c);
    // Fills a rectangle (left, top, width, height), clipped.
    void FillRect(int x, int y, int w, int h, COLORREF c);

    // ---- Imposing -------------------------------------------------------------------------------
    // Draws the 8-bit src reduced to half size with its top-left corner at (x, y) of this 24- or
    // 32-bit bitmap: each 2x2 block of src becomes one pixel, the average of its non-transparent
    // pixels weighted by how many there are (a half-covered block blends half with what is under
    // it). On an 8-bit target, a block with at least two non-transparent pixels takes the index of
    // its first one. False when src is not 8 bits or either bitmap is empty.
    bool Impose8BitBmpWithCompress(const CControlBmp* src, int x, int y);
    // The same; *step tells how far the work went (1 arguments checked, 2 drawing, 3 done).
    bool Impose8BitBmpWithCompressDebug(const CControlBmp* src, int x, int y, int* step);

    // ---- Lines and arcs (in the draw colour) ---------------------------------------------------
    // One-pixel line, both end points included.
    void DrawLine(int x1, int y1, int x2, int y2);
    // Line of the given width with round ends: every pixel within width / 2 of the segment.
    void DrawThickLine(int x1, int y1, int x2, int y2, int width);
    // The same, dashed: dashes of 4 x width pixels with gaps of 2 x width (at least 2 pixels
    // each). The pattern runs on from one call to the next until ResetDashProgress.
    void DrawThickLineDash(int x1, int y1, int x2, int y2, int width);
    // Arc of the ellipse inscribed in rc, from the ray through start to the ray through end.
    // counterClockwise true runs the way the angle atan2(dy, dx) grows (y pointing down), false
    // the other way. start on the same ray as end draws the whole ellipse. dashed as in
    // DrawThickLineDash.
    void DrawThickArc(const RECT* rc, POINT start, POINT end, int width, bool counterClockwise, bool dashed);

    // ---- Effects --------------------------------------------------------------------------------
    // Multiplies each colour channel in the rectangle by factor (results above 255 become 255).
    // 24 and 32 bits only.
    void BrightChange(int x, int y, int w, int h, double factor);
    // Diagonal hatching in colour c over the rectangle: every pixel with (x + y) % 4 == 0.
    void ColorHatching(int x, int y, int w, int h, COLORREF c);
    // This bitmap becomes a copy of src with every colour moved toward white by ratio (0 none,
    // 1 white). On an 8-bit src the palette is mixed and the transparent entries stay as they
    // were, so that imposing still leaves them out.
    bool MixWhite(const CControlBmp* src, double ratio);

    // ---- Text -----------------------------------------------------------------------------------
    // Draws UTF-8 text through the installed text renderer; without one it draws nothing and
    // returns 0.
    int DrawTextA(const char* text, RECT* rc, COLORREF colour, const TextFont* font, unsigned format);
    static void SetTextRenderer(TextRenderer* renderer);
    static TextRenderer* GetTextRenderer();

private:
    bool HasPixels() const { return data_ != nullptr; }
    void Adopt(std::unique_ptr<BitmapData> data);
    void PutPixel(int x, int y, COLORREF c);
    void FillSpan(int y, int x0, int x1, COLORREF c);
    void FillCapsule(double x1, double y1, double x2, double y2, double radius);
    void DashedSegment(double x1, double y1, double x2, double y2, int width);
    bool ImposeHalf(const CControlBmp& src, int x, int y, int* step);
    void ImposeRows(const BitmapData& s, const std::array<bool, 256>& skip, int x, int y, int i0, int i1,
                    int j0, int j1);

    std::unique_ptr<BitmapData> data_;
    COLORREF drawColor_ = 0;
    COLORREF transparent_ = 0;
    bool hasTransparent_ = false;
    int dashFlag_ = 1;
    double dashProgress_ = 1.0;
    bool ghostType_ = false;
};

}  // namespace MbBmp
