// The conscription dialog (144 "徴兵"): cavalry and foot soldiers for the player's generals and
// garrison soldiers for the player's castles of one province, within the month's allowance, the
// generals' and castles' limits and the house's funds. The choices stay in a ChouheiOrder until
// OK applies them; Cancel changes nothing.
//
// Under the general list 1035 two rows, "騎馬兵" (1340) and "足軽兵" (1341), each with its total
// (1043, 1039), its addition (1045, 1046) with a spin (1044, 1040) and "MAX" (1303, 1304); beside
// them "全武将最大数徴兵" (1152) and its note 1064. Under them the castle list 1047 with "守備兵":
// total 1049, addition 1050 with spin 1048 and "MAX" 1305; the groups "残り徴兵可能数" (1342
// "騎馬兵" 1041, 1343 "足軽兵" 1042) and "残り資金" (1051); OK and Cancel (gradation buttons).
// The totals show soldiers (units x nHeiUnit); the additions are typed or spun in units and kept
// within the spin's range.
#pragma once

#include <memory>

#include "game/domestic/armament_orders.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

class CChouheiDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 144;
    static constexpr int kBushouListId = 1035;
    static constexpr int kShiroListId = 1047;
    static constexpr int kCavalryTotalId = 1043;
    static constexpr int kCavalrySpinId = 1044;
    static constexpr int kCavalryAddId = 1045;
    static constexpr int kFootTotalId = 1039;
    static constexpr int kFootSpinId = 1040;
    static constexpr int kFootAddId = 1046;
    static constexpr int kGarrisonTotalId = 1049;
    static constexpr int kGarrisonSpinId = 1048;
    static constexpr int kGarrisonAddId = 1050;
    static constexpr int kLeftCavalryId = 1041;
    static constexpr int kLeftFootId = 1042;
    static constexpr int kLeftFundsId = 1051;
    static constexpr int kFillAllId = 1152;
    static constexpr int kMaxCavalryId = 1303;
    static constexpr int kMaxFootId = 1304;
    static constexpr int kMaxGarrisonId = 1305;
    static constexpr int kCavalryLabelId = 1340;
    static constexpr int kFootLabelId = 1341;
    static constexpr int kLeftCavalryLabelId = 1342;
    static constexpr int kLeftFootLabelId = 1343;
    static constexpr int kFillNoteId = 1064;
    static constexpr const char* kNoFunds = "資金が足りません";

    static const ui::DialogTemplate& ChouheiTemplate();

    // The player's house of the game, the province, and the allowances left (units).
    CChouheiDlg(GameState& gs, int kuni, int cavalryLeft, int footLeft, ui::Wnd* parent = nullptr);
    ~CChouheiDlg() override;

    // The allowances left: after OK, lowered by what was raised.
    int CavalryAllowance() const { return order_->CavalryAllowance(); }
    int FootAllowance() const { return order_->FootAllowance(); }
    ChouheiOrder& Order() { return *order_; }
    ui::ListCtrl* BushouList() const { return bushouList_; }
    ui::ListCtrl* ShiroList() const { return shiroList_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    enum class Kind { Cavalry, Foot, Garrison };

    void SelectBushou();
    void SelectShiro();
    void EnableRowControls();
    void OnChangeAddition(Kind kind);
    void OnMax(Kind kind);
    void OnFillAll();
    int PendingOf(Kind kind) const;
    // The order's row of the selected general or castle, -1 for none.
    int SelectedRow(Kind kind) const;
    void RefreshSelected();
    void RefreshBushouRow(int row);
    void RefreshShiroRow(int shiroRow);
    void ShowTotals();
    void SetSpins();

    GameState& gs_;
    int kuni_;
    std::unique_ptr<ChouheiOrder> order_;
    ui::ListCtrl* bushouList_ = nullptr;
    ui::ListCtrl* shiroList_ = nullptr;
    int selBushou_ = -1;  // the general (index) selected, -1 none
    int selShiro_ = -1;   // the castle-list row selected, -1 none
    bool updating_ = false;
    OkCancelButtons okCancel_;
    MbWnd::CGradationButton fillAll_;
    MbWnd::CGradationButton maxCavalry_;
    MbWnd::CGradationButton maxFoot_;
    MbWnd::CGradationButton maxGarrison_;
};

namespace shell {

class MainWindowFace;

// The conscription command of the armament phase for the selected province: the dialog with the
// allowances left, and after OK the allowances stored and the raising charged to the castles.
// Returns whether it ended with OK.
bool RunChouheiCommand(GameState& gs, int kuni, ui::Wnd* owner);

}  // namespace shell

}  // namespace rymd
