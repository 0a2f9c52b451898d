// The general list (dialog 178 "武将一覧"): the generals serving one house, optionally with those
// of its vassal houses, and below them the captives and hostages it holds. A click (or Enter) on
// a general with a commentary shows it; a column header sorts its list.
//
// From the top: "%s 武将一覧" (1064) with the check box 1141 "臣従大名家の武将も表示" at the right,
// the general list 1035, "捕虜・人質" over the list 1223 of captives and hostages, "閉じる".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// The generals the list shows for the house, in table order: retainers and guest generals of the
// house, with the check box also those of its vassal houses; without it only the guest generals
// among those.
std::vector<int> BushouListMembers(const GameState& gs, int house, bool withVassals);
// The captives and hostages the house holds, in table order.
std::vector<int> BushouListCaptives(const GameState& gs, int house);
// The cells of a general's row (14 columns; the province's name from the map, none without one)
// and of a captive's row (9 columns).
std::vector<std::string> BushouListRow(const GameState& gs, const MbKorMap::CCtrlKorMap* map, int bushou);
std::vector<std::string> BushouListCaptiveRow(const GameState& gs, int bushou);

class CBushouListDlg : public ui::Dialog {
public:
    static constexpr int kTitleId = 1064;
    static constexpr int kVassalsId = 1141;
    static constexpr int kListId = 1035;
    static constexpr int kCaptiveListId = 1223;
    static constexpr int kCaptiveLabelId = 1224;

    static const ui::DialogTemplate& Template();

    CBushouListDlg(const GameState& gs, const MbKorMap::CCtrlKorMap* map, int house,
                   ui::Wnd* parent = nullptr);
    ~CBushouListDlg() override;

    int m_bVassals = 0;  // the check box

    ui::ListCtrl* List() const;
    ui::ListCtrl* CaptiveList() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool PreTranslateMessage(ui::Msg& msg) override;

private:
    void FillList();
    void ShowSelectedKaisetsu(ui::ListCtrl& list);

    const GameState& gs_;
    const MbKorMap::CCtrlKorMap* map_;
    int house_;
    MbWnd::CGradationButton m_CloseButton;
};

}  // namespace rymd
