// The corps formation dialog (179 "軍団編成"): the house's direct generals, its corps and the
// members of the chosen corps in three grids (drag over the lines of the general grids to pick
// several). "軍団長に任命" makes the one chosen direct general leader of a new corps, "軍団に編入"
// puts the chosen direct generals into the chosen corps, "当主直属に戻す" sends the chosen members
// back to the head (returning the leader asks once and dissolves the corps). The two
// "全選択／全解除" buttons pick all or none of their grid; a click on a column label of a general
// grid sorts it. Every change is written at once; OK closes.
#pragma once

#include <cstdint>
#include <vector>

#include "mbwnd/cell_ctrl.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

class CGundanHenseiDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 179;
    static constexpr int kDirectLabelId = 1334;
    static constexpr int kMemberLabelId = 1145;
    static constexpr int kDirectFrameId = 1299;
    static constexpr int kGundanFrameId = 1300;
    static constexpr int kMemberFrameId = 1301;
    static constexpr int kDirectGridId = 2009;
    static constexpr int kGundanGridId = 2012;
    static constexpr int kMemberGridId = 2010;
    static constexpr int kAllMembersId = 1303;
    static constexpr int kAllDirectId = 1302;
    static constexpr int kReturnId = 1150;
    static constexpr int kAddId = 1149;
    static constexpr int kAppointId = 1148;
    static constexpr std::uint32_t kGeneralGridStyle = 0x85;
    static constexpr std::uint32_t kGundanGridStyle = 7;

    static const ui::DialogTemplate& Template();

    CGundanHenseiDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CGundanHenseiDlg() override;

    MbWnd::CCellCtrl& DirectGrid() { return direct_; }
    MbWnd::CCellCtrl& GundanGrid() { return gundan_; }
    MbWnd::CCellCtrl& MemberGrid() { return member_; }
    int SelectedGundan() const { return selGundan_; }
    // Chooses the corps of a line of the corps grid (-1: none), as a click on it does.
    void ChooseGundanLine(int line);

    // The selection of a general grid changed (its notification, or a test that picked lines).
    void OnGridSelChange(int gridId);
    void OnAppointLeader();
    void OnAddMember();
    void OnDissolve();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool OnHelpInfo() override;

private:
    void SetUpGeneralGrid(MbWnd::CCellCtrl& grid, int frameId, int gridId);
    void FillDirect();
    void FillGundan();
    void FillMembers();
    void GeneralLine(MbWnd::CCellCtrl& grid, int line, int bushou, bool memberGrid);
    void GundanLine(int line, int gundan);
    void SortGeneralGrid(MbWnd::CCellCtrl& grid, int column);
    void SelectAll(MbWnd::CCellCtrl& grid);
    void Enable(int id, bool on);
    void AfterChange();

    GameState& gs_;
    const MbKorMap::CCtrlKorMap* map_;
    int selDirect_ = -1;
    int selGundan_ = -1;
    int selGundanLine_ = -1;
    int selMember_ = -1;
    int sortDirect_ = 0;
    int sortMember_ = 0;
    MbWnd::CCellCtrl direct_;
    MbWnd::CCellCtrl gundan_;
    MbWnd::CCellCtrl member_;
    ui::Font font_;
    MbWnd::CGradationButton allMembers_, allDirect_, return_, add_, appoint_, ok_;
};

namespace shell {

class MainWindowFace;

// Selected general indexes of a grid's lines, in line order.
std::vector<int> SelectedGridLines(const MbWnd::CCellCtrl& grid);

}  // namespace shell

}  // namespace rymd
