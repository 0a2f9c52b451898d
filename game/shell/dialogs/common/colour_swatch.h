// A colour swatch: a small window filled with one colour inside a thin dark frame, as a legend
// or a house list shows which colour stands for what.
#pragma once

#include "game/ports/ports.h"
#include "platform/qt/dc.h"
#include "platform/qt/wnd.h"

namespace rymd {

class CColourSwatch : public ui::Wnd {
public:
    // The frame's colour.
    static constexpr Colour kFrame = 0x00404040;

    void SetColour(Colour colour) {
        colour_ = colour;
        if (IsWindow()) Invalidate();
    }
    Colour GetColour() const { return colour_; }

    void OnPaint(ui::Dc& dc) override {
        const ui::Rect c = GetClientRect();
        dc.FillSolidRect(c, colour_);
        dc.FrameRect(c, kFrame);
    }

private:
    Colour colour_ = 0;
};

}  // namespace rymd
