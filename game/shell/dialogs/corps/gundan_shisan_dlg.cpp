#include "game/shell/dialogs/corps/gundan_shisan_dlg.h"

#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/corps/gundan_list.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/gundan.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace ui;

namespace {

constexpr const char* kShisanNotANumber = "整数を入力してください";

}  // namespace

const DialogTemplate& CGundanShisanDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "軍団資産";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 500;
        d.cy = 220;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        constexpr std::uint32_t kEdit = WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL;
        d.items = {
            {kListId, ControlKind::ListView, "", 7, 7, 486, 110,
             WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE},
            {kHouseGroupId, ControlKind::Button, "大名家資産", 7, 122, 150, 50, BS_GROUPBOX, 0},
            {-1, ControlKind::Static, "資金", 15, 136, 50, 9, SS_LEFT, 0},
            {kHouseFundsId, ControlKind::Static, "", 70, 136, 70, 9, SS_RIGHT, 0},
            {kHouseTeppouLabelId, ControlKind::Static, "未配備鉄砲", 15, 154, 50, 9, SS_LEFT, 0},
            {kHouseTeppouId, ControlKind::Static, "", 70, 154, 70, 9, SS_RIGHT, 0},
            {-1, ControlKind::Button, "軍団", 165, 122, 328, 50, BS_GROUPBOX, 0},
            {-1, ControlKind::Static, "支給金額", 173, 136, 40, 9, SS_LEFT, 0},
            {kGiveEditId, ControlKind::Edit, "0", 215, 134, 50, 12, kEdit, WS_EX_CLIENTEDGE},
            {kGiveId, ControlKind::Button, "軍団に資金を支給", 270, 133, 80, 14, kDialogButton, 0},
            {-1, ControlKind::Static, "徴収金額", 173, 154, 40, 9, SS_LEFT, 0},
            {kCollectEditId, ControlKind::Edit, "0", 215, 152, 50, 12, kEdit, WS_EX_CLIENTEDGE},
            {kCollectId, ControlKind::Button, "軍団から資金を徴収", 270, 151, 80, 14, kDialogButton, 0},
            {kTeppouGroupId, ControlKind::Static, "鉄砲支給", 358, 136, 40, 9, SS_LEFT, 0},
            {kTeppouEditId, ControlKind::Edit, "0", 400, 134, 50, 12, kEdit, WS_EX_CLIENTEDGE},
            {kGiveTeppouId, ControlKind::Button, "軍団に鉄砲を支給", 358, 151, 92, 14, kDialogButton, 0},
            {IDOK, ControlKind::Button, "OK", 443, 199, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CGundanShisanDlg::CGundanShisanDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), map_(map) {}

CGundanShisanDlg::~CGundanShisanDlg() = default;

void CGundanShisanDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kGiveTeppouId, giveTeppou_);
    DDX_Control(dx, kCollectId, collect_);
    DDX_Control(dx, kGiveId, give_);
    DDX_Control(dx, IDOK, ok_);
    DDX_Text(dx, kCollectEditId, m_nCollect);
    DDX_Text(dx, kGiveEditId, m_nGive);
    DDX_Text(dx, kTeppouEditId, m_nTeppou);
}

bool CGundanShisanDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetItemText(*this, kHouseGroupId, ReplaceWordDaimyouke("大名家資産", w));
    SetItemText(*this, kHouseTeppouLabelId, ReplaceWordTeppou("未配備鉄砲", w));
    SetItemText(*this, kTeppouGroupId, ReplaceWordTeppou("鉄砲支給", w));
    SetItemText(*this, kGiveTeppouId, ReplaceWordTeppou("軍団に鉄砲を支給", w));
    list_ = dynamic_cast<ListCtrl*>(GetDlgItem(kListId));
    if (list_) shell::InsertGundanListColumns(*list_, gs_, true, 70);
    Refresh();
    return true;
}

// The house's funds and muskets and every row, as the game holds them now.
void CGundanShisanDlg::Refresh() {
    const bool house = IsValidDaimyou(gs_, gs_.nPlayerDaimyou);
    const CDaimyou* d = house ? &DaimyouAt(gs_, gs_.nPlayerDaimyou) : nullptr;
    SetItemText(*this, kHouseFundsId, FormatText("%d", d ? d->shikin : 0));
    SetItemText(*this, kHouseTeppouId,
                FormatText("%lld", d ? static_cast<long long>(d->teppou) * gs_.nHeiUnit : 0LL));
    if (!list_) return;
    rows_ = shell::FillGundanList(*list_, gs_, map_, true, selGundan_);
}

void CGundanShisanDlg::ChooseRow(int row) {
    if (!list_) return;
    selGundan_ = shell::SelectGundanRow(*list_, row);
}

// The stock is checked before the amount is read (an empty stock refuses even 0): the rules
// are asked first with an amount of -1, which passes the stock tests and stops at the sign.
// Only the button's own field is read; a field that holds no whole number is told.
void CGundanShisanDlg::Run(Transfer transfer, int editId, int& amount) {
    GundanOutcome out = transfer(gs_, gs_.nPlayerDaimyou, selGundan_, -1);
    if (out.message == kGundanNegative) {
        DataExchange dx;
        dx.dialog = this;
        dx.saveAndValidate = true;
        DDX_Text(dx, editId, amount);
        if (dx.fail) {
            MbMsgBox(kShisanNotANumber);
            if (Wnd* edit = GetDlgItem(editId)) edit->SetFocus();
            return;
        }
        out = transfer(gs_, gs_.nPlayerDaimyou, selGundan_, amount);
    }
    if (!out.message.empty()) MbMsgBox(out.message.c_str());
    if (out.changed) Refresh();
}

void CGundanShisanDlg::OnGiveFunds() {
    Run(GiveGundanFunds, kGiveEditId, m_nGive);
}

void CGundanShisanDlg::OnCollectFunds() {
    Run(CollectGundanFunds, kCollectEditId, m_nCollect);
}

void CGundanShisanDlg::OnGiveTeppou() {
    Run(GiveGundanTeppou, kTeppouEditId, m_nTeppou);
}

// Every transfer is already written: OK closes without reading the amounts, so a field left
// with a wrong text never keeps the dialog open.
void CGundanShisanDlg::OnOK() {
    EndDialog(IDOK);
}

bool CGundanShisanDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == BN_CLICKED) {
        switch (id) {
            case kGiveId: OnGiveFunds(); return true;
            case kCollectId: OnCollectFunds(); return true;
            case kGiveTeppouId: OnGiveTeppou(); return true;
            default: break;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CGundanShisanDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kListId && header && header->code == NM_CLICK && list_) {
        selGundan_ = shell::SelectedGundanOfList(*list_);
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

bool CGundanShisanDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

}  // namespace rymd
