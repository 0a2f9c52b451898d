#include "game/shell/dialogs/info/shiro_info_dlg.h"

#include <algorithm>

#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace rymd {

using ui::Rect;

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kValue = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_RIGHT;
constexpr std::uint32_t kFrame =
    ui::WS_CHILD | ui::SS_LEFT;  // only its place is used: hidden when the dialog opens
constexpr std::uint32_t kList = ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS;

// Static ids of the labels that only carry words.
constexpr int kCavalryLabelIds[] = {1338, 1340};
constexpr int kFootLabelIds[] = {1339, 1341};
constexpr int kInsideLabelId = 1350;
constexpr int kBesiegerLabelId = 1351;
constexpr int kSiegeLabelId = 1352;

// The values board's two lines: 16 pixels high, the first at y 9, the second 22 pixels lower.
constexpr int kValueLineTop = 9;
constexpr int kValueLineStep = 22;
constexpr int kValueLineHeight = 16;

// The siege board's rows.
constexpr int kSiegeRowHeight = 14;
constexpr ui::COLORREF kSiegeRowEven = ui::RGB(245, 245, 245);
constexpr ui::COLORREF kSiegeRowOdd = ui::RGB(235, 235, 235);

// The column key of CompareBushouListItem for each column of the general lists (the
// thirteenth, "行動", does not sort).
constexpr int kSortKeys[] = {0, 10, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12};

const ScenarioWordArray& Words(const GameState& gs) {
    return gs.ScenarioWords;
}

bool IsPlayerSide(const GameState& gs, int house) {
    return !gs.bSpectator && house >= 0 && EffectiveHouse(gs, house) == gs.nPlayerDaimyou;
}

std::string Kokudaka(const GameState& gs, long long koku) {
    return FormatText("%d万%04d", static_cast<int>(koku / 10000), static_cast<int>(koku % 10000)) +
           ReplaceWordKoku("石", Words(gs));
}

// Draws a word on an icon twice, black and then white one pixel up and left: at (dx + 1, dy + 1)
// and (dx, dy) of the icon's rectangle, centred, one line.
void DrawIconWord(MbBmp::CControlBmp& icon, ui::Font& font, std::string_view word, int dx, int dy) {
    if (icon.IsEmpty() || word.empty()) return;
    ui::Dc dc(icon);
    if (dc.IsNull()) return;
    dc.SelectFont(&font);
    dc.SetBkMode(ui::TRANSPARENT);
    dc.SetTextColor(ui::RGB(0, 0, 0));
    dc.DrawText(word, Rect(dx + 1, dy + 1, icon.GetWidth() + dx + 1, icon.GetHeight() + dy + 1),
                ui::DT_CENTER | ui::DT_SINGLELINE);
    dc.SetTextColor(ui::RGB(255, 255, 255));
    dc.DrawText(word, Rect(dx, dy, icon.GetWidth() + dx, icon.GetHeight() + dy),
                ui::DT_CENTER | ui::DT_SINGLELINE);
}

}  // namespace

// --- the texts ------------------------------------------------------------------------------------

ShiroInfoTexts MakeShiroInfoTexts(const GameState& gs, int shiro) {
    ShiroInfoTexts t;
    if (!IsValidShiro(gs, shiro)) return t;
    const CShiro& s = ShiroAt(gs, shiro);
    const ShiroMapRecord& m = ShiroMapAt(gs, shiro);
    const ScenarioWordArray& w = Words(gs);
    const int unit = std::max(gs.nHeiUnit, 1);
    t.name = m.name;
    t.mine = m.maxKouzan > 0;
    t.port = (m.flags & ShiroMapRecord::kFlagPort) != 0;

    const std::string lord = IsValidBushou(gs, s.commander)
                                 ? FormatText("城主　%s", BushouAt(gs, s.commander).name.c_str())
                                 : "城主　---";
    t.values.push_back({10, 0, ReplaceWordJoushu(lord, w)});
    t.values.push_back(
        {150, 0,
         ReplaceWordKokudaka(
             "石高　" + Kokudaka(gs, s.kokudaka) + " (Max " + Kokudaka(gs, m.maxKokudaka) + ")", w)});
    t.values.push_back({370, 0, FormatText("守備兵　%d", s.shubihei * unit)});
    int atSea = 0;
    for (const ShiroOrderSlot& slot : s.voyage)
        atSea += slot.ships;
    if (t.mine) t.values.push_back({530, 0, FormatText("%d", s.kouzan)});
    if (t.port) t.values.push_back({650, 0, FormatText("待機 %d", s.kouekisen - atSea)});
    t.values.push_back({10, 1, ReplaceWordShiro(FormatText("城規模　%d (Max %d)", s.kibo, m.maxKibo), w)});
    t.values.push_back(
        {150, 1, ReplaceWordKeizai(FormatText("経済　%d (Max %d)", s.keizai, m.maxKeizai), w)});
    t.values.push_back({370, 1, FormatText("民衆支持率　%3d.%d%%", s.support / 10, s.support % 10)});
    if (t.mine) t.values.push_back({530, 1, FormatText("Max %d", m.maxKouzan)});
    if (t.port) t.values.push_back({650, 1, FormatText("航海 %d", atSea)});

    t.provisions = ReplaceWordHyourou(
        FormatText("兵糧 %u (Max%d)", s.hyourou, static_cast<int>(s.kibo) * gs.nShiroHyourouMax), w);

    const int size = std::min<int>(s.kibo, 10);
    for (int n = 1; n <= size; ++n) {
        const int v = s.siegeValue - (size - n) * 100;
        t.siegeLevelNames[static_cast<std::size_t>(n - 1)] =
            w[static_cast<std::size_t>(kWordShiroLevel1 + n - 1)];
        t.siegeLevelStates[static_cast<std::size_t>(n - 1)] =
            v >= 100 ? "陥落" : FormatText("%d%%", std::max(v, 0));
    }

    t.owner = HouseNameText(gs, s.daimyou);
    if (IsValidDaimyou(gs, s.daimyou) && DaimyouAt(gs, s.daimyou).bond == CDaimyou::kBondShinjuu)
        t.master = FormatText("主家　%s", HouseNameText(gs, DaimyouAt(gs, s.daimyou).masterDaimyou).c_str());
    if (s.nBesieger > 0) t.besiegerHouse = HouseNameText(gs, s.besiegerDaimyou);

    auto sum = [&](const auto& ids, int count, int& cavalry, int& foot) {
        for (int i = 0; i < std::clamp(count, 0, CShiro::kMaxBushou); ++i)
            if (IsValidBushou(gs, ids[static_cast<std::size_t>(i)])) {
                cavalry += BushouAt(gs, ids[static_cast<std::size_t>(i)]).cavalry;
                foot += BushouAt(gs, ids[static_cast<std::size_t>(i)]).foot;
            }
    };
    sum(s.bushou, s.nBushou, t.troopSums[0], t.troopSums[1]);
    sum(s.besieger, s.nBesieger, t.troopSums[2], t.troopSums[3]);
    for (int& v : t.troopSums)
        v *= unit;

    t.building = FormatText("建造中 %d", s.gunsenBuilding & 0x0F);
    const CGunsenTable& fleets = gs.GunsenTable;
    for (std::uint32_t r = 0; r < std::min<std::uint32_t>(fleets.count, CGunsenTable::kMaxRecord); ++r) {
        const GunsenRecord& g = fleets.records[r];
        if (g.shiro != shiro) continue;
        if (g.flags == GunsenRecord::kFlagBlockade) {
            t.blockadeFleets.push_back({HouseNameText(gs, g.owner), g.ships});
            t.blockadeTotal += g.ships;
            continue;
        }
        const std::string house = HouseNameText(gs, g.owner);
        auto row = std::find_if(t.lyingFleets.begin(), t.lyingFleets.end(),
                                [&](const ShiroInfoTexts::FleetRow& f) { return f.house == house; });
        if (row == t.lyingFleets.end())
            t.lyingFleets.push_back({house, g.ships});
        else
            row->ships += g.ships;
        t.lyingTotal += g.ships;
    }
    return t;
}

bool ShiroInfoShowsAction(const GameState& gs, int shiro, bool besiegers) {
    if (!IsValidShiro(gs, shiro)) return false;
    const CShiro& s = ShiroAt(gs, shiro);
    if (besiegers) return gs.nPhase == 5 && IsPlayerSide(gs, s.besiegerDaimyou);
    return (gs.nPhase == 3 || gs.nPhase == 5 || gs.nPhase == 6) && IsPlayerSide(gs, s.daimyou);
}

std::vector<std::string> ShiroInfoBushouRow(const GameState& gs, int bushou) {
    std::vector<std::string> row(13);
    if (!IsValidBushou(gs, bushou)) return row;
    const CBushou& b = BushouAt(gs, bushou);
    const int unit = std::max(gs.nHeiUnit, 1);
    row[0] = b.name;
    row[1] = IsValidDaimyou(gs, b.daimyou) ? DaimyouAt(gs, b.daimyou).name : std::string();
    if (b.gundan < 0) {
        if (IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == bushou)
            row[2] = "当主";
        else if (b.status == CBushou::kStatusKyakushou)
            row[2] = FormatText("%s 客将", HouseNameText(gs, EffectiveHouse(gs, b.daimyou)).c_str());
    } else if (IsValidGundan(b.gundan)) {
        const int leader = GundanAt(gs, b.gundan).leader;
        row[2] =
            leader == bushou
                ? std::string("軍団長")
                : FormatText("%s 軍団", IsValidBushou(gs, leader) ? BushouAt(gs, leader).name.c_str() : "");
    }
    row[3] = BushouAgeText(gs, bushou);
    row[4] = FormatText("%d", b.cavalry * unit);
    row[5] = FormatText("%d", b.foot * unit);
    row[6] = FormatText("%d", b.muskets * unit);
    row[7] = FormatText("%d", b.buyuu);
    row[8] = FormatText("%d", b.seiji);
    row[9] = FormatText("%d", b.chibou);
    row[10] = FormatText("%d", b.yasenTousotsu);
    row[11] = FormatText("%d", b.suigunTousotsu);
    if (IsPlayerSide(gs, b.daimyou) && (b.flags & CBushou::kFlagOrdered)) {
        if (gs.nPhase == 3)
            row[12] = "済";
        else if (gs.nPhase == 5 && b.moveShiro != -1)
            row[12] = "移動";
        else if (gs.nPhase == 6 && b.sortieShiro != -1)
            row[12] = "出陣";
    }
    return row;
}

// --- the dialog ------------------------------------------------------------------------------------

const ui::DialogTemplate& CShiroInfoDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "城情報";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 472;
        d.cy = 366;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {ui::IDOK, K::Button, "閉じる", 211, 345, 50, 14, kDialogButton, 0},
            {kNameFrameId, K::Static, "", 7, 7, 120, 16, kFrame, 0},
            {kOwnerLabelId, K::Static, "", 135, 11, 100, 9, kLabel, 0},
            {kMasterLabelId, K::Static, "", 238, 11, 100, 9, kLabel, 0},
            {kDaimyouInfoId, K::Button, "大名家情報", 345, 7, 58, 14, kDialogButton, 0},
            {kMasterInfoId, K::Button, "主家情報", 407, 7, 58, 14, kDialogButton, 0},
            {kValuesFrameId, K::Static, "", 7, 28, 458, 34, kFrame, 0},
            {kPictureId, K::Static, "", 7, 67, 150, 113, kFrame, 0},
            {kProvisionsFrameId, K::Static, "", 7, 184, 150, 11, kFrame, 0},
            {kSiegeLabelId, K::Static, "包囲軍侵攻度", 164, 67, 96, 9, kLabel, 0},
            {kSiegeFrameId, K::Static, "", 164, 77, 96, 87, kFrame, 0},
            {kKaisetsuId, K::Button, "城解説", 164, 168, 60, 14, kDialogButton, 0},
            {kGunsenIconId, K::Static, "", 268, 67, 36, 26, kFrame, 0},
            {kBuildingId, K::Static, "", 312, 79, 60, 9, kLabel, 0},
            {kLyingListId, K::ListView, "", 268, 94, 95, 72, kList, ui::WS_EX_CLIENTEDGE},
            {kLyingTotalId, K::Static, "", 268, 169, 95, 9, kLabel, 0},
            {kBlockadeLabelId, K::Static, "", 370, 82, 95, 9, kLabel, 0},
            {kBlockadeListId, K::ListView, "", 370, 94, 95, 72, kList, ui::WS_EX_CLIENTEDGE},
            {kBlockadeTotalId, K::Static, "", 370, 169, 95, 9, kLabel, 0},
            {kInsideLabelId, K::Static, "", 7, 203, 80, 9, kLabel, 0},
            {kCavalryLabelIds[0], K::Static, "", 240, 203, 44, 9, kLabel, 0},
            {kSumIds[0], K::Static, "", 284, 203, 50, 9, kValue, 0},
            {kFootLabelIds[0], K::Static, "", 350, 203, 44, 9, kLabel, 0},
            {kSumIds[1], K::Static, "", 394, 203, 50, 9, kValue, 0},
            {kBushouListId, K::ListView, "", 7, 213, 458, 62, kList, ui::WS_EX_CLIENTEDGE},
            {kBesiegerLabelId, K::Static, "", 7, 280, 50, 9, kLabel, 0},
            {kBesiegerHouseId, K::Static, "", 60, 280, 110, 9, kLabel, 0},
            {kCavalryLabelIds[1], K::Static, "", 240, 280, 44, 9, kLabel, 0},
            {kSumIds[2], K::Static, "", 284, 280, 50, 9, kValue, 0},
            {kFootLabelIds[1], K::Static, "", 350, 280, 44, 9, kLabel, 0},
            {kSumIds[3], K::Static, "", 394, 280, 50, 9, kValue, 0},
            {kBesiegerListId, K::ListView, "", 7, 290, 458, 50, kList, ui::WS_EX_CLIENTEDGE},
        };
        return d;
    }();
    return t;
}

CShiroInfoDlg::CShiroInfoDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, int shiro, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), map_(map), shiro_(shiro) {}

CShiroInfoDlg::~CShiroInfoDlg() = default;

void CShiroInfoDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, kMasterInfoId, masterButton_);
    ui::DDX_Control(dx, kDaimyouInfoId, daimyouButton_);
    ui::DDX_Control(dx, kKaisetsuId, kaisetsuButton_);
    ui::DDX_Control(dx, ui::IDOK, closeButton_);
}

ui::ListCtrl* CShiroInfoDlg::List(int id) const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(id));
}

bool CShiroInfoDlg::CopyNamedPicture(int named, MbBmp::CControlBmp& bmp) const {
    return shell::CopyScenarioPicture(map_, named, bmp);
}

bool CShiroInfoDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = Words(gs_);
    auto setText = [&](int id, const std::string& text) {
        if (ui::Wnd* c = GetDlgItem(id)) c->SetWindowText(text);
    };
    auto show = [&](int id, bool on) {
        if (ui::Wnd* c = GetDlgItem(id)) c->ShowWindow(on ? ui::SW_SHOW : ui::SW_HIDE);
    };

    // The frames only give their places to the boards and pictures.
    for (int id :
         {kNameFrameId, kValuesFrameId, kSiegeFrameId, kProvisionsFrameId, kPictureId, kGunsenIconId})
        show(id, false);

    ShowWords();
    const bool valid = IsValidShiro(gs_, shiro_);
    const ShiroMapRecord* m = valid ? &ShiroMapAt(gs_, shiro_) : nullptr;
    kaisetsuButton_.EnableWindow(m && m->textIndex != 0xFFFF && m->textIndex < gs_.ScenarioTextPool.size());
    daimyouButton_.EnableWindow(valid && IsValidDaimyou(gs_, ShiroAt(gs_, shiro_).daimyou));
    font12_.CreateFont(12, 0, 0, 0, 500, false, false, false, ui::SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       "ＭＳ Ｐゴシック");
    font14_.CreateFont(14, 0, 0, 0, 500, false, false, false, ui::SHIFTJIS_CHARSET, 0, 0, 0, 0,
                       "ＭＳ Ｐゴシック");
    const ShiroInfoTexts t = MakeShiroInfoTexts(gs_, shiro_);

    // 2. The name board.
    nameBoard_.Create(ChildRect(kNameFrameId), this);
    nameBoard_.SetFont(&font14_);
    nameBoard_.ClearBoard();
    Rect nameRect(0, 0, nameBoard_.GetBoardWidth(), nameBoard_.GetBoardHeight());
    nameBoard_.DrawTextA(t.name.c_str(), &nameRect, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);

    // 3. The values board.
    valuesBoard_.Create(ChildRect(kValuesFrameId), this);
    valuesBoard_.SetFont(&font12_);
    DrawValuesBoard(t);

    // 4. The provisions board.
    provisionsBoard_.Create(ChildRect(kProvisionsFrameId), this);
    provisionsBoard_.SetFont(&font12_);
    provisionsBoard_.ClearBoard();
    Rect provisions(10, 0, provisionsBoard_.GetBoardWidth(), provisionsBoard_.GetBoardHeight());
    provisionsBoard_.DrawTextA(t.provisions.c_str(), &provisions,
                               ui::DT_LEFT | ui::DT_VCENTER | ui::DT_SINGLELINE);

    // 5. The warship section only on a waterway.
    const bool waterway = m && (m->flags & ShiroMapRecord::kFlagWaterway);
    for (int id :
         {kLyingListId, kBlockadeListId, kLyingTotalId, kBuildingId, kBlockadeLabelId, kBlockadeTotalId})
        show(id, waterway);

    // 6. The castle picture by its type's first picture id.
    shell::LoadShiroPicture(gs_, shiro_, map_, shiroBmp_);

    // 7. The warship icon with its word (the dialog paints the picture and the icon over the
    // places of their hidden statics).
    if (waterway) {
        if (!CopyNamedPicture(gs_.nGunsenPicture, gunsenBmp_))
            shell::PictureStore().LoadGunsenSmall(gunsenBmp_);
        DrawIconWord(gunsenBmp_, font12_, w[kWordGunsen], 4, 4);
    }

    // 8-9. The general lists.
    ui::ListCtrl* inside = BushouList();
    ui::ListCtrl* besiegers = BesiegerList();
    const bool insideAction = ShiroInfoShowsAction(gs_, shiro_, false);
    const bool besiegerAction = ShiroInfoShowsAction(gs_, shiro_, true);
    if (inside) SetUpGeneralList(*inside, insideAction);
    if (besiegers) SetUpGeneralList(*besiegers, besiegerAction);
    if (valid) {
        const CShiro& s = ShiroAt(gs_, shiro_);
        if (inside) FillBushouList(*inside, s.bushou.data(), s.nBushou);
        if (besiegers) FillBushouList(*besiegers, s.besieger.data(), s.nBesieger);
    }
    for (std::size_t i = 0; i < kSumIds.size(); ++i)
        setText(kSumIds[i], FormatText("%d", t.troopSums[i]));

    // 10. The houses.
    setText(kBesiegerHouseId, t.besiegerHouse);
    if (besiegers && t.besiegerHouse.empty()) besiegers->EnableWindow(false);
    setText(kOwnerLabelId, t.owner);
    if (t.master.empty()) {
        show(kMasterLabelId, false);
        show(kMasterInfoId, false);
    } else {
        setText(kMasterLabelId, t.master);
    }

    // 11. Warships being built.
    setText(kBuildingId, t.building);

    // 12. The siege board.
    siegeBoard_.Create(ChildRect(kSiegeFrameId), this);
    siegeBoard_.SetFont(&font12_);
    DrawSiegeBoard(t);

    FillFleetLists(t);
    return true;
}

// The dialog's words, in the scenario's own words.
void CShiroInfoDlg::ShowWords() {
    const ScenarioWordArray& w = Words(gs_);
    SetWindowText(ReplaceWordShiro("城情報", w));
    SetItemText(*this, kDaimyouInfoId, ReplaceWordDaimyouke("大名家情報", w));
    for (int id : kCavalryLabelIds)
        SetItemText(*this, id, ReplaceWordKibahei("総騎馬兵", w));
    for (int id : kFootLabelIds)
        SetItemText(*this, id, ReplaceWordAshigaruhei("総足軽兵", w));
    SetItemText(*this, kKaisetsuId, ReplaceWordShiro("城解説", w));
    SetItemText(*this, kInsideLabelId, ReplaceWordBushou(ReplaceWordShiro("城内武将", w), w));
    SetItemText(*this, kBesiegerLabelId, ReplaceWordBushou("包囲武将", w));
    SetItemText(*this, kBlockadeLabelId, ReplaceWordSuiro(ReplaceWordGunsen("水路封鎖軍船", w), w));
}

// The warship lists: the fleets lying in the castle's waters and those blockading it.
void CShiroInfoDlg::FillFleetLists(const ShiroInfoTexts& t) {
    const ScenarioWordArray& w = Words(gs_);
    auto fillFleets = [&](ui::ListCtrl* list, const std::vector<ShiroInfoTexts::FleetRow>& rows) {
        if (!list) return;
        InsertListColumns(*list, {{"所属", 75}, {ReplaceWordGunsen("軍船数", w), 50}});
        for (const ShiroInfoTexts::FleetRow& r : rows) {
            const int item = list->InsertItem(list->GetItemCount(), r.house);
            list->SetItemText(item, 1, FormatText("%d", r.ships));
        }
    };
    fillFleets(LyingList(), t.lyingFleets);
    SetItemText(*this, kLyingTotalId, FormatText("総数  %d", t.lyingTotal));
    fillFleets(BlockadeList(), t.blockadeFleets);
    SetItemText(*this, kBlockadeTotalId, FormatText("総数 %d", t.blockadeTotal));
    if (ui::ListCtrl* blockade = BlockadeList(); blockade && t.blockadeTotal == 0)
        blockade->EnableWindow(false);
}

// The values board's middle column (garrison, support) and where the icons' group begins.
constexpr int kValueMiddleX = 370;
constexpr int kValueIconsX = 475;

void CShiroInfoDlg::DrawValuesBoard(const ShiroInfoTexts& t) {
    const ScenarioWordArray& w = Words(gs_);
    MbWnd::CDisplayBoard& board = valuesBoard_;
    board.ClearBoard();
    // The icons and the texts right of them move right as far as the middle column's widest text
    // needs, so that the support figure's "%" never runs into the mine icon.
    ui::Dc measure = ui::Dc::ForMeasure();
    measure.SelectFont(&font12_);
    int middle = 0;
    for (const ShiroInfoTexts::BoardText& v : t.values)
        if (v.x == kValueMiddleX) middle = std::max(middle, measure.GetTextExtent(v.text).cx);
    const int shift = std::max(0, kValueMiddleX + middle + 6 - kValueIconsX);
    iconsX_ = kValueIconsX + shift;
    auto icon = [&](int named, void (shell::CPictureStore::*builtIn)(MbBmp::CControlBmp&) const,
                    const std::string& word, int x) {
        MbBmp::CControlBmp bmp;
        if (!CopyNamedPicture(named, bmp)) (shell::PictureStore().*builtIn)(bmp);
        DrawIconWord(bmp, font12_, word, 0, 4);
        if (!bmp.IsEmpty()) board.DrawBmp(bmp.GetHbmp(), ui::Point(x, 3));
    };
    if (t.mine)
        icon(gs_.nKouzanPicture, &shell::CPictureStore::LoadKouzan, ReplaceWordKouzan("鉱山", w),
             475 + shift);
    if (t.port)
        icon(gs_.nKouekisenPicture, &shell::CPictureStore::LoadKouekisenSmall, w[kWordKouekisen],
             595 + shift);
    board.SetTextColor(ui::RGB(0, 0, 0));
    for (const ShiroInfoTexts::BoardText& v : t.values) {
        const int top = kValueLineTop + v.line * kValueLineStep;
        Rect r(v.x >= kValueIconsX ? v.x + shift : v.x, top, board.GetBoardWidth(), top + kValueLineHeight);
        board.DrawTextA(v.text.c_str(), &r, ui::DT_LEFT | ui::DT_VCENTER | ui::DT_SINGLELINE);
    }
    board.Invalidate(false);
}

void CShiroInfoDlg::DrawSiegeBoard(const ShiroInfoTexts& t) {
    MbWnd::CDisplayBoard& board = siegeBoard_;
    board.ClearBoard();
    const int width = board.GetBoardWidth();
    for (int row = 0; row < 10; ++row) {
        const Rect r(0, 1 + row * kSiegeRowHeight, width, 1 + (row + 1) * kSiegeRowHeight);
        board.FillSolidRect(&r, row % 2 == 0 ? kSiegeRowEven : kSiegeRowOdd);
        const std::string& name = t.siegeLevelNames[static_cast<std::size_t>(row)];
        if (name.empty() && t.siegeLevelStates[static_cast<std::size_t>(row)].empty()) continue;
        Rect left(12, r.top, width, r.bottom);
        board.DrawTextA(name.c_str(), &left, ui::DT_LEFT | ui::DT_VCENTER | ui::DT_SINGLELINE);
        Rect right(80, r.top, width - 12, r.bottom);
        board.DrawTextA(t.siegeLevelStates[static_cast<std::size_t>(row)].c_str(), &right,
                        ui::DT_RIGHT | ui::DT_VCENTER | ui::DT_SINGLELINE);
    }
    board.Invalidate(false);
}

void CShiroInfoDlg::SetUpGeneralList(ui::ListCtrl& list, bool action) {
    const ScenarioWordArray& w = Words(gs_);
    PrepareBushouList(list, {{"名前", 100},
                             {"所属", 80},
                             {"地位", 100},
                             {"年齢", 36},
                             {ReplaceWordKibahei("騎馬兵", w), 48},
                             {ReplaceWordAshigaruhei("足軽兵", w), 48},
                             {ReplaceWordTeppou("鉄砲", w), 36},
                             {"武", 24},
                             {"政", 24},
                             {"智", 24},
                             {"野統", 36},
                             {"水統", 36}});
    if (action) InsertListColumns(list, {{"行動", 36}});
}

void CShiroInfoDlg::FillBushouList(ui::ListCtrl& list, const std::int32_t* ids, int count) {
    for (int i = 0; i < std::clamp(count, 0, CShiro::kMaxBushou); ++i) {
        const int b = ids[i];
        if (!IsValidBushou(gs_, b)) continue;
        AddBushouRow(gs_, list, b, ShiroInfoBushouRow(gs_, b));
    }
    SelectFirstRow(list);
}

void CShiroInfoDlg::ShowBushouKaisetsu(ui::ListCtrl& list) {
    const int item = list.GetFirstSelectedItem();
    if (item >= 0) rymd::ShowBushouKaisetsu(this, gs_, static_cast<int>(list.GetItemData(item)));
}

bool CShiroInfoDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if ((id == kDaimyouInfoId || id == kMasterInfoId) && IsValidShiro(gs_, shiro_)) {
        // The owner, or the master house of a vassal owner.
        const int owner = ShiroAt(gs_, shiro_).daimyou;
        const int house = id == kDaimyouInfoId ? owner : EffectiveHouse(gs_, owner);
        if (IsValidDaimyou(gs_, house) && (id == kDaimyouInfoId || house != owner)) {
            CDaimyouInfoDlg dlg(gs_, map_, house, this);
            dlg.DoModal();
        }
        return true;
    }
    if (id == kKaisetsuId && IsValidShiro(gs_, shiro_)) {
        const ShiroMapRecord& m = ShiroMapAt(gs_, shiro_);
        if (m.textIndex != 0xFFFF)
            ShowKaisetsu(this, gs_, ReplaceWordShiro("城解説", Words(gs_)), m.name, m.textIndex);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CShiroInfoDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if ((id != kBushouListId && id != kBesiegerListId) || !header)
        return Dialog::OnNotify(id, header, result);
    ui::ListCtrl* list = List(id);
    if (!list) return Dialog::OnNotify(id, header, result);
    if (header->code == ui::LVN_COLUMNCLICK) {
        SortBushouList(gs_, *list, reinterpret_cast<ui::NMListView*>(header)->iSubItem, kSortKeys);
    } else if (header->code == ui::NM_CLICK) {
        ShowBushouKaisetsu(*list);
    }
    if (result) *result = 0;
    return true;
}

bool CShiroInfoDlg::PreTranslateMessage(ui::Msg& msg) {
    if (msg.message == ui::WM_KEYDOWN && msg.key == ui::VK_RETURN) {
        ui::Wnd* focus = GetFocus();
        for (ui::ListCtrl* list : {BushouList(), BesiegerList()})
            if (list && focus == list && list->GetFirstSelectedItem() >= 0) {
                ShowBushouKaisetsu(*list);
                return true;
            }
    }
    return Dialog::PreTranslateMessage(msg);
}

void CShiroInfoDlg::OnPaint(ui::Dc& dc) {
    if (!shiroBmp_.IsEmpty()) {
        const Rect r = ChildRect(kPictureId);
        dc.StretchControlBmp(r, shiroBmp_, Rect(0, 0, shiroBmp_.GetWidth(), shiroBmp_.GetHeight()));
    }
    if (!gunsenBmp_.IsEmpty()) {
        const Rect r = ChildRect(kGunsenIconId);
        dc.DrawControlBmp(r.left, r.top, std::min(r.Width(), gunsenBmp_.GetWidth()),
                          std::min(r.Height(), gunsenBmp_.GetHeight()), gunsenBmp_, 0, 0);
    }
}

std::intptr_t ShowShiroInfoDlg(ui::Wnd* parent, const GameState& gs, MbKorMap::CCtrlKorMap* map, int shiro) {
    ui::EnsureApplication();
    CShiroInfoDlg dlg(gs, map, shiro, parent);
    return dlg.DoModal();
}

}  // namespace rymd
