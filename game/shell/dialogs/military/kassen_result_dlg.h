// The battle-results dialog (260 "合戦結果"): the month's battle report and the fates of the
// defeated generals, shown once at the end of the month's battle resolution. It only displays.
//
// From the top: the frame 1306 for the board "合戦発生状況" (centred), the frame 1304 for the
// report view (control 2013), the frame 1305 for the fates view (control 2014) and "閉じる".
// The three frames are empty statics; only their rectangles are used: the board and the two
// bordered rich-text views are made over them. Enter and the button close with IDOK, Escape and
// the window's frame with IDCANCEL.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace rymd {

class CKassenResultDlg : public ui::Dialog {
public:
    static constexpr int kReportFrameId = 1304;
    static constexpr int kFatesFrameId = 1305;
    static constexpr int kTitleFrameId = 1306;
    static constexpr int kReportViewId = 2013;
    static constexpr int kFatesViewId = 2014;
    static constexpr const char* kTitle = "合戦発生状況";

    // The dialog's template.
    static const ui::DialogTemplate& Template();

    explicit CKassenResultDlg(ui::Wnd* parent = nullptr);
    ~CKassenResultDlg() override;

    // The caller sets the two texts (UTF-8, lines separated by line feeds) before DoModal.
    std::string m_strKassen;  // the battle report, "なし" for a month without battles
    std::string m_strFates;   // the fates of the defeated generals

    MbWnd::CMultiTextCtrl& ReportView() { return m_ReportView; }
    MbWnd::CMultiTextCtrl& FatesView() { return m_FatesView; }
    MbWnd::CDisplayBoard& TitleBoard() { return m_TitleBoard; }
    MbWnd::CGradationButton& CloseButton() { return m_CloseButton; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    // The font outlives the board that draws with it.
    ui::Font m_BoardFont;
    MbWnd::CMultiTextCtrl m_ReportView;
    MbWnd::CMultiTextCtrl m_FatesView;
    MbWnd::CDisplayBoard m_TitleBoard;
    MbWnd::CGradationButton m_CloseButton;
};

// The word the report shows for a month without battles.
inline constexpr std::string_view kNoBattles = "なし";

// Shows the month's battle results modally: the battle text (an empty one shows "なし") and the
// fates text. parent: the window the dialog belongs to (null: the main window). Returns the
// dialog's result (IDOK, IDCANCEL, or -1 when it could not be shown).
std::intptr_t ShowKassenResult(ui::Wnd* parent, std::string_view battleText, std::string_view fatesText);

}  // namespace rymd
