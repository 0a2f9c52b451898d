// The retreat-from-castle dialog (152 "城から退却"): the generals in a besieged castle of the
// player's house, of whom the player picks those who leave for the linked castles (drag over the
// lines to pick several). "退却" refuses a choice beyond the room left in those castles with a
// message and stays open; otherwise it moves the chosen generals out and closes. "ｷｬﾝｾﾙ" closes.
//
// The instruction 1064 above the grid 2007 over the frame 1295, style 133 (line colour, no
// editing, several lines), columns "名前" 100, "地位" 44, "年齢" 44, cavalry, foot and musket words
// 60 each, "武勇" 44, "智謀" 44 (pixels); "退却" (OK) and "ｷｬﾝｾﾙ" under it. A click on a column
// label sorts.
// F1 opens the help file at its top page.
#pragma once

#include <cstdint>
#include <vector>

#include "mbwnd/cell_ctrl.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace rymd {

class ShiroRetreatChoice;

class CShiroRetreatDlg : public ui::Dialog {
public:
    static constexpr int kInstructionId = 1064;
    static constexpr int kGridFrameId = 1295;
    static constexpr int kGridId = 2007;
    static constexpr std::uint32_t kGridStyle = 133;

    static const ui::DialogTemplate& Template();

    CShiroRetreatDlg(ShiroRetreatChoice& choice, ui::Wnd* parent = nullptr);
    ~CShiroRetreatDlg() override;

    MbWnd::CCellCtrl& Grid() { return m_Grid; }
    // The general indexes of the selected lines, in line order.
    std::vector<int> Selected() const;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool OnHelpInfo() override;
    void OnOK() override;

private:
    ShiroRetreatChoice& choice_;
    MbWnd::CCellCtrl m_Grid;
    MbWnd::CGradationButton m_RetreatButton;
    MbWnd::CGradationButton m_CancelButton;
};

// Runs the retreat dialog modally; the caller reads the castle's generals again afterwards.
std::intptr_t RunShiroRetreatDlg(ui::Wnd* owner, ShiroRetreatChoice& choice);

}  // namespace rymd
