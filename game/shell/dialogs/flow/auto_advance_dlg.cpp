#include "game/shell/dialogs/flow/auto_advance_dlg.h"

#include <array>
#include <string>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/state/game_state.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"

namespace rymd::shell {

using ui::Rect;

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kField = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::ES_NUMBER;
constexpr std::uint32_t kSpin =
    ui::UDS_AUTOBUDDY | ui::UDS_ALIGNRIGHT | ui::UDS_SETBUDDYINT | ui::UDS_ARROWKEYS | ui::UDS_NOTHOUSANDS;

}  // namespace

// --- automatic advance --------------------------------------------------------------------------

const ui::DialogTemplate& CAutoAdvanceDlg::AutoAdvanceTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "自動進行";
        d.cx = 320;
        d.cy = 246;
        d.items = {
            {kTitleId, ui::ControlKind::Static, "大名家一覧", 7, 7, 200, 9, kLabel, 0},
            {kListId, ui::ControlKind::ListView, "", 7, 18, 306, 150,
             ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS,
             ui::WS_EX_CLIENTEDGE},
            {kHintId, ui::ControlKind::Static, CAutoAdvance::kHint, 7, 172, 306, 9, kLabel, 0},
            {kYearId, ui::ControlKind::Edit, "", 7, 188, 34, 12, kField, ui::WS_EX_CLIENTEDGE},
            {kYearSpinId, ui::ControlKind::Spin, "", 41, 188, 10, 12, kSpin, 0},
            {-1, ui::ControlKind::Static, "年", 43, 190, 12, 9, kLabel, 0},
            {kMonthId, ui::ControlKind::Edit, "", 62, 188, 24, 12, kField, ui::WS_EX_CLIENTEDGE},
            {kMonthSpinId, ui::ControlKind::Spin, "", 86, 188, 10, 12, kSpin, 0},
            {-1, ui::ControlKind::Static, "月まで", 88, 190, 30, 9, kLabel, 0},
            {kSortId, ui::ControlKind::ComboBox, "", 7, 206, 90, 60,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::CBS_DROPDOWNLIST, 0},
            {kSkipId, ui::ControlKind::Button, "条件イベントのメッセージを表示しない", 120, 188, 193, 12,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX, 0},
            {kStartId, ui::ControlKind::Button, "自動進行スタート", 7, 225, 90, 14, kDialogButton, 0},
            {kStopId, ui::ControlKind::Button, "中断", 107, 225, 50, 14, kDialogButton, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "閉じる", 263, 225, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CAutoAdvanceDlg::CAutoAdvanceDlg(CAutoAdvance& model, CKuniMapWnd& map, ui::ImageList* houseMarks,
                                 ui::Wnd* parent)
    : Dialog(AutoAdvanceTemplate(), parent), model_(model), map_(map), houseMarks_(houseMarks) {}

CAutoAdvanceDlg::~CAutoAdvanceDlg() = default;

void CAutoAdvanceDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDCANCEL, close_);
    ui::DDX_Control(dx, kStopId, stop_);
    ui::DDX_Control(dx, kStartId, start_);
}

bool CAutoAdvanceDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    model_.Open();
    if (ui::Wnd* title = GetDlgItem(kTitleId)) title->SetWindowText(model_.ListTitle());
    list_ = dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId));
    if (!list_) return true;
    if (houseMarks_) list_->SetImageList(houseMarks_);
    list_->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
    const std::array<std::string, 4> titles = model_.ColumnTitles();
    for (std::size_t c = 0; c < titles.size(); ++c)
        list_->InsertColumn(static_cast<int>(c), titles[c], c == 0 ? ui::LVCFMT_LEFT : ui::LVCFMT_RIGHT,
                            CAutoAdvance::kColumnWidths[c]);
    if (auto* sort = dynamic_cast<ui::ComboBox*>(GetDlgItem(kSortId))) {
        for (std::size_t c = 1; c < titles.size(); ++c)
            sort->AddString(titles[c]);
        sort->SetCurSel(model_.GetSortIndex());
    }
    if (ui::Wnd* w = GetDlgItem(kYearId)) w->SetWindowText(std::to_string(model_.EntryYear()));
    if (ui::Wnd* w = GetDlgItem(kMonthId)) w->SetWindowText(std::to_string(model_.EntryMonth()));
    // The year's upper end reaches the control cut to 16 bits, as the platform's spin keeps it.
    if (auto* spin = dynamic_cast<ui::SpinButton*>(GetDlgItem(kYearSpinId))) {
        spin->SetRange32(model_.EntryYear(), 1000000);
        spin->SetPos(model_.EntryYear());
    }
    if (auto* spin = dynamic_cast<ui::SpinButton*>(GetDlgItem(kMonthSpinId))) {
        spin->SetRange(1, 12);
        spin->SetPos(model_.EntryMonth());
    }
    if (auto* skip = dynamic_cast<ui::Button*>(GetDlgItem(kSkipId)))
        skip->SetCheck(model_.SkipEvents() ? 1 : 0);
    stop_.EnableWindow(false);
    FillDaimyouList();
    return true;
}

void CAutoAdvanceDlg::FillDaimyouList() {
    const std::vector<CAutoAdvance::Row>& rows = model_.FillDaimyouList();
    if (!list_) return;
    // Existing rows are updated, missing ones added, the rest removed.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CAutoAdvance::Row& r = rows[i];
        int row = static_cast<int>(i);
        if (row >= list_->GetItemCount()) row = list_->InsertItem(row, r.texts[0], r.image);
        list_->SetItemData(row, r.daimyou);
        list_->SetItemImage(row, r.image);
        for (int c = 0; c < 4; ++c)
            list_->SetItemText(row, c, r.texts[static_cast<std::size_t>(c)]);
    }
    while (list_->GetItemCount() > static_cast<int>(rows.size()))
        list_->DeleteItem(list_->GetItemCount() - 1);
    if (m_RefreshMap)
        m_RefreshMap();
    else
        map_.Invalidate();
}

void CAutoAdvanceDlg::SetIdle(bool idle) {
    start_.EnableWindow(idle);
    close_.EnableWindow(idle);
    stop_.EnableWindow(!idle);
    if (ui::Wnd* hint = GetDlgItem(kHintId)) hint->ShowWindow(idle ? ui::SW_SHOW : ui::SW_HIDE);
}

void CAutoAdvanceDlg::OnStart() {
    int year = 0, month = 0;
    ui::DataExchange dx{this, true, false};
    ui::DDX_Text(dx, kYearId, year);
    ui::DDX_Text(dx, kMonthId, month);
    if (dx.fail || month < 1 || month > 12) {
        MbMsgBox("1から12までの整数を入力してください");
        return;
    }
    if (model_.Start(year, month) != CAutoAdvance::StartResult::kStarted) return;
    SetIdle(false);
    SetTimer(kTimerId, kTickMs);
}

void CAutoAdvanceDlg::OnStop() {
    stop_.EnableWindow(false);
    close_.EnableWindow(true);
    if (ui::Wnd* hint = GetDlgItem(kHintId)) hint->ShowWindow(ui::SW_SHOW);
    model_.RequestStop();
}

void CAutoAdvanceDlg::OnTimer(int id) {
    if (id != kTimerId) return;
    KillTimer(kTimerId);
    switch (model_.Tick()) {
        case CAutoAdvance::TickResult::kContinue:
            FillDaimyouList();
            SetTimer(kTimerId, kTickMs);
            break;
        case CAutoAdvance::TickResult::kStopped:
        case CAutoAdvance::TickResult::kReached:
            FillDaimyouList();
            SetIdle(true);
            break;
        case CAutoAdvance::TickResult::kGameEnded:
            model_.Close();
            EndDialog(0);
            break;
        case CAutoAdvance::TickResult::kGameOver:
            model_.Close();
            EndDialog(ui::IDOK);
            break;
        case CAutoAdvance::TickResult::kQuit:
            quit_ = true;
            model_.Close();
            EndDialog(0);
            break;
    }
}

bool CAutoAdvanceDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kSortId && code == ui::CBN_SELCHANGE) {
        if (auto* sort = dynamic_cast<ui::ComboBox*>(from); sort && model_.SetSortIndex(sort->GetCurSel()))
            FillDaimyouList();
        return true;
    }
    if (code == ui::BN_CLICKED) {
        if (id == kStartId) {
            OnStart();
            return true;
        }
        if (id == kStopId) {
            OnStop();
            return true;
        }
        if (id == kSkipId) {
            if (auto* skip = dynamic_cast<ui::Button*>(from)) model_.SetSkipEvents(skip->GetCheck() != 0);
            return true;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CAutoAdvanceDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kListId || !header) return Dialog::OnNotify(id, header, result);
    if (header->code == ui::LVN_COLUMNCLICK) {
        if (model_.OnColumnClick(reinterpret_cast<ui::NMListView*>(header)->iSubItem)) {
            // The sort list follows.
            if (auto* sort = dynamic_cast<ui::ComboBox*>(GetDlgItem(kSortId)))
                sort->SetCurSel(model_.GetSortIndex());
            FillDaimyouList();
        }
    } else if (header->code == ui::NM_CLICK && list_) {
        const int house = model_.OnListClick(list_->GetFirstSelectedItem());
        if (house >= 0 && map_.GetGameState()) {
            CDaimyouInfoDlg dlg(*map_.GetGameState(), map_.Map(), house, this);
            dlg.DoModal();
        }
    }
    if (result) *result = 0;
    return true;
}

void CAutoAdvanceDlg::OnCancel() {
    // Closing waits for a run to stop.
    if (model_.Running()) return;
    KillTimer(kTimerId);
    model_.Close();
    Dialog::OnCancel();
}

// --- benchmark ------------------------------------------------------------------------------------

const ui::DialogTemplate& CBenchmarkDlg::BenchmarkTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "龍門記ベンチマーク";
        d.cx = 160;
        d.cy = 62;
        d.items = {
            {-1, ui::ControlKind::Static, "実行する年数を入力してください", 7, 7, 146, 9, kLabel, 0},
            {kYearsId, ui::ControlKind::Edit, "", 7, 20, 40, 12, kField, ui::WS_EX_CLIENTEDGE},
            {kYearsSpinId, ui::ControlKind::Spin, "", 47, 20, 10, 12, kSpin, 0},
            {-1, ui::ControlKind::Static, "年", 50, 22, 20, 9, kLabel, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 47, 41, 50, 14, kDialogButton, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "ｷｬﾝｾﾙ", 103, 41, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CBenchmarkDlg::CBenchmarkDlg(ui::Wnd* parent) : Dialog(BenchmarkTemplate(), parent) {}

CBenchmarkDlg::~CBenchmarkDlg() = default;

void CBenchmarkDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    okCancel_.Bind(dx);
    ui::DDX_Text(dx, kYearsId, m_nYears);
}

bool CBenchmarkDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (auto* spin = dynamic_cast<ui::SpinButton*>(GetDlgItem(kYearsSpinId))) {
        spin->SetRange(kMinYears, kMaxYears);
        spin->SetPos(m_nYears);
    }
    return true;
}

void CBenchmarkDlg::OnOK() {
    int years = 0;
    ui::DataExchange dx{this, true, false};
    ui::DDX_Text(dx, kYearsId, years);
    if (dx.fail || years < kMinYears || years > kMaxYears) {
        MbMsgBox("1から1000までの整数を入力してください");
        return;
    }
    m_nYears = years;
    EndDialog(ui::IDOK);
}

}  // namespace rymd::shell
