// The field-battle deployment dialog (163 "野戦発生"): before a field battle in which the player's
// own troops fight, the player draws up his army: every general (and the garrison of a castle that
// fights with him) goes to the vanguard "先陣", the second line "第二陣" or the headquarters
// "本陣（総大将）". The dialog shows both armies' strength above the grids. There is no cancel:
// OK and Escape close it only once every unit is placed, and its three lines become the army's
// deployment.
//
// The parts (the template in the .cpp places them):
//   static 1064 the caption; statics 1103..1110 the two armies' "%s兵力", "騎馬兵 %d",
//   "足軽兵 %d", "鉄砲数 %d" (side 0 left, side 1 right); 1093 the instruction and the two hints;
//   1352 "未配備武将" over the unassigned grid 2008 (multi-select, on the place of static 1292);
//   buttons 1099 "先陣", 1100 "第二陣", 1101 "本陣（総大将）" between it and the line grids 2009,
//   2010, 2011 (on the places 1293, 1294, 1295); OK below.
//
// The head of a house that is no vassal goes straight to the headquarters. The headquarters
// button works only while the headquarters is empty and for one row; the line buttons only once it
// is filled. A line holds at most 20 units: a button that would put more there is disabled.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "mbwnd/cell_ctrl.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace rymd {

struct GameState;

class CYasenDeployDlg : public ui::Dialog {
public:
    static constexpr int kCaptionId = 1064;
    static constexpr int kInstructionId = 1093;
    static constexpr int kVanguardButtonId = 1099;
    static constexpr int kSecondButtonId = 1100;
    static constexpr int kHeadquartersButtonId = 1101;
    static constexpr int kHouseLabelId = 1103;    // side 0; side 1 is 1104
    static constexpr int kCavalryLabelId = 1105;  // 1105/1106
    static constexpr int kFootLabelId = 1107;     // 1107/1108
    static constexpr int kMusketLabelId = 1109;   // 1109/1110
    static constexpr int kUnassignedLabelId = 1352;
    static constexpr int kUnassignedPlaceId = 1292;  // 1293..1295 the line grids' places
    static constexpr int kUnassignedGridId = 2008;   // 2009..2011 the line grids
    static constexpr int kHintCommandId = 1111;
    static constexpr int kHintDragId = 1112;
    static constexpr int kMaxLineUnits = 20;

    static constexpr const char* kOneCommander = "本陣（大将）は１武将しか配置できません";
    static constexpr const char* kVassalCommander =
        "臣従武将（客将以外）を総大将にする場合は野戦統率値による采配効果が得られませんがよろしいですか？";

    static const ui::DialogTemplate& Template();

    explicit CYasenDeployDlg(GameState& gs, ui::Wnd* parent = nullptr);
    ~CYasenDeployDlg() override;

    // ---- Filled by the caller before DoModal ----
    int m_nBushou = 0;  // the army's generals
    std::array<int, 20> m_Bushou{};
    int m_nShiro = -1;                        // the castle whose garrison fights with it, -1 none
    std::string m_strCaption;                 // 1064
    std::array<std::string, 2> m_strHouse;    // "%s兵力", side 0 then side 1
    std::array<std::string, 2> m_strCavalry;  // "騎馬兵 %d"
    std::array<std::string, 2> m_strFoot;     // "足軽兵 %d"
    std::array<std::string, 2> m_strMuskets;  // "鉄砲数 %d"

    // ---- The result: unit ids per line (vanguard, second line, headquarters) ----
    std::array<int, 3> m_LineCount{};
    std::array<std::array<int, kMaxLineUnits>, 3> m_LineUnits{};

    MbWnd::CCellCtrl& Grid(int which) {
        return m_Grid[static_cast<std::size_t>(which)];
    }                                               // 0 unassigned, 1..3 lines
    MbWnd::CGradationButton& LineButton(int line);  // 0 vanguard, 1 second line, 2 headquarters
    MbWnd::CGradationButton& OkButton() { return m_OkButton; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnHelpInfo() override;

private:
    void AddUnassignedRow(int unit);
    void FillRow(MbWnd::CCellCtrl& grid, int row, int unit, bool lineGrid);
    void RefillLines();
    void UpdateButtons();
    std::vector<int> SelectedRows() const;
    void Assign(int line);
    void AssignCommander();
    void CloseWhenPlaced();

    GameState& gs_;
    std::array<MbWnd::CCellCtrl, 4> m_Grid;
    MbWnd::CGradationButton m_VanguardButton;
    MbWnd::CGradationButton m_SecondButton;
    MbWnd::CGradationButton m_HeadquartersButton;
    MbWnd::CGradationButton m_OkButton;
};

}  // namespace rymd
