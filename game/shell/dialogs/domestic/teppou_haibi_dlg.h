// The musket deployment dialog (213 "鉄砲配備"): the player hands muskets of the house's
// undeployed stock to the generals of one province, each up to his foot soldiers; a general who
// carries more muskets than foot soldiers may give the excess back. The choices stay in a
// TeppouHaibiOrder until OK; Cancel changes nothing.
//
// Layout (dialog units, 470 x 200):
//   general list 1035                                         (7, 7)     456 x 140
//   label 1013 "鉄砲数", read-only edit 1189, spin 1190       (7, 157), (45, 155) 50 x 12, (96, 155)
//   hidden buddy edit 1191 of the spin, "MAX" 1152            (150, 155); (112, 154) 36 x 14
//   group 1347 "未配備鉄砲数": label 1192 and 1373 "挺"       (200, 150) 110 x 28
//   OK 1 and Cancel 2 (gradation buttons)                     (353, 179) and (413, 179), 50 x 14
// The spin's range runs from 0 to the selected general's limit, which is negative for a general
// with more muskets than foot soldiers (the up arrow then counts down).
#pragma once

#include <memory>

#include "game/domestic/armament_orders.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"

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
