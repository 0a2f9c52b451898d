// CLongTextDlg (dialog 177): one long text in a rich-text view with an OK button, over a
// picture when the caller gives one. The scenario's opening text shows in it (white over the
// opening picture), and so does the ending of a game.
//
// With a picture the text area takes exactly the picture's size and the dialog grows or shrinks
// by the same amounts, the OK button keeping its distance from the right edge. The dialog is
// centred on the main window and never pushed off the top-left of the screen.
#pragma once

#include <string>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd::shell {

class CLongTextDlg : public ui::Dialog {
public:
    static constexpr int kPlaceId = 1137;
    static constexpr int kTextId = 2004;

    static const ui::DialogTemplate& LongTextTemplate();

    explicit CLongTextDlg(ui::Wnd* parent = nullptr);
    ~CLongTextDlg() override;

    std::string m_strTitle;
    std::string m_strText;  // in the rich-text view's tag language
    ui::COLORREF m_crText = 0;
    MbBmp::CControlBmp* m_pPicture = nullptr;
    // The confirming form: a Cancel button left of OK (IDCANCEL).
    bool m_bCancelButton = false;  // owned by the caller; null: none

    MbWnd::CMultiTextCtrl& TextCtrl() { return text_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }

private:
    MbWnd::CMultiTextCtrl text_;
    OkCancelButtons okCancel_;
};

// Shows a long text: the encoded picture bytes (BMP, JPEG or PNG; empty or unreadable: none).
void ShowLongTextDlg(ui::Wnd* parent, const std::string& title, const std::string& text,
                     const std::uint8_t* picture, std::size_t pictureSize, ui::COLORREF colour);

}  // namespace rymd::shell
