// The deaths and appearances report (259 "武将死去／登場", in the scenario's word for general):
// the month's generals who came on stage under the board "武将登場" and those who died under the
// board "武将死去", each list in a bordered rich-text view ("なし" when nobody); "閉じる", Enter or
// Escape close it. It only displays.
#pragma once

#include "game/ports/ports.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace rymd {

class CBushouDeathAppearDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 259;
    static constexpr int kAppearedBoardId = 1310;
    static constexpr int kAppearedFrameId = 1311;
    static constexpr int kDiedBoardId = 1312;
    static constexpr int kDiedFrameId = 1313;
    static constexpr int kAppearedViewId = 2015;
    static constexpr int kDiedViewId = 2016;

    static const ui::DialogTemplate& Template();

    explicit CBushouDeathAppearDlg(DeathAppearView view, ui::Wnd* owner = nullptr);
    ~CBushouDeathAppearDlg() override;

    // The text of a list as its view shows it: one line per entry.
    static std::string ListText(const std::vector<std::string>& lines);

    MbWnd::CMultiTextCtrl& AppearedView() { return appearedView_; }
    MbWnd::CMultiTextCtrl& DiedView() { return diedView_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    DeathAppearView view_;
    ui::Font boardFont_;  // outlives the boards that draw with it
    MbWnd::CDisplayBoard appearedBoard_;
    MbWnd::CDisplayBoard diedBoard_;
    MbWnd::CMultiTextCtrl appearedView_;
    MbWnd::CMultiTextCtrl diedView_;
    MbWnd::CGradationButton close_;
};

// Shows the report modally.
void ShowBushouDeathAppearDlg(ui::Wnd* owner, const DeathAppearView& view);

}  // namespace rymd
