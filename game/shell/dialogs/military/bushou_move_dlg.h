// CBushouMoveDlg (dialog 147, "武将移動"): the player moves generals of the house from one castle to
// another in the strategy phase, by land or by water (m_bSuiro), on the frame of the sortie dialog
// (CShutsujinDlg): the castle view inside the dialog, the board, the province switch and Cancel.
// The player clicks the castle the generals leave (a castle of the player's side, or a castle the
// house besieges: the generals then leave the besieging army) and the castle they go to; the
// clicks are checked by the move rules (game/military/sortie.h) and refused with their messages.
// Once the origin is chosen the view shows the route costs from it and marks the player's castles
// beyond the distance limit. A valid target opens the general selection in move mode (by land) or
// the navy-sortie dialog for a move (by water: warships may sail without generals); the chosen
// generals get the pending move, the warships are sent by the registry's plan per owner house, and
// the dialog ends with IDOK. Cancel changes nothing.
//
// Besides the sortie dialog's controls the static 1309 keeps to the right edge with them. Unlike
// the sortie dialog, the board writes in the proportional Gothic, and the province switch leaves
// the view alone when the province already shown is chosen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/shell/dialogs/military/shutsujin_dlg.h"

namespace rymd::shell {

class CBushouMoveDlg : public CShutsujinDlg {
public:
    static constexpr int kMoveDialogId = 147;
    static constexpr int kRightStaticId = 1309;
    static constexpr int kFirstMoveBlinkMs = 50;

    static const ui::DialogTemplate& MoveTemplate();

    CBushouMoveDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* owner = nullptr);
    ~CBushouMoveDlg() override;

    // The generals leave the army besieging the origin.
    bool OriginIsSiege() const { return siege_; }
    // The route costs from the origin (empty before one is chosen).
    const std::vector<std::uint16_t>& RouteCosts() const { return costs_; }

    void OnShiroClick() override;
    void OnCancel() override;

protected:
    std::string CaptionText() const override;
    std::string OriginPrompt() const override;
    int FirstBlinkPeriod() const override { return kFirstMoveBlinkMs; }
    std::vector<int> RightControls() const override;
    // The board writes in the proportional face; choosing the shown province again keeps the view.
    const char* BoardFace() const override { return "ＭＳ Ｐゴシック"; }
    bool SwitchShowsTheSameProvinceAgain() const override { return false; }

private:
    void ChooseMoveTarget(int shiro);
    // The route costs on the view (off: the plain view).
    void ShowRouteCosts(bool on);

    bool siege_ = false;
    std::vector<std::uint16_t> costs_;
};

}  // namespace rymd::shell
