// CKuniDispSwitchDlg: "国表示切替", a small country map on which the player clicks the province
// a castle view should show. DoModal gives IDOK with m_nKuni set to a province that has castles,
// or IDCANCEL (Cancel, Escape, the close box) with m_nKuni still -1.
#pragma once

#include "game/shell/maps/kuni_map_wnd.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace rymd::shell {

class CKuniDispSwitchDlg : public ui::Dialog {
public:
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kMapId = 2001;

    CKuniDispSwitchDlg(MbKorMap::CCtrlKorMap* map, const GameState* gs, ui::Wnd* parent = nullptr);
    static const ui::DialogTemplate& SwitchTemplate();

    int m_nKuni = -1;
    CKuniMapWnd& Map() { return map_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    CKuniMapWnd map_;
    MbWnd::CGradationButton cancel_;
    const GameState* gs_;
};

}  // namespace rymd::shell
