// The domestic phase's development dialogs over the province the player has chosen, one family
// in one class: land reclamation (166, "新田開墾"), mine development (188, "鉱山開発") and free
// markets (167, "楽市楽座"), each caption in the scenario's words.
//
// The list 1047 (check boxes, full-row selection) shows the player's castles that may be
// developed this month with their value and its maximum. Ticking castles and pressing the
// execute button (1054, 1162 or 1055) asks for the total cost and develops them at once; a fourth
// column "実行結果" then shows every row's value, and the execute and select-all (1107) buttons
// are disabled: one execution per opening. "閉じる" (2) closes; nothing is undone. F1 opens the help.
//
// From the top: the prompt 1064, the list 1047, the hint 1093, and the buttons select all 1107,
// execute and close 2.
#pragma once

#include "game/domestic/castle_works.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

class CNaiseiDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1047;
    static constexpr int kPromptId = 1064;
    static constexpr int kHintId = 1093;
    static constexpr int kSelectAllId = 1107;

    // The execute button of each member.
    static int ExecuteId(Development kind);
    static const ui::DialogTemplate& NaiseiTemplate(Development kind);

    CNaiseiDlg(Development kind, GameState& gs, int kuni, ui::Wnd* parent = nullptr);
    ~CNaiseiDlg() override;

    ui::ListCtrl& List() { return *list_; }
    Development Kind() const { return kind_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    void OnSelectAll();
    void OnExecute();
    // The scenario's words of the family: the castle word and the member's own.
    std::string Words(const std::string& text) const;

    Development kind_;
    GameState& gs_;
    std::vector<int> rows_;
    ui::ListCtrl* list_ = nullptr;
    MbWnd::CGradationButton close_, execute_, selectAll_;
};

// The command: runs the member's dialog for the chosen province.
void RunNaisei(Development kind, GameState& gs, int kuni, ui::Wnd* owner);

}  // namespace rymd::shell
