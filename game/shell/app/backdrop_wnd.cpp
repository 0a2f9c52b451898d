#include "game/shell/app/backdrop_wnd.h"

#include <algorithm>

#include "game/shell/app/picture_store.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

void ShadeBackdrop(MbBmp::CControlBmp& b, int w, int h) {
    // Top and left edges light, bottom and right edges dark.
    b.BrightChange(0, 0, w, 1, 0.5);
    b.BrightChange(1, 1, w - 2, 1, 1.5);
    b.BrightChange(2, 2, w - 4, 1, 2.0);
    b.BrightChange(0, 1, 1, h - 2, 0.5);
    b.BrightChange(1, 2, 1, h - 4, 1.5);
    b.BrightChange(2, 3, 1, h - 6, 2.0);
    b.BrightChange(0, h - 1, w, 1, 0.0);
    b.BrightChange(1, h - 2, w - 2, 1, 0.5);
    b.BrightChange(2, h - 3, w - 4, 1, 0.5);
    b.BrightChange(w - 1, 1, 1, h - 2, 0.0);
    b.BrightChange(w - 2, 2, 1, h - 4, 0.5);
    b.BrightChange(w - 3, 3, 1, h - 6, 0.5);
    for (int y = 3; y < h - 3; y += 2)
        b.BrightChange(3, y, w - 6, 1, 0.85);
}

int CBackdropWnd::OnCreate() {
    (store_ ? *store_ : PictureStore()).LoadTitleBar(m_SrcBmp);
    PrepareBitmap();
    return 0;
}

void CBackdropWnd::PrepareBitmap() {
    m_Bmp.FreeBitmap();
    if (m_SrcBmp.IsEmpty()) return;
    m_Bmp.Duplicate(&m_SrcBmp);
    const ui::Rect r = GetWindowRect();
    ShadeBackdrop(m_Bmp, r.Width(), r.Height());
}

void CBackdropWnd::OnPaint(ui::Dc& dc) {
    const ui::Rect c = GetClientRect();
    const ui::Rect inner(0, 0, c.Width() - 1, c.Height() - 1);
    // The picture at its own size; the last column and row, and whatever the picture does not
    // cover, in the dialog colour.
    const ui::Rect picture(0, 0, std::min(inner.right, m_Bmp.GetWidth()),
                           std::min(inner.bottom, m_Bmp.GetHeight()));
    if (!picture.IsRectEmpty()) dc.DrawControlBmp(0, 0, picture.Width(), picture.Height(), m_Bmp, 0, 0);
    dc.ExcludeClipRect(picture);
    dc.FillSolidRect(c, ui::GetSysColor(ui::COLOR_3DFACE));
    dc.SelectClipRect(nullptr);
}

}  // namespace rymd::shell
