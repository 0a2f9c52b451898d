// The house information dialog (141 "大名家情報") and the house list (143 "大名家一覧").
//
// House information: the house's head, rice yield, castles, funds, techniques, master and the
// counts of its subordinate and vassal houses on a board, and a country map on which its castles
// pulse from blue to white every 600 ms while other castles show their relation to it. Its
// buttons open the house's general list and its commentary. The dialog covers the main window,
// less 8 pixels on each side, and never shrinks below its own size.
// The title board over the frame 1005 above the information board over 1287 on the left, the map
// over 1239 on the right, the buttons 1224 "武将一覧", 1198 "大名家解説" and "閉じる".
//
// House list: one row per living house with nineteen columns of statistics; a header click sorts
// by that column (larger first; the name column by house order), a click on a row opens that
// house's information.
// The hint "リストをクリックすると、勢力範囲を確認できます" over the grid 2016 (in the place of static
// 1318) and "閉じる".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "mbwnd/cell_ctrl.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// The lines of the information board for the house.
std::vector<std::string> DaimyouInfoLines(const GameState& gs, int house);

// The house list's statistics: 16 values a house (castles, own yield, yield with vassals, town
// income, mines, generals, cavalry, foot, muskets, garrison, funds, the player's relation, trade
// ships waiting and at sea, warships being built and deployed), row-major by house.
std::vector<std::int32_t> DaimyouListStatistics(const GameState& gs);
// The house's rice yield with its vassal houses' castles, from the statistics: the house list's
// "石高(臣従含)" and the command panel's house list count it alike (subordinate houses do not
// add to their master's).
std::int32_t DaimyouYieldWithVassals(const std::vector<std::int32_t>& stats, int house);
// The cells of the house's row of the list (19 columns).
std::vector<std::string> DaimyouListRow(const GameState& gs, const std::vector<std::int32_t>& stats,
                                        int house);

class CDaimyouInfoDlg : public ui::Dialog {
public:
    static constexpr int kTitleFrameId = 1005;
    static constexpr int kInfoFrameId = 1287;
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kMapId = 2001;
    static constexpr int kBushouListId = 1224;
    static constexpr int kKaisetsuId = 1198;
    static constexpr int kBlinkTimer = 1;
    static constexpr int kBlinkMs = 100;
    // The house's own castles, by blink level.
    static constexpr std::array<ui::COLORREF, 4> kPulse = {ui::RGB(50, 50, 255), ui::RGB(120, 120, 255),
                                                           ui::RGB(190, 190, 255), ui::RGB(255, 255, 255)};

    static const ui::DialogTemplate& Template();

    // map: the province map the country view draws (null: no map is shown).
    CDaimyouInfoDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, int house, ui::Wnd* parent = nullptr);
    ~CDaimyouInfoDlg() override;

    MbWnd::CDisplayBoard& TitleBoard() { return m_TitleBoard; }
    MbWnd::CDisplayBoard& InfoBoard() { return m_InfoBoard; }
    shell::CKuniMapWnd& MapWnd() { return m_Map; }
    int BlinkPhase() const { return m_nBlinkPhase; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnTimer(int id) override;

private:
    void DrawMarks();

    const GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    int house_;
    int m_nBlinkPhase = 0;
    shell::CKuniMapWnd m_Map;
    MbWnd::CDisplayBoard m_TitleBoard;
    MbWnd::CDisplayBoard m_InfoBoard;
    ui::Font m_TitleFont;
    ui::Font m_InfoFont;
    MbWnd::CGradationButton m_CloseButton;
    MbWnd::CGradationButton m_BushouListButton;
    MbWnd::CGradationButton m_KaisetsuButton;
};

class CDaimyouListDlg : public ui::Dialog {
public:
    static constexpr int kGridPlaceId = 1318;
    static constexpr int kGridId = 2016;
    static constexpr int kColumnCount = 19;

    static const ui::DialogTemplate& Template();

    CDaimyouListDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CDaimyouListDlg() override;

    MbWnd::CCellCtrl& Grid() { return m_Grid; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnSize(int type, int cx, int cy) override;

private:
    // Lays the list and the close button out in the dialog as it is (narrowed to the screen).
    void FitToClient();

    const GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    std::vector<std::int32_t> stats_;
    ui::Rect gridPlace_;  // the list's place in the template
    MbWnd::CCellCtrl m_Grid;
    MbWnd::CGradationButton m_CloseButton;
};

}  // namespace rymd
