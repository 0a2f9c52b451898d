// The musket commands of the domestic phase: buying muskets from the scenario's purchase places
// (212 "鉄砲購入"), which deliver after some months, and making them in the house's producing
// provinces (208 "鉄砲生産"), which delivers at the next month start. The player's choices stay
// in a TeppouKounyuuOrder or TeppouSeisanOrder until OK, which pays at once; Cancel changes
// nothing. A count the funds do not pay is cut to what they pay, or refused with
// "資金が足りません" when that is the count it had.
//
// Amounts are shown in muskets (soldier units times nHeiUnit); the spins count units through a
// hidden buddy edit, beside a read-only edit that shows the muskets.
#pragma once

#include <memory>

#include "game/domestic/teppou_orders.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

class CTeppouKounyuuDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 212;
    static constexpr int kListId = 1035;
    static constexpr int kInstructionId = 1064;
    static constexpr int kMusketsId = 1186;
    static constexpr int kSpinId = 1187;
    static constexpr int kUnitsId = 1188;
    static constexpr int kMaxId = 1152;
    static constexpr int kMaxAllId = 1322;
    static constexpr int kRemainingId = 1051;

    static const ui::DialogTemplate& TeppouKounyuuTemplate();

    CTeppouKounyuuDlg(GameState& gs, ui::Wnd* parent = nullptr);
    ~CTeppouKounyuuDlg() override;

    TeppouKounyuuOrder& Order() { return *order_; }
    ui::ListCtrl* List() const { return list_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    void OnClickList();
    void OnChangeKazu();
    void ShowUnits();
    void Refresh();

    GameState& gs_;
    std::unique_ptr<TeppouKounyuuOrder> order_;
    ui::ListCtrl* list_ = nullptr;
    int row_ = -1;  // the order's row selected, -1 none
    bool updating_ = false;
    OkCancelButtons okCancel_;
    MbWnd::CGradationButton max_;
    MbWnd::CGradationButton maxAll_;
};

class CTeppouSeisanDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 208;
    static constexpr int kListId = 1035;
    static constexpr int kInstructionId = 1064;
    static constexpr int kCostId = 1093;
    static constexpr int kMusketsId = 1170;
    static constexpr int kSpinId = 1171;
    static constexpr int kUnitsId = 1172;
    static constexpr int kMaxId = 1152;
    static constexpr int kRemainingId = 1051;

    static const ui::DialogTemplate& TeppouSeisanTemplate();

    // map: the province map that names the provinces (null: their numbers).
    CTeppouSeisanDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CTeppouSeisanDlg() override;

    TeppouSeisanOrder& Order() { return *order_; }
    ui::ListCtrl* List() const { return list_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    void ShowUnits();
    void Refresh();

    GameState& gs_;
    const MbKorMap::CCtrlKorMap* map_;
    std::unique_ptr<TeppouSeisanOrder> order_;
    ui::ListCtrl* list_ = nullptr;
    bool ready_ = false;  // the opening has ended: the spin's changes are the player's
    OkCancelButtons okCancel_;
    MbWnd::CGradationButton max_;
};

namespace shell {

// The two musket commands (buttons 7 and 8 of the domestic phase); no checks before them.
bool RunTeppouSeisanCommand(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* owner);
bool RunTeppouKounyuuCommand(GameState& gs, ui::Wnd* owner);

}  // namespace shell

}  // namespace rymd
