#include "game/shell/dialogs/diplomacy/hitojichi_dlgs.h"

#include <string>
#include <vector>

#include "game/diplomacy/personnel.h"
#include "game/shell/dialogs/diplomacy/personnel_lists.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

using K = ui::ControlKind;

// The treatment list's sort keys: name, house, age, valour, politics, intellect, field and naval.
constexpr int kShoguuKeys[] = {0, 10, 2, 6, 7, 8, 11, 12};

}  // namespace

// ---- The hostage offer --------------------------------------------------------------------------

const ui::DialogTemplate& CHitojichiSashidashiDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "人質差し出し";
        d.cx = 200;
        d.cy = 170;
        d.items = {
            {kDemandId, K::Static, "", 7, 7, 186, 9, kPersonnelLabel, 0},
            {-1, K::Static, "人質に差し出す世継ぎをクリックしてください", 7, 20, 186, 9, kPersonnelLabel, 0},
            {kListTitleId, K::Static, "", 7, 34, 186, 9, kPersonnelLabel, 0},
            {kListId, K::ListView, "", 7, 45, 186, 96, kPersonnelOneRowList, ui::WS_EX_CLIENTEDGE},
            {ui::IDCANCEL, K::Button, kHitojichiRefuse, 50, 149, 100, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CHitojichiSashidashiDlg::CHitojichiSashidashiDlg(const HitojichiOffer& offer, ui::Wnd* parent)
    : Dialog(Template(), parent), offer_(offer) {}

void CHitojichiSashidashiDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDCANCEL, refuse_);
}

bool CHitojichiSashidashiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(*this, kDemandId, offer_.demand);
    SetItemText(*this, kListTitleId, offer_.listTitle);
    if (ui::ListCtrl* list = List()) {
        list->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
        InsertListColumns(*list, {{"名前", 100}, {"年齢", 45}, {"武勇", 37}, {"政治", 37}, {"智謀", 37}});
        for (std::size_t i = 0; i < offer_.heirs.size(); ++i) {
            const PersonnelRow& heir = offer_.heirs[i];
            const int item = list->InsertItem(list->GetItemCount(), heir.name);
            // The generic heir has no age or abilities to show.
            if (!heir.age.empty()) {
                list->SetItemText(item, 1, heir.age);
                list->SetItemText(item, 2, FormatText("%d", heir.buyuu));
                list->SetItemText(item, 3, FormatText("%d", heir.seiji));
                list->SetItemText(item, 4, FormatText("%d", heir.chibou));
            }
            list->SetItemData(item, static_cast<std::intptr_t>(i));
        }
    }
    return true;
}

bool CHitojichiSashidashiDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kListId || !header) return Dialog::OnNotify(id, header, result);
    if (result) *result = 0;
    if (header->code != ui::NM_CLICK) return true;
    const ui::ListCtrl* list = List();
    const int item = list ? list->GetFirstSelectedItem() : -1;
    if (item < 0) return true;
    const std::string question = list->GetItemText(item, 0) + " を人質として差し出します。よろしいですか？";
    if (MbMsgBoxOkCancel(question.c_str(), false) != ui::IDOK) return true;
    m_nChosen = static_cast<int>(list->GetItemData(item));
    EndDialog(ui::IDOK);
    return true;
}

int AskHitojichiOfferDlg(const HitojichiOffer& offer, ui::Wnd* owner) {
    CHitojichiSashidashiDlg dlg(offer, owner);
    if (dlg.DoModal() != ui::IDOK) return -1;
    return dlg.m_nChosen;
}

// ---- The hostage treatment -----------------------------------------------------------------------

const ui::DialogTemplate& CHitojichiShoguuDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "人質処遇";
        d.cx = 340;
        d.cy = 196;
        d.items = {
            {-1, K::Static, "人質一覧", 7, 7, 100, 9, kPersonnelLabel, 0},
            {kListId, K::ListView, "", 7, 18, 326, 150, kPersonnelOneRowList, ui::WS_EX_CLIENTEDGE},
            {kReturnId, K::Button, "", 7, 176, 100, 14, kDialogButton, 0},
            {kGenpukuId, K::Button, "", 112, 176, 130, 14, kDialogButton, 0},
            {ui::IDOK, K::Button, "OK", 283, 176, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CHitojichiShoguuDlg::CHitojichiShoguuDlg(GameState& gs, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs) {}

void CHitojichiShoguuDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, kReturnId, return_);
    ui::DDX_Control(dx, kGenpukuId, genpuku_);
    ui::DDX_Control(dx, ui::IDOK, ok_);
}

bool CHitojichiShoguuDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetItemText(*this, kReturnId, ReplaceWordDaimyouke("元の大名家に返還する", w));
    SetItemText(*this, kGenpukuId, ReplaceWordGenpuku("元服させて客将として取立てる", w));
    if (ui::ListCtrl* list = List()) {
        const std::vector<ListColumn> columns = {{"名前", 100},    {"所属", 92},    {"年齢", 45},
                                                 {"武勇", 45},     {"政治", 45},    {"智謀", 45},
                                                 {"野戦統率", 65}, {"水軍統率", 65}};
        PrepareBushouList(*list, columns);
        for (int g : HeldHitojichi(gs_, gs_.nPlayerDaimyou)) {
            std::vector<std::string> cells = PersonnelCells(gs_, g, columns);
            cells[2] = FormatText("%d", gs_.nCurYear - BushouAt(gs_, g).birthYear);  // the plain age
            AddBushouRow(gs_, *list, g, cells);
        }
    }
    EnableButtons(false);
    return true;
}

void CHitojichiShoguuDlg::EnableButtons(bool on) {
    for (int id : {kReturnId, kGenpukuId})
        if (ui::Wnd* b = GetDlgItem(id)) b->EnableWindow(on);
}

int CHitojichiShoguuDlg::ConfirmedHostage(bool genpuku) {
    const ui::ListCtrl* list = List();
    const int item = list ? list->GetFirstSelectedItem() : -1;
    if (item < 0) return -1;
    const int g = static_cast<int>(list->GetItemData(item));
    const PersonnelCheck check = genpuku ? CheckGenpuku(gs_, g) : CheckHitojichiReturn(gs_, g);
    if (!check.refusal.empty()) {
        MbMsgBox(check.refusal.c_str());
        return -1;
    }
    if (MbMsgBoxOkCancel(check.question.c_str(), false) != ui::IDOK) return -1;
    return g;
}

bool CHitojichiShoguuDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id != kReturnId && id != kGenpukuId) return Dialog::OnCommand(id, code, from);
    const int g = ConfirmedHostage(id == kGenpukuId);
    if (g < 0) return true;
    if (ui::ListCtrl* list = List()) RemoveBushouRows(*list, {g});
    EnableButtons(false);
    if (id == kGenpukuId)
        Genpuku(gs_, g);
    else
        ReturnHitojichi(gs_, g);
    return true;
}

bool CHitojichiShoguuDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kListId || !header) return Dialog::OnNotify(id, header, result);
    ui::ListCtrl* list = List();
    if (list && (header->code == ui::LVN_ITEMCHANGED || header->code == ui::NM_CLICK))
        EnableButtons(list->GetSelectedCount() > 0);
    if (list && header->code == ui::LVN_COLUMNCLICK)
        SortBushouList(gs_, *list, reinterpret_cast<ui::NMListView*>(header)->iSubItem, kShoguuKeys);
    if (result) *result = 0;
    return true;
}

}  // namespace rymd
