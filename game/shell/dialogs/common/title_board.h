// A title board: a display board over a frame of a dialog with a title centred on it, in the
// boards' font (14 pixels, ＭＳ Ｐゴシック). The report dialogs head their lists with it.
#pragma once

#include <string>

#include "mbwnd/display_board.h"
#include "platform/qt/font.h"
#include "platform/qt/wnd.h"

namespace rymd {

// The boards' font; it must outlive the boards that draw with it.
inline void CreateTitleBoardFont(ui::Font& font) {
    font.CreateFont(14, 0, 0, 0, ui::FW_MEDIUM, false, false, false, ui::SHIFTJIS_CHARSET, 0, 0, 0, 0,
                    "ＭＳ Ｐゴシック");
}

// Makes the board over the dialog's frame control and writes the title centred on it.
inline void ShowTitleBoard(ui::Wnd& dialog, int frameId, MbWnd::CDisplayBoard& board, ui::Font& font,
                           const std::string& title) {
    const ui::Rect frame = dialog.ChildRect(frameId);
    board.Create(frame, &dialog);
    board.SetFont(&font);
    board.ClearBoard();
    ui::Rect text(0, 0, frame.Width(), frame.Height());
    board.DrawTextA(title.c_str(), &text, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    board.Invalidate(false);
}

}  // namespace rymd
