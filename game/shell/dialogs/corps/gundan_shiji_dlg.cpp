#include "game/shell/dialogs/corps/gundan_shiji_dlg.h"

#include <array>

#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/corps/gundan_list.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/gundan.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"
#include "platform/qt/dc.h"

namespace rymd {

using namespace ui;

namespace {

// The radio buttons in the order of their group: the index is the orders value.
constexpr std::array<int, 4> kShijiRadios = {CGundanShijiDlg::kTaikiId, CGundanShijiDlg::kShinkouId,
                                             CGundanShijiDlg::kNaiseiId, CGundanShijiDlg::kBothId};

}  // namespace

const DialogTemplate& CGundanShijiDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "軍団指示";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 500;
        d.cy = 330;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        constexpr std::uint32_t kRadio = WS_TABSTOP | BS_AUTORADIOBUTTON;
        d.items = {
            {kListId, ControlKind::ListView, "", 7, 7, 486, 80,
             WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE},
            {kHintId, ControlKind::Static, "国をクリックすると担当国を指定/解除できます", 7, 92, 300, 9,
             SS_LEFT, 0},
            {kMapPlaceId, ControlKind::Static, "", 7, 103, 380, 220, SS_LEFT, 0},
            {-1, ControlKind::Button, "行動指示", 395, 103, 98, 76, BS_GROUPBOX, 0},
            {kTaikiId, ControlKind::Button, "待機", 403, 116, 80, 12, kRadio | WS_GROUP, 0},
            {kShinkouId, ControlKind::Button, "侵攻", 403, 131, 80, 12, kRadio, 0},
            {kNaiseiId, ControlKind::Button, "内政", 403, 146, 80, 12, kRadio, 0},
            {kBothId, ControlKind::Button, "侵攻・内政", 403, 161, 80, 12, kRadio, 0},
            {-1, ControlKind::Button, "補助指示", 395, 184, 98, 32, BS_GROUPBOX, 0},
            {kShoryoukaId, ControlKind::Button, "侵攻地軍団所領化", 403, 198, 86, 12,
             WS_TABSTOP | BS_AUTOCHECKBOX | WS_GROUP, 0},
            {kOwnSwatchId, ControlKind::Static, "", 397, 226, 16, 10, SS_LEFT, 0},
            {-1, ControlKind::Static, "選択軍団担当国\n（点滅）", 417, 224, 76, 20, SS_LEFT, 0},
            {kOtherSwatchId, ControlKind::Static, "", 397, 252, 16, 10, SS_LEFT, 0},
            {-1, ControlKind::Static, "他軍団担当国", 417, 252, 76, 10, SS_LEFT, 0},
            {IDOK, ControlKind::Button, "OK", 443, 309, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CGundanShijiDlg::CGundanShijiDlg(GameState& gs, MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), korMap_(map), map_(map) {}

CGundanShijiDlg::~CGundanShijiDlg() = default;

void CGundanShijiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, ok_);
    DDX_Check(dx, kShoryoukaId, m_bShoryouka);
    for (std::size_t i = 0; i < kShijiRadios.size(); ++i) {
        auto* radio = dynamic_cast<Button*>(GetDlgItem(kShijiRadios[i]));
        if (!radio) continue;
        if (dx.saveAndValidate) {
            if (radio->GetCheck()) m_nOrder = static_cast<int>(i);
        } else {
            radio->SetCheck(m_nOrder == static_cast<int>(i));
        }
    }
}

bool CGundanShijiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (Wnd* hint = GetDlgItem(kHintId)) hint->ShowWindow(SW_HIDE);
    for (int id : {kTaikiId, kShinkouId, kNaiseiId, kBothId, kShoryoukaId})
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(false);
    for (int id : {kMapPlaceId, kOwnSwatchId, kOtherSwatchId})
        if (Wnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);
    map_.SetGameState(&gs_);
    map_.m_nMapMinWidth = 0;
    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                  MapDialogRect(DialogItemRect(Template(), kMapPlaceId)), this, kMapId);
    map_.FitAndDrawMap(-1);
    saved_.Duplicate(&map_.m_BackBmp);
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    map_.m_bBlink = true;
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    if (list_) {
        shell::InsertGundanListColumns(*list_, gs_, false, 80);
        rows_ = shell::FillGundanList(*list_, gs_, korMap_, false);
    }
    DrawColours();
    return true;
}

// The saved picture, the other corps' provinces in the quiet colour (the clean copy), then the
// chosen corps' provinces on top, so that they blink.
void CGundanShijiDlg::DrawColours() {
    if (saved_.IsEmpty()) return;
    map_.m_BackBmp.Duplicate(&saved_);
    for (int k : ListGundanOfDaimyou(gs_, gs_.nPlayerDaimyou)) {
        if (k == selGundan_) continue;
        for (std::int16_t kuni : GundanAt(gs_, k).tantouKuni)
            if (kuni >= 0) map_.PaintKuni(kuni, kOtherColour, false, 0, false);
    }
    map_.m_CleanBmp.Duplicate(&map_.m_BackBmp);
    if (IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, selGundan_))
        for (std::int16_t kuni : GundanAt(gs_, selGundan_).tantouKuni)
            if (kuni >= 0) map_.PaintKuni(kuni, kOwnColour, false, 0, false);
    map_.RedrawWindow();
}

// The list again from the game, the chosen corps' row still selected.
void CGundanShijiDlg::RefillList() {
    if (list_) rows_ = shell::FillGundanList(*list_, gs_, korMap_, false, selGundan_);
}

void CGundanShijiDlg::ChooseRow(int row) {
    if (!list_) return;
    const int k = shell::SelectGundanRow(*list_, row);
    if (k < 0 || !IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, k)) return;
    selGundan_ = k;
    DrawColours();
    if (Wnd* hint = GetDlgItem(kHintId)) hint->ShowWindow(SW_SHOW);
    for (int id : {kTaikiId, kShinkouId, kNaiseiId, kBothId, kShoryoukaId})
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(true);
    const std::uint16_t order = GundanAt(gs_, k).order;
    m_nOrder = order & 3;
    m_bShoryouka = (order & CGundan::kOrderShoryouka) != 0;
    UpdateData(false);
}

void CGundanShijiDlg::OnSetOrder() {
    UpdateData(true);
    if (!IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, selGundan_)) return;
    SetGundanOrderIndex(gs_, selGundan_, m_nOrder);
    RefillList();
}

void CGundanShijiDlg::OnShoryouka() {
    UpdateData(true);
    if (!IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, selGundan_)) return;
    SetGundanShoryouka(gs_, selGundan_, m_bShoryouka != 0);
    RefillList();
}

void CGundanShijiDlg::OnKuniClick(int kuni) {
    if (kuni < 0 || selGundan_ < 0) return;
    const GundanOutcome out = ToggleTantouKuni(gs_, gs_.nPlayerDaimyou, selGundan_, kuni);
    if (!out.message.empty()) MbMsgBox(out.message.c_str());
    if (!out.changed) return;
    RefillList();
    DrawColours();
}

bool CGundanShijiDlg::OnCommand(int id, int code, Wnd* from) {
    if (id == kMapId) {
        OnKuniClick(map_.m_nClickKuni);
        return true;
    }
    if (code == BN_CLICKED) {
        for (int radio : kShijiRadios)
            if (id == radio) {
                OnSetOrder();
                return true;
            }
        if (id == kShoryoukaId) {
            OnShoryouka();
            return true;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CGundanShijiDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kListId && header && header->code == NM_CLICK && list_) {
        ChooseRow(list_->GetFirstSelectedItem());
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

void CGundanShijiDlg::OnPaint(Dc& dc) {
    const std::pair<int, COLORREF> swatches[] = {{kOwnSwatchId, kOwnColour}, {kOtherSwatchId, kOtherColour}};
    for (const auto& [id, colour] : swatches) {
        const Rect r = MapDialogRect(DialogItemRect(Template(), id));
        dc.FillSolidRect(r, colour);
        dc.FrameRect(r, RGB(0, 0, 0));
    }
}

bool CGundanShijiDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

}  // namespace rymd
