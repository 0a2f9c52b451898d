// The event input dialog (dialog 271): a scripted event asks the player to choose or to type a
// number. It cannot be cancelled: Escape and the window's close command do nothing.
//
// The prompt view (window 2004, bordered, with a client edge) takes the place of control 1239;
// under it the number field 1384 and OK.
// Choice mode hides the field and OK and lays one button per choice (ids 5000 + i) under the
// prompt view in pixels: the first top edge 5 below the view, each button as wide as the view and
// 22 high, each next one 27 lower; the window's height then ends where the next button would
// begin. A button ends the dialog with its choice; Enter leaves the choice as it was (0).
// Number mode takes OK only for a whole number (ParseEventNumber), else tells
// "数値を入力してください" and stays open.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/ports/ports.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"

namespace rymd {

class CEventInputDlg : public ui::Dialog {
public:
    static constexpr int kPromptFrameId = 1239;
    static constexpr int kPromptViewId = 2004;
    static constexpr int kNumberFieldId = 1384;
    static constexpr int kFirstChoiceId = 5000;
    static constexpr int kChoiceGap = 5;      // pixels between the prompt view and the first button
    static constexpr int kChoiceHeight = 22;  // pixels
    static constexpr int kChoiceStep = 27;    // pixels from one button's top to the next

    static constexpr int kModeChoice = 0;
    static constexpr int kModeNumber = 1;

    static const ui::DialogTemplate& Template();

    explicit CEventInputDlg(ui::Wnd* parent = nullptr);
    ~CEventInputDlg() override;

    // Set before DoModal: the mode, the prompt and, in choice mode, the choices (at most
    // kMaxEventChoices are offered; none offers kNoEventChoice).
    int m_nMode = kModeChoice;
    std::string m_strPrompt;
    std::vector<std::string> m_Choices;
    // Read after DoModal.
    int m_nChoice = 0;
    double m_dNumber = 0.0;
    std::string m_strSpare;  // the field's text when Enter ends choice mode (not used further)

    MbWnd::CMultiTextCtrl& PromptView() { return m_PromptView; }
    MbWnd::CGradationButton& OkButton() { return m_OkButton; }
    // The choice buttons made at run time.
    int ChoiceButtonCount() const { return m_nButtons; }
    ui::Button& ChoiceButton(int i) { return m_ChoiceButtons[static_cast<std::size_t>(i)]; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnOK() override;
    void OnCancel() override {}

private:
    MbWnd::CMultiTextCtrl m_PromptView;
    MbWnd::CGradationButton m_OkButton;
    std::array<ui::Button, kMaxEventChoices> m_ChoiceButtons;
    int m_nButtons = 0;
};

// The dialog in choice mode; the index of the pressed choice (0 when it could not be shown).
int ShowEventChoiceDlg(ui::Wnd* parent, std::string_view prompt, std::span<const std::string> choices);
// The dialog in number mode; the number typed (0 when it could not be shown).
double ShowEventNumberDlg(ui::Wnd* parent, std::string_view prompt);

}  // namespace rymd
