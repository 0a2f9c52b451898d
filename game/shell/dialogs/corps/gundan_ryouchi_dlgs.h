// The corps territory dialog (181 "軍団領地割当") and the corps fief dialog (182 "軍団所領割当").
// The territory dialog lists the player's corps beside a map of the whole country on which the
// castles of the chosen corps blink; a click on a province opens the fief dialog for it, whose
// castle view gives a clicked castle of the house to the corps (its leader becomes the lord) or
// takes it back (the head becomes the lord). A click beside the castles switches the view to the
// province clicked. Every change is written at once; the territory list is filled again when the
// fief dialog closes.
#pragma once

#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

class CGundanShoryouDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 182;
    static constexpr int kMapPlaceId = 1117;
    static constexpr int kMapId = 2002;
    static constexpr int kKuniNameId = 1059;
    static constexpr int kHintId = 1093;
    static constexpr int kTitleId = 1064;

    static const ui::DialogTemplate& Template();

    CGundanShoryouDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CGundanShoryouDlg() override;

    shell::CShiroMapWnd& Map() { return map_; }
    // A click on the castle view: castle c, or -1 with the province kuni beside the castles.
    void OnShiroClick(int c, int kuni);

    int m_nKuni = -1;
    int m_nGundan = -1;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnHelpInfo() override;

private:
    void ShowKuni(int kuni);

    GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    shell::CShiroMapWnd map_;
    MbWnd::CGradationButton ok_;
};

class CGundanRyouchiDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 181;
    static constexpr int kListId = 1144;
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kMapId = 2001;
    static constexpr int kHintId = 1064;
    static constexpr int kBlinkTimer = 1;

    static const ui::DialogTemplate& Template();
    // The colour of the chosen corps' castles at a blink phase (0..5); white for a spectator.
    static ui::COLORREF BlinkColour(int phase, bool spectator);

    CGundanRyouchiDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CGundanRyouchiDlg() override;

    ui::ListCtrl* List() const { return list_; }
    shell::CKuniMapWnd& Map() { return map_; }
    int SelectedGundan() const { return selGundan_; }
    // Chooses the corps of a list row, as a click on it does.
    void ChooseRow(int row);
    // A click on province kuni of the map (-1: beside every province).
    void OnKuniClick(int kuni);
    // One step of the castles' blinking.
    void BlinkStep();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnTimer(int id) override;

private:
    GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    int selGundan_ = -1;
    shell::CKuniMapWnd map_;
    int rows_ = 0;
    int blink_ = 0;
    ui::ListCtrl* list_ = nullptr;
    MbWnd::CGradationButton ok_;
};

}  // namespace rymd
