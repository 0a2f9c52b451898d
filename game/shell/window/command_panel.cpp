#include "game/shell/window/command_panel.h"

#include <algorithm>

#include "game/shell/window/status_bar.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"

namespace rymd::shell {

using namespace ui;

namespace {

constexpr std::uint32_t kButton = WS_CHILD | WS_TABSTOP | BS_OWNERDRAW;  // hidden until shown
constexpr std::uint32_t kShown = WS_CHILD | WS_VISIBLE;
constexpr COLORREF kPhaseTop = RGB(130, 150, 150);
constexpr COLORREF kPhaseBottom = RGB(82, 97, 97);

}  // namespace

const DialogTemplate& CCommandPanelDlg::PanelTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.style = WS_CHILD;
        d.cx = 111;
        d.cy = 420;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kFundsLabelId, ControlKind::Static, "資金残高", 2, 22, 33, 8, kShown | SS_LEFT, 0},
            {kFundsId, ControlKind::Static, "0", 43, 22, 66, 8, kShown | SS_LEFT, 0},
            {kAutoId, ControlKind::Button, "AUTO", 76, 19, 33, 12, kButton, 0},
            {kCommandEndId, ControlKind::Button, "コマンド終了", 2, 32, 107, 17,
             kButton | WS_VISIBLE | WS_DISABLED, 0},
            {-1, ControlKind::Static, "選択国情報", 2, 52, 43, 8, kShown | SS_LEFT, 0},
            {kKuniBoardPlaceId, ControlKind::Static, "", 2, 60, 107, 64, WS_CHILD | SS_LEFT, 0},
            {kCommandIds[0], ControlKind::Button, "CMD1", 2, 127, 53, 15, kButton, 0},
            {kCommandIds[1], ControlKind::Button, "CMD2", 56, 127, 53, 15, kButton, 0},
            {kCommandIds[2], ControlKind::Button, "CMD3", 2, 143, 53, 15, kButton, 0},
            {kCommandIds[3], ControlKind::Button, "CMD4", 56, 143, 53, 15, kButton, 0},
            {kCommandIds[4], ControlKind::Button, "CMD5", 2, 159, 53, 15, kButton, 0},
            {kCommandIds[5], ControlKind::Button, "CMD6", 56, 159, 53, 15, kButton, 0},
            {kCommandIds[6], ControlKind::Button, "CMD7", 2, 175, 53, 15, kButton, 0},
            {kCommandIds[7], ControlKind::Button, "CMD8", 56, 175, 53, 15, kButton, 0},
            {kCommandIds[8], ControlKind::Button, "CMD9", 2, 191, 53, 15, kButton, 0},
            {kCommandIds[9], ControlKind::Button, "CMD10", 56, 191, 53, 15, kButton, 0},
            {kShowNamesId, ControlKind::Button, "大名家名表示", 3, 212, 38, 8,
             WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX, 0},
            {kChangeHouseId, ControlKind::Button, "担当大名家変更", 56, 210, 53, 11, kButton, 0},
            {kKouekisenListId, ControlKind::Button, "交易船一覧", 56, 226, 53, 15, kButton | WS_VISIBLE, 0},
            {kBushouListId, ControlKind::Button, "武将一覧", 2, 242, 53, 15, kButton | WS_VISIBLE, 0},
            {kDaimyouListDlgId, ControlKind::Button, "大名家一覧", 56, 242, 53, 15, kButton | WS_VISIBLE, 0},
            {kZenkokuId, ControlKind::Button, "全国マップに戻る", 2, 261, 107, 18, kButton | WS_VISIBLE, 0},
            {kHouseListLabelId, ControlKind::Static, "大名家リスト", 2, 284, 57, 8, kShown | SS_LEFT, 0},
            {kColorDisplayId, ControlKind::Button, "色分け表示", 64, 284, 45, 8,
             kShown | WS_TABSTOP | BS_AUTOCHECKBOX, 0},
            {kHouseListId, ControlKind::ListView, "List1", 2, 294, 107, 68,
             kShown | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0},
            {kCommandIds[10], ControlKind::Button, "CMD11", 2, 402, 53, 15, kButton, 0},
            {kCommandIds[11], ControlKind::Button, "CMD12", 56, 402, 53, 15, kButton, 0},
        };
        return d;
    }();
    return t;
}

CCommandPanelDlg::CCommandPanelDlg(Wnd* parent) : Dialog(PanelTemplate(), parent) {}

CCommandPanelDlg::~CCommandPanelDlg() = default;

void CCommandPanelDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kCommandEndId, endButton_);
    for (std::size_t i = 0; i < commands_.size(); ++i)
        DDX_Control(dx, kCommandIds[i], commands_[i]);
    const int listIds[] = {kZenkokuId,       kDaimyouListDlgId, kBushouListId,
                           kKouekisenListId, kAutoId,           kChangeHouseId};
    for (std::size_t i = 0; i < listButtons_.size(); ++i)
        DDX_Control(dx, listIds[i], listButtons_[i]);
    DDX_Control(dx, kHouseListId, houseList_);
}

bool CCommandPanelDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    // The controls the template leaves hidden (the layer shows every control it creates).
    for (const DialogItem& item : PanelTemplate().items)
        if (!(item.style & WS_VISIBLE))
            if (Wnd* w = GetDlgItem(item.id)) w->ShowWindow(SW_HIDE);
    phaseFont_.CreateFont(16, 0, 0, 0, FW_BOLD, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          "ＭＳ Ｐゴシック");
    infoFont_.CreateFont(12, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                         "ＭＳ ゴシック");

    const Rect client = GetClientRect();
    phaseLabel_.Create(Rect(0, 0, client.Width(), 28), this);
    phaseLabel_.SetFont(&phaseFont_);
    phaseLabel_.SetBackColorVertGradation(kPhaseTop, kPhaseBottom, true);
    phaseLabel_.SetTextColor(RGB(255, 255, 255));
    phaseLabel_.SetSinkMode(true);
    phaseLabel_.SetHilightColor(RGB(255, 255, 255));
    phaseLabel_.SetTextShadowMode(true);
    phaseLabel_.SetStripeMode(true);
    DrawPhaseLabel("イベントフェイズ");

    Rect place;
    if (Wnd* w = GetDlgItem(kKuniBoardPlaceId)) {
        place = w->GetWindowRect();
        ScreenToClient(place);
    }
    place.right -= 1;
    kuniBoard_.Create(place, this);
    kuniBoard_.SetBackColorHorzGradation(RGB(255, 255, 255), RGB(250, 245, 230), true);
    kuniBoard_.SetSinkMode(true);
    kuniBoard_.SetHilightColor(RGB(255, 255, 255));
    kuniBoard_.SetFont(&infoFont_);
    DrawKuniInfo(-1);

    houseList_.SetImageList(icons_, LVSIL_SMALL);
    houseList_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    houseList_.InsertColumn(0, ReplaceWordDaimyouke("大名家", ScreenWords(gs_)), LVCFMT_LEFT, 74);
    houseList_.InsertColumn(1, ReplaceWordKokudaka("石高（臣従含）", ScreenWords(gs_)), LVCFMT_LEFT, 91);
    FitDaimyouList(client.Height());

    // Row 0 the left column, row 1 the right; position 0 at the top. 0: no button.
    grid_[0] = {
        kCommandEndId, kCommandIds[0], kCommandIds[2], kCommandIds[4], kCommandIds[6], kCommandIds[8], 0,
        kBushouListId, kZenkokuId};
    grid_[1] = {kCommandEndId,  kCommandIds[1],   kCommandIds[3],    kCommandIds[5], kCommandIds[7],
                kCommandIds[9], kKouekisenListId, kDaimyouListDlgId, kZenkokuId};
    curRow_ = 0;
    curPos_ = 1;
    commands_[0].SetFocus();
    initialised_ = true;
    return false;
}

void CCommandPanelDlg::SetButtonCaptions() {
    const ScenarioWordArray& w = ScreenWords(gs_);
    auto set = [this](int id, const std::string& text) {
        if (Wnd* c = GetDlgItem(id)) c->SetWindowText(text);
    };
    set(kDaimyouListDlgId, ReplaceWordDaimyouke("大名家一覧", w));
    set(kHouseListLabelId, ReplaceWordDaimyouke("大名家リスト", w));
    set(kBushouListId, ReplaceWordBushou("武将一覧", w));
    set(kChangeHouseId, ReplaceWordDaimyouke("担当大名家変更", w));
    set(kKouekisenListId, ReplaceWordKouekisen("交易船一覧", w));
    set(kZenkokuId, ReplaceWordZenkoku("全国マップに戻る", w));
}

void CCommandPanelDlg::ShowChangeHouseButton(bool show) {
    if (Wnd* c = GetDlgItem(kChangeHouseId)) c->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

Wnd* CCommandPanelDlg::GridButton(int row, int position) const {
    if (row < 0 || row >= kGridRows || position < 0 || position >= kGridPositions) return nullptr;
    const int id = grid_[static_cast<std::size_t>(row)][static_cast<std::size_t>(position)];
    return id != 0 ? GetDlgItem(id) : nullptr;
}

bool CCommandPanelDlg::GridCellVisible(int row, int position) const {
    Wnd* w = GridButton(row, position);
    return w && w->IsWindowVisible();
}

void CCommandPanelDlg::SetFocusButton(int row, int position) {
    Wnd* w = GridButton(row, position);
    if (!w) return;
    w->SetFocus();
    curRow_ = row;
    curPos_ = position;
}

void CCommandPanelDlg::DrawPhaseLabel(const std::string& text) {
    phaseText_ = text;
    phaseLabel_.ClearBoard();
    const int w = phaseLabel_.GetBoardWidth(), h = phaseLabel_.GetBoardHeight();
    Rect r(0, 0, w, h);
    phaseLabel_.DrawTextA(text.c_str(), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    auto fill = [this](int l, int t, int rgt, int b, COLORREF c) {
        const Rect rc(l, t, rgt, b);
        phaseLabel_.FillSolidRect(&rc, c);
    };
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    fill(0, 0, w - 1, 1, black);
    fill(0, h - 2, w - 1, h - 1, black);
    fill(0, 0, 1, h - 1, black);
    fill(w - 2, 0, w - 1, h - 1, black);
    fill(1, 1, w - 2, 2, white);
    fill(1, h - 3, w - 2, h - 2, white);
    fill(1, 1, 2, h - 2, white);
    fill(w - 3, 1, w - 2, h - 2, white);
    fill(2, 2, w - 3, 3, black);
    fill(2, 2, 3, h - 3, black);
    phaseLabel_.Invalidate(false);
}

void CCommandPanelDlg::DrawKuniInfo(int kuni) {
    kuniBoard_.ClearBoard();
    const ScenarioWordArray& w = ScreenWords(gs_);
    const int width = kuniBoard_.GetBoardWidth();
    const std::string labels[6] = {
        "国名",
        ReplaceWordTeppou(ReplaceWordTeppouSeisan("鉄砲生産", w), w),
        ReplaceWordKokudaka("石高", w),
        ReplaceWordKeizai("経済", w),
        ReplaceWordKouzan("鉱山", w),
        "貿易港",
    };
    const unsigned fmt = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
    for (int i = 0; i < 6; ++i) {
        Rect r(10, 5 + 15 * i, width, 5 + 15 * i + 12);
        kuniBoard_.DrawTextA(labels[i].c_str(), &r, fmt);
    }
    if (kuni != -1) {
        std::string values[6];
        if (map_ && kuni >= 0 && kuni < map_->KuniCount()) values[0] = KuniNameText(*map_, kuni, gs_);
        long long yield = 0;
        int keizai = 0, kouzan = 0, ports = 0;
        bool teppou = false;
        if (gs_) {
            if (kuni >= 0 && kuni < std::min(gs_->nKuni, GameState::kMaxKuni))
                teppou = gs_->TeppouSeisanTbl[static_cast<std::size_t>(kuni)].current != 0.0;
            for (int s : ShiroIndexes(*gs_)) {
                const ShiroMapRecord& m = ShiroMapAt(*gs_, s);
                if (m.kuni != kuni) continue;
                const CShiro& c = ShiroAt(*gs_, s);
                yield += c.kokudaka;
                keizai += c.keizai;
                kouzan += c.kouzan;
                ports += (m.flags & ShiroMapRecord::kFlagPort) != 0;
            }
        }
        values[1] = teppou ? "可能" : "不可";
        values[2] = KokudakaText(yield, gs_);
        values[3] = FormatText("%d", keizai);
        values[4] = FormatText("%d", kouzan);
        values[5] = FormatText("%d", ports);
        for (int i = 0; i < 6; ++i) {
            Rect r(76, 5 + 15 * i, width - 10, 5 + 15 * i + 12);
            kuniBoard_.DrawTextA(values[i].c_str(), &r, fmt);
        }
    }
    kuniBoard_.Invalidate(false);
}

int CCommandPanelDlg::StoreColorDaimyou(int* houses) const {
    const int n = std::min(10, houseList_.GetItemCount());
    for (int i = 0; i < n; ++i)
        houses[i] = static_cast<int>(houseList_.GetItemData(i));
    return n;
}

void CCommandPanelDlg::FitDaimyouList(int height) {
    if (!houseList_.IsWindow()) return;
    Rect r = houseList_.GetWindowRect();
    ScreenToClient(r);
    if (r.top < height - 22) houseList_.MoveWindow(Rect(r.left, r.top, r.right, height - 2));
}

void CCommandPanelDlg::OnSize(int type, int cx, int cy) {
    Dialog::OnSize(type, cx, cy);
    if (initialised_) FitDaimyouList(cy);
}

bool CCommandPanelDlg::OnCommand(int id, int code, Wnd* from) {
    // Everything goes on to the main game window, Escape too (it asks there whether to quit);
    // the panel's own OnOK and OnCancel do nothing.
    if (Wnd* owner = GetParent()) Wnd::SendCommand(owner, id, code, from);
    return Dialog::OnCommand(id, code, from);
}

bool CCommandPanelDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (Wnd* owner = GetParent()) {
        const std::intptr_t r = Wnd::SendNotify(owner, header);
        if (result) *result = r;
    }
    return Dialog::OnNotify(id, header, result);
}

std::pair<int, int> CCommandPanelDlg::FindFocusButton() const {
    Wnd* focus = GetFocus();
    if (!focus) return {-1, -1};
    for (int p = 0; p < kGridPositions; ++p)
        for (int r = 0; r < kGridRows; ++r)
            if (GridButton(r, p) == focus) return {(p == 0 || p == kGridPositions - 1) ? curRow_ : r, p};
    return {-1, -1};
}

bool CCommandPanelDlg::PreTranslateMessage(Msg& msg) {
    if (msg.message != WM_KEYDOWN) return Dialog::PreTranslateMessage(msg);
    const bool shift = (msg.flags & MK_SHIFT) != 0;
    const auto [row, pos] = FindFocusButton();
    Wnd* focus = GetFocus();
    if (row < 0) {
        Wnd* colour = GetDlgItem(kColorDisplayId);
        if (focus && focus == colour && msg.key == VK_TAB) {
            if (!shift)
                houseList_.SetFocus();
            else
                SetFocusButton(curRow_, curPos_);
            return true;
        }
        if (focus && focus == &houseList_ && msg.key == VK_TAB) {
            if (!shift)
                SetFocusButton(curRow_, curPos_);
            else if (colour)
                colour->SetFocus();
            return true;
        }
        if (focus && focus == &houseList_ && msg.key == VK_RETURN) {
            // As a click on the list: the owner shows the selected house's information.
            if (houseList_.GetFirstSelectedItem() >= 0)
                if (Wnd* owner = GetParent()) {
                    NotifyHeader h{&houseList_, kHouseListId, NM_CLICK};
                    Wnd::SendNotify(owner, &h);
                }
            return true;
        }
        return Dialog::PreTranslateMessage(msg);
    }
    switch (msg.key) {
        case VK_UP:
            for (int p = pos - 1; p >= 0; --p)
                if (GridCellVisible(row, p)) {
                    SetFocusButton(row, p);
                    break;
                }
            return true;
        case VK_DOWN:
            for (int p = pos + 1; p < kGridPositions; ++p)
                if (GridCellVisible(row, p)) {
                    SetFocusButton(row, p);
                    break;
                }
            return true;
        case VK_LEFT:
            if (row == 1 && GridCellVisible(0, pos)) SetFocusButton(0, pos);
            return true;
        case VK_RIGHT:
            if (row == 0 && GridCellVisible(1, pos)) SetFocusButton(1, pos);
            return true;
        case VK_TAB:
            curRow_ = row;
            curPos_ = pos;
            if (Wnd* colour = GetDlgItem(kColorDisplayId)) colour->SetFocus();
            return true;
        default: return Dialog::PreTranslateMessage(msg);
    }
}

}  // namespace rymd::shell
