#include "game/shell/dialogs/military/shutsujin_dlg.h"

#include <algorithm>
#include <chrono>

#include "game/military/navy_sortie.h"
#include "game/military/sortie.h"
#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/common/screen_texts.h"
#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/suigun_shutsujin_dlg.h"
#include "game/shell/maps/kuni_disp_switch_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

using namespace ui;

unsigned CShutsujinDlg::blinkTicks_ = 0;

namespace {

constexpr int kInset = 8;  // the dialog keeps this far inside the main window

}  // namespace

const DialogTemplate& CShutsujinDlg::ShutsujinTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "出陣";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 432;
        d.cy = 262;
        d.items = {
            // Cancel first: Enter cancels rather than opening the province switch.
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 375, 62, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
            {kMapPlaceId, ControlKind::Static, "", 7, 7, 288, 248, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kBoardPlaceId, ControlKind::Static, "", 302, 7, 123, 16, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kKuniNameId, ControlKind::Static, "国名", 302, 28, 123, 10, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kKuniSwitchId, ControlKind::Button, "国表示切り替え", 302, 42, 123, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CShutsujinDlg::CShutsujinDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, Wnd* owner)
    : CShutsujinDlg(ShutsujinTemplate(), gs, map, owner) {}

CShutsujinDlg::CShutsujinDlg(const DialogTemplate& tmpl, GameState& gs, MbKorMap::CCtrlKorMap* map,
                             Wnd* owner)
    : Dialog(tmpl, owner), gs_(gs), korMap_(map), owner_(owner), map_(map) {
    map_.SetGameState(&gs);
}

std::string CShutsujinDlg::CaptionText() const {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    return m_bSuiro ? ReplaceWordSuiro("出陣 （水路）", w) : ReplaceWordRikuro("出陣 （陸路）", w);
}

std::string CShutsujinDlg::OriginPrompt() const {
    return ReplaceWordShiro("出陣元の城を指定してください", gs_.ScenarioWords);
}

std::vector<int> CShutsujinDlg::RightControls() const {
    return {kBoardPlaceId, kKuniNameId, kKuniSwitchId, static_cast<int>(IDCANCEL)};
}

CShutsujinDlg::~CShutsujinDlg() = default;

void CShutsujinDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kKuniSwitchId, switch_);
    DDX_Control(dx, IDCANCEL, cancel_);
}

bool CShutsujinDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(CaptionText());
    font_.CreateFont(12, 0, 0, 0, 500, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0, BoardFace());

    // Grow to the main window less the inset, never below the dialog's own size; the frame
    // stays as it is, so the inside grows as much.
    const Rect own = GetWindowRect();
    int dx = 0, dy = 0;
    if (owner_) {
        const Rect main = owner_->GetWindowRect();
        dx = std::max(0, main.Width() - 2 * kInset - own.Width());
        dy = std::max(0, main.Height() - 2 * kInset - own.Height());
        MoveWindow(main.left + kInset, main.top + kInset, own.Width() + dx, own.Height() + dy, false);
    }
    for (int id : RightControls()) {
        if (Wnd* c = GetDlgItem(id); c && dx > 0) {
            Rect r = ChildRect(id);
            r.OffsetRect(dx, 0);
            c->MoveWindow(r, false);
        }
    }
    originChosen_ = false;
    originShiro_ = -1;

    Rect boardRect = ChildRect(kBoardPlaceId);
    if (Wnd* place = GetDlgItem(kBoardPlaceId)) place->ShowWindow(SW_HIDE);
    board_.Create(boardRect, this);
    board_.SetFont(&font_);

    Rect mapRect = ChildRect(kMapPlaceId);
    mapRect.right += dx;
    mapRect.bottom += dy;
    if (Wnd* place = GetDlgItem(kMapPlaceId)) place->ShowWindow(SW_HIDE);
    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, mapRect, this, kMapId);
    ShowKuni(m_nKuni);
    ShowBoard(OriginPrompt());
    SetTimer(kBlinkTimer, FirstBlinkPeriod());
    return true;
}

void CShutsujinDlg::ShowKuni(int kuni) {
    m_nKuni = kuni;
    map_.UpdateLayout(kuni);
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    map_.RedrawWindow();
    if (Wnd* c = GetDlgItem(kKuniNameId))
        c->SetWindowText(
            FormatText("現在の表示国 : %s", korMap_ ? KuniNameText(*korMap_, kuni, &gs_).c_str() : ""));
}

void CShutsujinDlg::ShowBoard(const std::string& text) {
    boardText_ = text;
    board_.ClearBoard();
    const Rect client = board_.GetClientRect();
    Rect r(0, 0, client.Width(), client.Height());
    board_.DrawTextA(text.c_str(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    board_.Invalidate(false);
}

bool CShutsujinDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kMapId) {
        OnShiroClick();
        return true;
    }
    if (id == kKuniSwitchId) {
        OnKuniDispSwitch();
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

void CShutsujinDlg::OnShiroClick() {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    const int c = map_.m_nClickShiro;
    const int player = gs_.nPlayerDaimyou;
    if (!originChosen_ && c != -1) {
        switch (CheckSortieOrigin(gs_, player, c)) {
            case SortieOrigin::kTooFar: MbMsgBox(kSortieTooFarMessage); break;
            case SortieOrigin::kAccepted:
                originShiro_ = c;
                ShowBoard(ReplaceWordShiro("出陣先の城を指定してください", w));
                blinkStep_ = 0;
                map_.m_nBlinkPhase = 0;
                map_.m_nBlinkShiro = c;
                originChosen_ = true;
                break;
            case SortieOrigin::kIgnored: break;
        }
    } else if (originChosen_ && c == originShiro_) {
        HighlightOrigin(-1);
        originChosen_ = false;
        ShowBoard(OriginPrompt());
    } else if (originChosen_ && c != -1) {
        ChooseTarget(c);
    }
    if (c == -1) FollowProvinceClick();
}

void CShutsujinDlg::HighlightOrigin(int shiro) {
    blinkStep_ = 0;
    map_.m_nBlinkShiro = shiro;
    map_.m_nBlinkPhase = 0;
    map_.Redraw();
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    map_.RedrawWindow();
}

void CShutsujinDlg::FollowProvinceClick() {
    const int k = map_.m_nClickKuni;
    if (k != -1 && k != m_nKuni && CountShiroInKuni(gs_, k) > 0) ShowKuni(k);
}

void CShutsujinDlg::ChooseTarget(int shiro) {
    const std::string refusal = CheckSortieTarget(gs_, gs_.nPlayerDaimyou, originShiro_, shiro, m_bSuiro);
    if (!refusal.empty()) {
        MbMsgBox(refusal.c_str());
        return;
    }
    if (m_bSuiro) {
        // By water: the generals and the warships of each owner house that sail with them.
        CSuigunShutsujinDlg navy(gs_, owner_, this);
        navy.m_Input = {.sortie = true, .origin = originShiro_, .destination = shiro};
        if (navy.DoModal() != IDOK) return;
        AssignNavySortie(gs_, originShiro_, shiro, navy.Orders());
        WriteSortieOrder(gs_, navy.Units(), shiro, true);
        EndDialog(IDOK);
        return;
    }
    CBushouSelectDlg select(gs_, owner_, this);
    select.m_bShutsujin = true;
    select.m_nFromShiro = originShiro_;
    select.m_nToShiro = shiro;
    if (select.DoModal() != IDOK) return;
    WriteSortieOrder(gs_, select.Result(), shiro, false);
    EndDialog(IDOK);
}

void CShutsujinDlg::OnKuniDispSwitch() {
    CKuniDispSwitchDlg dlg(korMap_, &gs_, this);
    if (dlg.DoModal() != IDOK) return;
    if (dlg.m_nKuni == m_nKuni && !SwitchShowsTheSameProvinceAgain()) return;
    ShowKuni(dlg.m_nKuni);
}

void CShutsujinDlg::OnTimer(int id) {
    if (id == kBlinkTimer) {
        BlinkStep();
        return;
    }
    Dialog::OnTimer(id);
}

void CShutsujinDlg::BlinkStep() {
    KillTimer(kBlinkTimer);
    const auto start = std::chrono::steady_clock::now();
    ++blinkTicks_;
    map_.StepBlink(blinkTicks_ % 2 == 1, blinkStep_);
    const int elapsed = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
    lastBlinkPeriod_ = NextDisplayTimerPeriod(true, elapsed);
    SetTimer(kBlinkTimer, lastBlinkPeriod_);
}

bool CShutsujinDlg::OnHelpInfo() {
    OpenDialogHelp();
    return true;
}

}  // namespace rymd::shell
