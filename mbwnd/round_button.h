// CRoundButton: an owner-drawn push button with a pill-shaped face: a rounded rectangle filled
// with a vertical gradient between two colours, lit along its top and left edges and shaded
// along its bottom and right edges, drawn at four times the button's size and reduced with
// smoothing. SetColor builds the faces (after the window exists and has its size); a button
// never given colours draws nothing. The pushed face is built from the same colours, so a
// pushed round button looks like one that is up.
#pragma once

#include "platform/qt/bitmap.h"
#include "platform/qt/controls.h"

namespace MbWnd {

using rymd::ui::COLORREF;

class CRoundButton : public rymd::ui::Button {
public:
    // The colour outside the shape.
    static constexpr COLORREF kOutside = rymd::ui::RGB(100, 200, 50);

    void SetColor(COLORREF top, COLORREF bottom);
    void DrawItem(rymd::ui::DrawItemStruct& dis) override;
    const rymd::ui::Bitmap& NormalFace() const { return m_NormalFace; }
    const rymd::ui::Bitmap& PushedFace() const { return m_PushedFace; }
    // The face at four times the size, before the reduction (for the tests of the shape).
    static QImage WorkPicture(int w, int h, COLORREF top, COLORREF bottom, int edgeBand);

private:
    void CreateBmp(rymd::ui::Bitmap& face, COLORREF top, COLORREF bottom);

    int m_nEdgeBand = 2;
    rymd::ui::Bitmap m_NormalFace;
    rymd::ui::Bitmap m_PushedFace;
};

}  // namespace MbWnd
