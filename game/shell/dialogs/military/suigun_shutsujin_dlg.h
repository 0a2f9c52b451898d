// CSuigunShutsujinDlg (dialog 246, "水軍出陣"): the player chooses the generals (and the castle's
// garrison) who go by water and the warships of each owner house that sail with them, for a
// sortie by water, a move by water, or the crews that meet a naval battle at a castle under
// siege (no destination). The general grid lists who may go (drag to select several; a click on a
// title sorts); the totals show their soldiers and the ships they need. The owner grid lists the
// fleets at the castle, the player's house first; a click on a row shows its ships to sail in an
// edit with a spin, and the total has its own edit and spin: a lower total comes off the last
// rows, a higher one goes onto the first. "兵数に合わせる" takes the ships the chosen troops need,
// "MAX" every ship the limit allows. OK refuses a sortie without generals, more units than the
// limit and too few ships; otherwise the caller reads the units and the ships per owner house.
// The dialog changes no record. In the naval-battle choice every ship sails at once and the
// counts cannot be changed.
//
// The dialog is centred on the main window and kept on the screen. From the top: the prompt
// 1064, the route line 1014, the two limits 1275 and 1282, the general grid over 1273, the
// soldiers 1250, the required ships 1251 and "兵数に合わせる" (1319); "出港軍船数設定" (1365) over
// the owner grid (1274); the chosen house's line "大名家別 出港軍船数" (1272), its name 1005 and
// its edit 1124 with spin 1125; the total "出港軍船数" (1366) with edit 1126, spin 1127 and
// "MAX" (1152); "OK" and "ｷｬﾝｾﾙ".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/military/navy_sortie.h"
#include "game/military/siege_session.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/cell_ctrl.h"
#include "platform/qt/dialog.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

class CSuigunShutsujinDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 246;
    static constexpr int kHouseNameId = 1005;
    static constexpr int kRouteId = 1014;
    static constexpr int kPromptId = 1064;
    static constexpr int kRowShipsId = 1124;
    static constexpr int kRowSpinId = 1125;
    static constexpr int kTotalShipsId = 1126;
    static constexpr int kTotalSpinId = 1127;
    static constexpr int kMaxId = 1152;
    static constexpr int kSoldiersId = 1250;
    static constexpr int kRequiredId = 1251;
    static constexpr int kRowLabelId = 1272;
    static constexpr int kGridPlaceId = 1273;
    static constexpr int kOwnerPlaceId = 1274;
    static constexpr int kUnitLimitId = 1275;
    static constexpr int kShipLimitId = 1282;
    static constexpr int kMatchId = 1319;
    static constexpr int kRequiredLabelId = 1364;
    static constexpr int kSettingLabelId = 1365;
    static constexpr int kTotalLabelId = 1366;
    static constexpr int kOwnerGridId = 2006;
    static constexpr int kGridId = 2007;

    static const ui::DialogTemplate& SuigunTemplate();

    // owner: the main window the dialog is centred on (null: where it opens); parent: the window
    // it opens over (null: the owner).
    explicit CSuigunShutsujinDlg(const GameState& gs, ui::Wnd* owner = nullptr, ui::Wnd* parent = nullptr);
    ~CSuigunShutsujinDlg() override;

    // Set by the caller before DoModal (destination -1: the naval-battle choice at the origin).
    NavySortieInput m_Input;

    // After IDOK: the chosen units in row order, and the ships each owner house sends.
    const std::vector<int>& Units() const { return units_; }
    std::vector<NavyShipOrder> Orders() const {
        return model_ ? model_->Orders() : std::vector<NavyShipOrder>{};
    }
    int TotalShips() const { return model_ ? model_->Total() : 0; }
    const NavySortieModel* Model() const { return model_ ? &*model_ : nullptr; }
    MbWnd::CCellCtrl& Grid() { return grid_; }
    MbWnd::CCellCtrl& OwnerGrid() { return ownerGrid_; }
    // The owner row shown in the edit 1124 (-1 none).
    int SelectedRow() const { return selRow_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool OnHelpInfo() override;

    // The totals of the selected units.
    void OnSelChange();
    // A click on the owner grid: its row (-1 outside the rows).
    void ChooseRow(int row);
    void OnChangeRowShips();
    void OnChangeTotal();
    void OnMatch();
    void OnMax();

private:
    std::vector<int> SelectedUnits() const;
    void FillGrids();
    // The owner rows' ships, the two edits and their spins as the model holds them.
    void ShowShips();

    const GameState& gs_;
    ui::Wnd* owner_;
    std::optional<NavySortieModel> model_;
    std::vector<int> units_;
    int selRow_ = -1;
    bool ready_ = false;  // the edits' handlers act once the opening is done
    bool updating_ = false;
    MbWnd::CCellCtrl grid_;
    MbWnd::CCellCtrl ownerGrid_;
    MbWnd::CGradationButton match_;
    MbWnd::CGradationButton max_;
    OkCancelButtons okCancel_;
};

// The ships and crews the player sends into a naval battle at a castle under siege: the dialog in
// its naval-battle mode at the castle (with the garrison row when the player defends it), the
// chosen units kept to the candidates the siege offers, the ships to those it has. Nothing when
// the player cancels.
std::optional<NavySortie> ChooseSiegeNavy(const GameState& gs, int castle, bool garrison, int ships,
                                          const std::vector<int>& candidates, ui::Wnd* owner);

}  // namespace rymd::shell
