// The guest-general invitation (241 "客将招請"): the retainers of the player's vassal houses
// (not their heads); a click on one, confirmed, makes him his house's guest general, and the
// guest serving from that house before steps down. "閉じる" ends it.
#pragma once

#include <cstdint>

#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

class CKyakushouShouseiDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1234;
    static constexpr int kTitleId = 1064;
    static constexpr int kPromptId = 1093;

    static const ui::DialogTemplate& Template();
    CKyakushouShouseiDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);

    ui::ListCtrl* List() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId)); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    void Invite();

    GameState& gs_;
    const MbKorMap::CCtrlKorMap* map_;
    MbWnd::CGradationButton close_;
};

}  // namespace rymd
