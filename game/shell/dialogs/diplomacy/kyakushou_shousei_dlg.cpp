#include "game/shell/dialogs/diplomacy/kyakushou_shousei_dlg.h"

#include <string>
#include <vector>

#include "game/diplomacy/personnel.h"
#include "game/military/placement.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/common/screen_texts.h"
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

// Sort keys: name, province and castle (castle order), house, age, valour, politics, intellect,
// field and naval command.
constexpr int kKyakushouKeys[] = {0, 9, 9, 10, 2, 6, 7, 8, 11, 12};

}  // namespace

const ui::DialogTemplate& CKyakushouShouseiDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "客将招請";
        d.cx = 380;
        d.cy = 210;
        d.items = {
            {kTitleId, K::Static, "", 7, 7, 366, 9, kPersonnelLabel, 0},
            {kPromptId, K::Static, "", 7, 20, 366, 9, kPersonnelLabel, 0},
            {kListId, K::ListView, "", 7, 32, 366, 150, kPersonnelOneRowList, ui::WS_EX_CLIENTEDGE},
            {ui::IDOK, K::Button, "閉じる", 165, 189, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CKyakushouShouseiDlg::CKyakushouShouseiDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), map_(map) {}

void CKyakushouShouseiDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, close_);
}

bool CKyakushouShouseiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetItemText(*this, kTitleId,
                ReplaceWordBushou(ReplaceWordDaimyouke("臣従大名家の武将を客将として預かります", w), w));
    SetItemText(*this, kPromptId, ReplaceWordBushou("客将にする武将を選択してください", w));
    ui::ListCtrl* list = List();
    if (!list) return true;
    const std::vector<ListColumn> columns = {{"名前", 80},    {"国", 50},   {ReplaceWordShiro("城", w), 80},
                                             {"所属", 80},    {"年齢", 37}, {"武勇", 37},
                                             {"政治", 37},    {"智謀", 37}, {"野戦統率", 65},
                                             {"水軍統率", 65}};
    PrepareBushouList(*list, columns);
    for (int g : KyakushouKouho(gs_, gs_.nPlayerDaimyou)) {
        std::vector<std::string> cells = PersonnelCells(gs_, g, columns);
        const int shiro = BushouAt(gs_, g).shiro;
        if (IsValidShiro(gs_, shiro)) {
            cells[2] = ShiroMapAt(gs_, shiro).name;
            if (map_) cells[1] = shell::KuniNameText(*map_, ShiroMapAt(gs_, shiro).kuni, &gs_);
        }
        AddBushouRow(gs_, *list, g, cells);
    }
    return true;
}

void CKyakushouShouseiDlg::Invite() {
    ui::ListCtrl* list = List();
    const int item = list ? list->GetFirstSelectedItem() : -1;
    if (item < 0) return;
    const int g = static_cast<int>(list->GetItemData(item));
    if (MbMsgBoxOkCancel(KyakushouQuestion(gs_, g).c_str(), false) != ui::IDOK) return;
    RemoveBushouRows(*list, {g});
    AppointKyakushou(gs_, g);
}

bool CKyakushouShouseiDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kListId || !header) return Dialog::OnNotify(id, header, result);
    if (header->code == ui::NM_CLICK) Invite();
    if (header->code == ui::LVN_COLUMNCLICK)
        if (ui::ListCtrl* list = List())
            SortBushouList(gs_, *list, reinterpret_cast<ui::NMListView*>(header)->iSubItem, kKyakushouKeys);
    if (result) *result = 0;
    return true;
}

}  // namespace rymd
