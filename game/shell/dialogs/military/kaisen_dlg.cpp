#include "game/shell/dialogs/military/kaisen_dlg.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <tuple>
#include <utility>

#include "game/military/battle_common.h"
#include "game/military/battle_runners.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/music/music_player.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/clock.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

using namespace ui;
using battle::HouseName;
using battle::ShiroName;

namespace {

constexpr std::uint32_t kPlace = WS_CHILD | WS_VISIBLE;
constexpr COLORREF kWhite = RGB(255, 255, 255);
// The sea drawn when the background picture is missing.
constexpr COLORREF kPlainSea = RGB(30, 70, 110);

// The jitter of the ships' places: a fixed table of bits, read eight per byte from the lowest.
constexpr std::uint8_t kJitter[100] = {
    0x5A, 0x93, 0x2C, 0xE1, 0x47, 0xB8, 0x0D, 0x76, 0xC3, 0x19, 0x8E, 0x64, 0xF2, 0x35, 0xAB, 0x50, 0x9C,
    0x27, 0xD4, 0x6B, 0x12, 0xE8, 0x4F, 0xB1, 0x3A, 0x85, 0xC6, 0x7D, 0x08, 0x93, 0x5E, 0xA2, 0x61, 0xFC,
    0x17, 0x8B, 0xD0, 0x34, 0x69, 0xAE, 0x42, 0x9F, 0x05, 0xC8, 0x7B, 0x26, 0xE3, 0x58, 0xB4, 0x0F, 0x91,
    0x6C, 0xDA, 0x23, 0x86, 0x4D, 0xF0, 0x39, 0xA7, 0x5C, 0x1E, 0xC1, 0x72, 0x98, 0x2B, 0xE6, 0x45, 0xBD,
    0x03, 0x7A, 0xCF, 0x31, 0x94, 0x68, 0xDB, 0x1C, 0x83, 0x56, 0xA9, 0x3E, 0xF5, 0x0A, 0x67, 0xB2, 0x4C,
    0xE9, 0x15, 0x8D, 0x70, 0xC4, 0x2F, 0x99, 0x53, 0xAC, 0x36, 0xDE, 0x61, 0x0B, 0x87, 0xF3};

constexpr double kAngle = 0.2268926111111111;  // 13 degrees
constexpr int kCentreX = 245;
constexpr int kCentreY = 110;

std::string Number(long long n) {
    return std::to_string(n);
}

// The 8-bit picture's pixels that are not its transparent colour, with its top-left corner at
// (x, y) of the 24-bit board.
void ImposeTransparent(MbBmp::CControlBmp& board, const MbBmp::CControlBmp& icon, int x, int y) {
    if (icon.IsEmpty() || board.IsEmpty()) return;
    const COLORREF key = icon.HasTransparentColor() ? icon.GetTransparentColor() : icon.GetPixelColor(0, 0);
    const int w = icon.GetWidth(), h = icon.GetHeight();
    for (int j = 0; j < h; ++j) {
        const int by = y + j;
        if (by < 0 || by >= board.GetHeight()) continue;
        for (int i = 0; i < w; ++i) {
            const int bx = x + i;
            if (bx < 0 || bx >= board.GetWidth()) continue;
            const COLORREF c = icon.GetPixelColor(i, j);
            if (c != key) board.SetPixelColor(bx, by, c);
        }
    }
}

}  // namespace

// --- the picture window --------------------------------------------------------------------------

void CKaisenPictureWnd::OnPaint(Dc& dc) {
    const Rect c = GetClientRect();
    const int w = picture_ ? std::min(c.Width(), picture_->GetWidth()) : 0;
    const int h = picture_ ? std::min(c.Height(), picture_->GetHeight()) : 0;
    if (w > 0 && h > 0) dc.DrawControlBmp(0, 0, w, h, *picture_, 0, 0);
    if (w < c.Width()) dc.FillSolidRect(Rect(w, 0, c.right, c.bottom), GetSysColor(COLOR_BTNFACE));
    if (h < c.Height()) dc.FillSolidRect(Rect(0, h, w, c.bottom), GetSysColor(COLOR_BTNFACE));
}

// --- the board's geometry ------------------------------------------------------------------------

bool KaisenBoardGeometry::JitterBit(int i) {
    const int n = static_cast<int>(sizeof kJitter) * 8;
    i = ((i % n) + n) % n;
    return (kJitter[i / 8] >> (i % 8)) & 1;
}

Point KaisenBoardGeometry::Rotate(int x, int y) {
    const double X = x - kCentreX;
    const double Y = y - kCentreY;
    const double c = std::cos(kAngle), s = std::sin(kAngle);
    return Point(kCentreX + static_cast<int>(X * c - Y * s), kCentreY + static_cast<int>(-(X * s + Y * c)));
}

std::vector<KaisenShipPlace> KaisenBoardGeometry::Fleet(int x, int direction, int ships, int& bit) {
    std::vector<KaisenShipPlace> out;
    if (ships <= 0) return out;
    out.reserve(static_cast<std::size_t>(ships));
    const int firstRow = ships >= 7 ? 2 : ships >= 5 ? 1 : 0;
    for (int row = firstRow, k = 0; static_cast<int>(out.size()) < ships; ++row, ++k) {
        const int rowX = x + 25 * direction * k;
        for (int i = 0; i <= row && static_cast<int>(out.size()) < ships; ++i) {
            // Even rows: lanes 0, -2, 2, -4, 4, ...; odd rows: -1, 1, -3, 3, ...
            const int step = row % 2 == 0 ? (i + 1) / 2 * 2 : i / 2 * 2 + 1;
            const int lane = row % 2 == 0 ? (i % 2 == 1 ? -step : step) : (i % 2 == 0 ? -step : step);
            Point p = Rotate(rowX - 3 * lane, kCentreY + 17 * lane);
            if (JitterBit(bit++)) ++p.x;
            if (JitterBit(bit++)) ++p.y;
            out.push_back({p.x - kIconLeft, p.y - kIconUp});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const KaisenShipPlace& a, const KaisenShipPlace& b) { return a.y < b.y; });
    return out;
}

// --- the dialog ----------------------------------------------------------------------------------

const DialogTemplate& CKaisenDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "海戦";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 432;
        d.cy = 332;
        const std::uint32_t list = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER;
        d.items = {
            {kBoardId, ControlKind::Custom, "", 5, 5, 280, 147, kPlace, 0},
            {kPictureId, ControlKind::Custom, "", 290, 5, 137, 107, kPlace, 0},
            {kMessageId, ControlKind::Static, "", 290, 116, 137, 12, WS_CHILD | WS_VISIBLE | SS_CENTER, 0},
            {kCloseId, ControlKind::Button, "閉じる", 328, 132, 60, 16, kDialogButton, 0},
            {kStatus0Id, ControlKind::Static, "", 5, 156, 208, 56, kPlace | SS_LEFT, 0},
            {kStatus1Id, ControlKind::Static, "", 219, 156, 208, 56, kPlace | SS_LEFT, 0},
            {kList0Id, ControlKind::ListView, "", 5, 216, 208, 88, list, WS_EX_CLIENTEDGE},
            {kList1Id, ControlKind::ListView, "", 219, 216, 208, 88, list, WS_EX_CLIENTEDGE},
            {kAdvanceId, ControlKind::Button, "前進", 5, 310, 78, 16, kDialogButton, 0},
            {kFireBombId, ControlKind::Button, "焙烙火矢攻撃", 91, 310, 78, 16, kDialogButton, 0},
            {kBoardingId, ControlKind::Button, "接舷乗船攻撃", 177, 310, 78, 16, kDialogButton, 0},
            {kWaitId, ControlKind::Button, "待機", 263, 310, 78, 16, kDialogButton, 0},
            {kRetreatId, ControlKind::Button, "退却", 349, 310, 78, 16, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

int CKaisenDlg::ActionButton(int action) {
    switch (action) {
        case kKaisenWait: return kWaitId;
        case kKaisenAdvance: return kAdvanceId;
        case kKaisenBoard: return kBoardingId;
        case kKaisenFireBomb: return kFireBombId;
        case kKaisenRetreat: return kRetreatId;
        default: return 0;
    }
}

CKaisenDlg::CKaisenDlg(KaisenSession& session, MbKorMap::CCtrlKorMap* map, Wnd* parent,
                       const shell::CPictureStore* store)
    : Dialog(Template(), parent),
      session_(session),
      battle_(session.battle),
      gs_(session.battle.State()),
      map_(map),
      store_(store) {
    SetPacing(nullptr, nullptr);
}

CKaisenDlg::~CKaisenDlg() {
    if (battle_.observer == this) battle_.observer = nullptr;
}

void CKaisenDlg::SetPacing(Pause pause, Ticks ticks) {
    pause_ = pause ? std::move(pause)
                   : Pause([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    ticks_ = ticks ? std::move(ticks) : Ticks(&TickCountMs);
}

void CKaisenDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kCloseId, close_);
    DDX_Control(dx, kRetreatId, retreat_);
    DDX_Control(dx, kWaitId, wait_);
    DDX_Control(dx, kFireBombId, fireBomb_);
    DDX_Control(dx, kBoardingId, boarding_);
    DDX_Control(dx, kAdvanceId, advance_);
    DDX_Control(dx, kBoardId, boardWnd_);
    DDX_Control(dx, kPictureId, pictureWnd_);
}

std::string CKaisenDlg::ActionText(int action) const {
    switch (action) {
        case kKaisenWait: return "待機";
        case kKaisenAdvance: return "前進";
        case kKaisenBoard: return "接舷乗船攻撃";
        case kKaisenFireBomb: return ReplaceWordHourokuHiya("焙烙火矢攻撃", gs_.ScenarioWords);
        case kKaisenRetreat: return "退却";
        default: return "";
    }
}

std::string CKaisenDlg::TitleText() const {
    if (battle_.castles[1] < 0) return ShiroName(gs_, battle_.castles[0]) + " 沿海の海戦";
    return ShiroName(gs_, battle_.castles[0]) + "・" + ShiroName(gs_, battle_.castles[1]) + " 沿海の海戦";
}

std::string CKaisenDlg::WeatherText() const {
    return battle_.rain ? ReplaceWordHourokuHiya("天候 雨（焙烙火矢攻撃不可）", gs_.ScenarioWords)
                        : "天候 晴れ";
}

std::array<std::string, 5> CKaisenDlg::ColumnTitles() const {
    return {"名前", ReplaceWordKibahei("騎馬兵", gs_.ScenarioWords),
            ReplaceWordAshigaruhei("足軽兵", gs_.ScenarioWords), "武勇", "智謀"};
}

void CKaisenDlg::LoadPictures() {
    const shell::CPictureStore& store = store_ ? *store_ : shell::PictureStore();
    // The scenario's navy picture when it names one, else the built-in one.
    if (!shell::CopyScenarioPicture(map_, gs_.nGunsenLargePicture, picture_)) store.LoadSuigun(picture_);
    store.LoadKaisenPictures(sea_, icons_[0], icons_[1]);
    // The scenario's own ship units (8-bit pictures of the province map).
    const std::array<int, 2> named{gs_.nGunsenUnitPictureL, gs_.nGunsenUnitPictureR};
    for (std::size_t s = 0; s < 2; ++s) {
        MbBmp::CControlBmp* p = map_ && named[s] >= 0 ? map_->Picture(named[s]) : nullptr;
        if (p && p->GetBitCount() == 8) icons_[s].Duplicate(p);
    }
    for (MbBmp::CControlBmp& icon : icons_)
        if (!icon.IsEmpty()) icon.SetTransparentColor(icon.GetPixelColor(0, 0));
    // The castle type's own naval background.
    const int castle = battle_.castles[0];
    if (IsValidShiro(gs_, castle) && map_) {
        const int type = ShiroMapAt(gs_, castle).shiroType;
        if (type >= 0 && type < std::min(gs_.nShiroType, GameState::kMaxShiroType)) {
            const std::uint16_t code = gs_.ShiroTypeTbl[static_cast<std::size_t>(type)].words[5];
            MbBmp::CControlBmp* p = (code & 0x8000) ? nullptr : map_->Picture(code);
            if (p && !p->IsEmpty()) sea_.CreateDuplicate(p->GetHbmp(), 24);
        }
    }
    if (sea_.IsEmpty() && sea_.CreateBitmap(KaisenBoardGeometry::kWidth, KaisenBoardGeometry::kHeight, 24))
        sea_.FillRect(0, 0, KaisenBoardGeometry::kWidth, KaisenBoardGeometry::kHeight, kPlainSea);
    else if (sea_.GetBitCount() != 24) {
        MbBmp::CControlBmp deep;
        if (deep.CreateDuplicate(sea_.GetHbmp(), 24)) sea_ = std::move(deep);
    }
}

bool CKaisenDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (music_) music_->RequestSituation(shell::MusicPlayer::kBattle);
    battle_.observer = this;
    fireBomb_.SetWindowText(ActionText(kKaisenFireBomb));

    fontSmall_.CreateFont(14, 7, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          "ＭＳ ゴシック");
    fontList_.CreateFont(12, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                         "ＭＳ Ｐゴシック");
    fontTitle_.CreateFont(17, 0, 0, 0, FW_BOLD, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          "ＭＳ ゴシック");

    LoadPictures();
    // The board and the picture keep their pixel sizes.
    for (auto [wnd, w, h] :
         {std::tuple<Wnd*, int, int>{&boardWnd_, KaisenBoardGeometry::kWidth, KaisenBoardGeometry::kHeight},
          std::tuple<Wnd*, int, int>{&pictureWnd_, 240, 160}}) {
        Rect r = wnd->GetWindowRect();
        ScreenToClient(r);
        wnd->MoveWindow(r.left, r.top, w, h, false);
    }
    pictureWnd_.SetPicture(&picture_);
    boardWnd_.SetPicture(&board_);

    // The columns of both lists.
    const std::array<std::string, 5> titles = ColumnTitles();
    constexpr std::array<int, 5> widths{100, 50, 50, 42, 42};
    for (std::size_t s = 0; s < 2; ++s) {
        lists_[s] = dynamic_cast<ListCtrl*>(GetDlgItem(s == 0 ? kList0Id : kList1Id));
        ListCtrl* l = lists_[s];
        if (!l) continue;
        l->SetFont(&fontList_, false);
        l->SetBkColor(kWhite);
        l->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        for (std::size_t c = 0; c < titles.size(); ++c)
            l->InsertColumn(static_cast<int>(c), titles[c], c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT, widths[c]);
    }

    battle_.Setup();

    // The status boards over their places.
    const std::array<COLORREF, 2> top{RGB(40, 70, 160), RGB(160, 50, 40)};
    const std::array<COLORREF, 2> bottom{RGB(15, 30, 80), RGB(80, 20, 15)};
    for (std::size_t s = 0; s < 2; ++s) {
        Wnd* place = GetDlgItem(s == 0 ? kStatus0Id : kStatus1Id);
        if (!place) continue;
        Rect r = place->GetWindowRect();
        ScreenToClient(r);
        place->ShowWindow(SW_HIDE);
        status_[s].Create(r, this);
        status_[s].SetFont(&fontSmall_);
        status_[s].SetBackColorVertGradation(top[s], bottom[s], true);
        status_[s].SetTextColor(kWhite);
        status_[s].SetTextShadowMode(true);
    }

    FillLists();
    DrawBoard();
    result_ = -1;
    if (Wnd* m = GetDlgItem(kMessageId)) m->SetWindowText("");
    close_.ShowWindow(SW_HIDE);
    UpdateStatus();
    return false;  // the focus was placed by the status update
}

void CKaisenDlg::FillLists() {
    const int unit = HeiUnit(gs_);
    for (std::size_t s = 0; s < 2; ++s) {
        ListCtrl* l = lists_[s];
        if (!l) continue;
        l->DeleteAllItems();
        for (int i = 0; i < battle_.count[s]; ++i) {
            const int u = battle_.units[s][static_cast<std::size_t>(i)];
            std::array<std::string, 5> t;
            if (u & CKaisen::kGarrisonBit) {
                const int c = u & 0x7FFF;
                t = {ShiroName(gs_, c) + "守備兵", "0",
                     Number(static_cast<long long>(IsValidShiro(gs_, c) ? ShiroAt(gs_, c).shubihei : 0) *
                            unit),
                     FormatText("%d+%d", 3, battle_.commanderAbility[s]), "0"};
            } else if (IsValidBushou(gs_, u)) {
                const CBushou& b = BushouAt(gs_, u);
                t = {b.name, Number(static_cast<long long>(b.cavalry) * unit),
                     Number(static_cast<long long>(b.foot) * unit),
                     FormatText("%d+%d", static_cast<int>(b.buyuu), battle_.commanderAbility[s]),
                     Number(b.chibou)};
            } else {
                continue;
            }
            const int row = l->InsertItem(l->GetItemCount(), t[0]);
            for (int c = 1; c < 5; ++c)
                l->SetItemText(row, c, t[static_cast<std::size_t>(c)]);
        }
    }
}

void CKaisenDlg::DrawFleet(int side, int& bit) {
    const int x = KaisenBoardGeometry::FleetX(side, battle_.positions[static_cast<std::size_t>(side)]);
    const int direction = side == 0 ? -1 : 1;
    for (const KaisenShipPlace& p :
         KaisenBoardGeometry::Fleet(x, direction, battle_.ships[static_cast<std::size_t>(side)], bit))
        ImposeTransparent(board_, icons_[static_cast<std::size_t>(side)], p.x, p.y);
}

void CKaisenDlg::DrawLabel(int side, int action) {
    const std::string text = ActionText(action);
    if (text.empty()) return;
    Dc dc(board_);
    dc.SelectFont(&fontSmall_);
    const Size extent = dc.GetTextExtent(text);
    // Above the fleet's first row, in the side's colour.
    const Point at = KaisenBoardGeometry::Rotate(
        KaisenBoardGeometry::FleetX(side, battle_.positions[static_cast<std::size_t>(side)]), kCentreY);
    const int w = extent.cx + 10;
    const int h = extent.cy + 6;
    const int left = std::clamp(at.x - w / 2, 2, std::max(2, board_.GetWidth() - w - 2));
    const int top = std::max(2, at.y - KaisenBoardGeometry::kIconUp - h - 6);
    const Rect box(left, top, left + w, top + h);
    dc.FillSolidRect(box, side == 0 ? kLabelColour0 : kLabelColour1);
    dc.FrameRect(box, kWhite);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kWhite);
    dc.DrawText(text, box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CKaisenDlg::DrawBoard() {
    board_.Duplicate(&sea_);
    board_.ClearTransparentColor();
    int bit = 0;
    DrawFleet(0, bit);
    DrawFleet(1, bit);
    {
        Dc dc(board_);
        dc.SetBkMode(TRANSPARENT);
        auto shadowed = [&](const std::string& text, Rect r, unsigned format) {
            dc.SetTextColor(RGB(0, 0, 0));
            Rect s(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1);
            dc.DrawText(text, s, format);
            dc.SetTextColor(kWhite);
            dc.DrawText(text, r, format);
        };
        dc.SelectFont(&fontTitle_);
        shadowed(TitleText(), battle_.castles[1] < 0 ? Rect(6, 5, 240, 35) : Rect(6, 5, 350, 35),
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        dc.SelectFont(&fontSmall_);
        shadowed(WeatherText(), Rect(280, 196, 488, 220),
                 DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    for (int s = 0; s < 2; ++s)
        if (shownActions_[static_cast<std::size_t>(s)] >= 0)
            DrawLabel(s, shownActions_[static_cast<std::size_t>(s)]);
    boardWnd_.Invalidate(false);
}

void CKaisenDlg::UpdateStatusBoards() {
    const std::array<int, 2> soldiers = battle_.GetTotalSoldiers();
    const int unit = HeiUnit(gs_);
    for (std::size_t s = 0; s < 2; ++s) {
        MbWnd::CDisplayBoard& b = status_[s];
        if (!b.IsWindow()) continue;
        b.ClearBoard();
        const std::array<std::string, 5> lines = {
            HouseName(gs_, session_.houses[s]),
            FormatText("水軍大将 %s （水軍統率能力 %d）", battle_.sideNames[s].c_str(),
                       battle_.commanderAbility[s]),
            ReplaceWordGunsen(FormatText("軍船数 %d", battle_.ships[s]), gs_.ScenarioWords),
            "総兵数 " + Number(static_cast<long long>(soldiers[s]) * unit),
            FormatText("士気 %d", battle_.morale[s] / 10)};
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Rect r(8, 4 + static_cast<int>(i) * 15, b.GetBoardWidth() - 6, 4 + static_cast<int>(i + 1) * 15);
            b.DrawTextA(lines[i].c_str(), &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
        b.Invalidate(false);
    }
}

void CKaisenDlg::UpdateStatus() {
    FillLists();
    if (result_ == 0) {
        MbMsgBox("両軍は退却しました");
    } else if (result_ == 1 || result_ == 2) {
        const std::string house = HouseName(gs_, session_.houses[result_ == 2 ? 0 : 1]);
        MbMsgBox(FormatText("%sの軍勢は退却しました", house.c_str()).c_str());
        // The beaten side's losses come after the message; the lists then show them.
        battle_.ApplyDefeat(result_);
        FillLists();
    }
    Wnd* message = GetDlgItem(kMessageId);
    std::array<MbWnd::CGradationButton*, 5> actions{&advance_, &boarding_, &fireBomb_, &retreat_, &wait_};
    if (result_ != -1) {
        for (MbWnd::CGradationButton* b : actions)
            b->EnableWindow(false);
        close_.ShowWindow(SW_SHOW);
        close_.SetFocus();
        if (message)
            message->SetWindowText(result_ == 0
                                       ? std::string("引き分け")
                                       : HouseName(gs_, session_.houses[result_ == 1 ? 0 : 1]) + "の勝利");
    } else {
        if (message) message->SetWindowText(FormatText("ターン %d/%d", Turn(), CKaisen::kMaxTurns));
        advance_.EnableWindow(battle_.IsActionAllowed(kKaisenAdvance));
        wait_.EnableWindow(battle_.IsActionAllowed(kKaisenWait));
        boarding_.EnableWindow(battle_.IsActionAllowed(kKaisenBoard));
        fireBomb_.EnableWindow(battle_.IsActionAllowed(kKaisenFireBomb));
        retreat_.EnableWindow(true);
        // The focus moves only when it is outside the dialog or on a disabled control.
        Wnd* focus = GetFocus();
        if (!focus || focus->GetParent() != this || !focus->IsWindowEnabled())
            (battle_.Adjacent() ? static_cast<Wnd&>(boarding_) : static_cast<Wnd&>(advance_)).SetFocus();
    }
    UpdateStatusBoards();
}

void CKaisenDlg::OnAction(int action) {
    if (result_ != -1 || !battle_.IsActionAllowed(action)) return;
    shownActions_ = battle_.ChoosePlayerTurn(0, action);
    DrawBoard();
    boardWnd_.RedrawWindow();
    // The turn takes at least its pause from the moment it is fought.
    const std::uint32_t start = ticks_();
    result_ = battle_.PlayChosenTurn(shownActions_, false);
    const std::uint32_t elapsed = ticks_() - start;
    if (elapsed < static_cast<std::uint32_t>(kTurnMs)) pause_(kTurnMs - static_cast<int>(elapsed));
    UpdateStatus();
    shownActions_ = {-1, -1};
    DrawBoard();
}

void CKaisenDlg::Flash(unsigned sides, COLORREF colour) {
    for (COLORREF c : {colour, kWhite}) {
        for (std::size_t s = 0; s < 2; ++s)
            if ((sides >> s) & 1 && lists_[s]) lists_[s]->SetBkColor(c);
        RedrawWindow();
        if (c != kWhite) pause_(kFlashMs);
    }
}

void CKaisenDlg::OnFireBomb(const CKaisen&, int hitMask) {
    Flash(static_cast<unsigned>(hitMask) & 3u, kFireBombFlash);
}

void CKaisenDlg::OnBoarding(const CKaisen&) {
    Flash(3u, kBoardingFlash);
}

bool CKaisenDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == BN_CLICKED) {
        for (int a = kKaisenWait; a <= kKaisenRetreat; ++a)
            if (id == ActionButton(a)) {
                OnAction(a);
                return true;
            }
        if (id == kCloseId) {
            if (result_ != -1) EndDialog(IDOK);
            return true;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool RunKaisenDlg(KaisenSession& session, MbKorMap::CCtrlKorMap* map, shell::MusicPlayer* music,
                  Wnd* parent) {
    // A side whose units all name nothing has not come to fight: the rules decide without a battle.
    if (session.battle.count[0] <= 0 || session.battle.count[1] <= 0) return false;
    EnsureApplication();
    CKaisenDlg dlg(session, map, parent);
    dlg.SetMusic(music);
    dlg.DoModal();
    if (dlg.Result() == -1 && dlg.Battle().turn == 0) return false;
    // A window closed before the end counts as a draw.
    session.result = dlg.Result() == -1 ? 0 : dlg.Result();
    return true;
}

}  // namespace rymd
