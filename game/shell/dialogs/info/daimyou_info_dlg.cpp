#include "game/shell/dialogs/info/daimyou_info_dlg.h"

#include <algorithm>
#include <cstdlib>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/bushou_list_dlg.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"

namespace rymd {

using ui::Rect;

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kFrame = ui::WS_CHILD | ui::SS_LEFT;  // only its place is used: hidden on opening

// The information board's lines: 20 pixels apart, from 8 pixels off the left and top.
constexpr int kInfoMargin = 8;
constexpr int kInfoLineStep = 20;

std::int32_t& Stat(std::vector<std::int32_t>& stats, int house, int k) {
    return stats[static_cast<std::size_t>(house) * kDaimyouListValueColumns + static_cast<std::size_t>(k)];
}

std::string KokuText(const GameState& gs, std::int64_t koku) {
    return FormatText("%d万%04d", static_cast<int>(koku / 10000), static_cast<int>(koku % 10000)) +
           ReplaceWordKoku("石", gs.ScenarioWords);
}

bool HasDaimyouKaisetsu(const GameState& gs, int house) {
    if (house < 0 || house >= gs.nScenarioDaimyou) return false;
    const std::uint16_t text = gs.DaimyouInitTbl[static_cast<std::size_t>(house)].textIndex;
    return text != 0xFFFF && text < gs.ScenarioTextPool.size();
}

}  // namespace

// --- the texts ------------------------------------------------------------------------------------

std::vector<std::string> DaimyouInfoLines(const GameState& gs, int house) {
    std::vector<std::string> lines;
    if (!IsValidDaimyou(gs, house)) return lines;
    const CDaimyou& d = DaimyouAt(gs, house);
    const ScenarioWordArray& w = gs.ScenarioWords;
    lines.push_back(d.toushu >= 0 && IsValidBushou(gs, d.toushu) ? "当主　" + BushouAt(gs, d.toushu).name
                                                                 : std::string("当主　---"));
    lines.push_back(ReplaceWordKokudaka("石高　" + KokuText(gs, SumKokudakaOfDaimyou(gs, house)), w));
    lines.push_back(ReplaceWordShiro(FormatText("城数　%d", CountShiroOfDaimyou(gs, house)), w));
    lines.push_back(FormatText("資金　%d", d.shikin));
    lines.push_back(FormatText("航海技術　%d", d.koukaiGijutsu));
    lines.push_back(FormatText("鉱山技術　%d", d.kouzanGijutsu));
    if (d.bond == CDaimyou::kBondJuuzoku || d.bond == CDaimyou::kBondShinjuu) {
        lines.push_back(FormatText("主家　%s", HouseNameText(gs, d.masterDaimyou).c_str()));
        lines.push_back(
            FormatText("（主家との関係 %s）", d.bond == CDaimyou::kBondJuuzoku ? "従属" : "臣従"));
    }
    int subordinates = 0, vassals = 0;
    for (int h : DaimyouIndexes(gs)) {
        const CDaimyou& o = DaimyouAt(gs, h);
        if (h == house || o.toushu == -1 || o.masterDaimyou != house) continue;
        subordinates += o.bond == CDaimyou::kBondJuuzoku;
        vassals += o.bond == CDaimyou::kBondShinjuu;
    }
    lines.push_back(ReplaceWordDaimyouke(FormatText("従属大名家数　%d", subordinates), w));
    lines.push_back(ReplaceWordDaimyouke(FormatText("臣従大名家数　%d", vassals), w));
    return lines;
}

std::vector<std::int32_t> DaimyouListStatistics(const GameState& gs) {
    std::vector<std::int32_t> stats(static_cast<std::size_t>(kDaimyouListRows) * kDaimyouListValueColumns, 0);
    auto valid = [](int h) { return h >= 0 && h < kDaimyouListRows; };
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        const int owner = s.daimyou;
        if (!valid(owner)) continue;
        Stat(stats, owner, 0) += 1;
        Stat(stats, owner, 1) += static_cast<std::int32_t>(s.kokudaka);
        Stat(stats, owner, 3) += s.keizai;
        Stat(stats, owner, 4) += s.kouzan;
        Stat(stats, owner, 9) += s.shubihei;
        const int ruler = EffectiveHouse(gs, owner);
        if (valid(ruler)) Stat(stats, ruler, 2) += static_cast<std::int32_t>(s.kokudaka);
        if (ruler != owner) Stat(stats, owner, 2) += static_cast<std::int32_t>(s.kokudaka);
        int atSea = 0;
        for (const ShiroOrderSlot& slot : s.voyage)
            atSea += slot.ships;
        Stat(stats, owner, 12) += s.kouekisen - atSea;
        Stat(stats, owner, 13) += atSea;
        if (valid(s.gunsenBuilder)) Stat(stats, s.gunsenBuilder, 14) += s.gunsenBuilding & 0x0F;
    }
    for (int b : BushouIndexes(gs)) {
        const CBushou& g = BushouAt(gs, b);
        if (!valid(g.daimyou)) continue;
        Stat(stats, g.daimyou, 5) += 1;
        Stat(stats, g.daimyou, 6) += g.cavalry;
        Stat(stats, g.daimyou, 7) += g.foot;
        Stat(stats, g.daimyou, 8) += g.muskets;
    }
    const CGunsenTable& fleets = gs.GunsenTable;
    for (std::uint32_t r = 0; r < std::min<std::uint32_t>(fleets.count, CGunsenTable::kMaxRecord); ++r)
        if (valid(fleets.records[r].owner))
            Stat(stats, fleets.records[r].owner, 15) += fleets.records[r].ships;
    const bool player = IsValidDaimyou(gs, gs.nPlayerDaimyou);
    for (int h : DaimyouIndexes(gs)) {
        if (!valid(h)) continue;
        Stat(stats, h, 10) = DaimyouAt(gs, h).shikin;
        Stat(stats, h, 11) = player ? DaimyouAt(gs, gs.nPlayerDaimyou).GetRelationLo(h) : 0;
    }
    return stats;
}

std::int32_t DaimyouYieldWithVassals(const std::vector<std::int32_t>& stats, int house) {
    if (house < 0 || house >= kDaimyouListRows) return 0;
    return stats[static_cast<std::size_t>(house) * kDaimyouListValueColumns + 2];
}

std::vector<std::string> DaimyouListRow(const GameState& gs, const std::vector<std::int32_t>& stats,
                                        int house) {
    std::vector<std::string> row(CDaimyouListDlg::kColumnCount);
    if (!IsValidDaimyou(gs, house) || house >= kDaimyouListRows) return row;
    auto stat = [&](int k) {
        return stats[static_cast<std::size_t>(house) * kDaimyouListValueColumns +
                     static_cast<std::size_t>(k)];
    };
    const int unit = std::max(gs.nHeiUnit, 1);
    const CDaimyou& d = DaimyouAt(gs, house);
    auto num = [](std::int64_t v) { return FormatText("%lld", static_cast<long long>(v)); };
    row[0] = d.name;
    row[1] = num(stat(0));
    row[2] = KokuText(gs, stat(1));
    row[3] = KokuText(gs, stat(2));
    row[4] = num(stat(3));
    row[5] = num(stat(4));
    row[6] = num(stat(5));
    row[7] = num(static_cast<std::int64_t>(stat(6)) * unit);
    row[8] = num(static_cast<std::int64_t>(stat(7)) * unit);
    row[9] = num(static_cast<std::int64_t>(stat(8)) * unit);
    row[10] = num(static_cast<std::int64_t>(stat(9)) * unit);
    row[11] = num(stat(10));
    row[12] = GetRelationWord(stat(11));
    row[13] = num(d.kouzanGijutsu);
    row[14] = num(d.koukaiGijutsu);
    for (int k = 12; k < 16; ++k)
        row[static_cast<std::size_t>(k + 3)] = num(stat(k));
    return row;
}

// --- the house information -------------------------------------------------------------------------

const ui::DialogTemplate& CDaimyouInfoDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "大名家情報";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 400;
        d.cy = 244;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {kTitleFrameId, K::Static, "", 7, 7, 150, 16, kFrame, 0},
            {kInfoFrameId, K::Static, "", 7, 28, 150, 150, kFrame, 0},
            // "閉じる" first: Enter closes the dialog rather than opening the general list.
            {ui::IDOK, K::Button, "閉じる", 54, 224, 56, 14, kDialogButton, 0},
            {kBushouListId, K::Button, "武将一覧", 7, 184, 72, 14, kDialogButton, 0},
            {kKaisetsuId, K::Button, "大名家解説", 85, 184, 72, 14, kDialogButton, 0},
            {kMapPlaceId, K::Static, "", 164, 7, 229, 231, kFrame, 0},
        };
        return d;
    }();
    return t;
}

CDaimyouInfoDlg::CDaimyouInfoDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, int house, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), korMap_(map), house_(house), m_Map(map) {}

CDaimyouInfoDlg::~CDaimyouInfoDlg() = default;

void CDaimyouInfoDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, m_CloseButton);
    ui::DDX_Control(dx, kBushouListId, m_BushouListButton);
    ui::DDX_Control(dx, kKaisetsuId, m_KaisetsuButton);
}

bool CDaimyouInfoDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    for (int id : {kTitleFrameId, kInfoFrameId, kMapPlaceId})
        if (ui::Wnd* f = GetDlgItem(id)) f->ShowWindow(ui::SW_HIDE);
    SetWindowText(ReplaceWordDaimyouke("大名家情報", w));
    m_KaisetsuButton.SetWindowText(ReplaceWordDaimyouke("大名家解説", w));
    m_BushouListButton.SetWindowText(ReplaceWordBushou("武将一覧", w));
    m_KaisetsuButton.EnableWindow(HasDaimyouKaisetsu(gs_, house_));
    m_TitleFont.CreateFont(14, 0, 0, 0, 500, false, false, false, ui::SHIFTJIS_CHARSET, 0, 0, 0, 0,
                           "ＭＳ ゴシック");
    m_InfoFont.CreateFont(12, 0, 0, 0, 500, false, false, false, ui::SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          "ＭＳ ゴシック");

    // Over the main window, 8 pixels in from each side, never smaller than the template; the
    // map takes what is gained.
    int gainedW = 0, gainedH = 0;
    if (ui::Wnd* main = ui::GetMainWindow(); main && main != this && main->IsWindow()) {
        Rect target = main->GetWindowRect();
        target.DeflateRect(8, 8);
        const Rect own = GetWindowRect();
        gainedW = std::max(0, target.Width() - own.Width());
        gainedH = std::max(0, target.Height() - own.Height());
        MoveWindow(Rect(target.left, target.top, target.left + own.Width() + gainedW,
                        target.top + own.Height() + gainedH),
                   false);
    }

    m_TitleBoard.Create(ChildRect(kTitleFrameId), this);
    m_TitleBoard.SetFont(&m_TitleFont);
    m_TitleBoard.ClearBoard();
    Rect title(0, 0, m_TitleBoard.GetBoardWidth(), m_TitleBoard.GetBoardHeight());
    m_TitleBoard.DrawTextA(HouseNameText(gs_, house_).c_str(), &title,
                           ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);

    m_InfoBoard.Create(ChildRect(kInfoFrameId), this);
    m_InfoBoard.SetFont(&m_InfoFont);
    m_InfoBoard.ClearBoard();
    const std::vector<std::string> lines = DaimyouInfoLines(gs_, house_);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int top = kInfoMargin + static_cast<int>(i) * kInfoLineStep;
        Rect r(kInfoMargin, top, m_InfoBoard.GetBoardWidth(), top + kInfoLineStep);
        m_InfoBoard.DrawTextA(lines[i].c_str(), &r, ui::DT_LEFT | ui::DT_TOP | ui::DT_SINGLELINE);
    }

    Rect place = ChildRect(kMapPlaceId);
    place.right += gainedW;
    place.bottom += gainedH;
    if (korMap_) {
        m_Map.SetGameState(&gs_);
        // The whole country fits the view, so every castle of the house is in sight.
        m_Map.m_nMapMinWidth = 0;
        m_Map.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                       place, this, kMapId);
        DrawMarks();
        SetTimer(kBlinkTimer, kBlinkMs);
    }
    return true;
}

void CDaimyouInfoDlg::DrawMarks() {
    const int level = m_nBlinkPhase < 4 ? m_nBlinkPhase : 6 - m_nBlinkPhase;
    m_Map.DrawShiroMarksRelation(house_, kPulse[static_cast<std::size_t>(std::clamp(level, 0, 3))]);
    m_Map.RedrawWindow();
}

void CDaimyouInfoDlg::OnTimer(int id) {
    if (id != kBlinkTimer || !m_Map.IsWindow()) return;
    m_nBlinkPhase = m_nBlinkPhase >= 5 ? 0 : m_nBlinkPhase + 1;
    DrawMarks();
}

bool CDaimyouInfoDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kBushouListId) {
        CBushouListDlg dlg(gs_, korMap_, house_, this);
        dlg.DoModal();
        return true;
    }
    if (id == kKaisetsuId) {
        if (HasDaimyouKaisetsu(gs_, house_))
            ShowKaisetsu(this, gs_, ReplaceWordDaimyouke("大名家解説", gs_.ScenarioWords),
                         HouseNameText(gs_, house_),
                         gs_.DaimyouInitTbl[static_cast<std::size_t>(house_)].textIndex);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

// --- the house list ---------------------------------------------------------------------------------

const ui::DialogTemplate& CDaimyouListDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "大名家一覧";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 600;
        d.cy = 282;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {-1, K::Static, "リストをクリックすると、勢力範囲を確認できます", 7, 7, 300, 9, kLabel, 0},
            {kGridPlaceId, K::Static, "", 7, 19, 586, 236, kFrame, 0},
            {ui::IDOK, K::Button, "閉じる", 275, 262, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CDaimyouListDlg::CDaimyouListDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), korMap_(map) {}

CDaimyouListDlg::~CDaimyouListDlg() = default;

void CDaimyouListDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, m_CloseButton);
}

// In a dialog narrowed to the screen the list keeps its left margin on the right too, and the
// close button stays in the middle.
void CDaimyouListDlg::FitToClient() {
    const Rect client = GetClientRect();
    if (m_Grid.IsWindow()) {
        Rect place = gridPlace_;
        place.right = std::min(place.right, client.right - place.left);
        m_Grid.MoveWindow(place, false);
    }
    if (ui::Wnd* close = GetDlgItem(ui::IDOK)) {
        Rect r = ChildRect(ui::IDOK);
        r.OffsetRect(client.Width() / 2 - r.CenterPoint().x, 0);
        close->MoveWindow(r, false);
    }
}

void CDaimyouListDlg::OnSize(int type, int cx, int cy) {
    Dialog::OnSize(type, cx, cy);
    FitToClient();
}

bool CDaimyouListDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(ReplaceWordDaimyouke("大名家一覧", w));
    Rect place;
    if (ui::Wnd* frame = GetDlgItem(kGridPlaceId)) {
        place = frame->GetWindowRect();
        ScreenToClient(place);
        frame->ShowWindow(ui::SW_HIDE);
    }
    gridPlace_ = place;
    constexpr int kText = 2, kNumber = 0;
    const struct {
        std::string title;
        int width;
        int type;
    } columns[kColumnCount] = {
        {w[kWordDaimyouke].empty() ? std::string("大名家") : w[kWordDaimyouke], 100, kText},
        {ReplaceWordShiro("城", w), 40, kNumber},
        {ReplaceWordKokudaka("石高(直轄)", w), 95, kText},
        {ReplaceWordKokudaka("石高(臣従含)", w), 95, kText},
        {"町収入", 60, kNumber},
        {ReplaceWordKouzan("鉱山", w), 50, kNumber},
        {ReplaceWordBushou("武将数", w), 50, kNumber},
        {ReplaceWordKibahei("騎馬兵数", w), 60, kNumber},
        {ReplaceWordAshigaruhei("足軽兵数", w), 60, kNumber},
        {ReplaceWordTeppou("鉄砲数", w), 60, kNumber},
        {"守備兵", 60, kNumber},
        {"資金", 70, kNumber},
        {"外交関係", 83, kText},
        {ReplaceWordKouzan("鉱山技術", w), 60, kNumber},
        {"航海技術", 60, kNumber},
        {ReplaceWordKouekisen("交易船(待機中)", w), 100, kNumber},
        {ReplaceWordKouekisen("交易船(航海中)", w), 100, kNumber},
        {ReplaceWordGunsen("軍船(建造中)", w), 90, kNumber},
        {ReplaceWordGunsen("軍船(配備済)", w), 90, kNumber},
    };
    m_Grid.SetSeparater(1);
    m_Grid.SetFontSize(0);
    m_Grid.SetStyle(7);
    for (int c = 0; c < kColumnCount; ++c) {
        const auto& col = columns[c];
        m_Grid.SetColumn(c,
                         col.type | MbWnd::CCellCtrl::kReadOnly |
                             (col.type == kNumber ? MbWnd::CCellCtrl::kRightAlign : 0),
                         col.width, col.title.c_str());
    }
    m_Grid.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE, place, this, kGridId);
    FitToClient();

    stats_ = DaimyouListStatistics(gs_);
    std::vector<int> houses;
    for (int h : DaimyouIndexes(gs_))
        if (DaimyouAt(gs_, h).toushu != -1) houses.push_back(h);
    m_Grid.SetLineSize(static_cast<int>(houses.size()));
    for (int line = 0; line < static_cast<int>(houses.size()); ++line) {
        const int h = houses[static_cast<std::size_t>(line)];
        const std::vector<std::string> cells = DaimyouListRow(gs_, stats_, h);
        m_Grid.SetLineData(line, h);
        for (int c = 0; c < kColumnCount; ++c) {
            if (columns[c].type == kText)
                m_Grid.SetLineItem(line, c, cells[static_cast<std::size_t>(c)].c_str());
            else
                m_Grid.SetLineItem(line, c, std::atof(cells[static_cast<std::size_t>(c)].c_str()));
        }
    }
    return true;
}

bool CDaimyouListDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kGridId || !header) return Dialog::OnNotify(id, header, result);
    const auto* n = reinterpret_cast<MbWnd::tagCellNotify*>(header);
    if (header->code == MbWnd::kCellLabelClick && n->column >= 0 && n->column < kColumnCount) {
        struct Sort {
            const GameState* gs;
            const std::vector<std::int32_t>* stats;
        } sort{&gs_, &stats_};
        m_Grid.SortItemsEx(
            [](std::intptr_t a, std::intptr_t b, std::intptr_t column, void* extra) {
                const Sort& s = *static_cast<const Sort*>(extra);
                return CompareDaimyouListItem(*s.gs, *s.stats, static_cast<int>(a), static_cast<int>(b),
                                              static_cast<int>(column));
            },
            static_cast<std::uint32_t>(n->column), &sort);
        m_Grid.RedrawWindow();
    } else if (header->code == MbWnd::kCellClick && n->line >= 0 && n->line < m_Grid.GetLineSize()) {
        CDaimyouInfoDlg dlg(gs_, korMap_, m_Grid.GetLineData(n->line), this);
        dlg.DoModal();
    }
    if (result) *result = 0;
    return true;
}

}  // namespace rymd
