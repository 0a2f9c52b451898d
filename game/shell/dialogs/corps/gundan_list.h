// The corps list of the territory, orders and assets dialogs: one row per corps of the player's
// house in the order of the leaders' general indexes, the item data the corps index, with the
// columns "軍団名", "武将数", "資金", (the assets dialog: "未配備鉄砲"), "所領城数", "所領石高",
// "行動指示" and "担当国" in the scenario's words. The rows are read again from the game on every
// fill, so the list shows what the last change left.
#pragma once

#include "platform/qt/list_ctrl.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {
struct GameState;
}

namespace rymd::shell {

// Full-row selection and the columns; withTeppou adds the musket column after the funds, and
// orderWidth is the width of "行動指示" (70 or 80).
void InsertGundanListColumns(ui::ListCtrl& list, const GameState& gs, bool withTeppou, int orderWidth);
// Clears the list and adds the rows, the row of keepGundan (if any) selected; returns the row
// count.
int FillGundanList(ui::ListCtrl& list, const GameState& gs, const MbKorMap::CCtrlKorMap* map, bool withTeppou,
                   int keepGundan = -1);
// Selects the row alone (-1: none) as a click does; returns the corps of the selected row, -1 none.
int SelectGundanRow(ui::ListCtrl& list, int row);
// The corps of the first selected row, -1 none.
int SelectedGundanOfList(const ui::ListCtrl& list);

}  // namespace rymd::shell
