// The musket deployment dialog (213 "鉄砲配備"): the player hands muskets of the house's
// undeployed stock to the generals of one province, each up to his foot soldiers; a general who
// carries more muskets than foot soldiers may give the excess back. The choices stay in a
// TeppouHaibiOrder until OK; Cancel changes nothing.
//
// Under the general list 1035: "鉄砲数" (1013) with the read-only edit 1189, the spin 1190 and
// its hidden buddy edit 1191, "MAX" (1152), the group "未配備鉄砲数" (1347) with the stock 1192 and
// "挺" (1373); OK and Cancel (gradation buttons).
// The spin's range runs from 0 to the selected general's limit, which is negative for a general
// with more muskets than foot soldiers (the up arrow then counts down).
#pragma once

#include <memory>

#include "game/domestic/armament_orders.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

class CTeppouHaibiDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 213;
    static constexpr int kBushouListId = 1035;
    static constexpr int kMusketLabelId = 1013;
    static constexpr int kMusketsId = 1189;
    static constexpr int kSpinId = 1190;
    static constexpr int kKazuId = 1191;
    static constexpr int kMaxId = 1152;
    static constexpr int kUndeployedGroupId = 1347;
    static constexpr int kUndeployedId = 1192;
    static constexpr int kChouId = 1373;

    static const ui::DialogTemplate& TeppouHaibiTemplate();

    CTeppouHaibiDlg(GameState& gs, int kuni, ui::Wnd* parent = nullptr);
    ~CTeppouHaibiDlg() override;

    TeppouHaibiOrder& Order() { return *order_; }
    ui::ListCtrl* BushouList() const { return list_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    void OnClickList();
    void OnChangeKazu();
    void OnMax();
    int SelectedRow() const;
    void Refresh();

    GameState& gs_;
    std::unique_ptr<TeppouHaibiOrder> order_;
    ui::ListCtrl* list_ = nullptr;
    int selBushou_ = -1;  // the general (index) selected, -1 none
    bool updating_ = false;
    OkCancelButtons okCancel_;
    MbWnd::CGradationButton max_;
};

namespace shell {

// The musket deployment command of the armament phase for the selected province. Returns whether
// the dialog ended with OK.
bool RunTeppouHaibiCommand(GameState& gs, int kuni, ui::Wnd* owner);

}  // namespace shell

}  // namespace rymd
