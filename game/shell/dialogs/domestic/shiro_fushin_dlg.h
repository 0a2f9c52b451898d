// The armament phase's castle dialogs over the province the player has chosen:
//
// CShiroFushinDlg (145, "城普請", re-worded): raises castles one size step, once a month each, for
// size x 1000. Under the list 1047: "残り資金" with the funds left 1051, the works cost 1053, the
// works button 1052, OK and Cancel.
//
// CShiroHyourouDlg (146, "城兵糧補充", re-worded): buys provisions up to each castle's capacity.
// Beside the list 1047 the provisions word 1009 over the provisions after the purchase 1056
// (read-only), "Max %d" 1109, the slider 1108, the "+10" spin 1057 (hidden buddy 1058) and the
// "+1" spin 1059 (hidden buddy 1060) with its label 1276; under the list "残り資金" with the funds
// left 1051, OK and Cancel.
//
// Both keep the player's choices (the orders of game/domestic/castle_works.h) until OK; Cancel
// changes nothing. F1 opens the help.
#pragma once

#include <string>
#include <vector>

#include "game/domestic/castle_works.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

// What the two share: the game, the castle list whose click selects a row, the funds left, OK
// and Cancel, the help key.
class CShiroListDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1047;
    static constexpr int kFundsId = 1051;

    ui::ListCtrl& List() { return *list_; }
    int SelectedRow() const { return sel_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnHelpInfo() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

protected:
    CShiroListDlg(const ui::DialogTemplate& t, GameState& gs, ui::Wnd* parent) : Dialog(t, parent), gs_(gs) {}
    // The controls every such template has: the list, "残り資金" with the funds left at y, OK and Cancel.
    static std::vector<ui::DialogItem> CommonItems(int listWidth, int listHeight, int fundsY);
    // Finds the list and gives it its columns (title, width).
    void SetUpList(const std::vector<ListColumn>& columns);
    void ShowFunds(std::int64_t funds);
    virtual void SelectRow(int row) = 0;

    GameState& gs_;
    int sel_ = -1;
    ui::ListCtrl* list_ = nullptr;
    OkCancelButtons okCancel_;
};

class CShiroFushinDlg : public CShiroListDlg {
public:
    static constexpr int kFushinId = 1052;
    static constexpr int kCostId = 1053;

    static const ui::DialogTemplate& FushinTemplate();

    // kuni: the chosen province; the castles are the player's house's.
    CShiroFushinDlg(GameState& gs, int kuni, ui::Wnd* parent = nullptr);
    ~CShiroFushinDlg() override;

    const ShiroFushinOrder& Order() const { return order_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    void OnFushin();
    void SelectRow(int row) override;
    void ShowCost();

    ShiroFushinOrder order_;
    MbWnd::CGradationButton fushin_;
};

class CShiroHyourouDlg : public CShiroListDlg {
public:
    static constexpr int kWordId = 1009;
    static constexpr int kAfterId = 1056;
    static constexpr int kTenSpinId = 1057;
    static constexpr int kTenBuddyId = 1058;
    static constexpr int kOneSpinId = 1059;
    static constexpr int kOneBuddyId = 1060;
    static constexpr int kSliderId = 1108;
    static constexpr int kMaxId = 1109;
    static constexpr int kOneLabelId = 1276;
    static constexpr int kTenLabelId = 1277;  // the "+10" label

    static const ui::DialogTemplate& HyourouTemplate();

    CShiroHyourouDlg(GameState& gs, int kuni, ui::Wnd* parent = nullptr);
    ~CShiroHyourouDlg() override;

    ui::Slider& Slider() { return slider_; }
    ui::SpinButton& TenSpin() { return *tenSpin_; }
    ui::SpinButton& OneSpin() { return *oneSpin_; }
    const ShiroHyourouOrder& Order() const { return order_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnHScroll(int code, int pos) override;

private:
    void SelectRow(int row) override;
    // A new amount for the selected row from one of the three controls.
    void ChangeAmount(std::int64_t amount);
    // The controls, the row's provisions cell and the funds after the selected row's amount.
    void ShowAmount();
    void EnableAmountControls(bool enable);

    ShiroHyourouOrder order_;
    bool showing_ = false;  // the dialog is setting its own controls
    ui::SpinButton* tenSpin_ = nullptr;
    ui::SpinButton* oneSpin_ = nullptr;
    ui::Slider slider_;
};

// The commands: run the dialog for the chosen province; true when it ended with OK (the castles
// and funds then changed).
bool RunShiroFushin(GameState& gs, int kuni, ui::Wnd* owner);
bool RunShiroHyourou(GameState& gs, int kuni, ui::Wnd* owner);

}  // namespace rymd::shell
