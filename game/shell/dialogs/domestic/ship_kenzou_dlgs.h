// The ship-building commands of the domestic phase for the castles of one province: trade ships
// (173 "交易船建造"), which exist at once, and warships (255 "軍船建造"), which a castle builds over
// four months. The player picks a port in the list and sets its new ships with the edit and its
// spin, "MAX" or "全ての港の新規建造船数をMAXにする"; the choices stay in a KouekisenKenzouOrder or
// GunsenKenzouOrder until OK, which pays at once. A count above the port's room is held to it; a
// count the funds do not pay is cut to what they pay with "資金が足りません".
#pragma once

#include <memory>

#include "game/domestic/ship_orders.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

// What both dialogs share: the port list, the edit with its spin, MAX, MAX for every port, the
// funds left and OK.
class CShipKenzouDlg : public ui::Dialog {
public:
    static constexpr int kPortListId = 1047;
    static constexpr int kRemainingId = 1051;
    static constexpr int kMaxId = 1152;
    static constexpr int kMaxAllId = 1322;
    static constexpr int kColNew = 3;  // the list's "新規建造船数"

    ui::ListCtrl* PortList() const { return list_; }
    // The order's row chosen (-1: none).
    int Chosen() const { return row_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

protected:
    CShipKenzouDlg(const ui::DialogTemplate& t, GameState& gs, std::unique_ptr<ShipKenzouOrder> order,
                   int editId, int spinId, ui::Wnd* parent);
    ~CShipKenzouDlg() override;

    // Lists the order's castles with the columns (name first, new ships fourth).
    void FillList(const std::vector<ListColumn>& columns);
    // The row's second and third cells.
    virtual void ShowRow(int item, int row) = 0;
    // Whether a clicked row may be chosen (a warship port that takes no orders may not).
    virtual bool MayChoose(int row) { return row >= 0; }
    void Refresh();

    GameState& gs_;

private:
    void OnClickList();
    void OnChangeShips();
    void ShowShips();

protected:
    std::unique_ptr<ShipKenzouOrder> order_;

private:
    int editId_;
    int spinId_;
    ui::ListCtrl* list_ = nullptr;
    int row_ = -1;
    bool filling_ = false;  // the edit is being set by the dialog, not typed
    OkCancelButtons okCancel_;
    MbWnd::CGradationButton max_;
    MbWnd::CGradationButton maxAll_;
};

class CKouekisenKenzouDlg : public CShipKenzouDlg {
public:
    static constexpr int kDialogId = 173;
    static constexpr int kShipsId = 1122;
    static constexpr int kSpinId = 1123;
    static constexpr int kInstructionId = 1064;
    static constexpr int kPriceId = 1265;

    static const ui::DialogTemplate& KouekisenKenzouTemplate();

    CKouekisenKenzouDlg(GameState& gs, int kuni, ui::Wnd* parent = nullptr);
    ~CKouekisenKenzouDlg() override;

    KouekisenKenzouOrder& Order() { return static_cast<KouekisenKenzouOrder&>(*order_); }

    bool OnInitDialog() override;
    void OnOK() override;

private:
    void ShowRow(int item, int row) override;
};

class CGunsenKenzouDlg : public CShipKenzouDlg {
public:
    static constexpr int kDialogId = 255;
    static constexpr int kShipsId = 1124;
    static constexpr int kSpinId = 1125;
    static constexpr int kBusyId = 1064;
    static constexpr int kInstructionId = 1092;
    static constexpr int kLimitId = 1093;
    static constexpr int kPriceId = 1266;

    static const ui::DialogTemplate& GunsenKenzouTemplate();

    CGunsenKenzouDlg(GameState& gs, int kuni, ui::Wnd* parent = nullptr);
    ~CGunsenKenzouDlg() override;

    GunsenKenzouOrder& Order() { return static_cast<GunsenKenzouOrder&>(*order_); }

    bool OnInitDialog() override;
    void OnOK() override;

private:
    void ShowRow(int item, int row) override;
    bool MayChoose(int row) override;
};

namespace shell {

// The ship-building commands for the selected province (the panel's checks ran before).
bool RunKouekisenKenzouCommand(GameState& gs, int kuni, ui::Wnd* owner);
bool RunGunsenKenzouCommand(GameState& gs, int kuni, ui::Wnd* owner);

}  // namespace shell

}  // namespace rymd
