// The income report (142 "収支報告"): every month the player's house sees its settlement. The
// title names the year, month and house; the income rows (harvest, town, mines, trade between
// peoples, trade ships, total) and the upkeep rows (the troops, warships and garrisons, total)
// stand in two framed columns with their figures aligned at the right; under them the funds
// line (funds before + income - upkeep → funds after, with the borrowed-money note when in
// debt), the note on besieged castles when troops there went unpaid, and the house's corps with
// their income, upkeep and funds. It only displays; OK, Enter or Escape close it.
#pragma once

#include "game/ports/ports.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

class CIncomeReportDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 142;
    static constexpr int kTitleId = 1200;
    static constexpr int kFirstIncomeLabelId = 1201;  // row i: label 1201 + i, figure 1211 + i
    static constexpr int kFirstIncomeValueId = 1211;
    static constexpr int kFirstUpkeepLabelId = 1221;  // row i: label 1221 + i, figure 1231 + i
    static constexpr int kFirstUpkeepValueId = 1231;
    static constexpr int kFundsId = 1241;
    static constexpr int kNoteId = 1242;
    static constexpr int kCorpsListId = 1243;
    static constexpr int kIncomeRows = 6;
    static constexpr int kUpkeepRows = 8;

    // The template for a report with or without the besieged note and the corps list (the
    // dialog is as tall as what it shows).
    static const ui::DialogTemplate& Template(bool withNote, bool withCorps);

    explicit CIncomeReportDlg(IncomeReportView view, ui::Wnd* owner = nullptr);
    ~CIncomeReportDlg() override;

    const IncomeReportView& View() const { return view_; }
    ui::ListCtrl* CorpsList() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    IncomeReportView view_;
    MbWnd::CGradationButton ok_;
};

// Shows the income report modally.
void ShowIncomeReportDlg(ui::Wnd* owner, const IncomeReportView& view);

}  // namespace rymd
