#include "game/shell/auto_advance_dlg.h"

#include <string>

#include "game/shell/kuni_map_wnd.h"
#include "game/state/game_state.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"

namespace rymd::shell {

using ui::Rect;

namespace {

constexpr std::uint32_t kButton = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_OWNERDRAW;
constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kField = ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::ES_NUMBER;


}  // namespace

const std::array<ui::COLORREF, 12>& RankColours() {
    static const std::array<ui::COLORREF, 12> c = {
        ui::RGB(255, 0, 0),     ui::RGB(0, 0, 255),     ui::RGB(0, 200, 0),   ui::RGB(255, 255, 0),
        ui::RGB(255, 0, 255),   ui::RGB(0, 255, 255),   ui::RGB(255, 128, 0), ui::RGB(128, 0, 255),
        ui::RGB(128, 64, 0),    ui::RGB(0, 128, 128),   ui::RGB(192, 192, 192),
        ui::RGB(96, 96, 96),
    };
    return c;
}

// --- automatic advance --------------------------------------------------------------------------

const ui::DialogTemplate& CAutoAdvanceDlg::AutoAdvanceTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "自動進行";
        d.cx = 320;
        d.cy = 246;
        d.items = {
            {kTitleId, ui::ControlKind::Static, "大名家一覧", 7, 7, 200, 9, kLabel, 0},
            {kListId, ui::ControlKind::Custom, "", 7, 18, 306, 150, ui::WS_CHILD, 0},
            {kHintId, ui::ControlKind::Static, CAutoAdvance::kHint, 7, 172, 306, 9, kLabel, 0},
            {kYearId, ui::ControlKind::Edit, "", 7, 188, 34, 12, kField, ui::WS_EX_CLIENTEDGE},
            {-1, ui::ControlKind::Static, "年", 43, 190, 12, 9, kLabel, 0},
            {kMonthId, ui::ControlKind::Edit, "", 62, 188, 20, 12, kField, ui::WS_EX_CLIENTEDGE},
            {-1, ui::ControlKind::Static, "月まで", 84, 190, 30, 9, kLabel, 0},
            {kSkipId, ui::ControlKind::Button, "条件イベントのメッセージを表示しない", 120, 188, 193, 12,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX, 0},
            {kStartId, ui::ControlKind::Button, "自動進行スタート", 7, 225, 90, 14, kButton, 0},
            {kStopId, ui::ControlKind::Button, "中断", 107, 225, 50, 14, kButton, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "閉じる", 263, 225, 50, 14, kButton, 0},
        };
        return d;
    }();
    return t;
}

CAutoAdvanceDlg::CAutoAdvanceDlg(CAutoAdvance& model, CKuniMapWnd& map, ui::Wnd* parent)
    : Dialog(AutoAdvanceTemplate(), parent), model_(model), map_(map) {}

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
    if (ui::Wnd* place = GetDlgItem(kListId)) {  // the list takes over the placeholder's id
        place->ShowWindow(ui::SW_HIDE);
        place->SetDlgCtrlID(0);
    }
    list_.Create(MapDialogRect(ui::DialogItemRect(Template(), kListId)), this, kListId);
    list_.SetImageColours(std::vector<ui::COLORREF>(RankColours().begin(), RankColours().end()));
    const std::array<std::string, 4> titles = model_.ColumnTitles();
    for (std::size_t c = 0; c < titles.size(); ++c)
        list_.InsertColumn(titles[c], CAutoAdvance::kColumnWidths[c],
                           c == 0 ? CReportList::Align::kLeft : CReportList::Align::kRight);
    if (ui::Wnd* w = GetDlgItem(kYearId)) w->SetWindowText(std::to_string(model_.EntryYear()));
    if (ui::Wnd* w = GetDlgItem(kMonthId)) w->SetWindowText(std::to_string(model_.EntryMonth()));
    if (auto* skip = dynamic_cast<ui::Button*>(GetDlgItem(kSkipId))) skip->SetCheck(model_.SkipEvents() ? 1 : 0);
    stop_.EnableWindow(false);
    FillDaimyouList();
    return true;
}

void CAutoAdvanceDlg::FillDaimyouList() {
    const std::vector<CAutoAdvance::Row>& rows = model_.FillDaimyouList();
    // Existing rows are updated, missing ones added, the rest removed.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CAutoAdvance::Row& r = rows[i];
        int row = static_cast<int>(i);
        if (row >= list_.GetItemCount()) row = list_.InsertItem(r.texts[0], r.daimyou, r.image);
        list_.SetItemData(row, r.daimyou);
        list_.SetItemImage(row, r.image);
        for (int c = 0; c < 4; ++c) list_.SetItemText(row, c, r.texts[static_cast<std::size_t>(c)]);
    }
    while (list_.GetItemCount() > static_cast<int>(rows.size())) list_.DeleteItem(list_.GetItemCount() - 1);
    // Not built yet: the castle marks of the country map in the ranked houses' colours (the map
    // views draw them from the game's colour-display list).
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
    if (header->code == CReportList::kColumnClick) {
        if (model_.OnColumnClick(reinterpret_cast<CReportList::Notify*>(header)->column)) FillDaimyouList();
    } else if (header->code == ui::NM_CLICK) {
        // Not built yet: the house information dialog of the clicked house (OnListClick gives the
        // house, -1 while a run is in progress).
        (void)model_.OnListClick(list_.GetSelectedItem());
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
            {-1, ui::ControlKind::Static, "年", 50, 22, 20, 9, kLabel, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 47, 41, 50, 14, kButton, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "ｷｬﾝｾﾙ", 103, 41, 50, 14, kButton, 0},
        };
        return d;
    }();
    return t;
}

CBenchmarkDlg::CBenchmarkDlg(ui::Wnd* parent) : Dialog(BenchmarkTemplate(), parent) {}

CBenchmarkDlg::~CBenchmarkDlg() = default;

void CBenchmarkDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, ok_);
    ui::DDX_Control(dx, ui::IDCANCEL, cancel_);
    ui::DDX_Text(dx, kYearsId, m_nYears);
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
