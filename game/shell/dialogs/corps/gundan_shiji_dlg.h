// The corps orders dialog (180 "軍団指示"): the player's corps in a list above a map of the whole
// country. Choosing a corps enables its standing orders (the radio group "待機", "侵攻", "内政",
// "侵攻・内政" and the box "侵攻地軍団所領化") and makes its provinces in charge blink on the map,
// the other corps' provinces painted in a quieter colour (the two swatches say which is which).
// A click on a province of the map takes it into the corps' charge or releases it. Every change
// is written at once; OK closes.
#pragma once

#include "game/shell/maps/kuni_map_wnd.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

class CGundanShijiDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 180;
    static constexpr int kListId = 1144;
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kMapId = 2001;
    static constexpr int kHintId = 1064;
    static constexpr int kTaikiId = 1152;
    static constexpr int kShinkouId = 1151;
    static constexpr int kNaiseiId = 1153;
    static constexpr int kBothId = 1154;
    static constexpr int kShoryoukaId = 1159;
    static constexpr int kOwnSwatchId = 1315;
    static constexpr int kOtherSwatchId = 1316;
    static constexpr ui::COLORREF kOwnColour = ui::RGB(200, 200, 255);
    static constexpr ui::COLORREF kOtherColour = ui::RGB(150, 150, 192);

    static const ui::DialogTemplate& Template();

    CGundanShijiDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CGundanShijiDlg() override;

    ui::ListCtrl* List() const { return list_; }
    shell::CKuniMapWnd& Map() { return map_; }
    int SelectedGundan() const { return selGundan_; }
    // Chooses the corps of a list row (-1: none), as a click on it does.
    void ChooseRow(int row);
    // A click on province kuni of the map.
    void OnKuniClick(int kuni);

    int m_nOrder = -1;     // the radio index, -1 none
    int m_bShoryouka = 0;  // the conquered-land box

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnPaint(ui::Dc& dc) override;
    bool OnHelpInfo() override;

private:
    void DrawColours();
    void OnSetOrder();
    void OnShoryouka();
    void RefillList();

    GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    int selGundan_ = -1;
    shell::CKuniMapWnd map_;
    int rows_ = 0;
    MbBmp::CControlBmp saved_;
    ui::ListCtrl* list_ = nullptr;
    MbWnd::CGradationButton ok_;
};

}  // namespace rymd
