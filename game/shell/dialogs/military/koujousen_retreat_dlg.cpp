#include "game/shell/dialogs/military/koujousen_retreat_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include "game/military/siege_session.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

namespace {

// The sort keys of the grid's columns: name, rank, age, cavalry, foot, muskets, valour, intellect.
constexpr int kSortKeys[8] = {0, 1, 2, 3, 4, 5, 6, 8};

int CompareLines(std::intptr_t a, std::intptr_t b, std::intptr_t key, void* gs) {
    return CompareBushouListItem(*static_cast<const GameState*>(gs), static_cast<int>(a), static_cast<int>(b),
                                 static_cast<int>(key));
}

}  // namespace

const DialogTemplate& CShiroRetreatDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "城から退却";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 330;
        d.cy = 200;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {IDOK, ControlKind::Button, "退却", 216, 180, 50, 14, kDialogButton, 0},
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 273, 180, 50, 14, kDialogButton, 0},
            {kInstructionId, ControlKind::Static,
             "退却する武将を指定して下さい（マウスドラッグでまとめて選択できます）", 7, 7, 316, 10,
             WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kGridFrameId, ControlKind::Static, "", 7, 20, 316, 154, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
        };
        return d;
    }();
    return t;
}

CShiroRetreatDlg::CShiroRetreatDlg(ShiroRetreatChoice& choice, Wnd* parent)
    : Dialog(Template(), parent), choice_(choice) {}

CShiroRetreatDlg::~CShiroRetreatDlg() = default;

void CShiroRetreatDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_RetreatButton);
    DDX_Control(dx, IDCANCEL, m_CancelButton);
}

bool CShiroRetreatDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& words = choice_.State().ScenarioWords;
    SetWindowText(ReplaceWordShiro("城から退却", words));
    GetDlgItem(kInstructionId)
        ->SetWindowText(
            ReplaceWordBushou("退却する武将を指定して下さい（マウスドラッグでまとめて選択できます）", words));

    m_Grid.SetSeparater(0);
    m_Grid.SetFontSize(1);
    m_Grid.SetStyle(kGridStyle);
    const int text = 2 | MbWnd::CCellCtrl::kReadOnly;
    const int number = text | MbWnd::CCellCtrl::kRightAlign;
    m_Grid.SetColumn(0, text, 100, "名前");
    m_Grid.SetColumn(1, text, 44, "地位");
    m_Grid.SetColumn(2, number, 44, "年齢");
    m_Grid.SetColumn(3, number, 60, ReplaceWordKibahei("騎馬兵", words).c_str());
    m_Grid.SetColumn(4, number, 60, ReplaceWordAshigaruhei("足軽兵", words).c_str());
    m_Grid.SetColumn(5, number, 60, ReplaceWordTeppou("鉄砲数", words).c_str());
    m_Grid.SetColumn(6, number, 44, "武勇");
    m_Grid.SetColumn(7, number, 44, "智謀");
    Wnd* frame = GetDlgItem(kGridFrameId);
    Rect r = frame ? frame->GetWindowRect() : Rect();
    ScreenToClient(r);
    m_Grid.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, this, kGridId);

    const std::vector<ShiroRetreatChoice::Row> rows = choice_.Rows();
    m_Grid.SetLineSize(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const ShiroRetreatChoice::Row& row = rows[static_cast<std::size_t>(i)];
        const std::string* cells[8] = {&row.name, &row.rank,    &row.age,    &row.cavalry,
                                       &row.foot, &row.muskets, &row.valour, &row.intellect};
        for (int c = 0; c < 8; ++c)
            m_Grid.SetLineItem(i, c, cells[c]->c_str());
        m_Grid.SetLineData(i, row.bushou);
    }
    return true;
}

std::vector<int> CShiroRetreatDlg::Selected() const {
    std::vector<int> chosen;
    for (int line = 0; line < m_Grid.GetLineSize(); ++line)
        if (m_Grid.GetSelectStat(line)) chosen.push_back(m_Grid.GetLineData(line));
    return chosen;
}

void CShiroRetreatDlg::OnOK() {
    if (choice_.Retreat(Selected())) EndDialog(IDOK);
}

bool CShiroRetreatDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

bool CShiroRetreatDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if (id == kGridId && header && header->code == MbWnd::kCellLabelClick) {
        const int column = reinterpret_cast<MbWnd::tagCellNotify*>(header)->column;
        if (column >= 0 && column < 8)
            m_Grid.SortItemsEx(CompareLines, static_cast<std::uint32_t>(kSortKeys[column]),
                               const_cast<GameState*>(&choice_.State()));
        if (result) *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

std::intptr_t RunShiroRetreatDlg(Wnd* owner, ShiroRetreatChoice& choice) {
    EnsureApplication();
    CShiroRetreatDlg dlg(choice, owner);
    return dlg.DoModal();
}

}  // namespace rymd
