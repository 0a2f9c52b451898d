// CGradationButton: the standard push button of every dialog and message box.
//
// An owner-drawn button whose face is a vertical colour gradient with a two-pixel bevel, drawn
// afresh into an off-screen bitmap each time the button is drawn. A dialog declares the button as
// an owner-drawn push button (BS_OWNERDRAW) and binds it with DDX_Control.
//
// New buttons take their colours from the button-face colour at construction: the top row
// min(255, c x 10 / 9) and the bottom row c x 4 / 5 per channel. With the class-wide focus display
// on, the button holding the focus is drawn in its focused colours inside a one-pixel frame.
//
// Enter pressed on the button sends the button's own command to its parent (even when another
// button is the dialog's default), unless the button is held pushed; a double click counts as a
// press.
#pragma once

#include "platform/qt/bitmap.h"
#include "platform/qt/controls.h"

namespace MbWnd {

using rymd::ui::COLORREF;

class CGradationButton : public rymd::ui::Button {
public:
    CGradationButton();
    ~CGradationButton() override;

    // Normal gradient colours; shown at the next drawing.
    void SetColor(COLORREF top, COLORREF bottom);
    // Gradient colours while drawn focused.
    void SetFocusedColor(COLORREF top, COLORREF bottom);
    // Class-wide: draw the focused button in its focused colours and frame it in frameColour.
    static void SetFocusDisp(bool show, COLORREF frameColour);

    COLORREF GetTopColor() const { return m_crTop; }
    COLORREF GetBottomColor() const { return m_crBottom; }
    COLORREF GetFocusedTopColor() const { return m_crFocusedTop; }
    COLORREF GetFocusedBottomColor() const { return m_crFocusedBottom; }
    static bool GetFocusDisp() { return s_bFocusDisp; }
    static COLORREF GetFocusFrameColor() { return s_crFocusFrame; }

    void DrawItem(rymd::ui::DrawItemStruct& dis) override;
    bool PreTranslateMessage(rymd::ui::Msg& msg) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;
    void OnCaptureChanged(rymd::ui::Wnd* newCapture) override;

private:
    // Builds the face (w x h of the button's window) into bitmap.
    void CreateBmp(rymd::ui::Bitmap& bitmap, COLORREF top, COLORREF bottom, bool pushed);

    COLORREF m_crTop;
    COLORREF m_crBottom;
    COLORREF m_crFocusedTop;
    COLORREF m_crFocusedBottom;

    static bool s_bFocusDisp;
    static COLORREF s_crFocusFrame;
};

}  // namespace MbWnd
