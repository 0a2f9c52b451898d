#include "game/shell/dialogs/info/bushou_list_columns.h"

#include <algorithm>

#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd::shell {

namespace {

struct Column {
    const char* title;
    int width;
    int format;
    int sortKey;  // key of the game's general comparison
};

constexpr std::array<Column, kBushouListColumns> kColumns = {{
    {"名前", 110, ui::LVCFMT_LEFT, 0},
    {"地位", 45, ui::LVCFMT_LEFT, 1},
    {"年齢", 45, ui::LVCFMT_RIGHT, 2},
    {"騎馬兵", 62, ui::LVCFMT_RIGHT, 3},
    {"足軽兵", 62, ui::LVCFMT_RIGHT, 4},
    {"鉄砲数", 62, ui::LVCFMT_RIGHT, 5},
    {"武勇", 45, ui::LVCFMT_RIGHT, 6},
    {"政治", 45, ui::LVCFMT_RIGHT, 7},
    {"智謀", 45, ui::LVCFMT_RIGHT, 8},
    {"野戦統率", 78, ui::LVCFMT_RIGHT, 11},
    {"水軍統率", 78, ui::LVCFMT_RIGHT, 12},
    {"城", 110, ui::LVCFMT_LEFT, 9},
}};

}  // namespace

std::string UnitsText(const GameState& gs, long long units) {
    return FormatText("%lld", units * HeiUnit(gs));
}

void InsertBushouListColumns(ui::ListCtrl& list, const GameState& gs) {
    list.SetExtendedStyle(list.GetExtendedStyle() | ui::LVS_EX_FULLROWSELECT);
    const auto& words = gs.ScenarioWords;
    for (int c = 0; c < kBushouListColumns; ++c) {
        std::string title = kColumns[static_cast<std::size_t>(c)].title;
        switch (c) {
            case kBushouColCavalry: title = ReplaceWordKibahei(title, words); break;
            case kBushouColFoot: title = ReplaceWordAshigaruhei(title, words); break;
            case kBushouColMuskets: title = ReplaceWordTeppou(title, words); break;
            case kBushouListColumns - 1: title = ReplaceWordShiro(title, words); break;
            default: break;
        }
        list.InsertColumn(c, title, kColumns[static_cast<std::size_t>(c)].format,
                          kColumns[static_cast<std::size_t>(c)].width);
    }
}

std::array<std::string, kBushouListColumns> BushouListTexts(const GameState& gs, int bushou, bool guestWord) {
    std::array<std::string, kBushouListColumns> t;
    if (!IsValidBushou(gs, bushou)) return t;
    const CBushou& b = BushouAt(gs, bushou);
    const bool head = IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == bushou;
    t[0] = b.name;
    t[1] = head ? "当主" : (guestWord && b.status == CBushou::kStatusKyakushou ? "客将" : "　　");
    t[2] = BushouAgeText(gs, bushou);
    t[3] = UnitsText(gs, b.cavalry);
    t[4] = UnitsText(gs, b.foot);
    t[5] = UnitsText(gs, b.muskets);
    t[6] = FormatText("%d", b.buyuu);
    t[7] = FormatText("%d", b.seiji);
    t[8] = FormatText("%d", b.chibou);
    t[9] = FormatText("%d", b.yasenTousotsu);
    t[10] = FormatText("%d", b.suigunTousotsu);
    if (IsValidShiro(gs, b.shiro)) t[11] = ShiroMapAt(gs, b.shiro).name;
    return t;
}

int AppendBushouRow(ui::ListCtrl& list, const GameState& gs, int bushou, bool guestWord) {
    const auto texts = BushouListTexts(gs, bushou, guestWord);
    const int item = list.InsertItem(list.GetItemCount(), texts[0]);
    for (int c = 1; c < kBushouListColumns; ++c)
        list.SetItemText(item, c, texts[static_cast<std::size_t>(c)]);
    list.SetItemData(item, bushou);
    return item;
}

int FindBushouItem(const ui::ListCtrl& list, int bushou) {
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemData(i) == bushou) return i;
    return -1;
}

void DeselectAll(ui::ListCtrl* list) {
    if (!list) return;
    for (int i = 0; i < list->GetItemCount(); ++i)
        list->SetItemState(i, 0, ui::LVIS_SELECTED);
}

int PositionOf(const std::vector<int>& rows, int value) {
    const auto it = std::find(rows.begin(), rows.end(), value);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

void SortBushouList(ui::ListCtrl& list, const GameState& gs, int column) {
    std::array<int, kBushouListColumns> keys{};
    for (std::size_t c = 0; c < keys.size(); ++c)
        keys[c] = kColumns[c].sortKey;
    rymd::SortBushouList(gs, list, column, keys);
}

}  // namespace rymd::shell
