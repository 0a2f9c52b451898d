// The naval-battle dialog (247 "海戦"): the player commands side 0 of a naval battle turn by turn
// against the computer. The battle runner hands over the engine filled with both fleets (the
// player's side first) in a KaisenSession; the dialog sets it up, shows the two fleets on a sea
// board, both sides' units in two lists and two status boards, and offers the five actions as
// buttons. Each action plays one turn: the computer's action is chosen, both actions are written
// over their fleets, the turn is fought (the lists of a side that is hit flash for 100 ms), and
// the turn is held until at least 400 ms have passed. When the battle is decided, the outcome is
// told in a message box, the actions are disabled and only "閉じる" remains; the result goes back
// in the session.
//
// The sea board 1195 (490 x 220 pixels) at the top left and the navy picture 1310 (240 x 160
// pixels) beside it, with the message line 1064 and "閉じる" (1075, hidden while the battle goes
// on) under the picture; the status boards 1286 and 1287 (side 0, side 1) over the lists of
// their units 1096 and 1097; in a row at the bottom advance 1086, fire bombs 1088, boarding
// 1089, wait 1074 and retreat 1071.
// The board and the picture keep their pixel sizes whatever the dialog font.
//
// Enter and Escape do nothing; "閉じる" ends the dialog with IDOK.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/military/naval_battle.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;
struct KaisenSession;

namespace ui {
class ListCtrl;
}

namespace shell {
class MusicPlayer;
class CPictureStore;
}  // namespace shell

// A window that shows a picture from its top-left corner; the rest is the dialog's face.
class CKaisenPictureWnd : public ui::Wnd {
public:
    void SetPicture(const MbBmp::CControlBmp* picture) { picture_ = picture; }
    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc& dc) override { return true; }

private:
    const MbBmp::CControlBmp* picture_ = nullptr;
};

// Where the ships of one fleet are drawn on the board.
struct KaisenShipPlace {
    int x = 0;  // the icon's top-left corner
    int y = 0;
};

// The board's geometry: the fleets' places on the line of cells, the wedge of ships rotated by
// 13 degrees about (245, 110), the jitter bits of a fixed table.
class KaisenBoardGeometry {
public:
    static constexpr int kWidth = 490;
    static constexpr int kHeight = 220;
    static constexpr int kIconLeft = 38;  // an icon's point lies this far right of its corner
    static constexpr int kIconUp = 25;    // and this far below it

    // The x of a fleet's first row: side 0 at cell x 49 + 45, side 1 at cell x 49 + 35.
    static int FleetX(int side, int cell) { return cell * 49 + (side == 0 ? 45 : 35); }
    // The icons of a fleet of n ships whose first row stands at x, rows following by
    // 25 x direction; in drawing order (increasing y). The jitter bits run on from bit.
    static std::vector<KaisenShipPlace> Fleet(int x, int direction, int ships, int& bit);
    // Bit i of the jitter table (read eight per byte, the table restarting after its end).
    static bool JitterBit(int i);
    // The point (x, y) rotated about the board's centre as the fleets are (truncated).
    static ui::Point Rotate(int x, int y);
};

class CKaisenDlg : public ui::Dialog, private KaisenObserver {
public:
    static constexpr int kDialogId = 247;
    static constexpr int kPictureId = 1310;
    static constexpr int kBoardId = 1195;
    static constexpr int kList0Id = 1096;
    static constexpr int kList1Id = 1097;
    static constexpr int kStatus0Id = 1286;
    static constexpr int kStatus1Id = 1287;
    static constexpr int kCloseId = 1075;
    static constexpr int kRetreatId = 1071;
    static constexpr int kWaitId = 1074;
    static constexpr int kFireBombId = 1088;
    static constexpr int kBoardingId = 1089;
    static constexpr int kAdvanceId = 1086;
    static constexpr int kMessageId = 1064;
    // Each turn is held at least this long; each flash of a list this long.
    static constexpr int kTurnMs = 400;
    static constexpr int kFlashMs = 100;
    static constexpr ui::COLORREF kFireBombFlash = ui::RGB(200, 100, 0);
    static constexpr ui::COLORREF kBoardingFlash = ui::RGB(255, 0, 0);
    // The colours of the action labels over the two fleets.
    static constexpr ui::COLORREF kLabelColour0 = ui::RGB(30, 60, 170);
    static constexpr ui::COLORREF kLabelColour1 = ui::RGB(170, 30, 30);

    static const ui::DialogTemplate& Template();
    // The button of each action (0 wait, 1 advance, 2 boarding, 3 fire bombs, 4 retreat).
    static int ActionButton(int action);

    // map: the province map with the scenario's named pictures (null: the built-in pictures).
    // store: where the built-in pictures come from (null: the program's picture store).
    CKaisenDlg(KaisenSession& session, MbKorMap::CCtrlKorMap* map = nullptr, ui::Wnd* parent = nullptr,
               const shell::CPictureStore* store = nullptr);
    ~CKaisenDlg() override;

    // The battle music is asked for when the dialog opens (null: no music).
    void SetMusic(shell::MusicPlayer* music) { music_ = music; }
    // How the dialog waits: pause holds the thread for the milliseconds given after the window
    // was painted, ticks is the millisecond clock the turns are timed by. Tests pass their own;
    // the default sleeps and reads the system's tick count.
    using Pause = std::function<void(int milliseconds)>;
    using Ticks = std::function<std::uint32_t()>;
    void SetPacing(Pause pause, Ticks ticks);

    // -1 while the battle goes on, then 0 draw, 1 the player's side won, 2 the other side won.
    int Result() const { return result_; }
    // The turn shown (1 to 20).
    int Turn() const { return battle_.turn + 1; }
    CKaisen& Battle() { return battle_; }
    ui::ListCtrl* List(int side) const { return lists_[static_cast<std::size_t>(side & 1)]; }
    MbWnd::CDisplayBoard& StatusBoard(int side) { return status_[static_cast<std::size_t>(side & 1)]; }
    // The board as drawn last, and the clean sea under it.
    const MbBmp::CControlBmp& Board() const { return board_; }
    const MbBmp::CControlBmp& Sea() const { return sea_; }
    // The dialog's navy picture.
    const MbBmp::CControlBmp& NavyPicture() const { return picture_; }
    const MbBmp::CControlBmp& ShipIcon(int side) const { return icons_[static_cast<std::size_t>(side & 1)]; }
    // The texts of the board (after the scenario's words).
    std::string TitleText() const;
    std::string WeatherText() const;
    // The label of an action as the board and the buttons show it.
    std::string ActionText(int action) const;

    // The titles of the lists' columns: name, cavalry, foot, valour, intellect.
    std::array<std::string, 5> ColumnTitles() const;

    // Plays one turn with the player's action, as its button does.
    void OnAction(int action);
    // The status update after each turn: the lists refilled, the outcome told once the battle is
    // decided, the buttons the state allows, the message line and the status boards.
    void UpdateStatus();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void LoadPictures();
    void FillLists();
    void DrawBoard();
    void DrawFleet(int side, int& bit);
    void DrawLabel(int side, int action);
    void UpdateStatusBoards();
    void Flash(unsigned sides, ui::COLORREF colour);
    // KaisenObserver: the flashes of a turn.
    void OnFireBomb(const CKaisen& battle, int hitMask) override;
    void OnBoarding(const CKaisen& battle) override;

    KaisenSession& session_;
    CKaisen& battle_;
    GameState& gs_;
    MbKorMap::CCtrlKorMap* map_;
    const shell::CPictureStore* store_;
    shell::MusicPlayer* music_ = nullptr;
    Pause pause_;
    Ticks ticks_;

    MbBmp::CControlBmp sea_;
    std::array<MbBmp::CControlBmp, 2> icons_;  // side 0 (GunsenUnitLeft), side 1 (GunsenUnitRight)
    MbBmp::CControlBmp board_;
    MbBmp::CControlBmp picture_;
    std::array<MbWnd::CDisplayBoard, 2> status_;
    ui::Font fontSmall_;  // "ＭＳ ゴシック" 14 x 7: the status boards, the weather, the labels
    ui::Font fontList_;   // "ＭＳ Ｐゴシック" 12: the lists
    ui::Font fontTitle_;  // "ＭＳ ゴシック" 17 bold: the board's title
    CKaisenPictureWnd boardWnd_;
    CKaisenPictureWnd pictureWnd_;
    std::array<ui::ListCtrl*, 2> lists_{};
    MbWnd::CGradationButton close_, retreat_, wait_, fireBomb_, boarding_, advance_;
    int result_ = -1;
    std::array<int, 2> shownActions_{-1, -1};
};

// Plays the session's battle in the dialog and stores the result in the session. False when no
// turn was fought (a side without units, or the dialog could not be shown): the rules then fight
// the battle automatically.
bool RunKaisenDlg(KaisenSession& session, MbKorMap::CCtrlKorMap* map, shell::MusicPlayer* music,
                  ui::Wnd* parent = nullptr);

}  // namespace rymd
