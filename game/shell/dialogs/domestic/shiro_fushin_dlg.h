// The armament phase's castle dialogs over the province the player has chosen:
//
// CShiroFushinDlg (145, "城普請", re-worded): raises castles one size step, once a month each, for
// size x 1000. Layout (dialog units, 314 x 158): list 1047 (7, 7, 300 x 110); "残り資金" and the
// funds left 1051 (7, 122); the works cost 1053 (110, 122); buttons works 1052 (7, 137), OK 1
// (200, 137) and Cancel 2 (257, 137), 50 x 14.
//
// CShiroHyourouDlg (146, "城兵糧補充", re-worded): buys provisions up to each castle's capacity.
// Layout (dialog units, 314 x 158): list 1047 (7, 7, 190 x 124); on the right the provisions
// word 1009 over the provisions after the purchase 1056 (read-only), "Max %d" 1109, the slider
// 1108, the "+10" spin 1057 (hidden buddy 1058) and the "+1" spin 1059 (hidden buddy 1060) with
// its label 1276; "残り資金" and the funds left 1051 (7, 137); OK 1 and Cancel 2.
//
// Both keep the player's choices (the orders of game/domestic/castle_works.h) until OK; Cancel
// changes nothing. F1 opens the help.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "game/domestic/castle_works.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"
#include "game/shell/dialogs/common/dialog_parts.h"

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

    ui::ListCtrl& List() { return *m_pList; }
    int SelectedRow() const { return m_nSel; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnHelpInfo() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

protected:
    CShiroListDlg(const ui::DialogTemplate& t, GameState& gs, ui::Wnd* parent)
        : Dialog(t, parent), m_gs(gs) {}
    // The controls every such template has: the list, "残り資金" with the funds left at y, OK and Cancel.
    static std::vector<ui::DialogItem> CommonItems(int listWidth, int listHeight, int fundsY);
    // Finds the list and gives it its columns (title, width).
    void SetUpList(std::initializer_list<std::pair<std::string, int>> columns);
    void ShowFunds(std::int64_t funds);
    virtual void SelectRow(int row) = 0;

    GameState& m_gs;
    int m_nSel = -1;
    ui::ListCtrl* m_pList = nullptr;
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

    const ShiroFushinOrder& Order() const { return m_Order; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    void OnFushin();
    void SelectRow(int row) override;
    void ShowCost();

    ShiroFushinOrder m_Order;
    MbWnd::CGradationButton m_FushinButton;
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

    ui::Slider& Slider() { return m_Slider; }
    ui::SpinButton& TenSpin() { return *m_pTenSpin; }
    ui::SpinButton& OneSpin() { return *m_pOneSpin; }
    const ShiroHyourouOrder& Order() const { return m_Order; }

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

    ShiroHyourouOrder m_Order;
    bool m_bShowing = false;  // the dialog is setting its own controls
    ui::SpinButton* m_pTenSpin = nullptr;
    ui::SpinButton* m_pOneSpin = nullptr;
    ui::Slider m_Slider;
};

// The commands: run the dialog for the chosen province; true when it ended with OK (the castles
// and funds then changed).
bool RunShiroFushin(GameState& gs, int kuni, ui::Wnd* owner);
bool RunShiroHyourou(GameState& gs, int kuni, ui::Wnd* owner);

}  // namespace rymd::shell
