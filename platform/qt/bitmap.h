// A screen-compatible bitmap: an off-screen picture that controls build and copy to the screen
// when they are painted.
//
// Sizes and coordinates are logical pixels. A compatible bitmap carries the screen's pixel ratio
// (2 on a screen at 200 %): it then holds twice as many pixels each way, one-pixel lines and
// fills cover whole logical pixels and text is drawn at the screen's full resolution.
#pragma once

#include <QImage>
#include <string_view>

#include "platform/qt/ui_types.h"

namespace MbBmp {
class CControlBmp;
struct BitmapData;
}  // namespace MbBmp

namespace rymd::ui {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    Bitmap(Bitmap&&) = default;
    Bitmap& operator=(Bitmap&&) = default;

    // A bitmap of w x h logical pixels at the screen's pixel ratio, filled black. False (and a
    // null bitmap) when a side is below 1 or above 32768.
    bool CreateCompatibleBitmap(int w, int h);
    // The same at a given pixel ratio.
    bool CreateBitmap(int w, int h, double pixelRatio = 1.0);
    // A copy of a bitmap object's picture (ratio 1). False when it is empty.
    bool CreateFromControlBmp(const MbBmp::CControlBmp& src);
    // Loads a BMP, JPEG or PNG file (ratio 1).
    bool LoadImageFile(std::string_view path);
    void DeleteObject();

    bool IsNull() const { return image_.isNull(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    Size GetSize() const { return {width_, height_}; }
    double PixelRatio() const { return ratio_; }

    // The colour of logical pixel (x, y) (its top-left device pixel); 0 outside.
    COLORREF GetPixel(int x, int y) const;
    // Sets every device pixel of logical pixel (x, y); ignored outside.
    void SetPixel(int x, int y, COLORREF c);

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    // The pixel ratio of new compatible bitmaps: the screen's, unless a test pinned another.
    static double ScreenPixelRatio();
    static void SetScreenPixelRatio(double ratio);  // 0 follows the screen again
    static double PinnedScreenPixelRatio();         // 0 when none is pinned

private:
    QImage image_;
    int width_ = 0;
    int height_ = 0;
    double ratio_ = 1.0;
};

// The picture of a bitmap object as a top-down 32-bit image (8-bit pictures through their
// palette). Null when the bitmap is empty.
QImage ImageFromControlBmp(const MbBmp::CControlBmp& src);
QImage ImageFromBitmapData(const MbBmp::BitmapData* src);
// Only the part of the picture inside part (bitmap pixels, clipped to the picture); null when
// nothing of it is inside.
QImage ImageFromBitmapData(const MbBmp::BitmapData* src, const Rect& part);

}  // namespace rymd::ui
