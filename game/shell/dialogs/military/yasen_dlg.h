// The field-battle dialog (153 "野戦"): a field battle in which the player's own troops fight,
// turn by turn. The player's army is side 0 of the engine (the runner swaps the armies when it is
// the second). When the dialog opens it asks for the battle music, sets the battle up (the player
// draws up his army in the deployment dialog, yasen_deploy_dlg.h) and shows the battlefield: the
// season's picture with the two armies as clouds of dots on a diagonal track of ten positions,
// one cloud per line with living units. Six lists show every unit of both armies, two boards the
// houses and their troops. Each action button plays one turn: the computer chooses the enemy's
// action, both actions are shown on the field, the turn is carried out with its flashes (a line
// under fire, the lines in melee, a line broken through), and the turn lasts at least 400 ms.
// When the battle is decided the action buttons are disabled and "閉じる" ends the dialog.
//
// The parts (the template in the .cpp places them): the field 1195 at the top left, the turn or
// result text 1064 and the buttons 1086 "前進", 1084 "攻撃", 1085 "鉄砲射撃", 1072 "先陣／第二陣
// 交代", 1074 "待機", 1071 "退却", 1075 "閉じる" in a column to its right; the boards 1286 (side 0)
// and 1287 (side 1) below, over the lists 1078..1080 (side 0: vanguard, second line,
// headquarters) and 1081..1083 (side 1). Enter and Escape do nothing; F1 opens the help.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "game/military/battle_runners.h"
#include "game/military/field_battle.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::ui {
class ListCtrl;
}

namespace rymd::shell {
class MusicPlayer;
class CPictureStore;
}  // namespace rymd::shell

namespace rymd {

class CStopWatch;

// The battlefield picture: the dialog's off-screen bitmap, copied as it is.
class CYasenFieldWnd : public ui::Wnd {
public:
    ui::Bitmap* picture = nullptr;
    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc&) override { return true; }
};

class CYasenDlg : public ui::Dialog, private YasenObserver {
public:
    static constexpr int kFieldId = 1195;
    static constexpr int kTurnTextId = 1064;
    static constexpr int kListFirstId = 1078;   // 1078..1080 side 0 lines 0..2, 1081..1083 side 1
    static constexpr int kBoardFirstId = 1286;  // 1286 side 0, 1287 side 1
    static constexpr int kAdvanceId = 1086;
    static constexpr int kAttackId = 1084;
    static constexpr int kFireId = 1085;
    static constexpr int kSwapId = 1072;
    static constexpr int kWaitId = 1074;
    static constexpr int kRetreatId = 1071;
    static constexpr int kCloseId = 1075;
    static constexpr int kTurnMilliseconds = 400;
    static constexpr int kFlashMilliseconds = 100;

    static constexpr ui::COLORREF kBlue = ui::RGB(130, 160, 240);
    static constexpr ui::COLORREF kRed = ui::RGB(230, 130, 130);
    static constexpr ui::COLORREF kLineFront = ui::RGB(255, 255, 255);
    static constexpr ui::COLORREF kLineBroken = ui::RGB(255, 100, 100);
    static constexpr ui::COLORREF kLineBehind = ui::RGB(180, 180, 180);
    static constexpr ui::COLORREF kFlashVolley = ui::RGB(200, 100, 0);
    static constexpr ui::COLORREF kFlashMelee = ui::RGB(255, 0, 0);

    static constexpr const char* kRetreatRefused = "奇襲により軍勢が混乱しているため撤退できません";

    // How turns and flashes are paced: a millisecond clock and a pause that keeps the windows
    // painted and takes no input. The program uses the system's clock and ui::Sleep; tests put
    // a clock of their own that the pauses move on.
    struct Pacing {
        std::function<std::uint32_t()> ticks;
        std::function<void(int milliseconds)> pause;
    };
    static void SetPacing(Pacing pacing);  // empty members: the program's own
    static const ui::DialogTemplate& Template();

    // The session's engine is filled by the runner; map: the province-map object with the
    // scenario's named pictures (null: none), music: the player that is asked for the battle
    // music (null: none), pictures: where the season pictures come from (null: the program's).
    CYasenDlg(YasenSession& session, MbKorMap::CCtrlKorMap* map, shell::MusicPlayer* music,
              const shell::CPictureStore* pictures = nullptr, ui::Wnd* parent = nullptr);
    ~CYasenDlg() override;

    CYasen& Battle() { return battle_; }
    int Result() const { return result_; }
    int Turn() const { return turn_; }
    bool WasSetUp() const { return setUp_; }
    const std::array<int, 2>& Houses() const { return house_; }
    // The actions shown on the field (-1 none).
    const std::array<int, 2>& ShownActions() const { return shown_; }
    const std::array<std::string, 6>& ActionNames() const { return actionNames_; }
    int MaxTroops() const { return maxTroops_; }
    ui::Bitmap& FieldBitmap() { return field_; }
    CYasenFieldWnd& FieldWnd() { return fieldWnd_; }
    ui::ListCtrl* List(int side, int line) const;
    MbWnd::CDisplayBoard& Board(int side) { return side == 0 ? board0_ : board1_; }
    MbWnd::CGradationButton& Button(int id);

    // Where position p of the track is drawn: the centre of a cloud.
    static ui::Point TrackCentre(int p) { return ui::Point(49 * p + 26, 180 - 10 * p); }
    // The radius of a cloud for the troops of a line.
    static int CloudRadius(int troops, int maxTroops);

    // Lists, boards, turn text and buttons from the engine's state (after each turn); the field
    // drawn again (redrawNow: painted at once).
    void RefreshStatus();
    void DrawField(bool redrawNow);

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnOK() override {}
    void OnCancel() override {}
    bool OnHelpInfo() override;

private:
    // YasenObserver
    bool DeployPlayerSide(const CYasen& battle, int side, YasenDeployment& out) override;
    void OnVolley(const CYasen& battle, int side, int line) override;
    void OnMelee(const CYasen& battle, int line0, int line1) override;
    void OnBreakThrough(const CYasen& battle, int side, int line) override;
    void OnMessage(const CYasen& battle, const std::string& text) override;
    void OnActionsChosen(const CYasen& battle, const std::array<int, 2>& actions) override;

    void LoadBackground();
    void PlayTurn(int action);
    void FillLists();
    void UpdateButtons();
    void PaintField();
    void DrawCloud(ui::Dc& dc, ui::Point centre, int radius, ui::COLORREF colour);
    void DrawShadowText(ui::Dc& dc, const std::string& text, const ui::Rect& r, ui::COLORREF colour,
                        unsigned format);
    void SetListColour(int side, int line, ui::COLORREF colour);
    void Pause(int milliseconds);
    std::string Words(const std::string& text) const;

    YasenSession& session_;
    CYasen& battle_;
    GameState& gs_;
    MbKorMap::CCtrlKorMap* map_;
    shell::MusicPlayer* music_;
    const shell::CPictureStore* pictures_;

    MbBmp::CControlBmp background_;
    ui::Bitmap field_;
    CYasenFieldWnd fieldWnd_;
    ui::Font font14_;  // "ＭＳ ゴシック" 14, the boards and the weather
    ui::Font font12_;  // "ＭＳ Ｐゴシック" 12, the line names and actions on the field
    ui::Font font17_;  // "ＭＳ ゴシック" 17 bold, the field's title
    MbWnd::CDisplayBoard board0_;
    MbWnd::CDisplayBoard board1_;
    std::array<MbWnd::CGradationButton, 7> buttons_;

    std::array<std::string, 6> actionNames_;
    std::array<int, 2> house_{-1, -1};
    int turn_ = 1;
    int result_ = -1;
    std::array<int, 2> shown_{-1, -1};
    int maxTroops_ = 0;
    bool setUp_ = false;
    bool busy_ = false;
    CStopWatch* watchForTurn_ = nullptr;  // the stopwatch of the turn being played
};

// Plays the session's battle in the dialog (owner: the window it belongs to, null the main
// window) and stores the result in the session. False when the dialog could not be shown (the
// battle is then fought automatically); a battle left undecided when the dialog ends is fought
// on automatically.
bool PlayYasenDlg(YasenSession& session, ui::Wnd* owner, MbKorMap::CCtrlKorMap* map,
                  shell::MusicPlayer* music);

}  // namespace rymd
