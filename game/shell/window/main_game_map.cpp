// The map views of the main window: switching between the country map and the castle view,
// the clicks and menu items that choose provinces and castles, the castle information's
// restrictions and the display timer that animates both maps.
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"

#include <algorithm>
#include <chrono>

#include "game/shell/app/app_context.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/info/shiro_info_dlg.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/shell/window/window_pictures.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"

namespace rymd::shell {

using ui::COLORREF;
using ui::RGB;

namespace {

// The own castles' pulse by level 0..3 and the current house's besieged-castle frames by colour step.
constexpr COLORREF kPulse[4] = {RGB(50, 50, 255), RGB(120, 120, 255), RGB(190, 190, 255), RGB(255, 255, 255)};
constexpr COLORREF kFrame[3] = {RGB(255, 0, 0), RGB(208, 0, 0), RGB(160, 0, 0)};
// Repaints a part of a view at once (nothing when it is empty).
void RepaintPart(ui::Wnd& w, const ui::Rect& r) {
    if (r.IsRectEmpty()) return;
    w.InvalidateRect(&r, false);
    w.UpdateWindow();
}

bool IsPlayersSide(const GameState& gs, int owner) {
    return IsValidDaimyou(gs, owner) && EffectiveOwner(gs, owner) == gs.nPlayerDaimyou;
}

}  // namespace

ShiroInfoAccess ShiroInfoAccessFor(const GameState& gs, int shiro) {
    for (int entry : gs.ExclusionList) {
        const std::uint32_t e = static_cast<std::uint32_t>(entry);
        if (static_cast<int>(e & 0x0FFFFFFF) != shiro) continue;
        const CShiro& c = ShiroAt(gs, shiro);
        switch (e >> 28) {
            case 0:
                return IsPlayersSide(gs, c.daimyou) ? ShiroInfoAccess::kAllowed : ShiroInfoAccess::kRefused;
            case 2:
                return IsPlayersSide(gs, c.daimyou) ||
                               (c.besiegerDaimyou >= 0 && c.besiegerDaimyou == gs.nPlayerDaimyou)
                           ? ShiroInfoAccess::kAllowed
                           : ShiroInfoAccess::kRefused;
            case 3: return ShiroInfoAccess::kSilent;
            default: return ShiroInfoAccess::kAllowed;
        }
    }
    return ShiroInfoAccess::kAllowed;
}

void CMainGameDlg::AttachGameState(GameState* gs) {
    mapGs_ = gs;
    kuniMap_.SetGameState(gs);
    shiroMap_.SetGameState(gs);
    views_.curKuni = -1;
    ResetKuniViewCentres();
}

void CMainGameDlg::RefreshKuniMap(bool redraw) {
    if (game_ && game_->ColorDisplay()) {
        const int n = std::min(game_->ColorDaimyouCount(), 12);
        kuniMap_.DrawShiroMarksColors(game_->ColorDaimyou().data(), kDaimyouColorTbl.data(), n);
    } else if (mapGs_ && mapGs_->nCurDaimyou != -1) {
        const int level = views_.blinkPhase >= 4 ? 6 - views_.blinkPhase : views_.blinkPhase;
        kuniMap_.DrawShiroMarksRelation(mapGs_->nCurDaimyou, kPulse[std::clamp(level, 0, 3)]);
    } else {
        kuniMap_.DrawShiroMarksRelation(-1, RGB(255, 255, 255));
    }
    if (redraw) kuniMap_.RedrawWindow();
}

void CMainGameDlg::RefitKuniMapForSize() {
    kuniMap_.FitAndDrawMap(kuniMap_.m_nSelKuni);
    kuniMap_.m_CleanBmp.Duplicate(&kuniMap_.m_BackBmp);
    RefreshKuniMap(false);
}

void CMainGameDlg::RedrawKuniMapSelected(int k) {
    views_.mapRefreshOn = false;
    kuniMap_.SetRedraw(false);
    kuniMap_.FitAndDrawMap(k);
    kuniMap_.m_CleanBmp.Duplicate(&kuniMap_.m_BackBmp);
    RefreshKuniMap(false);
    kuniMap_.SetRedraw(true);
    kuniMap_.RedrawWindow();
    views_.mapRefreshOn = true;
}

void CMainGameDlg::SwitchMapView(int k) {
    if (!childrenReady_) return;
    if (k < 0) {
        views_.mapRefreshOn = false;
        kuniMap_.SetRedraw(false);
        kuniMap_.FitAndDrawMap(views_.curKuni);
        kuniMap_.m_CleanBmp.Duplicate(&kuniMap_.m_BackBmp);
        RefreshKuniMap(true);
        views_.mapRefreshOn = true;
        kuniMap_.SetRedraw(true);
        kuniMap_.ShowWindow(ui::SW_SHOW);
        shiroMap_.ShowWindow(ui::SW_HIDE);
        for (ui::Wnd* w : {static_cast<ui::Wnd*>(&backdrop_), static_cast<ui::Wnd*>(&log_),
                           static_cast<ui::Wnd*>(&splitter_)})
            w->ShowWindow(ui::SW_SHOW);
        ShowPanelMapButtons(false);
        views_.viewMode = 0;
        kuniMap_.RedrawWindow();
        menus_.UpdateKuniMenu({mapGs_, app_.korMap}, -1);
        return;
    }
    shiroMap_.UpdateLayout(k);
    shiroMap_.m_CleanBmp.Duplicate(&shiroMap_.m_BackBmp);
    shiroMap_.ShowWindow(ui::SW_SHOW);
    for (ui::Wnd* w : {static_cast<ui::Wnd*>(&backdrop_), static_cast<ui::Wnd*>(&kuniMap_),
                       static_cast<ui::Wnd*>(&log_), static_cast<ui::Wnd*>(&splitter_)})
        w->ShowWindow(ui::SW_HIDE);
    ShowPanelMapButtons(true);
    views_.curKuni = k;
    views_.viewMode = 1;
    UpdateKuniInfo();
    shiroMap_.RedrawWindow();
    menus_.UpdateKuniMenu({mapGs_, app_.korMap}, k);
}

void CMainGameDlg::ShowShiroInfo(int shiro) {
    if (!mapGs_ || !IsValidShiro(*mapGs_, shiro)) return;
    switch (ShiroInfoAccessFor(*mapGs_, shiro)) {
        case ShiroInfoAccess::kSilent: return;
        case ShiroInfoAccess::kRefused:
            MbMsgBox(ReplaceWordShiro("この城の情報閲覧はできません", mapGs_->ScenarioWords).c_str());
            return;
        case ShiroInfoAccess::kAllowed: ShowShiroInfoDlg(this, *mapGs_, app_.korMap, shiro); return;
    }
}

bool CMainGameDlg::OnMapCommand(int id) {
    auto choose = [&](int k) {
        if (k < 0 || !mapGs_) return;
        if (CountShiroInKuni(*mapGs_, k) == 0) {
            const std::string text = std::string("このシナリオでは、") + KuniDisplayName(kuniMap_.Map(), k) +
                                     "のデータはありません";
            MbMsgBox(text.c_str());
            return;
        }
        SwitchMapView(k);
    };
    if (id == kKuniMapId) {
        choose(kuniMap_.m_nClickKuni);
        return true;
    }
    if (id == kShiroMapId) {
        const int k = shiroMap_.m_nClickKuni;
        if (shiroMap_.m_nClickShiro >= 0)
            ShowShiroInfo(shiroMap_.m_nClickShiro);
        else if (mapGs_ && k != -1 && k != views_.curKuni && CountShiroInKuni(*mapGs_, k) > 0)
            SwitchMapView(k);
        return true;
    }
    if (id >= kIdKuniBase && id < kIdKuniBase + 250) {
        choose(id - kIdKuniBase);
        return true;
    }
    if (id >= kIdShiroBase && id < kIdShiroBase + 10000) {
        if (mapGs_ && id - kIdShiroBase < ShiroCount(*mapGs_)) ShowShiroInfo(id - kIdShiroBase);
        return true;
    }
    return false;
}

bool CMainGameDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id == kKuniMapId && header && header->code == ui::NM_RCLICK) {
        const int k = kuniMap_.m_nClickKuni;
        if (views_.viewMode == 0 && mapGs_ && k >= 0 && k != views_.curKuni &&
            CountShiroInKuni(*mapGs_, k) > 0) {
            views_.curKuni = k;
            RedrawKuniMapSelected(k);
            UpdateKuniInfo();
        }
        return true;
    }
    if (id == CCommandPanelDlg::kHouseListId && header && header->code == ui::NM_CLICK) {
        const ui::ListCtrl& list = panel_.HouseList();
        if (const int item = list.GetFirstSelectedItem(); item >= 0 && GameOrNull())
            ShowDaimyouInfo(static_cast<int>(list.GetItemData(item)));
        if (result) *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

void CMainGameDlg::ShowDaimyouInfo(int house) {
    if (const GameState* gs = GameOrNull(); gs && IsValidDaimyou(*gs, house)) {
        CDaimyouInfoDlg dlg(*gs, app_.korMap, house, this);
        dlg.DoModal();
    }
}

void CMainGameDlg::RefreshCastleView() {
    shiroMap_.Redraw();
    shiroMap_.m_CleanBmp.Duplicate(&shiroMap_.m_BackBmp);
    shiroMap_.RedrawWindow();
}

void CMainGameDlg::StartTimer(int ms) {
    SetTimer(kDisplayTimer, ms);
}

void CMainGameDlg::OnTimer(int id) {
    if (id == kDisplayTimer) DisplayTimerTick();
    Dialog::OnTimer(id);
}

void CMainGameDlg::DisplayTimerTick() {
    KillTimer(kDisplayTimer);
    const auto start = std::chrono::steady_clock::now();
    ++views_.mapTick;
    if (views_.viewMode == 0 && views_.mapRefreshOn && childrenReady_) {
        views_.blinkPhase = (views_.blinkPhase + 1) % 6;
        ++views_.subStep;
        const int cur = mapGs_ ? mapGs_->nCurDaimyou : -1;
        if (views_.subStep >= 2) {
            views_.subStep = 0;
            // Restoring the base copy takes away what the last step drew; the new step draws
            // its dots and frames again.
            const ui::Rect before = kuniMap_.LastDirtyRect();
            if (!kuniMap_.m_CleanBmp.IsEmpty()) kuniMap_.m_BackBmp.Duplicate(&kuniMap_.m_CleanBmp);
            kuniMap_.TakeDirtyRect();
            RefreshKuniMap(false);
            views_.colourStep = (views_.colourStep + 1) % 3;
            kuniMap_.FrameBesiegedShiro(cur, views_.colourStep, kFrame[views_.colourStep]);
            ui::Rect changed = kuniMap_.TakeDirtyRect();
            changed.UnionRect(changed, before);
            RepaintPart(kuniMap_, kuniMap_.BitmapToClient(changed));
        } else {
            RefreshKuniMap(false);
            kuniMap_.FrameBesiegedShiro(cur, views_.colourStep, kFrame[views_.colourStep]);
            // Only the dots and frames changed: repaint just them.
            RepaintPart(kuniMap_, kuniMap_.BitmapToClient(kuniMap_.TakeDirtyRect()));
        }
    } else if (views_.viewMode == 1 && childrenReady_) {
        shiroMap_.StepBlink(views_.mapTick % 2 == 1, views_.castleBlinkStep);
    }
    const int elapsed = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
    views_.lastTimerPeriod = NextDisplayTimerPeriod(views_.viewMode == 1, elapsed);
    StartTimer(views_.lastTimerPeriod);
}

void CMainGameDlg::OnMenuSelect(unsigned item) {
    CShiroMapWnd& v = shiroMap_;
    const int nShiro = mapGs_ ? ShiroCount(*mapGs_) : 0;
    if (item >= 4000 && item < 4000u + static_cast<unsigned>(nShiro)) {
        const int s = static_cast<int>(item) - 4000;
        if (s != v.m_nBlinkShiro) {
            v.m_nBlinkPhase = 0;
            v.DrawOverlays(true);
            v.m_nBlinkShiro = s;
            views_.castleBlinkStep = 3;
        }
    } else if (v.m_nBlinkShiro != -1) {
        v.m_nBlinkPhase = 0;
        v.DrawOverlays(true);
        v.m_nBlinkShiro = -1;
        v.RedrawWindow();
    }
    const int nKuni = mapGs_ ? std::clamp(mapGs_->nKuni, 0, GameState::kMaxKuni) : 0;
    if (item >= 3000 && item < 3000u + static_cast<unsigned>(nKuni) && views_.viewMode == 0) {
        const int k = static_cast<int>(item) - 3000;
        if (k != views_.curKuni) {
            views_.curKuni = k;
            RedrawKuniMapSelected(k);
            UpdateKuniInfo();
        }
    }
}

}  // namespace rymd::shell
