// CDoumeiKoushouDlg (dialog 157, "同盟交渉"): the player sends an envoy with a proposal (peace,
// a demand of subordination or of vassalage). On the castle view of the province the player
// clicks the castle the envoy leaves from (one of the house's or its vassals'; other castles are
// ignored), which then blinks, picks the envoy among its generals who have no order this month,
// and then the house to address in the counterpart dialog (158) in this dialog's mode. When a
// house is chosen the envoy is marked as gone for the month and the dialog ends with IDOK;
// cancelling the counterpart dialog leaves this one open with nothing marked.
//
// The dialog grows to the main window's rectangle less 8 pixels on each side (never smaller than
// its own size); the map grows with it, and the prompt, the castle name, the general list and
// "ｷｬﾝｾﾙ" move right by the growth in width. The map lies over 1117 on the left; on the right the
// prompt (1064), the castle name (1003), the general list (1007: name, rank, politics) and
// "ｷｬﾝｾﾙ".
#pragma once

#include "game/shell/maps/shiro_map_wnd.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {
struct GameState;
}

namespace rymd::ui {
class ListCtrl;
}

namespace rymd::shell {

class CDoumeiKoushouDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 157;
    static constexpr int kPromptId = 1064;
    static constexpr int kShiroNameId = 1003;
    static constexpr int kBushouListId = 1007;
    static constexpr int kMapPlaceId = 1117;
    static constexpr int kMapId = 2002;
    static constexpr int kTimer = 1;
    static constexpr int kFirstTimerMs = 50;

    static const ui::DialogTemplate& Template();

    // owner: the main window, whose rectangle the dialog takes (null: the dialog's own size).
    // mode: the counterpart mode (0 peace, 1 subordination, 2 vassalage).
    CDoumeiKoushouDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, int mode, int kuni,
                      ui::Wnd* owner = nullptr);
    ~CDoumeiKoushouDlg() override;

    // The house chosen; -1 until then.
    int ChosenHouse() const { return chosen_; }
    int EnvoyShiro() const { return shiro_; }
    const std::string& PromptText() const { return prompt_; }
    CShiroMapWnd& Map() { return map_; }
    ui::ListCtrl* BushouList() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnTimer(int id) override;
    bool OnHelpInfo() override;

    // A click on the map's castle (-1: none).
    void OnShiroClicked(int shiro);
    // A click in the general list on the row (-1: no row selected).
    void OnBushouClicked(int row);

private:
    void SetPrompt(const std::string& text);

    GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    int mode_;
    int kuni_;
    ui::Wnd* owner_;
    int chosen_ = -1;
    int shiro_ = -1;
    int blinkStep_ = 0;
    unsigned ticks_ = 0;
    std::string prompt_;
    CShiroMapWnd map_;
    MbWnd::CGradationButton cancel_;
};

}  // namespace rymd::shell
