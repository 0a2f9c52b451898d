// CDaimyouSelectDlg (dialog 155): the player chooses the house to play, or to watch. A small
// whole-country map on the left; a click on a province lists the houses holding a castle there
// (in house order: name, all their castles, their whole rice yield); a click on a house asks to
// confirm it (with the house's introduction text when the scenario has one). "観戦モード" ends
// the dialog with IDOK and no house (-1); Cancel and Escape end it with IDCANCEL. The dialog only
// returns the choice; its caller applies it.
#pragma once

#include <string>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

class CDaimyouSelectDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1088;
    static constexpr int kSpectatorId = 1199;
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kListHintId = 1064;
    static constexpr int kSpectatorHintId = 1093;
    static constexpr int kPromptPlaceId = 1286;
    static constexpr int kKuniPlaceId = 1287;
    static constexpr int kMapId = 2001;

    static const ui::DialogTemplate& SelectTemplate();

    CDaimyouSelectDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CDaimyouSelectDlg() override;

    int m_nDaimyou = -1;  // the chosen house; -1 also for the spectator

    // The country map: a left click on a province tells the dialog with command 2001.
    CKuniMapWnd& MapWnd() { return map_; }
    ui::ListCtrl& List() { return *list_; }
    MbWnd::CDisplayBoard& KuniBoard() { return kuniBoard_; }
    const std::string& KuniBoardText() const { return kuniText_; }

    // A province clicked on the map (-1: nothing happens).
    void OnKuniClicked(int kuni);
    // A click on a list row (the selected row's house).
    void OnListClick();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    std::string Words(const std::string& text) const;
    std::string KuniName(int kuni) const;

    const GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    CKuniMapWnd map_;
    ui::ListCtrl* list_ = nullptr;  // the template's list view
    MbWnd::CDisplayBoard promptBoard_;
    MbWnd::CDisplayBoard kuniBoard_;
    ui::Font font_;
    MbWnd::CGradationButton cancel_;
    MbWnd::CGradationButton spectator_;
    std::string kuniText_;
};

}  // namespace rymd::shell
