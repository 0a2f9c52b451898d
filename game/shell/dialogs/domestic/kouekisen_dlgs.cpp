#include "game/shell/dialogs/domestic/kouekisen_dlgs.h"

#include <algorithm>

#include "game/domestic/castle_economy.h"
#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"
#include "platform/qt/controls.h"

namespace rymd {

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kList = ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS;
constexpr std::uint32_t kField = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::ES_NUMBER;
constexpr std::uint32_t kSpin =
    ui::UDS_AUTOBUDDY | ui::UDS_ALIGNRIGHT | ui::UDS_SETBUDDYINT | ui::UDS_ARROWKEYS | ui::UDS_NOTHOUSANDS;

constexpr const char* kShortage = "資金が足りません";

int PartnerCount(const GameState& gs) {
    return std::clamp(gs.nTradingPartner, 0, GameState::kMaxTradingPartner);
}

const CTradingPartner& Partner(const GameState& gs, int p) {
    return gs.TradingPartnerTbl[static_cast<std::size_t>(p)];
}

}  // namespace

// --- the plan ----------------------------------------------------------------------------------------

KouekisenPlan::KouekisenPlan(const GameState& gs, int house, int kuni) : gs_(gs), house_(house), kuni_(kuni) {
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        const ShiroMapRecord& m = ShiroMapAt(gs, c);
        if (s.daimyou == house && m.kuni == kuni && s.nBesieger == 0 && (m.flags & ShiroMapRecord::kFlagPort))
            ports_.push_back(c);
    }
    ships_.assign(ports_.size(), 0);
    destination_.assign(ports_.size(), -1);
    const int skill = IsValidDaimyou(gs, house) ? DaimyouAt(gs, house).koukaiGijutsu : 0;
    for (int p = 0; p < PartnerCount(gs); ++p) {
        const int months =
            kuni >= 0 && kuni < 250 ? Partner(gs, p).months[static_cast<std::size_t>(kuni)] : -1;
        if (months < 0) continue;
        bool open = false;
        for (std::size_t r = 0; r < ports_.size() && !open; ++r)
            open = OpenTo(static_cast<int>(r), p);
        if (open && (p == 0 || months * 100 <= skill)) partners_.push_back(p);
    }
}

int KouekisenPlan::WaitingShips(int row) const {
    const int c = ports_[static_cast<std::size_t>(row)];
    return std::max(0, ShiroAt(gs_, c).kouekisen - CountShipsAtSea(gs_, c));
}

bool KouekisenPlan::OpenTo(int row, int partner) const {
    if (row < 0 || row >= static_cast<int>(ports_.size()) || partner < 0 || partner >= PartnerCount(gs_))
        return false;
    const int c = ports_[static_cast<std::size_t>(row)];
    return c >= 0 && c < 10000 && Partner(gs_, partner).ports[static_cast<std::size_t>(c)] != 0;
}

std::int64_t KouekisenPlan::CostOf(int row) const {
    const int d = destination_[static_cast<std::size_t>(row)];
    return d < 0 ? 0 : std::int64_t{ships_[static_cast<std::size_t>(row)]} * KouekisenVoyageCost(d);
}

std::int64_t KouekisenPlan::Total() const {
    std::int64_t total = 0;
    for (int r = 0; r < static_cast<int>(ports_.size()); ++r)
        total += CostOf(r);
    return total;
}

std::int64_t KouekisenPlan::CostWithout(int row) const {
    return Total() - CostOf(row);
}

std::int64_t KouekisenPlan::Remaining() const {
    const std::int64_t funds = IsValidDaimyou(gs_, house_) ? DaimyouAt(gs_, house_).shikin : 0;
    return funds - Total();
}

bool KouekisenPlan::CheckFunds(int row) {
    if (Remaining() >= 0) return true;
    const int d = destination_[static_cast<std::size_t>(row)];
    const std::int64_t funds = IsValidDaimyou(gs_, house_) ? DaimyouAt(gs_, house_).shikin : 0;
    const std::int64_t left = funds - CostWithout(row);
    ships_[static_cast<std::size_t>(row)] =
        left > 0 && d >= 0 ? static_cast<int>(left / KouekisenVoyageCost(d)) : 0;
    return false;
}

void KouekisenPlan::SelectPort(int row) {
    selPort_ = row >= 0 && row < static_cast<int>(ports_.size()) ? row : -1;
}

bool KouekisenPlan::SelectPartner(int row) {
    selPartner_ = row >= 0 && row < static_cast<int>(partners_.size()) ? row : -1;
    if (selPort_ < 0 || selPartner_ < 0) return true;
    const int p = partners_[static_cast<std::size_t>(selPartner_)];
    if (!OpenTo(selPort_, p)) return true;
    destination_[static_cast<std::size_t>(selPort_)] = p;
    return CheckFunds(selPort_);
}

bool KouekisenPlan::SetShips(int ships) {
    if (selPort_ < 0) return true;
    const std::size_t r = static_cast<std::size_t>(selPort_);
    // A port sends no more ships than it has waiting.
    ships_[r] = std::clamp(ships, 0, WaitingShips(selPort_));
    if (destination_[r] < 0)
        destination_[r] = selPartner_ >= 0 ? partners_[static_cast<std::size_t>(selPartner_)] : 0;
    return CheckFunds(selPort_);
}

void KouekisenPlan::Max() {
    if (selPort_ < 0) return;
    const std::size_t r = static_cast<std::size_t>(selPort_);
    const int d = destination_[r];
    if (d < 0) return;
    const std::int64_t funds = IsValidDaimyou(gs_, house_) ? DaimyouAt(gs_, house_).shikin : 0;
    const std::int64_t left = funds - CostWithout(selPort_);
    const int unit = KouekisenVoyageCost(d);
    ships_[r] =
        left < unit ? 0 : static_cast<int>(std::min<std::int64_t>(WaitingShips(selPort_), left / unit));
}

void KouekisenPlan::AllPorts(bool fill) {
    if (selPartner_ < 0) return;
    const int p = partners_[static_cast<std::size_t>(selPartner_)];
    const int n = static_cast<int>(ports_.size());
    for (int r = 0; r < n; ++r)
        if (OpenTo(r, p)) destination_[static_cast<std::size_t>(r)] = p;
    const std::int64_t funds = IsValidDaimyou(gs_, house_) ? DaimyouAt(gs_, house_).shikin : 0;
    for (int r = n - 1; r >= 0 && Total() > funds; --r) {
        const int d = destination_[static_cast<std::size_t>(r)];
        if (d < 0) continue;
        std::int64_t above = 0;
        for (int q = 0; q < r; ++q)
            above += CostOf(q);
        const std::int64_t left = funds - above;
        ships_[static_cast<std::size_t>(r)] =
            std::min(ships_[static_cast<std::size_t>(r)],
                     left > 0 ? static_cast<int>(left / KouekisenVoyageCost(d)) : 0);
    }
    if (!fill) return;
    for (int r = 0; r < n; ++r) {
        const int d = destination_[static_cast<std::size_t>(r)];
        if (d < 0) continue;
        const int unit = KouekisenVoyageCost(d);
        const std::int64_t left = funds - Total();
        if (left < unit) continue;
        const int room = WaitingShips(r) - ships_[static_cast<std::size_t>(r)];
        if (room > 0)
            ships_[static_cast<std::size_t>(r)] +=
                static_cast<int>(std::min<std::int64_t>(left / unit, room));
    }
}

void KouekisenPlan::Commit(GameState& gs) const {
    for (std::size_t r = 0; r < ports_.size(); ++r)
        if (ships_[r] >= 1 && destination_[r] >= 0)
            DispatchKouekisen(gs, house_, -1, ports_[r], destination_[r], ships_[r]);
}

std::vector<KouekisenVoyage> KouekisenVoyages(const GameState& gs, int house) {
    std::vector<KouekisenVoyage> out;
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        if (s.daimyou != house || !(ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagPort)) continue;
        for (const ShiroOrderSlot& slot : s.voyage) {
            if (slot.ships == 0) continue;
            int month = gs.nCurMonth + slot.monthsLeft;
            int year = gs.nCurYear + (month - 1) / 12;
            month = (month - 1) % 12 + 1;
            out.push_back(
                {slot.destination < PartnerCount(gs) ? Partner(gs, slot.destination).name : std::string(),
                 slot.ships, ShiroMapAt(gs, c).name, FormatText("%d年%d月", year, month)});
        }
    }
    return out;
}

// --- the dispatch dialog ---------------------------------------------------------------------------------

const ui::DialogTemplate& CKouekisenHakenDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "交易船派遣";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 440;
        d.cy = 252;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {kSkillId, K::Static, "", 7, 7, 300, 9, kLabel, 0},
            {-1, K::Static, "派遣元の港", 7, 19, 100, 9, kLabel, 0},
            {kPortListId, K::ListView, "", 7, 29, 300, 86, kList, ui::WS_EX_CLIENTEDGE},
            {-1, K::Static, "派遣先", 7, 121, 100, 9, kLabel, 0},
            {kPartnerListId, K::ListView, "", 7, 131, 300, 96, kList, ui::WS_EX_CLIENTEDGE},
            {kShipsLabelId, K::Static, "出航交易船数", 316, 29, 117, 9, kLabel, 0},
            {kShipsId, K::Edit, "", 316, 40, 50, 12, kField, ui::WS_EX_CLIENTEDGE},
            {kSpinId, K::Spin, "", 366, 40, 10, 12, kSpin, 0},
            {kMaxId, K::Button, "MAX", 381, 39, 40, 14, kDialogButton, 0},
            {kAllPortsId, K::Button, "全ての港の派遣先にする", 7, 231, 110, 14, kDialogButton, 0},
            {kAllPortsMaxId, K::Button, "全ての港の派遣先にし、出航交易船数をMAXにする", 121, 231, 186, 14,
             kDialogButton, 0},
            {-1, K::Static, "派遣費 1隻 1000", 316, 131, 117, 9, kLabel, 0},
            {-1, K::Static, "(航海訓練 100）", 316, 141, 117, 9, kLabel, 0},
            {-1, K::Static, "資金残高", 316, 160, 40, 9, kLabel, 0},
            {kRemainingId, K::Static, "", 360, 160, 73, 9, ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_RIGHT, 0},
            {ui::IDOK, K::Button, "OK", 316, 231, 55, 14, kDialogButton, 0},
            {ui::IDCANCEL, K::Button, "キャンセル", 378, 231, 55, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CKouekisenHakenDlg::CKouekisenHakenDlg(GameState& gs, int house, int kuni, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), plan_(gs, house, kuni) {}

CKouekisenHakenDlg::~CKouekisenHakenDlg() = default;

ui::ListCtrl* CKouekisenHakenDlg::PortList() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kPortListId));
}

ui::ListCtrl* CKouekisenHakenDlg::PartnerList() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kPartnerListId));
}

void CKouekisenHakenDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    ui::DDX_Control(dx, kMaxId, max_);
    ui::DDX_Control(dx, kAllPortsId, all_);
    ui::DDX_Control(dx, kAllPortsMaxId, allMax_);
}

bool CKouekisenHakenDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordKouekisen("交易船派遣", w));
    allMax_.SetWindowText(ReplaceWordKouekisen("全ての港の派遣先にし、出航交易船数をMAXにする", w));
    if (ui::Wnd* label = GetDlgItem(kShipsLabelId))
        label->SetWindowText(ReplaceWordKouekisen("出航交易船数", w));
    const int house = gs_.nPlayerDaimyou;
    if (ui::Wnd* skill = GetDlgItem(kSkillId); skill && IsValidDaimyou(gs_, house))
        skill->SetWindowText(FormatText("%s 航海技術 %d", DaimyouAt(gs_, house).name.c_str(),
                                        DaimyouAt(gs_, house).koukaiGijutsu));

    if (ui::ListCtrl* ports = PortList()) {
        ports->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
        InsertListColumns(*ports, {{ReplaceWordShiro("城（港）", w), 120},
                                   {ReplaceWordKouekisen("待機中交易船", w), 120},
                                   {"新規派遣先", 140},
                                   {ReplaceWordKouekisen("新規出航交易船数", w), 150}});
        for (int r = 0; r < static_cast<int>(plan_.Ports().size()); ++r) {
            const int c = plan_.Ports()[static_cast<std::size_t>(r)];
            const int item = ports->InsertItem(r, ShiroMapAt(gs_, c).name);
            ports->SetItemData(item, c);
            ShowPortRow(r);
        }
    }
    if (ui::ListCtrl* partners = PartnerList()) {
        partners->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
        InsertListColumns(*partners, {{"派遣先", 140},
                                      {"所要月数", 80},
                                      {"平均売上", 80},
                                      {"純利益/月", 85},
                                      {"交易可否", 80},
                                      {"親密度", 60}});
        const int kuni = plan_.Kuni();
        for (int r = 0; r < static_cast<int>(plan_.Partners().size()); ++r) {
            const int p = plan_.Partners()[static_cast<std::size_t>(r)];
            const CTradingPartner& tp = Partner(gs_, p);
            const int months = std::max<int>(1, tp.months[static_cast<std::size_t>(kuni)]);
            const long long sales = tp.sales[static_cast<std::size_t>(kuni)];
            const int item = partners->InsertItem(r, tp.name);
            partners->SetItemText(item, 1, FormatText("%dヶ月", tp.months[static_cast<std::size_t>(kuni)]));
            partners->SetItemText(item, 2, FormatText("%lld", sales));
            partners->SetItemText(item, 3, FormatText("%lld", (sales - KouekisenVoyageCost(p)) / months));
            partners->SetItemText(item, 5,
                                  p == 0
                                      ? std::string("---")
                                      : FormatText("%d%%", tp.friendliness[static_cast<std::size_t>(house)]));
            partners->SetItemData(item, p);
        }
    }
    Refresh();
    return true;
}

void CKouekisenHakenDlg::ShowPortRow(int row) {
    ui::ListCtrl* ports = PortList();
    if (!ports || row < 0) return;
    const int d = plan_.Destination(row);
    ports->SetItemText(row, 1, FormatText("%d", plan_.WaitingShips(row)));
    ports->SetItemText(row, 2, d < 0 ? std::string("---") : Partner(gs_, d).name);
    ports->SetItemText(row, 3, FormatText("%d", plan_.Ships(row)));
}

void CKouekisenHakenDlg::ShowShortage(bool ok) {
    if (!ok) MbMsgBox(kShortage);
}

void CKouekisenHakenDlg::Refresh() {
    if (ui::Wnd* left = GetDlgItem(kRemainingId))
        left->SetWindowText(FormatText("%lld", static_cast<long long>(plan_.Remaining())));
    const int port = plan_.SelectedPort();
    const bool portReady = port >= 0 && plan_.Destination(port) >= 0;
    for (int id : {kShipsId, kSpinId}) {
        if (ui::Wnd* c = GetDlgItem(id)) c->EnableWindow(portReady);
    }
    max_.EnableWindow(portReady);
    all_.EnableWindow(plan_.SelectedPartner() >= 0);
    allMax_.EnableWindow(plan_.SelectedPartner() >= 0);
    okCancel_.ok.EnableWindow(plan_.Total() != 0);
    if (ui::ListCtrl* partners = PartnerList())
        for (int r = 0; r < partners->GetItemCount(); ++r)
            partners->SetItemText(
                r, 4,
                port < 0 ? std::string()
                         : (plan_.OpenTo(port, plan_.Partners()[static_cast<std::size_t>(r)]) ? "○" : "×"));
    for (int r = 0; r < static_cast<int>(plan_.Ports().size()); ++r)
        ShowPortRow(r);
}

bool CKouekisenHakenDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (!header || header->code != ui::NM_CLICK || (id != kPortListId && id != kPartnerListId))
        return Dialog::OnNotify(id, header, result);
    if (id == kPortListId) {
        ui::ListCtrl* ports = PortList();
        plan_.SelectPort(ports ? ports->GetFirstSelectedItem() : -1);
        const int port = plan_.SelectedPort();
        if (auto* spin = dynamic_cast<ui::SpinButton*>(GetDlgItem(kSpinId)))
            spin->SetRange(0, port >= 0 ? plan_.WaitingShips(port) : 0);
        filling_ = true;
        if (ui::Wnd* edit = GetDlgItem(kShipsId))
            edit->SetWindowText(FormatText("%d", port >= 0 ? plan_.Ships(port) : 0));
        filling_ = false;
    } else {
        ui::ListCtrl* partners = PartnerList();
        ShowShortage(plan_.SelectPartner(partners ? partners->GetFirstSelectedItem() : -1));
    }
    Refresh();
    if (result) *result = 0;
    return true;
}

bool CKouekisenHakenDlg::OnCommand(int id, int code, ui::Wnd* from) {
    switch (id) {
        case kShipsId:
            if (code == ui::EN_CHANGE && !filling_ && plan_.SelectedPort() >= 0) {
                const std::string text = GetDlgItem(kShipsId) ? GetDlgItem(kShipsId)->GetWindowText() : "";
                ShowShortage(plan_.SetShips(std::atoi(text.c_str())));
                filling_ = true;
                if (ui::Wnd* edit = GetDlgItem(kShipsId);
                    edit && plan_.Ships(plan_.SelectedPort()) != std::atoi(text.c_str()))
                    edit->SetWindowText(FormatText("%d", plan_.Ships(plan_.SelectedPort())));
                filling_ = false;
                Refresh();
            }
            return true;
        case kMaxId:
            plan_.Max();
            filling_ = true;
            if (ui::Wnd* edit = GetDlgItem(kShipsId); edit && plan_.SelectedPort() >= 0)
                edit->SetWindowText(FormatText("%d", plan_.Ships(plan_.SelectedPort())));
            filling_ = false;
            Refresh();
            return true;
        case kAllPortsId:
        case kAllPortsMaxId:
            plan_.AllPorts(id == kAllPortsMaxId);
            Refresh();
            return true;
        default: break;
    }
    return Dialog::OnCommand(id, code, from);
}

void CKouekisenHakenDlg::OnOK() {
    plan_.Commit(gs_);
    Dialog::OnOK();
}

// --- the voyage list
// ----------------------------------------------------------------------------------------

const ui::DialogTemplate& CKouekisenListDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "交易船一覧";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 270;
        d.cy = 180;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kListId, ui::ControlKind::ListView, "", 7, 7, 256, 146, kList, ui::WS_EX_CLIENTEDGE},
            {ui::IDOK, ui::ControlKind::Button, "閉じる", 110, 159, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CKouekisenListDlg::CKouekisenListDlg(const GameState& gs, int house, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), house_(house) {}

CKouekisenListDlg::~CKouekisenListDlg() = default;

ui::ListCtrl* CKouekisenListDlg::List() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId));
}

void CKouekisenListDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, close_);
}

bool CKouekisenListDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordKouekisen("交易船一覧", w));
    ui::ListCtrl* list = List();
    if (!list) return true;
    list->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
    InsertListColumns(
        *list,
        {{"派遣先", 120}, {ReplaceWordKouekisen("交易船数", w), 90}, {"出発港", 100}, {"帰港予定", 100}});
    for (const KouekisenVoyage& v : KouekisenVoyages(gs_, house_)) {
        const int item = list->InsertItem(list->GetItemCount(), v.partner);
        list->SetItemText(item, 1, FormatText("%d", v.ships));
        list->SetItemText(item, 2, v.port);
        list->SetItemText(item, 3, v.returnDate);
    }
    return true;
}

}  // namespace rymd

namespace rymd::shell {}  // namespace rymd::shell
