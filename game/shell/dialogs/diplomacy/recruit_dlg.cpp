#include "game/shell/dialogs/diplomacy/recruit_dlg.h"

#include "game/shell/dialogs/diplomacy/personnel_lists.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

using K = ui::ControlKind;

}  // namespace

const ui::DialogTemplate& CRecruitDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "登用選択";
        d.cx = 200;
        d.cy = 92;
        d.items = {
            {kTextId, K::Static, "", 7, 7, 186, 20, kPersonnelLabel, 0},
            {kListId, K::ListView, "", 7, 29, 186, 34, kPersonnelOneRowList, ui::WS_EX_CLIENTEDGE},
            {ui::IDOK, K::Button, "家臣に登用する", 28, 71, 70, 14, kDialogButton, 0},
            {ui::IDCANCEL, K::Button, "登用しない", 102, 71, 70, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CRecruitDlg::CRecruitDlg(const RecruitOffer& offer, ui::Wnd* parent)
    : Dialog(Template(), parent), offer_(offer) {}

void CRecruitDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
}

bool CRecruitDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(*this, kTextId, offer_.text);
    if (ui::ListCtrl* list = List()) {
        list->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
        InsertListColumns(*list, {{"名前", 100}, {"年齢", 45}, {"武勇", 45}, {"政治", 45}, {"智謀", 45}});
        const PersonnelRow& row = offer_.candidate;
        const int item = list->InsertItem(0, row.name);
        list->SetItemText(item, 1, row.age);
        list->SetItemText(item, 2, FormatText("%d", row.buyuu));
        list->SetItemText(item, 3, FormatText("%d", row.seiji));
        list->SetItemText(item, 4, FormatText("%d", row.chibou));
    }
    return true;
}

bool AskRecruitDlg(const RecruitOffer& offer, ui::Wnd* owner) {
    CRecruitDlg dlg(offer, owner);
    const std::intptr_t result = dlg.DoModal();
    if (result == -1) return kSafeYesNo;
    return result == ui::IDOK;
}

}  // namespace rymd
