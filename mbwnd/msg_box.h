// The message boxes of the game: a text in a small modal box with one or two gradient buttons.
//
// MbMsgBox shows "OK"; MbMsgBoxOkCancel "OK" and "ｷｬﾝｾﾙ" and returns IDOK (1) or IDCANCEL (2);
// MbMsgBoxYesNo "はい" and "いいえ" and returns IDYES (6) or IDNO (7). A box that cannot be made
// returns -1. Texts are UTF-8; line feeds separate the lines. focusSecond puts the focus on the
// second button, so that Enter answers Cancel or No (the game's risky confirmations).
// Enter answers with the focused button, Escape with the second answer (an OK-only box closes).
//
// SetMsgBoxStyle chooses the look of every box made afterwards:
//   0 (the default)  the window's frame and empty caption, the dialog background, black text
//   1 (the game's)   no frame: a vertical gradient from the button-face colour, a black border,
//                    a white inner highlight and a dark grey inner frame, black text
//   2                as 1, with a sunken grey panel behind white text with a black shadow
//   any other value  no frame, the dialog background, black text
// The box has no caption bar in styles other than 0; it can be dragged by any point of it.
#pragma once

#include <string>

#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

extern "C" {
void SetMsgBoxStyle(int style);
void MbMsgBox(const char* text);
int MbMsgBoxOkCancel(const char* text, bool focusSecond);
int MbMsgBoxYesNo(const char* text, bool focusSecond);
}

namespace MbWnd {

// The box's dialog template: 187 x 45 dialog units, "ＭＳ Ｐゴシック" 9 points, owner-drawn push
// buttons 1 "OK" at (67, 24) and 2 "ｷｬﾝｾﾙ" at (120, 24), 50 x 14 each.
const rymd::ui::DialogTemplate& MsgBoxTemplate();

// The current style of new boxes.
int GetMsgBoxStyle();

class CMsgBoxDlg : public rymd::ui::Dialog {
public:
    CMsgBoxDlg();
    ~CMsgBoxDlg() override;

    // 0 OK only, 1 OK and Cancel, 2 Yes and No.
    int m_nKind = 0;
    int m_nStyle = 0;
    std::string m_strText;
    bool m_bFocusSecond = false;

    int GetTextWidth() const { return m_nTextWidth; }
    int GetTextHeight() const { return m_nTextHeight; }
    CGradationButton& FirstButton() { return m_Button1; }
    CGradationButton& SecondButton() { return m_Button2; }

    void DoDataExchange(rymd::ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc& dc) override;
    void OnShowWindow(bool show, int status) override;
    void OnLButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;

private:
    rymd::ui::Font m_Font;
    int m_nTextWidth = 0;
    int m_nTextHeight = 0;
    bool m_bFirstShow = true;
    rymd::ui::Point m_ptDragStart{-1, -1};
    rymd::ui::Rect m_rcDragStart;
    CGradationButton m_Button1;
    CGradationButton m_Button2;
};

}  // namespace MbWnd
