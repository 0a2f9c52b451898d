#include "game/shell/dialogs/corps/gundan_hensei_dlg.h"

#include <algorithm>
#include <array>
#include <string>

#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/bushou_list_columns.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/gundan.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace ui;

namespace {

constexpr int kText = 2 | MbWnd::CCellCtrl::kReadOnly;
constexpr int kNumber = 0 | MbWnd::CCellCtrl::kReadOnly | MbWnd::CCellCtrl::kRightAlign;
constexpr int kGeneralColumns = 14;
constexpr int kGundanColumns = 7;

// The key of the game's general comparison for each column of the general grids.
constexpr std::array<int, kGeneralColumns> kHenseiSortKeys = {0, 9, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12};

int HenseiCompareLines(std::intptr_t a, std::intptr_t b, std::intptr_t key, void* gs) {
    return CompareBushouListItem(*static_cast<const GameState*>(gs), static_cast<int>(a), static_cast<int>(b),
                                 static_cast<int>(key));
}

// The grid is drawn by its two panes: both are painted again.
void RepaintGrid(MbWnd::CCellCtrl& grid) {
    grid.LeftPane().Invalidate(false);
    grid.RightPane().Invalidate(false);
}

}  // namespace

const DialogTemplate& CGundanHenseiDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "軍団編成";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 520;
        d.cy = 330;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kDirectLabelId, ControlKind::Static, "当主直属武将", 7, 6, 200, 9, SS_LEFT, 0},
            {kDirectFrameId, ControlKind::Static, "", 7, 17, 506, 96, SS_LEFT, 0},
            {kAllDirectId, ControlKind::Button, "全選択／全解除", 7, 117, 70, 14, kDialogButton, 0},
            {kAppointId, ControlKind::Button, "軍団長に任命", 283, 117, 70, 14, kDialogButton, 0},
            {kAddId, ControlKind::Button, "軍団に編入", 361, 117, 70, 14, kDialogButton, 0},
            {kReturnId, ControlKind::Button, "当主直属に戻す", 439, 117, 74, 14, kDialogButton, 0},
            {kGundanFrameId, ControlKind::Static, "", 7, 136, 506, 62, SS_LEFT, 0},
            {kMemberLabelId, ControlKind::Static, "軍団武将", 7, 203, 200, 9, SS_LEFT, 0},
            {kMemberFrameId, ControlKind::Static, "", 7, 214, 506, 90, SS_LEFT, 0},
            {kAllMembersId, ControlKind::Button, "全選択／全解除", 7, 309, 70, 14, kDialogButton, 0},
            {IDOK, ControlKind::Button, "OK", 463, 309, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CGundanHenseiDlg::CGundanHenseiDlg(GameState& gs, const MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), map_(map) {}

CGundanHenseiDlg::~CGundanHenseiDlg() = default;

void CGundanHenseiDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kAllMembersId, allMembers_);
    DDX_Control(dx, kAllDirectId, allDirect_);
    DDX_Control(dx, kReturnId, return_);
    DDX_Control(dx, kAddId, add_);
    DDX_Control(dx, kAppointId, appoint_);
    DDX_Control(dx, IDOK, ok_);
}

void CGundanHenseiDlg::SetUpGeneralGrid(MbWnd::CCellCtrl& grid, int frameId, int gridId) {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    grid.SetSeparater(0);
    grid.SetFontSize(1);
    grid.SetStyle(kGeneralGridStyle);
    grid.SetColumn(0, kText, 90, "名前");
    grid.SetColumn(1, kText, 50, "国");
    grid.SetColumn(2, kText, 80, ReplaceWordShiro("城", w).c_str());
    grid.SetColumn(3, kText, 80, "所属");
    grid.SetColumn(4, kText, 45, "地位");
    grid.SetColumn(5, kText | MbWnd::CCellCtrl::kRightAlign, 35, "年齢");
    grid.SetColumn(6, kNumber, 50, ReplaceWordKibahei("騎馬兵", w).c_str());
    grid.SetColumn(7, kNumber, 50, ReplaceWordAshigaruhei("足軽兵", w).c_str());
    grid.SetColumn(8, kNumber, 50, ReplaceWordTeppou("鉄砲数", w).c_str());
    grid.SetColumn(9, kNumber, 35, "武勇");
    grid.SetColumn(10, kNumber, 35, "政治");
    grid.SetColumn(11, kNumber, 35, "智謀");
    grid.SetColumn(12, kNumber, 60, "野戦統率");
    grid.SetColumn(13, kNumber, 60, "水軍統率");
    grid.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                  MapDialogRect(DialogItemRect(Template(), frameId)), this, gridId);
}

bool CGundanHenseiDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    font_.CreateFont(12, 0, 0, 0, 500, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    for (MbWnd::CGradationButton* b : {&allMembers_, &allDirect_, &return_, &add_, &appoint_, &ok_})
        b->SetFont(&font_);
    SetItemText(*this, kDirectLabelId, ReplaceWordBushou("当主直属武将", w));
    for (int id : {kDirectFrameId, kGundanFrameId, kMemberFrameId})
        if (Wnd* frame = GetDlgItem(id)) frame->ShowWindow(SW_HIDE);
    SetUpGeneralGrid(direct_, kDirectFrameId, kDirectGridId);
    gundan_.SetSeparater(0);
    gundan_.SetFontSize(1);
    gundan_.SetStyle(kGundanGridStyle);
    gundan_.SetColumn(0, kText, 140, "軍団名");
    gundan_.SetColumn(1, kNumber, 50, ReplaceWordBushou("武将数", w).c_str());
    gundan_.SetColumn(2, kNumber, 70, "資金");
    gundan_.SetColumn(3, kNumber, 70, ReplaceWordShiro("所領城数", w).c_str());
    gundan_.SetColumn(4, kText | MbWnd::CCellCtrl::kRightAlign, 90,
                      ReplaceWordKokudaka("所領石高", w).c_str());
    gundan_.SetColumn(5, kText, 70, "行動指示");
    gundan_.SetColumn(6, kText, 270, "担当国");
    gundan_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                     MapDialogRect(DialogItemRect(Template(), kGundanFrameId)), this, kGundanGridId);
    SetUpGeneralGrid(member_, kMemberFrameId, kMemberGridId);
    FillDirect();
    FillGundan();
    FillMembers();
    return true;
}

void CGundanHenseiDlg::Enable(int id, bool on) {
    if (Wnd* w = GetDlgItem(id)) w->EnableWindow(on);
}

void CGundanHenseiDlg::GeneralLine(MbWnd::CCellCtrl& grid, int line, int bushou, bool memberGrid) {
    const CBushou& b = BushouAt(gs_, bushou);
    const std::array<std::string, shell::kBushouListColumns> t = shell::BushouListTexts(gs_, bushou, true);
    const bool head = IsValidDaimyou(gs_, b.daimyou) && DaimyouAt(gs_, b.daimyou).toushu == bushou;
    std::string rank;
    if (head)
        rank = "当主";
    else if (memberGrid)
        rank = IsValidGundan(b.gundan) && GundanAt(gs_, b.gundan).leader == bushou ? "軍団長" : "";
    else
        rank = b.status == CBushou::kStatusKyakushou ? "客将" : "";
    const int kuni = IsValidShiro(gs_, b.shiro) ? ShiroMapAt(gs_, b.shiro).kuni : -1;
    grid.SetLineItem(line, 0, t[0].c_str());
    grid.SetLineItem(line, 1, shell::KuniDisplayName(map_, kuni).c_str());
    grid.SetLineItem(line, 2, t[11].c_str());
    grid.SetLineItem(line, 3, IsValidDaimyou(gs_, b.daimyou) ? DaimyouAt(gs_, b.daimyou).name.c_str() : "");
    grid.SetLineItem(line, 4, rank.c_str());
    grid.SetLineItem(line, 5, t[2].c_str());
    const int unit = std::max(1, gs_.nHeiUnit);
    grid.SetLineItem(line, 6, static_cast<double>(b.cavalry) * unit);
    grid.SetLineItem(line, 7, static_cast<double>(b.foot) * unit);
    grid.SetLineItem(line, 8, static_cast<double>(b.muskets) * unit);
    const int stats[5] = {b.buyuu, b.seiji, b.chibou, b.yasenTousotsu, b.suigunTousotsu};
    for (int i = 0; i < 5; ++i)
        grid.SetLineItem(line, 9 + i, static_cast<double>(stats[i]));
    grid.SetLineData(line, bushou);
}

void CGundanHenseiDlg::SortGeneralGrid(MbWnd::CCellCtrl& grid, int column) {
    if (column < 0 || column >= kGeneralColumns) return;
    grid.SortItemsEx(HenseiCompareLines,
                     static_cast<std::uint32_t>(kHenseiSortKeys[static_cast<std::size_t>(column)]), &gs_);
}

void CGundanHenseiDlg::FillDirect() {
    direct_.SetRedraw(false);
    const std::vector<int> rows = ListDirectBushou(gs_, gs_.nPlayerDaimyou);
    direct_.SetLineSize(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        GeneralLine(direct_, static_cast<int>(i), rows[i], false);
        direct_.MultiLineSelect(static_cast<int>(i), false);
    }
    SortGeneralGrid(direct_, sortDirect_);
    direct_.SetRedraw(true);
    RepaintGrid(direct_);
    selDirect_ = -1;
    Enable(kAppointId, false);
    Enable(kAddId, false);
}

void CGundanHenseiDlg::GundanLine(int line, int gundan) {
    const GundanRowTexts t =
        MakeGundanRowTexts(gs_, gundan, [this](int k) { return shell::KuniDisplayName(map_, k); });
    const CGundan& k = GundanAt(gs_, gundan);
    gundan_.SetLineItem(line, 0, t.name.c_str());
    gundan_.SetLineItem(line, 1, std::stod(t.bushou));
    gundan_.SetLineItem(line, 2, static_cast<double>(k.shikin));
    gundan_.SetLineItem(line, 3, std::stod(t.shiro));
    gundan_.SetLineItem(line, 4, t.kokudaka.c_str());
    gundan_.SetLineItem(line, 5, t.order.c_str());
    gundan_.SetLineItem(line, 6, t.kuni.c_str());
    gundan_.SetLineData(line, gundan);
}

void CGundanHenseiDlg::FillGundan() {
    const std::vector<int> rows = ListGundanOfDaimyou(gs_, gs_.nPlayerDaimyou);
    gundan_.SetLineSize(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        GundanLine(static_cast<int>(i), rows[i]);
    gundan_.UnselectCell();
    RepaintGrid(gundan_);
    selGundan_ = -1;
    selGundanLine_ = -1;
}

void CGundanHenseiDlg::FillMembers() {
    const ScenarioWordArray& w = gs_.ScenarioWords;
    selMember_ = -1;
    Enable(kReturnId, false);
    member_.SetRedraw(false);
    if (!IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, selGundan_)) {
        SetItemText(*this, kMemberLabelId, ReplaceWordBushou("軍団武将", w));
        member_.SetLineSize(0);
    } else {
        const int leader = GundanAt(gs_, selGundan_).leader;
        const std::string name = IsValidBushou(gs_, leader) ? BushouAt(gs_, leader).name : "";
        SetItemText(*this, kMemberLabelId, ReplaceWordBushou(FormatText("%s 軍団武将", name.c_str()), w));
        const std::vector<int> rows = ListGundanMembers(gs_, gs_.nPlayerDaimyou, selGundan_);
        member_.SetLineSize(static_cast<int>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            GeneralLine(member_, static_cast<int>(i), rows[i], true);
            member_.MultiLineSelect(static_cast<int>(i), false);
        }
        SortGeneralGrid(member_, sortMember_);
    }
    member_.SetRedraw(true);
    RepaintGrid(member_);
}

void CGundanHenseiDlg::ChooseGundanLine(int line) {
    if (line >= 0 && line < gundan_.GetLineSize()) {
        selGundanLine_ = line;
        selGundan_ = gundan_.GetLineData(line);
        gundan_.SelectCell(line, 0);
    } else {
        selGundanLine_ = -1;
        selGundan_ = -1;
        gundan_.UnselectCell();
    }
    if (selDirect_ >= 0) Enable(kAddId, true);
    FillMembers();
}

// After a change: the general grids again, the chosen corps' line rewritten.
void CGundanHenseiDlg::AfterChange() {
    selDirect_ = -1;
    selMember_ = -1;
    FillDirect();
    if (selGundanLine_ >= 0 && IsGundanOfDaimyou(gs_, gs_.nPlayerDaimyou, selGundan_))
        GundanLine(selGundanLine_, selGundan_);
    RepaintGrid(gundan_);
    FillMembers();
}

void CGundanHenseiDlg::OnAppointLeader() {
    const std::vector<int> chosen = shell::SelectedGridLines(direct_);
    const GundanOutcome out = AppointGundanchou(gs_, gs_.nPlayerDaimyou, chosen);
    if (!out.message.empty()) MbMsgBox(out.message.c_str());
    if (!out.changed) return;
    FillDirect();
    FillGundan();
    FillMembers();
}

void CGundanHenseiDlg::OnAddMember() {
    if (selDirect_ < 0) return;
    const GundanOutcome out =
        AddGundanMembers(gs_, gs_.nPlayerDaimyou, selGundan_, shell::SelectedGridLines(direct_));
    if (!out.message.empty()) MbMsgBox(out.message.c_str());
    if (out.changed) AfterChange();
}

void CGundanHenseiDlg::OnDissolve() {
    if (selMember_ < 0 || selGundan_ < 0) return;
    const int gundan = selGundan_;
    const GundanOutcome out =
        ReturnGundanMembers(gs_, gs_.nPlayerDaimyou, gundan, shell::SelectedGridLines(member_),
                            [](const std::string& q) { return MbMsgBoxOkCancel(q.c_str(), false) == IDOK; });
    if (!out.changed) return;
    if (GundanAt(gs_, gundan).IsFree()) {
        FillGundan();
        selGundan_ = -1;
    }
    AfterChange();
}

void CGundanHenseiDlg::OnGridSelChange(int gridId) {
    const bool direct = gridId == kDirectGridId;
    const std::vector<int> chosen = shell::SelectedGridLines(direct ? direct_ : member_);
    const int first = chosen.empty() ? -1 : chosen.front();
    if (direct) {
        selDirect_ = first;
        Enable(kAppointId, !chosen.empty());
        Enable(kAddId, !chosen.empty());
    } else {
        selMember_ = first;
        Enable(kReturnId, !chosen.empty());
    }
}

void CGundanHenseiDlg::SelectAll(MbWnd::CCellCtrl& grid) {
    const int n = grid.GetLineSize();
    if (n == 0) return;
    bool all = true;
    for (int line = 0; line < n; ++line)
        all = all && grid.GetSelectStat(line);
    for (int line = 0; line < n; ++line)
        grid.MultiLineSelect(line, !all);
    RepaintGrid(grid);
    const int first = all ? -1 : grid.GetLineData(0);
    if (&grid == &direct_) {
        selDirect_ = first;
        Enable(kAppointId, !all && n == 1);
        Enable(kAddId, !all);
    } else {
        selMember_ = first;
        Enable(kReturnId, !all);
    }
}

bool CGundanHenseiDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == BN_CLICKED) {
        switch (id) {
            case kAppointId: OnAppointLeader(); return true;
            case kAddId: OnAddMember(); return true;
            case kReturnId: OnDissolve(); return true;
            case kAllDirectId: SelectAll(direct_); return true;
            case kAllMembersId: SelectAll(member_); return true;
            default: break;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

bool CGundanHenseiDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (!header) return Dialog::OnNotify(id, header, result);
    const auto* cell = reinterpret_cast<const MbWnd::tagCellNotify*>(header);
    const unsigned code = header->code;
    if ((id == kDirectGridId || id == kMemberGridId) && code == MbWnd::kCellLabelClick) {
        MbWnd::CCellCtrl& grid = id == kDirectGridId ? direct_ : member_;
        (id == kDirectGridId ? sortDirect_ : sortMember_) = cell->column;
        SortGeneralGrid(grid, cell->column);
        RepaintGrid(grid);
        return true;
    }
    if ((id == kDirectGridId || id == kMemberGridId) &&
        (code == MbWnd::kCellLineSelChange || code == MbWnd::kCellSelChange)) {
        OnGridSelChange(id);
        return true;
    }
    if (id == kGundanGridId && code == MbWnd::kCellClick) {
        ChooseGundanLine(cell->line);
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

bool CGundanHenseiDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

namespace shell {

std::vector<int> SelectedGridLines(const MbWnd::CCellCtrl& grid) {
    std::vector<int> chosen;
    for (int line = 0; line < grid.GetLineSize(); ++line)
        if (grid.GetSelectStat(line)) chosen.push_back(grid.GetLineData(line));
    return chosen;
}

}  // namespace shell

}  // namespace rymd
