#include "game/shell/kuni_map_wnd.h"

#include "mbkormap/kor_map.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

using ui::Rect;
using ui::RGB;

void CKuniMapWnd::ResetScrollSizes() {
    SetScrollSizes(m_TotalSize, ui::Size(64, 64), ui::Size(1, 1));
}

void CKuniMapWnd::FitAndDrawMap(int kuni) {
    m_nSelKuni = kuni;
    const bool doubled = map_ && map_->FormatFlag() != 0;
    Rect view(0, 0, map_ ? map_->GetMapWidth() : 0, map_ ? map_->GetMapHeight() : 0);
    if (m_ViewRect) {
        view = *m_ViewRect;
        if (doubled) view = Rect(view.left * 2, view.top * 2, view.right * 2, view.bottom * 2);
    }
    const int w = view.Width(), h = view.Height();
    if (w <= 0 || h <= 0) {
        m_BackBmp.FreeBitmap();
        m_TotalSize = ui::Size(100, 100);
        ResetScrollSizes();
        Invalidate();
        return;
    }
    double scale = 1.0;
    int dispW = 0, dispH = 0;
    // A second pass when the first one made a scroll bar appear or vanish.
    for (int pass = 0; pass < 2; ++pass) {
        const Rect client = GetClientRect();
        const int availW = client.Width() - 20, availH = client.Height() - 20;
        const double sx = static_cast<double>(availW) / w, sy = static_cast<double>(availH) / h;
        if (sy <= sx) {
            scale = sy;
            dispH = availH;
            dispW = static_cast<int>(w * scale);
        } else {
            scale = sx;
            dispW = availW;
            dispH = static_cast<int>(h * scale);
        }
        if (dispW < m_nMapMinWidth) {
            dispW = m_nMapMinWidth;
            scale = static_cast<double>(dispW) / w;
            dispH = static_cast<int>(h * scale);
        }
        m_TotalSize = ui::Size(dispW + 20, dispH + 20);
        ResetScrollSizes();
        if (GetClientRect() == client) break;
    }
    m_dScale = doubled ? scale * 2 : scale;
    map_->SetExternalBmp(&m_BackBmp);
    map_->SetSelectedKuni(kuni);
    map_->SetBrightType(3, 0);
    map_->DrawMap(view.left, view.top, w, h, dispW, dispH);
    map_->SetInternalBmp();
    m_rcMap = Rect(0, 0, 0, 0);
    // Not built yet: the scenario's whole-map labels (DrawLabels).
    Invalidate();
}

void CKuniMapWnd::OnSize(int type, int cx, int cy) {
    const bool adjusting = m_bAdjusting;
    CScrollWnd::OnSize(type, cx, cy);
    if (!m_bOwnerRefits && !adjusting && map_) FitAndDrawMap(m_nSelKuni);
}

void CKuniMapWnd::OnPaint(ui::Dc& dc) {
    const Rect c = GetClientRect();
    const ui::Point pos = GetScrollPosition();
    const int hx = pos.x, vy = pos.y;
    const int offX = c.Width() > m_TotalSize.cx ? (c.Width() - m_TotalSize.cx) / 2 : 0;
    const int offY = c.Height() > m_TotalSize.cy ? (c.Height() - m_TotalSize.cy) / 2 : 0;
    m_rcMap = Rect(offX - hx + 10, offY - vy + 10, offX - hx + 10 + m_TotalSize.cx - 20,
                   offY - vy + 10 + m_TotalSize.cy - 20);
    const Rect f(m_rcMap.left - 1, m_rcMap.top - 1, m_rcMap.right + 1, m_rcMap.bottom + 1);
    const Rect rightShadow(f.right, f.top + 6, f.right + 6, f.bottom + 6);
    const Rect bottomShadow(f.left + 6, f.bottom, f.right + 6, f.bottom + 6);

    dc.ExcludeClipRect(f);
    dc.ExcludeClipRect(rightShadow);
    dc.ExcludeClipRect(bottomShadow);
    dc.FillSolidRect(c, RGB(128, 128, 128));
    dc.SelectClipRect(nullptr);
    dc.FillSolidRect(rightShadow, RGB(64, 64, 64));
    dc.FillSolidRect(bottomShadow, RGB(64, 64, 64));
    dc.FillSolidRect(rightShadow.left, rightShadow.top, rightShadow.Width(), 1, RGB(96, 96, 96));
    dc.FillSolidRect(rightShadow.right - 1, rightShadow.top, 1, rightShadow.Height(), RGB(96, 96, 96));
    dc.FillSolidRect(bottomShadow.left, bottomShadow.top, 1, bottomShadow.Height(), RGB(96, 96, 96));
    dc.FillSolidRect(bottomShadow.left, bottomShadow.bottom - 1, bottomShadow.Width(), 1, RGB(96, 96, 96));
    dc.FrameRect(f, RGB(0, 0, 0));

    const MbBmp::CControlBmp& shown =
        m_bBlink && m_bBlinkOff && !m_CleanBmp.IsEmpty() ? m_CleanBmp : m_BackBmp;
    if (!shown.IsEmpty()) dc.DrawControlBmp(m_rcMap.left, m_rcMap.top, shown);
}

}  // namespace rymd::shell
