#include "game/shell/window/main_game_dlg.h"

#include <QWidget>
#include <algorithm>

#include "game/shell/app/app_context.h"
#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"
#include "game/shell/dialogs/domestic/ship_report_dlgs.h"
#include "game/shell/dialogs/domestic/teppou_nyuushu_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/shell/window/status_bar.h"
#include "game/shell/window/window_pictures.h"
#include "game/state/game_state.h"
#include "game/state/map_limits.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace rymd::shell {

using ui::Point;
using ui::Rect;

namespace {

constexpr const char* kWindowSection = "Window";
constexpr const char* kLogHint =
    "マウスの右ボタンドラッグでもスクロールが可能です\n"
    "全国マップで国を左クリックすると、国内表示に切り替わります\n"
    "（国を右ボタンクリックすると、国内表示せずに選択国を切り替えることができます）\n";

}  // namespace

Placement ChoosePlacement(const StoredPlacement& s, int screenW, int screenH) {
    Placement p;
    const long long w = static_cast<long long>(s.right) - s.left;
    const long long h = static_cast<long long>(s.bottom) - s.top;
    if (w > 0 && w <= screenW && h <= screenH && h > 0) {
        Rect r(s.left, s.top, s.right, s.bottom);
        if (r.left < 0) r = Rect(0, r.top, r.right - r.left, r.bottom);
        if (r.top < 0) r = Rect(r.left, 0, r.right, r.bottom - r.top);
        if (r.right > screenW) r = Rect(r.left - (r.right - screenW), r.top, screenW, r.bottom);
        if (r.bottom > screenH) r = Rect(r.left, r.top - (r.bottom - screenH), r.right, screenH);
        p.rect = r;
        p.maximized = s.maximized != 0;
    } else {
        const int cw = screenW < 992 ? screenW - 32 : 992;
        const int ch = screenH < 736 ? screenH - 32 : 736;
        const int x = screenW / 2 - cw / 2, y = screenH / 2 - ch / 2;
        p.rect = Rect(x, y, x + cw, y + ch);
    }
    p.logHeight = std::max(20, std::min(s.logHeight, p.rect.Height() - 200));
    return p;
}

StoredPlacement ReadStoredPlacement() {
    using ui::Profile;
    StoredPlacement s;
    s.left = Profile::GetProfileInt(kWindowSection, "Left", -1);
    s.top = Profile::GetProfileInt(kWindowSection, "Top", -1);
    s.right = Profile::GetProfileInt(kWindowSection, "Right", -1);
    s.bottom = Profile::GetProfileInt(kWindowSection, "Bottom", -1);
    s.maximized = Profile::GetProfileInt(kWindowSection, "Maximized", 0);
    s.logHeight = Profile::GetProfileInt(kWindowSection, "LogWindowHeight", 50);
    return s;
}

const ui::DialogTemplate& CMainGameDlg::MainTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = kProductTitle;
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::WS_THICKFRAME | ui::WS_MINIMIZEBOX |
                  ui::WS_MAXIMIZEBOX;
        d.exStyle = ui::WS_EX_APPWINDOW | ui::WS_EX_CLIENTEDGE;
        d.cx = 514;
        d.cy = 413;
        return d;
    }();
    return t;
}

// The constructor and destructor are in main_game_flow.cpp, beside the game they own.

int CMainGameDlg::PanelWidth() const {
    // The command panel's template is 111 dialog units wide.
    return ui::MapDialogRect(BaseUnits(), Rect(0, 0, 111, 420)).Width();
}

bool CMainGameDlg::LoadDefaultMap() {
    MbKorMap::CCtrlKorMap* map = app_.korMap;
    bool tooMany = false;
    const int result =
        map->LoadKorMap((app_.programFolder + "default.smp").c_str(), [&](const MbKorMap::KorMapData& d) {
            // Every per-province table holds 249 provinces, the
            // province menus 50 regions.
            tooMany = !MapFitsTables(d);
            return !tooMany;
        });
    map->ElvMap().EraseLandTopography();
    map->TextureSetup();
    if (result == MbKorMap::CCtrlKorMap::kCannotOpen)
        mapFailure_ = "デフォルトマップファイル(default.smp)が開けません";
    else if (result == MbKorMap::CCtrlKorMap::kBadContent)
        mapFailure_ = "デフォルトマップファイル(default.smp)が異常です";
    else if (tooMany)
        mapFailure_ = "デフォルトマップファイル(default.smp)の国数が多すぎます";
    if (mapFailure_.empty()) return true;
    MbMsgBox(mapFailure_.c_str());
    return false;
}

bool CMainGameDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetIcon(MainWindowIcon(32), true);
    SetIcon(MainWindowIcon(16), false);
    // Placement from the profile.
    const Placement place = ChoosePlacement(ReadStoredPlacement(), ui::GetSystemMetrics(ui::SM_CXSCREEN),
                                            ui::GetSystemMetrics(ui::SM_CYSCREEN));
    MoveWindow(place.rect, false);
    logHeight_ = place.logHeight;

    // The default province map; the window ends before any child exists when it fails.
    if (!LoadDefaultMap()) {
        EndDialog(0);
        return true;
    }
    // The event dialog and the other map dialogs draw this map.
    port_.SetMap(app_.korMap);
    port_.SetMusketReport([this](std::string_view title, std::span<const std::string> lines) {
        if (gs_) ShowTeppouNyuushuDlg(this, *gs_, app_.korMap, title, lines);
    });
    port_.SetEnvoyDialog(
        [this](const AskPort::EnvoyVisit& visit) { return RunShishaRaihou(this, visit, app_.korMap); });
    port_.SetShipReports(
        [this](std::string_view title, std::span<const std::string> lines) {
            if (gs_) ShowKouekisenKikouDlg(this, *gs_, app_.korMap, title, lines);
        },
        [this](std::string_view title, std::span<const std::string> lines) {
            if (gs_) ShowGunsenCompleteDlg(this, *gs_, app_.korMap, title, lines);
        });

    log_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_HSCROLL | ui::WS_VSCROLL,
                  Rect(0, 0, 100, logHeight_), this, kLogId);
    backdrop_.Create(ui::WS_CHILD, Rect(0, 0, 500, 50), this, kBackdropId, "TitleBar");
    kuniMap_.m_bOwnerRefits = true;
    kuniMap_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_HSCROLL | ui::WS_VSCROLL,
                      Rect(0, 0, 100, 100), this, kKuniMapId);
    splitter_.Create(ui::WS_CHILD, Rect(0, 0, 100, 100), this, kSplitterId, "");
    MakeDaimyouSwatches(houseSwatches_);
    panel_.SetHouseIcons(&houseSwatches_);
    CreateCommandPanel();
    ShowBoardAndLogWithoutGame();
    shiroMap_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_HSCROLL | ui::WS_VSCROLL,
                       Rect(0, 0, 100, 100), this, kShiroMapId);

    const Rect client = GetClientRect();
    LayoutChildren(client.Width(), client.Height());
    if (app_.korMap) startSeason_ = app_.korMap->ElvMap().GetSeason();
    kuniMap_.FitAndDrawMap(kuniMap_.m_nSelKuni);
    for (ui::Wnd* w : {static_cast<ui::Wnd*>(&log_), static_cast<ui::Wnd*>(&backdrop_),
                       static_cast<ui::Wnd*>(&kuniMap_), static_cast<ui::Wnd*>(&splitter_)})
        w->ShowWindow(ui::SW_SHOW);
    childrenReady_ = true;

    // Settings that could not be read are told in the log under the hint.
    if (const std::string note = app_.settings.Load(); !note.empty()) {
        logText_ += note + "\n";
        log_.SetText(logText_, true);
    }
    if (app_.music) {
        app_.music->Settings().off = app_.settings.NoMusic();
        app_.music->OpenBgmDevices();
        port_.SetMusic(app_.music);
    }
    // The game state starts reset; each new game seeds the random source (main_game_flow.cpp).

    SetWindowText(kProductTitle);
    // The rectangle is the window's with its frame, which the window manager may tell only once
    // the window is on the screen: the window layer places it again then.
    SetWindowPlacement({place.rect, place.maximized ? ui::SW_SHOWMAXIMIZED : ui::SW_SHOWNORMAL});
    RedrawWindow();
    DrawStatusBar(kProductTitle, false);
    if (app_.startMenu) RunStartMenuLoop();
    return true;
}

void CMainGameDlg::ShowMapsWithoutGame() {
    AttachGameState(nullptr);
    if (app_.korMap) app_.korMap->ElvMap().SetSeason(startSeason_);
    SwitchMapView(-1);
}

void CMainGameDlg::ShowSurfaceWithoutGame() {
    ShowMapsWithoutGame();
    ShowBoardAndLogWithoutGame();
}

void CMainGameDlg::ShowBoardAndLogWithoutGame() {
    views_.curKuni = -1;
    panel_.DrawKuniInfo(-1);
    panel_.KuniBoard().RedrawWindow();
    logText_ = kLogHint;
    log_.SetText(logText_, true);
}

void CMainGameDlg::LayoutChildren(int cx, int cy) {
    const int mapRight = std::max(0, cx - PanelWidth());
    if (panel_.IsWindow()) panel_.MoveWindow(Rect(mapRight, 0, cx, cy));
    const int logH = log_.IsWindow() ? log_.GetWindowRect().Height() : logHeight_;
    log_.MoveWindow(Rect(0, cy - logH, mapRight, cy));
    const int logTop = cy - logH;
    splitter_.MoveWindow(Rect(0, logTop - 3, mapRight, logTop));
    const int backH = backdrop_.GetWindowRect().Height();
    backdrop_.MoveWindow(Rect(0, 0, mapRight, backH));
    DrawStatusBar(GameOrNull() ? GameOrNull()->ScenarioTitle : std::string(kProductTitle),
                  GameOrNull() != nullptr);
    kuniMap_.MoveWindow(Rect(0, backH, mapRight, logTop - 3), false);
    if (shiroMap_.IsWindow()) shiroMap_.MoveWindow(Rect(0, 0, mapRight, cy), false);
}

void CMainGameDlg::OnSize(int type, int cx, int cy) {
    Dialog::OnSize(type, cx, cy);
    if (!childrenReady_ || cx <= 0 || cy <= 0) return;
    kuniMap_.SetRedraw(false);
    LayoutChildren(cx, cy);
    RefitKuniMapForSize();
    kuniMap_.SetRedraw(true);
    kuniMap_.RedrawWindow();
    if (views_.viewMode == 1) {
        shiroMap_.UpdateLayout(views_.curKuni);
        shiroMap_.m_CleanBmp.Duplicate(&shiroMap_.m_BackBmp);
    }
}

bool CMainGameDlg::OnEraseBkgnd(ui::Dc& dc) {
    // The children cover the map side; the command panel's place keeps the dialog colour.
    dc.FillSolidRect(GetClientRect(), ui::GetSysColor(ui::COLOR_BTNFACE));
    return true;
}

void CMainGameDlg::DrawStatusBar(const std::string& title, bool withGameInfo) {
    if (!backdrop_.IsWindow()) return;
    backdrop_.PrepareBitmap();
    if (!backdrop_.m_Bmp.IsEmpty()) {
        ui::Dc dc(backdrop_.m_Bmp);
        ui::Font font;
        font.CreateFont(18, 0, 0, 0, 600, false, false, false, 128, 0, 0, 0, 0, "ＭＳ 明朝");
        dc.SelectFont(&font);
        dc.SetBkMode(ui::TRANSPARENT);
        const int w = backdrop_.GetWindowRect().Width();
        dc.SetTextColor(ui::RGB(0, 0, 0));
        dc.DrawText(title, Rect(11, 7, w + 1, 25), ui::DT_SINGLELINE | ui::DT_NOPREFIX);
        dc.SetTextColor(ui::RGB(255, 255, 255));
        dc.DrawText(title, Rect(10, 6, w, 24), ui::DT_SINGLELINE | ui::DT_NOPREFIX);
        dc.SelectFont(nullptr);
        if (withGameInfo && GameOrNull()) DrawStatusInfo(dc, *GameOrNull());
        dc.Flush();
    }
    backdrop_.RedrawWindow();
}

void CMainGameDlg::OnCancel() {
    if (MbMsgBoxYesNo("ゲームを終了します", true) != ui::IDYES) return;
    KillTimer(kDisplayTimer);
    ui::Sleep(200);
    EndDialog(ui::IDCANCEL);
}

void CMainGameDlg::OnDestroy() {
    using ui::Profile;
    if (!GetWidget() || !childrenReady_) return;
    const WindowPlacement placement = GetWindowPlacement();
    const Rect& r = placement.normal;
    Profile::WriteProfileInt(kWindowSection, "Left", r.left);
    Profile::WriteProfileInt(kWindowSection, "Top", r.top);
    Profile::WriteProfileInt(kWindowSection, "Right", r.right);
    Profile::WriteProfileInt(kWindowSection, "Bottom", r.bottom);
    Profile::WriteProfileInt(kWindowSection, "Maximized", placement.show == ui::SW_SHOWMAXIMIZED ? 1 : 0);
    if (log_.IsWindow())
        Profile::WriteProfileInt(kWindowSection, "LogWindowHeight", log_.GetWindowRect().Height());
    Profile::Flush();
}

void CMainGameDlg::OnLButtonDown(unsigned flags, Point point) {
    Point screen = point;
    ClientToScreen(screen);
    if (splitter_.IsWindow() && splitter_.GetWindowRect().PtInRect(screen)) {
        dragAnchor_ = point;
        dragLogHeight_ = log_.GetWindowRect().Height();
        SetCapture();
    }
}

void CMainGameDlg::OnMouseMove(unsigned flags, Point point) {
    if (!(flags & ui::MK_LBUTTON)) {
        if (GetCapture() == this) ReleaseCapture();
        dragAnchor_ = Point(-1, -1);
        return;
    }
    if (dragAnchor_ == Point(-1, -1) || !childrenReady_) return;
    const Rect client = GetClientRect();
    int h = std::max(16, dragLogHeight_ + dragAnchor_.y - point.y);
    h = std::min(h, client.Height() - 100);
    log_.MoveWindow(Rect(0, client.Height() - h, log_.GetWindowRect().Width(), client.Height()));
    kuniMap_.SetRedraw(false);
    LayoutChildren(client.Width(), client.Height());
    RefitKuniMapForSize();
    kuniMap_.SetRedraw(true);
    kuniMap_.RedrawWindow();
}

}  // namespace rymd::shell
