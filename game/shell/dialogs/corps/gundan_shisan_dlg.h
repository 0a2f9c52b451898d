// The corps assets dialog (183 "軍団資産"): the player's corps in a list, the house's funds and
// undeployed muskets beside it. With a corps chosen, "軍団に資金を支給" gives it the amount of
// "支給金額", "軍団から資金を徴収" takes back the amount of "徴収金額", and "軍団に鉄砲を支給" gives
// it muskets of the house's stock (a multiple of the soldier unit). An amount above the stock is
// cut to it; a refusal is a message and changes nothing, and so is a field that holds no whole
// number. Every transfer is written at once; OK closes.
#pragma once

#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;
struct GundanOutcome;

class CGundanShisanDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 183;
    static constexpr int kListId = 1144;
    static constexpr int kHouseGroupId = 1335;
    static constexpr int kHouseFundsId = 1012;
    static constexpr int kHouseTeppouLabelId = 1347;
    static constexpr int kHouseTeppouId = 1013;
    static constexpr int kTeppouGroupId = 1348;
    static constexpr int kCollectEditId = 1157;
    static constexpr int kGiveEditId = 1156;
    static constexpr int kTeppouEditId = 1158;
    static constexpr int kGiveTeppouId = 1155;
    static constexpr int kCollectId = 1154;
    static constexpr int kGiveId = 1153;

    static const ui::DialogTemplate& Template();

    CGundanShisanDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CGundanShisanDlg() override;

    ui::ListCtrl* List() const { return list_; }
    int SelectedGundan() const { return selGundan_; }
    // Chooses the corps of a list row (-1: none), as a click on it does.
    void ChooseRow(int row);

    void OnGiveFunds();
    void OnCollectFunds();
    void OnGiveTeppou();

    int m_nCollect = 0;
    int m_nGive = 0;
    int m_nTeppou = 0;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool OnHelpInfo() override;

private:
    void Refresh();
    using Transfer = GundanOutcome (*)(GameState&, int, int, int);
    void Run(Transfer transfer, int editId, int& amount);

    GameState& gs_;
    const MbKorMap::CCtrlKorMap* map_;
    int rows_ = 0;
    int selGundan_ = -1;
    ui::ListCtrl* list_ = nullptr;
    MbWnd::CGradationButton giveTeppou_, collect_, give_, ok_;
};

}  // namespace rymd
