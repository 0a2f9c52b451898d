// CBackdropWnd: the strip at the top of the main game window that carries the status bar. It
// shows "TitleBar.jpg" of the picture folder, at the picture's own size, shaded into a bevelled,
// lightly striped panel; the status bar writes its texts into the shaded picture (m_Bmp).
#pragma once

#include "mbbmp/control_bmp.h"
#include "platform/qt/wnd.h"

namespace rymd::shell {

class CPictureStore;

class CBackdropWnd : public ui::Wnd {
public:
    // store: where the strip's picture comes from (the program's picture store when null).
    explicit CBackdropWnd(const CPictureStore* store = nullptr) : store_(store) {}

    // Renews m_Bmp from the picture for the window's current size: a copy of the picture with
    // a bevel along the window's edges and a darker row at y = 3, 5, 7, ... while y < height - 3.
    void PrepareBitmap();

    MbBmp::CControlBmp m_SrcBmp;  // the picture as loaded
    MbBmp::CControlBmp m_Bmp;     // the shaded copy the window shows; the status bar draws into it

    int OnCreate() override;
    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc& dc) override { return true; }

private:
    const CPictureStore* store_;
};

// The shading steps on a bitmap for a window of w x h pixels.
void ShadeBackdrop(MbBmp::CControlBmp& bmp, int w, int h);

}  // namespace rymd::shell
