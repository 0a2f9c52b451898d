// CCommandPanelDlg: the column of boards, buttons and the house list at the right edge of the main
// game window. A modeless child dialog that decides nothing itself: every command and every
// notification of its controls goes on to the main game window. It draws its two boards (the
// phase label and the selected province's information) and walks its button grid with the
// arrow keys.
#pragma once

#include <array>

#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {
struct GameState;
}
namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

class CCommandPanelDlg : public ui::Dialog {
public:
    // Control ids of the panel.
    static constexpr int kFundsLabelId = 1216;
    static constexpr int kFundsId = 1065;
    static constexpr int kAutoId = 1200;
    static constexpr int kCommandEndId = 1008;
    static constexpr int kKuniBoardPlaceId = 1182;
    static constexpr int kShowNamesId = 1142;
    static constexpr int kChangeHouseId = 1233;
    static constexpr int kKouekisenListId = 1011;
    static constexpr int kBushouListId = 1012;
    static constexpr int kDaimyouListDlgId = 1010;
    static constexpr int kZenkokuId = 1014;
    static constexpr int kHouseListLabelId = 1272;
    static constexpr int kColorDisplayId = 1219;
    static constexpr int kHouseListId = 1217;
    // CMD1..CMD12.
    static constexpr std::array<int, 12> kCommandIds = {1175, 1060, 1064, 1061, 1176, 1062,
                                                        1177, 1063, 1178, 1179, 1180, 1181};
    static constexpr int kGridRows = 2;
    static constexpr int kGridPositions = 9;

    explicit CCommandPanelDlg(ui::Wnd* parent = nullptr);
    ~CCommandPanelDlg() override;

    static const ui::DialogTemplate& PanelTemplate();

    // The game whose words, map and provinces the panel shows (null: the built-in words, no
    // province values).
    void SetGame(const GameState* gs, const MbKorMap::CCtrlKorMap* map) {
        gs_ = gs;
        map_ = map;
    }
    // The small house icons of the house list (not owned; null: none).
    void SetHouseIcons(ui::ImageList* icons) { icons_ = icons; }

    void SetButtonCaptions();
    void ShowChangeHouseButton(bool show);
    void SetFocusButton(int row, int position);
    void DrawPhaseLabel(const std::string& text);
    void DrawKuniInfo(int kuni);
    // The first min(10, items) houses of the house list; returns their number.
    int StoreColorDaimyou(int* houses) const;
    void FitDaimyouList(int height);
    // The grid cell of the focused window, (-1, -1) when the focus is outside the grid.
    std::pair<int, int> FindFocusButton() const;

    // The children, for the owner and the tests.
    MbWnd::CDisplayBoard& PhaseLabel() { return phaseLabel_; }
    MbWnd::CDisplayBoard& KuniBoard() { return kuniBoard_; }
    ui::ListCtrl& HouseList() { return houseList_; }
    MbWnd::CGradationButton& CommandButton(int i) { return commands_[static_cast<std::size_t>(i)]; }
    MbWnd::CGradationButton& EndButton() { return endButton_; }
    ui::Wnd* GridButton(int row, int position) const;
    int CurrentRow() const { return curRow_; }
    int CurrentPosition() const { return curPos_; }
    const std::string& PhaseText() const { return phaseText_; }

    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool PreTranslateMessage(ui::Msg& msg) override;
    void OnSize(int type, int cx, int cy) override;

private:
    bool GridCellVisible(int row, int position) const;

    const GameState* gs_ = nullptr;
    const MbKorMap::CCtrlKorMap* map_ = nullptr;
    ui::ImageList* icons_ = nullptr;
    ui::Font phaseFont_;
    ui::Font infoFont_;
    bool initialised_ = false;
    MbWnd::CDisplayBoard phaseLabel_;
    MbWnd::CDisplayBoard kuniBoard_;
    ui::ListCtrl houseList_;
    MbWnd::CGradationButton endButton_;
    std::array<MbWnd::CGradationButton, 12> commands_;
    std::array<MbWnd::CGradationButton, 6> listButtons_;
    std::array<std::array<int, kGridPositions>, kGridRows> grid_{};
    int curRow_ = 0;
    int curPos_ = 1;
    std::string phaseText_;
};

}  // namespace rymd::shell
