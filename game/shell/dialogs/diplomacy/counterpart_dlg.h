// CKoushouAiteDlg (dialog 158): the player picks the house a diplomatic command addresses. A click
// on a province of the country map lists the houses that own or besiege a castle there (name,
// castles, rice yield); a click on a house checks it for the command's mode (CheckKoushouAite,
// game/diplomacy/counterpart.h): a refusal is shown and the dialog stays open, a house that serves
// another may be exchanged for its master, and the confirmation (OK/Cancel) ends the dialog with
// the house. Meanwhile the player's own castles pulse from blue to white on the map.
//
// The caption and the prompt (1064) follow the mode. The map lies over 1239 on the left; on the
// right the province's name (1089), the house list (1088) and "ｷｬﾝｾﾙ".
#pragma once

#include <array>

#include "game/shell/maps/kuni_map_wnd.h"
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

class CKoushouAiteDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 158;
    static constexpr int kPromptId = 1064;
    static constexpr int kKuniNameId = 1089;
    static constexpr int kHouseListId = 1088;
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kMapId = 2001;
    static constexpr int kBlinkTimer = 1;
    static constexpr int kBlinkMs = 100;
    // The player's own castles, by blink level.
    static constexpr std::array<ui::COLORREF, 4> kPulse = {ui::RGB(50, 50, 255), ui::RGB(120, 120, 255),
                                                           ui::RGB(190, 190, 255), ui::RGB(255, 255, 255)};

    static const ui::DialogTemplate& Template();

    // map: the province map (null: no map is shown, the houses of no province can be listed).
    CKoushouAiteDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, int mode, ui::Wnd* parent = nullptr);
    ~CKoushouAiteDlg() override;

    // The house chosen and confirmed; -1 until then.
    int SelectedHouse() const { return selected_; }
    int BlinkPhase() const { return blinkPhase_; }
    CKuniMapWnd& MapWnd() { return map_; }
    ui::ListCtrl* HouseList() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnTimer(int id) override;
    bool OnHelpInfo() override;

    // A province clicked on the map (-1: nothing happens).
    void OnKuniClicked(int kuni);
    // A house clicked in the list: the checks, the questions and the confirmation.
    void OnHouseClicked(int house);

private:
    void DrawMarks();

    const GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    int mode_;
    int selected_ = -1;
    int blinkPhase_ = 0;  // 0..5
    CKuniMapWnd map_;
    MbWnd::CGradationButton cancel_;
};

// Runs dialog 158 in the mode for the player's house and returns the house chosen, -1 on Cancel.
// map: the province map; null takes the main game window's.
int ChooseCounterpart(ui::Wnd* parent, GameState& gs, int mode, MbKorMap::CCtrlKorMap* map = nullptr);

}  // namespace rymd::shell
