#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"

#include <array>

#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/corps/gundan_list.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/gundan.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace ui;

namespace {

constexpr const char* kRyouchiChooseFirst = "先に軍団を選択してください";

}  // namespace

// ---- The fief dialog -------------------------------------------------------------------------

const DialogTemplate& CGundanShoryouDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "軍団所領割当";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 400;
        d.cy = 300;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kTitleId, ControlKind::Static, "", 7, 7, 200, 9, SS_LEFT, 0},
            {kKuniNameId, ControlKind::Static, "", 210, 7, 80, 9, SS_LEFT, 0},
            {kHintId, ControlKind::Static, "(城クリックで設定/解除)", 293, 7, 100, 9, SS_RIGHT, 0},
            {kMapPlaceId, ControlKind::Static, "", 7, 19, 386, 254, SS_LEFT, 0},
            {IDOK, ControlKind::Button, "OK", 343, 279, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CGundanShoryouDlg::CGundanShoryouDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), korMap_(map), map_(map) {
    map_.SetGameState(&gs);
}

CGundanShoryouDlg::~CGundanShoryouDlg() = default;

void CGundanShoryouDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

bool CGundanShoryouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(*this, kHintId, ReplaceWordShiro("(城クリックで設定/解除)", gs_.ScenarioWords));
    if (Wnd* place = GetDlgItem(kMapPlaceId)) place->ShowWindow(SW_HIDE);
    // The owner labels name the fief instead of the house: "軍団所領" under the corps' own
    // castles, "(他軍団領)" under another corps' ones, nothing under the house's direct domain.
    map_.m_bShowDaimyouName = false;
    map_.m_nGundan = m_nGundan;
    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                  MapDialogRect(DialogItemRect(Template(), kMapPlaceId)), this, kMapId);
    ShowKuni(m_nKuni);
    const int leader = IsValidGundan(m_nGundan) ? GundanAt(gs_, m_nGundan).leader : -1;
    SetItemText(*this, kTitleId,
                FormatText("%s 軍団の所領の設定",
                           IsValidBushou(gs_, leader) ? BushouAt(gs_, leader).name.c_str() : ""));
    return true;
}

void CGundanShoryouDlg::ShowKuni(int kuni) {
    m_nKuni = kuni;
    map_.UpdateLayout(kuni);
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    map_.RedrawWindow();
    SetItemText(*this, kKuniNameId, shell::KuniDisplayName(korMap_, kuni));
}

void CGundanShoryouDlg::OnShiroClick(int c, int kuni) {
    if (c == -1) {
        if (kuni != -1 && kuni != m_nKuni && CountShiroInKuni(gs_, kuni) > 0) ShowKuni(kuni);
        return;
    }
    if (!ToggleGundanShoryou(gs_, gs_.nPlayerDaimyou, m_nGundan, c)) return;
    map_.Redraw();
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    map_.RedrawWindow();
}

bool CGundanShoryouDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kMapId) {
        OnShiroClick(map_.m_nClickShiro, map_.m_nClickKuni);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CGundanShoryouDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

// ---- The territory dialog ----------------------------------------------------------------------

const DialogTemplate& CGundanRyouchiDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "軍団領地割当";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 500;
        d.cy = 330;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kListId, ControlKind::ListView, "", 7, 7, 486, 80,
             WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE},
            {kHintId, ControlKind::Static, "軍団を選択し、国をクリックすると国内画面に切り替わります", 7, 92,
             400, 9, SS_LEFT, 0},
            {kMapPlaceId, ControlKind::Static, "", 7, 103, 486, 200, SS_LEFT, 0},
            {IDOK, ControlKind::Button, "OK", 443, 309, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

COLORREF CGundanRyouchiDlg::BlinkColour(int phase, bool spectator) {
    static constexpr std::array<COLORREF, 4> kLevels = {RGB(50, 50, 255), RGB(120, 120, 255),
                                                        RGB(190, 190, 255), RGB(255, 255, 255)};
    if (spectator) return RGB(255, 255, 255);
    const int level = phase >= 4 ? 6 - phase : phase;
    return kLevels[static_cast<std::size_t>(std::clamp(level, 0, 3))];
}

CGundanRyouchiDlg::CGundanRyouchiDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), korMap_(map), map_(map) {}

CGundanRyouchiDlg::~CGundanRyouchiDlg() = default;

void CGundanRyouchiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
}

bool CGundanRyouchiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (Wnd* place = GetDlgItem(kMapPlaceId)) place->ShowWindow(SW_HIDE);
    map_.SetGameState(&gs_);
    map_.m_nMapMinWidth = 0;
    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                  MapDialogRect(DialogItemRect(Template(), kMapPlaceId)), this, kMapId);
    map_.FitAndDrawMap(-1);
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    if (list_) {
        shell::InsertGundanListColumns(*list_, gs_, false, 80);
        rows_ = shell::FillGundanList(*list_, gs_, korMap_, false);
    }
    BlinkStep();
    SetTimer(kBlinkTimer, 100);
    return true;
}

void CGundanRyouchiDlg::BlinkStep() {
    blink_ = (blink_ + 1) % 6;
    const bool spectator = !IsValidDaimyou(gs_, gs_.nPlayerDaimyou);
    map_.DrawShiroMarksGundan(spectator ? -1 : gs_.nPlayerDaimyou, selGundan_,
                              BlinkColour(blink_, spectator));
    map_.RedrawWindow();
}

void CGundanRyouchiDlg::ChooseRow(int row) {
    if (!list_) return;
    const int k = shell::SelectGundanRow(*list_, row);
    if (k >= 0) selGundan_ = k;
}

void CGundanRyouchiDlg::OnKuniClick(int kuni) {
    if (kuni == -1) return;
    if (!IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, selGundan_)) {
        MbMsgBox(kRyouchiChooseFirst);
        return;
    }
    CGundanShoryouDlg fief(gs_, korMap_, this);
    fief.m_nKuni = kuni;
    fief.m_nGundan = selGundan_;
    fief.DoModal();
    if (list_) rows_ = shell::FillGundanList(*list_, gs_, korMap_, false, selGundan_);
}

bool CGundanRyouchiDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kMapId) {
        OnKuniClick(map_.m_nClickKuni);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CGundanRyouchiDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kListId && header && header->code == NM_CLICK && list_) {
        ChooseRow(list_->GetFirstSelectedItem());
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

void CGundanRyouchiDlg::OnTimer(int id) {
    if (id == kBlinkTimer) BlinkStep();
    Dialog::OnTimer(id);
}

}  // namespace rymd
