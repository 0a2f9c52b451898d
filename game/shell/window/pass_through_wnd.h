// CPassThroughWnd: a plain child of the main game window filling a part of its client area with
// the dialog colour (the splitter bar between the map and the log). Left-button presses and mouse
// movement go on to the parent in the parent's client coordinates, so the parent's own drag
// handling works through it; the cursor over it is the vertical-resize cursor.
#pragma once

#include "platform/qt/wnd.h"

namespace rymd::shell {

class CPassThroughWnd : public ui::Wnd {
public:
    void OnPaint(ui::Dc& dc) override;
    bool OnSetCursor(ui::Wnd* wnd, int hitTest, unsigned message) override;
    void OnLButtonDown(unsigned flags, ui::Point point) override;
    void OnMouseMove(unsigned flags, ui::Point point) override;
};

}  // namespace rymd::shell
