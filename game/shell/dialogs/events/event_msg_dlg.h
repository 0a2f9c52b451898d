// The event message dialog (dialog 150): a title line above a long text in a bordered rich-text
// view. The conditional events show their messages in it after their happenings; other callers
// use it for commentary texts.
//
// The title line 1064 above the text view (window 2004, bordered, with a client edge) in the
// place of control 1239; under it "変数一覧" (1376, shown only with the variable-list flag; it
// opens the variable list, variable_list_dlg.h), "OK" (shown only with the OK flag) and
// "閉じる", which reads "キャンセル" with the OK flag. Without the OK flag "閉じる" is alone, centred
// under the text; Enter and Escape close the dialog too. With it, OK has the focus when the dialog
// opens and Enter answers OK.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/ports/ports.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd {

class CEventMsgDlg : public ui::Dialog {
public:
    static constexpr int kTitleId = 1064;
    static constexpr int kTextFrameId = 1239;
    static constexpr int kTextViewId = 2004;
    static constexpr int kCloseId = 2;  // IDCANCEL
    static constexpr int kVariableListId = 1376;

    static const ui::DialogTemplate& Template();

    explicit CEventMsgDlg(ui::Wnd* parent = nullptr);
    ~CEventMsgDlg() override;

    // Set before DoModal.
    bool m_bOK = false;            // show "OK" and relabel the close button "キャンセル"
    bool m_bVariableList = false;  // show "変数一覧"
    std::string m_strCaption;      // window caption
    std::string m_strText;         // the text of the view
    std::string m_strTitle;        // the title line
    VariableListView m_Variables;  // what "変数一覧" shows

    MbWnd::CMultiTextCtrl& TextView() { return m_TextView; }
    MbWnd::CGradationButton& OkButton() { return m_OkButton; }
    MbWnd::CGradationButton& CloseButton() { return m_CloseButton; }
    MbWnd::CGradationButton& VariableListButton() { return m_VariableListButton; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    MbWnd::CMultiTextCtrl m_TextView;
    MbWnd::CGradationButton m_OkButton;
    MbWnd::CGradationButton m_CloseButton;
    MbWnd::CGradationButton m_VariableListButton;
};

// Makes a bordered rich-text view with long lines wrapped in the place of a placeholder control
// of the dialog (hidden afterwards), as the event dialogs lay out their texts, and sets its text.
void CreateTextViewOver(ui::Dialog& dialog, int placeholderId, MbWnd::CMultiTextCtrl& view, int viewId,
                        const std::string& text);

// Shows the message of a conditional event: its title in the title line, the text (placeholders
// already filled) in the view, "閉じる" and, given the script variables, "変数一覧". Returns the
// dialog's result (-1 when it could not be shown).
std::intptr_t ShowEventMessageDlg(ui::Wnd* parent, std::string_view title, std::string_view text,
                                  const VariableListView* variables = nullptr);

}  // namespace rymd
