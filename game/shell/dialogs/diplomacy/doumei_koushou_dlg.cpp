#include "game/shell/dialogs/diplomacy/doumei_koushou_dlg.h"

#include <algorithm>
#include <chrono>

#include "game/diplomacy/counterpart.h"
#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"
#include "platform/qt/list_ctrl.h"

namespace rymd::shell {

namespace {

constexpr int kInset = 8;  // the dialog keeps this far inside the main window
constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kList = ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS;

}  // namespace

const ui::DialogTemplate& CDoumeiKoushouDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "同盟交渉";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 432;
        d.cy = 262;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            // Cancel first: it takes the focus, the general list comes after it.
            {ui::IDCANCEL, K::Button, "ｷｬﾝｾﾙ", 375, 241, 50, 14, kDialogButton, 0},
            {kMapPlaceId, K::Static, "", 7, 7, 288, 248, kLabel, 0},
            {kPromptId, K::Static, "", 302, 7, 123, 20, kLabel, 0},
            {kShiroNameId, K::Static, "城名", 302, 30, 123, 9, kLabel, 0},
            {kBushouListId, K::ListView, "", 302, 42, 123, 190, kList, ui::WS_EX_CLIENTEDGE},
        };
        return d;
    }();
    return t;
}

CDoumeiKoushouDlg::CDoumeiKoushouDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, int mode, int kuni,
                                     ui::Wnd* owner)
    : Dialog(Template(), owner), gs_(gs), korMap_(map), mode_(mode), kuni_(kuni), owner_(owner), map_(map) {
    map_.SetGameState(&gs);
}

CDoumeiKoushouDlg::~CDoumeiKoushouDlg() = default;

ui::ListCtrl* CDoumeiKoushouDlg::BushouList() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kBushouListId));
}

void CDoumeiKoushouDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDCANCEL, cancel_);
}

bool CDoumeiKoushouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    // Grow to the main window less the inset, never below the dialog's own size; the frame
    // stays as it is, so the inside grows as much.
    const ui::Rect own = GetWindowRect();
    int dx = 0, dy = 0;
    if (owner_) {
        const ui::Rect main = owner_->GetWindowRect();
        dx = std::max(0, main.Width() - 2 * kInset - own.Width());
        dy = std::max(0, main.Height() - 2 * kInset - own.Height());
        MoveWindow(main.left + kInset, main.top + kInset, own.Width() + dx, own.Height() + dy, false);
    }
    for (int id : {kPromptId, kShiroNameId, kBushouListId, static_cast<int>(ui::IDCANCEL)}) {
        if (ui::Wnd* c = GetDlgItem(id); c && dx > 0) {
            ui::Rect r = ChildRect(id);
            r.OffsetRect(dx, 0);
            c->MoveWindow(r, false);
        }
    }
    if (ui::ListCtrl* list = BushouList()) {
        list->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
        InsertListColumns(*list, {{"名前", 90}, {"地位", 40}, {"政治", 40, ui::LVCFMT_RIGHT}});
    }
    ui::Rect mapRect = ChildRect(kMapPlaceId);
    mapRect.right += dx;
    mapRect.bottom += dy;
    if (ui::Wnd* place = GetDlgItem(kMapPlaceId)) place->ShowWindow(ui::SW_HIDE);
    map_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                  mapRect, this, kMapId);
    map_.UpdateLayout(kuni_);
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    map_.RedrawWindow();
    SetPrompt(ReplaceWordShiro("使者派遣元の城を指定してください", w));
    SetItemText(*this, kShiroNameId, "");
    SetTimer(kTimer, kFirstTimerMs);
    return true;
}

void CDoumeiKoushouDlg::SetPrompt(const std::string& text) {
    prompt_ = text;
    SetItemText(*this, kPromptId, text);
}

bool CDoumeiKoushouDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kMapId) {
        OnShiroClicked(map_.m_nClickShiro);
        return true;
    }
    if (id == ui::IDCANCEL) KillTimer(kTimer);
    return Dialog::OnCommand(id, code, from);
}

bool CDoumeiKoushouDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kBushouListId || !header || header->code != ui::NM_CLICK)
        return Dialog::OnNotify(id, header, result);
    ui::ListCtrl* list = BushouList();
    OnBushouClicked(list ? list->GetFirstSelectedItem() : -1);
    if (result) *result = 0;
    return true;
}

void CDoumeiKoushouDlg::OnShiroClicked(int shiro) {
    if (!IsEnvoyShiro(gs_, gs_.nPlayerDaimyou, shiro)) return;
    const ScenarioWordArray& w = gs_.ScenarioWords;
    shiro_ = shiro;
    map_.m_nBlinkShiro = shiro;
    map_.m_nBlinkPhase = 0;
    blinkStep_ = 0;
    SetItemText(*this, kShiroNameId, ShiroMapAt(gs_, shiro).name);
    ui::ListCtrl* list = BushouList();
    if (!list) return;
    list->DeleteAllItems();
    for (int b : EnvoyBushouOfShiro(gs_, shiro)) {
        const CBushou& g = BushouAt(gs_, b);
        const bool head = IsValidDaimyou(gs_, g.daimyou) && DaimyouAt(gs_, g.daimyou).toushu == b;
        const int row = list->InsertItem(list->GetItemCount(), g.name);
        list->SetItemText(row, 1, head ? "当主" : "　　");
        list->SetItemText(row, 2, FormatText("%d", g.seiji));
        list->SetItemData(row, b);
    }
    SetPrompt(list->GetItemCount() > 0 ? ReplaceWordBushou("派遣する武将を指定してください", w)
                                       : ReplaceWordShiro("使者派遣元の城を指定してください", w));
}

void CDoumeiKoushouDlg::OnBushouClicked(int row) {
    ui::ListCtrl* list = BushouList();
    if (row < 0 || !list || row >= list->GetItemCount()) {
        SetPrompt(ReplaceWordBushou("同盟交渉する武将を指定して下さい", gs_.ScenarioWords));
        return;
    }
    const int envoy = static_cast<int>(list->GetItemData(row));
    const int house = ChooseCounterpart(this, gs_, mode_, korMap_);
    if (house < 0) return;
    MarkEnvoySent(gs_, envoy);
    chosen_ = house;
    KillTimer(kTimer);
    EndDialog(ui::IDOK);
}

void CDoumeiKoushouDlg::OnTimer(int id) {
    if (id != kTimer) {
        Dialog::OnTimer(id);
        return;
    }
    KillTimer(kTimer);
    const auto start = std::chrono::steady_clock::now();
    ++ticks_;
    if (map_.IsWindow()) map_.StepBlink(ticks_ % 2 == 1, blinkStep_);
    const int elapsed = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
    SetTimer(kTimer, NextDisplayTimerPeriod(true, elapsed));
}

bool CDoumeiKoushouDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

}  // namespace rymd::shell
