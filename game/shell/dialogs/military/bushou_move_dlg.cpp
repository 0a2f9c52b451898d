#include "game/shell/dialogs/military/bushou_move_dlg.h"

#include <algorithm>

#include "game/military/navy_sortie.h"
#include "game/military/sortie.h"
#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/suigun_shutsujin_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"

namespace rymd::shell {

using namespace ui;

const DialogTemplate& CBushouMoveDlg::MoveTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d = ShutsujinTemplate();
        d.caption = "武将移動";
        d.items.push_back(
            {kRightStaticId, ControlKind::Static, "", 302, 82, 123, 10, WS_CHILD | WS_VISIBLE | SS_LEFT, 0});
        return d;
    }();
    return t;
}

CBushouMoveDlg::CBushouMoveDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, Wnd* owner)
    : CShutsujinDlg(MoveTemplate(), gs, map, owner) {}

CBushouMoveDlg::~CBushouMoveDlg() = default;

std::string CBushouMoveDlg::CaptionText() const {
    return ReplaceWordBushou("武将移動", gs_.ScenarioWords);
}

std::string CBushouMoveDlg::OriginPrompt() const {
    return ReplaceWordShiro("移動元の城を指定してください", gs_.ScenarioWords);
}

std::vector<int> CBushouMoveDlg::RightControls() const {
    std::vector<int> ids = CShutsujinDlg::RightControls();
    ids.push_back(kRightStaticId);
    return ids;
}

void CBushouMoveDlg::ShowRouteCosts(bool on) {
    map_.m_bShowDistance = on;
    if (!on) return;
    const std::size_t n = std::min(costs_.size(), map_.m_Distance.size());
    for (std::size_t i = 0; i < n; ++i)
        map_.m_Distance[i] = static_cast<std::int16_t>(std::min<int>(costs_[i], INT16_MAX));
}

void CBushouMoveDlg::OnShiroClick() {
    const int c = map_.m_nClickShiro;
    const int player = gs_.nPlayerDaimyou;
    bool refused = false;
    if (!originChosen_ && c != -1) {
        const MoveOrigin origin = CheckMoveOrigin(gs_, player, c, m_bSuiro);
        if (origin.kind == MoveOriginKind::kRefused) {
            if (!origin.message.empty()) MbMsgBox(origin.message.c_str());
            refused = true;
            costs_.clear();
            ShowRouteCosts(false);
            HighlightOrigin(-1);
        } else {
            originShiro_ = c;
            siege_ = origin.kind == MoveOriginKind::kSiege;
            originChosen_ = true;
            ShowBoard(ReplaceWordShiro("移動先の城を指定してください", gs_.ScenarioWords));
            costs_ = MoveRouteCosts(gs_, player, c, m_bSuiro);
            ShowRouteCosts(true);
            HighlightOrigin(c);
        }
    } else if (originChosen_ && c == originShiro_) {
        originChosen_ = false;
        costs_.clear();
        ShowRouteCosts(false);
        HighlightOrigin(-1);
        ShowBoard(OriginPrompt());
    } else if (originChosen_ && c != -1) {
        ChooseMoveTarget(c);
    }
    if (c == -1 || refused) FollowProvinceClick();
}

void CBushouMoveDlg::ChooseMoveTarget(int shiro) {
    const std::string refusal = CheckMoveTarget(gs_, gs_.nPlayerDaimyou, shiro, m_bSuiro, costs_);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    if (m_bSuiro) {
        // By water: the generals, and the warships of each owner house sent by the registry's plan.
        CSuigunShutsujinDlg navy(gs_, owner_, this);
        navy.m_Input = {.sortie = false, .origin = originShiro_, .destination = shiro};
        if (navy.DoModal() != IDOK) return;
        PlanNavyMove(gs_, originShiro_, shiro, navy.Orders(), siege_);
        WriteMoveOrder(gs_, navy.Units(), shiro);
    } else {
        CBushouSelectDlg select(gs_, owner_, this);
        select.m_bShutsujin = false;
        select.m_nFromShiro = originShiro_;
        select.m_nToShiro = shiro;
        if (select.DoModal() != IDOK) return;
        WriteMoveOrder(gs_, select.Result(), shiro);
    }
    KillTimer(kBlinkTimer);
    EndDialog(IDOK);
}

void CBushouMoveDlg::OnCancel() {
    KillTimer(kBlinkTimer);
    CShutsujinDlg::OnCancel();
}

}  // namespace rymd::shell
