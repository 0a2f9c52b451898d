// The trade ships: the dispatch dialog (171 "交易船派遣") that books voyages from the port castles
// of one province, and the list of the voyages under way (172 "交易船一覧").
//
// Dispatch: "%s 航海技術 %d" (1129) over the ports list 1047 and the destinations list 1121; in
// the right column "出航交易船数" (1363) with the edit 1122, its spin 1123 and "MAX" (1152), the
// cost lines "派遣費 1隻 1000" and "(航海訓練 100）" and "資金残高" with 1051; in the bottom row
// 1321 "全ての港の派遣先にする", 1322 "全ての港の派遣先にし、出航交易船数をMAXにする", OK and
// Cancel.
// Nothing is booked or paid before OK.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

// What the dispatch dialog has set: the ports and destinations listed, and per port row the ships
// and the destination chosen. Rows are indexes into ports / partners.
class KouekisenPlan {
public:
    KouekisenPlan(const GameState& gs, int house, int kuni);

    int Kuni() const { return kuni_; }
    const std::vector<int>& Ports() const { return ports_; }        // castles
    const std::vector<int>& Partners() const { return partners_; }  // trade partners
    int Ships(int row) const { return ships_[static_cast<std::size_t>(row)]; }
    int Destination(int row) const { return destination_[static_cast<std::size_t>(row)]; }  // -1 none
    int SelectedPort() const { return selPort_; }
    int SelectedPartner() const { return selPartner_; }
    int WaitingShips(int row) const;
    bool OpenTo(int row, int partner) const;

    // Sum of the rows' ships times their destinations' costs, and the funds left after it.
    std::int64_t Total() const;
    std::int64_t Remaining() const;

    // Port row (-1: none). Destination row (-1: none): a selected port open to it takes it; false
    // when the funds check cut the port's ships.
    void SelectPort(int row);
    bool SelectPartner(int row);
    // The selected port's ships (from the edit): a port without a destination takes the selected
    // one, else the sea training. False when the funds check cut them.
    bool SetShips(int ships);
    // "MAX": the selected port's ships as many as wait and the funds pay.
    void Max();
    // Every port open to the selected destination takes it; rows are then cut from the last up
    // until the total fits the funds; with fill, the rows with a destination then take what the
    // funds still pay, in order.
    void AllPorts(bool fill);
    // Books the rows with ships (the house pays).
    void Commit(GameState& gs) const;

private:
    std::int64_t CostOf(int row) const;
    std::int64_t CostWithout(int row) const;
    // Cuts the row's ships to what the funds allow with the other rows kept; false when it did.
    bool CheckFunds(int row);

    const GameState& gs_;
    int house_;
    int kuni_;
    std::vector<int> ports_;
    std::vector<int> partners_;
    std::vector<int> ships_;
    std::vector<int> destination_;
    int selPort_ = -1;
    int selPartner_ = -1;
};

// The voyages of the house's port castles under way: destination, ships, port and return date.
struct KouekisenVoyage {
    std::string partner;
    int ships = 0;
    std::string port;
    std::string returnDate;  // "%d年%d月"
};
std::vector<KouekisenVoyage> KouekisenVoyages(const GameState& gs, int house);

class CKouekisenHakenDlg : public ui::Dialog {
public:
    static constexpr int kPortListId = 1047;
    static constexpr int kPartnerListId = 1121;
    static constexpr int kShipsId = 1122;
    static constexpr int kSpinId = 1123;
    static constexpr int kMaxId = 1152;
    static constexpr int kAllPortsId = 1321;
    static constexpr int kAllPortsMaxId = 1322;
    static constexpr int kRemainingId = 1051;
    static constexpr int kSkillId = 1129;
    static constexpr int kShipsLabelId = 1363;

    static const ui::DialogTemplate& Template();

    CKouekisenHakenDlg(GameState& gs, int house, int kuni, ui::Wnd* parent = nullptr);
    ~CKouekisenHakenDlg() override;

    KouekisenPlan& Plan() { return plan_; }
    ui::ListCtrl* PortList() const;
    ui::ListCtrl* PartnerList() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnOK() override;

private:
    void Refresh();
    void ShowPortRow(int row);
    void ShowShortage(bool ok);

    GameState& gs_;
    KouekisenPlan plan_;
    bool filling_ = false;  // the edit is being set by the dialog, not typed
    OkCancelButtons okCancel_;
    MbWnd::CGradationButton max_;
    MbWnd::CGradationButton all_;
    MbWnd::CGradationButton allMax_;
};

class CKouekisenListDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1127;

    static const ui::DialogTemplate& Template();

    CKouekisenListDlg(const GameState& gs, int house, ui::Wnd* parent = nullptr);
    ~CKouekisenListDlg() override;

    ui::ListCtrl* List() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }

private:
    const GameState& gs_;
    int house_;
    MbWnd::CGradationButton close_;
};

}  // namespace rymd

namespace rymd::shell {}  // namespace rymd::shell
