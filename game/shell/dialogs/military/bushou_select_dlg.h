// CBushouSelectDlg (dialog 254): the player picks, from one castle, the generals who go on a land
// sortie (sortie mode) or a land move (move mode). The grid lists the generals who may go with
// their troops and abilities; dragging the mouse selects several rows; the three totals follow
// the selection; a click on a column title sorts by it. OK refuses an empty choice and one above
// the limit of generals the target may still receive; otherwise it keeps the chosen general
// indexes, in row order, for the caller, who writes the orders. The dialog changes no record.
//
// From the top: the prompt 1064, the route line 1014, the limit line 1275, the grid over the
// placeholder 1273; the totals "騎馬兵総数" 1346 / 1018, "足軽兵総数" 1345 / 1017, "鉄砲総数"
// 1344 / 1013 in a row; "OK" and "ｷｬﾝｾﾙ".
#pragma once

#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/cell_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

class CBushouSelectDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 254;
    static constexpr int kRouteId = 1014;
    static constexpr int kPromptId = 1064;
    static constexpr int kLimitId = 1275;
    static constexpr int kGridPlaceId = 1273;
    static constexpr int kTeppouLabelId = 1344;
    static constexpr int kAshigaruLabelId = 1345;
    static constexpr int kKibaLabelId = 1346;
    static constexpr int kTeppouTotalId = 1013;
    static constexpr int kAshigaruTotalId = 1017;
    static constexpr int kKibaTotalId = 1018;
    static constexpr int kGridId = 2007;
    static constexpr int kResultCapacity = 100;

    static const ui::DialogTemplate& SelectTemplate();

    // owner: the main window the dialog is centred on (null: where it opens); parent: the window
    // it opens over (null: the owner).
    explicit CBushouSelectDlg(const GameState& gs, ui::Wnd* owner = nullptr, ui::Wnd* parent = nullptr);
    ~CBushouSelectDlg() override;

    // Set by the caller before DoModal.
    bool m_bShutsujin = true;  // sortie (true) or move (false)
    int m_nFromShiro = -1;
    int m_nToShiro = -1;

    // After IDOK: the chosen generals, in row order (at most kResultCapacity).
    const std::vector<int>& Result() const { return result_; }
    int Limit() const { return limit_; }
    MbWnd::CCellCtrl& Grid() { return grid_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool OnHelpInfo() override;

    // The grid's rows: one per general who may go.
    void FillList();
    // The totals of the selected rows.
    void OnSelChange();
    // Sorts the rows by the column (larger values first).
    void OnColumnClick(int column);

private:
    const GameState& gs_;
    ui::Wnd* owner_;
    int limit_ = 0;
    std::vector<int> result_;
    MbWnd::CCellCtrl grid_;
    OkCancelButtons okCancel_;
};

}  // namespace rymd::shell
