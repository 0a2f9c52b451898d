// CShutsujinDlg (dialog 149, "出陣"): the player orders one sortie of the house in the sortie
// phase. On the castle view inside the dialog the player clicks the castle the army leaves from,
// which then blinks, and the castle it marches on; a second click on the origin gives it up. The
// clicks are checked by the sortie rules (game/military/sortie.h) and refused with their
// messages; a valid target opens the general selection (CBushouSelectDlg), whose generals get the
// sortie order, and the dialog ends with IDOK. Cancel, Escape and the close box end it with
// IDCANCEL and change nothing. "国表示切り替え" (or a click beside the castles of another
// province) shows another province.
//
// The dialog grows to the main window's rectangle less 8 pixels on each side (never smaller than
// its own size); the map grows with it, and the board, the province line, the switch button and
// Cancel move right by the growth in width.
//
// The map lies over the placeholder 1117 on the left; on the right the board over 1277, the
// province line 1059, "国表示切り替え" (1060) and "ｷｬﾝｾﾙ".
//
// With m_bSuiro set ("出陣 （水路）") the target must be linked by sea, and a valid target opens the
// navy-sortie dialog (CSuigunShutsujinDlg) instead: its generals get the sortie order by water
// and the warships of each owner house chosen there are ordered to the target.
//
// The general-transfer dialog (CBushouMoveDlg) is built on the same frame.
#pragma once

#include <string>
#include <vector>

#include "game/shell/maps/shiro_map_wnd.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {
struct GameState;
}

namespace rymd::shell {

class MainWindowFace;

class CShutsujinDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 149;
    static constexpr int kKuniNameId = 1059;
    static constexpr int kKuniSwitchId = 1060;
    static constexpr int kMapPlaceId = 1117;
    static constexpr int kBoardPlaceId = 1277;
    static constexpr int kMapId = 2002;
    static constexpr int kBlinkTimer = 1;
    static constexpr int kFirstBlinkMs = 100;

    static const ui::DialogTemplate& ShutsujinTemplate();

    // owner: the main window, whose rectangle the dialog takes (null: the dialog's own size).
    CShutsujinDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* owner = nullptr);
    // The same frame on another template (its controls of the same ids).
    CShutsujinDlg(const ui::DialogTemplate& tmpl, GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* owner);
    ~CShutsujinDlg() override;

    // Set by the opener before DoModal.
    bool m_bSuiro = false;  // a sortie by water
    int m_nKuni = -1;       // the province shown

    bool OriginChosen() const { return originChosen_; }
    int OriginShiro() const { return originShiro_; }
    // The prompt the board shows.
    const std::string& BoardText() const { return boardText_; }
    CShiroMapWnd& Map() { return map_; }
    MbWnd::CDisplayBoard& Board() { return board_; }
    const ui::Font& BoardFont() const { return font_; }
    // The blink steps run by every sortie dialog of the program.
    static unsigned BlinkTicks() { return blinkTicks_; }
    // The period the last blink step re-armed its timer with (ms).
    int LastBlinkPeriod() const { return lastBlinkPeriod_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnTimer(int id) override;
    bool OnHelpInfo() override;

    // A click on the map: the origin and target state machine.
    virtual void OnShiroClick();
    // "国表示切り替え": the province display switch.
    void OnKuniDispSwitch();
    // One step of the origin's blinking.
    void BlinkStep();

protected:
    // What the frame's users change: the caption, the first prompt, the first blink period, the
    // controls that keep to the right edge, the board's face, and whether the province switch lays
    // the view out again when the shown province is chosen once more.
    virtual std::string CaptionText() const;
    virtual std::string OriginPrompt() const;
    virtual int FirstBlinkPeriod() const { return kFirstBlinkMs; }
    virtual std::vector<int> RightControls() const;
    virtual const char* BoardFace() const { return "ＭＳ ゴシック"; }
    virtual bool SwitchShowsTheSameProvinceAgain() const { return true; }
    void ShowKuni(int kuni);
    void ShowBoard(const std::string& text);
    // The origin blinks (or no castle, -1) and the map is drawn anew.
    void HighlightOrigin(int shiro);
    // A click beside the castles of another province that has castles shows that province.
    void FollowProvinceClick();

    GameState& gs_;
    MbKorMap::CCtrlKorMap* korMap_;
    ui::Wnd* owner_;
    MbWnd::CDisplayBoard board_;
    CShiroMapWnd map_;
    bool originChosen_ = false;
    int originShiro_ = -1;
    int blinkStep_ = 0;  // 0..5
    ui::Font font_;
    MbWnd::CGradationButton switch_;
    MbWnd::CGradationButton cancel_;
    std::string boardText_;
    int lastBlinkPeriod_ = 0;
    static unsigned blinkTicks_;

private:
    void ChooseTarget(int shiro);
};

}  // namespace rymd::shell
