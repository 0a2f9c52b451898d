#include "game/shell/dialogs/military/yasen_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "game/military/battle_common.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/military/yasen_deploy_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

using namespace ui;
using battle::HouseName;
using battle::ShiroName;

namespace {

constexpr int kLines = 3;
constexpr const char* kLineNames[kLines] = {"先陣", "第二陣", "本陣"};
constexpr const char* kListLineNames[kLines] = {"先陣", "第二陣", "本陣（総大将）"};

// The action buttons in the order of the template, with the action each plays (-1: close).
struct ButtonDef {
    int id;
    const char* text;
    int action;
};
constexpr ButtonDef kButtons[7] = {
    {CYasenDlg::kAdvanceId, "前進", kYasenAdvance},
    {CYasenDlg::kAttackId, "攻撃", kYasenAttack},
    {CYasenDlg::kFireId, "鉄砲射撃", kYasenFire},
    {CYasenDlg::kSwapId, "先陣／第二陣 交代", kYasenSwap},
    {CYasenDlg::kWaitId, "待機", kYasenWait},
    {CYasenDlg::kRetreatId, "退却", kYasenRetreat},
    {CYasenDlg::kCloseId, "閉じる", -1},
};

CYasenDlg::Pacing& CurrentPacing() {
    static CYasenDlg::Pacing pacing;
    return pacing;
}

std::uint32_t SystemTicks() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int Clamp255(int v) {
    return std::clamp(v, 0, 255);
}

}  // namespace

void CYasenFieldWnd::OnPaint(Dc& dc) {
    if (picture && !picture->IsNull()) dc.DrawBitmap(0, 0, *picture);
}

void CYasenDlg::SetPacing(Pacing pacing) {
    CurrentPacing() = std::move(pacing);
}

const DialogTemplate& CYasenDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "野戦";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 486;
        d.cy = 318;
        const std::uint32_t list = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL;
        d.items = {
            {kFieldId, ControlKind::Custom, "", 5, 5, 360, 142, WS_CHILD | WS_VISIBLE, 0},
            {kTurnTextId, ControlKind::Static, "", 372, 7, 108, 10, WS_CHILD | WS_VISIBLE | SS_CENTER, 0},
        };
        int y = 22;
        for (const ButtonDef& b : kButtons) {
            d.items.push_back({b.id, ControlKind::Button, b.text, 372, b.id == kCloseId ? y + 6 : y, 108, 14,
                               kDialogButton, 0});
            y += 18;
        }
        for (int s = 0; s < 2; ++s) {
            const int x = 5 + s * 241;
            d.items.push_back({kBoardFirstId + s, ControlKind::Static, "", x, 152, 235, 12,
                               WS_CHILD | WS_VISIBLE | SS_LEFT, 0});
            for (int line = 0; line < kLines; ++line)
                d.items.push_back({kListFirstId + 3 * s + line, ControlKind::ListView, "", x, 167 + 50 * line,
                                   235, 47, list, WS_EX_CLIENTEDGE});
        }
        return d;
    }();
    return t;
}

CYasenDlg::CYasenDlg(YasenSession& session, MbKorMap::CCtrlKorMap* map, shell::MusicPlayer* music,
                     const shell::CPictureStore* pictures, Wnd* parent)
    : Dialog(Template(), parent),
      session_(session),
      battle_(session.battle),
      gs_(session.battle.State()),
      map_(map),
      music_(music),
      pictures_(pictures) {
    battle_.playerBattle = true;
}

CYasenDlg::~CYasenDlg() {
    if (battle_.observer == this) battle_.observer = nullptr;
}

std::string CYasenDlg::Words(const std::string& text) const {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    return ReplaceWordTeppou(ReplaceWordAshigaruhei(ReplaceWordKibahei(text, w), w), w);
}

ListCtrl* CYasenDlg::List(int side, int line) const {
    return dynamic_cast<ListCtrl*>(GetDlgItem(kListFirstId + 3 * side + line));
}

MbWnd::CGradationButton& CYasenDlg::Button(int id) {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (kButtons[i].id == id) return buttons_[i];
    return buttons_.back();
}

int CYasenDlg::CloudRadius(int troops, int maxTroops) {
    if (maxTroops <= 0 || troops <= 0) return 4;
    return std::min(24, static_cast<int>(std::sqrt(static_cast<double>(troops) / maxTroops) * 20) + 4);
}

void CYasenDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kFieldId, fieldWnd_);
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        DDX_Control(dx, kButtons[i].id, buttons_[i]);
}

void CYasenDlg::Pause(int milliseconds) {
    if (milliseconds <= 0) return;
    const Pacing& p = CurrentPacing();
    if (p.pause)
        p.pause(milliseconds);
    else
        ui::Sleep(milliseconds);
}

bool CYasenDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    // 1. The words of the scenario.
    Button(kFireId).SetWindowText(ReplaceWordTeppou(ReplaceWordTeppouShageki("鉄砲射撃", w), w));
    actionNames_ = {"待機", "前進", "攻撃", ReplaceWordTeppou("鉄砲", w), "陣交代", "退却"};
    // 2. The battle music, unless it already plays.
    if (music_) music_->RequestSituation(shell::MusicPlayer::kBattle);
    // 3. Centred on the main window, never off the top or the left of the screen.
    CenterWindow(GetMainWindow());
    Rect r = GetWindowRect();
    if (r.left < 0 || r.top < 0)
        MoveWindow(Rect(std::max(0, r.left), std::max(0, r.top), std::max(0, r.left) + r.Width(),
                        std::max(0, r.top) + r.Height()));
    // 4. Fonts and boards.
    font14_.CreateFont(14, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       "ＭＳ ゴシック");
    font12_.CreateFont(12, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       "ＭＳ Ｐゴシック");
    font17_.CreateFont(17, 0, 0, 0, FW_BOLD, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       "ＭＳ ゴシック");
    for (int s = 0; s < 2; ++s) {
        Wnd* place = GetDlgItem(kBoardFirstId + s);
        if (!place) continue;
        Rect b = place->GetWindowRect();
        ScreenToClient(b);
        place->ShowWindow(SW_HIDE);
        Board(s).Create(b, this);
        Board(s).SetFont(&font14_);
    }
    // 5. The season's picture and the off-screen field of its size.
    LoadBackground();
    // 6. The first turn.
    turn_ = 1;
    result_ = -1;
    if (Wnd* text = GetDlgItem(kTurnTextId)) text->SetWindowText("");
    Button(kCloseId).ShowWindow(SW_HIDE);
    // 7. The houses; a battle that is not the player's cannot be left.
    for (int s = 0; s < 2; ++s) {
        house_[static_cast<std::size_t>(s)] = -1;
        for (int i = 0; i < std::clamp(battle_.count[s], 0, CYasen::kMaxUnits) && house_[s] < 0; ++i)
            house_[static_cast<std::size_t>(s)] = battle::EffectiveHouseOfBushou(gs_, battle_.generals[s][i]);
        if (battle_.count[s] <= 0)
            house_[static_cast<std::size_t>(s)] = battle::EffectiveOwner(gs_, battle_.castle[s]);
    }
    if (house_[0] != gs_.nPlayerDaimyou && house_[1] != gs_.nPlayerDaimyou)
        Button(kRetreatId).EnableWindow(false);
    // 8. The deployment's caption.
    const std::string enemy = HouseName(gs_, house_[0] == gs_.nPlayerDaimyou ? house_[1] : house_[0]);
    if (session_.otherPlace < 0)
        battle_.caption =
            FormatText("%sで%sとの野戦を行います", ShiroName(gs_, session_.place).c_str(), enemy.c_str());
    else
        battle_.caption =
            FormatText("%sと%sの間で%sとの野戦を行います", ShiroName(gs_, session_.place).c_str(),
                       ShiroName(gs_, session_.otherPlace).c_str(), enemy.c_str());
    // 9. The set-up; the player draws up his army.
    battle_.observer = this;
    battle_.Setup();
    setUp_ = true;
    // 10. The lists' columns.
    for (int s = 0; s < 2; ++s)
        for (int line = 0; line < kLines; ++line) {
            ListCtrl* l = List(s, line);
            if (!l) continue;
            l->InsertColumn(0, kListLineNames[line], LVCFMT_LEFT, 90);
            l->InsertColumn(1, "地位", LVCFMT_LEFT, 38);
            l->InsertColumn(2, Words("騎馬兵"), LVCFMT_RIGHT, 50);
            l->InsertColumn(3, Words("足軽兵"), LVCFMT_RIGHT, 50);
            l->InsertColumn(4, Words("鉄砲"), LVCFMT_RIGHT, 38);
            l->InsertColumn(5, "武勇", LVCFMT_RIGHT, 43);
            l->InsertColumn(6, "士気", LVCFMT_RIGHT, 38);
        }
    // 11. The status, the scale of the clouds and the field.
    RefreshStatus();
    maxTroops_ = 0;
    for (int s = 0; s < 2; ++s)
        for (int line = 0; line < kLines; ++line)
            maxTroops_ = std::max(maxTroops_, battle_.GetLineTroops(s, line));
    DrawField(false);
    ShowWindow(SW_SHOW);
    // 12. A surprise attack is told, over the battle.
    if (battle_.surprise != 0) {
        const int surpriser = battle_.surprise == 1 ? 0 : 1;
        const std::string leader = IsValidBushou(gs_, battle_.surpriseLeader)
                                       ? BushouAt(gs_, battle_.surpriseLeader).name
                                       : std::string();
        MbMsgBox(FormatText("%s の計略により %s の軍勢が奇襲に成功し、%s の本陣を急襲しました",
                            leader.c_str(),
                            HouseName(gs_, house_[static_cast<std::size_t>(surpriser)]).c_str(),
                            HouseName(gs_, house_[static_cast<std::size_t>(1 - surpriser)]).c_str())
                     .c_str());
    }
    return true;
}

void CYasenDlg::LoadBackground() {
    const int m = gs_.nCurMonth;
    const int season = (m >= 3 && m <= 5) ? 0 : (m >= 6 && m <= 8) ? 1 : (m >= 9 && m <= 11) ? 2 : 3;
    int word = 0x8000;
    if (IsValidShiro(gs_, session_.place)) {
        const int type = ShiroMapAt(gs_, session_.place).shiroType;
        if (type >= 0 && type < std::min(gs_.nShiroType, GameState::kMaxShiroType))
            word =
                gs_.ShiroTypeTbl[static_cast<std::size_t>(type)].words[static_cast<std::size_t>(1 + season)];
    }
    background_.FreeBitmap();
    if (!(word & 0x8000) && map_) {
        if (MbBmp::CControlBmp* named = map_->Picture(word); named && !named->IsEmpty())
            background_.Duplicate(named);
    }
    if (background_.IsEmpty()) {
        const shell::CPictureStore& store = pictures_ ? *pictures_ : shell::PictureStore();
        switch (season) {
            case 0: store.LoadYasenSpring(background_); break;
            case 1: store.LoadYasenSummer(background_); break;
            case 2: store.LoadYasenAutumn(background_); break;
            default: store.LoadYasenWinter(background_); break;
        }
    }
    // Without a picture the field keeps the size of the game's own pictures.
    const int width = background_.IsEmpty() ? 540 : background_.GetWidth();
    const int height = background_.IsEmpty() ? 230 : background_.GetHeight();
    field_.CreateCompatibleBitmap(width, height);
    fieldWnd_.picture = &field_;
    Rect f = fieldWnd_.GetWindowRect();
    ScreenToClient(f);
    fieldWnd_.MoveWindow(Rect(f.left, f.top, f.left + width, f.top + height), false);
}

void CYasenDlg::DrawShadowText(Dc& dc, const std::string& text, const Rect& r, COLORREF colour,
                               unsigned format) {
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.DrawText(text, Rect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1), format);
    dc.SetTextColor(colour);
    dc.DrawText(text, r, format);
}

void CYasenDlg::DrawCloud(Dc& dc, Point c, int r, COLORREF colour) {
    bool first = true;
    auto next = [&] {
        const int v = NextFixedSequenceValue(gs_, first);
        first = false;
        return v;
    };
    const double rr = static_cast<double>(r) * r;
    for (int y = -r; y <= r; y += 2)
        for (int x = -r; x <= r; x += 2) {
            const int d = x * x + y * y;
            if (d > 1.2 * rr) continue;
            if (d > 0.8 * rr && (next() & 1)) continue;
            const int dots = d <= 0.5 * rr ? 3 : 1;
            for (int k = 0; k < dots; ++k) {
                const int px = c.x + x + next() % 4 + y / 5;
                const int py = c.y + y + next() % 4;
                const int dr = next() % 128 - 64;
                const int dg = next() % 128 - 64;
                const int db = next() % 128 - 64;
                dc.SetPixel(px, py + 1, RGB(0, 0, 0));
                dc.SetPixel(px, py,
                            RGB(Clamp255(GetRValue(colour) + dr), Clamp255(GetGValue(colour) + dg),
                                Clamp255(GetBValue(colour) + db)));
            }
        }
}

void CYasenDlg::DrawField(bool redrawNow) {
    if (field_.IsNull()) return;
    PaintField();
    fieldWnd_.Invalidate(false);
    if (redrawNow) fieldWnd_.UpdateWindow();
}

void CYasenDlg::PaintField() {
    Dc dc(field_);
    if (background_.IsEmpty())
        dc.FillSolidRect(Rect(0, 0, field_.Width(), field_.Height()), RGB(90, 120, 70));
    else
        dc.DrawControlBmp(0, 0, background_);

    const std::string placeA = ShiroName(gs_, session_.place);
    const std::string title =
        session_.otherPlace < 0
            ? FormatText("%s 周辺の合戦", placeA.c_str())
            : FormatText("%s・%s 間の合戦", placeA.c_str(), ShiroName(gs_, session_.otherPlace).c_str());
    dc.SelectFont(&font17_);
    DrawShadowText(dc, title, Rect(6, 5, 370, 35), RGB(255, 255, 255), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    dc.SelectFont(&font14_);
    DrawShadowText(
        dc, battle_.rain ? ReplaceWordTeppou("天候 雨（鉄砲使用不可）", gs_.ScenarioWords) : "天候 晴れ",
        Rect(270, 196, 490, 220), RGB(255, 255, 255), DT_LEFT | DT_VCENTER | DT_SINGLELINE);

    dc.SelectFont(&font12_);
    const int surprised = battle_.SurprisedSide();
    for (int s = 0; s < 2; ++s) {
        int dir = s == 0 ? -1 : 1;
        std::array<int, kLines> order{0, 1, 2};
        if (surprised == s) {
            order = {2, 0, 1};
            dir = -dir;
        }
        int p = battle_.pos[s];
        for (int line : order) {
            if (battle_.CountLiveUnits(s, line) == 0) continue;
            DrawCloud(dc, TrackCentre(p), CloudRadius(battle_.GetLineTroops(s, line), maxTroops_),
                      s == 0 ? kBlue : kRed);
            DrawShadowText(dc, kLineNames[line], Rect(49 * p + 2, 150 - 10 * p, 49 * p + 50, 170 - 10 * p),
                           RGB(255, 255, 255), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            p += dir;
        }
        const int a = shown_[static_cast<std::size_t>(s)];
        if (a >= 0 && a < 6) {
            const int q = battle_.pos[s];
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(RGB(255, 255, 0));
            dc.DrawText(actionNames_[static_cast<std::size_t>(a)],
                        Rect(49 * q + 3, 200 - 10 * q, 49 * q + 49, 220 - 10 * q),
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    dc.SelectFont(nullptr);
}

void CYasenDlg::SetListColour(int side, int line, COLORREF colour) {
    if (ListCtrl* l = List(side, line)) {
        l->SetBkColor(colour);
        l->Invalidate(false);
        l->UpdateWindow();
    }
}

void CYasenDlg::FillLists() {
    const int unit = gs_.nHeiUnit;
    for (int s = 0; s < 2; ++s) {
        const int ownLine = battle_.OwnLine(s);
        const int firstLiving = battle_.FindFrontLine(s);
        for (int line = 0; line < kLines; ++line) {
            ListCtrl* l = List(s, line);
            if (!l) continue;
            l->DeleteAllItems();
            for (int i = 0; i < battle_.lineCount[s][line]; ++i) {
                const int u = battle_.unit[s][line][i];
                const int morale = battle_.morale[s][line][i];
                const int row = l->GetItemCount();
                if (u & CYasen::kGarrisonBit) {
                    const int c = u & 0x7FFF;
                    l->InsertItem(row, FormatText("%s守備兵", ShiroName(gs_, c).c_str()));
                    l->SetItemText(row, 1, "");
                    l->SetItemText(row, 2, "");
                    l->SetItemText(
                        row, 3, FormatText("%d", IsValidShiro(gs_, c) ? ShiroAt(gs_, c).shubihei * unit : 0));
                    l->SetItemText(row, 4, "");
                    l->SetItemText(row, 5, FormatText("%d+%d", 3, battle_.command[s]));
                    l->SetItemText(row, 6, morale < 1 ? std::string("敗走") : FormatText("%d", morale));
                } else if (IsValidBushou(gs_, u)) {
                    const CBushou& b = BushouAt(gs_, u);
                    const bool head = IsValidDaimyou(gs_, b.daimyou) && DaimyouAt(gs_, b.daimyou).toushu == u;
                    l->InsertItem(row, b.name);
                    l->SetItemText(row, 1, head ? "当主" : "");
                    l->SetItemText(row, 2, FormatText("%d", b.cavalry * unit));
                    l->SetItemText(row, 3, FormatText("%d", b.foot * unit));
                    l->SetItemText(row, 4, FormatText("%d", b.muskets * unit));
                    l->SetItemText(row, 5, FormatText("%d+%d", b.buyuu, battle_.command[s]));
                    l->SetItemText(row, 6,
                                   b.daimyou == CBushou::kDaimyouRounin ? std::string("討死")
                                   : morale < 1                         ? std::string("敗走")
                                                                        : FormatText("%d", morale));
                }
            }
            COLORREF colour = kLineBehind;
            if (line == ownLine)
                colour = kLineFront;
            else if ((firstLiving >= 0 && line < firstLiving) || battle_.CountLiveUnits(s, line) == 0)
                colour = kLineBroken;
            l->SetBkColor(colour);
            l->Invalidate(false);
        }
    }
}

void CYasenDlg::UpdateButtons() {
    const bool on = result_ == -1;
    const bool adjacent = battle_.Adjacent();
    Button(kAdvanceId).EnableWindow(on && !adjacent);
    Button(kWaitId).EnableWindow(on && !adjacent);
    Button(kAttackId).EnableWindow(on && adjacent);
    Button(kFireId).EnableWindow(on && battle_.IsActionAllowed(0, kYasenFire));
    Button(kSwapId).EnableWindow(on && battle_.CanSwapLines(0));
    if (!on) Button(kRetreatId).EnableWindow(false);
    if (!on) return;
    Wnd* focus = Wnd::GetFocus();
    if (!focus || !focus->IsWindowEnabled() || !IsChild(focus))
        (adjacent ? Button(kAttackId) : Button(kAdvanceId)).SetFocus();
}

void CYasenDlg::RefreshStatus() {
    FillLists();
    Wnd* text = GetDlgItem(kTurnTextId);
    if (result_ != -1) {
        if (result_ == 0)
            MbMsgBox("両軍は退却しました");
        else
            MbMsgBox(
                FormatText("%sの軍勢は退却しました", HouseName(gs_, house_[result_ == 2 ? 0 : 1]).c_str())
                    .c_str());
        // The beaten army's rout losses come after the message; the lists then show them.
        if (result_ == 1 || result_ == 2) battle_.ApplyRoutLosses(result_);
        FillLists();
        UpdateButtons();
        Button(kCloseId).ShowWindow(SW_SHOW);
        Button(kCloseId).SetFocus();
        if (text)
            text->SetWindowText(
                result_ == 0 ? std::string("引き分け")
                             : FormatText("%sの勝利", HouseName(gs_, house_[result_ == 1 ? 0 : 1]).c_str()));
    } else {
        if (text) text->SetWindowText(FormatText("ターン %d/%d", turn_, CYasen::kMaxTurns));
        UpdateButtons();
    }
    const std::array<int, 2> totals = battle_.GetTotalTroops();
    for (int s = 0; s < 2; ++s) {
        MbWnd::CDisplayBoard& b = Board(s);
        if (!b.IsWindow()) continue;
        b.ClearBoard();
        Rect name(8, 4, b.GetBoardWidth(), 16);
        b.DrawTextA(HouseName(gs_, house_[static_cast<std::size_t>(s)]).c_str(), &name,
                    DT_LEFT | DT_SINGLELINE);
        Rect total(270, 4, 400, 16);
        b.DrawTextA(FormatText("総兵数 %d", totals[static_cast<std::size_t>(s)] * gs_.nHeiUnit).c_str(),
                    &total, DT_LEFT | DT_SINGLELINE);
        b.Invalidate(false);
    }
}

void CYasenDlg::PlayTurn(int action) {
    if (result_ != -1 || busy_ || !setUp_) return;
    if (action == kYasenRetreat && battle_.surprise == 2 && battle_.turn <= battle_.confusionTurns) {
        MbMsgBox(kRetreatRefused);
        return;
    }
    if (!battle_.IsActionAllowed(0, action)) return;
    busy_ = true;
    const Pacing& pacing = CurrentPacing();
    CStopWatch watch(pacing.ticks ? pacing.ticks : CStopWatch::TickSource(SystemTicks));
    watch.Start();
    // The engine chooses the enemy's action and tells both (OnActionsChosen restarts the watch
    // once they are on the field), then carries out the turn with its flashes.
    watchForTurn_ = &watch;
    int r = battle_.PlayerStep(0, action, false);
    watchForTurn_ = nullptr;
    ++turn_;
    if (r == -1 && turn_ >= CYasen::kMaxTurns + 1) r = 0;
    result_ = r;
    Pause(kTurnMilliseconds - static_cast<int>(watch.GetElapsed()));
    RefreshStatus();
    shown_ = {-1, -1};
    DrawField(true);
    busy_ = false;
}

bool CYasenDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == BN_CLICKED) {
        if (id == kCloseId) {
            if (result_ != -1) EndDialog(IDOK);
            return true;
        }
        for (const ButtonDef& b : kButtons)
            if (b.id == id && b.action >= 0) {
                PlayTurn(b.action);
                return true;
            }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CYasenDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

// ---------------------------------------------------------------------------------------------
// The engine's hooks

bool CYasenDlg::DeployPlayerSide(const CYasen& battle, int side, YasenDeployment& out) {
    const int u = gs_.nHeiUnit;
    const ScenarioWordArray& w = gs_.ScenarioWords;
    CYasenDeployDlg dlg(gs_, this);
    dlg.m_nBushou = std::clamp(battle.count[side], 0, CYasen::kMaxUnits);
    for (int i = 0; i < dlg.m_nBushou; ++i)
        dlg.m_Bushou[static_cast<std::size_t>(i)] = battle.generals[side][i];
    dlg.m_nShiro = battle.castle[side];
    dlg.m_strCaption = battle.caption;
    for (int s = 0; s < 2; ++s) {
        auto i = static_cast<std::size_t>(s);
        dlg.m_strHouse[i] = FormatText("%s兵力", HouseName(gs_, battle.house[i]).c_str());
        dlg.m_strCavalry[i] = FormatWithWords(w, {ReplaceWordKibahei}, "騎馬兵 %d", battle.cavalry[i] * u);
        dlg.m_strFoot[i] = FormatWithWords(w, {ReplaceWordAshigaruhei}, "足軽兵 %d", battle.foot[i] * u);
        dlg.m_strMuskets[i] = FormatWithWords(w, {ReplaceWordTeppou}, "鉄砲数 %d", battle.muskets[i] * u);
    }
    if (dlg.DoModal() != IDOK) return false;
    for (int line = 0; line < kLines; ++line) {
        auto l = static_cast<std::size_t>(line);
        out.count[l] = dlg.m_LineCount[l];
        out.units[l] = dlg.m_LineUnits[l];
    }
    return true;
}

void CYasenDlg::OnActionsChosen(const CYasen&, const std::array<int, 2>& actions) {
    shown_ = actions;
    DrawField(true);
    if (watchForTurn_) watchForTurn_->Start();
}

void CYasenDlg::OnVolley(const CYasen&, int side, int line) {
    if (line < 0 || line >= kLines) return;
    SetListColour(side, line, kFlashVolley);
    DrawField(true);
    Pause(kFlashMilliseconds);
    SetListColour(side, line, kLineFront);
}

void CYasenDlg::OnMelee(const CYasen&, int line0, int line1) {
    const int lines[2] = {line0, line1};
    for (int s = 0; s < 2; ++s)
        if (lines[s] >= 0 && lines[s] < kLines) SetListColour(s, lines[s], kFlashMelee);
    DrawField(true);
    Pause(kFlashMilliseconds);
    for (int s = 0; s < 2; ++s)
        if (lines[s] >= 0 && lines[s] < kLines) SetListColour(s, lines[s], kLineFront);
}

void CYasenDlg::OnBreakThrough(const CYasen&, int side, int line) {
    if (line < 0 || line >= kLines) return;
    SetListColour(side, line, kFlashMelee);
    Pause(kFlashMilliseconds);
    SetListColour(side, line, kLineBehind);
}

void CYasenDlg::OnMessage(const CYasen&, const std::string& text) {
    MbMsgBox(text.c_str());
}

// ---------------------------------------------------------------------------------------------

bool PlayYasenDlg(YasenSession& session, Wnd* owner, MbKorMap::CCtrlKorMap* map, shell::MusicPlayer* music) {
    EnsureApplication();
    CYasenDlg dlg(session, map, music, nullptr, owner);
    dlg.DoModal();
    if (!dlg.WasSetUp()) return false;
    int result = dlg.Result();
    // A dialog that ended before the battle was decided leaves the rest to the computer.
    session.battle.observer = nullptr;
    session.battle.playerBattle = false;
    while (result == -1)
        result = session.battle.AutoStep();
    session.result = result;
    return true;
}

}  // namespace rymd
