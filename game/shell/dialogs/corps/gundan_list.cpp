#include "game/shell/dialogs/corps/gundan_list.h"

#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/state/game_state.h"
#include "game/state/gundan.h"
#include "game/state/vocabulary.h"

namespace rymd::shell {

void InsertGundanListColumns(ui::ListCtrl& list, const GameState& gs, bool withTeppou, int orderWidth) {
    const ScenarioWordArray& w = gs.ScenarioWords;
    list.SetExtendedStyle(list.GetExtendedStyle() | ui::LVS_EX_FULLROWSELECT);
    std::vector<ListColumn> columns = {{"軍団名", 120}, {ReplaceWordBushou("武将数", w), 50}, {"資金", 80}};
    if (withTeppou) columns.push_back({ReplaceWordTeppou("未配備鉄砲", w), 80});
    columns.push_back({ReplaceWordShiro("所領城数", w), 72});
    columns.push_back({ReplaceWordKokudaka("所領石高", w), 80});
    columns.push_back({"行動指示", orderWidth});
    columns.push_back({"担当国", 180});
    InsertListColumns(list, columns);
}

int FillGundanList(ui::ListCtrl& list, const GameState& gs, const MbKorMap::CCtrlKorMap* map, bool withTeppou,
                   int keepGundan) {
    list.DeleteAllItems();
    const auto name = [map](int k) { return KuniDisplayName(map, k); };
    int row = 0;
    for (int k : ListGundanByLeader(gs, gs.nPlayerDaimyou)) {
        const GundanRowTexts t = MakeGundanRowTexts(gs, k, name);
        std::vector<const std::string*> cells = {&t.name, &t.bushou, &t.funds};
        if (withTeppou) cells.push_back(&t.teppou);
        for (const std::string* s : {&t.shiro, &t.kokudaka, &t.order, &t.kuni})
            cells.push_back(s);
        const int item = list.InsertItem(row, *cells[0]);
        for (std::size_t c = 1; c < cells.size(); ++c)
            list.SetItemText(item, static_cast<int>(c), *cells[c]);
        list.SetItemData(item, static_cast<std::intptr_t>(k));
        if (k == keepGundan) list.SetItemState(item, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
        ++row;
    }
    return row;
}

int SelectGundanRow(ui::ListCtrl& list, int row) {
    for (int r = 0; r < list.GetItemCount(); ++r)
        list.SetItemState(r, r == row ? ui::LVIS_SELECTED : 0, ui::LVIS_SELECTED);
    return SelectedGundanOfList(list);
}

int SelectedGundanOfList(const ui::ListCtrl& list) {
    const int item = list.GetFirstSelectedItem();
    return item < 0 ? -1 : static_cast<int>(list.GetItemData(item));
}

}  // namespace rymd::shell
