// CTextureButton: an owner-drawn push button cut out of a textured background.
//
// SetTexture builds two faces once: the texture tiled so that it continues the pattern the parent
// shows when it tiles the same texture from its own origin, framed in black, with a light bevel
// (normal face) or a dark one with the pattern and caption moved one pixel right and down (pushed
// face). Drawing only copies a face. A button whose texture was never set draws nothing.
#pragma once

#include "platform/qt/bitmap.h"
#include "platform/qt/controls.h"

namespace rymd::ui {
class Dc;
}

namespace MbWnd {

using rymd::ui::COLORREF;

class CTextureButton : public rymd::ui::Button {
public:
    CTextureButton();
    ~CTextureButton() override;

    // Builds both faces from the texture, the caption and the font; call it once the button
    // window exists and is placed. A second call replaces both faces.
    void SetTexture(const rymd::ui::Bitmap& texture);

    const rymd::ui::Bitmap& GetNormalFace() const { return m_bmpNormal; }
    const rymd::ui::Bitmap& GetPushedFace() const { return m_bmpPushed; }

    void DrawItem(rymd::ui::DrawItemStruct& dis) override;

protected:
    // Blends every pixel of the rectangle towards colour: per channel
    // (pixel x pixelWeight + colour x colourWeight) / (pixelWeight + colourWeight).
    void ControlLight(rymd::ui::Dc& dc, int x, int y, int width, int height, COLORREF colour, int pixelWeight,
                      int colourWeight);
    // For every pixel of (0, 0, width, height) and every channel whose source value is not 0:
    // target = (target x 2 + source) / 3.
    void TransparentTexture(rymd::ui::Dc& target, rymd::ui::Dc& source, int width, int height);

private:
    void Tile(rymd::ui::Dc& dc, const rymd::ui::Bitmap& texture, int w, int h, int offsetX, int offsetY);

    rymd::ui::Bitmap m_bmpNormal;
    rymd::ui::Bitmap m_bmpPushed;
};

}  // namespace MbWnd
