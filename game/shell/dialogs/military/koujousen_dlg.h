// The siege dialog (151 "城攻略戦"): one month of siege at a castle where the player's house
// besieges or defends, played one button at a time through the siege session
// (game/military/siege_session.h).
//
// The player besieging sees "強襲" and "待機（兵糧攻め）" ("待機" when the castle cannot be
// starved); the player defending sees "野戦を挑む", "海戦を挑む", "城から退却" (the retreat dialog)
// and "城内で防戦"; a naval battle, the player's challenge or the defenders', opens the navy-sortie
// dialog (CSuigunShutsujinDlg) in its naval-battle mode for the crews. When the siege is over
// every one of them is disabled and "閉じる" shows; a lost battle or the besiegers all gone close
// the dialog by itself. Enter and Escape never close it.
//
// On the left the boards: the title 1167 "%s の攻防", the castle picture 1161, "攻略軍侵攻度" by
// level (1065) and the provisions (1009), under them the warships 1247 and 1248 ("軍船 %d", own
// and blockade). On the right "攻城軍" with house 1076, total 1294 and list 1067, "守備軍" with
// house 1077, total 1295 and list 1070, "攻略軍物資補給ルート" with the route 1284 and the log
// 2004 over 1337. At the bottom the notes 1283 and 1285, the turn or outcome 1073 and the buttons
// 1068 / 1074, 1069 / 1080, 1071, 1072 and 1075 "閉じる".
// The picture and the boards are made over their frames; the frames are empty statics.
// F1 opens the help file at its top page.
#pragma once

#include <cstdint>

#include "mbbmp/control_bmp.h"
#include "mbwnd/display_board.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"
#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

class KoujousenSession;
struct GameState;

class CKoujousenDlg : public ui::Dialog {
public:
    static constexpr int kAssaultId = 1068;
    static constexpr int kWaitId = 1069;
    static constexpr int kYasenId = 1074;
    static constexpr int kKaisenId = 1080;
    static constexpr int kRetreatId = 1071;
    static constexpr int kDefendId = 1072;
    static constexpr int kCloseId = 1075;
    static constexpr int kBesiegerListId = 1067;
    static constexpr int kDefenderListId = 1070;
    static constexpr int kTurnTextId = 1073;
    static constexpr int kBesiegerHouseId = 1076;
    static constexpr int kOwnerHouseId = 1077;
    static constexpr int kPictureFrameId = 1161;
    static constexpr int kNoStarveNoteId = 1283;
    static constexpr int kOwnShipsId = 1247;
    static constexpr int kBlockadeShipsId = 1248;
    static constexpr int kRouteId = 1284;
    static constexpr int kNoAssaultNoteId = 1285;
    static constexpr int kTitleFrameId = 1167;
    static constexpr int kDamageFrameId = 1065;
    static constexpr int kProvisionsFrameId = 1009;
    static constexpr int kBesiegerTotalId = 1294;
    static constexpr int kDefenderTotalId = 1295;
    static constexpr int kLogFrameId = 1337;
    static constexpr int kLogId = 2004;
    // The timer that plays the events before the first turn once the dialog shows.
    static constexpr int kOpeningTimer = 1;

    static const ui::DialogTemplate& Template();

    // map: the province map whose named pictures a castle type may name (null: none).
    CKoujousenDlg(KoujousenSession& session, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent = nullptr);
    ~CKoujousenDlg() override;

    KoujousenSession& Session() { return session_; }
    ui::ListCtrl& BesiegerList() { return *besiegers_; }
    ui::ListCtrl& DefenderList() { return *defenders_; }
    MbWnd::CDisplayBoard& TitleBoard() { return m_TitleBoard; }
    MbWnd::CDisplayBoard& DamageBoard() { return m_DamageBoard; }
    MbWnd::CDisplayBoard& ProvisionsBoard() { return m_ProvisionsBoard; }
    MbWnd::CDisplayBoard& Picture() { return m_Picture; }
    MbWnd::CMultiTextCtrl& Log() { return m_Log; }
    const MbBmp::CControlBmp& CastlePicture() const { return m_Bmp; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    bool OnHelpInfo() override;
    void OnTimer(int id) override;
    void OnOK() override {}
    void OnCancel() override {}

    // Redraws everything from the session.
    void Refresh();

private:
    void LoadCastlePicture();
    void FillList(ui::ListCtrl& list, bool besiegers);
    void DrawBoards();
    // After every action: closes the dialog when the session closed, else redraws.
    void AfterAction();
    void OnRetreat();

    KoujousenSession& session_;
    MbKorMap::CCtrlKorMap* map_;
    ui::Font m_LargeFont;
    ui::Font m_SmallFont;
    MbBmp::CControlBmp m_Bmp;
    ui::Bitmap m_PictureBitmap;
    MbWnd::CDisplayBoard m_TitleBoard;
    MbWnd::CDisplayBoard m_DamageBoard;
    MbWnd::CDisplayBoard m_ProvisionsBoard;
    MbWnd::CDisplayBoard m_Picture;
    MbWnd::CMultiTextCtrl m_Log;
    MbWnd::CGradationButton m_Buttons[7];
    ui::ListCtrl* besiegers_ = nullptr;
    ui::ListCtrl* defenders_ = nullptr;
};

// Plays the siege modally (owner null: the main window). Returns the dialog's result. A session
// without its own chooser of naval crews gets the navy-sortie dialog for the time of the siege.
std::intptr_t RunKoujousenDlg(ui::Wnd* owner, KoujousenSession& session, MbKorMap::CCtrlKorMap* map);

}  // namespace rymd
