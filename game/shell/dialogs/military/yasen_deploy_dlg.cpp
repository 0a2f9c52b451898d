#include "game/shell/dialogs/military/yasen_deploy_dlg.h"

#include <algorithm>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace ui;

namespace {

constexpr std::uint32_t kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;

// The sort key of each column of the unassigned grid (-1: the column does not sort).
constexpr int kSortKeys[7] = {0, -1, 3, 4, 5, 6, 11};

bool IsHead(const GameState& gs, int g) {
    const CBushou& b = BushouAt(gs, g);
    return IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == g;
}

bool OfVassalHouse(const GameState& gs, int g) {
    const CBushou& b = BushouAt(gs, g);
    return IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).bond == CDaimyou::kBondShinjuu;
}

struct SortContext {
    const GameState* gs;
    int key;
};

int CompareRows(std::intptr_t a, std::intptr_t b, std::intptr_t, void* extra) {
    const auto* c = static_cast<const SortContext*>(extra);
    return CompareBushouListItem(*c->gs, static_cast<int>(a), static_cast<int>(b), c->key);
}

}  // namespace

const DialogTemplate& CYasenDeployDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "野戦発生";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 545;
        d.cy = 300;
        d.items = {
            {kCaptionId, ControlKind::Static, "", 7, 7, 531, 10, kLabel, 0},
            {kHouseLabelId, ControlKind::Static, "", 7, 22, 120, 10, kLabel, 0},
            {kHouseLabelId + 1, ControlKind::Static, "", 137, 22, 120, 10, kLabel, 0},
            {kCavalryLabelId, ControlKind::Static, "", 15, 34, 110, 10, kLabel, 0},
            {kCavalryLabelId + 1, ControlKind::Static, "", 145, 34, 110, 10, kLabel, 0},
            {kFootLabelId, ControlKind::Static, "", 15, 45, 110, 10, kLabel, 0},
            {kFootLabelId + 1, ControlKind::Static, "", 145, 45, 110, 10, kLabel, 0},
            {kMusketLabelId, ControlKind::Static, "", 15, 56, 110, 10, kLabel, 0},
            {kMusketLabelId + 1, ControlKind::Static, "", 145, 56, 110, 10, kLabel, 0},
            {kInstructionId, ControlKind::Static, "", 298, 22, 240, 10, kLabel, 0},
            {kHintCommandId, ControlKind::Static, "総大将の野戦統率値が軍勢全体の戦闘力に影響します", 298, 36,
             240, 10, kLabel, 0},
            {kHintDragId, ControlKind::Static, "マウスドラッグでまとめて選択可能です", 298, 50, 240, 10,
             kLabel, 0},
            {kUnassignedLabelId, ControlKind::Static, "", 7, 72, 120, 10, kLabel, 0},
            {kUnassignedPlaceId, ControlKind::Static, "", 7, 83, 226, 188, kLabel, 0},
            {kUnassignedPlaceId + 1, ControlKind::Static, "", 298, 72, 240, 62, kLabel, 0},
            {kUnassignedPlaceId + 2, ControlKind::Static, "", 298, 139, 240, 62, kLabel, 0},
            {kUnassignedPlaceId + 3, ControlKind::Static, "", 298, 206, 240, 44, kLabel, 0},
            {kVanguardButtonId, ControlKind::Button, "先陣", 238, 96, 55, 14, kDialogButton, 0},
            {kSecondButtonId, ControlKind::Button, "第二陣", 238, 163, 55, 14, kDialogButton, 0},
            {kHeadquartersButtonId, ControlKind::Button, "本陣（総大将）", 238, 221, 55, 14, kDialogButton,
             0},
            {IDOK, ControlKind::Button, "OK", 488, 279, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CYasenDeployDlg::CYasenDeployDlg(GameState& gs, Wnd* parent) : Dialog(Template(), parent), gs_(gs) {}

CYasenDeployDlg::~CYasenDeployDlg() = default;

MbWnd::CGradationButton& CYasenDeployDlg::LineButton(int line) {
    return line == 0 ? m_VanguardButton : line == 1 ? m_SecondButton : m_HeadquartersButton;
}

void CYasenDeployDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kVanguardButtonId, m_VanguardButton);
    DDX_Control(dx, kSecondButtonId, m_SecondButton);
    DDX_Control(dx, kHeadquartersButtonId, m_HeadquartersButton);
    DDX_Control(dx, IDOK, m_OkButton);
    DDX_Text(dx, kCaptionId, m_strCaption);
    for (int s = 0; s < 2; ++s) {
        auto i = static_cast<std::size_t>(s);
        DDX_Text(dx, kHouseLabelId + s, m_strHouse[i]);
        DDX_Text(dx, kCavalryLabelId + s, m_strCavalry[i]);
        DDX_Text(dx, kFootLabelId + s, m_strFoot[i]);
        DDX_Text(dx, kMusketLabelId + s, m_strMuskets[i]);
    }
}

bool CYasenDeployDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    if (Wnd* label = GetDlgItem(kUnassignedLabelId)) label->SetWindowText(ReplaceWordBushou("未配備武将", w));
    if (Wnd* label = GetDlgItem(kInstructionId))
        label->SetWindowText(ReplaceWordBushou("武将を各陣に振り分けてください", w));

    for (int k = 0; k < 4; ++k) {
        MbWnd::CCellCtrl& grid = Grid(k);
        grid.SetSeparater(0);
        grid.SetStyle(k == 0 ? MbWnd::CCellCtrl::kStyleLineColor | MbWnd::CCellCtrl::kStyleNoEdit |
                                   MbWnd::CCellCtrl::kStyleMultiLine
                             : MbWnd::CCellCtrl::kStyleNoEdit | MbWnd::CCellCtrl::kStyleNoFocusFrame);
        constexpr int kText = 2 | MbWnd::CCellCtrl::kReadOnly;
        constexpr int kNumber = 0 | MbWnd::CCellCtrl::kReadOnly | MbWnd::CCellCtrl::kRightAlign;
        grid.SetColumn(0, kText, 92, "名前");
        grid.SetColumn(1, kText, 37, "地位");
        grid.SetColumn(2, kNumber, 48, ReplaceWordKibahei("騎馬兵", w).c_str());
        grid.SetColumn(3, kNumber, 48, ReplaceWordAshigaruhei("足軽兵", w).c_str());
        grid.SetColumn(4, kNumber, 48, ReplaceWordTeppou("鉄砲数", w).c_str());
        grid.SetColumn(5, kNumber, 37, "武勇");
        grid.SetColumn(6, kNumber, 60, "野戦統率");
        grid.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP, ChildRect(kUnassignedPlaceId + k),
                      this, kUnassignedGridId + k);
    }

    for (int line = 0; line < 3; ++line)
        LineButton(line).EnableWindow(false);
    m_LineCount = {};

    for (int i = 0; i < std::clamp(m_nBushou, 0, kMaxLineUnits); ++i) {
        const int g = m_Bushou[static_cast<std::size_t>(i)];
        if (!IsValidBushou(gs_, g)) continue;
        if (IsHead(gs_, g) && !OfVassalHouse(gs_, g) && m_LineCount[2] == 0) {
            m_LineUnits[2][0] = g;
            m_LineCount[2] = 1;
        } else {
            AddUnassignedRow(g);
        }
    }
    if (m_nShiro >= 0 && IsValidShiro(gs_, m_nShiro)) AddUnassignedRow(m_nShiro | kGarrisonRowFlag);
    RefillLines();
    return true;
}

void CYasenDeployDlg::FillRow(MbWnd::CCellCtrl& grid, int row, int unit, bool lineGrid) {
    const int u = gs_.nHeiUnit;
    grid.SetLineData(row, unit);
    if (unit & kGarrisonRowFlag) {
        const int c = unit & 0x7FFF;
        grid.SetLineItem(row, 0, FormatText("%s守備兵", ShiroMapAt(gs_, c).name.c_str()).c_str());
        grid.SetLineItem(row, 1, "");
        grid.SetLineItem(row, 2, 0.0);
        grid.SetLineItem(row, 3, static_cast<double>(std::max<int>(0, ShiroAt(gs_, c).shubihei) * u));
        grid.SetLineItem(row, 4, 0.0);
        grid.SetLineItem(row, 5, 3.0);
        grid.SetLineItem(row, 6, 0.0);
        return;
    }
    const CBushou& b = BushouAt(gs_, unit);
    const char* rank = "";
    if (lineGrid) {
        if (IsHead(gs_, unit)) rank = "当主";
    } else if (OfVassalHouse(gs_, unit)) {
        rank = b.status == CBushou::kStatusKyakushou ? "客将" : "臣従";
    }
    grid.SetLineItem(row, 0, b.name.c_str());
    grid.SetLineItem(row, 1, rank);
    grid.SetLineItem(row, 2, static_cast<double>(b.cavalry * u));
    grid.SetLineItem(row, 3, static_cast<double>(b.foot * u));
    grid.SetLineItem(row, 4, static_cast<double>(b.muskets * u));
    grid.SetLineItem(row, 5, static_cast<double>(b.buyuu));
    grid.SetLineItem(row, 6, static_cast<double>(b.yasenTousotsu));
}

void CYasenDeployDlg::AddUnassignedRow(int unit) {
    MbWnd::CCellCtrl& grid = Grid(0);
    const int row = grid.GetLineSize();
    grid.InsertLine(row);
    FillRow(grid, row, unit, false);
}

void CYasenDeployDlg::RefillLines() {
    for (int line = 0; line < 3; ++line) {
        MbWnd::CCellCtrl& grid = Grid(line + 1);
        grid.DeleteAllLine();
        for (int i = 0; i < m_LineCount[static_cast<std::size_t>(line)]; ++i) {
            grid.InsertLine(i);
            FillRow(grid, i, m_LineUnits[static_cast<std::size_t>(line)][static_cast<std::size_t>(i)], true);
        }
        grid.Invalidate(false);
    }
    Grid(0).Invalidate(false);
    m_OkButton.EnableWindow(Grid(0).GetLineSize() == 0);
}

std::vector<int> CYasenDeployDlg::SelectedRows() const {
    std::vector<int> rows;
    const MbWnd::CCellCtrl& grid = m_Grid[0];
    for (int l = 0; l < grid.GetLineSize(); ++l)
        if (grid.GetSelectStat(l)) rows.push_back(l);
    return rows;
}

void CYasenDeployDlg::UpdateButtons() {
    const int selected = static_cast<int>(SelectedRows().size());
    const bool commanderPlaced = m_LineCount[2] > 0;
    for (int line = 0; line < 2; ++line)
        LineButton(line).EnableWindow(selected > 0 && commanderPlaced &&
                                      m_LineCount[static_cast<std::size_t>(line)] + selected <=
                                          kMaxLineUnits);
    m_HeadquartersButton.EnableWindow(selected > 0 && !commanderPlaced);
}

void CYasenDeployDlg::Assign(int line) {
    const std::vector<int> rows = SelectedRows();
    auto& count = m_LineCount[static_cast<std::size_t>(line)];
    if (rows.empty() || m_LineCount[2] == 0 || count + static_cast<int>(rows.size()) > kMaxLineUnits) return;
    for (int row : rows)
        m_LineUnits[static_cast<std::size_t>(line)][static_cast<std::size_t>(count++)] =
            Grid(0).GetLineData(row);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        Grid(0).DeleteLine(*it);
    RefillLines();
    for (int l = 0; l < 3; ++l)
        LineButton(l).EnableWindow(false);
}

void CYasenDeployDlg::AssignCommander() {
    if (m_LineCount[2] > 0) return;
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    const ScenarioWordArray& w = gs_.ScenarioWords;
    if (rows.size() > 1) {
        MbMsgBox(ReplaceWordBushou(kOneCommander, w).c_str());
        return;
    }
    const int unit = Grid(0).GetLineData(rows[0]);
    if (!(unit & kGarrisonRowFlag) && OfVassalHouse(gs_, unit) &&
        BushouAt(gs_, unit).status != CBushou::kStatusKyakushou &&
        MbMsgBoxOkCancel(ReplaceWordBushou(kVassalCommander, w).c_str(), false) != IDOK)
        return;
    m_LineUnits[2][0] = unit;
    m_LineCount[2] = 1;
    Grid(0).DeleteLine(rows[0]);
    RefillLines();
    UpdateButtons();
}

bool CYasenDeployDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == BN_CLICKED) {
        if (id == kVanguardButtonId || id == kSecondButtonId) {
            Assign(id == kVanguardButtonId ? 0 : 1);
            return true;
        }
        if (id == kHeadquartersButtonId) {
            AssignCommander();
            return true;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CYasenDeployDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kUnassignedGridId && header) {
        if (header->code == MbWnd::kCellLineSelChange) {
            UpdateButtons();
            return true;
        }
        if (header->code == MbWnd::kCellLabelClick) {
            const auto* n = reinterpret_cast<const MbWnd::tagCellNotify*>(header);
            if (n->column >= 0 && n->column < 7 && kSortKeys[n->column] >= 0) {
                SortContext context{&gs_, kSortKeys[n->column]};
                Grid(0).SortItemsEx(CompareRows, 0, &context);
                Grid(0).Invalidate(false);
            }
            return true;
        }
    }
    return Dialog::OnNotify(id, header, result);
}

void CYasenDeployDlg::CloseWhenPlaced() {
    if (Grid(0).GetLineSize() == 0) EndDialog(IDOK);
}

void CYasenDeployDlg::OnOK() {
    CloseWhenPlaced();
}

void CYasenDeployDlg::OnCancel() {
    CloseWhenPlaced();
}

bool CYasenDeployDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

}  // namespace rymd
