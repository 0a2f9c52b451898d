// The castle information dialog (140 "城情報"): everything about one castle, read once when it
// opens: its name, lord, yield, garrison, mine and trade ships, size, economy, populace support,
// provisions, how far a siege has come ring by ring, the castle's picture, the generals inside and
// the besiegers with their troops and abilities, and for a castle on a waterway the warships lying
// there and those blockading it. It changes nothing in the game. A click (or Enter) on a general
// with a commentary shows it; "城解説" shows the castle's.
//
// From the top: the name board over the frame 1288 with the owner 1005 and "主家　%s" (1014) beside
// it and the buttons 1012 "大名家情報" and 1036 "主家情報" at the right; the values board over 1065
// (two lines of values, mine and port icons); the castle picture 1161 with the provisions board
// 1009 under it, "包囲軍侵攻度" with the siege board 1290 and "城解説" (1198); on a waterway the
// warships: icon 1247, "建造中 %d" (1282), list 1013 with label 1280, "水路封鎖軍船" (1333), list
// 1035 with label 1281; "城内武将" (1350) with the sums 1338/1105 and 1339/1107 over the list 1007;
// "包囲武将" (1351) with the house 1037 and the sums 1340/1106 and 1341/1108 over the list 1008;
// "閉じる".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_help.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"
#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

// The texts of the dialog, as the castle stands; the dialog draws and lists them.
struct ShiroInfoTexts {
    struct BoardText {
        int x = 0;
        int line = 0;  // 0 or 1
        std::string text;
    };
    std::string name;
    std::vector<BoardText> values;                 // the values board, in drawing order
    bool mine = false;                             // the mine icon and its two numbers
    bool port = false;                             // the trade-ship icon and its two numbers
    std::string provisions;                        // "兵糧 %d (Max%d)"
    std::array<std::string, 10> siegeLevelNames;   // rings 1..size; empty beyond the size
    std::array<std::string, 10> siegeLevelStates;  // "陥落" or "%d%%"
    std::string owner;                             // label 1005
    std::string master;                            // label 1014, empty when the owner is no vassal
    std::string besiegerHouse;                     // label 1037, empty without besiegers
    std::array<int, 4> troopSums{};  // cavalry and foot inside, then of the besiegers (soldiers)
    std::string building;            // "建造中 %d"
    struct FleetRow {
        std::string house;
        int ships = 0;
    };
    std::vector<FleetRow> lyingFleets;     // list 1013: one row per house, summed
    std::vector<FleetRow> blockadeFleets;  // list 1035: one row per record
    int lyingTotal = 0;
    int blockadeTotal = 0;
};
ShiroInfoTexts MakeShiroInfoTexts(const GameState& gs, int shiro);

// The cells of one general's row (13 columns; the thirteenth, "行動", is filled only for the
// player's side).
std::vector<std::string> ShiroInfoBushouRow(const GameState& gs, int bushou);
// Whether the "行動" column is shown for the castle's generals (besiegers false) or its besiegers.
bool ShiroInfoShowsAction(const GameState& gs, int shiro, bool besiegers);

class CShiroInfoDlg : public ui::Dialog {
public:
    static constexpr int kNameFrameId = 1288;
    static constexpr int kValuesFrameId = 1065;
    static constexpr int kSiegeFrameId = 1290;
    static constexpr int kProvisionsFrameId = 1009;
    static constexpr int kGunsenIconId = 1247;
    static constexpr int kPictureId = 1161;
    static constexpr int kLyingListId = 1013;
    static constexpr int kBlockadeListId = 1035;
    static constexpr int kBesiegerListId = 1008;
    static constexpr int kBushouListId = 1007;
    static constexpr int kMasterInfoId = 1036;
    static constexpr int kDaimyouInfoId = 1012;
    static constexpr int kKaisetsuId = 1198;
    static constexpr int kOwnerLabelId = 1005;
    static constexpr int kMasterLabelId = 1014;
    static constexpr int kBesiegerHouseId = 1037;
    static constexpr int kBuildingId = 1282;
    static constexpr int kLyingTotalId = 1280;
    static constexpr int kBlockadeTotalId = 1281;
    static constexpr int kBlockadeLabelId = 1333;
    static constexpr std::array<int, 4> kSumIds = {1105, 1107, 1106, 1108};

    static const ui::DialogTemplate& Template();

    // map: the province map whose named pictures the scenario's castle types and icons may name
    // (null: the built-in pictures only).
    CShiroInfoDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, int shiro, ui::Wnd* parent = nullptr);
    ~CShiroInfoDlg() override;

    MbWnd::CDisplayBoard& NameBoard() { return nameBoard_; }
    MbWnd::CDisplayBoard& ValuesBoard() { return valuesBoard_; }
    // Where the values board's icons begin (the mine icon when the castle has a mine).
    int ValuesIconsX() const { return iconsX_; }
    MbWnd::CDisplayBoard& SiegeBoard() { return siegeBoard_; }
    MbWnd::CDisplayBoard& ProvisionsBoard() { return provisionsBoard_; }
    // The four lists (null before the dialog opens).
    ui::ListCtrl* BushouList() const { return List(kBushouListId); }
    ui::ListCtrl* BesiegerList() const { return List(kBesiegerListId); }
    ui::ListCtrl* LyingList() const { return List(kLyingListId); }
    ui::ListCtrl* BlockadeList() const { return List(kBlockadeListId); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool PreTranslateMessage(ui::Msg& msg) override;
    void OnPaint(ui::Dc& dc) override;

private:
    ui::ListCtrl* List(int id) const;
    void ShowWords();
    void FillFleetLists(const ShiroInfoTexts& t);
    void DrawValuesBoard(const ShiroInfoTexts& t);
    int iconsX_ = 0;  // where the values board's icons begin
    void DrawSiegeBoard(const ShiroInfoTexts& t);
    void SetUpGeneralList(ui::ListCtrl& list, bool action);
    // The rows of the listed generals (the order column only when the list has it).
    void FillBushouList(ui::ListCtrl& list, const std::int32_t* ids, int count);
    void ShowBushouKaisetsu(ui::ListCtrl& list);
    // A copy of the province map's named picture (false when there is none with that index).
    bool CopyNamedPicture(int named, MbBmp::CControlBmp& bmp) const;

    const GameState& gs_;
    MbKorMap::CCtrlKorMap* map_;
    int shiro_;
    MbBmp::CControlBmp shiroBmp_;
    MbBmp::CControlBmp gunsenBmp_;
    MbWnd::CDisplayBoard nameBoard_;
    MbWnd::CDisplayBoard valuesBoard_;
    MbWnd::CDisplayBoard siegeBoard_;
    MbWnd::CDisplayBoard provisionsBoard_;
    ui::Font font12_;
    ui::Font font14_;
    MbWnd::CGradationButton masterButton_;
    MbWnd::CGradationButton daimyouButton_;
    MbWnd::CGradationButton kaisetsuButton_;
    MbWnd::CGradationButton closeButton_;
};

// Opens the dialog for the castle (modal).
std::intptr_t ShowShiroInfoDlg(ui::Wnd* parent, const GameState& gs, MbKorMap::CCtrlKorMap* map, int shiro);

}  // namespace rymd
