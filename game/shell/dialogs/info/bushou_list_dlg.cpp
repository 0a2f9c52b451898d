#include "game/shell/dialogs/info/bushou_list_dlg.h"

#include <algorithm>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/common/screen_texts.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"
#include "platform/qt/controls.h"

namespace rymd {

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kList = ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS;

// The general-list keys of the columns (name, province, castle, house, rank, age, cavalry, foot,
// muskets, valour, politics, intellect, field and naval command).
constexpr int kListKeys[] = {0, 9, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12};
// Name, status, house, age, valour, politics, intellect, field and naval command.
constexpr int kCaptiveKeys[] = {0, 13, 10, 2, 6, 7, 8, 11, 12};

bool Serves(const CBushou& b) {
    return b.status == CBushou::kStatusKashin || b.status == CBushou::kStatusKyakushou;
}

std::string Text(int value) {
    return FormatText("%d", value);
}

// Valour, politics, intellect, field and naval command from cell `first` on.
void PutAbilities(std::vector<std::string>& row, std::size_t first, const CBushou& b) {
    for (int v : {b.buyuu, b.seiji, b.chibou, b.yasenTousotsu, b.suigunTousotsu})
        row[first++] = Text(v);
}

}  // namespace

std::vector<int> BushouListMembers(const GameState& gs, int house, bool withVassals) {
    std::vector<int> out;
    for (int i : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, i);
        if (!Serves(b)) continue;
        const bool own = b.daimyou == house;
        const bool underHouse = b.daimyou >= 0 && EffectiveHouse(gs, b.daimyou) == house;
        if (own || (underHouse && (withVassals || b.status == CBushou::kStatusKyakushou))) out.push_back(i);
    }
    return out;
}

std::vector<int> BushouListCaptives(const GameState& gs, int house) {
    std::vector<int> out;
    for (int i : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, i);
        if ((b.status == CBushou::kStatusHoryo || b.status == CBushou::kStatusHitojichi) &&
            b.holderDaimyou == house)
            out.push_back(i);
    }
    return out;
}

std::vector<std::string> BushouListRow(const GameState& gs, const MbKorMap::CCtrlKorMap* map, int bushou) {
    std::vector<std::string> row(14);
    if (!IsValidBushou(gs, bushou)) return row;
    const CBushou& b = BushouAt(gs, bushou);
    const int unit = std::max(gs.nHeiUnit, 1);
    row[0] = b.name;
    if (IsValidShiro(gs, b.shiro)) {
        const ShiroMapRecord& m = ShiroMapAt(gs, b.shiro);
        row[2] = m.name;
        if (map) row[1] = shell::KuniNameText(*map, m.kuni, &gs);
    }
    row[3] = IsValidDaimyou(gs, b.daimyou) ? DaimyouAt(gs, b.daimyou).name : std::string();
    if (b.gundan >= 0 && IsValidGundan(b.gundan)) {
        const int leader = GundanAt(gs, b.gundan).leader;
        row[4] =
            leader == bushou
                ? std::string("軍団長")
                : FormatText("%s 軍団", IsValidBushou(gs, leader) ? BushouAt(gs, leader).name.c_str() : "");
    } else if (IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == bushou) {
        row[4] = "当主";
    } else if (b.status == CBushou::kStatusKyakushou) {
        row[4] = "客将";
    }
    row[5] = BushouAgeText(gs, bushou);
    row[6] = Text(b.cavalry * unit);
    row[7] = Text(b.foot * unit);
    row[8] = Text(b.muskets * unit);
    PutAbilities(row, 9, b);
    return row;
}

std::vector<std::string> BushouListCaptiveRow(const GameState& gs, int bushou) {
    std::vector<std::string> row(9);
    if (!IsValidBushou(gs, bushou)) return row;
    const CBushou& b = BushouAt(gs, bushou);
    row[0] = b.name;
    row[1] = b.status == CBushou::kStatusHoryo ? "捕虜" : "人質";
    // A hostage's house is kept as his house of origin.
    const int former = b.status == CBushou::kStatusHitojichi ? b.originDaimyou : b.daimyou;
    row[2] = IsValidDaimyou(gs, former) ? DaimyouAt(gs, former).name : std::string();
    row[3] = BushouAgeText(gs, bushou);
    PutAbilities(row, 4, b);
    return row;
}

// --- the dialog ------------------------------------------------------------------------------------

const ui::DialogTemplate& CBushouListDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "武将一覧";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 480;
        d.cy = 300;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {ui::IDOK, K::Button, "閉じる", 215, 280, 50, 14, kDialogButton, 0},
            {kTitleId, K::Static, "", 7, 8, 280, 9, kLabel, 0},
            {kVassalsId, K::Button, "", 300, 6, 173, 12,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX, 0},
            {kListId, K::ListView, "", 7, 20, 466, 170, kList, ui::WS_EX_CLIENTEDGE},
            {kCaptiveLabelId, K::Static, "捕虜・人質", 7, 196, 100, 9, kLabel, 0},
            {kCaptiveListId, K::ListView, "", 7, 207, 466, 68, kList, ui::WS_EX_CLIENTEDGE},
        };
        return d;
    }();
    return t;
}

CBushouListDlg::CBushouListDlg(const GameState& gs, const MbKorMap::CCtrlKorMap* map, int house,
                               ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), map_(map), house_(house) {}

CBushouListDlg::~CBushouListDlg() = default;

ui::ListCtrl* CBushouListDlg::List() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId));
}

ui::ListCtrl* CBushouListDlg::CaptiveList() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kCaptiveListId));
}

void CBushouListDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, m_CloseButton);
    ui::DDX_Check(dx, kVassalsId, m_bVassals);
}

bool CBushouListDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordBushou("武将一覧", w));
    if (ui::Wnd* box = GetDlgItem(kVassalsId))
        box->SetWindowText(ReplaceWordBushou(ReplaceWordDaimyouke("臣従大名家の武将も表示", w), w));
    if (ui::Wnd* title = GetDlgItem(kTitleId))
        title->SetWindowText(
            ReplaceWordBushou(FormatText("%s 武将一覧", HouseNameText(gs_, house_).c_str()), w));

    if (ui::ListCtrl* list = List()) {
        PrepareBushouList(*list, {{"名前", 100},
                                  {"国", 70},
                                  {ReplaceWordShiro("城", w), 80},
                                  {"所属", 80},
                                  {"地位", 100},
                                  {"年齢", 37},
                                  {ReplaceWordKibahei("騎馬兵", w), 50},
                                  {ReplaceWordAshigaruhei("足軽兵", w), 50},
                                  {ReplaceWordTeppou("鉄砲", w), 37},
                                  {"武", 26},
                                  {"政", 26},
                                  {"智", 26},
                                  {"野統", 37},
                                  {"水統", 37}});
        FillList();
    }
    if (ui::ListCtrl* captives = CaptiveList()) {
        PrepareBushouList(*captives, {{"名前", 120},
                                      {"身分", 80},
                                      {"所属", 80},
                                      {"年齢", 45},
                                      {"武勇", 37},
                                      {"政治", 37},
                                      {"智謀", 37},
                                      {"野戦統率", 65},
                                      {"水軍統率", 65}});
        for (int b : BushouListCaptives(gs_, house_))
            AddBushouRow(gs_, *captives, b, BushouListCaptiveRow(gs_, b));
        SelectFirstRow(*captives);
    }
    return true;
}

void CBushouListDlg::FillList() {
    ui::ListCtrl* list = List();
    if (!list) return;
    list->DeleteAllItems();
    for (int b : BushouListMembers(gs_, house_, m_bVassals))
        AddBushouRow(gs_, *list, b, BushouListRow(gs_, map_, b));
    SelectFirstRow(*list);
}

void CBushouListDlg::ShowSelectedKaisetsu(ui::ListCtrl& list) {
    const int item = list.GetFirstSelectedItem();
    if (item >= 0) ShowBushouKaisetsu(this, gs_, static_cast<int>(list.GetItemData(item)));
}

bool CBushouListDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kVassalsId) {
        UpdateData(true);
        FillList();
        if (ui::ListCtrl* list = List()) SortBushouList(gs_, *list, 0, kListKeys);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CBushouListDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if ((id != kListId && id != kCaptiveListId) || !header) return Dialog::OnNotify(id, header, result);
    ui::ListCtrl* list = id == kListId ? List() : CaptiveList();
    if (!list) return Dialog::OnNotify(id, header, result);
    if (header->code == ui::LVN_COLUMNCLICK) {
        const int column = reinterpret_cast<ui::NMListView*>(header)->iSubItem;
        if (id == kListId)
            SortBushouList(gs_, *list, column, kListKeys);
        else
            SortBushouList(gs_, *list, column, kCaptiveKeys);
    } else if (header->code == ui::NM_CLICK) {
        ShowSelectedKaisetsu(*list);
    }
    if (result) *result = 0;
    return true;
}

bool CBushouListDlg::PreTranslateMessage(ui::Msg& msg) {
    if (msg.message == ui::WM_KEYDOWN && msg.key == ui::VK_RETURN) {
        ui::Wnd* focus = GetFocus();
        for (ui::ListCtrl* list : {List(), CaptiveList()})
            if (list && focus == list) {
                ShowSelectedKaisetsu(*list);
                return true;
            }
    }
    return Dialog::PreTranslateMessage(msg);
}

}  // namespace rymd
